#include "game/firework_trail.h"

#include <algorithm>

#include "toolkit/small_utilities.h"

namespace {

TRect Grown(const TRect& r, int32_t by) { return TRect(r.left - by, r.top - by, r.right + by, r.bottom + by); }

bool Inside(const TRect& r, const Pixels& pixels) {
  return r.left >= 0 && r.top >= 0 && r.right < pixels.Width && r.bottom < pixels.Height;
}

bool Inside(int32_t x, int32_t y, const Pixels& pixels) {
  return x >= 0 && y >= 0 && x < pixels.Width && y < pixels.Height;
}

}  // namespace

Firework_Trail::Firework_Trail(int32_t side, Distribution_Table& distributions)
    : Side(std::max(side, 1)), Points(size_t(std::max(side, 1)) + 1), Distributions(distributions) {}

TRect Firework_Trail::Draw_Segment(Pixels& pixels, const Trail_Position& from, const Trail_Position& to,
                                   int32_t size_offset, int32_t numerator, int32_t divisor, uint8_t color) {
  TRect box(std::min(from.x, to.x), std::min(from.y, to.y), std::max(from.x, to.x), std::max(from.y, to.y));
  // In 64 bits: far projected points must not overflow the test.
  if (std::max(int64_t{box.right} - box.left, int64_t{box.bottom} - box.top) >= Side) return box;
  int32_t n = 0;
  Line_Points({from.x, from.y}, {to.x, to.y}, Points.data(), n);
  if (n < 1) return Grown(box, 1);
  int32_t size = size_offset + Depth_Size_Table[size_t(std::clamp((from.depth + to.depth) / 2, 0, 17))];
  if (size > 15) size = 15;
  if (size < 3) size = 1;
  int64_t dots = int64_t{n} * size * numerator;
  if (divisor > 1) dots /= divisor;
  if (size == 1) {
    const bool inside = Inside(box, pixels);
    for (int64_t i = 0; i < dots; ++i) {
      const TPoint& q = Points[size_t(Next_Random() % n)];
      if (inside || Inside(q.x, q.y, pixels)) pixels.At(q.x, q.y) = color;
    }
    return Grown(box, 1);
  }
  const int32_t s = size | 1;
  if (!Distributions[size_t(s)]) return Grown(box, 1);
  Circular_Distribution& distribution = *Distributions[size_t(s)];
  box = Grown(box, s);
  if (Inside(box, pixels)) {
    if (s != 3) {
      int32_t k = 0;
      for (int64_t i = 0; i < dots; ++i) {
        const TPoint d = distribution.Next();
        pixels.At(Points[size_t(k)].x + d.x, Points[size_t(k)].y + d.y) = color;
        if (++k == n) k = 0;
      }
    } else {
      for (int64_t i = 0; i < dots; ++i) {
        const TPoint& q = Points[size_t(Next_Random() % n)];
        const TPoint d = distribution.Next();
        pixels.At(q.x + d.x, q.y + d.y) = color;
      }
    }
  } else {
    for (int64_t i = 0; i < dots; ++i) {
      const TPoint& q = Points[size_t(Next_Random() % n)];
      const TPoint d = distribution.Next();
      if (Inside(q.x + d.x, q.y + d.y, pixels)) pixels.At(q.x + d.x, q.y + d.y) = color;
    }
  }
  return Grown(box, 1);
}
