// The nine shipped memories: short playing recipes turned into memories by simulated engraving.
#pragma once

#include "MemoryState.h"

#include <array>
#include <cstdint>
#include <vector>

namespace vorrel::mem {

struct Biography {
  const char* name;
  const char* subtitle;  // UTF-8
  uint32_t baseNote;
  int32_t count;  // pattern entries used, 1..10
  int32_t pattern[10];
};

constexpr int kNumBiographies = 9;
extern const std::array<Biography, kNumBiographies> kBiographies;

// Simulates `minutes` of the recipe's playing into weights[40] and cart.
void synthesizeBiography(const Biography& bio, const std::vector<double>& pitchClasses, double forgetDays,
                         double engravePct, uint64_t now, double* weights, MemoryCartV1& cart, double minutes);

// The memory a machine starts with when it has none: a third of a minute of "Gospel keys" on body 0.
// Forget and Engrave stay 0 in the body, for the opener to fill in.
void seedFirstRun(MemoryFileBodyV1& body, MemoryCartV1& cart, MemoryNameV3& name, uint64_t now);

}  // namespace vorrel::mem
