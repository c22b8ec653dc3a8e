// One A/B comparison slot: a track's sound and, when they could be read, the machine's memory settings.
#pragma once

#include "FactoryPresets.h"

#include <type_traits>

namespace vorrel {

struct AbHalf {
  bool valid = false;  // the slot holds a sound
  double values[kNumPresetParams] = {};
  TrackExtraValues extras = kDefaultExtras;
  bool hasMemorySettings = false;  // forget and engrave were read from the machine memory
  double forget = 7.0;             // days
  double engrave = 120.0;          // percent
};

// Copied as bytes by the history and the state chunk.
static_assert(std::is_trivially_copyable_v<AbHalf> && std::is_standard_layout_v<AbHalf>);

}  // namespace vorrel
