// The start-up title: a round window in the middle of the screen, shown
// while the program builds its windows. Once told that start-up is over it
// closes (after half a second, or at once on a click) and tells the window
// named then with Title_Finished_Message.
#pragma once

#include "platform/window/window.h"

class TModule;

class Title_Window : public TWindow {
 public:
  static constexpr UINT Close_Timer = 1;

  // No parent; becomes The_Title_Window.
  explicit Title_Window(TWindow* parent, TModule* module = nullptr);
  ~Title_Window() override;

  void SetupWindow() override;
  void CleanupWindow() override;
  void Paint(TDC& dc, bool erase, TRect& rect) override;
  bool EvEraseBkgnd(TDC&) override { return true; }
  void EvTimer(UINT timer_id) override;
  void EvLButtonUp(UINT keys, const TPoint& point) override;
  void EvSysCommand(UINT cmd_type, const TPoint& point) override;

  void Use_Program_Palette();
  void Start_Stepper();
  // Start-up is over: notify is told when the title has closed.
  void Finish(TWindow* notify);

  bool Finish_Requested = false;

 private:
  HWND notify_;
};

extern Title_Window* The_Title_Window;
