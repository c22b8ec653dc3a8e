// The demo phrase, and Standard MIDI File reading through libsmf (which applies the tempo map for us).
#include "MidiSource.h"

#include <smf.h>

#include <algorithm>

namespace vhost {
namespace {

void note(std::vector<TimedMidi>& out, double start, double length, int key, int velocity, int channel = 0) {
  out.push_back(
      {start, static_cast<uint8_t>(0x90 | channel), static_cast<uint8_t>(key), static_cast<uint8_t>(velocity)});
  out.push_back({start + length, static_cast<uint8_t>(0x80 | channel), static_cast<uint8_t>(key), 0});
}

void pedal(std::vector<TimedMidi>& out, double at, bool down) {
  out.push_back({at, 0xB0, 64, static_cast<uint8_t>(down ? 127 : 0)});
}

}  // namespace

std::vector<TimedMidi> demoPhrase() {
  std::vector<TimedMidi> out;
  const double beat = 0.5;  // 120 bpm
  // Bars 1-2: a rising fifth and fourth repeated, so the same intervals engrave again and again.
  const int motif[] = {50, 57, 62, 57, 50, 57, 62, 69};
  for (int i = 0; i < 8; ++i) note(out, i * beat, beat * 0.9, motif[i], 90 + (i % 3) * 10);
  // Bars 3-4: chords under a held pedal.
  pedal(out, 4.0, true);
  const int chords[4][4] = {{50, 57, 62, 66}, {47, 54, 59, 62}, {43, 50, 55, 59}, {45, 52, 57, 61}};
  for (int c = 0; c < 4; ++c)
    for (int k = 0; k < 4; ++k) note(out, 4.0 + c * 2 * beat + k * 0.03, beat * 1.2, chords[c][k], 80 + k * 8);
  pedal(out, 8.0, false);
  // Bars 5-6: the motif an octave up, then a long low fifth left to ring.
  for (int i = 0; i < 8; ++i) note(out, 8.0 + i * beat, beat * 0.8, motif[i] + 12, 100);
  note(out, 12.0, 3.0, 38, 110);
  note(out, 12.05, 3.0, 45, 100);
  std::stable_sort(out.begin(), out.end(),
                   [](const TimedMidi& a, const TimedMidi& b) { return a.seconds < b.seconds; });
  return out;
}

bool readMidiFile(const std::string& path, std::vector<TimedMidi>& out, std::string& error) {
  smf_t* smf = smf_load(path.c_str());
  if (!smf) {
    error = "cannot read MIDI file " + path;
    return false;
  }
  out.clear();
  smf_rewind(smf);
  while (smf_event_t* ev = smf_get_next_event(smf)) {
    if (smf_event_is_metadata(ev) || ev->midi_buffer_length < 2 || ev->midi_buffer_length > 3) continue;
    const uint8_t status = ev->midi_buffer[0];
    if (status < 0x80 || status >= 0xF0) continue;
    const uint8_t d1 = ev->midi_buffer[1];
    const uint8_t d2 = ev->midi_buffer_length > 2 ? ev->midi_buffer[2] : 0;
    out.push_back({ev->time_seconds, status, d1, d2});
  }
  smf_delete(smf);
  return true;
}

}  // namespace vhost
