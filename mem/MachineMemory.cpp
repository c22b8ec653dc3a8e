// Opening, verifying and repairing the shared segment; slots; the locked change frame; flushing the file.
#include "MachineMemory.h"

#include "Biographies.h"
#include "MemoryFile.h"
#include "RobustMutex.h"
#include "SeqLock.h"

#include <boost/interprocess/mapped_region.hpp>
#include <boost/interprocess/shared_memory_object.hpp>

#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <map>
#include <mutex>

namespace bip = boost::interprocess;

namespace vorrel::mem {
namespace {

constexpr int kWaitTries = 50;  // 50 x 10 ms for the ready marker
constexpr int64_t kStaleVersionSeconds = 31;
constexpr int64_t kReapSeconds = 11;
constexpr int64_t kFlushSpacing = 14;  // at most one write per 15 seconds

// Serialises open and close within this process.
std::mutex& localMutex() {
  static std::mutex m;
  return m;
}

// For each segment name: which instance of this process holds each slot (0 = none). Guarded by localMutex.
std::array<uint64_t, kNumSlots>& localSlotIds(const std::string& segment) {
  static std::map<std::string, std::array<uint64_t, kNumSlots>> ids;
  return ids[segment];
}

// Flushes of one process are serialised, so an older published state is never renamed over a newer one.
std::mutex& flushMutex() {
  static std::mutex m;
  return m;
}

void sleep10ms() {
  timespec ts{0, 10 * 1000 * 1000};
  while (nanosleep(&ts, &ts) != 0 && errno == EINTR) {
  }
}

int64_t secondsSince(uint64_t now, uint64_t then) { return static_cast<int64_t>(now - then); }

bool fileExists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 || errno != ENOENT;
}

}  // namespace

MachineMemory::MachineMemory(std::string segmentName, std::string storeDir)
    : name(std::move(segmentName)), store(std::move(storeDir)) {}

MachineMemory::~MachineMemory() { bail(); }

void MachineMemory::bail() {
  region.reset();
  shm.reset();
  seg = nullptr;
}

void MachineMemory::initialise(uint64_t now) {
  std::memset(seg, 0, sizeof *seg);
  seg->layout = kSegmentLayout;
  initRobustMutex(seg->mutex);
  seg->version = kSegmentVersion;
  seg->aliveAt = now;
  seg->magic = kSegmentMagic;

  MemoryFileHeader header{};
  MemoryFileBodyV1 body{};
  MemoryCartV1 cart{};
  MemoryNameV3 memName{};
  MemoryYours yours{};
  if (memfmt::loadMemoryFile(storePath(), header, body, cart, &memName, &yours)) {
    // The memory kept forgetting at real time while no instance ran, whatever the Speed was.
    applyWallClockForget(body, cart, header.savedAt, now, 1.0);
  } else if (!fileExists(storePath())) {
    seedFirstRun(body, cart, memName, now);
  }
  // An unreadable file leaves an empty memory; the first flush keeps that file aside before writing.
  MemoryState state = defaultState();
  std::memcpy(state.modeWeights, body.modeWeights, sizeof state.modeWeights);
  state.cart = cart;
  state.name = memName;
  state.yours = yours;
  state.forgetDays = body.forgetDays > 0.0 ? body.forgetDays : kDefaultForgetDays;
  state.engravePct = body.engravePct > 0.0 ? body.engravePct : kDefaultEngravePct;
  state.lastUpdate = now;
  state.pace = 1.0;
  sanitizeWithDefaults(state);
  seqPublish(seg->seq, seg->state, state);
  shared(seg->memoryGeneration).store(1, std::memory_order_release);
  shared(seg->ready).store(kSegmentMagic, std::memory_order_release);
}

MachineMemory::Attach MachineMemory::createOrAttach(uint64_t now, bool firstAttempt) {
  bail();
  try {
    shm = std::make_unique<bip::shared_memory_object>(bip::create_only, name.c_str(), bip::read_write,
                                                      bip::permissions(0644));
    shm->truncate(sizeof(MachineSegment));
    region = std::make_unique<bip::mapped_region>(*shm, bip::read_write);
    seg = static_cast<MachineSegment*>(region->get_address());
    initialise(now);
    return Attach::Ok;
  } catch (const bip::interprocess_exception& e) {
    if (e.get_error_code() != bip::already_exists_error) return Attach::Fail;
  }
  shm = std::make_unique<bip::shared_memory_object>(bip::open_only, name.c_str(), bip::read_write);
  // A creator may still be sizing or initialising it: wait for a full, ready segment of ours.
  for (int i = 0; i < kWaitTries; ++i) {
    bip::offset_t size = 0;
    if (shm->get_size(size) && size >= static_cast<bip::offset_t>(sizeof(MachineSegment))) {
      if (!region) {
        region = std::make_unique<bip::mapped_region>(*shm, bip::read_write, 0, sizeof(MachineSegment));
        seg = static_cast<MachineSegment*>(region->get_address());
      }
      const uint32_t magic = shared(seg->magic).load(std::memory_order_acquire);
      const uint32_t version = shared(seg->version).load(std::memory_order_acquire);
      if (magic == kSegmentMagic && version != kSegmentVersion && version != 0) {
        // Another build's layout: replaced only once nobody has touched it for 31 seconds.
        const uint32_t layout = seg->layout;
        const uint64_t alive = shared(seg->aliveAt).load(std::memory_order_acquire);
        bail();
        if (layout == kSegmentLayout && secondsSince(now, alive) >= kStaleVersionSeconds && firstAttempt) {
          bip::shared_memory_object::remove(name.c_str());
          return Attach::Retry;
        }
        return Attach::Fail;
      }
      if (magic == kSegmentMagic && shared(seg->ready).load(std::memory_order_acquire) == kSegmentMagic)
        return Attach::Ok;
    }
    sleep10ms();
  }
  // Too small, not ours, or never ready: its creator died. Replace it, once.
  bail();
  if (!firstAttempt) return Attach::Fail;
  bip::shared_memory_object::remove(name.c_str());
  return Attach::Retry;
}

bool MachineMemory::lockMachine() {
  if (!seg) return false;
  const LockResult r = lockRobustMutex(seg->mutex);
  if (r == LockResult::Busy) return false;
  if (r == LockResult::TakenFromDeadOwner) {
    repairTornPublish();
    markConsistent(seg->mutex);
  } else if (shared(seg->seq).load(std::memory_order_acquire) & 1) {
    repairTornPublish();
  }
  return true;
}

void MachineMemory::unlockMachine() { unlockRobustMutex(seg->mutex); }

void MachineMemory::repairTornPublish() {
  auto seq = shared(seg->seq);
  const uint64_t s = seq.load(std::memory_order_acquire);
  if ((s & 1) == 0) return;
  // The last writer died between odd and even: make what it left safe, then publish it as stable.
  MemoryState copy;
  loadWords(seg->state, copy);
  sanitizeWithDefaults(copy);
  storeWords(seg->state, copy);
  seq.store(s + 1, std::memory_order_release);
  shared(seg->memoryGeneration).fetch_add(1, std::memory_order_acq_rel);
  dirtyFlag = true;
}

bool MachineMemory::open(uint64_t now) {
  std::lock_guard<std::mutex> local(localMutex());
  if (isOpen()) return true;
  try {
    Attach a = createOrAttach(now, true);
    if (a == Attach::Retry) a = createOrAttach(now, false);
    if (a != Attach::Ok) {
      bail();
      return false;
    }
    if (!lockMachine()) {
      bail();
      return false;
    }
    auto& mine = localSlotIds(name);
    for (int i = 0; i < kNumSlots; ++i) {
      InstanceSlot& s = seg->slots[i];
      if (mine[static_cast<size_t>(i)] == 0 && shared(s.live).load(std::memory_order_acquire) == 1 &&
          secondsSince(now, shared(s.heartbeat).load(std::memory_order_acquire)) >= kReapSeconds) {
        shared(s.live).store(0, std::memory_order_release);
        shared(s.owner).store(0, std::memory_order_release);
      }
    }
    int claim = -1;
    for (int i = 0; i < kNumSlots && claim < 0; ++i)
      if (mine[static_cast<size_t>(i)] == 0 && shared(seg->slots[i].live).load(std::memory_order_acquire) == 0)
        claim = i;
    if (claim < 0) {
      unlockMachine();
      bail();
      return false;
    }
    const uint64_t pid = static_cast<uint64_t>(::getpid());
    const uint64_t newId = (pid << 32) ^ static_cast<uint64_t>(reinterpret_cast<uintptr_t>(this));
    InstanceSlot& s = seg->slots[claim];
    mine[static_cast<size_t>(claim)] = newId;
    shared(s.owner).store(newId, std::memory_order_release);
    shared(s.pid).store(static_cast<int64_t>(pid), std::memory_order_release);
    shared(s.heartbeat).store(now, std::memory_order_release);
    const InstancePayload empty{};
    seqPublish(s.payloadSeq, s.payload, empty);
    shared(s.payloadSeq).store(0, std::memory_order_release);
    shared(s.live).store(1, std::memory_order_release);
    id.store(newId, std::memory_order_release);
    slot.store(claim, std::memory_order_release);
    openFlag.store(true, std::memory_order_release);
    unlockMachine();
    return true;
  } catch (...) {
    // A host that forbids shared memory, or anything else the library throws: no machine memory.
    bail();
    return false;
  }
}

bool MachineMemory::withMachine(uint64_t now, const std::function<void(MemoryState&)>& change) {
  (void)now;
  if (!isOpen() || !lockMachine()) return false;
  MemoryState copy;
  if (!seqRead(seg->seq, seg->state, copy)) {
    // Under the lock only a torn publish fails a read: repair it, never fall back to an empty memory.
    repairTornPublish();
    if (!seqRead(seg->seq, seg->state, copy)) {
      unlockMachine();
      return false;
    }
  }
  // Another process wrote it: repair before changing, settings that read as "not given" get the defaults.
  sanitizeWithDefaults(copy);
  change(copy);
  seqPublish(seg->seq, seg->state, copy);
  shared(seg->memoryGeneration).fetch_add(1, std::memory_order_acq_rel);
  dirtyFlag = true;
  unlockMachine();
  return true;
}

bool MachineMemory::engrave(const InkEvent* events, int count, const std::vector<double>& pcs, uint64_t now) {
  return withMachine(now, [&](MemoryState& s) { ops::engrave(s, events, count, pcs, now); });
}
bool MachineMemory::setMachineConfig(double forgetDays, double engravePct, uint64_t now) {
  return withMachine(now, [&](MemoryState& s) { ops::setMachineConfig(s, forgetDays, engravePct, now); });
}
bool MachineMemory::wipe(uint64_t now) {
  return withMachine(now, [&](MemoryState& s) { ops::wipe(s, now); });
}
bool MachineMemory::setPace(double pace, uint64_t now) {
  return withMachine(now, [&](MemoryState& s) { ops::setPace(s, pace, now); });
}
bool MachineMemory::tick(uint64_t now) {
  return withMachine(now, [&](MemoryState& s) { ops::tick(s, now); });
}
bool MachineMemory::setMemoryName(const MemoryNameV3& n, uint64_t now) {
  return withMachine(now, [&](MemoryState& s) { ops::setMemoryName(s, n, now); });
}
bool MachineMemory::replaceMemory(const MemoryState& state, uint64_t now) {
  return withMachine(now, [&](MemoryState& s) { ops::replaceMemory(s, state, now); });
}

bool MachineMemory::load(MemoryState& out) const {
  if (!seg) return false;
  MemoryState copy;
  if (!seqRead(seg->seq, seg->state, copy)) return false;
  sanitizeState(copy);  // another process wrote it
  out = copy;
  return true;
}

bool MachineMemory::readSlot(int i, InstancePayload& out) const {
  if (!seg || i < 0 || i >= kNumSlots) return false;
  InstanceSlot& s = seg->slots[i];
  if (shared(s.live).load(std::memory_order_acquire) != 1) return false;
  InstancePayload copy;
  if (!seqRead(s.payloadSeq, s.payload, copy)) return false;
  copy.trackName[sizeof copy.trackName - 1] = '\0';
  out = copy;
  return true;
}

int MachineMemory::liveSlots() const {
  if (!seg) return 0;
  int n = 0;
  for (auto& s : seg->slots) n += shared(s.live).load(std::memory_order_acquire) == 1;
  return n;
}

uint64_t MachineMemory::memoryGeneration() const {
  return seg ? shared(seg->memoryGeneration).load(std::memory_order_acquire) : 0;
}

uint64_t MachineMemory::presetGeneration() const {
  return seg ? shared(seg->presetGeneration).load(std::memory_order_acquire) : 0;
}

void MachineMemory::bumpPresetGeneration() {
  if (seg) shared(seg->presetGeneration).fetch_add(1, std::memory_order_acq_rel);
}

void MachineMemory::heartbeat(uint64_t now) {
  const int s = slotIndex();
  if (!isOpen() || s < 0) return;
  InstanceSlot& sl = seg->slots[s];
  if (shared(sl.owner).load(std::memory_order_acquire) == instanceId()) {
    shared(sl.heartbeat).store(now, std::memory_order_release);
    shared(seg->aliveAt).store(now, std::memory_order_release);
    return;
  }
  // Another instance reaped the slot: keep the memory, stop heartbeating.
  dropSlot(s);
}

void MachineMemory::dropSlot(int s) {
  std::lock_guard<std::mutex> local(localMutex());
  auto& mine = localSlotIds(name);
  if (mine[static_cast<size_t>(s)] == instanceId()) mine[static_cast<size_t>(s)] = 0;
  slot.store(-1, std::memory_order_release);
}

void MachineMemory::publishInstance(const InstancePayload& payload) {
  const int s = slotIndex();
  if (!isOpen() || s < 0) return;
  InstanceSlot& sl = seg->slots[s];
  if (shared(sl.owner).load(std::memory_order_acquire) != instanceId()) {
    dropSlot(s);
    return;
  }
  InstancePayload p = payload;
  p.trackName[sizeof p.trackName - 1] = '\0';
  seqPublish(sl.payloadSeq, sl.payload, p);
}

void MachineMemory::moveAsideUnreadable(uint64_t now) const {
  const std::string path = storePath();
  if (!fileExists(path)) return;
  MemoryFileHeader h;
  MemoryFileBodyV1 b;
  MemoryCartV1 c;
  if (memfmt::loadMemoryFile(path, h, b, c, nullptr, nullptr)) return;
  // Nothing the player carved is destroyed without a copy: the file we could not read keeps its bytes.
  const time_t t = static_cast<time_t>(now);
  tm parts{};
  localtime_r(&t, &parts);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &parts);
  std::string aside = store + "/memory.unreadable-" + stamp + ".bin";
  for (int n = 1; fileExists(aside) && n < 100; ++n)
    aside = store + "/memory.unreadable-" + stamp + "-" + std::to_string(n) + ".bin";
  std::rename(path.c_str(), aside.c_str());
}

void MachineMemory::flush(uint64_t now, bool force) {
  if (!dirtyFlag) return;
  const int64_t since = secondsSince(now, lastFlush);
  if (!force && lastFlush != 0 && since >= 0 && since <= kFlushSpacing) return;
  if (!isOpen()) return;
  std::lock_guard<std::mutex> serial(flushMutex());
  MemoryState state;
  if (!load(state)) return;
  moveAsideUnreadable(now);
  const MemoryFileBodyV1 body = bodyOf(state);
  if (memfmt::saveMemoryFile(store, "memory.bin", body, state.cart, state.lastUpdate, &state.name, &state.yours)) {
    dirtyFlag = false;
    lastFlush = now;
  }
}

void MachineMemory::close(uint64_t now) {
  if (!isOpen()) return;
  flush(now, true);
  std::lock_guard<std::mutex> local(localMutex());
  const int s = slotIndex();
  if (s >= 0 && seg) {
    try {
      if (lockMachine()) {
        InstanceSlot& sl = seg->slots[s];
        if (shared(sl.owner).load(std::memory_order_acquire) == instanceId()) {
          shared(sl.live).store(0, std::memory_order_release);
          shared(sl.owner).store(0, std::memory_order_release);
        }
        unlockMachine();
      }
    } catch (...) {
    }
    auto& mine = localSlotIds(name);
    if (mine[static_cast<size_t>(s)] == instanceId()) mine[static_cast<size_t>(s)] = 0;
  }
  openFlag.store(false, std::memory_order_release);
  slot.store(-1, std::memory_order_release);
  id.store(0, std::memory_order_release);
}

}  // namespace vorrel::mem
