// What a host's preset browser sees: the plug-in's preset-discovery providers, their locations and presets.
#pragma once

#include "ClapHost.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vhost {

struct IndexedPreset {
  uint32_t kind = 0;     // CLAP_PRESET_DISCOVERY_LOCATION_FILE or _PLUGIN
  std::string location;  // empty inside the plug-in
  std::string locationName;
  std::string name;
  std::string loadKey;
  std::string description;
  std::string category;  // the "category" extra info
  std::vector<std::string> features;
  std::vector<std::string> pluginIds;
  uint32_t flags = 0;
};

// Runs every provider of the library's preset-discovery factory, without creating any plug-in instance.
bool indexPresets(const Library& lib, std::vector<IndexedPreset>& out, std::string& error);

// Loads a preset through the instance's preset-load extension, on the calling (main) thread.
bool loadPreset(const Instance& inst, uint32_t kind, const std::string& location, const std::string& loadKey);

}  // namespace vhost
