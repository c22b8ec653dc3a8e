// The machine lock: a process-shared robust pthread mutex placed in the segment, taken with bounded tries.
#pragma once

#include <cstdint>

namespace vorrel::mem {

enum class LockResult { Taken, TakenFromDeadOwner, Busy };

// Builds the mutex in place (40 bytes); only the creator of the segment calls it.
bool initRobustMutex(void* where);
// Up to 50 tries, 10 ms apart. TakenFromDeadOwner: the last holder died holding it; the caller repairs
// what it may have left half-written, then calls markConsistent.
LockResult lockRobustMutex(void* where, int attempts = 50);
void markConsistent(void* where);
void unlockRobustMutex(void* where);

}  // namespace vorrel::mem
