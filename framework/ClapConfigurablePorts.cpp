// configurable-audio-ports: a host's request for a bus layout picks one of the audio-ports-config layouts, so
// both extensions always describe the same ports.
#include "ClapAdapter.h"
#include "ClapExtras.h"
#include "Plugin.h"

#include <clap/ext/audio-ports.h>

#include <cstring>

namespace vfw {
namespace {

Plugin* self(const clap_plugin_t* p) { return static_cast<Plugin*>(p->plugin_data); }

// A request names one port and its channel count; 0 channels asks for the port not to be there. The type, when
// given, must say what the count says (the layouts hold only mono and stereo buses).
bool layoutGrants(const BusLayout& layout, const clap_audio_port_configuration_request_t& r) {
  if (r.is_input) return r.channel_count == 0;  // never an audio input
  const bool present = r.port_index < static_cast<uint32_t>(layout.nOutputBuses);
  if (r.channel_count == 0) return !present && r.port_index > 0;  // the main output is always there
  if (!present || static_cast<uint32_t>(layout.outputChannels[r.port_index]) != r.channel_count) return false;
  if (!r.port_type) return true;
  if (!std::strcmp(r.port_type, CLAP_PORT_STEREO)) return r.channel_count == 2;
  if (!std::strcmp(r.port_type, CLAP_PORT_MONO)) return r.channel_count == 1;
  return false;
}

// The layout the requests ask for: the current one when it grants them all (ports not named stay as they are),
// else the first in the audio-ports-config list that does; -1 when none does.
int layoutFor(const Plugin& plug, const clap_audio_port_configuration_request_t* requests, uint32_t count) {
  if (count > 0 && !requests) return -1;
  const auto grantsAll = [&](int index) {
    const BusLayout& layout = plug.Layouts()[static_cast<size_t>(index)];
    for (uint32_t i = 0; i < count; ++i)
      if (!layoutGrants(layout, requests[i])) return false;
    return true;
  };
  if (grantsAll(plug.ActiveConfigIndex())) return plug.ActiveConfigIndex();
  for (int i = 0; i < static_cast<int>(plug.Layouts().size()); ++i)
    if (grantsAll(i)) return i;
  return -1;
}

bool canApply(const clap_plugin_t* p, const clap_audio_port_configuration_request_t* requests, uint32_t count) {
  const Plugin* plug = self(p);
  return !plug->IsActive() && layoutFor(*plug, requests, count) >= 0;
}

bool apply(const clap_plugin_t* p, const clap_audio_port_configuration_request_t* requests, uint32_t count) {
  Plugin* plug = self(p);
  const int index = plug->IsActive() ? -1 : layoutFor(*plug, requests, count);
  return index >= 0 && plug->SelectLayout(index);
}

}  // namespace

const void* ClapAdapter::configurablePortsExtension() {
  static const clap_plugin_configurable_audio_ports_t ports{canApply, apply};
  return &ports;
}

}  // namespace vfw
