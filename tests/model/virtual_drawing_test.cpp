#include "model/virtual_drawing.h"

#include <gtest/gtest.h>

#include <set>
#include <tuple>
#include <thread>

#include "model/transform_set_2d.h"
#include "model_fixture.h"

namespace {

const TColor White(255, 255, 255);
const TRect Frame_360(0, 0, 360, 360);

// (a, b, e, c, d, f)
const Affine_Transform_2D Identity;
const Affine_Transform_2D Half_Turn(-1, 0, 1, 0, -1, 1);
const Affine_Transform_2D Quarter_Turn(0, -1, 1, 1, 0, 0);
const Affine_Transform_2D Three_Quarter_Turn(0, 1, 0, -1, 0, 1);

class Virtual_Drawing_Test : public Model_Test {};

TEST_F(Virtual_Drawing_Test, Symmetric_Manipulators_Drop_Repeats) {
  Virtual_Drawing first(Frame_360, Affine_Transform_2D(0.5f, 0, 0, 0, 0.5f, 0));
  Virtual_Drawing with_half_turn(first, Set_Of({Identity, Half_Turn}));
  Virtual_Drawing again(with_half_turn, Set_Of({Identity, Half_Turn}));
  EXPECT_EQ(std::pair(with_half_turn.Live_Count, again.Live_Count), std::pair(2, 2));  // the half-turn of a half-turn repeats
  EXPECT_TRUE(again.Same_As(with_half_turn));
  // Quarter-turns are not centre-symmetric: repeats stay.
  Virtual_Drawing two(first, Set_Of({Quarter_Turn, Three_Quarter_Turn}));
  Virtual_Drawing four(two, Set_Of({Quarter_Turn, Three_Quarter_Turn}));
  EXPECT_EQ(four.Live_Count, 4);
  Virtual_Drawing with_identity(two, Set_Of({Identity, Quarter_Turn}));
  Virtual_Drawing repeat(with_identity, Set_Of({Identity, Quarter_Turn}));
  EXPECT_LT(repeat.Live_Count, 8);
}

TEST_F(Virtual_Drawing_Test, Outside_Dropped_Small_And_Surplus_Set_Aside_Order_Ignored) {
  Virtual_Drawing first(Frame_360, Identity);
  Virtual_Drawing next(first, Set_Of({Affine_Transform_2D(0.1f, 0, 2, 0, 0.1f, 2), Affine_Transform_2D(0.05f, 0, 0.5f, 0, 0.05f, 0.5f),
                                      Affine_Transform_2D(0.5f, 0, 0, 0, 0.5f, 0)}));
  // Capacity, live, set aside, cursor.
  EXPECT_EQ(std::tuple(next.Capacity, next.Live_Count, next.Set_Aside_Count, next.Cursor), std::tuple(3, 1, 1, 0));
  EXPECT_EQ(next.Entries[2].eM11, 0.05f);

  // Grow to 12 * 12 * 12 = 1728 candidates, all inside: 1024 stay live.
  Transform_Set_2D twelve;  // each slightly shrinking, all inside
  for (int i = 0; i < 12; ++i)
    twelve.Add_Map(std::make_unique<Affine_Transform_2D>(0.9f, 0.0f, 0.01f * i, 0.0f, 0.9f, 0.005f * i));
  Virtual_Drawing g1(first, twelve), g2(g1, twelve), g3(g2, twelve);
  EXPECT_EQ(std::pair(g3.Live_Count, g3.Set_Aside_Count), std::pair(Virtual_Drawing::Max_Live, 1728 - 1024));

  // Every candidate outside: no live piece, and no cursor.
  Virtual_Drawing gone(first, Set_Of({Affine_Transform_2D(1, 0, 5, 0, 1, 5)}));
  EXPECT_EQ(std::pair(gone.Live_Count, gone.Cursor), std::pair(0, -1));
  Virtual_Drawing empty(gone, twelve);
  EXPECT_EQ(std::pair(empty.Capacity, empty.Cursor), std::pair(0, -1));
  Virtual_Drawing copy(gone, true);
  EXPECT_EQ(std::pair(copy.Cursor, copy.Hit_Entry({0, 0}, {7, 7})), std::pair(-1, -1));

  // Same_As ignores the order of the pieces and their colour steps.
  Affine_Transform_2D left(0.5f, 0, 0, 0, 0.5f, 0), right(0.5f, 0, 0.5f, 0, 0.5f, 0);
  right.Color_Step = 3;
  Virtual_Drawing a(first, Set_Of({left, right})), b(first, Set_Of({right, left}));
  EXPECT_TRUE(a.Same_As(b));
  Virtual_Drawing c(first, Set_Of({left, Affine_Transform_2D(0.5f, 0, 0.25f, 0, 0.5f, 0)}));
  EXPECT_FALSE(a.Same_As(c));
}

TEST_F(Virtual_Drawing_Test, Stepping_Removing_And_Hitting) {
  Virtual_Drawing first(Frame_360, Identity);
  Transform_Set_2D four;
  for (int i = 0; i < 4; ++i)
    four.Add_Map(std::make_unique<Affine_Transform_2D>(0.5f, 0.0f, 0.5f * (i % 2), 0.0f, 0.5f, 0.5f * (i / 2)));
  Virtual_Drawing d(first, four);
  for (int i : {0, 1, 3, 3}) d.Remove_Entry(i);  // the second 3: already removed, nothing
  EXPECT_EQ(std::pair(d.Live_Count, d.Removed_Count), std::pair(1, 3));
  for (int i = 0; i < 5; ++i) {
    d.Next_Entry();
    EXPECT_EQ(d.Cursor, 2);
  }
  d.Restore_Entry(3);
  d.Restore_Entry(2);  // live: nothing
  EXPECT_EQ(d.Live_Count, 2);
  d.Next_Entry();
  EXPECT_EQ(d.Cursor, 3);
  for (int i : {2, 3}) d.Remove_Entry(i);
  d.Next_Entry();
  EXPECT_EQ(d.Cursor, -1);
  d.Restore_Entry(1);
  // A 7 x 7 handle takes points within squared distance 9.
  const TPoint h = d.Handle_Points[1];
  EXPECT_EQ(std::pair(d.Hit_Entry({h.x + 3, h.y}, {7, 7}), d.Hit_Entry({h.x + 3, h.y + 1}, {7, 7})), std::pair(1, -1));
  EXPECT_EQ(d.Entry_Box(1, {7, 7}), TRect(h.x - 4, h.y - 4, h.x + 3, h.y + 3));
  // Far handles do not wrap round in the squared distance.
  Virtual_Drawing far(Frame_360, Affine_Transform_2D(1, 0, -200, 0, 1, -200));
  EXPECT_EQ(far.Hit_Entry({400, 400}, {7, 7}), -1);
}

TEST_F(Virtual_Drawing_Test, Outlines_Are_Dashed_In_Contrast) {
  Build_Contrast_Table();
  Shape_Drawing picture(360, 360, nullptr, White);
  // The bottom edge of the square (0, 359)-(359, 359) after placement.
  Virtual_Drawing whole(Frame_360, Identity);
  whole.Draw(picture, {0, 0});
  const uint8_t white = Index(White), dark = Contrast_Table[white];
  auto bottom_row = [&](Shape_Drawing& p, int length) {
    std::string row;
    for (int x = 0; x < length; ++x) row += Pixel(p, x, 0) == dark ? '#' : '.';
    return row;
  };
  EXPECT_EQ(bottom_row(picture, 24), "####......######......##");  // 4 marked, then 6 off, 6 on
  EXPECT_TRUE(Pixel(picture, 359, 0) == dark && Pixel(picture, 100, 100) == white);
  EXPECT_TRUE(picture.Blank);  // no handles: the flag stays

  Shape_Drawing half(180, 180, nullptr, White);
  whole.Draw(half, {7, 7});
  EXPECT_EQ(bottom_row(half, 12), "##...###...#");
  EXPECT_FALSE(half.Blank);
}

TEST_F(Virtual_Drawing_Test, Pieces_Across_The_Border_Stay_Inside_The_Picture) {
  Build_Contrast_Table();
  Shape_Drawing picture(360, 360, nullptr, White);
  for (int i = 0; i < 400; ++i) {
    const float angle = 0.37f * i, scale = 0.2f + 0.01f * (i % 50);
    Virtual_Drawing piece(Frame_360, Affine_Transform_2D(scale, angle, -0.3f + 0.004f * i, scale * 0.7f,
                                                          angle + 80.0f, -0.2f + 0.003f * i, 0));
    piece.Draw(picture, {9, 9});
  }
  Snapshot(picture, "virtual_drawing_outlines");
}

TEST_F(Virtual_Drawing_Test, Set_Aside_Pieces_Drawn_As_Plain_Outlines) {
  Virtual_Drawing first(Frame_360, Identity);
  Virtual_Drawing next(first, Set_Of({Affine_Transform_2D(0.05f, 0, 0.5f, 0, 0.05f, 0.5f)}));
  ASSERT_EQ(next.Set_Aside_Count, 1);
  Shape_Drawing picture(360, 360, nullptr, White);
  next.Draw_Set_Aside(picture);
  EXPECT_FALSE(picture.Blank);
  const uint8_t outline = Index(colors.Scheme_RGB(3));  // dark on white
  // The image of (0, 0) is outlined; the middle is not.
  EXPECT_TRUE(Pixel(picture, 180, 359 - 179) == outline && Pixel(picture, 100, 100) == Index(White));
}

TEST_F(Virtual_Drawing_Test, Serials_Are_Unique_Across_Threads) {
  std::vector<std::vector<uint32_t>> serials(4);
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([&, t] {
      for (int i = 0; i < 2000; ++i) serials[t].push_back(Virtual_Drawing(Frame_360, Identity).Serial);
    });
  for (auto& thread : threads) thread.join();
  std::set<uint32_t> all;
  for (auto& list : serials) all.insert(list.begin(), list.end());
  EXPECT_EQ(all.size(), 8000u);
}

}  // namespace
