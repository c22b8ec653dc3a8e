// Runs the fuzz target without libFuzzer: a corpus of real files and frozen copies, then seeded mutations of each;
// then shared segments written by hand.
#include "Biographies.h"
#include "Engraving.h"
#include "MemoryFile.h"
#include "SegmentReplay.h"

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

using namespace vorrel::mem;
using namespace vorrel::memfmt;

namespace {

std::vector<std::vector<uint8_t>> seedCorpus() {
  std::vector<std::vector<uint8_t>> seeds;
  MemoryFileBodyV1 body{};
  MemoryCartV1 cart{};
  MemoryNameV3 name{};
  seedFirstRun(body, cart, name, 3600 * 480000);
  body.forgetDays = 7;
  body.engravePct = 120;
  MemoryYours yours{5, 12.5};
  const std::vector<uint8_t> full = encodeMemoryFile(body, cart, 3600 * 480000, &name, &yours);
  for (uint32_t v = 1; v <= 5; ++v) {
    std::vector<uint8_t> f(full.begin(), full.begin() + static_cast<long>(fileLengthFor(v)));
    f[4] = static_cast<uint8_t>(v);
    seeds.push_back(f);
  }
  SealedMemory s{};
  s.sealedAt = 99;
  std::memcpy(s.modeWeights, body.modeWeights, sizeof s.modeWeights);
  s.cart = cart;
  const auto sealed = encodeSealed(s);
  seeds.push_back(sealed);
  std::vector<uint8_t> old(sealed.begin(), sealed.begin() + 336);
  old[0] = 1;
  seeds.push_back(old);
  return seeds;
}

}  // namespace

int main(int argc, char** argv) {
  // Real files, written by the real save path, then read back as bytes.
  const auto dir = std::filesystem::temp_directory_path() / ("vorrel-fuzz-" + std::to_string(::getpid()));
  std::vector<std::vector<uint8_t>> corpus;
  int index = 0;
  for (const auto& seed : seedCorpus()) {
    const auto path = dir / ("seed" + std::to_string(index++) + ".bin");
    std::filesystem::create_directories(dir);
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(seed.data()), static_cast<std::streamsize>(seed.size()));
    std::ifstream in(path, std::ios::binary);
    corpus.emplace_back((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  }
  std::filesystem::remove_all(dir);
  for (int i = 1; i < argc; ++i) {
    std::ifstream in(argv[i], std::ios::binary);
    corpus.emplace_back((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  }
  std::mt19937_64 rng(20261208);
  long runs = 0;
  for (const auto& seed : corpus) {
    LLVMFuzzerTestOneInput(seed.data(), seed.size());
    ++runs;
    for (int m = 0; m < 30000; ++m) {
      std::vector<uint8_t> x = seed;
      const int edits = 1 + static_cast<int>(rng() % 8);
      for (int e = 0; e < edits && !x.empty(); ++e) {
        const size_t at = rng() % x.size();
        switch (rng() % 5) {
          case 0:
            x[at] ^= static_cast<uint8_t>(1u << (rng() % 8));
            break;
          case 1:
            x[at] = static_cast<uint8_t>(rng());
            break;
          case 2:
            x.resize(at);
            break;
          case 3:
            x.insert(x.begin() + static_cast<long>(at), static_cast<uint8_t>(rng()));
            break;
          default: {
            // Eight bytes of a NaN, an infinity or a huge value where a double may sit.
            const double odd[] = {NAN, INFINITY, -INFINITY, 1e308, -1e308, 5e-324};
            const double v = odd[rng() % 6];
            if (x.size() >= 8 && at + 8 <= x.size()) std::memcpy(x.data() + at, &v, 8);
          }
        }
      }
      LLVMFuzzerTestOneInput(x.data(), x.size());
      ++runs;
    }
  }
  const long segments = replaySegments(20261208, 3000);
  std::printf("%ld inputs and %ld hand-written segments replayed, none crashed\n", runs, segments);
  return 0;
}
