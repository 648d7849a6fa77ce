// The record of a change of users' names kept on disk while their files
// move, so that a kill or a power cut part-way hides no one's files: the
// next start finishes the moves when the new user database is in place,
// and undoes them when the old one is still there. The file notes the user
// database file as it was before the change and as the change writes it
// (digests of their bytes), the moves in the order they are made, and the
// bytes of the file each one moves (its size and a digest of every byte).
// At the next start each file is found by those very bytes among the names
// of its way through the change, whatever copy, backup or device the folder
// went through, and goes to its owner; files with the same bytes may stand
// for each other. Anything else under a name of the change stays where it
// is, told. Journals of the earlier kinds (which knew files by sampled
// bytes, by device and inode, or by a count of moves) are still read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "users/file_fingerprint.h"

// Which file a name leads to; unknown (all zero) in a journal of the first
// kind, which noted none.
struct File_Id {
  uint64_t device = 0, inode = 0;
  bool Known() const { return device != 0 || inode != 0; }
  bool operator==(const File_Id&) const = default;
};

// The file at the path itself (a link, not what it leads to); unknown when
// there is none.
File_Id Identity_Of(const std::string& path);

class Rename_Journal {
 public:
  struct Step {
    // Names in the user data directory, never paths.
    std::string from, to;
    // The file under `from` belongs to no one (its owner was removed): it is
    // moved out of the way to `to`, "folder/name" with a folder of its own,
    // and recycled from there once the change is whole.
    bool displaced = false;
    // Only in a journal of the first kind: the move waited until the gallery
    // had let go of the previous user's gallery, or was made by the gallery
    // itself, the journal only noting it.
    bool after_gallery = false;
    bool by_gallery = false;
    // The file the step moves: its bytes in a journal of the present kind
    // (and, for the run that noted them only, its device and inode), its
    // device and inode in one of the second.
    File_Fingerprint bytes;
    File_Id file;
    // On a step that parks a user's file, once a later change of names
    // renamed the people of a record kept aside: whose the file is in the
    // names people have now (one), or every person it could be when the
    // way it goes was never decided. Empty: the names of its way tell.
    std::vector<std::string> whose;
  };

  // A file that would not move: where it is now, the name it was to have
  // and why not (an errno).
  struct Failed_Move {
    std::string at, to;
    int error = 0;
  };

  // The journal's file in the directory.
  static std::string File_Path(const std::string& directory);

  // Writes the moves down (after those of an earlier change whose user
  // database could not be saved yet) before any is made; the user database
  // file is taken as it is now. False, with errno saying why and the moves
  // left out, when the journal could not be written and synced, or when a
  // journal this one does not know of is still on disk (EEXIST): then no
  // move of this change may be made.
  bool Begin(const std::string& directory, const std::string& database_path, std::vector<Step> steps);
  // Makes, in order, the moves not made yet. The first move that fails, or
  // whose note cannot be written, is the last one tried: Stopped() says so,
  // and the change must be abandoned. The file that would not move.
  std::vector<Failed_Move> Run();
  bool Stopped() const { return stopped; }
  // The new user database, of these bytes (Database_Hash_Of), is about to
  // be written: noted before it is put in place, so that the next start
  // knows the change took when it finds it. False, with Error() saying
  // why, when the note could not be written: the file must not be saved.
  bool Note_Saving(const std::string& hash);
  // The new user database is on disk: once every move is made, the
  // displaced files go to the recycle bin and the journal is deleted.
  void Database_Saved();
  // The new names will not be saved: the journal notes that the change is
  // being undone, every file goes back (found by its bytes) and the journal
  // is deleted; the files that would not go back. When any would not, the
  // journal stays on disk for the next start (or the next change of names)
  // to bring them back, and this one forgets it.
  std::vector<Failed_Move> Abandon();
  bool Active() const { return !steps.empty(); }
  // Why a note of the journal could not be written (an errno).
  int Error() const { return error; }
  // The disk's error (EIO, ENOSPC) on the first folder sync that failed
  // after a move or the journal's deletion since the last call, 0 for none;
  // the person is told once for each change.
  int Take_Sync_Error();
  // The first line telling that the disk failed after files moved.
  static std::string Sync_Failure_Text(const std::string& directory);

  // The one box's text for files that would not move: each named (the
  // first few, then a count) with why, and where it is now.
  static std::string Failed_Moves_Text(const std::vector<Failed_Move>& failed);
  // What the person can do about them: a file in the way is named, to be
  // moved out of the folder; for any other failure each start tries again.
  static std::string Failed_Moves_Advice(const std::vector<Failed_Move>& failed);
  // The refusal of a change because a file would not move: which file, its
  // new name when it has one, why, and the outcome.
  std::string Move_Refused_Text(const Failed_Move& move, const std::string& outcome) const;

  // At start, before the user database is read: finishes or undoes the
  // change a journal in the directory records, then deletes the journal.
  // The user file decides: as it was before the change, every file goes
  // back; as the change wrote it, every file goes on; neither (restored,
  // replaced or gone since), nothing moves and the journal is kept aside,
  // the box saying where each file is, where it was meant to go, and that
  // bringing the user file back puts each file home. A journal whose way is
  // decided (an undo under way, a start that could not finish) goes that
  // way only with the user file the program saved last. Moves that failed
  // are told in one "WARNING" box, and the journal then stays for the next
  // try. Only a file of the very bytes noted is a file of the change: one
  // another program wrote since (an older or newer copy, an edit, another
  // child's file alike) under a name of a way whose file is not found stays
  // where it is, named with every person whose file was under that name,
  // and told with what the person can do; that way's file is not missing.
  // A journal whose files are not all in the folder (a copy left the
  // parking names behind) is kept aside, the box naming each missing file
  // by whose it is now and where it was, and saying that bringing them back
  // puts them home. Only a
  // journal that cannot be read or trusted is "damaged" (kept aside, for
  // nothing may be guessed from it): one that names anything but the users'
  // own files and the parking names of a change, or parks a file in
  // anything but a real folder of the directory. Nothing is ever moved into
  // a user's name but the regular file or the link a change noted.
  // The user file must list the users the files go to, and no longer list
  // those they leave: a journal it does not match moves nothing either.
  // A journal of the earlier kinds is carried through as before, by device
  // and inode or by name and its count of moves, and is refused as damaged
  // when the user file does not match it or it does not agree with the disk
  // (one file on two steps, a parking name holding another file, a step's
  // file at none of its names while another file is there).
  // `listed` holds the names of the users the user database file lists,
  // nothing when there is no such file.
  // True when no journal is left under its name.
  static bool Recover(const std::string& directory, const std::string& database_path,
                      const std::optional<std::vector<std::string>>& listed);

  // At start, after Recover: a journal kept aside while files it noted were
  // missing, or while the user file was neither, puts home each file once
  // it (or the user file) is brought back, and goes once all are home.
  static void Retry_Missing(const std::string& directory, const std::string& database_path,
                            const std::optional<std::vector<std::string>>& listed);

  // After the user file of these bytes (Database_Hash_Of) is saved: a
  // journal left for a later start whose way is decided (its own file too
  // when own_too, else only those kept aside) notes it as the file its way
  // goes with. Any other user file at the next start decides nothing. A
  // kept journal that moves files of a user under a name this file gives up
  // or takes (`renamed`) follows no file since: it then goes only with a
  // user file it knows (brought back, or the names changed back).
  // `names_now` maps each renamed user's name in the user file saved before
  // to her name in this one: a record it leaves following nothing notes
  // whose each of its files is by those names.
  static void Follow_Saved(const std::string& directory, const std::string& hash, bool own_too,
                           const std::set<std::string>& renamed,
                           const std::map<std::string, std::string>& names_now = {});

  // The journal's bytes and its reader: the reader checks every field and
  // refuses anything the program would not have written.
  std::vector<uint8_t> Bytes() const;
  bool Read(const std::vector<uint8_t>& bytes);

  // Test hook: called at every point where a kill could fall, between a
  // move and its note in the journal included. Test use only.
  static void Set_Kill_Point_Hook(std::function<void()> hook);

  std::string directory;
  std::string database_hash;
  // The user database file the change writes; "none" until it is noted.
  std::string saved_hash = "none";
  // The way the files go once the program has decided it (an undo under
  // way, or a start that could not finish every move): whatever user file
  // is saved since, they go on that way, unless it is the user file of the
  // other way.
  enum class Course { Undecided, Back, On };
  Course course = Course::Undecided;
  std::vector<Step> steps;
  size_t done = 0;
  bool database_saved = false;
  // 5 for one that notes whose files are by people's present names too, 4
  // for a journal that notes every byte of each file, 3 for one that noted
  // sampled bytes, 2 for one that notes its device and inode, 1 for
  // one that notes neither.
  int version = 4;

 private:
  bool Step_Made(const Step& step) const;
  // Whether the name holds the step's own file (any file, for a journal
  // that noted none).
  bool Holds(const std::string& name, const Step& step) const;
  bool Noted_Here(const std::string& name, const Step& step) const;
  bool Identified() const;
  bool By_Bytes() const { return version >= 3; }
  Rename_Journal Part(const std::set<std::string>& renamed, bool touched) const;
  void Note_Whose(const std::map<std::string, std::string>& names_now);
  struct Way;
  std::vector<Way> Ways() const;
  // Names of the change holding a file that is none of its files, each
  // with the ways whose file it could be.
  using Claims = std::map<std::string, std::vector<size_t>>;
  // With `unsure`, the names of ways not found holding such a file.
  std::vector<size_t> Locate(const std::vector<Way>& ways, Claims* unsure = nullptr) const;
  Claims Unproven(const std::vector<Way>& ways, const std::vector<size_t>& at,
                  const std::map<std::string, size_t>& holder) const;
  std::vector<Failed_Move> Carry(const std::vector<Way>& ways, std::vector<size_t>& at, bool forward);
  std::vector<std::string> Strangers(const std::vector<Way>& ways) const;
  std::vector<std::string> Unknown_Files(const std::vector<Way>& ways, const std::vector<size_t>& at) const;
  std::string Way_Line(const Way& way, size_t at) const;
  std::string Whose_Line(const Way& way, size_t at) const;
  bool Fingerprint_Steps(size_t first);
  // The journal at `path`; a retry is of one kept aside while files were
  // missing, and tells nothing unless a file would not move.
  static bool Recover_By_Bytes(Rename_Journal& journal, const std::string& path, bool retry,
                               const std::string& database_path,
                               const std::optional<std::vector<std::string>>& listed);
  static bool Out_Of_Place(const std::string& name, const std::vector<Way>& ways, const std::vector<size_t>& could_be,
                           bool forward, const std::optional<std::vector<std::string>>& listed);
  // The steps of a recovery by bytes, each on what the earlier ones learnt.
  struct Recovery;
  void Decide_Course(Recovery& r) const;
  bool Tell_Hidden_Since(const Recovery& r) const;
  bool Keep_Undecided(const Recovery& r) const;
  void Trash_Strays(Recovery& r) const;
  void Name_Unsure(Recovery& r) const;
  void Find_Missing(Recovery& r) const;
  bool Keep_For_Missing(Recovery& r);
  bool Keep_For_Failed(Recovery& r);
  bool Tell_Until_Home(Recovery& r);
  bool Finish_Told(Recovery& r);
  // Their boxes' texts.
  std::string Hidden_Since_Text(const Recovery& r, const std::vector<std::string>& lines) const;
  std::string Undecided_Text(const Recovery& r, const std::vector<std::string>& lines,
                             const std::vector<std::string>& not_folders, const std::string& aside) const;
  std::string Missing_Text(const Recovery& r, const std::vector<std::string>& lines,
                           const std::vector<std::string>& unknown, const std::string& aside) const;
  std::string Until_Home_Text(const Recovery& r, const std::string& aside) const;
  std::string Finished_Text(const Recovery& r, const std::vector<std::string>& strangers) const;
  std::string Failed_And_Unsure_Text(const Recovery& r) const;
  std::string Unsure_Box_Text(const Recovery& r) const;
  std::string Disk_Failing_Text() const;
  static std::string Trashed_Text(const Recovery& r);
  static std::vector<std::string> Unrecorded_Files(const std::string& directory, const std::set<std::string>& recorded);
  static void Tell_Unrecorded(const std::string& directory, const std::set<std::string>& recorded,
                              const std::vector<std::string>& unreadable);
  static std::string Unrecorded_Advice();
  std::string Missing_Line(const Way& way, bool forward, const std::set<std::string>& told) const;
  std::vector<std::string> Names_At_Cut(const Way& way) const;
  std::string Whose(const Way& way, bool forward) const;
  // The identity of the file under the name, unknown when none is there or
  // a folder it names is not a real folder.
  File_Id Identity_Here(const std::string& name) const;
  struct Chain;
  std::vector<Chain> Chains() const;
  bool Agrees_With_Disk(bool& found) const;
  std::vector<std::string> Find_Files_By_Name();
  void Sync();
  bool Move_Step(const Step& step, std::vector<Failed_Move>& failed);
  void Forget();
  bool Note_Progress();
  void Complete();
  bool Safe_On_Disk() const;
  bool Between_Listed_Users(const std::vector<std::string>& listed, bool took) const;
  std::vector<Failed_Move> Finish();
  std::vector<Failed_Move> Undo();

  bool stopped = false;
  int error = 0;
  int sync_error = 0;
};

// The hash of a file's bytes as the journal writes it; "none" when the file
// does not exist or cannot be read.
std::string Database_Hash(const std::string& path);
// The same hash of bytes about to be written.
std::string Database_Hash_Of(std::span<const uint8_t> bytes);
