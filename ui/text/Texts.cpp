// The one lookup rule of the text tables: fall back to English for a foreign language or an empty entry.
#include "Texts.h"

namespace vrui {
namespace {

template <int Width>
const char* pick(const char* const (&table)[kNumLangs][Width], Lang lang, int slot) {
  if (slot < 0 || slot >= Width) return "";
  if (lang >= 0 && lang < kNumLangs) {
    const char* s = table[lang][slot];
    if (s && *s) return s;
  }
  const char* en = table[0][slot];
  return en ? en : "";
}

}  // namespace

const char* paramLabel(int id) { return id >= 0 && id < kNumParamTexts ? kParamLabels[id] : ""; }
const char* paramStory(Lang lang, int id) { return pick(kParamStoriesL, lang, id); }
const char* hintText(Lang lang, int slot) { return pick(kHints, lang, slot); }
const char* tourTitle(Lang lang, int step) { return pick(kTourTitle, lang, step); }
const char* tourBody(Lang lang, int step) { return pick(kTourBody, lang, step); }
const char* tourButton(Lang lang, int slot) { return pick(kTourBtn, lang, slot); }
const char* welcomeLine(Lang lang, int line) { return pick(kWelcomeLine, lang, line); }

const char* welcomeTitle(Lang lang) {
  const char* s = lang >= 0 && lang < kNumLangs ? kWelcomeTitle[lang] : nullptr;
  return s && *s ? s : kWelcomeTitle[0];
}

}  // namespace vrui
