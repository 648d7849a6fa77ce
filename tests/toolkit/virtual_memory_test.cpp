#include "toolkit/virtual_memory.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

const size_t Page = Virtual_Memory::Page_Size();

}  // namespace

TEST(Virtual_Memory, ReserveCommitsThePartAskedFor) {
  Virtual_Memory memory;
  EXPECT_FALSE(memory.Set_Top(10) || memory.Set_Bottom(0));
  ASSERT_TRUE(memory.Reserve(16 * Page, 3 * Page + 5));
  EXPECT_EQ((std::tuple{memory.Reserved_Size(), memory.Bottom(), memory.Top()}), std::tuple(16 * Page, size_t(0), 3 * Page + 5));
  memory.Base()[3 * Page + 4] = 1;

  ASSERT_TRUE(memory.Reserve(4 * Page, Virtual_Memory::Commit_All));
  EXPECT_EQ(memory.Top(), 4 * Page);
  memory.Base()[4 * Page - 1] = 1;
  // More than the reservation cannot be committed.
  ASSERT_TRUE(memory.Reserve(4 * Page, 5 * Page));
  EXPECT_EQ(memory.Top(), 0u);
}

TEST(Virtual_Memory, TopShrinksByWholePagesAndCannotPassTheReservation) {
  Virtual_Memory memory;
  ASSERT_TRUE(memory.Reserve(8 * Page, 4 * Page));
  // Within the last page nothing changes; one page lower exactly that page
  // goes; any other value is raised to a page.
  for (auto [asked, top] : {std::pair(4 * Page - 10, 4 * Page), std::pair(3 * Page, 3 * Page), std::pair(Page + 1, 2 * Page)}) {
    EXPECT_TRUE(memory.Set_Top(asked) && memory.Top() == top) << asked << " " << memory.Top();
  }

  EXPECT_TRUE(memory.Set_Top(8 * Page));
  memory.Base()[8 * Page - 1] = 7;
  EXPECT_FALSE(memory.Set_Top(8 * Page + 1));
  EXPECT_TRUE(memory.Top() == 8 * Page && memory.Base()[8 * Page - 1] == 7);
}

TEST(Virtual_Memory, BottomGivesBackWholePagesOnlyAndGrowsDownAgain) {
  Virtual_Memory memory;
  ASSERT_TRUE(memory.Reserve(8 * Page, 6 * Page));
  memory.Base()[2 * Page] = 9;
  // Inside the first page: nothing changes.
  EXPECT_TRUE(memory.Set_Bottom(Page - 1) && memory.Bottom() == 0u);
  EXPECT_TRUE(memory.Set_Bottom(2 * Page + 100) && memory.Bottom() == 2 * Page);
  EXPECT_EQ(memory.Base()[2 * Page], 9);  // the page still in use keeps its bytes

  EXPECT_TRUE(memory.Set_Bottom(Page) && memory.Bottom() == Page);
  memory.Base()[Page] = 3;  // usable again
  memory.Release();
  EXPECT_TRUE(memory.Base() == nullptr && !memory.Set_Top(Page));
}
