// The panel played through the real Vorrel.clap: synthetic pointer events on the editor window under a private
// Xvfb reach the host as a parameter gesture and as sounding notes.
#include "Directories.h"
#include "EditorHost.h"
#include "MachineMemory.h"
#include "OwnSegment.h"
#include "QuietConfig.h"
#include "RealPlugin.h"
#include "Xvfb.h"

#include <X11/Xlib.h>
#include <X11/keysym.h>

#include <algorithm>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

const auto* const kXvfb = ::testing::AddGlobalTestEnvironment(new vtest::XvfbEnvironment);
const auto* const kConfig = ::testing::AddGlobalTestEnvironment(new vtest::QuietConfigEnvironment);
constexpr uint32_t kBandA = 0x161D23;  // the memory band's fill at layout (265, 300): a frame was drawn

class EditorInput : public vtest::RealPlugin {
 protected:
  void openDrawn(vhost::EditorHost& ed) {
    std::string error;
    ASSERT_TRUE(ed.open(error)) << error;
    ASSERT_TRUE(ed.waitForPixel(265, 300, kBandA, 20.0)) << "no frame drawn";
    ed.pump(0.2);  // a second frame, so the hit map is in place
  }
};

TEST_F(EditorInput, KnobDragReachesTheHostAsOneGesture) {
  auto inst = make();
  vhost::EditorHost ed(*inst);
  openDrawn(ed);
  std::vector<double> before;
  for (uint32_t id = 0; id < inst->paramCount(); ++id) before.push_back(inst->paramValue(id));
  // A knob at layout (100, 389, 60, 66); the window sits at the screen's origin at scale 1.
  ASSERT_EQ(std::system("xdotool mousemove 130 420 mousedown 1 mousemove 130 410 mousemove 130 395 "
                        "mousemove 130 380 mouseup 1"),
            0);
  std::vector<uint16_t> kinds;
  std::vector<clap_id> ids;
  double last = -1;
  vhost::InputEvents in;
  vhost::OutputEvents out;
  for (int i = 0; i < 200 && (kinds.empty() || kinds.back() != CLAP_EVENT_PARAM_GESTURE_END); ++i) {
    const int asked = inst->host().flushRequests.load();
    ed.pump(0.02);
    inst->host().pump(inst->get());  // the plug-in's main-thread callback asks for the flush
    if (inst->host().flushRequests.load() == asked) continue;
    out.clear();
    inst->flushParams(in, out);  // not processing: the host flushes on its main thread
    for (size_t k = 0; k < out.size(); ++k) {
      const clap_event_header_t* h = out.get(k);
      if (kinds.empty() || kinds.back() != h->type) kinds.push_back(h->type);
      if (h->type != CLAP_EVENT_PARAM_VALUE) continue;
      const auto* v = reinterpret_cast<const clap_event_param_value_t*>(h);
      if (ids.empty() || ids.back() != v->param_id) ids.push_back(v->param_id);
      last = v->value;
    }
  }
  EXPECT_EQ(kinds, (std::vector<uint16_t>{CLAP_EVENT_PARAM_GESTURE_BEGIN, CLAP_EVENT_PARAM_VALUE,
                                          CLAP_EVENT_PARAM_GESTURE_END}));
  ASSERT_EQ(ids.size(), 1u) << "one knob, one parameter";
  EXPECT_NE(inst->paramValue(ids[0]), before[ids[0]]);
  EXPECT_DOUBLE_EQ(inst->paramValue(ids[0]), last);  // the host's last value is the plug-in's

  // Ctrl+Z over the panel takes the drag back as one step, and the host hears of it.
  inst->host().clearCalls();
  ASSERT_EQ(std::system("xdotool key ctrl+z"), 0);
  for (int i = 0; i < 200 && inst->paramValue(ids[0]) != before[ids[0]]; ++i) ed.pump(0.02);
  EXPECT_EQ(inst->paramValue(ids[0]), before[ids[0]]);
  for (int i = 0; i < 50 && inst->host().countCalls("state.mark_dirty") == 0; ++i) {
    ed.pump(0.02);
    inst->host().pump(inst->get());
  }
  EXPECT_EQ(inst->host().countCalls("params.rescan " + std::to_string(CLAP_PARAM_RESCAN_VALUES)), 1);
  EXPECT_EQ(inst->host().countCalls("state.mark_dirty"), 1);
}

TEST_F(EditorInput, TwoClickedKeysSoundAndEngraveTheirInterval) {
  // The machine memory is only watched in a segment of the test's own, never the user's.
  const bool watch = vtest::ownSegment();
  const auto now = [] { return static_cast<uint64_t>(std::time(nullptr)); };
  vorrel::mem::MachineMemory memory(vorrel::mem::machineSegmentName(), vorrel::mem::defaultStoreDir());
  if (watch) {
    ASSERT_TRUE(memory.open(now()) && memory.wipe(now()));
  }
  auto inst = make();
  ASSERT_TRUE(inst->activate(48000, 1, 512));
  ASSERT_TRUE(inst->startProcessing());
  vhost::EditorHost ed(*inst);
  openDrawn(ed);
  vhost::AudioBuffers buf;
  buf.configure({2, 2, 2}, 512, false);
  vhost::InputEvents in;
  vhost::OutputEvents out;
  const auto loudness = [&](int blocks) {
    double sum = 0;
    for (int b = 0; b < blocks; ++b) {
      ed.pump(0.001);
      out.clear();
      inst->process(buf, 512, in, out);
      for (uint32_t f = 0; f < 512; ++f) sum += buf.sample(0, 0, f) * buf.sample(0, 0, f);
    }
    return std::sqrt(sum / (blocks * 512.0));
  };
  // The loudest block until one sounds, with the UI thread given time for the pointer events (a loaded
  // machine may take a while); at most maxBlocks blocks.
  const auto soundWithin = [&](int maxBlocks) {
    double best = 0;
    for (int b = 0; b < maxBlocks && best <= 1e-4; ++b) {
      ed.pump(0.005);
      out.clear();
      inst->process(buf, 512, in, out);
      double sum = 0;
      for (uint32_t f = 0; f < 512; ++f) sum += buf.sample(0, 0, f) * buf.sample(0, 0, f);
      best = std::max(best, std::sqrt(sum / 512.0));
    }
    return best;
  };
  EXPECT_LT(loudness(20), 1e-6);  // silence before any key
  // Two keys 120 units apart on the panel's keyboard, a fifth, each held while blocks run.
  ASSERT_EQ(std::system("xdotool mousemove 310 600 mousedown 1"), 0);
  const double first = soundWithin(1000);
  loudness(40);  // held a while, so the interval carries weight
  ASSERT_EQ(std::system("xdotool mouseup 1 mousemove 430 600 mousedown 1"), 0);
  const double second = soundWithin(1000);
  loudness(40);
  ASSERT_EQ(std::system("xdotool mouseup 1"), 0);
  loudness(20);
  EXPECT_GT(first, 1e-4);
  EXPECT_GT(second, 1e-4);
  if (watch) {
    vorrel::mem::MemoryState state{};
    float ink = 0;
    // Blocks keep running: on a loaded machine the editor thread may queue the second key only now, and the
    // audio thread is what hands it to the tracker. The idle timer engraves within about 20 ms when not loaded.
    for (int i = 0; i < 250 && ink <= 0; ++i) {
      loudness(1);
      ed.pump(0.02);
      ASSERT_TRUE(memory.load(state));
      ink = 0;
      for (const auto& row : state.cart.ink)
        for (float v : row) ink += v;
    }
    float fifths = 0;
    for (const auto& row : state.cart.ink) fifths += row[7];
    EXPECT_GT(ink, 0.0f);
    EXPECT_FLOAT_EQ(fifths, ink);  // the keys lie seven semitones apart: the fifth is all that is engraved
  }
  ed.close();
  inst->stopProcessing();
  inst->deactivate();
}

// A keyboard layout with the name's letters on keys of their own, lower case and with Shift, as national layouts
// have them: xdotool then presses those keys instead of lending a spare key a letter for one press (which it takes
// back before any client reads the press). Returns false when the keymap has too few spare keys.
bool layoutWithLetters(const std::vector<std::pair<KeySym, KeySym>>& letters) {
  Display* d = XOpenDisplay(nullptr);
  if (!d) return false;
  int lo = 0, hi = 0, per = 0;
  XDisplayKeycodes(d, &lo, &hi);
  KeySym* map = XGetKeyboardMapping(d, static_cast<KeyCode>(lo), hi - lo + 1, &per);
  size_t next = 0;
  for (int code = hi; code > lo && next < letters.size() && map; --code) {
    bool spare = true;
    for (int i = 0; i < per; ++i) spare = spare && map[(code - lo) * per + i] == NoSymbol;
    if (!spare) continue;
    KeySym syms[2] = {letters[next].first, letters[next].second};
    XChangeKeyboardMapping(d, code, 2, syms, 1);
    ++next;
  }
  if (map) XFree(map);
  XSync(d, False);
  XCloseDisplay(d);
  return next == letters.size();
}

TEST_F(EditorInput, ATypedPresetNameAndEnterSaveIntoTheLibrary) {
  ASSERT_TRUE(layoutWithLetters({{XK_udiaeresis, XK_Udiaeresis}, {XK_idiaeresis, XK_Idiaeresis},
                                 {XK_odiaeresis, XK_Odiaeresis}, {XK_eacute, XK_Eacute}, {0x1002713, 0x1002713}}));
  auto inst = make();
  vhost::EditorHost ed(*inst);
  openDrawn(ed);
  // The preset box at layout (330, 345, 168, 22) opens the menu; its "Save as..." button sits at its top right.
  // Each click needs a frame drawn after it before the next one hits: software GL under load may take 0.5 s.
  ASSERT_EQ(std::system("xdotool mousemove 414 356 click 1"), 0);
  ed.pump(1.0);
  ASSERT_EQ(std::system("xdotool mousemove 733 383 click 1"), 0);
  ed.pump(1.0);
  // The host runs in the C locale, where the window system sends no text for letters outside ASCII.
  ASSERT_STREQ(std::setlocale(LC_ALL, nullptr), "C");
  const std::string name = "Wired B\xC3\xBC" "nd \xC3\x9C" "n\xC3\xAF" "c\xC3\xB6" "d\xC3\xA9 \xE2\x9C\x93";  // Wired Bünd Ünïcödé ✓
  ASSERT_EQ(std::system(("xdotool type --delay 20 '" + name + "' && xdotool key Return").c_str()), 0);
  const std::string path = std::string(std::getenv("XDG_CONFIG_HOME")) + "/OskelAudio/Vorrel/presets.txt";
  std::string text;
  for (int i = 0; i < 250 && text.find("Wired B") == std::string::npos; ++i) {
    ed.pump(0.02);
    std::ifstream file(path);
    std::stringstream all;
    all << file.rdbuf();
    text = all.str();
  }
  const size_t at = text.find("Wired B");
  ASSERT_NE(at, std::string::npos) << text;
  EXPECT_EQ(text.substr(at, name.size()), name) << "exactly the typed name";
  EXPECT_EQ(text.find("Wired B", at + 1), std::string::npos) << "saved once";
}

}  // namespace
