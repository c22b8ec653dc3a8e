// Delay and reverb: buffer lengths per rate, dry and wet extremes, the frozen tail and the delay read-back.
#include "Effects.h"

#include <gtest/gtest.h>

#include <vector>

using namespace vorrel::dsp;

TEST(Effects, BufferLengthsFollowTheRate) {
  SchroederVerb v;
  v.prepare(48000);
  EXPECT_EQ(v.combLength(0, 0), 1557);
  EXPECT_EQ(v.combLength(0, 1), 1574);
  EXPECT_EQ(v.combLength(3, 1), 1439);
  EXPECT_EQ(v.allpassLength(0), 225);
  EXPECT_EQ(v.allpassLength(1), 556);
  v.prepare(44100);
  EXPECT_EQ(v.combLength(0, 0), 1430);
  EXPECT_EQ(v.combLength(1, 1), 1501);
  EXPECT_EQ(v.combLength(2, 0), 1369);
  EXPECT_EQ(v.combLength(3, 1), 1322);
  EXPECT_EQ(v.allpassLength(0), 206);
  EXPECT_EQ(v.allpassLength(1), 510);
  EffectChain c;
  c.prepare(44100);
  EXPECT_EQ(c.delayLength(), 70564);
  c.prepare(96000);
  EXPECT_EQ(c.verb().combLength(0, 0), 3114);
  EXPECT_EQ(c.verb().combLength(0, 1), 3148);
  // Back down to 48 kHz: every length is the current rate's, whatever was allocated before.
  c.prepare(48000);
  EXPECT_EQ(c.delayLength(), 76804);
  EXPECT_EQ(c.verb().combLength(0, 0), 1557);
  EXPECT_EQ(c.verb().combLength(0, 1), 1574);
  EXPECT_EQ(c.verb().allpassLength(1), 556);
  EXPECT_EQ(c.delaySamples(20), 960);
  EXPECT_EQ(c.delaySamples(1500), 72000);
  EXPECT_EQ(c.delaySamples(5000), 76803);
}

TEST(Effects, ADelayOfTwentyMillisecondsReadsNineHundredSixtyBack) {
  EffectChain c;
  c.prepare(48000);
  std::vector<double> l(2000, 0.0), r(2000, 0.0);
  l[0] = 1.0;
  c.process(l.data(), r.data(), 2000, 20, 1.0, 0.5, 0.0, 0.0);
  EXPECT_EQ(l[0], 1.0);
  EXPECT_EQ(l[959], 0.0);
  EXPECT_DOUBLE_EQ(l[960], 1.0);
  EXPECT_DOUBLE_EQ(l[1920], 0.42);
  EXPECT_EQ(r[960], 0.0);  // no cross feedback
}

TEST(Effects, DelayKeepsFillingAtMixZero) {
  EffectChain c;
  c.prepare(48000);
  std::vector<double> l(1000, 0.0), r(1000, 0.0);
  l[0] = 1.0;
  c.process(l.data(), r.data(), 1000, 20, 0.0, 0.5, 0.0, 0.0);
  EXPECT_EQ(l[960], 0.0);
  std::vector<double> l2(1000, 0.0), r2(1000, 0.0);
  c.process(l2.data(), r2.data(), 1000, 20, 1.0, 0.5, 0.0, 0.0);
  // The echo of the first pass, fed back once, arrives on time, while the mix glides up over 20 ms (960 samples).
  EXPECT_NEAR(l2[920], 0.42 * 921.0 / 960.0, 1e-12);
}

TEST(Effects, VerbMixZeroIsDryAndFreezesTheTail) {
  SchroederVerb v;
  v.prepare(48000);
  std::vector<double> l(4000), r(4000);
  for (size_t i = 0; i < l.size(); ++i) l[i] = r[i] = (i % 97) * 0.01 - 0.3;
  const std::vector<double> dry = l;
  v.process(l.data(), r.data(), 4000, 0.8, 0.5);  // fill the tail
  std::vector<double> x = dry;
  std::vector<double> y = dry;
  v.process(x.data(), y.data(), 4000, 0.8, 0.0);
  EXPECT_EQ(x, dry);  // bit-exact dry
  SchroederVerb fresh;
  fresh.prepare(48000);
  std::vector<double> z(100, 0.0), z2(100, 0.0), w(100, 0.0), w2(100, 0.0);
  v.process(z.data(), z2.data(), 100, 0.8, 1.0);
  fresh.process(w.data(), w2.data(), 100, 0.8, 1.0);
  EXPECT_NE(z, w);  // the frozen tail resumes when the mix rises
  std::vector<double> one(600, 0.0), one2(600, 0.0);
  one[0] = 1.0;
  SchroederVerb wet;
  wet.prepare(48000);
  wet.process(one.data(), one2.data(), 600, 0.5, 1.0);
  EXPECT_EQ(one[0], 0.0);  // mix 1: only the wet signal, and the combs delay it
}
