// vorrel-host presets: what a host's preset browser would list, grouped by location.
#include "PresetIndex.h"

#include <cstdio>

namespace vhost {

int cmdPresets(Library& lib) {
  std::vector<IndexedPreset> presets;
  std::string error;
  if (!indexPresets(lib, presets, error)) {
    std::fprintf(stderr, "preset discovery failed: %s\n", error.c_str());
    return 1;
  }
  std::string lastLocation = "\n";  // no location is a newline
  for (const auto& p : presets) {
    const std::string where = p.location.empty() ? "(inside the plug-in)" : p.location;
    if (p.locationName + where != lastLocation) {
      std::printf("%s %s\n", p.locationName.c_str(), where.c_str());
      lastLocation = p.locationName + where;
    }
    std::printf("  %-24s %-18s %s\n", p.name.c_str(), p.category.c_str(), p.description.c_str());
  }
  std::printf("%zu presets\n", presets.size());
  return 0;
}

}  // namespace vhost
