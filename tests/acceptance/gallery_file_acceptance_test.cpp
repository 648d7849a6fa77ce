// A gallery file the person may read but not write, as a person meets it on
// a virtual X server at 1024 x 768 and at 1920 x 1080: the person is told
// why changes cannot be saved, the gallery shows the drawing, and the file
// is left exactly as it was.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "gallery/gallery_file.h"
#include "gallery/gallery_window.h"
#include "platform/gdi/png_writer.h"
#include "tests/acceptance/acceptance_support.h"
#include "tests/acceptance/x_screen.h"
#include "tests/program/program_session.h"
#include "toolkit/round_button.h"

namespace {

struct Gallery_Layout_Points {
  TPoint gallery, cancel;
};

Gallery_Layout_Points Measure(int width, int height) {
  Program_Options options;
  options.screen = TSize(width, height);
  Program_Session program(options);
  program.Start();
  Gallery_Layout_Points points;
  points.gallery = Program_Session::Center_Of(program.Main()->gallery_button);
  Gallery_Window& gallery = *program.Frame()->Gallery;
  points.cancel = Program_Session::Center_Of(gallery.ChildWithId(Gallery_Window::Cancel_Id));
  return points;
}

// One 8 by 8 drawing of two colours in cell (0, 0), and the end marker.
std::string One_Drawing_Gallery() {
  const uint32_t side = 8, length = Gallery_File::Header_Size + 16 + side * side;
  std::vector<uint8_t> bytes(length + Gallery_File::End_Size, 0);
  Gallery_File::Write_Header(bytes.data(), length, 0, 0);
  uint8_t* picture = bytes.data() + Gallery_File::Header_Size;
  Gallery_File::Write_U32(picture, side);
  Gallery_File::Write_U32(picture + 4, side);
  Gallery_File::Write_U32(picture + 8, 0xFFFFFF);
  for (uint32_t i = 0; i < side * side; ++i) picture[16 + i] = uint8_t((i / side + i % side) % 2 ? 20 : 200);
  return std::string(bytes.begin(), bytes.end());
}

void Open_A_Read_Only_Gallery(int width, int height) {
  const char* snapshots = std::getenv("QUENDAR_SNAPSHOTS");
  const std::string shots = (snapshots && *snapshots ? snapshots : "acceptance_screenshots") +
                            std::string("/read_only_gallery_") + std::to_string(width) + "x" + std::to_string(height);
  std::filesystem::create_directories(shots);
  const Gallery_Layout_Points points = Measure(width, height);

  char pattern[] = "/tmp/quendar-acceptance-XXXXXX";
  const std::string folder = mkdtemp(pattern);
  // The program keeps its users' files under XDG_DATA_HOME, which the
  // running program has in the folder.
  const std::string gallery = folder + "/data/Quendar/Anonymous.gal";
  std::filesystem::create_directories(std::filesystem::path(gallery).parent_path());
  const std::string bytes = One_Drawing_Gallery();
  std::ofstream(gallery, std::ios::binary) << bytes;
  chmod(gallery.c_str(), 0444);

  X_Screen screen;
  ASSERT_TRUE(screen.Open()) << "no display";
  Running_Program program(folder, TSize(width, height));
  ASSERT_TRUE(program.Started());
  auto grab = [&] { return screen.Pixels(width, height); };
  auto shot = [&](const std::string& name) {
    std::vector<uint32_t> pixels = grab();
    EXPECT_TRUE(!pixels.empty() && Write_PNG_RGB(shots + "/" + name + ".png", width, height, pixels.data(), width));
    return pixels;
  };
  // The gallery's store is made with the program: the person is told at
  // start, before the help a new user is greeted with.
  ASSERT_FALSE(Wait_Until_Still(grab).empty()) << "the screen never settled";
  const std::vector<uint32_t> told = shot("01_read_only_told");
  Xdotool("key Return");
  ASSERT_FALSE(Changed_And_Settled(grab, told).empty()) << "the box did not go";
  const std::vector<uint32_t> greeted = shot("02_help_at_start");
  // The box stands at the screen's centre, over the help's white page.
  const size_t centre = size_t(height / 2) * size_t(width) + size_t(width / 2);
  ASSERT_FALSE(told.empty() || greeted.empty());
  EXPECT_NE(told[centre], greeted[centre]);
  Click(TPoint(width - 6, height - 6));
  ASSERT_FALSE(Changed_And_Settled(grab, greeted).empty()) << "help did not close";
  const std::vector<uint32_t> main = shot("03_main_window");
  Click(points.gallery);
  Changed_And_Settled(grab, main);
  const std::vector<uint32_t> shown = shot("04_drawing_shown");
  EXPECT_NE(shown, main);
  Click(points.cancel);
  Changed_And_Settled(grab, shown);
  EXPECT_NE(shot("05_gallery_left"), shown);
  std::ifstream in(gallery, std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), bytes);
  struct stat info;
  ASSERT_EQ(stat(gallery.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0444u);
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
}

}  // namespace

TEST(Gallery_File_Acceptance, A_Read_Only_Gallery_At_1024x768) {
  if (In_Child_On_Screen(1024, 768)) Open_A_Read_Only_Gallery(1024, 768);
}

TEST(Gallery_File_Acceptance, A_Read_Only_Gallery_At_1920x1080) {
  if (In_Child_On_Screen(1920, 1080)) Open_A_Read_Only_Gallery(1920, 1080);
}
