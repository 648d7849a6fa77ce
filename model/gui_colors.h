// The program's colours: the one logical palette, the 50 scheme colours from
// which every panel takes its faces, lines and shading, conversions between
// the palette-index and RGB forms of a colour value, HLS on the 0..240
// scale, and the contrast table that keeps outlines visible on any picture.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "platform/gdi/color.h"
#include "platform/gdi/palette.h"

// Hue, saturation and lightness, each 0..240 (hue 0 red, 80 green, 160 blue).
struct HLS_Color {
  uint8_t hue = 0;
  uint8_t saturation = 0;
  uint8_t lightness = 0;
  friend bool operator==(const HLS_Color&, const HLS_Color&) = default;
};

inline constexpr int Scheme_Color_Count = 50;

// The scheme in HLS: rows 0..39 fixed, rows 38..49 a lightness ramp that the
// colour scheme computes when it is built.
extern std::array<HLS_Color, Scheme_Color_Count> Scheme_HLS;

// Pixel value -> the pixel value of a contrasting scheme colour, for
// outlines written straight into pictures.
extern std::array<uint8_t, 256> Contrast_Table;

class GUI_Colors {
 public:
  // Builds the palette, the scheme and the colour wheel's entries; this
  // object becomes The_GUI_Colors first of all.
  GUI_Colors();
  ~GUI_Colors();
  GUI_Colors(const GUI_Colors&) = delete;
  GUI_Colors& operator=(const GUI_Colors&) = delete;

  // Appends colours to the palette. On a palette device each element becomes
  // the index form of its entry; otherwise black, white and colours already
  // among the existing entries take no entry.
  void Add_Colors(uint32_t* colors, int count);

  // Scheme colour index as RGB.
  TColor Scheme_RGB(int index) const;
  // Scheme colour 3 (dark) or 4 (light), whichever reads better on the
  // background.
  TColor Contrast_Color(TColor background) const;

  std::unique_ptr<TPalette> Palette;
  bool Is_Palette_Device = false;
  std::array<TColor, Scheme_Color_Count> Scheme{};
};

extern GUI_Colors* The_GUI_Colors;

// An index-form colour as the RGB of its palette entry (black for an index
// beyond the palette); an RGB value unchanged.
TColor Palette_Color_To_RGB(TColor color, const TPalette& palette);
// An RGB value as the index form of its nearest palette entry; an
// index-form colour unchanged.
TColor RGB_To_Palette_Color(TColor color, const TPalette& palette);

TColor HLS_To_RGB(const HLS_Color& hls);
HLS_Color RGB_To_HLS(TColor color);
double Hue_To_Value(double m1, double m2, double h);

// Fills Contrast_Table from the program palette.
void Build_Contrast_Table();
