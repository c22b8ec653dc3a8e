// Finds the three panel faces on disk and measures text the way the panel's specWidth does.
#include "FontMeasure.h"

#include <cmath>
#include <cstdlib>
#include <filesystem>

extern "C" {
void* vtFontsCreate(void);
void vtFontsDelete(void* fs);
int vtFontsAdd(void* fs, const char* name, const char* path);
float vtFontsWidth(void* fs, int font, float sizePx, float spacingPx, const char* text);
}

namespace fs = std::filesystem;

namespace {

// The subsets the plug-in embeds when the build made them (medium.ttf, semibold.ttf, mono.ttf), else the full
// faces anywhere below dir.
std::string findFace(const fs::path& dir, bool wantMono, const char* weight) {
  std::error_code ec;
  const fs::path subset = dir / (wantMono                          ? "mono.ttf"
                                 : weight == std::string("Medium") ? "medium.ttf"
                                                                   : "semibold.ttf");
  if (fs::is_regular_file(subset, ec)) return subset.string();
  for (fs::recursive_directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (it->path().extension() != ".ttf" || name.find("Italic") != std::string::npos) continue;
    const bool mono = name.find("Mono") != std::string::npos;
    if (mono == wantMono && name.find(weight) != std::string::npos &&
        (mono || name.find("Condensed") != std::string::npos))
      return it->path().string();
  }
  return {};
}

// The capitals rule of the panel: ASCII letters, and the accented Latin-1 letters (0xC3 0xA0..0xBE but 0xB7).
std::string capitals(std::string s) {
  for (size_t i = 0; i < s.size(); ++i) {
    auto c = static_cast<unsigned char>(s[i]);
    if (c >= 'a' && c <= 'z') s[i] = static_cast<char>(c - 32);
    if (c == 0xC3 && i + 1 < s.size()) {
      auto d = static_cast<unsigned char>(s[i + 1]);
      if (d >= 0xA0 && d <= 0xBE && d != 0xB7) s[i + 1] = static_cast<char>(d - 0x20);
      ++i;
    }
  }
  return s;
}

}  // namespace

FontMeasure::FontMeasure() {
  const char* env = std::getenv("VORREL_FONT_DIR");
  const fs::path dir = env && *env ? env : VORREL_FONT_DIR;
  if (dir.empty() || !fs::is_directory(dir)) return;
  const std::string m = findFace(dir, false, "Medium"), b = findFace(dir, false, "SemiBold"),
                    o = findFace(dir, true, "Medium");
  if (m.empty() || b.empty() || o.empty()) return;
  fs = vtFontsCreate();
  if (!fs) return;
  medium = vtFontsAdd(fs, "fira", m.c_str());
  semibold = vtFontsAdd(fs, "fira-b", b.c_str());
  mono = vtFontsAdd(fs, "fira-m", o.c_str());
}

FontMeasure::~FontMeasure() {
  if (fs) vtFontsDelete(fs);
}

float FontMeasure::width(Style style, const std::string& text, float scale) const {
  if (!ok() || text.empty()) return 0;
  struct Spec {
    float size, tracking;
    bool upper;
    int font;
  };
  const Spec spec = style == InfoText   ? Spec{10.5f, 0, false, medium}
                    : style == RailTick ? Spec{8, 0, false, mono}
                    : style == KnobZone ? Spec{8.5f, 1.02f, true, medium}
                                        : Spec{12.5f, 0.55f, false, semibold};
  const float tracking = spec.tracking > 0 ? std::round(spec.tracking) : 0;
  const std::string shown = spec.upper ? capitals(text) : text;
  // The font is set at size x 1.2, and the whole frame is scaled, so glyph advances round at the window's pixels.
  return vtFontsWidth(fs, spec.font, spec.size * 1.2f * scale, tracking * scale, shown.c_str()) / scale;
}
