// Drawing the panel: where every control lands in the hit map, and pixels read back from a software canvas.
#include "BuildState.h"
#include "DrawPanel.h"
#include "FakeShell.h"
#include "PanelLayout.h"
#include "PixelChecks.h"
#include "SoftCanvas.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <utility>

namespace {

using vrui::Ctrl;
using vrui::PanelState;

struct Drawn {
  vtest::SoftCanvas canvas{960, 660};
  vrui::HitMap hits;
  void draw(const PanelState& s) {
    canvas.begin();
    vrui::drawPanel(canvas.vg(), vrui::PanelFonts{}, s, &hits);
    canvas.end();
  }
  void expectHit(float x, float y, Ctrl ctrl, int index) const {
    const auto* e = hits.find(x, y);
    ASSERT_NE(e, nullptr) << x << "," << y;
    EXPECT_EQ(e->ctrl, ctrl) << x << "," << y;
    EXPECT_EQ(e->index, index) << x << "," << y;
  }
};

TEST(PanelHits, EveryControlWhereThePanelPutsIt) {
  Drawn d;
  PanelState s;
  s.chips.resize(2);
  d.draw(s);
  struct Where {
    float x, y;
    Ctrl ctrl;
    int index;
  };
  const Where table[] = {
      {911, 22, Ctrl::Undo, -1},           {937, 22, Ctrl::Redo, -1},
      {850, 22, Ctrl::AbSlot, 0},          {880, 22, Ctrl::AbSlot, 1},
      {720, 22, Ctrl::Speed, 0},           {810, 22, Ctrl::Speed, 2},
      {500, 22, Ctrl::MemoryMenu, -1},     {138, 192, Ctrl::Wheel, -1},
      {30, 55, Ctrl::BypassMemory, -1},    {310, 110, Ctrl::Param, kForget},
      {515, 110, Ctrl::Param, kEngrave},   {600, 92, Ctrl::PressureSource, 0},
      {700, 92, Ctrl::PressureSource, 1},  {800, 92, Ctrl::FreezeMemory, -1},
      {800, 125, Ctrl::ClearMemory, -1},   {300, 190, Ctrl::InstanceChip, 0},
      {430, 190, Ctrl::InstanceChip, 1},   {12, 356, Ctrl::TrackName, -1},
      {400, 356, Ctrl::PresetMenu, -1},    {520, 356, Ctrl::PresetPrev, -1},
      {540, 356, Ctrl::PresetNext, -1},    {590, 356, Ctrl::ProgramChange, 1},
      {620, 356, Ctrl::ProgramChange, 0},  {870, 356, Ctrl::Param, kQuality},
      {42, 420, Ctrl::Param, kImprint},    {106, 420, Ctrl::Param, kBare},
      {170, 420, Ctrl::Param, kCarve},     {106, 466, Ctrl::Param, kSource},
      {300, 405, Ctrl::Param, kExciter},   {469, 420, Ctrl::Param, kAttack},
      {649, 420, Ctrl::Param, kRelease},   {798, 420, Ctrl::Param, kGlide},
      {918, 420, Ctrl::Param, kLevel},     {60, 528, Ctrl::BodyMenu, -1},
      {144, 535, Ctrl::Param, kBodyDecay}, {324, 535, Ctrl::Param, kSympathy},
      {411, 535, Ctrl::Param, kCutoff},    {651, 535, Ctrl::Param, kLfoAmt},
      {738, 535, Ctrl::Param, kDelay},     {918, 535, Ctrl::Param, kVerbMix},
      {880, 647, Ctrl::TourAgain, -1},     {911, 647, Ctrl::Language, -1},
      {952, 652, Ctrl::ResizeGrip, -1},    {20, 620, Ctrl::Key, 36},
      {940, 620, Ctrl::Key, 84},
  };
  for (const Where& w : table) d.expectHit(w.x, w.y, w.ctrl, w.index);

  // Cells carry the value they select; knobs and the Source slider take drags.
  EXPECT_FLOAT_EQ(d.hits.find(930, 356)->lo, 2.0f);
  EXPECT_FLOAT_EQ(d.hits.find(289 + 46.67f * 1.5f, 430)->lo, 4.0f);
  EXPECT_TRUE(d.hits.find(106, 466)->isKnob);
  EXPECT_GT(d.hits.find(106, 466)->rect.w, d.hits.find(106, 466)->rect.h);

  // Black keys lie on top of the white keys they overlap.
  const vrui::Rect cs = vrui::keyRect(61);
  d.expectHit(cs.x + 2.0f, 600.0f, Ctrl::Key, 61);
  d.expectHit(cs.x + 2.0f, 625.0f, Ctrl::Key, 60);

  // Chips that do not fit are not drawn.
  s.chips.resize(9);
  d.draw(s);
  int chips = 0;
  for (const auto& e : d.hits.all()) chips += e.ctrl == Ctrl::InstanceChip ? 1 : 0;
  EXPECT_EQ(chips, 5);
}

TEST(PanelHits, MenusCoverThePanelAndLongListsScroll) {
  Drawn d;
  PanelState s;
  for (int i = 0; i < 30; ++i) s.memoryNames.push_back(std::to_string(i + 1000));
  s.memMenuOpen = true;
  s.memScroll = 100;
  d.draw(s);
  d.expectHit(138, 192, Ctrl::MenuBackdrop, -1);
  const vrui::Rect card = vrui::memoryMenuRect(30);
  int first = 1000, last = -1, scroll = 0;
  for (const auto& e : d.hits.all()) {
    if (e.ctrl == Ctrl::MemoryRow && e.index >= 9) {
      first = std::min(first, e.index), last = std::max(last, e.index);
      EXPECT_GE(e.rect.y, card.y);
      EXPECT_LE(e.rect.bottom(), card.bottom());
    }
    scroll += e.ctrl == Ctrl::MenuScroll ? 1 : 0;
  }
  EXPECT_EQ(first, 9 + 13);  // scrolled to the end: the last 17 of 30
  EXPECT_EQ(last, 9 + 29);
  EXPECT_EQ(scroll, 2);
  d.expectHit(card.x + 20, card.y + 30, Ctrl::MemoryRow, 0);
  vrui::Rect rows0;

  for (Ctrl c : {Ctrl::MemoryDelete, Ctrl::MemorySaveAs}) EXPECT_TRUE(d.hits.bounds(c, -1, rows0));

  // The preset menu under Yours: rail, user rows with their buttons, and a name field while saving.
  s = PanelState{};
  s.presetMenuOpen = true;
  s.presetCat = 9;
  s.userPresetNames = {"a", "b"};
  d.draw(s);
  const vrui::Rect pm = vrui::presetMenuRect(vrui::kPresetBox.x, vrui::kPresetBox.bottom(), 2);
  for (auto [c, i] : {std::pair{Ctrl::PresetCategory, 9},
                      {Ctrl::PresetRow, 86},
                      {Ctrl::PresetRename, 1},
                      {Ctrl::PresetDelete, 0},
                      {Ctrl::PresetSaveAs, -1}}) {
    ASSERT_TRUE(d.hits.bounds(c, i, rows0)) << static_cast<int>(c);
    EXPECT_GE(rows0.x, pm.x);
    EXPECT_LE(rows0.right(), pm.right());
  }
  s.editKind = 1;
  s.savingPreset = true;
  d.draw(s);
  EXPECT_TRUE(d.hits.bounds(Ctrl::NameField, -1, rows0));
  EXPECT_FALSE(d.hits.bounds(Ctrl::PresetSaveAs, -1, rows0));

  s = PanelState{};
  s.bodyMenuOpen = true;
  d.draw(s);
  d.expectHit(5, 5, Ctrl::MenuBackdrop, -1);
  vrui::Rect rows;
  ASSERT_TRUE(d.hits.bounds(Ctrl::BodyRow, -1, rows));
  EXPECT_FLOAT_EQ(rows.h, 220.0f);
  EXPECT_LE(rows.right(), 960.0f);

  // The welcome card lies over everything; a step card frames its target.
  s = PanelState{};
  s.tourActive = true;
  d.draw(s);
  d.expectHit(138, 192, Ctrl::TourNav, -1);
  s.tourStep = 2;
  d.draw(s);
  vrui::Rect close;
  ASSERT_TRUE(d.hits.bounds(Ctrl::TourNav, 6, close));
  EXPECT_FLOAT_EQ(close.w, 18.0f);
}

TEST(PanelPixels, WheelSectorsKnobArcsAndAgeColours) {
  vtest::SoftCanvas canvas(960, 660);
  vtest::wheelSectorsAndKnobArcs(canvas);
}

TEST(PanelPixels, AFreshCellIsAmberAndAnOldOneTeal) {
  vtest::SoftCanvas canvas(960, 660);
  vtest::freshAmberOldTeal(canvas);
}

}  // namespace

namespace {

// Records written by other processes may hold anything: every byte 0xFF gives NaNs, huge counts, no terminators.
TEST(PanelHits, GarbageFromOtherProcessesIsDrawnWithoutHarm) {
  vtest::FakeShell shell;
  std::memset(&shell.memory, 0xFF, sizeof shell.memory);
  std::memset(&shell.shared.snapshot, 0xFF, sizeof shell.shared.snapshot);
  for (int i = 0; i < vorrel::mem::kNumSlots; ++i) {
    shell.live[i] = shell.slotReadable[i] = true;
    std::memset(&shell.slots[i], 0xFF, sizeof shell.slots[i]);
  }
  vrui::PanelView view;
  view.heldKey = 200;
  PanelState s;
  ASSERT_TRUE(vrui::buildState(shell, view, s));
  EXPECT_EQ(s.memName.size(), 40u);
  for (float v : s.rowIntensity) EXPECT_EQ(v, 0.0f);
  for (const auto& chip : s.chips) EXPECT_EQ(chip.carved, 0);
  Drawn d;
  s.memMenuOpen = true;
  d.draw(s);
  d.expectHit(5, 5, Ctrl::MenuBackdrop, -1);
}

}  // namespace
