// Held time and velocity (or the pressure integral in MPE mode) of the previous note become its weight, capped at 2.
#include "EngraveTracker.h"

#include <algorithm>

void EngraveTracker::integrate(double now) {
  if (pressureSeen && now > stamp) integral += (now - stamp) * pressureNow;
  stamp = now;
}

bool EngraveTracker::noteOn(int note, int channel, double velocity01, double now, vorrel::mem::InkEvent& event) {
  const bool built = hasLast;
  if (built) {
    const double end = lastEnd >= 0.0 ? lastEnd : now;
    double weight;
    if (pressureSeen) {
      if (lastEnd < 0.0 && end > stamp) integral += (end - stamp) * pressureNow;
      weight = std::min(2.0, integral);
    } else {
      weight = std::min(2.0, std::max(0.0, end - lastStart)) * lastVel;
    }
    event = vorrel::mem::InkEvent{};
    event.interval = static_cast<double>(note - lastNote);
    event.weight = weight;
    event.fromNote = lastNote;
    event.heldSeconds = std::max(0.0, end - lastStart);
  }
  hasLast = true;
  lastNote = note;
  lastChannel = channel;
  lastVel = std::clamp(velocity01, 0.0, 1.0);
  lastStart = now;
  lastEnd = -1.0;
  integral = 0.0;
  stamp = now;
  pressureNow = 0.0;
  pressureSeen = false;
  return built;
}

void EngraveTracker::noteOff(double now) {
  integrate(now);
  lastEnd = now;
}

void EngraveTracker::pressure(double value01, double now) {
  integrate(now);
  pressureNow = std::clamp(value01, 0.0, 1.0);
  pressureSeen = true;
}
