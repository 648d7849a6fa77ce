#include "platform/gdi/color.h"

int Exact_Color_Index(const uint32_t* table_xrgb, int count, uint32_t xrgb) {
  xrgb &= 0xFFFFFF;
  for (int i = 0; i < count; ++i)
    if ((table_xrgb[i] & 0xFFFFFF) == xrgb) return i;
  return -1;
}

int Nearest_Color_Index(const uint32_t* table_xrgb, int count, uint32_t xrgb) {
  const int r = int(xrgb >> 16 & 0xFF), g = int(xrgb >> 8 & 0xFF), b = int(xrgb & 0xFF);
  int best = -1;
  int best_distance = 0;
  for (int i = 0; i < count; ++i) {
    const uint32_t e = table_xrgb[i];
    const int dr = int(e >> 16 & 0xFF) - r, dg = int(e >> 8 & 0xFF) - g, db = int(e & 0xFF) - b;
    const int distance = dr * dr + dg * dg + db * db;
    if (best < 0 || distance < best_distance) {
      best = i;
      best_distance = distance;
      if (distance == 0) break;  // the first exact match wins
    }
  }
  return best;
}
