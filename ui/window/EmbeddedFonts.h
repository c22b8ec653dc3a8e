// The three Fira faces compiled into the plug-in, registered from memory in a NanoVG context.
#pragma once

#include "PanelState.h"

#include <cstddef>

struct NVGcontext;

namespace vrui {

extern const unsigned char kFiraSansCondensedMedium[];
extern const std::size_t kFiraSansCondensedMediumSize;
extern const unsigned char kFiraSansCondensedSemiBold[];
extern const std::size_t kFiraSansCondensedSemiBoldSize;
extern const unsigned char kFiraMonoMedium[];
extern const std::size_t kFiraMonoMediumSize;

// Registers "fira", "fira-b" and "fira-m"; a face that fails keeps the id -1.
PanelFonts loadEmbeddedFonts(NVGcontext* vg);

}  // namespace vrui
