// Text widths in the panel's text styles, measured with the panel's fonts through the vector library's rasteriser.
#pragma once

#include <string>

class FontMeasure {
 public:
  enum Style { InfoText, RailTick, KnobZone, TourTitle };

  // Finds the fonts under $VORREL_FONT_DIR, else the configured font directory; ok() is false without them.
  FontMeasure();
  ~FontMeasure();
  FontMeasure(const FontMeasure&) = delete;
  FontMeasure& operator=(const FontMeasure&) = delete;

  bool ok() const { return fs && medium >= 0 && semibold >= 0 && mono >= 0; }
  // The advance width in layout units when the panel is drawn at this window scale.
  float width(Style style, const std::string& text, float scale = 1.0f) const;

 private:
  void* fs = nullptr;
  int medium = -1, semibold = -1, mono = -1;
};
