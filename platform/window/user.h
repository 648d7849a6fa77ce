// The window system's calls in their classic form, for code that names
// windows by handle rather than through TWindow.
#pragma once

#include "platform/gdi/geometry.h"
#include "platform/window/messages.h"

class TCursor;
class TWindow;

bool PostMessage(HWND hwnd, UINT msg, WPARAM wp = 0, LPARAM lp = 0);
LRESULT SendMessage(HWND hwnd, UINT msg, WPARAM wp = 0, LPARAM lp = 0);
void PostQuitMessage(int exit_code);
// Window timers (hwnd) and window-less timers (no hwnd, a callback, a fresh id).
UINT SetTimer(HWND hwnd, UINT id, UINT ms, TIMERPROC proc = nullptr);
bool KillTimer(HWND hwnd, UINT id);

bool IsWindow(HWND hwnd);
bool IsWindowVisible(HWND hwnd);
bool IsWindowEnabled(HWND hwnd);
bool EnableWindow(HWND hwnd, bool enable);
bool ShowWindow(HWND hwnd, int cmd);
HWND GetFocus();
HWND SetFocus(HWND hwnd);
HWND GetActiveWindow();
HWND GetCapture();
HWND SetCapture(HWND hwnd);
bool ReleaseCapture();
HWND WindowFromPoint(TPoint screen);

bool GetCursorPos(TPoint& p);
bool SetCursorPos(int x, int y);
// Moves the pointer from `from` to (x, y); a hand that has moved it on since
// keeps its place.
bool SetCursorPosFrom(TPoint from, int x, int y);
// Confines the pointer to a screen rectangle; nullptr frees it.
bool ClipCursor(const TRect* rect);
bool GetClipCursor(TRect& rect);
// Shows a cursor now; returns the one shown before.
const TCursor* SetCursor(const TCursor* cursor);
int ShowCursor(bool show);

// Key state: the high bit (negative) while the key is down.
int16_t GetKeyState(int vk);
int16_t GetAsyncKeyState(int vk);

int GetSystemMetrics(int index);
