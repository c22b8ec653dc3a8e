// Where the store and the configuration go when HOME or the XDG variables are missing, empty or relative.
#include "Directories.h"

#include <gtest/gtest.h>

#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

using namespace vorrel::mem;

namespace {

void set(const char* name, const char* value) { value ? ::setenv(name, value, 1) : ::unsetenv(name); }

// Runs check in a child process, whose environment and account may change freely.
void inChild(void (*check)()) {
  const pid_t child = ::fork();
  if (child == 0) {
    check();
    ::_exit(::testing::Test::HasFailure() ? 1 : 0);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

}  // namespace

TEST(Directories, WithoutAUsableHomeVariableTheAccountsHomeIsUsed) {
  inChild([] {
    const std::string home = ::getpwuid(::getuid())->pw_dir;
    set("XDG_DATA_HOME", nullptr);
    set("XDG_CONFIG_HOME", nullptr);
    for (const char* value : {static_cast<const char*>(nullptr), "", "relative/home"}) {
      set("HOME", value);
      EXPECT_EQ(defaultStoreDir(), home + "/.local/share/OskelAudio/Vorrel");
      EXPECT_EQ(defaultConfigDir(), home + "/.config/OskelAudio/Vorrel");
    }
    set("HOME", "/home/player");
    set("XDG_DATA_HOME", "data");  // relative: ignored
    set("XDG_CONFIG_HOME", "/etc/player");
    EXPECT_EQ(defaultStoreDir(), "/home/player/.local/share/OskelAudio/Vorrel");
    EXPECT_EQ(defaultConfigDir(), "/etc/player/OskelAudio/Vorrel");
  });
}

TEST(Directories, AnAccountWithoutAnyHomeStoresNothing) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to become an account the password database does not know";
  inChild([] {
    set("HOME", nullptr);
    set("XDG_DATA_HOME", nullptr);
    set("XDG_CONFIG_HOME", nullptr);
    ASSERT_EQ(::setuid(54321), 0);
    ASSERT_EQ(::getpwuid(54321), nullptr);
    EXPECT_EQ(defaultStoreDir(), "");  // never /tmp
    EXPECT_EQ(defaultConfigDir(), "");
  });
}
