// CLAP plug-in and extension tables: each entry finds the instance and calls into the framework base.
#include "ClapAdapter.h"

#include "Entry.h"
#include "Plugin.h"
#include "PresetLoad.h"

#include <clap/ext/note-ports.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

namespace vfw {
namespace {

Plugin* self(const clap_plugin_t* p) { return static_cast<Plugin*>(p->plugin_data); }

void copyName(char* dst, size_t size, const std::string& src) { std::snprintf(dst, size, "%s", src.c_str()); }

}  // namespace

struct ClapCalls {
  static bool init(const clap_plugin_t* p) {
    Plugin* plug = self(p);
    if (!plug) return false;
    const Plugin::HostMainCall scope(plug);
    plug->queryHostExtensions();
    plug->queryTrackInfo();
    plug->startMainTimer();
    plug->StartIdleTimer();
    return true;
  }
  static void destroy(const clap_plugin_t* p) {
    Plugin* plug = self(p);
    if (!plug) return;
    if (plug->IsActive()) plug->deactivate();
    plug->stopMainTimer();
    {
      // Whatever the teardown tells the host goes out now: a callback asked for now would reach a freed instance.
      const Plugin::HostMainCall scope(plug);
      delete plug;
    }
    instanceDestroyed();
  }
  static bool activate(const clap_plugin_t* p, double sr, uint32_t minFrames, uint32_t maxFrames) {
    return self(p)->activate(sr, minFrames, maxFrames);
  }
  static void deactivate(const clap_plugin_t* p) { self(p)->deactivate(); }
  static bool startProcessing(const clap_plugin_t* p) {
    self(p)->processing.store(true, std::memory_order_release);
    return true;
  }
  static void stopProcessing(const clap_plugin_t* p) { self(p)->processing.store(false, std::memory_order_release); }
  static void reset(const clap_plugin_t* p) { self(p)->OnReset(); }
  static clap_process_status process(const clap_plugin_t* p, const clap_process_t* pr) { return self(p)->process(pr); }
  static void onMainThread(const clap_plugin_t* p) {
    const Plugin::HostMainCall scope(self(p));
    self(p)->onMainThread();
  }

  // params
  static uint32_t paramsCount(const clap_plugin_t* p) { return static_cast<uint32_t>(self(p)->NParams()); }
  static bool paramsInfo(const clap_plugin_t* p, uint32_t index, clap_param_info_t* info) {
    const Param* param = self(p)->ParamOrNull(static_cast<int64_t>(index));
    if (!param || !info) return false;
    std::memset(info, 0, sizeof *info);
    info->id = index;
    info->flags = CLAP_PARAM_IS_AUTOMATABLE | (param->Stepped() ? static_cast<uint32_t>(CLAP_PARAM_IS_STEPPED) : 0u);
    info->cookie = nullptr;
    copyName(info->name, sizeof info->name, param->GetName());
    copyName(info->module, sizeof info->module, param->GetGroup());
    info->min_value = param->GetMin();
    info->max_value = param->GetMax();
    info->default_value = param->GetDefault();
    return true;
  }
  static bool paramsValue(const clap_plugin_t* p, clap_id id, double* value) {
    const Param* param = self(p)->ParamOrNull(static_cast<int64_t>(id));
    if (!param || !value) return false;
    *value = param->Value();
    return true;
  }
  static bool paramsValueToText(const clap_plugin_t* p, clap_id id, double value, char* out, uint32_t size) {
    const Param* param = self(p)->ParamOrNull(static_cast<int64_t>(id));
    if (!param || !out || size == 0) return false;
    param->GetDisplay(value, out, size, true);
    return true;
  }
  static bool paramsTextToValue(const clap_plugin_t* p, clap_id id, const char* text, double* value) {
    const Param* param = self(p)->ParamOrNull(static_cast<int64_t>(id));
    if (!param || !text || !value) return false;
    return param->TextToValue(text, *value);
  }
  static void paramsFlush(const clap_plugin_t* p, const clap_input_events_t* in, const clap_output_events_t* out) {
    self(p)->flushParams(in, out);
  }

  // state
  static bool stateSave(const clap_plugin_t* p, const clap_ostream_t* s) {
    const Plugin::HostMainCall scope(self(p));
    return self(p)->saveState(s);
  }
  static bool stateLoad(const clap_plugin_t* p, const clap_istream_t* s) {
    const Plugin::HostMainCall scope(self(p));
    return self(p)->loadState(s);
  }

  // audio-ports
  static uint32_t audioPortsCount(const clap_plugin_t* p, bool isInput) {
    return isInput ? 0u : static_cast<uint32_t>(self(p)->ActiveLayout().nOutputBuses);
  }
  static bool audioPortsGet(const clap_plugin_t* p, uint32_t index, bool isInput, clap_audio_port_info_t* info) {
    const Plugin* plug = self(p);
    const BusLayout& layout = plug->ActiveLayout();
    if (isInput || !info || index >= static_cast<uint32_t>(layout.nOutputBuses)) return false;
    std::memset(info, 0, sizeof *info);
    info->id = index;
    std::string name;
    plug->GetBusName(Route::Output, static_cast<int>(index), layout.nOutputBuses, name);
    copyName(info->name, sizeof info->name, name);
    info->flags = CLAP_AUDIO_PORT_SUPPORTS_64BITS | (index == 0 ? static_cast<uint32_t>(CLAP_AUDIO_PORT_IS_MAIN) : 0u);
    info->channel_count = static_cast<uint32_t>(layout.outputChannels[index]);
    info->port_type = layout.outputChannels[index] == 2
                          ? CLAP_PORT_STEREO
                          : (layout.outputChannels[index] == 1 ? CLAP_PORT_MONO : nullptr);
    info->in_place_pair = CLAP_INVALID_ID;
    return true;
  }

  // audio-ports-config
  static uint32_t configCount(const clap_plugin_t* p) { return static_cast<uint32_t>(self(p)->Layouts().size()); }
  static bool configGet(const clap_plugin_t* p, uint32_t index, clap_audio_ports_config_t* config) {
    const Plugin* plug = self(p);
    if (!config || index >= plug->Layouts().size()) return false;
    const BusLayout& layout = plug->Layouts()[index];
    std::memset(config, 0, sizeof *config);
    config->id = index;
    std::string label;
    for (int b = 0; b < layout.nOutputBuses; ++b) {
      std::string bus;
      plug->GetBusName(Route::Output, b, layout.nOutputBuses, bus);
      label += (b ? " + " : "") + bus;
    }
    copyName(config->name, sizeof config->name, label);
    config->input_port_count = 0;
    config->output_port_count = static_cast<uint32_t>(layout.nOutputBuses);
    config->has_main_input = false;
    config->has_main_output = true;
    config->main_output_channel_count = static_cast<uint32_t>(layout.outputChannels[0]);
    config->main_output_port_type = layout.outputChannels[0] == 2 ? CLAP_PORT_STEREO : CLAP_PORT_MONO;
    return true;
  }
  static bool configSelect(const clap_plugin_t* p, clap_id id) { return self(p)->SelectLayout(static_cast<int>(id)); }

  // note-ports
  static uint32_t notePortsCount(const clap_plugin_t* p, bool isInput) {
    return (isInput && self(p)->GetConfig().plugDoesMidiIn) ? 1u : 0u;
  }
  static bool notePortsGet(const clap_plugin_t* p, uint32_t index, bool isInput, clap_note_port_info_t* info) {
    if (!isInput || index != 0 || !info || !self(p)->GetConfig().plugDoesMidiIn) return false;
    std::memset(info, 0, sizeof *info);
    info->id = 0;
    info->supported_dialects = CLAP_NOTE_DIALECT_CLAP | CLAP_NOTE_DIALECT_MIDI;
    info->preferred_dialect = CLAP_NOTE_DIALECT_MIDI;
    copyName(info->name, sizeof info->name, "MIDI Input");
    return true;
  }

  // track-info
  static void trackInfoChanged(const clap_plugin_t* p) {
    const Plugin::HostMainCall scope(self(p));
    self(p)->OnHostTrackInfoChanged();
  }
  // voice-info
  static bool voiceInfoGet(const clap_plugin_t* p, clap_voice_info_t* info) {
    uint32_t count = 0, capacity = 0;
    if (!info || !self(p)->GetVoiceInfo(count, capacity)) return false;
    info->voice_count = count;
    info->voice_capacity = capacity;
    info->flags = 0;  // a note-off ends every voice of its key: overlapping notes are not told apart
    return true;
  }

  // audio-ports-activation: a bit per bus, read by each block, so switching while processing is fine.
  static bool canActivateWhileProcessing(const clap_plugin_t*) { return true; }
  static bool setPortActive(const clap_plugin_t* p, bool isInput, uint32_t index, bool on, uint32_t) {
    return !isInput && index < static_cast<uint32_t>(BusLayout::kMaxBuses) &&
           self(p)->SetOutputBusActive(static_cast<int>(index), on);
  }

  // render: a bounce needs no hard real time
  static bool renderHardRealtime(const clap_plugin_t*) { return false; }
  static bool renderSet(const clap_plugin_t* p, clap_plugin_render_mode mode) {
    if (mode != CLAP_RENDER_REALTIME && mode != CLAP_RENDER_OFFLINE) return false;
    self(p)->offline.store(mode == CLAP_RENDER_OFFLINE, std::memory_order_release);
    return true;
  }

  // tail
  static uint32_t tailGet(const clap_plugin_t* p) { return static_cast<uint32_t>(std::max(0, self(p)->GetTailSize())); }
};

void ClapAdapter::fillPlugin(clap_plugin_t& plugin) {
  plugin.init = ClapCalls::init;
  plugin.destroy = ClapCalls::destroy;
  plugin.activate = ClapCalls::activate;
  plugin.deactivate = ClapCalls::deactivate;
  plugin.start_processing = ClapCalls::startProcessing;
  plugin.stop_processing = ClapCalls::stopProcessing;
  plugin.reset = ClapCalls::reset;
  plugin.process = ClapCalls::process;
  plugin.get_extension = ClapAdapter::getExtension;
  plugin.on_main_thread = ClapCalls::onMainThread;
}

const void* ClapAdapter::getExtension(const clap_plugin_t* plugin, const char* id) {
  static const clap_plugin_params_t params{ClapCalls::paramsCount,       ClapCalls::paramsInfo,
                                           ClapCalls::paramsValue,       ClapCalls::paramsValueToText,
                                           ClapCalls::paramsTextToValue, ClapCalls::paramsFlush};
  static const clap_plugin_state_t state{ClapCalls::stateSave, ClapCalls::stateLoad};
  static const clap_plugin_audio_ports_t audioPorts{ClapCalls::audioPortsCount, ClapCalls::audioPortsGet};
  static const clap_plugin_audio_ports_config_t audioPortsConfig{ClapCalls::configCount, ClapCalls::configGet,
                                                                 ClapCalls::configSelect};
  static const clap_plugin_note_ports_t notePorts{ClapCalls::notePortsCount, ClapCalls::notePortsGet};
  static const clap_plugin_tail_t tail{ClapCalls::tailGet};
  static const clap_plugin_render_t render{ClapCalls::renderHardRealtime, ClapCalls::renderSet};
  static const clap_plugin_track_info_t trackInfo{ClapCalls::trackInfoChanged};
  static const clap_plugin_voice_info_t voiceInfo{ClapCalls::voiceInfoGet};
  static const clap_plugin_audio_ports_activation_t portsActivation{ClapCalls::canActivateWhileProcessing,
                                                                    ClapCalls::setPortActive};
  if (!plugin || !id) return nullptr;
  if (!std::strcmp(id, CLAP_EXT_PARAMS)) return &params;
  if (!std::strcmp(id, CLAP_EXT_STATE)) return self(plugin)->GetConfig().plugDoesChunks ? &state : nullptr;
  if (!std::strcmp(id, CLAP_EXT_AUDIO_PORTS)) return &audioPorts;
  if (!std::strcmp(id, CLAP_EXT_AUDIO_PORTS_CONFIG)) return &audioPortsConfig;
  if (!std::strcmp(id, CLAP_EXT_NOTE_PORTS)) return &notePorts;
  if (!std::strcmp(id, CLAP_EXT_TAIL)) return &tail;
  if (!std::strcmp(id, CLAP_EXT_RENDER)) return &render;
  if (!std::strcmp(id, CLAP_EXT_TRACK_INFO) || !std::strcmp(id, CLAP_EXT_TRACK_INFO_COMPAT)) return &trackInfo;
  if (!std::strcmp(id, CLAP_EXT_VOICE_INFO)) {
    uint32_t count = 0, capacity = 0;
    return self(plugin)->GetVoiceInfo(count, capacity) ? &voiceInfo : nullptr;
  }
  if (!std::strcmp(id, CLAP_EXT_AUDIO_PORTS_ACTIVATION) || !std::strcmp(id, CLAP_EXT_AUDIO_PORTS_ACTIVATION_COMPAT))
    return &portsActivation;
  if (!std::strcmp(id, CLAP_EXT_PRESET_LOAD) || !std::strcmp(id, CLAP_EXT_PRESET_LOAD_COMPAT))
    return presetLoadExtension();
  if (!std::strcmp(id, CLAP_EXT_GUI)) return self(plugin)->GetConfig().plugHasUI ? guiExtension() : nullptr;
  if (!std::strcmp(id, CLAP_EXT_TIMER_SUPPORT)) return timerExtension();
  if (!std::strcmp(id, CLAP_EXT_CONFIGURABLE_AUDIO_PORTS) || !std::strcmp(id, CLAP_EXT_CONFIGURABLE_AUDIO_PORTS_COMPAT))
    return configurablePortsExtension();
  return nullptr;
}

}  // namespace vfw
