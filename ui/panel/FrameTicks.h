// Frames of 1/60 s between two drawn frames, counted against the clock so that flashes, the caret and key energy
// keep their time when a slow GL driver draws fewer than 60 frames a second.
#pragma once

#include <algorithm>
#include <cmath>

namespace vrui {

// UI thread only.
class FrameTicks {
 public:
  // seconds since the last drawn frame; returns 1 to 30 (a longer stall counts as half a second). At 60 frames per
  // second the jitter of the pacing rounds away and every frame counts one; fractions carry into the next frame.
  int advance(double seconds) {
    carry += std::clamp(seconds, 0.0, 1.0) * 60.0;
    const int ticks = std::clamp(static_cast<int>(std::lround(carry)), 1, kMaxTicks);
    carry = std::clamp(carry - ticks, -1.0, 1.0);
    return ticks;
  }

 private:
  static constexpr int kMaxTicks = 30;
  double carry = 0.0;  // frames of 1/60 s not yet counted, -1 to 1
};

}  // namespace vrui
