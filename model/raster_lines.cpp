#include "model/raster_lines.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>

void Line_Points(TPoint p0, TPoint p1, TPoint* points, int32_t& count) {
  count = 0;
  int32_t dx = p1.x - p0.x;
  int32_t dy = p1.y - p0.y;
  if (dx == 0) {
    for (int32_t y = std::min(p0.y, p1.y); y <= std::max(p0.y, p1.y); ++y) points[count++] = {p0.x, y};
    return;
  }
  if (dy == 0) {
    for (int32_t x = std::min(p0.x, p1.x); x <= std::max(p0.x, p1.x); ++x) points[count++] = {x, p0.y};
    return;
  }
  const bool x_major = std::abs(dy) <= std::abs(dx);
  // Work in (major, minor) coordinates, oriented so that the major
  // difference is positive.
  int32_t m0 = x_major ? p0.x : p0.y, n0 = x_major ? p0.y : p0.x;
  int32_t m1 = x_major ? p1.x : p1.y, n1 = x_major ? p1.y : p1.x;
  if (m1 < m0) {
    std::swap(m0, m1);
    std::swap(n0, n1);
  }
  const int32_t dm = m1 - m0;
  const int32_t dn = n1 - n0;
  const int32_t s = dn > 0 ? 1 : -1;
  const int32_t d = std::abs(dn);
  int32_t e = 2 * d - dm;
  int32_t n = n0;
  auto put = [&](int32_t m, int32_t minor) {
    points[count++] = x_major ? TPoint{m, minor} : TPoint{minor, m};
  };
  put(m0, n);
  for (int32_t m = m0 + 1; m < m1; ++m) {
    if (e > 0) {
      n += s;
      e += 2 * (d - dm);
    } else {
      e += 2 * d;
    }
    put(m, n);
  }
}

bool Point_Near_Segment(TPoint p0, TPoint p1, TPoint point, int32_t width) {
  const int32_t h = width >> 1;
  TRect box = TRect(p0.x, p0.y, p1.x, p1.y).Normalized();
  box = TRect(box.left - (h + 1), box.top - (h + 1), box.right + h + 1, box.bottom + h + 1);
  if (!box.Contains(point)) return false;
  if (p0.x == p1.x || p0.y == p1.y) return true;
  // In 64 bits: the products of far-away points overflow 32.
  const int64_t gx = int64_t{p1.x - p0.x} * (point.y - p0.y) / (p1.y - p0.y) + p0.x - point.x;
  const int64_t gy = int64_t{p1.y - p0.y} * (point.x - p0.x) / (p1.x - p0.x) + p0.y - point.y;
  return std::llabs(gx) <= h || std::llabs(gy) <= h;
}

namespace {

struct Clip_Range {
  double t0 = 0.0, t1 = 1.0;
  bool Limit(double p, double q) {
    // p * t <= q must hold.
    if (p == 0.0) return q >= 0.0;
    double t = q / p;
    if (p < 0.0) {
      if (t > t1) return false;
      if (t > t0) t0 = t;
    } else {
      if (t < t0) return false;
      if (t < t1) t1 = t;
    }
    return true;
  }
};

int32_t Round_Into(double v, int32_t low, int32_t high) {
  double r = v < 0 ? -std::floor(-v + 0.5) : std::floor(v + 0.5);
  if (r < low) return low;
  if (r > high) return high;
  return static_cast<int32_t>(r);
}

// The clipping rule as the outline drawing has always done it: entry and exit
// points on the edges from truncating divisions. It can hand back an end
// outside r (the exit division leans towards the far end); the caller checks.
bool Edge_Clip(TPoint p0, TPoint p1, const TRect& r, TPoint& q0, TPoint& q1) {
  const int64_t x0 = p0.x, y0 = p0.y, x1 = p1.x, y1 = p1.y;
  bool inside = true, found = false;
  auto in_x = [&](int64_t x) { return r.left <= x && x < r.right; };
  auto in_y = [&](int64_t y) { return r.top <= y && y < r.bottom; };
  if (x0 < r.left) {
    inside = false;
    if (x1 < r.left) return false;
    int64_t y = (y1 - y0) * (r.left - x0) / (x1 - x0) + y0;
    if (in_y(y)) q0 = {r.left, int32_t(y)}, found = true;
  }
  if (y0 < r.top) {
    inside = false;
    if (!found) {
      if (y1 < r.top) return false;
      int64_t x = (x1 - x0) * (r.top - y0) / (y1 - y0) + x0;
      if (in_x(x)) q0 = {int32_t(x), r.top}, found = true;
    }
  }
  if (x0 >= r.right) {
    inside = false;
    if (!found) {
      if (x1 >= r.right) return false;
      int64_t y = (y1 - y0) * (r.right - x0 - 1) / (x1 - x0) + y0;
      if (in_y(y)) q0 = {r.right - 1, int32_t(y)}, found = true;
    }
  }
  if (y0 >= r.bottom) {
    inside = false;
    if (!found) {
      if (y1 >= r.bottom) return false;
      int64_t x = (x1 - x0) * (r.bottom - y0 - 1) / (y1 - y0) + x0;
      if (in_x(x)) q0 = {int32_t(x), r.bottom - 1}, found = true;
    }
  }
  if (inside) q0 = p0, found = true;
  if (!found) return false;
  if (x1 < r.left) {
    int64_t y = (y0 - y1) * (r.left - x1) / (x0 - x1) + y1;
    if (in_y(y)) return q1 = {r.left, int32_t(y)}, true;
  }
  if (y1 < r.top) {
    int64_t x = (x0 - x1) * (r.top - y1) / (y0 - y1) + x1;
    if (in_x(x)) return q1 = {int32_t(x), r.top}, true;
  }
  if (x1 >= r.right) {
    int64_t y = (y0 - y1) * (r.right - x1 - 1) / (x0 - x1) + y1;
    if (in_y(y)) return q1 = {r.right - 1, int32_t(y)}, true;
  }
  if (y1 >= r.bottom) {
    int64_t x = (x0 - x1) * (r.bottom - y1 - 1) / (y0 - y1) + x1;
    if (in_x(x)) return q1 = {int32_t(x), r.bottom - 1}, true;
  }
  q1 = p1;
  return true;
}

// Exact clipping: the parameter range of the segment over r's pixels (each
// pixel the unit square about its centre), each end rounded to the nearest
// pixel and held inside.
bool Exact_Clip(TPoint p0, TPoint p1, const TRect& r, TPoint& q0, TPoint& q1) {
  const double x0 = p0.x, y0 = p0.y;
  const double dx = double(p1.x) - p0.x, dy = double(p1.y) - p0.y;
  Clip_Range range;
  if (!range.Limit(-dx, x0 - (r.left - 0.5)) || !range.Limit(dx, (r.right - 0.5) - x0) ||
      !range.Limit(-dy, y0 - (r.top - 0.5)) || !range.Limit(dy, (r.bottom - 0.5) - y0) ||
      range.t0 > range.t1)
    return false;
  auto at = [&](double t) {
    return TPoint{Round_Into(x0 + t * dx, r.left, r.right - 1),
                  Round_Into(y0 + t * dy, r.top, r.bottom - 1)};
  };
  q0 = at(range.t0);
  q1 = at(range.t1);
  return true;
}

}  // namespace

bool Clip_Segment_To_Rect(TPoint p0, TPoint p1, const TRect& r, TPoint& q0, TPoint& q1) {
  if (r.right <= r.left || r.bottom <= r.top) return false;
  TPoint a, b;
  if (!Edge_Clip(p0, p1, r, a, b)) return false;
  if (r.Contains(a) && r.Contains(b)) {
    q0 = a;
    q1 = b;
    return true;
  }
  // The edge rule left an end outside: clip exactly instead, so that the
  // caller never steps outside the rectangle.
  return Exact_Clip(p0, p1, r, q0, q1);
}

void Pixels::Attach(uint8_t* bits, int32_t stride, int32_t height) { Attach(bits, stride, stride, height); }

void Pixels::Attach(uint8_t* bits, int32_t width, int32_t stride, int32_t height) {
  Width = width;
  Stride = stride;
  Height = height;
  Bits = bits;
  if (height > Offsets_Room) {
    Row_Offsets = std::make_unique<int32_t[]>(height);
    Offsets_Room = height;
  }
  for (int32_t y = 0; y < height; ++y) Row_Offsets[y] = (height - 1 - y) * stride;
}
