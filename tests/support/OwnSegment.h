// Whether the harness (isolated.sh) gave this test process a memory segment of its own, which tests may then
// watch, carve into and remove; never the user's.
#pragma once

#include "SegmentName.h"

#include <cstdlib>

namespace vtest {

inline bool ownSegment() { return std::getenv(vorrel::mem::kSegmentOverrideVar) != nullptr; }

}  // namespace vtest
