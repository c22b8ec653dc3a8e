// Plays timed MIDI through an instance block by block and collects every output channel.
#pragma once

#include "ClapHost.h"
#include "MidiSource.h"

#include <string>
#include <utility>
#include <vector>

namespace vhost {

struct RenderOptions {
  double sampleRate = 48000.0;
  uint32_t blockSize = 512;
  uint32_t configIndex = 0;  // audio-ports configuration; 0 = the plug-in's first
  bool use64 = false;
  double tailSeconds = 2.0;                        // rendered after the last event
  std::vector<std::pair<clap_id, double>> params;  // set at the first block
  bool offline = true;                             // a bounce: told to the plug-in through its render extension
  double pace = 0.0;  // at most this many times real time (blocks wait for the wall clock); 0 = as fast as it can
};

struct RenderResult {
  std::vector<std::vector<float>> channels;  // port-major: port 0 L, port 0 R, port 1 L, ...
  std::vector<std::string> portNames;
  double audioSeconds = 0.0;
  double cpuSeconds = 0.0;
  double realtimeFactor() const { return cpuSeconds > 0.0 ? audioSeconds / cpuSeconds : 0.0; }
};

// Activates, renders and deactivates; the instance is left deactivated.
bool render(Instance& inst, const std::vector<TimedMidi>& midi, const RenderOptions& opts, RenderResult& result,
            std::string& error);

// Writes channels [first, first + count) as one WAV file (32-bit float) through libsndfile.
bool writeWav(const std::string& path, const RenderResult& r, size_t first, size_t count, double sampleRate,
              std::string& error);

}  // namespace vhost
