// The four track extras (tilt offset, stretch, self-excitation, drive): fresh values and the ranges they may take.
#pragma once

#include <algorithm>
#include <cmath>

namespace vorrel {

constexpr int kTrackExtras = 4;
constexpr double kFreshTrackExtras[kTrackExtras] = {0.35, 0.0, 0.0, 1.4};
// The span of the factory presets. Outside it the resonators can turn unstable (stretch) or a self-excited
// voice never decays, so values from projects, slots and snapshots are held inside it.
constexpr double kTrackExtrasMin[kTrackExtras] = {0.0, 0.0, 0.0, 1.0};
constexpr double kTrackExtrasMax[kTrackExtras] = {1.2, 3.0, 0.16, 6.0};

// False when any value is not finite (the caller then keeps its defaults); otherwise clamps in place.
inline bool clampTrackExtras(double (&extras)[kTrackExtras]) {
  for (double v : extras)
    if (!std::isfinite(v)) return false;
  for (int i = 0; i < kTrackExtras; ++i) extras[i] = std::clamp(extras[i], kTrackExtrasMin[i], kTrackExtrasMax[i]);
  return true;
}

}  // namespace vorrel
