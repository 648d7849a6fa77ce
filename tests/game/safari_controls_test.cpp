// The safari strip in the running program: its layout at each level, the
// cells and the album that set the two numbers, the hover tips, and whole
// runs played as a child plays them, by rebuilding each target from its
// recipe with the palette's manipulators.
#include "game/safari_controls.h"

#include <gtest/gtest.h>

#include <functional>

#include "game/shape_album.h"
#include "game/shape_target.h"
#include "game/target_generator.h"
#include "manipulators/shape_transform_window.h"
#include "manipulators/transform_palette.h"
#include "platform/window/command_enabler.h"
#include "platform/window/user.h"
#include "tests/program/program_session.h"
#include "toolkit/mouse.h"
#include "toolkit/program_messages.h"
#include "toolkit/round_button.h"
#include "toolkit/sound_library.h"
#include "toolkit/sound_player.h"
#include "toolkit/sound_wave.h"
#include "toolkit/tip_window.h"
#include "users/user_database.h"
#include "workspace/drawing_window.h"
#include "workspace/shape_palette.h"

namespace {

// The show over the drawing: over as soon as it starts, as a real show is
// once its frames have played.
struct Quick_Show : Fireworks_Show {
  bool Playing() const override { return false; }
  void Stop() override {}
  void Play(const Shape_Drawing&, TDC&, const TRect&) override {
    ++plays;
    window->PostMessage(Fireworks_Finished_Message);
  }
  TWindow* window = nullptr;
  int plays = 0;
};

constexpr int Clear_Corner = 3;

class Safari_Test : public testing::Test {
 protected:
  void SetUp() override {
    program.Start();
    main = program.Main();
    ASSERT_NE(main, nullptr);
    safari = main->safari_controls;
    show.window = main->drawing_window;
    real_show = main->drawing_window->fireworks;
    main->drawing_window->Set_Fireworks(&show);
  }
  void TearDown() override {
    if (main) main->drawing_window->Set_Fireworks(real_show);
  }

  TPoint Screen(const TPoint& client) const {
    TPoint p = client;
    safari->ClientToScreen(p);
    return p;
  }
  TPoint Centre(const TRect& r) const { return Screen(TPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2)); }
  // Drags the album's middle by dx pixels and lets go; held runs while the
  // button is down, before the move.
  void Drag_Album(int dx, const std::function<void(TPoint)>& held = {}) {
    const TPoint from = Centre(safari->Album_Rect);
    program.Backend().Move_To(from);
    program.Run_Until_Idle();
    program.Backend().Press(from);
    program.Run_Until_Idle();
    if (held) held(from);
    const TPoint to(from.x + dx, from.y);
    program.Backend().Move_To(to);
    program.Run_Until_Idle();
    program.Backend().Release(to);
    program.Run_Until_Idle();
  }
  int32_t Points() const { return The_User_Database->current_user->points; }
  // A change to a different person (not a rename) with that level.
  void Change_Person(const std::string& name, int32_t level) {
    program.Frame()->Run_User_Dialog = [name, level] {
      User_Database& db = *The_User_Database;
      db.previous_user = *db.current_user;
      db.current_user->name = name;
      db.current_user->level = level;
      db.current_user->source_record = nullptr;
      return 1;
    };
    program.Click(Program_Session::Center_Of(main->name_button));
  }
  bool Match_Enabled() {
    TCommandEnabler probe(Safari_Controls::Match_Command);
    safari->EvCommandEnable(probe);
    return probe.Enabled();
  }

  // Plays the current stage: the start shape when the drawing has none,
  // then the recipe's steps this stage adds, chosen on the palette.
  void Play_Stage() {
    Shape_Target& target = *safari->Current_Target();
    Drawing_Window& drawing = *main->drawing_window;
    if (!drawing.start_shape) {
      Shape_Button* button = nullptr;
      for (Shape_Button* b : main->shape_palette->Buttons)
        if (b && b->Shape_Of == target.Start_Shape()) button = b;
      ASSERT_NE(button, nullptr);
      program.Click(Program_Session::Center_Of(button));
    }
    target.Rewind_Steps();
    int32_t section = 0, index = 0;
    bool repeat = false;
    const int32_t first = safari->Done - safari->A;
    for (int32_t i = 0; i < safari->Done; ++i) {
      const auto set = target.Next_Step(section, index, repeat);
      ASSERT_NE(set, nullptr);
      if (i < first) continue;
      Apply(section, index, *set);
    }
  }
  // A step from the palette: its cell, clicked; a recorded step (from the
  // player's drawing) straight to the drawing window.
  void Apply(int32_t section, int32_t index, const Transform_Set_2D& set) {
    Drawing_Window& drawing = *main->drawing_window;
    const size_t before = drawing.history.size();
    if (section < 0) {
      drawing.Apply_Manipulator(std::make_shared<Transform_Set_2D>(set), true);
    } else {
      Transform_Palette& palette = *main->manipulator_palette;
      palette.Select_Cell(section, index);
      program.Run_Until_Idle();
      program.Click(palette.Slot_Screen_Points(section, index, nullptr));
    }
    EXPECT_EQ(drawing.history.size(), before + 1) << "one step applied";
  }
  // Moves the clock until the camera has arrived and the next stage is set,
  // or the run is over.
  void Let_Camera_Move() {
    for (int i = 0; i < 400 && safari->Run_In_Progress() && safari->Shown == safari->Done; ++i) program.Advance(20);
  }
  void Let_Camera_Return() {
    for (int i = 0; i < 1000 && (safari->Returning || safari->Show_Due); ++i) program.Advance(20);
  }
  // Sets (a, b) as the player does: a back to 1, the album to b, then
  // the cell for a.
  void Set_Pair(int32_t a, int32_t b) {
    const int32_t pitch = safari->Cells[2].left - safari->Cells[1].left;
    if (safari->A != 1) program.Click(Centre(safari->Cells[1]));
    if (b != safari->B) Drag_Album((b - safari->B) * pitch);
    if (a != 1) program.Click(Centre(safari->Cells[size_t(a)]));
    ASSERT_EQ(std::tuple(safari->A, safari->B, safari->Album_Cell()), std::tuple(a, b, b));
  }

  explicit Safari_Test(TSize screen = TSize(1024, 768)) : program({.screen = screen}) {}

  Program_Session program;
  IFS_Main_Window* main = nullptr;
  Safari_Controls* safari = nullptr;
  Quick_Show show;
  Fireworks_Show* real_show = nullptr;
};

TEST_F(Safari_Test, The_Strip_Stands_Under_The_Drawing_With_Cells_Camera_And_Album_At_Each_Level) {
  for (int32_t level : {0, 1, 2, 3}) {
    SCOPED_TRACE(level);
    program.Change_User("Ann", level);
    EXPECT_TRUE(safari->IsWindowVisible() && safari->IsWindowEnabled());
    const int32_t initial = Safari_Level_Tables::Initial_Step_Count[size_t(level)];
    EXPECT_EQ(std::tuple(safari->A, safari->B, safari->Album_Cell()), std::tuple(1, initial, initial));
    EXPECT_EQ(safari->Camera_Rect.left, safari->Cells[0].left);
    // Cells are equally spaced; the camera and the album stay inside.
    const TRect client = safari->GetClientRect();
    EXPECT_EQ(safari->Cells[2].left - safari->Cells[1].left, safari->Cells[7].left - safari->Cells[6].left);
    EXPECT_TRUE(client.Contains(safari->Camera_Rect));
    EXPECT_TRUE(client.Contains(safari->Album_Rect));
    EXPECT_EQ(safari->Hit_Test(safari->Camera_Rect.TopLeft()), Safari_Controls::Start);
    EXPECT_EQ(safari->Hit_Test(safari->Album_Rect.TopLeft().Offset_By(1, 1)), Safari_Controls::Handle);
    int32_t cell = 0;
    EXPECT_EQ(safari->Hit_Test(safari->Cells[1].TopLeft(), &cell), Safari_Controls::Cell);
    EXPECT_EQ(cell, 1);
    // Cells beyond b are under or past the album: no cell there.
    EXPECT_NE(safari->Hit_Test(safari->Cells[size_t(initial + 1)].TopLeft().Offset_By(8, 8)), Safari_Controls::Cell);
    program.Snapshot("safari_level_" + std::to_string(level + 1));
  }
  // Level 5 has no game: hidden and disabled, and back again at 4.
  program.Change_User("Ann", 4);
  EXPECT_FALSE(safari->IsWindowVisible() || safari->IsWindowEnabled());
  program.Change_User("Ann", 3);
  EXPECT_TRUE(safari->IsWindowVisible() && safari->IsWindowEnabled());
}

TEST_F(Safari_Test, Hovering_Shows_Each_Control_Its_Tip) {
  program.Change_User("Ann", 2);
  const struct {
    TRect rect;
    const char* tip;
  } items[] = {{safari->Camera_Rect, "Start Safari"}, {safari->Cells[2], "Set First Visible Step"},
               {safari->Album_Rect, "Set Step Count"}};
  for (const auto& item : items) {
    program.Backend().Move_To(Centre(item.rect));
    program.Run_Until_Idle();
    program.Advance(Tip_Window::Show_Delay + 100);
    EXPECT_TRUE(The_Tip_Window->Shown) << item.tip;
    EXPECT_STREQ(The_Tip_Window->Item, item.tip);
    EXPECT_TRUE(The_Mouse->Holds(safari));
    program.Snapshot(std::string("safari_tip_") + item.tip);
  }
  // Off every control: no tip, the mouse let go.
  program.Backend().Move_To(Screen(TPoint(safari->GetClientRect().right - 2, 2)));
  program.Run_Until_Idle();
  EXPECT_FALSE(The_Tip_Window->Shown);
  EXPECT_FALSE(The_Mouse->Holds(safari));
}

TEST_F(Safari_Test, A_Cell_Sets_The_First_Step_And_The_Album_Sets_The_Step_Count) {
  program.Change_User("Ann", 2);  // level 3: (1, 3), bound 6
  ASSERT_EQ(std::tuple(safari->A, safari->B), std::tuple(1, 3));
  const int32_t pitch = safari->Cells[2].left - safari->Cells[1].left;
  // The album two cells right: b = 5. While it is held, the pointer can
  // move it only between the cells for 1 and for the bound.
  Drag_Album(2 * pitch, [&](TPoint from) {
    TRect clip;
    ASSERT_TRUE(GetClipCursor(clip));
    EXPECT_EQ(clip.left, from.x - (3 - 1) * pitch);
    EXPECT_EQ(clip.right - 1, from.x + (6 - 3) * pitch);
  });
  EXPECT_EQ(std::tuple(safari->A, safari->B, safari->Album_Cell()), std::tuple(1, 5, 5));
  // Cell 3: a = 3, b to the nearer multiple, 6; the album follows.
  program.Click(Centre(safari->Cells[3]));
  EXPECT_EQ(std::tuple(safari->A, safari->B, safari->Album_Cell()), std::tuple(3, 6, 6));
  program.Snapshot("safari_three_six");
  // The album dropped left of a: both become the cell.
  Drag_Album(-4 * pitch);
  EXPECT_EQ(std::tuple(safari->A, safari->B), std::tuple(2, 2));
  // Far left: it stops at the cell for 1; far right, at the bound.
  Drag_Album(-10 * pitch);
  EXPECT_EQ(std::tuple(safari->A, safari->B, safari->Album_Cell()), std::tuple(1, 1, 1));
  Drag_Album(20 * pitch);
  EXPECT_EQ(std::tuple(safari->A, safari->B, safari->Album_Cell()), std::tuple(1, 6, 6));
  // The pointer is free again after the drag.
  TRect clip;
  ASSERT_TRUE(GetClipCursor(clip));
  EXPECT_EQ(clip.Width(), program.Backend().Screen_Size().cx) << "free again";
  program.Snapshot("safari_one_six");
  // Level 1 reaches cell 2 at most.
  program.Change_User("Ann", 0);
  EXPECT_EQ(std::tuple(safari->A, safari->B), std::tuple(1, 1));
  Drag_Album(20 * pitch);
  EXPECT_EQ(std::tuple(safari->A, safari->B, safari->Album_Cell()), std::tuple(1, 2, 2));
}

// The camera advances one cell per click, so a long click would make it
// crawl; the fireworks wait for the fanfare's end.
TEST_F(Safari_Test, The_Click_Paces_The_Camera_And_The_Fanfare_Is_Short) {
  const Sound_Wave* click = The_Sound_Library->Sound(Safari_Controls::Step_Sound);
  const Sound_Wave* fanfare = The_Sound_Library->Sound(Safari_Controls::Complete_Sound);
  ASSERT_TRUE(click && click->Is_Valid() && fanfare && fanfare->Is_Valid());
  EXPECT_GE(click->Get_Length(Sound_Milliseconds), 100);
  EXPECT_LE(click->Get_Length(Sound_Milliseconds), 250);
  EXPECT_GE(fanfare->Get_Length(Sound_Milliseconds), 1000);
  EXPECT_LE(fanfare->Get_Length(Sound_Milliseconds), 2000);
}

TEST_F(Safari_Test, Match_This_Is_Offered_Once_The_Drawing_Has_Its_Steps) {
  program.Change_User("Ann", 1);  // (1, 2)
  program.Run_Until_Idle();
  EXPECT_TRUE(main->match_button->Is_Disabled()) << "an empty drawing";
  program.Click(Program_Session::Center_Of(main->shape_palette->Buttons[0]));
  Transform_Palette& palette = *main->manipulator_palette;
  for (int32_t index : {1, 0}) {
    palette.Select_Cell(0, index);
    program.Click(palette.Slot_Screen_Points(0, index, nullptr));
    program.Run_Until_Idle();
    EXPECT_EQ(main->match_button->Is_Disabled(), index == 1) << "steps for b = 2: " << (index == 1 ? 1 : 2);
  }
  program.Change_User("Ann", 4);
  EXPECT_TRUE(main->match_button->Is_Disabled()) << "no game at level 5";
}

// ---- Runs (with the target generator)

TEST_F(Safari_Test, Whole_Runs_At_Every_Level_Earn_Points_Move_The_Camera_And_Fill_The_Album) {
  ASSERT_TRUE(main->target_generator->Target_Coming());
  const struct {
    int32_t level, a, b;
  } runs[] = {{0, 1, 1}, {0, 1, 2}, {1, 2, 4}, {1, 1, 3}, {2, 3, 6}, {2, 2, 2}, {3, 1, 3}, {3, 2, 4}};
  for (const auto& run : runs) {
    SCOPED_TRACE(testing::Message() << "level " << run.level + 1 << " (" << run.a << ", " << run.b << ")");
    program.Change_User("Ann", run.level);
    Set_Pair(run.a, run.b);
    main->drawing_window->Clear();
    program.Run_Until_Idle();
    const int32_t points = Points();
    const Safari_Streak streak = safari->Streak;
    program.Click(safari->Panel_Screen_Point());
    ASSERT_TRUE(safari->Run_In_Progress());
    const int32_t worth = Safari_Level_Tables::Stage_Points(run.level, run.a);
    EXPECT_EQ(safari->Pending_Points, worth);
    int32_t stages = 0;
    while (safari->Run_In_Progress()) {
      ASSERT_LT(stages, run.b / run.a);
      EXPECT_EQ(safari->Camera_Rect.left, safari->Cells[size_t(safari->Done - run.a)].left);
      Play_Stage();
      ++stages;
      EXPECT_EQ(Points(), points + stages * worth) << "stage " << stages;
      Let_Camera_Move();
    }
    EXPECT_EQ(stages, run.b / run.a);
    // Complete: the streak counts a success, the album holds the photo and
    // the camera goes home once the fireworks are over.
    EXPECT_EQ(safari->Streak.Successes, streak.Successes + 1);
    EXPECT_EQ(safari->Streak.Failures, 0);
    EXPECT_TRUE(safari->Returning);
    program.Snapshot("safari_complete_" + std::to_string(run.level + 1));
    const int shows = show.plays;
    Let_Camera_Return();
    EXPECT_EQ(show.plays, shows + 1) << "the fireworks after the fanfare";
    EXPECT_FALSE(safari->Returning);
    EXPECT_EQ(safari->Camera_Rect.left, safari->Cells[0].left);
  }
}

TEST_F(Safari_Test, A_Run_Ends_On_Stop_On_A_Change_Of_Person_And_Keeps_Its_Points) {
  ASSERT_TRUE(main->target_generator->Target_Coming());
  program.Change_User("Ann", 1);
  Set_Pair(1, 4);
  program.Click(safari->Panel_Screen_Point());
  ASSERT_TRUE(safari->Run_In_Progress());
  Play_Stage();
  Let_Camera_Move();
  const int32_t earned = Points();
  EXPECT_GT(earned, 0);
  // Stop: an incomplete run, the album cleared, the camera slides home.
  program.Click(safari->Panel_Screen_Point());
  EXPECT_FALSE(safari->Run_In_Progress());
  EXPECT_EQ(main->drawing_window->target, nullptr);
  EXPECT_EQ(std::tuple(safari->Streak.Successes, safari->Streak.Failures), std::tuple(0, 1));
  EXPECT_EQ(safari->Pending_Points, -1);
  EXPECT_EQ(Points(), earned);
  Let_Camera_Return();
  EXPECT_EQ(safari->Camera_Rect.left, safari->Cells[0].left);

  // Another person at the same level: the run ends before the points could
  // go to the wrong player, and a new target is on its way.
  program.Click(safari->Panel_Screen_Point());
  ASSERT_TRUE(safari->Run_In_Progress());
  const int32_t before_change = Points();
  Change_Person("Bob", 1);
  EXPECT_FALSE(safari->Run_In_Progress());
  EXPECT_EQ(main->drawing_window->target, nullptr);
  EXPECT_EQ(safari->Pending_Points, -1);
  EXPECT_EQ(Points(), before_change);
  EXPECT_TRUE(main->target_generator->Target_Coming());
  program.Click(safari->Panel_Screen_Point());
  EXPECT_TRUE(safari->Run_In_Progress());
}

TEST_F(Safari_Test, Match_This_Turns_The_Drawing_Into_A_Run_Worth_No_Points) {
  ASSERT_TRUE(main->target_generator->Target_Coming());
  program.Change_User("Ann", 1);
  Set_Pair(1, 2);
  Drawing_Window& drawing = *main->drawing_window;
  drawing.Clear();
  // A triangle and two manipulators from the palette.
  program.Click(Program_Session::Center_Of(main->shape_palette->Buttons[0]));
  Transform_Palette& palette = *main->manipulator_palette;
  for (int32_t index : {1, 0}) {
    palette.Select_Cell(0, index);
    program.Click(palette.Slot_Screen_Points(0, index, nullptr));
  }
  ASSERT_TRUE(drawing.Has_Steps(2));
  EXPECT_TRUE(Match_Enabled());
  program.Click(Program_Session::Center_Of(main->match_button));
  ASSERT_TRUE(safari->Run_In_Progress());
  EXPECT_TRUE(safari->Current_Target()->From_Drawing());
  EXPECT_EQ(safari->Pending_Points, -1);
  EXPECT_FALSE(Match_Enabled()) << "not during a run";
  const int32_t points = Points();
  while (safari->Run_In_Progress()) {
    Play_Stage();
    Let_Camera_Move();
  }
  EXPECT_EQ(Points(), points);
  EXPECT_EQ(safari->Streak.Successes, 1);
  // Not while the camera is out or the show is due.
  EXPECT_FALSE(Match_Enabled());
  Let_Camera_Return();
}

TEST_F(Safari_Test, A_Replayed_Stage_Earns_Nothing_New_And_A_Failed_Continuation_Ends_The_Run) {
  ASSERT_TRUE(main->target_generator->Target_Coming());
  program.Change_User("Ann", 1);
  Set_Pair(1, 3);
  Drawing_Window& drawing = *main->drawing_window;
  const int32_t points = Points(), worth = Safari_Level_Tables::Stage_Points(1, 1);
  program.Click(safari->Panel_Screen_Point());
  ASSERT_TRUE(safari->Run_In_Progress());
  Shape_Target* first = safari->Current_Target();
  Play_Stage();
  Let_Camera_Move();
  ASSERT_EQ(std::tuple(safari->Current, safari->Done), std::tuple(size_t(1), 2));
  // Starting over: back to the first stage, kept in the list.
  drawing.Corner_Clicked(Clear_Corner);
  program.Run_Until_Idle();
  EXPECT_EQ(std::tuple(safari->Current, safari->Done, safari->Shown), std::tuple(size_t(0), 1, 0));
  EXPECT_EQ(safari->Current_Target(), first);
  EXPECT_EQ(safari->Camera_Rect.left, safari->Cells[0].left);
  EXPECT_EQ(drawing.target, first);
  while (safari->Run_In_Progress()) {
    Play_Stage();
    Let_Camera_Move();
  }
  EXPECT_EQ(Points(), points + 3 * worth) << "each stage paid once";
  EXPECT_EQ(safari->Streak.Successes, 1);
  Let_Camera_Return();
  // Ending no run changes nothing.
  const Safari_Streak streak = safari->Streak;
  safari->End_Run();
  EXPECT_EQ(std::tuple(safari->Streak.History, safari->Streak.Successes, safari->Streak.Failures),
            std::tuple(streak.History, streak.Successes, streak.Failures));

  // The next stage never comes: the run ends at once, its points kept.
  program.Click(safari->Panel_Screen_Point());
  ASSERT_TRUE(safari->Run_In_Progress());
  main->target_generator->Drop_All();
  const int32_t before = Points();
  Play_Stage();
  Let_Camera_Move();
  EXPECT_FALSE(safari->Run_In_Progress());
  EXPECT_EQ(Points(), before + worth);
  EXPECT_EQ(safari->Streak.Failures, 1);
  Let_Camera_Return();
  EXPECT_EQ(safari->Camera_Rect.left, safari->Cells[0].left);
  // And a new run can start again.
  program.Click(safari->Panel_Screen_Point());
  EXPECT_TRUE(safari->Run_In_Progress());
}

TEST_F(Safari_Test, Without_Sound_The_Camera_Moves_On_The_Timer) {
  ASSERT_TRUE(main->target_generator->Target_Coming());
  program.Change_User("Ann", 2);
  Set_Pair(1, 3);
  program.Click(safari->Panel_Screen_Point());
  ASSERT_TRUE(safari->Run_In_Progress());
  Sound_Player* player = The_Sound_Player;
  The_Sound_Player = nullptr;
  Play_Stage();
  // One cell now, the next on the 200 ms clock.
  EXPECT_EQ(safari->Camera_Rect.left, safari->Cells[1].left);
  program.Advance(Safari_Controls::Stage_Interval + 10);
  EXPECT_EQ(std::tuple(safari->Current, safari->Done), std::tuple(size_t(1), 2));
  The_Sound_Player = player;
}

// 1920 x 1080 gives a drawing side of 810 and 1920 x 1082 one of 811, which
// the picture pool pads to rows of 812: the hint and the match test must
// still take the pictures.
class Safari_Wide_Test : public Safari_Test, public testing::WithParamInterface<TSize> {
 protected:
  Safari_Wide_Test() : Safari_Test(GetParam()) {}
};

INSTANTIATE_TEST_SUITE_P(Screens, Safari_Wide_Test, testing::Values(TSize(1920, 1080), TSize(1920, 1082)),
                         [](const testing::TestParamInfo<TSize>& info) {
                           return std::to_string(info.param.cx) + "x" + std::to_string(info.param.cy);
                         });

TEST_P(Safari_Wide_Test, A_Drawing_Side_Off_The_Row_Padding_Still_Hints_And_Matches) {
  ASSERT_TRUE(main->target_generator->Target_Coming());
  program.Change_User("Ann", 0);
  Drawing_Window& drawing = *main->drawing_window;
  ASSERT_NE(drawing.current.picture->Width() % 4, 0);
  program.Click(safari->Panel_Screen_Point());
  ASSERT_TRUE(safari->Run_In_Progress());
  Shape_Drawing hinted(*drawing.current.picture, true);
  safari->Current_Target()->Overlay_Hint(hinted, TColor::Black);
  EXPECT_FALSE(hinted.Same_Pixels(*drawing.current.picture)) << "no hint";
  Play_Stage();
  Let_Camera_Move();
  EXPECT_FALSE(safari->Run_In_Progress());
  EXPECT_EQ(safari->Streak.Successes, 1);
}

TEST(Safari_Fireworks, The_Show_Follows_The_Kind_Of_Run) {
  using Size = Safari_Controls::Show_Size;
  struct Case {
    bool from_drawing, demonstration;
    int32_t a, b;
    Size size;
  } cases[] = {
      {false, false, 2, 6, {6, 2}},  // b waves of a
      {false, true, 2, 6, {1, 2}},   // one wave of a
      {true, false, 2, 6, {6, 1}},   // the player's own drawing: b waves of one
      {true, true, 3, 3, {3, 1}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(Safari_Controls::Fireworks_For(c.from_drawing, c.demonstration, c.a, c.b), c.size)
        << c.from_drawing << c.demonstration;
}

}  // namespace
