// The title window: which picture for which screen, the pace of the
// stepper, the order in which the areas come out, and every way the window
// closes, on the virtual clock. The stepper is a real thread: the tests wait
// (in real time) for it to take each step.
#include "app/title_window.h"

#include <gtest/gtest.h>

#include <vector>

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>

#include "model/ipstream.h"
#include "platform/backend/headless/headless_session.h"
#include "platform/gdi/dib_file.h"
#include "platform/gdi/region.h"
#include "platform/system/resource.h"
#include "platform/window/desktop.h"
#include "platform/window/screen.h"
#include "toolkit/program_messages.h"

namespace {

using namespace std::chrono_literals;

// Stands in for the main window: counts the title's farewell.
class Notified_Window : public TWindow {
 public:
  Notified_Window() : TWindow(nullptr, "Main") { Attr.Style = WS_POPUP; }
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
    if (msg == Title_Finished_Message) ++finished;
    return TWindow::WindowProc(msg, wp, lp);
  }
  int finished = 0;
};

class Title_Window_Test : public testing::Test {
 protected:
  explicit Title_Window_Test(TSize screen = {1024, 768}) : session(screen) {
    main.Create();
    title = new Title_Window(nullptr);
    title->Create();
    session.Run_Until_Idle();
  }
  ~Title_Window_Test() override { if (Open()) delete title; }

  bool Open() const { return The_Title_Window != nullptr; }
  // Starts the stepper, which uncovers area 11 at once. The clock is moved
  // only by Step while the stepper runs, so that no step comes unasked.
  void Start() {
    title->Start_Stepper();
    Wait_Until([&] { return title->Covered == 11; });
    ASSERT_EQ(title->Covered, 11);
    session.Run_Until_Idle();
  }
  // Waits for done, letting the loop run between looks when pump. The bound
  // is generous: a starved stepper on a loaded machine may take seconds.
  template <class Done>
  void Wait_Until(Done done, bool pump = false) {
    const auto deadline = std::chrono::steady_clock::now() + 120s;
    while (!done() && std::chrono::steady_clock::now() < deadline) {
      if (pump) session.Run_Until_Idle();
      if (!done()) std::this_thread::sleep_for(1ms);
    }
  }
  // One interval of the clock, until the stepper has taken its next step
  // (it may not have begun its wait when the clock first moves, so the clock
  // moves again after each look). The step that ends it all may close the
  // window at once.
  void Step() {
    const int32_t before = title->Covered;
    const uint32_t interval = title->Stepper->Interval();
    const auto stepped = [&] { return !Open() || title->Covered != before; };
    const auto give_up = std::chrono::steady_clock::now() + 120s;
    while (!stepped() && std::chrono::steady_clock::now() < give_up) {
      session.Advance(interval);
      const auto deadline = std::chrono::steady_clock::now() + 50ms;
      while (!stepped() && std::chrono::steady_clock::now() < deadline) std::this_thread::sleep_for(1ms);
    }
    if (Open()) {
      ASSERT_EQ(title->Covered, before - 1);
      // The last step lowers the count before it decides whether to post the
      // close: what follows is asked only once the stepper has ended.
      if (title->Covered < 0) {
        Wait_Until([&] { return title->Stepper->GetStatus() == TThread::Finished; });
        ASSERT_EQ(title->Stepper->GetStatus(), TThread::Finished);
      }
    }
    session.Run_Until_Idle();
  }
  void Uncover_All() { while (Open() && title->Covered >= 0) Step(); }
  // A point of the client area on the screen.
  TPoint On_Screen(TPoint client) const { return title->GetWindowRect().TopLeft() + client; }
  // Read under the screen lock: the stepper draws from its own thread.
  uint32_t Screen_Pixel(TPoint p) const {
    std::lock_guard guard(TDesktop::Current().Screen().Lock());
    return TDesktop::Current().Screen().Pixel(p.x, p.y);
  }
  // Whether area i shows the covering colour at its centre on the screen.
  bool Looks_Covered(int i) const {
    const TRect area = title->Current_Layout->Area(i);
    return Screen_Pixel(On_Screen({(area.left + area.right) / 2, (area.top + area.bottom) / 2})) == Cover;
  }
  static constexpr uint32_t Cover = 0xF5C542;
  void Press() { session.Backend().Press(Centre()), session.Run_Until_Idle(); }
  void Release_Closes() {
    session.Backend().Release(Centre()), session.Run_Until_Idle();
    EXPECT_FALSE(Open());
    EXPECT_EQ(main.finished, 1);
  }
  TPoint Centre() const { return On_Screen({title->Client_Rect.Width() / 2, title->Client_Rect.Height() / 2}); }

  THeadless_Session session;
  Notified_Window main;
  Title_Window* title = nullptr;
};

TEST(Title_Window_Choices_Test, Picture_Set_By_Screen_Height) {
  const struct {
    int32_t height;
    Title_Window::Picture_Set set;
  } cases[] = {
      {480, {4105, 4301, 480}},  {960, {4105, 4301, 480}},  {600, {4106, 4302, 600}},
      {1200, {4106, 4302, 600}}, {768, {4107, 4303, 768}},  {1536, {4107, 4303, 768}},
      {1024, {4105, 4301, 480}}, {1080, {4105, 4301, 480}}, {767, {4105, 4301, 480}},
  };
  for (const auto& c : cases) EXPECT_EQ(Title_Window::Set_For_Height(c.height), c.set) << c.height;
}

TEST(Title_Window_Choices_Test, Pace_Is_Twice_The_Start_Up_Time_Within_Bounds) {
  const struct {
    uint32_t elapsed, interval;
  } cases[] = {{0, 250}, {100, 250}, {125, 250}, {126, 252}, {500, 1000},
               {999, 1998}, {1000, 2000}, {1500, 2000}, {0xFFFFFFFF, 2000}};
  for (const auto& c : cases) EXPECT_EQ(Title_Window::Step_Interval(c.elapsed), c.interval) << c.elapsed;
}

TEST(Title_Window_Choices_Test, Pictures_Fit_Their_Layouts_And_Keep_The_Cover_Colour_Out_Of_The_Areas) {
  for (int32_t height : {480, 600, 768}) {
    const Title_Window::Picture_Set set = Title_Window::Set_For_Height(height);
    SCOPED_TRACE(set.bitmap_id);
    const TResource bytes = Find_Resource(RT_BITMAP, set.bitmap_id), block = Find_Resource(RT_RCDATA, set.layout_id);
    ASSERT_TRUE(bytes && block);
    const std::optional<TDib> picture = TDib_File::Read(bytes.data, bytes.size);
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->BitsPixel(), 8);
    Title_Data layout;
    ipstream in(block.data, block.size);
    in.Read_Version();
    in.Read_Object(layout);
    ASSERT_FALSE(in.Fail());
    EXPECT_EQ(picture->Size(), layout.Window_Rect().Size());
    // Rows are stored bottom-up: the top-left pixel is in the last row.
    const auto index = [&](int x, int y) { return picture->GetBits()[(picture->Height() - 1 - y) * picture->Pitch() + x]; };
    const uint32_t cover = picture->GetColors()[index(0, 0)];
    int clashes = 0;
    for (int i = 0; i < Title_Data::Area_Count; ++i) {
      const TRect box = layout.Area(i).Inflated_By(1, 1);
      const TRegion round = TRegion::Ellipse(box);
      for (int y = box.top; y < box.bottom; ++y)
        for (int x = box.left; x < box.right; ++x)
          if (round.Contains({x, y}) && picture->GetColors()[index(x, y)] == cover) ++clashes;
    }
    EXPECT_EQ(clashes, 0);
  }
}

TEST_F(Title_Window_Test, Stands_Where_The_Layout_Says_With_A_Round_Shape_And_The_Mouse) {
  EXPECT_EQ(title->GetWindowRect(), TRect(190, 21, 790, 621));
  EXPECT_EQ(title->Title(), "Quendar Startup");
  EXPECT_TRUE(title->IsWindowVisible() && TWindow::GetCapture() == title->GetHandle());
  ASSERT_NE(title->GetWindowRgn(), nullptr);
  EXPECT_TRUE(title->Shape_Contains({300, 300}) && !title->Shape_Contains({3, 3}));
  EXPECT_EQ(title->Scaled_Layout, nullptr);
}

TEST_F(Title_Window_Test, Areas_Come_Out_From_11_Down_To_0) {
  for (int i = 0; i < Title_Data::Area_Count; ++i) EXPECT_TRUE(Looks_Covered(i)) << i;
  session.Snapshot("title_covered", title->GetWindowRect());
  Start();
  for (int32_t covered = 11; covered >= 0; --covered) {
    Wait_Until([&] { return !Looks_Covered(covered); });  // the stepper has drawn it
    for (int i = 0; i < Title_Data::Area_Count; ++i) EXPECT_EQ(Looks_Covered(i), i < covered) << covered << " " << i;
    if (covered == 6) session.Snapshot("title_half", title->GetWindowRect());
    Step();
  }
  // A full repaint shows what the stepper drew: each circle frames its own
  // picture, taken from the same rows of the bitmap.
  auto area_pixels = [&] {
    std::vector<uint32_t> pixels;
    for (int i = 0; i < Title_Data::Area_Count; ++i) {
      const TRect area = title->Current_Layout->Area(i);
      for (const TPoint p : {TPoint{area.left + area.Width() / 2, area.top + area.Height() / 4},
                             TPoint{area.left + area.Width() / 2, area.bottom - area.Height() / 4}})
        pixels.push_back(Screen_Pixel(On_Screen(p)));
    }
    return pixels;
  };
  const std::vector<uint32_t> stepped = area_pixels();
  title->Invalidate();
  session.Run_Until_Idle();
  for (int i = 0; i < Title_Data::Area_Count; ++i) EXPECT_FALSE(Looks_Covered(i)) << i;
  EXPECT_EQ(area_pixels(), stepped);
  session.Snapshot("title_uncovered", title->GetWindowRect());
}

TEST_F(Title_Window_Test, Finish_Before_The_Last_Area_Closes_After_The_Last_Step_Not_By_The_Timer) {
  // The slowest pace, twice the time since construction, so that the timer
  // falls due between two steps.
  session.Advance(1000);
  Start();
  EXPECT_EQ(title->Stepper->Interval(), 2000u);
  title->Finish(&main);
  session.Advance(Title_Window::Close_Delay_Ms);
  EXPECT_TRUE(Open());
  EXPECT_FALSE(title->Close_Timer_Running);
  for (int32_t left = 11; left > 0; --left) {
    Step();
    EXPECT_TRUE(Open());
  }
  Step();  // covered -1: the stepper posts the close
  Wait_Until([&] { return !Open(); }, true);  // posted from the stepper's thread
  EXPECT_FALSE(Open());
  EXPECT_EQ(main.finished, 1);
}

TEST_F(Title_Window_Test, A_Button_Held_At_Finish_Keeps_The_Window_Until_Released) {
  Start();
  Uncover_All();
  Press();
  title->Finish(&main);
  session.Advance(3000);
  EXPECT_TRUE(Open());
  Release_Closes();
}

TEST_F(Title_Window_Test, A_Press_After_Finish_Holds_The_Window_Until_The_Release) {
  Start();
  title->Finish(&main);
  Press();
  EXPECT_FALSE(title->Close_Timer_Running);
  // Nor does the stepper's last step close it while the button is down.
  Uncover_All();
  EXPECT_TRUE(Open());
  Release_Closes();
}

TEST_F(Title_Window_Test, Finish_After_Everything_Is_Uncovered_Closes_By_The_Timer_Not_By_Clicks) {
  Start();
  Uncover_All();
  session.Backend().Click(Centre());
  session.Run_Until_Idle();
  EXPECT_TRUE(Open());
  title->Finish(&main);
  // The corner of the square is outside the round window; the capture
  // brings the press here all the same, and it is ignored.
  session.Backend().Press(On_Screen({2, 2}));
  session.Run_Until_Idle();
  EXPECT_FALSE(title->Mouse_Held);
  session.Advance(Title_Window::Close_Delay_Ms - 1);
  EXPECT_TRUE(Open());
  session.Advance(1);
  EXPECT_FALSE(Open());
  EXPECT_EQ(main.finished, 1);
}

TEST_F(Title_Window_Test, Deleting_While_The_Stepper_Waits_Returns_Without_The_Clock_Moving) {
  session.Advance(5000);  // the slowest pace: 2 s between areas
  Start();
  // Were the wait not cut short, only a moving clock could end it: a
  // watchdog moves it after a while and tells.
  std::atomic<bool> deleted{false}, clock_needed{false};
  std::thread watchdog([&] {
    const auto deadline = std::chrono::steady_clock::now() + 60s;  // a loaded machine may be slow to delete
    while (!deleted && std::chrono::steady_clock::now() < deadline) std::this_thread::sleep_for(1ms);
    if (!deleted) {
      clock_needed = true;
      session.Backend().Virtual_Clock().Advance(2000);
    }
  });
  delete title;
  deleted = true;
  watchdog.join();
  EXPECT_FALSE(clock_needed);
  EXPECT_FALSE(Open());
}

// 960 lines: the 480 layout twice as large; the caption above the panels
// keeps its 20 pixels, so the window's top is 20 + 2 x (18 - 20).
class Title_Window_960_Test : public Title_Window_Test {
 protected:
  Title_Window_960_Test() : Title_Window_Test({1280, 960}) {}
};

TEST_F(Title_Window_960_Test, Uses_The_480_Layout_Scaled) {
  ASSERT_NE(title->Scaled_Layout, nullptr);
  EXPECT_EQ(title->GetWindowRect(), TRect(234, 16, 994, 776));
  EXPECT_EQ(title->Current_Layout->Area(0), TRect(226, 150, 346, 270));
  EXPECT_EQ(title->Base_Layout.Area(0), TRect(113, 75, 173, 135));
}

// A wide screen: the title is scaled and placed like the centred panels'
// layout (1440 x 1080 from x = 240), not by the screen's own height alone.
class Title_Window_Wide_Test : public Title_Window_Test {
 protected:
  Title_Window_Wide_Test() : Title_Window_Test({1920, 1080}) {}
};

TEST_F(Title_Window_Wide_Test, Follows_The_Centred_Layout) {
  ASSERT_NE(title->Scaled_Layout, nullptr);
  EXPECT_EQ(title->GetWindowRect(), TRect(240 + 263, 16, 240 + 263 + 855, 16 + 855));
}

}  // namespace
