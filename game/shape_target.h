// A match-game target: a picture to rebuild from a start shape with a list
// of manipulator steps. So far nothing is ever matched and no hint drawn.
#pragma once

#include <cstdint>

#include "platform/gdi/color.h"
#include "platform/gdi/geometry.h"

class Centering_Transform;
class Point_Set_2D;
class Shape;
class Shape_Drawing;
class Transform_Set_2D;

class Shape_Target {
 public:
  Shape_Target(const Shape_Drawing& picture, const Shape* start_shape, const TRect& rect,
               const Centering_Transform& centering, int32_t points, int32_t offset);

  void Add_Step(const Transform_Set_2D& set, int32_t section, int32_t position, bool flag);
  bool Matches(const Shape_Drawing& picture, const Shape* start_shape, const Point_Set_2D* points) const;
  void Overlay_Hint(Shape_Drawing& picture, TColor color) const;

  int32_t Points;
  int32_t Offset;
};
