// Pointer and key input against a stand-in plug-in: geometry, the name editor and the press table's rules.
#include "InputGeometry.h"
#include "KeysymText.h"
#include "NameEdit.h"
#include "PanelInput.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace vrui;

namespace {

// Records what the panel asks of the plug-in. Parameters are plain 0..1 values with default 0.5; the body (id 4)
// takes 0..10.
struct FakeHost : InputHost {
  double params[29] = {};
  std::vector<std::string> log;
  std::vector<std::pair<uint32_t, float>> notes;
  std::vector<std::string> userPresets, memories;
  int presetIndex = 0;
  bool saveOk = true, velocityLength = true, hearBare = false;
  std::string override_ = "x", hostName = "Bass 1";
  int firstRunWrites = 0, tourWrites = 0;

  int paramCount() const override { return 29; }
  double paramValue(int id) const override { return params[id]; }
  double paramNormalized(int id) const override { return id == 4 ? params[id] / 10 : params[id]; }
  double paramDefaultNormalized(int) const override { return 0.5; }
  double paramToNormalized(int id, double plain) const override { return id == 4 ? plain / 10 : plain; }
  void setParamFromUI(int id, double n) override {
    params[id] = id == 4 ? n * 10 : n;
    log.push_back("set " + std::to_string(id));
  }
  void beginParamGesture(int id) override { log.push_back("begin " + std::to_string(id)); }
  void endParamGesture(int id) override { log.push_back("end " + std::to_string(id)); }
  void undoMark() override { log.push_back("mark"); }
  void undoPush() override { log.push_back("push"); }
  void uiUndo() override { log.push_back("undo"); }
  void uiRedo() override { log.push_back("redo"); }
  void uiAbSwitch(int) override {}
  int uiPresetCount() const override { return 85 + static_cast<int>(userPresets.size()); }
  int uiPresetAbsIndex() const override { return presetIndex; }
  std::string uiPresetName() const override { return "Init"; }
  int presetIndexByName(const std::string& n) const override { return n == "Init" ? 0 : -1; }
  std::string factoryCategory(int n) const override { return n == 0 ? "Init" : "Pads"; }
  std::vector<std::string> uiUserPresetNames() const override { return userPresets; }
  void recallPreset(int n) override { presetIndex = n; }
  void recallUserPreset(const std::string& name) override { log.push_back("recall " + name); }
  bool savePreset(const std::string& name) override {
    log.push_back("save " + name);
    return saveOk;
  }
  void renamePresetByName(const std::string& a, const std::string& b) override { log.push_back(a + "->" + b); }
  void deletePresetByName(const std::string& n) override { log.push_back("delete " + n); }
  std::vector<std::string> uiMemoryNames() const override { return memories; }
  void uiLoadMemory(const std::string&) override {}
  void uiDeleteMemory(const std::string& n) override { log.push_back("delete memory " + n); }
  void uiSaveMemoryAs(const std::string&) override {}
  void uiLoadBiography(int) override {}
  void uiSealFromMachine() override {}
  void uiSetHearBare(bool on) override { hearBare = on; }
  void postClearMemory() override { log.push_back("clear"); }
  void postMemorySpeed(double) override {}
  bool velocityLengthMode() const override { return velocityLength; }
  void setVelocityLengthMode(bool on) override { velocityLength = on; }
  void setProgramChangeEnabled(bool) override {}
  std::string uiTrackName() const override { return ""; }
  std::string uiHostTrackName() const override { return hostName; }
  void setTrackNameOverride(const std::string& n) override { override_ = n; }
  bool pushUiNote(uint32_t code, float value) override {
    notes.emplace_back(code, value);
    return true;
  }
  bool hostTakesUIThreadResize() const override { return true; }
  Lang loadLanguage() const override { return kLangItalian; }
  bool firstRunMarkerExists() const override { return false; }
  bool tourMarkerExists() const override { return false; }
  void saveFirstRunMarker() override { ++firstRunWrites; }
  void saveTourMarker() override { ++tourWrites; }
  void saveLanguage(Lang) override {}
};

Hit hit(Control c, int index, float x, float y, float w, float h, bool knob = false, float lo = 0) {
  Hit e;
  e.ctrl = c;
  e.index = index;
  e.rect = {x, y, w, h};
  e.isKnob = knob;
  e.lo = lo;
  return e;
}

}  // namespace

TEST(InputGeometry, DoubleClicksWheelKeysKnobsAndRail) {
  ClickMemory c;
  EXPECT_FALSE(c.recent(1000, 100, 100));
  EXPECT_TRUE(c.recent(1399, 105, 95));   // 399 ms, 5 px
  EXPECT_FALSE(c.recent(1450, 105, 95));  // a third quick press starts a new pair
  EXPECT_FALSE(c.recent(1850, 105, 95));  // 400 ms
  EXPECT_FALSE(c.recent(1900, 111, 95));  // 6 px
  EXPECT_TRUE(c.recent(1950, 111, 100));

  EXPECT_EQ(wheelPitchClass(kWheelCentreX + 50, kWheelCentreY), 9);  // right of centre, sector 3
  EXPECT_EQ(wheelPitchClass(kWheelCentreX, kWheelCentreY + 50), 6);  // below
  EXPECT_EQ(wheelPitchClass(kWheelCentreX - 50 * 0.17364818f, kWheelCentreY - 50 * 0.98480775f), 0);  // 10° left of up
  EXPECT_EQ(wheelPitchClass(kWheelCentreX - 50 * 0.34202014f, kWheelCentreY - 50 * 0.93969262f), 5);  // 20° left

  EXPECT_FLOAT_EQ(keyPressureAt(591, 39), 1.0f);
  EXPECT_FLOAT_EQ(keyPressureAt(630, 39), 0.08f);
  EXPECT_FLOAT_EQ(keyPressureAt(610.5f, 39), 0.5f);
  EXPECT_NEAR(keyPressureAt(603.09f, 24.18f), 0.5f, 1e-5);  // a black key spans its own height

  EXPECT_FLOAT_EQ(knobDragValue(0.25f, 80, 1, kKnobTravel, false), 0.75f);
  EXPECT_FLOAT_EQ(knobDragValue(0.25f, 80, 1, kKnobTravel, true), 0.35f);
  EXPECT_FLOAT_EQ(knobDragValue(0.25f, 160, 2, kKnobTravel, false), 0.75f);
  EXPECT_FLOAT_EQ(knobDragValue(0.9f, 500, 0, kKnobTravel, false), 1.0f);

  EXPECT_EQ(catRailIndex("Plucked & struck"), 5);
  EXPECT_EQ(catRailIndex("Yours"), 9);
  EXPECT_EQ(catRailIndex("Drones"), 1);
}

TEST(NameEditing, LimitsUtf8AndCommits) {
  NameEdit e{true, std::string(35, 'a'), 35, 35};
  EXPECT_FALSE(neInsert(e, "0123456789"));
  EXPECT_EQ(e.text.size(), 35u);
  e.anchor = 25;  // 10 bytes selected
  EXPECT_TRUE(neInsert(e, "0123456789"));
  EXPECT_EQ(e.text, std::string(25, 'a') + "0123456789");
  EXPECT_EQ(e.caret, 35);
  EXPECT_FALSE(neInsert(e, "\t\x7f\n"));  // nothing printable

  NameEdit u{true, "Pr\xC3\xA9", 4, 4};  // "Pré"
  EXPECT_TRUE(neBackspace(u));
  EXPECT_EQ(u.text, "Pr");
  u = {true, "a\xC3\xA9z", 0, 0};
  neRight(u, false);
  neRight(u, true);
  EXPECT_EQ(u.anchor, 1);
  EXPECT_EQ(u.caret, 3);  // over the whole two-byte letter
  neLeft(u, false);       // collapses to the selection's start
  EXPECT_EQ(u.caret, 1);
  EXPECT_TRUE(neDelete(u));
  EXPECT_EQ(u.text, "az");
  EXPECT_EQ(neClip(std::string(38, 'x') + "\xC3\xA9"), std::string(38, 'x'));

  EXPECT_FALSE(neCommit("Bass 1", "Bass 1", "Vorrel").own);
  EXPECT_EQ(neCommit("", "", "Vorrel").name, "Vorrel");
  EXPECT_TRUE(neCommit("Lead", "Bass 1", "Vorrel").own);
}

// Any letter a layout types reaches the name, with or without the window system's text event for it.
TEST(NameEditing, KeySymbolsTypeTheirLetterWhenNoTextComes) {
  const std::pair<uint32_t, const char*> table[] = {
      {'a', "a"},          {0xDC, "\xC3\x9C"},         {0x1002713, "\xE2\x9C\x93"}, {0x6C1, "\xD0\xB0"},
      {0x1EC, "\xC4\x9B"}, {0x20AC, "\xE2\x82\xAC"},   {0x13BD, "\xC5\x93"},        {0x101F600, "\xF0\x9F\x98\x80"},
      {0xFF08, ""},        {0xFF8D, ""},               {0x1000007, ""},             {0x100D800, ""},
      {0x1110000, ""},     {0xFFFFFF, ""},
  };
  for (auto [sym, text] : table) EXPECT_EQ(keysymText(sym), text) << std::hex << sym;

  PanelInput in(nullptr);
  in.beginFieldEdit(4, "");
  in.onKeyText(keysymText(0xDC), 0);  // the C locale: no text event follows
  in.flushKeyText();
  in.onKeyText(keysymText('n'), 0);
  in.onText("n");  // a text event for the same press wins, and nothing is typed twice
  in.flushKeyText();
  in.onKeyText(keysymText(0x1002713), 0);
  in.onKeyText(keysymText('a'), keys::kModCtrl);  // the next press flushes the last one's text; Ctrl types nothing
  in.flushKeyText();
  EXPECT_EQ(in.nameEdit.text, "\xC3\x9Cn\xE2\x9C\x93");
}

TEST(PanelPress, KnobDragIsOneGestureAndOneUndoStep) {
  FakeHost host;
  PanelInput in(&host);
  in.hits = {hit(Control::Param, 0, 100, 389, 60, 66, true)};
  host.params[0] = 0.25;
  in.onPress(130, 420, false);
  in.onDrag(130, 380, false);
  in.onDrag(130, 340, false);  // 80 units up
  EXPECT_DOUBLE_EQ(host.params[0], 0.75);
  in.onDrag(130, 340, true);  // fine: a tenth of the range for the same travel
  EXPECT_NEAR(host.params[0], 0.35, 1e-6);
  in.onRelease();
  const std::vector<std::string> want = {"mark", "begin 0", "set 0", "set 0", "set 0", "end 0", "push"};
  EXPECT_EQ(host.log, want);

  host.log.clear();
  in.lastClickWasRecent(5000, 130, 420);
  in.onPress(130, 420, in.lastClickWasRecent(5100, 131, 421));  // double click resets to the default
  EXPECT_DOUBLE_EQ(host.params[0], 0.5);
  EXPECT_FALSE(in.knobDrag);
  in.hits.push_back(hit(Control::Param, 99, 0, 0, 10, 10, true));  // an id the plug-in does not have
  host.log.clear();
  in.onPress(5, 5, false);
  EXPECT_TRUE(host.log.empty());
}

TEST(PanelPress, BypassIsHeldAndKeysUseOneHeightRule) {
  FakeHost host;
  PanelInput in(&host);
  in.hits = {hit(Control::BypassMemory, -1, 300, 47, 100, 17), hit(Control::Key, 60, 300, 591, 31.3f, 39),
             hit(Control::Key, 61, 320, 591, 21.3f, 24.18f)};
  in.onPress(310, 50, false);
  EXPECT_TRUE(host.hearBare);
  in.onRelease();
  EXPECT_FALSE(host.hearBare);
  in.onPress(310, 50, false);
  in.onPointerLost();
  EXPECT_FALSE(host.hearBare);

  in.onPress(305, 591, false);  // top of the white key
  EXPECT_FLOAT_EQ(host.notes.back().second, 1.0f);
  EXPECT_EQ(host.notes.back().first, 60u * 256u);
  in.onRelease();
  EXPECT_EQ(host.notes.back().first, 60u * 256u + 1u);

  host.velocityLength = false;      // MPE: drags send pressure
  in.onPress(325, 603.09f, false);  // halfway down the black key
  const float pressed = host.notes.back().second;
  EXPECT_NEAR(pressed, 0.5f, 1e-4);
  in.onDrag(325, 603.09f, false);  // same height while dragging: same pressure
  EXPECT_EQ(host.notes.back().first, 61u * 256u + 2u);
  EXPECT_NEAR(host.notes.back().second, pressed, 1e-5);
  in.onPress(305, 591, false);  // ignored while the key is held
  EXPECT_EQ(in.heldKey, 61);
  in.onRelease();
  EXPECT_EQ(in.selectedPc, 1);
}

TEST(PanelPress, PresetsMenusDeletionsAndNames) {
  FakeHost host;
  PanelInput in(&host);
  in.stepPreset(-1);  // back from preset 0 without user presets
  EXPECT_EQ(host.presetIndex, 84);
  EXPECT_EQ(in.presetCat, catRailIndex("Pads"));
  host.userPresets = {"Mine", "Other"};
  host.presetIndex = 0;
  in.stepPreset(-1);
  EXPECT_EQ(host.log.back(), "push");
  EXPECT_EQ(host.log[host.log.size() - 2], "recall Other");
  EXPECT_EQ(in.presetCat, kYoursRail);

  EXPECT_FALSE(in.onKey(keys::kEscape, 0));  // nothing open: the host may use it
  in.hits = {hit(Control::PresetMenu, -1, 12, 345, 168, 22), hit(Control::MenuBackdrop, -1, 0, 0, 960, 660),
             hit(Control::PresetDelete, 1, 500, 200, 66, 18), hit(Control::PresetSaveAs, -1, 500, 300, 78, 18)};
  in.presetMenuOpen = true;
  in.onPress(510, 205, false);  // arm "Other"
  EXPECT_EQ(in.presetDeleteArmed, 1);
  host.userPresets = {"Mine", "Third"};  // the list changed under the armed row
  in.onPress(510, 205, false);
  EXPECT_EQ(host.log.back(), "push");  // nothing deleted
  EXPECT_EQ(in.presetDeleteArmed, 1);  // armed afresh on what the row now holds
  in.onPress(510, 205, false);
  EXPECT_EQ(host.log.back(), "delete Third");
  EXPECT_TRUE(in.onKey(keys::kEscape, 0));
  EXPECT_FALSE(in.presetMenuOpen);

  host.saveOk = false;  // a failed save keeps the typed name open for another try
  in.onPress(510, 305, false);
  EXPECT_EQ(in.editKind, 1);
  EXPECT_EQ(in.nameEdit.text, "");  // "Init" is a factory name
  in.onText("  Warm pad ");
  EXPECT_TRUE(in.onKey('z', keys::kModCtrl));  // every key belongs to the edit
  in.onKey(keys::kEnter, 0);
  EXPECT_EQ(host.log.back(), "save Warm pad");
  EXPECT_TRUE(in.nameEdit.active);
  EXPECT_EQ(in.nameEdit.text, "Warm pad");
  host.saveOk = true;
  in.onKey(keys::kReturn, 0);
  EXPECT_FALSE(in.nameEdit.active);
  EXPECT_EQ(in.presetCat, kYoursRail);

  in.beginFieldEdit(3, "");
  in.onText("Bass 1");
  in.endFieldEdit(true);
  EXPECT_EQ(host.override_, "");  // the host's own name sets no override
  in.beginFieldEdit(3, "");
  in.onText("Low end");
  in.hits.clear();
  in.onPress(900, 650, false);  // a press outside the menus commits first
  EXPECT_EQ(host.override_, "Low end");

  in.onKey('z', keys::kModCtrl);
  EXPECT_EQ(host.log.back(), "undo");
  in.onKey('Z', keys::kModCtrl | keys::kModShift);
  EXPECT_EQ(host.log.back(), "redo");
}

TEST(PanelPress, SpeedClearLanguageAndTourMarkers) {
  FakeHost host;
  PanelInput in(&host);
  in.hits = {hit(Control::Speed, 2, 788, 11, 38, 22), hit(Control::ClearMemory, -1, 700, 118, 116, 19),
             hit(Control::Language, -1, 896, 639, 30, 16), hit(Control::TourNav, 0, 400, 400, 60, 26)};
  in.lookUpOnce();
  EXPECT_TRUE(in.tour.active);
  in.onPress(790, 15, false);
  in.onPress(790, 15, false);
  EXPECT_EQ(host.firstRunWrites, 1);
  in.onPress(710, 120, false);
  in.onPress(790, 15, false);  // another control disarms
  in.onPress(710, 120, false);
  EXPECT_TRUE(in.clearArmed);
  in.onPress(710, 120, false);
  EXPECT_EQ(host.log.back(), "clear");
  EXPECT_FALSE(in.clearArmed);
  for (int i = 0; i < 6; ++i) in.onPress(900, 645, false);
  EXPECT_EQ(in.lang, kLangItalian);
  in.onPress(410, 410, false);
  tourAgain(in.tour);
  in.onPress(410, 410, false);
  EXPECT_EQ(host.tourWrites, 1);
}

// Random editing with random bytes, as a fuzzer would: the name never outgrows its limit, never holds control
// bytes, and caret and anchor always sit inside it on character starts, so the text stays valid UTF-8.
TEST(NameEditing, RandomEditsKeepTheNameWhole) {
  uint32_t seed = 12345;
  const auto next = [&seed] { return seed = seed * 1664525u + 1013904223u, seed >> 8; };
  const char* const pieces[] = {"a", "\xC3\xA9", "\xE2\x82\xAC", "\xF0\x9F\x8E\xB9", "  ", "\t", "\x7f", "xyz0123456"};
  NameEdit e{true, "", 0, 0};
  for (int step = 0; step < 20000; ++step) {
    switch (next() % 8) {
      case 0:
      case 1:
      case 2:
        neInsert(e, pieces[next() % 8]);
        break;
      case 3:
        neBackspace(e);
        break;
      case 4:
        neDelete(e);
        break;
      case 5:
        neLeft(e, next() & 1);
        break;
      case 6:
        neRight(e, next() & 1);
        break;
      default:
        next() & 1 ? neHome(e, next() & 1) : neEnd(e, next() & 1);
        break;
    }
    ASSERT_LE(e.text.size(), static_cast<size_t>(kNameLimit));
    for (const int32_t pos : {e.caret, e.anchor}) {
      ASSERT_GE(pos, 0);
      ASSERT_LE(pos, static_cast<int32_t>(e.text.size()));
      if (pos < static_cast<int32_t>(e.text.size())) {
        ASSERT_NE(static_cast<unsigned char>(e.text[static_cast<size_t>(pos)]) & 0xC0, 0x80);
      }
    }
    for (char c : e.text) ASSERT_TRUE(static_cast<unsigned char>(c) >= 32 && c != 127);
  }
}
