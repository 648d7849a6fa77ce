#include <gtest/gtest.h>

#include "platform/gdi/dc.h"
#include "platform/gdi/dib_dc.h"
#include "tests/platform/gdi/dc_canvas.h"

namespace {

TEST(DC_Flood, SurfaceFillTakesTheFourConnectedAreaAndBorderFillStopsAtTheBorder) {
  TCanvas c(6, 4);
  c.dc.SelectStockObject(NULL_BRUSH);
  c.dc.Rectangle(0, 0, 4, 4);  // a black ring around a 2 x 2 hole
  c.dc.SelectObject(TBrush(TColor(255, 0, 0)));
  EXPECT_TRUE(c.dc.ExtFloodFill(TPoint(1, 1), TColor::White, FLOODFILLSURFACE));
  EXPECT_EQ(c.Count(0xFF0000), 4);
  EXPECT_EQ(c.At(5, 0), 0xFFFFFFu);  // outside the ring: not connected
  // A seed not of the surface colour, or outside the surface, paints nothing.
  for (TPoint seed : {TPoint(0, 0), TPoint(9, 9)}) EXPECT_FALSE(c.dc.ExtFloodFill(seed, TColor::White, FLOODFILLSURFACE));
  // A border fill stops at the border colour and honours the clip.
  TCanvas ring(8, 8);
  ring.dc.SelectStockObject(NULL_BRUSH);
  ring.dc.SelectObject(TPen(TColor(0, 0, 255)));
  ring.dc.Ellipse(0, 0, 8, 8);
  ring.dc.SelectStockObject(BLACK_BRUSH);
  EXPECT_FALSE(ring.dc.FloodFill(TPoint(0, 3), TColor(0, 0, 255)));  // on the border
  ring.dc.IntersectClipRect(TRect(0, 0, 8, 4));
  EXPECT_TRUE(ring.dc.FloodFill(TPoint(4, 2), TColor(0, 0, 255)));
  // inside; clipped away; outside the border
  EXPECT_EQ(ring.At({{4, 3}, {4, 4}, {0, 0}}), (TPixels{0, 0xFFFFFF, 0xFFFFFF}));
}

TEST(DC_Flood, FillingWithTheSurfaceColourEndsAtOnce) {
  TDib dib(300, 300, 8, 2);
  const uint32_t table[] = {0x000000, 0xFFFFFF};
  dib.SetColorTable(0, 2, table);
  TDibDC dc(dib);
  dc.SelectObject(TBrush(TColor::Black));
  // The whole picture is black already: this must return, changing nothing.
  EXPECT_TRUE(dc.ExtFloodFill(TPoint(10, 10), TColor::Black, FLOODFILLSURFACE));
  for (long i = 0; i < dib.Pitch() * 300; ++i) ASSERT_EQ(dib.GetBits()[i], 0);
  // A near colour stands for the nearest entry, as drawing does.
  dc.SelectObject(TBrush(TColor::White));
  EXPECT_TRUE(dc.ExtFloodFill(TPoint(0, 0), TColor(20, 20, 20), FLOODFILLSURFACE));
  EXPECT_EQ(dib.GetBits()[0] + dib.GetBits()[299 * dib.Pitch() + 299], 1 + 1);
}

// Pixels outside the clip bound the area: a fill never runs under a clipped
// part to reach pixels beyond it, in either mode.
TEST(DC_Flood, TheFillDoesNotPassUnderAClippedPart) {
  for (auto [seed, colour, mode, row] : {std::tuple{TPoint(0, 0), TColor::White, FLOODFILLSURFACE, "###......."},
                                        {TPoint(9, 1), TColor(0, 0, 255), FLOODFILLBORDER, ".....#####"}}) {
    TCanvas c(10, 2);
    c.dc.SelectStockObject(BLACK_BRUSH);
    c.dc.ExcludeClipRect(TRect(3, 0, 5, 2));
    EXPECT_TRUE(c.dc.ExtFloodFill(seed, colour, mode));
    EXPECT_EQ(c.Picture(), Rows({row, row}));
  }
}

TEST(DC_Rects, FillFrameInvertAndFocus) {
  TCanvas c(6, 5);
  c.dc.SetROP2(R2_XORPEN);  // FillRect ignores the mix mode
  c.dc.FillRect(TRect(1, 1, 3, 3), TBrush(TColor::Black));
  c.dc.FrameRect(TRect(2, 0, 6, 5), TBrush(TColor::Black));
  const std::string drawn = Rows({"..####", ".##..#", ".##..#", "..#..#", "..####"});
  EXPECT_EQ(c.Picture(), drawn);
  c.dc.InvertRect(TRect(0, 0, 6, 5));
  EXPECT_EQ(c.Picture(0), drawn);  // black and white swapped
  TCanvas f(5, 4, TColor(10, 10, 10));
  f.dc.DrawFocusRect(TRect(0, 0, 5, 4));
  EXPECT_EQ(f.Picture(0x0A0A0A), Rows({"#.#.#", ".....", "#...#", ".#.#."}));
  f.dc.DrawFocusRect(TRect(0, 0, 5, 4));
  EXPECT_EQ(f.Count(0x0A0A0A), 20);
}

TEST(DC_Regions, FillPaintFrameInvertAndHatchInLogicalUnits) {
  TCanvas c(10, 10);
  const TRegion box(TRect(1, 1, 5, 5));
  c.dc.SetViewportOrg(TPoint(2, 2));
  c.dc.FillRgn(box, TBrush(TColor::Black));
  EXPECT_EQ(c.At({{3, 3}, {2, 2}}), (TPixels{0, 0xFFFFFF}));
  EXPECT_EQ(c.Count(0), 16);
  c.dc.SetViewportOrg(TPoint(0, 0));
  // PaintRgn uses the selected brush under the mix mode.
  c.dc.SelectObject(TBrush(TColor::White));
  c.dc.SetROP2(R2_MASKPEN);
  c.dc.PaintRgn(TRegion(TRect(0, 0, 10, 10)));
  EXPECT_EQ(c.Count(0), 16);
  c.dc.SetROP2(R2_COPYPEN);
  TCanvas f(6, 6);
  f.dc.FrameRgn(TRegion(TRect(0, 0, 6, 6)), TBrush(TColor::Black), TSize(2, 1));
  EXPECT_EQ(f.Picture(), Rows({"######", "##..##", "##..##", "##..##", "##..##", "######"}));
  f.dc.InvertRgn(TRegion(TRect(0, 0, 1, 1)));
  EXPECT_EQ(f.At(0, 0), 0xFFFFFFu);
  // Hatches under mix modes, as the picked-up marking: a mask pass in black then a merge-not pass.
  TCanvas h(8, 8, TColor(100, 100, 100));
  const TRegion all(TRect(0, 0, 8, 8));
  h.dc.SetBkMode(TRANSPARENT);
  h.dc.SetROP2(R2_MASKPEN);
  h.dc.FillRgn(all, TBrush(TColor::Black, HS_BDIAGONAL));
  h.dc.SetROP2(R2_MERGENOTPEN);
  h.dc.FillRgn(all, TBrush(TColor::Black, HS_FDIAGONAL));
  // on a '/' line black, on a '\' line white, elsewhere untouched
  EXPECT_EQ(h.At({{7, 0}, {0, 0}, {1, 0}}), (TPixels{0, 0xFFFFFF, 0x646464}));
}

}  // namespace
