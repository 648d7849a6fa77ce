// A perspective view of space on the screen, for the fireworks.
#pragma once

#include <cstdint>

struct Projected_Point {
  int32_t x = 0, y = 0, depth = 0;
  // The point lies at or behind the eye's plane and has no picture; x and y
  // then lie far outside any screen.
  bool behind = false;
};

class Perspective_View_3D {
 public:
  // Eye at (ex, ey, ez) looking along angles a1, a2 (degrees unless radians
  // is non-zero), projection scale k onto a width x height screen, depth
  // scale depth_scale.
  Perspective_View_3D(float ex, float ey, float ez, float a1, float a2, int32_t radians, float k,
                      float width, float height, float depth_scale);
  // Screen coordinates are kept within -32700..32700, so that points near
  // the eye's plane stay integers that sums and sizes can handle.
  Projected_Point Project(float x, float y, float z) const;

  static constexpr float Coordinate_Limit = 32700.0f;
  // Distances from the eye's plane at or below this count as behind it.
  static constexpr float Nearest_Distance = 1e-6f;

 private:
  float ex, ey, ez;
  float sin_a1, cos_a1, sin_a2, cos_a2;
  float cos1_cos2, sin1_sin2, cos1_sin2, sin1_cos2;
  float k, width, height, depth_scale;
};
