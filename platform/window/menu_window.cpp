#include "platform/window/menu_window.h"

#include <algorithm>

#include "platform/gdi/dc.h"
#include "platform/window/command_enabler.h"
#include "platform/window/control_paint.h"
#include "platform/window/desktop.h"
#include "platform/window/frame_window.h"
#include "platform/window/screen.h"
#include "platform/window/window_dc.h"

namespace {

constexpr int Item_Height = 18;
constexpr int Separator_Height = 8;
constexpr int Text_Margin = 20;

// Records what the owner's enabler says about one item.
class TMenu_Item_Enabler : public TCommandEnabler {
 public:
  TMenu_Item_Enabler(UINT id, HWND owner) : TCommandEnabler(id, owner) {}
};

// Underlines the access letter of an item's text, drawn left-aligned and
// vertically centred in the rectangle, so that the letter the keyboard
// answers to can be seen.
void Underline_Access_Letter(TDC& dc, const std::string& item_text, const std::string& shown, const TRect& r,
                             TColor colour) {
  const int at = TMenu::Mnemonic_Position(item_text);
  if (at < 0 || size_t(at) >= shown.size()) return;
  TText_Metrics metrics;
  dc.GetTextMetrics(metrics);
  const int line_height = std::max(1, dc.GetTextExtent("X").cy);
  const int top = r.top + (r.Height() - line_height) / 2;
  const int left = r.left + dc.GetTextExtent(shown.substr(0, size_t(at))).cx;
  const int right = r.left + dc.GetTextExtent(shown.substr(0, size_t(at) + 1)).cx;
  const int y = top + metrics.ascent + 1;
  Control_Paint::Fill(dc, {left, y, right, y + 1}, colour);
}

}  // namespace

TMenu_Window::TMenu_Window(const TMenu& menu, TWindow& owner, bool right_button, TMenu_Window* parent_menu)
    : TWindow(nullptr, "Menu"), menu_(menu), owner_(owner), right_button_(right_button), parent_menu_(parent_menu) {
  Attr.Style = WS_POPUP;
  Attr.ExStyle = WS_EX_TOPMOST;
}

void TMenu_Window::Ask_Enablers() {
  owner_.SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(&menu_), 0);
  enabled_.clear();
  for (const TMenu::TItem& item : menu_.Items()) {
    bool enabled = !(item.flags & (MF_GRAYED | MF_DISABLED | MF_SEPARATOR));
    if (!(item.flags & (MF_SEPARATOR | MF_POPUP)) && owner_.IsWindow()) {
      TMenu_Item_Enabler ce(item.id, owner_.GetHandle());
      owner_.SendMessage(WM_COMMAND_ENABLE, 0, reinterpret_cast<LPARAM>(&ce));
      if (ce.GetHandled()) enabled = ce.Enabled();
    }
    enabled_.push_back(enabled);
  }
}

void TMenu_Window::Layout() {
  int width = 80, y = 2;
  tops_.clear();
  for (const TMenu::TItem& item : menu_.Items()) {
    tops_.push_back(y);
    y += (item.flags & MF_SEPARATOR) ? Separator_Height : Item_Height;
    std::string text = TMenu::Display_Text(item.text) + ((item.flags & MF_POPUP) ? "  >" : "");
    size_t tab = text.find('\t');
    if (tab != std::string::npos) text.replace(tab, 1, "    ");
    width = std::max(width, Control_Paint::Text_Extent(Control_Paint::Ui_Font(), text).cx + 2 * Text_Margin);
  }
  tops_.push_back(y);
  Attr.W = width;
  Attr.H = y + 2;
}

TRect TMenu_Window::Item_Rect(int index) const {
  return {2, tops_[size_t(index)], Attr.W - 2, tops_[size_t(index) + 1]};
}

int TMenu_Window::Item_At(TPoint p) const {
  if (!GetClientRect().Contains(p)) return -1;
  for (size_t i = 0; i + 1 < tops_.size(); ++i)
    if (p.y >= tops_[i] && p.y < tops_[i + 1]) return (menu_.Items()[i].flags & MF_SEPARATOR) ? -1 : int(i);
  return -1;
}

UINT TMenu_Window::Track(TPoint screen) {
  TDesktop& desk = TDesktop::Current();
  Ask_Enablers();
  Layout();
  TSize s = desk.Screen().Size();
  Attr.X = std::clamp(screen.x, 0, std::max(0, s.cx - Attr.W));
  Attr.Y = std::clamp(screen.y, 0, std::max(0, s.cy - Attr.H));
  HWND old_focus = desk.Focus();
  HWND old_capture = desk.Capture();
  if (!Create()) return 0;
  ShowWindow(SW_SHOWNA);
  SetCapture();
  HWND self = GetHandle();
  HWND old_grab = desk.Key_Grab();
  desk.Set_Key_Grab(self);
  desk.Run_Loop([&] { return done_ || !desk.Window(self); });
  desk.Set_Key_Grab(old_grab);
  if (desk.Capture() == self) ReleaseCapture();
  Destroy();
  // What the menu covered is painted again before its choice is acted on:
  // a command that reads the screen (help keeps what lies under its page)
  // never sees the menu.
  desk.Update_Windows();
  if (old_capture && desk.Window(old_capture)) desk.Set_Capture(old_capture);
  if (old_focus && desk.Window(old_focus) && desk.Focus() != old_focus) desk.Set_Focus(old_focus);
  return chosen_;
}

void TMenu_Window::Paint(TDC& dc, bool, TRect&) {
  using namespace Control_Paint;
  TRect all = GetClientRect();
  Box(dc, all, false);
  dc.SelectObject(Ui_Font());
  dc.SetBkMode(TRANSPARENT);
  for (size_t i = 0; i + 1 < tops_.size(); ++i) {
    const TMenu::TItem& item = menu_.Items()[i];
    TRect r = Item_Rect(int(i));
    if (item.flags & MF_SEPARATOR) {
      int my = (r.top + r.bottom) / 2;
      Fill(dc, {r.left + 1, my - 1, r.right - 1, my}, Shadow);
      Fill(dc, {r.left + 1, my, r.right - 1, my + 1}, Light);
      continue;
    }
    bool lit = int(i) == highlight_;
    if (lit) Fill(dc, r, Highlight);
    const TColor colour = !enabled_[i] ? Grey_Text : lit ? Highlight_Text : Text;
    dc.SetTextColor(colour);
    std::string text = TMenu::Display_Text(item.text);
    std::string accel;
    if (size_t tab = text.find('\t'); tab != std::string::npos) {
      accel = text.substr(tab + 1);
      text.resize(tab);
    }
    TRect t{r.left + Text_Margin, r.top, r.right - 8, r.bottom};
    dc.DrawText(text, -1, t, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    Underline_Access_Letter(dc, item.text, text, t, colour);
    if (!accel.empty()) dc.DrawText(accel, -1, t, DT_RIGHT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    if (item.flags & MF_POPUP) {
      int my = (r.top + r.bottom) / 2;
      for (int k = 0; k < 4; ++k) Fill(dc, {r.right - 10 + k, my - 3 + k, r.right - 9 + k, my + 4 - k}, lit ? Highlight_Text : Text);
    }
    if (item.flags & MF_CHECKED) {
      TRect c{r.left + 6, r.top + 6, r.left + 12, r.top + 12};
      Fill(dc, c, lit ? Highlight_Text : Text);
    }
  }
}

void TMenu_Window::Set_Highlight(int index) {
  if (index == highlight_) return;
  highlight_ = index;
  Invalidate(false);
}

bool TMenu_Window::Over_Parent_Menu(TPoint client) const {
  if (!parent_menu_) return false;
  TPoint p = client;
  ClientToScreen(p);
  if (!parent_menu_->GetWindowRect().Contains(p)) return false;
  // Over the item that opened this menu, this menu stays.
  parent_menu_->ScreenToClient(p);
  return parent_menu_->Item_At(p) != parent_menu_->highlight_;
}

void TMenu_Window::EvMouseMove(UINT, const TPoint& p) {
  // Back over the menu that opened this one: this one closes.
  if (!GetClientRect().Contains(p) && Over_Parent_Menu(p)) {
    done_ = true;
    return;
  }
  int i = Item_At(p);
  int lit = i >= 0 && enabled_[size_t(i)] ? i : -1;
  if (lit == highlight_) return;
  Set_Highlight(lit);
  if (lit >= 0 && (menu_.Items()[size_t(lit)].flags & MF_POPUP)) Open_Submenu(lit);
}

void TMenu_Window::Open_Submenu(int index) {
  const TMenu::TItem& item = menu_.Items()[size_t(index)];
  if (!item.popup || done_) return;
  UpdateWindow();
  TMenu_Window child(*item.popup, owner_, right_button_, this);
  TRect r = Item_Rect(index);
  TPoint at{r.right, r.top};
  ClientToScreen(at);
  UINT chosen = child.Track(at);
  if (chosen) {
    chosen_ = chosen;
    done_ = true;
  } else if (child.dismiss_all_) {
    Dismiss();
    dismiss_all_ = true;
  }
}

void TMenu_Window::Choose(int index) {
  if (index < 0 || !enabled_[size_t(index)]) return;
  if (menu_.Items()[size_t(index)].flags & MF_POPUP) {
    Open_Submenu(index);
    return;
  }
  chosen_ = menu_.Items()[size_t(index)].id;
  done_ = true;
}

void TMenu_Window::Dismiss() {
  chosen_ = 0;
  done_ = true;
}

void TMenu_Window::EvLButtonDown(UINT, const TPoint& p) {
  if (GetClientRect().Contains(p)) return;
  if (Over_Parent_Menu(p)) {
    done_ = true;  // back to the menu that opened this one
    return;
  }
  Dismiss();
  dismiss_all_ = true;
}

void TMenu_Window::EvRButtonDown(UINT keys, const TPoint& p) { EvLButtonDown(keys, p); }

void TMenu_Window::EvLButtonUp(UINT, const TPoint& p) { Choose(Item_At(p)); }

void TMenu_Window::EvRButtonUp(UINT, const TPoint& p) {
  if (right_button_) Choose(Item_At(p));
}

void TMenu_Window::Step(int direction) {
  int n = int(enabled_.size());
  if (n == 0) return;
  int i = highlight_ >= 0 ? highlight_ : direction > 0 ? -1 : n;
  for (int tries = 0; tries < n; ++tries) {
    i = (i + direction + n) % n;
    if (enabled_[size_t(i)]) {
      Set_Highlight(i);
      return;
    }
  }
}

void TMenu_Window::EvKeyDown(UINT key, UINT, UINT) {
  switch (key) {
    case VK_UP: Step(-1); break;
    case VK_DOWN: Step(+1); break;
    case VK_RETURN: Choose(highlight_); break;
    case VK_RIGHT:
      if (highlight_ >= 0 && (menu_.Items()[size_t(highlight_)].flags & MF_POPUP)) Open_Submenu(highlight_);
      break;
    case VK_LEFT:
      if (parent_menu_) done_ = true;
      break;
    case VK_ESCAPE: Dismiss(); break;
    default:
      if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9')) Access_Key(key);
      break;
  }
}

void TMenu_Window::Access_Key(UINT key) {
  std::vector<int> matches;
  for (size_t i = 0; i < enabled_.size(); ++i)
    if (enabled_[i] && UINT(uint8_t(TMenu::Mnemonic(menu_.Items()[i].text))) == key) matches.push_back(int(i));
  if (matches.size() == 1) {
    Choose(matches.front());
    return;
  }
  // Several items share the key: each press lights the next of them.
  for (int i : matches)
    if (i > highlight_) {
      Set_Highlight(i);
      return;
    }
  if (!matches.empty()) Set_Highlight(matches.front());
}

void TMenu_Window::EvCaptureChanged(HWND next) {
  // Another window took the mouse: the menu closes.
  if (next != GetHandle() && !done_) Dismiss();
}

UINT Track_Menu(TMenu& menu, TPoint screen, TWindow& owner, bool right_button) {
  TMenu_Window window(menu, owner, right_button);
  return window.Track(screen);
}

int TPopupMenu::TrackPopupMenu(UINT flags, const TPoint& screen, TWindow& owner) {
  UINT chosen = Track_Menu(*this, screen, owner, flags & TPM_RIGHTBUTTON);
  if (!chosen) return 0;
  if (flags & TPM_RETURNCMD) return int(chosen);
  owner.PostMessage(WM_COMMAND, chosen, 0);
  return 1;
}
