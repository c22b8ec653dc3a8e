// One editor frame on the UI thread: buildState and drawPanel with the memory full and 64 instances, with no menu
// or each menu open; through NanoVG alone (the CPU side) and through Mesa's software GL under Xvfb, against the
// rasteriser's cost for one panel of pixels measured in the same run.
#include "BuildState.h"
#include "CpuModel.h"
#include "DrawPanel.h"
#include "FakeShell.h"
#include "SoftCanvas.h"
#if VORREL_BENCH_GL
#include "GlCanvas.h"
#endif

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

namespace {

constexpr double kPanelPixels = 960.0 * 660.0;

// Null: NanoVG's CPU work only. GL: Mesa's software GL under Xvfb, waited for with glFinish each frame.
struct NullCanvas : vtest::SoftCanvas {
  explicit NullCanvas(bool) : SoftCanvas(960, 660, false) {}
  void end(bool) { SoftCanvas::end(); }
};

// Scene 0: no menu, a key held; 1: the preset menu; 2: the memory menu; 3: the body list. 40 user presets and
// 40 saved memories, so the lists fill their menus.
template <class Canvas>
struct Busy {
  vtest::FakeShell shell;
  vrui::PanelView view;
  Canvas canvas;
  vrui::PanelFonts fonts;
  vrui::HitMap hits;

  Busy(int scene, bool stencilStrokes) : canvas(stencilStrokes) {
    const char* dir = "/usr/share/fonts/truetype/dejavu/";
    fonts.medium = nvgCreateFont(canvas.vg(), "fira", (std::string(dir) + "DejaVuSansCondensed.ttf").c_str());
    fonts.semibold = nvgCreateFont(canvas.vg(), "fira-b", (std::string(dir) + "DejaVuSansCondensed-Bold.ttf").c_str());
    fonts.mono = nvgCreateFont(canvas.vg(), "fira-m", (std::string(dir) + "DejaVuSansMono.ttf").c_str());
    shell.value[kImprint] = 62.0;
    shell.value[kSympathy] = 30.0;
    const uint32_t hour = static_cast<uint32_t>(shell.now / 3600);
    for (int r = 0; r < 12; ++r) {
      for (int c = 0; c < 12; ++c) {
        shell.memory.cart.ink[r][c] = 0.5f + static_cast<float>((r * 12 + c) % 17);
        shell.memory.cart.touchedHour[r][c] = hour - static_cast<uint32_t>(r * c);
      }
    }
    for (double& w : shell.memory.modeWeights) w = 3.0;
    for (int i = 0; i < vorrel::mem::kNumSlots; ++i) {
      shell.live[i] = shell.slotReadable[i] = true;
      shell.slots[i] = {i % 11, i * 7, 0, "Track"};
    }
    shell.shared.snapshot.present = 1;
    for (int i = 0; i < 40; ++i) {
      shell.shared.memoryNames.push_back("Backup " + std::to_string(i));
      shell.shared.userPresetNames.push_back("User preset " + std::to_string(i));
    }
    view.presetMenuOpen = scene == 1;
    view.memMenuOpen = scene == 2;
    view.bodyMenuOpen = scene == 3;
    view.heldKey = 60;
    view.keyPressure = 0.5f;
  }

  void frame() {
    vrui::PanelState s;
    vrui::buildState(shell, view, s);
    canvas.begin();
    vrui::drawPanel(canvas.vg(), fonts, s, &hits);
    canvas.end(false);
  }
};

void BM_BuildState(benchmark::State& state) {
  Busy<NullCanvas> b(2, true);
  for (auto _ : state) {
    vrui::PanelState s;
    benchmark::DoNotOptimize(vrui::buildState(b.shell, b.view, s));
  }
}
BENCHMARK(BM_BuildState)->Unit(benchmark::kMicrosecond);

void BM_Frame(benchmark::State& state) {
  Busy<NullCanvas> b(static_cast<int>(state.range(0)), true);
  for (auto _ : state) b.frame();
}
BENCHMARK(BM_Frame)->ArgName("scene")->DenseRange(0, 3)->Unit(benchmark::kMicrosecond);

#if VORREL_BENCH_GL
struct GlPanelCanvas : vtest::GlCanvas {
  explicit GlPanelCanvas(bool stencilStrokes) : GlCanvas(960, 660, stencilStrokes) {}
};

// frames per second on the wall clock (the UI thread waits for the rasteriser's threads); ui_cpu_ms is the calling
// thread's own CPU per frame, ui_share_at_60 what that costs of one core at 60 frames per second.
void BM_FrameSoftwareGl(benchmark::State& state) {
  Busy<GlPanelCanvas> b(static_cast<int>(state.range(0)), state.range(1) != 0);
  if (!b.canvas.ok()) {
    state.SkipWithError("no X server or GLX");
    return;
  }
  state.SetLabel(b.canvas.renderer());
  b.frame();  // shaders, the font atlas and Mesa's first-use work are not part of a steady frame
  const double cpu0 = vbench::threadSeconds();
  for (auto _ : state) b.frame();
  const double cpuPerFrame = (vbench::threadSeconds() - cpu0) / static_cast<double>(state.iterations());
  state.counters["frames"] = benchmark::Counter(1.0, benchmark::Counter::kIsIterationInvariantRate);
  state.counters["ui_cpu_ms"] = cpuPerFrame * 1e3;
  state.counters["ui_share_at_60"] = cpuPerFrame * 60.0;
}
BENCHMARK(BM_FrameSoftwareGl)
    ->ArgNames({"scene", "stencil_strokes"})
    ->ArgsProduct({{0, 1, 2, 3}, {1}})
    ->Args({2, 0})
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();

// The rasteriser's rate for one panel of pixels: NanoVG's shader (a solid rectangle) against a fixed-function
// blended quad, four layers a frame so that the clear and the wait weigh little.
void BM_PanelOfPixels(benchmark::State& state) {
  const bool nanovg = state.range(0) != 0;
  vtest::GlCanvas c(960, 660);
  if (!c.ok()) {
    state.SkipWithError("no X server or GLX");
    return;
  }
  state.SetLabel(nanovg ? "NanoVG solid fill" : "fixed-function quad");
  auto frame = [&] {
    c.begin();
    for (int i = 0; i < 4 && nanovg; ++i) {
      nvgBeginPath(c.vg());
      nvgRect(c.vg(), 0.0f, 0.0f, 960.0f, 660.0f);
      nvgFillColor(c.vg(), nvgRGBA(200, 100, 50, 230));
      nvgFill(c.vg());
    }
    nvgEndFrame(c.vg());
    for (int i = 0; i < 4 && !nanovg; ++i) c.fixedFunctionQuad();
    c.end(false);
  };
  frame();
  for (auto _ : state) frame();
  state.counters["Mpixels"] =
      benchmark::Counter(4.0 * kPanelPixels * 1e-6, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_PanelOfPixels)->ArgName("nanovg")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond)->UseRealTime();
#endif

}  // namespace

int main(int argc, char** argv) {
  std::printf("CPU: %s\n", vbench::cpuModel().c_str());
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  return 0;
}
