// The control thread's idle call under heavy playing (eight instances in three processes), and what the audio
// thread pays to rebuild the trace when the memory generation moves every block. Runs on a private /dev/shm.
#include "ClapHost.h"
#include "CpuModel.h"
#include "Directories.h"
#include "MachineMemory.h"
#include "PrivateMachine.h"
#include "Vorrel.h"

#include <benchmark/benchmark.h>

#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr double kRate = 48000.0;
constexpr uint32_t kBlock = 480;  // two blocks per 20 ms idle period

using vbench::threadSeconds;

// One instance driven by hand: blocks of audio with a note every 60 ms, and its idle call timed.
struct Player {
  explicit Player(vhost::Host& host)
      : plug(std::make_unique<Vorrel>(vfw::InstanceInfo{nullptr, host.clap()})), clap(plug->ClapPlugin()) {
    clap->init(clap);
    plug->StopIdleTimer();
    plug->SelectLayout(2);
    clap->activate(clap, kRate, 1, kBlock);
    clap->start_processing(clap);
    buffers.configure({2, 2, 2}, kBlock, false);
  }
  ~Player() {
    clap->deactivate(clap);
    plug->StopIdleTimer();
  }
  void play(int step) {
    in.clear();
    out.clear();
    if (step % 3 == 0) in.addMidi(0, 0x90, static_cast<uint8_t>(40 + (step * 7) % 36), 100);
    if (step % 3 == 2) in.addMidi(0, 0x80, static_cast<uint8_t>(40 + ((step - 2) * 7) % 36), 0);
    clap_process_t pr{};
    pr.frames_count = kBlock;
    pr.audio_outputs = buffers.ports();
    pr.audio_outputs_count = buffers.portCount();
    pr.in_events = in.list();
    pr.out_events = out.list();
    clap->process(clap, &pr);
  }
  double idleMicroseconds() {
    const auto t0 = Clock::now();
    plug->OnIdle();
    return std::chrono::duration<double, std::micro>(Clock::now() - t0).count();
  }

  std::unique_ptr<Vorrel> plug;
  const clap_plugin_t* clap;
  vhost::AudioBuffers buffers;
  vhost::InputEvents in;
  vhost::OutputEvents out;
};

// Every 20 ms: two blocks per instance, then each instance's idle call. Returns the idle times.
std::vector<double> playFor(int instances, double seconds) {
  vhost::Host host;
  std::vector<std::unique_ptr<Player>> players;
  for (int i = 0; i < instances; ++i) players.push_back(std::make_unique<Player>(host));
  std::vector<double> times;
  const auto end = Clock::now() + std::chrono::duration<double>(seconds);
  auto next = Clock::now();
  for (int step = 0; Clock::now() < end; ++step) {
    for (auto& p : players) {
      p->play(2 * step);
      p->play(2 * step + 1);
    }
    for (auto& p : players) times.push_back(p->idleMicroseconds());
    next += std::chrono::milliseconds(20);
    std::this_thread::sleep_until(next);
  }
  return times;
}

void BM_OnIdleEightInstancesThreeProcesses(benchmark::State& state) {
  const double seconds = std::getenv("VORREL_BENCH_SECONDS") ? std::atof(std::getenv("VORREL_BENCH_SECONDS")) : 60.0;
  std::vector<double> all;
  for (auto _ : state) {
    int pipes[2][2];
    pid_t kids[2];
    for (int k = 0; k < 2; ++k) {
      if (::pipe(pipes[k]) != 0) return state.SkipWithError("pipe");
      kids[k] = ::fork();
      if (kids[k] == 0) {
        const std::vector<double> t = playFor(3, seconds);
        const size_t n = t.size();
        (void)!::write(pipes[k][1], &n, sizeof n);
        (void)!::write(pipes[k][1], t.data(), n * sizeof(double));
        ::_exit(0);
      }
      ::close(pipes[k][1]);
    }
    std::vector<double> mine = playFor(2, seconds);
    all.insert(all.end(), mine.begin(), mine.end());
    for (int k = 0; k < 2; ++k) {
      size_t n = 0;
      if (::read(pipes[k][0], &n, sizeof n) == sizeof n) {
        std::vector<double> t(n);
        size_t got = 0;
        while (got < n * sizeof(double)) {
          const ssize_t r = ::read(pipes[k][0], reinterpret_cast<char*>(t.data()) + got, n * sizeof(double) - got);
          if (r <= 0) break;
          got += static_cast<size_t>(r);
        }
        all.insert(all.end(), t.begin(), t.end());
      }
      ::close(pipes[k][0]);
      ::waitpid(kids[k], nullptr, 0);
    }
  }
  std::sort(all.begin(), all.end());
  if (all.empty()) return state.SkipWithError("no idle calls");
  state.counters["median_us"] = all[all.size() / 2];
  state.counters["p99_us"] = all[all.size() * 99 / 100];
  state.counters["worst_us"] = all.back();
  state.counters["calls"] = static_cast<double>(all.size());
  std::printf(
      "OnIdle over %.0f s, 8 instances in 3 processes: median %.1f us, 99th %.1f us, worst %.1f us (%zu calls)\n",
      seconds, all[all.size() / 2], all[all.size() * 99 / 100], all.back(), all.size());
}

// Audio thread: a 64-frame block with no voices, with and without a memory generation that moves every block.
void traceBlocks(benchmark::State& state, bool moving) {
  vhost::Host host;
  Player p(host);
  vorrel::mem::MachineMemory other(vorrel::mem::machineSegmentName(), vorrel::mem::defaultStoreDir());
  const auto now = static_cast<uint64_t>(std::time(nullptr));
  if (!other.open(now)) return state.SkipWithError("no machine memory");
  clap_process_t pr{};
  pr.frames_count = 64;
  pr.audio_outputs = p.buffers.ports();
  pr.audio_outputs_count = p.buffers.portCount();
  pr.in_events = p.in.list();
  pr.out_events = p.out.list();
  double w = 0.0;
  for (auto _ : state) {
    if (moving) other.withMachine(now, [&](vorrel::mem::MemoryState& s) { s.modeWeights[3] = (w += 1e-3); });
    // Thread CPU time: the machine may be shared, and only this thread's work is wanted.
    const double t0 = threadSeconds();
    p.clap->process(p.clap, &pr);
    state.SetIterationTime(threadSeconds() - t0);
  }
  other.close(now);
}

// Control thread: one instance's idle call while nothing is played, with a memory change the file lacks. A
// memory.bin that is a FIFO cannot be written: the call must cost what it costs with a healthy file, not a
// write attempt each time (thread CPU time; the healthy file is the baseline of the same run).
void quietIdle(benchmark::State& state, bool fifo) {
  const std::string store = vorrel::mem::defaultStoreDir();
  vorrel::mem::ensureDirRecursive(store);
  const std::string file = store + "/memory.bin";
  std::remove(file.c_str());
  if (fifo && ::mkfifo(file.c_str(), 0644) != 0) return state.SkipWithError("mkfifo");
  vhost::Host host;
  Player p(host);
  vorrel::mem::MachineMemory other(vorrel::mem::machineSegmentName(), store);
  const auto now = static_cast<uint64_t>(std::time(nullptr));
  if (!other.open(now)) return state.SkipWithError("no machine memory");
  other.withMachine(now, [](vorrel::mem::MemoryState& s) { s.modeWeights[3] = 1.0; });
  p.plug->OnIdle();  // the one write (or attempt) of this change
  for (auto _ : state) {
    const double t0 = threadSeconds();
    p.plug->OnIdle();
    state.SetIterationTime(threadSeconds() - t0);
  }
  other.close(now);
  std::remove(file.c_str());
}

void BM_QuietIdleHealthyFile(benchmark::State& state) { quietIdle(state, false); }
void BM_QuietIdleFifoFile(benchmark::State& state) { quietIdle(state, true); }

void BM_BlockGenerationMoves(benchmark::State& state) { traceBlocks(state, true); }
void BM_BlockGenerationStill(benchmark::State& state) { traceBlocks(state, false); }

BENCHMARK(BM_OnIdleEightInstancesThreeProcesses)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QuietIdleHealthyFile)->UseManualTime()->MinTime(1.0)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_QuietIdleFifoFile)->UseManualTime()->MinTime(1.0)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BlockGenerationMoves)->UseManualTime()->MinTime(1.0)->Unit(benchmark::kNanosecond);
BENCHMARK(BM_BlockGenerationStill)->UseManualTime()->MinTime(1.0)->Unit(benchmark::kNanosecond);

}  // namespace

int main(int argc, char** argv) {
  std::printf("CPU: %s\n", vbench::cpuModel().c_str());
  if (vbench::privateMachine().empty()) {
    std::fprintf(stderr, "idle_bench needs root for a private /dev/shm (it must not carve into the real memory)\n");
    return 1;
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  return 0;
}
