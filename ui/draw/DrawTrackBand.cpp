// Band B, this track: title, names, the preset strip, Quality, and the upper and lower control groups.
#include "DrawRegions.h"

#include "Bodies.h"
#include "Params.h"

#include <algorithm>

namespace vrui {
namespace {

const char* const kUpperTitles[3] = {"MEMORY AMOUNT - HOW MUCH THIS TRACK READS",
                                     "EXCITER - WHAT SETS THE BODY IN MOTION", "VOICE & OUT"};
const float kUpperMin[3] = {188.0f, 390.0f, 180.0f};
const char* const kLowerTitles[3] = {"BODY - WHAT RINGS", "FILTER", "EFFECTS"};
const float kLowerMin[3] = {342.0f, 300.0f, 240.0f};

Columns groups(const Frame& f, const char* const* titles, const float* mins) {
  float tw[3];
  for (int i = 0; i < 3; ++i) tw[i] = f.width(Type::knobZone, titles[i]);
  return groupColumns(tw, mins);
}

void groupFrames(const Frame& f, const Columns& c, const char* const* titles, float titleY, float y0, float y1) {
  for (int i = 0; i < 3; ++i) {
    f.text(Type::knobZone, c.x[i] + c.w[i] / 2.0f, titleY, pal::faint(), titles[i], kCentre);
    if (i > 0) vLine(f.vg, c.x[i] - c.gap / 2.0f, y0, y1, pal::outline());
  }
}

void names(const Frame& f) {
  const PanelState& s = f.s;
  if (s.editKind == 3) {
    nameField(f, Ctrl::NameField, {12.0f, 345.0f, 150.0f, 22.0f});
  } else {
    float w = f.text(Type::trackName, 12.0f, 356.0f, pal::ink(), s.trackName);
    f.hits.add(Ctrl::TrackName, {8.0f, 344.0f, w + 8.0f, 24.0f});
    if (s.trackNameIsOwn)
      f.text(Type::nameSrc, 12.0f + w + 8.0f, 356.0f, pal::faint(), "(DAW: " + s.hostTrackName + ")");
  }
}

void presetStrip(const Frame& f) {
  const PanelState& s = f.s;
  const Rect box = kPresetBox;
  const float cy = box.y + box.h / 2.0f;
  fillRound(f.vg, box, 4.0f, f.hovered(Ctrl::PresetMenu) ? pal::rgb(30, 38, 45) : pal::rgb(22, 28, 34));
  strokeRound(f.vg, box, 4.0f, pal::outline());
  f.text(Type::knobZone, box.x + 31.0f, cy, pal::faint(), "Preset", kCentre);
  nvgSave(f.vg);
  nvgIntersectScissor(f.vg, box.x + 62.0f, box.y, box.w - 74.0f, box.h);
  float w = f.text(Type::presetName, box.x + 62.0f, cy, pal::ink(), s.presetName.empty() ? "No preset" : s.presetName);
  if (s.presetEdited) f.text(Type::knobNote, box.x + 62.0f + w + 5.0f, cy, pal::amber(), "edited");
  nvgRestore(f.vg);
  triangle(f.vg, box.right() - 8.0f, cy, 7.0f, 0, pal::muted());
  f.hits.add(Ctrl::PresetMenu, box);

  for (int k = 0; k < 2; ++k) {
    Ctrl ctrl = k == 0 ? Ctrl::PresetPrev : Ctrl::PresetNext;
    Rect r{box.x + 182.0f + 20.0f * k, box.y, 18.0f, 22.0f};
    fillRound(f.vg, r, 4.0f, f.hovered(ctrl) ? pal::rgb(30, 38, 45) : pal::rgb(22, 28, 34));
    strokeRound(f.vg, r, 4.0f, pal::outline());
    triangle(f.vg, r.x + 9.0f, cy, 8.0f, k == 0 ? 1 : 2, f.hovered(ctrl) ? pal::ink() : pal::muted());
    f.hits.add(ctrl, r);
  }

  const Rect pc{box.x + 222.0f, box.y, 122.0f, 22.0f};
  fillRound(f.vg, pc, 4.0f, s.pcFlash ? pal::amber(0.35f) : pal::rgb(22, 28, 34));
  strokeRound(f.vg, pc, 4.0f, s.pcFlash ? pal::amber() : pal::outline());
  f.text(Type::knobZone, pc.x + 8.0f, cy, pal::faint(), "PC");
  const char* labels[2] = {"On", "Off"};
  for (int k = 0; k < 2; ++k) {
    int index = k == 0 ? 1 : 0;
    Rect cell{pc.x + 30.0f + 31.0f * k, pc.y + 3.0f, 29.0f, 16.0f};
    bool active = (index == 1) == s.pcEnabled;
    if (active) fillRound(f.vg, cell, 3.0f, pal::rgb(35, 48, 57));
    NVGcolor c = active ? pal::teal() : f.hovered(Ctrl::ProgramChange, index) ? pal::ink() : pal::muted();
    f.text(Type::knobNote, cell.x + cell.w / 2.0f, cy, c, labels[k], kCentre);
    f.hits.add(Ctrl::ProgramChange, {cell.x - 1.0f, cell.y - 1.0f, 31.0f, 18.0f}, index);
  }
  if (s.lastPc >= 0) f.text(Type::chipValue, box.x + 329.0f, cy, pal::teal(), std::to_string(s.lastPc));

  const Rect q{948.0f - 132.0f, box.y, 132.0f, 22.0f};
  strokeRound(f.vg, q, 4.0f, pal::outline());
  f.text(Type::knobZone, q.x + 8.0f, cy, pal::faint(), "Quality");
  const char* quality[3] = {
      "\xC3\x97"
      "1",
      "\xC3\x97"
      "4",
      "\xC3\x97"
      "8"};
  for (int k = 0; k < 3; ++k) {
    Rect cell{q.right() - 82.0f + 27.333334f * k, q.y, 27.333334f, q.h};
    if (k == s.quality) fillRound(f.vg, inset(cell, 1.0f), 3.0f, pal::rgb(35, 48, 57));
    f.text(Type::chipValue, cell.x + cell.w / 2.0f, cy, k == s.quality ? pal::teal() : pal::muted(), quality[k],
           kCentre);
    f.hits.addCell(Ctrl::Param, cell, kQuality, static_cast<float>(k));
  }
}

void sourceSlider(const Frame& f, float gx, float gw) {
  const float centre = gx + gw / 2.0f, v = std::clamp(f.s.paramNorm[kSource], 0.0f, 1.0f);
  f.text(Type::knobZone, gx, 466.0f, pal::teal(), "MACHINE");
  f.text(Type::knobZone, gx + gw, 466.0f, f.hovered(Ctrl::Param, kSource) ? pal::ink() : pal::muted(), "PROJECT",
         kRight);
  const Rect track{centre - 38.0f, 465.0f, 76.0f, 2.0f};
  fillRect(f.vg, track, pal::rgb(42, 50, 58));
  fillRect(f.vg, {track.x, track.y, v * 76.0f, 2.0f}, pal::teal());
  fillRound(f.vg, {track.x + v * 76.0f - 4.0f, 459.0f, 8.0f, 14.0f}, 2.0f, pal::ink());
  f.hits.addKnob(Ctrl::Param, {centre - 42.0f, 457.0f, 84.0f, 18.0f}, 0.0f, 1.0f, kSource);
}

void exciterCells(const Frame& f, float gx) {
  static const char* const kNames[6] = {"Breath", "Mallet", "Bow", "Grain", "Saw", "Sq"};
  for (int k = 0; k < 6; ++k) {
    Rect cell{gx + 46.666668f * (k % 3), k < 3 ? 399.0f : 421.0f, 46.666668f, 22.0f};
    strokeRound(f.vg, cell, 3.0f, pal::outline());
    bool on = k == f.s.exciter;
    if (on) fillRound(f.vg, {cell.x + 1.0f, cell.y + 1.0f, 44.666668f, 20.0f}, 3.0f, pal::rgb(35, 48, 57));
    f.text(Type::knobNote, cell.x + cell.w / 2.0f, cell.y + 11.0f, on ? pal::teal() : pal::muted(), kNames[k], kCentre);
    f.hits.addCell(Ctrl::Param, cell, kExciter, static_cast<float>(k));
  }
}

void knobRow(const Frame& f, const int* params, int count, float x, float y) {
  for (int i = 0; i < count; ++i) knob(f, params[i], false, x + 60.0f * i, y);
}

}  // namespace

Columns lowerColumns(const Frame& f) { return groups(f, kLowerTitles, kLowerMin); }

void drawTrackBand(const Frame& f) {
  const PanelState& s = f.s;
  fillRect(f.vg, {0.0f, 322.0f, 960.0f, 254.0f}, pal::background());
  hLine(f.vg, 0.0f, 960.0f, 322.5f, pal::rule());
  float x = 12.0f;
  x += f.text(Type::bandTitle, x, 334.0f, pal::teal(), "This track");
  f.text(Type::bandSub, x, 334.0f, pal::faint(), "  \xE2\x80\x94 how it reads the memory, and how it sounds");
  f.text(Type::railTick, 948.0f, 334.0f, s.memoryOff ? pal::danger() : pal::faint(), s.memStatus, kRight);
  names(f);
  presetStrip(f);

  Columns up = groups(f, kUpperTitles, kUpperMin);
  groupFrames(f, up, kUpperTitles, 382.0f, 385.0f, 475.0f);
  float mx = up.x[0] + up.w[0] / 2.0f - 94.0f;
  knob(f, kImprint, false, mx, 389.0f);
  knob(f, kBare, false, mx + 64.0f, 389.0f);
  knob(f, kCarve, false, mx + 128.0f, 389.0f);
  sourceSlider(f, up.x[0], up.w[0]);
  float ex = up.x[1] + (up.w[1] - kUpperMin[1]) / 2.0f;
  exciterCells(f, ex);
  const int envelope[4] = {kAttack, kDecay, kSustain, kRelease};
  knobRow(f, envelope, 4, ex + 150.0f, 389.0f);
  const int voice[3] = {kGlide, kVoices, kLevel};
  knobRow(f, voice, 3, up.x[2] + (up.w[2] - kUpperMin[2]) / 2.0f, 389.0f);

  Columns low = lowerColumns(f);
  groupFrames(f, low, kLowerTitles, 497.0f, 502.0f, 569.0f);
  float bx = low.x[0] + (low.w[0] - kLowerMin[0]) / 2.0f;
  const Rect box = bodyBoxRect(bx);
  fillRound(f.vg, box, 4.0f, f.hovered(Ctrl::BodyMenu) ? pal::rgb(30, 38, 45) : pal::rgb(22, 28, 34));
  strokeRound(f.vg, box, 4.0f, pal::outline());
  f.text(Type::charDesc, box.x + 7.0f, 528.0f, pal::ink(),
         vorrel::dsp::bodies()[static_cast<size_t>(std::clamp(s.body, 0, vorrel::dsp::kNumBodies - 1))].name);
  triangle(f.vg, box.right() - 9.0f, 528.0f, 7.0f, 0, pal::muted());
  f.hits.add(Ctrl::BodyMenu, box);
  f.text(Type::knobNote, box.x + 48.0f, 550.0f, pal::muted(), s.doseText, kCentre);
  knob(f, kBodyDecay, false, bx + 102.0f, 503.0f);
  knob(f, kDamper, false, bx + 162.0f, 503.0f);
  knob(f, kInharm, s.paramNorm[kInharm] > 0.62f, bx + 222.0f, 503.0f);
  knob(f, kSympathy, false, bx + 282.0f, 503.0f);
  const int filter[5] = {kCutoff, kResonance, kEnvAmt, kLfoRate, kLfoAmt};
  knobRow(f, filter, 5, low.x[1] + (low.w[1] - kLowerMin[1]) / 2.0f, 503.0f);
  const int effects[4] = {kDelay, kDlyMix, kVerbSize, kVerbMix};
  knobRow(f, effects, 4, low.x[2] + (low.w[2] - kLowerMin[2]) / 2.0f, 503.0f);
}

}  // namespace vrui
