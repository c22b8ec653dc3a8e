// The regions of the panel, each drawn by its own function in drawing order.
#pragma once

#include "Widgets.h"

namespace vrui {

void drawHeader(const Frame& f);
void drawMemoryBand(const Frame& f);
void drawWheel(const Frame& f);
void drawTrackBand(const Frame& f);
void drawKeyboard(const Frame& f);
void drawHintBar(const Frame& f);
void drawMenus(const Frame& f);
void drawTour(const Frame& f);

// Band B's lower groups, which the body list is placed by.
Columns lowerColumns(const Frame& f);

// The pitch-class names shown on the wheel and in the timbre view.
const char* pitchClassName(int pc);
// Wheel sector i stands for this pitch class, sectors clockwise from straight up in fifths.
constexpr int kFifths[12] = {0, 7, 2, 9, 4, 11, 6, 1, 8, 3, 10, 5};

}  // namespace vrui
