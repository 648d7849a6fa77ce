// The demonstrations as a person starts them: the built program on a
// virtual X server at 1024 x 768, help opened, the Demonstrations page
// turned to and a "Show" link clicked; the demonstration plays at real
// speed until help comes back. Each demonstration is a test of its own, so
// CTest runs them side by side on displays of their own. Afterwards the
// user data folder must hold what the demonstration leaves behind, and the
// person's own user must be as it was.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
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

constexpr int Width = 1024, Height = 768;

// The demonstrations' numbers on the help page, in the order of its links.
enum Demonstration {
  Easy_Game = 0,
  Harder_Game = 1,
  Color_Mixing = 2,
  Single_Level_Pattern = 3,
  Multi_Level_Pattern = 4,
  Manipulator = 5
};

// The person whose program it is: listed, current, at level 2 with some
// points from earlier games.
const char* const Person = "Ann";
constexpr int32_t Person_Level = 1;
constexpr int32_t Person_Points = 7;

// Where the things the test clicks stand, measured headless on the same
// screen size.
struct Layout {
  TPoint help, close_box{Width - 10, 10};
  TPoint demonstrations_link;  // on the index of the main window's help
  TPoint show[6];              // the Demonstrations page's "Show" links
  TRect links_area;            // around all of them
  TRect drawing_area;          // the drawing's unit square
};

TPoint Centre(const TRect& r) { return TPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2); }

Layout Measure_Layout() {
  Program_Options options;
  options.screen = TSize(Width, Height);
  Program_Session program(options);
  program.Start();
  Layout l;
  l.help = Program_Session::Center_Of(program.Main()->help_button);
  // The help window covers the screen from its corner: its client points
  // are screen points.
  const Help_Section& help = The_Help_Window->Section(0);
  for (const Help_Link& link : help.Page(0)->links)
    if (link.page == -2) l.demonstrations_link = Centre(link.rect);
  bool first = true;
  for (const Help_Link& link : help.Page(-2)->links) {
    if (link.demonstration < 0 || link.demonstration >= 6) continue;
    l.show[link.demonstration] = Centre(link.rect);
    l.links_area = first ? link.rect : l.links_area.Union(link.rect);
    first = false;
  }
  Drawing_Window& drawing = *program.Main()->drawing_window;
  const TPoint low = drawing.Screen_Point(Point_2D(0, 0)), high = drawing.Screen_Point(Point_2D(1, 1));
  l.drawing_area = TRect(std::min(low.x, high.x), std::min(low.y, high.y), std::max(low.x, high.x), std::max(low.y, high.y));
  EXPECT_EQ(program.Stop(), 0);
  return l;
}

// The caption names the way to stop a demonstration while one plays.
bool Caption_Has_Stop_Hint() { return std::system("xdotool search --name 'Press CTRL-ESC' >/dev/null 2>&1") == 0; }

std::vector<uint32_t> Crop(const std::vector<uint32_t>& p, const TRect& r) {
  std::vector<uint32_t> out;
  for (int y = r.top; y < r.bottom; ++y) out.insert(out.end(), p.begin() + y * Width + r.left, p.begin() + y * Width + r.right);
  return out;
}

int Differences(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
  int n = 0;
  for (size_t i = 0; i < a.size() && i < b.size(); ++i) n += a[i] != b[i];
  return n;
}

// Greys that are neither near white nor near black: the colour mixed from
// the mixer's white and black.
bool Mid_Grey(uint32_t rgb) {
  const uint32_t r = (rgb >> 16) & 0xFF, g = (rgb >> 8) & 0xFF, b = rgb & 0xFF;
  return r == g && g == b && r > 64 && r < 192;
}

bool Contains_Ignoring_Case(std::string text, std::string what) {
  for (char& c : text) c = char(std::tolower(static_cast<unsigned char>(c)));
  for (char& c : what) c = char(std::tolower(static_cast<unsigned char>(c)));
  return text.find(what) != std::string::npos;
}

std::string Read_All(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The files in the user data folder whose names start as the person's do.
std::vector<std::string> Person_Files(const std::string& data) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(data)) {
    const std::string name = entry.path().filename().string();
    if (name.rfind(Person, 0) == 0) names.push_back(name);
  }
  return names;
}

// Plays demonstration d from its "Show" link with the program's clock at
// rate times the wall's; with stop_after_ms > 0 (wall time) it is stopped
// with Ctrl+Esc that long after it started, otherwise it plays to its end,
// which is over when help comes back.
void Play(Demonstration d, int stop_after_ms, int rate = 1) {
  const char* snapshots = std::getenv("QUENDAR_SNAPSHOTS");
  const std::string shots = (snapshots && *snapshots ? snapshots : "acceptance_screenshots") + std::string("/") +
                            testing::UnitTest::GetInstance()->current_test_info()->name();
  std::filesystem::create_directories(shots);
  const Layout layout = Measure_Layout();

  char pattern[] = "/tmp/quendar-demonstration-XXXXXX";
  const std::string folder = mkdtemp(pattern);
  const std::string data = folder + "/data/Quendar/";
  Write_Listed_Person(data, Person, Person_Level, Person_Points);
  X_Screen screen;
  ASSERT_TRUE(screen.Open()) << "no display";
  Running_Program program(folder, TSize(Width, Height), {"QUENDAR_CLOCK_RATE=" + std::to_string(rate)});
  ASSERT_TRUE(program.Started());
  auto grab = [&] { return screen.Pixels(Width, Height); };
  auto shot = [&](const std::string& name) {
    std::vector<uint32_t> pixels = grab();
    EXPECT_TRUE(!pixels.empty() && Write_PNG_RGB(shots + "/" + name + ".png", Width, Height, pixels.data(), Width));
    return pixels;
  };
  // Start-up is over when the screen has stayed the same for 2.5 s.
  ASSERT_FALSE(Wait_Until_Still(grab).empty()) << "the screen never settled";
  const std::vector<uint32_t> started = shot("01_started");

  // Help, its index, the Demonstrations page.
  Open_Demonstrations(layout.help, layout.demonstrations_link);
  const std::vector<uint32_t> page = shot("02_demonstrations_page");
  const std::vector<uint32_t> links = Crop(page, layout.links_area);
  EXPECT_GT(Differences(links, Crop(started, layout.links_area)), 100) << "the Demonstrations page did not show";

  Click(layout.show[d]);
  bool hinted = false;
  Wait_While_Progressing([&] { return hinted = Caption_Has_Stop_Hint(); });
  EXPECT_TRUE(hinted) << "no demonstration started";
  shot("03_playing");
  if (stop_after_ms > 0) {
    // Seen playing, then let play a while: where the stop finds it does
    // not matter, only that it stops there.
    const std::vector<uint32_t> first = grab();
    EXPECT_TRUE(Wait_While_Progressing([&] { return grab() != first; })) << "the demonstration did not play on";
    Sleep_Ms(stop_after_ms);
    const std::vector<uint32_t> before_stop = shot("04_before_ctrl_esc");
    EXPECT_TRUE(Caption_Has_Stop_Hint()) << "ended before the stop";
    Xdotool("key ctrl+Escape");
    Wait_While_Progressing([] { return !Caption_Has_Stop_Hint(); });
    EXPECT_FALSE(Caption_Has_Stop_Hint()) << "Ctrl+Esc did not stop it";
    // Nothing plays on: the screen settles as the stop left it and stays.
    ASSERT_FALSE(Settle(grab).empty()) << "the demonstration went on";
    const std::vector<uint32_t> stopped = shot("05_stopped");
    // A demonstration that plays to its end takes the hint away too, but
    // brings help back.
    EXPECT_NE(Crop(stopped, layout.links_area), links) << "help is back: it played to its end, Ctrl+Esc did not stop it";
    const std::vector<uint32_t> later = Settle(grab);
    EXPECT_FALSE(later.empty()) << "the demonstration went on";
    EXPECT_EQ(Differences(later, stopped), 0) << "the demonstration went on";
    // The program still answers the person: help opens over it.
    Click(layout.help);
    Wait_While_Progressing([&] { return Differences(grab(), stopped) > 1000; });
    Settle(grab);
    EXPECT_GT(Differences(grab(), stopped), 1000) << "help did not open after the stop";
    shot("06_help_after_stop");
  } else {
    // Played to its end: the hint goes and the help page comes back. The
    // wait goes on while the program plays (a loaded machine plays slowly),
    // ten minutes at most.
    const auto start = std::chrono::steady_clock::now();
    int next_shot_s = 15;
    const bool back = Wait_While_Progressing([&] {
      if (!Caption_Has_Stop_Hint() && Crop(grab(), layout.links_area) == links) return true;
      // A screenshot every 15 s shows how far it got.
      const auto played_s = std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - start).count();
      if (played_s >= next_shot_s) {
        shot("03_playing_" + std::to_string(next_shot_s) + "s");
        next_shot_s += 15;
      }
      return false;
    }, Program_Progress, Patience{30000, 600000}, 500);
    EXPECT_TRUE(back) << "the demonstration did not end";
    shot("04_help_back");
  }
  // Help closed, the main window shows what the demonstration left.
  const std::vector<uint32_t> help = grab();
  Xdotool("key Escape");
  EXPECT_FALSE(Changed_And_Settled(grab, help).empty()) << "help did not close";
  const std::vector<uint32_t> left = shot("07_left_behind");
  const std::vector<uint32_t> drawing = Crop(left, layout.drawing_area);
  if (d == Color_Mixing && stop_after_ms == 0) {
    const auto grey = std::count_if(drawing.begin(), drawing.end(), Mid_Grey);
    EXPECT_GT(grey, int64_t(drawing.size() / 4)) << "no mixed grey in the drawing";
  }
  if (d == Single_Level_Pattern) {
    EXPECT_GT(Differences(drawing, Crop(started, layout.drawing_area)), int(drawing.size() / 10)) << "no pattern left";
  }
  Click(layout.close_box);
  EXPECT_EQ(program.Wait_For_Exit(15000), 0) << "the program did not end when closed";

  // The person's entry as it was, current again; the game gave no points.
  {
    GUI_Colors colors;
    The_User_Data.directory = data;
    User_Database db;
    const int32_t person = db.Find_User(Person);
    ASSERT_GE(person, 0);
    EXPECT_EQ(db.At(person)->level, Person_Level);
    EXPECT_EQ(db.At(person)->points, Person_Points);
    EXPECT_EQ(db.current_user->name, Person);
    EXPECT_EQ(Person_Files(data), std::vector<std::string>()) << "the person's files were touched";
    // What user "Demo" keeps: the drawings the passes stored in the
    // gallery. The manipulator the demonstration made at level 4 goes with
    // the change back to the person: nobody is asked during a
    // demonstration, and nothing is saved unasked.
    const int32_t demo = db.Find_User("Demo");
    if (d == Multi_Level_Pattern || d == Manipulator) {
      ASSERT_GE(demo, 0) << "no user Demo";
    }
    if (d == Multi_Level_Pattern) {
      const std::string gallery = db.At(demo)->File_Path("gal");
      EXPECT_TRUE(std::filesystem::exists(gallery) && std::filesystem::file_size(gallery) > 0) << "no drawings in Demo's gallery";
    }
    if (d == Manipulator) {
      EXPECT_EQ(db.At(demo)->name, "Demo") << "typed as written";
      EXPECT_FALSE(Contains_Ignoring_Case(Read_All(db.At(demo)->File_Path("man", 3)), "Demo Manipulator"));
    }
  }
  std::filesystem::remove_all(folder);
}

}  // namespace

TEST(Demonstration_Acceptance, Easy_Game_Plays_To_Its_End) {
  if (In_Child_On_Screen(Width, Height)) Play(Easy_Game, 0);
}

TEST(Demonstration_Acceptance, Harder_Game_Plays_To_Its_End) {
  if (In_Child_On_Screen(Width, Height)) Play(Harder_Game, 0);
}

TEST(Demonstration_Acceptance, Color_Mixing_Plays_To_Its_End) {
  if (In_Child_On_Screen(Width, Height)) Play(Color_Mixing, 0);
}

// The longer ones on a clock sped up, each still within about two minutes.
TEST(Demonstration_Acceptance, Single_Level_Pattern_Plays_To_Its_End) {
  if (In_Child_On_Screen(Width, Height)) Play(Single_Level_Pattern, 0, 4);
}

TEST(Demonstration_Acceptance, Manipulator_Plays_To_Its_End) {
  if (In_Child_On_Screen(Width, Height)) Play(Manipulator, 0, 4);
}

TEST(Demonstration_Acceptance, Multi_Level_Pattern_Plays_To_Its_End) {
  if (In_Child_On_Screen(Width, Height)) Play(Multi_Level_Pattern, 0, 8);
}

// Ctrl+Esc in the middle stops it at once.
TEST(Demonstration_Acceptance, Color_Mixing_Stopped_With_Ctrl_Esc) {
  if (In_Child_On_Screen(Width, Height)) Play(Color_Mixing, 20000);
}
