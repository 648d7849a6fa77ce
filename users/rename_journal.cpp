#include "users/rename_journal.h"

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

namespace {

constexpr const char* Journal_Name = "quendar.jnl";
// The first kind noted no file's identity; it is still read, so that a
// change cut short by an older program is carried through.
constexpr const char* First_Line_Without_Files = "quendar rename journal 1";
constexpr const char* First_Line_With_Ids = "quendar rename journal 2";
// The third kind noted a digest of sampled blocks of a larger file: such a
// file proves nothing, and is told, not moved.
constexpr const char* First_Line_By_Samples = "quendar rename journal 3";
constexpr const char* First_Line_Without_Whose = "quendar rename journal 4";
// The present kind notes too, for a record a later change of names renamed
// people of, whose each file is by the names people have now.
constexpr const char* First_Line = "quendar rename journal 5";
// Noted in place of the user database's hash, in a journal of the second
// kind, by an undo that could not bring every file back: whatever user file
// is saved since, the change is undone (no hash is ever this word).
constexpr const char* Being_Undone = "undo";
// Far more than four files for each of the users a list can hold.
constexpr size_t Largest_Journal = 1 << 20;
constexpr size_t Longest_Name = 1024;
// Larger than any user database file (whose reader refuses more).
constexpr size_t Largest_Database = 8 << 20;

std::function<void()>& Kill_Point_Hook() {
  static std::function<void()> hook;
  return hook;
}

void Kill_Point() {
  if (Kill_Point_Hook()) Kill_Point_Hook()();
}

// Names are written with backslash, tab and line ends escaped, so a line is
// a step whatever the user called herself.
std::string Escaped(const std::string& name) {
  std::string out;
  for (char c : name) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\t': out += "\\t"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      default: out += c;
    }
  }
  return out;
}

std::optional<std::string> Unescaped(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\') {
      out += text[i];
      continue;
    }
    if (++i == text.size()) return std::nullopt;
    switch (text[i]) {
      case '\\': out += '\\'; break;
      case 't': out += '\t'; break;
      case 'n': out += '\n'; break;
      case 'r': out += '\r'; break;
      default: return std::nullopt;
    }
  }
  return out;
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

// The word in the name of a journal kept aside while files it noted are
// missing: "quendar.jnl.missing-<stamp>"; each start looks for them again.
constexpr const char* Missing_Word = "missing";
// The same for one kept while the user file was none the change knew.
constexpr const char* Kept_Word = "kept";
// The same for one kept while files whose owner no one can tell are out of
// place: each start names them until each is home or the person moved it.
constexpr const char* Unsure_Word = "unsure";

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

// Whether the steps are shaped as an install makes them: each of a user's
// files is parked under a fresh parking name and moves from there to a
// user's file of the same kind; a file in the way of such a move goes, under
// its own name, into a fresh folder of its own; only the gallery file of the
// user who was current moves straight to its new name, once the gallery has
// let it go.
// A journal noting files says which file each step moves: a parked file
// comes out as the file that went in, and only the first kind knows of
// moves made by the gallery. Every parked file comes out again.
bool Shaped_As_Made(const std::vector<Rename_Journal::Step>& steps, int version) {
  const bool identified = version >= 2;
  std::map<std::string, std::string> parked;  // parking name: kind of the file there
  std::map<std::string, Rename_Journal::Step> parked_file;
  std::set<std::string> taken, in_the_way, moved_to;
  for (const Rename_Journal::Step& step : steps) {
    const std::string kind = User_File_Kind(step.from);
    if (identified && ((version == 2 && !step.file.Known()) || step.after_gallery || step.by_gallery)) return false;
    if (!step.displaced && !Parking_Name(step.to)) moved_to.insert(step.to);
    if (step.displaced) {
      in_the_way.insert(step.from);
      const size_t slash = step.to.find('/');
      const std::string folder = step.to.substr(0, slash);
      if (kind.empty() || step.by_gallery || !Parking_Name(folder) || step.to.substr(slash + 1) != step.from ||
          !taken.insert(folder).second)
        return false;
    } else if (Parking_Name(step.to)) {
      if (kind.empty() || step.after_gallery || step.by_gallery || !taken.insert(step.to).second) return false;
      parked[step.to] = kind;
      parked_file[step.to] = step;
    } else if (Parking_Name(step.from)) {
      const auto there = parked.find(step.from);
      const Rename_Journal::Step& in = parked_file[step.from];
      if (there == parked.end() || step.by_gallery || User_File_Kind(step.to) != there->second ||
          !(in.file == step.file) || !(in.bytes == step.bytes))
        return false;
      parked.erase(there);
    } else if (kind != ".gal" || User_File_Kind(step.to) != ".gal" || !step.after_gallery) {
      return false;
    }
  }
  return parked.empty() && std::includes(moved_to.begin(), moved_to.end(), in_the_way.begin(), in_the_way.end());
}

// A list of lines in a box: the first `named`, then a count. Where the
// person must learn where files are, a line for each file of several users.
std::string Listed(const std::vector<std::string>& lines, size_t named = 8) {
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

std::string Move_Failure_Reason(int error) {
  switch (error) {
    case EEXIST:
    case ENOTEMPTY: return "Another file has that name";
    case ENOENT: return "The file or its folder is gone";
    case EACCES:
    case EPERM: return "You have no permission to move the file";
    default: return Write_Failure_Reason(error);
  }
}

// Whether the failure is a file in the way of the move.
bool In_The_Way(const Rename_Journal::Failed_Move& move) { return move.error == EEXIST || move.error == ENOTEMPTY; }

std::vector<std::string_view> Split(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  size_t start = 0;
  for (size_t at = text.find(separator); at != std::string_view::npos; at = text.find(separator, start)) {
    parts.push_back(text.substr(start, at - start));
    start = at + 1;
  }
  parts.push_back(text.substr(start));
  return parts;
}

std::optional<size_t> Number(std::string_view text) {
  size_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
  return value;
}

}  // namespace

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

std::string Database_Hash(const std::string& path) {
  const std::optional<std::vector<uint8_t>> bytes = Read_Regular_File(path, Largest_Database);
  if (!bytes) return "none";
  return Database_Hash_Of(*bytes);
}

std::string Database_Hash_Of(std::span<const uint8_t> bytes) {
  // FNV-1a: only whether the file changed matters, not who could forge it.
  uint64_t hash = 14695981039346656037ull;
  for (uint8_t byte : bytes) {
    hash ^= byte;
    hash *= 1099511628211ull;
  }
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
  return text;
}

std::string Rename_Journal::Failed_Moves_Text(const std::vector<Failed_Move>& failed) {
  // A few are named; a long list would be a box taller than the screen.
  constexpr size_t Named = 8;
  // A parking name means nothing to the person: only a user's new name is said.
  auto new_name = [](const Failed_Move& move) {
    const std::string name = move.to.substr(move.to.rfind('/') + 1);
    const std::string folder = Folder_Of(move.to);
    return Parking_Name(name) || Parking_Name(folder.substr(folder.rfind('/') + 1)) ? std::string() : name;
  };
  // A file under a hidden name is named by whose it is: the person whose
  // name it waits for, as she is called now.
  auto whose = [&](const Failed_Move& move) {
    const std::string name = new_name(move), at = move.at.substr(Folder_Of(move.at).size() + 1);
    return name.empty() || User_File_Kind(name).empty() || !Parking_Name(at) ? std::string()
                                                                                : ", which is " + Owner_Of(name) + "'s " + Kind_Words(User_File_Kind(name));
  };
  if (failed.size() == 1) {
    const Failed_Move& move = failed[0];
    const std::string name = new_name(move), which = whose(move);
    return "Unable to move file " + move.at + (which.empty() ? "" : which + ",") + (name.empty() ? "" : " to " + name) +
           "\n" + Move_Failure_Reason(move.error) + ": the file stays as " + move.at + ".";
  }
  std::string text = "Unable to move " + std::to_string(failed.size()) + " files of renamed users; each stays where it is:";
  for (size_t i = 0; i < failed.size() && i < Named; ++i) {
    const std::string name = new_name(failed[i]);
    const std::string which = whose(failed[i]);
    text += "\n" + failed[i].at + which + (name.empty() ? "" : " (to be " + name + ")") + ": " +
            Move_Failure_Reason(failed[i].error);
  }
  if (failed.size() > Named)
    text += "\nand " + std::to_string(failed.size() - Named) + " more in " + Folder_Of(failed[Named].at) + ".";
  return text;
}

// A file in the way stays there until the person moves it: each is named,
// with what to do. One the administrator made unchangeable no one else can
// move: she must make it changeable first. Any other failure may pass, and
// each start tries again.
std::string Rename_Journal::Failed_Moves_Advice(const std::vector<Failed_Move>& failed) {
  std::vector<std::string> in_the_way, unchangeable;
  auto add = [](std::vector<std::string>& names, const std::string& name) {
    if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
  };
  bool others = false;
  for (const Failed_Move& move : failed) {
    if (Is_Unchangeable(In_The_Way(move) ? move.to : move.at)) add(unchangeable, In_The_Way(move) ? move.to : move.at);
    else if (In_The_Way(move)) add(in_the_way, move.to);
    else others = true;
  }
  if (in_the_way.empty() && unchangeable.empty()) return "\nThe program tries again at the next start.";
  bool hidden = false;
  auto named = [&](const std::vector<std::string>& names) {
    std::string text;
    for (size_t i = 0; i < names.size() && i < 8; ++i) {
      text += (i == 0 ? "" : i + 1 == names.size() ? " and " : ", ") + names[i];
      hidden |= names[i][Folder_Of(names[i]).size() + 1] == '.';
    }
    if (names.size() > 8) text += " and " + std::to_string(names.size() - 8) + " other files";
    return text;
  };
  std::string text = "\nTo put each file home, ";
  if (!unchangeable.empty()) {
    const bool one = unchangeable.size() == 1;
    bool any_in_the_way = false;
    for (const Failed_Move& move : failed) any_in_the_way |= In_The_Way(move) && Is_Unchangeable(move.to);
    text += "have the administrator make " + named(unchangeable) + " changeable again (" +
            (one ? "it was made unchangeable, and no one else can move it" : "they were made unchangeable, and no one "
                                                                             "else can move them") +
            ")" + (any_in_the_way ? " and move each one in the way out of the folder" : "") + ", ";
  }
  if (!in_the_way.empty())
    text += "close Quendar, move " + named(in_the_way) +
            (in_the_way.size() == 1 ? " (it is in the way)" : " (they are in the way)") + " out of the folder, ";
  text += "then start Quendar again: each file goes home." +
          std::string(others ? " The program tries again to move the others at each start." : "");
  if (hidden) text += "\nNames beginning with a dot are hidden: show hidden files to see them.";
  return text;
}

std::string Rename_Journal::File_Path(const std::string& directory) { return directory + Journal_Name; }

void Rename_Journal::Set_Kill_Point_Hook(std::function<void()> hook) { Kill_Point_Hook() = std::move(hook); }

File_Id Identity_Of(const std::string& path) {
  struct stat info;
  if (!Path_Fits(path) || lstat(path.c_str(), &info) != 0) return File_Id{};
  return File_Id{uint64_t(info.st_dev), uint64_t(info.st_ino)};
}

bool Rename_Journal::Identified() const { return version == 2; }

std::vector<uint8_t> Rename_Journal::Bytes() const {
  const bool identified = Identified();
  const char* first = version == 5 ? First_Line : version == 4 ? First_Line_Without_Whose : version == 3 ? First_Line_By_Samples : identified ? First_Line_With_Ids : First_Line_Without_Files;
  std::string text = std::string(first) +
                     "\ndatabase " + database_hash + "\n";
  if (By_Bytes())
    text += "saved " + saved_hash + "\nstate " +
            (course == Course::Back ? "undo" : course == Course::On ? "finish" : "change") + "\n";
  text += "done " + std::to_string(done) + "\n";
  for (const Step& step : steps) {
    std::string flags;
    if (step.displaced) flags += 'd';
    if (step.after_gallery) flags += 'w';
    if (step.by_gallery) flags += 'g';
    text += (flags.empty() ? "-" : flags) + "\t" + Escaped(step.from) + "\t" + Escaped(step.to);
    if (identified) text += "\t" + std::to_string(step.file.device) + ":" + std::to_string(step.file.inode);
    if (By_Bytes()) text += "\t" + step.bytes.Text();
    if (version == 5)
      for (const std::string& person : step.whose) text += "\t" + Escaped(person);
    text += "\n";
  }
  return std::vector<uint8_t>(text.begin(), text.end());
}

bool Rename_Journal::Read(const std::vector<uint8_t>& bytes) {
  const std::string text(bytes.begin(), bytes.end());
  std::vector<std::string_view> lines = Split(text, '\n');
  // Every line ends in a line end: the last part is empty.
  if (lines.size() < 4 || !lines.back().empty()) return false;
  const int kind = lines[0] == First_Line              ? 5
                   : lines[0] == First_Line_Without_Whose ? 4
                   : lines[0] == First_Line_By_Samples  ? 3
                   : lines[0] == First_Line_With_Ids    ? 2
                   : lines[0] == First_Line_Without_Files ? 1
                                                        : 0;
  if (kind == 0) return false;
  const bool identified = kind == 2;
  lines.pop_back();
  // The present kind notes the user file the change writes and whether an
  // undo is under way, between the user file before and the count.
  const size_t head = kind >= 3 ? 5 : 3;
  if (lines.size() < head || lines[1].substr(0, 9) != "database " || lines[head - 1].substr(0, 5) != "done ") return false;
  database_hash = std::string(lines[1].substr(9));
  const std::optional<size_t> count = Number(lines[head - 1].substr(5));
  if (database_hash.empty() || !count) return false;
  if (kind >= 3) {
    if (lines[2].substr(0, 6) != "saved " || lines[2].size() == 6) return false;
    saved_hash = std::string(lines[2].substr(6));
    if (lines[3] == "state change") course = Course::Undecided;
    else if (lines[3] == "state undo") course = Course::Back;
    else if (lines[3] == "state finish") course = Course::On;
    else return false;
  }
  steps.clear();
  for (size_t i = head; i < lines.size(); ++i) {
    const std::vector<std::string_view> fields = Split(lines[i], '\t');
    // Only the present kind notes whose a file is, after its bytes.
    if ((kind == 5 ? fields.size() < 4u : fields.size() != (kind >= 2 ? 4u : 3u)) || fields[0].empty()) return false;
    Step step;
    for (char flag : fields[0]) {
      if (flag == 'd') step.displaced = true;
      else if (flag == 'w') step.after_gallery = true;
      else if (flag == 'g') step.by_gallery = true;
      else if (flag != '-' || fields[0].size() != 1) return false;
    }
    std::optional<std::string> from = Unescaped(fields[1]), to = Unescaped(fields[2]);
    if (!from || !to || !Plain_Name(*from) || !(step.displaced ? Aside_Name(*to) : Plain_Name(*to))) return false;
    if (identified) {
      const size_t colon = fields[3].find(':');
      if (colon == std::string_view::npos) return false;
      const std::optional<size_t> device = Number(fields[3].substr(0, colon)), inode = Number(fields[3].substr(colon + 1));
      if (!device || !inode) return false;
      step.file = File_Id{uint64_t(*device), uint64_t(*inode)};
    }
    if (kind >= 3) {
      const std::optional<File_Fingerprint> bytes =
          kind >= 4 ? File_Fingerprint::Parse(fields[3]) : File_Fingerprint::Parse_Earlier(fields[3]);
      if (!bytes) return false;
      step.bytes = *bytes;
    }
    for (size_t f = 4; kind == 5 && f < fields.size(); ++f) {
      std::optional<std::string> person = Unescaped(fields[f]);
      // A person's name; only a file parked from a user's name has an owner.
      if (!person || !Plain_Name(*person) || !Parking_Name(*to) ||
          std::find(step.whose.begin(), step.whose.end(), *person) != step.whose.end())
        return false;
      step.whose.push_back(std::move(*person));
    }
    step.from = std::move(*from);
    step.to = std::move(*to);
    steps.push_back(std::move(step));
  }
  if (*count > steps.size() || !Shaped_As_Made(steps, kind)) return false;
  done = *count;
  version = kind;
  return true;
}

bool Rename_Journal::Begin(const std::string& directory_, const std::string& database_path, std::vector<Step> added) {
  stopped = false;
  if (added.empty()) return true;
  const bool was_active = Active();
  if (!was_active) {
    // A journal left by a change that could not be carried through, which
    // this one would write over: its files must find their owners first.
    if (File_Exists(File_Path(directory_))) {
      errno = error = EEXIST;
      return false;
    }
    directory = directory_;
    database_hash = Database_Hash(database_path);
    done = 0;
    version = 4;
    course = Course::Undecided;
  }
  // No user file with these names is written yet.
  saved_hash = "none";
  const size_t before = steps.size();
  for (Step& step : added) steps.push_back(std::move(step));
  if (!Fingerprint_Steps(before) || !Note_Progress()) {
    // No move of this change may be made: nothing on disk would say how to
    // undo it.
    steps.resize(before);
    if (!was_active) steps.clear();
    const int why = error;
    if (!Active()) Delete_File(File_Path(directory));
    errno = error = why;
    return false;
  }
  // The names of this change are not on disk yet, whatever an earlier save did.
  database_saved = false;
  Kill_Point();
  return true;
}

// Notes the bytes of each file the steps from `first` on move, every one of
// them, as they are before any moves, and (for this run only) which file it
// is; a parked file comes out as the file that went in.
bool Rename_Journal::Fingerprint_Steps(size_t first) {
  std::map<std::string, size_t> parked;  // parking name: the step that parks a file there
  for (size_t i = 0; i < steps.size(); ++i) {
    Step& step = steps[i];
    const auto in = Parking_Name(step.from) ? parked.find(step.from) : parked.end();
    if (i >= first && in != parked.end()) {
      step.bytes = steps[in->second].bytes;
      step.file = steps[in->second].file;
    } else if (i >= first) {
      const std::optional<File_Fingerprint> bytes = File_Fingerprint::Of(directory + step.from);
      if (!bytes) {
        // Gone, or no regular file: nothing else is moved into a name.
        errno = error = ENOENT;
        return false;
      }
      step.bytes = *bytes;
      step.file = Identity_Here(step.from);
    }
    if (Parking_Name(step.to)) parked[step.to] = i;
  }
  return true;
}

bool Rename_Journal::Note_Saving(const std::string& hash) {
  saved_hash = hash;
  if (!Note_Progress()) {
    // In place though the folder could not be synced: the save goes on, and
    // the disk's error is told with it.
    const std::optional<std::vector<uint8_t>> there = Read_Regular_File(File_Path(directory), Largest_Journal);
    if (!there || *there != Bytes()) return false;
    if (sync_error == 0 && (error == EIO || error == ENOSPC)) sync_error = error;
  }
  Kill_Point();
  return true;
}

bool Rename_Journal::Note_Progress() {
  const std::vector<uint8_t> bytes = Bytes();
  errno = 0;
  if (Write_File_Atomically(File_Path(directory), bytes)) return true;
  error = errno;
  return false;
}

// Whether the move the journal was about to note had been made: its file
// has left the old name for the new one.
bool Rename_Journal::Step_Made(const Step& step) const {
  return !File_Exists(directory + step.from) && File_Exists(directory + step.to);
}

// Whether the name still holds the file this run noted for the step: the
// same file, for its bytes were read a moment ago.
bool Rename_Journal::Noted_Here(const std::string& name, const Step& step) const {
  if (step.file.Known()) return Identity_Here(name) == step.file;
  const std::optional<File_Fingerprint> there = File_Fingerprint::Of(directory + name, step.bytes.earlier);
  return there && step.bytes.Same_Bytes(*there);
}

bool Rename_Journal::Holds(const std::string& name, const Step& step) const {
  if (!step.file.Known()) return File_Exists(directory + name);
  return Identity_Here(name) == step.file;
}

File_Id Rename_Journal::Identity_Here(const std::string& name) const {
  const std::string path = directory + name;
  // A folder a displaced file waits in is never a link out of the directory.
  if (name.find('/') != std::string::npos && !Real_Folder(Folder_Of(path))) return File_Id{};
  return Identity_Of(path);
}

void Rename_Journal::Sync() {
  errno = 0;
  if (!Sync_Directory(directory) && (errno == EIO || errno == ENOSPC) && sync_error == 0) sync_error = errno;
}

int Rename_Journal::Take_Sync_Error() {
  const int taken = sync_error;
  sync_error = 0;
  return taken;
}

std::string Rename_Journal::Sync_Failure_Text(const std::string& directory) {
  return "The disk reported an error after moving files in " + directory;
}

// Makes one step when its own file is where it moves from; false when it
// would not move (noted in failed). A step already made, or whose file is
// gone, is passed over.
bool Rename_Journal::Move_Step(const Step& step, std::vector<Failed_Move>& failed) {
  const std::string from = directory + step.from, to = directory + step.to;
  if (!By_Bytes() && step.file.Known() && Holds(step.to, step)) return true;
  if (!By_Bytes() && !Holds(step.from, step)) return true;
  errno = ENOTDIR;
  if (step.displaced && !Make_Aside_Folder(to)) {
    failed.push_back({from, to, errno});
    return false;
  }
  return Move(from, to, failed);
}

std::vector<Rename_Journal::Failed_Move> Rename_Journal::Run() {
  std::vector<Failed_Move> failed;
  while (!stopped && done < steps.size()) {
    Step& step = steps[done];
    const std::string from = directory + step.from, to = directory + step.to;
    // The file planned for the step is gone or another has its name: the
    // change no longer knows where the file is, and stops.
    if (By_Bytes() ? !Noted_Here(step.from, step) : step.file.Known() && !Holds(step.from, step)) {
      failed.push_back({from, to, ENOENT});
      stopped = true;
      break;
    }
    if (!Move_Step(step, failed)) {
      stopped = true;
      break;
    }
    // A move that had to copy (another volume) gives the file another
    // identity: every step of that file, back and forth, follows the copy.
    const File_Id was = step.file, now = Identity_Of(to);
    if (was.Known() && now.Known() && !(now == was))
      for (Step& other : steps)
        if (other.file == was) other.file = now;
    Kill_Point();
    Sync();
    ++done;
    // Until the new names are saved, a move the journal does not know of
    // could not be undone at the next start: none is made after it.
    if (!Note_Progress() && !database_saved) stopped = true;
    Kill_Point();
  }
  if (done == steps.size() && database_saved) Complete();
  return failed;
}

void Rename_Journal::Database_Saved() {
  // A save with no change under way completes none: a journal left on disk
  // by an earlier change waits for its own files, and a later change that
  // moves no file must not take this save for its own.
  if (!Active()) return;
  database_saved = true;
  if (done == steps.size()) Complete();
}

std::vector<Rename_Journal::Failed_Move> Rename_Journal::Abandon() {
  // Nothing begun: a journal on disk is another change's, and stays.
  if (!Active()) return {};
  std::vector<Failed_Move> failed;
  if (By_Bytes()) {
    // The undo is noted first: a kill during it is followed by an undo at
    // the next start, whatever user file is saved meanwhile.
    Kill_Point();
    course = Course::Back;
    Note_Progress();
    Kill_Point();
    const std::vector<Way> ways = Ways();
    std::vector<size_t> at = Locate(ways);
    failed = Carry(ways, at, false);
    for (size_t w = 0; w < ways.size(); ++w)
      if (at[w] == std::string::npos)
        failed.push_back({directory + ways[w].names[1], directory + ways[w].names.front(), ENOENT});
  } else {
    failed = Undo();
  }
  Sync();
  Kill_Point();
  // Files that would not go back are found by the journal at the next try,
  // which must undo the change whatever user file is saved meanwhile.
  if (failed.empty()) {
    Delete_File(File_Path(directory));
    Sync();
    Kill_Point();
  } else if (!By_Bytes()) {
    database_hash = Being_Undone;
    Note_Progress();
  }
  Forget();
  return failed;
}

void Rename_Journal::Forget() {
  steps.clear();
  done = 0;
  database_saved = false;
  stopped = false;
}

void Rename_Journal::Complete() {
  for (const Step& step : steps)
    if (step.displaced) Recycle_Aside(directory + step.to, directory + step.from);
  Delete_File(File_Path(directory));
  Sync();
  Kill_Point();
  Forget();
}

std::vector<Rename_Journal::Failed_Move> Rename_Journal::Finish() {
  std::vector<Failed_Move> failed;
  for (size_t i = Identified() ? 0 : done; i < steps.size(); ++i) {
    const Step& step = steps[i];
    if (!Identified() && i == done && Step_Made(step)) continue;
    Move_Step(step, failed);
  }
  for (const Step& step : steps)
    if (step.displaced) Recycle_Aside(directory + step.to, directory + step.from);
  return failed;
}

// Back, last move first. A journal noting files moves back only the very
// file a step moved, so an undo run again after a crash moves nothing twice;
// one of the first kind goes back from the moves it counted.
std::vector<Rename_Journal::Failed_Move> Rename_Journal::Undo() {
  std::vector<Failed_Move> failed;
  size_t made = Identified() ? steps.size() : done;
  if (!Identified() && made < steps.size() && Step_Made(steps[made])) ++made;
  while (made > 0) {
    const Step& step = steps[--made];
    const std::string to = directory + step.to;
    if (Holds(step.to, step)) {
      Move(to, directory + step.from, failed);
      Kill_Point();
    }
    if (step.displaced) rmdir(Folder_Of(to).c_str());
  }
  return failed;
}

// Each file moves from a user of the old names to the user of her new name.
// When the change took, the new names are listed and the old ones no longer
// are, unless another user took one up; when it did not, the other way round.
bool Rename_Journal::Between_Listed_Users(const std::vector<std::string>& listed, bool took) const {
  std::set<std::string> old_names, new_names;
  std::map<std::string, std::string> parked;  // parking name: the owner of the file there
  for (const Step& step : steps) {
    if (step.displaced) continue;
    if (Parking_Name(step.to)) {
      parked[step.to] = Owner_Of(step.from);
      continue;
    }
    old_names.insert(Parking_Name(step.from) ? parked[step.from] : Owner_Of(step.from));
    new_names.insert(Owner_Of(step.to));
  }
  const std::set<std::string> on_disk(listed.begin(), listed.end());
  const std::set<std::string>& now = took ? new_names : old_names;
  const std::set<std::string>& then = took ? old_names : new_names;
  for (const std::string& name : now)
    if (on_disk.count(name) == 0) return false;
  for (const std::string& name : then)
    if (on_disk.count(name) != 0 && now.count(name) == 0) return false;
  return true;
}

// Nothing the journal names leads out of the directory: a folder a
// displaced file waits in is a real folder, never a link.
bool Rename_Journal::Safe_On_Disk() const {
  for (const Step& step : steps) {
    struct stat info;
    const std::string folder = directory + Folder_Of(step.to);
    if (step.displaced && lstat(folder.c_str(), &info) == 0 && !S_ISDIR(info.st_mode)) return false;
  }
  return true;
}

std::string Rename_Journal::Move_Refused_Text(const Failed_Move& move, const std::string& outcome) const {
  // A file stopped on its way to a parking name is named with the user's
  // new name it was going to.
  std::string to = move.to.substr(move.to.rfind('/') + 1);
  for (const Step& step : steps)
    if (Parking_Name(to) && step.from == to) to = step.to;
  const bool named = !Parking_Name(to) && Folder_Of(move.to) == Folder_Of(move.at);
  return "Unable to move file " + move.at + (named ? " to " + to : "") + "\n" + Move_Failure_Reason(move.error) +
         ": " + outcome + ".";
}

// One file's way through a change: from its user's name to its parking
// name and on to its new user's name, or, for a file in the way, from its
// name into a folder of its own; the steps that move it (none: npos).
struct Rename_Journal::Chain {
  std::string origin, parked, target;
  size_t park = std::string::npos, final = std::string::npos;
  File_Id file;
};

std::vector<Rename_Journal::Chain> Rename_Journal::Chains() const {
  std::vector<Chain> chains;
  for (size_t i = 0; i < steps.size(); ++i) {
    const Step& step = steps[i];
    if (step.displaced || Parking_Name(step.to)) {
      chains.push_back({step.from, step.to, "", i, std::string::npos, step.file});
    } else if (Parking_Name(step.from)) {
      for (Chain& chain : chains)
        if (chain.parked == step.from) {
          chain.target = step.to;
          chain.final = i;
        }
    }
  }
  return chains;
}

// Before any move, a journal noting files must agree with the disk: no file
// on two ways, nothing but its own file under a parking name, and no way
// whose file is at none of its names while a file the journal does not know
// has one of them (moving on would park a file for good). found: whether
// any file is where the journal noted it; when none is, the folder was
// copied or moved, and the files are looked for by name instead.
bool Rename_Journal::Agrees_With_Disk(bool& found) const {
  found = true;
  if (!Identified()) return true;
  const std::vector<Chain> chains = Chains();
  std::set<std::pair<uint64_t, uint64_t>> known;
  for (const Chain& chain : chains)
    if (!known.insert({chain.file.device, chain.file.inode}).second) return false;
  auto unknown_at = [&](const std::string& name) {
    const File_Id there = Identity_Here(name);
    return there.Known() && known.count({there.device, there.inode}) == 0;
  };
  std::vector<bool> in_place;
  for (const Chain& chain : chains)
    in_place.push_back(Identity_Here(chain.origin) == chain.file || Identity_Here(chain.parked) == chain.file ||
                       (!chain.target.empty() && Identity_Here(chain.target) == chain.file));
  found = std::find(in_place.begin(), in_place.end(), true) != in_place.end();
  if (!found) return true;
  for (size_t i = 0; i < chains.size(); ++i) {
    const Chain& chain = chains[i];
    const File_Id parked = Identity_Here(chain.parked);
    if (parked.Known() && !(parked == chain.file)) return false;
    if (!in_place[i] && (unknown_at(chain.origin) || (!chain.target.empty() && unknown_at(chain.target)))) return false;
  }
  return true;
}

// For a journal none of whose files is where it noted them: a file under a
// parking name is the one the change put there; one under a user's name is
// the only file that can be there by the count of moves made (a move at the
// count may or may not have been made, an undo cut short may have taken any
// back). Each file found is noted in the steps as it is now. What stays
// untold: a line for each file whose owner cannot be told, saying where it
// is and whose it may be.
std::vector<std::string> Rename_Journal::Find_Files_By_Name() {
  std::vector<Chain> chains = Chains();
  std::vector<bool> placed(chains.size(), false);
  const bool undone = database_hash == Being_Undone;
  auto may_be_at = [&](const Chain& chain, const std::string& name) {
    return (name == chain.origin && (undone || chain.park >= done)) ||
           (name == chain.target && chain.final != std::string::npos && chain.final <= done);
  };
  std::set<std::pair<uint64_t, uint64_t>> taken;
  for (size_t i = 0; i < chains.size(); ++i) {
    const File_Id there = Identity_Here(chains[i].parked);
    if (!there.Known()) continue;
    chains[i].file = there;
    placed[i] = true;
    taken.insert({there.device, there.inode});
  }
  std::set<std::string> names;
  for (const Chain& chain : chains) {
    names.insert(chain.origin);
    if (!chain.target.empty()) names.insert(chain.target);
  }
  // Each file placed may leave a single owner for another.
  std::map<std::string, std::vector<size_t>> open;
  for (bool progress = true; progress;) {
    progress = false;
    open.clear();
    for (const std::string& name : names) {
      const File_Id there = Identity_Here(name);
      if (!there.Known() || taken.count({there.device, there.inode}) != 0) continue;
      std::vector<size_t> owners;
      for (size_t i = 0; i < chains.size(); ++i)
        if (!placed[i] && may_be_at(chains[i], name)) owners.push_back(i);
      if (owners.size() == 1) {
        chains[owners[0]].file = there;
        placed[owners[0]] = true;
        taken.insert({there.device, there.inode});
        progress = true;
      } else if (owners.size() > 1) {
        open[name] = owners;
      }
    }
  }
  std::vector<std::string> untold;
  for (const auto& [name, owners] : open) {
    std::string line = directory + name + ": the file of";
    for (size_t k = 0; k < owners.size(); ++k)
      line += (k == 0 ? " " : k + 1 == owners.size() ? " or of " : ", ") + chains[owners[k]].origin;
    untold.push_back(line + " before the change");
  }
  if (!untold.empty()) {
    for (const Chain& chain : chains)
      if (File_Exists(directory + chain.parked))
        untold.push_back(directory + chain.parked + ": the file of " + chain.origin + " before the change");
    return untold;
  }
  for (const Chain& chain : chains) {
    steps[chain.park].file = chain.file;
    if (chain.final != std::string::npos) steps[chain.final].file = chain.file;
  }
  return {};
}

bool Rename_Journal::Recover(const std::string& directory, const std::string& database_path,
                             const std::optional<std::vector<std::string>>& listed) {
  const std::string path = File_Path(directory);
  if (Get_File_Attributes(path) == INVALID_FILE_ATTRIBUTES) return true;
  TUser_File_Read read = Read_User_File(path, Largest_Journal);
  Rename_Journal journal;
  journal.directory = directory;
  const bool read_whole = read.bytes && journal.Read(*read.bytes);
  if (read_whole && journal.By_Bytes()) return Recover_By_Bytes(journal, path, false, database_path, listed);
  // A journal of an earlier kind. The old user database still there: the
  // change never took, so every file goes back. Another one: the change
  // took, and every file follows it.
  const bool took = read_whole && journal.database_hash != Being_Undone &&
                    Database_Hash(database_path) != journal.database_hash;
  bool found = true;
  if (!read_whole || !journal.Safe_On_Disk() || (listed && !journal.Between_Listed_Users(*listed, took)) ||
      !journal.Agrees_With_Disk(found)) {
    const TFile_Fault fault = read.bytes ? TFile_Fault::Damaged : read.fault;
    const std::string aside = File_Must_Stay(fault) ? std::string() : Keep_File_Aside(path);
    std::string outcome = "files of users whose names were being changed may be under names beginning "
                          "\".quendar-move-\" in " + directory;
    outcome += aside.empty() ? ", and the file is left as it is" : ", and the file is kept as " + aside;
    const std::vector<std::string> hidden = Unrecorded_Files(directory, {});
    MessageBox(0,
               Unreadable_File_Message(path, fault, outcome) +
                   (hidden.empty() ? std::string()
                                   : "\nThese files are hidden under such names; they stay where they are:" +
                                         Listed(hidden, 32) + Unrecorded_Advice()),
               "WARNING", MB_OK | MB_ICONSTOP);
    return !aside.empty();
  }
  if (!found) {
    const std::vector<std::string> untold = journal.Find_Files_By_Name();
    if (!untold.empty()) {
      // Nothing may be guessed: every file stays, and the person learns where.
      const std::string aside = Keep_File_Aside(path);
      // Only the identities are seen to differ; whether a copy, a restore
      // or a program writing each file anew made them differ is not known.
      std::string text = "Unable to tell whose file is which in " + directory +
                         ": a change of users' names was cut short, and no file under its names is the very file it "
                         "noted. No file moves:";
      for (size_t i = 0; i < untold.size() && i < 8; ++i) text += "\n" + untold[i];
      if (untold.size() > 8) text += "\nand " + std::to_string(untold.size() - 8) + " more.";
      text += aside.empty() ? "\nThe record of the change " + path + " is left as it is."
                            : "\nThe record of the change is kept as " + aside + ".";
      MessageBox(0, text, "WARNING", MB_OK | MB_ICONSTOP);
      return !aside.empty();
    }
    // The files as they are now, should the moves be cut short.
    journal.Note_Progress();
  }
  const std::vector<Failed_Move> failed = took ? journal.Finish() : journal.Undo();
  journal.Sync();
  Kill_Point();
  const std::string disk_failing =
      "\n" + Sync_Failure_Text(directory) + "; the disk may be failing.";
  if (!failed.empty()) {
    // An undo cut short stays one, whatever user file is saved meanwhile.
    if (!took) {
      journal.database_hash = Being_Undone;
      journal.Note_Progress();
    }
    // The journal stays: the next start tries again to put every file with
    // its owner.
    MessageBox(0, Failed_Moves_Text(failed) + Failed_Moves_Advice(failed) +
                      (journal.sync_error != 0 ? disk_failing : ""),
               "WARNING", MB_OK | MB_ICONSTOP);
    return false;
  }
  Delete_File(path);
  journal.Sync();
  Kill_Point();
  if (journal.sync_error != 0)
    MessageBox(0, Sync_Failure_Text(directory) + "\nEvery user's files are under her name; the disk may be failing.",
               "WARNING", MB_OK | MB_ICONSTOP);
  return true;
}

std::vector<Rename_Journal::Way> Rename_Journal::Ways() const {
  std::vector<Way> ways;
  auto ending_at = [&](const std::string& name, const File_Fingerprint& bytes) -> Way* {
    for (Way& way : ways)
      if (!way.displaced && way.names.back() == name && way.bytes == bytes) return &way;
    return nullptr;
  };
  for (const Step& step : steps) {
    if (step.displaced) {
      ways.push_back({{step.from, step.to}, step.bytes, true, {}});
    } else if (Parking_Name(step.to)) {
      // A later change parking a file an earlier one brought to its name
      // carries it further on the same way.
      Way* way = Parking_Name(step.from) ? nullptr : ending_at(step.from, step.bytes);
      if (way != nullptr && way->names.size() > 2) way->names.push_back(step.to);
      else ways.push_back({{step.from, step.to}, step.bytes, false, step.whose});
    } else if (Way* way = ending_at(step.from, step.bytes)) {
      way->names.push_back(step.to);
    }
  }
  return ways;
}

// Where each way's file is (an index into its names; npos when it is at
// none of them): each name holds at most one file, and a way's file is a
// regular file of the very bytes noted, or a link leading where its link
// led (nothing in a folder that is not a real folder of the directory). As
// many files as can be are found; ways whose files have the same bytes may
// take each other's, for they are the same to everyone.
std::vector<size_t> Rename_Journal::Locate(const std::vector<Way>& ways, Claims* unsure) const {
  std::map<std::string, std::optional<File_Fingerprint>> seen;
  auto holds = [&](const Way& way, const std::string& name) {
    // A note of sampled blocks proves no file: nothing is read for it.
    if (!way.bytes.whole) return false;
    auto [entry, added] = seen.try_emplace(name);
    if (added && (name.find('/') == std::string::npos || Real_Folder(Folder_Of(directory + name))))
      entry->second = File_Fingerprint::Of(directory + name, way.bytes.earlier);
    return entry->second && way.bytes.Same_Bytes(*entry->second);
  };
  std::vector<size_t> at(ways.size(), std::string::npos);
  std::map<std::string, size_t> holder;  // name: the way found there
  // Finds a name for the way, moving others found earlier to other names
  // of theirs when that makes room (the augmenting paths of a matching).
  std::function<bool(size_t, std::set<std::string>&)> place = [&](size_t w, std::set<std::string>& tried) {
    for (size_t k = 0; k < ways[w].names.size(); ++k) {
      const std::string& name = ways[w].names[k];
      if (!tried.insert(name).second || !holds(ways[w], name)) continue;
      const auto there = holder.find(name);
      if (there != holder.end() && !place(there->second, tried)) continue;
      holder[name] = w;
      at[w] = k;
      return true;
    }
    return false;
  };
  for (size_t w = 0; w < ways.size(); ++w) {
    std::set<std::string> tried;
    place(w, tried);
  }
  if (unsure != nullptr) *unsure = Unproven(ways, at, holder);
  return at;
}

// What is under a name of a way whose file was not found, and is no file of
// the change: an older or newer copy of her file, a real edit, another
// child's file alike. Nothing shows whose it is: it stays where it is, each
// with every way whose file was under that name at some time (the ways not
// found first).
Rename_Journal::Claims Rename_Journal::Unproven(const std::vector<Way>& ways, const std::vector<size_t>& at,
                                                const std::map<std::string, size_t>& holder) const {
  Claims claims;
  for (size_t w = 0; w < ways.size(); ++w) {
    if (at[w] != std::string::npos) continue;
    for (const std::string& name : ways[w].names) {
      struct stat info;
      if (holder.count(name) != 0 || claims.count(name) != 0 || lstat((directory + name).c_str(), &info) != 0 ||
          (name.find('/') != std::string::npos && !Real_Folder(Folder_Of(directory + name))))
        continue;
      std::vector<size_t>& could_be = claims[name];
      for (const bool found : {false, true})
        for (size_t u = 0; u < ways.size(); ++u)
          if ((at[u] != std::string::npos) == found &&
              std::find(ways[u].names.begin(), ways[u].names.end(), name) != ways[u].names.end())
            could_be.push_back(u);
    }
  }
  return claims;
}

// Moves each file found to the end of its way (forward) or its start,
// straight to a free name; files waiting on each other's names (a swap)
// make room through a parking name of their own. Nothing is ever moved
// over a file, and a name held by something that is not a file of the
// change is a move that fails. `at` follows the files.
std::vector<Rename_Journal::Failed_Move> Rename_Journal::Carry(const std::vector<Way>& ways, std::vector<size_t>& at,
                                                               bool forward) {
  std::vector<Failed_Move> failed;
  std::vector<bool> stuck(ways.size(), false);
  auto destination = [&](size_t w) -> const std::string& {
    return forward ? ways[w].names.back() : ways[w].names.front();
  };
  auto home = [&](size_t w) { return at[w] == std::string::npos || ways[w].names[at[w]] == destination(w); };
  auto taken = [&](const std::string& name) {
    struct stat info;
    return lstat((directory + name).c_str(), &info) == 0;
  };
  auto move = [&](size_t w, const std::string& name) {
    const std::string from = directory + ways[w].names[at[w]], to = directory + name;
    errno = ENOTDIR;
    if (name.find('/') != std::string::npos && !Make_Aside_Folder(to)) {
      failed.push_back({from, to, errno});
      return false;
    }
    if (!Move(from, to, failed)) return false;
    if (ways[w].names[at[w]].find('/') != std::string::npos) rmdir(Folder_Of(from).c_str());
    at[w] = size_t(std::find(ways[w].names.begin(), ways[w].names.end(), name) - ways[w].names.begin());
    Kill_Point();
    return true;
  };
  for (size_t round = 0; round <= 2 * ways.size(); ++round) {
    bool progress = false;
    for (size_t w = 0; w < ways.size(); ++w) {
      if (home(w) || stuck[w] || taken(destination(w))) continue;
      if (move(w, destination(w))) progress = true;
      else stuck[w] = true;
    }
    if (progress) continue;
    // Every way left waits on a name another file of the change holds:
    // that file steps aside under a parking name of its way.
    for (size_t w = 0; w < ways.size() && !progress; ++w) {
      if (home(w) || stuck[w]) continue;
      for (size_t u = 0; u < ways.size() && !progress; ++u) {
        if (u == w || home(u) || stuck[u] || ways[u].names[at[u]] != destination(w) || Parking_Name(destination(w)))
          continue;
        for (const std::string& name : ways[u].names)
          if (Parking_Name(name) && !taken(name)) {
            if (move(u, name)) progress = true;
            else stuck[u] = true;
            break;
          }
      }
    }
    if (!progress) break;
  }
  // What is left waits on a name that something else holds; never under a
  // person's name, which would give it to her, but under a parking name of
  // its way.
  for (size_t w = 0; w < ways.size(); ++w) {
    if (home(w) || stuck[w]) continue;
    bool told = false;  // a move aside that failed says where the file is
    if (!User_File_Kind(ways[w].names[at[w]]).empty())
      for (const std::string& name : ways[w].names)
        if (Parking_Name(name) && !taken(name)) {
          told = !move(w, name);
          break;
        }
    if (!told) failed.push_back({directory + ways[w].names[at[w]], directory + destination(w), EEXIST});
  }
  // A folder made for a file in the way that did not go there, or came back.
  if (!forward)
    for (const Way& way : ways)
      if (way.displaced) rmdir(Folder_Of(directory + way.names[1]).c_str());
  return failed;
}

// Whatever is under a parking name or in a parking folder of the change
// once every file of it is home: no file of the change, left as it is.
std::vector<std::string> Rename_Journal::Strangers(const std::vector<Way>& ways) const {
  std::set<std::string> names;
  for (const Way& way : ways)
    for (const std::string& name : way.names)
      if (Parking_Name(name) || name.find('/') != std::string::npos) names.insert(name);
  std::vector<std::string> found;
  for (const std::string& name : names) {
    struct stat info;
    if (lstat((directory + name).c_str(), &info) == 0) found.push_back(directory + name);
  }
  return found;
}

// What is under a name of a way whose file was not found, and is no file
// of the change (another program put it there): it stays, named.
std::vector<std::string> Rename_Journal::Unknown_Files(const std::vector<Way>& ways, const std::vector<size_t>& at) const {
  std::set<std::string> held, names;
  for (size_t w = 0; w < ways.size(); ++w) {
    if (at[w] != std::string::npos) held.insert(ways[w].names[at[w]]);
    else names.insert(ways[w].names.begin(), ways[w].names.end());
  }
  std::vector<std::string> found;
  for (const std::string& name : names) {
    struct stat info;
    if (held.count(name) == 0 && lstat((directory + name).c_str(), &info) == 0) found.push_back(directory + name);
  }
  return found;
}

// Where a way's file is and where it was going: "<path>: was Ann.gal, to be
// Bob.gal", or, for a file not found, where it may have been at the cut.
std::string Rename_Journal::Way_Line(const Way& way, size_t at) const {
  if (!way.whose.empty()) return Whose_Line(way, at);
  const std::string going = way.displaced ? "no user's file, to go to the trash" : "to be " + way.names.back();
  if (at != std::string::npos) return directory + way.names[at] + ": was " + way.names.front() + ", " + going;
  std::string line = way.names.front() + " (" + going + "): not found; it was ";
  const std::vector<std::string> was = Names_At_Cut(way);
  for (size_t i = 0; i < was.size(); ++i) line += (i == 0 ? "" : " or ") + directory + was[i];
  return line;
}

// Where a way's file is, named by whose it is as people are called now:
// "<path>, which is Cy's gallery, Cy.gal"; when the way it went was never
// decided, every person it could be.
std::string Rename_Journal::Whose_Line(const Way& way, size_t at) const {
  const std::string kind = User_File_Kind(way.names.front());
  std::string whose = way.whose.size() == 1 ? "which is " : "whose it is cannot be told: it could be ";
  for (size_t k = 0; k < way.whose.size(); ++k) whose += (k == 0 ? "" : " or ") + Described(way.whose[k] + kind);
  if (at != std::string::npos) return directory + way.names[at] + ", " + whose;
  std::string line = "A file " + whose + ": not found; it was ";
  const std::vector<std::string> was = Names_At_Cut(way);
  for (size_t i = 0; i < was.size(); ++i) line += (i == 0 ? "" : " or ") + directory + was[i];
  return line;
}

namespace {

// A name beginning with a dot, or in a folder of such a name.
bool Hidden_Name(const std::string& name) { return Parking_Name(name) || name.find('/') != std::string::npos; }

// A user's file, not a name of the change only.
bool Users_Name(const std::string& name) { return !User_File_Kind(name).empty(); }

}  // namespace

// The names the way's file may have had when the change was cut: the one
// the last move noted as made took it to, and the next when that move may
// have been made before its note; once an undo began, those before too.
std::vector<std::string> Rename_Journal::Names_At_Cut(const Way& way) const {
  size_t last = 0;
  bool next_too = false;
  for (size_t k = 1; k < way.names.size(); ++k) {
    const auto step = std::find_if(steps.begin(), steps.end(), [&](const Step& s) {
      return s.from == way.names[k - 1] && s.to == way.names[k] && s.bytes == way.bytes;
    });
    const size_t i = size_t(step - steps.begin());
    if (i >= done) {
      next_too = i == done && i < steps.size();
      break;
    }
    last = k;
  }
  std::vector<std::string> names;
  if (next_too) names.push_back(way.names[last + 1]);
  for (size_t k = last + 1; k-- > (course == Course::Back ? 0 : last);) names.push_back(way.names[k]);
  // A hidden name first: the likelier place of a file not found.
  std::stable_partition(names.begin(), names.end(), Hidden_Name);
  return names;
}

// Whose a way's file is, by the name it belongs under now: "Bob's gallery,
// Bob.gal"; a file in the way belongs to no user, whatever its name.
std::string Rename_Journal::Whose(const Way& way, bool forward) const {
  if (way.displaced) return "the file " + way.names.front() + " of no user";
  return Described(forward ? way.names.back() : way.names.front());
}

// A file the start looked for in vain, by the name it belongs under now,
// and where it may have been: "Bob's gallery, Bob.gal: it was D/.quendar-move-…".
// A place that holds a file the box tells elsewhere (`told`, paths) is not
// named here, so that no path is told both as empty and as holding a file.
std::string Rename_Journal::Missing_Line(const Way& way, bool forward, const std::set<std::string>& told) const {
  std::string line = Whose(way, forward) + ": it was ";
  line[0] = char(std::toupper(static_cast<unsigned char>(line[0])));
  std::vector<std::string> was = Names_At_Cut(way);
  std::erase_if(was, [&](const std::string& name) { return told.count(directory + name) != 0; });
  if (was.empty()) return line + "under a name that now holds another file, told below";
  for (size_t i = 0; i < was.size(); ++i) line += (i == 0 ? "" : " or ") + directory + was[i];
  return line;
}

namespace {

std::string Kept_Text(const std::string& path, const std::string& aside) {
  return aside.empty() ? "\nThe record of the change " + path + " is left as it is."
                       : "\nThe record of the change is kept as " + aside + ".";
}

// Files under names of the change that its notes do not prove to be any of
// its files (another program may have written them, or an earlier program
// noted too little), each of which could be more than one person's (a line
// for each).
std::string Unsure_Text(const std::vector<std::string>& lines) {
  return "These files under names of a change of users' names are not known by their bytes as files it moved, and "
         "Quendar cannot tell whose each one is: they stay under the names they have now:" +
         Listed(lines);
}

// What the teacher can do about them: give each file a name it could have
// to see it in the program, look at whose drawings each holds, and give
// each its owner's name, through spare names when names are taken.
// `owners` holds a user's name of each file's way: the kind of file it is.
std::string Unsure_Advice(const std::string& directory, const std::vector<std::string>& names,
                          const std::vector<std::string>& owners) {
  std::vector<std::string> kinds;
  bool hidden = false;
  for (const std::string& name : names) hidden |= User_File_Kind(name).empty();
  for (const std::string& name : owners) {
    const std::string kind = User_File_Kind(name);
    if (kind.empty()) continue;
    const std::string words = kind == ".gal" ? "galleries" : Kind_Words(kind);
    if (std::find(kinds.begin(), kinds.end(), words) == kinds.end()) kinds.push_back(words);
  }
  std::string text = kinds.empty() ? "files" : "";
  for (size_t i = 0; i < kinds.size(); ++i) text += (i == 0 ? "" : " and ") + kinds[i];
  if (!hidden)
    return "\nTo give each person her own: open these people's " + text + " and note whose each one is; then close "
           "Quendar and, in " + directory + ", first give each of these files a spare name (put \"old \" before it), "
           "then give each the name of its owner's file; then start Quendar again.";
  // A hidden file is seen only under a person's name, and every name it
  // could have may be taken by another of these files: the spare names
  // come first, so that each step can be taken when its turn comes.
  return "\nTo give each person her own: close Quendar and, in " + directory +
         ", first give each of these files a spare name (put \"old \" before it; names beginning with a dot are "
         "hidden: show hidden files to see them). Then, one file at a time, give it the name of one of the people it "
         "could be who has no such file, start Quendar, open that person's " + text + " and note whose the file is, "
         "close Quendar and give the file back its spare name. Last, give each of these files the name of its owner's "
         "file, and start Quendar again.";
}

}  // namespace

// Whether a file whose owner cannot be told lies where no one would look
// for it as hers: under a hidden name, a name no listed user has, or the
// name of a person it could not be (after the change as it went).
bool Rename_Journal::Out_Of_Place(const std::string& name, const std::vector<Way>& ways,
                                  const std::vector<size_t>& could_be, bool forward,
                                  const std::optional<std::vector<std::string>>& listed) {
  if (!Users_Name(name)) return true;
  const std::string owner = Owner_Of(name);
  if (listed && std::find(listed->begin(), listed->end(), owner) == listed->end()) return true;
  return std::none_of(could_be.begin(), could_be.end(), [&](size_t w) {
    return !ways[w].displaced && Owner_Of(forward ? ways[w].names.back() : ways[w].names.front()) == owner;
  });
}


std::string Rename_Journal::Disk_Failing_Text() const {
  return sync_error != 0 ? "\n" + Sync_Failure_Text(directory) + "; the disk may be failing." : std::string();
}

std::string Rename_Journal::Trashed_Text(const Recovery& r) {
  return r.trashed.empty() ? std::string()
                           : "\nThese files of no user were in the way of renamed users' files, and are in the trash "
                             "now (from where they can be brought back):" + Listed(r.trashed);
}

std::string Rename_Journal::Unsure_Box_Text(const Recovery& r) const {
  return r.unsure_lines.empty()
             ? std::string()
             : "\n" + Unsure_Text(r.unsure_lines) + Unsure_Advice(directory, r.unsure_names, r.unsure_owners);
}

// What would not move, what no one can tell whose it is and what went to
// the trash; empty when there is none.
std::string Rename_Journal::Failed_And_Unsure_Text(const Recovery& r) const {
  const std::string text =
      (r.failed.empty() ? std::string() : "\n" + Failed_Moves_Text(r.failed) + Failed_Moves_Advice(r.failed)) +
      Unsure_Box_Text(r) + Trashed_Text(r);
  return text.empty() ? text : text.substr(1);
}

// Files hidden under names of the change since a start kept its record
// while the user file was none it knew: each line says whose each one was
// before the change, or, noted when a later change renamed its people,
// whose it is as people are called now.
std::string Rename_Journal::Hidden_Since_Text(const Recovery& r, const std::vector<std::string>& lines) const {
  bool noted = false, unsure_whose = false;
  for (size_t w = 0; w < r.ways.size(); ++w) {
    if (r.at[w] == std::string::npos || !Hidden_Name(r.ways[w].names[r.at[w]])) continue;
    noted |= !r.ways[w].whose.empty();
    unsure_whose |= r.ways[w].whose.size() > 1;
  }
  const std::string whose_now =
      noted ? "give each of these files whose owner its line names the name of its owner's file, if she has no such file" +
                  std::string(unsure_whose ? "; one that could be more than one person's, the name of one of them "
                                             "who has no such file: start Quendar again, open it to see whose it "
                                             "is, then close Quendar and give it its owner's name"
                                           : "")
            : "give each of these files the name of the same kind of file of the person whose it is now (each "
              "line says whose it was before the change), if she has no such file";
  return "These files of a change of users' names that was cut short are hidden in " + directory +
         (noted ? std::string()
                : ", and the user file " + r.database_path +
                      " no longer tells whose each one is (names were changed since, or the file was replaced)") +
         ": they stay where they are:" + Listed(lines, 32) +
         "\nTo give each person her own: close Quendar, show hidden files (names beginning with a dot are hidden) "
         "and " + whose_now + "; then start Quendar again.";
}

// A change cut short whose user file is none it knew, or does not match
// the folder: where each file is and where it was going, and what puts
// each home.
std::string Rename_Journal::Undecided_Text(const Recovery& r, const std::vector<std::string>& lines,
                                           const std::vector<std::string>& not_folders,
                                           const std::string& aside) const {
  const bool neither = !r.as_before && !r.as_written;
  const std::string why = r.now == "none" ? " is gone"
                          : neither       ? " is neither the one it began from nor the one it wrote (it was restored "
                                            "or replaced since)"
                                          : " does not match the folder as the change left it";
  const std::string advice =
      neither ? "\nTo give each person her files, bring back the user file " + r.database_path +
                    " as it was when the change was cut short (from a backup, or from wherever it went), then start "
                    "Quendar again: each file goes to its owner."
      : not_folders.empty()
          ? "\nTo give each person her files, bring back the user file " + r.database_path +
                " as it was when the change was cut short, then start Quendar again: each file goes to its owner."
          : "\nTo give each person her files, close Quendar, move" + Listed(not_folders) +
                "\nout of the folder (names beginning with a dot are hidden: show hidden files to see them; the "
                "change made no such file), then start Quendar again: each file goes to its owner.";
  return "A change of users' names in " + directory + " was cut short, and the user file " + r.database_path + why +
         ": no file moves. Where each file of the change is, and where it was going:" + Listed(lines, 32) + advice +
         Kept_Text(r.path, aside);
}

// Files of the change not in the folder: where each was (`lines`), what
// else stands under its names, and how to give them back. Why they are gone
// the start cannot see (a copy that left hidden names behind, a person or
// program that moved or deleted them): its advice holds whatever happened.
std::string Rename_Journal::Missing_Text(const Recovery& r, const std::vector<std::string>& lines,
                                         const std::vector<std::string>& unknown, const std::string& aside) const {
  std::string text = "Files of users whose names were being changed are not in " + directory +
                     ", where the change left them. Where each file was:" + Listed(lines, 32);
  if (!unknown.empty())
    text += "\nThese files have names the change used, but none is a file it moved; each stays as it is:" +
            Listed(unknown);
  if (!r.unsure_lines.empty()) text += "\n" + Unsure_Text(r.unsure_lines);
  text += r.failed.empty() ? "\nEvery other file of the change is with its owner." : "\n" + Failed_Moves_Text(r.failed);
  text += Trashed_Text(r);
  text += "\nTo give them back, bring each of these files back into " + directory +
          " under the same name, from where it went (the trash, another folder, or a copy or backup of this folder) "
          "(names beginning with a dot are hidden: show hidden files to see them), then start Quendar again: each "
          "file goes to its owner.";
  if (!r.unsure_lines.empty()) text += Unsure_Advice(directory, r.unsure_names, r.unsure_owners);
  return text + Kept_Text(r.path, aside) + Disk_Failing_Text();
}

// Files no one can tell whose they are, some out of place: told at every
// start until each is where it belongs.
std::string Rename_Journal::Until_Home_Text(const Recovery& r, const std::string& aside) const {
  return Unsure_Text(r.unsure_lines) + "\nEvery other file of the change is with its owner." +
         Unsure_Advice(directory, r.unsure_names, r.unsure_owners) +
         "\nEach start names these files until each is where it belongs." + Trashed_Text(r) +
         (r.retry ? std::string() : Kept_Text(r.path, aside)) + Disk_Failing_Text();
}

// Every file home, or under the name of a person whose it could be: those
// (told once: a later start told them already), what went to the trash and
// what else is under names of the change; empty when nothing needs saying.
std::string Rename_Journal::Finished_Text(const Recovery& r, const std::vector<std::string>& strangers) const {
  const std::string told_text =
      (r.unsure_lines.empty() || r.retry ? std::string()
                                         : "\n" + Unsure_Text(r.unsure_lines) +
                                               "\nEvery other file of the change is with its owner." +
                                               Unsure_Advice(directory, r.unsure_names, r.unsure_owners)) +
      Trashed_Text(r);
  std::string text = told_text.empty() ? std::string() : told_text.substr(1);
  const std::string all_home = r.unsure_lines.empty() ? "Every user's files are under her name" : "";
  if (!strangers.empty())
    text += (text.empty() ? "" : "\n") + (all_home.empty() ? std::string() : all_home + ". ") +
            "What is under these names of the change is no user's file, and stays as it is:" + Listed(strangers);
  if (sync_error != 0)
    text += (text.empty() ? "" : "\n") + Sync_Failure_Text(directory) + "\n" +
            (all_home.empty() ? std::string("The disk may be failing.") : all_home + "; the disk may be failing.");
  return text;
}

// Files no one can tell whose they are, some out of place: the record is
// kept (or stays) where each start looks at it, and each start names them
// until each is home by its bytes or the person has moved it.
bool Rename_Journal::Tell_Until_Home(Recovery& r) {
  std::string aside = r.path;
  if (!r.retry) {
    course = r.course;
    Note_Progress();
    aside = Keep_File_Aside(r.path, Unsure_Word);
  }
  MessageBox(0, Until_Home_Text(r, aside), "WARNING", MB_OK | MB_ICONSTOP);
  return r.retry || !aside.empty();
}

// The user file decides: as before the change, the files go back; as the
// change wrote it, they go on; any other, nothing is guessed. A way decided
// earlier holds while the user file is the one the program saved last with
// it (Follow_Saved): a journal saying so of another file was not left by
// the program.
void Rename_Journal::Decide_Course(Recovery& r) const {
  r.now = Database_Hash(r.database_path);
  r.as_before = r.now == database_hash;
  r.as_written = saved_hash != "none" && r.now == saved_hash;
  r.course = course == Course::Back ? (r.as_before ? Course::Back : Course::Undecided)
             : course == Course::On ? (r.as_written ? Course::On : Course::Undecided)
             : r.as_before          ? Course::Back
             : r.as_written         ? Course::On
                                    : Course::Undecided;
  if (r.course != Course::Undecided &&
      (!Safe_On_Disk() || (r.listed && !Between_Listed_Users(*r.listed, r.course == Course::On))))
    r.course = Course::Undecided;
}

// A record kept while the user file was none the change knew was told at
// the start that kept it: later starts tell only files hidden under names
// of the change (brought back since), which no one else would.
bool Rename_Journal::Tell_Hidden_Since(const Recovery& r) const {
  std::vector<std::string> lines;
  for (size_t w = 0; w < r.ways.size(); ++w)
    if (r.at[w] != std::string::npos && Hidden_Name(r.ways[w].names[r.at[w]]))
      lines.push_back(Way_Line(r.ways[w], r.at[w]));
  if (!lines.empty()) MessageBox(0, Hidden_Since_Text(r, lines), "WARNING", MB_OK | MB_ICONSTOP);
  return true;
}

// Kept where each later start looks again: once the user file is one the
// change knows, each file goes to its owner.
bool Rename_Journal::Keep_Undecided(const Recovery& r) const {
  std::vector<std::string> lines;
  for (size_t w = 0; w < r.ways.size(); ++w) lines.push_back(Way_Line(r.ways[w], r.at[w]));
  const std::string aside = Keep_File_Aside(r.path, Kept_Word);
  // Not a folder the change made where a file in the way was to wait: it
  // goes, and the change can go on.
  std::vector<std::string> not_folders;
  for (const Step& step : steps) {
    const std::string folder = directory + Folder_Of(step.to);
    if (step.displaced && !Real_Folder(folder) && File_Exists(folder) &&
        std::find(not_folders.begin(), not_folders.end(), folder) == not_folders.end())
      not_folders.push_back(folder);
  }
  MessageBox(0, Undecided_Text(r, lines, not_folders, aside), "WARNING", MB_OK | MB_ICONSTOP);
  return !aside.empty();
}

// A file no user had goes to the trash once the change stands.
void Rename_Journal::Trash_Strays(Recovery& r) const {
  for (size_t w = 0; w < r.ways.size(); ++w) {
    const Way& way = r.ways[w];
    if (!way.displaced || r.at[w] == std::string::npos) continue;
    if (r.Forward() && way.names[r.at[w]] == way.names.back() &&
        Recycle_Aside(directory + way.names[r.at[w]], directory + way.names.front()))
      r.trashed.push_back(directory + way.names.front());
  }
}

// Each file no one can tell whose it is, by where it is and every person
// whose it could be; a way not found whose file could be one of them is not
// missing: a file is there, under a name no one can tell whose it is. A file
// known to be hers that waits on a name holding one of those stays too,
// told with them, for the person to put right with them.
void Rename_Journal::Name_Unsure(Recovery& r) const {
  r.undecided.assign(r.ways.size(), false);
  for (const auto& [name, claimants] : r.unsure) {
    r.unsure_names.push_back(name);
    r.misplaced |= Out_Of_Place(name, r.ways, claimants, r.Forward(), r.listed);
    std::vector<std::string> whose;
    bool of_one_not_found = false;
    for (const size_t w : claimants) {
      of_one_not_found |= r.at[w] == std::string::npos;
      if (r.at[w] == std::string::npos) r.undecided[w] = true;
      r.unsure_owners.push_back(r.ways[w].names.front());
      const std::string one = Whose(r.ways[w], r.Forward());
      if (std::find(whose.begin(), whose.end(), one) == whose.end()) whose.push_back(one);
    }
    r.unsure_files += of_one_not_found;
    std::string line = directory + name + ", which could be ";
    for (size_t k = 0; k < whose.size(); ++k) line += (k == 0 ? "" : " or ") + whose[k];
    r.unsure_lines.push_back(line);
  }
  for (size_t w = 0; w < r.ways.size(); ++w) {
    const std::string& destination = r.Forward() ? r.ways[w].names.back() : r.ways[w].names.front();
    if (r.at[w] == std::string::npos || r.ways[w].names[r.at[w]] == destination || r.unsure.count(destination) == 0)
      continue;
    const std::string there = directory + r.ways[w].names[r.at[w]];
    std::erase_if(r.failed, [&](const Failed_Move& move) { return move.at == there; });
    r.unsure_names.push_back(r.ways[w].names[r.at[w]]);
    r.unsure_owners.push_back(r.ways[w].names.front());
    r.misplaced = true;
    r.unsure_lines.push_back(there + ", which is " + Whose(r.ways[w], r.Forward()) + ", whose name another of them has");
  }
}

// The ways whose file is nowhere. Fewer files no one can tell whose they
// are than ways they could be: some way's file is not here at all (gone
// from the folder), and whose cannot be told: each of those ways is
// missing, as when its file is found nowhere. A record kept for files no
// one could tell whose they are told them at the start that kept it: a way
// whose file is no longer there is one the person has moved. A file no user
// had, once the change stands, is in the trash already.
void Rename_Journal::Find_Missing(Recovery& r) const {
  if (size_t(std::count(r.undecided.begin(), r.undecided.end(), true)) > r.unsure_files)
    r.undecided.assign(r.ways.size(), false);
  const bool told_before = Kept_With(r.path.substr(r.path.rfind('/') + 1), Unsure_Word);
  for (size_t w = 0; w < r.ways.size(); ++w)
    if (r.at[w] == std::string::npos && !r.undecided[w] && !told_before && !(r.Forward() && r.ways[w].displaced))
      r.missing.push_back(w);
}

// Kept until the person brings the missing files back: each later start
// looks for them again, and puts each one home once it is there. A later
// start says only what became of the files that are here.
bool Rename_Journal::Keep_For_Missing(Recovery& r) {
  if (r.retry) {
    const std::string text = Failed_And_Unsure_Text(r);
    if (!text.empty()) MessageBox(0, text, "WARNING", MB_OK | MB_ICONSTOP);
    return true;
  }
  std::vector<std::string> unknown = Unknown_Files(r.ways, r.at);
  std::erase_if(unknown, [&](const std::string& there) { return r.unsure.count(there.substr(directory.size())) != 0; });
  // Each path is told once, in the list that says what is there.
  std::set<std::string> told(unknown.begin(), unknown.end());
  for (const std::string& name : r.unsure_names) told.insert(directory + name);
  for (const Failed_Move& move : r.failed) told.insert(move.at);
  // Where each was at the cut, read before the course is noted.
  std::vector<std::string> lines;
  for (const size_t w : r.missing) lines.push_back(Missing_Line(r.ways[w], r.Forward(), told));
  course = r.course;
  Note_Progress();
  const std::string aside = Keep_File_Aside(r.path, Missing_Word);
  MessageBox(0, Missing_Text(r, lines, unknown, aside), "WARNING", MB_OK | MB_ICONSTOP);
  return !aside.empty();
}

// The way decided stays, whatever user file is saved meanwhile; each file
// waits on a name another file holds, and comes home once it goes.
bool Rename_Journal::Keep_For_Failed(Recovery& r) {
  if (!r.retry) {
    course = r.course;
    Note_Progress();
  }
  MessageBox(0, Failed_And_Unsure_Text(r), "WARNING", MB_OK | MB_ICONSTOP);
  return r.retry;
}

// Every file of the change is home, or under the name of a person whose it
// could be, which stays as it is: the record goes.
bool Rename_Journal::Finish_Told(Recovery& r) {
  Delete_File(r.path);
  Sync();
  Kill_Point();
  std::vector<std::string> strangers = Strangers(r.ways);
  std::erase_if(strangers, [&](const std::string& there) {
    const std::string name = there.substr(directory.size());
    return std::find(r.unsure_names.begin(), r.unsure_names.end(), name) != r.unsure_names.end();
  });
  const std::string text = Finished_Text(r, strangers);
  if (!text.empty()) MessageBox(0, text, "WARNING", MB_OK | MB_ICONSTOP);
  return true;
}

bool Rename_Journal::Recover_By_Bytes(Rename_Journal& journal, const std::string& path, bool retry,
                                      const std::string& database_path,
                                      const std::optional<std::vector<std::string>>& listed) {
  Recovery r;
  r.path = path;
  r.retry = retry;
  r.database_path = database_path;
  r.listed = listed;
  journal.Decide_Course(r);
  r.ways = journal.Ways();
  r.at = journal.Locate(r.ways, &r.unsure);
  if (r.course == Course::Undecided) return retry ? journal.Tell_Hidden_Since(r) : journal.Keep_Undecided(r);
  r.failed = journal.Carry(r.ways, r.at, r.Forward());
  journal.Trash_Strays(r);
  journal.Sync();
  Kill_Point();
  journal.Name_Unsure(r);
  journal.Find_Missing(r);
  if (!r.missing.empty()) return journal.Keep_For_Missing(r);
  if (!r.failed.empty()) return journal.Keep_For_Failed(r);
  if (r.misplaced) return journal.Tell_Until_Home(r);
  return journal.Finish_Told(r);
}


// Journals kept aside while files they noted were missing, or while the
// user file was none the change knew: each file the person has brought back
// since goes home (the user file too), and a journal whose files are all
// home is deleted. Nothing is told unless a file would not move.
void Rename_Journal::Retry_Missing(const std::string& directory, const std::string& database_path,
                                   const std::optional<std::vector<std::string>>& listed) {
  std::vector<std::string> kept, unreadable;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(directory, error))
    for (const char* word : {Missing_Word, Kept_Word, Unsure_Word})
      if (Kept_With(entry.path().filename().string(), word)) kept.push_back(entry.path().string());
  std::sort(kept.begin(), kept.end());
  std::set<std::string> recorded;  // names of the records read
  for (const std::string& path : kept) {
    const std::optional<std::vector<uint8_t>> bytes = Read_Regular_File(path, Largest_Journal);
    Rename_Journal journal;
    journal.directory = directory;
    if (!bytes || !journal.Read(*bytes) || !journal.By_Bytes()) {
      unreadable.push_back(path);
      continue;
    }
    for (const Step& step : journal.steps)
      for (const std::string& name : {step.from, step.to}) recorded.insert(name.substr(0, name.find('/')));
    Recover_By_Bytes(journal, path, true, database_path, listed);
  }
  Tell_Unrecorded(directory, recorded, unreadable);
}

// Every entry of the directory under a parking name (a folder's entries
// one by one) that none of the names given is: hidden there by a change
// whose record cannot be read.
std::vector<std::string> Rename_Journal::Unrecorded_Files(const std::string& directory,
                                                          const std::set<std::string>& recorded) {
  std::vector<std::string> found;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(directory, error)) {
    const std::string name = entry.path().filename().string();
    if (!Parking_Name(name) || recorded.count(name) != 0) continue;
    std::error_code not_folder;
    if (entry.is_directory(not_folder) && !entry.is_symlink(not_folder)) {
      for (const auto& inner : std::filesystem::directory_iterator(entry.path(), not_folder))
        found.push_back(inner.path().string());
    } else {
      found.push_back(entry.path().string());
    }
  }
  std::sort(found.begin(), found.end());
  return found;
}

// Files hidden by a change of names whose record is damaged, refused or
// gone: nothing may be guessed of whose each is, and each start names them
// with what the person can do, until she has moved them.
void Rename_Journal::Tell_Unrecorded(const std::string& directory, const std::set<std::string>& recorded,
                                     const std::vector<std::string>& unreadable) {
  const std::vector<std::string> files = Unrecorded_Files(directory, recorded);
  if (files.empty()) return;
  std::string text = "These files are hidden in " + directory +
                     " under names a change of users' names gives files while they move, and no record Quendar can "
                     "read says whose each one is; they stay where they are:" + Listed(files, 32);
  if (!unreadable.empty())
    text += "\nThese records of changes of users' names cannot be read:" + Listed(unreadable);
  text += Unrecorded_Advice();
  MessageBox(0, text, "WARNING", MB_OK | MB_ICONSTOP);
}

std::string Rename_Journal::Unrecorded_Advice() {
  return "\nTo give each person her own: close Quendar, show hidden files (names beginning with a dot are hidden), "
         "and give each of these files a name of the same kind of file (ending in .gal for a gallery, .clr for colour "
         "cycles, \", level 4.man\" for level 4 manipulators) of a user who has no such file; start Quendar again and "
         "open it to see whose it is; then close Quendar and give it its owner's name. Each start names these files "
         "until none is left under such a name.";
}

// The steps of the people a later change renamed, with every step that
// shares a person or a name of the change with theirs (touched), or the
// others; `done` counted again among those kept.
Rename_Journal Rename_Journal::Part(const std::set<std::string>& renamed, bool touched) const {
  std::map<std::string, std::string> parent;
  std::function<std::string(const std::string&)> root = [&](const std::string& node) {
    const auto up = parent.find(node);
    return up == parent.end() || up->second == node ? node : parent[node] = root(up->second);
  };
  // A person stands for all her files; a file in the way for its folder.
  auto node = [](const std::string& name) {
    return Users_Name(name) ? "user " + Owner_Of(name) : "name " + name.substr(0, name.find('/'));
  };
  for (const Step& step : steps) parent[root(node(step.from))] = root(node(step.to));
  std::set<std::string> roots;
  for (const std::string& user : renamed) roots.insert(root("user " + user));
  Rename_Journal part = *this;
  part.steps.clear();
  part.done = 0;
  for (size_t i = 0; i < steps.size(); ++i) {
    if ((roots.count(root(node(steps[i].from))) != 0) != touched) continue;
    part.steps.push_back(steps[i]);
    if (i < done) ++part.done;
  }
  return part;
}

// Notes on the step parking each user's file whose it is now: once the way
// was decided, the person at its end (its start, going back); else anyone
// at either end; a note made before stands. Each by the name `names_now`
// gives her.
void Rename_Journal::Note_Whose(const std::map<std::string, std::string>& names_now) {
  // A record of the sampled kind is kept in its own kind, which has no room
  // for it: its boxes say whose each file was before the change.
  if (version < 4) return;
  for (const Way& way : Ways()) {
    if (way.displaced) continue;
    std::vector<std::string> was = way.whose;
    if (was.empty() && course != Course::On) was.push_back(Owner_Of(way.names.front()));
    if (was.empty() || (course == Course::Undecided && way.whose.empty())) was.push_back(Owner_Of(way.names.back()));
    std::vector<std::string> now;
    for (const std::string& person : was) {
      const auto renamed = names_now.find(person);
      const std::string name = renamed == names_now.end() ? person : renamed->second;
      if (std::find(now.begin(), now.end(), name) == now.end()) now.push_back(name);
    }
    for (Step& step : steps)
      if (step.from == way.names[0] && step.to == way.names[1] && step.bytes == way.bytes) step.whose = now;
  }
  version = 5;
}

// A journal whose way is decided, left on disk for a later start, follows
// each user file the program saves meanwhile: it notes the file as the one
// its way goes with.
void Rename_Journal::Follow_Saved(const std::string& directory, const std::string& hash, bool own_too,
                                  const std::set<std::string>& renamed,
                                  const std::map<std::string, std::string>& names_now) {
  const std::string own_path = File_Path(directory);
  std::vector<std::string> kept;
  if (own_too) kept.push_back(own_path);
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(directory, error))
    if (Kept_With(entry.path().filename().string(), Missing_Word) ||
        Kept_With(entry.path().filename().string(), Unsure_Word) ||
        Kept_With(entry.path().filename().string(), Kept_Word))
      kept.push_back(entry.path().string());
  for (const std::string& path : kept) {
    const std::optional<std::vector<uint8_t>> bytes = Read_Regular_File(path, Largest_Journal);
    Rename_Journal journal;
    if (!bytes || !journal.Read(*bytes) || !journal.By_Bytes()) continue;
    journal.directory = directory;
    if (journal.course == Course::Undecided) {
      // It follows no user file, but its notes of whose each file is
      // follow the people it names as they are renamed.
      const bool noted = std::any_of(journal.steps.begin(), journal.steps.end(),
                                     [](const Step& step) { return !step.whose.empty(); });
      const bool touched = noted ? std::any_of(journal.steps.begin(), journal.steps.end(), [&](const Step& step) {
        return std::any_of(step.whose.begin(), step.whose.end(),
                           [&](const std::string& person) { return names_now.count(person) != 0; });
      })
                                 : !journal.Part(renamed, true).steps.empty();
      if (touched) {
        journal.Note_Whose(names_now);
        Write_File_Atomically(path, journal.Bytes());
      }
      continue;
    }
    // A new change of any of its users' names: its moves would take their
    // files where those names no longer lead. It follows no file since, and
    // goes only with a user file it knows (brought back, or the names
    // changed back).
    // A record kept aside parts: the ways of people whose names the change
    // left alone follow still (their files go home once brought back), and
    // the others are kept on their own, following nothing.
    Rename_Journal touched = journal.Part(renamed, true), untouched = journal.Part(renamed, false);
    // Whose each file of theirs is, told by the names people have now.
    touched.Note_Whose(names_now);
    const bool own = path == own_path;
    if (touched.steps.empty() || (!own && !untouched.steps.empty())) {
      if (!touched.steps.empty()) {
        // Written first: a cut before the rest is written leaves the whole
        // record following a user file no longer there, which moves nothing.
        touched.course = Course::Undecided;
        const std::string stamp = path.substr(path.find('-', own_path.size()) + 1);
        Write_Under_Free_Name(own_path + "." + Kept_Word + "-" + stamp, touched.Bytes());
      }
      journal = untouched;
      (journal.course == Course::Back ? journal.database_hash : journal.saved_hash) = hash;
    } else {
      journal.Note_Whose(names_now);
      journal.course = Course::Undecided;
    }
    Write_File_Atomically(path, journal.Bytes());
  }
}
