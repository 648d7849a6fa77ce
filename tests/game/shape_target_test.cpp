// Targets: the match test and the hint on hand-made pictures at the edges of
// their limits, the point chain that follows the steps, the copy that
// continues a run, the recipe read back, and realisation held against
// rendering straight through the model.
#include "game/shape_target.h"

#include <gtest/gtest.h>

#include <vector>

#include "model/affine_transform_2d.h"
#include "model/shape_catalogue.h"
#include "tests/workspace/colours_stage.h"

namespace {

using Map_Row = std::array<float, 6>;  // a, b, c, d, e, f

std::shared_ptr<const Transform_Set_2D> Set_Of(std::initializer_list<Map_Row> rows) {
  auto set = std::make_shared<Transform_Set_2D>();
  for (const Map_Row& r : rows) set->Add_Map(std::make_unique<Affine_Transform_2D>(r[0], r[1], r[4], r[2], r[3], r[5]));
  return set;
}

const Map_Row Rotate_90{0, -1, 1, 0, 1, 0};
const Map_Row Half{0.5f, 0, 0, 0.5f, 0.25f, 0.25f};

const TColor White(255, 255, 255);

// Reads and writes pictures by rows from the top.
uint8_t& At(Shape_Drawing& picture, int32_t x, int32_t y) {
  uint8_t* bits = picture.Bitmap->GetBits();
  return bits[int64_t(picture.Bitmap->Height() - 1 - y) * picture.Bitmap->Pitch() + x];
}

// Covers (or uncovers) the pixel in the picture's own terms.
void Set_Covered(Shape_Drawing& picture, int32_t x, int32_t y, bool covered, uint8_t ink) {
  picture.Writable_Pixels();
  At(picture, x, y) = covered ? ink : picture.Background_Index();
}

void Cover_Block(Shape_Drawing& picture, const TRect& r, uint8_t ink) {
  for (int32_t y = r.top; y < r.bottom; ++y)
    for (int32_t x = r.left; x < r.right; ++x) Set_Covered(picture, x, y, true, ink);
}

class Shape_Target_Test : public testing::Test {
 protected:
  // A generated target of side n whose pixels the test paints itself.
  std::unique_ptr<Shape_Target> Target(int32_t n, const Shape* shape = nullptr) {
    return std::make_unique<Shape_Target>(n, n, shape, TRect(0, 0, n, n), Centering_Transform());
  }
  std::unique_ptr<Shape_Drawing> Player(int32_t n) {
    return std::make_unique<Shape_Drawing>(n, n, stage.colors.Palette.get(), White);
  }
  // A palette index that is neither picture's background.
  uint8_t Ink(const Shape_Drawing& a, const Shape_Drawing& b, uint8_t avoid = 0) {
    for (uint8_t i = 1;; ++i)
      if (i != a.Background_Index() && i != b.Background_Index() && i != avoid) return i;
  }

  Colours_Stage stage;
  Square square;
  Triangle triangle;
};

}  // namespace

TEST_F(Shape_Target_Test, Target_Colours_Differ_In_The_Palette) {
  auto t = Target(20);
  Shape_Drawing shape_probe(20, 20, stage.colors.Palette.get(), Shape_Target::Target_Shape_Color());
  EXPECT_NE(t->Background_Index(), shape_probe.Background_Index());
}

TEST_F(Shape_Target_Test, Hint_Color_Picks_The_Grey_Farthest_From_Both) {
  struct Case {
    TColor first, second;
    int level;
  } cases[] = {
      {White, TColor(0, 0, 0), 124},  // the middle grey
      {TColor(0, 0, 0), TColor(0, 0, 0), 217},
      {White, White, 31},
      // 31 and 217 are both 93 from grey 124: the earlier grey wins.
      {TColor(124, 124, 124), TColor(124, 124, 124), 31},
      {TColor(93, 93, 93), TColor(155, 155, 155), 31},
      {TColor(31, 31, 31), TColor(217, 217, 217), 124},
  };
  for (const Case& c : cases)
    EXPECT_EQ(Shape_Target::Hint_Color(c.first, c.second), TColor(c.level, c.level, c.level))
        << int(c.first.Red()) << "/" << int(c.second.Red());
  // A colour in palette-index form is resolved first.
  const int white_index = stage.colors.Palette->GetNearestPaletteIndex(White);
  EXPECT_EQ(Shape_Target::Hint_Color(TColor::Palette_Index(white_index), TColor(0, 0, 0)).Red(), 124);
}

TEST_F(Shape_Target_Test, Pixel_Test_Thresholds) {
  // Side 100: L = 50. A 60 x 60 block gives ink 3600.
  const int32_t n = 100;
  const TRect block(20, 20, 80, 80);
  // Edge positions: the block's outer ring and the ring just outside it.
  std::vector<TPoint> edge_points;
  for (int32_t ring = 0; ring < 2; ++ring) {
    const TRect r = ring == 0 ? block : TRect(19, 19, 81, 81);
    for (int32_t x = r.left; x < r.right; ++x) edge_points.push_back({x, r.top}), edge_points.push_back({x, r.bottom - 1});
    for (int32_t y = r.top + 1; y < r.bottom - 1; ++y)
      edge_points.push_back({r.left, y}), edge_points.push_back({r.right - 1, y});
  }
  struct Case {
    const char* what;
    int interior_holes;
    int edge_flips;
    bool border_noise;
    bool match;
  } cases[] = {
      {"identical coverage", 0, 0, false, true},
      {"35 interior holes: 3500 < 3600", 35, 0, false, true},
      {"36 interior holes: 3600 >= 3600", 36, 0, false, false},
      {"edge x 15 = ink - 15", 0, 239, false, true},
      {"edge x 15 = ink", 0, 240, false, false},
      {"differences in the unscanned border", 0, 0, true, true},
  };
  for (const Case& c : cases) {
    auto target = Target(n);
    auto player = Player(n);
    const uint8_t target_ink = Ink(*target, *player);
    const uint8_t player_ink = Ink(*target, *player, target_ink);
    Cover_Block(*target, block, target_ink);
    Cover_Block(*player, block, player_ink);  // other colour: colours play no part
    for (int i = 0; i < c.interior_holes; ++i) Set_Covered(*player, 30 + (i % 10) * 4, 30 + (i / 10) * 4, false, 0);
    for (int i = 0; i < c.edge_flips; ++i) {
      const TPoint p = edge_points[size_t(i)];
      const bool in_block = block.Contains(p);
      Set_Covered(*player, p.x, p.y, !in_block, player_ink);
    }
    if (c.border_noise)
      for (int32_t i = 0; i < n; ++i) Set_Covered(*player, i, 0, true, player_ink), Set_Covered(*player, 1, i, true, player_ink);
    EXPECT_EQ(target->Matches(*player, nullptr, nullptr), c.match) << c.what;
  }
}

TEST_F(Shape_Target_Test, Wide_Pictures_Count_Every_Covered_Pixel) {
  // 300 x 20 in stripes: every scanned pixel is at an edge; ink is 16 rows
  // of 148 covered columns = 2368, so 157 edge differences match and 158
  // do not.
  for (int flips : {157, 158}) {
    auto target = std::make_unique<Shape_Target>(300, 20, nullptr, TRect(0, 0, 300, 20), Centering_Transform());
    auto player = std::make_unique<Shape_Drawing>(300, 20, stage.colors.Palette.get(), White);
    const uint8_t ink = Ink(*target, *player);
    for (int32_t y = 0; y < 20; ++y)
      for (int32_t x = 0; x < 300; x += 2) Set_Covered(*target, x, y, true, ink), Set_Covered(*player, x, y, true, ink);
    for (int i = 0; i < flips; ++i) Set_Covered(*player, 2 + 2 * (i % 148), 10 + i / 148, false, 0);
    EXPECT_EQ(target->Matches(*player, nullptr, nullptr), flips == 157) << flips;
  }
}

TEST_F(Shape_Target_Test, Empty_Target_Matches_Only_An_Empty_Scan_Area) {
  // Side 61, rows padded: one covered pixel of the player's fails the
  // match anywhere in the scanned area, its first and last pixels
  // included, and nowhere in the two-pixel border.
  struct Case {
    TPoint covered;
    bool match;
  } cases[] = {
      {{-1, -1}, true}, {{30, 30}, false}, {{2, 2}, false},  {{58, 2}, false}, {{2, 58}, false},
      {{58, 58}, false}, {{1, 30}, true},  {{59, 30}, true}, {{30, 1}, true},  {{30, 60}, true},
  };
  for (const Case& c : cases) {
    auto target = Target(61);
    auto player = Player(61);
    if (c.covered.x >= 0) Set_Covered(*player, c.covered.x, c.covered.y, true, Ink(*target, *player));
    EXPECT_EQ(target->Matches(*player, nullptr, nullptr), c.match) << c.covered.x << "," << c.covered.y;
  }
}

TEST_F(Shape_Target_Test, Scan_Stops_Once_Interior_Reaches_The_Limit) {
  // Side 100: L = 50, ink of a full picture 96 x 96 = 9216. A 51st interior
  // difference stops the scan; at 50 no further row is begun, so the ink
  // counted so far decides.
  struct Case {
    int holes, row;
    bool match;
  } cases[] = {
      {51, 10, false},  // beyond the limit, early: ink of rows 2..10
      {51, 90, true},   // beyond the limit, late: most of the ink counted
      {50, 10, false},  // ink of rows 2..10 only: 864 <= 5000
      {50, 90, true},   // ink of rows 2..90: 8544 > 5000
      {49, 10, true},   // below the limit the whole picture is scanned
  };
  for (const Case& c : cases) {
    auto target = Target(100);
    auto player = Player(100);
    const uint8_t ink = Ink(*target, *player);
    Cover_Block(*target, TRect(0, 0, 100, 100), ink);
    Cover_Block(*player, TRect(0, 0, 100, 100), ink);
    for (int i = 0; i < c.holes; ++i) Set_Covered(*player, 10 + i, c.row, false, 0);
    EXPECT_EQ(target->Matches(*player, nullptr, nullptr), c.match) << c.holes << " holes in row " << c.row;
  }
  // The pixel that goes beyond the limit ends the scan at once: 49 holes in
  // row 54, two more at the start of row 55. Ink stops at 53 x 96 + 1 =
  // 5089 <= 5100; the rest of the row would have made it 5184.
  auto target = Target(100);
  auto player = Player(100);
  const uint8_t ink = Ink(*target, *player);
  Cover_Block(*target, TRect(0, 0, 100, 100), ink);
  Cover_Block(*player, TRect(0, 0, 100, 100), ink);
  for (int i = 0; i < 49; ++i) Set_Covered(*player, 10 + i, 54, false, 0);
  Set_Covered(*player, 2, 55, false, 0);
  Set_Covered(*player, 3, 55, false, 0);
  EXPECT_FALSE(target->Matches(*player, nullptr, nullptr));
}

TEST_F(Shape_Target_Test, Exact_Points_Decide_Before_The_Pixels) {
  auto target = Target(60, &square);
  auto player = Player(60);
  Set_Covered(*player, 30, 30, true, Ink(*target, *player));  // pixels differ
  EXPECT_TRUE(target->Matches(*player, &square, &square.Key_Points));
  EXPECT_FALSE(target->Matches(*player, &triangle, &square.Key_Points)) << "another start shape";
  EXPECT_FALSE(target->Matches(*player, &square, &triangle.Key_Points)) << "other points";
  EXPECT_FALSE(target->Matches(*player, nullptr, nullptr));
}

TEST_F(Shape_Target_Test, Other_Sizes_Neither_Match_Nor_Take_A_Hint) {
  auto target = Target(60, &square);
  auto player = Player(64);
  EXPECT_FALSE(target->Matches(*player, nullptr, nullptr));
  Cover_Block(*target, TRect(0, 0, 60, 60), Ink(*target, *player));
  Shape_Drawing before(*player, true);
  target->Overlay_Hint(*player, TColor(0, 0, 0));
  EXPECT_TRUE(player->Same_Pixels(before));
}

TEST_F(Shape_Target_Test, Hint_Is_A_Checkerboard_Over_The_Target) {
  const int32_t n = 40;
  auto target = Target(n);
  auto player = Player(n);
  const TRect block(5, 7, 20, 30);
  Cover_Block(*target, block, Ink(*target, *player));
  const uint8_t drawn = Ink(*target, *player, Ink(*target, *player));
  Cover_Block(*player, TRect(0, 0, 10, 10), drawn);
  Shape_Drawing before(*player, true);
  target->Overlay_Hint(*player, TColor(0, 0, 0));
  Shape_Drawing grey_probe(4, 4, stage.colors.Palette.get(), TColor(124, 124, 124));
  const uint8_t grey = grey_probe.Background_Index();
  int hinted = 0;
  for (int32_t y = 0; y < n; ++y)
    for (int32_t x = 0; x < n; ++x) {
      const bool expect_grey = block.Contains(TPoint(x, y)) && (x + y) % 2 == 0;
      if (expect_grey) {
        ASSERT_EQ(At(*player, x, y), grey) << x << "," << y;
        ++hinted;
      } else {
        ASSERT_EQ(At(*player, x, y), At(before, x, y)) << x << "," << y;
      }
    }
  EXPECT_GT(hinted, 100);
}

TEST_F(Shape_Target_Test, Chain_Grows_Under_Rotations_And_Restarts_Otherwise) {
  struct Case {
    const char* what;
    std::shared_ptr<const Transform_Set_2D> set;
    int32_t chain_after;
  } cases[] = {
      {"rotation", Set_Of({Rotate_90}), 2},
      {"mirror", Set_Of({{-1, 0, 0, 1, 1, 0}}), 2},
      {"scaling map", Set_Of({Half}), 1},
      {"two maps", Set_Of({{0.5f, 0, 0, 0.5f, 0, 0}, {0.5f, 0, 0, 0.5f, 0.5f, 0.5f}}), 1},
  };
  for (const Case& c : cases) {
    auto target = Target(40, &square);
    ASSERT_EQ(target->Chain_Length(), 1);
    target->Add_Step(c.set, 0, 3, false);
    EXPECT_EQ(target->Chain_Length(), c.chain_after) << c.what;
    EXPECT_TRUE(target->Front_Points()->Equals(square.Key_Points.Image(*c.set))) << c.what;
    EXPECT_EQ(target->Trial_Image(), nullptr);
  }
}

TEST_F(Shape_Target_Test, Trial_Repeats_Finds_An_Earlier_State) {
  auto target = Target(40, &triangle);
  const auto rotate = Set_Of({Rotate_90});
  for (int i = 0; i < 3; ++i) {
    target->Set_Trial_Image(rotate);
    EXPECT_FALSE(target->Trial_Repeats()) << i;
    target->Add_Step(rotate, 0, 0, false);
  }
  // The fourth quarter turn comes back to the start shape's points.
  target->Set_Trial_Image(rotate);
  EXPECT_TRUE(target->Trial_Repeats());
  target->Drop_Point_Chain();
  EXPECT_EQ(target->Chain_Length(), 0);
  EXPECT_EQ(target->Front_Points(), nullptr);
}

TEST_F(Shape_Target_Test, Copy_Takes_Over_The_Chain_And_Shares_The_Sets) {
  auto source = Target(40, &triangle);
  const auto rotate = Set_Of({Rotate_90});
  source->Add_Step(rotate, 1, 12, false);
  source->Add_Step(rotate, 1, 12, false);
  source->Realize(-1);
  Shape_Target copy(*source);
  EXPECT_EQ(copy.Chain_Length(), 3);
  EXPECT_EQ(source->Chain_Length(), 1);
  EXPECT_NE(source->Front_Points(), copy.Front_Points());
  EXPECT_TRUE(source->Front_Points()->Equals(*copy.Front_Points()));
  EXPECT_EQ(copy.Steps().size(), 2u);
  EXPECT_EQ(copy.Steps()[0].set.get(), rotate.get());
  Shape_Drawing blank(40, 40, stage.colors.Palette.get(), source->Background);
  EXPECT_TRUE(copy.Same_Pixels(blank));
  EXPECT_EQ(copy.Width(), 40);
  EXPECT_EQ(copy.Background, source->Background);
  // The cursor is at the end; the source can still be matched by points.
  int32_t s = 7, i = 7;
  bool r = true;
  EXPECT_EQ(copy.Next_Step(s, i, r), nullptr);
  EXPECT_EQ(s, 7);
  auto player = Player(40);
  EXPECT_TRUE(source->Matches(*player, &triangle, copy.Front_Points()));
}

TEST_F(Shape_Target_Test, Next_Step_Reads_The_Recipe_Back) {
  auto target = Target(40, &square);
  const auto a = Set_Of({Half}), b = Set_Of({Rotate_90});
  target->Add_Step(a, 2, 14, false);
  target->Add_Step(b, 0, 3, true);
  target->Rewind_Steps();
  int32_t section = 0, index = 0;
  bool repeat = false;
  EXPECT_EQ(target->Next_Step(section, index, repeat), a);
  EXPECT_EQ(section, 2);
  EXPECT_EQ(index, 14);
  EXPECT_FALSE(repeat);
  EXPECT_EQ(target->Next_Step(section, index, repeat), b);
  EXPECT_TRUE(repeat);
  EXPECT_EQ(target->Next_Step(section, index, repeat), nullptr);
  EXPECT_EQ(section, 0);
  EXPECT_EQ(index, 3);
}

// ---- Realisation against the model

class Realize_Test : public Shape_Target_Test {
 protected:
  void SetUp() override {
    side = stage.Size(Drawing_Side_Size);
    geometry = Drawing_Area_Geometry(side, side, 0, 0);
    centering = Centering_Transform(geometry);
    frame = geometry.area_rel;
  }
  std::unique_ptr<Shape_Target> Made(std::initializer_list<std::shared_ptr<const Transform_Set_2D>> sets) {
    auto t = std::make_unique<Shape_Target>(side, side, &triangle, frame, centering);
    for (const auto& s : sets) t->Add_Step(s, 0, 0, false);
    return t;
  }
  // The start shape painted as a target paints it.
  std::unique_ptr<Shape_Drawing> Start() {
    auto p = std::make_unique<Shape_Drawing>(side, side, stage.colors.Palette.get(), Shape_Target::Target_Background());
    p->Paint_Shape(triangle, frame, Shape_Target::Target_Shape_Color(), TColor(No_Color));
    return p;
  }
  std::unique_ptr<Shape_Drawing> Through(Shape_Drawing& source, const Transform_Set_2D& set) {
    Transform_Set_2D fitted;
    centering.Fit(fitted, set);
    return std::make_unique<Shape_Drawing>(source, fitted);
  }

  int32_t side = 0;
  TRect frame;
  Drawing_Area_Geometry geometry;
  Centering_Transform centering;
};

TEST_F(Realize_Test, Limit_Zero_Paints_Only_The_Start_Shape) {
  auto t = Made({Set_Of({Half})});
  t->Realize(0);
  EXPECT_EQ(t->Realized_Steps(), 0);
  auto start = Start();
  auto expected = Through(*start, *Set_Of({{1, 0, 0, 1, 0, 0}}));
  EXPECT_TRUE(t->Same_Pixels(*expected));
}

TEST_F(Realize_Test, Three_Steps_Equal_Their_Composed_Rounded_Maps) {
  // Off the rounding grid, so that rounding shows in the pixels.
  const auto a = Set_Of({{0.6667f, 0, 0, 0.6667f, 0, 0}, {0.3333f, 0, 0, 0.3333f, 0.6667f, 0.6667f}});
  const auto b = Set_Of({{0.5f, -0.5f, 0.5f, 0.5f, 0.5f, 0}});
  const auto c = Set_Of({{0.5833f, 0, 0, 0.5833f, 0.0833f, 0.4167f}, {0.4167f, 0, 0, 0.4167f, 0.5833f, 0}});
  auto t = Made({a, b, c});
  t->Realize(-1);
  EXPECT_EQ(t->Realized_Steps(), 3);
  // One batch (2 x 1 x 2 = 4 maps), rounded: the same bytes.
  Transform_Set_2D composed = *a;
  composed.Compose_With(*b);
  composed.Compose_With(*c);
  Transform_Set_2D rounded;
  for (int32_t i = 0; i < composed.Count(); ++i)
    rounded.Add_Map(std::make_unique<Affine_Transform_2D>(
        Affine_Transform_2D::Quantize(*static_cast<const Affine_Transform_2D*>(composed.Map(i)), 1e-4f, 1e-4f, 0)));
  auto start = Start();
  auto expected = Through(*start, rounded);
  EXPECT_TRUE(t->Same_Pixels(*expected));
  // The steps in the wrong order do not match.
  auto x = Through(*start, *c);
  auto y = Through(*x, *b);
  auto z = Through(*y, *a);
  EXPECT_FALSE(t->Matches(*z, nullptr, nullptr));
}

TEST_F(Realize_Test, Large_Batches_Flush_Before_The_Next_Step) {
  // 4 x 4 maps exceed the batch: two renderings, the first unrounded.
  const auto four = Set_Of({{0.5f, 0, 0, 0.5f, 0, 0},
                            {0.5f, 0, 0, 0.5f, 0.5f, 0},
                            {0.5f, 0, 0, 0.5f, 0, 0.5f},
                            {0.5f, 0, 0, 0.5f, 0.5f, 0.5f}});
  const auto three = Set_Of({{0.4f, 0, 0, 0.4f, 0, 0}, {0.4f, 0, 0, 0.4f, 0.6f, 0}, {0.4f, 0, 0, 0.4f, 0.3f, 0.6f}});
  auto t = Made({four, three});
  t->Realize(-1);
  auto start = Start();
  auto one = Through(*start, *four);
  auto two = Through(*one, *three);
  EXPECT_TRUE(t->Same_Pixels(*two));
}

TEST_F(Realize_Test, Repeat_Steps_Render_Until_Still_Or_Eleven_Times) {
  struct Case {
    const char* what;
    Map_Row map;
  } cases[] = {
      {"a contraction settles", {0.5f, 0, 0, 0.5f, 0.25f, 0.25f}},
      {"a drift never settles", {1, 0, 0, 1, 0.013f, 0}},
  };
  for (const Case& c : cases) {
    const auto set = Set_Of({c.map});
    auto t = std::make_unique<Shape_Target>(side, side, &triangle, frame, centering);
    t->Add_Step(set, 0, 0, true);
    t->Realize(-1);
    // The same by hand: the empty batch before it through the identity,
    // then render while it changes, at most 11 times, then the identity.
    auto picture = Through(*Start(), *Set_Of({{1, 0, 0, 1, 0, 0}}));
    for (int k = 0; k < 11; ++k) {
      auto next = Through(*picture, *set);
      const bool same = next->Same_Pixels(*picture);
      picture = std::move(next);
      if (same) break;
    }
    picture = Through(*picture, *Set_Of({{1, 0, 0, 1, 0, 0}}));
    EXPECT_TRUE(t->Same_Pixels(*picture)) << c.what;
  }
}

TEST_F(Realize_Test, Drawing_Target_Carries_Its_Points_Through_New_Stages) {
  auto start = Start();
  auto points = std::make_unique<Point_Set_2D>(triangle.Key_Points);
  const auto half = Set_Of({Half}), rotate = Set_Of({Rotate_90});
  Shape_Target first(*start, &triangle, frame, centering, std::move(points), 0);
  first.Add_Step(half, -1, -1, false);
  first.Add_Step(rotate, -1, -1, false);
  EXPECT_TRUE(first.From_Drawing());
  EXPECT_EQ(first.Chain_Length(), 1) << "recorded steps leave the chain alone";
  Shape_Target second(first);
  second.Realize(1);
  EXPECT_EQ(second.Realized_Steps(), 1);
  EXPECT_TRUE(second.Front_Points()->Equals(triangle.Key_Points.Image(*half)));
  Shape_Target third(second);
  third.Realize(2);
  EXPECT_TRUE(third.Front_Points()->Equals(triangle.Key_Points.Image(*half).Image(*rotate)));
}
