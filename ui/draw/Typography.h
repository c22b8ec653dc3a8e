// The panel's text styles and the three text calls every drawing goes through.
#pragma once

#include "PanelState.h"

#include <string>

struct NVGcontext;
struct NVGcolor;

namespace vrui {

struct TypeSpec {
  float size = 10.0f;     // the font is set at size x 1.2
  float tracking = 0.0f;  // letter spacing, rounded to whole units
  bool upper = false;
  bool semibold = false;
  bool mono = false;  // takes precedence over semibold
};

namespace Type {
constexpr TypeSpec wordmark{22.0f, 3.08f, false, true, false};
constexpr TypeSpec byline{9.0f, 1.44f, true, false, false};
constexpr TypeSpec pill{10.0f, 1.0f, true, true, false};
constexpr TypeSpec presetName{11.0f, 0.22f, false, true, false};
constexpr TypeSpec knobNote{9.5f, 0.38f, false, false, false};
constexpr TypeSpec bandSub{10.5f, 0.63f, false, false, false};
constexpr TypeSpec chipName{10.5f, 0.63f, true, true, false};
constexpr TypeSpec chipValue{9.5f, 0.0f, false, false, true};
constexpr TypeSpec trackName{12.0f, 0.36f, false, true, false};
constexpr TypeSpec nameSrc{9.5f, 0.29f, false, false, false};
constexpr TypeSpec charDesc{11.0f, 0.0f, false, false, false};
constexpr TypeSpec infoText{10.5f, 0.0f, false, false, false};
constexpr TypeSpec knobZone{8.5f, 1.02f, true, false, false};
constexpr TypeSpec railTick{8.0f, 0.0f, false, false, true};
constexpr TypeSpec bandTitle{11.0f, 2.2f, true, true, false};
constexpr TypeSpec pillAll{8.5f, 1.19f, true, true, false};
constexpr TypeSpec tourHead{17.0f, 1.2f, false, true, false};
constexpr TypeSpec tourTitle{12.5f, 0.55f, false, true, false};
constexpr TypeSpec segment{11.0f, 0.44f, true, true, false};
constexpr TypeSpec tourBody{11.5f, 0.0f, false, false, false};
// Not in the list above: the centre of the wheel and the numbers on held keys.
constexpr TypeSpec wheelBig{14.0f, 0.6f, true, false, true};
constexpr TypeSpec wheelPercent{25.0f, 0.0f, false, false, true};
constexpr TypeSpec keyNumber{8.0f, 0.0f, false, true, true};
}  // namespace Type

enum Align { kLeft = 1, kCentre = 2, kRight = 4 };

// One line vertically centred on y; drawn twice (thicker) unless singlePass. Returns its advance width.
float specText(NVGcontext* vg, const PanelFonts& fonts, const TypeSpec& style, float x, float y, const NVGcolor& colour,
               const std::string& text, int align = kLeft, bool singlePass = false);
float specWidth(NVGcontext* vg, const PanelFonts& fonts, const TypeSpec& style, const std::string& text);
// Text wrapped to width, lines lineHeight apart from top y; returns the height taken. measureOnly draws nothing.
float specTextWrapped(NVGcontext* vg, const PanelFonts& fonts, const TypeSpec& style, float x, float y, float width,
                      const NVGcolor& colour, const std::string& text, float lineHeight, bool measureOnly = false);

}  // namespace vrui
