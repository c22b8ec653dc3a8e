// SplitMix64 uniform draws and Box-Muller Gaussian pairs: the voices' only noise source.
#pragma once

#include <cmath>
#include <cstdint>

namespace vorrel::dsp {

// One SplitMix64 step: advances the state and returns the mixed value.
inline uint64_t splitMix64(uint64_t& state) {
  state += 0x9E3779B97F4A7C15ull;
  uint64_t z = state;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

// A uniform double in [0, 1) from the top 53 bits of a draw.
inline double unitFromBits(uint64_t bits) { return static_cast<double>(bits >> 11) * 0x1.0p-53; }

struct NoiseSource {
  static constexpr uint64_t kGolden = 0x9E3779B97F4A7C15ull;

  uint64_t state = 0;
  bool hasCached = false;
  double cached = 0.0;

  void seed(uint64_t s) {
    state = s + kGolden;  // wraps
    hasCached = false;
    cached = 0.0;
  }

  // Uniform in [0, 1): the top 53 bits of the mixed value.
  double uniform() { return unitFromBits(splitMix64(state)); }

  double gauss() {
    if (hasCached) {
      hasCached = false;
      return cached;
    }
    double u1 = uniform();
    while (u1 <= 1e-300) u1 = uniform();
    const double u2 = uniform();
    const double r = std::sqrt(-2.0 * std::log(u1));
    const double theta = 2.0 * M_PI * u2;
    cached = r * std::sin(theta);
    hasCached = true;
    return r * std::cos(theta);
  }

  // The next n values gauss() would give, four pairs at a time (logarithm and angle accurate to 1e-12).
  void gaussBlock(double* out, int n);
};

}  // namespace vorrel::dsp
