// The welcome card and the tour's step cards, placed beside the control each step explains.
#include "DrawPanel.h"
#include "DrawRegions.h"

#include "PanelTexts.h"

#include <cstdio>

namespace vrui {
namespace {

constexpr float kBodyLine = 16.0f;

std::string pick(const char* text, const char* english) { return text && *text ? text : english; }

float buttonFor(const Frame& f, const std::string& label, float x, float y, int nav, int style, bool fromRight) {
  float w = tourButtonWidth(f.width(Type::segment, label));
  button(f, label, {fromRight ? x - w : x, y, w, 26.0f}, Ctrl::TourNav, style, nav);
  return w;
}

void welcome(const Frame& f) {
  const int lang = f.s.lang;
  fillRect(f.vg, {0.0f, 0.0f, 960.0f, 660.0f}, pal::rgb(6, 8, 10, 170));
  f.hits.add(Ctrl::TourNav, {0.0f, 0.0f, 960.0f, 660.0f}, -1);
  const float textWidth = 460.0f - 48.0f;
  std::string lines[4];
  float h = 0.0f;
  for (int i = 0; i < 4; ++i) {
    lines[i] = pick(welcomeLine(lang, i), welcomeLine(0, i));
    h += specTextWrapped(f.vg, f.fonts, Type::tourBody, 0.0f, 0.0f, textWidth, pal::ink(), lines[i], kBodyLine, true);
  }
  const Rect c{250.0f, 256.0f - h / 2.0f, 460.0f, 148.0f + h};
  card(f.vg, c);
  f.text(Type::tourHead, c.x + 24.0f, c.y + 32.0f, pal::ink(), pick(welcomeTitle(lang), welcomeTitle(0)));
  float y = c.y + 56.0f;
  for (int i = 0; i < 4; ++i) {
    y += specTextWrapped(f.vg, f.fonts, Type::tourBody, c.x + 24.0f, y, textWidth, i == 1 ? pal::teal() : pal::ink(),
                         lines[i], kBodyLine) +
         6.0f;
  }
  const float by = c.bottom() - 44.0f;
  float w = buttonFor(f, pick(tourButton(lang, 1), tourButton(0, 1)), c.right() - 24.0f, by, 1, 1, true);
  buttonFor(f, pick(tourButton(lang, 0), tourButton(0, 0)), c.right() - 24.0f - w - 10.0f, by, 0, 0, true);
}

void pointer(NVGcontext* vg, const TourPlacement& p) {
  nvgBeginPath(vg);
  if (p.side == 0) {
    nvgMoveTo(vg, p.pointerX - 7.0f, p.pointerY + 0.5f);
    nvgLineTo(vg, p.pointerX, p.pointerY - 7.0f);
    nvgLineTo(vg, p.pointerX + 7.0f, p.pointerY + 0.5f);
  } else if (p.side == 1) {
    nvgMoveTo(vg, p.pointerX - 7.0f, p.pointerY - 0.5f);
    nvgLineTo(vg, p.pointerX, p.pointerY + 7.0f);
    nvgLineTo(vg, p.pointerX + 7.0f, p.pointerY - 0.5f);
  } else {
    nvgMoveTo(vg, p.pointerX + 0.5f, p.pointerY - 7.0f);
    nvgLineTo(vg, p.pointerX - 7.0f, p.pointerY);
    nvgLineTo(vg, p.pointerX + 0.5f, p.pointerY + 7.0f);
  }
  nvgClosePath(vg);
  nvgFillColor(vg, pal::cardFill());
  nvgFill(vg);
}

void step(const Frame& f, int n) {
  const int lang = f.s.lang;
  const TourTarget t = tourTarget(n);
  Rect target{480.0f, 330.0f, 0.0f, 0.0f};
  if (f.hits.bounds(t.ctrl, t.index, target)) {
    strokeRound(f.vg, inset(target, -4.0f), 5.0f, pal::amber(), 2.0f);
    strokeRound(f.vg, inset(target, -7.0f), 7.0f, pal::amber(0.28f), 2.0f);
  }
  const std::string body = pick(tourBody(lang, n), tourBody(0, n));
  float h =
      specTextWrapped(f.vg, f.fonts, Type::tourBody, 0.0f, 0.0f, kTourBodyWidth, pal::ink(), body, kBodyLine, true) +
      kTourCardExtra;
  const TourPlacement p = placeTour(target, h);
  const Rect c = p.card;
  card(f.vg, c);
  if (p.side >= 0) pointer(f.vg, p);
  f.text(Type::tourTitle, c.x + 16.0f, c.y + 20.0f, pal::teal(), pick(tourTitle(lang, n), tourTitle(0, n)));
  const int total = f.s.tourExtended ? kNumTourSteps : kBasicTourSteps;
  char counter[32];
  std::snprintf(counter, sizeof counter, "%d / %d", n + 1, total);
  f.text(Type::railTick, c.x + 288.0f, c.y + 15.0f, pal::faint(), counter, kRight);
  specTextWrapped(f.vg, f.fonts, Type::tourBody, c.x + 16.0f, c.y + 36.0f, kTourBodyWidth, pal::ink(), body, kBodyLine);

  const float by = c.bottom() - 40.0f;
  buttonFor(f, pick(tourButton(lang, 2), tourButton(0, 2)), c.x + 16.0f, by, 2, 0, false);
  const float right = c.right() - 16.0f;
  if (n == kNumTourSteps - 1 || (n == kBasicTourSteps - 1 && !f.s.tourExtended)) {
    float w = buttonFor(f, pick(tourButton(lang, 5), tourButton(0, 5)), right, by, 5, 0, true);
    if (n == kBasicTourSteps - 1)
      buttonFor(f, pick(tourButton(lang, 4), tourButton(0, 4)), right - w - 8.0f, by, 4, 1, true);
  } else {
    buttonFor(f, pick(tourButton(lang, 3), tourButton(0, 3)), right, by, 3, 1, true);
  }
  const Rect close{c.x + 296.0f, c.y + 6.0f, 18.0f, 18.0f};
  NVGcolor xc = f.hovered(Ctrl::TourNav, 6) ? pal::ink() : pal::muted();
  nvgBeginPath(f.vg);
  nvgMoveTo(f.vg, close.x + 5.0f, close.y + 5.0f);
  nvgLineTo(f.vg, close.right() - 5.0f, close.bottom() - 5.0f);
  nvgMoveTo(f.vg, close.right() - 5.0f, close.y + 5.0f);
  nvgLineTo(f.vg, close.x + 5.0f, close.bottom() - 5.0f);
  nvgStrokeColor(f.vg, xc);
  nvgStrokeWidth(f.vg, 1.5f);
  nvgStroke(f.vg);
  f.hits.add(Ctrl::TourNav, close, 6);
}

}  // namespace

int tourProbeSide(NVGcontext* vg, const PanelFonts& fonts, int lang, int step, const Rect& target) {
  return tourProbeSide(lang, step, target, [&](const char* text, float width) {
    return specTextWrapped(vg, fonts, Type::tourBody, 0.0f, 0.0f, width, pal::ink(), text, kBodyLine, true);
  });
}

void drawTour(const Frame& f) {
  const PanelState& s = f.s;
  if (!s.tourActive) return;
  if (s.tourStep == -1) {
    welcome(f);
  } else if (s.tourStep >= 0 && s.tourStep < kNumTourSteps) {
    step(f, s.tourStep);
  }
}

}  // namespace vrui
