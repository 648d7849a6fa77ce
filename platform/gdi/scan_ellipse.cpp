// Ellipses, rounded rectangles, arcs, pies and chords.
//
// All work in doubled coordinates about the centre of the box, so every
// quantity is an integer: for a box l <= x < r, t <= y < b, the centre of
// pixel (x, y) lies at X = 2x + 1 - (l + r), Y = 2y + 1 - (t + b), and the
// inscribed ellipse has the doubled semi-axes A = r - l and B = b - t. The
// pixel is inside when X²B² + Y²A² <= A²B² (boundary included), so each row
// covers the X with |X| <= m, m the integer square root of A²(B² - Y²)/B².
// That makes the fill symmetric about both axes and identical for Ellipse,
// elliptic regions and hit tests (they all come through here).
//
// A rounded rectangle is the same computation with corner ellipses of
// cw × ch: a row inside the top or bottom corner band is the corner
// ellipse's row widened by the straight part; rows between are full. The
// ellipse is the rounded rectangle whose corners are the whole box.
//
// Outlines lie inside the figure. A cosmetic pen (width 1) takes the figure's
// pixels that have a 4-neighbour outside it, which is 8-connected and one
// pixel thin; a wider pen takes the figure minus the same figure shrunk by
// the pen width on every side.
//
// Arcs, pies and chords cut these by angle. The rays run from the centre
// through the start and end points (their direction alone counts); in
// doubled coordinates with y up, a pixel lies in the sector from s counter-
// clockwise to e when cross(s, p) >= 0 and cross(p, e) >= 0 (both, for
// sweeps under a half turn; either, for sweeps over). Each condition is
// linear in X along a row, so a row's sector is at most two intervals, found
// exactly with 128-bit products. A zero ray (a point at the centre) points
// along +x.
#include <cmath>

#include "platform/gdi/region.h"
#include "platform/gdi/scan_arith.h"
#include "platform/gdi/scan_converter.h"

using namespace Scan_Arith;

namespace {

constexpr int64_t Far = INT64_MAX / 4;

uint64_t Isqrt(uint64_t v) {
  uint64_t s = static_cast<uint64_t>(std::sqrt(static_cast<double>(v)));
  while (s > 0 && static_cast<unsigned __int128>(s) * s > v) --s;
  while (static_cast<unsigned __int128>(s + 1) * (s + 1) <= v) ++s;
  return s;
}

// Largest m with m²B² + Y²A² <= A²B², or -1 when row Y misses the ellipse.
int64_t Half_Width(int64_t a, int64_t b, int64_t y) {
  if (y < 0) y = -y;
  if (y > b) return -1;
  if (a < 65536 && b < 65536) {
    uint64_t bb = uint64_t(b) * uint64_t(b);
    return static_cast<int64_t>(Isqrt(uint64_t(a) * uint64_t(a) * (bb - uint64_t(y) * uint64_t(y)) / bb));
  }
  using u128 = unsigned __int128;
  u128 bb = u128(b) * u128(b);
  u128 k = u128(a) * u128(a) * (bb - u128(y) * u128(y));
  return static_cast<int64_t>(Isqrt(static_cast<uint64_t>(k / bb)));
}

// A rectangle with elliptic corners of cw × ch (the whole box: an ellipse).
struct TRounded {
  int64_t l = 0, t = 0, r = 0, b = 0, cw = 0, ch = 0;

  static TRounded Make(const TRect& box, int64_t cw, int64_t ch) {
    TRect n = box.Normalized();
    TRounded s{n.left, n.top, n.right, n.bottom, 0, 0};
    s.cw = std::clamp<int64_t>(cw, 0, s.r - s.l);
    s.ch = std::clamp<int64_t>(ch, 0, s.b - s.t);
    return s;
  }
  // The same shape with every side moved inwards by w.
  TRounded Shrunk(int64_t w) const {
    TRounded s{l + w, t + w, r - w, b - w, 0, 0};
    if (s.l >= s.r || s.t >= s.b) return TRounded{};
    s.cw = std::clamp<int64_t>(cw - 2 * w, 0, s.r - s.l);
    s.ch = std::clamp<int64_t>(ch - 2 * w, 0, s.b - s.t);
    return s;
  }
  bool Empty() const { return l >= r || t >= b; }

  // The pixels [x0, x1) of row y; false when the row holds none.
  bool Row(int64_t y, int64_t& x0, int64_t& x1) const {
    if (y < t || y >= b) return false;
    int64_t m = cw;  // a full row between the corner bands
    int64_t top_y = 2 * y + 1 - (2 * t + ch);
    int64_t bottom_y = 2 * y + 1 - (2 * b - ch);
    if (top_y < 0) {
      m = Half_Width(cw, ch, top_y);
    } else if (bottom_y > 0) {
      m = Half_Width(cw, ch, bottom_y);
    }
    if (m < 0) return false;
    x0 = Ceil_Div<int64_t>(2 * l + cw - m - 1, 2);
    x1 = Floor_Div<int64_t>(2 * r - cw + m - 1, 2) + 1;
    return x0 < x1;
  }
  // Doubled coordinates of pixel column x and row y about the centre.
  int64_t X(int64_t x) const { return 2 * x + 1 - (l + r); }
  int64_t Y(int64_t y) const { return 2 * y + 1 - (t + b); }
};

// The x of the pixels whose doubled X satisfies a·X <= k.
TIntervals X_Where_At_Most(int128 a, int128 k, int64_t x_offset) {
  if (a == 0) return k >= 0 ? TIntervals::All() : TIntervals();
  int128 bound = 0;
  if (a > 0) {
    bound = std::clamp<int128>(Floor_Div<int128>(k, a), -Far, Far);
    return TIntervals::One(-Far, Floor_Div<int64_t>(int64_t(bound) - x_offset, 2) + 1);
  }
  bound = std::clamp<int128>(Ceil_Div<int128>(k, a), -Far, Far);
  return TIntervals::One(Ceil_Div<int64_t>(int64_t(bound) - x_offset, 2), Far);
}

// The same for real coefficients (the chord's line).
TIntervals X_Where_At_Most(double a, double k, int64_t x_offset) {
  if (a == 0) return k >= 0 ? TIntervals::All() : TIntervals();
  double bound = std::clamp(k / a, -1e18, 1e18);
  if (a > 0) return TIntervals::One(-Far, int64_t(std::floor((bound - x_offset) / 2)) + 1);
  return TIntervals::One(int64_t(std::ceil((bound - x_offset) / 2)), Far);
}

// The rays of an arc, in doubled coordinates with y pointing up.
struct TRays {
  int64_t sx, sy, ex, ey;

  TRays(const TRounded& e, TPoint start, TPoint end)
      : sx(2 * int64_t(start.x) - (e.l + e.r)),
        sy((e.t + e.b) - 2 * int64_t(start.y)),
        ex(2 * int64_t(end.x) - (e.l + e.r)),
        ey((e.t + e.b) - 2 * int64_t(end.y)) {
    if (sx == 0 && sy == 0) sx = 1;
    if (ex == 0 && ey == 0) ex = 1;
  }
  int128 Cross() const { return int128(sx) * ey - int128(sy) * ex; }
  int128 Dot() const { return int128(sx) * ex + int128(sy) * ey; }
  bool Whole() const { return Cross() == 0 && Dot() > 0; }
};

// The pixels of a row inside the sector from the start ray counter-
// clockwise to the end ray.
class TSector {
 public:
  TSector(const TRounded& e, TPoint start, TPoint end) : e_(e), rays_(e, start, end) {
    int128 cross = rays_.Cross();
    kind_ = cross > 0 ? Narrow : cross < 0 ? Wide : rays_.Dot() > 0 ? Whole : Half;
  }

  TIntervals Row(int64_t y) const {
    if (kind_ == Whole) return TIntervals::All();
    int128 yd = e_.Y(y);  // screen down; the math y of the pixel is -yd
    int64_t offset = 1 - (e_.l + e_.r);
    // cross(s, p) >= 0  <=>  sy·X <= -sx·Y
    TIntervals after_start = X_Where_At_Most(int128(rays_.sy), -int128(rays_.sx) * yd, offset);
    if (kind_ == Half) return after_start;
    // cross(p, e) >= 0  <=>  -ey·X <= ex·Y
    TIntervals before_end = X_Where_At_Most(-int128(rays_.ey), int128(rays_.ex) * yd, offset);
    return kind_ == Narrow ? after_start.Intersect(before_end) : after_start.Unite(before_end);
  }

 private:
  enum { Whole, Narrow, Wide, Half };
  TRounded e_;
  TRays rays_;
  int kind_;
};

// Where a ray from the centre leaves the ellipse, in doubled coordinates, y up.
void Ray_End(const TRounded& e, double ux, double uy, double& px, double& py) {
  double a = double(e.r - e.l), b = double(e.b - e.t);
  px = py = 0;
  if (a <= 0 || b <= 0) return;
  double k = 1.0 / std::sqrt((ux * ux) / (a * a) + (uy * uy) / (b * b));
  px = ux * k;
  py = uy * k;
}

// The pixels of a row on the arc's side of the chord through the arc's ends.
class TChord_Side {
 public:
  TChord_Side(const TRounded& e, TPoint start, TPoint end) : e_(e), rays_(e, start, end) {
    Ray_End(e, double(rays_.sx), double(rays_.sy), psx_, psy_);
    Ray_End(e, double(rays_.ex), double(rays_.ey), pex_, pey_);
  }
  TIntervals Row(int64_t y) const {
    if (rays_.Whole()) return TIntervals::All();
    // cross(Pe - Ps, p - Ps) <= 0 with p = (X, -Y): -dy·X <= dx·(Y + Psy) - dy·Psx
    double dx = pex_ - psx_, dy = pey_ - psy_;
    double yd = double(e_.Y(y));
    return X_Where_At_Most(-dy, dx * (yd + psy_) - dy * psx_, 1 - (e_.l + e_.r));
  }
  // The arc's end points as pixels.
  TPoint Start_Pixel() const { return Pixel_Of(psx_, psy_); }
  TPoint End_Pixel() const { return Pixel_Of(pex_, pey_); }
  TPoint Centre_Pixel() const { return Pixel_Of(0, 0); }

 private:
  TPoint Pixel_Of(double px, double py) const {
    double x = std::floor((double(e_.l + e_.r) + px) / 2);
    double y = std::floor((double(e_.t + e_.b) - py) / 2);
    return TPoint(int(std::clamp(x, -2e9, 2e9)), int(std::clamp(y, -2e9, 2e9)));
  }
  TRounded e_;
  TRays rays_;
  double psx_ = 0, psy_ = 0, pex_ = 0, pey_ = 0;
};

// The figure's outline of the given pen width, as up to two intervals per row.
class TOutline {
 public:
  TOutline(const TRounded& shape, int pen_width)
      : shape_(shape), inner_(shape.Shrunk(std::max(pen_width, 1))), thin_(pen_width <= 1) {}

  TIntervals Row(int64_t y) const {
    int64_t x0, x1;
    if (!shape_.Row(y, x0, x1)) return TIntervals();
    int64_t i0 = 0, i1 = 0;
    if (!Inner_Row(y, x0, x1, i0, i1)) return TIntervals::One(x0, x1);
    TIntervals out;
    out.Push(x0, std::max(x0, i0));
    out.Push(std::min(x1, i1), x1);
    return out;
  }

 private:
  bool Inner_Row(int64_t y, int64_t x0, int64_t x1, int64_t& i0, int64_t& i1) const {
    if (!thin_) return !inner_.Empty() && inner_.Row(y, i0, i1);
    int64_t a0, a1, b0, b1;
    if (!shape_.Row(y - 1, a0, a1) || !shape_.Row(y + 1, b0, b1)) return false;
    i0 = std::max({a0, b0, x0 + 1});
    i1 = std::min({a1, b1, x1 - 1});
    return i0 < i1;
  }
  TRounded shape_;
  TRounded inner_;
  bool thin_;
};

// Runs over the rows of shape inside clip, emitting what row(y) returns.
template <typename Row_Fn>
void Emit_Rows(const TRounded& shape, const TRect& clip, const TSpan_Sink& sink, Row_Fn row_fn) {
  if (clip.IsEmpty() || shape.Empty()) return;
  int64_t y0 = std::max<int64_t>(shape.t, clip.top);
  int64_t y1 = std::min<int64_t>(shape.b, clip.bottom);
  TRow_Spans row(clip, sink);
  for (int64_t y = y0; y < y1; ++y) {
    row.Begin(int(y));
    row_fn(y).Emit(row);
  }
}

TIntervals Fill_Row(const TRounded& shape, int64_t y) {
  int64_t x0, x1;
  return shape.Row(y, x0, x1) ? TIntervals::One(x0, x1) : TIntervals();
}

TRounded Ellipse_Of(const TRect& box) {
  TRect n = box.Normalized();
  return TRounded::Make(n, int64_t(n.right) - n.left, int64_t(n.bottom) - n.top);
}

}  // namespace

namespace Scan {

void Ellipse(const TRect& box, const TRect& clip, const TSpan_Sink& sink) {
  TRounded e = Ellipse_Of(box);
  Emit_Rows(e, clip, sink, [&](int64_t y) { return Fill_Row(e, y); });
}

void Ellipse_Outline(const TRect& box, int pen_width, const TRect& clip, const TSpan_Sink& sink) {
  TRounded e = Ellipse_Of(box);
  TOutline outline(e, pen_width);
  Emit_Rows(e, clip, sink, [&](int64_t y) { return outline.Row(y); });
}

void Round_Rect(const TRect& box, TSize corner, const TRect& clip, const TSpan_Sink& sink) {
  TRounded s = TRounded::Make(box, corner.cx, corner.cy);
  Emit_Rows(s, clip, sink, [&](int64_t y) { return Fill_Row(s, y); });
}

void Round_Rect_Outline(const TRect& box, TSize corner, int pen_width, const TRect& clip,
                        const TSpan_Sink& sink) {
  TRounded s = TRounded::Make(box, corner.cx, corner.cy);
  TOutline outline(s, pen_width);
  Emit_Rows(s, clip, sink, [&](int64_t y) { return outline.Row(y); });
}

void Arc(const TRect& box, TPoint start, TPoint end, int pen_width, const TRect& clip,
         const TSpan_Sink& sink) {
  TRounded e = Ellipse_Of(box);
  TOutline outline(e, pen_width);
  TSector sector(e, start, end);
  Emit_Rows(e, clip, sink, [&](int64_t y) { return outline.Row(y).Intersect(sector.Row(y)); });
}

void Pie(const TRect& box, TPoint start, TPoint end, const TRect& clip, const TSpan_Sink& sink) {
  TRounded e = Ellipse_Of(box);
  TSector sector(e, start, end);
  Emit_Rows(e, clip, sink, [&](int64_t y) { return Fill_Row(e, y).Intersect(sector.Row(y)); });
}

void Chord(const TRect& box, TPoint start, TPoint end, const TRect& clip, const TSpan_Sink& sink) {
  TRounded e = Ellipse_Of(box);
  TChord_Side side(e, start, end);
  Emit_Rows(e, clip, sink, [&](int64_t y) { return Fill_Row(e, y).Intersect(side.Row(y)); });
}

// The straight sides are drawn as lines between the arc's end pixels (and
// the centre), joined to the arc and kept inside the ellipse; a region
// gathers the parts so that every pixel is reported once.
static void Outline_With_Sides(const TRect& box, TPoint start, TPoint end, int pen_width,
                               bool through_centre, const TRect& clip, const TSpan_Sink& sink) {
  TRounded e = Ellipse_Of(box);
  if (clip.IsEmpty() || e.Empty()) return;
  TRegion_Builder builder;
  TSpan_Sink collect = builder.Sink();
  TRect area = TRect(int(e.l), int(e.t), int(e.r), int(e.b)).Intersection(clip);
  Arc(box, start, end, pen_width, area, collect);
  TChord_Side side(e, start, end);
  if (!TRays(e, start, end).Whole()) {
    TPoint sides[3] = {side.Start_Pixel(), side.Centre_Pixel(), side.End_Pixel()};
    if (!through_centre) sides[1] = sides[2];
    int count = through_centre ? 3 : 2;
    if (pen_width <= 1) {
      for (int i = 0; i + 1 < count; ++i) Line(sides[i], sides[i + 1], true, area, collect);
    } else {
      Wide_Polyline(sides, count, pen_width, false, area, collect);
    }
  }
  TRegion outline = builder.Build();
  TRegion_Builder inside;
  Ellipse(box, area, inside.Sink());
  outline &= inside.Build();
  outline.For_Each_Span(clip, sink);
}

void Pie_Outline(const TRect& box, TPoint start, TPoint end, int pen_width, const TRect& clip,
                 const TSpan_Sink& sink) {
  Outline_With_Sides(box, start, end, pen_width, true, clip, sink);
}

void Chord_Outline(const TRect& box, TPoint start, TPoint end, int pen_width, const TRect& clip,
                   const TSpan_Sink& sink) {
  Outline_With_Sides(box, start, end, pen_width, false, clip, sink);
}

}  // namespace Scan
