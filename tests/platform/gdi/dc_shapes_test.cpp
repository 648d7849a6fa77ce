#include <gtest/gtest.h>

#include <vector>

#include "platform/gdi/dc.h"
#include "tests/platform/gdi/dc_canvas.h"

namespace {

TEST(DC_Lines, LineToLeavesOutItsLastPixelAndPolylinesIgnoreThePosition) {
  TCanvas c(6, 4);
  c.dc.MoveTo(0, 1);
  EXPECT_TRUE(c.dc.LineTo(4, 1));
  EXPECT_EQ(c.dc.GetCurrentPosition(), TPoint(4, 1));
  c.dc.LineTo(4, 3);
  EXPECT_EQ(c.Picture(), Rows({"......", "#####.", "....#.", "......"}));
  // There and back covers both ends.
  TCanvas d(5, 1);
  d.dc.MoveTo(0, 0);
  d.dc.LineTo(3, 0);
  d.dc.LineTo(0, 0);
  EXPECT_EQ(d.Picture(), Rows({"####."}));
  // A polyline ignores the current position and needs two points: the bevel of a box lights its left column and top row.
  // Up the left side from the bottom corner, then along the top.
  TCanvas box(12, 12);
  box.dc.MoveTo(11, 11);
  const TPoint bevel[] = {{0, 10}, {0, 0}, {10, 0}};
  EXPECT_TRUE(box.dc.Polyline(bevel, 3));
  EXPECT_FALSE(box.dc.Polyline(bevel + 1, 1));
  EXPECT_EQ(box.dc.GetCurrentPosition(), TPoint(11, 11));
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 12; ++x) {
      const bool lit = (x == 0 && y >= 1 && y <= 10) || (y == 0 && x <= 9);
      EXPECT_EQ(box.At(x, y) == 0, lit) << x << "," << y;
    }
}

TEST(DC_Lines, DottedPenOpaqueGapsAndWidePenRoundEnds) {
  TCanvas c(10, 2);
  c.dc.SelectObject(TPen(TColor::Black, 1, PS_DOT));
  c.dc.SetBkMode(TRANSPARENT);
  c.dc.MoveTo(0, 0);
  c.dc.LineTo(10, 0);
  c.dc.SetBkMode(OPAQUE);
  c.dc.SetBkColor(TColor(255, 0, 0));
  c.dc.MoveTo(0, 1);
  c.dc.LineTo(10, 1);
  EXPECT_EQ(c.Picture(), Rows({"###...###.", "##########"}));
  EXPECT_EQ(c.At({{3, 1}, {0, 1}}), (TPixels{0xFF0000, 0}));
  // A wide pen has round ends and includes the end.
  TCanvas wide(9, 7);
  wide.dc.SelectObject(TPen(TColor::Black, 3));
  wide.dc.MoveTo(2, 3);
  wide.dc.LineTo(6, 3);
  // A wide line covers its end point and reaches past its ends.
  EXPECT_EQ(wide.At({{6, 3}, {1, 3}, {4, 2}, {4, 4}, {4, 0}}), (TPixels{0, 0, 0, 0, 0xFFFFFF}));
}

TEST(DC_Rectangle, OutlineOnTheOuterPixelsInteriorBrushAndNullPen) {
  TCanvas c(6, 5);
  c.dc.SelectObject(TBrush(TColor(0, 0, 255)));
  c.dc.Rectangle(1, 1, 5, 4);
  EXPECT_EQ(c.Picture(), Rows({"......", ".####.", ".####.", ".####.", "......"}));
  EXPECT_EQ(c.At({{1, 1}, {2, 2}, {4, 2}}), (TPixels{0, 0x0000FF, 0}));
  // A null pen fills one pixel less; empty boxes draw nothing.
  c.dc.SelectStockObject(NULL_PEN);
  c.dc.SelectStockObject(BLACK_BRUSH);
  c.dc.PatBlt(0, 0, 6, 5, WHITENESS);
  c.dc.Rectangle(1, 1, 5, 4);
  EXPECT_EQ(c.Picture(), Rows({"......", ".###..", ".###..", "......", "......"}));
  TCanvas e(4, 4);
  e.dc.SelectStockObject(BLACK_BRUSH);
  e.dc.Rectangle(2, 0, 2, 4);
  e.dc.Ellipse(0, 2, 4, 2);
  EXPECT_EQ(e.Count(0), 0);
  // A box given right to left is the same box.
  TCanvas r(6, 5);
  r.dc.SelectStockObject(NULL_PEN);
  r.dc.SelectStockObject(BLACK_BRUSH);
  r.dc.Rectangle(5, 4, 1, 1);
  EXPECT_EQ(r.Picture(), c.Picture());
  // An inside-frame pen stays in the box.
  TCanvas f(8, 8);
  f.dc.SelectObject(TPen(TColor::Black, 2, PS_INSIDEFRAME));
  f.dc.SelectStockObject(NULL_BRUSH);
  f.dc.Rectangle(1, 1, 7, 7);
  EXPECT_EQ(f.Picture(), Rows({"........", ".######.", ".######.", ".##..##.", ".##..##.", ".######.",
                               ".######.", "........"}));
}

TEST(DC_Ellipse, FillsTheScanConvertedEllipseAndOutlinesIt) {
  TCanvas c(12, 10);
  c.dc.SelectObject(TBrush(TColor(0, 255, 0)));
  c.dc.Ellipse(1, 1, 11, 9);
  // The outline on the border of the area (the scan converter's tests check its shape).
  EXPECT_EQ(c.At({{0, 5}, {1, 4}, {6, 1}, {6, 4}}), (TPixels{0xFFFFFF, 0, 0, 0x00FF00}));
  // Every filled pixel has its 4-neighbours filled or outlined.
  const TRegion area = TRegion::Ellipse(TRect(1, 1, 11, 9));
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 12; ++x) EXPECT_EQ(area.Contains({x, y}), c.At(x, y) != 0xFFFFFFu) << x << "," << y;
}

TEST(DC_Shapes, XorDrawingTwiceRestoresAndPaintsEachPixelOnce) {
  TCanvas c(20, 20, TColor(10, 20, 30));
  const std::string before = c.Picture(0x0A141E);
  c.dc.SetROP2(R2_XORPEN);
  c.dc.SelectObject(TPen(TColor(255, 0, 0)));
  c.dc.SelectObject(TBrush(TColor(0, 255, 0)));
  const TPoint tri[] = {{2, 2}, {17, 4}, {8, 16}};
  auto draw = [&] {
    c.dc.Rectangle(1, 1, 9, 9);
    c.dc.Ellipse(5, 5, 19, 15);
    c.dc.Polygon(tri, 3);
    c.dc.RoundRect(3, 3, 18, 18, 6, 6);
    c.dc.Pie(TRect(2, 2, 18, 18), TPoint(18, 10), TPoint(10, 2));
    c.dc.Chord(TRect(2, 2, 18, 18), TPoint(2, 10), TPoint(10, 18));
  };
  // One rectangle: the outline is red ^ bg, the interior green ^ bg, never both.
  c.dc.Rectangle(1, 1, 9, 9);
  EXPECT_EQ(c.At({{1, 1}, {4, 4}}), (TPixels{0xFF0000 ^ 0x0A141E, 0x00FF00 ^ 0x0A141E}));
  c.dc.Rectangle(1, 1, 9, 9);
  draw();
  draw();
  EXPECT_EQ(c.Picture(0x0A141E), before);
}

TEST(DC_Shapes, PolygonFillModesOutlineAndBezierPointCounts) {
  // A pentagram: the centre is outside under ALTERNATE, inside under WINDING.
  const TPoint star[] = {{10, 0}, {16, 19}, {0, 7}, {20, 7}, {4, 19}};
  TCanvas a(21, 21), w(21, 21);
  for (auto [c, mode] : {std::pair{&a, ALTERNATE}, {&w, WINDING}}) {
    c->dc.SelectStockObject(NULL_PEN);
    c->dc.SelectStockObject(BLACK_BRUSH);
    c->dc.SetPolyFillMode(mode);
    c->dc.Polygon(star, 5);
  }
  EXPECT_EQ(a.At({{10, 11}, {10, 4}}), (TPixels{0xFFFFFF, 0}));
  EXPECT_EQ(w.At(10, 11), 0u);
  // With a pen the closed outline passes through every vertex.
  TCanvas o(21, 21);
  o.dc.SelectStockObject(NULL_BRUSH);
  o.dc.Polygon(star, 5);
  for (const TPoint& p : star) EXPECT_EQ(o.At(p.x, p.y), 0u);
  EXPECT_FALSE(o.dc.Polygon(star, 1));
  // A Bezier needs 1 + 3n points.
  TCanvas c(20, 20);
  const TPoint p[] = {{0, 0}, {19, 0}, {19, 19}, {0, 19}, {5, 5}, {10, 10}, {15, 15}};
  EXPECT_FALSE(c.dc.PolyBezier(p, 3) || c.dc.PolyBezier(p, 6));
  EXPECT_TRUE(c.dc.PolyBezier(p, 7));
  EXPECT_EQ(c.At(0, 0), 0u);
  EXPECT_GT(c.Count(0), 20);
  // A wide pen flattens the curve itself: points far apart must not
  // overflow its length estimate (the sanitizer build catches that).
  c.dc.SelectObject(TPen(TColor::Black, 3));
  const int f = 2000000000;
  const TPoint far[] = {{-f, -f}, {f, f}, {-f, -f}, {f, f}};
  EXPECT_TRUE(c.dc.PolyBezier(far, 4));
}

TEST(DC_Shapes, ArcsAndPiesRunCounterClockwiseAndEqualEndsGiveTheWholeEllipse) {
  TCanvas top(21, 21), whole(21, 21);
  // From the right end to the left end counter-clockwise on the screen: the top half.
  top.dc.Arc(TRect(0, 0, 21, 21), TPoint(30, 10), TPoint(-10, 10));
  EXPECT_EQ(top.At({{10, 0}, {10, 20}}), (TPixels{0, 0xFFFFFF}));
  whole.dc.Arc(TRect(0, 0, 21, 21), TPoint(30, 10), TPoint(30, 10));
  EXPECT_EQ(whole.At({{10, 0}, {10, 20}}), (TPixels{0, 0}));
  // Arc neither uses nor moves the current position.
  EXPECT_EQ(top.dc.GetCurrentPosition(), TPoint(0, 0));
  // A pie fills its sector: a quarter from the right (3 o'clock) to the top (12 o'clock).
  TCanvas c(21, 21);
  c.dc.SelectStockObject(BLACK_BRUSH);
  c.dc.SelectStockObject(NULL_PEN);
  c.dc.Pie(TRect(0, 0, 22, 22), TPoint(30, 11), TPoint(11, -5));
  EXPECT_EQ(c.At({{15, 6}, {6, 6}, {15, 15}}), (TPixels{0, 0xFFFFFF, 0xFFFFFF}));
}

TEST(DC_Rop2, EveryMixModeOnItsTruthTable) {
  // Pen 0b1100 and destination 0b1010 in each colour byte give the four
  // (pen, destination) bit pairs at bit P * 2 + D; the result's low nibble is
  // then the mode's truth table, mode - 1.
  for (int mode = R2_BLACK; mode <= R2_WHITE; ++mode) {
    TCanvas c(1, 1, TColor(0x0A, 0x0A, 0x0A));
    c.dc.SetROP2(mode);
    c.dc.SelectObject(TPen(TColor(0x0C, 0x0C, 0x0C)));
    c.dc.MoveTo(0, 0);
    c.dc.LineTo(1, 0);
    EXPECT_EQ(c.At(0, 0) & 0x0F, uint32_t(mode - 1)) << "mode " << mode;
  }
}

TEST(DC_Clip, ShapesStayInsideBothClipLevels) {
  TCanvas screen(20, 10);
  auto binding = std::make_shared<TDevice_Binding>(screen.bitmap.Surface(), std::make_shared<TDevice_Binding::TLock>());
  binding->Set_Origin(TPoint(5, 0));
  binding->Set_Visible(TRegion(TRect(0, 0, 12, 10)));
  const TRegion update(TRect(0, 2, 20, 8));
  TDC dc(binding, &update);
  dc.IntersectClipRect(TRect(-5, 0, 5, 6));
  dc.ExcludeClipRect(TRect(2, 3, 3, 4));
  dc.SelectStockObject(BLACK_BRUSH);
  dc.SelectStockObject(NULL_PEN);
  dc.Ellipse(-100, -100, 100, 100);
  // Device x 0..4 is surface 5..9 (the application clip ends at device 5,
  // before the visible region's 12); rows 2..5 from the update region and
  // the application clip; device (2, 3) is cut out.
  EXPECT_EQ(screen.Picture(), Rows({"....................", "....................", ".....#####..........",
                                    ".....##.##..........", ".....#####..........", ".....#####..........",
                                    "....................", "....................", "....................",
                                    "...................."}));
  TRect box;
  EXPECT_EQ(dc.GetClipBox(box), COMPLEXREGION);
  EXPECT_EQ(box, TRect(0, 2, 5, 6));
  // The window moves: the same context follows it.
  binding->Set_Origin(TPoint(0, 0));
  dc.SetPixel(0, 2, TColor(255, 0, 0));
  EXPECT_EQ(screen.At(0, 2), 0xFF0000u);
  // The window is destroyed: nothing more is drawn or read.
  binding->Invalidate();
  EXPECT_EQ(dc.SetPixel(1, 2, TColor(255, 0, 0)).Value(), CLR_INVALID);
  dc.Rectangle(0, 0, 20, 10);
  EXPECT_EQ(screen.At(1, 2), 0xFFFFFFu);
  EXPECT_EQ(dc.GetPixel(0, 2).Value(), CLR_INVALID);
}

}  // namespace
