#include "toolkit/owner_drawn_button.h"

#include "model/gui_colors.h"
#include "platform/gdi/memory_dc.h"
#include "platform/window/user.h"
#include "platform/window/window_dc.h"
#include "toolkit/mouse.h"
#include "toolkit/tip_window.h"

Owner_Drawn_Button::Owner_Drawn_Button(TWindow* parent, int id, const TRect& rect, const char* title,
                                       TWindow* target)
    : TWindow(parent, title), Frame_Rect(0, 0, rect.Width(), rect.Height()), Target(target ? target : parent) {
  Attr.Style = (Attr.Style | WS_CHILD | WS_VISIBLE) & ~WS_BORDER;
  Attr.Id = id;
  Attr.Set_Rect(rect);
}

Owner_Drawn_Button::~Owner_Drawn_Button() { Set_Tip(nullptr); }

void Owner_Drawn_Button::Set_Tip(const char* text) {
  if (Tip_Text && The_Tip_Window) The_Tip_Window->Forget(Tip_Text->c_str());
  Tip_Text = text ? std::make_unique<std::string>(text) : nullptr;
}

void Owner_Drawn_Button::Make_Enabler(std::unique_ptr<TCommandEnabler> enabler) {
  target_handle_ = Target ? Target->GetHandle() : HWND();
  Enabler = std::move(enabler);
}

void Owner_Drawn_Button::Paint(TDC& dc, bool, TRect&) {
  if (!Current_Face) return;
  dc.SelectObject(*The_GUI_Colors->Palette);
  dc.RealizePalette();
  TMemoryDC face(*Current_Face);
  dc.BitBlt(Frame_Rect, face, TPoint(0, 0));
  dc.RestorePalette();
  if (GetFocus() == GetHandle()) dc.DrawFocusRect(Frame_Rect.Inflated_By(-1, -1));
}

void Owner_Drawn_Button::Repaint() {
  if (!IsWindow()) return;
  TWindowDC dc(*this);
  TRect all = Frame_Rect;
  Paint(dc, false, all);
}

void Owner_Drawn_Button::Remake_Disabled_Face() {
  if (!Disabled_Face) return;
  const bool shown = Is_Disabled();
  Make_Disabled_Face();
  if (shown) Current_Face = Disabled_Face.get();
}

bool Owner_Drawn_Button::IdleAction(long idle_count) {
  TWindow::IdleAction(idle_count);
  // Once per idle period; answering it does not start another period, and a
  // request still queued when the button goes is withdrawn with its enabler.
  if (idle_count == 0 && Enabler && target_handle_)
    ::PostMessage(target_handle_, WM_COMMAND_ENABLE, 0, reinterpret_cast<LPARAM>(Enabler.get()));
  return false;
}

void Owner_Drawn_Button::Enable() {
  if (!Is_Disabled()) return;
  Current_Face = Normal_Face.get();
  Repaint();
}

void Owner_Drawn_Button::Disable() {
  if (Is_Disabled() || !Normal_Face) return;
  if (!Disabled_Face) Make_Disabled_Face();
  Current_Face = Disabled_Face.get();
  Repaint();
}

bool Owner_Drawn_Button::Holds_Mouse() const { return The_Mouse && The_Mouse->Holds(this); }

void Owner_Drawn_Button::EvLButtonDown(UINT, const TPoint& point) {
  if (Is_Disabled() || !Current_Face || !On_Button(point)) return;
  Pressed = true;
  if (!Holds_Mouse() && The_Mouse) The_Mouse->Capture(this);
  if (Tip_Text && The_Tip_Window) The_Tip_Window->Press_Item(Tip_Text->c_str());
  Current_Face = Pressed_Face.get();
  Repaint();
}

void Owner_Drawn_Button::EvMouseMove(UINT, const TPoint& point) {
  const bool on = On_Button(point);
  if (!Pressed) {
    if (!Tip_Text) return;
    if (Holds_Mouse() && !on) {
      The_Mouse->Release(this);
      if (The_Tip_Window) The_Tip_Window->Leave_Item(Tip_Text->c_str());
    } else if (!Holds_Mouse() && on && The_Mouse) {
      The_Mouse->Capture(this);
      if (The_Tip_Window) The_Tip_Window->Enter_Item(Tip_Text->c_str());
    }
    return;
  }
  if (Shows_Pressed() && !on) {
    Current_Face = Normal_Face.get();
    Repaint();
  } else if (Current_Face == Normal_Face.get() && on) {
    Current_Face = Pressed_Face.get();
    Repaint();
  }
}

void Owner_Drawn_Button::EvLButtonUp(UINT, const TPoint&) {
  Pressed = false;
  if (Holds_Mouse()) The_Mouse->Release(this);
  if (Shows_Pressed()) {
    Current_Face = Normal_Face.get();
    Repaint();
    // The target's handler runs now, after the raised face is shown.
    ::SendMessage(target_handle_, WM_COMMAND, WPARAM(GetId() & 0xFFFF), GetHandle().To_Param());
  } else if (Tip_Text && The_Tip_Window) {
    The_Tip_Window->Leave_Item(Tip_Text->c_str());
  }
}

void Owner_Drawn_Button::EvKeyDown(UINT key, UINT repeat_count, UINT flags) {
  if (key == VK_SPACE) Key_Press();
  else TWindow::EvKeyDown(key, repeat_count, flags);
}

LRESULT Owner_Drawn_Button::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg != BM_CLICK) return TWindow::WindowProc(msg, wp, lp);
  Key_Press();
  return 0;
}

void Owner_Drawn_Button::Key_Press() {
  if (!target_handle_ || !Current_Face) return;
  if (Enabler) ::SendMessage(target_handle_, WM_COMMAND_ENABLE, 0, reinterpret_cast<LPARAM>(Enabler.get()));
  if (Is_Disabled()) return;
  ::SendMessage(target_handle_, WM_COMMAND, WPARAM(GetId() & 0xFFFF), GetHandle().To_Param());
}

std::vector<std::string> Caption_Lines(const char* text, int max_lines) {
  std::vector<std::string> lines(1);
  for (const char* c = text ? text : ""; *c; ++c) {
    if (*c != '\n') {
      lines.back() += *c;
    } else if (int(lines.size()) == max_lines) {
      break;
    } else {
      lines.emplace_back();
    }
  }
  return lines;
}
