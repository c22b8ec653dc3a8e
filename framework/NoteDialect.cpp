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
  int key = 0, channel = 0;
  double value = 0.0;
  if (hdr->type == CLAP_EVENT_NOTE_EXPRESSION) {
    if (hdr->size < sizeof(clap_event_note_expression_t)) return;
    const auto* ev = reinterpret_cast<const clap_event_note_expression_t*>(hdr);
    // Pressure is the only expression this instrument plays; it feeds the poly-aftertouch path.
    if (ev->expression_id != CLAP_NOTE_EXPRESSION_PRESSURE) return;
    key = ev->key;
    channel = ev->channel;
    value = ev->value;
  } else {
    if (hdr->size < sizeof(clap_event_note_t)) return;
    const auto* ev = reinterpret_cast<const clap_event_note_t*>(hdr);
    key = ev->key;
    channel = ev->channel;
    value = ev->velocity;
  }
  if (key < -1 || key > 127 || channel < -1 || channel > 15) return;
  if (hdr->type == CLAP_EVENT_NOTE_CHOKE) {
    OnNoteChoke(key, channel);
    return;
  }
  MidiMsg msg;
  msg.offset = offset;
  if (hdr->type == CLAP_EVENT_NOTE_ON) {
    if (key < 0) return;  // a note-on names one key
    // Velocity 0 would read as a note-off to every MIDI reader, so the quietest note-on is 1.
    msg.status = static_cast<uint8_t>(0x90 | std::max(0, channel));
    msg.data1 = static_cast<uint8_t>(key);
    msg.data2 = std::max<uint8_t>(1, seven(value));
    ProcessMidiMsg(msg);
    return;
  }
  // Note-off and pressure address every matching note: -1 stands for all keys or all channels.
  const uint8_t kind = hdr->type == CLAP_EVENT_NOTE_OFF ? 0x80 : 0xA0;
  msg.data2 = seven(value);
  for (int c = channel < 0 ? 0 : channel; c <= (channel < 0 ? 15 : channel); ++c) {
    msg.status = static_cast<uint8_t>(kind | c);
    for (int k = key < 0 ? 0 : key; k <= (key < 0 ? 127 : key); ++k) {
      msg.data1 = static_cast<uint8_t>(k);
      ProcessMidiMsg(msg);
    }
  }
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
