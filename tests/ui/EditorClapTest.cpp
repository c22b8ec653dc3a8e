// The editor through the real Vorrel.clap, parented by our host's window on a private Xvfb.
#include "EditorHost.h"
#include "QuietConfig.h"
#include "RealPlugin.h"
#include "ThreadsNamed.h"
#include "Xvfb.h"

#include <GL/glx.h>
#include <X11/Xlib.h>
#include <dlfcn.h>

#include <sys/resource.h>
#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

// Every buffer swap of this process passes here first: the editor's module binds to this definition (the test
// exports it), so the count is the number of frames the editor actually showed.
std::atomic<int> gSwaps{0};
extern "C" __attribute__((visibility("default"))) void glXSwapBuffers(Display* display, GLXDrawable drawable) {
  using Swap = void (*)(Display*, GLXDrawable);
  static const auto real = [] {
    void* lib = dlopen("libGLX.so.0", RTLD_LAZY);
    if (!lib) lib = dlopen("libGL.so.1", RTLD_LAZY);
    return reinterpret_cast<Swap>(lib ? dlsym(lib, "glXSwapBuffers") : nullptr);
  }();
  gSwaps.fetch_add(1);
  if (real) real(display, drawable);
}

namespace {

const auto* const kXvfb = ::testing::AddGlobalTestEnvironment(new vtest::XvfbEnvironment);
const auto* const kConfig = ::testing::AddGlobalTestEnvironment(new vtest::QuietConfigEnvironment);
constexpr uint32_t kBandA = 0x161D23;      // 22, 29, 35: the memory band's fill
constexpr uint32_t kLetterbox = 0x0A0C0F;  // the GL clear colour around the layout

// UI threads alive in this process: the editor names its thread.
int editorThreads() { return vhost::threadsNamed("vorrel-editor").count; }

uint32_t pixel(const vhost::Image& img, float x, float y) {
  const uint8_t* p = img.at(static_cast<int>(x), static_cast<int>(y));
  return static_cast<uint32_t>(p[0]) << 16 | static_cast<uint32_t>(p[1]) << 8 | p[2];
}

// Where a layout point lands in a window of w x h: scaled uniformly and centred.
void toWindow(int w, int h, float lx, float ly, float& x, float& y) {
  const float s = std::min(w / 960.0f, h / 660.0f);
  x = (w - 960.0f * s) / 2.0f + lx * s;
  y = (h - 660.0f * s) / 2.0f + ly * s;
}

// The window's picture once it has stopped changing (software GL on a busy machine may take a while a frame).
bool settled(vhost::EditorHost& ed, vhost::Image& img) {
  vhost::Image last;
  for (int i = 0; i < 20; ++i) {
    ed.pump(0.3);
    if (!ed.capture(img)) return false;
    if (i > 0 && img.rgb == last.rgb) return true;
    last = img;
  }
  return false;
}

class Editor : public vtest::RealPlugin {
 protected:
  // Opens an editor and waits until it has drawn the memory band at layout (265, 300).
  void openDrawn(vhost::EditorHost& ed, int w = 0, int h = 0) {
    std::string error;
    ASSERT_TRUE(ed.open(error, w, h)) << error;
    float x = 0;
    float y = 0;
    toWindow(w ? w : 960, h ? h : 660, 265, 300, x, y);
    ASSERT_TRUE(ed.waitForPixel(static_cast<int>(x), static_cast<int>(y), kBandA, 20.0)) << "no frame drawn";
  }
  bool waitForThreads(vhost::EditorHost& ed, int n) {
    for (int i = 0; i < 400 && editorThreads() != n; ++i) ed.pump(0.01);
    return editorThreads() == n;
  }
};

TEST_F(Editor, OpensDrawsAndClosesTwiceInARowAndTwoInstancesAtOnce) {
  auto inst = make();
  for (int round = 0; round < 2; ++round) {
    vhost::EditorHost ed(*inst);
    openDrawn(ed);
    EXPECT_EQ(editorThreads(), 1);
    EXPECT_EQ(ed.editorWindows().size(), 1u);
    // Drawing gives way to everything else: the editor thread and the software rasteriser's threads run at nice
    // 10; the host's own threads keep their priority.
    const vhost::NamedThreads raster = vhost::threadsNamed("llvmpipe");
    if (raster.count > 0) {
      EXPECT_EQ(raster.highestNice, 10);
    }
    EXPECT_EQ(vhost::threadsNamed("vorrel-editor").highestNice, 10);
    EXPECT_EQ(getpriority(PRIO_PROCESS, 0), 0);  // this thread, the host's main thread
    ed.close();
    EXPECT_EQ(editorThreads(), 0) << "destroy joins the editor thread";
  }
  auto other = make();
  vhost::EditorHost a(*inst);
  vhost::EditorHost b(*other);
  openDrawn(a);
  openDrawn(b);
  EXPECT_EQ(editorThreads(), 2);
  a.close();
  EXPECT_EQ(editorThreads(), 1);
  b.pump(0.1);
  vhost::Image img;
  ASSERT_TRUE(b.capture(img));
  EXPECT_EQ(pixel(img, 265, 300), kBandA) << "the remaining editor keeps drawing";
}

TEST_F(Editor, ReopeningWhileOpenLeavesOneWindowAndOneThread) {
  auto inst = make();
  vhost::EditorHost ed(*inst);
  openDrawn(ed);
  const clap_window_t window{CLAP_WINDOW_API_X11, {.x11 = ed.parentWindow()}};
  ASSERT_TRUE(ed.gui->set_parent(inst->get(), &window));
  ASSERT_TRUE(ed.gui->show(inst->get()));
  EXPECT_TRUE(waitForThreads(ed, 1));
  ed.pump(0.2);
  EXPECT_EQ(editorThreads(), 1);
  EXPECT_EQ(ed.editorWindows().size(), 1u);
  ASSERT_TRUE(ed.gui->hide(inst->get()));
  EXPECT_EQ(editorThreads(), 0) << "a hidden editor does not draw";
  ASSERT_TRUE(ed.gui->show(inst->get()));
  EXPECT_TRUE(waitForThreads(ed, 1));
}

TEST_F(Editor, WindowManagerCloseEndsTheThreadAndDestroyStillJoins) {
  auto inst = make();
  vhost::EditorHost ed(*inst);
  openDrawn(ed);
  ed.sendCloseToEditor();
  EXPECT_TRUE(waitForThreads(ed, 0));
  for (int i = 0; i < 100 && !ed.editorWindows().empty(); ++i) ed.pump(0.01);
  EXPECT_TRUE(ed.editorWindows().empty()) << "the thread freed its window";
  ed.close();
}

TEST_F(Editor, GripDraggedRightAsksTheHostForALargerWindow) {
  auto inst = make();
  vhost::EditorHost ed(*inst);
  ed.followResizes = false;
  openDrawn(ed);
  // The grip is the 16 x 16 corner at layout (944, 644); the window sits at the screen's origin.
  ASSERT_EQ(std::system("xdotool mousemove 952 652 mousedown 1 mousemove 1000 652 mousemove 1048 652 mouseup 1"), 0);
  for (int i = 0; i < 200 && !(host.guiRequestedW.load() == 1056 && host.guiRequestedH.load() == 726); ++i)
    ed.pump(0.02);
  EXPECT_EQ(host.guiRequestedW.load(), 1056u);
  EXPECT_EQ(host.guiRequestedH.load(), 726u);
}

TEST_F(Editor, AnIdleEditorDrawsNothingAndADragDrawsFrames) {
  auto inst = make();
  vhost::EditorHost ed(*inst);
  ASSERT_EQ(std::system("xdotool mousemove 5 5"), 0);  // over the header's empty corner, still
  openDrawn(ed);
  ed.pump(1.0);  // the parent follower settles after half a second
  EXPECT_GE(gSwaps.load(), 1) << "the first frame was counted";
  const int before = gSwaps.load();
  ed.pump(5.0);
  const int idle = gSwaps.load() - before;
  EXPECT_LE(idle, 2) << "frames drawn in 5 idle seconds";
  // A knob at layout (100, 389, 60, 66), dragged upwards in eight steps at scale 1.
  const int dragFrom = gSwaps.load();
  // The host keeps its main loop running between the moves, as it does while a user drags.
  ASSERT_EQ(std::system("xdotool mousemove 130 420 mousedown 1"), 0);
  for (int y = 416; y >= 388; y -= 4) {
    ed.pump(0.2);  // software GL on a busy machine may take 0.1 s a frame
    ASSERT_EQ(std::system(("xdotool mousemove 130 " + std::to_string(y)).c_str()), 0);
  }
  ASSERT_EQ(std::system("xdotool mouseup 1"), 0);
  ed.pump(0.5);
  EXPECT_GE(gSwaps.load() - dragFrom, 2) << "a drag draws its frames as it goes, not only when it ends";

  // Those frames rebuilt only what changed on the frame before; the picture equals the whole first frame of an
  // editor opened afresh on the same state.
  ASSERT_EQ(std::system("xdotool mousemove 5 5"), 0);
  vhost::Image partial;
  ASSERT_TRUE(settled(ed, partial));
  ed.close();
  vhost::EditorHost again(*inst);
  openDrawn(again);
  vhost::Image whole;
  ASSERT_TRUE(settled(again, whole));
  ASSERT_EQ(whole.width, partial.width);
  ASSERT_EQ(whole.height, partial.height);
  int differ = 0;
  for (size_t i = 0; i < whole.rgb.size(); ++i) differ += whole.rgb[i] != partial.rgb[i] ? 1 : 0;
  EXPECT_EQ(differ, 0) << "bytes that differ between the rebuilt frame and the whole one";
}

int gHostErrors = 0;
int countHostError(Display*, XErrorEvent*) { return ++gHostErrors, 0; }

TEST_F(Editor, ParentDestroyedFirstKillsNothingAndOtherErrorsStillReachTheHost) {
  XErrorHandler before = XSetErrorHandler(countHostError);
  Display* own = XOpenDisplay(nullptr);
  ASSERT_NE(own, nullptr);
  {
    auto inst = make();
    vhost::EditorHost ed(*inst);
    openDrawn(ed);
    // An error on the host's own connection goes to the host's handler, not to ours.
    XWindowAttributes attr;
    XGetWindowAttributes(own, 0x7FFFFF0, &attr);
    XSync(own, False);
    EXPECT_EQ(gHostErrors, 1);
    ed.destroyParent();  // Xlib's default handler would end this process now
    ed.pump(0.5);
    ed.close();
    EXPECT_EQ(editorThreads(), 0);
  }
  EXPECT_EQ(XSetErrorHandler(before), countHostError) << "the host's handler is back after the last editor";
  XCloseDisplay(own);
}

TEST_F(Editor, SizesFollowTheAspectRatio) {
  auto inst = make();
  vhost::EditorHost ed(*inst);
  ASSERT_TRUE(ed.ok());
  const clap_plugin_t* p = inst->get();
  ASSERT_TRUE(ed.gui->can_resize(p));
  clap_gui_resize_hints_t hints{};
  ASSERT_TRUE(ed.gui->get_resize_hints(p, &hints));
  EXPECT_TRUE(hints.preserve_aspect_ratio);
  EXPECT_EQ(hints.aspect_ratio_width * 660, hints.aspect_ratio_height * 960);
  EXPECT_FALSE(ed.gui->is_api_supported(p, CLAP_WINDOW_API_X11, true)) << "embedded only";
  for (auto [in, w, h] : {std::tuple{500u, 672u, 462u}, {4000u, 3072u, 2112u}, {1001u, 1001u, 688u}}) {
    uint32_t aw = in;
    uint32_t ah = 7;
    ASSERT_TRUE(ed.gui->adjust_size(p, &aw, &ah));
    EXPECT_EQ(aw, w);
    EXPECT_EQ(ah, h);
    ASSERT_TRUE(ed.gui->adjust_size(p, &aw, &ah));
    EXPECT_EQ(aw, w) << "stable when applied twice";
    EXPECT_EQ(ah, h);
  }
}

TEST_F(Editor, PanelIsScaledAndCentredWithALetterboxAround) {
  auto inst = make();
  for (auto [w, h] : {std::pair{672, 462}, {1300, 660}, {960, 900}}) {
    vhost::EditorHost ed(*inst);
    ed.followResizes = false;
    openDrawn(ed, w, h);
    float x = 0;
    float y = 0;
    float right = 0;
    float bottom = 0;
    toWindow(w, h, 0, 0, x, y);
    toWindow(w, h, 960, 660, right, bottom);
    // Outside the layout, once the view has taken the parent's size and drawn at it.
    std::vector<std::pair<float, float>> outside;
    if (x >= 2) outside.push_back({x / 2, h / 2.0f});
    if (y >= 2) outside.push_back({w / 2.0f, y / 2});
    if (w - right >= 2) outside.push_back({(right + w) / 2, h / 2.0f});
    if (h - bottom >= 2) outside.push_back({w / 2.0f, (bottom + h) / 2});
    for (auto [px, py] : outside)
      EXPECT_TRUE(ed.waitForPixel(static_cast<int>(px), static_cast<int>(py), kLetterbox, 20.0))
          << w << "x" << h << " at " << px << "," << py;
    vhost::Image img;
    ASSERT_TRUE(ed.capture(img));
    ASSERT_EQ(img.width, w);
    for (auto [lx, ly] : {std::pair{265.0f, 300.0f}, {20.0f, 300.0f}, {270.0f, 150.0f}}) {
      toWindow(w, h, lx, ly, x, y);
      EXPECT_EQ(pixel(img, x, y), kBandA) << w << "x" << h << " at layout " << lx << "," << ly;
    }
  }
}

TEST_F(Editor, ScreenshotCommandWritesAPng) {
  const std::string out = ::testing::TempDir() + "vorrel-panel-" + std::to_string(getpid()) + ".png";
  // Leaks are checked in process above; the host unloads the GL driver, which leaves the checker nothing to name.
  const std::string cmd = "ASAN_OPTIONS=detect_leaks=0 " + std::string(VORREL_HOST_PATH) + " screenshot " +
                          vtest::clapPath() + " --out " + out + " --size 800x550 --frames 30 > /dev/null 2>&1";
  ASSERT_EQ(std::system(cmd.c_str()), 0);
  std::ifstream png(out, std::ios::binary);
  char head[24] = {};
  png.read(head, sizeof head);
  EXPECT_EQ(std::string(head + 1, 3), "PNG");
  // IHDR width and height, big-endian.
  const auto be = [&](int at) {
    return (static_cast<uint8_t>(head[at]) << 24) | (static_cast<uint8_t>(head[at + 1]) << 16) |
           (static_cast<uint8_t>(head[at + 2]) << 8) | static_cast<uint8_t>(head[at + 3]);
  };
  EXPECT_EQ(be(16), 800);
  EXPECT_EQ(be(20), 550);
  std::remove(out.c_str());
}

}  // namespace
