// The configuration record a plug-in hands to the framework base, and what the factory passes to a new instance.
#pragma once

#include <clap/host.h>
#include <clap/plugin.h>

#include <cstdint>

namespace vfw {

enum class PlugType { Effect, Instrument, MidiEffect };

struct Config {
  int nParams = 0;
  int nPresets = 1;
  // Space-separated "inputs-outputs" tokens; outputs are '.'-separated channel counts per bus.
  const char* channelIO = "0-2";
  const char* pluginName = "";
  const char* productName = "";
  const char* mfrName = "";
  uint32_t vendorVersion = 0;
  uint32_t uniqueId = 0;
  uint32_t mfrId = 0;
  int latency = 0;
  bool plugDoesMidiIn = false;
  bool plugDoesMidiOut = false;
  bool plugDoesMPE = false;
  bool plugDoesChunks = false;
  PlugType plugType = PlugType::Effect;
  bool plugHasUI = false;
  int plugWidth = 0;
  int plugHeight = 0;
  int minWidth = 0;
  int maxWidth = 0;
  int minHeight = 0;
  int maxHeight = 0;
  bool hostResize = false;
  const char* bundleId = "";
  const char* appGroup = "";
};

struct InstanceInfo {
  const clap_plugin_descriptor_t* desc = nullptr;
  const clap_host_t* host = nullptr;
};

}  // namespace vfw
