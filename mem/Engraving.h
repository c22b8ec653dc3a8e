// Engraving, wall-clock forgetting, repair of untrusted records, and the changes each memory operation makes.
#pragma once

#include "MemoryState.h"

#include <cstdint>
#include <vector>

namespace vorrel::mem {

// The pitch classes (semitones 0..12) of a body's 40 modes, as engraving needs them.
std::vector<double> modePitchClasses(int body);

// Share of each mode in an interval: a Gaussian of 0.7 semitone on the circle, mode 0 excluded, summing to 1.
// shares must hold pitchClasses.size() entries.
void modeShares(double interval, const std::vector<double>& pitchClasses, double* shares);

void engraveEvent(MemoryState& state, const InkEvent& event, const std::vector<double>& pitchClasses, uint64_t now);
void applyWallClockForget(MemoryFileBodyV1& body, MemoryCartV1& cart, uint64_t last, uint64_t now, double pace);
// Forgetting on the record itself, from its lastUpdate with its own pace.
void forgetState(MemoryState& state, uint64_t now);
// Forgets up to now with Speed only until pacedUntil (the last sign of a live instance), at real time after it;
// lastUpdate becomes now. Nothing happens at Speed x1 or when pacedUntil is not before now.
void forgetAcrossIdleGap(MemoryState& state, uint64_t pacedUntil, uint64_t now);
void sanitizeState(MemoryState& state);
// sanitizeState, then Forget and Engrave that read as "not given" become the defaults 7 and 120.
void sanitizeWithDefaults(MemoryState& state);

// Pitch or interval class 0..11, negative values included.
int mod12(long v);

MemoryFileBodyV1 bodyOf(const MemoryState& state);
void setBody(MemoryState& state, const MemoryFileBodyV1& body);

// The state operations: forget up to now, change, set lastUpdate to now.
namespace ops {
void engrave(MemoryState& s, const InkEvent* events, int count, const std::vector<double>& pitchClasses, uint64_t now);
void setMachineConfig(MemoryState& s, double forgetDays, double engravePct, uint64_t now);
void wipe(MemoryState& s, uint64_t now);
void setPace(MemoryState& s, double pace, uint64_t now);
void tick(MemoryState& s, uint64_t now);
void setMemoryName(MemoryState& s, const MemoryNameV3& name, uint64_t now);
void replaceMemory(MemoryState& s, const MemoryState& replacement, uint64_t now);
}  // namespace ops

}  // namespace vorrel::mem
