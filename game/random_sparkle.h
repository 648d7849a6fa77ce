// A glittering blot: dots scattered round the star, thick at the centre.
#pragma once

#include "game/circular_distribution.h"
#include "game/firework_sparkle.h"

class Random_Sparkle : public Firework_Sparkle {
 public:
  // The distributions stay with their owner.
  explicit Random_Sparkle(Distribution_Table& distributions) : Distributions(distributions) {}

  TRect Draw(Pixels& pixels, const Trail_Position& position, int32_t size_offset,
             uint8_t color) override;

 private:
  Distribution_Table& Distributions;
};
