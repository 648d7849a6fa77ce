#include "model/transform_set_2d.h"

#include <gtest/gtest.h>

#include <vector>

#include "model/affine_transform_2d.h"

namespace {

std::unique_ptr<Affine_Transform_2D> Shift(float e, int32_t step = 0) {
  auto map = std::make_unique<Affine_Transform_2D>(e, 0.0f);
  map->Color_Step = step;
  return map;
}

const Affine_Transform_2D& Affine(const Transform_Set_2D& set, int32_t index) {
  return dynamic_cast<const Affine_Transform_2D&>(*set.Map(index));
}

std::vector<float> Shifts(const Transform_Set_2D& set) {
  std::vector<float> shifts;
  for (int32_t i = 0; i < set.Count(); ++i) shifts.push_back(Affine(set, i).eDx);
  return shifts;
}

Transform_Set_2D Set_Of(std::initializer_list<float> shifts) {
  Transform_Set_2D set;
  for (float e : shifts) set.Add_Map(Shift(e));
  return set;
}

}  // namespace

TEST(Transform_Set_2D, HoldsAtMostTwelveMaps) {
  Transform_Set_2D set;
  for (int i = 0; i < 13; ++i) set.Add_Map(Shift(static_cast<float>(i)));
  set.Add_Map(nullptr);
  EXPECT_EQ(Shifts(set), (std::vector<float>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}));
}

TEST(Transform_Set_2D, CopiesAreIndependent) {
  Transform_Set_2D set = Set_Of({1, 2});
  Transform_Set_2D copy(set);
  Transform_Set_2D assigned = Set_Of({7, 8, 9});
  assigned = set;
  assigned = assigned;
  EXPECT_NE(copy.Map(0), set.Map(0));
  EXPECT_EQ(std::pair(Shifts(copy), Shifts(assigned)), std::pair(Shifts(set), std::vector<float>{1, 2}));
}

TEST(Transform_Set_2D, TakeOutMoveToEndAndFind) {
  Transform_Set_2D set = Set_Of({0, 1, 2, 3});
  std::unique_ptr<Transform_2D> taken = set.Take_Out(1);
  ASSERT_NE(taken, nullptr);
  EXPECT_EQ(Shifts(set), (std::vector<float>{0, 2, 3}));
  EXPECT_FALSE(set.Take_Out(3) || set.Take_Out(-1));
  set.Move_To_End(0);
  set.Move_To_End(5);  // nothing there: nothing moves
  EXPECT_EQ(Shifts(set), (std::vector<float>{2, 3, 0}));

  // Find ignores the colour step.
  EXPECT_EQ(set.Find(*Shift(3, 5)), 1);
  EXPECT_EQ(set.Find(*Shift(4)), -1);

  set.Clear();
  EXPECT_EQ(set.Count(), 0);
}

TEST(Transform_Set_2D, SortByColorStepIsStable) {
  Transform_Set_2D set;
  for (auto [e, step] : {std::pair{0.0f, 3}, {1.0f, -1}, {2.0f, 3}, {3.0f, 0}}) set.Add_Map(Shift(e, step));
  set.Sort(Compare_Color_Steps);
  std::vector<int32_t> steps;
  for (int32_t i = 0; i < set.Count(); ++i) steps.push_back(Affine(set, i).Color_Step);
  EXPECT_EQ(steps, (std::vector<int32_t>{-1, 0, 3, 3}));
  EXPECT_EQ(Shifts(set), (std::vector<float>{1, 3, 0, 2}));
}

TEST(Transform_Set_2D, ComposeWithGivesEveryProductInBlocks) {
  // P, Q scale; R, S, T shift, so each product is recognisable.
  Transform_Set_2D set;
  set.Add_Map(std::make_unique<Affine_Transform_2D>(2, 0, 0, 0, 2, 0));  // P
  set.Add_Map(std::make_unique<Affine_Transform_2D>(3, 0, 0, 0, 3, 0));  // Q
  dynamic_cast<Affine_Transform_2D&>(*set.Map(1)).Color_Step = 1;
  Transform_Set_2D other;
  for (float e : {10.0f, 20.0f, 30.0f}) other.Add_Map(Shift(e, 2));
  set.Compose_With(other);
  ASSERT_EQ(set.Count(), 6);
  // Slot j*2 + i: own map i first, then other's map j.
  for (int32_t k = 0; k < 6; ++k) {
    EXPECT_EQ(set.Map(k)->Map_Point(1, 0).x, float(2 + k % 2 + 10 * (1 + k / 2))) << k;
    EXPECT_EQ(Affine(set, k).Color_Step, 2 + k % 2) << k;
  }

  // An empty other set changes nothing; an empty set stays empty.
  set.Compose_With(Transform_Set_2D());
  EXPECT_EQ(set.Count(), 6);
  Transform_Set_2D empty;
  empty.Compose_With(other);
  EXPECT_EQ(empty.Count(), 0);
}

TEST(Transform_Set_2D, ComposeWithBeyondTwelveKeepsTheFirstTwelve) {
  Transform_Set_2D set = Set_Of({0, 1, 2, 3, 4});
  Transform_Set_2D other = Set_Of({100, 200, 300});
  set.Compose_With(other);
  ASSERT_EQ(set.Count(), 12);
  EXPECT_EQ(Shifts(set), (std::vector<float>{100, 101, 102, 103, 104, 200, 201, 202, 203, 204, 300, 301}));
}
