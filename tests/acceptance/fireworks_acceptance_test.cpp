// The fireworks that reward a finished run, on a virtual X server at
// 1024 x 768 and at 1920 x 1080 (a drawing side of 810, whose picture rows
// are padded). The run's one target is rebuilt with two clicks and the
// pointer is then left alone: the show must play by itself, frame after
// frame, and the drawing must come back exactly as it was.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "model/gui_colors.h"
#include "platform/gdi/png_writer.h"
#include "platform/window/desktop.h"
#include "platform/window/screen.h"
#include "tests/acceptance/acceptance_support.h"
#include "tests/acceptance/safari_layout.h"
#include "tests/acceptance/x_screen.h"
#include "tests/program/program_session.h"
#include "users/user.h"
#include "users/user_data.h"
#include "users/user_database.h"
#include "workspace/drawing_window.h"

namespace {

// A level-1 player whose run is one target of one step.
const char* const Player = "Ann";
constexpr int32_t Player_Level = 0;

// The match game as measured headless on the same screen, with how the
// drawing's unit square looks for every drawing a target can be.
struct Layout : Safari_Layout {
  TRect drawing_area;
  uint32_t background = 0;
};

Layout Measure_Layout(TSize screen) {
  Program_Options options;
  options.screen = screen;
  Program_Session program(options);
  program.Start();
  Drawing_Window& drawing = *program.Main()->drawing_window;
  Layout l;
  const TPoint low = drawing.Screen_Point(Point_2D(0, 0)), high = drawing.Screen_Point(Point_2D(1, 1));
  l.drawing_area = TRect(std::min(low.x, high.x), std::min(low.y, high.y), std::max(low.x, high.x), std::max(low.y, high.y));
  static_cast<Safari_Layout&>(l) = Measure_Safari(program, Player, Player_Level, &l.drawing_area);
  program.Run_Until_Idle();
  const int side = drawing.Inner_Rect.Width();
  l.background = TDesktop::Current().Screen().Pixel(l.picture_origin.x + side / 2, l.picture_origin.y + side / 2);
  return l;
}

int Differences(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
  if (a.size() != b.size()) return int(std::max(a.size(), b.size()));
  int n = 0;
  for (size_t i = 0; i < a.size(); ++i) n += a[i] != b[i];
  return n;
}

void Finish_A_Run(int width, int height) {
  const char* snapshots = std::getenv("QUENDAR_SNAPSHOTS");
  const std::string shots = (snapshots && *snapshots ? snapshots : "acceptance_screenshots") + std::string("/fireworks_") +
                            std::to_string(width) + "x" + std::to_string(height);
  std::filesystem::create_directories(shots);
  const Layout layout = Measure_Layout(TSize(width, height));
  ASSERT_TRUE(layout.safari_plays) << "the match game makes no targets";

  char pattern[] = "/tmp/quendar-fireworks-XXXXXX";
  const std::string folder = mkdtemp(pattern);
  Write_Listed_Person(folder + "/data/Quendar/", Player, Player_Level);
  X_Screen screen;
  ASSERT_TRUE(screen.Open()) << "no display";
  Running_Program program(folder, TSize(width, height));
  ASSERT_TRUE(program.Started());
  auto grab = [&] { return screen.Pixels(width, height); };
  auto area = [&](const TRect& r) { return screen.Area(r.left, r.top, r.Width(), r.Height()); };
  auto shot = [&](const std::string& name) {
    const std::vector<uint32_t> pixels = grab();
    EXPECT_TRUE(!pixels.empty() && Write_PNG_RGB(shots + "/" + name + ".png", width, height, pixels.data(), width));
  };
  ASSERT_FALSE(Wait_Until_Still(grab).empty()) << "the screen never settled";
  shot("01_started");

  // A run: the hint shows under the drawing; the drawing that agrees best
  // with it is built.
  const std::vector<uint32_t> camera_case = area(layout.camera_box);
  Click(layout.camera);
  std::vector<bool> hinted;
  auto hint_shown = [&] {
    const std::vector<uint32_t> now = grab();
    hinted.clear();
    if (now.size() != size_t(width) * size_t(height)) return false;
    for (const TPoint& p : layout.grid)
      hinted.push_back(now[size_t(layout.picture_origin.y + p.y) * size_t(width) + size_t(layout.picture_origin.x + p.x)] !=
                       layout.background);
    return std::count(hinted.begin(), hinted.end(), true) >= 20;
  };
  ASSERT_TRUE(Wait_While_Progressing(hint_shown)) << "no target hint";
  shot("02_hint");
  const Safari_Layout::Candidate* best = layout.Best_Match(hinted);
  ASSERT_NE(best, nullptr);
  // The shape is taken before the manipulator is clicked.
  const std::vector<uint32_t> hint = grab();
  Click(best->shape);
  ASSERT_FALSE(Changed_And_Settled(grab, hint).empty()) << "the shape did not show";
  // The last click: from here on the pointer stands still.
  Click(best->manipulator);

  // The show, watched every few tens of milliseconds until the camera is
  // home: the frames must keep changing on their own. A loaded machine
  // shows fewer frames more slowly; the wait goes on while frames still
  // come, the camera still moves or the program still works.
  std::set<uint64_t> frames;
  int changes = 0, grabs = 0;
  uint64_t last = 0, camera = 0;
  bool shown_mid_show = false;
  const bool home = Wait_While_Progressing(
      [&] {
        const uint64_t h = Pixels_Hash(area(layout.drawing_area));
        changes += grabs > 0 && h != last;
        last = h;
        frames.insert(h);
        if (++grabs % 10 != 0) return false;
        if (!shown_mid_show && frames.size() >= 12) {
          shot("03_during_the_show");
          shown_mid_show = true;
        }
        const std::vector<uint32_t> box = area(layout.camera_box);
        camera = Pixels_Hash(box);
        return box == camera_case;
      },
      [&] { return last ^ (camera * 31) ^ (Program_Work_Seen() * 131); }, Patience{}, 30);
  EXPECT_TRUE(home) << "the fireworks or the camera never ended";
  std::printf("%d changes, %zu different frames in %d grabs\n", changes, frames.size(), grabs);
  EXPECT_GE(changes, 15) << "the show was not presented";
  // Once it is over the drawing is back, pixel for pixel.
  Wait_While_Progressing([&] { return Differences(area(layout.drawing_area), best->pixels) == 0; });
  shot("04_after_the_show");
  EXPECT_EQ(Differences(area(layout.drawing_area), best->pixels), 0) << "the drawing did not come back as it was";
}

}  // namespace

TEST(Fireworks_Acceptance, A_Finished_Run_Plays_Its_Show_At_1024x768) {
  if (In_Child_On_Screen(1024, 768)) Finish_A_Run(1024, 768);
}

TEST(Fireworks_Acceptance, A_Finished_Run_Plays_Its_Show_At_1920x1080) {
  if (In_Child_On_Screen(1920, 1080)) Finish_A_Run(1920, 1080);
}
