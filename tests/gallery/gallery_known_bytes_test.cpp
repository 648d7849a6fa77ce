// What the store takes for its own bytes: only what it read while the file
// was as it opened it (or last wrote it); every other byte of the file is
// compared before a save writes into it, the bytes between and behind the
// records included.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "gallery/preparer_thread.h"
#include "tests/gallery/gallery_store_fixture.h"
#include "tests/gallery/outside_changes.h"

namespace {

using Place = Drawing_Place;
using Bytes = std::vector<uint8_t>;

constexpr Place Cell(int32_t row, int32_t column) { return Place{Place::Grid, row, column}; }

class Gallery_Known_Bytes_Test : public Gallery_Store_Test {
 protected:
  void Save_Gallery(std::initializer_list<int> seeds) {
    Drawing_Collection store(ann);
    for (int seed : seeds) ASSERT_TRUE(Add_At(store, Drawing(seed), 0, seed));
    store.Save(ann, HWND());
  }
  // The preparation pass of a store opened now never begins: no record is
  // read until the test asks for a picture, which is then made at once.
  static std::unique_ptr<Drawing_Collection> Open_Unread(const User& user) {
    Drawing_Collection::Hold_Preparation(true);
    auto store = std::make_unique<Drawing_Collection>(user);
    Drawing_Collection::Preparer()->Pause();
    return store;
  }
  std::string Changed_Box() const {
    return "WARNING: Unable to write file " + Gallery_Path() +
           "\nAnother program has changed the file: your changes are kept until you leave the program, and are not "
           "saved over that file.\nTo save them, move that file out of the folder and save the gallery again.";
  }
};

// Another program changes bytes the store has not read yet, in the first
// moments after the opening; the store reads them (or not) only afterwards.
// The save refuses, says so, and leaves that program's file as it left it.
TEST_F(Gallery_Known_Bytes_Test, BytesChangedBeforeTheStoreReadThemAreNotTakenAsItsOwn) {
  // One drawing: none of its bytes is known before the change.
  Save_Gallery({1});
  const Bytes whole = File_Bytes();
  const std::vector<Gallery_File::Record> records = Gallery_File::Scan(whole.data(), whole.size()).records;
  ASSERT_EQ(records.size(), 1u);
  const uint64_t pixel = records[0].offset + 40;
  Bytes one_pixel = whole, other_pixels = whole;
  one_pixel[pixel] ^= 0x21;
  for (uint64_t at = pixel; at < records[0].length; at += 97) other_pixels[at] ^= 0x21;
  const auto change_pixel = [&] { ASSERT_TRUE(Change_In_Place(Gallery_Path(), pixel, {one_pixel[pixel]})); };
  const struct {
    const char* name;
    bool read_after;               // the changed drawing is read before the save
    std::function<void()> change;  // what the other program does
    const Bytes& left;             // what it leaves in the file
  } cases[] = {
      {"a pixel changed in place, read afterwards", true, change_pixel, one_pixel},
      {"a pixel changed in place, never read", false, change_pixel, one_pixel},
      {"cut while opening, then written with other pixels", true,
       [&] {
         std::filesystem::resize_file(Gallery_Path(), 20);
         ASSERT_TRUE(Write_In_Place(Gallery_Path(), other_pixels, true));
       },
       other_pixels},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(Write_In_Place(Gallery_Path(), whole));
    const auto opened = Open_Unread(ann);
    Drawing_Collection& store = *opened;
    c.change();
    if (c.read_after) { EXPECT_NE(store.Picture(Cell(0, 1), Twelfth_Picture_Size, 1, HWND()), nullptr); }
    ASSERT_TRUE(Add_At(store, Drawing(10), 5, 5));
    Boxes.clear();
    EXPECT_FALSE(store.Save(ann, HWND()));
    EXPECT_EQ(Boxes, std::vector<std::string>{Changed_Box()});
    EXPECT_EQ(File_Bytes(), c.left);
    EXPECT_TRUE(Shows(store, Cell(5, 5), 10));
  }
}

// Bytes the store read while the file was its own stay its own: another
// program that writes them back as they were is not told as a change.
TEST_F(Gallery_Known_Bytes_Test, BytesReadBeforeAChangeAreKnownWhenPutBack) {
  Save_Gallery({1, 2});
  const Bytes whole = File_Bytes();
  Drawing_Collection store(ann);
  Wait_Until_Ready(store);
  ASSERT_TRUE(Write_In_Place(Gallery_Path(), whole, true));
  ASSERT_TRUE(Add_At(store, Drawing(10), 5, 5));
  Boxes.clear();
  EXPECT_TRUE(store.Save(ann, HWND()));
  EXPECT_TRUE(Boxes.empty());
}

// The bytes behind the end marker belong to no record: a drawing another
// program writes there, the size unchanged, is that program's, and no save
// writes over it. The file may end with more room than the marker needs (a
// save that could not finish grew it).
TEST_F(Gallery_Known_Bytes_Test, BytesWrittenBehindTheEndMarkerAreAnotherProgramsChange) {
  const struct {
    const char* name;
    uint64_t slack;  // bytes beyond the marker's twelve
    bool whole_drawing;
  } cases[] = {{"a few bytes after the marker", 0, false}, {"a whole drawing in the room behind it", 256 * 1024, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove(Gallery_Path());
    Save_Gallery({1, 2});
    const Bytes whole = File_Bytes();
    const Gallery_File::Contents contents = Gallery_File::Scan(whole.data(), whole.size());
    ASSERT_EQ(whole.size(), contents.end_offset + Gallery_File::End_Size);
    std::filesystem::resize_file(Gallery_Path(), whole.size() + c.slack);
    Drawing_Collection store(ann);
    Wait_Until_Ready(store);
    Bytes written = {'d', 'r', 'a', 'w'};
    if (c.whole_drawing) {
      auto drawing = Drawing(7);
      written.assign(Gallery_File::Header_Size + drawing->Stored_Size(), 0);
      ASSERT_LT(written.size(), c.slack);
      Gallery_File::Write_Header(written.data(), uint32_t(written.size()), 4, 4);
      drawing->Write(written.data() + Gallery_File::Header_Size);
    }
    // Behind the marker's length field, as a program that wrote a record
    // of its own there would leave it.
    ASSERT_TRUE(Change_In_Place(Gallery_Path(), contents.end_offset + 4, written));
    const Bytes changed = File_Bytes();
    ASSERT_EQ(changed.size(), whole.size() + c.slack);
    ASSERT_TRUE(Add_At(store, Drawing(10), 5, 5));
    Boxes.clear();
    EXPECT_FALSE(store.Save(ann, HWND()));
    EXPECT_EQ(Boxes, std::vector<std::string>{Changed_Box()});
    EXPECT_EQ(File_Bytes(), changed);
  }
}

// She follows the advice after another program changed a pixel of a drawing
// she sees: the changed file moved out of the folder, the save writes every
// drawing whose bytes are those the store learnt, and names the others by
// their places; the moved file stays as that program left it. A drawing the
// store never read is written as the file it opened holds it: named as
// unchecked when that file's modification time moved, silently when its
// writer put the time back (nothing then tells the change from a chmod).
TEST_F(Gallery_Known_Bytes_Test, ADrawingChangedByAnotherProgramIsNamedNotWrittenSilently) {
  const struct {
    const char* name;
    bool read_first;  // every drawing read before the change
    bool keep_times;  // the other program puts the modification time back
    std::string box;  // after the advice is followed; empty for none
    std::vector<int> kept;  // seeds still in row 1
  } cases[] = {
      {"read before the change", true, true,
       "WARNING: Unable to read file %\nThe drawing in row 1, column 3 of the 12 by 12 view could no longer be read "
       "as the gallery showed it (another program changed the file or cut it short): it is lost, and your other "
       "drawings are saved.",
       {1}},
      {"never read, the time put back", false, true, "", {1, 2}},
      {"never read, the time moved", false, false,
       "WARNING: Unable to check file %\nThe drawings in row 1, column 2 and row 1, column 3 of the 12 by 12 view "
       "could not be checked (another program changed the file before the gallery read them): they are saved as the "
       "file held them, and any file that program moved away is left as it is.",
       {1, 2}},
  };
  const std::string moved = root_ + "/moved.gal";
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove(Gallery_Path());
    Save_Gallery({1, 2});
    const Bytes whole = File_Bytes();
    const std::vector<Gallery_File::Record> records = Gallery_File::Scan(whole.data(), whole.size()).records;
    Bytes changed;
    {
      Drawing_Collection::Hold_Preparation(!c.read_first);
      Drawing_Collection store(ann);
      if (c.read_first) Wait_Until_Ready(store);
      const uint64_t pixel = records[1].offset + 40;
      if (c.keep_times) {
        ASSERT_TRUE(Change_In_Place(Gallery_Path(), pixel, {uint8_t(whole[pixel] ^ 0x40)}));
      } else {
        Bytes other = whole;
        other[pixel] ^= 0x40;
        ASSERT_TRUE(Write_In_Place(Gallery_Path(), other));
      }
      changed = File_Bytes();
      ASSERT_TRUE(Add_At(store, Drawing(10), 5, 5));
      Boxes.clear();
      EXPECT_FALSE(store.Save(ann, HWND()));
      std::filesystem::rename(Gallery_Path(), moved);
      Boxes.clear();
      EXPECT_TRUE(store.Save(ann, HWND()));
      std::string box = c.box;
      if (!box.empty()) box.replace(box.find('%'), 1, Gallery_Path());
      EXPECT_EQ(Boxes, box.empty() ? std::vector<std::string>{} : std::vector<std::string>{box});
      EXPECT_EQ(Read(moved), std::string(changed.begin(), changed.end()));
    }
    // Each drawing kept holds the bytes the file it opened held.
    const Bytes saved = File_Bytes();
    std::vector<Gallery_File::Record> in_saved = Gallery_File::Scan(saved.data(), saved.size()).records;
    for (int seed : {1, 2}) {
      const bool kept = std::count(c.kept.begin(), c.kept.end(), seed) > 0;
      const auto at = std::find_if(in_saved.begin(), in_saved.end(), [&](const auto& r) { return r.column == seed; });
      ASSERT_EQ(at != in_saved.end(), kept) << seed;
      if (!kept) continue;
      const Gallery_File::Record& was = records[size_t(seed - 1)];
      EXPECT_TRUE(std::equal(saved.begin() + long(at->offset), saved.begin() + long(at->offset + at->length),
                             changed.begin() + long(was.offset), changed.begin() + long(was.offset + was.length)))
          << seed;
    }
    Drawing_Collection reopened(ann);
    EXPECT_TRUE(Shows(reopened, Cell(5, 5), 10));
  }
}

// When bytes read after a moment belong to a file's change time: the store
// waits a tick only for a stamp that a change could still keep.
TEST(Gallery_Stamp_Test, AStampIsSettledOnceTheClockPassedItOrWhenItIsFinerThanTheClock) {
  const timespec tick{0, 4000000}, now{1000, 998000000};
  struct Case {
    timespec changed;
    bool settled;
  } cases[] = {
      {{1000, 997999999}, true},   // the clock has passed it
      {{1000, 998000000}, false},  // stamped in this tick: a change now may keep it
      {{1000, 999000000}, true},   // finer than the tick: looked at, a change gets another
      {{1001, 1999999}, true},     // finer, across a second
      {{1001, 2000000}, false},    // a tick ahead or more: a clock set back promises nothing
      {{1005, 0}, false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(Drawing_Collection::Stamp_Settled(c.changed, now, tick), c.settled)
        << c.changed.tv_sec << "." << c.changed.tv_nsec;
}

// What the rule stands on, on this machine's disk: a change after a look at
// a settled stamp never keeps it.
TEST(Gallery_Stamp_Test, AChangeAfterASettledStampAlwaysGetsAnother) {
  const std::string path = testing::TempDir() + "stamp-" + std::to_string(getpid());
  const int descriptor = open(path.c_str(), O_CREAT | O_TRUNC | O_RDWR, 0600);
  ASSERT_GE(descriptor, 0);
  int settled = 0;
  for (int i = 0; i < 2000; ++i) {
    struct stat before, after;
    ASSERT_EQ(write(descriptor, "x", 1), 1);
    ASSERT_EQ(fstat(descriptor, &before), 0);
    timespec now{}, tick{};
    clock_gettime(CLOCK_REALTIME_COARSE, &now);
    clock_getres(CLOCK_REALTIME_COARSE, &tick);
    if (!Drawing_Collection::Stamp_Settled(before.st_ctim, now, tick)) continue;
    ++settled;
    ASSERT_EQ(write(descriptor, "y", 1), 1);
    ASSERT_EQ(fstat(descriptor, &after), 0);
    EXPECT_TRUE(after.st_ctim.tv_sec != before.st_ctim.tv_sec || after.st_ctim.tv_nsec != before.st_ctim.tv_nsec)
        << "a change kept the stamp " << before.st_ctim.tv_sec << "." << before.st_ctim.tv_nsec;
  }
  close(descriptor);
  unlink(path.c_str());
  EXPECT_GT(settled, 0);
}

}  // namespace
