// Marker files in the configuration directory, written atomically and never into a shared temporary directory.
#include "Markers.h"

#include "Directories.h"

#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace vrui {
namespace {

bool unsetOrEmpty(const char* name) {
  const char* v = std::getenv(name);
  return !v || !*v;
}

std::string inMarkerDir(const char* file) {
  const std::string dir = markerDir();
  return dir.empty() ? std::string() : dir + "/" + file;
}

}  // namespace

std::string markerDir() {
  std::string dir = vorrel::mem::defaultConfigDir();
  if (dir.empty() || dir[0] != '/') return {};
  // Without a home of our own, a world-writable directory would let anyone plant our markers: store nothing.
  if (unsetOrEmpty("HOME") && unsetOrEmpty("XDG_CONFIG_HOME") && dir.rfind("/tmp/", 0) == 0) return {};
  return dir;
}

std::string hintsLangFilePath() { return inMarkerDir("hints-lang.txt"); }
std::string firstRunFilePath() { return inMarkerDir("first-run-done.txt"); }
std::string tourFilePath() { return inMarkerDir("tour-done.txt"); }

void ensureConfigDir(const std::string& path) {
  const size_t slash = path.find_last_of("/\\");
  if (slash == std::string::npos || slash == 0) return;
  vorrel::mem::ensureDirRecursive(path.substr(0, slash));
}

bool markerPresent(const std::string& path) { return !path.empty() && ::access(path.c_str(), F_OK) == 0; }

bool writeMarkerFile(const std::string& path, const char* content) {
  if (path.empty() || !content) return false;
  ensureConfigDir(path);
  // Written beside the final name and renamed over it, so a reader never sees half a file.
  // Two editors of one process may write at once: each write gets its own temporary name.
  static std::atomic<unsigned> serial{0};
  const std::string tmp = path + ".tmp." + std::to_string(::getpid()) + "." + std::to_string(serial.fetch_add(1));
  std::FILE* f = std::fopen(tmp.c_str(), "wb");
  if (!f) return false;
  const size_t n = std::strlen(content);
  bool ok = std::fwrite(content, 1, n, f) == n && std::fflush(f) == 0 && ::fsync(::fileno(f)) == 0;
  ok = std::fclose(f) == 0 && ok;
  if (ok && std::rename(tmp.c_str(), path.c_str()) == 0) return true;
  std::remove(tmp.c_str());
  return false;
}

void saveFirstRunDone() { writeMarkerFile(firstRunFilePath(), "done\n"); }
void saveTourDone() { writeMarkerFile(tourFilePath(), "done\n"); }

}  // namespace vrui
