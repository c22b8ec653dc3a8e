// The real Vorrel.clap opens the machine memory: instances of two processes meet in one slot table.
#include "MachineSegment.h"
#include "OwnSegment.h"
#include "RealPlugin.h"
#include "SegmentName.h"
#include "SeqLock.h"

#include <boost/interprocess/mapped_region.hpp>
#include <boost/interprocess/shared_memory_object.hpp>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>

using vtest::RealPlugin;
namespace bip = boost::interprocess;

namespace {

int liveSlots() {
  try {
    bip::shared_memory_object obj(bip::open_only, vorrel::mem::machineSegmentName().c_str(), bip::read_only);
    bip::mapped_region region(obj, bip::read_only);
    auto* seg = static_cast<vorrel::mem::MachineSegment*>(region.get_address());
    int n = 0;
    for (auto& s : seg->slots) n += std::atomic_ref<uint32_t>(s.live).load() == 1;
    return n;
  } catch (...) {
    return -1;
  }
}

}  // namespace

TEST_F(RealPlugin, InstancesOfTwoProcessesShareOneSlotTable) {
  if (!vtest::ownSegment()) GTEST_SKIP() << "needs a segment of its own (run through isolated.sh)";
  auto a = make();
  auto b = make();
  EXPECT_EQ(liveSlots(), 2);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    // A second process: our host rendering the demo phrase through its own instance.
    ::execl(VORREL_HOST_PATH, VORREL_HOST_PATH, "render", vtest::clapPath(), "--tail", "30", "--out", "/dev/null",
            static_cast<char*>(nullptr));
    ::_exit(127);
  }
  int seen = 0;
  for (int i = 0; i < 300 && seen < 3; ++i) {
    seen = liveSlots();
    if (seen < 3) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_EQ(seen, 3);
  a.reset();  // destroying an instance frees its slot at once
  EXPECT_EQ(liveSlots(), seen - 1);
  ::kill(child, SIGTERM);
  ::waitpid(child, nullptr, 0);
}

TEST_F(RealPlugin, AnInstanceKeepsItsSlotAliveFromTheIdleTimer) {
  if (!vtest::ownSegment()) GTEST_SKIP() << "needs a segment of its own (run through isolated.sh)";
  auto a = make();
  bip::shared_memory_object obj(bip::open_only, vorrel::mem::machineSegmentName().c_str(), bip::read_write);
  bip::mapped_region region(obj, bip::read_write);
  auto* seg = static_cast<vorrel::mem::MachineSegment*>(region.get_address());
  int mine = -1;
  for (int i = 0; i < vorrel::mem::kNumSlots; ++i)
    if (vorrel::mem::shared(seg->slots[i].live).load() == 1) mine = i;
  ASSERT_GE(mine, 0);
  vorrel::mem::shared(seg->slots[mine].heartbeat).store(1);  // as if long silent
  bool renewed = false;
  for (int i = 0; i < 100 && !renewed; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    renewed = vorrel::mem::shared(seg->slots[mine].heartbeat).load() > 1;
  }
  EXPECT_TRUE(renewed);
}
