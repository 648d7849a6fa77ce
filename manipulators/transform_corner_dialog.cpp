#include "manipulators/transform_corner_dialog.h"

#include <algorithm>

#include "model/gui_colors.h"
#include "platform/gdi/brush.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/font.h"
#include "platform/gdi/pen.h"

Transform_Corner_Dialog::Transform_Corner_Dialog(TWindow* parent, Transform_Edit_Dialog* owner, const TRect& rect,
                                                 const TFont* label_font, const TFont* field_font)
    : Transform_Tab_Dialog(parent, owner, Window_Id, rect, label_font, field_font) {
  const int W = rect.Width(), T = Page_Size(31);
  const int pair_gap = 5 * T / 4 + 4;
  TRect field(5 * W / 12, 3 * T, 5 * W / 12 + W / 2, 4 * T);
  for (int corner = 0; corner < 3; ++corner) {
    if (corner > 0) field = field.Offset_By(0, 2 * T);
    Corner_Fields[size_t(2 * corner)] = Add_Field(First_Field_Id + 2 * corner, field);
    field = field.Offset_By(0, pair_gap);
    Corner_Fields[size_t(2 * corner + 1)] = Add_Field(First_Field_Id + 2 * corner + 1, field);
  }
}

void Transform_Corner_Dialog::Set_Transform(const Affine_Transform_2D* map) {
  if (!map) {
    Show_Fields(false);
    return;
  }
  const Affine_Transform_2D& m = *map;
  const float values[6] = {m.eDx, m.eDy, m.eM11 + m.eDx, m.eM21 + m.eDy, m.eM12 + m.eDx, m.eM22 + m.eDy};
  for (size_t i = 0; i < 6; ++i) Corner_Fields[i]->Set_Value(values[i]);
  Show_Fields(true);
}

void Transform_Corner_Dialog::Get_Transform(Affine_Transform_2D& map) {
  Point_2D p[3] = {map.Map_Point(0, 0), map.Map_Point(1, 0), map.Map_Point(0, 1)};
  for (size_t k = 0; k < 3; ++k) {
    Corner_Fields[2 * k]->Get_Value(p[k].x);
    Corner_Fields[2 * k + 1]->Get_Value(p[k].y);
  }
  // The colour step is not a corner: it stays as the map had it, so an
  // apply from this page never resets an image's (or a group's) step.
  const int32_t step = map.Color_Step;
  map = Affine_Transform_2D(p);
  map.Color_Step = step;
}

void Transform_Corner_Dialog::Paint(TDC& dc, bool, TRect&) {
  Fill_Background(dc);
  const int T = Page_Size(31), s = Page_Size(29);
  const TColor colour = Caption_Color();
  if (Label_Font) dc.SelectObject(*Label_Font);
  dc.SetBkMode(TRANSPARENT);
  dc.SetTextColor(colour);
  const TRect& first = Field_Rects()[0];
  dc.SetTextAlign(TA_LEFT | TA_TOP);
  dc.TextOut(s, T, "(x, y)");
  dc.SetTextAlign(TA_CENTER | TA_TOP);
  dc.TextOut((first.left + first.right) / 2, T, "(x', y')");
  // An arrow from the square's corners to their images.
  const TSize left_text = dc.GetTextExtent("(x, y)");
  const TSize right_text = dc.GetTextExtent("(x', y')");
  const int from = s + left_text.cx + s, to = (first.left + first.right) / 2 - right_text.cx / 2 - s;
  if (to > from) {
    const int mid = T + left_text.cy / 2, half = std::max(left_text.cy / 4, 2);
    const TPen pen(colour);
    const TBrush brush(colour);
    dc.SelectObject(pen);
    dc.SelectObject(brush);
    const TPoint shaft[4] = {{from, mid - half / 2}, {to - 2 * half, mid - half / 2}, {to - 2 * half, mid + half / 2},
                             {from, mid + half / 2}};
    dc.Polygon(shaft, 4);
    const TPoint head[3] = {{to - 2 * half, mid - half * 3 / 2}, {to, mid}, {to - 2 * half, mid + half * 3 / 2}};
    dc.Polygon(head, 3);
  }
  static const char* const Rows[3] = {"(0, 0)", "(1, 0)", "(0, 1)"};
  for (int corner = 0; corner < 3; ++corner) {
    const TRect& x = Field_Rects()[size_t(2 * corner)];
    const TRect& y = Field_Rects()[size_t(2 * corner + 1)];
    dc.SetTextAlign(TA_LEFT | TA_TOP);
    dc.TextOut(s, x.top, Rows[corner]);
    dc.SetTextAlign(TA_RIGHT | TA_TOP);
    dc.TextOut(x.left - 4, x.top, "(");
    dc.SetTextAlign(TA_LEFT | TA_TOP);
    dc.TextOut(x.right + 4, x.top, ",");
    dc.TextOut(y.right + 4, y.top, ")");
  }
  dc.RestoreObjects();
  Draw_Field_Bevels(dc);
}
