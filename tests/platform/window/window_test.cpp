// The window tree: two-phase creation, children, coordinates, z-order,
// visibility, close queries and what destruction takes with it.
#include "platform/window/window.h"

#include <gtest/gtest.h>

#include "platform/window/user.h"
#include "tests/platform/window/window_test_support.h"

using Window_Test = Headless_Test;

TEST_F(Window_Test, Attributes_Are_Readable_Before_Creation_And_Children_Are_Created_Asked_And_Destroyed_In_Order) {
  std::vector<std::string> order;
  struct Noting : TWindow {
    Noting(TWindow* p, std::string n, std::vector<std::string>& o) : TWindow(p, n.c_str()), order(o) {}
    void SetupWindow() override {
      order.push_back(Title() + " setup");
      TWindow::SetupWindow();
      order.push_back(Title() + " done");
    }
    void CleanupWindow() override { order.push_back(Title() + " cleanup"); }
    bool CanClose() override {
      order.push_back(Title() + " asked");
      return answer && TWindow::CanClose();
    }
    std::vector<std::string>& order;
    bool answer = true;
  };
  Noting top(nullptr, "top", order);
  auto* a = new Noting(&top, "a", order);
  a->Attr.X = 10;
  a->Attr.W = 30;
  auto* b = new Noting(&top, "b", order);
  b->Attr.X = a->Attr.X + a->Attr.W;  // laid out from the previous one's attributes
  EXPECT_FALSE(a->IsWindow());
  ASSERT_TRUE(top.Create());
  EXPECT_EQ(order, (std::vector<std::string>{"top setup", "a setup", "a done", "b setup", "b done", "top done"}));
  EXPECT_EQ(top.Children(), (std::vector<TWindow*>{a, b}));
  EXPECT_EQ(b->Attr.X, 40);
  // Close queries ask the children in creation order and stop at the first no.
  a->answer = false;
  order.clear();
  EXPECT_FALSE(top.CanClose());
  EXPECT_EQ(order, (std::vector<std::string>{"top asked", "a asked"}));
  top.PostMessage(WM_CLOSE);
  Run_Until_Idle();
  EXPECT_TRUE(top.IsWindow());
  order.clear();
  top.Destroy();
  EXPECT_EQ(order, (std::vector<std::string>{"top cleanup", "b cleanup", "a cleanup"}));
  EXPECT_FALSE(a->IsWindow());
}

TEST_F(Window_Test, Coordinates_Convert_Through_Every_Ancestor_Also_When_Hidden) {
  TWindow top(nullptr);
  Place(top, {100, 50, 500, 350});
  auto* mid = new TWindow(&top);
  mid->MoveWindow(20, 30, 200, 200);
  auto* leaf = new TWindow(mid);
  leaf->MoveWindow(5, 6, 10, 10);
  leaf->Attr.Style &= ~WS_VISIBLE;
  TPoint p{1, 2};
  leaf->ClientToScreen(p);  // before creation too
  EXPECT_EQ(p, TPoint(126, 88));
  ASSERT_TRUE(top.Create());
  mid->ShowWindow(SW_HIDE);
  TPoint q{126, 88};
  leaf->ScreenToClient(q);
  EXPECT_EQ(q, TPoint(1, 2));
  EXPECT_EQ(leaf->GetWindowRect(), TRect(125, 86, 135, 96));
  TPoint pts[1] = {{0, 0}};
  leaf->MapWindowPoints(top.GetHandle(), pts, 1);
  EXPECT_EQ(pts[0], TPoint(25, 36));
}

TEST_F(Window_Test, Hit_Testing_Takes_The_Front_Window_A_Click_Raises_It_And_The_Topmost_Band_Stays_In_Front) {
  Log_Window& pinned = Logged("pinned", {100, 100, 150, 150});
  pinned.SetWindowPos(HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  Log_Window& low = Logged("low", {0, 0, 200, 200});
  Log_Window& high = Logged("high", {50, 50, 250, 250});
  EXPECT_EQ(WindowFromPoint({60, 60}), high.GetHandle());
  EXPECT_EQ(WindowFromPoint({120, 120}), pinned.GetHandle());
  // A click activates its top-level window and raises it, but not above the topmost band.
  EXPECT_EQ(GetActiveWindow(), high.GetHandle());
  headless->Click({10, 10});
  Run_Until_Idle();
  EXPECT_EQ(GetActiveWindow(), low.GetHandle());
  EXPECT_EQ(GetFocus(), low.GetHandle());
  EXPECT_EQ(WindowFromPoint({60, 60}), low.GetHandle());
  EXPECT_EQ(WindowFromPoint({120, 120}), pinned.GetHandle());  // still above the rest
  pinned.SetWindowPos(HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  low.BringWindowToTop();
  EXPECT_EQ(WindowFromPoint({120, 120}), low.GetHandle());
  high.ShowWindow(SW_HIDE);
  EXPECT_EQ(WindowFromPoint({220, 220}), HWND());
}

TEST_F(Window_Test, Children_Are_Hit_In_Z_Order_And_Disabled_Windows_Take_No_Pointer_Input) {
  Log_Window top(nullptr, "top", log, {0, 0, 300, 300});
  auto* first = new Log_Window(&top, "first", log, {10, 10, 110, 110});
  auto* second = new Log_Window(&top, "second", log, {50, 50, 150, 150});
  ASSERT_TRUE(top.Create());
  // Later children go under earlier ones, as dialog controls do.
  EXPECT_EQ(WindowFromPoint({60, 60}), first->GetHandle());
  second->BringWindowToTop();
  EXPECT_EQ(WindowFromPoint({60, 60}), second->GetHandle());
  // A disabled child passes the pointer to its parent.
  second->EnableWindow(false);
  EXPECT_EQ(WindowFromPoint({60, 60}), top.GetHandle());
  Settle();
  headless->Click({140, 140});
  Run_Until_Idle();
  EXPECT_EQ(Only(log, "down"), (std::vector<std::string>{"top:ldown 140,140"}));
  // A disabled top-level window gets no pointer input; keys still reach the focus.
  top.EnableWindow(false);
  Settle();
  headless->Click({20, 20});
  headless->Key(VK_SPACE);
  first->SetFocus();
  Run_Until_Idle();
  EXPECT_EQ(log, (std::vector<std::string>{"first:keydown 32", "first:char 32", "first:keyup 32"}));
}

TEST_F(Window_Test, Destruction_Drops_Focus_Capture_Timers_Messages_And_The_Handle) {
  Log_Window top(nullptr, "top", log);
  auto* child = new Log_Window(&top, "child", log, {0, 0, 20, 20});
  ASSERT_TRUE(top.Create());
  child->SetFocus();
  child->SetCapture();
  child->SetTimer(1, 10);
  child->PostMessage(WM_USER + 1);
  HWND old = child->GetHandle();
  delete child;
  EXPECT_EQ(GetCapture(), HWND());
  EXPECT_EQ(GetFocus(), top.GetHandle());
  EXPECT_TRUE(top.Children().empty());
  EXPECT_FALSE(IsWindow(old));
  EXPECT_FALSE(PostMessage(old, WM_USER + 6));
  EXPECT_NE(Logged("next").GetHandle(), old);  // a new window never takes the old handle
  Advance(100);
  for (const std::string& line : log) EXPECT_EQ(line.rfind("child", 0), std::string::npos) << line;
}

TEST_F(Window_Test, A_Parentless_Window_Closed_By_Message_Is_Deleted_After_Its_Handler_Returns) {
  // A click handler asks a question (a nested loop); while the question is
  // open, a posted close reaches the same window. The handler still runs on
  // its object after the nested loop, so the object must not go before.
  static int deleted;
  static bool deleted_inside;
  deleted = 0;
  deleted_inside = false;
  struct Title_Like : TWindow {
    Title_Like() : TWindow(nullptr) {}
    ~Title_Like() override { ++deleted; }
    void EvLButtonDown(UINT, const TPoint&) override {
      PostMessage(WM_CLOSE);
      TDesktop::Current().Pump_Waiting_Messages();
      deleted_inside = deleted > 0;
    }
  };
  auto* plain = new Title_Like;
  ASSERT_TRUE(plain->Create());
  plain->PostMessage(WM_CLOSE);
  Run_Until_Idle();
  EXPECT_EQ(deleted, 1);
  deleted = 0;
  auto* w = new Title_Like;
  w->Attr.W = w->Attr.H = 50;
  ASSERT_TRUE(w->Create());
  headless->Click({10, 10});
  Run_Until_Idle();
  EXPECT_FALSE(deleted_inside);
  EXPECT_EQ(deleted, 1);
}
