// Fuzz target for the user library parser: never a crash, only storable presets, stable after one rewrite.
#include "UserPreset.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::vector<vorrel::UserPreset> lib;
  vorrel::parseLibraryText(text, lib);
  for (const auto& p : lib) {
    if (p.name.empty() || p.name.find('\n') != std::string::npos) std::abort();
    for (double v : p.values)
      if (!std::isfinite(v)) std::abort();
    for (int i = 0; i < vorrel::kNumExtras; ++i) {
      const double e = p.extras[static_cast<size_t>(i)];
      if (!(e >= vorrel::trackExtraMin(i) && e <= vorrel::trackExtraMax(i))) std::abort();
    }
  }
  // Written once, the text reads back to itself.
  const std::string once = vorrel::libraryText(lib);
  std::vector<vorrel::UserPreset> again;
  vorrel::parseLibraryText(once, again);
  if (vorrel::libraryText(again) != once || again.size() != lib.size()) std::abort();
  return 0;
}
