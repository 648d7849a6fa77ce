#include "toolkit/tip_window.h"

#include <cstring>

#include "model/gui_colors.h"
#include "platform/gdi/memory_dc.h"
#include "platform/window/user.h"
#include "platform/window/window_dc.h"
#include "toolkit/gui_sizes.h"

Tip_Window* The_Tip_Window = nullptr;

Tip_Window::Tip_Window(TWindow* parent) : TWindow(parent, nullptr) {
  Attr.Id = Window_Id;
  Attr.Style = (Attr.Style | WS_CHILD) & ~WS_VISIBLE;
  Attr.X = Attr.Y = Attr.W = Attr.H = 0;
  The_Tip_Window = this;
}

Tip_Window::~Tip_Window() {
  if (The_Tip_Window == this) The_Tip_Window = nullptr;
}

void Tip_Window::SetupWindow() {
  TWindow::SetupWindow();
  Font = std::make_unique<TFont>("MS Sans Serif", (*The_GUI_Sizes)[30], FW_BOLD);
}

void Tip_Window::Start_Timer(UINT ms) {
  if (IsWindow()) SetTimer(Timer_Id, ms);
}

void Tip_Window::Stop_Timer() {
  if (IsWindow()) KillTimer(Timer_Id);
}

void Tip_Window::Enter_Item(const char* text) {
  if (!Enabled || text == Item) return;
  if (!Item) {
    Item = text;
    Pressed = false;
    Pending = true;
    Start_Timer(Show_Delay);
    return;
  }
  Stop_Timer();
  Pending = false;
  Item = text;
  if (Pressed) {
    Pressed = false;
    Pending = true;
    Start_Timer(Show_Delay);
  } else {
    Show_Tip();
  }
}

void Tip_Window::Leave_Item(const char* text) {
  if (!text || text != Item) return;
  Pressed = false;
  if (Pending) {
    Stop_Timer();
    Pending = false;
    Item = nullptr;
  } else if (Shown) {
    Hide();
    Start_Timer(Grace_Period);
  } else {
    Item = nullptr;
  }
}

void Tip_Window::Press_Item(const char* text) {
  Item = text;
  Pressed = true;
  if (Pending) {
    Stop_Timer();
    Pending = false;
  } else if (Shown) {
    Hide();
  }
}

void Tip_Window::EvTimer(UINT timer_id) {
  KillTimer(timer_id);
  if (Pending)
    Show_Tip();
  else
    Item = nullptr;  // the grace period ended
  Pending = false;
}

void Tip_Window::Show_Tip() {
  if (!Item) return;
  if (Shown) Hide();
  // Shown ahead of its delay (a panel may show at once what it has just
  // entered), or during a grace period: the running timer would otherwise
  // end as a grace period and drop the item from under its box.
  Stop_Timer();
  Pending = false;
  Shown = true;
  TScreenDC screen;
  TSize text;
  if (Font) screen.SelectObject(*Font);
  text = screen.GetTextExtent(Item);
  screen.RestoreFont();
  const int g = (*The_GUI_Sizes)[29];
  const int cx = text.cx + 4 * g, cy = text.cy + 4 * g;
  TPoint p;
  GetCursorPos(p);
  const int menu = GetSystemMetrics(SM_CYMENU);
  const int screen_w = GetSystemMetrics(SM_CXSCREEN), screen_h = GetSystemMetrics(SM_CYSCREEN);
  int x = p.x, y = p.y;
  y = y + cy + menu >= screen_h ? y - menu : y + menu;
  if (x + cx > screen_w) x = screen_w - cx;
  Tip_Rect = TRect(x, y, x + cx, y + cy);
  Saved_Background = std::make_unique<TBitmap>(cx, cy);
  TMemoryDC save(*Saved_Background);
  save.BitBlt(TRect(0, 0, cx, cy), screen, Tip_Rect.TopLeft());
  Draw_Tip(screen, Tip_Rect);
}

void Tip_Window::Draw_Tip(TDC& dc, const TRect& rect) {
  if (!Item) return;
  dc.SelectObject(*The_GUI_Colors->Palette);
  dc.RealizePalette();
  dc.SelectStockObject(BLACK_PEN);
  dc.SelectStockObject(WHITE_BRUSH);
  dc.Rectangle(rect);
  dc.SetTextColor(The_GUI_Colors->Scheme[1]);
  dc.SetBkMode(TRANSPARENT);
  if (Font) dc.SelectObject(*Font);
  TRect box = rect;
  dc.DrawText(Item, -1, box, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
  dc.RestoreFont();
}

void Tip_Window::Hide() {
  Shown = false;
  if (!Saved_Background) return;
  TScreenDC screen;
  TMemoryDC save(*Saved_Background);
  screen.BitBlt(Tip_Rect, save, TPoint(0, 0));
  Saved_Background.reset();
}

void Tip_Window::Redraw() {
  if (!Shown) return;
  TScreenDC screen;
  Draw_Tip(screen, Tip_Rect);
}

void Tip_Window::Cancel() {
  if (Shown) Hide();
  if (Pending) {
    Stop_Timer();
    Pending = false;
  }
  Item = nullptr;
}

void Tip_Window::Set_Enabled(bool on) {
  Enabled = on;
  if (!on && Pending) {
    Stop_Timer();
    Pending = false;
  }
}

void Tip_Window::Forget(const char* text) {
  if (!text || text != Item) return;
  if (Shown) Hide();
  Stop_Timer();
  Pending = false;
  Pressed = false;
  Item = nullptr;
}
