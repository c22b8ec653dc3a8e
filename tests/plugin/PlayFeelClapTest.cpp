// Playing the real Vorrel.clap as a player hears it: no clicks from knobs or steals, one sound at every block
// size, event density and sample rate, and loud chords that stay whole.
#include "RealPlugin.h"

#include "Params.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdio>
#include <vector>

using vtest::RealPlugin;

namespace {

// One event of a scripted run: MIDI or a parameter value, at a frame from the start.
struct Cue {
  uint64_t at;
  bool param;
  uint32_t a;  // status, or parameter id
  uint32_t b, c;
  double value;
};
Cue midiCue(uint64_t at, uint8_t s, uint8_t d1, uint8_t d2) { return {at, false, s, d1, d2, 0.0}; }
Cue paramCue(uint64_t at, uint32_t id, double v) { return {at, true, id, 0, 0, v}; }

struct RunOptions {
  double rate = 48000.0;
  uint32_t block = 512;
  uint32_t paramEvery = 0;  // also a parameter event that changes nothing every this many frames
};

// Renders the main left channel of frames samples with the cues placed at their frames.
std::vector<float> run(vhost::Instance& inst, std::vector<Cue> cues, uint64_t frames, const RunOptions& o = {}) {
  std::stable_sort(cues.begin(), cues.end(), [](const Cue& x, const Cue& y) { return x.at < y.at; });
  std::vector<float> out;
  out.reserve(frames);
  EXPECT_TRUE(inst.activate(o.rate, 1, o.block));
  vhost::AudioBuffers buffers;
  std::vector<uint32_t> channels;
  for (const auto& p : inst.audioPorts(false)) channels.push_back(p.channels);
  buffers.configure(channels, o.block, false);
  inst.startProcessing();
  vhost::InputEvents in;
  vhost::OutputEvents evOut;
  size_t next = 0;
  for (uint64_t pos = 0; pos < frames; pos += o.block) {
    const auto n = static_cast<uint32_t>(std::min<uint64_t>(o.block, frames - pos));
    in.clear();
    evOut.clear();
    for (uint32_t i = 0; i < n; ++i) {
      while (next < cues.size() && cues[next].at == pos + i) {
        const Cue& c = cues[next++];
        if (c.param) {
          in.addParam(i, c.a, c.value);
        } else {
          in.addMidi(i, static_cast<uint8_t>(c.a), static_cast<uint8_t>(c.b), static_cast<uint8_t>(c.c));
        }
      }
      if (o.paramEvery && (pos + i) % o.paramEvery == 0) in.addParam(i, kLevel, inst.paramValue(kLevel));
    }
    inst.process(buffers, n, in, evOut);
    for (uint32_t i = 0; i < n; ++i) out.push_back(static_cast<float>(buffers.sample(0, 0, i)));
  }
  inst.stopProcessing();
  inst.deactivate();
  return out;
}

double rms(const std::vector<float>& x, size_t from, size_t to) {
  double s = 0.0;
  to = std::min(to, x.size());
  for (size_t i = from; i < to; ++i) s += double(x[i]) * x[i];
  return to > from ? std::sqrt(s / double(to - from)) : 0.0;
}

// How far the second difference jumps above its own level around a change that starts at `at` and may take
// `span` samples: its peak there against its RMS before and after. Steady tones stay below about 6.
double clickRatio(const std::vector<float>& x, size_t at, size_t span) {
  std::vector<double> d(x.size(), 0.0);
  for (size_t i = 2; i < x.size(); ++i) d[i] = double(x[i]) - 2.0 * x[i - 1] + x[i - 2];
  auto level = [&d](size_t a, size_t b) {
    double s = 0.0;
    for (size_t i = a; i < b; ++i) s += d[i] * d[i];
    return std::sqrt(s / double(b - a));
  };
  double peak = 0.0;
  for (size_t i = at - 16; i < at + span + 16; ++i) peak = std::max(peak, std::fabs(d[i]));
  const double around = std::max(level(at - 4096, at - 64), level(at + span + 64, at + span + 4096));
  return peak / std::max(around, 1e-12);
}

// Settings that make a note independent of the machine memory: the empty frozen copy, and a Saw.
std::vector<Cue> sawSetup(double rate = 48000.0) {
  (void)rate;
  return {paramCue(0, kSource, 100.0), paramCue(0, kExciter, 4.0)};
}

}  // namespace

TEST_F(RealPlugin, NoParameterStepClicksUnderAHeldNote) {
  auto probe = make();
  constexpr uint64_t kStep = 24000;       // 0.5 s into a held note
  constexpr size_t kSpan = 1200;          // the longest glide, 20 ms, and a little
  for (uint32_t id = 0; id < kNumParams; ++id) {
    clap_param_info_t info{};
    ASSERT_TRUE(probe->paramInfo(id, info));
    auto inst = make();
    std::vector<Cue> cues = sawSetup();
    const double from = id == kSource ? 100.0 : (id == kExciter ? 4.0 : info.default_value);
    const double to = from - info.min_value > info.max_value - from ? info.min_value : info.max_value;
    cues.push_back(midiCue(0, 0x90, 45, 110));
    cues.push_back(paramCue(kStep, id, to));
    const auto out = run(*inst, cues, kStep + 6000);
    const double ratio = clickRatio(out, kStep, kSpan);
    EXPECT_LT(ratio, 8.0) << info.name << " " << from << " -> " << to;
  }
}

TEST_F(RealPlugin, NoStealClicksHoweverManyVoicesGoAtOnce) {
  // 16 held notes, then a full 16-note chord over them; then the cap lowered to 2 under 16 held notes and
  // another full chord.
  for (int scene = 0; scene < 2; ++scene) {
    auto inst = make();
    std::vector<Cue> cues = sawSetup();
    cues.push_back(paramCue(0, kVoices, 16));
    for (int k = 0; k < 16; ++k) cues.push_back(midiCue(0, 0x90, static_cast<uint8_t>(40 + 2 * k), 100));
    constexpr uint64_t kChord = 24000;
    if (scene == 1) cues.push_back(paramCue(kChord - 4800, kVoices, 2));
    for (int k = 0; k < 16; ++k) cues.push_back(midiCue(kChord, 0x90, static_cast<uint8_t>(41 + 2 * k), 100));
    const auto out = run(*inst, cues, kChord + 8000);
    EXPECT_LT(clickRatio(out, kChord, 480), 8.0) << "scene " << scene;
    if (scene == 1) {
      EXPECT_LT(clickRatio(out, kChord - 4800, 480), 8.0);
    }
  }
}

TEST_F(RealPlugin, BlockSizeAndEventDensityDoNotChangeTheSound) {
  // Mallet notes (whose strike bends the pitch), a Saw glide and a release, with notes inside blocks.
  std::vector<Cue> cues = {paramCue(0, kSource, 100.0), paramCue(0, kExciter, 1.0), paramCue(0, kGlide, 120.0)};
  cues.push_back(midiCue(100, 0x90, 48, 120));
  cues.push_back(midiCue(7000, 0x90, 60, 90));
  cues.push_back(midiCue(13333, 0x80, 48, 0));
  cues.push_back(paramCue(20000, kExciter, 4.0));
  cues.push_back(midiCue(20001, 0x90, 55, 100));
  cues.push_back(midiCue(30017, 0x90, 62, 100));
  cues.push_back(midiCue(40000, 0x80, 62, 0));
  constexpr uint64_t kFrames = 48000;
  auto ref = make();
  const auto base = run(*ref, cues, kFrames);
  ASSERT_GT(rms(base, 0, kFrames), 1e-3);
  struct Variant {
    uint32_t block, every;
  };
  for (const Variant v : {Variant{1, 0}, Variant{32, 0}, Variant{128, 0}, Variant{4096, 0}, Variant{512, 16}}) {
    auto inst = make();
    RunOptions o;
    o.block = v.block;
    o.paramEvery = v.every;
    const auto out = run(*inst, cues, kFrames, o);
    double worst = 0.0;
    for (size_t i = 0; i < kFrames; ++i) worst = std::max(worst, std::fabs(double(out[i]) - base[i]));
    EXPECT_LT(worst, 1e-5) << "block " << v.block << " event every " << v.every;
  }
}

namespace {

// Power in octave bands from 125 Hz to 16 kHz of a Hann-windowed stretch, by a plain radix-2 FFT.
std::vector<double> octaveBands(const std::vector<float>& x, size_t from, double rate) {
  size_t n = 1;
  while (n < static_cast<size_t>(0.2 * rate)) n <<= 1;
  std::vector<std::complex<double>> a(n);
  for (size_t i = 0; i < n; ++i) a[i] = x[from + i] * (0.5 - 0.5 * std::cos(2.0 * M_PI * double(i) / double(n)));
  for (size_t i = 1, j = 0; i < n; ++i) {
    size_t bit = n >> 1;
    for (; j & bit; bit >>= 1) j ^= bit;
    j ^= bit;
    if (i < j) std::swap(a[i], a[j]);
  }
  for (size_t len = 2; len <= n; len <<= 1) {
    const std::complex<double> w = std::polar(1.0, -2.0 * M_PI / double(len));
    for (size_t i = 0; i < n; i += len) {
      std::complex<double> z = 1.0;
      for (size_t k = 0; k < len / 2; ++k, z *= w) {
        const auto u = a[i + k], v = a[i + k + len / 2] * z;
        a[i + k] = u + v;
        a[i + k + len / 2] = u - v;
      }
    }
  }
  std::vector<double> bands;
  for (double lo = 125.0 / std::sqrt(2.0); lo < 16000.0; lo *= 2.0) {
    double p = 0.0;
    for (size_t k = 1; k < n / 2; ++k) {
      const double f = double(k) * rate / double(n);
      if (f >= lo && f < std::min(2.0 * lo, 16000.0)) p += std::norm(a[k]);
    }
    bands.push_back(10.0 * std::log10(p / double(n) / double(n)));  // dB of mean power, so rates compare
  }
  return bands;
}

}  // namespace

TEST_F(RealPlugin, OscillatorExcitersSoundTheSameAtEveryRate) {
  for (double exciter : {4.0, 5.0}) {
    std::vector<double> held, tail;
    std::vector<std::vector<double>> spectra;
    const double rates[] = {48000.0, 44100.0, 96000.0, 192000.0, 768000.0};
    for (double rate : rates) {
      auto inst = make();
      std::vector<Cue> cues = {paramCue(0, kSource, 100.0), paramCue(0, kExciter, exciter), paramCue(0, kVerbMix, 0.0),
                               paramCue(0, kDlyMix, 0.0)};
      for (int k = 0; k < 8; ++k) cues.push_back(midiCue(0, 0x90, static_cast<uint8_t>(45 + 3 * k), 127));
      for (int k = 0; k < 8; ++k)
        cues.push_back(midiCue(static_cast<uint64_t>(0.8 * rate), 0x80, static_cast<uint8_t>(45 + 3 * k), 0));
      RunOptions o;
      o.rate = rate;
      o.block = static_cast<uint32_t>(512 * rate / 48000.0);
      const auto out = run(*inst, cues, static_cast<uint64_t>(1.6 * rate), o);
      held.push_back(20.0 * std::log10(rms(out, size_t(0.3 * rate), size_t(0.8 * rate))));
      tail.push_back(20.0 * std::log10(rms(out, size_t(1.0 * rate), size_t(1.6 * rate))));
      spectra.push_back(octaveBands(out, size_t(0.4 * rate), rate));
    }
    // Held chord and release tail as loud, and every octave band within 50 dB of the loudest as strong,
    // as at 48 kHz: within 0.5 dB up to 192 kHz, 1 dB at 768 kHz.
    const double loudest = *std::max_element(spectra[0].begin(), spectra[0].end());
    for (size_t r = 1; r < std::size(rates); ++r) {
      const double tol = rates[r] > 200000.0 ? 1.0 : 0.5;
      EXPECT_NEAR(held[r], held[0], tol) << exciter << " at " << rates[r];
      EXPECT_NEAR(tail[r], tail[0], tol) << exciter << " at " << rates[r];
      for (size_t b = 0; b < spectra[0].size(); ++b) {
        if (spectra[0][b] > loudest - 50.0) {
          EXPECT_NEAR(spectra[r][b], spectra[0][b], tol) << exciter << " at " << rates[r] << " band " << b;
        }
      }
    }
  }
}

TEST_F(RealPlugin, FullChordsAreLoudButStayWhole) {
  // 8- and 16-note chords at velocity 127 for Saw and Square, at Level 0 dB and +12 dB.
  for (double exciter : {4.0, 5.0}) {
    for (int notes : {8, 16}) {
      std::vector<float> at[2];
      for (int l = 0; l < 2; ++l) {
        auto inst = make();
        std::vector<Cue> cues = {paramCue(0, kSource, 100.0), paramCue(0, kExciter, exciter),
                                 paramCue(0, kVoices, 16.0), paramCue(0, kLevel, l ? 12.0 : 0.0)};
        for (int k = 0; k < notes; ++k) cues.push_back(midiCue(0, 0x90, static_cast<uint8_t>(36 + 3 * k), 127));
        at[l] = run(*inst, cues, 48000);
      }
      double peak = 0.0, worst = 0.0;
      const double gain = std::pow(10.0, 12.0 / 20.0);
      for (size_t i = 0; i < at[0].size(); ++i) {
        ASSERT_TRUE(std::isfinite(at[0][i]) && std::isfinite(at[1][i]));
        peak = std::max(peak, std::fabs(double(at[0][i])));
        worst = std::max(worst, std::fabs(double(at[1][i]) - gain * at[0][i]));
      }
      const double peakDb = 20.0 * std::log10(peak);
      // The figure the README gives players: a full chord peaks a few dB over full scale at Level 0 dB.
      EXPECT_GT(peakDb, 0.0) << exciter << " " << notes;
      EXPECT_LT(peakDb, 9.0) << exciter << " " << notes;
      // Twelve dB more stays exactly twelve dB more: nothing after the voices clips, wraps or bends one side.
      EXPECT_LT(worst, 1e-6 * gain * peak) << exciter << " " << notes;
    }
  }
}
