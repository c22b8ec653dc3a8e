// Feedback delay (fixed 0.42 feedback, no cross-feed), four combs into two all-passes, and the level.
#include "Effects.h"

#include <algorithm>
#include <cmath>

namespace vorrel::dsp {
namespace {

// Buffers grow only when too small; every length in use comes from the current rate.
void fitLine(std::vector<double>& buf, int len) {
  if (static_cast<int>(buf.size()) < len) buf.resize(static_cast<size_t>(len));
  std::fill(buf.begin(), buf.end(), 0.0);
}

}  // namespace

void SchroederVerb::prepare(double sr) {
  const double b = sr / 48000.0;
  auto size = [](Line& line, int len) {
    line.len = std::max(1, len);
    fitLine(line.buf, line.len);
    line.idx = 0;
  };
  for (int c = 0; c < 4; ++c) {
    size(combs[c][0], static_cast<int>(kCombs[static_cast<size_t>(c)] * b));
    size(combs[c][1], static_cast<int>((kCombs[static_cast<size_t>(c)] + kRightOffset) * b));
  }
  for (int ch = 0; ch < 2; ++ch) {
    size(allpass[0][ch], static_cast<int>(0.0046875 * sr));
    size(allpass[1][ch], static_cast<int>(0.011583333333333333 * sr));
  }
}

template <typename Mix>
void SchroederVerb::run(double* left, double* right, int n, double size, Mix mixAt) {
  const double f = 0.7 + 0.24 * std::clamp(size, 0.0, 1.0);
  double* io[2] = {left, right};
  for (int ch = 0; ch < 2; ++ch) {
    double* data = io[ch];
    if (!data) continue;
    Line* c[4] = {&combs[0][ch], &combs[1][ch], &combs[2][ch], &combs[3][ch]};
    Line& ap1 = allpass[0][ch];
    Line& ap2 = allpass[1][ch];
    for (int i = 0; i < n; ++i) {
      const double x = data[i];
      double sum = 0.0;
      for (Line* line : c) {
        double& cell = line->buf[line->idx];
        const double y = cell;
        cell = f * y + x;
        line->idx = line->idx + 1 == static_cast<uint64_t>(line->len) ? 0 : line->idx + 1;
        sum += y;
      }
      const double s = 0.25 * sum;
      const double o = ap1.buf[ap1.idx];
      const double v = 0.7 * o + s;
      ap1.buf[ap1.idx] = v;
      ap1.idx = ap1.idx + 1 == static_cast<uint64_t>(ap1.len) ? 0 : ap1.idx + 1;
      const double a = o - 0.7 * v;
      const double p = ap2.buf[ap2.idx];
      const double u = 0.7 * p + a;
      ap2.buf[ap2.idx] = u;
      ap2.idx = ap2.idx + 1 == static_cast<uint64_t>(ap2.len) ? 0 : ap2.idx + 1;
      const double wet = p - 0.7 * u;
      data[i] = x + mixAt(i) * (wet - x);
    }
  }
}

void SchroederVerb::process(double* left, double* right, int n, double size, double mix) {
  if (mix <= 0.0) return;
  if (combs[0][0].buf.empty() || n <= 0) return;
  run(left, right, n, size, [mix](int) { return mix; });
}

void SchroederVerb::process(double* left, double* right, int n, double size, const double* mix) {
  if (combs[0][0].buf.empty() || n <= 0) return;
  run(left, right, n, size, [mix](int i) { return mix[i]; });
}

void EffectChain::prepare(double sr) {
  sampleRate = sr;
  delayLen = static_cast<int>(static_cast<size_t>(1.6 * sr) + 4);
  fitLine(delayL, delayLen);
  fitLine(delayR, delayLen);
  writeIdx = 0;
  reverb.prepare(sr);
  primed = false;
  glideSamples = std::max(1, static_cast<int>(kGlideSeconds * sr));
}

int EffectChain::delaySamples(double delayMs) const {
  int d = std::max(1, static_cast<int>(delayMs * 0.001 * sampleRate));
  return std::min(d, delayLen - 1);
}

// A new delay time cross-fades from the old read position to the new one; a time that changes again meanwhile
// waits for the running fade to end, so the read never jumps.
void EffectChain::runDelay(double* left, double* right, int n, int target) {
  const uint64_t len = static_cast<uint64_t>(delayLen);
  const double inv = 1.0 / glideSamples;
  uint64_t w = writeIdx;
  for (int i = 0; i < n; ++i) {
    if (fadeLeft == 0 && target != readDelay) {
      nextDelay = target;
      fadeLeft = glideSamples;
    }
    const uint64_t r = (w + len - static_cast<uint64_t>(readDelay)) % len;
    double readL = delayL[r];
    double readR = delayR[r];
    if (fadeLeft > 0) {
      const uint64_t r2 = (w + len - static_cast<uint64_t>(nextDelay)) % len;
      const double a = (glideSamples - fadeLeft + 1) * inv;
      readL += (delayL[r2] - readL) * a;
      readR += (delayR[r2] - readR) * a;
      if (--fadeLeft == 0) readDelay = nextDelay;
    }
    const double mix = delayMix.next();
    delayL[w] = 0.42 * readL + left[i];
    delayR[w] = 0.42 * readR + right[i];
    left[i] = left[i] + mix * readL;
    right[i] = right[i] + mix * readR;
    w = (w + 1) % len;
  }
  writeIdx = w;
}

void EffectChain::process(double* left, double* right, int n, double delayMs, double dlyMix, double verbSize,
                          double vMix, double levelDb) {
  const int target = delayLen > 1 ? delaySamples(delayMs) : 1;
  const double level = std::pow(10.0, levelDb / 20.0);
  if (!primed) {
    gain.jump(level);
    delayMix.jump(dlyMix);
    verbMix.jump(vMix);
    readDelay = nextDelay = target;
    fadeLeft = 0;
    primed = true;
  }
  gain.to(level, glideSamples);
  delayMix.to(dlyMix, glideSamples);
  verbMix.to(vMix, glideSamples);
  if (delayLen > 1 && n > 0) runDelay(left, right, n, target);
  if (!verbMix.moving()) {
    reverb.process(left, right, n, verbSize, verbMix.now);
  } else {
    constexpr int kPiece = static_cast<int>(sizeof verbMixRamp / sizeof verbMixRamp[0]);
    for (int at = 0; at < n; at += kPiece) {
      const int m = std::min(kPiece, n - at);
      for (int i = 0; i < m; ++i) verbMixRamp[i] = verbMix.next();
      reverb.process(left + at, right + at, m, verbSize, verbMixRamp);
    }
  }
  if (!gain.moving()) {
    const double g = gain.now;
    for (int i = 0; i < n; ++i) {
      left[i] *= g;
      right[i] *= g;
    }
  } else {
    for (int i = 0; i < n; ++i) {
      const double g = gain.next();
      left[i] *= g;
      right[i] *= g;
    }
  }
}

void DcBlocker::prepare(double sr) {
  pole = std::exp(-2.0 * M_PI * kCornerHz / sr);
  lastIn[0] = lastIn[1] = lastOut[0] = lastOut[1] = 0.0;
}

void DcBlocker::process(double* left, double* right, int n) {
  double xl = lastIn[0], yl = lastOut[0], xr = lastIn[1], yr = lastOut[1];
  if (xl == 0.0 && yl == 0.0 && xr == 0.0 && yr == 0.0) {
    // At rest, silence passes unchanged: a quick scan spares the recurrence while nothing sounds.
    bool any = false;
    for (int i = 0; i < n; ++i) any |= (left[i] != 0.0) | (right[i] != 0.0);
    if (!any) return;
  }
  // Both channels in one pass: two independent recurrences keep the core busy.
  for (int i = 0; i < n; ++i) {
    const double l = left[i], r = right[i];
    yl = (l - xl) + pole * yl;
    yr = (r - xr) + pole * yr;
    xl = l;
    xr = r;
    left[i] = yl;
    right[i] = yr;
  }
  // Once the input has stopped, a remainder below 1e-20 is let go so the filter can come to rest.
  if (xl == 0.0 && xr == 0.0 && std::fabs(yl) < 1e-20 && std::fabs(yr) < 1e-20) yl = yr = 0.0;
  lastIn[0] = xl;
  lastOut[0] = yl;
  lastIn[1] = xr;
  lastOut[1] = yr;
}

}  // namespace vorrel::dsp
