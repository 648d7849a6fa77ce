// Quendar as a person meets it: the built program on a virtual X server at
// 1024 x 768, driven with xdotool, a screenshot after every step. A step is
// one line in the table below; each new thing a person can do adds its own.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "platform/gdi/png_writer.h"
#include "tests/acceptance/x_screen.h"
#include "tests/program/program_session.h"
#include "toolkit/round_button.h"

extern char** environ;

namespace {

constexpr int Width = 1024, Height = 768;

std::string Self() {
  char path[4096];
  ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
  return n > 0 ? std::string(path, size_t(n)) : std::string();
}

void Sleep_Ms(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

// Where the main window's buttons stand: the same layout, made headless.
struct Layout {
  TPoint gallery, name, match, help;
  TPoint close_box{Width - 10, 10};
};

Layout Measure_Layout() {
  Program_Options options;
  options.screen = TSize(Width, Height);
  Program_Session program(options);
  program.Start();
  IFS_Main_Window& main = *program.Main();
  return {Program_Session::Center_Of(main.gallery_button), Program_Session::Center_Of(main.name_button),
          Program_Session::Center_Of(main.match_button), Program_Session::Center_Of(main.help_button)};
}

void Click(TPoint p) {
  std::string command = "xdotool mousemove " + std::to_string(p.x) + " " + std::to_string(p.y) + " click 1";
  EXPECT_EQ(std::system(command.c_str()), 0) << command;
}

class Running_Program {
 public:
  explicit Running_Program(const std::string& folder) {
    std::vector<std::string> env = {"QUENDAR_SCREEN=1024x768", "HOME=" + folder, "XDG_CONFIG_HOME=" + folder + "/config",
                                    "XDG_DATA_HOME=" + folder + "/data", "XDG_RUNTIME_DIR=" + folder + "/run",
                                    "XDG_CACHE_HOME=" + folder + "/cache", "ASAN_OPTIONS=detect_leaks=0"};
    std::filesystem::create_directories(folder + "/run");
    std::filesystem::permissions(folder + "/run", std::filesystem::perms::owner_all);
    for (char** e = environ; *e; ++e) {
      std::string v = *e;
      if (v.rfind("DISPLAY=", 0) == 0 || v.rfind("XAUTHORITY=", 0) == 0 || v.rfind("PATH=", 0) == 0) env.push_back(v);
    }
    std::vector<char*> envp;
    for (std::string& v : env) envp.push_back(v.data());
    envp.push_back(nullptr);
    std::string program = std::filesystem::path(Self()).parent_path().parent_path() / "app" / "quendar";
    char* argv[] = {program.data(), nullptr};
    if (posix_spawn(&pid_, program.c_str(), nullptr, nullptr, argv, envp.data()) != 0) pid_ = -1;
  }
  ~Running_Program() {
    if (pid_ > 0 && !exited_) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
  }
  bool Started() const { return pid_ > 0; }
  // The exit code, or -1 when it did not end within ms.
  int Wait_For_Exit(int ms) {
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

 private:
  pid_t pid_ = -1;
  bool exited_ = false;
};

}  // namespace

TEST(Acceptance, Quendar_Starts_Shows_Its_Main_Window_And_Its_Round_Buttons_Answer) {
  if (!std::getenv("QUENDAR_ACCEPTANCE_CHILD")) {
    if (std::system("command -v xvfb-run >/dev/null 2>&1 && command -v xdotool >/dev/null 2>&1") != 0) {
      if (std::getenv("CI")) FAIL() << "xvfb-run and xdotool are missing (scripts/install-deps)";
      GTEST_SKIP() << "xvfb-run and xdotool are needed (scripts/install-deps)";
    }
    std::string command = "QUENDAR_ACCEPTANCE_CHILD=1 ASAN_OPTIONS=detect_leaks=0 xvfb-run -a -s '-screen 0 1024x768x24' '" +
                          Self() + "' --gtest_filter='Acceptance.*'";
    EXPECT_EQ(std::system(command.c_str()), 0) << "run it by hand: QUENDAR_ACCEPTANCE_CHILD=1 xvfb-run " << Self();
    return;
  }
  const char* snapshots = std::getenv("QUENDAR_SNAPSHOTS");
  const std::string shots = snapshots && *snapshots ? snapshots : "acceptance_screenshots";
  std::filesystem::create_directories(shots);
  const Layout layout = Measure_Layout();

  char pattern[] = "/tmp/quendar-acceptance-XXXXXX";
  const std::string folder = mkdtemp(pattern);
  X_Screen screen;
  ASSERT_TRUE(screen.Open()) << "no display";
  Running_Program program(folder);
  ASSERT_TRUE(program.Started());

  auto shot = [&](const std::string& name) {
    std::vector<uint32_t> pixels = screen.Pixels(Width, Height);
    EXPECT_FALSE(pixels.empty());
    if (!pixels.empty()) {
      EXPECT_TRUE(Write_PNG_RGB(shots + "/" + name + ".png", Width, Height, pixels.data(), Width));
    }
    return pixels;
  };
  // Start-up is over when the screen has stayed the same for 2.5 s and the
  // Help button is painted (the title, which changes as it uncovers its
  // picture and then goes, is gone by then).
  std::vector<uint32_t> last;
  int still_ms = 0;
  for (int waited = 0; waited < 45000 && still_ms < 2500; waited += 250) {
    Sleep_Ms(250);
    std::vector<uint32_t> now = screen.Pixels(Width, Height);
    still_ms = (now == last) ? still_ms + 250 : 0;
    last = std::move(now);
  }
  ASSERT_GE(still_ms, 2500) << "the screen never settled";
  std::vector<uint32_t> started = shot("01_main_window");
  auto pixel = [&](const std::vector<uint32_t>& p, TPoint at) { return p[size_t(at.y) * Width + at.x]; };
  // The screen is the program's, not a bare X server's.
  EXPECT_NE(pixel(started, layout.help), pixel(started, TPoint(Width - 2, Height - 2)));

  struct Step {
    const char* name;
    std::function<void()> act;
  };
  const Step steps[] = {
      {"02_gallery_opened",
       [&] {
         Click(layout.gallery);
         Sleep_Ms(700);
         // The gallery has taken the main window's place.
         EXPECT_NE(pixel(screen.Pixels(Width, Height), layout.gallery), pixel(started, layout.gallery));
       }},
      {"03_gallery_left", [&] { Click({Width / 2, Height / 2}); }},
      {"04_name_and_level", [&] { Click(layout.name); }},
      {"05_match_this", [&] { Click(layout.match); }},
      {"06_help", [&] { Click(layout.help); }},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.name);
    step.act();
    Sleep_Ms(700);
    shot(step.name);
  }
  // Back from the gallery, the main window looks as it did at first.
  std::vector<uint32_t> end = screen.Pixels(Width, Height);
  EXPECT_EQ(pixel(end, layout.gallery), pixel(started, layout.gallery));

  Click(layout.close_box);
  EXPECT_EQ(program.Wait_For_Exit(10000), 0);
  std::filesystem::remove_all(folder);
}
