// The target generator with real panels and a palette filled by hand: each
// rule that refuses a candidate, the attempt limit, continuations, and the
// hand-over to the realiser raced from the interface thread.
#include "game/target_generator.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "manipulators/shape_transform.h"
#include "manipulators/transform_palette.h"
#include "model/affine_transform_2d.h"
#include "tests/workspace/colours_stage.h"
#include "toolkit/gui_sizes.h"
#include "workspace/drawing_window.h"
#include "workspace/shape_palette.h"

namespace {

using Map_Row = std::array<float, 6>;  // a, b, c, d, e, f

const Map_Row Vertical_Mirror{1, 0, 0, -1, 0, 1};
const Map_Row Horizontal_Mirror{-1, 0, 0, 1, 1, 0};
const Map_Row Rotate_90{0, -1, 1, 0, 1, 0};
const Map_Row Rotate_180{-1, 0, 0, -1, 1, 1};
const Map_Row Compress_Left{0.5f, 0, 0, 1, 0, 0};
const Map_Row Half_Centre{0.5f, 0, 0, 0.5f, 0.25f, 0.25f};
const Map_Row Quarter_Centre{0.25f, 0, 0, 0.25f, 0.375f, 0.375f};

Manipulator_Ref Manipulator(std::initializer_list<Map_Row> rows) {
  auto m = std::make_shared<Shape_Transform>();
  for (const Map_Row& r : rows) m->Add_Map(std::make_unique<Affine_Transform_2D>(r[0], r[1], r[4], r[2], r[3], r[5]));
  return m;
}

// n x n tiles of the unit square (n x n maps).
Manipulator_Ref Tiles(int cols, int rows) {
  auto m = std::make_shared<Shape_Transform>();
  const float w = 1.0f / float(cols), h = 1.0f / float(rows);
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < cols; ++c)
      m->Add_Map(std::make_unique<Affine_Transform_2D>(w, 0.0f, c * w, 0.0f, h, r * h));
  return m;
}

class Quiet_Users : public Palette_Users {
 public:
  explicit Quiet_Users(int32_t level) : person{"Ann", level} {}
  Person Current() const override { return person; }
  Person Previous() const override { return person; }
  bool Same_Person() const override { return true; }
  bool Previous_Exists() const override { return true; }
  bool Previous_Removed_With_Files() const override { return false; }
  bool File_Flag(const std::string&, int32_t) const override { return false; }
  void Set_File_Flag(const std::string&, int32_t, bool) override {}
  std::string File_Path(const std::string&, int32_t) const override { return "/nonexistent/x.man"; }
  void Save_Database() override {}
  bool Data_Directory_Writable() const override { return false; }
  bool Demonstration_Running() const override { return false; }
  Person person;
};

class No_Editor : public Manipulator_Editor {
 public:
  void Open(Shape_Transform&, char*, TWindow&) override {}
};

// The key points after each step of a target, the start shape's first.
std::vector<Point_Set_2D> States(const Shape_Target& t) {
  std::vector<Point_Set_2D> out{t.Start_Shape()->Key_Points};
  for (const Transform_Step& s : t.Steps()) out.push_back(out.back().Image(*s.set));
  return out;
}

int Count_Of(const Shape_Target& t, const Manipulator_Ref& m) {
  int n = 0;
  for (const Transform_Step& s : t.Steps()) n += s.set.get() == m.get();
  return n;
}

}  // namespace

class Target_Generator_Test : public testing::Test {
 protected:
  // level: the user's level index; sections of 1 at 0..2, 5 from 3.
  void Open(int32_t level, const std::vector<Manipulator_Ref>& manipulators) {
    users = std::make_unique<Quiet_Users>(level);
    shapes = new Shape_Palette(stage.parent, TPoint(10, 10), level);
    ASSERT_TRUE(shapes->Create());
    const int side = stage.Size(Drawing_Side_Size);
    const int w = side + 2 * stage.Size(22);
    drawing = new Drawing_Window(stage.parent, TRect(200, 10, 200 + w, 10 + w));
    ASSERT_TRUE(drawing->Create());
    palette = new Transform_Palette(stage.parent, TPoint(200 + w + 10, 10), 500, &editor, *users);
    ASSERT_TRUE(palette->Create());
    stage.Idle();
    palette->Clear_All();
    for (const Manipulator_Ref& m : manipulators) ASSERT_GE(palette->Place(m, nullptr), 0);
    generator = std::make_unique<Target_Generator>(shapes, palette, drawing);
    generator->Seed(12345);
  }
  void TearDown() override { generator.reset(); }
  // Requests and takes n new chains of a steps; those that came.
  std::vector<std::unique_ptr<Shape_Target>> Chains(int n, int32_t a) {
    std::vector<std::unique_ptr<Shape_Target>> out;
    for (int i = 0; i < n; ++i) {
      generator->Request(a, nullptr);
      if (!generator->Target_Coming()) continue;
      auto t = generator->Take();
      EXPECT_TRUE(t);
      if (t) out.push_back(std::move(t));
    }
    return out;
  }

  Colours_Stage stage;
  std::unique_ptr<Quiet_Users> users;
  No_Editor editor;
  Shape_Palette* shapes = nullptr;
  Drawing_Window* drawing = nullptr;
  Transform_Palette* palette = nullptr;
  std::unique_ptr<Target_Generator> generator;
};

TEST_F(Target_Generator_Test, Nothing_To_Draw_From_Means_No_Target) {
  struct Case {
    const char* what;
    std::vector<Manipulator_Ref> palette;
    int32_t a;
  } cases[] = {
      {"empty palette", {}, 1},
      // Two equal maps never add points: every attempt fails.
      {"attempt limit", {Manipulator({Half_Centre, Half_Centre})}, 1},
      // One section: 12 images and then 12 more exceed the bound of 64.
      {"image bound", {Tiles(4, 3)}, 2},
  };
  for (const Case& c : cases) {
    Open(2, c.palette);
    generator->Request(c.a, nullptr);
    EXPECT_FALSE(generator->Target_Coming()) << c.what;
    const auto before = std::chrono::steady_clock::now();
    EXPECT_EQ(generator->Take(), nullptr) << c.what;
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(1)) << "Take must not wait";
    generator.reset();
  }
  // The bound lets one step of 12 through.
  Open(2, {Tiles(4, 3)});
  generator->Request(1, nullptr);
  EXPECT_TRUE(generator->Target_Coming());
  auto t = generator->Take();
  ASSERT_TRUE(t);
  EXPECT_EQ(t->Step_Count(), 1);
  EXPECT_EQ(t->Realized_Steps(), 1);
}

TEST_F(Target_Generator_Test, Single_Map_Chains_Never_Repeat_A_State) {
  Open(2, {Manipulator({Rotate_90}), Manipulator({Rotate_180}), Manipulator({Vertical_Mirror}),
           Manipulator({Horizontal_Mirror})});
  // Most shapes are symmetric, which leaves few ways to three steps.
  const auto targets = Chains(60, 2);
  ASSERT_GT(targets.size(), 20u);
  for (const auto& t : targets) {
    const auto states = States(*t);
    for (size_t i = 0; i < states.size(); ++i)
      for (size_t j = i + 1; j < states.size(); ++j)
        EXPECT_FALSE(states[i].Equals(states[j])) << "states " << i << " and " << j;
  }
}

TEST_F(Target_Generator_Test, Each_Mirror_At_Most_Once_Per_Request) {
  const Manipulator_Ref v = Manipulator({Vertical_Mirror}), h = Manipulator({Horizontal_Mirror}),
                        squeeze = Manipulator({Compress_Left});
  Open(2, {v, h, squeeze});
  const auto targets = Chains(80, 3);
  ASSERT_GT(targets.size(), 20u);
  int both = 0;
  for (const auto& t : targets) {
    EXPECT_LE(Count_Of(*t, v), 1);
    EXPECT_LE(Count_Of(*t, h), 1);
    both += Count_Of(*t, v) == 1 && Count_Of(*t, h) == 1;
  }
  EXPECT_GT(both, 0) << "each mirror once is allowed";
}

TEST_F(Target_Generator_Test, Consecutive_Chains_From_One_Shape_End_Apart) {
  Open(2, {Manipulator({Compress_Left}), Manipulator({Half_Centre})});
  const auto targets = Chains(200, 1);
  int same_shape = 0;
  for (size_t i = 1; i < targets.size(); ++i) {
    if (targets[i]->Start_Shape() != targets[i - 1]->Start_Shape()) continue;
    ++same_shape;
    EXPECT_FALSE(targets[i]->Front_Points()->Equals(*targets[i - 1]->Front_Points())) << i;
  }
  EXPECT_GT(same_shape, 3);
}

TEST_F(Target_Generator_Test, Square_Never_Starts_With_Four_Or_Nine_Images) {
  Open(2, {Tiles(2, 2), Tiles(3, 3), Manipulator({Half_Centre})});
  const auto targets = Chains(300, 1);
  int squares = 0;
  for (const auto& t : targets) {
    if (t->Start_Shape()->Shape_Number != 1) continue;
    ++squares;
    EXPECT_EQ(t->Steps()[0].set->Count(), 1);
  }
  EXPECT_GT(squares, 5);
}

TEST_F(Target_Generator_Test, Two_Steps_Equal_To_One_Manipulator_Are_Retried) {
  const Manipulator_Ref half = Manipulator({Half_Centre}), quarter = Manipulator({Quarter_Centre});
  Open(2, {half, quarter});
  auto targets = Chains(60, 2);
  ASSERT_GT(targets.size(), 20u);
  for (const auto& t : targets) EXPECT_FALSE(Count_Of(*t, half) == 2) << "half then half is the quarter";
  // Images multiply: two columns then two rows are the four quarters.
  generator.reset();
  const Manipulator_Ref columns = Tiles(2, 1), rows = Tiles(1, 2), quarters = Tiles(2, 2);
  Open(2, {columns, rows, quarters});
  targets = Chains(60, 2);
  ASSERT_GT(targets.size(), 20u);
  for (const auto& t : targets)
    EXPECT_FALSE(Count_Of(*t, columns) == 1 && Count_Of(*t, rows) == 1) << "columns and rows make the quarters";
}

TEST_F(Target_Generator_Test, Steps_Record_Their_Palette_Places) {
  // Five sections: the section and position of every step lead back to it,
  // and once the images so far (g) are many, only the first section serves:
  // (section + 1) x g stays within 64.
  Open(3, {Manipulator({Half_Centre}), Manipulator({Compress_Left}), Tiles(2, 1), Tiles(1, 2), Tiles(3, 1),
           Tiles(4, 3), Tiles(3, 3), Tiles(3, 2)});
  int bound_met = 0;
  for (const auto& t : Chains(120, 3)) {
    int64_t g = 1;
    for (const Transform_Step& s : t->Steps()) {
      EXPECT_TRUE(s.section == 0 || (s.section + 1) * g <= 64) << s.section << " after " << g;
      bound_met += g > 16;
      g *= s.set->Count();
      const Shape_Transform* at = palette->Section(s.section).At(s.index);
      ASSERT_NE(at, nullptr);
      EXPECT_EQ(static_cast<const Transform_Set_2D*>(at), s.set.get());
      EXPECT_FALSE(s.repeat);
    }
  }
  EXPECT_GT(bound_met, 3);
}

TEST_F(Target_Generator_Test, Continuations_Add_Steps_Or_Show_More_Of_A_Drawing) {
  const Manipulator_Ref squeeze = Manipulator({Compress_Left}), half = Manipulator({Half_Centre}),
                        rotate = Manipulator({Rotate_90});
  Open(2, {squeeze, half, rotate});
  generator->Request(1, nullptr);
  auto first = generator->Take();
  ASSERT_TRUE(first);
  generator->Request(2, first.get());
  auto second = generator->Take();
  ASSERT_TRUE(second);
  EXPECT_EQ(second->Step_Count(), 3);
  EXPECT_EQ(second->Steps()[0].set, first->Steps()[0].set);
  EXPECT_EQ(second->Realized_Steps(), 3);
  EXPECT_EQ(first->Chain_Length(), 1) << "the stage before keeps its latest points";

  // A target from the player's drawing shows one more recorded step.
  Shape_Target recorded(*drawing->current.picture, first->Start_Shape(), first->Frame(), first->Centering(),
                        std::make_unique<Point_Set_2D>(first->Start_Shape()->Key_Points), 1);
  for (const auto& m : {squeeze, half, rotate}) recorded.Add_Step(m, -1, -1, false);
  generator->Request(1, &recorded);
  EXPECT_TRUE(generator->Target_Coming());
  auto stage_two = generator->Take();
  ASSERT_TRUE(stage_two);
  EXPECT_EQ(stage_two->Realized_Steps(), 2);
  EXPECT_EQ(stage_two->Step_Count(), 3);
  EXPECT_TRUE(stage_two->From_Drawing());

  // A palette emptied under a run gives no next stage.
  palette->Clear_All();
  generator->Request(1, second.get());
  EXPECT_FALSE(generator->Target_Coming());
  EXPECT_EQ(generator->Take(), nullptr);
}

// ---- The realiser

namespace {

// A target that counts its own deletion.
class Counted_Target : public Shape_Target {
 public:
  Counted_Target(const Shape_Target& like, std::atomic<int>& deleted)
      : Shape_Target(like.Width(), like.Height(), like.Start_Shape(), like.Frame(), like.Centering()),
        deleted(deleted) {}
  ~Counted_Target() override { ++deleted; }
  std::atomic<int>& deleted;
};

}  // namespace

class Realizer_Race_Test : public Target_Generator_Test {
 protected:
  void SetUp() override { Open(2, {Manipulator({Half_Centre})}); }
  // A target that keeps the realiser busy for a while: a drift repeated.
  std::unique_ptr<Shape_Target> Slow(int32_t side = 0) {
    auto t = Plain(side);
    t->Add_Step(Manipulator({{1, 0, 0, 1, 0.01f, 0}}), -1, -1, true);
    t->Add_Step(Tiles(3, 3), -1, -1, false);
    return t;
  }
  void Wait_Until_Realizing() {
    const auto limit = std::chrono::steady_clock::now() + std::chrono::milliseconds(300);
    while (!generator->Realizing() && std::chrono::steady_clock::now() < limit) std::this_thread::yield();
  }
  std::unique_ptr<Shape_Target> Plain(int32_t side = 0) {
    if (side == 0) side = stage.Size(Drawing_Side_Size);
    return std::make_unique<Shape_Target>(side, side, shapes->Buttons[0]->Shape_Of, drawing->geometry.area_rel,
                                          drawing->centering);
  }
};

TEST_F(Realizer_Race_Test, Take_Gives_The_Latest_Queue_Once) {
  for (bool wait_for_worker : {false, true}) {
    auto older = Slow(1440), newer = Slow();
    Shape_Target* wanted = newer.get();
    generator->Queue(std::move(older), -1);
    // Either the older job is replaced while waiting, or it is being
    // realised when the newer comes and its result must not be handed out.
    if (wait_for_worker) Wait_Until_Realizing();
    generator->Queue(std::move(newer), -1);
    auto got = generator->Take();
    EXPECT_EQ(got.get(), wanted) << wait_for_worker;
    EXPECT_EQ(generator->Take(), nullptr);
  }
}

TEST_F(Realizer_Race_Test, Drop_All_Waits_For_The_Rendering_And_Deletes_Everything) {
  std::atomic<int> deleted{0};
  auto slow = Slow();
  for (int round = 1; round <= 5; ++round) {
    auto t = std::make_unique<Counted_Target>(*slow, deleted);
    t->Add_Step(Manipulator({{1, 0, 0, 1, 0.01f, 0}}), -1, -1, true);
    generator->Queue(std::move(t), -1);
    if (round % 2 == 1) Wait_Until_Realizing();
    generator->Drop_All();
    EXPECT_EQ(deleted.load(), round);
    EXPECT_FALSE(generator->Realizing());
  }
}

TEST_F(Realizer_Race_Test, Drop_All_Racing_A_Busy_Worker_Leaves_It_Idle) {
  for (int round = 0; round < 25; ++round) {
    generator->Queue(Slow(), -1);
    if (round % 3 == 1) Wait_Until_Realizing();
    if (round % 3 == 2) generator->Queue(Slow(), 1);
    generator->Drop_All();
    EXPECT_EQ(generator->Take(), nullptr) << round;
  }
  // Afterwards the worker still serves.
  auto t = Plain();
  t->Add_Step(Manipulator({Half_Centre}), -1, -1, false);
  Shape_Target* wanted = t.get();
  generator->Queue(std::move(t), -1);
  auto got = generator->Take();
  EXPECT_EQ(got.get(), wanted);
  EXPECT_EQ(got->Realized_Steps(), 1);
}

TEST_F(Realizer_Race_Test, Destructor_Waits_For_A_Rendering_In_Progress) {
  generator->Queue(Slow(), -1);
  generator->Queue(Slow(), -1);
  generator.reset();
  SUCCEED();
}
