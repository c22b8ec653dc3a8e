// Where two frames' draw calls differ, by hand: the rectangles a partial redraw rebuilds.
#include "CallDiff.h"

#include <gtest/gtest.h>

namespace {

using vrui::DrawCall;
using vrui::PixelRect;

DrawCall call(uint64_t hash, float x0, float y0, float x1, float y1) { return {hash, x0, y0, x1, y1}; }

bool same(const PixelRect& a, const PixelRect& b) {
  return a.x0 == b.x0 && a.y0 == b.y0 && a.x1 == b.x1 && a.y1 == b.y1;
}

TEST(CallDiff, OnlyCallsThatDoNotPairOffMarkTheirPixels) {
  const std::vector<DrawCall> base = {call(1, 0, 0, 960, 660), call(2, 10, 10, 20, 20), call(3, 100, 100, 110, 110),
                                      call(4, 500, 500, 510, 505)};
  EXPECT_TRUE(vrui::diffFrames(base, base, 960, 660).rects.empty());

  auto changed = base;
  changed[2] = call(33, 100.5f, 100, 112, 110);  // moved and grown: both places, a pixel more each side
  auto d = vrui::diffFrames(base, changed, 960, 660);
  ASSERT_FALSE(d.full);
  ASSERT_EQ(d.rects.size(), 1u);
  EXPECT_TRUE(same(d.rects[0], {99, 99, 113, 111}));

  auto inserted = base;
  inserted.insert(inserted.begin() + 2, call(9, 300, 300, 310, 310));  // drawn in the new frame only
  d = vrui::diffFrames(base, inserted, 960, 660);
  ASSERT_EQ(d.rects.size(), 1u);
  EXPECT_TRUE(same(d.rects[0], {299, 299, 311, 311}));

  auto swapped = base;
  std::swap(swapped[1], swapped[2]);  // the same calls in another order: the one that moved in the order marks
  d = vrui::diffFrames(base, swapped, 960, 660);
  ASSERT_FALSE(d.rects.empty());
  bool covered = false;
  for (const PixelRect& r : d.rects) covered = covered || (r.x0 <= 10 && r.x1 >= 20) || (r.x0 <= 100 && r.x1 >= 110);
  EXPECT_TRUE(covered);

  auto far = base;  // changes in five far corners merge into at most four rectangles
  for (int i = 0; i < 5; ++i) far.push_back(call(100 + i, i * 200.0f, i * 130.0f, i * 200.0f + 5, i * 130.0f + 5));
  d = vrui::diffFrames(base, far, 960, 660);
  EXPECT_LE(d.rects.size(), 4u);

  auto background = base;
  background[0] = call(11, 0, 0, 960, 660);  // the panel's fill changed: everything is drawn again
  EXPECT_TRUE(vrui::diffFrames(base, background, 960, 660).full);
}

}  // namespace
