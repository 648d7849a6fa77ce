#include "gallery/grid_geometry.h"

Grid_Geometry::Grid_Geometry(TPoint centre, int32_t rows_, int32_t columns_, int32_t cell, int32_t margin_,
                             int32_t gap)
    : rows(rows_), columns(columns_), margin(margin_) {
  pitch_x = cell + 2 * margin + gap;
  pitch_y = pitch_x;
  const int32_t width = pitch_x * columns - gap;
  const int32_t height = pitch_y * rows - gap;
  bounds = TRect(centre.x - width / 2, centre.y - height / 2, 0, 0);
  bounds.right = bounds.left + width;
  bounds.bottom = bounds.top + height;
  const int32_t side = cell + 2 * margin;
  outer.reserve(size_t(rows * columns));
  inner.reserve(size_t(rows * columns));
  for (int32_t r = 0; r < rows; ++r)
    for (int32_t c = 0; c < columns; ++c) {
      const TRect o(bounds.left + c * pitch_x, bounds.top + r * pitch_y, bounds.left + c * pitch_x + side,
                    bounds.top + r * pitch_y + side);
      outer.push_back(o);
      inner.push_back(o.Inflated_By(-margin, -margin));
    }
}

TRect Grid_Geometry::Cover(int32_t first_row, int32_t first_column, int32_t last_row, int32_t last_column) const {
  const TRect& a = Outer(first_row, first_column);
  const TRect& b = Outer(last_row, last_column);
  return TRect(a.left, a.top, b.right, b.bottom);
}

bool Grid_Geometry::Hit(TPoint point, int32_t& row, int32_t& column) const {
  const TRect& first = outer.front();
  const int32_t dx = point.x - first.left;
  const int32_t dy = point.y - first.top;
  // Integer division truncates toward zero: a point just left of or above
  // the grid must not land in column or row 0.
  if (dx < 0 || dy < 0) return false;
  const int32_t c = dx / pitch_x;
  const int32_t r = dy / pitch_y;
  if (r >= rows || c >= columns || !Inner(r, c).Contains(point)) return false;
  row = r;
  column = c;
  return true;
}
