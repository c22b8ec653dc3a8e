// The memory target's own replays: shared segments written by hand, run through every operation.
#include "SegmentReplay.h"

long fuzzOwnReplays() { return replaySegments(20261208, 3000); }
