#include "tests/acceptance/acceptance_support.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "model/gui_colors.h"
#include "tests/acceptance/x_screen.h"
#include "tests/platform/own_x_server.h"
#include "users/user_data.h"
#include "users/user_database.h"

std::string Self() {
  char path[4096];
  ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
  return n > 0 ? std::string(path, size_t(n)) : std::string();
}

void Write_Listed_Person(const std::string& data, const std::string& name, int32_t level, int32_t points) {
  GUI_Colors colors;
  The_User_Data.directory = data;
  The_User_Data.writable = true;
  std::filesystem::create_directories(data);
  User_Database db;
  auto person = std::make_unique<User>(level, name.c_str());
  person->points = points;
  db.Set_Current(db.Add_User(std::move(person)));
  ASSERT_TRUE(db.Save());
}

void Sleep_Ms(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

void Xdotool(const std::string& arguments) {
  // Keys typed before the program's window is shown and has the keyboard
  // go to the bare screen and are lost: the keys wait for the window.
  if (arguments.rfind("key", 0) == 0 || arguments.rfind("type", 0) == 0) {
    const X_Screen screen;
    EXPECT_TRUE(Wait_While_Progressing([&] { return screen.Keys_Reach_A_Window(); }))
        << "no window takes the keys for: xdotool " << arguments;
  }
  const std::string command = "xdotool " + arguments;
  EXPECT_EQ(std::system(command.c_str()), 0) << command;
}

std::string At(TPoint p) { return std::to_string(p.x) + " " + std::to_string(p.y); }

void Click(TPoint p) { Xdotool("mousemove " + At(p) + " click 1"); }

bool Window_Named(const std::string& name) {
  const std::string command = "xdotool search --name '" + name + "' >/dev/null 2>&1";
  return std::system(command.c_str()) == 0;
}

void Open_Demonstrations(TPoint help_button, TPoint demonstrations_link) {
  // The child runs on a screen of the size its name carries ("1024x768").
  const char* size = std::getenv("QUENDAR_ACCEPTANCE_CHILD");
  int width = 0, height = 0;
  ASSERT_TRUE(size && std::sscanf(size, "%dx%d", &width, &height) == 2) << "not on a test's own screen";
  const X_Screen screen;
  auto grab = [&] { return screen.Pixels(width, height); };
  std::vector<uint32_t> before = grab();
  Click(help_button);
  before = Changed_And_Settled(grab, before);
  ASSERT_FALSE(before.empty()) << "help did not open";
  // Help may open on its index already: Home then changes nothing.
  Xdotool("key Home");
  before = Settle(grab);
  ASSERT_FALSE(before.empty()) << "help's index never settled";
  Click(demonstrations_link);
  ASSERT_FALSE(Changed_And_Settled(grab, before).empty()) << "the Demonstrations page did not show";
}

std::vector<uint32_t> Changed_And_Settled(const std::function<std::vector<uint32_t>()>& grab,
                                          const std::vector<uint32_t>& before) {
  if (!Wait_While_Progressing([&] { return grab() != before; })) return {};
  return Settle(grab);
}

namespace {

// The fields of /proc/.../stat after the command's name, which may itself
// hold spaces and parentheses: the state first, then the numbers.
std::vector<std::string> Stat_Fields(const std::filesystem::path& stat) {
  std::ifstream in(stat);
  std::string line;
  std::getline(in, line);
  const size_t name_end = line.rfind(')');
  std::vector<std::string> fields;
  if (name_end == std::string::npos) return fields;
  std::istringstream rest(line.substr(name_end + 1));
  for (std::string field; rest >> field;) fields.push_back(field);
  return fields;
}

// This process's children, from every one of its threads, but for an X
// server of the test's own (one it takes away under the program): that
// server works at every look at the screen, and is not the program.
std::vector<pid_t> Children() {
  std::vector<pid_t> out;
  std::error_code error;
  for (const auto& task : std::filesystem::directory_iterator("/proc/self/task", error)) {
    std::ifstream in(task.path() / "children");
    for (pid_t pid; in >> pid;) {
      std::string name;
      std::getline(std::ifstream("/proc/" + std::to_string(pid) + "/comm"), name);
      if (name != "Xvfb") out.push_back(pid);
    }
  }
  return out;
}

// User and system time are the 14th and 15th fields of the line, the 12th
// and 13th after the state.
uint64_t Cpu_Ticks_Of(pid_t pid) {
  const std::vector<std::string> f = Stat_Fields("/proc/" + std::to_string(pid) + "/stat");
  return f.size() > 12 ? std::stoull(f[11]) + std::stoull(f[12]) : 0;
}

// Counts the looks that found a program busy at that look and the one
// before: a thread that wakes for a moment is seldom caught twice.
struct Work_Count {
  uint64_t Look(bool busy) {
    seen += busy && busy_before;
    busy_before = busy;
    return seen;
  }
  bool busy_before = false;
  uint64_t seen = 0;
};

// Whether a thread of the process runs, waits for a processor or waits for
// the disk now.
bool Busy(pid_t pid) {
  std::error_code error;
  for (const auto& task : std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/task", error)) {
    // The sound library's thread that looks for new sound devices wakes
    // ten times a second and never draws; on a loaded machine it is often
    // found waiting for a processor, which is not the program working.
    std::string name;
    std::getline(std::ifstream(task.path() / "comm"), name);
    if (name == "SDLHotplugALSA") continue;
    const std::vector<std::string> f = Stat_Fields(task.path() / "stat");
    if (!f.empty() && (f[0] == "R" || f[0] == "D")) return true;
  }
  return false;
}

}  // namespace

uint64_t Program_Cpu_Ticks() {
  uint64_t ticks = 0;
  for (pid_t pid : Children()) ticks += Cpu_Ticks_Of(pid);
  return ticks;
}

bool Program_Busy() {
  for (pid_t pid : Children())
    if (Busy(pid)) return true;
  return false;
}

uint64_t Program_Work_Seen() {
  static Work_Count count;
  return count.Look(Program_Busy());
}

uint64_t Program_Progress() {
  using Clock = std::chrono::steady_clock;
  static Clock::time_point looked;
  static uint64_t screen_hash = 0;
  if (Clock::now() - looked >= std::chrono::seconds(1)) {
    looked = Clock::now();
    const X_Screen screen;
    screen_hash = Pixels_Hash(screen.Whole());
  }
  return screen_hash ^ Program_Work_Seen();
}

uint64_t Pixels_Hash(const std::vector<uint32_t>& pixels) {
  uint64_t h = 1469598103934665603ull;
  for (uint32_t p : pixels) h = (h ^ p) * 1099511628211ull;
  return h;
}

bool Wait_While_Progressing(const std::function<bool()>& done, const std::function<uint64_t()>& watched,
                            Patience patience, int poll_ms) {
  using Clock = std::chrono::steady_clock;
  const auto start = Clock::now();
  auto last_change = start;
  uint64_t last = watched();
  while (!done()) {
    const auto now = Clock::now();
    if (now - last_change > std::chrono::milliseconds(patience.stall_ms) ||
        now - start > std::chrono::milliseconds(patience.cap_ms))
      return done();
    Sleep_Ms(poll_ms);
    if (const uint64_t seen = watched(); seen != last) {
      last = seen;
      last_change = Clock::now();
    }
  }
  return true;
}

std::vector<uint32_t> Wait_Until_Still(const std::function<std::vector<uint32_t>()>& grab, Patience patience,
                                       int still_ms) {
  const X_Screen screen;
  std::vector<uint32_t> last;
  int still_for = 0;
  // The screen changing is progress, and so is the program working on
  // while the screen stays: only a program that neither draws nor works
  // for the stall time makes the wait fail. A bare screen while the
  // program starts is not settled: the program's window must be shown.
  const bool settled = Wait_While_Progressing(
      [&] {
        std::vector<uint32_t> now = grab();
        const bool still = now == last && !Program_Busy() && screen.Keys_Reach_A_Window();
        still_for = still ? still_for + 250 : 0;
        last = std::move(now);
        return still_for >= still_ms;
      },
      [&] { return Pixels_Hash(last) ^ Program_Work_Seen(); }, patience, 250);
  return settled ? last : std::vector<uint32_t>();
}

std::vector<uint32_t> Settle(const std::function<std::vector<uint32_t>()>& grab) {
  return Wait_Until_Still(grab, {}, 1000);
}

bool In_Child_On_Screen(int width, int height, int depth) {
  const testing::TestInfo& test = *testing::UnitTest::GetInstance()->current_test_info();
  const std::string name = std::string(test.test_suite_name()) + "." + test.name();
  const std::string size = std::to_string(width) + "x" + std::to_string(height);
  if (const char* child = std::getenv("QUENDAR_ACCEPTANCE_CHILD"); child && size == child) {
    // QUENDAR_TEST_HANG=Suite.Test makes that test hang on its screen, as
    // a test stuck for good would: how a run shows that the test's time
    // limit ends it and names it.
    if (const char* hang = std::getenv("QUENDAR_TEST_HANG"); hang && name == hang)
      for (;;) pause();
    return true;
  }
  if (std::system("command -v Xvfb >/dev/null 2>&1 && command -v xdotool >/dev/null 2>&1") != 0) {
    // Both come with the project's packages: a machine without them was not
    // set up, and a test that did not run must not pass.
    ADD_FAILURE() << "Xvfb and xdotool are missing (scripts/install-deps)";
    return false;
  }
  Own_X_Server server(size + "x" + std::to_string(depth));
  if (!server.Running()) {
    ADD_FAILURE() << "no X server could be started";
    return false;
  }
  const std::string command = server.Command_Prefix() + "QUENDAR_ACCEPTANCE_CHILD=" + size +
                              " ASAN_OPTIONS=detect_leaks=0 '" + Self() + "' --gtest_filter='" + name + "'";
  EXPECT_EQ(std::system(command.c_str()), 0)
      << "run it by hand: QUENDAR_ACCEPTANCE_CHILD=" << size << " scripts/run-on-own-x-server " << size << "x"
      << depth << " " << Self() << " --gtest_filter=" << name;
  return false;
}

Running_Program::Running_Program(const std::string& folder, TSize screen, const std::vector<std::string>& extra_environment) {
  const std::string size = std::to_string(screen.cx) + "x" + std::to_string(screen.cy);
  std::vector<std::string> env = {"QUENDAR_SCREEN=" + size, "HOME=" + folder, "XDG_CONFIG_HOME=" + folder + "/config",
                                  "XDG_DATA_HOME=" + folder + "/data", "XDG_RUNTIME_DIR=" + folder + "/run",
                                  "XDG_CACHE_HOME=" + folder + "/cache",
                                  // No print server: the printer stays undefined, whatever this machine has.
                                  "CUPS_SERVER=" + folder + "/no-print-server.sock", "ASAN_OPTIONS=detect_leaks=0"};
  // The extra settings come first: the program reads the first of a name.
  env.insert(env.begin(), extra_environment.begin(), extra_environment.end());
  std::filesystem::create_directories(folder + "/run");
  std::filesystem::permissions(folder + "/run", std::filesystem::perms::owner_all);
  // TSAN_OPTIONS carries the sanitizer's suppressions to the program.
  for (const char* name : {"DISPLAY", "XAUTHORITY", "PATH", "TSAN_OPTIONS"})
    if (const char* value = std::getenv(name)) env.push_back(std::string(name) + "=" + value);
  std::vector<char*> envp;
  for (std::string& v : env) envp.push_back(v.data());
  envp.push_back(nullptr);
  std::string program = std::filesystem::path(Self()).parent_path().parent_path() / "app" / "quendar";
  char* argv[] = {program.data(), nullptr};
  if (posix_spawn(&pid_, program.c_str(), nullptr, nullptr, argv, envp.data()) != 0) pid_ = -1;
}

Running_Program::~Running_Program() {
  if (pid_ > 0 && !exited_) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
}

uint64_t Running_Program::Cpu_Ticks() const { return pid_ > 0 ? Cpu_Ticks_Of(pid_) : 0; }

int Running_Program::Wait_For_Exit(int ms) {
  int status = 0;
  // An ending program still works (it saves, frees, closes its display):
  // the wait goes on while it is seen busy at two looks in a row.
  Work_Count count;
  const bool ended = Wait_While_Progressing([&] { return waitpid(pid_, &status, WNOHANG) == pid_; },
                                            [&] { return count.Look(Busy(pid_)); },
                                            Patience{ms, std::max(ms, Patience().cap_ms)}, 50);
  if (!ended) return -1;
  exited_ = true;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
