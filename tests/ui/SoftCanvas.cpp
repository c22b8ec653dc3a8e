// Software rasterising of NanoVG's fills (nonzero winding over the fill outlines) and strokes (triangle strips),
// with its paint and scissor formulas at pixel centres; text is not drawn.
#include "SoftCanvas.h"

#include <algorithm>
#include <cmath>

namespace vtest {

struct SoftCanvas::Target {
  int w = 0, h = 0;
  std::vector<float> rgb;
};

namespace {

struct Shade {
  float paint[6], extent[2], radius, feather;
  NVGcolor inner, outer;
  float scissor[6], scissorExt[2];
  bool clip;
};

Shade shadeOf(const NVGpaint* paint, const NVGscissor* sc) {
  Shade s{};
  nvgTransformInverse(s.paint, paint->xform);
  s.extent[0] = paint->extent[0], s.extent[1] = paint->extent[1];
  s.radius = paint->radius, s.feather = std::max(paint->feather, 1e-4f);
  s.inner = paint->innerColor, s.outer = paint->outerColor;
  s.clip = !(sc->extent[0] < -0.5f || sc->extent[1] < -0.5f);
  if (s.clip) {
    nvgTransformInverse(s.scissor, sc->xform);
    s.scissorExt[0] = sc->extent[0], s.scissorExt[1] = sc->extent[1];
  }
  return s;
}

void apply(const float* t, float x, float y, float& ox, float& oy) {
  ox = t[0] * x + t[2] * y + t[4];
  oy = t[1] * x + t[3] * y + t[5];
}

void blend(SoftCanvas::Target& t, const Shade& s, int x, int y) {
  if (x < 0 || y < 0 || x >= t.w || y >= t.h) return;
  float px = x + 0.5f, py = y + 0.5f, qx, qy;
  if (s.clip) {
    apply(s.scissor, px, py, qx, qy);
    if (std::fabs(qx) > s.scissorExt[0] || std::fabs(qy) > s.scissorExt[1]) return;
  }
  apply(s.paint, px, py, qx, qy);
  float ex = s.extent[0] - s.radius, ey = s.extent[1] - s.radius;
  float dx = std::fabs(qx) - ex, dy = std::fabs(qy) - ey;
  float sd = std::min(std::max(dx, dy), 0.0f) + std::hypot(std::max(dx, 0.0f), std::max(dy, 0.0f)) - s.radius;
  float d = std::clamp((sd + s.feather * 0.5f) / s.feather, 0.0f, 1.0f);
  float a = s.inner.a + (s.outer.a - s.inner.a) * d;
  float* p = &t.rgb[(static_cast<size_t>(y) * t.w + x) * 3];
  const float src[3] = {s.inner.r + (s.outer.r - s.inner.r) * d, s.inner.g + (s.outer.g - s.inner.g) * d,
                        s.inner.b + (s.outer.b - s.inner.b) * d};
  for (int c = 0; c < 3; ++c) p[c] = src[c] * a + p[c] * (1.0f - a);
}

int winding(const NVGpath* paths, int n, float x, float y) {
  int wn = 0;
  for (int i = 0; i < n; ++i) {
    const NVGvertex* v = paths[i].fill;
    int m = paths[i].nfill;
    for (int k = 0; k < m; ++k) {
      const NVGvertex& a = v[k];
      const NVGvertex& b = v[(k + 1) % m];
      float cross = (b.x - a.x) * (y - a.y) - (x - a.x) * (b.y - a.y);
      if (a.y <= y) {
        if (b.y > y && cross > 0) ++wn;
      } else if (b.y <= y && cross < 0) {
        --wn;
      }
    }
  }
  return wn;
}

bool inTriangle(const NVGvertex& a, const NVGvertex& b, const NVGvertex& c, float x, float y) {
  auto side = [&](const NVGvertex& p, const NVGvertex& q) { return (q.x - p.x) * (y - p.y) - (x - p.x) * (q.y - p.y); };
  float d0 = side(a, b), d1 = side(b, c), d2 = side(c, a);
  bool neg = d0 < 0 || d1 < 0 || d2<0, pos = d0> 0 || d1 > 0 || d2 > 0;
  return !(neg && pos);
}

SoftCanvas::Target& of(void* u) { return *static_cast<SoftCanvas::Target*>(u); }

int create(void*, void*) { return 1; }
int createTexture(void*, int, int, int, int, const unsigned char*) { return 1; }
int deleteTexture(void*, int) { return 1; }
int updateTexture(void*, int, int, int, int, int, const unsigned char*) { return 1; }
int textureSize(void*, int, int* w, int* h) {
  *w = *h = 512;
  return 1;
}
void viewport(void*, float, float, float) {}
void cancel(void*) {}
void flush(void*) {}
void triangles(void*, NVGpaint*, NVGcompositeOperationState, NVGscissor*, const NVGvertex*, int, float) {}
void destroy(void*) {}

void fill(void* u, NVGpaint* paint, NVGcompositeOperationState, NVGscissor* sc, float, const float* bounds,
          const NVGpath* paths, int n) {
  SoftCanvas::Target& t = of(u);
  Shade s = shadeOf(paint, sc);
  int x0 = std::max(0, static_cast<int>(std::floor(bounds[0]))),
      y0 = std::max(0, static_cast<int>(std::floor(bounds[1])));
  int x1 = std::min(t.w - 1, static_cast<int>(std::ceil(bounds[2]))),
      y1 = std::min(t.h - 1, static_cast<int>(std::ceil(bounds[3])));
  for (int y = y0; y <= y1; ++y) {
    for (int x = x0; x <= x1; ++x) {
      if (winding(paths, n, x + 0.5f, y + 0.5f) != 0) blend(t, s, x, y);
    }
  }
}

void stroke(void* u, NVGpaint* paint, NVGcompositeOperationState, NVGscissor* sc, float, float, const NVGpath* paths,
            int n) {
  SoftCanvas::Target& t = of(u);
  Shade s = shadeOf(paint, sc);
  std::vector<uint8_t> hit(static_cast<size_t>(t.w) * t.h, 0);  // each pixel once per stroke, as the stencil does
  for (int i = 0; i < n; ++i) {
    const NVGvertex* v = paths[i].stroke;
    for (int k = 0; k + 2 < paths[i].nstroke; ++k) {
      const NVGvertex &a = v[k], &b = v[k + 1], &c = v[k + 2];
      int x0 = std::max(0, static_cast<int>(std::floor(std::min({a.x, b.x, c.x}))));
      int x1 = std::min(t.w - 1, static_cast<int>(std::ceil(std::max({a.x, b.x, c.x}))));
      int y0 = std::max(0, static_cast<int>(std::floor(std::min({a.y, b.y, c.y}))));
      int y1 = std::min(t.h - 1, static_cast<int>(std::ceil(std::max({a.y, b.y, c.y}))));
      for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
          if (!hit[static_cast<size_t>(y) * t.w + x] && inTriangle(a, b, c, x + 0.5f, y + 0.5f)) {
            hit[static_cast<size_t>(y) * t.w + x] = 1;
            blend(t, s, x, y);
          }
        }
      }
    }
  }
}

}  // namespace

SoftCanvas::SoftCanvas(int width, int height) : target(new Target{width, height, {}}) {
  NVGparams p{};
  p.userPtr = target;
  p.edgeAntiAlias = 0;
  p.renderCreate = create;
  p.renderCreateTexture = createTexture;
  p.renderDeleteTexture = deleteTexture;
  p.renderUpdateTexture = updateTexture;
  p.renderGetTextureSize = textureSize;
  p.renderViewport = viewport;
  p.renderCancel = cancel;
  p.renderFlush = flush;
  p.renderFill = fill;
  p.renderStroke = stroke;
  p.renderTriangles = triangles;
  p.renderDelete = destroy;
  ctx = nvgCreateInternal(&p, nullptr);
}

SoftCanvas::~SoftCanvas() {
  if (ctx) nvgDeleteInternal(ctx);
  delete target;
}

void SoftCanvas::begin() {
  target->rgb.assign(static_cast<size_t>(target->w) * target->h * 3, 0.0f);
  nvgBeginFrame(ctx, static_cast<float>(target->w), static_cast<float>(target->h), 1.0f);
}

void SoftCanvas::end() { nvgEndFrame(ctx); }

Pixel SoftCanvas::at(int x, int y) const {
  const float* p = &target->rgb[(static_cast<size_t>(y) * target->w + x) * 3];
  return {static_cast<int>(std::lround(p[0] * 255.0f)), static_cast<int>(std::lround(p[1] * 255.0f)),
          static_cast<int>(std::lround(p[2] * 255.0f))};
}

}  // namespace vtest
