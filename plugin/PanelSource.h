// What the editor's panel reads from a Vorrel instance each frame: lock-free reads and one short copy.
#pragma once

#include "PanelShell.h"

class Vorrel;

// Built and used on the editor thread only. The marker and language look-ups default to "nothing to show";
// the window overrides them with its files.
class VorrelPanelSource : public vrui::PanelShell {
 public:
  explicit VorrelPanelSource(const Vorrel& plug) : plug(plug) {}

  void readParam(int id, vrui::ParamReading& out) const override;
  double trackTilt() const override;
  bool hearBare() const override;
  bool velocityLengthMode() const override;
  int32_t noteOnCount() const override;
  int heldMidiNote() const override;
  int lastProgramChange() const override;
  uint32_t programChangeRecalls() const override;
  bool hostTakesResize() const override;
  uint64_t wallClock() const override;
  const vrui::FactoryPresetInfo* factoryPresets(int& count) const override;

  bool memoryAttached() const override;
  int memoryFault() const override;
  bool segmentMapped() const override;
  bool readMemory(vorrel::mem::MemoryState& out) const override;
  bool slotLive(int slot) const override;
  bool readSlot(int slot, vorrel::mem::InstancePayload& out) const override;
  int ownSlot() const override;
  int memoryNotice() const override;

  bool copyShared(vrui::ShellCopy& out) const override;

  int loadLanguage() const override { return 0; }
  bool firstRunMarkerExists() const override { return true; }
  bool tourMarkerExists() const override { return true; }

 private:
  const Vorrel& plug;
};
