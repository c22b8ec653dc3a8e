// The effect chain of each stereo pair: feedback delay, Schroeder reverb and output level.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace vorrel::dsp {

// A setting that moves to each new target in a straight line over a fixed number of samples, so a knob turn
// never reaches the output as a step. Per sample, so where blocks end does not matter.
struct Glide {
  double now = 0.0, target = 0.0, step = 0.0;
  int left = 0;  // samples until now == target exactly

  void jump(double v) {
    now = target = v;
    left = 0;
  }
  void to(double v, int samples) {
    if (v == target) return;
    target = v;
    step = (v - now) / samples;
    left = samples;
  }
  double next() {
    if (left > 0) {
      if (--left == 0) {
        now = target;
      } else {
        now += step;
      }
    }
    return now;
  }
  bool moving() const { return left > 0; }
};

class SchroederVerb {
 public:
  static constexpr std::array<int32_t, 4> kCombs = {1557, 1617, 1491, 1422};  // lengths at 48 kHz
  static constexpr int kRightOffset = 17;  // right combs are longer: the only stereo decorrelation

  SchroederVerb() = default;
  SchroederVerb(const SchroederVerb&) = delete;
  SchroederVerb& operator=(const SchroederVerb&) = delete;

  // Sizes for the rate (growing buffers only when too small) and clears every tail.
  void prepare(double sr);
  // In place; size and mix 0..1. Mix 0 passes dry and freezes the tail.
  void process(double* left, double* right, int n, double size, double mix);
  // The same with one mix value per sample, while the mix glides.
  void process(double* left, double* right, int n, double size, const double* mix);

  int combLength(int comb, int channel) const { return combs[comb][channel].len; }
  int allpassLength(int stage) const { return allpass[stage][0].len; }

 private:
  struct Line {
    std::vector<double> buf;  // capacity may exceed the length in use after a lower rate
    int len = 0;
    uint64_t idx = 0;
  };
  template <typename Mix>
  void run(double* left, double* right, int n, double size, Mix mixAt);

  Line combs[4][2];
  Line allpass[2][2];
};

class EffectChain {
 public:
  EffectChain() = default;
  EffectChain(const EffectChain&) = delete;
  EffectChain& operator=(const EffectChain&) = delete;

  void prepare(double sr);
  void process(double* left, double* right, int n, double delayMs, double delayMix, double verbSize, double verbMix,
               double levelDb);

  static constexpr double kGlideSeconds = 0.02;  // level and mix ramps, and the cross-fade of a new delay time

  int delayLength() const { return delayLen; }
  int delaySamples(double delayMs) const;
  const SchroederVerb& verb() const { return reverb; }

 private:
  double sampleRate = 48000.0;
  std::vector<double> delayL, delayR;  // capacity may exceed delayLen after a lower rate
  int delayLen = 0;
  uint64_t writeIdx = 0;
  SchroederVerb reverb;

  // The stereo delay with 0.42 feedback, its mix ramped and a new time cross-faded (target in samples).
  void runDelay(double* left, double* right, int n, int target);
  // Smoothed settings, audio thread. The first block after prepare takes the settings as they are.
  bool primed = false;
  int glideSamples = 960;
  Glide gain, delayMix, verbMix;
  int readDelay = 1;        // samples back the delay reads from
  int nextDelay = 1;        // where a running cross-fade is heading
  int fadeLeft = 0;         // samples of that cross-fade to go
  double verbMixRamp[256];  // per-sample verb mix while it glides
};

// A one-pole high-pass far below hearing for one stereo pair: what leaves the plug-in carries no DC.
// Every pair gets the same linear filter, so "Wear" = main - pair A stays exact.
class DcBlocker {
 public:
  static constexpr double kCornerHz = 5.0;
  void prepare(double sr);
  void process(double* left, double* right, int n);

 private:
  double pole = 0.0;
  double lastIn[2] = {}, lastOut[2] = {};
};

}  // namespace vorrel::dsp
