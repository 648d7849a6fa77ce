#include "toolkit/gui_sizes.h"

#include <gtest/gtest.h>

#include <array>

namespace {

struct Screen_Case { int32_t width, height, layout_width, layout_height, drawing_side, design_width, design_height; };

TEST(GUI_Sizes, Screens_Choose_Column_And_Scale) {
  const Screen_Case cases[] = {
      {600, 450, 640, 480, 360, 640, 480},  // narrower than the smallest design
      {640, 480, 640, 480, 360, 640, 480},       {800, 600, 800, 600, 456, 800, 600},
      {1023, 768, 800, 600, 456, 800, 600},      {1024, 768, 1024, 768, 576, 1024, 768},
      {1280, 960, 1280, 960, 720, 640, 480},     {1280, 1024, 1280, 960, 720, 640, 480},  // column 0 doubled
      {1600, 1200, 1600, 1200, 912, 800, 600},   {2048, 1536, 2048, 1536, 1152, 1024, 768},
      {2560, 1920, 2560, 1920, 1440, 640, 480},  // column 0 times 4
      // Screens the width rule overflows get the largest layout that fits
      // both ways: a design column, or column 0 scaled by what both allow.
      {1920, 1080, 1440, 1080, 810, 640, 480},   {1440, 900, 1200, 900, 675, 640, 480},
      {1280, 800, 1066, 800, 600, 640, 480},     {1366, 768, 1024, 768, 576, 1024, 768},
      {2560, 1440, 1920, 1440, 1080, 640, 480},  {3840, 2160, 2880, 2160, 1620, 640, 480},
      {1920, 1200, 1600, 1200, 912, 800, 600},   {1152, 864, 1152, 864, 648, 640, 480},
      {1279, 1024, 1279, 959, 719, 640, 480},    {1100, 700, 933, 700, 525, 640, 480},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.width << "x" << c.height);
    GUI_Sizes sizes(c.width, c.height);
    EXPECT_EQ(The_GUI_Sizes, &sizes);
    EXPECT_EQ((std::array{sizes[0], sizes[1], sizes[Drawing_Side_Size], sizes[2], sizes[3]}),
              (std::array{c.layout_width, c.layout_height, c.drawing_side, c.design_width, c.design_height}));
  }
  EXPECT_EQ(The_GUI_Sizes, nullptr);
}

TEST(GUI_Sizes, Every_Screen_From_640x480_Gets_A_Layout_That_Fits) {
  for (int32_t w = 640; w <= 4096; w += 7)
    for (int32_t h = 480; h <= 2400; h += 11) {
      GUI_Sizes sizes(w, h);
      ASSERT_TRUE(sizes[0] <= w && sizes[1] <= h) << w << "x" << h;
    }
}

TEST(GUI_Sizes, A_Smaller_Layout_Stands_In_The_Middle_Of_The_Screen) {
  struct Origin_Case { int32_t width, height, x, y; };
  for (const Origin_Case c : {Origin_Case{1024, 768, 0, 0}, Origin_Case{1920, 1080, 240, 0},
                              Origin_Case{1366, 768, 171, 0}, Origin_Case{1280, 1024, 0, 32},
                              Origin_Case{600, 450, 0, 0}}) {
    GUI_Sizes sizes(c.width, c.height);
    EXPECT_EQ(sizes.Origin_On_Screen(), TPoint(c.x, c.y)) << c.width << "x" << c.height;
    EXPECT_EQ(GUI_Sizes::Layout_Size(c.width, c.height), TSize(sizes[0], sizes[1]));
  }
}

TEST(GUI_Sizes, Scaled_Sizes_Truncate) {
  GUI_Sizes sizes(3000, 2250);  // factor 4.6875
  EXPECT_EQ(sizes[10], 1687);   // 360 * 4.6875 = 1687.5
  EXPECT_EQ(sizes[37], 32);     // 7 * 4.6875 = 32.8
  EXPECT_EQ(sizes[4], 4);
}

}  // namespace
