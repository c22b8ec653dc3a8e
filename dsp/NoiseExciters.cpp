// The filtered-noise exciters of many voices at once, four voices' filters per vector.
#include "NoiseExciters.h"

#include "HotLoop.h"
#include "Simd.h"

#include <algorithm>

namespace vorrel::dsp {

namespace {

// Samples per pass: a group's noise, filter lanes and output stay in the first-level cache.
constexpr int kPiece = 64;

[[gnu::always_inline]] inline v4d load4(const double* p) {
  v4d v;
  __builtin_memcpy(&v, p, sizeof v);
  return v;
}
[[gnu::always_inline]] inline void store4(double* p, v4d v) { __builtin_memcpy(p, &v, sizeof v); }

// Rows of four lanes to columns: afterwards a holds every row's first element, b the second, and so on.
[[gnu::always_inline]] inline void transpose4(v4d& a, v4d& b, v4d& c, v4d& d) {
  const v4d ab0 = __builtin_shuffle(a, b, v4i{0, 4, 2, 6});
  const v4d ab1 = __builtin_shuffle(a, b, v4i{1, 5, 3, 7});
  const v4d cd0 = __builtin_shuffle(c, d, v4i{0, 4, 2, 6});
  const v4d cd1 = __builtin_shuffle(c, d, v4i{1, 5, 3, 7});
  a = __builtin_shuffle(ab0, cd0, v4i{0, 1, 4, 5});
  b = __builtin_shuffle(ab1, cd1, v4i{0, 1, 4, 5});
  c = __builtin_shuffle(ab0, cd0, v4i{2, 3, 6, 7});
  d = __builtin_shuffle(ab1, cd1, v4i{2, 3, 6, 7});
}

}  // namespace

// One voice's filter is a serial chain of a multiply and an add per sample; four voices share each vector
// instruction and wait on that chain together. Built with contraction off (see CMakeLists.txt): every lane
// must round as the one-voice path does. The noise drawn piece by piece is the same sequence as drawn at once,
// and every envelope branch gives the same bits where it applies, so pieces only change which branch runs.
VORREL_HOT_LOOP void exciteNoise(Voice* const* voices, double* const* out, int count, int n) {
  n = std::clamp(n, 0, kSliceFrames);
  double zAt[4][kPiece], tAt[4][kPiece];  // per lane, the filter output and note time of each sample of a piece
  for (int first = 0; first < count; first += 4) {
    const int used = std::min(4, count - first);
    Voice* lane[4];
    v4d z, env, mul, bow, bowStep, pole, gain, t, dtime;
    for (int k = 0; k < 4; ++k) {
      // Spare lanes repeat the group's last voice and are never written back.
      Voice& v = *voices[first + std::min(k, used - 1)];
      lane[k] = &v;
      const int fam = v.params.exciterFamily;
      z[k] = v.noiseState;
      env[k] = v.noiseEnv;
      mul[k] = v.noiseMul;
      // The bow's onset belongs to family 2; elsewhere (1 - 0) x gain is gain exactly.
      bow[k] = fam == 2 ? v.bowDecay : 0.0;
      bowStep[k] = fam == 2 ? v.bowMul : 1.0;
      pole[k] = kNoiseFilters[fam].pole;
      gain[k] = kNoiseFilters[fam].gain;
      t[k] = v.time;
      dtime[k] = 1.0 / v.fs;
    }
    // Vectors go by reference: at -O0 this is a real call compiled without AVX, whose by-value ABI differs.
    auto step = [&](const v4d& gv, v4d& zOut, v4d& tOut) {
      env *= mul;
      z = pole * z + gain * (1.0 - bow) * env * gv;
      bow *= bowStep;
      zOut = z;
      tOut = t;
      t += dtime;
    };
    for (int from = 0; from < n; from += kPiece) {
      const int m = std::min(kPiece, n - from);
      for (int k = 0; k < used; ++k) lane[k]->noise.gaussBlock(lane[k]->gaussNow + from, m);
      const double* g[4] = {lane[0]->gaussNow + from, lane[1]->gaussNow + from, lane[2]->gaussNow + from,
                            lane[3]->gaussNow + from};
      // Four samples at a time: each lane's noise read as one vector and turned into four samples' vectors.
      int i = 0;
      for (; i + 4 <= m; i += 4) {
        v4d s[4] = {load4(g[0] + i), load4(g[1] + i), load4(g[2] + i), load4(g[3] + i)};
        transpose4(s[0], s[1], s[2], s[3]);
        v4d zs[4], ts[4];
        for (int j = 0; j < 4; ++j) step(s[j], zs[j], ts[j]);
        transpose4(zs[0], zs[1], zs[2], zs[3]);
        transpose4(ts[0], ts[1], ts[2], ts[3]);
        for (int k = 0; k < 4; ++k) {
          store4(zAt[k] + i, zs[k]);
          store4(tAt[k] + i, ts[k]);
        }
      }
      for (; i < m; ++i) {
        v4d zs, ts;
        step(v4d{g[0][i], g[1][i], g[2][i], g[3][i]}, zs, ts);
        for (int k = 0; k < 4; ++k) {
          zAt[k][i] = zs[k];
          tAt[k][i] = ts[k];
        }
      }
      for (int k = 0; k < used; ++k) {
        const Voice& v = *lane[k];
        const double level = 0.3 + 0.7 * v.velocity / 127.0;
        double* x = out[first + k] + from;
        const double* zk = zAt[k];
        const double* tk = tAt[k];
        v.withNoiseShape(tk[0], m, [&](auto shape) {
          for (int j = 0; j < m; ++j) x[j] = level * zk[j] * shape(tk[j]);
        });
      }
    }
    for (int k = 0; k < used; ++k) {
      Voice& v = *lane[k];
      v.noiseState = z[k];
      v.noiseEnv = env[k];
      if (v.params.exciterFamily == 2) v.bowDecay = bow[k];
    }
  }
}

}  // namespace vorrel::dsp
