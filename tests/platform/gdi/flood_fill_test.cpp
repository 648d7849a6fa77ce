#include "platform/gdi/flood_fill.h"

#include <gtest/gtest.h>

#include <deque>
#include <random>
#include <vector>

#include "platform/gdi/surface.h"
#include "tests/platform/gdi/span_grid.h"

namespace {

// The area by a plain breadth-first search, one pixel at a time.
std::vector<bool> Oracle(const TPixel_View& v, TPoint seed, uint32_t value, TFlood_Mode mode,
                         TRect clip) {
  std::vector<bool> in(size_t(v.width) * v.height, false);
  TRect area = clip.Intersection(TRect(0, 0, v.width, v.height));
  auto match = [&](int x, int y) {
    return area.Contains(TPoint(x, y)) && ((v.Pixel(x, y) == value) == (mode == TFlood_Mode::Surface));
  };
  if (!match(seed.x, seed.y)) return in;
  std::deque<TPoint> queue = {seed};
  in[size_t(seed.y) * v.width + seed.x] = true;
  while (!queue.empty()) {
    TPoint p = queue.front();
    queue.pop_front();
    for (TPoint d : {TPoint(1, 0), TPoint(-1, 0), TPoint(0, 1), TPoint(0, -1)}) {
      TPoint q = p + d;
      if (!match(q.x, q.y) || in[size_t(q.y) * v.width + q.x]) continue;
      in[size_t(q.y) * v.width + q.x] = true;
      queue.push_back(q);
    }
  }
  return in;
}

}  // namespace

TEST(Flood_Fill, MatchesBreadthFirstOracleOnRandomPictures) {
  std::mt19937 rng(17);
  for (int trial = 0; trial < 800; ++trial) {
    const int depths[4] = {1, 4, 8, 32};
    int bpp = depths[trial % 4];
    int w = 1 + int(rng() % 40), h = 1 + int(rng() % 30);
    TSurface pic(w, h, bpp, trial % 3 == 0);
    // Few values, so areas are large and winding.
    uint32_t values = bpp == 1 ? 2 : 3;
    int density = int(rng() % 4);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        pic.Set_Pixel(x, y, uint32_t(rng() % 4 <= uint32_t(density) ? rng() % values : 0) * (bpp == 32 ? 0x010203u : 1));
    const TPixel_View view = pic.View();
    TPoint seed(int(rng() % w), int(rng() % h));
    TFlood_Mode mode = rng() % 2 ? TFlood_Mode::Surface : TFlood_Mode::Border;
    uint32_t value = mode == TFlood_Mode::Surface ? view.Pixel(seed.x, seed.y) : view.Pixel(int(rng() % w), int(rng() % h));
    TRect clip = trial % 5 == 0 ? TRect(int(rng() % w), int(rng() % h), w - 1, h)
                                : TRect(-3, -3, w + 3, h + 3);
    TSpan_Grid grid(TRect(-4, -4, w + 4, h + 4));
    Flood_Fill(view, seed, value, mode, clip, grid.Sink());
    std::vector<bool> want = Oracle(view, seed, value, mode, clip);
    EXPECT_LE(grid.Max_Count(), 1);
    EXPECT_EQ(grid.Strays(), 0);
    for (int y = -4; y < h + 4; ++y)
      for (int x = -4; x < w + 4; ++x) {
        bool expected = x >= 0 && y >= 0 && x < w && y < h && want[size_t(y) * w + x];
        ASSERT_EQ(grid.On(x, y), expected) << "trial " << trial << " bpp " << bpp << " at " << x << "," << y;
      }
  }
}

TEST(Flood_Fill, NothingForSeedsOutsideOrNotInTheArea) {
  TSurface pic(10, 10, 8, true);
  for (int x = 0; x < 10; ++x) pic.Set_Pixel(x, 5, 7);
  const TPixel_View view = pic.View();
  TSpan_Grid grid(TRect(0, 0, 10, 10));
  Flood_Fill(view, {3, 5}, 7, TFlood_Mode::Border, TRect(0, 0, 10, 10), grid.Sink());  // on the border
  Flood_Fill(view, {3, 2}, 7, TFlood_Mode::Surface, TRect(0, 0, 10, 10), grid.Sink());  // not of the value
  Flood_Fill(view, {3, 2}, 0, TFlood_Mode::Surface, TRect(0, 3, 10, 10), grid.Sink());  // outside clip
  Flood_Fill(view, {-1, 2}, 0, TFlood_Mode::Surface, TRect(-5, 0, 10, 10), grid.Sink());  // outside picture
  Flood_Fill(view, {3, 2}, 0, TFlood_Mode::Surface, TRect(), grid.Sink());
  Flood_Fill(view, {3, 2}, 300, TFlood_Mode::Surface, TRect(0, 0, 10, 10), grid.Sink());  // no such index
  Flood_Fill(TPixel_View(), {0, 0}, 0, TFlood_Mode::Surface, TRect(0, 0, 10, 10), grid.Sink());
  EXPECT_EQ(grid.Spans(), 0);
  // The border line splits the picture: the fill stops at it.
  TSpan_Grid top(TRect(0, 0, 10, 10));
  Flood_Fill(view, {3, 2}, 7, TFlood_Mode::Border, TRect(0, 0, 10, 10), top.Sink());
  EXPECT_EQ(top.Total(), 50);
  EXPECT_FALSE(top.On(3, 6));
}

TEST(Flood_Fill, EndsWhenTheCallerPaintsEachRunAtOnce) {
  // Painting the fill colour over the surface colour (also when both are the
  // same) or the border colour must neither loop nor change the area.
  for (uint32_t paint : {0u, 1u, 7u}) {
    TSurface pic(64, 48, 8, true);
    for (int y = 10; y < 40; ++y) pic.Set_Pixel(30, y, 7);
    for (TFlood_Mode mode : {TFlood_Mode::Surface, TFlood_Mode::Border}) {
      TSurface copy = pic;
      long area = 0;
      Flood_Fill(copy.View(), {2, 2}, mode == TFlood_Mode::Surface ? 0 : 7, mode, TRect(0, 0, 64, 48),
                 [&](int y, int x0, int x1) {
                   area += x1 - x0;
                   for (int x = x0; x < x1; ++x) copy.Set_Pixel(x, y, paint);
                 });
      EXPECT_EQ(area, 64 * 48 - 30);
    }
  }
}

TEST(Flood_Fill, FillsAHugeAreaInRuns) {
  const int w = 2000, h = 1100;
  TSurface pic(w, h, 8, true);
  // A comb of border teeth, so that runs split and merge.
  for (int x = 100; x < w; x += 200)
    for (int y = (x / 200) % 2 ? 0 : 100; y < ((x / 200) % 2 ? h - 100 : h); ++y) pic.Set_Pixel(x, y, 9);
  long area = 0;
  int spans = 0;
  Flood_Fill(pic.View(), {0, 0}, 9, TFlood_Mode::Border, TRect(0, 0, w, h), [&](int, int x0, int x1) {
    area += x1 - x0;
    ++spans;
  });
  long teeth = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) teeth += pic.Pixel(x, y) == 9;
  EXPECT_EQ(area, long(w) * h - teeth);
  EXPECT_LT(spans, 12 * h);
}
