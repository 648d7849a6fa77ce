#include "manipulators/transform_matrix_dialog.h"

#include <algorithm>

#include "model/gui_colors.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/font.h"
#include "platform/gdi/pen.h"

std::array<float*, 6> Coefficients(Affine_Transform_2D& map) {
  return {&map.eM11, &map.eM12, &map.eM21, &map.eM22, &map.eDx, &map.eDy};
}

Transform_Matrix_Dialog::Transform_Matrix_Dialog(TWindow* parent, Transform_Edit_Dialog* owner, const TRect& rect,
                                                 const TFont* label_font, const TFont* field_font)
    : Transform_Tab_Dialog(parent, owner, Window_Id, rect, label_font, field_font) {
  const int W = rect.Width(), T = Page_Size(31);
  const TRect a(W / 10, 5 * T, W / 10 + 3 * W / 8, 6 * T);
  const TRect b = a.Offset_By(W / 20 + 3 * W / 8, 0);
  const TRect c = a.Offset_By(0, 3 * T / 2);
  const TRect d = b.Offset_By(0, 3 * T / 2);
  const TRect e(5 * W / 16, c.bottom + 2 * T, 5 * W / 16 + 3 * W / 8, c.bottom + 3 * T);
  const TRect f = e.Offset_By(0, 3 * T / 2);
  const TRect rects[6] = {a, b, c, d, e, f};
  for (int i = 0; i < 6; ++i) Coefficient_Fields[size_t(i)] = Add_Field(First_Field_Id + i, rects[i]);
}

void Transform_Matrix_Dialog::Set_Transform(const Affine_Transform_2D* map) {
  if (!map) {
    Show_Fields(false);
    return;
  }
  Affine_Transform_2D copy = *map;
  const auto values = Coefficients(copy);
  for (size_t i = 0; i < 6; ++i) Coefficient_Fields[i]->Set_Value(*values[i]);
  Show_Fields(true);
}

void Transform_Matrix_Dialog::Get_Transform(Affine_Transform_2D& map) {
  const auto values = Coefficients(map);
  for (size_t i = 0; i < 6; ++i) Coefficient_Fields[i]->Get_Value(*values[i]);
}

// A column of two letters between drawn brackets; right gets the x after it.
void Transform_Matrix_Dialog::Draw_Column(TDC& dc, int x, int top, const char* upper, const char* lower,
                                          int& right) const {
  const int T = Page_Size(31);
  const int width = std::max(dc.GetTextExtent(upper).cx, dc.GetTextExtent(lower).cx);
  const int bottom = top + T + dc.GetTextExtent(lower).cy;
  const int tick = std::max(T / 6, 2);
  dc.MoveTo(x + tick, top), dc.LineTo(x, top), dc.LineTo(x, bottom), dc.LineTo(x + tick + 1, bottom);
  dc.SetTextAlign(TA_CENTER | TA_TOP);
  const int centre = x + tick + 2 + width / 2;
  dc.TextOut(centre, top, upper);
  dc.TextOut(centre, top + T, lower);
  const int closing = centre + width / 2 + 2 + tick;
  dc.MoveTo(closing - tick, top), dc.LineTo(closing, top), dc.LineTo(closing, bottom),
      dc.LineTo(closing - tick - 1, bottom);
  right = closing + 1;
}

// Tall parentheses as curves just outside the fields' bevels: a glyph of
// that height would not fit between the caption and the fields.
int Transform_Matrix_Dialog::Draw_Parentheses(TDC& dc, const TRect& around) const {
  const int width = std::max(Page_Size(31) / 4, 3);
  const int h = around.Height();
  const int l0 = around.left - 1, l1 = around.left - 1 - width;
  const int r0 = around.right, r1 = around.right + width;
  const TPoint left[4] = {{l0, around.top}, {l1, around.top + h / 4}, {l1, around.bottom - h / 4}, {l0, around.bottom}};
  const TPoint right[4] = {{r0, around.top}, {r1, around.top + h / 4}, {r1, around.bottom - h / 4}, {r0, around.bottom}};
  dc.PolyBezier(left, 4);
  dc.PolyBezier(right, 4);
  return l1;
}

void Transform_Matrix_Dialog::Paint(TDC& dc, bool, TRect&) {
  Fill_Background(dc);
  const int W = GetClientRect().Width(), T = Page_Size(31), s = Page_Size(29);
  const TColor colour = Caption_Color();
  const TPen pen(colour, std::max(Page_Size(31) / 10, 1));
  dc.SelectObject(pen);
  if (Label_Font) dc.SelectObject(*Label_Font);
  dc.SetBkMode(TRANSPARENT);
  dc.SetTextColor(colour);
  // x' = M x + B, the columns stacked.
  const int text_height = dc.GetTextExtent("x").cy;
  const int middle = T + (T + text_height) / 2 - text_height / 2;
  int x = W / 2 - 3 * T;
  Draw_Column(dc, x, T, "x'", "y'", x);
  dc.SetTextAlign(TA_LEFT | TA_TOP);
  dc.TextOut(x, middle, " = M ");
  x += dc.GetTextExtent(" = M ").cx;
  Draw_Column(dc, x, T, "x", "y", x);
  dc.SetTextAlign(TA_LEFT | TA_TOP);
  dc.TextOut(x, middle, " + B");
  const auto& rects = Field_Rects();
  auto span = [](const TRect& first, const TRect& last) {
    return TRect(first.left, first.top, last.right, last.bottom).Inflated_By(2, 2);
  };
  // The captions stand at s, moved left when the parenthesis needs room; on a
  // page too narrow for both, the caption goes just above the parenthesis.
  auto caption = [&](const char* text, int y, int parenthesis_left) {
    const int x = std::min(s, parenthesis_left - 2 - dc.GetTextExtent(text).cx);
    if (x >= 0)
      dc.TextOut(x, y, text);
    else
      dc.TextOut(std::max(parenthesis_left, 0), y - text_height - 3, text);
  };
  caption("M:", rects[0].top, Draw_Parentheses(dc, span(rects[0], rects[3])));
  caption("B:", rects[4].top, Draw_Parentheses(dc, span(rects[4], rects[5])));
  dc.RestoreObjects();
  Draw_Field_Bevels(dc);
}
