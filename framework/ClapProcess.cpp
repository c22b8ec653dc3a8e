// Activation, block processing with CLAP events turned into MIDI and parameter changes, and the state streams.
#include "Plugin.h"

#include <clap/ext/gui.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace vfw {
namespace {

// Largest state we accept from a host stream; far above any real chunk, small enough to refuse junk quickly.
constexpr size_t kMaxStateBytes = 64u << 20;
// Conversion buffers for 32-bit hosts are capped; longer blocks render in pieces.
constexpr int kMaxScratchFrames = 1 << 16;

}  // namespace

void Plugin::queryHostExtensions() {
  if (!host || !host->get_extension) return;
  hostThreadCheck = static_cast<const clap_host_thread_check_t*>(host->get_extension(host, CLAP_EXT_THREAD_CHECK));
  hostParams = static_cast<const clap_host_params_t*>(host->get_extension(host, CLAP_EXT_PARAMS));
  hostState = static_cast<const clap_host_state_t*>(host->get_extension(host, CLAP_EXT_STATE));
  hostGui = static_cast<const clap_host_gui_t*>(host->get_extension(host, CLAP_EXT_GUI));
  hostVoiceInfo = static_cast<const clap_host_voice_info_t*>(host->get_extension(host, CLAP_EXT_VOICE_INFO));
  uint32_t count = 0, capacity = 0;
  if (GetVoiceInfo(count, capacity)) announcedVoiceCount.store(count, std::memory_order_relaxed);
}

bool Plugin::activate(double rate, uint32_t, uint32_t maxFrames) {
  if (IsActive() || !std::isfinite(rate) || rate <= 0.0) return false;
  sampleRate.store(rate, std::memory_order_relaxed);
  const int frames = static_cast<int>(std::clamp<uint32_t>(maxFrames, 1u, static_cast<uint32_t>(kMaxScratchFrames)));
  blockSize.store(frames, std::memory_order_relaxed);
  scratchFrames = frames;
  scratch.assign(static_cast<size_t>(kMaxOutputChannels) * static_cast<size_t>(frames), 0.0);
  for (NoteIdSlot& s : noteIds) s.id = -1;  // no note sounds after a restart
  OnReset();
  active.store(true, std::memory_order_release);
  return true;
}

void Plugin::deactivate() {
  processing.store(false, std::memory_order_release);
  active.store(false, std::memory_order_release);
}

void Plugin::handleEvent(const clap_event_header_t* hdr, uint32_t blockFrames, bool inProcess) {
  if (!hdr || hdr->space_id != CLAP_CORE_EVENT_SPACE_ID) return;
  const int offset = static_cast<int>(std::min(hdr->time, blockFrames > 0 ? blockFrames - 1 : 0u));
  switch (hdr->type) {
    case CLAP_EVENT_NOTE_ON:
    case CLAP_EVENT_NOTE_OFF:
    case CLAP_EVENT_NOTE_CHOKE:
    case CLAP_EVENT_NOTE_EXPRESSION:
      if (inProcess) handleClapNote(hdr, offset);
      return;
    case CLAP_EVENT_MIDI: {
      if (!inProcess || hdr->size < sizeof(clap_event_midi_t)) return;
      const auto* ev = reinterpret_cast<const clap_event_midi_t*>(hdr);
      if (ev->port_index != 0 && ev->port_index != UINT16_MAX) return;  // our one note port, or any
      MidiMsg msg;
      msg.offset = offset;
      msg.status = ev->data[0];
      msg.data1 = ev->data[1] & 0x7F;
      msg.data2 = ev->data[2] & 0x7F;
      // A note ended in MIDI no longer holds its key for an id (all notes off: every key).
      const int kind = msg.StatusKind();
      if (kind == 8 || (kind == 9 && msg.data2 == 0)) forgetNoteIds(msg.data1, msg.Channel());
      if (kind == 11 && msg.data1 == 123) forgetNoteIds(-1, -1);
      ProcessMidiMsg(msg);
      return;
    }
    case CLAP_EVENT_PARAM_VALUE: {
      if (hdr->size < sizeof(clap_event_param_value_t)) return;
      const auto* ev = reinterpret_cast<const clap_event_param_value_t*>(hdr);
      Param* param = ParamOrNull(static_cast<int64_t>(ev->param_id));
      if (!param) return;
      param->Set(ev->value);
      OnParamChange(static_cast<int>(ev->param_id), ParamSource::Host, offset);
      VoiceInfoMaybeChanged();
      return;
    }
    default:
      return;  // SysEx, transport: not used
  }
}

clap_process_status Plugin::process(const clap_process_t* pr) {
  if (!pr || !IsActive()) return CLAP_PROCESS_ERROR;
  const uint32_t frames = pr->frames_count;
  const BusLayout& layout = ActiveLayout();

  // Where each of our channels goes: straight into a 64-bit host buffer, or via scratch into a 32-bit one.
  double* direct[kMaxOutputChannels] = {};
  float* narrow[kMaxOutputChannels] = {};
  uint32_t connected = 0;
  int channel = 0;
  for (uint32_t port = 0; port < pr->audio_outputs_count && pr->audio_outputs; ++port) {
    clap_audio_buffer_t& buf = pr->audio_outputs[port];
    const bool inLayout = static_cast<int>(port) < layout.nOutputBuses;
    const int ours = inLayout ? layout.outputChannels[port] : 0;
    for (uint32_t c = 0; c < buf.channel_count; ++c) {
      double* d = buf.data64 ? buf.data64[c] : nullptr;
      float* f = buf.data32 ? buf.data32[c] : nullptr;
      const bool mine = static_cast<int>(c) < ours && channel + static_cast<int>(c) < kMaxOutputChannels;
      if (!mine) {
        // Channels outside the chosen layout are silenced, never left with garbage.
        if (d) std::memset(d, 0, sizeof(double) * frames);
        if (f) std::memset(f, 0, sizeof(float) * frames);
        continue;
      }
      const int ch = channel + static_cast<int>(c);
      if (d) {
        direct[ch] = d;
        connected |= 1u << ch;
      } else if (f) {
        narrow[ch] = f;
        connected |= 1u << ch;
      }
    }
    buf.constant_mask = 0;
    channel += ours;
  }
  connectedMask = connected;

  const clap_input_events_t* in = pr->in_events;
  const uint32_t nEvents = (in && in->size) ? in->size(in) : 0;
  uint32_t ev = 0;
  uint32_t pos = 0;
  double* inputs[kMaxOutputChannels] = {};
  double* outputs[kMaxOutputChannels] = {};
  for (;;) {
    // Events due by now are handled before the piece of block that starts here.
    while (ev < nEvents) {
      const clap_event_header_t* hdr = in->get(in, ev);
      if (hdr && hdr->time > pos && hdr->time < frames) break;
      handleEvent(hdr, frames, true);
      ++ev;
    }
    if (pos >= frames) break;
    uint32_t end = std::min(frames, pos + static_cast<uint32_t>(scratchFrames));
    if (ev < nEvents) {
      const clap_event_header_t* hdr = in->get(in, ev);
      if (hdr) end = std::min(end, hdr->time);
    }
    const uint32_t n = end - pos;
    for (int c = 0; c < kMaxOutputChannels; ++c) {
      if (direct[c]) {
        outputs[c] = direct[c] + pos;
      } else if (narrow[c]) {
        outputs[c] = scratch.data() + static_cast<size_t>(c) * static_cast<size_t>(scratchFrames);
      } else {
        outputs[c] = nullptr;
      }
    }
    ProcessBlock(inputs, outputs, static_cast<int>(n));
    for (int c = 0; c < kMaxOutputChannels; ++c) {
      if (!narrow[c]) continue;
      const double* src = outputs[c];
      float* dst = narrow[c] + pos;
      for (uint32_t i = 0; i < n; ++i) dst[i] = static_cast<float>(src[i]);
    }
    pos = end;
  }
  drainOutEvents(pr->out_events);
  return CLAP_PROCESS_CONTINUE;
}

void Plugin::flushParams(const clap_input_events_t* in, const clap_output_events_t* out) {
  const uint32_t n = (in && in->size) ? in->size(in) : 0;
  for (uint32_t i = 0; i < n; ++i) handleEvent(in->get(in, i), 1, false);
  drainOutEvents(out);
}

bool Plugin::saveState(const clap_ostream_t* stream) {
  if (!stream || !stream->write) return false;
  ByteChunk chunk;
  if (!SerializeState(chunk)) return false;
  const uint8_t* p = chunk.Data();
  uint64_t left = chunk.Size();
  while (left > 0) {
    const int64_t wrote = stream->write(stream, p, left);
    if (wrote <= 0 || static_cast<uint64_t>(wrote) > left) return false;
    p += wrote;
    left -= static_cast<uint64_t>(wrote);
  }
  return true;
}

bool Plugin::loadState(const clap_istream_t* stream) {
  if (!stream || !stream->read) return false;
  ByteChunk chunk;
  uint8_t buf[4096];
  for (;;) {
    const int64_t got = stream->read(stream, buf, sizeof buf);
    if (got == 0) break;
    if (got < 0 || static_cast<uint64_t>(got) > sizeof buf) return false;
    if (chunk.Size() + static_cast<size_t>(got) > kMaxStateBytes) return false;
    chunk.PutBytes(buf, static_cast<size_t>(got));
  }
  if (UnserializeState(chunk, 0) < 0) return false;
  OnRestoreState();
  return true;
}

}  // namespace vfw
