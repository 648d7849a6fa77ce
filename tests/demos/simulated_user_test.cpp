// The scripted input engine: the queue builders, the speed table, the
// glide steps, pauses and holds, answered to the playback procedure's
// requests on the headless window system's virtual clock and pointer; and
// the same queue played by the window system into a window.
#include "demos/simulated_user.h"

#include <gtest/gtest.h>

#include "platform/backend/headless/headless_session.h"
#include "platform/system/clock.h"
#include "platform/window/desktop.h"
#include "platform/window/user.h"
#include "platform/window/window.h"
#include "toolkit/demonstration_state.h"
#include "users/caption_owner.h"

namespace {

using A = User_Action;

struct Counting_Caption : Caption_Owner {
  void Update_Caption() override { ++updates; }
  int updates = 0;
};

// One answer of the playback procedure.
struct Answer {
  LRESULT delay;
  EVENTMSG event;
};

class Engine : public ::testing::Test {
 protected:
  void SetUp() override { The_Caption_Owner = &caption; }
  void TearDown() override { The_Caption_Owner = nullptr; }

  Answer Get_Next() {
    Answer a{0, {}};
    a.delay = driver.Hook_Procedure(HC_GETNEXT, a.event);
    return a;
  }
  void Skip() { driver.Hook_Procedure(HC_SKIP, skip_record); }
  // Plays one event as the window system does, without its message loop:
  // asks until the answer is 0, waiting each delay on the clock, and moves
  // the pointer where a pointer event lands.
  Answer Play_One() {
    Answer a = Get_Next();
    uint32_t waited = 0;
    while (a.delay != 0) {
      waited += uint32_t(a.delay);
      Clock().Advance(uint32_t(a.delay));
      a = Get_Next();
    }
    if (a.event.message == WM_MOUSEMOVE || a.event.message == WM_LBUTTONDOWN || a.event.message == WM_LBUTTONUP)
      SetCursorPos(int(a.event.paramL), int(a.event.paramH));
    Skip();
    a.delay = LRESULT(waited);
    return a;
  }
  TVirtual_Clock& Clock() { return session.Backend().Virtual_Clock(); }
  TPoint Pointer() {
    TPoint p;
    GetCursorPos(p);
    return p;
  }

  Counting_Caption caption;
  THeadless_Session session;
  Simulated_User driver{nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr};
  EVENTMSG skip_record;
};

TEST(Simulated_User_Speed_Table, Rows_For_A_Design_Width_Of_800) {
  const std::vector<int> table = Simulated_User::Build_Speed_Table(800);
  ASSERT_EQ(table.size(), 800u);
  const std::pair<int, int> rows[] = {{0, 0},    {1, 53},   {2, 53},   {5, 53},   {10, 59},
                                      {50, 133}, {100, 188}, {200, 266}, {400, 377}, {799, 532}};
  for (auto [d, speed] : rows) EXPECT_EQ(table[size_t(d)], speed) << d;
}

TEST_F(Engine, Builders_Append_Their_Gestures_In_Order) {
  const TPoint p(10, 20), q(30, 40);
  driver.Left_Click(p, 5);
  EXPECT_EQ(std::vector<A>(driver.Queue().begin(), driver.Queue().end()),
            (std::vector<A>{{A::Glide, 10, 20, -1}, {A::Pause, 0, 0, 250}, {A::Left_Down, 10, 20, -1},
                            {A::Left_Up, 10, 20, -1}, {A::Pause, 0, 0, 250}}));
  Simulated_User other(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
  other.Left_Click(p, 2);
  other.Drag(p, q);
  other.Type_Text("De m");
  const std::vector<A> expected = {
      {A::Glide, 10, 20, -1}, {A::Left_Down, 10, 20, -1}, {A::Pause, 0, 0, 500}, {A::Left_Up, 10, 20, -1},
      {A::Glide, 10, 20, -1}, {A::Left_Down, 10, 20, -1}, {A::Glide, 30, 40, -1}, {A::Left_Up, 30, 40, -1},
      {A::Key_Down, 0, 0, VK_SHIFT}, {A::Key_Down, 0, 0, 'D'}, {A::Key_Up, 0, 0, 'D'}, {A::Key_Up, 0, 0, VK_SHIFT},
      {A::Pause, 0, 0, 100},    {A::Key_Down, 0, 0, 'E'},
      {A::Key_Up, 0, 0, 'E'},   {A::Pause, 0, 0, 100},    {A::Key_Down, 0, 0, ' '}, {A::Key_Up, 0, 0, ' '},
      {A::Pause, 0, 0, 100},    {A::Key_Down, 0, 0, 'M'}, {A::Key_Up, 0, 0, 'M'},   {A::Pause, 0, 0, 100},
      {A::Pause, 0, 0, 250},    {A::Key_Down, 0, 0, 13},  {A::Key_Up, 0, 0, 13}};
  EXPECT_EQ(std::vector<A>(other.Queue().begin(), other.Queue().end()), expected);
  The_Simulated_User = &driver;
}

TEST_F(Engine, Empty_Queue_Installs_Nothing) {
  driver.Start_Playback();
  EXPECT_FALSE(driver.Playing());
  EXPECT_FALSE(Journal_Playback_Installed());
  EXPECT_TRUE(driver.Speed_Table().empty());
}

TEST_F(Engine, A_Glide_Bends_And_Lands_Exactly_With_The_Short_Axis_First) {
  SetCursorPos(100, 100);
  driver.Glide(TPoint(500, 110));
  driver.Start_Playback();
  ASSERT_TRUE(driver.Playing());
  ASSERT_EQ(driver.Speed_Table().size(), 800u);
  Answer first = Play_One();
  EXPECT_EQ(first.delay, 33);  // the first step assumes 33 ms elapsed
  EXPECT_EQ(Pointer(), TPoint(112, 101));
  int steps = 1;
  int y_landed_at = 0;
  TPoint last = Pointer();
  while (!driver.Queue().empty() && steps < 500) {
    const Answer a = Play_One();
    EXPECT_EQ(a.delay, 33);
    const TPoint now = Pointer();
    EXPECT_GT(now.x, last.x);  // never stalls, never turns back
    if (now.y == 110 && !y_landed_at) y_landed_at = steps;
    last = now;
    ++steps;
  }
  EXPECT_EQ(Pointer(), TPoint(500, 110));
  EXPECT_GT(y_landed_at, 0);
  EXPECT_LT(y_landed_at, steps - 1);
  EXPECT_FALSE(driver.Playing());  // the queue ran out: the hook is gone
  EXPECT_TRUE(driver.Speed_Table().empty());
}

TEST_F(Engine, A_Glide_Step_Scales_With_The_Time_Between_Deliveries) {
  SetCursorPos(100, 100);
  driver.Glide(TPoint(600, 100));
  driver.Start_Playback();
  Play_One();  // 500 px away: 421 px/s for the assumed 33 ms
  EXPECT_EQ(Pointer().x, 113);
  // The second delivery is 133 ms after the first.
  Answer a = Get_Next();
  EXPECT_EQ(a.delay, 33);
  Clock().Advance(133);
  a = Get_Next();
  ASSERT_EQ(a.delay, 0);
  SetCursorPos(int(a.event.paramL), int(a.event.paramH));
  Skip();
  EXPECT_EQ(Pointer().x, 126);
  // So the third step covers 133 ms at 410 px/s; its event is still 33 ms on.
  EXPECT_EQ(Play_One().delay, 33);
  EXPECT_EQ(Pointer().x, 180);
}

TEST_F(Engine, A_Glide_To_The_Pointer_Is_One_Move_After_The_Pauses_Before_It) {
  SetCursorPos(300, 200);
  driver.Pause(250);
  driver.Glide(TPoint(302, 201));
  driver.Append(A::Left_Down, -1, TPoint(302, 201));
  driver.Start_Playback();
  const Answer a = Play_One();
  EXPECT_EQ(a.delay, 283);
  EXPECT_EQ(a.event.message, UINT(WM_MOUSEMOVE));
  EXPECT_EQ(Pointer(), TPoint(302, 201));
  const Answer b = Play_One();
  EXPECT_EQ(b.event.message, UINT(WM_LBUTTONDOWN));
  EXPECT_EQ(b.delay, 0);
}

// Mended: a glide never stalls, on a far target beyond the table, on a
// clock that did not move, or a near one the table's speed would not reach;
// and a step after a long gap lands on the target instead of passing it.
TEST_F(Engine, A_Glide_Always_Moves_At_Least_A_Pixel_Towards_Its_Target) {
  struct Case {
    TPoint from, to;
    uint32_t gap;  // ms between the two deliveries before the step
  } cases[] = {{{0, 0}, {1000, 6}, 33}, {{500, 500}, {494, 505}, 0}, {{10, 10}, {17, 3}, 0}, {{900, 700}, {5, 5}, 33},
               {{100, 100}, {400, 120}, 3000}};  // a late event: the step would overshoot
  for (const Case& c : cases) {
    Simulated_User one(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
    SetCursorPos(c.from.x, c.from.y);
    one.Glide(c.to);
    one.Start_Playback();
    int steps = 0;
    while (!one.Queue().empty() && steps < 2000) {
      EVENTMSG r{};
      LRESULT delay = one.Hook_Procedure(HC_GETNEXT, r);
      while (delay != 0) {
        Clock().Advance(c.gap);
        delay = one.Hook_Procedure(HC_GETNEXT, r);
      }
      const TPoint before = Pointer();
      SetCursorPos(int(r.paramL), int(r.paramH));
      const TPoint after = Pointer();
      EXPECT_LT(std::abs(after.x - c.to.x) + std::abs(after.y - c.to.y),
                std::abs(before.x - c.to.x) + std::abs(before.y - c.to.y));
      one.Hook_Procedure(HC_SKIP, r);
      ++steps;
    }
    EXPECT_EQ(Pointer(), c.to);
  }
  The_Simulated_User = &driver;
}

TEST_F(Engine, A_Trailing_Pause_Replays_The_Last_Event_Then_Ends) {
  driver.Append(A::Key_Down, 65);
  driver.Pause(300);
  driver.Pause(200);
  driver.Start_Playback();
  const Answer a = Play_One();
  EXPECT_EQ(a.event.message, UINT(WM_KEYDOWN));
  EXPECT_EQ(a.event.paramL, 65u);
  EXPECT_TRUE(driver.Playing());
  const Answer b = Play_One();
  EXPECT_EQ(b.delay, 500);
  EXPECT_EQ(b.event.message, UINT(WM_KEYDOWN));
  EXPECT_FALSE(driver.Playing());
}

TEST_F(Engine, A_Hold_Blocks_While_Last_And_Plays_Once_When_Followed) {
  SetCursorPos(40, 50);
  driver.Append(A::Left_Down, -1, TPoint(40, 50));
  driver.Hold(250);
  driver.Start_Playback();
  Play_One();
  // The hold is the last entry: it is answered with its delay, never 0.
  for (int i = 0; i < 5; ++i) {
    const Answer a = Get_Next();
    EXPECT_EQ(a.delay, 250);
    EXPECT_EQ(a.event.message, UINT(WM_MOUSEMOVE));
    Clock().Advance(250);
  }
  ASSERT_EQ(driver.Queue().size(), 1u);
  // A script appends behind the hold: it plays once as a delayed move.
  driver.Append(A::Key_Down, 70);
  driver.Start_Playback();
  const Answer held = Play_One();
  EXPECT_EQ(held.event.message, UINT(WM_MOUSEMOVE));
  EXPECT_EQ(held.delay, 250);
  EXPECT_EQ(Pointer(), TPoint(40, 50));
  EXPECT_EQ(Play_One().event.message, UINT(WM_KEYDOWN));
  EXPECT_FALSE(driver.Playing());

  // Released: the pending move is delivered where the pointer stands, and
  // playback ends.
  SetCursorPos(70, 80);
  driver.Hold(250);
  driver.Start_Playback();
  EXPECT_EQ(Get_Next().delay, 250);
  EXPECT_EQ(Get_Next().delay, 250);
  driver.Release_Hold();
  const Answer released = Get_Next();
  EXPECT_EQ(released.delay, 0);
  EXPECT_EQ(TPoint(int(released.event.paramL), int(released.event.paramH)), TPoint(70, 80));
  Skip();
  EXPECT_FALSE(driver.Playing());
}

TEST_F(Engine, Ctrl_Esc_During_A_Hold_Cancels_And_Clears_The_Caption) {
  driver.Color_Mixing_Demo();  // no panels: mode only, nothing queued
  EXPECT_TRUE(Demonstration_Running());
  EXPECT_EQ(caption.updates, 1);
  driver.Hold(250);
  driver.Start_Playback();
  ASSERT_TRUE(Journal_Playback_Installed());
  session.Run_Until_Idle();
  session.Advance(1000);
  session.Backend().Key_Down(VK_CONTROL);
  session.Backend().Key(VK_ESCAPE);
  session.Backend().Key_Up(VK_CONTROL);
  session.Run_Until_Idle();
  EXPECT_FALSE(Journal_Playback_Installed());
  driver.Cancel();  // what the application does on the cancel notice
  EXPECT_FALSE(driver.Running());
  EXPECT_FALSE(Demonstration_Running());
  EXPECT_TRUE(driver.Queue().empty());
  EXPECT_TRUE(driver.Speed_Table().empty());
  EXPECT_EQ(caption.updates, 2);
}

// Played by the window system into a window: glide events 33 ms apart, the
// click at its point, the pointer left where the script put it.
class Target_Window : public TWindow {
 public:
  explicit Target_Window(std::vector<std::string>& log) : TWindow(nullptr, "target"), log_(log) {
    Attr.X = 0, Attr.Y = 0, Attr.W = 1024, Attr.H = 768;
  }
  void EvLButtonDown(UINT, const TPoint& p) override { log_.push_back(At("down", p)); }
  void EvLButtonUp(UINT, const TPoint& p) override { log_.push_back(At("up", p)); }
  void EvMouseMove(UINT, const TPoint&) override { moves.push_back(GetTickCount()); }
  std::string At(const char* what, TPoint p) {
    return std::string(what) + " " + std::to_string(p.x) + "," + std::to_string(p.y) + " @" +
           std::to_string(GetTickCount() - start);
  }
  std::vector<std::string>& log_;
  std::vector<uint32_t> moves;
  uint32_t start = 0;
};

TEST_F(Engine, The_Window_System_Plays_A_Click_Into_A_Window) {
  std::vector<std::string> log;
  Target_Window window(log);
  window.Create();
  window.ShowWindow(SW_SHOW);
  session.Run_Until_Idle();
  session.Backend().Move_To(TPoint(200, 200));
  session.Run_Until_Idle();
  window.moves.clear();
  window.start = GetTickCount();
  driver.Left_Click(TPoint(260, 230), 6);
  driver.Start_Playback();
  session.Backend().Click(TPoint(10, 10));  // the person's own click waits
  TDesktop::Current().Run_Loop([this] { return !driver.Playing(); });
  EXPECT_FALSE(Journal_Playback_Installed());
  // The release is held 500 ms; the trailing 250 ms replay the release.
  ASSERT_EQ(log.size(), 3u);
  EXPECT_EQ(log[0].substr(0, 12), "down 260,230");
  const uint32_t down_at = uint32_t(std::stoul(log[0].substr(14)));
  EXPECT_EQ(log[1], "up 260,230 @" + std::to_string(down_at + 500));
  EXPECT_EQ(log[2], "up 260,230 @" + std::to_string(down_at + 750));
  EXPECT_EQ(Pointer(), TPoint(260, 230));
  ASSERT_GE(window.moves.size(), 3u);
  for (size_t i = 1; i < window.moves.size(); ++i) EXPECT_EQ(window.moves[i] - window.moves[i - 1], 33u) << i;
  window.Destroy();
}

}  // namespace

// Stopped while the playback holds the button and a key down (a held
// corner, Shift around a capital): the stop lets both go, where the pointer
// stands, so nothing goes on repeating and the next real click is a click.
TEST_F(Engine, A_Stop_Lets_Go_Of_What_The_Playback_Holds) {
  std::vector<std::string> log;
  Target_Window window(log);
  window.Create();
  window.ShowWindow(SW_SHOW);
  session.Run_Until_Idle();
  driver.Glide(TPoint(260, 230));
  driver.Append(A::Key_Down, VK_SHIFT);
  driver.Append(A::Left_Down, -1, TPoint(260, 230));
  driver.Pause(20000);
  driver.Append(A::Left_Up, -1, TPoint(260, 230));
  driver.Append(A::Key_Up, VK_SHIFT);
  driver.Start_Playback();
  for (int i = 0; i < 40 && log.empty(); ++i) session.Advance(100);
  ASSERT_EQ(log.size(), 1u);
  ASSERT_TRUE(GetKeyState(VK_LBUTTON) & 0x8000);
  ASSERT_TRUE(GetKeyState(VK_SHIFT) & 0x8000);
  session.Backend().Key_Down(VK_CONTROL);
  session.Backend().Key(VK_ESCAPE);
  session.Backend().Key_Up(VK_CONTROL);
  session.Run_Until_Idle();
  driver.Cancel();  // what the application does on the cancel notice
  TDesktop::Current().Run_Loop([this] { return !driver.Playing(); });
  session.Run_Until_Idle();
  EXPECT_EQ(log.size(), 2u);
  EXPECT_EQ(log.back().substr(0, 10), "up 260,230");
  EXPECT_FALSE(GetKeyState(VK_LBUTTON) & 0x8000);
  EXPECT_FALSE(GetKeyState(VK_SHIFT) & 0x8000);
  EXPECT_TRUE(driver.Queue().empty());
  // Nothing is let go twice.
  driver.Cancel();
  EXPECT_FALSE(driver.Playing());
  window.Destroy();
}
