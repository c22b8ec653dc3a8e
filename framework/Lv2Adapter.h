// The LV2 descriptor that forwards a host's calls to a vfw::Plugin: ports, run, options and the state extension.
#pragma once

#include <lv2/core/lv2.h>

namespace vfw {

// The module's one plug-in. uri must be a string with static storage; the first call fixes it.
const LV2_Descriptor* lv2Descriptor(const char* uri);

}  // namespace vfw
