// Where two frames' draw calls differ: the pixel rectangles a partial redraw must rebuild. Pure, so it is tested
// without GL.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace vrui {

// One draw call of a frame: a hash of everything it sends to GL (paint, scissor, vertices) and the window pixels
// its vertices cover.
struct DrawCall {
  uint64_t hash = 0;
  float x0 = 0, y0 = 0, x1 = 0, y1 = 0;
};

// A rectangle of whole window pixels, y down from the view's top.
struct PixelRect {
  int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  long area() const { return static_cast<long>(x1 - x0) * (y1 - y0); }
};

struct FrameDiff {
  bool full = false;                 // redraw everything: the calls changed over too much of the view
  std::vector<PixelRect> rects;      // otherwise these, disjoint or not, each rebuilt whole; empty: nothing changed
};

namespace calldiff {

constexpr size_t kManyMarks = 512;
constexpr int kNear = 8;  // marks this close (pixels) merge: one rectangle costs less than many small ones
constexpr size_t kLookAhead = 8;  // calls searched ahead for a pairing after a difference

inline PixelRect grow(const DrawCall& c, int w, int h) {
  // One pixel more on each side for antialiased edges that round outwards.
  PixelRect r{static_cast<int>(std::floor(c.x0)) - 1, static_cast<int>(std::floor(c.y0)) - 1,
              static_cast<int>(std::ceil(c.x1)) + 1, static_cast<int>(std::ceil(c.y1)) + 1};
  r.x0 = std::clamp(r.x0, 0, w);
  r.x1 = std::clamp(r.x1, 0, w);
  r.y0 = std::clamp(r.y0, 0, h);
  r.y1 = std::clamp(r.y1, 0, h);
  return r;
}

inline PixelRect unite(const PixelRect& a, const PixelRect& b) {
  return {std::min(a.x0, b.x0), std::min(a.y0, b.y0), std::max(a.x1, b.x1), std::max(a.y1, b.y1)};
}

inline bool touches(const PixelRect& a, const PixelRect& b) {
  return a.x0 <= b.x1 + kNear && b.x0 <= a.x1 + kNear && a.y0 <= b.y1 + kNear && b.y0 <= a.y1 + kNear;
}

}  // namespace calldiff

// prev and next: the calls of the frame on screen and of the new one, in drawing order; w x h: the view. Calls that
// pair off with an equal call of the other frame, in order, are unchanged; every other call marks its pixels. The
// marks merge into at most maxRects rectangles; when those cover more than fullShare of the view the whole frame is
// redrawn.
inline FrameDiff diffFrames(const std::vector<DrawCall>& prev, const std::vector<DrawCall>& next, int w, int h,
                            size_t maxRects = 4, double fullShare = 0.6) {
  FrameDiff d;
  if (w <= 0 || h <= 0) return d;
  size_t head = 0;
  while (head < prev.size() && head < next.size() && prev[head].hash == next[head].hash) ++head;
  size_t tail = 0;
  while (tail < prev.size() - head && tail < next.size() - head &&
         prev[prev.size() - 1 - tail].hash == next[next.size() - 1 - tail].hash)
    ++tail;
  std::vector<PixelRect> marks;
  auto mark = [&](const DrawCall& c) {
    const PixelRect r = calldiff::grow(c, w, h);
    if (r.area() > 0) marks.push_back(r);
  };
  // Between the ends, walk both lists together: equal calls pair off; where they part, a call found again a few
  // places on in the other list marks what was skipped (drawn in one frame only), else both calls are marked. Pixels
  // that no mark covers are drawn only by calls that pair off, in the same order, so they stay as they were.
  const size_t prevEnd = prev.size() - tail;
  const size_t nextEnd = next.size() - tail;
  size_t i = head, j = head;
  while (i < prevEnd || j < nextEnd) {
    if (i < prevEnd && j < nextEnd && prev[i].hash == next[j].hash) {
      ++i, ++j;
      continue;
    }
    bool resynced = false;
    for (size_t k = 1; k <= calldiff::kLookAhead && !resynced; ++k) {
      if (j < nextEnd && i + k < prevEnd && prev[i + k].hash == next[j].hash) {
        for (size_t n = 0; n < k; ++n) mark(prev[i + n]);
        i += k;
        resynced = true;
      } else if (i < prevEnd && j + k < nextEnd && prev[i].hash == next[j + k].hash) {
        for (size_t n = 0; n < k; ++n) mark(next[j + n]);
        j += k;
        resynced = true;
      }
    }
    if (resynced) continue;
    if (i < prevEnd) mark(prev[i++]);
    if (j < nextEnd) mark(next[j++]);
  }
  // A great many marks (a long list that scrolled): their bounding box. Otherwise merge marks that touch or nearly
  // do, then the pair that grows least, until few enough remain.
  if (marks.size() > calldiff::kManyMarks) {
    PixelRect all = marks.front();
    for (const PixelRect& r : marks) all = calldiff::unite(all, r);
    marks.assign(1, all);
  }
  for (size_t i = 0; i < marks.size(); ++i) {
    for (size_t j = i + 1; j < marks.size();) {
      if (!calldiff::touches(marks[i], marks[j])) {
        ++j;
        continue;
      }
      marks[i] = calldiff::unite(marks[i], marks[j]);
      marks.erase(marks.begin() + static_cast<long>(j));
      j = i + 1;  // the grown rectangle may touch one it did not before
    }
  }
  while (marks.size() > maxRects) {
    size_t bi = 0, bj = 1;
    long best = -1;
    for (size_t i = 0; i < marks.size(); ++i) {
      for (size_t j = i + 1; j < marks.size(); ++j) {
        const long grow = calldiff::unite(marks[i], marks[j]).area() - marks[i].area() - marks[j].area();
        if (best < 0 || grow < best) best = grow, bi = i, bj = j;
      }
    }
    marks[bi] = calldiff::unite(marks[bi], marks[bj]);
    marks.erase(marks.begin() + static_cast<long>(bj));
  }
  long area = 0;
  for (const PixelRect& r : marks) area += r.area();
  if (static_cast<double>(area) > fullShare * w * h) {
    d.full = true;
    return d;
  }
  d.rects = std::move(marks);
  return d;
}

}  // namespace vrui
