// The program's start and end as a whole: what is made and deleted in which
// order, the refusals, the user data directory and the start-up warnings.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/title_window.h"
#include "demos/simulated_user.h"
#include "help/help_window.h"
#include "platform/system/settings.h"
#include "platform/system/single_instance.h"
#include "tests/program/program_session.h"
#include "platform/window/desktop.h"
#include "toolkit/demonstration_state.h"
#include "toolkit/gui_sizes.h"
#include "toolkit/mouse.h"
#include "users/user_data.h"
#include "users/user_database.h"
#include "workspace/fill_pointer.h"
#include "workspace/drawing_window.h"

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

// The system asks the program to end while it starts (a box about the user
// file is up then): no frame is built, what was made is deleted, and the
// run ends as a normal close ends it.
TEST(Start_Up, An_End_Requested_During_Start_Up_Builds_No_Frame) {
  Program_Session program;
  TDesktop::Current().Request_End();
  program.Start_Only();
  EXPECT_TRUE(program.App().Started);
  EXPECT_EQ(program.Frame(), nullptr);
  EXPECT_EQ(program.End_For_The_System(), 0);
  EXPECT_EQ(program.Deleted.size(), program.Made.size());
}

// The refusal below 256 colours; and, the pictures being drawn in
// true colour, a refusal with a word of a 256-colour display too (it would
// show a black window). 15 bits and more run.
TEST(Start_Up, A_Display_Without_True_Colour_Is_Refused_With_Exit_Code_1) {
  const struct {
    int bits;
    const char* text;  // null: the program runs
  } cases[] = {
      {4, "The display must be set for 256 colors or more."},
      {8, "The display must be set for true color (15 bits per pixel or more)."},
      {14, "The display must be set for true color (15 bits per pixel or more)."},
      {15, nullptr},
      {16, nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.bits);
    Program_Session program({.screen_bits = c.bits});
    program.Start();
    if (!c.text) {
      EXPECT_FALSE(program.Made.empty());
      EXPECT_EQ(program.Stop(), 0);
      continue;
    }
    ASSERT_EQ(program.Boxes.size(), 1u);
    EXPECT_EQ(program.Boxes[0].caption, "Quendar Can't Run");
    EXPECT_EQ(program.Boxes[0].text, c.text);
    EXPECT_TRUE(program.Made.empty());
    EXPECT_EQ(The_Title_Window, nullptr);
    EXPECT_EQ(program.Stop(), 1);
    EXPECT_TRUE(program.Deleted.empty());
  }
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
  const std::string long_folder = folder + "/" + std::string(150, 'l') + "/" + std::string(150, 'm');
  std::filesystem::create_directories(long_folder);
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
      {"longer than 260 characters", long_folder, long_folder + "/", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    if (!c.setting.empty()) std::ofstream(folder + "/home/.config/quendar/settings") << "UserPath=" << c.setting << "\n";
    else std::filesystem::remove(folder + "/home/.config/quendar/settings");
    const User_Path found = IFS_Application::Find_User_Path();
    EXPECT_EQ(found.path, c.expected_path);
    EXPECT_EQ(found.writable, c.writable);
    EXPECT_FALSE(found.in_working_directory);
  }
}

// Without any home the data goes to the working directory, and the person
// is told where.
TEST(Start_Up, Without_A_Home_The_Working_Directory_Is_Used_And_Named) {
  Program_Session program;
  const std::string folder = program.Folder() + "/work/";
  std::filesystem::create_directories(folder);
  const std::string was = std::filesystem::current_path();
  std::filesystem::current_path(folder);
  // The session puts the variables back when it ends.
  for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME"}) unsetenv(name);
  const User_Path found = IFS_Application::Find_User_Path();
  EXPECT_EQ(found.path, folder);
  EXPECT_TRUE(found.in_working_directory);
  program.Start();
  ASSERT_FALSE(program.Boxes.empty());
  EXPECT_EQ(program.Boxes[0].text, "Quendar found no home folder: neither HOME nor XDG_DATA_HOME is set.\nUser data "
                                   "is kept in " + folder + ".");
  EXPECT_EQ(program.App().User_Path_Name, folder);
  program.Stop();
  std::filesystem::current_path(was);
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
    // The settings file gave the place: the warning names it, and asks for
    // no reinstalling.
    EXPECT_EQ(program.Boxes[0].text, "Quendar can't save user data to /proc/.\nIt is the UserPath that " +
                                         TSettings::File_Path() +
                                         " gives.\nThe program will run but you will not be able to save "
                                         "drawings.\nChange UserPath there or make the folder writable.");
    EXPECT_EQ(program.Boxes[0].owner, program.Main()->GetHandle());
    if (low) {
      EXPECT_EQ(program.Boxes[1].text,
                "Volume (/proc/) has less than 10 MBytes free.\nSome program features may be unable to operate.");
    }
    EXPECT_FALSE(program.App().User_Path_Writable);
  }
}

// A place that is no choice of the person's (the default one) may be a
// fault of the installation.
TEST(Start_Up, The_Warning_Of_An_Unwritable_Default_Place_Suggests_Reinstalling) {
  EXPECT_EQ(Unwritable_User_Path_Warning("/usr/share/Quendar/", ""),
            "Quendar can't save user data to /usr/share/Quendar/.\nThe program will run but you will not be able to "
            "save drawings.\nThis problem may be due to incorrect installation.  Try reinstalling.");
}

// A place chosen in the settings file is mended there or on the disk: a
// folder that is not there has to be made, one that is there made writable.
TEST(Start_Up, The_Warning_Of_A_Chosen_Place_Says_Whether_The_Folder_Must_Be_Made) {
  const std::string missing = std::filesystem::temp_directory_path().string() + "/quendar_no_such_folder/";
  ASSERT_FALSE(std::filesystem::exists(missing));
  const struct {
    std::string path;
    const char* last_line;
  } cases[] = {
      {"/proc/", "Change UserPath there or make the folder writable."},
      {missing, "That folder does not exist: create it, or change UserPath there."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(Unwritable_User_Path_Warning(c.path, "/home/ann/.config/quendar/settings"),
              "Quendar can't save user data to " + c.path +
                  ".\nIt is the UserPath that /home/ann/.config/quendar/settings gives.\nThe program will run but you "
                  "will not be able to save drawings.\n" + c.last_line);
  }
}

// The title finishing and the main window painting while the warning is
// still up do not open help over it: help comes once the warning is answered.
TEST(Start_Up, Help_For_A_New_User_Waits_Until_The_Start_Up_Warning_Is_Answered) {
  Program_Session program({.user_path = "/proc"});
  bool asked = false, help_under_the_box = false;
  Set_Message_Box_Hook([&](const TMessage_Box_Request& request) {
    if (request.caption != "Warning" || asked) return IDOK;
    asked = true;
    // The person takes their time: start-up goes on meanwhile.
    program.Let_Title_Close();
    program.Run_Until_Idle();
    help_under_the_box = The_Help_Window && The_Help_Window->IsWindowVisible();
    return IDOK;
  });
  program.Start_Only();
  program.Run_Until_Idle();
  program.Let_Title_Close();
  program.Run_Until_Idle();
  EXPECT_TRUE(asked);
  EXPECT_FALSE(help_under_the_box);
  EXPECT_TRUE(The_Help_Window && The_Help_Window->IsWindowVisible());
  EXPECT_TRUE(program.Main()->start_over);
}

// Help greets a start that reads no user file, whatever a start before it
// in the same process read.
TEST(Start_Up, Help_Opens_At_Start_Only_When_No_User_File_Is_Read) {
  for (const bool user_file : {false, true, false}) {
    SCOPED_TRACE(user_file ? "a user file" : "no user file");
    Program_Session program;
    if (user_file) {
      const std::string data = program.Folder() + "/home/.local/share/Quendar/";
      std::filesystem::create_directories(data);
      The_User_Data.directory = data;
      User_Database users(For_Stream);
      users.Add_User(std::make_unique<User>(1, "Ann"));
      ASSERT_TRUE(users.Save());
    }
    program.Start_Only();
    program.Run_Until_Idle();
    program.Let_Title_Close();
    program.Run_Until_Idle();
    EXPECT_EQ(The_Help_Window && The_Help_Window->IsWindowVisible(), !user_file);
    EXPECT_EQ(program.Stop(), 0);
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

// A damaged user file at start: the users read whole are listed, the file
// goes aside whole before any save, the person is told where, and the next
// save writes the users listed.
TEST(Start_Up, A_Damaged_User_File_Is_Kept_Aside_And_Its_Whole_Users_Stay_Listed) {
  Program_Session program;
  const std::string data = program.Folder() + "/home/.local/share/Quendar/";
  std::filesystem::create_directories(data);
  The_User_Data.directory = data;
  {
    User_Database users(For_Stream);
    for (const char* name : {"Ann", "Bob", "Cal"}) users.Add_User(std::make_unique<User>(1, name));
    ASSERT_TRUE(users.Save());
  }
  const auto read = [](const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  };
  const std::string whole = read(data + "quendar.usr");
  const std::string damaged = whole.substr(0, whole.size() - 12);  // Cal and the index cut off
  std::ofstream(data + "quendar.usr", std::ios::binary | std::ios::trunc) << damaged;
  program.Start();
  std::string aside;
  for (const auto& entry : std::filesystem::directory_iterator(data))
    if (entry.path().filename().string().rfind("quendar.usr.damaged-", 0) == 0) aside = entry.path();
  ASSERT_FALSE(aside.empty());
  EXPECT_EQ(read(aside), damaged);
  ASSERT_FALSE(program.Boxes.empty());
  EXPECT_EQ(program.Boxes[0].text, "Unable to read file " + data + "quendar.usr\nThe file is damaged: the 2 users "
                                   "read whole are listed, and the file is kept as " + aside + ".");
  ASSERT_EQ(The_User_Database->Count(), 2);
  // The next save (the Name and Level dialog's OK makes one).
  ASSERT_TRUE(The_User_Database->Save());
  User_Database saved(For_Stream);
  ASSERT_TRUE(saved.Read_File());
  EXPECT_EQ(saved.Find_User("Ann"), 0);
  EXPECT_EQ(saved.Find_User("Bob"), 1);
  EXPECT_EQ(read(aside), damaged);
  EXPECT_EQ(program.Stop(), 0);
}

// The title disc covers the drawing circle that follows it, on screens the
// layout fills and on those where it stands centred or scaled.
TEST(Start_Up, The_Title_Disc_Lies_Over_The_Drawing_Circle_On_Every_Screen) {
  for (const TSize screen : {TSize(1024, 768), TSize(1280, 1024), TSize(1920, 1080), TSize(2560, 1440)}) {
    SCOPED_TRACE(std::to_string(screen.cx) + "x" + std::to_string(screen.cy));
    Program_Session program({.screen = screen});
    program.Start_Only();
    ASSERT_NE(The_Title_Window, nullptr);
    const TRect title = The_Title_Window->GetWindowRect();
    program.Let_Title_Close(1500);
    program.Snapshot("title_" + std::to_string(screen.cx) + "x" + std::to_string(screen.cy));
    program.Finish_Start();
    program.Snapshot("title_after_" + std::to_string(screen.cx) + "x" + std::to_string(screen.cy));
    const Drawing_Window& drawing = *program.Main()->drawing_window;
    const TRect circle = Screen_Rect(drawing, drawing.Inner_Rect);
    EXPECT_NEAR((title.left + title.right) / 2, (circle.left + circle.right) / 2, 5);
    EXPECT_NEAR((title.top + title.bottom) / 2, (circle.top + circle.bottom) / 2, 5);
    EXPECT_EQ(program.Stop(), 0);
  }
}
