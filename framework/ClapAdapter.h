// The CLAP function tables that forward a host's calls to a vfw::Plugin.
#pragma once

#include <clap/plugin.h>

namespace vfw {

struct ClapAdapter {
  static void fillPlugin(clap_plugin_t& plugin);
  static const void* getExtension(const clap_plugin_t* plugin, const char* id);
  static const void* guiExtension();
  static const void* timerExtension();
  static const void* configurablePortsExtension();
};

}  // namespace vfw
