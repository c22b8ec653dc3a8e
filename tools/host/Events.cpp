// Event list storage and the CLAP callbacks that read and fill it.
#include "Events.h"

#include <cstring>

namespace vhost {

InputEvents::InputEvents() {
  arena.reserve(1 << 14);
  offsets.reserve(1 << 10);
  clapList.ctx = this;
  clapList.size = [](const clap_input_events_t* l) { return static_cast<const InputEvents*>(l->ctx)->size(); };
  clapList.get = [](const clap_input_events_t* l, uint32_t i) {
    return static_cast<const InputEvents*>(l->ctx)->get(i);
  };
}

void InputEvents::clear() {
  arena.clear();
  offsets.clear();
}

void InputEvents::add(const clap_event_header_t* event) {
  const size_t words = (event->size + 7) / 8;
  offsets.push_back(arena.size());
  arena.resize(arena.size() + words, 0);
  std::memcpy(arena.data() + offsets.back(), event, event->size);
}

const clap_event_header_t* InputEvents::get(uint32_t i) const {
  if (i >= offsets.size()) return nullptr;
  return reinterpret_cast<const clap_event_header_t*>(arena.data() + offsets[i]);
}

void InputEvents::addMidi(uint32_t time, uint8_t status, uint8_t data1, uint8_t data2) {
  clap_event_midi_t ev{};
  ev.header.size = sizeof ev;
  ev.header.time = time;
  ev.header.space_id = CLAP_CORE_EVENT_SPACE_ID;
  ev.header.type = CLAP_EVENT_MIDI;
  ev.port_index = 0;
  ev.data[0] = status;
  ev.data[1] = data1;
  ev.data[2] = data2;
  add(&ev.header);
}

void InputEvents::addNote(uint16_t type, uint32_t time, int16_t key, int16_t channel, double velocity, int32_t noteId) {
  clap_event_note_t ev{};
  ev.header.size = sizeof ev;
  ev.header.time = time;
  ev.header.space_id = CLAP_CORE_EVENT_SPACE_ID;
  ev.header.type = type;
  ev.note_id = noteId;
  ev.port_index = 0;
  ev.channel = channel;
  ev.key = key;
  ev.velocity = velocity;
  add(&ev.header);
}

void InputEvents::addParam(uint32_t time, uint32_t paramId, double value, void* cookie, uint16_t spaceId) {
  clap_event_param_value_t ev{};
  ev.header.size = sizeof ev;
  ev.header.time = time;
  ev.header.space_id = spaceId;
  ev.header.type = CLAP_EVENT_PARAM_VALUE;
  ev.param_id = paramId;
  ev.cookie = cookie;
  ev.note_id = -1;
  ev.port_index = -1;
  ev.channel = -1;
  ev.key = -1;
  ev.value = value;
  add(&ev.header);
}

OutputEvents::OutputEvents() : storage(kCapacity * kMaxEventBytes / 8, 0) {
  clapList.ctx = this;
  clapList.try_push = tryPush;
}

bool OutputEvents::tryPush(const clap_output_events_t* list, const clap_event_header_t* event) {
  auto* self = static_cast<OutputEvents*>(list->ctx);
  if (!event || event->size > kMaxEventBytes || self->count >= kCapacity) {
    ++self->droppedCount;
    return false;
  }
  std::memcpy(self->storage.data() + self->count * (kMaxEventBytes / 8), event, event->size);
  ++self->count;
  return true;
}

const clap_event_header_t* OutputEvents::get(size_t i) const {
  if (i >= count) return nullptr;
  return reinterpret_cast<const clap_event_header_t*>(storage.data() + i * (kMaxEventBytes / 8));
}

}  // namespace vhost
