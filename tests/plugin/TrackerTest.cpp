// The engrave tracker's weights and held times, and the rings' capacity rules.
#include "EngraveTracker.h"
#include "SpscRing.h"

#include <gtest/gtest.h>

using vorrel::mem::InkEvent;

TEST(Tracker, FirstNoteMakesNoEventAndTheSecondGivesTheInterval) {
  EngraveTracker t;
  InkEvent e;
  EXPECT_FALSE(t.noteOn(60, 0, 1.0, 0.0, e));
  t.noteOff(0.5);
  ASSERT_TRUE(t.noteOn(67, 0, 1.0, 1.0, e));
  EXPECT_EQ(e.interval, 7.0);
  EXPECT_EQ(e.fromNote, 60);
  EXPECT_DOUBLE_EQ(e.heldSeconds, 0.5);
  EXPECT_DOUBLE_EQ(e.weight, 0.5);
  ASSERT_TRUE(t.noteOn(55, 0, 1.0, 1.2, e));
  EXPECT_EQ(e.interval, -12.0);  // signed
}

TEST(Tracker, WeightIsHeldTimeCappedAtTwoTimesVelocity) {
  EngraveTracker t;
  InkEvent e;
  t.noteOn(60, 0, 1.0, 10.0, e);
  t.noteOff(13.0);
  ASSERT_TRUE(t.noteOn(62, 0, 64 / 127.0, 14.0, e));
  EXPECT_DOUBLE_EQ(e.weight, 2.0);
  EXPECT_DOUBLE_EQ(e.heldSeconds, 3.0);
  t.noteOff(17.0);
  ASSERT_TRUE(t.noteOn(64, 0, 1.0, 18.0, e));
  EXPECT_DOUBLE_EQ(e.weight, 2.0 * 64 / 127.0);
}

TEST(Tracker, OverlappingNotesEndTheFirstAtTheSecondsStart) {
  EngraveTracker t;
  InkEvent e;
  t.noteOn(60, 0, 0.5, 1.0, e);
  ASSERT_TRUE(t.noteOn(64, 0, 0.5, 1.8, e));  // first still held
  EXPECT_DOUBLE_EQ(e.heldSeconds, 0.8);
  EXPECT_DOUBLE_EQ(e.weight, 0.8 * 0.5);
}

TEST(Tracker, PressureIntegralReplacesVelocityOnceSeen) {
  EngraveTracker t;
  InkEvent e;
  t.noteOn(60, 3, 1.0, 0.0, e);
  t.pressure(0.5, 0.0);
  t.pressure(1.0, 1.0);  // 1 s at 0.5
  t.noteOff(1.5);        // 0.5 s at 1.0
  ASSERT_TRUE(t.noteOn(61, 3, 1.0, 9.0, e));
  EXPECT_DOUBLE_EQ(e.weight, 1.0);
  t.pressure(1.0, 9.0);
  ASSERT_TRUE(t.noteOn(62, 3, 1.0, 12.5, e));  // still held: integrate up to now, cap at 2
  EXPECT_DOUBLE_EQ(e.weight, 2.0);
  EXPECT_TRUE(t.isLastHeld(62, 3));
  EXPECT_FALSE(t.isLastHeld(62, 4));
  t.reset();
  EXPECT_FALSE(t.noteOn(63, 3, 1.0, 13.0, e));
}

TEST(Rings, AFullRingDropsTheNewItem) {
  SpscRing<int, 4> ring;
  for (int i = 0; i < 4; ++i) EXPECT_TRUE(ring.push(i));
  EXPECT_FALSE(ring.push(99));
  int v = -1;
  ASSERT_TRUE(ring.pop(v));
  EXPECT_EQ(v, 0);
  EXPECT_TRUE(ring.push(4));
  for (int want = 1; want <= 4; ++want) {
    ASSERT_TRUE(ring.pop(v));
    EXPECT_EQ(v, want);
  }
  EXPECT_FALSE(ring.pop(v));
}
