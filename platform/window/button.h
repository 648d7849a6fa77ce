// TButton: a plain push button. A click (press and release over it, or the
// space bar while it has the focus, or BM_CLICK) sends WM_COMMAND with its
// id and BN_CLICKED to its parent; the default button has a heavier border.
#pragma once

#include "platform/window/window.h"

class TButton : public TWindow {
 public:
  TButton(TWindow* parent, int id, const char* text, int x, int y, int w, int h, bool is_default = false);
  bool Is_Default() const { return is_default_; }
  bool Pressed() const { return pressed_; }
  void Click();

  void Paint(TDC& dc, bool erase, TRect& rect) override;
  bool EvEraseBkgnd(TDC&) override { return true; }
  void EvLButtonDown(UINT keys, const TPoint& p) override;
  void EvMouseMove(UINT keys, const TPoint& p) override;
  void EvLButtonUp(UINT keys, const TPoint& p) override;
  void EvKeyDown(UINT key, UINT repeat, UINT flags) override;
  void EvKeyUp(UINT key, UINT repeat, UINT flags) override;
  void EvSetFocus(HWND lost) override;
  void EvKillFocus(HWND gets) override;
  UINT EvGetDlgCode(const MSG*) override { return DLGC_BUTTON; }
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  void Set_Pressed(bool pressed);
  bool is_default_;
  bool pressed_ = false;
  bool tracking_ = false;
};
