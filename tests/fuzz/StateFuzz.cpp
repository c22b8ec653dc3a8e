// Fuzz target: any bytes handed to UnserializeState are refused or loaded, and what loads is finite, in range
// and saves to a chunk that loads back to the same bytes.
#include "MemoryFile.h"
#include "Vorrel.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

void require(bool ok) {
  if (!ok) std::abort();
}

// One instance for every input, as a host reuses a track; built once, since it opens the machine memory.
Vorrel& plug() {
  static Vorrel v(vfw::InstanceInfo{});
  return v;
}

std::vector<uint8_t> save() {
  vfw::ByteChunk c;
  require(plug().SerializeState(c));
  return {c.Data(), c.Data() + c.Size()};
}

int load(const uint8_t* data, size_t size) {
  vfw::ByteChunk c;
  c.PutBytes(data, size);
  return plug().UnserializeState(c, 0);
}

void checkInstance() {
  const Vorrel& v = plug();
  for (int i = 0; i < kNumParams; ++i) {
    const vfw::Param* p = v.GetParam(i);
    require(std::isfinite(p->Value()) && p->Value() >= p->GetMin() && p->Value() <= p->GetMax());
  }
  const vorrel::dsp::VoiceParams vp = v.snapshotVoiceParams();
  const double extras[] = {vp.tiltOffset, vp.stretch, vp.selfExcite, vp.drive};
  for (int i = 0; i < vorrel::kNumExtras; ++i)
    require(extras[i] >= vorrel::trackExtraMin(i) && extras[i] <= vorrel::trackExtraMax(i));
  const Vorrel::UndoSnap snap = v.captureSnap();
  for (const auto& slot : snap.slots)
    for (double x : slot.values) require(std::isfinite(x));
  require(snap.activeSlot == 0 || snap.activeSlot == 1);
  // The frozen copy's weights, which the trace blends in.
  for (double w : v.sealedCopy().modeWeights) require(std::isfinite(w) && w >= 0.0 && w <= vorrel::mem::kMaxWeight);
}

}  // namespace

extern const int kFuzzMutations = 20000;

// Chunks as this program writes them (plain, with a frozen copy, with slots and names), the old head-only
// format, parameter lists of 20 and 31 values, a 20-value chunk whose preset name holds the tag, and NaN inside
// the records.
std::vector<std::vector<uint8_t>> fuzzSeeds() {
  std::vector<std::vector<uint8_t>> seeds;
  std::vector<uint8_t> plain = save();
  seeds.push_back(plain);
  seeds.emplace_back(plain.begin(), plain.begin() + 252);

  vorrel::mem::SealedMemory s{};
  s.sealedAt = 1765000000;
  for (int i = 0; i < vorrel::mem::kModes; ++i) s.modeWeights[i] = 0.25 * i;
  s.cart.ink[2][5] = 3.0f;
  const std::vector<uint8_t> payload = vorrel::memfmt::encodeSealed(s);
  std::vector<uint8_t> rich(plain.begin(), plain.begin() + 252);
  const uint32_t head[] = {0x56534541, static_cast<uint32_t>(payload.size())};
  rich.insert(rich.end(), reinterpret_cast<const uint8_t*>(head), reinterpret_cast<const uint8_t*>(head) + 8);
  rich.insert(rich.end(), payload.begin(), payload.end());
  rich.insert(rich.end(), plain.begin() + 252, plain.end());
  std::memcpy(rich.data() + 1496 + 264, "Glass harmonica", 16);
  rich[1496 + 424] = 1;                     // B active
  rich[1496 + 432] = rich[1496 + 792] = 1;  // both slots hold a sound
  std::memcpy(rich.data() + 1496 + 440, rich.data() + 8, 232);
  require(load(rich.data(), rich.size()) > 0);
  seeds.push_back(save());

  for (int n : {20, 31}) {
    std::vector<uint8_t> odd(plain.begin(), plain.begin() + 8);
    for (int j = 0; j < n; ++j)
      odd.insert(odd.end(), plain.begin() + 8 + 8 * (j % 29), plain.begin() + 16 + 8 * (j % 29));
    odd.insert(odd.end(), plain.begin() + 240, plain.end());
    seeds.push_back(odd);
  }

  // 20 values and a preset name that holds the tag's bytes where this program's 29 values would end (offset 240).
  std::vector<uint8_t> named = seeds.back();
  named.erase(named.begin() + 8 + 8 * 20, named.begin() + 8 + 8 * 31);
  std::memcpy(named.data() + 192, "A preset name whose 49th character begins the : ", 48);
  std::memcpy(named.data() + 240, "LROVers", 8);
  seeds.push_back(named);

  // Values that are not numbers inside the track record and slot B.
  std::vector<uint8_t> holes = seeds[2];
  const double nan = std::nan("");
  std::memcpy(holes.data() + 1496 + 260 + 120 + 8, &nan, 8);  // stretch
  std::memcpy(holes.data() + 1496 + 792 + 8 + 8 * 6, &nan, 8);  // slot B, Body decay
  seeds.push_back(holes);
  return seeds;
}

long fuzzOwnReplays() { return 0; }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const int end = load(data, size);
  require(end == -1 || (end >= 8 && static_cast<size_t>(end) <= size));
  checkInstance();
  if (end < 0) return 0;
  const std::vector<uint8_t> first = save();
  require(load(first.data(), first.size()) == static_cast<int>(first.size()));
  require(save() == first);
  return 0;
}
