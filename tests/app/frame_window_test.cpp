// The frame: its caption, system menu and commands, display changes, the
// gallery's turn as client and the close query.
#include <gtest/gtest.h>

#include "gallery/gallery_window.h"
#include "help/help_window.h"
#include "platform/window/menu.h"
#include "tests/program/program_session.h"
#include "toolkit/round_button.h"
#include "toolkit/tip_window.h"
#include "users/user_database.h"

TEST(Frame_Window, The_Caption_Shows_Name_Level_And_Points_Or_The_Demonstration_Hint) {
  const struct {
    const char* name;
    int32_t level, points;
    bool demonstrating;
    const char* caption;
  } cases[] = {
      {"", 0, 0, false, "Quendar at Level 1"},
      {"Ann", 2, 1234567, false, "Quendar - Ann at Level 3, 1,234,567 Points"},
      {"Ann", 2, 0, false, "Quendar - Ann at Level 3"},
      {"Ann", 2, -5, false, "Quendar - Ann at Level 3"},
      {"Ann", 4, 12, true, "Quendar - Ann at Level 5   Press CTRL-ESC to Stop the Demonstration"},
  };
  for (const auto& c : cases) {
    User user(c.level, c.name);
    user.points = c.points;
    EXPECT_EQ(Frame_Caption(user, c.demonstrating), c.caption);
  }
}

TEST(Frame_Window, Places_The_User_Dialog_Inside_The_Layout_Screen_Below_The_Caption) {
  EXPECT_EQ(IFS_Frame_Window::User_Dialog_Rect(640, 480, 20), TRect(20, 60, 620, 460));
  EXPECT_EQ(IFS_Frame_Window::User_Dialog_Rect(800, 600, 20), TRect(25, 70, 775, 570));
  EXPECT_EQ(IFS_Frame_Window::User_Dialog_Rect(1024, 768, 20), TRect(32, 84, 992, 724));
}

TEST(Frame_Window, The_Desktop_Shows_The_Caption_And_Both_Icons_From_The_Start) {
  Program_Session program;
  program.Start();
  EXPECT_EQ(program.Backend().Title(), "Quendar at Level 1");
  EXPECT_EQ(std::pair(program.Backend().Icon_Size(), program.Backend().Small_Icon_Size()),
            std::pair(TSize(32, 32), TSize(16, 16)));
  program.Change_User("Ann", 2);
  EXPECT_EQ(program.Backend().Title(), "Quendar - Ann at Level 3");
  EXPECT_EQ(program.Stop(), 0);
}

TEST(Frame_Window, Coming_Forward_For_A_Second_Start_Gives_The_Keys_Back_To_The_Main_Window) {
  Program_Session program;
  program.Start();
  program.Frame()->SetFocus();
  program.Frame()->Come_Forward();
  program.Run_Until_Idle();
  EXPECT_EQ(TWindow::GetFocus(), program.Main()->GetHandle());
  EXPECT_EQ(program.Stop(), 0);
}

TEST(Frame_Window, Cannot_Be_Moved_Sized_Or_Restored_Out_Of_Its_Place) {
  Program_Session program;
  program.Start();
  IFS_Frame_Window& frame = *program.Frame();
  EXPECT_FALSE(frame.GetStyle() & (WS_THICKFRAME | WS_MAXIMIZEBOX));
  std::vector<std::string> entries;
  for (const TMenu::TItem& item : frame.GetSystemMenu()->Items()) entries.push_back(item.text);
  EXPECT_EQ(entries, (std::vector<std::string>{"&Restore", "Mi&nimize", "", "&Close\tAlt+F4", "", "&Acknowledgements"}));
  // Restore and the screen saver are swallowed while the frame is up.
  frame.SendMessage(WM_SYSCOMMAND, SC_SCREENSAVE);
  frame.SendMessage(WM_SYSCOMMAND, SC_RESTORE);
  EXPECT_EQ(frame.GetWindowRect(), TRect(0, 0, 1024, 768));
  frame.SendMessage(WM_SYSCOMMAND, SC_MINIMIZE);
  EXPECT_TRUE(frame.Minimised && program.Backend().Minimised());
  // A restore from the desktop outside.
  TInput_Event restore;
  restore.kind = TInput_Event::Kind::Restore;
  program.Backend().Inject(restore);
  program.Run_Until_Idle();
  EXPECT_FALSE(frame.Minimised || program.Backend().Minimised());
  // Acknowledgements opens help section 5 over the drawing window.
  frame.SendMessage(WM_SYSCOMMAND, IFS_Frame_Window::Acknowledgements_Command);
  program.Run_Until_Idle();
  EXPECT_EQ(std::pair(The_Help_Window->IsWindowVisible(), The_Help_Window->Current_Section()), std::pair(true, 5));
  EXPECT_EQ(program.Stop(), 0);
}

TEST(Frame_Window, A_Display_Change_Ends_The_Program_Only_When_It_Matters) {
  const struct {
    const char* name;
    TSize screen;
    int bits, width;
    const char* text;  // null: the program runs on
  } cases[] = {
      {"same screen", {1024, 768}, 32, 1024, nullptr},
      // A wide screen whose layout width differs from its real width.
      {"same wide screen", {1920, 1080}, 32, 1920, nullptr},
      {"16 colours", {1024, 768}, 4, 1024, "The display must be set for 256 colors or more."},
      {"other width", {800, 600}, 32, 1024, "Quendar must be restarted to adjust to the new display settings."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Program_Session program({.screen = c.screen});
    program.Start();
    program.Frame()->SendMessage(WM_DISPLAYCHANGE, WPARAM(c.bits), LPARAM(c.width | (768 << 16)));
    ASSERT_EQ(program.Boxes.size(), c.text ? 1u : 0u);
    EXPECT_EQ(program.Frame()->IsWindowVisible(), !c.text);
    if (c.text) {
      EXPECT_EQ(program.Boxes[0].caption + ": " + program.Boxes[0].text, std::string("Quendar Terminated: ") + c.text);
    } else {
      EXPECT_FALSE(program.Quit_Pending());
    }
    EXPECT_EQ(program.Stop(), c.text ? 1 : 0);
  }
}

TEST(Frame_Window, The_Gallery_Takes_The_Client_Place_And_Gives_It_Back) {
  Program_Session program;
  program.Start();
  IFS_Frame_Window& frame = *program.Frame();
  IFS_Main_Window& main = *program.Main();
  program.Click(Program_Session::Center_Of(main.gallery_button));
  EXPECT_EQ(frame.GetClientWindow(), frame.Gallery);
  EXPECT_TRUE(frame.Gallery->IsWindowVisible());
  EXPECT_FALSE(main.IsWindowVisible());
  program.Snapshot("gallery_opened");
  // Cancel Changes and Leave Gallery.
  program.Click(Program_Session::Center_Of(frame.Gallery->ChildWithId(Gallery_Window::Cancel_Id)));
  EXPECT_EQ(frame.GetClientWindow(), &main);
  EXPECT_TRUE(main.IsWindowVisible() && main.IsWindowEnabled());
  EXPECT_FALSE(frame.Gallery->IsWindowVisible() || frame.Gallery->IsWindowEnabled());
  EXPECT_EQ(TWindow::GetFocus(), main.GetHandle());
}

// The system menu opened from the keyboard over a hover tip: the tip goes,
// and the access key "a" chooses the acknowledgements.
TEST(Frame_Window, The_Acknowledgements_Come_By_The_System_Menus_Access_Key_And_A_Tip_Goes_When_It_Opens) {
  Program_Session program;
  program.Start();
  TWindow* help_button = program.Main()->ChildWithId(0x70C);
  ASSERT_NE(help_button, nullptr);
  program.Backend().Move_To(Program_Session::Center_Of(help_button));
  program.Run_Until_Idle();
  program.Advance(3000);
  ASSERT_TRUE(The_Tip_Window->Shown);
  const auto open_menu_and = [&](UINT key) {
    program.Backend().Key_Down(VK_MENU);
    program.Backend().Key(VK_SPACE);
    program.Backend().Key_Up(VK_MENU);
    program.Backend().Key(key);
    program.Run_Until_Idle();
  };
  open_menu_and(VK_ESCAPE);
  EXPECT_FALSE(The_Tip_Window->Shown);
  open_menu_and('A');
  ASSERT_TRUE(The_Help_Window->IsWindowVisible());
  EXPECT_EQ(The_Help_Window->Current_Section(), 5);
  EXPECT_EQ(program.Stop(), 0);
}
