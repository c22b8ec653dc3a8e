// Band A, the memory: title line, age line, the three columns, the instance chips and the timbre view.
#include "DrawRegions.h"
#include "MemoryNotices.h"

#include "FaultTexts.h"
#include "Params.h"

#include <cstdio>

namespace vrui {
namespace {

constexpr float kBy = 44.0f;

void columns(const Frame& f) {
  const PanelState& s = f.s;
  const char* titles[3] = {"FORGETTING", "WHAT CARVES", "THIS PROJECT"};
  float tw[3];
  for (int i = 0; i < 3; ++i) tw[i] = f.width(Type::knobZone, titles[i]);
  Columns c = memoryColumns(tw);
  for (int i = 0; i < 3; ++i) {
    f.text(Type::knobZone, c.x[i], kBy + 29.0f, pal::faint(), titles[i]);
    if (i > 0) vLine(f.vg, c.x[i] - c.gap / 2.0f, kBy + 28.0f, kBy + 108.0f, pal::rule());
  }
  knob(f, kForget, false, c.x[0], kBy + 36.0f);
  specTextWrapped(f.vg, f.fonts, Type::knobNote, 344.0f, kBy + 48.0f, c.x[0] + c.w[0] - 344.0f, pal::faint(),
                  "No off. What you stop playing goes bare again - that is the instrument.", 12.0f);

  knob(f, kEngrave, false, c.x[1], kBy + 36.0f);
  static const char* const kSources[] = {"Velocity x length", "MPE pressure"};
  segmented(f, kSources, 2, {c.x[1] + 68.0f, kBy + 38.0f, 190.0f, 22.0f}, s.velocityLengthMode ? 0 : 1,
            Ctrl::PressureSource, true);
  specTextWrapped(f.vg, f.fonts, Type::knobNote, c.x[1] + 68.0f, kBy + 66.0f, 190.0f, pal::faint(),
                  "Lean on the notes you want to keep, brush the ones you don't.", 12.0f);

  button(f, "Freeze memory here", {c.x[2], kBy + 38.0f, 116.0f, 22.0f}, Ctrl::FreezeMemory, 1);
  if (!s.snapshotLine.empty())
    f.text(Type::knobNote, c.x[2] + 58.0f, kBy + 66.0f, pal::note(), s.snapshotLine, kCentre);
  button(f, s.clearArmed ? "Sure?" : "Clear memory", {c.x[2], kBy + 74.0f, 116.0f, 19.0f}, Ctrl::ClearMemory, 2);
}

void chips(const Frame& f) {
  const PanelState& s = f.s;
  char line[96];
  std::snprintf(line, sizeof line, "CARVING IT RIGHT NOW - %d INSTANCE%s ON THIS MACHINE", s.instanceCount,
                s.instanceCount == 1 ? "" : "S");
  f.text(Type::knobZone, 280.0f, kBy + 121.0f, pal::faint(), line);
  int shown = chipsThatFit(static_cast<int>(s.chips.size()));
  for (int i = 0; i < shown; ++i) {
    const PanelState::Chip& chip = s.chips[static_cast<size_t>(i)];
    Rect r = chipRect(i);
    fillRound(f.vg, r, 4.0f, chip.isSelf ? pal::rgb(23, 33, 31) : pal::rgb(20, 26, 32));
    strokeRound(f.vg, r, 4.0f, chip.isSelf ? pal::rgb(58, 74, 70) : pal::outline());
    nvgSave(f.vg);
    nvgIntersectScissor(f.vg, r.x, r.y, r.w - 36.0f, r.h);
    f.text(Type::chipName, r.x + 8.0f, kBy + 139.0f, pal::ink(), chip.name);
    nvgRestore(f.vg);
    f.text(Type::chipValue, r.x + 110.0f, kBy + 139.0f, pal::teal(), std::to_string(chip.carved), kRight);
    fillRound(f.vg, {r.x + 8.0f, kBy + 150.0f, 102.0f, 3.0f}, 2.0f, pal::rgb(34, 42, 49));
    float share = chip.share < 0.0f ? 0.0f : chip.share > 1.0f ? 1.0f : chip.share;
    if (share > 0.0f) fillRound(f.vg, {r.x + 8.0f, kBy + 150.0f, share * 102.0f, 3.0f}, 2.0f, pal::teal());
    f.text(Type::knobZone, r.x + 8.0f, kBy + 162.0f, pal::faint(), chip.isSelf ? "THIS TRACK" : "CARVING");
    f.hits.add(Ctrl::InstanceChip, r, i);
  }
}

void timbre(const Frame& f) {
  const PanelState& s = f.s;
  const Rect box{280.0f, kBy + 190.0f, 668.0f, 82.0f};
  fillRound(f.vg, box, 4.0f, pal::rgb(18, 23, 28));
  strokeRound(f.vg, box, 4.0f, pal::rule());
  char line[96];
  std::snprintf(line, sizeof line, "%s - WHAT ITS TIMBRE IS MADE OF", pitchClassName(s.selectedPc));
  f.text(Type::knobZone, 288.0f, kBy + 200.0f, pal::faint(), line);
  std::snprintf(line, sizeof line, "%d of %d modes carved", s.carvedModes, kPanelModes);
  f.text(Type::railTick, box.right() - 8.0f, kBy + 200.0f, pal::muted(), line, kRight);
  NVGcolor carved = pal::of(ageColour(s.selectedAgeDays, s.forgetDays), 0.85f);
  NVGcolor plain = pal::rgb(90, 98, 106, 153);
  const float base = kBy + 262.0f;
  for (int i = 0; i < kPanelModes; ++i) {
    float h = std::max(0.0f, std::min(1.0f, s.modeLevel[i])) * 52.0f;
    if (h <= 0.0f) continue;
    float x = 288.0f + i * 652.0f / 40.0f + 0.0075f * 652.0f;
    fillRect(f.vg, {x, base - h, 0.01f * 652.0f, h}, s.modeCarved[i] ? carved : plain);
  }
}

}  // namespace

void drawMemoryBand(const Frame& f) {
  NVGcontext* vg = f.vg;
  const PanelState& s = f.s;
  fillRect(vg, {0.0f, kBy, 960.0f, 278.0f}, pal::bandA());
  fillRect(vg, {0.0f, kBy, 960.0f, 2.0f}, pal::teal());
  nvgBeginPath(vg);
  nvgRect(vg, 0.0f, kBy + 2.0f, 960.0f, 26.0f);
  nvgFillPaint(vg, nvgLinearGradient(vg, 0.0f, kBy + 2.0f, 0.0f, kBy + 28.0f, pal::teal(0.16f), pal::teal(0.0f)));
  nvgFill(vg);

  float x = 12.0f, y = kBy + 13.0f;
  x += f.text(Type::bandTitle, x, y, pal::teal(), "The memory");
  x += f.text(Type::bandSub, x, y, pal::faint(),
              "  \xE2\x80\x94 one per machine, shared by every instance, kept between sessions. ");
  x += f.text(Type::bandSub, x, y, pal::muted(), "What you play most changes the sound.");
  button(f, "Bypass memory", {x + 10.0f, kBy + 3.0f, 100.0f, 17.0f}, Ctrl::BypassMemory, s.memoryBypassed ? 1 : 0);

  if (s.memoryAttached && s.memoryNotice != kNoticeNone) {
    f.text(Type::railTick, 948.0f, y, pal::danger(), memoryNoticeText(s.lang, s.memoryNotice), kRight);
  } else if (s.memoryAttached) {
    f.text(Type::railTick, 948.0f, y, pal::faint(), s.memAgeLine, kRight);
  } else {
    const char* why = faultLine(s.lang, s.memoryFault);
    f.text(Type::railTick, 948.0f, y, pal::danger(), why ? why : "NO MACHINE MEMORY IN THIS HOST", kRight);
  }
  drawWheel(f);
  columns(f);
  chips(f);
  timbre(f);
}

}  // namespace vrui
