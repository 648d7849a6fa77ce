// The glow of a burning star, drawn at its newest trail position, bigger
// when it is near.
#pragma once

#include <cstdint>

#include "game/firework_particle.h"
#include "model/raster_lines.h"
#include "platform/gdi/geometry.h"

class Firework_Sparkle {
 public:
  virtual ~Firework_Sparkle() = default;
  // Paints the sparkle into pixels and returns the
  // rectangle touched.
  virtual TRect Draw(Pixels& pixels, const Trail_Position& position, int32_t size_offset,
                     uint8_t color) = 0;

 protected:
  // The sparkle's size for a depth: below 3 it is one pixel (1), above 15
  // it is 15.
  static int32_t Size_For(int32_t size_offset, int32_t depth);
  // Paints the single pixel of a far sparkle.
  static TRect Draw_Pixel(Pixels& pixels, const Trail_Position& position, uint8_t color);
};
