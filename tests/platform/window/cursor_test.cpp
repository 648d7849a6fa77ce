// Cursors and icons read from resource data, and cursor masks.
#include "platform/window/cursor.h"

#include <gtest/gtest.h>

#include "platform/window/icon.h"

namespace {

// Little-endian values of `bytes` bytes each.
void Put(std::vector<uint8_t>& v, int bytes, std::initializer_list<uint32_t> values) {
  for (uint32_t x : values)
    for (int i = 0; i < bytes; ++i) v.push_back(uint8_t(x >> (8 * i)));
}

// A .ico or .cur file with one 1-bit image of 8 x 2 pixels: the top row's
// first pixel is white, everything else black; the mask makes the last
// column of each row transparent.
std::vector<uint8_t> One_Bit_File(uint16_t type, TPoint hotspot) {
  std::vector<uint8_t> f;
  Put(f, 2, {0, type, 1});
  Put(f, 1, {8, 2, 2, 0});
  Put(f, 2, {uint16_t(hotspot.x), uint16_t(hotspot.y)});
  Put(f, 4, {40 + 8 + 2 * 4 + 2 * 4, 22});  // image size and place
  Put(f, 4, {40, 8, 4});                    // header: 8 wide, 4 rows for both masks
  Put(f, 2, {1, 1});
  Put(f, 4, {0, 0, 0, 0, 0, 0});
  Put(f, 4, {0x000000, 0xFFFFFF});  // colours 0 black and 1 white
  Put(f, 4, {0x00, 0x80});          // colour (XOR) bits, bottom row first, rows of 4 bytes
  Put(f, 4, {0x01, 0x01});          // AND mask, bottom row first
  return f;
}

}  // namespace

TEST(Cursor_Resource, A_Cursor_File_Gives_Its_Masks_And_Hotspot) {
  auto data = One_Bit_File(2, {3, 1});
  auto cursor = TCursor::From_Resource(data.data(), data.size());
  ASSERT_TRUE(cursor);
  const TCursor_Image& image = cursor->Image();
  EXPECT_EQ(std::tuple(image.width, image.height, image.hotspot), std::tuple(8, 2, TPoint(3, 1)));
  EXPECT_EQ((std::vector<bool>{image.Xor_Bit(0, 0), image.Xor_Bit(0, 1), image.And_Bit(7, 0), image.And_Bit(6, 1)}),
            (std::vector<bool>{true, false, true, false}));
  // Drawn over pixels: white, black, and the screen left alone where
  // transparent.
  std::vector<uint32_t> pixels(8 * 2, 0x123456);
  image.Draw_Over(pixels.data(), 8, 2, 8, {3, 1});
  EXPECT_EQ((std::vector<uint32_t>{pixels[0], pixels[8], pixels[7]}), (std::vector<uint32_t>{0xFFFFFF, 0x000000, 0x123456}));
}

TEST(Cursor_Resource, Truncated_Or_Foreign_Data_Is_Refused) {
  auto data = One_Bit_File(2, {0, 0});
  for (size_t cut : {size_t(0), size_t(5), size_t(21), size_t(40), data.size() - 1})
    EXPECT_FALSE(TCursor::From_Resource(data.data(), cut)) << cut;
  auto icon = One_Bit_File(1, {0, 0});
  EXPECT_FALSE(TCursor::From_Resource(icon.data(), icon.size()));  // an icon, not a cursor
  EXPECT_FALSE(TIcon::From_Resource(data.data(), data.size()));
  for (size_t cut : {size_t(6), size_t(30), icon.size() - 1}) EXPECT_FALSE(TIcon::From_Resource(icon.data(), cut));
}

TEST(Icon_Resource, An_Icon_Becomes_Argb_With_Its_Mask_As_Transparency) {
  auto data = One_Bit_File(1, {0, 0});
  auto icon = TIcon::From_Resource(data.data(), data.size());
  ASSERT_TRUE(icon);
  EXPECT_EQ(icon->Size(), TSize(8, 2));
  EXPECT_EQ((std::vector<uint32_t>{icon->Argb()[0], icon->Argb()[1], icon->Argb()[7] >> 24}),
            (std::vector<uint32_t>{0xFFFFFFFF, 0xFF000000, 0}));
}
