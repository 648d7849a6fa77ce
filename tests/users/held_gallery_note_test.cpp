// The record of the file a save holds a gallery under: only the very file
// it names stands as held, a link judged as itself; a record that is not
// whole, or that was written in another folder, notes nothing; and it is
// never written through a link.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "tests/platform/system/temp_home.h"
#include "users/held_gallery_note.h"

namespace {

using Standing = Held_Gallery_Note::Standing;

class Held_Gallery_Note_Test : public Temp_Home {
 protected:
  std::string Held() const { return root_ + "/data/.saving-Ann.gal"; }
  std::string Record() const { return Held_Gallery_Note::Record_Name(Held()); }
  void Note_Held() {
    Held_Gallery_Note::File file;
    ASSERT_TRUE(Held_Gallery_Note::Of_Name(Held(), file));
    ASSERT_TRUE(Held_Gallery_Note::Note(Held(), {file}));
  }
};

TEST_F(Held_Gallery_Note_Test, OnlyTheNotedFileItselfIsHeld) {
  const std::string other = root_ + "/data/other.gal";
  const struct {
    const char* name;
    std::function<void()> after_note;  // what happens to the held name once noted
    Standing standing;
  } cases[] = {
      {"the noted file", [] {}, Standing::Noted},
      {"the noted file renamed away and back", [&] {
         std::filesystem::rename(Held(), other);
         std::filesystem::rename(other, Held());
       },
       Standing::Noted},
      {"a copy of it in its place", [&] {
         std::filesystem::copy_file(Held(), other);
         std::filesystem::rename(other, Held());
       },
       Standing::Other},
      // Deleted and made again: the same inode may serve, born later.
      {"an empty file made in its place", [&] {
         std::filesystem::remove(Held());
         Write(Held(), "");
       },
       Standing::Other},
      {"a link to it in its place", [&] {
         std::filesystem::rename(Held(), other);
         std::filesystem::create_symlink(other, Held());
       },
       Standing::Other},
      {"gone", [&] { std::filesystem::remove(Held()); }, Standing::Nothing},
      {"the record gone", [&] { std::filesystem::remove(Record()); }, Standing::Unnoted},
      {"the record cut by a byte", [&] {
         std::filesystem::resize_file(Record(), std::filesystem::file_size(Record()) - 1);
       },
       Standing::Unnoted},
      {"the record a byte longer", [&] { std::ofstream(Record(), std::ios::app) << 'x'; }, Standing::Unnoted},
      {"the record's first byte changed", [&] {
         std::fstream record(Record(), std::ios::in | std::ios::out | std::ios::binary);
         record.put('X');
       },
       Standing::Unnoted},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove(Held());
    std::filesystem::remove(other);
    Write(Held(), "a gallery");
    Note_Held();
    c.after_note();
    EXPECT_EQ(Held_Gallery_Note::Of_Held(Held()), c.standing);
  }
}

// A link noted as the held file (her gallery is a link to its file) is
// held as that link, whatever file it leads to.
TEST_F(Held_Gallery_Note_Test, ALinkIsNotedAsItself) {
  const std::string target = root_ + "/data/real.gal";
  Write(target, "a gallery");
  std::filesystem::create_symlink(target, Held());
  Note_Held();
  EXPECT_EQ(Held_Gallery_Note::Of_Held(Held()), Standing::Noted);
  std::filesystem::remove(Held());
  std::filesystem::rename(target, Held());
  EXPECT_EQ(Held_Gallery_Note::Of_Held(Held()), Standing::Other);
}

// In a copy of the folder the record names nothing: only she can tell
// whether the file there is hers.
TEST_F(Held_Gallery_Note_Test, ARecordCopiedWithItsFolderNotesNothing) {
  Write(Held(), "a gallery");
  Note_Held();
  const std::string copy = root_ + "/copy";
  std::filesystem::copy(root_ + "/data", copy, std::filesystem::copy_options::recursive);
  EXPECT_EQ(Held_Gallery_Note::Of_Held(copy + "/.saving-Ann.gal"), Standing::Unnoted);
  // Noted again there, it is held there.
  Held_Gallery_Note::File file;
  ASSERT_TRUE(Held_Gallery_Note::Of_Name(copy + "/.saving-Ann.gal", file));
  ASSERT_TRUE(Held_Gallery_Note::Note(copy + "/.saving-Ann.gal", {file}));
  EXPECT_EQ(Held_Gallery_Note::Of_Held(copy + "/.saving-Ann.gal"), Standing::Noted);
}

// The record's name is replaced, never written through: a link another
// program put there keeps leading to a file that keeps its bytes.
TEST_F(Held_Gallery_Note_Test, ALinkAtTheRecordsNameIsReplacedNotWrittenThrough) {
  const std::string target = root_ + "/data/notes";
  Write(target, "another program's notes");
  Write(Held(), "a gallery");
  std::filesystem::create_symlink(target, Record());
  Note_Held();
  EXPECT_FALSE(std::filesystem::is_symlink(Record()));
  EXPECT_EQ(Read(target), "another program's notes");
  EXPECT_EQ(Held_Gallery_Note::Of_Held(Held()), Standing::Noted);
}

// A note a kill stopped before it took its name goes with the note; other
// files beside it stay.
TEST_F(Held_Gallery_Note_Test, ANoteLeftUnderItsTemporaryNameGoesWithTheNote) {
  Write(Held(), "a gallery");
  Note_Held();
  const std::string left = Record() + ".Ab12Cd", longer = Record() + ".Ab12Cde", other = Held() + ".text";
  for (const std::string& path : {left, longer, other}) Write(path, "x");
  Held_Gallery_Note::Forget(Held());
  EXPECT_FALSE(std::filesystem::exists(Record()));
  EXPECT_FALSE(std::filesystem::exists(left));
  EXPECT_TRUE(std::filesystem::exists(longer) && std::filesystem::exists(other));
}

}  // namespace
