// A change of users' names killed at every point of its moves: at the next
// start every user finds each of her files under her name, whichever user
// database file the kill left, and nothing stays under a hidden name.
#include <sys/wait.h>
#include <unistd.h>

#include "platform/system/atomic_file.h"
#include "platform/system/file_system.h"
#include "tests/platform/system/loop_disk.h"
#include "tests/platform/system/unmovable_file.h"
#include "tests/users/users_fixture.h"
#include "users/rename_journal.h"

namespace {

constexpr const char* Suffixes[] = {".gal", ", level 4.man", ", level 5.man", ".clr"};

struct Rename_Case {
  const char* what;
  std::vector<std::string> users;  // each with its four files, points = place + 1
  int current;
  std::vector<std::pair<std::string, std::string>> renames;  // made in order
  std::string new_current;                                   // empty: the same person stays current
  std::vector<std::string> strays;                           // files under names the renames take
};

const Rename_Case Cases[] = {
    {"two users swap names while the current one is renamed",
     {"A", "B", "Cid", "Dan"}, 2, {{"A", "X"}, {"B", "A"}, {"X", "B"}, {"Cid", "Cy"}, {"Dan", "Dee"}}, "", {"Dee.clr"}},
    {"a user takes the name of the current user, who is renamed and gives way",
     {"A", "B"}, 0, {{"A", "Z"}, {"B", "A"}}, "A", {"Z, level 4.man"}},
};

}  // namespace

class User_Rename_Recovery_Test : public Users_Test {
 protected:
  ~User_Rename_Recovery_Test() override { Rename_Journal::Set_Kill_Point_Hook(nullptr); }

  // A data folder of its own for each run (in the folder given, or in the
  // test's own), the old database saved in it.
  void Start(const Rename_Case& c, int run, const std::string& in = "") {
    The_User_Data.directory = (in.empty() ? root_ + "/data" : in) + "/Quendar-" + std::to_string(run) + "/";
    std::filesystem::create_directories(The_User_Data.directory);
    delete The_User_Database;
    auto* installed = new User_Database(For_Stream);
    The_User_Database = installed;
    for (size_t i = 0; i < c.users.size(); ++i) {
      for (const char* suffix : Suffixes) Write(Dir(c.users[i] + suffix), c.users[i] + suffix);
      auto user = std::make_unique<User>(3, c.users[i].c_str());
      user->points = int32_t(i + 1);
      installed->Add_User(std::move(user));
    }
    installed->Set_Current(installed->Find_User(c.users[size_t(c.current)]));
    ASSERT_TRUE(installed->Save());
    for (const std::string& stray : c.strays) Write(Dir(stray), "stray");
  }

  // The dialog's OK and the change of users after it, as the program makes
  // them. With a failing save, every kill point met is in the undo.
  void Change_Names(const Rename_Case& c, bool save_fails = false) {
    auto copy = std::make_unique<User_Database>(*The_User_Database);
    for (const auto& [from, to] : c.renames) copy->At(copy->Find_User(from))->name = to;
    if (!c.new_current.empty()) copy->Set_Current(copy->Find_User(c.new_current));
    if (save_fails) Rename_Journal::Set_Kill_Point_Hook(nullptr);
    copy.release()->Install(0);
    if (save_fails) {
      Fail_Atomic_Write_After(0);
      Rename_Journal::Set_Kill_Point_Hook(hook);
    }
    The_User_Database->Save();
    Fail_Atomic_Write_After(-1);
    The_User_Database->Recycle_Previous_Gallery();
  }

  // The start: the user file read after the journal is carried through.
  void Restart() {
    delete The_User_Database;
    The_User_Database = nullptr;
    Boxes.clear();
    new User_Database();
  }

  // The files each user has at the start, by device and inode.
  Owned_Files Note_Files(const Rename_Case& c) {
    Owned_Files owned;
    for (const std::string& user : c.users)
      for (const char* suffix : Suffixes) owned.files[user + suffix] = Identity_Of(Dir(user + suffix));
    return owned;
  }

  // Forks a program that runs what it is given until the kill point: false
  // when it was not killed there.
  bool Killed_At(int kill, const std::function<void()>& run) {
    const pid_t child = fork();
    if (child < 0) return false;
    if (child == 0) {
      int reached = 0;
      hook = [&] {
        if (++reached == kill) _exit(0);
      };
      Rename_Journal::Set_Kill_Point_Hook(hook);
      run();
      _exit(1);
    }
    int status = 0;
    return waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
  }

  // Every user of the database read at start has her own files under her
  // name; no hidden name, no journal and no message is left.
  void Expect_Everyone_Finds_Her_Files(const Rename_Case& c, int run) {
    delete The_User_Database;
    The_User_Database = nullptr;
    new User_Database();
    const User_Database& db = *The_User_Database;
    ASSERT_EQ(db.Count(), int32_t(c.users.size()));
    for (int32_t i = 0; i < db.Count(); ++i) {
      const User& user = *db.At(i);
      const std::string& owner = c.users[size_t(user.points - 1)];
      for (const char* suffix : Suffixes)
        EXPECT_EQ(Read(Dir(user.name + suffix)), owner + suffix) << c.what << ", kill " << run << ", " << user.name;
    }
    for (const auto& entry : std::filesystem::directory_iterator(Dir()))
      EXPECT_EQ(entry.path().filename().string().rfind(".quendar-move-", 0), std::string::npos)
          << c.what << ", kill " << run << ": " << entry.path();
    EXPECT_FALSE(Has("quendar.jnl")) << c.what << ", kill " << run;
    EXPECT_TRUE(Boxes.empty()) << c.what << ", kill " << run << ": " << (Boxes.empty() ? "" : Boxes[0]);
  }

  // How many points a kill can fall at in the change, counted on a run to
  // the end.
  int Kill_Points(const Rename_Case& c, const std::string& in = "") {
    int points = 0;
    hook = [&] { ++points; };
    Rename_Journal::Set_Kill_Point_Hook(hook);
    Start(c, 0, in);
    Change_Names(c);
    Rename_Journal::Set_Kill_Point_Hook(nullptr);
    hook = nullptr;
    return points;
  }

  std::function<void()> hook;
};

TEST_F(User_Rename_Recovery_Test, AKillAtEveryPointLeavesEveryFileWithItsOwner) {
  for (const Rename_Case& c : Cases) {
    // The points where a kill can fall, counted on a run to the end.
    int points = 0;
    hook = [&] { ++points; };
    Rename_Journal::Set_Kill_Point_Hook(hook);
    Start(c, 0);
    Change_Names(c);
    Expect_Everyone_Finds_Her_Files(c, 0);
    ASSERT_GT(points, 8) << c.what;

    for (int kill = 1; kill <= points; ++kill) {
      Start(c, kill);
      const pid_t child = fork();
      ASSERT_GE(child, 0);
      if (child == 0) {
        int reached = 0;
        hook = [&] {
          if (++reached == kill) _exit(0);
        };
        Rename_Journal::Set_Kill_Point_Hook(hook);
        Change_Names(c);
        _exit(1);
      }
      int status = 0;
      ASSERT_EQ(waitpid(child, &status, 0), child);
      ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << c.what << ", kill " << kill;
      Rename_Journal::Set_Kill_Point_Hook(nullptr);
      hook = nullptr;
      Expect_Everyone_Finds_Her_Files(c, kill);
      Rename_Journal::Set_Kill_Point_Hook(hook);
    }
  }
}

TEST_F(User_Rename_Recovery_Test, AJournalThatCannotBeTrustedMovesNothingAndIsKeptAside) {
  const std::string header = "quendar rename journal 1\ndatabase none\n";
  // A folder outside the data folder, reached through a link in it.
  const std::string outside = root_ + "/outside/";
  const struct {
    const char* what;
    std::string text;
    bool with_link = false;      // ".quendar-move-1-3" leads outside
    bool with_database = false;  // a user file listing Ann, Bob and Zed; the moves go on
    bool unchanged = false;      // the journal names that file: the moves go back
  } journals[] = {
      {"a path out of the folder", header + "done 0\n-\tAnn.clr\t../Ann.clr\n"},
      {"a folder in a plain move", header + "done 0\n-\tAnn.clr\tsub/Ann.clr\n"},
      {"more moves made than listed", header + "done 2\n-\tAnn.clr\t.quendar-move-1-1\n"},
      {"a broken escape", header + "done 0\n-\tAnn.clr\tZoe\\q.clr\n"},
      {"an unknown flag", header + "done 0\nx\tAnn.clr\t.quendar-move-1-1\n"},
      {"a line cut short", header + "done 0\n-\tAnn.clr\t.quendar-move-1-1"},
      {"another header", "quendar rename journal 3\ndatabase none\ndone 0\n"},
      {"a displaced file brought back through a link", header + "done 1\nd\tZed.clr\t.quendar-move-1-3/Zed.clr\n", true},
      {"a displaced file recycled through a link", header + "done 0\nd\tZed.clr\t.quendar-move-1-3/Zed.clr\n", true,
       true},
      {"the user file moved away", header + "done 0\n-\tquendar.usr\t.quendar-move-1-1\n", false, true},
      {"another user's file moved straight to a new name", header + "done 0\n-\tAnn.clr\tZed.clr\n", false, true},
      {"a file parked under a name of the user's own", header + "done 0\n-\tAnn.clr\tZed.clr.x\n", false, true},
      {"a parked file coming out as another kind",
       header + "done 0\n-\tAnn.clr\t.quendar-move-1-1\n-\t.quendar-move-1-1\tZed.gal\n", false, true},
      {"a parked file taken out twice",
       header + "done 0\n-\tAnn.clr\t.quendar-move-1-1\n-\t.quendar-move-1-1\tZed.clr\n-\t.quendar-move-1-1\tBo.clr\n",
       false, true},
      {"a displaced file under another name", header + "done 0\nd\tAnn.clr\t.quendar-move-1-3/Bob.clr\n", false, true},
      {"a file displaced for no move", header + "done 0\nd\tAnn.clr\t.quendar-move-1-3/Ann.clr\n", false, true},
      {"a user's file given to a user who keeps her name",
       header + "done 0\n-\tAnn.clr\t.quendar-move-1-1\n-\t.quendar-move-1-1\tZed.clr\n", false, true},
      {"a user's file given to a user no one has",
       header + "done 0\n-\tAnn.clr\t.quendar-move-1-1\n-\t.quendar-move-1-1\tNobody.clr\n", false, true},
      {"a file parked and never brought out", header + "done 0\n-\tAnn.clr\t.quendar-move-7-1\n", false, true},
      {"a journal as the program writes it, its parking folder a link out of the folder",
       header + "done 2\n-\tAnn.clr\t.quendar-move-1-1\nd\tZed.clr\t.quendar-move-1-3/Zed.clr\n-\t.quendar-move-1-1\tZed.clr\n",
       true},
      {"a user's file taken back for a user who keeps her name",
       "quendar rename journal 1\ndatabase {}\ndone 2\n-\tZed.clr\t.quendar-move-1-1\n-\t.quendar-move-1-1\tAnn.clr\n",
       false, true, true},
  };
  for (const auto& journal : journals) {
    const std::string folder = root_ + "/data/" + journal.what + "/";
    std::filesystem::create_directories(folder);
    std::filesystem::create_directories(outside);
    Write(folder + "Ann.clr", "Ann");
    Write(outside + "Zed.clr", "outside");
    if (journal.with_link) std::filesystem::create_directory_symlink(outside, folder + ".quendar-move-1-3");
    if (journal.with_database) Write(folder + "quendar.usr", "users");
    std::string text = journal.text;
    if (journal.unchanged) text.replace(text.find("{}"), 2, Database_Hash(folder + "quendar.usr"));
    Write(folder + "quendar.jnl", text);
    Boxes.clear();
    const std::vector<std::string> listed = {"Ann", "Bob", "Zed"};
    Rename_Journal::Recover(folder, folder + "quendar.usr", journal.with_database ? std::optional(listed) : std::nullopt);
    EXPECT_EQ(Read(folder + "Ann.clr"), "Ann") << journal.what;
    EXPECT_EQ(Read(outside + "Zed.clr"), "outside") << journal.what;
    EXPECT_FALSE(std::filesystem::exists(folder + "Zed.clr")) << journal.what;
    EXPECT_EQ(std::filesystem::exists(folder + "quendar.usr"), journal.with_database) << journal.what;
    EXPECT_FALSE(std::filesystem::exists(root_ + "/data/Ann.clr")) << journal.what;
    EXPECT_FALSE(std::filesystem::exists(folder + "quendar.jnl")) << journal.what;
    EXPECT_TRUE(Trashed().empty()) << journal.what;
    EXPECT_EQ(Boxes.size(), 1u) << journal.what;
    if (!Boxes.empty()) {
      EXPECT_NE(Boxes[0].find("kept as " + folder + "quendar.jnl.damaged-"), std::string::npos) << Boxes[0];
    }
  }
}

// However many files would not move, one box names the first few, says
// why and where each is, and counts the rest.
TEST_F(User_Rename_Recovery_Test, FilesThatWouldNotMoveAreToldInOneBox) {
  const struct {
    int files;
    std::string box;  // after the data folder, "{}" standing for it
    bool parking_taken = false;  // the file cannot even be parked
  } cases[] = {
      {1, "WARNING: Unable to move file {}U0.clr\nAnother file has that name: the file stays as {}U0.clr.", true},
      {1, "WARNING: Unable to move file {}.quendar-move-1-0, which is V0's colour cycles, to V0.clr\nAnother file has that name: the file stays as "
          "{}.quendar-move-1-0."},
      {200, "WARNING: Unable to move 200 files of renamed users; each stays where it is:\n{}.quendar-move-1-0, which is "
            "V0's colour cycles (to be V0.clr): Another file has that name\n"},
  };
  for (const auto& c : cases) {
    const std::string folder = root_ + "/data/" + std::to_string(c.files) + "/";
    std::filesystem::create_directories(folder);
    // The user file changed since the journal began: every move is to be
    // made, and each file, once parked, finds its new name taken.
    Write(folder + "quendar.usr", "users");
    std::string text = "quendar rename journal 1\ndatabase none\ndone 0\n";
    for (int i = 0; i < c.files; ++i) {
      const std::string n = std::to_string(i);
      text += "-\tU" + n + ".clr\t.quendar-move-1-" + n + "\n-\t.quendar-move-1-" + n + "\tV" + n + ".clr\n";
      Write(folder + "U" + n + ".clr", "U");
      Write(folder + (c.parking_taken ? ".quendar-move-1-" + n : "V" + n + ".clr"), "taken");
    }
    Write(folder + "quendar.jnl", text);
    Boxes.clear();
    Rename_Journal::Recover(folder, folder + "quendar.usr", std::nullopt);
    ASSERT_EQ(Boxes.size(), 1u) << c.box;
    std::string box = c.box;
    for (size_t at = box.find("{}"); at != std::string::npos; at = box.find("{}")) box.replace(at, 2, folder);
    EXPECT_EQ(Boxes[0].substr(0, box.size()), box);
    if (c.files > 8) {
      EXPECT_NE(Boxes[0].find("\nand 192 more in " + folder.substr(0, folder.size() - 1) + "."), std::string::npos) << Boxes[0];
    }
    const std::string last = std::to_string(c.files - 1);
    EXPECT_EQ(Read(folder + (c.parking_taken ? "U" + last + ".clr" : ".quendar-move-1-" + last)), "U");
  }
}

// The user file cannot be saved after the moves, so the change is undone;
// a kill at any point of that undo, and again at any point of the undo the
// next start makes, is followed by a start that leaves every user with her
// own files (the very files, by inode) under her old name.
TEST_F(User_Rename_Recovery_Test, AnUndoCutShortAndMadeAgainMovesNoFileTwice) {
  const Rename_Case undo_cases[] = {
      {"two users swap names", {"Ann", "Bob"}, 0, {{"Ann", "Zed"}, {"Bob", "Ann"}, {"Zed", "Bob"}}, "", {}},
      {"a user takes the name of another, who gives way", {"Ann", "Bob"}, 0, {{"Bob", "Bobby"}, {"Ann", "Bob"}}, "", {}},
  };
  int run = 0;
  // Killed at a point of the undo, then (unless 0) at a point of the next
  // start's undo, then started again.
  auto cut_short_at = [&](const Rename_Case& c, int kill, int kill_again) {
    Start(c, ++run);
    const Owned_Files owned = Note_Files(c);
    const std::string what = std::string(c.what) + ", kill " + std::to_string(kill) + ", then " + std::to_string(kill_again);
    ASSERT_TRUE(Killed_At(kill, [&] { Change_Names(c, true); })) << what;
    if (kill_again > 0) {
      ASSERT_TRUE(Killed_At(kill_again, [&] { Restart(); })) << what;
    }
    Rename_Journal::Set_Kill_Point_Hook(nullptr);
    Restart();
    EXPECT_TRUE(Boxes.empty()) << what << ": " << Boxes.front();
    owned.Expect_With_Owners(*The_User_Database, c.users, what);
  };
  for (const Rename_Case& c : undo_cases) {
    int points = 0;
    hook = [&] { ++points; };
    Start(c, ++run);
    Change_Names(c, true);
    ASSERT_GT(points, 8) << c.what;
    const int undo_points = points;
    for (int kill = 1; kill <= undo_points; ++kill) cut_short_at(c, kill, 0);

    for (int kill : {undo_points / 2, undo_points - 1}) {
      // The points of the next start's undo, counted on a start to its end.
      Start(c, ++run);
      ASSERT_TRUE(Killed_At(kill, [&] { Change_Names(c, true); })) << c.what;
      int again_points = 0;
      hook = [&] { ++again_points; };
      Rename_Journal::Set_Kill_Point_Hook(hook);
      Restart();
      Rename_Journal::Set_Kill_Point_Hook(nullptr);
      ASSERT_GE(again_points, 2) << c.what << ", kill " << kill;
      for (int again = 1; again <= again_points; ++again) cut_short_at(c, kill, again);
    }
  }
}

// A journal of the first kind, which noted no file's identity, as an older
// program left it: its change is still finished or undone.
TEST_F(User_Rename_Recovery_Test, AJournalOfTheFirstKindIsStillCarriedThrough) {
  const struct {
    const char* what;
    bool took;  // the new user file was saved
  } cases[] = {{"undone", false}, {"finished", true}};
  for (const auto& c : cases) {
    const std::string folder = root_ + "/data/first-" + c.what + "/";
    std::filesystem::create_directories(folder);
    Write(folder + "quendar.usr", "users");
    Write(folder + ".quendar-move-1-1", "Ann.clr");  // parked, and noted so
    Write(folder + "Ann.gal", "Ann.gal");            // not parked yet
    const std::string hash = c.took ? "none" : Database_Hash(folder + "quendar.usr");
    Write(folder + "quendar.jnl", "quendar rename journal 1\ndatabase " + hash +
                                      "\ndone 1\n-\tAnn.clr\t.quendar-move-1-1\n-\tAnn.gal\t.quendar-move-1-2\n"
                                      "-\t.quendar-move-1-1\tAnnie.clr\n-\t.quendar-move-1-2\tAnnie.gal\n");
    Boxes.clear();
    EXPECT_TRUE(Rename_Journal::Recover(folder, folder + "quendar.usr", std::nullopt)) << c.what;
    const std::string owner = c.took ? "Annie" : "Ann";
    EXPECT_EQ(Read(folder + owner + ".clr"), "Ann.clr") << c.what;
    EXPECT_EQ(Read(folder + owner + ".gal"), "Ann.gal") << c.what;
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{owner + ".clr", owner + ".gal", "quendar.usr"})) << c.what;
    EXPECT_TRUE(Boxes.empty()) << c.what;
  }
}

// A change killed at any point, and its data folder then back as a copy
// (every file a new inode) or under another device number (the same
// inodes): the next start finds each file by its name, and every user has
// her own files under her name, nothing hidden left.
TEST_F(User_Rename_Recovery_Test, AFolderCopiedAfterAKillStillGivesEveryFileItsOwner) {
  const Rename_Case& c = Cases[0];
  const int points = Kill_Points(c);
  ASSERT_GT(points, 8);
  for (int kill = 1; kill <= points; ++kill) {
    Start(c, kill);
    ASSERT_TRUE(Killed_At(kill, [&] { Change_Names(c); })) << "kill " << kill;
    const std::string copy = root_ + "/data/copy-" + std::to_string(kill) + "/";
    std::filesystem::copy(Dir(), copy, std::filesystem::copy_options::recursive);
    std::filesystem::remove_all(Dir());
    The_User_Data.directory = copy;
    Rename_Journal::Set_Kill_Point_Hook(nullptr);
    Expect_Everyone_Finds_Her_Files(c, kill);
  }
}

// Other programs open the disk's devices and make mount namespaces all the
// while, as on a desktop: the disk is still found again as it was written.
TEST_F(User_Rename_Recovery_Test, AFolderFoundUnderAnotherDeviceAfterAKillStillGivesEveryFileItsOwner) {
  const Mount_Namespace_Maker namespaces;
  Loop_Disk disk(root_ + "/disk.img", root_ + "/disk");
  if (!disk.mounted) return disk.Not_Mounted();
  const Loop_Device_Reader prober(disk.Devices());
  const Rename_Case& c = Cases[0];
  const int points = Kill_Points(c, disk.path);
  ASSERT_GT(points, 8);
  for (int kill = 1; kill <= points; ++kill) {
    Start(c, kill, disk.path);
    ASSERT_TRUE(Killed_At(kill, [&] { Change_Names(c); })) << "kill " << kill;
    const File_Id before = Identity_Of(Dir("quendar.usr"));
    ASSERT_TRUE(disk.Mount_Under_Other_Device()) << disk.error;
    const File_Id after = Identity_Of(Dir("quendar.usr"));
    ASSERT_NE(before.device, after.device);
    ASSERT_EQ(before.inode, after.inode);
    Rename_Journal::Set_Kill_Point_Hook(nullptr);
    Expect_Everyone_Finds_Her_Files(c, kill);
  }
  EXPECT_TRUE(namespaces.Making()) << "no other program made mount namespaces beside the test (unshare -m)";
}

// A journal moved with its folder whose count of moves cannot tell which
// file is whose (an undo of a swap cut short, both files back under user
// names): nothing moves, the journal is kept aside, and the box says where
// each file is and whose it may be.
TEST_F(User_Rename_Recovery_Test, AMovedJournalThatCannotTellWhoseFileIsWhichMovesNothing) {
  const std::string folder = root_ + "/data/moved/";
  std::filesystem::create_directories(folder);
  Write(folder + "quendar.usr", "users");
  Write(folder + "Ann.clr", "Ann");
  Write(folder + "Bob.clr", "Bob");
  Write(folder + ".quendar-move-1-3", "Cy");
  // Noted under another device: none of these files is where the journal
  // says.
  Write(folder + "quendar.jnl",
        "quendar rename journal 2\ndatabase undo\ndone 6\n"
        "-\tAnn.clr\t.quendar-move-1-1\t99:1\n-\tBob.clr\t.quendar-move-1-2\t99:2\n-\tCy.clr\t.quendar-move-1-3\t99:3\n"
        "-\t.quendar-move-1-1\tBob.clr\t99:1\n-\t.quendar-move-1-2\tAnn.clr\t99:2\n-\t.quendar-move-1-3\tCid.clr\t99:3\n");
  Boxes.clear();
  EXPECT_TRUE(Rename_Journal::Recover(folder, folder + "quendar.usr", std::nullopt));
  EXPECT_EQ(Read(folder + "Ann.clr"), "Ann");
  EXPECT_EQ(Read(folder + "Bob.clr"), "Bob");
  EXPECT_EQ(Read(folder + ".quendar-move-1-3"), "Cy");
  ASSERT_EQ(Boxes.size(), 1u);
  // Only what it sees: the files are not the ones noted, for a reason it
  // cannot know.
  EXPECT_EQ(Boxes[0].find("copied"), std::string::npos) << Boxes[0];
  for (const std::string& line : {std::string("no file under its names is the very file it noted. No file moves:\n"),
                                  folder + "Ann.clr: the file of Ann.clr or of Bob.clr before the change",
                                  folder + "Bob.clr: the file of Ann.clr or of Bob.clr before the change",
                                  folder + ".quendar-move-1-3: the file of Cy.clr before the change",
                                  "kept as " + folder + "quendar.jnl.damaged-"})
    EXPECT_NE(Boxes[0].find(line), std::string::npos) << line << "\n" << Boxes[0];
  EXPECT_FALSE(std::filesystem::exists(folder + "quendar.jnl"));
}

// A journal of the program's own shape that does not agree with the disk
// is refused before any move and kept aside, so that no file is parked for
// good and the next rename is not refused for it.
TEST_F(User_Rename_Recovery_Test, AJournalThatDoesNotAgreeWithTheDiskMovesNothingAndIsKeptAside) {
  const std::string outside = root_ + "/outside/";
  std::filesystem::create_directories(outside);
  Write(outside + "secret", "outside");
  const struct {
    const char* what;
    // Steps after the header, "{Ann}", "{Bob}", "{out}" standing for the
    // identity of Ann.clr, Bob.clr and the file outside the folder.
    std::string steps;
  } journals[] = {
      {"one file on two steps",
       "-\tAnn.clr\t.quendar-move-1-1\t{Ann}\n-\tBob.clr\t.quendar-move-1-2\t{Ann}\n"
       "-\t.quendar-move-1-1\tBob.clr\t{Ann}\n-\t.quendar-move-1-2\tAnn.clr\t{Ann}\n"},
      {"a step's file outside the folder, at none of its names",
       "-\tAnn.clr\t.quendar-move-1-1\t{Ann}\n-\tBob.clr\t.quendar-move-1-2\t{out}\n"
       "-\t.quendar-move-1-1\tBob.clr\t{Ann}\n-\t.quendar-move-1-2\tAnn.clr\t{out}\n"},
      {"a parking name holding another file",
       "-\tAnn.clr\t.quendar-move-1-1\t{Ann}\n-\tBob.clr\t.quendar-move-1-9\t{Bob}\n"
       "-\t.quendar-move-1-1\tBob.clr\t{Ann}\n-\t.quendar-move-1-9\tAnn.clr\t{Bob}\n"},
  };
  int run = 0;
  for (const auto& journal : journals) {
    const std::string folder = root_ + "/data/disagree-" + std::to_string(++run) + "/";
    std::filesystem::create_directories(folder);
    Write(folder + "quendar.usr", "users");
    Write(folder + "Ann.clr", "Ann");
    Write(folder + "Bob.clr", "Bob");
    Write(folder + ".quendar-move-1-9", "someone's");
    // The outside file reached from the folder through a hard link.
    std::filesystem::create_hard_link(outside + "secret", folder + "notes");
    auto id = [&](const std::string& path) {
      const File_Id file = Identity_Of(path);
      return std::to_string(file.device) + ":" + std::to_string(file.inode);
    };
    std::string steps = journal.steps;
    for (const auto& [mark, path] : {std::pair<std::string, std::string>{"{Ann}", folder + "Ann.clr"},
                                     {"{Bob}", folder + "Bob.clr"}, {"{out}", outside + "secret"}})
      for (size_t at = steps.find(mark); at != std::string::npos; at = steps.find(mark)) steps.replace(at, mark.size(), id(path));
    // The user file changed since: the moves would go on.
    Write(folder + "quendar.jnl", "quendar rename journal 2\ndatabase none\ndone 0\n" + steps);
    Boxes.clear();
    EXPECT_TRUE(Rename_Journal::Recover(folder, folder + "quendar.usr", std::nullopt)) << journal.what;
    EXPECT_EQ(Read(folder + "Ann.clr"), "Ann") << journal.what;
    EXPECT_EQ(Read(folder + "Bob.clr"), "Bob") << journal.what;
    EXPECT_EQ(Read(folder + ".quendar-move-1-9"), "someone's") << journal.what;
    EXPECT_FALSE(std::filesystem::exists(folder + ".quendar-move-1-1")) << journal.what;
    EXPECT_FALSE(std::filesystem::exists(folder + ".quendar-move-1-2")) << journal.what;
    EXPECT_FALSE(std::filesystem::exists(folder + "quendar.jnl")) << journal.what;
    ASSERT_EQ(Boxes.size(), 1u) << journal.what;
    EXPECT_NE(Boxes[0].find("kept as " + folder + "quendar.jnl.damaged-"), std::string::npos) << Boxes[0];
    EXPECT_EQ(Boxes[0].find("tries again"), std::string::npos) << Boxes[0];
  }
}

// Ann's colour cycles cannot go back: another file took her name
// meanwhile, after the rename was refused, cut short by a kill, or made
// whole but for the user file, which could not be saved. They stay where
// they are, with the journal that knows them, across what may come before
// the obstacle goes: in the same run (unless killed) and after the next
// start, a rename (refused), a save of another change, and an OK that moves
// no file. Once the other file goes, they come home, in the same run at the
// next rename or at the next start.
TEST_F(User_Rename_Recovery_Test, AFileThatCannotGoBackComesHomeOnceTheObstacleGoes) {
  const Rename_Case ann = {"Ann renamed", {"Ann", "Bob"}, 0, {{"Ann", "Annie"}}, "", {}};
  const Rename_Case bob = {"Bob renamed", {"Ann", "Bob"}, 0, {{"Bob", "Bobby"}}, "", {}};
  const Rename_Case none = {"no one renamed", {"Ann", "Bob"}, 0, {}, "", {}};
  enum class Kept { Refused, Killed, Save_Failed };
  int run = 0;
  for (const Kept kept : {Kept::Refused, Kept::Killed, Kept::Save_Failed})
  for (const bool same_run : {true, false}) {
    const std::string what = std::string(kept == Kept::Refused  ? "refused, "
                                         : kept == Kept::Killed ? "killed, "
                                                                : "save failed, ") +
                             (same_run ? "home in the same run" : "home at the next start");
    Start(ann, ++run);
    const Owned_Files owned = Note_Files(ann);
    // Once Ann's four files are parked (the first note, then two points a
    // move), the rename is killed, or else someone's file takes the name of
    // her colour cycles and a stray the name her gallery was to have: the
    // rename stops and goes back, but for the colour cycles. With a failing
    // save, the other file comes as the undo begins.
    const int parked_point = 1 + 2 * 4;
    Boxes.clear();
    if (kept == Kept::Killed) {
      ASSERT_TRUE(Killed_At(parked_point, [&] { Change_Names(ann); })) << what;
      Rename_Journal::Set_Kill_Point_Hook(nullptr);
      Write(Dir("Ann.clr"), "obstacle");
    } else {
      int points = 0;
      hook = [&] {
        if (++points != (kept == Kept::Refused ? parked_point : 1)) return;
        Write(Dir("Ann.clr"), "obstacle");
        if (kept == Kept::Refused) Write(Dir("Annie.gal"), "stray");
      };
      Rename_Journal::Set_Kill_Point_Hook(kept == Kept::Refused ? hook : nullptr);
      Change_Names(ann, kept == Kept::Save_Failed);
      Rename_Journal::Set_Kill_Point_Hook(nullptr);
      std::filesystem::remove(Dir("Annie.gal"));
    }
    const std::string kept_at = owned.Where_Is("Ann.clr");
    ASSERT_NE(kept_at, "") << what;
    ASSERT_NE(kept_at, Dir("Ann.clr")) << what;
    ASSERT_EQ(Boxes.size(), kept == Kept::Killed ? 0u : 1u) << what;
    if (kept != Kept::Killed) {
      EXPECT_NE(Boxes[0].find("the file stays as " + kept_at), std::string::npos) << Boxes[0];
    }

    // Whatever comes before the obstacle goes leaves the journal that
    // knows where the colour cycles are.
    const auto still_kept = [&](const std::string& when) {
      // A rename is refused: the journal still has to bring them home.
      Boxes.clear();
      Change_Names(bob);
      ASSERT_EQ(The_User_Database->Find_User("Bobby"), -1) << what << ", " << when;
      ASSERT_FALSE(Boxes.empty()) << what << ", " << when;
      EXPECT_NE(Boxes.back().find("Files of an earlier change of names are not back with their owners yet"),
                std::string::npos)
          << Boxes.back();
      EXPECT_TRUE(Has("quendar.jnl")) << what << ", " << when << ": the refused rename";
      // Another change saved (so that the user file is no longer one the
      // journal noted), then an OK that moves no file.
      for (int32_t i = 0; i < The_User_Database->Count(); ++i) The_User_Database->At(i)->level = 4;
      ASSERT_TRUE(The_User_Database->Save()) << what << ", " << when;
      Change_Names(none);
      EXPECT_TRUE(Has("quendar.jnl")) << what << ", " << when << ": the OK that moves no file";
      EXPECT_EQ(owned.Where_Is("Ann.clr"), kept_at) << what << ", " << when;
    };
    if (kept != Kept::Killed) still_kept("the same run");

    // The next start cannot bring them back either, and says so, naming
    // the file in the way and what to do with it, not a retry that could not
    // help.
    Restart();
    ASSERT_EQ(Boxes.size(), 1u) << what;
    EXPECT_NE(Boxes[0].find(kept_at), std::string::npos) << Boxes[0];
    EXPECT_NE(Boxes[0].find("\nTo put each file home, close Quendar, move " + Dir("Ann.clr") +
                            " (it is in the way) out of the folder, then start Quendar again: each file goes home."),
              std::string::npos)
        << Boxes[0];
    EXPECT_EQ(Boxes[0].find("tries again"), std::string::npos) << Boxes[0];
    EXPECT_EQ(owned.Where_Is("Ann.clr"), kept_at) << what;
    EXPECT_TRUE(Has("quendar.jnl")) << what;
    // Made unchangeable, the file in the way cannot be moved out by the
    // person: the box says the administrator must make it changeable.
    if (Unmovable_File::Root()) {
      Unmovable_File fixed(Dir("Ann.clr"), Unmovable_File::Immutable);
      if (fixed.made) {
        Restart();
        ASSERT_EQ(Boxes.size(), 1u) << what;
        EXPECT_NE(Boxes[0].find("\nTo put each file home, have the administrator make " + Dir("Ann.clr") +
                                " changeable again (it was made unchangeable, and no one else can move it) and move "
                                "each one in the way out of the folder, then start Quendar again"),
                  std::string::npos)
            << Boxes[0];
        EXPECT_EQ(Boxes[0].find("close Quendar, move"), std::string::npos) << Boxes[0];
      }
    }
    still_kept("after the next start");

    // The obstacle goes.
    std::filesystem::remove(Dir("Ann.clr"));
    Boxes.clear();
    if (same_run) {
      Change_Names(bob);
      EXPECT_NE(The_User_Database->Find_User("Bobby"), -1) << what;
    } else {
      Restart();
    }
    EXPECT_TRUE(Boxes.empty()) << what << ": " << Boxes.front();
    EXPECT_FALSE(Has("quendar.jnl")) << what;
    owned.Expect_With_Owners(*The_User_Database, ann.users, what);
    EXPECT_EQ(Read(Dir("Ann.clr")), "Ann.clr") << what;
    Restart();
    EXPECT_TRUE(Boxes.empty()) << what << ": " << Boxes.front();
    owned.Expect_With_Owners(*The_User_Database, ann.users, what + ", the start after");
  }
}
