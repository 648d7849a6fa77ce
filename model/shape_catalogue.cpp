#include "model/shape_catalogue.h"

#include <cmath>

#include "model/plane_geometry.h"

namespace {

template <size_t N>
void Set_Vertices(polygon& shape, const Point_2D (&vertices)[N]) {
  for (size_t i = 0; i < N; ++i) shape.Vertices[i] = vertices[i];
}

void Pentagon_Vertices(Point_2D* v) {
  const float a18 = 0.31415927f, a54 = 0.9424778f;
  const float s18 = float(std::sin(double(a18))), c18 = float(std::cos(double(a18)));
  const float s54 = float(std::sin(double(a54))), c54 = float(std::cos(double(a54)));
  const float r = 0.5f / c18;
  const float y0 = 0.5f - (1.0f - s54) * r / 2.0f;
  v[0] = {0.5f, y0 + r};
  v[1] = {0.0f, y0 + r * s18};
  v[2] = {0.5f - r * c54, y0 - r * s54};
  v[3] = {0.5f + r * c54, y0 - r * s54};
  v[4] = {1.0f, y0 + r * s18};
}

void Insert_Circle_Points(Point_Set_2D& points) {
  float t = 0.0f;
  for (int i = 0; i < 24; ++i) {
    points.Insert({float((std::cos(double(t)) + 1) / 2), float((std::sin(double(t)) + 1) / 2)});
    t += float(0.2617993877991494);
  }
}

// The point on the right edge of a box at its middle height, where full
// arcs start and end.
TPoint Right_Middle(const TRect& box) { return {box.right, (box.top + box.bottom) / 2}; }

void Full_Arc(TDC& dc, const TRect& box) { dc.Arc(box, Right_Middle(box), Right_Middle(box)); }

struct Oval_Boxes {
  TRect left_cap, right_cap, band;
  explicit Oval_Boxes(const TRect& r) {
    const int w = r.Width(), h = r.Height();
    const int hw = w >> 1, qw = hw >> 1, qh = h >> 2;
    left_cap = TRect(r.left, r.top + qh, r.left + hw, r.bottom - qh);
    right_cap = left_cap.Offset_By(hw + 1, 0);
    band = TRect(r.left + qw, r.top + qh, r.right - qw, r.bottom - qh);
  }
};

TRect Ring_Inner(const TRect& r) {
  const int w = r.Width(), h = r.Height();
  return TRect(r.left + (w >> 2), r.top + (h >> 2), r.right - (w >> 2), r.bottom - (h >> 2));
}

struct Horse_Shoe_Boxes {
  TRect slot, hole;
  explicit Horse_Shoe_Boxes(const TRect& r) {
    const int q = r.Width() >> 2, hh = r.Height() >> 1, qh = hh >> 1;
    slot = TRect(r.left + q, r.top + hh - 1, r.right - q - 1, r.bottom);
    hole = TRect(r.left + q, r.top + qh, r.right - q, r.bottom - qh);
  }
};

struct Cresent_Boxes {
  TRect disc, cut;
  explicit Cresent_Boxes(const TRect& r) {
    const int w = r.Width(), h = r.Height();
    const int hw = w >> 1, qw = hw >> 1, qh = h >> 2;
    disc = TRect(r.left + qw, r.top, r.right + qw, r.bottom);
    cut = TRect(r.left + hw, r.top - qh, r.right + w, r.bottom + qh);
  }
};

struct Arch_Boxes {
  TRect outer, inner;
  int cx;
  explicit Arch_Boxes(const TRect& r) {
    const int w = r.Width(), h = r.Height();
    cx = (r.left + r.right) >> 1;
    const int ox = int(w * 0.7071067811865476), oy = int(h * 0.7071067811865476);
    const int ix = int(w * 0.3535533905932738), iy = int(h * 0.3535533905932738);
    outer = TRect(cx - ox, r.bottom - oy, cx + ox, r.bottom + oy);
    inner = TRect(cx - ix, r.bottom - iy, cx + ix, r.bottom + iy);
  }
};

}  // namespace

Triangle::Triangle() : polygon(3) {
  const float top = float((2 + std::sqrt(3.0)) / 4), base = float((2 - std::sqrt(3.0)) / 4);
  Set_Vertices(*this, {{0.5f, top}, {0.0f, base}, {1.0f, base}});
  Shape_Number = 0;
  Collect_Points();
}

Square::Square() : polygon(4) {
  Set_Vertices(*this, {{0, 0}, {1, 0}, {1, 1}, {0, 1}});
  Shape_Number = 1;
  Collect_Points();
}

void Square::Paint(TDC& dc, const TRect& rect) const { dc.Rectangle(rect); }
TRegion Square::Make_Region(const TRect& rect) const { return TRegion(rect); }

Pentagon::Pentagon() : polygon(5) {
  Pentagon_Vertices(Vertices.get());
  Shape_Number = 2;
  Collect_Points();
}

Hexagon::Hexagon() : polygon(6) {
  const float s = float(std::sqrt(3.0) / 4);
  Set_Vertices(*this, {{1, 0.5f}, {0.75f, 0.5f + s}, {0.25f, 0.5f + s}, {0, 0.5f}, {0.25f, 0.5f - s},
                       {0.75f, 0.5f - s}});
  Shape_Number = 3;
  Collect_Points();
}

Octagon::Octagon() : polygon(8) {
  const float c = 0.29289323f, d = 1.0f - c;
  Set_Vertices(*this, {{1, d}, {d, 1}, {c, 1}, {0, d}, {0, c}, {c, 0}, {d, 0}, {1, c}});
  Shape_Number = 4;
  Collect_Points();
}

void Octagon::Paint(TDC& dc, const TRect& rect) const {
  TPoint points[Max_Polygon_Vertices];
  Place_Vertices(rect, points);
  points[1].x += 1;
  points[4].y += 1;
  dc.Polygon(points, Vertex_Count);
}

Trapezoid::Trapezoid() : polygon(4) {
  Set_Vertices(*this, {{0, 0}, {1, 0}, {0.75f, 1}, {0.25f, 1}});
  Shape_Number = 9;
  Collect_Points();
}

Star::Star() : polygon(10) {
  Point_2D p[5];
  Pentagon_Vertices(p);
  for (int k = 0; k < 5; ++k) {
    Vertices[2 * k] = p[k];
    const Line_2D l1 = Line_From_Points(p[k], p[(k + 2) % 5]);
    const Line_2D l2 = Line_From_Points(p[(k + 4) % 5], p[(k + 1) % 5]);
    Vertices[2 * k + 1] = Intersect_Lines(l1, l2);
  }
  Shape_Number = 13;
  for (const Point_2D& point : p) Key_Points.Insert(point);
}

Circle::Circle() {
  Shape_Number = 5;
  Insert_Circle_Points(Key_Points);
}
void Circle::Paint(TDC& dc, const TRect& rect) const { dc.Ellipse(rect); }
TRegion Circle::Make_Region(const TRect& rect) const { return TRegion::Ellipse(rect); }

Semi_Circle::Semi_Circle() {
  Shape_Number = 6;
  for (Point_2D p : {Point_2D(0, 0.25f), Point_2D(1, 0.25f), Point_2D(0.5f, 0.75f)}) Key_Points.Insert(p);
}

void Semi_Circle::Paint(TDC& dc, const TRect& r) const {
  const int t = r.Height() / 4;
  dc.Chord(TRect(r.left, r.top + t, r.right, r.bottom + t), {r.right, r.bottom - t}, {r.left, r.bottom - t});
}

TRegion Semi_Circle::Make_Region(const TRect& r) const {
  const int t = r.Height() / 4;
  return TRegion::Ellipse(TRect(r.left, r.top + t, r.right, r.bottom + t)) &
         TRegion(TRect(r.left, r.top - t, r.right, r.bottom - t));
}

Quarter_Circle::Quarter_Circle() {
  Shape_Number = 7;
  for (Point_2D p : {Point_2D(0, 0), Point_2D(1, 0), Point_2D(0, 1)}) Key_Points.Insert(p);
}

namespace {
TRect Quarter_Box(const TRect& r) { return TRect(r.left - r.Width(), r.top, r.right, r.bottom + r.Height()); }
}  // namespace

TRegion Quarter_Circle::Make_Region(const TRect& r) const { return TRegion::Ellipse(Quarter_Box(r)) & TRegion(r); }

void Quarter_Circle::Paint_Extras(TDC& dc, const TRect& r) const {
  dc.MoveTo(r.left, r.top);
  dc.LineTo(r.left, r.bottom);
  dc.LineTo(r.right, r.bottom);
  dc.Arc(Quarter_Box(r), {r.right, r.bottom}, {r.left, r.top});
}

Oval::Oval() {
  Shape_Number = 8;
  for (Point_2D p : {Point_2D(0, 0.25f), Point_2D(0, 0.75f), Point_2D(1, 0.25f), Point_2D(1, 0.75f)})
    Key_Points.Insert(p);
}

TRegion Oval::Make_Region(const TRect& r) const {
  const Oval_Boxes b(r);
  TRegion region = TRegion::Ellipse(b.left_cap) | TRegion::Ellipse(b.right_cap);
  region |= TRegion(b.band);
  return region;
}

void Oval::Paint_Extras(TDC& dc, const TRect& r) const {
  const Oval_Boxes b(r);
  const TRect& m = b.band;
  dc.MoveTo(m.left, m.top);
  dc.LineTo(m.right + 1, m.top);
  dc.MoveTo(m.left, m.bottom);
  dc.LineTo(m.right + 1, m.bottom);
  const int mid_a = (b.left_cap.left + b.left_cap.right) >> 1, mid_b = (b.right_cap.left + b.right_cap.right) >> 1;
  dc.Arc(b.left_cap, {mid_a, b.left_cap.top}, {mid_a, b.left_cap.bottom});
  dc.Arc(b.right_cap, {mid_b, b.right_cap.bottom}, {mid_b, b.right_cap.top});
}

Ring::Ring() {
  Shape_Number = 10;
  Insert_Circle_Points(Key_Points);
}

TRegion Ring::Make_Region(const TRect& r) const { return TRegion::Ellipse(r) - TRegion::Ellipse(Ring_Inner(r)); }

void Ring::Paint_Extras(TDC& dc, const TRect& r) const {
  Full_Arc(dc, r);
  Full_Arc(dc, Ring_Inner(r));
}

Horse_Shoe::Horse_Shoe() {
  Shape_Number = 11;
  for (Point_2D p : {Point_2D(0, 0), Point_2D(1, 0), Point_2D(0.5f, 1)}) Key_Points.Insert(p);
}

TRegion Horse_Shoe::Make_Region(const TRect& r) const {
  const Horse_Shoe_Boxes b(r);
  TRegion region = TRegion::Ellipse(r) | TRegion(TRect(r.left, r.top + (r.Height() >> 1), r.right - 1, r.bottom));
  region -= TRegion(b.slot);
  region -= TRegion::Ellipse(b.hole);
  return region;
}

void Horse_Shoe::Paint_Extras(TDC& dc, const TRect& r) const {
  const Horse_Shoe_Boxes b(r);
  const TRect& s = b.slot;
  dc.MoveTo(r.left, s.top);
  dc.LineTo(r.left, r.bottom);
  dc.LineTo(s.left, s.bottom);
  dc.LineTo(s.left, s.top - 1);
  dc.MoveTo(s.right, s.top);
  dc.LineTo(s.right, s.bottom);
  dc.LineTo(r.right, r.bottom);
  dc.LineTo(r.right, s.top);
  dc.Arc(r, {r.right, s.top}, {r.left, s.top});
  dc.Arc(b.hole, {s.right, s.top}, {s.left, s.top});
}

Cresent::Cresent() {
  Shape_Number = 12;
  for (Point_2D p : {Point_2D(0.25f, 0.5f), Point_2D(0.75f, 0), Point_2D(0.75f, 1)}) Key_Points.Insert(p);
}

TRegion Cresent::Make_Region(const TRect& r) const {
  const Cresent_Boxes b(r);
  return TRegion::Ellipse(b.disc) - TRegion::Ellipse(b.cut);
}

void Cresent::Paint_Extras(TDC& dc, const TRect& r) const {
  const Cresent_Boxes b(r);
  const TRect x = Make_Region(r).Bounds();
  TRegion clip(TRect(x.left - 1, x.top - 1, x.right + 1, x.bottom + 1));
  TRegion previous;
  const bool had_clip = dc.GetClipRgn(previous);
  if (had_clip && !previous.IsEmpty()) clip &= previous;
  dc.SelectClipRgn(clip);
  Full_Arc(dc, b.disc);
  Full_Arc(dc, b.cut);
  dc.SelectClipRgn(had_clip ? &previous : nullptr);
}

Arch::Arch() {
  Shape_Number = 14;
  for (Point_2D p : {Point_2D(0, 0.5f), Point_2D(1, 0.5f), Point_2D(0.5f, 0.707f)}) Key_Points.Insert(p);
}

TRegion Arch::Make_Region(const TRect& r) const {
  const Arch_Boxes b(r);
  const int w = r.Width(), h = r.Height();
  const TPoint triangle[3] = {{b.cx, r.bottom}, {b.cx - w, r.bottom - h}, {b.cx + w, r.bottom - h}};
  return (TRegion::Ellipse(b.outer) - TRegion::Ellipse(b.inner)) &
         TRegion::Polygon(triangle, 3, TFill_Rule::Alternate);
}

void Arch::Paint_Extras(TDC& dc, const TRect& r) const {
  const Arch_Boxes b(r);
  const int w = r.Width(), h = r.Height();
  const int hw = w >> 1, hh = h >> 1, qw = w >> 2, qh = h >> 2;
  const TPoint p1{b.cx + qw, r.bottom - qh}, p2{b.cx - qw, r.bottom - qh};
  const TPoint p3{b.cx + hw, r.bottom - hh}, p4{b.cx - hw, r.bottom - hh};
  dc.MoveTo(p1);
  dc.LineTo(p3);
  dc.MoveTo(p2);
  if (w <= 300) dc.LineTo(p4);
  else dc.LineTo(p4.x - 1, p4.y - 1);
  dc.Arc(b.inner, p1, {p2.x - 1, p2.y});
  dc.Arc(b.outer, p3, {p4.x - 1, p4.y});
}

std::unique_ptr<Shape> Make_Palette_Shape(int32_t number) {
  switch (number) {
    case 0: return std::make_unique<Triangle>();
    case 1: return std::make_unique<Square>();
    case 2: return std::make_unique<Pentagon>();
    case 3: return std::make_unique<Hexagon>();
    case 4: return std::make_unique<Octagon>();
    case 5: return std::make_unique<Circle>();
    case 6: return std::make_unique<Semi_Circle>();
    case 7: return std::make_unique<Quarter_Circle>();
    case 8: return std::make_unique<Oval>();
    case 9: return std::make_unique<Trapezoid>();
    case 10: return std::make_unique<Ring>();
    case 11: return std::make_unique<Horse_Shoe>();
    case 12: return std::make_unique<Cresent>();
    case 13: return std::make_unique<Star>();
    case 14: return std::make_unique<Arch>();
    default: return nullptr;
  }
}
