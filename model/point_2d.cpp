#include "model/point_2d.h"

#include "model/trunc_i32.h"

namespace {

constexpr float Coordinate_Limit = 32700.0f;

int Clamp_Coordinate(float v) {
  if (v > Coordinate_Limit) return 32700;
  if (v < -Coordinate_Limit || v != v) return -32700;
  return Trunc_I32(v);
}

}  // namespace

TPoint Point_To_Int_Clamped(const Point_2D& p) {
  return TPoint(Clamp_Coordinate(p.x), Clamp_Coordinate(p.y));
}
