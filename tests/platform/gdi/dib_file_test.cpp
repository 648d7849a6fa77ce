#include "platform/gdi/dib_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <tuple>

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
      EXPECT_EQ(std::tuple(back->BitsPixel(), back->Size(), back->NumColors(), back->GetColors()[1]),
                std::tuple(bits, dib.Size(), dib.NumColors(), dib.GetColors()[1]));
      for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) EXPECT_EQ(back->Surface()->Pixel(x, y), dib.Surface()->Pixel(x, y));
    }
}

// Every BMP goes through the one checked reader: a core (12-byte) header is
// read, a pixel offset inside the headers and a cut file are refused.
TEST(Dib_File, JudgesBytesAsTheBmpReaderDoes) {
  const std::vector<uint8_t> core = {12, 0, 0, 0, 3, 0, 1, 0, 1, 0, 1, 0,  // 3 x 1, 1 bit
                                     1, 2, 3, 4, 5, 6, 0xA0, 0, 0, 0};     // two colours, one row
  auto dib = TDib_File::Read(core.data(), core.size());
  ASSERT_TRUE(dib);
  EXPECT_EQ(std::pair(dib->Size(), dib->GetColors()[1]), std::pair(TSize(3, 1), 0x060504u));
  EXPECT_EQ(std::pair(dib->Surface()->Pixel(0, 0), dib->Surface()->Pixel(1, 0)), std::pair(1u, 0u));
  std::vector<uint8_t> file = TDib_File::Write(Sample(4), true);
  for (size_t cut : {size_t(13), size_t(53), file.size() - 1}) EXPECT_FALSE(TDib_File::Read(file.data(), cut)) << cut;
  file[10] = 20;  // pixels inside the info header
  file[11] = file[12] = file[13] = 0;
  EXPECT_FALSE(TDib_File::Read(file.data(), file.size()));
  EXPECT_FALSE(TDib_File::Read(nullptr, 100));
}

}  // namespace
