// The main window's private messages, commands and keys.
#include "app/ifs_frame_window.h"
#include "app/ifs_main_window.h"
#include "manipulators/transform_edit_window.h"
#include "manipulators/transform_palette.h"
#include "model/gui_colors.h"
#include "toolkit/program_messages.h"
#include "toolkit/round_button.h"
#include "workspace/color_cycle_window.h"
#include "workspace/color_wheel.h"
#include "workspace/drawing_window.h"
#include "workspace/fill_pointer.h"
#include "workspace/shape_palette.h"


const TResponse_Table<IFS_Main_Window> IFS_Main_Window::Table = {
    EV_COMMAND<IFS_Main_Window>(Gallery_Command, &IFS_Main_Window::Cm_Gallery),
    EV_COMMAND<IFS_Main_Window>(Name_And_Level_Command, &IFS_Main_Window::Cm_Name_And_Level),
    EV_COMMAND_ENABLE<IFS_Main_Window>(Name_And_Level_Command, &IFS_Main_Window::Ce_Name_And_Level),
    EV_COMMAND<IFS_Main_Window>(Help_Command, &IFS_Main_Window::Cm_Help),
    EV_MESSAGE<IFS_Main_Window>(Color_Cycle_Selected_Message, &IFS_Main_Window::Color_Cycle_Selected),
    EV_MESSAGE<IFS_Main_Window>(Drawing_Busy_Message, &IFS_Main_Window::Drawing_Busy),
    EV_MESSAGE<IFS_Main_Window>(Help_Request_Message, &IFS_Main_Window::Help_Request),
    EV_MESSAGE<IFS_Main_Window>(Fill_Color_Message, &IFS_Main_Window::Fill_Color),
    EV_MESSAGE<IFS_Main_Window>(Help_Closed_Message, &IFS_Main_Window::Help_Closed),
    EV_MESSAGE<IFS_Main_Window>(Shape_Selected_Message, &IFS_Main_Window::Shape_Selected),
    EV_MESSAGE<IFS_Main_Window>(Title_Finished_Message, &IFS_Main_Window::Title_Finished),
    EV_MESSAGE<IFS_Main_Window>(Editor_Active_Message, &IFS_Main_Window::Editor_Active),
    EV_MESSAGE<IFS_Main_Window>(Manipulator_Selected_Message, &IFS_Main_Window::Manipulator_Selected),
    EV_MESSAGE<IFS_Main_Window>(Main_Painted_Message, &IFS_Main_Window::Main_Painted)};

void IFS_Main_Window::Cm_Gallery() {
  if (Frame) Frame->Open_Gallery(drawing_window->Current_Drawing());
}

void IFS_Main_Window::Cm_Name_And_Level() {
  if (color_cycles->enabled) color_cycles->skip_next_move = true;
  if (Frame) Frame->Change_User();
}

// Not while a manipulator is being edited, even when help over the editor
// has disabled the editor's window: a change of user would switch the
// manipulators under the edit.
void IFS_Main_Window::Ce_Name_And_Level(TCommandEnabler& enabler) { enabler.Enable(active_panel != Panel::Editor); }

LRESULT IFS_Main_Window::Color_Cycle_Selected(WPARAM, LPARAM) {
  drawing_window->Follow_Color_Cycle(&color_cycles->Selected_Cycle());
  return 0;
}

LRESULT IFS_Main_Window::Drawing_Busy(WPARAM busy, LPARAM) {
  active_panel = busy ? Panel::Review : Panel::Drawing;
  shape_palette->Set_Enabled(!busy);
  manipulator_palette->Enabled = !busy;
  if (!busy) SetFocus();
  return 0;
}

LRESULT IFS_Main_Window::Help_Request(WPARAM, LPARAM) {
  Help_If_Idle();
  return 0;
}

LRESULT IFS_Main_Window::Fill_Color(WPARAM, LPARAM) {
  if (The_Fill_Pointer) color_wheel->Select_Color(The_Fill_Pointer->Color);
  return 0;
}

LRESULT IFS_Main_Window::Help_Closed(WPARAM, LPARAM) {
  TWindow* panel = Active_Window();
  Set_Panel_Enabled(panel, true);
  Restore_Focus();
  ModifyStyle(WS_CLIPCHILDREN, 0);
  return 0;
}

LRESULT IFS_Main_Window::Shape_Selected(WPARAM, LPARAM shape) {
  const TColor rgb = color_wheel->Current_Color();
  const TColor contrast = The_GUI_Colors ? The_GUI_Colors->Contrast_Color(rgb) : TColor(0, 0, 0);
  if (shape) drawing_window->Add_Shape(*reinterpret_cast<const Shape*>(shape), color_wheel->Current_Color_Entry(), contrast);
  return 0;
}

LRESULT IFS_Main_Window::Title_Finished(WPARAM, LPARAM) {
  title_finished = true;
  Run_Start_Gate();
  return 0;
}

LRESULT IFS_Main_Window::Main_Painted(WPARAM, LPARAM) {
  main_painted = true;
  Run_Start_Gate();
  return 0;
}

LRESULT IFS_Main_Window::Editor_Active(WPARAM editing, LPARAM) {
  const int show = editing ? SW_HIDE : SW_SHOWNA;
  for (TWindow* panel : {static_cast<TWindow*>(shape_palette), static_cast<TWindow*>(color_wheel)}) {
    panel->ShowWindow(show);
    panel->EnableWindow(!editing);
  }
  drawing_window->ShowWindow(show);
  drawing_window->EnableWindow(!editing);
  drawing_window->Active = !editing;
  if (editing) {
    active_panel = Panel::Editor;
  } else {
    active_panel = Panel::Drawing;
    SetFocus();
  }
  return 0;
}

LRESULT IFS_Main_Window::Manipulator_Selected(WPARAM at_once, LPARAM) {
  drawing_window->Apply_Manipulator(manipulator_palette->Selected_Manipulator(), at_once != 0);
  return 0;
}

void IFS_Main_Window::EvKeyDown(UINT key, UINT repeat_count, UINT flags) {
  switch (key) {
    case VK_TAB: drawing_window->Mark_Next_Piece(); return;
    case VK_PRIOR: color_cycles->Show_Previous_Row(); return;
    case VK_NEXT: color_cycles->Show_Next_Row(); return;
    case VK_LEFT: color_cycles->Select_Left(); return;
    case VK_UP: color_cycles->Select_Up(); return;
    case VK_RIGHT: color_cycles->Select_Right(); return;
    case VK_DOWN: color_cycles->Select_Down(); return;
    case VK_ADD: drawing_window->Faster(); return;
    case VK_SUBTRACT: drawing_window->Slower(); return;
    case VK_F1: Help_If_Idle(); return;
    default: break;
  }
  if (key >= '1' && key <= '5') manipulator_palette->Select_Section(int(key - '1'));
  else if (key >= 'A' && key <= 'D') manipulator_palette->Select_Page(int(key - 'A') + 1);
  else if (key >= VK_NUMPAD1 && key <= VK_NUMPAD1 + 3) manipulator_palette->Select_Page(int(key - VK_NUMPAD1) + 1);
  else TWindow::EvKeyDown(key, repeat_count, flags);
}
