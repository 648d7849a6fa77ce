// Saving, reopening, reverting, parking and renaming the gallery, files that
// cannot be read whole, a full disk, and a saver killed at any instant.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <random>
#include <set>

#include "gallery/preparer_thread.h"
#include "tests/gallery/gallery_store_fixture.h"
#include "platform/system/file_system.h"
#include "toolkit/mapped_file.h"
#include "users/user_database.h"

namespace {

using Place = Drawing_Place;

constexpr Place Cell(int32_t row, int32_t column) { return Place{Place::Grid, row, column}; }
constexpr Place Slot(int32_t slot) { return Place{Place::Slot, slot, 0}; }

class Gallery_Save_Test : public Gallery_Store_Test {
 protected:
  // Saves drawings seed at cells (0, seed) for each seed.
  void Save_Gallery(std::initializer_list<int> seeds) {
    Drawing_Collection store(ann);
    for (int seed : seeds) ASSERT_TRUE(Add_At(store, Drawing(seed), 0, seed));
    store.Save(ann, HWND());
  }
  size_t Records() const {
    const std::vector<uint8_t> bytes = File_Bytes();
    return Gallery_File::Scan(bytes.data(), bytes.size()).records.size();
  }
};

// Writes beyond limit bytes fail as on a full disk while it lives.
class File_Size_Limit {
 public:
  explicit File_Size_Limit(rlim_t limit) {
    getrlimit(RLIMIT_FSIZE, &saved);
    old_handler = signal(SIGXFSZ, SIG_IGN);
    rlimit now = saved;
    now.rlim_cur = limit;
    setrlimit(RLIMIT_FSIZE, &now);
  }
  ~File_Size_Limit() {
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, old_handler);
  }

 private:
  rlimit saved{};
  sighandler_t old_handler;
};

TEST_F(Gallery_Save_Test, RoundTripsAtEveryPictureSize) {
  Save_Gallery({1, 5, 11});
  EXPECT_FALSE(Boxes.size());
  Drawing_Collection store(ann);
  const Drawing_Collection::Bounding_Box box = store.Box();
  EXPECT_EQ((std::vector<int32_t>{box.left, box.top, box.right, box.bottom}), (std::vector<int32_t>{1, 0, 11, 0}));
  Wait_Until_Ready(store);
  for (int seed : {1, 5, 11}) {
    EXPECT_TRUE(Shows(store, Cell(0, seed), seed));
    auto full = Drawing(seed);
    Shape_Drawing reduced(S() / 3, S() / 3, nullptr, TColor(255, 255, 255));
    reduced.Shrink_From(*full, 3);
    for (int32_t size = 1; size < Picture_Size_Count; ++size) {
      Shape_Drawing* picture = store.Picture(Cell(0, seed), Picture_Size(size), 0, HWND());
      ASSERT_NE(picture, nullptr);
      EXPECT_EQ(picture->Width(), Drawing_Collection::Picture_Side(Picture_Size(size)));
      if (size == 1) {
        EXPECT_TRUE(picture->Same_Pixels(reduced));
      }
    }
  }
}

TEST_F(Gallery_Save_Test, AGallerySavedOnAnotherScreenIsScaled) {
  Save_Gallery({2});
  Drawing_Collection::Release_Statics();
  auto saved = Drawing(2);
  GUI_Sizes larger(1024, 768);  // S 576 instead of 360
  {
    Drawing_Collection store(ann);
    Shape_Drawing* full = store.Picture(Cell(0, 2), Full_Picture_Size, 0, HWND());
    ASSERT_NE(full, nullptr);
    ASSERT_EQ(full->Width(), 576);
    Shape_Drawing expected(576, 576, nullptr, TColor(255, 255, 255));
    expected.Copy_Scaled(*saved);
    EXPECT_TRUE(full->Same_Pixels(expected));
    Shape_Drawing* small = store.Picture(Cell(0, 2), Twelfth_Picture_Size, 10000, HWND());
    ASSERT_NE(small, nullptr);
    EXPECT_EQ(small->Width(), 576 / 3 / 4);
  }
  Drawing_Collection::Release_Statics();
}

TEST_F(Gallery_Save_Test, SaveCases) {
  // The first save creates the file.
  EXPECT_FALSE(File_Exists(Gallery_Path()));
  Save_Gallery({1, 2});
  ASSERT_EQ(Records(), 2u);
  // Nothing changed: not a byte is written.
  const std::vector<uint8_t> before = File_Bytes();
  {
    Drawing_Collection store(ann);
    store.Save(ann, HWND());
  }
  EXPECT_EQ(File_Bytes(), before);
  // A new drawing is appended behind the records kept as they were.
  {
    Drawing_Collection store(ann);
    ASSERT_TRUE(Add_At(store, Drawing(3), 4, 4));
    store.Save(ann, HWND());
  }
  const std::vector<uint8_t> after = File_Bytes();
  const size_t kept = before.size() - Gallery_File::End_Size;
  ASSERT_GT(after.size(), before.size());
  EXPECT_TRUE(std::equal(before.begin() + 4, before.begin() + kept, after.begin() + 4));
  // Exchanged cells and a drawing in the bin: the kept records in file order.
  {
    Drawing_Collection store(ann);
    EXPECT_TRUE(Shows(store, Cell(4, 4), 3));
    ASSERT_TRUE(store.Move(Cell(0, 2), Cell(0, 1)));
    ASSERT_TRUE(store.Move(Place{Place::Bin, 0, 0}, Cell(4, 4)));
    store.Save(ann, HWND());
  }
  {
    Drawing_Collection store(ann);
    EXPECT_TRUE(Shows(store, Cell(0, 2), 1));
    EXPECT_TRUE(Shows(store, Cell(0, 1), 2));
    EXPECT_EQ(store.State(Cell(4, 4)), 0);
    EXPECT_EQ(Records(), 2u);
    // Everything into the bin: the file goes.
    ASSERT_TRUE(store.Move(Place{Place::Bin, 0, 0}, Cell(0, 1)));
    ASSERT_TRUE(store.Move(Place{Place::Bin, 0, 0}, Cell(0, 2)));
    store.Save(ann, HWND());
  }
  EXPECT_FALSE(File_Exists(Gallery_Path()));
  Drawing_Collection store(ann);
  EXPECT_EQ(store.Box().left, -1);
  EXPECT_TRUE(Boxes.empty());
}

// Appending links the new records in last: stopped just before, the file
// still reads as the old gallery, whole.
TEST_F(Gallery_Save_Test, AnAppendStoppedBeforeItsLinkLeavesTheOldGallery) {
  Save_Gallery({1, 2});
  const std::vector<uint8_t> before = File_Bytes();
  {
    Drawing_Collection store(ann);
    ASSERT_TRUE(Add_At(store, Drawing(3), 4, 4));
    Drawing_Collection::Stop_Appending_Before_Link(true);
    store.Save(ann, HWND());
    Drawing_Collection::Stop_Appending_Before_Link(false);
  }
  const std::vector<uint8_t> after = File_Bytes();
  ASSERT_GT(after.size(), before.size());
  EXPECT_TRUE(std::equal(before.begin(), before.end() - Gallery_File::End_Size, after.begin()));
  const Gallery_File::Contents contents = Gallery_File::Scan(after.data(), after.size());
  EXPECT_TRUE(contents.whole);
  EXPECT_EQ(contents.records.size(), 2u);
  Drawing_Collection store(ann);
  EXPECT_EQ(store.State(Cell(4, 4)), 0);
  EXPECT_TRUE(Shows(store, Cell(0, 2), 2));
}

// Two records for one cell: the later takes it, at opening and on Revert,
// and the earlier goes at the next save.
TEST_F(Gallery_Save_Test, TheLaterOfTwoRecordsForACellWins) {
  Save_Gallery({1, 2});
  std::vector<uint8_t> bytes = File_Bytes();
  Gallery_File::Write_U32(bytes.data() + Gallery_File::Read_U32(bytes.data()) + 8, 1);  // 2 to column 1
  Write(Gallery_Path(), std::string(bytes.begin(), bytes.end()));
  Drawing_Collection store(ann);
  EXPECT_TRUE(Shows(store, Cell(0, 1), 2));
  ASSERT_TRUE(store.Move(Cell(5, 5), Cell(0, 1)));
  store.Revert();
  EXPECT_TRUE(Shows(store, Cell(0, 1), 2));
  store.Save(ann, HWND());
  EXPECT_EQ(Records(), 1u);
  EXPECT_TRUE(Boxes.empty());
}

TEST_F(Gallery_Save_Test, ADrawingSharedWithTheBinThroughASlotIsKept) {
  Save_Gallery({1});
  Drawing_Collection store(ann);
  ASSERT_TRUE(store.Move(Slot(Place::Printer_Slot), Cell(0, 1)));
  ASSERT_TRUE(store.Move(Place{Place::Bin, 0, 0}, Slot(Place::Printer_Slot)));
  EXPECT_EQ(store.Bin_Length(), 1);
  store.Save(ann, HWND());
  EXPECT_EQ(store.Bin_Length(), 0);
  EXPECT_TRUE(Shows(store, Cell(0, 1), 1));
  EXPECT_EQ(Records(), 1u);
}

TEST_F(Gallery_Save_Test, ACopyFromASlotIsSavedAsANewRecord) {
  Save_Gallery({1});
  {
    Drawing_Collection store(ann);
    ASSERT_TRUE(store.Move(Slot(0), Cell(0, 1)));
    ASSERT_TRUE(store.Move(Cell(9, 9), Slot(0)));
    store.Save(ann, HWND());
    EXPECT_EQ(Records(), 2u);
  }
  Drawing_Collection reopened(ann);
  EXPECT_TRUE(Shows(reopened, Cell(9, 9), 1));
  EXPECT_TRUE(Shows(reopened, Cell(0, 1), 1));
}

TEST_F(Gallery_Save_Test, AFullDiskKeepsWhatWasSaved) {
  Save_Gallery({1, 2});
  const std::vector<uint8_t> saved = File_Bytes();
  const std::string new_entries = "Gallery Save: Your new gallery entries could not be saved.\nYour hard disk may be too full.";
  const std::string whole = "Gallery Save: Your gallery could not be saved.\nYour hard disk may be too full.";
  {
    // Appending: the space is not there, the file stays as it was and the
    // new drawing stays in the store.
    Drawing_Collection store(ann);
    ASSERT_TRUE(Add_At(store, Drawing(7), 7, 7));
    {
      File_Size_Limit limit(saved.size() + 64);
      store.Save(ann, HWND());
    }
    EXPECT_EQ(Boxes, std::vector<std::string>{new_entries});
    EXPECT_EQ(File_Bytes(), saved);
    EXPECT_TRUE(Shows(store, Cell(7, 7), 7));
    EXPECT_TRUE(store.Changed());  // the exit asks again
    // A move as well: the file is written beside, first whole, then with the
    // kept drawings only; their end marker is in the file.
    Boxes.clear();
    ASSERT_TRUE(store.Move(Cell(0, 1), Cell(0, 2)));
    {
      File_Size_Limit limit(saved.size() + 64);
      store.Save(ann, HWND());
    }
    EXPECT_EQ(Boxes, std::vector<std::string>{new_entries});
    EXPECT_EQ(Records(), 2u);
    EXPECT_EQ(File_Bytes().size(), saved.size());
    // Not even that: nothing is written, and the store keeps the changes
    // for a later save (or the question at the program's exit).
    Boxes.clear();
    ASSERT_TRUE(store.Move(Cell(0, 2), Cell(0, 1)));
    {
      File_Size_Limit limit(64);
      EXPECT_FALSE(store.Save(ann, HWND()));
    }
    EXPECT_EQ(Boxes, std::vector<std::string>{whole});
    EXPECT_TRUE(Shows(store, Cell(0, 1), 1));
    EXPECT_TRUE(Shows(store, Cell(7, 7), 7));
    EXPECT_TRUE(store.Changed());
  }
  Drawing_Collection store(ann);
  EXPECT_TRUE(Shows(store, Cell(0, 1), 2));
  EXPECT_TRUE(Shows(store, Cell(0, 2), 1));
}

TEST_F(Gallery_Save_Test, RevertReturnsToTheLastSave) {
  Save_Gallery({1, 2});
  Drawing_Collection store(ann);
  ASSERT_TRUE(store.Move(Cell(5, 5), Cell(0, 1)));
  ASSERT_TRUE(store.Move(Place{Place::Bin, 0, 0}, Cell(0, 2)));
  ASSERT_TRUE(Add_At(store, Drawing(3), 0, 1));
  ASSERT_TRUE(store.Move(Slot(2), Cell(0, 1)));
  store.Revert();
  EXPECT_TRUE(Shows(store, Cell(0, 1), 1));
  EXPECT_TRUE(Shows(store, Cell(0, 2), 2));
  EXPECT_EQ(store.State(Cell(5, 5)), 0);
  EXPECT_EQ(store.State(Slot(2)), 0);
  EXPECT_EQ(store.Bin_Length(), 0);
  EXPECT_FALSE(store.Changed());
  // A save writes the rows and columns in place: Revert goes back to them.
  ASSERT_TRUE(store.Move(Cell(3, 3), Cell(0, 1)));
  store.Save(ann, HWND());
  ASSERT_TRUE(store.Move(Cell(0, 1), Cell(3, 3)));
  store.Revert();
  EXPECT_TRUE(Shows(store, Cell(3, 3), 1));
}

TEST_F(Gallery_Save_Test, SlotDrawingsSurviveSavesAndChangesOfUser) {
  Save_Gallery({1});
  auto store = std::make_unique<Drawing_Collection>(ann);
  auto loose = Drawing(4);
  ASSERT_TRUE(store->Add(loose, Place::Slot, 0, 0));
  ASSERT_TRUE(store->Move(Slot(2), Cell(0, 1)));
  for (int32_t slot = 0; slot < Place::Slot_Count; ++slot) store->Park_Slot(Slot(slot));
  store->Save(ann, HWND());
  EXPECT_EQ(store->State(Slot(0)), 0);
  for (int32_t slot = 0; slot < Place::Slot_Count; ++slot) store->Restore_Slot(Slot(slot));
  EXPECT_EQ(store->State(Slot(0)), Drawing_Collection::Presentation_Data::Ready);
  EXPECT_TRUE(Shows(*store, Slot(0), 4));
  EXPECT_TRUE(Shows(*store, Slot(2), 1));
  EXPECT_NE(store->Picture(Slot(2), Sixth_Picture_Size, 0, HWND()), nullptr);
  // Across a change of user: another store takes them.
  for (int32_t slot = 0; slot < Place::Slot_Count; ++slot) store->Park_Slot(Slot(slot));
  store.reset();
  User bea(0, "Bea");
  Drawing_Collection other(bea);
  for (int32_t slot = 0; slot < Place::Slot_Count; ++slot) other.Restore_Slot(Slot(slot));
  EXPECT_TRUE(Shows(other, Slot(0), 4));
  EXPECT_TRUE(Shows(other, Slot(2), 1));
  EXPECT_EQ(other.State(Slot(1)), 0);
  EXPECT_EQ(other.Place_Of(Slot(2)), Slot(2));
}

TEST_F(Gallery_Save_Test, ADamagedFileIsKeptAsideBeforeItIsReplaced) {
  Save_Gallery({1, 2});
  std::vector<uint8_t> bytes = File_Bytes();
  // The second record's length runs past the end.
  const uint32_t first = Gallery_File::Read_U32(bytes.data());
  Gallery_File::Write_U32(bytes.data() + first, 0x7FFFFFFF);
  Write(Gallery_Path(), std::string(bytes.begin(), bytes.end()));
  // Opened and left without a save: one copy however often.
  for (int opening = 0; opening < 2; ++opening) Drawing_Collection(ann).Revert();
  Boxes.clear();
  {
    Drawing_Collection store(ann);
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_NE(Boxes[0].find("WARNING: Unable to read file " + Gallery_Path()), std::string::npos);
    EXPECT_NE(Boxes[0].find("the 1 drawing read whole is shown"), std::string::npos);
    EXPECT_TRUE(Shows(store, Cell(0, 1), 1));
    store.Save(ann, HWND());
  }
  std::vector<std::string> aside;
  for (const auto& entry : std::filesystem::directory_iterator(The_User_Data.directory))
    if (entry.path().filename().string().starts_with("Ann.gal.damaged-")) aside.push_back(entry.path());
  ASSERT_EQ(aside.size(), 1u);
  EXPECT_NE(Boxes[0].find(aside[0]), std::string::npos);
  EXPECT_EQ(Read(aside[0]), std::string(bytes.begin(), bytes.end()));
  EXPECT_EQ(Records(), 1u);
  const std::vector<uint8_t> clean = File_Bytes();
  EXPECT_TRUE(Gallery_File::Scan(clean.data(), clean.size()).whole);
}

TEST_F(Gallery_Save_Test, AGalleryThatCannotBeOpenedIsNeverWritten) {
  Save_Gallery({1});
  const std::vector<uint8_t> saved = File_Bytes();
  Mapped_File holder(Gallery_Path(), GENERIC_READ | GENERIC_WRITE, OPEN_EXISTING);  // in use elsewhere
  ASSERT_TRUE(holder.Is_Open());
  Drawing_Collection store(ann);
  ASSERT_EQ(Boxes.size(), 1u);
  EXPECT_EQ(Boxes[0], "WARNING: Unable to write file " + Gallery_Path() +
                          "\nThe file is in use by another program: your drawings are shown, but changes to the "
                          "gallery cannot be saved.");
  EXPECT_TRUE(store.File_Must_Stay());
  EXPECT_TRUE(Shows(store, Cell(0, 1), 1));
  ASSERT_TRUE(Add_At(store, Drawing(2), 0, 0));
  store.Save(ann, HWND());
  EXPECT_EQ(Boxes.back(), "WARNING: Unable to write file " + Gallery_Path() +
                              "\nThe file is in use by another program: your changes to the gallery are not saved and "
                              "are taken back.");
  EXPECT_EQ(File_Bytes(), saved);
}

// The user database moves the gallery file with the user's other files; the
// store follows the new name, and writes there only into its own file.
TEST_F(Gallery_Save_Test, ARenamedGalleryIsSavedUnderTheNewNameOnlyWhenItIsItsOwnFile) {
  User cat(0, "Cat");
  const struct {
    const char* what;
    bool replaced;  // another program put its own file under the old name first
  } cases[] = {{"its own file moved", false}, {"another program's file moved in its place", true}};
  for (const auto& c : cases) {
    std::filesystem::remove(cat.File_Path("gal"));
    Save_Gallery({1});
    Boxes.clear();
    {
      Drawing_Collection store(ann);
      if (c.replaced) {
        Write(Gallery_Path() + ".new", "another program's file");
        std::filesystem::rename(Gallery_Path() + ".new", Gallery_Path());
      }
      ASSERT_TRUE(Move_File(Gallery_Path(), cat.File_Path("gal"))) << c.what;
      store.Rename(cat, ann);
      EXPECT_EQ(store.File_Name(), cat.File_Path("gal")) << c.what;
      ASSERT_TRUE(Add_At(store, Drawing(2), 0, 2));
      store.Save(cat, HWND());
    }
    EXPECT_FALSE(File_Exists(Gallery_Path())) << c.what;
    if (c.replaced) {
      EXPECT_EQ(Read(cat.File_Path("gal")), "another program's file") << c.what;
      ASSERT_EQ(Boxes.size(), 1u) << c.what;
      EXPECT_NE(Boxes[0].find("Another program has put a different file in its place"), std::string::npos) << Boxes[0];
    } else {
      Drawing_Collection store(cat);
      EXPECT_TRUE(Shows(store, Cell(0, 1), 1)) << c.what;
      EXPECT_TRUE(Shows(store, Cell(0, 2), 2)) << c.what;
      EXPECT_TRUE(Boxes.empty()) << c.what;
    }
  }
}

TEST_F(Gallery_Save_Test, AnEmptiedAndRefilledGalleryIsNotRecycledByARename) {
  Save_Gallery({1});
  User cat(0, "Cat");
  {
    Drawing_Collection store(ann);
    ASSERT_TRUE(store.Move(Place{Place::Bin, 0, 0}, Cell(0, 1)));
    store.Save(ann, HWND());  // the file goes
    store.Rename(cat, ann);
    ASSERT_TRUE(Add_At(store, Drawing(3), 1, 1));
    store.Save(cat, HWND());  // and comes back under the new name
  }
  Drawing_Collection store(cat);
  EXPECT_TRUE(Shows(store, Cell(1, 1), 3));
  EXPECT_FALSE(std::filesystem::exists(root_ + "/data/Trash/files"));
}

// The current user Ann becomes Cat while Bob takes the name Ann in the same
// dialog: the user database holds Bob's gallery back while Ann.gal is open,
// and the gallery's rename must free the name before the held move is made.
TEST_F(Gallery_Save_Test, ARenameFreesTheNameForAnotherUsersGallery) {
  Save_Gallery({1});
  Write(The_User_Data.directory + "Bob.gal", "Bob's gallery");
  auto* installed = new User_Database(For_Stream);
  The_User_Database = installed;
  installed->Add_User(std::make_unique<User>(0, "Ann"));
  installed->Add_User(std::make_unique<User>(0, "Bob"));
  installed->Set_Current(installed->Find_User("Ann"));
  {
    Drawing_Collection store(*installed->current_user);
    auto copy = std::make_unique<User_Database>(*installed);
    copy->At(copy->Find_User("Ann"))->name = "Cat";
    copy->Resort_User(copy->Find_User("Cat"));
    copy->At(copy->Find_User("Bob"))->name = "Ann";
    copy->Resort_User(copy->Find_User("Ann"));
    copy.release()->Install(HWND());
    ASSERT_EQ(The_User_Database->current_user->name, "Cat");
    store.Rename(*The_User_Database->current_user, The_User_Database->previous_user);
    The_User_Database->Recycle_Previous_Gallery();
    EXPECT_TRUE(Boxes.empty()) << Boxes.front();
    EXPECT_EQ(Read(Gallery_Path()), "Bob's gallery");
  }
  Drawing_Collection store(*The_User_Database->current_user);
  EXPECT_TRUE(Shows(store, Cell(0, 1), 1));
  delete The_User_Database;
}

// The current user Ann, who has no gallery, becomes Cat while Bob takes the
// name Ann: Bob's gallery moves to Ann.gal at once, and stays Bob's.
TEST_F(Gallery_Save_Test, ARenameWithoutAFileLeavesAnotherUsersGalleryAlone) {
  Write(The_User_Data.directory + "Bob.gal", "Bob's gallery");
  auto* installed = new User_Database(For_Stream);
  The_User_Database = installed;
  installed->Add_User(std::make_unique<User>(0, "Ann"));
  installed->Add_User(std::make_unique<User>(0, "Bob"));
  installed->Set_Current(installed->Find_User("Ann"));
  {
    Drawing_Collection store(*installed->current_user);
    auto copy = std::make_unique<User_Database>(*installed);
    copy->At(copy->Find_User("Ann"))->name = "Cat";
    copy->Resort_User(copy->Find_User("Cat"));
    copy->At(copy->Find_User("Bob"))->name = "Ann";
    copy->Resort_User(copy->Find_User("Ann"));
    copy.release()->Install(HWND());
    store.Rename(*The_User_Database->current_user, The_User_Database->previous_user);
    The_User_Database->Recycle_Previous_Gallery();
    ASSERT_TRUE(Add_At(store, Drawing(5), 2, 2));
    store.Save(*The_User_Database->current_user, HWND());
  }
  EXPECT_EQ(Read(Gallery_Path()), "Bob's gallery");
  Drawing_Collection store(*The_User_Database->current_user);
  EXPECT_TRUE(Shows(store, Cell(2, 2), 5));
  EXPECT_TRUE(Boxes.empty());
  delete The_User_Database;
}

// A store without a file of its own renamed onto a name that holds a file
// (its owner was renamed or removed): that file goes to the recycle bin, and
// the gallery is saved under the name. Where it cannot be recycled, the
// person is told, and it is never written over.
TEST_F(Gallery_Save_Test, ARenameWithoutAFileRecyclesTheFileUnderTheNewName) {
  User cat(0, "Cat");
  const std::string trash = root_ + "/data/Trash";
  for (const bool bin_blocked : {false, true}) {
    SCOPED_TRACE(bin_blocked ? "no recycle bin" : "recycled");
    std::filesystem::remove_all(trash);
    if (bin_blocked) Write(trash, "a file where the recycle bin's folder would be");
    Write(cat.File_Path("gal"), "nobody's file");
    Boxes.clear();
    {
      Drawing_Collection store(ann);
      store.Rename(cat, ann);
      ASSERT_TRUE(Add_At(store, Drawing(4), 1, 1));
      store.Save(cat, HWND());
    }
    if (bin_blocked) {
      EXPECT_EQ(Read(cat.File_Path("gal")), "nobody's file");
      ASSERT_FALSE(Boxes.empty());
      EXPECT_EQ(Boxes[0], "WARNING: Unable to move file " + cat.File_Path("gal") +
                              " to the recycle bin\nYour gallery is not saved over it: your changes are kept until "
                              "you leave the program.");
    } else {
      EXPECT_EQ(Read(trash + "/files/Cat.gal"), "nobody's file");
      Drawing_Collection store(cat);
      EXPECT_TRUE(Shows(store, Cell(1, 1), 4));
      EXPECT_TRUE(Boxes.empty()) << Boxes.front();
    }
    std::filesystem::remove(cat.File_Path("gal"));
  }
}

// A saver killed at any instant leaves a gallery that reads whole and holds
// every drawing saved before.
TEST_F(Gallery_Save_Test, KilledSaverLosesNoDrawing) {
  Drawing_Collection::Release_Statics();  // the child starts its own thread
  size_t saved = 0;
  // Each round gives the saver longer. On a busy machine the first save may
  // take longer than the early rounds give it: the rounds go on until one
  // has landed.
  for (int round = 0; round < 24 || (saved == 0 && round < 400); ++round) {
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      std::mt19937 random{uint32_t(round)};
      for (int i = 0;; ++i) {
        Drawing_Collection store(ann);
        int32_t free_cell = -1;
        for (int32_t cell = 0; cell < 144 && free_cell < 0; ++cell)
          if (!store.Find(Cell(cell / 12, cell % 12))) free_cell = cell;
        if (free_cell >= 0 && i % 3 != 2) {
          if (!Add_At(store, Drawing(i % 50), free_cell / 12, free_cell % 12)) _exit(3);
        } else {
          const int32_t a = int32_t(random() % 144), b = int32_t(random() % 144);
          store.Move(Cell(a / 12, a % 12), Cell(b / 12, b % 12));
        }
        store.Save(ann, HWND());
      }
    }
    std::this_thread::sleep_for(std::chrono::microseconds(300 + 900 * round));
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    // A save killed while it had the file claimed left it beside its name:
    // the next opening puts it back. The thread it starts ends before the
    // next child is made.
    { Drawing_Collection opened(ann); }
    Drawing_Collection::Release_Statics();
    if (!File_Exists(Gallery_Path())) {
      EXPECT_EQ(saved, 0u) << "round " << round;
      continue;
    }
    const std::vector<uint8_t> bytes = File_Bytes();
    const Gallery_File::Contents contents = Gallery_File::Scan(bytes.data(), bytes.size());
    EXPECT_TRUE(contents.whole) << "round " << round;
    std::set<std::pair<int32_t, int32_t>> cells;
    for (const Gallery_File::Record& record : contents.records) {
      cells.insert({record.row, record.column});
      EXPECT_TRUE(Shape_Drawing::Record_Is_Valid(bytes.data() + record.offset + 12, record.length - 12));
    }
    EXPECT_EQ(cells.size(), contents.records.size()) << "two drawings claim one cell";
    EXPECT_GE(contents.records.size(), saved) << "round " << round;
    saved = contents.records.size();
  }
  EXPECT_GT(saved, 0u);
}

}  // namespace
