// An abandoned segment of this user under the old machine-wide name is the freshest copy of their memory after
// an upgrade without reboot: its state moves into the new per-user segment, and the old object goes.
#include "LegacyTakeover.h"

#include "Engraving.h"
#include "RobustMutex.h"
#include "SeqLock.h"

#include <boost/interprocess/mapped_region.hpp>
#include <boost/interprocess/shared_memory_object.hpp>

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace bip = boost::interprocess;

namespace vorrel::mem {
namespace {

constexpr int64_t kSilentSeconds = 11;  // every live instance heartbeats aliveAt at each idle call (20 ms)

bool gone(int64_t pid) { return pid > 0 && ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH; }
int64_t since(uint64_t now, uint64_t then) { return static_cast<int64_t>(now - then); }

// Nobody heartbeats it any more, and no slot belongs to a process still running (a host in another pid namespace
// reads as gone, which the silence covers). Under the old segment's lock, or before taking it and again under it.
bool abandoned(MachineSegment& seg, uint64_t now) {
  if (since(now, shared(seg.aliveAt).load(std::memory_order_acquire)) < kSilentSeconds) return false;
  for (auto& s : seg.slots) {
    if (shared(s.live).load(std::memory_order_acquire) != 1) continue;
    const int64_t pid = shared(s.pid).load(std::memory_order_acquire);
    if (pid == ::getpid() || !gone(pid)) return false;
  }
  return true;
}

}  // namespace

bool takeOverLegacySegment(const std::string& legacyName, uint64_t now, LegacyMemory& out) {
  try {
    bip::shared_memory_object obj(bip::open_only, legacyName.c_str(), bip::read_write);
    struct stat st {};
    if (::fstat(obj.get_mapping_handle().handle, &st) != 0 || st.st_uid != ::geteuid() ||
        static_cast<size_t>(st.st_size) < sizeof(MachineSegment))
      return false;  // another account's memory is theirs, however its mode reads
    bip::mapped_region region(obj, bip::read_write, 0, sizeof(MachineSegment));
    auto& seg = *static_cast<MachineSegment*>(region.get_address());
    if (shared(seg.magic).load(std::memory_order_acquire) != kSegmentMagic || seg.layout != kSegmentLayout ||
        shared(seg.version).load(std::memory_order_acquire) != kSegmentVersion ||
        shared(seg.ready).load(std::memory_order_acquire) != kSegmentMagic || !abandoned(seg, now))
      return false;
    const LockResult lock = lockRobustMutex(seg.mutex);
    if (lock == LockResult::Busy) return false;
    if (lock == LockResult::TakenFromDeadOwner) markConsistent(seg.mutex);
    const bool still = abandoned(seg, now);
    if (still) {
      // Under the lock the words are whole, unless a writer died between odd and even: repaired below.
      MemoryState s;
      loadWords(seg.state, s);
      sanitizeWithDefaults(s);
      // Speed counted only while its instances lived; after that the memory forgot at real time.
      forgetAcrossIdleGap(s, shared(seg.aliveAt).load(std::memory_order_acquire), now);
      s.pace = 1.0;
      if (s.lastUpdate < now) forgetState(s, now);
      s.lastUpdate = now;
      out.state = s;
      for (int i = 0; i < kKnownFiles; ++i) out.knownFiles[i] = shared(seg.knownFiles[i]).load();
      bip::shared_memory_object::remove(legacyName.c_str());
    }
    unlockRobustMutex(seg.mutex);
    return still;
  } catch (...) {
    return false;  // none there, or not ours to open
  }
}

}  // namespace vorrel::mem
