// The rectangles of the round drawing window: the whole window, the face
// inside its border, the square inscribed in the round outline, and the last
// two relative to the face. Neither side of the relative square is a multiple
// of 3, so that a third of it never falls on a pixel edge.
#pragma once

#include <cstdint>

#include "platform/gdi/geometry.h"

struct Drawing_Area_Geometry {
  Drawing_Area_Geometry() = default;
  Drawing_Area_Geometry(int32_t width, int32_t height, int32_t border, int32_t margin);

  TRect outer;
  TRect inner;
  TRect area;
  TRect inner_rel;
  TRect area_rel;
};
