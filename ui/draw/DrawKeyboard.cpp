// The keyboard strip with its legend, glows and held keys, and the hint bar under it.
#include "DrawRegions.h"

#include "PanelTexts.h"

#include <algorithm>
#include <cmath>

namespace vrui {
namespace {

std::string hint(int lang, int slot) {
  const char* t = hintSlot(lang, slot);
  return t && *t ? t : hintSlot(0, slot);
}

const PanelState::KeyHold* holdOf(const PanelState& s, int note) {
  for (const auto& h : s.keyHolds) {
    if (h.note == note) return &h;
  }
  return nullptr;
}

void key(const Frame& f, int note) {
  const PanelState& s = f.s;
  NVGcontext* vg = f.vg;
  const Rect r = keyRect(note);
  const bool black = isBlackKey(note);
  const int pc = note % 12;
  const float l = s.rowIntensity[pc];
  if (l > 0.01f) {
    float h = 4.4f * std::min(l, 1.0f) + 1.6f;
    NVGcolor c = pal::of(ageColour(s.rowAgeDays[pc], s.forgetDays));
    NVGcolor clear = pal::of(ageColour(s.rowAgeDays[pc], s.forgetDays), 0.0f);
    nvgBeginPath(vg);
    nvgRect(vg, r.x, r.y - 3.0f - h, r.w, h);
    nvgFillPaint(vg, nvgLinearGradient(vg, 0.0f, r.y - 3.0f - h, 0.0f, r.y - 3.0f, clear, c));
    nvgFill(vg);
  }
  fillRect(vg, r, black ? pal::rgb(24, 29, 34) : pal::rgb(196, 190, 177));
  nvgBeginPath(vg);
  nvgRect(vg, r.x + 0.5f, r.y + 0.5f, r.w - 1.0f, r.h - 1.0f);
  nvgStrokeColor(vg, black ? pal::rgb(10, 13, 16) : pal::rgb(141, 136, 126));
  nvgStrokeWidth(vg, 1.0f);
  nvgStroke(vg);
  if (pc == s.selectedPc) fillRect(vg, {r.x + r.w * 0.28f, r.y, r.w * 0.44f, 2.5f}, pal::rgbf(221, 214, 199, 0.9f));
  if (note == s.heldMidiNote && !holdOf(s, note)) {
    fillRect(vg, r, pal::amber(0.34f));
    nvgBeginPath(vg);
    nvgRect(vg, r.x + 0.6f, r.y + 0.6f, r.w - 1.2f, r.h - 1.2f);
    nvgStrokeColor(vg, pal::amber(0.9f));
    nvgStrokeWidth(vg, 1.2f);
    nvgStroke(vg);
  }
  f.hits.add(Ctrl::Key, r, note);
}

void held(const Frame& f, const PanelState::KeyHold& h) {
  if (h.note < kLowKey || h.note > kHighKey) return;
  const Rect r = keyRect(h.note);
  float c = std::min(1.0f, h.energy / 1.2f), p = std::clamp(h.pressure, 0.0f, 1.0f);
  fillRect(f.vg, r,
           pal::rgbf(255, static_cast<int>(std::lround(212.0f - 26.0f * c)),
                     static_cast<int>(std::lround(158.0f - 66.0f * c)), 0.22f + 0.58f * p));
  nvgBeginPath(f.vg);
  nvgRect(f.vg, r.x + 0.6f, r.y + 0.6f, r.w - 1.2f, r.h - 1.2f);
  nvgStrokeColor(f.vg, pal::rgb(255, 241, 214, 235));
  nvgStrokeWidth(f.vg, 1.2f);
  nvgStroke(f.vg);
  long number = std::lround(p * (h.mpe ? 100.0f : 127.0f));
  f.text(Type::keyNumber, r.x + r.w / 2.0f, r.bottom() - 7.0f, pal::rgb(36, 28, 20), std::to_string(number), kCentre);
}

}  // namespace

void drawKeyboard(const Frame& f) {
  const PanelState& s = f.s;
  fillRect(f.vg, {0.0f, 576.0f, 960.0f, 58.0f}, pal::keyStrip());
  hLine(f.vg, 0.0f, 960.0f, 576.5f, pal::rule());

  for (int pass = 0; pass < 2; ++pass) {
    for (int note = kLowKey; note <= kHighKey; ++note) {
      if (isBlackKey(note) == (pass == 1)) key(f, note);
    }
  }

  // The legend stands over the glows that rise into its line (up to 9 units above the keys' top at 591), on a
  // backing of the strip's own colour, so it reads with every key glowing.
  std::string runs[4];
  float total = 0.0f;
  for (int i = 0; i < 4; ++i) total += f.width(Type::knobZone, runs[i] = hint(s.lang, 33 + i));
  float x = 948.0f - total;
  fillRound(f.vg, {x - 4.0f, 578.0f, total + 8.0f, 12.0f}, 2.0f, pal::rgbf(12, 16, 20, 0.9f));
  for (int i = 0; i < 4; ++i) x += f.text(Type::knobZone, x, 584.0f, i % 2 == 0 ? pal::faint() : pal::amber(), runs[i]);

  for (int pass = 0; pass < 2; ++pass) {
    for (const auto& h : s.keyHolds) {
      if (isBlackKey(h.note) == (pass == 1)) held(f, h);
    }
  }
  const Rect c4 = keyRect(60);
  f.text(Type::knobZone, c4.x + c4.w / 2.0f, 624.0f, pal::rgb(20, 26, 32, 140), "C4", kCentre);
}

void drawHintBar(const Frame& f) {
  const PanelState& s = f.s;
  NVGcontext* vg = f.vg;
  fillRect(vg, {0.0f, 634.0f, 960.0f, 26.0f}, pal::hintBar());
  const float cy = 647.0f;
  float tagWidth = f.text(Type::railTick, 862.0f, cy, pal::teal(), s.hintTag, kRight);
  nvgSave(vg);
  nvgIntersectScissor(vg, 0.0f, 634.0f, std::max(0.0f, 862.0f - tagWidth - 12.0f), 26.0f);
  f.text(Type::infoText, 12.0f, cy, pal::muted(), s.hintText);
  nvgRestore(vg);

  const Rect help{870.0f, 639.0f, 20.0f, 16.0f};
  fillRound(vg, help, 3.0f, f.hovered(Ctrl::TourAgain) ? pal::rgb(30, 38, 45) : pal::rgb(22, 28, 34));
  strokeRound(vg, help, 3.0f, pal::outline());
  f.text(Type::pill, help.x + 10.0f, cy, f.hovered(Ctrl::TourAgain) ? pal::ink() : pal::muted(), "?", kCentre);
  f.hits.add(Ctrl::TourAgain, help);

  const Rect lang{896.0f, 639.0f, 30.0f, 16.0f};
  fillRound(vg, lang, 3.0f, f.hovered(Ctrl::Language) ? pal::rgb(30, 38, 45) : pal::rgb(22, 28, 34));
  strokeRound(vg, lang, 3.0f, pal::rgb(60, 91, 85));
  f.text(Type::pill, lang.x + 15.0f, cy, pal::teal(), langCode(s.lang), kCentre);
  f.hits.add(Ctrl::Language, lang);

  const Rect grip{944.0f, 644.0f, 16.0f, 16.0f};
  NVGcolor c = f.hovered(Ctrl::ResizeGrip) ? pal::ink() : pal::faint();
  for (int k = 1; k <= 3; ++k) {
    float d = 4.0f * k;
    nvgBeginPath(vg);
    nvgMoveTo(vg, grip.right() - 2.0f - d, grip.bottom() - 2.0f);
    nvgLineTo(vg, grip.right() - 2.0f, grip.bottom() - 2.0f - d);
    nvgStrokeColor(vg, c);
    nvgStrokeWidth(vg, 1.0f);
    nvgStroke(vg);
  }
  f.hits.add(Ctrl::ResizeGrip, grip);
}

}  // namespace vrui
