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

// At most this many vertices: every drawing call works through a fixed
// buffer of integer points.
inline constexpr int32_t Max_Polygon_Vertices = 10;

class polygon : public Shape {
 public:
  explicit polygon(int32_t vertex_count);

  void Paint(TDC& dc, const TRect& rect) const override;
  TRegion Make_Region(const TRect& rect) const override;
  // The figure under map, then placed into rect.
  virtual void Paint_Transformed(TDC& dc, const Affine_Transform_2D& map, const TRect& rect) const;
  // The integer points of the vertices under map, then placed into rect.
  void Map_Vertices(const Affine_Transform_2D& map, const TRect& rect, TPoint* points) const;

  int32_t Vertex_Count;
  std::unique_ptr<Point_2D[]> Vertices;

 protected:
  // Every vertex into Key_Points; the concrete constructor calls it.
  void Collect_Points();
  // The vertices placed into rect without a map.
  void Place_Vertices(const TRect& rect, TPoint* points) const;
};

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
