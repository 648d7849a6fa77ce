// The program as a person uses it: a manipulator chosen on the palette
// works on the drawing (applied, iterated, undone, reviewed), and the
// editor opened from the palette gives the drawing window back on OK.
#include <gtest/gtest.h>

#include "game/safari_controls.h"
#include "manipulators/shape_transform_window.h"
#include "manipulators/transform_edit_window.h"
#include "manipulators/transform_palette.h"
#include "tests/program/program_session.h"
#include "toolkit/mouse.h"
#include "workspace/drawing_window.h"
#include "workspace/review_window.h"

namespace {

// Corners of the round windows.
constexpr int Review_Corner = 0, Iterate_Corner = 1, Undo_Corner = 2;
constexpr int OK_Corner = 3;

}  // namespace

TEST(Program, A_Manipulator_From_The_Palette_Is_Applied_Iterated_Undone_Reviewed_And_Edited) {
  Program_Session program;
  program.Start();
  IFS_Main_Window& main = *program.Main();
  // Level 4: the palette has its Edit button.
  program.Change_User("Ann", 3);
  Drawing_Window& drawing = *main.drawing_window;
  program.Draw_Block();
  Shape_Transform_Window& page = *main.manipulator_palette->Window();

  program.Click(page.Slot_Screen_Point(0));
  ASSERT_NE(drawing.manipulator, nullptr);
  EXPECT_EQ(drawing.history.size(), 1u) << "one step at once";

  program.Click(drawing.Corner_Screen_Point(Iterate_Corner));
  EXPECT_TRUE(drawing.Is_Iterating());
  for (int i = 0; i < 600 && drawing.Is_Iterating(); ++i) program.Advance(50);
  EXPECT_FALSE(drawing.Is_Iterating());
  const size_t iterated = drawing.history.size();
  EXPECT_GT(iterated, 1u);

  program.Click(drawing.Corner_Screen_Point(Undo_Corner));
  EXPECT_LT(drawing.history.size(), iterated);

  program.Click(drawing.Corner_Screen_Point(Review_Corner));
  ASSERT_TRUE(drawing.Review_Open());
  EXPECT_EQ(main.Active_Window(), main.review_window);
  program.Click(main.review_window->Corner_Screen_Point(OK_Corner));
  EXPECT_FALSE(drawing.Review_Open());
  EXPECT_EQ(main.Active_Window(), main.drawing_window);

  program.Click(page.Edit_Button_Screen_Point());
  ASSERT_TRUE(main.editor->Is_Open());
  EXPECT_TRUE(main.editor->IsWindowVisible());
  EXPECT_FALSE(drawing.IsWindowVisible());
  EXPECT_EQ(main.Active_Window(), main.editor);
  program.Snapshot("program_editing");
  program.Click(main.editor->Corner_Screen_Point(OK_Corner));
  EXPECT_FALSE(main.editor->Is_Open());
  EXPECT_FALSE(main.manipulator_palette->Editing());
  EXPECT_TRUE(drawing.IsWindowVisible());
  EXPECT_EQ(main.Active_Window(), main.drawing_window);
  EXPECT_EQ(program.Stop(), 0);
}

TEST(Program, A_Pointer_Jumping_From_Corner_To_Corner_And_Away_Leaves_The_Mouse_Free) {
  Program_Session program;
  program.Start();
  Drawing_Window& drawing = *program.Main()->drawing_window;
  // Two corners and away: the jump lets no notice of a lost mouse arrive
  // after the second corner took the mouse, which would strand the hold.
  for (int corner : {Iterate_Corner, Undo_Corner}) {
    program.Backend().Move_To(drawing.Corner_Screen_Point(corner));
    program.Run_Until_Idle();
  }
  program.Backend().Move_To(Program_Session::Center_Of(program.Main()->safari_controls));
  program.Run_Until_Idle();
  EXPECT_EQ(The_Mouse->Holder(), nullptr);
}
