// The six panel languages, how the environment and the saved choice pick one, and the language file.
#pragma once

#include <string>

namespace vrui {

// 0 English, 1 French, 2 German, 3 Spanish, 4 Italian, 5 Portuguese.
using Lang = int;
inline constexpr Lang kLangEnglish = 0;
inline constexpr Lang kLangFrench = 1;
inline constexpr Lang kLangGerman = 2;
inline constexpr Lang kLangSpanish = 3;
inline constexpr Lang kLangItalian = 4;
inline constexpr Lang kLangPortuguese = 5;
inline constexpr int kNumLangs = 6;

extern const char* const kLangCodes[kNumLangs];  // "EN", "FR", ...
extern const char* const kLangNames[kNumLangs];  // each language's own name

// The language of a two-letter code, compared case-insensitively on the first two bytes; -1 when unrecognised
// or shorter than two bytes.
Lang langFromCode(const char* text, size_t length);
// LC_ALL, then LC_MESSAGES, then LANG; English when none names a known language.
Lang langFromEnv();
// The language saved in "hints-lang.txt", or fallback when the file is missing, short or unrecognised.
Lang loadHintsLang(Lang fallback);
// Writes the code and a newline; failures are silent (the open window keeps the language anyway).
void saveHintsLang(Lang lang);
// The next language of the pill, wrapping after the sixth.
inline Lang nextLang(Lang lang) { return ((lang % kNumLangs) + kNumLangs + 1) % kNumLangs; }

}  // namespace vrui
