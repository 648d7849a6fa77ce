#include "platform/system/bmp_image.h"

#include <gtest/gtest.h>

#include <cstring>
#include <tuple>
#include <vector>

namespace {

// Little-endian values of `bytes` bytes each.
void Put(std::vector<uint8_t>& out, int bytes, std::initializer_list<uint32_t> values) {
  for (uint32_t v : values)
    for (int i = 0; i < bytes; ++i) out.push_back((v >> (8 * i)) & 255);
}

// A BMP image of the given shape; colour i is (i, i, i), pixel bytes count up.
std::vector<uint8_t> Make_Bmp(int32_t width, int32_t height, uint16_t bits, uint32_t colors_used,
                              bool file_header = true) {
  uint32_t table = colors_used ? colors_used : 1u << bits;
  uint32_t stride = (static_cast<uint32_t>(width < 0 ? -width : width) * bits + 31) / 32 * 4;
  uint32_t rows = static_cast<uint32_t>(height < 0 ? -height : height);
  std::vector<uint8_t> out;
  if (file_header) {
    out = {'B', 'M'};
    Put(out, 4, {14 + 40 + table * 4 + stride * rows, 0, 14 + 40 + table * 4});
  }
  Put(out, 4, {40, static_cast<uint32_t>(width), static_cast<uint32_t>(height)});
  Put(out, 2, {1, bits});
  Put(out, 4, {0, stride * rows, 2835, 2835, colors_used, 0});
  for (uint32_t i = 0; i < table; ++i) {
    uint8_t c = static_cast<uint8_t>(i);
    out.insert(out.end(), {c, c, c, 0});
  }
  for (uint32_t i = 0; i < stride * rows; ++i) out.push_back(static_cast<uint8_t>(i));
  return out;
}

TEST(Bmp_Image, ReadsEachDepthTopDownRowsShortTablesAndCoreHeaders) {
  for (uint16_t bits : {1, 4, 8}) {
    for (bool header : {true, false}) {
      auto bytes = Make_Bmp(13, 7, bits, 0, header);
      auto image = Parse_Bmp(bytes.data(), bytes.size());
      ASSERT_TRUE(image) << bits << header;
      // Rows of 13 pixels take 4, 8 or 16 bytes.
      EXPECT_EQ(std::tuple(image->width, image->height, image->colors.size(), image->Stride()),
                std::tuple(13, 7, size_t(1) << bits, bits == 1 ? 4u : bits == 4 ? 8u : 16u));
      ASSERT_EQ(image->bits.size(), image->Stride() * 7);
      EXPECT_EQ(image->bits[5], 5);
    }
  }
  // A short colour table and top-down rows.
  auto bytes = Make_Bmp(4, -2, 8, 3);
  auto image = Parse_Bmp(bytes.data(), bytes.size());
  ASSERT_TRUE(image);
  EXPECT_EQ(std::tuple(image->colors.size(), image->colors[2].red, image->height), std::tuple(3u, 2, 2));
  // The first stored row was the top one: it becomes the last row kept.
  EXPECT_EQ(std::tuple(image->bits[4], image->bits[0]), std::tuple(0, 4));
  // A core header with three-byte colours.
  std::vector<uint8_t> core;
  Put(core, 4, {12});
  Put(core, 2, {3, 1, 1, 1});                     // 3 x 1 pixels, one plane, one bit
  Put(core, 1, {1, 2, 3, 4, 5, 6});               // two colours, blue green red
  Put(core, 4, {0xA0});                           // one row: 101 and padding
  auto core_image = Parse_Bmp(core.data(), core.size());
  ASSERT_TRUE(core_image);
  EXPECT_EQ(std::tuple(core_image->colors[1].blue, core_image->colors[1].red, core_image->bits[0]), std::tuple(4, 6, 0xA0));
}

TEST(Bmp_Image, EveryTruncationAndBadFieldIsRefused) {
  auto bytes = Make_Bmp(9, 5, 4, 0);
  for (size_t size = 0; size < bytes.size(); ++size)
    EXPECT_FALSE(Parse_Bmp(bytes.data(), size)) << size;
  EXPECT_TRUE(Parse_Bmp(bytes.data(), bytes.size()));
  EXPECT_FALSE(Parse_Bmp(nullptr, 100));
  // The good image with a 16- or 32-bit field at `at` replaced.
  auto patch = [](std::vector<uint8_t> bytes, size_t at, auto v) {
    std::memcpy(bytes.data() + at, &v, sizeof v);
    return bytes;
  };
  const auto good = Make_Bmp(8, 8, 8, 0);
  const std::vector<std::vector<uint8_t>> bad = {
      patch(good, 14 + 14, uint16_t(24)),  // 24 bits per pixel
      patch(good, 14 + 12, uint16_t(2)),   // two planes
      patch(good, 14 + 16, 1u),            // run-length compressed
      patch(good, 14 + 4, 0u),             // no width
      patch(good, 14 + 8, 0u),             // no height
      patch(good, 14 + 4, 0x7FFFFFFFu),    // absurd width
      patch(good, 14 + 8, 0x80000000u),    // most negative height
      patch(good, 14 + 32, 257u),          // more colours than the depth allows
      patch(good, 14, 39u),                // unknown header size
      patch(good, 14, 0xFFFFFFF0u),        // header larger than the data
      patch(good, 10, 0xFFFFFFF0u),        // bits far beyond the data
      patch(good, 10, 20u),                // bits inside the header
  };
  for (size_t i = 0; i < bad.size(); ++i) EXPECT_FALSE(Parse_Bmp(bad[i].data(), bad[i].size())) << i;
}

}  // namespace
