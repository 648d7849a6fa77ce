// A map of space (a 3x3 matrix and a translation) and a perspective view of
// it on the screen; the fireworks of the match game use them.
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

struct Projected_Point {
  int32_t x = 0, y = 0, depth = 0;
};

class Perspective_View_3D {
 public:
  // Eye at (ex, ey, ez) looking along angles a1, a2 (degrees unless radians
  // is non-zero), projection scale k onto a width x height screen, depth
  // scale depth_scale.
  Perspective_View_3D(float ex, float ey, float ez, float a1, float a2, int32_t radians, float k,
                      float width, float height, float depth_scale);
  Projected_Point Project(float x, float y, float z) const;

 private:
  float ex, ey, ez;
  float sin_a1, cos_a1, sin_a2, cos_a2;
  float cos1_cos2, sin1_sin2, cos1_sin2, sin1_cos2;
  float k, width, height, depth_scale;
};
