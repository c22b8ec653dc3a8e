// Draws the whole panel for one frame and records every clickable thing in the hit map.
#pragma once

#include "HitMap.h"
#include "PanelState.h"

struct NVGcontext;

namespace vrui {

// The context must already be scaled to the 960 x 660 layout. hits is cleared and refilled; null uses a private map.
void drawPanel(NVGcontext* vg, const PanelFonts& fonts, const PanelState& state, HitMap* hits);

}  // namespace vrui
