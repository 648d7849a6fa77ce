// Small float geometry shared by the pattern model and the panels: lines in
// slope form, the point-in-polygon test and the test whether a circle meets
// a polygon.
#pragma once

#include <cfloat>
#include <cstdint>

#include "model/point_2d.h"

// The slope of a vertical line; its x is then held in offset.
inline constexpr float Vertical_Mark = FLT_MAX;

// The line y = slope * x + offset.
struct Line_2D {
  float slope = 0.0f;
  float offset = 0.0f;
};

struct Circle_2D {
  float x = 0.0f, y = 0.0f, radius = 0.0f;
};

Line_2D Line_From_Points(const Point_2D& p, const Point_2D& q);
Line_2D Line_From_Point_Slope(const Point_2D& p, float slope);
// The crossing of two lines; parallel lines give (0, 0).
Point_2D Intersect_Lines(const Line_2D& l1, const Line_2D& l2);
// Counts crossings of an upward ray from p with the polygon's edges (closed
// ranges; a ray through a shared vertex counts both edges).
bool Point_In_Polygon(const Point_2D* vertices, int32_t count, const Point_2D& p);
bool Circle_Overlaps_Polygon(const Point_2D* vertices, int32_t count, const Circle_2D& circle);
