// The one owner of mouse capture. Every window that presses, drags or
// tracks the mouse asks here instead of capturing directly, so exactly one
// window holds the mouse at a time and the one that loses it is told with
// Mouse_Lost_Message. It also keeps the two buttons' state, fed by the
// application before each queued message is dispatched, and the lock with
// which the drawing window freezes capture while it iterates.
#pragma once

#include <cstdint>

#include "platform/window/hooks.h"
#include "platform/window/messages.h"
#include "toolkit/toolkit_messages.h"

class TWindow;

class Mouse {
 public:
  // Becomes The_Mouse.
  Mouse();
  ~Mouse();
  Mouse(const Mouse&) = delete;
  Mouse& operator=(const Mouse&) = delete;

  // Gives the mouse to window; the window that held it is told.
  void Capture(TWindow* window);
  // Frees the mouse; a holder other than window is told (window may be null).
  void Release(TWindow* window);
  // Puts the holder aside, untold, and captures for window.
  void Push_Capture(TWindow* window);
  // Gives the mouse back to the window put aside, or releases it.
  void Pop_Capture();
  // The recording procedure installed while a window holds the mouse; it
  // passes everything on.
  static LRESULT Journal_Hook(int code, WPARAM wparam, LPARAM lparam);

  // The window holding the mouse (null when none, or when it is gone).
  TWindow* Holder() const;
  bool Holds(const TWindow* window) const;
  TWindow* Saved_Holder() const;
  // The application's pre-dispatch step: follows the buttons.
  void Note_Message(UINT message);
  // Busy while locked or while a button is down.
  bool Busy() const { return Locked || Left_Button_Down || Right_Button_Down; }

  HHOOK Hook = 0;
  // Windows are kept by handle, so one that died is never reached.
  HWND Holder_Handle;
  HWND Saved_Holder_Handle;
  uint8_t Locked = 0;
  uint8_t Right_Button_Down = 0;
  uint8_t Left_Button_Down = 0;

 private:
  void Capture_For(TWindow* window);
  void Remove_Hook();
};

extern Mouse* The_Mouse;
