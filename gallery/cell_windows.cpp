#include "gallery/cell_windows.h"

#include <algorithm>

namespace {

const TRect Whole_Grid(0, 0, Cell_Windows::Grid_Side, Cell_Windows::Grid_Side);

int32_t Shift_To_Contain(int32_t lo, int32_t hi, int32_t inner_lo, int32_t inner_hi) {
  if (inner_lo < lo) return inner_lo - lo;
  if (inner_hi > hi) return inner_hi - hi;
  return 0;
}

int32_t Shift_Inside(int32_t lo, int32_t hi, int32_t outer_lo, int32_t outer_hi) {
  if (lo < outer_lo) return outer_lo - lo;
  if (hi > outer_hi) return outer_hi - hi;
  return 0;
}

}  // namespace

void Cell_Windows::Reset() {
  for (int v = 0; v < View_Count; ++v) window[size_t(v)] = TRect(0, 0, Side[size_t(v)], Side[size_t(v)]);
}

void Cell_Windows::Contain(int v, const TRect& r) {
  TRect& w = window[size_t(v)];
  w = w.Offset_By(Shift_To_Contain(w.left, w.right, r.left, r.right), Shift_To_Contain(w.top, w.bottom, r.top, r.bottom));
}

void Cell_Windows::Pull_Inside(int v, const TRect& r) {
  TRect& w = window[size_t(v)];
  w = w.Offset_By(Shift_Inside(w.left, w.right, r.left, r.right), Shift_Inside(w.top, w.bottom, r.top, r.bottom));
}

void Cell_Windows::Focus(int32_t row, int32_t column) {
  row = std::clamp(row, 0, Grid_Side - 1);
  column = std::clamp(column, 0, Grid_Side - 1);
  window[0] = TRect(column, row, column + 1, row + 1);
  for (int v = 1; v < View_Count; ++v) Contain(v, window[size_t(v - 1)]);
}

bool Cell_Windows::Move_Focus(int32_t dr, int32_t dc) {
  const TRect& f = window[0];
  const int32_t row = std::clamp(f.top + dr, 0, Grid_Side - 1);
  const int32_t column = std::clamp(f.left + dc, 0, Grid_Side - 1);
  if (row == f.top && column == f.left) return false;
  Focus(row, column);
  return true;
}

bool Cell_Windows::Scroll(int v, int32_t dr, int32_t dc) {
  TRect& w = window[size_t(v)];
  const TRect before = w;
  const int32_t dx = std::clamp(dc, -w.left, Grid_Side - w.right);
  const int32_t dy = std::clamp(dr, -w.top, Grid_Side - w.bottom);
  w = w.Offset_By(dx, dy);
  for (int s = v - 1; s >= 0; --s) Pull_Inside(s, window[size_t(s + 1)]);
  for (int l = v + 1; l < View_Count; ++l) Contain(l, window[size_t(l - 1)]);
  return !(w == before);
}

bool Cell_Windows::Can_Scroll(int v, int32_t dr, int32_t dc) const {
  const TRect& w = window[size_t(v)];
  const bool vertical = (dr < 0 && w.top > 0) || (dr > 0 && w.bottom < Grid_Side);
  const bool horizontal = (dc < 0 && w.left > 0) || (dc > 0 && w.right < Grid_Side);
  return vertical || horizontal;
}

bool Cell_Windows::Nested() const {
  for (int v = 0; v < View_Count; ++v) {
    const TRect& w = window[size_t(v)];
    if (w.Width() != Side[size_t(v)] || w.Height() != Side[size_t(v)] || !Whole_Grid.Contains(w)) return false;
    if (v > 0 && !w.Contains(window[size_t(v - 1)])) return false;
  }
  return true;
}

int Cell_Windows::Starting_View(int32_t max_row, int32_t max_column) {
  if (max_row < 0 && max_column < 0) return 1;
  for (int v = 1; v < View_Count; ++v)
    if (Side[size_t(v)] > max_row && Side[size_t(v)] > max_column) return v;
  return View_Count - 1;
}
