// Fills one frame's PanelState from the shell and the window's panel view.
#pragma once

#include "PanelShell.h"
#include "PanelState.h"
#include "PanelView.h"

namespace vrui {

// False when a shell copy could not be taken; the caller then skips the frame (the state is incomplete).
bool buildState(const PanelShell& shell, PanelView& view, PanelState& state);

// The status line of the memory's last change T seen at now N (seconds).
std::string memoryAgeLine(uint64_t lastUpdate, uint64_t now);
// Days since an hour stamp (epoch seconds / 3600): 999 for 0, 0 for a stamp in the future.
float ageDaysOf(uint32_t touchedHour, uint64_t now);
// The sector view's displayed mode levels for one pitch class, each 0..1 in a 48 dB window.
struct ModeLevelInputs {
  const double* ratios = nullptr;   // kPanelModes ratios, ascending
  const double* weights = nullptr;  // kPanelModes memory weights per mode
  int selectedPc = 0;
  double imprint = 0.0;  // percent
  double bare = 0.0;     // percent
  double carve = 0.0;    // percent
  double dose = 0.0;
  double rolloff = 0.0;
  double tilt = 0.35;
};
void modeLevels(const ModeLevelInputs& in, float out[kPanelModes]);
// Fills hintTag and hintText from the hovered control.
void selectHint(PanelState& state);

}  // namespace vrui
