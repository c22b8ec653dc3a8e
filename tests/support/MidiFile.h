// A format-0 Standard MIDI File at 480 ticks a quarter (120 bpm), for tests that feed our host a phrase.
#pragma once

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace vtest {

// Writes events (delta times and messages, as in a track chunk) to path with the end-of-track meta event
// appended; returns path.
inline std::string writeMidiFile(const std::string& path, std::vector<uint8_t> events) {
  for (uint8_t b : {0x00, 0xFF, 0x2F, 0x00}) events.push_back(b);
  std::ofstream f(path, std::ios::binary);
  const uint8_t head[] = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0x01, 0xE0, 'M', 'T', 'r', 'k'};
  f.write(reinterpret_cast<const char*>(head), sizeof head);
  const uint32_t n = static_cast<uint32_t>(events.size());
  const uint8_t len[] = {uint8_t(n >> 24), uint8_t(n >> 16), uint8_t(n >> 8), uint8_t(n)};
  f.write(reinterpret_cast<const char*>(len), 4);
  f.write(reinterpret_cast<const char*>(events.data()), static_cast<std::streamsize>(events.size()));
  return path;
}

}  // namespace vtest
