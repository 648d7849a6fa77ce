// How the help window looks and answers the user: painting, the focus and
// hover tips of its buttons, clicks on links and keys.
#include "model/gui_colors.h"
#include "model/shape_catalogue.h"
#include "help/help_window.h"
#include "platform/gdi/brush.h"
#include "platform/gdi/memory_dc.h"
#include "platform/gdi/pen.h"
#include "platform/window/application.h"
#include "platform/window/hooks.h"
#include "platform/window/user.h"
#include "platform/window/window_dc.h"
#include "toolkit/drawn_pictures.h"
#include "toolkit/gui_sizes.h"
#include "toolkit/mouse.h"
#include "toolkit/small_utilities.h"
#include "toolkit/tip_window.h"
#include "users/level_tables.h"
#include "users/user_database.h"

#include <algorithm>
#include <cstdio>

#include "platform/system/clock.h"

namespace {

const char* const Tip_Texts[] = {" ", "Previous Page", "End Help", "Review", "Next Page", "OK"};

TColor Scheme(int index) {
  return The_GUI_Colors ? The_GUI_Colors->Scheme_RGB(index) : TColor(0, 0, 0);
}

int32_t Level_Index() {
  return The_User_Database && The_User_Database->current_user ? The_User_Database->current_user->level : 0;
}

int32_t Help_Size(int index, int32_t fallback) { return The_GUI_Sizes ? (*The_GUI_Sizes)[index] : fallback; }

void Select_Program_Palette(TDC& dc) {
  if (The_GUI_Colors && The_GUI_Colors->Palette) dc.SelectObject(*The_GUI_Colors->Palette);
}

}  // namespace

void Help_Window::Make_Fonts() {
  if (!fonts[Help_Title_Font]) fonts[Help_Title_Font] = std::make_unique<TFont>("Times New Roman", Help_Size(33, 20));
  if (!fonts[Help_Text_Font]) fonts[Help_Text_Font] = std::make_unique<TFont>("MS Sans Serif", Help_Size(30, 16));
  if (!fonts[Help_Link_Font])
    fonts[Help_Link_Font] = std::make_unique<TFont>("MS Sans Serif", Help_Size(30, 16), FW_NORMAL, false, true);
  if (!stop_font) {
    stop_font_height = (3 * button_height / 8) & ~1;
    stop_font = std::make_unique<TFont>("Arial", stop_font_height, FW_BOLD);
  }
}

void Help_Window::Delete_Fonts() {
  for (auto& font : fonts) font.reset();
  stop_font.reset();
}

void Help_Window::Save_Screen() {
  const TRect rect = GetWindowRect();
  saved_screen = std::make_unique<TBitmap>(rect.Width(), rect.Height());
  TMemoryDC saved(*saved_screen);
  Select_Program_Palette(saved);
  TScreenDC screen;
  saved.BitBlt(TRect(0, 0, rect.Width(), rect.Height()), screen, rect.TopLeft());
}

bool Help_Window::Button_Enabled(int32_t button) const {
  const Help_Section* section = Shown();
  if (!section) return false;
  const int32_t number = section->current_page;
  switch (button) {
    case Previous_Button: return number > 0;
    case End_Button:
    case OK_Button: return true;
    case Review_Button: return !section->history.empty();
    case Next_Button: return number >= 0 && number < section->Main_Count() - 1;
    default: return false;
  }
}

int32_t Help_Window::Next_Focus(int32_t button) const {
  if (button == OK_Button) return OK_Button;
  int32_t next = button;
  for (int tries = 0; tries < 4; ++tries) {
    next = next >= Next_Button ? Previous_Button : next + 1;
    if (Button_Enabled(next)) return next;
  }
  return End_Button;
}

TRect Help_Window::Focus_Rect(int32_t button) const {
  const Help_Section* section = Shown();
  if (!section) return TRect();
  TRect rect;
  switch (button) {
    case Previous_Button: rect = section->buttons[Previous_Place]; break;
    case End_Button:
    case OK_Button: rect = section->buttons[End_Place]; break;
    case Review_Button: rect = section->buttons[Review_Place]; break;
    case Next_Button: rect = section->buttons[Next_Place]; break;
    default: return TRect();
  }
  return TRect(rect.left - 2, rect.top - 2, rect.right + 2, rect.bottom + 2);
}

bool Help_Window::In_Page(const Help_Page& page, TPoint point) const {
  if (page.round) return TRegion::Ellipse(page.owner_area).Contains(point);
  const TRect& r = page.owner_area;
  return point.x >= r.left && point.x < r.right && point.y >= r.top && point.y < r.bottom;
}

void Help_Window::Paint(TDC& dc, bool, TRect& rect) {
  const Help_Page* page = Current_Page();
  if (!page) return;
  ++Page_Paints;
  Select_Program_Palette(dc);
  const TRegion area = page->round ? TRegion::Ellipse(page->owner_area) : TRegion(page->owner_area);
  if (!rect.IsEmpty() && saved_screen) {
    dc.SelectClipRgn(TRegion(GetClientRect()) - area);
    TMemoryDC saved(*saved_screen);
    dc.BitBlt(GetClientRect(), saved, TPoint(0, 0));
    dc.RemoveClipRgn();
  }
  dc.FillRgn(area, TBrush::Stock(WHITE_BRUSH));

  const TPen red(TColor(255, 0, 0), 1);
  dc.SelectObject(red);
  const uint32_t level_bit = 1u << std::clamp(Level_Index(), 0, 31);
  for (const Help_Arrow& arrow : page->arrows) {
    if (arrow.excluded_levels & level_bit) continue;
    dc.MoveTo(arrow.start);
    if (arrow.elbow.x > 0) dc.LineTo(arrow.elbow);
    dc.LineTo(arrow.tip);
  }
  dc.RestorePen();

  dc.SetBkMode(OPAQUE);
  dc.SetBkColor(TColor(255, 255, 255));
  for (const Help_String& run : page->strings) {
    const size_t font = size_t(std::clamp(run.font, 0, 2));
    if (fonts[font]) dc.SelectObject(*fonts[font]);
    dc.SetTextAlign(unsigned(run.alignment));
    dc.SetTextColor(run.font == Help_Link_Font ? Scheme(23) : TColor(0, 0, 0));
    dc.TextOut(run.x, run.y, std::string_view(run.text, size_t(run.length)));
  }
  dc.SetTextAlign(0);
  dc.SetTextColor(TColor(0, 0, 0));

  for (const Help_Bitmap& picture : page->bitmaps) {
    if (!picture.picture) continue;
    TMemoryDC source(*picture.picture);
    Select_Program_Palette(source);
    dc.BitBlt(picture.rect, source, TPoint(0, 0));
  }

  Paint_Buttons(dc);
  // The counter goes under the focus rectangle: Tab takes the rectangle
  // away by inverting it again, which only works where nothing was painted
  // over it since.
  Paint_Counter(dc);
  Draw_Focus(dc, focused);
  dc.RestoreObjects();
}

void Help_Window::Paint_Buttons(TDC& dc) {
  const Help_Section& section = *Shown();
  const Help_Page* page = section.Current();
  dc.SelectObject(TPen::Stock(NULL_PEN));
  auto glyph = [&](const TRect& rect, int32_t direction, int colour) {
    const TBrush brush(Scheme(colour));
    dc.SelectObject(brush);
    Draw_Arrow_Glyph(dc, rect, direction);
    dc.RestoreBrush();
  };
  if (Single()) {
    if (page->number < 0)
      glyph(section.buttons[End_Place], Arrow_Up, 23);
    else
      Draw_OK_Button(dc, section.buttons[End_Place]);
  } else {
    glyph(section.buttons[Previous_Place], Arrow_Left, Button_Enabled(Previous_Button) ? 1 : 2);
    glyph(section.buttons[Next_Place], Arrow_Right, Button_Enabled(Next_Button) ? 1 : 2);
    Draw_Stop_Sign(dc, section.buttons[End_Place]);
    glyph(section.buttons[Review_Place], Arrow_Up, section.history.empty() ? 2 : 23);
  }
  dc.RestorePen();
}

void Help_Window::Draw_Focus(TDC& dc, int32_t button) {
  const TRect rect = Focus_Rect(button);
  if (rect.IsEmpty()) return;
  const Help_Page* page = Current_Page();
  if (page && page->round) dc.SelectClipRgn(TRegion::Ellipse(page->owner_area));
  dc.DrawFocusRect(rect);
  if (page && page->round) dc.RemoveClipRgn();
}

void Help_Window::Paint_Counter(TDC& dc) {
  const Help_Section& section = *Shown();
  if (section.Main_Count() <= 1 || section.current_page < 0 || !fonts[Help_Text_Font]) return;
  char text[32];
  std::snprintf(text, sizeof text, "%d of %d", section.current_page + 1, section.Main_Count());
  dc.SelectObject(*fonts[Help_Text_Font]);
  dc.SetTextAlign(TA_CENTER);
  dc.SetTextColor(Scheme(1));
  dc.TextOut(section.counter_point, text);
  dc.SetTextAlign(0);
  dc.SetTextColor(TColor(0, 0, 0));
}

void Help_Window::Draw_Stop_Sign(TDC& dc, const TRect& rect) {
  const TBrush red(Scheme(20));
  dc.SelectObject(TPen::Stock(NULL_PEN));
  dc.SelectObject(red);
  stop_sign->Paint(dc, rect);
  dc.RestoreBrush();
  if (stop_font) dc.SelectObject(*stop_font);
  dc.SetTextAlign(TA_CENTER);
  dc.SetBkMode(TRANSPARENT);
  dc.SetTextColor(TColor(255, 255, 255));
  const TPoint centre((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
  dc.TextOut(centre.x, centre.y - stop_font_height / 2, "STOP");
  dc.SetTextColor(TColor(0, 0, 0));
  dc.SetBkMode(OPAQUE);
  dc.SetTextAlign(0);
}

void Help_Window::Draw_OK_Button(TDC& dc, const TRect& rect) {
  Draw_Check_Mark(dc, TPoint((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2), (rect.bottom - rect.top) / 8);
}

int32_t Help_Window::Button_At(TPoint p) const {
  const Help_Section& section = *Shown();
  auto in = [&](int place) { return section.buttons[size_t(place)].Contains(p); };
  if (Single()) {
    if (!in(End_Place)) return No_Button;
    const Help_Page* page = section.Current();
    return page && page->number < 0 ? Review_Button : OK_Button;
  }
  if (in(Previous_Place)) return Previous_Button;
  if (in(Next_Place)) return Next_Button;
  if (in(End_Place)) return End_Button;
  if (in(Review_Place)) return Review_Button;
  return No_Button;
}

void Help_Window::Mouse_Move(UINT, const TPoint& point) {
  if (!Shown()) return;
  const int32_t item = Button_At(point);
  if (item == hover) return;
  if (hover != No_Button) {
    if (The_Tip_Window) The_Tip_Window->Leave_Item(Tip_Texts[hover]);
  } else if (The_Mouse) {
    The_Mouse->Capture(this);
  }
  if (item != No_Button) {
    if (The_Tip_Window) The_Tip_Window->Enter_Item(Tip_Texts[item]);
  } else if (The_Mouse && The_Mouse->Holds(this)) {
    The_Mouse->Release(this);
  }
  hover = item;
}

void Help_Window::Clear_Pointer_State() {
  if (The_Tip_Window) {
    The_Tip_Window->Hide();
    The_Tip_Window->Cancel();
  }
  if (The_Mouse && The_Mouse->Holds(this)) The_Mouse->Release(this);
  hover = No_Button;
}

void Help_Window::Click_Link(UINT, const TPoint& point) {
  const Help_Page* page = Current_Page();
  // A section without pages shows nothing to click: any click closes it.
  if (!page) return Shown() && IsWindowVisible() ? Hide(0) : void();
  Clear_Pointer_State();
  if (!In_Page(*page, point)) {
    Hide(0);
    Play_Click(this, point);
    return;
  }
  Help_Section& section = *Shown();
  // The first link under the pointer acts, and only that one: a link that
  // closed the help must not be followed by another.
  for (const Help_Link& link : page->links) {
    if (!link.rect.Contains(point)) continue;
    if (link.page != -1) {
      Go_To_Page(link.page, true);
    } else if (link.demonstration >= 0) {
      const int32_t n = link.demonstration;
      if (n <= 1 && !Level_Entry(Safari_Enabled_Level_Table, Level_Index())) {
        MessageBox("The game doesn't run at level 5\nPlease change levels and try again", "Game Demonstration",
                   MB_OK | MB_ICONEXCLAMATION);
      } else {
        Hide(0);
        Start_Demonstration(n);
      }
    } else if (link.target) {
      const std::string target = *link.target;
      Hide(1);
      if (Open_URL(target) && GetApplication() && GetApplication()->GetMainWindow())
        GetApplication()->GetMainWindow()->PostMessage(WM_SYSCOMMAND, SC_MINIMIZE);
    } else {
      Hide(0);
    }
    return;
  }
  if (IsWindowVisible() && !section.history.empty() && section.buttons[Review_Place].Contains(point)) {
    const int32_t back = section.history.back();
    section.history.pop_back();
    Go_To_Page(back, false);
  }
}

void Help_Window::EvKeyDown(UINT key, UINT repeat, UINT flags) {
  if (!Current_Page()) {
    // A section without pages still closes with Escape.
    if (key == VK_ESCAPE && Shown() && IsWindowVisible()) return Hide(0);
    return TWindow::EvKeyDown(key, repeat, flags);
  }
  switch (key) {
    case VK_PRIOR: case VK_LEFT: case VK_NEXT: case VK_RIGHT: case VK_HOME: case VK_END:
    case VK_UP: case VK_ESCAPE: case VK_TAB: case VK_RETURN:
      return Key_Down(key);
    default:
      return TWindow::EvKeyDown(key, repeat, flags);
  }
}

void Help_Window::Key_Down(UINT key) {
  Help_Section* section = Shown();
  if (!section || !section->Current()) return;
  Clear_Pointer_State();
  const int32_t number = section->current_page;
  const int32_t last = section->Main_Count() - 1;
  switch (key) {
    case VK_PRIOR:
    case VK_LEFT:
      if (number > 0) Go_To_Page(number - 1, true);
      break;
    case VK_NEXT:
    case VK_RIGHT:
      if (number >= 0 && number < last) Go_To_Page(number + 1, true);
      break;
    case VK_HOME:
      if (number != 0) Go_To_Page(0, true);
      break;
    case VK_END:
      if (number >= 0 && number < last) Go_To_Page(last, true);
      break;
    case VK_UP:
      if (!section->history.empty()) {
        const int32_t back = section->history.back();
        section->history.pop_back();
        Go_To_Page(back, false);
      }
      break;
    case VK_ESCAPE: Hide(0); break;
    case VK_TAB: {
      // The focus rectangle is drawn by inverting: drawing it again erases it.
      TClientDC dc(*this);
      Select_Program_Palette(dc);
      Draw_Focus(dc, focused);
      focused = Next_Focus(focused);
      Draw_Focus(dc, focused);
      break;
    }
    case VK_RETURN:
      switch (focused) {
        case Previous_Button: Key_Down(VK_PRIOR); break;
        case Next_Button: Key_Down(VK_NEXT); break;
        case Review_Button: Key_Down(VK_UP); break;
        case End_Button:
        case OK_Button: Hide(0); break;
        default: break;
      }
      break;
    default: break;
  }
}

void Help_Window::EvSysCommand(UINT cmd, const TPoint& point) {
  if ((cmd & 0xFFF0) == SC_SCREENSAVE) return;
  TWindow::EvSysCommand(cmd, point);
}

// The click replay keeps its state here: one replay runs at a time.
namespace {

struct Click_Replay {
  HHOOK record = 0;
  HHOOK playback = 0;
  TPoint point;
  bool released = false;
  bool pressing = true;
} replay;

void Remove_Replay_Hooks() {
  if (replay.playback) UnhookWindowsHookEx(replay.playback);
  if (replay.record) UnhookWindowsHookEx(replay.record);
  replay.playback = replay.record = 0;
}

LRESULT Record_Release(int code, WPARAM, LPARAM lparam) {
  if (code == HC_ACTION && lparam) {
    const auto* event = reinterpret_cast<const EVENTMSG*>(lparam);
    if (event->message == WM_LBUTTONUP) replay.released = true;
  }
  return 0;
}

LRESULT Play_Press(int code, WPARAM, LPARAM lparam) {
  if (code == HC_GETNEXT && lparam) {
    auto* event = reinterpret_cast<EVENTMSG*>(lparam);
    event->message = replay.pressing ? WM_LBUTTONDOWN : WM_LBUTTONUP;
    event->paramL = UINT(replay.point.x);
    event->paramH = UINT(replay.point.y);
    event->time = GetTickCount();
    event->hwnd = HWND();
    return 0;
  }
  if (code == HC_SKIP) {
    if (!replay.pressing || !replay.released)
      Remove_Replay_Hooks();
    else
      replay.pressing = false;
  }
  return 0;
}

}  // namespace

void Play_Click(TWindow* window, TPoint point) {
  if (replay.record || replay.playback) return;
  replay.released = false;
  replay.record = SetWindowsHookEx(WH_JOURNALRECORD, &Record_Release);
  if (window->GetApplication()) window->GetApplication()->PumpWaitingMessages();
  // A release that came before the hook (already waiting) counts too.
  if (!(GetAsyncKeyState(VK_LBUTTON) & 0x8000)) replay.released = true;
  window->ClientToScreen(point);
  replay.point = point;
  replay.pressing = true;
  replay.playback = SetWindowsHookEx(WH_JOURNALPLAYBACK, &Play_Press);
  // A demonstration's playback already owns the input: nothing is replayed.
  if (!replay.playback) Remove_Replay_Hooks();
}
