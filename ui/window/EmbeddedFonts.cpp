// Font registration from the embedded tables; NanoVG keeps pointers to them, so they are never freed.
#include "EmbeddedFonts.h"

#include <nanovg.h>

namespace vrui {
namespace {

int fromMemory(NVGcontext* vg, const char* name, const unsigned char* data, std::size_t size) {
  // NanoVG takes non-const bytes but only reads them when told not to free them.
  return nvgCreateFontMem(vg, name, const_cast<unsigned char*>(data), static_cast<int>(size), 0);
}

}  // namespace

PanelFonts loadEmbeddedFonts(NVGcontext* vg) {
  PanelFonts f;
  if (!vg) return f;
  f.medium = fromMemory(vg, "fira", kFiraSansCondensedMedium, kFiraSansCondensedMediumSize);
  f.semibold = fromMemory(vg, "fira-b", kFiraSansCondensedSemiBold, kFiraSansCondensedSemiBoldSize);
  f.mono = fromMemory(vg, "fira-m", kFiraMonoMedium, kFiraMonoMediumSize);
  return f;
}

}  // namespace vrui
