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
#include "users/rename_journal_parts.h"

using namespace rename_parts;

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

// Larger than any user database file (whose reader refuses more).
constexpr size_t Largest_Database = 8 << 20;

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
