// Lines on pixels by hand: integer line stepping, the near-segment test,
// clipping a segment to a rectangle, and a row-addressed view of an 8-bit
// bottom-up bitmap. Used where outlines are written straight into pixels.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/gdi/geometry.h"

// The integer points of the segment p0-p1 into points (room for
// max(|dx|, |dy|) + 1), their number into count. Horizontal and vertical
// lines include both ends; a sloped line starts at the end with the smaller
// major coordinate and leaves out the far end.
void Line_Points(TPoint p0, TPoint p1, TPoint* points, int32_t& count);

// Whether point lies within half the width of the segment p0-p1.
bool Point_Near_Segment(TPoint p0, TPoint p1, TPoint point, int32_t width);

// The part of the segment p0-p1 inside r (left <= x < right,
// top <= y < bottom) into q0 and q1; false when none. When the answer is
// true both ends lie inside r.
bool Clip_Segment_To_Rect(TPoint p0, TPoint p1, const TRect& r, TPoint& q0, TPoint& q1);

// Direct access to the pixels of an 8-bit bottom-up bitmap by rows counted
// from the top.
class Pixels {
 public:
  Pixels() = default;
  Pixels(const Pixels&) = delete;
  Pixels& operator=(const Pixels&) = delete;

  // Points the view at pixels given as raw parts: stride bytes per row, the
  // bottom row first.
  void Attach(uint8_t* bits, int32_t stride, int32_t height);
  // The same with the width of a row's pixels (the stride when not given).
  void Attach(uint8_t* bits, int32_t width, int32_t stride, int32_t height);

  uint8_t& At(int32_t x, int32_t y) { return Bits[Row_Offsets[y] + x]; }
  int32_t Row_Offset(int32_t y) const { return Row_Offsets[y]; }

  int32_t Width = 0;
  int32_t Stride = 0;
  int32_t Height = 0;
  uint8_t* Bits = nullptr;

 private:
  std::unique_ptr<int32_t[]> Row_Offsets;
  int32_t Offsets_Room = 0;
};
