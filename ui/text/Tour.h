// The guided tour's progress within one editor window: welcome card, basic and extended steps, and its marker.
#pragma once

#include "Texts.h"

namespace vrui {

struct TourState {
  bool checked = false;   // the tour marker was looked up
  bool seen = false;      // the marker exists, or this window wrote it
  bool active = false;    // cards are showing
  int step = -1;          // -1 the welcome card, 0..17 a step card
  bool extended = false;  // the extended steps 8..17 are part of this run
};

// Looks the marker up once per window; without it the tour opens at the welcome card.
void tourCheckOnce(TourState& tour, bool markerPresent);
// A press on a tour card button (0 skip, 1 start, 2 previous, 3 next, 4 extended, 5 and 6 done). Returns true when
// the tour was left and its marker is to be written now, which happens at most once per window.
bool tourNav(TourState& tour, int index);
// The "?" button: the welcome card again, without touching the marker.
void tourAgain(TourState& tour);
// The last step of the running tour: 7, or 17 in the extended tour.
inline int tourLastStep(const TourState& tour) { return tour.extended ? kNumTourSteps - 1 : kBasicTourSteps - 1; }

// Which buttons the current card shows, left to right, as tour button slots; returns how many (at most 3).
int tourCardButtons(const TourState& tour, int out[3]);

struct TourBox {
  float x = 0, y = 0, w = 0, h = 0;
};

// The bounding box of every hit entry of the step's control (and index, unless the step takes any index). Entries
// need `ctrl`, `index` and `rect` with x, y, w, h. False, and nothing highlighted, when none matches.
template <class Entries>
bool tourTargetBounds(int step, const Entries& entries, TourBox& out) {
  if (step < 0 || step >= kNumTourSteps) return false;
  const TourTarget t = kTourSteps[step];
  bool any = false;
  float x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  for (const auto& e : entries) {
    if (static_cast<int>(e.ctrl) != static_cast<int>(t.ctrl)) continue;
    if (t.index != -1 && e.index != t.index) continue;
    const float ex1 = e.rect.x + e.rect.w, ey1 = e.rect.y + e.rect.h;
    if (!any) {
      x0 = e.rect.x, y0 = e.rect.y, x1 = ex1, y1 = ey1;
      any = true;
    } else {
      x0 = e.rect.x < x0 ? e.rect.x : x0;
      y0 = e.rect.y < y0 ? e.rect.y : y0;
      x1 = ex1 > x1 ? ex1 : x1;
      y1 = ey1 > y1 ? ey1 : y1;
    }
  }
  if (any) out = {x0, y0, x1 - x0, y1 - y0};
  return any;
}

}  // namespace vrui
