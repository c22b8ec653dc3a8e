// The clickable rectangles of the last drawn frame, in drawing order; the last drawn entry lies on top.
#pragma once

#include "Layout960.h"
#include "PanelState.h"

#include <vector>

namespace vrui {

class HitMap {
 public:
  struct Entry {
    Ctrl ctrl = Ctrl::None;
    int32_t index = -1;
    Rect rect;
    bool isKnob = false;
    float lo = 0.0f;  // knobs: lower end of the normalized range; cells: the plain value the cell selects
    float hi = 0.0f;  // knobs: upper end of the normalized range
  };

  void clear() { entries.clear(); }
  void add(Ctrl ctrl, const Rect& rect, int index = -1) { entries.push_back({ctrl, index, rect, false, 0.0f, 0.0f}); }
  void addKnob(Ctrl ctrl, const Rect& rect, float lo, float hi, int index) {
    entries.push_back({ctrl, index, rect, true, lo, hi});
  }
  void addCell(Ctrl ctrl, const Rect& rect, int index, float value) {
    entries.push_back({ctrl, index, rect, false, value, 0.0f});
  }

  // The entry under a point in layout units, searched from the last added; null when nothing is there.
  const Entry* find(float x, float y) const;
  // Bounding box of every entry of a control (and of one index unless index is -1); false when none matches.
  bool bounds(Ctrl ctrl, int index, Rect& out) const;

  const std::vector<Entry>& all() const { return entries; }
  size_t size() const { return entries.size(); }

 private:
  std::vector<Entry> entries;  // UI thread only; keeps its storage from frame to frame
};

}  // namespace vrui
