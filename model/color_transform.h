// A colour cycle: up to ten colours in order. A map's colour step moves every
// colour of its image that belongs to the cycle that many places along it.
#pragma once

#include <array>
#include <cstdint>

#include "platform/gdi/color.h"

class TDib;

class Color_Transform {
 public:
  static constexpr int Max_Colors = 10;

  Color_Transform() = default;
  Color_Transform(const Color_Transform& other);
  Color_Transform& operator=(const Color_Transform& other);

  // Same count and the same stored values in order.
  bool operator==(const Color_Transform& other) const;
  // Whether a colour of the cycle is the given colour, both compared as RGB.
  bool Contains(TColor color) const;
  // Whether two colours of the cycle are equal as stored.
  bool Has_Duplicates() const;
  // Palette index -> the index its pixels take after moving step places
  // along the cycle, for a picture with the given colour table. Background
  // pixels stay, and a cycle colour is never moved onto the background.
  std::array<uint8_t, 256> Make_Index_Map(int32_t step, const TDib& picture, TColor background) const;

  int32_t count = 0;
  std::array<TColor, Max_Colors> colors{};
};

// The cycle currently chosen in the colour-cycle panel; empty at start-up.
extern Color_Transform Selected_Color_Cycle;
