// The four gallery views as windows onto the 12 by 12 grid. View v (n = 1,
// 3, 6, 12 cells square) shows the cells from (left, top) to (right, bottom),
// right and bottom exclusive. The windows stay nested: every view's window
// lies inside the grid and contains the windows of all smaller views; view
// 0's one cell is the focus cell.
#pragma once

#include <array>
#include <cstdint>

#include "platform/gdi/geometry.h"

class Cell_Windows {
 public:
  static constexpr int View_Count = 4;
  static constexpr int32_t Grid_Side = 12;
  static constexpr std::array<int32_t, View_Count> Side = {1, 3, 6, 12};

  Cell_Windows() { Reset(); }

  // Every view back to (0, 0, n, n).
  void Reset();
  // Makes (row, column) the focus cell; each smaller-than-view window that
  // no longer contains it shifts just enough per axis, and so do the larger
  // ones to keep containing the smaller.
  void Focus(int32_t row, int32_t column);
  // Moves the focus cell by (dr, dc), each -1, 0 or 1, where the grid
  // allows; every larger view that no longer contains it shifts by one.
  // False when the focus could not move.
  bool Move_Focus(int32_t dr, int32_t dc);
  // Scrolls view's window by up to (dr, dc) cells without leaving the grid;
  // smaller views sticking out are pulled back in, larger views follow.
  // False when nothing moved.
  bool Scroll(int view, int32_t dr, int32_t dc);
  // Whether view can scroll that way (dr, dc each -1, 0 or 1; a diagonal
  // when either of its directions can).
  bool Can_Scroll(int view, int32_t dr, int32_t dc) const;
  // Whether the windows are nested and inside the grid.
  bool Nested() const;

  // The view to start in for a store whose drawings reach at most
  // (max_row, max_column); -1 for an empty store.
  static int Starting_View(int32_t max_row, int32_t max_column);

  std::array<TRect, View_Count> window;

 private:
  // Shifts view's window by the least amount that makes it contain r.
  void Contain(int view, const TRect& r);
  // Shifts view's window back inside r (the grid or a larger window).
  void Pull_Inside(int view, const TRect& r);
};
