#include "app/ifs_main_window.h"

#include "app/ifs_application.h"
#include "app/ifs_frame_window.h"
#include "app/palette_links.h"
#include "demos/simulated_user.h"
#include "game/fireworks_factory.h"
#include "game/fireworks_viewer.h"
#include "game/safari_controls.h"
#include "game/target_generator.h"
#include "help/help_window.h"
#include "manipulators/transform_edit_window.h"
#include "manipulators/transform_palette.h"
#include "model/gui_colors.h"
#include "model/shape_drawing.h"
#include "platform/gdi/dc.h"
#include "toolkit/gui_bitmaps.h"
#include "toolkit/gui_sizes.h"
#include "toolkit/mouse.h"
#include "toolkit/program_messages.h"
#include "toolkit/round_button.h"
#include "toolkit/tip_window.h"
#include "users/level_tables.h"
#include "users/user_database.h"
#include "workspace/color_cycle_window.h"
#include "workspace/color_wheel.h"
#include "workspace/drawing_window.h"
#include "workspace/fill_pointer.h"
#include "workspace/review_window.h"
#include "workspace/shape_palette.h"

namespace {

int G(int index) { return (*The_GUI_Sizes)[index]; }

TRect Window_Rect(const TWindow* w) { return w->Window_Rect_In_Parent(); }

bool Safari_Level(int32_t level) { return Level_Entry(Safari_Enabled_Level_Table, level) != 0; }

int32_t Current_Level_Index() { return The_User_Database->current_user->Level_Index(); }

}  // namespace

IFS_Main_Window::IFS_Main_Window(TWindow* parent) : TWindow(parent, "Main Window") {
  // A child of the frame, which adopts it as its client.
  Attr.Style = WS_CHILD | WS_VISIBLE;
  Attr.Id = Window_Id;
}

IFS_Main_Window::~IFS_Main_Window() {
  // The show stops before the drawing window it plays over goes.
  if (drawing_window) drawing_window->Set_Fireworks(nullptr);
  delete fireworks_viewer;
  // The target generator's worker reads the palettes, so it goes first.
  delete target_generator;
  delete shape_palette;
  delete color_wheel;
  delete fireworks_factory;
  delete drawing_window;
  delete editor;
  delete manipulator_palette;
  delete safari_controls;
  delete color_cycles;
  delete gallery_button;
  delete name_button;
  delete match_button;
  delete help_button;
  delete The_Tip_Window;
}

void IFS_Main_Window::SetupWindow() {
  TWindow::SetupWindow();
  Make_Tip_Window();
  Frame = dynamic_cast<IFS_Frame_Window*>(Parent);
  Make_Shape_Palette();
  Make_Color_Wheel();
  const TRect shape = Window_Rect(shape_palette);
  const int s = G(10) + 2 * G(22);
  const TRect square(shape.right, shape.top, shape.right + s, shape.top + s);
  Make_Editor(square);
  Make_Drawing_Window(square);
  Make_Manipulator_Palette();
  Make_Game();
  Make_Round_Buttons();
  Make_Color_Cycles();
  SetFocus();
  Make_Simulated_User();
}

void IFS_Main_Window::Make_Tip_Window() {
  (new Tip_Window(this))->Create();
  // No hover tips until start-up is over.
  The_Tip_Window->Set_Enabled(false);
}

void IFS_Main_Window::Make_Shape_Palette() {
  // Every panel is placed from the shape palette, so this puts the whole
  // layout in the middle of a screen it does not fill.
  const TPoint origin = The_GUI_Sizes->Origin_On_Screen();
  shape_palette = new Shape_Palette(this, TPoint(origin.x + G(28), origin.y + 2 * G(28)), Current_Level_Index());
  shape_palette->Create();
}

void IFS_Main_Window::Make_Color_Wheel() {
  const TRect shape = Window_Rect(shape_palette);
  color_wheel = new Color_Wheel(this, TPoint(shape.left, shape.bottom));
  color_wheel->Create();
}

void IFS_Main_Window::Make_Editor(const TRect& square) {
  editor = new Transform_Edit_Window(this, square);
  editor->Level_Has_Color_Steps = [] { return Level_Entry(Color_Step_Level_Table, Current_Level_Index()) != 0; };
  editor->Create();
}

void IFS_Main_Window::Make_Drawing_Window(const TRect& square) {
  drawing_window = new Drawing_Window(this, square);
  drawing_window->Set_User_Level(Current_Level_Index());
  drawing_window->Create();
  review_window = drawing_window->review.get();
  active_panel = Panel::Drawing;
}

void IFS_Main_Window::Make_Manipulator_Palette() {
  const TRect drawing = Window_Rect(drawing_window);
  const TRect shape = Window_Rect(shape_palette);
  palette_users = std::make_unique<Program_Palette_Users>();
  palette_editor = std::make_unique<Program_Manipulator_Editor>(editor);
  manipulator_palette = new Transform_Palette(this, TPoint(drawing.right + G(28), shape.top), drawing.Height(),
                                              palette_editor.get(), *palette_users);
}

void IFS_Main_Window::Make_Game() {
  target_generator = new Target_Generator(shape_palette, manipulator_palette, drawing_window);
  fireworks_factory = new Fireworks_Factory();
  fireworks_viewer = new Fireworks_Viewer(fireworks_factory, drawing_window);
  drawing_window->Set_Fireworks(fireworks_viewer);
  const TRect drawing = Window_Rect(drawing_window);
  safari_controls = new Safari_Controls(this, TRect(drawing.left, drawing.bottom, drawing.right, drawing.bottom + G(13)),
                                        drawing_window, shape_palette, manipulator_palette, target_generator,
                                        fireworks_factory);
  manipulator_palette->Set_Game(safari_controls);
  manipulator_palette->Create();
  safari_controls->Create();
}

void IFS_Main_Window::Make_Round_Buttons() {
  const int h = G(28) / 2;
  const TRect wheel = Window_Rect(color_wheel);
  const TRect palette = Window_Rect(manipulator_palette);
  const int d = (wheel.Width() - h) / 2;
  const int y = Window_Rect(drawing_window).bottom + G(28);
  auto button_at = [&](int x, int id, TWindow* target) {
    const TRect square(x + h, y + h, x + d - h, y + d - h);
    return new Round_Button(this, id, square, target);
  };
  gallery_button = button_at(wheel.left, Gallery_Command, nullptr);
  name_button = button_at(wheel.right - d, Name_And_Level_Command, nullptr);
  match_button = button_at(palette.left, Match_This_Command, safari_controls);
  help_button = button_at(palette.right - d - G(12), Help_Command, nullptr);
  const bool safari = Safari_Level(The_User_Database->current_user->level);
  if (!safari) match_button->Attr.Style &= ~WS_VISIBLE;
  for (Round_Button* b : {gallery_button, name_button, match_button, help_button}) b->Create();
  Set_Button_Faces();
  if (!safari) match_button->Disable();
}

void IFS_Main_Window::Set_Button_Faces() {
  struct Face {
    Round_Button* button;
    GUI_Picture_Id picture;
    const char* tip;
  };
  for (const Face& f : {Face{gallery_button, 27, "Gallery"}, Face{match_button, 28, "Match This!"},
                        Face{help_button, 21, "Help"}}) {
    const TSize size = f.button->Inner_Rect.Size();
    The_GUI_Bitmaps->Get(f.picture, size);
    if (const TBitmap* picture = The_GUI_Bitmaps->Pictures[size_t(f.picture)].get())
      f.button->Set_Picture(*picture, f.tip, false);
    The_GUI_Bitmaps->Drop(f.picture);
  }
  Set_Name_Face();
}

void IFS_Main_Window::Set_Name_Face() {
  const User& user = *The_User_Database->current_user;
  The_GUI_Bitmaps->Drop(22);
  The_GUI_Bitmaps->Get_Text_Picture(name_button->Content_Rect.Size(), user.name.c_str(), user.level);
  if (const TBitmap* picture = The_GUI_Bitmaps->Pictures[22].get())
    name_button->Set_Picture(*picture, "Name and Level", true);
  The_GUI_Bitmaps->Drop(22);
  ++name_face_draws;
}

void IFS_Main_Window::Make_Color_Cycles() {
  const TRect safari = Window_Rect(safari_controls);
  const TRect match = Window_Rect(match_button);
  const TRect area(safari.left, safari.top + G(28), match.right, safari.bottom - G(28));
  color_cycles = new Color_Cycle_Window(this, area, color_wheel);
  color_cycles->Create();
}

void IFS_Main_Window::Make_Simulated_User() {
  // The application deletes it, after the panels it drives.
  new Simulated_User(shape_palette, color_wheel, drawing_window, editor, manipulator_palette, safari_controls,
                     color_cycles, gallery_button, name_button, help_button);
  if (The_Help_Window) The_Help_Window->Demonstrations = The_Simulated_User;
}

void IFS_Main_Window::Paint(TDC& dc, bool, TRect&) {
  if (The_GUI_Colors) dc.FillRect(GetClientRect(), *The_GUI_Colors->Scheme_Brush_0);
  if (!first_painted) {
    first_painted = true;
    PostMessage(Main_Painted_Message);
  }
}

void IFS_Main_Window::Set_Gallery_Drawing(const Shape_Drawing* drawing) {
  // The gallery keeps its own; the drawing window gets a copy.
  if (drawing) drawing_window->Set_Drawing(std::make_unique<Shape_Drawing>(*drawing, true), true);
}

TWindow* IFS_Main_Window::Active_Window() const {
  switch (active_panel) {
    case Panel::Drawing: return drawing_window;
    case Panel::Review: return review_window;
    case Panel::Editor: return editor;
    default: return nullptr;
  }
}

void IFS_Main_Window::Restore_Focus() {
  if (active_panel == Panel::Review && review_window) review_window->SetFocus();
  else if (active_panel == Panel::Editor && editor) editor->Focus_Dialog();
  else SetFocus();
}

void IFS_Main_Window::Set_Panel_Enabled(TWindow* panel, bool enabled) {
  if (!panel) return;
  panel->EnableWindow(enabled);
  if (auto* round = dynamic_cast<Round_Window*>(panel)) round->Client_Painting = enabled;
}

void IFS_Main_Window::Help() {
  if (The_Simulated_User) The_Simulated_User->End_Demonstration();
  // The section first: a panel that has none is left as it is.
  int section = -1;
  switch (active_panel) {
    case Panel::Drawing: section = 0; break;
    case Panel::Review: section = 1; break;
    case Panel::Editor: section = 2; break;
    default: return;
  }
  TWindow* panel = Active_Window();
  if (The_Mouse && The_Mouse->Holds(panel)) The_Mouse->Release(panel);
  Set_Panel_Enabled(panel, false);
  ModifyStyle(0, WS_CLIPCHILDREN);
  if (The_Help_Window) The_Help_Window->Show_Section(section, this);
}

void IFS_Main_Window::Help_If_Idle() {
  if (The_Mouse && The_Mouse->Busy()) return;
  if (The_Tip_Window) {
    The_Tip_Window->Hide();
    The_Tip_Window->Cancel();
  }
  if (The_Fill_Pointer) The_Fill_Pointer->Hide();
  if (The_Mouse) The_Mouse->Release(nullptr);
  Help();
}

void IFS_Main_Window::Acknowledgements() {
  Set_Panel_Enabled(Active_Window(), false);
  ModifyStyle(0, WS_CLIPCHILDREN);
  if (The_Help_Window) The_Help_Window->Show_Section(5, this);
}

void IFS_Main_Window::Run_Start_Gate() {
  if (start_over || !main_painted || !title_finished) return;
  auto* app = dynamic_cast<IFS_Application*>(GetApplication());
  if (app && app->Start_Warnings_Open) return;  // run again once they are answered
  start_over = true;
  GetApplication()->PumpWaitingMessages();
  drawing_window->input_enabled = true;
  if (The_Tip_Window) The_Tip_Window->Set_Enabled(true);
  if (app && app->Show_Help_At_Start) {
    if (The_Mouse) The_Mouse->Release(nullptr);
    Help();
  }
}

void IFS_Main_Window::User_Changed() {
  const User_Database& db = *The_User_Database;
  const User& before = db.previous_user;
  const User& now = *db.current_user;
  drawing_window->Set_User_Level(now.Level_Index());
  shape_palette->Set_Level(before.Level_Index(), now.Level_Index());
  // Every change of person or level ends a run before the palette's
  // manipulators change (the points are the player's who earned them); the
  // queued targets went with it, so new ones are asked for afterwards.
  const bool new_player = !palette_users->Same_Person() || before.level != now.level;
  const bool game_reset = new_player || manipulator_palette->Source_Changed();
  if (game_reset) safari_controls->Set_User();
  manipulator_palette->Change_User();
  if (game_reset) safari_controls->Refresh_Targets();
  color_cycles->Change_User();
  const bool was = Safari_Level(before.Level_Index()), is = Safari_Level(now.Level_Index());
  if (is && !was) {
    match_button->Enable();
    match_button->ShowWindow(SW_SHOWNA);
  } else if (!is && was) {
    match_button->Disable();
    match_button->ShowWindow(SW_HIDE);
  }
  const char first_before = before.name.empty() ? 0 : before.name[0];
  const char first_now = now.name.empty() ? 0 : now.name[0];
  if (before.level != now.level || first_before != first_now) Set_Name_Face();
}
