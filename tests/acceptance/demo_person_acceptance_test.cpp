// A demonstration that plays as user "Demo", started by a person with work
// not yet saved, on a virtual X server: the person is asked about their
// manipulators before it takes over, Ctrl+Esc in the middle makes them
// current again at once (and help answers the next click), and a program
// killed while "Demo" plays starts again as the person.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "help/help_section.h"
#include "help/help_window.h"
#include "manipulators/shape_transform_window.h"
#include "manipulators/transform_edit_window.h"
#include "manipulators/transform_palette.h"
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

const char* const Person = "Ann";
constexpr int32_t Person_Level = 4;  // level 5: manipulators and cycles of her own

struct Layout {
  TPoint help, close_box;
  TPoint demonstrations_link;
  TPoint show[6];
  TPoint new_button, editor_add, editor_ok;
};

TPoint Centre(const TRect& r) { return TPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2); }

Layout Measure_Layout(TSize screen) {
  Program_Options options;
  options.screen = screen;
  Program_Session program(options);
  program.Start();
  program.Change_User(Person, Person_Level);
  IFS_Main_Window& main = *program.Main();
  Layout l;
  l.close_box = TPoint(screen.cx - 10, 10);
  l.help = Program_Session::Center_Of(main.help_button);
  const Help_Section& help = The_Help_Window->Section(0);
  for (const Help_Link& link : help.Page(0)->links)
    if (link.page == -2) l.demonstrations_link = Centre(link.rect);
  for (const Help_Link& link : help.Page(-2)->links)
    if (link.demonstration >= 0 && link.demonstration < 6) l.show[link.demonstration] = Centre(link.rect);
  l.new_button = main.manipulator_palette->Window()->New_Button_Screen_Point();
  l.editor_add = main.editor->Corner_Screen_Point(0);
  l.editor_ok = main.editor->Corner_Screen_Point(3);
  EXPECT_EQ(program.Stop(), 0);
  return l;
}

// The current user as the next start reads the user file.
std::string Current_In_File(const std::string& data) {
  GUI_Colors colors;
  The_User_Data.directory = data;
  User_Database db;
  return db.current_user->name;
}

bool Caption_Shows(const std::string& text) {
  return std::system(("xdotool search --name '" + text + "' >/dev/null 2>&1").c_str()) == 0;
}

// Gives up after ms in which the screen did not change and the program did
// no work.
bool Wait_For_Caption(const std::string& text, int ms) {
  return Wait_While_Progressing([&] { return Caption_Shows(text); }, Program_Progress, {ms, Patience().cap_ms}, 250);
}

// Waits until a demonstration that has taken over is seen playing: the
// screen shows a frame other than the one it showed first.
void Wait_Until_Played_On(const std::function<std::vector<uint32_t>()>& grab) {
  const std::vector<uint32_t> first = grab();
  EXPECT_TRUE(Wait_While_Progressing([&] { return grab() != first; })) << "the demonstration did not play on";
}

// The pixels of a band round the Show links' middles: help's page there
// differs from what the main window shows under it.
std::vector<uint32_t> Round_The_Links(const std::vector<uint32_t>& pixels, TSize screen, const Layout& l) {
  TRect band(l.show[0].x, l.show[0].y, l.show[0].x, l.show[0].y);
  for (const TPoint& p : l.show) band = band.Union(TRect(p.x - 8, p.y - 8, p.x + 8, p.y + 8));
  std::vector<uint32_t> out;
  for (int y = band.top; y < band.bottom; ++y)
    for (int x = band.left; x < band.right; ++x)
      if (const size_t i = size_t(y) * size_t(screen.cx) + size_t(x); i < pixels.size()) out.push_back(pixels[i]);
  return out;
}

int Differences(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
  int n = 0;
  for (size_t i = 0; i < a.size() && i < b.size(); ++i) n += a[i] != b[i];
  return n;
}

void Play(TSize screen) {
  const char* snapshots = std::getenv("QUENDAR_SNAPSHOTS");
  const std::string shots = (snapshots && *snapshots ? snapshots : "acceptance_screenshots") + std::string("/") +
                            testing::UnitTest::GetInstance()->current_test_info()->name();
  std::filesystem::create_directories(shots);
  const Layout layout = Measure_Layout(screen);
  char pattern[] = "/tmp/quendar-demo-person-XXXXXX";
  const std::string folder = mkdtemp(pattern);
  const std::string data = folder + "/data/Quendar/";
  Write_Listed_Person(data, Person, Person_Level);
  User ann(Person_Level, Person);
  const std::string manipulators = ann.File_Path("man", Person_Level);
  X_Screen x;
  ASSERT_TRUE(x.Open()) << "no display";
  auto grab = [&] { return x.Pixels(screen.cx, screen.cy); };
  auto shot = [&](const std::string& name) {
    std::vector<uint32_t> pixels = grab();
    EXPECT_TRUE(!pixels.empty() && Write_PNG_RGB(shots + "/" + name + ".png", screen.cx, screen.cy, pixels.data(), screen.cx));
    return pixels;
  };
  const std::vector<std::string> fast = {"QUENDAR_CLOCK_RATE=8"};
  {
    Running_Program program(folder, screen, fast);
    ASSERT_TRUE(program.Started());
    ASSERT_FALSE(Wait_Until_Still(grab).empty()) << "the screen never settled";
    EXPECT_TRUE(Caption_Shows("Ann at Level 5"));
    // A new manipulator of one copy, kept with OK: the palette holds
    // unsaved work.
    auto click_and_settle = [&](TPoint p, const char* what) {
      const std::vector<uint32_t> before = grab();
      Click(p);
      EXPECT_FALSE(Changed_And_Settled(grab, before).empty()) << what;
    };
    click_and_settle(layout.new_button, "the editor did not open");
    click_and_settle(layout.editor_add, "the editor did not add a copy");
    shot("01_editor");
    click_and_settle(layout.editor_ok, "the editor did not close");
    ASSERT_FALSE(std::filesystem::exists(manipulators));
    Open_Demonstrations(layout.help, layout.demonstrations_link);
    const std::vector<uint32_t> page = grab();
    click_and_settle(layout.show[5], "nothing answered the Show link");
    // Asked before the demonstration takes over; Enter answers Yes.
    shot("02_question");
    EXPECT_FALSE(Caption_Shows("CTRL-ESC")) << "the demonstration took over before asking";
    Xdotool("key Return");
    Wait_While_Progressing([&] { return std::filesystem::exists(manipulators); });
    EXPECT_TRUE(std::filesystem::exists(manipulators)) << "Yes did not save Ann's manipulators";
    ASSERT_TRUE(Wait_For_Caption("Demo at Level 4", 30000)) << "the demonstration never became Demo";
    Wait_Until_Played_On(grab);
    shot("03_as_demo");
    Xdotool("key ctrl+Escape");
    // The caption names Ann before the hint goes: the stop is over when
    // both are so and the program has settled (and no longer writes the
    // user file this test reads).
    Wait_While_Progressing([] { return Caption_Shows("Ann at Level 5") && !Caption_Shows("CTRL-ESC"); });
    ASSERT_FALSE(Settle(grab).empty()) << "the screen never settled after the stop";
    EXPECT_TRUE(Caption_Shows("Ann at Level 5")) << "Ann is not current after the stop";
    EXPECT_FALSE(Caption_Shows("CTRL-ESC"));
    EXPECT_EQ(Current_In_File(data), Person);
    const std::vector<uint32_t> stopped = shot("04_person_back");
    // A demonstration that plays to its end makes Ann current too, but
    // brings help back.
    EXPECT_NE(Round_The_Links(stopped, screen, layout), Round_The_Links(page, screen, layout))
        << "help is back: it played to its end, Ctrl+Esc did not stop it";
    // The first click on Help opens help.
    Click(layout.help);
    Wait_While_Progressing([&] { return Differences(grab(), stopped) > 1000; });
    Settle(grab);
    EXPECT_GT(Differences(grab(), stopped), 1000) << "help did not open at the first click";
    shot("05_help_after_stop");
    const std::vector<uint32_t> help = grab();
    Xdotool("key Escape");
    EXPECT_FALSE(Changed_And_Settled(grab, help).empty()) << "help did not close";
    Click(layout.close_box);
    EXPECT_EQ(program.Wait_For_Exit(15000), 0) << "the program did not end when closed";
  }
  EXPECT_EQ(Current_In_File(data), Person);
  {
    // Started again as Ann; killed while "Demo" plays the pattern passes.
    auto program = std::make_unique<Running_Program>(folder, screen, fast);
    ASSERT_TRUE(program->Started());
    ASSERT_FALSE(Wait_Until_Still(grab).empty()) << "the screen never settled";
    EXPECT_TRUE(Caption_Shows("Ann at Level 5"));
    Open_Demonstrations(layout.help, layout.demonstrations_link);
    Click(layout.show[4]);
    ASSERT_TRUE(Wait_For_Caption("Demo at Level 1", 30000)) << "the demonstration never became Demo";
    Wait_Until_Played_On(grab);
    shot("06_before_kill");
    program.reset();
  }
  EXPECT_EQ(Current_In_File(data), Person);
  std::filesystem::remove_all(folder);
}

}  // namespace

TEST(Demo_Person_Acceptance, Stopped_Or_Killed_The_Person_Is_Current_Again_1024x768) {
  if (In_Child_On_Screen(1024, 768)) Play(TSize(1024, 768));
}

TEST(Demo_Person_Acceptance, Stopped_Or_Killed_The_Person_Is_Current_Again_1920x1080) {
  if (In_Child_On_Screen(1920, 1080)) Play(TSize(1920, 1080));
}
