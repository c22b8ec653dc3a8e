// The panel's widgets: card, button, segmented switch, name field, parameter knob, and small shapes.
#pragma once

#include "HitMap.h"
#include "Palette.h"
#include "PanelState.h"
#include "Typography.h"

#include <string>

namespace vrui {

// Everything one frame's drawing needs, passed to every region.
struct Frame {
  NVGcontext* vg;
  const PanelFonts& fonts;
  const PanelState& s;
  HitMap& hits;

  bool hovered(Ctrl c, int index = -1) const {
    return s.hoverCtrl == static_cast<int>(c) && (index == -1 || s.hoverIndex == index);
  }
  float text(const TypeSpec& t, float x, float y, const NVGcolor& c, const std::string& str, int align = kLeft) const {
    return specText(vg, fonts, t, x, y, c, str, align);
  }
  float width(const TypeSpec& t, const std::string& str) const { return specWidth(vg, fonts, t, str); }
};

void fillRect(NVGcontext* vg, const Rect& r, const NVGcolor& c);
void fillRound(NVGcontext* vg, const Rect& r, float radius, const NVGcolor& c);
void strokeRound(NVGcontext* vg, const Rect& r, float radius, const NVGcolor& c, float width = 1.0f);
void hLine(NVGcontext* vg, float x0, float x1, float y, const NVGcolor& c);
void vLine(NVGcontext* vg, float x, float y0, float y1, const NVGcolor& c);
// A small filled triangle pointing down (dir 0), left (1) or right (2), centred on (cx, cy).
void triangle(NVGcontext* vg, float cx, float cy, float size, int dir, const NVGcolor& c);
Rect inset(const Rect& r, float d);
// A label centred in its box in the segment style, or in the small capitals when it would not fit.
void fittedLabel(const Frame& f, const Rect& r, const NVGcolor& c, const std::string& label);

void card(NVGcontext* vg, const Rect& r);
// Style 0 outline, 1 teal, 2 danger.
void button(const Frame& f, const std::string& label, const Rect& r, Ctrl ctrl, int style, int index = -1);
void segmented(const Frame& f, const char* const* labels, int count, const Rect& r, int selected, Ctrl ctrl,
               bool amber);
void nameField(const Frame& f, Ctrl ctrl, const Rect& r);
void knob(const Frame& f, int param, bool warn, float x, float y);

}  // namespace vrui
