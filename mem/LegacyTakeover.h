// Carrying this user's memory over from a segment under the name builds before per-user segments used.
#pragma once

#include "MachineSegment.h"

#include <cstdint>
#include <string>

namespace vorrel::mem {

struct LegacyMemory {
  MemoryState state;                 // forgotten up to now, at Speed x1 from now on
  uint64_t knownFiles[kKnownFiles];  // the memory files the old segment loaded or wrote
};

// When the object legacyName exists, belongs to this user, is a ready segment of this layout and version, and
// nobody uses it any more (no heartbeat for 11 seconds, no live slot of a running process):
// copies its memory into out and removes the object, so it is carried over once. Anything else (another
// account's, a running older build's, another layout) is left as it is and false returned. Never throws.
bool takeOverLegacySegment(const std::string& legacyName, uint64_t now, LegacyMemory& out);

}  // namespace vorrel::mem
