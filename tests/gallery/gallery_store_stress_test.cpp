// The gallery store under seeded sequences of what other programs do to its
// file (cut it, append to it, change bytes in place with the time stamps put
// back, replace it, delete it, move it away and back, change its mode, make
// it unchangeable, link it, put an earlier copy back in place or rename one
// over it, put a file or a link where a save holds the file) mixed with what
// a person does (add and move drawings, the bin, Save, Cancel, a new start),
// some of it before the preparation thread has read any drawing. After every
// step: no other program's file was written over, no name the test made
// aside changed, and every drawing the store could read is either saved or
// still shown, unless a box named its place as lost and another program had
// changed its bytes. A failure names the seed and the step.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "tests/gallery/gallery_store_fixture.h"
#include "tests/gallery/outside_changes.h"
#include "tests/platform/system/root_only_cases.h"

namespace {

using Place = Drawing_Place;
using Bytes = std::vector<uint8_t>;

constexpr Place Cell(int32_t row, int32_t column) { return Place{Place::Grid, row, column}; }

// The file under a name: its bytes and inode, or nothing.
struct File_State {
  bool exists = false;
  ino_t inode = 0;
  Bytes bytes;
  bool operator==(const File_State& other) const {
    return exists == other.exists && inode == other.inode && bytes == other.bytes;
  }
};

File_State State_Of(const std::string& path) {
  File_State state;
  struct stat info;
  if (stat(path.c_str(), &info) != 0) return state;
  state.exists = true;
  state.inode = info.st_ino;
  const std::string text = Temp_Home::Read(path);
  state.bytes.assign(text.begin(), text.end());
  return state;
}

// Whether a box names the place "row R, column C" whole (not as the start
// of "row R, column C0").
bool Names_Place(const std::string& box, int32_t row, int32_t column) {
  const std::string place = "row " + std::to_string(row + 1) + ", column " + std::to_string(column + 1);
  for (size_t at = box.find(place); at != std::string::npos; at = box.find(place, at + 1)) {
    const size_t end = at + place.size();
    if (end == box.size() || !std::isdigit(static_cast<unsigned char>(box[end]))) return true;
  }
  return false;
}

class Gallery_Store_Stress_Test : public Gallery_Store_Test {
 protected:
  ~Gallery_Store_Stress_Test() override {
    if (own_fd >= 0) close(own_fd);
  }

  // One sequence of steps; it stops at the first failed check.
  void Run(uint32_t seed, int steps);

  // The person's side.
  void Open_Store();
  std::vector<Place> Occupied() const;
  // cut: another program cuts the file through a descriptor it opened
  // before, once the save has checked the size it grows from.
  bool Save_Checked(bool cut);

  // Another program's side; each returns what it did, empty when it did
  // nothing.
  std::string Outside_Change();
  std::string Aside(const std::string& what) { return root_ + "/aside/" + what + std::to_string(next_name++); }
  // Makes the file under the name and every name aside changeable again.
  void Make_All_Changeable();

  std::mt19937 random, cut_random;
  std::unique_ptr<Drawing_Collection> store;
  // The file the store takes for its own: as it opened it or last wrote it,
  // and that file, held open by the test whatever its name becomes.
  File_State known;
  int own_fd = -1;
  void Know(const File_State& state);
  // The bytes the store's file holds now at a record it knew.
  bool Own_Record_Changed(uint64_t offset, uint32_t length) const;
  // A copy of the store's file with its very bytes renamed over it: the
  // store may take it for its own.
  File_State own_copy;
  // The preparation thread reads nothing until it is let go.
  bool held = false;
  // Names the test made aside (a snapshot's link, a copy, the file moved
  // away) and what they must go on holding.
  std::map<std::string, Bytes> aside;
  std::string moved_away;  // the gallery moved away, to be moved back
  // Earlier states of the file, to be put back.
  std::vector<Bytes> earlier;
  bool unchangeable = false;
  Root_Only_Cases root_only{Unchangeable_Needs_Root};
  int next_seed = 1;
  int next_name = 0;
  // Another person's gallery, with drawings of its own.
  std::string other_gallery;
};

void Gallery_Store_Stress_Test::Know(const File_State& state) {
  known = state;
  own_copy = File_State{};
  if (own_fd >= 0) close(own_fd);
  own_fd = state.exists ? open(Gallery_Path().c_str(), O_RDONLY | O_CLOEXEC) : -1;
}

bool Gallery_Store_Stress_Test::Own_Record_Changed(uint64_t offset, uint32_t length) const {
  if (own_fd < 0 || offset + length > known.bytes.size()) return true;
  Bytes now(length);
  return pread(own_fd, now.data(), length, off_t(offset)) != ssize_t(length) ||
         !std::equal(now.begin(), now.end(), known.bytes.begin() + long(offset));
}

void Gallery_Store_Stress_Test::Open_Store() {
  store.reset();
  // No save here is stopped: whatever is where a save holds the gallery was
  // put there by another program, and stays, however it reads.
  // The file as it opens is the store's own, read or not: outside changes
  // land before, during and after the preparation thread's first reads, and
  // half the time before any.
  Know(State_Of(Gallery_Path()));
  held = random() % 2;
  Drawing_Collection::Hold_Preparation(held);
  store = std::make_unique<Drawing_Collection>(ann);
}

std::vector<Place> Gallery_Store_Stress_Test::Occupied() const {
  std::vector<Place> cells;
  for (int32_t r = 0; r < 12; ++r)
    for (int32_t c = 0; c < 12; ++c)
      if (store->State(Cell(r, c)) != 0) cells.push_back(Cell(r, c));
  return cells;
}

// Saves and checks what the save did to the file under the name and to the
// drawings shown.
bool Gallery_Store_Stress_Test::Save_Checked(bool cut) {
  const std::string path = Gallery_Path();
  const File_State before = State_Of(path);
  const int other_fd = cut ? open(path.c_str(), O_RDWR | O_CLOEXEC) : -1;
  // Drawn apart, so that the sequences' own draws stay as they were.
  const off_t cut_to = off_t(cut_random() % (before.bytes.size() + 1));
  // Now and then another person's gallery is renamed over the file a
  // rewrite has just put at the held name: never moved, read or written.
  const bool swap = cut_random() % 4 == 0;
  const std::string claimed = Drawing_Collection::Claim_Name(path);
  Drawing_Collection::Set_Save_Step_Hook([&](Drawing_Collection::Save_Step at) {
    if (at == Drawing_Collection::Save_Step::Reserve && other_fd >= 0) { EXPECT_EQ(ftruncate(other_fd, cut_to), 0); }
    if (at == Drawing_Collection::Save_Step::Placed && swap) {
      const std::string made = Aside("swapped");
      Write(made, other_gallery);
      EXPECT_EQ(rename(made.c_str(), claimed.c_str()), 0);
      aside[claimed] = Bytes(other_gallery.begin(), other_gallery.end());
    }
  });
  const bool may_write = !store->File_Must_Stay();
  // The store may write only a file that is its own, byte for byte, or a
  // name that holds none.
  const bool its_own = !before.exists || (before.inode == known.inode && before.bytes == known.bytes && known.exists) ||
                       (own_copy.exists && before == own_copy);
  std::map<std::pair<int32_t, int32_t>, std::unique_ptr<Shape_Drawing>> shown;
  // Where each drawing of the file lies in it.
  std::map<std::pair<int32_t, int32_t>, std::pair<uint64_t, uint32_t>> records;
  for (const Place& cell : Occupied()) {
    Shape_Drawing* full = store->Picture(cell, Full_Picture_Size, 0, HWND());
    if (full && !full->Blank) shown[{cell.a, cell.b}] = std::make_unique<Shape_Drawing>(*full, true);
    const Drawing_Collection::Storage_Data& entry = *store->Find(cell)->storage;
    if (entry.record != Drawing_Collection::Storage_Data::No_Record)
      records[{cell.a, cell.b}] = {entry.record, entry.length};
  }
  const bool saved = store->Save(ann, HWND());
  Drawing_Collection::Set_Save_Step_Hook(nullptr);
  if (other_fd >= 0) close(other_fd);
  const File_State after = State_Of(path);
  if (!its_own) { EXPECT_TRUE(after == before) << "another program's file was written over"; }
  // The store reverts what it may not write.
  if (!may_write) {
    if (!(after == before)) Know(after);
    return saved;
  }
  // Saved: the file holds the grid, and reads whole.
  if (saved && its_own) {
    std::set<std::pair<int32_t, int32_t>> cells, in_file;
    for (const Place& cell : Occupied()) cells.insert({cell.a, cell.b});
    if (after.exists) {
      const Gallery_File::Contents contents = Gallery_File::Scan(after.bytes.data(), after.bytes.size());
      EXPECT_TRUE(contents.whole) << "the saved file does not read whole";
      for (const Gallery_File::Record& record : contents.records) in_file.insert({record.row, record.column});
      EXPECT_EQ(in_file.size(), contents.records.size()) << "two records for one cell";
    }
    EXPECT_EQ(in_file, cells) << "the file does not hold the grid";
  }
  // Every drawing it could read is still shown where it was, saved or not,
  // unless another program had changed its bytes in the store's file and a
  // box named its place as lost, or said that program changed the file
  // while the gallery was saved (the drawing then shows what is left).
  std::string lost;
  bool told_changed_while_saved = false;
  for (const std::string& box : Boxes) {
    if (box.find(" lost") != std::string::npos) lost += box;
    told_changed_while_saved |= box.find("changed the file while the gallery was saved") != std::string::npos;
  }
  for (const auto& [cell, picture] : shown) {
    Shape_Drawing* full = store->Picture(Cell(cell.first, cell.second), Full_Picture_Size, 0, HWND());
    const auto record = records.find(cell);
    const bool changed_by_other =
        record != records.end() && Own_Record_Changed(record->second.first, record->second.second);
    if (!full && Names_Place(lost, cell.first, cell.second)) {
      EXPECT_TRUE(changed_by_other) << "the drawing at " << cell.first << ", " << cell.second
                                    << " was named lost, but no other program changed it";
      continue;
    }
    if (told_changed_while_saved && changed_by_other) continue;
    EXPECT_TRUE(full && full->Same_Pixels(*picture))
        << "the drawing at " << cell.first << ", " << cell.second << " was lost (" << (saved ? "saved" : "refused")
        << ")";
  }
  if (!(after == before)) Know(after);
  return saved;
}

std::string Gallery_Store_Stress_Test::Outside_Change() {
  const std::string path = Gallery_Path();
  const File_State now = State_Of(path);
  switch (random() % 13) {
    case 0: {  // cut short
      if (!now.exists || now.bytes.empty() || unchangeable) return "";
      const uint64_t size = random() % now.bytes.size();
      // Only the administrator may cut a read-only file.
      std::error_code refused;
      std::filesystem::resize_file(path, size, refused);
      return refused ? "" : "cut to " + std::to_string(size);
    }
    case 1: {  // bytes appended
      if (!now.exists || unchangeable) return "";
      Bytes more = now.bytes;
      more.resize(more.size() + 1 + random() % 20, uint8_t(random()));
      return Write_In_Place(path, more, true) ? "appended to" : "";
    }
    case 2: {  // bytes changed in place, time stamps put back
      if (!now.exists || now.bytes.empty() || unchangeable) return "";
      std::string what = "changed at";
      for (uint32_t n = 1 + random() % 4; n > 0; --n) {
        const uint64_t at = random() % now.bytes.size();
        if (!Change_In_Place(path, at, {uint8_t(now.bytes[at] ^ (1 + random() % 255))})) return "";
        what += " " + std::to_string(at);
      }
      return what;
    }
    case 3: {  // replaced by a copy renamed over it, the same bytes or earlier ones
      if (!now.exists && earlier.empty()) return "";
      const Bytes& bytes = earlier.empty() || random() % 2 ? now.bytes : earlier[random() % earlier.size()];
      const std::string copy = Aside("copy");
      Write(copy, std::string(bytes.begin(), bytes.end()));
      if (rename(copy.c_str(), path.c_str()) != 0) {
        std::filesystem::remove(copy);
        return "";
      }
      // The very bytes of the store's own file: a copy the store may take.
      const bool of_own = now.exists && (now.inode == known.inode || (own_copy.exists && now == own_copy));
      if (of_own && bytes == now.bytes) {
        own_copy = State_Of(path);
        return "replaced by an identical copy";
      }
      return "replaced";
    }
    case 4:  // deleted
      if (!now.exists || unchangeable) return "";
      std::filesystem::remove(path);
      return "deleted";
    case 5: {  // moved away, or back
      if (moved_away.empty()) {
        if (!now.exists || unchangeable) return "";
        moved_away = Aside("away");
        std::filesystem::rename(path, moved_away);
        aside[moved_away] = now.bytes;
        return "moved away";
      }
      if (rename(moved_away.c_str(), path.c_str()) != 0) return "";
      aside.erase(moved_away);
      moved_away.clear();
      return "moved back";
    }
    case 6:  // mode made read-only and back
      if (!now.exists) return "";
      chmod(path.c_str(), 0444);
      chmod(path.c_str(), 0644);
      return "read-only and back";
    case 7:  // made read-only, or writable again
      if (!now.exists) return "";
      {
        struct stat info;
        stat(path.c_str(), &info);
        const bool read_only = (info.st_mode & 0222) == 0;
        chmod(path.c_str(), read_only ? 0644 : 0444);
        return read_only ? "writable again" : "read-only";
      }
    case 8:  // unchangeable and back, or unchangeable, or changeable again
      if (!now.exists || root_only.Left_Out("making the file unchangeable")) return "";
      if (unchangeable) {
        Make_All_Changeable();
        return "changeable again";
      }
      if (!Set_Unchangeable(path, true)) {
        ADD_FAILURE() << "the administrator could not make the file unchangeable";
        return "";
      }
      if (random() % 2) {
        Set_Unchangeable(path, false);
        return "unchangeable and back";
      }
      unchangeable = true;
      return "unchangeable";
    case 9: {  // a snapshot's hard link
      if (!now.exists) return "";
      const std::string snapshot = Aside("snapshot");
      if (link(path.c_str(), snapshot.c_str()) != 0) return "";
      aside[snapshot] = now.bytes;
      return "linked";
    }
    case 12: {  // a file or a link where a save holds the gallery, or one moved out of the way
      const std::string claimed = Drawing_Collection::Claim_Name(path);
      struct stat info;
      if (lstat(claimed.c_str(), &info) == 0) {
        // As the box advises: moved out of the folder.
        const std::string out = Aside("out");
        if (rename(claimed.c_str(), out.c_str()) != 0) return "";
        aside.erase(claimed);
        aside[out] = State_Of(out).bytes;
        return "moved the held name's file out";
      }
      // Notes, another person's gallery, an older copy of hers, or zeros
      // (none: an empty file); as a file, or as a link to one.
      static const char* const kinds[] = {"notes", "another person's gallery", "an older copy", "zeros"};
      const uint32_t kind = random() % 4;
      std::string text = "another program's notes";
      if (kind == 1) text = other_gallery;
      if (kind == 2 && !earlier.empty()) {
        const Bytes& copy = earlier[random() % earlier.size()];
        text.assign(copy.begin(), copy.end());
      }
      if (kind == 3) text.assign(random() % 2 ? 4096 : 0, '\0');
      const std::string what = std::string(" (") + kinds[kind] + ")";
      if (random() % 2) {
        Write(claimed, text);
        aside[claimed] = Bytes(text.begin(), text.end());
        return "a file put at the held name" + what;
      }
      const std::string target = Aside("target");
      Write(target, text);
      std::filesystem::create_symlink(target, claimed);
      aside[target] = Bytes(text.begin(), text.end());
      aside[claimed] = aside[target];
      return "a link put at the held name" + what;
    }
    case 10: {  // an earlier copy put back in place, as cp does
      if (!now.exists || earlier.empty() || unchangeable) return "";
      return Write_In_Place(path, earlier[random() % earlier.size()], random() % 2) ? "earlier copy put back" : "";
    }
    default: {  // the same bytes written again
      if (!now.exists || unchangeable) return "";
      return Write_In_Place(path, now.bytes, true) ? "same bytes written" : "";
    }
  }
}

void Gallery_Store_Stress_Test::Make_All_Changeable() {
  if (geteuid() != 0) return;
  Set_Unchangeable(Gallery_Path(), false);
  for (const auto& [name, bytes] : aside) Set_Unchangeable(name, false);
  if (!moved_away.empty()) Set_Unchangeable(moved_away, false);
  unchangeable = false;
}

void Gallery_Store_Stress_Test::Run(uint32_t seed, int steps) {
  random.seed(seed);
  cut_random.seed(seed);
  store.reset();
  Make_All_Changeable();
  std::filesystem::remove_all(The_User_Data.directory);
  std::filesystem::create_directories(The_User_Data.directory);
  std::filesystem::remove_all(root_ + "/aside");
  std::filesystem::create_directories(root_ + "/aside");
  aside.clear();
  moved_away.clear();
  earlier.clear();
  if (other_gallery.empty()) {
    const User bea{1, "Bea"};
    {
      Drawing_Collection theirs(bea);
      Add_At(theirs, Drawing(1000), 4, 4);
      theirs.Save(bea, HWND());
    }
    other_gallery = Read(bea.File_Path("gal"));
    std::filesystem::remove(bea.File_Path("gal"));
  }
  {
    Drawing_Collection first(ann);
    for (uint32_t n = random() % 5; n > 0; --n) Add_At(first, Drawing(next_seed++), 0, int32_t(n));
    first.Save(ann, HWND());
  }
  Open_Store();
  for (int step = 0; step < steps; ++step) {
    Boxes.clear();
    // Some steps after an opening, the preparation thread begins reading.
    if (held && random() % 5 == 0) {
      held = false;
      Drawing_Collection::Hold_Preparation(false);
    }
    const File_State now = State_Of(Gallery_Path());
    if (now.exists && (earlier.empty() || earlier.back() != now.bytes)) earlier.push_back(now.bytes);
    const uint32_t choice = random() % 16;
    const std::vector<Place> cells = Occupied();
    const Place any = Cell(int32_t(random() % 12), int32_t(random() % 12));
    const Place taken = cells.empty() ? any : cells[random() % cells.size()];
    const std::string at = std::to_string(any.a) + ", " + std::to_string(any.b);
    const std::string from = std::to_string(taken.a) + ", " + std::to_string(taken.b);
    std::string what;
    if (choice < 5) {
      what = "outside: " + Outside_Change();
      // A link shares what is written in place under the name.
      for (auto& [name, bytes] : aside) bytes = State_Of(name).bytes;
    }
    else if (choice < 7)
      what = "add at " + at;
    else if (choice < 9) what = "move " + from + " to " + at;
    else if (choice == 9) what = "into the bin from " + from;
    else if (choice == 10) what = "out of the bin to " + at;
    else if (choice < 14) what = choice == 13 ? "save, the file cut once the size it grows from is checked" : "save";
    else if (choice == 14) what = "cancel";
    else what = "a new start";
    SCOPED_TRACE("seed " + std::to_string(seed) + ", step " + std::to_string(step) + ": " + what);
    const File_State before = State_Of(Gallery_Path());
    if (choice >= 5 && choice < 7) {
      Add_At(*store, Drawing(next_seed++), any.a, any.b);
    } else if (choice >= 7 && choice < 9) {
      store->Move(any, taken);
    } else if (choice == 9) {
      store->Move(Place{Place::Bin, 0, 0}, taken);
    } else if (choice == 10) {
      store->Move(any, Place{Place::Bin, 0, 0});
    } else if (choice >= 11 && choice < 14) {
      Save_Checked(choice == 13);
    } else if (choice == 14) {
      store->Revert();
      EXPECT_TRUE(State_Of(Gallery_Path()) == before) << "Cancel wrote the file";
    } else if (choice == 15) {
      Open_Store();
      EXPECT_TRUE(State_Of(Gallery_Path()) == before) << "opening wrote or moved a file";
    }
    for (const auto& [name, bytes] : aside) { EXPECT_EQ(State_Of(name).bytes, bytes) << name << " was written"; }
    if (HasFailure()) break;
  }
  store.reset();
  Make_All_Changeable();
}

TEST_F(Gallery_Store_Stress_Test, SeededSequencesOfOutsideChangesAndSaves) {
  for (uint32_t seed = 1; seed <= 40 && !HasFailure(); ++seed) Run(seed, 30);
  root_only.End();
}

}  // namespace
