// NanoVG's GL2 back-end on an offscreen GLX surface under an X server (Xvfb started when none is given).
#pragma once

#include "SoftCanvas.h"

namespace vtest {

class GlCanvas {
 public:
  GlCanvas(int width, int height);
  ~GlCanvas();
  bool ok() const { return vgCtx != nullptr; }
  NVGcontext* vg() const { return vgCtx; }
  void begin();                    // clears to black and begins a NanoVG frame
  void end(bool readBack = true);  // ends the frame, waits for GL, and reads the pixels back
  Pixel at(int x, int y) const;

 private:
  struct Gl;
  Gl* gl = nullptr;
  NVGcontext* vgCtx = nullptr;
  int w, h;
  std::vector<unsigned char> pixels;
};

}  // namespace vtest
