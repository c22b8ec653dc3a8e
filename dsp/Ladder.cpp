// The ladder filter for up to 32 voices in lock-step: four voices per vector, all vectors interleaved per sub-step.
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
      const v4d xi = prev[g] + dx[g] * frac;
      const v4d s4 = (G3[g] * st[0][g] + G2[g] * st[1][g] + G[g] * st[2][g] + st[3][g]) * inv1g[g];
      v4d in = vtanh((xi * drv[g] - k4[g] * s4) * den[g]);
      for (int s = 0; s < 4; ++s) {
        // o = s + (in - s) G, and the state moves on to o + (in - s) G = 2 o - s.
        const v4d o = (in - st[s][g]) * G[g] + st[s][g];
        st[s][g] = o * 2.0 - st[s][g];
        in = o;
      }
      acc[g] += in;
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
