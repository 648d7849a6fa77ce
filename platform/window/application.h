// TApplication: the program's application object. Run makes the main window
// (InitMainWindow, then create and show it) and runs the message loop until a
// quit arrives; its exit code is Run's result. ProcessAppMsg sees every
// message taken from the queue, in the main loop and in every modal loop
// (dialogs, message boxes, popup menus, PumpWaitingMessages), before it is
// dispatched. Idle processing reaches the main window (and every other window
// without an owner) once each time the queue empties.
#pragma once

#include <string>

#include "platform/window/messages.h"

class TWindow;

class TApplication {
 public:
  explicit TApplication(const char* name = nullptr);
  TApplication(const TApplication&) = delete;
  TApplication& operator=(const TApplication&) = delete;
  virtual ~TApplication();

  static TApplication* Current();

  int Run();
  // Makes MainWindow; the default makes a plain frame titled with the name.
  virtual void InitMainWindow();
  virtual void InitInstance();
  // True when the message was handled here and is not to be dispatched. The
  // default asks the target window and its parents (PreProcessMsg).
  virtual bool ProcessAppMsg(MSG& msg);
  virtual bool IdleAction(long idle_count);
  virtual bool CanClose();
  // Handles every waiting message now (re-entrant); false after a quit.
  bool PumpWaitingMessages();
  int MessageLoop();

  TWindow* GetMainWindow() const { return MainWindow; }
  // Takes ownership; returns the previous main window (now the caller's).
  TWindow* SetMainWindow(TWindow* window);
  const std::string& GetName() const { return name_; }

  TWindow* MainWindow = nullptr;
  int nCmdShow = SW_SHOWNORMAL;

 private:
  void Install_Hooks();
  std::string name_;
};
