// The sound engine of one track: sixteen voices with their bare twins, partner choice, and three effect chains.
#pragma once

#include "Bodies.h"
#include "Effects.h"
#include "Voice.h"
#include "VoiceParams.h"

#include <array>
#include <cstdint>
#include <vector>

namespace vorrel::dsp {

constexpr int kNumVoices = 16;  // the most voices that count toward the limit
// Room for stolen and capped voices to fade out while new notes start: a full chord stolen over a full chord
// held, with a lowered cap's releases still ringing, never has to restart a voice that is still audible.
constexpr int kFadeSlots = 32;
constexpr int kVoiceSlots = kNumVoices + kFadeSlots;
constexpr double kStealFadeSeconds = 0.005;

// The trace the bare bank plays with: no memory at all.
extern const double kEmptyTrace[kMaxModes];

// Up to maximum sympathetic partners from a trace and the body's mode pitch classes; returns how many.
int partnersInto(const double* trace, const double* pitch, int count, Partner* out, int maximum);

class VorrelEngine {
 public:
  VorrelEngine();
  VorrelEngine(const VorrelEngine&) = delete;
  VorrelEngine& operator=(const VorrelEngine&) = delete;

  // Allocates: call only while processing is stopped.
  void prepare(double sampleRate);
  void noteOn(int note, int velocity, const VoiceParams& params, int voiceLimit);
  void noteOff(int note, double damper);
  // Releases every held voice and its twin at the fully damped rate (controller 123).
  void releaseAllHeld();
  // Ends the note's voices (every voice when note is -1) with the short steal fade.
  void chokeNote(int note);
  void process(double* mainL, double* mainR, int frames, int voiceLimit, double delayMs, double delayMix,
               double verbSize, double verbMix, double levelDb, double* pairAL, double* pairAR, double* pairBL,
               double* pairBR);
  void refreshPartners(int body);

  // Whether an auxiliary bus is wanted; the shell sets it every block.
  void setBareEnabled(bool on) { bareEnabled = on; }
  bool isBareEnabled() const { return bareEnabled; }
  // Silences the twins when the last auxiliary bus goes away.
  void switchOffBareBank();

  // The memory trace: written by the shell on the audio thread between blocks, then traceStamp moves on.
  std::array<double, kMaxModes> trace{};
  uint64_t traceStamp = 0;

  double sampleRate() const { return rate; }
  const Voice& voice(int i) const { return voices[static_cast<size_t>(i)]; }
  const Voice& twin(int i) const { return bareBank[static_cast<size_t>(i)]; }
  int partnerCount() const { return nPartners; }
  const Partner& partner(int i) const { return partners[static_cast<size_t>(i)]; }
  const double* modePitch(int body) const { return modePitches[static_cast<size_t>(body)].data(); }
  int modePitchCount(int body) const { return modePitchCounts[static_cast<size_t>(body)]; }
  const EffectChain& chain(int i) const { return chains[static_cast<size_t>(i)]; }
  uint64_t noteCounter() const { return counter; }

 private:
  int countTowardLimit() const;
  int freeSlot() const;
  void stealVoice(int i);
  void capVoices(int limit);
  void renderVoices(int frames, double* mainL, double* pairAL, double* pairBL, bool twins);
  void releaseVoice(int i, double rate, double resMul, double gateMul);

  double rate = 48000.0;
  std::array<Voice, kVoiceSlots> voices;
  std::array<Voice, kVoiceSlots> bareBank;  // twin i shadows voice i
  bool bareEnabled = false;
  bool tablesBuilt = false;
  std::array<std::array<double, kMaxModes>, kNumBodies> modePitches{};
  std::array<int, kNumBodies> modePitchCounts{};
  uint64_t partnersStamp = ~0ull;
  int partnersBody = -1;
  std::array<Partner, kMaxPartners> partners{};
  int nPartners = 0;
  double lastNoteFreq = 0.0;
  int lastSlot = -1;  // the slot of the latest note-on: a glide starts from where its pitch is
  uint64_t counter = 3;
  std::array<EffectChain, 3> chains;  // main, pair A, pair B
  std::array<DcBlocker, 3> dcBlockers;
};

}  // namespace vorrel::dsp
