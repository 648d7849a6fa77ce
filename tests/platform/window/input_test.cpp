// Input: routing, capture, focus and keys, the pointer and its clip.
#include <gtest/gtest.h>

#include "platform/window/cursor.h"
#include "platform/window/screen.h"
#include "platform/window/user.h"
#include "tests/platform/window/window_test_support.h"

using Input_Test = Headless_Test;
using K = TInput_Event::Kind;

TEST_F(Input_Test, The_Capture_Holder_Gets_Every_Mouse_Message_In_Its_Own_Coordinates) {
  Log_Window top(nullptr, "top", log, {0, 0, 500, 500});
  auto* button = new Log_Window(&top, "button", log, {100, 100, 150, 150});
  ASSERT_TRUE(top.Create());
  top.log_capture = button->log_capture = true;
  top.SetCapture();
  button->SetCapture();  // with no button held, as hover widgets do; the loser is told
  EXPECT_EQ(log, (std::vector<std::string>{"top:capture>button"}));
  Settle();
  headless->Move_To({20, 30});
  Run_Until_Idle();
  headless->Press({400, 10});
  headless->Release({401, 11});
  Run_Until_Idle();
  EXPECT_EQ(log, (std::vector<std::string>{"button:move -80,-70", "button:ldown 300,-90", "button:lup 301,-89"}));
  // Leaving the screen gives the holder a last move outside.
  log.clear();
  headless->Leave_Screen({-5, 200});
  Run_Until_Idle();
  EXPECT_EQ(log, (std::vector<std::string>{"button:move -105,100"}));
  TWindow::ReleaseCapture();
  headless->Leave_Screen({-5, 200});
  Run_Until_Idle();
  EXPECT_EQ(log, (std::vector<std::string>{"button:move -105,100", "button:capture>none"}));
}

TEST_F(Input_Test, Focus_Changes_Are_Told_And_May_Be_Refused_And_Key_Up_Goes_To_The_Focus_At_Release) {
  struct Keeper : Log_Window {
    using Log_Window::Log_Window;
    void EvKillFocus(HWND next) override {
      Log_Window::EvKillFocus(next);
      if (keep) SetFocus();
    }
    bool keep = false;
  };
  Log_Window top(nullptr, "top", log, {0, 0, 300, 300});
  auto* list = new Keeper(&top, "list", log, {0, 0, 10, 10});
  auto* field = new Log_Window(&top, "field", log, {20, 0, 30, 10});
  list->log_focus = field->log_focus = true;
  ASSERT_TRUE(top.Create());
  list->SetFocus();
  Settle();
  headless->Key_Down(VK_RETURN);
  MSG msg;
  // The key-down reaches the list, which moves the focus to the field
  // before the key is released.
  ASSERT_TRUE(Desk().Peek(msg));
  Desk().Translate(msg);
  Desk().Dispatch(msg);
  field->SetFocus();
  headless->Key_Up(VK_RETURN);
  Run_Until_Idle();
  EXPECT_EQ(log, (std::vector<std::string>{"list:keydown 13", "list:killfocus>field", "field:setfocus",
                                           "list:char 13", "field:keyup 13"}));
  // A window losing the focus takes it back; the one that never got it is not told it lost it.
  list->SetFocus();
  list->keep = true;
  log.clear();
  field->SetFocus();
  EXPECT_EQ(GetFocus(), list->GetHandle());
  EXPECT_EQ(log, (std::vector<std::string>{"list:killfocus>field", "list:setfocus"}));
}

TEST_F(Input_Test, Keypad_Digits_Follow_Num_Lock_Characters_Are_Windows_1252_And_Keys_Translate_With_Shift) {
  Log_Window& w = Logged("w");
  w.SetFocus();
  for (int8_t num_lock : {1, 0}) {
    TInput_Event e = Input(K::Key_Down, VK_NUMPAD2);
    e.keypad = true;
    e.num_lock = num_lock;
    headless->Inject(e);
  }
  // The euro sign; a character with no place in the code page, dropped; e acute.
  for (uint32_t c : {0x20AC, 0x4E2D, 0xE9}) headless->Inject(Input(K::Char, c));
  Run_Until_Idle();
  EXPECT_EQ(log, (std::vector<std::string>{"w:keydown 98", "w:char 50", "w:keydown 40", "w:char 128",
                                           "w:char 233"}));
  // Keys without the machine's text are translated, with Shift.
  log.clear();
  Keys({'A'});
  Keys({'A', '1'}, VK_SHIFT);
  Keys({VK_BACK});
  Run_Until_Idle();
  EXPECT_EQ(Only(log, "char"), (std::vector<std::string>{"w:char 97", "w:char 65", "w:char 33", "w:char 8"}));
}

TEST_F(Input_Test, Auto_Repeat_Delivers_Repeated_Key_Downs_Marked_As_Repeats) {
  struct Keys : TWindow {
    using TWindow::TWindow;
    void EvKeyDown(UINT, UINT, UINT flags) override { previous_down.push_back((flags & 0x4000) != 0); }
    std::vector<bool> previous_down;
  } w(nullptr);
  ASSERT_TRUE(w.Create());
  w.SetFocus();
  for (bool repeat : {false, true, true}) headless->Key_Down(VK_RIGHT, repeat);
  headless->Key_Up(VK_RIGHT);
  Run_Until_Idle();
  EXPECT_EQ(w.previous_down, (std::vector<bool>{false, true, true}));
  EXPECT_EQ(GetKeyState(VK_RIGHT), 0);
}

TEST_F(Input_Test, A_Warp_Or_A_Window_Appearing_Sends_A_Move_And_The_Pointer_Stays_Inside_The_Clip) {
  Log_Window w(nullptr, "w", log, {0, 0, 400, 400});
  w.Attr.Style &= ~WS_VISIBLE;
  ASSERT_TRUE(w.Create());
  SetCursorPos(10, 20);
  Run_Until_Idle();
  EXPECT_TRUE(log.empty());
  w.ShowWindow(SW_SHOW);  // under the still pointer
  Run_Until_Idle();
  EXPECT_EQ(log, (std::vector<std::string>{"w:move 10,20"}));
  log.clear();
  SetCursorPos(30, 40);
  Run_Until_Idle();
  EXPECT_EQ(log, (std::vector<std::string>{"w:move 30,40"}));
  EXPECT_EQ(headless->Warped_To(), TPoint(30, 40));
  TRect clip{100, 100, 200, 150};
  ClipCursor(&clip);
  EXPECT_EQ(Cursor_Pos(), TPoint(100, 100));
  headless->Move_To({500, 10});
  Run_Until_Idle();
  EXPECT_EQ(Cursor_Pos(), TPoint(199, 100));
  // Another program in front frees the pointer.
  headless->Inject(Input(K::Focus_Lost));
  Run_Until_Idle();
  TRect now;
  GetClipCursor(now);
  EXPECT_EQ(now, TRect(0, 0, 1024, 768));
}

TEST_F(Input_Test, Windows_Choose_The_Cursor_Under_The_Pointer) {
  TWindow top(nullptr);
  top.Attr.W = top.Attr.H = 100;
  auto* busy = new TWindow(&top);
  busy->MoveWindow(0, 0, 50, 50);
  busy->SetCursor(&TCursor::Wait());
  ASSERT_TRUE(top.Create());
  headless->Move_To({10, 10});
  Run_Until_Idle();
  EXPECT_EQ(Desk().Cursor(), &TCursor::Wait());
  headless->Move_To({80, 80});
  Run_Until_Idle();
  EXPECT_EQ(Desk().Cursor(), &TCursor::Arrow());
  // Drawn over the presented picture, never into the screen.
  EXPECT_EQ(headless->Presented_Pixel(80, 81), 0x000000u);
  EXPECT_EQ(Desk().Screen().Pixel(80, 81), 0xFFFFFFu);  // the window's white background
  // A capture holder's own cursor shows wherever the pointer goes.
  busy->SetCapture();
  headless->Move_To({500, 500});
  Run_Until_Idle();
  EXPECT_EQ(Desk().Cursor(), &TCursor::Wait());
  TWindow::ReleaseCapture();
  // A cursor destroyed while shown and set on a window is neither shown nor kept.
  uint8_t and_bits[2 * 16] = {}, xor_bits[2 * 16] = {};
  TCursor* drag = CreateCursor(nullptr, 8, 8, 16, 16, and_bits, xor_bits);
  ASSERT_NE(drag, nullptr);
  busy->SetCursor(drag);
  SetCursor(drag);
  EXPECT_EQ(Desk().Cursor(), drag);
  DestroyCursor(drag);
  EXPECT_EQ(Desk().Cursor(), &TCursor::Arrow());
  EXPECT_EQ(busy->GetCursor(), nullptr);
  headless->Move_To({10, 10});
  Run_Until_Idle();
  EXPECT_EQ(Desk().Cursor(), &TCursor::Arrow());
}

