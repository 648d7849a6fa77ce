// The "Corners" page: a map shown as where the corners (0, 0), (1, 0) and
// (0, 1) of the unit square go, each as x' over y'.
#pragma once

#include <array>

#include "manipulators/transform_tab_dialog.h"

class Transform_Corner_Dialog : public Transform_Tab_Dialog {
 public:
  static constexpr int Window_Id = 2707;
  // x' and y' of the image of (0, 0), of (1, 0), of (0, 1).
  static constexpr int First_Field_Id = 2715;

  Transform_Corner_Dialog(TWindow* parent, Transform_Edit_Dialog* owner, const TRect& rect, const TFont* label_font,
                          const TFont* field_font);

  void Set_Transform(const Affine_Transform_2D* map) override;
  // A field that does not read keeps that coordinate of map; the colour
  // step of map is kept.
  void Get_Transform(Affine_Transform_2D& map) override;
  void Paint(TDC& dc, bool erase, TRect& rect) override;

  std::array<Number_Edit<float>*, 6> Corner_Fields{};
};
