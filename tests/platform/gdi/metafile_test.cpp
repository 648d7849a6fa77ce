#include "platform/gdi/metafile.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/gdi/metafile_recorder.h"
#include "platform/gdi/png_writer.h"
#include "tests/platform/gdi/dc_canvas.h"

namespace {

constexpr uint32_t Blue = 0x000000FF;  // 0x00RRGGBB as the surface holds it
constexpr uint32_t Red = 0x00FF0000;
constexpr uint32_t White = 0x00FFFFFF;

// A picture in its own frame with logical y growing upward: window origin
// (0, 100), extent (200, -100). A blue block fills the lower left quarter.
TMetafile_Recorder Quarter_Picture() {
  TMetafile_Recorder r;
  r.SetWindowOrg(0, 100);
  r.SetWindowExt(200, -100);
  r.SelectObject(r.CreatePenIndirect(PS_NULL, 0, 0));
  r.SelectObject(r.CreateBrushIndirect(BS_SOLID, RGB(0, 0, 255), 0));
  r.Rectangle(TRect(0, 0, 101, 51));  // the null pen leaves out the last row and column
  return r;
}

TEST(Metafile, PlaysScaledIntoTheRectangleAndPutsTheContextBack) {
  const TMetaFilePict picture(Quarter_Picture().Bytes());
  ASSERT_TRUE(picture.IsOK());

  TCanvas full(220, 130);
  EXPECT_TRUE(picture.Play(full.dc, TRect(10, 20, 210, 120)));
  // Logical y = 0 is the bottom edge of the target, which a rectangle leaves
  // out as it leaves out its bottom edge on the device.
  EXPECT_EQ(full.At({{10, 118}, {109, 69}, {10, 119}, {110, 100}, {50, 68}, {9, 100}}),
            (TPixels{Blue, Blue, White, White, White, White}));
  EXPECT_EQ(full.Count(Blue), 100 * 50);

  // Half the size.
  TCanvas half(100, 50);
  picture.Play(half.dc, TRect(0, 0, 100, 50));
  EXPECT_EQ(half.At({{0, 48}, {49, 25}, {50, 25}, {0, 24}}), (TPixels{Blue, Blue, White, White}));
  EXPECT_EQ(half.Count(Blue), 50 * 24);
  // Playing puts the context back.
  TMetafile_Recorder recorder = Quarter_Picture();
  recorder.SetTextColor(RGB(1, 2, 3));
  recorder.SetBkColor(RGB(4, 5, 6));
  recorder.SetBkMode(TRANSPARENT);
  recorder.SetTextAlign(TA_CENTER);
  recorder.SetPolyFillMode(WINDING);
  const TMetaFilePict coloured(recorder.Bytes());

  TCanvas c(50, 50);
  c.dc.SetWindowOrg(TPoint(3, 4));
  c.dc.SelectObject(TBrush(TColor(RGB(255, 0, 0))));
  coloured.Play(c.dc, TRect(0, 0, 50, 50));
  EXPECT_EQ(std::tuple(c.dc.GetMapMode(), c.dc.GetWindowOrg(), c.dc.GetWindowExt(), c.dc.GetViewportOrg()),
            std::tuple(MM_TEXT, TPoint(3, 4), TSize(1, 1), TPoint(0, 0)));
  EXPECT_EQ(std::pair(c.dc.GetTextColor(), c.dc.GetBkColor()), std::pair(TColor::Black, TColor::White));
  EXPECT_EQ(std::tuple(c.dc.GetBkMode(), c.dc.GetTextAlign(), c.dc.GetPolyFillMode()),
            std::tuple(OPAQUE, TA_LEFT | TA_TOP, ALTERNATE));
  // The context's own brush is selected again (the metafile's was blue).
  c.dc.SelectObject(TPen::Stock(NULL_PEN));
  c.dc.Rectangle(TRect(40, 40, 50, 50));
  EXPECT_EQ(c.At(40, 40), Red);
}

TEST(Metafile, ObjectsDeletedWhileSelectedKeepDrawingAndDegenerateFramesDoNotFail) {
  TMetafile_Recorder r;
  r.SetWindowExt(10, 10);
  const int brush = r.CreateBrushIndirect(BS_SOLID, RGB(255, 0, 0), 0);
  const int pen = r.CreatePenIndirect(PS_SOLID, 1, RGB(255, 0, 0));
  r.SelectObject(brush);
  r.SelectObject(pen);
  r.DeleteObject(brush);
  r.DeleteObject(pen);
  const TPoint square[] = {{2, 2}, {8, 2}, {8, 8}, {2, 8}};
  r.Polygon(square, 4);
  TCanvas c(10, 10);
  EXPECT_TRUE(TMetaFilePict(r.Bytes()).Play(c.dc, TRect(0, 0, 10, 10)));
  EXPECT_EQ(c.At({{5, 5}, {2, 2}, {1, 1}}), (TPixels{Red, Red, White}));
  // Degenerate frames draw nothing and do not fail.
  TMetafile_Recorder zero_window;
  zero_window.SetWindowExt(0, 0);
  zero_window.SelectObject(zero_window.CreateBrushIndirect(BS_SOLID, RGB(255, 0, 0), 0));
  zero_window.Rectangle(TRect(-32768, -32768, 32767, 32767));
  zero_window.Ellipse(TRect(-32768, -32768, 32767, 32767));
  TMetaFilePict(zero_window.Bytes()).Play(c.dc, TRect(0, 0, 20, 20));
  TMetaFilePict(Quarter_Picture().Bytes()).Play(c.dc, TRect(5, 5, 5, 5));  // an empty target
  TMetaFilePict(Quarter_Picture().Bytes()).Play(c.dc, TRect(15, 15, 5, 5));  // a reversed one
  EXPECT_EQ(std::pair(c.dc.GetMapMode(), c.dc.SaveDC()), std::pair(MM_TEXT, 1));  // every save of the plays undone
}

TEST(Metafile, DamagedDataPlaysUpToTheDamage) {
  std::vector<uint8_t> bytes = Quarter_Picture().Bytes();
  // A second rectangle whose size claims more bytes than exist.
  bytes.resize(bytes.size() - 6);  // drop the end record
  for (uint8_t b : {0xFF, 0xFF, 0x00, 0x00, 0x1B, 0x04, 0, 0, 0, 0}) bytes.push_back(b);
  const TMetaFilePict picture(bytes);
  EXPECT_TRUE(picture.IsOK() && !picture.Is_Complete());
  TCanvas c(200, 100);
  EXPECT_FALSE(picture.Play(c.dc, TRect(0, 0, 200, 100)));
  EXPECT_EQ(c.Count(Blue), 100 * 50);
  EXPECT_EQ(c.dc.GetMapMode(), MM_TEXT);

  // Not a metafile at all: nothing is drawn, nothing changes.
  const uint8_t junk[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20};
  TMetaFilePict nothing(junk, sizeof junk);
  EXPECT_FALSE(nothing.IsOK() || nothing.Play(c.dc, TRect(0, 0, 200, 100)));
  EXPECT_FALSE(TMetaFilePict(nullptr, 0).Play(c.dc));
}

// The same calls made on a context and recorded then played draw the same
// pixels: the recorder, the reader and the player agree.
TEST(Metafile, RecordedDrawingPlaysBackPixelForPixel) {
  const TPoint star[] = {{0, 0}, {100, 140}, {200, 0}, {-10, 90}, {210, 90}};
  const TPoint rings[] = {{220, 10}, {370, 10}, {370, 130}, {220, 130}, {250, 40}, {340, 40}, {340, 100}, {250, 100}};
  const int ring_counts[] = {4, 4};
  const TPoint zigzag[] = {{0, -100}, {50, -50}, {100, -100}, {150, -50}};
  const TRect clip(0, -150, 80, -130);
  // The same calls on the context and the recorder; only the objects are made differently.
  auto draw = [&](auto& to, auto pen, auto yellow, auto hatch, auto font) {
    to.SelectObject(pen);
    to.SelectObject(yellow);
    to.SetPolyFillMode(WINDING);
    to.Polygon(star, 5);
    to.SelectObject(hatch);
    to.PolyPolygon(rings, ring_counts, 2);
    to.Ellipse(TRect(-10, -20, 120, -140));
    to.Rectangle(TRect(250, -40, 360, -120));
    to.Polyline(zigzag, 4);
    to.SelectObject(font);
    to.SetTextColor(RGB(255, 0, 0));
    to.SetBkMode(TRANSPARENT);
    to.SetTextAlign(TA_CENTER | TA_TOP);
    to.TextOut(180, 140, "\x93Quendar\x94 \x80");
    to.SetBkColor(RGB(0, 255, 255));
    to.SetTextAlign(TA_LEFT | TA_TOP);
  };
  TCanvas direct(200, 150);
  direct.dc.SetMapMode(MM_ANISOTROPIC);
  direct.dc.SetViewportExt(TSize(200, 150));
  direct.dc.SetWindowOrg(TPoint(-20, 150));
  direct.dc.SetWindowExt(TSize(400, -300));
  draw(direct.dc, TPen(TColor(RGB(0, 0, 0)), 4), TBrush(TColor(RGB(255, 255, 0))),
       TBrush(TColor(RGB(0, 128, 0)), HS_DIAGCROSS), TFont("Arial", -24, 700));
  direct.dc.ExtTextOut(TPoint(0, -130), ETO_OPAQUE | ETO_CLIPPED, &clip, "clipped text");
  TMetafile_Recorder r;
  r.SetWindowOrg(-20, 150);
  r.SetWindowExt(400, -300);
  const int pen = r.CreatePenIndirect(PS_SOLID, 4, RGB(0, 0, 0)), yellow = r.CreateBrushIndirect(BS_SOLID, RGB(255, 255, 0), 0);
  draw(r, pen, yellow, r.CreateBrushIndirect(BS_HATCHED, RGB(0, 128, 0), HS_DIAGCROSS), r.CreateFontIndirect({"Arial", -24, 700}));
  r.ExtTextOut(0, -130, ETO_OPAQUE | ETO_CLIPPED, &clip, "clipped text", nullptr);

  TCanvas played(200, 150);
  EXPECT_TRUE(TMetaFilePict(r.Bytes()).Play(played.dc, TRect(0, 0, 200, 150)));
  EXPECT_EQ(played.Picture(), direct.Picture());
  EXPECT_TRUE(played.Pixels() == direct.Pixels());
  EXPECT_GT(played.Count(Red), 20);                      // the text is there
  EXPECT_GT(played.Count(0x00FFFF00), 100);              // the yellow star
  EXPECT_GT(played.Count(0x0000FFFF), 10);               // the opaque text box

  if (std::string path = Snapshot_Path("metafile_round_trip"); !path.empty()) {
    Write_PNG_RGB(path, 200, 150, reinterpret_cast<const uint32_t*>(played.bitmap.Surface()->Bits()),
                  played.bitmap.Surface()->Stride() / 4);
  }
}

TEST(Metafile, PicturesOfTheClipboardPlay) {
  // An 8-bit 3 x 2 DIB as the clipboard records it: header, table, bits
  // bottom row first, rows padded to 4 bytes.
  std::vector<uint8_t> dib = {40, 0, 0, 0, 3, 0, 0, 0, 2, 0, 0, 0, 1, 0, 8, 0};  // 3 x 2, one plane, 8 bits
  dib.resize(40);
  dib[32] = 3;  // colours used: red, green, blue as blue, green, red, 0
  for (uint8_t b : {0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0, /* bottom row: */ 0, 1, 2, 0, /* top: */ 2, 2, 1, 0})
    dib.push_back(b);

  TMetafile_Recorder r;
  r.SetWindowExt(3, 2);
  r.SetWindowOrg(0, 0);
  r.SetDIBitsToDevice(0, 0, 3, 2, 0, 0, 0, 2, dib.data(), dib.size(), 0);
  TCanvas c(3, 2);
  EXPECT_TRUE(TMetaFilePict(r.Bytes()).Play(c.dc, TRect(0, 0, 3, 2)));
  EXPECT_EQ(c.Pixels(), (TPixels{0x0000FF, 0x0000FF, 0x00FF00, 0xFF0000, 0x00FF00, 0x0000FF}));

  // A DIB of the layer recorded whole: what the clipboard does.
  TDib picture(5, 3, 8, 4);
  const uint32_t colours[] = {0x00FFFFFF, 0x00FF0000, 0x0000FF00, 0x00123456};
  picture.SetColorTable(0, 4, colours);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) picture.GetBits()[y * picture.Pitch() + x] = static_cast<uint8_t>((x + y) % 4);
  TMetafile_Recorder whole;
  whole.SetWindowOrg(0, 0);
  whole.SetWindowExt(5, 3);
  whole.SetDIBitsToDevice(0, 0, picture);
  TCanvas board(5, 3);
  EXPECT_TRUE(TMetaFilePict(whole.Bytes()).Play(board.dc, TRect(0, 0, 5, 3)));
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) EXPECT_EQ(board.At(x, 2 - y), colours[(x + y) % 4]) << x << "," << y;

  // A DIB whose bits are cut short is left out, not read past its end.
  std::vector<uint8_t> short_dib(dib.begin(), dib.end() - 4);
  TMetafile_Recorder cut;
  cut.SetWindowExt(3, 2);
  cut.SetDIBitsToDevice(0, 0, 3, 2, 0, 0, 0, 2, short_dib.data(), short_dib.size(), 0);
  TCanvas untouched(3, 2);
  EXPECT_TRUE(TMetaFilePict(cut.Bytes()).Play(untouched.dc, TRect(0, 0, 3, 2)));
  EXPECT_EQ(untouched.Count(White), 6);
}

}  // namespace
