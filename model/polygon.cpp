#include "model/polygon.h"

polygon::polygon(int32_t vertex_count)
    : Vertex_Count(vertex_count), Vertices(std::make_unique<Point_2D[]>(vertex_count)) {}

void polygon::Collect_Points() {
  for (int32_t i = 0; i < Vertex_Count; ++i) Key_Points.Insert(Vertices[i]);
}

void polygon::Place_Vertices(const TRect& rect, TPoint* points) const {
  const Affine_Transform_2D placement(rect);
  for (int32_t i = 0; i < Vertex_Count; ++i)
    points[i] = Point_To_Int_Clamped(placement.Map_Point(Vertices[i].x, Vertices[i].y, 1));
}

void polygon::Map_Vertices(const Affine_Transform_2D& map, const TRect& rect, TPoint* points) const {
  const Affine_Transform_2D m = Compose_Transforms(map, Affine_Transform_2D(rect));
  for (int32_t i = 0; i < Vertex_Count; ++i)
    points[i] = Point_To_Int_Clamped(m.Map_Point(Vertices[i].x, Vertices[i].y, 1));
}

void polygon::Paint(TDC& dc, const TRect& rect) const {
  TPoint points[Max_Polygon_Vertices];
  Place_Vertices(rect, points);
  dc.Polygon(points, Vertex_Count);
}

TRegion polygon::Make_Region(const TRect& rect) const {
  TPoint points[Max_Polygon_Vertices];
  Place_Vertices(rect, points);
  return TRegion::Polygon(points, Vertex_Count, TFill_Rule::Alternate);
}

void polygon::Paint_Transformed(TDC& dc, const Affine_Transform_2D& map, const TRect& rect) const {
  TPoint points[Max_Polygon_Vertices];
  Map_Vertices(map, rect, points);
  dc.Polygon(points, Vertex_Count);
}
