// The whole program renames a person from the gallery's Name and Level
// button while the data folder is full: the rename is refused with the
// reason, and the next start finds her under her name with her gallery.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "app/user_dialog.h"
#include "gallery/drawing_collection.h"
#include "gallery/drawing_place.h"
#include "gallery/gallery_window.h"
#include "toolkit/round_button.h"
#include "model/gui_colors.h"
#include "model/shape_drawing.h"
#include "tests/platform/system/small_disk.h"
#include "tests/program/program_session.h"
#include "toolkit/gui_sizes.h"
#include "users/user_data.h"
#include "users/user_database.h"

namespace {

// The Name and Level dialog, opened as the button opens it, with the edits
// made on its copy and OK pressed.
void Answer_Dialog_With(Program_Session& program, std::function<void(User_Database&)> edit) {
  IFS_Frame_Window* frame = program.Frame();
  frame->Run_User_Dialog = [frame, edit] {
    User_Dialog& dialog = *frame->Dialog;
    dialog.Create();
    edit(*dialog.Edited());
    dialog.SendMessage(WM_COMMAND, User_Dialog::OK_Id);
    return 1;
  };
}

std::vector<uint8_t> Bytes_Of(const std::string& path) {
  return Read_Regular_File(path, 64 << 20).value_or(std::vector<uint8_t>());
}

// The data folder's disk, small as it is, reports room enough for the
// program not to warn at start.
Program_Options Options(const std::string& folder) {
  return {.user_path = folder, .free_space = TFree_Space{1 << 20, 4096}};
}

}  // namespace

TEST(User_Dialog_Full_Disk, ARenameFromTheGalleryOnAFullDiskLeavesHerUnderHerNameWithHerGallery) {
  const std::string folder = testing::TempDir() + "quendar-rename-" + std::to_string(getpid());
  Small_Disk disk(folder, "8m");
  if (!disk.mounted) return disk.Not_Mounted();
  const std::string data = disk.path + "/";
  std::vector<uint8_t> gallery;
  {
    Program_Session program(Options(disk.path));
    program.Start();
    Answer_Dialog_With(program, [](User_Database& copy) { copy.Set_Current(copy.Add_User(std::make_unique<User>(3, "Ann"))); });
    program.Click(Program_Session::Center_Of(program.Main()->name_button));
    ASSERT_EQ(The_User_Database->current_user->name, "Ann");
    const TPoint gallery_button = Program_Session::Center_Of(program.Main()->gallery_button);
    program.Click(gallery_button);
    Gallery_Window& window = *program.Frame()->Gallery;
    const int side = (*The_GUI_Sizes)[Drawing_Side_Size];
    auto drawing = std::make_unique<Shape_Drawing>(side, side, The_GUI_Colors->Palette.get(), TColor(0, 120, 200));
    ASSERT_TRUE(window.Collection()->Add(drawing, Drawing_Place::Grid, 0, 0));
    program.Click(window.Save_Button_Screen_Point());
    gallery = Bytes_Of(data + "Ann.gal");
    ASSERT_FALSE(gallery.empty());

    // Saving left the gallery: it opens again on the full disk.
    program.Click(gallery_button);
    disk.Fill();
    program.Boxes.clear();
    Answer_Dialog_With(program, [](User_Database& copy) { copy.current_user->name = "Annie"; });
    program.Click(Program_Session::Center_Of(window.ChildWithId(Gallery_Window::Name_Level_Id)));
    std::vector<std::string> boxes;
    for (const auto& box : program.Boxes) boxes.push_back(box.caption + ": " + box.text);
    const std::vector<std::string> expected = {
        "WARNING: Unable to write file " + data + "quendar.jnl\nThe disk is full: no user is renamed and no file moves.",
        "WARNING: Unable to write file " + data + "quendar.usr\nThe disk is full: the changes to the users are not saved."};
    EXPECT_EQ(boxes, expected);
    EXPECT_EQ(The_User_Database->current_user->name, "Ann");
    // Space comes back before the program ends.
    disk.Empty();
    EXPECT_EQ(program.Stop(), 0);
  }
  Program_Session program(Options(disk.path));
  program.Start();
  EXPECT_EQ(The_User_Database->current_user->name, "Ann");
  EXPECT_EQ(Bytes_Of(data + "Ann.gal"), gallery);
  for (const auto& entry : std::filesystem::directory_iterator(data)) {
    const std::string name = entry.path().filename().string();
    EXPECT_TRUE(name.rfind("Annie", 0) != 0 && name.rfind(".quendar-move-", 0) != 0 && name != "quendar.jnl") << name;
  }
  EXPECT_TRUE(program.Boxes.empty()) << program.Boxes[0].text;
  EXPECT_EQ(program.Stop(), 0);
}
