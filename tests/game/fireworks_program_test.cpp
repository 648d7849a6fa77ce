// The show in the running program: the drawing window plays it over its
// dimmed drawing and, when it is over, shows the drawing as it was.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

#include "game/fireworks_factory.h"
#include "game/fireworks_viewer.h"
#include "tests/program/program_session.h"
#include "toolkit/small_utilities.h"
#include "workspace/drawing_window.h"

namespace {

TEST(Fireworks_Program, The_Show_Plays_Over_The_Dimmed_Drawing_Which_Comes_Back_Unchanged) {
  Program_Session program;
  program.Start();
  IFS_Main_Window& main = *program.Main();
  program.Draw_Block();
  const TRect area = main.drawing_window->GetWindowRect();
  const std::vector<uint32_t> before = program.Backend().Presented_Pixels(area);
  Set_Random_State(31);
  main.fireworks_factory->Start(1, 2);
  main.drawing_window->Show_Fireworks();
  program.Run_Until_Idle();
  ASSERT_TRUE(main.fireworks_viewer->Playing());
  // The player paces its frames on the clock: move it on in frame steps,
  // giving the player a moment each time, to the middle of the show.
  for (int i = 0; i < 26; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
    program.Advance(90);
  }
  // A player starved on a busy machine may be behind the clock: with the
  // clock standing, it is given the time to show the frames already due.
  const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(120);
  std::vector<uint32_t> mid_show = program.Backend().Presented_Pixels(area);
  while (mid_show == before && std::chrono::steady_clock::now() < give_up) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
    program.Run_Until_Idle();
    mid_show = program.Backend().Presented_Pixels(area);
  }
  EXPECT_NE(mid_show, before);
  program.Snapshot("fireworks_in_the_program");
  // A repaint of the window mid-show (a box closed over it) paints the
  // dimmed picture under the sparks, not the drawing: the show goes on
  // changing only where its sparks are.
  auto undimmed = [&](const std::vector<uint32_t>& shown) {
    size_t same = 0;
    for (size_t i = 0; i < shown.size() && i < before.size(); ++i) same += shown[i] == before[i];
    return same;
  };
  main.drawing_window->Invalidate();
  program.Run_Until_Idle();
  EXPECT_LT(undimmed(program.Backend().Presented_Pixels(area)), (undimmed(mid_show) + before.size()) / 2);
  // The rest of the show, however long a busy machine keeps the player from
  // catching up with the clock.
  const auto end_by = std::chrono::steady_clock::now() + std::chrono::seconds(120);
  for (int i = 0; (i < 400 || std::chrono::steady_clock::now() < end_by) && main.fireworks_viewer->Playing(); ++i) {
    program.Advance(50);
    if (i >= 400) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  EXPECT_FALSE(main.fireworks_viewer->Playing());
  // The player tells the window of the end by a message it posts after it
  // stops playing: the window repaints once that message has come.
  const auto repainted_by = std::chrono::steady_clock::now() + std::chrono::seconds(120);
  program.Run_Until_Idle();
  while (program.Backend().Presented_Pixels(area) != before && std::chrono::steady_clock::now() < repainted_by) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
    program.Run_Until_Idle();
  }
  EXPECT_EQ(program.Backend().Presented_Pixels(area), before);
  program.Snapshot("fireworks_in_the_program_after");
  EXPECT_EQ(program.Stop(), 0);
}

}  // namespace
