#include "tests/acceptance/acceptance_support.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "model/gui_colors.h"
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
  const std::string command = "xdotool " + arguments;
  EXPECT_EQ(std::system(command.c_str()), 0) << command;
}

std::string At(TPoint p) { return std::to_string(p.x) + " " + std::to_string(p.y); }

void Click(TPoint p) { Xdotool("mousemove " + At(p) + " click 1"); }

void Open_Demonstrations(TPoint help_button, TPoint demonstrations_link) {
  Click(help_button);
  Sleep_Ms(1000);
  Xdotool("key Home");
  Sleep_Ms(500);
  Click(demonstrations_link);
  Sleep_Ms(1000);
}

std::vector<uint32_t> Wait_Until_Still(const std::function<std::vector<uint32_t>()>& grab) {
  std::vector<uint32_t> last;
  int still_ms = 0;
  for (int waited = 0; waited < 45000 && still_ms < 2500; waited += 250) {
    Sleep_Ms(250);
    std::vector<uint32_t> now = grab();
    still_ms = (now == last) ? still_ms + 250 : 0;
    last = std::move(now);
  }
  return still_ms >= 2500 ? last : std::vector<uint32_t>();
}

bool In_Child_On_Screen(int width, int height, int depth) {
  const std::string size = std::to_string(width) + "x" + std::to_string(height);
  if (const char* child = std::getenv("QUENDAR_ACCEPTANCE_CHILD"); child && size == child) return true;
  if (std::system("command -v xvfb-run >/dev/null 2>&1 && command -v xdotool >/dev/null 2>&1") != 0) {
    if (std::getenv("CI")) ADD_FAILURE() << "xvfb-run and xdotool are missing (scripts/install-deps)";
    return false;
  }
  const testing::TestInfo& test = *testing::UnitTest::GetInstance()->current_test_info();
  const std::string name = std::string(test.test_suite_name()) + "." + test.name();
  const std::string command = "QUENDAR_ACCEPTANCE_CHILD=" + size + " ASAN_OPTIONS=detect_leaks=0 xvfb-run -a -s '-screen 0 " +
                              size + "x" + std::to_string(depth) + "' '" + Self() + "' --gtest_filter='" + name + "'";
  EXPECT_EQ(std::system(command.c_str()), 0)
      << "run it by hand: QUENDAR_ACCEPTANCE_CHILD=" << size << " xvfb-run " << Self() << " --gtest_filter=" << name;
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

int Running_Program::Wait_For_Exit(int ms) {
  for (int waited = 0; waited < ms; waited += 50) {
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) == pid_) {
      exited_ = true;
      return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    Sleep_Ms(50);
  }
  return -1;
}
