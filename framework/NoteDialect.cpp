// CLAP's own note dialect turned into the MIDI the plug-in reads, plus voice info and output-bus activation.
#include "Plugin.h"

#include <algorithm>
#include <cmath>

namespace vfw {
namespace {

uint8_t seven(double v) {
  const double x = std::isfinite(v) ? std::clamp(v, 0.0, 1.0) : 0.0;
  return static_cast<uint8_t>(std::lround(x * 127.0));
}

}  // namespace

void Plugin::handleClapNote(const clap_event_header_t* hdr, int offset) {
  int key = 0, channel = 0, noteId = -1, port = -1;
  double value = 0.0;
  if (hdr->type == CLAP_EVENT_NOTE_EXPRESSION) {
    if (hdr->size < sizeof(clap_event_note_expression_t)) return;
    const auto* ev = reinterpret_cast<const clap_event_note_expression_t*>(hdr);
    // Pressure is the only expression this instrument plays; it feeds the poly-aftertouch path.
    if (ev->expression_id != CLAP_NOTE_EXPRESSION_PRESSURE) return;
    key = ev->key;
    channel = ev->channel;
    noteId = ev->note_id;
    port = ev->port_index;
    value = ev->value;
  } else {
    if (hdr->size < sizeof(clap_event_note_t)) return;
    const auto* ev = reinterpret_cast<const clap_event_note_t*>(hdr);
    key = ev->key;
    channel = ev->channel;
    noteId = ev->note_id;
    port = ev->port_index;
    value = ev->velocity;
  }
  // One note input port, index 0; -1 addresses every port.
  if (port < -1 || port > 0) return;
  if (key < -1 || key > 127 || channel < -1 || channel > 15) return;
  const bool ends = hdr->type == CLAP_EVENT_NOTE_OFF || hdr->type == CLAP_EVENT_NOTE_CHOKE;
  if (hdr->type == CLAP_EVENT_NOTE_ON) {
    if (key < 0) return;  // a note-on names one key
    const int ch = std::max(0, channel);
    if (noteId >= 0) {
      // The oldest entry gives way when the host never ends its notes by id.
      NoteIdSlot* slot = &noteIds[noteIdCursor];
      for (NoteIdSlot& s : noteIds)
        if (s.id < 0) {
          slot = &s;
          break;
        }
      if (slot == &noteIds[noteIdCursor]) noteIdCursor = (noteIdCursor + 1) % kNoteIdSlots;
      *slot = {noteId, static_cast<int16_t>(key), static_cast<int16_t>(ch)};
    }
    // Velocity 0 would read as a note-off to every MIDI reader, so the quietest note-on is 1.
    MidiMsg msg;
    msg.offset = offset;
    msg.status = static_cast<uint8_t>(0x90 | ch);
    msg.data1 = static_cast<uint8_t>(key);
    msg.data2 = std::max<uint8_t>(1, seven(value));
    ProcessMidiMsg(msg);
    return;
  }
  auto matches = [key, channel](const NoteIdSlot& s) {
    return s.id >= 0 && (key < 0 || s.key == key) && (channel < 0 || s.channel == channel);
  };
  if (noteId < 0) {
    // Any id: every matching key on every matching channel, and their ids are forgotten.
    if (ends) forgetNoteIds(key, channel);
    if (hdr->type == CLAP_EVENT_NOTE_CHOKE) {
      OnNoteChoke(key, channel);
      return;
    }
    for (int c = channel < 0 ? 0 : channel; c <= (channel < 0 ? 15 : channel); ++c)
      for (int k = key < 0 ? 0 : key; k <= (key < 0 ? 127 : key); ++k) sendNoteEvent(hdr->type, k, c, value, offset);
    return;
  }
  // By id: only the notes this id started. A key another id still holds keeps sounding, since the voices
  // tell notes apart by key alone.
  for (NoteIdSlot& s : noteIds) {
    if (!matches(s) || s.id != noteId) continue;
    const int k = s.key, c = s.channel;
    if (ends) {
      s.id = -1;
      bool shared = false;
      for (const NoteIdSlot& o : noteIds) shared = shared || (o.id >= 0 && o.key == k && o.channel == c);
      if (shared) continue;
    }
    sendNoteEvent(hdr->type, k, c, value, offset);
  }
}

void Plugin::forgetNoteIds(int key, int channel) {
  for (NoteIdSlot& s : noteIds)
    if ((key < 0 || s.key == key) && (channel < 0 || s.channel == channel)) s.id = -1;
}

void Plugin::sendNoteEvent(uint16_t type, int key, int channel, double value, int offset) {
  if (type == CLAP_EVENT_NOTE_CHOKE) {
    OnNoteChoke(key, channel);
    return;
  }
  MidiMsg msg;
  msg.offset = offset;
  msg.status = static_cast<uint8_t>((type == CLAP_EVENT_NOTE_OFF ? 0x80 : 0xA0) | channel);
  msg.data1 = static_cast<uint8_t>(key);
  msg.data2 = seven(value);
  ProcessMidiMsg(msg);
}

void Plugin::VoiceInfoMaybeChanged() {
  uint32_t count = 0, capacity = 0;
  if (!GetVoiceInfo(count, capacity)) return;
  if (announcedVoiceCount.exchange(count, std::memory_order_acq_rel) != static_cast<int64_t>(count))
    requestOnMainThread(kRequestVoiceInfo);
}

bool Plugin::IsOutputBusActive(int bus) const {
  if (bus < 0 || bus >= BusLayout::kMaxBuses) return false;
  return !((inactiveOutputBuses.load(std::memory_order_acquire) >> bus) & 1u);
}

bool Plugin::SetOutputBusActive(int bus, bool on) {
  if (bus < 0 || bus >= ActiveLayout().nOutputBuses) return false;
  const uint32_t bit = 1u << bus;
  if (on) {
    inactiveOutputBuses.fetch_and(~bit, std::memory_order_acq_rel);
  } else {
    inactiveOutputBuses.fetch_or(bit, std::memory_order_acq_rel);
  }
  return true;
}

}  // namespace vfw
