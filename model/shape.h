// Shapes: figures defined once in the unit square (y growing upward) and
// drawn into any rectangle or, for polygons, under any plane map. The
// figure's key points are what the match game compares.
#pragma once

#include <cstdint>
#include <memory>

#include "model/affine_transform_2d.h"
#include "model/point_set_2d.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/region.h"

class Shape {
 public:
  Shape() = default;
  Shape(const Shape&) = delete;
  Shape& operator=(const Shape&) = delete;
  virtual ~Shape() = default;

  // Fills the figure in rect with the context's brush and outlines it with
  // its pen: the region, then the extra strokes.
  virtual void Paint(TDC& dc, const TRect& rect) const;
  // The figure's area in rect.
  virtual TRegion Make_Region(const TRect& rect) const;
  // Outline strokes a region fill does not draw.
  virtual void Paint_Extras(TDC& dc, const TRect& rect) const;

  int32_t Shape_Number = 0;
  Point_Set_2D Key_Points;
};
