// The filtered-noise exciters of many voices at once: one voice's filter is a serial chain of a multiply and an
// add per sample, so four voices share each vector instruction and wait on that chain together.
#include "NoiseExciters.h"

#include "HotLoop.h"

#include <algorithm>

namespace vorrel::dsp {

// Built with contraction off (see CMakeLists.txt): every lane must round as the one-voice path does.
VORREL_HOT_LOOP void exciteNoise(Voice* const* voices, double* const* out, int count, int n, NoiseLanes& lanes) {
  n = std::clamp(n, 0, kSliceFrames);
  for (int first = 0; first < count; first += 4) {
    const int used = std::min(4, count - first);
    const double* g[4];
    v4d z, env, mul, bow, bowStep, c1, c2, t, dtime;
    for (int k = 0; k < 4; ++k) {
      // Spare lanes repeat the group's last voice and are never written back.
      Voice& v = *voices[first + std::min(k, used - 1)];
      if (k < used) v.noise.gaussBlock(v.gaussNow, n);
      g[k] = v.gaussNow;
      const int fam = v.params.exciterFamily;
      z[k] = v.noiseState;
      env[k] = v.noiseEnv;
      mul[k] = v.noiseMul;
      // The bow's onset belongs to family 2; elsewhere (1 - 0) x c2 is c2 exactly.
      bow[k] = fam == 2 ? v.bowDecay : 0.0;
      bowStep[k] = fam == 2 ? v.bowMul : 1.0;
      c1[k] = fam == 2 ? 0.95 : fam == 1 ? 0.7 : 0.92;
      c2[k] = fam == 2 ? 0.05 : fam == 1 ? 0.3 : 0.08;
      t[k] = v.time;
      dtime[k] = 1.0 / v.fs;
    }
    for (int i = 0; i < n; ++i) {
      const v4d gv = {g[0][i], g[1][i], g[2][i], g[3][i]};
      env *= mul;
      z = c1 * z + c2 * (1.0 - bow) * env * gv;
      bow *= bowStep;
      lanes.z[i] = z;
      lanes.t[i] = t;
      t += dtime;
    }
    for (int k = 0; k < used; ++k) {
      Voice& v = *voices[first + k];
      v.noiseState = z[k];
      v.noiseEnv = env[k];
      if (v.params.exciterFamily == 2) v.bowDecay = bow[k];
      const double level = 0.3 + 0.7 * v.velocity / 127.0;
      double* x = out[first + k];
      v.withNoiseShape(v.time, n, [&](auto shape) {
        for (int i = 0; i < n; ++i) x[i] = level * lanes.z[i][k] * shape(lanes.t[i][k]);
      });
    }
  }
}

}  // namespace vorrel::dsp
