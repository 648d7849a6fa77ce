#include "platform/gdi/surface.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "platform/gdi/bitmap.h"
#include "platform/gdi/dib.h"
#include "platform/gdi/dibitmap.h"

namespace {

TEST(Dib, BottomUpLayoutStrideAndColourTable) {
  TDib dib(5, 3);
  EXPECT_EQ(std::tuple(dib.Pitch(), dib.SizeImage(), dib.NumColors()), std::tuple(8L, 24u, 256));
  // Buffer pixel (x, y) is byte y * stride + x counted from the bottom, so
  // the device context's top row is the last row in memory.
  dib.Surface()->Set_Pixel(1, 0, 7);
  EXPECT_EQ(dib.GetBits()[2 * 8 + 1], 7);
  dib.GetBits()[0 * 8 + 4] = 9;
  EXPECT_EQ(dib.Surface()->Pixel(4, 2), 9u);

  TDib four(3, 1, 4);
  EXPECT_EQ(std::pair(four.Pitch(), four.NumColors()), std::pair(4L, 16));
  four.Surface()->Set_Pixel(0, 0, 0xA);
  four.Surface()->Set_Pixel(1, 0, 0x5);
  EXPECT_EQ(four.GetBits()[0], 0xA5);

  TDib mono(33, 2, 1);
  EXPECT_EQ(std::pair(mono.Pitch(), mono.GetColor(1)), std::pair(8L, TColor::White));
  mono.Surface()->Set_Pixel(32, 1, 1);
  EXPECT_EQ(mono.GetBits()[4], 0x80);
  // The colour table and lookup.
  TDib table_dib(4, 4);
  const uint32_t table[3] = {0x112233, 0x445566, 0x112233};
  EXPECT_EQ(table_dib.SetColorTable(10, 3, table), 3);
  EXPECT_EQ(table_dib.SetColorTable(255, 3, table), 1);  // only what fits
  EXPECT_EQ(std::pair(table_dib.GetColor(10), table_dib.GetColors()[11]), std::pair(TColor(0x11, 0x22, 0x33), 0x445566u));
  EXPECT_EQ(std::tuple(table_dib.FindColor(TColor(0x11, 0x22, 0x33)), table_dib.FindColor(TColor(0x44, 0x55, 0x66)),
                       table_dib.FindColor(TColor(1, 1, 1))), std::tuple(10, 11, -1));
  EXPECT_EQ(table_dib.GetColor(300), TColor::Black);
  table_dib.SetColor(0, TColor(1, 2, 3));
  EXPECT_EQ(table_dib.Surface()->Pixel_Xrgb(0, 0), 0x010203u);
}

TEST(Dib, CopiesOwnPixelsDiBitmapSharesAndBadSizesHoldNoPixels) {
  TDib a(4, 4);
  a.GetBits()[0] = 1;
  TDib b = a;
  b.GetBits()[0] = 2;
  EXPECT_EQ(a.GetBits()[0], 1);

  TDiBitmap both(6, 2);
  EXPECT_EQ(both.TDib::Surface(), both.TBitmap::Surface());
  TDiBitmap copy = both;
  EXPECT_TRUE(copy.TDib::Surface() != both.TDib::Surface() && copy.TDib::Surface() == copy.TBitmap::Surface());
  // Empty and huge sizes hold no pixels.
  for (auto [w, h] : {std::pair{0, 5}, {5, 0}, {-3, 4}, {4, -3}, {200000, 200000}}) {
    TDib dib(w, h);
    EXPECT_FALSE(dib.IsOK() || TBitmap(w, h).IsOK()) << w << "x" << h;
    EXPECT_EQ(dib.Width(), 0);
  }
}

TEST(Bitmap, CompatibleAndMonochrome) {
  TBitmap colour(3, 2);
  EXPECT_EQ(std::pair(colour.BitsPixel(), colour.Surface()->Bottom_Up()), std::pair(32, false));
  colour.Surface()->Set_Pixel(2, 1, 0xFF123456);
  EXPECT_EQ(colour.Surface()->Pixel(2, 1), 0x123456u);

  const uint8_t rows[] = {0xA0, 0x00, 0x40, 0xFF};  // 16-bit rows
  TBitmap mono(3, 2, 1, 1, rows);
  EXPECT_EQ(mono.BitsPixel(), 1);
  const TSurface& m = *mono.Surface();
  EXPECT_EQ((std::vector<uint32_t>{m.Pixel(0, 0), m.Pixel(1, 0), m.Pixel(2, 0), m.Pixel(0, 1), m.Pixel(1, 1)}),
            (std::vector<uint32_t>{1, 0, 1, 0, 1}));

  TBitmap copy = colour;
  copy.Surface()->Set_Pixel(0, 0, 5);
  EXPECT_EQ(colour.Surface()->Pixel(0, 0), 0u);
}

}  // namespace
