// The machine memory as fixed records: a weight per body mode and a 12 x 12 interval map, shared between processes.
#pragma once

#include "InkEvent.h"

#include <cstddef>
#include <cstdint>
#include <type_traits>

namespace vorrel::mem {

constexpr int kModes = 40;
constexpr double kMaxWeight = 20.0;      // weights and ink cells are capped here
constexpr double kMaxEventWeight = 2.0;  // an ink event's weight is clamped to 0..2 before carving
constexpr double kDefaultForgetDays = 7.0;
constexpr double kDefaultEngravePct = 120.0;

struct MemoryCartV1 {
  float ink[12][12];             // row: pitch class of the earlier note; column: interval class; 0..20
  uint32_t touchedHour[12][12];  // hour (epoch seconds / 3600) of the last carving, 0 = never
};

struct MemoryNameV3 {
  char text[40];     // NUL-terminated, at most 39 characters; empty = no name
  uint64_t namedAt;  // second the name was given
};

struct MemoryYours {
  uint64_t lastCarved;  // second of the last engraving, 0 = nothing since created, loaded or wiped
  double yoursSeconds;  // the player's own seconds since the memory got its name, scaled by pace
};

struct MemoryFileBodyV1 {
  double modeWeights[kModes];
  double forgetDays;
  double engravePct;
};

struct MemoryFileHeader {
  uint32_t magic;
  uint32_t version;
  uint64_t savedAt;
  uint64_t modeCount;
};

struct MemoryState {
  double modeWeights[kModes];  // 0..20, index 0 = the fundamental
  uint64_t lastUpdate;         // second up to which forgetting has been applied
  double forgetDays;           // 1..90
  double engravePct;           // 0..200
  MemoryCartV1 cart;
  MemoryNameV3 name;
  MemoryYours yours;
  double pace;  // Speed, 1..100
};

// The frozen copy a project keeps of the memory.
struct SealedMemory {
  uint64_t sealedAt;
  double modeWeights[kModes];
  MemoryCartV1 cart;
  uint8_t present;  // 0 or 1
  uint8_t reserved[7];
};

// A record that could not be read: all zero but the settings.
MemoryState defaultState();

template <typename T>
constexpr bool kPlainRecord = std::is_standard_layout_v<T>&& std::is_trivially_copyable_v<T>;
static_assert(kPlainRecord<MemoryCartV1> && sizeof(MemoryCartV1) == 1152 && offsetof(MemoryCartV1, touchedHour) == 576);
static_assert(kPlainRecord<MemoryNameV3> && sizeof(MemoryNameV3) == 48 && offsetof(MemoryNameV3, namedAt) == 40);
static_assert(kPlainRecord<MemoryYours> && sizeof(MemoryYours) == 16 && offsetof(MemoryYours, yoursSeconds) == 8);
static_assert(kPlainRecord<MemoryFileBodyV1> && sizeof(MemoryFileBodyV1) == 336 &&
              offsetof(MemoryFileBodyV1, forgetDays) == 320 && offsetof(MemoryFileBodyV1, engravePct) == 328);
static_assert(kPlainRecord<MemoryFileHeader> && sizeof(MemoryFileHeader) == 24 &&
              offsetof(MemoryFileHeader, version) == 4 && offsetof(MemoryFileHeader, savedAt) == 8 &&
              offsetof(MemoryFileHeader, modeCount) == 16);
static_assert(kPlainRecord<MemoryState> && sizeof(MemoryState) == 1568);
static_assert(offsetof(MemoryState, lastUpdate) == 320 && offsetof(MemoryState, forgetDays) == 328 &&
              offsetof(MemoryState, engravePct) == 336 && offsetof(MemoryState, cart) == 344 &&
              offsetof(MemoryState, name) == 1496 && offsetof(MemoryState, yours) == 1544 &&
              offsetof(MemoryState, pace) == 1560);
static_assert(kPlainRecord<SealedMemory> && sizeof(SealedMemory) == 1488 && offsetof(SealedMemory, cart) == 328 &&
              offsetof(SealedMemory, present) == 1480);

}  // namespace vorrel::mem
