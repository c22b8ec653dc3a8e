// What the player carved is never wiped unasked, through the real Vorrel.clap and our host in other processes: a
// bounce at any render speed, a killed render at Speed x100, a clock ten years ahead with and without a library.
#include "Directories.h"
#include "MachineMemory.h"
#include "MemoryFile.h"
#include "MemoryLibrary.h"
#include "MidiFile.h"
#include "RealPlugin.h"

#include <signal.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>
#include <utility>

using vtest::RealPlugin;
using namespace vorrel::mem;

namespace {

bool privateShm() { return std::getenv("VORREL_TEST_PRIVATE_SHM") != nullptr; }
uint64_t nowSec() { return static_cast<uint64_t>(std::time(nullptr)); }

// A format-0 MIDI file at 120 bpm (480 ticks a quarter, about 1 ms a tick): the notes in turn, each on for
// `gate` ticks and the next `apart` ticks after the last (both below 128: one-byte delta times).
std::string writeNotes(const std::vector<uint8_t>& notes, uint8_t apart, uint8_t gate) {
  std::vector<uint8_t> track;
  for (size_t i = 0; i < notes.size(); ++i)
    for (uint8_t b : {uint8_t(i ? apart - gate : 0), uint8_t{0x90}, notes[i], uint8_t{100}, gate, uint8_t{0x80},
                      notes[i], uint8_t{0}})
      track.push_back(b);
  return vtest::writeMidiFile("/tmp/vorrel-keep-" + std::to_string(::getpid()) + ".mid", std::move(track));
}

// Starts our host with these arguments and extra environment entries; returns its pid.
pid_t startHost(const std::vector<std::string>& args, const std::vector<std::string>& env = {}) {
  const pid_t child = ::fork();
  if (child == 0) {
    for (const auto& e : env) ::putenv(const_cast<char*>(e.c_str()));
    std::vector<char*> argv{const_cast<char*>(VORREL_HOST_PATH)};
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    ::execv(VORREL_HOST_PATH, argv.data());
    ::_exit(127);
  }
  return child;
}

int waitHost(pid_t child) {
  int status = -1;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool eventually(const std::function<bool()>& done, int ms) {
  for (int waited = 0; waited < ms; waited += 10) {
    if (done()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return done();
}

double inkSum(const MemoryState& s) {
  double t = 0.0;
  for (const auto& row : s.cart.ink)
    for (float c : row) t += c;
  return t;
}

}  // namespace

TEST_F(RealPlugin, ABounceCarvesTheSameAtEveryRenderSpeed) {
  if (!privateShm()) GTEST_SKIP() << "needs a private /dev/shm (run as root through isolated.sh)";
  // 600 notes 3 ms apart: even at 20x the ring of 64 would be passed between two idle calls of 20 ms.
  std::vector<uint8_t> notes;
  uint32_t lcg = 12345;
  for (int i = 0; i < 600; ++i) {
    lcg = lcg * 1103515245u + 12345u;
    notes.push_back(static_cast<uint8_t>(48 + (lcg >> 16) % 25));
  }
  const std::string midi = writeNotes(notes, 3, 2);
  MachineMemory m(machineSegmentName(), defaultStoreDir());
  ASSERT_TRUE(m.open(nowSec()));
  double carved[3] = {};
  int cells[3] = {};
  const char* paces[3] = {"1", "10", "100"};
  for (int i = 0; i < 3; ++i) {
    ASSERT_TRUE(m.wipe(nowSec()));
    ASSERT_EQ(waitHost(startHost({"render", vtest::clapPath(), "--midi", midi, "--pace", paces[i], "--tail", "0.2",
                                  "--out", "/dev/null"})),
              0);
    MemoryState s{};
    ASSERT_TRUE(m.load(s));
    carved[i] = inkSum(s);
    for (const auto& row : s.cart.touchedHour)
      for (uint32_t h : row) cells[i] += h != 0;
  }
  std::remove(midi.c_str());
  std::printf("ink carved at 1x %.4f, 10x %.4f, 100x %.4f; cells %d %d %d\n", carved[0], carved[1], carved[2], cells[0],
              cells[1], cells[2]);
  EXPECT_GT(cells[0], 120);  // 599 intervals over 144 cells
  for (int i = 1; i < 3; ++i) {
    EXPECT_NEAR(carved[i], carved[0], 1e-4 * carved[0]) << paces[i];
    EXPECT_EQ(cells[i], cells[0]) << paces[i];
  }
  m.close(nowSec());
}

TEST_F(RealPlugin, AKilledRenderDoesNotLeaveTheMachineFast) {
  if (!privateShm()) GTEST_SKIP() << "needs a private /dev/shm (run as root through isolated.sh)";
  MachineMemory m(machineSegmentName(), defaultStoreDir());
  ASSERT_TRUE(m.open(nowSec()));
  const std::string midi = writeNotes({48, 55}, 120, 100);
  const pid_t render = startHost({"render", vtest::clapPath(), "--midi", midi, "--speed", "100", "--pace", "1",
                                  "--tail", "60", "--out", "/dev/null"});
  MemoryState s{};
  auto rawLive = [&] {
    int n = 0;
    for (auto& sl : m.segment()->slots) n += std::atomic_ref<uint32_t>(sl.live).load() == 1;
    return n;
  };
  // The render's plug-in plays; its Speed handle holds a slot but is not counted as an instance.
  EXPECT_TRUE(eventually([&] { return m.load(s) && s.pace == 100.0 && rawLive() == 3; }, 5000));
  EXPECT_EQ(m.liveSlots(), 2);
  ::kill(render, SIGKILL);
  waitHost(render);
  std::remove(midi.c_str());
  ASSERT_TRUE(m.load(s));
  EXPECT_EQ(s.pace, 100.0);  // nobody has looked yet
  auto inst = make();        // the next instance's idle duties put the Speed back
  EXPECT_TRUE(eventually([&] { return m.load(s) && s.pace == 1.0; }, 3000));
  m.close(nowSec());
}

TEST_F(RealPlugin, AClockTenYearsAheadNeverErasesWithoutABackupNorFreezesForgetting) {
  if (!privateShm()) GTEST_SKIP() << "needs a private /dev/shm (run as root through isolated.sh)";
  if (::geteuid() != 0) GTEST_SKIP() << "needs root for a read-only bind mount";
  MachineMemory m(machineSegmentName(), defaultStoreDir());
  ASSERT_TRUE(m.open(nowSec()));
  ASSERT_TRUE(m.withMachine(nowSec(), [](MemoryState& s) {
    s.modeWeights[3] = 8.0;
    s.cart.ink[0][7] = 4.0f;
  }));
  const std::string library = memoriesDir();
  std::filesystem::create_directories(library);
  ASSERT_EQ(::mount(library.c_str(), library.c_str(), nullptr, MS_BIND, nullptr), 0);
  ASSERT_EQ(::mount(nullptr, library.c_str(), nullptr, MS_BIND | MS_REMOUNT | MS_RDONLY, nullptr), 0);

  // Another process whose clock runs ten years ahead plays for a second.
  const std::string midi = writeNotes({48, 55, 60}, 120, 100);
  const std::vector<std::string> aheadEnv = {"LD_PRELOAD=" VORREL_CLOCK_SHIM_PATH, "VORREL_CLOCK_SHIFT=315360000",
                                             "ASAN_OPTIONS=verify_asan_link_order=0"};
  const std::vector<std::string> bounce = {"render", vtest::clapPath(), "--midi", midi,    "--pace",
                                           "1",      "--tail",          "0.5",    "--out", "/dev/null"};
  ASSERT_EQ(waitHost(startHost(bounce, aheadEnv)), 0);
  MemoryState s{};
  ASSERT_TRUE(m.load(s));
  EXPECT_NEAR(s.modeWeights[3], 8.0, 1e-3);  // no backup could be written: the forgetting waited
  EXPECT_TRUE(listMemoryNames(library).empty());

  ASSERT_EQ(::umount(library.c_str()), 0);
  ASSERT_EQ(waitHost(startHost(bounce, aheadEnv)), 0);
  std::remove(midi.c_str());
  ASSERT_TRUE(m.load(s));
  EXPECT_LT(s.modeWeights[3], 1e-6);  // ten years forget everything, but only behind a backup
  const auto names = listMemoryNames(library);
  ASSERT_EQ(names.size(), 1u);
  MemoryFileHeader h;
  MemoryFileBodyV1 body;
  MemoryCartV1 cart;
  ASSERT_TRUE(vorrel::memfmt::loadMemoryFile(library + "/" + names[0] + ".bin", h, body, cart, nullptr, nullptr));
  EXPECT_NEAR(body.modeWeights[3], 8.0, 1e-3);
  EXPECT_NEAR(cart.ink[0][7], 4.0f, 1e-3);

  // Back on the right clock, the date ten years ahead counts as now: forgetting goes on from today.
  EXPECT_GT(s.lastUpdate, nowSec() + 86400);
  auto inst = make();
  EXPECT_TRUE(eventually([&] { return m.load(s) && s.lastUpdate <= nowSec() + 5; }, 3000));
  m.close(nowSec());
}
