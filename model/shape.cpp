#include "model/shape.h"

#include "model/raster_lines.h"

void Shape::Paint(TDC& dc, const TRect& rect) const {
  dc.PaintRgn(Make_Region(rect));
  Paint_Extras(dc, rect);
}

TRegion Shape::Make_Region(const TRect&) const { return TRegion(); }

void Shape::Paint_Extras(TDC&, const TRect&) const {}

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

Notched_Square::Notched_Square() : polygon(7) {
  Shape_Number = 20;
  const Point_2D vertices[7] = {{0, 0}, {1, 0}, {1, 1}, {0.375f, 1}, {0.25f, 0.75f}, {0.125f, 1}, {0, 1}};
  for (int i = 0; i < 7; ++i) Vertices[i] = vertices[i];
  Collect_Points();
}

bool Notched_Square::Collapsed(const TPoint* p, TPoint& from, TPoint& to) const {
  if (p[1] == p[0]) {
    from = p[0], to = p[2];
    return true;
  }
  if (p[2] == p[1]) {
    from = p[0], to = p[1];
    return true;
  }
  return false;
}

void Notched_Square::Paint_Transformed(TDC& dc, const Affine_Transform_2D& map, const TRect& rect) const {
  TPoint p[7], from, to;
  Map_Vertices(map, rect, p);
  if (Collapsed(p, from, to)) {
    dc.MoveTo(from);
    dc.LineTo(to);
    return;
  }
  dc.Polygon(p, 7);
}

void Notched_Square::Draw_Outline(TDC& dc, const Affine_Transform_2D& map, const TRect& rect) const {
  TPoint p[7], from, to;
  Map_Vertices(map, rect, p);
  if (Collapsed(p, from, to)) {
    dc.MoveTo(from);
    dc.LineTo(to);
    return;
  }
  dc.MoveTo(p[0]);
  for (int i = 1; i < 7; ++i) dc.LineTo(p[i]);
  dc.LineTo(p[0]);
}

bool Notched_Square::Hit_Test(const Affine_Transform_2D& map, const TRect& rect, TPoint point) const {
  TPoint p[7], from, to;
  Map_Vertices(map, rect, p);
  if (Collapsed(p, from, to)) return Point_Near_Segment(from, to, point, 3);
  return TRegion::Polygon(p, 7, TFill_Rule::Alternate).Contains(point);
}
