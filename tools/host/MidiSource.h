// What the renderer plays: the built-in demo phrase, or the channel messages of a Standard MIDI File.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vhost {

struct TimedMidi {
  double seconds;
  uint8_t status;
  uint8_t data1;
  uint8_t data2;
};

// Chords, a held pedal and repeated intervals, about 16 seconds.
std::vector<TimedMidi> demoPhrase();
// Channel messages in time order with the file's tempo map applied; false when the file cannot be read.
bool readMidiFile(const std::string& path, std::vector<TimedMidi>& out, std::string& error);

}  // namespace vhost
