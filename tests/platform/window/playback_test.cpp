// Journal playback and recording: timed events at screen points, real input
// blocked except the cancel chord, and the recording hook.
#include "platform/window/hooks.h"

#include <gtest/gtest.h>

#include "platform/system/clock.h"
#include "platform/window/application.h"
#include "platform/window/edit.h"
#include "platform/window/user.h"
#include "tests/platform/window/window_test_support.h"

namespace {

struct Step {
  uint32_t delay;
  UINT message;
  UINT l, h;
};

std::vector<Step> script;
size_t next_step;
bool fetch = true;
uint32_t started_at;
std::vector<uint32_t> delivered_at;
// Where the pointer stood as each event was first asked for.
std::vector<TPoint> pointer_at_ask;
HHOOK playback_hook;

// Plays `script`: answers each event's delay once, then 0, as a
// demonstration engine does.
LRESULT Play(int code, WPARAM, LPARAM lp) {
  if (code == HC_GETNEXT) {
    auto* r = reinterpret_cast<EVENTMSG*>(lp);
    const Step& s = script[next_step];
    r->message = s.message;
    r->paramL = s.l;
    r->paramH = s.h;
    r->time = GetTickCount();
    if (fetch) {
      fetch = false;
      TPoint pointer;
      GetCursorPos(pointer);
      pointer_at_ask.push_back(pointer);
      return LRESULT(s.delay);
    }
    return 0;
  }
  if (code == HC_SKIP) {
    delivered_at.push_back(GetTickCount() - started_at);
    fetch = true;
    if (++next_step == script.size()) {
      UnhookWindowsHookEx(playback_hook);  // from inside its own procedure
      playback_hook = 0;
    }
  }
  return 0;
}

std::vector<UINT> recorded;
LRESULT Record(int code, WPARAM, LPARAM lp) {
  if (code == HC_ACTION) recorded.push_back(reinterpret_cast<EVENTMSG*>(lp)->message);
  return 0;
}

void Start(std::vector<Step> steps) {
  script = std::move(steps);
  next_step = 0;
  fetch = true;
  delivered_at.clear();
  pointer_at_ask.clear();
  started_at = GetTickCount();
  playback_hook = SetWindowsHookEx(WH_JOURNALPLAYBACK, Play);
}

}  // namespace

class Playback_Test : public Headless_Test {
 protected:
  void TearDown() override {
    if (playback_hook) UnhookWindowsHookEx(playback_hook);
    playback_hook = 0;
    Headless_Test::TearDown();
  }
};

TEST_F(Playback_Test, Played_Events_Arrive_At_Their_Times_And_Screen_Points_While_Real_Input_Waits_And_Keys_Type) {
  Log_Window& w = Logged("w", {20, 20, 220, 220});
  Settle();
  Start({{0, WM_MOUSEMOVE, 50, 50}, {100, WM_LBUTTONDOWN, 50, 50}, {50, WM_LBUTTONUP, 60, 70}});
  ASSERT_NE(playback_hook, 0u);
  EXPECT_TRUE(Journal_Playback_Installed());
  headless->Click({100, 100});  // the user's own click is ignored meanwhile
  Desk().Run_Loop([] { return playback_hook == 0; });
  Run_Until_Idle();
  EXPECT_EQ(log, (std::vector<std::string>{"w:move 30,30", "w:ldown 30,30", "w:lup 40,50"}));
  EXPECT_EQ(delivered_at, (std::vector<uint32_t>{0, 100, 150}));
  // The pointer moved as each event was played, before its message was
  // taken: a player reading it for its next step sees where it went.
  ASSERT_EQ(pointer_at_ask.size(), 3u);
  EXPECT_EQ(pointer_at_ask[1], TPoint(50, 50));
  EXPECT_EQ(Cursor_Pos(), TPoint(60, 70));
  EXPECT_EQ(headless->Warped_To(), TPoint(60, 70));  // the real pointer follows
  EXPECT_FALSE(Journal_Playback_Installed());
  // Real input flows again.
  headless->Click({100, 100});
  Run_Until_Idle();
  EXPECT_NE(std::find(log.begin(), log.end(), "w:ldown 80,80"), log.end());
  // Played keys type into the focused field.
  auto* edit = new TEdit(&w, 3103, "", 10, 10, 200, 24, 39);
  ASSERT_TRUE(edit->Create());
  edit->SetFocus();
  Start({{0, WM_KEYDOWN, 'B', 'B'}, {33, WM_KEYUP, 'B', 'B'}, {33, WM_KEYDOWN, 'O', 'O'}, {33, WM_KEYUP, 'O', 'O'},
         {33, WM_KEYDOWN, VK_SHIFT, VK_SHIFT}, {33, WM_KEYDOWN, '1', '1'}, {33, WM_KEYUP, '1', '1'},
         {33, WM_KEYUP, VK_SHIFT, VK_SHIFT}});
  Desk().Run_Loop([] { return playback_hook == 0; });
  Run_Until_Idle();
  EXPECT_EQ(edit->GetText(), "bo!");
}

TEST_F(Playback_Test, Ctrl_Esc_Ends_Playback_Removes_Every_Hook_And_Tells_The_Application) {
  struct App : TApplication {
    bool ProcessAppMsg(MSG& msg) override {
      if (msg.message == WM_CANCELJOURNAL && !msg.hwnd) ++cancels;
      return TApplication::ProcessAppMsg(msg);
    }
    int cancels = 0;
  } app;
  recorded.clear();
  HHOOK record = SetWindowsHookEx(WH_JOURNALRECORD, Record);
  ASSERT_NE(record, 0u);
  Start({{0, WM_MOUSEMOVE, 5, 5}, {100000, WM_MOUSEMOVE, 6, 6}});
  Run_Until_Idle();
  headless->Press({300, 300});  // blocked, but recorded
  headless->Release({300, 300});
  headless->Key_Down(VK_CONTROL);
  headless->Key_Down(VK_ESCAPE);
  Run_Until_Idle();
  EXPECT_EQ(app.cancels, 1);
  EXPECT_FALSE(Journal_Playback_Installed());
  EXPECT_EQ(recorded, (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONUP, WM_KEYDOWN, WM_KEYDOWN}));
  EXPECT_FALSE(UnhookWindowsHookEx(record));  // already gone with the chord
  playback_hook = 0;
  // The long pause was never waited out.
  EXPECT_LT(delivered_at.size(), 2u);
}
