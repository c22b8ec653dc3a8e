// The memory library's request slot, the project's frozen copy, and the track's trace rebuilt on the audio thread.
#include "Vorrel.h"

#include "Directories.h"
#include "MemoryLibrary.h"
#include "SeqLock.h"

#include <sys/stat.h>

#include <algorithm>
#include <ctime>

namespace {

enum MemoryOpKind : int32_t { kOpNone = 0, kOpShipped = 1, kOpSaveAs = 2, kOpLoad = 3, kOpDelete = 4 };

}  // namespace

void Vorrel::uiLoadBiography(int index) {
  std::lock_guard<std::mutex> lock(instanceMutex);
  pendingMemoryOp = {kOpShipped, index, {}};
}

void Vorrel::uiSaveMemoryAs(const std::string& name) {
  std::lock_guard<std::mutex> lock(instanceMutex);
  pendingMemoryOp = {kOpSaveAs, 0, name};
}

void Vorrel::uiLoadMemory(const std::string& name) {
  std::lock_guard<std::mutex> lock(instanceMutex);
  pendingMemoryOp = {kOpLoad, 0, name};
}

void Vorrel::uiDeleteMemory(const std::string& name) {
  std::lock_guard<std::mutex> lock(instanceMutex);
  pendingMemoryOp = {kOpDelete, 0, name};
}

std::vector<std::string> Vorrel::uiMemoryNames() const {
  std::lock_guard<std::mutex> lock(instanceMutex);
  return memoryNames;
}

// Control thread: the newest request runs with the mutex released; only the swaps happen under it.
void Vorrel::serviceMemoryOps(uint64_t now) {
  PendingMemoryOp op;
  {
    std::lock_guard<std::mutex> lock(instanceMutex);
    std::swap(op, pendingMemoryOp);
  }
  const std::string dir = vorrel::mem::memoriesDir();
  if (op.kind != kOpNone && memory.isOpen()) {
    bool backupRefused = false;  // the request is dropped, and the memory line says so
    switch (op.kind) {
      case kOpShipped:
        vorrel::mem::loadShippedMemory(memory, dir, op.arg, now, &backupRefused);
        break;
      case kOpSaveAs:
        vorrel::mem::saveMemoryAs(memory, dir, op.name, now);
        break;
      case kOpLoad:
        vorrel::mem::loadLibraryMemory(memory, dir, op.name, now, &backupRefused);
        break;
      case kOpDelete:
        vorrel::mem::deleteLibraryMemory(dir, op.name);
        break;
      default:
        break;
    }
    if (backupRefused) dropForRefusedBackup(now);
    memoryNamesStale = true;
  }
  if (libraryFoldersChanged()) memoryNamesStale = true;  // another instance saved, backed up or deleted
  if (!memoryNamesStale) return;
  std::vector<std::string> names = vorrel::mem::listLibrary(dir);
  {
    std::lock_guard<std::mutex> lock(instanceMutex);
    memoryNames.swap(names);
  }
  memoryNamesStale = false;
}

// Two stat calls per idle call: the library folder (saves, backups and deletes by any instance) and the store
// folder (files kept aside beside memory.bin). Seconds and nanoseconds of both, folded into one stamp.
bool Vorrel::libraryFoldersChanged() {
  uint64_t stamp = 0xcbf29ce484222325ull;
  for (const std::string& folder : {vorrel::mem::memoriesDir(), vorrel::mem::defaultStoreDir()}) {
    struct stat st {};
    const bool there = ::stat(folder.c_str(), &st) == 0;
    const uint64_t parts[] = {there ? static_cast<uint64_t>(st.st_mtim.tv_sec) : 0,
                              there ? static_cast<uint64_t>(st.st_mtim.tv_nsec) : 0,
                              there ? static_cast<uint64_t>(st.st_ino) : 0};
    for (uint64_t part : parts) stamp = (stamp ^ part) * 0x100000001b3ull;
  }
  if (stamp == libraryStamp) return false;
  libraryStamp = stamp;
  return true;
}

void Vorrel::uiSealFromMachine() {
  vorrel::mem::MemoryState live;
  if (!memory.isOpen() || !memory.load(live)) return;
  vorrel::mem::SealedMemory copy{};
  copy.sealedAt = static_cast<uint64_t>(std::time(nullptr));
  std::copy(std::begin(live.modeWeights), std::end(live.modeWeights), copy.modeWeights);
  copy.cart = live.cart;
  copy.present = 1;
  {
    std::lock_guard<std::mutex> lock(instanceMutex);
    storeSealedLocked(copy);
  }
  MarkStateDirty();
}

void Vorrel::setSealedCopy(const vorrel::mem::SealedMemory& copy) {
  std::lock_guard<std::mutex> lock(instanceMutex);
  storeSealedLocked(copy);
}

vorrel::mem::SealedMemory Vorrel::sealedCopy() const {
  std::lock_guard<std::mutex> lock(instanceMutex);
  return sealed;
}

// Odd while the copy changes; the audio thread reads the words atomically and re-checks the counter after.
void Vorrel::storeSealedLocked(const vorrel::mem::SealedMemory& copy) {
  traceGeneration.fetch_add(1, std::memory_order_acq_rel);
  vorrel::mem::storeWords(sealed, copy);
  traceGeneration.fetch_add(1, std::memory_order_acq_rel);
}

// Audio thread, lock-free: the live memory blended with the frozen copy by Source, published to the engine
// only when nothing changed while it was read.
void Vorrel::syncTraceIfStale() {
  const uint64_t g = memory.isOpen() ? memory.memoryGeneration() : 0;
  const uint32_t t = traceGeneration.load(std::memory_order_acquire);
  if (t & 1u) return;
  if (g == static_cast<uint64_t>(sharedTraceStamp) && t == seenTraceGeneration) return;
  double live[vorrel::mem::kModes] = {};
  if (g != 0) {
    vorrel::mem::MemoryState state;
    if (!memory.load(state)) return;  // torn on every attempt: the next block tries again
    std::copy(std::begin(state.modeWeights), std::end(state.modeWeights), live);
  }
  vorrel::mem::SealedMemory frozen{};
  vorrel::mem::loadWords(sealed, frozen);
  const bool hasSeal = frozen.present != 0;
  const double s = std::clamp(GetParam(kSource)->Value(), 0.0, 100.0) / 100.0;
  const bool bare = hearBare.load(std::memory_order_acquire);
  if (traceGeneration.load(std::memory_order_acquire) != t) return;
  auto& trace = engine->trace;
  for (int i = 0; i < vorrel::mem::kModes; ++i) {
    const double sealedW = hasSeal ? frozen.modeWeights[i] : 0.0;
    trace[static_cast<size_t>(i)] = bare ? 0.0 : live[i] + (sealedW - live[i]) * s;
  }
  engine->traceStamp = g ^ (static_cast<uint64_t>(t) << 32);
  sharedTraceStamp = static_cast<int64_t>(g);
  seenTraceGeneration = t;
}
