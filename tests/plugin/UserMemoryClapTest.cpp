// Through the real Vorrel.clap in a private /dev/shm: two accounts each carve a memory of their own that the
// other cannot open, an abandoned segment of the old machine-wide name is carried over, and a foreign object
// under the user's name is left untouched.
#include "Directories.h"
#include "EnvGuard.h"
#include "MachineMemory.h"
#include "MemoryFile.h"
#include "MidiFile.h"
#include "RealPlugin.h"
#include "SeqLock.h"

#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <boost/interprocess/mapped_region.hpp>
#include <boost/interprocess/shared_memory_object.hpp>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>
#include <utility>

using vtest::RealPlugin;
using namespace vorrel::mem;
namespace bip = boost::interprocess;

namespace {

uint64_t nowSec() { return static_cast<uint64_t>(std::time(nullptr)); }

// Skips unless this process has a /dev/shm of its own and, for other accounts, is root.
bool privateShm() { return std::getenv("VORREL_TEST_PRIVATE_SHM") != nullptr; }
#define NEED_PRIVATE_SHM()                                                                                  \
  if (!privateShm() || ::geteuid() != 0)                                                                    \
  GTEST_SKIP() << "needs root and a private /dev/shm (run through isolated.sh as root): it makes segments " \
                  "under the real names and switches to other user ids"

// A format-0 MIDI file: C3 and the note `interval` above it in turn, a quarter note each at 120 bpm.
std::string writeMidi(int interval, int count) {
  std::vector<uint8_t> t;
  for (int i = 0; i < count; ++i) {
    const uint8_t note = static_cast<uint8_t>(i % 2 ? 48 + interval : 48);
    for (uint8_t b :
         {uint8_t{0}, uint8_t{0x90}, note, uint8_t{110}, uint8_t{0x83}, uint8_t{0x60}, uint8_t{0x80}, note, uint8_t{0}})
      t.push_back(b);
  }
  return vtest::writeMidiFile(
      "/tmp/vorrel-users-" + std::to_string(::getpid()) + "-" + std::to_string(interval) + ".mid", std::move(t));
}

// A forked child as another account, with its own home and without the test's segment override.
template <typename Body>
int asUser(uid_t uid, const std::string& home, Body body) {
  const pid_t child = ::fork();
  if (child == 0) {
    if (::setgroups(0, nullptr) != 0 || ::setgid(uid) != 0 || ::setuid(uid) != 0) ::_exit(120);
    ::setenv("HOME", home.c_str(), 1);
    ::setenv("XDG_DATA_HOME", (home + "/data").c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (home + "/config").c_str(), 1);
    ::unsetenv(kSegmentOverrideVar);
    body();
    ::_exit(121);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// An empty memory.bin, so no first-run memory (whose intervals would blur the checks) is seeded.
void writeEmptyMemory(const std::string& dir) {
  MemoryFileBodyV1 body{};
  body.forgetDays = 7.0;
  body.engravePct = 120.0;  // 0 would be a real setting: nothing carved
  MemoryCartV1 cart{};
  ASSERT_TRUE(vorrel::memfmt::saveMemoryFile(dir, "memory.bin", body, cart, nowSec(), nullptr, nullptr));
}

std::string bytesOf(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

TEST_F(RealPlugin, TwoAccountsEachCarveTheirOwnMemoryAndCannotOpenTheOther) {
  NEED_PRIVATE_SHM();
  const uid_t users[2] = {61001, 61002};
  const int intervals[2] = {7, 4};  // fifths for one, major thirds for the other
  char tmpl[] = "/tmp/vorrel-users-XXXXXX";
  const std::string root = ::mkdtemp(tmpl);
  ::chmod(root.c_str(), 0755);
  for (int u = 0; u < 2; ++u) {
    const std::string home = root + "/" + std::to_string(users[u]);
    writeEmptyMemory(home + "/data/OskelAudio/Vorrel");
    for (const auto& p : std::filesystem::recursive_directory_iterator(home))
      ASSERT_EQ(::chown(p.path().c_str(), users[u], users[u]), 0);
    ASSERT_EQ(::chown(home.c_str(), users[u], users[u]), 0);
    const std::string midi = writeMidi(intervals[u], 16);
    // Our host renders through the plug-in as that account: both address the account's own segment.
    const int rc = asUser(users[u], home, [&] {
      ::execl(VORREL_HOST_PATH, VORREL_HOST_PATH, "render", vtest::clapPath(), "--midi", midi.c_str(), "--out",
              "/dev/null", static_cast<char*>(nullptr));
    });
    std::remove(midi.c_str());
    ASSERT_EQ(rc, 0) << "render as " << users[u];
    struct stat st {};
    ASSERT_EQ(::stat(("/dev/shm/oa_vorrel_memory_u" + std::to_string(users[u])).c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, users[u]);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_TRUE(std::filesystem::exists(home + "/data/OskelAudio/Vorrel/memory.bin"));
  }
  for (int u = 0; u < 2; ++u) {
    // Each reads its own carving and nothing of the other's; the other's object does not open at all.
    const int rc = asUser(users[u], root + "/" + std::to_string(users[u]), [&] {
      MachineMemory mine(machineSegmentName(), defaultStoreDir());
      MemoryState s;
      if (machineSegmentName() != "oa_vorrel_memory_u" + std::to_string(users[u])) ::_exit(1);
      if (!mine.open(nowSec()) || !mine.load(s)) ::_exit(2);
      if (!(s.cart.ink[0][intervals[u]] > 0.5f) || s.cart.ink[0][intervals[1 - u]] != 0.0f) ::_exit(3);
      const std::string theirs = "oa_vorrel_memory_u" + std::to_string(users[1 - u]);
      for (auto mode : {bip::read_only, bip::read_write}) {
        try {
          bip::shared_memory_object other(bip::open_only, theirs.c_str(), mode);
          ::_exit(4);
        } catch (const bip::interprocess_exception&) {
        }
      }
      MachineMemory other(theirs, "");
      ::_exit(other.open(nowSec()) ? 5 : 0);
    });
    EXPECT_EQ(rc, 0) << "user " << users[u] << " (1 name, 2 open, 3 carving, 4/5 opened the other's)";
  }
  std::filesystem::remove_all(root);
}

TEST_F(RealPlugin, AnAbandonedSegmentOfTheOldNameIsCarriedOverALiveOneLeftAlone) {
  NEED_PRIVATE_SHM();
  EnvGuard env;
  env.set(kSegmentOverrideVar, nullptr);  // the names a real user's instance uses
  const std::string store = defaultStoreDir();
  writeEmptyMemory(store);
  auto newMemory = [&] {
    MachineMemory m(machineSegmentName(), store);
    MemoryState s{};
    EXPECT_TRUE(m.open(nowSec()) && m.load(s));
    m.close(nowSec());
    return s;
  };
  auto carveOld = [](MachineMemory& old) {
    InkEvent e{3.0, 1.0, 60, 0, 1.0};
    return old.open(nowSec()) && old.engrave(&e, 1, modePitchClasses(0), nowSec());
  };
  {
    // An older build still running (here, in this very process): it keeps its segment and its memory.
    MachineMemory old(kLegacySegmentName, store + "/old");
    ASSERT_TRUE(carveOld(old));
    auto inst = make();
    EXPECT_EQ(newMemory().cart.ink[0][3], 0.0f);
    EXPECT_TRUE(std::filesystem::exists(std::string("/dev/shm/") + kLegacySegmentName));
    inst.reset();
    bip::shared_memory_object::remove(machineSegmentName().c_str());
    bip::shared_memory_object::remove(kLegacySegmentName);
  }
  const pid_t child = ::fork();
  if (child == 0) {
    MachineMemory old(kLegacySegmentName, store + "/old");
    ::_exit(carveOld(old) ? 0 : 1);  // dies without closing, as a crashed host would
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  {
    // Its last heartbeat a minute ago.
    bip::shared_memory_object obj(bip::open_only, kLegacySegmentName, bip::read_write);
    bip::mapped_region region(obj, bip::read_write);
    shared(static_cast<MachineSegment*>(region.get_address())->aliveAt).store(nowSec() - 60);
  }
  auto inst = make();
  EXPECT_GT(newMemory().cart.ink[0][3], 0.5f);
  EXPECT_FALSE(std::filesystem::exists(std::string("/dev/shm/") + kLegacySegmentName));
}

TEST_F(RealPlugin, AForeignObjectUnderTheUsersNameIsNotUsed) {
  NEED_PRIVATE_SHM();
  EnvGuard env;
  env.set(kSegmentOverrideVar, nullptr);
  const std::string path = "/dev/shm/" + machineSegmentName();
  {
    // A real, ready segment as bait, then handed to another account (or left readable by all).
    MachineMemory bait(machineSegmentName(), "");
    ASSERT_TRUE(bait.open(nowSec()));
    bait.close(nowSec());
  }
  for (auto [mode, owner] : {std::pair<mode_t, uid_t>{0644, 0}, std::pair<mode_t, uid_t>{0600, 61003}}) {
    ASSERT_EQ(::chown(path.c_str(), owner, owner), 0);
    ASSERT_EQ(::chmod(path.c_str(), mode), 0);
    const std::string before = bytesOf(path);
    auto inst = make();
    std::this_thread::sleep_for(std::chrono::milliseconds(200));  // the idle timer retries meanwhile
    inst.reset();
    EXPECT_EQ(bytesOf(path), before) << std::oct << mode;
  }
}
