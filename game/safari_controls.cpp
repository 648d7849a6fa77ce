#include "game/safari_controls.h"

#include "model/gui_colors.h"
#include "platform/gdi/dc.h"
#include "toolkit/demonstration_state.h"
#include "toolkit/round_border.h"
#include "users/caption_owner.h"
#include "users/level_tables.h"
#include "users/user_database.h"

Safari_Controls::Safari_Controls(TWindow* parent, const TRect& rect, TWindow* drawing_window,
                                 TWindow* shape_palette, Transform_Palette* manipulator_palette,
                                 Target_Generator* target_generator, Fireworks_Factory* fireworks_factory)
    : TWindow(parent, "Safari Controls"),
      Drawing_Window(drawing_window),
      Shape_Palette(shape_palette),
      Manipulator_Palette(manipulator_palette),
      Generator(target_generator),
      Fireworks(fireworks_factory) {
  Attr.Set_Rect(rect);
}

bool Safari_Controls::Enabled_For_Current_User() {
  return !The_User_Database || Level_Entry(Safari_Enabled_Level_Table, The_User_Database->current_user->level);
}

void Safari_Controls::SetupWindow() {
  TWindow::SetupWindow();
  if (!Enabled_For_Current_User()) ShowWindow(SW_HIDE);
}

void Safari_Controls::Paint(TDC& dc, bool, TRect&) {
  const TRect r = GetClientRect();
  if (The_GUI_Colors) dc.FillRect(r, *The_GUI_Colors->Scheme_Brush_0);
  if (The_Round_Border) The_Round_Border->Draw_Bevel_Inverse(dc, r);
}

void Safari_Controls::Set_User() {
  End_Run();
  ShowWindow(Enabled_For_Current_User() ? SW_SHOWNA : SW_HIDE);
}

void Safari_Controls::Target_Matched() {
  if (Demonstration_Running() || !The_User_Database) {
    Pending_Points = 0;
    return;
  }
  The_User_Database->current_user->points += Pending_Points;
  Pending_Points = 0;
  The_User_Database->Save(nullptr);
  if (The_Caption_Owner) The_Caption_Owner->Update_Caption();
}

void Safari_Controls::Ce_Match_This(TCommandEnabler& enabler) { enabler.Enable(Enabled_For_Current_User()); }
