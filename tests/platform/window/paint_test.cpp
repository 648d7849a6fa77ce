// Painting: update regions and WM_PAINT, erasing, clipping by regions,
// children and windows in front, window DCs outside WM_PAINT, other threads
// drawing, and presentation of what changed.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <tuple>

#include "platform/gdi/brush.h"
#include "platform/gdi/region.h"
#include "platform/window/screen.h"
#include "platform/window/user.h"
#include "platform/window/window_dc.h"
#include "tests/platform/window/window_test_support.h"

namespace {

constexpr uint32_t Red = 0xFF0000, Green = 0x00FF00, Blue = 0x0000FF, White = 0xFFFFFF;

template <class DC>  // a context, or a temporary one
void Fill(DC&& dc, const TRect& r, uint32_t colour) { dc.FillRect(r, TBrush{TColor::From_Xrgb(colour)}); }

// Fills its whole client area with one colour on every paint and notes what
// it was asked to paint.
class Filler : public TWindow {
 public:
  Filler(TWindow* parent, uint32_t colour, TRect r, std::vector<std::string>* log = nullptr, std::string name = "")
      : TWindow(parent, name.c_str()), colour_(colour), log_(log) {
    Place(*this, r);
  }
  void Paint(TDC& dc, bool erase, TRect& rect) override {
    if (log_) log_->push_back(Title() + " " + std::to_string(rect.left) + "," + std::to_string(rect.top) + "," +
                              std::to_string(rect.right) + "," + std::to_string(rect.bottom) + (erase ? " erase" : ""));
    Fill(dc, GetClientRect(), colour_);
  }
  bool EvEraseBkgnd(TDC&) override { return erase_answer; }
  bool erase_answer = true;

 private:
  uint32_t colour_;
  std::vector<std::string>* log_;
};

}  // namespace

class Paint_Test : public Headless_Test {
 protected:
  uint32_t Px(int x, int y) { return Desk().Screen().Pixel(x, y); }
  void Expect_Pixels(std::initializer_list<std::tuple<int, int, uint32_t>> want) {
    for (auto [x, y, colour] : want) EXPECT_EQ(Px(x, y), colour) << "at " << x << "," << y;
  }
};

TEST_F(Paint_Test, Paint_Gets_The_Invalidated_Rectangle_And_Draws_Only_There) {
  Filler w(nullptr, Red, {0, 0, 100, 100}, &log, "w");
  ASSERT_TRUE(w.Create());
  Run_Until_Idle();
  EXPECT_EQ(log, (std::vector<std::string>{"w 0,0,100,100"}));
  EXPECT_EQ(Px(50, 50), Red);
  log.clear();
  Fill(TClientDC(w), w.GetClientRect(), Blue);  // shows at once, outside WM_PAINT
  EXPECT_EQ(Px(50, 50), Blue);
  // A screen DC draws over every window and reads back.
  TScreenDC screen;
  EXPECT_EQ(screen.GetPixel(5, 5).Value(), TColor::From_Xrgb(Blue).Value());
  Fill(screen, {0, 0, 10, 10}, White);
  EXPECT_EQ(Px(5, 5), White);
  w.InvalidateRect({10, 20, 30, 40}, false);
  Run_Until_Idle();
  EXPECT_EQ(log, (std::vector<std::string>{"w 10,20,30,40"}));
  // The paint DC is clipped to the update region.
  Expect_Pixels({{10, 20, Red}, {29, 39, Red}, {30, 39, Blue}, {9, 20, Blue}});
  // A background left unerased is reported to Paint.
  w.erase_answer = false;
  w.InvalidateRect({0, 0, 10, 10}, true);
  Run_Until_Idle();
  EXPECT_EQ(log.back(), "w 0,0,10,10 erase");
}

TEST_F(Paint_Test, Parents_Paint_Before_Children_Clip_Them_Only_When_Asked_And_Repaint_Them_When_Uncovered) {
  Filler parent(nullptr, Red, {0, 0, 100, 100}, &log, "parent");
  auto* child = new Filler(&parent, Green, {10, 10, 30, 30}, &log, "child");
  ASSERT_TRUE(parent.Create());
  Run_Until_Idle();
  EXPECT_EQ(log, (std::vector<std::string>{"parent 0,0,100,100", "child 0,0,20,20"}));
  EXPECT_EQ(Px(15, 15), Green);
  // Without clip-children the parent's paint covers the child, which
  // repaints after it.
  log.clear();
  parent.Invalidate(false);
  Run_Until_Idle();
  EXPECT_EQ(log, (std::vector<std::string>{"parent 0,0,100,100", "child 0,0,20,20"}));
  // A parent DC draws over its children (sprites rely on it).
  Fill(TClientDC(parent), parent.GetClientRect(), Blue);
  EXPECT_EQ(Px(15, 15), Blue);
  parent.ModifyStyle(0, WS_CLIPCHILDREN);
  child->Invalidate(false);
  Settle();
  parent.Invalidate(false);
  Run_Until_Idle();
  EXPECT_EQ(log, (std::vector<std::string>{"parent 0,0,100,100"}));
  Expect_Pixels({{15, 15, Green}, {5, 5, Red}});
  // Uncovering a clip-children parent repaints its children too.
  Filler cover(nullptr, Blue, {0, 0, 50, 50}, &log, "cover");
  ASSERT_TRUE(cover.Create());
  Run_Until_Idle();
  EXPECT_EQ(Px(15, 15), Blue);
  log.clear();
  cover.ShowWindow(SW_HIDE);
  Run_Until_Idle();
  EXPECT_EQ(log, (std::vector<std::string>{"parent 0,0,50,50", "child 0,0,20,20"}));
  Expect_Pixels({{15, 15, Green}, {5, 5, Red}});
  // Hiding and showing the parent repaints both as well.
  parent.ShowWindow(SW_HIDE);
  Settle();
  parent.ShowWindow(SW_SHOW);
  Run_Until_Idle();
  EXPECT_EQ(log, (std::vector<std::string>{"parent 0,0,100,100", "child 0,0,20,20"}));
  // A moved child repaints both places.
  child->MoveWindow(60, 60, 20, 20, true);
  Run_Until_Idle();
  Expect_Pixels({{15, 15, Red}, {75, 75, Green}});
}

TEST_F(Paint_Test, A_Window_Region_Clips_Painting_And_Hit_Testing_Alike_And_A_Border_Insets_The_Client_Area) {
  Filler back(nullptr, Red, {0, 0, 200, 200});
  auto* boxed = new Filler(&back, Green, {10, 10, 40, 30});
  boxed->Attr.Style |= WS_BORDER;
  ASSERT_TRUE(back.Create());
  auto* round = new Filler(&back, Green, {50, 50, 150, 150});
  TRegion ellipse = TRegion::Ellipse({0, 0, 100, 100});
  round->SetWindowRgn(&ellipse, false);
  ASSERT_TRUE(round->Create());
  Run_Until_Idle();
  Expect_Pixels({{100, 100, Green}, {52, 52, Red}});  // the corner outside the ellipse is the parent's
  EXPECT_EQ(WindowFromPoint({52, 52}), back.GetHandle());
  // The same rule decides both: a pixel drawn green is one the window is hit at.
  for (int y = 50; y < 150; y += 3)
    for (int x = 50; x < 150; x += 3)
      EXPECT_EQ(Px(x, y) == Green, WindowFromPoint({x, y}) == round->GetHandle()) << x << "," << y;
  // A bordered child has a black frame around a client area inset by it.
  EXPECT_EQ(boxed->GetClientRect(), TRect(0, 0, 28, 18));
  TPoint p{0, 0};
  boxed->ClientToScreen(p);
  EXPECT_EQ(p, TPoint(11, 11));
  Expect_Pixels({{10, 10, 0}, {39, 29, 0}, {11, 11, Green}, {38, 28, Green}, {40, 30, Red}});
}

TEST_F(Paint_Test, Windows_In_Front_Clip_And_Hiding_Them_Repaints_What_Was_Under) {
  Filler low(nullptr, Red, {0, 0, 100, 100}, &log, "low");
  Filler high(nullptr, Blue, {50, 50, 150, 150}, &log, "high");
  ASSERT_TRUE(low.Create());
  ASSERT_TRUE(high.Create());
  Run_Until_Idle();
  EXPECT_EQ(Px(60, 60), Blue);
  low.Invalidate(false);
  Run_Until_Idle();
  EXPECT_EQ(Px(60, 60), Blue);  // the window behind cannot paint over it
  log.clear();
  high.ShowWindow(SW_HIDE);
  Run_Until_Idle();
  EXPECT_EQ(log, (std::vector<std::string>{"low 50,50,100,100"}));
  EXPECT_EQ(Px(60, 60), Red);
  EXPECT_NE(Px(120, 120), Blue);  // the desktop shows where no window is
}

TEST_F(Paint_Test, A_DC_Made_Before_Or_By_A_Worker_While_Its_Window_Is_Destroyed_Draws_Nothing) {
  // The window behind is activated while the front one goes; a worker makes
  // a context of the window going away at that very moment.
  struct Behind : Filler {
    using Filler::Filler;
    void EvActivate(UINT active, bool minimized, HWND other) override {
      if (active != WA_INACTIVE && doomed) std::thread([this] { late_dc = std::make_unique<TClientDC>(*doomed); }).join();
      Filler::EvActivate(active, minimized, other);
    }
    TWindow* doomed = nullptr;
    std::unique_ptr<TClientDC> late_dc;
  };
  Behind behind(nullptr, Blue, {100, 0, 200, 100});
  ASSERT_TRUE(behind.Create());
  auto* front = new Filler(nullptr, Red, {0, 0, 50, 50});
  ASSERT_TRUE(front->Create());
  Run_Until_Idle();
  ASSERT_EQ(Px(10, 10), Red);
  TClientDC early(*front);
  behind.doomed = front;
  front->Destroy();
  Run_Until_Idle();
  ASSERT_TRUE(behind.late_dc);
  uint32_t desktop = Px(10, 10);
  EXPECT_NE(desktop, Red);
  Fill(*behind.late_dc, {0, 0, 50, 50}, Green);
  Fill(early, {0, 0, 50, 50}, Green);
  EXPECT_EQ(Px(10, 10), desktop);
  EXPECT_EQ(early.GetPixel(1, 1).Value(), TColor(CLR_INVALID).Value());
  // The context outlives the window object; the desktop keeps no pointer to it.
  delete front;
  behind.MoveWindow(101, 1, 100, 100, true);
  Run_Until_Idle();
  behind.late_dc.reset();
}

TEST_F(Paint_Test, A_Worker_Makes_Contexts_By_Handle_While_Windows_Come_And_Go) {
  // The handle is looked up while the loop's thread registers new windows.
  Filler target(nullptr, Red, {0, 0, 50, 50});
  ASSERT_TRUE(target.Create());
  Run_Until_Idle();
  HWND h = target.GetHandle();
  std::atomic<bool> stop{false};
  std::atomic<int> drawn{0};
  std::thread worker([&] {
    for (; !stop; ++drawn) Fill(TClientDC(h), {0, 0, 10, 10}, Green);
  });
  std::vector<std::unique_ptr<TWindow>> others;
  for (int i = 0; i < 3000 || drawn < 10; ++i) {
    others.push_back(std::make_unique<TWindow>(nullptr));
    others.back()->Attr.Style &= ~WS_VISIBLE;
    others.back()->Create();
    if (i % 500 == 499) others.clear();
  }
  stop = true;
  worker.join();
  others.clear();
  Run_Until_Idle();
  EXPECT_EQ(Px(5, 5), Green);
}

TEST_F(Paint_Test, Only_The_Changed_Rectangles_Are_Presented_Also_When_Another_Thread_Draws) {
  Filler w(nullptr, Red, {0, 0, 300, 300});
  ASSERT_TRUE(w.Create());
  Run_Until_Idle();
  int presents = headless->Present_Count();
  w.InvalidateRect({10, 10, 20, 20}, false);
  Run_Until_Idle();
  EXPECT_EQ(headless->Present_Count(), presents + 1);
  TRect all;
  for (const TRect& r : headless->Last_Changed()) all = all.Union(r);
  EXPECT_EQ(all, TRect(10, 10, 20, 20));
  EXPECT_EQ(headless->Presented_Pixel(15, 15), Red);
  // Nothing changed: nothing presented.
  Run_Until_Idle();
  EXPECT_EQ(headless->Present_Count(), presents + 1);
  // Drawing by another thread wakes the sleeping loop, which presents it.
  std::thread worker([&] {
    TClientDC dc(w);
    for (int i = 0; i < 20; ++i) Fill(dc, {i, 0, i + 1, 10}, Green);
  });
  Desk().Run_Loop([&] { return headless->Present_Count() > presents + 1 && headless->Presented_Pixel(19, 5) == Green; });
  worker.join();
  EXPECT_EQ(headless->Presented_Pixel(0, 0), Green);
}

// An animation's context is made on the loop's thread and drawn through by
// its player's thread: each frame must wake the sleeping loop and be
// presented, with no input and no timer to move the loop on.
TEST_F(Paint_Test, Frames_Drawn_Through_A_Context_Made_On_The_Loops_Thread_Are_Presented_Without_Input) {
  Filler w(nullptr, Red, {0, 0, 300, 300});
  ASSERT_TRUE(w.Create());
  Run_Until_Idle();
  // A loop nothing wakes fails the test; a player starved on a busy machine
  // may take seconds to draw its next frame.
  headless->Set_Stuck_Limit_Ms(60000);
  TClientDC dc(w);
  const uint32_t frames[] = {Green, Blue, White};
  std::atomic<int> shown{0};
  std::thread player([&] {
    for (int k = 0; k < 3; ++k) {
      // The loop has gone back to sleep after the frame before.
      std::this_thread::sleep_for(std::chrono::milliseconds(30));
      Fill(dc, {0, 0, 10, 10}, frames[k]);
      while (shown.load() <= k) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  });
  Desk().Run_Loop([&] {
    if (shown < 3 && headless->Presented_Pixel(5, 5) == frames[shown.load()]) ++shown;
    return shown == 3;
  });
  player.join();
  EXPECT_EQ(headless->Presented_Pixel(5, 5), White);
}

TEST_F(Paint_Test, Clean_Up_May_Wait_For_A_Worker_That_Draws_Into_The_Window) {
  struct Animated : Filler {
    using Filler::Filler;
    void SetupWindow() override {
      Filler::SetupWindow();
      worker = std::thread([this] {
        for (; !stop; ++frames) Fill(TClientDC(*this), {0, 0, 10, 10}, Green);
      });
    }
    void CleanupWindow() override {
      stop = true;
      worker.join();  // the worker may be making a context right now
    }
    std::thread worker;
    std::atomic<bool> stop{false};
    std::atomic<int> frames{0};
  };
  Animated w(nullptr, Red, {0, 0, 100, 100});
  ASSERT_TRUE(w.Create());
  while (w.frames < 50) {
    w.MoveWindow(w.Attr.X == 0 ? 10 : 0, 0, 100, 100, true);  // layout changes while it draws
    Run_Until_Idle();
  }
  w.Destroy();
  EXPECT_FALSE(w.IsWindow());
}
