#include "model/point_set_2d.h"

#include <algorithm>
#include <utility>

#include "model/float_equal.h"
#include "model/transform_set_2d.h"

namespace {

bool Same_Point(const Point_2D& p, const Point_2D& q) {
  return Float_Equal(p.x, q.x) && Float_Equal(p.y, q.y);
}

}  // namespace

Point_Set_2D::Point_Set_2D(int32_t initial_capacity)
    : capacity(std::max(initial_capacity, 0)),
      points(capacity > 0 ? std::make_unique<Point_2D[]>(capacity) : nullptr) {}

Point_Set_2D::Point_Set_2D(const Point_Set_2D& other)
    : capacity(other.capacity),
      count(other.count),
      points(capacity > 0 ? std::make_unique<Point_2D[]>(capacity) : nullptr) {
  std::copy(other.points.get(), other.points.get() + count, points.get());
}

Point_Set_2D& Point_Set_2D::operator=(const Point_Set_2D& other) {
  if (this != &other) *this = Point_Set_2D(other);
  return *this;
}

Point_Set_2D::Point_Set_2D(Point_Set_2D&& other) noexcept
    : capacity(std::exchange(other.capacity, 0)),
      count(std::exchange(other.count, 0)),
      points(std::move(other.points)) {}

Point_Set_2D& Point_Set_2D::operator=(Point_Set_2D&& other) noexcept {
  capacity = std::exchange(other.capacity, 0);
  count = std::exchange(other.count, 0);
  points = std::move(other.points);
  return *this;
}

void Point_Set_2D::Insert(const Point_2D& p) {
  int32_t lo = 0;
  int32_t hi = count;
  while (lo < hi) {
    const int32_t mid = (lo + hi) / 2;
    const Point_2D& q = points[mid];
    if (Same_Point(q, p)) return;
    const bool go_right = Float_Equal(q.y, p.y) ? q.x <= p.x : q.y < p.y;
    if (go_right) {
      lo = mid + 1;
    } else {
      hi = mid;
    }
  }
  if (lo < count && Same_Point(points[lo], p)) return;
  const int32_t new_count = count + 1;
  if (new_count <= capacity) {
    std::copy_backward(points.get() + lo, points.get() + count, points.get() + new_count);
    points[lo] = p;
  } else {
    const int32_t new_capacity = new_count + 4;
    auto grown = std::make_unique<Point_2D[]>(new_capacity);
    std::copy(points.get(), points.get() + lo, grown.get());
    grown[lo] = p;
    std::copy(points.get() + lo, points.get() + count, grown.get() + lo + 1);
    points = std::move(grown);
    capacity = new_capacity;
  }
  count = new_count;
}

bool Point_Set_2D::Equals(const Point_Set_2D& other) const {
  if (count != other.count) return false;
  for (int32_t i = 0; i < count; ++i) {
    if (!Same_Point(points[i], other.points[i])) return false;
  }
  return true;
}

Point_Set_2D Point_Set_2D::Image(const Transform_Set_2D& set) const {
  Point_Set_2D image(count * set.Count());
  for (int32_t j = 0; j < set.Count(); ++j) {
    const Transform_2D& map = *set.Map(j);
    for (int32_t i = 0; i < count; ++i) image.Insert(map.Map_Point(points[i].x, points[i].y, 1));
  }
  return image;
}
