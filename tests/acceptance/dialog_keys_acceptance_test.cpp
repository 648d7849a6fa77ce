// The keyboard on a real display: the start-up warning answered by Return
// before help opens, the acknowledgements chosen from the system menu by
// its access key, the Name and Level dialog finished without the mouse
// after a box it showed, and the box that refuses a display of too few
// colours, readable and answered by Return. Screenshots of each step.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/gdi/png_writer.h"
#include "tests/acceptance/acceptance_support.h"
#include "tests/acceptance/x_screen.h"
#include "tests/program/program_session.h"
#include "toolkit/round_button.h"

namespace {

struct Screen_Run {
  int width, height;
  std::string shots;
  X_Screen screen;

  Screen_Run(int w, int h, const std::string& name) : width(w), height(h) {
    const char* snapshots = std::getenv("QUENDAR_SNAPSHOTS");
    shots = (snapshots && *snapshots ? snapshots : "acceptance_screenshots") + std::string("/") + name + "/" +
            std::to_string(w) + "x" + std::to_string(h);
    std::filesystem::create_directories(shots);
  }
  std::vector<uint32_t> Grab() const { return screen.Pixels(width, height); }
  std::vector<uint32_t> Shot(const std::string& name) const {
    std::vector<uint32_t> pixels = Grab();
    EXPECT_FALSE(pixels.empty());
    EXPECT_TRUE(pixels.empty() || Write_PNG_RGB(shots + "/" + name + ".png", width, height, pixels.data(), width));
    return pixels;
  }
  std::vector<uint32_t> Settled(const std::string& name) const {
    EXPECT_FALSE(Wait_Until_Still([this] { return Grab(); }).empty()) << name << ": the screen never settled";
    return Shot(name);
  }
  std::vector<uint32_t> Crop(const std::vector<uint32_t>& p, const TRect& r) const {
    std::vector<uint32_t> out;
    for (int y = r.top; y < r.bottom; ++y)
      out.insert(out.end(), p.begin() + y * width + r.left, p.begin() + y * width + r.right);
    return out;
  }
};

std::string New_Folder() {
  char pattern[] = "/tmp/quendar-dialog-keys-XXXXXX";
  return mkdtemp(pattern);
}

void Keys_Without_The_Mouse(int width, int height) {
  // Where the Name and Level button stands, from the same layout headless.
  TPoint name_button;
  {
    Program_Options options;
    options.screen = TSize(width, height);
    Program_Session program(options);
    program.Start();
    name_button = Program_Session::Center_Of(program.Main()->name_button);
  }
  Screen_Run run(width, height, "dialog_keys");
  ASSERT_TRUE(run.screen.Open()) << "no display";
  const std::string folder = New_Folder();
  // A user data folder the settings file names and nobody can write.
  std::filesystem::create_directories(folder + "/config/quendar");
  std::ofstream(folder + "/config/quendar/settings") << "UserPath=/proc\n";
  Running_Program program(folder, TSize(width, height));
  ASSERT_TRUE(program.Started());

  // The title comes and goes under the warning; help waits for its answer.
  // (/proc has no free space either: a second warning follows.)
  const std::vector<uint32_t> warned = run.Settled("01_warning_until_answered");
  Xdotool("key Return");
  const std::vector<uint32_t> second = run.Settled("02_second_warning");
  EXPECT_NE(second, warned);
  Xdotool("key Return");
  const std::vector<uint32_t> greeted = run.Settled("02b_help_after_the_warnings");
  EXPECT_NE(greeted, second);
  Xdotool("key Escape");
  const std::vector<uint32_t> main_window = run.Settled("03_main_window");
  EXPECT_NE(main_window, greeted);

  // The system menu from the keyboard, and its access key.
  const TRect under_menu(0, 24, 220, 160);
  Xdotool("key alt+space");
  const std::vector<uint32_t> menu = run.Settled("04_system_menu");
  EXPECT_NE(run.Crop(menu, under_menu), run.Crop(main_window, under_menu));
  Xdotool("key a");
  const std::vector<uint32_t> thanks = run.Settled("05_acknowledgements");
  EXPECT_EQ(run.Crop(thanks, under_menu), run.Crop(main_window, under_menu)) << "the menu stayed on the screen";
  Xdotool("key Return");
  run.Settled("06_acknowledgements_closed");

  // The Name and Level dialog: a name typed, a box answered, and the keys
  // still work after it; Tab to OK and Return finish it.
  Click(name_button);
  run.Settled("07_name_and_level");
  Xdotool("type Bob");
  Xdotool("key Return");
  run.Settled("08_bob_added");
  Xdotool("key Delete");
  run.Settled("09_delete_bob_asked");
  Xdotool("key Tab Return");
  const std::vector<uint32_t> kept = run.Settled("10_bob_kept");
  Xdotool("key 3");
  const std::vector<uint32_t> level_3 = run.Settled("11_level_3_by_its_key");
  EXPECT_NE(level_3, kept) << "the level key did nothing after the box";
  Xdotool("key Tab");
  run.Settled("12_ok_has_the_keyboard");
  Xdotool("key Return");
  run.Settled("13_dialog_finished");
  EXPECT_TRUE(Window_Named("Quendar - Bob at Level 3"));
}

void Low_Colour_Box(int width, int height) {
  Screen_Run run(width, height, "low_colour_box");
  ASSERT_TRUE(run.screen.Open()) << "no display";
  const std::string folder = New_Folder();
  Running_Program program(folder, TSize(width, height));
  ASSERT_TRUE(program.Started());
  const std::vector<uint32_t> box = run.Settled("01_refusal");
  // Black words on white: the box can be read.
  EXPECT_NE(std::find(box.begin(), box.end(), 0xFFFFFFu), box.end());
  EXPECT_TRUE(Window_Named("Quendar Can.t Run"));
  Xdotool("key Return");
  EXPECT_EQ(program.Wait_For_Exit(10000), 1);
  run.Shot("02_answered");
}

}  // namespace

TEST(Dialog_Keys_Acceptance, Keys_Without_The_Mouse_At_1024x768) {
  if (In_Child_On_Screen(1024, 768)) Keys_Without_The_Mouse(1024, 768);
}

TEST(Dialog_Keys_Acceptance, Keys_Without_The_Mouse_At_1920x1080) {
  if (In_Child_On_Screen(1920, 1080)) Keys_Without_The_Mouse(1920, 1080);
}

TEST(Dialog_Keys_Acceptance, A_Display_Of_256_Colours_Is_Refused_Readably_At_1024x768) {
  if (In_Child_On_Screen(1024, 768, 8)) Low_Colour_Box(1024, 768);
}

TEST(Dialog_Keys_Acceptance, A_Display_Of_256_Colours_Is_Refused_Readably_At_1920x1080) {
  if (In_Child_On_Screen(1920, 1080, 8)) Low_Colour_Box(1920, 1080);
}
