// The hover tip: its delays and grace period on the virtual clock, presses,
// items told apart by pointer, the box's place and size, and the screen
// restored when it goes.
#include <cstring>

#include "tests/toolkit/widget_fixture.h"

namespace {

class Tip_Window_Test : public Widget_Test {
 protected:
  void SetUp() override {
    Widget_Test::SetUp();
    Move({300, 200});
    screen_before = Screen_Pixels(Whole);
  }
  // Enters the item and waits (by default out the delay).
  void Enter(const char* item, uint32_t ms = 1250) {
    tip->Enter_Item(item);
    Advance(ms);
  }
  // No tip, and the screen as it was.
  void Expect_Gone() {
    EXPECT_FALSE(tip->Shown);
    EXPECT_EQ(Screen_Pixels(Whole), screen_before);
  }

  const TRect Whole{0, 0, 800, 600};
  const char *a = "Iterate", *b = "Undo";
  std::vector<uint32_t> screen_before;
};

TEST_F(Tip_Window_Test, The_Tip_Shows_After_The_Delay_And_Not_If_Left_Before) {
  Enter(a, 1240);
  tip->Leave_Item(a);
  Advance(2000);
  EXPECT_TRUE(!tip->Shown && tip->Item == nullptr);
  Enter(a, 1240);
  EXPECT_FALSE(tip->Shown);
  Advance(10);
  EXPECT_TRUE(tip->Shown);
  EXPECT_EQ(std::pair(Screen_Pixel(tip->Tip_Rect.left, tip->Tip_Rect.top), Screen_Pixel(tip->Tip_Rect.left + 1, tip->Tip_Rect.top + 1)),
            std::pair(0u, 0xFFFFFFu));  // black frame, white inside
  tip->Leave_Item(a);
  Expect_Gone();
}

TEST_F(Tip_Window_Test, Within_The_Grace_Period_The_Next_Tip_Shows_At_Once) {
  Enter(a);
  tip->Leave_Item(a);
  Advance(50);
  tip->Enter_Item(b);
  EXPECT_TRUE(tip->Shown && tip->Item == b);
  tip->Leave_Item(b);
  Advance(100);  // the grace period ends
  EXPECT_EQ(tip->Item, nullptr);
  tip->Enter_Item(a);
  EXPECT_FALSE(tip->Shown);
  Advance(1250);
  EXPECT_TRUE(tip->Shown);
}

TEST_F(Tip_Window_Test, A_Press_Keeps_The_Tip_Away_Until_The_Item_Is_Entered_Again) {
  Enter(a, 500);
  tip->Press_Item(a);
  Advance(2000);
  Enter(a);  // still the current item: ignored
  EXPECT_FALSE(tip->Shown);
  tip->Leave_Item(a);
  Enter(a);
  EXPECT_TRUE(tip->Shown);
  tip->Press_Item(a);  // pressing a shown tip hides it
  Expect_Gone();
  // From the pressed item straight into another: the full delay.
  tip->Enter_Item(b);
  EXPECT_FALSE(tip->Shown);
  Advance(1250);
  EXPECT_TRUE(tip->Shown);
}

// Entering the waiting item again does not restart the wait; an equal text at
// another address is another item, shown at once while a tip waits.
TEST_F(Tip_Window_Test, Items_Are_Their_Text_Pointers) {
  Enter(a, 1000);
  Enter(a, 250);  // again: the wait does not restart
  EXPECT_TRUE(tip->Shown);
  tip->Cancel();
  Advance(200);
  char copy[16];
  std::strcpy(copy, a);
  Enter(a, 500);
  tip->Enter_Item(copy);
  EXPECT_TRUE(tip->Shown && tip->Item == copy);
  tip->Leave_Item(a);  // not the current item: ignored
  EXPECT_TRUE(tip->Shown);
}

TEST_F(Tip_Window_Test, The_Box_Sits_A_Menu_Height_Below_The_Pointer_Or_Above_It_Near_The_Bottom) {
  const int menu = GetSystemMetrics(SM_CYMENU);
  TScreenDC dc;
  dc.SelectObject(*tip->Font);
  const TSize text = dc.GetTextExtent("Eraser");
  Enter("Eraser");
  // Margins of twice size 29 (3 at the 800 column) on every side.
  EXPECT_EQ(tip->Tip_Rect, TRect(300, 200 + menu, 300 + text.cx + 12, 200 + menu + text.cy + 12));
  tip->Cancel();
  Advance(200);
  Move({790, 595});
  Enter(a);
  EXPECT_EQ(std::pair(tip->Tip_Rect.top, tip->Tip_Rect.right), std::pair(595 - menu, 800));
  tip->Cancel();
  Move({300, 200});
  Expect_Gone();
}

TEST_F(Tip_Window_Test, Tips_Turned_Off_Stop_A_Wait_But_Leave_A_Shown_Tip) {
  Enter(a, 500);
  tip->Set_Enabled(false);
  Advance(2000);
  EXPECT_FALSE(tip->Shown);
  tip->Enter_Item(b);  // while off, entering does nothing
  EXPECT_EQ(tip->Item, a);
  tip->Set_Enabled(true);
  tip->Leave_Item(a);
  Enter(b);
  EXPECT_TRUE(tip->Shown);
  tip->Set_Enabled(false);
  EXPECT_TRUE(tip->Shown);
  tip->Hide();
  Expect_Gone();
}

TEST_F(Tip_Window_Test, A_Tip_Shown_At_Once_Outlives_Its_Timer_And_Goes_When_Left) {
  // A panel may show the tip of an item it has just entered without waiting
  // (the help window does), and show it again during its grace period: the
  // timer that was running must not later drop the item from under the shown
  // box, or leaving it would leave the box.
  for (bool grace : {false, true}) {
    SCOPED_TRACE(grace ? "during the grace period" : "at once");
    Advance(200);
    if (grace) {
      Enter(a);
      tip->Leave_Item(a);
    } else {
      tip->Enter_Item(a);
    }
    tip->Show_Tip();
    ASSERT_TRUE(tip->Shown);
    Advance(grace ? 500 : 2000);
    EXPECT_TRUE(tip->Shown && tip->Item == a);
    tip->Leave_Item(a);
    Expect_Gone();
  }
}

TEST_F(Tip_Window_Test, A_Forgotten_Text_Is_Never_Read_Again) {
  auto owned = std::make_unique<char[]>(8);
  std::strcpy(owned.get(), "Gallery");
  Enter(owned.get(), 500);
  tip->Forget(owned.get());  // its button goes while the tip waits
  owned.reset();
  Advance(2000);
  EXPECT_TRUE(!tip->Shown && tip->Item == nullptr);
  // Forgetting a shown tip takes it off the screen.
  Enter(a);
  tip->Forget(b);
  EXPECT_TRUE(tip->Shown);
  tip->Forget(a);
  Expect_Gone();
}

}  // namespace
