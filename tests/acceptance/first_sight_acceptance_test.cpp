// The first sight of the program: the screen grabbed as fast as it can be
// from before the start until it settles. Every grab shows either the empty
// screen or a window painted whole; once the main window is up, everything
// outside the title and drawing areas (which change as start-up goes on)
// is as it is when the program has settled.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/title_window.h"
#include "app/ifs_main_window.h"
#include "model/gui_colors.h"
#include "platform/gdi/png_writer.h"
#include "tests/acceptance/acceptance_support.h"
#include "tests/acceptance/x_screen.h"
#include "tests/program/program_session.h"
#include "toolkit/round_button.h"
#include "users/user.h"
#include "users/user_data.h"
#include "users/user_database.h"
#include "workspace/drawing_window.h"

namespace {

// Where the title window stands, and what changes while the program starts:
// the title and the drawing under it, and the match game's button, which
// shows a moment after the rest when the person's level has the game.
struct Layout {
  TRect title;
  std::vector<TRect> changing;
};

Layout Measure_Layout(TSize screen) {
  Program_Options options;
  options.screen = screen;
  Program_Session program(options);
  Layout l;
  program.Start_Only();
  program.Run_Until_Idle();
  if (The_Title_Window) l.title = The_Title_Window->GetWindowRect();
  program.Let_Title_Close(30000);
  l.changing = {l.title.Union(program.Main()->drawing_window->GetWindowRect()), program.Main()->match_button->GetWindowRect()};
  EXPECT_EQ(program.Stop(), 0);
  return l;
}

// The box around the pixels that differ, outside the holes.
TRect Differences_Outside(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b, int width,
                          const std::vector<TRect>& holes) {
  TRect box;
  for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
    const TPoint p(int(i % size_t(width)), int(i / size_t(width)));
    if (a[i] == b[i] || std::any_of(holes.begin(), holes.end(), [&](const TRect& h) { return h.Contains(p); })) continue;
    const TRect one(p.x, p.y, p.x + 1, p.y + 1);
    box = box.IsEmpty() ? one : box.Union(one);
  }
  return box;
}

void Watch_The_Start(int width, int height) {
  const Layout layout = Measure_Layout(TSize(width, height));
  ASSERT_FALSE(layout.title.IsEmpty()) << "no title window";
  const char* snapshots = std::getenv("QUENDAR_SNAPSHOTS");
  const std::string shots = (snapshots && *snapshots ? snapshots : "acceptance_screenshots") + std::string("/first_sight_") +
                            std::to_string(width) + "x" + std::to_string(height);
  std::filesystem::create_directories(shots);
  char pattern[] = "/tmp/quendar-first-sight-XXXXXX";
  const std::string folder = mkdtemp(pattern);
  Write_Listed_Person(folder + "/data/Quendar/", "Ann", 1);
  X_Screen screen;
  ASSERT_TRUE(screen.Open()) << "no display";
  auto grab = [&] { return screen.Pixels(width, height); };
  // The pointer in a corner, away from anything that answers it.
  Xdotool("mousemove " + At(TPoint(width - 1, height - 1)));
  const std::vector<uint32_t> empty = grab();

  std::vector<std::vector<uint32_t>> frames;
  {
    Running_Program program(folder, TSize(width, height));
    ASSERT_TRUE(program.Started());
    const auto start = std::chrono::steady_clock::now();
    while (std::chrono::steady_clock::now() - start < std::chrono::milliseconds(1500)) {
      std::vector<uint32_t> now = grab();
      if (frames.empty() || now != frames.back()) frames.push_back(std::move(now));
    }
    const std::vector<uint32_t> settled = Wait_Until_Still(grab);
    ASSERT_FALSE(settled.empty()) << "the screen never settled";
    EXPECT_TRUE(Write_PNG_RGB(shots + "/settled.png", width, height, settled.data(), width));

    int seen_title = 0, seen_main = 0;
    for (size_t i = 0; i < frames.size(); ++i) {
      const std::vector<uint32_t>& f = frames[i];
      const std::string name = shots + "/frame_" + std::to_string(i) + ".png";
      EXPECT_TRUE(Write_PNG_RGB(name, width, height, f.data(), width));
      if (f == empty) continue;
      if (Differences_Outside(f, empty, width, {layout.title}).IsEmpty()) {
        ++seen_title;  // the title window alone, on the empty screen
        continue;
      }
      ++seen_main;
      const TRect differs = Differences_Outside(f, settled, width, layout.changing);
      EXPECT_TRUE(differs.IsEmpty()) << "partly drawn: " << name << " differs in " << differs.left << "," << differs.top
                                     << " to " << differs.right << "," << differs.bottom;
    }
    EXPECT_GT(seen_title + seen_main, 0) << "nothing was shown";
  }
  std::filesystem::remove_all(folder);
}

}  // namespace

TEST(First_Sight_Acceptance, Windows_Show_Painted_Whole_At_1024x768) {
  if (In_Child_On_Screen(1024, 768)) Watch_The_Start(1024, 768);
}

TEST(First_Sight_Acceptance, Windows_Show_Painted_Whole_At_1920x1080) {
  if (In_Child_On_Screen(1920, 1080)) Watch_The_Start(1920, 1080);
}
