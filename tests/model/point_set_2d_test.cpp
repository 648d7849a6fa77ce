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
  set.Insert(Point_2D(0, 1));
  set.Insert(Point_2D(0.5f, 0.5f));
  set.Insert(Point_2D(0, 0));
  // y decides first, then x.
  EXPECT_EQ(Points_Of(set), (std::vector<Point_2D>{{0, 0}, {1, 0}, {0.5f, 0.5f}, {0, 1}}));
  set.Insert(Point_2D(0.5000001f, 0.5f));
  set.Insert(Point_2D(1.0f, 1e-7f));
  EXPECT_EQ(set.Count(), 4);
  // Growing beyond the capacity keeps four spare places.
  set.Insert(Point_2D(2, 2));
  set.Insert(Point_2D(-1, 2));
  EXPECT_EQ(set.Count(), 6);
  EXPECT_EQ(set.Capacity(), 10);
  EXPECT_EQ(set.Point(4), Point_2D(-1, 2));
  EXPECT_EQ(set.Point(5), Point_2D(2, 2));
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
  EXPECT_TRUE(copy.Equals(a));
  Point_Set_2D moved(std::move(copy));
  EXPECT_TRUE(moved.Equals(a));
}

TEST(Point_Set_2D, ImageMapsEveryPointByEveryMap) {
  Point_Set_2D square;
  for (Point_2D p : {Point_2D(0, 0), Point_2D(1, 0), Point_2D(0, 1), Point_2D(1, 1)}) {
    square.Insert(p);
  }
  Transform_Set_2D maps;
  maps.Add_Map(std::make_unique<Affine_Transform_2D>(0.5f, 0, 0, 0, 0.5f, 0));
  maps.Add_Map(std::make_unique<Affine_Transform_2D>(0.5f, 0, 0.5f, 0, 0.5f, 0));
  maps.Add_Map(std::make_unique<Affine_Transform_2D>(0.5f, 0, 0, 0, 0.5f, 0.5f));
  Point_Set_2D image = square.Image(maps);
  // Corners shared by neighbouring halves are held once.
  EXPECT_EQ(image.Capacity(), 12);
  EXPECT_EQ(image.Count(), 8);
  EXPECT_EQ(image.Point(0), Point_2D(0, 0));
  EXPECT_EQ(image.Point(7), Point_2D(0.5f, 1));
  EXPECT_EQ(square.Image(Transform_Set_2D()).Count(), 0);
}
