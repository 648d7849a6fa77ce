// The dotted trail of a rocket or a star between two recorded positions:
// dots scattered along the line, bigger and more of them when near.
#pragma once

#include <cstdint>
#include <vector>

#include "game/circular_distribution.h"
#include "game/firework_particle.h"
#include "model/raster_lines.h"
#include "platform/gdi/geometry.h"

class Firework_Trail {
 public:
  // Room for segments shorter than side pixels; the distributions stay with
  // their owner.
  Firework_Trail(int32_t side, Distribution_Table& distributions);

  // Dots along from-to: their count is the line's points x the dot size x
  // numerator / divisor. Returns the rectangle touched. A segment as long
  // as the frame's side (a star thrown across it) draws nothing.
  TRect Draw_Segment(Pixels& pixels, const Trail_Position& from, const Trail_Position& to, int32_t size_offset,
                     int32_t numerator, int32_t divisor, uint8_t color);

 private:
  int32_t Side;
  std::vector<TPoint> Points;
  Distribution_Table& Distributions;
};
