// One editor frame on the UI thread: buildState and drawPanel with the memory full, 64 instances and a long menu open.
// NanoVG's path and text work is included; the pixels are left to the GPU back-end, so this is the CPU side.
#include "BuildState.h"
#include "DrawPanel.h"
#include "FakeShell.h"
#include "SoftCanvas.h"
#if VORREL_BENCH_GL
#include "GlCanvas.h"
#endif

#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <string>

namespace {

// Null: NanoVG's CPU work only. GL: Mesa's software GL under Xvfb, waited for with glFinish each frame.
struct NullCanvas : vtest::SoftCanvas {
  NullCanvas() : SoftCanvas(960, 660, false) {}
  void end(bool) { SoftCanvas::end(); }
};

template <class Canvas>
struct Busy {
  vtest::FakeShell shell;
  vrui::PanelView view;
  Canvas canvas;
  vrui::PanelFonts fonts;
  vrui::HitMap hits;

  Busy() {
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
    for (int i = 0; i < 40; ++i) shell.shared.memoryNames.push_back("Backup " + std::to_string(i));
    view.memMenuOpen = true;
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
  Busy<NullCanvas> b;
  for (auto _ : state) {
    vrui::PanelState s;
    benchmark::DoNotOptimize(vrui::buildState(b.shell, b.view, s));
  }
}
BENCHMARK(BM_BuildState)->Unit(benchmark::kMicrosecond);

void BM_Frame(benchmark::State& state) {
  Busy<NullCanvas> b;
  for (auto _ : state) b.frame();
}
BENCHMARK(BM_Frame)->Unit(benchmark::kMicrosecond);

#if VORREL_BENCH_GL
struct GlFrameCanvas : vtest::GlCanvas {
  GlFrameCanvas() : GlCanvas(960, 660) {}
};

void BM_FrameSoftwareGl(benchmark::State& state) {
  Busy<GlFrameCanvas> b;
  if (!b.canvas.ok()) {
    state.SkipWithError("no X server or GLX");
    return;
  }
  b.frame();  // shaders, the font atlas and Mesa's first-use work are not part of a steady frame
  for (auto _ : state) b.frame();
}
BENCHMARK(BM_FrameSoftwareGl)->Unit(benchmark::kMicrosecond)->UseRealTime();
#endif

}  // namespace

int main(int argc, char** argv) {
  std::ifstream cpu("/proc/cpuinfo");
  for (std::string line; std::getline(cpu, line);) {
    if (line.rfind("model name", 0) == 0) {
      std::printf("CPU: %s\n", line.substr(line.find(':') + 2).c_str());
      break;
    }
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  return 0;
}
