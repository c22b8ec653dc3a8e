// The audio thread of the real Vorrel.clap never allocates and never locks while it plays.
#include "AllocCounter.h"
#include "Directories.h"
#include "MachineMemory.h"
#include "MutexCounter.h"
#include "OwnSegment.h"
#include "RealPlugin.h"

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <mutex>
#include <random>
#include <thread>

using vtest::RealPlugin;

TEST(Counters, SeeWhatTheyCount) {
  static int* volatile kept = nullptr;
  vtest::AllocScope scope;
  kept = new int(3);
  EXPECT_EQ(scope.count(), 1);
  delete kept;
  if (vtest::mutexCountingAvailable()) {
    vtest::startMutexCount();
    std::mutex m;
    m.lock();
    m.unlock();
    EXPECT_EQ(vtest::stopMutexCount(), 1);
  }
}

TEST_F(RealPlugin, ProcessNeverAllocatesOrLocks) {
  auto inst = make();
  ASSERT_TRUE(inst->selectAudioConfig(2));
  ASSERT_TRUE(inst->activate(48000, 1, 1024));
  ASSERT_TRUE(inst->startProcessing());
  vhost::AudioBuffers buf;
  buf.configure({2, 2, 2}, 1024, false);
  vhost::InputEvents in;
  vhost::OutputEvents out;
  std::mt19937 rng(1);
  // With a private segment, watch the idle thread carve what is played while the audio thread reads it.
  const bool watch = vtest::ownSegment();
  vorrel::mem::MachineMemory machine(vorrel::mem::machineSegmentName(), vorrel::mem::defaultStoreDir());
  const auto now = static_cast<uint64_t>(std::time(nullptr));
  if (watch) {
    ASSERT_TRUE(machine.open(now));
  }
  const uint64_t generation = machine.memoryGeneration();
  long allocations = -1;
  long locks = 0;
  host.audio().run([&] {
    const clap_plugin_t* p = inst->get();
    vtest::AllocScope scope;
    if (vtest::mutexCountingAvailable()) vtest::startMutexCount();
    for (int block = 0; block < 400; ++block) {
      in.clear();
      out.clear();
      const uint32_t n = 64 + rng() % 960;
      if (block % 3 == 0) in.addMidi(0, 0x90, static_cast<uint8_t>(36 + rng() % 60), 100);
      if (block % 4 == 0) in.addMidi(1, 0x80, static_cast<uint8_t>(36 + rng() % 60), 0);
      if (block % 50 == 10) in.addMidi(2, 0xB0, 64, 127);
      if (block % 50 == 30) in.addMidi(2, 0xB0, 64, 0);
      if (block == 200) in.addMidi(3, 0xB0, 123, 0);
      in.addParam(n / 2, rng() % 29, static_cast<double>(rng() % 200));
      in.addParam(n / 2, 26, static_cast<double>(block % 3));
      clap_process_t pr{};
      pr.frames_count = n;
      pr.audio_outputs = buf.ports();
      pr.audio_outputs_count = buf.portCount();
      pr.in_events = in.list();
      pr.out_events = out.list();
      p->process(p, &pr);
      if (block % 50 == 49) std::this_thread::sleep_for(std::chrono::milliseconds(25));  // idle calls carve
    }
    if (vtest::mutexCountingAvailable()) locks = vtest::stopMutexCount();
    allocations = scope.count();
  });
  EXPECT_EQ(allocations, 0);
  EXPECT_EQ(locks, 0);
  if (watch) {
    EXPECT_GT(machine.memoryGeneration(), generation);
  }
  machine.close(now);
}
