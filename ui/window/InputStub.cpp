// Stand-in input until the input code arrives: hover, and the resize grip, which the window code provides.
#include "InputStub.h"
#include "VorrelUI.h"

namespace vrui {

void neInsert(NameEdit& edit, const char* text, int limit) {
  const std::string add(text ? text : "");
  if (static_cast<int>(edit.text.size() + add.size()) > limit) return;
  edit.text.insert(static_cast<size_t>(edit.caret), add);
  edit.caret += static_cast<int32_t>(add.size());
  edit.anchor = edit.caret;
}

}  // namespace vrui

void VorrelUI::onPress(float x, float y, bool) {
  const vrui::HitMap::Entry* hit = hits.find((x - offsetX) / scale, (y - offsetY) / scale);
  if (hit && hit->ctrl == vrui::PanelState::Ctrl::ResizeGrip) beginGripDrag(x);
}

void VorrelUI::onDrag(float x, float, bool) {
  if (resizeDrag) gripDragTo(x);
}

void VorrelUI::onMotion(float x, float y) {
  const vrui::HitMap::Entry* hit = hits.find((x - offsetX) / scale, (y - offsetY) / scale);
  hoverCtrl = hit ? static_cast<int32_t>(hit->ctrl) : 0;
  hoverIndex = hit ? hit->index : -1;
}

void VorrelUI::onRelease() { endGripDrag(); }

bool VorrelUI::onKey(uint32_t, uint32_t) { return false; }

bool VorrelUI::lastClickWasRecent(uint32_t timeMs, float x, float y) {
  const bool recent = lastClickMs != 0 && timeMs - lastClickMs < 400 && x - lastClickX < 6 && lastClickX - x < 6 &&
                      y - lastClickY < 6 && lastClickY - y < 6;
  lastClickMs = recent ? 0 : timeMs;
  lastClickX = x;
  lastClickY = y;
  return recent;
}
