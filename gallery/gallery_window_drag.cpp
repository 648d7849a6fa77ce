// Dragging in the gallery window: a press on a ready cell, a move past the
// threshold starts the drag, the miniature snaps onto a drop place near its
// centre, and the release hands the drawing to the cell or drop point under
// it (or back to its source).
#include <algorithm>

#include "gallery/drawing_collection.h"
#include "gallery/gallery_dragger.h"
#include "gallery/gallery_io_point.h"
#include "gallery/gallery_window.h"
#include "model/gui_colors.h"
#include "model/shape_drawing.h"
#include "platform/window/window_dc.h"
#include "toolkit/gui_sizes.h"
#include "toolkit/mouse.h"
#include "toolkit/tip_window.h"

namespace {

TPoint Centre_Of(const TRect& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

int64_t Squared_Distance(TPoint a, TPoint b) {
  const int64_t dx = int64_t(a.x) - b.x, dy = int64_t(a.y) - b.y;
  return dx * dx + dy * dy;
}

}  // namespace

int32_t Gallery_Window::Drag_Threshold() const {
  return std::max(layout->grid[size_t(view)]->margin, 3 * (*The_GUI_Sizes)[4]);
}

Drawing_Place Gallery_Window::Drop_Place_At(TPoint point, TSize& to_centre) const {
  to_centre = TSize(0, 0);
  if (layout->grid_area.Contains(point)) {
    const Grid_Geometry& g = *layout->grid[size_t(view)];
    int32_t r = 0, c = 0;
    if (!g.Hit(point, r, c)) return {};
    const TPoint centre = Centre_Of(g.Inner(r, c));
    to_centre = TSize(centre.x - point.x, centre.y - point.y);
    const TRect& w = cells.window[size_t(view)];
    return {Drawing_Place::Grid, r + w.top, c + w.left};
  }
  for (Gallery_IO_Point* p : points) {
    if (!p || !p->Drop_Area().Contains(point)) continue;
    const TPoint centre = Centre_Of(p->Drop_Area());
    to_centre = TSize(centre.x - point.x, centre.y - point.y);
    return p->My_Place();
  }
  return {};
}

Gallery_IO_Point* Gallery_Window::Point_At_Place(const Drawing_Place& place) const {
  for (Gallery_IO_Point* p : points)
    if (p && p->My_Place().kind == place.kind && (place.kind == Drawing_Place::Bin || p->My_Place().a == place.a))
      return p;
  return nullptr;
}

void Gallery_Window::EvLButtonDown(UINT, const TPoint& point) {
  if (dragging || !collection) return;
  const Grid_Geometry& g = *layout->grid[size_t(view)];
  int32_t r = 0, c = 0;
  if (!g.bounds.Contains(point) || !g.Hit(point, r, c)) return;
  const TRect& w = cells.window[size_t(view)];
  const TRect before = w;
  cells.Focus(r + w.top, c + w.left);
  if (!(cells.window[size_t(view)] == before)) row_masks.fill(0);
  Repaint();
  drag_source = {Drawing_Place::Grid, r + before.top, c + before.left};
  if (collection->State(drag_source) != Drawing_Collection::Presentation_Data::Ready) return;
  pressed = true;
  press_point = point;
  press_rect = g.Inner(r, c);
  drag_point = nullptr;
  if (The_Mouse) The_Mouse->Capture(this);
}

void Gallery_Window::EvMouseMove(UINT, const TPoint& point) {
  if (dragging) {
    Drag_Move(point);
    return;
  }
  if (!pressed) return;
  const int32_t t = Drag_Threshold();
  if (std::abs(point.x - press_point.x) <= t && std::abs(point.y - press_point.y) <= t) return;
  Begin_Drag(press_point, press_rect);
  // The move that starts the drag carries the miniature too: while the
  // program is busy the moves of a whole drag come as one, and a miniature
  // left at the press would be dropped back where it came from.
  if (dragging) Drag_Move(point);
}

void Gallery_Window::Start_Point_Drag(const Drawing_Place& place, TPoint point, const TRect& rectangle) {
  if (dragging || !collection) return;
  if (The_Mouse) The_Mouse->Capture(this);
  drag_source = place;
  drag_point = Point_At_Place(place);
  pressed = true;
  Begin_Drag(point, rectangle);
}

void Gallery_Window::Begin_Drag(TPoint point, const TRect& rectangle) {
  Shape_Drawing* small = collection->Picture(drag_source, Sixth_Picture_Size, UINT32_MAX, GetHandle());
  if (!small) {
    pressed = false;
    if (The_Mouse) The_Mouse->Release(this);
    if (drag_point) drag_point->Drag_Cancelled();
    return;
  }
  // The dragger copies each picture as it gets it: two requests of one
  // size would hand out the same shared picture.
  const Shape_Drawing small_copy(*small, true);
  Shape_Drawing* large = collection->Picture(drag_source, Picture_Size(view), UINT32_MAX, GetHandle());
  if (!large) large = small;
  Hide_Tip();
  if (drag_source.kind == Drawing_Place::Grid && IsWindow()) {
    // The cell is vacated while its drawing travels.
    TClientDC dc(*this);
    if (The_GUI_Colors) dc.FillRect(press_rect, *The_GUI_Colors->Scheme_Brush_1);
  }
  dragger->Start_Drag(point, rectangle, small_copy, *large);
  dragging = true;
  snapped = false;
  drop_target = drag_source;
}

void Gallery_Window::Drag_Move(TPoint point) {
  const int32_t m = layout->grid[size_t(view)]->margin;
  const int64_t m2 = int64_t(m) * m;
  if (snapped && Squared_Distance(point, snap_point) < 2 * m2) return;
  snapped = false;
  dragger->Drag_To(point);
  TSize to_centre;
  const TPoint centre = dragger->Centre();
  const Drawing_Place place = Drop_Place_At(centre, to_centre);
  const int64_t d2 = int64_t(to_centre.cx) * to_centre.cx + int64_t(to_centre.cy) * to_centre.cy;
  if (place.kind != Drawing_Place::None && d2 < 8 * m2) {
    if (!(place == drop_target)) {
      dragger->Move_By(to_centre.cx, to_centre.cy);
      drop_target = place;
      snap_point = dragger->Last_Mouse();
      snapped = true;
    }
  } else {
    drop_target = {};
  }
}

void Gallery_Window::EvLButtonUp(UINT, const TPoint& point) {
  // A release where no move has brought the miniature yet takes it there
  // first: the drawing lands where it is let go.
  if (dragging && !(point == dragger->Last_Mouse())) Drag_Move(point);
  if (The_Mouse) The_Mouse->Release(this);
  const bool was_dragging = dragging;
  pressed = false;
  if (!was_dragging) return;
  Drop();
}

void Gallery_Window::Drop() {
  TSize to_centre;
  const Drawing_Place target = Drop_Place_At(dragger->Centre(), to_centre);
  Gallery_IO_Point* source_point = drag_point;
  const Drawing_Place source = drag_source;
  if (target.kind == Drawing_Place::None) {
    dragger->End_Drag(false);
    End_Drag_State();
    if (source_point) source_point->Drag_Cancelled();
    else Repaint_Cell(source);
  } else if (target.kind == Drawing_Place::Grid) {
    dragger->Move_By(to_centre.cx, to_centre.cy);
    const TRect& w = cells.window[size_t(view)];
    const TRect& inner = layout->grid[size_t(view)]->Inner(target.a - w.top, target.b - w.left);
    dragger->End_Drag(dragger->Miniature().Width() == inner.Width());
    End_Drag_State();
    cells.Focus(target.a, target.b);
    collection->Move(target, source);
    // The focus frame moved too: the whole grid is painted again.
    repaint_after_drag = false;
    Repaint();
    if (source_point) source_point->Given_Away();
  } else {
    dragger->End_Drag(false);
    End_Drag_State();
    if (Gallery_IO_Point* p = Point_At_Place(target)) p->Accept_Drop(source);
    if (source_point) source_point->Given_Away();
    else Repaint_Cell(source);
  }
  if (repaint_after_drag) {
    repaint_after_drag = false;
    Repaint();
  }
}

void Gallery_Window::End_Drag_State() {
  dragging = false;
  snapped = false;
  drag_point = nullptr;
  drop_target = {};
}
