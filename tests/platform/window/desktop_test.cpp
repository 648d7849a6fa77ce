// The queue: retrieval order, coalescing, posting from threads, handles,
// timers and the loops.
#include "platform/window/desktop.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "platform/window/user.h"
#include "tests/platform/window/window_test_support.h"

using Queue_Test = Headless_Test;

TEST_F(Queue_Test, Posted_Messages_Come_Before_Input_Input_Before_Paint_And_Paint_Before_Timers) {
  Log_Window& w = Logged("w");
  w.log_moves = false;
  Settle();
  w.log_paint = true;
  w.SetTimer(7, 10);
  headless->Virtual_Clock().Advance(20);  // the timer is due already
  w.InvalidateRect({0, 0, 5, 5});
  headless->Click({5, 5});
  w.PostMessage(WM_USER + 1, 1);
  w.PostMessage(WM_USER + 1, 2);
  MSG msg;
  while (Desk().Peek(msg) && msg.message != WM_TIMER) Desk().Dispatch(msg);
  Desk().Dispatch(msg);
  EXPECT_EQ(log, (std::vector<std::string>{"w:user 1 1", "w:user 1 2", "w:ldown 5,5", "w:lup 5,5", "w:paint", "w:timer 7"}));
}

TEST_F(Queue_Test, Moves_And_Timer_Ticks_Are_Merged_But_Not_Across_Presses_And_Timers_Restart_When_Set) {
  Log_Window& w = Logged("w");
  Settle();
  for (TPoint p : {TPoint(1, 1), TPoint(2, 2), TPoint(3, 4)}) headless->Move_To(p);
  w.SetTimer(1, 10);
  headless->Virtual_Clock().Advance(95);  // nine intervals pass unseen
  Run_Until_Idle();
  EXPECT_EQ(log, (std::vector<std::string>{"w:move 3,4", "w:timer 1"}));
  // The tick re-armed the timer a full interval after it was taken.
  log.clear();
  Advance(9);
  EXPECT_TRUE(log.empty());
  Advance(1);
  EXPECT_EQ(log, (std::vector<std::string>{"w:timer 1"}));
  // Setting it again restarts it a full interval from then; zero still ticks.
  log.clear();
  w.SetTimer(1, 100);
  Advance(80);
  w.SetTimer(1, 100);
  Advance(80);
  EXPECT_TRUE(log.empty());
  Advance(20);
  EXPECT_EQ(log, (std::vector<std::string>{"w:timer 1"}));
  w.SetTimer(1, 0);
  Advance(10);
  EXPECT_EQ(log, (std::vector<std::string>{"w:timer 1", "w:timer 1"}));
  // Moves are not merged across a press or release between them.
  w.KillTimer(1);
  log.clear();
  headless->Move_To({1, 1});
  headless->Press({1, 1});
  headless->Move_To({8, 8});
  headless->Move_To({9, 9});
  headless->Release({9, 9});
  Run_Until_Idle();
  EXPECT_EQ(log, (std::vector<std::string>{"w:move 1,1", "w:ldown 1,1", "w:move 9,9", "w:lup 9,9"}));
}

TEST_F(Queue_Test, Posts_From_Other_Threads_Arrive_In_Order_And_Wake_The_Loop) {
  struct Counter : TWindow {
    Counter() : TWindow(nullptr) {}
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
      if (msg == WM_USER) {
        int thread = int(wp), n = int(lp);
        if (n != next[thread]) in_order = false;
        next[thread] = n + 1;
        ++total;
      }
      return TWindow::WindowProc(msg, wp, lp);
    }
    int next[4] = {};
    int total = 0;
    bool in_order = true;
  } w;
  ASSERT_TRUE(w.Create());
  HWND h = w.GetHandle();
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([h, t] {
      for (int i = 0; i < 2000; ++i) PostMessage(h, WM_USER, WPARAM(t), LPARAM(i));
    });
  // The loop blocks with nothing to do until the posts wake it.
  Desk().Run_Loop([&] { return w.total == 8000; });
  for (auto& t : threads) t.join();
  EXPECT_EQ(w.total, 8000);
  EXPECT_TRUE(w.in_order);
}

// Checked under ThreadSanitizer: a worker posting through the window object
// reads its handle while the loop's thread destroys and recreates it.
TEST_F(Queue_Test, Race_Of_A_Worker_Posting_And_Destroy) {
  TWindow w(nullptr);
  w.Attr.Style &= ~WS_VISIBLE;
  std::atomic<bool> stop{false};
  std::thread worker([&] {
    while (!stop) w.PostMessage(WM_USER);
  });
  for (int i = 0; i < 300; ++i) {
    ASSERT_TRUE(w.Create());
    w.Destroy();
  }
  stop = true;
  worker.join();
  Run_Until_Idle();
}

TEST_F(Queue_Test, Window_Less_Timers_Call_Back_With_Fresh_Ids_And_The_Wait_For_Them_Never_Spins) {
  static std::vector<UINT> fired;
  fired.clear();
  TIMERPROC proc = [](HWND hwnd, UINT msg, UINT id, uint32_t) {
    EXPECT_FALSE(bool(hwnd));
    EXPECT_EQ(msg, UINT(WM_TIMER));
    fired.push_back(id);
  };
  UINT a = SetTimer(HWND(), 0, 100, proc);
  UINT b = SetTimer(HWND(), 0, 250, proc);
  EXPECT_NE(a, 0u);
  EXPECT_NE(a, b);
  for (uint32_t ms : {100, 100, 50}) Advance(ms);
  EXPECT_EQ(fired, (std::vector<UINT>{a, a, b}));
  EXPECT_TRUE(KillTimer(HWND(), a));
  EXPECT_FALSE(KillTimer(HWND(), a));
  fired.clear();
  Advance(250);
  EXPECT_EQ(fired, (std::vector<UINT>{b}));
  // With nothing else to do, one wait jumps straight to the next tick: the loop never spins.
  uint32_t start = GetTickCount();
  int idles = 0;
  Desk().Idle_Hook = [&](long) {
    ++idles;
    return false;
  };
  Desk().Run_Loop([&] { return fired.size() == 2; });
  EXPECT_EQ(GetTickCount() - start, 250u);
  EXPECT_LE(idles, 3);
  KillTimer(HWND(), b);
}

TEST_F(Queue_Test, A_Quit_Ends_Every_Nested_Loop_And_Pumping_Works_Inside_A_Handler) {
  struct Nester : TWindow {
    Nester() : TWindow(nullptr) {}
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
      if (msg != WM_USER + 2) return TWindow::WindowProc(msg, wp, lp);
      ++depth;
      if (wp > 0) PostMessage(WM_USER + 2, wp - 1);
      else PostQuitMessage(3);
      EXPECT_EQ(TDesktop::Current().Run_Loop([] { return false; }), TDesktop::TLoop_End::Quit);
      return 0;
    }
    int depth = 0;
  } nester;
  ASSERT_TRUE(nester.Create());
  nester.PostMessage(WM_USER + 2, 2);
  EXPECT_EQ(Desk().Run_Loop(nullptr), TDesktop::TLoop_End::Quit);
  EXPECT_EQ(nester.depth, 3);
  EXPECT_EQ(Desk().Take_Quit(), 3);
  EXPECT_FALSE(Desk().Quit_Pending());
  // Pump_Waiting_Messages works from inside a handler.
  struct Pumper : Log_Window {
    using Log_Window::Log_Window;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
      if (msg != WM_USER + 9) return Log_Window::WindowProc(msg, wp, lp);
      PostMessage(WM_USER + 1, 1);
      PostMessage(WM_USER + 1, 2);
      TDesktop::Current().Pump_Waiting_Messages();
      Note("after pump");
      return 0;
    }
  } p(nullptr, "p", log);
  ASSERT_TRUE(p.Create());
  p.PostMessage(WM_USER + 9);
  Run_Until_Idle();
  EXPECT_EQ(log, (std::vector<std::string>{"p:user 1 1", "p:user 1 2", "p:after pump"}));
}

