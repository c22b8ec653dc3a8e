// NanoVG's back-end calls wrapped: each fill, stroke and triangle list is hashed and measured before it goes on (or
// not) to the GL back-end.
#include "DrawRecorder.h"

#include <algorithm>

namespace vrui {

struct DrawRecorder::Inner {
  NVGparams params{};  // the GL back-end's, with its own user pointer
  DrawRecorder* owner = nullptr;
};

namespace {

using Inner = DrawRecorder::Inner;

// FNV-1a over bytes: cheap and spread well enough to tell two calls apart.
struct Hash {
  uint64_t h = 1469598103934665603ull;
  void add(const void* data, size_t n) {
    const auto* p = static_cast<const unsigned char*>(data);
    for (size_t i = 0; i < n; ++i) h = (h ^ p[i]) * 1099511628211ull;
  }
  template <class T>
  void add(const T& v) {
    add(&v, sizeof v);
  }
  void start(char kind, const NVGpaint* paint, const NVGcompositeOperationState& op, const NVGscissor* scissor,
             float fringe) {
    add(kind);
    add(*paint);
    add(op);
    add(*scissor);
    add(fringe);
  }
};

// Grows c to cover n vertices; any says whether c covers something yet.
void extend(DrawCall& c, const NVGvertex* v, int n, bool& any) {
  for (int i = 0; i < n; ++i) {
    if (!any) {
      c.x0 = c.x1 = v[i].x;
      c.y0 = c.y1 = v[i].y;
      any = true;
      continue;
    }
    c.x0 = std::min(c.x0, v[i].x);
    c.x1 = std::max(c.x1, v[i].x);
    c.y0 = std::min(c.y0, v[i].y);
    c.y1 = std::max(c.y1, v[i].y);
  }
}

Inner* innerOf(void* u) { return static_cast<Inner*>(u); }
const NVGparams& back(void* u) { return innerOf(u)->params; }

int create(void* u, void* other) { return back(u).renderCreate(back(u).userPtr, other); }
int createTexture(void* u, int type, int w, int h, int flags, const unsigned char* data) {
  return back(u).renderCreateTexture(back(u).userPtr, type, w, h, flags, data);
}
int deleteTexture(void* u, int image) { return back(u).renderDeleteTexture(back(u).userPtr, image); }
int updateTexture(void* u, int image, int x, int y, int w, int h, const unsigned char* data) {
  return back(u).renderUpdateTexture(back(u).userPtr, image, x, y, w, h, data);
}
int textureSize(void* u, int image, int* w, int* h) { return back(u).renderGetTextureSize(back(u).userPtr, image, w, h); }
void viewport(void* u, float w, float h, float ratio) { back(u).renderViewport(back(u).userPtr, w, h, ratio); }
void cancel(void* u) { back(u).renderCancel(back(u).userPtr); }
void flush(void* u) { back(u).renderFlush(back(u).userPtr); }
void destroy(void* u) {
  Inner* in = innerOf(u);
  in->params.renderDelete(in->params.userPtr);
  delete in;
}

}  // namespace

void DrawRecorder::install(NVGcontext* vg) {
  NVGparams* p = nvgInternalParams(vg);
  inner = new Inner{*p, this};
  p->userPtr = inner;
  p->renderCreate = create;
  p->renderCreateTexture = createTexture;
  p->renderDeleteTexture = deleteTexture;
  p->renderUpdateTexture = updateTexture;
  p->renderGetTextureSize = textureSize;
  p->renderViewport = viewport;
  p->renderCancel = cancel;
  p->renderFlush = flush;
  p->renderFill = fill;
  p->renderStroke = stroke;
  p->renderTriangles = triangles;
  p->renderDelete = destroy;
}

void DrawRecorder::begin(Mode m, PixelRect clipRect) {
  mode = m;
  clip = clipRect;
  if (m == Mode::Clip) return;
  prev.swap(calls);
  calls.clear();
}

bool DrawRecorder::take(DrawCall& c) {
  if (mode != Mode::Clip) calls.push_back(c);
  if (mode == Mode::Full) return true;
  if (mode == Mode::Record) return false;
  return c.x1 + 1.0f > static_cast<float>(clip.x0) && c.x0 - 1.0f < static_cast<float>(clip.x1) &&
         c.y1 + 1.0f > static_cast<float>(clip.y0) && c.y0 - 1.0f < static_cast<float>(clip.y1);
}

void DrawRecorder::fill(void* u, NVGpaint* paint, NVGcompositeOperationState op, NVGscissor* scissor, float fringe,
                        const float* bounds, const NVGpath* paths, int npaths) {
  DrawCall c;
  Hash h;
  h.start('f', paint, op, scissor, fringe);
  h.add(bounds, 4 * sizeof(float));
  bool any = false;
  for (int i = 0; i < npaths; ++i) {
    h.add(paths[i].fill, static_cast<size_t>(std::max(0, paths[i].nfill)) * sizeof(NVGvertex));
    h.add(paths[i].stroke, static_cast<size_t>(std::max(0, paths[i].nstroke)) * sizeof(NVGvertex));
    extend(c, paths[i].fill, paths[i].nfill, any);
    extend(c, paths[i].stroke, paths[i].nstroke, any);
  }
  const NVGvertex corners[2] = {{bounds[0], bounds[1], 0, 0}, {bounds[2], bounds[3], 0, 0}};
  extend(c, corners, 2, any);
  c.hash = h.h;
  if (innerOf(u)->owner->take(c)) back(u).renderFill(back(u).userPtr, paint, op, scissor, fringe, bounds, paths, npaths);
}

void DrawRecorder::stroke(void* u, NVGpaint* paint, NVGcompositeOperationState op, NVGscissor* scissor, float fringe,
                          float width, const NVGpath* paths, int npaths) {
  DrawCall c;
  Hash h;
  h.start('s', paint, op, scissor, fringe);
  h.add(width);
  bool any = false;
  for (int i = 0; i < npaths; ++i) {
    h.add(paths[i].stroke, static_cast<size_t>(std::max(0, paths[i].nstroke)) * sizeof(NVGvertex));
    extend(c, paths[i].stroke, paths[i].nstroke, any);
  }
  c.hash = h.h;
  if (innerOf(u)->owner->take(c))
    back(u).renderStroke(back(u).userPtr, paint, op, scissor, fringe, width, paths, npaths);
}

void DrawRecorder::triangles(void* u, NVGpaint* paint, NVGcompositeOperationState op, NVGscissor* scissor,
                             const NVGvertex* verts, int nverts, float fringe) {
  DrawCall c;
  Hash h;
  h.start('t', paint, op, scissor, fringe);
  h.add(verts, static_cast<size_t>(std::max(0, nverts)) * sizeof(NVGvertex));
  bool any = false;
  extend(c, verts, nverts, any);
  c.hash = h.h;
  if (innerOf(u)->owner->take(c)) back(u).renderTriangles(back(u).userPtr, paint, op, scissor, verts, nverts, fringe);
}

}  // namespace vrui
