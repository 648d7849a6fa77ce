// A drawing iterated through the colour cycle the panel has chosen: every
// step moves the colours one place along it, a colour painted into the
// cycle during the run acts from the next step, and the run goes on at the
// user's speed for as long as the colours change.
#include "tests/workspace/workspace_fixture.h"

namespace {

TEST_F(Drawing_Window_Test, A_Followed_Cycle_Recolours_Step_By_Step_And_Takes_Edits_At_Once) {
  Color_Transform chosen;  // as the panel keeps it
  chosen.count = 3;
  chosen.colors = {In_Palette(TColor(233, 0, 0)), In_Palette(TColor(0, 233, 0)), In_Palette(TColor(0, 0, 233))};
  window->Set_Drawing(Filled_Square(chosen.colors[0]), true);
  window->Follow_Color_Cycle(&chosen);
  window->Apply_Manipulator(Make_Set({{1, 0, 0, 1, 0, 0}}, 1), false);
  window->Start_Iterating();

  auto next_step = [&] {
    const size_t before = window->history.size();
    for (int i = 0; i < 200 && window->history.size() == before; ++i) session.Advance(20);
    return window->history.size() > before;
  };
  for (int step = 1; step <= 4; ++step) {
    ASSERT_TRUE(next_step()) << step;
    EXPECT_TRUE(Same(*window->current.picture, *Filled_Square(chosen.colors[size_t(step % 3)]))) << step;
  }
  // Step 4 showed colour 1 and step 5 is already being made; a colour
  // painted into the cycle now acts from the step after it.
  const TColor old_blue = chosen.colors[2];
  chosen.colors[0] = In_Palette(TColor(233, 0, 233));
  ASSERT_TRUE(next_step());
  EXPECT_TRUE(Same(*window->current.picture, *Filled_Square(old_blue)));
  ASSERT_TRUE(next_step());
  EXPECT_TRUE(Same(*window->current.picture, *Filled_Square(chosen.colors[0])));
  EXPECT_TRUE(window->keep_going);
  EXPECT_EQ(window->interval, window->speed);
  for (int step = 0; step < 12; ++step) ASSERT_TRUE(next_step()) << step;  // past the step limit
  EXPECT_TRUE(window->Is_Iterating());

  // Choosing another cycle (cycle 1: no cycling) ends the run.
  const Color_Transform none;
  window->Follow_Color_Cycle(&none);
  EXPECT_FALSE(window->Is_Iterating());
  EXPECT_EQ(window->color_cycle.count, 0);
}

}  // namespace
