// The panel's text tables (labels, stories, hints, tour and welcome card) and the lookup rule shared by all.
#pragma once

#include "Controls.h"
#include "Lang.h"

namespace vrui {

inline constexpr int kNumParamTexts = 29;
inline constexpr int kNumHints = 43;
inline constexpr int kNumHintSlots = kNumHints;
inline constexpr int kNumTourSteps = 18;
inline constexpr int kBasicTourSteps = 8;
inline constexpr int kNumTourBtns = 6;
inline constexpr int kNumWelcomeLines = 4;

// Tour button slots.
inline constexpr int kTourBtnSkip = 0;
inline constexpr int kTourBtnStart = 1;
inline constexpr int kTourBtnPrevious = 2;
inline constexpr int kTourBtnNext = 3;
inline constexpr int kTourBtnExtended = 4;
inline constexpr int kTourBtnDone = 5;

// What a tour card points at: a control, and its index or -1 for any index.
struct TourTarget {
  Control ctrl;
  int index;
};

extern const char* const kParamLabels[kNumParamTexts];  // English only
extern const char* const kParamStoriesL[kNumLangs][kNumParamTexts];
extern const char* const kHints[kNumLangs][kNumHints];
extern const TourTarget kTourSteps[kNumTourSteps];
extern const char* const kTourTitle[kNumLangs][kNumTourSteps];
extern const char* const kTourBody[kNumLangs][kNumTourSteps];
extern const char* const kTourBtn[kNumLangs][kNumTourBtns];
extern const char* const kWelcomeTitle[kNumLangs];
extern const char* const kWelcomeLine[kNumLangs][kNumWelcomeLines];

// The lookup rule of every table: a language outside 0..5, or a null or empty entry, gives the English entry of the
// same slot; a slot outside the table gives "".
const char* paramLabel(int id);
const char* paramStory(Lang lang, int id);
const char* hintText(Lang lang, int slot);
const char* tourTitle(Lang lang, int step);
const char* tourBody(Lang lang, int step);
const char* tourButton(Lang lang, int slot);
const char* welcomeTitle(Lang lang);
const char* welcomeLine(Lang lang, int line);
// The same lookups under the names the drawing code uses.
inline const char* hintSlot(Lang lang, int slot) { return hintText(lang, slot); }
inline const char* langCode(Lang lang) { return kLangCodes[lang >= 0 && lang < kNumLangs ? lang : 0]; }
inline const char* langName(Lang lang) { return kLangNames[lang >= 0 && lang < kNumLangs ? lang : 0]; }
inline TourTarget tourTarget(int step) {
  return step >= 0 && step < kNumTourSteps ? kTourSteps[step] : TourTarget{Control::None, -1};
}

}  // namespace vrui
