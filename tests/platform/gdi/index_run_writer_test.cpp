// Runs of colour-table indices put straight on a 32-bit surface: each pixel
// lands where a copy through the same clip would put it, and only the box
// given is reported drawn.
#include "platform/gdi/index_run_writer.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/gdi/dc.h"
#include "platform/gdi/dib_dc.h"
#include "tests/platform/gdi/dc_canvas.h"

namespace {

const int Width = 40, Height = 30;

uint32_t Colour(uint8_t index) { return 0x10000u * index + 0x3Fu; }

struct Index_Run {
  int x, y;
  std::vector<uint8_t> indices;
};

// Runs all over: across the clip's edges, through a hole, off the surface
// on either side, and outside the box.
std::vector<Index_Run> Runs() {
  std::vector<Index_Run> runs;
  for (int y = -2; y < Height + 2; y += 3)
    for (int x = -5; x < Width; x += 11) {
      std::vector<uint8_t> indices;
      for (int i = 0; i < 9; ++i) indices.push_back(uint8_t(1 + (x + y + i) % 200));
      runs.push_back({x, y, indices});
    }
  return runs;
}

TEST(Index_Run_Writer, Runs_Land_Through_The_Clip_Within_The_Box_At_The_Origin) {
  const TRect box(2, 1, 37, 27);
  struct Case {
    std::string name;
    std::optional<TRegion> clip;
    TPoint viewport;
  } cases[] = {
      {"no clip", std::nullopt, {0, 0}},
      {"rectangle", TRegion(TRect(5, 3, 30, 20)), {0, 0}},
      {"circle", TRegion::Ellipse(TRect(0, 0, Width, Height)), {0, 0}},
      {"ring: two spans a row", TRegion(TRect(0, 0, Width, Height)) - TRegion(TRect(10, 8, 25, 18)), {0, 0}},
      {"circle, moved origin", TRegion::Ellipse(TRect(0, 0, Width, Height)), {3, -2}},
  };
  uint32_t colours[256];
  for (int i = 0; i < 256; ++i) colours[i] = Colour(uint8_t(i));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TCanvas canvas(Width, Height);
    canvas.dc.SetViewportOrg(c.viewport);
    if (c.clip) canvas.dc.SelectClipRgn(*c.clip);
    TRect reported;
    canvas.dc.Binding()->Set_Drawn([&](const TRect& touched) { reported = touched; });
    ASSERT_TRUE(canvas.dc.Put_Index_Runs(box, colours, [](TIndex_Run_Writer& writer) {
      for (const Index_Run& run : Runs()) writer.Put(run.x, run.y, run.indices.data(), uint32_t(run.indices.size()));
    }));
    // What each pixel should be, run by run: the runs and the box move with
    // the origin, the clip (device pixels) does not.
    std::vector<uint32_t> expected(size_t(Width * Height), 0xFFFFFF);
    const TRect surface_box = box.Offset_By(c.viewport.x, c.viewport.y);
    for (const Index_Run& run : Runs())
      for (size_t i = 0; i < run.indices.size(); ++i) {
        const TPoint p(run.x + int(i) + c.viewport.x, run.y + c.viewport.y);
        const bool inside_clip = !c.clip || c.clip->Contains(p);
        if (surface_box.Contains(p) && inside_clip && p.x >= 0 && p.x < Width && p.y >= 0 && p.y < Height)
          expected[size_t(p.y * Width + p.x)] = Colour(run.indices[i]);
      }
    EXPECT_EQ(canvas.Pixels(), expected);
    const TRect surface(0, 0, Width, Height);
    EXPECT_EQ(reported, surface_box.Intersection(c.clip ? c.clip->Bounds() : surface).Intersection(surface));
  }
}

TEST(Index_Run_Writer, A_Scaling_Mapping_Or_An_Indexed_Surface_Draws_Nothing) {
  uint32_t colours[256] = {};
  const uint8_t indices[4] = {1, 2, 3, 4};
  auto put = [&](TDC& dc) {
    return dc.Put_Index_Runs(TRect(0, 0, 10, 10), colours, [&](TIndex_Run_Writer& w) { w.Put(0, 0, indices, 4); });
  };
  TCanvas scaled(10, 10);
  scaled.dc.SetMapMode(MM_ANISOTROPIC);
  scaled.dc.SetWindowExt(TSize(1, 1));
  scaled.dc.SetViewportExt(TSize(2, 2));
  EXPECT_FALSE(put(scaled.dc));
  EXPECT_EQ(scaled.Count(0xFFFFFF), 100);
  TDib indexed(10, 10, 8);
  TDibDC indexed_dc(indexed);
  EXPECT_FALSE(put(indexed_dc));
}

}  // namespace
