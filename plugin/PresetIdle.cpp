// The first two duties of each idle call: keep the shared user library current, then act on Program Change.
#include "Vorrel.h"

void Vorrel::idlePresetsAndProgramChange() {
  // 1. The generation is read before the file, so a change written meanwhile is picked up on the next call.
  const uint64_t generation = memory.isOpen() ? memory.presetGeneration() : 0;
  if (!userPresetsLoaded || generation != seenPresetGeneration) {
    if (loadUserPresets()) {
      userPresetsLoaded = true;
      seenPresetGeneration = generation;
    }
  }

  // 2. Program n recalls factory preset n for 0..84, user preset n - 85 in library order from 85 on.
  const int32_t program = pendingProgram.exchange(-1, std::memory_order_acq_rel);
  if (program < 0 || !uiProgramChangeEnabled()) return;
  lastProgramChange.store(program, std::memory_order_release);
  bool recalled = false;
  if (program >= vorrel::kNumFactoryPresets) {
    // By place, not by name: two presets of one name keep two numbers and two sounds.
    recalled = recallUserPresetAt(static_cast<size_t>(program - vorrel::kNumFactoryPresets), false);
  } else {
    recalled = recallPreset(program, false);
  }
  if (recalled) presetRecalled.fetch_add(1, std::memory_order_acq_rel);
}
