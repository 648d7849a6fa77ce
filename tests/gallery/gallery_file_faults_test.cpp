// The gallery file under faults from outside the program: a full disk behind
// a sparse file, a file cut short while the store holds it (once, or again and
// again as a copy over it does), files that cannot be opened or written, and
// damaged sparse files kept aside.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <sys/file.h>
#include <sched.h>
#include <time.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "tests/gallery/gallery_store_fixture.h"
#include "tests/gallery/outside_changes.h"
#include "tests/platform/system/root_only_cases.h"
#include "tests/platform/system/small_disk.h"

namespace {

using Place = Drawing_Place;

constexpr Place Cell(int32_t row, int32_t column) { return Place{Place::Grid, row, column}; }

const std::string New_Entries_Not_Saved =
    "Gallery Save: Your new gallery entries could not be saved.\nYour hard disk may be too full.";

class Gallery_File_Faults_Test : public Gallery_Store_Test {
 protected:
  void Save_Gallery(std::initializer_list<int> seeds) {
    Drawing_Collection store(ann);
    for (int seed : seeds) ASSERT_TRUE(Add_At(store, Drawing(seed), 0, seed));
    store.Save(ann, HWND());
  }
};

// Another program copies the gallery over the open file again and again, as
// cp does: it cuts the file to nothing, then writes it. Meanwhile the
// preparation thread makes the cells' pictures and the largest view reads
// drawings here. No read ends the program, whenever the bytes go; once the
// file is whole again every drawing is there and reads as it was.
class Gallery_File_Copied_Over_Test : public Gallery_File_Faults_Test {};

TEST_F(Gallery_File_Copied_Over_Test, NoReadOfAFileCutAndWrittenAgainEndsTheProgram) {
  constexpr int Drawings = 36, Rounds = 8, Copies = 200;
  {
    Drawing_Collection store(ann);
    for (int seed = 0; seed < Drawings; ++seed) ASSERT_TRUE(Add_At(store, Drawing(seed), seed / 12, seed % 12));
    store.Save(ann, HWND());
  }
  const std::string whole = Read(Gallery_Path());
  ASSERT_GT(whole.size(), 4 * size_t(sysconf(_SC_PAGESIZE)));
  for (int round = 0; round < Rounds; ++round) {
    SCOPED_TRACE(round);
    // Opened whole: its preparation pass reads every drawing while the
    // copies go on.
    Drawing_Collection store(ann);
    std::atomic<bool> copying{true};
    std::thread copier([&] {
      for (int copy = 0; copy < Copies; ++copy) {
        const int fd = open(Gallery_Path().c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
        if (fd < 0 || write(fd, whole.data(), whole.size()) != ssize_t(whole.size())) ADD_FAILURE() << "copy " << copy;
        if (fd >= 0) close(fd);
      }
      copying.store(false);
    });
    for (int look = 0; copying.load() && look < 1000000; ++look) {
      const int seed = look % Drawings;
      ASSERT_NE(store.Picture(Cell(seed / 12, seed % 12), Full_Picture_Size, 0, HWND()), nullptr);
    }
    copier.join();
    Wait_Until_Ready(store);
    for (int seed = 0; seed < Drawings; ++seed) ASSERT_TRUE(Shows(store, Cell(seed / 12, seed % 12), seed)) << seed;
  }
  EXPECT_EQ(Read(Gallery_Path()), whole);
}

// A hole behind the end marker (a sparse copy, a restored backup) holds no
// blocks: on a full disk the append must fail as it does without the hole,
// not fault when the new records are written into the mapping.
TEST_F(Gallery_File_Faults_Test, AnAppendIntoAHoleOnAFullDiskFailsCleanly) {
  Small_Disk disk(root_ + "/small", "512k");
  if (!disk.mounted) return disk.Not_Mounted();
  The_User_Data.directory = disk.path + "/Quendar/";
  std::filesystem::create_directories(The_User_Data.directory);
  Save_Gallery({1, 2});
  const std::vector<uint8_t> saved = File_Bytes();
  std::filesystem::resize_file(Gallery_Path(), saved.size() + 256 * 1024);
  disk.Fill();
  {
    // More than the rest of the last page written: the records reach into
    // the hole.
    Drawing_Collection store(ann);
    for (int seed = 7; seed < 12; ++seed) ASSERT_TRUE(Add_At(store, Drawing(seed), 7, seed));
    store.Save(ann, HWND());
    EXPECT_EQ(Boxes, std::vector<std::string>{New_Entries_Not_Saved});
    EXPECT_TRUE(Shows(store, Cell(7, 11), 11));
  }
  const std::vector<uint8_t> after = File_Bytes();
  ASSERT_GE(after.size(), saved.size());
  EXPECT_TRUE(std::equal(saved.begin(), saved.end(), after.begin()));
  Drawing_Collection store(ann);
  EXPECT_TRUE(Shows(store, Cell(0, 2), 2));
  EXPECT_EQ(store.State(Cell(7, 7)), 0);
}

// Another program cuts the file short while the store holds it mapped: the
// drawings beyond the new end show empty, the person is told once, nothing
// is written until the file is whole again, and then the save goes through.
TEST_F(Gallery_File_Faults_Test, AFileCutShortUnderTheStoreNeverFaults) {
  Save_Gallery({1, 2, 3, 4, 5, 6, 7, 8, 9});
  const std::vector<uint8_t> whole = File_Bytes();
  const auto records = Gallery_File::Scan(whole.data(), whole.size()).records;
  const std::string cut_short_told = "WARNING: Unable to read file " + Gallery_Path() +
                                     "\nAnother program has changed the file: the drawings it no longer holds "
                                     "are shown empty, and your changes are not saved over that file.\nTo save "
                                     "your gallery, move that file out of the folder and save the gallery again.";
  {
    Drawing_Collection store(ann);
    Wait_Until_Ready(store);
    std::filesystem::resize_file(Gallery_Path(), records[1].offset + 100);
    EXPECT_TRUE(Shows(store, Cell(0, 1), 1));
    EXPECT_TRUE(Boxes.empty());
    for (int seed : {9, 2, 8}) {
      Shape_Drawing* full = store.Picture(Cell(0, seed), Full_Picture_Size, 0, HWND());
      ASSERT_NE(full, nullptr);
      EXPECT_TRUE(full->Blank) << seed;
    }
    EXPECT_EQ(Boxes, std::vector<std::string>{cut_short_told});
    // Changes are refused while it is short, and kept.
    Boxes.clear();
    ASSERT_TRUE(Add_At(store, Drawing(10), 5, 5));
    ASSERT_TRUE(store.Move(Cell(6, 6), Cell(0, 9)));
    store.Save(ann, HWND());
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_EQ(Boxes[0].rfind("WARNING: Unable to write file " + Gallery_Path() + "\nAnother program has changed the file", 0), 0u);
    EXPECT_EQ(File_Bytes().size(), records[1].offset + 100);
    // Leaving without a save puts the unread drawings back in their saved
    // cells too.
    store.Revert();
    EXPECT_NE(store.State(Cell(0, 9)), 0);
    EXPECT_EQ(store.State(Cell(6, 6)), 0);
    EXPECT_EQ(store.State(Cell(5, 5)), 0);
    // Put back whole (in place, as a copy over it does): the save goes through.
    Write(Gallery_Path(), std::string(whole.begin(), whole.end()));
    ASSERT_TRUE(Add_At(store, Drawing(10), 5, 5));
    Boxes.clear();
    store.Save(ann, HWND());
    EXPECT_TRUE(Boxes.empty());
  }
  Drawing_Collection store(ann);
  EXPECT_TRUE(Boxes.empty());
  for (int seed : {1, 2, 8}) { EXPECT_TRUE(Shows(store, Cell(0, seed), seed)) << seed; }
  EXPECT_TRUE(Shows(store, Cell(0, 9), 9));
  EXPECT_TRUE(Shows(store, Cell(5, 5), 10));
}

// A drawing found empty tells of a cut once, and not after a refused save
// has told of it; every save that cannot keep the changes says so, however
// often she saves. Put back whole and cut again, it is told again.
TEST_F(Gallery_File_Faults_Test, ACutIsToldOnceEachTimeItHappensAndEveryRefusedSaveSaysSo) {
  Save_Gallery({1, 2, 3});
  const std::vector<uint8_t> whole = File_Bytes();
  const uint64_t cut = Gallery_File::Scan(whole.data(), whole.size()).records[1].offset + 100;
  const std::string read_told = "WARNING: Unable to read file " + Gallery_Path() + "\nAnother program has changed the file";
  const std::string write_told = "WARNING: Unable to write file " + Gallery_Path() + "\nAnother program has changed the file";
  const auto told = [&](size_t n, const std::string& text) {
    return Boxes.size() == n && Boxes.back().rfind(text, 0) == 0;
  };
  Drawing_Collection store(ann);
  Wait_Until_Ready(store);
  std::filesystem::resize_file(Gallery_Path(), cut);
  ASSERT_TRUE(Add_At(store, Drawing(10), 5, 5));
  store.Save(ann, HWND());
  EXPECT_TRUE(told(1, write_told));
  EXPECT_TRUE(store.Picture(Cell(0, 2), Full_Picture_Size, 0, HWND())->Blank);
  EXPECT_EQ(Boxes.size(), 1u);
  EXPECT_FALSE(store.Save(ann, HWND()));
  EXPECT_TRUE(told(2, write_told));
  Write(Gallery_Path(), std::string(whole.begin(), whole.end()));
  EXPECT_TRUE(store.Save(ann, HWND()));
  EXPECT_EQ(Boxes.size(), 2u);
  std::filesystem::resize_file(Gallery_Path(), cut);
  EXPECT_TRUE(store.Picture(Cell(0, 2), Full_Picture_Size, 0, HWND())->Blank);
  EXPECT_TRUE(told(3, read_told));
  // Nothing to keep: the cut is not told again.
  store.Save(ann, HWND());
  EXPECT_EQ(Boxes.size(), 3u);
}

// A record cut part-way (the last one, so that no record lies wholly beyond
// the end) shows empty and says so, and keeps its cell when the person
// leaves without saving; so does one cut inside its headers.
TEST_F(Gallery_File_Faults_Test, ARecordCutPartWayIsToldAndKeepsItsCell) {
  Save_Gallery({1, 2});
  const std::vector<uint8_t> whole = File_Bytes();
  const uint64_t last = Gallery_File::Scan(whole.data(), whole.size()).records[1].offset;
  for (uint64_t into : {uint64_t(100), uint64_t(Gallery_File::Smallest_Record - 1)}) {
    SCOPED_TRACE(into);
    Write(Gallery_Path(), std::string(whole.begin(), whole.end()));
    Boxes.clear();
    Drawing_Collection store(ann);
    Wait_Until_Ready(store);
    std::filesystem::resize_file(Gallery_Path(), last + into);
    EXPECT_TRUE(store.Picture(Cell(0, 2), Full_Picture_Size, 0, HWND())->Blank);
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_EQ(Boxes[0].rfind("WARNING: Unable to read file " + Gallery_Path() + "\nAnother program has changed the file", 0), 0u);
    store.Revert();
    EXPECT_NE(store.State(Cell(0, 2)), 0);
    EXPECT_TRUE(Shows(store, Cell(0, 1), 1));
  }
}

// Another program puts a different file under the gallery's name while it is
// shown: a save neither writes over it nor deletes it, says why each time,
// and keeps the changes. A gallery deleted meanwhile is written whole again.
TEST_F(Gallery_File_Faults_Test, AGalleryReplacedWhileShownIsNotWrittenOver) {
  const User bea{1, "Bea"};
  const std::string other = bea.File_Path("gal");
  struct Case {
    const char* name;
    bool ann_had_file;
    bool replaced;        // else deleted
    bool emptied;         // every drawing dragged into the bin, else one added
  };
  const std::vector<Case> cases = {
      {"renamed over, a drawing added", true, true, false},
      {"renamed over, the grid emptied", true, true, true},
      {"appeared where there was none", false, true, false},
      {"deleted, a drawing added", true, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove(Gallery_Path());
    if (c.ann_had_file) Save_Gallery({1});
    {
      Drawing_Collection store(bea);
      for (int seed : {3, 4}) ASSERT_TRUE(Add_At(store, Drawing(seed), 0, seed));
      store.Save(bea, HWND());
    }
    const std::string bea_bytes = Read(other);
    Boxes.clear();
    {
      Drawing_Collection store(ann);
      // Read before the file goes: a drawing not read by then could be
      // anyone's, and is told as lost.
      Wait_Until_Ready(store);
      if (c.emptied)
        ASSERT_TRUE(store.Move(Place{Place::Bin, 0, 0}, Cell(0, 1)));
      else
        ASSERT_TRUE(Add_At(store, Drawing(10), 5, 5));
      if (c.replaced)
        std::filesystem::rename(other, Gallery_Path());
      else
        std::filesystem::remove(Gallery_Path());
      store.Save(ann, HWND());
      if (!c.replaced) {
        EXPECT_TRUE(Boxes.empty());
        Drawing_Collection reopened(ann);
        EXPECT_TRUE(Shows(reopened, Cell(0, 1), 1));
        EXPECT_TRUE(Shows(reopened, Cell(5, 5), 10));
        continue;
      }
      ASSERT_EQ(Boxes.size(), 1u);
      EXPECT_EQ(Boxes[0], "WARNING: Unable to write file " + Gallery_Path() +
                              "\nAnother program has put a different file in its place: your changes are kept "
                              "until you leave the program, and are not saved over that file.\nTo save them, move that file out of the folder and save the gallery again.");
      EXPECT_EQ(Read(Gallery_Path()), bea_bytes);
      EXPECT_TRUE(c.emptied ? store.Changed() : store.State(Cell(5, 5)) != 0);
      EXPECT_FALSE(store.Save(ann, HWND()));
      EXPECT_EQ(Boxes, std::vector<std::string>(2, Boxes[0]));
      EXPECT_EQ(Read(Gallery_Path()), bea_bytes);
    }
  }
}

// A save the file system refuses for another reason than space says why, as
// every refusal to write a file does, and keeps the changes; once the
// obstacle is gone the next save writes them. Both ways a save writes: a
// new file renamed over the old one, and the file deleted.
class Gallery_Refused_Save_Test : public Gallery_File_Faults_Test {
 protected:
  void Refused_Then_Saved(const std::string& reason, const std::function<void()>& block,
                          const std::function<void()>& unblock) {
    struct Change {
      const char* name;
      bool emptied;  // both drawings into the bin, else exchanged
    };
    for (const Change& c : {Change{"drawings exchanged", false}, Change{"every drawing in the bin", true}}) {
      SCOPED_TRACE(c.name);
      std::filesystem::remove(Gallery_Path());
      Save_Gallery({1, 2});
      const std::vector<uint8_t> saved = File_Bytes();
      Boxes.clear();
      block();
      {
        Drawing_Collection store(ann);
        if (c.emptied) {
          ASSERT_TRUE(store.Move(Place{Place::Bin, 0, 0}, Cell(0, 1)));
          ASSERT_TRUE(store.Move(Place{Place::Bin, 0, 0}, Cell(0, 2)));
        } else {
          ASSERT_TRUE(store.Move(Cell(0, 1), Cell(0, 2)));
        }
        EXPECT_FALSE(store.Save(ann, HWND()));
        EXPECT_EQ(Boxes, std::vector<std::string>{"WARNING: Unable to write file " + Gallery_Path() + "\n" + reason +
                                                  ": your changes are kept until you leave the program, and are "
                                                  "not saved."});
        EXPECT_EQ(File_Bytes(), saved);
        EXPECT_TRUE(store.Changed());
        EXPECT_EQ(store.State(Cell(0, 1)) == 0, c.emptied);
        unblock();
        EXPECT_TRUE(store.Save(ann, HWND()));
        EXPECT_EQ(Boxes.size(), 1u);
      }
      if (c.emptied) {
        EXPECT_FALSE(std::filesystem::exists(Gallery_Path()));
        continue;
      }
      Drawing_Collection reopened(ann);
      EXPECT_TRUE(Shows(reopened, Cell(0, 1), 2));
      EXPECT_TRUE(Shows(reopened, Cell(0, 2), 1));
    }
  }
};

// The gallery's name is a mount point: it can be neither replaced nor
// deleted (EBUSY).
TEST_F(Gallery_Refused_Save_Test, AGalleryOnAMountPoint) {
  if (geteuid() != 0) GTEST_SKIP() << "needs root: only the administrator may mount";
  bool mounted = false;
  Refused_Then_Saved(
      "The file is in use by the system",
      [&] {
        mounted = mount(Gallery_Path().c_str(), Gallery_Path().c_str(), nullptr, MS_BIND, nullptr) == 0;
        ASSERT_TRUE(mounted) << "root could not bind the gallery onto itself: " << std::strerror(errno);
      },
      [&] {
        if (mounted) umount2(Gallery_Path().c_str(), MNT_DETACH);
        mounted = false;
      });
  if (mounted) umount2(Gallery_Path().c_str(), MNT_DETACH);
}

// The folder of the person's files has become read-only: the file itself
// may still be written in place, but no new file can be made beside it.
TEST_F(Gallery_Refused_Save_Test, AGalleryInAReadOnlyFolder) {
  const std::string folder = The_User_Data.directory;
  std::optional<Ordinary_User_Scope> ordinary;
  Refused_Then_Saved(
      "You have no permission to write the file",
      [&] {
        // As the person herself: the administrator may write any folder.
        (void)!chown(folder.c_str(), 65534, 65534);
        (void)!chown(Gallery_Path().c_str(), 65534, 65534);
        ASSERT_EQ(chmod(folder.c_str(), 0555), 0);
        ordinary.emplace(root_);
        ASSERT_EQ(chmod(folder.c_str(), 0555), 0);
      },
      [&] {
        chmod(folder.c_str(), 0755);
        ordinary.reset();
      });
}

// Another program writes the gallery in place, keeping its size and time
// stamp: the change time tells, and the save neither writes into the file
// nor loses the changes. The store's own saves, which change that time
// too, are not taken for another program's.
TEST_F(Gallery_File_Faults_Test, AGalleryRewrittenInPlaceIsNotWrittenInto) {
  Save_Gallery({1, 2});
  const auto status = [&] {
    struct stat info{};
    stat(Gallery_Path().c_str(), &info);
    return info;
  };
  const auto same_time = [](const timespec& a, const timespec& b) {
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
  };
  // Until the clock has passed the file's change time, a write may leave
  // it as it was.
  const auto clock_past = [&](const timespec& t) {
    for (;;) {
      timespec now{};
      clock_gettime(CLOCK_REALTIME_COARSE, &now);
      if (now.tv_sec > t.tv_sec || (now.tv_sec == t.tv_sec && now.tv_nsec > t.tv_nsec)) return;
      sched_yield();
    }
  };
  Drawing_Collection store(ann);
  // Every drawing read whole: the store knows every byte of the file.
  Wait_Until_Ready(store);
  clock_past(status().st_ctim);
  for (int seed : {3, 4}) {
    ASSERT_TRUE(Add_At(store, Drawing(seed), 3, seed));
    EXPECT_TRUE(store.Save(ann, HWND())) << seed;
  }
  EXPECT_TRUE(Boxes.empty());
  // One byte of a picture changed, the size and the time stamp kept.
  std::vector<uint8_t> other = File_Bytes();
  const struct stat before = status();
  const uint64_t at = Gallery_File::Scan(other.data(), other.size()).records[1].offset + 40;
  other[at] ^= 0x5A;
  const timespec times[2] = {before.st_atim, before.st_mtim};
  for (int tries = 0; tries < 1000000 && same_time(status().st_ctim, before.st_ctim); ++tries) {
    const int fd = open(Gallery_Path().c_str(), O_WRONLY | O_CLOEXEC);
    ASSERT_EQ(pwrite(fd, &other[at], 1, off_t(at)), 1);
    ASSERT_EQ(futimens(fd, times), 0);
    close(fd);
  }
  const struct stat after = status();
  ASSERT_FALSE(same_time(after.st_ctim, before.st_ctim));
  ASSERT_TRUE(same_time(after.st_mtim, before.st_mtim) && after.st_size == before.st_size &&
              after.st_ino == before.st_ino);
  ASSERT_TRUE(Add_At(store, Drawing(5), 3, 5));
  const std::string refused = "WARNING: Unable to write file " + Gallery_Path() +
                              "\nAnother program has changed the file: your changes are kept until you leave the "
                              "program, and are not saved over that file.\nTo save them, move that file out of the folder and save the gallery again.";
  for (size_t save = 1; save <= 2; ++save) {
    EXPECT_FALSE(store.Save(ann, HWND()));
    EXPECT_EQ(Boxes, std::vector<std::string>(save, refused));
    EXPECT_EQ(File_Bytes(), other);
    EXPECT_NE(store.State(Cell(3, 5)), 0);
  }
}

// A file that already ended short of its end marker when it was opened is
// damaged, not cut short since: the save rewrites it whole.
TEST_F(Gallery_File_Faults_Test, AFileThatEndedShortAtOpeningIsNotTakenAsCutShort) {
  Save_Gallery({1});
  const std::vector<uint8_t> saved = File_Bytes();
  std::filesystem::resize_file(Gallery_Path(), saved.size() - Gallery_File::End_Size + 2);
  {
    Drawing_Collection store(ann);
    ASSERT_TRUE(Add_At(store, Drawing(2), 0, 2));
    Boxes.clear();
    store.Save(ann, HWND());
    EXPECT_TRUE(Boxes.empty());
  }
  const std::vector<uint8_t> after = File_Bytes();
  const Gallery_File::Contents contents = Gallery_File::Scan(after.data(), after.size());
  EXPECT_TRUE(contents.whole);
  EXPECT_EQ(contents.records.size(), 2u);
}

// A gallery that cannot be opened says why, opens empty and is never
// written; one that can be read but not written shows its drawings and
// refuses the save, saying why.
TEST_F(Gallery_File_Faults_Test, AGalleryThatCannotBeOpenedOrWrittenSaysWhy) {
  const std::string path = Gallery_Path();
  struct Case {
    const char* name;
    std::function<void()> make;
    std::string reason;
    bool shown;  // read-only: the drawings are shown
    bool ordinary_user;
  };
  const std::string empty = "the gallery opens empty and the file is left as it is";
  const std::vector<Case> cases = {
      {"folder", [&] { std::filesystem::create_directory(path); }, "It is not a regular file", false, false},
      {"fifo", [&] { mkfifo(path.c_str(), 0600); }, "It is not a regular file", false, false},
      {"link to a device", [&] { std::filesystem::create_symlink("/dev/zero", path); }, "It is not a regular file",
       false, false},
      {"dangling link", [&] { std::filesystem::create_symlink(path + ".nowhere", path); },
       "It is a link to a file that does not exist", false, false},
      {"looping link", [&] { std::filesystem::create_symlink(path, path); },
       "It is a link that leads round in a circle", false, false},
      {"unreadable", [&] { chmod(path.c_str(), 0); }, "You have no permission to read the file", false, true},
      {"read-only", [&] { chmod(path.c_str(), 0444); }, "The file is read-only", true, false},
      {"another's", [&] { chmod(path.c_str(), 0644); }, "You have no permission to change the file", true, true},
  };
  // Run by anyone else, the file would be that user's own.
  Root_Only_Cases root_only("only the administrator may show the file to another user");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.ordinary_user && c.shown && root_only.Left_Out(c.name)) continue;
    std::filesystem::remove(path);
    if (c.shown || c.ordinary_user) Save_Gallery({1});
    c.make();
    struct stat before;
    ASSERT_EQ(lstat(path.c_str(), &before), 0);
    const std::string bytes = c.shown ? Read(path) : std::string();
    Boxes.clear();
    {
      std::optional<Ordinary_User_Scope> ordinary;
      if (c.ordinary_user) ordinary.emplace(root_);
      Drawing_Collection store(ann);
      EXPECT_TRUE(store.File_Must_Stay());
      ASSERT_EQ(Boxes.size(), 1u);
      if (c.shown) {
        EXPECT_EQ(Boxes[0], "WARNING: Unable to write file " + path + "\n" + c.reason +
                                ": your drawings are shown, but changes to the gallery cannot be saved.");
        EXPECT_TRUE(Shows(store, Cell(0, 1), 1));
      } else {
        EXPECT_EQ(Boxes[0], "WARNING: Unable to read file " + path + "\n" + c.reason + ": " + empty + ".");
        EXPECT_EQ(store.State(Cell(0, 1)), 0);
      }
      ASSERT_TRUE(Add_At(store, Drawing(2), 0, 2));
      store.Save(ann, HWND());
      EXPECT_EQ(Boxes.back(), "WARNING: Unable to write file " + path + "\n" + c.reason +
                                  ": your changes to the gallery are not saved and are taken back.");
      // As the message says: the gallery is as it was.
      EXPECT_EQ(store.State(Cell(0, 2)), 0);
      EXPECT_FALSE(store.Changed());
    }
    struct stat after;
    ASSERT_EQ(lstat(path.c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_mode, before.st_mode);
    if (c.shown) {
      EXPECT_EQ(Read(path), bytes);
    }
    chmod(path.c_str(), 0644);
  }
  root_only.End();
}

// A damaged gallery with a hole is kept aside with the hole: the copy takes
// the disk space of the data alone. Opened again unchanged, the copy serves
// again; a byte changed behind the hole or written into it makes a new one.
TEST_F(Gallery_File_Faults_Test, ADamagedSparseGalleryIsKeptAsideSparse) {
  Save_Gallery({1, 2});
  std::vector<uint8_t> bytes = File_Bytes();
  Gallery_File::Write_U32(bytes.data() + Gallery_File::Read_U32(bytes.data()), 0x7FFFFFFF);
  Write(Gallery_Path(), std::string(bytes.begin(), bytes.end()));
  const uint64_t hole = 64 << 20;
  const auto put_last = [&](char last) {
    const int fd = open(Gallery_Path().c_str(), O_WRONLY | O_CLOEXEC);
    ASSERT_EQ(pwrite(fd, &last, 1, off_t(bytes.size() + hole)), 1);
    close(fd);
  };
  put_last('a');
  const auto copies = [&] {
    std::vector<std::string> found;
    for (const auto& entry : std::filesystem::directory_iterator(The_User_Data.directory))
      if (entry.path().filename().string().starts_with("Ann.gal.damaged-")) found.push_back(entry.path());
    return found;
  };
  for (int opening = 0; opening < 2; ++opening) Drawing_Collection(ann).Revert();
  ASSERT_EQ(copies().size(), 1u);
  struct stat copy;
  ASSERT_EQ(stat(copies()[0].c_str(), &copy), 0);
  EXPECT_EQ(uint64_t(copy.st_size), bytes.size() + hole + 1);
  EXPECT_LT(uint64_t(copy.st_blocks) * 512, uint64_t(1) << 20);
  std::string head(bytes.size(), '\0');
  char last = 0;
  const int fd = open(copies()[0].c_str(), O_RDONLY | O_CLOEXEC);
  EXPECT_EQ(pread(fd, head.data(), head.size(), 0), ssize_t(head.size()));
  EXPECT_EQ(pread(fd, &last, 1, off_t(bytes.size() + hole)), 1);
  close(fd);
  EXPECT_EQ(head, std::string(bytes.begin(), bytes.end()));
  EXPECT_EQ(last, 'a');
  put_last('b');
  Drawing_Collection(ann).Revert();
  EXPECT_EQ(copies().size(), 2u);
  // Bytes written into the middle of the hole, where every copy has none:
  // zeros read as the hole does, anything else makes the gallery new.
  for (const auto& [byte, copies_after] : {std::pair{'\0', 2u}, std::pair{'c', 3u}}) {
    const int gallery = open(Gallery_Path().c_str(), O_WRONLY | O_CLOEXEC);
    ASSERT_EQ(pwrite(gallery, &byte, 1, off_t(bytes.size() + hole / 2)), 1);
    close(gallery);
    Drawing_Collection(ann).Revert();
    EXPECT_EQ(copies().size(), copies_after) << int(byte);
  }
}

// Another program cuts the file short or changes it, and then the file
// loses its name (the person moved it out of the folder as the exit advised,
// or another program moved or deleted it): the save writes every drawing it
// can still read whole, as it is shown, and the new one, so that all of them
// read back; a drawing it can no longer read leaves its cell and is told as
// lost, and no cell shows a drawing the save freed.
TEST_F(Gallery_File_Faults_Test, AGalleryThatLostItsNameIsSavedWithEveryDrawingThatStillReads) {
  const std::string path = Gallery_Path();
  const User bea{1, "Bea"};
  struct Case {
    const char* name;
    std::function<void(const std::vector<Gallery_File::Record>&)> change;
    std::vector<int> lost;
    std::string refusal;  // while the file still has its name; none when deleted
    int first_shows = 1;  // the drawing the file now holds where the first was
  };
  const std::vector<Case> cases = {
      {"cut short", [&](const auto& records) { std::filesystem::resize_file(path, records[1].offset + 100); },
       {2, 3}, "Another program has changed the file"},
      {"the first picture header changed",
       [&](const auto& records) { ASSERT_TRUE(Change_In_Place(path, records[0].offset + 12, {0, 0, 0, 0})); },
       {1}, "Another program has changed the file"},
      {"another gallery copied over it",
       [&](const auto&) {
         const std::string other = Read(bea.File_Path("gal"));
         ASSERT_TRUE(Write_In_Place(path, std::vector<uint8_t>(other.begin(), other.end())));
       },
       {1, 2, 3}, "Another program has changed the file"},
      {"deleted", [&](const auto&) { std::filesystem::remove(path); }, {}, ""},
  };
  {
    Drawing_Collection store(bea);
    for (int seed : {4, 5, 6, 7}) ASSERT_TRUE(Add_At(store, Drawing(seed), 1, seed));
    store.Save(bea, HWND());
  }
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove(path);
    std::filesystem::remove(path + ".moved");
    Save_Gallery({1, 2, 3});
    const std::vector<uint8_t> whole = File_Bytes();
    Boxes.clear();
    {
      Drawing_Collection store(ann);
      Wait_Until_Ready(store);
      c.change(Gallery_File::Scan(whole.data(), whole.size()).records);
      ASSERT_TRUE(Add_At(store, Drawing(10), 5, 5));
      std::string moved;
      if (!c.refusal.empty()) {
        EXPECT_FALSE(store.Save(ann, HWND()));
        ASSERT_EQ(Boxes.size(), 1u);
        EXPECT_NE(Boxes[0].find("\n" + c.refusal + ": "), std::string::npos) << Boxes[0];
        moved = Read(path);
        std::filesystem::rename(path, path + ".moved");
      }
      Boxes.clear();
      EXPECT_TRUE(store.Save(ann, HWND()));
      if (c.lost.empty()) {
        EXPECT_TRUE(Boxes.empty());
      } else {
        // Named by their places as the 12 by 12 view shows them.
        std::string named = c.lost.size() == 1 ? "The drawing in " : "The drawings in ";
        for (size_t i = 0; i < c.lost.size(); ++i)
          named += (i == 0 ? "" : i + 1 == c.lost.size() ? " and " : "; ") + std::string("row 1, column ") +
                   std::to_string(c.lost[i] + 1);
        const bool one = c.lost.size() == 1;
        EXPECT_EQ(Boxes, std::vector<std::string>{"WARNING: Unable to read file " + path + "\n" + named +
                                                  " of the 12 by 12 view could no longer be read as the gallery "
                                                  "showed " + (one ? "it" : "them") +
                                                  " (another program changed the file or cut it short): " +
                                                  (one ? "it is" : "they are") +
                                                  " lost, and your other drawings are saved."});
      }
      for (int seed : {1, 2, 3}) {
        const bool lost = std::count(c.lost.begin(), c.lost.end(), seed) > 0;
        EXPECT_EQ(store.State(Cell(0, seed)) == 0, lost) << seed;
        if (!lost) { EXPECT_TRUE(Shows(store, Cell(0, seed), seed == 1 ? c.first_shows : seed)) << seed; }
      }
      EXPECT_TRUE(Shows(store, Cell(5, 5), 10));
      if (!c.refusal.empty()) { EXPECT_EQ(Read(path + ".moved"), moved); }
    }
    const std::vector<uint8_t> saved = File_Bytes();
    EXPECT_TRUE(Gallery_File::Scan(saved.data(), saved.size()).whole);
    Boxes.clear();
    Drawing_Collection reopened(ann);
    EXPECT_TRUE(Boxes.empty());
    for (int seed : {1, 2, 3}) {
      const bool lost = std::count(c.lost.begin(), c.lost.end(), seed) > 0;
      EXPECT_EQ(reopened.State(Cell(0, seed)) == 0, lost) << seed;
      if (!lost) { EXPECT_TRUE(Shows(reopened, Cell(0, seed), seed == 1 ? c.first_shows : seed)) << seed; }
    }
    EXPECT_TRUE(Shows(reopened, Cell(5, 5), 10));
  }
}

// A file cut short while shown and then written in place again is the
// store's own only when it holds the very bytes the store knows: an earlier
// copy with the same records in other cells, bytes appended, or a pixel
// changed are another program's file, and not written over.
TEST_F(Gallery_File_Faults_Test, AFileWrittenAgainAfterACutIsTheStoresOnlyWithItsOwnBytes) {
  Save_Gallery({1, 2, 3});
  const std::vector<uint8_t> whole = File_Bytes();
  const std::vector<Gallery_File::Record> records = Gallery_File::Scan(whole.data(), whole.size()).records;
  std::vector<uint8_t> earlier = whole, appended = whole, pixel = whole;
  Gallery_File::Write_U32(earlier.data() + records[0].offset + 8, 2);
  Gallery_File::Write_U32(earlier.data() + records[1].offset + 8, 1);
  appended.insert(appended.end(), {'m', 'o', 'r', 'e'});
  pixel[records[2].offset + 40] ^= 0x5A;
  const struct {
    const char* name;
    const std::vector<uint8_t>& bytes;
    bool saved;
  } cases[] = {{"an earlier copy with other cells", earlier, false},
               {"bytes appended", appended, false},
               {"a pixel changed", pixel, false},
               {"the same bytes", whole, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(Write_In_Place(Gallery_Path(), whole));
    Drawing_Collection store(ann);
    Wait_Until_Ready(store);
    std::filesystem::resize_file(Gallery_Path(), records[1].offset + 100);
    ASSERT_TRUE(Add_At(store, Drawing(10), 5, 5));
    EXPECT_FALSE(store.Save(ann, HWND()));
    ASSERT_TRUE(Write_In_Place(Gallery_Path(), c.bytes, true));
    Boxes.clear();
    EXPECT_EQ(store.Save(ann, HWND()), c.saved);
    if (c.saved) {
      EXPECT_TRUE(Boxes.empty());
      continue;
    }
    EXPECT_EQ(Boxes, std::vector<std::string>{"WARNING: Unable to write file " + Gallery_Path() +
                                              "\nAnother program has changed the file: your changes are kept until "
                                              "you leave the program, and are not saved over that file.\nTo save them, move that file out of the folder and save the gallery again."});
    EXPECT_EQ(File_Bytes(), c.bytes);
    EXPECT_TRUE(Shows(store, Cell(5, 5), 10));
  }
}

// Changes that leave every byte as it was (a link a snapshot makes, a mode
// changed and back, the file made unchangeable and changeable again, a move
// away and back, the same bytes written again) give the file a new change
// time only: the save goes through, and the snapshot's name keeps what it
// held.
TEST_F(Gallery_File_Faults_Test, AChangeOfNoByteIsNotTakenForAnotherProgramsChange) {
  const std::string path = Gallery_Path();
  const std::string snapshot = root_ + "/snapshot.gal";
  struct Case {
    const char* name;
    std::function<void()> change;
    bool needs_root;
  };
  const std::vector<Case> cases = {
      {"a hard link", [&] { ASSERT_EQ(link(path.c_str(), snapshot.c_str()), 0) << std::strerror(errno); }, false},
      {"made read-only and back",
       [&] {
         ASSERT_EQ(chmod(path.c_str(), 0444), 0);
         ASSERT_EQ(chmod(path.c_str(), 0644), 0);
       },
       false},
      {"made unchangeable and back",
       [&] {
         ASSERT_TRUE(Set_Unchangeable(path, true)) << "the administrator could not make the file unchangeable";
         ASSERT_TRUE(Set_Unchangeable(path, false));
       },
       true},
      {"moved away and back",
       [&] {
         std::filesystem::rename(path, path + ".away");
         std::filesystem::rename(path + ".away", path);
       },
       false},
      {"the same bytes written again", [&] { ASSERT_TRUE(Write_In_Place(path, File_Bytes(), true)); }, false},
  };
  Root_Only_Cases root_only(Unchangeable_Needs_Root);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.needs_root && root_only.Left_Out(c.name)) continue;
    std::filesystem::remove(path);
    std::filesystem::remove(snapshot);
    Save_Gallery({1, 2});
    const std::string before = Read(path);
    Boxes.clear();
    {
      Drawing_Collection store(ann);
      Wait_Until_Ready(store);
      ASSERT_TRUE(Add_At(store, Drawing(10), 5, 5));
      c.change();
      EXPECT_EQ(store.Save_Refusal(), "");
      EXPECT_TRUE(store.Save(ann, HWND()));
      EXPECT_TRUE(Boxes.empty()) << Boxes.front();
    }
    Drawing_Collection reopened(ann);
    for (int seed : {1, 2}) { EXPECT_TRUE(Shows(reopened, Cell(0, seed), seed)) << seed; }
    EXPECT_TRUE(Shows(reopened, Cell(5, 5), 10));
    if (std::filesystem::exists(snapshot)) { EXPECT_TRUE(Read(snapshot) == before) << "the snapshot was written"; }
  }
  root_only.End();
}

// A file made unchangeable (the administrator only) or read-only while
// shown is told as such, at every save and as the reason no move of the file
// would mend; made writable again, the save goes through.
TEST_F(Gallery_File_Faults_Test, AFileMadeUnchangeableOrReadOnlyWhileShownSaysSo) {
  const std::string path = Gallery_Path();
  const struct {
    const char* name;
    std::function<bool(bool)> set;
    std::string reason;
    bool needs_root;
  } cases[] = {
      {"unchangeable", [&](bool on) { return Set_Unchangeable(path, on); }, "You have no permission to change the file",
       true},
      {"read-only", [&](bool on) { return chmod(path.c_str(), on ? 0444 : 0644) == 0; }, "The file is read-only",
       false},
      // No one but the administrator can make it writable again.
      {"read-only and unchangeable",
       [&](bool on) {
         return on ? chmod(path.c_str(), 0444) == 0 && Set_Unchangeable(path, true)
                   : Set_Unchangeable(path, false) && chmod(path.c_str(), 0644) == 0;
       },
       "You have no permission to change the file", true},
  };
  Root_Only_Cases root_only(Unchangeable_Needs_Root);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.needs_root && root_only.Left_Out(c.name)) continue;
    std::filesystem::remove(path);
    Save_Gallery({1});
    const std::vector<uint8_t> before = File_Bytes();
    Drawing_Collection store(ann);
    Wait_Until_Ready(store);
    ASSERT_TRUE(Add_At(store, Drawing(10), 5, 5));
    ASSERT_TRUE(c.set(true));
    Boxes.clear();
    EXPECT_EQ(store.Save_Refusal(), c.reason);
    EXPECT_TRUE(store.File_Must_Stay());
    EXPECT_FALSE(store.Save(ann, HWND()));
    const bool undone = c.set(false);
    EXPECT_EQ(Boxes, std::vector<std::string>{"WARNING: Unable to write file " + path + "\n" + c.reason +
                                              ": your changes are kept until you leave the program, and are not "
                                              "saved over that file.\n" + Drawing_Collection::Save_Advice(c.reason)});
    EXPECT_EQ(File_Bytes(), before);
    ASSERT_TRUE(undone);
    EXPECT_FALSE(store.File_Must_Stay());
    EXPECT_TRUE(store.Save(ann, HWND()));
    EXPECT_TRUE(Shows(store, Cell(5, 5), 10));
  }
  root_only.End();
}

// Another program's file under the name that the administrator has made
// unchangeable cannot be moved out by her: the box says who can, and once
// that is done the save goes through.
TEST_F(Gallery_File_Faults_Test, AnotherProgramsFileMadeUnchangeableIsForTheAdministratorToMove) {
  Root_Only_Cases root_only(Unchangeable_Needs_Root);
  if (root_only.Left_Out("another program's file made unchangeable")) return root_only.End();
  const std::string path = Gallery_Path();
  Save_Gallery({1});
  Drawing_Collection store(ann);
  Wait_Until_Ready(store);
  ASSERT_TRUE(Add_At(store, Drawing(10), 5, 5));
  ASSERT_TRUE(Rename_Other_Copy_Over(path));
  const std::vector<uint8_t> other = File_Bytes();
  ASSERT_TRUE(Set_Unchangeable(path, true));
  Boxes.clear();
  EXPECT_FALSE(store.Save(ann, HWND()));
  const bool undone = Set_Unchangeable(path, false);
  EXPECT_EQ(Boxes, std::vector<std::string>{"WARNING: Unable to write file " + path +
                                            "\nAnother program has put a different file in its place: your changes "
                                            "are kept until you leave the program, and are not saved over that "
                                            "file.\nTo save them, have the administrator make that file changeable again and move it out "
                                            "of the folder, and save the gallery again."});
  EXPECT_EQ(File_Bytes(), other);
  ASSERT_TRUE(undone);
  std::filesystem::rename(path, root_ + "/moved-out");
  EXPECT_TRUE(store.Save(ann, HWND()));
  EXPECT_TRUE(Shows(store, Cell(5, 5), 10));
  root_only.End();
}

// Two records claim one cell: the earlier is shown nowhere, and never
// prepared, but its bytes are known from the opening on, so that a change of
// them is another program's.
TEST_F(Gallery_File_Faults_Test, AChangeToARecordNoCellShowsIsAnotherProgramsChange) {
  Save_Gallery({1, 2});
  std::vector<uint8_t> bytes = File_Bytes();
  const std::vector<Gallery_File::Record> records = Gallery_File::Scan(bytes.data(), bytes.size()).records;
  Gallery_File::Write_U32(bytes.data() + records[1].offset + 8, 1);  // 2 to column 1
  ASSERT_TRUE(Write_In_Place(Gallery_Path(), bytes));
  Drawing_Collection store(ann);
  Wait_Until_Ready(store);
  ASSERT_TRUE(Shows(store, Cell(0, 1), 2));
  bytes[records[0].offset + 40] ^= 0x5A;
  ASSERT_TRUE(Change_In_Place(Gallery_Path(), records[0].offset + 40, {bytes[records[0].offset + 40]}));
  ASSERT_TRUE(Add_At(store, Drawing(3), 5, 5));
  Boxes.clear();
  EXPECT_FALSE(store.Save(ann, HWND()));
  ASSERT_EQ(Boxes.size(), 1u);
  EXPECT_NE(Boxes[0].find("\nAnother program has changed the file: "), std::string::npos) << Boxes[0];
  EXPECT_EQ(File_Bytes(), bytes);
}

// A new drawing the gallery could not read back (wider than any record
// the reader takes) is left out of the file and told as lost; the drawings
// saved with it read back.
TEST_F(Gallery_File_Faults_Test, ANewDrawingThatWouldNotReadBackIsLeftOutAndTold) {
  Save_Gallery({1});
  const uint32_t too_wide = Shape_Drawing::Max_Record_Side + 1;
  {
    Drawing_Collection store(ann);
    auto wide = std::make_unique<Shape_Drawing>(int(too_wide), 4, nullptr, TColor(255, 255, 255));
    ASSERT_TRUE(Add_At(store, std::move(wide), 0, 0));
    ASSERT_TRUE(Add_At(store, Drawing(2), 0, 2));
    Boxes.clear();
    EXPECT_TRUE(store.Save(ann, HWND()));
    EXPECT_EQ(Boxes, std::vector<std::string>{"WARNING: Unable to write file " + Gallery_Path() +
                                              "\nThe drawing in row 1, column 1 of the 12 by 12 view could not "
                                              "be written so that the gallery reads it back: it is lost, and your "
                                              "other drawings are saved."});
    EXPECT_EQ(store.State(Cell(0, 0)), 0);
  }
  const std::vector<uint8_t> saved = File_Bytes();
  EXPECT_TRUE(Gallery_File::Scan(saved.data(), saved.size()).whole);
  Drawing_Collection reopened(ann);
  EXPECT_EQ(reopened.State(Cell(0, 0)), 0);
  EXPECT_TRUE(Shows(reopened, Cell(0, 1), 1));
  EXPECT_TRUE(Shows(reopened, Cell(0, 2), 2));
}

}  // namespace
