// The shipped memories: empty, control and first-run recipes, clamping, and bit-identical repeats.
#include "Biographies.h"
#include "Engraving.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

using namespace vorrel::mem;

namespace {

struct Made {
  double w[kModes] = {};
  MemoryCartV1 cart{};
};

Made make(const Biography& bio, double minutes, double forget = 7, double engrave = 120, uint64_t now = 3600 * 500) {
  Made m;
  synthesizeBiography(bio, modePitchClasses(0), forget, engrave, now, m.w, m.cart, minutes);
  return m;
}

double inkSum(const MemoryCartV1& c) {
  double s = 0;
  for (auto& row : c.ink)
    for (float v : row) s += v;
  return s;
}

}  // namespace

TEST(Biography, TheTable) {
  EXPECT_STREQ(kBiographies[0].name, "Untouched");
  EXPECT_STREQ(kBiographies[1].subtitle, "8 min \xC2\xB7 thirds & sevenths");
  EXPECT_EQ(kBiographies[2].count, 8);
  EXPECT_EQ(kBiographies[8].pattern[4], 16);
  EXPECT_EQ(kBiographies[4].baseNote, 45u);
}

TEST(Biography, UntouchedIsEmpty) {
  const Made m = make(kBiographies[0], 8);
  for (double w : m.w) EXPECT_EQ(w, 0.0);
  EXPECT_EQ(inkSum(m.cart), 0.0);
}

TEST(Biography, OctavesOnlyCarvesColumnZeroAndModesNearTheOctave) {
  const Made m = make(kBiographies[4], 8);
  for (int r = 0; r < 12; ++r)
    for (int c = 1; c < 12; ++c) EXPECT_EQ(m.cart.ink[r][c], 0.0f) << r << " " << c;
  EXPECT_GT(m.cart.ink[9][0], 0.0f);  // base note 45 is an A
  EXPECT_EQ(m.cart.touchedHour[9][0], 500u);
  const auto pcs = modePitchClasses(0);
  // Weight falls with the distance of a mode's pitch class from the octave: at the cap within half a
  // semitone, next to nothing three semitones away.
  for (int k = 1; k < kModes; ++k) {
    const double d = std::min(pcs[k], 12 - pcs[k]);
    if (d < 0.5) {
      EXPECT_EQ(m.w[k], 20.0) << k;
    } else if (d > 2.9) {
      EXPECT_LT(m.w[k], 0.01) << k;
    }
  }
  EXPECT_EQ(m.w[0], 0.0);
}

TEST(Biography, NotesClampBeforeIntervalsAreTaken) {
  // Every note of this recipe lies above 92 and is lowered to 92: every interval is then 0.
  Biography high{"High", "", 120, 2, {0, 7}};
  const Made m = make(high, 1);
  EXPECT_GT(m.cart.ink[92 % 12][0], 0.0f);
  EXPECT_NEAR(inkSum(m.cart), m.cart.ink[8][0], 1e-6);
  Biography low{"Low", "", 0, 2, {0, 5}};
  const Made l = make(low, 1);
  EXPECT_GT(l.cart.ink[33 % 12][0], 0.0f);
}

TEST(Biography, NoMinutesMeansOneNoteAndNoInterval) {
  for (double minutes : {0.0, -3.0}) {
    const Made m = make(kBiographies[1], minutes);
    EXPECT_EQ(inkSum(m.cart), 0.0);
    for (double w : m.w) EXPECT_EQ(w, 0.0);
  }
}

TEST(Biography, SameSettingsGiveBitIdenticalMemories) {
  const Made a = make(kBiographies[5], 8, 7, 120, 3600 * 9 + 5);
  const Made b = make(kBiographies[5], 8, 7, 120, 3600 * 9 + 3000);  // same hour
  EXPECT_EQ(std::memcmp(a.w, b.w, sizeof a.w), 0);
  EXPECT_EQ(std::memcmp(&a.cart, &b.cart, sizeof a.cart), 0);
  const Made c = make(kBiographies[5], 8, 30, 120, 3600 * 9);
  EXPECT_NE(std::memcmp(a.w, c.w, sizeof a.w), 0);  // Forget matters
}

TEST(Biography, FirstRunIsAThirdOfAMinuteOfGospelKeys) {
  MemoryFileBodyV1 body{};
  MemoryCartV1 cart{};
  MemoryNameV3 name{};
  seedFirstRun(body, cart, name, 7200);
  EXPECT_STREQ(name.text, "Gospel keys");
  EXPECT_EQ(name.namedAt, 7200u);
  EXPECT_EQ(body.forgetDays, 0.0);  // filled in by the opener
  EXPECT_EQ(body.engravePct, 0.0);
  // 71 notes make 70 intervals, each carving at most 120 * 0.006 * 115 * 0.26 / 127.
  const Made m = make(kBiographies[1], 1.0 / 3.0, 7, 120, 7200);
  EXPECT_EQ(std::memcmp(body.modeWeights, m.w, sizeof m.w), 0);
  double total = 0;
  for (double w : body.modeWeights) total += w;
  EXPECT_GT(total, 70 * 120 * 0.006 * 72 * 0.26 / 127 * 0.999);
  EXPECT_LT(total, 70 * 120 * 0.006 * 115 * 0.26 / 127);
}
