// The library file: created with its directories, left alone when it cannot be read, one change at a time.
#include "UserLibraryFile.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

class LibraryFile : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/vorrel-presets-XXXXXX";
    root = ::mkdtemp(tmpl);
    path = root + "/a/b/presets.txt";
  }
  void TearDown() override { fs::remove_all(root); }

  static std::string slurp(const std::string& p) {
    std::ifstream f(p, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
  }
  static bool add(const std::string& p, const std::string& name, std::vector<vorrel::UserPreset>& out) {
    vorrel::UserPreset preset;
    preset.name = name;
    return vorrel::changeLibraryFile(
        p,
        [&](std::vector<vorrel::UserPreset>& lib) {
          vorrel::upsertPreset(lib, preset);
          return true;
        },
        out);
  }

  std::string root;
  std::string path;
};

}  // namespace

TEST_F(LibraryFile, CreatesLevelsAndLeavesNoTemporaries) {
  std::vector<vorrel::UserPreset> lib;
  ASSERT_TRUE(add(path, "One", lib));
  ASSERT_TRUE(add(path, "Two", lib));
  EXPECT_EQ(lib.size(), 2u);
  struct stat st {};
  ASSERT_EQ(::stat((root + "/a/b").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0755u);
  EXPECT_EQ(slurp(path), vorrel::libraryText(lib));
  for (const auto& e : fs::directory_iterator(root + "/a/b"))
    EXPECT_TRUE(e.path().filename() == "presets.txt" || e.path().filename() == "presets.txt.lock") << e.path();
  std::string text;
  EXPECT_EQ(vorrel::readLibraryFile(root + "/none.txt", text), vorrel::LibraryRead::Missing);
  // A change that declines writes nothing.
  EXPECT_FALSE(vorrel::changeLibraryFile(
      path, [](std::vector<vorrel::UserPreset>&) { return false; }, lib));
}

// Only a missing file is an empty library; one that exists but cannot be read must not be replaced by one preset.
TEST_F(LibraryFile, AnUnreadableFileIsLeftUntouched) {
  std::vector<vorrel::UserPreset> lib;
  ASSERT_TRUE(add(path, "Keep", lib));
  const std::string before = slurp(path);
  ::chmod(root.c_str(), 0777);
  ::chmod((root + "/a").c_str(), 0777);
  ::chmod((root + "/a/b").c_str(), 0777);
  ::chmod((path + ".lock").c_str(), 0666);
  ::chmod(path.c_str(), 0);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    // Root reads anything, so the writer becomes nobody.
    if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(3);
    std::string text;
    if (vorrel::readLibraryFile(path, text) != vorrel::LibraryRead::Unreadable) ::_exit(4);
    std::vector<vorrel::UserPreset> out;
    ::_exit(add(path, "Intruder", out) ? 1 : 0);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  ::chmod(path.c_str(), 0644);  // readable again, for a test run by its owner rather than root
  EXPECT_EQ(slurp(path), before);
}
