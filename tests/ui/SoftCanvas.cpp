// Software rasterising of NanoVG's fills (nonzero winding over the fill outlines) and strokes (triangle strips),
// with its paint and scissor formulas at pixel centres; text is not drawn.
#include "SoftCanvas.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace vtest {

struct SoftCanvas::Target {
  int w = 0, h = 0;
  std::vector<float> rgb;
  std::vector<std::vector<uint8_t>> alpha;  // font atlases, by image id - 1
  std::vector<int> alphaWidth;
  bool raster = true;
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

// The pixels a triangle may touch, clipped to the target: x0, y0, x1, y1, inclusive.
std::array<int, 4> pixelBox(const SoftCanvas::Target& t, const NVGvertex& a, const NVGvertex& b, const NVGvertex& c) {
  return {std::max(0, static_cast<int>(std::floor(std::min({a.x, b.x, c.x})))),
          std::max(0, static_cast<int>(std::floor(std::min({a.y, b.y, c.y})))),
          std::min(t.w - 1, static_cast<int>(std::ceil(std::max({a.x, b.x, c.x})))),
          std::min(t.h - 1, static_cast<int>(std::ceil(std::max({a.y, b.y, c.y}))))};
}

bool inTriangle(const NVGvertex& a, const NVGvertex& b, const NVGvertex& c, float x, float y) {
  auto side = [&](const NVGvertex& p, const NVGvertex& q) { return (q.x - p.x) * (y - p.y) - (x - p.x) * (q.y - p.y); };
  float d0 = side(a, b), d1 = side(b, c), d2 = side(c, a);
  bool neg = d0 < 0 || d1 < 0 || d2<0, pos = d0> 0 || d1 > 0 || d2 > 0;
  return !(neg && pos);
}

SoftCanvas::Target& of(void* u) { return *static_cast<SoftCanvas::Target*>(u); }

int create(void*, void*) { return 1; }
// Only alpha textures (the font atlas) are kept; text is drawn from them like the GL back-end's textured triangles.
int createTexture(void* u, int, int w, int h, int, const unsigned char* data) {
  SoftCanvas::Target& t = of(u);
  t.alpha.emplace_back(static_cast<size_t>(w) * h, 0);
  t.alphaWidth.push_back(w);
  if (data) std::copy(data, data + static_cast<size_t>(w) * h, t.alpha.back().begin());
  return static_cast<int>(t.alpha.size());
}
int deleteTexture(void*, int) { return 1; }
int updateTexture(void* u, int image, int x, int y, int w, int h, const unsigned char* data) {
  SoftCanvas::Target& t = of(u);
  if (image < 1 || image > static_cast<int>(t.alpha.size())) return 0;
  const int tw = t.alphaWidth[static_cast<size_t>(image - 1)];
  auto& tex = t.alpha[static_cast<size_t>(image - 1)];
  for (int row = y; row < y + h; ++row) {
    std::copy(data + static_cast<size_t>(row) * tw + x, data + static_cast<size_t>(row) * tw + x + w,
              tex.begin() + static_cast<long>(row) * tw + x);
  }
  return 1;
}
int textureSize(void* u, int image, int* w, int* h) {
  SoftCanvas::Target& t = of(u);
  if (image < 1 || image > static_cast<int>(t.alpha.size())) return 0;
  *w = t.alphaWidth[static_cast<size_t>(image - 1)];
  *h = static_cast<int>(t.alpha[static_cast<size_t>(image - 1)].size()) / *w;
  return 1;
}
void viewport(void*, float, float, float) {}
void cancel(void*) {}
void flush(void*) {}
void destroy(void*) {}

void triangles(void* u, NVGpaint* paint, NVGcompositeOperationState, NVGscissor* sc, const NVGvertex* v, int n, float) {
  SoftCanvas::Target& t = of(u);
  if (!t.raster) return;
  if (paint->image < 1 || paint->image > static_cast<int>(t.alpha.size())) return;
  const auto& tex = t.alpha[static_cast<size_t>(paint->image - 1)];
  const int tw = t.alphaWidth[static_cast<size_t>(paint->image - 1)], th = static_cast<int>(tex.size()) / tw;
  Shade s = shadeOf(paint, sc);
  for (int k = 0; k + 2 < n; k += 3) {
    const NVGvertex &a = v[k], &b = v[k + 1], &c = v[k + 2];
    float area = (b.x - a.x) * (c.y - a.y) - (c.x - a.x) * (b.y - a.y);
    if (std::fabs(area) < 1e-6f) continue;
    const auto [x0, y0, x1, y1] = pixelBox(t, a, b, c);
    for (int y = y0; y <= y1; ++y) {
      for (int x = x0; x <= x1; ++x) {
        float px = x + 0.5f, py = y + 0.5f;
        float wb = ((px - a.x) * (c.y - a.y) - (c.x - a.x) * (py - a.y)) / area;
        float wc = ((b.x - a.x) * (py - a.y) - (px - a.x) * (b.y - a.y)) / area;
        float wa = 1.0f - wb - wc;
        if (wa < 0 || wb < 0 || wc < 0) continue;
        int tx = std::clamp(static_cast<int>((wa * a.u + wb * b.u + wc * c.u) * tw), 0, tw - 1);
        int ty = std::clamp(static_cast<int>((wa * a.v + wb * b.v + wc * c.v) * th), 0, th - 1);
        float cover = tex[static_cast<size_t>(ty) * tw + tx] / 255.0f;
        if (cover <= 0.0f) continue;
        Shade glyph = s;
        glyph.inner.a *= cover;
        glyph.outer.a *= cover;
        blend(t, glyph, x, y);
      }
    }
  }
}

void fill(void* u, NVGpaint* paint, NVGcompositeOperationState, NVGscissor* sc, float, const float* bounds,
          const NVGpath* paths, int n) {
  SoftCanvas::Target& t = of(u);
  if (!t.raster) return;
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
  if (!t.raster) return;
  Shade s = shadeOf(paint, sc);
  std::vector<uint8_t> hit(static_cast<size_t>(t.w) * t.h, 0);  // each pixel once per stroke, as the stencil does
  for (int i = 0; i < n; ++i) {
    const NVGvertex* v = paths[i].stroke;
    for (int k = 0; k + 2 < paths[i].nstroke; ++k) {
      const NVGvertex &a = v[k], &b = v[k + 1], &c = v[k + 2];
      const auto [x0, y0, x1, y1] = pixelBox(t, a, b, c);
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

SoftCanvas::SoftCanvas(int width, int height, bool rasterise)
    : target(new Target{width, height, {}, {}, {}, rasterise}) {
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
  if (target->raster) target->rgb.assign(static_cast<size_t>(target->w) * target->h * 3, 0.0f);
  nvgBeginFrame(ctx, static_cast<float>(target->w), static_cast<float>(target->h), 1.0f);
}

void SoftCanvas::end() { nvgEndFrame(ctx); }

Pixel SoftCanvas::at(int x, int y) const {
  if (!target->raster) return {0, 0, 0};
  const float* p = &target->rgb[(static_cast<size_t>(y) * target->w + x) * 3];
  return {static_cast<int>(std::lround(p[0] * 255.0f)), static_cast<int>(std::lround(p[1] * 255.0f)),
          static_cast<int>(std::lround(p[2] * 255.0f))};
}

}  // namespace vtest
