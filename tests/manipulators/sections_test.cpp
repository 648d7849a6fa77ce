// Pages and sections of manipulators: placement at each boundary, refusal of
// a full section, removals closing gaps across pages, and the selection.
#include "manipulators/shape_transform_section.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<Manipulator_Ref> Make(int n) {
  std::vector<Manipulator_Ref> list;
  for (int i = 0; i < n; ++i) list.push_back(std::make_shared<Shape_Transform>());
  return list;
}

// The section's manipulators in position order, checked against the page
// invariants.
std::vector<Shape_Transform*> Order(const Shape_Transform_Section& s) {
  std::vector<Shape_Transform*> out;
  for (int p = 0; p < s.Page_Count(); ++p) {
    const Shape_Transform_Page* page = s.Page(p);
    EXPECT_EQ(page->Page_Number, p);
    if (p + 1 < s.Page_Count()) {
      EXPECT_EQ(page->Count(), 10);
    }
    if (p > 0 && p + 1 == s.Page_Count()) {
      EXPECT_GT(page->Count(), 0);
    }
    for (int i = 0; i < page->Count(); ++i) out.push_back(page->At(i));
  }
  EXPECT_EQ(int(out.size()), s.Total());
  return out;
}

}  // namespace

TEST(Sections, Placement_Opens_Pages_At_Each_Boundary_And_Refuses_The_41st) {
  Shape_Transform_Section s;
  auto list = Make(41);
  for (int i = 0; i < 40; ++i) {
    EXPECT_EQ(s.Add(list[size_t(i)]), i);
    EXPECT_EQ(s.Page_Count(), i / 10 + 1);
  }
  EXPECT_EQ(s.Add(list[40]), -1);
  EXPECT_EQ(s.Total(), 40);
  EXPECT_EQ(list[40].use_count(), 1);  // not kept
}

TEST(Sections, Removal_Closes_The_Gap_Across_Pages) {
  Shape_Transform_Section s;
  auto list = Make(23);
  for (auto& m : list) s.Add(m);
  std::unique_ptr<Shape_Transform_Page> removed;
  ASSERT_TRUE(s.Remove(list[3].get(), &removed));
  EXPECT_EQ(removed, nullptr);
  std::vector<Shape_Transform*> expected;
  for (int i = 0; i < 23; ++i)
    if (i != 3) expected.push_back(list[size_t(i)].get());
  EXPECT_EQ(Order(s), expected);
  EXPECT_EQ(s.Page(2)->Count(), 2);
  EXPECT_EQ(s.Page(0)->At(9), list[10].get());
  EXPECT_EQ(s.Page(1)->At(9), list[20].get());
  EXPECT_EQ(list[3].use_count(), 1);  // the section let go; the caller still holds it

  // Down to 20: the third page goes and is handed back.
  s.Remove(list[0].get(), &removed);
  s.Remove(list[1].get(), &removed);
  ASSERT_NE(removed, nullptr);
  EXPECT_EQ(removed->Page_Number, 2);
  EXPECT_EQ(s.Page_Count(), 2);
  EXPECT_FALSE(s.Remove(list[0].get(), &removed));

  // The only manipulator of a first page: the page stays.
  Shape_Transform_Section one;
  one.Add(list[5]);
  EXPECT_TRUE(one.Remove(list[5].get(), &removed));
  EXPECT_EQ(removed, nullptr);
  EXPECT_EQ(one.Page_Count(), 1);
  EXPECT_EQ(one.Total(), 0);
}

TEST(Sections, Selection_Keeps_Its_Slot_And_An_Empty_Slot_Counts_As_None) {
  Shape_Transform_Section s;
  auto list = Make(12);
  for (auto& m : list) s.Add(m);
  Shape_Transform_Page& first = *s.Page(0);
  first.Select_Slot(5);
  s.Remove(list[2].get(), nullptr);  // before the selection: the index stays
  EXPECT_EQ(first.Selected_Slot(), 5);
  EXPECT_EQ(first.Selected(), list[6].get());
  s.Remove(list[6].get(), nullptr);  // the selected one
  EXPECT_EQ(first.Selected_Slot(), -1);
  EXPECT_EQ(s.Page_Count(), 1);  // ten left: one page

  // A selection past the count is no selection.
  Shape_Transform_Page page(0);
  for (int i = 0; i < 4; ++i) page.Add(list[size_t(i)]);
  page.Select_Slot(3);
  EXPECT_TRUE(page.Replace_Selected(std::make_shared<Shape_Transform>()));
  page.Remove(list[0].get());  // slot 3 is now empty
  EXPECT_EQ(page.Selected_Slot(), -1);
  EXPECT_EQ(page.Selected(), nullptr);
  EXPECT_FALSE(page.Replace_Selected(list[0]));
  page.Selected_Row = 1;  // set by hand past the count
  page.Selected_Column = 1;
  EXPECT_EQ(page.Selected_Slot(), -1);
}

