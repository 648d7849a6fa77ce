// Message, key and command numbers of the window system, and the small types
// that carry them. The numbers are the classic desktop ones, so handlers and
// private messages (WM_USER + n) read as the program's design writes them.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/gdi/geometry.h"

using UINT = uint32_t;
// Pointer-sized parameters: pointers to program objects travel in them.
using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using LRESULT = intptr_t;

// A window named by its handle. Handles are never reused within a run, so a
// handle kept after its window died names nothing.
class HWND {
 public:
  constexpr HWND() = default;
  constexpr HWND(std::nullptr_t) {}
  constexpr explicit HWND(uint32_t value) : value_(value) {}
  constexpr uint32_t Value() const { return value_; }
  constexpr explicit operator bool() const { return value_ != 0; }
  friend constexpr bool operator==(HWND, HWND) = default;
  // For messages that carry a window in a parameter (WM_COMMAND's lParam).
  constexpr LPARAM To_Param() const { return static_cast<LPARAM>(value_); }
  static constexpr HWND From_Param(uintptr_t param) { return HWND(static_cast<uint32_t>(param)); }

 private:
  uint32_t value_ = 0;
};

struct MSG {
  HWND hwnd;
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  uint32_t time = 0;
  TPoint pt;  // pointer position on the screen when the message was made
};

constexpr uint16_t LOWORD(uintptr_t v) { return static_cast<uint16_t>(v & 0xFFFF); }
constexpr uint16_t HIWORD(uintptr_t v) { return static_cast<uint16_t>((v >> 16) & 0xFFFF); }
constexpr uintptr_t MAKEWPARAM(uint16_t lo, uint16_t hi) { return uintptr_t(lo) | (uintptr_t(hi) << 16); }
// Client points in mouse messages: signed 16-bit x in the low word, y in the high word.
constexpr LPARAM MAKELPARAM_POINT(int x, int y) {
  return static_cast<LPARAM>(uint32_t(uint16_t(int16_t(x))) | (uint32_t(uint16_t(int16_t(y))) << 16));
}
constexpr TPoint POINT_FROM_LPARAM(LPARAM lp) {
  return {int16_t(uint16_t(lp & 0xFFFF)), int16_t(uint16_t((uintptr_t(lp) >> 16) & 0xFFFF))};
}

// Window messages.
enum : UINT {
  WM_NULL = 0x0000,
  WM_CREATE = 0x0001,
  WM_DESTROY = 0x0002,
  WM_MOVE = 0x0003,
  WM_SIZE = 0x0005,
  WM_ACTIVATE = 0x0006,
  WM_SETFOCUS = 0x0007,
  WM_KILLFOCUS = 0x0008,
  WM_ENABLE = 0x000A,
  WM_SETTEXT = 0x000C,
  WM_PAINT = 0x000F,
  WM_CLOSE = 0x0010,
  WM_QUIT = 0x0012,
  WM_ERASEBKGND = 0x0014,
  WM_SHOWWINDOW = 0x0018,
  WM_ACTIVATEAPP = 0x001C,
  WM_SETCURSOR = 0x0020,
  WM_MOUSEACTIVATE = 0x0021,
  WM_QUERYNEWPALETTE = 0x030F,
  WM_PALETTECHANGED = 0x0311,
  WM_DISPLAYCHANGE = 0x007E,
  WM_CANCELJOURNAL = 0x004B,
  WM_NCPAINT = 0x0085,
  WM_GETDLGCODE = 0x0087,
  WM_KEYDOWN = 0x0100,
  WM_KEYUP = 0x0101,
  WM_CHAR = 0x0102,
  WM_SYSKEYDOWN = 0x0104,
  WM_SYSKEYUP = 0x0105,
  // A typed character the program's code page has no place for; wParam is
  // its Unicode code point. Windows that take text say it cannot be used.
  WM_UNICHAR = 0x0109,
  WM_INITDIALOG = 0x0110,
  WM_COMMAND = 0x0111,
  WM_SYSCOMMAND = 0x0112,
  WM_TIMER = 0x0113,
  WM_INITMENUPOPUP = 0x0117,
  WM_CTLCOLOR = 0x0019,
  WM_NCMOUSEMOVE = 0x00A0,
  WM_NCLBUTTONDOWN = 0x00A1,
  WM_NCLBUTTONUP = 0x00A2,
  WM_NCRBUTTONDOWN = 0x00A4,
  WM_NCRBUTTONUP = 0x00A5,
  WM_MOUSEMOVE = 0x0200,
  WM_LBUTTONDOWN = 0x0201,
  WM_LBUTTONUP = 0x0202,
  WM_LBUTTONDBLCLK = 0x0203,
  WM_RBUTTONDOWN = 0x0204,
  WM_RBUTTONUP = 0x0205,
  WM_MBUTTONDOWN = 0x0207,
  WM_MBUTTONUP = 0x0208,
  WM_CAPTURECHANGED = 0x0215,
  WM_MOVING = 0x0216,
  WM_SIZING = 0x0214,
  MM_WOM_DONE = 0x03BD,
  WM_USER = 0x0400,
  // The framework's command-enable request; lParam is the TCommandEnabler.
  WM_COMMAND_ENABLE = 0x7FFF,
};

constexpr bool Is_Mouse_Message(UINT m) { return m >= WM_MOUSEMOVE && m <= WM_MBUTTONUP; }
constexpr bool Is_NC_Mouse_Message(UINT m) { return m >= WM_NCMOUSEMOVE && m <= WM_NCRBUTTONUP; }
constexpr bool Is_Key_Message(UINT m) { return m >= WM_KEYDOWN && m <= WM_SYSKEYUP; }

// WM_ACTIVATE states.
enum : UINT { WA_INACTIVE = 0, WA_ACTIVE = 1, WA_CLICKACTIVE = 2 };

// Key and button flags of mouse messages (wParam).
enum : UINT {
  MK_LBUTTON = 0x0001,
  MK_RBUTTON = 0x0002,
  MK_SHIFT = 0x0004,
  MK_CONTROL = 0x0008,
  MK_MBUTTON = 0x0010,
};

// Virtual-key codes.
enum : UINT {
  VK_LBUTTON = 0x01,
  VK_RBUTTON = 0x02,
  VK_CANCEL = 0x03,
  VK_MBUTTON = 0x04,
  VK_BACK = 0x08,
  VK_TAB = 0x09,
  VK_CLEAR = 0x0C,
  VK_RETURN = 0x0D,
  VK_SHIFT = 0x10,
  VK_CONTROL = 0x11,
  VK_MENU = 0x12,
  VK_PAUSE = 0x13,
  VK_CAPITAL = 0x14,
  VK_ESCAPE = 0x1B,
  VK_SPACE = 0x20,
  VK_PRIOR = 0x21,
  VK_NEXT = 0x22,
  VK_END = 0x23,
  VK_HOME = 0x24,
  VK_LEFT = 0x25,
  VK_UP = 0x26,
  VK_RIGHT = 0x27,
  VK_DOWN = 0x28,
  VK_INSERT = 0x2D,
  VK_DELETE = 0x2E,
  VK_NUMPAD0 = 0x60,
  VK_NUMPAD1 = 0x61,
  VK_NUMPAD2 = 0x62,
  VK_NUMPAD3 = 0x63,
  VK_NUMPAD4 = 0x64,
  VK_NUMPAD5 = 0x65,
  VK_NUMPAD6 = 0x66,
  VK_NUMPAD7 = 0x67,
  VK_NUMPAD8 = 0x68,
  VK_NUMPAD9 = 0x69,
  VK_MULTIPLY = 0x6A,
  VK_ADD = 0x6B,
  VK_SUBTRACT = 0x6D,
  VK_DECIMAL = 0x6E,
  VK_DIVIDE = 0x6F,
  VK_F1 = 0x70,
  VK_F2 = 0x71,
  VK_F3 = 0x72,
  VK_F4 = 0x73,
  VK_F5 = 0x74,
  VK_F6 = 0x75,
  VK_F7 = 0x76,
  VK_F8 = 0x77,
  VK_F9 = 0x78,
  VK_F10 = 0x79,
  VK_F11 = 0x7A,
  VK_F12 = 0x7B,
  VK_NUMLOCK = 0x90,
  VK_LSHIFT = 0xA0,
  VK_RSHIFT = 0xA1,
  VK_LCONTROL = 0xA2,
  VK_RCONTROL = 0xA3,
  VK_OEM_PLUS = 0xBB,
  VK_OEM_COMMA = 0xBC,
  VK_OEM_MINUS = 0xBD,
  VK_OEM_PERIOD = 0xBE,
};

// System commands (wParam of WM_SYSCOMMAND; the low four bits are the system's own).
enum : UINT {
  SC_SIZE = 0xF000,
  SC_MOVE = 0xF010,
  SC_MINIMIZE = 0xF020,
  SC_MAXIMIZE = 0xF030,
  SC_CLOSE = 0xF060,
  SC_KEYMENU = 0xF100,
  SC_RESTORE = 0xF120,
  SC_SCREENSAVE = 0xF140,
};

// Window styles.
enum : uint32_t {
  WS_OVERLAPPED = 0x00000000,
  WS_POPUP = 0x80000000,
  WS_CHILD = 0x40000000,
  WS_MINIMIZE = 0x20000000,
  WS_VISIBLE = 0x10000000,
  WS_DISABLED = 0x08000000,
  WS_CLIPSIBLINGS = 0x04000000,
  WS_CLIPCHILDREN = 0x02000000,
  WS_MAXIMIZE = 0x01000000,
  WS_CAPTION = 0x00C00000,
  WS_BORDER = 0x00800000,
  WS_SYSMENU = 0x00080000,
  WS_THICKFRAME = 0x00040000,
  WS_MINIMIZEBOX = 0x00020000,
  WS_MAXIMIZEBOX = 0x00010000,
  WS_TABSTOP = 0x00010000,
  WS_OVERLAPPEDWINDOW = WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX,
};
enum : uint32_t {
  WS_EX_TOPMOST = 0x00000008,
};

// ShowWindow commands.
enum : int {
  SW_HIDE = 0,
  SW_SHOWNORMAL = 1,
  SW_SHOWMINIMIZED = 2,
  SW_SHOWMAXIMIZED = 3,
  SW_SHOWNOACTIVATE = 4,
  SW_SHOW = 5,
  SW_MINIMIZE = 6,
  SW_SHOWNA = 8,
  SW_RESTORE = 9,
};

// SetWindowPos.
enum : UINT {
  SWP_NOSIZE = 0x0001,
  SWP_NOMOVE = 0x0002,
  SWP_NOZORDER = 0x0004,
  SWP_NOREDRAW = 0x0008,
  SWP_NOACTIVATE = 0x0010,
  SWP_SHOWWINDOW = 0x0040,
  SWP_HIDEWINDOW = 0x0080,
};
// Insert-after values of SetWindowPos.
inline constexpr HWND HWND_TOP{};
inline constexpr HWND HWND_BOTTOM{0xFFFFFFFFu};
inline constexpr HWND HWND_TOPMOST{0xFFFFFFFEu};
inline constexpr HWND HWND_NOTOPMOST{0xFFFFFFFDu};

// Answers of WM_GETDLGCODE.
enum : UINT {
  DLGC_WANTARROWS = 0x0001,
  DLGC_WANTTAB = 0x0002,
  DLGC_WANTALLKEYS = 0x0004,
  DLGC_HASSETSEL = 0x0008,
  DLGC_WANTCHARS = 0x0080,
  DLGC_BUTTON = 0x2000,
  // What a control asks for when it takes keys of its own.
  DLGC_WANTKEYS = DLGC_WANTARROWS | DLGC_WANTTAB | DLGC_WANTALLKEYS | DLGC_WANTCHARS,
};

// Presses a push button as a click on it would (the dialog keys' Return).
constexpr UINT BM_CLICK = 0x00F5;

// Dialog and message-box results.
enum : int {
  IDOK = 1,
  IDCANCEL = 2,
  IDABORT = 3,
  IDRETRY = 4,
  IDIGNORE = 5,
  IDYES = 6,
  IDNO = 7,
};

// Message-box styles.
enum : UINT {
  MB_OK = 0x0000,
  MB_OKCANCEL = 0x0001,
  MB_YESNOCANCEL = 0x0003,
  MB_YESNO = 0x0004,
  MB_TYPEMASK = 0x000F,
  MB_ICONSTOP = 0x0010,
  MB_ICONHAND = MB_ICONSTOP,
  MB_ICONERROR = MB_ICONSTOP,
  MB_ICONQUESTION = 0x0020,
  MB_ICONEXCLAMATION = 0x0030,
  MB_ICONWARNING = MB_ICONEXCLAMATION,
  MB_ICONINFORMATION = 0x0040,
  MB_ICONMASK = 0x00F0,
  MB_APPLMODAL = 0x0000,
  MB_TASKMODAL = 0x2000,
};

// System metrics.
enum : int {
  SM_CXSCREEN = 0,
  SM_CYSCREEN = 1,
  SM_CYCAPTION = 4,
  SM_CXBORDER = 5,
  SM_CYBORDER = 6,
  SM_CYMENU = 15,
  SM_CXCURSOR = 13,
  SM_CYCURSOR = 14,
  SM_CXSIZE = 30,
  SM_CYSIZE = 31,
};

// Edit-control notifications (high word of WM_COMMAND's wParam).
enum : UINT {
  EN_SETFOCUS = 0x0100,
  EN_KILLFOCUS = 0x0200,
  EN_CHANGE = 0x0300,
  EN_MAXTEXT = 0x0501,
  BN_CLICKED = 0,
};

// Kinds of control asking WM_CTLCOLOR.
enum : UINT { CTLCOLOR_EDIT = 1, CTLCOLOR_STATIC = 6 };

// Menu flags.
enum : UINT {
  MF_STRING = 0x0000,
  MF_ENABLED = 0x0000,
  MF_GRAYED = 0x0001,
  MF_DISABLED = 0x0002,
  MF_CHECKED = 0x0008,
  MF_POPUP = 0x0010,
  MF_SEPARATOR = 0x0800,
  MF_BYCOMMAND = 0x0000,
  MF_BYPOSITION = 0x0400,
  TPM_LEFTALIGN = 0x0000,
  TPM_LEFTBUTTON = 0x0000,
  TPM_RIGHTBUTTON = 0x0002,
  TPM_RETURNCMD = 0x0100,
};

// Timer callback of window-less timers.
using TIMERPROC = void (*)(HWND, UINT message, UINT id, uint32_t time);
