// A/B comparison: two slots of this track's sound; switching stores what is left and recalls what is chosen.
#include "Vorrel.h"

Vorrel::AbHalf Vorrel::grabAbHalf() const {
  AbHalf half;
  half.valid = true;
  for (int i = 0; i < kNumParams; ++i) half.values[i] = GetParam(i)->Value();
  readTrackExtras(half.extras);
  half.forget = GetParam(kForget)->Value();
  half.engrave = GetParam(kEngrave)->Value();
  half.hasMemorySettings = machineSettings(half.forget, half.engrave);
  return half;
}

void Vorrel::applyAbHalf(const AbHalf& slot) {
  writeParamValues(slot.values, kForget);
  if (slot.hasMemorySettings) {
    GetParam(kForget)->Set(slot.forget);
    GetParam(kEngrave)->Set(slot.engrave);
  }
  OnParamReset(vfw::ParamSource::PresetRecall);
  writeTrackExtras(slot.extras);
  if (slot.hasMemorySettings) machineSettingsDirty.store(true, std::memory_order_release);
  RescanParamValues();
}

int Vorrel::uiAbSlot() const {
  std::lock_guard<std::mutex> lock(instanceMutex);
  return activeAbSlot;
}

void Vorrel::uiAbSwitch(int slot) {
  const int target = slot == 0 ? 0 : 1;
  if (uiAbSlot() == target) return;
  undoMark();
  const AbHalf leaving = grabAbHalf();
  AbHalf chosen;
  {
    std::lock_guard<std::mutex> lock(instanceMutex);
    abSlots[activeAbSlot] = leaving;
    activeAbSlot = target;
    chosen = abSlots[target];
  }
  // An empty slot keeps the sound as it is; it is stored there when the user leaves it.
  if (chosen.valid) applyAbHalf(chosen);
  undoPush();
  MarkStateDirty();  // the active slot is part of the project even when the sound stays
}
