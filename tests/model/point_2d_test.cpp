#include "model/point_2d.h"

#include <gtest/gtest.h>

#include <cmath>

#include "model/trunc_i32.h"

TEST(Trunc_I32, TruncatesTowardZeroAndIsDefinedEverywhere) {
  EXPECT_EQ(Trunc_I32(-2.9), -2);
  EXPECT_EQ(Trunc_I32(2.9), 2);
  EXPECT_EQ(Trunc_I32(2147483647.0), INT32_MAX);
  EXPECT_EQ(Trunc_I32(-2147483648.9), INT32_MIN);
  EXPECT_EQ(Trunc_I32(2147483648.0), INT32_MIN);
  EXPECT_EQ(Trunc_I32(-3e9), INT32_MIN);
  EXPECT_EQ(Trunc_I32(std::nan("")), INT32_MIN);
  EXPECT_EQ(Trunc_I32(HUGE_VAL), INT32_MIN);
}

TEST(Point_To_Int_Clamped, ClampsThenTruncates) {
  EXPECT_EQ(Point_To_Int_Clamped(Point_2D(32700.9f, -32700.9f)), TPoint(32700, -32700));
  EXPECT_EQ(Point_To_Int_Clamped(Point_2D(-0.7f, 0.7f)), TPoint(0, 0));
  EXPECT_EQ(Point_To_Int_Clamped(Point_2D(1e30f, -INFINITY)), TPoint(32700, -32700));
  // A NaN coordinate stays within the promised range too.
  EXPECT_EQ(Point_To_Int_Clamped(Point_2D(std::nanf(""), 5.5f)), TPoint(-32700, 5));
}
