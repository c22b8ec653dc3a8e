// The records of the state chunk through the real Vorrel.clap: frozen copy, track record, A/B slots, refusals.
#include "MemoryFile.h"
#include "RealPlugin.h"

#include <algorithm>
#include <cmath>
#include <cstring>

using vtest::RealPlugin;
using Bytes = std::vector<uint8_t>;

namespace {

// Offsets in a chunk without a frozen copy: head 252, track record 160, A/B record 740.
constexpr size_t kHead = 252;
constexpr size_t kTrack = kHead + 8;    // track payload
constexpr size_t kSlots = kHead + 168;  // A/B payload
constexpr size_t kSlotA = kSlots + 12;  // slot A: valid byte, then values from +8, extras from +328
constexpr size_t kSlotB = kSlots + 372;

void put32(Bytes& b, size_t at, uint32_t v) { std::memcpy(b.data() + at, &v, 4); }
void putD(Bytes& b, size_t at, double v) { std::memcpy(b.data() + at, &v, 8); }
double getD(const Bytes& b, size_t at) {
  double v;
  std::memcpy(&v, b.data() + at, 8);
  return v;
}
std::string getName(const Bytes& b, size_t at) { return reinterpret_cast<const char*>(b.data() + at); }

Bytes withSeal(const Bytes& plain, const Bytes& payload) {
  Bytes out(plain.begin(), plain.begin() + kHead);
  out.resize(kHead + 8);
  put32(out, kHead, 0x56534541);
  put32(out, kHead + 4, static_cast<uint32_t>(payload.size()));
  out.insert(out.end(), payload.begin(), payload.end());
  out.insert(out.end(), plain.begin() + kHead, plain.end());
  return out;
}

Bytes sealPayload(double weight) {
  vorrel::mem::SealedMemory s{};
  s.sealedAt = 0x0123456789ABCDEFull;
  for (int i = 0; i < 40; ++i) s.modeWeights[i] = weight * (i + 1) / 40.0;
  s.cart.ink[3][7] = 2.5f;
  s.cart.touchedHour[3][7] = 490000;
  return vorrel::memfmt::encodeSealed(s);
}

void setParam(vhost::Instance& inst, uint32_t id, double v) {
  vhost::InputEvents in;
  vhost::OutputEvents out;
  in.addParam(0, id, v);
  inst.flushParams(in, out);
}

Bytes save(const vhost::Instance& inst) {
  Bytes b;
  EXPECT_TRUE(inst.saveState(b));
  return b;
}

}  // namespace

TEST_F(RealPlugin, FrozenCopySurvivesSaveAndLoadBitForBit) {
  auto a = make();
  const Bytes plain = save(*a);
  ASSERT_EQ(plain.size(), 1152u);
  const Bytes sealed = withSeal(plain, sealPayload(6.0));
  ASSERT_EQ(sealed.size(), 2648u);
  auto b = make();
  ASSERT_TRUE(b->loadState(sealed));
  EXPECT_EQ(save(*b), sealed);  // time of freezing, weights and map alike

  // A weight that is not a number refuses the copy; so does a later head-only chunk.
  Bytes bad = sealed;
  putD(bad, kHead + 8 + 16 + 8 * 5, NAN);
  ASSERT_TRUE(b->loadState(bad));
  EXPECT_EQ(save(*b).size(), 1152u);
  ASSERT_TRUE(b->loadState(sealed));
  ASSERT_TRUE(b->loadState(Bytes(sealed.begin(), sealed.begin() + kHead)));
  EXPECT_EQ(save(*b), plain);  // "Init", no frozen copy, empty slots
}

TEST_F(RealPlugin, TrackRecordIsCutClampedAndEachValueFallsBackAlone) {
  auto inst = make();
  Bytes chunk = save(*inst);
  std::memset(chunk.data() + kTrack + 4, 'p', 64);   // a preset name with no end
  std::memset(chunk.data() + kTrack + 68, 'q', 48);  // a track name with no end
  chunk[kTrack + 116] = 0;                           // Program Change off
  chunk[kTrack + 117] = 1;                           // MPE pressure
  putD(chunk, kTrack + 120, 5.0);                    // tilt above every preset's
  putD(chunk, kTrack + 128, 40.0);                   // stretch that would make the resonators unstable
  ASSERT_TRUE(inst->loadState(chunk));
  Bytes back = save(*inst);
  EXPECT_EQ(getName(back, kTrack + 4), std::string(63, 'p'));
  EXPECT_EQ(getName(back, kTrack + 68), std::string(47, 'q'));
  EXPECT_EQ(back[kTrack + 116], 0);
  EXPECT_EQ(back[kTrack + 117], 1);
  EXPECT_EQ(getD(back, kTrack + 120), 1.2);
  EXPECT_EQ(getD(back, kTrack + 128), 3.0);

  // One value that is not finite takes its own default; names, switches and the other extras stay.
  putD(chunk, kTrack + 136, INFINITY);
  putD(chunk, kTrack + 144, NAN);
  ASSERT_TRUE(inst->loadState(chunk));
  back = save(*inst);
  EXPECT_EQ(getName(back, kTrack + 4), std::string(63, 'p'));
  EXPECT_EQ(back[kTrack + 116], 0);
  EXPECT_EQ(back[kTrack + 117], 1);
  EXPECT_EQ(getD(back, kTrack + 120), 1.2);
  EXPECT_EQ(getD(back, kTrack + 136), 0.0);
  EXPECT_EQ(getD(back, kTrack + 144), 1.4);
}

TEST_F(RealPlugin, SlotRecordIsReadDefensively) {
  auto inst = make();
  Bytes chunk = save(*inst);
  chunk[kSlots + 4] = 7;  // an active-slot byte that once indexed past the slots
  put32(chunk, kSlots + 8, 20);
  chunk[kSlotB] = 1;
  for (int i = 0; i < 29; ++i) putD(chunk, kSlotB + 8 + 8 * i, 100.0 + i);
  putD(chunk, kSlotB + 328 + 24, 2.5);  // drive
  ASSERT_TRUE(inst->loadState(chunk));
  Bytes back = save(*inst);
  EXPECT_EQ(back[kSlots + 4], 1);
  EXPECT_EQ(back[kSlotB], 1);
  EXPECT_EQ(getD(back, kSlotB + 8 + 8 * 19), 119.0);
  EXPECT_EQ(getD(back, kSlotB + 8 + 8 * 20), 0.0);  // beyond the record's count
  EXPECT_EQ(getD(back, kSlotB + 328 + 24), 2.5);

  // Inside the count, a value that is not finite takes the parameter's default; slot B is kept whole.
  putD(chunk, kSlotA + 8, NAN);
  putD(chunk, kSlotB + 328, INFINITY);  // tilt
  ASSERT_TRUE(inst->loadState(chunk));
  back = save(*inst);
  EXPECT_EQ(getD(back, kSlotA + 8), 62.0);  // Imprint's default
  EXPECT_EQ(back[kSlotB], 1);
  EXPECT_EQ(getD(back, kSlotB + 8 + 8 * 19), 119.0);
  EXPECT_EQ(getD(back, kSlotB + 328), 0.35);
  EXPECT_EQ(getD(back, kSlotB + 328 + 24), 2.5);
}

TEST_F(RealPlugin, ValuesWhoseLowBytesSpellTheTagRoundTrip) {
  // 40.0000102889358 and 3000.00065849189: the low 32 bits are "VORL".
  auto collide = [](double near) {
    uint64_t bits;
    std::memcpy(&bits, &near, 8);
    bits = (bits & 0xFFFFFFFF00000000ull) | 0x564F524Cull;
    double v;
    std::memcpy(&v, &bits, 8);
    return v;
  };
  auto a = make();
  setParam(*a, 0, collide(40.0));
  setParam(*a, 14, collide(3000.0));
  setParam(*a, 28, 33);
  const Bytes saved = save(*a);
  auto b = make();
  ASSERT_TRUE(b->loadState(saved));
  for (uint32_t i = 0; i < 29; ++i) EXPECT_EQ(a->paramValue(i), b->paramValue(i)) << i;
  EXPECT_NEAR(b->paramValue(0), 40.0000102889358, 1e-12);
  EXPECT_EQ(save(*b), saved);
}

// 20 values, then the tag, the size and the records; the preset name holds the tag's bytes at offset 240, where
// this program's 29 values end. The layout, not the first bytes that spell the tag, says where the list ends.
TEST_F(RealPlugin, TwentyValuesAreReadByTheLayoutWhateverTheNameHolds) {
  const Bytes plain = save(*make());
  Bytes chunk(plain.size() - 72);  // everything behind the list moves 72 bytes down
  std::memcpy(chunk.data(), plain.data(), 8 + 8 * 20);
  std::memcpy(chunk.data() + 8 + 8 * 20, plain.data() + 240, plain.size() - 240);
  const std::string name = std::string(48, 'n') + "LROV";
  std::memcpy(chunk.data() + kTrack + 4 - 72, name.c_str(), name.size() + 1);
  put32(chunk, 172, 1200);
  put32(chunk, 176, 825);
  chunk[kSlotB - 72] = 1;
  putD(chunk, kSlotB - 72 + 8, 77.0);
  auto b = make();
  setParam(*b, 2, 10.0);
  setParam(*b, 20, 5.0);
  ASSERT_TRUE(b->loadState(chunk));
  EXPECT_EQ(b->paramValue(2), 55.0);
  EXPECT_EQ(b->paramValue(20), 5.0);  // beyond the list: as it was
  const Bytes back = save(*b);
  EXPECT_EQ(getName(back, kTrack + 4), name);
  EXPECT_EQ(back[244], 0xB0);  // 1200
  EXPECT_EQ(back[kSlotB], 1);
  EXPECT_EQ(getD(back, kSlotB + 8), 77.0);
}

TEST_F(RealPlugin, ScanStopsAtARecordRunningPastTheEnd) {
  auto inst = make();
  Bytes chunk = withSeal(save(*inst), sealPayload(3.0));
  std::memcpy(chunk.data() + 1496 + kTrack + 4, "Kept", 5);
  Bytes broken = chunk;
  const uint8_t tail[] = {'X', 'X', 'X', 'V', 0xE8, 0x03, 0, 0, 1, 2, 3};  // claims 1000 bytes, holds 3
  broken.insert(broken.end(), std::begin(tail), std::end(tail));
  ASSERT_TRUE(inst->loadState(broken));
  EXPECT_EQ(save(*inst), chunk);
}

TEST_F(RealPlugin, LoadingAChunkAsksTheHostForOneValuesRescan) {
  auto a = make();
  setParam(*a, 3, 80);
  const Bytes saved = save(*a);
  auto b = make();
  host.clearCalls();
  ASSERT_TRUE(b->loadState(saved));
  EXPECT_EQ(host.countCalls("params.rescan " + std::to_string(CLAP_PARAM_RESCAN_VALUES)), 1);
  EXPECT_EQ(b->paramValue(3), 80.0);
  host.clearCalls();
  EXPECT_FALSE(b->loadState(Bytes(saved.begin(), saved.begin() + 7)));
  EXPECT_TRUE(host.calls().empty());
}
