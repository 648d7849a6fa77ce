// Saving, reverting and renaming the gallery.
//
// A save keeps the file valid at every instant, so that a program stopped at
// any point loses no drawing:
// - nothing dropped and no drawing moved between cells: the new drawings are
//   appended in place. Every block they take is reserved first, holes of a
//   sparse file included (a full disk fails here, never under the mapping);
//   the records and a new end marker go behind the old end marker, which is
//   itself the first new record's length field; it is written last, in one
//   4-byte store, after the rest reached the disk.
// - anything else (records dropped, drawings exchanged, a damaged file): the
//   whole new file is written beside the old one and renamed over it.
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>

#include "gallery/drawing_collection.h"
#include "gallery/gallery_file.h"
#include "gallery/preparer_thread.h"
#include "model/shape_drawing.h"
#include "platform/system/atomic_file.h"
#include "platform/system/file_system.h"
#include "platform/system/user_file.h"
#include "platform/window/message_box.h"
#include "toolkit/small_utilities.h"
#include "users/user.h"
#include "users/user_data.h"

struct Drawing_Collection::Save_Plan {
  // Entries that stay: those with file records in file order, then the new.
  std::vector<Storage_Data*> kept_file;
  std::vector<Storage_Data*> kept_new;
  bool dropped = false;  // a file record goes
  bool moved = false;    // a kept record changes cell
  uint64_t kept_bytes = 0;
  uint64_t new_bytes = 0;
  // Offsets the kept and the new records got in the file written.
  std::vector<uint64_t> kept_offsets;
  std::vector<uint64_t> new_offsets;
};

namespace {

const char* const New_Entries_Not_Saved =
    "Your new gallery entries could not be saved.\nYour hard disk may be too full.";
const char* const Gallery_Not_Saved = "Your gallery could not be saved.\nYour hard disk may be too full.";

bool stop_before_link = false;

}  // namespace

bool Drawing_Collection::Save(const User& user, HWND window) {
  (void)user;  // the file follows the user through Rename
  Pause_Preparer();
  for (auto& entry : entries) entry->keep = false;
  for (Presentation_Data* cell : grid)
    if (cell) cell->storage->keep = true;
  if (!must_stay) {
    const std::string refusal = Save_Refusal();
    if (!refusal.empty()) {
      Refuse_Save(refusal, window);
      return false;
    }
    // Whole: a later cut is told again.
    Still_Cut_Short();
    // Deleted by another program: the store still holds every drawing, and
    // writes the whole gallery again.
    if (!Identity_Of(path).exists && own_file.exists) detached = true;
  }
  Save_Plan plan = Plan_Save();
  const bool untouched = !plan.dropped && !plan.moved && plan.kept_new.empty() && !damaged && !detached;
  if (must_stay) {
    // The file may not be written: what it holds stands, and the gallery
    // shows it again.
    if (!untouched)
      MessageBox(window,
                 "Unable to write file " + path + "\n" + stay_reason +
                     ": your changes to the gallery are not saved and are taken back.",
                 "WARNING", MB_OK | MB_ICONSTOP);
    Revert();
    return untouched;
  }
  const Outcome outcome = untouched ? Outcome::Saved : Write_Plan(plan, window);
  if (outcome == Outcome::Reloaded) return false;
  if (outcome == Outcome::Nothing_Saved) {
    Keep_Changes_Unsaved();
    return false;
  }
  Drop_Unkept();
  Empty_Bin_And_Slots();
  // New drawings that did not fit stay in their cells, to be saved later.
  changed = outcome == Outcome::New_Kept;
  entry_count = entries.size();
  Start_Pass();
  return outcome == Outcome::Saved;
}

std::string Drawing_Collection::Save_Refusal() const {
  if (must_stay) return stay_reason;
  const File_Identity now = Identity_Of(path);
  // A file gone from the name is written whole again.
  if (!now.exists) return std::string();
  // Another gallery (or any file) took the name: its drawings are not ours
  // to write over.
  if (!(now == own_file)) return "Another program has put a different file in its place";
  if (Cut_Short_Now()) return "The file was cut short by another program";
  // Written in place by another program, whatever size and time stamp it
  // was given. A cut the store saw, put back with every record where the
  // store knows it, is the store's file again.
  if (now.Changed_Since(own_file) && !(cut_seen && Holds_Known_Records()))
    return "Another program has changed the file";
  return std::string();
}

void Drawing_Collection::Refuse_Save(const std::string& reason, HWND window) {
  const bool cut = Cut_Short_Now();
  if (cut) {
    // Whatever is written now would replace records the file may get back
    // (a copy put back whole).
    cut_short.store(true);
    cut_seen = true;
  }
  if (Has_Unsaved_Changes()) {
    // Told at every save: she must never take a silent Save for a saved
    // gallery. A cut told here is not told again when a drawing shows empty.
    if (cut) told_cut_short = true;
    const std::string outcome = cut ? "and saved when the file is whole again" : "and are not saved over that file";
    MessageBox(window,
               "Unable to write file " + path + "\n" + reason +
                   ": your changes are kept until you leave the program, " + outcome + ".",
               "WARNING", MB_OK | MB_ICONSTOP);
  } else if (cut) {
    Tell_Cut_Short(window);
  }
  Keep_Changes_Unsaved();
}

bool Drawing_Collection::Has_Unsaved_Changes() const {
  return changed || std::any_of(entries.begin(), entries.end(), [](const auto& entry) {
           return entry->keep && entry->record == Storage_Data::No_Record;
         });
}

void Drawing_Collection::Keep_Changes_Unsaved() {
  // New drawings in no cell go now; a drawing of the file that is in no
  // cell stays listed, in no place, so that the next save still drops its
  // record (and Revert still finds it).
  std::erase_if(entries, [](const std::unique_ptr<Storage_Data>& entry) {
    return !entry->keep && entry->record == Storage_Data::No_Record;
  });
  Empty_Bin_And_Slots();
  Start_Pass();
}

Drawing_Collection::Save_Plan Drawing_Collection::Plan_Save() {
  Save_Plan plan;
  for (auto& entry : entries) {
    Storage_Data* e = entry.get();
    if (e->record == Storage_Data::No_Record) {
      if (!e->keep) continue;
      plan.kept_new.push_back(e);
      plan.new_bytes += Gallery_File::Header_Size + uint64_t(e->drawing->Stored_Size());
      continue;
    }
    uint64_t length = 0;
    std::vector<uint8_t> bytes;
    const uint8_t* record = Record_Bytes(*e, length, bytes);
    if (!e->keep || !record) {
      plan.dropped = true;
      e->keep = false;
      continue;
    }
    const Drawing_Place& cell = e->presentation->place;
    if (Gallery_File::Read_U32(record + 4) != uint32_t(cell.a) || Gallery_File::Read_U32(record + 8) != uint32_t(cell.b))
      plan.moved = true;
    plan.kept_file.push_back(e);
    plan.kept_bytes += length;
  }
  return plan;
}

Drawing_Collection::Outcome Drawing_Collection::Write_Plan(Save_Plan& plan, HWND window) {
  if (plan.kept_file.empty() && plan.kept_new.empty()) {
    if (Delete_Gallery()) return Outcome::Saved;
    Show_Save_Failure(window, true, errno);
    return Outcome::Nothing_Saved;
  }
  if (!plan.dropped && !plan.moved && !damaged && !detached && file->View()) {
    errno = 0;
    const bool appended = Write_Appended(plan);
    const int error = errno;
    // Even an append that failed may have grown the file: its change time
    // is the store's own.
    Remember_Own_File();
    if (appended) return Outcome::Saved;
    if (!file->View()) {
      // The old view could not even be mapped again: the store reads the
      // file as it stands.
      Show_Save_Failure(window, true, error);
      Reload();
      return Outcome::Reloaded;
    }
    Show_Save_Failure(window, false, error);
    return Outcome::New_Kept;
  }
  errno = 0;
  if (Write_Beside(plan, true)) return Outcome::Saved;
  const int error = errno;
  // Only the drawings kept from the file, then: the new ones stay in memory.
  if (!plan.kept_new.empty()) {
    const bool kept_saved = plan.kept_file.empty() ? Delete_Gallery() : Write_Beside(plan, false);
    if (kept_saved) {
      Show_Save_Failure(window, false, error);
      return Outcome::New_Kept;
    }
  }
  // Nothing was written: the file stands as it was, and the store keeps
  // the changes for a later save.
  Show_Save_Failure(window, true, error);
  return Outcome::Nothing_Saved;
}

bool Drawing_Collection::Delete_Gallery() {
  // The file stays mapped until it is gone: a name that cannot be deleted
  // (a mount point) leaves the store as it was.
  if (File_Exists(path) && !Delete_File(path)) return false;
  file->Close();
  end_offset = 0;
  damaged = detached = false;
  Remember_Own_File();
  return true;
}

void Drawing_Collection::Stop_Appending_Before_Link(bool stop) { stop_before_link = stop; }

void Drawing_Collection::Show_Save_Failure(HWND window, bool whole_gallery, int error) {
  if (error == ENOSPC || error == EDQUOT || error == EFBIG) {
    MessageBox(window, whole_gallery ? Gallery_Not_Saved : New_Entries_Not_Saved, "Gallery Save", MB_OK);
    return;
  }
  MessageBox(window,
             Unwritable_File_Message(path, error,
                                     whole_gallery
                                         ? "your changes are kept until you leave the program, and are not saved"
                                         : "your new drawings are kept until you leave the program, and are not saved"),
             "WARNING", MB_OK | MB_ICONSTOP);
}

bool Drawing_Collection::Write_Appended(Save_Plan& plan) {
  const uint64_t start = end_offset;
  const uint64_t needed = start + plan.new_bytes + Gallery_File::End_Size;
  const uint64_t length = std::max<uint64_t>(file->File_Size(), needed);
  if (length > file->View_Size()) {
    // The view is remapped to a larger file; nothing of the old one is
    // touched after this, every record is found again by its offset.
    file->Unmap();
    if (length <= UINT32_MAX) file->Map(0, uint32_t(length));
    if (!file->View()) {
      const int error = errno;
      file->Map(0, 0);
      errno = error;
      return false;
    }
  }
  // Every block written is reserved, not only those the file grows by: the
  // file may have a hole behind its end marker.
  if (!file->Reserve(start, needed - start)) return false;
  uint8_t* view = file->View();
  uint64_t offset = start;
  for (Storage_Data* entry : plan.kept_new) {
    const uint32_t record_length = Gallery_File::Header_Size + entry->drawing->Stored_Size();
    const Drawing_Place& cell = entry->presentation->place;
    uint8_t header[Gallery_File::Header_Size];
    Gallery_File::Write_Header(header, record_length, cell.a, cell.b);
    // The first length field is the old end marker: it stays 0 until the
    // rest is on the disk.
    const size_t skip = offset == start ? 4 : 0;
    std::memcpy(view + offset + skip, header + skip, Gallery_File::Header_Size - skip);
    entry->drawing->Write(view + offset + Gallery_File::Header_Size);
    plan.new_offsets.push_back(offset);
    offset += record_length;
  }
  std::memset(view + offset, 0, Gallery_File::End_Size);
  if (!file->Flush() || stop_before_link) return false;
  uint8_t linked[4];
  Gallery_File::Write_U32(linked, Gallery_File::Header_Size + plan.kept_new.front()->drawing->Stored_Size());
  uint32_t word;
  std::memcpy(&word, linked, 4);
  // One store: the file holds either the old gallery or the new one.
  std::memcpy(view + start, &word, 4);
  file->Flush();
  end_offset = offset;
  Link_Saved(plan, true);
  return true;
}

bool Drawing_Collection::Write_Beside(Save_Plan& plan, bool with_new) {
  const uint64_t total = plan.kept_bytes + (with_new ? plan.new_bytes : 0) + Gallery_File::End_Size;
  if (total > SIZE_MAX / 2) return false;
  std::vector<uint8_t> bytes;
  try {
    bytes.assign(size_t(total), 0);
  } catch (const std::bad_alloc&) {
    errno = ENOMEM;
    return false;
  }
  plan.kept_offsets.clear();
  plan.new_offsets.clear();
  uint64_t offset = 0;
  for (Storage_Data* entry : plan.kept_file) {
    uint64_t length = 0;
    std::vector<uint8_t> copy;
    const uint8_t* record = Record_Bytes(*entry, length, copy);
    // Cut short or written over since the plan was made: nothing is written.
    if (!record || length > plan.kept_bytes - offset) return false;
    std::memcpy(bytes.data() + offset, record, size_t(length));
    const Drawing_Place& cell = entry->presentation->place;
    Gallery_File::Write_Header(bytes.data() + offset, uint32_t(length), cell.a, cell.b);
    plan.kept_offsets.push_back(offset);
    offset += length;
  }
  if (with_new)
    for (Storage_Data* entry : plan.kept_new) {
      const uint32_t length = Gallery_File::Header_Size + entry->drawing->Stored_Size();
      const Drawing_Place& cell = entry->presentation->place;
      Gallery_File::Write_Header(bytes.data() + offset, length, cell.a, cell.b);
      entry->drawing->Write(bytes.data() + offset + Gallery_File::Header_Size);
      plan.new_offsets.push_back(offset);
      offset += length;
    }
  if (!Write_File_Atomically(path, bytes)) return false;
  own_file = Identity_Of(path);
  cut_seen = false;
  end_offset = offset;
  if (!Reopen_After_Replace()) {
    // The new file is on the disk but cannot be mapped: the old view still
    // holds every kept record, so the store goes on from it, and the next
    // save writes the file whole again.
    detached = true;
    return true;
  }
  damaged = detached = false;
  for (size_t i = 0; i < plan.kept_file.size(); ++i) plan.kept_file[i]->record = plan.kept_offsets[i];
  Link_Saved(plan, with_new);
  return true;
}

bool Drawing_Collection::Reopen_After_Replace() {
  auto reopened = std::make_unique<Mapped_File>();
  if (!reopened->Open(path, GENERIC_READ | GENERIC_WRITE, OPEN_EXISTING)) return false;
  reopened->Map(0, 0);
  if (!reopened->View()) return false;
  file = std::move(reopened);
  return true;
}

void Drawing_Collection::Link_Saved(Save_Plan& plan, bool with_new) {
  if (!with_new) return;
  for (size_t i = 0; i < plan.kept_new.size(); ++i) {
    plan.kept_new[i]->record = plan.new_offsets[i];
    plan.kept_new[i]->drawing.reset();
  }
}

// Every entry that is in no grid cell goes, with its drawing and pictures.
void Drawing_Collection::Drop_Unkept() {
  std::erase_if(entries, [](const std::unique_ptr<Storage_Data>& entry) { return !entry->keep; });
}

void Drawing_Collection::Clear() {
  grid.fill(nullptr);
  Empty_Bin_And_Slots();
  entries.clear();
  file->Close();
  end_offset = 0;
  entry_count = 0;
  changed = false;
  damaged = detached = false;
  cut_short.store(false);
  bounding_box = Bounding_Box{};
}

void Drawing_Collection::Reload() {
  Pause_Preparer();
  Clear();
  Open_File();
  Start_Pass();
}

void Drawing_Collection::Revert() {
  Pause_Preparer();
  grid.fill(nullptr);
  std::vector<Presentation_Data*> unread;
  // Forward, so that as at opening a later record for a cell wins it.
  for (auto& entry : entries) {
    entry->keep = entry->record != Storage_Data::No_Record;
    if (!entry->keep) continue;
    uint64_t length = 0;
    std::vector<uint8_t> bytes;
    const uint8_t* record = Record_Bytes(*entry, length, bytes);
    Presentation_Data* drawing = entry->presentation.get();
    if (!record && cut_short.load() && drawing->place.Is_Grid_Cell()) {
      // Its record is beyond the file's end now: it keeps its cell (shown
      // empty) rather than going, so that a save made once the file is whole
      // again still writes it.
      unread.push_back(drawing);
      continue;
    }
    const int32_t row = record ? int32_t(Gallery_File::Read_U32(record + 4)) : -1;
    const int32_t column = record ? int32_t(Gallery_File::Read_U32(record + 8)) : -1;
    drawing->place = Drawing_Place{Drawing_Place::Grid, row, column};
    if (!drawing->place.Is_Grid_Cell()) {
      drawing->place = Drawing_Place{};
      continue;
    }
    Presentation_Data*& cell = Cell(row, column);
    if (cell) cell->place = Drawing_Place{};
    cell = drawing;
  }
  for (Presentation_Data* drawing : unread) {
    Presentation_Data*& cell = Cell(drawing->place.a, drawing->place.b);
    if (cell) {
      drawing->storage->keep = false;
    } else {
      cell = drawing;
    }
  }
  Drop_Unkept();
  Empty_Bin_And_Slots();
  changed = false;
  entry_count = entries.size();
  Start_Pass();
}

// The user database moves the gallery file with the user's other files, in
// one change that is whole or undone (an open, mapped file keeps its
// contents under any name): the store only follows the name. The file it
// has open stays its own, so that a file another program put under the old
// name, and that moved with it, is never written over.
void Drawing_Collection::Rename(const User& new_user, const User& old_user) {
  (void)old_user;  // the store knows where its file was
  const std::string new_path = new_user.File_Path("gal");
  if (new_path.empty() || new_path == path || !The_User_Data.writable) return;
  // Without a file of its own, a file already under the new name belongs to
  // nobody now (its owner was renamed or removed): it goes to the recycle
  // bin rather than be taken for this gallery.
  if (!own_file.exists && File_Exists(new_path) && !Recycle_File(new_path))
    MessageBox(HWND(),
               "Unable to move file " + new_path +
                   " to the recycle bin\nYour gallery is not saved over it: your changes are kept until you leave "
                   "the program.",
               "WARNING", MB_OK | MB_ICONSTOP);
  path = new_path;
  // The move gave the store's own file a new change time: it is still its
  // own while every record it knows is where it knows it.
  const File_Identity now = Identity_Of(path);
  if (now == own_file && Holds_Known_Records()) own_file.changed = now.changed;
}
