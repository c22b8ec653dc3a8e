// One A/B comparison slot: a track's sound and, when they could be read, the machine's memory settings.
#pragma once

#include "TrackExtrasRange.h"

#include <type_traits>

namespace vorrel {

// Parameter values a slot or snapshot holds: every host parameter of the instrument.
constexpr int kSnapValues = 29;

struct AbHalf {
  bool valid = false;  // the slot holds a sound
  double values[kSnapValues] = {};
  double extras[kTrackExtras] = {kFreshTrackExtras[0], kFreshTrackExtras[1], kFreshTrackExtras[2],
                                 kFreshTrackExtras[3]};
  bool hasMemorySettings = false;  // forget and engrave were read from the machine memory
  double forget = 7.0;             // days
  double engrave = 120.0;          // percent
};

// Copied as bytes by the history and the state chunk.
static_assert(std::is_trivially_copyable_v<AbHalf> && std::is_standard_layout_v<AbHalf>);

}  // namespace vorrel
