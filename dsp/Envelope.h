// The attack/decay/sustain/release shape of a note's exciter, as a pure function of note time.
#pragma once

#include <cmath>

namespace vorrel::dsp {

// std::clamp(v, 0.0, 1.0) to the bit (NaN passes, -0 stays), written on values so loops over it vectorise.
[[gnu::always_inline]] inline double unitClamp(double v) { return v < 0.0 ? 0.0 : (1.0 < v ? 1.0 : v); }

// The shape at note time t, 0..1; a, d in seconds, s the sustain level, r the release time (1e9 while held) and
// the inverse stage lengths in 1/s. While held the release test (and its exp) can be left out.
[[gnu::always_inline]] inline double envelopeAt(double t, double a, double d, double s, double r, double invA,
                                                double invD, double invR, bool released = true) {
  double env;
  if (t < a) {
    env = t * invA;
  } else if (t < a + d) {
    env = 1.0 + (t - a) * (s - 1.0) * invD;
  } else {
    env = s;
  }
  if (released && t > r) env = s * std::exp((r - t) * invR);
  return unitClamp(env);
}

}  // namespace vorrel::dsp
