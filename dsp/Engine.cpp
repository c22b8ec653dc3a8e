// Voice allocation and stealing, the voice cap, the bare twins and the block render through three chains.
#include "Engine.h"

#include "Ladder.h"
#include "NoiseExciters.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace vorrel::dsp {

const double kEmptyTrace[kMaxModes] = {};

namespace {

constexpr double kCapRate = 40.0;  // release rate of the voice cap and of a fully damped note-off, 1/s

}  // namespace

VorrelEngine::VorrelEngine() = default;

void VorrelEngine::prepare(double sampleRate) {
  rate = sampleRate;
  for (auto* bank : {&voices, &bareBank})
    for (Voice& v : *bank) {
      v.setSampleRate(sampleRate);
      v.active = false;
    }
  for (EffectChain& c : chains) c.prepare(sampleRate);
  for (DcBlocker& d : dcBlockers) d.prepare(sampleRate);
  if (!tablesBuilt) {
    for (int b = 0; b < kNumBodies; ++b) {
      const std::vector<double>& list = modeList(b);
      int n = 0;
      for (double r : list) {
        if (n >= kMaxModes) break;
        modePitches[static_cast<size_t>(b)][static_cast<size_t>(n++)] = modePitchClass(r);
      }
      modePitchCounts[static_cast<size_t>(b)] = n;
    }
    tablesBuilt = true;
  }
  trace.fill(0.0);
  traceStamp = 0;
  partnersStamp = ~0ull;
  partnersBody = -1;
  nPartners = 0;
  lastNoteFreq = 0.0;
  lastSlot = -1;
  counter = 3;
}

int VorrelEngine::countTowardLimit() const {
  // Every voice that still sounds counts, released ones too; only voices already being faded out
  // (stolen or capped) do not, so lowering the limit releases the excess once and never cascades.
  int n = 0;
  for (const Voice& v : voices)
    if (v.active && !v.fading) ++n;
  return n;
}

int VorrelEngine::freeSlot() const {
  for (int i = 0; i < kVoiceSlots; ++i)
    if (!voices[static_cast<size_t>(i)].active) return i;
  // Every slot busy: reuse the fading voice closest to silence.
  int pick = -1;
  double quietest = 2.0;
  for (int i = 0; i < kVoiceSlots; ++i) {
    const Voice& v = voices[static_cast<size_t>(i)];
    if (!v.fading) continue;
    const double level = v.fadeLevel();
    if (level < quietest) {
      quietest = level;
      pick = i;
    }
  }
  return pick;
}

void VorrelEngine::stealVoice(int i) {
  const int samples = static_cast<int>(kStealFadeSeconds * rate);
  voices[static_cast<size_t>(i)].steal(samples);
  Voice& t = bareBank[static_cast<size_t>(i)];
  if (t.active) t.steal(samples);
}

void VorrelEngine::noteOn(int note, int velocity, const VoiceParams& params, int voiceLimit) {
  refreshPartners(params.body);
  int oldestReleased = -1;
  int oldestHeld = -1;
  for (int i = 0; i < kVoiceSlots; ++i) {
    const Voice& v = voices[static_cast<size_t>(i)];
    if (!v.active || v.fading) continue;
    if (!v.held) {
      if (oldestReleased < 0 || v.time > voices[static_cast<size_t>(oldestReleased)].time) oldestReleased = i;
    } else if (oldestHeld < 0 || v.time > voices[static_cast<size_t>(oldestHeld)].time) {
      oldestHeld = i;
    }
  }
  const int cap = std::clamp(voiceLimit, 1, kNumVoices);
  if (countTowardLimit() >= cap) {
    // The victim fades out over a few milliseconds in its own slot while the new note starts in another.
    const int victim = oldestReleased >= 0 ? oldestReleased : oldestHeld;
    if (victim >= 0) stealVoice(victim);
  }
  const int chosen = freeSlot();
  if (chosen < 0) return;
  const uint64_t seed = counter++;
  const int body = std::clamp(params.body, 0, kNumBodies - 1);
  // A glide starts where the previous note's pitch is now, even halfway through its own glide.
  double glideFrom = lastNoteFreq;
  if (lastSlot >= 0 && voices[static_cast<size_t>(lastSlot)].active)
    glideFrom = voices[static_cast<size_t>(lastSlot)].soundingFreq();
  Voice& v = voices[static_cast<size_t>(chosen)];
  v.noteOn(note, velocity, params, modeList(body), trace.data(), kMaxModes, partners.data(), nPartners, glideFrom,
           seed);
  Voice& t = bareBank[static_cast<size_t>(chosen)];
  if (bareEnabled) {
    t.noteOn(note, velocity, params, modeList(body), kEmptyTrace, kMaxModes, nullptr, 0, glideFrom, seed);
    // The twin plays at the main voice's loudness; its own loudness stays for pair B.
    t.gainInv = v.gainInv;
    t.velGain = v.velGain;
  } else {
    t.active = false;  // a twin left from an earlier note in this slot must not shadow the new one
  }
  lastNoteFreq = 440.0 * std::pow(2.0, (note - 69) / 12.0);
  lastSlot = chosen;
}

void VorrelEngine::releaseVoice(int i, double r, double resMul, double gateMul) {
  voices[static_cast<size_t>(i)].release(r, resMul, gateMul);
  Voice& t = bareBank[static_cast<size_t>(i)];
  if (t.active) t.release(r, resMul, gateMul);
}

void VorrelEngine::noteOff(int note, double damper) {
  const double r = 0.5 * std::pow(80.0, std::clamp(damper, 0.0, 1.0));  // 0.5/s undamped .. 40/s
  const double a = std::max(3.0, r);
  const double b = std::max(30.0, r);
  for (int i = 0; i < kVoiceSlots; ++i) {
    const Voice& v = voices[static_cast<size_t>(i)];
    if (v.active && v.held && !v.fading && v.note == note) releaseVoice(i, r, std::exp(-a / rate), std::exp(-b / rate));
  }
}

void VorrelEngine::releaseAllHeld() {
  const double mul = std::exp(-kCapRate / rate);
  for (int i = 0; i < kVoiceSlots; ++i) {
    const Voice& v = voices[static_cast<size_t>(i)];
    if (v.active && v.held && !v.fading) releaseVoice(i, kCapRate, mul, mul);
  }
}

void VorrelEngine::chokeNote(int note) {
  for (int i = 0; i < kVoiceSlots; ++i) {
    const Voice& v = voices[static_cast<size_t>(i)];
    if (v.active && !v.stealing() && (note < 0 || v.note == note)) stealVoice(i);
  }
}

void VorrelEngine::switchOffBareBank() {
  for (Voice& t : bareBank) t.active = false;
}

void VorrelEngine::capVoices(int limit) {
  limit = std::clamp(limit, 1, kNumVoices);
  int count = countTowardLimit();
  const double mul = std::exp(-kCapRate / rate);
  while (count > limit) {
    int released = -1;
    int held = -1;
    for (int i = 0; i < kVoiceSlots; ++i) {
      const Voice& v = voices[static_cast<size_t>(i)];
      if (!v.active || v.fading) continue;
      int& pick = v.held ? held : released;
      if (pick < 0 || v.time > voices[static_cast<size_t>(pick)].time) pick = i;
    }
    const int pick = released >= 0 ? released : held;
    if (pick < 0) break;
    releaseVoice(pick, kCapRate, mul, mul);
    voices[static_cast<size_t>(pick)].fading = true;
    bareBank[static_cast<size_t>(pick)].fading = true;
    --count;
  }
}

void VorrelEngine::renderVoices(int frames, double* mainL, double* pairAL, double* pairBL, bool twins) {
  Voice* lanes[kMaxLadderVoices];
  Voice* noisy[kMaxLadderVoices];
  double* exciteOut[kMaxLadderVoices];
  bool isTwin[kMaxLadderVoices];
  for (int start = 0; start < frames; start += kSliceFrames) {
    const int n = std::min(kSliceFrames, frames - start);
    int count = 0, noisyCount = 0;
    for (int bank = 0; bank < (twins ? 2 : 1); ++bank)
      for (Voice& v : bank == 0 ? voices : bareBank) {
        if (!v.active) continue;
        isTwin[count] = bank == 1;
        lanes[count++] = &v;
        if (!v.noiseExcited()) continue;
        noisy[noisyCount] = &v;
        exciteOut[noisyCount++] = v.excite;
        v.excitedAhead = true;
      }
    // The noise exciters of the whole slice first, four voices at a time; the pieces below only read them.
    exciteNoise(noisy, exciteOut, noisyCount, n);
    for (int i = 0; i < count; ++i) {
      Voice& v = *lanes[i];
      // Pieces end at retune boundaries; a chunk ends there or at the end of the block.
      for (int pos = 0; pos < n;) {
        if (v.retunePos == 0) v.retune();
        const int len = std::min(kRetunePeriod - v.retunePos, n - pos);
        v.renderPre(pos, len);
        v.retunePos = (v.retunePos + len) % kRetunePeriod;
        pos += len;
        // The strike level follows every 512 samples of the voice's own output, wherever blocks end.
        if (v.retunePos == 0) v.endChunk();
      }
      v.excitedAhead = false;
    }
    runLadders(lanes, count, n);
    for (int i = 0; i < count; ++i) {
      if (isTwin[i]) {
        lanes[i]->renderPost(pairAL + start, n, pairBL ? pairBL + start : nullptr);
      } else {
        lanes[i]->renderPost(mainL + start, n, nullptr);
      }
    }
  }
  const int silentLimit = static_cast<int>(0.25 * rate);
  for (int bank = 0; bank < (twins ? 2 : 1); ++bank)
    for (Voice& v : bank == 0 ? voices : bareBank)
      if (v.active && (v.stealDone() || (!v.held && v.silentCount > silentLimit))) v.active = false;
}

void VorrelEngine::process(double* mainL, double* mainR, int frames, int voiceLimit, double delayMs, double delayMix,
                           double verbSize, double verbMix, double levelDb, double* pairAL, double* pairAR,
                           double* pairBL, double* pairBR) {
  if (frames <= 0 || !mainL || !mainR) return;
  const size_t bytes = sizeof(double) * static_cast<size_t>(frames);
  std::memset(mainL, 0, bytes);
  std::memset(mainR, 0, bytes);
  capVoices(voiceLimit);
  const bool withPairs = pairAL && pairAR;
  const bool withB = withPairs && pairBL && pairBR;
  if (withPairs) {
    std::memset(pairAL, 0, bytes);
    if (withB) std::memset(pairBL, 0, bytes);
  }
  renderVoices(frames, mainL, pairAL, withB ? pairBL : nullptr, withPairs && bareEnabled);
  std::memcpy(mainR, mainL, bytes);
  chains[0].process(mainL, mainR, frames, delayMs, delayMix, verbSize, verbMix, levelDb);
  dcBlockers[0].process(mainL, mainR, frames);
  if (!withPairs) return;
  std::memcpy(pairAR, pairAL, bytes);
  chains[1].process(pairAL, pairAR, frames, delayMs, delayMix, verbSize, verbMix, levelDb);
  dcBlockers[1].process(pairAL, pairAR, frames);
  if (withB) {
    std::memcpy(pairBR, pairBL, bytes);
    chains[2].process(pairBL, pairBR, frames, delayMs, delayMix, verbSize, verbMix, levelDb);
    dcBlockers[2].process(pairBL, pairBR, frames);
  }
}

}  // namespace vorrel::dsp
