// MIDI and on-screen keyboard input: notes, pressure, the sustain pedal, all-notes-off and Program Change.
#include "Vorrel.h"

#include <algorithm>
#include <cmath>

vorrel::dsp::VoiceParams Vorrel::snapshotVoiceParams() const {
  static constexpr int kFamily[6] = {0, 1, 2, 3, 1, 1};
  static constexpr int kVariant[6] = {0, 0, 0, 0, 1, 2};
  vorrel::dsp::VoiceParams p;
  auto v = [this](int idx) { return GetParam(idx)->Value(); };
  p.body = GetParam(kBody)->Int();
  const int exciter = GetParam(kExciter)->Int();
  const bool known = exciter >= 0 && exciter < 6;
  p.exciterFamily = known ? kFamily[exciter] : 2;
  p.exciterVariant = known ? kVariant[exciter] : 0;
  p.imprint = v(kImprint) / 100.0;
  p.bare = v(kBare) / 100.0;
  p.carve = v(kCarve) / 100.0;
  p.bodyDecay = v(kBodyDecay);
  p.reserved = 0.0;
  p.inharm = v(kInharm) / 100.0;
  p.sympathy = v(kSympathy) / 100.0;
  p.attackMs = v(kAttack);
  p.decayMs = v(kDecay);
  p.sustain = v(kSustain) / 100.0;
  p.releaseMs = v(kRelease);
  p.cutoffHz = v(kCutoff);
  p.resonance = v(kResonance) / 100.0;
  p.envAmtOct = v(kEnvAmt);
  p.lfoRateHz = v(kLfoRate);
  p.lfoAmtOct = v(kLfoAmt);
  p.glideMs = v(kGlide);
  const int quality = GetParam(kQuality)->Int();
  p.oversampling = quality == 2 ? 8 : (quality == 1 ? 4 : 1);
  p.tiltOffset = extras.tiltOffset.load(std::memory_order_relaxed);
  p.stretch = extras.stretch.load(std::memory_order_relaxed);
  p.selfExcite = extras.selfExcite.load(std::memory_order_relaxed);
  p.drive = extras.drive.load(std::memory_order_relaxed);
  p.keyTrack = 0.5;
  return p;
}

void Vorrel::trackerNoteOn(int note, int channel, double velocity01) {
  vorrel::mem::InkEvent event;
  if (tracker.noteOn(note, channel, velocity01, audioNow(), event)) pushInk(event);
}

// In real time the ring drops events when the idle timer falls 64 behind. A bounce runs many times faster than
// the timer drains it, and may wait and allocate: what the ring cannot take goes to the overflow list, and once
// that list holds anything every later event follows it, so the idle duty carves them in the order played.
void Vorrel::pushInk(const vorrel::mem::InkEvent& event) {
  if (!IsOffline()) {
    engraveRing.push(event);  // dropped when full
    return;
  }
  if (!inkOverflowUsed.load(std::memory_order_acquire) && engraveRing.push(event)) return;
  std::lock_guard<std::mutex> lock(inkOverflowMutex);
  if (inkOverflow.size() < kMaxInkOverflow) inkOverflow.push_back(event);
  inkOverflowUsed.store(true, std::memory_order_release);
}

void Vorrel::engineNoteOn(int note, int velocity) {
  syncTraceIfStale();  // a note at the start of a block already hears the memory as it now stands
  followBuses();       // a bus switched on since the last block gives this note its twin already
  engine->noteOn(note, velocity, snapshotVoiceParams(), GetParam(kVoices)->Int());
}

void Vorrel::engineNoteOff(int note) { engine->noteOff(note, GetParam(kDamper)->Value() / 100.0); }

void Vorrel::ProcessMidiMsg(const vfw::MidiMsg& msg) {
  const int kind = msg.StatusKind();
  const int channel = msg.Channel();
  const int note = msg.data1 & 0x7F;
  const bool mpe = !velocityLengthMode.load(std::memory_order_acquire);
  switch (kind) {
    case 9:
      if (msg.data2 > 0) {
        heldByPedal[static_cast<size_t>(note)] = false;
        noteOns.fetch_add(1, std::memory_order_relaxed);
        trackerNoteOn(note, channel, msg.data2 / 127.0);
        engineNoteOn(note, msg.data2);
        return;
      }
      [[fallthrough]];  // velocity 0 is a note-off
    case 8:
      if (tracker.isLastHeld(note, channel)) tracker.noteOff(audioNow());
      if (pedalDown) {
        heldByPedal[static_cast<size_t>(note)] = true;
      } else {
        engineNoteOff(note);
      }
      return;
    case 10:
      if (mpe && tracker.isLastHeld(note, channel)) tracker.pressure(msg.data2 / 127.0, audioNow());
      return;
    case 13:
      if (mpe && tracker.isLastHeldOn(channel)) tracker.pressure(msg.data1 / 127.0, audioNow());
      return;
    case 11:
      if (msg.data1 == 64) {
        const bool down = msg.data2 / 127.0 >= 0.5;
        if (!down && pedalDown) {
          for (int n = 0; n < 128; ++n) {
            if (!heldByPedal[static_cast<size_t>(n)]) continue;
            engineNoteOff(n);
            heldByPedal[static_cast<size_t>(n)] = false;
          }
        }
        pedalDown = down;
      } else if (msg.data1 == 123) {
        engine->releaseAllHeld();
      }
      return;
    case 12:
      pendingProgram.store(msg.data1 & 0x7F, std::memory_order_release);
      return;
    default:
      return;  // pitch bend, system messages and the rest are not used
  }
}

void Vorrel::OnNoteChoke(int key, int channel) {
  // Voices carry no channel, so a choke ends the key on every channel; the pedal no longer holds it.
  bool lastHeld = false;
  for (int c = channel < 0 ? 0 : channel; c <= (channel < 0 ? EngraveTracker::kPanelChannel : channel); ++c)
    lastHeld = lastHeld || tracker.isLastHeldOn(c);
  if (lastHeld && (key < 0 || key == tracker.lastNoteNumber())) tracker.noteOff(audioNow());
  for (int n = 0; n < 128; ++n)
    if (key < 0 || n == key) heldByPedal[static_cast<size_t>(n)] = false;
  engine->chokeNote(key);
}

bool Vorrel::GetVoiceInfo(uint32_t& count, uint32_t& capacity) const {
  count = static_cast<uint32_t>(std::clamp(GetParam(kVoices)->Int(), 1, vorrel::dsp::kNumVoices));
  capacity = vorrel::dsp::kNumVoices;
  return true;
}

void Vorrel::drainPanelQueue() {
  UiNoteEvent ev;
  const bool mpe = !velocityLengthMode.load(std::memory_order_acquire);
  while (panelQueue.pop(ev)) {
    const int kind = static_cast<int>(ev.code & 0xFF);
    const int note = static_cast<int>((ev.code >> 8) & 0x7F);
    const double s = std::isfinite(ev.value) ? std::clamp(static_cast<double>(ev.value), 0.0, 1.0) : 0.0;
    if (kind == 0) {
      const int velocity = static_cast<int>(std::clamp(std::lround(s * 127.0), 1l, 127l));
      noteOns.fetch_add(1, std::memory_order_relaxed);
      trackerNoteOn(note, EngraveTracker::kPanelChannel, velocity / 127.0);
      // The height of the click on the key is its pressure.
      if (mpe && tracker.isLastHeldOn(EngraveTracker::kPanelChannel)) tracker.pressure(s, audioNow());
      engineNoteOn(note, velocity);
    } else if (kind == 1) {
      if (tracker.isLastHeld(note, EngraveTracker::kPanelChannel)) tracker.noteOff(audioNow());
      engineNoteOff(note);  // the pedal does not hold panel notes
    } else if (kind == 2) {
      if (mpe && tracker.isLastHeldOn(EngraveTracker::kPanelChannel)) tracker.pressure(s, audioNow());
    }
  }
}
