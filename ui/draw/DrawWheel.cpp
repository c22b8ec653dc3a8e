// The memory wheel: twelve sectors in fifths, cut back by wear, with the played intervals drawn across.
#include "DrawRegions.h"

#include <cmath>
#include <cstdio>

namespace vrui {
namespace {

constexpr float kCx = 138.0f, kCy = 192.0f;
constexpr float kPi = 3.14159265358979f;
constexpr float kHalfSector = 0.2317994f;  // radians either side of a sector's centre line

// Wheel angle (clockwise from straight up) to NanoVG's angle (clockwise from the right).
float nvgAngle(float a) { return a - kPi / 2.0f; }
float px(float a, float r) { return kCx + r * std::sin(a); }
float py(float a, float r) { return kCy - r * std::cos(a); }

int sectorOf(int pc) {
  for (int i = 0; i < 12; ++i) {
    if (kFifths[i] == pc) return i;
  }
  return 0;
}
float centreAngle(int pc) { return sectorOf(pc) * kPi / 6.0f; }

void arcStroke(NVGcontext* vg, float a0, float a1, float r, const NVGcolor& c, float width) {
  nvgBeginPath(vg);
  nvgArc(vg, kCx, kCy, r, nvgAngle(a0), nvgAngle(a1), NVG_CW);
  nvgStrokeColor(vg, c);
  nvgStrokeWidth(vg, width);
  nvgStroke(vg);
}

void annulus(NVGcontext* vg, float a0, float a1, float r0, float r1, const NVGpaint& paint) {
  nvgBeginPath(vg);
  nvgArc(vg, kCx, kCy, r1, nvgAngle(a0), nvgAngle(a1), NVG_CW);
  nvgArc(vg, kCx, kCy, r0, nvgAngle(a1), nvgAngle(a0), NVG_CCW);
  nvgClosePath(vg);
  nvgFillPaint(vg, paint);
  nvgFill(vg);
}

void lines(const Frame& f) {
  for (const WheelLine& l : wheelLines(f.s)) {
    float a0 = centreAngle(l.fromPc), a1 = centreAngle(l.toPc);
    float d = std::fabs(a1 - a0);
    if (d > kPi) d = 2.0f * kPi - d;
    float x0 = px(a0, 51.0f), y0 = py(a0, 51.0f), x1 = px(a1, 51.0f), y1 = py(a1, 51.0f);
    float mx = (x0 + x1) / 2.0f, my = (y0 + y1) / 2.0f, pull = d * 0.3f / kPi;
    float t = std::tanh(l.weight / 3.0f);
    nvgBeginPath(f.vg);
    nvgMoveTo(f.vg, x0, y0);
    nvgQuadTo(f.vg, mx + (kCx - mx) * pull, my + (kCy - my) * pull, x1, y1);
    nvgStrokeColor(f.vg, pal::of(ageColour(l.ageDays, f.s.forgetDays), 0.1f + 0.4f * t));
    nvgStrokeWidth(f.vg, 2.0f * t + 0.5f);
    nvgStroke(f.vg);
  }
}

void sector(const Frame& f, int i) {
  NVGcontext* vg = f.vg;
  const PanelState& s = f.s;
  const int pc = kFifths[i];
  const float a = i * kPi / 6.0f, a0 = a - kHalfSector, a1 = a + kHalfSector;
  const float level = std::max(0.0f, std::min(1.0f, s.rowIntensity[pc]));
  const float outer = 97.0f - 32.0f * level;
  annulus(vg, a0, a1, 54.0f, outer,
          nvgRadialGradient(vg, kCx, kCy, 54.0f, 97.0f, pal::rgb(43, 49, 56), pal::rgb(69, 76, 84)));
  const Rgb age = ageColour(s.rowAgeDays[pc], s.forgetDays);
  if (level > 0.005f) {
    arcStroke(vg, a0, a1, outer, pal::of(age, 0.95f), 2.0f);
    float inner = std::max(54.0f, 90.0f - 32.0f * level);
    annulus(vg, a0, a1, inner, outer, nvgRadialGradient(vg, kCx, kCy, inner, outer, pal::of(age, 0.3f), pal::of(age)));
  }
  float u = std::tanh(s.weight[pc][0] / 3.0f);
  if (u > 0.02f) arcStroke(vg, a0, a1, 48.0f, pal::of(age, 0.2f + 0.6f * u), 3.0f * u + 1.0f);
  if (s.hasSnapshot) {
    float r = 97.0f - 32.0f * std::max(0.0f, std::min(1.0f, s.snapshotRow[pc]));
    float step = (a1 - a0) / 10.0f;
    for (int k = 0; k < 10; ++k) {
      float d0 = a0 + k * step + step * 0.2f;
      arcStroke(vg, d0, d0 + step * 0.6f, r, pal::rgbf(154, 164, 176, 0.75f), 1.0f);
    }
  }
  const char* name = pitchClassName(pc);
  if (pc == s.selectedPc) {
    arcStroke(vg, a0, a1, 103.0f, pal::rgbf(221, 214, 199, 0.55f), 1.0f);
    f.text(Type::chipName, px(a, 111.0f), py(a, 111.0f), pal::ink(), name, kCentre);
  } else {
    f.text(Type::knobNote, px(a, 111.0f), py(a, 111.0f), pal::rgbf(139, 138, 128, 0.72f), name, kCentre);
  }
}

}  // namespace

const char* pitchClassName(int pc) {
  static const char* const kNames[12] = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};
  return kNames[((pc % 12) + 12) % 12];
}

void drawWheel(const Frame& f) {
  NVGcontext* vg = f.vg;
  const PanelState& s = f.s;
  for (int k = 0; k < 72; ++k) {
    float a = k * kPi / 36.0f;
    arcStroke(vg, a - 0.02f, a + 0.02f, 97.0f, pal::rgb(120, 132, 142, 77), 1.0f);
  }
  lines(f);
  for (int i = 0; i < 12; ++i) sector(f, i);

  nvgBeginPath(vg);
  nvgCircle(vg, kCx, kCy, 40.0f);
  nvgFillColor(vg, pal::rgb(20, 26, 32, 219));
  nvgFill(vg);
  const float by = 44.0f;
  if (s.nothingCarved) {
    f.text(Type::wheelBig, kCx, by + 141.0f, pal::ink(), "LISTENING", kCentre);
    f.text(Type::knobZone, kCx, by + 156.0f, pal::faint(), "FOR MIDI", kCentre);
    f.text(Type::knobZone, kCx, by + 169.0f, pal::faint(), "NOTHING CARVED", kCentre);
  } else {
    float sum = 0.0f;
    int touched = 0;
    for (float v : s.rowIntensity) {
      sum += v;
      touched += v > 0.02f ? 1 : 0;
    }
    char line[32];
    std::snprintf(line, sizeof line, "%d%%", static_cast<int>(std::lround(sum * 100.0f / 12.0f)));
    f.text(Type::wheelPercent, kCx, by + 141.0f, pal::ink(), line, kCentre);
    f.text(Type::knobZone, kCx, by + 156.0f, pal::faint(), "WORN", kCentre);
    std::snprintf(line, sizeof line, "%d/12 TOUCHED", touched);
    f.text(Type::knobZone, kCx, by + 169.0f, pal::faint(), line, kCentre);
  }
  f.hits.add(Ctrl::Wheel, {kCx - 126.0f, kCy - 126.0f, 252.0f, 252.0f});
}

}  // namespace vrui
