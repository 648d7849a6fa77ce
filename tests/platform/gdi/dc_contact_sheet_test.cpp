// Draws every primitive into one picture, in a grid of cells, and leaves it
// as a PNG in $QUENDAR_SNAPSHOTS for a person to look at (32-bit and 8-bit).
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/gdi/dc.h"
#include "platform/gdi/dib_dc.h"
#include "platform/gdi/memory_dc.h"
#include "platform/gdi/png_writer.h"

namespace {

constexpr int Cell = 64;
constexpr int Columns = 6;

using TDraw = std::function<void(TDC&)>;

std::vector<std::pair<std::string, TDraw>> Primitives() {
  const TRect box(8, 8, 56, 48);
  return {
      {"lines", [](TDC& dc) { dc.MoveTo(4, 4); dc.LineTo(60, 30); dc.LineTo(10, 56); dc.LineTo(4, 4); }},
      {"wide lines", [](TDC& dc) {
         const TPoint p[] = {{8, 50}, {24, 10}, {40, 50}, {56, 12}};
         dc.SelectObject(TPen(TColor(0, 0, 160), 7)); dc.Polyline(p, 4); }},
      {"dashes", [](TDC& dc) {
         int y = 8;
         for (int style : {PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT, PS_ALTERNATE}) {
           dc.SelectObject(TPen(TColor::Black, 1, style)); dc.MoveTo(4, y); dc.LineTo(60, y + 4); y += 10;
         } }},
      {"rectangle", [box](TDC& dc) { dc.SelectObject(TBrush(TColor(255, 200, 0))); dc.Rectangle(box); }},
      {"inside frame", [box](TDC& dc) {
         dc.SelectObject(TPen(TColor(200, 0, 0), 6, PS_INSIDEFRAME)); dc.SelectObject(TBrush(TColor(255, 255, 160)));
         dc.Rectangle(box); }},
      {"round rect", [box](TDC& dc) { dc.SelectObject(TBrush(TColor(0, 200, 200))); dc.RoundRect(box, TPoint(16, 16)); }},
      {"ellipse", [box](TDC& dc) { dc.SelectObject(TBrush(TColor(0, 160, 0))); dc.Ellipse(box); }},
      {"wide ellipse", [box](TDC& dc) {
         dc.SelectObject(TPen(TColor(160, 0, 160), 5)); dc.SelectStockObject(NULL_BRUSH); dc.Ellipse(box); }},
      {"arc", [box](TDC& dc) { dc.Arc(box, TPoint(60, 28), TPoint(4, 28)); }},
      {"chord", [box](TDC& dc) { dc.SelectObject(TBrush(TColor(255, 128, 128))); dc.Chord(box, TPoint(60, 10), TPoint(4, 40)); }},
      {"pie", [box](TDC& dc) { dc.SelectObject(TBrush(TColor(128, 128, 255))); dc.Pie(box, TPoint(60, 28), TPoint(32, 0)); }},
      {"polygon", [](TDC& dc) {
         const TPoint star[] = {{32, 4}, {46, 58}, {4, 22}, {60, 22}, {18, 58}};
         dc.SelectObject(TBrush(TColor(255, 160, 0))); dc.SetPolyFillMode(WINDING); dc.Polygon(star, 5); }},
      {"bezier", [](TDC& dc) {
         const TPoint p[] = {{4, 56}, {4, 4}, {60, 4}, {60, 56}, {40, 30}, {24, 30}, {8, 40}}; dc.PolyBezier(p, 7); }},
      {"hatches", [](TDC& dc) {
         for (int h = HS_HORIZONTAL; h <= HS_DIAGCROSS; ++h)
           dc.FillRect(TRect(4 + (h % 3) * 19, 6 + (h / 3) * 26, 21 + (h % 3) * 19, 30 + (h / 3) * 26),
                       TBrush(TColor(0, 0, 200), h)); }},
      {"xor", [box](TDC& dc) {
         dc.SelectObject(TBrush(TColor(0, 128, 255))); dc.Ellipse(box);
         dc.SetROP2(R2_XORPEN); dc.SelectObject(TBrush(TColor(255, 255, 0))); dc.Rectangle(TRect(20, 20, 60, 60)); }},
      {"flood fill", [box](TDC& dc) {
         dc.SelectStockObject(NULL_BRUSH); dc.Ellipse(box); dc.MoveTo(8, 28); dc.LineTo(56, 28);
         dc.SelectObject(TBrush(TColor(255, 0, 0))); dc.ExtFloodFill(TPoint(32, 20), TColor::Black, FLOODFILLBORDER); }},
      {"clip region", [](TDC& dc) {
         TRegion moved = TRegion::Ellipse(TRect(4, 4, 60, 60)) - TRegion::Ellipse(TRect(20, 20, 44, 44));  // a ring
         moved.Offset(dc.GetViewportOrg().x, dc.GetViewportOrg().y);
         dc.SelectClipRgn(moved);
         for (int x = 0; x < 64; x += 4) dc.FillRect(TRect(x, 0, x + 2, 64), TBrush(TColor(0, 100, 0)));
         dc.SelectClipRgn(nullptr); }},
      {"text", [](TDC& dc) {
         dc.SelectObject(TFont("Arial", 20)); dc.SetBkMode(TRANSPARENT); dc.TextOut(4, 4, "Aa");
         dc.SelectObject(TFont("Times New Roman", 16, FW_BOLD, true)); dc.SetTextColor(TColor(200, 0, 0));
         dc.TextOut(4, 30, "Text"); }},
  };
}

void Draw_Sheet(TDC& dc, int width, int height) {
  dc.FillRect(TRect(0, 0, width, height), TBrush(TColor(230, 230, 230)));
  int i = 0;
  for (const auto& [name, draw] : Primitives()) {
    const TPoint cell((i % Columns) * Cell, (i / Columns) * Cell);
    dc.FillRect(TRect(cell.x + 1, cell.y + 1, cell.x + Cell - 1, cell.y + Cell - 1), TBrush(TColor::White));
    const int level = dc.SaveDC();
    dc.SetViewportOrg(cell);
    dc.IntersectClipRect(TRect(1, 1, Cell - 1, Cell - 1));
    draw(dc);
    dc.RestoreDC(level);
    ++i;
  }
}

TEST(DC_Contact_Sheet, EveryPrimitiveInThirtyTwoAndEightBits) {
  const int count = int(Primitives().size());
  const int width = Columns * Cell, height = (count + Columns - 1) / Columns * Cell;
  TBitmap rgb(width, height);
  TMemoryDC dc(rgb);
  Draw_Sheet(dc, width, height);

  TDib indexed(width, height);
  std::vector<uint32_t> table;
  for (uint32_t i = 0; i < 216; ++i) table.push_back((i / 36 * 51) << 16 | (i / 6 % 6 * 51) << 8 | (i % 6 * 51));
  table.push_back(0xE6E6E6);
  indexed.SetColorTable(0, int(table.size()), table.data());
  TDibDC dib_dc(indexed);
  Draw_Sheet(dib_dc, width, height);

  // Same picture in both depths where the colours are in the table.
  EXPECT_EQ(dib_dc.GetPixel(Cell / 2, 1), TColor(255, 255, 255));
  EXPECT_EQ(dc.GetPixel(0, 0), TColor(230, 230, 230));

  const std::string rgb_path = Snapshot_Path("gdi_contact_sheet_32");
  if (rgb_path.empty()) GTEST_SKIP() << "QUENDAR_SNAPSHOTS not set";
  const TSurface& s = *rgb.Surface();
  EXPECT_TRUE(Write_PNG_RGB(rgb_path, width, height, s.Row32(0), s.Stride() / 4));
  const TSurface& d = *indexed.Surface();
  EXPECT_TRUE(Write_PNG_Indexed(Snapshot_Path("gdi_contact_sheet_8"), width, height, d.Row(0), -d.Stride(),
                                d.Colors().data(), int(d.Colors().size())));
}

}  // namespace
