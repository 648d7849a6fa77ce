// The one panel of the working screen that is still built elsewhere, the
// colour cycles window, as the main window sees it: it stands in its place
// with the operations the main window calls and notes each call so that the
// routing can be checked. The main window names it through a
// using-declaration (ifs_main_window.h); once the panel exists, this file
// goes.
#pragma once

#include <string>
#include <vector>

#include "model/color_transform.h"
#include "platform/window/window.h"

class Color_Wheel;

namespace Stand_In {

class Color_Cycle_Window : public TWindow {
 public:
  Color_Cycle_Window(TWindow* parent, const TRect& rect, Color_Wheel* wheel);
  bool EvEraseBkgnd(TDC&) override { return true; }
  // A flat well with a sunken edge.
  void Paint(TDC& dc, bool erase, TRect& rect) override;

  void Show_Previous_Row() { Note("Show_Previous_Row"); }
  void Show_Next_Row() { Note("Show_Next_Row"); }
  void Select_Left() { Note("Select_Left"); }
  void Select_Up() { Note("Select_Up"); }
  void Select_Right() { Note("Select_Right"); }
  void Select_Down() { Note("Select_Down"); }
  void Change_User();
  // The cycle of the selected cell; every cell is no cycling here.
  const Color_Transform& Selected_Cycle() const { return no_cycling; }

  // Its cell: 2 rows of 5 cycles; (0, 0) is no cycling.
  int selected_row = 0;
  int selected_column = 0;
  bool enabled = false;
  bool skip_next_move = false;
  // The calls received, in order ("Select_Left" ...).
  std::vector<std::string> Calls;

 private:
  void Note(const std::string& call) { Calls.push_back(call); }
  Color_Transform no_cycling;
};

}  // namespace Stand_In
