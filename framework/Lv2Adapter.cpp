// LV2 instances of a vfw::Plugin: block processing with MIDI from an atom sequence, control ports as host
// parameter changes, output buses that follow what the host connected, and the project chunk as LV2 state.
#include "Lv2Adapter.h"

#include "ClapExtras.h"
#include "Lv2Ports.h"
#include "Plugin.h"

#include <lv2/atom/atom.h>
#include <lv2/atom/util.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/midi/midi.h>
#include <lv2/options/options.h>
#include <lv2/state/state.h>
#include <lv2/urid/urid.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <new>
#include <string>
#include <vector>

namespace vfw {

// Friend of Plugin: reaches the same activation, bus and connection state the CLAP adapter uses.
struct Lv2Adapter {
  // Blocks are rendered in pieces of at most this many frames unless the host announces a longer maximum.
  static constexpr int kDefaultMaxFrames = 8192;
  // Largest state we accept from a host; far above any real chunk.
  static constexpr size_t kMaxStateBytes = 64u << 20;

  struct Instance {
    Plugin* plug = nullptr;
    Lv2Ports ports;
    double rate = 48000.0;
    int maxFrames = kDefaultMaxFrames;
    LV2_URID midiEvent = 0, atomChunk = 0, atomString = 0, chunkKey = 0, presetKey = 0;
    // Port buffers: set by connect_port, read by run (both in the host's audio class, never concurrent).
    const LV2_Atom_Sequence* midiIn = nullptr;
    float* audio[Plugin::kMaxOutputChannels] = {};
    std::vector<const float*> controls;
    // Audio thread: the value each control port had when run last looked, so that only host moves count.
    std::vector<float> lastSeen;
    // Set by a state restore (main thread), taken by the next run: the port values the host sets along with
    // a restored state are taken as they are, since the restored state is the truth.
    std::atomic<bool> absorbControls{false};
  };

  static Instance* self(LV2_Handle h) { return static_cast<Instance*>(h); }

  static LV2_Handle instantiate(const LV2_Descriptor* desc, double rate, const char*,
                                const LV2_Feature* const* features) {
    if (!desc || !std::isfinite(rate) || rate <= 0.0) return nullptr;
    const LV2_URID_Map* map = nullptr;
    const LV2_Options_Option* options = nullptr;
    for (int i = 0; features && features[i]; ++i) {
      if (!std::strcmp(features[i]->URI, LV2_URID__map)) map = static_cast<const LV2_URID_Map*>(features[i]->data);
      if (!std::strcmp(features[i]->URI, LV2_OPTIONS__options))
        options = static_cast<const LV2_Options_Option*>(features[i]->data);
    }
    if (!map || !map->map) return nullptr;  // lv2:requiredFeature urid:map
    auto* inst = new (std::nothrow) Instance;
    if (!inst) return nullptr;
    try {
      const auto urid = [map](const char* uri) { return map->map(map->handle, uri); };
      inst->rate = rate;
      inst->midiEvent = urid(LV2_MIDI__MidiEvent);
      inst->atomChunk = urid(LV2_ATOM__Chunk);
      inst->atomString = urid(LV2_ATOM__String);
      inst->chunkKey = urid(lv2ChunkKey(desc->URI).c_str());
      inst->presetKey = urid(lv2PresetKey(desc->URI).c_str());
      const LV2_URID atomInt = urid(LV2_ATOM__Int);
      const LV2_URID maxBlock = urid(LV2_BUF_SIZE__maxBlockLength);
      const LV2_URID nominalBlock = urid(LV2_BUF_SIZE__nominalBlockLength);
      int announcedMax = 0, nominal = 0;
      for (const LV2_Options_Option* o = options; o && o->key; ++o) {
        if (o->type != atomInt || o->size != sizeof(int32_t) || !o->value) continue;
        const int32_t v = *static_cast<const int32_t*>(o->value);
        if (o->key == maxBlock) announcedMax = v;
        if (o->key == nominalBlock) nominal = v;
      }
      // Never below the default: a host may run longer blocks than it announced, and a block cut into pieces
      // would not sound exactly like the same block whole.
      inst->maxFrames = std::max({announcedMax, nominal, kDefaultMaxFrames});

      InstanceInfo info;  // no CLAP descriptor or host: host notifications simply have no one to reach
      inst->plug = MakePlug(info);
      if (!inst->plug) {
        delete inst;
        return nullptr;
      }
      inst->ports = lv2Ports(inst->plug->GetConfig());
      inst->plug->SelectLayout(inst->ports.layoutIndex);
      inst->controls.assign(inst->ports.nControl, nullptr);
      inst->lastSeen.resize(inst->ports.nControl);
      for (uint32_t i = 0; i < inst->ports.nControl; ++i)
        inst->lastSeen[i] = static_cast<float>(inst->plug->GetParam(static_cast<int>(i))->GetDefault());
    } catch (...) {
      delete inst->plug;
      delete inst;
      return nullptr;
    }
    inst->plug->StartIdleTimer();
    return inst;
  }

  static void connectPort(LV2_Handle h, uint32_t port, void* data) {
    Instance* inst = self(h);
    const Lv2Ports& p = inst->ports;
    if (port == p.midiIn) {
      inst->midiIn = static_cast<const LV2_Atom_Sequence*>(data);
    } else if (port >= p.firstAudio && port < p.firstAudio + p.nAudio) {
      inst->audio[port - p.firstAudio] = static_cast<float*>(data);
    } else if (port >= p.firstControl && port < p.firstControl + p.nControl) {
      inst->controls[port - p.firstControl] = static_cast<const float*>(data);
    }
  }

  static void activate(LV2_Handle h) {
    Instance* inst = self(h);
    inst->plug->activate(inst->rate, 1, static_cast<uint32_t>(std::max(1, inst->maxFrames)));
  }

  static void deactivate(LV2_Handle h) { self(h)->plug->deactivate(); }

  static void cleanup(LV2_Handle h) {
    Instance* inst = self(h);
    if (inst->plug->IsActive()) inst->plug->deactivate();
    delete inst->plug;  // stops the idle timer first
    delete inst;
  }

  // Host moves of the control ports become parameter changes, as CLAP parameter events do.
  static void readControls(Instance& inst) {
    const bool absorb = inst.absorbControls.exchange(false, std::memory_order_acq_rel);
    bool changed = false;
    for (uint32_t i = 0; i < inst.ports.nControl; ++i) {
      const float* port = inst.controls[i];
      if (!port) continue;
      const float v = *port;
      if (absorb) {
        inst.lastSeen[i] = v;
        continue;
      }
      if (v == inst.lastSeen[i] || !std::isfinite(v)) continue;
      inst.lastSeen[i] = v;
      inst.plug->GetParam(static_cast<int>(i))->Set(v);
      inst.plug->OnParamChange(static_cast<int>(i), ParamSource::Host, 0);
      changed = true;
    }
    if (changed) inst.plug->VoiceInfoMaybeChanged();
  }

  // Buses beyond the first are on while the host has every channel of them connected (lv2:connectionOptional).
  static void followConnections(Instance& inst) {
    Plugin& plug = *inst.plug;
    uint32_t connected = 0;
    for (uint32_t c = 0; c < inst.ports.nAudio; ++c)
      if (inst.audio[c]) connected |= 1u << c;
    plug.connectedMask = connected;
    const BusLayout& layout = plug.ActiveLayout();
    int first = 0;
    for (int b = 0; b < layout.nOutputBuses; ++b) {
      const uint32_t mask = ((1u << layout.outputChannels[b]) - 1u) << first;
      first += layout.outputChannels[b];
      if (b == 0) continue;
      const bool on = (connected & mask) == mask;
      if (on != plug.IsOutputBusActive(b)) plug.SetOutputBusActive(b, on);
    }
  }

  // Renders frames [from, to) in pieces no longer than the buffers sized at activate.
  static void render(Instance& inst, uint32_t from, uint32_t to) {
    Plugin& plug = *inst.plug;
    const auto piece = static_cast<uint32_t>(std::max(1, plug.scratchFrames));
    double* inputs[Plugin::kMaxOutputChannels] = {};
    double* outputs[Plugin::kMaxOutputChannels] = {};
    while (from < to) {
      const uint32_t n = std::min(piece, to - from);
      for (uint32_t c = 0; c < inst.ports.nAudio; ++c)
        outputs[c] = inst.audio[c] ? plug.scratch.data() + static_cast<size_t>(c) * static_cast<size_t>(piece) : nullptr;
      plug.ProcessBlock(inputs, outputs, static_cast<int>(n));
      for (uint32_t c = 0; c < inst.ports.nAudio; ++c) {
        if (!inst.audio[c]) continue;
        float* dst = inst.audio[c] + from;
        for (uint32_t i = 0; i < n; ++i) dst[i] = static_cast<float>(outputs[c][i]);
      }
      from += n;
    }
  }

  static void handleMidi(Instance& inst, const LV2_Atom_Event* ev, uint32_t frames) {
    if (ev->body.type != inst.midiEvent || ev->body.size < 1) return;
    const auto* bytes = reinterpret_cast<const uint8_t*>(ev + 1);
    // Channel messages only; system messages (and stray data bytes) are not ours.
    if (bytes[0] < 0x80 || bytes[0] >= 0xF0) return;
    MidiMsg msg;
    msg.offset = static_cast<int>(std::min<int64_t>(std::max<int64_t>(0, ev->time.frames), frames ? frames - 1 : 0));
    msg.status = bytes[0];
    msg.data1 = ev->body.size > 1 ? (bytes[1] & 0x7F) : 0;
    msg.data2 = ev->body.size > 2 ? (bytes[2] & 0x7F) : 0;
    inst.plug->ProcessMidiMsg(msg);
  }

  static void run(LV2_Handle h, uint32_t frames) {
    Instance& inst = *self(h);
    if (!inst.plug->IsActive()) {  // a host that skipped activate gets silence, not a crash
      for (uint32_t c = 0; c < inst.ports.nAudio; ++c)
        if (inst.audio[c]) std::memset(inst.audio[c], 0, sizeof(float) * frames);
      return;
    }
    readControls(inst);
    followConnections(inst);
    // Events split the block where they fall, exactly as the CLAP adapter splits at event times, so both formats
    // play the same MIDI into the same sound.
    uint32_t pos = 0;
    const LV2_Atom_Sequence* seq = inst.midiIn;
    if (seq && seq->atom.size >= sizeof(LV2_Atom_Sequence_Body)) {
      LV2_ATOM_SEQUENCE_FOREACH(seq, ev) {
        const int64_t t64 = ev->time.frames;
        if (t64 > static_cast<int64_t>(pos) && t64 < static_cast<int64_t>(frames)) {
          render(inst, pos, static_cast<uint32_t>(t64));
          pos = static_cast<uint32_t>(t64);
        }
        handleMidi(inst, ev, frames);
      }
    }
    render(inst, pos, frames);
  }

  static LV2_State_Status save(LV2_Handle h, LV2_State_Store_Function store, LV2_State_Handle handle, uint32_t,
                               const LV2_Feature* const*) {
    Instance& inst = *self(h);
    if (!store) return LV2_STATE_ERR_UNKNOWN;
    try {
      ByteChunk chunk;
      if (!inst.plug->SerializeState(chunk)) return LV2_STATE_ERR_UNKNOWN;
      return store(handle, inst.chunkKey, chunk.Data(), chunk.Size(), inst.atomChunk,
                   LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE);
    } catch (...) {
      return LV2_STATE_ERR_UNKNOWN;
    }
  }

  // A saved project carries the chunk; a factory preset carries the name of the preset it recalls.
  static LV2_State_Status restore(LV2_Handle h, LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle,
                                  uint32_t, const LV2_Feature* const*) {
    Instance& inst = *self(h);
    if (!retrieve) return LV2_STATE_ERR_UNKNOWN;
    try {
      size_t size = 0;
      uint32_t type = 0, flags = 0;
      const void* data = retrieve(handle, inst.chunkKey, &size, &type, &flags);
      if (data) {
        if (type != inst.atomChunk || size > kMaxStateBytes) return LV2_STATE_ERR_BAD_TYPE;
        ByteChunk chunk;
        chunk.PutBytes(data, size);
        if (inst.plug->UnserializeState(chunk, 0) < 0) return LV2_STATE_ERR_UNKNOWN;
        inst.plug->OnRestoreState();
        inst.absorbControls.store(true, std::memory_order_release);
        return LV2_STATE_SUCCESS;
      }
      data = retrieve(handle, inst.presetKey, &size, &type, &flags);
      if (data) {
        if (type != inst.atomString) return LV2_STATE_ERR_BAD_TYPE;
        const auto* text = static_cast<const char*>(data);
        const std::string name(text, strnlen(text, size));
        if (!inst.plug->LoadPresetFromLocation(CLAP_PRESET_DISCOVERY_LOCATION_PLUGIN, nullptr, name.c_str()))
          return LV2_STATE_ERR_UNKNOWN;
        inst.absorbControls.store(true, std::memory_order_release);
      }
      // Nothing of ours: the port values the host sets are the whole state.
      return LV2_STATE_SUCCESS;
    } catch (...) {
      return LV2_STATE_ERR_UNKNOWN;
    }
  }

  static const void* extensionData(const char* uri) {
    static const LV2_State_Interface state{save, restore};
    if (uri && !std::strcmp(uri, LV2_STATE__interface)) return &state;
    return nullptr;
  }
};

Plugin* lv2PluginOf(void* instanceHandle, const char* pluginUri) {
  const LV2_Descriptor* desc = lv2Descriptor(nullptr);
  if (!instanceHandle || !pluginUri || !desc->URI || std::strcmp(pluginUri, desc->URI) != 0) return nullptr;
  return static_cast<Lv2Adapter::Instance*>(instanceHandle)->plug;
}

const LV2_Descriptor* lv2Descriptor(const char* uri) {
  static const LV2_Descriptor desc{uri,
                                   Lv2Adapter::instantiate,
                                   Lv2Adapter::connectPort,
                                   Lv2Adapter::activate,
                                   Lv2Adapter::run,
                                   Lv2Adapter::deactivate,
                                   Lv2Adapter::cleanup,
                                   Lv2Adapter::extensionData};
  return &desc;
}

}  // namespace vfw
