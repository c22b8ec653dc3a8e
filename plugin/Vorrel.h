// The plug-in class: one object per instance, built by the factory and driven by the host through our CLAP layer.
#pragma once

#include "EditorView.h"
#include "Engine.h"
#include "EngraveTracker.h"
#include "InkEvent.h"
#include "MachineMemory.h"
#include "Params.h"
#include "Plugin.h"
#include "SpscRing.h"
#include "UndoHistory.h"
#include "UndoSnap.h"
#include "UserPreset.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

// One on-screen keyboard event: code's low byte is the kind (0 on, 1 off, 2 pressure), second byte the note.
struct UiNoteEvent {
  uint32_t code = 0;
  float value = 0.0f;  // strike strength or pressure, 0..1
};

class Vorrel final : public vfw::Plugin {
 public:
  using UndoSnap = vorrel::UndoSnap;
  using AbHalf = vorrel::AbHalf;
  static constexpr int kDefaultEditorW = 960;
  static constexpr int kDefaultEditorH = 660;
  static constexpr int kMinEditorW = 672;            // 70 % of 960
  static constexpr int kMaxEditorW = 3072;           // 320 % of 960
  static constexpr uint32_t kChunkTag = 0x564F524C;  // "VORL"
  static constexpr uint32_t kEngraveRingSize = 64;
  static constexpr uint32_t kPanelQueueSize = 128;
  static constexpr int kMinScratchFrames = 8192;
  static constexpr int kNumScratch = 6;  // sinks for main L and R, pair A L and R, pair B L and R

  explicit Vorrel(const vfw::InstanceInfo& info);
  ~Vorrel() override;

  // The plug-in module installs the editor window's maker when it loads; without one no editor opens.
  static void SetEditorViewMaker(EditorViewMaker maker);
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
  void OnNoteChoke(int key, int channel) override;
  bool GetVoiceInfo(uint32_t& count, uint32_t& capacity) const override;
  bool LoadPresetFromLocation(uint32_t kind, const char* location, const char* loadKey) override;

  // Presets: the editor thread, the timer thread (Program Change) and the host's main thread (preset-load).
  // Recalls return whether a preset was found and applied.
  bool recallPreset(int index, bool fromEditor);
  bool recallUserPreset(const std::string& name, bool fromEditor);
  // The preset on line index of the library (Program Change 85 + index); false past the end.
  bool recallUserPresetAt(size_t index, bool fromEditor);
  void captureTrackPreset(vorrel::UserPreset& out) const;
  bool savePreset(const std::string& name);
  bool deletePresetByName(const std::string& name);
  bool renamePresetByName(const std::string& oldName, const std::string& newName);
  std::string uiPresetName() const;
  int uiPresetAbsIndex() const;
  int uiPresetCount() const;
  std::vector<std::string> uiUserPresetNames() const;
  bool presetEdited() const;
  bool uiProgramChangeEnabled() const;
  void uiSetProgramChangeEnabled(bool on);
  int32_t uiLastProgramChange() const { return lastProgramChange.load(std::memory_order_acquire); }
  int32_t presetRecalledCount() const { return presetRecalled.load(std::memory_order_acquire); }
  const std::string& userPresetPath() const { return presetLibraryPath; }

  // Editor sizing, called from the editor thread.
  bool hostTakesUIThreadResize() const { return true; }
  bool requestEditorResize(int w, int h);
  int storedEditorWidth() const { return storedEditorW.load(std::memory_order_acquire); }
  int storedEditorHeight() const { return storedEditorH.load(std::memory_order_acquire); }
  // The editor thread records a size it settled on after the host resized its parent.
  void setStoredEditorSize(int w, int h);

  // The width clamp and the height-from-width rule shared by host and editor resizes.
  static void constrainEditorSize(int& w, int& h);

  // Editor thread: queue an on-screen keyboard event; false when the queue has no room.
  bool pushPanelNote(const UiNoteEvent& event) { return panelQueue.push(event); }
  // Control thread: take the next engrave event.
  bool popInk(vorrel::mem::InkEvent& event) { return engraveRing.pop(event); }
  // Editor and control threads.
  int32_t noteOnCount() const { return noteOns.load(std::memory_order_relaxed); }
  uint64_t sampleClock() const { return frameClock.load(std::memory_order_acquire); }
  int32_t pendingProgramChange() const { return pendingProgram.load(std::memory_order_acquire); }
  void setVelocityLengthMode(bool on) { velocityLengthMode.store(on, std::memory_order_release); }
  void setHearBare(bool on) { hearBare.store(on, std::memory_order_release); }
  void setTrackExtras(double tilt, double stretch, double selfExcite, double drive);
  // This instance's view of the machine memory (control thread; readers use its lock-free calls).
  const vorrel::mem::MachineMemory& machineMemory() const { return memory; }
  // The engine, for reading on the audio thread (and by tests between blocks).
  const vorrel::dsp::VorrelEngine& engineView() const { return *engine; }

  vorrel::dsp::VoiceParams snapshotVoiceParams() const;

  // Undo, redo and A/B comparison: the editor thread only.
  UndoSnap captureSnap() const;
  void applySnap(const UndoSnap& snap);
  void undoMark();
  void undoPush();
  void uiUndo();
  void uiRedo();
  bool canUndo() const { return historyCurrent() && history.canUndo(); }
  bool canRedo() const { return historyCurrent() && history.canRedo(); }
  AbHalf grabAbHalf() const;
  void applyAbHalf(const AbHalf& slot);
  void uiAbSwitch(int slot);
  int uiAbSlot() const;
  // Memory library, frozen copy and trace switches, called from the editor thread (and by tests).
  // Each posts a request for the control thread or takes the instance mutex briefly; none does file work.
  void uiLoadBiography(int index);
  void uiSaveMemoryAs(const std::string& name);
  void uiLoadMemory(const std::string& name);
  void uiDeleteMemory(const std::string& name);
  std::vector<std::string> uiMemoryNames() const;
  void uiSealFromMachine();
  void uiSetHearBare(bool on);
  void uiRequestClearMemory() { clearMemoryRequest.store(true, std::memory_order_release); }
  void uiRequestSpeed(double pace) { pendingPace.store(pace, std::memory_order_release); }
  const std::vector<double>& uiBodyRatios(int body);
  std::string uiTrackName() const;
  std::string uiHostTrackName() const;
  // The user's own track name; empty clears it so the host's shows through.
  void uiSetTrackName(const std::string& name);
  // Replaces the frozen copy (project restore, undo): bracketed for the audio thread's reader.
  void setSealedCopy(const vorrel::mem::SealedMemory& copy);
  vorrel::mem::SealedMemory sealedCopy() const;
  // Any thread: a vrui::MemoryNotice for the memory line (a dropped request, a memory not being saved), 0 if none.
  int memoryNotice() const;
  // Control-thread counters, readable anywhere.
  int32_t engravedCount() const { return engravedTotal.load(std::memory_order_acquire); }
  uint64_t lastEngravingTime() const { return lastEngraving.load(std::memory_order_acquire); }
  // Main thread: the host's track-info changed.
  void OnHostTrackInfoChanged() override;

 private:
  friend class VorrelPanelSource;  // the editor panel's read-only view

  // Written by presets on the control or main thread, read by the audio thread at each note-on.
  struct TrackExtras {
    std::atomic<double> tiltOffset{0.35};
    std::atomic<double> stretch{0.0};
    std::atomic<double> selfExcite{0.0};
    std::atomic<double> drive{1.4};
  };

  void prepare();
  bool twinsWanted() const;  // the layout has extra buses and the host has one of them switched on
  void followBuses();        // the engine's twins on or off as twinsWanted says
  void idlePresetsAndProgramChange();
  bool loadUserPresets();
  void applyPreset(const vorrel::PresetValues& values, const vorrel::PresetHas& has, int count,
                   const vorrel::TrackExtraValues& extraValues, const std::string& name, bool fromEditor);
  bool matchesPreset(const vorrel::PresetValues& values, const vorrel::PresetHas& has, int count) const;
  void announcePresetLibraryChange();
  void syncTraceIfStale();
  void drainPanelQueue();
  void trackerNoteOn(int note, int channel, double velocity01);
  void pushInk(const vorrel::mem::InkEvent& event);
  void engineNoteOn(int note, int velocity);
  void engineNoteOff(int note);
  double audioNow() const;

  // Control-thread duties beyond presets, and the memory library's request queue.
  bool idleOpenMemory(uint64_t now);
  void idleEngrave(uint64_t now);
  void idleMachineSettings(uint64_t now);
  void followMachineSettings();
  void idleClearMemory(uint64_t now);
  void idleTickAndFlush(uint64_t now);
  void dropForRefusedBackup(uint64_t now);
  bool libraryFoldersChanged();
  void idlePublish();
  void serviceMemoryOps(uint64_t now);
  void storeSealedLocked(const vorrel::mem::SealedMemory& copy);

  // Hooks where the sound engine, the machine memory and the editor join.
  void openMachineMemory();
  void closeMachineMemory();
  void closeEditor();

  // Stores parameter values by the recall rule (snapped, clamped; non-finite ones skipped), count from index 0.
  void writeParamValues(const double* values, int count);
  // Clamps the extras to their ranges; non-finite sets are ignored.
  void writeTrackExtras(const vorrel::TrackExtraValues& values);
  void readTrackExtras(vorrel::TrackExtraValues& values) const;
  // The machine's Forget and Engrave when its memory can be read; false leaves the outputs alone.
  bool machineSettings(double& forgetDays, double& engravePct) const;

  // Written by the editor thread (requestEditorResize), read by main-thread calls.
  std::atomic<int> storedEditorW{kDefaultEditorW};
  std::atomic<int> storedEditorH{kDefaultEditorH};
  // The open editor, null when closed; host main thread (OpenWindow, CloseWindow, destructor).
  EditorView* ui = nullptr;
  // Advanced by the control and main threads, read by the audio thread; starts at 2, odd while a copy changes.
  std::atomic<uint32_t> traceGeneration{2};

  // Guards the names and the other per-track records the editor, the timer and the host all touch.
  mutable std::mutex instanceMutex;
  std::string presetName = "Init";  // guarded by instanceMutex
  std::string trackName;            // guarded by instanceMutex
  TrackExtras extras;
  bool programChangeEnabled = true;  // guarded by instanceMutex

  // The A/B slots.
  AbHalf abSlots[2];         // guarded by instanceMutex
  int32_t activeAbSlot = 0;  // guarded by instanceMutex; 0 = A, 1 = B
  // Editor thread only.
  vorrel::UndoHistory<UndoSnap> history;
  // A state load (host main thread) asks for a fresh history by advancing historyEpoch; the editor thread, the
  // history's one user, empties it before its next use, so no thread but the editor ever touches it.
  std::atomic<uint32_t> historyEpoch{0};
  uint32_t historySeen = 0;  // editor thread only: the epoch the history belongs to
  void clearHistory() { historyEpoch.fetch_add(1, std::memory_order_acq_rel); }
  bool historyCurrent() const { return historySeen == historyEpoch.load(std::memory_order_acquire); }
  void syncHistory();

  // The user library as last read; the file itself is the truth.
  std::vector<vorrel::UserPreset> userPresets;  // guarded by instanceMutex; file order
  const std::string presetLibraryPath;          // fixed at construction
  // Timer thread only: whether the library was read once, and the preset generation it was read at.
  bool userPresetsLoaded = false;
  uint64_t seenPresetGeneration = 0;
  std::atomic<int32_t> lastProgramChange{-1};  // timer thread writes, editor reads
  std::atomic<int32_t> presetRecalled{0};      // timer thread advances, editor reads

  // Audio thread (and OnReset while processing is stopped).
  std::unique_ptr<vorrel::dsp::VorrelEngine> engine;
  double sampleRate = 48000.0;
  std::atomic<bool> prepared{false};
  std::array<std::vector<double>, kNumScratch> scratch;
  EngraveTracker tracker;
  bool pedalDown = false;
  std::array<bool, 128> heldByPedal{};
  int64_t sharedTraceStamp = -1;  // which memory state the engine's trace was built from; -1 forces a rebuild

  // Opened at construction, retried and kept alive from OnIdle, closed at destruction.
  vorrel::mem::MachineMemory memory;

  // Rings between threads: audio writes ink, the control thread reads; the editor writes notes, audio reads.
  SpscRing<vorrel::mem::InkEvent, kEngraveRingSize> engraveRing;
  SpscRing<UiNoteEvent, kPanelQueueSize> panelQueue;
  // Offline rendering only: events the ring could not take, in order. The audio thread appends, OnIdle empties.
  static constexpr size_t kMaxInkOverflow = 1u << 20;
  std::mutex inkOverflowMutex;
  std::vector<vorrel::mem::InkEvent> inkOverflow;  // guarded by inkOverflowMutex
  std::atomic<bool> inkOverflowUsed{false};        // set with the list under its mutex; cleared when emptied

  std::atomic<int32_t> noteOns{0};             // audio thread increments, editor reads
  std::atomic<uint64_t> frameClock{0};         // audio thread advances, others read
  std::atomic<int32_t> pendingProgram{-1};     // audio thread sets, control thread takes
  std::atomic<bool> velocityLengthMode{true};  // editor sets; false = MPE pressure mode
  std::atomic<bool> hearBare{false};           // editor sets, audio thread reads

 public:
  // Set by undo and A/B (both machine settings pushed), taken by OnIdle.
  std::atomic<bool> machineSettingsDirty{false};

 private:
  // The memory library's one request slot (kind 0 = none, 1 shipped, 2 save as, 3 load, 4 delete).
  struct PendingMemoryOp {
    int32_t kind = 0;
    int32_t arg = 0;
    std::string name;
  };
  static constexpr uint32_t kForgetChanged = 1;
  static constexpr uint32_t kEngraveChanged = 2;

  vorrel::mem::SealedMemory sealed{};    // guarded by instanceMutex; the audio thread reads the weights word by word
  std::string hostTrackName;             // guarded by instanceMutex; empty when the host names no track
  PendingMemoryOp pendingMemoryOp;       // guarded by instanceMutex
  std::vector<std::string> memoryNames;  // guarded by instanceMutex
  std::atomic<uint32_t> machineSettingsChanged{0};  // host or editor moved Forget / Engrave; OnIdle takes
  std::atomic<bool> clearMemoryRequest{false};      // editor sets, OnIdle takes
  std::atomic<double> pendingPace{0.0};             // editor sets (1, 10, 100), OnIdle takes; 0 = none
  std::atomic<int32_t> engravedTotal{0};            // OnIdle writes, editor and publishing read
  std::atomic<uint64_t> lastEngraving{0};           // OnIdle writes; wall-clock second, 0 = never
  std::atomic<uint64_t> backupRefusedAt{0};         // OnIdle writes, editor reads; second a request was dropped

  // Control thread only.
  std::vector<vorrel::mem::InkEvent> engraveBatch;
  std::vector<double> bodyPitchClasses;
  int pitchClassBody = -1;
  bool memoryNamesStale = true;
  bool clearBackedUp = false;  // the backup of a clear that still waits for its wipe was written
  uint64_t libraryStamp = 0;   // modification times of the library and store folders when last listed
  int openFailures = 0;
  int64_t nextOpenTryMs = 0;  // monotonic; open is not retried before

  // Editor thread only.
  std::vector<double> editorBodyRatios;
  int editorRatiosBody = -1;

  // Audio thread only: the trace generation the engine's trace was built from.
  uint32_t seenTraceGeneration = 0;
};
