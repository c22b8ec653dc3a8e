// The recipes and their synthesis: a fixed splitmix64 stream picks octaves and velocities, neighbours engrave.
#include "Biographies.h"

#include "Engraving.h"
#include "Random.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace vorrel::mem {

const std::array<Biography, kNumBiographies> kBiographies = {{
    {"Untouched", "out of the box", 60, 1, {0}},
    {"Gospel keys", "8 min \u00b7 thirds & sevenths", 63, 10, {0, 4, 7, 11, 14, 7, 4, 0, 5, 9}},
    {"Modal techno", "8 min \u00b7 fourths & fifths", 57, 8, {0, 5, 0, 7, 0, 5, 12, 0}},
    {"Whole-tone", "8 min \u00b7 Velmaine", 62, 10, {0, 2, 4, 6, 8, 10, 5, 2, 7, 2}},
    {"Octaves only", "8 min \u00b7 control", 45, 6, {0, 12, 0, 12, 24, 12}},
    {"Delta blues", "8 min \u00b7 blue notes", 57, 10, {0, 3, 5, 6, 7, 10, 12, 10, 7, 5}},
    {"Flamenco", "8 min \u00b7 Phrygian steps", 64, 10, {0, 1, 4, 5, 7, 8, 7, 5, 4, 1}},
    {"Gamelan", "8 min \u00b7 pelog bells", 62, 10, {0, 1, 3, 7, 8, 7, 3, 1, 8, 3}},
    {"Pastorale", "8 min \u00b7 sixths & tenths", 60, 10, {0, 9, 4, 9, 16, 9, 4, 0, 9, 12}},
}};

namespace {

struct SplitMix {
  uint64_t state = 0x9E3779B97F4A7C1Cull;  // the same seed for every recipe
  double uniform() { return dsp::unitFromBits(dsp::splitMix64(state)); }
};

}  // namespace

void synthesizeBiography(const Biography& bio, const std::vector<double>& pcs, double forgetDays, double engravePct,
                         uint64_t now, double* weights, MemoryCartV1& cart, double minutes) {
  std::fill(weights, weights + kModes, 0.0);
  std::memset(&cart, 0, sizeof cart);
  if (bio.count <= 1 && bio.pattern[0] == 0 && std::strcmp(bio.name, "Untouched") == 0) return;
  const int count = std::clamp(bio.count, 1, 10);
  const double notesWanted = std::max(0.0, minutes) * 60.0 / 0.28;
  const long n = std::max(1L, static_cast<long>(std::min(notesWanted, 1e7)));  // 1e7 notes is 32 days of playing
  std::vector<int> notes(static_cast<size_t>(n));
  std::vector<int> velocities(static_cast<size_t>(n));
  SplitMix rng;
  for (long i = 0; i < n; ++i) {
    const int octave = static_cast<int>(rng.uniform() * 3.0);
    velocities[static_cast<size_t>(i)] = 72 + static_cast<int>(rng.uniform() * 44.0);
    const int note = static_cast<int>(bio.baseNote) + bio.pattern[i % count] - 12 + 12 * octave;
    notes[static_cast<size_t>(i)] = std::clamp(note, 33, 92);
  }
  const double decay = std::exp(-0.28 / (std::max(1.0, forgetDays) * 86400.0));
  const size_t m = std::min(pcs.size(), static_cast<size_t>(kModes));
  const std::vector<double> head(pcs.begin(), pcs.begin() + static_cast<long>(m));
  double shares[kModes] = {};
  const uint32_t hour = static_cast<uint32_t>(now / 3600);
  for (long i = 0; i + 1 < n; ++i) {
    const int interval = notes[static_cast<size_t>(i) + 1] - notes[static_cast<size_t>(i)];
    const double amount = engravePct * 0.006 * velocities[static_cast<size_t>(i)] * 0.26 / 127.0;
    modeShares(interval, head, shares);
    for (size_t k = 0; k < m; ++k) weights[k] = (weights[k] + shares[k] * amount) * decay;
    const int row = mod12(notes[static_cast<size_t>(i)]);
    const int col = mod12(interval);
    float& cell = cart.ink[row][col];
    cell = static_cast<float>(std::min(kMaxWeight, std::max(0.0, cell * decay + amount)));
    cart.touchedHour[row][col] = hour;
  }
  for (int k = 0; k < kModes; ++k) weights[k] = std::clamp(weights[k], 0.0, kMaxWeight);
}

void seedFirstRun(MemoryFileBodyV1& body, MemoryCartV1& cart, MemoryNameV3& name, uint64_t now) {
  std::memset(&body, 0, sizeof body);
  std::memset(&name, 0, sizeof name);
  synthesizeBiography(kBiographies[1], modePitchClasses(0), 7.0, 120.0, now, body.modeWeights, cart, 1.0 / 3.0);
  std::strncpy(name.text, kBiographies[1].name, sizeof name.text - 1);
  name.namedAt = now;
}

}  // namespace vorrel::mem
