#include "platform/gdi/geometry.h"

#include <gtest/gtest.h>

#include <utility>

TEST(Geometry, RectangleExcludesRightAndBottomEdges) {
  TRect r(10, 20, 30, 40);
  EXPECT_TRUE(r.Contains(TPoint(10, 20)) && r.Contains(TPoint(29, 39)));
  EXPECT_FALSE(r.Contains(TPoint(30, 39)) || r.Contains(TPoint(29, 40)));
  EXPECT_TRUE(TRect(5, 5, 5, 9).IsEmpty() && TRect(5, 5, 4, 9).IsEmpty());
}

TEST(Geometry, IntersectionAndUnion) {
  TRect a(0, 0, 10, 10), b(5, 5, 15, 15), far(20, 20, 30, 30);
  EXPECT_EQ(std::pair(a.Intersection(b), a.Intersection(far)), std::pair(TRect(5, 5, 10, 10), TRect()));
  EXPECT_FALSE(a.Touches(TRect(10, 0, 20, 10)));  // sharing only an excluded edge
  EXPECT_EQ(std::pair(a.Union(b), TRect().Union(b)), std::pair(TRect(0, 0, 15, 15), b));
  EXPECT_EQ(TRect(10, 10, 0, 0).Normalized(), TRect(0, 0, 10, 10));
}
