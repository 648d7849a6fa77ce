// The store: opening and reading the gallery file, the places (grid, bin
// list, slots) and the moves between them, pictures, and the parked slots.
// Saving and renaming are in drawing_collection_save.cpp.
#include "gallery/drawing_collection.h"
#include "gallery/file_reader.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <new>

#include "gallery/preparer_thread.h"
#include "model/shape_drawing.h"
#include "platform/system/file_system.h"
#include "platform/system/user_file.h"
#include "platform/window/message_box.h"
#include "toolkit/gui_sizes.h"
#include "users/gallery_file.h"
#include "users/held_gallery_note.h"
#include "users/user.h"
#include "users/user_data.h"

namespace {

using Presentation_Data = Drawing_Collection::Presentation_Data;
using Storage_Data = Drawing_Collection::Storage_Data;

// What every store of the process shares: the picture sizes, the display
// pictures of the user-interface thread, one parked entry per slot and the
// preparation thread (which owns the work pictures).
struct Collection_Statics {
  std::array<int32_t, Picture_Size_Count> sides{};
  Drawing_Collection::Picture_Set display;
  std::array<Storage_Data, Drawing_Place::Slot_Count> parked;
  std::unique_ptr<Drawing_Collection::Preparer_Thread> preparer;
};

Collection_Statics* statics = nullptr;

// The drawing square when there is no layout (tools and tests without one).
constexpr int32_t Default_Drawing_Side = 360;

void Make_Set(Drawing_Collection::Picture_Set& set, const std::array<int32_t, Picture_Size_Count>& sides) {
  for (int32_t size = 0; size < Picture_Size_Count; ++size)
    set.picture[size] = std::make_unique<Shape_Drawing>(TSize(sides[size], sides[size]), nullptr,
                                                        TColor(255, 255, 255));
}

Collection_Statics& Statics() {
  if (!statics) {
    statics = new Collection_Statics;
    const int32_t side = The_GUI_Sizes ? (*The_GUI_Sizes)[Drawing_Side_Size] : Default_Drawing_Side;
    statics->sides = {side, side / 3, side / 3 / 2, side / 3 / 4};
    Make_Set(statics->display, statics->sides);
    statics->preparer = std::make_unique<Drawing_Collection::Preparer_Thread>();
    Make_Set(statics->preparer->work, statics->sides);
    statics->preparer->Start();
    statics->preparer->SetPriority(-1);
  }
  return *statics;
}

// A program that never called Release_Statics still ends the thread before
// the process does (a running std::thread would end it harder). The pool may
// be gone by then; pictures then free their own bitmaps.
struct Collection_Statics_Cleaner {
  ~Collection_Statics_Cleaner() { Drawing_Collection::Release_Statics(); }
} cleaner;

// Decodes a packed picture into a display picture of its size, leaving the
// packed one as it was.
void Show_On(Shape_Drawing& packed, Shape_Drawing& display) {
  if (packed.Packed && display.Bitmap && packed.Rect == display.Rect) {
    packed.Unpack(true, display.Bitmap);
    packed.Pack(false, false);  // gives the borrowed bitmap back
    display.Set_Background(packed.Background);
    display.Blank = packed.Blank;
    display.Bitmap_Stale = false;
  } else {
    display.Clear();
  }
}

// Why an existing gallery file could not be opened; None when it can be
// opened for reading after all.
TFile_Fault Open_Fault(const std::string& path) {
  struct stat info;
  if (stat(path.c_str(), &info) != 0)
    return errno == ELOOP    ? TFile_Fault::Link_Loop
           : errno == ENOENT ? TFile_Fault::Broken_Link
           : errno == EACCES ? TFile_Fault::No_Permission
                             : TFile_Fault::Unreadable;
  if (!S_ISREG(info.st_mode)) return TFile_Fault::Not_Regular;
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return errno == EACCES || errno == EPERM ? TFile_Fault::No_Permission : TFile_Fault::Unreadable;
  // The store's own lock is exclusive: a shared one is refused only while
  // someone else holds the file.
  const bool held = flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
  close(fd);
  return held ? TFile_Fault::In_Use : TFile_Fault::None;
}

}  // namespace

// ---- The process-wide pictures and thread

void Drawing_Collection::Hold_Preparation(bool hold) { Statics().preparer->Hold(hold); }

int32_t Drawing_Collection::Picture_Side(Picture_Size size) { return Statics().sides[size_t(size) & 3]; }

Drawing_Collection::Preparer_Thread* Drawing_Collection::Preparer() {
  return statics ? statics->preparer.get() : nullptr;
}

void Drawing_Collection::Release_Statics() {
  if (!statics) return;
  // The thread first: it reduces on its work pictures until it ends.
  statics->preparer.reset();
  delete statics;
  statics = nullptr;
}

// ---- Opening

Drawing_Collection::Drawing_Collection(const User& user) : file(std::make_unique<Mapped_File>()) {
  Statics();
  entries.reserve(147);
  path = user.File_Path("gal");
  Open_File();
  Start_Pass();
}

Drawing_Collection::~Drawing_Collection() {
  Preparer_Thread* preparer = Preparer();
  if (preparer && preparer->Busy_With(this)) preparer->Pause();
}

Drawing_Collection::File_Identity Drawing_Collection::Identity_Of(const std::string& name) {
  struct stat info;
  if (name.empty() || stat(name.c_str(), &info) != 0) return File_Identity{};
  return File_Identity{true, info.st_dev, info.st_ino, info.st_ctim, info.st_mtim};
}

Drawing_Collection::File_Identity Drawing_Collection::Open_Identity() const {
  struct stat info;
  if (!file->Is_Open() || fstat(file->Descriptor(), &info) != 0) return File_Identity{};
  return File_Identity{true, info.st_dev, info.st_ino, info.st_ctim, info.st_mtim};
}

bool Drawing_Collection::Open_Content_Stands() const {
  // A file too short to hold a record leaves nothing unread.
  if (!file->Is_Open()) return true;
  struct stat info;
  return fstat(file->Descriptor(), &info) == 0 && uint64_t(info.st_size) == known_size &&
         info.st_mtim.tv_sec == own_file.modified.tv_sec && info.st_mtim.tv_nsec == own_file.modified.tv_nsec;
}

namespace {

bool Later(const timespec& a, const timespec& b) {
  return a.tv_sec > b.tv_sec || (a.tv_sec == b.tv_sec && a.tv_nsec > b.tv_nsec);
}

}  // namespace

// Until the clock has passed a change time, a change may keep it. A stamp
// ahead of the clock by less than a tick is finer than the clock: the file
// system took it because the stamp had been looked at, and it gives a
// change after any look a later one still. A stamp further ahead is a clock
// set back, or another machine's, and promises nothing.
bool Drawing_Collection::Stamp_Settled(const timespec& changed, const timespec& now, const timespec& tick) {
  if (Later(now, changed)) return true;
  timespec next = now;
  next.tv_sec += tick.tv_sec;
  next.tv_nsec += tick.tv_nsec;
  if (next.tv_nsec >= 1000000000) {
    ++next.tv_sec;
    next.tv_nsec -= 1000000000;
  }
  return Later(changed, now) && Later(next, changed);
}

bool Drawing_Collection::Clock_Past(const timespec& changed, dev_t device) const {
  timespec now{}, tick{};
  clock_gettime(CLOCK_REALTIME_COARSE, &now);
  clock_getres(CLOCK_REALTIME_COARSE, &tick);
  if (!Stamp_Settled(changed, now, tick)) return fine_stamps.load() && fine_stamps_device.load() == device;
  // A file system once seen stamping finer than the clock does so for every
  // change after a look: each stamp it gives is settled once looked at.
  if (Later(changed, now)) {
    fine_stamps_device.store(device);
    fine_stamps.store(true);
  }
  return true;
}

// One tick of the coarse clock at most (a few milliseconds), and only for a
// file changed within it. Bounded, for a clock set back.
void Drawing_Collection::Wait_For_Clock_Past(const timespec& changed, dev_t device) const {
  for (int nap = 0; nap < 100 && !Clock_Past(changed, device); ++nap) {
    const timespec millisecond{0, 1000000};
    nanosleep(&millisecond, nullptr);
  }
}

namespace {

bool Read_All(int descriptor, uint64_t offset, uint8_t* out, size_t n) {
  return Gallery_File::Read_At(descriptor, offset, out, n);
}

}  // namespace

void Drawing_Collection::Learn_File(const File_Identity& identity) {
  // A rewrite the store could not open again is its own by identity and
  // change time alone: the file it holds open is the one before.
  own_file = identity;
  // Taken before the bytes are read: a change while they are read gets a
  // later change time once the clock has passed this one.
  own_settled = own_file.exists && Clock_Past(own_file.changed, own_file.device);
  known_size = 0;
  gaps_digest = Gallery_File::Digest_Start;
  if (!own_file.exists || detached) return;
  const File_Reader reader(file->Descriptor(), path, own_file.device, own_file.inode);
  struct stat info;
  if (reader.Descriptor() < 0 || fstat(reader.Descriptor(), &info) != 0) {
    own_settled = false;
    return;
  }
  known_size = uint64_t(info.st_size);
  gaps_digest = Gaps_Digest(reader.Descriptor(), known_size);
}

uint64_t Drawing_Collection::Gaps_Digest(int descriptor, uint64_t size) const {
  std::vector<std::pair<uint64_t, uint64_t>> records;
  for (const auto& entry : entries)
    if (entry->record != Storage_Data::No_Record) records.push_back({entry->record, entry->record + entry->length});
  std::sort(records.begin(), records.end());
  uint64_t digest = Gallery_File::Digest_Start;
  std::vector<uint8_t> buffer(1 << 16);
  uint64_t at = 0;
  const auto add_up_to = [&](uint64_t end) {
    end = std::min(end, size);
    while (at < end) {
      const size_t n = size_t(std::min<uint64_t>(buffer.size(), end - at));
      // A byte that cannot be read counts as none: the size tells.
      if (!Read_All(descriptor, at, buffer.data(), n)) return false;
      digest = Gallery_File::Digest(buffer.data(), n, digest);
      at += n;
    }
    return true;
  };
  for (const auto& [start, end] : records) {
    if (!add_up_to(start)) return digest ^ 1;
    at = std::max(at, end);
  }
  return add_up_to(size) ? digest : digest ^ 1;
}

Drawing_Collection::File_Check Drawing_Collection::Check_Own_File() const {
  File_Check check;
  check.now = Identity_Of(path);
  check.settled = own_settled;
  // No file under the name: a new one writes over nobody's, and the save
  // writes every drawing it can still read.
  if (!check.now.exists) return check;
  // Another gallery (or any file) took the name: its drawings are not ours
  // to write over.
  if (!(check.now == own_file)) {
    check.refusal = "Another program has put a different file in its place";
    check.replaced = true;
    return check;
  }
  check.refusal = Permission_Refusal();
  if (!check.refusal.empty()) return check;
  // Cut short, as a copy over it begins, or for good: either way another
  // program's change, and told as one.
  if (Cut_Short_Now()) {
    check.refusal = Changed_Refusal;
    return check;
  }
  // A change time the store did not see, or one the clock had not passed
  // when it was taken, says to compare the bytes: a link, a mode changed and
  // back, or a move away and back change no byte. A file the store could
  // not keep mapped (a rewrite it could not open again) is trusted by its
  // change time alone.
  if (!check.now.Changed_Since(own_file) && own_settled) return check;
  check.settled = Clock_Past(check.now.changed, check.now.device);
  if (detached ? check.now.Changed_Since(own_file) : !Holds_Known_Bytes(check.now.Changed_Since(own_file)))
    check.refusal = Changed_Refusal;
  return check;
}

std::string Drawing_Collection::Permission_Refusal() const {
  if (must_stay || path.empty()) return std::string();
  struct stat info;
  if (stat(path.c_str(), &info) != 0 || !own_file.exists || info.st_dev != own_file.device ||
      info.st_ino != own_file.inode)
    return std::string();
  // An unchangeable file refuses even the administrator, and a change of
  // its mode too: it is told as such, read-only or not.
  if (Is_Unchangeable(path)) return No_Permission_Refusal;
  // As at opening: a mode that lets nobody write the file makes it
  // read-only, even for the administrator.
  if ((info.st_mode & 0222) == 0) return Read_Only_Refusal;
  if (faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0 && (errno == EPERM || errno == EACCES))
    return No_Permission_Refusal;
  return std::string();
}

bool Drawing_Collection::Holds_Known_Bytes(bool changed_since) const {
  const File_Reader reader(file->Descriptor(), path, own_file.device, own_file.inode);
  return Holds_Known_Bytes(reader.Descriptor(), changed_since ? Unread_Bytes::Changed : Unread_Bytes::Own);
}

bool Drawing_Collection::Holds_Known_Bytes(int descriptor, Unread_Bytes unread) const {
  struct stat info;
  if (descriptor < 0 || fstat(descriptor, &info) != 0 || uint64_t(info.st_size) != known_size) return false;
  std::vector<uint8_t> record, opened;
  for (const auto& entry : entries) {
    if (entry->record == Storage_Data::No_Record) continue;
    record.resize(entry->length);
    uint8_t* bytes = record.data();
    if (entry->length < Gallery_File::Smallest_Record ||
        !Read_All(descriptor, entry->record, bytes, entry->length) ||
        Gallery_File::Read_U32(bytes) != entry->length ||
        Gallery_File::Read_U32(bytes + 4) != uint32_t(entry->saved_row) ||
        Gallery_File::Read_U32(bytes + 8) != uint32_t(entry->saved_column) ||
        !Gallery_File::Headers_Fit(bytes, known_size - entry->record))
      return false;
    const uint64_t digest = entry->digest.load(std::memory_order_acquire);
    if (digest != Storage_Data::No_Digest) {
      if (Record_Digest(bytes, entry->length) != digest) return false;
      continue;
    }
    // Bytes the store never read while the file was its own may be anyone's.
    if (unread == Unread_Bytes::Changed) return false;
    if (unread == Unread_Bytes::As_Open) {
      opened.resize(entry->length);
      if (!Read_All(file->Descriptor(), entry->record, opened.data(), opened.size()) || opened != record)
        return false;
    }
  }
  return Gaps_Digest(descriptor, known_size) == gaps_digest;
}

bool Drawing_Collection::Is_Identical_Copy() const {
  const int descriptor = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (descriptor < 0) return false;
  struct stat info;
  // What the store never read is vouched for by the file it has open, as
  // long as nothing wrote to that file since (as far as its times tell).
  const Unread_Bytes unread = Open_Content_Stands() ? Unread_Bytes::As_Open : Unread_Bytes::Changed;
  const bool same = fstat(descriptor, &info) == 0 && S_ISREG(info.st_mode) && Holds_Known_Bytes(descriptor, unread);
  close(descriptor);
  return same;
}

bool Drawing_Collection::Take_Identical_Copy() {
  if (!own_file.exists || detached) return false;
  auto copy = std::make_unique<Mapped_File>();
  if (!copy->Open(path, GENERIC_READ | GENERIC_WRITE, OPEN_EXISTING)) return false;
  struct stat before, after;
  if (fstat(copy->Descriptor(), &before) != 0 || !S_ISREG(before.st_mode)) return false;
  const bool settled = Clock_Past(before.st_ctim, before.st_dev);
  const Unread_Bytes unread = Open_Content_Stands() ? Unread_Bytes::As_Open : Unread_Bytes::Changed;
  // Compared, then still the same file: a change meanwhile gave it another
  // change time.
  if (!Holds_Known_Bytes(copy->Descriptor(), unread) || fstat(copy->Descriptor(), &after) != 0 ||
      after.st_ctim.tv_sec != before.st_ctim.tv_sec || after.st_ctim.tv_nsec != before.st_ctim.tv_nsec)
    return false;
  if (copy->File_Size() >= 4) {
    copy->Map(0, 0);
    if (!copy->View()) return false;
  } else {
    copy->Close();
  }
  file = std::move(copy);
  own_file = File_Identity{true, after.st_dev, after.st_ino, after.st_ctim, after.st_mtim};
  own_settled = settled;
  return true;
}

void Drawing_Collection::Open_File() {
  must_stay = !The_User_Data.writable;
  stay_reason = must_stay ? "The folder of your files is read-only" : "";
  held_at.clear();
  held_from_start = held_locked = false;
  Put_Back_Stopped_Save();
  // Her gallery, under its name or where a stopped save held it.
  const std::string name = Opened_Name();
  own_file = Identity_Of(name);
  own_settled = false;
  known_size = 0;
  if (path.empty()) return;
  // A file whose mode lets nobody write it is taken as read-only even by
  // the administrator, whom the system would let write it.
  struct stat info;
  const bool write_protected = stat(name.c_str(), &info) == 0 && (info.st_mode & 0222) == 0;
  const bool writable = !must_stay && !write_protected;
  if (!file->Open(name, writable ? GENERIC_READ | GENERIC_WRITE : GENERIC_READ, OPEN_EXISTING)) {
    if (lstat(name.c_str(), &info) != 0) return;  // no gallery yet
    // There, but not ours to open as asked: shown when it can at least be
    // read, and never replaced by what this store holds.
    const TFile_Fault fault = Open_Fault(name);
    if (writable && fault == TFile_Fault::None && file->Open(name, GENERIC_READ, OPEN_EXISTING)) {
      Keep_Read_Only("You have no permission to change the file");
    } else if (fault == TFile_Fault::In_Use && file->Open_Unlocked(name)) {
      Keep_Read_Only(File_Fault_Reason(fault));
    } else {
      must_stay = true;
      stay_reason = File_Fault_Reason(fault);
      MessageBox(HWND(), Unreadable_File_Message(name, fault, "the gallery opens empty and the file is left as it is"),
                 "WARNING", MB_OK | MB_ICONSTOP);
      return;
    }
  } else if (write_protected && !must_stay) {
    Keep_Read_Only("The file is read-only");
  }
  // The file opened, whatever the name led to a moment before: what the
  // records read now are checked against.
  own_file = Open_Identity();
  known_size = file->File_Size();
  // A file changed within the clock's last tick (just saved) could change
  // again in that tick and keep its change time; bytes read later would then
  // pass for the store's own. The opening waits that tick out.
  Wait_For_Clock_Past(own_file.changed, own_file.device);
  if (file->File_Size() < 4) {
    // Learnt while open: once closed, the name may lead to another file.
    Learn_File(Open_Identity());
    file->Close();
    return;
  }
  file->Map(0, 0);
  if (!file->View()) {
    file->Close();
    must_stay = true;
    stay_reason = File_Fault_Reason(TFile_Fault::Unreadable);
    MessageBox(HWND(),
               Unreadable_File_Message(name, TFile_Fault::Unreadable,
                                       "the gallery opens empty and the file is left as it is"),
               "WARNING", MB_OK | MB_ICONSTOP);
    return;
  }
  Read_Records();
  Learn_File(Open_Identity());
}

// A save stopped while it had the file claimed left it beside its name: it
// goes back unless another file has taken the name since, or it cannot be
// moved. Then her gallery is shown from where it is, and goes back at the
// first save that finds the name free. Only the file the save noted there is
// taken for hers, whatever others look like: anything else stays as it is.
void Drawing_Collection::Put_Back_Stopped_Save() {
  if (path.empty() || must_stay) return;
  const std::string aside = Claim_Name(path);
  const Held_Gallery_Note::Standing standing = Held_Gallery_Note::Of_Held(aside);
  if (standing == Held_Gallery_Note::Standing::Unnoted || standing == Held_Gallery_Note::Standing::Other) {
    Tell_Not_Held(aside, standing == Held_Gallery_Note::Standing::Unnoted && Gallery_File::Holds_Drawings(aside));
    return;
  }
  struct stat info;
  const bool name_taken = lstat(path.c_str(), &info) == 0;
  if (standing == Held_Gallery_Note::Standing::Nothing || (!name_taken && Move_File(aside, path))) {
    // The gallery is whole under its name: what a save stopped while it
    // wrote beside the held file (up to the gallery's size) goes, and so
    // does the note of it.
    if (standing != Held_Gallery_Note::Standing::Nothing) Sync_Directory(Folder_Of(path));
    Held_Gallery_Note::Forget(aside);
    Remove_Interrupted_Saves_Of(aside);
    return;
  }
  held_at = aside;
  held_from_start = true;
  // Nothing was written: what could not be done is the move back. One box
  // says all that stands in the way of her saves, a held file she cannot
  // change too, and each step works while the program runs.
  if (name_taken) {
    const bool unchangeable = Is_Unchangeable(aside);
    held_locked = unchangeable || (stat(aside.c_str(), &info) == 0 && (info.st_mode & 0222) == 0);
    const std::string locked = unchangeable ? ", which the administrator has made unchangeable"
                               : held_locked ? ", which is read-only"
                                             : "";
    const std::string unlock = held_locked ? Unlock_Held_Advice() : "";
    MessageBox(HWND(),
               "Unable to move file " + aside + Hidden_Note + "\nAnother file is under the name " + path +
                   ", and a save that was stopped kept your gallery as " + aside + locked +
                   ": the gallery shows your gallery from there, and the other file is left as it is.\nTo save "
                   "your gallery under its name, " + unlock + Move_Out_Advice(path, "the file " + path) +
                   " and save the gallery again.",
               "WARNING", MB_OK | MB_ICONSTOP);
    return;
  }
  // It cannot move: it is shown where it is, and stays as it is.
  const bool unchangeable = Is_Unchangeable(aside);
  must_stay = true;
  stay_reason = Held_Stuck_Reason();
  MessageBox(HWND(),
             "Unable to move file " + aside + Hidden_Note + "\n" + stay_reason +
                 ": the gallery shows your drawings from there, but changes to the gallery cannot be saved.\n" +
                 (unchangeable ? "To save them, have the administrator make the file " + aside +
                                     " changeable again, and start the program again."
                               : std::string("To save them, start the program again.")),
             "WARNING", MB_OK | MB_ICONSTOP);
}

// Told at every start until it is moved: nothing there is written, moved or
// shown. A gallery no save of this folder noted (the folder was copied, or
// the note lost) may be a newer one of hers, and only she can tell. Nothing
// was written at the opening: what it could not do is use that file.
void Drawing_Collection::Tell_Not_Held(const std::string& aside, bool may_be_hers) {
  const std::string it = "Unable to use file " + aside + Hidden_Note + "\nIt";
  if (may_be_hers) {
    MessageBox(HWND(),
               it + " holds a gallery that this program did not note there (the folder may have been copied): it may "
                   "hold a newer gallery of yours, and it is left as it is, in the way of the gallery's saves.\nTo "
                   "use it as your gallery, close the program, move the file " + path + " out of the folder if "
                   "there is one, rename that file to " + path + " and start the program again. Otherwise " +
                   Move_Out_Advice(aside, "that file") + " and save the gallery again.",
               "WARNING", MB_OK | MB_ICONSTOP);
    return;
  }
  MessageBox(HWND(),
             it + " is another program's file, not one this program kept there, and it is in the way of the gallery's "
                 "saves: it is left as it is.\nTo save the gallery, " + Move_Out_Advice(aside, "that file") +
                 " and save the gallery again.",
             "WARNING", MB_OK | MB_ICONSTOP);
}

void Drawing_Collection::Keep_Read_Only(const std::string& reason) {
  must_stay = true;
  stay_reason = reason;
  // Told already, with what to do, in the box of her held gallery.
  if (held_locked) return;
  MessageBox(HWND(),
             "Unable to write file " + Opened_Name() + "\n" + reason +
                 ": your drawings are shown, but changes to the gallery cannot be saved.",
             "WARNING", MB_OK | MB_ICONSTOP);
}

void Drawing_Collection::Read_Records() {
  // The headers are read from the file rather than through the view, so
  // that opening touches no page of the mapping: its cost stays that of the
  // headers however large the pictures between them.
  const int descriptor = file->Descriptor();
  const Gallery_File::Contents contents = Gallery_File::Scan(
      [descriptor](uint64_t offset, uint8_t* out, size_t n) {
        return pread(descriptor, out, n, off_t(offset)) == ssize_t(n);
      },
      file->View_Size());
  for (const Gallery_File::Record& record : contents.records) {
    Storage_Data& entry = Append_Entry(nullptr, Drawing_Place{Drawing_Place::Grid, record.row, record.column});
    entry.record = record.offset;
    entry.length = record.length;
    entry.saved_row = record.row;
    entry.saved_column = record.column;
    Presentation_Data*& cell = Cell(record.row, record.column);
    // A later record for the same cell takes it; the earlier one is in no
    // place and goes at the next save.
    if (cell) cell->place = Drawing_Place{};
    cell = entry.presentation.get();
    Bounding_Box& box = bounding_box;
    if (box.left < 0 || record.column < box.left) box.left = record.column;
    if (box.top < 0 || record.row < box.top) box.top = record.row;
    if (record.column > box.right) box.right = record.column;
    if (record.row > box.bottom) box.bottom = record.row;
  }
  // A record that lost its cell to a later one is never prepared: its
  // bytes are learnt now, as the others' are when they are prepared.
  for (const auto& entry : entries)
    if (!entry->presentation->place.Is_Grid_Cell()) Learn_Record_Digest(*entry);
  end_offset = contents.end_offset;
  entry_count = entries.size();
  if (!contents.whole) {
    damaged = true;
    Report_Damage(contents.records.size());
  }
}

void Drawing_Collection::Report_Damage(size_t read_whole) {
  const std::string shown = read_whole == 1 ? "the 1 drawing read whole is shown"
                                            : "the " + std::to_string(read_whole) + " drawings read whole are shown";
  std::string outcome;
  if (kept_aside.empty() && !must_stay) kept_aside = Gallery_File::Keep_Copy_Aside(Opened_Name());
  const std::string aside = kept_aside;
  if (aside.empty()) {
    if (!must_stay) stay_reason = "The file is damaged and no copy of it could be kept";
    must_stay = true;
    outcome = shown + ", and the file is left as it is and will not be changed.";
  } else {
    outcome = shown + ", and a copy of the file is kept as " + aside + ".";
  }
  MessageBox(HWND(), "Unable to read file " + Opened_Name() + "\nThe file is damaged: " + outcome, "WARNING",
             MB_OK | MB_ICONSTOP);
}

// ---- Entries

Storage_Data& Drawing_Collection::Append_Entry(std::unique_ptr<Shape_Drawing> drawing, const Drawing_Place& place) {
  auto entry = std::make_unique<Storage_Data>();
  entry->drawing = std::move(drawing);
  entry->presentation = std::make_unique<Presentation_Data>();
  entry->presentation->place = place;
  entry->presentation->storage = entry.get();
  entries.push_back(std::move(entry));
  return *entries.back();
}

void Drawing_Collection::Remove_Entry(Storage_Data* entry) {
  for (auto at = entries.begin(); at != entries.end(); ++at)
    if (at->get() == entry) {
      entries.erase(at);
      return;
    }
}

std::vector<Presentation_Data*> Drawing_Collection::Grid_Drawings() const {
  std::vector<Presentation_Data*> drawings;
  for (Presentation_Data* cell : grid)
    if (cell) drawings.push_back(cell);
  return drawings;
}

void Drawing_Collection::Start_Pass() {
  std::vector<Presentation_Data*> drawings = Grid_Drawings();
  bool any_new = false;
  for (Presentation_Data* drawing : drawings) any_new = any_new || !drawing->Is_Ready();
  if (any_new) Statics().preparer->Start_Pass(this, std::move(drawings));
}

void Drawing_Collection::Pause_Preparer() {
  Preparer_Thread& preparer = *Statics().preparer;
  if (preparer.Busy_With(this)) preparer.Pause();
}

// ---- Add and the places

bool Drawing_Collection::Add(std::unique_ptr<Shape_Drawing>& drawing, int32_t kind, int32_t a, int32_t b) {
  if (!drawing) return false;
  Drawing_Place place{kind, a, b};
  if (kind == Drawing_Place::Grid) {
    if (!place.Is_Grid_Cell() || Cell(a, b)) return false;
  } else if (kind == Drawing_Place::Bin) {
    place = Drawing_Place{Drawing_Place::Bin, a == 0 ? 0 : -1, 0};
  } else if (kind == Drawing_Place::Slot) {
    if (!place.Is_Slot()) return false;
    place.b = 0;
  } else {
    return false;
  }
  drawing->Pack(false, true);
  Storage_Data& entry = Append_Entry(std::move(drawing), place);
  Presentation_Data* presentation = entry.presentation.get();
  if (kind == Drawing_Place::Grid) {
    Cell(a, b) = presentation;
  } else if (kind == Drawing_Place::Bin) {
    Put_In_Bin(presentation, a == 0);
  } else if (!slots[size_t(a)]) {
    slots[size_t(a)] = presentation;
  } else {
    presentation->place = Drawing_Place{};  // the slot keeps what it holds
  }
  Prepare(*presentation, Statics().display);
  return true;
}

void Drawing_Collection::Forget_Place(const Drawing_Place& place) {
  if (place.kind == Drawing_Place::Grid && place.Is_Grid_Cell()) {
    Cell(place.a, place.b) = nullptr;
  } else if (place.kind == Drawing_Place::Bin && !bin.empty()) {
    if (place.a != 0)
      bin.pop_back();
    else
      bin.pop_front();
    Forget_Cursor();
  } else if (place.Is_Slot()) {
    slots[size_t(place.a)] = nullptr;
  }
}

void Drawing_Collection::Forget_Cursor() { cursor_position = -1; }

void Drawing_Collection::Put_In_Bin(Presentation_Data* drawing, bool front) {
  if (front)
    bin.push_front(drawing);
  else
    bin.push_back(drawing);
  Forget_Cursor();
}

void Drawing_Collection::Put_In_Slot(int32_t slot, Presentation_Data* drawing) {
  Presentation_Data*& held = slots[size_t(slot)];
  if (held && held != drawing && held->place.kind != Drawing_Place::Grid) held->place = Drawing_Place{};
  held = drawing;
}

std::list<Presentation_Data*>::iterator Drawing_Collection::Bin_Node(int32_t position) {
  if (position < 0 || bin.empty()) return bin.end();
  if (position == 0) return bin.begin();
  if (cursor_position >= 0) {
    if (position == cursor_position) return cursor_node;
    if (position == cursor_position + 1 || position == cursor_position - 1) {
      auto node = position > cursor_position ? std::next(cursor_node) : std::prev(cursor_node);
      if (node == bin.end()) return node;
      cursor_position = position;
      cursor_node = node;
      return node;
    }
  }
  auto node = bin.begin();
  for (int32_t step = 0; step < position && node != bin.end(); ++step) ++node;
  if (node == bin.end()) return node;
  cursor_position = position;
  cursor_node = node;
  return node;
}

Presentation_Data* Drawing_Collection::Take_From_Bin(int32_t position) {
  if (bin.empty()) return nullptr;
  auto node = position == -1 ? std::prev(bin.end()) : Bin_Node(position);
  if (node == bin.end()) return nullptr;
  Presentation_Data* drawing = *node;
  bin.erase(node);
  Forget_Cursor();
  return drawing;
}

Presentation_Data* Drawing_Collection::Find(const Drawing_Place& place) {
  switch (place.kind) {
    case Drawing_Place::Grid:
      return place.Is_Grid_Cell() ? Cell(place.a, place.b) : nullptr;
    case Drawing_Place::Slot:
      return place.Is_Slot() ? slots[size_t(place.a)] : nullptr;
    case Drawing_Place::Bin: {
      if (bin.empty()) return nullptr;
      if (place.a == -1) return bin.back();
      auto node = Bin_Node(place.a);
      return node == bin.end() ? nullptr : *node;
    }
    default:
      return nullptr;
  }
}

int32_t Drawing_Collection::State(const Drawing_Place& place) {
  Presentation_Data* drawing = Find(place);
  return drawing ? drawing->state.load(std::memory_order_acquire) : 0;
}

Drawing_Place Drawing_Collection::Place_Of(const Drawing_Place& place) {
  Presentation_Data* drawing = Find(place);
  return drawing ? drawing->place : Drawing_Place{};
}

// ---- Move
//
//  from  to    effect                                                   changed
//  grid  grid  the two cells exchange contents; places follow            yes
//  grid  bin   to the front; place {2,0,0}; the cell empties             yes
//  grid  slot  shared: the slot points at it, the place stays the cell   no
//  bin   grid  taken out; an occupied cell puts it back (false); else    yes
//              its old grid cell (if any) empties and it takes the cell
//  bin   bin   taken out and put back at the front (a 0) or the back     no
//  bin   slot  into the slot; a grid place stays, else the slot          no
//  slot  grid  refused on an occupied cell; a drawing placed in the      yes
//              grid goes as a copy; the slot keeps its drawing
//  slot  bin   to the front; place {2,0,0} unless grid; the slot empties no
//  slot  slot  the target slot points at it as well                      no

bool Drawing_Collection::Move(const Drawing_Place& to, const Drawing_Place& from) {
  if (to == from) return true;
  const bool to_grid = to.kind == Drawing_Place::Grid, to_bin = to.kind == Drawing_Place::Bin;
  const bool to_slot = to.kind == Drawing_Place::Slot;
  if ((to_grid && !to.Is_Grid_Cell()) || (to_slot && !to.Is_Slot()) || !(to_grid || to_bin || to_slot))
    return false;
  if (from.kind == Drawing_Place::Bin) {
    Presentation_Data* drawing = Take_From_Bin(from.a);
    if (!drawing) return false;
    if (to_grid) {
      if (Cell(to.a, to.b)) {
        Put_In_Bin(drawing, from.a == 0);
        return false;
      }
      if (drawing->place.Is_Grid_Cell() && Cell(drawing->place.a, drawing->place.b) == drawing)
        Cell(drawing->place.a, drawing->place.b) = nullptr;
      Cell(to.a, to.b) = drawing;
      drawing->place = to;
      changed = true;
    } else if (to_bin) {
      Put_In_Bin(drawing, to.a == 0);
      if (drawing->place.kind != Drawing_Place::Grid)
        drawing->place = Drawing_Place{Drawing_Place::Bin, to.a == 0 ? 0 : -1, 0};
    } else {
      Put_In_Slot(to.a, drawing);
      if (drawing->place.kind != Drawing_Place::Grid) drawing->place = Drawing_Place{Drawing_Place::Slot, to.a, 0};
    }
    return true;
  }
  Presentation_Data* drawing = Find(from);
  if (!drawing) return false;
  if (from.kind == Drawing_Place::Grid) {
    if (to_grid) {
      Presentation_Data*& target = Cell(to.a, to.b);
      Cell(from.a, from.b) = target;
      if (target) target->place = Drawing_Place{Drawing_Place::Grid, from.a, from.b};
      target = drawing;
      drawing->place = Drawing_Place{Drawing_Place::Grid, to.a, to.b};
      changed = true;
    } else if (to_bin) {
      Cell(from.a, from.b) = nullptr;
      drawing->place = Drawing_Place{Drawing_Place::Bin, 0, 0};
      Put_In_Bin(drawing, true);
      changed = true;
    } else {
      Put_In_Slot(to.a, drawing);
    }
    return true;
  }
  // From a slot.
  if (to_grid) {
    Presentation_Data*& target = Cell(to.a, to.b);
    if (target) return false;
    Presentation_Data* placed = drawing->place.kind == Drawing_Place::Grid ? Copy_For_Grid(*drawing) : drawing;
    Cell(to.a, to.b) = placed;
    placed->place = Drawing_Place{Drawing_Place::Grid, to.a, to.b};
    changed = true;
  } else if (to_bin) {
    if (drawing->place.kind != Drawing_Place::Grid) drawing->place = Drawing_Place{Drawing_Place::Bin, 0, 0};
    slots[size_t(from.a)] = nullptr;
    Put_In_Bin(drawing, true);
  } else {
    Put_In_Slot(to.a, drawing);
  }
  return true;
}

// ---- Pictures

Shape_Drawing* Drawing_Collection::Picture(const Drawing_Place& place, Picture_Size size, uint32_t wait,
                                           HWND window) {
  Presentation_Data* drawing = Find(place);
  if (!drawing || size < Full_Picture_Size || size > Twelfth_Picture_Size) return nullptr;
  Picture_Set& display = Statics().display;
  if (size == Full_Picture_Size) {
    Shape_Drawing* full = Full_Picture(*drawing, *display.picture[0], true);
    if (cut_short.load() && Still_Cut_Short()) Tell_Cut_Short(HWND());
    return full;
  }
  if (!drawing->Is_Ready()) {
    if (wait == 0 && !window) return nullptr;
    picture_ready.Reset();
    if (!Statics().preparer->Request(this, drawing, window))
      Prepare(*drawing, display);  // no pass would answer: made here
    else if (wait != 0)
      picture_ready.Wait(wait);
    if (!drawing->Is_Ready()) return nullptr;
  }
  Show_On(*drawing->pictures[size_t(size)], *display.picture[size_t(size)]);
  if (cut_short.load() && Still_Cut_Short()) Tell_Cut_Short(HWND());
  return display.picture[size_t(size)].get();
}

// Another program may cut the file short while it is mapped, or cut it and
// write it again (a copy over it), at any moment; a page beyond its end
// faults when touched. Every read is checked against the file's length now,
// and the record is copied out through the view's guarded read, so that a
// record whose bytes went away even after the check reads as cut short.
const uint8_t* Drawing_Collection::Record_Bytes(const Storage_Data& entry, uint64_t& size,
                                                std::vector<uint8_t>& copy) const {
  size = 0;
  if (entry.record == Storage_Data::No_Record || !file->View()) return nullptr;
  const uint64_t available = std::min(file->View_Size(), file->File_Size());
  uint8_t field[4];
  if (entry.record > available || available - entry.record < Gallery_File::Smallest_Record ||
      !file->Read(entry.record, field, sizeof field)) {
    cut_short.store(true);
    return nullptr;
  }
  const uint32_t length = Gallery_File::Read_U32(field);
  if (length < Gallery_File::Smallest_Record || length > available - entry.record) {
    if (length <= file->View_Size() - entry.record) cut_short.store(true);
    return nullptr;
  }
  try {
    copy.resize(length);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
  if (!file->Read(entry.record, copy.data(), length)) {
    cut_short.store(true);
    return nullptr;
  }
  size = length;
  return copy.data();
}

bool Drawing_Collection::Cut_Short_Now() const {
  if (!file->View() || end_offset == 0) return false;
  // The end marker's length field is the last byte every reader needs; a
  // damaged file may have ended before it when it was mapped.
  return file->File_Size() < std::min(file->View_Size(), end_offset + 4);
}

bool Drawing_Collection::Still_Cut_Short() {
  if (Cut_Short_Now()) return true;
  cut_short.store(false);
  told_cut_short = false;
  return false;
}

uint64_t Drawing_Collection::Record_Digest(const uint8_t* record, uint32_t length) {
  const uint64_t digest = Gallery_File::Digest(record, length);
  return digest == Storage_Data::No_Digest ? 1 : digest;
}

bool Drawing_Collection::Read_Record(const Storage_Data& entry, std::vector<uint8_t>& out) const {
  const int descriptor = file->Descriptor();
  struct stat info;
  uint8_t head[4];
  if (entry.record == Storage_Data::No_Record || fstat(descriptor, &info) != 0 ||
      !Read_All(descriptor, entry.record, head, sizeof head))
    return false;
  // The length as the file says it now, as the drawing is shown: it must
  // lie within the file before anything is made of it.
  const uint32_t length = Gallery_File::Read_U32(head);
  if (length < Gallery_File::Smallest_Record || uint64_t(info.st_size) < entry.record ||
      uint64_t(info.st_size) - entry.record < length)
    return false;
  const size_t start = out.size();
  out.resize(start + length);
  if (Read_All(descriptor, entry.record, out.data() + start, length) &&
      Gallery_File::Headers_Fit(out.data() + start, uint64_t(length) + 1))
    return true;
  out.resize(start);
  return false;
}

// The bytes are the store's own only when the file was as the store knows
// it both before and after they were read: anything another program wrote
// in between, or since the opening, gives the file another change time (or
// size). Bytes read then stay unknown, and a save counts them as changed.
void Drawing_Collection::Learn_Record_Digest(Storage_Data& entry) const {
  if (entry.record == Storage_Data::No_Record ||
      entry.digest.load(std::memory_order_acquire) != Storage_Data::No_Digest)
    return;
  const int descriptor = file->Descriptor();
  std::vector<uint8_t> bytes(entry.length);
  if (!Unchanged_Since_Known(descriptor) || !Read_All(descriptor, entry.record, bytes.data(), bytes.size()) ||
      !Unchanged_Since_Known(descriptor))
    return;
  entry.digest.store(Record_Digest(bytes.data(), entry.length), std::memory_order_release);
}

bool Drawing_Collection::Unchanged_Since_Known(int descriptor) const {
  struct stat info;
  return descriptor >= 0 && own_file.exists && !detached && fstat(descriptor, &info) == 0 &&
         info.st_dev == own_file.device && info.st_ino == own_file.inode && uint64_t(info.st_size) == known_size &&
         !File_Identity{true, info.st_dev, info.st_ino, info.st_ctim}.Changed_Since(own_file);
}

void Drawing_Collection::Tell_Cut_Short(HWND window) {
  if (told_cut_short) return;
  told_cut_short = true;
  MessageBox(window,
             "Unable to read file " + path +
                 "\nAnother program has changed the file: the drawings it no longer holds are shown empty, and "
                 "your changes are not saved over that file.\nTo save your gallery, move that file out of the folder "
                 "and save the gallery again.",
             "WARNING", MB_OK | MB_ICONSTOP);
}

Shape_Drawing* Drawing_Collection::Full_Picture(Presentation_Data& presentation, Shape_Drawing& target, bool unpack) {
  Storage_Data& entry = *presentation.storage;
  if (entry.drawing) {
    Shape_Drawing& drawing = *entry.drawing;
    if (!unpack) return &drawing;
    if (drawing.Rect == target.Rect && drawing.Packed) {
      Show_On(drawing, target);
    } else {
      Shape_Drawing copy(drawing, true);
      target.Copy_Scaled(copy);
      target.Set_Background(copy.Background);
    }
    return &target;
  }
  uint64_t length = 0;
  std::vector<uint8_t> bytes;
  const uint8_t* record = Record_Bytes(entry, length, bytes);
  if (!record) {
    target.Clear();
    return &target;
  }
  const uint8_t* picture = record + Gallery_File::Header_Size;
  const size_t available = size_t(length - Gallery_File::Header_Size);
  const uint32_t width = Gallery_File::Read_U32(picture), height = Gallery_File::Read_U32(picture + 4);
  if (width == uint32_t(target.Width()) && height == uint32_t(target.Height())) {
    if (!target.Read(picture, available, unpack)) target.Clear();
    return &target;
  }
  // Saved on a screen with another drawing square: fitted to this one.
  Shape_Drawing saved(picture, available, true);
  if (saved.Blank && !saved.Bitmap) {
    target.Clear();
    return &target;
  }
  target.Copy_Scaled(saved);
  target.Set_Background(saved.Background);
  if (!unpack) target.Pack(true, true);
  return &target;
}

void Drawing_Collection::Prepare(Presentation_Data& presentation, Picture_Set& set) {
  presentation.state.store(Presentation_Data::Being_Prepared, std::memory_order_relaxed);
  // The record is read whole here anyway: from now on the store knows its
  // bytes, and a change of them is another program's.
  if (presentation.storage) Learn_Record_Digest(*presentation.storage);
  Shape_Drawing& full = *Full_Picture(presentation, *set.picture[0], true);
  std::array<std::unique_ptr<Shape_Drawing>, Picture_Size_Count> made;
  Shape_Drawing* source = &full;
  for (int32_t size = 1; size < Picture_Size_Count; ++size) {
    Shape_Drawing& scratch = *set.picture[size_t(size)];
    made[size_t(size)] = std::make_unique<Shape_Drawing>(TSize(scratch.Width(), scratch.Height()), scratch.Bitmap,
                                                         full.Background);
    made[size_t(size)]->Shrink_From(*source, size == 1 ? 3 : 2);
    source = made[size_t(size)].get();
  }
  // Packed raw, each picture holds its pixels itself and the shared bitmaps
  // are free for the next drawing.
  for (int32_t size = 1; size < Picture_Size_Count; ++size) made[size_t(size)]->Pack(false, false);
  presentation.pictures = std::move(made);
  presentation.state.store(Presentation_Data::Ready, std::memory_order_release);
}

// ---- Copies and parked slots

std::unique_ptr<Presentation_Data> Drawing_Collection::Copy_Presentation(Presentation_Data& source) {
  auto copy = std::make_unique<Presentation_Data>();
  if (source.Is_Ready()) {
    for (int32_t size = 1; size < Picture_Size_Count; ++size)
      if (source.pictures[size_t(size)])
        copy->pictures[size_t(size)] = std::make_unique<Shape_Drawing>(*source.pictures[size_t(size)], false);
    copy->state.store(Presentation_Data::Ready, std::memory_order_relaxed);
  }
  return copy;
}

namespace {

// A new unsaved drawing with the pixels of a full picture.
std::unique_ptr<Shape_Drawing> Unsaved_Copy(Shape_Drawing& full) {
  auto copy = std::make_unique<Shape_Drawing>(full, true);
  copy->Pack(false, true);
  return copy;
}

}  // namespace

Presentation_Data* Drawing_Collection::Copy_For_Grid(Presentation_Data& source) {
  Shape_Drawing& full = *Full_Picture(source, *Statics().display.picture[0], true);
  std::unique_ptr<Presentation_Data> presentation = Copy_Presentation(source);
  Storage_Data& entry = Append_Entry(Unsaved_Copy(full), Drawing_Place{});
  entry.presentation = std::move(presentation);
  entry.presentation->storage = &entry;
  // A copy of a drawing still waiting for the thread is made ready here: it
  // is on no list of the thread's.
  if (!entry.presentation->Is_Ready()) Prepare(*entry.presentation, Statics().display);
  return entry.presentation.get();
}

void Drawing_Collection::Park_Slot(const Drawing_Place& place) {
  if (!place.Is_Slot()) return;
  Storage_Data& parked = Statics().parked[size_t(place.a)];
  parked.drawing.reset();
  parked.presentation.reset();
  parked.record = Storage_Data::No_Record;
  Presentation_Data* drawing = slots[size_t(place.a)];
  if (!drawing) return;
  Shape_Drawing& full = *Full_Picture(*drawing, *Statics().display.picture[0], true);
  parked.drawing = Unsaved_Copy(full);
  parked.presentation = Copy_Presentation(*drawing);
  parked.presentation->storage = &parked;
  if (!parked.presentation->Is_Ready()) Prepare(*parked.presentation, Statics().display);
}

void Drawing_Collection::Restore_Slot(const Drawing_Place& place) {
  if (!place.Is_Slot()) return;
  Storage_Data& parked = Statics().parked[size_t(place.a)];
  if (parked.presentation) {
    auto entry = std::make_unique<Storage_Data>();
    entry->drawing = std::move(parked.drawing);
    entry->presentation = std::move(parked.presentation);
    entry->presentation->storage = entry.get();
    entry->presentation->place = Drawing_Place{Drawing_Place::Slot, place.a, 0};
    Put_In_Slot(place.a, entry->presentation.get());
    entries.push_back(std::move(entry));
  }
  parked.drawing.reset();
  parked.presentation.reset();
  parked.record = Storage_Data::No_Record;
}

void Drawing_Collection::Empty_Bin_And_Slots() {
  bin.clear();
  Forget_Cursor();
  slots.fill(nullptr);
}
