// The panel's input driving a real Vorrel from an editor thread while blocks run: a knob drag reaches the host as
// one gesture from the next block, two clicked keys sound and engrave their interval, presets step by number and a
// typed name saves into the user library.
#include "DirectVorrel.h"
#include "FactoryPresets.h"
#include "PanelInput.h"

#include <atomic>
#include <fstream>
#include <sstream>
#include <thread>

namespace {

// The shell operations of parameters, keys and presets, straight onto the plug-in; the rest are not pressed here.
struct ShellInput : vrui::InputHost {
  explicit ShellInput(Vorrel& p) : plug(p) {}
  int paramCount() const override { return kNumParams; }
  double paramValue(int id) const override { return plug.GetParam(id)->Value(); }
  double paramNormalized(int id) const override { return plug.GetParam(id)->GetNormalized(); }
  double paramDefaultNormalized(int id) const override {
    return plug.GetParam(id)->ToNormalized(plug.GetParam(id)->GetDefault());
  }
  double paramToNormalized(int id, double plain) const override { return plug.GetParam(id)->ToNormalized(plain); }
  void setParamFromUI(int id, double n) override { plug.SendParameterValueFromUI(id, n); }
  void beginParamGesture(int id) override { plug.BeginInformHostOfParamChangeFromUI(id); }
  void endParamGesture(int id) override { plug.EndInformHostOfParamChangeFromUI(id); }
  bool pushUiNote(uint32_t code, float value) override { return plug.pushPanelNote(UiNoteEvent{code, value}); }
  void uiSetHearBare(bool on) override { plug.setHearBare(on); }
  bool velocityLengthMode() const override { return true; }

  void undoMark() override {}
  void undoPush() override {}
  void uiUndo() override {}
  void uiRedo() override {}
  void uiAbSwitch(int) override {}
  int uiPresetCount() const override { return plug.uiPresetCount(); }
  int uiPresetAbsIndex() const override { return plug.uiPresetAbsIndex(); }
  std::string uiPresetName() const override { return plug.uiPresetName(); }
  int presetIndexByName(const std::string& n) const override { return vorrel::presetIndexByName(n); }
  std::string factoryCategory(int n) const override {
    return n >= 0 && n < vorrel::kNumFactoryPresets ? vorrel::kFactoryPresets[static_cast<size_t>(n)].category : "";
  }
  std::vector<std::string> uiUserPresetNames() const override { return plug.uiUserPresetNames(); }
  void recallPreset(int n) override { plug.recallPreset(n, true); }
  void recallUserPreset(const std::string& n) override { plug.recallUserPreset(n, true); }
  bool savePreset(const std::string& n) override { return plug.savePreset(n); }
  void renamePresetByName(const std::string& a, const std::string& b) override { plug.renamePresetByName(a, b); }
  void deletePresetByName(const std::string& n) override { plug.deletePresetByName(n); }
  std::vector<std::string> uiMemoryNames() const override { return {}; }
  void uiLoadMemory(const std::string&) override {}
  void uiDeleteMemory(const std::string&) override {}
  void uiSaveMemoryAs(const std::string&) override {}
  void uiLoadBiography(int) override {}
  void uiSealFromMachine() override {}
  void postClearMemory() override {}
  void postMemorySpeed(double) override {}
  void setVelocityLengthMode(bool) override {}
  void setProgramChangeEnabled(bool on) override { plug.uiSetProgramChangeEnabled(on); }
  std::string uiTrackName() const override { return {}; }
  std::string uiHostTrackName() const override { return {}; }
  void setTrackNameOverride(const std::string&) override {}
  bool hostTakesUIThreadResize() const override { return false; }

  Vorrel& plug;
};

vrui::Hit at(vrui::Control c, int index, float x, float y, float w, float h, bool knob) {
  vrui::Hit e;
  e.ctrl = c;
  e.index = index;
  e.rect = {x, y, w, h};
  e.isKnob = knob;
  return e;
}

}  // namespace

TEST(PanelInputShell, KnobGestureAndKeysReachHostAndMemory) {
  vtest::DirectVorrel v(1, 48000.0, 64);
  v.plug->StopIdleTimer();  // this test reads the engrave ring, whose one reader is OnIdle
  ShellInput shell(*v.plug);
  vrui::PanelInput input(&shell);
  input.hits = {at(vrui::Control::Param, kImprint, 100, 389, 60, 66, true),
                at(vrui::Control::Key, 60, 300, 591, 31, 39, false),
                at(vrui::Control::Key, 67, 420, 591, 31, 39, false)};
  const double before = v.plug->GetParam(kImprint)->GetNormalized();

  std::atomic<int> step{0};  // the editor moves on once the audio thread has run a block since its last move
  std::atomic<bool> done{false};
  std::thread editor([&] {
    const auto waitBlock = [&] {
      const int s = step.load();
      while (step.load() == s) std::this_thread::yield();
    };
    input.onPress(130, 420, false);
    for (int y = 410; y >= 380; y -= 10) input.onDrag(130, static_cast<float>(y), false), waitBlock();
    input.onRelease();
    waitBlock();
    input.onPress(310, 600, false);
    for (int i = 0; i < 40; ++i) waitBlock();
    input.onRelease();
    input.onPress(430, 600, false);
    for (int i = 0; i < 40; ++i) waitBlock();
    input.onRelease();
    done.store(true);
  });
  std::vector<uint16_t> gestures;
  double loudest = 0;
  vhost::OutputEvents out;
  while (!done.load()) {
    clap_process_t pr{};
    pr.frames_count = 64;
    pr.audio_outputs = v.buffers.ports();
    pr.audio_outputs_count = v.buffers.portCount();
    pr.in_events = v.in.list();
    pr.out_events = out.list();
    v.clap->process(v.clap, &pr);
    for (size_t i = 0; i < out.size(); ++i) {
      const clap_event_header_t* h = out.get(i);
      if (h->type == CLAP_EVENT_PARAM_VALUE) {
        EXPECT_EQ(reinterpret_cast<const clap_event_param_value_t*>(h)->param_id, static_cast<clap_id>(kImprint));
      }
      if (gestures.empty() || gestures.back() != h->type) gestures.push_back(h->type);
    }
    out.clear();
    loudest = std::max(loudest, v.rms(0, 0, 64));
    step.fetch_add(1);
  }
  editor.join();
  // Begin, the values, end: one gesture as hosts record automation.
  EXPECT_EQ(gestures, (std::vector<uint16_t>{CLAP_EVENT_PARAM_GESTURE_BEGIN, CLAP_EVENT_PARAM_VALUE,
                                             CLAP_EVENT_PARAM_GESTURE_END}));
  EXPECT_NEAR(v.plug->GetParam(kImprint)->GetNormalized(), before + 40.0 / 160.0, 1e-3);
  EXPECT_GT(loudest, 1e-4);  // the clicked keys sound
  vorrel::mem::InkEvent ink{};
  ASSERT_TRUE(v.plug->popInk(ink));  // the second key engraves the interval from the first
  EXPECT_DOUBLE_EQ(ink.interval, 7.0);
  EXPECT_EQ(ink.fromNote, 60);
  EXPECT_EQ(v.plug->noteOnCount(), 2);
}

TEST(PanelInputShell, PresetsStepAndATypedNameIsSaved) {
  vtest::DirectVorrel v;
  ShellInput shell(*v.plug);
  vrui::PanelInput input(&shell);
  input.stepPreset(-1);  // back from the first factory preset, no user presets yet
  EXPECT_EQ(v.plug->uiPresetAbsIndex(), vorrel::kNumFactoryPresets - 1);
  EXPECT_EQ(input.presetCat, vrui::catRailIndex(vorrel::kFactoryPresets.back().category));
  input.stepPreset(+1);
  EXPECT_EQ(v.plug->uiPresetAbsIndex(), 0);

  input.hits = {at(vrui::Control::PresetSaveAs, -1, 500, 300, 78, 18, false)};
  input.onPress(510, 305, false);
  ASSERT_EQ(input.editKind, 1);
  for (const char* piece : {"Nig", "ht ", "b\xC3\xA9lls"}) input.onText(piece);
  input.onKey(vrui::keys::kBackspace, 0);  // the last letter, one byte
  input.onText("s");
  EXPECT_TRUE(input.onKey(vrui::keys::kEnter, 0));
  EXPECT_FALSE(input.nameEdit.active);
  EXPECT_EQ(v.plug->uiUserPresetNames(), std::vector<std::string>{"Night b\xC3\xA9lls"});
  EXPECT_EQ(input.presetCat, vrui::kYoursRail);
  std::stringstream file;
  file << std::ifstream(v.plug->userPresetPath()).rdbuf();
  EXPECT_NE(file.str().find("Night b\xC3\xA9lls"), std::string::npos);
  input.stepPreset(+1);  // from the last preset, the user's own, round to the first
  EXPECT_EQ(v.plug->uiPresetAbsIndex(), 0);
}
