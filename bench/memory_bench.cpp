// Machine memory latencies: the lock-free load, one engrave under the lock (1 and 8 processes), and attaching.
#include "CpuModel.h"
#include "MachineMemory.h"

#include <boost/interprocess/shared_memory_object.hpp>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

using namespace vorrel::mem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr uint64_t kNow = 1'800'000'000;

struct Stats {
  double median, p99;
};

Stats stats(std::vector<double>& ns) {
  std::sort(ns.begin(), ns.end());
  return {ns[ns.size() / 2], ns[ns.size() * 99 / 100]};
}

double since(Clock::time_point t0) { return std::chrono::duration<double, std::nano>(Clock::now() - t0).count(); }

void engraveLoop(const std::string& seg, const std::string& store, int ops) {
  MachineMemory m(seg, store);
  if (!m.open(kNow)) ::_exit(1);
  const auto pcs = modePitchClasses(0);
  InkEvent e;
  e.interval = 7;
  e.weight = 0.01;
  e.fromNote = 60;
  for (int i = 0; i < ops; ++i) m.engrave(&e, 1, pcs, kNow);
  ::_exit(0);
}

}  // namespace

int main() {
  std::printf("cpu %s\n", vbench::cpuModel().c_str());
  const std::string seg = "vorrel_bench_" + std::to_string(::getpid());
  char tmpl[] = "/tmp/vorrel-bench-XXXXXX";
  const std::string store = ::mkdtemp(tmpl);
  boost::interprocess::shared_memory_object::remove(seg.c_str());
  MachineMemory m(seg, store);
  if (!m.open(kNow)) return 1;
  const auto pcs = modePitchClasses(0);
  InkEvent e;
  e.interval = 4;
  e.weight = 0.01;
  e.fromNote = 62;

  for (int contenders : {0, 7}) {
    std::vector<pid_t> kids;
    for (int k = 0; k < contenders; ++k) {
      const pid_t p = ::fork();
      if (p == 0) engraveLoop(seg, store, 20000);
      kids.push_back(p);
    }
    std::vector<double> loads, engraves;
    MemoryState s;
    for (int i = 0; i < 20000; ++i) {
      auto t0 = Clock::now();
      m.load(s);
      loads.push_back(since(t0));
      if (i % 10 == 0) {
        t0 = Clock::now();
        m.engrave(&e, 1, pcs, kNow);
        engraves.push_back(since(t0));
      }
    }
    for (pid_t p : kids) ::waitpid(p, nullptr, 0);
    const Stats l = stats(loads), g = stats(engraves);
    std::printf("%d process%s: load median %.0f ns p99 %.0f ns; engrave median %.0f ns p99 %.0f ns\n", contenders + 1,
                contenders ? "es" : "", l.median, l.p99, g.median, g.p99);
  }

  std::vector<double> opens;
  for (int i = 0; i < 200; ++i) {
    MachineMemory other(seg, store);
    const auto t0 = Clock::now();
    other.open(kNow);
    opens.push_back(since(t0));
    other.close(kNow);
  }
  const Stats o = stats(opens);
  std::printf("attach to an existing segment: median %.1f us p99 %.1f us\n", o.median / 1000, o.p99 / 1000);
  m.close(kNow);
  boost::interprocess::shared_memory_object::remove(seg.c_str());
  std::filesystem::remove_all(store);
  return 0;
}
