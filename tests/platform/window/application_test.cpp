// The application object: Run and its exit code, the pre-dispatch hook in
// every loop, idle processing and command enablers.
#include "platform/window/application.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/window/command_enabler.h"
#include "platform/window/response_table.h"
#include "platform/window/user.h"
#include "tests/platform/window/window_test_support.h"

namespace {

class Counting_Window : public TWindow {
 public:
  explicit Counting_Window(TWindow* parent) : TWindow(parent) {}
  bool IdleAction(long count) override {
    counts.push_back(count);
    TWindow::IdleAction(count);
    return false;
  }
  std::vector<long> counts;
};

// A button-like child whose idle processing asks its target about command
// 101 by posting the command-enable request, as the toolkit's buttons do.
class Asking_Child : public TWindow {
 public:
  Asking_Child(TWindow* parent, TWindow* target) : TWindow(parent), target(target) {}
  bool IdleAction(long count) override {
    ++idle_calls;
    if (count == 0) {
      enabler.Reset();
      target->PostMessage(WM_COMMAND_ENABLE, 0, reinterpret_cast<LPARAM>(&enabler));
    }
    return false;
  }
  TWindow* target;
  TCommandEnabler enabler{101};
  int idle_calls = 0;
};

class Panel : public TWindow {
 public:
  explicit Panel(TWindow* parent) : TWindow(parent) {}
  bool Find(TEventInfo& info) override { return Table.Dispatch(*this, info) || TWindow::Find(info); }
  void Cm_Go() { ++go; }
  void Ce_Go(TCommandEnabler& ce) {
    ++asked;
    ce.Enable(allow);
  }
  void Cm_Notify(UINT code) { codes.push_back(code); }
  LRESULT Private(WPARAM wp, LPARAM) {
    last_private = int(wp);
    return 77;
  }
  int go = 0, asked = 0, last_private = -1;
  bool allow = false;
  std::vector<UINT> codes;
  static inline const TResponse_Table<Panel> Table = {
      EV_COMMAND<Panel>(101, &Panel::Cm_Go),
      EV_COMMAND_ENABLE<Panel>(101, &Panel::Ce_Go),
      EV_CHILD_NOTIFY_ALL_CODES<Panel>(102, &Panel::Cm_Notify),
      EV_MESSAGE<Panel>(WM_USER + 0x67, &Panel::Private),
  };
};

// A subclass with its own table that falls back to Panel's.
class Special_Panel : public Panel {
 public:
  explicit Special_Panel(TWindow* parent) : Panel(parent) {}
  bool Find(TEventInfo& info) override { return Table.Dispatch(*this, info) || Panel::Find(info); }
  void Cm_Stop() { ++stop; }
  int stop = 0;
  static inline const TResponse_Table<Special_Panel> Table = {
      EV_COMMAND<Special_Panel>(103, &Special_Panel::Cm_Stop),
  };
};

}  // namespace

using Application_Test = Headless_Test;

TEST_F(Application_Test, The_Pre_Dispatch_Hook_Sees_Nested_Loops_And_Run_Returns_The_Quit_Code_And_Deletes_The_Main) {
  static bool deleted;
  deleted = false;
  struct Main : TWindow {
    Main() : TWindow(nullptr) {}
    ~Main() override { deleted = true; }
    void SetupWindow() override {
      TWindow::SetupWindow();
      PostQuitMessage(1);
    }
  };
  struct App : TApplication {
    void InitMainWindow() override { SetMainWindow(new Main); }
    bool ProcessAppMsg(MSG& msg) override {
      seen.push_back(msg.message);
      return msg.message == WM_USER + 3;  // swallowed
    }
    std::vector<UINT> seen;
  } app;
  Log_Window& w = Logged("w");
  Run_Until_Idle();
  app.seen.clear();
  w.PostMessage(WM_USER + 1);
  w.PostMessage(WM_USER + 3);
  Desk().Run_Loop([&] { return app.seen.size() == 2; });
  EXPECT_EQ(app.seen, (std::vector<UINT>{WM_USER + 1, WM_USER + 3}));
  EXPECT_EQ(log, (std::vector<std::string>{"w:user 1 0"}));
  headless->Click({10, 10});
  EXPECT_TRUE(app.PumpWaitingMessages());
  EXPECT_THAT(app.seen, testing::IsSupersetOf({UINT(WM_LBUTTONDOWN), UINT(WM_LBUTTONUP)}));
  EXPECT_EQ(app.Run(), 1);
  EXPECT_TRUE(deleted);
}

TEST_F(Application_Test, Idle_Runs_Once_Per_Emptying_With_A_Rising_Count) {
  TApplication app;
  Counting_Window* main = new Counting_Window(nullptr);
  app.SetMainWindow(main);
  Counting_Window* child = new Counting_Window(main);
  ASSERT_TRUE(main->Create());
  Run_Until_Idle();
  main->counts.clear();
  child->counts.clear();
  main->PostMessage(WM_USER);
  Run_Until_Idle();
  EXPECT_EQ(main->counts, (std::vector<long>{0}));
  EXPECT_EQ(child->counts, (std::vector<long>{0}));  // idle reaches every descendant
  Run_Until_Idle();
  Run_Until_Idle();
  EXPECT_EQ(main->counts, (std::vector<long>{0, 1, 2}));
  main->PostMessage(WM_USER);
  Run_Until_Idle();
  EXPECT_EQ(main->counts.back(), 0);
}

TEST_F(Application_Test, Enablers_Are_Asked_Once_Per_Idle_Period_Without_Spinning) {
  TApplication app;
  Panel* main = new Panel(nullptr);
  app.SetMainWindow(main);
  auto* button = new Asking_Child(main, main);
  ASSERT_TRUE(main->Create());
  Run_Until_Idle();
  // The request answered at idle did not start a new idle period: one ask.
  EXPECT_EQ(main->asked, 1);
  EXPECT_FALSE(button->enabler.Enabled());
  EXPECT_GE(button->idle_calls, 2);
  Run_Until_Idle();
  EXPECT_EQ(main->asked, 1);
  main->allow = true;
  main->PostMessage(WM_USER);  // a real message starts a new idle period
  Run_Until_Idle();
  EXPECT_EQ(main->asked, 2);
  EXPECT_TRUE(button->enabler.Enabled());
}

TEST_F(Application_Test, Response_Tables_Fall_Back_To_The_Base_Class_And_Answer_Enablers) {
  Special_Panel panel(nullptr);
  ASSERT_TRUE(panel.Create());
  TWindow button(&panel);
  ASSERT_TRUE(button.Create());
  panel.SendMessage(WM_COMMAND, 103);
  panel.SendMessage(WM_COMMAND, 101);
  panel.SendMessage(WM_COMMAND, MAKEWPARAM(102, 5002), button.GetHandle().To_Param());
  panel.SendMessage(WM_COMMAND, MAKEWPARAM(102, 5001), button.GetHandle().To_Param());
  EXPECT_EQ(panel.SendMessage(WM_USER + 0x67, 4), 77);
  EXPECT_EQ(std::tuple(panel.stop, panel.go, panel.codes, panel.last_private),
            std::tuple(1, 1, std::vector<UINT>{5002, 5001}, 4));
  // A command with a handler and no enabler is enabled; where nobody answers
  // (the button has no table) the state stays as it was.
  struct Ask { TWindow* to; UINT id; bool answered; };
  for (const Ask& a : {Ask{&button, 555, false}, Ask{&panel, 103, true}}) {
    TCommandEnabler ce(a.id);
    ce.Enable(false);
    ce.Reset();
    a.to->SendMessage(WM_COMMAND_ENABLE, 0, reinterpret_cast<LPARAM>(&ce));
    EXPECT_EQ(std::pair(ce.GetHandled(), ce.Enabled()), std::pair(a.answered, a.answered)) << a.id;
  }
  // A request queued for an enabler that is gone is dropped.
  {
    TCommandEnabler doomed(101);
    panel.PostMessage(WM_COMMAND_ENABLE, 0, reinterpret_cast<LPARAM>(&doomed));
  }
  Run_Until_Idle();
  EXPECT_EQ(panel.asked, 0);
}
