// Entry-point and factory helpers: the counted descriptor lifetime and instance creation through MakePlug.
#pragma once

#include <clap/plugin.h>
#include <clap/version.h>

#include <initializer_list>

namespace vfw {

struct DescriptorSpec {
  clap_version_t clapVersion;
  const char* id;
  const char* name;
  const char* vendor;
  const char* url;
  const char* manualUrl;
  const char* supportUrl;
  const char* version;
  const char* description;
  std::initializer_list<const char*> features;
};

// The first init builds the descriptor; the last deinit frees it, or the last instance does if any still lives.
bool entryInit(const char* pluginPath, const DescriptorSpec& spec);
void entryDeinit();
const void* entryGetFactory(const char* factoryId);

const clap_plugin_descriptor_t* currentDescriptor();
const char* pluginPath();
void instanceDestroyed();

}  // namespace vfw
