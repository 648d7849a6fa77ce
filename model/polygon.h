// Shapes made of straight edges: the vertices in unit-square coordinates,
// drawn with one polygon call, placed into a rectangle or under a map.
#pragma once

#include <cstdint>
#include <memory>

#include "model/shape.h"

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
