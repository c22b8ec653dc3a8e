// Where on the panel a press lands: the wheel's sectors, pressure from the height on a key, knob travel, double
// clicks and the category rail.
#pragma once

#include <cstdint>
#include <string>

namespace vrui {

inline constexpr float kWheelCentreX = 138;
inline constexpr float kWheelCentreY = 192;
inline constexpr int kFifths[12] = {0, 7, 2, 9, 4, 11, 6, 1, 8, 3, 10, 5};
inline constexpr float kKeyTop = 591;   // layout y of the keys' top edge
inline constexpr float kKeyDepth = 39;  // the white keys' height; pressure spans at most this
inline constexpr float kMinKeyPressure = 0.08f;
inline constexpr float kKnobTravel = 160;   // layout units of vertical travel for the full range
inline constexpr float kFineFactor = 0.2f;  // with Shift held
inline constexpr float kMinDragScale = 0.1f;
inline constexpr uint32_t kDoubleClickMs = 400;
inline constexpr float kDoubleClickPixels = 6;

// The sector (0..11) whose centre line is nearest the direction from the wheel centre; sector i is centred i x 30
// degrees clockwise from straight up. Layout units, y downwards.
int wheelSector(float layoutX, float layoutY);
inline int wheelPitchClass(float layoutX, float layoutY) { return kFifths[wheelSector(layoutX, layoutY)]; }

// Pressure from where a key is touched: 1 at its top edge, falling to 0.08 at keyHeight (at most 39) below it.
// Clicking higher presses harder, and dragging up leans in.
float keyPressureAt(float layoutY, float keyHeight);

// A knob's normalized value after travel window pixels (up or right positive) from its value at the press.
float knobDragValue(float startValue, float travelPixels, float scale, float range, bool fine);

// The category rail's entry of a factory category name; "Yours" is 9, an unknown name 1.
int catRailIndex(const std::string& category);

// The previous press, for telling double clicks: within 400 ms and 6 window pixels each way. A double click
// forgets the time, so a third quick press starts a new pair.
struct ClickMemory {
  uint32_t ms = 0;
  float x = -1e9f, y = -1e9f;
  bool recent(uint32_t nowMs, float px, float py);
};

}  // namespace vrui
