// The mouse arbiter: who holds the mouse, who is told of losing it, the
// lock, pushing and popping a holder, and the buttons' state.
#include "toolkit/demonstration_state.h"
#include "tests/toolkit/widget_fixture.h"

namespace {

using Losses = std::vector<std::pair<std::string, LPARAM>>;

// A child window that notes every loss of the mouse and who caused it.
struct Holder_Window : TWindow {
  Holder_Window(TWindow* parent, Losses& log, const char* name) : TWindow(parent, name), log(log), name(name) {
    Attr.W = Attr.H = 50;
  }
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
    if (msg == Mouse_Lost_Message) log.emplace_back(name, lp);
    return TWindow::WindowProc(msg, wp, lp);
  }
  Losses& log;
  std::string name;
};

class Mouse_Test : public Widget_Test {
 protected:
  void SetUp() override {
    Widget_Test::SetUp();
    a = new Holder_Window(main, lost, "a");
    b = new Holder_Window(main, lost, "b");
    ASSERT_TRUE(a->Create());
    ASSERT_TRUE(b->Create());
  }
  static LPARAM Param(TWindow* w) { return reinterpret_cast<LPARAM>(w); }
  // Once the queue has run: the holder (and so the capture), and every loss told.
  void Expect(TWindow* holder, const Losses& told) {
    Run_Until_Idle();
    EXPECT_EQ(mouse->Holder(), holder);
    EXPECT_TRUE(holder == nullptr || mouse->Holds(holder));
    EXPECT_EQ(GetCapture(), holder ? holder->GetHandle() : HWND());
    EXPECT_EQ(lost, told);
  }

  Losses lost;
  Holder_Window* a = nullptr;
  Holder_Window* b = nullptr;
};

TEST_F(Mouse_Test, A_New_Holder_Takes_The_Mouse_And_The_Old_One_Is_Told_Who_But_Not_Again) {
  mouse->Capture(a);
  const HHOOK hook = mouse->Hook;
  EXPECT_NE(hook, 0u);
  mouse->Capture(a);  // the holder again: nobody is told, the hook stays
  Expect(a, {});
  EXPECT_EQ(mouse->Hook, hook);
  mouse->Capture(b);
  Expect(b, {{"a", Param(b)}});
}

TEST_F(Mouse_Test, Releasing_For_Another_Window_Tells_The_Holder_And_Frees_Everything) {
  mouse->Capture(a);
  mouse->Release(b);
  Expect(nullptr, {{"a", Param(b)}});
  EXPECT_EQ(mouse->Hook, 0u);
  // A holder releasing for itself is not told; with nothing held, nobody is.
  mouse->Capture(a);
  mouse->Release(a);
  mouse->Release(nullptr);
  Expect(nullptr, {{"a", Param(b)}});
}

TEST_F(Mouse_Test, While_Locked_Nothing_Changes_Hands) {
  mouse->Capture(a);
  mouse->Locked = 1;
  mouse->Capture(b);
  mouse->Release(a);
  mouse->Push_Capture(b);
  mouse->Pop_Capture();
  Expect(a, {});
  EXPECT_TRUE(mouse->Busy());
}

TEST_F(Mouse_Test, Push_Then_Pop_Gives_The_Mouse_Back_Without_Telling_Anyone) {
  mouse->Capture(a);
  mouse->Push_Capture(b);
  EXPECT_TRUE(mouse->Holds(b));
  EXPECT_EQ(mouse->Saved_Holder(), a);
  mouse->Pop_Capture();
  Expect(a, {});
  EXPECT_EQ(mouse->Saved_Holder(), nullptr);
  mouse->Pop_Capture();  // with nothing put aside, a pop is a release for no window
  Expect(nullptr, {{"a", 0}});
}

TEST_F(Mouse_Test, A_Holder_That_Died_Is_Never_Reached) {
  mouse->Capture(a);
  delete a;
  EXPECT_EQ(mouse->Holder(), nullptr);
  mouse->Capture(b);  // the loss message to the dead window goes nowhere
  Expect(b, {});
}

TEST_F(Mouse_Test, No_Recording_Hook_While_A_Demonstration_Runs) {
  Set_Demonstration_Running(true);
  mouse->Capture(a);
  EXPECT_EQ(mouse->Hook, 0u);
  EXPECT_TRUE(mouse->Holds(a));
  mouse->Release(a);
  Set_Demonstration_Running(false);
  mouse->Capture(a);
  EXPECT_NE(mouse->Hook, 0u);
}

TEST_F(Mouse_Test, The_Buttons_Follow_The_Queued_Messages) {
  Press({10, 10});
  EXPECT_EQ(mouse->Left_Button_Down, 1);
  EXPECT_TRUE(mouse->Busy());
  headless->Press({10, 10}, TInput_Event::Right);
  Run_Until_Idle();
  EXPECT_EQ(mouse->Right_Button_Down, 1);
  Release({10, 10});
  headless->Release({10, 10}, TInput_Event::Right);
  Run_Until_Idle();
  EXPECT_FALSE(mouse->Busy());
}

}  // namespace
