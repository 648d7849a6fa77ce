#include "platform/gdi/dib_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

namespace {

TDib Sample(int bits) {
  TDib dib(5, 3, bits);
  for (int i = 0; i < dib.NumColors(); ++i) dib.GetColors()[i] = uint32_t(i * 0x010203);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) dib.Surface()->Set_Pixel(x, y, uint32_t(x + y * 5) % uint32_t(dib.NumColors()));
  return dib;
}

TEST(Dib_File, RoundTripsWithAndWithoutTheFileHeader) {
  for (int bits : {1, 4, 8})
    for (bool header : {false, true}) {
      const TDib dib = Sample(bits);
      const std::vector<uint8_t> bytes = TDib_File::Write(dib, header);
      const auto back = TDib_File::Read(bytes.data(), bytes.size());
      ASSERT_TRUE(back) << bits;
      EXPECT_EQ(back->BitsPixel(), bits);
      EXPECT_EQ(back->Size(), dib.Size());
      EXPECT_EQ(back->NumColors(), dib.NumColors());
      for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) EXPECT_EQ(back->Surface()->Pixel(x, y), dib.Surface()->Pixel(x, y));
      EXPECT_EQ(back->GetColors()[1], dib.GetColors()[1]);
    }
}

TEST(Dib_File, TopDownRowsAndShortTables) {
  TDib dib = Sample(8);
  std::vector<uint8_t> bytes = TDib_File::Write(dib, false);
  // Make it top-down: negative height, rows reversed.
  const int32_t minus = -3;
  std::memcpy(&bytes[8], &minus, 4);
  const size_t bits_at = 40 + 256 * 4;
  std::vector<uint8_t> rows(bytes.begin() + long(bits_at), bytes.end());
  for (int r = 0; r < 3; ++r) std::memcpy(&bytes[bits_at + size_t(r) * 8], &rows[size_t(2 - r) * 8], 8);
  auto back = TDib_File::Read(bytes.data(), bytes.size());
  ASSERT_TRUE(back);
  EXPECT_EQ(back->Surface()->Pixel(4, 2), 14u);
  // A table of 2 entries in an 8-bit picture.
  TDib small(2, 2, 8, 2);
  small.GetColors()[1] = 0xFFFFFF;
  const auto bytes2 = TDib_File::Write(small, true);
  auto back2 = TDib_File::Read(bytes2.data(), bytes2.size());
  ASSERT_TRUE(back2);
  EXPECT_EQ(back2->NumColors(), 2);
}

TEST(Dib_File, RefusesDamagedOrUnsupportedBytes) {
  const std::vector<uint8_t> good = TDib_File::Write(Sample(4), true);
  for (size_t cut = 0; cut < good.size(); ++cut) EXPECT_FALSE(TDib_File::Read(good.data(), cut)) << cut;
  auto with = [&](size_t at, uint32_t value, int bytes) {
    std::vector<uint8_t> b = good;
    for (int i = 0; i < bytes; ++i) b[at + size_t(i)] = uint8_t(value >> (8 * i));
    return TDib_File::Read(b.data(), b.size()).has_value();
  };
  EXPECT_FALSE(with(14 + 14, 24, 2));          // 24 bits per pixel
  EXPECT_FALSE(with(14 + 16, 2, 4));           // compressed
  EXPECT_FALSE(with(14 + 32, 17, 4));          // more colours than 4 bits hold
  EXPECT_FALSE(with(14 + 4, 0, 4));            // no width
  EXPECT_FALSE(with(14 + 4, 0x7FFFFFFF, 4));   // absurd width
  EXPECT_FALSE(with(10, 0xFFFFFFF0, 4));       // bits beyond the end
  EXPECT_FALSE(with(14, 0xFFFFFFFF, 4));       // header larger than the bytes
  EXPECT_FALSE(TDib_File::Read(nullptr, 100));
  std::mt19937 random(3);
  for (int i = 0; i < 2000; ++i) {
    std::vector<uint8_t> b = good;
    b[random() % b.size()] = uint8_t(random());
    TDib_File::Read(b.data(), b.size());  // must not crash
  }
}

}  // namespace
