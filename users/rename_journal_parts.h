// What the parts of a change of users' names share: the names of the files
// it moves and parks and of the records it keeps aside, its moves, a way a
// file goes through the change, and the texts its boxes are made of.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "users/rename_journal.h"

// One file's way through a change, or through changes noted one after the
// other: every name it has on the way, in order (its user's name, a parking
// name, its new user's name; a file in the way goes into a folder of its
// own), and its bytes.
struct Rename_Journal::Way {
  std::vector<std::string> names;
  File_Fingerprint bytes;
  bool displaced = false;
  // Whose the file is by present names, when a later change noted it.
  std::vector<std::string> whose;
};

// What a start learns of a journal's files as it recovers them.
struct Rename_Journal::Recovery {
  std::string path;  // of the journal
  bool retry = false;
  std::string database_path;
  std::optional<std::vector<std::string>> listed;
  // The user file (its hash), whether it is the one the change began from
  // or the one it wrote, and the way the files go.
  std::string now;
  bool as_before = false, as_written = false;
  Course course = Course::Undecided;
  bool Forward() const { return course == Course::On; }
  std::vector<Way> ways;
  std::vector<size_t> at;
  Claims unsure;
  std::vector<Failed_Move> failed;
  std::vector<std::string> trashed;
  // Files no one can tell whose they are, and files of hers waiting on
  // their names: each name, its line in a box, and a user's name of each
  // way it could be; whether any lies where no one would look for it.
  std::vector<std::string> unsure_names, unsure_lines, unsure_owners;
  bool misplaced = false;
  // Ways not found whose file could be one of those, and how many of those
  // files could be a way not found.
  std::vector<bool> undecided;
  size_t unsure_files = 0;
  // The ways whose files are not here.
  std::vector<size_t> missing;
};

namespace rename_parts {

// Noted in place of the user database's hash, in a journal of the second
// kind, by an undo that could not bring every file back: whatever user file
// is saved since, the change is undone (no hash is ever this word).
constexpr const char* Being_Undone = "undo";
// Far more than four files for each of the users a list can hold.
constexpr size_t Largest_Journal = 1 << 20;
constexpr size_t Longest_Name = 1024;
// The word in the name of a journal kept aside while files it noted are
// missing: "quendar.jnl.missing-<stamp>"; each start looks for them again.
constexpr const char* Missing_Word = "missing";
// The same for one kept while the user file was none the change knew.
constexpr const char* Kept_Word = "kept";
// The same for one kept while files whose owner no one can tell are out of
// place: each start names them until each is home or the person moved it.
constexpr const char* Unsure_Word = "unsure";

// Where a kill could fall, for the test hook to act (Set_Kill_Point_Hook).
std::function<void()>& Kill_Point_Hook();
void Kill_Point();

// A name the journal may move: a file directly in the user data directory,
// never a path that leads out of it.
bool Plain_Name(const std::string& name);

// The names the install parks files under: ".quendar-move-<process>-<count>".
bool Parking_Name(std::string_view name);

// Whether the name ends in the ending.
bool Ends_With(const std::string& name, std::string_view ending);

// The ending that makes a name one of a user's own files (".gal", ".clr",
// ", level 4.man"...); empty for any other name.
std::string User_File_Kind(const std::string& name);

// Where a displaced file waits: a folder of its own holding it under its
// own name, the name it has in the recycle bin: "folder/name".
bool Aside_Name(const std::string& name);

// The user whose file it is: the name without its kind.
std::string Owner_Of(const std::string& name);

// What a user's file of the kind is in words a teacher knows: "gallery".
std::string Kind_Words(const std::string& kind);

// A user's file in words a teacher knows: "Bob's gallery, Bob.gal"; any
// other file by its name.
std::string Described(const std::string& name);

// Whether the file name is of a record kept aside with the word.
bool Kept_With(const std::string& name, const char* word);

// Writes the bytes whole under the name, else the first of "<name>-2",
// "<name>-3"... that no file has, as files kept aside are counted. Written
// first under a name of its own, the record then moves to a name that must
// be free at that moment: a file another program puts there meanwhile is
// never written over. False when it could not be written.
bool Write_Under_Free_Name(const std::string& name, const std::vector<uint8_t>& bytes);

// A list of lines in a box: the first `named`, then a count. Where the
// person must learn where files are, a line for each file of several users.
std::string Listed(const std::vector<std::string>& lines, size_t named = 8);

// A folder itself, not a link to one.
bool Real_Folder(const std::string& path);

// The folder a displaced file waits in, made when it is not there; false
// when something else (a link, a file) has its name.
bool Make_Aside_Folder(const std::string& path);

// Recycles a displaced file from its folder, which goes with it; the trash
// records it under the name it had in the folder (origin), the folder
// going. True when it went.
bool Recycle_Aside(const std::string& path, const std::string& origin);

// Moves a file, noting it when it would not move; true when it moved.
bool Move(const std::string& from, const std::string& to, std::vector<Rename_Journal::Failed_Move>& failed);

// Whether the failure is a file in the way of the move.
bool In_The_Way(const Rename_Journal::Failed_Move& move);

// A name beginning with a dot, or in a folder of such a name.
bool Hidden_Name(const std::string& name);

// A user's file, not a name of the change only.
bool Users_Name(const std::string& name);

// Why a file would not move (an errno), in words a teacher knows.
std::string Move_Failure_Reason(int error);

// Where a box says the record of the change is: kept aside under a name,
// or left as it is.
std::string Kept_Text(const std::string& path, const std::string& aside);

// Files under names of the change that its notes do not prove to be any of
// its files (another program may have written them, or an earlier program
// noted too little), each of which could be more than one person's (a line
// for each).
std::string Unsure_Text(const std::vector<std::string>& lines);

// What the teacher can do about them: give each file a name it could have
// to see it in the program, look at whose drawings each holds, and give
// each its owner's name, through spare names when names are taken.
// `owners` holds a user's name of each file's way: the kind of file it is.
std::string Unsure_Advice(const std::string& directory, const std::vector<std::string>& names,
                          const std::vector<std::string>& owners);

}  // namespace rename_parts
