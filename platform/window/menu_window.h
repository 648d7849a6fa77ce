// The window of an open menu: a topmost popup listing the items, tracked in
// its own modal loop with the mouse (clicks outside dismiss it) and the keys
// (Up, Down, Enter, Esc, and an item's access key: the letter after its '&'
// chooses it, or moves among the items that share it).
#pragma once

#include <vector>

#include "platform/window/menu.h"
#include "platform/window/window.h"

class TMenu_Window : public TWindow {
 public:
  TMenu_Window(const TMenu& menu, TWindow& owner, bool right_button, TMenu_Window* parent_menu = nullptr);
  // Opens at a screen point; the chosen command, or 0.
  UINT Track(TPoint screen);

  // Item geometry in client coordinates (tests and drawing).
  TRect Item_Rect(int index) const;
  bool Item_Enabled(int index) const { return enabled_[size_t(index)]; }
  int Highlighted() const { return highlight_; }

  void Paint(TDC& dc, bool erase, TRect& rect) override;
  bool EvEraseBkgnd(TDC&) override { return true; }
  void EvMouseMove(UINT keys, const TPoint& p) override;
  void EvLButtonDown(UINT keys, const TPoint& p) override;
  void EvLButtonUp(UINT keys, const TPoint& p) override;
  void EvRButtonDown(UINT keys, const TPoint& p) override;
  void EvRButtonUp(UINT keys, const TPoint& p) override;
  void EvKeyDown(UINT key, UINT repeat, UINT flags) override;
  void EvCaptureChanged(HWND next) override;

 private:
  void Ask_Enablers();
  void Layout();
  int Item_At(TPoint p) const;
  void Set_Highlight(int index);
  void Choose(int index);
  void Dismiss();
  void Step(int direction);
  void Access_Key(UINT key);
  // Opens the submenu of an item beside it; its choice, if any, is this
  // menu's choice.
  void Open_Submenu(int index);
  bool Over_Parent_Menu(TPoint client) const;

  const TMenu& menu_;
  TWindow& owner_;
  bool right_button_;
  TMenu_Window* parent_menu_;
  bool dismiss_all_ = false;  // closed by a click outside every menu
  std::vector<bool> enabled_;
  std::vector<int> tops_;
  int highlight_ = -1;
  bool done_ = false;
  UINT chosen_ = 0;
};
