// The 9920-byte shared segment every instance on the machine maps: header, lock, published memory, 64 slots.
#pragma once

#include "MemoryState.h"

#include <cstddef>
#include <cstdint>
#include <type_traits>

namespace vorrel::mem {

constexpr uint32_t kSegmentMagic = 0x4F56524C;
constexpr uint32_t kSegmentLayout = 1;
constexpr uint32_t kSegmentVersion = 7;
constexpr int kNumSlots = 64;

struct InstancePayload {
  int32_t body;        // 0..10
  int32_t carves;      // ink events this instance carved since it was created
  uint64_t lastCarve;  // second of its latest successful carve, 0 = none
  char trackName[48];  // NUL-terminated, at most 47 characters
};

// InstanceSlot flags; older builds leave the word zero.
constexpr uint32_t kSlotPaceOwner = 1;   // this slot's owner set the Speed above x1: it ends when the owner does
constexpr uint32_t kSlotNotPlaying = 2;  // a tool's handle (our host's Speed), not an instance: never counted

struct InstanceSlot {
  uint32_t live;   // 1 = claimed
  uint32_t flags;  // kSlot... bits; cleared when the slot is claimed, freed or reaped
  uint64_t owner;  // instanceId of the claimant, 0 when free
  int64_t pid;
  uint64_t heartbeat;   // second of the owner's latest heartbeat
  uint64_t payloadSeq;  // 0 = nothing published, odd while written
  InstancePayload payload;
  uint8_t reserved1[24];
};

// Which memoryGeneration the memory file of one store directory holds (segments of older builds keep zeros).
struct DiskRecord {
  uint64_t storeKey;    // fingerprint of the store directory's path, 0 = unused
  uint64_t generation;  // memoryGeneration of the state last renamed into place there
};
constexpr int kDiskRecords = 2;
constexpr int kKnownFiles = 4;

struct MachineSegment {
  uint32_t magic;
  uint32_t layout;
  uint32_t version;
  uint32_t ready;                 // the magic value, written last at creation
  uint64_t aliveAt;               // creation, then the latest heartbeat of any instance
  int64_t creatorPid;             // the process that created the segment, written first; 0 from older builds
  DiskRecord disk[kDiskRecords];  // the two store directories written most recently; under the mutex
  uint8_t mutex[40];              // a process-shared, robust pthread mutex
  // Fingerprints of the memory files this segment was loaded from or wrote, newest first, 0 = empty; under the
  // mutex. A memory.bin that is none of them holds a memory this segment never had, and is kept aside.
  uint64_t knownFiles[kKnownFiles];
  uint64_t presetGeneration;  // bumped after the user preset library is rewritten
  uint64_t memoryGeneration;  // 1 after creation, bumped after every published change
  uint64_t seq;               // even when stable, odd while the state is copied
  MemoryState state;
  InstanceSlot slots[kNumSlots];
};

static_assert(kPlainRecord<InstancePayload> && sizeof(InstancePayload) == 64 &&
              offsetof(InstancePayload, lastCarve) == 8 && offsetof(InstancePayload, trackName) == 16);
static_assert(kPlainRecord<InstanceSlot> && sizeof(InstanceSlot) == 128 && offsetof(InstanceSlot, owner) == 8 &&
              offsetof(InstanceSlot, pid) == 16 && offsetof(InstanceSlot, heartbeat) == 24 &&
              offsetof(InstanceSlot, payloadSeq) == 32 && offsetof(InstanceSlot, payload) == 40);
static_assert(kPlainRecord<MachineSegment> && sizeof(MachineSegment) == 9920);
static_assert(offsetof(MachineSegment, ready) == 12 && offsetof(MachineSegment, aliveAt) == 16 &&
              offsetof(MachineSegment, creatorPid) == 24 && offsetof(MachineSegment, disk) == 32 &&
              offsetof(MachineSegment, knownFiles) == 104 && offsetof(MachineSegment, mutex) == 64 &&
              offsetof(MachineSegment, presetGeneration) == 136 && offsetof(MachineSegment, memoryGeneration) == 144 &&
              offsetof(MachineSegment, seq) == 152 && offsetof(MachineSegment, state) == 160 &&
              offsetof(MachineSegment, slots) == 1728);

}  // namespace vorrel::mem
