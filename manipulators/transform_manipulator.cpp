#include "manipulators/transform_manipulator.h"

#include <cmath>

namespace {

constexpr double Pi = 3.141592653589793;

double Length(double x, double y) { return std::sqrt(x * x + y * y); }

Point_2D Minus(const Point_2D& p, const Point_2D& q) { return {p.x - q.x, p.y - q.y}; }

int32_t Wrap(int32_t position) { return ((position % 8) + 8) % 8; }

// The map: first, then a translation by -p, then middle, then back by p.
Affine_Transform_2D About_Point(const Affine_Transform_2D& first, const Point_2D& p,
                               const Affine_Transform_2D& middle) {
  Affine_Transform_2D result = Compose_Transforms(first, Affine_Transform_2D(-p.x, -p.y));
  result = Compose_Transforms(result, middle);
  return Compose_Transforms(result, Affine_Transform_2D(p.x, p.y));
}

}  // namespace

const std::array<Point_2D, Transform_Manipulator::Ring_Count> Transform_Manipulator::Unit_Ring = {
    Point_2D{0.0f, 0.0f}, {0.5f, 0.0f}, {1.0f, 0.0f}, {1.0f, 0.5f}, {1.0f, 1.0f},
    {0.5f, 1.0f},         {0.0f, 1.0f}, {0.0f, 0.5f}, {0.5f, 0.5f}};

const std::array<Point_2D, 3> Transform_Manipulator::Unit_Notch = {
    Point_2D{0.335f, 1.0f}, {0.25f, 0.83f}, {0.165f, 1.0f}};

bool Is_Finite_Map(const Affine_Transform_2D& map) {
  for (float v : {map.eM11, map.eM12, map.eM21, map.eM22, map.eDx, map.eDy})
    if (!std::isfinite(v)) return false;
  return true;
}

int32_t Transform_Manipulator::Position_Class(int32_t position) {
  if (position < 0 || position > 8) return No_Position;
  if (position == 8) return Centre;
  return position % 2 == 0 ? Corner : Edge_Midpoint;
}

int32_t Transform_Manipulator::Pin_Relation(int32_t pin, int32_t handle) {
  if (pin < 0 || handle < 0 || pin == handle) return 0;
  if (pin == 8 || handle == 8) return 3;
  const int32_t apart = Wrap(pin - handle);
  return std::min(apart, 8 - apart) <= 2 ? 1 : 2;
}

void Transform_Manipulator::Set_Transform(const Affine_Transform_2D& map) {
  Start_Map = map;
  Current_Map = map;
  for (int i = 0; i < Ring_Count; ++i) Ring_Points[size_t(i)] = map.Map_Point(Unit_Ring[size_t(i)].x, Unit_Ring[size_t(i)].y);
  for (int i = 0; i < 3; ++i) Notch_Points[size_t(i)] = map.Map_Point(Unit_Notch[size_t(i)].x, Unit_Notch[size_t(i)].y);
  Compute_Axes();
  Rotation_Angle = 0.0f;
  Update_Pins();
}

// A collapsed axis takes the direction at right angles to the other one;
// both collapsed (or overflowing) give the unit axes. An axis whose length
// is not a finite number counts as collapsed, so the axes are always unit
// vectors.
void Transform_Manipulator::Compute_Axes() {
  const Point_2D x = Minus(Ring_Points[2], Ring_Points[0]);
  const Point_2D y = Minus(Ring_Points[6], Ring_Points[0]);
  const double lx = Length(x.x, x.y), ly = Length(y.x, y.y);
  const bool x_ok = lx != 0.0 && std::isfinite(lx);
  const bool y_ok = ly != 0.0 && std::isfinite(ly);
  if (x_ok) Axis_X = {float(x.x / lx), float(x.y / lx)};
  if (!y_ok) {
    if (!x_ok) {
      Axis_X = {1.0f, 0.0f};
      Axis_Y = {0.0f, 1.0f};
    } else {
      Axis_Y = {Axis_X.y, -Axis_X.x};
    }
    return;
  }
  Axis_Y = {float(y.x / ly), float(y.y / ly)};
  if (!x_ok) Axis_X = {Axis_Y.y, -Axis_Y.x};
}

void Transform_Manipulator::Update_Pins() {
  Relation = Pin_Relation(Pin, Handle);
  Pin_Direction = {};
  Pin_Angle = 0.0f;
  Pin_Distance = 0.0f;
  if (Relation == 0) return;
  const Point_2D& pin = Ring_Points[size_t(Pin)];
  const Point_2D d = Minus(Ring_Points[size_t(Handle)], pin);
  const double length = Length(d.x, d.y);
  if (!std::isfinite(length)) {
    Pin_Direction = {1.0f, 0.0f};
    return;
  }
  Pin_Distance = float(length);
  if (length != 0.0) {
    Pin_Direction = {float(d.x / length), float(d.y / length)};
    Pin_Angle = float(std::atan2(double(d.y), double(d.x)));
    return;
  }
  // The two points coincide: take the direction at right angles to the
  // line towards the position two places on, direction and angle agreeing.
  const Point_2D e = Minus(Ring_Points[size_t(Wrap(Handle + 2))], pin);
  const double le = Length(e.x, e.y);
  if (le == 0.0 || !std::isfinite(le)) {
    Pin_Direction = {1.0f, 0.0f};
    return;
  }
  Pin_Direction = {float(e.y / le), float(-e.x / le)};
  Pin_Angle = float(std::atan2(-double(e.x), double(e.y)));
}

void Transform_Manipulator::Move_Edge(int32_t k, Affine_Transform_2D& out, float dx, float dy) const {
  if (Position_Class(k) != Edge_Midpoint) return;
  const bool opposite_moves = Pin == 8 || (k != Handle && Position_Class(Pin) == Edge_Midpoint);
  Point_2D defining[3];
  const int32_t positions[3] = {0, 2, 6};
  for (int i = 0; i < 3; ++i) {
    const int32_t p = positions[i];
    Point_2D q = Ring_Points[size_t(p)];
    if (p == Wrap(k - 1) || p == Wrap(k + 1)) {
      q = {q.x + dx, q.y + dy};
    } else if (opposite_moves) {
      q = {q.x - dx, q.y - dy};
    }
    defining[i] = q;
  }
  out = Affine_Transform_2D(defining);
}

void Transform_Manipulator::Move_Along_Axis(const Point_2D& a, Point_2D d, Affine_Transform_2D& out) const {
  const float s = d.x * a.x + d.y * a.y;
  int32_t k = Handle;
  if (Position_Class(Handle) == Corner) {
    int32_t t = Handle - Pin;
    if (t < -5) t += 8;
    if (t > 5) t -= 8;
    if (t >= 1)
      k = Wrap(Handle + 1);
    else if (t < 0)
      k = Wrap(Handle - 1);
  }
  Move_Edge(k, out, s * a.x, s * a.y);
}

void Transform_Manipulator::Flip_Across_Axis(const Point_2D& a, Point_2D d, Affine_Transform_2D& out) const {
  if (Pin < 0) return;
  const Point_2D n{a.y, -a.x};
  const float t = d.x * a.y - d.y * a.x;
  const Point_2D moved{t * n.x, t * n.y};
  const Point_2D& q = Ring_Points[size_t(Handle)];
  const Point_2D& p = Ring_Points[size_t(Pin)];
  if (Length(q.x + moved.x - p.x, q.y + moved.y - p.y) <= Pin_Distance) {
    Move_Edge(Handle, out, moved.x, moved.y);
    return;
  }
  const float t0 = (q.x - p.x) * n.x + (q.y - p.y) * n.y;
  if (t * t0 < 0.0f) Move_Edge(Handle, out, -2.0f * t0 * n.x, -2.0f * t0 * n.y);
}

void Transform_Manipulator::Rotate_About_Pin(float x, float y, bool quantize, Affine_Transform_2D& out) {
  if (Pin < 0) return;
  const Point_2D& p = Ring_Points[size_t(Pin)];
  const Point_2D m{x - p.x, y - p.y};
  const double r = Length(m.x, m.y);
  if (r == 0.0 || !std::isfinite(r)) return;
  const float cosine = float((m.x * Pin_Direction.x + m.y * Pin_Direction.y) / r);
  const float sine = float((m.y * Pin_Direction.x - Pin_Direction.y * m.x) / r);
  if (cosine != 0.0f || sine != 0.0f) {
    const double degrees = std::atan2(double(sine), double(cosine)) * 180.0 / Pi;
    Rotation_Angle = float(std::floor(degrees * 2.0 + 0.49999999) * 0.5 * Pi / 180.0);
  }
  out = About_Point(Start_Map, p, Affine_Transform_2D(cosine, sine, 2));
  if (quantize) out = Affine_Transform_2D::Quantize(out, 0.005f, 0.5f, 2);
}

void Transform_Manipulator::Scale_About_Pin(float x, float y, Affine_Transform_2D& out) const {
  if (Pin < 0) return;
  const Point_2D& p = Ring_Points[size_t(Pin)];
  const Point_2D& q = Ring_Points[size_t(Handle)];
  const double r0 = Length(q.x - p.x, q.y - p.y);
  float s = 1.0f;
  if (r0 != 0.0) s = float(((x - p.x) * Pin_Direction.x + (y - p.y) * Pin_Direction.y) / r0);
  out = About_Point(Start_Map, p, Affine_Transform_2D(s, 0.0f, 0));
}

void Transform_Manipulator::Drag(float x, float y, bool quantize) {
  const int32_t step = Current_Map.Color_Step;
  Previous_Map = Current_Map;
  Current_Map = Start_Map;
  if (Handle < 0 || Handle > 8) {
    Current_Map.Color_Step = step;
    return;
  }
  const Point_2D& q = Ring_Points[size_t(Handle)];
  const Point_2D d{x - q.x, y - q.y};
  Affine_Transform_2D& out = Current_Map;
  auto move = [&](Point_2D by) {
    if (Pin < 0) {
      out.eDx += by.x;
      out.eDy += by.y;
    } else if (Position_Class(Handle) == Edge_Midpoint) {
      Move_Edge(Handle, out, by.x, by.y);
    }
  };
  switch (Handle_Code) {
    case 2: move(d); break;
    case 3: move({d.x, 0.0f}); break;
    case 4: move({0.0f, d.y}); break;
    case 5: Move_Along_Axis(Axis_X, d, out); break;
    case 6: Move_Along_Axis(Axis_Y, d, out); break;
    case 7: Rotate_About_Pin(x, y, quantize, out); break;
    case 8: Scale_About_Pin(x, y, out); break;
    case 11: Flip_Across_Axis(Axis_X, d, out); break;
    case 12: Flip_Across_Axis(Axis_Y, d, out); break;
    default: break;
  }
  Current_Map.Color_Step = step;
}

void Transform_Manipulator::Flip_To_Octant(float x, float y) {
  static constexpr int32_t Rows[8][3] = {{0, 2, 6}, {4, 2, 6}, {2, 4, 0}, {6, 4, 0},
                                         {4, 6, 2}, {0, 6, 2}, {6, 0, 4}, {2, 0, 4}};
  const auto& P = Ring_Points;
  const Point_2D v{x - P[8].x, y - P[8].y};
  auto turned_dot = [&](const Point_2D& g) { return v.x * g.y - v.y * g.x; };
  int a = turned_dot(Minus(P[5], P[1])) >= 0.0f ? 1 : 0;
  int b = a;
  if (turned_dot(Minus(P[7], P[3])) < 0.0f) b ^= 1;
  const Point_2D g = b == 0 ? Minus(P[2], P[6]) : Minus(P[4], P[0]);
  int c = a;
  if (turned_dot(g) >= 0.0f) c ^= 1;
  const double det = double(Start_Map.eM11) * Start_Map.eM22 - double(Start_Map.eM12) * Start_Map.eM21;
  if (det < 0.0) a ^= 1;
  const int32_t* row = Rows[a * 4 + b * 2 + c];
  const int32_t step = Current_Map.Color_Step;
  Previous_Map = Current_Map;
  Current_Map = Affine_Transform_2D(P[size_t(row[0])], P[size_t(row[1])], P[size_t(row[2])]);
  Current_Map.Color_Step = step;
}
