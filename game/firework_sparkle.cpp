#include "game/firework_sparkle.h"

#include <algorithm>

#include "game/circular_distribution.h"

int32_t Firework_Sparkle::Size_For(int32_t size_offset, int32_t depth) {
  const int32_t size = size_offset + Depth_Size_Table[size_t(std::clamp(depth, 0, 17))];
  if (size < 3) return 1;
  return std::min(size, 15);
}

TRect Firework_Sparkle::Draw_Pixel(Pixels& pixels, const Trail_Position& p, uint8_t color) {
  if (p.x >= 0 && p.y >= 0 && p.x < pixels.Width && p.y < pixels.Height) pixels.At(p.x, p.y) = color;
  return TRect(p.x, p.y, p.x + 1, p.y + 1);
}
