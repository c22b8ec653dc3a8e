// The editor's size rules on a Vorrel object built directly, without a host.
#include "Vorrel.h"

#include <gtest/gtest.h>

namespace {

struct Sized {
  int w;
  int h;
};

Sized constrain(const Vorrel& v, int w, int h, bool* same = nullptr) {
  const bool r = v.ConstrainEditorResize(w, h);
  if (same) *same = r;
  return {w, h};
}

}  // namespace

TEST(EditorSize, ConstrainClampsWidthAndDerivesHeight) {
  Vorrel v(vfw::InstanceInfo{});
  bool same = true;
  Sized s = constrain(v, 600, 100, &same);
  EXPECT_EQ(s.w, 672);
  EXPECT_EQ(s.h, 462);
  EXPECT_FALSE(same);
  s = constrain(v, 4000, 10, &same);
  EXPECT_EQ(s.w, 3072);
  EXPECT_EQ(s.h, 2112);
  EXPECT_FALSE(same);
  s = constrain(v, 960, 660, &same);
  EXPECT_EQ(s.w, 960);
  EXPECT_EQ(s.h, 660);
  EXPECT_TRUE(same);
  s = constrain(v, 1001, 0, &same);  // 688.1875 + 0.5 truncates to 688
  EXPECT_EQ(s.h, 688);
  EXPECT_TRUE(v.hostTakesUIThreadResize());
}

TEST(EditorSize, RequestsFromTheEditorFollowTheSameRule) {
  Vorrel v(vfw::InstanceInfo{});
  EXPECT_FALSE(v.requestEditorResize(960, 300));  // height ignored: 960 wide is already 960 x 660
  EXPECT_EQ(v.storedEditorWidth(), 960);
  EXPECT_EQ(v.storedEditorHeight(), 660);
  EXPECT_TRUE(v.requestEditorResize(1200, 5));
  EXPECT_EQ(v.storedEditorWidth(), 1200);
  EXPECT_EQ(v.storedEditorHeight(), 825);
  EXPECT_EQ(v.GetEditorWidth(), 1200);
  EXPECT_EQ(v.GetEditorHeight(), 825);
  EXPECT_TRUE(v.requestEditorResize(100, 100));
  EXPECT_EQ(v.storedEditorWidth(), 672);
  EXPECT_FALSE(v.requestEditorResize(500, 100));
}

TEST(EditorSize, OpeningUsesTheStoredSizeOnlyWhenBothSidesAreUsable) {
  Vorrel v(vfw::InstanceInfo{});
  int token = 0;
  EXPECT_EQ(v.OpenWindow(&token), &token);
  EXPECT_EQ(v.GetEditorWidth(), 960);
  EXPECT_EQ(v.GetEditorHeight(), 660);
  ASSERT_TRUE(v.requestEditorResize(2000, 0));
  v.CloseWindow();
  EXPECT_EQ(v.GetEditorWidth(), 2000);
  v.OpenWindow(&token);
  EXPECT_EQ(v.GetEditorHeight(), 1375);
}

TEST(ParamTable, ShapesAndRangesOfTheTable) {
  Vorrel v(vfw::InstanceInfo{});
  ASSERT_EQ(v.NParams(), kNumParams);
  EXPECT_DOUBLE_EQ(v.GetParam(kCutoff)->FromNormalized(0.0), 80.0);
  EXPECT_DOUBLE_EQ(v.GetParam(kCutoff)->FromNormalized(1.0), 18000.0);
  EXPECT_NEAR(v.GetParam(kForget)->FromNormalized(0.5), 9.487, 1e-3);
  for (int i : {kBodyDecay, kDecay, kRelease, kCutoff, kDelay, kForget})
    EXPECT_EQ(v.GetParam(i)->Shape(), vfw::ParamShape::Exp) << i;
  for (int i : {kBody, kExciter, kVoices, kQuality}) EXPECT_TRUE(v.GetParam(i)->Stepped()) << i;
  EXPECT_STREQ(v.GetParam(kBodyDecay)->GetName(), "Decay");
  EXPECT_STREQ(v.GetParam(kDecay)->GetName(), "Decay");
  EXPECT_STREQ(v.GetParam(kBody)->GetDisplayText(10), "Tine");
  EXPECT_STREQ(v.GetParam(kExciter)->GetDisplayText(5), "Square");
  EXPECT_STREQ(v.GetParam(kQuality)->GetDisplayText(2), "x8");
  v.GetParam(kResonance)->Set(150);
  EXPECT_DOUBLE_EQ(v.GetParam(kResonance)->Value() / 100.0, 1.5);
}
