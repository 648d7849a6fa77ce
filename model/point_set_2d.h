// A sorted set of float points with tolerant duplicate removal: the key
// points of a shape, carried through manipulators to compare drawings
// without comparing pixels.
#pragma once

#include <cstdint>
#include <memory>

#include "model/point_2d.h"

class Transform_Set_2D;

class Point_Set_2D {
 public:
  Point_Set_2D() = default;
  explicit Point_Set_2D(int32_t initial_capacity);
  Point_Set_2D(const Point_Set_2D& other);
  Point_Set_2D& operator=(const Point_Set_2D& other);
  Point_Set_2D(Point_Set_2D&& other) noexcept;
  Point_Set_2D& operator=(Point_Set_2D&& other) noexcept;
  ~Point_Set_2D() = default;

  int32_t Capacity() const { return capacity; }
  int32_t Count() const { return count; }
  const Point_2D& Point(int32_t index) const { return points[index]; }

  // Inserts p at its place (by y, then x) unless a point equal to it by
  // Float_Equal in both coordinates is already held.
  void Insert(const Point_2D& p);
  // Same count and pairwise Float_Equal points.
  bool Equals(const Point_Set_2D& other) const;
  // Every point mapped by every map of the set, coinciding images held once.
  Point_Set_2D Image(const Transform_Set_2D& set) const;

 private:
  int32_t capacity = 0;
  int32_t count = 0;
  std::unique_ptr<Point_2D[]> points;
};
