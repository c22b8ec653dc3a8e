// Drawing the panel: where every control lands in the hit map, and pixels read back from a software canvas.
#include "BuildState.h"
#include "DrawPanel.h"
#include "FakeShell.h"
#include "PanelLayout.h"
#include "PixelChecks.h"
#include "SoftCanvas.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
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

// The panel at window width w, drawn as the window draws it: scaled uniformly from the 960 x 660 layout, with the
// three faces loaded; the hit map it leaves, in layout units.
std::vector<vrui::HitMap::Entry> hitsAtWidth(int w, const PanelState& s, const std::string& fontDir) {
  const float scale = static_cast<float>(w) / 960.0f;
  vtest::SoftCanvas canvas{w, static_cast<int>(std::lround(660.0f * scale)), false};
  vrui::PanelFonts fonts;
  fonts.medium = nvgCreateFont(canvas.vg(), "fira", (fontDir + "/medium.ttf").c_str());
  fonts.semibold = nvgCreateFont(canvas.vg(), "fira-b", (fontDir + "/semibold.ttf").c_str());
  fonts.mono = nvgCreateFont(canvas.vg(), "fira-m", (fontDir + "/mono.ttf").c_str());
  vrui::HitMap hits;
  canvas.begin();
  nvgScale(canvas.vg(), scale, scale);
  vrui::drawPanel(canvas.vg(), fonts, s, &hits);
  canvas.end();
  EXPECT_GE(fonts.medium, 0);
  return hits.all();
}

TEST(PanelHits, OneLayoutAtEveryWindowSize) {
  const char* env = std::getenv("VORREL_FONT_DIR");
  const std::string dir = env && *env ? env : VORREL_FONT_DIR;
  if (!std::filesystem::is_regular_file(dir + "/medium.ttf")) GTEST_SKIP() << "no panel fonts in " << dir;
  // Texts that place controls after them or size boxes: the title line before "Bypass memory", a long track name
  // with the host's beside it, the column titles, chips, and the welcome card's buttons.
  PanelState s;
  s.trackName = "Grand piano left hand";
  s.hostTrackName = "Audio 12";
  s.trackNameIsOwn = true;
  s.memAgeLine = "played within the hour";
  s.chips.resize(3);
  s.chips[0].name = "Lead";
  s.tourActive = true;
  for (const PanelState& state : {s, [&] {
                                    PanelState menu = s;
                                    menu.tourActive = false;
                                    menu.presetMenuOpen = true;
                                    menu.presetCat = 9;
                                    menu.userPresetNames = {"Wired Bell", "Glass"};
                                    return menu;
                                  }()}) {
    const auto base = hitsAtWidth(960, state, dir);
    for (int w : {672, 2000}) {
      const auto other = hitsAtWidth(w, state, dir);
      ASSERT_EQ(other.size(), base.size()) << w;
      for (size_t i = 0; i < base.size(); ++i) {
        const vrui::Rect a = base[i].rect, b = other[i].rect;
        EXPECT_EQ(other[i].ctrl, base[i].ctrl) << w << " entry " << i;
        EXPECT_TRUE(std::fabs(a.x - b.x) <= 0.5f && std::fabs(a.y - b.y) <= 0.5f && std::fabs(a.w - b.w) <= 0.5f &&
                    std::fabs(a.h - b.h) <= 0.5f)
            << "width " << w << ", entry " << i << " (control " << static_cast<int>(base[i].ctrl) << "): " << b.x
            << "," << b.y << " " << b.w << "x" << b.h << " against " << a.x << "," << a.y << " " << a.w << "x" << a.h;
      }
    }
  }
}

TEST(PanelPixels, TheKeyboardLegendStandsOverTheGlows) {
  vtest::SoftCanvas canvas{960, 660};
  PanelState s;
  for (int pc = 0; pc < 12; ++pc) s.rowIntensity[pc] = 1.0f, s.rowAgeDays[pc] = 0.0f;  // every key glows amber
  vtest::drawOn(canvas, s);
  EXPECT_GT(canvas.at(20, 587).r, 150) << "a glow 4 units above the first key";
  const vtest::Pixel legend = canvas.at(946, 587);  // the glow of the last key, under the legend's end
  EXPECT_LT(legend.r, 40);
  EXPECT_LT(legend.g, 40);
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
