// The per-sample body of a voice: exciter into the resonator banks, sympathy hold-down, fade-in and release.
#include "HotLoop.h"
#include "Ladder.h"
#include "Voice.h"

#include <algorithm>
#include <cmath>

namespace vorrel::dsp {

// Hot loop: built for x86-64-v3 (AVX2, FMA) next to the baseline, chosen at load time.
VORREL_HOT_LOOP void Voice::renderPre(int first, int n) {
  const double dtime = 1.0 / fs;
  const int bodyVecs = body.vecs;
  if (!excitedAhead) exciterBlock(excite + first, n);
  for (int i = first; i < first + n; ++i) {
    const double x = excite[i];
    double bsum;
    if (!selfExcited) {
      const v4d xv = splat(x);
      v4d acc = splat(0.0);
      for (int v = 0; v < bodyVecs; ++v) {
        const v4d y = body.b0[v] * xv + body.s1[v];
        body.s1[v] = body.s2[v] - body.a1[v] * y;
        body.s2[v] = body.b1[v] * xv - body.a2[v] * y;
        acc += y;
      }
      bsum = hsum(acc);
    } else {
      v4d acc = splat(0.0);
      for (int v = 0; v < bodyVecs; ++v) acc += body.s1[v];
      bsum = hsum(acc);
      const double g = held ? 1.0 : gate;
      const double u = bsum * bsum * inverseEnergy;
      const double sat = u <= 1.0 ? std::tanh(u) : 0.7615941559557649 / u;
      const double raw = params.selfExcite * g * sat;
      driveHp = raw - drivePrev + driveHpPole * driveHp;
      drivePrev = raw;
      const v4d drive = splat(driveHp);
      const v4d xv = splat(x);
      for (int v = 0; v < bodyVecs; ++v) {
        const v4d old = body.s1[v];
        body.s1[v] = (driveWeight[v] * drive + xv) * body.b0[v] - body.a1[v] * old - body.a2[v] * body.s2[v];
        body.s2[v] = old;
      }
    }

    double s = bsum;
    if (partnerNorm > 0.0) {
      // A zero normaliser would silence the partners for the whole note, so their banks are not run then.
      const v4d bv = splat(bsum);
      double psum = 0.0;
      for (int k = 0; k < partnerCount; ++k) {
        ModeBank& bank = partnerBanks[k];
        v4d acc = splat(0.0);
        for (int v = 0; v < bank.vecs; ++v) {
          const v4d y = bank.b0[v] * bv + bank.s1[v];
          bank.s1[v] = bank.s2[v] - bank.a1[v] * y;
          bank.s2[v] = bank.b1[v] * bv - bank.a2[v] * y;
          acc += y;
        }
        psum += partnerGain[k] * hsum(acc);
      }
      const double p = partnerNorm * psum;
      const double b2 = bsum * bsum;
      const double p2 = p * p;
      bodyFollow += (b2 - bodyFollow) * (b2 > bodyFollow ? c10 : c300);
      partnerFollow += (p2 - partnerFollow) * (p2 > partnerFollow ? c10 : c100);
      slowFollow += (partnerFollow - slowFollow) * c500;
      if (slowFollow * 0.85 <= partnerFollow) {
        double target = 1.0;
        const double limit = bodyFollow * sympathyLimit;
        if (partnerFollow > 1e-20 && limit < partnerFollow) target = std::sqrt(limit / partnerFollow);
        duck += (target - duck) * (target < duck ? c10 : c100);
      }
      s = bsum + p * duck;
    }

    const double idx = time * fs + 0.5;
    const int fadeIdx = idx >= 2e9 ? 2147483647 : static_cast<int>(idx);
    if (fadeIdx < fadeLength) s = s * fadeIdx / (std::max(2, fadeLength) - 1);

    double k = params.resonance;
    if (!held) {
      releaseGain *= releaseMul;
      s *= releaseGain;
      resRelease *= resReleaseMul;
      gate = gate < 0.02 ? 0.0 : gate * gateMul;
      const double lowered = (k - 0.95) * resRelease + 0.95;
      if (lowered < k) k = lowered;
    }
    if (body.ramping) {
      body.step();
      for (int p = 0; p < partnerCount; ++p) partnerBanks[p].step();
    }
    xin[i] = s * gainInv;
    kAt[i] = k;
    tAt[i] = time;
    chunkB2 += bsum * bsum;
    ++chunkCount;
    time += dtime;
  }
}

VORREL_HOT_LOOP double resonatorKernel(ModeBank& bank, const double* x, int n) {
  double total = 0.0;
  for (int i = 0; i < n; ++i) {
    const v4d xv = splat(x[i]);
    v4d acc = splat(0.0);
    for (int v = 0; v < bank.vecs; ++v) {
      const v4d y = bank.b0[v] * xv + bank.s1[v];
      bank.s1[v] = bank.s2[v] - bank.a1[v] * y;
      bank.s2[v] = bank.b1[v] * xv - bank.a2[v] * y;
      acc += y;
    }
    total += hsum(acc);
  }
  return total;
}

void Voice::endChunk() {
  const double rms = chunkCount < 1 ? 0.0 : std::sqrt(chunkB2 / chunkCount);
  strikeLevel += (rms / 0.03245216773144158 - strikeLevel) * (1.0 - std::exp(-512.0 / (0.6 * fs)));
  chunkB2 = 0.0;
  chunkCount = 0;
}

void Voice::renderPost(double* out, int n, double* out2) {
  const double rho = gainInv > 0.0 ? ownGain / gainInv : 1.0;
  for (int i = 0; i < n; ++i) {
    double y = yOut[i] * velGain;
    if (stealTotal > 0) {
      y *= static_cast<double>(stealLeft) / stealTotal;
      if (stealLeft > 0) --stealLeft;
    }
    out[i] += y;
    if (out2) out2[i] += y * rho;
    if (std::fabs(y) >= 1e-5) {
      silentCount = 0;
    } else if (silentCount < (1 << 30)) {
      ++silentCount;
    }
  }
}

void Voice::renderChunk(double* out, int n, double* out2) {
  n = std::clamp(n, 0, kSliceFrames);
  renderPre(0, n);
  if ((retunePos + n) % kRetunePeriod == 0) endChunk();
  Voice* self = this;
  runLadders(&self, 1, n);
  renderPost(out, n, out2);
}

}  // namespace vorrel::dsp
