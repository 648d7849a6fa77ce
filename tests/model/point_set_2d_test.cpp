#include "model/point_set_2d.h"

#include <gtest/gtest.h>

#include <vector>

#include "model/affine_transform_2d.h"
#include "model/transform_set_2d.h"

namespace {

std::vector<Point_2D> Points_Of(const Point_Set_2D& set) {
  std::vector<Point_2D> points;
  for (int32_t i = 0; i < set.Count(); ++i) points.push_back(set.Point(i));
  return points;
}

}  // namespace

TEST(Point_Set_2D, InsertKeepsOrderAndDropsNearDuplicates) {
  Point_Set_2D set;
  EXPECT_EQ(set.Capacity(), 0);
  set.Insert(Point_2D(1, 0));
  EXPECT_EQ(set.Capacity(), 5);
  // y decides first, then x; near duplicates are dropped.
  for (Point_2D p : {Point_2D(0, 1), Point_2D(0.5f, 0.5f), Point_2D(0, 0), Point_2D(0.5000001f, 0.5f), Point_2D(1.0f, 1e-7f)})
    set.Insert(p);
  EXPECT_EQ(Points_Of(set), (std::vector<Point_2D>{{0, 0}, {1, 0}, {0.5f, 0.5f}, {0, 1}}));
  // Growing beyond the capacity keeps four spare places.
  set.Insert(Point_2D(2, 2));
  set.Insert(Point_2D(-1, 2));
  EXPECT_EQ(set.Capacity(), 10);
  EXPECT_EQ(Points_Of(set), (std::vector<Point_2D>{{0, 0}, {1, 0}, {0.5f, 0.5f}, {0, 1}, {-1, 2}, {2, 2}}));
}

TEST(Point_Set_2D, EqualityIsTolerantAndCopiesAreDeep) {
  Point_Set_2D a, b;
  EXPECT_TRUE(a.Equals(b));
  a.Insert(Point_2D(0.25f, 0.75f));
  EXPECT_FALSE(a.Equals(b));
  b.Insert(Point_2D(0.2500001f, 0.75f));
  EXPECT_TRUE(a.Equals(b));
  Point_Set_2D copy(a);
  a.Insert(Point_2D(3, 3));
  EXPECT_EQ(copy.Count(), 1);
  copy = a;
  Point_Set_2D moved(std::move(copy));
  EXPECT_TRUE(moved.Equals(a));
}

TEST(Point_Set_2D, ImageMapsEveryPointByEveryMap) {
  Point_Set_2D square;
  for (Point_2D p : {Point_2D(0, 0), Point_2D(1, 0), Point_2D(0, 1), Point_2D(1, 1)}) square.Insert(p);
  Transform_Set_2D maps;
  for (auto [e, f] : {std::pair{0.0f, 0.0f}, {0.5f, 0.0f}, {0.0f, 0.5f}})
    maps.Add_Map(std::make_unique<Affine_Transform_2D>(0.5f, 0, e, 0, 0.5f, f));
  Point_Set_2D image = square.Image(maps);
  // Corners shared by neighbouring halves are held once.
  EXPECT_EQ(image.Capacity(), 12);
  EXPECT_EQ(Points_Of(image),
            (std::vector<Point_2D>{{0, 0}, {0.5f, 0}, {1, 0}, {0, 0.5f}, {0.5f, 0.5f}, {1, 0.5f}, {0, 1}, {0.5f, 1}}));
  EXPECT_EQ(square.Image(Transform_Set_2D()).Count(), 0);
}
