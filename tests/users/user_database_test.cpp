#include "platform/gdi/font.h"
#include "platform/system/atomic_file.h"

#include <sys/stat.h>
#include "tests/users/users_fixture.h"
#include "users/gallery_file.h"
#include "users/held_gallery_note.h"
#include "users/user_names.h"

namespace {

// Stream bytes built by hand, little-endian.
struct Bytes {
  std::vector<uint8_t> b{':', 1, 1, 0, 0};
  Bytes& Byte(uint8_t v) { return b.push_back(v), *this; }
  Bytes& Word(uint32_t v) {
    for (int i = 0; i < 4; ++i) b.push_back(uint8_t(v >> (8 * i)));
    return *this;
  }
  Bytes& Str(const std::string& s) { return Word(uint32_t(s.size())), b.insert(b.end(), s.begin(), s.end()), *this; }
  Bytes& Open(const std::string& name, uint32_t version) { return Byte('[').Str(name).Word(version); }
  Bytes& User(int32_t level, const std::string& name, uint32_t points = 0, uint32_t version = 4608) {
    Open("User", version).Word(uint32_t(level)).Str(name).Word(0x00030201).Word(0).Word(1).Word(0).Word(1);
    if (version != 1) Word(points);
    return Byte(']');
  }
};

// A database's opening and its default user.
Bytes Head(uint32_t version = 4608) { return Bytes().Open("User_Database", version).User(0, ""); }

std::vector<std::string> Names(const User_Database& db) {
  std::vector<std::string> names;
  for (const auto& user : db.users) names.push_back(user->name);
  return names;
}

}  // namespace

TEST(User_Names, OrderFollowsLettersThenSignedBytes) {
  // Added in every order of the six names, the list comes out the same.
  std::vector<std::string> names{"b", "B", "a", "_x", "Ab", "aa"};
  std::sort(names.begin(), names.end());
  do {
    User_Database db(For_Stream);
    for (const auto& name : names) {
      auto user = std::make_unique<User>();
      user->name = name;
      db.Add_User(std::move(user));
    }
    ASSERT_EQ(Names(db), (std::vector<std::string>{"_x", "Ab", "a", "aa", "B", "b"}));
  } while (std::next_permutation(names.begin(), names.end()));

  const struct {
    std::string a, b;
    int order;
  } cases[] = {
      {"\xE9", "_", -1},    // codes 128-255 before '_' (signed)
      {"\xE9", "e", -1},    // and never letters
      {"9", "A", -1},       // a non-letter before a letter
      {"Ann", "Anna", -1},  // a prefix first
      {"anna", "ANN", 1},
      {"Comet", "Comet", 0},
      {"zeta", "Zeta", 1},  // the same letter: upper case first
  };
  for (const auto& c : cases) EXPECT_EQ(Compare_User_Names(c.a, c.b), c.order) << c.a << " " << c.b;
}

TEST(User_Names, SafeNamesAndOneCaseFold) {
  for (const char* bad : {"a/b", "..", ".", "tab\tname", "ANONYMOUS", "anonymous",
                          "1234567890123456789012345678901234567890"})
    EXPECT_NE(User_Name_Problem(bad), nullptr) << bad;
  for (const char* good : {"Ann", "...", "J\xE9r\xF4me", "a.b", "Sample"})
    EXPECT_EQ(User_Name_Problem(good), nullptr) << good;
  EXPECT_TRUE(Same_Name_Ignoring_Case("\xC9LODIE", "\xE9lodie"));
  EXPECT_FALSE(Same_Name_Ignoring_Case("Ann", "Anna"));
}

using User_Database_Test = Users_Test;

TEST_F(User_Database_Test, FirstStartListsSampleWithTheDefaultUserCurrent) {
  auto* db = new User_Database();
  EXPECT_EQ(The_User_Database, db);
  EXPECT_EQ(Names(*db), std::vector<std::string>{"Sample"});
  EXPECT_EQ(db->current_user, &db->default_user);
  EXPECT_TRUE(The_User_Data.show_help_at_start);
  EXPECT_EQ(db->current_user->File_Path("man"), Dir("Anonymous, level 1.man"));
  EXPECT_EQ(db->Find_User("SAMPLE"), 0);
}

TEST_F(User_Database_Test, FilePathsFollowTheNameAndLevel) {
  User comet(3, "Comet");
  EXPECT_EQ(comet.File_Path("man"), Dir("Comet, level 4.man"));
  EXPECT_EQ(comet.File_Path("man", 0), Dir("Comet, level 1.man"));
  EXPECT_EQ(comet.File_Path("MAN"), Dir("Comet.MAN"));
  EXPECT_EQ(comet.File_Path("gal"), Dir("Comet.gal"));
  comet.name = "J\xE9r\xF4me";
  EXPECT_EQ(comet.File_Path("clr"), Dir("J\xC3\xA9r\xC3\xB4me.clr"));
  comet.name = "../up";
  EXPECT_EQ(comet.File_Path("clr"), "");
  // A new user's flags come from the files there.
  Write(Dir("Maple.clr"), "x");
  Write(Dir("Maple, level 5.man"), "x");
  User maple(0, "Maple");
  EXPECT_TRUE(maple.has_color_file && maple.has_level5_manipulators && !maple.has_level4_manipulators);
  EXPECT_EQ(maple.color, colors.Scheme[1]);
}

TEST_F(User_Database_Test, SavesTheStoredLayoutAndReadsItBackByteForByte) {
  User_Database db(For_Stream);
  auto ab = std::make_unique<User>(2, "Ab");
  ab->color = TColor(1, 2, 3);
  ab->points = 7;
  ab->has_color_file = false;
  db.Add_User(std::move(ab));
  db.Set_Current(0);
  ASSERT_TRUE(db.Save());
  Bytes expected;
  expected.Open("User_Database", 4608);
  expected.Open("User", 4608).Word(0).Str("").Word(0).Word(0).Word(0).Word(0).Word(0).Word(0).Byte(']');
  expected.Word(1).Open("User", 4608).Word(2).Str("Ab").Word(0x030201).Word(0).Word(0).Word(0).Word(0).Word(7).Byte(']');
  expected.Word(0).Byte(']');
  const std::string file = Read(User_Database::File_Path());
  EXPECT_EQ(std::vector<uint8_t>(file.begin(), file.end()), expected.b);

  // With a font, flags and a palette-index colour (stored as its RGB), the
  // file read and written again is the same file.
  db.At(0)->font = std::make_shared<TFont>("Times New Roman", -24);
  db.At(0)->has_level5_manipulators = true;
  db.At(0)->color = colors.Scheme[1].Is_Rgb() ? TColor::Palette_Index(3) : colors.Scheme[1];
  ASSERT_TRUE(db.Save());
  const std::string first = Read(User_Database::File_Path());
  User_Database again(For_Stream);
  ASSERT_TRUE(again.Read_File());
  ASSERT_EQ(again.Count(), 1);
  EXPECT_EQ(again.current_user, again.At(0));
  EXPECT_EQ(again.At(0)->font->Font_Spec().face_name, "Times New Roman");
  EXPECT_EQ(again.At(0)->color, Palette_Color_To_RGB(db.At(0)->color, *colors.Palette));
  ASSERT_TRUE(again.Save());
  EXPECT_EQ(Read(User_Database::File_Path()), first);
}

TEST_F(User_Database_Test, DamagedFilesGiveTheUsersReadWholeAndAWarning) {
  const struct {
    const char* what;
    Bytes file;
    std::vector<std::string> names;
    int32_t current, first_level, first_points;
    bool damaged, help;
  } cases[] = {
      {"version 1 user, old database", Head(7).Word(1).User(2, "Ann", 0, 1).Word(0).Byte(']'), {"Ann"}, 0, 2, 0, false, true},
      {"level out of range", Head().Word(2).User(5, "A", 5).User(-1, "B").Word(1).Byte(']'), {"A", "B"}, 1, 0, 5, false, false},
      {"index equal to the count", Head().Word(1).User(1, "A").Word(1).Byte(']'), {"A"}, -1, 1, 0, false, false},
      {"negative index", Head().Word(1).User(1, "A").Word(-5).Byte(']'), {"A"}, -1, 1, 0, false, false},
      {"huge count", Head().Word(0x7FFFFFFF).User(1, "A").Word(0).Byte(']'), {"A"}, -1, 1, 0, true, false},
      {"negative count", Head().Word(-1).Word(0).Byte(']'), {}, -1, 0, 0, true, false},
      {"name longer than the file", Head().Word(2).User(1, "A").Open("User", 4608).Word(1).Word(0xFFFFFFFE), {"A"}, -1, 1, 0, true, false},
      {"another class", Head().Word(1).Open("Usr", 4608), {}, -1, 0, 0, true, false},
      {"null name: the empty text", Head().Word(1).Open("User", 4608).Word(3).Word(0xFFFFFFFF).Word(0).Word(0).Word(0).Word(0)
           .Word(0).Word(0).Byte(']').Word(-1).Byte(']'), {""}, -1, 3, 0, false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Write(User_Database::File_Path(), std::string(c.file.b.begin(), c.file.b.end()));
    Boxes.clear();
    delete The_User_Database;
    auto* db = new User_Database();
    EXPECT_EQ(Names(*db), c.names);
    EXPECT_EQ(db->current_index, c.current);
    EXPECT_EQ(db->current_user, c.current < 0 ? &db->default_user : db->At(c.current));
    if (!c.names.empty()) {
      EXPECT_EQ(std::pair(db->At(0)->level, db->At(0)->points), std::pair(c.first_level, c.first_points));
    }
    EXPECT_EQ(Boxes.size(), c.damaged ? 1u : 0u);
    EXPECT_EQ(The_User_Data.show_help_at_start, c.help);
  }
}

// A user file not read whole is never saved over: one that could be
// opened goes aside whole before the next save and the message says where;
// one that could not stays as it is and no save touches it.
TEST_F(User_Database_Test, AFileNotReadWholeIsKeptAsideOrLeftAlone) {
  const std::string path = User_Database::File_Path();
  const Bytes damaged = Head().Word(3).User(1, "Ann").User(2, "Bob");
  const std::string damaged_text(damaged.b.begin(), damaged.b.end());
  const std::string huge = damaged_text + std::string(User_Database::Largest_File, 'x');
  const struct {
    const char* what;
    const std::string& text;
    mode_t mode;
    std::string reason, outcome;
    std::vector<std::string> names;
  } cases[] = {
      {"damaged", damaged_text, 0644, "The file is damaged", "the 2 users read whole are listed, and the file is kept as ",
       {"Ann", "Bob"}},
      {"too large", huge, 0644, "The file is too large", "the program runs without the users in it, and the file is kept as ", {}},
      {"unreadable", damaged_text, 0200, "You have no permission to read the file",
       "the program runs without the users in it and will not change the file", {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove_all(Dir());
    std::filesystem::create_directories(Dir());
    Write(path, c.text);
    chmod(path.c_str(), c.mode);
    Boxes.clear();
    delete The_User_Database;
    {
      Ordinary_User_Scope ordinary(root_);
      auto* db = new User_Database();
      EXPECT_EQ(Names(*db), c.names);
      db->Add_User(std::make_unique<User>(0, "Cal"));
      EXPECT_EQ(db->Save(), c.mode != 0200);
    }
    std::vector<std::string> aside;
    for (const auto& entry : std::filesystem::directory_iterator(Dir()))
      if (entry.path().filename().string().rfind("quendar.usr.damaged-", 0) == 0) aside.push_back(entry.path());
    if (c.mode == 0200) {
      EXPECT_TRUE(aside.empty());
      chmod(path.c_str(), 0600);  // readable to the test, whoever runs it
      EXPECT_EQ(Read(path), c.text);  // never replaced
      EXPECT_EQ(Boxes, std::vector<std::string>{"WARNING: Unable to read file " + path + "\n" + c.reason + ": " +
                                                c.outcome + "."});
    } else {
      ASSERT_EQ(aside.size(), 1u);
      EXPECT_EQ(Read(aside[0]), c.text);
      EXPECT_EQ(Boxes, std::vector<std::string>{"WARNING: Unable to read file " + path + "\n" + c.reason + ": " +
                                                c.outcome + aside[0] + "."});
      // The save made a new file of the users listed.
      User_Database again(For_Stream);
      ASSERT_TRUE(again.Read_File());
      std::vector<std::string> names = c.names;
      names.push_back("Cal");
      EXPECT_EQ(Names(again), names);
    }
  }
}

// A user file that is a link stays a link: the save replaces the file it
// names.
TEST_F(User_Database_Test, ALinkedUserFileIsWrittenThrough) {
  const std::string real = root_ + "/elsewhere/users.usr";
  User_Database first(For_Stream);
  first.Add_User(std::make_unique<User>(1, "Ann"));
  ASSERT_TRUE(first.Save());
  std::filesystem::create_directories(root_ + "/elsewhere");
  std::filesystem::rename(User_Database::File_Path(), real);
  std::filesystem::create_symlink("../../elsewhere/users.usr", User_Database::File_Path());
  auto* db = new User_Database();
  ASSERT_EQ(Names(*db), std::vector<std::string>{"Ann"});
  db->Add_User(std::make_unique<User>(2, "Bob"));
  ASSERT_TRUE(db->Save());
  EXPECT_TRUE(std::filesystem::is_symlink(User_Database::File_Path()));
  User_Database again(For_Stream);
  ASSERT_TRUE(again.Read_File());
  EXPECT_EQ(Names(again), (std::vector<std::string>{"Ann", "Bob"}));
  EXPECT_TRUE(Boxes.empty());
}

// Start-up clears what killed saves left and nothing else, and puts back a
// gallery a killed save held aside (another program's file under such a
// name stays); a default user
// the file did not give is a new user in scheme colour 1.
TEST_F(User_Database_Test, StartClearsLeftoversAndANewDefaultUserHasColourOne) {
  Write(Dir("quendar.usr.Ab12Cd"), "half a save");
  Write(Dir("Ann.clr.000000"), "half a save");
  Write(Dir("Ann.clr"), "kept");
  // An empty gallery as a save writes it: the end marker and 8 bytes,
  // noted beside it. Only the noted file is a held gallery: the same bytes
  // unnoted, or noted for another file, are another program's.
  const std::string empty_gallery(Gallery_File::End_Size, '\0');
  Held_Gallery_Note::File noted;
  for (const char* name : {".saving-Ann.gal", ".saving-Cy.gal", ".saving-Dee.gal"}) Write(Dir(name), empty_gallery);
  ASSERT_TRUE(Held_Gallery_Note::Of_Name(Dir(".saving-Ann.gal"), noted));
  ASSERT_TRUE(Held_Gallery_Note::Note(Dir(".saving-Ann.gal"), {noted}));
  ASSERT_TRUE(Held_Gallery_Note::Note(Dir(".saving-Dee.gal"), {noted}));
  Write(Dir(".saving-Bob.gal"), "another program's notes");
  auto* db = new User_Database();
  EXPECT_FALSE(Has("quendar.usr.Ab12Cd") || Has("Ann.clr.000000") || Has(".saving-Ann.gal") ||
               Has(".saving-Ann.gal.id"));
  EXPECT_TRUE(Has("Ann.clr") && Has("Ann.gal"));
  EXPECT_TRUE(Has(".saving-Bob.gal") && !Has("Bob.gal"));
  EXPECT_TRUE(Has(".saving-Cy.gal") && !Has("Cy.gal") && Has(".saving-Dee.gal") && !Has("Dee.gal"));
  EXPECT_EQ(db->default_user.color, colors.Scheme[1]);
  EXPECT_NE(colors.Scheme[1], TColor());

  // Nothing, a default user cut before its fields, one cut after its colour.
  std::vector<Bytes> files(3);
  files[1].Open("User_Database", 4608).Byte('[');
  files[2].Open("User_Database", 4608).Open("User", 4608).Word(2).Str("X").Word(0x00030201);
  for (const Bytes& file : files) {
    Write(User_Database::File_Path(), std::string(file.b.begin(), file.b.end()));
    delete The_User_Database;
    db = new User_Database();
    EXPECT_EQ(db->default_user.color, colors.Scheme[1]);
    EXPECT_EQ(db->current_user, &db->default_user);
  }
}

TEST_F(User_Database_Test, AFileCutAtEveryByteKeepsTheWholeUsersBeforeTheCut) {
  User_Database full(For_Stream);
  for (const char* name : {"Ann", "Bob", "Comet"}) {
    auto user = std::make_unique<User>(2, name);
    user->font = std::make_shared<TFont>("Arial", 20);
    user->points = 100;
    full.Add_User(std::move(user));
  }
  full.Set_Current(2);
  ASSERT_TRUE(full.Save());
  const std::string whole = Read(User_Database::File_Path());
  for (size_t cut = 0; cut < whole.size(); ++cut) {
    Write(User_Database::File_Path(), whole.substr(0, cut));
    User_Database db(For_Stream);
    ASSERT_FALSE(db.Read_File()) << cut;
    ASSERT_LE(db.Count(), 3);
    for (int32_t i = 0; i < db.Count(); ++i) {
      ASSERT_EQ(db.At(i)->name, full.At(i)->name) << cut;
      ASSERT_EQ(db.At(i)->points, 100);
    }
    // The stored index holds only once every user is in.
    ASSERT_EQ(db.current_user, db.current_index == 2 && db.Count() == 3 ? db.At(2) : &db.default_user) << cut;
  }
}

TEST_F(User_Database_Test, AFailedSaveKeepsTheOldFileAndSaysSo) {
  User_Database db(For_Stream);
  db.Add_User(std::make_unique<User>(0, "Ann"));
  ASSERT_TRUE(db.Save());
  const std::string old = Read(User_Database::File_Path());
  db.Add_User(std::make_unique<User>(0, "Bob"));
  for (int64_t budget : {int64_t(0), int64_t(20)}) {
    Fail_Atomic_Write_After(budget);
    EXPECT_FALSE(db.Save());
    Fail_Atomic_Write_After(-1);
    EXPECT_EQ(Read(User_Database::File_Path()), old);
  }
  EXPECT_EQ(Boxes, std::vector<std::string>(2, "WARNING: Unable to write file " + User_Database::File_Path() +
                                                  "\nThe disk is full: the changes to the users are not saved."));

  // Not writable: nothing written, nothing said.
  The_User_Data.writable = false;
  EXPECT_FALSE(db.Save());
  EXPECT_EQ(Read(User_Database::File_Path()), old);
  EXPECT_EQ(Boxes.size(), 2u);
}

// A user added before the current user, or at its very place, moves the
// current index along; one added after it, or with the default user
// current, does not.
TEST_F(User_Database_Test, AddingAUserAtOrBeforeTheCurrentUserMovesItsIndex) {
  const struct {
    const char* added;
    int32_t current_before, place, current_after;
  } cases[] = {
      {"Ann", 1, 0, 2},  // before
      {"Cal", 1, 1, 2},  // at the current user's place
      {"Eve", 1, 2, 1},  // after
      {"Cal", 0, 1, 0},  // after, the first user current
      {"Ann", -1, 0, -1},  // the default user current
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.added + std::string(" with ") + std::to_string(c.current_before));
    User_Database db(For_Stream);
    for (const char* name : {"Bob", "Dan"}) db.Add_User(std::make_unique<User>(0, name));
    db.Set_Current(c.current_before);
    User* const current = db.current_user;
    EXPECT_EQ(db.Add_User(std::make_unique<User>(0, c.added)), c.place);
    EXPECT_EQ(db.current_index, c.current_after);
    EXPECT_EQ(db.current_user, current);
    EXPECT_EQ(db.current_user, c.current_after < 0 ? &db.default_user : db.At(c.current_after));
  }
}

TEST_F(User_Database_Test, AddRemoveAndResortKeepTheCurrentUser) {
  User_Database db(For_Stream);
  for (const char* name : {"Bob", "Dan"}) db.Add_User(std::make_unique<User>(0, name));
  db.Set_Current(1);
  User* dan = db.current_user;
  EXPECT_EQ(db.Add_User(std::make_unique<User>(0, "Ann")), 0);
  EXPECT_EQ(db.current_user, dan);
  EXPECT_EQ(db.current_index, 2);
  EXPECT_EQ(db.Remove_User(-1), nullptr);
  EXPECT_EQ(db.Remove_User(3), nullptr);
  dan->name = "Al";
  EXPECT_EQ(db.Resort_User(2), 0);
  EXPECT_EQ(db.current_index, 0);
  EXPECT_EQ(db.Remove_User(0).get() != nullptr, true);
  EXPECT_EQ(db.current_user, &db.default_user);
  EXPECT_EQ(db.current_index, -1);
  // The copy points back at its records and starts with no previous user.
  db.Set_Current(1);
  User_Database copy(db);
  EXPECT_EQ(copy.current_index, 1);
  EXPECT_EQ(copy.At(1)->source_record, db.At(1));
  EXPECT_EQ(copy.default_user.source_record, &db.default_user);
  EXPECT_EQ(copy.previous_user_record, nullptr);
}
