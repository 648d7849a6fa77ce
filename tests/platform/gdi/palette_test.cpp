#include "platform/gdi/palette.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

namespace {

TPalette Make(std::vector<TPalette_Entry> entries) { return TPalette(entries.data(), int(entries.size())); }

TEST(Color, ValueFormsAndTheNearestIndexRule) {
  constexpr TColor red(255, 0, 0);
  EXPECT_EQ(std::pair(red.Value(), red.Xrgb()), std::pair(0x000000FFu, 0x00FF0000u));
  EXPECT_TRUE(red.Is_Rgb());
  EXPECT_EQ(TColor::Palette_Index(300).Value(), 0x0100012Cu);
  EXPECT_TRUE(TColor::Palette_Index(3).Is_Palette_Index());
  EXPECT_TRUE(TColor(CLR_NONE).Is_Palette_Index());  // index form, index 0
  EXPECT_TRUE(TColor(PALETTERGB(1, 2, 3)).Is_Palette_Relative());
  EXPECT_EQ(TColor(PALETTERGB(1, 2, 3)).Xrgb(), 0x010203u);
  EXPECT_EQ(TColor::From_Xrgb(0x123456), TColor(0x12, 0x34, 0x56));
  // The nearest-index rule of colour tables.
  const uint32_t table[] = {0x000000, 0x0A0000, 0x000A00, 0x0A0000, 0xFFFFFF};
  // The first exact match wins over a later one.
  EXPECT_EQ(std::pair(Exact_Color_Index(table, 5, 0x0A0000), Exact_Color_Index(table, 5, 0x123456)), std::pair(1, -1));
  // 0x050500 lies 50 from entries 0, 1 and 2: the lowest index wins.
  for (auto [colour, count, nearest] : {std::tuple{0x0A0000u, 5, 1}, {0x050500u, 5, 0}, {0x090001u, 5, 1},
                                         {0xF0F0F0u, 5, 4}, {0xF0F0F0u, 0, -1}})
    EXPECT_EQ(Nearest_Color_Index(table, count, colour), nearest) << std::hex << colour;
}

TEST(Palette, EntriesCopyResizeAndNearestIndex) {
  TPalette p = Make({{1, 2, 3, PC_RESERVED}, {4, 5, 6, PC_NOCOLLAPSE}});
  EXPECT_EQ(p.GetNumEntries(), 2);
  TPalette_Entry e;
  ASSERT_TRUE(p.GetPaletteEntry(1, e));
  EXPECT_EQ(e, (TPalette_Entry{4, 5, 6, PC_NOCOLLAPSE}));
  EXPECT_FALSE(p.GetPaletteEntry(2, e) || p.GetPaletteEntry(-1, e));

  TPalette copy = p;  // a new palette: changes do not flow back
  copy.SetPaletteEntry(0, {9, 9, 9, 0});
  p.GetPaletteEntry(0, e);
  EXPECT_EQ(e.peRed, 1);

  TPalette_Entry three[3] = {{7, 7, 7, 0}, {8, 8, 8, 0}, {9, 9, 9, 0}};
  EXPECT_EQ(p.SetPaletteEntries(1, 3, three), 1);  // only what fits
  ASSERT_TRUE(p.ResizePalette(4));
  EXPECT_EQ(p.GetNumEntries(), 4);
  TPalette_Entry out[6];
  EXPECT_EQ(p.GetPaletteEntries(0, 6, out), 4);
  EXPECT_EQ(std::pair(out[1], out[3]), std::pair(TPalette_Entry{7, 7, 7, 0}, TPalette_Entry{0, 0, 0, 0}));
  // beyond the end: black
  EXPECT_EQ(std::tuple(p.Entry_Xrgb(1), p.Entry_Xrgb(4), p.Entry_Xrgb(-1)), std::tuple(0x070707u, 0u, 0u));
  // The nearest entry ignores flags and prefers the lowest index.
  TPalette q = Make({{0, 0, 0, 0}, {255, 0, 0, PC_RESERVED}, {0, 0, 0, 0}, {255, 0, 0, 0}, {0, 255, 0, 0}});
  // (128, 128, 0) is a tie of red and green: the lower index wins
  for (auto [colour, nearest] : {std::pair{TColor(255, 0, 0), 1}, {TColor(0, 0, 0), 0}, {TColor(128, 128, 0), 1},
                                 {TColor(10, 200, 10), 4}})
    EXPECT_EQ(q.GetNearestPaletteIndex(colour), nearest) << colour.Xrgb();
  TPalette empty(nullptr, 0);
  EXPECT_EQ(empty.GetNearestPaletteIndex(TColor(1, 2, 3)), 0);
}

}  // namespace
