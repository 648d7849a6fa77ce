#include "model/color_transform.h"

#include <gtest/gtest.h>

#include <vector>

#include "model/gui_colors.h"
#include "platform/gdi/dib.h"

namespace {

class Color_Transform_Test : public testing::Test {
 protected:
  void SetUp() override {
    auto table = colors.Palette->Shared()->Xrgb_Table();
    table.resize(256, 0);
    picture.SetColorTable(0, 256, table.data());
  }
  uint8_t Index(TColor c) { return uint8_t(picture.FindColor(c)); }
  Color_Transform Cycle(std::initializer_list<TColor> list) {
    Color_Transform t;
    for (TColor c : list) t.colors[t.count++] = c;
    return t;
  }

  GUI_Colors colors;
  TDib picture{4, 4};
  const TColor red{255, 0, 0}, green{0, 255, 0}, blue{0, 0, 255}, white{255, 255, 255};
};

TEST_F(Color_Transform_Test, Steps_Move_Along_The_Cycle_Past_The_Background) {
  const Color_Transform rgb = Cycle({red, green, blue});
  auto map = rgb.Make_Index_Map(1, picture, white);
  EXPECT_EQ((std::vector<int>{map[Index(red)], map[Index(green)], map[Index(blue)], map[Index(white)]}),
            (std::vector<int>{Index(green), Index(blue), Index(red), Index(white)}));
  EXPECT_EQ(rgb.Make_Index_Map(4, picture, white), map);
  EXPECT_EQ(rgb.Make_Index_Map(-1, picture, white)[Index(red)], Index(blue));
  // A background entry in the cycle is skipped.
  auto skipping = Cycle({red, white, blue}).Make_Index_Map(1, picture, white);
  EXPECT_EQ(std::pair(skipping[Index(red)], skipping[Index(white)]), std::pair(Index(blue), Index(white)));
}

TEST_F(Color_Transform_Test, Short_Odd_And_Empty_Cycles_Contains_Resolves_Duplicates_Compare_Stored) {
  EXPECT_EQ(Cycle({red}).Make_Index_Map(3, picture, white)[Index(red)], Index(red));
  auto identity = Cycle({}).Make_Index_Map(2, picture, white);
  for (int i = 0; i < 256; ++i) EXPECT_EQ(identity[i], i);
  // Listed twice: the first occurrence decides.
  EXPECT_EQ(Cycle({red, green, red, blue}).Make_Index_Map(1, picture, white)[Index(red)], Index(green));
  // A colour the table lacks counts as index 255.
  auto map = Cycle({TColor(1, 2, 3), red}).Make_Index_Map(1, picture, TColor(0, 0, 0));
  EXPECT_EQ(map[255], Index(red));
  const TColor red_index = RGB_To_Palette_Color(red, *colors.Palette);
  const Color_Transform t = Cycle({red, red_index});
  EXPECT_FALSE(t.Has_Duplicates());
  EXPECT_TRUE(t.Contains(red_index));
  EXPECT_TRUE(Cycle({red_index}).Contains(red));
  EXPECT_TRUE(Cycle({red, green, red}).Has_Duplicates());
  Color_Transform copy = t;
  EXPECT_TRUE(copy == t);
  copy.count = 1;
  EXPECT_FALSE(copy == t);
}

}  // namespace
