#include "model/perspective_view_3d.h"

#include <cmath>

#include "model/trunc_i32.h"

Perspective_View_3D::Perspective_View_3D(float ex_, float ey_, float ez_, float a1, float a2, int32_t radians,
                                         float k_, float width_, float height_, float depth_scale_)
    : ex(ex_), ey(ey_), ez(ez_), k(k_), width(width_), height(height_), depth_scale(depth_scale_) {
  if (!radians) {
    a1 = float(a1 * 0.017453292519943295);
    a2 = float(a2 * 0.017453292519943295);
  }
  sin_a1 = std::sin(a1), cos_a1 = std::cos(a1), sin_a2 = std::sin(a2), cos_a2 = std::cos(a2);
  cos1_cos2 = cos_a1 * cos_a2, sin1_sin2 = sin_a1 * sin_a2;
  cos1_sin2 = cos_a1 * sin_a2, sin1_cos2 = sin_a1 * cos_a2;
}

Projected_Point Perspective_View_3D::Project(float x, float y, float z) const {
  const float u = ex - x * cos_a1 - y * sin_a1;
  const float v = ey + x * sin1_sin2 - y * cos1_sin2 + z * cos_a2;
  const float w = ez + x * sin1_cos2 - y * cos1_cos2 - z * sin_a2;
  // Written so that NaN goes to the lower limit.
  auto clamped = [](float value) {
    return Trunc_I32(value > -Coordinate_Limit ? (value < Coordinate_Limit ? value : Coordinate_Limit)
                                               : -Coordinate_Limit);
  };
  const int32_t depth = clamped(depth_scale * w + 0.5f);
  // A point in or behind the eye's plane has no picture (and dividing by a
  // tiny or negative distance would mirror it or overflow).
  if (!(w > Nearest_Distance)) {
    const int32_t far = int32_t(-Coordinate_Limit);
    return {far, far, depth, true};
  }
  const float q = 1.0f / w;
  return {clamped((k * u * q + 0.5f) * width + 0.5f), clamped((0.5f - k * v * q) * height + 0.5f), depth};
}
