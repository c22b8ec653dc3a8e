// The panel's layout arithmetic: columns, keys, menus, chips, wheel lines, the age colour and tour placement.
#pragma once

#include "Layout960.h"
#include "PanelState.h"

#include <functional>
#include <string>
#include <vector>

namespace vrui {

struct Rgb {
  int r = 0, g = 0, b = 0;
  bool operator==(const Rgb&) const = default;
};

// Amber when fresh, teal when old: t = min(1, age / (max(0.01, forgetDays) * 1.6)).
Rgb ageColour(float ageDays, float forgetDays);

// ASCII letters and accented Latin-1 letters in capitals (UTF-8 0xC3 0xA0..0xBE, except 0xB7, lowered by 0x20).
std::string capitals(const std::string& text);

// Widths of side-by-side groups: each the larger of its minimum and its title, with the spare split into gaps.
struct Columns {
  float x[3] = {};
  float w[3] = {};
  float gap = 0.0f;
};
// Band A's three columns in x 280..948: four gaps of a quarter of the spare, less 0.5.
Columns memoryColumns(const float titleWidths[3]);
// Band B's groups across x 12..948 with minimum widths, two equal gaps between three groups.
Columns groupColumns(const float titleWidths[3], const float minWidths[3]);

// The on-screen keyboard, MIDI 36..84: 29 white keys across x 12..948.
constexpr int kLowKey = 36;
constexpr int kHighKey = 84;
constexpr float kKeyTop = 591.0f;
constexpr float kWhiteKeyHeight = 39.0f;
bool isBlackKey(int note);
Rect keyRect(int note);

// The 24 strongest interval lines of the wheel, weakest first.
struct WheelLine {
  int fromPc = 0;
  int toPc = 0;
  float weight = 0.0f;
  float ageDays = 0.0f;
};
constexpr int kMaxWheelLines = 24;
std::vector<WheelLine> wheelLines(const PanelState& s);

// How many instance chips fit from x 280, 126 apart, keeping their right edge left of 948.
int chipsThatFit(int count);
Rect chipRect(int i);

// Menus. Lists that do not fit scroll: these give the visible rows and the card.
constexpr float kMenuBottom = 654.0f;
constexpr float kMenuTop = 8.0f;
constexpr float kRowPitch = 22.0f;
constexpr int kShippedMemories = 9;
int memoryMenuVisibleRows(int saved);  // saved memory rows shown at once
Rect memoryMenuRect(int saved);
int presetMenuVisibleRows(int rows);  // list rows shown at once
Rect presetMenuRect(float boxX, float boxBottom, int rows);
int clampScroll(int scroll, int rows, int visible);
// The preset menu's category rail and how many rows the chosen category lists (factory or, under Yours, user).
constexpr int kNumCategories = 10;
constexpr int kYoursCategory = 9;
const char* categoryName(int rail);
int presetMenuRowCount(const PanelState& s);

// The preset strip and body box of band B.
constexpr Rect kPresetBox{330.0f, 345.0f, 168.0f, 22.0f};
constexpr float kBodyBoxY = 516.0f;
Rect bodyBoxRect(float groupX);
Rect bodyListRect(float groupX);

// Tour cards: side 0 below, 1 above, 2 beside, -1 centred without a pointer.
struct TourPlacement {
  Rect card;
  int side = -1;
  float pointerX = 0.0f;  // on the facing edge: x for below and above, y for beside
  float pointerY = 0.0f;
};
constexpr float kTourCardWidth = 320.0f;
TourPlacement placeTour(const Rect& target, float height);
float tourButtonWidth(float labelWidth);
// The side placeTour chooses for a step's card, measuring its body text with the given measure (width -> height).
int tourProbeSide(int lang, int step, const Rect& target, const std::function<float(const char*, float)>& measure);
constexpr float kTourBodyWidth = kTourCardWidth - 32.0f;
constexpr float kTourCardExtra = 98.0f;

}  // namespace vrui
