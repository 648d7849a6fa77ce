// The gallery window's geometry: cell grids, the nested view windows with
// their focus and scrolling, the starting view, the arrows' enablers, the
// whole layout at each screen size and the bin's pile.
#include <gtest/gtest.h>

#include <random>

#include "gallery/cell_windows.h"
#include "gallery/gallery_layout.h"
#include "gallery/grid_geometry.h"
#include "gallery/recycling_bin_io.h"
#include "toolkit/gui_sizes.h"

namespace {

TEST(Grid_Geometry, Cells_Are_Centred_And_Hits_Miss_Margins_Gaps_And_The_Outside) {
  // Cell 10, margin 2, gap 3: pitch 17, extent 3 x 17 - 3 = 48, centred on
  // (101, 51): left 101 - 24 = 77.
  const Grid_Geometry g(TPoint(101, 51), 3, 3, 10, 2, 3);
  EXPECT_EQ(g.pitch_x, 17);
  EXPECT_EQ(g.bounds, TRect(77, 27, 125, 75));
  EXPECT_EQ(g.Outer(1, 2), TRect(77 + 34, 27 + 17, 77 + 34 + 14, 27 + 17 + 14));
  EXPECT_EQ(g.Inner(1, 2), TRect(113, 46, 123, 56));
  EXPECT_EQ(g.Cover(0, 1, 2, 2), TRect(94, 27, 125, 75));
  // An odd extent: the half is rounded toward zero, the right edge follows.
  const Grid_Geometry odd(TPoint(0, 0), 1, 1, 5, 0, 0);
  EXPECT_EQ(odd.bounds, TRect(-2, -2, 3, 3));

  struct Case {
    TPoint p;
    bool hit;
    int32_t row, column;
  } cases[] = {
      {{79, 29}, true, 0, 0},    {{88, 38}, true, 0, 0},   {{89, 38}, false, 0, 0},  // right margin
      {{92, 30}, false, 0, 0},   {{96, 46}, true, 1, 1},   {{123, 73}, false, 0, 0},  // last column's margin
      {{122, 72}, true, 2, 2},   {{76, 29}, false, 0, 0},  {{70, 29}, false, 0, 0},   // left of the grid
      {{79, 20}, false, 0, 0},   {{130, 30}, false, 0, 0}, {{79, 80}, false, 0, 0},
  };
  for (const Case& c : cases) {
    int32_t r = -1, col = -1;
    EXPECT_EQ(g.Hit(c.p, r, col), c.hit) << c.p.x << "," << c.p.y;
    if (c.hit) {
      EXPECT_EQ(std::pair(r, col), std::pair(c.row, c.column)) << c.p.x << "," << c.p.y;
    }
  }
}

TEST(Cell_Windows, Starting_View_Follows_The_Largest_Row_Or_Column) {
  struct Case {
    int32_t row, column;
    int view;
  } cases[] = {{-1, -1, 1}, {0, 0, 1}, {2, 1, 1}, {1, 2, 1}, {3, 0, 2}, {0, 5, 2}, {5, 5, 2}, {6, 0, 3}, {0, 11, 3}};
  for (const Case& c : cases) EXPECT_EQ(Cell_Windows::Starting_View(c.row, c.column), c.view) << c.row << "," << c.column;
}

TEST(Cell_Windows, Arrow_Enablers_At_The_Corners_And_In_The_Whole_Grid) {
  Cell_Windows w;
  const int32_t dr[8] = {-1, 1, 0, 0, -1, -1, 1, 1}, dc[8] = {0, 0, -1, 1, -1, 1, -1, 1};
  // 6 by 6 at the top left: down, right and the three diagonals with down or right.
  const bool top_left[8] = {false, true, false, true, false, true, true, true};
  for (int i = 0; i < 8; ++i) EXPECT_EQ(w.Can_Scroll(2, dr[i], dc[i]), top_left[i]) << i;
  for (int i = 0; i < 8; ++i) EXPECT_FALSE(w.Can_Scroll(3, dr[i], dc[i])) << i;
  // At the bottom right the opposite ones.
  EXPECT_TRUE(w.Scroll(2, 12, 12));
  EXPECT_EQ(w.window[2], TRect(6, 6, 12, 12));
  for (int i = 0; i < 8; ++i) EXPECT_EQ(w.Can_Scroll(2, dr[i], dc[i]), i != 1 && i != 3 && i != 7) << i;
}

TEST(Cell_Windows, Focus_And_Scrolling_Keep_The_Windows_Nested) {
  Cell_Windows w;
  // Focus on a cell outside the smaller windows drags them along, no further.
  w.Focus(4, 5);
  EXPECT_EQ(w.window[0], TRect(5, 4, 6, 5));
  EXPECT_EQ(w.window[1], TRect(3, 2, 6, 5));
  EXPECT_EQ(w.window[2], TRect(0, 0, 6, 6));
  // The focus moves by one; the 3 by 3 window follows by one.
  EXPECT_TRUE(w.Move_Focus(0, 1));
  EXPECT_EQ(w.window[1], TRect(4, 2, 7, 5));
  EXPECT_EQ(w.window[2], TRect(1, 0, 7, 6));
  // Scrolling a larger view pulls the smaller ones back in.
  EXPECT_TRUE(w.Scroll(2, 0, -12));
  EXPECT_EQ(w.window[2], TRect(0, 0, 6, 6));
  EXPECT_EQ(w.window[1], TRect(3, 2, 6, 5));
  EXPECT_EQ(w.window[0], TRect(5, 4, 6, 5));
  EXPECT_FALSE(w.Scroll(2, -1, 0));  // at the top already
  // The focus stops at the grid's edge.
  w.Focus(0, 0);
  EXPECT_FALSE(w.Move_Focus(-1, 0));

  std::mt19937 random(27);
  for (int step = 0; step < 5000; ++step) {
    switch (random() % 3) {
      case 0: w.Focus(int32_t(random() % 12), int32_t(random() % 12)); break;
      case 1: w.Move_Focus(int32_t(random() % 3) - 1, int32_t(random() % 3) - 1); break;
      default: {
        const int32_t n = int32_t(random() % 13);
        w.Scroll(int(random() % 4), int32_t(random() % 3 - 1) * n, int32_t(random() % 3 - 1) * n);
      }
    }
    ASSERT_TRUE(w.Nested()) << "step " << step;
  }
}

class Layout_At : public testing::TestWithParam<TSize> {};

TEST_P(Layout_At, Everything_Fits_The_Window_And_The_Bin_Pile_Stays_In_Its_Point) {
  const TSize screen = GetParam();
  GUI_Sizes sizes(screen.cx, screen.cy);
  const int32_t width = sizes[0], height = sizes[1] - 20;
  const Gallery_Layout layout(sizes, width, height);
  const TRect window(0, 0, width, height);
  EXPECT_TRUE(window.Contains(layout.grid_area));
  for (int v = 0; v < 4; ++v) {
    EXPECT_TRUE(layout.grid_area.Contains(layout.grid[size_t(v)]->bounds)) << v;
    // The 12 by 12 view shows no arrows; the straight arrows stand clear
    // of their view's grid (the diagonal ones reach over its corners).
    for (size_t i = 0; i < 8 && v < 3; ++i) {
      const TRect& a = layout.arrows[size_t(v)][i];
      EXPECT_TRUE(layout.grid_area.Contains(a)) << v << " " << i;
      if (i < 4) {
        EXPECT_FALSE(a.Touches(layout.grid[size_t(v)]->bounds)) << v << " " << i;
      }
    }
    EXPECT_TRUE(window.Contains(layout.view_buttons[size_t(v)])) << v;
  }
  for (const TRect& r : layout.round_buttons) EXPECT_TRUE(window.Contains(r));
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_TRUE(window.Contains(layout.points[i])) << i;
    EXPECT_LE(layout.points[i].right, layout.grid_area.left) << i;
    if (i > 0) {
      EXPECT_LT(layout.points[i - 1].bottom, layout.points[i].top) << i;
    }
  }
  // Every slot of the bin's pile lies inside the bin point.
  const TRect bin = layout.points[Gallery_Layout::Bin_Point];
  const Recycling_Bin_IO::Geometry g(bin.Width(), bin.Height(), sizes[Drawing_Side_Size] / 6);
  for (size_t k = 0; k < g.slots.size(); ++k) EXPECT_TRUE(TRect(0, 0, bin.Width(), bin.Height()).Contains(g.slots[k])) << k;
  // The pile leans back: each slot further right and higher than the last.
  for (size_t k = 1; k < g.slots.size(); ++k) {
    EXPECT_GT(g.slots[k].left, g.slots[k - 1].left) << k;
    EXPECT_LT(g.slots[k].top, g.slots[k - 1].top) << k;
  }
}

INSTANTIATE_TEST_SUITE_P(Screens, Layout_At, testing::Values(TSize(640, 480), TSize(800, 600), TSize(1024, 768), TSize(1920, 1080)));

TEST(Recycling_Bin_Pile, Which_Slot_Each_Front_Drawing_Takes) {
  struct Case {
    int32_t n;
    std::vector<int> slots;  // of positions 0, 1, ...
  } cases[] = {{0, {}},
               {1, {4}},
               {3, {2, 3, 4}},
               {5, {0, 1, 2, 3, 4}},
               {7, {0, 1, 2, 3, 4, 5, 6}},
               {10, {0, 1, 2, 3, 4, 5, 6}}};
  for (const Case& c : cases) {
    std::vector<int> got;
    for (int32_t j = 0; j < 12; ++j)
      if (Recycling_Bin_IO::Slot_Of(j, c.n) >= 0) got.push_back(Recycling_Bin_IO::Slot_Of(j, c.n));
    EXPECT_EQ(got, c.slots) << c.n;
  }
}

}  // namespace
