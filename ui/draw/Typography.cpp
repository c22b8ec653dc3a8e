// Text styles applied to NanoVG: face with fallback, size, tracking, capitals, alignment and the double pass.
#include "Typography.h"

#include "PanelLayout.h"

#include <nanovg.h>

#include <algorithm>
#include <cmath>

namespace vrui {
namespace {

int faceFor(const PanelFonts& fonts, const TypeSpec& style) {
  int want = style.mono ? fonts.mono : style.semibold ? fonts.semibold : fonts.medium;
  if (want >= 0) return want;
  return fonts.medium >= 0 ? fonts.medium : fonts.semibold;
}

float applyStyle(NVGcontext* vg, const PanelFonts& fonts, const TypeSpec& style) {
  nvgFontFaceId(vg, faceFor(fonts, style));
  nvgFontSize(vg, style.size * 1.2f);
  float tracking = style.tracking > 0.0f ? std::round(style.tracking) : 0.0f;
  nvgTextLetterSpacing(vg, tracking);
  return tracking;
}

// Measures and wraps in layout units whatever the window's scale. The font rasteriser works at the scaled size,
// where rounding moves each advance by a fraction of a pixel, so a width taken at the scale would move whatever is
// placed after the text from one window size to the next. Drawing still happens at the scale.
class LayoutUnits {
 public:
  explicit LayoutUnits(NVGcontext* vg) : vg(vg) {
    nvgCurrentTransform(vg, xf);
    nvgResetTransform(vg);
  }
  ~LayoutUnits() { nvgTransform(vg, xf[0], xf[1], xf[2], xf[3], xf[4], xf[5]); }
  LayoutUnits(const LayoutUnits&) = delete;
  LayoutUnits& operator=(const LayoutUnits&) = delete;

 private:
  NVGcontext* vg;
  float xf[6] = {};
};

float measure(NVGcontext* vg, const char* start, const char* end) {
  const LayoutUnits units(vg);
  return nvgTextBounds(vg, 0.0f, 0.0f, start, end, nullptr);
}

}  // namespace

float specWidth(NVGcontext* vg, const PanelFonts& fonts, const TypeSpec& style, const std::string& text) {
  if (text.empty() || faceFor(fonts, style) < 0) return 0.0f;
  applyStyle(vg, fonts, style);
  const std::string shown = style.upper ? capitals(text) : text;
  return measure(vg, shown.c_str(), shown.c_str() + shown.size());
}

float specText(NVGcontext* vg, const PanelFonts& fonts, const TypeSpec& style, float x, float y, const NVGcolor& colour,
               const std::string& text, int align, bool singlePass) {
  // Without any font loaded there is no text to draw or measure.
  if (text.empty() || faceFor(fonts, style) < 0) return 0.0f;
  float tracking = applyStyle(vg, fonts, style);
  const std::string shown = style.upper ? capitals(text) : text;
  const char* end = shown.c_str() + shown.size();
  const float width = measure(vg, shown.c_str(), end);
  if (align == kCentre || align == kRight) x += align == kCentre ? (tracking - width) / 2.0f : tracking - width;
  nvgTextAlign(vg, NVG_ALIGN_LEFT | NVG_ALIGN_MIDDLE);
  nvgFillColor(vg, colour);
  nvgText(vg, x, y, shown.c_str(), end);
  if (!singlePass) nvgText(vg, x, y, shown.c_str(), end);
  return width;
}

float specTextWrapped(NVGcontext* vg, const PanelFonts& fonts, const TypeSpec& style, float x, float y, float width,
                      const NVGcolor& colour, const std::string& text, float lineHeight, bool measureOnly) {
  if (text.empty()) return 0.0f;
  if (faceFor(fonts, style) < 0) return lineHeight;
  applyStyle(vg, fonts, style);
  const std::string shown = style.upper ? capitals(text) : text;
  nvgTextAlign(vg, NVG_ALIGN_LEFT | NVG_ALIGN_MIDDLE);
  nvgFillColor(vg, colour);
  const char* start = shown.c_str();
  const char* end = start + shown.size();
  NVGtextRow rows[8];
  int lines = 0;
  while (start < end) {
    int n = 0;
    {
      const LayoutUnits units(vg);
      n = nvgTextBreakLines(vg, start, end, width, rows, 8);
    }
    if (n <= 0) break;
    for (int i = 0; i < n; ++i, ++lines) {
      if (!measureOnly) nvgText(vg, x, y + lineHeight * (lines + 0.5f), rows[i].start, rows[i].end);
    }
    start = rows[n - 1].next;
  }
  // Without a font nothing breaks into rows; count one line so cards still get their text's place.
  if (lines == 0) lines = 1;
  return lines * lineHeight;
}

}  // namespace vrui
