// Moving through the tour: which card shows, which buttons it carries, and when its marker is due.
#include "Tour.h"

namespace vrui {

void tourCheckOnce(TourState& tour, bool markerPresent) {
  if (tour.checked) return;
  tour.checked = true;
  tour.seen = markerPresent;
  if (!markerPresent) {
    tour.active = true;
    tour.step = -1;
    tour.extended = false;
  }
}

bool tourNav(TourState& tour, int index) {
  switch (index) {
    case 1:
      tour.step = 0;
      tour.extended = false;
      return false;
    case 2:
      tour.step = tour.step - 1 < -1 ? -1 : tour.step - 1;
      return false;
    case 3: {
      const int last = tourLastStep(tour);
      tour.step = tour.step + 1 > last ? last : tour.step + 1;
      return false;
    }
    case 4:
      tour.extended = true;
      tour.step = kBasicTourSteps;
      return false;
    case 0:
    case 5:
    case 6: {
      tour.active = false;
      const bool write = !tour.seen;
      tour.seen = true;
      return write;
    }
    default:
      return false;
  }
}

void tourAgain(TourState& tour) {
  tour.active = true;
  tour.step = -1;
  tour.extended = false;
}

int tourCardButtons(const TourState& tour, int out[3]) {
  if (tour.step < 0) {
    out[0] = kTourBtnSkip;
    out[1] = kTourBtnStart;
    return 2;
  }
  out[0] = kTourBtnPrevious;
  if (tour.step < tourLastStep(tour)) {
    out[1] = kTourBtnNext;
    return 2;
  }
  if (tour.extended) {
    out[1] = kTourBtnDone;
    return 2;
  }
  out[1] = kTourBtnExtended;
  out[2] = kTourBtnDone;
  return 3;
}

}  // namespace vrui
