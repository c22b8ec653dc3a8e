// One engrave event: the interval from the previous note, how hard and long that note was held.
#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>

namespace vorrel::mem {

struct InkEvent {
  double interval = 0.0;     // semitones from the earlier note to the new one, signed
  double weight = 0.0;       // 0..2
  int32_t fromNote = 0;      // MIDI note number of the earlier note
  int32_t reserved = 0;      // explicit, so the record has no hidden padding
  double heldSeconds = 0.0;  // >= 0
};

static_assert(std::is_standard_layout_v<InkEvent> && std::is_trivially_copyable_v<InkEvent>);
static_assert(sizeof(InkEvent) == 32 && offsetof(InkEvent, heldSeconds) == 24);

}  // namespace vorrel::mem
