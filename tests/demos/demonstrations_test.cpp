// The demonstrations in the running program: each script's length at each
// level, then whole demonstrations played into the program on the virtual
// clock, with what they leave behind and Ctrl+Esc in the middle.
#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <functional>
#include <fstream>
#include <iterator>

#include "demos/simulated_user.h"
#include "gallery/gallery_window.h"
#include "help/help_page.h"
#include "help/help_window.h"
#include "model/shape_drawing.h"
#include "platform/window/desktop.h"
#include "platform/window/hooks.h"
#include "tests/program/program_session.h"
#include "manipulators/transform_palette.h"
#include "toolkit/demonstration_state.h"
#include "users/user.h"
#include "users/user_names.h"
#include "app/user_dialog.h"
#include "toolkit/round_button.h"
#include "users/user_database.h"
#include "workspace/color_cycle_window.h"
#include "workspace/drawing_window.h"

namespace {

size_t Pattern_Script_Length(Simulated_User& driver) {
  driver.Cancel();
  driver.Append_Pattern_Script();
  const size_t n = driver.Queue().size();
  driver.Cancel();
  return n;
}

bool Drawing_Blank(Program_Session& program) {
  const Shape_Drawing* picture = program.Main()->drawing_window->Current_Drawing();
  return picture && picture->Blank;
}

// Plays until the demonstration is over (or the limit of virtual time).
bool Play_To_End(Program_Session& program, uint32_t limit_ms) {
  for (uint32_t t = 0; t < limit_ms; t += 500) {
    program.Advance(500);
    if (!The_Simulated_User->Running() && !The_Simulated_User->Playing()) return true;
  }
  return false;
}

TEST(Demonstration_Scripts, Lengths_By_Level) {
  Program_Session program;
  program.Start();
  Simulated_User& driver = *The_Simulated_User;
  ASSERT_TRUE(Drawing_Blank(program));
  // Level 5 with the colour cycles' first row shown clicks the row button.
  const size_t lengths[] = {66, 95, 121, 315, 140};
  for (int32_t level = 0; level < 5; ++level) {
    program.Change_User("Ann", level);
    ASSERT_EQ(The_User_Database->current_user->Level_Index(), level);
    EXPECT_EQ(Pattern_Script_Length(driver), lengths[level]) << "level " << level + 1;
  }
  program.Main()->color_cycles->Show_Next_Row();
  EXPECT_EQ(Pattern_Script_Length(driver), 135u);
  // A drawing with something in it is cleared first.
  program.Change_User("Ann", 0);
  program.Draw_Block();
  ASSERT_FALSE(Drawing_Blank(program));
  EXPECT_EQ(Pattern_Script_Length(driver), 71u);

  driver.Append_Manipulator_Script();
  // Two capitals in "Demo Manipulator", each typed with Shift down and up.
  EXPECT_EQ(driver.Queue().size(), 364u + 4u);
  driver.Cancel();
  driver.Append_Color_Mixing_Script();
  // The mixer is empty and the wheel does not show colour 13.
  EXPECT_EQ(driver.Queue().size(), 94u);
  driver.Cancel();
  EXPECT_EQ(program.Stop(), 0);
}

// The person's user and level as they were, the caption without the hint.
void Expect_Person_Back(Program_Session& program, const std::string& name, int32_t level) {
  EXPECT_EQ(The_User_Database->current_user->name, name);
  EXPECT_EQ(The_User_Database->current_user->level, level);
  EXPECT_FALSE(Demonstration_Running());
  EXPECT_FALSE(Journal_Playback_Installed());
  EXPECT_EQ(program.Frame()->Title().find("CTRL-ESC"), std::string::npos);
}

TEST(Demonstrations, Pattern_At_Each_Level_Plays_To_Its_End) {
  Program_Session program;
  program.Start();
  for (int32_t level = 0; level < 5; ++level) {
    program.Change_User("Ann", level);
    The_Simulated_User->Pattern_Demo();
    EXPECT_NE(program.Frame()->Title().find("   Press CTRL-ESC to Stop the Demonstration"), std::string::npos);
    EXPECT_TRUE(Play_To_End(program, 300000)) << "level " << level + 1;
    EXPECT_FALSE(Drawing_Blank(program));
    EXPECT_FALSE(program.Main()->drawing_window->Is_Iterating());
    Expect_Person_Back(program, "Ann", level);
    program.Snapshot("pattern_level_" + std::to_string(level + 1));
  }
  EXPECT_EQ(program.Stop(), 0);
}

TEST(Demonstrations, Color_Mixing_Leaves_The_Mixed_Colour_Behind) {
  Program_Session program;
  program.Start();
  const std::string name = The_User_Database->current_user->name;
  The_Simulated_User->Color_Mixing_Demo();
  EXPECT_TRUE(Play_To_End(program, 120000));
  // White and black from the mixer: a grey background under the star.
  const TColor background = program.Main()->drawing_window->Current_Drawing()->Background;
  EXPECT_EQ(background.Red(), background.Green());
  EXPECT_EQ(background.Green(), background.Blue());
  EXPECT_GT(background.Red(), 64);
  EXPECT_LT(background.Red(), 192);
  Expect_Person_Back(program, name, 0);
  program.Snapshot("color_mixing");
  EXPECT_EQ(program.Stop(), 0);
}

TEST(Demonstrations, Ctrl_Esc_Stops_Each_Demonstration_Cleanly) {
  Program_Session program;
  program.Start();
  const std::string name = The_User_Database->current_user->name;
  const std::function<void()> starts[] = {[] { The_Simulated_User->Color_Mixing_Demo(); },
                                          [] { The_Simulated_User->Pattern_Demo(); },
                                          [] { The_Simulated_User->Start_Game_Demo(1); }};
  for (const auto& start : starts) {
    start();
    program.Advance(4000);
    ASSERT_TRUE(Journal_Playback_Installed());
    program.Backend().Key_Down(VK_CONTROL);
    program.Backend().Key(VK_ESCAPE);
    program.Backend().Key_Up(VK_CONTROL);
    program.Run_Until_Idle();
    EXPECT_TRUE(The_Simulated_User->Queue().empty());
    Expect_Person_Back(program, name, 0);
    // The person's input flows again.
    program.Advance(2000);
  }
  EXPECT_EQ(program.Stop(), 0);
}

std::string Manipulator_File(const std::string& name, int32_t level) {
  User user;
  user.name = name;
  return user.File_Path("man", level);
}

std::string Read_All(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Makes a listed user of that name and level current, as the Name and Level
// dialog would, then gives the real dialog back to the Name and Level
// button for the demonstration to drive.
void Become(Program_Session& program, const std::string& name, int32_t level) {
  IFS_Frame_Window* frame = program.Frame();
  frame->Run_User_Dialog = [name, level] {
    User_Database& db = *The_User_Database;
    db.previous_user = *db.current_user;
    db.Set_Current(db.Add_User(std::make_unique<User>(level, name.c_str())));
    return 1;
  };
  program.Click(Program_Session::Center_Of(program.Main()->name_button));
  frame->Run_User_Dialog = [frame] { return frame->Dialog->Execute(); };
}

bool Contains_Ignoring_Case(std::string text, std::string what) {
  for (char& c : text) c = char(std::tolower(static_cast<unsigned char>(c)));
  for (char& c : what) c = char(std::tolower(static_cast<unsigned char>(c)));
  return text.find(what) != std::string::npos;
}

// Started by someone else: the person is asked about their unsaved
// manipulators first (the session answers Yes), the dialog makes user
// "Demo" at level 4, the script builds "Demo Manipulator" there, and the
// person comes back. Nobody is asked during the demonstration: what "Demo"
// made goes with the change back.
TEST(Demonstrations, Manipulator_Demo_Runs_As_Demo_And_Brings_The_Person_Back) {
  Program_Session program;
  program.Start();
  Become(program, "Ann", 3);
  program.Main()->manipulator_palette->Modified = true;  // unsaved changes
  ASSERT_FALSE(std::filesystem::exists(Manipulator_File("Ann", 3)));
  The_Simulated_User->Manipulator_Demo();
  EXPECT_EQ(The_Simulated_User->Pass_Pending, 1);
  ASSERT_EQ(program.Boxes.size(), 1u);
  EXPECT_EQ(program.Boxes[0].text, "Save changes to shape manipulators belonging to Ann?");
  EXPECT_TRUE(Play_To_End(program, 400000));
  Expect_Person_Back(program, "Ann", 3);
  EXPECT_EQ(program.Boxes.size(), 1u);
  const int32_t demo = The_User_Database->Find_User("Demo");
  ASSERT_GE(demo, 0);
  EXPECT_EQ(The_User_Database->At(demo)->name, "Demo");
  EXPECT_FALSE(std::filesystem::exists(Manipulator_File("Demo", 3)));
  EXPECT_TRUE(std::filesystem::exists(Manipulator_File("Ann", 3)));
  EXPECT_FALSE(Contains_Ignoring_Case(Read_All(Manipulator_File("Ann", 3)), "Demo Manipulator"));
  program.Snapshot("manipulator");
  EXPECT_EQ(program.Stop(), 0);
}

// Started by "Demo" at level 4: no dialog, the script plays at once and
// help comes back directly.
TEST(Demonstrations, Manipulator_Demo_By_Demo_Needs_No_Dialog) {
  Program_Session program;
  program.Start();
  Become(program, "demo", 3);
  The_Simulated_User->Manipulator_Demo();
  EXPECT_EQ(The_Simulated_User->Pass_Pending, 0);
  EXPECT_EQ(The_Simulated_User->Pass_Count, 5u);
  EXPECT_TRUE(Play_To_End(program, 400000));
  Expect_Person_Back(program, "demo", 3);
  EXPECT_EQ(program.Stop(), 0);
}

// Five passes as "Demo", one per level, then the person again.
TEST(Demonstrations, Multi_Level_Pattern_Passes_Through_Every_Level) {
  Program_Session program;
  program.Start();
  Become(program, "Ann", 1);
  The_Simulated_User->Multi_Level_Pattern_Demo();
  std::vector<int32_t> levels_seen;
  for (uint32_t t = 0; t < 1200000 && The_Simulated_User->Running(); t += 500) {
    program.Advance(500);
    const User& user = *The_User_Database->current_user;
    if (Same_Name_Ignoring_Case(user.name, "Demo") && (levels_seen.empty() || levels_seen.back() != user.level))
      levels_seen.push_back(user.level);
  }
  EXPECT_EQ(levels_seen, (std::vector<int32_t>{0, 1, 2, 3, 4}));
  EXPECT_FALSE(The_Simulated_User->Running());
  Expect_Person_Back(program, "Ann", 1);
  EXPECT_TRUE(program.Boxes.empty());
  // Six drawings went into the gallery of "Demo" (one per pass, one more
  // from the level-4 ending); Ann's gallery was not touched.
  EXPECT_EQ(The_Simulated_User->Gallery_Save_Count, 6u);
  const int32_t demo = The_User_Database->Find_User("Demo");
  ASSERT_GE(demo, 0);
  EXPECT_GT(std::filesystem::file_size(The_User_Database->At(demo)->File_Path("gal")), 0u);
  User ann;
  ann.name = "Ann";
  EXPECT_FALSE(std::filesystem::exists(ann.File_Path("gal")));
  program.Snapshot("multi_level");
  EXPECT_EQ(program.Stop(), 0);
}

// Stopped in the middle of a pass as "Demo": the demonstration ends at
// once and nothing else is undone.
TEST(Demonstrations, Ctrl_Esc_Stops_A_Pass_Cycle) {
  Program_Session program;
  program.Start();
  Become(program, "Ann", 1);
  The_Simulated_User->Manipulator_Demo();
  for (uint32_t t = 0; t < 60000 && !Same_Name_Ignoring_Case(The_User_Database->current_user->name, "Demo"); t += 500)
    program.Advance(500);
  program.Advance(5000);  // into the manipulator script
  ASSERT_TRUE(Same_Name_Ignoring_Case(The_User_Database->current_user->name, "Demo"));
  ASSERT_TRUE(Journal_Playback_Installed());
  program.Backend().Key_Down(VK_CONTROL);
  program.Backend().Key(VK_ESCAPE);
  program.Backend().Key_Up(VK_CONTROL);
  program.Run_Until_Idle();
  EXPECT_FALSE(Demonstration_Running());
  EXPECT_FALSE(Journal_Playback_Installed());
  EXPECT_EQ(The_Simulated_User->Pass_Pending, 0);
  EXPECT_TRUE(The_Simulated_User->Queue().empty());
  EXPECT_EQ(program.Frame()->Title().find("CTRL-ESC"), std::string::npos);
  EXPECT_EQ(program.Stop(), 0);
}

// From the "Show" link of the main window's help to the end, where the
// Help button the script clicks brings help back.
TEST(Demonstrations, A_Show_Link_Plays_The_Demonstration_And_Help_Comes_Back) {
  Program_Session program;
  program.Start();
  The_Help_Window->Show_Section(0, program.Main());
  The_Help_Window->Go_To_Page(-2, false);
  program.Run_Until_Idle();
  TPoint link;
  for (const Help_Link& l : The_Help_Window->Current_Page()->links)
    if (l.demonstration == 2) link = TPoint((l.rect.left + l.rect.right) / 2, (l.rect.top + l.rect.bottom) / 2);
  ASSERT_NE(link, TPoint());
  program.Click(link);
  EXPECT_FALSE(The_Help_Window->IsWindowVisible());
  EXPECT_EQ(The_Simulated_User->Mode(), Simulated_User::Color_Mixing_Mode);
  EXPECT_TRUE(Play_To_End(program, 120000));
  program.Run_Until_Idle();
  EXPECT_TRUE(The_Help_Window->IsWindowVisible());
  EXPECT_EQ(program.Stop(), 0);
}

// The gallery script, built while the gallery is closed: 15 gestures, the
// view button and a drag into the bin for each occupied demonstration cell
// at level 1 on top, the tour of the views at level 5.
TEST(Gallery_Script, Length_By_Level) {
  Program_Session program;
  program.Start();
  Simulated_User& driver = *The_Simulated_User;
  ASSERT_NE(driver.The_Gallery, nullptr);
  const size_t lengths[] = {15, 15, 15, 15, 50};
  for (int32_t level = 0; level < 5; ++level) {
    program.Change_User("Ann", level);
    driver.Cancel();
    driver.Gallery_Save_Count = 0;
    driver.Append_Gallery_Script();
    const bool view_click = level == 0 && driver.The_Gallery->Current_View() != 1;
    EXPECT_EQ(driver.Queue().size(), lengths[level] + (view_click ? 5 : 0)) << "level " << level + 1;
    EXPECT_EQ(driver.Gallery_Save_Count, 1u);
  }
  driver.Cancel();
  EXPECT_EQ(program.Stop(), 0);
}

}  // namespace
