// The program's start and end as a whole: what is made and deleted in which
// order, the refusals, the user data directory and the start-up warnings.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/title_window.h"
#include "demos/simulated_user.h"
#include "help/help_window.h"
#include "platform/system/single_instance.h"
#include "tests/program/program_session.h"
#include "platform/window/desktop.h"
#include "toolkit/demonstration_state.h"
#include "toolkit/gui_sizes.h"
#include "toolkit/mouse.h"
#include "workspace/fill_pointer.h"

TEST(Start_Up, Makes_Everything_In_Order_And_Deletes_It_In_Order) {
  Program_Session program;
  program.Start();
  ASSERT_NE(program.Main(), nullptr);
  EXPECT_EQ(program.Made, (std::vector<std::string>{"GUI_Sizes", "GUI_Colors", "Round_Border", "User_Database",
                                                    "GUI_Metafiles", "GUI_Bitmaps", "Mouse", "Sound_Library",
                                                    "Sound_Player", "Printer", "Fill_Pointer", "DIB_Allocator",
                                                    "Help_Window"}));
  EXPECT_TRUE(program.App().Started && !The_Title_Window && The_Simulated_User && program.Main()->IsWindowVisible());
  EXPECT_TRUE(program.Boxes.empty());
  EXPECT_EQ(program.Stop(), 0);
  EXPECT_EQ(program.Deleted, (std::vector<std::string>{"Help_Window", "DIB_Allocator", "Simulated_User",
                                                       "Fill_Pointer", "Round_Border", "Printer", "Sound_Player", "Sound_Library",
                                                       "Mouse", "GUI_Bitmaps", "GUI_Metafiles", "User_Database",
                                                       "GUI_Colors", "GUI_Sizes"}));
  EXPECT_TRUE(!The_Help_Window && !The_Simulated_User && !The_Fill_Pointer && !The_Mouse && !The_GUI_Sizes);
}

TEST(Start_Up, A_Display_Of_Fewer_Than_256_Colours_Is_Refused_With_Exit_Code_1) {
  Program_Session program({.screen_bits = 4});
  program.Start();
  ASSERT_EQ(program.Boxes.size(), 1u);
  EXPECT_EQ(program.Boxes[0].caption, "Quendar Can't Run");
  EXPECT_EQ(program.Boxes[0].text, "The display must be set for 256 colors or more.");
  EXPECT_TRUE(program.Made.empty());
  EXPECT_EQ(The_Title_Window, nullptr);
  EXPECT_EQ(program.Stop(), 1);
  EXPECT_TRUE(program.Deleted.empty());
}

// What a later start from outside comes to.
TSingle_Instance::Start Later_Start(uint32_t wait_ms = 3000) {
  TSingle_Instance later("Quendar_Window", wait_ms);
  return later.Claim([] {});
}

TEST(Start_Up, A_Later_Start_Brings_The_Running_One_Forward_Restored_Only_When_Minimised) {
  Program_Session program;
  program.Start();
  // A later start from outside: the running one comes forward, restored
  // only because it was minimised.
  program.Frame()->PostMessage(WM_SYSCOMMAND, SC_MINIMIZE);
  program.Run_Until_Idle();
  ASSERT_TRUE(program.Frame()->Minimised);
  EXPECT_EQ(Later_Start(), TSingle_Instance::Start::Handed_Over);
  program.Run_Until_Idle();
  EXPECT_FALSE(program.Frame()->Minimised || program.Frame()->Is_Minimised());
  EXPECT_EQ(program.Frame()->GetWindowRect(), TRect(0, 0, 1024, 768));
  // Brought forward again while up: its fixed size stays.
  EXPECT_EQ(Later_Start(), TSingle_Instance::Start::Handed_Over);
  program.Run_Until_Idle();
  EXPECT_FALSE(program.Frame()->Minimised);
  EXPECT_EQ(program.Frame()->GetWindowRect(), TRect(0, 0, 1024, 768));
  // Once it has agreed to end, a later start is no longer handed over to it.
  ASSERT_TRUE(program.Frame()->CanClose());
  EXPECT_NE(Later_Start(50), TSingle_Instance::Start::Handed_Over);
  EXPECT_EQ(program.Stop(), 0);
}

TEST(Start_Up, A_Second_Start_Shows_Nothing_And_Ends_With_Exit_Code_1) {
  // This start is the later one.
  Program_Session second;
  int asked = 0;
  TSingle_Instance first;
  ASSERT_EQ(first.Claim([&] { ++asked; }), TSingle_Instance::Start::First);
  second.Start();
  EXPECT_EQ(asked, 1);
  EXPECT_TRUE(second.Made.empty());
  EXPECT_TRUE(second.Boxes.empty());
  EXPECT_EQ(second.Stop(), 1);
}

TEST(Start_Up, The_User_Path_Ends_In_A_Slash_And_Is_Writable_Only_When_A_File_Can_Be_Made) {
  Program_Session probe;  // for its folder
  const std::string folder = probe.Folder();
  std::filesystem::create_directories(folder + "/users");
  std::ofstream(folder + "/a_file") << "x";
  const struct {
    const char* name;
    std::string setting;  // "" : no setting
    std::string expected_path;
    bool writable;
  } cases[] = {
      {"no setting: the data directory", "", folder + "/home/.local/share/Quendar/", true},
      {"a trailing slash is kept single", folder + "/users/", folder + "/users/", true},
      {"a slash is added", folder + "/users", folder + "/users/", true},
      {"missing", folder + "/missing", folder + "/missing/", false},
      {"not a directory", folder + "/a_file", folder + "/a_file/", false},
      {"not writable", "/proc", "/proc/", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    if (!c.setting.empty()) std::ofstream(folder + "/home/.config/quendar/settings") << "UserPath=" << c.setting << "\n";
    else std::filesystem::remove(folder + "/home/.config/quendar/settings");
    const User_Path found = IFS_Application::Find_User_Path();
    EXPECT_EQ(found.path, c.expected_path);
    EXPECT_EQ(found.writable, c.writable);
  }
}

TEST(Start_Up, Warns_Of_A_User_Path_It_Cannot_Write_And_Of_Little_Free_Space) {
  // 10 MBytes in 4096-byte clusters is 2560 clusters: exactly the
  // threshold, and one cluster less.
  for (const uint64_t free_clusters : {2560u, 2559u}) {
    SCOPED_TRACE(free_clusters);
    const bool low = free_clusters < 2560;
    Program_Session program({.user_path = "/proc", .free_space = TFree_Space{free_clusters, 4096}});
    program.Start();
    ASSERT_EQ(program.Boxes.size(), low ? 2u : 1u);
    EXPECT_EQ(program.Boxes[0].caption, "Warning");
    EXPECT_EQ(program.Boxes[0].text,
              "Quendar can't save user data to /proc/.\nThe program will run but you will not be able to save "
              "drawings.\nThis problem may be due to incorrect installation.  Try reinstalling.");
    EXPECT_EQ(program.Boxes[0].owner, program.Main()->GetHandle());
    if (low) {
      EXPECT_EQ(program.Boxes[1].text,
                "Volume (/proc/) has less than 10 MBytes free.\nSome program features may be unable to operate.");
    }
    EXPECT_FALSE(program.App().User_Path_Writable);
  }
}

TEST(Start_Up, The_Cancel_Chord_Ends_A_Demonstration_And_Forgets_The_Recording_Hook) {
  Program_Session program;
  program.Start();
  The_Simulated_User->Color_Mixing_Demo();
  EXPECT_EQ(program.Frame()->Title(), "Quendar at Level 1   Press CTRL-ESC to Stop the Demonstration");
  The_Mouse->Hook = HHOOK(7);
  program.Backend().Key_Down(VK_CONTROL);
  program.Backend().Key(VK_ESCAPE);
  program.Backend().Key_Up(VK_CONTROL);
  program.Run_Until_Idle();
  EXPECT_EQ(The_Mouse->Hook, HHOOK(0));
  EXPECT_FALSE(Demonstration_Running());
  EXPECT_EQ(program.Frame()->Title(), "Quendar at Level 1");
}
