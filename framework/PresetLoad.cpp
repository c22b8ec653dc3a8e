// preset-load: forwards to the plug-in's LoadPresetFromLocation and tells the host how it went.
#include "PresetLoad.h"

#include "ClapExtras.h"
#include "Plugin.h"

#include <cstring>

namespace vfw {
namespace {

const clap_host_preset_load_t* hostPresetLoad(const clap_host_t* host) {
  if (!host || !host->get_extension) return nullptr;
  const void* ext = host->get_extension(host, CLAP_EXT_PRESET_LOAD);
  if (!ext) ext = host->get_extension(host, CLAP_EXT_PRESET_LOAD_COMPAT);
  return static_cast<const clap_host_preset_load_t*>(ext);
}

bool fromLocation(const clap_plugin_t* p, uint32_t kind, const char* location, const char* loadKey) {
  Plugin* plug = p ? static_cast<Plugin*>(p->plugin_data) : nullptr;
  if (!plug) return false;
  const Plugin::HostMainCall scope(plug);
  const bool ok = plug->LoadPresetFromLocation(kind, location, loadKey);
  const clap_host_preset_load_t* hostExt = hostPresetLoad(plug->Host());
  if (hostExt && ok && hostExt->loaded) hostExt->loaded(plug->Host(), kind, location, loadKey);
  if (hostExt && !ok && hostExt->on_error)
    hostExt->on_error(plug->Host(), kind, location, loadKey, 0, "no such preset");
  return ok;
}

}  // namespace

const void* presetLoadExtension() {
  static const clap_plugin_preset_load_t ext{fromLocation};
  return &ext;
}

}  // namespace vfw
