// The exported CLAP entry point and the factory's instance builder.
#include "Entry.h"

#include "PresetCatalog.h"
#include "Vorrel.h"
#include "VorrelConfig.h"

#include <clap/entry.h>

#include <mutex>

namespace {

const vfw::DescriptorSpec kDescriptor{
    {1, 2, 10},
    kVorrelId,
    kVorrelName,
    kVorrelVendor,
    "",
    "",
    "",
    kVorrelVersion,
    kVorrelDescription,
    {"instrument", "synthesizer"},
};

bool entryInit(const char* path) { return vfw::entryInit(path, kDescriptor); }
void entryDeinit() { vfw::entryDeinit(); }
const void* entryGetFactory(const char* id) {
  if (const void* f = vfw::presetDiscoveryFactory(id, vorrelPresetCatalog())) return f;
  return vfw::entryGetFactory(id);
}

}  // namespace

vfw::Plugin* vfw::MakePlug(const vfw::InstanceInfo& info) {
  // Serialises construction: instances share process-wide memory handles and preset tables.
  static std::mutex makeMutex;
  std::lock_guard<std::mutex> lock(makeMutex);
  return new Vorrel(info);
}

extern "C" {
const clap_plugin_entry_t clap_entry = {{1, 2, 10}, entryInit, entryDeinit, entryGetFactory};
}
