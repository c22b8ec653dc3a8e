// The preset-load extension table: a host loads a preset its browser found through the plug-in.
#pragma once

namespace vfw {

const void* presetLoadExtension();

}  // namespace vfw
