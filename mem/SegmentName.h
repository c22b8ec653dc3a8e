// Which shared-memory object holds this user's machine memory: one per user per machine.
#pragma once

#include <string>

namespace vorrel::mem {

// What builds before per-user memories named the one segment of the whole machine.
constexpr const char* kLegacySegmentName = "oa_vorrel_memory";
// Test harnesses only: names the segment instead of the user's own. Does nothing unless set; a value that is
// not a plain name (1..200 of A-Z a-z 0-9 _ - ., not starting with '.') gives a name no segment can have, so
// the memory then stays closed rather than falling back to the user's.
constexpr const char* kSegmentOverrideVar = "VORREL_MEMORY_SEGMENT";

// "oa_vorrel_memory_u" + the numeric effective user id, e.g. "oa_vorrel_memory_u1000".
std::string userSegmentName();
// The override when set, else userSegmentName(); what the plug-in and its tools open.
std::string machineSegmentName();
// kLegacySegmentName, or empty when the override is set (a test's memory never takes over a real one).
std::string legacySegmentName();

}  // namespace vorrel::mem
