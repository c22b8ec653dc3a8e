// Data and configuration directories from the XDG variables, and mkdir level by level.
#include "Directories.h"

#include <sys/stat.h>

#include <cstdlib>

namespace vorrel::mem {
namespace {

std::string base(const char* xdgVar, const char* homeSuffix) {
  const char* xdg = std::getenv(xdgVar);
  if (xdg && *xdg) return xdg;
  const char* home = std::getenv("HOME");
  return std::string(home && *home ? home : "/tmp") + homeSuffix;
}

}  // namespace

std::string defaultStoreDir() { return base("XDG_DATA_HOME", "/.local/share") + "/OskelAudio/Vorrel"; }

std::string defaultConfigDir() { return base("XDG_CONFIG_HOME", "/.config") + "/OskelAudio/Vorrel"; }

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
