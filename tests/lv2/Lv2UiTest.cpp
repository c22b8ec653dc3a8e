// Vorrel.lv2's editor embedded the way hosts embed LV2 UIs (suil, X11 in X11) under a private Xvfb: it opens only
// with instance-access, draws the panel, and a knob drag reaches the host as touch, port writes and release.
#include "Lv2Host.h"
#include "Lv2Path.h"
#include "QuietConfig.h"
#include "Xvfb.h"

#include <dlfcn.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <lv2/instance-access/instance-access.h>
#include <lv2/ui/ui.h>
#include <suil/suil.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

const auto* const kXvfb = ::testing::AddGlobalTestEnvironment(new vtest::XvfbEnvironment);
const auto* const kConfig = ::testing::AddGlobalTestEnvironment(new vtest::QuietConfigEnvironment);
constexpr uint32_t kBandA = 0x161D23;  // the memory band's fill at layout (265, 300): a frame was drawn

// Kept loaded to the end, so that the leak checker's suppressions for what X and GL keep can name their libraries.
const bool kPinnedModule = dlopen(VORREL_LV2_BUNDLE "/Vorrel.so", RTLD_NOW | RTLD_NODELETE) != nullptr;

// What the UI told the host, in order.
struct Told {
  enum Kind { Touch, Release, Write } kind;
  uint32_t port;
  float value;
  bool operator==(const Told& o) const { return kind == o.kind && port == o.port; }
};

struct UiHost {
  lv2h::Instance* inst = nullptr;
  std::vector<Told> told;
};

void writePort(SuilController c, uint32_t port, uint32_t size, uint32_t protocol, const void* buffer) {
  auto* host = static_cast<UiHost*>(c);
  if (protocol != 0 || size != sizeof(float)) return;
  const float v = *static_cast<const float*>(buffer);
  host->told.push_back({Told::Write, port, v});
  // As a host does: the control port takes the value, and the next block hands it to the plug-in.
  for (const auto& p : host->inst->ports())
    if (p.index == port) host->inst->setControl(p.symbol, v);
}

void touchPort(SuilController c, uint32_t port, bool grabbed) {
  static_cast<UiHost*>(c)->told.push_back({grabbed ? Told::Touch : Told::Release, port, 0.0f});
}

uint32_t portIndex(SuilController, const char*) { return LV2UI_INVALID_PORT_INDEX; }

class Lv2Ui : public ::testing::Test {
 protected:
  void SetUp() override {
    vtest::usePrivateLv2Path();
    world = std::make_unique<lv2h::World>();
    plugin = world->plugin("urn:oskelaudio:vorrel");
    ASSERT_NE(plugin, nullptr);
    inst = std::make_unique<lv2h::Instance>(*world, plugin, 48000.0, 512);
    ASSERT_TRUE(inst->ok());
    uiHost.inst = inst.get();
    display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr);
    const int screen = DefaultScreen(display);
    parent = XCreateSimpleWindow(display, RootWindow(display, screen), 0, 0, 960, 660, 0, 0, 0);
    XMapWindow(display, parent);
    XSync(display, False);
    suilHost = suil_host_new(writePort, portIndex, nullptr, nullptr);
    suil_host_set_touch_func(suilHost, touchPort);
    LilvUIs* uis = lilv_plugin_get_uis(plugin);
    ASSERT_EQ(lilv_uis_size(uis), 1u);
    const LilvUI* ui = lilv_uis_get(uis, lilv_uis_begin(uis));
    uiUri = lilv_node_as_uri(lilv_ui_get_uri(ui));
    char* bundle = lilv_file_uri_parse(lilv_node_as_uri(lilv_ui_get_bundle_uri(ui)), nullptr);
    char* binary = lilv_file_uri_parse(lilv_node_as_uri(lilv_ui_get_binary_uri(ui)), nullptr);
    bundlePath = bundle;
    binaryPath = binary;
    lilv_free(bundle);
    lilv_free(binary);
    lilv_uis_free(uis);
  }
  void TearDown() override {
    if (ui) suil_instance_free(ui);
    if (suilHost) suil_host_free(suilHost);
    if (display) {
      XDestroyWindow(display, parent);
      XCloseDisplay(display);
    }
  }

  SuilInstance* open(bool instanceAccess) {
    const LV2_Feature access{LV2_INSTANCE_ACCESS_URI, lilv_instance_get_handle(inst->get())};
    const LV2_Feature parentFeature{LV2_UI__parent, reinterpret_cast<void*>(parent)};
    const LV2_Feature map{LV2_URID__map, world->mapFeature()};
    std::vector<const LV2_Feature*> features{&parentFeature, &map};
    if (instanceAccess) features.push_back(&access);
    features.push_back(nullptr);
    return suil_instance_new(suilHost, &uiHost, LV2_UI__X11UI, "urn:oskelaudio:vorrel", uiUri.c_str(),
                             LV2_UI__X11UI, bundlePath.c_str(), binaryPath.c_str(), features.data());
  }
  // The host's UI loop: the idle callback, then a block so that port writes reach the plug-in.
  void pump(double seconds) {
    const auto* idle =
        static_cast<const LV2UI_Idle_Interface*>(suil_instance_extension_data(ui, LV2_UI__idleInterface));
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    do {
      ASSERT_NE(idle, nullptr);
      EXPECT_EQ(idle->idle(suil_instance_get_handle(ui)), 0);
      inst->run(64, {});
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    } while (std::chrono::steady_clock::now() < end);
  }
  uint32_t pixel(int x, int y) {
    XImage* img = XGetImage(display, parent, x, y, 1, 1, AllPlanes, ZPixmap);
    if (!img) return 0;
    const uint32_t v = static_cast<uint32_t>(XGetPixel(img, 0, 0)) & 0xFFFFFF;
    XDestroyImage(img);
    return v;
  }

  std::unique_ptr<lv2h::World> world;
  const LilvPlugin* plugin = nullptr;
  std::unique_ptr<lv2h::Instance> inst;
  UiHost uiHost;
  Display* display = nullptr;
  Window parent = 0;
  SuilHost* suilHost = nullptr;
  SuilInstance* ui = nullptr;
  std::string uiUri, bundlePath, binaryPath;
};

}  // namespace

TEST_F(Lv2Ui, NoEditorWithoutInstanceAccess) {
  EXPECT_EQ(open(false), nullptr);
}

TEST_F(Lv2Ui, KnobDragReachesTheHostAsTouchAndPortWrites) {
  inst->activate();
  inst->run(64, {});
  ui = open(true);
  ASSERT_NE(ui, nullptr);
  EXPECT_NE(suil_instance_get_widget(ui), nullptr);
  // The first frame waits for software GL to start, which a loaded or instrumented machine makes slow.
  bool drawn = false;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (!drawn && std::chrono::steady_clock::now() < deadline) {
    pump(0.05);
    drawn = pixel(265, 300) == kBandA;
  }
  ASSERT_TRUE(drawn) << "no frame drawn";
  pump(0.2);  // a second frame, so the hit map is in place
  uiHost.told.clear();
  // A knob at layout (100, 389, 60, 66); the parent sits at the screen's origin at scale 1.
  ASSERT_EQ(std::system("xdotool mousemove 130 420 mousedown 1 mousemove 130 410 mousemove 130 395 "
                        "mousemove 130 380 mouseup 1"),
            0);
  for (int i = 0; i < 1000 && (uiHost.told.empty() || uiHost.told.back().kind != Told::Release); ++i) pump(0.02);
  ASSERT_GE(uiHost.told.size(), 3u);
  const uint32_t port = uiHost.told.front().port;
  EXPECT_EQ(uiHost.told.front().kind, Told::Touch);
  EXPECT_EQ(uiHost.told.back(), (Told{Told::Release, port, 0.0f}));
  for (size_t i = 1; i + 1 < uiHost.told.size(); ++i) EXPECT_EQ(uiHost.told[i], (Told{Told::Write, port, 0.0f}));
  EXPECT_GE(port, 7u);  // a control port, not MIDI or audio
  // The host's control now holds the plug-in's value.
  const float last = uiHost.told[uiHost.told.size() - 2].value;
  const auto& info = inst->ports()[port];
  EXPECT_NE(last, info.def);
  EXPECT_EQ(inst->control(info.symbol), last);
  std::vector<uint8_t> chunk;
  ASSERT_TRUE(inst->saveChunk(chunk));
  double value = 0.0;
  std::memcpy(&value, chunk.data() + 8 + 8 * (port - 7), sizeof value);
  EXPECT_EQ(static_cast<float>(value), last);
  suil_instance_free(ui);
  ui = nullptr;
  inst->deactivate();
}
