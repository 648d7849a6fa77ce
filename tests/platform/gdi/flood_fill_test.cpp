#include "platform/gdi/flood_fill.h"

#include <gtest/gtest.h>

#include <cstring>
#include <deque>
#include <random>
#include <vector>

#include "tests/platform/gdi/span_grid.h"

namespace {

// A picture of any depth in its own buffer, stored top-down or bottom-up.
struct TPicture {
  std::vector<uint8_t> buffer;
  TPixel_View view;

  TPicture(int width, int height, int bpp, bool bottom_up) {
    long stride = ((long(width) * bpp + 31) / 32) * 4;
    buffer.assign(size_t(stride) * height + 1, 0);
    view.width = width;
    view.height = height;
    view.bits_per_pixel = bpp;
    view.stride = bottom_up ? -stride : stride;
    view.bits = bottom_up ? buffer.data() + stride * (height - 1) : buffer.data();
  }
  void Set(int x, int y, uint32_t v) {
    uint8_t* row = view.bits + y * view.stride;
    switch (view.bits_per_pixel) {
      case 1: row[x >> 3] = uint8_t((row[x >> 3] & ~(0x80 >> (x & 7))) | ((v & 1) << (7 - (x & 7)))); break;
      case 4: {
        int shift = (x & 1) ? 0 : 4;
        row[x >> 1] = uint8_t((row[x >> 1] & ~(0xF << shift)) | ((v & 0xF) << shift));
        break;
      }
      case 8: row[x] = uint8_t(v); break;
      case 32: std::memcpy(row + 4 * x, &v, 4); break;
    }
  }
};

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
    TPicture pic(w, h, bpp, trial % 3 == 0);
    // Few values, so areas are large and winding.
    uint32_t values = bpp == 1 ? 2 : 3;
    int density = int(rng() % 4);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        pic.Set(x, y, (rng() % 4 <= uint32_t(density)) ? rng() % values : 0);
    if (bpp == 32)
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) pic.Set(x, y, pic.view.Pixel(x, y) * 0x010203u);
    TPoint seed(int(rng() % w), int(rng() % h));
    TFlood_Mode mode = rng() % 2 ? TFlood_Mode::Surface : TFlood_Mode::Border;
    uint32_t value = mode == TFlood_Mode::Surface ? pic.view.Pixel(seed.x, seed.y)
                                                   : pic.view.Pixel(int(rng() % w), int(rng() % h));
    TRect clip = trial % 5 == 0 ? TRect(int(rng() % w), int(rng() % h), w - 1, h)
                                : TRect(-3, -3, w + 3, h + 3);
    TSpan_Grid grid(TRect(-4, -4, w + 4, h + 4));
    Flood_Fill(pic.view, seed, value, mode, clip, grid.Sink());
    std::vector<bool> want = Oracle(pic.view, seed, value, mode, clip);
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
  TPicture pic(10, 10, 8, true);
  for (int x = 0; x < 10; ++x) pic.Set(x, 5, 7);
  TSpan_Grid grid(TRect(0, 0, 10, 10));
  Flood_Fill(pic.view, {3, 5}, 7, TFlood_Mode::Border, TRect(0, 0, 10, 10), grid.Sink());  // on the border
  Flood_Fill(pic.view, {3, 2}, 7, TFlood_Mode::Surface, TRect(0, 0, 10, 10), grid.Sink());  // not of the value
  Flood_Fill(pic.view, {3, 2}, 0, TFlood_Mode::Surface, TRect(0, 3, 10, 10), grid.Sink());  // outside clip
  Flood_Fill(pic.view, {-1, 2}, 0, TFlood_Mode::Surface, TRect(-5, 0, 10, 10), grid.Sink());  // outside picture
  Flood_Fill(pic.view, {3, 2}, 0, TFlood_Mode::Surface, TRect(), grid.Sink());
  Flood_Fill(pic.view, {3, 2}, 300, TFlood_Mode::Surface, TRect(0, 0, 10, 10), grid.Sink());  // no such index
  Flood_Fill(TPixel_View(), {0, 0}, 0, TFlood_Mode::Surface, TRect(0, 0, 10, 10), grid.Sink());
  EXPECT_EQ(grid.Spans(), 0);
  // The border line splits the picture: the fill stops at it.
  TSpan_Grid top(TRect(0, 0, 10, 10));
  Flood_Fill(pic.view, {3, 2}, 7, TFlood_Mode::Border, TRect(0, 0, 10, 10), top.Sink());
  EXPECT_EQ(top.Total(), 50);
  EXPECT_FALSE(top.On(3, 6));
}

TEST(Flood_Fill, EndsWhenTheCallerPaintsEachRunAtOnce) {
  // Painting the fill colour over the surface colour (also when both are the
  // same) or the border colour must neither loop nor change the area.
  for (uint32_t paint : {0u, 1u, 7u}) {
    TPicture pic(64, 48, 8, true);
    for (int y = 10; y < 40; ++y) pic.Set(30, y, 7);
    for (TFlood_Mode mode : {TFlood_Mode::Surface, TFlood_Mode::Border}) {
      TPicture copy = pic;
      copy.view.bits = copy.buffer.data() + (pic.view.bits - pic.buffer.data());
      long area = 0;
      Flood_Fill(copy.view, {2, 2}, mode == TFlood_Mode::Surface ? 0 : 7, mode, TRect(0, 0, 64, 48),
                 [&](int y, int x0, int x1) {
                   area += x1 - x0;
                   for (int x = x0; x < x1; ++x) copy.Set(x, y, paint);
                 });
      EXPECT_EQ(area, 64 * 48 - 30);
    }
  }
}

TEST(Flood_Fill, FillsAHugeAreaInRuns) {
  const int w = 2000, h = 1100;
  TPicture pic(w, h, 8, true);
  // A comb of border teeth, so that runs split and merge.
  for (int x = 100; x < w; x += 200)
    for (int y = (x / 200) % 2 ? 0 : 100; y < ((x / 200) % 2 ? h - 100 : h); ++y) pic.Set(x, y, 9);
  long area = 0;
  int spans = 0;
  Flood_Fill(pic.view, {0, 0}, 9, TFlood_Mode::Border, TRect(0, 0, w, h), [&](int, int x0, int x1) {
    area += x1 - x0;
    ++spans;
  });
  long teeth = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) teeth += pic.view.Pixel(x, y) == 9;
  EXPECT_EQ(area, long(w) * h - teeth);
  EXPECT_LT(spans, 12 * h);
}
