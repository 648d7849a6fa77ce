// The person who starts a demonstration that plays as user "Demo" keeps
// what is theirs: they are current again whenever it stops (Ctrl+Esc, in
// the Name and Level dialog too, the program closed or killed), and their
// unsaved manipulators and colour cycles are offered for saving before it
// takes over; nobody is asked while it plays.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "app/user_dialog.h"
#include "demos/simulated_user.h"
#include "manipulators/transform_edit_window.h"
#include "manipulators/transform_palette.h"
#include "platform/window/hooks.h"
#include "platform/window/message_box.h"
#include "tests/program/program_session.h"
#include "toolkit/demonstration_state.h"
#include "toolkit/round_button.h"
#include "users/user_database.h"
#include "users/user_names.h"
#include "workspace/color_cycle_window.h"

namespace {

// Makes a listed user of that name and level current, as the Name and Level
// dialog does, then gives the real dialog back to the button.
void Become(Program_Session& program, const std::string& name, int32_t level) {
  IFS_Frame_Window* frame = program.Frame();
  frame->Run_User_Dialog = [name, level] {
    User_Database& db = *The_User_Database;
    db.previous_user = *db.current_user;
    db.Set_Current(db.Add_User(std::make_unique<User>(level, name.c_str())));
    db.Save();
    return 1;
  };
  program.Click(Program_Session::Center_Of(program.Main()->name_button));
  frame->Run_User_Dialog = [frame] { return frame->Dialog->Execute(); };
}

bool Demo_Current() { return Same_Name_Ignoring_Case(The_User_Database->current_user->name, "Demo"); }

bool Dialog_Open(Program_Session& program) { return program.Frame()->Dialog->IsWindow(); }

// Plays in small steps until the condition holds (or 60 s of the clock).
bool Play_Until(Program_Session& program, const std::function<bool()>& condition) {
  for (uint32_t t = 0; t < 60000; t += 100) {
    if (condition()) return true;
    program.Advance(100);
  }
  return condition();
}

void Ctrl_Esc(Program_Session& program) {
  program.Backend().Key_Down(VK_CONTROL);
  program.Backend().Key(VK_ESCAPE);
  program.Backend().Key_Up(VK_CONTROL);
  program.Run_Until_Idle();
}

// The name the user file gives as current, as the next start reads it.
std::string Current_In_File() {
  User_Database file(For_Stream);
  EXPECT_TRUE(file.Read_File());
  return file.current_user->name;
}

TEST(Person_Kept, Is_Current_Again_However_A_Demonstration_As_Demo_Stops) {
  enum How { Ctrl_Esc_As_Demo, Ctrl_Esc_In_Dialog, Closed, Killed };
  for (How how : {Ctrl_Esc_As_Demo, Ctrl_Esc_In_Dialog, Closed, Killed}) {
    SCOPED_TRACE(how);
    Program_Session program;
    program.Start();
    Become(program, "Ann", 1);
    // In the dialog that takes "Demo" on from level 1 to 2, the chord is
    // pressed as the dialog opens.
    IFS_Frame_Window* frame = program.Frame();
    int dialogs = 0;
    frame->Run_User_Dialog = [&] {
      if (++dialogs == 2 && how == Ctrl_Esc_In_Dialog) {
        EXPECT_TRUE(Demo_Current());
        program.Backend().Key_Down(VK_CONTROL);
        program.Backend().Key(VK_ESCAPE);
        program.Backend().Key_Up(VK_CONTROL);
      }
      return frame->Dialog->Execute();
    };
    The_Simulated_User->Multi_Level_Pattern_Demo();
    ASSERT_TRUE(Play_Until(program, Demo_Current));
    program.Advance(3000);  // into the first pass
    ASSERT_TRUE(Demonstration_Running());
    // Whatever "Demo" did, the file names the person: a kill now starts
    // the next run as them.
    EXPECT_EQ(Current_In_File(), "Ann");
    if (how == Killed) continue;
    if (how == Closed) {
      EXPECT_EQ(program.Stop(), 0);
      EXPECT_EQ(Current_In_File(), "Ann");
      continue;
    }
    if (how == Ctrl_Esc_In_Dialog) {
      for (uint32_t t = 0; t < 600000 && dialogs < 2; t += 500) program.Advance(500);
      program.Run_Until_Idle();
    } else {
      Ctrl_Esc(program);
    }
    EXPECT_FALSE(Dialog_Open(program));
    EXPECT_FALSE(Demonstration_Running());
    EXPECT_FALSE(The_Simulated_User->Running());
    EXPECT_EQ(The_User_Database->current_user->name, "Ann");
    EXPECT_EQ(The_User_Database->current_user->level, 1);
    EXPECT_NE(program.Frame()->Title().find("Ann at Level 2"), std::string::npos) << program.Frame()->Title();
    EXPECT_FALSE(The_User_Database->person_away);
    EXPECT_EQ(Current_In_File(), "Ann");
    // The person's input flows again.
    program.Advance(2000);
    EXPECT_FALSE(Journal_Playback_Installed());
    EXPECT_EQ(program.Stop(), 0);
    EXPECT_EQ(Current_In_File(), "Ann");
  }
}

// Ann at level 5 with unsaved manipulators or colour cycles starts the
// manipulator demonstration, which plays as "Demo" at level 4: she is asked
// once, before it plays, and her answer stands; the change to "Demo"
// neither asks nor saves.
TEST(Person_Kept, Unsaved_Work_Is_Offered_Before_The_Demonstration_Takes_Over) {
  struct Case {
    bool cycles;  // else manipulators
    int answer;
  } cases[] = {{false, IDYES}, {false, IDNO}, {true, IDYES}, {true, IDNO}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.cycles ? "cycles " : "manipulators ") + (c.answer == IDYES ? "yes" : "no"));
    Program_Session program;
    program.Start();
    Become(program, "Ann", 4);
    std::vector<std::string> asked;
    bool asked_during = false;
    Set_Message_Box_Hook([&](const TMessage_Box_Request& r) {
      asked.push_back(r.caption + ": " + r.text);
      asked_during = asked_during || Demonstration_Running();
      EXPECT_EQ(r.type, UINT(MB_YESNO | MB_ICONQUESTION));
      return c.answer;
    });
    User ann(4, "Ann");
    const std::string file = c.cycles ? ann.File_Path("clr") : ann.File_Path("man", 4);
    ASSERT_FALSE(std::filesystem::exists(file));
    if (c.cycles) {
      Color_Cycle_Window& cycles = *program.Main()->color_cycles;
      cycles.current[4].colors[2] = TColor(200, 0, 0);
      cycles.dirty = 1u << 4;
    } else {
      program.Main()->manipulator_palette->Modified = true;
    }
    The_Simulated_User->Manipulator_Demo();
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0], c.cycles ? "User Change: Save changes to color cycles belonging to Ann?"
                                 : "User Change: Save changes to shape manipulators belonging to Ann?");
    EXPECT_EQ(std::filesystem::exists(file), c.answer == IDYES);
    ASSERT_TRUE(Play_Until(program, Demo_Current));
    ASSERT_TRUE(Play_Until(program, [&] { return program.Main()->editor->Is_Open(); }));
    program.Advance(1000);
    EXPECT_EQ(asked.size(), 1u);
    EXPECT_FALSE(asked_during);
    EXPECT_EQ(std::filesystem::exists(file), c.answer == IDYES);
    // Stopped while "Demo" edits its manipulator: the edit goes with "Demo".
    Ctrl_Esc(program);
    EXPECT_FALSE(program.Main()->editor->Is_Open());
    EXPECT_EQ(The_User_Database->current_user->name, "Ann");
    EXPECT_EQ(asked.size(), 1u);
    EXPECT_EQ(std::filesystem::exists(file), c.answer == IDYES);
    // Her own again: nothing of hers is pending to be asked about at exit.
    EXPECT_EQ(program.Stop(), 0);
    EXPECT_EQ(asked.size(), 1u);
  }
}

// Stalled with nothing playing (here a dialog that did not go the
// demonstration's way), the caption still offers Ctrl+Esc, and it works.
TEST(Person_Kept, Ctrl_Esc_Ends_A_Demonstration_That_Plays_Nothing) {
  Program_Session program;
  program.Start();
  Become(program, "Ann", 1);
  program.Frame()->Run_User_Dialog = [] { return IDCANCEL; };
  The_Simulated_User->Multi_Level_Pattern_Demo();
  ASSERT_TRUE(Play_Until(program, [] { return !Journal_Playback_Installed(); }));
  ASSERT_TRUE(Demonstration_Running());
  Ctrl_Esc(program);
  EXPECT_FALSE(Demonstration_Running());
  EXPECT_EQ(program.Frame()->Title().find("CTRL-ESC"), std::string::npos);
  EXPECT_EQ(The_User_Database->current_user->name, "Ann");
  EXPECT_EQ(program.Stop(), 0);
}

}  // namespace
