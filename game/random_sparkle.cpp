#include "game/random_sparkle.h"

TRect Random_Sparkle::Draw(Pixels& pixels, const Trail_Position& p, int32_t size_offset,
                           uint8_t color) {
  const int32_t size = Size_For(size_offset, p.depth);
  Circular_Distribution* distribution = size < 3 ? nullptr : Distributions[size_t(size | 1)].get();
  if (!distribution) return Draw_Pixel(pixels, p, color);
  const int32_t s = size | 1;
  const TRect square(p.x - s / 2, p.y - s / 2, p.x - s / 2 + s, p.y - s / 2 + s);
  const bool inside = square.left >= 0 && square.top >= 0 && square.right < pixels.Width && square.bottom < pixels.Height;
  for (int32_t i = 0; i < s * s; ++i) {
    const TPoint d = distribution->Next();
    const int32_t x = p.x + d.x, y = p.y + d.y;
    if (inside || (x >= 0 && y >= 0 && x < pixels.Width && y < pixels.Height)) pixels.At(x, y) = color;
  }
  return square;
}
