#include "manipulators/transform_diagram.h"

#include <memory>
#include <string>

#include "model/affine_transform_2d.h"
#include "model/gui_colors.h"
#include "model/notched_square.h"
#include "model/point_2d.h"
#include "platform/gdi/brush.h"
#include "platform/gdi/font.h"
#include "platform/gdi/memory_dc.h"
#include "platform/gdi/region.h"

namespace {

const Affine_Transform_2D* Affine_Map(const Transform_Set_2D& set, int32_t i) {
  return dynamic_cast<const Affine_Transform_2D*>(set.Map(i));
}

}  // namespace

Transform_Diagram::Transform_Diagram(const TDC& dc, const Transform_Set_2D& manipulator,
                                     const Diagram_Frame& frame, bool color_steps)
    : TBitmap(dc, frame.Width(), frame.Height()) {
  static const Notched_Square square;
  const Diagram_Geometry& g = frame.Geometry;
  TMemoryDC mdc(static_cast<const TBitmap&>(*this));
  mdc.SelectObject(*The_GUI_Colors->Palette);
  {
    TMemoryDC source(static_cast<const TBitmap&>(frame));
    mdc.BitBlt(g.outer, source, TPoint(0, 0), SRCCOPY);
  }
  mdc.SelectClipRgn(TRegion::Ellipse(g.inner));

  // Fills first, then every outline over all the fills drawn before it.
  mdc.SelectStockObject(NULL_PEN);
  for (int32_t i = 0; i < manipulator.Count(); ++i) {
    const Affine_Transform_2D* map = Affine_Map(manipulator, i);
    if (map == nullptr) continue;
    const int32_t scheme = Color_Step_Scheme_Index(color_steps, map->Color_Step);
    std::unique_ptr<TBrush> step_brush;
    if (scheme >= 0) step_brush = std::make_unique<TBrush>(The_GUI_Colors->Scheme_RGB(scheme));
    mdc.SelectObject(step_brush ? *step_brush : *The_GUI_Colors->Scheme_Brush_6);
    square.Paint_Transformed(mdc, *map, g.area);
    mdc.RestoreBrush();
  }
  mdc.SelectStockObject(NULL_BRUSH);
  mdc.SelectObject(*The_GUI_Colors->Scheme_Pen_3);
  for (int32_t i = 0; i < manipulator.Count(); ++i) {
    if (const Affine_Transform_2D* map = Affine_Map(manipulator, i)) {
      square.Paint_Transformed(mdc, *map, g.area);
    }
  }
  if (!color_steps) return;

  // The steps as numbers centred on each image's centre.
  const int font_height = g.area.Height() / 4;
  TFont font("MS Sans Serif", font_height, 400);
  mdc.SelectObject(font);
  mdc.SetTextAlign(TA_CENTER | TA_TOP);
  mdc.SetBkMode(TRANSPARENT);
  mdc.SetTextColor(The_GUI_Colors->Scheme_RGB(0));
  const Affine_Transform_2D to_area(g.area);
  for (int32_t i = 0; i < manipulator.Count(); ++i) {
    const Affine_Transform_2D* map = Affine_Map(manipulator, i);
    if (map == nullptr || map->Color_Step == 0) continue;
    const Point_2D centre = map->Map_Point(0.5f, 0.5f);
    const TPoint p = Point_To_Int_Clamped(to_area.Map_Point(centre.x, centre.y));
    mdc.TextOut(TPoint(p.x, p.y - font_height / 2), std::to_string(map->Color_Step));
  }
}
