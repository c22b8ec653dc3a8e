// Where the store and the configuration go when HOME or the XDG variables are missing, empty or relative.
#include "Directories.h"

#include <gtest/gtest.h>

#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <optional>
#include <string>

using namespace vorrel::mem;

namespace {

// Sets or unsets a variable for one test and puts the old value back.
class EnvVar {
 public:
  EnvVar(const char* n, const char* value) : name(n) {
    if (const char* old = std::getenv(n)) saved = old;
    value ? ::setenv(n, value, 1) : ::unsetenv(n);
  }
  ~EnvVar() { saved ? ::setenv(name, saved->c_str(), 1) : ::unsetenv(name); }

 private:
  const char* name;
  std::optional<std::string> saved;
};

}  // namespace

TEST(Directories, WithoutAUsableHomeVariableTheAccountsHomeIsUsed) {
  const passwd* pw = ::getpwuid(::getuid());
  ASSERT_NE(pw, nullptr);
  const std::string home = pw->pw_dir;
  EnvVar data("XDG_DATA_HOME", nullptr), config("XDG_CONFIG_HOME", nullptr);
  for (const char* value : {static_cast<const char*>(nullptr), "", "relative/home"}) {
    EnvVar h("HOME", value);
    EXPECT_EQ(defaultStoreDir(), home + "/.local/share/OskelAudio/Vorrel");
    EXPECT_EQ(defaultConfigDir(), home + "/.config/OskelAudio/Vorrel");
  }
  EnvVar h("HOME", "/home/player");
  {
    EnvVar relative("XDG_DATA_HOME", "data"), relativeConfig("XDG_CONFIG_HOME", "./config");
    EXPECT_EQ(defaultStoreDir(), "/home/player/.local/share/OskelAudio/Vorrel");
    EXPECT_EQ(defaultConfigDir(), "/home/player/.config/OskelAudio/Vorrel");
  }
  EnvVar absolute("XDG_DATA_HOME", "/srv/data");
  EXPECT_EQ(defaultStoreDir(), "/srv/data/OskelAudio/Vorrel");
}

TEST(Directories, AnAccountWithoutAnyHomeStoresNothing) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to become an account the password database does not know";
  const pid_t child = ::fork();
  if (child == 0) {
    ::unsetenv("HOME");
    ::unsetenv("XDG_DATA_HOME");
    ::unsetenv("XDG_CONFIG_HOME");
    if (::setuid(54321) != 0 || ::getpwuid(54321) != nullptr) ::_exit(2);
    ::_exit(defaultStoreDir().empty() && defaultConfigDir().empty() ? 0 : 1);  // never /tmp
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
}
