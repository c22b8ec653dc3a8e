// Data and configuration directories from the XDG variables or the home directory, and mkdir level by level.
#include "Directories.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

namespace vorrel::mem {
namespace {

bool absolute(const char* path) { return path && path[0] == '/'; }

std::string passwordHome() {
  long hint = ::sysconf(_SC_GETPW_R_SIZE_MAX);
  std::vector<char> buf(hint > 0 ? static_cast<size_t>(hint) : 4096);
  for (;;) {
    passwd entry{};
    passwd* found = nullptr;
    const int r = ::getpwuid_r(::getuid(), &entry, buf.data(), buf.size(), &found);
    if (r == ERANGE && buf.size() < (1u << 20)) {
      buf.resize(buf.size() * 2);
      continue;
    }
    return r == 0 && found && absolute(found->pw_dir) ? std::string(found->pw_dir) : std::string();
  }
}

// Relative XDG values are invalid and ignored; without any home there is no base at all (never /tmp, which
// every account can write into).
std::string base(const char* xdgVar, const char* homeSuffix) {
  const char* xdg = std::getenv(xdgVar);
  if (absolute(xdg)) return xdg;
  const std::string home = homeDir();
  return home.empty() ? std::string() : home + homeSuffix;
}

std::string under(const std::string& b) { return b.empty() ? b : b + "/OskelAudio/Vorrel"; }

}  // namespace

std::string homeDir() {
  const char* home = std::getenv("HOME");
  return absolute(home) ? std::string(home) : passwordHome();
}

std::string defaultStoreDir() { return under(base("XDG_DATA_HOME", "/.local/share")); }

std::string defaultConfigDir() { return under(base("XDG_CONFIG_HOME", "/.config")); }

void ensureDirRecursive(const std::string& path) {
  for (size_t pos = 1; pos <= path.size(); ++pos) {
    if (pos == path.size() || path[pos] == '/') {
      const std::string level = path.substr(0, pos);
      // 0755 whatever the umask; a level that already existed keeps its mode.
      if (!level.empty() && level.back() != '/' && ::mkdir(level.c_str(), 0755) == 0) ::chmod(level.c_str(), 0755);
    }
  }
}

}  // namespace vorrel::mem
