// The framework's plug-in base: parameters, the virtual hooks a plug-in overrides, and the host-facing helpers.
#pragma once

#include "ByteChunk.h"
#include "ClapExtras.h"
#include "Config.h"
#include "IdleTimer.h"
#include "MidiMsg.h"
#include "Param.h"

#include <clap/ext/audio-ports.h>
#include <clap/ext/gui.h>
#include <clap/ext/params.h>
#include <clap/ext/state.h>
#include <clap/ext/thread-check.h>
#include <clap/ext/timer-support.h>
#include <clap/plugin.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace vfw {

enum class ParamSource { Reset, Host, PresetRecall, UI, Delegate, Unknown };
enum class Route { Input, Output };

// The output layouts of the channel I/O string, e.g. "0-2 0-2.2" gives one and two stereo buses.
struct BusLayout {
  static constexpr int kMaxBuses = 8;
  int nInputChannels = 0;
  int nOutputBuses = 0;
  int outputChannels[kMaxBuses] = {};
  int TotalOutputChannels() const;
};
std::vector<BusLayout> parseChannelIO(const char* channelIO);

class Plugin {
 public:
  static constexpr int kMaxOutputChannels = 2 * BusLayout::kMaxBuses;

  Plugin(const InstanceInfo& info, const Config& config);
  virtual ~Plugin();
  Plugin(const Plugin&) = delete;
  Plugin& operator=(const Plugin&) = delete;

  // Hooks, named as the plug-in overrides them; each says which thread calls it.
  virtual void OnParamChange(int paramIdx, ParamSource source, int sampleOffset);       // audio or main
  virtual bool ConstrainEditorResize(int& w, int& h) const;                             // main
  virtual bool SerializeState(ByteChunk& chunk) const;                                  // main
  virtual int UnserializeState(const ByteChunk& chunk, int startPos);                   // main
  virtual void OnRestoreState() {}                                                      // main, after a load
  virtual void OnIdle() {}                                                              // timer thread
  virtual void ProcessBlock(double** inputs, double** outputs, int nFrames);            // audio
  virtual void ProcessMidiMsg(const MidiMsg& msg);                                      // audio
  virtual void OnReset() {}                                                             // main or audio, not processing
  virtual void GetBusName(Route dir, int busIdx, int nBuses, std::string& name) const;  // main
  virtual void* OpenWindow(void* parent) { return parent; }                             // main
  virtual void CloseWindow() {}                                                         // main
  virtual void OnHostTrackInfoChanged() {}  // main: after init and whenever the host's track info changes

  // Main thread: the host's name for this track; false (out empty) when the host offers none.
  bool GetHostTrackName(std::string& out) const;
  // A CLAP note choke; key or channel -1 stands for every key or channel.
  virtual void OnNoteChoke(int /*key*/, int /*channel*/) {}  // audio
  // Voices in use as the plug-in's setting has it and the most it can play; false when not offered.
  // Called on any thread, so it may only read atomics.
  virtual bool GetVoiceInfo(uint32_t& /*count*/, uint32_t& /*capacity*/) const { return false; }
  // The host's preset-load extension: kind and location as the preset-discovery provider declared them.
  virtual bool LoadPresetFromLocation(uint32_t kind, const char* location, const char* loadKey);  // main

  // i must be a valid index; host-supplied ids go through ParamOrNull.
  Param* GetParam(int i) { return &params[static_cast<size_t>(i)]; }
  const Param* GetParam(int i) const { return &params[static_cast<size_t>(i)]; }
  Param* ParamOrNull(int64_t i) { return (i >= 0 && i < NParams()) ? &params[static_cast<size_t>(i)] : nullptr; }
  const Param* ParamOrNull(int64_t i) const {
    return (i >= 0 && i < NParams()) ? &params[static_cast<size_t>(i)] : nullptr;
  }
  int NParams() const { return static_cast<int>(params.size()); }
  const Config& GetConfig() const { return config; }

  double GetSampleRate() const { return sampleRate.load(std::memory_order_relaxed); }
  int GetBlockSize() const { return blockSize.load(std::memory_order_relaxed); }
  void SetTailSize(int samples) { tailSize.store(samples, std::memory_order_relaxed); }
  int GetTailSize() const { return tailSize.load(std::memory_order_relaxed); }

  // The editor size the framework reports to the host.
  void SetEditorSize(int w, int h);
  int GetEditorWidth() const { return editorW.load(std::memory_order_acquire); }
  int GetEditorHeight() const { return editorH.load(std::memory_order_acquire); }
  // From the editor thread: records the size and asks the host (on its main thread) to follow.
  bool EditorResizeFromUI(int w, int h, bool needsPlatformResize);

  // Audio thread, during ProcessBlock: whether the host handed over this channel of the chosen layout.
  bool IsChannelConnected(Route dir, int channel) const;
  // The chosen audio-ports configuration; changed only while deactivated.
  int ActiveConfigIndex() const { return activeConfig.load(std::memory_order_acquire); }
  const BusLayout& ActiveLayout() const { return layouts[static_cast<size_t>(ActiveConfigIndex())]; }
  const std::vector<BusLayout>& Layouts() const { return layouts; }
  bool SelectLayout(int index);

  // Any thread: after a change that may move GetVoiceInfo's answer; the host hears of it on its main thread.
  void VoiceInfoMaybeChanged();
  // Whether the host has this output bus switched on (audio-ports-activation); every bus is on at first.
  bool IsOutputBusActive(int bus) const;
  bool SetOutputBusActive(int bus, bool on);

  // Calls OnParamChange for every parameter, e.g. after a preset or state was written.
  void OnParamReset(ParamSource source);
  // Tell the host about value changes made outside its own events (any thread but audio).
  void InformHostOfParamChange(int paramIdx);
  void BeginInformHostOfParamChangeFromUI(int paramIdx);
  void SendParameterValueFromUI(int paramIdx, double normalizedValue);
  void EndInformHostOfParamChangeFromUI(int paramIdx);
  // Many values changed at once outside the host's events (state load, recall, undo, A/B): the host re-reads
  // them all. Direct inside a call the host made on its main thread; from anywhere else at the host's next
  // main-thread callback or timer tick, whichever comes first.
  void RescanParamValues();
  // The project's state changed where the host cannot see it (undo, A/B, names, switches, the frozen copy): the
  // host asks to save before closing. Same threading as RescanParamValues.
  void MarkStateDirty();

  // Marks a call the host made into this instance on its main thread (or its timer or callback). Host functions
  // reserved for the main thread are called directly only inside one: a host's thread check may answer "main" on
  // any thread, so it is not asked. Nests; one thread marks one instance at a time.
  class HostMainCall {
   public:
    explicit HostMainCall(const Plugin* plug);
    ~HostMainCall();
    HostMainCall(const HostMainCall&) = delete;
    HostMainCall& operator=(const HostMainCall&) = delete;

   private:
    const Plugin* saved;
  };
  bool InHostMainCall() const;

  void StartIdleTimer();
  void StopIdleTimer() { idleTimer.Stop(); }

  bool IsMainThread() const;
  bool IsAudioThread() const;
  bool IsActive() const { return active.load(std::memory_order_acquire); }
  // The host renders offline (a bounce): the audio thread may wait and allocate. Any thread reads.
  bool IsOffline() const { return offline.load(std::memory_order_acquire); }
  const clap_plugin_t* ClapPlugin() const { return &clapPlugin; }
  const clap_host_t* Host() const { return host; }

 private:
  friend struct ClapAdapter;
  friend struct ClapCalls;
  friend struct ClapGuiCalls;
  friend struct ClapMainCalls;
  friend struct Lv2Adapter;    // the LV2 adapter drives the same activation, buses and blocks
  friend struct Lv2UiAdapter;  // and its UI the same outgoing gestures and editor resizes

  enum MainRequest : uint32_t {
    kRequestParamsFlush = 1u << 0,
    kRequestGuiResize = 1u << 1,
    kRequestMarkDirty = 1u << 2,
    kRequestParamsRescan = 1u << 3,
  };
  // What is waiting to go out for one parameter. Begins and ends are kept in order relative to each other, so a
  // gesture that ends and a new one that begins between two drains reach the host as end, begin: balanced.
  enum PendingOut : uint32_t {
    kOutBegin = 1u << 0,     // a gesture began since the last drain
    kOutValue = 1u << 1,     // the value changed
    kOutEnd = 1u << 2,       // request from the caller: end the gesture (never stored)
    kOutEndFirst = 1u << 3,  // a gesture already announced ended before that begin
    kOutEndLast = 1u << 4,   // the gesture begun since the last drain also ended
  };

  void requestOnMainThread(uint32_t what);
  void onMainThread();
  void queueOut(int paramIdx, uint32_t bits);
  void drainOutEvents(const clap_output_events_t* out);
  void handleEvent(const clap_event_header_t* hdr, uint32_t blockFrames, bool inProcess);
  // CLAP's own note dialect: notes, chokes and pressure, with wildcard keys and channels.
  void handleClapNote(const clap_event_header_t* hdr, int offset);
  // A note-off, choke or pressure for one key on one channel, as MIDI or as the choke hook.
  void sendNoteEvent(uint16_t type, int key, int channel, double value, int offset);
  // Notes ended outside their ids (key or channel -1: all) no longer hold their keys for an id.
  void forgetNoteIds(int key, int channel);
  clap_process_status process(const clap_process_t* process);
  void flushParams(const clap_input_events_t* in, const clap_output_events_t* out);
  bool activate(double rate, uint32_t minFrames, uint32_t maxFrames);
  void deactivate();
  bool saveState(const clap_ostream_t* stream);
  bool loadState(const clap_istream_t* stream);
  void queryHostExtensions();
  void queryTrackInfo();
  // A host timer that carries deferred main-thread work when request_callback never calls back (host main thread).
  void startMainTimer();
  void stopMainTimer();
  void onMainTimer(clap_id timerId);

  Config config;
  const clap_host_t* host;
  clap_plugin_t clapPlugin{};
  std::vector<Param> params;  // fixed count from construction; values atomic inside
  std::vector<BusLayout> layouts;
  std::thread::id mainThreadId;  // the thread that built the instance, for hosts without thread-check

  // Host extensions, read after init on the host's threads.
  const clap_host_thread_check_t* hostThreadCheck = nullptr;
  const clap_host_params_t* hostParams = nullptr;
  const clap_host_state_t* hostState = nullptr;
  const clap_host_gui_t* hostGui = nullptr;
  const clap_host_track_info_t* hostTrackInfo = nullptr;
  const clap_host_voice_info_t* hostVoiceInfo = nullptr;
  const clap_host_timer_support_t* hostTimer = nullptr;  // host main thread, like the timer id
  clap_id mainTimerId = CLAP_INVALID_ID;

  // Voice info and port activation: any thread writes, audio and main read.
  static constexpr uint32_t kRequestVoiceInfo = 1u << 7;
  std::atomic<int64_t> announcedVoiceCount{-1};  // the count the host was last told of, or asked about
  std::atomic<uint32_t> inactiveOutputBuses{0};  // bit per bus the host switched off

  std::atomic<double> sampleRate{48000.0};  // written at activate (main), read anywhere
  std::atomic<int> blockSize{512};
  std::atomic<int> tailSize{0};
  std::atomic<int> editorW{0};  // written by main and editor threads
  std::atomic<int> editorH{0};
  std::atomic<int> activeConfig{0};  // main thread writes while deactivated, audio reads
  std::atomic<bool> active{false};
  std::atomic<bool> processing{false};
  std::atomic<bool> offline{false};                     // main thread sets (render extension), any thread reads
  std::atomic<uint32_t> mainRequests{0};                // any thread sets bits, main thread clears them
  std::unique_ptr<std::atomic<uint32_t>[]> pendingOut;  // per parameter, any thread sets, audio/main drains

  // Audio thread only: the host's note ids of sounding notes, so an event addressed by id reaches its key alone.
  struct NoteIdSlot {
    int32_t id = -1;  // -1: free
    int16_t key = 0;
    int16_t channel = 0;
  };
  static constexpr int kNoteIdSlots = 128;
  NoteIdSlot noteIds[kNoteIdSlots];
  int noteIdCursor = 0;  // the entry that gives way when all are taken

  // Audio thread only: conversion buffers for 32-bit hosts and this block's connected channels.
  std::vector<double> scratch;
  int scratchFrames = 0;
  uint32_t connectedMask = 0;

  IdleTimer idleTimer;

  // The host's gui calls: created, the X11 parent it gave, and whether the editor is open. Host main thread.
  struct GuiSession {
    bool created = false;
    bool shown = false;
    uintptr_t parent = 0;
  } gui;
};

// Defined by the plug-in: builds one instance. Serialised by a process-wide mutex.
Plugin* MakePlug(const InstanceInfo& info);

}  // namespace vfw
