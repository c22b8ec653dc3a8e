// The same pixel checks through NanoVG's GL2 back-end on Mesa under Xvfb, as the editor window draws.
#include "GlCanvas.h"
#include "PixelChecks.h"

namespace {

TEST(PanelGlPixels, WheelKnobsAndAgeColours) {
  vtest::GlCanvas canvas(960, 660);
  if (!canvas.ok()) GTEST_SKIP() << "no X server or GLX here";
  vtest::wheelSectorsAndKnobArcs(canvas);
  vtest::freshAmberOldTeal(canvas);
}

}  // namespace
