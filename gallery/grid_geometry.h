// One gallery view's cell layout: rows x columns square cells, each an inner
// picture square inside a margin, the cells a gap apart, the whole grid
// centred on a point.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/gdi/geometry.h"

class Grid_Geometry {
 public:
  // pitch = cell + 2 margin + gap; the extent (pitch x count - gap) is
  // centred on centre, halves rounded toward zero.
  Grid_Geometry(TPoint centre, int32_t rows, int32_t columns, int32_t cell, int32_t margin, int32_t gap);

  // The rectangle from the outer rectangle of (first_row, first_column) to
  // that of (last_row, last_column), both inclusive.
  TRect Cover(int32_t first_row, int32_t first_column, int32_t last_row, int32_t last_column) const;
  // The cell whose inner rectangle holds point; false in margins, gaps and
  // outside the grid.
  bool Hit(TPoint point, int32_t& row, int32_t& column) const;

  const TRect& Inner(int32_t row, int32_t column) const { return inner[size_t(row * columns + column)]; }
  const TRect& Outer(int32_t row, int32_t column) const { return outer[size_t(row * columns + column)]; }

  int32_t rows;
  int32_t columns;
  int32_t margin;
  int32_t pitch_x;
  int32_t pitch_y;
  TRect bounds;
  std::vector<TRect> inner;
  std::vector<TRect> outer;
};
