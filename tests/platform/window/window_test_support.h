// A headless window system for each test, and a window that writes down
// the messages it receives.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/backend/headless/headless_backend.h"
#include "platform/backend/headless/headless_session.h"
#include "platform/window/desktop.h"
#include "platform/window/window.h"

class Headless_Test : public ::testing::Test {
 protected:
  void SetUp() override {
    session = std::make_unique<THeadless_Session>();
    headless = &session->Backend();
  }
  void TearDown() override { session.reset(); }

  TDesktop& Desk() { return TDesktop::Current(); }
  void Run_Until_Idle() { session->Run_Until_Idle(); }
  void Advance(uint32_t ms) { session->Advance(ms); }
  // Lets the windows settle, then forgets what they logged so far.
  void Settle() {
    Run_Until_Idle();
    log.clear();
  }

  std::vector<std::string> log;  // for Log_Windows
  std::unique_ptr<THeadless_Session> session;
  THeadless_Backend* headless = nullptr;
};

// Writes "name:message" entries to a shared log.
class Log_Window : public TWindow {
 public:
  Log_Window(TWindow* parent, std::string name, std::vector<std::string>& log, TRect r = {0, 0, 100, 100})
      : TWindow(parent, name.c_str()), name_(std::move(name)), log_(log) {
    Attr.X = r.left;
    Attr.Y = r.top;
    Attr.W = r.Width();
    Attr.H = r.Height();
  }

  void Note(const std::string& what) { log_.push_back(name_ + ":" + what); }
  static std::string Pt(const TPoint& p) { return std::to_string(p.x) + "," + std::to_string(p.y); }

  void EvLButtonDown(UINT, const TPoint& p) override { Note("ldown " + Pt(p)); }
  void EvLButtonUp(UINT, const TPoint& p) override { Note("lup " + Pt(p)); }
  void EvRButtonDown(UINT, const TPoint& p) override { Note("rdown " + Pt(p)); }
  void EvMouseMove(UINT, const TPoint& p) override {
    if (log_moves) Note("move " + Pt(p));
  }
  void EvKeyDown(UINT key, UINT, UINT) override { Note("keydown " + std::to_string(key)); }
  void EvKeyUp(UINT key, UINT, UINT) override { Note("keyup " + std::to_string(key)); }
  void EvChar(UINT key, UINT, UINT) override { Note("char " + std::to_string(key)); }
  void EvTimer(UINT id) override { Note("timer " + std::to_string(id)); }
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
  bool log_paint = false;

 private:
  std::string name_;
  std::vector<std::string>& log_;
};
