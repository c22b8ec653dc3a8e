// The arithmetic of pointer input, kept apart from the state it changes.
#include "InputGeometry.h"

#include <algorithm>
#include <cmath>

namespace vrui {

int wheelSector(float layoutX, float layoutY) {
  const double dx = layoutX - kWheelCentreX, dy = layoutY - kWheelCentreY;
  // Clockwise from straight up: up is -y in layout space.
  const double degrees = std::atan2(dx, -dy) * 180.0 / 3.14159265358979323846;
  const long sector = std::lround(degrees / 30.0);
  return static_cast<int>(((sector % 12) + 12) % 12);
}

float keyPressureAt(float layoutY, float keyHeight) {
  const float depth = std::clamp(keyHeight, 1.0f, kKeyDepth);
  const float p = 1.0f - (layoutY - kKeyTop) / depth;
  return std::isfinite(p) ? std::clamp(p, kMinKeyPressure, 1.0f) : kMinKeyPressure;
}

float knobDragValue(float startValue, float travelPixels, float scale, float range, bool fine) {
  const float factor = fine ? kFineFactor : 1.0f;
  const float v = startValue + factor * travelPixels / std::max(scale, kMinDragScale) / std::max(range, 1.0f);
  return std::isfinite(v) ? std::clamp(v, 0.0f, 1.0f) : std::clamp(startValue, 0.0f, 1.0f);
}

int catRailIndex(const std::string& c) {
  static const char* const kRail[] = {"Init",       "Keys",     "Bass",     "Pads", "Leads", "Plucked & struck",
                                      "Percussion", "Textures", "Machines", "Yours"};
  for (int i = 0; i < 10; ++i)
    if (c == kRail[i]) return i;
  return 1;
}

bool ClickMemory::recent(uint32_t nowMs, float px, float py) {
  const bool isDouble = ms != 0 && nowMs - ms < kDoubleClickMs && std::fabs(px - x) < kDoubleClickPixels &&
                        std::fabs(py - y) < kDoubleClickPixels;
  ms = isDouble ? 0 : nowMs;
  x = px;
  y = py;
  return isDouble;
}

}  // namespace vrui
