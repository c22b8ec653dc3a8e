// Runs a fuzz target without libFuzzer: its seeds, every truncation of each, seeded mutations, random bytes.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <random>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

// Supplied by the target: real inputs made by the real writers, how many mutations of each to try, and any
// replays of its own (returning how many inputs they ran).
std::vector<std::vector<uint8_t>> fuzzSeeds();
extern const int kFuzzMutations;
long fuzzOwnReplays();

namespace {

void mutate(std::vector<uint8_t>& x, std::mt19937_64& rng) {
  const int edits = 1 + static_cast<int>(rng() % 8);
  for (int e = 0; e < edits && !x.empty(); ++e) {
    const size_t at = rng() % x.size();
    switch (rng() % 6) {
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
      case 4: {
        // Four bytes copied from elsewhere: tags and lengths turn up where they do not belong.
        const size_t from = rng() % x.size();
        if (at + 4 <= x.size() && from + 4 <= x.size()) std::memmove(x.data() + at, x.data() + from, 4);
        break;
      }
      default: {
        // Eight bytes of a NaN, an infinity or a huge value where a double may sit.
        const double odd[] = {NAN, INFINITY, -INFINITY, 1e308, -1e308, 5e-324};
        const double v = odd[rng() % 6];
        if (at + 8 <= x.size()) std::memcpy(x.data() + at, &v, 8);
      }
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::vector<uint8_t>> corpus = fuzzSeeds();
  for (int i = 1; i < argc; ++i) {
    std::ifstream in(argv[i], std::ios::binary);
    corpus.emplace_back((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  }
  std::mt19937_64 rng(20261208);
  long runs = 0;
  for (const auto& seed : corpus) {
    for (size_t n = 0; n <= seed.size(); ++n, ++runs) LLVMFuzzerTestOneInput(seed.data(), n);
    for (int m = 0; m < kFuzzMutations; ++m, ++runs) {
      std::vector<uint8_t> x = seed;
      mutate(x, rng);
      LLVMFuzzerTestOneInput(x.data(), x.size());
    }
    // Random bytes, alone and behind the seed's first eight bytes (which pass the first checks).
    for (int r = 0; r < 200; ++r, ++runs) {
      std::vector<uint8_t> x(rng() % 4096);
      for (auto& b : x) b = static_cast<uint8_t>(rng());
      if (r % 2 && x.size() >= 8 && seed.size() >= 8) std::memcpy(x.data(), seed.data(), 8);
      LLVMFuzzerTestOneInput(x.data(), x.size());
    }
  }
  const long own = fuzzOwnReplays();
  std::printf("%ld inputs and %ld of the target's own replayed, none crashed\n", runs, own);
  return 0;
}
