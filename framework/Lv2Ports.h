// Where each LV2 port of a plug-in sits: the MIDI input, the audio outputs of the widest layout, one control per
// parameter. The adapter and the Turtle writer both read it, so the binary and its description cannot disagree.
#pragma once

#include "Config.h"

#include <cstdint>
#include <string>

namespace vfw {

struct Lv2Ports {
  static constexpr uint32_t kNone = UINT32_MAX;
  uint32_t midiIn = kNone;  // atom:Sequence of midi:MidiEvent, when the plug-in takes MIDI
  uint32_t firstAudio = 0;
  uint32_t nAudio = 0;  // channels of every output bus of the widest layout, bus by bus, left before right
  uint32_t firstControl = 0;
  uint32_t nControl = 0;  // one control input per parameter, in index order
  uint32_t count = 0;
  int layoutIndex = 0;  // the channel I/O layout the ports describe
};

Lv2Ports lv2Ports(const Config& config);

// State keys, derived from the plug-in URI so that every LV2 plug-in of the framework has its own.
inline std::string lv2ChunkKey(const char* pluginUri) { return std::string(pluginUri) + ":chunk"; }
inline std::string lv2PresetKey(const char* pluginUri) { return std::string(pluginUri) + ":preset"; }

}  // namespace vfw
