#include "model/notched_square.h"

#include "model/raster_lines.h"

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
