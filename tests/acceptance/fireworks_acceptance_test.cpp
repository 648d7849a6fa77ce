// The fireworks that reward a finished run, on a virtual X server at
// 1024 x 768 and at 1920 x 1080 (a drawing side of 810, whose picture rows
// are padded). The run's one target is rebuilt with two clicks and the
// pointer is then left alone: the show must play by itself, frame after
// frame, and the drawing must come back exactly as it was.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "game/safari_controls.h"
#include "game/target_generator.h"
#include "manipulators/transform_palette.h"
#include "model/gui_colors.h"
#include "platform/gdi/png_writer.h"
#include "platform/window/desktop.h"
#include "platform/window/screen.h"
#include "tests/acceptance/acceptance_support.h"
#include "tests/acceptance/x_screen.h"
#include "tests/program/program_session.h"
#include "users/user.h"
#include "users/user_data.h"
#include "users/user_database.h"
#include "workspace/drawing_window.h"
#include "workspace/shape_palette.h"

namespace {

// A level-1 player whose run is one target of one step.
const char* const Player = "Ann";
constexpr int32_t Player_Level = 0;

// The match game as measured headless on the same screen: the camera, its
// case, the drawing's unit square, the grid of points the target's hint
// paints, and every drawing a target can be (a start shape with one
// manipulator) with the grid points it covers and how its square looks.
struct Layout {
  bool safari_plays = false;
  TPoint camera;
  TRect camera_box, drawing_area;
  TPoint picture_origin;
  std::vector<TPoint> grid;
  uint32_t background = 0;
  struct Candidate {
    TPoint shape, manipulator;
    std::vector<bool> covered;
    std::vector<uint32_t> pixels;
  };
  std::vector<Candidate> candidates;
};

std::vector<uint32_t> Crop(const std::function<uint32_t(int, int)>& pixel, const TRect& r) {
  std::vector<uint32_t> out;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) out.push_back(pixel(x, y));
  return out;
}

Layout Measure_Layout(TSize screen) {
  Program_Options options;
  options.screen = screen;
  Program_Session program(options);
  program.Start();
  IFS_Main_Window& main = *program.Main();
  program.Change_User(Player, Player_Level);
  Layout l;
  l.safari_plays = main.target_generator->Target_Coming();
  Safari_Controls& safari = *main.safari_controls;
  l.camera = safari.Panel_Screen_Point();
  l.camera_box = safari.Camera_Rect.Offset_By(l.camera.x - (safari.Camera_Rect.left + safari.Camera_Rect.right) / 2,
                                               l.camera.y - (safari.Camera_Rect.top + safari.Camera_Rect.bottom) / 2);
  Drawing_Window& drawing = *main.drawing_window;
  const TPoint low = drawing.Screen_Point(Point_2D(0, 0)), high = drawing.Screen_Point(Point_2D(1, 1));
  l.drawing_area = TRect(std::min(low.x, high.x), std::min(low.y, high.y), std::max(low.x, high.x), std::max(low.y, high.y));
  l.picture_origin = drawing.Inner_Rect.TopLeft();
  drawing.ClientToScreen(l.picture_origin);
  const int side = drawing.Inner_Rect.Width();
  const int r = side / 2 - 8;
  for (int y = 4; y < side - 4; y += 6)
    for (int x = 4; x < side - 4; x += 6)
      if ((x - side / 2) * (x - side / 2) + (y - side / 2) * (y - side / 2) < r * r) l.grid.push_back(TPoint(x, y));
  const TScreen& shown = TDesktop::Current().Screen();
  auto pixel = [&](int x, int y) { return shown.Pixel(x, y); };
  l.background = pixel(l.picture_origin.x + side / 2, l.picture_origin.y + side / 2);
  Transform_Palette& palette = *main.manipulator_palette;
  for (Shape_Button* button : main.shape_palette->Buttons) {
    if (!button) continue;
    for (int32_t index = 0; index < palette.Section(0).Total(); ++index) {
      drawing.Clear();
      Layout::Candidate c{Program_Session::Center_Of(button), palette.Slot_Screen_Points(0, index, nullptr), {}, {}};
      program.Click(c.shape);
      program.Click(c.manipulator);
      program.Run_Until_Idle();
      Shape_Drawing& picture = *drawing.current.picture;
      for (const TPoint& p : l.grid) c.covered.push_back(!picture.Pixel_Has_Color(p, picture.Background));
      c.pixels = Crop(pixel, l.drawing_area);
      l.candidates.push_back(std::move(c));
    }
  }
  drawing.Clear();
  return l;
}

int Differences(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
  if (a.size() != b.size()) return int(std::max(a.size(), b.size()));
  int n = 0;
  for (size_t i = 0; i < a.size(); ++i) n += a[i] != b[i];
  return n;
}

uint64_t Hash(const std::vector<uint32_t>& pixels) {
  uint64_t h = 1469598103934665603ull;
  for (uint32_t p : pixels) h = (h ^ p) * 1099511628211ull;
  return h;
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
  for (int waited = 0; waited < 5000; waited += 100) {
    Sleep_Ms(100);
    const std::vector<uint32_t> now = grab();
    hinted.clear();
    for (const TPoint& p : layout.grid)
      hinted.push_back(now[size_t(layout.picture_origin.y + p.y) * size_t(width) + size_t(layout.picture_origin.x + p.x)] !=
                       layout.background);
    if (std::count(hinted.begin(), hinted.end(), true) >= 20) break;
  }
  ASSERT_GE(std::count(hinted.begin(), hinted.end(), true), 20) << "no target hint";
  shot("02_hint");
  const Layout::Candidate* best = nullptr;
  int best_misses = 1 << 30;
  for (const Layout::Candidate& c : layout.candidates) {
    int misses = 0;
    for (size_t i = 0; i < hinted.size(); ++i) misses += hinted[i] != c.covered[i];
    if (misses < best_misses) best = &c, best_misses = misses;
  }
  ASSERT_NE(best, nullptr);
  Click(best->shape);
  Sleep_Ms(300);
  // The last click: from here on the pointer stands still.
  Click(best->manipulator);

  // The show, watched every few tens of milliseconds until the camera is
  // home: the frames must keep changing on their own.
  std::set<uint64_t> frames;
  int changes = 0, grabs = 0;
  uint64_t last = 0;
  bool home = false, shown_mid_show = false;
  const auto start = std::chrono::steady_clock::now();
  while (std::chrono::steady_clock::now() - start < std::chrono::seconds(30)) {
    const std::vector<uint32_t> now = area(layout.drawing_area);
    const uint64_t h = Hash(now);
    changes += grabs > 0 && h != last;
    last = h;
    frames.insert(h);
    if (++grabs % 10 == 0) {
      if (!shown_mid_show && frames.size() >= 12) {
        shot("03_during_the_show");
        shown_mid_show = true;
      }
      if ((home = area(layout.camera_box) == camera_case)) break;
    }
    Sleep_Ms(30);
  }
  EXPECT_TRUE(home) << "the fireworks or the camera never ended";
  std::printf("%d changes, %zu different frames in %d grabs\n", changes, frames.size(), grabs);
  EXPECT_GE(changes, 15) << "the show was not presented";
  // Once it is over the drawing is back, pixel for pixel.
  Sleep_Ms(500);
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
