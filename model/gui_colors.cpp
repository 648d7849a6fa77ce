#include "model/gui_colors.h"

#include <algorithm>
#include <vector>

#include "model/color_wheel_table.h"
#include "platform/gdi/device_caps.h"

GUI_Colors* The_GUI_Colors = nullptr;
std::array<uint8_t, 256> Contrast_Table{};

namespace {

constexpr std::array<HLS_Color, 40> Fixed_Scheme_Rows = {{
    {25, 150, 180}, {12, 60, 110},  {12, 50, 170},   {12, 60, 90},    {12, 60, 200},
    {12, 60, 150},  {12, 60, 120},  {14, 80, 125},   {16, 100, 130},  {18, 120, 135},
    {20, 140, 140}, {35, 150, 180}, {235, 240, 192}, {235, 220, 196}, {235, 200, 200},
    {235, 150, 175}, {235, 100, 150}, {80, 240, 60}, {80, 240, 40},   {80, 80, 150},
    {230, 240, 100}, {20, 240, 125}, {40, 240, 150}, {80, 120, 140},  {130, 150, 140},
    {185, 150, 150}, {230, 240, 60}, {20, 240, 80},  {40, 240, 110},  {80, 120, 100},
    {130, 150, 100}, {185, 150, 100}, {230, 240, 140}, {20, 240, 165}, {40, 240, 190},
    {80, 120, 180}, {130, 150, 180}, {185, 150, 190}, {25, 110, 105}, {25, 110, 222},
}};

constexpr TPalette_Entry Fixed_Low_Entries[10] = {
    {0, 0, 0, PC_RESERVED},     {128, 0, 0, PC_RESERVED},     {0, 128, 0, PC_RESERVED},
    {128, 128, 0, PC_RESERVED}, {0, 0, 128, PC_RESERVED},     {128, 0, 128, PC_RESERVED},
    {0, 128, 128, PC_RESERVED}, {192, 192, 192, PC_RESERVED}, {0, 200, 0, PC_RESERVED},
    {0, 0, 200, PC_RESERVED},
};

constexpr TPalette_Entry Fixed_High_Entries[8] = {
    {128, 128, 128, PC_RESERVED}, {255, 0, 0, PC_RESERVED},   {0, 255, 0, PC_RESERVED},
    {255, 255, 0, PC_RESERVED},   {0, 0, 255, PC_RESERVED},   {255, 0, 255, PC_RESERVED},
    {0, 255, 255, PC_RESERVED},   {255, 255, 255, PC_RESERVED},
};

std::array<HLS_Color, Scheme_Color_Count> Initial_Scheme() {
  std::array<HLS_Color, Scheme_Color_Count> rows{};
  for (size_t i = 0; i < Fixed_Scheme_Rows.size(); ++i) rows[i] = Fixed_Scheme_Rows[i];
  return rows;
}

// Rows 38..49: a lightness ramp up from row 38 and down from the old row 39.
void Build_Scheme_Ramp() {
  Scheme_HLS = Initial_Scheme();
  Scheme_HLS[49] = Scheme_HLS[39];
  const int l0 = Scheme_HLS[0].lightness;
  const int up = ((l0 - Scheme_HLS[38].lightness) * 2 + 11) / 12;
  for (int row = 39; row <= 43; ++row) {
    Scheme_HLS[row] = Scheme_HLS[row - 1];
    Scheme_HLS[row].lightness = uint8_t(Scheme_HLS[row - 1].lightness + up);
  }
  const int down = ((l0 - Scheme_HLS[49].lightness) * 2 - 11) / 12;
  for (int row = 48; row >= 44; --row) {
    Scheme_HLS[row] = Scheme_HLS[row + 1];
    Scheme_HLS[row].lightness = uint8_t(Scheme_HLS[row + 1].lightness + down);
  }
}

TPalette_Entry Entry_Of(TColor c, uint8_t flags) { return {c.Red(), c.Green(), c.Blue(), flags}; }

int Screen_Caps(int index) { return TDevice_Caps::Get(index, 0, 0, 32, true); }

}  // namespace

std::array<HLS_Color, Scheme_Color_Count> Scheme_HLS = Initial_Scheme();

GUI_Colors::GUI_Colors() {
  The_GUI_Colors = this;
  Build_Scheme_Ramp();
  Is_Palette_Device = (Screen_Caps(RASTERCAPS) & RC_PALETTE) != 0;
  const int color_count = Screen_Caps(NUMCOLORS);
  const int bits_per_pixel = Screen_Caps(BITSPIXEL);
  std::vector<TPalette_Entry> entries;
  entries.reserve(60);
  if (color_count <= 0) entries.assign(std::begin(Fixed_Low_Entries), std::end(Fixed_Low_Entries));
  for (int i = 0; i < Scheme_Color_Count; ++i) {
    const TColor c = HLS_To_RGB(Scheme_HLS[i]);
    entries.push_back(Entry_Of(c, PC_NOCOLLAPSE));
    if (Is_Palette_Device) {
      Scheme[i] = TColor::Palette_Index(int(entries.size()) - 1);
    } else if (bits_per_pixel >= 24) {
      Scheme[i] = c;
    } else {
      // A display of 16 bits or fewer would give its nearest colour; every
      // display of this system is true-colour, so the colour stands.
      Scheme[i] = c;
      entries.back().peFlags = 0;
    }
  }
  Palette = std::make_unique<TPalette>(entries.data(), int(entries.size()));
  Add_Colors(Build_Palette(), Wheel_Color_Count);
  if (color_count <= 0) {
    Palette->ResizePalette(256);
    Palette->SetPaletteEntries(248, 8, Fixed_High_Entries);
  }
}

GUI_Colors::~GUI_Colors() {
  if (The_GUI_Colors == this) The_GUI_Colors = nullptr;
}

void GUI_Colors::Add_Colors(uint32_t* colors, int count) {
  const int n = Palette->GetNumEntries();
  std::vector<TPalette_Entry> entries(size_t(n) + count);
  Palette->GetPaletteEntries(0, n, entries.data());
  int skipped = 0;
  for (int i = 0; i < count; ++i) {
    const int position = n + i - skipped;
    const TColor c(colors[i]);
    entries[position] = Entry_Of(c, uint8_t(colors[i] >> 24));
    if (Is_Palette_Device) {
      colors[i] = TColor::Palette_Index(position);
      continue;
    }
    bool skip = colors[i] == 0x000000 || colors[i] == 0xFFFFFF;
    for (int k = 0; k < n && !skip; ++k)
      skip = entries[k].peRed == c.Red() && entries[k].peGreen == c.Green() && entries[k].peBlue == c.Blue();
    if (skip && skipped < 127) ++skipped;
  }
  Palette = std::make_unique<TPalette>(entries.data(), n + count - skipped);
}

TColor GUI_Colors::Scheme_RGB(int index) const { return Palette_Color_To_RGB(Scheme[index], *Palette); }

TColor GUI_Colors::Contrast_Color(TColor background) const {
  const HLS_Color hls = RGB_To_HLS(Palette_Color_To_RGB(background, *Palette));
  if (hls.lightness > 160) return Scheme[3];
  if (hls.lightness < 100) return Scheme[4];
  return hls.hue >= 140 && hls.hue < 200 ? Scheme[4] : Scheme[3];
}

TColor Palette_Color_To_RGB(TColor color, const TPalette& palette) {
  if (color.Is_Rgb()) return color;
  TPalette_Entry entry;
  // An index beyond the palette has no entry: black, not whatever was there.
  if (!palette.GetPaletteEntry(color.Index(), entry)) return TColor(0u);
  return TColor(entry.peRed, entry.peGreen, entry.peBlue);
}

TColor RGB_To_Palette_Color(TColor color, const TPalette& palette) {
  if (!color.Is_Rgb()) return color;
  return TColor::Palette_Index(palette.GetNearestPaletteIndex(color) & 0xFFFF);
}

double Hue_To_Value(double m1, double m2, double h) {
  if (h < 0) h = h + 1;
  if (h > 1) h = h - 1;
  if (6 * h < 1) return m1 + (m2 - m1) * h * 6;
  if (2 * h < 1) return m2;
  if (3 * h < 2) return m1 + (m2 - m1) * (2.0 / 3.0 - h) * 6;
  return m1;
}

TColor HLS_To_RGB(const HLS_Color& hls) {
  const double h = hls.hue / 240.0, s = hls.saturation / 240.0, l = hls.lightness / 240.0;
  double red, green, blue;
  if (hls.saturation == 0) {
    red = green = blue = l;
  } else {
    const double m2 = l <= 0.5 ? l * (1 + s) : l + s - l * s;
    const double m1 = 2 * l - m2;
    red = Hue_To_Value(m1, m2, h + 1.0 / 3.0);
    green = Hue_To_Value(m1, m2, h);
    blue = Hue_To_Value(m1, m2, h - 1.0 / 3.0);
  }
  auto channel = [](double v) { return int(static_cast<int32_t>(v * 255) & 0xFF); };
  return TColor(channel(red), channel(green), channel(blue));
}

HLS_Color RGB_To_HLS(TColor color) {
  const double r = color.Red() / 255.0, g = color.Green() / 255.0, b = color.Blue() / 255.0;
  const double max = std::max({r, g, b}), min = std::min({r, g, b});
  const double l = (max + min) * 0.5;
  double h = 0, s = 0;
  if (max != min) {
    const double d = max - min;
    s = l < 0.5 ? d / (max + min) : d / (2 - max - min);
    if (r == max) h = (g - b) / d;
    else if (g == max) h = (b - r) / d + 2;
    else h = (r - g) / d + 4;
    h = h / 6;
    if (h < 0) h = h + 1;
  }
  return {uint8_t(static_cast<int32_t>(h * 240)), uint8_t(static_cast<int32_t>(s * 240)),
          uint8_t(static_cast<int32_t>(l * 240))};
}

void Build_Contrast_Table() {
  const GUI_Colors& colors = *The_GUI_Colors;
  // The colour table every picture carries: the program palette in order.
  std::vector<uint32_t> table = colors.Palette->Shared()->Xrgb_Table();
  table.resize(256, 0);
  auto index_of = [&](TColor c) {
    for (int i = 0; i < 256; ++i)
      if (table[i] == c.Xrgb()) return i;
    return 255;
  };
  const int dark = index_of(colors.Scheme_RGB(3));
  const int light = index_of(colors.Scheme_RGB(4));
  for (int i = 0; i < 256; ++i)
    Contrast_Table[i] = uint8_t(colors.Contrast_Color(TColor::From_Xrgb(table[i])) == colors.Scheme[4] ? light : dark);
  Contrast_Table[light] = uint8_t(light);
  Contrast_Table[dark] = uint8_t(dark);
}
