#include "model/affine_transform_3d.h"

#include <cmath>

#include "model/trunc_i32.h"

Affine_Transform_3D::Affine_Transform_3D(float x, float y, float z, int32_t mode) {
  if (mode == 0) {
    tx = x, ty = y, tz = z;
  } else if (mode == 1) {
    m11 = x, m22 = y, m33 = z;
  } else if (mode == 2) {
    const float h = std::sqrt(x * x + z * z);
    const float l = std::sqrt(y * y + h * h);
    if (l == 0.0f) return;
    float ca = h / l;
    const float sa = y / l;
    float c = 1.0f, s = 0.0f;
    if (h != 0.0f) {
      c = z / h;
      s = x / h;
    } else {
      ca = 0.0f;
    }
    m11 = c, m12 = -sa * s, m13 = ca * s;
    m21 = 0, m22 = ca, m23 = sa;
    m31 = -s, m32 = -sa * c, m33 = ca * c;
  }
}

Point_3D Affine_Transform_3D::Map_Point(float x, float y, float z) const {
  return {m11 * x + m12 * y + m13 * z + tx, m21 * x + m22 * y + m23 * z + ty, m31 * x + m32 * y + m33 * z + tz};
}

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
  // A point in the eye's plane has no picture; it is put far away.
  const float q = w != 0.0f ? 1.0f / w : 0.0f;
  return {Trunc_I32((k * u * q + 0.5f) * width + 0.5f), Trunc_I32((0.5f - k * v * q) * height + 0.5f),
          Trunc_I32(depth_scale * w + 0.5f)};
}
