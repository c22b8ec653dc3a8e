// Voice allocation, the cap, partners from traces, twins and the three outputs of the engine.
#include "Engine.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

using namespace vorrel::dsp;

namespace {

constexpr double kFs = 48000.0;

struct Rig {
  std::unique_ptr<VorrelEngine> e = std::make_unique<VorrelEngine>();
  std::vector<double> buf = std::vector<double>(6 * 512, 0.0);
  Rig() { e->prepare(kFs); }
  void block(int limit = 16, bool pairA = false, bool pairB = false, int n = 512) {
    double* b = buf.data();
    e->process(b, b + 512, n, limit, 340, 0.0, 0.5, 0.0, 0.0, pairA ? b + 1024 : nullptr, pairA ? b + 1536 : nullptr,
               pairB ? b + 2048 : nullptr, pairB ? b + 2560 : nullptr);
  }
  int held() const {
    int n = 0;
    for (int i = 0; i < kVoiceSlots; ++i) n += e->voice(i).active && e->voice(i).held && !e->voice(i).fading;
    return n;
  }
  // Voices that count toward the limit, and all that sound.
  int counted() const {
    int n = 0;
    for (int i = 0; i < kVoiceSlots; ++i) n += e->voice(i).active && !e->voice(i).fading;
    return n;
  }
  int sounding() const {
    int n = 0;
    for (int i = 0; i < kVoiceSlots; ++i) n += e->voice(i).active;
    return n;
  }
};

// Largest sample-to-sample step of a signal.
double largestJump(const std::vector<double>& x) {
  double m = 0.0;
  for (size_t i = 1; i < x.size(); ++i) m = std::max(m, std::fabs(x[i] - x[i - 1]));
  return m;
}

}  // namespace

TEST(Engine, VoiceLimitOneStealsAtOnce) {
  Rig r;
  VoiceParams p;
  r.e->noteOn(60, 100, p, 1);
  r.block(1);
  r.e->noteOn(64, 100, p, 1);
  EXPECT_EQ(r.counted(), 1);
  EXPECT_TRUE(r.e->voice(0).fading);  // the stolen note fades out in its own slot
  EXPECT_EQ(r.e->voice(1).note, 64);
  r.block(1);
  EXPECT_EQ(r.sounding(), 1);  // a few milliseconds later it is gone
}

TEST(Engine, MonoStaysMonoAndStealsWithoutClicks) {
  VoiceParams p;
  p.exciterFamily = 1;
  p.exciterVariant = 1;  // saw
  p.sustain = 1.0;
  const int notes[6] = {48, 55, 52, 60, 57, 50};
  // Six staccato notes with the damper fully on, 2560 samples apart.
  Rig r;
  std::vector<double> out;
  for (int n : notes) {
    r.e->noteOn(n, 100, p, 1);
    for (int b = 0; b < 5; ++b) {
      if (b == 3) r.e->noteOff(n, 1.0);
      r.block(1);
      out.insert(out.end(), r.buf.begin(), r.buf.begin() + 512);
      EXPECT_LE(r.counted(), 1);
      EXPECT_LE(r.sounding(), 2);
    }
  }
  // Every note alone, for the steps the notes themselves make.
  double own = 0.0;
  for (int n : notes) {
    Rig alone;
    alone.e->noteOn(n, 100, p, 1);
    std::vector<double> one;
    for (int b = 0; b < 5; ++b) {
      if (b == 3) alone.e->noteOff(n, 1.0);
      alone.block(1);
      one.insert(one.end(), alone.buf.begin(), alone.buf.begin() + 512);
    }
    own = std::max(own, largestJump(one));
  }
  EXPECT_LE(largestJump(out), 1.05 * own);
  // After all-notes-off the released voices still sound, so they still count.
  Rig q;
  for (int k = 0; k < 8; ++k) q.e->noteOn(60 + k, 100, p, 8);
  q.e->releaseAllHeld();
  for (int k = 0; k < 8; ++k) q.e->noteOn(40 + k, 100, p, 8);
  EXPECT_EQ(q.counted(), 8);
}

TEST(Engine, AGlideStartsFromTheSoundingPitch) {
  VoiceParams p;
  p.exciterFamily = 1;
  p.exciterVariant = 1;
  p.glideMs = 800;
  Rig r;
  auto heldVoice = [&r] {
    for (int i = 0; i < kVoiceSlots; ++i)
      if (r.e->voice(i).active && r.e->voice(i).held && !r.e->voice(i).fading) return &r.e->voice(i);
    return static_cast<const Voice*>(nullptr);
  };
  r.e->noteOn(45, 100, p, 1);
  r.block(1);
  r.e->noteOn(57, 100, p, 1);
  for (int b = 0; b < 10; ++b) r.block(1, false, false, 300);  // ends inside a 512-sample sweep
  const double before = heldVoice()->soundingFreq();
  EXPECT_GT(before, 115.0);
  EXPECT_LT(before, 150.0);  // still far from 220 Hz
  r.e->noteOn(50, 100, p, 1);
  double f = heldVoice()->soundingFreq();
  EXPECT_NEAR(f, before, 1e-9 * before);
  const double target = 440.0 * std::pow(2.0, (50 - 69) / 12.0);
  // From there it glides to the new note, never overshooting, a few cents per block (not the 700 of a jump).
  for (int b = 0; b < 800; ++b) {
    r.block(1);
    const double g = heldVoice()->soundingFreq();
    EXPECT_LE(std::fabs(1200.0 * std::log2(g / f)), 8.0);
    EXPECT_LE(std::fabs(g - target), std::fabs(f - target) + 1e-12);
    f = g;
  }
  EXPECT_EQ(f, target);
}

TEST(Engine, LoweringTheLimitReleasesExactlyTheOldestAndNoMore) {
  Rig r;
  VoiceParams p;
  for (int k = 0; k < 6; ++k) {
    r.e->noteOn(60 + k, 100, p, 8);
    r.block(8);
  }
  ASSERT_EQ(r.held(), 6);
  r.block(4);
  EXPECT_EQ(r.held(), 4);
  EXPECT_FALSE(r.e->voice(0).held);
  EXPECT_FALSE(r.e->voice(1).held);
  EXPECT_EQ(r.e->voice(0).releaseRate, 40.0);
  for (int i = 0; i < 30; ++i) r.block(4);
  EXPECT_EQ(r.held(), 4);  // fading voices no longer count, so nothing cascades
  for (int i = 2; i < 6; ++i) EXPECT_TRUE(r.e->voice(i).held) << i;
}

TEST(Engine, StealingPrefersTheOldestReleasedVoice) {
  Rig r;
  VoiceParams p;
  for (int k = 0; k < 4; ++k) {
    r.e->noteOn(50 + k, 100, p, 4);
    r.block(4);
  }
  r.e->noteOff(52, 0.0);
  r.e->noteOff(53, 0.0);
  r.e->noteOn(70, 100, p, 4);
  EXPECT_TRUE(r.e->voice(2).fading);  // 52 is older than 53 and both are older than nothing held
  EXPECT_FALSE(r.e->voice(3).fading);
  EXPECT_EQ(r.e->voice(4).note, 70);
  EXPECT_TRUE(r.e->voice(0).held);
}

TEST(Engine, NoteOffReleasesWithTheDamperRate) {
  Rig r;
  VoiceParams p;
  r.e->noteOn(60, 100, p, 8);
  r.e->noteOn(60, 100, p, 8);  // no retrigger: a second voice
  r.e->noteOff(60, 0.5);
  EXPECT_NEAR(r.e->voice(0).releaseRate, 0.5 * std::sqrt(80.0), 1e-12);
  EXPECT_FALSE(r.e->voice(1).held);
  r.e->noteOn(61, 100, p, 8);
  r.e->releaseAllHeld();
  EXPECT_EQ(r.e->voice(2).releaseRate, 40.0);
}

TEST(Engine, PartnersFromHandMadeTraces) {
  VorrelEngine e;
  e.prepare(kFs);
  Partner out[3];
  const double zero[kMaxModes] = {};
  EXPECT_EQ(partnersInto(zero, e.modePitch(0), e.modePitchCount(0), out, 3), 0);
  // String: mode 2 (ratio 3) sits a fifth up in the octave, 7.02 semitones.
  double fifth[kMaxModes] = {};
  fifth[2] = 4.0;
  const int n = partnersInto(fifth, e.modePitch(0), e.modePitchCount(0), out, 3);
  ASSERT_GE(n, 1);
  EXPECT_EQ(out[0].semitones, 7);
  double sum = 0;
  for (int i = 0; i < n; ++i) sum += out[i].weight;
  EXPECT_NEAR(sum, 1.0, 1e-12);
  EXPECT_EQ(partnersInto(fifth, e.modePitch(0), 0, out, 3), 0);
}

TEST(Engine, ARefreshedListOnlyAdmitsNewIntervalsWithWeight) {
  Rig r;
  VoiceParams p;
  r.e->trace[2] = 4.0;  // a fifth
  r.e->traceStamp = 1;
  r.e->refreshPartners(0);
  const int first = r.e->partnerCount();
  ASSERT_GT(first, 0);
  EXPECT_EQ(r.e->partner(0).semitones, 7);
  // Now mostly a major third (mode 4, ratio 5 = 3.86 semitones) with a trace of the fifth.
  r.e->trace[2] = 0.01;
  r.e->trace[4] = 4.0;
  r.e->traceStamp = 2;
  r.e->refreshPartners(0);
  Partner cand[3];
  const int nc = partnersInto(r.e->trace.data(), r.e->modePitch(0), r.e->modePitchCount(0), cand, 3);
  int expected = 0;
  for (int c = 0; c < nc; ++c) {
    bool known = cand[c].semitones == 7;
    if (known || cand[c].weight > 0.05) ++expected;
  }
  EXPECT_EQ(r.e->partnerCount(), expected);
  for (int i = 0; i < r.e->partnerCount(); ++i) {
    const Partner& q = r.e->partner(i);
    EXPECT_TRUE(q.semitones == 7 || q.weight > 0.05);
  }
}

TEST(Engine, TwinsDrawTheSameNoiseAndRenderOnlyWithPairs) {
  Rig r;
  VoiceParams p;
  p.imprint = 0.0;  // with no memory the twin is the voice itself
  p.sympathy = 0.0;
  r.e->setBareEnabled(true);
  r.e->noteOn(60, 100, p, 8);
  r.block(8, false, false);
  EXPECT_EQ(r.e->twin(0).time, 0.0);  // both pairs null: twins never render
  r.block(8, true, true);
  const double* mainL = r.buf.data();
  const double* aL = r.buf.data() + 1024;
  const double* bL = r.buf.data() + 2048;
  double diff = 0, peak = 0;
  Rig s;
  s.e->setBareEnabled(true);
  s.e->noteOn(60, 100, p, 8);
  s.block(8, true, true);
  s.block(8, true, true);
  for (int i = 0; i < 512; ++i) {
    peak = std::max(peak, std::fabs(s.buf[static_cast<size_t>(i)]));
    diff = std::max(diff, std::fabs(s.buf[static_cast<size_t>(i)] - s.buf[1024 + static_cast<size_t>(i)]));
  }
  EXPECT_GT(peak, 0.0);
  EXPECT_LT(diff, 1e-12 * peak);  // same seed, same noise: the twin is the voice
  (void)mainL;
  (void)aL;
  (void)bL;
}

TEST(Engine, PairBIsTheTwinBankAtItsOwnLoudness) {
  Rig r;
  VoiceParams p;
  p.imprint = 0.9;
  for (int i = 0; i < kMaxModes; ++i) r.e->trace[static_cast<size_t>(i)] = i % 3 == 0 ? 4.0 : 0.0;
  r.e->traceStamp = 5;
  r.e->setBareEnabled(true);
  r.e->noteOn(57, 100, p, 8);
  const Voice& v = r.e->voice(0);
  const Voice& t = r.e->twin(0);
  EXPECT_EQ(t.gainInv, v.gainInv);
  EXPECT_EQ(t.velGain, v.velGain);
  EXPECT_NE(t.ownGain, v.ownGain);
  r.block(8, true, true);
  const double rho = t.ownGain / t.gainInv;
  double err = 0, peak = 0;
  // Pair A and B went through identical chains, so B / A is the gain ratio sample by sample.
  for (int i = 100; i < 512; ++i) {
    const double a = r.buf[1024 + static_cast<size_t>(i)];
    const double b = r.buf[2048 + static_cast<size_t>(i)];
    peak = std::max(peak, std::fabs(b));
    err = std::max(err, std::fabs(b - a * rho));
  }
  EXPECT_GT(peak, 0.0);
  EXPECT_LT(err, 1e-9 * peak);
}

TEST(Engine, SilentReleasedVoicesBecomeInactive) {
  Rig r;
  VoiceParams p;
  p.releaseMs = 20.0;
  r.e->noteOn(60, 100, p, 8);
  r.block();
  r.e->noteOff(60, 1.0);
  for (int i = 0; i < 200 && r.e->voice(0).active; ++i) r.block();
  EXPECT_FALSE(r.e->voice(0).active);
}

TEST(Engine, OutputIsFiniteAtOddRatesAndSizes) {
  for (double rate : {8000.0, 44100.0, 96000.0, 192000.0}) {
    auto e = std::make_unique<VorrelEngine>();
    e->prepare(rate);
    VoiceParams p;
    p.resonance = 1.5;
    p.oversampling = 4;
    std::vector<double> l(1000), rr(1000), al(1000), ar(1000), bl(1000), br(1000);
    e->setBareEnabled(true);
    for (int k = 0; k < 5; ++k) e->noteOn(30 + 15 * k, 127, p, 16);
    for (int n : {1, 7, 333, 1000, 512}) {
      e->process(l.data(), rr.data(), n, 16, 1500, 1, 1, 1, 12, al.data(), ar.data(), bl.data(), br.data());
      for (int i = 0; i < n; ++i) ASSERT_TRUE(std::isfinite(l[i]) && std::isfinite(bl[i])) << rate << " " << n;
    }
  }
}

TEST(Engine, OutputsCarryNoDc) {
  // A held saw leaves an offset at the voice; the high-pass at the end of every pair removes it.
  Rig r;
  VoiceParams p;
  p.exciterFamily = 1;
  p.exciterVariant = 1;
  p.sustain = 1.0;
  r.e->setBareEnabled(true);
  r.e->noteOn(45, 120, p, 8);
  double mean[3] = {}, square[3] = {};
  for (int b = 0; b < 200; ++b) {
    r.block(8, true, true);
    for (int k = 0; k < 3 && b >= 100; ++k)
      for (int i = 0; i < 512; ++i) {
        const double x = r.buf[static_cast<size_t>(k * 1024 + i)];
        mean[k] += x / 51200.0;
        square[k] += x * x / 51200.0;
      }
  }
  for (int k = 0; k < 3; ++k) EXPECT_LT(std::fabs(mean[k]), 5e-3 * std::sqrt(square[k])) << "pair " << k;
}
