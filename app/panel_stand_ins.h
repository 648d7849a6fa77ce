// The working screen's panels that are built elsewhere, as the main window
// sees them: each stands in its place with the operations the main window
// calls, and notes each call so that the routing can be checked. The main
// window names them through using-declarations (ifs_main_window.h); a panel
// that exists replaces its stand-in there.
#pragma once

#include <string>
#include <vector>

#include "platform/gdi/color.h"
#include "platform/window/window.h"
#include "toolkit/round_window.h"

class Shape;
class Shape_Drawing;
class Shape_Transform;

namespace Stand_In {

// The calls a stand-in received, in order ("Faster", "Select_Color" ...).
struct Call_Log {
  std::vector<std::string> Calls;
  void Note(const std::string& call) { Calls.push_back(call); }
};

// A plain panel: a flat well with a sunken edge.
class Flat_Panel : public TWindow, public Call_Log {
 public:
  Flat_Panel(TWindow* parent, const char* title, const TRect& rect);
  bool EvEraseBkgnd(TDC&) override { return true; }
  void Paint(TDC& dc, bool erase, TRect& rect) override;
};

class Shape_Palette : public Flat_Panel {
 public:
  Shape_Palette(TWindow* parent, const TPoint& origin);
  void Set_Level() { Note("Set_Level"); }
  // Shape buttons add nothing while cleared (the review window is open).
  bool enabled = true;
};

class Color_Wheel : public Flat_Panel {
 public:
  Color_Wheel(TWindow* parent, const TPoint& origin);
  void Select_Color(TColor color);
  // The colour in hand as a palette entry and as RGB.
  TColor Current_Color_Entry() const { return current; }
  TColor Current_Color_RGB() const { return current; }
  TColor current = TColor(0, 0, 0);
};

class Review_Window : public Round_Window, public Call_Log {
 public:
  Review_Window(TWindow* parent, const TRect& rect);
};

class Drawing_Window : public Round_Window, public Call_Log {
 public:
  Drawing_Window(TWindow* parent, const TRect& rect, Color_Wheel* wheel, Shape_Palette* palette);
  void SetupWindow() override;
  void Paint_Client(TDC& dc) override;

  void Mark_Next_Piece() { Note("Mark_Next_Piece"); }
  void Faster() { Note("Faster"); }
  void Slower() { Note("Slower"); }
  void Add_Shape(const Shape* shape, TColor entry, TColor contrast);
  void Apply_Manipulator(const Shape_Transform* manipulator, bool at_once);
  void Set_Drawing(const Shape_Drawing*) { Note("Set_Drawing"); }
  const Shape_Drawing* Current_Drawing() const { return nullptr; }
  // index -1: no colour cycling.
  void Set_Color_Cycle(int index) { Note("Set_Color_Cycle " + std::to_string(index)); }

  Review_Window* review_window = nullptr;
  // Clicks and keys act only once start-up is over.
  bool input_enabled = false;
};

class Transform_Edit_Window : public Round_Window, public Call_Log {
 public:
  Transform_Edit_Window(TWindow* parent, const TRect& rect);
  void Focus_Dialog() { Note("Focus_Dialog"); }
};

class Color_Cycle_Window : public Flat_Panel {
 public:
  Color_Cycle_Window(TWindow* parent, const TRect& rect, Color_Wheel* wheel);
  void Show_Previous_Row() { Note("Show_Previous_Row"); }
  void Show_Next_Row() { Note("Show_Next_Row"); }
  void Select_Left() { Note("Select_Left"); }
  void Select_Up() { Note("Select_Up"); }
  void Select_Right() { Note("Select_Right"); }
  void Select_Down() { Note("Select_Down"); }
  void Change_User();
  // Its cell: 2 rows of 5 cycles; (0, 0) is no cycling.
  int selected_row = 0;
  int selected_column = 0;
  bool enabled = false;
  bool skip_next_move = false;
};

}  // namespace Stand_In
