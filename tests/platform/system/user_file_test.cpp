// The rules of user files: why a file was refused, setting a damaged file
// aside, clearing what interrupted saves left, and the atomic writer's care
// for links and for files it may not read.
#include "platform/system/user_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/system/atomic_file.h"
#include "tests/platform/system/temp_home.h"

namespace {

using User_File = Temp_Home;

std::span<const uint8_t> Bytes(const std::string& text) {
  return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
}

std::vector<std::string> Names_In(const std::string& directory) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(directory))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

TEST_F(User_File, EachRefusalSaysWhy) {
  Write(Work("fits"), "12345");
  Write(Work("large"), "123456");
  // Unreadable to its owner, and to every other user but the administrator
  // (the test acts as an ordinary user when run by the administrator).
  Write(Work("locked"), "secret");
  chmod(Work("locked").c_str(), 0000);
  std::filesystem::create_directory(Work("folder"));
  ASSERT_EQ(mkfifo(Work("fifo").c_str(), 0666), 0);
  chmod(Work("fifo").c_str(), 0666);
  const struct {
    const char* name;
    TFile_Fault fault;
    const char* reason;
  } cases[] = {
      {"fits", TFile_Fault::None, nullptr},
      {"missing", TFile_Fault::Missing, "The file is missing"},
      {"large", TFile_Fault::Too_Large, "The file is too large"},
      {"folder", TFile_Fault::Not_Regular, "It is not a regular file"},
      {"fifo", TFile_Fault::Not_Regular, "It is not a regular file"},
      {"locked", TFile_Fault::No_Permission, "You have no permission to read the file"},
  };
  Ordinary_User_Scope ordinary(root_);
  for (const auto& c : cases) {
    const TUser_File_Read read = Read_User_File(Work(c.name), 5);
    EXPECT_EQ(read.fault, c.fault) << c.name;
    EXPECT_EQ(read.bytes.has_value(), c.fault == TFile_Fault::None) << c.name;
    if (c.reason) {
      EXPECT_EQ(File_Fault_Reason(c.fault), c.reason) << c.name;
    }
    EXPECT_EQ(File_Must_Stay(c.fault), c.fault == TFile_Fault::Not_Regular || c.fault == TFile_Fault::No_Permission);
  }
  EXPECT_EQ(Unreadable_File_Message("/d/f", TFile_Fault::Damaged, "what happens"),
            "Unable to read file /d/f\nThe file is damaged: what happens.");
}

TEST_F(User_File, DamagedFilesGoAsideWholeUnderNamesOfTheirOwn) {
  std::vector<std::string> kept;
  for (const char* text : {"first", "second", "third"}) {
    Write(Work("quendar.usr"), text);
    kept.push_back(Keep_File_Aside(Work("quendar.usr")));
    ASSERT_FALSE(kept.back().empty());
    EXPECT_EQ(kept.back().rfind(Work("quendar.usr.damaged-"), 0), 0u) << kept.back();
    EXPECT_EQ(Read(kept.back()), text);
    EXPECT_FALSE(std::filesystem::exists(Work("quendar.usr")));
  }
  // Within one second the names still differ.
  EXPECT_NE(kept[0], kept[1]);
  EXPECT_NE(kept[1], kept[2]);
  EXPECT_EQ(Keep_File_Aside(Work("missing")), "");
  // Nothing set aside is ever taken for a leftover of a save.
  for (const auto& path : kept) EXPECT_FALSE(Is_Interrupted_Save_Name(std::filesystem::path(path).filename()));
}

TEST_F(User_File, OnlyLeftoversOfInterruptedSavesAreCleared) {
  const std::string data = root_ + "/data/Quendar/";
  const struct {
    const char* name;
    bool cleared;
  } cases[] = {
      {"quendar.usr.aB3xY9", true},   {"Ann.clr.000000", true},   {"Ann, level 4.man.Zz9Zz9", true},
      {"Bob.gal.abcdef", true}, {".saving-Ann.gal.aB3xY9", true}, {"quendar.usr", false},     {"Ann.clr", false},
      {"notes.txt.abcdef", false},    {"quendar.usr.abcde", false}, {"quendar.usr.abcdefg", false},
      {"quendar.usr.ab-def", false},  {".usr.abcdef", false},     {"quendar.usr.damaged-20260101-120000", false},
  };
  for (const auto& c : cases) Write(data + c.name, "x");
  std::filesystem::create_directory(data + "folder.usr.abcdef");
  Write(Work("quendar.usr.abcdef"), "elsewhere");
  EXPECT_EQ(Remove_Interrupted_Saves(data), 5);
  for (const auto& c : cases) EXPECT_EQ(std::filesystem::exists(data + c.name), !c.cleared) << c.name;
  EXPECT_TRUE(std::filesystem::is_directory(data + "folder.usr.abcdef"));
  EXPECT_TRUE(std::filesystem::exists(Work("quendar.usr.abcdef")));
  EXPECT_EQ(Remove_Interrupted_Saves(Work("missing")), 0);
}

// A file a stopped save held aside goes back under its name at the start,
// unless that name was taken since; nothing but a file or a link that the
// caller takes for one the save held (here: one that ends in "gallery")
// moves.
TEST_F(User_File, FilesHeldAsideByAStoppedSaveGoBack) {
  const std::string data = Work("held") + "/";
  std::filesystem::create_directories(data);
  EXPECT_EQ(Held_For_Save_Name(data + "Ann.gal"), data + ".saving-Ann.gal");
  Write(data + ".saving-Ann.gal", "Ann's gallery");
  Write(data + ".saving-Bob.gal", "Bob's gallery");
  Write(data + "Bob.gal", "another program's file");
  std::filesystem::create_symlink("Bob.gal", data + ".saving-Cid.gal");
  std::filesystem::create_directory(data + ".saving-Dee.gal");
  // No save holds anything but a gallery aside: another file under such a
  // name is no file of a stopped save.
  Write(data + ".saving-quendar.usr", "another program's user file");
  Write(data + ".saving-quendar.jnl", "another program's journal");
  Write(data + ".saving-Eve.gal", "another program's notes");
  Write(data + "Fay's real gallery", "Fay's gallery");
  std::filesystem::create_symlink("Fay's real gallery", data + ".saving-Fay.gal");
  const auto is_held = [](const std::string& path) { return Read(path).ends_with("gallery"); };
  EXPECT_EQ(Put_Back_Files_Held_For_Save(data, is_held), 2);
  const struct {
    const char* name;
    const char* holds;  // nullptr: no file there
  } after[] = {
      {"Ann.gal", "Ann's gallery"},
      {".saving-Ann.gal", nullptr},
      {"Bob.gal", "another program's file"},
      {".saving-Bob.gal", "Bob's gallery"},
      {"Cid.gal", nullptr},
      {"Dee.gal", nullptr},
      {".saving-quendar.usr", "another program's user file"},
      {"quendar.usr", nullptr},
      {".saving-quendar.jnl", "another program's journal"},
      {"quendar.jnl", nullptr},
      {".saving-Eve.gal", "another program's notes"},
      {"Eve.gal", nullptr},
      {".saving-Fay.gal", nullptr},
      {"Fay.gal", "Fay's gallery"},
  };
  for (const auto& a : after) {
    SCOPED_TRACE(a.name);
    ASSERT_EQ(std::filesystem::exists(data + a.name), a.holds != nullptr);
    if (a.holds) { EXPECT_EQ(Read(data + a.name), a.holds); }
  }
  EXPECT_TRUE(std::filesystem::is_symlink(data + ".saving-Cid.gal"));
  EXPECT_TRUE(std::filesystem::is_symlink(data + "Fay.gal"));
  EXPECT_EQ(Put_Back_Files_Held_For_Save(Work("missing"), is_held), 0);
}

// A save through a symbolic link replaces the file the link ends at; the
// link stays a link.
TEST_F(User_File, SavesWriteThroughLinks) {
  std::filesystem::create_directories(Work("real"));
  Write(Work("real/quendar.usr"), "old");
  std::filesystem::create_symlink("real/quendar.usr", Work("middle"));
  std::filesystem::create_symlink(Work("middle"), Work("quendar.usr"));
  ASSERT_TRUE(Write_File_Atomically(Work("quendar.usr"), Bytes("new")));
  EXPECT_TRUE(std::filesystem::is_symlink(Work("quendar.usr")));
  EXPECT_TRUE(std::filesystem::is_symlink(Work("middle")));
  EXPECT_EQ(Read(Work("real/quendar.usr")), "new");
  EXPECT_EQ(Names_In(Work("real")), std::vector<std::string>{"quendar.usr"});
  // A link to a file not there yet makes it; a loop of links is refused.
  std::filesystem::create_symlink("real/later", Work("later"));
  ASSERT_TRUE(Write_File_Atomically(Work("later"), Bytes("made")));
  EXPECT_EQ(Read(Work("real/later")), "made");
  std::filesystem::create_symlink("loop_b", Work("loop_a"));
  std::filesystem::create_symlink("loop_a", Work("loop_b"));
  EXPECT_FALSE(Write_File_Atomically(Work("loop_a"), Bytes("x")));
  EXPECT_TRUE(std::filesystem::is_symlink(Work("loop_a")));
}

// A file this user may not read is never replaced, even where the folder
// would let the save through.
TEST_F(User_File, AFileThatCannotBeOpenedIsNeverReplaced) {
  Write(Work("quendar.usr"), "someone's users");
  chmod(Work("quendar.usr").c_str(), 0200);
  Write(Work("mine.usr"), "mine");
  chmod(Work("mine.usr").c_str(), 0666);
  Ordinary_User_Scope ordinary(root_);
  EXPECT_FALSE(Write_File_Atomically(Work("quendar.usr"), Bytes("empty")));
  EXPECT_TRUE(Write_File_Atomically(Work("mine.usr"), Bytes("new")));
  EXPECT_EQ(Read(Work("mine.usr")), "new");
  chmod(Work("quendar.usr").c_str(), 0600);
}

}  // namespace
