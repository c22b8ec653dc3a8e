// Segments written by hand: random bytes in the published memory (with an even sequence) and in the header's
// bookkeeping; every operation must repair them and never publish a non-finite or out-of-range value.
#include "SegmentReplay.h"

#include "MachineMemory.h"
#include "MemoryFile.h"
#include "SeqLock.h"

#include <boost/interprocess/shared_memory_object.hpp>

#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>

using namespace vorrel::mem;

namespace {

constexpr uint64_t kNow = 1'800'000'000;

void require(bool ok, const char* what) {
  if (ok) return;
  std::fprintf(stderr, "segment replay: %s\n", what);
  std::abort();
}

bool inRange(double v, double lo, double hi) { return std::isfinite(v) && v >= lo && v <= hi; }

// The raw published record, as any reader of any build would take it.
void requirePublishedIsSound(MachineSegment& seg) {
  MemoryState s;
  require(seqRead(seg.seq, seg.state, s), "published state unreadable");
  for (double w : s.modeWeights) require(inRange(w, 0, 20), "mode weight");
  for (const auto& row : s.cart.ink)
    for (float v : row) require(inRange(v, 0, 20), "ink cell");
  require(inRange(s.forgetDays, 1, 90) && inRange(s.engravePct, 0, 200), "settings");
  require(inRange(s.pace, 1, 100) && std::isfinite(s.yours.yoursSeconds) && s.yours.yoursSeconds >= 0, "pace");
  require(std::memchr(s.name.text, 0, sizeof s.name.text) != nullptr, "name");
}

double oddDouble(std::mt19937_64& rng) {
  const double odd[] = {NAN, INFINITY, -INFINITY, 1e308, -1e308, 5e-324, -0.0, 1e9, -7};
  return odd[rng() % 9];
}

void scribble(std::mt19937_64& rng, void* where, size_t bytes) {
  auto* p = static_cast<uint8_t*>(where);
  for (size_t i = 0; i < bytes; ++i) p[i] = static_cast<uint8_t>(rng());
  // Doubles that are not numbers where doubles sit, now and then.
  for (size_t at = 0; at + 8 <= bytes; at += 8)
    if (rng() % 4 == 0) {
      const double v = oddDouble(rng);
      std::memcpy(p + at, &v, 8);
    }
}

}  // namespace

long replaySegments(uint64_t seed, int rounds) {
  const std::string name = "vorrel_fuzz_" + std::to_string(::getpid());
  const auto store = std::filesystem::temp_directory_path() / ("vorrel-fuzz-store-" + std::to_string(::getpid()));
  boost::interprocess::shared_memory_object::remove(name.c_str());
  std::mt19937_64 rng(seed);
  long runs = 0;
  {
    MachineMemory m(name, store.string());
    require(m.open(kNow), "open");
    MachineSegment& seg = *m.segment();
    const auto pcs = modePitchClasses(0);
    for (int round = 0; round < rounds; ++round, ++runs) {
      const uint64_t now = kNow + static_cast<uint64_t>(round) * 600;
      scribble(rng, &seg.state, sizeof seg.state);
      shared(seg.seq).store((rng() % 1000) * 2);  // even, sometimes 0
      if (round % 3 == 0) {
        scribble(rng, &seg.disk, sizeof seg.disk);
        scribble(rng, &seg.knownFiles, sizeof seg.knownFiles);
        seg.aliveAt = now - rng() % 100000;
      }
      MemoryState s;
      if (m.load(s)) require(inRange(s.modeWeights[static_cast<size_t>(rng() % kModes)], 0, 20), "load");
      InkEvent events[3];
      for (auto& e : events) {
        e.interval = rng() % 2 ? static_cast<double>(rng() % 25) - 12 : oddDouble(rng);
        e.weight = rng() % 2 ? static_cast<double>(rng() % 300) / 100 : oddDouble(rng);
        e.fromNote = static_cast<int32_t>(rng());
        e.heldSeconds = rng() % 2 ? 1.0 : oddDouble(rng);
      }
      switch (rng() % 5) {
        case 0:
          require(m.engrave(events, 3, pcs, now), "engrave");
          break;
        case 1:
          require(m.setMachineConfig(oddDouble(rng), oddDouble(rng), now), "config");
          break;
        case 2:
          require(m.setPace(oddDouble(rng), now), "pace");
          break;
        case 3: {
          MemoryState hostile;
          scribble(rng, &hostile, sizeof hostile);
          require(m.replaceMemory(hostile, now), "replace");
          break;
        }
        default:
          m.heartbeat(now);
          require(m.tick(now), "tick");
      }
      requirePublishedIsSound(seg);
      if (round % 50 == 0) {
        m.flush(now, true);
        MemoryFileHeader h;
        MemoryFileBodyV1 b;
        MemoryCartV1 c;
        if (vorrel::memfmt::loadMemoryFile(m.storePath(), h, b, c, nullptr, nullptr))
          for (double w : b.modeWeights) require(inRange(w, 0, 20), "file weight");
      }
    }
    m.close(kNow);
  }
  boost::interprocess::shared_memory_object::remove(name.c_str());
  std::filesystem::remove_all(store);
  return runs;
}
