#include "manipulators/edit_handle.h"

#include <cfloat>
#include <cmath>
#include <cstdlib>

#include "model/gui_colors.h"
#include "platform/gdi/memory_dc.h"
#include "toolkit/gui_bitmaps.h"
#include "toolkit/gui_sizes.h"

namespace {

constexpr double Pi = 3.141592653589793;
constexpr int Cursor_Side = 32;

bool Shapes_Ready = false;
int32_t Handle_Size = 0;
Affine_Transform_2D The_Frame_Map;

Point_2D Turned(const Point_2D& p, double angle) {
  const double c = std::cos(angle), s = std::sin(angle);
  return {float(p.x * c - p.y * s), float(p.x * s + p.y * c)};
}

Point_2D Swapped(const Point_2D& p) { return {p.y, p.x}; }

TPoint Plus(TPoint a, TPoint b) { return {a.x + b.x, a.y + b.y}; }

TRect Plus(const TRect& r, TPoint p) { return r.Offset_By(p.x, p.y); }

// Pen and brush of one colour for the length of a drawing.
class Colour_Scope {
 public:
  Colour_Scope(TDC& dc, TColor colour) : dc_(dc), level_(dc.SaveDC()), pen_(colour), brush_(colour) {
    dc.SelectObject(pen_);
    dc.SelectObject(brush_);
  }
  ~Colour_Scope() { dc_.RestoreDC(level_); }

 private:
  TDC& dc_;
  int level_;
  TPen pen_;
  TBrush brush_;
};

// The step patterns of the 32 arrowhead directions: count, then the dx and
// dy values.
struct Step_Pattern {
  int count;
  int dx[3];
  int dy[3];
};

constexpr Step_Pattern Patterns[32] = {
    {1, {-1}, {-1}},           {3, {-1, -1, -1}, {-1, 0, -1}}, {2, {-1, -1}, {-1, 0}},
    {3, {-1, -1, -1}, {0, -1, 0}}, {1, {-1}, {0}},             {3, {-1, -1, -1}, {0, 1, 0}},
    {2, {-1, -1}, {1, 0}},     {3, {-1, -1, -1}, {1, 0, 1}},   {1, {-1}, {1}},
    {3, {-1, 0, -1}, {1, 1, 1}}, {2, {-1, 0}, {1, 1}},         {3, {0, -1, 0}, {1, 1, 1}},
    {1, {0}, {1}},             {3, {0, 1, 0}, {1, 1, 1}},      {2, {1, 0}, {1, 1}},
    {3, {1, 0, 1}, {1, 1, 1}}, {1, {1}, {1}},                  {3, {1, 1, 1}, {1, 0, 1}},
    {2, {1, 1}, {1, 0}},       {3, {1, 1, 1}, {0, 1, 0}},      {1, {1}, {0}},
    {3, {1, 1, 1}, {0, -1, 0}}, {2, {1, 1}, {-1, 0}},          {3, {1, 1, 1}, {-1, 0, -1}},
    {1, {1}, {-1}},            {3, {1, 0, 1}, {-1, -1, -1}},   {2, {1, 0}, {-1, -1}},
    {3, {0, 1, 0}, {-1, -1, -1}}, {1, {0}, {-1}},              {3, {0, -1, 0}, {-1, -1, -1}},
    {2, {-1, 0}, {-1, -1}},    {3, {-1, 0, -1}, {-1, -1, -1}}};

// The angle of a slope, the way the double arrows show it: never quite
// level or upright unless the slope is exactly 0 or vertical.
double One_Degree_Angle(float slope) {
  const double degrees = std::fabs(slope) < 0.125f ? 8.0 : std::fabs(slope) > 8.0f ? 82.0 : -1.0;
  if (degrees < 0.0) return std::atan(double(slope));
  return std::copysign(degrees * Pi / 180.0, double(slope));
}

}  // namespace

// ---- Frame

// Made again when the layout sizes changed (a new screen in another design
// column), so that the frame always matches the handle size.
void Edit_Handle::Init_Shapes() {
  const int32_t size = The_GUI_Sizes ? (*The_GUI_Sizes)[34] : 16;
  if (Shapes_Ready && size == Handle_Size) return;
  Shapes_Ready = true;
  Handle_Size = size;
  const float hs = float(Handle_Size);
  const float shift = float(-((Handle_Size - 4) / 2) - 2);
  Affine_Transform_2D map = Affine_Transform_2D(0.5f, 0.5f);
  map = Compose_Transforms(map, Affine_Transform_2D(Point_2D(2, hs - 2), Point_2D(hs - 2, hs - 2), Point_2D(2, 2)));
  The_Frame_Map = Compose_Transforms(map, Affine_Transform_2D(shift, shift));
}

int32_t Edit_Handle::Size() {
  Init_Shapes();
  return Handle_Size;
}

const Affine_Transform_2D& Edit_Handle::Frame_Map() {
  Init_Shapes();
  return The_Frame_Map;
}

Edit_Handle::Edit_Handle(int32_t code) : Code(code) { Init_Shapes(); }

Edit_Handle::~Edit_Handle() = default;

TPoint Edit_Handle::To_Pixels(const Point_2D& p) {
  const Point_2D q = The_Frame_Map.Map_Point(p.x, p.y);
  return {int(std::lround(q.x)), int(std::lround(q.y))};
}

TRect Edit_Handle::Circle_Box(const Point_2D& centre, float radius) {
  const TPoint a = To_Pixels({centre.x - radius, centre.y + radius});
  const TPoint b = To_Pixels({centre.x + radius, centre.y - radius});
  return TRect(a.x, a.y, b.x, b.y);
}

// ---- Pictures and cursor

std::unique_ptr<TBitmap> Edit_Handle::Make_Picture(TColor background, TColor shape) const {
  const int hs = Size();
  auto screen = GUI_Bitmaps::Screen_Reference();
  auto picture = std::make_unique<TBitmap>(*screen, hs, hs);
  TMemoryDC dc(*picture);
  if (The_GUI_Colors) {
    dc.SelectObject(*The_GUI_Colors->Palette);
    dc.RealizePalette();
  }
  dc.FillRect(TRect(0, 0, hs, hs), TBrush(background));
  Draw(dc, TPoint(hs / 2, hs / 2), shape);
  return picture;
}

void Edit_Handle::Make_Pictures() {
  if (Picture || !The_GUI_Colors) return;
  const auto& scheme = The_GUI_Colors->Scheme;
  Picture = Make_Picture(scheme[0], TColor::Black);
  auto screen = GUI_Bitmaps::Screen_Reference();
  Disabled_Picture = GUI_Bitmaps::Make_Disabled_Picture(*screen, *Picture);
  if (!Disabled_Picture) Disabled_Picture = Make_Picture(scheme[0], scheme[2]);
  Highlight_Picture = Make_Picture(scheme[3], scheme[0]);
  Disabled_Highlight_Picture = Make_Picture(scheme[3], scheme[2]);
}

std::unique_ptr<TCursor> Edit_Handle::Make_Cursor() const {
  TBitmap drawing(Cursor_Side, Cursor_Side);
  TMemoryDC dc(drawing);
  dc.FillRect(TRect(0, 0, Cursor_Side, Cursor_Side), TBrush(TColor::White));
  Draw(dc, TPoint(Cursor_Side / 2, Cursor_Side / 2), TColor::Black);
  constexpr int row_bytes = (Cursor_Side + 15) / 16 * 2;
  std::vector<uint8_t> and_mask(row_bytes * Cursor_Side, 0xFF), xor_mask(row_bytes * Cursor_Side, 0);
  for (int y = 0; y < Cursor_Side; ++y)
    for (int x = 0; x < Cursor_Side; ++x)
      if ((dc.GetPixel(x, y).Value() & 0xFFFFFF) != 0xFFFFFF)
        and_mask[size_t(y * row_bytes + x / 8)] &= uint8_t(~(0x80 >> (x % 8)));
  return std::make_unique<TCursor>(TPoint(Cursor_Side / 2, Cursor_Side / 2), Cursor_Side, Cursor_Side,
                                   and_mask.data(), xor_mask.data());
}

// ---- Arrowheads

int32_t Arrow_Direction(int dx, int dy) {
  if (dy == 0) return dx < 0 ? 16 : 0;
  if (dx == 0) return dy < 0 ? 8 : 24;
  const int a = std::max(std::abs(dx), std::abs(dy)), b = std::min(std::abs(dx), std::abs(dy));
  const int steps = (6 * b < 5 * a) + (2 * b < a) + (3 * b < a);
  const bool wide = std::abs(dx) > std::abs(dy);
  int index;
  if (dx > 0 && dy < 0)
    index = wide ? 4 - steps : 4 + steps;
  else if (dx < 0 && dy < 0)
    index = wide ? 12 + steps : 12 - steps;
  else if (dx < 0)
    index = wide ? 20 - steps : 20 + steps;
  else
    index = wide ? 28 + steps : 28 - steps;
  return std::min(index, 31);
}

void Draw_Arrowhead(TDC& dc, TPoint tip, TPoint from, TColor colour) {
  const int dir = Arrow_Direction(tip.x - from.x, tip.y - from.y);
  const Step_Pattern& pattern = Patterns[dir];
  int steps = (Edit_Handle::Size() + 2) / 5 - 1;
  if (dir % 8 == 0) --steps;
  dc.SetPixel(tip, colour);
  TPoint first = tip, second = tip;
  for (int i = 0; i < steps; ++i) {
    const int sx = pattern.dx[i % pattern.count], sy = pattern.dy[i % pattern.count];
    first = first.Offset_By(sx, sy);
    second = second.Offset_By(sy, -sx);
    dc.SetPixel(first, colour);
    dc.SetPixel(second, colour);
  }
}

// ---- Kinds

Anchor::Anchor() : Edit_Handle(1) {
  const TPoint a = To_Pixels({-0.4f, 0.5f}), b = To_Pixels({0.4f, 0.375f});
  head_ = TRect(a.x, a.y, b.x, b.y);
  const Point_2D body[4] = {{-0.075f, 0.375f}, {-0.075f, -0.5f}, {0.075f, -0.35f}, {0.075f, 0.375f}};
  for (int i = 0; i < 4; ++i) body_[i] = To_Pixels(body[i]);
}

void Anchor::Draw(TDC& dc, TPoint c, TColor colour) const {
  Colour_Scope scope(dc, colour);
  dc.Ellipse(Plus(head_, c));
  TPoint body[4];
  for (int i = 0; i < 4; ++i) body[i] = Plus(body_[i], c);
  dc.Polygon(body, 4);
}

One_Degree_Handle::One_Degree_Handle(int32_t code, float slope) : Edit_Handle(code), Slope(slope) {
  Point_2D a{-0.5f, 0.0f}, b{0.5f, 0.0f};
  if (slope == FLT_MAX) {
    a = Swapped(a), b = Swapped(b);
  } else if (slope != 0.0f) {
    const double angle = One_Degree_Angle(slope);
    a = Turned(a, angle), b = Turned(b, angle);
  }
  ends_[0] = To_Pixels(a);
  ends_[1] = To_Pixels(b);
}

void One_Degree_Handle::Draw(TDC& dc, TPoint c, TColor colour) const {
  Colour_Scope scope(dc, colour);
  const TPoint a = Plus(ends_[0], c), b = Plus(ends_[1], c);
  dc.MoveTo(a);
  dc.LineTo(b);
  Draw_Arrowhead(dc, a, b, colour);
  Draw_Arrowhead(dc, b, a, colour);
}

Two_Degree_Handle::Two_Degree_Handle() : Edit_Handle(2), across_(3, 0.0f), up_(4, FLT_MAX) {}

void Two_Degree_Handle::Draw(TDC& dc, TPoint c, TColor colour) const {
  across_.Draw(dc, c, colour);
  up_.Draw(dc, c, colour);
}

Rotation_Handle::Rotation_Handle(float angle) : Edit_Handle(7), Angle(angle) {
  const double k = 1.0 / std::sqrt(5.0);
  const Point_2D centre = Turned({-0.5f, 0.0f}, angle);
  box_ = Circle_Box(centre, 0.5f);
  start_ = To_Pixels(Turned({float((k - 1) / 2), float(-k)}, angle));
  end_ = To_Pixels(Turned({float((k - 1) / 2), float(k)}, angle));
  away_ = To_Pixels(Turned({float(1.5 * k - 0.5), 0.0f}, angle));
}

void Rotation_Handle::Draw(TDC& dc, TPoint c, TColor colour) const {
  Colour_Scope scope(dc, colour);
  dc.Arc(Plus(box_, c), Plus(start_, c), Plus(end_, c));
  Draw_Arrowhead(dc, Plus(start_, c), Plus(away_, c), colour);
  Draw_Arrowhead(dc, Plus(end_, c), Plus(away_, c), colour);
}

Flip_Handle::Flip_Handle(int32_t code, float slope) : Edit_Handle(code), Slope(slope) {
  const double angle = slope == 0.0f      ? -Pi / 2
                       : slope == FLT_MAX ? 0.0
                                          : std::atan(double(slope)) - Pi / 2;
  const Point_2D dashes[6] = {{0, -0.5f}, {0, -0.3f}, {0, -0.1f}, {0, 0.1f}, {0, 0.3f}, {0, 0.5f}};
  for (int i = 0; i < 6; ++i) dashes_[i] = To_Pixels(Turned(dashes[i], angle));
  box_ = Circle_Box({0.0f, 0.0f}, 0.375f);
  start_ = To_Pixels(Turned({-0.375f, 0.0f}, angle));
  end_ = To_Pixels(Turned({0.375f, 0.0f}, angle));
  away_ = To_Pixels(Turned({0.0f, -0.5f}, angle));
}

void Flip_Handle::Draw(TDC& dc, TPoint c, TColor colour) const {
  Colour_Scope scope(dc, colour);
  for (int i = 0; i < 6; i += 2) {
    dc.MoveTo(Plus(dashes_[i], c));
    dc.LineTo(Plus(dashes_[i + 1], c));
  }
  dc.Arc(Plus(box_, c), Plus(start_, c), Plus(end_, c));
  Draw_Arrowhead(dc, Plus(end_, c), Plus(away_, c), colour);
}

Unidirectional_Handle::Unidirectional_Handle(float slope) : Edit_Handle(13), Slope(slope) {
  Point_2D points[5] = {{-0.5f, 0}, {0.5f, 0}, {0.3f, -0.2f}, {0.5f, 0}, {0.3f, 0.2f}};
  for (Point_2D& p : points) {
    if (slope == FLT_MAX)
      p = Swapped(p);
    else if (slope != 0.0f)
      p = Turned(p, std::atan(double(slope)));
  }
  line_[0] = To_Pixels(points[0]);
  line_[1] = To_Pixels(points[1]);
  for (int i = 0; i < 3; ++i) head_[i] = To_Pixels(points[2 + i]);
}

void Unidirectional_Handle::Draw(TDC& dc, TPoint c, TColor colour) const {
  Colour_Scope scope(dc, colour);
  dc.MoveTo(Plus(line_[0], c));
  dc.LineTo(Plus(line_[1], c));
  TPoint head[3];
  for (int i = 0; i < 3; ++i) head[i] = Plus(head_[i], c);
  dc.Polyline(head, 3);
  dc.SetPixel(head[2], colour);
}

Counter_Clockwise_Handle::Counter_Clockwise_Handle(float angle) : Edit_Handle(14), Angle(angle) {
  const double t = angle * Pi / 180.0;
  box_ = Circle_Box(Turned({-0.25f, -0.5f}, t), 0.75f);
  start_ = To_Pixels(Turned({0.5f, -0.5f}, t));
  end_ = To_Pixels(Turned({-0.25f, 0.25f}, t));
  head_[0] = To_Pixels(Turned({-0.05f, 0.45f}, t));
  head_[1] = end_;
  head_[2] = To_Pixels(Turned({-0.05f, 0.05f}, t));
}

void Counter_Clockwise_Handle::Draw(TDC& dc, TPoint c, TColor colour) const {
  Colour_Scope scope(dc, colour);
  dc.Arc(Plus(box_, c), Plus(start_, c), Plus(end_, c));
  TPoint head[3];
  for (int i = 0; i < 3; ++i) head[i] = Plus(head_[i], c);
  dc.Polyline(head, 3);
  dc.SetPixel(head[2], colour);
}

// The triangle turns with the copy's axes, each taken at unit length, and
// shrinks a little when an axis is tilted so that it stays in the handle.
// It is centred on the handle whatever the copy's place.
Notch_Handle::Notch_Handle(const Affine_Transform_2D& map) : Edit_Handle(0) {
  auto unit = [](double x, double y, Point_2D fallback) {
    const double length = std::sqrt(x * x + y * y);
    if (length == 0.0 || !std::isfinite(length)) return fallback;
    return Point_2D{float(x / length), float(y / length)};
  };
  Point_2D ux = unit(map.eM11, map.eM21, {1.0f, 0.0f});
  Point_2D uy = unit(map.eM12, map.eM22, {-ux.y, ux.x});
  if (map.eM11 == 0.0f && map.eM21 == 0.0f) ux = {uy.y, -uy.x};
  const bool tilted = (ux.x != 0.0f && ux.y != 0.0f) || (uy.x != 0.0f && uy.y != 0.0f);
  const float scale = tilted ? 0.9f : 1.0f;
  const Point_2D corners[3] = {{-0.25f, 0.25f}, {-0.25f, -0.5f}, {0.5f, 0.25f}};
  for (int i = 0; i < 3; ++i) {
    const Point_2D& p = corners[i];
    corners_[i] = To_Pixels({scale * (p.x * ux.x + p.y * uy.x), scale * (p.x * ux.y + p.y * uy.y)});
  }
}

void Notch_Handle::Draw(TDC& dc, TPoint c, TColor colour) const {
  Colour_Scope scope(dc, colour);
  dc.MoveTo(Plus(corners_[0], c));
  dc.LineTo(Plus(corners_[1], c));
  dc.LineTo(Plus(corners_[2], c));
  dc.LineTo(Plus(corners_[0], c));
}
