// The panel's colours.
#pragma once

#include "PanelLayout.h"

#include <nanovg.h>

namespace vrui::pal {

inline NVGcolor rgb(int r, int g, int b, int a = 255) {
  return nvgRGBA(static_cast<unsigned char>(r), static_cast<unsigned char>(g), static_cast<unsigned char>(b),
                 static_cast<unsigned char>(a));
}
inline NVGcolor rgbf(int r, int g, int b, float alpha) {
  return nvgRGBAf(r / 255.0f, g / 255.0f, b / 255.0f, alpha < 0.0f ? 0.0f : alpha > 1.0f ? 1.0f : alpha);
}
inline NVGcolor of(const Rgb& c, float alpha = 1.0f) { return rgbf(c.r, c.g, c.b, alpha); }

inline NVGcolor background() { return rgb(18, 22, 27); }
inline NVGcolor rule() { return rgb(26, 32, 39); }
inline NVGcolor outline() { return rgb(36, 44, 52); }
inline NVGcolor ink() { return rgb(221, 214, 199); }
inline NVGcolor muted() { return rgb(139, 138, 128); }
inline NVGcolor faint() { return rgb(95, 102, 96); }
inline NVGcolor teal(float a = 1.0f) { return rgbf(63, 184, 160, a); }
inline NVGcolor amber(float a = 1.0f) { return rgbf(232, 163, 61, a); }
inline NVGcolor danger() { return rgb(201, 80, 63); }
inline NVGcolor cardFill() { return rgb(22, 28, 34); }
inline NVGcolor cardBorder() { return rgb(51, 61, 71); }
inline NVGcolor bandA() { return rgb(22, 29, 35); }
inline NVGcolor keyStrip() { return rgb(12, 16, 20); }
inline NVGcolor hintBar() { return rgb(10, 12, 15); }
inline NVGcolor fieldFill() { return rgb(15, 20, 25); }
inline NVGcolor fieldBorder() { return rgb(58, 68, 78); }
inline NVGcolor fieldSelection() { return rgb(42, 65, 85, 200); }
inline NVGcolor note() { return rgb(154, 164, 176); }

}  // namespace vrui::pal
