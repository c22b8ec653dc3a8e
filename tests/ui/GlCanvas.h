// NanoVG's GL2 back-end on an offscreen GLX surface under an X server (Xvfb started when none is given).
#pragma once

#include "SoftCanvas.h"

namespace vtest {

class GlCanvas {
 public:
  // Antialiased with stencil strokes, as the editor window creates its context; the benchmark weighs the latter.
  GlCanvas(int width, int height, bool stencilStrokes = true);
  ~GlCanvas();
  bool ok() const { return vgCtx != nullptr; }
  NVGcontext* vg() const { return vgCtx; }
  void begin();                    // clears to black and begins a NanoVG frame
  void end(bool readBack = true);  // ends the frame, waits for GL, and reads the pixels back
  Pixel at(int x, int y) const;
  const char* renderer() const;  // the GL driver's name, for benchmark reports
  // The rasteriser's cheapest shading for comparison: one blended fixed-function quad over the whole surface,
  // drawn between begin and end outside NanoVG.
  void fixedFunctionQuad();

 private:
  struct Gl;
  Gl* gl = nullptr;
  NVGcontext* vgCtx = nullptr;
  int w, h;
  std::vector<unsigned char> pixels;
};

}  // namespace vtest
