// Drawing_Collection: the store behind the gallery. It holds the drawings one
// user keeps, each in a cell of a 12 by 12 grid, plus the recycling-bin list
// and the five fixed slots through which drawings pass to and from the main
// window, the clipboard and the printer.
//
// The grid's drawings live in the user's gallery file ("gal"), mapped into
// memory whole and read in place: opening reads only the 12-byte record
// headers and the picture headers behind them. Drawings that arrive while
// the gallery is open stay in memory until Save writes them. Every drawing
// carries three reduced pictures for the smaller views; those of drawings
// read from the file are made in the background by the one preparation
// thread (preparer_thread.h), those of drawings added while the store is
// open at once.
//
// The gallery file: records back to back from offset 0, each a u32 length
// (these 12 header bytes included), u32 row, u32 column and a picture
// record; after the last one a u32 0 and 8 bytes of no meaning. Little-endian.
//
// Saving never loses a drawing, whenever the program is stopped: new
// drawings are appended behind the end marker and linked in by one 4-byte
// store as the last step; any save that drops records or moves drawings
// between cells writes the whole new file beside the old one and renames it
// over. A file that could not be read whole is copied aside before anything
// replaces it; one that exists but cannot be opened is never written, and
// neither is one another program put under the name (unless it holds the
// very bytes the store opened), or wrote in place, while the store was
// open: the store's own bytes are those it read while the file was as it
// opened it (or last wrote it), and every other byte is compared before a
// save. A file that only lost its name costs no drawing: the save writes a
// new file with every drawing the file it opened still holds. A save holds
// the file under a name of its own while it writes, where nothing another
// program put is written over or taken for the gallery, and says it saved
// only when the file under the name reads back as it wrote it. A save that
// cannot write keeps the changes and says why, each time, and what the
// person can do.
//
// Used by the user-interface thread only; the preparation thread reads
// records and writes the state and reduced pictures of the drawing it works
// on. Save, Revert and destruction pause it first.
#pragma once

#include <sys/types.h>

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <string>
#include <vector>

#include "gallery/drawing_place.h"
#include "model/shape_drawing.h"
#include "platform/system/event_semaphore.h"
#include "platform/window/messages.h"
#include "toolkit/mapped_file.h"
#include "toolkit/program_messages.h"  // Picture_Ready_Message: wParam row, lParam column

class User;

// The four sizes a drawing is shown at: the drawing square S, S/3, (S/3)/2
// and (S/3)/4, each division dropping the remainder.
enum Picture_Size : int32_t {
  Full_Picture_Size = 0,
  Third_Picture_Size = 1,
  Sixth_Picture_Size = 2,
  Twelfth_Picture_Size = 3,
};
inline constexpr int32_t Picture_Size_Count = 4;

class Drawing_Collection {
 public:
  class Preparer_Thread;
  struct Storage_Data;

  // One per drawing; the grid cells, the bin list and the slots point at it.
  // A drawing may stand in a grid cell and a slot (or the bin list) at once;
  // its place then names the grid cell.
  struct Presentation_Data {
    static constexpr int32_t New = 1;
    static constexpr int32_t Being_Prepared = 2;
    static constexpr int32_t Ready = 3;

    // Written by whoever prepares the drawing, last (release) once the
    // pictures are in; read (acquire) before the pictures are.
    std::atomic<int32_t> state{New};
    Drawing_Place place;
    Storage_Data* storage = nullptr;
    // Indexed by Picture_Size; 0 stays empty, 1 to 3 hold the packed reduced
    // pictures.
    std::array<std::unique_ptr<Shape_Drawing>, Picture_Size_Count> pictures;

    bool Is_Ready() const { return state.load(std::memory_order_acquire) == Ready; }
  };

  // One per drawing the store owns, in file order, then in order of arrival.
  struct Storage_Data {
    static constexpr uint64_t No_Record = UINT64_MAX;

    // Offset of the drawing's record in the mapped file, No_Record for a
    // drawing not saved yet (an offset, not a pointer: the view moves when
    // the file grows).
    uint64_t record = No_Record;
    // The unsaved drawing, kept packed; null for one that lives in the file.
    std::unique_ptr<Shape_Drawing> drawing;
    std::unique_ptr<Presentation_Data> presentation;
    bool keep = false;  // used only during Save
    // What the store knows of the record: its length, the cell written in
    // it, and a digest of its bytes once read or written whole (No_Digest
    // before; set by whichever thread reads it).
    static constexpr uint64_t No_Digest = 0;
    uint32_t length = 0;
    int32_t saved_row = -1, saved_column = -1;
    std::atomic<uint64_t> digest{No_Digest};
  };

  // Smallest column, smallest row, largest column, largest row of the
  // records read at opening; all -1 when the file held none.
  struct Bounding_Box {
    int32_t left = -1, top = -1, right = -1, bottom = -1;
  };

  // One picture of each Picture_Size on which drawings are unpacked and
  // reduced: the user-interface thread's display set, the preparation
  // thread's work set.
  struct Picture_Set {
    std::array<std::unique_ptr<Shape_Drawing>, Picture_Size_Count> picture;
  };

  // Opens the user's gallery file. The first store of the process also makes
  // the shared pictures and starts the preparation thread.
  explicit Drawing_Collection(const User& user);
  // Pauses the preparation thread and frees every drawing.
  ~Drawing_Collection();
  Drawing_Collection(const Drawing_Collection&) = delete;
  Drawing_Collection& operator=(const Drawing_Collection&) = delete;

  // Takes drawing to the place (kind, a, b): a grid cell only when empty,
  // the bin list at its front (a 0) or back, a slot always (a full slot keeps
  // what it holds, the drawing is then in no place). On success the store
  // owns the drawing (moved out of the pointer), packs it and makes its
  // reduced pictures at once; refused, the caller keeps it.
  bool Add(std::unique_ptr<Shape_Drawing>& drawing, int32_t kind, int32_t a, int32_t b);
  // Empties a place without deleting anything; in the bin list, the back
  // element when a is not 0, else the front one.
  void Forget_Place(const Drawing_Place& place);
  // Moves (or, towards a slot, shares) the drawing at from to to; see the
  // table in the source. Never deletes a drawing.
  bool Move(const Drawing_Place& to, const Drawing_Place& from);
  // The drawing at place as a picture of the size: a shared display picture,
  // valid until the next call for the same size. A reduced picture that is
  // not ready yet is asked of the preparation thread; window (if any) then
  // gets Picture_Ready_Message, and the call waits up to wait milliseconds.
  // Null when the place is empty or the picture not ready in time.
  Shape_Drawing* Picture(const Drawing_Place& place, Picture_Size size, uint32_t wait, HWND window);
  // 0 for an empty place, else the drawing's state (1 new, 2 being prepared,
  // 3 ready).
  int32_t State(const Drawing_Place& place);
  // The place recorded in the drawing at place (a grid cell for a slot that
  // shares a grid drawing); all zero when there is none.
  Drawing_Place Place_Of(const Drawing_Place& place);
  Presentation_Data* Find(const Drawing_Place& place);

  // Writes the grid to the file, drops what is not in the grid and empties
  // the bin list and the slots. window owns the messages (may be null).
  // False when changes could not all be written: the person has been told
  // why, and the store keeps them for a later save.
  bool Save(const User& user, HWND window);
  // Why no save can keep the changes now, as the second line of a refusal
  // begins ("Another program has put a different file in its place"); empty
  // when a save may write the file.
  std::string Save_Refusal() const;
  // The refusals of a file made read-only or unchangeable while shown.
  static constexpr const char* Read_Only_Refusal = "The file is read-only";
  static constexpr const char* No_Permission_Refusal = "You have no permission to change the file";
  // What the person can do to save her changes after a refusal; when the
  // file in the way has been made unchangeable, only the administrator can
  // move it.
  static std::string Save_Advice(const std::string& refusal, bool unchangeable = false);
  // Back to the last saved arrangement: drawings added since are dropped,
  // the bin list and the slots emptied.
  void Revert();
  // The gallery's user was renamed and the user database has moved her
  // gallery file: the store follows the new name.
  void Rename(const User& new_user, const User& old_user);

  // Slot drawings survive a Save or a change of user through one parked
  // entry per slot, shared by every store.
  void Park_Slot(const Drawing_Place& place);
  void Restore_Slot(const Drawing_Place& place);
  // A new unsaved entry with a copy of the drawing's presentation and full
  // picture (a slot drawing dropped into the grid while it also stands in a
  // grid cell). Its place is left for the caller to set.
  Presentation_Data* Copy_For_Grid(Presentation_Data& source);

  // Makes the three reduced pictures of a drawing with a picture set (the
  // display set on this thread, the work set on the preparation thread).
  void Prepare(Presentation_Data& presentation, Picture_Set& set);
  // The drawing's full picture: its record read into target (scaled when the
  // record is of another size), or the unsaved drawing itself when unpack is
  // false, or its pixels unpacked into target. A record that does not
  // decode gives target filled with its background.
  Shape_Drawing* Full_Picture(Presentation_Data& presentation, Shape_Drawing& target, bool unpack);

  // Read by the gallery window.
  bool Changed() const { return changed; }
  const Bounding_Box& Box() const { return bounding_box; }
  int32_t Bin_Length() const { return int32_t(bin.size()); }
  // The gallery file's name (the user's "gal" file).
  const std::string& File_Name() const { return path; }
  // Nothing may be written to the gallery file: the user data directory is
  // read-only, the file is read-only or held by another program, it exists
  // but could not be opened, or a damaged file could not be kept aside; or
  // the file has since been made read-only or unchangeable, which no move
  // of it can mend.
  bool File_Must_Stay() const { return must_stay || !Permission_Refusal().empty(); }
  // Why the file was taken as one that may not be written when the store
  // opened it; empty when it may be.
  const std::string& Stay_Reason() const { return stay_reason; }
  // Where her gallery is kept while another file has its name (or while it
  // cannot be moved back): the name a save held it under. Empty when it is
  // under its name.
  const std::string& Held_At() const { return held_at; }
  // Her gallery kept aside is one she cannot change, and another file has
  // its name: once both are mended, while the program runs, a save goes on.
  bool Held_Locked() const { return must_stay && held_locked; }
  // What makes her held gallery one she can change again: "make the file …
  // writable again, ".
  std::string Unlock_Held_Advice() const;
  // Said after a name beginning with a dot, so that she can find the file.
  static constexpr const char* Hidden_Note =
      " (a name beginning with a dot: most folders show such files only after Ctrl+H)";

  // The side in pixels of a picture size (needs a store to have been made).
  static int32_t Picture_Side(Picture_Size size);
  // The process's preparation thread, or null before the first store.
  static Preparer_Thread* Preparer();
  // Ends the preparation thread and frees the shared and parked pictures.
  // Called in the program's exit sequence, before the picture pool goes; a
  // later store starts everything again.
  static void Release_Statics();

  // Test hook: saves that append stop (as if the program were killed) after
  // the new records are on the disk and before they are linked in. Test use
  // only.
  static void Stop_Appending_Before_Link(bool stop);
  // The steps of a save that writes (an append checks the size it grows
  // from, reserves, writes and links; a save beside writes only; the file
  // is put back, read back, and taken as the store's own).
  // Placed: a file written beside has just taken the held name.
  enum class Save_Step { Check, Claim, Grow, Reserve, Write, Placed, Link, Verify, Take, Put_Back };
  // Test hook: called before each step of a save, where another program's
  // change could land. Test use only.
  static void Set_Save_Step_Hook(std::function<void(Save_Step)> hook);
  // Where a save keeps the file while it writes it: beside it, under a
  // hidden name that says so. A gallery found there at the opening is put
  // back when its name is free, else shown from there until a save finds
  // the name free; any other file there is another program's.
  static std::string Claim_Name(const std::string& path);
  // Test hook: while held, the preparation thread reads no record (a pass
  // handed to it waits); let go, it begins. Test use only.
  static void Hold_Preparation(bool hold);
  // Whether bytes read after `now` belong to a file's change time: the
  // coarse clock has passed it, or it is a stamp finer than the clock's
  // `tick` (see Clock_Past).
  static bool Stamp_Settled(const timespec& changed, const timespec& now, const timespec& tick);

 private:
  friend class Preparer_Thread;
  struct Save_Plan;

  void Open_File();
  // The file the store opens: the gallery's, or the one a stopped save held
  // aside (held_at).
  const std::string& Opened_Name() const { return held_at.empty() ? path : held_at; }
  void Put_Back_Stopped_Save();
  // A file at the held name that is not the one a save noted there: named,
  // and left as it is; may_be_hers when it holds drawings and no save of
  // this folder noted anything (a copied folder).
  void Tell_Not_Held(const std::string& aside, bool may_be_hers);
  // The file can be read but may not be written: why, told to the person.
  void Keep_Read_Only(const std::string& reason);
  void Read_Records();
  void Report_Damage(size_t read_whole);
  Storage_Data& Append_Entry(std::unique_ptr<Shape_Drawing> drawing, const Drawing_Place& place);
  void Remove_Entry(Storage_Data* entry);
  Presentation_Data*& Cell(int32_t row, int32_t column) { return grid[size_t(row * Drawing_Place::Grid_Side + column)]; }
  std::vector<Presentation_Data*> Grid_Drawings() const;
  // Hands the grid's drawings to the preparation thread when any is not
  // ready yet.
  void Start_Pass();
  void Pause_Preparer();
  void Put_In_Slot(int32_t slot, Presentation_Data* drawing);
  void Put_In_Bin(Presentation_Data* drawing, bool front);
  Presentation_Data* Take_From_Bin(int32_t position);
  std::list<Presentation_Data*>::iterator Bin_Node(int32_t position);
  void Forget_Cursor();
  void Empty_Bin_And_Slots();
  std::unique_ptr<Presentation_Data> Copy_Presentation(Presentation_Data& source);
  // The entry's whole record, copied out of the file into copy; null (and
  // size 0) when the file does not hold it.
  const uint8_t* Record_Bytes(const Storage_Data& entry, uint64_t& size, std::vector<uint8_t>& copy) const;
  // Appends the entry's record, read from the file (not through the
  // mapping), to out; false, and nothing appended, when it cannot be read
  // whole or fails the reader's checks.
  bool Read_Record(const Storage_Data& entry, std::vector<uint8_t>& out) const;
  static uint64_t Record_Digest(const uint8_t* record, uint32_t length);
  // Learns the digest of a record read from the file, the first time, when
  // the file had not changed since the store last knew it.
  void Learn_Record_Digest(Storage_Data& entry) const;
  // The open file is the store's own with the change time and size it had
  // when the store last knew its bytes.
  bool Unchanged_Since_Known(int descriptor) const;
  // The file no longer holds every record read or written: another program
  // cut it short.
  bool Cut_Short_Now() const;
  // Cut_Short_Now; a file found whole again ends the cut, so that a later
  // one is told again.
  bool Still_Cut_Short();
  // Tells the person, once for each cut, that records could not be read
  // because the file was cut short.
  void Tell_Cut_Short(HWND window);

  // Which file a name leads to: the store's own is the one it opened or
  // last wrote, and no other may be written over or deleted. Two are the
  // same file when device and inode agree; changed tells when the file's
  // data or attributes last changed, which no program can set back: it
  // says when to compare the bytes, never that they differ.
  struct File_Identity {
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    timespec changed{};
    // When its bytes were last written, as the writer says: a program may
    // set it back, so it tells only that bytes changed, never that none did.
    timespec modified{};
    bool operator==(const File_Identity& other) const {
      return exists == other.exists && device == other.device && inode == other.inode;
    }
    bool Changed_Since(const File_Identity& other) const {
      return changed.tv_sec != other.changed.tv_sec || changed.tv_nsec != other.changed.tv_nsec;
    }
  };
  static File_Identity Identity_Of(const std::string& name);
  // Whether a change time taken by a look at a file on `device` is settled
  // (a file changed later gets a later one), and a wait of at most a tick
  // until it is: bytes read after it belong to that change time.
  bool Clock_Past(const timespec& changed, dev_t device) const;
  void Wait_For_Clock_Past(const timespec& changed, dev_t device) const;
  // The file the store has open, as it is now.
  File_Identity Open_Identity() const;
  // Whether a save may write the file under the name, and if not why.
  struct File_Check {
    std::string refusal;
    File_Identity now;
    // The clock had passed the file's change time when its bytes were
    // compared: a later change gives it another.
    bool settled = false;
    // Another file is under the name.
    bool replaced = false;
  };
  File_Check Check_Own_File() const;
  // Another file under the name holds exactly the bytes the store opened (a
  // copy renamed over it, as sync tools and editors save): checked, or
  // taken as the store's own file.
  bool Is_Identical_Copy() const;
  bool Take_Identical_Copy();
  // The file the store has open still has the size and modification time
  // it had when the store last knew its bytes: a change of its name, links
  // or mode (which moves only its change time) left the bytes it never read
  // as they were, as far as anyone can tell.
  bool Open_Content_Stands() const;
  // Why the store's own file may not be written now that it could be at
  // opening: made read-only or unchangeable since. Empty when it may.
  std::string Permission_Refusal() const;
  // Takes the file of that identity (the one the store opened, or the one
  // a save wrote and read back; none after a save that deleted it) as the
  // store's own: its size, and a digest of every byte no record of an
  // entry holds. Never whatever another program has put under the name.
  void Learn_File(const File_Identity& identity);
  // The digest of every byte of the file no record of an entry holds.
  uint64_t Gaps_Digest(int descriptor, uint64_t size) const;
  // What a record the store never read counts as: its own (the file is as
  // it knows it), another program's, or what the file the store has open
  // holds at its place (another file is compared with it).
  enum class Unread_Bytes { Own, Changed, As_Open };
  // The file holds the bytes the store knows: the size, every record's
  // length, cell and (once read) digest, and every other byte; when it has
  // changed since, a record the store never read counts as changed too. The
  // preparation thread may learn digests meanwhile.
  bool Holds_Known_Bytes(bool changed_since) const;
  bool Holds_Known_Bytes(int descriptor, Unread_Bytes unread) const;
  // Leaves the file alone and keeps the grid as arranged, its new drawings
  // in memory, until a later save can write them.
  void Keep_Changes_Unsaved();
  bool Has_Unsaved_Changes() const;

  // Save.
  // New_Kept: the file holds the drawings it held, the new ones stay in
  // memory; Reloaded: the store had to read the file again.
  enum class Outcome { Saved, New_Kept, Nothing_Saved, Reloaded };
  // Tells the person why the changes are not written (every time she
  // saves), and keeps them.
  void Refuse_Save(const std::string& reason, HWND window);
  void Tell_Refusal(const std::string& reason, HWND window);
  static constexpr const char* Changed_Refusal = "Another program has changed the file";
  static constexpr const char* Changed_While_Saving_Refusal =
      "Another program changed the file while the gallery was saved";
  static constexpr const char* Held_Aside_Refusal =
      "Another program put a new file under that name while the gallery was saved";
  // Her gallery found held aside at the opening, another file under its
  // name since before the program started.
  static constexpr const char* Held_From_Start_Refusal =
      "Another file is under that name, and a save that was stopped kept your gallery aside";
  std::string Held_Refusal() const;
  // The held file, locked at the opening, opened again for writing once it
  // may be; false while it may not, or is no longer the file shown.
  bool Reopen_Held_Writable();
  // "move <what> out of the folder", or, for a file made unchangeable, that
  // the administrator must make it changeable first.
  static std::string Move_Out_Advice(const std::string& name, const std::string& what);
  // Puts the file an earlier save left under its claimed name (held_at)
  // back under the gallery's name; false while another file has the name,
  // or while it cannot be moved (then Held_Stuck_Reason says why).
  bool Put_Back_Held();
  std::string Held_Stuck_Reason() const;
  // The file under the name is the store's own, with the change time and
  // size it knows (just before the claim).
  bool Named_Is_Known() const;
  // The claimed file is the one the store knows, of the size and
  // modification time it knows.
  bool Claimed_Is_Known() const;
  // The claimed name holds the file the store keeps there (claimed_file).
  bool Claimed_Holds_Own() const;
  // Puts the claimed file back under the gallery's name; when another file
  // has taken the name meanwhile, both stay and the person is told.
  void Put_Back(HWND window);
  Outcome Write_Claimed(Save_Plan& plan, HWND window);
  // The file the save wrote, found by its identity where it now is (opened
  // again when written beside, into reopened) and, under the gallery's
  // name, read back whole; still that file, unchanged, under the name once
  // read. Its identity as read goes to plan.taken.
  bool Check_Written(Save_Plan& plan, std::unique_ptr<Mapped_File>& reopened);
  // The file reads as the next opening reads it: whole, every record where
  // the save put or left it, with its cell, every record the save wrote
  // holds its bytes, and a cut an append's growth filled with zeros left
  // no mark.
  bool Reads_As_Written(const Save_Plan& plan, int descriptor) const;
  // Takes the file the save wrote as the store's: the records are linked
  // to it (to reopened, for a file written beside).
  void Take_Written(Save_Plan& plan, std::unique_ptr<Mapped_File> reopened);
  Save_Plan Plan_Save();
  // Each new drawing as the record it is written as, each checked as the
  // reader checks it; those that fail are lost.
  void Make_New_Records(Save_Plan& plan);
  Outcome Write_Plan(Save_Plan& plan, HWND window);
  // After the file was written without them: the drawings that could not
  // be read leave their cells, and the person is told they are lost.
  void Forget_Lost(Save_Plan& plan, HWND window);
  // "The drawing in row 1, column 2 of the 12 by 12 view", or the drawings.
  static std::string Places_Of(const std::vector<Storage_Data*>& drawings);
  // A record read for a save holds the bytes the store learnt of it.
  // unread_taken: a record never read counts as shown.
  static bool Is_As_Shown(const Storage_Data& entry, const uint8_t* record, uint64_t length, bool unread_taken);
  bool Delete_Gallery();
  bool Write_Appended(Save_Plan& plan);
  // Notes in plan the last byte other than 0 before end, read from the file;
  // false when the file no longer holds the bytes up to end.
  bool Note_Last_Byte(Save_Plan& plan, uint64_t end) const;
  bool Write_Into_View(uint8_t* to, const uint8_t* from, size_t size);
  bool Write_Beside(Save_Plan& plan, bool with_new);
  // The file under name (where a save wrote it beside) opened and mapped;
  // null when it cannot be.
  static std::unique_ptr<Mapped_File> Reopen_Written(const std::string& name);
  void Link_Saved(Save_Plan& plan);
  void Drop_Unkept();
  void Clear();
  // Empties the store and reads the file again as it stands.
  void Reload();
  // Why the save failed, from the errno of the failure: a full disk in the
  // words the gallery always used, anything else as every file refusal
  // says it.
  void Show_Save_Failure(HWND window, bool whole_gallery, int error);

  std::vector<std::unique_ptr<Storage_Data>> entries;
  std::array<Presentation_Data*, Drawing_Place::Grid_Side * Drawing_Place::Grid_Side> grid{};
  std::list<Presentation_Data*> bin;
  int32_t cursor_position = -1;
  std::list<Presentation_Data*>::iterator cursor_node;
  std::array<Presentation_Data*, Drawing_Place::Slot_Count> slots{};
  Bounding_Box bounding_box;

  // The mapped gallery file; never null, closed when there is no file.
  std::unique_ptr<Mapped_File> file;
  std::string path;
  // Offset of the end marker behind the last record read or written: where
  // the next new drawing goes.
  uint64_t end_offset = 0;
  size_t entry_count = 0;
  bool changed = false;
  bool must_stay = false;
  // Why the file must stay, as the second line of a refusal begins.
  std::string stay_reason;
  // The file was not read whole: every save rewrites it (after a copy of the
  // original has been kept aside, as kept_aside).
  bool damaged = false;
  std::string kept_aside;
  // The file at path is no longer the one mapped (a rewrite could not be
  // opened again): the next save rewrites it.
  bool detached = false;
  // A record lay beyond the file's end when it was read (set by whichever
  // thread read it); told_cut_short once the person has been told.
  mutable std::atomic<bool> cut_short{false};
  bool told_cut_short = false;
  // The file the store opened or last wrote (none when there was none),
  // whether its change time was settled when taken, its size then, and the
  // digest of its bytes that no record of an entry holds.
  File_Identity own_file;
  bool own_settled = false;
  // The device whose file system was seen stamping changes finer than the
  // clock's tick (set by whichever thread saw it).
  mutable std::atomic<bool> fine_stamps{false};
  mutable std::atomic<dev_t> fine_stamps_device{0};
  uint64_t known_size = 0;
  uint64_t gaps_digest = 0;

  // During a save: the name the file is claimed to (empty when none),
  // whether another program changed it meanwhile, and whether it had to stay
  // under the claimed name.
  std::string claimed;
  bool changed_while_saving = false;
  // What the store keeps under the claimed name (none before a save beside
  // wrote it, or once it deleted the gallery): anything else found there is
  // another program's, never written over or put under the gallery's name.
  File_Identity claimed_file;
  // Another program put a file at the claimed name during the save.
  bool claim_taken = false;
  // Where the store's file stays because another file took the gallery's
  // name during a save (empty when under its name).
  std::string held_at;
  // It was held aside when the store opened, not by a save of this run.
  bool held_from_start = false;
  // That held file could not be written when the store opened it (read-only
  // or unchangeable): it is shown, and saves wait until it can be.
  bool held_locked = false;

  // Signalled by the preparation thread when a requested drawing is ready.
  TEventSemaphore picture_ready{false, false};
};
