// A point of the plane in the coordinates of a drawing's unit square,
// y growing upward.
#pragma once

#include "platform/gdi/geometry.h"

struct Point_2D {
  float x = 0.0f;
  float y = 0.0f;

  constexpr Point_2D() = default;
  constexpr Point_2D(float x_, float y_) : x(x_), y(y_) {}
  friend constexpr bool operator==(const Point_2D&, const Point_2D&) = default;
};

// The window point of a float point: each coordinate clamped to
// -32700..32700 (a NaN counts as -32700) and truncated toward zero, so that
// any map, however wild, gives coordinates the drawing primitives accept.
TPoint Point_To_Int_Clamped(const Point_2D& p);
