// Fuzz target: memory files and frozen copies from arbitrary bytes must parse safely and sanitise to finite values.
#include "Biographies.h"
#include "Engraving.h"
#include "MemoryFile.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

using namespace vorrel::mem;
using namespace vorrel::memfmt;

namespace {

void require(bool ok) {
  if (!ok) std::abort();
}

void checkFinite(const MemoryState& s) {
  for (double w : s.modeWeights) require(std::isfinite(w) && w >= 0.0 && w <= 20.0);
  for (const auto& row : s.cart.ink)
    for (float v : row) require(std::isfinite(v) && v >= 0.0f && v <= 20.0f);
  require(std::isfinite(s.forgetDays) && std::isfinite(s.engravePct) && std::isfinite(s.pace));
  require(std::isfinite(s.yours.yoursSeconds));
  require(std::memchr(s.name.text, 0, sizeof s.name.text) != nullptr);
}

}  // namespace

extern const int kFuzzMutations = 30000;

// Files of every version and frozen copies of both versions, as the real writers make them.
std::vector<std::vector<uint8_t>> fuzzSeeds() {
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

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  MemoryFileHeader h{};
  MemoryFileBodyV1 body{};
  MemoryCartV1 cart{};
  MemoryNameV3 name{};
  MemoryYours yours{};
  if (decodeMemoryFile(data, size, h, body, cart, &name, &yours)) {
    require(h.version >= 1 && h.version <= 5 && size >= fileLengthFor(h.version));
    MemoryState s = defaultState();
    setBody(s, body);
    s.cart = cart;
    s.name = name;
    s.yours = yours;
    s.lastUpdate = h.savedAt;
    sanitizeState(s);
    checkFinite(s);
    // What engraving and forgetting do next must stay finite too.
    InkEvent e;
    e.interval = 7;
    e.weight = 2;
    e.heldSeconds = 1;
    ops::engrave(s, &e, 1, modePitchClasses(0), h.savedAt + 100);
    checkFinite(s);
  }
  SealedMemory sealed{};
  if (decodeSealed(data, size, sealed)) {
    require(size == kSealedLength || size == kSealedLengthV1);
    MemoryState s = defaultState();
    std::memcpy(s.modeWeights, sealed.modeWeights, sizeof s.modeWeights);
    s.cart = sealed.cart;
    sanitizeState(s);
    checkFinite(s);
  }
  return 0;
}
