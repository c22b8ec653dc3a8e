// Fuzz target: memory files and frozen copies from arbitrary bytes must parse safely and sanitise to finite values.
#include "Engraving.h"
#include "MemoryFile.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

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
