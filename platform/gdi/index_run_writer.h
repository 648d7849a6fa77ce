// Puts runs of colour-table indices on a 32-bit surface, in their colours,
// through a clip. It serves pictures that change in many short, scattered
// runs (a show's sparks), where copying a rectangle round them would cost
// far more than the runs. The clip is flattened once into each row's
// x-intervals within a box, so cutting a run is a look-up, however the
// runs come (a bottom-up picture gives them bottom row first).
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "platform/gdi/clip_bands.h"
#include "platform/gdi/geometry.h"
#include "platform/gdi/surface.h"

class TIndex_Run_Writer {
 public:
  // Runs are given in coordinates that origin takes to the surface's; only
  // pixels within box (surface pixels) and the clip are drawn. colours
  // holds 256 0x00RRGGBB entries; the surface is 32 bits.
  TIndex_Run_Writer(TSurface& surface, const TClip_Bands& clip, const TRect& box, TPoint origin,
                    const uint32_t* colours);

  // count pixels from (x, y) rightwards, in the colours of indices.
  void Put(int x, int y, const uint8_t* indices, uint32_t count) {
    const int row = y + origin_.y - top_;
    if (row < 0 || row >= int(rows_.size())) return;
    const int left = x + origin_.x;
    const int right = left + int(count);
    const Row& at = rows_[size_t(row)];
    uint32_t* line = at.line;
    for (int i = at.first; i < at.last; ++i) {
      const int a = left > spans_[size_t(i)].first ? left : spans_[size_t(i)].first;
      const int b = right < spans_[size_t(i)].second ? right : spans_[size_t(i)].second;
      for (int p = a; p < b; ++p) line[p] = colours_[indices[p - left]];
    }
  }

 private:
  TPoint origin_;
  const uint32_t* colours_;
  int top_ = 0;
  // Each row's pixels and its first and end span in spans_, from top_ down.
  struct Row {
    uint32_t* line;
    int first, last;
  };
  std::vector<Row> rows_;
  std::vector<std::pair<int, int>> spans_;
};
