#include "platform/window/user.h"

#include "platform/window/desktop.h"
#include "platform/window/screen.h"
#include "platform/window/window.h"

namespace {

bool Up() { return TDesktop::Running(); }
TDesktop& Desk() { return TDesktop::Current(); }
TWindow* Win(HWND h) { return Up() ? Desk().Window(h) : nullptr; }

// Sizes of the frame parts we draw, chosen for a 1024-pixel-wide screen and
// kept for every screen size so that layouts stay predictable.
constexpr int Caption_Height = 20;
constexpr int Menu_Height = 19;
constexpr int Cursor_Size = 32;

}  // namespace

bool PostMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) { return Up() && Desk().Post(hwnd, msg, wp, lp); }
LRESULT SendMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) { return Up() ? Desk().Send(hwnd, msg, wp, lp) : 0; }
void PostQuitMessage(int exit_code) {
  if (Up()) Desk().Post_Quit(exit_code);
}
UINT SetTimer(HWND hwnd, UINT id, UINT ms, TIMERPROC proc) { return Up() ? Desk().Set_Timer(hwnd, id, ms, proc) : 0; }
bool KillTimer(HWND hwnd, UINT id) { return Up() && Desk().Kill_Timer(hwnd, id); }

bool IsWindow(HWND hwnd) { return Win(hwnd) != nullptr; }
bool IsWindowVisible(HWND hwnd) {
  TWindow* w = Win(hwnd);
  return w && w->IsWindowVisible();
}
bool IsWindowEnabled(HWND hwnd) {
  TWindow* w = Win(hwnd);
  return w && w->IsWindowEnabled();
}
bool EnableWindow(HWND hwnd, bool enable) {
  TWindow* w = Win(hwnd);
  return w && w->EnableWindow(enable);
}
bool ShowWindow(HWND hwnd, int cmd) {
  TWindow* w = Win(hwnd);
  return w && w->ShowWindow(cmd);
}
HWND GetFocus() { return Up() ? Desk().Focus() : HWND(); }
HWND SetFocus(HWND hwnd) { return Up() ? Desk().Set_Focus(hwnd) : HWND(); }
HWND GetActiveWindow() { return Up() ? Desk().Active() : HWND(); }
HWND GetCapture() { return Up() ? Desk().Capture() : HWND(); }
HWND SetCapture(HWND hwnd) { return Up() ? Desk().Set_Capture(hwnd) : HWND(); }
bool ReleaseCapture() {
  if (!Up()) return false;
  Desk().Release_Capture();
  return true;
}
HWND WindowFromPoint(TPoint screen) {
  TWindow* w = Up() ? Desk().Window_From_Point(screen) : nullptr;
  return w ? w->GetHandle() : HWND();
}

bool GetCursorPos(TPoint& p) {
  if (!Up()) return false;
  p = Desk().Cursor_Pos();
  return true;
}
bool SetCursorPos(int x, int y) {
  if (!Up()) return false;
  Desk().Set_Cursor_Pos({x, y});
  return true;
}
bool SetCursorPosFrom(TPoint from, int x, int y) {
  if (!Up()) return false;
  Desk().Set_Cursor_Pos_From(from, {x, y});
  return true;
}
bool ClipCursor(const TRect* rect) {
  if (!Up()) return false;
  Desk().Clip_Cursor(rect);
  return true;
}
bool GetClipCursor(TRect& rect) {
  if (!Up()) return false;
  auto clip = Desk().Cursor_Clip();
  rect = clip ? *clip : Desk().Screen().Bounds();
  return true;
}
const TCursor* SetCursor(const TCursor* cursor) { return Up() ? Desk().Set_Cursor(cursor) : nullptr; }
int ShowCursor(bool show) { return Up() ? Desk().Show_Cursor(show) : 0; }

int16_t GetKeyState(int vk) {
  if (!Up()) return 0;
  int16_t state = Desk().Key_Down(UINT(vk)) ? int16_t(0x8000) : 0;
  if (vk == VK_NUMLOCK && Desk().Num_Lock()) state |= 1;
  return state;
}
int16_t GetAsyncKeyState(int vk) { return GetKeyState(vk); }

int GetSystemMetrics(int index) {
  TSize screen = Up() ? Desk().Screen().Size() : TSize(1024, 768);
  switch (index) {
    case SM_CXSCREEN: return screen.cx;
    case SM_CYSCREEN: return screen.cy;
    case SM_CYCAPTION: return Caption_Height;
    case SM_CXBORDER:
    case SM_CYBORDER: return 1;
    case SM_CYMENU: return Menu_Height;
    case SM_CXCURSOR:
    case SM_CYCURSOR: return Cursor_Size;
    case SM_CXSIZE:
    case SM_CYSIZE: return Caption_Height - 2;
    default: return 0;
  }
}
