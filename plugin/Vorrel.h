// The plug-in class: one object per instance, built by the factory and driven by the host through our CLAP layer.
#pragma once

#include "Params.h"
#include "Plugin.h"

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

class Vorrel final : public vfw::Plugin {
 public:
  static constexpr int kDefaultEditorW = 960;
  static constexpr int kDefaultEditorH = 660;
  static constexpr int kMinEditorW = 672;   // 70 % of 960
  static constexpr int kMaxEditorW = 3072;  // 320 % of 960
  static constexpr uint32_t kChunkTag = 0x564F524C;  // "VORL"

  explicit Vorrel(const vfw::InstanceInfo& info);
  ~Vorrel() override;

  void* OpenWindow(void* parent) override;
  void CloseWindow() override;
  void OnParamChange(int paramIdx, vfw::ParamSource source, int sampleOffset) override;
  bool ConstrainEditorResize(int& w, int& h) const override;
  bool SerializeState(vfw::ByteChunk& chunk) const override;
  int UnserializeState(const vfw::ByteChunk& chunk, int startPos) override;
  void OnIdle() override;
  void ProcessBlock(double** inputs, double** outputs, int nFrames) override;
  void ProcessMidiMsg(const vfw::MidiMsg& msg) override;
  void OnReset() override;
  void GetBusName(vfw::Route dir, int busIdx, int nBuses, std::string& name) const override;

  // Editor sizing, called from the editor thread.
  bool hostTakesUIThreadResize() const { return true; }
  bool requestEditorResize(int w, int h);
  int storedEditorWidth() const { return storedEditorW.load(std::memory_order_acquire); }
  int storedEditorHeight() const { return storedEditorH.load(std::memory_order_acquire); }

  // The width clamp and the height-from-width rule shared by host and editor resizes.
  static void constrainEditorSize(int& w, int& h);

 private:
  struct TrackExtras {
    double tiltOffset = 0.35;
    double stretch = 0.0;
    double selfExcite = 0.0;
    double drive = 1.4;
  };

  // Hooks where the sound engine, the machine memory and the editor join.
  void openMachineMemory();
  void closeMachineMemory();
  void closeEditor();

  // Written by the editor thread (requestEditorResize), read by main-thread calls.
  std::atomic<int> storedEditorW{kDefaultEditorW};
  std::atomic<int> storedEditorH{kDefaultEditorH};
  // Advanced by the control and main threads, read by the audio thread; starts at 2, odd while a copy changes.
  std::atomic<uint32_t> traceGeneration{2};

  // Guards the names and the other per-track records the editor, the timer and the host all touch.
  mutable std::mutex instanceMutex;
  std::string presetName = "Init";  // guarded by instanceMutex
  std::string trackName;            // guarded by instanceMutex
  TrackExtras extras;               // guarded by instanceMutex
  bool programChangeEnabled = true;  // guarded by instanceMutex
  double sampleRate = 48000.0;       // audio thread after construction
};
