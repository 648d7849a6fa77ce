// Another program cuts or changes the gallery file before each step of a
// save: a save that says it saved leaves under the name a file that holds
// exactly the grid the store shows; one that meets the change says so, and
// keeps the person's drawings.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <unistd.h>

#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "tests/gallery/gallery_store_fixture.h"

namespace {

using Place = Drawing_Place;
using Step = Drawing_Collection::Save_Step;

constexpr Place Cell(int32_t row, int32_t column) { return Place{Place::Grid, row, column}; }

class Gallery_Save_Steps_Test : public Gallery_Store_Test {
 protected:
  ~Gallery_Save_Steps_Test() override { Drawing_Collection::Set_Save_Step_Hook(nullptr); }

  // The cells the store shows, each with its full picture.
  std::vector<std::pair<Place, std::unique_ptr<Shape_Drawing>>> Shown(Drawing_Collection& store) {
    std::vector<std::pair<Place, std::unique_ptr<Shape_Drawing>>> shown;
    for (int32_t r = 0; r < 12; ++r)
      for (int32_t c = 0; c < 12; ++c)
        if (Shape_Drawing* full = store.Picture(Cell(r, c), Full_Picture_Size, 0, HWND()))
          shown.emplace_back(Cell(r, c), std::make_unique<Shape_Drawing>(*full, true));
    return shown;
  }
};

TEST_F(Gallery_Save_Steps_Test, AChangeBeforeAnyStepOfASaveIsToldOrTheFileHoldsTheGrid) {
  const struct {
    const char* name;
    bool move;  // a drawing moved as well: the file is written beside
  } plans[] = {{"a new drawing appended", false}, {"a drawing moved and a new one", true}};
  const struct {
    const char* name;
    // What the other program does, through a descriptor it opened before
    // the save (held) or by the name.
    std::function<void(int held, const std::string& path)> act;
    bool by_name;
    // The file as that program left it.
    std::function<bool(const std::vector<uint8_t>& bytes)> left_as_is;
  } actions[] = {
      {"cut through a descriptor opened before",
       [](int held, const std::string&) { ASSERT_EQ(ftruncate(held, 100), 0); }, false, [](const std::vector<uint8_t>& bytes) { return bytes.size() == 100; }},
      {"a record's cell changed through a descriptor opened before",
       [](int held, const std::string&) {
         const uint8_t row[4] = {9, 0, 0, 0};
         ASSERT_EQ(pwrite(held, row, sizeof row, 4), 4);
       },
       false, [](const std::vector<uint8_t>& bytes) { return bytes.size() > 8 && bytes[4] == 9; }},
      {"cut by name, as a copy over it begins",
       [](int, const std::string& path) {
         const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
         ASSERT_GE(fd, 0);
         close(fd);
       },
       true, [](const std::vector<uint8_t>& bytes) { return bytes.empty(); }},
  };
  const Step steps[] = {Step::Check, Step::Claim, Step::Grow, Step::Write, Step::Link, Step::Put_Back, Step::Verify};
  for (const auto& plan : plans)
    for (const auto& action : actions)
      for (const Step step : steps) {
        SCOPED_TRACE(std::string(plan.name) + ", " + action.name + " before step " + std::to_string(int(step)));
        std::filesystem::remove(Gallery_Path());
        std::filesystem::remove(Drawing_Collection::Claim_Name(Gallery_Path()));
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
        Drawing_Collection store(ann);
        Wait_Until_Ready(store);
        if (plan.move) { ASSERT_TRUE(store.Move(Cell(3, 3), Cell(0, 1))); }
        ASSERT_TRUE(Add_At(store, Drawing(10), 5, 5));
        const int held = open(Gallery_Path().c_str(), O_RDWR | O_CLOEXEC);
        ASSERT_GE(held, 0);
        bool fired = false;
        Drawing_Collection::Set_Save_Step_Hook([&](Step at) {
          if (at != step || fired) return;
          fired = true;
          action.act(held, Gallery_Path());
        });
        Boxes.clear();
        const bool saved = store.Save(ann, HWND());
        Drawing_Collection::Set_Save_Step_Hook(nullptr);
        close(held);
        if (!fired) { EXPECT_TRUE(saved) << "an undisturbed save failed"; }
        // A refusal is told in its own words.
        if (!saved) {
          ASSERT_FALSE(Boxes.empty());
          EXPECT_NE(Boxes.back().find("nother program"), std::string::npos) << Boxes.back();
        }
        // Whatever the change, the person still sees her new drawing.
        EXPECT_TRUE(Shows(store, Cell(5, 5), 10));
        // A file another program put under the name is its own.
        if (action.by_name && fired) { EXPECT_TRUE(action.left_as_is(File_Bytes())) << "written over"; }
        if (!saved) {
          // What the other program left stays.
          EXPECT_TRUE(action.left_as_is(File_Bytes())) << "written over";
          continue;
        }
        // Saved: the file under the name reads whole and holds what the
        // store shows, drawing for drawing.
        const std::vector<uint8_t> bytes = File_Bytes();
        const Gallery_File::Contents contents = Gallery_File::Scan(bytes.data(), bytes.size());
        EXPECT_TRUE(contents.whole);
        std::set<std::pair<int32_t, int32_t>> in_file;
        for (const Gallery_File::Record& record : contents.records) in_file.insert({record.row, record.column});
        const auto shown = Shown(store);
        std::set<std::pair<int32_t, int32_t>> cells;
        for (const auto& [cell, picture] : shown) cells.insert({cell.a, cell.b});
        EXPECT_EQ(in_file, cells);
        Drawing_Collection reopened(ann);
        for (const auto& [cell, picture] : shown) {
          Shape_Drawing* full = reopened.Picture(cell, Full_Picture_Size, 0, HWND());
          EXPECT_TRUE(full && full->Same_Pixels(*picture)) << cell.a << ", " << cell.b;
        }
      }
}

// A save stopped while it held the file aside left it under the claimed
// name: the next opening puts it back. When another file has taken the name
// meanwhile, both stay as they are, she is told where her gallery is, and no
// save writes either.
TEST_F(Gallery_Save_Steps_Test, AGalleryLeftAsideByAStoppedSaveComesBackOrIsTold) {
  const std::string aside = Drawing_Collection::Claim_Name(Gallery_Path());
  for (const bool name_taken : {false, true}) {
    SCOPED_TRACE(name_taken ? "another file took the name" : "the name is free");
    std::filesystem::remove(Gallery_Path());
    std::filesystem::remove(aside);
    {
      Drawing_Collection first(ann);
      ASSERT_TRUE(Add_At(first, Drawing(1), 0, 1));
      ASSERT_TRUE(first.Save(ann, HWND()));
    }
    const std::string gallery = Read(Gallery_Path());
    std::filesystem::rename(Gallery_Path(), aside);
    // Shorter than a record: an empty gallery, read whole.
    if (name_taken) Write(Gallery_Path(), "ab");
    Boxes.clear();
    Drawing_Collection store(ann);
    if (!name_taken) {
      EXPECT_TRUE(Boxes.empty());
      EXPECT_TRUE(Shows(store, Cell(0, 1), 1));
      EXPECT_FALSE(std::filesystem::exists(aside));
      continue;
    }
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_EQ(Boxes[0].rfind("WARNING: Unable to read file " + aside + "\nA save that was stopped left your gallery", 0),
              0u)
        << Boxes[0];
    ASSERT_TRUE(Add_At(store, Drawing(10), 5, 5));
    Boxes.clear();
    EXPECT_FALSE(store.Save(ann, HWND()));
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_NE(Boxes[0].find("The file " + aside + " of a save that was stopped is in the way"), std::string::npos)
        << Boxes[0];
    EXPECT_EQ(Read(Gallery_Path()), "ab");
    EXPECT_EQ(Read(aside), gallery);
    EXPECT_TRUE(Shows(store, Cell(5, 5), 10));
  }
}

}  // namespace
