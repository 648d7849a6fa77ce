// A gallery view button: a rectangular button whose face is an n by n
// pattern of squares in its view's colour inside a framed square.
#pragma once

#include <string>

#include "platform/gdi/color.h"
#include "toolkit/rectangular_button.h"

class View_Button : public Rectangular_Button {
 public:
  View_Button(TWindow* parent, int id, const TRect& rect, int32_t n, TColor color);
  void SetupWindow() override;

  int32_t n;
  TColor color;
  std::string tip;
};
