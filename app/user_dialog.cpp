#include "app/user_dialog.h"

#include "toolkit/program_messages.h"
#include "app/user_level_window.h"
#include "help/help_window.h"
#include "app/user_list_window.h"
#include "model/gui_colors.h"
#include "platform/window/cursor.h"
#include "platform/window/desktop.h"
#include "toolkit/gui_bitmaps.h"
#include "toolkit/gui_sizes.h"
#include "toolkit/mouse.h"
#include "toolkit/round_border.h"
#include "toolkit/round_button.h"
#include "toolkit/tip_window.h"
#include "users/user_database.h"

namespace {

constexpr UINT SC_SCREENSAVE_COMMAND = 0xF140;

}  // namespace

User_Dialog::User_Dialog(TWindow* parent, TModule* module, const TRect& rect_)
    : TDialog(parent, "Name and Level", module), rect(rect_) {}

User_Dialog::~User_Dialog() = default;

void User_Dialog::SetupWindow() {
  const TCursor* old_cursor = TDesktop::Current().Set_Cursor(&TCursor::Wait());
  copy = std::make_unique<User_Database>(*The_User_Database);
  TDialog::SetupWindow();
  SetWindowPos(HWND(), rect.left, rect.top, rect.Width(), rect.Height(), SWP_NOZORDER | SWP_NOACTIVATE);

  const TRect client = GetClientRect();
  const int L = client.left + 2, T = client.top + 2, R = client.right - 2, B = client.bottom - 2;
  const int H = B - T;
  s = (*The_GUI_Sizes)[35];
  const int r = L + (R - L) * 4 / 10;
  const int header_top = T + s - s / 2;
  name_anchor = TPoint((L + r - 4 * s) / 2, header_top);
  points_anchor = TPoint(r, header_top);
  level_anchor = TPoint((r + R) / 2, header_top);
  list_font = std::make_unique<TFont>("Times New Roman", s, FW_BOLD);

  list = new User_List_Window(this, TRect(L, T + 2 * s, r, B), *copy, *list_font);
  levels = new User_Level_Window(this, TRect(r, T + 2 * s, R, B - H / 5), *list_font);
  list->Create();
  levels->Create();
  levels->Show_User(*copy->current_user);

  const int band_top = B - H / 5, h = H / 5;
  const int k = h * 3 / 4, g = ((R - r) - 3 * k) / 4;
  const char* tips[3] = {"OK", "Cancel", "Help"};
  for (int i = 0; i < 3; ++i) {
    const int left = r + g + i * (k + g), top = band_top + h / 8;
    buttons[i] = new Round_Button(this, OK_Id + i, TRect(left, top, left + k, top + k));
    buttons[i]->Attr.Style |= WS_TABSTOP;  // Tab reaches them after the list
    buttons[i]->Create();
    const bool fit = i < 2;
    const TSize size = fit ? buttons[i]->Inner_Rect.Size() : buttons[i]->Content_Rect.Size();
    if (The_GUI_Bitmaps != nullptr) {
      The_GUI_Bitmaps->Get(19 + i, size);
      if (const TBitmap* picture = The_GUI_Bitmaps->Pictures[size_t(19 + i)].get())
        buttons[i]->Set_Picture(*picture, tips[i], fit);
      The_GUI_Bitmaps->Drop(19 + i);
    }
  }
  TDesktop::Current().Set_Cursor(old_cursor);
  if (The_Help_Window != nullptr) The_Help_Window->Load_Section(3, Help_Area(), 0);
  // A demonstration's pass goes on through this dialog.
  if (The_Simulated_User && The_Simulated_User->Pass_Pending) The_Simulated_User->Select_Demo_User(*this);
}

TRect User_Dialog::Help_Area() const {
  // The help page lies over the level window, a little up and to the left,
  // so that the list and the buttons stay in sight beside it.
  const TRect level = levels->Window_Rect_In_Parent();
  const int w = level.Width(), h = level.Height();
  const TRect area(level.left - w / 8, level.top - h / 10, level.right - w / 8 - w / 4, level.bottom - h / 16);
  return Screen_Rect(*this, area);
}

void User_Dialog::CleanupWindow() {
  // The halves go first: they show users of the copy.
  delete list;
  delete levels;
  for (Round_Button*& button : buttons) {
    delete button;
    button = nullptr;
  }
  list = nullptr;
  levels = nullptr;
  list_font.reset();
  copy.reset();
  TDialog::CleanupWindow();
}

void User_Dialog::Paint(TDC& dc, bool, TRect&) {
  const TRect client = GetClientRect();
  dc.FillRect(client, *The_GUI_Colors->Scheme_Brush_0);
  if (The_Round_Border != nullptr) The_Round_Border->Draw_Bevel(dc, client);
  const TFont header("Times New Roman", s, FW_NORMAL, false, true);
  dc.SelectObject(header);
  dc.SetBkMode(TRANSPARENT);
  dc.SetTextColor(The_GUI_Colors->Scheme[1]);
  auto centred = [&](TPoint at, const char* text) {
    dc.TextOut(at.x - dc.GetTextExtent(text).cx / 2, at.y, text);
  };
  centred(name_anchor, "Name");
  centred(level_anchor, "Level");
  dc.TextOut(points_anchor.x - dc.GetTextExtent("Points").cx, points_anchor.y, "Points");
  dc.RestoreObjects();
}

void User_Dialog::Ok() {
  if (copy == nullptr) return;
  // A name being typed is kept; a refused one has shown its message.
  list->Commit_Edit();
  levels->End_Drag();
  if (May_Install && !May_Install(*copy, GetHandle())) {
    CmCancel();
    return;
  }
  User_Database* installed = copy.release();
  installed->Install(GetHandle());
  installed->Save(GetHandle());
  if (Reset_Help) Reset_Help();
  EndDialog(IDOK);
}

void User_Dialog::CmCancel() {
  if (levels != nullptr) levels->End_Drag();
  if (Reset_Help) Reset_Help();
  EndDialog(IDCANCEL);
}

void User_Dialog::Help() {
  if (Show_Help) Show_Help(*this);
}

LRESULT User_Dialog::EvCommand(UINT id, HWND control, UINT notify_code) {
  switch (id) {
    case OK_Id: Ok(); return 0;
    case Cancel_Id:
    case IDCANCEL: CmCancel(); return 0;
    case Help_Id: Help(); return 0;
    case IDOK: return 0;  // only the OK button installs
    default: return TDialog::EvCommand(id, control, notify_code);
  }
}

void User_Dialog::EvSysCommand(UINT cmd_type, const TPoint& point) {
  if ((cmd_type & 0xFFF0) == SC_SCREENSAVE_COMMAND) return;
  TDialog::EvSysCommand(cmd_type, point);
}

void User_Dialog::EvActivate(UINT active, bool minimized, HWND other) {
  if (active == WA_INACTIVE && levels != nullptr) levels->End_Drag();
  TDialog::EvActivate(active, minimized, other);
}

LRESULT User_Dialog::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case Help_Request_Message:
      if (The_Mouse != nullptr && The_Mouse->Busy()) return 0;
      if (The_Tip_Window != nullptr) The_Tip_Window->Hide();
      if (The_Mouse != nullptr) The_Mouse->Release(nullptr);
      Help();
      return 0;
    case Help_Closed_Message:
      if (list != nullptr) list->SetFocus();
      return 0;
    case User_Selected_Message:
      if (copy != nullptr && levels != nullptr) levels->Show_User(*copy->current_user);
      return 0;
    case User_Level_Key_Message:
      if (levels != nullptr) levels->Choose_Level(int32_t(wp));
      return 0;
    default:
      return TDialog::WindowProc(msg, wp, lp);
  }
}

TPoint User_Dialog::First_Row_Point() const { return list->First_Row_Point(); }

TPoint User_Dialog::User_Row_Point(const std::string& name, int& steps) const {
  return list->User_Row_Point(name, steps);
}

TPoint User_Dialog::Scroll_Up_Point() const { return list->Scroll_Up_Point(); }

TPoint User_Dialog::Scroll_Down_Point() const { return list->Scroll_Down_Point(); }

TPoint User_Dialog::Level_Column_Point(int n) const { return levels->Level_Column_Point(n); }

TPoint User_Dialog::OK_Button_Point() const {
  const TRect r = buttons[0]->Window_Rect_In_Parent();
  TPoint centre((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  ClientToScreen(centre);
  return centre;
}
