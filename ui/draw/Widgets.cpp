// Widgets drawn the same way wherever they appear, each adding its own hit entries.
#include "Widgets.h"

#include "PanelTexts.h"
#include "Params.h"

#include <algorithm>
#include <cmath>

namespace vrui {

void fillRect(NVGcontext* vg, const Rect& r, const NVGcolor& c) {
  nvgBeginPath(vg);
  nvgRect(vg, r.x, r.y, r.w, r.h);
  nvgFillColor(vg, c);
  nvgFill(vg);
}

void fillRound(NVGcontext* vg, const Rect& r, float radius, const NVGcolor& c) {
  nvgBeginPath(vg);
  nvgRoundedRect(vg, r.x, r.y, r.w, r.h, radius);
  nvgFillColor(vg, c);
  nvgFill(vg);
}

void strokeRound(NVGcontext* vg, const Rect& r, float radius, const NVGcolor& c, float width) {
  nvgBeginPath(vg);
  nvgRoundedRect(vg, r.x + 0.5f, r.y + 0.5f, r.w - 1.0f, r.h - 1.0f, radius);
  nvgStrokeColor(vg, c);
  nvgStrokeWidth(vg, width);
  nvgStroke(vg);
}

namespace {

void line(NVGcontext* vg, float x0, float y0, float x1, float y1, const NVGcolor& c) {
  nvgBeginPath(vg);
  nvgMoveTo(vg, x0, y0);
  nvgLineTo(vg, x1, y1);
  nvgStrokeColor(vg, c);
  nvgStrokeWidth(vg, 1.0f);
  nvgStroke(vg);
}

}  // namespace

void hLine(NVGcontext* vg, float x0, float x1, float y, const NVGcolor& c) { line(vg, x0, y, x1, y, c); }

void vLine(NVGcontext* vg, float x, float y0, float y1, const NVGcolor& c) { line(vg, x, y0, x, y1, c); }

void triangle(NVGcontext* vg, float cx, float cy, float size, int dir, const NVGcolor& c) {
  float h = size / 2.0f;
  nvgBeginPath(vg);
  if (dir == 0) {
    nvgMoveTo(vg, cx - h, cy - h * 0.65f);
    nvgLineTo(vg, cx + h, cy - h * 0.65f);
    nvgLineTo(vg, cx, cy + h * 0.65f);
  } else if (dir == 1) {
    nvgMoveTo(vg, cx + h * 0.65f, cy - h);
    nvgLineTo(vg, cx + h * 0.65f, cy + h);
    nvgLineTo(vg, cx - h * 0.65f, cy);
  } else {
    nvgMoveTo(vg, cx - h * 0.65f, cy - h);
    nvgLineTo(vg, cx - h * 0.65f, cy + h);
    nvgLineTo(vg, cx + h * 0.65f, cy);
  }
  nvgClosePath(vg);
  nvgFillColor(vg, c);
  nvgFill(vg);
}

Rect inset(const Rect& r, float d) { return {r.x + d, r.y + d, r.w - 2.0f * d, r.h - 2.0f * d}; }

void fittedLabel(const Frame& f, const Rect& r, const NVGcolor& c, const std::string& label) {
  // A label wider than its box (long translations) drops to the small capitals rather than spill over.
  const TypeSpec& style = f.width(Type::segment, label) <= r.w - 6.0f ? Type::segment : Type::pillAll;
  nvgSave(f.vg);
  nvgIntersectScissor(f.vg, r.x, r.y, r.w, r.h);
  f.text(style, r.x + r.w / 2.0f, r.y + r.h / 2.0f, c, label, kCentre);
  nvgRestore(f.vg);
}

void card(NVGcontext* vg, const Rect& r) {
  fillRect(vg, {r.x - 8.0f, r.y - 4.0f, r.w + 16.0f, r.h + 16.0f}, pal::rgb(0, 0, 0, 90));
  fillRound(vg, r, 6.0f, pal::cardFill());
  strokeRound(vg, r, 6.0f, pal::cardBorder());
}

void button(const Frame& f, const std::string& label, const Rect& r, Ctrl ctrl, int style, int index) {
  bool hot = f.hovered(ctrl) && f.s.hoverIndex == index;
  fillRound(f.vg, r, 4.0f, hot ? pal::rgb(30, 38, 45) : pal::rgb(22, 28, 34));
  NVGcolor border = style == 1 ? pal::rgb(60, 91, 85) : style == 2 ? pal::rgb(85, 48, 40) : pal::outline();
  NVGcolor text = style == 1 ? pal::teal() : style == 2 ? pal::danger() : pal::ink();
  strokeRound(f.vg, r, 4.0f, border);
  fittedLabel(f, r, text, label);
  f.hits.add(ctrl, r, index);
}

void segmented(const Frame& f, const char* const* labels, int count, const Rect& r, int selected, Ctrl ctrl,
               bool amber) {
  strokeRound(f.vg, r, 4.0f, pal::outline());
  float w = r.w / static_cast<float>(count);
  for (int i = 0; i < count; ++i) {
    Rect seg{r.x + i * w, r.y, w, r.h};
    f.hits.add(ctrl, seg, i);
    NVGcolor label = pal::muted();
    if (i == selected) {
      fillRound(f.vg, inset(seg, 1.0f), 3.0f, amber ? pal::rgb(44, 36, 24) : pal::rgb(35, 48, 57));
      label = amber ? pal::amber() : pal::teal();
    } else if (f.hovered(ctrl, i)) {
      fillRound(f.vg, inset(seg, 1.0f), 3.0f, pal::rgb(26, 33, 40));
      label = pal::ink();
    }
    if (i > 0) vLine(f.vg, seg.x + 0.5f, r.y + 1.0f, r.bottom() - 1.0f, pal::rule());
    fittedLabel(f, seg, label, labels[i]);
  }
}

void nameField(const Frame& f, Ctrl ctrl, const Rect& r) {
  const PanelState& s = f.s;
  fillRound(f.vg, r, 3.0f, pal::fieldFill());
  strokeRound(f.vg, r, 3.0f, pal::fieldBorder());
  float x = r.x + 6.0f, cy = r.y + r.h / 2.0f;
  auto upTo = [&](int n) {
    n = std::clamp(n, 0, static_cast<int>(s.editText.size()));
    return f.width(Type::presetName, s.editText.substr(0, static_cast<size_t>(n)));
  };
  nvgSave(f.vg);
  nvgIntersectScissor(f.vg, r.x, r.y, r.w, r.h);
  if (s.selEnd > s.selStart) {
    float a = upTo(s.selStart), b = upTo(s.selEnd);
    fillRect(f.vg, {x + a, r.y + 3.0f, b - a, r.h - 6.0f}, pal::fieldSelection());
  }
  f.text(Type::presetName, x, cy, pal::ink(), s.editText);
  if (s.caretVisible) fillRect(f.vg, {x + upTo(s.caret), r.y + 4.0f, 1.0f, r.h - 8.0f}, pal::amber());
  nvgRestore(f.vg);
  f.hits.add(ctrl, r);
}

void knob(const Frame& f, int param, bool warn, float x, float y) {
  const PanelState& s = f.s;
  const float cx = x + 30.0f, cy = y + 32.0f;
  const float radius = 16.227272f;
  NVGcolor label = pal::muted();
  bool lfoIdle =
      (param == kLfoRate && s.paramNorm[kLfoAmt] <= 0.0f) || (param == kLfoAmt && s.paramNorm[kLfoRate] <= 0.0f);
  if (f.hovered(Ctrl::Param, param)) {
    label = pal::ink();
  } else if (param == kImprint || param == kSympathy) {
    label = pal::teal();
  } else if (lfoIdle) {
    label = pal::faint();
  }
  f.text(Type::knobZone, cx, y + 5.0f, label, paramLabel(param), kCentre);

  const float start = nvgDegToRad(-220.0f), sweep = nvgDegToRad(260.0f);
  float v = std::clamp(s.paramNorm[param], 0.0f, 1.0f);
  nvgLineCap(f.vg, NVG_ROUND);
  nvgBeginPath(f.vg);
  nvgArc(f.vg, cx, cy, radius, start, start + sweep, NVG_CW);
  nvgStrokeColor(f.vg, pal::rgb(42, 50, 58));
  nvgStrokeWidth(f.vg, 3.0f);
  nvgStroke(f.vg);
  if (v > 0.001f) {
    nvgBeginPath(f.vg);
    nvgArc(f.vg, cx, cy, radius, start, start + sweep * v, NVG_CW);
    nvgStrokeColor(f.vg, warn ? pal::danger() : pal::teal());
    nvgStroke(f.vg);
  }
  nvgLineCap(f.vg, NVG_BUTT);

  nvgBeginPath(f.vg);
  nvgCircle(f.vg, cx, cy, 11.931818f);
  nvgFillColor(f.vg, pal::rgb(26, 32, 39));
  nvgFill(f.vg);
  nvgStrokeColor(f.vg, pal::rgb(47, 56, 65));
  nvgStrokeWidth(f.vg, 1.0f);
  nvgStroke(f.vg);
  float a = start + sweep * v;
  nvgBeginPath(f.vg);
  nvgMoveTo(f.vg, cx + std::cos(a) * 6.681818f, cy + std::sin(a) * 6.681818f);
  nvgLineTo(f.vg, cx + std::cos(a) * radius, cy + std::sin(a) * radius);
  nvgStrokeColor(f.vg, pal::ink());
  nvgStrokeWidth(f.vg, 1.8f);
  nvgStroke(f.vg);

  f.text(Type::chipValue, cx, y + 60.0f, pal::ink(), s.paramText[static_cast<size_t>(param)], kCentre);
  f.hits.addKnob(Ctrl::Param, {x, y, 60.0f, 66.0f}, 0.0f, 1.0f, param);
}

}  // namespace vrui
