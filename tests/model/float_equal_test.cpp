#include "model/float_equal.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>

TEST(Float_Equal, TinyValuesCountAsZeroAndEqualEachOther) {
  EXPECT_TRUE(Float_Equal(1e-6f, -1e-6f));
  EXPECT_TRUE(Float_Equal(1e-6f, 0.0f));
  EXPECT_FALSE(Float_Equal(1e-6f, 0.5f));
  // Just at the threshold a value no longer counts as zero.
  EXPECT_FALSE(Float_Equal(Float_Tolerance_Small, 0.0f));
}

TEST(Float_Equal, RelativeToleranceIsOnePartIn65536) {
  EXPECT_TRUE(Float_Equal(1.0f, 1.0f + 1e-6f));
  EXPECT_FALSE(Float_Equal(1.0f, 1.0001f));
  EXPECT_TRUE(Float_Equal(1000.0f, 1000.01f));
  EXPECT_FALSE(Float_Equal(1.0f, -1.0f));
  // The comparison is strict: a difference of exactly 2^-16 of the summed
  // magnitudes is not equal.
  EXPECT_FALSE(Float_Equal(65537.0f, 65535.0f));  // sum 131072 = 2 * 65536
  EXPECT_TRUE(Float_Equal(65537.0f, 65536.0f));
}

TEST(Float_Equal, NonFiniteValuesAreNeverEqual) {
  const float nan = std::nanf("");
  EXPECT_FALSE(Float_Equal(nan, nan));
  EXPECT_FALSE(Float_Equal(nan, 0.0f));
  EXPECT_FALSE(Float_Equal(FLT_MAX, -FLT_MAX));
  EXPECT_TRUE(Float_Equal(FLT_MAX, FLT_MAX));
}
