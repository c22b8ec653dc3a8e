// The whole undoable state of a track, as one fixed-size record the history copies as bytes.
#pragma once

#include "AbHalf.h"

#include <cstdint>
#include <type_traits>

namespace vorrel {

struct UndoSnap {
  double values[kNumPresetParams] = {};
  TrackExtraValues extras = kDefaultExtras;
  double forget = 7.0;       // the machine's Forget in days, as it stood
  double engrave = 120.0;    // the machine's Engrave in percent, as it stood
  char presetName[64] = {};  // NUL-terminated, at most 63 characters
  char trackName[48] = {};   // NUL-terminated, at most 47 characters
  bool programChangeEnabled = true;
  bool velocityLengthMode = true;  // false = MPE pressure
  AbHalf slots[2];                 // A, B
  int32_t activeSlot = 0;          // 0 = A, 1 = B
};

static_assert(std::is_trivially_copyable_v<UndoSnap> && std::is_standard_layout_v<UndoSnap>);

}  // namespace vorrel
