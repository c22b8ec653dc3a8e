// File work of the user library. Readers never lock: the file is only ever replaced whole by rename.
#include "UserLibraryFile.h"

#include "Directories.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <ctime>

namespace vorrel {
namespace {

constexpr int kLockTries = 2500;  // 2 ms apart: a holder has 5 s to finish one reread-change-write

void sleep2ms() {
  timespec ts{0, 2 * 1000 * 1000};
  while (nanosleep(&ts, &ts) != 0 && errno == EINTR) {
  }
}

// An exclusive flock on its own open file description, so two instances of one process exclude each other too.
class LibraryLock {
 public:
  explicit LibraryLock(const std::string& path) {
    fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) return;
    for (int i = 0; i < kLockTries; ++i) {
      if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        held = true;
        return;
      }
      if (errno != EWOULDBLOCK && errno != EINTR) return;
      sleep2ms();
    }
  }
  ~LibraryLock() {
    if (fd < 0) return;
    if (held) ::flock(fd, LOCK_UN);
    ::close(fd);
  }
  LibraryLock(const LibraryLock&) = delete;
  LibraryLock& operator=(const LibraryLock&) = delete;
  bool ok() const { return held; }

 private:
  int fd = -1;
  bool held = false;
};

std::string uniqueTempPath(const std::string& path) {
  static std::atomic<uint64_t> counter{0};
  return path + ".tmp." + std::to_string(::getpid()) + "." + std::to_string(counter.fetch_add(1) + 1);
}

}  // namespace

std::string parentDir(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string userLibraryPath() {
  const std::string dir = mem::defaultConfigDir();
  return dir.empty() ? std::string() : dir + "/presets.txt";
}

LibraryRead readLibraryFile(const std::string& path, std::string& text) {
  text.clear();
  if (path.empty()) return LibraryRead::Missing;  // no home: the library lives in memory only
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return errno == ENOENT ? LibraryRead::Missing : LibraryRead::Unreadable;
  char buf[4096];
  size_t n = 0;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) text.append(buf, n);
  const bool failed = std::ferror(f) != 0;
  std::fclose(f);
  if (failed) {
    text.clear();
    return LibraryRead::Unreadable;
  }
  return LibraryRead::Ok;
}

bool writeLibraryFile(const std::string& path, const std::string& text) {
  if (path.empty()) return false;
  mem::ensureDirRecursive(parentDir(path));
  const std::string tmp = uniqueTempPath(path);
  FILE* f = std::fopen(tmp.c_str(), "wb");
  if (!f) return false;
  bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
  ok = ok && std::fflush(f) == 0;
  ok = ok && ::fsync(::fileno(f)) == 0;
  ok = (std::fclose(f) == 0) && ok;
  ok = ok && std::rename(tmp.c_str(), path.c_str()) == 0;
  if (!ok) std::remove(tmp.c_str());
  return ok;
}

bool changeLibraryFile(const std::string& path, const std::function<bool(std::vector<UserPreset>&)>& change,
                       std::vector<UserPreset>& result) {
  if (path.empty()) return false;
  mem::ensureDirRecursive(parentDir(path));
  LibraryLock lock(path + ".lock");
  if (!lock.ok()) return false;
  std::string text;
  if (readLibraryFile(path, text) == LibraryRead::Unreadable) return false;
  std::vector<UserPreset> presets;
  parseLibraryText(text, presets);
  if (!change(presets)) return false;
  if (!writeLibraryFile(path, libraryText(presets))) return false;
  result = std::move(presets);
  return true;
}

}  // namespace vorrel
