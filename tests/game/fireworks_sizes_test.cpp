// The show in the running program at layout sizes whose drawing side is a
// multiple of 4 (576 at 1024 x 768) or not (810 at 1920 x 1080, 811 at
// 1920 x 1082), where the picture pool pads the rows of its pictures: the
// frames play over the dimmed drawing one after another, and the drawing
// comes back unchanged.
#include <gtest/gtest.h>

#include <chrono>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "game/fireworks_factory.h"
#include "game/fireworks_viewer.h"
#include "tests/program/program_session.h"
#include "toolkit/small_utilities.h"
#include "workspace/drawing_window.h"

namespace {

struct Screen_Case {
  TSize screen;
  int side;
};

class Fireworks_Sizes : public testing::TestWithParam<Screen_Case> {};

TEST_P(Fireworks_Sizes, The_Show_Plays_Frame_After_Frame_And_The_Drawing_Comes_Back) {
  const Screen_Case c = GetParam();
  Program_Session program({.screen = c.screen});
  program.Start();
  IFS_Main_Window& main = *program.Main();
  ASSERT_EQ(main.fireworks_factory->Frame_Side(), c.side);
  program.Draw_Block();
  const TRect area = main.drawing_window->GetWindowRect();
  const std::vector<uint32_t> before = program.Backend().Presented_Pixels(area);
  Set_Random_State(31);
  main.fireworks_factory->Start(1, 2);
  main.drawing_window->Show_Fireworks();
  program.Run_Until_Idle();
  ASSERT_TRUE(main.fireworks_viewer->Playing());
  // The player paces its frames on the clock: moved on in frame steps, with
  // a moment for the player each time, the screen shows one frame after
  // another. A player starved on a busy machine falls behind the clock and
  // catches up in a burst; for the first frames of the show, each of which
  // differs from the one before, the clock waits for it to show the frame.
  const int waited_frames = 12;
  const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(120);
  std::set<std::vector<uint32_t>> shown;
  std::vector<uint32_t> last = before;
  for (int i = 0; (i < 400 || std::chrono::steady_clock::now() < give_up) && main.fireworks_viewer->Playing(); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
    program.Advance(90);
    std::vector<uint32_t> now = program.Backend().Presented_Pixels(area);
    while (i < waited_frames && now == last && main.fireworks_viewer->Playing() &&
           std::chrono::steady_clock::now() < give_up) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
      program.Run_Until_Idle();
      now = program.Backend().Presented_Pixels(area);
    }
    shown.insert(now);
    last = std::move(now);
    if (i == 26) program.Snapshot("fireworks_side_" + std::to_string(c.side));
  }
  EXPECT_FALSE(main.fireworks_viewer->Playing());
  EXPECT_GE(shown.size(), 10u) << "the frames were not shown";
  // The end of the show comes to the window by a message the player posts
  // after it stops playing: the window repaints once that message has come.
  const auto repainted_by = std::chrono::steady_clock::now() + std::chrono::seconds(120);
  program.Run_Until_Idle();
  while (program.Backend().Presented_Pixels(area) != before && std::chrono::steady_clock::now() < repainted_by) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
    program.Run_Until_Idle();
  }
  EXPECT_EQ(program.Backend().Presented_Pixels(area), before);
  EXPECT_EQ(program.Stop(), 0);
}

INSTANTIATE_TEST_SUITE_P(Sides, Fireworks_Sizes,
                         testing::Values(Screen_Case{{1024, 768}, 576}, Screen_Case{{1920, 1080}, 810},
                                         Screen_Case{{1920, 1082}, 811}),
                         [](const testing::TestParamInfo<Screen_Case>& info) {
                           return "Side_" + std::to_string(info.param.side);
                         });

}  // namespace
