// The same pixel checks through NanoVG's GL2 back-end on Mesa under Xvfb, as the editor window draws.
#include "GlCanvas.h"
#include "PixelChecks.h"

#include <dlfcn.h>

namespace {

// Mesa keeps allocations for the process's lifetime; the driver stays loaded so the leak checker can name them
// and the suppressions (X, GL and Mesa libraries only) apply.
const bool kPinned = [] {
  for (const char* lib : {"libGLX_mesa.so.0", "libglapi.so.0", "/usr/lib/x86_64-linux-gnu/dri/swrast_dri.so"})
    dlopen(lib, RTLD_NOW | RTLD_NODELETE);
  return true;
}();

TEST(PanelGlPixels, WheelKnobsAndAgeColours) {
  vtest::GlCanvas canvas(960, 660);
  if (!canvas.ok()) GTEST_SKIP() << "no X server or GLX here";
  vtest::wheelSectorsAndKnobArcs(canvas);
  vtest::freshAmberOldTeal(canvas);
}

}  // namespace
