#include "platform/window/window.h"

#include <algorithm>
#include <mutex>

#include "platform/window/application.h"
#include "platform/window/command_enabler.h"
#include "platform/window/desktop.h"

// Sections: life; tree; text, styles and states; geometry; focus, capture and
// timers; dispatch; default handlers.

namespace {

TDesktop& Desk() { return TDesktop::Current(); }

}  // namespace

// ---- Life

TWindow::TWindow(TWindow* parent, const char* title, TModule*) : Parent(parent), title_(title ? title : "") {
  Attr.Style = parent ? (WS_CHILD | WS_VISIBLE) : (WS_POPUP | WS_VISIBLE);
  if (parent) parent->Add_Child(this);
}

TWindow::~TWindow() {
  if (handle_ && TDesktop::Running()) Destroy();
  // Children still attached belong to this window; members and children
  // deleted earlier have already left the list.
  while (!children_.empty()) {
    TWindow* child = children_.back();
    children_.pop_back();
    child->Parent = nullptr;
    delete child;
  }
  if (Parent) Parent->Remove_Child(this);
}

bool TWindow::Create() {
  if (handle_) return true;
  if (!TDesktop::Running()) return false;
  if (Is_Child() && (!Parent || !Parent->IsWindow())) return false;
  TDesktop& desk = Desk();
  {
    // The tree lock is held only while the structure changes, never across
    // the program's handlers (which may wait for a thread that draws).
    std::lock_guard tree(desk.Tree_Lock());
    handle_ = desk.Register(this);
    if (Is_Child()) Parent->z_order_.push_back(this);  // new children go to the bottom
    else desk.Add_Top_Level(this);
  }
  WindowProc(WM_CREATE, 0, 0);
  in_setup_ = true;
  SetupWindow();
  in_setup_ = false;
  if (!handle_) return false;  // destroyed during its own set-up
  WindowProc(WM_SIZE, 0, MAKELPARAM_POINT(GetClientRect().Width(), GetClientRect().Height()));
  if (IsWindowVisible()) {
    RedrawWindow(nullptr, true);
    desk.Layout_Changed();
    if (!Is_Child() && IsWindowEnabled()) desk.Activate(this);
  }
  return true;
}

void TWindow::SetupWindow() { Create_Children(); }

void TWindow::CleanupWindow() {}

void TWindow::Create_Children() {
  // Creating a child may add more children: walk a copy.
  for (TWindow* child : std::vector<TWindow*>(children_))
    if (!child->handle_ && std::find(children_.begin(), children_.end(), child) != children_.end())
      child->Create();
}

void TWindow::Destroy(int) {
  if (!handle_ || in_destroy_ || !TDesktop::Running()) return;
  TDesktop& desk = Desk();
  in_destroy_ = true;
  bool was_visible = IsWindowVisible();
  TRect screen_rect = GetWindowRect();
  CleanupWindow();
  WindowProc(WM_DESTROY, 0, 0);
  Destroy_Children();
  if (was_visible) desk.Expose(screen_rect, this);
  bool was_main = desk.Main_Window() == handle_;
  desk.Forget(this);
  {
    std::lock_guard tree(desk.Tree_Lock());
    if (Is_Child() && Parent) {
      auto& z = Parent->z_order_;
      z.erase(std::remove(z.begin(), z.end(), this), z.end());
    }
    desk.Unregister(handle_);
    handle_ = HWND();
    update_region_.reset();
    desk.Drop_Bindings(this);
  }
  erase_pending_ = false;
  in_destroy_ = false;
  if (was_main) desk.Post_Quit(0);
}

void TWindow::Destroy_Children() {
  for (auto it = children_.rbegin(); it != children_.rend(); ++it)
    if ((*it)->handle_) (*it)->Destroy();
  // A child's destruction may have changed the list; go again for stragglers.
  for (TWindow* child : std::vector<TWindow*>(children_))
    if (child->handle_) child->Destroy();
}

void TWindow::CloseWindow(int ret_val) {
  if (CanClose()) Destroy(ret_val);
}

TApplication* TWindow::GetApplication() const { return TApplication::Current(); }

TWindow* TWindow::From_Handle(HWND hwnd) { return TDesktop::Running() ? Desk().Window(hwnd) : nullptr; }

// ---- Tree

void TWindow::Add_Child(TWindow* child) { children_.push_back(child); }

void TWindow::Remove_Child(TWindow* child) {
  std::unique_lock<std::recursive_mutex> tree;
  if (TDesktop::Running()) tree = std::unique_lock(TDesktop::Current().Tree_Lock());
  children_.erase(std::remove(children_.begin(), children_.end(), child), children_.end());
  z_order_.erase(std::remove(z_order_.begin(), z_order_.end(), child), z_order_.end());
}

bool TWindow::Has_Child(const TWindow* child) const {
  return std::find(children_.begin(), children_.end(), child) != children_.end();
}

TWindow* TWindow::ChildWithId(int id) const {
  for (TWindow* c : children_)
    if (c->Attr.Id == id) return c;
  return nullptr;
}

TWindow* TWindow::Top_Level() {
  TWindow* w = this;
  while (w->Is_Child() && w->Parent) w = w->Parent;
  return w;
}

void TWindow::SetParent(TWindow* new_parent) {
  if (new_parent == Parent) return;
  bool on_screen = handle_ && IsWindowVisible();
  TRect old = GetWindowRect();
  if (on_screen) Desk().Expose(old, this);
  {
    std::unique_lock<std::recursive_mutex> tree;
    if (TDesktop::Running()) tree = std::unique_lock(Desk().Tree_Lock());
    if (Parent) Parent->Remove_Child(this);
    Parent = new_parent;
    if (Parent) {
      Parent->Add_Child(this);
      if (handle_ && Is_Child()) Parent->z_order_.insert(Parent->z_order_.begin(), this);
    }
  }
  if (on_screen) Invalidate(true);
  if (handle_) Desk().Layout_Changed();
}

bool TWindow::Hit_Children_Front_To_Back(TPoint p, TWindow*& hit) const {
  for (TWindow* c : z_order_) {
    if (!(c->Attr.Style & WS_VISIBLE)) continue;
    TRect r = c->Window_Rect_In_Parent();
    if (!r.Contains(p) || !c->Shape_Contains(p - r.TopLeft())) continue;
    // A disabled child is passed over: the input goes to this window.
    if (!c->IsWindowEnabled()) return false;
    hit = c;
    return true;
  }
  return false;
}

// ---- Text, styles and states

void TWindow::SetWindowText(const std::string& text) {
  title_ = text;
  if (handle_) WindowProc(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(title_.c_str()));
}

void TWindow::SetStyle(uint32_t style) {
  uint32_t changed = style ^ Attr.Style;
  if (changed & WS_VISIBLE) ShowWindow(style & WS_VISIBLE ? SW_SHOW : SW_HIDE);
  if (changed & WS_DISABLED) EnableWindow(!(style & WS_DISABLED));
  Attr.Style = style;
}

bool TWindow::IsWindowVisible() const {
  for (const TWindow* w = this; w; w = w->Is_Child() ? w->Parent : nullptr)
    if (!(w->Attr.Style & WS_VISIBLE)) return false;
  return true;
}

bool TWindow::Takes_Input() const {
  for (const TWindow* w = this; w; w = w->Is_Child() ? w->Parent : nullptr)
    if (w->Attr.Style & WS_DISABLED) return false;
  return true;
}

bool TWindow::Under_Construction() const {
  for (const TWindow* w = this; w; w = w->Is_Child() ? w->Parent : nullptr)
    if (w->in_setup_) return true;
  return false;
}

bool TWindow::ShowWindow(int cmd) {
  bool was = (Attr.Style & WS_VISIBLE) != 0;
  bool show = cmd != SW_HIDE;
  if (cmd == SW_MINIMIZE || cmd == SW_SHOWMINIMIZED) Attr.Style |= WS_MINIMIZE;
  if (cmd == SW_RESTORE || cmd == SW_SHOWNORMAL || cmd == SW_SHOWMAXIMIZED) Attr.Style &= ~WS_MINIMIZE;
  if (show == was) {
    if (show && handle_ && !Is_Child() && cmd != SW_SHOWNA && cmd != SW_SHOWNOACTIVATE && IsWindowEnabled())
      Desk().Activate(this);
    return was;
  }
  if (!handle_) {
    Attr.Style = show ? (Attr.Style | WS_VISIBLE) : (Attr.Style & ~WS_VISIBLE);
    return was;
  }
  TDesktop& desk = Desk();
  WindowProc(WM_SHOWWINDOW, show, 0);
  if (!handle_) return was;
  if (show) {
    {
      std::lock_guard tree(desk.Tree_Lock());
      Attr.Style |= WS_VISIBLE;
    }
    RedrawWindow(nullptr, true);
    if (!Is_Child() && cmd != SW_SHOWNA && cmd != SW_SHOWNOACTIVATE && IsWindowEnabled()) desk.Activate(this);
  } else {
    bool on_screen = IsWindowVisible();
    TRect r = GetWindowRect();
    {
      std::lock_guard tree(desk.Tree_Lock());
      Attr.Style &= ~WS_VISIBLE;
    }
    if (on_screen || !Is_Child() || (Parent && Parent->IsWindowVisible())) desk.Expose(r, this);
    desk.Hidden(this);
  }
  desk.Layout_Changed();
  return was;
}

bool TWindow::EnableWindow(bool enable) {
  bool was_disabled = (Attr.Style & WS_DISABLED) != 0;
  if (enable == !was_disabled) return was_disabled;
  if (enable) Attr.Style &= ~WS_DISABLED;
  else Attr.Style |= WS_DISABLED;
  if (handle_) {
    WindowProc(WM_ENABLE, enable, 0);
    Desk().Layout_Changed();
  }
  return was_disabled;
}

// ---- Geometry

void TWindow::MoveWindow(int x, int y, int w, int h, bool repaint) {
  SetWindowPos(HWND(), x, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0u : UINT(SWP_NOREDRAW)));
}

bool TWindow::SetWindowPos(HWND after, int x, int y, int w, int h, UINT flags) {
  TDesktop* desk = handle_ ? &Desk() : nullptr;
  std::unique_lock<std::recursive_mutex> tree;
  if (desk) tree = std::unique_lock(desk->Tree_Lock());
  TRect old = desk ? GetWindowRect() : TRect();
  bool visible = desk && IsWindowVisible();
  bool moved = !(flags & SWP_NOMOVE) && (x != Attr.X || y != Attr.Y);
  bool sized = !(flags & SWP_NOSIZE) && (w != Attr.W || h != Attr.H);
  if (!(flags & SWP_NOMOVE)) {
    Attr.X = x;
    Attr.Y = y;
  }
  if (!(flags & SWP_NOSIZE)) {
    Attr.W = std::max(0, w);
    Attr.H = std::max(0, h);
  }
  if (!desk) {
    if (flags & SWP_SHOWWINDOW) Attr.Style |= WS_VISIBLE;
    if (flags & SWP_HIDEWINDOW) Attr.Style &= ~WS_VISIBLE;
    if (after == HWND_TOPMOST) Attr.ExStyle |= WS_EX_TOPMOST;
    if (after == HWND_NOTOPMOST) Attr.ExStyle &= ~WS_EX_TOPMOST;
    return true;
  }
  if (!(flags & SWP_NOZORDER)) {
    if (Is_Child() && Parent) {
      auto& z = Parent->z_order_;
      z.erase(std::remove(z.begin(), z.end(), this), z.end());
      if (after == HWND_BOTTOM) {
        z.push_back(this);
      } else if (TWindow* a = From_Handle(after); a && a != this && a->Parent == Parent) {
        z.insert(std::find(z.begin(), z.end(), a) + (std::find(z.begin(), z.end(), a) != z.end() ? 1 : 0), this);
      } else {
        z.insert(z.begin(), this);
      }
      tree = {};
      if (visible) Invalidate(true);
    } else if (tree = {}; after == HWND_TOPMOST) {
      desk->Set_Topmost(this, true);
    } else if (after == HWND_NOTOPMOST) {
      desk->Set_Topmost(this, false);
    } else if (after == HWND_BOTTOM) {
      desk->Lower(this);
    } else {
      desk->Raise(this);
    }
  }
  if (tree.owns_lock()) tree.unlock();
  if ((moved || sized) && visible && !(flags & SWP_NOREDRAW)) {
    desk->Expose(old, this);
    RedrawWindow(nullptr, true);
  }
  if (moved) WindowProc(WM_MOVE, 0, MAKELPARAM_POINT(Attr.X, Attr.Y));
  if (moved && !Is_Child() && visible && !(flags & SWP_NOREDRAW)) WindowProc(WM_NCPAINT, 0, 0);
  if (sized && handle_) WindowProc(WM_SIZE, 0, MAKELPARAM_POINT(GetClientRect().Width(), GetClientRect().Height()));
  if (!handle_) return true;
  if (flags & SWP_SHOWWINDOW) ShowWindow((flags & SWP_NOACTIVATE) ? SW_SHOWNA : SW_SHOW);
  if (flags & SWP_HIDEWINDOW) ShowWindow(SW_HIDE);
  if (moved || sized) desk->Layout_Changed();
  return true;
}

void TWindow::BringWindowToTop() { SetWindowPos(HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE); }

TRect TWindow::GetWindowRect() const {
  TRect r = Window_Rect_In_Parent();
  if (Is_Child() && Parent) {
    TPoint o = Parent->Client_Screen_Origin();
    r = r.Offset_By(o.x, o.y);
  }
  return r;
}

TRect TWindow::Client_Area() const {
  if ((Attr.Style & WS_BORDER) && (Attr.Style & WS_CAPTION) != WS_CAPTION && Attr.W >= 2 && Attr.H >= 2)
    return {1, 1, Attr.W - 1, Attr.H - 1};
  return {0, 0, std::max(0, Attr.W), std::max(0, Attr.H)};
}

TRect TWindow::GetClientRect() const {
  TRect a = Client_Area();
  return {0, 0, std::max(0, a.Width()), std::max(0, a.Height())};
}

TPoint TWindow::Client_Screen_Origin() const { return GetWindowRect().TopLeft() + Client_Origin(); }

void TWindow::ClientToScreen(TPoint& p) const { p = p + Client_Screen_Origin(); }

void TWindow::ScreenToClient(TPoint& p) const { p = p - Client_Screen_Origin(); }

void TWindow::MapWindowPoints(HWND to, TPoint* points, int count) const {
  TPoint from = Client_Screen_Origin();
  TWindow* target = From_Handle(to);
  TPoint dest = target ? target->Client_Screen_Origin() : TPoint();
  for (int i = 0; i < count; ++i) points[i] = points[i] + from - dest;
}

// ---- Focus, capture and timers

HWND TWindow::SetFocus() { return handle_ ? Desk().Set_Focus(handle_) : HWND(); }
HWND TWindow::GetFocus() { return TDesktop::Running() ? Desk().Focus() : HWND(); }
HWND TWindow::SetCapture() { return handle_ ? Desk().Set_Capture(handle_) : HWND(); }
void TWindow::ReleaseCapture() {
  if (TDesktop::Running()) Desk().Release_Capture();
}
HWND TWindow::GetCapture() { return TDesktop::Running() ? Desk().Capture() : HWND(); }

UINT TWindow::SetTimer(UINT id, UINT ms, TIMERPROC proc) {
  return handle_ ? Desk().Set_Timer(handle_, id, ms, proc) : 0;
}

bool TWindow::KillTimer(UINT id) { return handle_ && Desk().Kill_Timer(handle_, id); }

// ---- Dispatch

LRESULT TWindow::SendMessage(UINT msg, WPARAM wp, LPARAM lp) {
  return handle_ ? Desk().Send(handle_, msg, wp, lp) : 0;
}

bool TWindow::PostMessage(UINT msg, WPARAM wp, LPARAM lp) {
  HWND handle = handle_;  // read once: Destroy may clear it meanwhile
  return handle && Desk().Post(handle, msg, wp, lp);
}

bool TWindow::Find(TEventInfo&) { return false; }

bool TWindow::PreProcessMsg(MSG&) { return false; }

LRESULT TWindow::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg != WM_COMMAND && msg != WM_COMMAND_ENABLE) {
    TEventInfo info{msg, 0, wp, lp};
    if (Find(info)) return info.Result;
  }
  TPoint pt = POINT_FROM_LPARAM(lp);
  switch (msg) {
    case WM_LBUTTONDOWN: EvLButtonDown(UINT(wp), pt); return 0;
    case WM_LBUTTONUP: EvLButtonUp(UINT(wp), pt); return 0;
    case WM_LBUTTONDBLCLK: EvLButtonDblClk(UINT(wp), pt); return 0;
    case WM_RBUTTONDOWN: EvRButtonDown(UINT(wp), pt); return 0;
    case WM_RBUTTONUP: EvRButtonUp(UINT(wp), pt); return 0;
    case WM_MOUSEMOVE: EvMouseMove(UINT(wp), pt); return 0;
    case WM_KEYDOWN: EvKeyDown(UINT(wp), LOWORD(lp), HIWORD(lp)); return 0;
    case WM_KEYUP: EvKeyUp(UINT(wp), LOWORD(lp), HIWORD(lp)); return 0;
    case WM_CHAR: EvChar(UINT(wp), LOWORD(lp), HIWORD(lp)); return 0;
    case WM_SYSKEYDOWN: EvSysKeyDown(UINT(wp), LOWORD(lp), HIWORD(lp)); return 0;
    case WM_TIMER: EvTimer(UINT(wp)); return 0;
    case WM_PAINT:
      // The frame outside the client area is drawn with every paint.
      if (Client_Origin() != TPoint(0, 0)) WindowProc(WM_NCPAINT, 0, 0);
      EvPaint();
      return 0;
    case WM_ERASEBKGND: return EvEraseBkgnd(*reinterpret_cast<TDC*>(wp));
    case WM_SETFOCUS: EvSetFocus(HWND::From_Param(wp)); return 0;
    case WM_KILLFOCUS: EvKillFocus(HWND::From_Param(wp)); return 0;
    case WM_ACTIVATE: EvActivate(LOWORD(wp), HIWORD(wp) != 0, HWND::From_Param(uintptr_t(lp))); return 0;
    case WM_SHOWWINDOW: EvShowWindow(wp != 0, UINT(lp)); return 0;
    case WM_SIZE: EvSize(UINT(wp), TSize(pt.x, pt.y)); return 0;
    case WM_MOVE: EvMove(pt); return 0;
    case WM_CLOSE: EvClose(); return 0;
    case WM_DESTROY: EvDestroy(); return 0;
    case WM_SYSCOMMAND: EvSysCommand(UINT(wp), pt); return 0;
    case WM_CAPTURECHANGED: EvCaptureChanged(HWND::From_Param(uintptr_t(lp))); return 0;
    case WM_GETDLGCODE: return EvGetDlgCode(reinterpret_cast<const MSG*>(lp));
    case WM_SETCURSOR: return EvSetCursor(HWND::From_Param(wp), LOWORD(lp), HIWORD(lp));
    case WM_COMMAND: return EvCommand(LOWORD(wp), HWND::From_Param(uintptr_t(lp)), HIWORD(wp));
    case WM_COMMAND_ENABLE:
      if (lp) EvCommandEnable(*reinterpret_cast<TCommandEnabler*>(lp));
      return 0;
    default: return DefWindowProc(msg, wp, lp);
  }
}

LRESULT TWindow::DefWindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_CLOSE:
      Destroy();
      return 0;
    case WM_SYSCOMMAND:
      switch (wp & 0xFFF0) {
        case SC_CLOSE: SendMessage(WM_CLOSE); return 0;
        case SC_MINIMIZE: ShowWindow(SW_MINIMIZE); return 0;
        case SC_RESTORE: ShowWindow(SW_RESTORE); return 0;
        default: return 0;
      }
    case WM_SETCURSOR:
      // The nearest window with a cursor of its own chooses.
      if (cursor_) {
        Desk().Set_Cursor(cursor_);
        return 1;
      }
      if (Is_Child() && Parent) return Parent->SendMessage(WM_SETCURSOR, wp, lp);
      return 0;
    case WM_NCPAINT:
      Paint_Border();
      return 0;
    case WM_ACTIVATE: {
      TWindow* focus = From_Handle(GetFocus());
      const bool focus_here = focus && focus->Top_Level() == this;
      if (LOWORD(wp) == WA_INACTIVE) {
        focus_kept_ = focus_here ? focus->GetHandle() : HWND();
      } else if (!focus_here) {
        // The window that had the keyboard when this one went to the back
        // has it again, while it can still take it.
        TWindow* kept = From_Handle(focus_kept_);
        focus_kept_ = HWND();
        if (kept && kept->Top_Level() == this && kept->IsWindowVisible() && kept->Takes_Input()) kept->SetFocus();
        else SetFocus();
      }
      return 0;
    }
    default:
      (void)lp;
      return 0;
  }
}

// ---- Default handlers

void TWindow::EvLButtonDown(UINT k, const TPoint& p) { DefWindowProc(WM_LBUTTONDOWN, k, MAKELPARAM_POINT(p.x, p.y)); }
void TWindow::EvLButtonUp(UINT k, const TPoint& p) { DefWindowProc(WM_LBUTTONUP, k, MAKELPARAM_POINT(p.x, p.y)); }
void TWindow::EvLButtonDblClk(UINT k, const TPoint& p) { DefWindowProc(WM_LBUTTONDBLCLK, k, MAKELPARAM_POINT(p.x, p.y)); }
void TWindow::EvRButtonDown(UINT k, const TPoint& p) { DefWindowProc(WM_RBUTTONDOWN, k, MAKELPARAM_POINT(p.x, p.y)); }
void TWindow::EvRButtonUp(UINT k, const TPoint& p) { DefWindowProc(WM_RBUTTONUP, k, MAKELPARAM_POINT(p.x, p.y)); }
void TWindow::EvMouseMove(UINT k, const TPoint& p) { DefWindowProc(WM_MOUSEMOVE, k, MAKELPARAM_POINT(p.x, p.y)); }
void TWindow::EvKeyDown(UINT key, UINT, UINT) { DefWindowProc(WM_KEYDOWN, key, 0); }
void TWindow::EvKeyUp(UINT key, UINT, UINT) { DefWindowProc(WM_KEYUP, key, 0); }
void TWindow::EvChar(UINT key, UINT, UINT) { DefWindowProc(WM_CHAR, key, 0); }
void TWindow::EvSysKeyDown(UINT key, UINT, UINT flags) {
  // Alt+F4 closes the top-level window, as the system does.
  if (key == VK_F4 && (flags & 0x2000)) {
    Top_Level()->PostMessage(WM_SYSCOMMAND, SC_CLOSE, 0);
    return;
  }
  // Alt+Space opens the system menu of the top-level window.
  if (key == VK_SPACE && (flags & 0x2000)) {
    Top_Level()->PostMessage(WM_SYSCOMMAND, SC_KEYMENU, ' ');
    return;
  }
  DefWindowProc(WM_SYSKEYDOWN, key, 0);
}
void TWindow::EvTimer(UINT id) { DefWindowProc(WM_TIMER, id, 0); }
void TWindow::EvSetFocus(HWND) {}
void TWindow::EvKillFocus(HWND) {}
void TWindow::EvActivate(UINT active, bool minimized, HWND other) {
  DefWindowProc(WM_ACTIVATE, MAKEWPARAM(uint16_t(active), minimized), other.To_Param());
}
void TWindow::EvShowWindow(bool, UINT) {}
void TWindow::EvSize(UINT, const TSize&) {}
void TWindow::EvMove(const TPoint&) {}
void TWindow::EvDestroy() {}
void TWindow::EvCaptureChanged(HWND) {}
UINT TWindow::EvGetDlgCode(const MSG*) { return 0; }
bool TWindow::EvSetCursor(HWND window, UINT hit_test, UINT mouse_msg) {
  return DefWindowProc(WM_SETCURSOR, window.Value(), LPARAM(hit_test) | (LPARAM(mouse_msg) << 16)) != 0;
}
void TWindow::EvSysCommand(UINT cmd, const TPoint& p) { DefWindowProc(WM_SYSCOMMAND, cmd, MAKELPARAM_POINT(p.x, p.y)); }

void TWindow::EvClose() {
  TDesktop& desk = Desk();
  if (desk.Main_Window() == handle_) {
    // The main window asks the application (its own close query) first;
    // destroying it ends the run.
    if (CanClose()) Destroy();
    return;
  }
  bool parentless = !Parent;
  if (!CanClose()) return;
  Destroy();
  // A parentless window closed this way has no owner to delete it.
  if (parentless) desk.Condemn(this);
}

LRESULT TWindow::EvCommand(UINT id, HWND control, UINT notify_code) {
  TEventInfo info{WM_COMMAND, id, MAKEWPARAM(uint16_t(id), uint16_t(notify_code)), control.To_Param()};
  if (Find(info)) return info.Result;
  return DefWindowProc(WM_COMMAND, info.WParam, info.LParam);
}

void TWindow::EvCommandEnable(TCommandEnabler& enabler) {
  TEventInfo info{WM_COMMAND_ENABLE, enabler.GetId(), 0, reinterpret_cast<LPARAM>(&enabler)};
  if (Find(info)) return;
  // No enabler: a command that has a handler is available.
  TEventInfo probe{WM_COMMAND, enabler.GetId(), enabler.GetId(), 0};
  probe.Probe = true;
  if (Find(probe)) enabler.Enable(true);
}

bool TWindow::CanClose() {
  for (TWindow* child : std::vector<TWindow*>(children_))
    if (Has_Child(child) && child->handle_ && !child->CanClose()) return false;
  return true;
}

bool TWindow::IdleAction(long idle_count) {
  bool more = false;
  for (TWindow* child : std::vector<TWindow*>(children_))
    if (Has_Child(child) && child->handle_) more |= child->IdleAction(idle_count);
  return more;
}

void TWindow::Paint(TDC&, bool, TRect&) {}

const TBrush* TWindow::EvCtlColor(TDC&, HWND, UINT) { return nullptr; }
