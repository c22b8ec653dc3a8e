// What a host's preset browser is shown: the factory presets inside the plug-in and the user library file.
#pragma once

#include "PresetDiscovery.h"

const vfw::PresetCatalog& vorrelPresetCatalog();
