// Writing the machine memory to memory.bin: any instance writes a generation its file lacks, a file this
// segment never held is kept aside first, and an older generation never replaces a newer one.
#include "MachineMemory.h"

#include "MemoryFile.h"
#include "SeqLock.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace vorrel::mem {
namespace {

constexpr int64_t kFlushSpacing = 14;  // at most one write per 15 seconds
constexpr const char* kLiveFile = "memory.bin";

// Threads of one process take turns, so they do not write the same generation twice.
std::mutex& flushMutex() {
  static std::mutex m;
  return m;
}

}  // namespace

uint64_t MachineMemory::diskGeneration() const {
  for (auto& r : seg->disk)
    if (shared(r.storeKey).load(std::memory_order_acquire) == storeKey)
      return shared(r.generation).load(std::memory_order_acquire);
  return localDiskGen;  // the segment no longer says (another build, or two other directories written since)
}

bool MachineMemory::dirty() const {
  if (!isOpen() || !seg || storeKey == 0) return false;
  return diskGeneration() != memoryGeneration();
}

// Under the machine lock.
void MachineMemory::recordDisk(uint64_t generation) {
  DiskRecord* target = &seg->disk[0];
  for (auto& r : seg->disk) {
    if (shared(r.storeKey).load(std::memory_order_acquire) == storeKey) {
      target = &r;
      break;
    }
    if (shared(r.generation).load(std::memory_order_acquire) <
        shared(target->generation).load(std::memory_order_acquire))
      target = &r;  // else the directory written longest ago gives way
  }
  shared(target->storeKey).store(storeKey, std::memory_order_release);
  shared(target->generation).store(generation, std::memory_order_release);
}

bool MachineMemory::knownFile(uint64_t print) const {
  for (auto& k : seg->knownFiles)
    if (shared(k).load(std::memory_order_acquire) == print) return true;
  return false;
}

// Under the machine lock: newest first, the oldest falls out.
void MachineMemory::rememberFile(uint64_t print) {
  uint64_t carry = print;
  for (auto& k : seg->knownFiles) {
    const uint64_t old = shared(k).load(std::memory_order_acquire);
    shared(k).store(carry, std::memory_order_release);
    if (old == print) return;
    carry = old;
  }
}

// A user may keep memory.bin as a symbolic link into a synced folder: the target is replaced in its own
// folder, so the link stays. A link that leads nowhere (dangling, a loop) is never written through.
MachineMemory::SaveProblem MachineMemory::liveFile(std::string& dir, std::string& file) const {
  dir = store;
  file = kLiveFile;
  const std::string path = storePath();
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return SaveProblem::None;
  char* real = ::realpath(path.c_str(), nullptr);
  if (!real)
    return errno == ENOENT || errno == ELOOP || errno == ENOTDIR ? SaveProblem::BadLink : SaveProblem::WriteFailed;
  const std::string target = real;
  std::free(real);
  const size_t slash = target.find_last_of('/');
  dir = slash == 0 ? std::string("/") : target.substr(0, slash);
  file = target.substr(slash + 1);
  return SaveProblem::None;
}

void MachineMemory::flush(uint64_t now, bool force) {
  if (!dirty()) return;
  const int64_t since = secondsSince(now, lastFlush);
  if (!force && lastFlush != 0 && since >= 0 && since <= kFlushSpacing) return;
  // A file that could not be written is tried again 15 s later, not at every idle call (even when forced).
  const int64_t sinceTry = secondsSince(now, lastFlushTry);
  if (saveProblem() != SaveProblem::None && sinceTry >= 0 && sinceTry <= kFlushSpacing) return;
  std::lock_guard<std::mutex> serial(flushMutex());

  // The published state and its generation, taken together.
  if (!lockMachine()) return;
  MemoryState state;
  loadWords(seg->state, state);
  const uint64_t generation = memoryGeneration();
  unlockMachine();
  sanitizeWithDefaults(state);

  if (stallHook) stallHook(Stage::Flushing);
  lastFlushTry = now;
  std::string dir, file;
  if (const SaveProblem p = liveFile(dir, file); p != SaveProblem::None) {
    setProblem(p);
    return;
  }
  // What lies at memory.bin must be ours to replace; anything else keeps its bytes under another name.
  const std::string path = dir + "/" + file;
  memfmt::removeDeadTemporaries(dir, file);
  MemoryFileHeader h;
  MemoryFileBodyV1 b;
  MemoryCartV1 c;
  uint64_t print = 0;
  switch (memfmt::readMemoryFile(path, h, b, c, nullptr, nullptr, &print)) {
    case memfmt::ReadStatus::Missing:
      break;
    case memfmt::ReadStatus::Ok:
      // Loaded from another store directory, restored by hand, or left by another build: not this memory.
      if (!knownFile(print) && !memfmt::keepAside(dir, file, "never-loaded", now)) {
        setProblem(SaveProblem::WriteFailed);
        return;
      }
      break;
    case memfmt::ReadStatus::Unreadable:
      if (!memfmt::keepAside(dir, file, "unreadable", now)) {
        setProblem(SaveProblem::WriteFailed);
        return;
      }
      break;
    case memfmt::ReadStatus::Refused:  // a FIFO or device is left where it is; the memory stays in the segment
      setProblem(SaveProblem::NotAFile);
      return;
    case memfmt::ReadStatus::Failed:  // descriptors or I/O: try again later
      setProblem(SaveProblem::WriteFailed);
      return;
  }

  const MemoryFileBodyV1 body = bodyOf(state);
  const std::vector<uint8_t> bytes =
      memfmt::encodeMemoryFile(body, state.cart, state.lastUpdate, &state.name, &state.yours);
  const std::string temp = memfmt::writeTemporary(dir, file, bytes);
  if (temp.empty()) {
    setProblem(SaveProblem::WriteFailed);  // a full or read-only disk
    return;
  }
  if (stallHook) stallHook(Stage::FlushWritten);

  // Rename only while no newer generation has reached this file meanwhile; the check and the rename happen
  // under the lock that every other writer takes for the same check.
  if (!lockMachine()) {
    std::remove(temp.c_str());
    return;
  }
  const uint64_t onDisk = diskGeneration();
  const uint64_t current = memoryGeneration();
  bool recordFound = false;
  for (auto& r : seg->disk) recordFound |= shared(r.storeKey).load(std::memory_order_acquire) == storeKey;
  // A recorded generation above the current one is junk, not a newer file.
  const bool newerOnDisk = recordFound && onDisk >= generation && onDisk <= current;
  bool renamed = false;
  if (newerOnDisk) {
    std::remove(temp.c_str());
  } else if (memfmt::renameOver(temp, path)) {
    renamed = true;
    recordDisk(generation);
    rememberFile(memfmt::fingerprint(bytes.data(), bytes.size(), bytes.size()));
  }
  unlockMachine();
  if (!newerOnDisk && !renamed) {
    setProblem(SaveProblem::WriteFailed);
    return;
  }
  setProblem(SaveProblem::None);
  if (renamed) memfmt::syncDirectory(dir);
  localDiskGen = newerOnDisk ? onDisk : generation;
  lastFlush = now;
}

}  // namespace vorrel::mem
