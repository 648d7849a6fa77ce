// The drawing window through its corners and operations on the virtual
// clock: steps of the level-1 "Five" and other sets against rendering
// straight through the model, the ways a run ends, the restart rule, undo,
// clear, the history's cap, stopping a run from every entry point, and the
// same pictures at any speed.
#include <cmath>

#include "model/shape_catalogue.h"

#include "tests/workspace/workspace_fixture.h"
#include "workspace/review_window.h"
#include "toolkit/program_messages.h"

namespace {

// The picture a record's composed maps give from its base, made straight
// through the model.
std::unique_ptr<Shape_Drawing> Rendered(const Drawing_History& record, const Centering_Transform& centering) {
  Transform_Set_2D maps;
  for (int32_t i = 0; i < record.maps.Count(); ++i) {
    const auto& m = dynamic_cast<const Affine_Transform_2D&>(*record.maps.Map(i));
    maps.Add_Map(std::make_unique<Affine_Transform_2D>(
        record.level >= 2 ? Affine_Transform_2D::Quantize(m, 1e-4f, 1e-4f, 0) : m));
  }
  Transform_Set_2D fitted;
  centering.Fit(fitted, maps);
  Shape_Drawing base(*record.base, true);
  return std::make_unique<Shape_Drawing>(base, fitted);
}

std::shared_ptr<const Transform_Set_2D> Turn(float degrees) {
  const float t = degrees * 3.14159265f / 180.0f, c = std::cos(t), s = std::sin(t);
  // About the area's centre.
  return Make_Set({{c, -s, s, c, 0.5f - 0.5f * c + 0.5f * s, 0.5f - 0.5f * s - 0.5f * c}});
}

const Map_Row Identity_Row{1, 0, 0, 1, 0, 0};

class Fake_Game : public Match_Target, public Game_Events {
 public:
  bool Matches(Shape_Drawing&, const Shape*, const Point_Set_2D*) override { return ++tests >= match_at; }
  void Overlay_Hint(Shape_Drawing&, TColor) override { ++hints; }
  void Target_Matched() override { log += "matched "; }
  void Reset_Target() override { log += "reset "; }
  void End_Run() override { log += "end "; }
  void Start_Animation() override { log += "animation "; }
  int tests = 0, match_at = 1000, hints = 0;
  std::string log;
};

}  // namespace

TEST_F(Drawing_Window_Test, Geometry_Avoids_Thirds_And_Fit_Keeps_Order) {
  EXPECT_EQ(window->geometry.inner_rel.Width(), Side());
  // A relative side that is a multiple of 3 loses a pixel; any other stays.
  for (int width = 300; width < 1500; ++width) {
    const Drawing_Area_Geometry g(width, width, 12, 1);
    const int side = g.area.Width() - (g.area.Width() % 3 == 0);
    ASSERT_EQ(g.area_rel.Size(), TSize(side, side)) << width;
  }
  Transform_Set_2D thirteen, fitted;
  for (int i = 0; i < 13; ++i) thirteen.Add_Map(std::make_unique<Affine_Transform_2D>(float(i) / 16, 0.0f));
  EXPECT_EQ(thirteen.Count(), 12);
  window->centering.Fit(fitted, thirteen);
  ASSERT_EQ(fitted.Count(), 12);
  const Affine_Transform_2D back = window->centering.Fit(Affine_Transform_2D());
  EXPECT_FLOAT_EQ(back.eM11, 1.0f);
  EXPECT_NEAR(back.eDx, 0.0f, 1e-6f);
  // Each fitted map moves by its own translation, scaled onto the area.
  for (int i = 1; i < 12; ++i)
    EXPECT_GT(dynamic_cast<Affine_Transform_2D*>(fitted.Map(i))->eDx,
              dynamic_cast<Affine_Transform_2D*>(fitted.Map(i - 1))->eDx);
  Transform_Set_2D empty;
  window->centering.Fit(fitted, empty);
  EXPECT_EQ(fitted.Count(), 0);
}

TEST_F(Drawing_Window_Test, A_Run_Of_Five_Renders_The_Composed_Maps_Step_By_Step) {
  window->Set_Drawing(Filled_Square(), true);
  window->Apply_Manipulator(Five(), true);
  Click_Corner(*window, 1);
  EXPECT_TRUE(window->Is_Iterating());
  // The mouse stays locked for the run.
  session.Advance(1);
  EXPECT_EQ(mouse->Locked, 1);
  Run_To_End();
  EXPECT_FALSE(window->Is_Iterating());
  // Five settles at the pixel size of its smallest copies, well before the step limit.
  EXPECT_GE(window->history.size(), 4u);
  EXPECT_LE(window->history.size(), 1u + Drawing_Window::Step_Limit);
  Transform_Set_2D fitted;
  window->centering.Fit(fitted, *Five());
  auto pictures = All_Pictures();
  for (size_t k = 1; k < pictures.size(); ++k) {
    Shape_Drawing expected(*pictures[k - 1], fitted);
    EXPECT_TRUE(pictures[k]->Same_Pixels(expected)) << "step " << k;
  }
  EXPECT_EQ(window->Capture_Count, 0);
  EXPECT_EQ(mouse->Locked, 0);
}

// Five restarts from the current picture (5 x 5 > 6); Two composes once
// (2 x 2 = 4) and restarts at 4 x 2; Small composes on, rounded from level 2.
TEST_F(Drawing_Window_Test, Restart_Rule_Sets_The_Composition_Levels) {
  const struct {
    const char* name;
    std::shared_ptr<const Transform_Set_2D> set;
    std::vector<uint32_t> levels;
  } cases[] = {
      {"Five", Five(), {1, 1, 1}},
      {"Two", Make_Set({{0.3333f, 0, 0, 0.3333f, 0.0833f, 0.3333f}, {0.3333f, 0, 0, 0.3333f, 0.5833f, 0.3333f}}),
       {1, 2, 1, 2}},
      {"Small", Make_Set({{0.5f, 0, 0, 0.5f, 0.25f, 0.25f}}), {1, 2, 3, 4}},
  };
  for (const auto& c : cases) {
    window->Set_Drawing(Filled_Square(), true);
    std::vector<uint32_t> levels;
    for (size_t i = 0; i < c.levels.size(); ++i) {
      window->Apply_Manipulator(c.set, true);
      levels.push_back(window->current.level);
      EXPECT_TRUE(Same(*window->current.picture, *Rendered(window->current, window->centering))) << c.name << i;
    }
    EXPECT_EQ(levels, c.levels) << c.name;
  }
}

TEST_F(Drawing_Window_Test, Each_Way_A_Run_Ends) {
  Fake_Game game;
  game.match_at = 3;
  enum Start { Square, Notched, Wide_Block };
  const struct {
    const char* name;
    std::shared_ptr<const Transform_Set_2D> set;
    Start start;
    bool game;
    size_t accepted;
  } cases[] = {
      // The images reproduce the drawing: the first tick stops.
      {"unchanged", Make_Set({Identity_Row}), Square, false, 0},
      // A mirror comes back to the state before it.
      {"back to a recent state", Make_Set({{-1, 0, 0, 1, 1, 0}}), Notched, false, 1},
      {"step limit", Turn(13), Wide_Block, false, Drawing_Window::Step_Limit},
      {"target matched", Five(), Square, true, 3},
  };
  for (const auto& c : cases) {
    auto start = c.start == Wide_Block ? Block() : Filled_Square();
    if (c.start == Notched)  // off the mirror's axis, so that the mirror changes the square
      start->Paint_Shape(Square_Shape(), TRect(window->geometry.area_rel.TopLeft(), TSize(60, 60)), TColor::White,
                         TColor(No_Color));
    window->Set_Target(nullptr, nullptr, false);
    window->Set_Drawing(std::move(start), true);
    if (c.game) window->Set_Target(&game, &game, false);
    window->Apply_Manipulator(c.set, false);
    window->Start_Iterating();
    Run_To_End();
    EXPECT_FALSE(window->Is_Iterating()) << c.name;
    EXPECT_EQ(window->history.size(), c.accepted) << c.name;
  }
  EXPECT_EQ(game.log, "matched ");
  EXPECT_EQ(window->target, nullptr);
  EXPECT_TRUE(window->current.matched);
  // Nothing to iterate: no run starts.
  window->Clear();
  window->Start_Iterating();
  EXPECT_FALSE(window->Is_Iterating());
}

// Every step moves the colours one place along the cycle the panel has
// chosen, a colour painted into it during the run acts from the next step,
// and the run goes on at the user's speed for as long as the colours change.
TEST_F(Drawing_Window_Test, A_Followed_Cycle_Recolours_Step_By_Step_At_The_Users_Speed) {
  Color_Transform chosen;  // as the panel keeps it
  chosen.count = 3;
  chosen.colors = {In_Palette(TColor(233, 0, 0)), In_Palette(TColor(0, 233, 0)), In_Palette(TColor(0, 0, 233))};
  window->Set_Drawing(Filled_Square(chosen.colors[0]), true);
  window->Follow_Color_Cycle(&chosen);
  window->Apply_Manipulator(Make_Set({Identity_Row}, 1), false);
  window->Faster();  // no run: no change
  EXPECT_EQ(window->speed, 200);
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
  // Step 4 showed colour 1 and step 5 is already being made.
  const TColor old_blue = chosen.colors[2];
  chosen.colors[0] = In_Palette(TColor(233, 0, 233));
  ASSERT_TRUE(next_step());
  EXPECT_TRUE(Same(*window->current.picture, *Filled_Square(old_blue)));
  ASSERT_TRUE(next_step());
  EXPECT_TRUE(Same(*window->current.picture, *Filled_Square(chosen.colors[0])));
  EXPECT_TRUE(window->keep_going);
  EXPECT_EQ(window->interval, window->speed);
  Run_To_End(50, 400);  // past the step limit and the history's cap
  EXPECT_TRUE(window->Is_Iterating());
  EXPECT_EQ(window->history.size(), size_t(Drawing_Window::History_Limit));
  for (int i = 0; i < 30; ++i) window->Slower();
  EXPECT_EQ(window->speed, Drawing_Window::Slowest_Speed);
  for (int i = 0; i < 30; ++i) window->Faster();
  EXPECT_EQ(window->speed, 0);
  // Choosing another cycle (cycle 1: no cycling) ends the run.
  const Color_Transform none;
  window->Follow_Color_Cycle(&none);
  EXPECT_FALSE(window->Is_Iterating());
  EXPECT_EQ(window->color_cycle.count, 0);
}

TEST_F(Drawing_Window_Test, Undo_Goes_Back_A_Run_Or_A_Step_At_A_Time_And_One_Run_More_After_A_Review) {
  window->Set_Drawing(Filled_Square(), true);
  auto start = Pixels_Of(*window->current.picture);
  window->Apply_Manipulator(Five(), true);
  auto after_one = Pixels_Of(*window->current.picture);
  window->Apply_Manipulator(Five(), true);
  auto after_two = Pixels_Of(*window->current.picture);
  Click_Corner(*window, 1);
  Run_To_End();
  ASSERT_GT(window->history.size(), 3u);
  for (Shape_Drawing* expected : {after_two.get(), after_one.get(), start.get()}) {
    Click_Corner(*window, 2);
    EXPECT_TRUE(Same(*window->current.picture, *expected));
  }
  EXPECT_TRUE(window->history.empty());
  // Single steps still work from there. Shown: the state after the first of
  // three; a step from there, then undo twice.
  window->Apply_Manipulator(Five(), true);
  EXPECT_TRUE(Same(*window->current.picture, *after_one));
  for (int i = 0; i < 2; ++i) window->Apply_Manipulator(Five(), true);
  window->Review();
  window->Review_Finished(1, 2);
  auto shown = Pixels_Of(*window->Shown_State().picture);
  window->Apply_Manipulator(Five(), true);
  EXPECT_EQ(window->history.size(), 2u);
  window->Undo();
  EXPECT_TRUE(Same(*window->current.picture, *shown));
  window->Undo();
  EXPECT_TRUE(Same(*window->current.picture, *start));
}

TEST_F(Drawing_Window_Test, History_Stays_At_Fifty_And_Undo_With_No_Run_Start_Keeps_A_Picture) {
  window->Set_Drawing(Filled_Square(), true);
  const auto small = Make_Set({{0.9f, 0, 0, 0.9f, 0.05f, 0.05f}});
  for (int i = 0; i < 60; ++i) {
    // A pending edit pushed before every step, as adding a shape leaves one.
    Drawing_History edit = window->current.Deep_Copy();
    edit.run_start = false;
    window->pending_edit.push_back(std::move(edit));
    window->Apply_Manipulator(small, true);
    ASSERT_LE(window->history.size(), size_t(Drawing_Window::History_Limit));
  }
  EXPECT_EQ(window->history.size(), size_t(Drawing_Window::History_Limit));
  auto before_last = Pixels_Of(*std::next(window->history.begin())->picture);
  window->Undo();
  EXPECT_TRUE(Same(*window->current.picture, *before_last));
  // With every run start gone, undo lands on a recorded state, never on none.
  for (int i = 0; i < 60 && !window->history.empty(); ++i) window->Undo();
  ASSERT_TRUE(window->current.picture);
  window->Apply_Manipulator(small, true);
  EXPECT_TRUE(Same(*window->current.picture, *Rendered(window->current, window->centering)));
}

TEST_F(Drawing_Window_Test, Clear_Empties_The_History_And_Tells_The_Game) {
  Fake_Game game;
  window->Set_Drawing(Filled_Square(), true);
  window->Set_Target(&game, &game, false);
  window->Apply_Manipulator(Five(), true);
  Click_Corner(*window, 3);
  EXPECT_TRUE(window->history.empty());
  EXPECT_TRUE(window->current.Picture_Cleared());
  EXPECT_EQ(game.log, "reset ");
  // Nothing left to clear: the game's run ends, nothing else happens.
  Click_Corner(*window, 3);
  EXPECT_EQ(game.log, "reset end ");
  window->Set_Target(nullptr, nullptr, false);
}

TEST_F(Drawing_Window_Test, Every_Entry_Point_Stops_A_Run) {
  Color_Transform cycle;
  cycle.count = 2;
  cycle.colors = {TColor(1, 2, 3), TColor(4, 5, 6)};
  Fake_Game game;
  const std::vector<std::pair<const char*, std::function<void()>>> entries = {
      {"manipulator", [&] { window->Apply_Manipulator(Five(), false); }},
      {"drawing", [&] { window->Set_Drawing(Filled_Square(), false); }},
      {"cycle", [&] { window->Set_Color_Cycle(cycle); }},
      {"target", [&] { window->Set_Target(&game, &game, false); }},
      {"clear", [&] { Click_Corner(*window, 3); }},
      {"undo", [&] { Click_Corner(*window, 2); }},
      {"review", [&] { Click_Corner(*window, 0); }},
      {"iterate again", [&] { Click_Corner(*window, 1); }},
      {"shape", [&] { window->Add_Shape(Square_Shape(), TColor(0, 0, 200), TColor::White); }},
  };
  for (const auto& [name, stop] : entries) {
    window->Set_Target(nullptr, nullptr, false);
    window->Set_Color_Cycle(Color_Transform());
    window->Set_Drawing(Filled_Square(), true);
    window->Apply_Manipulator(Five(), true);
    window->Start_Iterating();
    session.Advance(1000);
    ASSERT_TRUE(window->Is_Iterating()) << name;
    stop();
    EXPECT_FALSE(window->Is_Iterating()) << name;
    EXPECT_EQ(mouse->Locked, 0) << name;
    if (window->Review_Open()) Click_Corner(*window->review, 2);
    stage.Move(TPoint(2, 2));
    EXPECT_EQ(window->Capture_Count, 0) << name;
    // Nothing of the stopped step is left to be taken later.
    const size_t kept = window->history.size();
    session.Advance(3000);
    EXPECT_EQ(window->history.size(), kept) << name;
  }
  // Closing the program mid-run: the window goes with its worker.
  window->Set_Target(nullptr, nullptr, false);
  window->Start_Iterating();
  session.Advance(1000);
  ASSERT_TRUE(window->Is_Iterating());
  delete window;
  window = nullptr;
  EXPECT_EQ(mouse->Locked, 0);
}

TEST_F(Drawing_Window_Test, Runs_Give_The_Same_Pictures_At_Any_Speed) {
  std::vector<std::vector<std::unique_ptr<Shape_Drawing>>> runs;
  for (uint32_t tick : {10u, 37u, 400u}) {
    window->Set_Drawing(Filled_Square(), true);
    window->Apply_Manipulator(Turn(13), false);
    window->Start_Iterating();
    Run_To_End(tick);
    runs.push_back(All_Pictures());
  }
  // And one step at a time on this thread.
  window->Set_Drawing(Filled_Square(), true);
  for (int i = 0; i < Drawing_Window::Step_Limit; ++i) window->Apply_Manipulator(Turn(13), true);
  runs.push_back(All_Pictures());
  for (size_t r = 1; r < runs.size(); ++r) {
    ASSERT_EQ(runs[r].size(), runs[0].size());
    for (size_t k = 0; k < runs[0].size(); ++k) EXPECT_TRUE(runs[r][k]->Same_Pixels(*runs[0][k])) << r << " " << k;
  }
}

TEST_F(Drawing_Window_Test, Snapshots_Of_Five) {
  window->Set_Drawing(Filled_Square(), true);
  const TRect area = window->Window_Rect_In_Parent();
  int done = 0;
  for (int steps : {0, 1, 3, 6}) {
    for (; done < steps; ++done) window->Apply_Manipulator(Five(), true);
    session.Run_Until_Idle();
    session.Snapshot("drawing_window_five_" + std::to_string(steps), area);
  }
  EXPECT_EQ(window->history.size(), 6u);
}

// Without new colours the steps come ever faster, 200 ms at a time, down
// to none at all.
TEST_F(Drawing_Window_Test, Steps_Come_Faster_Until_There_Is_No_Wait) {
  window->Set_Drawing(Block(), true);
  window->Apply_Manipulator(Turn(13), false);
  window->Start_Iterating();
  std::vector<int32_t> intervals{window->interval};
  for (int i = 0; i < 4000 && window->Is_Iterating(); ++i) {
    const int steps = window->step_count;
    session.Advance(10);
    if (window->step_count != steps && window->Is_Iterating()) intervals.push_back(window->interval);
  }
  ASSERT_GE(intervals.size(), 8u);
  intervals.resize(8);
  EXPECT_EQ(intervals, (std::vector<int32_t>{1000, 800, 600, 400, 200, 0, 0, 0}));
}

// Maps compose while the composed count stays at 6 or below, exactly 6
// included; above it the picture becomes the new base.
TEST_F(Drawing_Window_Test, A_Composed_Count_Of_Exactly_Six_Still_Composes) {
  const auto two = Make_Set({{0.5f, 0, 0, 0.5f, 0, 0.25f}, {0.5f, 0, 0, 0.5f, 0.5f, 0.25f}});
  const auto three = Make_Set({{0.3333f, 0, 0, 0.3333f, 0, 0.3333f},
                               {0.3333f, 0, 0, 0.3333f, 0.3333f, 0.3333f},
                               {0.3333f, 0, 0, 0.3333f, 0.6667f, 0.3333f}});
  const auto one = Make_Set({{0.9f, 0, 0, 0.9f, 0.05f, 0.05f}});
  window->Set_Drawing(Filled_Square(), true);
  std::vector<std::pair<uint32_t, int32_t>> levels;
  for (const auto& set : {two, three, one, two}) {
    window->Apply_Manipulator(set, true);
    levels.emplace_back(window->current.level, window->current.maps.Count());
    EXPECT_TRUE(Same(*window->current.picture, *Rendered(window->current, window->centering))) << levels.size();
  }
  // 2 x 3 = 6 and 6 x 1 = 6 compose; 6 x 2 = 12 starts over.
  EXPECT_EQ(levels, (std::vector<std::pair<uint32_t, int32_t>>{{1, 2}, {2, 6}, {3, 6}, {1, 2}}));
}

// The start shape's points are carried through the steps while there are
// fewer than 1536 of them; at 1536 they are dropped.
TEST_F(Drawing_Window_Test, Points_Are_Carried_Below_1536_Only) {
  // A palette shape whose points, doubled step by step, reach 1536 exactly.
  std::unique_ptr<Shape> shape;
  for (int32_t id = 0; id < 40 && !shape; ++id) {
    auto candidate = Make_Palette_Shape(id);
    int64_t k = candidate ? candidate->Key_Points.Count() : 0;
    while (k > 0 && k < Drawing_Window::Point_Limit) k *= 2;
    if (k == Drawing_Window::Point_Limit) shape = std::move(candidate);
  }
  ASSERT_TRUE(shape);
  const int64_t k = shape->Key_Points.Count();
  // Two copies apart, so no point of one falls on a point of the other.
  const auto two = Make_Set({{0.4f, 0, 0, 0.4f, 0, 0.3f}, {0.4f, 0, 0, 0.4f, 0.6f, 0.3f}});
  window->Set_Drawing(Filled_Square(), true);
  window->start_shape = shape.get();
  for (int i = 0; i < 12; ++i) window->Apply_Manipulator(two, true);
  bool limit_met = false;
  for (int32_t n = 0; n <= 12; ++n) {
    std::unique_ptr<Point_Set_2D> points;
    window->Trace_Points(n, &points);
    const int64_t carried = k << n;
    limit_met |= carried == Drawing_Window::Point_Limit;
    if (carried < Drawing_Window::Point_Limit) {
      ASSERT_TRUE(points) << n;
      EXPECT_EQ(points->Count(), carried) << n;
    } else {
      EXPECT_FALSE(points) << n << ": " << carried << " points";
    }
  }
  EXPECT_TRUE(limit_met);
  window->start_shape = nullptr;
}

// A run longer than the history trims it, its start with it; an undo then
// still goes back to the picture the run began from, kept as the trimmed
// history's base.
TEST_F(Drawing_Window_Test, The_Trimmed_History_Keeps_Its_Base_Picture) {
  Color_Transform chosen;
  chosen.count = 3;
  chosen.colors = {In_Palette(TColor(233, 0, 0)), In_Palette(TColor(0, 233, 0)), In_Palette(TColor(0, 0, 233))};
  window->Set_Drawing(Filled_Square(chosen.colors[0]), true);
  window->Follow_Color_Cycle(&chosen);
  window->Apply_Manipulator(Make_Set({Identity_Row}, 1), false);
  window->Start_Iterating();
  for (int i = 0; i < 4000 && window->history.size() < size_t(Drawing_Window::History_Limit); ++i)
    session.Advance(20);
  for (int i = 0; i < 200; ++i) session.Advance(20);  // well past the cap
  ASSERT_TRUE(window->Is_Iterating());
  window->Follow_Color_Cycle(nullptr);  // stops the run
  ASSERT_FALSE(window->Is_Iterating());
  ASSERT_EQ(window->history.size(), size_t(Drawing_Window::History_Limit));
  window->Undo();
  EXPECT_TRUE(Same(*window->current.picture, *Filled_Square(chosen.colors[0])));
  EXPECT_TRUE(window->history.empty());
}

// Clear clears whenever there is something to take back: a blank picture
// with a history still empties the history.
TEST_F(Drawing_Window_Test, Clear_Empties_A_History_Behind_A_Blank_Picture) {
  Fake_Game game;
  window->Set_Drawing(Filled_Square(), true);
  window->Set_Target(&game, &game, false);
  window->Apply_Manipulator(Five(), true);
  ASSERT_FALSE(window->history.empty());
  window->current.picture->Clear();
  ASSERT_TRUE(window->current.Picture_Cleared());
  Click_Corner(*window, 3);
  EXPECT_TRUE(window->history.empty());
  EXPECT_EQ(game.log, "reset ");
  window->Set_Target(nullptr, nullptr, false);
}
