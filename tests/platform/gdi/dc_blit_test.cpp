#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "platform/gdi/dc.h"
#include "platform/gdi/dib_dc.h"
#include "platform/gdi/memory_dc.h"
#include "tests/platform/gdi/dc_canvas.h"

namespace {

struct TGeneric_Ops {
  explicit TGeneric_Ops(bool on) { TDC::Use_Generic_Raster_Ops_For_Tests(on); }
  ~TGeneric_Ops() { TDC::Use_Generic_Raster_Ops_For_Tests(false); }
};

TDib Table_Dib(int w, int h) {
  TDib dib(w, h, 8, 4);
  const uint32_t table[] = {0x000000, 0xFF0000, 0x00FF00, 0xFFFFFF};
  dib.SetColorTable(0, 4, table);
  return dib;
}

TEST(DC_Blit, EveryNamedRopOnItsTruthTable) {
  // Pattern 0xF0, source 0xCC, destination 0xAA in each colour byte: the
  // result byte is the operation's truth table.
  const uint32_t rops[] = {SRCCOPY, SRCPAINT, SRCAND, SRCINVERT, SRCERASE, NOTSRCCOPY, NOTSRCERASE, MERGECOPY,
                           MERGEPAINT, PATCOPY, PATPAINT, PATINVERT, DSTINVERT, BLACKNESS, WHITENESS,
                           0x00B80074 /* a ROP without a name here */};
  for (bool generic : {false, true}) {
    TGeneric_Ops mode(generic);
    for (uint32_t rop : rops) {
      TCanvas src(2, 1, TColor(0xCC, 0xCC, 0xCC));
      TCanvas dst(2, 1, TColor(0xAA, 0xAA, 0xAA));
      dst.dc.SelectObject(TBrush(TColor(0xF0, 0xF0, 0xF0)));
      EXPECT_TRUE(dst.dc.BitBlt(0, 0, 2, 1, src.dc, 0, 0, rop));
      const uint32_t t = Rop3_Table(rop);
      EXPECT_EQ(dst.At(1, 0), t << 16 | t << 8 | t) << std::hex << rop << " generic " << generic;
    }
  }
}

TEST(DC_Blit, FastPathsMatchTheGenericPathOnRandomPictures) {
  std::mt19937 random(7);
  auto picture = [&](int bits) {
    auto s = std::make_shared<TSurface>(13, 9, bits, bits != 32, 4);
    if (bits != 32) s->Colors() = {0x000000, 0xFF0000, 0x00FF00, 0xFFFFFF};
    for (int y = 0; y < 9; ++y)
      for (int x = 0; x < 13; ++x) s->Set_Pixel(x, y, bits == 32 ? random() & 0xFFFFFF : random() % 4);
    return s;
  };
  for (int src_bits : {8, 32})
    for (int dst_bits : {8, 32})
      for (uint32_t rop : {SRCCOPY, SRCPAINT, SRCAND, SRCINVERT, SRCERASE, NOTSRCCOPY, MERGEPAINT, MERGECOPY,
                           uint32_t(0x00E20746), uint32_t(0x001C0000)}) {
        auto src = picture(src_bits), dst = picture(dst_bits);
        std::vector<uint32_t> results[2];  // fast, generic
        for (bool generic : {false, true}) {
          TGeneric_Ops mode(generic);
          auto target = std::make_shared<TSurface>(*dst);
          TDC d(std::make_shared<TDevice_Binding>(target, nullptr)), s(std::make_shared<TDevice_Binding>(src, nullptr));
          d.SelectObject(TBrush(TColor(0x30, 0xC0, 0x0F)));
          d.SetStretchBltMode(COLORONCOLOR);
          d.BitBlt(1, 1, 10, 7, s, 2, 1, rop);
          d.StretchBlt(0, 0, 13, 3, s, 0, 0, 6, 9, rop);
          for (int y = 0; y < 9; ++y)
            for (int x = 0; x < 13; ++x) results[generic].push_back(target->Pixel(x, y));
        }
        ASSERT_EQ(results[0], results[1]) << std::hex << rop << " " << std::dec << src_bits << "->" << dst_bits;
      }
}

TEST(DC_Blit, ClipsAgainstBothSurfacesAndNegativePositions) {
  TCanvas src(4, 4, TColor::Black);
  TCanvas dst(6, 6);
  dst.dc.BitBlt(-2, -1, 4, 4, src.dc, 0, 0);  // only 2 x 3 lands
  dst.dc.BitBlt(4, 4, 4, 4, src.dc, 2, 2);    // source runs out after 2 x 2
  EXPECT_EQ(dst.Picture(), Rows({"##....", "##....", "##....", "......", "....##", "....##"}));
  // A source rectangle starting outside the source copies only what exists.
  TCanvas d2(4, 1);
  d2.dc.BitBlt(0, 0, 4, 1, src.dc, -2, 0);
  EXPECT_EQ(d2.Picture(), Rows({"..##"}));
}

TEST(DC_Blit, DepthConversionsAndATransparentSprite) {
  // 8 -> 32 through the table.
  TDib dib = Table_Dib(4, 1);
  for (int x = 0; x < 4; ++x) dib.Surface()->Set_Pixel(x, 0, uint32_t(x));
  TDibDC dib_dc(dib);
  TCanvas rgb(4, 1);
  rgb.dc.BitBlt(0, 0, 4, 1, dib_dc, 0, 0);
  EXPECT_EQ(rgb.Pixels(), (TPixels{0, 0xFF0000, 0x00FF00, 0xFFFFFF}));
  // 32 -> 8 to the nearest entry.
  int x = 0;
  for (TColor colour : {TColor(250, 10, 10), TColor(10, 200, 0), TColor(100, 100, 100)}) rgb.dc.SetPixel(x++, 0, colour);
  TDib back = Table_Dib(4, 1);
  TDibDC back_dc(back);
  back_dc.BitBlt(0, 0, 4, 1, rgb.dc, 0, 0);
  EXPECT_EQ(Pixels_At(*back.Surface(), {{0, 0}, {1, 0}, {2, 0}, {3, 0}}), (TPixels{1, 2, 0, 3}));
  // 8 -> 8 with another table maps colours; with an equal one copies indices.
  TDib other(4, 1, 8, 3);
  const uint32_t t2[] = {0xFFFFFF, 0x00FF00, 0xFF0000};
  other.SetColorTable(0, 3, t2);
  TDibDC other_dc(other);
  other_dc.BitBlt(0, 0, 4, 1, dib_dc, 0, 0);
  // black: green and red tie, the lower index wins
  EXPECT_EQ(Pixels_At(*other.Surface(), {{0, 0}, {1, 0}, {3, 0}}), (TPixels{1, 2, 0}));
  // Mono -> colour: 0 bits in the text colour, 1 bits in the background colour.
  const uint8_t bits[] = {0x50, 0};  // 0101 over 4 pixels
  TBitmap mono(4, 1, 1, 1, bits);
  TMemoryDC mono_dc(mono);
  TCanvas out(4, 1);
  out.dc.SetTextColor(TColor(0, 0, 255));
  out.dc.SetBkColor(TColor(255, 255, 0));
  out.dc.BitBlt(0, 0, 4, 1, mono_dc, 0, 0);
  EXPECT_EQ(out.Pixels(), (TPixels{0x0000FF, 0xFFFF00, 0x0000FF, 0xFFFF00}));
  // Colour -> mono: 1 where the source has the source's background colour.
  TBitmap mask(4, 1, 1, 1, nullptr);
  TMemoryDC mask_dc(mask);
  out.dc.SetBkColor(TColor(0, 0, 255));
  mask_dc.BitBlt(0, 0, 4, 1, out.dc, 0, 0);
  EXPECT_EQ(Pixels_At(*mask.Surface(), {{0, 0}, {1, 0}, {2, 0}}), (TPixels{1, 0, 1}));
  // A mask then the picture make a transparent sprite.
  TCanvas scene(3, 1, TColor(0, 128, 0));
  const uint8_t mask_bits[] = {0x40, 0};  // 010: only the middle pixel is see-through
  TBitmap see_through(3, 1, 1, 1, mask_bits);
  TMemoryDC see_through_dc(see_through);
  TCanvas picture(3, 1, TColor(200, 0, 0));
  picture.dc.SetPixel(1, 0, TColor::Black);
  scene.dc.BitBlt(0, 0, 3, 1, see_through_dc, 0, 0, SRCAND);
  scene.dc.BitBlt(0, 0, 3, 1, picture.dc, 0, 0, SRCPAINT);
  EXPECT_EQ(scene.Pixels(), (TPixels{0xC80000, 0x008000, 0xC80000}));
}

TEST(DC_Stretch, EnlargingRepeatsAndShrinkingDropsOrCombines) {
  TCanvas src(2, 2);
  src.dc.SetPixel(0, 0, TColor::Black);
  src.dc.SetPixel(1, 1, TColor(255, 0, 0));
  TCanvas big(4, 4);
  big.dc.StretchBlt(0, 0, 4, 4, src.dc, 0, 0, 2, 2);
  const uint32_t K = 0, W = 0xFFFFFF, R = 0xFF0000;
  EXPECT_EQ(big.Pixels(), (TPixels{K, K, W, W, K, K, W, W, W, W, R, R, W, W, R, R}));

  TCanvas stripes(4, 1);
  stripes.dc.SetPixel(1, 0, TColor::Black);
  stripes.dc.SetPixel(3, 0, TColor::Black);
  TCanvas keep(2, 1), drop(2, 1);
  keep.dc.SetStretchBltMode(BLACKONWHITE);
  keep.dc.StretchBlt(0, 0, 2, 1, stripes.dc, 0, 0, 4, 1);
  drop.dc.SetStretchBltMode(COLORONCOLOR);
  drop.dc.StretchBlt(0, 0, 2, 1, stripes.dc, 0, 0, 4, 1);
  EXPECT_EQ(keep.Picture(), Rows({"##"}));  // black survives the AND
  EXPECT_EQ(drop.Picture(), Rows({".."}));  // every other column dropped
  // A negative width mirrors.
  TCanvas mirrored(4, 1);
  mirrored.dc.StretchBlt(4, 0, -4, 1, stripes.dc, 0, 0, 4, 1);  // the box from x 4 back to 0
  EXPECT_EQ(mirrored.Picture(), Rows({"#.#."}));
}

TEST(DC_Stretch, DibBitsStraightToAContextInTheirOwnColours) {
  TDib dib = Table_Dib(2, 2);
  dib.Surface()->Set_Pixel(0, 0, 1);  // top-left red
  TCanvas c(4, 4);
  c.dc.StretchDIBits(TRect(0, 0, 4, 4), TRect(0, 0, 2, 2), dib);
  c.dc.SetDIBitsToDevice(TRect(2, 0, 4, 2), TPoint(0, 0), dib);
  EXPECT_EQ(c.At({{1, 1}, {2, 2}, {2, 0}}), (TPixels{0xFF0000, 0, 0xFF0000}));
  // Source rows count up from the DIB's bottom row: rows (top first) black,
  // red, green, white.
  TDib rows = Table_Dib(1, 4);
  for (int y = 0; y < 4; ++y) rows.Surface()->Set_Pixel(0, y, uint32_t(y));
  TCanvas part(3, 2);
  part.dc.SetDIBitsToDevice(TRect(0, 0, 1, 1), TPoint(0, 0), rows);  // the bottom row
  part.dc.StretchDIBits(TRect(1, 0, 2, 2), TRect(0, 1, 1, 3), rows);  // the middle two
  part.dc.StretchDIBits(TRect(2, 0, 3, 2), TRect(0, 3, 1, 1), rows);  // the same upside down
  EXPECT_EQ(part.Pixels(), (TPixels{0xFFFFFF, 0xFF0000, 0x00FF00, 0xFFFFFF, 0x00FF00, 0xFF0000}));
  // DIB bits are drawn in the DIB's own colours, two-colour DIBs too; the context's text and background colours are for monochrome bitmaps only.
  TDib mono(2, 1, 1);
  const uint32_t red_blue[] = {0xFF0000, 0x0000FF};
  mono.SetColorTable(0, 2, red_blue);
  mono.Surface()->Set_Pixel(1, 0, 1);
  TCanvas coloured(4, 1);
  coloured.dc.SetDIBitsToDevice(TRect(0, 0, 2, 1), TPoint(0, 0), mono);
  coloured.dc.StretchDIBits(TRect(2, 0, 4, 1), TRect(0, 0, 2, 1), mono);
  EXPECT_EQ(coloured.Pixels(), (TPixels{0xFF0000, 0x0000FF, 0xFF0000, 0x0000FF}));
  // A monochrome bitmap still takes the text and background colours.
  const uint8_t bits[] = {0x40, 0};
  TBitmap bitmap(2, 1, 1, 1, bits);
  TMemoryDC source(bitmap);
  coloured.dc.SetTextColor(TColor(0, 255, 0));
  coloured.dc.BitBlt(0, 0, 2, 1, source, 0, 0);
  EXPECT_EQ(coloured.At({{0, 0}, {1, 0}}), (TPixels{0x00FF00, 0xFFFFFF}));
}

TEST(DC_PatBlt, PatternAndHatchBrushesFollowTheBrushOrigin) {
  const uint8_t checker[] = {0xAA, 0, 0x55, 0, 0xAA, 0, 0x55, 0, 0xAA, 0, 0x55, 0, 0xAA, 0, 0x55, 0};
  TBitmap bits(8, 8, 1, 1, checker);
  TCanvas c(4, 2);
  c.dc.SelectObject(TBrush(bits));
  c.dc.PatBlt(0, 0, 4, 2, PATCOPY);
  // 1 bits take the background colour (white), 0 bits the text colour (black).
  EXPECT_EQ(c.Picture(), Rows({".#.#", "#.#."}));
  c.dc.SetBrushOrg(TPoint(1, 0));
  c.dc.PatBlt(0, 0, 4, 2, PATCOPY);
  EXPECT_EQ(c.Picture(), Rows({"#.#.", ".#.#"}));
  // A hatch leaves its gaps alone in transparent mode.
  TCanvas h(8, 8, TColor(0, 0, 255));
  h.dc.SetBkMode(TRANSPARENT);
  h.dc.SelectObject(TBrush(TColor::Black, HS_FDIAGONAL));
  h.dc.PatBlt(0, 0, 8, 8);
  EXPECT_EQ(std::tuple(h.Count(0), h.At(3, 3), h.Count(0x0000FF)), std::tuple(8, 0u, 56));
  EXPECT_FALSE(h.dc.PatBlt(0, 0, 8, 8, SRCCOPY));  // PatBlt has no source
  // A one-bit DIB pattern keeps its own colours.
  TDib two(2, 1, 1);
  two.SetColor(0, TColor(255, 0, 0));
  two.SetColor(1, TColor(0, 255, 0));
  two.Surface()->Set_Pixel(1, 0, 1);
  TCanvas d(2, 1);
  d.dc.SelectObject(TBrush(two));
  d.dc.PatBlt(0, 0, 2, 1);
  EXPECT_EQ(d.Pixels(), (TPixels{0xFF0000, 0x00FF00}));
}

TEST(DC_Blit, OverlappingCopyWithinOneSurfaceScrollsAndFlippedMappingMirrors) {
  TCanvas c(4, 4);
  for (int y = 0; y < 4; ++y) c.dc.SetPixel(1, y, TColor(uint8_t(y * 40), 0, 0));
  c.dc.BitBlt(0, 1, 4, 3, c.dc, 0, 0);  // down by one row
  for (int y = 1; y < 4; ++y) EXPECT_EQ(c.At(1, y), uint32_t((y - 1) * 40) << 16) << y;
  c.dc.BitBlt(1, 0, 3, 4, c.dc, 0, 0);  // right by one column
  EXPECT_EQ(c.At({{2, 2}, {1, 2}}), (TPixels{40u << 16, 0xFFFFFF}));
  // A flipped mapping mirrors the copy.
  TCanvas src(3, 1);
  src.dc.SetPixel(0, 0, TColor::Black);
  TCanvas dst(3, 1);
  dst.dc.SetMapMode(MM_ANISOTROPIC);
  dst.dc.SetWindowExt(TSize(1, 1));
  dst.dc.SetViewportExt(TSize(-1, 1));
  dst.dc.SetViewportOrg(TPoint(3, 0));
  dst.dc.BitBlt(0, 0, 3, 1, src.dc, 0, 0);
  EXPECT_EQ(dst.Picture(), Rows({"..#"}));
}

TEST(DC_Sizes, NothingBreaksOnEmptySurfacesAndSizes) {
  for (auto [w, h] : {std::pair{0, 0}, {0, 5}, {5, 0}}) {
    TBitmap empty(w, h);
    TMemoryDC dc(empty);
    TCanvas other(4, 4);
    const TPoint p[] = {{0, 0}, {3, 3}, {0, 3}};
    dc.SelectObject(TPen(TColor::Black, 3, PS_DOT));
    EXPECT_TRUE(dc.Rectangle(0, 0, 4, 4));
    dc.Ellipse(0, 0, 4, 4);
    dc.Polygon(p, 3);
    dc.LineTo(3, 3);
    dc.BitBlt(0, 0, 4, 4, other.dc, 0, 0);
    other.dc.BitBlt(0, 0, 4, 4, dc, 0, 0);
    other.dc.StretchBlt(0, 0, 4, 4, dc, 0, 0, 0, 0);
    dc.TextOut(0, 0, "x");
    EXPECT_FALSE(dc.ExtFloodFill(TPoint(0, 0), TColor::Black, FLOODFILLSURFACE));
    EXPECT_EQ(std::pair(dc.GetPixel(0, 0).Value(), dc.GetClipBox()), std::pair(CLR_INVALID, TRect()));
    EXPECT_EQ(other.Count(0xFFFFFF), 16);
  }
  TCanvas c(4, 4);
  c.dc.BitBlt(0, 0, 0, 4, c.dc, 0, 0);
  c.dc.StretchBlt(0, 0, 4, 4, c.dc, 0, 0, 0, 3);
  c.dc.PatBlt(2, 2, -2, -2, BLACKNESS);  // a box given backwards is the same box
  EXPECT_EQ(c.Count(0), 4);
}

TEST(DC_Depths, FourAndOneBitPicturesDrawAndConvert) {
  TDib four(5, 3, 4);
  for (int i = 0; i < 16; ++i) four.SetColor(i, TColor(i * 17, 0, 0));
  TDibDC dc(four);
  dc.SelectObject(TBrush(TColor(34, 0, 0)));  // entry 2
  dc.SelectObject(TPen(TColor(255, 0, 0)));    // entry 15
  dc.Rectangle(0, 0, 5, 3);
  EXPECT_EQ(Pixels_At(*four.Surface(), {{0, 0}, {2, 1}}), (TPixels{15, 2}));
  EXPECT_EQ(four.GetBits()[0], 0xFF);  // bottom row: pen all along
  TCanvas out(5, 3);
  out.dc.BitBlt(0, 0, 5, 3, dc, 0, 0);
  EXPECT_EQ(out.At({{2, 1}, {4, 2}}), (TPixels{0x220000, 0xFF0000}));

  TDib mono(9, 2, 1);
  TDibDC mono_dc(mono);
  mono_dc.SelectStockObject(WHITE_BRUSH);
  mono_dc.SelectStockObject(NULL_PEN);
  mono_dc.PatBlt(0, 0, 9, 2);
  mono_dc.SetPixel(8, 0, TColor(20, 20, 20));  // nearest to black
  EXPECT_EQ(Pixels_At(*mono.Surface(), {{8, 0}, {7, 0}}), (TPixels{0, 1}));
  mono_dc.SelectStockObject(BLACK_PEN);
  mono_dc.SetROP2(R2_NOT);
  mono_dc.MoveTo(0, 1);
  mono_dc.LineTo(9, 1);
  EXPECT_EQ(mono.Surface()->Pixel(3, 1), 0u);
}

}  // namespace
