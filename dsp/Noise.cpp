// Gaussian noise for a whole slice at once: the same draws as gauss(), transformed four pairs per vector.
#include "HotLoop.h"
#include "Random.h"
#include "Simd.h"

#include <algorithm>

namespace vorrel::dsp {

VORREL_HOT_LOOP void NoiseSource::gaussBlock(double* out, int n) {
  int i = 0;
  if (n > 0 && hasCached) {
    out[i++] = cached;
    hasCached = false;
  }
  while (i < n) {
    const int pairs = std::min(4, (n - i + 1) / 2);
    v4d u1 = splat(1.0), u2 = splat(0.0);
    for (int p = 0; p < pairs; ++p) {
      double a = uniform();
      while (a <= 1e-300) a = uniform();
      u1[p] = a;
      u2[p] = uniform();
    }
    const v4d r = vsqrt(-2.0 * vlog(u1));
    v4d c, s;
    vsincosTurns(u2, c, s);
    c *= r;
    s *= r;
    for (int p = 0; p < pairs; ++p) {
      out[i++] = c[p];
      if (i < n) {
        out[i++] = s[p];
      } else {
        cached = s[p];
        hasCached = true;
      }
    }
  }
}

}  // namespace vorrel::dsp
