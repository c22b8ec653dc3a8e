// The body table, etendre's continuation rule and the calibration curve, against hand-computed values.
#include "Bodies.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace vorrel::dsp;

TEST(Etendre, ExtendsWithGapsGrowingSixPercent) {
  const auto r = etendre({1.0}, 4);
  ASSERT_EQ(r.size(), 4u);
  EXPECT_DOUBLE_EQ(r[0], 1.0);
  EXPECT_DOUBLE_EQ(r[1], 2.0);
  EXPECT_DOUBLE_EQ(r[2], 3.06);
  EXPECT_DOUBLE_EQ(r[3], 4.18);
  const auto& bell = modeList(2);
  EXPECT_NEAR(bell[13], 6.67, 1e-12);
  EXPECT_NEAR(bell[14], 7.3802, 1e-12);
  EXPECT_NEAR(bell[15], 8.1306, 1e-12);
  EXPECT_NEAR(bell[16], 8.9212, 1e-12);
  const auto& string = modeList(0);
  EXPECT_NEAR(string[20], 21.0, 1e-12);
  EXPECT_NEAR(string[21], 22.06, 1e-12);
  EXPECT_NEAR(string[22], 23.18, 1e-12);
  EXPECT_NEAR(string[23], 24.36, 1e-12);
  EXPECT_EQ(etendre({1, 2, 3}, 2), (std::vector<double>{1, 2}));
}

TEST(Bodies, TableAndModeLists) {
  const auto& b = bodies();
  const char* names[] = {"String",       "Drumhead",  "Bell", "Upright high", "Mid piano", "Open pipe",
                         "Stopped pipe", "Low piano", "Bar",  "Plate",        "Tine"};
  const size_t counts[] = {20, 20, 13, 20, 20, 20, 20, 20, 8, 20, 6};
  for (int i = 0; i < kNumBodies; ++i) {
    EXPECT_STREQ(b[i].name, names[i]);
    EXPECT_EQ(b[i].ratios.size(), counts[i]) << i;
    const auto& list = modeList(i);
    ASSERT_EQ(list.size(), 40u);
    for (size_t k = 1; k < list.size(); ++k) EXPECT_LT(list[k - 1], list[k]) << names[i] << " " << k;
    for (size_t k = 0; k < b[i].ratios.size(); ++k) EXPECT_EQ(list[k], b[i].ratios[k]);
  }
  EXPECT_EQ(b[8].ratios[0], 1.0);  // the bar's first ratio is exactly 1
  EXPECT_DOUBLE_EQ(b[9].ratios[19], 110.25);
  EXPECT_DOUBLE_EQ(b[6].ratios[19], 39.0);
  EXPECT_DOUBLE_EQ(b[3].ratios[1], 2.0 * std::sqrt(4 * 0.0012 + 1));
  EXPECT_DOUBLE_EQ(b[4].dose, 0.73);
  EXPECT_DOUBLE_EQ(b[10].rolloff, 1.2);
}

TEST(Bodies, ModePitchClasses) {
  EXPECT_NEAR(modePitchClass(1.5), 7.01955, 1e-5);
  EXPECT_NEAR(modePitchClass(2.0), 0.0, 1e-12);
  EXPECT_NEAR(modePitchClass(0.5), 0.0, 1e-12);
  EXPECT_NEAR(modePitchClass(0.75), 7.01955, 1e-5);  // below the note still lands in 0..12
  for (double r : modeList(1)) {
    const double pc = modePitchClass(r);
    EXPECT_GE(pc, 0.0);
    EXPECT_LT(pc, 12.0);
  }
}

TEST(Calibration, AnchorsExactAndConstantOutside) {
  for (int fam = 0; fam < 4; ++fam) {
    const double* cal = familyCal(fam);
    EXPECT_EQ(calibrationCurve(cal, 0.5), cal[1]);
    EXPECT_EQ(calibrationCurve(cal, 2.0), cal[2]);
    EXPECT_EQ(calibrationCurve(cal, 8.0), cal[3]);
    EXPECT_EQ(calibrationCurve(cal, 100.0), cal[3]);
    EXPECT_EQ(calibrationCurve(cal, 0.1), cal[1]);
    // Halfway in log time between 0.5 and 2 s is 1 s.
    EXPECT_NEAR(calibrationCurve(cal, 1.0), 0.5 * (cal[1] + cal[2]), 1e-12);
    EXPECT_NEAR(calibrationCurve(cal, 4.0), 0.5 * (cal[2] + cal[3]), 1e-12);
  }
  EXPECT_EQ(familyCal(Exciter::Grain)[3], 4.8);
  EXPECT_EQ(familyCal(7), familyCal(3));
  EXPECT_EQ(familyCal(-1), familyCal(3));
  EXPECT_EQ(familyCal(Exciter::Maillet)[0], 0.02221);
  EXPECT_EQ(familyNoisePole(2), 0.95);
  EXPECT_EQ(familyNoisePole(3), 0.0);
}
