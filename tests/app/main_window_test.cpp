// The main window: where its panels and buttons stand, the active panel and
// help, the private messages and the keys, the change of user; and the
// program as a person uses it, from the palette to the editor.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <vector>

#include "game/safari_controls.h"
#include "help/help_window.h"
#include "manipulators/handle_palette.h"
#include "manipulators/manipulator_file.h"
#include "manipulators/shape_transform_window.h"
#include "manipulators/transform_edit_dialog.h"
#include "manipulators/transform_matrix_dialog.h"
#include "manipulators/transform_edit_window.h"
#include "manipulators/transform_palette.h"
#include "tests/program/program_session.h"
#include "toolkit/mouse.h"
#include "toolkit/round_button.h"
#include "users/user_data.h"
#include "toolkit/program_messages.h"
#include "workspace/color_cycle_window.h"
#include "workspace/color_wheel.h"
#include "workspace/drawing_window.h"
#include "workspace/fill_pointer.h"
#include "workspace/review_window.h"
#include "workspace/shape_palette.h"

TEST(Main_Window, Looks_Right_In_Each_Layout_Column) {
  for (TSize screen : {TSize(640, 480), TSize(800, 600), TSize(1024, 768), TSize(1920, 1080)}) {
    Program_Session program({.screen = screen});
    program.Start();
    ASSERT_NE(program.Main(), nullptr);
    program.Snapshot("main_window_" + std::to_string(screen.cx) + "x" + std::to_string(screen.cy));
  }
}

// The manipulator in the first cell of the page shown, chosen with a click.
static void Choose_First_Manipulator(Program_Session& program) {
  program.Click(program.Main()->manipulator_palette->Window()->Slot_Screen_Point(0));
}

TEST(Main_Window, Each_Key_Reaches_Its_Panel) {
  Program_Session program;
  program.Start();
  IFS_Main_Window& main = *program.Main();
  // The colour cycles take the arrows and page keys at level 5.
  program.Change_User("Cy", 4);
  const struct {
    uint32_t vk;
    int selected, shown_row;
  } cycle_keys[] = {{VK_RIGHT, 1, 0}, {VK_DOWN, 6, 1}, {VK_LEFT, 5, 1}, {VK_UP, 0, 0}, {VK_NEXT, 0, 1}, {VK_PRIOR, 0, 0}};
  for (const auto& k : cycle_keys) {
    program.Key(k.vk);
    EXPECT_EQ(main.color_cycles->Selected_Index(), k.selected) << k.vk;
    EXPECT_EQ(main.color_cycles->shown_row, k.shown_row) << k.vk;
  }

  // Keypad + and - change the pace of a run.
  Drawing_Window& drawing = *main.drawing_window;
  program.Draw_Block();
  Choose_First_Manipulator(program);
  drawing.Start_Iterating();
  ASSERT_TRUE(drawing.Is_Iterating());
  const int32_t speed = drawing.speed;
  program.Key(VK_ADD);
  EXPECT_EQ(drawing.speed, speed - Drawing_Window::Speed_Step);
  program.Key(VK_SUBTRACT);
  program.Key(VK_SUBTRACT);
  EXPECT_EQ(drawing.speed, speed + Drawing_Window::Speed_Step);
  drawing.Stop_Iterating();

  // The digits choose a section, the letters and the keypad digits a page of
  // it (at level 5, where the palette has tabs).
  program.Change_User("Ann", 4);
  Transform_Palette& palette = *main.manipulator_palette;
  auto shown = [&] { return std::pair(palette.Window()->Section(), palette.Window()->Page()); };
  for (uint32_t digit : {'3', '5', '1'}) {
    program.Key(digit);
    EXPECT_EQ(shown().first, &palette.Section(int32_t(digit - '1'))) << char(digit);
    EXPECT_EQ(shown().second, palette.Section(int32_t(digit - '1')).Page(0)) << char(digit);
  }
  program.Key('C');
  const auto by_letter = shown();
  program.Key('1');
  program.Key(VK_NUMPAD3);
  EXPECT_EQ(shown(), by_letter);
}

TEST(Main_Window, Help_Opens_The_Section_Of_The_Active_Panel_And_Closing_It_Gives_The_Panel_Back) {
  Program_Session program;
  program.Start();
  IFS_Main_Window& main = *program.Main();
  const struct {
    const char* name;
    UINT message;  // sent with 1 before help and 0 after
    TWindow* panel;
    int section;
  } cases[] = {{"drawing", 0, main.drawing_window, 0},
               {"review open", Drawing_Busy_Message, main.review_window, 1},
               {"editing", Editor_Active_Message, main.editor, 2}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.message) program.Post(c.message, 1);
    EXPECT_EQ(main.Active_Window(), c.panel);
    // Help disables the panel and clips the main window's painting; the
    // help window's closing undoes both.
    const auto panel_on_and_clipped = [&] { return std::pair(c.panel->IsWindowEnabled(), bool(main.GetStyle() & WS_CLIPCHILDREN)); };
    const auto shown = [] { return std::pair(The_Help_Window->IsWindowVisible(), The_Help_Window->Current_Section()); };
    main.Help();
    EXPECT_EQ(panel_on_and_clipped(), std::pair(false, true));
    program.Run_Until_Idle();
    EXPECT_EQ(shown(), std::pair(true, c.section));
    program.Key(VK_ESCAPE);
    EXPECT_FALSE(The_Help_Window->IsWindowVisible());
    EXPECT_EQ(panel_on_and_clipped(), std::pair(true, false));
    program.Key(VK_F1);
    EXPECT_EQ(shown(), std::pair(true, c.section));
    program.Key(VK_ESCAPE);
    if (c.message) program.Post(c.message, 0);
    EXPECT_EQ(main.Active_Window(), main.drawing_window);
  }
  // F1 while a mouse button is held does nothing.
  program.Backend().Press({2, 700});
  program.Key(VK_F1);
  program.Backend().Release({2, 700});
  program.Run_Until_Idle();
  EXPECT_FALSE(The_Help_Window->IsWindowVisible());
  program.Post(Help_Request_Message);
  EXPECT_TRUE(The_Help_Window->IsWindowVisible());
}

TEST(Main_Window, The_Private_Messages_Reach_Their_Panels) {
  Program_Session program;
  program.Start();
  IFS_Main_Window& main = *program.Main();
  Drawing_Window& drawing = *main.drawing_window;

  // A cell of the palette: the drawing window is handed its manipulator.
  Choose_First_Manipulator(program);
  ASSERT_NE(drawing.manipulator, nullptr);
  EXPECT_EQ(drawing.manipulator->Count(), main.manipulator_palette->Selected_Manipulator()->Count());

  // A colour picked on the wheel is the colour in hand; the paint pointer's
  // colour comes back on the wheel.
  Color_Wheel& wheel = *main.color_wheel;
  const TColor black = wheel.Current_Color_Entry();
  program.Click(wheel.Color_Screen_Point(5));
  program.Advance(3000);
  ASSERT_NE(wheel.Current_Color_Entry(), black);
  The_Fill_Pointer->Color = black;
  program.Post(Fill_Color_Message);
  program.Advance(3000);
  EXPECT_EQ(wheel.Current_Color_Entry(), black);

  // A busy drawing stops both palettes; an open editor hides and stops the
  // other panels.
  for (const bool on : {true, false}) {
    SCOPED_TRACE(on);
    program.Post(Drawing_Busy_Message, on);
    EXPECT_EQ(std::pair(main.shape_palette->Enabled, main.manipulator_palette->Enabled), std::pair(!on, !on));
    program.Post(Editor_Active_Message, on);
    for (const TWindow* w : {(TWindow*)main.shape_palette, (TWindow*)main.color_wheel, (TWindow*)main.drawing_window})
      EXPECT_EQ(std::pair(w->IsWindowVisible(), w->IsWindowEnabled()), std::pair(!on, !on));
    EXPECT_EQ(drawing.Active, !on);
  }
}

TEST(Main_Window, Help_At_Start_Waits_For_Both_The_Title_And_The_First_Paint_And_Runs_Once) {
  for (bool help : {true, false}) {
    SCOPED_TRACE(help);
    Program_Session program;
    program.Start_Only();
    program.App().Show_Help_At_Start = help;
    program.Run_Until_Idle();
    IFS_Main_Window& main = *program.Main();
    EXPECT_TRUE(main.main_painted && !main.title_finished && !main.drawing_window->input_enabled);
    program.Let_Title_Close();
    EXPECT_TRUE(main.start_over);
    EXPECT_EQ(std::pair(The_Help_Window->IsWindowVisible(), The_Help_Window->Current_Section()), help ? std::pair(true, 0) : std::pair(false, -1));
    EXPECT_TRUE(main.drawing_window->input_enabled);
    program.Post(Title_Finished_Message);
    program.Post(Main_Painted_Message);
    EXPECT_EQ(The_Help_Window->IsWindowVisible(), help);
  }
}

TEST(Main_Window, Name_And_Level_Is_Disabled_While_A_Manipulator_Is_Edited_Even_Under_Help) {
  Program_Session program;
  program.Start();
  IFS_Main_Window& main = *program.Main();
  EXPECT_FALSE(main.name_button->Is_Disabled());
  program.Post(Editor_Active_Message, 1);
  program.Advance(10);
  EXPECT_TRUE(main.name_button->Is_Disabled());
  // Help over the editor disables the editor's window; the button stays off.
  main.Help();
  program.Advance(10);
  EXPECT_TRUE(main.name_button->Is_Disabled());
  EXPECT_FALSE(main.gallery_button->Is_Disabled());
  program.Post(Editor_Active_Message, 0);
  program.Advance(10);
  EXPECT_FALSE(main.name_button->Is_Disabled());
}

TEST(Main_Window, A_Change_Of_User_Shows_Match_This_By_Level_And_Redraws_The_Face_Only_When_It_Changes) {
  Program_Session program;
  program.Start();
  IFS_Main_Window& main = *program.Main();
  const struct {
    const char* name;
    int32_t level;
    bool match_shown, face_redrawn;
  } steps[] = {{"Ann", 0, true, true},     {"Anna", 0, true, false}, {"Anna", 4, false, true},
               {"Anna", 4, false, false}, {"Bob", 0, true, true},   {"Bob", 3, true, true}};
  for (const auto& s : steps) {
    SCOPED_TRACE(std::string(s.name) + " " + std::to_string(s.level));
    const int draws = main.name_face_draws;
    program.Change_User(s.name, s.level);
    // Match This shown, and the game's controls with it. (It is enabled
    // only once the drawing has steps to make a target of.)
    const bool match = s.match_shown;
    EXPECT_EQ(std::tuple(main.match_button->IsWindowVisible(), main.safari_controls->IsWindowVisible()),
              std::tuple(match, match));
    EXPECT_EQ(main.name_face_draws, draws + (s.face_redrawn ? 1 : 0));
    EXPECT_EQ(main.color_cycles->IsWindowVisible(), s.level == 4);
    // The panels follow the new level.
    EXPECT_EQ(std::tuple(main.manipulator_palette->Level(), main.shape_palette->Level_Index, main.drawing_window->user_level),
              std::tuple(s.level, s.level, s.level));
  }
  EXPECT_EQ(program.Frame()->Title(), "Quendar - Bob at Level 4");
}

// Corners of the round windows.
constexpr int Review_Corner = 0, Iterate_Corner = 1, Undo_Corner = 2, OK_Corner = 3;

// The program as a person uses it: a manipulator chosen on the palette
// works on the drawing (applied, iterated, undone, reviewed), and the
// editor opened from the palette gives the drawing window back on OK.
TEST(Program, A_Manipulator_From_The_Palette_Is_Applied_Iterated_Undone_Reviewed_And_Edited) {
  Program_Session program;
  program.Start();
  IFS_Main_Window& main = *program.Main();
  // Level 4: the palette has its Edit button.
  program.Change_User("Ann", 3);
  Drawing_Window& drawing = *main.drawing_window;
  program.Draw_Block();
  Shape_Transform_Window& page = *main.manipulator_palette->Window();

  Choose_First_Manipulator(program);
  ASSERT_NE(drawing.manipulator, nullptr);
  EXPECT_EQ(drawing.history.size(), 1u) << "one step at once";

  program.Click(drawing.Corner_Screen_Point(Iterate_Corner));
  EXPECT_TRUE(drawing.Is_Iterating());
  for (int i = 0; i < 600 && drawing.Is_Iterating(); ++i) program.Advance(50);
  EXPECT_FALSE(drawing.Is_Iterating());
  const size_t iterated = drawing.history.size();
  EXPECT_GT(iterated, 1u);

  program.Click(drawing.Corner_Screen_Point(Undo_Corner));
  EXPECT_LT(drawing.history.size(), iterated);

  program.Click(drawing.Corner_Screen_Point(Review_Corner));
  ASSERT_TRUE(drawing.Review_Open());
  EXPECT_EQ(main.Active_Window(), main.review_window);
  program.Click(main.review_window->Corner_Screen_Point(OK_Corner));
  EXPECT_FALSE(drawing.Review_Open());
  EXPECT_EQ(main.Active_Window(), main.drawing_window);

  program.Click(page.Edit_Button_Screen_Point());
  ASSERT_TRUE(main.editor->Is_Open());
  EXPECT_TRUE(main.editor->IsWindowVisible() && !drawing.IsWindowVisible());
  EXPECT_EQ(main.Active_Window(), main.editor);
  program.Snapshot("program_editing");
  program.Click(main.editor->Corner_Screen_Point(OK_Corner));
  EXPECT_FALSE(main.editor->Is_Open() || main.manipulator_palette->Editing());
  EXPECT_TRUE(drawing.IsWindowVisible());
  EXPECT_EQ(main.Active_Window(), main.drawing_window);
  EXPECT_EQ(program.Stop(), 0);
}

// The same map, as far as typed numbers (six digits) can give it.
static bool Near(const Affine_Transform_2D& a, const Affine_Transform_2D& b) {
  const float pairs[][2] = {{a.eM11, b.eM11}, {a.eM12, b.eM12}, {a.eM21, b.eM21},
                            {a.eM22, b.eM22}, {a.eDx, b.eDx},   {a.eDy, b.eDy}};
  for (const auto& p : pairs)
    if (std::fabs(p[0] - p[1]) > 1e-5f) return false;
  return true;
}

// The system ends the program (a logout) while the editor is open on a
// manipulator whose copy was moved by its centre handle: nobody is asked, and
// the edit is kept as OK keeps it, then saved with the person's changes;
// numbers typed but not applied are applied, as the answer Yes does.
TEST(Program, The_System_Ending_The_Program_Keeps_The_Open_Edit) {
  for (const bool typed : {false, true}) {
    SCOPED_TRACE(typed ? "numbers typed, not applied" : "a handle dragged");
    Program_Session program;
    program.Start();
    IFS_Main_Window& main = *program.Main();
    program.Change_User("Ann", 3);  // level 4: the palette has its Edit button
    Choose_First_Manipulator(program);
    program.Click(main.manipulator_palette->Window()->Edit_Button_Screen_Point());
    Transform_Edit_Window& editor = *main.editor;
    ASSERT_TRUE(editor.Is_Open());
    // The first copy chosen by a click inside it, its centre handle set to
    // move it freely, and the handle dragged.
    const Point_2D centre = editor.Image(0)->Map_Point(0.5f, 0.5f);
    program.Click(editor.Screen_Point(centre));
    ASSERT_EQ(editor.Selected_Image, 0);
    auto on_screen = [](const TWindow& w, const TRect& r) {
      TPoint p((r.left + r.right) / 2, (r.top + r.bottom) / 2);
      w.ClientToScreen(p);
      return p;
    };
    program.Click(on_screen(editor, editor.Handle_Rects[8]));
    const Handle_Palette& handles = *editor.Palette;
    for (int i = 0; i < handles.Shown_Count; ++i)
      if (handles.Shown[size_t(i)]->Code == 2) program.Click(on_screen(handles, handles.Cells[size_t(i)]));
    ASSERT_EQ(editor.Manipulator_Tool.Handle_Code, 2);
    const Affine_Transform_2D before = *editor.Image(0);
    THeadless_Backend& mouse = program.Backend();
    const TPoint from = on_screen(editor, editor.Handle_Rects[8]);
    const TPoint to = editor.Screen_Point({centre.x + 0.1f, centre.y - 0.1f});
    mouse.Move_To(from);
    mouse.Press(from);
    program.Run_Until_Idle();
    mouse.Move_To(TPoint((from.x + to.x) / 2, (from.y + to.y) / 2));
    program.Run_Until_Idle();
    mouse.Move_To(to);
    program.Run_Until_Idle();
    mouse.Release(to);
    program.Run_Until_Idle();
    Affine_Transform_2D kept = *editor.Image(0);
    ASSERT_FALSE(kept.Equals(before)) << "the drag did not move the copy";
    if (typed) {
      auto& dialog = dynamic_cast<Transform_Edit_Dialog&>(*main.ChildWithId(Transform_Edit_Dialog::Window_Id));
      dialog.Tab_Selected(2);
      kept.eDy = 0.375f;
      dialog.Matrix_Page->Coefficient_Fields[5]->SetText("0.375");
      ASSERT_TRUE(dialog.Has_Changed(true));
    }
    const std::string file = The_User_Data.directory + "Ann, level 4.man";
    EXPECT_EQ(program.End_For_The_System(), 0);
    EXPECT_TRUE(program.Boxes.empty()) << program.Boxes[0].text;
    std::ifstream in(file, std::ios::binary);
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
    const auto manipulators = Read_Manipulator_File(bytes);
    ASSERT_TRUE(manipulators.has_value()) << file;
    bool found = false;
    for (const Manipulator_Ref& m : *manipulators)
      for (int32_t i = 0; i < m->Count(); ++i)
        found |= Near(static_cast<const Affine_Transform_2D&>(*m->Map(i)), kept);
    EXPECT_TRUE(found) << "the edited copy is not in " << file;
  }
}

TEST(Program, A_Pointer_Jumping_From_Corner_To_Corner_And_Away_Leaves_The_Mouse_Free) {
  Program_Session program;
  program.Start();
  Drawing_Window& drawing = *program.Main()->drawing_window;
  // Two corners and away: the jump lets no notice of a lost mouse arrive
  // after the second corner took the mouse, which would strand the hold.
  for (int corner : {Iterate_Corner, Undo_Corner}) {
    program.Backend().Move_To(drawing.Corner_Screen_Point(corner));
    program.Run_Until_Idle();
  }
  program.Backend().Move_To(Program_Session::Center_Of(program.Main()->safari_controls));
  program.Run_Until_Idle();
  EXPECT_EQ(The_Mouse->Holder(), nullptr);
}
