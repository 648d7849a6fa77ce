// The gallery window's painting: the grid area, each cell's picture (or a
// placeholder disc while its reduced picture is being made), the frames of
// the views, and the pulling of reduced pictures one cell at a time.
#include <algorithm>

#include "gallery/drawing_collection.h"
#include "gallery/gallery_dragger.h"
#include "gallery/gallery_window.h"
#include "model/gui_colors.h"
#include "model/shape_drawing.h"
#include "platform/gdi/brush.h"
#include "platform/gdi/pen.h"
#include "platform/gdi/region.h"
#include "platform/window/window_dc.h"
#include "toolkit/round_border.h"

namespace {

const TColor Frame_Colors[4] = {TColor(214, 40, 40), TColor(236, 160, 0), TColor(40, 150, 60), TColor(40, 90, 210)};

}  // namespace

const TColor Gallery_Window::Placeholder_Color(168, 168, 176);

void Gallery_Window::Paint(TDC& dc, bool, TRect&) {
  if (dragging) {
    repaint_after_drag = true;
    return;
  }
  Paint_All(dc);
}

void Gallery_Window::Repaint() {
  if (dragging) {
    repaint_after_drag = true;
    return;
  }
  if (!IsWindow() || !IsWindowVisible()) {
    Invalidate(false);
    return;
  }
  TClientDC dc(*this);
  Paint_All(dc);
}

void Gallery_Window::Paint_All(TDC& dc) {
  if (!The_GUI_Colors) return;
  dc.SelectPalette(*The_GUI_Colors->Palette, false);
  dc.RealizePalette();
  // The window's background round the children, then the grid area. A
  // shaped child (a corner arrow's triangle) leaves the rest of its
  // rectangle to this window.
  TRegion rest(GetClientRect());
  for (TWindow* child : Children())
    if (child->IsWindowVisible()) rest -= child->Shape_In_Parent();
  dc.SelectClipRgn(&rest);
  dc.FillRect(GetClientRect(), *The_GUI_Colors->Scheme_Brush_0);
  dc.FillRect(layout->grid_area, *The_GUI_Colors->Scheme_Brush_1);
  const Grid_Geometry& g = *layout->grid[size_t(view)];
  if (The_Round_Border)
    for (int32_t r = 0; r < g.rows; ++r)
      for (int32_t c = 0; c < g.columns; ++c) The_Round_Border->Blit_Clipped(dc, g.Outer(r, c), g.margin, 0);
  dc.SelectClipRgn(nullptr);
  row_masks.fill(0);
  Paint_Cells(dc, false);
  Paint_Frames(dc);
}

TRect Gallery_Window::Frame_Rect(int v) const {
  const Grid_Geometry& g = *layout->grid[size_t(view)];
  const TRect& outer_window = cells.window[size_t(view)];
  const TRect& w = cells.window[size_t(v)];
  int32_t inflate = 0;
  for (int u = 0; u <= v; ++u) inflate += layout->frame_width[size_t(u)];
  const TRect cover = g.Cover(w.top - outer_window.top, w.left - outer_window.left, w.bottom - 1 - outer_window.top,
                              w.right - 1 - outer_window.left);
  return cover.Inflated_By(inflate, inflate);
}

void Gallery_Window::Paint_Frames(TDC& dc) {
  for (int v = 0; v <= view; ++v) {
    const TRect r = Frame_Rect(v);
    dc.SelectObject(TPen(Frame_Colors[v], layout->frame_width[size_t(v)], PS_INSIDEFRAME));
    dc.SelectObject(TBrush::Null());
    dc.Rectangle(r);
  }
}

void Gallery_Window::Paint_Cells(TDC& dc, bool only_missing) {
  const Grid_Geometry& g = *layout->grid[size_t(view)];
  for (int32_t r = 0; r < g.rows; ++r)
    for (int32_t c = 0; c < g.columns; ++c) {
      if (only_missing && !Cell_Needs_Paint(dc, r, c)) continue;
      Paint_Cell(dc, r, c);
    }
}

bool Gallery_Window::Cell_Needs_Paint(TDC& dc, int32_t r, int32_t c) {
  const TRect& w = cells.window[size_t(view)];
  const Drawing_Place place{Drawing_Place::Grid, r + w.top, c + w.left};
  if (collection->State(place) != Drawing_Collection::Presentation_Data::Ready) return false;
  if (!(row_masks[size_t(r)] & (1u << c))) return true;
  // Shown already, unless the placeholder is what the screen still shows.
  const TRect& inner = layout->grid[size_t(view)]->Inner(r, c);
  const TColor centre = dc.GetPixel((inner.left + inner.right) / 2, (inner.top + inner.bottom) / 2);
  return centre.Red() == Placeholder_Color.Red() && centre.Green() == Placeholder_Color.Green() &&
         centre.Blue() == Placeholder_Color.Blue();
}

void Gallery_Window::Paint_Cell(TDC& dc, int32_t r, int32_t c) {
  if (!collection || !The_GUI_Colors) return;
  const Grid_Geometry& g = *layout->grid[size_t(view)];
  const TRect& inner = g.Inner(r, c);
  const TRect& w = cells.window[size_t(view)];
  const Drawing_Place place{Drawing_Place::Grid, r + w.top, c + w.left};
  const TRegion clip(inner);
  dc.SelectClipRgn(&clip);
  const int32_t state = collection->State(place);
  const uint16_t bit = uint16_t(1u << c);
  Shape_Drawing* picture = nullptr;
  if (state == Drawing_Collection::Presentation_Data::Ready)
    picture = collection->Picture(place, Picture_Size(view), UINT32_MAX, GetHandle());
  if (picture) {
    picture->Paint(dc, inner);
    row_masks[size_t(r)] |= bit;
  } else {
    dc.FillRect(inner, *The_GUI_Colors->Scheme_Brush_1);
    row_masks[size_t(r)] &= uint16_t(~bit);
    if (state != 0) {
      // A disc over the middle third until the reduced picture is made.
      const int32_t tw = inner.Width() / 3, th = inner.Height() / 3;
      dc.SelectObject(TBrush(Placeholder_Color));
      dc.SelectStockObject(NULL_PEN);
      dc.Ellipse(TRect(inner.left + tw, inner.top + th, inner.right - tw, inner.bottom - th));
      Request_Next(place);
    }
  }
  dc.SelectClipRgn(nullptr);
}

void Gallery_Window::Request_Next(const Drawing_Place& place) {
  if (request_pending || !collection) return;
  request_pending = true;
  // Ready meanwhile: answered as the preparation thread would.
  if (collection->Picture(place, Twelfth_Picture_Size, 0, GetHandle()))
    PostMessage(Picture_Ready_Message, WPARAM(place.a), LPARAM(place.b));
}

LRESULT Gallery_Window::Ev_Picture_Ready(WPARAM, LPARAM) {
  if (!request_pending) return 0;
  request_pending = false;
  if (dragging) {
    repaint_after_drag = true;
    return 0;
  }
  if (!IsWindow() || !IsWindowVisible()) return 0;
  TClientDC dc(*this);
  if (The_GUI_Colors) {
    dc.SelectPalette(*The_GUI_Colors->Palette, false);
    dc.RealizePalette();
  }
  Paint_Cells(dc, true);
  // The cells that were not ready ask for their pictures in turn.
  const Grid_Geometry& g = *layout->grid[size_t(view)];
  const TRect& w = cells.window[size_t(view)];
  for (int32_t r = 0; r < g.rows && !request_pending; ++r)
    for (int32_t c = 0; c < g.columns && !request_pending; ++c) {
      const Drawing_Place place{Drawing_Place::Grid, r + w.top, c + w.left};
      const int32_t state = collection->State(place);
      if (state != 0 && state != Drawing_Collection::Presentation_Data::Ready) Request_Next(place);
    }
  Paint_Frames(dc);
  return 0;
}

void Gallery_Window::Repaint_Cell(const Drawing_Place& place) {
  if (place.kind != Drawing_Place::Grid || dragging || !IsWindow() || !IsWindowVisible()) return;
  const TRect& w = cells.window[size_t(view)];
  if (!w.Contains(TPoint(place.b, place.a))) return;
  TClientDC dc(*this);
  if (The_GUI_Colors) {
    dc.SelectPalette(*The_GUI_Colors->Palette, false);
    dc.RealizePalette();
  }
  Paint_Cell(dc, place.a - w.top, place.b - w.left);
  Paint_Frames(dc);
}
