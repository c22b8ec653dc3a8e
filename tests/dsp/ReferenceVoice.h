// A plain scalar voice written straight from the formulas: the yardstick for the vectorised engine.
#pragma once

#include "Bodies.h"
#include "VoiceParams.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace vref {

using vorrel::dsp::Partner;
using vorrel::dsp::VoiceParams;

struct Mode {
  double f = 0, amp = 0, q = 0, b0 = 0, b1 = 0, a1 = 0, a2 = 0, s1 = 0, s2 = 0;
  double d[4] = {};  // per-sample coefficient steps while a glide ramps
};

inline void coeffs(Mode& m, double scale, double fs) {
  const double f = std::min(m.f * scale, 0.45 * fs);
  const double w = 2 * M_PI * f / fs;
  const double r = std::exp(-w / (2 * std::max(0.5, m.q)));
  m.b0 = std::sqrt(std::max(1e-12, 1 - r)) * m.amp;
  m.b1 = -m.b0 * r;
  m.a1 = -2 * r * std::cos(w);
  m.a2 = r * r;
}

// During a glide the coefficients walk in 512 equal steps to those of the next glide point.
inline void rampTo(Mode& m, double scale, double fs) {
  Mode target = m;
  coeffs(target, scale, fs);
  m.d[0] = (target.b0 - m.b0) * (1.0 / 512);
  m.d[1] = (target.b1 - m.b1) * (1.0 / 512);
  m.d[2] = (target.a1 - m.a1) * (1.0 / 512);
  m.d[3] = (target.a2 - m.a2) * (1.0 / 512);
}

inline double energy(const Mode& in, double fs, bool withZero) {
  Mode m = in;
  coeffs(m, 1.0, fs);
  const double d = ((1 + m.a2) * (1 + m.a2) - m.a1 * m.a1) * (1 - m.a2);
  if (d <= 1e-30) return 0;
  if (!withZero) return (1 + m.a2) * m.b0 * m.b0 / d;
  return ((m.b0 * m.b0 + m.b1 * m.b1) + 2 * m.b0 * m.b1 * (m.a1 * m.a1 / (1 + m.a2) - m.a2)) * (1 + m.a2) / d;
}

// One resonator: the recurrence as written, b1 acting two samples back.
inline double resonate(Mode& m, double x) {
  const double y = m.b0 * x + m.s1;
  m.s1 = m.s2 - m.a1 * y;
  m.s2 = m.b1 * x - m.a2 * y;
  return y;
}

struct Voice {
  VoiceParams p;
  double fs = 48000;
  bool held = true;
  int vel = 100;
  double t = 0, relTime = -1, f0 = 0, cur = 0, base = 0, osc = 0, oscStep = 1, endBody = 1, endPart = 1;
  bool ramping = false;
  std::vector<Mode> body;
  std::vector<Mode> part[3];
  double pg[3] = {};
  int np = 0;
  double norm = 0, limit = 0, bf = 0, pf = 0, sf = 0, duck = 1, c10 = 0, c100 = 0, c300 = 0, c500 = 0;
  bool selfEx = false;
  std::vector<double> dw;
  double invE = 0, hp = 0, hpPrev = 0, gainInv = 0, velGain = 0, own = 0;
  double relGain = 1, relRate = 0;
  int fade = 1;
  uint64_t rng = 0;
  bool hasG = false;
  double cg = 0;
  double ne = 1, z = 0, phase = 0, ds = 0, dtg = 0, dc = 1e9;
  double lad[4] = {}, prev = 0;
  double rr = 1, rrMul = 1, gate = 1, gateMul = 1;
  double strike = 0;
  double sumB2 = 0;  // body power over the present 512-sample frame
  int sumN = 0;
  int retunePos = 0;

  double uniform() {
    rng += 0x9E3779B97F4A7C15ull;
    uint64_t z2 = rng;
    z2 = (z2 ^ (z2 >> 30)) * 0xBF58476D1CE4E5B9ull;
    z2 = (z2 ^ (z2 >> 27)) * 0x94D049BB133111EBull;
    z2 ^= z2 >> 31;
    return static_cast<double>(z2 >> 11) * 0x1.0p-53;
  }
  double gauss() {
    if (hasG) {
      hasG = false;
      return cg;
    }
    double u1 = uniform();
    while (u1 <= 1e-300) u1 = uniform();
    const double u2 = uniform();
    const double R = std::sqrt(-2 * std::log(u1)), th = 2 * M_PI * u2;
    cg = R * std::sin(th);
    hasG = true;
    return R * std::cos(th);
  }

  void noteOn(int note, int velocity, const VoiceParams& prm, const double* trace, const Partner* partners, int n,
              double glideFrom, uint64_t seed) {
    p = prm;
    vel = velocity;
    held = true;
    t = 0;
    relTime = -1;
    relGain = 1;
    rng = seed + 0x9E3779B97F4A7C15ull;
    hasG = false;
    cg = 0;
    f0 = 440 * std::pow(2.0, (note - 69) / 12.0);
    cur = (glideFrom > 0 && p.glideMs > 0) ? glideFrom : f0;
    osc = cur;
    oscStep = 1;
    ramping = false;
    const std::vector<double>& list = vorrel::dsp::modeList(p.body);
    const int m = std::min<int>(static_cast<int>(list.size()), 40);
    std::vector<double> ratio(static_cast<size_t>(m));
    for (int i = 0; i < m; ++i) {
      const double k = i + 1;
      ratio[static_cast<size_t>(i)] = list[static_cast<size_t>(i)] * (1 + p.stretch * 0.02 * std::pow(k / m, 1.5)) *
                                      (1 + p.inharm * 0.055 * std::pow(k, 1.6) / 40);
    }
    const double qb = p.bodyDecay * (1 + 1.5 * p.inharm);
    const auto& def = vorrel::dsp::bodies()[static_cast<size_t>(p.body)];
    const double pe = std::clamp(p.tiltOffset + def.rolloff - 0.7, 0.0, 1.8);
    const double I = p.imprint > 0.001 ? 0.02 * std::pow(70.0, p.imprint) : 0;
    const double G = def.dose * 0.23 * I;
    const double c = p.imprint * p.carve * 0.85;
    body.clear();
    for (int i = 0; i < m; ++i) {
      const double k = i + 1, f = ratio[static_cast<size_t>(i)] * f0;
      if (!(0.45 * fs > f)) continue;
      const double w = std::tanh(trace[i] / 3), e = G * w;
      const double b = i == 0 ? 1 : (i == 1 ? 0.1 : 0);
      Mode md;
      md.f = f;
      md.amp = std::max(0.0, ((w - 1) * c + 1) * (25 * e + 1) * (b * p.bare + (1 - p.bare) / std::pow(k, pe)));
      md.q = (4 * e + 1) * qb;
      body.push_back(md);
    }
    base = f0;
    strike = sumB2 = 0;
    sumN = 0;
    retunePos = 0;
    np = std::min(n, 3);
    double E[3] = {};
    for (int k = 0; k < np; ++k) {
      pg[k] = partners[k].weight;
      const double r = std::pow(2.0, partners[k].semitones / 12.0);
      part[k].clear();
      for (int i = 0; i < m; ++i) {
        const double f = ratio[static_cast<size_t>(i)] * f0 * r;
        if (!(f < 0.45 * fs)) continue;
        const double e = G * std::tanh(trace[i] / 3);
        Mode md;
        md.f = f;
        md.amp = std::max(0.0, (25 * e + 1) / std::pow(i + 1.0, pe));
        md.q = std::min(1400.0, (4 * e + 1) * 3 * qb);
        part[k].push_back(md);
        E[k] += energy(md, fs, true);
      }
    }
    double s = 0;
    for (int k = 0; k < np; ++k) s += pg[k] * pg[k] * E[k];
    norm = (p.sympathy > 0 && s > 0) ? p.sympathy / (0.495 * std::sqrt(s)) : 0;
    limit = (p.sympathy / 0.99) * (p.sympathy / 0.99);
    bf = pf = sf = 0;
    duck = 1;
    c10 = 1 - std::exp(-1 / (fs * 0.01));
    c100 = 1 - std::exp(-1 / (fs * 0.1));
    c300 = 1 - std::exp(-1 / (fs * 0.3));
    c500 = 1 - std::exp(-1 / (fs * 0.5));
    double L;
    if (p.exciterVariant == 0) {
      const double T = qb * 2.2 / f0;
      const double poles[3] = {0.92, 0.7, 0.95};
      double En = 0;
      for (const Mode& md : body) {
        double H = 1;
        if (p.exciterFamily >= 0 && p.exciterFamily <= 2) {
          const double q = poles[p.exciterFamily], w = 2 * M_PI * std::min(md.f, 0.45 * fs) / fs;
          H = (1 - q * q) / (1 - 2 * q * std::cos(w) + q * q);
        }
        En += energy(md, fs, p.selfExcite <= 0) * H;
      }
      const double* cal = vorrel::dsp::familyCal(p.exciterFamily);
      L = std::sqrt(En) * cal[0] * (0.3 + 0.7 * velocity / 127.0) * vorrel::dsp::calibrationCurve(cal, T);
    } else {
      double En = 0;
      for (const Mode& md : body) En += energy(md, fs, true);
      L = 24.253 * std::sqrt(En) * std::sqrt(fs / 48000.0);  // oscillators: as loud at every rate
    }
    gainInv = own = L > 1e-12 ? 1 / L : 0;
    velGain = 0.3 * std::pow(std::max(velocity, 1) / 127.0, 1.6);
    selfEx = p.selfExcite > 0;
    dw.assign(body.size(), 0);
    if (selfEx) {
      double mx = 0;
      for (size_t j = 0; j < body.size(); ++j) mx = std::max(mx, dw[j] = std::tanh(trace[j] / 3));
      for (double& w : dw) w /= std::max(1e-9, mx);
      invE = 1 / std::max(1e-12, L * L);
    }
    ne = 1;
    z = phase = ds = dtg = 0;
    dc = 1e9;
    for (double& s4 : lad) s4 = 0;
    prev = 0;
    rr = rrMul = gate = gateMul = 1;
    fade = std::max(1, static_cast<int>(0.002 * fs));
    hp = hpPrev = 0;
  }

  void retune() {
    auto bodyScale = [&](double rho) {
      return (p.exciterFamily == 1 && p.exciterVariant == 0) ? (1 + 0.012 * strike) * rho : rho;
    };
    if (p.glideMs > 0 && cur != f0) {
      const double rho0 = cur / base;
      for (Mode& md : body) coeffs(md, ramping ? endBody : bodyScale(rho0), fs);
      for (int k = 0; k < np; ++k)
        for (Mode& md : part[k]) coeffs(md, ramping ? endPart : rho0, fs);
      const double from = cur;
      cur = (cur - f0) * std::exp(-512 / (p.glideMs * 0.001 * fs)) + f0;
      if (std::fabs(cur / f0 - 1) < 0.0001) cur = f0;
      endBody = bodyScale(cur / base);
      endPart = cur / base;
      for (Mode& md : body) rampTo(md, endBody, fs);
      for (int k = 0; k < np; ++k)
        for (Mode& md : part[k]) rampTo(md, endPart, fs);
      osc = from;
      oscStep = std::pow(cur / from, 1.0 / 512);
      ramping = true;
      return;
    }
    ramping = false;
    const double rho = cur / base;
    for (Mode& md : body) coeffs(md, bodyScale(rho), fs);
    for (int k = 0; k < np; ++k)
      for (Mode& md : part[k]) coeffs(md, rho, fs);
    osc = cur;
    oscStep = 1;
  }

  void release(double rate) {
    held = false;
    relTime = t;
    relRate = rate;
    rrMul = std::exp(-std::max(3.0, rate) / fs);
    gateMul = std::exp(-std::max(30.0, rate) / fs);
  }

  double excite() {
    double smp;
    if (p.exciterVariant == 0) {
      const double decay[4] = {1.2, 180, 0.9, 6};
      const int fam = (p.exciterFamily >= 0 && p.exciterFamily <= 2) ? p.exciterFamily : 3;
      ne *= std::exp(-decay[fam] / fs);
      if (fam == 2) z = 0.95 * z + 0.05 * (1 - std::exp(-12 * t)) * ne * gauss();
      if (fam == 1) z = 0.7 * z + 0.3 * ne * gauss();
      if (fam == 0) z = 0.92 * z + 0.08 * ne * gauss();
      if (fam == 3) {
        const double u = uniform();
        z = u < 0.0038461538461538464 ? ne * gauss() : 0;
      }
      smp = (0.3 + 0.7 * vel / 127.0) * z;
    } else {
      if (dc >= fs / 5) {
        ds = dtg;
        dtg = gauss();
        dc = 0;
      }
      const double drift = ds + (dtg - ds) * dc / (fs / 5);
      dc += 1;
      const double dt = (1 + 0.0024 * drift) * osc / fs;
      phase = phase + dt - std::floor(phase + dt);
      auto blep = [dt](double x) {
        if (x < dt) return 2 * (x / dt) - (x / dt) * (x / dt) - 1;
        if (x > 1 - dt) return ((x - 1) / dt) * ((x - 1) / dt) + 2 * ((x - 1) / dt) + 1;
        return 0.0;
      };
      const double saw = (2 * phase - 1) - blep(phase);
      const double ph2 = phase + 0.5 - std::floor(phase + 0.5);
      smp = p.exciterVariant == 1 ? saw : (saw - ((2 * ph2 - 1) - blep(ph2))) / 2;
    }
    const double a = p.attackMs / 1000, d = p.decayMs / 1000, S = p.sustain;
    double env = t < a ? t / std::max(1e-6, a) : (t < a + d ? 1 + (t - a) * (S - 1) / std::max(1e-6, d) : S);
    const double R = held ? 1e9 : relTime;
    if (t > R) env = S * std::exp((R - t) / std::max(1e-6, p.releaseMs / 1000));
    return smp * std::clamp(env, 0.0, 1.0);
  }

  double ladder(double x) {
    double fc = p.cutoffHz * std::pow(f0 / 261.63, std::clamp(p.keyTrack, 0.0, 1.0)) *
                std::pow(2.0, p.envAmtOct * std::exp(-3.2 * t));
    if (p.lfoRateHz > 0 && p.lfoAmtOct > 0)
      fc *= std::pow(2.0, (0.5 - 0.5 * std::cos(2 * M_PI * p.lfoRateHz * t)) * p.lfoAmtOct);
    fc = std::min(fc, 0.45 * fs);
    const int N = 2 * std::max(1, p.oversampling);
    double k = p.resonance;
    if (!held) {
      const double k2 = (k - 0.95) * rr + 0.95;
      if (k2 < k) k = k2;
    }
    const double g = std::tan(M_PI * fc / (fs * N)), G = g / (1 + g);
    double acc = 0;
    for (int i = 1; i <= N; ++i) {
      const double xi = prev + (x - prev) * i / N;
      const double S4 = (G * G * G * lad[0] + G * G * lad[1] + G * lad[2] + lad[3]) / (1 + g);
      double in =
          std::tanh((xi * (2 * p.inharm + 1) * p.drive * (2 * k + 1) - 4 * k * S4) / (1 + 4 * k * G * G * G * G));
      for (double& s : lad) {
        const double a = (in - s) * G, o = s + a;
        s = o + a;
        in = o;
      }
      acc += in;
    }
    prev = x;
    return acc / N;
  }

  // One chunk, as the engine calls it: n samples not crossing a retune boundary.
  void renderChunk(double* out, int n, double* out2) {
    const double rho = gainInv > 0 ? own / gainInv : 1;
    for (int i = 0; i < n; ++i) {
      const double x = excite();
      double B = 0;
      if (!selfEx) {
        for (Mode& md : body) B += resonate(md, x);
      } else {
        for (const Mode& md : body) B += md.s1;
        const double gt = held ? 1 : gate, u = B * B * invE;
        const double sat = u <= 1 ? std::tanh(u) : 0.7615941559557649 / u;
        // The drive passes a 10 Hz DC blocker.
        const double raw = p.selfExcite * gt * sat;
        hp = raw - hpPrev + std::exp(-2 * M_PI * 10.0 / fs) * hp;
        hpPrev = raw;
        for (size_t j = 0; j < body.size(); ++j) {
          Mode& md = body[j];
          const double s1 = (dw[j] * hp + x) * md.b0 - md.a1 * md.s1 - md.a2 * md.s2;
          md.s2 = md.s1;
          md.s1 = s1;
        }
      }
      double P = 0;
      for (int k = 0; k < np; ++k) {
        double bank = 0;
        for (Mode& md : part[k]) bank += resonate(md, B);
        P += pg[k] * bank;
      }
      P *= norm;
      if (norm > 0) {
        const double b2 = B * B, p2 = P * P;
        bf += (b2 - bf) * (b2 > bf ? c10 : c300);
        pf += (p2 - pf) * (p2 > pf ? c10 : c100);
        sf += (pf - sf) * c500;
        if (sf * 0.85 <= pf) {
          double target = 1;
          const double lim = bf * limit;
          if (pf > 1e-20 && lim < pf) target = std::sqrt(lim / pf);
          duck += (target - duck) * (target < duck ? c10 : c100);
        }
      }
      double s = B + P * duck;
      if (ramping) {
        auto walk = [](Mode& md) {
          md.b0 += md.d[0];
          md.b1 += md.d[1];
          md.a1 += md.d[2];
          md.a2 += md.d[3];
        };
        for (Mode& md : body) walk(md);
        for (int k = 0; k < np; ++k)
          for (Mode& md : part[k]) walk(md);
        osc *= oscStep;
      }
      const double fi = t * fs + 0.5;
      const int idx = fi >= 2e9 ? 2147483647 : static_cast<int>(fi);
      if (idx < fade) s = s * idx / (std::max(2, fade) - 1);
      if (!held) {
        relGain *= std::exp(-relRate / fs);
        s *= relGain;
        rr *= rrMul;
        gate = gate < 0.02 ? 0 : gate * gateMul;
      }
      const double y = ladder(s * gainInv);
      out[i] += y * velGain;
      if (out2) out2[i] += y * velGain * rho;
      sumB2 += B * B;
      t += 1 / fs;
    }
    sumN += n;
    // The strike level follows each whole 512-sample frame of the voice's output, wherever blocks end.
    if ((retunePos + n) % 512 != 0) return;
    const double rms = sumN < 1 ? 0 : std::sqrt(sumB2 / sumN);
    strike += (rms / 0.03245216773144158 - strike) * (1 - std::exp(-512 / (0.6 * fs)));
    sumB2 = 0;
    sumN = 0;
  }

  // Renders n samples in engine-style pieces, retuning every 512.
  void render(double* out, int n) {
    for (int pos = 0; pos < n;) {
      if (retunePos == 0) retune();
      const int len = std::min(512 - retunePos, n - pos);
      renderChunk(out + pos, len, nullptr);
      retunePos = (retunePos + len) % 512;
      pos += len;
    }
  }
};

}  // namespace vref
