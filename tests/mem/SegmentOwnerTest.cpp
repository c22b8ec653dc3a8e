// One segment per user: created for its owner only, foreign objects under its name refused and named, the faults
// of a /dev/shm that cannot hold it, and the old machine-wide segment carried over once when abandoned.
#include "MemoryFile.h"
#include "SeqLock.h"
#include "ShmFixture.h"

#include <boost/interprocess/mapped_region.hpp>

#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstring>
#include <fstream>
#include <iterator>

using namespace vorrel::mem;
namespace bip = boost::interprocess;
using vtest::ShmTest;

namespace {

constexpr uint64_t kNow = 1'800'000'000;

bool carve(MachineMemory& m, double interval, uint64_t now) {
  InkEvent e{};
  e.interval = interval;
  e.weight = 1.0;
  e.fromNote = 60;  // row 0
  e.heldSeconds = 1.0;
  return m.engrave(&e, 1, modePitchClasses(0), now);
}

std::string shmBytes(const std::string& name) {
  std::ifstream in("/dev/shm/" + name, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool exists(const std::string& name) { return ::access(("/dev/shm/" + name).c_str(), F_OK) == 0; }

int exitCode(pid_t child) {
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

TEST_F(ShmTest, MadeForItsOwnerAloneAndForeignObjectsAreNamedNotUsed) {
  EXPECT_EQ(userSegmentName(), "oa_vorrel_memory_u" + std::to_string(::geteuid()));
  {
    auto m = handle();
    ASSERT_TRUE(m->open(kNow));
    struct stat st {};
    ASSERT_EQ(::stat(("/dev/shm/" + segment).c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_EQ(st.st_uid, ::geteuid());
    EXPECT_EQ(m->openFault(), OpenFault::None);
    m->close(kNow);
  }
  const std::string good = shmBytes(segment);
  // A whole, ready segment readable by others (a trap laid to read our playing), one of another account, and
  // one that is not a segment of ours at all: none is opened, none changes.
  struct Foreign {
    mode_t mode;
    uid_t owner;
    bool garbage;
  };
  std::vector<Foreign> cases{{0644, ::geteuid(), false}, {0600, ::geteuid(), true}};
  if (::geteuid() == 0) cases.push_back({0600, 65534, false});
  for (const Foreign& f : cases) {
    ASSERT_EQ(::chmod(("/dev/shm/" + segment).c_str(), f.mode), 0);
    ASSERT_EQ(::chown(("/dev/shm/" + segment).c_str(), f.owner, static_cast<gid_t>(-1)), 0);
    if (f.garbage) std::ofstream("/dev/shm/" + segment, std::ios::binary | std::ios::in) << "not ours";
    const std::string before = shmBytes(segment);
    auto m = handle();
    EXPECT_FALSE(m->open(kNow + 1)) << f.mode;
    EXPECT_EQ(m->openFault(), OpenFault::Foreign) << f.mode;
    EXPECT_EQ(shmBytes(segment), before);
  }
}

// Each case in a child with a mount namespace of its own: a /dev/shm too small for the segment, a read-only
// one, and none at all.
TEST(SegmentFaults, AFullReadOnlyOrMissingDevShmIsNamed) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to mount a /dev/shm of its own";
  struct Case {
    const char* options;  // tmpfs mounted on /dev/shm, or on /dev when null (no /dev/shm left)
    OpenFault fault;
  };
  for (const Case c :
       {Case{"size=8k", OpenFault::NoSpace}, Case{"ro", OpenFault::Refused}, Case{nullptr, OpenFault::Missing}}) {
    const pid_t child = ::fork();
    if (child == 0) {
      if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
          ::mount("t", c.options ? "/dev/shm" : "/dev", "tmpfs",
                  c.options && !std::strcmp(c.options, "ro") ? MS_RDONLY : 0,
                  c.options && std::strcmp(c.options, "ro") ? c.options : nullptr) != 0)
        ::_exit(100);
      MachineMemory m("vorrel_fault_test", "");
      if (m.open(kNow)) ::_exit(101);
      ::_exit(static_cast<int>(m.openFault()));
    }
    const int code = exitCode(child);
    // A chroot's "/" is no mount point, so its propagation cannot be made private: nothing to test there.
    if (code == 100) GTEST_SKIP() << "no mount namespace of its own can be set up here";
    EXPECT_EQ(code, static_cast<int>(c.fault)) << (c.options ? c.options : "no /dev/shm");
  }
}

TEST_F(ShmTest, AnAbandonedOldSegmentIsCarriedOverOnceALiveOneIsLeftAlone) {
  const std::string old = segment + "_old";
  bip::shared_memory_object::remove(old.c_str());
  const std::string otherStore = store + "/elsewhere";
  // This user's memory.bin: an empty memory (no first-run seed, whose intervals would blur the check).
  MemoryFileBodyV1 none{};
  MemoryCartV1 empty{};
  ASSERT_TRUE(vorrel::memfmt::saveMemoryFile(store, "memory.bin", none, empty, kNow, nullptr, nullptr));
  {
    // A live old segment (this process holds it): the new one starts from memory.bin instead.
    MachineMemory holder(old, otherStore);
    ASSERT_TRUE(holder.open(kNow));
    ASSERT_TRUE(carve(holder, 3, kNow));
    MachineMemory fresh(segment, store, old);
    ASSERT_TRUE(fresh.open(kNow));
    MemoryState s;
    ASSERT_TRUE(fresh.load(s));
    EXPECT_EQ(s.cart.ink[0][3], 0.0f);
    EXPECT_TRUE(exists(old));
    fresh.close(kNow);
    holder.close(kNow);
    bip::shared_memory_object::remove(segment.c_str());
    bip::shared_memory_object::remove(old.c_str());
  }
  // Its last instance died without closing.
  const pid_t child = ::fork();
  if (child == 0) {
    MachineMemory m(old, otherStore);
    ::_exit(m.open(kNow) && carve(m, 3, kNow) ? 0 : 1);
  }
  ASSERT_EQ(exitCode(child), 0);
  MachineMemory fresh(segment, store, old);
  ASSERT_TRUE(fresh.open(kNow + 12));  // 12 s without a heartbeat
  MemoryState s;
  ASSERT_TRUE(fresh.load(s));
  EXPECT_GT(s.cart.ink[0][3], 0.0f);
  EXPECT_FALSE(exists(old));  // carried over once, not again after a reboot-less restart
  // The next flush writes it into this user's memory.bin.
  fresh.flush(kNow + 13, false);
  MemoryFileHeader h;
  MemoryFileBodyV1 body;
  MemoryCartV1 cart;
  ASSERT_TRUE(vorrel::memfmt::loadMemoryFile(fresh.storePath(), h, body, cart, nullptr, nullptr));
  EXPECT_EQ(cart.ink[0][3], s.cart.ink[0][3]);
  fresh.close(kNow + 13);
}
