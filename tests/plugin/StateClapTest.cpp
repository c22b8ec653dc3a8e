// The state extension of the real Vorrel.clap: round trips, stream pieces and refusals of junk.
#include "RealPlugin.h"

#include <cstring>
#include <random>

using vtest::RealPlugin;

namespace {

std::vector<uint8_t> le32(uint32_t v) {
  return {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
          static_cast<uint8_t>(v >> 24)};
}

void setParam(vhost::Instance& inst, uint32_t id, double v) {
  vhost::InputEvents in;
  vhost::OutputEvents out;
  in.addParam(0, id, v);
  inst.flushParams(in, out);
}

}  // namespace

TEST_F(RealPlugin, SaveLoadGivesIdenticalValuesAndBytes) {
  auto a = make();
  setParam(*a, 0, 12.5);
  setParam(*a, 4, 7);
  setParam(*a, 27, 33.3);
  std::vector<uint8_t> saved;
  ASSERT_TRUE(a->saveState(saved, 23));  // the host takes 23 bytes per write call
  auto b = make();
  ASSERT_TRUE(b->loadState(saved, 17));  // and hands back 17 bytes per read call
  for (uint32_t i = 0; i < 29; ++i) EXPECT_EQ(a->paramValue(i), b->paramValue(i)) << i;
  std::vector<uint8_t> again;
  ASSERT_TRUE(b->saveState(again));
  EXPECT_EQ(saved, again);
  ASSERT_TRUE(b->loadState(saved, 1));  // read to the end, a byte at a time
}

TEST_F(RealPlugin, EmptyAndRandomStreamsAreRefused) {
  auto inst = make();
  std::vector<uint8_t> before;
  ASSERT_TRUE(inst->saveState(before));
  EXPECT_FALSE(inst->loadState({}));
  std::mt19937 rng(3);
  for (int i = 0; i < 3; ++i) {
    std::vector<uint8_t> junk(1 << 20);
    for (auto& b : junk) b = static_cast<uint8_t>(rng());
    EXPECT_FALSE(inst->loadState(junk));
  }
  std::vector<uint8_t> after;
  ASSERT_TRUE(inst->saveState(after));
  EXPECT_EQ(before, after);
}

TEST_F(RealPlugin, ShortLongAndDamagedChunksThroughTheHost) {
  auto inst = make();
  std::vector<uint8_t> saved;
  ASSERT_TRUE(inst->saveState(saved));
  ASSERT_EQ(saved.size(), 1152u);

  // Twenty values then the tag: parameters 20..28 keep their values.
  std::vector<uint8_t> shortList(saved.begin(), saved.begin() + 8 + 8 * 20);
  for (int j = 0; j < 20; ++j) {
    const double v = 1.0;
    std::memcpy(shortList.data() + 8 + 8 * j, &v, 8);
  }
  const auto tag = le32(0x564F524C);
  shortList.insert(shortList.end(), tag.begin(), tag.end());
  setParam(*inst, 20, 5);
  ASSERT_TRUE(inst->loadState(shortList));
  EXPECT_EQ(inst->paramValue(19), 1.0);
  EXPECT_EQ(inst->paramValue(20), 5.0);

  // Thirty-one values then the tag and a size.
  std::vector<uint8_t> extra(16);
  for (int k = 0; k < 2; ++k) {
    const double v = 3.0;
    std::memcpy(extra.data() + 8 * k, &v, 8);
  }
  std::vector<uint8_t> longList = saved;
  longList.insert(longList.begin() + 240, extra.begin(), extra.end());
  ASSERT_TRUE(inst->loadState(longList));
  EXPECT_EQ(inst->paramValue(20), 8.0);

  std::vector<uint8_t> wrongTag = saved;
  wrongTag[3] = 0x00;
  EXPECT_FALSE(inst->loadState(wrongTag));
  EXPECT_FALSE(inst->loadState(std::vector<uint8_t>(saved.begin(), saved.begin() + 7)));
}
