// Layout arithmetic of the panel, kept apart from drawing so it can be checked by hand.
#include "PanelLayout.h"

#include "PanelTexts.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace vrui {

Rgb ageColour(float ageDays, float forgetDays) {
  float t = std::min(1.0f, ageDays / (std::max(0.01f, forgetDays) * 1.6f));
  if (!(t >= 0.0f)) t = 0.0f;
  return {static_cast<int>(std::lround(232.0f - 169.0f * t)), static_cast<int>(std::lround(163.0f + 21.0f * t)),
          static_cast<int>(std::lround(61.0f + 99.0f * t))};
}

std::string capitals(const std::string& text) {
  std::string out = text;
  for (size_t i = 0; i < out.size(); ++i) {
    auto c = static_cast<unsigned char>(out[i]);
    if (c >= 'a' && c <= 'z') {
      out[i] = static_cast<char>(c - 0x20);
    } else if (c == 0xC3 && i + 1 < out.size()) {
      auto d = static_cast<unsigned char>(out[i + 1]);
      if (d >= 0xA0 && d <= 0xBE && d != 0xB7) out[i + 1] = static_cast<char>(d - 0x20);
      ++i;
    }
  }
  return out;
}

Columns memoryColumns(const float titleWidths[3]) {
  const float mins[3] = {176.0f, 258.0f, 116.0f};
  Columns c;
  float used = 0.0f;
  for (int i = 0; i < 3; ++i) used += c.w[i] = std::max(titleWidths[i], mins[i]);
  c.gap = std::max(0.0f, (668.0f - used) / 4.0f - 0.5f);
  float x = 280.0f;
  for (int i = 0; i < 3; ++i) {
    c.x[i] = x;
    x += c.w[i] + c.gap;
  }
  return c;
}

Columns groupColumns(const float titleWidths[3], const float minWidths[3]) {
  Columns c;
  float used = 0.0f;
  for (int i = 0; i < 3; ++i) used += c.w[i] = std::max(titleWidths[i], minWidths[i]);
  c.gap = std::max(0.0f, (936.0f - used) / 2.0f);
  float x = 12.0f;
  for (int i = 0; i < 3; ++i) {
    c.x[i] = x;
    x += c.w[i] + c.gap;
  }
  return c;
}

bool isBlackKey(int note) {
  int pc = ((note % 12) + 12) % 12;
  return pc == 1 || pc == 3 || pc == 6 || pc == 8 || pc == 10;
}

Rect keyRect(int note) {
  const float kw = 936.0f / 29.0f;
  // White keys below this note (a black key sits on the white key just under it).
  int whites = 0;
  for (int n = kLowKey; n < note; ++n) whites += isBlackKey(n) ? 0 : 1;
  if (!isBlackKey(note)) return {12.0f + whites * kw, kKeyTop, kw - 1.0f, kWhiteKeyHeight};
  return {12.0f + (whites - 1) * kw + 0.66f * kw, kKeyTop, 0.66f * kw, 24.18f};
}

std::vector<WheelLine> wheelLines(const PanelState& s) {
  std::vector<WheelLine> lines;
  for (int r = 0; r < 12; ++r) {
    for (int c = 1; c < 12; ++c) {
      if (s.weight[r][c] > 0.05f) lines.push_back({r, (r + c) % 12, s.weight[r][c], s.ageDays[r][c]});
    }
  }
  std::stable_sort(lines.begin(), lines.end(),
                   [](const WheelLine& a, const WheelLine& b) { return a.weight < b.weight; });
  if (lines.size() > kMaxWheelLines) lines.erase(lines.begin(), lines.end() - kMaxWheelLines);
  return lines;
}

int chipsThatFit(int count) {
  int n = 0;
  while (n < count && chipRect(n).right() < 948.0f) ++n;
  return n;
}

Rect chipRect(int i) { return {280.0f + 126.0f * i, 44.0f + 128.0f, 118.0f, 42.0f}; }

int memoryMenuVisibleRows(int saved) {
  // (rows + 9) x 22 + 70 must stay within 8..654.
  int most = static_cast<int>((kMenuBottom - kMenuTop - 70.0f) / kRowPitch) - kShippedMemories;
  return std::clamp(saved, 0, std::max(1, most));
}

Rect memoryMenuRect(int saved) {
  int rows = memoryMenuVisibleRows(saved);
  float h = (rows + kShippedMemories) * kRowPitch + 70.0f + (saved == 0 ? kRowPitch : 0.0f);
  float right = std::min(662.0f, 954.0f);
  Rect r{right - 300.0f, 37.0f, 300.0f, h};
  if (r.bottom() > kMenuBottom) r.y = kMenuBottom - h;
  return r;
}

int presetMenuVisibleRows(int rows) {
  int most = static_cast<int>((kMenuBottom - kMenuTop - 26.0f - 10.0f) / kRowPitch);
  return std::clamp(rows, 0, most);
}

Rect presetMenuRect(float boxX, float boxBottom, int rows) {
  int shown = presetMenuVisibleRows(rows);
  float list = std::max(220.0f, shown > 0 ? shown * kRowPitch + 10.0f : 40.0f);
  Rect r{std::min(boxX, 496.0f), boxBottom + 2.0f, 452.0f, list + 26.0f};
  if (r.bottom() > kMenuBottom) r.y = kMenuBottom - r.h;
  return r;
}

int clampScroll(int scroll, int rows, int visible) { return std::clamp(scroll, 0, std::max(0, rows - visible)); }

const char* categoryName(int rail) {
  static const char* const kNames[kNumCategories] = {
      "Init", "Keys", "Bass", "Pads", "Leads", "Plucked & struck", "Percussion", "Textures", "Machines", "Yours"};
  return kNames[std::clamp(rail, 0, kNumCategories - 1)];
}

int presetMenuRowCount(const PanelState& s) {
  const int cat = std::clamp(s.presetCat, 0, kYoursCategory);
  if (cat == kYoursCategory) return static_cast<int>(s.userPresetNames.size());
  if (!s.factoryPresets) return 0;
  int rows = 0;
  for (int i = 0; i < s.factoryCount; ++i) rows += std::strcmp(s.factoryPresets[i].category, categoryName(cat)) == 0;
  return rows;
}

Rect bodyBoxRect(float groupX) { return {groupX, kBodyBoxY, 96.0f, 24.0f}; }

Rect bodyListRect(float groupX) {
  Rect box = bodyBoxRect(groupX);
  return {std::min(box.x, 804.0f), box.y - 246.0f - 2.0f, 166.0f, 246.0f};
}

TourPlacement placeTour(const Rect& t, float h) {
  const float cx = t.x + t.w / 2.0f, cy = t.y + t.h / 2.0f;
  const Rect candidates[3] = {{cx - 160.0f, t.bottom() + 10.0f, kTourCardWidth, h},
                              {cx - 160.0f, t.y - 10.0f - h, kTourCardWidth, h},
                              {t.right() + 10.0f, cy - h / 2.0f, kTourCardWidth, h}};
  for (int side = 0; side < 3; ++side) {
    Rect c = candidates[side];
    if (c.y < 8.0f || c.bottom() > 652.0f) continue;
    // Beside needs room on the right: clamping it back would lay the card over its own target.
    if (side == 2 && c.x > 632.0f) continue;
    c.x = std::clamp(c.x, 8.0f, 632.0f);
    TourPlacement p{c, side, 0.0f, 0.0f};
    if (side < 2) {
      p.pointerX = std::clamp(cx, c.x + 14.0f, c.x + 306.0f);
      p.pointerY = side == 0 ? c.y : c.bottom();
    } else {
      p.pointerX = c.x;
      p.pointerY = std::clamp(cy, c.y + 14.0f, c.y + h - 14.0f);
    }
    return p;
  }
  return {{320.0f, 330.0f - h / 2.0f, kTourCardWidth, h}, -1, 0.0f, 0.0f};
}

float tourButtonWidth(float labelWidth) { return std::max(56.0f, labelWidth + 20.0f); }

int tourProbeSide(int lang, int step, const Rect& target, const std::function<float(const char*, float)>& measure) {
  if (step < 0 || step >= kNumTourSteps) return -1;
  const char* body = tourBody(lang, step);
  if (!body || !*body) body = tourBody(0, step);
  float h = measure(body, kTourBodyWidth) + kTourCardExtra;
  return placeTour(target, h).side;
}

}  // namespace vrui
