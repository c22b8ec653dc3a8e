// The editor's size rules: width within 70 %..320 % of 960, height always following the 960 x 660 aspect.
#include "Vorrel.h"

#include <algorithm>

void Vorrel::constrainEditorSize(int& w, int& h) {
  w = std::clamp(w, kMinEditorW, kMaxEditorW);
  // Single precision and truncation after +0.5, so sizes match those hosts already stored.
  const float derived =
      static_cast<float>(w) * static_cast<float>(kDefaultEditorH) / static_cast<float>(kDefaultEditorW) + 0.5f;
  h = std::max(1, static_cast<int>(derived));
}

bool Vorrel::ConstrainEditorResize(int& w, int& h) const {
  int cw = w;
  int ch = h;
  constrainEditorSize(cw, ch);
  const bool same = cw == w && ch == h;
  w = cw;
  h = ch;
  return same;
}

bool Vorrel::requestEditorResize(int w, int h) {
  constrainEditorSize(w, h);
  if (w == storedEditorWidth() && h == storedEditorHeight()) return false;
  storedEditorW.exchange(w, std::memory_order_acq_rel);
  storedEditorH.exchange(h, std::memory_order_acq_rel);
  EditorResizeFromUI(w, h, true);
  return true;
}

void Vorrel::setStoredEditorSize(int w, int h) {
  storedEditorW.exchange(w, std::memory_order_acq_rel);
  storedEditorH.exchange(h, std::memory_order_acq_rel);
}
