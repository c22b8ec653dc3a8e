// What the panel reads from the plug-in shell each frame, as a narrow interface the shell (or a test) implements.
#pragma once

#include "MachineSegment.h"
#include "MemoryState.h"
#include "PanelState.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vrui {

// One parameter as the panel shows it: plain value snapped and clamped, normalized, text without its unit.
struct ParamReading {
  double value = 0.0;
  double normalized = 0.0;
  std::string text;
  std::string label;
};

// The names, lists and flags the shell keeps under its instance mutex, copied in one short hold.
struct ShellCopy {
  std::string presetName;
  std::string trackName;      // the user's own name for the track, empty when none
  std::string hostTrackName;  // empty when the host gives none
  std::vector<std::string> userPresetNames;
  std::vector<std::string> memoryNames;
  bool presetEdited = false;
  bool pcEnabled = true;
  int abSlot = 0;
  bool canUndo = false;
  bool canRedo = false;
  vorrel::mem::SealedMemory snapshot{};  // present = 0 when the project holds no frozen copy
};

class PanelShell {
 public:
  virtual ~PanelShell() = default;

  // Lock-free reads: parameters are atomic, the flags are single atomics of the shell.
  virtual void readParam(int id, ParamReading& out) const = 0;
  virtual double trackTilt() const = 0;
  virtual bool hearBare() const = 0;
  virtual bool velocityLengthMode() const = 0;
  virtual int32_t noteOnCount() const = 0;
  virtual int heldMidiNote() const = 0;
  virtual int lastProgramChange() const = 0;
  virtual uint32_t programChangeRecalls() const = 0;
  virtual bool hostTakesResize() const = 0;
  virtual uint64_t wallClock() const = 0;  // seconds since the Unix epoch
  virtual const FactoryPresetInfo* factoryPresets(int& count) const = 0;

  // The machine memory, through the segment's consistent-read box and slot sequence counters only.
  virtual bool memoryAttached() const = 0;
  virtual bool segmentMapped() const = 0;
  virtual bool readMemory(vorrel::mem::MemoryState& out) const = 0;
  virtual bool slotLive(int slot) const = 0;
  virtual bool readSlot(int slot, vorrel::mem::InstancePayload& out) const = 0;
  virtual int ownSlot() const = 0;
  // Why the memory could not be opened, a vorrel::mem::OpenFault number; 0 when open or no cause is known.
  virtual int memoryFault() const { return 0; }
  // What the memory line must warn of instead of the memory's age: a vrui::MemoryNotice, 0 for none.
  virtual int memoryNotice() const { return 0; }

  // A copy taken under the instance mutex, held for the copy only; false when the lock could not be had, in which
  // case the frame is skipped rather than waited for or failed with an exception.
  virtual bool copyShared(ShellCopy& out) const = 0;

  // The editor's small files, looked up once per window.
  virtual int loadLanguage() const = 0;
  virtual bool firstRunMarkerExists() const = 0;
  virtual bool tourMarkerExists() const = 0;
};

}  // namespace vrui
