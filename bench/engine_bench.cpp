// Engine speed: worst, typical and idle scenes as real-time factors, with a per-stage breakdown.
#include "CpuModel.h"
#include "Engine.h"
#include "Ladder.h"
#include "NoiseExciters.h"

#include <benchmark/benchmark.h>
#include <xmmintrin.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

using namespace vorrel::dsp;

namespace {

constexpr double kRate = 48000.0;
constexpr int kBlock = 512;

struct Scene {
  std::unique_ptr<VorrelEngine> engine = std::make_unique<VorrelEngine>();
  std::vector<double> buf = std::vector<double>(6 * kBlock);
  bool pairs = false;
  int limit = 16;

  void block() {
    double* b = buf.data();
    engine->process(b, b + kBlock, kBlock, limit, 340, 0.18, 0.5, 0.24, 0, pairs ? b + 2 * kBlock : nullptr,
                    pairs ? b + 3 * kBlock : nullptr, pairs ? b + 4 * kBlock : nullptr,
                    pairs ? b + 5 * kBlock : nullptr);
  }
};

VoiceParams bowed(int oversampling) {
  VoiceParams p;
  p.exciterFamily = 2;
  p.exciterVariant = 0;
  p.sustain = 1.0;
  p.sympathy = 1.0;
  p.oversampling = oversampling;
  p.releaseMs = 8000;
  return p;
}

// A trace with weight on every mode, so partnersInto yields three partners.
void richTrace(VorrelEngine& e) {
  for (int i = 0; i < kMaxModes; ++i) e.trace[static_cast<size_t>(i)] = 2.0 + std::sin(i * 1.7);
  e.traceStamp = 1;
}

std::unique_ptr<Scene> worst() {
  auto s = std::make_unique<Scene>();
  s->engine->prepare(kRate);
  richTrace(*s->engine);
  s->engine->setBareEnabled(true);
  s->pairs = true;
  for (int v = 0; v < 16; ++v) s->engine->noteOn(40 + 2 * v, 100, bowed(8), 16);
  for (int i = 0; i < 20; ++i) s->block();  // past the attack
  return s;
}

std::unique_ptr<Scene> typical() {
  auto s = std::make_unique<Scene>();
  s->engine->prepare(kRate);
  richTrace(*s->engine);
  s->limit = 8;
  for (int v = 0; v < 8; ++v) s->engine->noteOn(48 + 3 * v, 100, bowed(1), 8);
  for (int i = 0; i < 20; ++i) s->block();
  return s;
}

std::unique_ptr<Scene> idle() {
  auto s = std::make_unique<Scene>();
  s->engine->prepare(kRate);
  return s;
}

std::map<std::string, double> gFactors;
std::map<std::string, double> gStageUs;   // CPU microseconds per 512-sample block
std::map<std::string, double> gKernelUs;  // CPU microseconds per kernel run
double gMovingUs = 0.0;                   // the effects with every smoothed setting gliding
double gExciterKernelUs = 0.0;            // the noise kernel and the one-voice exciter, timed beside the stage
double gOneVoiceUs = 0.0;

void runScene(benchmark::State& state, std::unique_ptr<Scene> (*make)(), const char* name) {
  auto scene = make();
  for (auto _ : state) {
    scene->block();
    benchmark::DoNotOptimize(scene->buf.data());
  }
  state.SetItemsProcessed(state.iterations() * kBlock);
  state.counters["realtime"] = benchmark::Counter(kBlock / kRate, benchmark::Counter::kIsIterationInvariantRate);
  (void)name;
}

void BM_Worst(benchmark::State& s) { runScene(s, worst, "worst"); }
void BM_Typical(benchmark::State& s) { runScene(s, typical, "typical"); }
void BM_Idle(benchmark::State& s) { runScene(s, idle, "idle"); }

// Stages of the worst case, each timed alone for one voice (or the whole ladder pass / all chains) per block.
Voice& firstVoice(Scene& s) { return const_cast<Voice&>(s.engine->voice(0)); }

// The engine's batched pass over the worst case's 32 noise exciters, per voice, timed in turn with the noise
// kernel drawing as many values and with the one-voice path, so a busy machine slows all three alike.
void BM_StageExciter(benchmark::State& state) {
  auto s = worst();
  Voice* lanes[32];
  double* out[32];
  for (int i = 0; i < 32; ++i) {
    lanes[i] = const_cast<Voice*>(i < 16 ? &s->engine->voice(i) : &s->engine->twin(i - 16));
    out[i] = lanes[i]->excite;
  }
  NoiseSource noise;
  noise.seed(3);
  std::vector<double> drawn(kBlock);
  double stageUs = 0, kernelUs = 0, oneUs = 0;
  using Clock = std::chrono::steady_clock;
  auto us = [](Clock::time_point a, Clock::time_point b) {
    return std::chrono::duration<double, std::micro>(b - a).count();
  };
  for (auto _ : state) {
    const auto t0 = Clock::now();
    exciteNoise(lanes, out, 32, kBlock);
    const auto t1 = Clock::now();
    for (int i = 0; i < 32; ++i) noise.gaussBlock(drawn.data(), kBlock);
    const auto t2 = Clock::now();
    for (Voice* v : lanes) v->exciterBlock(v->xin, kBlock);
    const auto t3 = Clock::now();
    benchmark::DoNotOptimize(out[0]);
    benchmark::DoNotOptimize(drawn.data());
    stageUs += us(t0, t1) / 32;
    kernelUs += us(t1, t2) / 32;
    oneUs += us(t2, t3) / 32;
  }
  state.counters["stage_us"] = benchmark::Counter(stageUs, benchmark::Counter::kAvgIterations);
  state.counters["kernel_us"] = benchmark::Counter(kernelUs, benchmark::Counter::kAvgIterations);
  state.counters["one_voice_us"] = benchmark::Counter(oneUs, benchmark::Counter::kAvgIterations);
}

// 40 body modes on an exciter the engine has already run: a voice whose partners are silent (sympathy 0)
// skips its partner banks.
void BM_StageBody(benchmark::State& state) {
  auto s = std::make_unique<Scene>();
  s->engine->prepare(kRate);
  richTrace(*s->engine);
  VoiceParams p = bowed(8);
  p.sympathy = 0.0;
  s->engine->noteOn(60, 100, p, 16);
  Voice& v = firstVoice(*s);
  v.retune();
  v.excitedAhead = true;
  for (auto _ : state) {
    v.renderPre(0, kBlock);
    benchmark::DoNotOptimize(v.xin);
  }
}

void BM_StageBodyAndPartners(benchmark::State& state) {
  auto s = worst();
  Voice& v = firstVoice(*s);
  v.excitedAhead = true;
  for (auto _ : state) {
    v.renderPre(0, kBlock);
    benchmark::DoNotOptimize(v.xin);
  }
}

void BM_StageLadderX8(benchmark::State& state) {
  auto s = worst();
  Voice* lanes[32];
  for (int i = 0; i < 16; ++i) {
    lanes[i] = const_cast<Voice*>(&s->engine->voice(i));
    lanes[16 + i] = const_cast<Voice*>(&s->engine->twin(i));
  }
  for (auto _ : state) {
    runLadders(lanes, 32, kBlock);
    benchmark::DoNotOptimize(lanes[0]->yOut);
  }
}

void BM_StageEffects(benchmark::State& state) {
  EffectChain chains[3];
  for (auto& c : chains) c.prepare(kRate);
  std::vector<double> l(kBlock, 0.1), r(kBlock, 0.1);
  for (auto _ : state) {
    for (auto& c : chains) c.process(l.data(), r.data(), kBlock, 340, 0.18, 0.5, 0.24, 0);
    benchmark::DoNotOptimize(l.data());
  }
}

// The three chains with every smoothed setting moving in every block (level, both mixes, a new delay time):
// against BM_StageEffects, what smoothing costs when a knob turns all the time.
void BM_StageEffectsMoving(benchmark::State& state) {
  EffectChain chains[3];
  for (auto& c : chains) c.prepare(kRate);
  std::vector<double> l(kBlock, 0.1), r(kBlock, 0.1);
  int flip = 0;
  for (auto _ : state) {
    flip ^= 1;
    for (auto& c : chains)
      c.process(l.data(), r.data(), kBlock, flip ? 340 : 400, flip ? 0.18 : 0.5, 0.5, flip ? 0.24 : 0.5,
                flip ? 0.0 : -6.0);
    benchmark::DoNotOptimize(l.data());
  }
}

// A long decaying tail against a loud note, both with flush-to-zero as the shell sets it for each block:
// the tail must not cost more once its resonator states would have gone subnormal.
void tailScene(benchmark::State& state, bool decayed) {
  const unsigned saved = _mm_getcsr();
  _mm_setcsr(saved | 0x8040);  // FTZ and DAZ
  auto s = std::make_unique<Scene>();
  s->engine->prepare(kRate);
  // Held mallet notes: the strike is over within milliseconds and the body rings down with nothing
  // feeding it, so after two minutes its resonator states sit where subnormals would be.
  VoiceParams p = bowed(1);
  p.exciterFamily = 1;
  p.bodyDecay = 3000;
  for (int v = 0; v < 8; ++v) s->engine->noteOn(40 + 5 * v, 127, p, 16);
  const int settle = decayed ? 11250 : 20;  // 120 s or 0.2 s
  for (int i = 0; i < settle; ++i) s->block();
  for (auto _ : state) {
    s->block();
    benchmark::DoNotOptimize(s->buf.data());
  }
  _mm_setcsr(saved);
}
void BM_LoudNotes(benchmark::State& s) { tailScene(s, false); }
void BM_DecayedTail(benchmark::State& s) { tailScene(s, true); }
BENCHMARK(BM_LoudNotes);
BENCHMARK(BM_DecayedTail);

// Bare kernels, so the stages can be judged against what this machine does at best.
void BM_KernelResonators(benchmark::State& state) {
  auto s = worst();
  ModeBank bank = firstVoice(*s).bodyBank();
  std::vector<double> x(kBlock);
  for (int i = 0; i < kBlock; ++i) x[static_cast<size_t>(i)] = std::sin(i * 0.37);
  for (auto _ : state) benchmark::DoNotOptimize(resonatorKernel(bank, x.data(), kBlock));
}

void BM_KernelLadder(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(ladderKernel(32, kBlock * 16));
}

void BM_KernelNoise(benchmark::State& state) {
  NoiseSource noise;
  noise.seed(3);
  double out[kBlock];
  for (auto _ : state) {
    noise.gaussBlock(out, kBlock);
    benchmark::DoNotOptimize(out);
  }
}

BENCHMARK(BM_KernelResonators);
BENCHMARK(BM_KernelLadder);
BENCHMARK(BM_KernelNoise);
BENCHMARK(BM_StageExciter)->MinTime(1.0);
BENCHMARK(BM_StageBody);
BENCHMARK(BM_StageBodyAndPartners);
BENCHMARK(BM_StageLadderX8);
BENCHMARK(BM_StageEffects);
BENCHMARK(BM_StageEffectsMoving);
BENCHMARK(BM_Worst)->MinTime(2.0);
BENCHMARK(BM_Typical)->MinTime(1.0);
BENCHMARK(BM_Idle)->MinTime(1.0);

class SummaryReporter : public benchmark::ConsoleReporter {
 public:
  // No colour codes: scripts read the summary lines from the start of each line.
  SummaryReporter() : ConsoleReporter(OO_Tabular) {}
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& r : runs) {
      const std::string name = r.benchmark_name();
      if (name == "BM_StageEffectsMoving") {
        gMovingUs = r.GetAdjustedCPUTime() * 1e-3;
        continue;
      }
      if (name.rfind("BM_StageExciter", 0) == 0) {
        gStageUs["Exciter"] = r.counters.at("stage_us");
        gExciterKernelUs = r.counters.at("kernel_us");
        gOneVoiceUs = r.counters.at("one_voice_us");
        continue;
      }
      if (name.rfind("BM_Stage", 0) == 0) gStageUs[name.substr(8)] = r.GetAdjustedCPUTime() * 1e-3;
      if (name.rfind("BM_Kernel", 0) == 0) gKernelUs[name.substr(9)] = r.GetAdjustedCPUTime() * 1e-3;
      const auto it = r.counters.find("realtime");
      if (it == r.counters.end()) continue;
      if (name.find("Worst") != std::string::npos) gFactors["worst"] = it->second;
      if (name.find("Typical") != std::string::npos) gFactors["typical"] = it->second;
      if (name.find("Idle") != std::string::npos) gFactors["idle"] = it->second;
    }
  }
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  SummaryReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::printf("cpu %s\n", vbench::cpuModel().c_str());
  // The worst case per block: 32 voices excite, 32 bodies ring, 16 voices drive partners, one ladder pass, 3 chains.
  if (gStageUs.size() == 5 && gKernelUs.size() == 3) {
    const double budget = kBlock / kRate * 1e6;
    const double exciter = 32 * gStageUs["Exciter"];
    const double body = 32 * gStageUs["Body"];
    const double partners = 16 * (gStageUs["BodyAndPartners"] - gStageUs["Body"]);
    const double ladder = gStageUs["LadderX8"];
    const double effects = gStageUs["Effects"];
    // Kernel rates: mode-samples, voice sub-steps and Gaussians per microsecond.
    const double modeRate = kMaxModes * kBlock / gKernelUs["Resonators"];
    const double stepRate = 32.0 * kBlock * 16 / gKernelUs["Ladder"];
    const double noiseRate = kBlock / gKernelUs["Noise"];
    std::printf("kernel resonators %.0f M mode-samples/s\n", modeRate);
    std::printf("kernel ladder     %.2f ns per voice sub-step\n", 1e3 / stepRate);
    std::printf("kernel noise      %.0f M Gaussians/s\n", noiseRate);
    std::printf("worst-case stages per %d-sample block (%.0f us of audio):\n", kBlock, budget);
    struct Stage {
      const char* name;
      double us, work, kernelRate;  // work in kernel units per block
    };
    const Stage stages[] = {{"resonators", body, 32.0 * kMaxModes * kBlock, modeRate},
                            {"partners", partners, 16.0 * 3 * kMaxModes * kBlock, modeRate},
                            {"exciter", exciter, 32.0 * kBlock, kBlock / gExciterKernelUs},
                            {"ladder", ladder, 32.0 * kBlock * 16, stepRate},
                            {"effects", effects, 0.0, 0.0}};
    for (const Stage& st : stages) {
      std::printf("  stage %-10s %8.1f us  %5.1f %% of real time", st.name, st.us, 100.0 * st.us / budget);
      if (st.kernelRate > 0 && st.us > 0)
        std::printf("  runs at %5.1f %% of its kernel's rate", 100.0 * st.work / st.us / st.kernelRate);
      std::printf("\n");
    }
    // The exciter's kernel is the one timed in turn with it; the one-voice path is what renderChunk runs.
    std::printf("  exciter one voice at a time: %.2f us per voice, %5.1f %% of its kernel's rate (kernel %.2f us)\n",
                gOneVoiceUs, 100.0 * gExciterKernelUs / gOneVoiceUs, gExciterKernelUs);
  }
  if (gMovingUs > 0.0 && gStageUs.count("Effects") && gFactors.count("worst")) {
    const double worstUs = kBlock / kRate * 1e6 / gFactors["worst"];
    const double extra = gMovingUs - gStageUs["Effects"];
    std::printf(
        "smoothing: effects %.1f us per block while every setting glides, %.1f us steady: %+.1f us, "
        "%.2f %% of the worst case's %.0f us\n",
        gMovingUs, gStageUs["Effects"], extra, 100.0 * extra / worstUs, worstUs);
  }
  for (const char* k : {"worst", "typical", "idle"})
    if (gFactors.count(k))
      std::printf(gFactors[k] >= 100 ? "realtime %s %.0f\n" : "realtime %s %.3g\n", k, gFactors[k]);
  return 0;
}
