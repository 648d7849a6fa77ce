// Lines: thin lines, wide polylines and Bezier curves.
//
// A thin line lights one pixel per step along its major axis (x when
// |dx| >= |dy|), the pixel nearest the true line, exact ties going to the
// smaller minor coordinate. The line is always walked from its end with the
// smaller major coordinate, so a to b and b to a light the same pixels apart
// from the end each leaves out (the last one, unless include_last).
// The walk covers only the steps inside the clip, so a line with huge ends
// costs no more than one across the clip.
//
// A wide line of width w covers the pixels within w/2 of its centre line,
// which gives round ends and round joins. For odd w the centre line runs
// through the pixel centres of its points; for even w it is moved half a
// pixel up and left, so a horizontal line of width w covers exactly w rows.
// Each segment is a "stadium" (two discs and the band between): convex, so
// one interval per row. The intervals of all segments go through a region,
// which reports every pixel once.
#include <cmath>

#include "platform/gdi/region.h"
#include "platform/gdi/scan_arith.h"
#include "platform/gdi/scan_converter.h"

using namespace Scan_Arith;

namespace {

// x with a·x + k inside [lo, hi], as a real interval; false when none.
bool Solve_Range(double a, double k, double lo, double hi, double& x0, double& x1) {
  if (a == 0) {
    if (k < lo || k > hi) return false;
    x0 = -1e300;
    x1 = 1e300;
    return true;
  }
  double u = (lo - k) / a, v = (hi - k) / a;
  x0 = std::min(u, v);
  x1 = std::max(u, v);
  return true;
}

struct TStadium {
  double px, py, qx, qy, r;

  // The real interval of row y inside the stadium; false when empty.
  bool Row(double y, double& lo, double& hi) const {
    lo = 1e300;
    hi = -1e300;
    Disc(px, py, y, lo, hi);
    Disc(qx, qy, y, lo, hi);
    double dx = qx - px, dy = qy - py, l2 = dx * dx + dy * dy;
    if (l2 > 0) {
      double a0, a1, b0, b1;
      if (Solve_Range(dx, -px * dx + (y - py) * dy, 0, l2, a0, a1) &&
          Solve_Range(dy, -px * dy - (y - py) * dx, -r * std::sqrt(l2), r * std::sqrt(l2), b0, b1)) {
        double c0 = std::max(a0, b0), c1 = std::min(a1, b1);
        if (c0 <= c1) {
          lo = std::min(lo, c0);
          hi = std::max(hi, c1);
        }
      }
    }
    return lo <= hi;
  }

 private:
  void Disc(double cx, double cy, double y, double& lo, double& hi) const {
    double h2 = r * r - (y - cy) * (y - cy);
    if (h2 < 0) return;
    double h = std::sqrt(h2);
    lo = std::min(lo, cx - h);
    hi = std::max(hi, cx + h);
  }
};

void Add_Stadium(const TStadium& s, const TRect& clip, TRegion_Builder& builder) {
  constexpr double eps = 1e-6;
  double top = std::max(std::ceil(std::min(s.py, s.qy) - s.r - eps), double(clip.top));
  double bottom = std::min(std::floor(std::max(s.py, s.qy) + s.r + eps), double(clip.bottom) - 1);
  for (double y = top; y <= bottom; ++y) {
    double lo, hi;
    if (!s.Row(y, lo, hi)) continue;
    double x0 = std::max(std::ceil(lo - eps), double(clip.left));
    double x1 = std::min(std::floor(hi + eps) + 1, double(clip.right));
    if (x0 < x1) builder.Add(int(y), int(x0), int(x1));
  }
}

int Round_To_Int(double v) { return int(std::floor(std::clamp(v, -2e9, 2e9) + 0.5)); }

}  // namespace

namespace Scan {

void Line(TPoint a, TPoint b, bool include_last, const TRect& clip, const TSpan_Sink& sink) {
  if (clip.IsEmpty()) return;
  if (a == b) {
    if (include_last && clip.Contains(a)) sink(a.y, a.x, a.x + 1);
    return;
  }
  int64_t dx = int64_t(b.x) - a.x, dy = int64_t(b.y) - a.y;
  bool x_major = std::abs(dx) >= std::abs(dy);
  auto major = [&](TPoint p) { return int64_t(x_major ? p.x : p.y); };
  auto minor = [&](TPoint p) { return int64_t(x_major ? p.y : p.x); };
  TPoint lo = a, hi = b;
  if (major(lo) > major(hi)) std::swap(lo, hi);
  int64_t first = major(lo), last = major(hi);
  int64_t run = last - first, rise = minor(hi) - minor(lo);
  if (!include_last) {  // the major coordinates of a and b differ
    if (major(b) == last) --last; else ++first;
  }
  first = std::max<int64_t>(first, x_major ? clip.left : clip.top);
  last = std::min<int64_t>(last, (x_major ? clip.right : clip.bottom) - 1);
  if (first > last) return;
  // minor(M) = ceil(minor0 + (M - major0) · rise / run - 1/2)
  TCeil_Stepper m(int128(2 * minor(lo)) * run + int128(2) * (first - major(lo)) * rise - run,
                  2 * run, 2 * rise);
  if (!x_major) {
    for (int64_t y = first; y <= last; ++y, m.Next())
      if (m.value >= clip.left && m.value < clip.right) sink(int(y), int(m.value), int(m.value) + 1);
    return;
  }
  int64_t run_start = first, run_y = m.value;
  auto flush = [&](int64_t end) {
    if (run_y >= clip.top && run_y < clip.bottom) sink(int(run_y), int(run_start), int(end));
  };
  for (int64_t x = first; x <= last; ++x, m.Next()) {
    if (m.value == run_y) continue;
    flush(x);
    run_start = x;
    run_y = m.value;
  }
  flush(last + 1);
}

void Wide_Polyline(const TPoint* points, int count, int pen_width, bool closed, const TRect& clip,
                   const TSpan_Sink& sink) {
  if (clip.IsEmpty() || count <= 0 || points == nullptr) return;
  TRegion_Builder builder;
  int segments = count == 1 ? 1 : (closed && count > 2 ? count : count - 1);
  if (pen_width <= 1) {
    TSpan_Sink collect = builder.Sink();
    for (int i = 0; i < segments; ++i)
      Line(points[i], points[(i + 1) % count], count == 1, clip, collect);
  } else {
    double r = pen_width / 2.0, shift = pen_width % 2 == 0 ? 0.5 : 0.0;
    for (int i = 0; i < segments; ++i) {
      TPoint p = points[i], q = points[(i + 1) % count];
      Add_Stadium({p.x - shift, p.y - shift, q.x - shift, q.y - shift, r}, clip, builder);
    }
  }
  builder.Build().For_Each_Span(clip, sink);
}

void Bezier(const TPoint* points, int count, const TRect& clip, const TSpan_Sink& sink) {
  if (clip.IsEmpty() || count < 4 || points == nullptr) return;
  TRegion_Builder builder;
  TSpan_Sink collect = builder.Sink();
  TPoint previous = points[0];
  for (int s = 0; s + 3 < count; s += 3) {
    const TPoint* p = points + s;
    // Steps enough to keep the flattening error under a fifth of a pixel:
    // uniform steps err by at most 3/4 · max |second difference| / n².
    double d1 = std::hypot(p[0].x - 2.0 * p[1].x + p[2].x, p[0].y - 2.0 * p[1].y + p[2].y);
    double d2 = std::hypot(p[1].x - 2.0 * p[2].x + p[3].x, p[1].y - 2.0 * p[2].y + p[3].y);
    int steps = int(std::clamp(std::ceil(std::sqrt(3.75 * std::max(d1, d2))), 1.0, 4096.0));
    for (int i = 1; i <= steps; ++i) {
      double t = double(i) / steps, u = 1 - t;
      double b0 = u * u * u, b1 = 3 * u * u * t, b2 = 3 * u * t * t, b3 = t * t * t;
      TPoint next(Round_To_Int(b0 * p[0].x + b1 * p[1].x + b2 * p[2].x + b3 * p[3].x),
                  Round_To_Int(b0 * p[0].y + b1 * p[1].y + b2 * p[2].y + b3 * p[3].y));
      if (i == steps) next = p[3];
      if (next == previous) continue;
      Line(previous, next, false, clip, collect);
      previous = next;
    }
  }
  builder.Build().For_Each_Span(clip, sink);
}

}  // namespace Scan
