// Sits between NanoVG and its GL back-end: records each frame's draw calls (a hash and the pixels they cover), and
// for a partial redraw passes on only the calls that reach the rectangle being rebuilt.
#pragma once

#include "CallDiff.h"

#include <nanovg.h>

#include <vector>

namespace vrui {

// UI thread only; installed once on a context and living as long as it.
class DrawRecorder {
 public:
  enum class Mode {
    Full,    // record every call and pass every call on
    Record,  // record every call, pass none on (the frame is only measured)
    Clip,    // record nothing, pass on the calls that reach clip
  };

  DrawRecorder() = default;
  DrawRecorder(const DrawRecorder&) = delete;
  DrawRecorder& operator=(const DrawRecorder&) = delete;

  // Takes over the context's back-end calls; the back-end keeps its own state behind them.
  void install(NVGcontext* vg);
  // Starts a frame in the given mode; the calls of the last recorded frame become the previous ones.
  void begin(Mode mode, PixelRect clipRect = {});
  const std::vector<DrawCall>& previous() const { return prev; }
  const std::vector<DrawCall>& current() const { return calls; }
  // The calls of the frame on screen are no longer known (a new context, a lost frame).
  void forget() {
    prev.clear();
    calls.clear();
  }

  struct Inner;  // the back-end's own calls and user pointer

 private:
  static void fill(void* u, NVGpaint* paint, NVGcompositeOperationState op, NVGscissor* scissor, float fringe,
                   const float* bounds, const NVGpath* paths, int npaths);
  static void stroke(void* u, NVGpaint* paint, NVGcompositeOperationState op, NVGscissor* scissor, float fringe,
                     float width, const NVGpath* paths, int npaths);
  static void triangles(void* u, NVGpaint* paint, NVGcompositeOperationState op, NVGscissor* scissor,
                        const NVGvertex* verts, int nverts, float fringe);
  // Records the call (unless clipping) and says whether it goes on to the back-end.
  bool take(DrawCall& c);

  bool passes(const DrawCall& c) const;

  Inner* inner = nullptr;  // owned by the context's user pointer chain, freed with the context
  Mode mode = Mode::Full;
  PixelRect clip;
  std::vector<DrawCall> prev;
  std::vector<DrawCall> calls;
};

}  // namespace vrui
