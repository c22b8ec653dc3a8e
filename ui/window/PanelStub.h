// Stand-ins for the panel's state, hit map, fonts and drawing, until the real panel code replaces this file.
#pragma once

#include <cstdint>
#include <vector>

struct NVGcontext;

namespace vrui {

struct Layout960 {
  static constexpr float kWidth = 960.0f;
  static constexpr float kHeight = 660.0f;
  struct Rect {
    float x = 0, y = 0, w = 0, h = 0;
  };
};

// Font ids in the NanoVG context; -1 until loaded.
struct PanelFonts {
  int medium = -1;
  int semibold = -1;
  int mono = -1;
};

struct PanelState {
  enum class Ctrl : int32_t { None, ResizeGrip = 16 };
  int hoverCtrl = 0;
  int hoverIndex = -1;
};

class HitMap {
 public:
  struct Entry {
    PanelState::Ctrl ctrl = PanelState::Ctrl::None;
    int32_t index = -1;
    Layout960::Rect rect;
    bool isKnob = false;
    float lo = 0.0f;
    float hi = 0.0f;
  };
  void clear() { entries.clear(); }
  void add(PanelState::Ctrl ctrl, const Layout960::Rect& rect, int index = -1) {
    entries.push_back({ctrl, index, rect, false, 0.0f, 0.0f});
  }
  // The last entry drawn under a layout point, or null.
  const Entry* find(float x, float y) const;
  const std::vector<Entry>& all() const { return entries; }

 private:
  std::vector<Entry> entries;
};

// Draws the background, the header band and the bands' outlines; fills the hit map with the resize grip.
void drawPanel(NVGcontext* vg, const PanelFonts& fonts, const PanelState& st, HitMap* hits);

}  // namespace vrui
