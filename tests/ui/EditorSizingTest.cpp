// Parent following, the grip's arithmetic, the opening size, and the fonts compiled into the editor.
#include "EmbeddedFonts.h"
#include "GlLoader.h"
#include "ParentFollower.h"
#include "PuglApi.h"
#include "Vorrel.h"
#include "QuietConfig.h"
#include "Xvfb.h"

#include <X11/Xlib.h>
#include <nanovg.h>
#define NANOVG_GL2
#include <nanovg_gl.h>

#include <gtest/gtest.h>

namespace {

const auto* const kXvfb = ::testing::AddGlobalTestEnvironment(new vtest::XvfbEnvironment);
const auto* const kConfig = ::testing::AddGlobalTestEnvironment(new vtest::QuietConfigEnvironment);

using vrui::ParentFollower;

// Frames with the parent at one size; returns the frame index of each action taken, in order.
std::vector<int> hold(ParentFollower& f, int w, int h, int frames, int storedW = 960, int storedH = 660,
                      ParentFollower::Result* last = nullptr) {
  std::vector<int> acted;
  for (int i = 0; i < frames; ++i) {
    const auto r = f.tick(w, h, storedW, storedH);
    if (r.action != ParentFollower::Action::Wait) {
      acted.push_back(i);
      if (last) *last = r;
    }
  }
  return acted;
}

TEST(ParentFollowing, SettlesAfterThirtyFramesAndIgnoresSmallOrRestlessChanges) {
  ParentFollower f;
  EXPECT_TRUE(hold(f, 960, 660, 40).empty()) << "the first look matches the stored size";
  EXPECT_EQ(f.state(), 2);
  for (int i = 0; i < 200; ++i) EXPECT_EQ(f.tick(1000 + i % 7, 700, 960, 660).action, ParentFollower::Action::Wait);
  EXPECT_TRUE(hold(f, 976, 676, 100).empty()) << "16 pixels is no change";
  ParentFollower::Result r;
  EXPECT_EQ(hold(f, 1200, 830, 100, 960, 660, &r), std::vector<int>{30}) << "followed once, 30 frames after";
  EXPECT_EQ(r.action, ParentFollower::Action::Follow);
  EXPECT_EQ(r.w, 1200);
  EXPECT_EQ(r.h, 825);  // (1200 * 660 + 480) / 960
  EXPECT_EQ(hold(f, 977, 660, 40), std::vector<int>{30}) << "17 pixels is a change";
}

TEST(ParentFollowing, FirstLookAtAnotherSizeAsksTheHostOnceForTheStoredSize) {
  ParentFollower f;
  ParentFollower::Result r;
  EXPECT_EQ(hold(f, 960, 660, 100, 1400, 962, &r), std::vector<int>{30});
  EXPECT_EQ(r.action, ParentFollower::Action::AskStored);
  EXPECT_EQ(f.state(), 2) << "a host that does not answer leaves the parent's size";
  ParentFollower g;
  hold(g, 960, 660, 31, 1400, 962);
  EXPECT_EQ(g.state(), 1);
  EXPECT_TRUE(hold(g, 1400, 962, 100, 1400, 962).empty()) << "the host's answer is taken without another request";
  EXPECT_EQ(g.state(), 2);
}

TEST(ResizeGrip, ScalesFromWhereTheDragBegan) {
  const vrui::GripSize s = vrui::gripSize(900.0f, 1.0f, 996.0f);
  EXPECT_EQ(s.w, 1056);
  EXPECT_EQ(s.h, 726);
  const vrui::GripSize small = vrui::gripSize(900.0f, 1.0f, -5000.0f);
  EXPECT_EQ(small.w, 672);
  EXPECT_EQ(small.h, 462);
  const vrui::GripSize big = vrui::gripSize(10.0f, 2.0f, 5000.0f);
  EXPECT_EQ(big.w, 3072);
  EXPECT_EQ(big.h, 2112);
}

TEST(EditorOpening, UsesTheStoredSizeOnlyWhenBothSidesExceed99) {
  Display* d = XOpenDisplay(nullptr);
  ASSERT_NE(d, nullptr);
  const Window parent = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 960, 660, 0, 0, 0);
  XMapWindow(d, parent);
  XSync(d, False);
  Vorrel v(vfw::InstanceInfo{});
  for (auto [sw, sh, w, h] : {std::tuple{99, 660, 960, 660}, {1400, 962, 1400, 962}, {0, 0, 960, 660}}) {
    v.setStoredEditorSize(sw, sh);
    v.OpenWindow(reinterpret_cast<void*>(parent));
    EXPECT_EQ(v.GetEditorWidth(), w) << sw << "x" << sh;
    EXPECT_EQ(v.GetEditorHeight(), h) << sw << "x" << sh;
    v.CloseWindow();
  }
  XDestroyWindow(d, parent);
  XCloseDisplay(d);
}

// The fonts, registered from memory in a NanoVG context of a hidden window: all three load, and the mono face
// is the one whose narrow and wide letters advance alike.
struct FontProbe {
  vrui::PanelFonts fonts;
  float narrow[3] = {};
  float wide[3] = {};
};

PuglStatus probeFonts(PuglView* view, const PuglEvent* event) {
  if (event->type != PUGL_CREATE) return PUGL_SUCCESS;
  auto* probe = static_cast<FontProbe*>(puglGetHandle(view));
  if (!vrui::loadGlFunctions()) return PUGL_SUCCESS;
  NVGcontext* vg = nvgCreateGL2(NVG_ANTIALIAS);
  if (!vg) return PUGL_SUCCESS;
  probe->fonts = vrui::loadEmbeddedFonts(vg);
  const int ids[3] = {probe->fonts.medium, probe->fonts.semibold, probe->fonts.mono};
  nvgFontSize(vg, 20.0f);
  for (int i = 0; i < 3; ++i) {
    nvgFontFaceId(vg, ids[i]);
    probe->narrow[i] = nvgTextBounds(vg, 0, 0, "iiiiiiii", nullptr, nullptr);
    probe->wide[i] = nvgTextBounds(vg, 0, 0, "WWWWWWWW", nullptr, nullptr);
  }
  nvgDeleteGL2(vg);
  return PUGL_SUCCESS;
}

TEST(EmbeddedFonts, LoadFromMemoryWithTheirOwnMetrics) {
  PuglWorld* world = puglNewWorld(PUGL_PROGRAM, 0);
  ASSERT_NE(world, nullptr);
  PuglView* view = puglNewView(world);
  FontProbe probe;
  puglSetHandle(view, &probe);
  puglSetEventFunc(view, probeFonts);
  puglSetBackend(view, puglGlBackend());
  puglSetViewHint(view, PUGL_CONTEXT_VERSION_MAJOR, 2);
  puglSetViewHint(view, PUGL_CONTEXT_VERSION_MINOR, 1);
  puglSetViewHint(view, PUGL_USE_COMPAT_PROFILE, 1);
  puglSetSizeHint(view, PUGL_DEFAULT_SIZE, 64, 64);
  ASSERT_EQ(puglRealize(view), PUGL_SUCCESS);
  puglFreeView(view);
  puglFreeWorld(world);
  EXPECT_GE(probe.fonts.medium, 0);
  EXPECT_GE(probe.fonts.semibold, 0);
  EXPECT_GE(probe.fonts.mono, 0);
  for (int i = 0; i < 3; ++i) EXPECT_GT(probe.narrow[i], 10.0f) << "face " << i;
  EXPECT_NEAR(probe.narrow[2], probe.wide[2], 0.5f) << "monospaced";
  EXPECT_LT(probe.narrow[0] * 2.0f, probe.wide[0]) << "proportional";
}

}  // namespace
