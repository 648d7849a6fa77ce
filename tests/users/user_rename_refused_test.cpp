// Renames the file system will not carry through (a file that cannot be
// moved, one another is mounted on, a stray in the way that cannot be moved)
// are undone whole; a user file in place stands though the disk reported an
// error; a save that fails after a rename was saved gives no name back.
// After each, in this run and the next, every file is with its owner.
#include <cerrno>

#include "platform/system/atomic_file.h"
#include "platform/system/file_system.h"
#include "tests/platform/system/unmovable_file.h"
#include "tests/users/users_fixture.h"

namespace {

const std::vector<std::string> Owners = {"Ann", "Bob"};  // Ann is current
const std::vector<std::pair<std::string, std::string>> Swap = {{"Ann", "Zed"}, {"Bob", "Ann"}, {"Zed", "Bob"}};

enum class Then { Nothing, Folder_Sync_Fails, Later_Save_Fails };

struct Rename_Case {
  const char* what;
  std::vector<std::pair<std::string, std::string>> renames;  // made in order
  std::string unmovable;                  // a file that will not move ("" none)
  Unmovable_File::Kind kind = Unmovable_File::Immutable;
  bool after_parking = false;             // it becomes unmovable once every file is parked
  std::string stray;                      // a file under a new name, there from the start
  Then then = Then::Nothing;
  bool renamed = false;                   // the new names stand
  std::string box;                        // "{}" the data folder, "{P}" where the unmovable file was parked
};

const std::string Refused = ": no user is renamed and every file stays with its owner.";
const std::string No_Permission = "You have no permission to move the file";

const Rename_Case Cases[] = {
    {"Ann's colour cycles cannot be moved", {{"Ann", "Annie"}}, "Ann.clr", Unmovable_File::Immutable, false, "",
     Then::Nothing, false, "Unable to move file {}Ann.clr to Annie.clr\n" + No_Permission + Refused},
    {"Ann's colour cycles cannot be moved in a swap", Swap, "Ann.clr", Unmovable_File::Immutable, false, "",
     Then::Nothing, false, "Unable to move file {}Ann.clr to Bob.clr\n" + No_Permission + Refused},
    {"Ann's gallery cannot be moved", {{"Ann", "Annie"}}, "Ann.gal", Unmovable_File::Immutable, false, "",
     Then::Nothing, false, "Unable to move file {}Ann.gal to Annie.gal\n" + No_Permission + Refused},
    {"Ann's gallery is a mount point", {{"Ann", "Annie"}}, "Ann.gal", Unmovable_File::Mount_Point, false, "",
     Then::Nothing, false,
     "Unable to move file {}Ann.gal to Annie.gal\nThe file is in use by the system" + Refused},
    {"a stray gallery in the way cannot be moved", {{"Ann", "Annie"}}, "Annie.gal", Unmovable_File::Immutable, false,
     "Annie.gal", Then::Nothing, false, "Unable to move file {}Annie.gal\n" + No_Permission + Refused},
    {"Bob's gallery can neither take Ann's name nor go back", Swap, "Bob.gal", Unmovable_File::Immutable, true, "",
     Then::Nothing, false,
     "Unable to move file {P} to Ann.gal\n" + No_Permission + ": no user is renamed.\nUnable to move file {P}, which is "
     "Bob's gallery, to Bob.gal\n" + No_Permission + ": the file stays as {P}.\nTo put each file home, have the administrator make "
     "{P} changeable again (it was made unchangeable, and no one else can move it), then start Quendar again: each "
     "file goes home.\nNames beginning with a dot are hidden: show hidden files to see them."},
    {"the folder sync fails after the user file is in place", Swap, "", Unmovable_File::Immutable, false, "",
     Then::Folder_Sync_Fails, true,
     "The disk reported an error after saving file {}quendar.usr\nThe changes to the users are saved, and the "
     "renamed users' files are under their new names; the disk may be failing."},
    {"a save fails after the rename was saved", {{"Ann", "Annie"}}, "", Unmovable_File::Immutable, false, "",
     Then::Later_Save_Fails, true,
     "Unable to write file {}quendar.usr\nThe disk is full: the changes to the users are not saved."},
};

std::string In(std::string text, const std::string& folder, const std::string& parked) {
  for (size_t at = text.find("{}"); at != std::string::npos; at = text.find("{}")) text.replace(at, 2, folder);
  for (size_t at = text.find("{P}"); at != std::string::npos; at = text.find("{P}")) text.replace(at, 3, parked);
  return text;
}

}  // namespace

class User_Rename_Refused_Test : public Users_Test {
 protected:
  ~User_Rename_Refused_Test() override {
    Rename_Journal::Set_Kill_Point_Hook(nullptr);
    Fail_Atomic_Write_After(-1);
    Fail_Atomic_Directory_Sync(0);
  }

  // Ann and Bob with their four files each; Ann current; the user file saved.
  void Start(const Rename_Case& c, int run) {
    The_User_Data.directory = root_ + "/data/Quendar-" + std::to_string(run) + "/";
    std::filesystem::create_directories(The_User_Data.directory);
    delete The_User_Database;
    auto* db = new User_Database(For_Stream);
    The_User_Database = db;
    owned = Owned_Files();
    for (size_t i = 0; i < Owners.size(); ++i) {
      owned.Give(Owners[i]);
      auto user = std::make_unique<User>(3, Owners[i].c_str());
      user->points = int32_t(i + 1);
      db->Add_User(std::move(user));
    }
    db->Set_Current(db->Find_User("Ann"));
    ASSERT_TRUE(db->Save());
    if (!c.stray.empty()) Write(Dir(c.stray), "stray");
  }

  // The dialog's OK: the copy installed, then saved. Levels change too, so
  // the user file saved differs from the one before even when no name does.
  void Change_Names(const Rename_Case& c) {
    auto copy = std::make_unique<User_Database>(*The_User_Database);
    for (int32_t i = 0; i < copy->Count(); ++i) copy->At(i)->level = 4;
    for (const auto& [from, to] : c.renames) {
      const int32_t index = copy->Find_User(from);
      copy->At(index)->name = to;
      copy->Resort_User(index);
    }
    copy.release()->Install(0);
    if (c.then == Then::Folder_Sync_Fails) Fail_Atomic_Directory_Sync(EIO);
    The_User_Database->Save();
    Fail_Atomic_Directory_Sync(0);
    if (c.then == Then::Later_Save_Fails) {
      Fail_Atomic_Write_After(0);
      The_User_Database->Save();
      Fail_Atomic_Write_After(-1);
      ASSERT_TRUE(The_User_Database->Save());
    }
  }

  // Each user has the name the case leaves her and her own files.
  void Expect_Names_And_Files(const Rename_Case& c, const std::string& when) {
    const User_Database& db = *The_User_Database;
    ASSERT_EQ(db.Count(), 2) << c.what;
    for (int32_t i = 0; i < db.Count(); ++i) {
      std::string name = Owners[size_t(db.At(i)->points - 1)];
      if (c.renamed)
        for (const auto& [from, to] : c.renames)
          if (name == from) name = to;
      EXPECT_EQ(db.At(i)->name, name) << c.what << ", " << when;
    }
    owned.Expect_With_Owners(db, Owners, std::string(c.what) + ", " + when,
                             c.stray.empty() ? std::set<std::string>{} : std::set<std::string>{c.stray});
  }

  // Runs one case: the rename in this run, then the next start.
  void Run_Case(const Rename_Case& c, int run) {
    Start(c, run);
    std::unique_ptr<Unmovable_File> unmovable;
    if (!c.unmovable.empty() && !c.after_parking) {
      unmovable = std::make_unique<Unmovable_File>(Dir(c.unmovable), c.kind);
      ASSERT_TRUE(unmovable->made) << c.what;
    }
    // Once every file is parked (the first note, then two points a move),
    // the file is made unmovable where it was parked.
    std::string parked;
    int points = 0;
    Rename_Journal::Set_Kill_Point_Hook([&] {
      if (!c.after_parking || ++points != 1 + 2 * 8) return;
      parked = owned.Where_Is(c.unmovable);
      unmovable = std::make_unique<Unmovable_File>(parked, c.kind);
    });
    Boxes.clear();
    Change_Names(c);
    Rename_Journal::Set_Kill_Point_Hook(nullptr);
    if (c.after_parking) {
      ASSERT_TRUE(unmovable && unmovable->made) << c.what;
      EXPECT_EQ(parked.rfind(Dir(".quendar-move-"), 0), 0u) << c.what << ": " << parked;
    }
    EXPECT_EQ(Boxes, std::vector<std::string>{"WARNING: " + In(c.box, Dir(), parked)}) << c.what;
    if (c.after_parking) {
      // The file that would not go back stays parked, and so does the
      // journal that knows it, until it may move.
      EXPECT_TRUE(Has("quendar.jnl")) << c.what;
      EXPECT_EQ(owned.Where_Is(c.unmovable), parked) << c.what;
    } else {
      Expect_Names_And_Files(c, "this run");
    }
    if (unmovable) unmovable->Release();
    // The next start.
    delete The_User_Database;
    The_User_Database = nullptr;
    Boxes.clear();
    new User_Database();
    EXPECT_TRUE(Boxes.empty()) << c.what << ": " << Boxes.front();
    Expect_Names_And_Files(c, "the next run");
  }

  Owned_Files owned;
};

// Only a file made immutable or mounted on needs the administrator.
static bool Needs_Root(const Rename_Case& c) { return !c.unmovable.empty(); }

TEST_F(User_Rename_Refused_Test, EveryFileStaysWithItsOwnerInThisRunAndTheNext) {
  int run = 0;
  for (const Rename_Case& c : Cases)
    if (!Needs_Root(c)) Run_Case(c, ++run);
}

TEST_F(User_Rename_Refused_Test, AFileThatWillNotMoveLeavesEveryFileWithItsOwnerInThisRunAndTheNext) {
  if (!Unmovable_File::Root()) GTEST_SKIP() << Unmovable_File::Why_Skipped;
  int run = 0;
  for (const Rename_Case& c : Cases)
    if (Needs_Root(c)) Run_Case(c, ++run);
}

