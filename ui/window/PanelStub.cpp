// Stand-in drawing until the panel code arrives: background, header band, bands' outlines and the resize grip.
#include "PanelStub.h"
#include "VorrelUI.h"

#include <nanovg.h>

namespace vrui {
namespace {

void fillRect(NVGcontext* vg, float x, float y, float w, float h, NVGcolor c) {
  nvgBeginPath(vg);
  nvgRect(vg, x, y, w, h);
  nvgFillColor(vg, c);
  nvgFill(vg);
}

void outline(NVGcontext* vg, float x, float y, float w, float h) {
  nvgBeginPath(vg);
  nvgRect(vg, x + 0.5f, y + 0.5f, w - 1.0f, h - 1.0f);
  nvgStrokeColor(vg, nvgRGB(36, 44, 52));
  nvgStrokeWidth(vg, 1.0f);
  nvgStroke(vg);
}

}  // namespace

const HitMap::Entry* HitMap::find(float x, float y) const {
  for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
    const Layout960::Rect& r = it->rect;
    if (x >= r.x && x < r.x + r.w && y >= r.y && y < r.y + r.h) return &*it;
  }
  return nullptr;
}

void drawPanel(NVGcontext* vg, const PanelFonts&, const PanelState&, HitMap* hits) {
  HitMap own;
  HitMap& map = hits ? *hits : own;
  map.clear();
  fillRect(vg, 0, 0, 960, 660, nvgRGB(18, 22, 27));
  nvgBeginPath(vg);
  nvgRect(vg, 0, 0, 960, 44);
  nvgFillPaint(vg, nvgLinearGradient(vg, 0, 0, 0, 44, nvgRGB(23, 29, 35), nvgRGB(18, 23, 28)));
  nvgFill(vg);
  fillRect(vg, 0, 43, 960, 1, nvgRGB(26, 32, 39));
  fillRect(vg, 0, 44, 960, 278, nvgRGB(22, 29, 35));
  fillRect(vg, 0, 44, 960, 2, nvgRGB(63, 184, 160));
  outline(vg, 0, 322, 960, 254);
  fillRect(vg, 0, 576, 960, 58, nvgRGB(12, 16, 20));
  fillRect(vg, 0, 634, 960, 26, nvgRGB(10, 12, 15));
  map.add(PanelState::Ctrl::ResizeGrip, {944, 644, 16, 16});
}

}  // namespace vrui

void VorrelUI::buildState(vrui::PanelState& st) {
  st.hoverCtrl = hoverCtrl;
  st.hoverIndex = hoverIndex;
}
