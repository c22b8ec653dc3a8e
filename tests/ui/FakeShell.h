// A shell for the panel tests: any memory, parameters, slots and names, set field by field.
#pragma once

#include "PanelShell.h"
#include "Params.h"

#include <cstdio>
#include <cstring>

namespace vtest {

struct FakeShell : vrui::PanelShell {
  double value[kNumParams] = {};
  double lo[kNumParams] = {};
  double hi[kNumParams] = {};
  vorrel::mem::MemoryState memory{};
  bool attached = true, mapped = true, copyOk = true;
  int fault = 0;
  int notice = 0;  // a vrui::MemoryNotice
  bool live[vorrel::mem::kNumSlots] = {};
  vorrel::mem::InstancePayload slots[vorrel::mem::kNumSlots] = {};
  bool slotReadable[vorrel::mem::kNumSlots] = {};
  int own = 0;
  uint64_t now = 1'700'000'000;
  int32_t notes = 0;
  uint32_t recalls = 0;
  int lastPc = -1;
  bool bare = false, velocityMode = true;
  bool firstRunMarker = true, tourMarker = true;
  vrui::ShellCopy shared;

  FakeShell() {
    for (int i = 0; i < kNumParams; ++i) hi[i] = 100.0;
    value[kForget] = 7.0;
    memory.pace = 1.0;
    live[0] = slotReadable[0] = true;
  }

  void readParam(int id, vrui::ParamReading& out) const override {
    out.value = value[id];
    out.normalized = hi[id] > lo[id] ? (value[id] - lo[id]) / (hi[id] - lo[id]) : 0.0;
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.1f", value[id]);
    out.text = buf;
    out.label = id == kImprint ? "%" : id == kAttack ? "ms" : "";
  }
  double trackTilt() const override { return 0.35; }
  bool hearBare() const override { return bare; }
  bool velocityLengthMode() const override { return velocityMode; }
  int32_t noteOnCount() const override { return notes; }
  int heldMidiNote() const override { return -1; }
  int lastProgramChange() const override { return lastPc; }
  uint32_t programChangeRecalls() const override { return recalls; }
  bool hostTakesResize() const override { return true; }
  uint64_t wallClock() const override { return now; }
  const vrui::FactoryPresetInfo* factoryPresets(int& count) const override {
    static const vrui::FactoryPresetInfo kTable[2] = {{"Init", "Init", ""}, {"Glass", "Keys", "a bright bell"}};
    count = 2;
    return kTable;
  }
  bool memoryAttached() const override { return attached; }
  int memoryFault() const override { return fault; }
  bool segmentMapped() const override { return mapped; }
  bool readMemory(vorrel::mem::MemoryState& out) const override {
    out = memory;
    return attached;
  }
  bool slotLive(int slot) const override { return live[slot]; }
  bool readSlot(int slot, vorrel::mem::InstancePayload& out) const override {
    if (!slotReadable[slot]) return false;
    out = slots[slot];
    return true;
  }
  int ownSlot() const override { return own; }
  int memoryNotice() const override { return notice; }
  bool copyShared(vrui::ShellCopy& out) const override {
    if (copyOk) out = shared;
    return copyOk;
  }
  int loadLanguage() const override { return 0; }
  bool firstRunMarkerExists() const override { return firstRunMarker; }
  bool tourMarkerExists() const override { return tourMarker; }
};

}  // namespace vtest
