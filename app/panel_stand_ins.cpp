#include "app/panel_stand_ins.h"

#include "model/gui_colors.h"
#include "platform/gdi/dc.h"
#include "toolkit/gui_sizes.h"
#include "toolkit/round_border.h"
#include "users/level_tables.h"
#include "users/user_database.h"

namespace Stand_In {

namespace {

TRect At(const TPoint& origin, int w, int h) { return {origin.x, origin.y, origin.x + w, origin.y + h}; }

int Size(int index) { return The_GUI_Sizes ? (*The_GUI_Sizes)[index] : 0; }

}  // namespace

Flat_Panel::Flat_Panel(TWindow* parent, const char* title, const TRect& rect) : TWindow(parent, title) {
  Attr.X = rect.left;
  Attr.Y = rect.top;
  Attr.W = rect.Width();
  Attr.H = rect.Height();
}

void Flat_Panel::Paint(TDC& dc, bool, TRect&) {
  TRect r = GetClientRect();
  if (The_GUI_Colors) dc.FillRect(r, *The_GUI_Colors->Scheme_Brush_0);
  if (The_Round_Border) The_Round_Border->Draw_Bevel_Inverse(dc, r);
}

// The panels' own sizes, as their constructors make them.
Shape_Palette::Shape_Palette(TWindow* parent, const TPoint& origin)
    : Flat_Panel(parent, "Shape Palette", At(origin, 3 * Size(6), 5 * Size(6))) {}

Color_Wheel::Color_Wheel(TWindow* parent, const TPoint& origin)
    : Flat_Panel(parent, "Color Wheel",
                 At(origin, Size(7) + Size(5) + 1, Size(7) + Size(5) + Size(8) + 1)) {}

void Color_Wheel::Select_Color(TColor color) {
  current = color;
  Note("Select_Color");
}

Review_Window::Review_Window(TWindow* parent, const TRect& rect) : Round_Window(parent, "Review Window", 0, rect) {
  Attr.Style &= ~WS_VISIBLE;
}

Drawing_Window::Drawing_Window(TWindow* parent, const TRect& rect, Color_Wheel*, Shape_Palette*)
    : Round_Window(parent, "Drawing Window", 0, rect) {
  review_window = new Review_Window(parent, rect);
}

void Drawing_Window::SetupWindow() { Round_Window::SetupWindow(); }

void Drawing_Window::Paint_Client(TDC& dc) {
  if (The_GUI_Colors) dc.FillRect(Client_Rect, TBrush(The_GUI_Colors->Scheme_RGB(4)));
}

void Drawing_Window::Add_Shape(const Shape*, TColor, TColor) { Note("Add_Shape"); }

void Drawing_Window::Apply_Manipulator(const Shape_Transform* manipulator, bool at_once) {
  Note(std::string("Apply_Manipulator ") + (manipulator ? "some" : "none") + (at_once ? " at once" : ""));
}

Transform_Edit_Window::Transform_Edit_Window(TWindow* parent, const TRect& rect)
    : Round_Window(parent, "Transform Edit Window", 0, rect) {
  Attr.Style &= ~WS_VISIBLE;
}

// There only at the levels with colour steps (where the game's strip, in
// the same place, is hidden).
Color_Cycle_Window::Color_Cycle_Window(TWindow* parent, const TRect& rect, Color_Wheel*)
    : Flat_Panel(parent, "Color Cycle Window", rect) {
  enabled = The_User_Database && Level_Entry(Color_Step_Level_Table, The_User_Database->current_user->level);
  if (!enabled) Attr.Style &= ~WS_VISIBLE;
}

void Color_Cycle_Window::Change_User() {
  Note("Change_User");
  enabled = The_User_Database && Level_Entry(Color_Step_Level_Table, The_User_Database->current_user->level);
  ShowWindow(enabled ? SW_SHOWNA : SW_HIDE);
}

}  // namespace Stand_In
