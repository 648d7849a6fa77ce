// The match-game demonstration's setting of the safari controls: which
// cells it clicks and which handle it drags, by level, difficulty and the
// setting in force; the show it prepares for its run; its whole run.
#include <gtest/gtest.h>

#include "app/ifs_main_window.h"
#include "demos/simulated_user.h"
#include "game/fireworks_factory.h"
#include "game/safari_controls.h"
#include "tests/program/program_session.h"
#include "help/help_window.h"
#include "toolkit/demonstration_state.h"
#include "users/user_database.h"

namespace {

using A = User_Action;

// Ctrl+Esc, which stops any demonstration.
void Stop_With_Ctrl_Esc(Program_Session& program) {
  program.Backend().Key_Down(VK_CONTROL);
  program.Backend().Key(VK_ESCAPE);
  program.Backend().Key_Up(VK_CONTROL);
  program.Run_Until_Idle();
}

// The gestures at the safari controls: "click n" or "drag m-n" by cell.
std::vector<std::string> Gestures(const Simulated_User& driver, const Safari_Controls& safari) {
  auto cell = [&](int32_t x, int32_t y) {
    for (int i = 0; i < 12; ++i)
      if (safari.Control_Screen_Point(i) == TPoint(x, y)) return i;
    return -1;
  };
  std::vector<std::string> out;
  const auto& q = driver.Queue();
  for (size_t i = 0; i < q.size(); ++i) {
    if (q[i].kind != A::Left_Down) continue;
    const int at = cell(q[i].x, q[i].y);
    if (i + 2 < q.size() && q[i + 1].kind == A::Glide) {
      out.push_back("drag " + std::to_string(at) + "-" + std::to_string(cell(q[i + 1].x, q[i + 1].y)));
    } else {
      out.push_back("click " + std::to_string(at));
    }
  }
  return out;
}

TEST(Game_Demo, Sets_The_Safari_Controls_To_The_Levels_Setting) {
  struct Case {
    int32_t level, difficulty, a, b;
    std::vector<std::string> expected;
  } cases[] = {
      {2, 0, 3, 6, {"click 1", "drag 7-4", "click 0"}},
      {1, 1, 1, 1, {"drag 2-5", "click 4", "click 0"}},
      {0, 0, 1, 1, {"click 0"}},
  };
  Program_Session program;
  program.Start();
  Safari_Controls& safari = *program.Main()->safari_controls;
  for (const Case& c : cases) {
    program.Change_User("Ann", c.level);
    safari.A = c.a;
    safari.B = c.b;
    The_Simulated_User->Start_Game_Demo(c.difficulty);
    EXPECT_EQ(The_Simulated_User->Mode(), Simulated_User::Game_Mode);
    EXPECT_EQ(Gestures(*The_Simulated_User, safari), c.expected) << c.level << " " << c.difficulty;
    EXPECT_EQ(The_Simulated_User->Queue().back().kind, A::Hold);
    Stop_With_Ctrl_Esc(program);
    EXPECT_FALSE(Demonstration_Running());
  }
  EXPECT_EQ(program.Stop(), 0);
}

// The show that will end the demonstration's run is one wave of a
// fireworks, not the b waves a person's run of that setting earns: it is
// made as the run starts, at the setting the demonstration chose.
TEST(Game_Demo, Prepares_One_Wave_Of_Fireworks_For_Its_Run) {
  Program_Session program;
  program.Start();
  program.Change_User("Ann", 2);
  Safari_Controls& safari = *program.Main()->safari_controls;
  const Fireworks_Factory& fireworks = *program.Main()->fireworks_factory;
  for (int32_t difficulty : {0, 1}) {
    The_Simulated_User->Start_Game_Demo(difficulty);
    for (uint32_t t = 0; t < 30000 && !safari.Run_In_Progress(); t += 500) program.Advance(500);
    ASSERT_TRUE(safari.Run_In_Progress());
    ASSERT_GT(safari.B, 1);  // else one wave would be all of them
    EXPECT_EQ(std::pair(fireworks.Per_Wave(), fireworks.Show_Fireworks()), std::pair(safari.A, safari.A))
        << "a " << safari.A << ", b " << safari.B;
    Stop_With_Ctrl_Esc(program);
    EXPECT_FALSE(Demonstration_Running());
  }
  EXPECT_EQ(program.Stop(), 0);
}

// Both difficulties at level 2 played to the end: the run is rebuilt by the
// very manipulators that made it, the fireworks end it, help comes back,
// and the person gets no points for it.
TEST(Game_Demo, Plays_A_Whole_Run_And_Gives_No_Points) {
  Program_Session program;
  program.Start();
  program.Change_User("Ann", 1);
  const int32_t points = The_User_Database->current_user->points;
  for (int32_t difficulty : {0, 1}) {
    The_Simulated_User->Start_Game_Demo(difficulty);
    bool ended = false;
    for (uint32_t t = 0; t < 600000 && !ended; t += 500) {
      program.Advance(500);
      ended = !The_Simulated_User->Running() && !The_Simulated_User->Playing();
    }
    EXPECT_TRUE(ended) << difficulty;
    EXPECT_GT(The_Simulated_User->Game_Step_Counter, 0u);
    EXPECT_TRUE(The_Help_Window->IsWindowVisible());
    EXPECT_EQ(The_User_Database->current_user->points, points);
    EXPECT_EQ(The_User_Database->current_user->level, 1);
    program.Key(VK_ESCAPE);  // help closes
    program.Run_Until_Idle();
  }
  EXPECT_EQ(program.Stop(), 0);
}

// The person's setting comes back however the demonstration ends: played
// to its end (help comes back) or stopped with Ctrl+Esc in the middle of
// its run, which ends that run.
TEST(Game_Demo, Gives_Back_The_Persons_Setting) {
  struct Case {
    int32_t level, difficulty, a, b;
    bool stopped;  // or played to its end
  } cases[] = {{2, 0, 3, 6, true}, {2, 0, 3, 6, false}};
  Program_Session program;
  program.Start();
  Safari_Controls& safari = *program.Main()->safari_controls;
  for (const Case& c : cases) {
    program.Change_User("Ann", c.level);
    safari.A = c.a;
    safari.B = c.b;
    The_Simulated_User->Start_Game_Demo(c.difficulty);
    if (c.stopped) {
      for (uint32_t t = 0; t < 30000 && !safari.Run_In_Progress(); t += 500) program.Advance(500);
      program.Advance(2000);
      ASSERT_TRUE(safari.Run_In_Progress());
      ASSERT_NE(std::pair(safari.A, safari.B), std::pair(c.a, c.b));
      Stop_With_Ctrl_Esc(program);
    } else {
      for (uint32_t t = 0; t < 600000 && (The_Simulated_User->Running() || The_Simulated_User->Playing()); t += 500)
        program.Advance(500);
      program.Key(VK_ESCAPE);  // help closes
      program.Run_Until_Idle();
    }
    EXPECT_FALSE(The_Simulated_User->Running());
    EXPECT_FALSE(safari.Run_In_Progress()) << c.level;
    EXPECT_EQ(std::pair(safari.A, safari.B), std::pair(c.a, c.b)) << c.level;
  }
  EXPECT_EQ(program.Stop(), 0);
}

}  // namespace
