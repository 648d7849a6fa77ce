#include "gallery/gallery_io_point.h"

#include "gallery/drawing_collection.h"
#include "gallery/gallery_window.h"
#include "model/gui_colors.h"
#include "model/shape_drawing.h"
#include "platform/gdi/brush.h"
#include "platform/gdi/memory_dc.h"
#include "platform/gdi/raster_op.h"
#include "platform/window/window_dc.h"
#include "toolkit/mouse.h"
#include "toolkit/tip_window.h"

Gallery_IO_Point::Gallery_IO_Point(Gallery_Window* gallery_, const char* caption, int id, const TRect& rect,
                                   const char* tip)
    : TWindow(gallery_, caption), gallery(gallery_), tip_text(tip) {
  Attr.Style = WS_CHILD | WS_VISIBLE;
  Attr.Id = id;
  Attr.Set_Rect(rect);
  area = TRect(0, 0, rect.Width(), rect.Height());
  region = TRegion(area);
}

Gallery_IO_Point::~Gallery_IO_Point() {
  // The tip must never read this point's text once it is gone.
  if (The_Tip_Window && tip_text) The_Tip_Window->Forget(tip_text);
}

void Gallery_IO_Point::SetupWindow() {
  TWindow::SetupWindow();
  if (area.IsEmpty()) return;
  backdrop = std::make_unique<TBitmap>(area.Width(), area.Height());
  if (auto dc = Backdrop_DC(); dc && The_GUI_Colors) {
    dc->SelectObject(*The_GUI_Colors->Scheme_Brush_1);
    dc->PatBlt(area, PATCOPY);
  }
}

std::unique_ptr<TMemoryDC> Gallery_IO_Point::Backdrop_DC() {
  if (!backdrop) return nullptr;
  auto dc = std::make_unique<TMemoryDC>(*backdrop);
  if (The_GUI_Colors) {
    dc->SelectPalette(*The_GUI_Colors->Palette, false);
    dc->RealizePalette();
  }
  return dc;
}

void Gallery_IO_Point::Paint(TDC& dc, bool, TRect&) {
  if (!backdrop) return;
  if (The_GUI_Colors) {
    dc.SelectPalette(*The_GUI_Colors->Palette, false);
    dc.RealizePalette();
  }
  TMemoryDC source(*backdrop);
  dc.BitBlt(area, source, TPoint(0, 0));
}

void Gallery_IO_Point::Paint_Now() {
  if (!IsWindow()) return;
  TClientDC dc(*this);
  TRect all = area;
  Paint(dc, false, all);
}

Drawing_Collection* Gallery_IO_Point::Store() const { return gallery ? gallery->Collection() : nullptr; }

// ---- The drop protocol's defaults

Drawing_Place Gallery_IO_Point::My_Place() const { return {}; }

void Gallery_IO_Point::Accept_Drop(const Drawing_Place& source) {
  if (Drawing_Collection* store = Store()) store->Move(My_Place(), source);
  Redraw();
}

void Gallery_IO_Point::Given_Away() { Redraw(); }
void Gallery_IO_Point::Drag_Cancelled() { Redraw(); }
bool Gallery_IO_Point::Pick_Up(const TPoint&, Drawing_Place&, TRect&) { return false; }
void Gallery_IO_Point::Show_Picked_Up(const Drawing_Place&) {}
void Gallery_IO_Point::Redraw() { Paint_Now(); }

// ---- Mouse

void Gallery_IO_Point::EvMouseMove(UINT, const TPoint& point) {
  if (!tip_text || !The_Mouse) return;
  const bool inside = region.Contains(point);
  const bool holder = The_Mouse->Holds(this);
  if (holder && !inside) {
    The_Mouse->Release(this);
    if (The_Tip_Window) The_Tip_Window->Leave_Item(tip_text);
  } else if (!holder && inside) {
    The_Mouse->Capture(this);
    if (The_Tip_Window) The_Tip_Window->Enter_Item(tip_text);
  }
}

void Gallery_IO_Point::EvLButtonDown(UINT, const TPoint& point) {
  if (tip_text && region.Contains(point) && The_Tip_Window) The_Tip_Window->Press_Item(tip_text);
  Drawing_Place place;
  TRect rectangle;
  if (!Pick_Up(point, place, rectangle)) return;
  if (The_Mouse && The_Mouse->Holds(this)) The_Mouse->Release(this);
  Show_Picked_Up(place);
  const TPoint origin(Attr.X, Attr.Y);
  if (gallery)
    gallery->Start_Point_Drag(place, TPoint(point.x + origin.x, point.y + origin.y),
                              rectangle.Offset_By(origin.x, origin.y));
}

// ---- Helpers for the points' pictures

void Gallery_IO_Point::Draw_Disc(TDC& dc, const TRect& rect, Shape_Drawing* picture) {
  const TRegion disc = TRegion::Ellipse(rect);
  dc.SelectClipRgn(&disc);
  if (picture) picture->Paint(dc, rect);
  else if (The_GUI_Colors) dc.FillRect(rect, *The_GUI_Colors->Scheme_Brush_1);
  dc.SelectClipRgn(nullptr);
}

void Gallery_IO_Point::Hatch_Disc(const TRect& rect) {
  if (!IsWindow()) return;
  TClientDC dc(*this);
  const TRegion disc = TRegion::Ellipse(rect);
  dc.SetBkMode(TRANSPARENT);
  dc.SetROP2(R2_MASKPEN);
  dc.FillRgn(disc, TBrush(TColor::Black, HS_FDIAGONAL));
  dc.SetROP2(R2_MERGENOTPEN);
  dc.FillRgn(disc, TBrush(TColor::Black, HS_BDIAGONAL));
  dc.SetROP2(R2_COPYPEN);
}
