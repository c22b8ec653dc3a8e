// Stand-in input until the input code arrives: hover, typed text at the caret, and the resize grip, which the
// window code provides.
#include "VorrelUI.h"

namespace {

constexpr size_t kNameLimit = 39;  // bytes

}  // namespace

void VorrelUI::onPress(float x, float y, bool) {
  const vrui::HitMap::Entry* hit = hits.find((x - offsetX) / scale, (y - offsetY) / scale);
  if (hit && hit->ctrl == vrui::Ctrl::ResizeGrip) beginGripDrag(x);
}

void VorrelUI::onDrag(float x, float, bool) {
  if (resizeDrag) gripDragTo(x);
}

void VorrelUI::onMotion(float x, float y) {
  const vrui::HitMap::Entry* hit = hits.find((x - offsetX) / scale, (y - offsetY) / scale);
  panel.hoverCtrl = hit ? static_cast<int>(hit->ctrl) : 0;
  panel.hoverIndex = hit ? hit->index : -1;
}

void VorrelUI::onRelease() { endGripDrag(); }

bool VorrelUI::onKey(uint32_t, uint32_t) { return false; }

void VorrelUI::onText(const char* utf8) {
  const std::string add(utf8 ? utf8 : "");
  if (panel.editText.size() + add.size() > kNameLimit) return;
  const size_t at = std::min(panel.editText.size(), static_cast<size_t>(std::max(0, panel.caret)));
  panel.editText.insert(at, add);
  panel.caret = static_cast<int>(at + add.size());
  panel.anchor = panel.caret;
}

bool VorrelUI::lastClickWasRecent(uint32_t timeMs, float x, float y) {
  const bool recent = lastClickMs != 0 && timeMs - lastClickMs < 400 && x - lastClickX < 6 && lastClickX - x < 6 &&
                      y - lastClickY < 6 && lastClickY - y < 6;
  lastClickMs = recent ? 0 : timeMs;
  lastClickX = x;
  lastClickY = y;
  return recent;
}
