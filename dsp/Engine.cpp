// Voice allocation and stealing, the voice cap, the bare twins and the block render through three chains.
#include "Engine.h"

#include "Ladder.h"

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
  counter = 3;
}

int VorrelEngine::countTowardLimit() const {
  // Voices the cap already faded do not count, or lowering the limit would cascade through every held note.
  int n = 0;
  for (const Voice& v : voices)
    if (v.active && (v.held || v.releaseRate < kCapRate)) ++n;
  return n;
}

void VorrelEngine::noteOn(int note, int velocity, const VoiceParams& params, int voiceLimit) {
  refreshPartners(params.body);
  int firstFree = -1;
  int oldestReleased = -1;
  int oldestHeld = -1;
  for (int i = 0; i < kNumVoices; ++i) {
    const Voice& v = voices[static_cast<size_t>(i)];
    if (!v.active) {
      if (firstFree < 0) firstFree = i;
    } else if (!v.held) {
      if (oldestReleased < 0 || v.time > voices[static_cast<size_t>(oldestReleased)].time) oldestReleased = i;
    } else if (oldestHeld < 0 || v.time > voices[static_cast<size_t>(oldestHeld)].time) {
      oldestHeld = i;
    }
  }
  const int cap = std::clamp(voiceLimit, 1, kNumVoices);
  int chosen = -1;
  if (countTowardLimit() < cap && firstFree >= 0) {
    chosen = firstFree;
  } else if (oldestReleased >= 0) {
    chosen = oldestReleased;
  } else if (oldestHeld >= 0) {
    chosen = oldestHeld;
  }
  if (chosen < 0) return;
  const uint64_t seed = counter++;
  const int body = std::clamp(params.body, 0, kNumBodies - 1);
  Voice& v = voices[static_cast<size_t>(chosen)];
  v.noteOn(note, velocity, params, modeList(body), trace.data(), kMaxModes, partners.data(), nPartners, lastNoteFreq,
           seed);
  if (bareEnabled) {
    Voice& t = bareBank[static_cast<size_t>(chosen)];
    t.noteOn(note, velocity, params, modeList(body), kEmptyTrace, kMaxModes, nullptr, 0, lastNoteFreq, seed);
    // The twin plays at the main voice's loudness; its own loudness stays for pair B.
    t.gainInv = v.gainInv;
    t.velGain = v.velGain;
  }
  lastNoteFreq = 440.0 * std::pow(2.0, (note - 69) / 12.0);
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
  for (int i = 0; i < kNumVoices; ++i) {
    const Voice& v = voices[static_cast<size_t>(i)];
    if (v.active && v.held && v.note == note) releaseVoice(i, r, std::exp(-a / rate), std::exp(-b / rate));
  }
}

void VorrelEngine::releaseAllHeld() {
  const double mul = std::exp(-kCapRate / rate);
  for (int i = 0; i < kNumVoices; ++i) {
    const Voice& v = voices[static_cast<size_t>(i)];
    if (v.active && v.held) releaseVoice(i, kCapRate, mul, mul);
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
    int pick = -1;
    for (int i = 0; i < kNumVoices; ++i) {
      const Voice& v = voices[static_cast<size_t>(i)];
      if (v.active && !v.held && v.releaseRate < kCapRate &&
          (pick < 0 || v.time > voices[static_cast<size_t>(pick)].time))
        pick = i;
    }
    if (pick < 0) {
      for (int i = 0; i < kNumVoices; ++i) {
        const Voice& v = voices[static_cast<size_t>(i)];
        if (v.active && v.held && (pick < 0 || v.time > voices[static_cast<size_t>(pick)].time)) pick = i;
      }
    }
    if (pick < 0) break;
    releaseVoice(pick, kCapRate, mul, mul);
    --count;
  }
}

void VorrelEngine::renderVoices(int frames, double* mainL, double* pairAL, double* pairBL, bool twins) {
  Voice* lanes[kMaxLadderVoices];
  bool isTwin[kMaxLadderVoices];
  for (int start = 0; start < frames; start += kSliceFrames) {
    const int n = std::min(kSliceFrames, frames - start);
    const bool blockEnds = start + n == frames;
    int count = 0;
    for (int bank = 0; bank < (twins ? 2 : 1); ++bank) {
      for (Voice& v : bank == 0 ? voices : bareBank) {
        if (!v.active) continue;
        // Pieces end at retune boundaries; a chunk ends there or at the end of the block.
        for (int pos = 0; pos < n;) {
          if (v.retunePos == 0) v.retune();
          const int len = std::min(kRetunePeriod - v.retunePos, n - pos);
          v.renderPre(pos, len);
          v.retunePos = (v.retunePos + len) % kRetunePeriod;
          pos += len;
          if (v.retunePos == 0 || (blockEnds && pos == n)) v.endChunk();
        }
        isTwin[count] = bank == 1;
        lanes[count++] = &v;
      }
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
      if (v.active && !v.held && v.silentCount > silentLimit) v.active = false;
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
  if (!withPairs) return;
  std::memcpy(pairAR, pairAL, bytes);
  chains[1].process(pairAL, pairAR, frames, delayMs, delayMix, verbSize, verbMix, levelDb);
  if (withB) {
    std::memcpy(pairBR, pairBL, bytes);
    chains[2].process(pairBL, pairBR, frames, delayMs, delayMix, verbSize, verbMix, levelDb);
  }
}

}  // namespace vorrel::dsp
