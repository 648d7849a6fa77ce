#include "users/rename_journal_parts.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <set>

#include "platform/system/atomic_file.h"
#include "platform/system/file_system.h"
#include "platform/system/user_file.h"
#include "platform/window/message_box.h"
#include "toolkit/small_utilities.h"

namespace rename_parts {

std::function<void()>& Kill_Point_Hook() {
  static std::function<void()> hook;
  return hook;
}

void Kill_Point() {
  if (Kill_Point_Hook()) Kill_Point_Hook()();
}

// A name the journal may move: a file directly in the user data directory,
// never a path that leads out of it.
bool Plain_Name(const std::string& name) {
  return !name.empty() && name.size() <= Longest_Name && name != "." && name != ".." &&
         name.find('/') == std::string::npos && name.find('\0') == std::string::npos;
}

// The names the install parks files under: ".quendar-move-<process>-<count>".
bool Parking_Name(std::string_view name) {
  constexpr std::string_view prefix = ".quendar-move-";
  if (name.substr(0, prefix.size()) != prefix) return false;
  name.remove_prefix(prefix.size());
  const size_t dash = name.find('-');
  auto digits = [](std::string_view text) {
    return !text.empty() && text.size() <= 20 &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
  };
  return dash != std::string_view::npos && digits(name.substr(0, dash)) && digits(name.substr(dash + 1));
}

bool Ends_With(const std::string& name, std::string_view ending) {
  return name.size() > ending.size() && name.compare(name.size() - ending.size(), ending.size(), ending) == 0;
}

// The ending that makes a name one of a user's own files (".gal", ".clr",
// ", level 4.man"...); empty for any other name.
std::string User_File_Kind(const std::string& name) {
  if (!Plain_Name(name) || Parking_Name(name)) return {};
  if (Ends_With(name, ".gal")) return ".gal";
  if (Ends_With(name, ".clr")) return ".clr";
  const std::string man = name.size() > 13 ? name.substr(name.size() - 13) : std::string();
  if (man.size() == 13 && Ends_With(man, ".man") && man.compare(0, 8, ", level ") == 0 && man[8] >= '1' && man[8] <= '5')
    return man;
  return {};
}

// Where a displaced file waits: a folder of its own holding it under its
// own name, the name it has in the recycle bin: "folder/name".
bool Aside_Name(const std::string& name) {
  const size_t slash = name.find('/');
  return slash != std::string::npos && Plain_Name(name.substr(0, slash)) && Plain_Name(name.substr(slash + 1));
}

// The user whose file it is: the name without its kind.
std::string Owner_Of(const std::string& name) { return name.substr(0, name.size() - User_File_Kind(name).size()); }

// What a user's file of the kind is in words a teacher knows: "gallery".
std::string Kind_Words(const std::string& kind) {
  return kind == ".gal"   ? "gallery"
         : kind == ".clr" ? "colour cycles"
                          : "level " + std::string(1, kind[8]) + " manipulators";
}

// A user's file in words a teacher knows: "Bob's gallery, Bob.gal"; any
// other file by its name.
std::string Described(const std::string& name) {
  const std::string kind = User_File_Kind(name);
  if (kind.empty()) return "the file " + name + " of no user";
  return Owner_Of(name) + "'s " + Kind_Words(kind) + ", " + name;
}

// Whether the file name is of a record kept aside with the word.
bool Kept_With(const std::string& name, const char* word) {
  return name.rfind(std::string("quendar.jnl.") + word + "-", 0) == 0;
}

// Writes the bytes whole under the name, else the first of "<name>-2",
// "<name>-3"... that no file has, as files kept aside are counted. Written
// first under a name of its own, the record then moves to a name that must
// be free at that moment: a file another program puts there meanwhile is
// never written over. False when it could not be written.
bool Write_Under_Free_Name(const std::string& name, const std::vector<uint8_t>& bytes) {
  const std::string writing = name + ".writing-" + std::to_string(getpid());
  if (!Write_File_Atomically(writing, bytes)) return false;
  std::string free = name;
  for (int n = 2; n < 1000; ++n) {
    errno = 0;
    if (Move_File(writing, free)) return true;
    if (errno != EEXIST && errno != ENOTEMPTY) break;
    free = name + "-" + std::to_string(n);
  }
  Delete_File(writing);
  return false;
}

// A list of lines in a box: the first `named`, then a count. Where the
// person must learn where files are, a line for each file of several users.
std::string Listed(const std::vector<std::string>& lines, size_t named) {
  const size_t Named = named;
  std::string text;
  for (size_t i = 0; i < lines.size() && i < Named; ++i) text += "\n" + lines[i];
  if (lines.size() > Named) text += "\nand " + std::to_string(lines.size() - Named) + " more.";
  return text;
}

// A folder itself, not a link to one.
bool Real_Folder(const std::string& path) {
  struct stat info;
  return lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// The folder a displaced file waits in, made when it is not there; false
// when something else (a link, a file) has its name.
bool Make_Aside_Folder(const std::string& path) {
  mkdir(Folder_Of(path).c_str(), 0700);
  return Real_Folder(Folder_Of(path));
}

// Recycles a displaced file from its folder, which goes with it; the trash
// records it under the name it had in the folder (origin), the folder
// going. True when it went.
bool Recycle_Aside(const std::string& path, const std::string& origin) {
  if (!Real_Folder(Folder_Of(path))) return false;
  struct stat info;
  const bool went = lstat(path.c_str(), &info) == 0 && Recycle_File(path, origin);
  rmdir(Folder_Of(path).c_str());
  return went;
}

// Moves a file, noting it when it would not move; true when it moved.
bool Move(const std::string& from, const std::string& to, std::vector<Rename_Journal::Failed_Move>& failed) {
  errno = 0;
  if (Move_File(from, to)) return true;
  failed.push_back({from, to, errno});
  return false;
}

// Whether the failure is a file in the way of the move.
bool In_The_Way(const Rename_Journal::Failed_Move& move) { return move.error == EEXIST || move.error == ENOTEMPTY; }

// A name beginning with a dot, or in a folder of such a name.
bool Hidden_Name(const std::string& name) { return Parking_Name(name) || name.find('/') != std::string::npos; }

// A user's file, not a name of the change only.
bool Users_Name(const std::string& name) { return !User_File_Kind(name).empty(); }

}  // namespace rename_parts
