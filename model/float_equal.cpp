#include "model/float_equal.h"

#include <cmath>

bool Float_Equal(float x, float y) {
  if (std::fabs(x) < Float_Tolerance_Small && std::fabs(y) < Float_Tolerance_Small) return true;
  const float difference = x - y;  // rounded to float before it is weighed
  const double magnitudes = static_cast<double>(std::fabs(x)) + std::fabs(y);
  return magnitudes > static_cast<double>(std::fabs(difference)) * Float_Tolerance_Big;
}
