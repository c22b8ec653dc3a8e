// The idle duties inside Vorrel objects: the trace blend, clearing with backups, the request slot, settings in step.
#include "DirectVorrel.h"
#include "Directories.h"
#include "MemoryFile.h"
#include "MemoryLibrary.h"
#include "OwnSegment.h"
#include "MemoryNotices.h"

#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

using vorrel::mem::MemoryState;
namespace {
// The idle duties run when the test calls them, never from the timer.
struct DirectVorrel : vtest::DirectVorrel {
  DirectVorrel() { plug->StopIdleTimer(); }
};
}  // namespace
namespace fs = std::filesystem;

namespace {

// These tests change the machine memory: only ever the private one of isolated.sh.
class IdleDuties : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!vtest::ownSegment()) GTEST_SKIP() << "needs a segment of its own (run through isolated.sh)";
    ASSERT_TRUE(machine.open(nowSec()));
  }
  void TearDown() override { machine.close(nowSec()); }

  // Another handle on the machine memory, as another instance would hold.
  void setWeight(int mode, double w) {
    ASSERT_TRUE(machine.withMachine(nowSec(), [&](MemoryState& s) { s.modeWeights[mode] = w; }));
  }
  MemoryState live() {
    MemoryState s{};
    EXPECT_TRUE(machine.load(s));
    return s;
  }
  static uint64_t nowSec() { return static_cast<uint64_t>(std::time(nullptr)); }
  static void setParam(Vorrel& v, int idx, double value) {
    v.GetParam(idx)->Set(value);
    v.OnParamChange(idx, vfw::ParamSource::Host, 0);
  }

  vorrel::mem::MachineMemory machine{vorrel::mem::machineSegmentName(), vorrel::mem::defaultStoreDir()};
};

}  // namespace

TEST_F(IdleDuties, TraceBlendsLiveAndFrozenBySourceAndHearBareSilencesIt) {
  DirectVorrel v;
  setWeight(5, 6.0);
  v.plug->uiSealFromMachine();
  EXPECT_EQ(v.plug->sealedCopy().present, 1);
  setWeight(5, 2.0);
  setParam(*v.plug, kSource, 50.0);
  v.block();
  EXPECT_DOUBLE_EQ(v.engine().trace[5], 4.0);
  v.plug->uiSetHearBare(true);
  v.block();
  EXPECT_EQ(v.engine().trace[5], 0.0);
  v.plug->uiSetHearBare(false);
  setParam(*v.plug, kSource, 0.0);
  v.block();
  EXPECT_DOUBLE_EQ(v.engine().trace[5], 2.0);
  setWeight(5, 3.0);  // another instance's change is heard at the next block
  v.block();
  EXPECT_DOUBLE_EQ(v.engine().trace[5], 3.0);
}

TEST_F(IdleDuties, ClearBacksUpFirstAndIsDroppedWhenItsBackupIsRefused) {
  DirectVorrel v;
  const std::string dir = vorrel::mem::memoriesDir();
  ASSERT_TRUE(machine.withMachine(nowSec(), [](MemoryState& s) { s.forgetDays = 30.0; }));
  setWeight(3, 5.0);
  // A read-only library: nothing is erased, the editor is told, and the clear is not carried out later.
  fs::create_directories(dir);
  ASSERT_EQ(::mount(dir.c_str(), dir.c_str(), nullptr, MS_BIND, nullptr), 0);
  ASSERT_EQ(::mount(nullptr, dir.c_str(), nullptr, MS_BIND | MS_REMOUNT | MS_RDONLY, nullptr), 0);
  v.plug->uiRequestClearMemory();
  v.plug->OnIdle();
  EXPECT_EQ(v.plug->memoryNotice(), vrui::kNoticeBackupRefused);
  // A shipped memory and a saved one are dropped the same way.
  v.plug->uiLoadBiography(0);
  v.plug->OnIdle();
  EXPECT_EQ(live().modeWeights[3], 5.0);
  ASSERT_EQ(::umount(dir.c_str()), 0);
  v.plug->OnIdle();
  v.plug->OnIdle();
  EXPECT_EQ(live().modeWeights[3], 5.0);
  EXPECT_TRUE(v.plug->uiMemoryNames().empty());
  v.plug->uiRequestClearMemory();  // asked again, with a writable library
  v.plug->OnIdle();
  const MemoryState cleared = live();
  EXPECT_EQ(cleared.modeWeights[3], 0.0);
  EXPECT_EQ(cleared.forgetDays, 30.0);
  const auto names = v.plug->uiMemoryNames();
  ASSERT_EQ(names.size(), 1u);
  EXPECT_EQ(names[0].rfind("Backup ", 0), 0u);
  // The file was rewritten at once with the empty memory.
  vorrel::mem::MemoryFileHeader h;
  vorrel::mem::MemoryFileBodyV1 b;
  vorrel::mem::MemoryCartV1 c;
  ASSERT_TRUE(vorrel::memfmt::loadMemoryFile(machine.storePath(), h, b, c, nullptr, nullptr));
  EXPECT_EQ(b.modeWeights[3], 0.0);
  // Clearing what is already empty, unnamed and never carved writes no second backup.
  v.plug->uiRequestClearMemory();
  v.plug->OnIdle();
  EXPECT_EQ(v.plug->uiMemoryNames().size(), 1u);
}

TEST_F(IdleDuties, OnlyTheNewestRequestRunsAndFileWorkNeedsNoOpenEditor) {
  DirectVorrel v;
  v.plug->uiSaveMemoryAs("one");
  v.plug->uiSaveMemoryAs("two");
  v.plug->OnIdle();
  EXPECT_EQ(v.plug->uiMemoryNames(), std::vector<std::string>{"two"});
  EXPECT_STREQ(live().name.text, "two");
  v.plug->uiLoadBiography(4);  // "Octaves only", after a backup of "two"
  v.plug->OnIdle();
  EXPECT_STREQ(live().name.text, "Octaves only");
  EXPECT_EQ(v.plug->uiMemoryNames().size(), 2u);
  v.plug->uiDeleteMemory("two");
  v.plug->OnIdle();
  EXPECT_EQ(v.plug->uiMemoryNames().size(), 1u);
}

TEST_F(IdleDuties, ForgetAndEngraveFollowTheMachineAndOnlyTheMovedOneIsPushed) {
  DirectVorrel a;
  DirectVorrel b;
  setParam(*a.plug, kForget, 30.0);
  a.plug->OnIdle();
  EXPECT_EQ(live().forgetDays, 30.0);
  b.plug->OnIdle();
  EXPECT_EQ(b.plug->GetParam(kForget)->Value(), 30.0);
  setParam(*a.plug, kForget, 45.0);
  a.plug->OnIdle();
  setParam(*b.plug, kEngrave, 50.0);  // b still shows Forget 30: it must not push it
  b.plug->OnIdle();
  EXPECT_EQ(live().forgetDays, 45.0);
  EXPECT_EQ(live().engravePct, 50.0);
  EXPECT_EQ(b.plug->GetParam(kForget)->Value(), 45.0);
  b.plug->GetParam(kForget)->Set(10.0);  // a project restored with its own old value
  b.plug->OnParamChange(kForget, vfw::ParamSource::PresetRecall, -1);
  b.plug->OnIdle();
  EXPECT_EQ(b.plug->GetParam(kForget)->Value(), 45.0);
  EXPECT_EQ(live().forgetDays, 45.0);
  a.plug->OnIdle();
  EXPECT_EQ(a.plug->GetParam(kEngrave)->Value(), 50.0);
  // Undo and A/B push both.
  a.plug->GetParam(kForget)->Set(12.0);
  a.plug->machineSettingsDirty.store(true);
  a.plug->OnIdle();
  EXPECT_EQ(live().forgetDays, 12.0);
}

TEST_F(IdleDuties, PlayedIntervalsAreEngravedAndPublishedUnderTheHostsTrackName) {
  DirectVorrel v;
  v.host.setTrackName("A track name that is much longer than the forty-seven bytes a slot keeps");
  v.plug->OnHostTrackInfoChanged();
  setParam(*v.plug, kBody, 2.0);
  for (int note : {48, 55, 48, 55}) {
    v.midi(0x90, static_cast<uint8_t>(note), 110);
    for (int i = 0; i < 20; ++i) v.block();
  }
  v.plug->OnIdle();
  EXPECT_EQ(v.plug->engravedCount(), 3);
  EXPECT_GT(live().cart.ink[0][7], 0.0f);  // C up a fifth
  EXPECT_GT(live().cart.ink[7][5], 0.0f);  // G up a fourth
  vorrel::mem::InstancePayload p{};
  ASSERT_TRUE(machine.readSlot(v.plug->machineMemory().slotIndex(), p));
  EXPECT_EQ(p.body, 2);
  EXPECT_EQ(p.carves, 3);
  EXPECT_EQ(std::string(p.trackName), "A track name that is much longer than the forty");
}

TEST_F(IdleDuties, AnHourOfSilenceIsForgottenAtTheNextIdleCall) {
  DirectVorrel v;
  const uint64_t now = nowSec();
  ASSERT_TRUE(machine.withMachine(now, [&](MemoryState& s) {
    s.modeWeights[3] = 10.0;
    s.forgetDays = 1.0;
    s.lastUpdate = now - 7200;
  }));
  v.plug->OnIdle();
  const MemoryState s = live();
  EXPECT_GE(s.lastUpdate, now);
  // Two hours at Forget 1 day: 10 x exp(-7200 / 86400) = 9.2004, give or take the seconds this test took.
  EXPECT_NEAR(s.modeWeights[3], 9.2004, 2e-3);
}

TEST(IdleDutiesWithoutSharedMemory, TheInstancePlaysAndItsFrozenCopyStillWorks) {
  if (!std::getenv("VORREL_TEST_PRIVATE_SHM")) GTEST_SKIP() << "needs a private /dev/shm (isolated.sh as root)";
  // This test's own /dev/shm becomes read-only, as in a host that forbids shared memory.
  ASSERT_EQ(std::system("mount -o remount,ro /dev/shm"), 0);
  DirectVorrel v;
  v.plug->OnIdle();
  EXPECT_FALSE(v.plug->machineMemory().isOpen());
  v.plug->uiSealFromMachine();  // nothing to freeze
  EXPECT_EQ(v.plug->sealedCopy().present, 0);
  vorrel::mem::SealedMemory copy{};
  copy.modeWeights[5] = 6.0;
  copy.present = 1;
  v.plug->setSealedCopy(copy);
  v.plug->GetParam(kSource)->Set(50.0);
  v.plug->OnParamChange(kSource, vfw::ParamSource::Host, 0);
  v.midi(0x90, 60, 100);
  v.block();
  EXPECT_DOUBLE_EQ(v.engine().trace[5], 3.0);  // halfway from a silent live memory to the frozen 6
  EXPECT_GT(v.rms(0, 0), 0.0);
  EXPECT_EQ(std::system("mount -o remount,rw /dev/shm"), 0);
}

TEST_F(IdleDuties, TheMemoryListFollowsTheFoldersSweepsDeadTemporariesAndOffersKeptAsideFiles) {
  DirectVorrel v;
  const std::string dir = vorrel::mem::memoriesDir();
  const std::string store = vorrel::mem::defaultStoreDir();
  fs::create_directories(dir);
  v.plug->OnIdle();
  EXPECT_TRUE(v.plug->uiMemoryNames().empty());
  // Another instance saves a memory; a save was killed before its rename; a flush kept a stray file aside.
  vorrel::mem::MemoryFileBodyV1 body{};
  body.modeWeights[2] = 4.0;
  body.forgetDays = 7.0;
  body.engravePct = 120.0;
  vorrel::mem::MemoryCartV1 cart{};
  ASSERT_TRUE(vorrel::memfmt::saveMemoryFile(dir, "Theirs.bin", body, cart, nowSec(), nullptr, nullptr));
  const pid_t dead = ::fork();
  if (dead == 0) ::_exit(0);
  ::waitpid(dead, nullptr, 0);
  const std::string deadTemp = dir + "/Killed.bin.tmp." + std::to_string(dead) + ".0";
  const std::string liveTemp = dir + "/Saving.bin.tmp." + std::to_string(::getpid()) + ".0";
  std::ofstream(deadTemp) << "half";
  std::ofstream(liveTemp) << "half";
  ASSERT_TRUE(vorrel::memfmt::saveMemoryFile(store, "memory.never-loaded-20261209-101500.bin", body, cart, nowSec(),
                                             nullptr, nullptr));
  v.plug->OnIdle();
  EXPECT_EQ(v.plug->uiMemoryNames(), (std::vector<std::string>{"Theirs", "memory.never-loaded-20261209-101500"}));
  EXPECT_FALSE(fs::exists(deadTemp));
  EXPECT_TRUE(fs::exists(liveTemp));  // a living writer may still rename it
  // The kept-aside file loads like a backup.
  v.plug->uiLoadMemory("memory.never-loaded-20261209-101500");
  v.plug->OnIdle();
  EXPECT_EQ(live().modeWeights[2], 4.0);
  fs::remove(liveTemp);
}

TEST_F(IdleDuties, AMemoryThatCannotBeSavedSaysSo) {
  DirectVorrel v;
  const std::string file = machine.storePath();
  fs::create_directories(fs::path(file).parent_path());
  ASSERT_EQ(::mkfifo(file.c_str(), 0644), 0);
  setWeight(4, 3.0);
  v.plug->OnIdle();
  EXPECT_EQ(v.plug->memoryNotice(), vrui::kNoticeNotAFile);
  EXPECT_EQ(live().modeWeights[4], 3.0);  // still carved and shared, only not kept on disk
  fs::remove(file);
  v.plug->OnIdle();  // the failed write waits 15 s rather than being tried at every call
  EXPECT_EQ(v.plug->memoryNotice(), vrui::kNoticeNotAFile);
  EXPECT_TRUE(!fs::exists(file));
}
