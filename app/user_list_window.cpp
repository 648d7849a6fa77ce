#include "app/user_list_window.h"

#include <algorithm>

#include "toolkit/program_messages.h"
#include "model/gui_colors.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/memory_dc.h"
#include "platform/window/command_enabler.h"
#include "platform/window/message_box.h"
#include "platform/window/window_dc.h"
#include "toolkit/arrow_button.h"
#include "toolkit/ext_edit.h"
#include "toolkit/gui_sizes.h"
#include "toolkit/small_utilities.h"
#include "users/user_database.h"
#include "users/user_names.h"

namespace {

// The scheme colour of a points figure, by its size.
int Points_Color(int32_t points) {
  const int32_t limits[] = {10, 100, 1000, 10000, 100000, 1000000};
  const int colors[] = {1, 20, 21, 28, 23, 24};
  for (size_t i = 0; i < 6; ++i)
    if (points < limits[i]) return colors[i];
  return 25;
}

constexpr uint32_t Field_Key_Down_Mask = Ext_Key_F1;
constexpr uint32_t Field_Key_Up_Mask = Ext_Key_Enter | Ext_Key_Esc | Ext_Key_Page_Up | Ext_Key_Page_Down |
                                       Ext_Key_Up | Ext_Key_Down;
constexpr UINT Focus_Message = WM_USER + 1;

}  // namespace

User_List_Window::User_List_Window(TWindow* parent, const TRect& rect, User_Database& database_, const TFont& font_)
    : TWindow(parent, "User List Window"), database(&database_), font(font_) {
  Attr.Style = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
  Attr.Set_Rect(rect);
  w = rect.Width();
  h = rect.Height();
  s = (*The_GUI_Sizes)[35];
  p = s + s / 4;
  n = std::min(h / p, int(Max_Rows));
  m = (h - n * p + s / 4) / 2;
  name_width = w - 2 * s;
  points_width = 3 * s;
  for (int i = 0; i < n; ++i) {
    rows[size_t(i)] = TRect(2 * s, m + i * p, w, m + i * p + s);
    markers[size_t(i)] = TRect(s / 2, m + i * p, s / 2 + s, m + i * p + s);
  }
  const int centre = (2 * s + w - 3 * s) / 2;
  auto arrow_rect = [&](int row) { return TRect(centre - s, rows[size_t(row)].top, centre + s, rows[size_t(row)].bottom); };
  up = new Arrow_Button(this, Scroll_Up_Id, arrow_rect(1), Arrow_Kind_Up, 1, 250);
  down = new Arrow_Button(this, Scroll_Down_Id, arrow_rect(n - 1), Arrow_Kind_Down, 1, 250);
  up->Attr.Style &= ~WS_VISIBLE;
  down->Attr.Style &= ~WS_VISIBLE;
  field = new ExtEdit(this, Field_Id, TRect(), "", Max_User_Name_Length, false, nullptr, Field_Key_Down_Mask,
                      Field_Key_Up_Mask);
  field->Attr.Style &= ~WS_VISIBLE;
  const int current = database->current_index;
  if (database->Count() >= n && current >= n - 3) first = current - n + 4;
}

User_List_Window::~User_List_Window() = default;

void User_List_Window::SetupWindow() {
  TWindow::SetupWindow();
  row_picture = std::make_unique<TBitmap>(name_width, s);
  Show_Arrows(database->Count() >= n);
  highlighted = Row_Of(database->current_index);
  if (database->current_index == -1) {
    Open_Field(0, -1);
    PostMessage(Focus_Message);
  } else {
    field->EnableWindow(false);
    SetFocus();
  }
}

void User_List_Window::CleanupWindow() {
  row_picture.reset();
  TWindow::CleanupWindow();
}

int User_List_Window::Page() const { return arrows_shown ? n - 3 : database->Count(); }

int User_List_Window::Row_Of(int index) const {
  if (index == -1) return 0;
  const int shown = arrows_shown ? n - 3 : n - 1;
  if (index < first || index >= first + shown) return -2;
  return First_User_Row() + index - first;
}

int User_List_Window::Index_Of(int row) const {
  if (row == 0) return -1;
  if (row < First_User_Row() || row > Last_User_Row()) return -2;
  const int index = first + row - First_User_Row();
  return index < database->Count() ? index : -2;
}

void User_List_Window::Show_Arrows(bool show) {
  // The arrows take rows that held names until now (or give them back): the
  // whole list is painted again, so no name stays beside an arrow.
  if (show != arrows_shown && IsWindow()) Invalidate();
  arrows_shown = show;
  up->ShowWindow(show ? SW_SHOW : SW_HIDE);
  down->ShowWindow(show ? SW_SHOW : SW_HIDE);
}

void User_List_Window::Select(int row, int index) {
  if (row == -1) row = Row_Of(index);
  Move_Marker(row);
  database->Set_Current(index);
  Tell_Parent();
}

void User_List_Window::Tell_Parent() {
  if (Parent != nullptr)
    Parent->PostMessage(User_Selected_Message, WPARAM(database->current_index),
                        LPARAM(reinterpret_cast<intptr_t>(database->current_user)));
}

void User_List_Window::Move_Marker(int row) {
  TClientDC dc(*this);
  if (highlighted >= 0) Draw_Marker(dc, highlighted, false);
  Draw_Focus(dc, false);
  highlighted = row;
  if (highlighted >= 0) Draw_Marker(dc, highlighted, true);
  Draw_Focus(dc, keyboard_here);
}

TRect User_List_Window::Focus_Frame() const {
  if (highlighted < 0) return TRect();
  const TRect& row = rows[size_t(highlighted)];
  return TRect(markers[size_t(highlighted)].left - 3, row.top - 3, w, row.bottom + 3);
}

// Lines above and below the highlighted row and at its left, in the room
// between the rows: drawing or removing them never touches a name, and
// the names run on to the right edge, so that side stays open.
void User_List_Window::Draw_Focus(TDC& dc, bool shown) {
  const TRect frame = Focus_Frame();
  if (frame.IsEmpty()) return;
  const TBrush& brush = shown ? *The_GUI_Colors->Scheme_Brush_1 : *The_GUI_Colors->Scheme_Brush_0;
  dc.FillRect(TRect(frame.left, frame.top, frame.right, frame.top + 2), brush);
  dc.FillRect(TRect(frame.left, frame.bottom - 2, frame.right, frame.bottom), brush);
  dc.FillRect(TRect(frame.left, frame.top, frame.left + 2, frame.bottom), brush);
}

void User_List_Window::EvSetFocus(HWND) {
  keyboard_here = true;
  TClientDC dc(*this);
  Draw_Focus(dc, true);
}

void User_List_Window::EvKillFocus(HWND) {
  keyboard_here = false;
  TClientDC dc(*this);
  Draw_Focus(dc, false);
}

void User_List_Window::Draw_Marker(TDC& dc, int row, bool shown) {
  const TRect& r = markers[size_t(row)];
  if (!shown) {
    dc.FillRect(r, *The_GUI_Colors->Scheme_Brush_0);
    return;
  }
  const TPoint corners[3] = {{r.left, r.top}, {r.right, (r.top + r.bottom) / 2}, {r.left, r.bottom}};
  dc.SelectObject(*The_GUI_Colors->Scheme_Brush_6);
  dc.SelectStockObject(NULL_PEN);
  dc.Polygon(corners, 3);
  dc.RestoreObjects();
}

void User_List_Window::Paint(TDC& dc, bool, TRect&) {
  dc.FillRect(GetClientRect(), *The_GUI_Colors->Scheme_Brush_0);
  const TFont italic("Times New Roman", s, FW_NORMAL, true);
  dc.SelectObject(italic);
  dc.SetTextColor(The_GUI_Colors->Scheme[1]);
  dc.SetBkMode(TRANSPARENT);
  dc.TextOut(rows[0].left + (*The_GUI_Sizes)[29], rows[0].top, "New");
  dc.RestoreObjects();
  Draw_Rows(dc);
  if (highlighted >= 0) Draw_Marker(dc, highlighted, true);
  Draw_Focus(dc, keyboard_here);
}

void User_List_Window::Draw_Rows(TDC& dc) {
  for (int row = First_User_Row(); row <= Last_User_Row(); ++row) {
    const int index = first + row - First_User_Row();
    if (index < database->Count())
      Draw_Row(dc, row, index);
    else
      dc.FillRect(rows[size_t(row)], *The_GUI_Colors->Scheme_Brush_0);
  }
}

void User_List_Window::Draw_Row(TDC& dc, int row, int index) {
  const User& user = *database->At(index);
  TMemoryDC picture(*row_picture);
  picture.FillRect(TRect(0, 0, name_width, s), *The_GUI_Colors->Scheme_Brush_0);
  picture.SelectObject(user.font ? *user.font : font);
  picture.SetTextColor(user.color);
  picture.SetBkMode(TRANSPARENT);
  const TRect name_clip(0, 0, name_width - points_width - 2, s);
  picture.ExtTextOut(TPoint(0, 0), ETO_CLIPPED, &name_clip, user.name);
  if (user.points != 0) {
    char text[16];
    Format_With_Commas(text, user.points);
    picture.SetTextColor(The_GUI_Colors->Scheme[size_t(Points_Color(user.points))]);
    picture.SetBkColor(The_GUI_Colors->Scheme[0]);
    picture.SetBkMode(OPAQUE);
    const TSize size = picture.GetTextExtent(text);
    picture.TextOut(name_width - size.cx, 0, text);
  }
  const TRect& r = rows[size_t(row)];
  dc.BitBlt(TRect(r.left, r.top, r.left + name_width, r.bottom), picture, TPoint(0, 0));
}

void User_List_Window::Redraw_Rows() {
  // The field stands over a row; it comes back over the current user's row
  // with what was typed.
  const bool was_open = editing;
  const std::string typed = field->GetText();
  if (was_open) Close_Field();
  {
    TClientDC dc(*this);
    if (highlighted >= 0) Draw_Marker(dc, highlighted, false);
    Draw_Focus(dc, false);
    highlighted = Row_Of(database->current_index);
    Draw_Rows(dc);
    if (highlighted >= 0) Draw_Marker(dc, highlighted, true);
    Draw_Focus(dc, keyboard_here);
  }
  if (was_open && highlighted > 0) {
    Open_Field(highlighted, database->current_index);
    field->SetText(typed);
  }
}

void User_List_Window::Scroll(int delta) {
  first += delta;
  Redraw_Rows();
}

void User_List_Window::Open_Field(int row, int index) {
  const User& user = index == -1 ? database->default_user : *database->At(index);
  const TRect& r = rows[size_t(row)];
  field->SetFont(user.font ? *user.font : font);
  field->SetText(user.name);
  field->MoveWindow(TRect(r.left, r.top, r.right - points_width, r.bottom));
  field->ShowWindow(SW_SHOW);
  field->EnableWindow(true);
  field->SetFocus();
  field->SetSelection(0, -1);
  editing = true;
  edited = index;
}

void User_List_Window::Close_Field() {
  field->ShowWindow(SW_HIDE);
  field->EnableWindow(false);
  editing = false;
  edited = -2;
  SetFocus();
}

void User_List_Window::Refuse(const std::string& text, const std::string& why) {
  ::MessageBox(GetHandle(), text + why, "User List Update", MB_OK | MB_ICONEXCLAMATION);
}

bool User_List_Window::Commit_Edit() {
  if (ignore_next_commit) {
    ignore_next_commit = false;
    return true;
  }
  if (!editing) return true;
  const std::string text = field->GetText().substr(0, Max_User_Name_Length);
  const int index = edited;
  User* user = index == -1 ? nullptr : database->At(index);
  if (!text.empty() && (user == nullptr || text != user->name)) {
    const int found = database->Find_User(text);
    const bool case_only = user != nullptr && Same_Name_Ignoring_Case(text, user->name);
    if (found >= 0 && !case_only) {
      Refuse(text, " already appears on the user list.\nDuplicate names are not allowed.");
      return false;
    }
    if (const char* problem = User_Name_Problem(text)) {
      Refuse(text, std::string(" ") + problem + "\nPlease choose another name.");
      return false;
    }
  }
  Close_Field();
  if (user == nullptr) {
    if (text.empty()) {
      Tell_Parent();
      return true;
    }
    const int added = database->Add_User(std::make_unique<User>(database->default_user.level, text.c_str()));
    if (!arrows_shown && database->Count() >= n) Show_Arrows(true);
    if (Row_Of(added) == -2) first = std::max(0, added - Page() + 1);
    Redraw_Rows();
    Select(-1, added);
    return true;
  }
  if (text.empty()) {
    // The edited user, whichever row is marked now.
    Delete_Road(index);
    return true;
  }
  if (text == user->name) {
    Tell_Parent();
    return true;
  }
  user->name = text;
  const int moved = database->Resort_User(index);
  if (moved == index) {
    TClientDC dc(*this);
    if (Row_Of(index) > 0) Draw_Row(dc, Row_Of(index), index);
    Tell_Parent();
    return true;
  }
  if (moved < first)
    first = moved;
  else if (Row_Of(moved) == -2)
    first = moved - Page() + 1;
  Redraw_Rows();
  Select(-1, moved);
  return true;
}

void User_List_Window::Delete_Road(int index) {
  if (editing) Close_Field();
  if (index < 0 || index >= database->Count()) return;
  const std::string question = "Delete " + database->At(index)->name + "?";
  if (::MessageBox(GetHandle(), question, "Confirmation", MB_YESNO) != IDYES) return;
  if (database->current_index != index) database->Set_Current(index);
  deleted.push_back(database->Remove_User(index));
  if (arrows_shown && database->Count() < n) {
    Show_Arrows(false);
    first = 0;
  }
  const int count = database->Count();
  const int next = count == 0 ? -1 : std::min(index, count - 1);
  if (next >= 0 && Row_Of(next) == -2) first = std::max(0, next - Page() + 1);
  Redraw_Rows();
  Select(-1, next);
}

void User_List_Window::EvLButtonDown(UINT, const TPoint& point) {
  if (point.y < rows[0].top) return;
  const int row = (point.y - rows[0].top) / p;
  if (row >= n || !rows[size_t(row)].Contains(point)) return;
  const int index = Index_Of(row);
  if (index == -2) return;
  if (row != highlighted) {
    // The click names the user seen there, wherever a commit moves it.
    User* clicked = index == -1 ? nullptr : database->At(index);
    if (!Commit_Edit()) return;
    int now = -1;
    if (clicked != nullptr)
      for (int i = 0; i < database->Count(); ++i)
        if (database->At(i) == clicked) now = i;
    if (clicked != nullptr && now == -1) return;  // deleted by the commit
    if (Row_Of(now) == -2) {
      first = std::max(0, std::min(now, database->Count() - Page()));
      Redraw_Rows();
    }
    Select(-1, now);
    if (now != -1) return;
  }
  Open_Field(highlighted, database->current_index);
}

void User_List_Window::EvKeyDown(UINT key, UINT, UINT) { Key(key); }

void User_List_Window::Key(UINT key) {
  const int count = database->Count();
  int index = database->current_index;
  switch (key) {
    case VK_UP:
      if (index == -1) return;
      if (!Commit_Edit()) return;
      index = database->current_index;
      if (index <= 0) {
        if (index == 0) Select(0, -1);
        return;
      }
      if (highlighted == First_User_Row()) Scroll(-1);
      Select(-1, index - 1);
      return;
    case VK_DOWN:
      if (index >= count - 1) return;
      if (!Commit_Edit()) return;
      index = database->current_index;
      if (index >= database->Count() - 1) return;
      if (highlighted == Last_User_Row()) Scroll(1);
      Select(-1, index + 1);
      return;
    case VK_PRIOR:
      if (count == 0 || highlighted == 0) return;
      if (!Commit_Edit()) return;
      index = database->current_index;
      if (highlighted == First_User_Row()) {
        if (first == 0) return;
        first = std::max(0, index - Page() + 1);
        Redraw_Rows();
      }
      Select(-1, first);
      return;
    case VK_NEXT: {
      if (count == 0) return;
      if (!Commit_Edit()) return;
      index = database->current_index;
      int target = first + Page() - 1;
      if (highlighted == Last_User_Row()) {
        if (index == database->Count() - 1) return;
        target = std::min(index + Page() - 1, database->Count() - 1);
        first = target - Page() + 1;
        Redraw_Rows();
      }
      Select(-1, std::min(target, database->Count() - 1));
      return;
    }
    case VK_HOME:
      if (count == 0 || !Commit_Edit()) return;
      if (first != 0) Scroll(-first);
      Select(-1, 0);
      return;
    case VK_END:
      if (count == 0 || !Commit_Edit()) return;
      if (Row_Of(database->Count() - 1) == -2) {
        first = database->Count() - Page();
        Redraw_Rows();
      }
      Select(-1, database->Count() - 1);
      return;
    case VK_RETURN:
      if (editing || Row_Of(index) == -2) return;
      ignore_next_commit = true;
      Open_Field(Row_Of(index), index);
      return;
    case VK_DELETE:
      if (index != -1) Delete_Road(index);
      return;
    case VK_F1:
      if (Parent) Parent->PostMessage(Help_Request_Message);
      return;
    default:
      if (key >= '1' && key <= '5' && Parent) Parent->PostMessage(User_Level_Key_Message, key - '1');
  }
}

const TBrush* User_List_Window::EvCtlColor(TDC& dc, HWND, UINT) {
  dc.SetTextColor(The_GUI_Colors->Scheme[1]);
  return nullptr;
}

LRESULT User_List_Window::EvCommand(UINT id, HWND control, UINT notify_code) {
  const bool step = notify_code == Arrow_Button_Pressed || notify_code == Arrow_Button_Repeat;
  switch (id) {
    case Scroll_Up_Id:
      if (step && arrows_shown && first > 0) Scroll(-1);
      return 0;
    case Scroll_Down_Id:
      if (step && arrows_shown && first + n - 3 < database->Count()) Scroll(1);
      return 0;
    case Edit_Command:
      if (highlighted > 0) Open_Field(highlighted, database->current_index);
      return 0;
    case Delete_Command:
      Delete_Road(database->current_index);
      return 0;
    case Font_Command:
    case Color_Command:
      ::MessageBox(GetHandle(), "Not Implemented Yet", "", MB_OK | MB_ICONSTOP);
      return 0;
    default:
      return TWindow::EvCommand(id, control, notify_code);
  }
}

void User_List_Window::EvCommandEnable(TCommandEnabler& enabler) {
  switch (enabler.GetId()) {
    case Scroll_Up_Id: enabler.Enable(arrows_shown && first > 0); return;
    case Scroll_Down_Id: enabler.Enable(arrows_shown && first + n - 3 < database->Count()); return;
    case Edit_Command:
    case Delete_Command:
    case Font_Command:
    case Color_Command: enabler.Enable(highlighted > 0); return;
    default: TWindow::EvCommandEnable(enabler);
  }
}

LRESULT User_List_Window::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case Ext_Char_Refused_Message:
      // The names' code page has no such letters: they never reach the name.
      Refuse("Some of the characters typed", " cannot be used in names.\nPlease use other letters.");
      return 0;
    case Ext_Key_Message:
    case Ext_Key_Up_Message:
      switch (wp) {
        case VK_RETURN: Commit_Edit(); break;
        case VK_ESCAPE: if (editing) Close_Field(); break;
        case VK_F1: if (Parent) Parent->PostMessage(Help_Request_Message); break;
        default: Key(UINT(wp));
      }
      return 0;
    case Focus_Message:
      if (editing)
        field->SetFocus();
      else
        SetFocus();
      return 0;
    default:
      return TWindow::WindowProc(msg, wp, lp);
  }
}

TPoint User_List_Window::Screen_Point(int row) const {
  const TRect& r = rows[size_t(row)];
  TPoint point(r.left + r.Width() / 4, (r.top + r.bottom) / 2);
  ClientToScreen(point);
  return point;
}

TPoint User_List_Window::First_Row_Point() const { return Screen_Point(0); }

TPoint User_List_Window::User_Row_Point(const std::string& name, int& steps) const {
  const int index = database->Find_User(name);
  steps = 0;
  if (index < 0) return Screen_Point(0);
  if (index < first) {
    steps = index - first;
    return Screen_Point(2);
  }
  const int row = Row_Of(index);
  if (row == -2) {
    steps = index - first - n + 4;
    return Screen_Point(n - 2);
  }
  return Screen_Point(row);
}

TPoint User_List_Window::Scroll_Up_Point() const {
  TPoint point = up->Window_Rect_In_Parent().TopLeft();
  point.x += s;
  point.y += s / 2;
  ClientToScreen(point);
  return point;
}

TPoint User_List_Window::Scroll_Down_Point() const {
  TPoint point = down->Window_Rect_In_Parent().TopLeft();
  point.x += s;
  point.y += s / 2;
  ClientToScreen(point);
  return point;
}
