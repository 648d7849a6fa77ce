#include "platform/gdi/index_run_writer.h"

TIndex_Run_Writer::TIndex_Run_Writer(TSurface& surface, const TClip_Bands& clip, const TRect& box, TPoint origin,
                                     const uint32_t* colours)
    : surface_(surface), origin_(origin), colours_(colours) {
  const TRect rows = box.Intersection(surface.Bounds());
  if (rows.IsEmpty() || surface.Bits_Per_Pixel() != 32) return;
  top_ = rows.top;
  rows_.assign(size_t(rows.Height()), {0, 0});
  // The clip's rectangles come band by band, left to right, and the
  // rectangles of one band share their rows.
  clip.Clip_Rect(rows, [&](const TRect& part) {
    const int first = int(spans_.size());
    spans_.push_back({part.left, part.right});
    for (int y = part.top; y < part.bottom; ++y) {
      auto& row = rows_[size_t(y - top_)];
      if (row.first == row.second) row.first = first;
      row.second = first + 1;
    }
  });
}
