// Gallery files as a person meets them on a virtual X server at 1024 x 768
// and at 1920 x 1080. One she may read but not write: she is told why
// changes cannot be saved, the gallery shows the drawing, and the file is
// left exactly as it was. One another program replaces while she works:
// she is told at every Save and at the exit, and nothing is written over it.
// One whose drawing another program changes: the drawing is named, not saved.
// Hers kept aside by a stopped save, read-only, with another file under her
// gallery's name: what she is told works while the program runs, and her
// changes wait for it.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "app/user_dialog.h"
#include "gallery/gallery_window.h"
#include "platform/gdi/png_writer.h"
#include "tests/acceptance/acceptance_support.h"
#include "tests/acceptance/x_screen.h"
#include "tests/program/program_session.h"
#include "toolkit/round_button.h"
#include "users/gallery_file.h"
#include "users/held_gallery_note.h"

namespace {

struct Gallery_Layout_Points {
  TPoint gallery, cancel, save, close_box, name_and_level;
  // The Name and Level dialog's row for a new name.
  TPoint new_name;
  // Cells (0, 0) and (1, 1) of the 3 by 3 view.
  TPoint first_cell, second_cell;
};

Gallery_Layout_Points Measure(int width, int height) {
  Program_Options options;
  options.screen = TSize(width, height);
  Program_Session program(options);
  program.Start();
  Gallery_Layout_Points points;
  points.gallery = Program_Session::Center_Of(program.Main()->gallery_button);
  points.name_and_level = Program_Session::Center_Of(program.Main()->name_button);
  Gallery_Window& gallery = *program.Frame()->Gallery;
  points.cancel = Program_Session::Center_Of(gallery.ChildWithId(Gallery_Window::Cancel_Id));
  points.save = gallery.Save_Button_Screen_Point();
  const TRect close = program.Frame()->Close_Box_Rect();
  points.close_box = TPoint((close.left + close.right) / 2, (close.top + close.bottom) / 2);
  points.first_cell = gallery.Cell_Screen_Point(1, 0, 0);
  points.second_cell = gallery.Cell_Screen_Point(1, 1, 1);
  User_Dialog dialog(program.Frame(), nullptr, program.Frame()->User_Dialog_Place);
  dialog.Create();
  program.Run_Until_Idle();
  points.new_name = dialog.First_Row_Point();
  dialog.Destroy();
  return points;
}

// A drag from cell (0, 0) to cell (1, 1), each step seen done before the
// next, as a hand moves; the screen once it has settled.
std::vector<uint32_t> Drag_First_Cell_To_Second(const Gallery_Layout_Points& points,
                                                const std::function<std::vector<uint32_t>()>& grab) {
  const TPoint from = points.first_cell, to = points.second_cell;
  Xdotool("mousemove " + At(from) + " mousedown 1");
  Settle(grab);
  for (int i = 1; i <= 6; ++i) {
    Xdotool("mousemove " + At(TPoint(from.x + (to.x - from.x) * i / 6, from.y + (to.y - from.y) * i / 6)));
    Settle(grab);
  }
  Xdotool("mouseup 1");
  return Settle(grab);
}

// One 8 by 8 drawing of two colours in cell (0, 0), and the end marker.
std::string One_Drawing_Gallery(uint8_t dark = 20) {
  const uint32_t side = 8, length = Gallery_File::Header_Size + 16 + side * side;
  std::vector<uint8_t> bytes(length + Gallery_File::End_Size, 0);
  Gallery_File::Write_Header(bytes.data(), length, 0, 0);
  uint8_t* picture = bytes.data() + Gallery_File::Header_Size;
  Gallery_File::Write_U32(picture, side);
  Gallery_File::Write_U32(picture + 4, side);
  Gallery_File::Write_U32(picture + 8, 0xFFFFFF);
  for (uint32_t i = 0; i < side * side; ++i) picture[16 + i] = uint8_t((i / side + i % side) % 2 ? dark : 200);
  return std::string(bytes.begin(), bytes.end());
}

std::string Read_All(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string Shots_Folder(const std::string& name, int width, int height) {
  const char* snapshots = std::getenv("QUENDAR_SNAPSHOTS");
  const std::string shots = (snapshots && *snapshots ? snapshots : "acceptance_screenshots") + std::string("/") +
                            name + "_" + std::to_string(width) + "x" + std::to_string(height);
  std::filesystem::create_directories(shots);
  return shots;
}

void Open_A_Read_Only_Gallery(int width, int height) {
  const std::string shots = Shots_Folder("read_only_gallery", width, height);
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

// Another program puts its own gallery under the person's while she
// arranges hers: each Save says that her changes are not saved, the close
// box says that they cannot be kept instead of offering to save them, and
// Cancel keeps the program open. A change to another person offers the
// same choice, and Cancel keeps her as she was, changes and all. Once she
// has moved the other file away, Save writes her gallery and the program
// closes without a question.
void Save_Over_A_Replaced_Gallery(int width, int height) {
  const std::string shots = Shots_Folder("replaced_gallery", width, height);
  const Gallery_Layout_Points points = Measure(width, height);
  char pattern[] = "/tmp/quendar-acceptance-XXXXXX";
  const std::string folder = mkdtemp(pattern);
  const std::string data = folder + "/data/Quendar/";
  Write_Listed_Person(data, "Ann", 1);
  const std::string gallery = data + "Ann.gal", moved_away = folder + "/other.gal";
  std::ofstream(gallery, std::ios::binary) << One_Drawing_Gallery();
  const std::string other = One_Drawing_Gallery(90);
  std::ofstream(folder + "/incoming.gal", std::ios::binary) << other;

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
  std::vector<uint32_t> now = Wait_Until_Still(grab);
  ASSERT_FALSE(now.empty()) << "the screen never settled";
  const auto act = [&](const std::string& xdotool, const char* what) {
    Xdotool(xdotool);
    now = Changed_And_Settled(grab, now);
    EXPECT_FALSE(now.empty()) << what;
  };
  act("mousemove " + At(points.gallery) + " click 1", "the gallery did not open");
  shot("01_gallery");
  std::filesystem::rename(folder + "/incoming.gal", gallery);
  const std::vector<uint32_t> before_drag = now;
  now = Drag_First_Cell_To_Second(points, grab);
  ASSERT_NE(now, before_drag) << "the drawing did not move";
  shot("02_moved");
  for (int save = 1; save <= 2; ++save) {
    act("mousemove " + At(points.save) + " click 1", "Save showed nothing");
    shot("03_save_refused_" + std::to_string(save));
    act("key Return", "the box did not go");
    if (save == 1) act("mousemove " + At(points.gallery) + " click 1", "the gallery did not open again");
  }
  act("mousemove " + At(points.close_box) + " click 1", "the close box showed nothing");
  shot("04_exit_cannot_keep");
  act("key Escape", "Cancel did not close the box");
  EXPECT_EQ(program.Wait_For_Exit(0), -1) << "Cancel did not keep the program open";
  EXPECT_EQ(Read_All(gallery), other);
  // Name and Level, a new person typed in and made current, OK: the box
  // stands over the dialog, and Cancel leaves Ann current with the main
  // window as it was.
  const std::vector<uint32_t> as_ann = now;
  act("mousemove " + At(points.name_and_level) + " click 1", "Name and Level did not open");
  const std::vector<uint32_t> dialog = now;
  act("mousemove " + At(points.new_name) + " click 1", "the new name's field did not open");
  act("type Bea", "the name did not show");
  act("key Return", "Bea was not added");
  Xdotool("key Tab");
  now = Settle(grab);
  act("key Return", "OK showed nothing");
  const std::vector<uint32_t> asked = shot("04b_user_change_cannot_keep");
  const size_t centre = size_t(height / 2) * size_t(width) + size_t(width / 2);
  ASSERT_FALSE(asked.empty() || dialog.empty());
  EXPECT_NE(asked[centre], dialog[centre]) << "no box over the dialog";
  EXPECT_TRUE(Window_Named("Quendar - Ann at Level 2")) << "the change went on before she answered";
  act("key Escape", "Cancel did not close the box");
  shot("04c_still_ann");
  EXPECT_TRUE(Window_Named("Quendar - Ann at Level 2")) << "Cancel changed the person";
  EXPECT_EQ(Pixels_Hash(now), Pixels_Hash(as_ann)) << "the main window is not as it was";
  std::filesystem::rename(gallery, moved_away);
  act("mousemove " + At(points.gallery) + " click 1", "the gallery did not open after the exit box");
  act("mousemove " + At(points.save) + " click 1", "Save did not leave the gallery");
  shot("05_saved");
  Click(points.close_box);
  EXPECT_EQ(program.Wait_For_Exit(15000), 0) << "the program did not end when closed";
  EXPECT_EQ(Read_All(moved_away), other);
  const std::string saved = Read_All(gallery);
  const Gallery_File::Contents contents =
      Gallery_File::Scan(reinterpret_cast<const uint8_t*>(saved.data()), saved.size());
  ASSERT_EQ(contents.records.size(), 1u);
  EXPECT_EQ(contents.records[0].row, 1);
  EXPECT_EQ(contents.records[0].column, 1);
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
}

// Another program changes a pixel of the drawing she sees while she moves
// it: Save says that her changes are not saved; once she has moved that
// file out of the folder, Save names the drawing by the cell she sees it in
// and says it is lost, instead of saving the other program's pixel as hers.
// That program's file is left as it left it.
void Save_After_A_Pixel_Changed(int width, int height) {
  const std::string shots = Shots_Folder("changed_pixel", width, height);
  const Gallery_Layout_Points points = Measure(width, height);
  char pattern[] = "/tmp/quendar-acceptance-XXXXXX";
  const std::string folder = mkdtemp(pattern);
  const std::string data = folder + "/data/Quendar/";
  Write_Listed_Person(data, "Ann", 1);
  const std::string gallery = data + "Ann.gal", moved_away = folder + "/other.gal";
  std::ofstream(gallery, std::ios::binary) << One_Drawing_Gallery();

  X_Screen screen;
  ASSERT_TRUE(screen.Open()) << "no display";
  Running_Program program(folder, TSize(width, height));
  ASSERT_TRUE(program.Started());
  auto grab = [&] { return screen.Pixels(width, height); };
  auto shot = [&](const std::string& name) {
    std::vector<uint32_t> pixels = grab();
    EXPECT_TRUE(!pixels.empty() && Write_PNG_RGB(shots + "/" + name + ".png", width, height, pixels.data(), width));
  };
  std::vector<uint32_t> now = Wait_Until_Still(grab);
  ASSERT_FALSE(now.empty()) << "the screen never settled";
  const auto act = [&](const std::string& xdotool, const char* what) {
    Xdotool(xdotool);
    now = Changed_And_Settled(grab, now);
    EXPECT_FALSE(now.empty()) << what;
  };
  act("mousemove " + At(points.gallery) + " click 1", "the gallery did not open");
  shot("01_gallery");
  {
    std::fstream file(gallery, std::ios::in | std::ios::out | std::ios::binary);
    file.seekp(Gallery_File::Header_Size + 16 + 9);
    file.put(char(99));
  }
  const std::string changed = Read_All(gallery);
  const std::vector<uint32_t> before_drag = now;
  now = Drag_First_Cell_To_Second(points, grab);
  ASSERT_NE(now, before_drag) << "the drawing did not move";
  act("mousemove " + At(points.save) + " click 1", "Save showed nothing");
  shot("02_save_refused");
  act("key Return", "the box did not go");
  act("mousemove " + At(points.gallery) + " click 1", "the gallery did not open again");
  std::filesystem::rename(gallery, moved_away);
  act("mousemove " + At(points.save) + " click 1", "Save showed nothing");
  shot("03_drawing_named");
  act("key Return", "the box did not go");
  Click(points.close_box);
  EXPECT_EQ(program.Wait_For_Exit(15000), 0) << "the program did not end when closed";
  EXPECT_EQ(Read_All(moved_away), changed);
  // Nothing of the other program's pixel is saved as hers.
  const std::string saved = std::filesystem::exists(gallery) ? Read_All(gallery) : std::string();
  EXPECT_TRUE(Gallery_File::Scan(reinterpret_cast<const uint8_t*>(saved.data()), saved.size()).records.empty());
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
}

// Her gallery kept aside by a save that was stopped, made read-only, and
// another program's file under her gallery's name: one box at the start
// says both steps. Her Save keeps her change and says them again, the
// close box offers to stay, and once she has done both while the program
// runs, Save writes her gallery under its name with her change.
void Save_A_Held_Gallery_She_Cannot_Change(int width, int height) {
  const std::string shots = Shots_Folder("held_read_only_gallery", width, height);
  const Gallery_Layout_Points points = Measure(width, height);
  char pattern[] = "/tmp/quendar-acceptance-XXXXXX";
  const std::string folder = mkdtemp(pattern);
  const std::string data = folder + "/data/Quendar/";
  Write_Listed_Person(data, "Ann", 1);
  const std::string gallery = data + "Ann.gal", held = data + ".saving-Ann.gal", moved_away = folder + "/other.gal";
  std::ofstream(held, std::ios::binary) << One_Drawing_Gallery();
  Held_Gallery_Note::File noted;
  ASSERT_TRUE(Held_Gallery_Note::Of_Name(held, noted) && Held_Gallery_Note::Note(held, {noted}));
  ASSERT_EQ(chmod(held.c_str(), 0444), 0);
  const std::string other = "another program's notes";
  std::ofstream(gallery, std::ios::binary) << other;

  X_Screen screen;
  ASSERT_TRUE(screen.Open()) << "no display";
  Running_Program program(folder, TSize(width, height));
  ASSERT_TRUE(program.Started());
  auto grab = [&] { return screen.Pixels(width, height); };
  auto shot = [&](const std::string& name) {
    std::vector<uint32_t> pixels = grab();
    EXPECT_TRUE(!pixels.empty() && Write_PNG_RGB(shots + "/" + name + ".png", width, height, pixels.data(), width));
  };
  std::vector<uint32_t> now = Wait_Until_Still(grab);
  ASSERT_FALSE(now.empty()) << "the screen never settled";
  const auto act = [&](const std::string& xdotool, const char* what) {
    Xdotool(xdotool);
    now = Changed_And_Settled(grab, now);
    EXPECT_FALSE(now.empty()) << what;
  };
  shot("01_held_told");
  act("key Return", "the box at the start did not go");
  act("mousemove " + At(points.gallery) + " click 1", "the gallery did not open");
  shot("02_gallery");
  const std::vector<uint32_t> before_drag = now;
  now = Drag_First_Cell_To_Second(points, grab);
  ASSERT_NE(now, before_drag) << "the drawing did not move";
  act("mousemove " + At(points.save) + " click 1", "Save showed nothing");
  shot("03_save_keeps_changes");
  act("key Return", "the box did not go");
  act("mousemove " + At(points.gallery) + " click 1", "the gallery did not open again");
  const std::vector<uint32_t> kept = now;
  act("mousemove " + At(points.close_box) + " click 1", "the close box showed nothing");
  shot("04_exit_offers_to_stay");
  act("key Escape", "Cancel did not close the box");
  EXPECT_EQ(program.Wait_For_Exit(0), -1) << "Cancel did not keep the program open";
  EXPECT_EQ(Pixels_Hash(now), Pixels_Hash(kept)) << "her gallery is not shown as she left it";
  // She does as the boxes say, with the program running.
  ASSERT_EQ(chmod(held.c_str(), 0644), 0);
  std::filesystem::rename(gallery, moved_away);
  act("mousemove " + At(points.save) + " click 1", "Save did not leave the gallery");
  shot("05_saved");
  Click(points.close_box);
  EXPECT_EQ(program.Wait_For_Exit(15000), 0) << "the program did not end when closed";
  EXPECT_EQ(Read_All(moved_away), other);
  EXPECT_FALSE(std::filesystem::exists(held));
  const std::string saved = Read_All(gallery);
  const Gallery_File::Contents contents =
      Gallery_File::Scan(reinterpret_cast<const uint8_t*>(saved.data()), saved.size());
  ASSERT_EQ(contents.records.size(), 1u);
  EXPECT_EQ(contents.records[0].row, 1);
  EXPECT_EQ(contents.records[0].column, 1);
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
}

}  // namespace

TEST(Gallery_File_Acceptance, A_Changed_Pixel_At_1024x768) {
  if (In_Child_On_Screen(1024, 768)) Save_After_A_Pixel_Changed(1024, 768);
}

TEST(Gallery_File_Acceptance, A_Replaced_Gallery_At_1024x768) {
  if (In_Child_On_Screen(1024, 768)) Save_Over_A_Replaced_Gallery(1024, 768);
}

TEST(Gallery_File_Acceptance, A_Replaced_Gallery_At_1920x1080) {
  if (In_Child_On_Screen(1920, 1080)) Save_Over_A_Replaced_Gallery(1920, 1080);
}

TEST(Gallery_File_Acceptance, A_Read_Only_Gallery_At_1024x768) {
  if (In_Child_On_Screen(1024, 768)) Open_A_Read_Only_Gallery(1024, 768);
}

TEST(Gallery_File_Acceptance, A_Read_Only_Gallery_At_1920x1080) {
  if (In_Child_On_Screen(1920, 1080)) Open_A_Read_Only_Gallery(1920, 1080);
}

TEST(Gallery_File_Acceptance, A_Held_Gallery_She_Cannot_Change_At_1366x768) {
  if (In_Child_On_Screen(1366, 768)) Save_A_Held_Gallery_She_Cannot_Change(1366, 768);
}
