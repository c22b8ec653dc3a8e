// The header: maker's mark, wordmark, the memory box, Speed, A/B and the history arrows.
#include "DrawRegions.h"

#include <cmath>
#include <cstdio>

namespace vrui {
namespace {

// The maker's mark: a struck ring with its first overtone and the strike point.
void makersMark(NVGcontext* vg) {
  const Rect tile{12.0f, 7.0f, 30.0f, 30.0f};
  fillRound(vg, tile, 6.0f, pal::rgb(28, 36, 43));
  strokeRound(vg, tile, 6.0f, pal::outline());
  const float cx = 27.0f, cy = 22.0f;
  nvgBeginPath(vg);
  nvgCircle(vg, cx, cy, 9.0f);
  nvgStrokeColor(vg, pal::teal());
  nvgStrokeWidth(vg, 2.0f);
  nvgStroke(vg);
  nvgBeginPath(vg);
  nvgArc(vg, cx, cy, 4.5f, nvgDegToRad(-200.0f), nvgDegToRad(20.0f), NVG_CW);
  nvgStrokeColor(vg, pal::amber());
  nvgStrokeWidth(vg, 1.6f);
  nvgStroke(vg);
  nvgBeginPath(vg);
  nvgCircle(vg, cx, cy - 9.0f, 2.2f);
  nvgFillColor(vg, pal::ink());
  nvgFill(vg);
}

// A curved arrow of radius 5.5; mirrored for Redo.
void historyButton(const Frame& f, float x, Ctrl ctrl, bool available) {
  const Rect r{x, 11.0f, 22.0f, 22.0f};
  bool hot = f.hovered(ctrl);
  fillRound(f.vg, r, 4.0f, hot ? pal::rgb(30, 38, 45) : pal::rgb(22, 28, 34));
  strokeRound(f.vg, r, 4.0f, pal::outline());
  NVGcolor c = hot ? pal::ink() : available ? pal::muted() : pal::faint();
  const float cx = x + 11.0f, cy = 23.0f, dir = ctrl == Ctrl::Undo ? -1.0f : 1.0f;
  nvgBeginPath(f.vg);
  if (dir < 0.0f) {
    nvgArc(f.vg, cx, cy, 5.5f, nvgDegToRad(-20.0f), nvgDegToRad(-180.0f), NVG_CCW);
  } else {
    nvgArc(f.vg, cx, cy, 5.5f, nvgDegToRad(-160.0f), nvgDegToRad(0.0f), NVG_CW);
  }
  nvgStrokeColor(f.vg, c);
  nvgStrokeWidth(f.vg, 1.5f);
  nvgStroke(f.vg);
  const float tipX = cx + dir * 5.5f;
  nvgBeginPath(f.vg);
  nvgMoveTo(f.vg, tipX - 3.0f, cy - 1.0f);
  nvgLineTo(f.vg, tipX + 3.0f, cy - 1.0f);
  nvgLineTo(f.vg, tipX, cy + 3.0f);
  nvgClosePath(f.vg);
  nvgFillColor(f.vg, c);
  nvgFill(f.vg);
  f.hits.add(ctrl, r);
}

}  // namespace

void drawHeader(const Frame& f) {
  NVGcontext* vg = f.vg;
  const PanelState& s = f.s;
  nvgBeginPath(vg);
  nvgRect(vg, 0.0f, 0.0f, 960.0f, 44.0f);
  nvgFillPaint(vg, nvgLinearGradient(vg, 0.0f, 0.0f, 0.0f, 44.0f, pal::rgb(23, 29, 35), pal::rgb(18, 23, 28)));
  nvgFill(vg);
  hLine(vg, 0.0f, 960.0f, 43.5f, pal::rule());

  makersMark(vg);
  f.text(Type::wordmark, 53.0f, 17.0f, pal::ink(), "VORREL");
  f.text(Type::byline, 53.0f, 33.0f, pal::faint(), "Oskel-Audio");

  historyButton(f, 926.0f, Ctrl::Redo, s.canRedo);
  historyButton(f, 900.0f, Ctrl::Undo, s.canUndo);

  static const char* const kAb[] = {"A", "B"};
  segmented(f, kAb, 2, {838.0f, 11.0f, 58.0f, 22.0f}, s.abSlot, Ctrl::AbSlot, false);

  strokeRound(vg, {672.0f, 9.0f, 156.0f, 26.0f}, 4.0f, pal::outline());
  f.text(Type::knobZone, 692.0f, 22.0f, pal::faint(), "Speed", kCentre);
  static const char* const kSpeeds[] = {
      "\xC3\x97"
      "1",
      "\xC3\x97"
      "10",
      "\xC3\x97"
      "100"};
  segmented(f, kSpeeds, 3, {712.0f, 11.0f, 114.0f, 22.0f}, s.speedIndex, Ctrl::Speed, false);
  if (s.firstTime) strokeRound(vg, {789.0f, 12.0f, 36.0f, 20.0f}, 3.0f, pal::amber(), 1.5f);

  const Rect box{446.0f, 9.0f, 216.0f, 26.0f};
  fillRound(vg, box, 4.0f, pal::rgb(22, 29, 35));
  strokeRound(vg, box, 4.0f, pal::teal(0.4f));
  fillRect(vg, {448.0f, 12.0f, 2.0f, 20.0f}, pal::teal());
  f.text(Type::knobZone, 484.0f, 22.0f, pal::teal(), "Memory", kCentre);
  nvgSave(vg);
  nvgIntersectScissor(vg, 518.0f, box.y, 640.0f - 518.0f, box.h);
  float w = f.text(Type::presetName, 518.0f, 22.0f, pal::ink(), s.memName);
  if (s.memYoursSeconds > 0.5) {
    char yours[48];
    long long secs = static_cast<long long>(s.memYoursSeconds);
    std::snprintf(yours, sizeof yours, "+%lld:%02lld yours", secs / 60, secs % 60);
    f.text(Type::knobNote, 518.0f + w + 6.0f, 22.0f, pal::amber(), yours);
  }
  nvgRestore(vg);
  triangle(vg, 648.0f, 22.25f, 7.0f, 0, pal::teal());
  f.hits.add(Ctrl::MemoryMenu, box);
}

}  // namespace vrui
