// Parent-size settling and the grip's size arithmetic, kept free of X11 so they can be checked directly.
#include "ParentFollower.h"

#include <algorithm>
#include <cstdlib>

namespace vrui {

GripSize gripSize(float startX, float startScale, float x) {
  const float s = std::clamp((x - startX) / 960.0f + startScale, 0.7f, 3.2f);
  const int w = std::max(1, static_cast<int>(s * 960.0f));
  const int h = std::max(1, static_cast<int>(660.0f * static_cast<float>(w) / 960.0f + 0.5f));
  return {w, h};
}

ParentFollower::Result ParentFollower::tick(int w, int h, int storedW, int storedH) {
  Result r;
  if (w != parentSeenW || h != parentSeenH) {
    parentSeenW = w;
    parentSeenH = h;
    parentStableFrames = 0;
    return r;
  }
  if (parentStableFrames < kSettleFrames + 1) ++parentStableFrames;
  if (parentStableFrames != kSettleFrames) return r;

  const auto near = [](int a, int b) { return std::abs(a - b) <= kIgnoredChange; };
  if (followState == 2) {
    if (near(w, parentAppliedW) && near(h, parentAppliedH)) return r;
    parentAppliedW = w;
    parentAppliedH = h;
    r.action = Action::Follow;
    r.w = w;
    r.h = (w * 660 + 480) / 960;
    return r;
  }
  parentAppliedW = w;
  parentAppliedH = h;
  if (followState == 1) {
    followState = 2;
    return r;
  }
  // First look: a host that opened us in a parent of another size is asked once for the remembered size.
  if (storedW > 0 && storedH > 0 && (!near(w, storedW) || !near(h, storedH))) {
    parentStableFrames = 0;
    followState = 1;
    r.action = Action::AskStored;
    r.w = w;
    r.h = h;
    return r;
  }
  followState = 2;
  return r;
}

}  // namespace vrui
