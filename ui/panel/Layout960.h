// The fixed 960 x 660 layout space every drawing and hit rectangle is expressed in.
#pragma once

namespace vrui {

struct Layout960 {
  static constexpr float kWidth = 960.0f;
  static constexpr float kHeight = 660.0f;

  struct Rect {
    float x = 0.0f;
    float y = 0.0f;
    float w = 0.0f;
    float h = 0.0f;

    bool contains(float px, float py) const { return px >= x && px < x + w && py >= y && py < y + h; }
    float right() const { return x + w; }
    float bottom() const { return y + h; }
  };
};

using Rect = Layout960::Rect;

}  // namespace vrui
