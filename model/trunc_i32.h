// Float to 32-bit integer truncation that is defined for every input.
// A plain cast is undefined for NaN and for values outside the int32 range;
// those give INT32_MIN here, the "integer indefinite" value the x87 unit
// produces, so stored maps with damaged coefficients behave predictably.
#pragma once

#include <cstdint>

constexpr int32_t Trunc_I32(double x) {
  // Written so that NaN fails both comparisons.
  if (x > -2147483649.0 && x < 2147483648.0) return static_cast<int32_t>(x);
  return INT32_MIN;
}
