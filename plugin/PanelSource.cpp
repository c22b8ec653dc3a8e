// The panel's view of the shell: parameters and flags read atomically, the machine memory through its lock-free
// reads, names under the instance mutex for the copy only.
#include "PanelSource.h"

#include "FactoryPresets.h"
#include "Vorrel.h"

#include <array>
#include <atomic>
#include <ctime>
#include <system_error>

void VorrelPanelSource::readParam(int id, vrui::ParamReading& out) const {
  const vfw::Param* p = plug.ParamOrNull(id);
  if (!p) return;
  // Constrain snaps a stepped value and clamps it, as recalling it would.
  out.value = p->Constrain(p->Value());
  out.normalized = p->ToNormalized(out.value);
  char text[64];
  p->GetDisplay(out.value, text, sizeof text, false);
  out.text = text;
  out.label = p->GetLabel();
}

double VorrelPanelSource::trackTilt() const { return plug.extras.tiltOffset.load(std::memory_order_relaxed); }
bool VorrelPanelSource::hearBare() const { return plug.hearBare.load(std::memory_order_acquire); }
bool VorrelPanelSource::velocityLengthMode() const { return plug.velocityLengthMode.load(std::memory_order_acquire); }
int32_t VorrelPanelSource::noteOnCount() const { return plug.noteOnCount(); }
// The held MIDI note is joined in when the shell keeps one.
int VorrelPanelSource::heldMidiNote() const { return -1; }
int VorrelPanelSource::lastProgramChange() const { return plug.uiLastProgramChange(); }
uint32_t VorrelPanelSource::programChangeRecalls() const { return static_cast<uint32_t>(plug.presetRecalledCount()); }
bool VorrelPanelSource::hostTakesResize() const { return plug.hostTakesUIThreadResize(); }
uint64_t VorrelPanelSource::wallClock() const { return static_cast<uint64_t>(std::time(nullptr)); }
const vrui::FactoryPresetInfo* VorrelPanelSource::factoryPresets(int& count) const {
  // Built once from the constant factory table; the strings it points to live as long as the program.
  static const auto kTable = [] {
    std::array<vrui::FactoryPresetInfo, vorrel::kNumFactoryPresets> t{};
    for (size_t i = 0; i < t.size(); ++i) {
      const auto& p = vorrel::kFactoryPresets[i];
      t[i] = {p.name, p.category, p.subtitle ? p.subtitle : ""};
    }
    return t;
  }();
  count = static_cast<int>(kTable.size());
  return kTable.data();
}

bool VorrelPanelSource::memoryAttached() const { return plug.memory.isOpen(); }
int VorrelPanelSource::memoryFault() const { return static_cast<int>(plug.memory.openFault()); }
bool VorrelPanelSource::segmentMapped() const { return plug.memory.isOpen() && plug.memory.segment() != nullptr; }
bool VorrelPanelSource::readMemory(vorrel::mem::MemoryState& out) const {
  return plug.memory.isOpen() && plug.memory.load(out);
}
bool VorrelPanelSource::slotLive(int slot) const {
  vorrel::mem::MachineSegment* seg = plug.memory.isOpen() ? plug.memory.segment() : nullptr;
  if (!seg || slot < 0 || slot >= vorrel::mem::kNumSlots) return false;
  // Written by other processes: read as an atomic word.
  auto& sl = seg->slots[slot];
  return std::atomic_ref<uint32_t>(sl.live).load(std::memory_order_acquire) == 1 &&
         (std::atomic_ref<uint32_t>(sl.flags).load(std::memory_order_acquire) & vorrel::mem::kSlotNotPlaying) == 0;
}
bool VorrelPanelSource::readSlot(int slot, vorrel::mem::InstancePayload& out) const {
  return plug.memory.isOpen() && plug.memory.readSlot(slot, out);
}
int VorrelPanelSource::ownSlot() const { return plug.memory.slotIndex(); }
int VorrelPanelSource::memoryNotice() const { return plug.memoryNotice(); }

bool VorrelPanelSource::copyShared(vrui::ShellCopy& out) const {
  try {
    {
      std::lock_guard<std::mutex> lock(plug.instanceMutex);
      out.presetName = plug.presetName;
      out.trackName = plug.trackName;
      out.hostTrackName = plug.hostTrackName;
      out.memoryNames = plug.memoryNames;
      out.snapshot = plug.sealed;
      out.pcEnabled = plug.programChangeEnabled;
      out.abSlot = plug.activeAbSlot;
      out.userPresetNames.clear();
      out.userPresetNames.reserve(plug.userPresets.size());
      for (const auto& p : plug.userPresets) out.userPresetNames.push_back(p.name);
    }
    out.presetEdited = plug.presetEdited();  // takes the mutex itself, briefly
    out.canUndo = plug.canUndo();            // the history lives on this (the editor) thread
    out.canRedo = plug.canRedo();
  } catch (const std::system_error&) {
    return false;  // the frame is skipped; the editor never throws into the host
  }
  return true;
}
