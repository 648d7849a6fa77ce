// The safari's arithmetic: the step count following a new first visible
// step, the album's drop, the points of a stage, the presets and the streak.
#include "game/safari_level_tables.h"

#include <gtest/gtest.h>

using T = Safari_Level_Tables;

TEST(Safari_Level_Tables, A_New_First_Step_Moves_The_Step_Count_To_The_Nearer_Multiple) {
  const struct {
    Safari_Pair before;
    int32_t a, bound;
    Safari_Pair after;
  } cases[] = {
      {{1, 6}, 4, 6, {4, 4}},  // 6 mod 4 = 2, a tie: down
      {{1, 5}, 3, 6, {3, 6}},  // 5 mod 3 = 2: up to 6
      {{1, 5}, 2, 6, {2, 4}},  // 5 mod 2 = 1: down
      {{1, 5}, 4, 4, {4, 4}},  // up to 8 would pass the bound: down
      {{1, 6}, 3, 6, {3, 6}},  // already a multiple
      {{1, 1}, 2, 2, {2, 2}},  // below a: never a zero-step chain
      {{1, 2}, 4, 4, {4, 4}},
      {{2, 2}, 1, 2, {1, 2}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.before.a << "," << c.before.b << " a=" << c.a);
    const Safari_Pair p = T::Choose_Step(c.before, c.a, c.bound);
    EXPECT_EQ(p, c.after);
    EXPECT_EQ(p.b % p.a, 0);
  }
}

TEST(Safari_Level_Tables, The_Album_Dropped_On_A_Cell_Sets_The_Step_Count) {
  const struct {
    Safari_Pair before;
    int32_t n, bound;
    Safari_Pair after;
  } cases[] = {
      {{3, 6}, 2, 6, {2, 2}},   // left of a: both become n
      {{2, 2}, 5, 6, {2, 6}},   // right, 5 mod 2 = 1: up
      {{2, 2}, 5, 5, {2, 4}},   // up would pass the bound: down
      {{2, 6}, 3, 6, {2, 2}},   // left, 3 mod 2 = 1: down
      {{2, 6}, 4, 6, {2, 4}},   // a multiple
      {{1, 1}, 2, 2, {1, 2}},
      {{2, 4}, 4, 6, {2, 4}},   // no change
      {{2, 4}, 0, 6, {1, 1}},   // a missed confinement: clamped to 1
      {{2, 4}, -3, 6, {1, 1}},
      {{1, 1}, 9, 2, {1, 2}},   // and to the bound
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.before.a << "," << c.before.b << " n=" << c.n);
    const Safari_Pair p = T::Drop_Album(c.before, c.n, c.bound);
    EXPECT_EQ(p, c.after);
    EXPECT_GE(p.a, 1);
    EXPECT_EQ(p.b % p.a, 0);
  }
}

TEST(Safari_Level_Tables, A_Stage_Is_Worth_The_Level_Times_A_Squared_Up_To_100) {
  const struct {
    int32_t level, a, points;
  } cases[] = {{0, 1, 1}, {1, 2, 8}, {2, 3, 27}, {3, 4, 64}, {4, 5, 100}, {3, 6, 100}, {9, 1, 5}, {2, 100000, 100}};
  for (const auto& c : cases) EXPECT_EQ(T::Stage_Points(c.level, c.a), c.points) << c.level << " " << c.a;
}

TEST(Safari_Level_Tables, Presets_Raise_And_Lower_In_Table_Order) {
  EXPECT_EQ(T::Raise({3, 3}), Safari_Pair(4, 4));
  EXPECT_EQ(T::Lower({4, 4}), Safari_Pair(3, 6));
  EXPECT_EQ(T::Lower({3, 6}), Safari_Pair(3, 3));
  EXPECT_EQ(T::Raise({6, 6}), Safari_Pair(6, 6));
  EXPECT_EQ(T::Lower({1, 1}), Safari_Pair(1, 1));
  EXPECT_EQ(T::Key({5, 5}), 29);
}

TEST(Safari_Level_Tables, A_Pair_Fits_A_Level_By_Its_Key_And_Bound) {
  const struct {
    Safari_Pair p;
    int32_t level;
    bool fits;
  } cases[] = {{{1, 1}, 0, true}, {{1, 2}, 0, true}, {{2, 2}, 0, true},  {{2, 4}, 0, false}, {{1, 1}, 1, false},
               {{4, 4}, 1, true}, {{3, 6}, 1, false}, {{6, 6}, 2, true}, {{6, 6}, 4, true}};
  for (const auto& c : cases) EXPECT_EQ(T::Fits(c.p, c.level), c.fits) << c.p.a << "," << c.p.b << " " << c.level;
}

TEST(Safari_Streak, Keeps_Ten_Outcomes_And_The_Current_Streaks) {
  Safari_Streak s;
  for (int i = 0; i < 4; ++i) s.Record(true);
  EXPECT_FALSE(s.Raise_Due());
  s.Record(true);
  EXPECT_TRUE(s.Raise_Due());
  s.Record(false);
  EXPECT_EQ(std::tuple(s.Successes, s.Failures, s.Successes_In_History()), std::tuple(0, 1, 5));
  s.Record(false);
  s.Record(false);
  EXPECT_TRUE(s.Lower_Due());
  // The ring wraps: ten more successes replace every failure.
  for (int i = 0; i < 10; ++i) s.Record(true);
  EXPECT_EQ(std::tuple(s.Successes_In_History(), s.Position, s.Failures), std::tuple(10, 8, 0));
  s.Clear();
  EXPECT_EQ(std::tuple(s.History, s.Position, s.Successes, s.Failures), std::tuple(uint16_t(0), 0, 0, 0));
}
