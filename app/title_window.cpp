#include "app/title_window.h"

#include <algorithm>

#include "model/gui_colors.h"
#include "platform/gdi/brush.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/region.h"
#include "platform/window/cursor.h"
#include "platform/window/user.h"
#include "toolkit/program_messages.h"

Title_Window* The_Title_Window = nullptr;

Title_Window::Title_Window(TWindow* parent, TModule* module) : TWindow(parent, "Quendar Startup", module) {
  const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
  const int side = std::min(w, h) * 3 / 4;
  Attr.Style = WS_POPUP | WS_VISIBLE;
  // Above the frame that start-up makes under it.
  Attr.ExStyle = WS_EX_TOPMOST;
  Attr.X = (w - side) / 2;
  Attr.Y = (h - side) / 2;
  Attr.W = side;
  Attr.H = side;
  The_Title_Window = this;
}

Title_Window::~Title_Window() {
  if (The_Title_Window == this) The_Title_Window = nullptr;
}

void Title_Window::SetupWindow() {
  TWindow::SetupWindow();
  const TRegion round = TRegion::Ellipse(GetClientRect());
  SetWindowRgn(&round);
  SetCursor(LoadCursor(nullptr, IDC_WAIT));
}

void Title_Window::CleanupWindow() {
  if (notify_) ::PostMessage(notify_, Title_Finished_Message, 0, 0);
  TWindow::CleanupWindow();
}

void Title_Window::Paint(TDC& dc, bool, TRect&) {
  dc.FillRect(GetClientRect(), TBrush(TColor(40, 60, 140)));
}

void Title_Window::Use_Program_Palette() {}

void Title_Window::Start_Stepper() {}

void Title_Window::Finish(TWindow* notify) {
  Finish_Requested = true;
  notify_ = notify ? notify->GetHandle() : HWND();
  SetTimer(Close_Timer, 500);
}

void Title_Window::EvTimer(UINT timer_id) {
  if (timer_id != Close_Timer) return;
  KillTimer(Close_Timer);
  PostMessage(WM_CLOSE);
}

void Title_Window::EvLButtonUp(UINT, const TPoint&) {
  if (Finish_Requested) PostMessage(WM_CLOSE);
}

void Title_Window::EvSysCommand(UINT cmd_type, const TPoint& point) {
  if ((cmd_type & 0xFFF0) == SC_SCREENSAVE) return;
  TWindow::EvSysCommand(cmd_type, point);
}
