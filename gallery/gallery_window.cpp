#include "gallery/gallery_window.h"

#include "gallery/gallery_host.h"
#include "model/gui_colors.h"
#include "platform/gdi/dc.h"

Gallery_Window::Gallery_Window(TWindow* frame, Gallery_Host* host) : TWindow(frame, "Gallery"), Host(host) {
  Attr.Style = WS_CHILD;  // hidden until opened
}

void Gallery_Window::Paint(TDC& dc, bool, TRect&) {
  TRect r = GetClientRect();
  if (The_GUI_Colors) {
    dc.FillRect(r, *The_GUI_Colors->Scheme_Brush_0);
    dc.SetTextColor(The_GUI_Colors->Scheme_RGB(1));
  }
  dc.SetBkMode(TRANSPARENT);
  dc.DrawText(Notice, -1, r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

void Gallery_Window::Open_With_Drawing(const Shape_Drawing* drawing) { Drawing = drawing; }

void Gallery_Window::Leave() {
  if (Host && IsWindowVisible()) Host->Leave_Gallery(nullptr);
}

void Gallery_Window::EvLButtonUp(UINT, const TPoint&) { Leave(); }

void Gallery_Window::EvKeyDown(UINT, UINT, UINT) { Leave(); }
