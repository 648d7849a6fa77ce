#include "model/color_wheel_table.h"

#include <algorithm>

#include "model/gui_colors.h"

uint32_t Wheel_Colors[Wheel_Color_Count];
uint32_t* Wheel_Colors_RGB = Wheel_Colors;

namespace {

uint32_t Wheel_Colors_RGB_Copy[Wheel_Color_Count];

constexpr uint32_t Black = 0x000000, White = 0xFFFFFF;

uint32_t Average(uint32_t p, uint32_t q) {
  uint32_t mixed = 0;
  for (int shift = 0; shift < 24; shift += 8)
    mixed |= ((((p >> shift) & 0xFF) + ((q >> shift) & 0xFF)) >> 1) << shift;
  return mixed;
}

}  // namespace

uint32_t* Build_Palette() {
  int hues[12];
  for (int j = 0; j < 12; ++j) {
    int h = 20 * j;
    if (h > 40 && h < 80) h -= 10;
    if (h > 80 && h < 120) h += 20 / 3;
    hues[j] = h;
  }
  const uint8_t saturation[3] = {150, 240, 240};
  const uint8_t lightness[3] = {80, 110, 200};
  uint32_t* c = Wheel_Colors;
  for (int i = 0; i < 36; ++i) {
    const int ring = i / 12, slot = i % 12;
    c[i] = HLS_To_RGB(HLS_Color{uint8_t(hues[slot]), saturation[ring], lightness[ring]});
  }
  c[36] = Black;
  c[37] = White;
  for (int j = 0; j < 36; ++j) {
    c[38 + j] = Average(c[j], c[(j + 12) % 36]);
    c[74 + j] = Average(c[j], c[12 * (j / 12) + (j % 12 + 1) % 12]);
    c[110 + j] = Average(White, c[j]);
    c[146 + j] = Average(Black, c[j]);
  }
  const int greys[7] = {31, 62, 93, 124, 155, 186, 217};
  for (int k = 0; k < 7; ++k) c[182 + k] = uint32_t(greys[k]) * 0x010101u;

  if (The_GUI_Colors && The_GUI_Colors->Is_Palette_Device) {
    std::copy(c, c + Wheel_Color_Count, Wheel_Colors_RGB_Copy);
    Wheel_Colors_RGB = Wheel_Colors_RGB_Copy;
  } else {
    Wheel_Colors_RGB = Wheel_Colors;
  }
  return Wheel_Colors;
}
