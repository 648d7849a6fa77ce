#include "model/float_equal.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>

// Tiny values count as zero and equal each other; otherwise the tolerance is
// one part in 65536 of the summed magnitudes, strictly; non-finite values
// are never equal.
TEST(Float_Equal, ZeroBandRelativeToleranceAndNonFiniteValues) {
  const float nan = std::nanf("");
  const struct {
    float a, b;
    bool equal;
  } cases[] = {
      {1e-6f, -1e-6f, true}, {1e-6f, 0.0f, true}, {1e-6f, 0.5f, false},
      {Float_Tolerance_Small, 0.0f, false},  // just at the threshold a value no longer counts as zero
      {1.0f, 1.0f + 1e-6f, true}, {1.0f, 1.0001f, false}, {1000.0f, 1000.01f, true}, {1.0f, -1.0f, false},
      {65537.0f, 65535.0f, false},  // a difference of exactly 2^-16 of the sum 131072
      {65537.0f, 65536.0f, true},
      {nan, nan, false}, {nan, 0.0f, false}, {FLT_MAX, -FLT_MAX, false}, {FLT_MAX, FLT_MAX, true},
  };
  for (const auto& c : cases) EXPECT_EQ(Float_Equal(c.a, c.b), c.equal) << c.a << " " << c.b;
}
