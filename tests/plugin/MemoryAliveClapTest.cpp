// The memory heard through the real Vorrel.clap: one process plays, another hears it; the file outlives both.
#include "Directories.h"
#include "MachineMemory.h"
#include "MemoryFile.h"
#include "MidiFile.h"
#include "OwnSegment.h"
#include "RealPlugin.h"

#include <boost/interprocess/shared_memory_object.hpp>

#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <thread>
#include <utility>

using vtest::RealPlugin;
using namespace vorrel::mem;
namespace memfmt = vorrel::memfmt;

namespace {

constexpr double kRate = 48000.0;
constexpr uint32_t kBlock = 512;

uint64_t nowSec() { return static_cast<uint64_t>(std::time(nullptr)); }

// A format-0 MIDI file at 120 bpm: C3 and G3 in turn, a quarter note each, `count` notes.
std::string writeFifths(int count) {
  std::vector<uint8_t> track;
  for (int i = 0; i < count; ++i) {
    const uint8_t note = i % 2 ? 55 : 48;
    for (uint8_t b : {uint8_t{0x00}, uint8_t{0x90}, note, uint8_t{110}, uint8_t{0x83}, uint8_t{0x60}, uint8_t{0x80},
                      note, uint8_t{0}})
      track.push_back(b);  // on at once, off 480 ticks later
  }
  return vtest::writeMidiFile("/tmp/vorrel-fifths-" + std::to_string(::getpid()) + ".mid", std::move(track));
}

int runHost(const std::vector<std::string>& args) {
  const pid_t child = ::fork();
  if (child == 0) {
    std::vector<char*> argv{const_cast<char*>(VORREL_HOST_PATH)};
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    ::execv(VORREL_HOST_PATH, argv.data());
    ::_exit(127);
  }
  int status = -1;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Energy of x at frequency f (Goertzel).
double energyAt(const std::vector<float>& x, double f) {
  const double w = 2.0 * M_PI * f / kRate;
  double s1 = 0, s2 = 0;
  for (float v : x) {
    const double s0 = v + 2.0 * std::cos(w) * s1 - s2;
    s2 = s1;
    s1 = s0;
  }
  return (s1 * s1 + s2 * s2 - 2.0 * std::cos(w) * s1 * s2) / static_cast<double>(x.size());
}

struct Heard {
  std::vector<float> main;
  double wearRms = 0.0;
};

// One C3 held for a second on the three-bus layout: Main left, and how loud "Wear" is.
Heard listen(vhost::Instance& inst) {
  Heard h;
  vhost::AudioBuffers buf;
  buf.configure({2, 2, 2}, kBlock, false);
  vhost::InputEvents in;
  vhost::OutputEvents out;
  double wear = 0.0;
  inst.activate(kRate, 1, kBlock);
  inst.startProcessing();
  for (int b = 0; b < 94; ++b) {
    in.clear();
    if (b == 0) in.addMidi(0, 0x90, 48, 100);
    inst.process(buf, kBlock, in, out);
    for (uint32_t i = 0; i < kBlock; ++i) {
      h.main.push_back(static_cast<float>(buf.sample(0, 0, i)));
      wear += buf.sample(2, 0, i) * buf.sample(2, 0, i);
    }
  }
  inst.stopProcessing();
  inst.deactivate();
  h.wearRms = std::sqrt(wear / static_cast<double>(h.main.size()));
  return h;
}

}  // namespace

TEST_F(RealPlugin, AFifthPlayedInOneProcessIsHeardInAnotherAndOutlivesBoth) {
  if (!vtest::ownSegment()) GTEST_SKIP() << "needs a segment of its own (run through isolated.sh)";
  auto b = make();
  ASSERT_TRUE(b->selectAudioConfig(2));
  MachineMemory m(machineSegmentName(), defaultStoreDir());
  ASSERT_TRUE(m.open(nowSec()));
  ASSERT_TRUE(m.wipe(nowSec()));
  const Heard before = listen(*b);
  EXPECT_LT(before.wearRms, 1e-6);
  const uint64_t g0 = m.memoryGeneration();

  // Another process plays 40 seconds of fifths at Speed x100.
  const std::string midi = writeFifths(80);
  ASSERT_EQ(runHost({"render", vtest::clapPath(), "--midi", midi, "--speed", "100", "--out", "/dev/null"}), 0);
  std::remove(midi.c_str());
  MemoryState s{};
  ASSERT_TRUE(m.load(s));
  EXPECT_GT(m.memoryGeneration(), g0);
  EXPECT_GT(s.cart.ink[0][7], 1.0f);
  EXPECT_GT(s.cart.ink[7][5], 1.0f);
  EXPECT_EQ(s.pace, 1.0);  // the render put the Speed back

  const Heard after = listen(*b);
  EXPECT_GT(after.wearRms, 1e-3);
  const double fifth = 440.0 * std::pow(2.0, (55 - 69) / 12.0);  // G3, no partial of C3
  std::printf("wear rms %.3g -> %.3g, energy at G3 %.3g -> %.3g\n", before.wearRms, after.wearRms,
              energyAt(before.main, fifth), energyAt(after.main, fifth));
  EXPECT_GT(energyAt(after.main, fifth), 4.0 * energyAt(before.main, fifth));

  // The player's process wrote the file when its instance closed; a machine without the segment starts from it.
  MemoryFileHeader h;
  MemoryFileBodyV1 body;
  MemoryCartV1 cart;
  ASSERT_TRUE(memfmt::loadMemoryFile(m.storePath(), h, body, cart, nullptr, nullptr));
  EXPECT_EQ(cart.ink[0][7], s.cart.ink[0][7]);
  b.reset();
  m.close(nowSec());
  boost::interprocess::shared_memory_object::remove(machineSegmentName().c_str());
  auto c = make();
  MachineMemory again(machineSegmentName(), defaultStoreDir());
  ASSERT_TRUE(again.open(nowSec()));
  ASSERT_TRUE(again.load(s));
  EXPECT_NEAR(s.cart.ink[0][7], cart.ink[0][7], 1e-3);
  again.close(nowSec());
}

TEST_F(RealPlugin, TheHostsTrackNameIsPublishedAndFollowed) {
  if (!vtest::ownSegment()) GTEST_SKIP() << "needs a segment of its own (run through isolated.sh)";
  host.setTrackName("Drums");
  auto inst = make();
  MachineMemory m(machineSegmentName(), defaultStoreDir());
  ASSERT_TRUE(m.open(nowSec()));
  auto published = [&](const std::string& want) {
    for (int tries = 0; tries < 200; ++tries) {
      for (int slot = 0; slot < kNumSlots; ++slot) {
        InstancePayload p{};
        if (slot != m.slotIndex() && m.readSlot(slot, p) && want == p.trackName) return true;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
  };
  EXPECT_TRUE(published("Drums"));
  host.setTrackName("Keys");
  inst->trackInfoChanged();
  EXPECT_TRUE(published("Keys"));
  m.close(nowSec());
}
