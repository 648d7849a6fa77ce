#include "model/affine_transform_3d.h"

#include <cmath>


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
