// Little-endian byte layout and bounds-checked reads of the byte chunk.
#include "ByteChunk.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

using vfw::ByteChunk;

TEST(ByteChunk, WritesLittleEndian) {
  ByteChunk c;
  c.PutU32(0x564F524C);
  c.PutI32(-2);
  c.PutDouble(1.0);
  ASSERT_EQ(c.Size(), 16u);
  const uint8_t expect[] = {0x4C, 0x52, 0x4F, 0x56, 0xFE, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0, 0xF0, 0x3F};
  EXPECT_EQ(std::memcmp(c.Data(), expect, sizeof expect), 0);
}

TEST(ByteChunk, ReadsBackAndRefusesPastTheEnd) {
  ByteChunk c;
  c.PutU32(7);
  c.PutDouble(-3.25);
  c.PutU8(9);
  uint32_t u = 0;
  double d = 0;
  uint8_t b = 0;
  int pos = c.GetU32(u, 0);
  pos = c.GetDouble(d, pos);
  pos = c.GetU8(b, pos);
  EXPECT_EQ(u, 7u);
  EXPECT_EQ(d, -3.25);
  EXPECT_EQ(b, 9);
  EXPECT_EQ(pos, 13);
  u = 42;
  EXPECT_EQ(c.GetU32(u, 10), -1);
  EXPECT_EQ(u, 42u);  // untouched on failure
  EXPECT_EQ(c.GetU32(u, -1), -1);
  char buf[4];
  EXPECT_EQ(c.GetBytes(buf, 4, 12), -1);
  EXPECT_EQ(c.GetBytes(buf, 1, 12), 13);
  EXPECT_FALSE(c.Has(13, 1));
  EXPECT_TRUE(c.Has(13, 0));
  EXPECT_FALSE(c.Has(0, SIZE_MAX));
}
