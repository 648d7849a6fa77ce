// Another program cuts or changes the gallery file, or puts a file or a link
// where the save holds it, before each step of a save: a save that says it
// saved leaves under the name a file that holds exactly the grid the store
// shows; one that meets the change says so, keeps the person's drawings and
// leaves that program's file as it is, and doing what its box advises leads
// to a save that works.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "tests/gallery/gallery_store_fixture.h"
#include "tests/gallery/outside_changes.h"
#include "tests/platform/system/root_only_cases.h"
#include "users/held_gallery_note.h"

namespace {

using Place = Drawing_Place;
using Step = Drawing_Collection::Save_Step;

constexpr Place Cell(int32_t row, int32_t column) { return Place{Place::Grid, row, column}; }

class Gallery_Save_Steps_Test : public Gallery_Store_Test {
 protected:
  ~Gallery_Save_Steps_Test() override { Drawing_Collection::Set_Save_Step_Hook(nullptr); }

  // The file as another program left it at the gallery's name (or where a
  // save holds it).
  std::string Held_Name() const { return Drawing_Collection::Claim_Name(Gallery_Path()); }
  std::string Other_Text() const { return "another program's notes"; }
  // Another person's gallery, with one drawing of its own.
  std::string Other_Gallery() {
    if (other_gallery.empty()) {
      const User bea{1, "Bea"};
      {
        Drawing_Collection theirs(bea);
        EXPECT_TRUE(Add_At(theirs, Drawing(77), 4, 4));
        EXPECT_TRUE(theirs.Save(bea, HWND()));
      }
      other_gallery = Read(bea.File_Path("gal"));
      std::filesystem::remove(bea.File_Path("gal"));
    }
    return other_gallery;
  }
  std::string other_gallery;
  // Puts another program's file (text unless given), or a link to one, at
  // the held name, whatever is there now, as a rename does.
  void Put_At_Held_Name(bool link, const std::string& text = "") {
    const std::string other = root_ + "/other";
    Write(other, text.empty() ? Other_Text() : text);
    const std::string made = root_ + "/made";
    std::filesystem::remove(made);
    if (link) {
      std::filesystem::create_symlink(other, made);
    } else {
      std::filesystem::copy_file(other, made);
    }
    ASSERT_EQ(rename(made.c_str(), Held_Name().c_str()), 0);
  }
  bool Left_At_Held_Name(bool link, const std::string& text = "") const {
    const std::string& left = text.empty() ? Other_Text() : text;
    return std::filesystem::is_symlink(Held_Name()) == link && Read(Held_Name()) == left &&
           Read(root_ + "/other") == left;
  }

  using Pictures = std::vector<std::pair<Place, std::unique_ptr<Shape_Drawing>>>;

  // Saved: the file under the name reads whole and holds what the store
  // shows, drawing for drawing, and each as she had it before the save
  // (meant, where given) in that cell.
  void Expect_File_Holds_The_Grid(Drawing_Collection& store, const Pictures* meant = nullptr) {
    const std::vector<uint8_t> bytes = File_Bytes();
    const Gallery_File::Contents contents = Gallery_File::Scan(bytes.data(), bytes.size());
    EXPECT_TRUE(contents.whole);
    std::set<std::pair<int32_t, int32_t>> in_file;
    for (const Gallery_File::Record& record : contents.records) in_file.insert({record.row, record.column});
    const auto shown = Shown(store);
    std::set<std::pair<int32_t, int32_t>> cells;
    for (const auto& [cell, picture] : shown) cells.insert({cell.a, cell.b});
    EXPECT_EQ(in_file, cells);
    Drawing_Collection::Hold_Preparation(false);
    Drawing_Collection reopened(ann);
    for (const auto& [cell, picture] : shown) {
      Shape_Drawing* full = reopened.Picture(cell, Full_Picture_Size, 0, HWND());
      EXPECT_TRUE(full && full->Same_Pixels(*picture)) << cell.a << ", " << cell.b;
      if (!meant) continue;
      for (const auto& [was, had] : *meant)
        if (was == cell) { EXPECT_TRUE(picture->Same_Pixels(*had)) << "changed: " << cell.a << ", " << cell.b; }
    }
  }

  // The cells the store shows, each with its full picture.
  Pictures Shown(Drawing_Collection& store) {
    Pictures shown;
    for (int32_t r = 0; r < 12; ++r)
      for (int32_t c = 0; c < 12; ++c)
        if (Shape_Drawing* full = store.Picture(Cell(r, c), Full_Picture_Size, 0, HWND()))
          shown.emplace_back(Cell(r, c), std::make_unique<Shape_Drawing>(*full, true));
    return shown;
  }
};

TEST_F(Gallery_Save_Steps_Test, AChangeBeforeAnyStepOfASaveIsToldOrTheFileHoldsTheGrid) {
  // Where the other program's file is left: at the gallery's name, through
  // a descriptor it opened before the save or by the name, or at the held
  // name.
  enum Left { Through_Descriptor, By_Name, At_Held_Name };
  const struct {
    const char* name;
    bool move;     // a drawing moved as well: the file is written beside
    bool away;     // the file moved away first: a new one is written
    bool empties;  // every drawing into the bin, none added: the file goes
    bool unread = false;  // before the preparation thread has read any drawing
    // The actions it is met with (all when empty): a plan added for what
    // only some of them show.
    std::set<Left> met_with{};
  } plans[] = {{"a new drawing appended", false, false, false},
               {"a new drawing appended before any drawing is read", false, false, false, true, {Through_Descriptor}},
               {"a drawing moved and a new one", true, false, false},
               {"the file moved away and a new drawing", false, true, false},
               {"every drawing into the bin", false, false, true, false, {By_Name, At_Held_Name}}};
  // The file as the action that writes whole bytes meant to leave it, and
  // the descriptor the other program opened before the save.
  std::vector<uint8_t> changed_by_other;
  std::string older;  // her gallery before the new drawing
  uint64_t cut_to = 0;
  int held = -1;
  const auto held_byte = [&](uint64_t at) {
    uint8_t byte = 0;
    return pread(held, &byte, 1, off_t(at)) == 1 ? int(byte) : -1;
  };
  const auto held_size = [&] {
    struct stat info;
    return fstat(held, &info) == 0 ? uint64_t(info.st_size) : UINT64_MAX;
  };
  // A file that lost every name (replaced by a save, or deleted) is no
  // gallery's: nothing done through a descriptor of it changes one.
  const auto named = [](int fd) {
    struct stat info;
    return fstat(fd, &info) == 0 && info.st_nlink > 0;
  };
  // Cuts the file through the descriptor inside its last record, keeping
  // keep bytes of it.
  const auto cut_into_last = [&](int fd, uint64_t keep) {
    struct stat info;
    if (!named(fd) || fstat(fd, &info) != 0) return false;
    std::vector<uint8_t> bytes(size_t(info.st_size));
    if (!Gallery_File::Read_At(fd, 0, bytes.data(), bytes.size())) return false;
    const Gallery_File::Contents contents = Gallery_File::Scan(bytes.data(), bytes.size());
    if (contents.records.empty()) return false;
    cut_to = contents.records.back().offset + keep;
    return ftruncate(fd, off_t(cut_to)) == 0;
  };
  const struct {
    const char* name;
    // What the other program does; false when it found nothing to do.
    std::function<bool(int held, const std::string& path)> act;
    Left left;
    // The file as that program left it: checked as soon as it acted, so
    // that an action that did not happen fails its row.
    std::function<bool()> left_as_is;
    // Only an append shows what it does.
    bool appends_only = false;
  } actions[] = {
      {"cut through a descriptor opened before",
       [&](int fd, const std::string&) { return named(fd) && ftruncate(fd, 100) == 0; }, Through_Descriptor,
       [&] { return named(held) && held_size() == 100; }},
      // The cuts a growth from the size checked fills up with zeros again.
      {"cut through a descriptor opened before, inside the last drawing's picture header",
       [&](int fd, const std::string&) { return cut_into_last(fd, Gallery_File::Header_Size + 4); },
       Through_Descriptor, [&] { return named(held) && held_size() == cut_to; }, true},
      {"cut through a descriptor opened before, inside the last drawing's pixels",
       [&](int fd, const std::string&) { return cut_into_last(fd, 40); },
       Through_Descriptor, [&] { return named(held) && held_size() == cut_to; }, true},
      {"a record's cell changed through a descriptor opened before",
       [&](int fd, const std::string&) {
         const uint8_t row[4] = {9, 0, 0, 0};
         return named(fd) && pwrite(fd, row, sizeof row, 4) == 4;
       },
       Through_Descriptor, [&] { return named(held) && held_byte(4) == 9; }},
      {"cut by name, as a copy over it begins (made empty where there is none)",
       [](int, const std::string& path) {
         const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
         return fd >= 0 && close(fd) == 0;
       },
       By_Name, [&] { return std::filesystem::exists(Gallery_Path()) && File_Bytes().empty(); }},
      {"a record's cell changed by name, the size and times kept",
       [](int, const std::string& path) { return Change_In_Place(path, 4, {9}); }, By_Name,
       [&] { return File_Bytes().size() > 8 && File_Bytes()[4] == 9; }},
      {"a pixel of the new drawing changed by name, the size and times kept",
       [&](int, const std::string& path) {
         changed_by_other = File_Bytes();
         for (const Gallery_File::Record& record :
              Gallery_File::Scan(changed_by_other.data(), changed_by_other.size()).records)
           if (record.row == 5 && record.column == 5) {
             const uint64_t pixel_at = record.offset + 40;
             changed_by_other[pixel_at] ^= 0x5A;
             return Change_In_Place(path, pixel_at, {changed_by_other[pixel_at]});
           }
         return false;
       },
       By_Name, [&] { return File_Bytes() == changed_by_other; }},
      {"a file of the same length with other bytes renamed over it",
       [&](int, const std::string& path) {
         changed_by_other = File_Bytes();
         if (!std::filesystem::exists(path) || changed_by_other.empty()) return false;
         // A pixel of the first drawing, which fills most of the file.
         changed_by_other[changed_by_other.size() / 2] ^= 0x5A;
         const std::string copy = root_ + "/same-length";
         Write(copy, std::string(changed_by_other.begin(), changed_by_other.end()));
         return rename(copy.c_str(), path.c_str()) == 0;
       },
       By_Name, [&] { return File_Bytes() == changed_by_other; }},
      {"a file put at the held name",
       [&](int, const std::string&) {
         Put_At_Held_Name(false);
         return true;
       },
       At_Held_Name, [&] { return Left_At_Held_Name(false); }},
      {"a link put at the held name",
       [&](int, const std::string&) {
         Put_At_Held_Name(true);
         return true;
       },
       At_Held_Name, [&] { return Left_At_Held_Name(true); }},
      // Files that read as a gallery, hers or not, are no more hers than
      // any other: only the very file the save put there is.
      {"a link to another person's gallery put at the held name",
       [&](int, const std::string&) {
         Put_At_Held_Name(true, Other_Gallery());
         return true;
       },
       At_Held_Name, [&] { return Left_At_Held_Name(true, Other_Gallery()); }},
      {"another person's gallery put at the held name",
       [&](int, const std::string&) {
         Put_At_Held_Name(false, Other_Gallery());
         return true;
       },
       At_Held_Name, [&] { return Left_At_Held_Name(false, Other_Gallery()); }},
      {"an older copy of her gallery put at the held name",
       [&](int, const std::string&) {
         Put_At_Held_Name(false, older);
         return true;
       },
       At_Held_Name, [&] { return Left_At_Held_Name(false, older); }},
      {"a file of zeros put at the held name",
       [&](int, const std::string&) {
         Put_At_Held_Name(false, std::string(4096, '\0'));
         return true;
       },
       At_Held_Name, [&] { return Left_At_Held_Name(false, std::string(4096, '\0')); }},
  };
  // Placed: the swap right after the rewrite's rename.
  const Step steps[] = {Step::Check, Step::Claim,    Step::Grow,   Step::Reserve, Step::Write, Step::Placed,
                        Step::Link,  Step::Put_Back, Step::Verify, Step::Take};
  // How many rows each action happened in: one that never does tests
  // nothing. The steps each plan's save passes, as the rows of the first
  // action it meets found them: the others' rows at a step it never passes
  // would only save.
  Other_Gallery();  // made before any save is under way
  std::map<std::string, int> happened;
  std::map<std::string, std::set<Step>> passed;
  std::map<std::string, const void*> first_met;
  for (const auto& plan : plans)
    for (const auto& action : actions)
      for (const Step step : steps) {
        if ((!plan.met_with.empty() && plan.met_with.count(action.left) == 0) ||
            (action.appends_only && (plan.move || plan.away || plan.empties)))
          continue;
        const void*& first = first_met[plan.name];
        if (!first) first = &action;
        if (first != &action && passed[plan.name].count(step) == 0) continue;
        SCOPED_TRACE(std::string(plan.name) + ", " + action.name + " before step " + std::to_string(int(step)));
        std::filesystem::remove(Gallery_Path());
        std::filesystem::remove(Held_Name());
        {
          Drawing_Collection first(ann);
          // Pixels that pack into no run: the file spans many pages, and a
          // write behind a cut faults.
          auto noisy = Drawing(1);
          uint8_t* bits = noisy->Writable_Pixels();
          for (int32_t i = 0; i < noisy->Bitmap->Pitch() * S(); ++i) bits[i] = uint8_t(i * 2654435761u >> 24);
          ASSERT_TRUE(Add_At(first, std::move(noisy), 0, 1));
          ASSERT_TRUE(Add_At(first, Drawing(2), 0, 2));
          ASSERT_TRUE(first.Save(ann, HWND()));
        }
        older = Read(Gallery_Path());
        Drawing_Collection::Hold_Preparation(plan.unread);
        Drawing_Collection store(ann);
        if (!plan.unread) Wait_Until_Ready(store);
        if (plan.move) { ASSERT_TRUE(store.Move(Cell(3, 3), Cell(0, 1))); }
        if (plan.empties) {
          for (int32_t column : {1, 2}) { ASSERT_TRUE(store.Move(Place{Place::Bin, 0, 0}, Cell(0, column))); }
        } else {
          ASSERT_TRUE(Add_At(store, Drawing(10), 5, 5));
        }
        // Whatever the change, the person still sees her new drawing.
        const auto shows_new = [&] { return plan.empties || Shows(store, Cell(5, 5), 10); };
        const Pictures meant = Shown(store);
        held = open(Gallery_Path().c_str(), O_RDWR | O_CLOEXEC);
        ASSERT_GE(held, 0);
        if (plan.away) std::filesystem::rename(Gallery_Path(), root_ + "/away.gal");
        bool fired = false;
        Drawing_Collection::Set_Save_Step_Hook([&](Step at) {
          passed[plan.name].insert(at);
          if (at != step || fired) return;
          fired = action.act(held, Gallery_Path());
          if (fired) { EXPECT_TRUE(action.left_as_is()) << "the action did not happen"; }
          happened[action.name] += fired;
        });
        Boxes.clear();
        const bool saved = store.Save(ann, HWND());
        Drawing_Collection::Set_Save_Step_Hook(nullptr);
        if (!fired) { EXPECT_TRUE(saved) << "an undisturbed save failed"; }
        // A refusal is told in its own words.
        if (!saved) {
          ASSERT_FALSE(Boxes.empty());
          EXPECT_TRUE(Boxes.back().find("nother program") != std::string::npos ||
                      Boxes.back().find("in the way") != std::string::npos)
              << Boxes.back();
        }
        EXPECT_TRUE(shows_new());
        // What another program put under a name is its own, and never under
        // the gallery's name.
        if (fired && action.left != Through_Descriptor) { EXPECT_TRUE(action.left_as_is()) << "written over"; }
        if (!saved) {
          // What the other program left stays; but a cut through a
          // descriptor once the save has checked the size it grows from is
          // grown again, as no save can tell before it reads back.
          if (action.left != Through_Descriptor || step != Step::Reserve) {
            EXPECT_TRUE(action.left_as_is()) << "written over";
          }
          // Her gallery held aside is not saved under its name yet: the exit
          // asks, and says why the save cannot be made now.
          if (Boxes.back().find("your gallery is kept as") != std::string::npos) {
            EXPECT_TRUE(store.Changed());
            EXPECT_EQ(store.Save_Refusal(),
                      "Another program put a new file under that name while the gallery was saved");
          }
          // She does as the box says: that program's file out of the
          // folder, and the gallery saved again.
          const std::string away = root_ + "/moved-out";
          std::filesystem::remove(away);
          std::filesystem::rename(action.left == At_Held_Name ? Held_Name() : Gallery_Path(), away);
          Boxes.clear();
          EXPECT_TRUE(store.Save(ann, HWND())) << (Boxes.empty() ? "" : Boxes.back());
          EXPECT_TRUE(shows_new());
          EXPECT_FALSE(std::filesystem::exists(Held_Name()));
        }
        close(held);
        if (plan.empties) {
          // Her gallery has no file now: whatever is under the name is
          // another program's, and a later save leaves it as it is. The
          // held name's file goes out first, as its box advised.
          std::filesystem::remove(root_ + "/held-out");
          if (std::filesystem::is_symlink(Held_Name()) || std::filesystem::exists(Held_Name()))
            std::filesystem::rename(Held_Name(), root_ + "/held-out");
          const bool theirs = std::filesystem::exists(Gallery_Path());
          const std::string left = theirs ? Read(Gallery_Path()) : "";
          ASSERT_TRUE(Add_At(store, Drawing(11), 6, 6));
          EXPECT_EQ(store.Save(ann, HWND()), !theirs);
          if (theirs) {
            EXPECT_EQ(Read(Gallery_Path()), left) << "written over";
            std::filesystem::rename(Gallery_Path(), root_ + "/moved-out");
            EXPECT_TRUE(store.Save(ann, HWND()));
          }
        }
        Expect_File_Holds_The_Grid(store, &meant);
      }
  for (const auto& action : actions) { EXPECT_GT(happened[action.name], 0) << action.name << " never happened"; }
}

// Another program deletes the gallery, moves it away, renames a copy over
// it (with the same bytes or others), links it or changes its mode and back
// before the store has read any drawing: no drawing is lost. A save writes
// every drawing, the new one too, or refuses and says why; her doing what
// the box says leads to a save that does. Each drawing is checked by its
// pixels, and the files the other program made keep what they held.
TEST_F(Gallery_Save_Steps_Test, AChangeOfNameLinksOrModeBeforeAnyDrawingIsReadCostsNoDrawing) {
  const std::string away = root_ + "/away.gal";
  const struct {
    const char* name;
    std::function<void(const std::string& path)> change;
    bool refused;  // the first save refuses; the box's advice is followed
    // The save that writes names the drawings as ones it could not check:
    // the file it opened was written since.
    bool unchecked = false;
  } cases[] = {
      {"deleted", [](const std::string& path) { std::filesystem::remove(path); }, false},
      {"moved away", [&](const std::string& path) { std::filesystem::rename(path, away); }, false},
      {"a copy with the same bytes renamed over it",
       [&](const std::string& path) {
         std::filesystem::copy_file(path, away);
         std::filesystem::rename(away, path);
       },
       false},
      {"a copy with other bytes renamed over it",
       [](const std::string& path) { ASSERT_TRUE(Rename_Other_Copy_Over(path)); }, true},
      {"a copy of the same length with a pixel changed renamed over it",
       [&](const std::string& path) {
         std::string bytes = Read(path);
         bytes[bytes.size() / 2] ^= 0x5A;
         Write(away, bytes);
         std::filesystem::rename(away, path);
       },
       true},
      {"written again in place, then a copy of it renamed over it",
       [&](const std::string& path) {
         ASSERT_TRUE(Write_In_Place(path, File_Bytes()));
         std::filesystem::copy_file(path, away);
         std::filesystem::rename(away, path);
       },
       true, true},
      {"a hard link", [&](const std::string& path) { ASSERT_EQ(link(path.c_str(), away.c_str()), 0); }, true},
      {"read-only and back",
       [](const std::string& path) {
         ASSERT_EQ(chmod(path.c_str(), 0444), 0);
         ASSERT_EQ(chmod(path.c_str(), 0644), 0);
       },
       true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove(Gallery_Path());
    std::filesystem::remove(away);
    {
      Drawing_Collection first(ann);
      for (int seed : {1, 2, 3}) ASSERT_TRUE(Add_At(first, Drawing(seed), 0, seed));
      ASSERT_TRUE(first.Save(ann, HWND()));
    }
    Drawing_Collection::Hold_Preparation(true);
    Drawing_Collection store(ann);
    c.change(Gallery_Path());
    const std::string other = std::filesystem::exists(Gallery_Path()) ? Read(Gallery_Path()) : "";
    const std::string moved = std::filesystem::exists(away) ? Read(away) : "";
    ASSERT_TRUE(Add_At(store, Drawing(10), 5, 5));
    // The exit asks what the save would answer.
    EXPECT_EQ(store.Save_Refusal().empty(), !c.refused) << store.Save_Refusal();
    Boxes.clear();
    EXPECT_EQ(store.Save(ann, HWND()), !c.refused);
    if (c.refused) {
      ASSERT_EQ(Boxes.size(), 1u);
      EXPECT_NE(Boxes[0].find("To save them, move that file out of the folder and save the gallery again."),
                std::string::npos)
          << Boxes[0];
      std::filesystem::rename(Gallery_Path(), root_ + "/moved-out.gal");
      EXPECT_EQ(Read(root_ + "/moved-out.gal"), other);
      Boxes.clear();
      EXPECT_TRUE(store.Save(ann, HWND()));
    }
    if (c.unchecked) {
      EXPECT_EQ(Boxes, std::vector<std::string>{
                           "WARNING: Unable to check file " + Gallery_Path() +
                           "\nThe drawings in row 1, column 2; row 1, column 3 and row 1, column 4 of the 12 by 12 "
                           "view could not be checked (another program changed the file before the gallery read "
                           "them): they are saved as the file held them, and any file that program moved away is "
                           "left as it is."});
      Boxes.clear();
    }
    EXPECT_TRUE(Boxes.empty()) << Boxes.front();
    if (!moved.empty()) { EXPECT_EQ(Read(away), moved); }
    for (int seed : {1, 2, 3}) { EXPECT_TRUE(Shows(store, Cell(0, seed), seed)) << seed; }
    Expect_File_Holds_The_Grid(store);
    Drawing_Collection reopened(ann);
    for (int seed : {1, 2, 3}) { EXPECT_TRUE(Shows(reopened, Cell(0, seed), seed)) << seed; }
    EXPECT_TRUE(Shows(reopened, Cell(5, 5), 10));
  }
}

// A save stopped while it held the file aside left it under the claimed
// name, and perhaps the new file it was writing beside it: the next opening
// puts the gallery back and clears that leftover. When another file has
// taken the name meanwhile, or it cannot be moved, she sees her gallery
// where it is and is told where; the file to move out is the other one,
// and doing so lets the next save put her gallery back with her changes.
// Another program's file at the held name is never taken for her gallery.
TEST_F(Gallery_Save_Steps_Test, AGalleryLeftAsideByAStoppedSaveComesBackOrIsTold) {
  const std::string aside = Held_Name();
  const std::string taken = "Unable to move file " + aside + Drawing_Collection::Hidden_Note +
                            "\nAnother file is under the name " + Gallery_Path() +
                            ", and a save that was stopped kept your gallery as " + aside;
  enum At_Held { Gallery, Text, Link_To_Text };
  const struct {
    const char* name;
    At_Held held;
    bool name_taken;
    bool unchangeable;
    std::string box;  // the opening's, from its first line; empty: none
    bool unchangeable_later = false;  // once the name is free
    bool damaged = false;             // behind its one drawing
  } cases[] = {
      {"the name is free", Gallery, false, false, ""},
      // Nothing was written at the opening: what failed is the move back.
      {"another file took the name", Gallery, true, false, taken},
      {"another program's file at the held name", Text, false, false,
       "Unable to use file " + aside + Drawing_Collection::Hidden_Note + "\nIt is another program's file"},
      {"a link to another program's file at the held name", Link_To_Text, false, false,
       "Unable to use file " + aside + Drawing_Collection::Hidden_Note + "\nIt is another program's file"},
      {"the held gallery made unchangeable", Gallery, false, true,
       "Unable to move file " + aside + Drawing_Collection::Hidden_Note + "\nYour gallery is kept as " + aside +
           Drawing_Collection::Hidden_Note + ", which the administrator has made unchangeable"},
      {"another file took the name, and the held gallery is made unchangeable", Gallery, true, false, taken, true},
      {"another file took the name, and the held gallery is damaged", Gallery, true, false, taken, false, true},
  };
  Root_Only_Cases root_only(Unchangeable_Needs_Root);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    if ((c.unchangeable || c.unchangeable_later) && root_only.Left_Out(c.name)) continue;
    std::filesystem::remove(Gallery_Path());
    std::filesystem::remove(aside);
    {
      Drawing_Collection first(ann);
      ASSERT_TRUE(Add_At(first, Drawing(1), 0, 1));
      ASSERT_TRUE(first.Save(ann, HWND()));
    }
    std::string gallery = Read(Gallery_Path());
    // A length no record can have where the end marker was.
    if (c.damaged) gallery.replace(gallery.size() - Gallery_File::End_Size, 4, "\xff\xff\xff\x7f");
    const std::string leftover = aside + ".Ab12Cd";
    if (c.held == Gallery) {
      // As a stopped save leaves it: the file it held noted beside it.
      std::filesystem::rename(Gallery_Path(), aside);
      Write(aside, gallery);
      Held_Gallery_Note::File noted;
      ASSERT_TRUE(Held_Gallery_Note::Of_Name(aside, noted));
      ASSERT_TRUE(Held_Gallery_Note::Note(aside, {noted}));
      Write(leftover, "half of a new gallery");
    } else {
      Put_At_Held_Name(c.held == Link_To_Text);
    }
    // Shorter than a record: an empty gallery, read whole.
    if (c.name_taken) Write(Gallery_Path(), "ab");
    if (c.unchangeable) { ASSERT_TRUE(Set_Unchangeable(aside, true)); }
    Boxes.clear();
    auto store = std::make_unique<Drawing_Collection>(ann);
    if (c.unchangeable) Set_Unchangeable(aside, false);
    // Her drawings are shown, wherever they are.
    EXPECT_TRUE(Shows(*store, Cell(0, 1), 1));
    if (c.box.empty()) {
      EXPECT_TRUE(Boxes.empty());
      EXPECT_FALSE(std::filesystem::exists(aside));
      EXPECT_FALSE(std::filesystem::exists(leftover));
      continue;
    }
    ASSERT_EQ(Boxes.size(), c.damaged ? 2u : 1u);
    EXPECT_EQ(Boxes[0].rfind("WARNING: " + c.box, 0), 0u) << Boxes[0];
    // Her damaged gallery is the one copied aside, before a save rewrites it.
    const std::string copy = aside + ".damaged-";
    if (c.damaged) {
      EXPECT_EQ(Boxes[1].rfind("WARNING: Unable to read file " + aside + "\nThe file is damaged: the 1 drawing read "
                               "whole is shown, and a copy of the file is kept as " + copy, 0),
                0u)
          << Boxes[1];
      const size_t at = Boxes[1].find(copy);
      EXPECT_EQ(Read(Boxes[1].substr(at, Boxes[1].size() - at - 1)), gallery);
    }
    EXPECT_NE(Boxes[0].find(aside + Drawing_Collection::Hidden_Note), std::string::npos) << Boxes[0];
    if (c.held != Gallery) {
      EXPECT_NE(Boxes[0].find("is another program's file, not one this program kept there"), std::string::npos)
          << Boxes[0];
      EXPECT_TRUE(Left_At_Held_Name(c.held == Link_To_Text));
    }
    if (c.unchangeable) {
      EXPECT_NE(Boxes[0].find("have the administrator make the file " + aside + " changeable again"),
                std::string::npos)
          << Boxes[0];
      EXPECT_TRUE(store->File_Must_Stay());
      // Made changeable, the next start puts it back.
      store.reset();
      Boxes.clear();
      Drawing_Collection again(ann);
      EXPECT_TRUE(Boxes.empty());
      EXPECT_TRUE(Shows(again, Cell(0, 1), 1));
      EXPECT_EQ(Read(Gallery_Path()), gallery);
      continue;
    }
    ASSERT_TRUE(Add_At(*store, Drawing(10), 5, 5));
    Boxes.clear();
    EXPECT_FALSE(store->Save(ann, HWND()));
    ASSERT_EQ(Boxes.size(), 1u);
    if (c.name_taken) {
      // Said as it happened: before the program started, not during a save.
      EXPECT_NE(Boxes[0].find("\nAnother file is under that name, and a save that was stopped kept your gallery "
                              "aside: your gallery is kept as " + aside),
                std::string::npos)
          << Boxes[0];
      EXPECT_EQ(Boxes[0].find("while the gallery was saved"), std::string::npos) << Boxes[0];
      EXPECT_NE(Boxes[0].find("move the file " + Gallery_Path() + " out of the folder"), std::string::npos)
          << Boxes[0];
      EXPECT_EQ(Read(Gallery_Path()), "ab");
      EXPECT_EQ(Read(aside), gallery);
      EXPECT_TRUE(std::filesystem::exists(leftover));
    } else {
      EXPECT_NE(Boxes[0].find("The file " + aside + Drawing_Collection::Hidden_Note +
                              ", which is not a gallery but another program's file, is in the way"),
                std::string::npos)
          << Boxes[0];
      EXPECT_TRUE(Left_At_Held_Name(c.held == Link_To_Text));
    }
    EXPECT_TRUE(Shows(*store, Cell(5, 5), 10));
    // She does as the box says, and saves again: her gallery is back under
    // its name with every drawing.
    std::filesystem::rename(c.name_taken ? Gallery_Path() : aside, root_ + "/moved-out");
    if (c.unchangeable_later) {
      // It cannot go back: the box says who can let it.
      ASSERT_TRUE(Set_Unchangeable(aside, true));
      Boxes.clear();
      EXPECT_FALSE(store->Save(ann, HWND()));
      Set_Unchangeable(aside, false);
      EXPECT_EQ(Boxes, std::vector<std::string>{"WARNING: Unable to write file " + Gallery_Path() +
                                                "\nYour gallery is kept as " + aside + Drawing_Collection::Hidden_Note +
                                                ", which the administrator has made unchangeable: your changes are "
                                                "kept until you leave the program.\nTo save them, have the "
                                                "administrator make that file changeable again, and save the gallery "
                                                "again."});
    }
    Boxes.clear();
    EXPECT_TRUE(store->Save(ann, HWND())) << (Boxes.empty() ? "" : Boxes.back());
    EXPECT_FALSE(std::filesystem::exists(aside));
    store.reset();
    Drawing_Collection reopened(ann);
    EXPECT_TRUE(Shows(reopened, Cell(0, 1), 1));
    EXPECT_TRUE(Shows(reopened, Cell(5, 5), 10));
    std::filesystem::remove(root_ + "/moved-out");
  }
  root_only.End();
}

// A save stopped at a step where it holds the gallery aside: the next start
// puts back the very file it noted there, with every drawing. Whatever else
// is found there instead (a link to another person's gallery, another
// person's gallery, an older copy of hers, a file of zeros, an empty file)
// is another program's: named at every start, left byte for byte, never
// put under her name, shown or written through, and moving it out lets her
// save. In a copy of the folder her held gallery may be newer than the one
// under her name: it is named as such, and nothing moves.
TEST_F(Gallery_Save_Steps_Test, OnlyTheFileAStoppedSaveNotedAtTheHeldNameIsTakenForHers) {
  const std::string aside = Held_Name();
  const std::string older_path = root_ + "/older";
  enum Found { Hers, Link_To_Other_Gallery, Other_Gallery_Copy, Older_Copy, Zeros, Empty, Folder_Copied };
  const struct {
    const char* name;
    Found found;
  } finds[] = {{"her held gallery", Hers},
               {"a link to another person's gallery", Link_To_Other_Gallery},
               {"another person's gallery", Other_Gallery_Copy},
               {"an older copy of her gallery", Older_Copy},
               {"a file of zeros", Zeros},
               {"an empty file", Empty},
               {"her held gallery in a copy of the folder", Folder_Copied}};
  // Appended (stopped before it writes, before it links) or written beside
  // (before it writes, once the new file is in place), and before it puts
  // the file back.
  const struct {
    bool beside;
    Step stop;
  } stops[] = {{false, Step::Write}, {false, Step::Link},    {false, Step::Put_Back},
               {true, Step::Write},  {true, Step::Placed},   {true, Step::Put_Back}};
  const std::string theirs = Other_Gallery();
  const std::string data = The_User_Data.directory;
  for (const auto& stop : stops)
    for (const auto& find : finds) {
      SCOPED_TRACE(std::string(find.name) + (stop.beside ? ", written beside" : ", appended") + ", stopped before " +
                   std::to_string(int(stop.stop)));
      The_User_Data.directory = data;
      std::filesystem::remove_all(data);
      std::filesystem::create_directories(data);
      {
        Drawing_Collection first(ann);
        ASSERT_TRUE(Add_At(first, Drawing(1), 0, 1));
        ASSERT_TRUE(first.Save(ann, HWND()));
        Write(older_path, Read(Gallery_Path()));
        ASSERT_TRUE(Add_At(first, Drawing(2), 0, 2));
        ASSERT_TRUE(first.Save(ann, HWND()));
      }
      Drawing_Collection::Release_Statics();  // the child starts its own thread
      const pid_t child = fork();
      ASSERT_GE(child, 0);
      if (child == 0) {
        Drawing_Collection store(ann);
        if (stop.beside && !store.Move(Cell(3, 3), Cell(0, 1))) _exit(3);
        if (!Add_At(store, Drawing(10), 5, 5)) _exit(3);
        Drawing_Collection::Set_Save_Step_Hook([&](Step at) {
          if (at == stop.stop) _exit(0);
        });
        store.Save(ann, HWND());
        _exit(4);
      }
      int status = 0;
      ASSERT_EQ(waitpid(child, &status, 0), child);
      ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
      ASSERT_FALSE(std::filesystem::exists(Gallery_Path()));
      ASSERT_TRUE(std::filesystem::exists(aside));
      const std::string held = Read(aside);
      // What another program does, and what it leaves at the held name.
      std::string left;
      bool link = false;
      const std::string other = root_ + "/other";
      std::filesystem::remove(other);
      switch (find.found) {
        case Hers: break;
        case Folder_Copied: {
          const std::string copy = root_ + "/copy/";
          std::filesystem::remove_all(copy);
          std::filesystem::copy(data, copy, std::filesystem::copy_options::recursive);
          The_User_Data.directory = copy;
          left = held;
          break;
        }
        case Link_To_Other_Gallery:
          Put_At_Held_Name(true, theirs);
          left = theirs;
          link = true;
          break;
        case Other_Gallery_Copy: Put_At_Held_Name(false, theirs); left = theirs; break;
        case Older_Copy: Put_At_Held_Name(false, Read(older_path)); left = Read(older_path); break;
        case Zeros: Put_At_Held_Name(false, std::string(4096, '\0')); left = std::string(4096, '\0'); break;
        case Empty:
          std::filesystem::remove(aside);
          Write(aside, "");
          break;
      }
      const std::string here = Held_Name();
      for (int start = 0; start < 2; ++start) {
        Boxes.clear();
        Drawing_Collection store(ann);
        if (find.found == Hers) {
          // Back under her name with every drawing it held, and the note
          // gone with it.
          EXPECT_TRUE(Boxes.empty()) << Boxes.front();
          EXPECT_EQ(Read(Gallery_Path()), held);
          EXPECT_FALSE(std::filesystem::exists(aside));
          EXPECT_FALSE(std::filesystem::exists(Held_Gallery_Note::Record_Name(aside)));
          EXPECT_TRUE(Shows(store, stop.beside && stop.stop != Step::Write ? Cell(3, 3) : Cell(0, 1), 1));
          EXPECT_TRUE(Shows(store, Cell(0, 2), 2));
          break;
        }
        // Told at every start; nothing moves, nothing of it is shown.
        ASSERT_EQ(Boxes.size(), 1u);
        EXPECT_EQ(Boxes[0].rfind("WARNING: Unable to use file " + here + Drawing_Collection::Hidden_Note + "\nIt" +
                                     (find.found == Folder_Copied ? " holds a gallery that this program did not note"
                                                                  : " is another program's file"),
                                 0),
                  0u)
            << Boxes[0];
        EXPECT_FALSE(std::filesystem::exists(Gallery_Path()));
        EXPECT_EQ(std::filesystem::is_symlink(here), link);
        EXPECT_EQ(Read(here), left);
        EXPECT_EQ(store.State(Cell(4, 4)), 0);
        EXPECT_EQ(store.State(Cell(0, 2)), 0);
      }
      if (find.found == Hers) continue;
      if (find.found == Folder_Copied) {
        // As the box says: renamed to her gallery's name, and started again.
        std::filesystem::rename(here, Gallery_Path());
        Drawing_Collection store(ann);
        EXPECT_TRUE(Shows(store, Cell(0, 2), 2));
        continue;
      }
      {
        // Her saves write no file through it, and she can save once it is
        // moved out of the folder.
        Drawing_Collection store(ann);
        ASSERT_TRUE(Add_At(store, Drawing(11), 6, 6));
        Boxes.clear();
        EXPECT_FALSE(store.Save(ann, HWND()));
        ASSERT_EQ(Boxes.size(), 1u);
        EXPECT_NE(Boxes[0].find("is in the way"), std::string::npos) << Boxes[0];
        EXPECT_EQ(Read(here), left);
        if (link) { EXPECT_EQ(Read(other), theirs); }
        std::filesystem::rename(here, root_ + "/moved-out");
        EXPECT_TRUE(store.Save(ann, HWND()));
        EXPECT_EQ(Read(root_ + "/moved-out"), left);
        EXPECT_FALSE(std::filesystem::exists(here));
      }
      Drawing_Collection reopened(ann);
      EXPECT_TRUE(Shows(reopened, Cell(6, 6), 11));
    }
  The_User_Data.directory = data;
}

// Another file took her gallery's name while it was saved, so the file the
// save wrote stays at the held name: it is known there by its identity
// alone. Another person's gallery renamed over it before that check is
// never taken for hers, shown, or put under her name, and doing what the
// boxes say leads to a save of every drawing.
TEST_F(Gallery_Save_Steps_Test, AFileSwappedInWhileHerGalleryIsHeldAsideIsNeverTakenForHers) {
  const std::string theirs = Other_Gallery();
  for (const bool beside : {false, true}) {
    SCOPED_TRACE(beside ? "written beside" : "appended");
    std::filesystem::remove(Gallery_Path());
    std::filesystem::remove(Held_Name());
    {
      Drawing_Collection first(ann);
      ASSERT_TRUE(Add_At(first, Drawing(1), 0, 1));
      ASSERT_TRUE(first.Save(ann, HWND()));
    }
    Drawing_Collection store(ann);
    Wait_Until_Ready(store);
    if (beside) { ASSERT_TRUE(store.Move(Cell(3, 3), Cell(0, 1))); }
    ASSERT_TRUE(Add_At(store, Drawing(10), 5, 5));
    Drawing_Collection::Set_Save_Step_Hook([&](Step at) {
      if (at == Step::Put_Back) Write(Gallery_Path(), "ab");
      if (at == Step::Verify) Put_At_Held_Name(false, theirs);
    });
    Boxes.clear();
    EXPECT_FALSE(store.Save(ann, HWND()));
    Drawing_Collection::Set_Save_Step_Hook(nullptr);
    ASSERT_FALSE(Boxes.empty());
    EXPECT_NE(Boxes.back().find("Another program put the file " + Held_Name() + " in the way while the gallery was saved"),
              std::string::npos)
        << Boxes.back();
    // Not where her gallery is kept, and nothing of it shown as hers.
    EXPECT_EQ(store.Held_At(), "");
    EXPECT_TRUE(Left_At_Held_Name(false, theirs));
    EXPECT_TRUE(Shows(store, beside ? Cell(3, 3) : Cell(0, 1), 1));
    EXPECT_TRUE(Shows(store, Cell(5, 5), 10));
    EXPECT_EQ(store.State(Cell(4, 4)), 0);
    // She moves each file in the way out, saving after each.
    std::filesystem::rename(Gallery_Path(), root_ + "/moved-out");
    EXPECT_FALSE(store.Save(ann, HWND()));
    EXPECT_TRUE(Left_At_Held_Name(false, theirs));
    std::filesystem::rename(Held_Name(), root_ + "/held-out");
    Boxes.clear();
    EXPECT_TRUE(store.Save(ann, HWND())) << (Boxes.empty() ? "" : Boxes.back());
    EXPECT_EQ(Read(root_ + "/held-out"), theirs);
    EXPECT_EQ(Read(root_ + "/moved-out"), "ab");
    Expect_File_Holds_The_Grid(store);
  }
}

// Her gallery held aside by a stopped save, another file under its name,
// and one of the two made so that she cannot change it: one box at the
// opening says all that stands in the way and who can mend it, and once she
// has done what it says, while the program runs, her save keeps every
// drawing, the one added since too.
TEST_F(Gallery_Save_Steps_Test, AHeldGalleryThatCannotBeChangedIsToldInOneBoxWhoseStepsWorkWhileTheProgramRuns) {
  const std::string aside = Held_Name();
  enum Locked { Held_Read_Only, Held_Unchangeable, Name_Unchangeable };
  const struct {
    const char* name;
    Locked locked;
    std::string told;  // in the opening's box
  } cases[] = {
      {"the held gallery read-only", Held_Read_Only,
       "which is read-only: the gallery shows your gallery from there, and the other file is left as it is.\nTo save "
       "your gallery under its name, make the file " + aside + " writable again, move the file " + Gallery_Path() +
           " out of the folder and save the gallery again."},
      {"the held gallery unchangeable", Held_Unchangeable,
       "which the administrator has made unchangeable: the gallery shows your gallery from there, and the other file "
       "is left as it is.\nTo save your gallery under its name, have the administrator make the file " + aside +
           " changeable again, move the file " + Gallery_Path() + " out of the folder and save the gallery again."},
      {"the file under her gallery's name unchangeable", Name_Unchangeable,
       "To save your gallery under its name, have the administrator make the file " + Gallery_Path() +
           " changeable again and move it out of the folder, and save the gallery again."},
  };
  Root_Only_Cases root_only(Unchangeable_Needs_Root);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.locked != Held_Read_Only && root_only.Left_Out(c.name)) continue;
    std::filesystem::remove(Gallery_Path());
    std::filesystem::remove(aside);
    {
      Drawing_Collection first(ann);
      ASSERT_TRUE(Add_At(first, Drawing(1), 0, 1));
      ASSERT_TRUE(first.Save(ann, HWND()));
    }
    std::filesystem::rename(Gallery_Path(), aside);
    Held_Gallery_Note::File noted;
    ASSERT_TRUE(Held_Gallery_Note::Of_Name(aside, noted));
    ASSERT_TRUE(Held_Gallery_Note::Note(aside, {noted}));
    Write(Gallery_Path(), "another file");
    const std::string locked = c.locked == Name_Unchangeable ? Gallery_Path() : aside;
    if (c.locked == Held_Read_Only) { ASSERT_EQ(chmod(aside.c_str(), 0444), 0); }
    if (c.locked != Held_Read_Only) { ASSERT_TRUE(Set_Unchangeable(locked, true)); }
    Boxes.clear();
    {
      Drawing_Collection store(ann);
      ASSERT_EQ(Boxes.size(), 1u);
      EXPECT_EQ(Boxes[0].rfind("WARNING: Unable to move file " + aside, 0), 0u) << Boxes[0];
      EXPECT_NE(Boxes[0].find(c.told), std::string::npos) << Boxes[0];
      EXPECT_TRUE(Shows(store, Cell(0, 1), 1));
      // What the exit tells her names the file it is true of.
      if (c.locked != Name_Unchangeable) {
        EXPECT_EQ(store.Save_Refusal().rfind("Your gallery is kept as " + aside + Drawing_Collection::Hidden_Note +
                                                 (c.locked == Held_Read_Only ? ", which is read-only"
                                                                             : ", which the administrator has made "
                                                                               "unchangeable"),
                                             0),
                  0u)
            << store.Save_Refusal();
      }
      // A save before she has done so keeps what she added, and says again
      // what to do.
      ASSERT_TRUE(Add_At(store, Drawing(11), 6, 6));
      Boxes.clear();
      EXPECT_FALSE(store.Save(ann, HWND()));
      ASSERT_EQ(Boxes.size(), 1u);
      if (c.locked != Name_Unchangeable) {
        EXPECT_EQ(Boxes[0].rfind("WARNING: Unable to write file " + aside + Drawing_Collection::Hidden_Note, 0), 0u)
            << Boxes[0];
        EXPECT_NE(Boxes[0].find("your changes are kept until you leave the program.\nTo save them, " +
                                std::string(c.locked == Held_Read_Only ? "make the file " + aside + " writable again"
                                                                       : "have the administrator make the file " +
                                                                             aside + " changeable again")),
                  std::string::npos)
            << Boxes[0];
      }
      EXPECT_TRUE(Shows(store, Cell(6, 6), 11));
      // She does as it says, then adds a drawing and saves.
      if (c.locked == Held_Read_Only) { ASSERT_EQ(chmod(aside.c_str(), 0644), 0); }
      if (c.locked != Held_Read_Only) { ASSERT_TRUE(Set_Unchangeable(locked, false)); }
      std::filesystem::rename(Gallery_Path(), root_ + "/moved-out");
      ASSERT_TRUE(Add_At(store, Drawing(10), 5, 5));
      Boxes.clear();
      EXPECT_TRUE(store.Save(ann, HWND())) << (Boxes.empty() ? "" : Boxes.back());
      EXPECT_TRUE(Boxes.empty()) << Boxes.front();
      EXPECT_TRUE(Shows(store, Cell(5, 5), 10));
    }
    EXPECT_FALSE(std::filesystem::exists(aside));
    EXPECT_EQ(Read(root_ + "/moved-out"), "another file");
    Drawing_Collection reopened(ann);
    EXPECT_TRUE(Shows(reopened, Cell(0, 1), 1));
    EXPECT_TRUE(Shows(reopened, Cell(5, 5), 10));
    EXPECT_TRUE(Shows(reopened, Cell(6, 6), 11));
  }
  root_only.End();
}

// Her own file made unchangeable while the save held it aside: it cannot go
// back under its name, which no other file took. The box says so and who
// can mend it, never that another program put a file there, and once it is
// changeable again the next save puts it back.
TEST_F(Gallery_Save_Steps_Test, HerFileMadeUnchangeableWhileHeldIsToldAsSuch) {
  Root_Only_Cases root_only(Unchangeable_Needs_Root);
  if (root_only.Left_Out("her file made unchangeable while held")) return root_only.End();
  {
    Drawing_Collection first(ann);
    ASSERT_TRUE(Add_At(first, Drawing(1), 0, 1));
    ASSERT_TRUE(first.Save(ann, HWND()));
  }
  Drawing_Collection store(ann);
  Wait_Until_Ready(store);
  ASSERT_TRUE(Add_At(store, Drawing(10), 5, 5));
  Drawing_Collection::Set_Save_Step_Hook([&](Step at) {
    if (at == Step::Put_Back) { EXPECT_TRUE(Set_Unchangeable(Held_Name(), true)); }
  });
  Boxes.clear();
  EXPECT_FALSE(store.Save(ann, HWND()));
  Drawing_Collection::Set_Save_Step_Hook(nullptr);
  ASSERT_EQ(Boxes.size(), 1u);
  EXPECT_EQ(Boxes[0].rfind("WARNING: Unable to move file " + Held_Name() + "\nYour gallery is kept as " + Held_Name() +
                               Drawing_Collection::Hidden_Note + ", which the administrator has made unchangeable",
                           0),
            0u)
      << Boxes[0];
  EXPECT_EQ(Boxes[0].find("Another program"), std::string::npos) << Boxes[0];
  EXPECT_FALSE(std::filesystem::exists(Gallery_Path()));
  Set_Unchangeable(Held_Name(), false);
  Boxes.clear();
  EXPECT_TRUE(store.Save(ann, HWND())) << (Boxes.empty() ? "" : Boxes.back());
  EXPECT_FALSE(std::filesystem::exists(Held_Name()));
  Expect_File_Holds_The_Grid(store);
  root_only.End();
}

}  // namespace

namespace {

// A gallery that is a link to its file, as some people keep their files
// elsewhere: the save claims the link and writes the file it leads to, by an
// append or a whole new file, and every drawing reads back.
TEST_F(Gallery_Save_Steps_Test, AGalleryThatIsALinkToItsFileIsSaved) {
  const std::string real = root_ + "/real.gal";
  {
    Drawing_Collection first(ann);
    ASSERT_TRUE(Add_At(first, Drawing(1), 0, 1));
    ASSERT_TRUE(first.Save(ann, HWND()));
  }
  std::filesystem::rename(Gallery_Path(), real);
  std::filesystem::create_symlink(real, Gallery_Path());
  for (const bool move : {false, true}) {
    SCOPED_TRACE(move ? "written whole" : "appended");
    Drawing_Collection store(ann);
    Wait_Until_Ready(store);
    if (move) { ASSERT_TRUE(store.Move(Cell(3, 3), Cell(0, 1))); }
    ASSERT_TRUE(Add_At(store, Drawing(move ? 11 : 10), 5, move ? 6 : 5));
    Boxes.clear();
    EXPECT_TRUE(store.Save(ann, HWND())) << (Boxes.empty() ? "" : Boxes.back());
    EXPECT_FALSE(std::filesystem::exists(Held_Name()));
    EXPECT_TRUE(std::filesystem::is_symlink(Gallery_Path()));
    Expect_File_Holds_The_Grid(store);
  }
}

}  // namespace
