#include "tests/program/program_session.h"

#include "help/help_window.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "app/title_window.h"
#include "model/gui_colors.h"
#include "model/shape_catalogue.h"
#include "model/shape_drawing.h"
#include "platform/gdi/device_caps.h"
#include "platform/system/wave_out.h"
#include "platform/window/desktop.h"
#include "toolkit/gui_sizes.h"
#include "toolkit/round_button.h"
#include "users/user_database.h"
#include "workspace/drawing_window.h"

// The variables the program finds its folders by, each pointed into the
// session's folder.
const std::pair<const char*, const char*> Variables[] = {
    {"HOME", "/home"}, {"XDG_CONFIG_HOME", "/home/.config"}, {"XDG_DATA_HOME", "/home/.local/share"},
    {"XDG_CACHE_HOME", "/home/.cache"}, {"XDG_RUNTIME_DIR", "/run"}};

Program_Session::Program_Session(Program_Options options) : options_(std::move(options)) {
  char pattern[] = "/tmp/quendar-program-XXXXXX";
  folder_ = mkdtemp(pattern);
  for (const auto& [name, place] : Variables) {
    const char* old = std::getenv(name);
    saved_environment_.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
    setenv(name, (folder_ + place).c_str(), 1);
  }
  const std::string home = folder_ + "/home";
  std::filesystem::create_directories(home + "/.config/quendar");
  std::filesystem::create_directories(folder_ + "/run");
  std::filesystem::permissions(folder_ + "/run", std::filesystem::perms::owner_all);
  if (options_.user_path) std::ofstream(home + "/.config/quendar/settings") << "UserPath=" << *options_.user_path << "\n";
  TDevice_Caps::Set_Screen_Bits_For_Tests(options_.screen_bits);
  // Sound plays on the virtual clock, silently.
  TWave_Out::Use_Device(Wave_Device_Kind::Silent);
  if (options_.free_space)
    IFS_Application::Free_Space_Query = [space = *options_.free_space](const std::string&) { return std::optional(space); };
  saved_hook_ = Set_Message_Box_Hook([this](const TMessage_Box_Request& request) {
    Boxes.push_back(request);
    const UINT buttons = request.type & 0x0F;
    return buttons == MB_YESNO || buttons == MB_YESNOCANCEL ? IDYES : IDOK;
  });
  headless_ = std::make_unique<THeadless_Session>(options_.screen);
}

Program_Session::~Program_Session() {
  Stop();
  headless_.reset();
  Set_Message_Box_Hook(saved_hook_);
  IFS_Application::Free_Space_Query = Get_Free_Space;
  TDevice_Caps::Set_Screen_Bits_For_Tests(0);
  for (const auto& [name, value] : saved_environment_) {
    if (value) setenv(name.c_str(), value->c_str(), 1);
    else unsetenv(name.c_str());
  }
  std::error_code ignored;
  std::filesystem::remove_all(folder_, ignored);
}

void Program_Session::Start_Only() {
  // One program at a time, as in a process: one made over a running one
  // would take its singletons while its threads still work, and deleting
  // the running one then would pull them from under those threads.
  Stop();
  app_ = std::make_unique<IFS_Application>();
  app_->Deleted_Trace = &Deleted;
  app_->InitInstance();
  Made = app_->Made;
}

void Program_Session::Start(uint32_t settle_ms) {
  Start_Only();
  Finish_Start(settle_ms);
}

void Program_Session::Finish_Start(uint32_t settle_ms) {
  Run_Until_Idle();
  Let_Title_Close(settle_ms);
  // A new user is greeted with help: closed, as a person would, before the
  // test goes on.
  if (The_Help_Window && The_Help_Window->IsWindowVisible()) {
    Key(VK_ESCAPE);
    Run_Until_Idle();
  }
}

void Program_Session::Let_Title_Close(uint32_t settle_ms) {
  using namespace std::chrono_literals;
  uint32_t waited = 0;
  // The title's stepper uncovers an area per interval of the virtual clock
  // on its own thread: after each move of the clock it is given the real
  // time to take its step.
  while (waited < settle_ms && !Quit_Pending() && The_Title_Window && The_Title_Window->Stepper &&
         The_Title_Window->Covered >= 0) {
    const int32_t before = The_Title_Window->Covered;
    const uint32_t interval = The_Title_Window->Stepper->Interval();
    Advance(interval);
    waited += interval;
    const auto deadline = std::chrono::steady_clock::now() + 20ms;
    while (The_Title_Window && The_Title_Window->Covered == before && std::chrono::steady_clock::now() < deadline)
      std::this_thread::sleep_for(100us);
  }
  // The last step lowers the count before it decides whether to post the
  // close: the stepper is let end before the clock moves on.
  const auto give_up = std::chrono::steady_clock::now() + 120s;
  while (The_Title_Window && The_Title_Window->Stepper && The_Title_Window->Covered < 0 &&
         The_Title_Window->Stepper->GetStatus() != TThread::Finished && std::chrono::steady_clock::now() < give_up)
    std::this_thread::sleep_for(100us);
  for (; waited < settle_ms && !Quit_Pending(); waited += 100) {
    if (Main() && Main()->start_over) break;
    Advance(100);
  }
}

void Program_Session::Run_Until_Idle() { headless_->Run_Until_Idle(); }

void Program_Session::Advance(uint32_t ms) { headless_->Advance(ms); }

void Program_Session::Click(TPoint screen) {
  // The pointer gets there first, as a hand moves it: a window that tracked
  // it lets go before the press.
  Backend().Move_To(screen);
  Run_Until_Idle();
  Backend().Press(screen);
  Backend().Release(screen);
  Run_Until_Idle();
}

void Program_Session::Key(uint32_t vk) { Backend().Key(vk), Run_Until_Idle(); }

void Program_Session::Post(UINT message, WPARAM wp, LPARAM lp) {
  if (Main()) Main()->PostMessage(message, wp, lp);
  Run_Until_Idle();
}

void Program_Session::Change_User(const std::string& name, int32_t level) {
  Frame()->Run_User_Dialog = [name, level] {
    User_Database& db = *The_User_Database;
    db.previous_user = *db.current_user;
    db.current_user->name = name;
    db.current_user->level = level;
    db.current_user->source_record = &db.previous_user;
    return 1;
  };
  Click(Center_Of(Main()->name_button));
}

void Program_Session::Draw_Block() {
  Drawing_Window& drawing = *Main()->drawing_window;
  const int side = (*The_GUI_Sizes)[Drawing_Side_Size];
  auto picture = std::make_unique<Shape_Drawing>(side, side, The_GUI_Colors->Palette.get(), TColor(255, 255, 255));
  static const Square square;
  const TRect a = drawing.geometry.area_rel;
  const TRect block(a.left + a.Width() / 10, a.top + a.Height() / 5, a.left + a.Width() * 2 / 5, a.bottom - a.Height() / 5);
  picture->Paint_Shape(square, block, TColor(0, 0, 200), TColor(No_Color));
  drawing.Set_Drawing(std::move(picture), true);
  Run_Until_Idle();
}

bool Program_Session::Snapshot(const std::string& name) const { return headless_->Snapshot(name); }

TPoint Program_Session::Center_Of(const TWindow* window) {
  const TRect r = window->GetWindowRect();
  return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

IFS_Frame_Window* Program_Session::Frame() const {
  return app_ ? dynamic_cast<IFS_Frame_Window*>(app_->GetMainWindow()) : nullptr;
}

IFS_Main_Window* Program_Session::Main() const { return Frame() ? Frame()->Main : nullptr; }

bool Program_Session::Quit_Pending() const { return TDesktop::Current().Quit_Pending(); }

int Program_Session::End_For_The_System() {
  TDesktop& desk = TDesktop::Current();
  desk.Request_End();
  desk.Run_Loop(nullptr);
  return Stop();
}

int Program_Session::Stop() {
  if (!app_) return exit_code_;
  TDesktop& desk = TDesktop::Current();
  TWindow* main = app_->GetMainWindow();
  if (main && main->IsWindow() && !desk.Quit_Pending()) main->PostMessage(WM_CLOSE);
  for (int i = 0; i < 100 && !desk.Quit_Pending(); ++i) headless_->Advance(100);
  exit_code_ = desk.Take_Quit();
  // As the run loop's end does: the frame and its panels go, then the
  // application.
  if (TWindow* frame = app_->GetMainWindow()) {
    frame->Destroy();
    delete app_->SetMainWindow(nullptr);
  }
  app_.reset();
  return exit_code_;
}
