// The library parser on mutated and random text: never a crash, only storable presets, stable after one rewrite.
#include "UserPreset.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::vector<vorrel::UserPreset> lib;
  vorrel::parseLibraryText(text, lib);
  for (const auto& p : lib) {
    if (p.name.empty() || p.name.find('\n') != std::string::npos) std::abort();
    for (double v : p.values)
      if (!std::isfinite(v)) std::abort();
    for (int i = 0; i < vorrel::kNumExtras; ++i) {
      const double e = p.extras[static_cast<size_t>(i)];
      if (!(e >= vorrel::trackExtraMin(i) && e <= vorrel::trackExtraMax(i))) std::abort();
    }
  }
  // Written once, the text reads back to itself.
  const std::string once = vorrel::libraryText(lib);
  std::vector<vorrel::UserPreset> again;
  vorrel::parseLibraryText(once, again);
  if (vorrel::libraryText(again) != once || again.size() != lib.size()) std::abort();
  return 0;
}

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
