// Store-directory file handling: non-blocking regular-file reads, synced temporaries, sweeping, keeping aside.
#include "StoreFiles.h"

#include "Directories.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace vorrel::memfmt {
namespace {

std::atomic<uint32_t> gTempCounter{0};

int openForReading(const std::string& path) {
  for (int attempt = 0; attempt < 8; ++attempt) {
    // O_NONBLOCK: opening a FIFO must not wait for a writer; regular files are not affected by it.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd >= 0 || errno != EINTR) return fd;
  }
  return -1;
}

ReadStatus classifyOpenError(const std::string& path, int err) {
  switch (err) {
    case ENOENT:
    case ENOTDIR:
    case ENAMETOOLONG:
      return ReadStatus::Missing;
    case ELOOP:
    case ENXIO:
    case ENODEV:
    case EISDIR:
    case EOPNOTSUPP:
      return ReadStatus::Refused;
    case EACCES:
    case EPERM: {
      struct stat st {};
      if (::stat(path.c_str(), &st) != 0) return ReadStatus::Failed;
      return S_ISREG(st.st_mode) ? ReadStatus::Unreadable : ReadStatus::Refused;
    }
    default:
      return ReadStatus::Failed;  // EMFILE, ENFILE, EIO, ENOMEM, EINTR...: the file may well be fine
  }
}

bool exists(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0 || errno != ENOENT;
}

// The pid in "<fileName>.tmp.<pid>" or "<fileName>.tmp.<pid>.<n>", or 0 when the name is not such a temporary.
pid_t temporaryOwner(const char* entry, const std::string& fileName) {
  const char* digits = nullptr;
  if (fileName.empty()) {  // any memory file's: "<name>.bin.tmp.<pid>..."
    const char* mark = std::strstr(entry, ".bin.tmp.");
    if (!mark || mark == entry) return 0;
    digits = mark + std::strlen(".bin.tmp.");
  } else {
    const std::string prefix = fileName + ".tmp.";
    if (std::strncmp(entry, prefix.c_str(), prefix.size()) != 0) return 0;
    digits = entry + prefix.size();
  }
  char* end = nullptr;
  errno = 0;
  const long pid = std::strtol(digits, &end, 10);
  if (end == digits || errno != 0 || pid <= 0 || pid > 0x3FFFFFFF) return 0;
  if (*end == '.') {
    const char* n = end + 1;
    std::strtoul(n, &end, 10);
    if (end == n) return 0;
  }
  return *end == '\0' ? static_cast<pid_t>(pid) : 0;
}

}  // namespace

ReadStatus readRegularFile(const std::string& path, std::vector<uint8_t>& bytes, size_t cap, uint64_t& fileSize) {
  bytes.clear();
  const int fd = openForReading(path);
  if (fd < 0) return classifyOpenError(path, errno);
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    ::close(fd);
    return ReadStatus::Failed;
  }
  if (!S_ISREG(st.st_mode)) {
    ::close(fd);
    return ReadStatus::Refused;
  }
  fileSize = static_cast<uint64_t>(st.st_size);
  bytes.resize(cap);
  size_t got = 0;
  while (got < cap) {
    const ssize_t n = ::read(fd, bytes.data() + got, cap - got);
    if (n > 0) {
      got += static_cast<size_t>(n);
    } else if (n == 0) {
      break;
    } else if (errno != EINTR) {
      ::close(fd);
      bytes.clear();
      return ReadStatus::Failed;
    }
  }
  ::close(fd);
  bytes.resize(got);
  return ReadStatus::Ok;
}

uint64_t fingerprint(const uint8_t* data, size_t size, uint64_t fileSize) {
  uint64_t h = 0xcbf29ce484222325ull;
  auto mix = [&h](uint8_t b) { h = (h ^ b) * 0x100000001b3ull; };
  for (size_t i = 0; i < size; ++i) mix(data[i]);
  for (int i = 0; i < 8; ++i) mix(static_cast<uint8_t>(fileSize >> (8 * i)));
  return h ? h : 1;
}

std::string writeTemporary(const std::string& dir, const std::string& fileName, const std::vector<uint8_t>& bytes) {
  if (dir.empty()) return {};  // no store directory: nothing is written anywhere
  mem::ensureDirRecursive(dir);
  // Unique per save: instances of one host process flush from their own threads.
  const std::string tempPath = dir + "/" + fileName + ".tmp." + std::to_string(::getpid()) + "." +
                               std::to_string(gTempCounter.fetch_add(1, std::memory_order_relaxed));
  const int fd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (fd < 0) return {};
  FILE* f = ::fdopen(fd, "wb");
  if (!f) {
    ::close(fd);
    std::remove(tempPath.c_str());
    return {};
  }
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  ok = ok && std::fflush(f) == 0;
  ok = ok && ::fsync(::fileno(f)) == 0;
  ok = (std::fclose(f) == 0) && ok;
  if (!ok) {
    std::remove(tempPath.c_str());  // never leave a stray temporary behind
    return {};
  }
  return tempPath;
}

bool renameOver(const std::string& tempPath, const std::string& finalPath) {
  if (std::rename(tempPath.c_str(), finalPath.c_str()) == 0) return true;
  std::remove(tempPath.c_str());
  return false;
}

NewFile renameNoReplace(const std::string& tempPath, const std::string& finalPath) {
  if (::renameat2(AT_FDCWD, tempPath.c_str(), AT_FDCWD, finalPath.c_str(), RENAME_NOREPLACE) == 0)
    return NewFile::Written;
  NewFile result = errno == EEXIST ? NewFile::Taken : NewFile::Failed;
  if (result == NewFile::Failed && (errno == EINVAL || errno == ENOSYS)) {
    // A file system without the flag: a hard link fails just as atomically on a name that exists.
    if (::link(tempPath.c_str(), finalPath.c_str()) == 0)
      result = NewFile::Written;
    else if (errno == EEXIST)
      result = NewFile::Taken;
  }
  std::remove(tempPath.c_str());
  return result;
}

void syncDirectory(const std::string& dir) {
  const int dfd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dfd >= 0) {
    ::fsync(dfd);
    ::close(dfd);
  }
}

void removeDeadTemporaries(const std::string& dir, const std::string& fileName) {
  DIR* d = ::opendir(dir.c_str());
  if (!d) return;
  const pid_t self = ::getpid();
  while (const dirent* e = ::readdir(d)) {
    const pid_t owner = temporaryOwner(e->d_name, fileName);
    // A living writer (this process included) may be about to rename its temporary: only the dead lose theirs.
    if (owner == 0 || owner == self || ::kill(owner, 0) == 0 || errno != ESRCH) continue;
    ::unlinkat(::dirfd(d), e->d_name, 0);
  }
  ::closedir(d);
}

bool keepAside(const std::string& dir, const std::string& fileName, const char* why, uint64_t now) {
  const std::string stem = fileName.substr(0, fileName.rfind('.'));
  const time_t t = static_cast<time_t>(now);
  tm parts{};
  localtime_r(&t, &parts);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &parts);
  const std::string from = dir + "/" + fileName;
  const std::string base = dir + "/" + stem + "." + why + "-" + stamp;
  for (int n = 0; n < 1000; ++n) {
    const std::string aside = n == 0 ? base + ".bin" : base + "-" + std::to_string(n) + ".bin";
    // Never over another file kept aside in the same second.
    int r = ::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, aside.c_str(), RENAME_NOREPLACE);
    if (r != 0 && errno == EINVAL) r = exists(aside) ? (errno = EEXIST, -1) : std::rename(from.c_str(), aside.c_str());
    if (r == 0) return true;
    if (errno == ENOENT) return !exists(from);  // somebody else moved it first
    if (errno != EEXIST) return false;
  }
  return false;
}

}  // namespace vorrel::memfmt
