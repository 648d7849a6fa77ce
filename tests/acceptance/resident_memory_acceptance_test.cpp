// How much memory the program holds after a long session: the built
// program on a virtual X server, a demonstration played again and again
// from help for some minutes (five unless QUENDAR_MEASURE_MINUTES says
// otherwise), then its resident set read from /proc. Not part of the test
// run (the tests are disabled); scripts/measure-memory runs them and prints
// the figures. Each fails when more than 60 MB is held at 1024 x 768.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/ifs_main_window.h"
#include "help/help_section.h"
#include "help/help_window.h"
#include "model/gui_colors.h"
#include "platform/gdi/png_writer.h"
#include "tests/acceptance/acceptance_support.h"
#include "tests/acceptance/x_screen.h"
#include "tests/program/program_session.h"
#include "toolkit/round_button.h"
#include "users/user.h"
#include "users/user_data.h"
#include "users/user_database.h"

namespace {

// The demonstrations' numbers on the help page, in the order of its links.
enum Demonstration { Easy_Game = 0, Multi_Level_Pattern = 4 };

struct Layout {
  TPoint help, demonstrations_link, show;
};

TPoint Centre(const TRect& r) { return TPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2); }

Layout Measure_Layout(TSize screen, Demonstration d) {
  Program_Options options;
  options.screen = screen;
  Program_Session program(options);
  program.Start();
  Layout l;
  l.help = Program_Session::Center_Of(program.Main()->help_button);
  const Help_Section& help = The_Help_Window->Section(0);
  for (const Help_Link& link : help.Page(0)->links)
    if (link.page == -2) l.demonstrations_link = Centre(link.rect);
  for (const Help_Link& link : help.Page(-2)->links)
    if (link.demonstration == d) l.show = Centre(link.rect);
  EXPECT_EQ(program.Stop(), 0);
  return l;
}

// A field of /proc/PID/status in kB ("VmRSS", "VmHWM"); -1 when unreadable.
long Status_Kb(pid_t pid, const std::string& field) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(in, line))
    if (line.rfind(field + ":", 0) == 0) return std::atol(line.c_str() + field.size() + 1);
  return -1;
}

bool Playing() { return std::system("xdotool search --name 'Press CTRL-ESC' >/dev/null 2>&1") == 0; }

void Measure(TSize screen, Demonstration d, const char* what) {
  const char* minutes_text = std::getenv("QUENDAR_MEASURE_MINUTES");
  const int minutes = minutes_text && std::atoi(minutes_text) > 0 ? std::atoi(minutes_text) : 5;
  const Layout layout = Measure_Layout(screen, d);
  char pattern[] = "/tmp/quendar-memory-XXXXXX";
  const std::string folder = mkdtemp(pattern);
  Write_Listed_Person(folder + "/data/Quendar/", "Ann", 0);
  X_Screen x;
  ASSERT_TRUE(x.Open()) << "no display";
  Running_Program program(folder, screen);
  ASSERT_TRUE(program.Started());
  ASSERT_FALSE(Wait_Until_Still([&] { return x.Pixels(screen.cx, screen.cy); }).empty()) << "the screen never settled";
  const long at_start = Status_Kb(program.Pid(), "VmRSS");

  Open_Demonstrations(layout.help, layout.demonstrations_link);
  const auto start = std::chrono::steady_clock::now();
  const auto end = start + std::chrono::minutes(minutes);
  // A screenshot every 20 s shows what was played.
  const char* snapshots = std::getenv("QUENDAR_SNAPSHOTS");
  const std::string shots = (snapshots && *snapshots ? snapshots : "acceptance_screenshots") + std::string("/") +
                            testing::UnitTest::GetInstance()->current_test_info()->name();
  std::filesystem::create_directories(shots);
  int plays = 0, seconds = 0;
  while (std::chrono::steady_clock::now() < end) {
    if (seconds++ % 20 == 10) {
      const std::vector<uint32_t> pixels = x.Pixels(screen.cx, screen.cy);
      Write_PNG_RGB(shots + "/" + std::to_string(seconds) + "s.png", screen.cx, screen.cy, pixels.data(), screen.cx);
    }
    // Over when help comes back: started again from its page.
    if (!Playing()) {
      Click(layout.show);
      ++plays;
      Wait_While_Progressing(Playing);
    }
    // A look a second: the run lasts its minutes however fast the machine
    // plays, and what it measures does not hang on how far a play got.
    Sleep_Ms(1000);
  }
  const long after = Status_Kb(program.Pid(), "VmRSS"), peak = Status_Kb(program.Pid(), "VmHWM");
  std::printf("resident memory at %dx%d, %s: %.1f MB settled after start, %.1f MB after %d min (%d plays), peak %.1f MB\n",
              screen.cx, screen.cy, what, at_start / 1024.0, after / 1024.0, minutes, plays, peak / 1024.0);
  std::fflush(stdout);
  EXPECT_GT(plays, 0);
  EXPECT_GT(after, 0);
  if (screen.cx == 1024) {
    EXPECT_LE(after, 60 * 1024) << "more than 60 MB held";
  }
  std::filesystem::remove_all(folder);
}

}  // namespace

TEST(Resident_Memory, DISABLED_Iterating_At_1024x768) {
  if (In_Child_On_Screen(1024, 768)) Measure(TSize(1024, 768), Multi_Level_Pattern, "iterating");
}

TEST(Resident_Memory, DISABLED_Game_With_Fireworks_At_1024x768) {
  if (In_Child_On_Screen(1024, 768)) Measure(TSize(1024, 768), Easy_Game, "a game with its fireworks");
}

TEST(Resident_Memory, DISABLED_Iterating_At_1920x1080) {
  if (In_Child_On_Screen(1920, 1080)) Measure(TSize(1920, 1080), Multi_Level_Pattern, "iterating");
}

TEST(Resident_Memory, DISABLED_Game_With_Fireworks_At_1920x1080) {
  if (In_Child_On_Screen(1920, 1080)) Measure(TSize(1920, 1080), Easy_Game, "a game with its fireworks");
}
