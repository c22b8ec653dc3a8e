// Parameter shapes, the snap-then-clamp rule and display text, checked against hand-computed values.
#include "Param.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <string>

using vfw::Param;
using vfw::ParamShape;

namespace {

std::string display(const Param& p, double v) {
  char buf[64];
  p.GetDisplay(v, buf, sizeof buf);
  return buf;
}

}  // namespace

TEST(Param, ExponentialShapeMapsNormalisedToRatios) {
  Param forget;
  forget.InitDouble("Forget", 7, 1, 90, 0.1, "d", "", ParamShape::Exp);
  EXPECT_NEAR(forget.FromNormalized(0.5), std::sqrt(90.0), 1e-12);  // 9.487, not 45.5
  EXPECT_EQ(display(forget, forget.FromNormalized(0.5)), "9.5 d");
  EXPECT_NEAR(forget.ToNormalized(7.0), std::log(7.0) / std::log(90.0), 1e-12);

  Param cutoff;
  cutoff.InitDouble("Cutoff", 2400, 80, 18000, 1, "Hz", "", ParamShape::Exp);
  EXPECT_DOUBLE_EQ(cutoff.FromNormalized(0.0), 80.0);
  EXPECT_DOUBLE_EQ(cutoff.FromNormalized(1.0), 18000.0);
  EXPECT_NEAR(cutoff.FromNormalized(cutoff.ToNormalized(2400.0)), 2400.0, 1e-9);
}

TEST(Param, LinearShapeAndRange) {
  Param level;
  level.InitDouble("Level", 0, -24, 12, 0.1, "dB");
  EXPECT_DOUBLE_EQ(level.FromNormalized(0.5), -6.0);
  EXPECT_DOUBLE_EQ(level.GetDefault(), 0.0);
  level.Set(100.0);
  EXPECT_DOUBLE_EQ(level.Value(), 12.0);
  level.Set(-1e9);
  EXPECT_DOUBLE_EQ(level.Value(), -24.0);
}

TEST(Param, SteppedKindsSnapHalvesAwayFromZeroThenClamp) {
  Param voices;
  voices.InitInt("Voices", 8, 1, 16);
  voices.Set(3.5);
  EXPECT_EQ(voices.Value(), 4.0);
  voices.Set(3.49);
  EXPECT_EQ(voices.Value(), 3.0);
  voices.Set(0.4);  // snaps to 0, then clamps to 1
  EXPECT_EQ(voices.Value(), 1.0);
  voices.Set(99.0);
  EXPECT_EQ(voices.Value(), 16.0);

  Param body;
  body.InitEnum("Body", 0, {"String", "Drumhead", "Bell"});
  body.Set(1.5);
  EXPECT_EQ(body.Value(), 2.0);
  EXPECT_EQ(display(body, 2.0), "Bell");
  EXPECT_TRUE(body.Stepped());
}

TEST(Param, DoublesAreNotSnapped) {
  Param imprint;
  imprint.InitDouble("Imprint", 62, 0, 100, 0.1, "%");
  imprint.Set(12.3456);
  EXPECT_DOUBLE_EQ(imprint.Value(), 12.3456);
  EXPECT_FALSE(imprint.Stepped());
}

TEST(Param, NonFiniteValuesLeaveTheValue) {
  Param p;
  p.InitDouble("P", 5, 0, 10, 0.1);
  p.Set(std::nan(""));
  p.Set(INFINITY);
  EXPECT_DOUBLE_EQ(p.Value(), 5.0);
  p.SetNormalized(std::nan(""));
  EXPECT_DOUBLE_EQ(p.Value(), 0.0);  // a broken normalised value reads as the bottom of the range
}

TEST(Param, DisplayPrecisionFollowsTheStepAndUnit) {
  Param env;
  env.InitDouble("Env amt", 2.8, 0, 6, 0.01, "oct");
  EXPECT_EQ(display(env, 2.8), "2.80 oct");
  Param attack;
  attack.InitDouble("Attack", 12, 0, 2000, 1, "ms");
  EXPECT_EQ(display(attack, 12.4), "12 ms");
  Param res;
  res.InitDouble("Resonance", 68, 0, 150, 0.1, "");
  EXPECT_EQ(display(res, 68), "68.0");
  Param level;
  level.InitDouble("Level", 0, -24, 12, 0.1, "dB");
  EXPECT_EQ(display(level, -0.01), "0.0 dB");  // no "-0.0"
}

TEST(Param, TextRoundTripIsLocaleIndependent) {
  // A comma-decimal locale must not change what we print or parse.
  const char* old = std::setlocale(LC_NUMERIC, nullptr);
  const std::string saved = old ? old : "C";
  std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
  Param p;
  p.InitDouble("Env amt", 2.8, 0, 6, 0.01, "oct");
  double v = 0;
  ASSERT_TRUE(p.TextToValue(display(p, 1.25).c_str(), v));
  EXPECT_DOUBLE_EQ(v, 1.25);
  ASSERT_TRUE(p.TextToValue("  3.5", v));
  EXPECT_DOUBLE_EQ(v, 3.5);
  EXPECT_FALSE(p.TextToValue("abc", v));
  EXPECT_FALSE(p.TextToValue("", v));
  std::setlocale(LC_NUMERIC, saved.c_str());

  Param e;
  e.InitEnum("Quality", 0, {"x1", "x4", "x8"});
  ASSERT_TRUE(e.TextToValue("x8", v));
  EXPECT_EQ(v, 2.0);
  ASSERT_TRUE(e.TextToValue("1", v));
  EXPECT_EQ(v, 1.0);
}

TEST(Param, TextsShowWhatIsStoredAndParseOnlyNumbersWithTheirUnit) {
  Param voices;
  voices.InitInt("Voices", 8, 1, 16);
  EXPECT_EQ(display(voices, 8.5), "9");  // ties go away from zero, as the snap does
  voices.Set(8.5);
  EXPECT_EQ(voices.Value(), 9.0);
  EXPECT_EQ(display(voices, 40), "16");
  Param cutoff;
  cutoff.InitDouble("Cutoff", 2400, 80, 18000, 1, "Hz", "", ParamShape::Exp);
  EXPECT_EQ(display(cutoff, 5), "80 Hz");
  double v = 0;
  for (const char* good : {"440", " 440 Hz ", "440hz", "+440", "-5"}) EXPECT_TRUE(cutoff.TextToValue(good, v)) << good;
  ASSERT_TRUE(cutoff.TextToValue(" 440 Hz ", v));
  EXPECT_EQ(v, 440.0);
  for (const char* bad : {"12abc", "1,5", "440 dB", "Hz", "440 Hz x", "+-5", "nan", "inf"})
    EXPECT_FALSE(cutoff.TextToValue(bad, v)) << bad;
}
