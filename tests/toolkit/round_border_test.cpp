#include "toolkit/round_border.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <tuple>

#include "platform/gdi/memory_dc.h"
#include "tests/toolkit/pictures_fixture.h"

namespace {

class Round_Border_Test : public Pictures_Test {
 protected:
  Round_Border border;
  TBitmap canvas{400, 300};
  TMemoryDC dc{canvas};

  void Clear() {
    dc.SelectObject(TBrush(TColor(1, 2, 3)));
    dc.PatBlt(TRect(0, 0, 400, 300), PATCOPY);
  }
};

TEST_F(Round_Border_Test, Boundary_Directions_Narrow_Towards_The_Diagonal) {
  EXPECT_EQ(The_Round_Border, &border);
  const double expected[11] = {132.79, 137.21, 143.45, 152.27, 164.75, 182.40,
                               207.35, 242.65, 267.60, 285.25, 297.73};
  const auto degrees = [](auto d) { return std::fmod(std::atan2(d.y, d.x) * 180.0 / std::numbers::pi + 360.0, 360.0); };
  for (size_t i = 0; i < 11; ++i) {
    EXPECT_NEAR(degrees(border.D[i]), expected[i], 0.01) << i;
    EXPECT_NEAR(degrees(border.Dm[i]), expected[i] - 1.0, 0.01) << i;
    EXPECT_FLOAT_EQ(border.D[11 + i].x, -border.D[i].x);
  }
}

TEST_F(Round_Border_Test, Ring_Is_Rendered_Again_Only_For_A_Larger_Frame) {
  // A frame wider or taller than the ring renders it again at the frame's size.
  const std::tuple<TRect, TSize, int> steps[] = {{TRect(10, 10, 110, 70), TSize(102, 62), 1}, {TRect(10, 10, 310, 210), TSize(302, 202), 2},
                                                 {TRect(10, 10, 110, 70), TSize(302, 202), 2}, {TRect(10, 10, 410, 70), TSize(402, 62), 3},
                                                 {TRect(10, 10, 110, 270), TSize(102, 262), 4}};
  for (auto [frame, ring, rendered] : steps) {
    border.Blit_Clipped(dc, frame, 5, 0);
    ASSERT_TRUE(border.Ring[0]);
    EXPECT_EQ(std::pair(border.Ring[0]->Size(), border.Rings_Rendered), std::pair(ring, rendered));
  }
  EXPECT_FALSE(border.Ring[1]);
}

TEST_F(Round_Border_Test, Band_Is_Elliptic_And_Shaded_By_Direction) {
  Clear();
  const TRect frame(50, 50, 250, 250);
  border.Blit_Clipped(dc, frame, 12, 0);
  const uint32_t untouched = 0x010203;
  EXPECT_EQ(Pixel(canvas, 51, 51), untouched);    // corner of the rectangle: outside the ellipse
  EXPECT_EQ(Pixel(canvas, 150, 150), untouched);  // inside the band
  EXPECT_NE(Pixel(canvas, 150, 53), untouched);   // the band at the top
  // Upper left is the lightest shade, lower right the darkest in variant 0.
  const int d = int(100 * 0.7071) - 4;
  EXPECT_EQ(std::pair(Pixel(canvas, 150 - d, 150 - d), Pixel(canvas, 150 + d, 150 + d)), std::pair(Scheme_Xrgb(49), Scheme_Xrgb(38)));
  Clear();
  border.Blit_Clipped(dc, frame, 12, 1);
  EXPECT_EQ(std::pair(Pixel(canvas, 150 - d, 150 - d), Pixel(canvas, 150 + d, 150 + d)), std::pair(Scheme_Xrgb(38), Scheme_Xrgb(49)));
}

// Every pixel of the band is painted, in the panels' frames too (the largest
// reaching past its picture).
TEST_F(Round_Border_Test, Every_Band_Pixel_Is_Painted) {
  const struct { int side, margin, band; } cases[] = {{100, 10, 12}, {394, -9, 4}, {462, -11, 5}, {588, -12, 5}};
  for (const auto& c : cases) {
    for (int variant : {0, 1}) {
      Round_Border fresh;
      TBitmap picture(c.side, c.side);
      TMemoryDC on(picture);
      on.SelectObject(TBrush(TColor(1, 2, 3)));
      on.PatBlt(TRect(0, 0, c.side, c.side), PATCOPY);
      const TRect frame(c.margin, c.margin, c.side - c.margin, c.side - c.margin);
      fresh.Blit_Clipped(on, frame, c.band, variant);
      const TRect inner(frame.left + c.band, frame.top + c.band, frame.right - c.band, frame.bottom - c.band);
      const TRegion band = TRegion::Ellipse(frame) - TRegion::Ellipse(inner);
      int unpainted = 0;  // left as it was, or cut from a pixel of the ring that no wedge painted
      for (int y = 0; y < c.side; ++y)
        for (int x = 0; x < c.side; ++x) {
          const uint32_t p = Pixel(picture, x, y);
          unpainted += band.Contains({x, y}) && (p == 0x010203u || p == 0);
        }
      EXPECT_EQ(unpainted, 0) << c.side << " variant " << variant;
    }
  }
}

TEST_F(Round_Border_Test, Clip_Is_Kept_Or_Absent_As_It_Was) {
  TRegion none;
  border.Blit_Clipped(dc, TRect(0, 0, 200, 200), 10, 0);
  EXPECT_FALSE(dc.GetClipRgn(none));
  // A clip of the left half stays, and cuts the band.
  Clear();
  const TRegion left(TRect(0, 0, 100, 300));
  dc.SelectClipRgn(left);
  border.Blit_Clipped(dc, TRect(0, 0, 200, 200), 10, 0);
  TRegion after;
  ASSERT_TRUE(dc.GetClipRgn(after));
  EXPECT_TRUE(after == left);
  EXPECT_NE(Pixel(canvas, 3, 100), 0x010203u);
  EXPECT_EQ(Pixel(canvas, 196, 100), 0x010203u);
  dc.RemoveClipRgn();
}

TEST_F(Round_Border_Test, Bevel_Pixels) {
  Clear();
  border.Draw_Bevel(dc, TRect(0, 0, 10, 10));
  for (int i = 0; i <= 9; ++i) EXPECT_TRUE(Pixel(canvas, 0, i + 1) == Scheme_Xrgb(0) && Pixel(canvas, i, 0) == Scheme_Xrgb(0)) << i;
  EXPECT_EQ(Pixel(canvas, 10, 0), 0x010203u);
  // (x, y, scheme colour); at (9, 1) the dark line leaves out its last pixel.
  using Dot = std::tuple<int, int, int>;
  for (auto [x, y, i] : {Dot{1, 1, 49}, Dot{1, 8, 38}, Dot{9, 9, 3}, Dot{9, 2, 3}, Dot{9, 1, 49}})
    EXPECT_EQ(Pixel(canvas, x, y), Scheme_Xrgb(i)) << x << "," << y;
  Clear();
  border.Draw_Bevel_Inverse(dc, TRect(0, 0, 10, 10));
  for (auto [x, y, i] : {Dot{0, 0, 3}, Dot{0, 9, 49}, Dot{1, 8, 0}, Dot{5, 1, 38}, Dot{5, 9, 49}})
    EXPECT_EQ(Pixel(canvas, x, y), Scheme_Xrgb(i)) << x << "," << y;
  // The pens of the bevel do not stay in the context.
  dc.MoveTo(0, 20);
  dc.LineTo(10, 20);
  EXPECT_EQ(Pixel(canvas, 5, 20), 0u);
}

}  // namespace
