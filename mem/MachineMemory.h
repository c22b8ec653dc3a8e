// One instance's handle on the machine memory: open and verify the segment, claim a slot, change under the lock,
// read lock-free, publish this instance, flush the memory file.
#pragma once

#include "Engraving.h"
#include "MachineSegment.h"
#include "OpenFault.h"
#include "SegmentName.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace boost::interprocess {
class shared_memory_object;
class mapped_region;
}  // namespace boost::interprocess

namespace vorrel::mem {

class MachineMemory {
 public:
  // segmentName: machineSegmentName() in the plug-in; tests pass names of their own. legacyName: a segment of
  // an older build whose memory a newly created segment takes over when it is this user's and abandoned; empty
  // for none.
  MachineMemory(std::string segmentName, std::string storeDir, std::string legacyName = {});
  ~MachineMemory();
  MachineMemory(const MachineMemory&) = delete;
  MachineMemory& operator=(const MachineMemory&) = delete;

  // Control thread. Each returns false, changing nothing, when the memory is not open or stays locked.
  bool open(uint64_t now);
  void close(uint64_t now);
  void heartbeat(uint64_t now);
  void publishInstance(const InstancePayload& payload);
  void flush(uint64_t now, bool force);
  void bail();
  bool withMachine(uint64_t now, const std::function<void(MemoryState&)>& change);

  bool engrave(const InkEvent* events, int count, const std::vector<double>& pitchClasses, uint64_t now);
  bool setMachineConfig(double forgetDays, double engravePct, uint64_t now);
  bool wipe(uint64_t now);
  bool setPace(double pace, uint64_t now);
  bool tick(uint64_t now);
  // A Speed above x1 whose setter (slot flagged kSlotPaceOwner) is gone goes back to x1. True when it did.
  bool releaseOrphanedPace(uint64_t now);
  // Marks this handle's slot as a tool's, not a playing instance (our host's Speed override).
  void markNotPlaying();
  bool setMemoryName(const MemoryNameV3& name, uint64_t now);
  bool replaceMemory(const MemoryState& state, uint64_t now);

  // Why the memory file is not being written (control thread writes, any thread reads).
  enum class SaveProblem { None, NotAFile, BadLink, WriteFailed };
  SaveProblem saveProblem() const { return problem.load(std::memory_order_acquire); }

  // Any thread, never blocks: the published state, at most 8 attempts.
  bool load(MemoryState& out) const;
  // Any thread: a live slot's payload by the same protocol; false when free, unpublished or torn.
  bool readSlot(int slot, InstancePayload& out) const;
  int liveSlots() const;
  uint64_t memoryGeneration() const;
  uint64_t presetGeneration() const;
  void bumpPresetGeneration();

  bool isOpen() const { return openFlag.load(std::memory_order_acquire); }
  int slotIndex() const { return slot.load(std::memory_order_acquire); }
  // Why the latest open failed, None after a success or for a failure with no cause to name. Any thread.
  OpenFault openFault() const { return fault.load(std::memory_order_acquire); }
  uint64_t instanceId() const { return id.load(std::memory_order_acquire); }
  // Control thread: the memory file of this store directory does not hold the published generation, whoever
  // changed it. Always false without a store directory (the memory then lives in the segment only).
  bool dirty() const;
  const std::string& storeDir() const { return store; }
  // Empty when there is no store directory.
  std::string storePath() const { return store.empty() ? std::string() : store + "/memory.bin"; }
  // The mapped segment, for tests and readers of the slot table; null when not mapped.
  MachineSegment* segment() const { return seg; }

  // Points where a real process may stall on a slow disk; tests pause there on purpose. Control thread.
  // Flushing: a write of memory.bin is about to be tried.
  enum class Stage { CreatingSegment, FlushWritten, Flushing };
  void setStallHook(std::function<void(Stage)> hook) { stallHook = std::move(hook); }

 private:
  enum class Attach { Ok, Retry, Fail };
  bool openLocked(uint64_t now);  // open's work, under localMutex
  Attach createOrAttach(uint64_t now, bool firstAttempt);
  Attach createSegment(uint64_t now);
  bool initialise(uint64_t now);
  bool provablyAbandoned(uint64_t now) const;
  bool stillNamed() const;
  bool lockMachine();
  void unlockMachine();
  void repairPublished();
  void dropSlot(int s);
  bool pacedMemory() const;
  bool paceOwnerAlive(uint64_t now) const;
  // A dated backup of state in the library before forgetting takes most of it; false when none could be written.
  bool backupBeforeForgetting(const MemoryState& state, uint64_t now);
  // Where memory.bin's bytes live: the store itself, or a symbolic link's target (written through).
  SaveProblem liveFile(std::string& dir, std::string& file) const;
  void setProblem(SaveProblem p) { problem.store(p, std::memory_order_release); }
  uint64_t diskGeneration() const;
  void recordDisk(uint64_t generation);
  bool knownFile(uint64_t print) const;
  void rememberFile(uint64_t print);
  static int64_t secondsSince(uint64_t now, uint64_t then) { return static_cast<int64_t>(now - then); }

  std::string name;
  std::string store;
  std::string legacy;
  uint64_t storeKey = 0;  // fingerprint of store, 0 without a store directory
  std::unique_ptr<boost::interprocess::shared_memory_object> shm;
  std::unique_ptr<boost::interprocess::mapped_region> region;
  MachineSegment* seg = nullptr;  // the mapping, written by this handle's control thread only
  // Written by the control thread; the editor reads them.
  std::atomic<bool> openFlag{false};
  std::atomic<int> slot{-1};
  std::atomic<uint64_t> id{0};
  std::atomic<OpenFault> fault{OpenFault::None};
  // Control thread only. lastFault: the cause met by the open in progress.
  OpenFault lastFault = OpenFault::None;
  bool created = false;       // this handle created the mapped segment
  uint64_t localDiskGen = 0;  // generation in our memory.bin when the segment's records no longer say
  uint64_t lastFlush = 0;
  uint64_t lastFlushTry = 0;     // second of the latest write attempt; a failed one waits 15 s
  int64_t backupRefusedMs = -1;  // monotonic; a refused forgetting backup is not tried again for 10 s
  std::atomic<SaveProblem> problem{SaveProblem::None};
  std::function<void(Stage)> stallHook;
};

}  // namespace vorrel::mem
