// The "Matrix" page: a map shown as its six coefficients, x' = M x + B with
// M = (a b / c d) and B = (e / f).
#pragma once

#include <array>

#include "manipulators/transform_tab_dialog.h"

class Transform_Matrix_Dialog : public Transform_Tab_Dialog {
 public:
  static constexpr int Window_Id = 2708;
  // a, b, c, d, e, f.
  static constexpr int First_Field_Id = 2721;

  Transform_Matrix_Dialog(TWindow* parent, Transform_Edit_Dialog* owner, const TRect& rect, const TFont* label_font,
                          const TFont* field_font);

  void Set_Transform(const Affine_Transform_2D* map) override;
  // A field that does not read keeps that coefficient of map; the colour
  // step is not touched.
  void Get_Transform(Affine_Transform_2D& map) override;
  void Paint(TDC& dc, bool erase, TRect& rect) override;

  std::array<Number_Edit<float>*, 6> Coefficient_Fields{};

 private:
  void Draw_Column(TDC& dc, int x, int top, const char* upper, const char* lower, int& right) const;
  // Returns the left parenthesis' leftmost x.
  int Draw_Parentheses(TDC& dc, const TRect& around) const;
};

// The coefficients of map in the page's order a, b, c, d, e, f.
std::array<float*, 6> Coefficients(Affine_Transform_2D& map);
