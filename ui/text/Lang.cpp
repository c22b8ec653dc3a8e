// Language codes and names, the environment's language, and the saved language choice.
#include "Lang.h"

#include "Markers.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace vrui {

const char* const kLangCodes[kNumLangs] = {"EN", "FR", "DE", "ES", "IT", "PT"};
const char* const kLangNames[kNumLangs] = {"English", "Français", "Deutsch", "Español", "Italiano", "Português"};

Lang langFromCode(const char* text, size_t length) {
  if (!text || length < 2) return -1;
  // Clearing bit 0x20 upper-cases ASCII letters, so "fr", "Fr" and "FR" all match.
  const char a = static_cast<char>(text[0] & ~0x20);
  const char b = static_cast<char>(text[1] & ~0x20);
  for (Lang l = 0; l < kNumLangs; ++l)
    if (kLangCodes[l][0] == a && kLangCodes[l][1] == b) return l;
  return -1;
}

namespace {

// A variable counts when it is set, has two characters or more and is not the plain "C" locale.
Lang fromVariable(const char* name) {
  const char* v = std::getenv(name);
  if (!v) return -1;
  const size_t n = std::strlen(v);
  if (n < 2) return -1;
  return langFromCode(v, n);
}

}  // namespace

Lang langFromEnv() {
  for (const char* name : {"LC_ALL", "LC_MESSAGES"}) {
    const Lang l = fromVariable(name);
    if (l >= 0) return l;
  }
  const Lang l = fromVariable("LANG");
  return l >= 0 ? l : kLangEnglish;
}

Lang loadHintsLang(Lang fallback) {
  const std::string path = hintsLangFilePath();
  if (path.empty()) return fallback;
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return fallback;
  char buf[7];
  const size_t n = std::fread(buf, 1, sizeof buf, f);
  std::fclose(f);
  const Lang l = langFromCode(buf, n);
  return l >= 0 ? l : fallback;
}

void saveHintsLang(Lang lang) {
  if (lang < 0 || lang >= kNumLangs) return;
  char text[4] = {kLangCodes[lang][0], kLangCodes[lang][1], '\n', 0};
  writeMarkerFile(hintsLangFilePath(), text);
}

}  // namespace vrui
