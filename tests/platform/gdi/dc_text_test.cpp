#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>

#include "platform/gdi/dc.h"
#include "platform/gdi/font_engine.h"
#include "tests/platform/gdi/dc_canvas.h"

namespace {

// The bounding box of every pixel that is not the background.
TRect Ink_Box(const TCanvas& c, uint32_t background = 0xFFFFFF) {
  TRect box;
  for (int y = 0; y < c.bitmap.Height(); ++y)
    for (int x = 0; x < c.bitmap.Width(); ++x)
      if (c.At(x, y) != background) box = box.Union(TRect(x, y, x + 1, y + 1));
  return box;
}

TEST(DC_Text, AlignmentPlacesTheCellAroundTheReferencePoint) {
  TCanvas left(120, 40), centre(120, 40), right(120, 40);
  for (auto [c, align, x] : {std::tuple{&left, TA_LEFT, 10}, {&centre, TA_CENTER, 60}, {&right, TA_RIGHT, 110}}) {
    c->dc.SelectObject(TFont("Arial", 20));
    c->dc.SetBkMode(TRANSPARENT);
    c->dc.SetTextAlign(align | TA_TOP);
    c->dc.TextOut(x, 5, "Hello");
  }
  const TSize extent = left.dc.GetTextExtent("Hello");
  EXPECT_TRUE(extent.cy == 20 && extent.cx > 20) << extent.cx << "x" << extent.cy;
  const TRect a = Ink_Box(left), b = Ink_Box(centre), c = Ink_Box(right);
  ASSERT_FALSE(a.IsEmpty());
  EXPECT_TRUE(TRect(10, 5, 10 + extent.cx, 25).Contains(a));
  EXPECT_EQ(b, a.Offset_By(60 - extent.cx / 2 - 10, 0));
  EXPECT_EQ(c.left - a.left, 110 - extent.cx - 10);
}

TEST(DC_Text, OpaqueCellsClippedTextAndDrawTextCentringAndWrapping) {
  TCanvas c(100, 30);
  c.dc.SelectObject(TFont("Arial", 20));
  c.dc.SetBkColor(TColor(0, 0, 255));
  c.dc.SetTextColor(TColor(255, 0, 0));
  c.dc.TextOut(0, 0, "Wide text");
  const TSize extent = c.dc.GetTextExtent("Wide text");
  // the cell's bottom-left pixel; just past the cell
  EXPECT_EQ(c.At({{0, 19}, {extent.cx, 0}}), (TPixels{0x0000FF, 0xFFFFFF}));
  EXPECT_EQ(c.Count(0x0000FF) + c.Count(0xFF0000), extent.cx * 20);

  TCanvas d(100, 30);
  d.dc.SelectObject(TFont("Arial", 20));
  const TRect box(5, 0, 25, 30);
  d.dc.SetBkMode(TRANSPARENT);
  d.dc.ExtTextOut(TPoint(0, 5), ETO_CLIPPED, &box, "WWWWWW");
  const TRect ink = Ink_Box(d);
  EXPECT_TRUE(!ink.IsEmpty() && box.Contains(ink));
  d.dc.SetBkColor(TColor(0, 0, 255));
  d.dc.ExtTextOut(TPoint(0, 5), ETO_CLIPPED | ETO_OPAQUE, &box, "WWWWWW");
  EXPECT_EQ(Ink_Box(d), box);  // the opaque box, whatever the background mode
  // DrawText centres one line and wraps words.
  TCanvas page(200, 100);
  page.dc.SelectObject(TFont("Arial", 16));
  page.dc.SetBkMode(TRANSPARENT);
  TRect r(0, 0, 200, 100);
  EXPECT_EQ(page.dc.DrawText("Centre", -1, r, DT_SINGLELINE | DT_CENTER | DT_VCENTER), 16);
  const int centre = page.dc.GetTextExtent("Centre").cx;
  EXPECT_TRUE(TRect((200 - centre) / 2, 42, (200 + centre) / 2 + 1, 58).Contains(Ink_Box(page)));

  TRect narrow(0, 0, 60, 0);
  const int height = page.dc.DrawText("one two three four", -1, narrow, DT_WORDBREAK | DT_CALCRECT);
  EXPECT_TRUE(height >= 32 && narrow.bottom == height && narrow.Width() <= 60) << height << " " << narrow.Width();
  TRect prefix(0, 0, 200, 20);
  EXPECT_EQ(page.dc.DrawText("&File", -1, prefix, DT_SINGLELINE | DT_CALCRECT), 16);
  EXPECT_EQ(prefix.Width(), page.dc.GetTextExtent("File").cx);
  // Metrics of the selected font; empty text.
  page.dc.SelectObject(TFont("Times New Roman", -20));
  TText_Metrics m;
  ASSERT_TRUE(page.dc.GetTextMetrics(m));
  EXPECT_TRUE(m.height == m.ascent + m.descent && m.height > 20);  // an em height leaves room for the leading
  EXPECT_TRUE(page.dc.TextOut(0, 0, ""));
  EXPECT_EQ(page.dc.GetTextExtent("").cx + page.dc.GetTextExtent("abc", 0).cx, 0);
}

// Text running past the surface draws the same pixels as on a larger one.
// (What a long text mostly outside the surface costs is in bench/.)
TEST(DC_Text, TextPastTheSurfaceDrawsWhatALargerOneShows) {
  TCanvas small(48, 32), wide(400, 100);
  for (TCanvas* c : {&small, &wide}) c->dc.SelectObject(TFont("Arial", 40, FW_NORMAL, true));
  small.dc.TextOut(-30, -12, "Wolf fly");
  wide.dc.TextOut(70, 38, "Wolf fly");
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 48; ++x) ASSERT_EQ(small.At(x, y), wide.At(x + 100, y + 50)) << x << "," << y;
}

// A long text mostly outside what can show (the surface, the clip rectangle
// of ExtTextOut, the clip region) has the font engine draw only the few
// glyphs that reach into it, not one for every character.
TEST(DC_Text, OnlyTheGlyphsThatCanShowAreDrawn) {
  const std::string text(6000, 'M');
  const TRect box(50, 0, 70, 100);
  // An M of this font is about 33 pixels wide: 400 pixels meet at most 16,
  // the 20 of the box 2 (cut ones at the edges included).
  const struct {
    const char* what;
    std::function<void(TDC&)> draw;
    uint64_t most;
  } cases[] = {
      {"past the surface's top left", [&](TDC& dc) { dc.TextOut(-10, -12, text); }, 16},
      {"its middle across the surface", [&](TDC& dc) { dc.TextOut(-100000, 5, text); }, 16},
      {"clipped to a rectangle", [&](TDC& dc) { dc.ExtTextOut(TPoint(0, 5), ETO_CLIPPED, &box, text); }, 2},
      {"clipped to a region", [&](TDC& dc) {
         dc.SelectClipRgn(TRegion(box));
         dc.TextOut(0, 5, text);
       }, 2},
  };
  for (const auto& c : cases) {
    TCanvas canvas(400, 30);
    canvas.dc.SelectObject(TFont("Arial", 40));
    canvas.dc.SetBkMode(TRANSPARENT);
    const uint64_t before = TFont_Engine::Instance().Glyphs_Drawn();
    c.draw(canvas.dc);
    const uint64_t drawn = TFont_Engine::Instance().Glyphs_Drawn() - before;
    EXPECT_TRUE(drawn >= 1 && drawn <= c.most) << c.what << ": " << drawn;
    EXPECT_NE(Ink_Box(canvas), TRect()) << c.what;
  }
}

}  // namespace
