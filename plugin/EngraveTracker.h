// Turns each played note into an engrave event for the note before it: interval, held time, weight.
#pragma once

#include "InkEvent.h"

#include <cstdint>

class EngraveTracker {
 public:
  static constexpr int kPanelChannel = 16;  // the on-screen keyboard's own channel

  // Forgets the last note: the next note-on engraves nothing.
  void reset() { hasLast = false; }

  // A note-on at now (seconds); returns true and fills event when a previous note is known.
  bool noteOn(int note, int channel, double velocity01, double now, vorrel::mem::InkEvent& event);
  void noteOff(double now);
  void pressure(double value01, double now);

  // Whether the message concerns the last note while it is still held.
  bool isLastHeld(int note, int channel) const {
    return hasLast && lastEnd < 0.0 && note == lastNote && channel == lastChannel;
  }
  bool isLastHeldOn(int channel) const { return hasLast && lastEnd < 0.0 && channel == lastChannel; }
  bool hasLastNote() const { return hasLast; }
  int lastNoteNumber() const { return lastNote; }
  double lastVelocity() const { return lastVel; }

 private:
  void integrate(double now);

  bool hasLast = false;
  int lastNote = 0;
  int lastChannel = 0;
  double lastVel = 0.0;
  double lastStart = 0.0;
  double lastEnd = -1.0;  // -1 while held
  double integral = 0.0;  // pressure x seconds
  double stamp = 0.0;     // time up to which the integral is taken
  double pressureNow = 0.0;
  bool pressureSeen = false;
};
