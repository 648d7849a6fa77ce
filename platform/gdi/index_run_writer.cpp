#include "platform/gdi/index_run_writer.h"

TIndex_Run_Writer::TIndex_Run_Writer(TSurface& surface, const TClip_Bands& clip, const TRect& box, TPoint origin,
                                     const uint32_t* colours)
    : origin_(origin), colours_(colours) {
  const TRect rows = box.Intersection(surface.Bounds());
  if (rows.IsEmpty() || surface.Bits_Per_Pixel() != 32) return;
  top_ = rows.top;
  rows_.resize(size_t(rows.Height()));
  for (int y = rows.top; y < rows.bottom; ++y) rows_[size_t(y - top_)] = {surface.Row32(y), 0, 0};
  // The clip's rectangles come band by band, left to right, and the
  // rectangles of one band share their rows.
  clip.Clip_Rect(rows, [&](const TRect& part) {
    const int first = int(spans_.size());
    spans_.push_back({part.left, part.right});
    for (int y = part.top; y < part.bottom; ++y) {
      Row& row = rows_[size_t(y - top_)];
      if (row.first == row.last) row.first = first;
      row.last = first + 1;
    }
  });
}
