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
      // Wide screens see the 4:3 screen of their height.
      {1920, 1080, 1280, 960, 720, 640, 480},    {1440, 900, 1024, 768, 576, 1024, 768},
      {1280, 800, 1024, 768, 576, 1024, 768},    {1366, 768, 1024, 768, 576, 1024, 768},
      {2560, 1440, 1600, 1200, 912, 800, 600},   {3840, 2160, 2880, 2160, 1620, 640, 480},  // column 0 times 4.5
      // Between 1025 and 1279 the largest column stands unscaled.
      {1152, 864, 1024, 768, 576, 1024, 768},    {1279, 1024, 1024, 768, 576, 1024, 768},
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

TEST(GUI_Sizes, Scaled_Sizes_Truncate) {
  GUI_Sizes sizes(3000, 2250);  // factor 4.6875
  EXPECT_EQ(sizes[10], 1687);   // 360 * 4.6875 = 1687.5
  EXPECT_EQ(sizes[37], 32);     // 7 * 4.6875 = 32.8
  EXPECT_EQ(sizes[4], 4);
}

}  // namespace
