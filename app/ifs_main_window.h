// The frame's client and the parent of every panel of the working screen:
// it places the panels and the four round buttons from the layout sizes,
// keeps which panel is active (for help), routes the panels' private
// messages and the keys, switches the panels to a new user in a fixed
// order, and opens help once at start when both the title has closed and
// it has painted.
#pragma once

#include <memory>

#include "platform/window/response_table.h"
#include "platform/window/window.h"

class Color_Cycle_Window;
class Color_Wheel;
class Drawing_Window;
class Fireworks_Factory;
class Fireworks_Viewer;
class IFS_Frame_Window;
class Program_Manipulator_Editor;
class Program_Palette_Users;
class Review_Window;
class Round_Button;
class Safari_Controls;
class Shape_Drawing;
class Shape_Palette;
class Target_Generator;
class Transform_Edit_Window;
class Transform_Palette;

// The one panel still built elsewhere: its stand-in gives way to the
// panel's own header.

class IFS_Main_Window : public TWindow {
 public:
  static constexpr int Window_Id = 0x708;
  static constexpr int Gallery_Command = 0x709;
  static constexpr int Name_And_Level_Command = 0x70A;
  static constexpr int Match_This_Command = 0x70B;
  static constexpr int Help_Command = 0x70C;

  enum class Panel { None, Drawing, Review, Editor };

  explicit IFS_Main_Window(TWindow* parent);
  ~IFS_Main_Window() override;

  void SetupWindow() override;
  void Paint(TDC& dc, bool erase, TRect& rect) override;
  bool EvEraseBkgnd(TDC&) override { return true; }
  UINT EvGetDlgCode(const MSG*) override { return DLGC_WANTARROWS | DLGC_WANTALLKEYS | DLGC_WANTCHARS; }
  void EvKeyDown(UINT key, UINT repeat_count, UINT flags) override;
  // No accelerators: every key reaches EvKeyDown.
  bool PreProcessMsg(MSG&) override { return false; }

  void Set_Gallery_Drawing(const Shape_Drawing* drawing);
  void Restore_Focus();
  void Help();
  void Help_If_Idle();
  void Acknowledgements();
  void User_Changed();

  // The window of the active panel.
  TWindow* Active_Window() const;

  IFS_Frame_Window* Frame = nullptr;
  Shape_Palette* shape_palette = nullptr;
  Color_Wheel* color_wheel = nullptr;
  Fireworks_Factory* fireworks_factory = nullptr;
  // Plays the show over the drawing window, which holds it.
  Fireworks_Viewer* fireworks_viewer = nullptr;
  Drawing_Window* drawing_window = nullptr;
  Review_Window* review_window = nullptr;
  Transform_Edit_Window* editor = nullptr;
  Transform_Palette* manipulator_palette = nullptr;
  Target_Generator* target_generator = nullptr;
  Safari_Controls* safari_controls = nullptr;
  Color_Cycle_Window* color_cycles = nullptr;
  Round_Button* gallery_button = nullptr;
  Round_Button* name_button = nullptr;
  Round_Button* match_button = nullptr;
  Round_Button* help_button = nullptr;
  Panel active_panel = Panel::Drawing;
  bool first_painted = false;
  bool main_painted = false;
  bool title_finished = false;
  // The help-at-start gate ran (it runs once).
  bool start_over = false;
  // The Name and Level face was drawn again after a change of user.
  int name_face_draws = 0;

  bool Find(TEventInfo& info) override { return Table.Dispatch(*this, info) || TWindow::Find(info); }

 private:
  // ---- Set-up, one step each, in order
  void Make_Tip_Window();
  void Make_Shape_Palette();
  void Make_Color_Wheel();
  void Make_Editor(const TRect& square);
  void Make_Drawing_Window(const TRect& square);
  void Make_Manipulator_Palette();
  void Make_Game();
  void Make_Round_Buttons();
  void Make_Color_Cycles();
  void Make_Simulated_User();
  void Set_Button_Faces();
  void Set_Name_Face();

  void Set_Panel_Enabled(TWindow* panel, bool enabled);
  void Tell_User_Level();
  // Start-up ends (input on, help for a new user) once the main window has
  // painted, the title has finished and the start-up warnings are answered.
  void Run_Start_Gate();

  // ---- Commands
  void Cm_Gallery();
  void Cm_Name_And_Level();
  void Ce_Name_And_Level(TCommandEnabler& enabler);
  void Cm_Help() { Help(); }

  // ---- Private messages
  LRESULT Color_Cycle_Selected(WPARAM, LPARAM);
  LRESULT Drawing_Busy(WPARAM, LPARAM);
  LRESULT Help_Request(WPARAM, LPARAM);
  LRESULT Fill_Color(WPARAM, LPARAM);
  LRESULT Help_Closed(WPARAM, LPARAM);
  LRESULT Shape_Selected(WPARAM, LPARAM);
  LRESULT Title_Finished(WPARAM, LPARAM);
  LRESULT Editor_Active(WPARAM, LPARAM);
  LRESULT Manipulator_Selected(WPARAM, LPARAM);
  LRESULT Main_Painted(WPARAM, LPARAM);

  // The manipulator palette's links to the users and the editor; they
  // outlive the palette.
  std::unique_ptr<Program_Palette_Users> palette_users;
  std::unique_ptr<Program_Manipulator_Editor> palette_editor;

  static const TResponse_Table<IFS_Main_Window> Table;
};
