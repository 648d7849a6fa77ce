// Renames that cannot be carried through: a full data folder, a journal
// note that fails part-way, a user file that will not save after the moves.
// Whichever, every name and every file stays as it was, the person is told
// once, and the next start finds every file with its owner.
#include <regex>

#include "platform/system/atomic_file.h"
#include "platform/system/file_system.h"
#include "tests/platform/system/small_disk.h"
#include "tests/users/users_fixture.h"
#include "users/rename_journal.h"

namespace {

constexpr const char* Suffixes[] = {".gal", ", level 4.man", ", level 5.man", ".clr"};
const std::vector<std::string> Owners = {"Ann", "Bob"};  // Ann is current

enum class Fault { Full_Disk, Second_Note_Fails, Save_Fails };

struct Rename_Case {
  const char* what;
  Fault fault;
  std::vector<std::pair<std::string, std::string>> renames;  // made in order
  std::vector<std::string> boxes;                            // after the data folder
  std::string added = "";  // a user added in the dialog, under a name a rename gave up
};

const std::string Journal_Refused =
    "WARNING: Unable to write file {}quendar.jnl\nThe disk is full: no user is renamed and no file moves.";
const std::string Save_Refused = "WARNING: Unable to write file {}quendar.usr\nThe disk is full: the changes to the users are not saved.";
const std::string Save_Refused_Renames_Back =
    "WARNING: Unable to write file {}quendar.usr\nThe disk is full: the changes to the users are not saved, and the "
    "renamed users keep their old names, their files back under them.";
const std::vector<std::pair<std::string, std::string>> Swap = {{"Ann", "Zed"}, {"Bob", "Ann"}, {"Zed", "Bob"}};

const Rename_Case Full_Disk_Cases[] = {
    {"the current user renames herself", Fault::Full_Disk, {{"Ann", "Annie"}}, {Journal_Refused, Save_Refused}},
    {"another user is renamed", Fault::Full_Disk, {{"Bob", "Bobby"}}, {Journal_Refused, Save_Refused}},
    {"two users swap names", Fault::Full_Disk, Swap, {Journal_Refused, Save_Refused}},
};

const Rename_Case Failing_Write_Cases[] = {
    {"a note after the first move fails", Fault::Second_Note_Fails, {{"Ann", "Annie"}}, {Journal_Refused, Save_Refused}},
    {"the user file will not save after a rename", Fault::Save_Fails, {{"Ann", "Annie"}}, {Save_Refused_Renames_Back}},
    {"the user file will not save after a swap", Fault::Save_Fails, Swap, {Save_Refused_Renames_Back}},
    {"the user file will not save after a rename and a user added under the old name", Fault::Save_Fails,
     {{"Bob", "Bobby"}}, {Save_Refused_Renames_Back}, "bob"},
};

std::string In(const std::string& text, const std::string& folder) {
  std::string out = text;
  for (size_t at = out.find("{}"); at != std::string::npos; at = out.find("{}")) out.replace(at, 2, folder);
  return out;
}

}  // namespace

class User_Rename_Full_Disk_Test : public Users_Test {
 protected:
  ~User_Rename_Full_Disk_Test() override {
    Rename_Journal::Set_Kill_Point_Hook(nullptr);
    Fail_Atomic_Write_After(-1);
    Set_File_System_Faults({});
  }

  // Ann and Bob, each with her four files and the points that tell her
  // from the other; Ann current; the user file saved.
  void Start(const std::string& directory) {
    The_User_Data.directory = directory;
    std::filesystem::create_directories(directory);
    delete The_User_Database;
    auto* db = new User_Database(For_Stream);
    The_User_Database = db;
    for (size_t i = 0; i < Owners.size(); ++i) {
      for (const char* suffix : Suffixes) Write(Dir(Owners[i] + suffix), Owners[i] + suffix);
      auto user = std::make_unique<User>(3, Owners[i].c_str());
      user->points = int32_t(i + 1);
      db->Add_User(std::move(user));
    }
    db->Set_Current(db->Find_User("Ann"));
    ASSERT_TRUE(db->Save());
  }

  // The dialog's OK and the change of users after it, as the program makes
  // them; the gallery renames its own open file when its user's name changed.
  void Change_Names(const Rename_Case& c) {
    auto copy = std::make_unique<User_Database>(*The_User_Database);
    for (const auto& [from, to] : c.renames) {
      const int32_t index = copy->Find_User(from);
      copy->At(index)->name = to;
      copy->Resort_User(index);
    }
    if (!c.added.empty()) copy->Add_User(std::make_unique<User>(0, c.added.c_str()));
    // Each point where a kill could fall follows a move or a note: on a
    // full disk not one file may have left its name there.
    int notes = 0;
    bool moved = false;
    Rename_Journal::Set_Kill_Point_Hook([&] {
      for (const std::string& owner : Owners)
        for (const char* suffix : Suffixes) moved = moved || !Has(owner + suffix);
      if (++notes == 1 && c.fault == Fault::Second_Note_Fails) Fail_Atomic_Write_After(0);
    });
    copy.release()->Install(0);
    EXPECT_TRUE(c.fault != Fault::Full_Disk || !moved) << c.what << ": a file moved before its journal was written";
    Rename_Journal::Set_Kill_Point_Hook(nullptr);
    if (c.fault == Fault::Save_Fails) Fail_Atomic_Write_After(0);
    The_User_Database->Save();
    Fail_Atomic_Write_After(-1);
    const User& now = *The_User_Database->current_user;
    const User& before = The_User_Database->previous_user;
    if (now.source_record == &before && now.name != before.name) Move_File(Dir(before.name + ".gal"), Dir(now.name + ".gal"));
    The_User_Database->Recycle_Previous_Gallery();
  }

  // Every user keeps her name and finds her files, in this run and the next.
  void Expect_Everything_As_It_Was(const Rename_Case& c) {
    for (int run = 0; run < 2; ++run) {
      const User_Database& db = *The_User_Database;
      ASSERT_EQ(db.Count(), 2) << c.what;
      for (int32_t i = 0; i < db.Count(); ++i) {
        const User& user = *db.At(i);
        EXPECT_EQ(user.name, Owners[size_t(user.points - 1)]) << c.what << ", run " << run;
        for (const char* suffix : Suffixes) EXPECT_EQ(Read(Dir(user.name + suffix)), user.name + suffix) << c.what;
      }
      EXPECT_EQ(db.current_user->name, "Ann") << c.what;
      EXPECT_EQ(db.At(0)->name, "Ann") << c.what << ": the list is in the user order";
      for (const auto& entry : std::filesystem::directory_iterator(Dir())) {
        const std::string name = entry.path().filename().string();
        EXPECT_TRUE(name.rfind("Ann", 0) == 0 || name.rfind("Bob", 0) == 0 || name == "quendar.usr") << c.what << ": " << name;
      }
      // The next start.
      delete The_User_Database;
      The_User_Database = nullptr;
      Boxes.clear();
      new User_Database();
      EXPECT_TRUE(Boxes.empty()) << c.what << ": " << Boxes[0];
    }
  }

  void Expect_Boxes(const Rename_Case& c) {
    std::vector<std::string> expected;
    for (const std::string& box : c.boxes) expected.push_back(In(box, Dir()));
    EXPECT_EQ(Boxes, expected) << c.what;
  }
};

TEST_F(User_Rename_Full_Disk_Test, ARenameOnAFullDiskIsRefusedAndEveryFileStaysWithItsOwner) {
  for (const Rename_Case& c : Full_Disk_Cases) {
    Small_Disk disk(root_ + "/small", "256k");
    if (!disk.mounted) return disk.Not_Mounted();
    Start(disk.path + "/Quendar/");
    disk.Fill();
    Boxes.clear();
    Change_Names(c);
    Expect_Boxes(c);
    // Space coming back before the end changes nothing.
    disk.Empty();
    Expect_Everything_As_It_Was(c);
    delete The_User_Database;
    The_User_Database = nullptr;
  }
}

TEST_F(User_Rename_Full_Disk_Test, ARenameThatCannotBeNotedOrSavedGoesBackWhole) {
  int run = 0;
  for (const Rename_Case& c : Failing_Write_Cases) {
    Start(root_ + "/data/Quendar-" + std::to_string(++run) + "/");
    Boxes.clear();
    Change_Names(c);
    Expect_Boxes(c);
    Expect_Everything_As_It_Was(c);
  }
}

// The disk reports EIO or ENOSPC on the folder sync after a move of the
// rename, or after its journal is deleted: on each sync alone, and on every
// sync, the person is told once, as for the user file's own sync, whether
// the rename stands, goes back for a failed save or is refused for a file
// in the way, and every file is where the outcome says.
TEST_F(User_Rename_Full_Disk_Test, AFolderSyncThatFailsAfterTheMovesIsToldOnce) {
  const struct {
    const char* what;
    std::vector<std::pair<std::string, std::string>> renames;
    bool save_fails;    // the rename goes back after its moves
    std::string stray;  // once Ann's files are parked, a stray takes this new name
    int syncs;          // how many syncs the rename makes
    std::string box;    // without the fault, "P" for a parking name's numbers
  } cases[] = {
      {"the rename stands", Swap, false, "", 17, ""},
      {"the rename goes back", Swap, true, "", 18, Save_Refused_Renames_Back},
      {"the rename is refused", {{"Ann", "Annie"}}, false, "Annie.clr", 9,
       "WARNING: Unable to move file {}.quendar-move-P to Annie.clr\nAnother file has that name: no user is renamed "
       "and every file stays with its owner."},
  };
  const std::string told = "\nThe disk reported an error after moving files in {}; the disk may be failing.";
  const std::string told_alone =
      "WARNING: The disk reported an error after moving files in {}\nThe changes to the users are saved, and the "
      "renamed users' files are under their new names; the disk may be failing.";
  int run = 0;
  for (const auto& c : cases)
    for (const int error : {EIO, ENOSPC}) {
      // -1: every sync fails.
      int syncs = -1;
      for (;; ++syncs) {
        const std::string what = std::string(c.what) + ", error " + std::to_string(error) + ", after " +
                                 std::to_string(syncs) + " syncs";
        Start(root_ + "/data/Quendar-" + std::to_string(++run) + "/");
        Boxes.clear();
        auto copy = std::make_unique<User_Database>(*The_User_Database);
        for (const auto& [from, to] : c.renames) copy->At(copy->Find_User(from))->name = to;
        int points = 0;
        Rename_Journal::Set_Kill_Point_Hook([&] {
          if (++points == 1 + 2 * 4 && !c.stray.empty()) Write(Dir(c.stray), "stray");
        });
        Set_File_System_Faults({.sync_error = error, .sync_passes = syncs, .sync_failures = syncs < 0 ? 0 : 1});
        copy.release()->Install(0);
        Rename_Journal::Set_Kill_Point_Hook(nullptr);
        if (c.save_fails) Fail_Atomic_Write_After(0);
        The_User_Database->Save();
        Fail_Atomic_Write_After(-1);
        Set_File_System_Faults({});
        for (std::string& box : Boxes) box = std::regex_replace(box, std::regex("quendar-move-[0-9]+-[0-9]+"), "quendar-move-P");
        // Past the last sync the fault never falls.
        if (Boxes == (c.box.empty() ? std::vector<std::string>{} : std::vector<std::string>{In(c.box, Dir())})) break;
        EXPECT_EQ(Boxes, std::vector<std::string>{In(c.box.empty() ? told_alone : c.box + told, Dir())}) << what;
        const bool stands = c.box.empty();
        for (int32_t i = 0; i < The_User_Database->Count(); ++i) {
          const User& user = *The_User_Database->At(i);
          const std::string owner = Owners[size_t(user.points - 1)];
          for (const char* suffix : Suffixes) EXPECT_EQ(Read(Dir(user.name + suffix)), owner + suffix) << what;
          EXPECT_EQ(user.name != owner, stands) << what;
        }
        for (const auto& entry : std::filesystem::directory_iterator(Dir())) {
          const std::string name = entry.path().filename().string();
          EXPECT_TRUE(name.rfind("Ann", 0) == 0 || name.rfind("Bob", 0) == 0 || name == "quendar.usr") << what << ": " << name;
        }
        delete The_User_Database;
        The_User_Database = nullptr;
        Boxes.clear();
        new User_Database();
        EXPECT_TRUE(Boxes.empty()) << what << ": " << Boxes[0];
      }
      EXPECT_EQ(syncs, c.syncs) << c.what;
    }
}

// The start that finishes a change cut short is told the same when the
// folder sync fails after its moves or the journal's deletion.
TEST_F(User_Rename_Full_Disk_Test, AFolderSyncThatFailsAtTheStartIsToldOnce) {
  int run = 0;
  for (const int syncs : {0, 1}) {
    Start(root_ + "/data/start-" + std::to_string(++run) + "/");
    // Ann's colour cycles parked by a change whose new names were saved.
    Move_File(Dir("Ann.clr"), Dir(".quendar-move-1-1"));
    const File_Id file = Identity_Of(Dir(".quendar-move-1-1"));
    const std::string id = std::to_string(file.device) + ":" + std::to_string(file.inode);
    Write(Dir("quendar.jnl"), "quendar rename journal 2\ndatabase none\ndone 1\n-\tAnn.clr\t.quendar-move-1-1\t" + id +
                                  "\n-\t.quendar-move-1-1\tAnn.clr\t" + id + "\n");
    delete The_User_Database;
    The_User_Database = nullptr;
    Boxes.clear();
    Set_File_System_Faults({.sync_error = EIO, .sync_passes = syncs, .sync_failures = 1});
    new User_Database();
    Set_File_System_Faults({});
    EXPECT_EQ(Boxes, std::vector<std::string>{"WARNING: The disk reported an error after moving files in " + Dir() +
                                              "\nEvery user's files are under her name; the disk may be failing."})
        << syncs;
    EXPECT_EQ(Read(Dir("Ann.clr")), "Ann.clr") << syncs;
    EXPECT_FALSE(Has(".quendar-move-1-1")) << syncs;
    EXPECT_FALSE(Has("quendar.jnl")) << syncs;
  }
}
