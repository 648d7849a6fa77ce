#include "model/raster_lines.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

std::vector<TPoint> Points_Of(TPoint p0, TPoint p1) {
  std::vector<TPoint> points(std::max(std::abs(p1.x - p0.x), std::abs(p1.y - p0.y)) + 1);
  int32_t count = -1;
  Line_Points(p0, p1, points.data(), count);
  points.resize(count);
  return points;
}

TEST(Line_Points, Sloped_Lines_Leave_Out_The_Far_End_Straight_Lines_Hold_Both) {
  const std::vector<TPoint> expected{{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 2}};
  EXPECT_EQ(Points_Of({0, 0}, {5, 2}), expected);
  EXPECT_EQ(Points_Of({5, 2}, {0, 0}), expected);
  // Y-major, stepping from the smaller y, with the minor step negative.
  const std::vector<TPoint> steep{{3, 0}, {3, 1}, {3, 2}, {2, 3}};
  EXPECT_EQ(Points_Of({2, 4}, {3, 0}), steep);
  // 45 degrees counts as x-major.
  EXPECT_EQ(Points_Of({0, 0}, {3, -3}), (std::vector<TPoint>{{0, 0}, {1, -1}, {2, -2}}));
  EXPECT_EQ(Points_Of({3, 7}, {3, 4}), (std::vector<TPoint>{{3, 4}, {3, 5}, {3, 6}, {3, 7}}));
  EXPECT_EQ(Points_Of({4, 1}, {2, 1}), (std::vector<TPoint>{{2, 1}, {3, 1}, {4, 1}}));
  EXPECT_EQ(Points_Of({9, 9}, {9, 9}), (std::vector<TPoint>{{9, 9}}));
}

TEST(Point_Near_Segment, Width_One_Takes_Only_Points_On_The_Line) {
  EXPECT_TRUE(Point_Near_Segment({0, 0}, {10, 10}, {5, 5}, 1) && Point_Near_Segment({0, 0}, {10, 10}, {5, 6}, 3));
  EXPECT_FALSE(Point_Near_Segment({0, 0}, {10, 10}, {5, 6}, 1) || Point_Near_Segment({0, 0}, {10, 10}, {5, 8}, 3));
  // Straight segments: the grown box decides.
  EXPECT_TRUE(Point_Near_Segment({0, 5}, {10, 5}, {10, 4}, 1) && !Point_Near_Segment({0, 5}, {10, 5}, {11, 5}, 1));
  // Far points do not overflow.
  EXPECT_FALSE(Point_Near_Segment({-32700, -32700}, {32700, 32000}, {32000, -32000}, 3));
}

TEST(Clip_Segment_To_Rect, Follows_The_Edges_And_Keeps_Both_Ends_Inside) {
  auto clip = [](TPoint p0, TPoint p1) {
    TPoint q0{-1, -1}, q1{-1, -1};
    return Clip_Segment_To_Rect(p0, p1, TRect(0, 0, 360, 360), q0, q1) ? std::pair(q0, q1) : std::pair(p0, p0);
  };
  EXPECT_EQ(clip({-10, 5}, {-1, 300}), std::pair(TPoint(-10, 5), TPoint(-10, 5)));  // refused
  EXPECT_EQ(clip({10, 20}, {500, 20}), std::pair(TPoint(10, 20), TPoint(359, 20)));
  EXPECT_EQ(clip({-100, 100}, {100, 100}), std::pair(TPoint(0, 100), TPoint(100, 100)));
  EXPECT_EQ(clip({5, 6}, {7, 8}), std::pair(TPoint(5, 6), TPoint(7, 8)));
  TPoint q0, q1;
  // A segment whose exit the edge rule put at (1000, -1).
  ASSERT_TRUE(Clip_Segment_To_Rect({-6, 0}, {1000, -1}, TRect(0, 0, 360, 360), q0, q1));
  EXPECT_TRUE(q0 == TPoint(0, 0) && TRect(0, 0, 360, 360).Contains(q1) && q1.y == 0) << q1.x << "," << q1.y;

  std::mt19937 random(7);
  std::uniform_int_distribution<int> coordinate(-30, 50);
  const TRect r(0, 0, 20, 20);
  for (int i = 0; i < 300000; ++i) {
    TPoint p0{coordinate(random), coordinate(random)}, p1{coordinate(random), coordinate(random)};
    if (Clip_Segment_To_Rect(p0, p1, r, q0, q1)) {
      ASSERT_TRUE(r.Contains(q0) && r.Contains(q1))
          << p0.x << "," << p0.y << " " << p1.x << "," << p1.y;
    }
  }
}

TEST(Pixels, Rows_Count_From_The_Top) {
  std::vector<uint8_t> bits(360 * 360);
  Pixels view;
  view.Attach(bits.data(), 360, 360);
  EXPECT_EQ(std::pair(view.Row_Offset(0), view.Row_Offset(359)), std::pair(359 * 360, 0));
  view.At(2, 359) = 9;
  view.Attach(bits.data(), 16, 10);  // smaller: storage reused
  EXPECT_EQ(std::pair(int(bits[2]), view.Row_Offset(0)), std::pair(9, 9 * 16));
}

}  // namespace
