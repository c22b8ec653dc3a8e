// The ladder filter for up to 40 voices in lock-step: four voices per vector, all vectors interleaved per sub-step.
#include "Ladder.h"

#include "HotLoop.h"
#include "Simd.h"
#include "Voice.h"

#include <algorithm>
#include <cmath>

namespace vorrel::dsp {
namespace {

constexpr int kLanes = 4;
constexpr int kMaxGroups = kMaxLadderVoices / kLanes;
constexpr double kLn2 = 0.6931471805599453;

// One oversampled step of four voices: the saturating input stage and the four one-pole stages.
[[gnu::always_inline]] inline v4d ladderSubStep(v4d& s0, v4d& s1, v4d& s2, v4d& s3, v4d xi, v4d drv, v4d k4, v4d den,
                                                v4d G, v4d G2, v4d G3, v4d inv1g) {
  const v4d s4 = (G3 * s0 + G2 * s1 + G * s2 + s3) * inv1g;
  v4d in = vtanh((xi * drv - k4 * s4) * den);
  for (v4d* s : {&s0, &s1, &s2, &s3}) {
    // o = s + (in - s) G, and the state moves on to o + (in - s) G = 2 o - s.
    const v4d o = (in - *s) * G + *s;
    *s = o * 2.0 - *s;
    in = o;
  }
  return in;
}

struct Lanes {
  Voice* voice[kMaxGroups][kLanes] = {};
  int groups = 0;
};

// Voices sharing one sub-step count run together; the sub-step loop is serial within a voice,
// so independent voices side by side are what keeps the vector units busy.
VORREL_HOT_LOOP void runGroup(const Lanes& lanes, int subSteps, int n) {
  const int groups = lanes.groups;
  v4d cutoff[kMaxGroups], envAmt[kMaxGroups], drive[kMaxGroups], rate[kMaxGroups];
  v4d st[4][kMaxGroups], prev[kMaxGroups];
  bool lfoAny[kMaxGroups] = {};
  static const double kZeros[kSliceFrames] = {};
  double kZeroOut[kSliceFrames];
  const double* xs[kMaxGroups][kLanes];
  const double* ts[kMaxGroups][kLanes];
  const double* ks[kMaxGroups][kLanes];
  double* ys[kMaxGroups][kLanes];
  for (int g = 0; g < groups; ++g) {
    for (int l = 0; l < kLanes; ++l) {
      Voice* v = lanes.voice[g][l];
      cutoff[g][l] = v ? v->cutoffBase : 1000.0;
      envAmt[g][l] = v ? v->params.envAmtOct : 0.0;
      drive[g][l] = v ? v->ladderDrive : 0.0;
      rate[g][l] = v ? v->fs : 48000.0;
      for (int s = 0; s < 4; ++s) st[s][g][l] = v ? v->ladder[s] : 0.0;
      prev[g][l] = v ? v->ladderPrev : 0.0;
      if (v && v->params.lfoRateHz > 0.0 && v->params.lfoAmtOct > 0.0) lfoAny[g] = true;
      xs[g][l] = v ? v->xin : kZeros;
      ts[g][l] = v ? v->tAt : kZeros;
      ks[g][l] = v ? v->kAt : kZeros;
      ys[g][l] = v ? v->yOut : kZeroOut;
    }
  }
  const double steps = subSteps;
  for (int i = 0; i < n; ++i) {
    v4d x[kMaxGroups], G[kMaxGroups], G2[kMaxGroups], G3[kMaxGroups], inv1g[kMaxGroups], den[kMaxGroups];
    v4d drv[kMaxGroups], k4[kMaxGroups], dx[kMaxGroups], acc[kMaxGroups];
    for (int g = 0; g < groups; ++g) {
      v4d t, k;
      for (int l = 0; l < kLanes; ++l) {
        x[g][l] = xs[g][l][i];
        t[l] = ts[g][l][i];
        k[l] = ks[g][l][i];
      }
      v4d fc = cutoff[g] * vexp(kLn2 * envAmt[g] * vexp(-3.2 * t));
      if (lfoAny[g]) {
        v4d depth = splat(0.0);
        for (int l = 0; l < kLanes; ++l) {
          const Voice* v = lanes.voice[g][l];
          if (v && v->params.lfoRateHz > 0.0 && v->params.lfoAmtOct > 0.0)
            depth[l] = (0.5 - 0.5 * std::cos(2.0 * M_PI * v->params.lfoRateHz * t[l])) * v->params.lfoAmtOct;
        }
        fc *= vexp(kLn2 * depth);
      }
      fc = vmax(vmin(fc, 0.45 * rate[g]), splat(0.0));
      const v4d gg = vtanSmall(M_PI * fc / (rate[g] * steps));
      G[g] = gg / (1.0 + gg);
      inv1g[g] = 1.0 / (1.0 + gg);
      G2[g] = G[g] * G[g];
      G3[g] = G2[g] * G[g];
      den[g] = 1.0 / (1.0 + 4.0 * k * (G2[g] * G2[g]));
      drv[g] = drive[g] * (2.0 * k + 1.0);
      k4[g] = 4.0 * k;
      dx[g] = x[g] - prev[g];
      acc[g] = splat(0.0);
    }
    // Two groups side by side per step: their chains are independent, so the core overlaps them.
    auto subStep = [&](int g, double frac) {
      acc[g] += ladderSubStep(st[0][g], st[1][g], st[2][g], st[3][g], prev[g] + dx[g] * frac, drv[g], k4[g], den[g],
                              G[g], G2[g], G3[g], inv1g[g]);
    };
    for (int sub = 1; sub <= subSteps; ++sub) {
      const double frac = sub / steps;
      for (int g = 0; g < groups; g += 2) {
        subStep(g, frac);
        if (g + 1 < groups) subStep(g + 1, frac);
      }
    }
    for (int g = 0; g < groups; ++g) {
      prev[g] = x[g];
      const v4d y = acc[g] / steps;
      for (int l = 0; l < kLanes; ++l) ys[g][l][i] = y[l];
    }
  }
  for (int g = 0; g < groups; ++g) {
    for (int l = 0; l < kLanes; ++l) {
      Voice* v = lanes.voice[g][l];
      if (!v) continue;
      for (int s = 0; s < 4; ++s) v->ladder[s] = st[s][g][l];
      v->ladderPrev = prev[g][l];
    }
  }
}

}  // namespace

VORREL_HOT_LOOP double ladderKernel(int voices, int subSteps) {
  // Eight groups of four voices, as the worst case runs them, on a steady input: only the sub-step recurrence.
  constexpr int kGroups = kMaxGroups;
  v4d st[4][kGroups] = {};
  v4d acc[kGroups] = {};
  const int groups = std::clamp((voices + kLanes - 1) / kLanes, 1, kGroups);
  const v4d G = splat(0.2), G2 = G * G, G3 = G2 * G, inv1g = splat(1.0 / 1.25), den = 1.0 / (1.0 + 4.0 * G2 * G2);
  const v4d drv = splat(2.0), k4 = splat(2.0), xi = splat(0.3);
  for (int n = 0; n < subSteps; ++n)
    for (int g = 0; g < groups; ++g)
      acc[g] += ladderSubStep(st[0][g], st[1][g], st[2][g], st[3][g], xi, drv, k4, den, G, G2, G3, inv1g);
  double sum = 0.0;
  for (int g = 0; g < groups; ++g) sum += hsum(acc[g]);
  return sum;
}

void runLadders(Voice* const* voices, int count, int n) {
  n = std::clamp(n, 0, kSliceFrames);
  count = std::clamp(count, 0, kMaxLadderVoices);
  auto subSteps = [](const Voice* v) { return 2 * std::max(1, v->params.oversampling); };
  bool done[kMaxLadderVoices] = {};
  for (int i = 0; i < count; ++i) {
    if (done[i]) continue;
    const int steps = subSteps(voices[i]);
    Lanes lanes;
    int filled = 0;
    for (int j = i; j < count; ++j) {
      if (done[j] || subSteps(voices[j]) != steps) continue;
      done[j] = true;
      lanes.voice[filled / kLanes][filled % kLanes] = voices[j];
      ++filled;
    }
    lanes.groups = (filled + kLanes - 1) / kLanes;
    runGroup(lanes, steps, n);
  }
}

}  // namespace vorrel::dsp
