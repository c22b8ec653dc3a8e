// One voice: note-on shaping by the trace, bare and carve, pitch, envelope, and agreement with the plain reference.
#include "NoiseExciters.h"
#include "ReferenceVoice.h"
#include "Voice.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

using namespace vorrel::dsp;

namespace {

constexpr double kFs = 48000.0;

const double* kZero() {
  static const double z[kMaxModes] = {};
  return z;
}

std::unique_ptr<Voice> started(const VoiceParams& p, int note = 60, int vel = 100, const double* trace = kZero(),
                               const Partner* partners = nullptr, int nPartners = 0, double glideFrom = 0) {
  auto v = std::make_unique<Voice>();
  v->setSampleRate(kFs);
  v->noteOn(note, vel, p, modeList(p.body), trace, kMaxModes, partners, nPartners, glideFrom, 42);
  return v;
}

double amp(const Voice& v, int j) { return v.bodyBank().amp[j / 4][j % 4]; }
double qual(const Voice& v, int j) { return v.bodyBank().q[j / 4][j % 4]; }
double freq(const Voice& v, int j) { return v.bodyBank().freq[j / 4][j % 4]; }

// Renders like the engine: retune every 512 samples of the voice's own output.
std::vector<double> renderVoice(Voice& v, int n) {
  std::vector<double> out(static_cast<size_t>(n), 0.0);
  for (int pos = 0; pos < n;) {
    if (v.retunePos == 0) v.retune();
    const int len = std::min(kRetunePeriod - v.retunePos, n - pos);
    v.renderChunk(out.data() + pos, len, nullptr);
    v.retunePos = (v.retunePos + len) % kRetunePeriod;
    pos += len;
  }
  return out;
}

}  // namespace

TEST(Voice, FirstSampleIsSilentAndVelocityGain) {
  VoiceParams p;
  auto v = started(p, 60, 127);
  EXPECT_DOUBLE_EQ(v->velGain, 0.3);
  const auto out = renderVoice(*v, 256);
  EXPECT_EQ(out[0], 0.0);
  EXPECT_NE(out[200], 0.0);
  auto quiet = started(p, 60, 1);
  EXPECT_DOUBLE_EQ(quiet->velGain, 0.3 * std::pow(1.0 / 127.0, 1.6));
}

TEST(Voice, ImprintZeroIgnoresTheTrace) {
  VoiceParams p;
  p.imprint = 0.0;
  double trace[kMaxModes];
  for (int i = 0; i < kMaxModes; ++i) trace[i] = 5.0 + i;
  auto plain = started(p);
  auto traced = started(p, 60, 100, trace);
  ASSERT_EQ(plain->modeCount(), traced->modeCount());
  for (int j = 0; j < plain->modeCount(); ++j) {
    EXPECT_EQ(amp(*plain, j), amp(*traced, j));
    EXPECT_EQ(qual(*plain, j), qual(*traced, j));
  }
}

TEST(Voice, CarveScalesEveryModeWhenTheTraceIsEmpty) {
  VoiceParams p;
  p.carve = 1.0;
  p.imprint = 0.5;
  auto carved = started(p);
  p.carve = 0.0;
  auto plain = started(p);
  const double c = 0.5 * 1.0 * 0.85;
  for (int j = 0; j < plain->modeCount(); ++j) EXPECT_NEAR(amp(*carved, j), amp(*plain, j) * (1 - c), 1e-15);
  EXPECT_NEAR(carved->gainInv * (1 - c), plain->gainInv, 1e-12 * plain->gainInv);  // loudness cancels the scale
}

TEST(Voice, BareLeavesTheFirstModeAndATenthOfTheSecond) {
  VoiceParams p;
  p.bare = 1.0;
  p.imprint = 0.0;
  auto v = started(p);
  EXPECT_DOUBLE_EQ(amp(*v, 0), 1.0);
  EXPECT_DOUBLE_EQ(amp(*v, 1), 0.1);
  for (int j = 2; j < v->modeCount(); ++j) EXPECT_EQ(amp(*v, j), 0.0);
  p.body = 2;  // Bell: the first mode an octave below the note
  auto bell = started(p, 69);
  EXPECT_NEAR(freq(*bell, 0), 220.0 * (1 + 0.12 * 0.055 / 40), 1e-9);
}

TEST(Voice, TineKeepsFortyModesLowAndDropsThemHigh) {
  VoiceParams p;
  p.body = 10;
  p.inharm = 0.0;
  auto low = started(p, 20);
  const double f0 = 440.0 * std::pow(2.0, (20 - 69) / 12.0);
  int expected = 0;
  for (double r : modeList(10)) expected += r * f0 < 0.45 * kFs;
  EXPECT_GT(expected, 6);  // the 6 raw ratios were extended to 40 first
  EXPECT_EQ(low->modeCount(), expected);
  auto mid = started(p, 30);
  for (int j = 0; j < mid->modeCount(); ++j) EXPECT_LT(freq(*mid, j), 0.45 * kFs);
  auto high = started(p, 100);
  EXPECT_EQ(high->modeCount(), 2);  // 2637 Hz and 16.5 kHz; the third mode would pass 21.6 kHz
}

TEST(Voice, GlideReachesTheTargetAndSnaps) {
  VoiceParams p;
  p.glideMs = 50.0;
  p.exciterFamily = 1;
  p.exciterVariant = 1;
  auto v = started(p, 72, 100, kZero(), nullptr, 0, 261.6255653005986);
  renderVoice(*v, 48000);
  auto plain = started(p, 72);
  v->retune();
  plain->retune();
  EXPECT_EQ(v->bodyBank().a1[0][0], plain->bodyBank().a1[0][0]);  // snapped exactly onto the target
}

TEST(Voice, ReleaseDuringAttackStartsFromTheSustainLevel) {
  VoiceParams p;
  p.exciterFamily = 1;
  p.exciterVariant = 1;  // saw: a steady signal the envelope scales
  p.attackMs = 1000.0;
  p.sustain = 0.5;
  p.releaseMs = 8000.0;
  auto v = started(p);
  double before = 0.0;
  int i = 0;
  for (; i < 4800; ++i) {
    v->time = i / kFs;
    before = std::max(before, std::fabs(v->exciterSample()) * (i > 4000));
  }
  v->release(0.5, 1.0, 1.0);
  double after = 0.0;
  for (; i < 5200; ++i) {
    v->time = i / kFs;
    after = std::max(after, std::fabs(v->exciterSample()));
  }
  EXPECT_LT(before, 0.11);  // envelope near t / a = 0.1
  EXPECT_GT(after, 0.45);   // the release curve starts at the sustain level 0.5
  EXPECT_LE(after, 0.5001 * 1.01);
}

TEST(Voice, LoudnessOfEveryBodyAndFamilyLandsInABand) {
  // RMS over the first second at velocity 127, note 60. Bands measured on this build.
  const int fams[6][2] = {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {1, 1}, {1, 2}};
  const double lo[6] = {0.045, 0.010, 0.055, 0.015, 0.10, 0.10};
  const double hi[6] = {0.11, 0.018, 0.11, 0.045, 0.26, 0.26};
  for (int b = 0; b < kNumBodies; ++b) {
    for (int f = 0; f < 6; ++f) {
      VoiceParams p;
      p.body = b;
      p.exciterFamily = fams[f][0];
      p.exciterVariant = fams[f][1];
      auto v = started(p, 60, 127);
      const auto out = renderVoice(*v, 48000);
      double sum = 0.0;
      for (double x : out) sum += x * x;
      const double rms = std::sqrt(sum / out.size());
      EXPECT_GE(rms, lo[f]) << bodies()[b].name << " family " << f;
      EXPECT_LE(rms, hi[f]) << bodies()[b].name << " family " << f;
    }
  }
}

TEST(Voice, ModeEnergyWithTheZeroIsTheImpulseResponseEnergy) {
  // The recurrence acts b1 two samples back; summing its impulse response squared gives the expression exactly.
  for (double f : {110.0, 1000.0, 7000.0}) {
    for (double q : {20.0, 300.0}) {
      vref::Mode m;
      m.f = f;
      m.amp = 0.7;
      m.q = q;
      vref::coeffs(m, 1.0, kFs);
      double e = 0.0;
      for (int i = 0; i < 2000000; ++i) {
        const double y = vref::resonate(m, i == 0 ? 1.0 : 0.0);
        e += y * y;
      }
      EXPECT_NEAR(modeEnergy(f, 0.7, q, kFs, true), e, 1e-9 * e) << f << " " << q;
    }
  }
}

namespace {

struct Case {
  int body, family, variant, oversampling;
  double selfExcite, glide, sympathy;
};

}  // namespace

TEST(Voice, MatchesThePlainReference) {
  const Case cases[] = {
      {0, 2, 0, 1, 0, 0, 0.25}, {1, 1, 0, 4, 0, 0, 0.6}, {2, 0, 0, 8, 0, 0, 1.0},    {4, 3, 0, 1, 0, 0, 0.3},
      {7, 1, 1, 4, 0, 30, 0.5}, {9, 1, 2, 8, 0, 0, 0.0}, {10, 2, 0, 1, 0.8, 0, 0.4}, {3, 0, 0, 4, 0.3, 0, 0.9},
  };
  double trace[kMaxModes];
  for (int i = 0; i < kMaxModes; ++i) trace[i] = 1.5 + std::sin(0.9 * i);
  const Partner partners[3] = {{7, 0.5}, {4, 0.3}, {12 - 3, 0.2}};
  for (const Case& c : cases) {
    VoiceParams p;
    p.body = c.body;
    p.exciterFamily = c.family;
    p.exciterVariant = c.variant;
    p.oversampling = c.oversampling;
    p.selfExcite = c.selfExcite;
    p.glideMs = c.glide;
    p.sympathy = c.sympathy;
    p.resonance = 1.2;
    p.lfoRateHz = 3.0;
    p.lfoAmtOct = 1.0;
    p.releaseMs = 300.0;
    auto fast = started(p, 55, 110, trace, partners, 3, 200.0);
    vref::Voice ref;
    ref.fs = kFs;
    ref.noteOn(55, 110, p, trace, partners, 3, 200.0, 42);
    ASSERT_NEAR(fast->gainInv, ref.gainInv, 1e-12 * ref.gainInv);
    std::vector<double> a = renderVoice(*fast, 3000);
    std::vector<double> b(3000, 0.0);
    ref.render(b.data(), 3000);
    // Release halfway through a second stretch, as the engine's note-off would.
    fast->release(5.0, std::exp(-5.0 / kFs), std::exp(-30.0 / kFs));
    ref.release(5.0);
    const auto a2 = renderVoice(*fast, 2000);
    std::vector<double> b2(2000, 0.0);
    ref.render(b2.data(), 2000);
    a.insert(a.end(), a2.begin(), a2.end());
    b.insert(b.end(), b2.begin(), b2.end());
    double peak = 0.0, err = 0.0;
    for (size_t i = 0; i < a.size(); ++i) {
      peak = std::max(peak, std::fabs(b[i]));
      err = std::max(err, std::fabs(a[i] - b[i]));
    }
    ASSERT_GT(peak, 0.0);
    // The ladder's exp, tanh and tan are good to 1e-9; its resonant feedback carries that error along for thousands
    // of samples, which grows it to a few 1e-7 of the peak.
    EXPECT_LT(err / peak, 1e-6) << "body " << c.body << " family " << c.family << " variant " << c.variant << " x"
                                << c.oversampling;
  }
}

TEST(Voice, GlideSweepsInStepsOfAFewCents) {
  VoiceParams p;
  p.glideMs = 50.0;
  p.exciterFamily = 1;
  p.exciterVariant = 1;
  const double from = 440.0 * std::pow(2.0, (48 - 69) / 12.0);  // two octaves below
  auto v = started(p, 72, 100, kZero(), nullptr, 0, from);
  auto cents = [&] {
    const double r = std::sqrt(v->bodyBank().a2[0][0]);
    const double w = std::acos(-v->bodyBank().a1[0][0] / (2.0 * r));
    return 1200.0 * std::log2(w * kFs / (2.0 * M_PI));
  };
  double out[1] = {};
  double last = 0.0, worst = 0.0;
  for (int i = 0; i < 24000; ++i) {
    if (v->retunePos == 0) v->retune();
    if (i > 0) worst = std::max(worst, std::fabs(cents() - last));
    last = cents();
    v->renderChunk(out, 1, nullptr);
    v->retunePos = (v->retunePos + 1) % kRetunePeriod;
  }
  EXPECT_LT(worst, 10.0);
  auto plain = started(p, 72);
  plain->retune();
  EXPECT_NEAR(cents(), 1200.0 * std::log2(freq(*plain, 0)), 0.2);  // arrived
}

TEST(Voice, SelfExcitationNeverSettlesOnDc) {
  // Every body with grain and saw excitation, low notes, a trace on every mode or on the lowest ones.
  double everywhere[kMaxModes], low[kMaxModes] = {};
  for (int i = 0; i < kMaxModes; ++i) everywhere[i] = 3.0;
  for (int i = 0; i < 4; ++i) low[i] = 6.0;
  const int fams[2][2] = {{3, 0}, {1, 1}};
  for (int b = 0; b < kNumBodies; ++b)
    for (const auto& f : fams)
      for (int note : {24, 40})
        for (const double* trace : {everywhere, low}) {
          VoiceParams p;
          p.body = b;
          p.exciterFamily = f[0];
          p.exciterVariant = f[1];
          p.selfExcite = 0.15;
          p.bodyDecay = 150.0;
          p.imprint = 1.0;
          auto v = started(p, note, 127, trace);
          const auto out = renderVoice(*v, 36000);
          double mean = 0.0, square = 0.0;
          for (size_t i = 24000; i < out.size(); ++i) {
            mean += out[i] / 12000.0;
            square += out[i] * out[i] / 12000.0;
          }
          // A latched note is all offset (mean = RMS); the saw's own offset is about a tenth of its RMS.
          EXPECT_LT(std::fabs(mean), 0.25 * std::sqrt(square))
              << bodies()[b].name << " " << f[0] << "/" << f[1] << " " << note;
        }
}

TEST(Voice, FastFunctionsKeepTheirStatedBounds) {
  double worstTanh = 0, worstExp = 0, worstTan = 0;
  for (int i = -200000; i <= 200000; ++i) {
    const double x = i * 1.25e-4 * (1 + (i % 7) * 1e-3);  // -25..25, off the grid
    const double tiny = x * 1e-6;
    const v4d t = vtanh(v4d{x, tiny, -x, x * 0.01});
    worstTanh = std::max(
        {worstTanh, std::fabs(t[0] / std::tanh(x) - 1) * (x != 0), std::fabs(t[1] / std::tanh(tiny) - 1) * (x != 0)});
    const v4d e = vexp(v4d{x * 28, -x * 28, x, 0});
    worstExp = std::max({worstExp, std::fabs(e[0] / std::exp(x * 28) - 1), std::fabs(e[1] / std::exp(-x * 28) - 1)});
    const double a = std::fabs(x) * 0.03;  // 0..0.75
    if (a > 0) worstTan = std::max(worstTan, std::fabs(vtanSmall(splat(a))[0] / std::tan(a) - 1));
  }
  EXPECT_LT(worstTanh, 1e-9);
  EXPECT_LT(worstExp, 1e-9);
  EXPECT_LT(worstTan, 1e-11);
  // Gaussian noise by the slice: the same sequence as one draw at a time, across odd slice lengths.
  NoiseSource one, many;
  one.seed(7);
  many.seed(7);
  double block[37], worstGauss = 0;
  for (int round = 0; round < 400; ++round) {
    const int n = 1 + round % 37;
    many.gaussBlock(block, n);
    for (int i = 0; i < n; ++i) worstGauss = std::max(worstGauss, std::fabs(block[i] - one.gauss()));
  }
  EXPECT_LT(worstGauss, 1e-11);
}

// The engine runs the noise exciters four voices per vector: every lane, the spare lanes of a short group and
// every envelope stage (attack, decay line, sustain, release) must give exactly the one-voice path's bits.
TEST(Voice, BatchedNoiseExcitersMatchTheOneVoicePathBitForBit) {
  constexpr int kVoices = 7;  // a full group and a group of three
  std::unique_ptr<Voice> one[kVoices], many[kVoices];
  for (int k = 0; k < kVoices; ++k) {
    VoiceParams p;
    p.exciterFamily = k % 3;
    p.attackMs = 3.0 + 11.0 * k;
    p.decayMs = 20.0 + 30.0 * k;
    p.sustain = 0.15 * k;
    p.releaseMs = 40.0 + 25.0 * k;
    one[k] = started(p, 48 + k, 20 + 15 * k);
    many[k] = started(p, 48 + k, 20 + 15 * k);
  }
  const int sizes[] = {1, 37, 512, 300, 5, 511, 128, 2, 512, 97, 512, 512, 64, 333};
  int slice = 0;
  for (int round = 0; round < 6; ++round)
    for (int n : sizes) {
      ++slice;
      // One voice alone in its group now and then, otherwise all seven.
      const int count = slice % 5 == 0 ? 1 : kVoices;
      Voice* batch[kVoices];
      double* out[kVoices];
      for (int k = 0; k < count; ++k) {
        batch[k] = many[k].get();
        out[k] = many[k]->excite;
      }
      exciteNoise(batch, out, count, n);
      for (int k = 0; k < count; ++k) {
        double alone[kSliceFrames];
        one[k]->exciterBlock(alone, n);
        ASSERT_EQ(std::memcmp(alone, many[k]->excite, sizeof(double) * static_cast<size_t>(n)), 0)
            << "voice " << k << " slice " << slice;
        for (Voice* v : {one[k].get(), many[k].get()})
          for (int i = 0; i < n; ++i) v->time += 1.0 / kFs;
      }
      if (round == 3 && n == 128)
        for (int k = 0; k < kVoices; k += 2)
          for (Voice* v : {one[k].get(), many[k].get()}) v->release(8.0, 1.0, 1.0);
    }
}
