// Hit search over the last frame's rectangles.
#include "HitMap.h"

#include <algorithm>

namespace vrui {

const HitMap::Entry* HitMap::find(float x, float y) const {
  for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
    if (it->rect.contains(x, y)) return &*it;
  }
  return nullptr;
}

bool HitMap::bounds(Ctrl ctrl, int index, Rect& out) const {
  bool any = false;
  float x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  for (const Entry& e : entries) {
    if (e.ctrl != ctrl || (index != -1 && e.index != index)) continue;
    if (!any) {
      x0 = e.rect.x, y0 = e.rect.y, x1 = e.rect.right(), y1 = e.rect.bottom();
      any = true;
    } else {
      x0 = std::min(x0, e.rect.x), y0 = std::min(y0, e.rect.y);
      x1 = std::max(x1, e.rect.right()), y1 = std::max(y1, e.rect.bottom());
    }
  }
  if (any) out = {x0, y0, x1 - x0, y1 - y0};
  return any;
}

}  // namespace vrui
