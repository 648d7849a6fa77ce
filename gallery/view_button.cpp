#include "gallery/view_button.h"

#include <algorithm>

#include "model/gui_colors.h"
#include "platform/gdi/brush.h"
#include "platform/gdi/memory_dc.h"
#include "platform/gdi/pen.h"

View_Button::View_Button(TWindow* parent, int id, const TRect& rect, int32_t n_, TColor color_)
    : Rectangular_Button(parent, id, rect), n(n_), color(color_) {
  tip = std::to_string(n) + " by " + std::to_string(n) + " View";
}

void View_Button::SetupWindow() {
  Rectangular_Button::SetupWindow();
  const int side = std::max(Inner_Rect.Width(), 8);
  TBitmap picture(side, side);
  TMemoryDC dc(picture);
  const TRect whole(0, 0, side, side);
  dc.FillRect(whole, TBrush(The_GUI_Colors ? The_GUI_Colors->Scheme_RGB(1) : TColor(192, 192, 192)));
  // A framed square, and in it n x n squares with a gap of a quarter square.
  const int inset = side / 8;
  const TRect frame = whole.Inflated_By(-inset, -inset);
  dc.SelectObject(TPen(TColor(48, 48, 48), std::max(1, side / 40), PS_INSIDEFRAME));
  dc.SelectObject(TBrush(TColor::White));
  dc.Rectangle(frame);
  const int room = frame.Width() - 2 * std::max(2, side / 30);
  const int pitch = std::max(1, room / n);
  const int gap = n == 1 ? 0 : std::max(1, pitch / 5);
  const int used = pitch * n;
  const int left = frame.left + (frame.Width() - used) / 2 + gap / 2;
  const int top = frame.top + (frame.Height() - used) / 2 + gap / 2;
  const TBrush fill(color);
  for (int r = 0; r < n; ++r)
    for (int c = 0; c < n; ++c)
      dc.FillRect(TRect(left + c * pitch, top + r * pitch, left + c * pitch + pitch - gap, top + r * pitch + pitch - gap),
                  fill);
  Set_Picture(picture, tip.c_str());
}
