#include "model/point_2d.h"

#include <gtest/gtest.h>

#include <cmath>
#include <utility>

#include "model/trunc_i32.h"

TEST(Trunc_I32, TruncatesTowardZeroAndIsDefinedEverywhereAsDoPointsAfterClamping) {
  const std::pair<double, int32_t> cases[] = {
      {-2.9, -2}, {2.9, 2}, {2147483647.0, INT32_MAX}, {-2147483648.9, INT32_MIN},
      {2147483648.0, INT32_MIN}, {-3e9, INT32_MIN}, {std::nan(""), INT32_MIN}, {HUGE_VAL, INT32_MIN}};
  for (auto [value, expected] : cases) EXPECT_EQ(Trunc_I32(value), expected) << value;
  EXPECT_EQ(Point_To_Int_Clamped(Point_2D(32700.9f, -32700.9f)), TPoint(32700, -32700));
  EXPECT_EQ(Point_To_Int_Clamped(Point_2D(-0.7f, 0.7f)), TPoint(0, 0));
  EXPECT_EQ(Point_To_Int_Clamped(Point_2D(1e30f, -INFINITY)), TPoint(32700, -32700));
  // A NaN coordinate stays within the promised range too.
  EXPECT_EQ(Point_To_Int_Clamped(Point_2D(std::nanf(""), 5.5f)), TPoint(-32700, 5));
}
