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
// While it writes, the save holds the file under a name of its own (Claim_
// Name), so that no program that opens the gallery's name meets it; it puts
// it back only where no other file took the name meanwhile, and says it saved
// only once the file under the name reads back as it wrote it.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <new>

#include "gallery/drawing_collection.h"
#include "gallery/file_reader.h"
#include "gallery/preparer_thread.h"
#include "model/shape_drawing.h"
#include "platform/system/atomic_file.h"
#include "platform/system/file_system.h"
#include "platform/system/mapped_bytes.h"
#include "platform/system/user_file.h"
#include "platform/window/message_box.h"
#include "toolkit/small_utilities.h"
#include "users/gallery_file.h"
#include "users/held_gallery_note.h"
#include "users/user.h"
#include "users/user_data.h"

struct Drawing_Collection::Save_Plan {
  // Entries that stay: those with file records in file order, then the new.
  std::vector<Storage_Data*> kept_file;
  std::vector<Storage_Data*> kept_new;
  // Each kept new drawing as the record it is written as.
  std::vector<std::vector<uint8_t>> new_records;
  bool dropped = false;  // a file record goes
  bool moved = false;    // a kept record changes cell
  uint64_t kept_bytes = 0;
  uint64_t new_bytes = 0;
  // Each record in the file written, as the store then knows it.
  struct Written {
    Storage_Data* entry;
    uint64_t offset;
    uint32_t length;
    int32_t row, column;
    uint64_t digest;
  };
  std::vector<Written> written;
  // Drawings left out: kept records that could no longer be read whole, and
  // new drawings that made no record the reader would take.
  std::vector<Storage_Data*> unread;
  std::vector<Storage_Data*> unwritable;
  // Drawings the store never read, written as the file it opened holds
  // them though they could not be checked.
  std::vector<Storage_Data*> unchecked;
  // What a record the store never read counts as: its own while the file is
  // as it knows it; once the file has left the name, what the file it
  // opened holds, unchecked when that file's size or modification time
  // moved; else another program's.
  enum class Unread { Own, Unchecked, Changed };
  Unread unread_as = Unread::Changed;
  // What the save wrote, to be checked once the file is back under its
  // name: the file (its device and inode), its length and where the end
  // marker went.
  bool wrote = false;
  bool appended = false;
  bool deleted = false;  // no drawing left: the file is gone
  dev_t device = 0;
  ino_t inode = 0;
  uint64_t length = 0;
  uint64_t end = 0;
  // An append: the last byte other than 0 before the old end marker, and
  // its value, as they were once the size it grows from was checked. A cut
  // that the growth filled up with zeros changed that byte, or no byte at
  // all (none when the file held only zeros).
  bool has_last_byte = false;
  uint64_t last_byte_at = 0;
  uint8_t last_byte = 0;
  // The file written as it read back: the store's own from then on (none
  // once the save deleted it).
  File_Identity taken;
};

namespace {

const char* const New_Entries_Not_Saved =
    "Your new gallery entries could not be saved.\nYour hard disk may be too full.";
const char* const Gallery_Not_Saved = "Your gallery could not be saved.\nYour hard disk may be too full.";

bool stop_before_link = false;
std::function<void(Drawing_Collection::Save_Step)> save_step_hook;

void Step(Drawing_Collection::Save_Step step) {
  if (save_step_hook) save_step_hook(step);
}

bool Was_Read(const Drawing_Collection::Storage_Data& entry) {
  return entry.digest.load(std::memory_order_acquire) != Drawing_Collection::Storage_Data::No_Digest;
}

}  // namespace

void Drawing_Collection::Set_Save_Step_Hook(std::function<void(Save_Step)> hook) { save_step_hook = std::move(hook); }

std::string Drawing_Collection::Claim_Name(const std::string& path) { return Held_For_Save_Name(path); }

bool Drawing_Collection::Save(const User& user, HWND window) {
  (void)user;  // the file follows the user through Rename
  Pause_Preparer();
  // Her held gallery made writable again since the opening: saves go on.
  if (must_stay && held_locked && Reopen_Held_Writable()) {
    must_stay = held_locked = false;
    stay_reason.clear();
  }
  Step(Save_Step::Check);
  for (auto& entry : entries) entry->keep = false;
  for (Presentation_Data* cell : grid)
    if (cell) cell->storage->keep = true;
  // Still locked: her changes stay, for what the box says works while the
  // program runs.
  if (must_stay && held_locked) {
    Refuse_Save(Save_Refusal(), window);
    return false;
  }
  if (!must_stay) {
    // A file an earlier save had to leave under its claimed name goes back
    // under the gallery's name first, once that name is free.
    if (!held_at.empty() && !Put_Back_Held()) {
      Refuse_Save(Identity_Of(path).exists ? Held_Refusal() : Held_Stuck_Reason(), window);
      return false;
    }
    File_Check check = Check_Own_File();
    if (check.replaced && Take_Identical_Copy()) check = Check_Own_File();
    if (!check.refusal.empty()) {
      Refuse_Save(check.refusal, window);
      return false;
    }
    // Whole: a later cut is told again.
    Still_Cut_Short();
    if (check.now.exists) {
      // Its bytes are those the store knows: a new change time of no
      // changed byte is the store's too.
      own_file.changed = check.now.changed;
      own_file.modified = check.now.modified;
      own_settled = check.settled;
    } else if (own_file.exists) {
      // Gone from the name (deleted or moved away): the store writes every
      // drawing it can still read as a new file.
      detached = true;
    }
  }
  Save_Plan plan = Plan_Save();
  if (Unchanged_Since_Known(file->Descriptor()))
    plan.unread_as = Save_Plan::Unread::Own;
  else if (detached)
    plan.unread_as = Open_Content_Stands() ? Save_Plan::Unread::Own : Save_Plan::Unread::Unchecked;
  const auto untouched_by = [this](const Save_Plan& p) {
    return !p.dropped && !p.moved && p.kept_new.empty() && !damaged && !detached;
  };
  if (must_stay) {
    // The file may not be written: what it holds stands, and the gallery
    // shows it again.
    const bool untouched = untouched_by(plan);
    // The file that may not be written is named, wherever it is.
    if (!untouched)
      MessageBox(window,
                 "Unable to write file " + Opened_Name() + "\n" + stay_reason +
                     ": your changes to the gallery are not saved and are taken back.",
                 "WARNING", MB_OK | MB_ICONSTOP);
    Revert();
    return untouched;
  }
  Make_New_Records(plan);
  // An append is read back whole, every record it keeps too: those never
  // read yet are learnt now, while the file is as the store knows it.
  if (!plan.dropped && !plan.moved && !damaged && !detached && !plan.kept_new.empty())
    for (Storage_Data* entry : plan.kept_file) Learn_Record_Digest(*entry);
  const bool untouched = untouched_by(plan);
  const Outcome outcome = untouched ? Outcome::Saved : Write_Plan(plan, window);
  if (outcome == Outcome::Reloaded) return false;
  if (outcome == Outcome::Nothing_Saved) {
    Keep_Changes_Unsaved();
    return false;
  }
  // Out of their cells before anything is freed.
  Forget_Lost(plan, window);
  Drop_Unkept();
  Empty_Bin_And_Slots();
  // New drawings that did not fit stay in their cells, to be saved later;
  // a gallery held aside is not saved under its name yet.
  changed = outcome == Outcome::New_Kept || !held_at.empty();
  entry_count = entries.size();
  // The file the save wrote and read back, or, after an append that
  // failed (which may have grown it), the one the store has open.
  if (!untouched) Learn_File(plan.wrote || plan.deleted ? plan.taken : Open_Identity());
  Start_Pass();
  return outcome == Outcome::Saved && held_at.empty();
}

bool Drawing_Collection::Reopen_Held_Writable() {
  // Still the file it shows, of the size it knows, and one it may write
  // now: the save compares the rest as for any file whose change time moved.
  struct stat info;
  if (stat(held_at.c_str(), &info) != 0 || (info.st_mode & 0222) == 0 || Is_Unchangeable(held_at) ||
      info.st_dev != own_file.device || info.st_ino != own_file.inode || uint64_t(info.st_size) != known_size ||
      faccessat(AT_FDCWD, held_at.c_str(), W_OK, AT_EACCESS) != 0)
    return false;
  // Its lock would keep the new opening out: the file is closed first, and
  // opened as before if it cannot be opened for writing after all.
  file->Close();
  const auto open_as = [this](uint32_t access) {
    auto reopened = std::make_unique<Mapped_File>();
    struct stat now;
    if (!reopened->Open(held_at, access, OPEN_EXISTING) || fstat(reopened->Descriptor(), &now) != 0 ||
        now.st_dev != own_file.device || now.st_ino != own_file.inode)
      return false;
    if (reopened->File_Size() >= 4) {
      reopened->Map(0, 0);
      if (!reopened->View()) return false;
    } else {
      reopened->Close();
    }
    file = std::move(reopened);
    return true;
  };
  if (open_as(GENERIC_READ | GENERIC_WRITE)) {
    own_settled = false;
    return true;
  }
  open_as(GENERIC_READ);
  return false;
}

std::string Drawing_Collection::Save_Refusal() const {
  // Said of the file it is true of: her held gallery, not the other file
  // under her gallery's name.
  if (must_stay && held_locked)
    return "Your gallery is kept as " + held_at + Hidden_Note +
           (Is_Unchangeable(held_at) ? ", which the administrator has made unchangeable" : ", which is read-only");
  if (must_stay) return stay_reason;
  // The held file goes back at the save, once the name is free.
  if (!held_at.empty()) return Identity_Of(path).exists ? Held_Refusal() : std::string();
  const File_Check check = Check_Own_File();
  return check.replaced && Is_Identical_Copy() ? std::string() : check.refusal;
}

bool Drawing_Collection::Put_Back_Held() {
  // Only her file itself, or the one the save noted there (a gallery that
  // is a link is held as that link): a link put in its place is another
  // program's even when it leads to her file.
  struct stat info;
  const bool itself = lstat(held_at.c_str(), &info) == 0 && S_ISREG(info.st_mode);
  if ((!itself && !Held_Gallery_Note::Is_Held(held_at)) || stat(held_at.c_str(), &info) != 0 ||
      info.st_dev != own_file.device || info.st_ino != own_file.inode) {
    // Moved away from there too: the save goes on as for a file that left
    // its name.
    held_at.clear();
    return true;
  }
  if (!Move_File(held_at, path)) return false;
  Sync_Directory(Folder_Of(path));
  Held_Gallery_Note::Forget(held_at);
  held_at.clear();
  // The move is the store's own: as after a rename, the bytes it knows are
  // compared at the check.
  const File_Identity moved = Identity_Of(path);
  if (moved == own_file) {
    own_file.changed = moved.changed;
    own_settled = false;
  }
  return true;
}

void Drawing_Collection::Refuse_Save(const std::string& reason, HWND window) {
  const bool cut = Cut_Short_Now();
  // Whatever is written now would replace records the file may get back (a
  // copy put back whole).
  if (cut) cut_short.store(true);
  if (Has_Unsaved_Changes()) {
    // Told at every save: she must never take a silent Save for a saved
    // gallery. A cut told here is not told again when a drawing shows empty.
    if (cut) told_cut_short = true;
    Tell_Refusal(reason, window);
  } else if (cut) {
    Tell_Cut_Short(window);
  }
  Keep_Changes_Unsaved();
}

void Drawing_Collection::Tell_Refusal(const std::string& reason, HWND window) {
  // Her gallery kept aside is named, and the file to move is the other one;
  // one that cannot move is the administrator's to make changeable.
  std::string outcome = ": your changes are kept until you leave the program, and are not saved over that file.\n" +
                        Save_Advice(reason, Is_Unchangeable(path));
  if (reason == Held_Refusal() && !held_at.empty())
    outcome = ": your gallery is kept as " + held_at + Hidden_Note +
              ", and your changes are kept until you leave the program.\nTo save them, " +
              Move_Out_Advice(path, "the file " + path) + " and save the gallery again.";
  else if (must_stay && held_locked)
    outcome = ", and another file is under its name: your changes are kept until you leave the program.\nTo save "
              "them, " + Unlock_Held_Advice() + Move_Out_Advice(path, "the file " + path) + " and save the gallery again.";
  else if (!held_at.empty() && reason == Held_Stuck_Reason())
    outcome = std::string(": your changes are kept until you leave the program.\nTo save them, ") +
              (Is_Unchangeable(held_at) ? "have the administrator make that file changeable again, and " : "") +
              "save the gallery again.";
  const std::string unwritten = must_stay && held_locked ? held_at + Hidden_Note : path;
  MessageBox(window, "Unable to write file " + unwritten + "\n" + reason + outcome, "WARNING", MB_OK | MB_ICONSTOP);
}

std::string Drawing_Collection::Unlock_Held_Advice() const {
  return Is_Unchangeable(held_at) ? "have the administrator make the file " + held_at + " changeable again, "
                                  : "make the file " + held_at + " writable again, ";
}

std::string Drawing_Collection::Held_Stuck_Reason() const {
  return "Your gallery is kept as " + held_at + Hidden_Note +
         (Is_Unchangeable(held_at) ? ", which the administrator has made unchangeable"
                                   : ", and it could not go back under its name");
}

std::string Drawing_Collection::Save_Advice(const std::string& refusal, bool unchangeable) {
  if (refusal == Read_Only_Refusal) return "To save them, make the file writable again and save the gallery again.";
  if (refusal == No_Permission_Refusal)
    return "To save them, have the administrator make the file changeable again, and save the gallery again.";
  // No one else may move such a file.
  if (unchangeable)
    return "To save them, have the administrator make that file changeable again and move it out of the folder, and "
           "save the gallery again.";
  // A file that is not the store's as it knows it stays as it is; without
  // it under the name the save writes every drawing it can still read.
  return "To save them, move that file out of the folder and save the gallery again.";
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

// Nothing is read here: a record that can no longer be read is found when
// it is copied, and left out then.
Drawing_Collection::Save_Plan Drawing_Collection::Plan_Save() {
  Save_Plan plan;
  for (auto& entry : entries) {
    Storage_Data* e = entry.get();
    if (e->record == Storage_Data::No_Record) {
      if (e->keep) plan.kept_new.push_back(e);
      continue;
    }
    if (!e->keep) {
      plan.dropped = true;
      continue;
    }
    const Drawing_Place& cell = e->presentation->place;
    if (cell.a != e->saved_row || cell.b != e->saved_column) plan.moved = true;
    plan.kept_file.push_back(e);
    plan.kept_bytes += e->length;
  }
  return plan;
}

void Drawing_Collection::Make_New_Records(Save_Plan& plan) {
  std::vector<Storage_Data*> written;
  for (Storage_Data* entry : plan.kept_new) {
    const uint64_t length = Gallery_File::Header_Size + uint64_t(entry->drawing->Stored_Size());
    std::vector<uint8_t> record;
    if (length <= UINT32_MAX) {
      record.assign(size_t(length), 0);
      const Drawing_Place& cell = entry->presentation->place;
      Gallery_File::Write_Header(record.data(), uint32_t(length), cell.a, cell.b);
      entry->drawing->Write(record.data() + Gallery_File::Header_Size);
    }
    if (record.empty() || !Gallery_File::Headers_Fit(record.data(), length + 1)) {
      plan.unwritable.push_back(entry);
      continue;
    }
    written.push_back(entry);
    plan.new_bytes += length;
    plan.new_records.push_back(std::move(record));
  }
  plan.kept_new = std::move(written);
}

void Drawing_Collection::Forget_Lost(Save_Plan& plan, HWND window) {
  const auto forget = [this](const std::vector<Storage_Data*>& lost) {
    for (Storage_Data* entry : lost) {
      Presentation_Data* drawing = entry->presentation.get();
      if (drawing->place.Is_Grid_Cell() && Cell(drawing->place.a, drawing->place.b) == drawing)
        Cell(drawing->place.a, drawing->place.b) = nullptr;
      drawing->place = Drawing_Place{};
      entry->keep = false;
    }
  };
  // Named before they leave their cells.
  const std::string unread = Places_Of(plan.unread), unwritable = Places_Of(plan.unwritable);
  forget(plan.unread);
  forget(plan.unwritable);
  const auto lost = [](size_t n) { return n == 1 ? std::string("it is lost") : std::string("they are lost"); };
  if (!plan.unread.empty())
    MessageBox(window,
               "Unable to read file " + path + "\n" + unread + " could no longer be read as the gallery showed " +
                   (plan.unread.size() == 1 ? "it" : "them") + " (another program changed the file or cut it short): " +
                   lost(plan.unread.size()) + ", and your other drawings are saved.",
               "WARNING", MB_OK | MB_ICONSTOP);
  if (!plan.unchecked.empty()) {
    const bool one = plan.unchecked.size() == 1;
    MessageBox(window,
               "Unable to check file " + path + "\n" + Places_Of(plan.unchecked) +
                   " could not be checked (another program changed the file before the gallery read " +
                   (one ? "it): it is" : "them): they are") + " saved as the file held " + (one ? "it" : "them") +
                   ", and any file that program moved away is left as it is.",
               "WARNING", MB_OK | MB_ICONSTOP);
  }
  if (!plan.unwritable.empty())
    MessageBox(window,
               "Unable to write file " + path + "\n" + unwritable +
                   " could not be written so that the gallery reads " +
                   (plan.unwritable.size() == 1 ? "it" : "them") + " back: " + lost(plan.unwritable.size()) +
                   ", and your other drawings are saved.",
               "WARNING", MB_OK | MB_ICONSTOP);
}

// As a person finds them: counted from 1, from the top left of the 12 by 12
// view, which shows the whole grid.
std::string Drawing_Collection::Places_Of(const std::vector<Storage_Data*>& drawings) {
  std::string places;
  for (size_t i = 0; i < drawings.size(); ++i) {
    const Drawing_Place& cell = drawings[i]->presentation->place;
    if (i > 0) places += i + 1 == drawings.size() ? " and " : "; ";
    places += "row " + std::to_string(cell.a + 1) + ", column " + std::to_string(cell.b + 1);
  }
  return (drawings.size() == 1 ? "The drawing in " : "The drawings in ") + places + " of the 12 by 12 view";
}

// The file is claimed for the save: renamed aside, so that a program that
// opens the name meets no file, and checked once more under its new name.
// The save writes it there (or the new file in its place), and puts it back
// under the name only if no other file has taken the name meanwhile.
Drawing_Collection::Outcome Drawing_Collection::Write_Plan(Save_Plan& plan, HWND window) {
  claimed = Claim_Name(path);
  changed_while_saving = claim_taken = false;
  claimed_file = File_Identity{};
  Step(Save_Step::Claim);
  // The check found the store's own file under the name (else there is
  // none, and the save writes a new one).
  const bool under_name = !detached && own_file.exists;
  struct stat in_the_way;
  if (lstat(claimed.c_str(), &in_the_way) == 0) {
    // Another program's file, or a gallery the store did not open (her own
    // is put back at the opening): it is never written over.
    const std::string what = Gallery_File::Reads_As_Gallery(claimed) ? ", another gallery file,"
                                                                      : ", which is not a gallery but another "
                                                                        "program's file,";
    MessageBox(window,
               "Unable to write file " + path + "\nThe file " + claimed + Hidden_Note + what +
                   " is in the way: your changes are kept until you leave the program, and are not saved.\nTo save "
                   "them, " + Move_Out_Advice(claimed, "that file") + " and save the gallery again.",
               "WARNING", MB_OK | MB_ICONSTOP);
    claimed.clear();
    return Outcome::Nothing_Saved;
  }
  // A change by name since the check gave the file another change time:
  // the claim's own rename gives it one too, so it is compared before.
  if (under_name && !Named_Is_Known()) {
    claimed.clear();
    Tell_Refusal(Changed_Refusal, window);
    return Outcome::Nothing_Saved;
  }
  // Noted before it is there: a save stopped after the rename leaves a file
  // the next start knows for hers, and no other. On a full disk there is no
  // note: such a file is then named at the start as one that may be hers,
  // and nothing moves.
  Held_Gallery_Note::File claiming;
  if (under_name && (!Held_Gallery_Note::Of_Name(path, claiming) || !Held_Gallery_Note::Note(claimed, {claiming})))
    Held_Gallery_Note::Forget(claimed);
  if (under_name && !Move_File(path, claimed)) {
    const int error = errno;
    Held_Gallery_Note::Forget(claimed);
    claimed.clear();
    if (Identity_Of(path).exists) {
      Show_Save_Failure(window, true, error);
    } else {
      // Gone from the name between the check and the claim.
      Tell_Refusal(Changed_Refusal, window);
    }
    return Outcome::Nothing_Saved;
  }
  if (under_name) claimed_file = own_file;
  if (under_name && !Claimed_Is_Known()) {
    Put_Back(window);
    Tell_Refusal(Changed_Refusal, window);
    return Outcome::Nothing_Saved;
  }
  Outcome outcome = Write_Claimed(plan, window);
  const bool written = !changed_while_saving && (plan.wrote || plan.deleted) &&
                       (outcome == Outcome::Saved || outcome == Outcome::New_Kept);
  // Written beside under the claimed name, or into the claimed file: the
  // file the store now knows is the one written there.
  const std::string written_at = claimed;
  Put_Back(window);
  std::unique_ptr<Mapped_File> reopened;
  if (written && !Check_Written(plan, reopened)) {
    changed_while_saving = true;
    // Held aside, the file there is checked only for being the one written:
    // another took its place, and her gallery is not kept there any more.
    if (!held_at.empty()) {
      held_at.clear();
      claim_taken = true;
    }
  }
  if (changed_while_saving) {
    // Not the store's any more: the drawings stay in memory, and the file
    // counts as another program's until it is moved away.
    Tell_Refusal(claim_taken ? "Another program put the file " + written_at + " in the way while the gallery was saved"
                             : std::string(Changed_While_Saving_Refusal),
                 window);
    return Outcome::Nothing_Saved;
  }
  if (claim_taken)
    MessageBox(window,
               "Unable to write file " + path + "\nAnother program put the file " + written_at +
                   " beside the gallery while it was saved: it is left as it is, and your gallery is saved.\nMove "
                   "that file out of the folder before you save the gallery again.",
               "WARNING", MB_OK | MB_ICONSTOP);
  if (written) Take_Written(plan, std::move(reopened));
  // The old view could not even be mapped again: the store reads the file
  // as it stands, back under its name.
  if (outcome == Outcome::Reloaded) Reload();
  return outcome;
}

bool Drawing_Collection::Check_Written(Save_Plan& plan, std::unique_ptr<Mapped_File>& reopened) {
  // Held aside under the save's own name when another file took the
  // gallery's: found there, and read back once it goes back under its name.
  const bool held = !held_at.empty();
  Step(Save_Step::Verify);
  if (plan.deleted) return true;
  const std::string& name = held ? held_at : path;
  if (!plan.appended) reopened = Reopen_Written(name);
  // Found by identity: a file another program renamed over the name is not
  // the one written, whatever it holds.
  const File_Reader reader(plan.appended ? file->Descriptor() : reopened ? reopened->Descriptor() : -1, name,
                           plan.device, plan.inode);
  struct stat before;
  if (reader.Descriptor() < 0 || fstat(reader.Descriptor(), &before) != 0 || before.st_dev != plan.device ||
      before.st_ino != plan.inode)
    return false;
  plan.taken = File_Identity{true, before.st_dev, before.st_ino, before.st_ctim, before.st_mtim};
  // Held aside it is read back once it is under its name; until then it is
  // the store's only while the name it is kept under leads to it (an
  // append's descriptor says nothing of that name).
  struct stat kept;
  if (held)
    return stat(name.c_str(), &kept) == 0 && kept.st_dev == plan.device && kept.st_ino == plan.inode;
  // Read once the clock has passed its change time: a change after the
  // reading gives it another.
  Wait_For_Clock_Past(before.st_ctim, before.st_dev);
  if (uint64_t(before.st_size) != plan.length || !Reads_As_Written(plan, reader.Descriptor())) return false;
  Step(Save_Step::Take);
  struct stat after, named;
  return fstat(reader.Descriptor(), &after) == 0 && after.st_size == before.st_size &&
         after.st_ctim.tv_sec == before.st_ctim.tv_sec && after.st_ctim.tv_nsec == before.st_ctim.tv_nsec &&
         stat(path.c_str(), &named) == 0 && named.st_dev == plan.device && named.st_ino == plan.inode;
}

// What another program may have done while the save wrote (through a
// descriptor it opened before the claim, or by the name once the file was
// back): every record the next opening reads is checked as it reads it,
// and the bytes of each the store knows.
bool Drawing_Collection::Reads_As_Written(const Save_Plan& plan, int descriptor) const {
  // The records an append kept are checked as the next opening reads them
  // (their headers, where they were); only the bytes this save wrote are
  // read whole, so that a save costs what it writes.
  std::vector<Save_Plan::Written> expected;
  if (plan.appended)
    for (Storage_Data* entry : plan.kept_file)
      expected.push_back(
          {entry, entry->record, entry->length, entry->saved_row, entry->saved_column, Storage_Data::No_Digest});
  expected.insert(expected.end(), plan.written.begin(), plan.written.end());
  uint8_t last = 0;
  if (plan.has_last_byte &&
      (!Gallery_File::Read_At(descriptor, plan.last_byte_at, &last, 1) || last != plan.last_byte))
    return false;
  const auto read = [descriptor](uint64_t offset, uint8_t* out, size_t n) {
    return Gallery_File::Read_At(descriptor, offset, out, n);
  };
  const Gallery_File::Contents contents = Gallery_File::Scan(read, plan.length);
  if (!contents.whole || contents.end_offset != plan.end || contents.records.size() != expected.size()) return false;
  std::vector<uint8_t> bytes;
  for (size_t i = 0; i < expected.size(); ++i) {
    const Gallery_File::Record& read = contents.records[i];
    const Save_Plan::Written& known = expected[i];
    if (read.offset != known.offset || read.length != known.length || read.row != known.row ||
        read.column != known.column)
      return false;
    if (known.digest == Storage_Data::No_Digest) continue;
    bytes.resize(known.length);
    if (!Gallery_File::Read_At(descriptor, known.offset, bytes.data(), bytes.size()) ||
        Record_Digest(bytes.data(), known.length) != known.digest)
      return false;
  }
  return true;
}

void Drawing_Collection::Take_Written(Save_Plan& plan, std::unique_ptr<Mapped_File> reopened) {
  if (plan.deleted) return;
  end_offset = plan.end;
  if (!plan.appended) {
    if (!reopened) {
      // The new file is on the disk but cannot be mapped: the old view still
      // holds every kept record, so the store goes on from it, and the next
      // save writes the file whole again.
      detached = true;
      return;
    }
    file = std::move(reopened);
    damaged = detached = false;
  }
  Link_Saved(plan);
}

bool Drawing_Collection::Named_Is_Known() const {
  const File_Identity named = Identity_Of(path);
  struct stat info;
  return named == own_file && !named.Changed_Since(own_file) && stat(path.c_str(), &info) == 0 &&
         uint64_t(info.st_size) == known_size;
}

bool Drawing_Collection::Claimed_Is_Known() const {
  // The rename gave it a new change time; a write since would also have
  // moved its modification time, unless its writer put that back.
  // A gallery that is a link to its file was claimed as that link.
  struct stat info;
  return stat(claimed.c_str(), &info) == 0 && info.st_dev == own_file.device &&
         info.st_ino == own_file.inode && uint64_t(info.st_size) == known_size &&
         info.st_mtim.tv_sec == own_file.modified.tv_sec && info.st_mtim.tv_nsec == own_file.modified.tv_nsec;
}

bool Drawing_Collection::Claimed_Holds_Own() const {
  // Followed only to the store's own file (a gallery that is a link to its
  // file was claimed as that link): a link to anything else is another
  // program's.
  struct stat info;
  return claimed_file.exists && stat(claimed.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
         info.st_dev == claimed_file.device && info.st_ino == claimed_file.inode;
}

void Drawing_Collection::Put_Back(HWND window) {
  if (claimed.empty()) return;
  Step(Save_Step::Put_Back);
  const bool own = Claimed_Holds_Own();
  struct stat info;
  const bool other = !own && lstat(claimed.c_str(), &info) == 0;
  const std::string aside = claimed;
  claimed.clear();
  if (other) {
    // Another program's file or link: it stays where it is, and the store's
    // own file, if it was there, has lost every name.
    claim_taken = true;
    if (claimed_file.exists) changed_while_saving = true;
    return;
  }
  if (!own) return;
  if (Move_File(aside, path)) {
    // Every rename of the save reaches the disk before it counts as saved.
    Sync_Directory(Folder_Of(path));
    Held_Gallery_Note::Forget(aside);
    return;
  }
  // Another program put a file under the name meanwhile, or her file was
  // made unchangeable: both stay, and the store goes on with its own under
  // the name it was written to, until it can go back under its name.
  held_at = aside;
  held_from_start = false;
  struct stat there;
  if (lstat(path.c_str(), &there) != 0) {
    MessageBox(window,
               "Unable to move file " + aside + "\n" + Held_Stuck_Reason() +
                   ": your changes are kept until you leave the program.\nTo save your gallery under its name, " +
                   (Is_Unchangeable(aside) ? "have the administrator make that file changeable again, and " : "") +
                   "save the gallery again.",
               "WARNING", MB_OK | MB_ICONSTOP);
    return;
  }
  MessageBox(window,
             "Unable to write file " + path + "\n" + Held_Aside_Refusal + ": your gallery is kept as " + aside +
                 ", and that program's file is left as it is.\nTo go on with your gallery, " +
                 Move_Out_Advice(path, "that program's file") + " and save the gallery again.",
             "WARNING", MB_OK | MB_ICONSTOP);
}

std::string Drawing_Collection::Move_Out_Advice(const std::string& name, const std::string& what) {
  // No one but the administrator may move a file made unchangeable.
  if (Is_Unchangeable(name))
    return "have the administrator make " + what + " changeable again and move it out of the folder,";
  return "move " + what + " out of the folder";
}

std::string Drawing_Collection::Held_Refusal() const {
  return held_from_start ? Held_From_Start_Refusal : Held_Aside_Refusal;
}

Drawing_Collection::Outcome Drawing_Collection::Write_Claimed(Save_Plan& plan, HWND window) {
  if (plan.kept_file.empty() && plan.kept_new.empty()) {
    plan.deleted = Delete_Gallery();
    if (plan.deleted) return Outcome::Saved;
    Show_Save_Failure(window, true, errno);
    return Outcome::Nothing_Saved;
  }
  // A file another name also holds (a link a snapshot made) is replaced,
  // never written in place: the other name keeps what it held.
  struct stat info;
  const bool linked = file->Is_Open() && fstat(file->Descriptor(), &info) == 0 && info.st_nlink > 1;
  if (!plan.dropped && !plan.moved && !damaged && !detached && !linked && file->View()) {
    errno = 0;
    // Even an append that failed may have grown the file: the save learns
    // its bytes as the store's own.
    const bool appended = Write_Appended(plan);
    const int error = errno;
    if (appended) return Outcome::Saved;
    if (changed_while_saving) return Outcome::Nothing_Saved;
    if (!file->View()) {
      // The old view could not even be mapped again: the store reads the
      // file as it stands.
      Show_Save_Failure(window, true, error);
      return Outcome::Reloaded;
    }
    Show_Save_Failure(window, false, error);
    return Outcome::New_Kept;
  }
  errno = 0;
  if (Write_Beside(plan, true)) return Outcome::Saved;
  const int error = errno;
  if (changed_while_saving) return Outcome::Nothing_Saved;
  // Only the drawings kept from the file, then: the new ones stay in memory.
  if (!plan.kept_new.empty()) {
    plan.deleted = plan.kept_file.empty() && Delete_Gallery();
    const bool kept_saved = plan.deleted || Write_Beside(plan, false);
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
  // (a mount point) leaves the store as it was. A claimed file is deleted
  // under the name it was claimed to, only while it is the store's own, and
  // nothing is put back.
  if (!claimed.empty()) {
    if (Claimed_Holds_Own() && !Delete_File(claimed)) return false;
    // Deleted first: a file that appears there later is another program's,
    // whatever its bytes.
    Held_Gallery_Note::Forget(claimed);
    claimed_file = File_Identity{};
  } else if (File_Exists(path) && !Delete_File(path)) {
    return false;
  }
  file->Close();
  end_offset = 0;
  damaged = detached = false;
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

// Another program may cut the file short while the store writes into its
// mapping: a page beyond its new end then faults. The write fails instead,
// as a cut file's save does.
bool Drawing_Collection::Write_Into_View(uint8_t* to, const uint8_t* from, size_t size) {
  if (TMapped_Bytes::Copy(to, from, size)) return true;
  cut_short.store(true);
  changed_while_saving = true;
  errno = EIO;
  return false;
}

bool Drawing_Collection::Write_Appended(Save_Plan& plan) {
  const uint64_t start = end_offset;
  const uint64_t needed = start + plan.new_bytes + Gallery_File::End_Size;
  Step(Save_Step::Grow);
  // Grown only from the size the check saw: a file another program cut
  // meanwhile is never filled up again with zeros.
  if (file->File_Size() != known_size) {
    changed_while_saving = true;
    return false;
  }
  // A cut from here on is filled up with zeros by the growth: only the
  // reading back finds it, by the last byte other than 0 it would clear.
  if (!Note_Last_Byte(plan, start)) {
    changed_while_saving = true;
    return false;
  }
  Step(Save_Step::Reserve);
  const uint64_t length = std::max<uint64_t>(known_size, needed);
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
  plan.written.clear();
  Step(Save_Step::Write);
  for (size_t i = 0; i < plan.kept_new.size(); ++i) {
    const std::vector<uint8_t>& record = plan.new_records[i];
    // The first length field is the old end marker: it stays 0 until the
    // rest is on the disk.
    const size_t skip = offset == start ? 4 : 0;
    if (!Write_Into_View(view + offset + skip, record.data() + skip, record.size() - skip)) return false;
    const Drawing_Place& cell = plan.kept_new[i]->presentation->place;
    plan.written.push_back({plan.kept_new[i], offset, uint32_t(record.size()), cell.a, cell.b,
                            Record_Digest(record.data(), uint32_t(record.size()))});
    offset += record.size();
  }
  const uint8_t end_marker[Gallery_File::End_Size] = {};
  if (!Write_Into_View(view + offset, end_marker, sizeof end_marker)) return false;
  if (!file->Flush() || stop_before_link) return false;
  Step(Save_Step::Link);
  // One store: the file holds either the old gallery or the new one.
  if (!Write_Into_View(view + start, plan.new_records.front().data(), 4)) return false;
  file->Flush();
  struct stat info;
  if (fstat(file->Descriptor(), &info) != 0) return false;
  plan.wrote = plan.appended = true;
  plan.device = info.st_dev;
  plan.inode = info.st_ino;
  plan.length = length;
  plan.end = offset;
  return true;
}

bool Drawing_Collection::Note_Last_Byte(Save_Plan& plan, uint64_t end) const {
  plan.has_last_byte = false;
  std::vector<uint8_t> chunk(4096);
  while (end > 0) {
    const uint64_t from = end > chunk.size() ? end - chunk.size() : 0;
    const size_t n = size_t(end - from);
    // Read from the file, not the view: a cut meanwhile fails here.
    if (!Gallery_File::Read_At(file->Descriptor(), from, chunk.data(), n)) return false;
    for (size_t i = n; i > 0; --i)
      if (chunk[i - 1] != 0) {
        plan.has_last_byte = true;
        plan.last_byte_at = from + i - 1;
        plan.last_byte = chunk[i - 1];
        return true;
      }
    end = from;
  }
  return true;
}

bool Drawing_Collection::Write_Beside(Save_Plan& plan, bool with_new) {
  const uint64_t total = plan.kept_bytes + (with_new ? plan.new_bytes : 0) + Gallery_File::End_Size;
  if (total > SIZE_MAX / 2) return false;
  plan.written.clear();
  plan.unread.clear();
  plan.unchecked.clear();
  std::vector<uint8_t> bytes;
  const auto add = [&](Storage_Data* entry, uint64_t offset) {
    uint8_t* record = bytes.data() + offset;
    const uint32_t length = uint32_t(bytes.size() - offset);
    const Drawing_Place& cell = entry->presentation->place;
    Gallery_File::Write_Header(record, length, cell.a, cell.b);
    plan.written.push_back({entry, offset, length, cell.a, cell.b, Record_Digest(record, length)});
  };
  try {
    bytes.reserve(size_t(total));
    // Each record is read from the file as the reader would take it, as it
    // is shown: one that fails (cut short, changed by another program) is
    // left out, and the records behind it still read back.
    for (Storage_Data* entry : plan.kept_file) {
      const uint64_t offset = bytes.size();
      if (Read_Record(*entry, bytes) && Is_As_Shown(*entry, bytes.data() + offset, bytes.size() - offset,
                                                    plan.unread_as != Save_Plan::Unread::Changed)) {
        if (plan.unread_as == Save_Plan::Unread::Unchecked && !Was_Read(*entry)) plan.unchecked.push_back(entry);
        add(entry, offset);
      } else {
        bytes.resize(offset);
        plan.unread.push_back(entry);
      }
    }
    if (with_new)
      for (size_t i = 0; i < plan.kept_new.size(); ++i) {
        const uint64_t offset = bytes.size();
        bytes.insert(bytes.end(), plan.new_records[i].begin(), plan.new_records[i].end());
        add(plan.kept_new[i], offset);
      }
    bytes.resize(bytes.size() + Gallery_File::End_Size, 0);
  } catch (const std::bad_alloc&) {
    errno = ENOMEM;
    return false;
  }
  const uint64_t offset = bytes.size() - Gallery_File::End_Size;
  Step(Save_Step::Write);
  // In place of the claimed file, under its claimed name: it goes under the
  // gallery's name when the claim is put back. The name is the store's
  // own: it replaces only the file the store keeps there, and with none it
  // is made new, so that nothing another program put there is written over
  // or through. A gallery that is a link to its file keeps the link: the new
  // file replaces the one the link leads to.
  std::string replaced = claimed;
  struct stat link;
  if (Claimed_Holds_Own() && lstat(claimed.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) {
    char* real = realpath(claimed.c_str(), nullptr);
    if (!real) return false;
    replaced = real;
    free(real);
  }
  // The new file is known by the descriptor that wrote it, never by what
  // its name leads to a moment later. It is noted before it takes the held
  // name, beside the file it replaces there.
  Held_Gallery_Note::File written_file;
  struct stat written_info;
  const auto place = [this, &replaced, &written_file, &written_info](const std::string& temporary, int written) {
    if (!Held_Gallery_Note::Of_Descriptor(written, written_file) || fstat(written, &written_info) != 0) return false;
    if (claimed_file.exists && !Claimed_Holds_Own()) {
      errno = EEXIST;
      return false;
    }
    std::vector<Held_Gallery_Note::File> may_stand{written_file};
    Held_Gallery_Note::File there;
    if (claimed_file.exists && Held_Gallery_Note::Of_Name(claimed, there)) may_stand.insert(may_stand.begin(), there);
    if (!Held_Gallery_Note::Note(claimed, may_stand)) Held_Gallery_Note::Forget(claimed);
    if (!claimed_file.exists) return Move_File(temporary, claimed);
    return rename(temporary.c_str(), replaced.c_str()) == 0;
  };
  if (!Write_New_File_Beside(replaced, bytes, place)) {
    const int error = errno;
    struct stat there;
    if (!Claimed_Holds_Own() && lstat(claimed.c_str(), &there) == 0) {
      claim_taken = changed_while_saving = true;
      claimed_file = File_Identity{};
    }
    errno = error;
    return false;
  }
  Step(Save_Step::Placed);
  const File_Identity own{true, written_info.st_dev, written_info.st_ino, written_info.st_ctim, written_info.st_mtim};
  // Another program's file renamed over it since is never taken for it:
  // it stays where it is, and the new file counts as written over.
  Held_Gallery_Note::File at_name;
  const bool through_link = replaced != claimed;
  if (through_link ? !(Identity_Of(claimed) == own) : !Held_Gallery_Note::Of_Name(claimed, at_name) || !(at_name == written_file)) {
    claimed_file = own;
    claim_taken = changed_while_saving = true;
    errno = 0;
    return false;
  }
  claimed_file = own;
  // Only the new file stands there now (kept noted beside the old when this
  // cannot be written: that one is gone).
  if (!through_link) Held_Gallery_Note::Note(claimed, {written_file});
  plan.wrote = true;
  plan.appended = false;
  plan.device = own.device;
  plan.inode = own.inode;
  plan.length = bytes.size();
  plan.end = offset;
  return true;
}

bool Drawing_Collection::Is_As_Shown(const Storage_Data& entry, const uint8_t* record, uint64_t length,
                                     bool unread_taken) {
  // Bytes never read while the file was the store's own: they are its own
  // only while the file still is as the store knows it, or, once that file
  // left the name, as the file it opened holds them.
  if (!Was_Read(entry)) return unread_taken;
  return length <= UINT32_MAX &&
         Record_Digest(record, uint32_t(length)) == entry.digest.load(std::memory_order_acquire);
}

std::unique_ptr<Mapped_File> Drawing_Collection::Reopen_Written(const std::string& name) {
  auto reopened = std::make_unique<Mapped_File>();
  if (!reopened->Open(name, GENERIC_READ | GENERIC_WRITE, OPEN_EXISTING)) return nullptr;
  reopened->Map(0, 0);
  return reopened->View() ? std::move(reopened) : nullptr;
}

void Drawing_Collection::Link_Saved(Save_Plan& plan) {
  for (const Save_Plan::Written& written : plan.written) {
    Storage_Data& entry = *written.entry;
    entry.length = written.length;
    entry.record = written.offset;
    entry.saved_row = written.row;
    entry.saved_column = written.column;
    entry.digest.store(written.digest, std::memory_order_release);
    entry.drawing.reset();
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
  // Forward, so that as at opening a later record for a cell wins it. The
  // cells are those the store last read or wrote, not read again: a record
  // another program cut away or changed keeps its cell, shown as it can be.
  for (auto& entry : entries) {
    entry->keep = entry->record != Storage_Data::No_Record;
    if (!entry->keep) continue;
    Presentation_Data* drawing = entry->presentation.get();
    drawing->place = Drawing_Place{Drawing_Place::Grid, entry->saved_row, entry->saved_column};
    if (!drawing->place.Is_Grid_Cell()) {
      drawing->place = Drawing_Place{};
      continue;
    }
    Presentation_Data*& cell = Cell(entry->saved_row, entry->saved_column);
    if (cell) cell->place = Drawing_Place{};
    cell = drawing;
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
  // The move gave the store's own file a new change time. The move is the
  // program's own: the file keeps counting as known (records not read yet
  // included), and the next save compares the bytes the store knows.
  const File_Identity moved = Identity_Of(path);
  if (!(moved == own_file) || !own_file.exists) return;
  struct stat info;
  if (stat(path.c_str(), &info) != 0 || uint64_t(info.st_size) != known_size) return;
  Pause_Preparer();
  own_file.changed = moved.changed;
  own_settled = false;
  Start_Pass();
}
