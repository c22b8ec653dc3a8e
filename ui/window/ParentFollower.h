// Settling on the host's parent size: act only when the parent has held one size for 30 frames (half a second).
#pragma once

#include <cstdint>

namespace vrui {

struct GripSize {
  int w;
  int h;
};
// The window size for the grip dragged to window x from startX, starting at startScale (scale 0.7 to 3.2).
GripSize gripSize(float startX, float startScale, float x);

class ParentFollower {
 public:
  static constexpr int kSettleFrames = 30;
  static constexpr int kIgnoredChange = 16;  // pixels per side

  enum class Action { Wait, Follow, AskStored };
  struct Result {
    Action action = Action::Wait;
    int w = 0;  // Follow: the size to store and report; AskStored: the parent's size
    int h = 0;
  };

  // One frame with the parent at w x h; storedW x storedH is the size the project remembers (0 for none).
  Result tick(int w, int h, int storedW, int storedH);
  int32_t state() const { return followState; }

 private:
  int32_t parentSeenW = 0;
  int32_t parentSeenH = 0;
  int32_t parentAppliedW = 0;
  int32_t parentAppliedH = 0;
  int32_t parentStableFrames = 0;
  int32_t followState = 0;  // 0 first look, 1 waiting for the host, 2 following
};

}  // namespace vrui
