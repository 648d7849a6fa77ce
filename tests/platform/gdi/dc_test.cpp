#include "platform/gdi/dc.h"

#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <thread>
#include <vector>

#include "platform/gdi/dib_dc.h"
#include "platform/gdi/dibitmap.h"
#include "platform/gdi/memory_dc.h"
#include "platform/gdi/print_dc.h"
#include "tests/platform/gdi/dc_canvas.h"

namespace {

TPalette Three_Colours() {
  const TPalette_Entry e[] = {{255, 0, 0, 0}, {0, 255, 0, PC_RESERVED}, {0, 0, 255, 0}};
  return TPalette(e, 3);
}

// An 8-bit DIB whose table holds black, a red, the same red again and white.
TDib Small_Dib(int w, int h) {
  TDib dib(w, h, 8, 4);
  const uint32_t table[] = {0x000000, 0xC00000, 0xC00000, 0xFFFFFF};
  dib.SetColorTable(0, 4, table);
  return dib;
}

// The device's answers to the capability questions, in order.
std::vector<int> Caps(const TDC& dc, std::initializer_list<int> indices) {
  std::vector<int> answers;
  for (int index : indices) answers.push_back(dc.GetDeviceCaps(index));
  return answers;
}

TEST(DC_Colors, PaletteIndicesResolveThroughThePaletteAndEightBitsTakeTheNearestEntry) {
  TCanvas c(4, 1);
  EXPECT_EQ(c.dc.Resolve_Color(TColor::Palette_Index(1)), TColor::Black);  // no palette selected
  {
    TPalette palette = Three_Colours();
    c.dc.SelectObject(palette);
  }  // the context keeps the entries alive
  EXPECT_EQ(c.dc.Resolve_Color(TColor::Palette_Index(1)), TColor(0, 255, 0));
  EXPECT_EQ(c.dc.Resolve_Color(TColor::Palette_Index(3)), TColor::Black);  // beyond the end
  EXPECT_EQ(c.dc.Resolve_Color(PALETTERGB(1, 2, 3)), TColor(1, 2, 3));
  // System colours are not palette indices.
  EXPECT_EQ(c.dc.Resolve_Color(TColor::Sys_Color(COLOR_BTNFACE)), TColor(192, 192, 192));
  EXPECT_EQ(c.dc.Resolve_Color(TColor::Sys_Color(COLOR_WINDOW)), TColor::White);
  c.dc.SetPixel(0, 0, TColor::Palette_Index(2));
  c.dc.SelectObject(TBrush(TColor::Palette_Index(0)));
  c.dc.PatBlt(1, 0, 1, 1);
  EXPECT_EQ(c.At({{0, 0}, {1, 0}}), (TPixels{0x0000FF, 0xFF0000}));
  // Changes to a selected palette show at once.
  TPalette shared = Three_Colours();
  c.dc.SelectObject(shared);
  shared.SetPaletteEntry(2, {1, 2, 3, 0});
  EXPECT_EQ(c.dc.Resolve_Color(TColor::Palette_Index(2)), TColor(1, 2, 3));
  // Eight-bit drawing takes the first exact, else the nearest entry of the table.
  TDib dib = Small_Dib(4, 2);
  TDibDC dc(dib);
  dc.SetPixel(0, 0, TColor(0xC0, 0, 0));   // exact: the first of the two reds
  dc.SetPixel(1, 0, TColor(0xB0, 0, 0));   // nearest red, lowest index
  dc.SetPixel(2, 0, TColor(0x60, 0, 0));   // 0x60 is 96 from black, 96 from 0xC0: tie, lowest
  dc.SetPixel(3, 0, TColor(200, 200, 200));
  EXPECT_EQ(Pixels_At(*dib.Surface(), {{0, 0}, {1, 0}, {2, 0}, {3, 0}}), (TPixels{1, 1, 0, 3}));
  // The context's row 0 is the DIB's last row in memory.
  EXPECT_EQ(dib.GetBits()[1 * dib.Pitch() + 0], 1);
  EXPECT_EQ(dc.GetPixel(0, 0), TColor(0xC0, 0, 0));
  for (TPoint outside : {TPoint(4, 0), TPoint(-1, 0), TPoint(0, 2)})
    EXPECT_EQ(dc.GetPixel(outside.x, outside.y).Value(), CLR_INVALID);
  // A solid brush fills with one index, padding columns included.
  TDib padded = Small_Dib(4, 2);
  TDibDC pdc(padded);
  pdc.SelectObject(TBrush(TColor::White));
  pdc.PatBlt(0, 0, int(padded.Pitch()), 2, PATCOPY);
  for (long i = 0; i < padded.Pitch() * 2; ++i) EXPECT_EQ(padded.GetBits()[i], 3);
  // The colour table through the context: only the entries that exist.
  TDiBitmap shared_bitmap(2, 2);
  TMemoryDC shared_dc(shared_bitmap);
  const uint32_t table[] = {0x102030, 0x405060};
  EXPECT_EQ(shared_dc.SetDIBColorTable(254, 5, table), 2);
  uint32_t out[3] = {};
  EXPECT_EQ(shared_dc.GetDIBColorTable(254, 3, out), 2);
  EXPECT_EQ(std::pair(out[1], shared_bitmap.GetColor(254)), std::pair(0x405060u, TColor(0x10, 0x20, 0x30)));
}

TEST(DC_Caps, TrueColourScreenSwitchForTestsAndPrinterPages) {
  TBitmap screen(640, 480);
  TDC dc(std::make_shared<TDevice_Binding>(screen.Surface(), nullptr), nullptr, true);
  EXPECT_EQ(Caps(dc, {BITSPIXEL, HORZRES, NUMCOLORS}), (std::vector<int>{32, 640, -1}));
  EXPECT_EQ(dc.GetDeviceCaps(RASTERCAPS) & RC_PALETTE, 0);
  TDevice_Caps::Set_Palette_Device_For_Tests(true);
  EXPECT_NE(dc.GetDeviceCaps(RASTERCAPS) & RC_PALETTE, 0);
  EXPECT_EQ(Caps(dc, {BITSPIXEL, SIZEPALETTE}), (std::vector<int>{8, 256}));
  TDevice_Caps::Set_Palette_Device_For_Tests(false);
  EXPECT_EQ(dc.RealizePalette(), 0);
  // A context on an 8-bit picture reports the display it belongs to.
  TDib dib(4, 4);
  TDibDC dib_dc(dib);
  EXPECT_EQ(dib_dc.GetDeviceCaps(BITSPIXEL), 32);
  EXPECT_EQ(dib_dc.GetDeviceCaps(RASTERCAPS) & RC_PALETTE, 0);
  // A printer's page size, resolution and drawing.
  TPrintDC printer(850, 1100, 100);
  EXPECT_EQ(Caps(printer, {HORZRES, VERTRES, LOGPIXELSY}), (std::vector<int>{850, 1100, 100}));
  EXPECT_NE(printer.GetDeviceCaps(RASTERCAPS) & RC_BITBLT, 0);
  EXPECT_EQ(printer.GetDeviceCaps(RASTERCAPS) & 0x2 /* banding */, 0);
  EXPECT_EQ(printer.Page().Surface()->Pixel(5, 5), 0xFFFFFFu);  // a blank page is white
  TDib picture(2, 2);
  picture.SetColor(0, TColor(0, 0, 255));
  printer.SetStretchBltMode(COLORONCOLOR);
  printer.StretchDIBits(TRect(100, 100, 300, 300), TRect(0, 0, 2, 2), picture);
  EXPECT_EQ(Pixels_At(*printer.Page().Surface(), {{299, 299}, {300, 300}}), (TPixels{0x0000FF, 0xFFFFFF}));
}

TEST(DC_Objects, SelectedObjectsOutliveTheirOwnersAndFreshContextsAreMonochrome) {
  TCanvas c(6, 6);
  c.dc.SelectObject(TPen(TColor(255, 0, 0)));  // temporaries, gone at once
  c.dc.SelectObject(TBrush(TColor(0, 0, 255)));
  c.dc.Rectangle(0, 0, 4, 4);
  EXPECT_EQ(c.At({{0, 0}, {1, 1}}), (TPixels{0xFF0000, 0x0000FF}));
  // A bitmap dropped while selected stays drawable.
  TMemoryDC dc;
  dc.SelectObject(TBitmap(3, 3));
  dc.SetPixel(1, 1, TColor(1, 2, 3));
  EXPECT_EQ(dc.GetPixel(1, 1), TColor(1, 2, 3));
  c.dc.RestorePen();
  c.dc.RestoreBrush();
  c.dc.Rectangle(0, 0, 4, 4);
  EXPECT_EQ(c.At({{0, 0}, {1, 1}}), (TPixels{0, 0xFFFFFF}));
  // RestoreObjects also puts back the 1 x 1 bitmap a memory context starts with.
  c.dc.RestoreObjects();
  c.dc.SetPixel(2, 2, TColor::Black);
  EXPECT_EQ(c.At(2, 2), 0xFFFFFFu);
  EXPECT_EQ(c.dc.GetPixel(3, 3).Value(), CLR_INVALID);
  // A compatible bitmap of a fresh memory context is monochrome.
  TMemoryDC fresh;
  TBitmap colour(2, 2);
  TMemoryDC holding(colour);
  EXPECT_EQ(TBitmap(fresh, 4, 4).BitsPixel() + TBitmap(holding, 4, 4).BitsPixel(), 1 + 32);
  EXPECT_FALSE(TBitmap(holding, 0, 4).IsOK());
}

TEST(DC_Objects, ObjectsMadeAndDroppedOnManyThreads) {
  TPen pen(TColor(9, 9, 9));
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([pen] {
      for (int i = 0; i < 2000; ++i) {
        [[maybe_unused]] TPen copy = pen;
        TBrush brush(TColor(i & 255, 0, 0));
        TFont font("Arial", 12);
      }
    });
  for (auto& t : threads) t.join();
  EXPECT_EQ(pen.Data().use_count(), 1);
}

TEST(DC_State, SaveAndRestoreBringBackEverythingAndClipRegionsSelect) {
  TCanvas c(8, 8);
  c.dc.SetTextColor(TColor(1, 1, 1));
  c.dc.SelectObject(TBrush(TColor(0, 255, 0)));
  const int level = c.dc.SaveDC();
  c.dc.SetTextColor(TColor(2, 2, 2));
  c.dc.SetROP2(R2_XORPEN);
  c.dc.SelectObject(TBrush(TColor(255, 0, 0)));
  c.dc.IntersectClipRect(TRect(0, 0, 2, 2));
  c.dc.SetMapMode(MM_ANISOTROPIC);
  c.dc.SetViewportOrg(TPoint(3, 3));
  c.dc.MoveTo(5, 5);
  EXPECT_EQ(std::pair(level, c.dc.SaveDC()), std::pair(1, 2));
  EXPECT_FALSE(c.dc.RestoreDC(3));
  EXPECT_TRUE(c.dc.RestoreDC(level));
  EXPECT_EQ(c.dc.GetTextColor(), TColor(1, 1, 1));
  EXPECT_EQ(std::pair(c.dc.GetROP2(), c.dc.GetMapMode()), std::pair(R2_COPYPEN, MM_TEXT));
  EXPECT_EQ(std::pair(c.dc.GetViewportOrg(), c.dc.GetCurrentPosition()), std::pair(TPoint(0, 0), TPoint(0, 0)));
  TRegion clip;
  EXPECT_FALSE(c.dc.GetClipRgn(clip));
  c.dc.PatBlt(0, 0, 8, 8);
  EXPECT_EQ(c.Count(0x00FF00), 64);
  EXPECT_FALSE(c.dc.RestoreDC(-1));  // nothing saved any more
  // A clip region is selected, read back and removed.
  TCanvas clipped(10, 10);
  TRegion got;
  EXPECT_FALSE(clipped.dc.GetClipRgn(got));
  EXPECT_EQ(clipped.dc.GetClipBox(), TRect(0, 0, 10, 10));
  const TRegion ring = TRegion::Ellipse(TRect(0, 0, 10, 10)) - TRegion::Ellipse(TRect(3, 3, 7, 7));
  EXPECT_EQ(clipped.dc.SelectClipRgn(ring), COMPLEXREGION);
  ASSERT_TRUE(clipped.dc.GetClipRgn(got));
  EXPECT_TRUE(got == ring);
  clipped.dc.FillRect(TRect(0, 0, 10, 10), TBrush(TColor::Black));
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 10; ++x) EXPECT_EQ(clipped.At(x, y) == 0, ring.Contains({x, y})) << x << "," << y;
  EXPECT_FALSE(clipped.dc.PtVisible(TPoint(5, 5)) || !clipped.dc.PtVisible(TPoint(5, 1)));
  EXPECT_EQ(clipped.dc.SelectClipRgn(nullptr), SIMPLEREGION);
  EXPECT_TRUE(!clipped.dc.GetClipRgn(got) && clipped.dc.PtVisible(TPoint(5, 5)));
  EXPECT_EQ(clipped.dc.IntersectClipRect(TRect(20, 20, 30, 30)), NULLREGION);
  EXPECT_FALSE(clipped.dc.RectVisible(TRect(0, 0, 10, 10)));
}

TEST(DC_Mapping, AnisotropicScalesAndNegativeExtentsFlip) {
  TCanvas c(10, 10);
  c.dc.SetMapMode(MM_ANISOTROPIC);
  c.dc.SetWindowExt(TSize(100, 100));
  c.dc.SetViewportExt(TSize(10, -10));
  c.dc.SetViewportOrg(TPoint(0, 10));  // y up from the bottom edge
  TPoint p[2] = {{0, 0}, {50, 30}};
  c.dc.LPtoDP(p, 2);
  EXPECT_EQ(std::pair(p[0], p[1]), std::pair(TPoint(0, 10), TPoint(5, 7)));
  c.dc.DPtoLP(p, 2);
  EXPECT_EQ(p[1], TPoint(50, 30));
  c.dc.SelectStockObject(BLACK_BRUSH);
  c.dc.SelectStockObject(NULL_PEN);
  c.dc.PatBlt(TRect(0, 0, 20, 30));  // logical bottom-left corner, 2 x 3 pixels
  EXPECT_EQ(c.Picture(), Rows({"..........", "..........", "..........", "..........", "..........",
                               "..........", "..........", "##........", "##........", "##........"}));
  EXPECT_EQ(c.dc.GetClipBox(), TRect(0, 0, 100, 100));
  // In MM_TEXT the extents are fixed and only the origins move.
  TCanvas t(4, 4);
  t.dc.SetWindowExt(TSize(2, 2));
  EXPECT_EQ(t.dc.GetWindowExt(), TSize(1, 1));
  t.dc.SetWindowOrg(TPoint(-1, -1));
  t.dc.SetPixel(0, 0, TColor::Black);
  EXPECT_EQ(t.At(1, 1), 0u);
  // Text under the most extreme extents scales its font without a fault.
  for (const int h : {INT_MIN, -1, 12, INT_MAX})
    for (const int window : {INT_MIN, 1, INT_MAX})
      for (const int viewport : {INT_MIN, 1, INT_MAX}) {
        TCanvas x(4, 4);
        x.dc.SetMapMode(MM_ANISOTROPIC);
        x.dc.SetWindowExt(TSize(window, window));
        x.dc.SetViewportExt(TSize(viewport, viewport));
        x.dc.SelectObject(TFont("Arial", h));
        EXPECT_GE(x.dc.GetTextExtent("ab").cy, 0) << h << " " << window << " " << viewport;
      }
}

TEST(DC_Threads, WorkersDrawIntoSeparateSurfacesAndOneLockedScreen) {
  constexpr int workers = 4;
  std::vector<TDib> pictures;
  for (int i = 0; i < workers; ++i) pictures.push_back(Small_Dib(64, 64));
  TBitmap screen(64, workers);
  auto lock = std::make_shared<TDevice_Binding::TLock>();
  std::vector<std::thread> threads;
  for (int i = 0; i < workers; ++i)
    threads.emplace_back([&, i] {
      TDibDC dc(pictures[size_t(i)]);
      dc.SelectObject(TBrush(TColor(0xC0, 0, 0)));
      auto binding = std::make_shared<TDevice_Binding>(screen.Surface(), lock);
      binding->Set_Origin(TPoint(0, i));
      TDC window(binding);
      for (int k = 0; k < 200; ++k) {
        dc.Ellipse(k % 10, k % 7, 64 - k % 5, 60);
        window.SetPixel(k % 64, 0, TColor(i + 1, 0, 0));
      }
    });
  for (auto& t : threads) t.join();
  for (int i = 0; i < workers; ++i)
    EXPECT_EQ(Pixels_At(*pictures[size_t(i)].Surface(), {{32, 30}}), (TPixels{1})) << i;
  EXPECT_EQ(Pixels_At(*screen.Surface(), {{5, 0}, {5, 1}, {5, 2}, {5, 3}}), (TPixels{1 << 16, 2 << 16, 3 << 16, 4 << 16}));
}

// A shape that waits for the screen while its window moves is drawn where
// the window is when it gets the screen, never at a mixture of the two.
TEST(DC_Threads, AShapeWaitingForTheScreenDrawsWhereTheWindowIsThen) {
  TBitmap screen(8, 1);
  auto lock = std::make_shared<TDevice_Binding::TLock>();
  auto binding = std::make_shared<TDevice_Binding>(screen.Surface(), lock);
  TDC window(binding);
  window.SelectObject(TPen(TColor(255, 0, 0)));
  std::unique_lock hold(*lock);
  std::thread worker([&] {
    window.MoveTo(0, 0);
    window.LineTo(1, 0);
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(100));  // the worker waits for the lock
  binding->Set_Origin(TPoint(5, 0));
  hold.unlock();
  worker.join();
  EXPECT_EQ(Pixels_At(*screen.Surface(), {{5, 0}, {0, 0}}), (TPixels{0xFF0000, 0}));
}

}  // namespace
