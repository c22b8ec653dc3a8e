// Draws the whole panel for one frame and records every clickable thing in the hit map.
#pragma once

#include "HitMap.h"
#include "PanelState.h"

struct NVGcontext;

namespace vrui {

// The context must already be scaled to the 960 x 660 layout. hits is cleared and refilled; null uses a private map.
void drawPanel(NVGcontext* vg, const PanelFonts& fonts, const PanelState& state, HitMap* hits);

// The side a tour step's card takes beside its target (0 below, 1 above, 2 beside, -1 centred), measuring the step's
// text in the given language; -1 for steps above 17.
int tourProbeSide(NVGcontext* vg, const PanelFonts& fonts, int lang, int step, const Rect& target);

}  // namespace vrui
