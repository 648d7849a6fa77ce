#include "platform/window/application.h"

#include "platform/window/desktop.h"
#include "platform/window/frame_window.h"
#include "platform/window/window.h"

namespace {

TApplication* current_application = nullptr;

}  // namespace

TApplication::TApplication(const char* name) : name_(name ? name : "") {
  current_application = this;
  Install_Hooks();
}

TApplication::~TApplication() {
  if (MainWindow) {
    delete MainWindow;
    MainWindow = nullptr;
  }
  if (TDesktop::Running()) {
    TDesktop::Current().Pre_Dispatch_Hook = nullptr;
    TDesktop::Current().Idle_Hook = nullptr;
  }
  if (current_application == this) current_application = nullptr;
}

TApplication* TApplication::Current() { return current_application; }

void TApplication::Install_Hooks() {
  if (!TDesktop::Running()) return;
  TDesktop& desk = TDesktop::Current();
  desk.Pre_Dispatch_Hook = [this](MSG& msg) { return ProcessAppMsg(msg); };
  desk.Idle_Hook = [this](long count) { return IdleAction(count); };
}

void TApplication::InitMainWindow() { SetMainWindow(new TFrameWindow(nullptr, name_.c_str())); }

void TApplication::InitInstance() {
  InitMainWindow();
  if (!MainWindow) return;
  if (!MainWindow->Create()) return;
  TDesktop::Current().Set_Main_Window(MainWindow->GetHandle());
  if (auto* frame = dynamic_cast<TFrameWindow*>(MainWindow)) frame->Show_On_Desktop();
  MainWindow->ShowWindow(nCmdShow);
}

int TApplication::Run() {
  Install_Hooks();
  InitInstance();
  int code = MessageLoop();
  // The main window and its children go before the application object.
  if (MainWindow) {
    MainWindow->Destroy();
    delete MainWindow;
    MainWindow = nullptr;
  }
  return code;
}

int TApplication::MessageLoop() {
  TDesktop& desk = TDesktop::Current();
  desk.Run_Loop(nullptr);
  return desk.Take_Quit();
}

bool TApplication::PumpWaitingMessages() { return TDesktop::Current().Pump_Waiting_Messages(); }

bool TApplication::ProcessAppMsg(MSG& msg) {
  TDesktop& desk = TDesktop::Current();
  for (TWindow* w = desk.Window(msg.hwnd); w; w = w->Is_Child() ? w->Parent : nullptr)
    if (w->PreProcessMsg(msg)) return true;
  return false;
}

bool TApplication::IdleAction(long idle_count) {
  TDesktop& desk = TDesktop::Current();
  bool more = false;
  if (MainWindow && MainWindow->IsWindow()) more |= MainWindow->IdleAction(idle_count);
  // Windows without an owner (a start-up title, a help window) idle too.
  for (TWindow* w : std::vector<TWindow*>(desk.Top_Levels()))
    if (w != MainWindow && !w->Parent && desk.Window(w->GetHandle())) more |= w->IdleAction(idle_count);
  return more;
}

bool TApplication::CanClose() { return !MainWindow || MainWindow->CanClose(); }

TWindow* TApplication::SetMainWindow(TWindow* window) {
  TWindow* old = MainWindow;
  MainWindow = window;
  if (TDesktop::Running() && window && window->IsWindow())
    TDesktop::Current().Set_Main_Window(window->GetHandle());
  return old;
}
