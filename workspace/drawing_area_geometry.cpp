#include "workspace/drawing_area_geometry.h"

namespace {
// 1 - 1/sqrt(2): how far in from a square's side its inscribed circle's
// inscribed square starts, per half side.
constexpr double Inset_Factor = 0.2928932188134524;
}  // namespace

Drawing_Area_Geometry::Drawing_Area_Geometry(int32_t width, int32_t height, int32_t border, int32_t margin) {
  outer = TRect(0, 0, width, height);
  inner = TRect(border, border, width - border, height - border);
  const int32_t hw = (inner.right - inner.left) >> 1, hh = (inner.bottom - inner.top) >> 1;
  const int32_t dx = int32_t(hw * Inset_Factor) + margin + 1;
  const int32_t dy = int32_t(hh * Inset_Factor) + margin + 1;
  area = TRect(inner.left + dx, inner.top + dy, inner.right - dx, inner.bottom - dy);
  inner_rel = TRect(0, 0, inner.Width(), inner.Height());
  area_rel = TRect(area.left - inner.left + 1, area.top - inner.top, area.right - inner.left + 1,
                   area.bottom - inner.top);
  if ((area_rel.right - area_rel.left) % 3 == 0) --area_rel.right;
  if ((area_rel.bottom - area_rel.top) % 3 == 0) ++area_rel.top;
}
