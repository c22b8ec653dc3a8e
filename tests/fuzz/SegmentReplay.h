// Replays hand-written shared segments through every memory operation; aborts on the first unsound publish.
#pragma once

#include <cstdint>

// Returns the number of segments replayed.
long replaySegments(uint64_t seed, int rounds);
