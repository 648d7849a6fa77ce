#include "app/panel_stand_ins.h"

#include "model/gui_colors.h"
#include "platform/gdi/dc.h"
#include "toolkit/round_border.h"
#include "users/level_tables.h"
#include "users/user_database.h"

namespace Stand_In {

namespace {

bool Color_Steps() {
  return The_User_Database && Level_Entry(Color_Step_Level_Table, The_User_Database->current_user->level);
}

}  // namespace

// There only at the levels with colour steps (where the game's strip, in
// the same place, is hidden).
Color_Cycle_Window::Color_Cycle_Window(TWindow* parent, const TRect& rect, Color_Wheel*)
    : TWindow(parent, "Color Cycle Window") {
  Attr.X = rect.left;
  Attr.Y = rect.top;
  Attr.W = rect.Width();
  Attr.H = rect.Height();
  enabled = Color_Steps();
  if (!enabled) Attr.Style &= ~WS_VISIBLE;
}

void Color_Cycle_Window::Paint(TDC& dc, bool, TRect&) {
  TRect r = GetClientRect();
  if (The_GUI_Colors) dc.FillRect(r, *The_GUI_Colors->Scheme_Brush_0);
  if (The_Round_Border) The_Round_Border->Draw_Bevel_Inverse(dc, r);
}

void Color_Cycle_Window::Change_User() {
  Note("Change_User");
  enabled = Color_Steps();
  ShowWindow(enabled ? SW_SHOWNA : SW_HIDE);
}

}  // namespace Stand_In
