// Presets in the shell: recall and "edited", the shared user library across instances and processes, and
// Program Change as the timer thread carries it out.
#include "DirectVorrel.h"
#include "Directories.h"
#include "UserLibraryFile.h"

#include <gtest/gtest.h>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

using vtest::DirectVorrel;
using Names = std::vector<std::string>;

namespace {

// Waits for the idle timer (20 ms) to do its part; generous, so a loaded machine still passes.
template <class F>
bool eventually(F done) {
  for (int i = 0; i < 500 && !done(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  return done();
}

class Presets : public ::testing::Test {
 protected:
  void SetUp() override {
    // isolated.sh gives the program its own config directory; tests of one run share it.
    std::filesystem::remove(vorrel::mem::defaultConfigDir() + "/presets.txt");
  }
};

double value(const DirectVorrel& d, int i) { return d.plug->GetParam(i)->Value(); }

}  // namespace

TEST_F(Presets, FactoryRecallAndEdited) {
  DirectVorrel d;
  Vorrel& v = *d.plug;
  v.GetParam(kLevel)->Set(-3);
  v.GetParam(kForget)->Set(30);
  v.GetParam(kEngrave)->Set(50);
  v.setTrackExtras(1, 2, 0.1, 3);
  const int asked = d.host.flushRequests.load();
  ASSERT_TRUE(v.recallPreset(0, true));
  d.host.pump(d.clap);
  EXPECT_GT(d.host.flushRequests.load(), asked);  // from the editor: the host hears of it
  for (int i = 0; i < kForget; ++i) EXPECT_EQ(value(d, i), v.GetParam(i)->GetDefault()) << i;
  EXPECT_EQ(value(d, kForget), 30.0);  // machine-wide settings are never part of a sound
  EXPECT_EQ(value(d, kEngrave), 50.0);
  const auto vp = v.snapshotVoiceParams();
  EXPECT_EQ(vp.tiltOffset, 0.35);
  EXPECT_EQ(vp.stretch, 0.0);
  EXPECT_EQ(vp.selfExcite, 0.0);
  EXPECT_EQ(vp.drive, 1.4);
  EXPECT_FALSE(v.presetEdited());
  EXPECT_EQ(v.uiPresetAbsIndex(), 0);

  const int before = d.host.flushRequests.load();
  ASSERT_TRUE(v.recallPreset(1, false));
  d.host.pump(d.clap);
  EXPECT_EQ(d.host.flushRequests.load(), before);
  EXPECT_EQ(v.uiPresetName(), "Worn threshold");
  EXPECT_EQ(value(d, kBody), 4.0);
  EXPECT_EQ(value(d, kBodyDecay), 596.0);
  EXPECT_EQ(v.snapshotVoiceParams().tiltOffset, 0.15);
  EXPECT_FALSE(v.presetEdited());
  v.GetParam(kImprint)->Set(70);
  EXPECT_TRUE(v.presetEdited());
  v.GetParam(kImprint)->Set(62);
  EXPECT_FALSE(v.presetEdited());
  v.GetParam(kForget)->Set(80);
  EXPECT_FALSE(v.presetEdited());
  EXPECT_FALSE(v.recallPreset(85, true));
  EXPECT_FALSE(v.recallPreset(-1, true));
  EXPECT_EQ(v.uiPresetName(), "Worn threshold");
  EXPECT_EQ(v.uiPresetCount(), 85);
}

TEST_F(Presets, SaveRenameDeleteSeenByAnotherInstance) {
  DirectVorrel a;
  DirectVorrel b;
  Vorrel& v = *a.plug;
  v.GetParam(kCutoff)->Set(1234);
  v.setTrackExtras(0.5, 1.0, 0.0, 2.0);
  ASSERT_TRUE(v.savePreset("Mine"));
  EXPECT_EQ(v.uiPresetName(), "Mine");
  EXPECT_EQ(v.uiPresetAbsIndex(), 85);
  EXPECT_FALSE(v.presetEdited());
  v.GetParam(kCutoff)->Set(999);
  EXPECT_TRUE(v.presetEdited());
  ASSERT_TRUE(v.savePreset("Other"));
  EXPECT_EQ(v.uiPresetAbsIndex(), 86);
  v.GetParam(kCutoff)->Set(4321);
  ASSERT_TRUE(v.savePreset("Mine"));  // replaced in place: same Program Change number
  EXPECT_EQ(v.uiPresetAbsIndex(), 85);
  EXPECT_EQ(v.uiPresetCount(), 87);
  EXPECT_FALSE(v.savePreset("Init"));
  EXPECT_FALSE(v.savePreset(""));
  EXPECT_FALSE(v.savePreset("two\nlines"));
  EXPECT_EQ(v.uiUserPresetNames(), (Names{"Mine", "Other"}));

  // The other instance picks up the replaced preset, not only the names.
  EXPECT_TRUE(eventually([&] { return b.plug->recallUserPreset("Mine", true) && value(b, kCutoff) == 4321.0; }));
  EXPECT_EQ(b.plug->uiUserPresetNames(), (Names{"Mine", "Other"}));
  EXPECT_EQ(b.plug->snapshotVoiceParams().stretch, 1.0);
  EXPECT_EQ(b.plug->uiPresetAbsIndex(), 85);

  EXPECT_FALSE(v.renamePresetByName("Mine", "Other"));
  EXPECT_FALSE(v.renamePresetByName("Mine", "Mine"));
  EXPECT_FALSE(v.renamePresetByName("Mine", "Worn threshold"));
  EXPECT_FALSE(v.renamePresetByName("Nobody", "New"));
  ASSERT_TRUE(v.renamePresetByName("Mine", "Renamed"));
  EXPECT_EQ(v.uiPresetName(), "Renamed");  // the current preset follows its new name
  EXPECT_TRUE(eventually([&] { return b.plug->uiUserPresetNames() == Names{"Renamed", "Other"}; }));

  ASSERT_TRUE(v.deletePresetByName("Renamed"));
  EXPECT_EQ(v.uiPresetName(), "");
  EXPECT_EQ(value(a, kCutoff), 4321.0);  // the sound stays
  EXPECT_FALSE(v.presetEdited());
  EXPECT_FALSE(v.deletePresetByName("Renamed"));
  EXPECT_TRUE(eventually([&] { return b.plug->uiUserPresetNames() == Names{"Other"}; }));
}

// Lines written by hand, with fewer values, unreadable ones and two of one name, come back byte for byte when
// another preset is saved, renamed or deleted.
TEST_F(Presets, HandWrittenLinesSurviveOtherChangesByteForByte) {
  const std::string path = vorrel::mem::defaultConfigDir() + "/presets.txt";
  const std::string hand = "p1 62 0 55\tShort\np1 inf 1e1 0x10\tOdd\np1 5\tTwin\np1   6\tTwin\n";
  ASSERT_TRUE(vorrel::writeLibraryFile(path, hand));
  Vorrel v(vfw::InstanceInfo{});
  ASSERT_TRUE(v.savePreset("Mine"));
  ASSERT_TRUE(v.renamePresetByName("Mine", "Yours"));
  ASSERT_TRUE(v.savePreset("Other"));
  ASSERT_TRUE(v.deletePresetByName("Other"));
  std::string text;
  ASSERT_EQ(vorrel::readLibraryFile(path, text), vorrel::LibraryRead::Ok);
  EXPECT_EQ(text.substr(0, hand.size()), hand);
  EXPECT_EQ(text.find("\tYours\n"), text.size() - 7);
}

// Run only as a child of the next test, with the name to save in the environment.
TEST(PresetChild, SaveOne) {
  const char* name = std::getenv("VORREL_PRESET_CHILD_SAVE");
  if (!name) GTEST_SKIP() << "a helper for EightProcessesSaveAtOnce";
  Vorrel v(vfw::InstanceInfo{});
  for (int i = 0; i < 5; ++i) ASSERT_TRUE(v.savePreset(name + std::to_string(i)));
}

TEST_F(Presets, EightProcessesSaveAtOnce) {
  DirectVorrel watcher;
  std::vector<pid_t> children;
  for (int c = 0; c < 8; ++c) {
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) env.emplace_back(*e);
    env.push_back("VORREL_PRESET_CHILD_SAVE=P" + std::to_string(c) + "_");
    std::vector<char*> envp;
    for (auto& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    std::string exe = "/proc/self/exe";
    std::string filter = "--gtest_filter=PresetChild.SaveOne";
    char* argv[] = {exe.data(), filter.data(), nullptr};
    pid_t pid = 0;
    ASSERT_EQ(::posix_spawn(&pid, exe.c_str(), nullptr, nullptr, argv, envp.data()), 0);
    children.push_back(pid);
  }
  for (pid_t pid : children) {
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  // Every save of every process survives, and this process's instance has picked them all up.
  EXPECT_TRUE(eventually([&] { return watcher.plug->uiUserPresetNames().size() == 40; }));
  auto names = watcher.plug->uiUserPresetNames();
  std::sort(names.begin(), names.end());
  EXPECT_EQ(std::unique(names.begin(), names.end()), names.end());
}

TEST_F(Presets, ProgramChangeNumbersAndSwitch) {
  DirectVorrel d;
  Vorrel& v = *d.plug;
  auto program = [&](int n) {
    d.midi(0xC0, static_cast<uint8_t>(n), 0);
    d.block();
    return eventually([&] { return v.pendingProgramChange() == -1; });
  };
  ASSERT_TRUE(program(84));
  EXPECT_TRUE(eventually([&] { return v.presetRecalledCount() == 1; }));
  EXPECT_EQ(v.uiPresetName(), "Substation");
  EXPECT_EQ(v.uiLastProgramChange(), 84);

  // 85 with no user presets changes nothing but the number shown.
  v.GetParam(kCutoff)->Set(5555);
  ASSERT_TRUE(program(85));
  EXPECT_TRUE(eventually([&] { return v.uiLastProgramChange() == 85; }));
  EXPECT_EQ(v.presetRecalledCount(), 1);
  EXPECT_EQ(value(d, kCutoff), 5555.0);

  ASSERT_TRUE(v.savePreset("First"));
  v.GetParam(kCutoff)->Set(100);
  ASSERT_TRUE(program(85));
  EXPECT_TRUE(eventually([&] { return v.presetRecalledCount() == 2; }));
  EXPECT_EQ(value(d, kCutoff), 5555.0);

  // Switched off: nothing is recalled and the last number stays.
  v.uiSetProgramChangeEnabled(false);
  ASSERT_TRUE(program(3));
  std::this_thread::sleep_for(std::chrono::milliseconds(60));
  EXPECT_EQ(v.presetRecalledCount(), 2);
  EXPECT_EQ(v.uiLastProgramChange(), 85);
  EXPECT_EQ(v.uiPresetName(), "First");
}
