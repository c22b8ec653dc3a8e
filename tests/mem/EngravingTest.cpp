// Engraving, forgetting, repair and the memory operations, checked against values worked out by hand.
#include "Engraving.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

using namespace vorrel::mem;

namespace {

InkEvent ink(double interval, double weight, int fromNote, double held = 1.0) {
  InkEvent e;
  e.interval = interval;
  e.weight = weight;
  e.fromNote = fromNote;
  e.heldSeconds = held;
  return e;
}

double sum(const double* w) {
  double s = 0;
  for (int i = 0; i < kModes; ++i) s += w[i];
  return s;
}

}  // namespace

TEST(Engrave, CellsOfTheIntervalMap) {
  const auto pcs = modePitchClasses(0);
  MemoryState s = defaultState();
  engraveEvent(s, ink(-7, 1.0, 62), pcs, 7200);
  EXPECT_FLOAT_EQ(s.cart.ink[2][5], 0.72f);  // a descending fifth counts as a fourth
  EXPECT_EQ(s.cart.touchedHour[2][5], 2u);
  engraveEvent(s, ink(12, 1.0, 60), pcs, 7200);
  EXPECT_FLOAT_EQ(s.cart.ink[0][0], 0.72f);
  engraveEvent(s, ink(6.5, 1.0, 60), pcs, 7200);
  EXPECT_FLOAT_EQ(s.cart.ink[0][7], 0.72f);  // halves away from zero
  engraveEvent(s, ink(-6.5, 1.0, 60), pcs, 7200);
  EXPECT_FLOAT_EQ(s.cart.ink[0][5], 0.72f);  // -7 mod 12
}

TEST(Engrave, ModeWeightsShareTheAmountAroundTheInterval) {
  const auto pcs = modePitchClasses(0);
  MemoryState s = defaultState();
  engraveEvent(s, ink(6.5, 1.0, 60), pcs, 0);
  EXPECT_NEAR(sum(s.modeWeights), 0.72, 1e-12);  // weight 1 at 120 % and Speed x1
  EXPECT_EQ(s.modeWeights[0], 0.0);              // the fundamental takes no ink
  double shares[kModes];
  modeShares(6.5, pcs, shares);
  for (int i = 1; i < kModes; ++i) EXPECT_NEAR(s.modeWeights[i], 0.72 * shares[i], 1e-15);
  // Shares centre on 6.5, not on the cell's 7: mode 10 (ratio 11, 5.51 semitones) is closer to 6.5 than 7 is.
  double hand[kModes];
  double total = 0;
  for (int i = 0; i < kModes; ++i) {
    double d = std::fabs(pcs[i] - 6.5);
    d = std::min(d, 12 - d);
    hand[i] = i == 0 ? 0 : std::exp(-d * d / 0.98);
    total += hand[i];
  }
  for (int i = 1; i < kModes; ++i) EXPECT_NEAR(shares[i], hand[i] / total, 1e-15);
}

TEST(Engrave, WeightsPastTwentyRescaleToExactlyTwenty) {
  const auto pcs = modePitchClasses(0);
  MemoryState s = defaultState();
  for (double& w : s.modeWeights) w = 19.0;
  s.pace = 100.0;
  engraveEvent(s, ink(7, 2.0, 60), pcs, 0);
  double peak = 0;
  for (double w : s.modeWeights) peak = std::max(peak, w);
  EXPECT_EQ(peak, 20.0);
  EXPECT_LT(s.modeWeights[0], 19.0);  // everything scaled by the same factor
  EXPECT_FLOAT_EQ(s.cart.ink[0][7], 20.0f);
}

TEST(Engrave, YoursSecondsAndShortPitchLists) {
  MemoryState s = defaultState();
  s.pace = 3.0;
  engraveEvent(s, ink(4, 1.0, 60, -5.0), modePitchClasses(0), 0);
  EXPECT_EQ(s.yours.yoursSeconds, 0.0);
  engraveEvent(s, ink(4, 1.0, 60, 2.0), modePitchClasses(0), 0);
  EXPECT_EQ(s.yours.yoursSeconds, 6.0);
  MemoryState one = defaultState();
  engraveEvent(one, ink(4, 1.0, 61), {0.0}, 0);
  EXPECT_EQ(sum(one.modeWeights), 0.0);
  EXPECT_FLOAT_EQ(one.cart.ink[1][4], 0.72f);
}

TEST(Engrave, NonFiniteEventsCarveNothingAndWeightsAreClampedToTwo) {
  const auto pcs = modePitchClasses(0);
  MemoryState s = defaultState();
  s.modeWeights[7] = 3.0;
  const MemoryState before = s;
  for (const InkEvent& e : {ink(7, NAN, 60), ink(7, INFINITY, 60), ink(NAN, 1, 60), ink(INFINITY, 1, 60),
                            ink(7, 1, 60, NAN), ink(7, 1, 60, INFINITY)})
    engraveEvent(s, e, pcs, 3600);
  EXPECT_EQ(std::memcmp(&s, &before, sizeof s), 0);
  engraveEvent(s, ink(7, 5.0, 60), pcs, 3600);
  EXPECT_FLOAT_EQ(s.cart.ink[0][7], 1.44f);             // weight 2 at most
  engraveEvent(s, ink(1e300 + 4, 1.0, 60), pcs, 3600);  // a huge but finite interval still finds its cell
  for (double w : s.modeWeights) EXPECT_TRUE(std::isfinite(w));
}

TEST(Forget, ByWallClockTime) {
  MemoryFileBodyV1 body{};
  MemoryCartV1 cart{};
  body.forgetDays = 7;
  body.modeWeights[3] = 10;
  cart.ink[4][5] = 8;
  applyWallClockForget(body, cart, 1000, 1000, 1);
  EXPECT_EQ(body.modeWeights[3], 10.0);
  applyWallClockForget(body, cart, 1000, 500, 1);
  EXPECT_EQ(body.modeWeights[3], 10.0);
  MemoryFileBodyV1 off = body;
  off.forgetDays = 0;
  applyWallClockForget(off, cart, 0, 1000000, 1);
  EXPECT_EQ(off.modeWeights[3], 10.0);
  MemoryFileBodyV1 a = body;
  MemoryCartV1 ca = cart;
  applyWallClockForget(a, ca, 0, 7 * 86400, 1);
  EXPECT_NEAR(a.modeWeights[3], 10 * std::exp(-1.0), 1e-12);
  EXPECT_FLOAT_EQ(ca.ink[4][5], static_cast<float>(8 * std::exp(-1.0)));
  MemoryFileBodyV1 b = body;
  MemoryCartV1 cb = cart;
  applyWallClockForget(b, cb, 0, 7 * 864, 100);
  EXPECT_NEAR(b.modeWeights[3], 10 * std::exp(-1.0), 1e-12);
  MemoryFileBodyV1 c = body;
  MemoryCartV1 cc = cart;
  applyWallClockForget(c, cc, 0, 7 * 86400, 0.2);  // pace below 1 forgets at real time
  EXPECT_NEAR(c.modeWeights[3], 10 * std::exp(-1.0), 1e-12);
}

TEST(Sanitize, RepairsUntrustedRecords) {
  MemoryState s = defaultState();
  s.modeWeights[0] = NAN;
  s.modeWeights[1] = 25;
  s.modeWeights[2] = -3;
  s.cart.ink[1][1] = INFINITY;
  s.cart.ink[2][2] = 30;
  s.pace = 0.5;
  s.engravePct = INFINITY;
  s.forgetDays = NAN;
  s.yours.yoursSeconds = -1;
  std::memset(s.name.text, 'x', sizeof s.name.text);
  sanitizeState(s);
  EXPECT_EQ(s.modeWeights[0], 0.0);
  EXPECT_EQ(s.modeWeights[1], 20.0);
  EXPECT_EQ(s.modeWeights[2], 0.0);
  EXPECT_EQ(s.cart.ink[1][1], 0.0f);
  EXPECT_EQ(s.cart.ink[2][2], 20.0f);
  EXPECT_EQ(s.pace, 1.0);
  EXPECT_EQ(s.engravePct, -1.0);
  EXPECT_EQ(s.forgetDays, 0.0);
  EXPECT_EQ(s.yours.yoursSeconds, 0.0);
  EXPECT_EQ(std::strlen(s.name.text), 39u);
}

TEST(Sanitize, FiniteSettingsAreBroughtIntoRange) {
  MemoryState s = defaultState();
  s.engravePct = 1e308;
  s.forgetDays = 0.3;
  s.pace = 1e300;
  sanitizeState(s);
  EXPECT_EQ(s.engravePct, 200.0);
  EXPECT_EQ(s.forgetDays, 1.0);
  EXPECT_EQ(s.pace, 100.0);
  s.forgetDays = 500;
  s.engravePct = -1;  // "not given" stays for the caller
  sanitizeState(s);
  EXPECT_EQ(s.forgetDays, 90.0);
  EXPECT_EQ(s.engravePct, -1.0);
  MemoryState huge = defaultState();
  huge.engravePct = 1e308;
  sanitizeState(huge);
  engraveEvent(huge, ink(7, 2.0, 60), modePitchClasses(0), 0);
  for (double w : huge.modeWeights) EXPECT_TRUE(std::isfinite(w));
}

TEST(Ops, EveryOperationForgetsThenChangesThenStamps) {
  MemoryState s = defaultState();
  s.lastUpdate = 1000;
  s.modeWeights[5] = 10;
  ops::setMachineConfig(s, 0.2, 500, 1000 + 7 * 86400);
  EXPECT_NEAR(s.modeWeights[5], 10 * std::exp(-1.0), 1e-12);  // with the old Forget
  EXPECT_EQ(s.forgetDays, 1.0);
  EXPECT_EQ(s.engravePct, 200.0);
  EXPECT_EQ(s.lastUpdate, 1000u + 7 * 86400);
  ops::setPace(s, 250, 10);
  EXPECT_EQ(s.pace, 100.0);
  EXPECT_EQ(s.lastUpdate, 10u);  // set even when now is earlier
  const InkEvent events[2] = {ink(7, 1, 60), ink(4, 1, 67)};
  ops::engrave(s, events, 2, modePitchClasses(0), 20);
  EXPECT_EQ(s.yours.lastCarved, 20u);
  EXPECT_GT(s.cart.ink[0][7], 0.0f);
  EXPECT_GT(s.cart.ink[7][4], 0.0f);
  MemoryNameV3 name{};
  std::strcpy(name.text, "Mine");
  ops::setMemoryName(s, name, 30);
  EXPECT_STREQ(s.name.text, "Mine");
  EXPECT_EQ(s.yours.yoursSeconds, 0.0);
  EXPECT_EQ(s.yours.lastCarved, 20u);
  ops::wipe(s, 40);
  EXPECT_EQ(sum(s.modeWeights), 0.0);
  EXPECT_EQ(s.cart.ink[0][7], 0.0f);
  EXPECT_STREQ(s.name.text, "");
  EXPECT_EQ(s.forgetDays, 1.0);
  EXPECT_EQ(s.pace, 100.0);
}

TEST(Ops, ReplaceMemoryKeepsTheMachinesSettingsWhenNoneAreGiven) {
  MemoryState s = defaultState();
  s.forgetDays = 30;
  s.engravePct = 80;
  s.pace = 4;
  MemoryState r = defaultState();
  r.forgetDays = 0;
  r.engravePct = -1;
  r.pace = 50;
  r.modeWeights[2] = 99;
  ops::replaceMemory(s, r, 5);
  EXPECT_EQ(s.forgetDays, 30.0);
  EXPECT_EQ(s.engravePct, 80.0);
  EXPECT_EQ(s.pace, 4.0);
  EXPECT_EQ(s.modeWeights[2], 20.0);
  r.forgetDays = 12;
  r.engravePct = 150;
  ops::replaceMemory(s, r, 6);
  EXPECT_EQ(s.forgetDays, 12.0);
  EXPECT_EQ(s.engravePct, 150.0);
  EXPECT_EQ(s.pace, 4.0);
  EXPECT_EQ(s.lastUpdate, 6u);
}

TEST(ModePitch, SharedWithTheEngine) {
  const auto pcs = modePitchClasses(0);
  ASSERT_EQ(pcs.size(), 40u);
  EXPECT_NEAR(pcs[2], 7.01955, 1e-5);  // ratio 3
  EXPECT_NEAR(pcs[1], 0.0, 1e-12);
}
