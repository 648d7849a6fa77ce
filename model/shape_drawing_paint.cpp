// Shapes into pictures and pictures onto device contexts.
#include "model/affine_transform_2d.h"
#include "model/gui_colors.h"
#include "model/shape.h"
#include "model/shape_drawing.h"
#include "platform/gdi/brush.h"
#include "platform/gdi/dib_dc.h"
#include "platform/gdi/pen.h"

void Shape_Drawing::Paint_Shape(const Shape& shape, const TRect& rectangle, TColor fill, TColor outline) {
  Ensure_Pixels();
  Drop_Packed();
  if (!Bitmap) return;
  TDibDC dc(*Bitmap);
  dc.SelectObject(*The_GUI_Colors->Palette);
  dc.RealizePalette();
  if (outline == TColor(No_Color)) {
    Outline_Color = No_Color;
    dc.SelectStockObject(NULL_PEN);
  } else {
    Outline_Color = outline;
    dc.SelectObject(TPen(outline, 1, PS_SOLID));
  }
  if (fill == TColor(No_Color)) dc.SelectStockObject(NULL_BRUSH);
  else dc.SelectObject(TBrush(fill));
  shape.Paint(dc, rectangle);
  Blank = false;
}

namespace {

bool Is_Exact_Identity(const Affine_Transform_2D& m) {
  return m.eM11 == 1.0f && m.eM22 == 1.0f && m.eM12 == 0.0f && m.eM21 == 0.0f && m.eDx == 0.0f &&
         m.eDy == 0.0f;
}

}  // namespace

void Shape_Drawing::Add_Shape(const Shape& shape, const Affine_Transform_2D& map, const TRect& rectangle,
                              TColor fill, TColor outline) {
  if (Is_Exact_Identity(map)) {
    Paint_Shape(shape, rectangle, fill, outline);
    return;
  }
  Ensure_Pixels();
  Drop_Packed();
  if (!Bitmap) return;
  const TColor resolved_fill = fill.Is_Rgb() ? fill : Palette_Color_To_RGB(fill, *The_GUI_Colors->Palette);
  const TColor resolved_outline =
      outline.Is_Rgb() || outline == TColor(No_Color) ? outline : Palette_Color_To_RGB(outline, *The_GUI_Colors->Palette);
  if (resolved_fill == Background) {
    // The renderer skips the source's background pixels, so a shape filled
    // with the background colour is drawn on a temporary background of
    // another colour: pure blue, or pure green when the shape is blue itself.
    TColor temporary(0, 0, 255);
    if (resolved_fill == temporary || resolved_outline == temporary) temporary = TColor(0, 255, 0);
    if (resolved_fill == temporary || resolved_outline == temporary) temporary = TColor(255, 0, 0);
    Shape_Drawing shape_picture(Rect.Width(), Rect.Height(), Palette, temporary);
    shape_picture.Paint_Shape(shape, rectangle, fill, outline);
    const TColor kept = Background;
    Background = temporary;
    Render_Transformed(shape_picture, map);
    Background = kept;
  } else {
    Shape_Drawing shape_picture(Rect.Width(), Rect.Height(), Palette, Background);
    shape_picture.Paint_Shape(shape, rectangle, fill, outline);
    Render_Transformed(shape_picture, map);
  }
  Blank = false;
  Outline_Color = outline;
}

void Shape_Drawing::Paint(TDC& dc, const TRect& rectangle) {
  Ensure_Pixels();
  Drop_Packed();
  if (!Bitmap) return;
  dc.SelectObject(*The_GUI_Colors->Palette);
  dc.RealizePalette();
  if (rectangle.Width() == Rect.Width() && rectangle.Height() == Rect.Height()) {
    TDibDC source(*Bitmap);
    source.SelectObject(*The_GUI_Colors->Palette);
    dc.BitBlt(TRect(rectangle.TopLeft(), Rect.Size()), source, TPoint(0, 0), SRCCOPY);
    return;
  }
  Shape_Drawing scaled(*this, rectangle);
  TDibDC source(*scaled.Bitmap);
  source.SelectObject(*The_GUI_Colors->Palette);
  dc.BitBlt(TRect(rectangle.TopLeft(), rectangle.Size()), source, TPoint(0, 0), SRCCOPY);
}
