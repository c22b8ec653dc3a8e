// The arithmetic of carving and forgetting on a memory record; pure functions, run under the machine lock.
#include "Engraving.h"

#include "Bodies.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace vorrel::mem {
namespace {

double clampWeight(double w) { return std::isfinite(w) ? std::clamp(w, 0.0, kMaxWeight) : 0.0; }

}  // namespace

int mod12(long v) { return static_cast<int>(((v % 12) + 12) % 12); }

MemoryState defaultState() {
  MemoryState s;
  std::memset(&s, 0, sizeof s);
  s.forgetDays = kDefaultForgetDays;
  s.engravePct = kDefaultEngravePct;
  s.pace = 1.0;
  return s;
}

std::vector<double> modePitchClasses(int body) {
  std::vector<double> pcs;
  for (double r : dsp::modeList(body)) pcs.push_back(dsp::modePitchClass(r));
  if (pcs.size() > static_cast<size_t>(kModes)) pcs.resize(kModes);
  return pcs;
}

void modeShares(double interval, const std::vector<double>& pcs, double* shares) {
  double x = std::fmod(interval, 12.0);
  if (x < 0.0) x += 12.0;
  double sum = 0.0;
  for (size_t i = 0; i < pcs.size(); ++i) {
    double d = std::fabs(pcs[i] - x);
    d = std::min(d, 12.0 - d);
    shares[i] = std::isfinite(d) ? std::exp(-d * d / 0.98) : 0.0;  // a broken pitch class takes no ink
    if (i > 0) sum += shares[i];
  }
  if (!pcs.empty()) shares[0] = 0.0;  // the fundamental never takes ink
  if (sum > 0.0)
    for (size_t i = 1; i < pcs.size(); ++i) shares[i] /= sum;
}

void engraveEvent(MemoryState& s, const InkEvent& e, const std::vector<double>& pcs, uint64_t now) {
  // A NaN or infinity would zero or poison every weight it touches: such an event carves nothing.
  if (!std::isfinite(e.interval) || !std::isfinite(e.weight) || !std::isfinite(e.heldSeconds)) return;
  // A day per note at most, so no single event can overflow the player's share.
  s.yours.yoursSeconds += std::clamp(e.heldSeconds, 0.0, 86400.0) * s.pace;
  const double amount = s.pace * std::clamp(e.weight, 0.0, kMaxEventWeight) * s.engravePct * 0.006;
  const size_t n = std::min(pcs.size(), static_cast<size_t>(kModes));
  if (n >= 2) {
    // Fewer than two modes means only the fundamental, which takes no ink.
    double shares[kModes];
    std::vector<double> head(pcs.begin(), pcs.begin() + static_cast<long>(n));
    modeShares(e.interval, head, shares);
    for (size_t i = 0; i < n; ++i) s.modeWeights[i] = std::max(0.0, s.modeWeights[i] + shares[i] * amount);
  }
  int top = 0;
  for (int i = 1; i < kModes; ++i)
    if (s.modeWeights[i] > s.modeWeights[top]) top = i;
  const double peak = s.modeWeights[top];
  if (peak > kMaxWeight) {
    for (double& w : s.modeWeights) w *= kMaxWeight / peak;
    s.modeWeights[top] = kMaxWeight;  // exactly 20, whatever the rounding of peak * (20 / peak)
  }
  const int row = mod12(static_cast<long>(e.fromNote));
  // Halves away from zero; reduced first (fmod is exact) so a huge interval cannot overflow the rounding.
  const int col = mod12(std::lround(std::fmod(e.interval, 12.0)));
  float& cell = s.cart.ink[row][col];
  cell = static_cast<float>(std::min(kMaxWeight, std::max(0.0, static_cast<double>(cell) + amount)));
  s.cart.touchedHour[row][col] = static_cast<uint32_t>(now / 3600);
}

void applyWallClockForget(MemoryFileBodyV1& body, MemoryCartV1& cart, uint64_t last, uint64_t now, double pace) {
  if (now <= last || !(body.forgetDays > 0.0)) return;
  const double factor = std::exp(-std::max(1.0, pace) * static_cast<double>(now - last) / (body.forgetDays * 86400.0));
  for (double& w : body.modeWeights) w = std::min(kMaxWeight, std::max(0.0, w * factor));
  for (auto& row : cart.ink)
    for (float& cell : row) cell = static_cast<float>(std::min(kMaxWeight, std::max(0.0, cell * factor)));
}

MemoryFileBodyV1 bodyOf(const MemoryState& s) {
  MemoryFileBodyV1 b;
  std::memcpy(b.modeWeights, s.modeWeights, sizeof b.modeWeights);
  b.forgetDays = s.forgetDays;
  b.engravePct = s.engravePct;
  return b;
}

void setBody(MemoryState& s, const MemoryFileBodyV1& b) {
  std::memcpy(s.modeWeights, b.modeWeights, sizeof s.modeWeights);
  s.forgetDays = b.forgetDays;
  s.engravePct = b.engravePct;
}

void forgetState(MemoryState& s, uint64_t now) {
  MemoryFileBodyV1 b = bodyOf(s);
  applyWallClockForget(b, s.cart, s.lastUpdate, now, s.pace);
  std::memcpy(s.modeWeights, b.modeWeights, sizeof s.modeWeights);
}

void forgetAcrossIdleGap(MemoryState& s, uint64_t pacedUntil, uint64_t now) {
  if (now <= s.lastUpdate || !(s.pace > 1.0) || pacedUntil >= now) return;
  const uint64_t split = std::max(s.lastUpdate, pacedUntil);
  MemoryFileBodyV1 b = bodyOf(s);
  applyWallClockForget(b, s.cart, s.lastUpdate, split, s.pace);
  applyWallClockForget(b, s.cart, split, now, 1.0);
  std::memcpy(s.modeWeights, b.modeWeights, sizeof s.modeWeights);
  s.lastUpdate = now;
}

void sanitizeState(MemoryState& s) {
  for (double& w : s.modeWeights) w = clampWeight(w);
  for (auto& row : s.cart.ink)
    for (float& cell : row) cell = static_cast<float>(clampWeight(cell));
  // Non-finite settings become "not given" (0 and -1) for the callers to replace; finite ones are brought
  // into range, so a stray 1e308 cannot make every engraving infinite.
  if (!std::isfinite(s.forgetDays)) {
    s.forgetDays = 0.0;
  } else if (s.forgetDays > 0.0) {
    s.forgetDays = std::clamp(s.forgetDays, 1.0, 90.0);
  }
  if (!std::isfinite(s.engravePct)) {
    s.engravePct = -1.0;
  } else if (s.engravePct > 200.0) {
    s.engravePct = 200.0;
  }
  if (!std::isfinite(s.yours.yoursSeconds) || s.yours.yoursSeconds < 0.0) s.yours.yoursSeconds = 0.0;
  if (!std::isfinite(s.pace) || s.pace < 1.0) s.pace = 1.0;
  if (s.pace > 100.0) s.pace = 100.0;
  // A name from outside may lack its terminator; readers must never run past the field.
  s.name.text[sizeof s.name.text - 1] = '\0';
}

void sanitizeWithDefaults(MemoryState& s) {
  sanitizeState(s);
  if (s.forgetDays <= 0.0) s.forgetDays = kDefaultForgetDays;
  if (s.engravePct < 0.0) s.engravePct = kDefaultEngravePct;
}

namespace ops {

void engrave(MemoryState& s, const InkEvent* events, int count, const std::vector<double>& pcs, uint64_t now) {
  forgetState(s, now);
  s.yours.lastCarved = now;
  for (int i = 0; i < count; ++i) engraveEvent(s, events[i], pcs, now);
  s.lastUpdate = now;
}

void setMachineConfig(MemoryState& s, double forgetDays, double engravePct, uint64_t now) {
  forgetState(s, now);  // with the old Forget
  if (std::isfinite(forgetDays)) s.forgetDays = std::clamp(forgetDays, 1.0, 90.0);
  if (std::isfinite(engravePct)) s.engravePct = std::clamp(engravePct, 0.0, 200.0);
  s.lastUpdate = now;
}

void wipe(MemoryState& s, uint64_t now) {
  forgetState(s, now);
  std::memset(s.modeWeights, 0, sizeof s.modeWeights);
  std::memset(&s.cart, 0, sizeof s.cart);
  std::memset(&s.name, 0, sizeof s.name);
  std::memset(&s.yours, 0, sizeof s.yours);
  s.lastUpdate = now;
}

void setPace(MemoryState& s, double pace, uint64_t now) {
  forgetState(s, now);
  if (std::isfinite(pace)) s.pace = std::clamp(pace, 1.0, 100.0);
  s.lastUpdate = now;
}

void tick(MemoryState& s, uint64_t now) {
  forgetState(s, now);
  s.lastUpdate = now;
}

void setMemoryName(MemoryState& s, const MemoryNameV3& name, uint64_t now) {
  forgetState(s, now);
  s.name = name;
  s.name.text[sizeof s.name.text - 1] = '\0';
  s.yours.yoursSeconds = 0.0;
  s.lastUpdate = now;
}

void replaceMemory(MemoryState& s, const MemoryState& replacement, uint64_t now) {
  forgetState(s, now);
  const double keptForget = s.forgetDays;
  const double keptEngrave = s.engravePct;
  const double keptPace = s.pace;
  s = replacement;
  sanitizeState(s);
  if (s.forgetDays <= 0.0) s.forgetDays = keptForget;
  if (s.engravePct < 0.0) s.engravePct = keptEngrave;
  s.pace = keptPace;
  s.lastUpdate = now;
}

}  // namespace ops

}  // namespace vorrel::mem
