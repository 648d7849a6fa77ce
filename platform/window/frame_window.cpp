#include "platform/window/frame_window.h"

#include <algorithm>

#include "platform/gdi/dc.h"
#include "platform/window/control_paint.h"
#include "platform/window/desktop.h"
#include "platform/window/window_dc.h"
#include "platform/window/icon.h"
#include "platform/window/menu.h"
#include "platform/window/user.h"

namespace {

constexpr UINT Caption_Box_Inset = 2;

}  // namespace

TFrameWindow::TFrameWindow(TWindow* parent, const char* title, TWindow* client, bool, TModule* module)
    : TWindow(parent, title, module), client_(client) {
  Attr.Style = WS_OVERLAPPEDWINDOW | WS_VISIBLE;
  if (client_ && client_->Parent != this) client_->SetParent(this);
  system_menu_ = std::make_unique<TMenu>();
  system_menu_->AppendMenu(MF_STRING, SC_RESTORE, "&Restore");
  system_menu_->AppendMenu(MF_STRING, SC_MOVE, "&Move");
  system_menu_->AppendMenu(MF_STRING, SC_SIZE, "&Size");
  system_menu_->AppendMenu(MF_STRING, SC_MINIMIZE, "Mi&nimize");
  system_menu_->AppendMenu(MF_STRING, SC_MAXIMIZE, "Ma&ximize");
  system_menu_->AppendMenu(MF_SEPARATOR);
  system_menu_->AppendMenu(MF_STRING, SC_CLOSE, "&Close\tAlt+F4");
}

TFrameWindow::~TFrameWindow() = default;

TMenu* TFrameWindow::GetSystemMenu() { return (Attr.Style & WS_SYSMENU) ? system_menu_.get() : nullptr; }

TRect TFrameWindow::Client_Area() const {
  if ((Attr.Style & WS_CAPTION) != WS_CAPTION) return TWindow::Client_Area();
  int caption = std::min(GetSystemMetrics(SM_CYCAPTION), std::max(0, Attr.H));
  return {0, caption, std::max(0, Attr.W), std::max(caption, Attr.H)};
}

TRect TFrameWindow::Caption_Rect() const {
  if ((Attr.Style & WS_CAPTION) != WS_CAPTION) return {};
  return {0, 0, Attr.W, GetSystemMetrics(SM_CYCAPTION)};
}

TRect TFrameWindow::System_Box_Rect() const {
  TRect c = Caption_Rect();
  if (c.IsEmpty() || !(Attr.Style & WS_SYSMENU)) return {};
  int s = c.Height() - 2 * int(Caption_Box_Inset);
  return {int(Caption_Box_Inset), int(Caption_Box_Inset), int(Caption_Box_Inset) + s, int(Caption_Box_Inset) + s};
}

TRect TFrameWindow::Close_Box_Rect() const {
  TRect c = Caption_Rect();
  if (c.IsEmpty() || !(Attr.Style & WS_SYSMENU)) return {};
  int s = c.Height() - 2 * int(Caption_Box_Inset);
  int right = c.right - int(Caption_Box_Inset);
  return {right - s, int(Caption_Box_Inset), right, int(Caption_Box_Inset) + s};
}

TRect TFrameWindow::Minimise_Box_Rect() const {
  TRect close = Close_Box_Rect();
  if (close.IsEmpty() || !(Attr.Style & WS_MINIMIZEBOX)) return {};
  return close.Offset_By(-close.Width() - int(Caption_Box_Inset), 0);
}

TWindow* TFrameWindow::SetClientWindow(TWindow* client) {
  TWindow* old = client_;
  client_ = client;
  if (client_) {
    if (client_->Parent != this) client_->SetParent(this);
    if (IsWindow() && !client_->IsWindow()) client_->Create();
    Layout_Client();
  }
  return old;
}

void TFrameWindow::Layout_Client() {
  if (!client_) return;
  TRect r = GetClientRect();
  if (client_->Attr.X != r.left || client_->Attr.Y != r.top || client_->Attr.W != r.Width() ||
      client_->Attr.H != r.Height())
    client_->MoveWindow(r, true);
}

void TFrameWindow::SetupWindow() {
  Layout_Client();
  TWindow::SetupWindow();
}

bool TFrameWindow::SetIcon(TModule* module, uint32_t id) {
  const TIcon* icon = (module ? module : TModule::Program())->LoadIcon(id);
  if (!icon) return false;
  icon_ = icon;
  Show_Icon();
  return true;
}

bool TFrameWindow::SetIconSm(TModule* module, uint32_t id) {
  const TIcon* icon = (module ? module : TModule::Program())->LoadIcon(id);
  if (!icon) return false;
  small_icon_ = icon;
  Show_Icon();
  return true;
}

void TFrameWindow::Show_Icon() {
  if (!IsWindow()) return;
  TDesktop& desk = TDesktop::Current();
  if (desk.Main_Window() != GetHandle()) return;
  if (icon_) desk.Backend().Set_Icon(icon_->Size(), icon_->Argb());
  if (small_icon_) desk.Backend().Add_Icon(small_icon_->Size(), small_icon_->Argb());
}

void TFrameWindow::Show_On_Desktop() {
  if (!IsWindow() || TDesktop::Current().Main_Window() != GetHandle()) return;
  TDesktop::Current().Backend().Set_Title(Title());
  Show_Icon();
}

bool TFrameWindow::IdleAction(long idle_count) { return TWindow::IdleAction(idle_count); }

void TFrameWindow::EvSize(UINT size_type, const TSize& size) {
  Layout_Client();
  TWindow::EvSize(size_type, size);
}

void TFrameWindow::EvSysCommand(UINT cmd_type, const TPoint& point) {
  TDesktop& desk = TDesktop::Current();
  bool main = desk.Main_Window() == GetHandle();
  switch (cmd_type & 0xFFF0) {
    case SC_MINIMIZE:
      Attr.Style |= WS_MINIMIZE;
      if (main) {
        desk.Backend().Set_Minimised(true);
        desk.Backend().Hold_Screen_Saver(false);
      }
      return;
    case SC_RESTORE:
      Attr.Style &= ~WS_MINIMIZE;
      if (main) {
        desk.Backend().Set_Minimised(false);
        desk.Backend().Hold_Screen_Saver(true);
      }
      return;
    case SC_MAXIMIZE:
      Attr.Style &= ~WS_MINIMIZE;
      return;
    case SC_KEYMENU:
      Open_System_Menu();
      return;
    default:
      TWindow::EvSysCommand(cmd_type, point);
  }
}

void TFrameWindow::EvActivate(UINT active, bool minimized, HWND other) {
  bool now = active != WA_INACTIVE;
  if (now != active_caption_) {
    active_caption_ = now;
    Paint_Caption();
  }
  TWindow::EvActivate(active, minimized, other);
  // Keys go to the client rather than the frame itself.
  if (now && client_ && client_->IsWindow() && GetFocus() == GetHandle()) client_->SetFocus();
}

LRESULT TFrameWindow::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (Is_NC_Mouse_Message(msg)) {
    Non_Client_Mouse(msg, POINT_FROM_LPARAM(lp));
    return 0;
  }
  if (msg == WM_NCPAINT) {
    Paint_Caption();
    return 0;
  }
  if (msg == WM_ACTIVATE && LOWORD(wp) != WA_INACTIVE && TDesktop::Current().Main_Window() == GetHandle()) {
    // The desktop's title and icon follow the main frame; the screen saver
    // waits while it is in front.
    Show_On_Desktop();
    if (!Is_Minimised()) TDesktop::Current().Backend().Hold_Screen_Saver(true);
  }
  if (msg == WM_SETTEXT) {
    Paint_Caption();
    if (TDesktop::Current().Main_Window() == GetHandle()) TDesktop::Current().Backend().Set_Title(Title());
  }
  return TWindow::WindowProc(msg, wp, lp);
}

void TFrameWindow::Non_Client_Mouse(UINT msg, TPoint screen) {
  if (msg != WM_NCLBUTTONDOWN) return;
  TPoint p = screen - GetWindowRect().TopLeft();
  if (Close_Box_Rect().Contains(p)) PostMessage(WM_SYSCOMMAND, SC_CLOSE, 0);
  else if (Minimise_Box_Rect().Contains(p)) PostMessage(WM_SYSCOMMAND, SC_MINIMIZE, 0);
  else if (System_Box_Rect().Contains(p)) Open_System_Menu();
}

void TFrameWindow::Open_System_Menu() {
  TMenu* menu = GetSystemMenu();
  if (!menu || !IsWindow()) return;
  TRect box = System_Box_Rect();
  TPoint at{box.left, box.bottom};
  ClientToScreen(at);
  at = at - Client_Origin();
  UINT chosen = Track_Menu(*menu, at, *this, false);
  if (chosen && chosen != UINT(-1)) PostMessage(WM_SYSCOMMAND, chosen, 0);
}

void TFrameWindow::Paint_Caption() {
  TRect bar = Caption_Rect();
  if (bar.IsEmpty() || !IsWindow() || !IsWindowVisible()) return;
  using namespace Control_Paint;
  TWindowDC dc(*this);
  Fill(dc, bar, active_caption_ ? Active_Caption : Inactive_Caption);
  TRect sys = System_Box_Rect();
  if (!sys.IsEmpty()) {
    Box(dc, sys, false);
    int my = (sys.top + sys.bottom) / 2;
    Fill(dc, {sys.left + 3, my - 1, sys.right - 3, my + 1}, Dark);
  }
  TRect min = Minimise_Box_Rect();
  if (!min.IsEmpty()) {
    Box(dc, min, false);
    Fill(dc, {min.left + 4, min.bottom - 6, min.right - 5, min.bottom - 4}, Dark);
  }
  TRect close = Close_Box_Rect();
  if (!close.IsEmpty()) {
    Box(dc, close, false);
    for (int i = 0; i < close.Height() - 8; ++i) {
      Fill(dc, {close.left + 4 + i, close.top + 4 + i, close.left + 6 + i, close.top + 5 + i}, Dark);
      Fill(dc, {close.right - 6 - i, close.top + 4 + i, close.right - 4 - i, close.top + 5 + i}, Dark);
    }
  }
  TRect text = bar;
  text.left = (sys.IsEmpty() ? bar.left : sys.right) + 4;
  text.right = (!min.IsEmpty() ? min.left : !close.IsEmpty() ? close.left : bar.right) - 4;
  Centred_Text(dc, text, Title(), Light, Bold_Ui_Font());
}
