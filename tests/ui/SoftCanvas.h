// A NanoVG back-end that rasterises fills and strokes in memory, so drawing is checked pixel by pixel without GL.
#pragma once

#include <nanovg.h>

#include <cstdint>
#include <vector>

namespace vtest {

struct Pixel {
  int r, g, b;
};

class SoftCanvas {
 public:
  // rasterise false keeps NanoVG's whole path and text work but skips the pixels (for timing our side).
  SoftCanvas(int width, int height, bool rasterise = true);
  ~SoftCanvas();
  NVGcontext* vg() const { return ctx; }
  void begin();  // clears to black and begins a NanoVG frame
  void end();
  Pixel at(int x, int y) const;

  struct Target;

 private:
  NVGcontext* ctx = nullptr;
  Target* target = nullptr;
};

}  // namespace vtest
