// The system's test figure: its image under a map shows the map's turn and
// reflection.
#pragma once

#include "model/polygon.h"

// The unit square with a notch in its top edge, left of the middle, so that
// its image under a map shows turns and reflections.
class Notched_Square : public polygon {
 public:
  Notched_Square();

  void Paint_Transformed(TDC& dc, const Affine_Transform_2D& map, const TRect& rect) const override;
  // The outline only.
  void Draw_Outline(TDC& dc, const Affine_Transform_2D& map, const TRect& rect) const;
  // Whether point lies in the figure, or within a 3-pixel band of it when the
  // map flattens it into a segment.
  bool Hit_Test(const Affine_Transform_2D& map, const TRect& rect, TPoint point) const;

 private:
  // The mapped vertices, and the segment the figure collapses to, if any.
  bool Collapsed(const TPoint* p, TPoint& from, TPoint& to) const;
};
