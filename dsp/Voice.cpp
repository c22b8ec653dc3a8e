// Voice note-on (mode tuning, memory colouring, partners, loudness), retune, exciters and the per-sample body.
#include "Voice.h"

#include "Envelope.h"
#include "Ladder.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace vorrel::dsp {
namespace {

constexpr double kTwoPi = 2.0 * M_PI;
constexpr double kDriveHighPassHz = 10.0;  // below every mode a note can have
constexpr double kCalibrationRate = 48000.0;

double modeAt(const v4d* a, int j) { return a[j / 4][j % 4]; }
void setAt(v4d* a, int j, double v) { a[j / 4][j % 4] = v; }

}  // namespace

void ModeBank::clear() {
  for (int v = 0; v < kModeVecs; ++v) {
    freq[v] = amp[v] = q[v] = splat(0.0);
    b0[v] = b1[v] = a1[v] = a2[v] = splat(0.0);
    db0[v] = db1[v] = da1[v] = da2[v] = splat(0.0);
    s1[v] = s2[v] = splat(0.0);
  }
  count = 0;
  vecs = 0;
  ramping = false;
}

void ModeBank::setMode(int j, double frequency, double amplitude, double quality) {
  setAt(freq, j, frequency);
  setAt(amp, j, amplitude);
  setAt(q, j, quality);
  count = j + 1;
  // Modes of zero amplitude never move (their input gain b0 is zero), so the vectors past the last audible
  // mode are not run.
  if (amplitude != 0.0) vecs = j / 4 + 1;
}

// The two-pole resonator of one mode; frequencies above 0.45 fs are held there.
struct ModeCoeffs {
  double b0, b1, a1, a2;
};

ModeCoeffs modeCoeffs(double frequency, double amplitude, double quality, double rate) {
  const double w = kTwoPi * std::min(frequency, 0.45 * rate) / rate;
  const double r = std::exp(-w / (2.0 * std::max(0.5, quality)));
  const double b0 = std::sqrt(std::max(1e-12, 1.0 - r)) * amplitude;
  return {b0, -b0 * r, -2.0 * r * std::cos(w), r * r};
}

void ModeBank::retune(double scale, double rate) {
  for (int j = 0; j < count; ++j) {
    const ModeCoeffs c = modeCoeffs(modeAt(freq, j) * scale, modeAt(amp, j), modeAt(q, j), rate);
    setAt(b0, j, c.b0);
    setAt(b1, j, c.b1);
    setAt(a1, j, c.a1);
    setAt(a2, j, c.a2);
  }
}

void ModeBank::rampTo(double scale, double rate, int period) {
  const double inv = 1.0 / std::max(1, period);
  for (int j = 0; j < count; ++j) {
    const ModeCoeffs c = modeCoeffs(modeAt(freq, j) * scale, modeAt(amp, j), modeAt(q, j), rate);
    setAt(db0, j, (c.b0 - modeAt(b0, j)) * inv);
    setAt(db1, j, (c.b1 - modeAt(b1, j)) * inv);
    setAt(da1, j, (c.a1 - modeAt(a1, j)) * inv);
    setAt(da2, j, (c.a2 - modeAt(a2, j)) * inv);
  }
  ramping = true;
}

void ModeBank::step() {
  for (int v = 0; v < vecs; ++v) {
    b0[v] += db0[v];
    b1[v] += db1[v];
    a1[v] += da1[v];
    a2[v] += da2[v];
  }
}

double modeEnergy(double frequency, double amplitude, double quality, double rate, bool withZero) {
  const auto [b0, b1, a1, a2] = modeCoeffs(frequency, amplitude, quality, rate);
  const double d = ((1.0 + a2) * (1.0 + a2) - a1 * a1) * (1.0 - a2);
  if (d <= 1e-30) return 0.0;
  if (!withZero) return (1.0 + a2) * b0 * b0 / d;
  return ((b0 * b0 + b1 * b1) + 2.0 * b0 * b1 * (a1 * a1 / (1.0 + a2) - a2)) * (1.0 + a2) / d;
}

Voice::Voice() {
  body.clear();
  for (auto& b : partnerBanks) b.clear();
  for (auto& w : driveWeight) w = splat(0.0);
  std::memset(xin, 0, sizeof xin);
  std::memset(kAt, 0, sizeof kAt);
  std::memset(tAt, 0, sizeof tAt);
  std::memset(yOut, 0, sizeof yOut);
}

void Voice::noteOn(int noteNumber, int vel, const VoiceParams& p, const std::vector<double>& modes, const double* trace,
                   int traceCount, const Partner* partners, int nPartners, double glideFrom, uint64_t seed) {
  // 1. Copy and reset.
  params = p;
  note = noteNumber;
  velocity = vel;
  active = true;
  held = true;
  time = 0.0;
  releaseTime = -1.0;
  releaseGain = 1.0;
  silentCount = 0;
  fading = false;
  stealLeft = stealTotal = 0;
  noise.seed(seed);

  // 2. Pitch.
  f0 = 440.0 * std::pow(2.0, (noteNumber - 69) / 12.0);
  currentFreq = (glideFrom > 0.0 && p.glideMs > 0.0) ? glideFrom : f0;
  oscFreq = currentFreq;
  oscStep = 1.0;

  // 3-7. Mode ratios, quality, roll-off and the memory's gain and carve.
  const int m = std::min(static_cast<int>(modes.size()), kMaxModes);
  const double g = p.stretch * 0.02;
  const double d = p.inharm * 0.055;
  double ratio[kMaxModes];
  for (int i = 0; i < m; ++i) {
    const double k = i + 1.0;
    ratio[i] = modes[static_cast<size_t>(i)] * (1.0 + g * std::pow(k / m, 1.5)) * (1.0 + d * std::pow(k, 1.6) / 40.0);
  }
  const double qBase = p.bodyDecay * (1.0 + 1.5 * p.inharm);
  const BodyDef& def = bodies()[static_cast<size_t>(std::clamp(p.body, 0, kNumBodies - 1))];
  const double rollExp = std::clamp(p.tiltOffset + def.rolloff - 0.7, 0.0, 1.8);
  const double imprintGain = p.imprint > 0.001 ? 0.02 * std::pow(70.0, p.imprint) : 0.0;
  const double memGain = def.dose * 0.23 * imprintGain;
  const double carveAmt = p.imprint * p.carve * 0.85;
  const double bareAmt = p.bare;
  auto traceWeight = [&](int i) { return (trace && i < traceCount) ? std::tanh(trace[i] / 3.0) : 0.0; };

  // 8. Body modes below 0.45 fs; modes past the limit are dropped.
  body.clear();
  int stored = 0;
  for (int i = 0; i < m; ++i) {
    const double k = i + 1.0;
    const double frequency = ratio[i] * f0;
    if (!(0.45 * fs > frequency)) continue;
    const double w = traceWeight(i);
    const double e = memGain * w;
    const double base = i == 0 ? 1.0 : (i == 1 ? 0.1 : 0.0);
    const double amplitude = std::max(0.0, ((w - 1.0) * carveAmt + 1.0) * (25.0 * e + 1.0) *
                                               (base * bareAmt + (1.0 - bareAmt) / std::pow(k, rollExp)));
    body.setMode(stored++, frequency, amplitude, (4.0 * e + 1.0) * qBase);
  }

  // 9-10. Partner banks a few semitones up, driven by the body.
  baseFreq = f0;
  strikeLevel = 0.0;
  retunePos = 0;
  partnerCount = std::clamp(nPartners, 0, kMaxPartners);
  if (!partners) partnerCount = 0;
  double partnerEnergy[kMaxPartners] = {};
  for (int k = 0; k < partnerCount; ++k) {
    partnerGain[k] = partners[k].weight;
    const double r = std::pow(2.0, partners[k].semitones / 12.0);
    ModeBank& bank = partnerBanks[k];
    bank.clear();
    int n = 0;
    for (int i = 0; i < m; ++i) {
      const double frequency = ratio[i] * f0 * r;
      if (!(frequency < 0.45 * fs)) continue;
      const double e = memGain * traceWeight(i);
      const double amplitude = std::max(0.0, (25.0 * e + 1.0) / std::pow(i + 1.0, rollExp));
      const double quality = std::min(1400.0, (4.0 * e + 1.0) * 3.0 * qBase);
      bank.setMode(n++, frequency, amplitude, quality);
      partnerEnergy[k] += modeEnergy(frequency, amplitude, quality, fs, true);
    }
  }
  for (int k = partnerCount; k < kMaxPartners; ++k) partnerBanks[k].clear();

  // 11-12. Sympathy normaliser and follower coefficients.
  double sum = 0.0;
  for (int k = 0; k < partnerCount; ++k) sum += partnerGain[k] * partnerGain[k] * partnerEnergy[k];
  partnerNorm = (p.sympathy > 0.0 && sum > 0.0) ? p.sympathy / (0.495 * std::sqrt(sum)) : 0.0;
  sympathyLimit = (p.sympathy / 0.99) * (p.sympathy / 0.99);
  bodyFollow = partnerFollow = slowFollow = 0.0;
  duck = 1.0;
  c10 = 1.0 - std::exp(-1.0 / (fs * 0.01));
  c100 = 1.0 - std::exp(-1.0 / (fs * 0.1));
  c300 = 1.0 - std::exp(-1.0 / (fs * 0.3));
  c500 = 1.0 - std::exp(-1.0 / (fs * 0.5));

  // 13. Loudness estimate.
  double loud = 0.0;
  if (p.exciterVariant == 0) {
    const double ring = qBase * 2.2 / f0;
    const double pole = familyNoisePole(p.exciterFamily);
    const bool colored = p.exciterFamily >= 0 && p.exciterFamily <= 2;
    double energy = 0.0;
    for (int j = 0; j < body.count; ++j) {
      const double f = modeAt(body.freq, j);
      double h = 1.0;
      if (colored) {
        const double w = kTwoPi * std::min(f, 0.45 * fs) / fs;
        h = (1.0 - pole * pole) / (1.0 - 2.0 * pole * std::cos(w) + pole * pole);
      }
      energy += modeEnergy(f, modeAt(body.amp, j), modeAt(body.q, j), fs, p.selfExcite <= 0.0) * h;
    }
    const double* cal = familyCal(p.exciterFamily);
    loud = std::sqrt(energy) * cal[0] * (0.3 + 0.7 * vel / 127.0) * calibrationCurve(cal, ring);
  } else {
    double energy = 0.0;
    for (int j = 0; j < body.count; ++j)
      energy += modeEnergy(modeAt(body.freq, j), modeAt(body.amp, j), modeAt(body.q, j), fs, true);
    // A resonator's answer to a steady tone grows with the square root of the rate (its poles draw nearer the
    // unit circle while its input gain only falls as a square root); noise, having as much power per sample at
    // every rate, does not. The oscillators are calibrated at 48 kHz.
    loud = 24.253 * std::sqrt(energy) * std::sqrt(fs / kCalibrationRate);
  }
  gainInv = ownGain = loud > 1e-12 ? 1.0 / loud : 0.0;
  velGain = 0.3 * std::pow(std::max(vel, 1) / 127.0, 1.6);

  // 14. Self-excited mode: memory-weighted drive, normalised to its largest weight.
  selfExcited = p.selfExcite > 0.0;
  for (auto& w : driveWeight) w = splat(0.0);
  if (selfExcited) {
    double peak = 0.0;
    for (int j = 0; j < body.count; ++j) {
      const double w = j < traceCount && trace ? std::tanh(trace[j] / 3.0) : 0.0;
      setAt(driveWeight, j, w);
      peak = std::max(peak, w);
    }
    const double div = std::max(1e-9, peak);
    for (int j = 0; j < body.count; ++j) setAt(driveWeight, j, modeAt(driveWeight, j) / div);
    inverseEnergy = 1.0 / std::max(1e-12, loud * loud);
  }
  drivePrev = driveHp = 0.0;
  driveHpPole = std::exp(-kTwoPi * kDriveHighPassHz / fs);

  // 15. Exciter and filter reset.
  noiseEnv = 1.0;
  noiseState = 0.0;
  phase = 0.0;
  driftStart = driftTarget = 0.0;
  driftCounter = 1e9;
  const double decayPerSecond[4] = {1.2, 180.0, 0.9, 6.0};
  const int fam = p.exciterFamily;
  noiseMul = std::exp(-decayPerSecond[(fam >= 0 && fam <= 2) ? fam : 3] / fs);
  bowDecay = 1.0;
  bowMul = std::exp(-12.0 / fs);
  for (double& s : ladder) s = 0.0;
  ladderPrev = 0.0;
  resRelease = resReleaseMul = gate = gateMul = 1.0;
  fadeLength = std::max(1, static_cast<int>(0.002 * fs));
  envInvAttack = 1.0 / std::max(1e-6, p.attackMs / 1000.0);
  envInvDecay = 1.0 / std::max(1e-6, p.decayMs / 1000.0);
  envInvRelease = 1.0 / std::max(1e-6, p.releaseMs / 1000.0);
  chunkB2 = 0.0;
  chunkCount = 0;

  cutoffBase = p.cutoffHz * std::pow(f0 / 261.63, std::clamp(p.keyTrack, 0.0, 1.0));
  ladderDrive = (2.0 * p.inharm + 1.0) * p.drive;
}

void Voice::retune() {
  const bool plainMallet = params.exciterFamily == 1 && params.exciterVariant == 0;
  auto bodyScale = [&](double rho) { return plainMallet ? (1.0 + 0.012 * strikeLevel) * rho : rho; };
  const bool gliding = params.glideMs > 0.0 && currentFreq != f0;
  if (gliding) {
    // Start each ramp exactly where the last one was headed (or where the glide starts), free of drift.
    const double startRho = currentFreq / baseFreq;
    body.retune(body.ramping ? rampBodyScale : bodyScale(startRho), fs);
    for (int k = 0; k < partnerCount; ++k) partnerBanks[k].retune(body.ramping ? rampPartnerScale : startRho, fs);
    const double from = currentFreq;
    const double k = std::exp(-512.0 / (params.glideMs * 0.001 * fs));
    currentFreq = (currentFreq - f0) * k + f0;
    if (std::fabs(currentFreq / f0 - 1.0) < 0.0001) currentFreq = f0;
    const double rho = currentFreq / baseFreq;
    rampBodyScale = bodyScale(rho);
    rampPartnerScale = rho;
    body.rampTo(rampBodyScale, fs, kRetunePeriod);
    for (int p = 0; p < partnerCount; ++p) partnerBanks[p].rampTo(rho, fs, kRetunePeriod);
    oscFreq = from;
    rampFrom = from;
    oscStep = std::pow(currentFreq / from, 1.0 / kRetunePeriod);
  } else {
    const double rho = currentFreq / baseFreq;
    body.retune(bodyScale(rho), fs);
    body.ramping = false;
    for (int k = 0; k < partnerCount; ++k) {
      partnerBanks[k].retune(rho, fs);
      partnerBanks[k].ramping = false;
    }
    oscFreq = currentFreq;
    oscStep = 1.0;
  }
}

double Voice::soundingFreq() const {
  if (!body.ramping || retunePos == 0) return currentFreq;
  return rampFrom * std::pow(currentFreq / rampFrom, static_cast<double>(retunePos) / kRetunePeriod);
}

void Voice::release(double rate, double resonanceMultiplier, double gateMultiplier) {
  // A second release (the cap hurrying a released voice) keeps the release time, so the envelope does not jump.
  if (held) releaseTime = time;
  held = false;
  releaseRate = rate;
  releaseMul = std::exp(-rate / fs);
  resReleaseMul = resonanceMultiplier;
  gateMul = gateMultiplier;
}

void Voice::steal(int samples) {
  fading = true;
  stealTotal = stealLeft = std::max(1, samples);
}

double Voice::envelope(double t) const {
  return envelopeAt(t, params.attackMs / 1000.0, params.decayMs / 1000.0, params.sustain, held ? 1e9 : releaseTime,
                    envInvAttack, envInvDecay, envInvRelease);
}

void Voice::exciterBlock(double* x, int n) {
  const double dtime = 1.0 / fs;
  const int fam = params.exciterFamily;
  if (params.exciterVariant != 0 || fam < 0 || fam > 2) {
    // Grain draws its noise sparsely and the oscillators barely draw any: one sample at a time.
    const double start = time;
    for (int i = 0; i < n; ++i) {
      x[i] = exciterSample();
      if (body.ramping) oscFreq *= oscStep;
      time += dtime;
    }
    time = start;
    return;
  }
  // The filtered-noise families draw one Gaussian per sample. The state lives in locals for the loop (x may
  // point into this voice, so members would be reloaded after every store). The engine runs these four voices
  // at a time (exciteNoise), in the same arithmetic order.
  const double level = 0.3 + 0.7 * velocity / 127.0;
  const double mul = noiseMul;
  noise.gaussBlock(gaussNow, n);
  const double* g = gaussNow;
  double t = time;
  double env = noiseEnv, z = noiseState;
  const NoiseFilter f = kNoiseFilters[fam];
  // Elsewhere than family 2, (1 - 0) x gain is gain exactly.
  double bow = fam == 2 ? bowDecay : 0.0;
  const double bowStep = fam == 2 ? bowMul : 1.0;
  withNoiseShape(time, n, [&](auto shape) {
    for (int i = 0; i < n; ++i) {
      env *= mul;
      z = f.pole * z + f.gain * (1.0 - bow) * env * g[i];
      bow *= bowStep;
      x[i] = level * z * shape(t);
      t += dtime;
    }
  });
  if (fam == 2) bowDecay = bow;
  noiseEnv = env;
  noiseState = z;
}

double Voice::exciterSample() {
  const double t = time;
  double sample;
  if (params.exciterVariant == 0) {
    noiseEnv *= noiseMul;
    switch (params.exciterFamily) {
      case 0:
      case 1:
      case 2: {
        const NoiseFilter& f = kNoiseFilters[params.exciterFamily];
        const double bow = params.exciterFamily == 2 ? bowDecay : 0.0;
        noiseState = f.pole * noiseState + f.gain * (1.0 - bow) * noiseEnv * noise.gauss();
        if (params.exciterFamily == 2) bowDecay *= bowMul;
        break;
      }
      default: {
        const double u = noise.uniform();
        noiseState = u < 0.0038461538461538464 ? noiseEnv * noise.gauss() : 0.0;
        break;
      }
    }
    sample = (0.3 + 0.7 * velocity / 127.0) * noiseState;
  } else {
    const double period = fs / 5.0;
    if (driftCounter >= period) {
      driftStart = driftTarget;
      driftTarget = noise.gauss();
      driftCounter = 0.0;
    }
    const double drift = driftStart + (driftTarget - driftStart) * driftCounter / period;
    driftCounter += 1.0;
    const double dt = (1.0 + 0.0024 * drift) * oscFreq / fs;
    phase += dt;
    phase -= std::floor(phase);
    auto blep = [dt](double ph) {
      if (ph < dt) {
        const double x = ph / dt;
        return 2.0 * x - x * x - 1.0;
      }
      if (ph > 1.0 - dt) {
        const double x = (ph - 1.0) / dt;
        return x * x + 2.0 * x + 1.0;
      }
      return 0.0;
    };
    const double saw = (2.0 * phase - 1.0) - blep(phase);
    if (params.exciterVariant == 1) {
      sample = saw;
    } else {
      double ph2 = phase + 0.5;
      ph2 -= std::floor(ph2);
      sample = (saw - ((2.0 * ph2 - 1.0) - blep(ph2))) / 2.0;
    }
  }
  return sample * envelope(t);
}

}  // namespace vorrel::dsp
