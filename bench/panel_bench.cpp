// One editor frame on the UI thread: buildState and drawPanel with the memory full, 64 instances and a long menu open.
// NanoVG's path and text work is included; the pixels are left to the GPU back-end, so this is the CPU side.
#include "BuildState.h"
#include "DrawPanel.h"
#include "FakeShell.h"
#include "SoftCanvas.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <string>

namespace {

struct Busy {
  vtest::FakeShell shell;
  vrui::PanelView view;
  vtest::SoftCanvas canvas{960, 660, false};
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
    nvgBeginFrame(canvas.vg(), 960.0f, 660.0f, 1.0f);
    vrui::drawPanel(canvas.vg(), fonts, s, &hits);
    nvgEndFrame(canvas.vg());
  }
};

void BM_BuildState(benchmark::State& state) {
  Busy b;
  for (auto _ : state) {
    vrui::PanelState s;
    benchmark::DoNotOptimize(vrui::buildState(b.shell, b.view, s));
  }
}
BENCHMARK(BM_BuildState)->Unit(benchmark::kMicrosecond);

void BM_Frame(benchmark::State& state) {
  Busy b;
  for (auto _ : state) b.frame();
}
BENCHMARK(BM_Frame)->Unit(benchmark::kMicrosecond);

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
