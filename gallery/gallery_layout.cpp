#include "gallery/gallery_layout.h"

#include <cmath>

#include "gallery/cell_windows.h"
#include "toolkit/gui_sizes.h"

int32_t Gallery_Layout::Cell(const GUI_Sizes& s, int v) { return s[Drawing_Side_Size] / Cell_Windows::Side[size_t(v)]; }
int32_t Gallery_Layout::Margin(const GUI_Sizes& s, int v) { return s[22] - (v + 1) * s[4]; }
int32_t Gallery_Layout::Gap(const GUI_Sizes& s, int v) { return s[22] - (v - 1) * s[4]; }
int32_t Gallery_Layout::Frame_Width(const GUI_Sizes& s, int v) { return (4 - v) * s[4]; }

Gallery_Layout::Gallery_Layout(const GUI_Sizes& s, int32_t width, int32_t height, TPoint origin) {
  const int32_t s29 = s[29], s36 = s[36], s4 = s[4];
  const int32_t big_pitch = Cell(s, 3) + 2 * Margin(s, 3) + Gap(s, 3);
  const int32_t extent = big_pitch * 12 - Gap(s, 3);
  const int32_t side = extent + 2 * s36 + 4 * s29;
  grid_area = TRect((width - side) / 2, s29, (width - side) / 2 + side, s29 + side);
  const TPoint centre((grid_area.left + grid_area.right) / 2, (grid_area.top + grid_area.bottom) / 2);

  for (int v = 0; v < View_Count; ++v) {
    const int32_t n = Cell_Windows::Side[size_t(v)];
    grid[size_t(v)] = std::make_unique<Grid_Geometry>(centre, n, n, Cell(s, v), Margin(s, v), Gap(s, v));
    frame_width[size_t(v)] = Frame_Width(s, v);
    // Up, down, left, right round the view's grid, then the four corners of
    // the box they span.
    const TRect& g = grid[size_t(v)]->bounds;
    const int32_t away = s36 + (v + 1) * frame_width[size_t(v)] + 2 * s4;
    auto& a = arrows[size_t(v)];
    a[0] = TRect(centre.x - s36, g.top - away, centre.x + s36, g.top - away + s36);
    a[1] = TRect(centre.x - s36, g.bottom + away - s36, centre.x + s36, g.bottom + away);
    a[2] = TRect(g.left - away, centre.y - s36, g.left - away + s36, centre.y + s36);
    a[3] = TRect(g.right + away - s36, centre.y - s36, g.right + away, centre.y + s36);
    const int32_t d = static_cast<int32_t>(s36 * std::sqrt(2.0));
    const int32_t inset = d / 4;
    const TRect box(a[2].left, a[0].top, a[3].right, a[1].bottom);
    a[4] = TRect(box.left + inset, box.top + inset, box.left + inset + d, box.top + inset + d);
    a[5] = TRect(box.right - inset - d, box.top + inset, box.right - inset, box.top + inset + d);
    a[6] = TRect(box.left + inset, box.bottom - inset - d, box.left + inset + d, box.bottom - inset);
    a[7] = TRect(box.right - inset - d, box.bottom - inset - d, box.right - inset, box.bottom - inset);
  }

  // The view buttons and the round buttons in the space right of the grid.
  const int32_t space = width - grid_area.right;
  const int32_t w = (width - side) / 2 - s29;
  const int32_t column_left = grid_area.right + (space - w) / 2;
  for (int i = 0; i < View_Count; ++i) {
    const int32_t top = grid_area.top + i * (w + s29);
    view_buttons[size_t(i)] = TRect(column_left, top, column_left + w, top + w);
  }
  const int32_t r = (w - s29) / 2 - s29;
  const int32_t pair_left = column_left + (w - (2 * r + s29)) / 2;
  const int32_t rows_top = view_buttons[3].bottom + s29;
  for (int i = 0; i < 4; ++i) {
    const int32_t left = pair_left + (i % 2) * (r + s29);
    const int32_t top = rows_top + (i / 2) * (r + s29);
    round_buttons[size_t(i)] = TRect(left, top, left + r, top + r);
  }

  // The drop points in a column left of the grid.
  const int32_t column_width = grid_area.left;
  const int32_t shrink = side / 32;
  const int32_t top = grid_area.top + shrink + s29;
  const int32_t bottom = std::min(grid_area.bottom - shrink, height);
  const int32_t main_height = s[Drawing_Side_Size] / 6 + 2 * (s[24] - s4) + s29;
  points[Main_Point] = TRect(0, top, column_width, top + main_height);
  const int32_t clip_top = points[Main_Point].bottom + s29;
  points[Clipboard_Point] = TRect(0, clip_top, column_width, clip_top + column_width * 9 / 8);
  const int32_t print_top = points[Clipboard_Point].bottom + s29;
  points[Printer_Point] = TRect(0, print_top, column_width, print_top + column_width * 5 / 4);
  points[Bin_Point] = TRect(0, points[Printer_Point].bottom + s29, column_width, bottom);

  if (origin == TPoint()) return;
  auto move = [&](TRect& r) { r = r.Offset_By(origin.x, origin.y); };
  move(grid_area);
  for (int v = 0; v < View_Count; ++v) {
    const int32_t n = Cell_Windows::Side[size_t(v)];
    grid[size_t(v)] = std::make_unique<Grid_Geometry>(TPoint(centre.x + origin.x, centre.y + origin.y), n, n, Cell(s, v),
                                                      Margin(s, v), Gap(s, v));
    for (TRect& a : arrows[size_t(v)]) move(a);
  }
  for (TRect& r : view_buttons) move(r);
  for (TRect& r : round_buttons) move(r);
  for (TRect& r : points) move(r);
}
