// The per-note settings a voice copies at note-on, and one sympathetic partner.
#pragma once

#include <cstdint>

namespace vorrel::dsp {

struct VoiceParams {
  int32_t body = 0;
  int32_t exciterFamily = 2;   // Exciter 0..3
  int32_t exciterVariant = 0;  // 0 noise, 1 saw, 2 square
  double imprint = 0.62;       // 0..1
  double bare = 0.0;           // 0..1
  double carve = 0.55;         // 0..1
  double bodyDecay = 223.0;    // 15..3000, the modes' quality factor
  double reserved = 0.0;       // always 0, not read
  double inharm = 0.12;        // 0..1
  double sympathy = 0.25;      // 0..1
  double attackMs = 12.0;
  double decayMs = 400.0;
  double sustain = 0.7;  // 0..1
  double releaseMs = 900.0;
  double cutoffHz = 2400.0;
  double resonance = 0.68;  // 0..1.5
  double envAmtOct = 2.8;
  double lfoRateHz = 0.0;
  double lfoAmtOct = 0.0;
  double glideMs = 0.0;
  int32_t oversampling = 1;  // 1, 4 or 8
  double tiltOffset = 0.35;
  double stretch = 0.0;
  double selfExcite = 0.0;
  double drive = 1.4;
  double keyTrack = 0.5;
};

struct Partner {
  int32_t semitones = 0;  // 1..11 above the note
  double weight = 0.0;    // 0..1
};

}  // namespace vorrel::dsp
