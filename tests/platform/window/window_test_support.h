// A headless window system for each test, and a window that writes down
// the messages it receives.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "platform/backend/headless/headless_backend.h"
#include "platform/backend/headless/headless_session.h"
#include "platform/window/desktop.h"
#include "platform/window/user.h"
#include "platform/window/window.h"

// Sets where a window not yet created will be.
inline void Place(TWindow& w, const TRect& r) { w.MoveWindow(r.left, r.top, r.Width(), r.Height()); }

// The entries of `log` that contain `what`.
inline std::vector<std::string> Only(const std::vector<std::string>& log, const std::string& what) {
  std::vector<std::string> out;
  for (const std::string& l : log)
    if (l.find(what) != std::string::npos) out.push_back(l);
  return out;
}

inline TInput_Event Input(TInput_Event::Kind kind, uint32_t code = 0) {
  TInput_Event e;
  e.kind = kind;
  e.code = code;
  return e;
}

class Log_Window;

inline TPoint Cursor_Pos() {
  TPoint p;
  GetCursorPos(p);
  return p;
}

class Headless_Test : public ::testing::Test {
 protected:
  void TearDown() override {
    owned_.clear();
    session.reset();
  }

  TDesktop& Desk() { return TDesktop::Current(); }
  void Run_Until_Idle() { session->Run_Until_Idle(); }
  void Advance(uint32_t ms) { session->Advance(ms); }
  // Lets the windows settle, then forgets what they logged so far.
  void Settle() {
    Run_Until_Idle();
    log.clear();
  }
  // Types each key in turn, with `held` (a shift key) held down around them.
  void Keys(std::initializer_list<uint32_t> keys, uint32_t held = 0) {
    if (held) headless->Key_Down(held);
    for (uint32_t k : keys) headless->Key(k);
    if (held) headless->Key_Up(held);
  }
  void Drag(TPoint from, TPoint to, uint8_t button = TInput_Event::Left) {
    headless->Move_To(from);
    headless->Press(from, button);
    headless->Move_To(to);
    headless->Release(to, button);
  }

  // A top-level Log_Window at `r`, created, which lives as long as the test.
  Log_Window& Logged(const std::string& name, TRect r = {0, 0, 100, 100});

  std::vector<std::string> log;  // for Log_Windows
  std::unique_ptr<THeadless_Session> session = std::make_unique<THeadless_Session>();
  THeadless_Backend* headless = &session->Backend();

 private:
  std::vector<std::unique_ptr<TWindow>> owned_;
};

// Writes "name:message" entries to a shared log.
class Log_Window : public TWindow {
 public:
  Log_Window(TWindow* parent, std::string name, std::vector<std::string>& log, TRect r = {0, 0, 100, 100})
      : TWindow(parent, name.c_str()), name_(std::move(name)), log_(log) {
    Place(*this, r);
  }

  void Note(const std::string& what) { log_.push_back(name_ + ":" + what); }
  static std::string Pt(const TPoint& p) { return std::to_string(p.x) + "," + std::to_string(p.y); }

  void EvLButtonDown(UINT, const TPoint& p) override { Note("ldown " + Pt(p)); }
  void EvLButtonUp(UINT, const TPoint& p) override { Note("lup " + Pt(p)); }
  void EvMouseMove(UINT, const TPoint& p) override {
    if (log_moves) Note("move " + Pt(p));
  }
  void EvKeyDown(UINT key, UINT, UINT) override { Note("keydown " + std::to_string(key)); }
  void EvKeyUp(UINT key, UINT, UINT) override { Note("keyup " + std::to_string(key)); }
  void EvChar(UINT key, UINT, UINT) override { Note("char " + std::to_string(key)); }
  void EvTimer(UINT id) override { Note("timer " + std::to_string(id)); }
  void EvCaptureChanged(HWND next) override {
    if (log_capture) Note("capture>" + (next ? TWindow::From_Handle(next)->Title() : std::string("none")));
  }
  void EvSetFocus(HWND) override {
    if (log_focus) Note("setfocus");
  }
  void EvKillFocus(HWND next) override {
    TWindow* w = TWindow::From_Handle(next);
    if (log_focus) Note("killfocus>" + (w ? w->Title() : std::string("none")));
  }
  void Paint(TDC&, bool, TRect&) override {
    if (log_paint) Note("paint");
  }
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
    if (msg >= WM_USER && msg < WM_COMMAND_ENABLE) Note("user " + std::to_string(msg - WM_USER) + " " + std::to_string(wp));
    return TWindow::WindowProc(msg, wp, lp);
  }

  bool log_moves = true;
  bool log_focus = false;
  bool log_capture = false;
  bool log_paint = false;

 private:
  std::string name_;
  std::vector<std::string>& log_;
};

inline Log_Window& Headless_Test::Logged(const std::string& name, TRect r) {
  owned_.push_back(std::make_unique<Log_Window>(nullptr, name, log, r));
  EXPECT_TRUE(owned_.back()->Create());
  return static_cast<Log_Window&>(*owned_.back());
}
