// The LV2 descriptor that forwards a host's calls to a vfw::Plugin: ports, run, options and the state extension.
#pragma once

#include <lv2/core/lv2.h>

namespace vfw {

// The module's one plug-in. uri must be a string with static storage; the first call fixes it.
const LV2_Descriptor* lv2Descriptor(const char* uri);

// The plug-in behind an instance handle a host passed on through instance-access; null when the handle is not
// an instance of this module's plug-in pluginUri.
class Plugin;
Plugin* lv2PluginOf(void* instanceHandle, const char* pluginUri);

}  // namespace vfw
