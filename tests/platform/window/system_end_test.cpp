// The system's request to end (a logout, `kill`), as the window system
// carries it out: whatever boxes, dialogs and menus are up, each ends, then
// the main window is closed once, and the run ends even when it refuses.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "platform/window/application.h"
#include "platform/window/dialog.h"
#include "platform/window/menu.h"
#include "platform/window/message_box.h"
#include "platform/window/user.h"
#include "tests/platform/window/later.h"
#include "tests/platform/window/window_test_support.h"

namespace {

// The main window: notes each close query (a refusing one asks a box first,
// as the program's "Save changes?" does) and its end.
class Closing_Main : public TWindow {
 public:
  Closing_Main(std::vector<std::string>& log, bool refuses) : TWindow(nullptr, "main"), log_(log), refuses_(refuses) {
    Place(*this, {0, 0, 640, 480});
  }
  ~Closing_Main() override { log_.push_back("main deleted"); }
  bool CanClose() override {
    if (!refuses_) {
      log_.push_back("main asked");
      return true;
    }
    log_.push_back("main asked a box: " + std::to_string(MessageBox("Save changes?", "Program Exit", MB_YESNOCANCEL)));
    return false;
  }

 private:
  std::vector<std::string>& log_;
  bool refuses_;
};

class Ending_App : public TApplication {
 public:
  Ending_App(std::vector<std::string>& log, bool refuses) : log_(log), refuses_(refuses) {}
  void InitMainWindow() override { SetMainWindow(new Closing_Main(log_, refuses_)); }

 private:
  std::vector<std::string>& log_;
  bool refuses_;
};

// The request, from a thread of its own as the signal watcher makes it.
void Request_End_From_Another_Thread() {
  std::thread([] { TDesktop::Current().Request_End(); }).join();
}

}  // namespace

using System_End_Test = Headless_Test;

TEST_F(System_End_Test, Every_Loop_Ends_Then_The_Main_Window_Closes_Once) {
  struct Case {
    const char* name;
    bool main_refuses;
    // Opens what is up when the request comes (from inside the main loop),
    // then asks to end from inside the innermost loop.
    std::function<void(std::vector<std::string>&)> open;
    std::vector<std::string> expected;
  };
  const std::vector<Case> cases = {
      {"the main window alone", false, [](auto&) { Request_End_From_Another_Thread(); },
       {"main asked", "main deleted"}},
      {"a box", false,
       [](auto& log) {
         Later(10, Request_End_From_Another_Thread);
         log.push_back("box " + std::to_string(MessageBox(HWND(), "The file is damaged", "WARNING", MB_OK)));
       },
       {"box 2", "main asked", "main deleted"}},
      {"a box over a dialog", false,
       [](auto& log) {
         TDialog dialog(TWindow::From_Handle(TDesktop::Current().Main_Window()), "Name and Level");
         Place(dialog, {10, 10, 300, 150});
         Later(10, [&log] {
           Later(10, Request_End_From_Another_Thread);
           log.push_back("box " + std::to_string(MessageBox(HWND(), "Delete?", "Users", MB_YESNO)));
         });
         log.push_back("dialog " + std::to_string(dialog.Execute()));
       },
       {"box 2", "dialog 2", "main asked", "main deleted"}},
      {"a popup menu", false,
       [](auto& log) {
         TPopupMenu menu;
         menu.AppendMenu(MF_STRING, 3400, "Cancel");
         Later(10, Request_End_From_Another_Thread);
         TWindow* main = TWindow::From_Handle(TDesktop::Current().Main_Window());
         log.push_back("menu " + std::to_string(menu.TrackPopupMenu(TPM_RIGHTBUTTON, {100, 100}, *main)));
       },
       {"menu 0", "main asked", "main deleted"}},
      // Its box ends at once, unseen, and the refusal does not keep the
      // program running.
      {"a main window that refuses", true, [](auto&) { Request_End_From_Another_Thread(); },
       {"main asked a box: 2", "main deleted"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    session.reset();
    session = std::make_unique<THeadless_Session>();
    headless = &session->Backend();
    std::vector<std::string> events;
    Ending_App app(events, c.main_refuses);
    Later(10, [&] { c.open(events); });
    EXPECT_EQ(app.Run(), 0);
    EXPECT_EQ(events, c.expected);
    Later_Steps().clear();
  }
}

// A loop of its own that pumps while it waits (the printer's) is told to
// stop, and handles nothing more.
TEST_F(System_End_Test, Pumping_Stops_Once_The_End_Is_Requested) {
  Log_Window& w = Logged("w");
  Settle();
  w.PostMessage(WM_USER + 1);
  EXPECT_TRUE(Desk().Pump_Waiting_Messages());
  w.PostMessage(WM_USER + 2);
  Request_End_From_Another_Thread();
  EXPECT_TRUE(TDesktop::System_Ending());
  EXPECT_FALSE(Desk().Pump_Waiting_Messages());
  EXPECT_EQ(log, (std::vector<std::string>{"w:user 1 0"}));
}
