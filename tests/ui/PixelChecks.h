// Pixel checks of the drawn panel, shared by the software canvas and the GL back-end under Xvfb.
#pragma once

#include "BuildState.h"
#include "DrawPanel.h"
#include "FakeShell.h"
#include "SoftCanvas.h"

#include <gtest/gtest.h>

#include <cmath>

namespace vtest {

template <class Canvas>
void drawOn(Canvas& c, const vrui::PanelState& s) {
  vrui::HitMap hits;
  c.begin();
  vrui::drawPanel(c.vg(), vrui::PanelFonts{}, s, &hits);
  c.end();
}

inline void expectPixel(const Pixel& p, int r, int g, int b) {
  EXPECT_NEAR(p.r, r, 2);
  EXPECT_NEAR(p.g, g, 2);
  EXPECT_NEAR(p.b, b, 2);
}

// A point at radius r on the wheel, angle clockwise from straight up.
template <class Canvas>
Pixel wheelAt(const Canvas& c, float degrees, float r) {
  float a = degrees * 3.14159265f / 180.0f;
  return c.at(static_cast<int>(138.0f + r * std::sin(a)), static_cast<int>(192.0f - r * std::cos(a)));
}

template <class Canvas>
void wheelSectorsAndKnobArcs(Canvas& c) {
  vrui::PanelState s;
  s.nothingCarved = true;
  drawOn(c, s);
  // An empty memory: every sector full length, grey along the radial gradient (43,49,56) at 54 to (69,76,84) at 97.
  for (int i = 0; i < 12; ++i) {
    float t = (90.0f - 54.0f) / 43.0f;
    expectPixel(wheelAt(c, i * 30.0f, 90.0f), static_cast<int>(43 + 26 * t), static_cast<int>(49 + 27 * t),
                static_cast<int>(56 + 28 * t));
  }

  // Row intensity 1 on C: its sector ends at radius 65 in the row's age colour; beyond is band A.
  s.rowIntensity[0] = 1.0f;
  s.rowAgeDays[0] = 0.0f;
  drawOn(c, s);
  expectPixel(wheelAt(c, 0.0f, 70.0f), 22, 29, 35);
  expectPixel(wheelAt(c, 0.0f, 90.0f), 22, 29, 35);
  Pixel worn = wheelAt(c, 0.0f, 62.0f);
  EXPECT_GT(worn.r, 150);  // amber: fresh
  EXPECT_LT(worn.b, 100);
  expectPixel(wheelAt(c, 30.0f, 90.0f), 65, 71, 79);

  // The Forget knob at 0 has no value arc; at 1 the arc runs the full 260 degrees in teal.
  const int top[2] = {310, 95}, nearEnd[2] = {324, 120};
  vrui::PanelState knobs;
  drawOn(c, knobs);
  expectPixel(c.at(top[0], top[1]), 42, 50, 58);
  expectPixel(c.at(nearEnd[0], nearEnd[1]), 42, 50, 58);
  knobs.paramNorm[kForget] = 1.0f;
  drawOn(c, knobs);
  expectPixel(c.at(top[0], top[1]), 63, 184, 160);
  expectPixel(c.at(nearEnd[0], nearEnd[1]), 63, 184, 160);
}

template <class Canvas>
void freshAmberOldTeal(Canvas& c) {
  FakeShell shell;
  shell.value[kImprint] = 50.0;
  shell.memory.modeWeights[0] = 5.0;
  shell.memory.cart.ink[0][7] = 5.0f;
  vrui::PanelView view;
  for (int old = 0; old < 2; ++old) {
    shell.memory.cart.touchedHour[0][7] = static_cast<uint32_t>(shell.now / 3600 - (old ? 24 * 30 : 0));
    vrui::PanelState s;
    ASSERT_TRUE(vrui::buildState(shell, view, s));
    ASSERT_FLOAT_EQ(s.modeLevel[0], 1.0f);
    drawOn(c, s);
    // The first bar of the timbre view, over the box fill (18, 23, 28) at alpha 0.85.
    if (old) {
      expectPixel(c.at(296, 290), 56, 160, 140);
    } else {
      expectPixel(c.at(296, 290), 200, 142, 56);
    }
  }
}

}  // namespace vtest
