// The parts of the program's panels that the help pages' arrows point at,
// by the names the help script's ARROW lines end with, as screen rectangles
// of a running program. Used by the tool that prints the arrows' fractions
// and by the test that checks every arrow of the script lands in its part.
#pragma once

#include <map>
#include <string>

#include "app/user_dialog.h"
#include "app/user_level_window.h"
#include "app/user_list_window.h"
#include "gallery/gallery_io_point.h"
#include "gallery/gallery_window.h"
#include "gallery/printer_io.h"
#include "toolkit/rectangular_button.h"
#include "game/safari_controls.h"
#include "help/help_window.h"
#include "manipulators/transform_edit_window.h"
#include "manipulators/transform_palette.h"
#include "tests/program/program_session.h"
#include "toolkit/arrow_button.h"
#include "toolkit/round_button.h"
#include "workspace/color_cycle_window.h"
#include "workspace/color_mixer.h"
#include "workspace/color_wheel.h"
#include "workspace/drawing_window.h"
#include "workspace/review_window.h"
#include "workspace/shape_palette.h"

using Help_Targets = std::map<std::string, TRect>;

inline TRect Help_Target_Window(const TWindow* window) { return window->GetWindowRect(); }

// The game's strip as far as it is drawn: from the camera to the album,
// past which the strip's window shows bare background. The album stands
// furthest left for a new user at level 1.
inline TRect Game_Strip(const Safari_Controls& game) {
  return Screen_Rect(game, game.Camera_Rect.Union(game.Album_Rect));
}

// The main window's parts (help section 0): the drawing window is showing.
inline Help_Targets Main_Window_Targets(const IFS_Main_Window& main) {
  const Drawing_Window& drawing = *main.drawing_window;
  Help_Targets t = {
      {"shapes", Help_Target_Window(main.shape_palette)},
      {"wheel", Help_Target_Window(main.color_wheel)},
      {"mixer", Screen_Rect(*main.color_wheel, main.color_wheel->Mixer_Area)},
      {"eraser", Screen_Rect(*main.color_wheel, main.color_wheel->Eraser_Rect)},
      {"wipe", Screen_Rect(*main.color_wheel, main.color_wheel->Mixer->Wipe)},
      {"drawing", Screen_Rect(drawing, drawing.Inner_Rect)},
      {"manipulators", Help_Target_Window(main.manipulator_palette)},
      {"game", Game_Strip(*main.safari_controls)},
      {"camera", Screen_Rect(*main.safari_controls, main.safari_controls->Camera_Rect)},
      // The first step of the row stands at every level with the game.
      {"first_step", Screen_Rect(*main.safari_controls, main.safari_controls->Cells[1])},
      {"cycles", Help_Target_Window(main.color_cycles)},
      // The arrow that shows the second row of cycles.
      {"cycle_row_button", Help_Target_Window(main.color_cycles->row_buttons[1])},
      {"gallery_button", Help_Target_Window(main.gallery_button)},
      {"name_button", Help_Target_Window(main.name_button)},
      {"match_button", Help_Target_Window(main.match_button)},
      {"help_button", Help_Target_Window(main.help_button)},
  };
  const char* corners[4] = {"review_corner", "iterate_corner", "undo_corner", "clear_corner"};
  for (int i = 0; i < 4; ++i) t[corners[i]] = Screen_Rect(drawing, drawing.Corner_Rect[size_t(i)]);
  return t;
}

// The review window's parts (section 1).
inline Help_Targets Review_Targets(const Review_Window& review) {
  Help_Targets t = {{"review", Screen_Rect(review, review.Inner_Rect)}};
  const char* corners[4] = {"reverse_corner", "forward_corner", "review_cancel", "review_ok"};
  for (int i = 0; i < 4; ++i) t[corners[i]] = Screen_Rect(review, review.Corner_Rect[size_t(i)]);
  return t;
}

// The manipulator editor's parts (section 2).
inline Help_Targets Editor_Targets(const Transform_Edit_Window& editor) {
  Help_Targets t = {{"editor", Screen_Rect(editor, editor.Inner_Rect)},
                    {"editor_dialog", Screen_Rect(*editor.GetParent(), editor.Dialog_Area)}};
  const char* corners[4] = {"add_corner", "delete_corner", "editor_cancel", "editor_ok"};
  for (int i = 0; i < 4; ++i) t[corners[i]] = Screen_Rect(editor, editor.Corner_Rect[size_t(i)]);
  return t;
}

// The Name and Level dialog's parts (section 3).
inline Help_Targets Dialog_Targets(User_Dialog& dialog) {
  Help_Targets t = {{"user_list", Help_Target_Window(dialog.List())},
                    {"first_row", Screen_Rect(*dialog.List(), dialog.List()->Row(0))},
                    {"levels", Help_Target_Window(dialog.Levels())}};
  const char* buttons[3] = {"dialog_ok", "dialog_cancel", "dialog_help"};
  for (int i = 0; i < 3; ++i)
    if (TWindow* b = dialog.ChildWithId(User_Dialog::OK_Id + i)) t[buttons[i]] = Help_Target_Window(b);
  return t;
}

// The gallery's parts (section 4). The arrows are those of the 3 by 3 view,
// the view a gallery opens at while it holds few drawings.
inline Help_Targets Gallery_Targets(const Gallery_Window& gallery) {
  const Gallery_Layout& layout = gallery.Layout();
  Help_Targets t = {{"grid", Screen_Rect(gallery, layout.grid_area)}};
  const char* views[Gallery_Layout::View_Count] = {"view_1", "view_3", "view_6", "view_12"};
  for (int v = 0; v < Gallery_Layout::View_Count; ++v) t[views[v]] = Screen_Rect(gallery, layout.view_buttons[size_t(v)]);
  const char* arrows[4] = {"arrow_up", "arrow_down", "arrow_left", "arrow_right"};
  for (int a = 0; a < 4; ++a) t[arrows[a]] = Screen_Rect(gallery, layout.arrows[1][size_t(a)]);
  const char* points[4] = {"main_point", "clipboard_point", "printer_point", "bin_point"};
  for (int i = 0; i < 4; ++i) t[points[i]] = Help_Target_Window(gallery.Point(i));
  if (const auto* printer = dynamic_cast<const Printer_IO*>(gallery.Point(2))) {
    t["setup_button"] = Help_Target_Window(printer->Setup_Button());
    t["abort_button"] = Help_Target_Window(printer->Abort_Button());
  }
  const char* buttons[4] = {"gallery_name", "gallery_help", "gallery_save", "gallery_cancel"};
  for (int i = 0; i < 4; ++i) t[buttons[i]] = Screen_Rect(gallery, layout.round_buttons[size_t(i)]);
  return t;
}
