// A three-byte MIDI channel message as the framework hands it to the plug-in.
#pragma once

#include <cstdint>

namespace vfw {

struct MidiMsg {
  int offset = 0;  // frame within the block it arrived in
  uint8_t status = 0;
  uint8_t data1 = 0;
  uint8_t data2 = 0;

  int StatusKind() const { return status >> 4; }  // 8 note-off .. 14 pitch bend, 15 system
  int Channel() const { return status & 0x0F; }
};

}  // namespace vfw
