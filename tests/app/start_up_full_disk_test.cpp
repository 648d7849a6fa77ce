// A start on a full disk: the warning that the disk is full comes first,
// over the painted main window, before any file the start could not write.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "model/gui_colors.h"
#include "tests/platform/system/small_disk.h"
#include "tests/program/program_session.h"
#include "users/user.h"
#include "users/user_data.h"
#include "users/user_database.h"

namespace {

// A user file that lists the person, current, at the level index given.
void List_Person(const std::string& data, const std::string& name, int32_t level) {
  GUI_Colors colors;
  The_User_Data.directory = data;
  The_User_Data.writable = true;
  User_Database db;
  db.Set_Current(db.Add_User(std::make_unique<User>(level, name.c_str())));
  ASSERT_TRUE(db.Save());
}

}  // namespace

// A person at level 4 without manipulators of her own: building the panels
// saves the users, which fails on the full disk.
TEST(Start_Up_Full_Disk, TheFullDiskIsToldFirstThenTheUserFileThatCouldNotBeWritten) {
  const std::string folder = testing::TempDir() + "quendar-start-full-" + std::to_string(getpid());
  Small_Disk disk(folder, "1m");
  if (!disk.mounted) return disk.Not_Mounted();
  const std::string data = disk.path + "/";
  List_Person(data, "Ann", 3);
  disk.Fill();
  Program_Session program({.user_path = disk.path});
  program.Start();
  std::vector<std::string> boxes;
  for (const auto& box : program.Boxes) {
    boxes.push_back(box.caption + ": " + box.text);
    EXPECT_EQ(box.owner, program.Main()->GetHandle()) << box.text;
  }
  const std::vector<std::string> expected = {
      "Warning: Volume (" + data + ") has less than 10 MBytes free.\nSome program features may be unable to operate.",
      "WARNING: Unable to write file " + data + "quendar.usr\nThe disk is full: the changes to the users are not saved."};
  EXPECT_EQ(boxes, expected);

  // Once started, a failed save is told at once.
  program.Boxes.clear();
  EXPECT_FALSE(The_User_Database->Save());
  EXPECT_EQ(program.Boxes.size(), 1u);
  disk.Empty();
  EXPECT_EQ(program.Stop(), 0);
  // The next test starts as a first start again.
  The_User_Data = User_Data();
}

// No file can be made in the data folder (every inode taken): the person is
// told the disk is full, once, and not to reinstall.
TEST(Start_Up_Full_Disk, ADataFolderWithoutAFreeInodeIsReportedAsAFullDisk) {
  const std::string folder = testing::TempDir() + "quendar-start-inodes-" + std::to_string(getpid());
  Small_Disk disk(folder, "8m", 16);
  if (!disk.mounted) return disk.Not_Mounted();
  List_Person(disk.path + "/", "Ann", 0);
  ASSERT_GT(disk.Fill_Inodes(), 0);
  Program_Session program({.user_path = disk.path});
  program.Start();
  EXPECT_FALSE(program.App().User_Path_Writable);
  std::vector<std::string> boxes;
  for (const auto& box : program.Boxes) boxes.push_back(box.caption + ": " + box.text);
  const std::vector<std::string> expected = {
      "Warning: Quendar can't save user data to " + disk.path +
      "/.\nThe program will run but you will not be able to save drawings.\nThe disk is full: make room on it, then "
      "start Quendar again."};
  EXPECT_EQ(boxes, expected);
  EXPECT_EQ(program.Stop(), 0);
  The_User_Data = User_Data();
  for (const auto& entry : std::filesystem::directory_iterator(disk.path)) std::filesystem::remove(entry.path());
}
