#include "model/gui_colors.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "model/color_wheel_table.h"
#include "platform/gdi/device_caps.h"

namespace {

TEST(HLS, Conversions_Truncate_In_Double) {
  for (auto [rgb, hls] : {std::pair{TColor(255, 0, 0), HLS_Color{0, 240, 120}}, {TColor(0, 0, 255), HLS_Color{160, 240, 120}},
                          {TColor(255, 255, 255), HLS_Color{0, 0, 240}}})
    EXPECT_EQ(RGB_To_HLS(rgb), hls);
  EXPECT_EQ(HLS_To_RGB({0, 240, 120}), TColor(255, 0, 0));
  EXPECT_EQ(HLS_To_RGB({77, 0, 100}), TColor(106, 106, 106));  // 100 / 240 * 255 = 106.25
}

TEST(Color_Wheel_Table, Colours_Match_The_Stored_Cycle_Colours) {
  GUI_Colors colors;
  // Check values, and the colours the built-in colour cycles store by
  // table index (0x00BBGGRR; 0 is 138, 31, 31).
  const std::pair<int, uint32_t> stored[] = {
      {38, 0x0F0FB9}, {74, 0x1F3A8A}, {110, 0x8F8FC4}, {146, 0x0F0F45}, {36, 0}, {188, 0xD9D9D9},
      {5, 0x648A1F},  {26, 0xAAFFFF}, {7, 0x8A541F},  {11, 0x551F8A}, {6, 0x8A8A1F},  {1, 0x1F558A},
      {0, 0x1F1F8A},  {13, 0x0074E9}, {14, 0x00E9E9}, {30, 0xFFFFAA}, {28, 0xAAFFAA}, {24, 0xAAAAFF},
      {33, 0xFFAAD4}, {16, 0x00E900}, {4, 0x1F8A1F},  {15, 0x00E9AF}, {3, 0x1F8A6F},  {27, 0xAAFFE9},
      {31, 0xFFD4AA}, {32, 0xFFAAAA}, {22, 0xE900E9}, {23, 0x7400E9}, {12, 0x0000E9}, {8, 0x8A1F1F},
      {19, 0xE97400}, {17, 0x97E900}, {29, 0xE1FFAA}, {37, 0xFFFFFF}, {10, 0x8A1F8A}, {34, 0xFFAAFF},
      {9, 0x8A1F54},  {21, 0xE90074}, {20, 0xE90000}, {18, 0xE9E900}, {2, 0x1F8A8A}, {25, 0xAAD4FF},
  };
  for (auto [index, value] : stored) EXPECT_EQ(Wheel_Colors_RGB[index], value) << index;
}

TEST(GUI_Colors, Scheme_Ramp_And_True_Colour_Layout) {
  GUI_Colors colors;
  const int ramp[] = {105, 118, 131, 144, 157, 170, 187, 194, 201, 208, 215, 222};
  for (int i = 0; i < 12; ++i) EXPECT_EQ(Scheme_HLS[38 + i], (HLS_Color{25, 110, uint8_t(ramp[i])})) << 38 + i;
  EXPECT_TRUE(The_GUI_Colors == &colors && !colors.Is_Palette_Device);
  const TPalette& palette = *colors.Palette;
  ASSERT_EQ(palette.GetNumEntries(), 256);
  TPalette_Entry e, last;
  palette.GetPaletteEntry(1, e);
  palette.GetPaletteEntry(255, last);
  EXPECT_EQ(std::pair(e, last), std::pair(TPalette_Entry{128, 0, 0, PC_RESERVED}, TPalette_Entry{255, 255, 255, PC_RESERVED}));
  for (int i = 0; i < Scheme_Color_Count; ++i) {
    ASSERT_TRUE(colors.Scheme[i].Is_Rgb());
    palette.GetPaletteEntry(10 + i, e);
    EXPECT_EQ(TColor(e.peRed, e.peGreen, e.peBlue), colors.Scheme[i]);
  }
  // Wheel colours follow, less black, white and colours already present;
  // every wheel colour is in the palette.
  std::set<uint32_t> first60;
  for (int i = 0; i < 60; ++i) first60.insert(palette.Entry_Xrgb(i));
  int expected = 60;
  for (int k = 0; k < Wheel_Color_Count; ++k) {
    const TColor c(Wheel_Colors[k]);
    EXPECT_TRUE(c.Is_Rgb());
    if (Wheel_Colors[k] == 0 || Wheel_Colors[k] == 0xFFFFFF || first60.count(c.Xrgb())) continue;
    EXPECT_EQ(palette.Entry_Xrgb(expected), c.Xrgb()) << k;
    ++expected;
  }
  EXPECT_TRUE(expected <= 248 && palette.Entry_Xrgb(expected) == 0u);  // black filler
  ASSERT_NE(colors.Scheme_Pen_3, nullptr);
  EXPECT_EQ(colors.Scheme_Brush_6->Color(), colors.Scheme[6]);
}

TEST(GUI_Colors, Palette_Device_Layout) {
  TDevice_Caps::Set_Palette_Device_For_Tests(true);
  {
    GUI_Colors colors;
    EXPECT_TRUE(colors.Is_Palette_Device && colors.Palette->GetNumEntries() == 239);
    for (int i = 0; i < Scheme_Color_Count; ++i) EXPECT_EQ(colors.Scheme[i], TColor::Palette_Index(i));
    for (int k = 0; k < Wheel_Color_Count; ++k) EXPECT_EQ(Wheel_Colors[k], 0x01000000u + 50 + k);
    EXPECT_TRUE(Wheel_Colors_RGB[36] == 0 && Wheel_Colors_RGB[37] == 0xFFFFFF);  // black and white keep entries here
    EXPECT_EQ(Palette_Color_To_RGB(TColor(Wheel_Colors[12]), *colors.Palette), TColor(233, 0, 0));
    EXPECT_EQ(colors.Scheme_RGB(4), HLS_To_RGB(Scheme_HLS[4]));
  }
  TDevice_Caps::Set_Palette_Device_For_Tests(false);
}

TEST(GUI_Colors, Colour_Forms_Convert) {
  GUI_Colors colors;
  const TPalette& palette = *colors.Palette;
  // An index, an RGB value, an index with other flag bits, an index beyond the palette.
  const std::pair<TColor, TColor> to_rgb[] = {
      {TColor::Palette_Index(5), TColor(128, 0, 128)}, {TColor(0x00345678u), TColor(0x00345678u)},
      {TColor(0x07000001u), TColor(128, 0, 0)}, {TColor(0x0100FFFFu), TColor(0u)}};
  for (auto [color, rgb] : to_rgb) EXPECT_EQ(Palette_Color_To_RGB(color, palette), rgb) << color.Value();
  // An index stays; a colour finds its nearest entry, the lowest of equals.
  const std::pair<TColor, int> to_index[] = {
      {TColor::Palette_Index(9), 9}, {TColor(128, 0, 0), 1}, {TColor(0, 0, 0), 0}, {TColor(1, 1, 1), 0}};
  for (auto [color, index] : to_index)
    EXPECT_EQ(RGB_To_Palette_Color(color, palette), TColor::Palette_Index(index)) << color.Value();
}

TEST(GUI_Colors, Contrast_Colours) {
  GUI_Colors colors;
  EXPECT_EQ(colors.Contrast_Color(TColor(255, 255, 255)), colors.Scheme[3]);
  EXPECT_EQ(colors.Contrast_Color(TColor(0, 0, 0)), colors.Scheme[4]);
  EXPECT_EQ(colors.Contrast_Color(HLS_To_RGB({160, 240, 130})), colors.Scheme[4]);
  EXPECT_EQ(colors.Contrast_Color(HLS_To_RGB({40, 240, 130})), colors.Scheme[3]);
  Build_Contrast_Table();
  const uint32_t dark = colors.Scheme_RGB(3).Xrgb(), light = colors.Scheme_RGB(4).Xrgb();
  int dark_index = -1, light_index = -1;
  for (int i = 255; i >= 0; --i) {
    if (colors.Palette->Entry_Xrgb(i) == dark) dark_index = i;
    if (colors.Palette->Entry_Xrgb(i) == light) light_index = i;
  }
  ASSERT_TRUE(dark_index >= 0 && light_index >= 0);
  // Dark and light stay; white (255) turns dark and black (0) light.
  EXPECT_EQ((std::vector<int>{Contrast_Table[dark_index], Contrast_Table[light_index], Contrast_Table[255], Contrast_Table[0]}),
            (std::vector<int>{dark_index, light_index, dark_index, light_index}));
}

}  // namespace
