// The memory library: file names, listing, dated backups, name collisions, loads that must change nothing.
#include "MemoryFile.h"
#include "MemoryLibrary.h"
#include "ShmFixture.h"

#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

using namespace vorrel::mem;
namespace memfmt = vorrel::memfmt;
namespace fs = std::filesystem;

namespace {

// 2026-12-07 17:30:20 UTC.
constexpr uint64_t kAt1730 = 1796664620;

class Library : public vtest::ShmTest {
 protected:
  void SetUp() override {
    ShmTest::SetUp();
    ::setenv("TZ", "UTC", 1);
    ::tzset();
    dir = store + "/memories";
    mem = handle();
    ASSERT_TRUE(mem->open(kAt1730));
  }
  void TearDown() override {
    mem->close(kAt1730);
    ShmTest::TearDown();
  }
  MemoryState live() {
    MemoryState s{};
    EXPECT_TRUE(mem->load(s));
    return s;
  }
  void change(const std::function<void(MemoryState&)>& f) { ASSERT_TRUE(mem->withMachine(kAt1730, f)); }
  static void touch(const std::string& path) { std::ofstream(path) << "x"; }
  std::string storedName(const std::string& stem) {
    MemoryFileHeader h;
    MemoryFileBodyV1 b;
    MemoryCartV1 c;
    MemoryNameV3 n{};
    MemoryYours y{};
    EXPECT_TRUE(memfmt::loadMemoryFile(dir + "/" + stem + ".bin", h, b, c, &n, &y)) << stem;
    return n.text;
  }

  std::string dir;
  std::unique_ptr<MachineMemory> mem;
};

}  // namespace

TEST(LibraryNames, FileNamesListingAndNameRecords) {
  EXPECT_EQ(memFileName("a/b:c\\d e"), "a-b-c-d e.bin");
  char tmpl[] = "/tmp/vorrel-lib-XXXXXX";
  const std::string d = ::mkdtemp(tmpl);
  for (const char* f : {"notes.txt", ".bin", "x.bin", "B.bin", "a.bin", "\xc3\xa9t\xc3\xa9.bin"})
    std::ofstream(d + "/" + f) << "x";
  EXPECT_EQ(listMemoryNames(d), (std::vector<std::string>{"B", "a", "x", "\xc3\xa9t\xc3\xa9"}));
  EXPECT_TRUE(listMemoryNames(d + "/missing").empty());
  fs::remove_all(d);
  // 38 ASCII bytes then "é": the cut never leaves half a character.
  EXPECT_STREQ(nameRecord(std::string(38, 'n') + "\xc3\xa9", 5).text, std::string(38, 'n').c_str());
  EXPECT_EQ(nameRecord(std::string(50, 'n'), 5).namedAt, 5u);
}

TEST_F(Library, BackupsAreDatedNumberedAndOnlyWhenThereIsSomethingToKeep) {
  change([](MemoryState& s) { s = defaultState(); });
  EXPECT_TRUE(backupLiveMemory(*mem, dir, kAt1730));  // empty, unnamed, never carved: nothing written
  EXPECT_TRUE(listMemoryNames(dir).empty());
  change([](MemoryState& s) { s.name = nameRecord("only named", 1); });
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(backupLiveMemory(*mem, dir, kAt1730 + 20));
  EXPECT_EQ(listMemoryNames(dir), (std::vector<std::string>{"Backup 2026-12-07 17h30", "Backup 2026-12-07 17h30 (2)",
                                                            "Backup 2026-12-07 17h30 (3)"}));
  EXPECT_EQ(storedName("Backup 2026-12-07 17h30 (3)"), "only named");  // the memory keeps its own name inside
  // A library that cannot be written: the backup fails, and so does the load that needed it.
  touch(store + "/blocked");
  EXPECT_FALSE(backupLiveMemory(*mem, store + "/blocked/memories", kAt1730));
  EXPECT_FALSE(loadShippedMemory(*mem, store + "/blocked/memories", 1, kAt1730));
  EXPECT_STREQ(live().name.text, "only named");
}

TEST_F(Library, BackupsInTheSameMinuteFromManyProcessesAllSurvive) {
  // The primitive: a name taken between the look and the write is never replaced, and no temporary stays.
  fs::create_directories(dir);
  touch(dir + "/taken.bin");
  const std::string temp = memfmt::writeTemporary(dir, "taken.bin", {1, 2, 3});
  ASSERT_FALSE(temp.empty());
  EXPECT_EQ(memfmt::renameNoReplace(temp, dir + "/taken.bin"), memfmt::NewFile::Taken);
  EXPECT_EQ(fs::file_size(dir + "/taken.bin"), 1u);
  EXPECT_FALSE(fs::exists(temp));
  fs::remove(dir + "/taken.bin");
  // Eight processes back up the same memory in the same minute: eight files.
  change([](MemoryState& s) { s.name = nameRecord("kept", 1); });
  std::vector<pid_t> kids;
  for (int i = 0; i < 8; ++i) {
    const pid_t pid = ::fork();
    if (pid == 0) ::_exit(backupLiveMemory(*mem, dir, kAt1730) ? 0 : 1);
    kids.push_back(pid);
  }
  for (pid_t pid : kids) {
    int status = 0;
    ::waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  EXPECT_EQ(listMemoryNames(dir).size(), 8u);
}

TEST_F(Library, NamesThatShareAFileDoNotReplaceEachOther) {
  change([](MemoryState& s) { s.modeWeights[4] = 3.0; });
  ASSERT_TRUE(saveMemoryAs(*mem, dir, "a/b:c", kAt1730));
  EXPECT_STREQ(live().name.text, "a/b:c");
  ASSERT_TRUE(saveMemoryAs(*mem, dir, "a-b-c", kAt1730));
  ASSERT_TRUE(saveMemoryAs(*mem, dir, "a/b:c", kAt1730));  // its own file again
  EXPECT_EQ(listMemoryNames(dir), (std::vector<std::string>{"a-b-c", "a-b-c (2)"}));
  EXPECT_EQ(storedName("a-b-c"), "a/b:c");
  EXPECT_EQ(storedName("a-b-c (2)"), "a-b-c");
  EXPECT_FALSE(saveMemoryAs(*mem, dir, "", kAt1730));
  EXPECT_TRUE(deleteLibraryMemory(dir, "a-b-c (2)"));
  EXPECT_FALSE(deleteLibraryMemory(dir, "a-b-c (2)"));
}

TEST_F(Library, LoadingKeepsTheMachinesForgetAndBadFilesChangeNothing) {
  MemoryFileBodyV1 body{};
  body.modeWeights[6] = 9.0;
  body.forgetDays = 0.0;
  body.engravePct = 80.0;
  MemoryCartV1 cart{};
  cart.ink[2][7] = 4.0f;
  ASSERT_TRUE(memfmt::saveMemoryFile(dir, "kept.bin", body, cart, 10, nullptr, nullptr));
  std::ofstream(dir + "/broken.bin") << "not a memory";
  change([](MemoryState& s) {
    s.forgetDays = 33.0;
    s.modeWeights[1] = 2.0;
  });
  EXPECT_FALSE(loadLibraryMemory(*mem, dir, "missing", kAt1730));
  EXPECT_FALSE(loadLibraryMemory(*mem, dir, "broken", kAt1730));
  EXPECT_EQ(listMemoryNames(dir).size(), 2u);  // no backup for a load that did not happen
  EXPECT_EQ(live().modeWeights[1], 2.0);
  ASSERT_TRUE(loadLibraryMemory(*mem, dir, "kept", kAt1730));
  const MemoryState s = live();
  EXPECT_EQ(s.forgetDays, 33.0);
  EXPECT_EQ(s.engravePct, 80.0);
  EXPECT_EQ(s.modeWeights[6], 9.0);
  EXPECT_EQ(s.modeWeights[1], 0.0);
  EXPECT_EQ(s.cart.ink[2][7], 4.0f);
  EXPECT_STREQ(s.name.text, "kept");
  EXPECT_EQ(listMemoryNames(dir).size(), 3u);  // the replaced memory was backed up
}
