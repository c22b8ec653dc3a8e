// The process-wide descriptor, library path and plug-in factory, guarded by one mutex.
#include "Entry.h"

#include "Plugin.h"

#include <clap/plugin-factory.h>

#include <cstring>
#include <memory>
#include <mutex>
#include <new>
#include <string>
#include <vector>

namespace vfw {
namespace {

struct OwnedDescriptor {
  clap_plugin_descriptor_t desc{};
  std::vector<std::string> strings;
  std::vector<const char*> features;
};

std::mutex& registryMutex() {
  static std::mutex m;
  return m;
}

// All guarded by registryMutex.
std::unique_ptr<OwnedDescriptor> gPluginDesc;
std::string gPluginPath;
int gInitCount = 0;
int gInstanceCount = 0;

std::unique_ptr<OwnedDescriptor> buildDescriptor(const DescriptorSpec& spec) {
  auto owned = std::make_unique<OwnedDescriptor>();
  std::memset(&owned->desc, 0, sizeof owned->desc);
  const char* fields[] = {spec.id,        spec.name,       spec.vendor,  spec.url,
                          spec.manualUrl, spec.supportUrl, spec.version, spec.description};
  owned->strings.reserve(std::size(fields) + spec.features.size());
  for (const char* f : fields) owned->strings.emplace_back(f ? f : "");
  for (const char* f : spec.features) owned->strings.emplace_back(f ? f : "");
  const auto& s = owned->strings;
  owned->desc.clap_version = spec.clapVersion;
  owned->desc.id = s[0].c_str();
  owned->desc.name = s[1].c_str();
  owned->desc.vendor = s[2].c_str();
  owned->desc.url = s[3].c_str();
  owned->desc.manual_url = s[4].c_str();
  owned->desc.support_url = s[5].c_str();
  owned->desc.version = s[6].c_str();
  owned->desc.description = s[7].c_str();
  for (size_t i = std::size(fields); i < s.size(); ++i) owned->features.push_back(s[i].c_str());
  owned->features.push_back(nullptr);
  owned->desc.features = owned->features.data();
  return owned;
}

uint32_t factoryCount(const clap_plugin_factory_t*) { return 1; }

const clap_plugin_descriptor_t* factoryDescriptor(const clap_plugin_factory_t*, uint32_t index) {
  return index == 0 ? currentDescriptor() : nullptr;
}

const clap_plugin_t* factoryCreate(const clap_plugin_factory_t*, const clap_host_t* host, const char* pluginId) {
  if (!host || !pluginId) return nullptr;
  InstanceInfo info;
  {
    std::lock_guard<std::mutex> lock(registryMutex());
    if (!gPluginDesc || std::strcmp(pluginId, gPluginDesc->desc.id) != 0) return nullptr;
    info.desc = &gPluginDesc->desc;
    ++gInstanceCount;
  }
  info.host = host;
  try {
    Plugin* plug = MakePlug(info);
    if (plug) return plug->ClapPlugin();
  } catch (...) {
    // Construction failed; the host sees creation fail.
  }
  instanceDestroyed();
  return nullptr;
}

const clap_plugin_factory_t kFactory{factoryCount, factoryDescriptor, factoryCreate};

}  // namespace

bool entryInit(const char* path, const DescriptorSpec& spec) {
  std::lock_guard<std::mutex> lock(registryMutex());
  if (gInitCount++ == 0) {
    gPluginPath = path ? path : "";
    if (!gPluginDesc) {
      try {
        gPluginDesc = buildDescriptor(spec);
      } catch (...) {
        --gInitCount;
        return false;
      }
    }
  }
  return true;
}

void entryDeinit() {
  std::lock_guard<std::mutex> lock(registryMutex());
  if (gInitCount == 0) return;
  if (--gInitCount == 0) {
    gPluginPath.clear();
    if (gInstanceCount == 0) gPluginDesc.reset();
  }
}

const void* entryGetFactory(const char* factoryId) {
  if (!factoryId || std::strcmp(factoryId, CLAP_PLUGIN_FACTORY_ID) != 0) return nullptr;
  std::lock_guard<std::mutex> lock(registryMutex());
  return gInitCount > 0 ? &kFactory : nullptr;
}

const clap_plugin_descriptor_t* currentDescriptor() {
  std::lock_guard<std::mutex> lock(registryMutex());
  return (gInitCount > 0 && gPluginDesc) ? &gPluginDesc->desc : nullptr;
}

const char* pluginPath() {
  std::lock_guard<std::mutex> lock(registryMutex());
  return gPluginPath.c_str();
}

void instanceDestroyed() {
  std::lock_guard<std::mutex> lock(registryMutex());
  if (gInstanceCount > 0) --gInstanceCount;
  if (gInstanceCount == 0 && gInitCount == 0) gPluginDesc.reset();
}

}  // namespace vfw
