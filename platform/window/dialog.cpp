#include "platform/window/dialog.h"

#include <cassert>

#include "platform/window/control_paint.h"
#include "platform/window/desktop.h"
#include "platform/window/dialog_keys.h"
#include "platform/window/screen.h"
#include "platform/window/user.h"
#include "platform/gdi/dc.h"

TDialog::TDialog(TWindow* parent, const char* title, TModule* module) : TFrameWindow(parent, title, nullptr, false, module) {
  Attr.Style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE;
}

TDialog::TDialog(TWindow* parent, int resource_id, TModule* module) : TDialog(parent, nullptr, module) {
  resource_id_ = resource_id;
}

void TDialog::SetupWindow() {
  // A dialog without a place of its own is centred on the screen.
  if (Attr.W > 0 && Attr.H > 0 && Attr.X == 0 && Attr.Y == 0) {
    TSize s = TDesktop::Current().Screen().Size();
    Attr.X = (s.cx - Attr.W) / 2;
    Attr.Y = (s.cy - Attr.H) / 2;
  }
  TFrameWindow::SetupWindow();
}

TWindow* TDialog::First_Focus() {
  TWindow* first = TDialog_Keys(*this, 0, 0).Next_Tab_Stop(nullptr, false);
  return first ? first : this;
}

int TDialog::Execute() {
  assert(!running_ && "a dialog runs once at a time");
  if (running_) return IDCANCEL;
  TDesktop& desk = TDesktop::Current();
  const HWND had_keys = desk.Focus();
  int x = Attr.X, y = Attr.Y;
  ended_ = false;
  result_ = IDCANCEL;
  if (!Create()) return -1;
  TWindow* owner = Parent ? Parent->Top_Level() : nullptr;
  HWND owner_handle = owner ? owner->GetHandle() : HWND();
  bool owner_was_enabled = owner && owner->IsWindowEnabled();
  if (owner) owner->EnableWindow(false);
  desk.Begin_Modal(this);
  running_ = true;
  ShowWindow(SW_SHOW);
  // A dialog whose set-up put the keyboard into one of its windows keeps
  // it there; otherwise the first tab stop takes it.
  TWindow* focused = TWindow::From_Handle(TWindow::GetFocus());
  if (!focused || focused == this || focused->Top_Level() != this) First_Focus()->SetFocus();
  HWND self = GetHandle();
  desk.Run_Loop([&] { return ended_ || !desk.Window(self); });
  running_ = false;
  desk.End_Modal(self);
  // The owner comes back before the dialog goes, so it is activated again.
  if (owner && desk.Window(owner_handle) && owner_was_enabled) owner->EnableWindow(true);
  Destroy();
  Attr.X = x;
  Attr.Y = y;
  // The person goes on where she was, whoever raised the dialog. Else the
  // owner comes to the front; a hidden owner (help that raised the box as it
  // closed) leaves the activation, and the keyboard with it, to the window
  // in front.
  if (!desk.Give_Keys_Back(had_keys) && owner && desk.Window(owner_handle) && owner->IsWindowVisible())
    desk.Activate(owner);
  return result_;
}

void TDialog::EndDialog(int ret_value) {
  result_ = ret_value;
  ended_ = true;
  if (!running_) Destroy();
}

void TDialog::CloseWindow(int ret_value) {
  if (CanClose()) EndDialog(ret_value);
}

void TDialog::CmOk() { CloseWindow(IDOK); }
void TDialog::CmCancel() { EndDialog(IDCANCEL); }

void TDialog::EvClose() { CmCancel(); }

LRESULT TDialog::EvCommand(UINT id, HWND control, UINT notify_code) {
  TEventInfo info{WM_COMMAND, id, MAKEWPARAM(uint16_t(id), uint16_t(notify_code)), control.To_Param()};
  if (Find(info)) return info.Result;
  if (id == IDOK && notify_code == 0) {
    CmOk();
    return 0;
  }
  if (id == IDCANCEL && notify_code == 0) {
    CmCancel();
    return 0;
  }
  return TFrameWindow::EvCommand(id, control, notify_code);
}

bool TDialog::PreProcessMsg(MSG& msg) { return TDialog_Keys(*this, Default_Button(), Cancel_Button()).Handle(msg); }

bool TDialog::EvEraseBkgnd(TDC& dc) {
  Control_Paint::Fill(dc, GetClientRect(), Control_Paint::Face);
  return true;
}
