#include "platform/window/button.h"

#include "platform/gdi/dc.h"
#include "platform/window/control_paint.h"
#include "platform/window/menu.h"

TButton::TButton(TWindow* parent, int id, const char* text, int x, int y, int w, int h, bool is_default)
    : TWindow(parent, text), is_default_(is_default) {
  Attr.Id = id;
  Attr.Style |= WS_TABSTOP;
  Attr.X = x;
  Attr.Y = y;
  Attr.W = w;
  Attr.H = h;
}

void TButton::Click() {
  if (Parent) Parent->SendMessage(WM_COMMAND, MAKEWPARAM(uint16_t(Attr.Id), BN_CLICKED), GetHandle().To_Param());
}

void TButton::Paint(TDC& dc, bool, TRect&) {
  using namespace Control_Paint;
  TRect r = GetClientRect();
  if (is_default_) {
    Fill(dc, r, Dark);
    r = r.Inflated_By(-1, -1);
  }
  Box(dc, r, pressed_);
  TRect text = pressed_ ? r.Offset_By(1, 1) : r;
  Centred_Text(dc, text, TMenu::Display_Text(Title()), IsWindowEnabled() ? Text : Grey_Text, Ui_Font());
  if (GetFocus() == GetHandle()) dc.DrawFocusRect(r.Inflated_By(-4, -4));
}

void TButton::Set_Pressed(bool pressed) {
  if (pressed == pressed_) return;
  pressed_ = pressed;
  Invalidate(false);
  UpdateWindow();
}

void TButton::EvLButtonDown(UINT, const TPoint&) {
  SetFocus();
  SetCapture();
  tracking_ = true;
  Set_Pressed(true);
}

void TButton::EvMouseMove(UINT, const TPoint& p) {
  if (tracking_) Set_Pressed(GetClientRect().Contains(p));
}

void TButton::EvLButtonUp(UINT, const TPoint& p) {
  if (!tracking_) return;
  tracking_ = false;
  ReleaseCapture();
  bool inside = GetClientRect().Contains(p);
  Set_Pressed(false);
  if (inside) Click();
}

void TButton::EvKeyDown(UINT key, UINT, UINT) {
  if (key == VK_SPACE) Set_Pressed(true);
}

void TButton::EvKeyUp(UINT key, UINT, UINT) {
  if (key == VK_SPACE && pressed_) {
    Set_Pressed(false);
    Click();
  }
}

void TButton::EvSetFocus(HWND) { Invalidate(false); }
void TButton::EvKillFocus(HWND) {
  pressed_ = false;
  Invalidate(false);
}

LRESULT TButton::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg != BM_CLICK) return TWindow::WindowProc(msg, wp, lp);
  if (IsWindowEnabled()) Click();
  return 0;
}
