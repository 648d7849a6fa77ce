#include "manipulators/diagram_frame.h"

#include <algorithm>
#include <cstdlib>

#include "model/gui_colors.h"
#include "platform/gdi/memory_dc.h"
#include "toolkit/round_border.h"

Diagram_Geometry::Diagram_Geometry(int32_t width, int32_t height, int32_t border, int32_t margin)
    : outer(0, 0, width, height),
      inner(border, border, width - border, height - border) {
  const int32_t hw = (inner.right - inner.left) >> 1;
  const int32_t hh = (inner.bottom - inner.top) >> 1;
  // 1 - 1/sqrt(2): the corner gap between a circle and its inscribed square.
  const int32_t dx = static_cast<int32_t>(hw * 0.2928932188134524) + margin + 1;
  const int32_t dy = static_cast<int32_t>(hh * 0.2928932188134524) + margin + 1;
  area = TRect(inner.left + dx, inner.top + dy, inner.right - dx, inner.bottom - dy);
  inner_rel = TRect(0, 0, inner.Width(), inner.Height());
  area_rel = TRect(area.left - inner.left + 1, area.top - inner.top, area.right - inner.left + 1,
                   area.bottom - inner.top);
}

Diagram_Frame::Diagram_Frame(const TDC& dc, int32_t width, int32_t height, int32_t border, int32_t style)
    : TBitmap(dc, width, height), Geometry(width, height, border, 1), Style(style) {
  TMemoryDC mdc(static_cast<const TBitmap&>(*this));
  mdc.SelectObject(*The_GUI_Colors->Palette);
  mdc.FillRect(Geometry.outer, *The_GUI_Colors->Scheme_Brush_0);
  if (The_Round_Border != nullptr) The_Round_Border->Blit_Clipped(mdc, Geometry.outer, border, 1 - style);
  for (TRect* r : {&Geometry.area, &Geometry.inner_rel, &Geometry.area_rel}) *r = r->Offset_By(-1, -1);
}

int32_t Color_Step_Scheme_Index(bool steps_shown, int32_t step) {
  if (!steps_shown || step == 0) return -1;
  // A negative step never comes from a file (the reader refuses it); were
  // one made in memory it takes the colour of its size.
  const int64_t size = std::abs(static_cast<int64_t>(step));
  return 6 + static_cast<int32_t>(std::min<int64_t>(size, 4));
}
