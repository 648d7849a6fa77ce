#include "model/plane_geometry.h"

#include <algorithm>

Line_2D Line_From_Points(const Point_2D& p, const Point_2D& q) {
  if (p.x == q.x) return {Vertical_Mark, p.x};
  const float slope = (q.y - p.y) / (q.x - p.x);
  return {slope, p.y - slope * p.x};
}

Line_2D Line_From_Point_Slope(const Point_2D& p, float slope) {
  if (slope == Vertical_Mark) return {slope, p.x};
  return {slope, p.y - slope * p.x};
}

Point_2D Intersect_Lines(const Line_2D& l1, const Line_2D& l2) {
  if (l1.slope == l2.slope) return {0.0f, 0.0f};
  if (l1.slope == Vertical_Mark) return {l1.offset, l2.slope * l1.offset + l2.offset};
  if (l2.slope == Vertical_Mark) return {l2.offset, l1.slope * l2.offset + l1.offset};
  const float x = (l2.offset - l1.offset) / (l1.slope - l2.slope);
  return {x, l1.slope * x + l1.offset};
}

namespace {

bool Within(float v, float a, float b) { return std::min(a, b) <= v && v <= std::max(a, b); }

}  // namespace

bool Point_In_Polygon(const Point_2D* vertices, int32_t count, const Point_2D& p) {
  int crossings = 0;
  for (int32_t i = 0; i < count; ++i) {
    const Point_2D& a = vertices[i];
    const Point_2D& b = vertices[(i + 1) % count];
    const Line_2D edge = Line_From_Points(a, b);
    if (edge.slope == Vertical_Mark) continue;
    const float yc = edge.slope * p.x + edge.offset;
    if (yc < p.y) continue;
    if (Within(p.x, a.x, b.x) && Within(yc, a.y, b.y)) ++crossings;
  }
  return crossings % 2 == 1;
}

bool Circle_Overlaps_Polygon(const Point_2D* vertices, int32_t count, const Circle_2D& circle) {
  const float r2 = circle.radius * circle.radius;
  for (int32_t i = 0; i < count; ++i) {
    const float dx = vertices[i].x - circle.x, dy = vertices[i].y - circle.y;
    if (r2 >= dx * dx + dy * dy) return true;
  }
  const Point_2D centre{circle.x, circle.y};
  if (Point_In_Polygon(vertices, count, centre)) return true;
  for (int32_t i = 0; i < count; ++i) {
    const Point_2D& a = vertices[i];
    const Point_2D& b = vertices[(i + 1) % count];
    const Line_2D edge = Line_From_Points(a, b);
    const float slope = edge.slope == 0.0f ? Vertical_Mark : edge.slope == Vertical_Mark ? 0.0f : -1.0f / edge.slope;
    const Point_2D foot = Intersect_Lines(edge, Line_From_Point_Slope(centre, slope));
    const float dx = foot.x - circle.x, dy = foot.y - circle.y;
    if (r2 >= dx * dx + dy * dy && Within(foot.x, a.x, b.x) && Within(foot.y, a.y, b.y)) return true;
  }
  return false;
}
