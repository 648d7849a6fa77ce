// A start on a full disk, on a real display: the general warning that the
// disk is nearly full comes first, over the painted main window, and only
// then the user file that could not be written.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/gdi/png_writer.h"
#include "platform/window/control_paint.h"
#include "platform/window/message_box.h"
#include "tests/acceptance/acceptance_support.h"
#include "tests/acceptance/x_screen.h"
#include "tests/platform/system/small_disk.h"
#include "tests/program/program_session.h"

namespace {

const TSize Screen_Size(1024, 768);

// Where a box with that text stands on the screen, measured headless; with
// close_box, where the frame's close box stands.
TRect Box_Place(const std::string& text, const std::string& caption, UINT type, TPoint* close_box = nullptr) {
  Program_Options options;
  options.screen = Screen_Size;
  Program_Session program(options);
  program.Start();
  TMessage_Box box(nullptr, {HWND(), text, caption, type});
  box.Create();
  const TRect place = box.GetWindowRect();
  box.Destroy();
  if (close_box) {
    const TRect r = program.Frame()->Close_Box_Rect();
    *close_box = TPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  }
  EXPECT_EQ(program.Stop(), 0);
  return place;
}

uint32_t Pixel(const std::vector<uint32_t>& pixels, TPoint p) {
  const size_t at = size_t(p.y) * size_t(Screen_Size.cx) + size_t(p.x);
  return at < pixels.size() ? pixels[at] & 0xFFFFFF : 0;
}

void Full_Disk_Warning_First() {
  if (geteuid() != 0) GTEST_SKIP() << Small_Disk::Why_Skipped;
  char pattern[] = "/tmp/quendar-full-start-XXXXXX";
  const std::string folder = mkdtemp(pattern);
  const std::string data = folder + "/data/Quendar";
  {
    Small_Disk disk(data, "64k");
    ASSERT_TRUE(disk.mounted) << "no small file system could be mounted here";
    // At level 4 without manipulators of her own, building the panels saves
    // the user file.
    Write_Listed_Person(data + "/", "Ann", 3);
    disk.Fill();
    TPoint close_box;
    const TRect general = Box_Place("Volume (" + data + "/) has less than 10 MBytes free.\nSome program features may "
                                    "be unable to operate.", "Warning", MB_OK | MB_ICONEXCLAMATION, &close_box);
    const TRect user_file = Box_Place("Unable to write file " + data + "/quendar.usr\nThe disk is full: the changes to "
                                      "the users are not saved.", "WARNING", MB_OK | MB_ICONSTOP);
    ASSERT_NE(general.left, user_file.left) << "the two boxes cannot be told apart";
    const char* snapshots = std::getenv("QUENDAR_SNAPSHOTS");
    const std::string shots = (snapshots && *snapshots ? snapshots : "acceptance_screenshots") + std::string("/full_start");
    std::filesystem::create_directories(shots);

    X_Screen screen;
    ASSERT_TRUE(screen.Open()) << "no display";
    auto grab = [&] { return screen.Pixels(Screen_Size.cx, Screen_Size.cy); };
    auto settled = [&](const std::string& name) {
      std::vector<uint32_t> pixels = Wait_Until_Still(grab);
      EXPECT_FALSE(pixels.empty()) << "the screen never settled before " << name;
      EXPECT_TRUE(Write_PNG_RGB(shots + "/" + name + ".png", Screen_Size.cx, Screen_Size.cy, pixels.data(),
                                Screen_Size.cx));
      return pixels;
    };
    // The box on the screen is the one whose caption bar is nearer its width
    // (the fonts may measure a few pixels apart headless).
    auto caption_at = [&](const std::vector<uint32_t>& pixels, const TRect& box) {
      const int y = box.top + 6;
      int first = -1, last = -1;
      for (int x = 0; x < Screen_Size.cx; ++x)
        if (Pixel(pixels, TPoint(x, y)) == Control_Paint::Active_Caption.Xrgb()) (first < 0 ? first : last) = x;
      const int width = last - first;
      const TRect& other = &box == &general ? user_file : general;
      return width > 0 && std::abs(width - box.Width()) < std::abs(width - other.Width());
    };
    Running_Program program(folder, Screen_Size);
    ASSERT_TRUE(program.Started());
    const std::vector<uint32_t> first = settled("01_first_box");
    EXPECT_TRUE(caption_at(first, general)) << "the first box is not the general warning";
    EXPECT_FALSE(caption_at(first, user_file));
    // The caption and the row of buttons at the bottom are painted: a window
    // still being built shows black there.
    for (const int row : {5, Screen_Size.cy - 20}) {
      int black = 0;
      for (int x = 0; x < Screen_Size.cx; ++x) black += Pixel(first, TPoint(x, row)) == 0;
      EXPECT_LT(black, Screen_Size.cx / 10) << "the box stands over a window not yet painted (row " << row << ")";
    }
    Xdotool("key Return");
    const std::vector<uint32_t> second = settled("02_second_box");
    EXPECT_TRUE(caption_at(second, user_file)) << "the user file's box did not follow";
    Xdotool("key Return");
    settled("03_answered");
    Click(close_box);
    EXPECT_EQ(program.Wait_For_Exit(15000), 0) << "the program did not end when closed";
  }
  std::filesystem::remove_all(folder);
}

}  // namespace

TEST(Start_Up_Full_Disk_Acceptance, The_General_Warning_Comes_First_Over_The_Painted_Window) {
  if (In_Child_On_Screen(Screen_Size.cx, Screen_Size.cy)) Full_Disk_Warning_First();
}
