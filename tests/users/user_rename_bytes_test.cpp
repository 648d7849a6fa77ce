// Files of a change of names found again by their bytes: a change or its
// undo killed at any point, then the folder copied, restored in place from
// an archive (the files getting each other's inodes) or left as it is; a
// copy that leaves the names beginning with a dot behind; a user file
// replaced after a cut change; files and links placed by hand under the
// change's parking names. Every check is by content: each person's files
// carry her own bytes.
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <functional>
#include <map>
#include <optional>
#include <regex>
#include <set>
#include <tuple>

#include "platform/system/atomic_file.h"
#include "tests/platform/system/root_only_cases.h"
#include "tests/platform/system/unmovable_file.h"
#include "tests/users/users_fixture.h"
#include "users/gallery_file.h"
#include "users/held_gallery_note.h"

namespace {

constexpr const char* Suffixes[] = {".gal", ", level 4.man", ", level 5.man", ".clr"};

enum class Bytes {
  Own,       // each file its owner's marker
  Same_Clr,  // every colour cycle file the same bytes
  Large,     // 256 KiB each, alike but for the owner's marker far from the sampled blocks
  Real,      // as a child's folder is: galleries sharing the demonstration drawings and
             // differing in one, colour cycles a colour apart, manipulators a byte apart
};

struct People {
  const char* what;
  std::vector<std::string> users;  // points = place + 1; the first is current
  std::vector<std::pair<std::string, std::string>> renames;
  Bytes bytes;
};

const People Swap = {"a swap", {"Ann", "Bob"}, {{"Ann", "Zed"}, {"Bob", "Ann"}, {"Zed", "Bob"}}, Bytes::Own};
const People Cases[] = {
    Swap,
    {"a three-way rotation with the same colour cycles", {"Ann", "Bob", "Cy"},
     {{"Ann", "X"}, {"Bob", "Ann"}, {"Cy", "Bob"}, {"X", "Cy"}}, Bytes::Same_Clr},
    {"a swap of files alike but for one unsampled block", {"Ann", "Bob"},
     {{"Ann", "Zed"}, {"Bob", "Ann"}, {"Zed", "Bob"}}, Bytes::Large},
    {"a swap of a child's real files", {"Ann", "Bob"}, {{"Ann", "Zed"}, {"Bob", "Ann"}, {"Zed", "Bob"}}, Bytes::Real},
};

// A drawing of a gallery: 4 KiB drawn from the seed.
std::string Drawing(int seed) {
  std::string bytes(4096, '\0');
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = char((i * 31 + size_t(seed) * 977) >> 3);
  return bytes;
}

// A child's files as the program writes them: every gallery holds the 12
// demonstration drawings and one of her own; colour cycles are 75 colours
// (225 bytes), hers differing in one; her manipulators in a byte.
std::string Real_Content(const std::string& owner, const std::string& suffix) {
  const int own = owner[0] * 7 + int(owner.size());
  if (suffix == ".gal") {
    std::string bytes = "GALLERY 13\n";
    for (int i = 0; i < 12; ++i) bytes += Drawing(i);
    return bytes + Drawing(100 + own);
  }
  if (suffix == ".clr") {
    std::string bytes(225, '\0');
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = char(i * 5);
    bytes[size_t(own % 75) * 3] = char(own);
    return bytes;
  }
  std::string bytes(180, '\0');
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = char(i + uint8_t(suffix[8]));
  bytes[97] = char(own);
  return bytes;
}

std::string Content(const People& p, const std::string& owner, const std::string& suffix) {
  if (p.bytes == Bytes::Same_Clr && suffix == ".clr") return "the same colour cycles";
  if (p.bytes == Bytes::Real) return Real_Content(owner, suffix);
  if (p.bytes != Bytes::Large) return owner + suffix;
  std::string bytes(256 << 10, '\0');
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = char((i * 131) >> 7);
  const std::string marker = owner + suffix;
  std::copy(marker.begin(), marker.end(), bytes.begin() + 100000);
  return bytes;
}

bool Ends_With(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// What happens to the folder after the kill, before the next start.
enum class Then { Stays, Copied, Restored };

}  // namespace

// The steps a box gives for files no one can tell whose they are, taken as
// it words them, in its order: where a file is hidden, spare names first,
// then each file in turn under a free name of a person its line says it
// could be (where the program would show it), back to its spare name, and
// last each to its owner's name. `owners` maps each file's name in `dir` to
// its owner's file name. False, saying which, when a step cannot be taken.
testing::AssertionResult Follow_Unsure_Steps(const std::string& box, const std::string& dir,
                                             const std::map<std::string, std::string>& owners) {
  const size_t spare = box.find("a spare name"), shown = box.find("the name of one of the people it could be");
  const bool hidden = shown != std::string::npos;
  if (spare == std::string::npos) return testing::AssertionFailure() << "no spare names";
  if (hidden && shown < spare) return testing::AssertionFailure() << "a file is shown before the names are free";
  for (const auto& [name, owner] : owners)
    if (rename((dir + name).c_str(), (dir + "old " + name).c_str()) != 0)
      return testing::AssertionFailure() << "no spare name for " << name;
  for (const auto& [name, owner] : owners) {
    if (!hidden) break;
    const size_t line = box.find("\n" + dir + name + ", which ");
    if (line == std::string::npos) return testing::AssertionFailure() << name << " is not told";
    const std::string told = box.substr(line + 1, box.find('\n', line + 1) - line - 1);
    const std::regex person(R"(([A-Za-z0-9~]+\.gal))");
    std::string free;
    for (auto m = std::sregex_iterator(told.begin() + long(dir.size() + name.size()), told.end(), person);
         free.empty() && m != std::sregex_iterator(); ++m)
      if (!std::filesystem::exists(dir + m->str())) free = m->str();
    if (free.empty()) return testing::AssertionFailure() << "no free name for " << name << ": " << told;
    if (rename((dir + "old " + name).c_str(), (dir + free).c_str()) != 0 ||
        rename((dir + free).c_str(), (dir + "old " + name).c_str()) != 0)
      return testing::AssertionFailure() << name << " could not be shown as " << free;
  }
  for (const auto& [name, owner] : owners)
    if (std::filesystem::exists(dir + owner) || rename((dir + "old " + name).c_str(), (dir + owner).c_str()) != 0)
      return testing::AssertionFailure() << owner << " is taken";
  return testing::AssertionSuccess();
}

class User_Rename_Bytes_Test : public Users_Test {
 protected:
  ~User_Rename_Bytes_Test() override {
    Rename_Journal::Set_Kill_Point_Hook(nullptr);
    Fail_Atomic_Write_After(-1);
  }

  void Start(const People& p, const std::string& folder) {
    The_User_Data.directory = root_ + "/data/" + folder + "/";
    std::filesystem::create_directories(The_User_Data.directory);
    delete The_User_Database;
    auto* db = new User_Database(For_Stream);
    The_User_Database = db;
    for (size_t i = 0; i < p.users.size(); ++i) {
      for (const char* suffix : Suffixes) Write(Dir(p.users[i] + suffix), Content(p, p.users[i], suffix));
      auto user = std::make_unique<User>(3, p.users[i].c_str());
      user->points = int32_t(i + 1);
      db->Add_User(std::move(user));
    }
    db->Set_Current(db->Find_User(p.users[0]));
    ASSERT_TRUE(db->Save());
  }

  // The dialog's OK as the program makes it; a failing save gives the
  // names back, and every file with them.
  void Change_Names(const People& p, bool save_fails = false) {
    auto copy = std::make_unique<User_Database>(*The_User_Database);
    for (const auto& [from, to] : p.renames) copy->At(copy->Find_User(from))->name = to;
    copy.release()->Install(0);
    if (save_fails) Fail_Atomic_Write_After(0);
    The_User_Database->Save();
    Fail_Atomic_Write_After(-1);
  }

  void Restart() {
    delete The_User_Database;
    The_User_Database = nullptr;
    Boxes.clear();
    new User_Database();
  }

  // Runs `run` in a child killed at its kill-th point; false when it was
  // not killed there.
  bool Killed_At(int kill, const std::function<void()>& run) {
    const pid_t child = fork();
    if (child < 0) return false;
    if (child == 0) {
      int reached = 0;
      Rename_Journal::Set_Kill_Point_Hook([&] {
        if (++reached == kill) _exit(0);
      });
      run();
      _exit(1);
    }
    int status = 0;
    return waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
  }

  int Points(const std::function<void()>& run) {
    int points = 0;
    Rename_Journal::Set_Kill_Point_Hook([&] { ++points; });
    run();
    Rename_Journal::Set_Kill_Point_Hook(nullptr);
    return points;
  }

  // Every entry of the folder, folders and links included, by relative path.
  struct Entry {
    std::string path, bytes, link;
    bool folder = false;
  };
  std::vector<Entry> Archive(bool dot_names = true) const {
    std::vector<Entry> entries;
    for (const auto& item : std::filesystem::recursive_directory_iterator(Dir())) {
      Entry entry{std::filesystem::relative(item.path(), Dir()).string(), "", "", false};
      if (!dot_names && entry.path[0] == '.') continue;
      if (item.is_symlink()) entry.link = std::filesystem::read_symlink(item.path()).string();
      else if (item.is_directory()) entry.folder = true;
      else entry.bytes = Read(item.path().string());
      entries.push_back(entry);
    }
    return entries;
  }
  void Unpack(std::vector<Entry> entries, const std::string& folder) {
    // Folders first; files the other way round from how they were found,
    // so that they take the inodes just freed in another order.
    std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.folder > b.folder; });
    std::reverse(std::find_if(entries.begin(), entries.end(), [](const Entry& e) { return !e.folder; }), entries.end());
    std::filesystem::create_directories(folder);
    for (const Entry& entry : entries) {
      const std::string path = folder + entry.path;
      if (entry.folder) std::filesystem::create_directories(path);
      else if (!entry.link.empty()) std::filesystem::create_symlink(entry.link, path);
      else Write(path, entry.bytes);
    }
  }
  // The folder as the person brings it back before the next start.
  void Then_(Then then, const std::string& copy_name, bool dot_names = true) {
    if (then == Then::Stays) return;
    const std::vector<Entry> entries = Archive(dot_names);
    std::filesystem::remove_all(Dir());
    if (then == Then::Copied) The_User_Data.directory = root_ + "/data/" + copy_name + "/";
    Unpack(entries, Dir());
  }

  // At the next start every user has her own files under her name, and
  // nothing is hidden or told. A file another program changed (its owner's
  // name and kind: its bytes now) is hers as it is now; the caller checks
  // what is told of it.
  void Expect_Everyone_Has_Her_Own(const People& p, const std::string& what,
                                   const std::map<std::string, std::string>& changed = {}) {
    Restart();
    const User_Database& db = *The_User_Database;
    ASSERT_EQ(db.Count(), int32_t(p.users.size())) << what;
    for (int32_t i = 0; i < db.Count(); ++i) {
      const std::string& owner = p.users[size_t(db.At(i)->points - 1)];
      for (const char* suffix : Suffixes) {
        const auto now = changed.find(owner + suffix);
        EXPECT_TRUE(Read(Dir(db.At(i)->name + suffix)) == (now != changed.end() ? now->second : Content(p, owner, suffix)))
            << what << ": " << db.At(i)->name << suffix << " is not " << owner << "'s";
      }
    }
    for (const auto& entry : std::filesystem::directory_iterator(Dir()))
      EXPECT_EQ(entry.path().filename().string().rfind(".quendar", 0), std::string::npos) << what << ": " << entry.path();
    EXPECT_FALSE(Has("quendar.jnl")) << what;
    if (!changed.empty()) return;
    EXPECT_TRUE(Boxes.empty()) << what << ": " << Boxes.front();
  }

  // The name the user who was `owner` at the start has now.
  static std::string Name_Now(const People& p, const std::string& owner) {
    const size_t place = size_t(std::find(p.users.begin(), p.users.end(), owner) - p.users.begin());
    for (int32_t i = 0; i < The_User_Database->Count(); ++i)
      if (The_User_Database->At(i)->points == int32_t(place + 1)) return The_User_Database->At(i)->name;
    return "";
  }

  // Under every listed user's name is her own file or none.
  void Expect_No_One_Has_Anothers(const People& p, const std::string& what) {
    const User_Database& db = *The_User_Database;
    for (int32_t i = 0; i < db.Count(); ++i) {
      const std::string& owner = p.users[size_t(db.At(i)->points - 1)];
      for (const char* suffix : Suffixes) {
        if (!Has(db.At(i)->name + suffix)) continue;
        EXPECT_TRUE(Read(Dir(db.At(i)->name + suffix)) == Content(p, owner, suffix))
            << what << ": " << db.At(i)->name << suffix << " is not " << owner << "'s";
      }
    }
  }

  // A change of p killed at its kill-th point, the folder then copied
  // without the names beginning with a dot, and the program started: the
  // files the change had parked (name: bytes), which the copy left behind.
  // Nothing when the kill did not fall. A file named `changed` has its first
  // byte rewritten by another program before the copy.
  std::optional<std::map<std::string, std::string>> Cut_Then_Copied_Without_Dot_Names(const People& p, int kill,
                                                                                    const std::string& changed = "") {
    Start(p, Next());
    if (!Killed_At(kill, [&] { Change_Names(p); })) return std::nullopt;
    for (const auto& entry : std::filesystem::directory_iterator(Dir()))
      if (!changed.empty() && entry.is_regular_file() && Read(entry.path()) == changed)
        Write(entry.path(), "~" + changed.substr(1));
    std::map<std::string, std::string> parked;
    for (const auto& entry : std::filesystem::directory_iterator(Dir()))
      if (entry.path().filename().string().rfind(".quendar-move-", 0) == 0)
        parked[entry.path().filename()] = Read(entry.path());
    Then_(Then::Copied, Next(), false);
    Restart();
    return parked;
  }

  // What a box calls the gallery of the user who was `owner` at the start.
  static std::string Gallery_Of(const People& p, const std::string& owner) {
    const std::string now = Name_Now(p, owner);
    return now + "'s gallery, " + now + ".gal";
  }

  // A journal kept aside with the word ("kept", "missing"; any for none).
  std::string Kept_Journal(const std::string& word = "kept") const {
    for (const auto& entry : std::filesystem::directory_iterator(Dir()))
      if (entry.path().filename().string().rfind("quendar.jnl." + word, 0) == 0) return entry.path().string();
    return "";
  }

  // What a box calls a user's file of the kind.
  static std::string Words_For(const std::string& suffix) {
    if (suffix == ".gal") return "gallery";
    if (suffix == ".clr") return "colour cycles";
    return "level " + suffix.substr(8, 1) + " manipulators";
  }

  int run = 0;
  std::string Next() { return "run-" + std::to_string(++run); }
};

// How a change is cut short, and what happens to the folder before the next
// start: one test each, every kill point of its cut in turn.
enum class Cut { Change, Undo_After_Failed_Save, Undo_At_Start };
struct Cut_Case {
  size_t people;  // index into Cases
  Cut cut;
  Then then;
  // The kill points are run in `parts` tests, this one being `part`: the
  // large files' runs take longest.
  int part = 0, parts = 1;
};

class User_Rename_Kill_Test : public User_Rename_Bytes_Test {
 protected:
  // The point of a change at which its files are all parked: 1 for the
  // journal, then a move and its note for each of the users' four files.
  static int Parked(const People& p) { return 1 + 2 * 4 * int(p.users.size()); }

  // The number of kill points of the cut.
  int Points_Of(const People& p, Cut cut) {
    Start(p, Next());
    if (cut != Cut::Undo_At_Start) return Points([&] { Change_Names(p, cut == Cut::Undo_After_Failed_Save); });
    // The start's undo, of a change cut once its files are parked.
    if (!Killed_At(Parked(p), [&] { Change_Names(p); })) return 0;
    return Points([&] { Restart(); });
  }

  // Cuts the change or its undo at the kill-th point and brings the folder
  // back as `then` says; false when the kill did not fall.
  bool Cut_At(const People& p, Cut cut, int kill, Then then) {
    Start(p, Next());
    const bool killed = cut == Cut::Undo_At_Start
                            ? Killed_At(Parked(p), [&] { Change_Names(p); }) && Killed_At(kill, [&] { Restart(); })
                            : Killed_At(kill, [&] { Change_Names(p, cut == Cut::Undo_After_Failed_Save); });
    Then_(then, Next());
    return killed;
  }

  static std::string What(const People& p, Cut cut, int kill, Then then) {
    const char* cuts[] = {"the change", "the undo after a failed save", "the undo at the start"};
    return std::string(p.what) + ", " + cuts[int(cut)] + " killed at " + std::to_string(kill) +
           (then == Then::Copied ? ", copied" : then == Then::Restored ? ", restored" : "");
  }
};

class User_Rename_Cut_Test : public User_Rename_Kill_Test, public testing::WithParamInterface<Cut_Case> {};

// A change or its undo killed at every point, the folder then left, copied
// or restored in place: every file with its owner at the next start.
TEST_P(User_Rename_Cut_Test, AKillAtEveryPointLeavesEveryFileWithItsOwner) {
  const Cut_Case& c = GetParam();
  const People& p = Cases[c.people];
  const int points = Points_Of(p, c.cut);
  ASSERT_GT(points, c.cut == Cut::Undo_At_Start ? 3 : 8) << p.what;
  for (int kill = 1 + c.part * points / c.parts; kill <= (c.part + 1) * points / c.parts; ++kill) {
    const std::string what = What(p, c.cut, kill, c.then);
    ASSERT_TRUE(Cut_At(p, c.cut, kill, c.then)) << what;
    Expect_Everyone_Has_Her_Own(p, what);
  }
}

// The matching's ties, cut where files of the change lie under each other's
// names: a swap of files alike but for an unsampled block (told apart only by
// every byte, noted because their samples tie) and a rotation of identical
// colour cycles (found only when a file taken early makes room for another).
TEST_F(User_Rename_Kill_Test, FilesThatTieAreToldApartAtTheNextStart) {
  const struct {
    size_t people;
    int moves;  // final moves made and noted after every file was parked
    Then then;
  } cases[] = {{2, 8, Then::Stays}, {2, 6, Then::Restored}, {1, 9, Then::Stays}, {1, 8, Then::Copied}};
  for (const auto& c : cases) {
    const People& p = Cases[c.people];
    const int kill = Parked(p) + 2 * c.moves;
    const std::string what = What(p, Cut::Change, kill, c.then);
    ASSERT_TRUE(Cut_At(p, Cut::Change, kill, c.then)) << what;
    Expect_Everyone_Has_Her_Own(p, what);
  }
}

// Another program writes a file alike over one of Ann's after the change is
// cut at each point (the folder then left or copied): Bob's older gallery,
// a real edit or a newer copy of hers, colour cycles a colour apart,
// manipulators a byte apart, a large gallery differing between where
// blocks would be sampled. None is a file of the change: it stays where it
// lies, named with whose it could be by the names people have now, and no
// one is given another's file; while it is hidden, every start says so.
struct Alike_Case {
  const char* what;
  const char* suffix;  // of Ann's file written over
  const People* people;
  std::function<std::string(const People&)> bytes;
};

const Alike_Case Alike_Cases[] = {
    {"Bob's older gallery", ".gal", &Cases[3],
     [](const People& p) {
       std::string older = Content(p, "Bob", ".gal");
       older[older.size() - 100] ^= 1;
       return older;
     }},
    {"a real edit of Ann's gallery", ".gal", &Cases[3],
     [](const People& p) {
       std::string edited = Content(p, "Ann", ".gal");
       edited.replace(12 + 4096 * 5, 4096, Drawing(55));
       return edited;
     }},
    {"a newer copy of Ann's gallery", ".gal", &Cases[3],
     [](const People& p) { return Content(p, "Ann", ".gal") + Drawing(56); }},
    {"colour cycles a colour apart", ".clr", &Cases[3],
     [](const People& p) {
       std::string other = Content(p, "Ann", ".clr");
       other[30] = char(other[30] + 1);
       return other;
     }},
    {"manipulators a byte apart", ", level 4.man", &Cases[3],
     [](const People& p) {
       std::string other = Content(p, "Ann", ", level 4.man");
       other[3] ^= 1;
       return other;
     }},
    {"Bob's large gallery changed between the sampled blocks", ".gal", &Cases[2],
     [](const People& p) {
       std::string other = Content(p, "Bob", ".gal");
       other[200000] ^= 1;
       return other;
     }},
};

class User_Rename_Alike_Test : public User_Rename_Kill_Test,
                               public testing::WithParamInterface<std::tuple<size_t, Then>> {};

TEST_P(User_Rename_Alike_Test, AFileAlikeWrittenAfterACutStaysWhereItIsAndIsTold) {
  const auto& [index, then] = GetParam();
  const Alike_Case& c = Alike_Cases[index];
  const People& p = *c.people;
  const std::string ann = Content(p, "Ann", c.suffix), alike = c.bytes(p);
  ASSERT_NE(ann, alike);
  const int points = Points_Of(p, Cut::Change);
  int told = 0, hidden = 0;
  for (int kill = 1; kill <= points; ++kill) {
    const std::string what = What(p, Cut::Change, kill, then) + ", " + c.what + " written over Ann's";
    ASSERT_TRUE(Cut_At(p, Cut::Change, kill, Then::Stays)) << what;
    if (!Has("quendar.jnl")) continue;
    std::string name;  // where Ann's file lay, relative to the folder
    for (const auto& entry : std::filesystem::recursive_directory_iterator(Dir()))
      if (entry.is_regular_file() && Read(entry.path()) == ann) name = std::filesystem::relative(entry.path(), Dir());
    ASSERT_FALSE(name.empty()) << what;
    Write(Dir(name), alike);
    Then_(then, Next());
    Restart();
    ++told;
    EXPECT_EQ(Read(Dir(name)), alike) << what;
    // Under each user's name her own file, or the file alike where it lies.
    const User_Database& db = *The_User_Database;
    for (int32_t i = 0; i < db.Count(); ++i)
      for (const char* suffix : Suffixes) {
        const std::string file = db.At(i)->name + suffix;
        if (file == name || !Has(file)) continue;
        EXPECT_EQ(Read(Dir(file)), Content(p, p.users[size_t(db.At(i)->points - 1)], suffix)) << what << ": " << file;
      }
    ASSERT_EQ(Boxes.size(), 1u) << what;
    const std::string now = Name_Now(p, "Ann");
    EXPECT_NE(Boxes[0].find("\n" + Dir(name) + ", which could be "), std::string::npos) << what << "\n" << Boxes[0];
    EXPECT_NE(Boxes[0].find(now + "'s " + Words_For(c.suffix) + ", " + now + c.suffix), std::string::npos)
        << what << "\n" << Boxes[0];
    for (const char* untrue : {"went to its owner", "copied", "none is a file it moved"})
      EXPECT_EQ(Boxes[0].find(untrue), std::string::npos) << what << "\n" << Boxes[0];
    // Hidden, it is named at every start until the person moves it; then
    // the record goes and nothing more is said.
    const bool kept = !Kept_Journal("unsure").empty();
    if (name[0] == '.') {
      EXPECT_TRUE(kept) << what;
    }
    hidden += name[0] == '.';
    for (int start = 2; start <= 3; ++start) {
      Restart();
      if (!kept) {
        EXPECT_TRUE(Boxes.empty()) << what << ": " << Boxes.front();
        continue;
      }
      ASSERT_EQ(Boxes.size(), 1u) << what << ", start " << start;
      EXPECT_NE(Boxes[0].find("\n" + Dir(name) + ", which could be "), std::string::npos) << what << "\n" << Boxes[0];
    }
    std::filesystem::rename(Dir(name), root_ + "/moved by the teacher");
    Restart();
    EXPECT_TRUE(Boxes.empty()) << what << ": " << Boxes.front();
    EXPECT_TRUE(Kept_Journal("").empty()) << what;
  }
  EXPECT_GT(told, 8) << c.what;
  EXPECT_GT(hidden, 0) << c.what;
}

std::string Alike_Name(const testing::TestParamInfo<User_Rename_Alike_Test::ParamType>& info) {
  std::string name = std::string(Alike_Cases[std::get<0>(info.param)].what) +
                     (std::get<1>(info.param) == Then::Copied ? "_Copied" : "_Stays");
  for (char& c : name)
    if (!isalnum(static_cast<unsigned char>(c))) c = '_';
  return name;
}

INSTANTIATE_TEST_SUITE_P(Each, User_Rename_Alike_Test,
                         testing::Combine(testing::Range<size_t>(0, std::size(Alike_Cases)),
                                          testing::Values(Then::Stays, Then::Copied)),
                         Alike_Name);

// Another program deletes Ann's gallery after the change is cut at each
// point and puts under its name a file that is not hers: it is none of the
// change's files, and stays where it is, named as what could be hers; no
// one is given the other file.
TEST_F(User_Rename_Kill_Test, AFileThatIsNotMostlyTheOneItReplacedStaysWhereItIs) {
  const People& p = Swap;
  const struct {
    const char* what;
    std::string bytes;
  } cases[] = {{"an empty file", ""},
               {"a gallery from elsewhere", "Zoe's gallery from another folder"},
               {"an older copy of Bob's gallery", "Bob.ga1"}};
  const int points = Points_Of(p, Cut::Change);
  for (const auto& c : cases) {
    int told = 0;
    for (int kill = 1; kill <= points; ++kill) {
      const std::string what = What(p, Cut::Change, kill, Then::Stays) + ", Ann.gal replaced by " + c.what;
      ASSERT_TRUE(Cut_At(p, Cut::Change, kill, Then::Stays)) << what;
      if (!Has("quendar.jnl")) continue;
      std::string name;
      for (const auto& entry : std::filesystem::directory_iterator(Dir()))
        if (entry.is_regular_file() && Read(entry.path()) == "Ann.gal") name = entry.path().filename();
      ASSERT_FALSE(name.empty()) << what;
      std::filesystem::remove(Dir(name));
      Write(Dir(name), c.bytes);
      Restart();
      ++told;
      EXPECT_EQ(Read(Dir(name)), c.bytes) << what;
      const User_Database& db = *The_User_Database;
      for (int32_t i = 0; i < db.Count(); ++i)
        for (const char* suffix : Suffixes) {
          const std::string file = db.At(i)->name + suffix;
          if (file == name || !Has(file)) continue;
          EXPECT_EQ(Read(Dir(file)), Content(p, p.users[size_t(db.At(i)->points - 1)], suffix)) << what << ": " << file;
        }
      ASSERT_EQ(Boxes.size(), 1u) << what;
      const std::string now = Name_Now(p, "Ann");
      for (const std::string& told_line : {"\n" + Dir(name) + ", which could be ", now + "'s gallery, " + now + ".gal"})
        EXPECT_NE(Boxes[0].find(told_line), std::string::npos) << what << "\n" << Boxes[0];
      for (const char* untrue : {"Another program changed", "went to its owner"})
        EXPECT_EQ(Boxes[0].find(untrue), std::string::npos) << what << "\n" << Boxes[0];
    }
    EXPECT_GT(told, 8) << c.what;
  }
}

// Both galleries of a swap changed by another program after the change is
// cut at each point (the folder then left or copied). Neither is a file of
// the change: neither moves, and the box names each where it is and whose
// it could be (a parked one only its parker's, one under a user's name
// either's); every other file of the change is with its owner, and a
// record is kept only while a gallery is hidden. A copy that left the
// parking names behind is told as such too, and its record kept.
TEST_F(User_Rename_Kill_Test, BothGalleriesOfASwapChangedStayWhereTheyAreWhenNoOneCanTellWhoseEachIs) {
  const People& p = Swap;
  const int points = Points_Of(p, Cut::Change);
  const struct {
    Then then;
    bool dot_names;
  } thens[] = {{Then::Stays, true}, {Then::Copied, true}, {Then::Copied, false}};
  for (const auto& [then, dot_names] : thens) {
    int own = 0, swapped = 0, parked = 0;
    for (int kill = 1; kill <= points; ++kill) {
      const std::string what = What(p, Cut::Change, kill, then) + (dot_names ? "" : " without the dot names") +
                               ", both galleries changed";
      ASSERT_TRUE(Cut_At(p, Cut::Change, kill, Then::Stays)) << what;
      if (!Has("quendar.jnl")) continue;
      std::map<std::string, std::string> left;  // name: the gallery there, changed
      for (const auto& entry : std::filesystem::directory_iterator(Dir())) {
        const std::string bytes = entry.is_regular_file() ? Read(entry.path()) : "";
        if (bytes != "Ann.gal" && bytes != "Bob.gal") continue;
        Write(entry.path(), "~" + bytes.substr(1));
        left[entry.path().filename()] = "~" + bytes.substr(1);
      }
      ASSERT_EQ(left.size(), 2u) << what;
      const bool both_parked = left.begin()->first[0] == '.' && left.rbegin()->first[0] == '.';
      bool left_behind = false;  // by a copy without the dot names
      for (const auto& entry : std::filesystem::directory_iterator(Dir()))
        left_behind |= !dot_names && entry.path().filename().string().rfind(".quendar-move-", 0) == 0;
      Then_(then, Next(), dot_names);
      if (left_behind) {
        if (both_parked) continue;
        Restart();
        // A gallery parked is missing: the one left could be either's.
        std::vector<std::string> told = {"are not in " + Dir(), "cannot tell whose each one is: they stay under the "
                                                                 "names they have now:"};
        for (const auto& [name, bytes] : left) {
          if (name[0] != '.') {
            EXPECT_EQ(Read(Dir(name)), bytes) << what << ": " << name;
            told[1] += "\n" + Dir(name) + ", which could be " + Gallery_Of(p, "Ann") + " or " + Gallery_Of(p, "Bob");
            continue;
          }
          const std::string now = Name_Now(p, bytes[1] == 'n' ? "Ann" : "Bob");
          told.push_back(now + "'s gallery, " + now + ".gal: it was " + Dir(name));
        }
        EXPECT_FALSE(Kept_Journal("missing").empty()) << what;
        ASSERT_EQ(Boxes.size(), 1u) << what;
        for (const std::string& line : told) EXPECT_NE(Boxes[0].find(line), std::string::npos) << what << "\n" << Boxes[0];
        continue;
      }
      own += left.count("Ann.gal") != 0 && left["Ann.gal"] == "~nn.gal" && left.count("Bob.gal") != 0;
      swapped += left.count("Ann.gal") != 0 && left["Ann.gal"] == "~ob.gal" && left.count("Bob.gal") != 0;
      parked += both_parked;
      Restart();
      // A file left under a parking name could only be the file parked
      // there, which belongs to the person named like its owner now; one
      // under a user's name could be either's.
      std::string lines;
      bool hidden = false;
      for (const auto& [name, bytes] : left) {
        EXPECT_EQ(Read(Dir(name)), bytes) << what << ": " << name;
        const std::string owner = (bytes[0] == '~' && bytes[1] == 'n') ? "Ann" : "Bob";
        lines += "\n" + Dir(name) + ", which could be " +
                 (name[0] == '.' ? Gallery_Of(p, owner) : Gallery_Of(p, "Ann") + " or " + Gallery_Of(p, "Bob"));
        if (name[0] == '.') hidden = true;
      }
      const User_Database& db = *The_User_Database;
      for (int32_t i = 0; i < db.Count(); ++i)
        for (const char* suffix : Suffixes) {
          if (std::string(suffix) == ".gal") continue;
          EXPECT_EQ(Read(Dir(db.At(i)->name + suffix)), Content(p, p.users[size_t(db.At(i)->points - 1)], suffix))
              << what;
        }
      for (const auto& entry : std::filesystem::directory_iterator(Dir())) {
        if (left.count(entry.path().filename()) != 0) continue;
        EXPECT_EQ(entry.path().filename().string().rfind(".quendar", 0), std::string::npos) << what << ": " << entry.path();
      }
      EXPECT_FALSE(Has("quendar.jnl")) << what;
      // Kept, for every start to tell, only while a gallery is hidden.
      EXPECT_EQ(Kept_Journal("").empty(), !hidden) << what;
      ASSERT_EQ(Boxes.size(), 1u) << what;
      const std::string steps =
          hidden ? "close Quendar and, in " + Dir() + ", first give each of these files a spare name (put \"old \" "
                   "before it; names beginning with a dot are hidden: show hidden files to see them). Then, one file at "
                   "a time, give it the name of one of the people it could be who has no such file, start Quendar, open "
                   "that person's galleries and note whose the file is, close Quendar and give the file back its spare "
                   "name. Last, give each of these files the name of its owner's file, and start Quendar again."
                 : "open these people's galleries and note whose each one is; then close Quendar and, in " + Dir() +
                       ", first give each of these files a spare name (put \"old \" before it), then give each the "
                       "name of its owner's file; then start Quendar again.";
      EXPECT_NE(Boxes[0].find("Quendar cannot tell whose each one is: they stay under the names they have now:" + lines +
                              "\nEvery other file of the change is with its owner.\nTo give each person her own: " +
                              steps),
                std::string::npos)
          << what << "\n" << Boxes[0];
      for (const char* untrue : {"copied", "no user's file", "went to its owner", "tries again"})
        EXPECT_EQ(Boxes[0].find(untrue), std::string::npos) << what << "\n" << Boxes[0];
      // As the box says, by hand, in its order.
      std::map<std::string, std::string> owners;
      for (const auto& [name, bytes] : left) owners[name] = Name_Now(p, bytes[1] == 'n' ? "Ann" : "Bob") + ".gal";
      EXPECT_TRUE(Follow_Unsure_Steps(Boxes[0], Dir(), owners)) << what << "\n" << Boxes[0];
      Expect_Everyone_Has_Her_Own(p, what + ", the box followed", {{"Ann.gal", "~nn.gal"}, {"Bob.gal", "~ob.gal"}});
      EXPECT_TRUE(Boxes.empty()) << what << ": " << Boxes.front();
    }
    EXPECT_GT(own, 0);
    EXPECT_GT(swapped, 0);
    // A copy without the dot names leaves no gallery parked to be found.
    if (dot_names)
      EXPECT_GT(parked, 0);
    else
      EXPECT_EQ(parked, 0);
  }
}

// Two galleries of a three-way rotation changed by another program after
// the change is cut at each point: no box promises a retry that cannot
// happen or speaks of two people having each other's files; each file left
// where it is is named with whose it could be, and doing what the box says
// by hand (each file through a spare name to her whose drawings it holds)
// leaves every person her own, the start after saying nothing.
TEST_F(User_Rename_Kill_Test, TwoChangedGalleriesOfARotationAreToldWithStepsThatPutEachHome) {
  const People& p = Cases[1];
  const std::map<std::string, std::string> changed = {{"Ann.gal", "~nn.gal"}, {"Bob.gal", "~ob.gal"}};
  const int points = Points_Of(p, Cut::Change);
  int by_hand = 0;
  for (int kill = 1; kill <= points; ++kill) {
    const std::string what = What(p, Cut::Change, kill, Then::Stays) + ", Ann's and Bob's galleries changed";
    ASSERT_TRUE(Cut_At(p, Cut::Change, kill, Then::Stays)) << what;
    if (!Has("quendar.jnl")) continue;
    for (const auto& entry : std::filesystem::directory_iterator(Dir())) {
      const auto now = entry.is_regular_file() ? changed.find(Read(entry.path())) : changed.end();
      if (now != changed.end()) Write(entry.path(), now->second);
    }
    Restart();
    ASSERT_LE(Boxes.size(), 1u) << what;
    const std::string box = Boxes.empty() ? "" : Boxes[0];
    for (const char* untrue : {"tries again", "each other's", "copied"})
      EXPECT_EQ(box.find(untrue), std::string::npos) << what << "\n" << box;
    if (box.find("To give each person her own") != std::string::npos) {
      ++by_hand;
      // Each gallery the box names, by the drawings in it.
      std::map<std::string, std::string> galleries;  // name: whose it is now
      for (const auto& entry : std::filesystem::directory_iterator(Dir())) {
        const std::string bytes = entry.is_regular_file() ? Read(entry.path()) : "";
        const std::string owner = bytes == "~nn.gal" ? "Ann" : bytes == "~ob.gal" ? "Bob" : bytes == "Cy.gal" ? "Cy" : "";
        const std::string name = entry.path().filename();
        if (owner.empty() || Name_Now(p, owner) + ".gal" == name) continue;
        EXPECT_NE(box.find("\n" + Dir(name) + ", which "), std::string::npos) << what << ": " << name << "\n" << box;
        galleries[name] = Name_Now(p, owner);
      }
      std::map<std::string, std::string> owners;
      for (const auto& [name, owner] : galleries) owners[name] = owner + ".gal";
      EXPECT_TRUE(Follow_Unsure_Steps(box, Dir(), owners)) << what << "\n" << box;
    }
    Expect_Everyone_Has_Her_Own(p, what, changed);
    Restart();
    EXPECT_TRUE(Boxes.empty()) << what << ": " << Boxes.front();
  }
  EXPECT_GT(by_hand, 0);
}

// Another program writes a gallery under a name a file of the change must
// go to, after the change is cut at each point: the first start's box
// names each file left waiting, under a hidden name, by whose it is now,
// and says to move the file in the way out; doing so puts every file home
// at the next start, which says nothing.
TEST_F(User_Rename_Kill_Test, AFileInTheWayIsToldToBeMovedOutAtTheFirstStart) {
  int waiting = 0;
  for (const People* people : {&Swap, &Cases[1]})
  for (const Then then : {Then::Stays, Then::Copied, Then::Restored}) {
    const People& p = *people;
    const int points = Points_Of(p, Cut::Change);
    for (int kill = 1; kill <= points; ++kill) {
      const std::string what = What(p, Cut::Change, kill, then) + ", a gallery put in the way";
      ASSERT_TRUE(Cut_At(p, Cut::Change, kill, Then::Stays)) << what;
      if (!Has("quendar.jnl")) continue;
      std::string in_the_way;
      for (const std::string& user : p.users)
        if (!Has(user + ".gal")) in_the_way = user + ".gal";
      if (in_the_way.empty()) continue;
      Write(Dir(in_the_way), "another program's gallery");
      Then_(then, Next());
      Restart();
      ASSERT_EQ(Boxes.size(), 1u) << what;
      const std::string box = Boxes[0];
      for (const auto& entry : std::filesystem::directory_iterator(Dir())) {
        const std::string name = entry.path().filename();
        if (name.rfind(".quendar-move-", 0) != 0) continue;
        const std::string bytes = Read(entry.path());
        const auto owner_of = std::find_if(p.users.begin(), p.users.end(), [&](const std::string& user) {
          return bytes.rfind(user, 0) == 0 && bytes.size() > user.size() && bytes[user.size()] != ' ';
        });
        // Colour cycles alike are anyone's.
        if (owner_of == p.users.end()) continue;
        ++waiting;
        const std::string owner = *owner_of, suffix = bytes.substr(owner.size());
        EXPECT_NE(box.find(Dir(name) + ", which is " + Name_Now(p, owner) + "'s " + Words_For(suffix)), std::string::npos)
            << what << ": " << name << "\n" << box;
      }
      EXPECT_NE(box.find("move " + Dir(in_the_way) + " (it is in the way) out of the folder"), std::string::npos)
          << what << "\n" << box;
      std::filesystem::remove(Dir(in_the_way));
      Expect_Everyone_Has_Her_Own(p, what + ", moved out");
    }
  }
  EXPECT_GT(waiting, 4);
}

std::vector<Cut_Case> Every_Cut() {
  std::vector<Cut_Case> all;
  for (size_t people = 0; people < std::size(Cases); ++people)
    for (const Cut cut : {Cut::Change, Cut::Undo_After_Failed_Save, Cut::Undo_At_Start})
      for (const Then then : {Then::Stays, Then::Copied, Then::Restored}) {
        const int parts = Cases[people].bytes == Bytes::Large && cut != Cut::Undo_At_Start ? 2 : 1;
        for (int part = 0; part < parts; ++part) all.push_back({people, cut, then, part, parts});
      }
  return all;
}

std::string Cut_Name(const testing::TestParamInfo<Cut_Case>& info) {
  const char* people[] = {"Swap", "Rotation", "Large_Swap", "Real_Swap"};
  const char* cuts[] = {"Change", "Undo_After_Failed_Save", "Undo_At_Start"};
  const char* thens[] = {"Stays", "Copied", "Restored"};
  return std::string(people[info.param.people]) + "_" + cuts[int(info.param.cut)] + "_" + thens[int(info.param.then)] +
         (info.param.parts > 1 ? "_Part_" + std::to_string(info.param.part + 1) : "");
}

INSTANTIATE_TEST_SUITE_P(Every, User_Rename_Cut_Test, testing::ValuesIn(Every_Cut()), Cut_Name);

// A copy made without the names beginning with a dot: a file the change
// parked is not in it. No one gets another's file, the journal is kept
// aside, and the box names each missing file by whose it is now and where
// it was. Doing what the box says (copying those files in from the folder
// copied) puts each one home at the next start, a file another program
// changed too, told then when it moves; the start after says nothing.
TEST_F(User_Rename_Bytes_Test, ACopyWithoutTheDotNamesSaysWhoseFilesAreMissingAndBringingThemBackPutsThemHome) {
  const People& p = Swap;
  Start(p, Next());
  const int points = Points([&] { Change_Names(p); });
  for (const std::string changed : {"", "Bob.gal"}) {
    int told = 0;
    for (int kill = 1; kill <= points; ++kill) {
      const std::string what = "killed at " + std::to_string(kill) + (changed.empty() ? "" : ", " + changed + " changed");
      const std::optional<std::map<std::string, std::string>> cut = Cut_Then_Copied_Without_Dot_Names(p, kill, changed);
      ASSERT_TRUE(cut) << what;
      const std::map<std::string, std::string>& parked = *cut;
      if (changed.empty()) Expect_No_One_Has_Anothers(p, what);
      if (parked.empty()) {
        if (changed.empty()) {
          EXPECT_TRUE(Boxes.empty()) << what << ": " << Boxes.front();
        }
        continue;
      }
      ++told;
      EXPECT_FALSE(Kept_Journal("missing").empty()) << what;
      EXPECT_FALSE(Has("quendar.jnl")) << what;
      ASSERT_EQ(Boxes.size(), 1u) << what;
      EXPECT_NE(Boxes[0].find("are not in " + Dir()), std::string::npos) << Boxes[0];
      // Each by the name it belongs under now, whichever way the start went.
      for (const auto& [name, bytes] : parked) {
        const std::string now = Name_Now(p, bytes[0] == '~' ? "Bob" : bytes.substr(0, 3));
        const std::string suffix = bytes.substr(3);
        EXPECT_NE(Boxes[0].find(now + "'s " + Words_For(suffix) + ", " + now + suffix + ": it was " + Dir() + name),
                  std::string::npos)
            << name << "\n" << Boxes[0];
      }
      EXPECT_NE(Boxes[0].find("bring each of these files back into " + Dir() + " under the same name, from where it went"),
                std::string::npos)
          << Boxes[0];
      EXPECT_EQ(Boxes[0].find("damaged"), std::string::npos) << Boxes[0];
      EXPECT_EQ(Boxes[0].find("tries again"), std::string::npos) << Boxes[0];
      // The program used meanwhile: the journal kept aside follows the user
      // file it saves.
      The_User_Database->At(0)->level = 4;
      ASSERT_TRUE(The_User_Database->Save()) << what;
      for (const auto& [name, bytes] : parked) Write(Dir(name), bytes);
      if (changed.empty()) {
        Expect_Everyone_Has_Her_Own(p, what + ", the missing files brought back");
      } else {
        // The changed gallery is no file of the change: it stays where it
        // lies, told as what could be Bob's (at the start before, or at this
        // one once it is brought back under a hidden name); the rest go home.
        const std::string first_box = Boxes.empty() ? "" : Boxes[0];
        Restart();
        std::string lies;
        for (const auto& entry : std::filesystem::directory_iterator(Dir()))
          if (entry.is_regular_file() && Read(entry.path()) == "~" + changed.substr(1)) lies = entry.path();
        ASSERT_FALSE(lies.empty()) << what;
        const User_Database& db = *The_User_Database;
        for (int32_t i = 0; i < db.Count(); ++i)
          for (const char* suffix : Suffixes)
            if (Dir(db.At(i)->name + suffix) != lies && Has(db.At(i)->name + suffix)) {
              EXPECT_EQ(Read(Dir(db.At(i)->name + suffix)), Content(p, p.users[size_t(db.At(i)->points - 1)], suffix))
                  << what << ": " << db.At(i)->name << suffix;
            }
        ASSERT_LE(Boxes.size(), 1u) << what;
        const std::string told_of = Boxes.empty() ? first_box : Boxes[0];
        EXPECT_NE(told_of.find(lies + ", which could be "), std::string::npos) << what << "\n" << told_of;
        EXPECT_NE(told_of.find(Gallery_Of(p, "Bob")), std::string::npos) << what << "\n" << told_of;
        continue;
      }
      EXPECT_TRUE(Kept_Journal("").empty()) << what;
    }
    EXPECT_GT(told, 4);
  }
}

// The same copy, then the same people's names changed again before the
// missing files are back, saved at once or only after a failed save and a
// later OK that changes nothing: the record kept aside stops following the
// user file for them, so neither that change nor the files brought back
// after it give anyone another's file; each of theirs brought back stays
// where it is, and each start says where. The files of a person the later
// change left alone go home once brought back.
TEST_F(User_Rename_Bytes_Test, AKeptRecordMovesNothingOnceItsPeoplesNamesChangeAgain) {
  const People swap_and_rename = {"a swap, Cy renamed", {"Ann", "Bob", "Cy"},
                                  {{"Ann", "Zed"}, {"Bob", "Ann"}, {"Zed", "Bob"}, {"Cy", "Cid"}}, Bytes::Own};
  for (const People* p : {&Swap, &swap_and_rename}) {
    Start(*p, Next());
    const int points = Points([&] { Change_Names(*p); });
    for (const bool saved_later : {false, true}) {
      int kept = 0, home = 0, told = 0, split = 0;
      for (int kill = 1; kill <= points; ++kill) {
        const std::string what =
            std::string(p->what) + ", killed at " + std::to_string(kill) + (saved_later ? ", saved later" : "");
        const std::optional<std::map<std::string, std::string>> cut = Cut_Then_Copied_Without_Dot_Names(*p, kill);
        ASSERT_TRUE(cut) << what;
        const std::map<std::string, std::string>& parked = *cut;
        const std::string missing = Kept_Journal("missing");
        if (missing.empty()) continue;
        ++kept;
        // The name their part of the record would be kept under is taken,
        // and so is the next: neither file is written over.
        std::string apart = missing;
        apart.replace(apart.rfind("missing-"), 8, "kept-");
        for (const std::string& taken : {apart, apart + "-2"}) Write(taken, "another's");
        // Ann and Bob swap names again.
        Change_Names(Swap, saved_later);
        if (saved_later) {
          std::make_unique<User_Database>(*The_User_Database).release()->Install(0);
          The_User_Database->Save();
        }
        for (const std::string& taken : {apart, apart + "-2"}) EXPECT_EQ(Read(taken), "another's") << what;
        split += std::filesystem::exists(apart + "-3");
        Restart();
        Expect_No_One_Has_Anothers(*p, what + ", the names changed again");
        EXPECT_TRUE(Boxes.empty()) << what << ": " << Boxes.front();
        for (const auto& [name, bytes] : parked) Write(Dir(name), bytes);
        Restart();
        Expect_No_One_Has_Anothers(*p, what + ", the missing files brought back");
        size_t hidden = 0;
        for (const auto& [name, bytes] : parked) {
          // A failed save gives the names back: the record then follows the
          // user file saved after it.
          const std::string owner = bytes.substr(0, bytes.rfind("Cy", 0) == 0 ? 2 : 3);
          if (owner == "Cy" || (saved_later && !Has(name))) {
            home += owner == "Cy";
            EXPECT_EQ(Read(Dir(Name_Now(*p, owner) + bytes.substr(owner.size()))), bytes) << what;
            EXPECT_FALSE(Has(name)) << what << ": " << name;
            continue;
          }
          ++hidden;
          EXPECT_EQ(Read(Dir(name)), bytes) << what;
          ASSERT_EQ(Boxes.size(), 1u) << what;
          const std::string now = Name_Now(*p, owner), suffix = bytes.substr(owner.size());
          EXPECT_NE(Boxes[0].find("\n" + Dir(name) + ", which is " + now + "'s " + Words_For(suffix) + ", " + now + suffix),
                    std::string::npos)
              << what << "\n" << Boxes[0];
        }
        if (hidden == 0) {
          EXPECT_TRUE(Boxes.empty()) << what << ": " << Boxes.front();
          continue;
        }
        ++told;
        EXPECT_EQ(Boxes[0].rfind("WARNING: These files of a change of users' names that was cut short are hidden in " +
                                     Dir() + ": they stay where they are:",
                                 0),
                  0u)
            << Boxes[0];
        EXPECT_EQ(std::count(Boxes[0].begin(), Boxes[0].end(), '\n'), long(hidden + 1)) << Boxes[0];
        // Each start says so while they are there.
        Restart();
        EXPECT_EQ(Boxes.size(), 1u) << what;
      }
      EXPECT_GT(kept, 4);
      EXPECT_GT(told, saved_later ? 0 : 4);
      // Only Cy, whom the later change leaves alone, has files that go home
      // and a part of the record split off for them.
      if (p == &Swap) {
        EXPECT_EQ(home, 0);
        EXPECT_EQ(split, 0);
      } else {
        EXPECT_GT(home, 0);
        EXPECT_GT(split, 4);
      }
    }
  }
}

// The same copy, then only one of the swap's names given up (Ann becomes
// Annie) and taken (by Cy, who has no gallery): the record kept aside
// stops following the user file for that name, so Cy never gets the
// gallery of the Ann before her, neither at once nor once the missing
// files are brought back.
TEST_F(User_Rename_Bytes_Test, AKeptRecordStopsFollowingOnceAnyOfItsPeoplesNamesIsTaken) {
  const People beside_cy = {"a swap beside Cy", {"Ann", "Bob", "Cy"}, Swap.renames, Bytes::Own};
  Start(beside_cy, Next());
  const int points = Points([&] { Change_Names(beside_cy); });
  int kept = 0;
  for (int kill = 1; kill <= points; ++kill) {
    const std::string what = "a swap beside Cy, killed at " + std::to_string(kill) + ", then Cy renamed Ann";
    const std::optional<std::map<std::string, std::string>> cut = Cut_Then_Copied_Without_Dot_Names(beside_cy, kill);
    ASSERT_TRUE(cut) << what;
    if (Kept_Journal("missing").empty()) continue;
    ++kept;
    std::filesystem::remove(Dir("Cy.gal"));
    Change_Names({beside_cy.what, beside_cy.users, {{"Ann", "Annie"}, {"Cy", "Ann"}}, beside_cy.bytes}, false);
    Restart();
    Expect_No_One_Has_Anothers(beside_cy, what + ", the names changed again");
    for (const auto& [name, bytes] : *cut) Write(Dir(name), bytes);
    Restart();
    Expect_No_One_Has_Anothers(beside_cy, what + ", the missing files brought back");
  }
  EXPECT_GT(kept, 4);
}

// The same copy, the start taking the swap back or on, then a later change
// renaming Ann (or both): once the missing files are back, the box names
// each by whose it is as people are called now, never as they were before
// the cut, and renaming each file as its line says, in the box's order,
// leaves every person her own, by its bytes.
TEST_F(User_Rename_Bytes_Test, AKeptRecordNamesEachFileByItsOwnersNameAfterALaterChange) {
  const People rotation = {"a rotation", {"Ann", "Bob", "Cy"}, {{"Ann", "X"}, {"Bob", "Ann"}, {"Cy", "Bob"}, {"X", "Cy"}},
                           Bytes::Own};
  using Renames = std::vector<std::pair<std::string, std::string>>;
  const struct {
    const People& p;
    Renames later;
  } cases[] = {{Swap, {{"Ann", "Cy"}}},
               {Swap, {{"Ann", "Cy"}, {"Bob", "Dee"}}},
               {rotation, {{"Ann", "Dee"}}},
               {rotation, {{"Ann", "Dee"}, {"Bob", "Eve"}, {"Cy", "Ann"}}}};
  for (const auto& [p, later] : cases) {
    Start(p, Next());
    const int points = Points([&] { Change_Names(p); });
    int told = 0;
    for (int kill = 1; kill <= points; ++kill) {
      const std::string what = std::string(p.what) + ", killed at " + std::to_string(kill) + ", then " +
                               later[0].first + " renamed " + later[0].second + (later.size() > 1 ? " and more" : "");
      const std::optional<std::map<std::string, std::string>> cut = Cut_Then_Copied_Without_Dot_Names(p, kill);
      ASSERT_TRUE(cut) << what;
      if (Kept_Journal("missing").empty()) continue;
      Change_Names({p.what, p.users, later, p.bytes});
      for (const auto& [name, bytes] : *cut) Write(Dir(name), bytes);
      Restart();
      ASSERT_EQ(Boxes.size(), 1u) << what;
      const std::string box = Boxes[0];
      EXPECT_EQ(box.find(": was "), std::string::npos) << what << "\n" << box;
      // Each line: "<path>, which is <whose>, <the name to give it>".
      std::vector<std::pair<std::string, std::string>> renames;
      for (const auto& [name, bytes] : *cut) {
        const std::string owner = bytes.substr(0, bytes.find_first_of(".,")), suffix = bytes.substr(owner.size()),
                          now = Name_Now(p, owner);
        const std::string line = "\n" + Dir(name) + ", which is " + now + "'s " + Words_For(suffix) + ", " + now + suffix;
        const size_t at = box.find(line);
        ASSERT_NE(at, std::string::npos) << what << ": " << name << "\n" << box;
        renames.push_back({name, now + suffix});
        (void)at;
      }
      std::sort(renames.begin(), renames.end(), [&](const auto& a, const auto& b) {
        return box.find("\n" + Dir(a.first) + ",") < box.find("\n" + Dir(b.first) + ",");
      });
      EXPECT_NE(box.find("give each of these files whose owner its line names the name of its owner's file"), std::string::npos) << box;
      ++told;
      // As the box says, in its order; then nothing is told.
      for (const auto& [from, to] : renames) {
        ASSERT_FALSE(Has(to)) << what << ": " << to;
        std::filesystem::rename(Dir(from), Dir(to));
      }
      Restart();
      const User_Database& db = *The_User_Database;
      for (int32_t i = 0; i < db.Count(); ++i)
        for (const char* suffix : Suffixes)
          EXPECT_EQ(Read(Dir(db.At(i)->name + suffix)), Content(p, p.users[size_t(db.At(i)->points - 1)], suffix))
              << what << ": " << db.At(i)->name << suffix;
      EXPECT_TRUE(Boxes.empty()) << what << ": " << Boxes.front();
    }
    EXPECT_GT(told, 4);
  }
}

// The user file is neither the one the change began from nor the one it
// wrote (an earlier one brought back): nothing moves, the journal is kept
// aside and the box says where each file is and where it was going.
TEST_F(User_Rename_Bytes_Test, AUserFileReplacedAfterACutChangeMovesNothing) {
  const People& p = Swap;
  const struct {
    const char* what;
    bool saved, gone;
    bool finishing = false;  // the journal made to say the change was being finished
    bool undoing = false;    // or being undone, as an undo noted for a later start
  } cases[] = {{"cut once the files were parked", false, false},
               {"cut after the new names were saved", true, false},
               {"cut once the files were parked, the user file deleted", false, true},
               {"a journal made by hand saying the change was being finished", false, false, true},
               {"a journal made by hand saying the change was being undone", false, false, false, true}};
  for (const auto& c : cases) {
    const std::string& what = c.what;
    const bool saved = c.saved;
    Start(p, Next());
    const std::string earlier = Read(Dir("quendar.usr"));
    The_User_Database->At(0)->level = 4;
    ASSERT_TRUE(The_User_Database->Save());
    int kill = 1 + 2 * 8;
    if (saved) {
      // The point after the user file's note: the next one, once it is written.
      const int points = Points([&] { Change_Names(p); });
      Start(p, Next());
      The_User_Database->At(0)->level = 4;
      ASSERT_TRUE(The_User_Database->Save());
      kill = points - 2;
    }
    ASSERT_TRUE(Killed_At(kill, [&] { Change_Names(p); })) << what;
    const std::string at_cut = Read(Dir("quendar.usr"));
    if (c.finishing) {
      std::string journal = Read(Dir("quendar.jnl"));
      journal.replace(journal.find("saved none\nstate change"), 23, "saved 0123456789abcdef\nstate finish");
      Write(Dir("quendar.jnl"), journal);
    }
    if (c.undoing) {
      std::string journal = Read(Dir("quendar.jnl"));
      journal.replace(journal.find("\nstate change\n"), 14, "\nstate undo\n");
      Write(Dir("quendar.jnl"), journal);
    }
    if (c.gone) std::filesystem::remove(Dir("quendar.usr"));
    else Write(Dir("quendar.usr"), earlier);
    const std::vector<Entry> before = Archive();
    Restart();
    std::vector<Entry> after = Archive();
    after.erase(std::remove_if(after.begin(), after.end(), [](const Entry& e) { return e.path.rfind("quendar.jnl", 0) == 0; }),
                after.end());
    std::vector<Entry> expected = before;
    expected.erase(std::remove_if(expected.begin(), expected.end(), [](const Entry& e) { return e.path == "quendar.jnl"; }),
                   expected.end());
    ASSERT_EQ(after.size(), expected.size()) << what;
    for (const Entry& entry : expected)
      EXPECT_TRUE(std::any_of(after.begin(), after.end(), [&](const Entry& e) { return e.path == entry.path && e.bytes == entry.bytes; }))
          << what << ": " << entry.path << " moved";
    EXPECT_FALSE(Kept_Journal().empty()) << what;
    ASSERT_EQ(Boxes.size(), 1u) << what;
    EXPECT_NE(Boxes[0].find(c.gone ? "quendar.usr is gone: no file moves"
                                   : "is neither the one it began from nor the one it wrote (it was restored or replaced "
                                     "since): no file moves"),
              std::string::npos)
        << Boxes[0];
    for (const char* suffix : Suffixes)
      for (const auto& [from, to] : std::vector<std::pair<std::string, std::string>>{{"Ann", "Bob"}, {"Bob", "Ann"}})
        EXPECT_NE(Boxes[0].find(": was " + from + suffix + ", to be " + to + suffix), std::string::npos)
            << from << suffix << "\n" << Boxes[0];
    EXPECT_EQ(Boxes[0].find("damaged"), std::string::npos) << Boxes[0];
    if (c.finishing) continue;
    // As the box says: the user file as it was at the cut, and a start.
    // The folder stayed where it was: the advice does not send the person
    // to a copy it came from.
    EXPECT_NE(Boxes[0].find("To give each person her files, bring back the user file " + Dir("quendar.usr") +
                            " as it was when the change was cut short (from a backup, or from wherever it went), "
                            "then start Quendar again"),
              std::string::npos)
        << Boxes[0];
    Write(Dir("quendar.usr"), at_cut);
    Expect_Everyone_Has_Her_Own(p, what + ", the user file brought back");
    EXPECT_TRUE(Kept_Journal("").empty()) << what;
  }
}

// Names of the change's own taken by hand: another person's file, or a link
// to Ann's, under the name her colour cycles were parked as; a stranger
// under a parking name the change did not need. Nothing but Ann's own
// regular file ever becomes Ann's: anything else under her parking name
// stays there, told as what could be hers; nothing promises a retry.
TEST_F(User_Rename_Bytes_Test, FilesAndLinksPlacedByHandUnderParkingNamesAreNeverGivenToAUser) {
  const People p = {"Ann renamed", {"Ann", "Cy"}, {{"Ann", "Annie"}}, Bytes::Own};
  const std::string outside = root_ + "/outside/";
  std::filesystem::create_directories(outside);
  const struct {
    const char* what;
    std::function<void(const std::string& parked)> place;  // at Ann's parked colour cycles
    bool unproven;  // what is under the parking name is not Ann's colour cycles
  } cases[] = {
      {"Cy's colour cycles copied over Ann's parked ones",
       [&](const std::string& parked) {
         std::filesystem::remove(parked);
         std::filesystem::copy_file(Dir("Cy.clr"), parked);
       },
       true},
      {"a link to Ann's colour cycles, moved out of the folder",
       [&](const std::string& parked) {
         std::filesystem::rename(parked, outside + "Ann.clr");
         std::filesystem::create_symlink(outside + "Ann.clr", parked);
       },
       true},
      {"Ann's colour cycles brought back by hand, a link to Cy's left in their place",
       [&](const std::string& parked) {
         std::filesystem::rename(parked, Dir("Ann.clr"));
         std::filesystem::create_symlink(Dir("Cy.clr"), parked);
       },
       false},
  };
  for (const auto& c : cases) {
    Start(p, Next());
    // Cut once Ann's four files are parked, the user file as before.
    ASSERT_TRUE(Killed_At(1 + 2 * 4, [&] { Change_Names(p); })) << c.what;
    std::string parked;
    for (const auto& entry : std::filesystem::directory_iterator(Dir()))
      if (entry.path().filename().string().rfind(".quendar-move-", 0) == 0 && Read(entry.path()) == "Ann.clr")
        parked = entry.path();
    ASSERT_FALSE(parked.empty()) << c.what;
    c.place(parked);
    Restart();
    struct stat info;
    if (c.unproven) {
      EXPECT_FALSE(lstat(Dir("Ann.clr").c_str(), &info) == 0) << c.what;
      EXPECT_TRUE(lstat(parked.c_str(), &info) == 0) << c.what;
      ASSERT_EQ(Boxes.size(), 1u) << c.what;
      EXPECT_NE(Boxes[0].find("\n" + parked + ", which could be Ann's colour cycles, Ann.clr\n"), std::string::npos)
          << Boxes[0];
    } else {
      EXPECT_EQ(Read(Dir("Ann.clr")), "Ann.clr") << c.what;
      EXPECT_TRUE(lstat(parked.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) << c.what;
      ASSERT_EQ(Boxes.size(), 1u) << c.what;
      EXPECT_NE(Boxes[0].find("is no user's file, and stays as it is:\n" + parked), std::string::npos) << Boxes[0];
    }
    for (const char* suffix : {".gal", ", level 4.man", ", level 5.man"}) EXPECT_EQ(Read(Dir(std::string("Ann") + suffix)), std::string("Ann") + suffix);
    EXPECT_EQ(Read(Dir("Cy.clr")), "Cy.clr") << c.what;
    EXPECT_FALSE(Has("quendar.jnl")) << c.what;
    EXPECT_FALSE(Has("Annie.clr")) << c.what;
    EXPECT_EQ(Boxes[0].find("tries again"), std::string::npos) << Boxes[0];
    EXPECT_EQ(Boxes[0].find("damaged"), std::string::npos) << Boxes[0];
  }
}

// The user file cannot be saved, and Ann's colour cycles cannot go back
// (another file took her name): the undo stays one, though the user file
// is saved again with other changes, and once the other file goes, the
// next start brings her colour cycles home.
TEST_F(User_Rename_Bytes_Test, AnUndoThatCouldNotFinishStaysAnUndoWhateverUserFileIsSavedSince) {
  const People p = {"Ann renamed", {"Ann", "Cy"}, {{"Ann", "Annie"}}, Bytes::Own};
  Start(p, Next());
  // The point after the new user file is noted, then the first of the undo.
  const int noted = 1 + 2 * 4 + 2 * 4 + 1;
  int points = 0;
  Rename_Journal::Set_Kill_Point_Hook([&] {
    ++points;
    if (points == noted) Fail_Atomic_Write_After(0);
    if (points != noted + 1) return;
    Fail_Atomic_Write_After(-1);
    Write(Dir("Ann.clr"), "obstacle");
  });
  auto copy = std::make_unique<User_Database>(*The_User_Database);
  copy->At(copy->Find_User("Ann"))->name = "Annie";
  copy.release()->Install(0);
  EXPECT_FALSE(The_User_Database->Save());
  Rename_Journal::Set_Kill_Point_Hook(nullptr);
  ASSERT_EQ(The_User_Database->Find_User("Annie"), -1);
  ASSERT_TRUE(Has("quendar.jnl"));
  The_User_Database->At(0)->level = 4;
  ASSERT_TRUE(The_User_Database->Save());
  std::filesystem::remove(Dir("Ann.clr"));
  Expect_Everyone_Has_Her_Own(p, "home at the next start");
}

// A person's file that is a symbolic link moves with her, the link itself
// (her saves write through it), and a link under her new name is moved out
// of the way like any file of no user (the stray one here leading nowhere):
// at once, and at the next start after a kill at every point of the
// change. What the links lead to is untouched.
TEST_F(User_Rename_Bytes_Test, APersonsLinkMovesWithHerAndALinkInTheWayIsMovedAside) {
  const People p = {"Ann renamed", {"Ann", "Cy"}, {{"Ann", "Annie"}}, Bytes::Own};
  const std::string outside = root_ + "/outside-file";
  Write(outside, "outside");
  for (const std::string link : {"Ann.gal", "Annie.clr"}) {
    const std::string target = link == "Ann.gal" ? outside : root_ + "/gone";
    auto link_at = [&](const std::string& name) {
      struct stat info;
      return lstat(Dir(name).c_str(), &info) == 0 && S_ISLNK(info.st_mode) &&
             std::filesystem::read_symlink(Dir(name)) == target;
    };
    auto start = [&] {
      Start(p, Next());
      std::filesystem::remove(Dir(link));
      std::filesystem::create_symlink(target, Dir(link));
    };
    start();
    const int points = Points([&] { Change_Names(p); });
    for (int kill = 0; kill <= points; ++kill) {
      const std::string what = link + " a link, " + (kill == 0 ? "the change whole" : "killed at " + std::to_string(kill));
      if (kill > 0) {
        start();
        ASSERT_TRUE(Killed_At(kill, [&] { Change_Names(p); })) << what;
      }
      Restart();
      const std::string ann = The_User_Database->Find_User("Annie") != -1 ? "Annie" : "Ann";
      for (const char* suffix : Suffixes) {
        if (link == "Ann.gal" && std::string(suffix) == ".gal") EXPECT_TRUE(link_at(ann + suffix)) << what;
        else EXPECT_EQ(Read(Dir(ann + suffix)), std::string("Ann") + suffix) << what;
      }
      if (link == "Ann.gal") {
        EXPECT_FALSE(Has(ann == "Ann" ? "Annie.gal" : "Ann.gal")) << what;
      } else if (ann == "Ann") {
        EXPECT_TRUE(link_at("Annie.clr")) << what;
      }
      for (const auto& entry : std::filesystem::directory_iterator(Dir()))
        EXPECT_EQ(entry.path().filename().string().rfind(".quendar", 0), std::string::npos) << what << ": " << entry.path();
      EXPECT_EQ(Read(outside), "outside") << what;
      EXPECT_TRUE(Boxes.empty()) << what << ": " << Boxes.front();
    }
  }
  // The link in the way went to the trash, as a link, and the trash knows
  // it by the place it had in the folder, not the folder it waited in.
  struct stat info;
  EXPECT_TRUE(lstat((root_ + "/data/Trash/files/Annie.clr").c_str(), &info) == 0 && S_ISLNK(info.st_mode));
  for (const auto& entry : std::filesystem::directory_iterator(root_ + "/data/Trash/info")) {
    const std::string record = Read(entry.path());
    const size_t from = record.find("\nPath=") + 6, end = record.find('\n', from);
    const std::string run = root_ + "/data/run-", path = record.substr(from, end - from);
    EXPECT_TRUE(path.rfind(run, 0) == 0 && path.find('/', run.size()) + std::string("/Annie.clr").size() == path.size() &&
                Ends_With(path, "/Annie.clr"))
        << record;
  }
}

// A gallery a stopped save holds aside (".saving-<name>", another file
// having taken its name since, or of a name no user has) would go back
// under its name at the next start, to whoever has it then: the change is
// refused, saying so and what to do, and doing it (moving the other file
// out, starting again) lets the same change go through. Another program's
// file or link under such a name is no gallery: it is named as such, and
// moving it out lets the change through.
TEST_F(User_Rename_Bytes_Test, AGalleryHeldAsideByAStoppedSaveStopsAChangeOfNamesUntilItIsBack) {
  const People rename = {"Ann renamed", {"Ann", "Cy"}, {{"Ann", "Annie"}}, Bytes::Own};
  enum At_Held { Hers, No_Ones, Text, Link_To_Text, Hers_Unchangeable };
  const struct {
    const People& p;
    std::string gallery;  // the name held aside
    At_Held held;
  } cases[] = {{Swap, "Bob.gal", Hers},
               {rename, "Ann.gal", Hers},
               {rename, "Annie.gal", No_Ones},
               {rename, "Ann.gal", Text},
               {rename, "Annie.gal", Link_To_Text},
               {rename, "Ann.gal", Hers_Unchangeable}};
  Root_Only_Cases root_only(Unmovable_File::Why_Skipped);
  for (const auto& c : cases) {
    const std::string what = std::string(c.p.what) + ", " + c.gallery + " held " + std::to_string(int(c.held));
    if (c.held == Hers_Unchangeable && root_only.Left_Out(what)) continue;
    Start(c.p, Next());
    const std::string held = Dir(".saving-" + c.gallery);
    // A gallery with no drawing as a save writes it, the owner's marker in
    // the bytes of no meaning behind its end.
    const std::string gallery = std::string(Gallery_File::End_Size, '\0') + c.gallery;
    const bool hers = c.held == Hers || c.held == Hers_Unchangeable;
    if (hers) std::filesystem::rename(Dir(c.gallery), held);
    if (hers || c.held == No_Ones) {
      // As a stopped save leaves it: noted beside it.
      Write(held, gallery);
      Held_Gallery_Note::File noted;
      ASSERT_TRUE(Held_Gallery_Note::Of_Name(held, noted));
      ASSERT_TRUE(Held_Gallery_Note::Note(held, {noted}));
    }
    if (hers) Write(Dir(c.gallery), "another file");
    Unmovable_File unchangeable(held, Unmovable_File::Immutable);
    if (c.held != Hers_Unchangeable) unchangeable.Release();
    if (c.held == Text) Write(held, "another file");
    if (c.held == Link_To_Text) {
      Write(root_ + "/notes", "another file");
      std::filesystem::create_symlink(root_ + "/notes", held);
    }
    Boxes.clear();
    Change_Names(c.p);
    EXPECT_EQ(The_User_Database->Find_User("Annie"), -1) << what;
    for (size_t i = 0; i < c.p.users.size(); ++i) {
      EXPECT_EQ(The_User_Database->At(The_User_Database->Find_User(c.p.users[i]))->points, int32_t(i + 1)) << what;
      for (const char* suffix : Suffixes) {
        const std::string file = c.p.users[i] + suffix;
        if (hers && file == c.gallery) continue;
        EXPECT_EQ(Read(Dir(file)), file) << what;
      }
    }
    const bool a_gallery = hers || c.held == No_Ones;
    EXPECT_EQ(Read(held), a_gallery ? gallery : "another file") << what;
    ASSERT_EQ(Boxes.size(), 1u) << what;
    const std::string told =
        c.held == Hers_Unchangeable
            ? "A save that was stopped holds the gallery " + Dir(c.gallery) + " aside as " + held +
                  ", which the administrator has made unchangeable, and a change of names now would part them: no "
                  "user is renamed and every file stays with its owner.\nHave the administrator make that file "
                  "changeable again"
        : a_gallery ? "A save that was stopped holds the gallery " + Dir(c.gallery) + " aside as " + held +
                          ", and a change of names now would part them: no user is renamed and every file stays "
                          "with its owner."
                    : "The file " + held + " beside the gallery " + Dir(c.gallery) +
                          " is not a gallery a save kept there but another program's file: no user is renamed and every file stays "
                          "with its owner.\nMove that file out of the folder";
    EXPECT_NE(Boxes[0].find(told), std::string::npos) << Boxes[0];
    // As the box says: the file changeable again, the other file out of the
    // folder, the program again for a gallery to go back.
    unchangeable.Release();
    if (hers) std::filesystem::rename(Dir(c.gallery), root_ + "/" + Next());
    if (!a_gallery) std::filesystem::rename(held, root_ + "/" + Next());
    if (a_gallery) Restart();
    Change_Names(c.p);
    std::map<std::string, std::string> changed;
    if (hers) changed[c.gallery] = gallery;
    Expect_Everyone_Has_Her_Own(c.p, what + ", the box followed", changed);
  }
  root_only.End();
}

// A stray file of no user under the new name goes to the trash once the
// change stands; a start finishing the change that is cut after it did so
// finds it gone, and says nothing of it: nothing is missing.
TEST_F(User_Rename_Bytes_Test, AStrayFileTheChangeAlreadyRecycledIsNotMissed) {
  const People p = {"Ann renamed over a stray gallery", {"Ann", "Cy"}, {{"Ann", "Annie"}}, Bytes::Own};
  auto start = [&] {
    Start(p, Next());
    Write(Dir("Annie.gal"), "a stray gallery");
  };
  start();
  const int points = Points([&] { Change_Names(p); });
  const std::string written = Read(Dir("quendar.usr"));
  // Cut once the new user file is noted: it is written as the change
  // would have, and the start finishes the change.
  auto cut_change = [&](int kill) {
    start();
    if (!Killed_At(kill, [&] { Change_Names(p); })) return false;
    if (Has("quendar.jnl") && Read(Dir("quendar.jnl")).find("\nsaved none\n") == std::string::npos)
      Write(Dir("quendar.usr"), written);
    return true;
  };
  int finished = 0;
  for (int kill = 1; kill <= points; ++kill) {
    ASSERT_TRUE(cut_change(kill));
    const int start_points = Points([&] { Restart(); });
    for (int cut = 1; cut <= start_points; ++cut) {
      const std::string what = "the change killed at " + std::to_string(kill) + ", its start at " + std::to_string(cut);
      const size_t trashed = Trashed().size();
      ASSERT_TRUE(cut_change(kill)) << what;
      ASSERT_TRUE(Killed_At(cut, [&] { Restart(); })) << what;
      Expect_Everyone_Has_Her_Own(p, what);
      if (The_User_Database->Find_User("Annie") == -1) continue;
      ++finished;
      EXPECT_EQ(Trashed().size(), trashed + 1) << what;
    }
  }
  EXPECT_GT(finished, 0);
}

// The user file is the one the change began from, but a link has taken the
// name of the folder a stray file was to wait in: nothing moves, and the
// box says the folder is not as the change left it, not that the user file
// was replaced.
TEST_F(User_Rename_Bytes_Test, AFolderNotAsTheChangeLeftItMovesNothingAndSaysSo) {
  const People p = {"Ann renamed over a stray gallery", {"Ann", "Cy"}, {{"Ann", "Annie"}}, Bytes::Own};
  Start(p, Next());
  Write(Dir("Annie.gal"), "a stray gallery");
  ASSERT_TRUE(Killed_At(1 + 2 * 4, [&] { Change_Names(p); }));
  const std::string journal = Read(Dir("quendar.jnl"));
  const size_t folder = journal.find(".quendar-move-", journal.find("\nd\t"));
  ASSERT_NE(folder, std::string::npos);
  const std::string outside = root_ + "/" + Next();
  std::filesystem::create_directories(outside);
  std::filesystem::create_directory_symlink(outside, Dir(journal.substr(folder, journal.find('/', folder) - folder)));
  Restart();
  EXPECT_EQ(Read(Dir("Annie.gal")), "a stray gallery");
  EXPECT_TRUE(std::filesystem::is_empty(outside));
  EXPECT_FALSE(Kept_Journal().empty());
  ASSERT_EQ(Boxes.size(), 1u);
  EXPECT_NE(Boxes[0].find("quendar.usr does not match the folder as the change left it: no file moves"), std::string::npos)
      << Boxes[0];
  EXPECT_EQ(Boxes[0].find("restored or replaced"), std::string::npos) << Boxes[0];
  // As the box says: the link out of the folder, and a start.
  const std::string link = Dir(journal.substr(folder, journal.find('/', folder) - folder));
  EXPECT_NE(Boxes[0].find("\nTo give each person her files, close Quendar, move\n" + link +
                          "\nout of the folder (names beginning with a dot are hidden: show hidden files to see them; "
                          "the change made no such file), then start Quendar again: each file goes to its owner."),
            std::string::npos)
      << Boxes[0];
  std::filesystem::remove(link);
  Expect_Everyone_Has_Her_Own(p, "the link moved out");
  EXPECT_EQ(Read(Dir("Annie.gal")), "a stray gallery");
  EXPECT_TRUE(std::filesystem::is_empty(outside));
  EXPECT_TRUE(Kept_Journal("").empty());
}

// What a start says of a file of the change is only what it knows: a file
// gone before it was parked is told where it was, not under a parking name
// nor as left behind by a copy; a stray file of no user is not called a
// user's; a stray the start sends to the trash is told, and the trash knows
// it by the name it had in the folder.
TEST_F(User_Rename_Bytes_Test, ABoxSaysOnlyWhatTheStartKnowsOfEachFile) {
  const People p = {"Ann renamed over a stray", {"Ann", "Cy"}, {{"Ann", "Annie"}}, Bytes::Own};
  Start(p, Next());
  Write(Dir("Annie.clr"), "a stray");
  const int points = Points([&] { Change_Names(p); });
  const std::string written = Read(Dir("quendar.usr"));
  const struct {
    const char* what;
    int kill;  // 0: the point after the new user file is noted, which is then written
    std::function<void()> then;
    std::string told;      // "{}" standing for the folder, "{aside}" for where the stray waited
    std::string untrue;    // nowhere in the box
  } cases[] = {
      {"Ann's colour cycles deleted before they were parked", 1, [&] { std::filesystem::remove(Dir("Ann.clr")); },
       "are not in {}, where the change left them. Where each file was:\nAnn's colour cycles, Ann.clr: it was "
       "{}Ann.clr\n",
       "copied"},
      {"the stray moved aside, the folder copied without the dot names", 1 + 2 * 4 + 2, [&] { Then_(Then::Copied, Next(), false); },
       "\nThe file Annie.clr of no user: it was {aside}\n", "Annie's"},
      // Nothing copied: the hidden files were deleted where they were.
      {"the stray moved aside, the hidden files then deleted in place", 1 + 2 * 4 + 2,
       [&] {
         for (const auto& entry : std::filesystem::directory_iterator(Dir()))
           if (entry.path().filename().string().rfind(".quendar-move-", 0) == 0) std::filesystem::remove_all(entry.path());
       },
       "are not in {}, where the change left them. Where each file was:\n", "copied"},
      {"the same, and the advice", 1 + 2 * 4 + 2,
       [&] {
         for (const auto& entry : std::filesystem::directory_iterator(Dir()))
           if (entry.path().filename().string().rfind(".quendar-move-", 0) == 0) std::filesystem::remove_all(entry.path());
       },
       "\nTo give them back, bring each of these files back into {} under the same name, from where it went (the "
       "trash, another folder, or a copy or backup of this folder) (names beginning with a dot are hidden: show hidden "
       "files to see them), then start Quendar again: each file goes to its owner.",
       "Annie's"},
      {"the new user file written, the stray moved aside", 0, [&] { Write(Dir("quendar.usr"), written); },
       "WARNING: These files of no user were in the way of renamed users' files, and are in the trash now (from where "
       "they can be brought back):\n{}Annie.clr",
       ".quendar-move-"},
  };
  for (const auto& c : cases) {
    Start(p, Next());
    Write(Dir("Annie.clr"), "a stray");
    ASSERT_TRUE(Killed_At(c.kill == 0 ? points - 1 : c.kill, [&] { Change_Names(p); })) << c.what;
    const std::string journal = Read(Dir("quendar.jnl"));
    ASSERT_EQ(journal.find("\nsaved none\n") == std::string::npos, c.kill == 0) << c.what;
    const size_t folder = journal.find(".quendar-move-", journal.find("\nd\t"));
    const std::string aside = journal.substr(folder, journal.find('\t', folder) - folder);
    const size_t trashed = Trashed().size();
    c.then();
    Restart();
    std::string told = c.told;
    for (size_t at = told.find("{aside}"); at != std::string::npos; at = told.find("{aside}")) told.replace(at, 7, Dir(aside));
    for (size_t at = told.find("{}"); at != std::string::npos; at = told.find("{}")) told.replace(at, 2, Dir());
    ASSERT_EQ(Boxes.size(), 1u) << c.what;
    EXPECT_NE(Boxes[0].find(told), std::string::npos) << c.what << "\n" << Boxes[0];
    EXPECT_EQ(Boxes[0].find(c.untrue), std::string::npos) << c.what << "\n" << Boxes[0];
    if (c.kill != 0) continue;
    EXPECT_EQ(Boxes[0], told) << c.what;
    ASSERT_EQ(Trashed().size(), trashed + 1) << c.what;
    int records = 0;
    for (const auto& entry : std::filesystem::directory_iterator(root_ + "/data/Trash/info"))
      records += Read(entry.path()).find("\nPath=" + Dir("Annie.clr") + "\n") != std::string::npos;
    EXPECT_EQ(records, 1) << c.what;
  }
}

// A record of a cut change that cannot be used (damaged, a link leading
// nowhere in its place, a kept record damaged) or that is reached through
// a link: no file is left parked untold. Each start names every file still
// under a parking name, with what to do, until the person has moved them.
TEST_F(User_Rename_Bytes_Test, FilesParkedByARecordThatCannotBeUsedAreNamedAtEveryStart) {
  const People p = {"Ann renamed", {"Ann", "Cy"}, {{"Ann", "Annie"}}, Bytes::Own};
  const std::string outside = root_ + "/outside/";
  std::filesystem::create_directories(outside);
  const struct {
    const char* what;
    std::function<void(const std::string& journal)> spoil;
    bool usable;  // the files may go home by it
  } cases[] = {
      {"a damaged record", [](const std::string& journal) { Write(journal, "quendar rename journal 4\ngarbage\n"); },
       false},
      {"a record reached through a link",
       [&](const std::string& journal) {
         std::filesystem::rename(journal, outside + "record");
         std::filesystem::create_symlink(outside + "record", journal);
       },
       true},
      {"a link leading nowhere in place of the record",
       [&](const std::string& journal) {
         std::filesystem::remove(journal);
         std::filesystem::create_symlink(outside + "nothing", journal);
       },
       false},
      {"a kept record damaged",
       [&](const std::string& journal) {
         std::filesystem::rename(journal, journal + ".missing-20260101-000000");
         Write(journal + ".missing-20260101-000000", "damaged");
       },
       false},
  };
  for (const auto& c : cases) {
    Start(p, Next());
    ASSERT_TRUE(Killed_At(1 + 2 * 4, [&] { Change_Names(p); })) << c.what;
    c.spoil(Dir("quendar.jnl"));
    for (int start = 1; start <= 3; ++start) {
      Restart();
      std::vector<std::string> parked;
      for (const auto& entry : std::filesystem::directory_iterator(Dir()))
        if (entry.path().filename().string().rfind(".quendar-move-", 0) == 0) parked.push_back(entry.path());
      if (!c.usable) {
        EXPECT_EQ(parked.size(), 4u) << c.what;
      }
      if (parked.empty()) {
        EXPECT_TRUE(start > 1 || Boxes.empty()) << c.what << ": " << Boxes.front();
        continue;
      }
      ASSERT_EQ(Boxes.size(), 1u) << c.what << ", start " << start;
      for (const std::string& file : parked)
        EXPECT_NE(Boxes[0].find("\n" + file + "\n"), std::string::npos) << c.what << ", start " << start << "\n" << Boxes[0];
      EXPECT_NE(Boxes[0].find("show hidden files"), std::string::npos) << Boxes[0];
    }
    // The person gives each file its owner's name: nothing more is said.
    for (const auto& entry : std::filesystem::directory_iterator(Dir()))
      if (entry.path().filename().string().rfind(".quendar-move-", 0) == 0)
        std::filesystem::rename(entry.path(), Dir(Read(entry.path())));
    Expect_Everyone_Has_Her_Own(p, c.what);
  }
}

// A kept record split by a later change of one of its people's names while
// a step of hers was under way: each part counts as made only the moves that
// were, so neither says a file was where it was not.
TEST_F(User_Rename_Bytes_Test, AKeptRecordSplitWithAStepUnderWayCountsOnlyTheMovesMade) {
  std::filesystem::create_directories(Dir());
  const File_Fingerprint ann = *File_Fingerprint::Parse("7:0123456789abcdeffedcba9876543210");
  const File_Fingerprint cy = *File_Fingerprint::Parse("6:00000000000000000000000000000001");
  Rename_Journal journal;
  journal.directory = Dir();
  journal.database_hash = "00ff00ff00ff00ff";
  journal.saved_hash = "0123012301230123";
  journal.course = Rename_Journal::Course::On;
  journal.steps = {{"Ann.gal", ".quendar-move-1-1", false, false, false, ann, {}, {}},
                   {"Cy.gal", ".quendar-move-1-2", false, false, false, cy, {}, {}},
                   {".quendar-move-1-1", "Annie.gal", false, false, false, ann, {}, {}},
                   {".quendar-move-1-2", "Cyd.gal", false, false, false, cy, {}, {}}};
  const struct {
    size_t done;
    size_t annies, cyds;  // the moves each part counts as made
  } cases[] = {{0, 0, 0}, {1, 1, 0}, {2, 1, 1}, {3, 2, 1}, {4, 2, 2}};
  for (const auto& c : cases) {
    for (const auto& entry : std::filesystem::directory_iterator(Dir())) std::filesystem::remove(entry.path());
    journal.done = c.done;
    ASSERT_TRUE(Write_File_Atomically(Dir("quendar.jnl.missing-20260101-000000"), journal.Bytes()));
    // Annie renamed again: her steps go to a record of their own.
    Rename_Journal::Follow_Saved(Dir(), "4567456745674567", false, {"Annie"});
    Rename_Journal annies, cyds;
    const std::string kept = Read(Dir("quendar.jnl.kept-20260101-000000")),
                      left = Read(Dir("quendar.jnl.missing-20260101-000000"));
    ASSERT_TRUE(annies.Read(std::vector<uint8_t>(kept.begin(), kept.end()))) << c.done;
    ASSERT_TRUE(cyds.Read(std::vector<uint8_t>(left.begin(), left.end()))) << c.done;
    ASSERT_EQ(annies.steps.size(), 2u);
    EXPECT_EQ(annies.steps[1].to, "Annie.gal");
    EXPECT_EQ(annies.done, c.annies) << c.done;
    EXPECT_EQ(cyds.done, c.cyds) << c.done;
  }
}

// A swap's record kept aside with both galleries parked, whichever way the
// first start decided (or none), then people renamed once and again: the
// record notes whose each gallery is by the names people have then, the box
// names each so, and each renamed as its line says is its owner's.
TEST_F(User_Rename_Bytes_Test, AKeptRecordNotesWhoseEachFileIsThroughEveryLaterChange) {
  using Course = Rename_Journal::Course;
  const std::string p1 = ".quendar-move-1-1", p2 = ".quendar-move-1-2";
  const struct {
    Course course;
    std::map<std::string, std::string> first, second;  // the later changes
    std::string ann_s, bob_s;                            // whose Ann's and Bob's galleries are said to be then
  } cases[] = {
      {Course::Back, {{"Ann", "Cy"}}, {}, "Cy", "Bob"},
      {Course::On, {{"Ann", "Cy"}}, {}, "Bob", "Cy"},
      {Course::Back, {{"Ann", "Cy"}, {"Bob", "Dee"}}, {}, "Cy", "Dee"},
      {Course::On, {{"Ann", "Cy"}, {"Bob", "Dee"}}, {}, "Dee", "Cy"},
      {Course::Back, {{"Ann", "Cy"}}, {{"Cy", "Eve"}}, "Eve", "Bob"},
      {Course::On, {{"Bob", "Ann"}, {"Ann", "Bob"}}, {{"Ann", "Fay"}}, "Fay", "Bob"},
      // Never decided: either of the two, by her name now.
      {Course::Undecided, {{"Ann", "Cy"}}, {}, "Cy or Bob", "Bob or Cy"},
  };
  for (const auto& c : cases) {
    const std::string what = std::string(c.course == Course::Back ? "back" : c.course == Course::On ? "on" : "undecided") +
                             ", then " + c.first.begin()->first + " renamed " + c.first.begin()->second;
    std::filesystem::remove_all(Dir());
    std::filesystem::create_directories(Dir());
    Write(Dir(p1), "Ann's gallery");
    Write(Dir(p2), "Bob's gallery");
    Write(Dir("quendar.usr"), "a user file neither way knows");
    const File_Fingerprint ann = *File_Fingerprint::Of(Dir(p1)), bob = *File_Fingerprint::Of(Dir(p2));
    Rename_Journal journal;
    journal.directory = Dir();
    journal.database_hash = "00ff00ff00ff00ff";
    journal.saved_hash = "0123012301230123";
    journal.course = c.course;
    journal.steps = {{"Ann.gal", p1, false, false, false, ann, {}, {}},
                     {"Bob.gal", p2, false, false, false, bob, {}, {}},
                     {p1, "Bob.gal", false, false, false, ann, {}, {}},
                     {p2, "Ann.gal", false, false, false, bob, {}, {}}};
    journal.done = 2;
    const std::string kept = Dir("quendar.jnl.missing-20260101-000000");
    ASSERT_TRUE(Write_File_Atomically(kept, journal.Bytes()));
    for (const auto* names_now : {&c.first, &c.second}) {
      if (names_now->empty()) continue;
      std::set<std::string> renamed;
      for (const auto& [from, to] : *names_now) renamed.insert({from, to});
      Rename_Journal::Follow_Saved(Dir(), "4567456745674567", false, renamed, *names_now);
    }
    // Read back whole, by the reader every start uses.
    Rename_Journal noted;
    const std::string bytes = Read(kept);
    ASSERT_TRUE(noted.Read(std::vector<uint8_t>(bytes.begin(), bytes.end()))) << what << "\n" << bytes;
    EXPECT_EQ(noted.course, Course::Undecided) << what;
    Boxes.clear();
    Rename_Journal::Retry_Missing(Dir(), Dir("quendar.usr"), std::nullopt);
    ASSERT_EQ(Boxes.size(), 1u) << what;
    EXPECT_EQ(Boxes[0].find(": was "), std::string::npos) << what << "\n" << Boxes[0];
    for (const auto& [parked, whose, own] : {std::tuple{p1, c.ann_s, "Ann's gallery"}, std::tuple{p2, c.bob_s, "Bob's gallery"}}) {
      if (whose.find(" or ") != std::string::npos) {
        const std::string one = whose.substr(0, whose.find(" or ")), other = whose.substr(whose.find(" or ") + 4);
        EXPECT_NE(Boxes[0].find("\n" + Dir(parked) + ", whose it is cannot be told: it could be " + one + "'s gallery, " +
                                one + ".gal or " + other + "'s gallery, " + other + ".gal"),
                  std::string::npos)
            << what << "\n" << Boxes[0];
        continue;
      }
      EXPECT_NE(Boxes[0].find("\n" + Dir(parked) + ", which is " + whose + "'s gallery, " + whose + ".gal"),
                std::string::npos)
          << what << "\n" << Boxes[0];
      std::filesystem::rename(Dir(parked), Dir(whose + ".gal"));
      EXPECT_EQ(Read(Dir(whose + ".gal")), own) << what;
    }
  }
}

// Whose a file is is read only where the program writes it: on a step
// parking a user's file, in a record of the kind that notes it, each person
// once by a name of her own.
TEST_F(User_Rename_Bytes_Test, ARecordReadsWhoseEachFileIsOnlyWhereItCanBeNoted) {
  const std::string head = "database 00ff00ff00ff00ff\nsaved none\nstate change\ndone 0\n";
  const std::string ann = "7:0123456789abcdeffedcba9876543210", zoe = "7:00000000000000000000000000000001";
  auto record = [&](const std::string& kind, const std::string& park, const std::string& out) {
    return "quendar rename journal " + kind + "\n" + head + "-\tAnn.gal\t.quendar-move-1-1\t" + ann + park +
           "\n-\t.quendar-move-1-1\tBob.gal\t" + ann + out + "\n";
  };
  const struct {
    std::string text;
    std::vector<std::string> whose;  // read on the parking step; refused: nullopt
    bool read;
  } cases[] = {
      {record("5", "\tCy", ""), {"Cy"}, true},
      {record("5", "\tCy\tBob", ""), {"Cy", "Bob"}, true},
      {record("5", "", ""), {}, true},
      {record("4", "\tCy", ""), {}, false},
      {record("5", "\tCy\tCy", ""), {}, false},
      {record("5", "\tC/y", ""), {}, false},
      {record("5", "\t", ""), {}, false},
      {record("5", "", "\tCy"), {}, false},
      // A file in the way is no one's.
      {"quendar rename journal 5\n" + head + "d\tZoe.gal\t.quendar-move-1-2/Zoe.gal\t" + zoe + "\tCy\n-\tAnn.gal\t" +
           ".quendar-move-1-1\t" + ann + "\n-\t.quendar-move-1-1\tZoe.gal\t" + ann + "\n",
       {}, false},
  };
  for (const auto& c : cases) {
    Rename_Journal journal;
    ASSERT_EQ(journal.Read(std::vector<uint8_t>(c.text.begin(), c.text.end())), c.read) << c.text;
    if (!c.read) continue;
    EXPECT_EQ(journal.steps[0].whose, c.whose) << c.text;
    const std::vector<uint8_t> again = journal.Bytes();
    EXPECT_EQ(std::string(again.begin(), again.end()), c.text);
  }
  // A record of the sampled kind, its people renamed since, stays of its
  // kind, read by every start as before.
  std::filesystem::create_directories(Dir());
  const std::string sampled = "7:0cd1b17eeab41e43/2961dea029621b3d29621b3d296228fd2962336a296230c029621447";
  const std::string kept = Dir("quendar.jnl.missing-20260101-000000");
  Write(kept, "quendar rename journal 3\ndatabase 00ff00ff00ff00ff\nsaved 0123012301230123\nstate undo\ndone 1\n"
              "-\tAnn.gal\t.quendar-move-1-1\t" + sampled + "\n-\t.quendar-move-1-1\tBob.gal\t" + sampled + "\n");
  Rename_Journal::Follow_Saved(Dir(), "4567456745674567", false, {"Ann", "Cy"}, {{"Ann", "Cy"}});
  const std::string after = Read(kept);
  Rename_Journal journal;
  EXPECT_TRUE(journal.Read(std::vector<uint8_t>(after.begin(), after.end()))) << after;
  EXPECT_EQ(journal.version, 3) << after;
}

// A record of the earlier kind, which noted a small file by all its bytes
// and a larger one by sampled blocks only: the start undoes the change for
// the file its note proves, and leaves the other where it is, named, until
// the person moves it.
TEST_F(User_Rename_Bytes_Test, ARecordOfTheSampledKindMovesOnlyWhatItsNotesOfEveryByteProve) {
  const People p = {"Ann renamed", {"Ann", "Cy"}, {{"Ann", "Annie"}}, Bytes::Own};
  Start(p, Next());
  std::string large(100000, '\0');
  for (size_t i = 0; i < large.size(); ++i) large[i] = char(i * 7 >> 3);
  Write(Dir("Ann.clr"), large);
  const std::string gallery_note = "7:0cd1b17eeab41e43/2961dea029621b3d29621b3d296228fd2962336a296230c029621447";
  const std::string cycles_note =
      "100000:a204e07b74b77c7e/3f0515a4df8dfc0b9805996512995b1dd61349a9834a800ca605734f73c7b27adbbe62f67994e15faec18ff"
      "1504746cbb5fd1bf7fa68584852020532b57de81a";
  std::filesystem::rename(Dir("Ann.gal"), Dir(".quendar-move-1-1"));
  std::filesystem::rename(Dir("Ann.clr"), Dir(".quendar-move-1-2"));
  Write(Dir("quendar.jnl"), "quendar rename journal 3\ndatabase " + Database_Hash(Dir("quendar.usr")) +
                                "\nsaved none\nstate change\ndone 2\n-\tAnn.gal\t.quendar-move-1-1\t" + gallery_note +
                                "\n-\tAnn.clr\t.quendar-move-1-2\t" + cycles_note +
                                "\n-\t.quendar-move-1-1\tAnnie.gal\t" + gallery_note +
                                "\n-\t.quendar-move-1-2\tAnnie.clr\t" + cycles_note + "\n");
  for (int start = 1; start <= 2; ++start) {
    Restart();
    EXPECT_EQ(Read(Dir("Ann.gal")), "Ann.gal") << start;
    EXPECT_FALSE(Has("Ann.clr")) << start;
    EXPECT_EQ(Read(Dir(".quendar-move-1-2")), large) << start;
    ASSERT_EQ(Boxes.size(), 1u) << start;
    EXPECT_NE(Boxes[0].find("\n" + Dir(".quendar-move-1-2") + ", which could be Ann's colour cycles, Ann.clr\n"),
              std::string::npos)
        << Boxes[0];
    // Its note proves nothing either way: nothing says it was written since.
    EXPECT_EQ(Boxes[0].find("another program"), std::string::npos) << Boxes[0];
  }
  std::filesystem::rename(Dir(".quendar-move-1-2"), Dir("Ann.clr"));
  Restart();
  EXPECT_TRUE(Boxes.empty()) << Boxes.front();
  EXPECT_TRUE(Kept_Journal("").empty());
  EXPECT_FALSE(Has("quendar.jnl"));
}

// The same kind of record for a swap undone, all its moves made: Ann's
// large gallery noted by sampled blocks, Bob's small one by every byte. His
// is known under Ann's name, though her way passes that name first; hers
// proves nothing, and both are told where they are.
TEST_F(User_Rename_Bytes_Test, ARecordOfTheSampledKindFindsAProvenFileOnANameAnUnprovenOnePassesFirst) {
  const People p = {"Ann and Bob", {"Ann", "Bob"}, {{"Ann", "Zed"}, {"Bob", "Ann"}, {"Zed", "Bob"}}, Bytes::Own};
  Start(p, Next());
  std::string large(100000, '\0');
  for (size_t i = 0; i < large.size(); ++i) large[i] = char(i * 7 >> 3);
  const std::string anns =
      "100000:a204e07b74b77c7e/3f0515a4df8dfc0b9805996512995b1dd61349a9834a800ca605734f73c7b27adbbe62f67994e15faec18ff"
      "1504746cbb5fd1bf7fa68584852020532b57de81a";
  const std::string bobs = "7:4e37715731abb577/2961d749296214f229622ee9296228fd2962336a296230c029621447";
  Write(Dir("Bob.gal"), large);
  Write(Dir("Ann.gal"), "Bob.gal");
  Write(Dir("quendar.jnl"), "quendar rename journal 3\ndatabase " + Database_Hash(Dir("quendar.usr")) +
                                "\nsaved none\nstate change\ndone 4\n-\tAnn.gal\t.quendar-move-1-1\t" + anns +
                                "\n-\tBob.gal\t.quendar-move-1-2\t" + bobs + "\n-\t.quendar-move-1-1\tBob.gal\t" + anns +
                                "\n-\t.quendar-move-1-2\tAnn.gal\t" + bobs + "\n");
  Restart();
  EXPECT_EQ(Read(Dir("Bob.gal")), large);
  ASSERT_EQ(Boxes.size(), 1u);
  for (const std::string& line :
       {Dir("Bob.gal") + ", which could be Ann's gallery, Ann.gal or Bob's gallery, Bob.gal\n",
        Dir(".quendar-move-1-2") + ", which is Bob's gallery, Bob.gal, whose name another of them has\n"})
    EXPECT_NE(Boxes[0].find("\n" + line), std::string::npos) << Boxes[0];
}

// A box tells each path once, in the list that says what is there: a file
// not found whose place now holds a file that could be hers, or anyone's,
// is not also told as gone from there. A swap cut at every point, then its
// galleries deleted (those parked, or those under the users' names) and
// Bob's older gallery written back under his name by another program; or
// one gallery deleted and another program moving the other to its name and
// making it unchangeable there, so that the move back fails and says where
// the file stays.
TEST_F(User_Rename_Bytes_Test, ABoxTellsEachPathOnce) {
  const People& p = Swap;
  Start(p, Next());
  const int points = Points([&] { Change_Names(p); });
  const struct {
    const char* what;
    std::function<bool(const std::string& name, const std::string& bytes)> deleted;
    const char* moved;  // the bytes of the gallery moved to the deleted one's name
    const char* to;
  } cases[] = {
      {"the parked galleries deleted",
       [](const std::string& name, const std::string& bytes) {
         return name.rfind(".quendar-move-", 0) == 0 && bytes.find(".gal") != std::string::npos;
       },
       nullptr, nullptr},
      {"the galleries under the users' names deleted",
       [](const std::string& name, const std::string&) { return name == "Ann.gal" || name == "Bob.gal"; }, nullptr,
       nullptr},
      {"one gallery deleted, the other moved to its name and made unchangeable",
       [](const std::string&, const std::string& bytes) { return bytes == "Ann.gal"; }, "Bob.gal", "Ann.gal"},
      {"the other gallery deleted, the one moved to its name and made unchangeable",
       [](const std::string&, const std::string& bytes) { return bytes == "Bob.gal"; }, "Ann.gal", "Bob.gal"},
  };
  Root_Only_Cases root_only(Unmovable_File::Why_Skipped);
  int none_left = 0;  // lines of files whose every place holds a file told below
  int failed = 0;     // boxes telling a move that failed, and whose the file is
  for (const auto& c : cases) {
    if (c.moved && root_only.Left_Out(c.what)) continue;
    for (int kill = 1; kill <= points; ++kill) {
      const std::string what = std::string(c.what) + ", killed at " + std::to_string(kill);
      Start(p, Next());
      ASSERT_TRUE(Killed_At(kill, [&] { Change_Names(p); })) << what;
      std::string moved;
      for (const auto& entry : std::filesystem::directory_iterator(Dir())) {
        if (!entry.is_regular_file()) continue;
        const std::string bytes = Read(entry.path());
        if (c.deleted(entry.path().filename(), bytes)) std::filesystem::remove(entry.path());
        else if (c.moved && bytes == c.moved) moved = entry.path();
      }
      std::optional<Unmovable_File> kept;
      if (!c.moved) {
        if (!Has("Bob.gal")) Write(Dir("Bob.gal"), "Bob's older gallery");
      } else if (!Has(c.to)) {
        ASSERT_FALSE(moved.empty()) << what;
        std::filesystem::rename(moved, Dir(c.to));
        kept.emplace(Dir(c.to), Unmovable_File::Immutable);
        ASSERT_TRUE(kept->made) << what;
      }
      Restart();
      if (kept) kept->Release();
      for (const std::string& box : Boxes) {
        none_left += box.find(": it was under a name that now holds another file, told below\n") != std::string::npos;
        for (const auto& entry : std::filesystem::directory_iterator(Dir())) {
          const std::string path = entry.path().string();
          int told = 0;
          for (size_t at = box.find(path); at != std::string::npos; at = box.find(path, at + 1))
            told += at + path.size() == box.size() || std::string("\n, :").find(box[at + path.size()]) != std::string::npos;
          EXPECT_LE(told, 1) << what << ": " << path << "\n" << box;
        }
        if (!kept) continue;
        // The file stays under the other's name, and the box says whose it is.
        failed += box.find("Unable to move file " + Dir(c.to) + ", which is ") != std::string::npos;
        EXPECT_EQ(box.find("Unable to move file " + Dir(c.to) + " to "), std::string::npos) << what << "\n" << box;
      }
    }
  }
  EXPECT_GT(none_left, 0);
  // Only the administrator's cases make a move fail.
  if (Unmovable_File::Root()) {
    EXPECT_GT(failed, 0);
  }
  root_only.End();
}
