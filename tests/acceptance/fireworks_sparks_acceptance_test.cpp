// The fireworks show on a real display: the easy matching game played from
// help's Demonstrations page, at twice the pace, on virtual X servers of
// two sizes. While the drawing is dimmed under the show the screen is
// grabbed again and again: once the last sparks have faded the dimmed
// drawing must show as it did before the first, with nothing left behind
// of the frames, which are put on the screen only where they changed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

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
#include "workspace/drawing_window.h"

namespace {

struct Show_Layout {
  TPoint help, close_box, demonstrations_link, easy_game;
  TRect drawing_area;
  // A band of the drawing's white background above the unit square: the
  // show dims it to grey, whatever the drawing holds.
  TRect background_band;
};

TPoint Centre(const TRect& r) { return TPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2); }

Show_Layout Measure(TSize screen) {
  Program_Options options;
  options.screen = screen;
  Program_Session program(options);
  program.Start();
  Show_Layout l;
  l.help = Program_Session::Center_Of(program.Main()->help_button);
  l.close_box = TPoint(screen.cx - 10, 10);
  const Help_Section& help = The_Help_Window->Section(0);
  for (const Help_Link& link : help.Page(0)->links)
    if (link.page == -2) l.demonstrations_link = Centre(link.rect);
  for (const Help_Link& link : help.Page(-2)->links)
    if (link.demonstration == 0) l.easy_game = Centre(link.rect);
  Drawing_Window& drawing = *program.Main()->drawing_window;
  const TPoint low = drawing.Screen_Point(Point_2D(0, 0)), high = drawing.Screen_Point(Point_2D(1, 1));
  l.drawing_area = TRect(std::min(low.x, high.x), std::min(low.y, high.y), std::max(low.x, high.x), std::max(low.y, high.y));
  const TRect window = drawing.GetWindowRect();
  const int gap = l.drawing_area.top - window.top, middle = (l.drawing_area.left + l.drawing_area.right) / 2;
  l.background_band = TRect(middle - l.drawing_area.Width() / 6, window.top + gap / 3, middle + l.drawing_area.Width() / 6,
                            l.drawing_area.top - gap / 3);
  EXPECT_EQ(program.Stop(), 0);
  return l;
}

std::vector<uint32_t> Crop(const std::vector<uint32_t>& p, int width, const TRect& r) {
  std::vector<uint32_t> out;
  for (int y = r.top; y < r.bottom; ++y)
    out.insert(out.end(), p.begin() + y * width + r.left, p.begin() + y * width + r.right);
  return out;
}

// The share of the pixels that are near white: the drawing's background,
// which the show dims to grey.
double White_Share(const std::vector<uint32_t>& p) {
  const auto white = std::count_if(p.begin(), p.end(), [](uint32_t v) {
    return ((v >> 16) & 0xFF) > 240 && ((v >> 8) & 0xFF) > 240 && (v & 0xFF) > 240;
  });
  return p.empty() ? 0 : double(white) / double(p.size());
}

// The caption names the way to stop a demonstration while one plays.
bool Demonstration_Plays() { return std::system("xdotool search --name 'Press CTRL-ESC' >/dev/null 2>&1") == 0; }

int Differences(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
  int n = 0;
  for (size_t i = 0; i < a.size() && i < b.size(); ++i) n += a[i] != b[i];
  return n;
}

void Watch_The_Show(TSize size) {
  const char* snapshots = std::getenv("QUENDAR_SNAPSHOTS");
  const std::string shots = (snapshots && *snapshots ? snapshots : "acceptance_screenshots") + std::string("/") +
                            testing::UnitTest::GetInstance()->current_test_info()->name();
  std::filesystem::create_directories(shots);
  const Show_Layout layout = Measure(size);
  char pattern[] = "/tmp/quendar-fireworks-XXXXXX";
  const std::string folder = mkdtemp(pattern);
  Write_Listed_Person(folder + "/data/Quendar/", "Ann", 1);
  X_Screen screen;
  ASSERT_TRUE(screen.Open()) << "no display";
  Running_Program program(folder, size, {"QUENDAR_CLOCK_RATE=2"});
  ASSERT_TRUE(program.Started());
  auto grab = [&] { return screen.Pixels(size.cx, size.cy); };
  auto shot = [&](const std::string& name, const std::vector<uint32_t>& pixels) {
    EXPECT_TRUE(Write_PNG_RGB(shots + "/" + name + ".png", size.cx, size.cy, pixels.data(), size.cx));
  };
  ASSERT_FALSE(Wait_Until_Still(grab).empty()) << "the screen never settled";
  Open_Demonstrations(layout.help, layout.demonstrations_link);
  Click(layout.easy_game);
  // The game's drawing shows before the show dims it.
  auto background = [&] { return White_Share(Crop(grab(), size.cx, layout.background_band)); };
  Wait_While_Progressing([&] {
    const double white = background();
    return Demonstration_Plays() && (white > 0.9 || white < 0.05);
  });
  ASSERT_GT(background(), 0.9) << "the drawing's background should be white";

  // The show dims the drawing: watch, with the pointer still, until it is
  // bright again. The show lasts a fixed time of the program's clock: only
  // the drawing and the band above it are grabbed, and the pictures are
  // written after it, so that a loaded machine still sees many frames.
  const TRect watched(layout.drawing_area.left, layout.background_band.top, layout.drawing_area.right,
                      layout.drawing_area.bottom);
  const TRect band = layout.background_band.Offset_By(-watched.left, -watched.top);
  const TRect area = layout.drawing_area.Offset_By(-watched.left, -watched.top);
  std::vector<std::vector<uint32_t>> show, pictures;
  // The wait goes on while the program still works: a loaded machine shows
  // the show late and slowly.
  const bool over = Wait_While_Progressing([&] {
    std::vector<uint32_t> part = screen.Area(watched.left, watched.top, watched.Width(), watched.Height());
    if (part.empty()) return false;
    if (White_Share(Crop(part, watched.Width(), band)) < 0.05) {
      show.push_back(Crop(part, watched.Width(), area));
      if (show.size() == 1 || show.size() == 7 || show.size() == 13) pictures.push_back(std::move(part));
    } else if (!show.empty()) {
      pictures.push_back(std::move(part));
      return true;
    }
    return false;
  }, Program_Progress, {}, 40);
  const char* names[] = {"01_show_begins", "02_show", "03_show"};
  for (size_t i = 0; i < pictures.size(); ++i) {
    const std::string name = i + 1 == pictures.size() && over ? "04_show_over" : names[std::min<size_t>(i, 2)];
    EXPECT_TRUE(Write_PNG_RGB(shots + "/" + name + ".png", watched.Width(), watched.Height(), pictures[i].data(),
                              watched.Width()));
  }
  if (show.empty()) shot("00_no_show", grab());
  ASSERT_GE(show.size(), 5u) << "no show seen over the dimmed drawing";
  // Once the sparks have faded, the last grabs under the show are the
  // dimmed drawing as the first grab showed it (give or take the first
  // rocket, a few pixels): nothing of the frames is left behind.
  int at_end = INT32_MAX;
  for (size_t i = show.size() >= 3 ? show.size() - 3 : 0; i < show.size(); ++i)
    at_end = std::min(at_end, Differences(show[i], show.front()));
  EXPECT_LT(at_end, int(show.front().size() / 200)) << "sparks were left on the dimmed drawing";

  // The demonstration goes back to help; closing help and the program.
  Wait_While_Progressing([] { return !Demonstration_Plays(); });
  EXPECT_FALSE(Demonstration_Plays()) << "the demonstration did not end after the show";
  const std::vector<uint32_t> help = Settle(grab);
  EXPECT_FALSE(help.empty()) << "help never settled after the demonstration";
  Xdotool("key Escape");
  EXPECT_FALSE(Changed_And_Settled(grab, help).empty()) << "help did not close";
  Click(layout.close_box);
  EXPECT_EQ(program.Wait_For_Exit(15000), 0) << "the program did not end when closed";
  std::filesystem::remove_all(folder);
}

}  // namespace

TEST(Fireworks_Sparks_Acceptance, At_1024x768_The_Show_Leaves_No_Sparks_Behind) {
  if (In_Child_On_Screen(1024, 768)) Watch_The_Show(TSize(1024, 768));
}

// At 1920 x 1080 the drawing's side (810) pads its rows.
TEST(Fireworks_Sparks_Acceptance, At_1920x1080_The_Show_Leaves_No_Sparks_Behind) {
  if (In_Child_On_Screen(1920, 1080)) Watch_The_Show(TSize(1920, 1080));
}
