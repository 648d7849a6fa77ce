// A star-shaped sparkle: for each size 3 to 15 a small mask (bitmaps 4112
// to 4124) laid centred on the star. A mask byte 0 paints the star's
// colour, 255 paints white (palette index 255), any other leaves the pixel.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "game/firework_sparkle.h"

class Polarized_Sparkle : public Firework_Sparkle {
 public:
  static constexpr uint32_t First_Mask_Resource = 4112;

  // Loads the masks; a size whose mask is missing draws a single pixel.
  Polarized_Sparkle();

  TRect Draw(Pixels& pixels, const Trail_Position& position, int32_t size_offset, uint8_t color) override;

  // Mask size for size k: k x k when odd, (k - 1) x (k + 1) when even.
  static TSize Mask_Size(int32_t k);

  struct Mask {
    // Centred on the origin.
    TRect Rect;
    // Rect's height rows of its width bytes in the order stored (bottom row
    // first); the masks read the same either way up.
    std::vector<uint8_t> Bytes;
  };
  std::array<Mask, 16> Masks;
};
