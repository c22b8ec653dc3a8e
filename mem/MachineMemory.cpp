// Opening, verifying and repairing the shared segment; slots; the locked change frame; heartbeats.
#include "MachineMemory.h"

#include "Biographies.h"
#include "LegacyTakeover.h"
#include "MemoryFile.h"
#include "MemoryLibrary.h"
#include "RobustMutex.h"
#include "SeqLock.h"

#include <boost/interprocess/mapped_region.hpp>
#include <boost/interprocess/shared_memory_object.hpp>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <chrono>
#include <cstddef>
#include <cstring>
#include <ctime>
#include <map>
#include <mutex>

namespace bip = boost::interprocess;

namespace vorrel::mem {
namespace {

constexpr int kWaitTries = 50;             // 50 x 10 ms for the ready marker
constexpr int64_t kAbandonedSeconds = 31;  // no heartbeat for this long: nobody uses the segment
constexpr int64_t kReapSeconds = 11;
// No memory file can have been written before 2025-01-01 00:00 UTC: an earlier saved second is a clock that
// was wrong (or unset) at the time, and forgets nothing.
constexpr uint64_t kFirstPossibleSave = 1'735'689'600;
constexpr double kMostOfTheMemory = 0.5;  // a forgetting step that takes more than this share is backed up first
constexpr int64_t kBackupRetryMs = 10'000;

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

void sleep10ms() {
  timespec ts{0, 10 * 1000 * 1000};
  while (nanosleep(&ts, &ts) != 0 && errno == EINTR) {
  }
}

bool processGone(int64_t pid) {
  return pid > 0 && pid != ::getpid() && ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
}

// Ours alone: made by this account and readable by nobody else. Anything else under our name is foreign.
bool ownedPrivately(const bip::shared_memory_object& obj) {
  struct stat st {};
  return ::fstat(obj.get_mapping_handle().handle, &st) == 0 && st.st_uid == ::geteuid() && (st.st_mode & 077) == 0;
}

int64_t monotonicMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

double totalWeight(const double (&weights)[kModes], const MemoryCartV1& cart) {
  double t = 0.0;
  for (double w : weights) t += w;
  for (const auto& row : cart.ink)
    for (float cell : row) t += cell;
  return t;
}

// Whether forgetting took more than half of what was carved (modes and interval map together).
bool forgetsMost(double before, double after) { return before > 1e-9 && after < kMostOfTheMemory * before; }

// A saved second from before any file could exist, or from the future, counts as now.
uint64_t trustedSavedAt(uint64_t savedAt, uint64_t now) {
  return savedAt < kFirstPossibleSave || savedAt > now ? now : savedAt;
}

uint64_t keyOf(const std::string& store) {
  return store.empty() ? 0 : memfmt::fingerprint(reinterpret_cast<const uint8_t*>(store.data()), store.size(), 0);
}

}  // namespace

MachineMemory::MachineMemory(std::string segmentName, std::string storeDir, std::string legacyName)
    : name(std::move(segmentName)), store(std::move(storeDir)), legacy(std::move(legacyName)), storeKey(keyOf(store)) {}

MachineMemory::~MachineMemory() { bail(); }

void MachineMemory::bail() {
  region.reset();
  shm.reset();
  seg = nullptr;
  created = false;
}

bool MachineMemory::initialise(uint64_t now) {
  // Who is creating it, first of all: an opener that finds it unfinished tells a slow creator from a dead one.
  shared(seg->creatorPid).store(::getpid(), std::memory_order_release);
  shared(seg->aliveAt).store(now, std::memory_order_release);
  seg->layout = kSegmentLayout;
  initRobustMutex(seg->mutex);
  seg->version = kSegmentVersion;
  shared(seg->magic).store(kSegmentMagic, std::memory_order_release);

  LegacyMemory old;
  if (!legacy.empty() && takeOverLegacySegment(legacy, now, old)) {
    // Fresher than memory.bin, which the next flush brings up to date (a file the old segment never had is
    // kept aside first, as always).
    std::memcpy(seg->knownFiles, old.knownFiles, sizeof seg->knownFiles);
    seg->disk[0] = DiskRecord{storeKey, 0};
    seqPublish(seg->seq, seg->state, old.state);
    shared(seg->memoryGeneration).store(1, std::memory_order_release);
    shared(seg->ready).store(kSegmentMagic, std::memory_order_release);
    return true;
  }

  MemoryFileHeader header{};
  MemoryFileBodyV1 body{};
  MemoryCartV1 cart{};
  MemoryNameV3 memName{};
  MemoryYours yours{};
  uint64_t print = 0;
  uint64_t forgottenUpTo = now;
  const memfmt::ReadStatus read =
      store.empty() ? memfmt::ReadStatus::Missing
                    : memfmt::readMemoryFile(storePath(), header, body, cart, &memName, &yours, &print);
  switch (read) {
    case memfmt::ReadStatus::Ok: {
      // The memory kept forgetting at real time while no instance ran, whatever the Speed was. When that takes
      // most of it, a backup comes first; without one the memory opens whole and the idle tick tries again.
      const uint64_t from = trustedSavedAt(header.savedAt, now);
      const MemoryFileBodyV1 wholeBody = body;
      const MemoryCartV1 wholeCart = cart;
      applyWallClockForget(body, cart, from, now, 1.0);
      if (forgetsMost(totalWeight(wholeBody.modeWeights, wholeCart), totalWeight(body.modeWeights, cart))) {
        MemoryState whole = defaultState();
        setBody(whole, wholeBody);
        whole.cart = wholeCart;
        whole.name = memName;
        whole.yours = yours;
        whole.lastUpdate = from;
        if (!backupBeforeForgetting(whole, now)) {
          body = wholeBody;
          cart = wholeCart;
          forgottenUpTo = from;
        }
      }
      seg->knownFiles[0] = print;
      break;
    }
    case memfmt::ReadStatus::Missing:
      seedFirstRun(body, cart, memName, now);
      break;
    case memfmt::ReadStatus::Failed:
      return false;  // the file may be fine: an empty memory now would later be flushed over it
    default:
      break;  // unreadable or not a file: start empty; a flush keeps a bad file aside, never replaces a FIFO
  }
  if (stallHook) stallHook(Stage::CreatingSegment);
  MemoryState state = defaultState();
  std::memcpy(state.modeWeights, body.modeWeights, sizeof state.modeWeights);
  state.cart = cart;
  state.name = memName;
  state.yours = yours;
  // Forget 0 is no setting (1 day is the least); Engrave 0 is a real one.
  state.forgetDays = body.forgetDays > 0.0 ? body.forgetDays : kDefaultForgetDays;
  const bool fromFile = read == memfmt::ReadStatus::Ok;
  state.engravePct = fromFile && body.engravePct >= 0.0 ? body.engravePct : kDefaultEngravePct;
  state.lastUpdate = forgottenUpTo;
  state.pace = 1.0;
  sanitizeWithDefaults(state);
  // What is in our memory.bin (or nothing to save yet) is generation 1: opening alone writes nothing.
  seg->disk[0] = DiskRecord{storeKey, storeKey ? 1u : 0u};
  seqPublish(seg->seq, seg->state, state);
  shared(seg->memoryGeneration).store(1, std::memory_order_release);
  shared(seg->ready).store(kSegmentMagic, std::memory_order_release);
  return true;
}

MachineMemory::Attach MachineMemory::createSegment(uint64_t now) {
  // A new object is zero-filled by the system: nothing to clear. Its pages are reserved now, so a full
  // /dev/shm fails here rather than faulting on a later write.
  int err = 0;
  try {
    shm->truncate(sizeof(MachineSegment));
    err = ::posix_fallocate(shm->get_mapping_handle().handle, 0, sizeof(MachineSegment));
    if (err == EOPNOTSUPP || err == EINVAL) err = 0;  // a file system that cannot say: the size is set
  } catch (const bip::interprocess_exception& e) {
    err = e.get_native_error() ? e.get_native_error() : EIO;
  }
  if (err != 0) {
    lastFault = faultOfErrno(err);
    bail();
    bip::shared_memory_object::remove(name.c_str());
    return Attach::Fail;
  }
  region = std::make_unique<bip::mapped_region>(*shm, bip::read_write);
  seg = static_cast<MachineSegment*>(region->get_address());
  created = true;
  bool ok = false;
  try {
    ok = initialise(now);
  } catch (...) {
  }
  if (ok) return Attach::Ok;
  // Nobody can use an unfinished segment: take it away so the next open starts afresh.
  bail();
  bip::shared_memory_object::remove(name.c_str());
  return Attach::Fail;
}

MachineMemory::Attach MachineMemory::createOrAttach(uint64_t now, bool firstAttempt) {
  bail();
  try {
    shm = std::make_unique<bip::shared_memory_object>(bip::create_only, name.c_str(), bip::read_write,
                                                      bip::permissions(0600));
  } catch (const bip::interprocess_exception& e) {
    if (e.get_error_code() != bip::already_exists_error) {
      lastFault = faultOfErrno(e.get_native_error());
      return Attach::Fail;
    }
  }
  if (shm) return createSegment(now);
  try {
    shm = std::make_unique<bip::shared_memory_object>(bip::open_only, name.c_str(), bip::read_write);
  } catch (const bip::interprocess_exception& e) {
    // It exists but we may not open it: another account's object under our name.
    if (e.get_native_error() == EACCES || e.get_native_error() == EPERM) lastFault = OpenFault::Foreign;
    return firstAttempt && lastFault == OpenFault::None ? Attach::Retry : Attach::Fail;  // removed meanwhile
  }
  if (!ownedPrivately(*shm)) {
    lastFault = OpenFault::Foreign;  // never read nor written: it may be a trap laid to read our playing
    bail();
    return Attach::Fail;
  }
  // A creator may still be sizing or initialising it: wait for a full, ready segment of ours. The first 64
  // bytes (magic, version, ready, aliveAt, creatorPid) are read as soon as they exist.
  constexpr size_t kHeaderBytes = offsetof(MachineSegment, mutex);
  for (int i = 0; i < kWaitTries; ++i) {
    bip::offset_t size = 0;
    if (!shm->get_size(size)) size = 0;
    const size_t usable = static_cast<size_t>(size) >= sizeof(MachineSegment) ? sizeof(MachineSegment)
                          : static_cast<size_t>(size) >= kHeaderBytes         ? kHeaderBytes
                                                                              : 0;
    if (usable > (region ? region->get_size() : 0)) {
      region = std::make_unique<bip::mapped_region>(*shm, bip::read_write, 0, usable);
      seg = static_cast<MachineSegment*>(region->get_address());
    }
    if (seg) {
      const uint32_t magic = shared(seg->magic).load(std::memory_order_acquire);
      const uint32_t version = shared(seg->version).load(std::memory_order_acquire);
      if (magic != 0 && magic != kSegmentMagic) {  // not ours: never touched
        lastFault = OpenFault::Foreign;
        return Attach::Fail;
      }
      if (magic == kSegmentMagic && version != kSegmentVersion && version != 0) {
        // An older or newer build's layout (after an upgrade or a downgrade): replaced only once nobody has
        // touched it for 31 seconds, so no instance of that build is using it.
        const uint32_t layout = seg->layout;
        const uint64_t alive = shared(seg->aliveAt).load(std::memory_order_acquire);
        bail();
        if (layout == kSegmentLayout && secondsSince(now, alive) >= kAbandonedSeconds && firstAttempt) {
          bip::shared_memory_object::remove(name.c_str());
          return Attach::Retry;
        }
        return Attach::Fail;
      }
      if (magic == kSegmentMagic && usable == sizeof(MachineSegment) &&
          shared(seg->ready).load(std::memory_order_acquire) == kSegmentMagic)
        return Attach::Ok;
    }
    sleep10ms();
  }
  // Still unfinished: its creator may just be slow (a memory file on a slow disk). Only a provably abandoned
  // segment is replaced; otherwise the next idle call tries again, so two memories never exist at once.
  const bool abandoned = provablyAbandoned(now);
  bail();
  if (!abandoned || !firstAttempt) return Attach::Fail;
  bip::shared_memory_object::remove(name.c_str());
  return Attach::Retry;
}

bool MachineMemory::provablyAbandoned(uint64_t now) const {
  if (seg) {
    const int64_t pid = shared(seg->creatorPid).load(std::memory_order_acquire);
    const uint64_t alive = shared(seg->aliveAt).load(std::memory_order_acquire);
    if (processGone(pid)) return true;
    if (alive != 0 && secondsSince(now, alive) >= kAbandonedSeconds) return true;
    if (pid != 0 || alive != 0) return false;
  }
  // Nothing recorded yet (not even sized): only the object's own age can tell, on the system clock.
  struct stat st {};
  if (!shm || ::fstat(shm->get_mapping_handle().handle, &st) != 0) return false;
  return static_cast<int64_t>(std::time(nullptr)) - static_cast<int64_t>(st.st_mtime) >= kAbandonedSeconds;
}

bool MachineMemory::stillNamed() const {
  try {
    bip::shared_memory_object again(bip::open_only, name.c_str(), bip::read_only);
    struct stat mine {
    }, named{};
    return ::fstat(shm->get_mapping_handle().handle, &mine) == 0 &&
           ::fstat(again.get_mapping_handle().handle, &named) == 0 && mine.st_ino == named.st_ino &&
           mine.st_dev == named.st_dev;
  } catch (...) {
    return false;
  }
}

bool MachineMemory::lockMachine() {
  if (!seg) return false;
  const LockResult r = lockRobustMutex(seg->mutex);
  if (r == LockResult::Busy) return false;
  repairPublished();
  if (r == LockResult::TakenFromDeadOwner) markConsistent(seg->mutex);
  return true;
}

void MachineMemory::unlockMachine() { unlockRobustMutex(seg->mutex); }

void MachineMemory::repairPublished() {
  auto seq = shared(seg->seq);
  const uint64_t s = seq.load(std::memory_order_acquire);
  if (s != 0 && (s & 1) == 0) return;
  // The last writer died between odd and even, or the box of a ready segment reads as never written (which
  // would fail every reader for good): make what is there safe, then publish it as stable.
  MemoryState copy;
  loadWords(seg->state, copy);
  sanitizeWithDefaults(copy);
  storeWords(seg->state, copy);
  seq.store(s == 0 ? 2 : s + 1, std::memory_order_release);
  shared(seg->memoryGeneration).fetch_add(1, std::memory_order_acq_rel);
}

bool MachineMemory::open(uint64_t now) {
  std::lock_guard<std::mutex> local(localMutex());
  if (isOpen()) return true;
  lastFault = OpenFault::None;
  const bool opened = openLocked(now);
  fault.store(opened ? OpenFault::None : lastFault, std::memory_order_release);
  return opened;
}

bool MachineMemory::openLocked(uint64_t now) {
  try {
    Attach a = createOrAttach(now, true);
    if (a == Attach::Retry) a = createOrAttach(now, false);
    // A creator that stalled long enough to be judged abandoned finds its segment replaced: use the new one.
    if (a != Attach::Ok || (created && !stillNamed())) {
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
        shared(s.flags).store(0, std::memory_order_release);
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
    shared(s.flags).store(0, std::memory_order_release);
    const InstancePayload empty{};
    seqPublish(s.payloadSeq, s.payload, empty);
    shared(s.payloadSeq).store(0, std::memory_order_release);
    shared(s.live).store(1, std::memory_order_release);
    localDiskGen = memoryGeneration();  // opening alone has nothing to write
    id.store(newId, std::memory_order_release);
    slot.store(claim, std::memory_order_release);
    openFlag.store(true, std::memory_order_release);
    unlockMachine();
    return true;
  } catch (const bip::interprocess_exception& e) {
    if (lastFault == OpenFault::None) lastFault = faultOfErrno(e.get_native_error());
    bail();
    return false;
  } catch (...) {
    // A host that forbids shared memory, or anything else the library throws: no machine memory.
    bail();
    return false;
  }
}

bool MachineMemory::withMachine(uint64_t now, const std::function<void(MemoryState&)>& change) {
  if (!isOpen()) return false;
  MemoryState copy;
  for (bool backedUp = false;; backedUp = true) {
    if (!lockMachine()) return false;
    // Under the lock the box is stable (a torn or empty one was just repaired): the raw words are the state.
    loadWords(seg->state, copy);
    // Another process wrote it: repair before changing, settings that read as "not given" get the defaults.
    sanitizeWithDefaults(copy);
    // Speed runs only while some instance is alive: after the last heartbeat the memory forgets at real time.
    const uint64_t alive = shared(seg->aliveAt).load(std::memory_order_acquire);
    MemoryState forgotten = copy;
    if (secondsSince(now, alive) >= kReapSeconds) forgetAcrossIdleGap(forgotten, alive, now);
    forgetState(forgotten, now);
    // A long absence, or a clock far ahead: what forgetting would take goes into a dated backup first, written
    // without the lock. If it cannot be written, the operation waits (false) with the memory as it was.
    if (!backedUp &&
        forgetsMost(totalWeight(copy.modeWeights, copy.cart), totalWeight(forgotten.modeWeights, forgotten.cart))) {
      unlockMachine();
      if (!backupBeforeForgetting(copy, now)) return false;
      continue;
    }
    if (secondsSince(now, alive) >= kReapSeconds) forgetAcrossIdleGap(copy, alive, now);
    break;
  }
  change(copy);
  sanitizeWithDefaults(copy);  // nothing non-finite or out of range is ever published
  seqPublish(seg->seq, seg->state, copy);
  shared(seg->memoryGeneration).fetch_add(1, std::memory_order_acq_rel);
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
  return withMachine(now, [&](MemoryState& s) {
    ops::setPace(s, pace, now);
    // The Speed belongs to the one who set it last, and ends with it (releaseOrphanedPace).
    const int own = slotIndex();
    for (int i = 0; i < kNumSlots; ++i) {
      auto flags = shared(seg->slots[i].flags);
      if (i == own && s.pace > 1.0)
        flags.fetch_or(kSlotPaceOwner, std::memory_order_acq_rel);
      else
        flags.fetch_and(~kSlotPaceOwner, std::memory_order_acq_rel);
    }
  });
}

bool MachineMemory::paceOwnerAlive(uint64_t now) const {
  for (InstanceSlot& slotRef : seg->slots) {
    if (shared(slotRef.live).load(std::memory_order_acquire) != 1 ||
        (shared(slotRef.flags).load(std::memory_order_acquire) & kSlotPaceOwner) == 0)
      continue;
    const int64_t pid = shared(slotRef.pid).load(std::memory_order_acquire);
    // A killed owner leaves its slot live: its process is gone, or its heartbeat stopped.
    if (!processGone(pid) &&
        secondsSince(now, shared(slotRef.heartbeat).load(std::memory_order_acquire)) < kReapSeconds)
      return true;
  }
  return false;
}

bool MachineMemory::releaseOrphanedPace(uint64_t now) {
  MemoryState s;
  if (!isOpen() || !seg || !load(s) || !(s.pace > 1.0) || paceOwnerAlive(now)) return false;
  bool released = false;
  withMachine(now, [&](MemoryState& st) {
    if (!(st.pace > 1.0) || paceOwnerAlive(now)) return;  // set again meanwhile
    ops::setPace(st, 1.0, now);
    released = true;
  });
  return released;
}

void MachineMemory::markNotPlaying() {
  const int s = slotIndex();
  if (isOpen() && seg && s >= 0) shared(seg->slots[s].flags).fetch_or(kSlotNotPlaying, std::memory_order_acq_rel);
}

bool MachineMemory::backupBeforeForgetting(const MemoryState& state, uint64_t now) {
  if (store.empty()) return true;  // a memory without a store directory has no library either
  const int64_t ms = monotonicMs();
  if (backupRefusedMs >= 0 && ms - backupRefusedMs < kBackupRetryMs) return false;
  if (backupState(state, store + "/memories", now)) {
    backupRefusedMs = -1;
    return true;
  }
  backupRefusedMs = ms;
  return false;
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
  if (shared(s.live).load(std::memory_order_acquire) != 1 ||
      (shared(s.flags).load(std::memory_order_acquire) & kSlotNotPlaying) != 0)
    return false;
  InstancePayload copy;
  if (!seqRead(s.payloadSeq, s.payload, copy)) return false;
  copy.trackName[sizeof copy.trackName - 1] = '\0';
  out = copy;
  return true;
}

int MachineMemory::liveSlots() const {
  if (!seg) return 0;
  int n = 0;
  for (auto& s : seg->slots)
    n += shared(s.live).load(std::memory_order_acquire) == 1 &&
         (shared(s.flags).load(std::memory_order_acquire) & kSlotNotPlaying) == 0;
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
    const uint64_t alive = shared(seg->aliveAt).load(std::memory_order_acquire);
    // Nobody was alive since then: forget that gap at real time before this heartbeat hides it. If the lock
    // is busy, aliveAt stays behind and the next heartbeat tries again.
    if (secondsSince(now, alive) >= kReapSeconds && pacedMemory() && !tick(now)) return;
    shared(seg->aliveAt).store(now, std::memory_order_release);
    return;
  }
  // Another instance reaped the slot: keep the memory, stop heartbeating.
  dropSlot(s);
}

bool MachineMemory::pacedMemory() const {
  MemoryState s;
  return !load(s) || s.pace > 1.0;
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
          shared(sl.flags).store(0, std::memory_order_release);
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
