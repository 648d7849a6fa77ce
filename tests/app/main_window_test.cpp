// The main window: where its panels and buttons stand, the active panel and
// help, the private messages and the keys, the change of user.
#include <gtest/gtest.h>

#include "game/safari_controls.h"
#include "help/help_window.h"
#include "manipulators/transform_palette.h"
#include "tests/program/program_session.h"
#include "toolkit/gui_sizes.h"
#include "toolkit/round_button.h"
#include "toolkit/program_messages.h"
#include "users/user_database.h"

TEST(Main_Window, Looks_Right_In_Each_Layout_Column) {
  for (TSize screen : {TSize(640, 480), TSize(800, 600), TSize(1024, 768), TSize(1920, 1080)}) {
    Program_Options options;
    options.screen = screen;
    Program_Session program(options);
    program.Start();
    IFS_Main_Window* main = program.Main();
    ASSERT_NE(main, nullptr);
    program.Snapshot("main_window_" + std::to_string(screen.cx) + "x" + std::to_string(screen.cy));
  }
}

namespace {

std::string Last(const Stand_In::Call_Log& log) { return log.Calls.empty() ? "" : log.Calls.back(); }

}  // namespace

TEST(Main_Window, Each_Key_Reaches_Its_Panel) {
  Program_Session program;
  program.Start();
  IFS_Main_Window& main = *program.Main();
  Transform_Palette& palette = *main.manipulator_palette;
  struct Case {
    uint32_t vk;
    const Stand_In::Call_Log* panel;
    const char* call;
  };
  const Case cases[] = {
      {VK_TAB, main.drawing_window, "Mark_Next_Piece"}, {VK_ADD, main.drawing_window, "Faster"},
      {VK_SUBTRACT, main.drawing_window, "Slower"},     {VK_PRIOR, main.color_cycles, "Show_Previous_Row"},
      {VK_NEXT, main.color_cycles, "Show_Next_Row"},    {VK_LEFT, main.color_cycles, "Select_Left"},
      {VK_UP, main.color_cycles, "Select_Up"},          {VK_RIGHT, main.color_cycles, "Select_Right"},
      {VK_DOWN, main.color_cycles, "Select_Down"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.call);
    program.Key(c.vk);
    EXPECT_EQ(Last(*c.panel), c.call);
  }
  struct Page_Case {
    uint32_t vk;
    int section, page;
  };
  for (const Page_Case& c : {Page_Case{'3', 2, 1}, Page_Case{'5', 4, 1}, Page_Case{'C', 4, 3}, Page_Case{'A', 4, 1},
                             Page_Case{VK_NUMPAD1 + 3, 4, 4}, Page_Case{'1', 0, 4}}) {
    program.Key(c.vk);
    EXPECT_EQ(palette.Section, c.section) << c.vk;
    EXPECT_EQ(palette.Page, c.page) << c.vk;
  }
}

TEST(Main_Window, Help_Opens_The_Section_Of_The_Active_Panel_And_Closing_It_Gives_The_Panel_Back) {
  Program_Session program;
  program.Start();
  IFS_Main_Window& main = *program.Main();
  struct Case {
    const char* name;
    UINT message;
    WPARAM on;
    TWindow* panel;
    int section;
  };
  const Case cases[] = {{"drawing", 0, 0, main.drawing_window, 0},
                        {"review open", Drawing_Busy_Message, 1, main.review_window, 1},
                        {"editing", Editor_Active_Message, 1, main.editor, 2}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.message) program.Post(c.message, c.on);
    EXPECT_EQ(main.Active_Window(), c.panel);
    const int shown = The_Help_Window->Shown_Count;
    // Help disables the panel and clips the main window's painting; the
    // help window's closing (at once, so far) undoes both.
    main.Help();
    EXPECT_FALSE(c.panel->IsWindowEnabled());
    EXPECT_TRUE(main.GetStyle() & WS_CLIPCHILDREN);
    program.Run_Until_Idle();
    EXPECT_EQ(The_Help_Window->Shown_Count, shown + 1);
    EXPECT_EQ(The_Help_Window->Last_Section, c.section);
    EXPECT_TRUE(c.panel->IsWindowEnabled());
    EXPECT_FALSE(main.GetStyle() & WS_CLIPCHILDREN);
    program.Key(VK_F1);
    EXPECT_EQ(The_Help_Window->Shown_Count, shown + 2);
    if (c.message) program.Post(c.message, 0);
    EXPECT_EQ(main.Active_Window(), main.drawing_window);
  }
  // F1 while a mouse button is held does nothing.
  const int shown = The_Help_Window->Shown_Count;
  program.Backend().Press({2, 700});
  program.Key(VK_F1);
  program.Backend().Release({2, 700});
  program.Run_Until_Idle();
  EXPECT_EQ(The_Help_Window->Shown_Count, shown);
  program.Post(Help_Request_Message);
  EXPECT_EQ(The_Help_Window->Shown_Count, shown + 1);
}

TEST(Main_Window, The_Private_Messages_Reach_Their_Panels) {
  Program_Session program;
  program.Start();
  IFS_Main_Window& main = *program.Main();
  Stand_In::Drawing_Window& drawing = *main.drawing_window;
  struct Cell {
    int row, column;
    const char* call;
  };
  for (const Cell& c : {Cell{0, 0, "Set_Color_Cycle -1"}, Cell{1, 4, "Set_Color_Cycle 9"}, Cell{0, 3, "Set_Color_Cycle 3"}}) {
    main.color_cycles->selected_row = c.row;
    main.color_cycles->selected_column = c.column;
    program.Post(Color_Cycle_Selected_Message);
    EXPECT_EQ(Last(drawing), c.call);
  }
  program.Post(Shape_Selected_Message);
  EXPECT_EQ(Last(drawing), "Add_Shape");
  program.Post(Manipulator_Selected_Message, 1);
  EXPECT_EQ(Last(drawing), "Apply_Manipulator none at once");
  program.Post(Fill_Color_Message);
  EXPECT_EQ(Last(*main.color_wheel), "Select_Color");

  program.Post(Drawing_Busy_Message, 1);
  EXPECT_FALSE(main.shape_palette->enabled);
  EXPECT_FALSE(main.manipulator_palette->Accepts_Selection);
  program.Post(Drawing_Busy_Message, 0);
  EXPECT_TRUE(main.shape_palette->enabled);
  EXPECT_TRUE(main.manipulator_palette->Accepts_Selection);

  program.Post(Editor_Active_Message, 1);
  for (TWindow* w : {static_cast<TWindow*>(main.shape_palette), static_cast<TWindow*>(main.color_wheel),
                     static_cast<TWindow*>(main.drawing_window)})
    EXPECT_FALSE(w->IsWindowVisible() || w->IsWindowEnabled());
  EXPECT_FALSE(drawing.Active);
  program.Post(Editor_Active_Message, 0);
  for (TWindow* w : {static_cast<TWindow*>(main.shape_palette), static_cast<TWindow*>(main.color_wheel),
                     static_cast<TWindow*>(main.drawing_window)})
    EXPECT_TRUE(w->IsWindowVisible() && w->IsWindowEnabled());
  EXPECT_TRUE(drawing.Active);
}

TEST(Main_Window, Help_At_Start_Waits_For_Both_The_Title_And_The_First_Paint_And_Runs_Once) {
  Program_Session program;
  program.Start_Only();
  program.Run_Until_Idle();
  IFS_Main_Window& main = *program.Main();
  EXPECT_TRUE(main.main_painted);
  EXPECT_FALSE(main.title_finished);
  EXPECT_EQ(The_Help_Window->Shown_Count, 0);
  EXPECT_FALSE(main.drawing_window->input_enabled);
  program.Advance(1000);  // the title closes
  EXPECT_TRUE(main.start_over);
  EXPECT_EQ(The_Help_Window->Shown_Count, 1);
  EXPECT_EQ(The_Help_Window->Last_Section, 0);
  EXPECT_TRUE(main.drawing_window->input_enabled);
  program.Post(Title_Finished_Message);
  program.Post(Main_Painted_Message);
  EXPECT_EQ(The_Help_Window->Shown_Count, 1);
}

TEST(Main_Window, Without_Help_At_Start_Input_Is_Still_Enabled_When_Start_Up_Is_Over) {
  Program_Session program;
  program.Start_Only();
  program.App().Show_Help_At_Start = false;
  program.Advance(1000);
  EXPECT_TRUE(program.Main()->start_over);
  EXPECT_EQ(The_Help_Window->Shown_Count, 0);
  EXPECT_TRUE(program.Main()->drawing_window->input_enabled);
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
  The_Help_Window->Shown_Count = 0;
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
  User_Database& db = *The_User_Database;
  struct Step {
    const char* name;
    int32_t level;
    bool match_shown;
    bool face_redrawn;
  };
  const Step steps[] = {{"Ann", 0, true, true},  {"Anna", 0, true, false}, {"Anna", 4, false, true},
                        {"Anna", 4, false, false}, {"Bob", 0, true, true},  {"Bob", 3, true, true}};
  for (const Step& s : steps) {
    SCOPED_TRACE(std::string(s.name) + " " + std::to_string(s.level));
    program.Frame()->Run_User_Dialog = [&] {
      db.previous_user = *db.current_user;
      db.current_user->name = s.name;
      db.current_user->level = s.level;
      return 1;
    };
    const int draws = main.name_face_draws;
    program.Click(Program_Session::Center_Of(main.name_button));
    EXPECT_EQ(main.match_button->IsWindowVisible(), s.match_shown);
    EXPECT_EQ(main.match_button->Is_Disabled(), !s.match_shown);
    EXPECT_EQ(main.name_face_draws, draws + (s.face_redrawn ? 1 : 0));
    EXPECT_EQ(main.safari_controls->IsWindowVisible(), true);
    EXPECT_EQ(Last(*main.color_cycles), "Change_User");
  }
  EXPECT_EQ(program.Frame()->Title(), "Quendar - Bob at Level 4");
}
