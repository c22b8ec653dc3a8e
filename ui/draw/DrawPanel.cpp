// One frame of the panel, region by region in the order that puts menus and cards on top.
#include "DrawPanel.h"

#include "DrawRegions.h"

namespace vrui {

void drawPanel(NVGcontext* vg, const PanelFonts& fonts, const PanelState& state, HitMap* hits) {
  HitMap own;
  HitMap& map = hits ? *hits : own;
  map.clear();
  if (!vg) return;
  const Frame f{vg, fonts, state, map};
  fillRect(vg, {0.0f, 0.0f, 960.0f, 660.0f}, pal::background());
  drawHeader(f);
  drawMemoryBand(f);
  drawTrackBand(f);
  drawKeyboard(f);
  drawHintBar(f);
  drawMenus(f);
  drawTour(f);
}

}  // namespace vrui
