// The texts the panel shows, looked up by language and slot; empty entries and unknown languages give English.
#pragma once

#include "PanelState.h"

namespace vrui {

constexpr int kNumLangs = 6;
constexpr int kNumHintSlots = 43;
constexpr int kNumTourSteps = 18;
constexpr int kBasicTourSteps = 8;

struct TourTarget {
  Ctrl ctrl = Ctrl::None;
  int index = -1;  // -1: any index of the control
};

const char* langCode(int lang);
const char* langName(int lang);
const char* paramLabel(int id);
const char* paramStory(int lang, int id);
const char* hintSlot(int lang, int slot);
TourTarget tourTarget(int step);
const char* tourTitle(int lang, int step);
const char* tourBody(int lang, int step);
const char* tourButton(int lang, int slot);  // 0 skip, 1 start, 2 previous, 3 next, 4 extended tour, 5 done
const char* welcomeTitle(int lang);
const char* welcomeLine(int lang, int line);

}  // namespace vrui
