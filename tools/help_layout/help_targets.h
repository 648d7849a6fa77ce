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
#include "game/safari_controls.h"
#include "help/help_window.h"
#include "manipulators/transform_edit_window.h"
#include "manipulators/transform_palette.h"
#include "tests/program/program_session.h"
#include "toolkit/round_button.h"
#include "workspace/color_cycle_window.h"
#include "workspace/color_mixer.h"
#include "workspace/color_wheel.h"
#include "workspace/drawing_window.h"
#include "workspace/review_window.h"
#include "workspace/shape_palette.h"

using Help_Targets = std::map<std::string, TRect>;

inline TRect Help_Target_Window(const TWindow* window) { return window->GetWindowRect(); }

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
      {"game", Help_Target_Window(main.safari_controls)},
      {"cycles", Help_Target_Window(main.color_cycles)},
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
                    {"levels", Help_Target_Window(dialog.Levels())}};
  const char* buttons[3] = {"dialog_ok", "dialog_cancel", "dialog_help"};
  for (int i = 0; i < 3; ++i)
    if (TWindow* b = dialog.ChildWithId(User_Dialog::OK_Id + i)) t[buttons[i]] = Help_Target_Window(b);
  return t;
}
