// The pair of maps between unit coordinates of the drawing area (the square
// inside the round outline) and unit coordinates of the whole picture, and
// the fitting of a manipulator's maps, which are made for the area, to the
// picture that renders them.
#pragma once

#include "model/affine_transform_2d.h"
#include "workspace/drawing_area_geometry.h"

class Transform_Set_2D;

class Centering_Transform {
 public:
  Centering_Transform() = default;
  explicit Centering_Transform(const Drawing_Area_Geometry& geometry);

  // Each map of in, taken into picture coordinates, appended to out (emptied
  // first) while out holds fewer than twelve.
  void Fit(Transform_Set_2D& out, const Transform_Set_2D& in) const;
  Affine_Transform_2D Fit(const Affine_Transform_2D& map) const;

  Affine_Transform_2D to_unit;
  Affine_Transform_2D to_area;
};
