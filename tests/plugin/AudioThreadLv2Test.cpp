// The LV2 run() of the real Vorrel.lv2 never allocates and never locks, at any block length.
#include "AllocCounter.h"
#include "Lv2Host.h"
#include "Lv2Path.h"
#include "MutexCounter.h"
#include "RealPlugin.h"

#include <random>

using vtest::RealPlugin;

TEST_F(RealPlugin, Lv2RunNeverAllocatesOrLocks) {
  vtest::usePrivateLv2Path();
  lv2h::World world;
  const LilvPlugin* plugin = world.plugin("urn:oskelaudio:vorrel");
  ASSERT_NE(plugin, nullptr);
  lv2h::Instance inst(world, plugin, 48000.0, 1024);
  ASSERT_TRUE(inst.ok());
  // Announces 256 frames and then runs up to 1024, with Main only: the twins switched off.
  lv2h::Instance narrow(world, plugin, 48000.0, 256, false);
  ASSERT_TRUE(narrow.ok());
  inst.activate();
  narrow.activate();
  std::mt19937 rng(7);
  long allocations = -1;
  long locks = 0;
  std::vector<lv2h::Instance::Midi> events;
  events.reserve(16);
  host.audio().run([&] {
    vtest::AllocScope scope;
    if (vtest::mutexCountingAvailable()) vtest::startMutexCount();
    for (int block = 0; block < 400; ++block) {
      events.clear();
      const uint32_t n = block % 40 == 0 ? 1 : 1 + rng() % 1024;
      const auto at = [&](uint32_t k) { return std::min(n - 1, k); };
      const auto key = static_cast<uint8_t>(36 + rng() % 60);
      if (block % 3 == 0) events.push_back({at(0), {0x90, key, 100}, 3});
      if (block % 3 == 1) events.push_back({at(1), {0xA0, key, 70}, 3});
      if (block % 5 == 0) events.push_back({at(2), {0xD0, 90, 0}, 2});
      if (block % 4 == 0) events.push_back({at(n / 2), {0x80, key, 0}, 3});
      if (block % 50 == 10) events.push_back({at(3), {0xB0, 64, 127}, 3});
      if (block % 50 == 30) events.push_back({at(3), {0xB0, 64, 0}, 3});
      if (block == 200) events.push_back({at(4), {0xB0, 123, 0}, 3});
      if (block == 300) events.push_back({at(4), {0xC0, 12, 0}, 2});  // taken by the idle timer, not here
      inst.setControlIndex(rng() % 29, static_cast<float>(rng() % 200));
      inst.setControlIndex(26, static_cast<float>(block % 3));
      inst.run(n, events);
      narrow.run(n, events);
    }
    if (vtest::mutexCountingAvailable()) locks = vtest::stopMutexCount();
    allocations = scope.count();
  });
  EXPECT_EQ(allocations, 0);
  EXPECT_EQ(locks, 0);
  inst.deactivate();
  narrow.deactivate();
}
