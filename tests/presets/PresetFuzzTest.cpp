// Replays the library parser fuzz target over seeded mutations of real lines in every build.
#include "UserPreset.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

TEST(PresetFuzz, ReplaysSeededMutations) {
  vorrel::UserPreset p;
  p.name = "Seed";
  for (int i = 0; i < vorrel::kNumPresetParams; ++i) p.values[static_cast<size_t>(i)] = i * 3.25;
  const std::string seed = vorrel::presetLine(p) + "p1 1\tA\r\np1 1e308 -1e308 nan inf\tBig\n" + vorrel::presetLine(p);
  std::mt19937 rng(2024);
  const char alphabet[] = "p1 0123456789.-+eE\t\r\nxn";
  for (int round = 0; round < 20000; ++round) {
    std::string s = seed;
    const int edits = 1 + static_cast<int>(rng() % 8);
    for (int k = 0; k < edits && !s.empty(); ++k) {
      const size_t at = rng() % s.size();
      switch (rng() % 3) {
        case 0:
          s[at] = alphabet[rng() % (sizeof alphabet - 1)];
          break;
        case 1:
          s.erase(at, 1 + rng() % 12);
          break;
        default:
          s.insert(at, 1, static_cast<char>(rng() % 256));
          break;
      }
    }
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(s.data()), s.size());
  }
  SUCCEED();
}
