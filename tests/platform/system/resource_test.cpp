#include "platform/system/resource.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>

namespace {

TEST(Resource, EmbeddedRawBlockIsFoundWithItsExactBytesAndMissingOnesAreEmpty) {
  TResource probe = Find_Resource(RT_RCDATA, 1);
  ASSERT_TRUE(probe);
  const char expected[] = "Quendar resource probe\n\x00\x01\x02\xff";
  ASSERT_EQ(probe.size, sizeof expected - 1);
  EXPECT_EQ(std::memcmp(probe.data, expected, probe.size), 0);
  // The same bytes at the same place on every lookup.
  EXPECT_EQ(Find_Resource(RT_RCDATA, 1).data, probe.data);
  EXPECT_TRUE(!Find_Resource(RT_RCDATA, 65535) && Find_Resource(RT_RCDATA, 0).size == 0);
  // The id exists, but under another type.
  EXPECT_FALSE(Find_Resource(RT_ICON, 1) || Load_Bitmap_Resource(2));
}

TEST(Resource, BitmapResourceLoadsAsAPicture) {
  std::optional<TBmp_Image> image = Load_Bitmap_Resource(1);
  ASSERT_TRUE(image);
  EXPECT_EQ(std::tuple(image->width, image->height, image->bits_per_pixel), std::tuple(5, 3, 4));
  ASSERT_EQ(image->colors.size(), 16u);
  EXPECT_EQ(image->colors[3].Xrgb(), 0x30CF03u);  // red 48, green 255 - 48, blue 3
  // Pixel (x, y) from the top has index x + 5 y; rows are kept bottom-up.
  auto index = [&](int x, int y_from_top) {
    int row = image->height - 1 - y_from_top;
    uint8_t byte = image->bits[row * image->Stride() + x / 2];
    return x % 2 == 0 ? byte >> 4 : byte & 15;
  };
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) EXPECT_EQ(index(x, y), x + 5 * y) << x << "," << y;
}

}  // namespace
