#include "toolkit/mouse.h"

#include "toolkit/demonstration_state.h"
#include "platform/window/user.h"
#include "platform/window/window.h"

Mouse* The_Mouse = nullptr;

Mouse::Mouse() { The_Mouse = this; }

Mouse::~Mouse() {
  Remove_Hook();
  if (The_Mouse == this) The_Mouse = nullptr;
}

TWindow* Mouse::Holder() const { return Holder_Handle ? TWindow::From_Handle(Holder_Handle) : nullptr; }

TWindow* Mouse::Saved_Holder() const {
  return Saved_Holder_Handle ? TWindow::From_Handle(Saved_Holder_Handle) : nullptr;
}

bool Mouse::Holds(const TWindow* window) const {
  return window && Holder_Handle && window->GetHandle() == Holder_Handle;
}

void Mouse::Capture(TWindow* window) {
  if (Locked) return;
  Capture_For(window);
}

void Mouse::Capture_For(TWindow* window) {
  if (!window) return;
  const bool demonstrating = Demonstration_Running();
  if (!Hook && !demonstrating) Hook = SetWindowsHookEx(WH_JOURNALRECORD, &Mouse::Journal_Hook);
  if (Holder_Handle && Holder_Handle != window->GetHandle())
    PostMessage(Holder_Handle, Mouse_Lost_Message, 0, reinterpret_cast<LPARAM>(window));
  Holder_Handle = window->GetHandle();
  window->SetCapture();
}

void Mouse::Release(TWindow* window) {
  if (Locked) return;
  if (Holder_Handle && (!window || Holder_Handle != window->GetHandle()))
    PostMessage(Holder_Handle, Mouse_Lost_Message, 0, reinterpret_cast<LPARAM>(window));
  Holder_Handle = HWND();
  TWindow::ReleaseCapture();
  Remove_Hook();
}

void Mouse::Push_Capture(TWindow* window) {
  if (Locked) return;
  if (Holder_Handle) Saved_Holder_Handle = Holder_Handle;
  Holder_Handle = HWND();
  Capture_For(window);
}

void Mouse::Pop_Capture() {
  if (Locked) return;
  TWindow* saved = Saved_Holder();
  if (!saved) {
    Saved_Holder_Handle = HWND();
    Release(nullptr);
    return;
  }
  Holder_Handle = HWND();
  Capture_For(saved);
  Saved_Holder_Handle = HWND();
}

LRESULT Mouse::Journal_Hook(int code, WPARAM wparam, LPARAM lparam) {
  return CallNextHookEx(The_Mouse ? The_Mouse->Hook : 0, code, wparam, lparam);
}

void Mouse::Note_Message(UINT message) {
  switch (message) {
    case WM_LBUTTONDOWN: Left_Button_Down = 1; break;
    case WM_LBUTTONUP: Left_Button_Down = 0; break;
    case WM_RBUTTONDOWN: Right_Button_Down = 1; break;
    case WM_RBUTTONUP: Right_Button_Down = 0; break;
    default: break;
  }
}

void Mouse::Remove_Hook() {
  if (!Hook) return;
  UnhookWindowsHookEx(Hook);
  Hook = 0;
}
