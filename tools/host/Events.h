// CLAP input and output event lists with storage reserved up front, so process() itself never allocates.
#pragma once

#include <clap/events.h>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vhost {

class InputEvents {
 public:
  InputEvents();
  void clear();
  // Copies the event (header->size bytes); events must be added in time order.
  void add(const clap_event_header_t* event);
  void addMidi(uint32_t time, uint8_t status, uint8_t data1, uint8_t data2);
  void addNote(uint16_t type, uint32_t time, int16_t key, int16_t channel, double velocity, int32_t noteId = -1);
  void addParam(uint32_t time, uint32_t paramId, double value, void* cookie = nullptr, uint16_t spaceId = 0);
  uint32_t size() const { return static_cast<uint32_t>(offsets.size()); }
  const clap_event_header_t* get(uint32_t i) const;
  const clap_input_events_t* list() const { return &clapList; }

 private:
  std::vector<uint64_t> arena;  // 8-byte aligned event storage
  std::vector<size_t> offsets;
  clap_input_events_t clapList{};
};

class OutputEvents {
 public:
  static constexpr size_t kCapacity = 4096;
  static constexpr size_t kMaxEventBytes = 128;

  OutputEvents();
  void clear() { count = 0; }
  size_t size() const { return count; }
  const clap_event_header_t* get(size_t i) const;
  size_t dropped() const { return droppedCount; }
  const clap_output_events_t* list() const { return &clapList; }

 private:
  static bool tryPush(const clap_output_events_t* list, const clap_event_header_t* event);
  std::vector<uint64_t> storage;  // kCapacity slots of kMaxEventBytes
  size_t count = 0;
  size_t droppedCount = 0;
  clap_output_events_t clapList{};
};

}  // namespace vhost
