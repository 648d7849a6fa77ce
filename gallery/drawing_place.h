// Where a drawing sits in the gallery store: grid cell, bin list or fixed slot.
#pragma once

#include <cstdint>

struct Drawing_Place {
  int32_t kind = 0;  // 0 none, 1 grid cell, 2 bin list, 3 fixed slot
  int32_t a = 0;     // row; bin position (0 front, -1 back); slot number
  int32_t b = 0;     // column; 0 otherwise
};
