// The shell's cost: the worst-case scene through the real Vorrel.clap against the bare engine with the same notes.
#include "ClapHost.h"
#include "CpuModel.h"
#include "Engine.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <vector>

using namespace vorrel::dsp;

namespace {

constexpr double kRate = 48000.0;
constexpr uint32_t kBlock = 512;
double gEngine = 0.0;
double gPlugin = 0.0;

// Bowed, sustained, Sympathy 100 %, Quality x8: the parameters the shell will snapshot.
VoiceParams shellParams() {
  VoiceParams p;
  p.body = 0;
  p.exciterFamily = 2;
  p.imprint = 0.62;
  p.carve = 0.55;
  p.bodyDecay = 143;
  p.inharm = 0.12;
  p.sympathy = 1.0;
  p.attackMs = 12;
  p.decayMs = 400;
  p.sustain = 1.0;
  p.releaseMs = 900;
  p.cutoffHz = 2400;
  p.resonance = 0.68;
  p.envAmtOct = 2.8;
  p.oversampling = 8;
  return p;
}

void BM_EngineWorst(benchmark::State& state) {
  auto e = std::make_unique<VorrelEngine>();
  e->prepare(kRate);
  e->setBareEnabled(true);
  for (int v = 0; v < 16; ++v) e->noteOn(40 + 2 * v, 100, shellParams(), 16);
  std::vector<double> b(6 * kBlock);
  for (auto _ : state) {
    e->process(b.data(), b.data() + kBlock, kBlock, 16, 340, 0.18, 0.5, 0.24, 0, b.data() + 2 * kBlock,
               b.data() + 3 * kBlock, b.data() + 4 * kBlock, b.data() + 5 * kBlock);
    benchmark::DoNotOptimize(b.data());
  }
  state.counters["realtime"] = benchmark::Counter(kBlock / kRate, benchmark::Counter::kIsIterationInvariantRate);
}

void BM_PluginWorst(benchmark::State& state) {
  vhost::Library lib;
  std::string error;
  if (!lib.load(VORREL_CLAP_PATH, error)) {
    state.SkipWithError(error.c_str());
    return;
  }
  vhost::Host host;
  {
    vhost::Instance inst(lib, host, "com.OskelAudio.Vorrel");
    inst.selectAudioConfig(2);
    inst.activate(kRate, 1, kBlock);
    inst.startProcessing();
    vhost::AudioBuffers buf;
    buf.configure({2, 2, 2}, kBlock, true);
    vhost::InputEvents in;
    vhost::OutputEvents out;
    in.addParam(0, 5, 2);     // Bow
    in.addParam(0, 9, 100);   // Sympathy
    in.addParam(0, 12, 100);  // Sustain
    in.addParam(0, 20, 16);   // Voices
    in.addParam(0, 26, 2);    // x8
    for (int v = 0; v < 16; ++v) in.addMidi(0, 0x90, static_cast<uint8_t>(40 + 2 * v), 100);
    inst.process(buf, kBlock, in, out);
    in.clear();
    const clap_plugin_t* p = inst.get();
    clap_process_t pr{};
    pr.frames_count = kBlock;
    pr.audio_outputs = buf.ports();
    pr.audio_outputs_count = buf.portCount();
    pr.in_events = in.list();
    pr.out_events = out.list();
    host.audio().run([&] {
      for (auto _ : state) {
        out.clear();
        p->process(p, &pr);
      }
    });
  }
  state.counters["realtime"] = benchmark::Counter(kBlock / kRate, benchmark::Counter::kIsIterationInvariantRate);
}

BENCHMARK(BM_EngineWorst)->MinTime(2.0)->UseRealTime();
BENCHMARK(BM_PluginWorst)->MinTime(2.0)->UseRealTime();

class Reporter : public benchmark::ConsoleReporter {
 public:
  // No colour codes: scripts read the summary lines from the start of each line.
  Reporter() : ConsoleReporter(OO_Tabular) {}
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& r : runs) {
      const auto it = r.counters.find("realtime");
      if (it == r.counters.end()) continue;
      (r.benchmark_name().find("Engine") != std::string::npos ? gEngine : gPlugin) = it->second;
    }
  }
};

}  // namespace

int main(int argc, char** argv) {
  std::printf("cpu %s\n", vbench::cpuModel().c_str());
  benchmark::Initialize(&argc, argv);
  Reporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  if (gEngine > 0 && gPlugin > 0) {
    std::printf("realtime engine-worst %.3g\n", gEngine);
    std::printf("realtime plugin-worst %.3g\n", gPlugin);
    std::printf("shell overhead %.1f %%\n", 100.0 * (gEngine / gPlugin - 1.0));
  }
  return 0;
}
