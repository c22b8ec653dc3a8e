// The memory line's words for a memory segment that could not be opened, in the six panel languages.
#pragma once

#include "Lang.h"

namespace vrui {

// Slot = the number of vorrel::mem::OpenFault: 1 refused, 2 name taken, 3 /dev/shm full, 4 no /dev/shm.
inline constexpr int kNumFaultLines = 5;
extern const char* const kFaultLines[kNumLangs][kNumFaultLines];

// The line for a fault in a language (English for a language outside 0..5); null for slot 0 or outside the table,
// where the panel keeps its general line.
const char* faultLine(Lang lang, int fault);

}  // namespace vrui
