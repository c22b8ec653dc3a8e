// Playing the real Vorrel.clap: sound, damping, determinism, and the validator's processing habits.
#include "RealPlugin.h"
#include "Render.h"

#include <cmath>
#include <random>

using vhost::TimedMidi;
using vtest::RealPlugin;

namespace {

double rmsBetween(const std::vector<float>& x, double rate, double from, double to) {
  const size_t a = static_cast<size_t>(from * rate), b = std::min(x.size(), static_cast<size_t>(to * rate));
  double s = 0;
  for (size_t i = a; i < b; ++i) s += double(x[i]) * x[i];
  return b > a ? std::sqrt(s / double(b - a)) : 0.0;
}

std::vector<float> play(vhost::Instance& inst, const std::vector<TimedMidi>& midi, vhost::RenderOptions opts = {}) {
  vhost::RenderResult r;
  std::string error;
  EXPECT_TRUE(vhost::render(inst, midi, opts, r, error)) << error;
  return r.channels.empty() ? std::vector<float>() : r.channels[0];
}

bool subnormal(float x) { return x != 0.0f && std::fabs(x) < 1.17549435e-38f; }

}  // namespace

TEST_F(RealPlugin, ANoteSoundsAndDamperShortensTheRelease) {
  const std::vector<TimedMidi> midi = {{0.0, 0x90, 60, 110}, {0.5, 0x80, 60, 0}};
  vhost::RenderOptions opts;
  opts.tailSeconds = 1.5;
  opts.params = {{24, 0.0}, {22, 0.0}};  // no reverb or delay tails
  auto loose = make();
  opts.params.push_back({7, 0.0});
  const auto a = play(*loose, midi, opts);
  auto damped = make();
  opts.params.back() = {7, 100.0};
  const auto b = play(*damped, midi, opts);
  EXPECT_GT(rmsBetween(a, 48000, 0.1, 0.5), 0.005);
  EXPECT_NEAR(rmsBetween(a, 48000, 0.1, 0.5), rmsBetween(b, 48000, 0.1, 0.5), 1e-9);  // identical until release
  const double tailLoose = rmsBetween(a, 48000, 0.7, 0.9);
  const double tailDamped = rmsBetween(b, 48000, 0.7, 0.9);
  EXPECT_GT(tailLoose, 20 * tailDamped);
}

TEST_F(RealPlugin, PitchBendChangesNothing) {
  const std::vector<TimedMidi> plain = {{0.0, 0x90, 60, 100}, {0.3, 0x80, 60, 0}};
  std::vector<TimedMidi> bent = plain;
  bent.insert(bent.begin() + 1, {0.1, 0xE0, 0, 127});
  bent.insert(bent.begin() + 2, {0.15, 0xF8, 0, 0});
  auto a = make();
  auto b = make();
  EXPECT_EQ(play(*a, plain), play(*b, bent));
}

TEST_F(RealPlugin, TheSameMidiGivesBitIdenticalAudio) {
  const auto midi = vhost::demoPhrase();
  vhost::RenderOptions opts;
  opts.tailSeconds = 0.5;
  opts.params = {{3, 100.0}};  // Source: the (empty) frozen copy, not the living memory the first play carves
  auto a = make();
  auto b = make();
  const auto first = play(*a, midi, opts);
  EXPECT_EQ(first, play(*b, midi, opts));
  EXPECT_EQ(first, play(*a, midi, opts));  // deactivate, activate, the same again
}

TEST_F(RealPlugin, OddRatesAndBlockSizesStayFiniteWithoutSubnormals) {
  const double rates[] = {1000.0, 22050.0, 44100.0, 88200.0, 96000.0, 192000.0, 768000.0, 47999.5};
  const uint32_t blocks[] = {1, 17, 511, 4096, 16384};
  const std::vector<TimedMidi> midi = {{0.0, 0x90, 40, 127}, {0.0, 0x90, 100, 127}, {0.05, 0x80, 40, 0}};
  int run = 0;
  for (double rate : rates) {
    const uint32_t block = blocks[run++ % 5];
    auto inst = make();
    vhost::RenderOptions opts;
    opts.sampleRate = rate;
    opts.blockSize = block;
    opts.tailSeconds = rate > 200000 ? 0.05 : 0.3;
    opts.configIndex = 2;
    opts.params = {{15, 150.0}, {26, 2.0}};
    vhost::RenderResult r;
    std::string error;
    ASSERT_TRUE(vhost::render(*inst, midi, opts, r, error)) << error;
    for (const auto& ch : r.channels)
      for (float x : ch) ASSERT_TRUE(std::isfinite(x) && !subnormal(x)) << rate << " " << block;
  }
}

TEST_F(RealPlugin, RandomBlockSizesAndParameterStorms) {
  auto inst = make();
  ASSERT_TRUE(inst->selectAudioConfig(2));
  ASSERT_TRUE(inst->activate(44100, 1, 2048));
  ASSERT_TRUE(inst->startProcessing());
  vhost::AudioBuffers buf;
  buf.configure({2, 2, 2}, 2048, false);
  std::mt19937 rng(5);
  vhost::InputEvents in;
  vhost::OutputEvents out;
  for (int every : {10, 100, 1000}) {
    for (int blockNo = 0; blockNo < 60; ++blockNo) {
      const uint32_t n = 1 + rng() % 2048;
      in.clear();
      out.clear();
      if (blockNo % 5 == 0) in.addMidi(0, 0x90, static_cast<uint8_t>(30 + rng() % 70), 100);
      for (uint32_t t = 0; t < n; t += static_cast<uint32_t>(every)) {
        const uint32_t id = rng() % 29;
        clap_param_info_t info{};
        inst->paramInfo(id, info);
        const double v = info.min_value + (info.max_value - info.min_value) * (rng() / double(rng.max()));
        in.addParam(t, id, v);
      }
      ASSERT_EQ(inst->process(buf, n, in, out), CLAP_PROCESS_CONTINUE);
      for (uint32_t p = 0; p < 3; ++p)
        for (uint32_t i = 0; i < n; ++i) ASSERT_TRUE(std::isfinite(buf.sample(p, 0, i))) << every;
    }
  }
}

TEST_F(RealPlugin, WildcardsOrphansInputsAndNullChannelsAreHarmless) {
  auto inst = make();
  ASSERT_TRUE(inst->selectAudioConfig(2));
  ASSERT_TRUE(inst->activate(48000, 1, 256));
  ASSERT_TRUE(inst->startProcessing());
  vhost::AudioBuffers buf;
  buf.configure({2, 2, 2}, 256, true);  // a 64-bit host
  buf.nullChannel(0, 1);
  buf.nullChannel(2, 0);
  vhost::AudioBuffers inputs;
  inputs.configure({2}, 256, false);
  inputs.fill(0.9);
  vhost::InputEvents in;
  vhost::OutputEvents out;
  in.addNote(CLAP_EVENT_NOTE_OFF, 0, 61, 0, 0.0);  // never started
  in.addNote(CLAP_EVENT_NOTE_ON, 0, -1, -1, 1.0, -1);
  in.addNote(CLAP_EVENT_NOTE_OFF, 0, -1, -1, 0.0, -1);
  in.addNote(CLAP_EVENT_NOTE_ON, 3, 60, -1, 0.8, -1);
  in.addMidi(5, 0x80, 99, 0);
  for (int b = 0; b < 10; ++b) {
    ASSERT_EQ(inst->process(buf, 256, in, out, inputs.ports(), 1), CLAP_PROCESS_CONTINUE);
    in.clear();
  }
  double energy = 0;
  for (uint32_t i = 0; i < 256; ++i) {
    energy += buf.sample(0, 0, i) * buf.sample(0, 0, i);
    ASSERT_TRUE(std::isfinite(buf.sample(1, 0, i)));
  }
  EXPECT_GT(energy, 0.0);
}

TEST_F(RealPlugin, SixtyFourBitHostsGetTheEnginesDoubles) {
  const std::vector<TimedMidi> midi = {{0.0, 0x90, 64, 100}};
  vhost::RenderOptions opts;
  opts.tailSeconds = 0.2;
  auto a = make();
  const auto narrow = play(*a, midi, opts);
  opts.use64 = true;
  auto b = make();
  const auto wide = play(*b, midi, opts);
  ASSERT_EQ(narrow.size(), wide.size());
  EXPECT_EQ(narrow, wide);  // the same numbers, rounded to float by the 32-bit path or by the test
}
