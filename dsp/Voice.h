// One sounding note: exciter and envelope into a body of up to 40 resonators with three partner banks, then the ladder.
#pragma once

#include "Bodies.h"
#include "Envelope.h"
#include "Random.h"
#include "Simd.h"
#include "VoiceParams.h"

#include <cstdint>
#include <vector>

namespace vorrel::dsp {

constexpr int kModeSlots = 48;  // 40 modes padded to whole vectors of up to 8 lanes
constexpr int kModeVecs = kModeSlots / 4;
constexpr int kMaxPartners = 3;
constexpr int kRetunePeriod = 512;  // samples of a voice's own output between coefficient updates
constexpr int kSliceFrames = 512;   // longest piece rendered in one pass

// One resonator bank as structure of arrays, so the per-sample loop runs across modes in vectors.
struct ModeBank {
  v4d freq[kModeVecs];  // Hz at the base frequency
  v4d amp[kModeVecs];
  v4d q[kModeVecs];
  v4d b0[kModeVecs], b1[kModeVecs], a1[kModeVecs], a2[kModeVecs];
  v4d s1[kModeVecs], s2[kModeVecs];
  // Per-sample coefficient steps while ramping.
  v4d db0[kModeVecs], db1[kModeVecs], da1[kModeVecs], da2[kModeVecs];
  int count = 0;  // modes stored; slots past it hold zeros
  int vecs = 0;   // vectors up to the last mode with any amplitude
  bool ramping = false;

  void clear();
  void setMode(int j, double frequency, double amplitude, double quality);
  // Coefficients for the frequency scale and sample rate; a mode's ring time follows Q / frequency.
  void retune(double scale, double fs);
  // Coefficients move in equal steps from their present values to those of the scale over period samples,
  // so a glide sweeps smoothly instead of jumping at each retune.
  void rampTo(double scale, double fs, int period);
  void step();
};

// The filtered-noise families' one-pole filter per sample: z = pole z + gain (1 - bow) env g, where the bow's
// onset (1 - exp(-12 t)) belongs to family 2 only; indexed by family 0..2.
struct NoiseFilter {
  double pole, gain;
};
constexpr NoiseFilter kNoiseFilters[3] = {{0.92, 0.08}, {0.7, 0.3}, {0.95, 0.05}};

class Voice {
 public:
  Voice();
  Voice(const Voice&) = delete;
  Voice& operator=(const Voice&) = delete;

  void setSampleRate(double rate) { fs = rate; }
  void noteOn(int note, int velocity, const VoiceParams& p, const std::vector<double>& modes, const double* trace,
              int traceCount, const Partner* partners, int partnerCount, double glideFrom, uint64_t seed);
  void retune();
  // The pitch the voice sounds now, Hz: during a glide, where the present 512-sample sweep has got to.
  double soundingFreq() const;
  // Adds n samples (n <= 512, not crossing a retune boundary) to out, and rescaled to own loudness to out2; the
  // strike level moves on when the chunk completes a 512-sample frame.
  void renderChunk(double* out, int n, double* out2);

  // The engine's batched path: pre-ladder pieces into the slice buffers, then the ladder for many voices
  // at once (runLadders), then renderPost adds the results.
  void renderPre(int first, int n);
  void endChunk();  // the strike level follows the body's RMS once per chunk
  void renderPost(double* out, int n, double* out2);

  // Starts the release: held off, release time now, and the three decay rates.
  void release(double rate, double resonanceMultiplier, double gateMultiplier);
  // Hands the voice over to a new note: its output falls linearly to zero over the given samples, then it ends.
  void steal(int samples);
  bool stealDone() const { return stealTotal > 0 && stealLeft == 0; }
  bool stealing() const { return stealTotal > 0; }
  // How loud a fading voice still is, 0..1: what is left of the steal fade, else the release gain.
  double fadeLevel() const { return stealTotal > 0 ? static_cast<double>(stealLeft) / stealTotal : releaseGain; }

  double exciterSample();
  // The next n exciter samples from the voice's present time on, without advancing it.
  void exciterBlock(double* x, int n);
  // A filtered-noise exciter, which the engine runs for many voices at once (exciteNoise) before the pieces.
  bool noiseExcited() const {
    return params.exciterVariant == 0 && params.exciterFamily >= 0 && params.exciterFamily <= 2;
  }
  // Audio thread: excite[] already holds the whole slice, so renderPre only reads it. Set by the engine
  // after exciteNoise and cleared when the slice is done.
  bool excitedAhead = false;

  // Engine-visible state, audio thread only.
  bool active = false;
  bool held = false;
  int note = -1;
  int velocity = 1;
  double time = 0.0;  // seconds since note-on
  double releaseTime = -1.0;
  double releaseRate = 0.0;  // 1/s
  int silentCount = 0;
  int retunePos = 0;
  double gainInv = 0.0;
  double velGain = 0.0;
  double ownGain = 0.0;
  // Being faded out because it was stolen or capped: it no longer counts toward the voice limit.
  bool fading = false;

  // Read by the ladder pass.
  VoiceParams params;
  double fs = 48000.0;
  double f0 = 440.0;
  double cutoffBase = 0.0;        // cutoffHz x key tracking, fixed per note
  double ladderDrive = 0.0;       // (2 inharm + 1) x drive
  double ladder[4] = {};          // stage states
  double ladderPrev = 0.0;        // previous input sample
  double xin[kSliceFrames];       // ladder input per sample of the slice
  double kAt[kSliceFrames];       // resonance per sample (lowered after release)
  double tAt[kSliceFrames];       // note time per sample
  double yOut[kSliceFrames];      // ladder output
  double excite[kSliceFrames];    // exciter samples of the slice
  double gaussNow[kSliceFrames];  // the noise they are made of

  int modeCount() const { return body.count; }
  const ModeBank& bodyBank() const { return body; }

 private:
  friend void exciteNoise(Voice* const* voices, double* const* out, int count, int n);

  double envelope(double t) const;
  // Calls body(shape) with the exciter's envelope shape for a slice of n samples from note time t0: the
  // stage tests are made once per slice, and while held the release branch (and its exp) is left out.
  template <class Body>
  [[gnu::always_inline]] void withNoiseShape(double t0, int n, Body body) const {
    const double a = params.attackMs / 1000.0, d = params.decayMs / 1000.0, s = params.sustain;
    const double r = releaseTime;
    const double invA = envInvAttack, invD = envInvDecay, invR = envInvRelease;
    const double decayEnd = a + d;
    if (held && t0 >= decayEnd) {
      const double sustain = unitClamp(s);
      body([sustain](double) { return sustain; });
    } else if (held && t0 >= a && t0 + (n + 1) * (1.0 / fs) < decayEnd) {
      // The whole slice in the decay: the same line as envelopeAt draws there, without its tests.
      const double drop = s - 1.0;
      body([a, drop, invD](double tt) { return unitClamp(1.0 + (tt - a) * drop * invD); });
    } else if (held) {
      body([=](double tt) { return envelopeAt(tt, a, d, s, 1e9, invA, invD, invR, false); });
    } else {
      body([=](double tt) { return envelopeAt(tt, a, d, s, r, invA, invD, invR, true); });
    }
  }

  double envInvAttack = 0.0, envInvDecay = 0.0, envInvRelease = 0.0;  // 1 / stage length in seconds

  double currentFreq = 440.0;
  double baseFreq = 440.0;
  double oscFreq = 440.0;                              // the oscillator's pitch, swept per sample while a glide ramps
  double oscStep = 1.0;                                // its per-sample ratio during the ramp
  double rampFrom = 440.0;                             // the pitch the running sweep started from
  double rampBodyScale = 1.0, rampPartnerScale = 1.0;  // where the running ramp ends
  ModeBank body;
  ModeBank partnerBanks[kMaxPartners];
  double partnerGain[kMaxPartners] = {};
  int partnerCount = 0;
  double strikeLevel = 0.0;

  double partnerNorm = 0.0;
  double sympathyLimit = 0.0;
  double bodyFollow = 0.0, partnerFollow = 0.0, slowFollow = 0.0, duck = 1.0;
  double c10 = 0.0, c100 = 0.0, c300 = 0.0, c500 = 0.0;

  bool selfExcited = false;
  v4d driveWeight[kModeVecs];
  double inverseEnergy = 0.0;
  // The self-excitation drive is always positive; a high-pass keeps its DC from latching modes onto an offset.
  double drivePrev = 0.0, driveHp = 0.0, driveHpPole = 0.0;

  double releaseGain = 1.0;
  double releaseMul = 1.0;  // exp(-release rate / fs), fixed at release
  int fadeLength = 1;

  NoiseSource noise;
  double noiseEnv = 1.0, noiseState = 0.0, noiseMul = 1.0;
  double bowDecay = 1.0, bowMul = 1.0;  // exp(-12 t) of the bow's onset, run as a product
  double phase = 0.0, driftStart = 0.0, driftTarget = 0.0;
  double driftCounter = 1e9;

  double resRelease = 1.0, resReleaseMul = 1.0;
  double gate = 1.0, gateMul = 1.0;

  double chunkB2 = 0.0;  // sum of B^2 over the current chunk
  int chunkCount = 0;

  int stealLeft = 0, stealTotal = 0;  // samples of the steal fade left, and its length (0 = none)
};

// The bare resonator recurrence of one bank over n input samples, returning the summed output; for benchmarks.
double resonatorKernel(ModeBank& bank, const double* x, int n);

// Mode energy of one resonator: with the zero (b1) as the calibration uses it, or all-pole.
double modeEnergy(double frequency, double amplitude, double quality, double fs, bool withZero);

}  // namespace vorrel::dsp
