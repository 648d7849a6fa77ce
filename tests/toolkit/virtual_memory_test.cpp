#include "toolkit/virtual_memory.h"

#include <gtest/gtest.h>

namespace {

const size_t Page = Virtual_Memory::Page_Size();

}  // namespace

TEST(Virtual_Memory, ReserveCommitsThePartAskedFor) {
  Virtual_Memory memory;
  EXPECT_FALSE(memory.Set_Top(10));
  EXPECT_FALSE(memory.Set_Bottom(0));
  ASSERT_TRUE(memory.Reserve(16 * Page, 3 * Page + 5));
  EXPECT_EQ(memory.Reserved_Size(), 16 * Page);
  EXPECT_EQ(memory.Bottom(), 0u);
  EXPECT_EQ(memory.Top(), 3 * Page + 5);
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
  // Within the last page: nothing changes.
  EXPECT_TRUE(memory.Set_Top(4 * Page - 10));
  EXPECT_EQ(memory.Top(), 4 * Page);
  // One page lower: exactly that page goes.
  EXPECT_TRUE(memory.Set_Top(3 * Page));
  EXPECT_EQ(memory.Top(), 3 * Page);
  // Any other value is raised to a page.
  EXPECT_TRUE(memory.Set_Top(Page + 1));
  EXPECT_EQ(memory.Top(), 2 * Page);

  EXPECT_TRUE(memory.Set_Top(8 * Page));
  memory.Base()[8 * Page - 1] = 7;
  EXPECT_FALSE(memory.Set_Top(8 * Page + 1));
  EXPECT_EQ(memory.Top(), 8 * Page);
  EXPECT_EQ(memory.Base()[8 * Page - 1], 7);
}

TEST(Virtual_Memory, BottomGivesBackWholePagesOnlyAndGrowsDownAgain) {
  Virtual_Memory memory;
  ASSERT_TRUE(memory.Reserve(8 * Page, 6 * Page));
  memory.Base()[2 * Page] = 9;
  // Inside the first page: nothing changes.
  EXPECT_TRUE(memory.Set_Bottom(Page - 1));
  EXPECT_EQ(memory.Bottom(), 0u);
  EXPECT_TRUE(memory.Set_Bottom(2 * Page + 100));
  EXPECT_EQ(memory.Bottom(), 2 * Page);
  EXPECT_EQ(memory.Base()[2 * Page], 9);  // the page still in use keeps its bytes

  EXPECT_TRUE(memory.Set_Bottom(Page));
  EXPECT_EQ(memory.Bottom(), Page);
  memory.Base()[Page] = 3;  // usable again
  memory.Release();
  EXPECT_EQ(memory.Base(), nullptr);
  EXPECT_FALSE(memory.Set_Top(Page));
}
