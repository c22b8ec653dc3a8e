// The panel's frame state and layout arithmetic, from hand-computed values.
#include "BuildState.h"
#include "FakeShell.h"
#include "FrameChange.h"
#include "FrameTicks.h"
#include "PanelLayout.h"
#include "PanelTexts.h"

#include "Bodies.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using vrui::Ctrl;
using vrui::PanelState;
using vtest::FakeShell;

struct Built {
  FakeShell shell;
  vrui::PanelView view;
  PanelState build() {
    PanelState s;
    EXPECT_TRUE(vrui::buildState(shell, view, s));
    return s;
  }
};

TEST(PanelStatus, LinesAndAges) {
  const uint64_t n = 1'700'000'000;
  EXPECT_EQ(vrui::memoryAgeLine(n - 1800, n), "played within the hour");
  EXPECT_EQ(vrui::memoryAgeLine(0, n), "played within the hour");
  EXPECT_EQ(vrui::memoryAgeLine(n + 50, n), "played within the hour");
  EXPECT_EQ(vrui::memoryAgeLine(n - 5 * 3600, n), "silent for 5 h");
  EXPECT_EQ(vrui::memoryAgeLine(n - 36 * 3600, n), "silent for 1.5 d");
  EXPECT_EQ(vrui::ageDaysOf(0, n), 999.0f);
  EXPECT_EQ(vrui::ageDaysOf(static_cast<uint32_t>(n / 3600 + 5), n), 0.0f);
  EXPECT_FLOAT_EQ(vrui::ageDaysOf(static_cast<uint32_t>(n / 3600 - 36), n), 1.5f);

  Built b;
  b.shell.memory.cart.ink[2][7] = 3.0f;
  b.shell.memory.cart.touchedHour[2][7] = static_cast<uint32_t>(b.shell.now / 3600 - 48);
  b.shell.memory.lastUpdate = b.shell.now - 5 * 3600;
  PanelState s = b.build();
  EXPECT_FLOAT_EQ(s.ageDays[2][7], 2.0f);
  EXPECT_EQ(s.ageDays[2][6], 999.0f);
  EXPECT_FLOAT_EQ(s.rowAgeDays[2], 2.0f);
  EXPECT_EQ(s.rowAgeDays[3], 999.0f);
  EXPECT_FLOAT_EQ(s.rowIntensity[2], std::tanh(1.0f));
  EXPECT_EQ(s.memAgeLine, "silent for 5 h");
  EXPECT_EQ(s.memoryNotice, 0);
  b.shell.notice = 2;  // not being saved: the line warns instead of telling the age
  EXPECT_EQ(b.build().memoryNotice, 2);

  b.shell.attached = false;
  s = b.build();
  EXPECT_EQ(s.memAgeLine, "no machine memory");
  EXPECT_EQ(s.memoryNotice, 0);  // "NO MACHINE MEMORY" says more
  EXPECT_EQ(s.hintTag, "no memory");
  EXPECT_EQ(s.hintText, vrui::hintSlot(0, 40));
  EXPECT_EQ(s.rowAgeDays[2], 999.0f);
  EXPECT_TRUE(s.chips.empty());
}

TEST(PanelStatus, MemoryOffAndTheSympathyHintThatNeverReturns) {
  Built b;
  b.shell.notes = 3;  // something was played, so the idle hint is not "listening"
  PanelState s = b.build();
  EXPECT_TRUE(s.memoryOff);
  EXPECT_EQ(s.memStatus, "MEMORY OFF");
  EXPECT_EQ(s.hintTag, "memory off");
  EXPECT_EQ(s.hintText, vrui::hintSlot(0, 30));

  b.shell.value[kImprint] = 62.4;
  s = b.build();
  EXPECT_EQ(s.memStatus, "memory 62%");
  EXPECT_TRUE(s.sympathyHint);
  EXPECT_EQ(s.hintTag, "sympathy 0");
  b.shell.value[kSympathy] = 20.0;
  s = b.build();
  EXPECT_FALSE(s.sympathyHint);
  b.shell.value[kSympathy] = 0.0;
  s = b.build();
  EXPECT_FALSE(s.sympathyHint);
  EXPECT_EQ(s.hintTag, "Vorrel");
  EXPECT_EQ(s.hintText, vrui::hintSlot(0, 37));

  b.shell.bare = true;
  EXPECT_EQ(b.build().memStatus, "MEMORY BYPASSED");
}

TEST(PanelStatus, ParameterTextsBodyAndFlash) {
  Built b;
  b.shell.value[kImprint] = 50.0;
  b.shell.value[kAttack] = 12.0;
  b.shell.value[kBodyDecay] = 261.63;
  b.shell.value[kBody] = 14.0;
  PanelState s = b.build();
  EXPECT_EQ(s.paramText[kImprint], "50.0%");
  EXPECT_EQ(s.paramText[kAttack], "12.0 ms");
  EXPECT_EQ(s.paramText[kBare], "0.0");
  EXPECT_EQ(s.paramText[kBodyDecay], "2.2 s");
  EXPECT_EQ(s.body, 10);
  EXPECT_EQ(s.doseText.substr(0, 5), "dose ");

  // A recall flashes the switch for exactly 42 frames; the count already there when the editor opens does not.
  b.shell.recalls = 7;
  b.view = {};
  EXPECT_FALSE(b.build().pcFlash);
  b.shell.recalls = 8;
  int frames = 0;
  while (b.build().pcFlash && frames < 100) ++frames;
  EXPECT_EQ(frames, 42);
  // Drawn at 10 frames a second the flash still lasts 0.7 s, and the caret still turns every 25/60 s.
  vrui::FrameTicks clock;
  b.view.ticks = clock.advance(0.1);
  EXPECT_EQ(b.view.ticks, 6);
  b.shell.recalls = 9;
  for (frames = 0; b.build().pcFlash && frames < 100;) ++frames;
  EXPECT_EQ(frames, 7);
  b.view.editKind = 1;
  b.view.editText = "name";
  b.view.ticks = 25;
  EXPECT_TRUE(b.build().caretVisible);
  EXPECT_FALSE(b.build().caretVisible);
  // Paced at 60 frames a second with a few ms of jitter, every frame counts one.
  for (double dt : {0.0187, 0.0149, 0.0170, 0.0160, 0.0175}) EXPECT_EQ(clock.advance(dt), 1) << dt;
  EXPECT_EQ(clock.advance(5.0), 30);
}

TEST(PanelStatus, ModeLevelsFallAsAPowerOfTheModeNumberInA48dBWindow) {
  Built b;  // no memory, Bare 0, Imprint 0
  b.view.selectedPc = 0;
  PanelState s = b.build();
  const auto& body = vorrel::dsp::bodies()[0];
  const auto& ratios = vorrel::dsp::modeList(0);
  double p = std::clamp(body.rolloff - 0.7 + 0.35, 0.0, 1.8);
  int kept = 0;
  for (int m = 0; m < 40; ++m) {
    if (ratios[static_cast<size_t>(m)] * 261.63 >= 21600.0) continue;
    double want = std::max(0.0, (48.0 - 20.0 * p * std::log10(m + 1.0)) / 48.0);
    EXPECT_NEAR(s.modeLevel[kept], want, 1e-5) << m;
    ++kept;
  }
  for (int i = kept; i < 40; ++i) EXPECT_EQ(s.modeLevel[i], 0.0f);
  EXPECT_EQ(s.carvedModes, 0);

  // Source 100 reads the project copy: its mode 3 is carved, the live memory's mode 1 no longer counts.
  b.shell.memory.modeWeights[1] = 4.0;
  b.shell.shared.snapshot.present = 1;
  b.shell.shared.snapshot.modeWeights[3] = 2.0;
  b.shell.value[kSource] = 100.0;
  s = b.build();
  EXPECT_TRUE(s.modeCarved[3]);
  EXPECT_FALSE(s.modeCarved[1]);
  EXPECT_EQ(s.carvedModes, 1);
  EXPECT_EQ(s.snapshotLine, "snapshot");
}

TEST(PanelStatus, ChipsShareTheCarvingAndAFailedCopySkipsTheFrame) {
  Built b;
  b.shell.own = 3;
  b.shell.live[0] = b.shell.live[3] = b.shell.live[5] = true;
  b.shell.slotReadable[3] = true;
  b.shell.slots[0] = {2, 10, 0, {}};
  b.shell.slots[3] = {0, 30, 0, "Lead"};
  b.shell.slots[5] = {4, 99, 0, "torn"};  // never read consistently: shown empty
  PanelState s = b.build();
  ASSERT_EQ(s.chips.size(), 3u);
  EXPECT_EQ(s.instanceCount, 3);
  EXPECT_EQ(s.chips[0].name, vorrel::dsp::bodies()[2].name);
  EXPECT_FLOAT_EQ(s.chips[0].share, 0.25f);
  EXPECT_EQ(s.chips[1].name, "Lead");
  EXPECT_TRUE(s.chips[1].isSelf);
  EXPECT_FLOAT_EQ(s.chips[1].share, 0.75f);
  EXPECT_EQ(s.chips[2].name, vorrel::dsp::bodies()[0].name);
  EXPECT_EQ(s.chips[2].carved, 0);
  EXPECT_EQ(vrui::chipsThatFit(9), 5);

  b.shell.copyOk = false;
  PanelState skipped;
  EXPECT_FALSE(vrui::buildState(b.shell, b.view, skipped));
}

// The editor draws a frame only when the state it would show, or the window's size, differs from the one on screen.
TEST(PanelFrames, OnlyAChangedStateOrSizeAsksForAFrame) {
  Built b;
  b.shell.memory.cart.ink[2][7] = 3.0f;
  b.shell.memory.cart.touchedHour[2][7] = static_cast<uint32_t>(b.shell.now / 3600 - 48);
  const vrui::FrameSize size{960, 660, 960, 660};
  const PanelState shown = b.build();
  EXPECT_FALSE(vrui::frameChanged(shown, size, b.build(), size)) << "an idle frame is the same frame";
  EXPECT_TRUE(vrui::frameChanged(shown, size, shown, {961, 660, 961, 660}));
  EXPECT_TRUE(vrui::frameChanged(shown, size, shown, {960, 661, 960, 661}));
  EXPECT_TRUE(vrui::frameChanged(shown, size, shown, {960, 660, 960, 700})) << "the visible part moved in the view";

  // Each change a frame must show, made on a fresh copy of the inputs; every one counts.
  struct Case {
    const char* what;
    void (*change)(Built&);
  };
  const Case cases[] = {
      {"hover", [](Built& c) { c.view.hoverCtrl = static_cast<int>(Ctrl::Undo); }},
      {"age ticks over an hour", [](Built& c) { c.shell.now += 3600; }},
      {"a glow: a row carved", [](Built& c) { c.shell.memory.cart.ink[4][3] = 1.0f; }},
      {"memory moved elsewhere", [](Built& c) { c.shell.memory.cart.ink[2][7] = 3.5f; }},
      {"Program Change flash", [](Built& c) { c.shell.recalls = 1; }},
      {"parameter", [](Built& c) { c.shell.value[kCutoff] = 40.0; }},
      {"a key held on screen", [](Built& c) { c.view.heldKey = 60, c.view.keyPressure = 0.5f; }},
  };
  for (const Case& k : cases) {
    Built c;
    c.shell = b.shell;
    c.view = b.view;
    k.change(c);
    EXPECT_TRUE(vrui::frameChanged(shown, size, c.build(), size)) << k.what;
  }

  // The caret: while a name is edited the state changes only when the caret blinks, every 25 frames.
  b.view.editKind = 1;
  b.view.editText = "Glass";
  b.view.caret = b.view.anchor = 5;
  PanelState last = b.build();
  int changes = 0;
  for (int frame = 1; frame <= 100; ++frame) {
    const PanelState next = b.build();
    changes += vrui::frameChanged(last, size, next, size) ? 1 : 0;
    last = next;
  }
  EXPECT_EQ(changes, 4) << "100 frames of 1/60 s blink the caret four times";
}

struct HintCase {
  Ctrl ctrl;
  int index;
  int slot;  // -1: the text is checked by tag only
  const char* tag;
};

TEST(PanelHints, EachRowOfTheTable) {
  Built b;
  b.shell.notes = 1;
  b.shell.value[kImprint] = 50.0;
  b.shell.value[kSympathy] = 10.0;
  b.shell.shared.presetName = "Glass";
  b.shell.shared.presetEdited = true;
  b.shell.lastPc = 12;
  const HintCase cases[] = {
      {Ctrl::Wheel, -1, 0, "Vorrel"},
      {Ctrl::BypassMemory, -1, 5, "Vorrel"},
      {Ctrl::PressureSource, 0, 6, "Vorrel"},
      {Ctrl::FreezeMemory, -1, 2, "Vorrel"},
      {Ctrl::ClearMemory, -1, 3, "Vorrel"},
      {Ctrl::Key, 60, 1, "Vorrel"},
      {Ctrl::MemoryMenu, -1, 7, "~2 kB each"},
      {Ctrl::Speed, 2, 13, "Vorrel"},
      {Ctrl::AbSlot, 1, 14, "Vorrel"},
      {Ctrl::Undo, -1, 15, "Vorrel"},
      {Ctrl::Redo, -1, 16, "Vorrel"},
      {Ctrl::PresetMenu, -1, 17, "edited"},
      {Ctrl::TrackName, -1, 24, "no \"unnamed\" state"},
      {Ctrl::ResizeGrip, -1, 26, "Vorrel"},
      {Ctrl::ProgramChange, 1, 18, "last: PC 12"},
      {Ctrl::PresetPrev, -1, 39, "Vorrel"},
      {Ctrl::PresetNext, -1, 39, "Vorrel"},
      {Ctrl::PresetCategory, 3, 19, "Vorrel"},
      {Ctrl::PresetSaveAs, -1, 20, "Vorrel"},
      {Ctrl::PresetRename, 0, 21, "Vorrel"},
      {Ctrl::PresetDelete, 0, 22, "Vorrel"},
      {Ctrl::MemoryRow, 8, 8, "Vorrel"},
      {Ctrl::MemoryRow, 9, 9, "Vorrel"},
      {Ctrl::MemoryDelete, 0, 10, "Vorrel"},
      {Ctrl::MemorySaveAs, -1, 12, "Vorrel"},
      {Ctrl::BodyMenu, -1, 28, nullptr},
      {Ctrl::Language, -1, 32, "English"},
      {Ctrl::TourAgain, -1, 41, "Vorrel"},
      {Ctrl::InstanceChip, 0, 37, "Vorrel"},
      {Ctrl::Param, 40, -1, "Vorrel"},
      {Ctrl::PresetRow, 85, -1, "Vorrel"},
      {Ctrl::BodyRow, 11, -1, "Vorrel"},
  };
  const std::string initial = PanelState{}.hintText;
  for (const HintCase& c : cases) {
    b.view.hoverCtrl = static_cast<int>(c.ctrl);
    b.view.hoverIndex = c.index;
    PanelState s = b.build();
    SCOPED_TRACE(static_cast<int>(c.ctrl));
    EXPECT_EQ(s.hintText, c.slot >= 0 ? std::string(vrui::hintSlot(0, c.slot)) : initial);
    EXPECT_EQ(s.hintTag, c.tag ? std::string(c.tag) : s.doseText);
  }

  b.view.clearArmed = true;
  b.view.hoverCtrl = static_cast<int>(Ctrl::ClearMemory);
  EXPECT_EQ(b.build().hintText, vrui::hintSlot(0, 4));
  b.view.presetDeleteArmed = 2;
  b.view.hoverCtrl = static_cast<int>(Ctrl::PresetDelete);
  b.view.hoverIndex = 2;
  EXPECT_EQ(b.build().hintText, vrui::hintSlot(0, 23));

  b.view.hoverCtrl = static_cast<int>(Ctrl::PresetRow);
  b.view.hoverIndex = 1;
  PanelState s = b.build();
  EXPECT_EQ(s.hintText, "Glass - a bright bell");
  EXPECT_EQ(s.hintTag, "PC 1");

  b.view.hoverCtrl = static_cast<int>(Ctrl::Param);
  b.view.hoverIndex = kLfoRate;  // LFO amount is 0: the other half is missing
  s = b.build();
  EXPECT_EQ(s.hintText, std::string(vrui::paramStory(0, kLfoRate)) + "  \xC2\xB7  " + vrui::hintSlot(0, 42));
  EXPECT_EQ(s.hintTag, "LFO rate  0.0");
  b.shell.value[kLfoAmt] = 10.0;
  EXPECT_EQ(b.build().hintText, vrui::paramStory(0, kLfoRate));
  b.view.hoverIndex = kForget;
  EXPECT_EQ(b.build().hintText, std::string(vrui::paramStory(0, kForget)) + "  \xC2\xB7  shared by every instance");

  // Idle: the first run wins over everything, then nothing carved.
  b.view = {};
  b.shell.firstRunMarker = false;
  EXPECT_EQ(b.build().hintTag, "first time");
  b.view = {};
  b.shell.firstRunMarker = true;
  b.shell.notes = 0;
  EXPECT_EQ(b.build().hintTag, "listening");
}

TEST(PanelLayout, TourCardsBelowAboveBesideOrCentred) {
  auto p = vrui::placeTour({100.0f, 100.0f, 40.0f, 20.0f}, 120.0f);
  EXPECT_EQ(p.side, 0);
  EXPECT_FLOAT_EQ(p.card.x, 8.0f);  // 120 - 160, clamped
  EXPECT_FLOAT_EQ(p.card.y, 130.0f);
  EXPECT_FLOAT_EQ(p.pointerX, 120.0f);

  p = vrui::placeTour({900.0f, 600.0f, 40.0f, 30.0f}, 120.0f);  // lower right corner
  EXPECT_EQ(p.side, 1);
  EXPECT_FLOAT_EQ(p.card.x, 632.0f);
  EXPECT_FLOAT_EQ(p.card.y, 470.0f);
  EXPECT_FLOAT_EQ(p.pointerX, 920.0f);  // inside 646..938

  p = vrui::placeTour({100.0f, 100.0f, 50.0f, 500.0f}, 200.0f);  // too tall for both
  EXPECT_EQ(p.side, 2);
  EXPECT_FLOAT_EQ(p.card.x, 160.0f);
  EXPECT_FLOAT_EQ(p.card.y, 250.0f);
  EXPECT_FLOAT_EQ(p.pointerY, 350.0f);

  p = vrui::placeTour({0.0f, 0.0f, 960.0f, 660.0f}, 200.0f);
  EXPECT_EQ(p.side, -1);
  EXPECT_FLOAT_EQ(p.card.x, 320.0f);
  EXPECT_FLOAT_EQ(p.card.y, 230.0f);

  auto measure = [](const char*, float) { return 40.0f; };
  EXPECT_EQ(vrui::tourProbeSide(0, 3, {900.0f, 600.0f, 40.0f, 30.0f}, measure), 1);
  EXPECT_EQ(vrui::tourProbeSide(0, 18, {0.0f, 0.0f, 10.0f, 10.0f}, measure), -1);
  EXPECT_FLOAT_EQ(vrui::tourButtonWidth(10.0f), 56.0f);
  EXPECT_FLOAT_EQ(vrui::tourButtonWidth(60.0f), 80.0f);
}

TEST(PanelLayout, KeysColumnsMenusColoursAndLines) {
  const float kw = 936.0f / 29.0f;
  EXPECT_FLOAT_EQ(vrui::keyRect(36).x, 12.0f);
  EXPECT_FLOAT_EQ(vrui::keyRect(38).x, 12.0f + kw);
  EXPECT_FLOAT_EQ(vrui::keyRect(37).x, 12.0f + 0.66f * kw);
  EXPECT_FLOAT_EQ(vrui::keyRect(84).x, 12.0f + 28.0f * kw);
  EXPECT_FLOAT_EQ(vrui::keyRect(42).x, 12.0f + 3.0f * kw + 0.66f * kw);  // F#2 sits on F2

  const float none[3] = {0.0f, 0.0f, 0.0f};
  vrui::Columns c = vrui::memoryColumns(none);
  EXPECT_FLOAT_EQ(c.gap, 29.0f);
  EXPECT_FLOAT_EQ(c.x[2], 280.0f + 176.0f + 258.0f + 58.0f);
  const float wide[3] = {200.0f, 0.0f, 0.0f};
  EXPECT_FLOAT_EQ(vrui::memoryColumns(wide).w[0], 200.0f);

  // 0 saved memories: 9 shipped rows, the empty line; 30 saved: 17 rows shown, card moved up to end at 654.
  EXPECT_FLOAT_EQ(vrui::memoryMenuRect(0).h, 9 * 22.0f + 70.0f + 22.0f);
  EXPECT_FLOAT_EQ(vrui::memoryMenuRect(0).x, 362.0f);
  EXPECT_EQ(vrui::memoryMenuVisibleRows(30), 17);
  EXPECT_FLOAT_EQ(vrui::memoryMenuRect(30).bottom(), 654.0f);
  EXPECT_GE(vrui::memoryMenuRect(500).y, 8.0f);
  EXPECT_EQ(vrui::clampScroll(99, 30, 17), 13);
  EXPECT_EQ(vrui::clampScroll(-3, 30, 17), 0);
  EXPECT_FLOAT_EQ(vrui::presetMenuRect(330.0f, 367.0f, 0).h, 246.0f);
  EXPECT_GE(vrui::presetMenuRect(330.0f, 367.0f, 200).y, 8.0f);

  EXPECT_EQ(vrui::ageColour(0.0f, 7.0f), (vrui::Rgb{232, 163, 61}));
  EXPECT_EQ(vrui::ageColour(2.8f, 7.0f), (vrui::Rgb{190, 168, 86}));  // t = 0.25
  EXPECT_EQ(vrui::ageColour(999.0f, 7.0f), (vrui::Rgb{63, 184, 160}));
  EXPECT_EQ(vrui::capitals("fa\xC3\xA7"
                           "ade \xC3\xB7 \xC2\xB7"),
            "FA\xC3\x87"
            "ADE \xC3\xB7 \xC2\xB7");

  // 30 carved cells: only the 24 heaviest become lines, weakest first.
  PanelState s;
  for (int k = 0; k < 30; ++k) s.weight[k % 12][1 + k / 12] = 0.1f + 0.1f * k;
  auto lines = vrui::wheelLines(s);
  ASSERT_EQ(lines.size(), 24u);
  EXPECT_FLOAT_EQ(lines.front().weight, 0.7f);
  EXPECT_FLOAT_EQ(lines.back().weight, 3.0f);
  EXPECT_EQ(lines.back().fromPc, 29 % 12);
  EXPECT_EQ(lines.back().toPc, (29 % 12 + 3) % 12);
  for (size_t i = 1; i < lines.size(); ++i) EXPECT_LE(lines[i - 1].weight, lines[i].weight);
}

}  // namespace
