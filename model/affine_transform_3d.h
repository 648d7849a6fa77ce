// A map of space: a 3x3 matrix and a translation; the fireworks of the match
// game use it.
#pragma once

#include <cstdint>

struct Point_3D {
  float x = 0.0f, y = 0.0f, z = 0.0f;
};

class Affine_Transform_3D {
 public:
  // Mode 0: a translation by (x, y, z); 1: scales x, y, z along the axes;
  // 2: the rotation that turns the direction (x, y, z) into the third axis.
  Affine_Transform_3D(float x, float y, float z, int32_t mode);
  virtual ~Affine_Transform_3D() = default;
  virtual Point_3D Map_Point(float x, float y, float z) const;

  float m11 = 1, m12 = 0, m13 = 0, m21 = 0, m22 = 1, m23 = 0, m31 = 0, m32 = 0, m33 = 1;
  float tx = 0, ty = 0, tz = 0;
};
