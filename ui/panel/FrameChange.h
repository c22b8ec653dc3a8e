// Whether the editor must draw: a frame is drawn only when what it would show differs from the frame on screen.
#pragma once

#include "PanelState.h"

namespace vrui {

// The window's visible size in pixels, from which the layout's scale and centring follow, and its full size, which
// places the visible part (a view taller than its parent is drawn aligned with the visible top).
struct FrameSize {
  float w = 0.0f;
  float h = 0.0f;
  float fullW = 0.0f;
  float fullH = 0.0f;
  bool operator==(const FrameSize&) const = default;
};

// shown: the state and size of the frame on screen; next: the state just built and the size now. The decision rests
// on the whole state, so a caret tick, a glow, an age, a hover or a moved memory counts without a list of events.
inline bool frameChanged(const PanelState& shown, FrameSize shownSize, const PanelState& next, FrameSize nextSize) {
  return !(shownSize == nextSize) || !(shown == next);
}

}  // namespace vrui
