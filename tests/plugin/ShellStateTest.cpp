// The head of the state chunk byte by byte, and the short-list, long-list and damaged-chunk reading rules.
#include "Vorrel.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

using vfw::ByteChunk;

namespace {

constexpr uint32_t kTag = Vorrel::kChunkTag;

ByteChunk chunkWith(int nValues, double value, bool size = true, int w = 1200, int h = 825) {
  ByteChunk c;
  c.PutU32(kTag);
  c.PutU32(1);
  for (int i = 0; i < nValues; ++i) c.PutDouble(value);
  c.PutU32(kTag);
  if (size) {
    c.PutI32(w);
    c.PutI32(h);
  }
  return c;
}

}  // namespace

TEST(StateChunk, HeadLayout) {
  Vorrel v(vfw::InstanceInfo{});
  v.GetParam(kLevel)->Set(-3.5);
  ByteChunk c;
  ASSERT_TRUE(v.SerializeState(c));
  ASSERT_EQ(c.Size(), 1152u);  // head, track record, A/B record
  uint32_t u = 0;
  c.GetU32(u, 0);
  EXPECT_EQ(u, kTag);
  EXPECT_EQ(std::memcmp(c.Data(), "LROV", 4), 0);  // little-endian "VORL"
  c.GetU32(u, 4);
  EXPECT_EQ(u, 1u);
  double d = 0;
  c.GetDouble(d, 8 + 8 * kLevel);
  EXPECT_EQ(d, -3.5);
  c.GetDouble(d, 8 + 8 * kEngrave);
  EXPECT_EQ(d, 120.0);
  c.GetU32(u, 240);
  EXPECT_EQ(u, kTag);
  int32_t i = 0;
  c.GetI32(i, 244);
  EXPECT_EQ(i, 960);
  c.GetI32(i, 248);
  EXPECT_EQ(i, 660);
}

TEST(StateChunk, ShortListSetsOnlyWhatItHolds) {
  Vorrel v(vfw::InstanceInfo{});
  const ByteChunk c = chunkWith(20, 1.0);
  EXPECT_EQ(v.UnserializeState(c, 0), static_cast<int>(c.Size()));
  EXPECT_EQ(v.GetParam(kImprint)->Value(), 1.0);
  EXPECT_EQ(v.GetParam(kGlide)->Value(), 1.0);   // index 19
  EXPECT_EQ(v.GetParam(kVoices)->Value(), 8.0);  // index 20 kept
  EXPECT_EQ(v.GetParam(kEngrave)->Value(), 120.0);
  EXPECT_EQ(v.storedEditorWidth(), 1200);
}

TEST(StateChunk, LongListSkipsExtraValuesAndStillFindsTheSize) {
  Vorrel v(vfw::InstanceInfo{});
  ByteChunk c = chunkWith(31, 2.0, true, 1500, 1031);
  c.PutU32(0x56585858);  // an unknown record, skipped by its length
  c.PutU32(4);
  c.PutU32(0);
  EXPECT_EQ(v.UnserializeState(c, 0), static_cast<int>(c.Size()));
  EXPECT_EQ(v.GetParam(kEngrave)->Value(), 2.0);
  EXPECT_EQ(v.GetParam(kVoices)->Value(), 2.0);
  EXPECT_EQ(v.storedEditorWidth(), 1500);
  EXPECT_EQ(v.storedEditorHeight(), 1031);
}

TEST(StateChunk, RefusedChunksChangeNothing) {
  Vorrel v(vfw::InstanceInfo{});
  ByteChunk wrong = chunkWith(29, 1.0);
  wrong.Data()[0] = 'X';
  EXPECT_EQ(v.UnserializeState(wrong, 0), -1);
  ByteChunk tiny;
  tiny.PutU32(kTag);
  tiny.PutU8(1);
  EXPECT_EQ(v.UnserializeState(tiny, 0), -1);
  EXPECT_EQ(v.UnserializeState(chunkWith(0, 0.0), 0), -1);  // tag straight after the version
  EXPECT_EQ(v.GetParam(kImprint)->Value(), 62.0);
}

TEST(StateChunk, ValuesAreSnappedClampedOrIgnored) {
  Vorrel v(vfw::InstanceInfo{});
  ByteChunk c;
  c.PutU32(kTag);
  c.PutU32(1);
  for (int i = 0; i < kNumParams; ++i) {
    double value = 50.0;
    if (i == kBody) value = 3.6;
    if (i == kImprint) value = NAN;
    if (i == kLevel) value = 1e9;
    c.PutDouble(value);
  }
  c.PutU32(kTag);
  c.PutI32(50);  // outside 100..8000: neither side is applied
  c.PutI32(700);
  ASSERT_GT(v.UnserializeState(c, 0), 0);
  EXPECT_EQ(v.GetParam(kBody)->Value(), 4.0);
  EXPECT_EQ(v.GetParam(kImprint)->Value(), 62.0);
  EXPECT_EQ(v.GetParam(kLevel)->Value(), 12.0);
  EXPECT_EQ(v.GetParam(kVoices)->Value(), 16.0);
  EXPECT_EQ(v.storedEditorWidth(), 960);
  EXPECT_EQ(v.storedEditorHeight(), 660);
}

TEST(StateChunk, ARecordRunningPastTheEndEndsTheScan) {
  Vorrel v(vfw::InstanceInfo{});
  ByteChunk c = chunkWith(29, 1.0);
  const int afterSize = static_cast<int>(c.Size());
  c.PutU32(0x564C4E4B);  // VLNK claiming more than is there
  c.PutU32(1000);
  c.PutZeros(10);
  EXPECT_EQ(v.UnserializeState(c, 0), afterSize);
  ByteChunk noTag = chunkWith(29, 1.0, false);
  noTag.Resize(noTag.Size() - 4);  // no tag, no size
  EXPECT_EQ(v.UnserializeState(noTag, 0), 240);
}
