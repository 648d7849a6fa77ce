#include "tests/users/users_fixture.h"

namespace {

// The four files of a user, each holding its owner's name.
void Give_Files(const std::string& owner, const std::string& content) {
  for (const char* suffix : {".gal", ", level 4.man", ", level 5.man", ".clr"})
    Temp_Home::Write(The_User_Data.directory + owner + suffix, content + suffix);
}

}  // namespace

class User_Install_Test : public Users_Test {
 protected:
  // An installed database of the named users, the one at current current,
  // each with its four files, and the dialog's copy of it.
  void Start(std::vector<std::string> names, int32_t current) {
    auto* installed = new User_Database(For_Stream);
    The_User_Database = installed;
    for (const auto& name : names) {
      Give_Files(name, name);
      installed->Add_User(std::make_unique<User>(3, name.c_str()));
    }
    installed->Set_Current(current);
    copy = std::make_unique<User_Database>(*installed);
  }
  User& In_Copy(const std::string& name) { return *copy->At(copy->Find_User(name)); }
  // The user whose files these now are (the content names the first owner).
  std::string Owner_Of(const std::string& file) { return Has(file) ? Read(Dir(file)) : "missing"; }
  // The copy installs itself in the old one's place.
  void Install() { copy.release()->Install(0); }

  std::unique_ptr<User_Database> copy;
};

TEST_F(User_Install_Test, RenamedUsersTakeTheirFilesAlongEvenWhenTheySwapNames) {
  Start({"A", "B", "C"}, 2);
  In_Copy("A").name = "X";  // A -> X -> B, B -> A, through a name no one keeps
  In_Copy("B").name = "A";
  In_Copy("X").name = "B";
  Install();
  for (const char* suffix : {".gal", ", level 4.man", ", level 5.man", ".clr"}) {
    EXPECT_EQ(Owner_Of(std::string("A") + suffix), std::string("B") + suffix);
    EXPECT_EQ(Owner_Of(std::string("B") + suffix), std::string("A") + suffix);
  }
  EXPECT_TRUE(Trashed().empty());
  EXPECT_TRUE(Boxes.empty());
  // The dialog's test follows the current user's record to the previous user.
  EXPECT_EQ(The_User_Database->previous_user_record, The_User_Database->current_user);
  EXPECT_EQ(The_User_Database->previous_user.source_record, nullptr);
}

TEST_F(User_Install_Test, ARemovedNameTakenByARenamedUserKeepsTheRenamedFiles) {
  Start({"Comet", "Maple", "Zed"}, 2);
  copy->Remove_User(copy->Find_User("Maple"));
  In_Copy("Comet").name = "Maple";
  copy->Resort_User(0);
  Answer = IDYES;
  Install();
  EXPECT_EQ(Boxes, std::vector<std::string>{"User Database Update: Maple has been removed,\n Recycle associated disk files?"});
  EXPECT_EQ(Owner_Of("Maple.gal"), "Comet.gal");
  EXPECT_EQ(Owner_Of("Maple.clr"), "Comet.clr");
  EXPECT_FALSE(Has("Comet.clr"));
  EXPECT_EQ(Trashed().size(), 4u);  // Maple's own four
}

TEST_F(User_Install_Test, RemovedUsersAreAskedAboutOnlyWhenTheyHaveFiles) {
  Start({"Ann", "Bob", "Cid"}, 0);
  for (const char* file : {"Bob.gal", "Bob, level 4.man", "Bob, level 5.man", "Cid.gal", "Cid, level 4.man",
                           "Cid, level 5.man", "Cid.clr"})
    std::filesystem::remove(Dir(file));
  for (int32_t i : {2, 1, 0}) copy->Remove_User(i);  // 0: the current user
  Answer = IDYES;
  Install();
  EXPECT_EQ(Boxes.size(), 2u);  // Ann and Bob, not Cid
  EXPECT_FALSE(Has("Bob.clr"));
  // The current user's gallery waits for the gallery to let it go.
  EXPECT_TRUE(Has("Ann.gal"));
  EXPECT_FALSE(Has("Ann.clr"));
  EXPECT_TRUE(The_User_Database->previous_user_removed);
  EXPECT_EQ(The_User_Database->previous_user_record, nullptr);
  The_User_Database->Recycle_Previous_Gallery();
  EXPECT_FALSE(Has("Ann.gal"));
  EXPECT_FALSE(The_User_Database->previous_user_removed);
}

TEST_F(User_Install_Test, NoKeepsTheFilesForAUserAddedAgainUnderTheName) {
  Start({"Ann", "Bob"}, 1);
  copy->Remove_User(0);
  copy->Add_User(std::make_unique<User>(0, "ann"));
  Answer = IDNO;
  Install();
  EXPECT_EQ(Boxes.size(), 1u);
  EXPECT_TRUE(Trashed().empty());
  EXPECT_EQ(Owner_Of("Ann.clr"), "Ann.clr");
}

TEST_F(User_Install_Test, TheCurrentUsersGalleryMovesWithHerOtherFiles) {
  // Current A renamed to Z while B takes the name A: A.gal, open in the
  // gallery, moves with A's other files, and B's takes its name at once.
  Start({"A", "B"}, 0);
  In_Copy("A").name = "Z";
  copy->Resort_User(0);
  In_Copy("B").name = "A";
  copy->Resort_User(0);
  copy->Set_Current(copy->Find_User("A"));  // the former B becomes current
  Install();
  EXPECT_EQ(Owner_Of("Z.clr"), "A.clr");
  EXPECT_EQ(Owner_Of("A.clr"), "B.clr");
  EXPECT_EQ(Owner_Of("Z.gal"), "A.gal");
  EXPECT_EQ(Owner_Of("A.gal"), "B.gal");
  EXPECT_FALSE(Has("B.gal"));
  The_User_Database->Recycle_Previous_Gallery();
  EXPECT_EQ(Owner_Of("A.gal"), "B.gal");
  EXPECT_TRUE(Trashed().empty());
}

TEST_F(User_Install_Test, RenamingTheCurrentUserOrItsCaseMovesHerFiles) {
  Start({"comet", "Maple"}, 0);
  In_Copy("comet").name = "Comet";
  In_Copy("Maple").name = "Birch";
  Write(Dir("Birch.gal"), "stray");
  Install();
  EXPECT_EQ(Owner_Of("Comet.clr"), "comet.clr");
  EXPECT_EQ(Owner_Of("Comet, level 4.man"), "comet, level 4.man");
  EXPECT_EQ(Owner_Of("Comet.gal"), "comet.gal");
  EXPECT_EQ(Owner_Of("Birch.gal"), "Maple.gal");
  // The stray under Birch's name goes to the recycle bin, under its name,
  // once the new names are saved and every move is made.
  EXPECT_TRUE(Trashed().empty());
  The_User_Database->Save();
  The_User_Database->Recycle_Previous_Gallery();
  EXPECT_EQ(Trashed(), std::vector<std::string>{"Birch.gal"});
  EXPECT_FALSE(Has("quendar.jnl"));
}

TEST_F(User_Install_Test, PointsWonWhileTheDialogWasOpenAreKept) {
  Start({"Ann"}, 0);
  The_User_Database->At(0)->points = 40;
  The_User_Database->At(0)->has_level4_manipulators = true;
  In_Copy("Ann").level = 1;
  Install();
  EXPECT_EQ(The_User_Database->At(0)->points, 40);
  EXPECT_TRUE(The_User_Database->At(0)->has_level4_manipulators);
  EXPECT_EQ(The_User_Database->At(0)->level, 1);
}

TEST_F(User_Install_Test, NothingMovesWhenTheUserDataCannotBeWritten) {
  Start({"Ann", "Bob"}, 0);
  In_Copy("Ann").name = "Zoe";
  copy->Remove_User(copy->Find_User("Bob"));
  The_User_Data.writable = false;
  Install();
  EXPECT_TRUE(Has("Ann.clr") && Has("Bob.clr") && !Has("Zoe.clr"));
  EXPECT_TRUE(Boxes.empty());
  EXPECT_EQ(The_User_Database->At(0)->name, "Zoe");
}

TEST_F(User_Install_Test, ARemovedCurrentUsersNameTakenByAnotherKeepsTheOthersGallery) {
  // A, current, is removed (Yes) while B takes her name and C becomes
  // current: A's gallery goes to the recycle bin, B's under the name A stays.
  Start({"A", "B", "C"}, 0);
  copy->Remove_User(copy->Find_User("A"));
  In_Copy("B").name = "A";
  copy->Resort_User(copy->Find_User("A"));
  copy->Set_Current(copy->Find_User("C"));
  Answer = IDYES;
  Install();
  The_User_Database->Save();
  The_User_Database->Recycle_Previous_Gallery();
  EXPECT_EQ(Owner_Of("A.gal"), "B.gal");
  EXPECT_EQ(Owner_Of("A.clr"), "B.clr");
  EXPECT_EQ(Trashed(), (std::vector<std::string>{"A, level 4.man", "A, level 5.man", "A.clr", "A.gal"}));
  EXPECT_FALSE(Has("quendar.jnl"));
}
