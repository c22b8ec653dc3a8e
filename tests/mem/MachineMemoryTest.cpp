// The shared machine memory for real: several processes, killed lock holders, stale and broken segments, slots.
#include "Biographies.h"
#include "Directories.h"
#include "MemoryFile.h"
#include "MemoryLibrary.h"
#include "SeqLock.h"
#include "ShmFixture.h"

#include <boost/interprocess/mapped_region.hpp>

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cmath>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <random>
#include <thread>
#include <vector>

using namespace vorrel::mem;
namespace bip = boost::interprocess;
using vtest::ShmTest;

namespace {

constexpr uint64_t kNow = 1'800'000'000;

InkEvent ink(double interval, double weight, int fromNote) {
  InkEvent e;
  e.interval = interval;
  e.weight = weight;
  e.fromNote = fromNote;
  e.heldSeconds = 1.0;
  return e;
}

double weightSum(const MemoryState& s) {
  double t = 0;
  for (double w : s.modeWeights) t += w;
  return t;
}

// Waits for a forked child and returns its exit code (-1 if it did not exit normally).
int reap(pid_t child) {
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Makes an object by hand, as another build or a dead process would have left it.
void forge(const std::string& name, size_t size, uint32_t version, uint64_t aliveAt, bool ready, int64_t creator = 0,
           uint32_t magic = kSegmentMagic) {
  bip::shared_memory_object obj(bip::create_only, name.c_str(), bip::read_write, bip::permissions(0600));
  obj.truncate(static_cast<bip::offset_t>(size));
  if (size < 64) return;
  bip::mapped_region region(obj, bip::read_write);
  auto* seg = static_cast<MachineSegment*>(region.get_address());
  seg->magic = magic;
  seg->layout = kSegmentLayout;
  seg->version = version;
  seg->aliveAt = aliveAt;
  seg->creatorPid = creator;
  seg->ready = ready ? kSegmentMagic : 0;
}

void writeFileWithWeight(const std::string& dir, double w3, uint64_t savedAt) {
  MemoryFileBodyV1 body{};
  body.modeWeights[3] = w3;
  body.forgetDays = 7;
  body.engravePct = 120;
  MemoryCartV1 cart{};
  ASSERT_TRUE(vorrel::memfmt::saveMemoryFile(dir, "memory.bin", body, cart, savedAt, nullptr, nullptr));
}

}  // namespace

TEST_F(ShmTest, FirstOpenCreatesTheFirstRunMemoryAndClaimsSlotZero) {
  auto m = handle();
  ASSERT_TRUE(m->open(kNow));
  EXPECT_EQ(m->slotIndex(), 0);
  EXPECT_EQ(m->liveSlots(), 1);
  EXPECT_EQ(m->memoryGeneration(), 1u);
  EXPECT_EQ(m->instanceId(), (static_cast<uint64_t>(::getpid()) << 32) ^ reinterpret_cast<uintptr_t>(m.get()));
  MemoryState s;
  ASSERT_TRUE(m->load(s));
  EXPECT_STREQ(s.name.text, "Gospel keys");
  EXPECT_GT(weightSum(s), 0.0);
  EXPECT_EQ(s.forgetDays, 7.0);
  EXPECT_EQ(s.engravePct, 120.0);
  EXPECT_EQ(s.pace, 1.0);
  EXPECT_EQ(s.lastUpdate, kNow);
  EXPECT_FALSE(m->dirty());  // opening alone writes nothing
  m->close(kNow);
  EXPECT_EQ(m->liveSlots(), 0);
  EXPECT_FALSE(std::filesystem::exists(m->storePath()));
}

TEST_F(ShmTest, TheFileIsReadBackWithForgettingAtRealTime) {
  writeFileWithWeight(store, 10.0, kNow - 7 * 86400);
  auto m = handle();
  ASSERT_TRUE(m->open(kNow));
  MemoryState s;
  ASSERT_TRUE(m->load(s));
  EXPECT_NEAR(s.modeWeights[3], 10.0 * std::exp(-1.0), 1e-12);
  EXPECT_STREQ(s.name.text, "");
}

TEST_F(ShmTest, TwoProcessesOpeningAtOnceShareOneMemory) {
  int go[2];
  ASSERT_EQ(::pipe(go), 0);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    char c;
    if (::read(go[0], &c, 1) != 1) ::_exit(10);
    MachineMemory m(segment, store);
    if (!m.open(kNow)) ::_exit(11);
    const InkEvent e = ink(7, 1.0, 60);
    if (!m.engrave(&e, 1, modePitchClasses(0), kNow)) ::_exit(12);
    // Wait for the parent's engraving to show up.
    for (int i = 0; i < 500; ++i) {
      MemoryState s;
      if (m.load(s) && s.cart.ink[2][4] > 0.0f) {
        m.close(kNow);
        ::_exit(0);
      }
      ::usleep(10000);
    }
    ::_exit(13);
  }
  auto m = handle();
  ASSERT_EQ(::write(go[1], "x", 1), 1);
  ASSERT_TRUE(m->open(kNow));
  bool seen = false;
  for (int i = 0; i < 500 && !seen; ++i) {
    MemoryState s;
    seen = m->load(s) && s.cart.ink[0][7] > 0.0f;
    if (!seen) ::usleep(10000);
  }
  EXPECT_TRUE(seen);
  const InkEvent e = ink(4, 1.0, 62);
  ASSERT_TRUE(m->engrave(&e, 1, modePitchClasses(0), kNow));
  EXPECT_EQ(reap(child), 0);
}

TEST_F(ShmTest, EightProcessesCarvingLoseNoUpdateAndReadersNeverSeeATornRecord) {
  {
    auto m = handle();
    ASSERT_TRUE(m->open(kNow));
    ASSERT_TRUE(m->wipe(kNow));
    m->close(kNow);
  }
  constexpr int kProcs = 8;
  constexpr int kOps = 1000;
  constexpr double kWeight = 0.003;  // 0.00216 per event at Engrave 120 %
  std::vector<pid_t> kids;
  const pid_t reader = ::fork();
  if (reader == 0) {
    MachineMemory m(segment, store);
    bool opened = false;
    for (int t = 0; t < 100 && !opened; ++t) opened = m.open(kNow);
    if (!opened) ::_exit(20);
    for (int i = 0; i < 20000; ++i) {
      MemoryState s;
      if (!m.load(s)) continue;
      // Every event adds one second of yours and 0.00216 of weight: a torn copy would break the ratio.
      if (std::fabs(weightSum(s) - s.yours.yoursSeconds * kWeight * 120 * 0.006) > 1e-9) ::_exit(21);
    }
    ::_exit(0);
  }
  for (int p = 0; p < kProcs; ++p) {
    const pid_t kid = ::fork();
    if (kid == 0) {
      // Like the idle duty, a busy lock means "try again", never "drop the event".
      MachineMemory m(segment, store);
      bool opened = false;
      for (int t = 0; t < 100 && !opened; ++t) opened = m.open(kNow);
      if (!opened) ::_exit(30);
      const auto pcs = modePitchClasses(0);
      const InkEvent e = ink(7, kWeight, p);
      int done = 0;
      for (int t = 0; t < 10 * kOps && done < kOps; ++t) done += m.engrave(&e, 1, pcs, kNow);
      ::_exit(done == kOps ? 0 : 31);
    }
    kids.push_back(kid);
  }
  for (pid_t k : kids) EXPECT_EQ(reap(k), 0);
  EXPECT_EQ(reap(reader), 0);
  auto m = handle();
  ASSERT_TRUE(m->open(kNow));
  MemoryState s;
  ASSERT_TRUE(m->load(s));
  const double amount = kWeight * 120 * 0.006;
  EXPECT_EQ(s.yours.yoursSeconds, kProcs * kOps);
  EXPECT_NEAR(weightSum(s), kProcs * kOps * amount, 1e-9);
  for (int p = 0; p < kProcs; ++p) EXPECT_NEAR(s.cart.ink[p][7], kOps * amount, 1e-3) << p;
}

TEST_F(ShmTest, ALockHolderKilledMidPublishIsRepaired) {
  {
    auto m = handle();
    ASSERT_TRUE(m->open(kNow));
  }
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  const pid_t child = ::fork();
  if (child == 0) {
    MachineMemory m(segment, store);
    if (!m.open(kNow)) ::_exit(1);
    m.withMachine(kNow, [&](MemoryState&) {
      // Die between the odd and the even sequence value, holding the lock, leaving junk behind.
      MachineSegment* seg = m.segment();
      shared(seg->seq).fetch_add(1);
      seg->state.modeWeights[4] = NAN;
      seg->state.pace = -3;
      (void)!::write(ready[1], "x", 1);
      for (;;) ::pause();
    });
    ::_exit(2);
  }
  char c;
  ASSERT_EQ(::read(ready[0], &c, 1), 1);
  ::kill(child, SIGKILL);
  reap(child);
  auto m = handle();
  ASSERT_TRUE(m->open(kNow));
  const uint64_t gen = m->memoryGeneration();
  const auto t0 = std::chrono::steady_clock::now();
  const InkEvent e = ink(3, 1.0, 60);
  ASSERT_TRUE(m->engrave(&e, 1, modePitchClasses(0), kNow + 1));
  EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::milliseconds(500));
  EXPECT_EQ(shared(m->segment()->seq).load() % 2, 0u);
  EXPECT_GE(m->memoryGeneration(), gen + 1);
  MemoryState s;
  ASSERT_TRUE(m->load(s));
  double shares[kModes];
  modeShares(3, modePitchClasses(0), shares);
  EXPECT_NEAR(s.modeWeights[4], 0.72 * shares[4], 1e-12);  // the NaN became 0, then the new event carved
  EXPECT_EQ(s.pace, 1.0);
  EXPECT_GT(s.cart.ink[0][3], 0.0f);
}

TEST_F(ShmTest, AnotherVersionIsReplacedOnlyWhenStale) {
  writeFileWithWeight(store, 5.0, kNow);
  forge(segment, sizeof(MachineSegment), 6, kNow - 20, true);
  auto m = handle();
  EXPECT_FALSE(m->open(kNow));  // 20 s: somebody may still use it
  EXPECT_FALSE(m->isOpen());
  ASSERT_TRUE(m->open(kNow + 20));  // 40 s: removed and made anew from the file
  MemoryState s;
  ASSERT_TRUE(m->load(s));
  EXPECT_NEAR(s.modeWeights[3], 5.0 * std::exp(-20.0 / (7 * 86400)), 1e-9);
  EXPECT_EQ(m->segment()->version, kSegmentVersion);
  m.reset();
  // A newer build's abandoned segment (after a downgrade) the same; one that is not ours never, however old.
  bip::shared_memory_object::remove(segment.c_str());
  forge(segment, 4096, 8, kNow - 20, true);
  EXPECT_FALSE(handle()->open(kNow));
  ASSERT_TRUE(handle()->open(kNow + 20));
  bip::shared_memory_object::remove(segment.c_str());
  forge(segment, sizeof(MachineSegment), 7, kNow - 3600, true, 0, 0x12345678u);
  EXPECT_FALSE(handle()->open(kNow));
  bip::shared_memory_object obj(bip::open_only, segment.c_str(), bip::read_only);
  bip::mapped_region region(obj, bip::read_only);
  EXPECT_EQ(static_cast<const MachineSegment*>(region.get_address())->magic, 0x12345678u);
}

TEST_F(ShmTest, UnfinishedSegmentsAreReplacedOnlyWhenProvablyAbandoned) {
  writeFileWithWeight(store, 2.0, kNow);
  auto fileMemoryOpens = [&](uint64_t now) {
    auto m = handle();
    MemoryState s;
    const bool ok = m->open(now) && m->load(s) && std::fabs(s.modeWeights[3] - 2.0) < 1e-3;
    if (ok) m->close(now);
    return ok;
  };
  // Created but not yet sized: its creator may be busy, until the object itself is 31 seconds old.
  forge(segment, 0, 0, 0, false);
  EXPECT_FALSE(fileMemoryOpens(kNow));
  const timespec old[2] = {{std::time(nullptr) - 40, 0}, {std::time(nullptr) - 40, 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, ("/dev/shm/" + segment).c_str(), old, 0), 0);
  EXPECT_TRUE(fileMemoryOpens(kNow));
  bip::shared_memory_object::remove(segment.c_str());

  // Never ready, its creator alive and its aliveAt fresh: waited for; 31 seconds later it is abandoned.
  forge(segment, sizeof(MachineSegment), kSegmentVersion, kNow, false, ::getpid());
  EXPECT_FALSE(fileMemoryOpens(kNow + 30));
  EXPECT_TRUE(fileMemoryOpens(kNow + 31));
  bip::shared_memory_object::remove(segment.c_str());

  // Never ready and its creator is gone: replaced at once.
  const pid_t dead = ::fork();
  if (dead == 0) ::_exit(0);
  reap(dead);
  forge(segment, sizeof(MachineSegment), kSegmentVersion, kNow, false, dead);
  EXPECT_TRUE(fileMemoryOpens(kNow));
}

TEST_F(ShmTest, SlotsOfOtherProcessesAreReapedAfterElevenSeconds) {
  auto a = handle();
  ASSERT_TRUE(a->open(kNow));
  a->close(kNow);
  MachineSegment* seg = a->segment();
  for (int i : {5, 6}) {
    seg->slots[i].live = 1;
    seg->slots[i].owner = 0xABCD0000 + i;
    seg->slots[i].pid = 999999;
  }
  seg->slots[5].heartbeat = kNow - 10;
  seg->slots[6].heartbeat = kNow - 11;
  seg->slots[7].live = 1;
  seg->slots[7].owner = 77;
  seg->slots[7].heartbeat = kNow + 5;  // newer than this call's now: never stale
  auto b = handle();
  ASSERT_TRUE(b->open(kNow));
  EXPECT_EQ(seg->slots[5].live, 1u);
  EXPECT_EQ(seg->slots[6].live, 0u);
  EXPECT_EQ(seg->slots[7].live, 1u);
  EXPECT_EQ(b->slotIndex(), 0);
}

TEST_F(ShmTest, TheSixtyFifthInstanceCannotOpen) {
  std::vector<std::unique_ptr<MachineMemory>> all;
  for (int i = 0; i < kNumSlots; ++i) {
    all.push_back(handle());
    ASSERT_TRUE(all.back()->open(kNow)) << i;
    EXPECT_EQ(all.back()->slotIndex(), i);
  }
  auto extra = handle();
  EXPECT_FALSE(extra->open(kNow));
  const InkEvent e = ink(7, 1, 60);
  EXPECT_FALSE(extra->engrave(&e, 1, modePitchClasses(0), kNow));
  EXPECT_EQ(all[0]->liveSlots(), kNumSlots);
}

TEST_F(ShmTest, AReapedInstanceKeepsCarvingAndStopsPublishing) {
  auto a = handle();
  ASSERT_TRUE(a->open(kNow));
  InstancePayload p{};
  p.body = 3;
  std::strcpy(p.trackName, "Lead");
  a->publishInstance(p);
  InstancePayload got{};
  ASSERT_TRUE(a->readSlot(0, got));
  EXPECT_STREQ(got.trackName, "Lead");
  a->segment()->slots[0].owner = 12345;  // another process reaped it and claimed the slot
  a->heartbeat(kNow + 1);
  EXPECT_EQ(a->slotIndex(), -1);
  p.body = 9;
  a->publishInstance(p);
  ASSERT_TRUE(a->readSlot(0, got));
  EXPECT_EQ(got.body, 3);
  const InkEvent e = ink(7, 1, 60);
  EXPECT_TRUE(a->engrave(&e, 1, modePitchClasses(0), kNow + 2));
}

TEST_F(ShmTest, FlushWritesAtMostEveryFifteenSecondsUnlessForced) {
  auto m = handle();
  ASSERT_TRUE(m->open(kNow));
  const InkEvent e = ink(7, 1, 60);
  auto fileWeight = [&] {
    MemoryFileHeader h;
    MemoryFileBodyV1 b;
    MemoryCartV1 c;
    return vorrel::memfmt::loadMemoryFile(m->storePath(), h, b, c, nullptr, nullptr) ? c.ink[0][7] : -1.0f;
  };
  ASSERT_TRUE(m->engrave(&e, 1, modePitchClasses(0), kNow));
  m->flush(kNow, false);
  EXPECT_FLOAT_EQ(fileWeight(), 0.72f);
  ASSERT_TRUE(m->engrave(&e, 1, modePitchClasses(0), kNow));
  m->flush(kNow + 14, false);
  EXPECT_FLOAT_EQ(fileWeight(), 0.72f);
  EXPECT_TRUE(m->dirty());
  m->flush(kNow + 14, true);
  EXPECT_FLOAT_EQ(fileWeight(), 1.44f);
  EXPECT_FALSE(m->dirty());
}

TEST_F(ShmTest, AnUnreadableFileOpensEmptyAndIsKeptAsideBeforeTheFirstWrite) {
  const std::string path = store + "/memory.bin";
  {
    std::ofstream f(path, std::ios::binary);
    f << "this is not a memory file, but it may be the only copy of one";
  }
  auto m = handle();
  ASSERT_TRUE(m->open(kNow));
  MemoryState s;
  ASSERT_TRUE(m->load(s));
  EXPECT_EQ(weightSum(s), 0.0);
  EXPECT_STREQ(s.name.text, "");  // empty, not the first-run memory
  m->flush(kNow, true);           // nothing changed: nothing written
  const InkEvent e = ink(7, 1, 60);
  ASSERT_TRUE(m->engrave(&e, 1, modePitchClasses(0), kNow));
  m->flush(kNow, false);
  int aside = 0;
  for (const auto& f : std::filesystem::directory_iterator(store)) {
    const std::string n = f.path().filename().string();
    if (n.rfind("memory.unreadable-", 0) == 0) {
      ++aside;
      std::ifstream in(f.path());
      std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
      EXPECT_EQ(text, "this is not a memory file, but it may be the only copy of one");
    }
  }
  EXPECT_EQ(aside, 1);
  MemoryFileHeader h;
  MemoryFileBodyV1 b;
  MemoryCartV1 c;
  EXPECT_TRUE(vorrel::memfmt::loadMemoryFile(path, h, b, c, nullptr, nullptr));
}

TEST_F(ShmTest, CloseForcesAFlush) {
  auto m = handle();
  ASSERT_TRUE(m->open(kNow));
  const InkEvent e = ink(5, 1, 64);
  ASSERT_TRUE(m->engrave(&e, 1, modePitchClasses(0), kNow));
  m->flush(kNow, false);
  ASSERT_TRUE(m->engrave(&e, 1, modePitchClasses(0), kNow + 1));
  m->close(kNow + 2);  // within 15 s of the last write, but closing always writes
  MemoryFileHeader h;
  MemoryFileBodyV1 b;
  MemoryCartV1 c;
  ASSERT_TRUE(vorrel::memfmt::loadMemoryFile(store + "/memory.bin", h, b, c, nullptr, nullptr));
  EXPECT_NEAR(c.ink[4][5], 1.44, 1e-5);  // a second of forgetting between the two
  EXPECT_EQ(h.savedAt, kNow + 1);
  EXPECT_EQ(m->liveSlots(), 0);
}

TEST_F(ShmTest, AReadySegmentWhoseBoxReadsAsNeverWrittenRecovers) {
  auto m = handle();
  ASSERT_TRUE(m->open(kNow));
  shared(m->segment()->seq).store(0);
  m->segment()->state.modeWeights[5] = INFINITY;
  MemoryState s = defaultState();
  s.modeWeights[0] = 4;
  EXPECT_FALSE(m->load(s));
  EXPECT_EQ(s.modeWeights[0], 4.0);  // the caller keeps its defaults
  const InkEvent e = ink(7, 1, 60);
  ASSERT_TRUE(m->engrave(&e, 1, modePitchClasses(0), kNow));  // repaired under the lock, then carved
  ASSERT_TRUE(m->load(s));
  EXPECT_GT(s.cart.ink[0][7], 0.0f);
  EXPECT_LE(s.modeWeights[5], 20.0);
}

TEST_F(ShmTest, RandomBytesBehindAValidHeaderNeverCrash) {
  std::mt19937_64 rng(99);
  for (int round = 0; round < 20; ++round) {
    bip::shared_memory_object::remove(segment.c_str());
    {
      auto maker = handle();
      ASSERT_TRUE(maker->open(kNow));
      MachineSegment* seg = maker->segment();
      auto* bytes = reinterpret_cast<uint8_t*>(seg);
      // Everything random but the header and the lock; the sequence stuck odd half the time.
      for (size_t i = 128; i < sizeof *seg; ++i) bytes[i] = static_cast<uint8_t>(rng());
      if (round % 2) seg->seq |= 1;
      maker->close(kNow);
    }
    auto m = handle();
    const bool opened = m->open(kNow);
    MemoryState s;
    if (m->load(s)) {
      for (double w : s.modeWeights) ASSERT_TRUE(std::isfinite(w) && w >= 0 && w <= 20);
      ASSERT_LE(std::strlen(s.name.text), 39u);
    }
    for (int i = 0; i < kNumSlots; ++i) {
      InstancePayload p;
      if (m->readSlot(i, p)) {
        ASSERT_LE(std::strlen(p.trackName), 47u);
      }
    }
    if (opened) {
      const InkEvent e = ink(7, 1, 60);
      ASSERT_TRUE(m->engrave(&e, 1, modePitchClasses(0), kNow));
      ASSERT_TRUE(m->load(s));
      for (double w : s.modeWeights) ASSERT_TRUE(std::isfinite(w));
      EXPECT_TRUE(std::isfinite(s.yours.yoursSeconds));
      m->close(kNow);
    }
  }
}

namespace {

std::vector<uint8_t> bytesOf(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

MemoryCartV1 fileCart(const std::string& path) {
  MemoryFileHeader h;
  MemoryFileBodyV1 b;
  MemoryCartV1 c{};
  EXPECT_TRUE(vorrel::memfmt::loadMemoryFile(path, h, b, c, nullptr, nullptr)) << path;
  return c;
}

std::vector<std::string> filesStarting(const std::string& dir, const std::string& prefix) {
  std::vector<std::string> found;
  for (const auto& f : std::filesystem::directory_iterator(dir))
    if (f.path().filename().string().rfind(prefix, 0) == 0) found.push_back(f.path().string());
  return found;
}

bool carve(MachineMemory& m, double interval, int fromNote, uint64_t now) {
  const InkEvent e = ink(interval, 1, fromNote);
  return m.engrave(&e, 1, modePitchClasses(0), now);
}

// Waits up to 5 s for a cell carved by another process.
bool seesCell(const MachineMemory& m, int row, int col) {
  for (int i = 0; i < 500; ++i, ::usleep(10000)) {
    MemoryState s;
    if (m.load(s) && s.cart.ink[row][col] > 0.0f) return true;
  }
  return false;
}

// One byte through a pipe, so two processes can take turns.
void signal(int fd) { (void)!::write(fd, "x", 1); }
bool await(int fd) {
  char c;
  return ::read(fd, &c, 1) == 1;
}

}  // namespace

TEST_F(ShmTest, AMemoryFileThisSegmentNeverHeldIsKeptAsideNotOverwritten) {
  writeFileWithWeight(store, 6.0, kNow);  // the player's own memory, where the user's host looks
  const std::vector<uint8_t> original = bytesOf(store + "/memory.bin");
  const std::string otherHome = store + "/scanner";
  int toParent[2], toChild[2];
  ASSERT_EQ(::pipe(toParent), 0);
  ASSERT_EQ(::pipe(toChild), 0);
  // A scanner started with another XDG_DATA_HOME creates the segment first and carves.
  const pid_t scanner = ::fork();
  if (scanner == 0) {
    ::setenv("XDG_DATA_HOME", otherHome.c_str(), 1);
    MachineMemory m(segment, defaultStoreDir());
    if (!m.open(kNow) || !carve(m, 7, 60, kNow)) ::_exit(1);
    m.flush(kNow, true);
    signal(toParent[1]);
    if (!await(toChild[0])) ::_exit(2);
    m.close(kNow + 1);
    ::_exit(0);
  }
  ASSERT_TRUE(await(toParent[0]));
  auto m = handle();
  ASSERT_TRUE(m->open(kNow));
  ASSERT_TRUE(carve(*m, 4, 62, kNow));
  m->flush(kNow, false);
  signal(toChild[1]);
  EXPECT_EQ(reap(scanner), 0);

  const auto aside = filesStarting(store, "memory.never-loaded-");
  ASSERT_EQ(aside.size(), 1u);
  EXPECT_EQ(bytesOf(aside[0]), original);
  const MemoryCartV1 mine = fileCart(store + "/memory.bin");
  EXPECT_FLOAT_EQ(mine.ink[0][7], 0.72f);  // the scanner's carving
  EXPECT_FLOAT_EQ(mine.ink[2][4], 0.72f);  // and the user's
  // The scanner's store got both as well, and kept nothing aside: it wrote that file itself.
  const std::string scannerStore = otherHome + "/OskelAudio/Vorrel";
  EXPECT_FLOAT_EQ(fileCart(scannerStore + "/memory.bin").ink[2][4], 0.72f);
  EXPECT_TRUE(filesStarting(scannerStore, "memory.never-loaded-").empty());
}

TEST_F(ShmTest, AFileThatCannotBeReadJustNowFailsTheOpenInsteadOfStartingEmpty) {
  writeFileWithWeight(store, 3.0, kNow);
  const pid_t child = ::fork();
  if (child == 0) {
    // Every descriptor but one in use: the segment takes it, and memory.bin cannot be opened (EMFILE).
    const rlimit few{256, 256};
    ::setrlimit(RLIMIT_NOFILE, &few);
    std::vector<int> held;
    for (int fd; (fd = ::open("/dev/null", O_RDONLY)) >= 0;) held.push_back(fd);
    ::close(held.back());
    held.pop_back();
    MachineMemory m(segment, store);
    if (m.open(kNow)) ::_exit(1);
    for (int fd : held) ::close(fd);
    MemoryState s;
    if (!m.open(kNow) || !m.load(s)) ::_exit(2);  // retried: the file's memory, not an empty one
    ::_exit(s.modeWeights[3] == 3.0 ? 0 : 3);
  }
  EXPECT_EQ(reap(child), 0);
}

TEST_F(ShmTest, ASlowCreatorIsWaitedForSoThereIsOnlyOneMemory) {
  int stalled[2];
  ASSERT_EQ(::pipe(stalled), 0);
  const pid_t creator = ::fork();
  if (creator == 0) {
    MachineMemory m(segment, store);
    m.setStallHook([&](MachineMemory::Stage stage) {
      if (stage != MachineMemory::Stage::CreatingSegment) return;
      signal(stalled[1]);
      ::sleep(2);  // a memory.bin on a slow disk
    });
    ::_exit(m.open(kNow) && carve(m, 7, 60, kNow) && seesCell(m, 2, 4) ? 0 : 1);
  }
  ASSERT_TRUE(await(stalled[0]));
  auto m = handle();
  int failedOpens = 0;
  while (!m->open(kNow) && failedOpens < 20) ++failedOpens;  // each idle call tries again
  EXPECT_GE(failedOpens, 1);
  ASSERT_TRUE(m->isOpen());
  ASSERT_TRUE(carve(*m, 4, 62, kNow));
  EXPECT_TRUE(seesCell(*m, 0, 7));
  EXPECT_EQ(reap(creator), 0);
}

TEST_F(ShmTest, SpeedRunsOnlyWhileAnInstanceIsAlive) {
  writeFileWithWeight(store, 10.0, kNow);
  auto a = handle();
  ASSERT_TRUE(a->open(kNow));
  ASSERT_TRUE(a->setPace(100, kNow));
  a->heartbeat(kNow);
  a->close(kNow);
  // Two days later an instance comes back to the segment that outlived all of them.
  const uint64_t later = kNow + 2 * 86400;
  auto b = handle();
  ASSERT_TRUE(b->open(later));
  b->heartbeat(later);
  MemoryState s;
  ASSERT_TRUE(b->load(s));
  EXPECT_NEAR(s.modeWeights[3], 10.0 * std::exp(-2.0 / 7.0), 1e-9);  // 2 days at x1, not 200
  EXPECT_EQ(s.pace, 100.0);
  // While it lives, Speed applies again: 10 seconds count as 1000.
  b->heartbeat(later + 10);
  ASSERT_TRUE(b->tick(later + 10));
  ASSERT_TRUE(b->load(s));
  EXPECT_NEAR(s.modeWeights[3], 10.0 * std::exp(-2.0 / 7.0) * std::exp(-1000.0 / (7 * 86400)), 1e-9);
}

TEST_F(ShmTest, EveryChangeReachesTheFileAndNeverAnOlderOne) {
  int toParent[2], toChild[2];
  ASSERT_EQ(::pipe(toParent), 0);
  ASSERT_EQ(::pipe(toChild), 0);
  // A writer stalls between its snapshot and the rename while another carves and writes a newer one.
  const pid_t slow = ::fork();
  if (slow == 0) {
    MachineMemory m(segment, store);
    m.setStallHook([&](MachineMemory::Stage stage) {
      if (stage != MachineMemory::Stage::FlushWritten) return;
      signal(toParent[1]);
      if (!await(toChild[0])) ::_exit(3);
    });
    if (!m.open(kNow) || !carve(m, 7, 60, kNow)) ::_exit(1);
    m.flush(kNow, true);
    ::_exit(0);
  }
  ASSERT_TRUE(await(toParent[0]));
  auto m = handle();
  ASSERT_TRUE(m->open(kNow));
  ASSERT_TRUE(carve(*m, 4, 62, kNow));
  m->flush(kNow, false);
  signal(toChild[1]);
  EXPECT_EQ(reap(slow), 0);
  EXPECT_FLOAT_EQ(fileCart(m->storePath()).ink[2][4], 0.72f);
  EXPECT_FALSE(m->dirty());
  EXPECT_TRUE(filesStarting(store, "memory.bin.tmp.").empty());

  // An instance killed right after carving: the survivor writes its change at its next turn.
  const pid_t killed = ::fork();
  if (killed == 0) {
    MachineMemory k(segment, store);
    if (k.open(kNow + 1) && carve(k, 2, 65, kNow + 1)) ::raise(SIGKILL);
    ::_exit(1);
  }
  EXPECT_EQ(reap(killed), -1);
  EXPECT_TRUE(m->dirty());
  m->flush(kNow + 14, false);
  EXPECT_FLOAT_EQ(fileCart(m->storePath()).ink[5][2], 0.0f);
  m->flush(kNow + 15, false);
  EXPECT_GT(fileCart(m->storePath()).ink[5][2], 0.7f);
  EXPECT_FALSE(m->dirty());
}

TEST_F(ShmTest, AnEngraveOfZeroComesBackAsZero) {
  auto m = handle();
  ASSERT_TRUE(m->open(kNow));
  ASSERT_TRUE(m->setMachineConfig(7, 0, kNow));
  m->close(kNow);
  m.reset();
  bip::shared_memory_object::remove(segment.c_str());  // a reboot: the memory comes back from the file
  auto again = handle();
  MemoryState s;
  ASSERT_TRUE(again->open(kNow) && again->load(s));
  EXPECT_EQ(s.engravePct, 0.0);
}

TEST_F(ShmTest, AFifoIsNeitherWaitedOnNorReplacedAndDeadWritersTemporariesGo) {
  const std::string path = store + "/memory.bin";
  ASSERT_EQ(::mkfifo(path.c_str(), 0644), 0);
  const pid_t dead = ::fork();
  if (dead == 0) ::_exit(0);
  reap(dead);
  const std::string living = store + "/memory.bin.tmp." + std::to_string(::getpid()) + ".7";
  for (const std::string& name : {store + "/memory.bin.tmp." + std::to_string(dead) + ".3",
                                  store + "/memory.bin.tmp." + std::to_string(dead), living})
    std::ofstream(name) << "half";
  const pid_t child = ::fork();
  if (child == 0) {
    ::alarm(20);  // a blocking open would hang here for good
    MachineMemory m(segment, store);
    MemoryState s;
    if (!m.open(kNow) || !m.load(s) || s.name.text[0] != '\0') ::_exit(1);  // empty, not the first-run memory
    if (!carve(m, 7, 60, kNow)) ::_exit(2);
    m.close(kNow);
    ::_exit(0);
  }
  EXPECT_EQ(reap(child), 0);
  struct stat st {};
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));
  EXPECT_EQ(filesStarting(store, "memory.bin.tmp."), std::vector<std::string>{living});
}

TEST_F(ShmTest, WithoutAStoreDirectoryTheMemoryLivesInTheSegmentOnly) {
  MachineMemory m(segment, "");
  ASSERT_TRUE(m.open(kNow));
  EXPECT_EQ(m.storePath(), "");
  ASSERT_TRUE(carve(m, 7, 60, kNow));
  EXPECT_FALSE(m.dirty());  // nothing it could write
  m.close(kNow);
}

TEST_F(ShmTest, ForgettingMostOfTheMemoryWaitsForItsBackupAndWrongSavedTimesForgetNothing) {
  const std::string library = store + "/memories";
  auto freshOpen = [&](uint64_t savedAt, MemoryState& s) {
    bip::shared_memory_object::remove(segment.c_str());
    writeFileWithWeight(store, 10.0, savedAt);
    auto m = handle();
    EXPECT_TRUE(m->open(kNow));
    EXPECT_TRUE(m->load(s));
    return m;
  };
  MemoryState s;
  // Saved at 0 (an unset clock) or in the future: nothing is forgotten, and forgetting goes on from now.
  for (const uint64_t savedAt : {uint64_t{0}, kNow + 86400 * 365}) {
    freshOpen(savedAt, s);
    EXPECT_EQ(s.modeWeights[3], 10.0);
    EXPECT_EQ(s.lastUpdate, kNow);
  }
  // A year away with a library that cannot be written (a file where its folder should be): the memory opens
  // whole, and the forgetting step waits.
  std::ofstream(library) << "not a folder";
  const uint64_t yearAgo = kNow - 86400 * 365;
  auto m = freshOpen(yearAgo, s);
  EXPECT_EQ(s.modeWeights[3], 10.0);
  EXPECT_EQ(s.lastUpdate, yearAgo);
  EXPECT_FALSE(m->tick(kNow));
  const InkEvent e = ink(7, 1.0, 60);
  EXPECT_FALSE(m->engrave(&e, 1, modePitchClasses(0), kNow));
  ASSERT_TRUE(m->load(s));
  EXPECT_EQ(s.modeWeights[3], 10.0);
  // Once the library can be written, the step goes ahead behind a dated backup of what it takes.
  std::filesystem::remove(library);
  auto other = handle();
  ASSERT_TRUE(other->open(kNow));
  ASSERT_TRUE(other->tick(kNow));
  ASSERT_TRUE(other->load(s));
  EXPECT_LT(s.modeWeights[3], 1e-6);
  const auto names = listMemoryNames(library);
  ASSERT_EQ(names.size(), 1u);
  EXPECT_EQ(names[0].rfind("Backup ", 0), 0u);
  MemoryFileHeader h;
  MemoryFileBodyV1 b;
  MemoryCartV1 c;
  ASSERT_TRUE(vorrel::memfmt::loadMemoryFile(library + "/" + names[0] + ".bin", h, b, c, nullptr, nullptr));
  EXPECT_EQ(b.modeWeights[3], 10.0);
  // A small step needs no backup.
  ASSERT_TRUE(other->engrave(&e, 1, modePitchClasses(0), kNow + 60));
  EXPECT_EQ(listMemoryNames(library).size(), 1u);
}

TEST_F(ShmTest, ASymlinkedFileIsWrittenThroughAndOneThatCannotBeWrittenIsSaidAndNotRetriedEachCall) {
  const std::string elsewhere = store + "/synced";
  std::filesystem::create_directories(elsewhere);
  std::filesystem::create_symlink(elsewhere + "/vorrel.bin", store + "/memory.bin");
  writeFileWithWeight(elsewhere, 0.0, kNow);
  std::filesystem::rename(elsewhere + "/memory.bin", elsewhere + "/vorrel.bin");
  auto m = handle();
  int tries = 0;
  m->setStallHook([&](MachineMemory::Stage stage) { tries += stage == MachineMemory::Stage::Flushing; });
  ASSERT_TRUE(m->open(kNow));
  const InkEvent e = ink(7, 1.0, 60);
  ASSERT_TRUE(m->engrave(&e, 1, modePitchClasses(0), kNow));
  m->flush(kNow, true);
  EXPECT_EQ(m->saveProblem(), MachineMemory::SaveProblem::None);
  EXPECT_TRUE(std::filesystem::is_symlink(store + "/memory.bin"));
  MemoryFileHeader h;
  MemoryFileBodyV1 b;
  MemoryCartV1 c;
  ASSERT_TRUE(vorrel::memfmt::loadMemoryFile(elsewhere + "/vorrel.bin", h, b, c, nullptr, nullptr));
  EXPECT_GT(c.ink[0][7], 0.0f);

  // A loop, a dangling link, a FIFO: nothing is followed or replaced, the reason is kept, and the write is
  // tried again only after 15 seconds.
  struct Case {
    const char* what;
    MachineMemory::SaveProblem problem;
  };
  uint64_t now = kNow;
  for (const Case k :
       {Case{"loop", MachineMemory::SaveProblem::BadLink}, Case{"dangling", MachineMemory::SaveProblem::BadLink},
        Case{"fifo", MachineMemory::SaveProblem::NotAFile}}) {
    const std::string live = store + "/memory.bin";
    std::filesystem::remove(live);
    if (k.what == std::string("loop")) std::filesystem::create_symlink("memory.bin", live);
    if (k.what == std::string("dangling")) std::filesystem::create_symlink(store + "/gone/vorrel.bin", live);
    if (k.what == std::string("fifo")) {
      ASSERT_EQ(::mkfifo(live.c_str(), 0644), 0);
    }
    now += 100;
    ASSERT_TRUE(m->engrave(&e, 1, modePitchClasses(0), now));
    tries = 0;
    m->flush(now, true);
    EXPECT_EQ(m->saveProblem(), k.problem) << k.what;
    for (int i = 1; i <= 14; ++i) m->flush(now + static_cast<uint64_t>(i), true);
    EXPECT_EQ(tries, 1) << k.what;
    m->flush(now + 15, false);
    EXPECT_EQ(tries, 2) << k.what;
    EXPECT_FALSE(std::filesystem::exists(store + "/gone")) << k.what;
  }
  std::filesystem::remove(store + "/memory.bin");
  m->flush(now + 100, true);
  EXPECT_EQ(m->saveProblem(), MachineMemory::SaveProblem::None);
  m->close(now + 100);
}
