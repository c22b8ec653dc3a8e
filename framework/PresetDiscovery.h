// CLAP's preset-discovery factory over a catalog the plug-in supplies: presets inside the plug-in and one file.
#pragma once

#include <string>
#include <vector>

namespace vfw {

struct PresetEntry {
  std::string name;
  std::string loadKey;
  std::string description;  // may be empty
  std::string category;     // may be empty
};

// Every function may run on any thread, with or without an instance, so none may touch instance state.
struct PresetCatalog {
  const char* providerId;
  const char* providerName;
  const char* vendor;
  const char* pluginId;
  const char* factoryLocationName;
  const char* userLocationName;
  const char* fileTypeName;
  const char* fileExtension;  // without the dot
  void (*factoryPresets)(std::vector<PresetEntry>& out);
  std::string (*userLibraryPath)();
  // False when the file exists but cannot be read; a missing file is an empty list.
  bool (*userPresets)(const std::string& path, std::vector<PresetEntry>& out);
  // Whether the file is there and can be read now: only then is it declared, since a host's crawl of a declared
  // location that is missing fails. A library that appears later is declared at the host's next crawl.
  bool (*userLibraryReadable)(const std::string& path);
};

// The factory for either preset-discovery id while the entry is initialised, else null.
const void* presetDiscoveryFactory(const char* factoryId, const PresetCatalog& catalog);

}  // namespace vfw
