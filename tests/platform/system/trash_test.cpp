#include "platform/system/trash.h"

#include <gtest/gtest.h>
#include <time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <map>
#include <sstream>
#include <regex>

#include "platform/system/file_system.h"
#include "tests/platform/system/temp_home.h"

namespace {

class Trash : public Temp_Home {
 protected:
  // Makes the work file name with text and moves it to the trash.
  bool Trash_New(const std::string& name, const std::string& text) {
    Write(Work(name), text);
    return Move_To_Trash(Work(name));
  }
};

std::string Unescape(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    const bool escaped = text[i] == '%' && i + 2 < text.size();
    out += escaped ? static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16)) : text[i];
    if (escaped) i += 2;
  }
  return out;
}

// The keys of a trash info file, checked against the format as it goes.
std::map<std::string, std::string> Parse_Info(const std::string& text) {
  std::map<std::string, std::string> keys;
  std::istringstream in(text);
  std::string line;
  std::getline(in, line);
  EXPECT_EQ(line, "[Trash Info]");
  while (std::getline(in, line)) {
    size_t equals = line.find('=');
    EXPECT_NE(equals, std::string::npos) << line;
    if (equals != std::string::npos) keys[line.substr(0, equals)] = line.substr(equals + 1);
  }
  return keys;
}

// The original path an info file names.
std::string Path_In(const std::string& info_file) { return Unescape(Parse_Info(Temp_Home::Read(info_file))["Path"]); }

TEST_F(Trash, InfoFileFollowsTheFormatAndParsesBack) {
  const std::string original = Work("my drawing #1 (ü).gal");
  Write(original, "pattern");
  time_t before = time(nullptr);
  ASSERT_TRUE(Move_To_Trash(original));
  time_t after = time(nullptr);
  EXPECT_FALSE(std::filesystem::exists(original));

  const std::string trash = root_ + "/data/Trash";
  EXPECT_EQ(Read(trash + "/files/my drawing #1 (ü).gal"), "pattern");
  auto keys = Parse_Info(Read(trash + "/info/my drawing #1 (ü).gal.trashinfo"));
  ASSERT_EQ(keys.size(), 2u);
  // Only unreserved characters and '/' stay as they are.
  EXPECT_TRUE(std::regex_match(keys["Path"], std::regex("[A-Za-z0-9/._~%-]*")));
  EXPECT_EQ(Unescape(keys["Path"]), original);
  EXPECT_NE(keys["Path"].find("%20%231%20%28%C3%BC%29"), std::string::npos);

  const std::string& date = keys["DeletionDate"];
  ASSERT_TRUE(std::regex_match(date, std::regex(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d)"))) << date;
  struct tm local = {};
  ASSERT_TRUE(strptime(date.c_str(), "%Y-%m-%dT%H:%M:%S", &local));
  local.tm_isdst = -1;
  time_t stamp = mktime(&local);  // read back as local time
  EXPECT_TRUE(stamp >= before - 1 && stamp <= after + 1) << date;
}

TEST_F(Trash, SameNamesAreMadeUniqueAndRelativePathsFull) {
  for (const char* text : {"0", "1", "2"}) ASSERT_TRUE(Trash_New("a.gal", text));
  ASSERT_TRUE(Trash_New("plain", "x") && Trash_New("plain", "y"));
  const std::string trash = root_ + "/data/Trash/";
  for (auto [name, text] : {std::pair{"a.gal", "0"}, {"a.2.gal", "1"}, {"a.3.gal", "2"}, {"plain", "x"}, {"plain.2", "y"}}) {
    EXPECT_EQ(Read(trash + "files/" + name), text);
    EXPECT_EQ(Path_In(trash + "info/" + name + ".trashinfo"), Work(text[0] < 'a' ? "a.gal" : "plain"));
  }
  // Relative paths are made full.
  Write(Work("rel.txt"), "r");
  auto old = std::filesystem::current_path();
  std::filesystem::current_path(Work(""));
  bool trashed = Move_To_Trash("./sub/../rel.txt");
  std::filesystem::current_path(old);
  ASSERT_TRUE(trashed);
  EXPECT_EQ(Path_In(root_ + "/data/Trash/info/rel.txt.trashinfo"), Work("rel.txt"));
  // A file set aside in a folder of its own is recorded where it was, in full.
  std::filesystem::create_directories(Work("aside"));
  Write(Work("aside/b.gal"), "b");
  ASSERT_TRUE(Move_To_Trash(Work("aside/b.gal"), Work("aside/../b.gal")));
  EXPECT_EQ(Read(trash + "files/b.gal"), "b");
  EXPECT_EQ(Path_In(trash + "info/b.gal.trashinfo"), Work("b.gal"));
}

TEST_F(Trash, FailuresLeaveNothingBehind) {
  EXPECT_FALSE(Move_To_Trash(Work("missing")) || Move_To_Trash("") || Move_To_Trash(Work(std::string(300, 'x'))));
  // A name whose full path passes the limit although the name given does not.
  std::filesystem::current_path(Work(""));
  std::string name(250, 'n');
  Write(Work(name.substr(0, 200)), "x");
  EXPECT_FALSE(Move_To_Trash(name));
  std::filesystem::current_path("/");
  const std::string info = root_ + "/data/Trash/info";
  EXPECT_TRUE(!std::filesystem::exists(info) || std::filesystem::is_empty(info));
  // An unusable trash directory: a file where the trash should be.
  Write(root_ + "/data/Trash", "not a directory");
  EXPECT_TRUE(!Trash_New("kept", "k") && Read(Work("kept")) == "k");
}

TEST_F(Trash, WorksWithoutTheNoReplaceRename) {
  Set_File_System_Faults({.no_replace_rename = true});
  std::filesystem::create_directories(Work("folder/inside"));
  Write(root_ + "/data/Trash/files/folder", "left by a crash");
  EXPECT_TRUE(Trash_New("a.gal", "1"));
  EXPECT_TRUE(Move_To_Trash(Work("folder")));
  Set_File_System_Faults({});
  EXPECT_EQ(Read(root_ + "/data/Trash/files/a.gal") + Read(root_ + "/data/Trash/files/folder"), "1left by a crash");
  EXPECT_TRUE(std::filesystem::is_directory(root_ + "/data/Trash/files/folder.2/inside"));
  EXPECT_FALSE(std::filesystem::exists(Work("folder")));
}

// Without second names the whole record is renamed into place, still
// never over another's, and no partial record stays.
TEST_F(Trash, WorksWithoutHardLinks) {
  Set_File_System_Faults({.no_hard_links = true});
  const bool first = Trash_New("a.gal", "1"), second = Trash_New("a.gal", "2");
  Set_File_System_Faults({});
  ASSERT_TRUE(first && second);
  const std::string trash = root_ + "/data/Trash/";
  EXPECT_EQ(Read(trash + "files/a.gal") + Read(trash + "files/a.2.gal"), "12");
  EXPECT_EQ(Path_In(trash + "info/a.gal.trashinfo"), Work("a.gal"));
  EXPECT_EQ(Path_In(trash + "info/a.2.gal.trashinfo"), Work("a.gal"));
  size_t entries = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(trash + "info")) ++entries;
  EXPECT_EQ(entries, 2u);
}

TEST_F(Trash, AMissingDataDirectoryIsMade) {
  const std::string data = root_ + "/home/.local/share";
  Set("XDG_DATA_HOME", std::nullopt);
  ASSERT_FALSE(std::filesystem::exists(data));
  ASSERT_TRUE(Trash_New("first.gal", "1"));
  EXPECT_TRUE(Read(data + "/Trash/files/first.gal") == "1" && std::filesystem::exists(data + "/Trash/info/first.gal.trashinfo"));
  struct stat info;
  ASSERT_EQ(stat((data + "/Trash").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 077, 0u);  // the trash itself stays private
}

TEST_F(Trash, AcrossFileSystemsFilesAreCopiedAndDeleted) {
  struct stat here, shm;
  if (stat("/dev/shm", &shm) != 0 || stat(root_.c_str(), &here) != 0 || here.st_dev == shm.st_dev)
    GTEST_SKIP() << "no second file system";
  char pattern[] = "/dev/shm/quendar-trash-XXXXXX";
  std::string data = mkdtemp(pattern);
  Set("XDG_DATA_HOME", data);
  ASSERT_TRUE(Trash_New("far.gal", std::string(100000, 'f')));
  EXPECT_TRUE(!std::filesystem::exists(Work("far.gal")) && Read(data + "/Trash/files/far.gal") == std::string(100000, 'f'));
  EXPECT_EQ(Path_In(data + "/Trash/info/far.gal.trashinfo"), Work("far.gal"));
  // A directory cannot be copied across: refused, and its info file removed.
  std::filesystem::create_directory(Work("folder"));
  EXPECT_FALSE(Move_To_Trash(Work("folder")));
  EXPECT_TRUE(std::filesystem::exists(Work("folder")) && !std::filesystem::exists(data + "/Trash/info/folder.trashinfo"));
  std::filesystem::remove_all(data);
}

// A cut at any point of a move to the trash leaves either no record or a
// whole one, and the file either where it was or in the trash; the next
// move clears what the cut left, so every record has its item.
TEST_F(Trash, ACutAtAnyPointLeavesNoHalfRecordAndIsClearedNextTime) {
  const std::string trash = root_ + "/data/Trash/";
  for (int cut = 1;; ++cut) {
    SCOPED_TRACE(cut);
    std::filesystem::remove_all(trash);
    Write(Work("a.gal"), "ann");
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      int reached = 0;
      Set_Trash_Cut_Hook([&] {
        if (++reached == cut) _exit(0);
      });
      Move_To_Trash(Work("a.gal"));
      _exit(1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    const bool cut_short = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    // Just after the cut: the file is in one place, and a record is whole.
    const bool home = std::filesystem::exists(Work("a.gal"));
    EXPECT_NE(home, std::filesystem::exists(trash + "files/a.gal"));
    if (std::filesystem::exists(trash + "info/a.gal.trashinfo")) {
      EXPECT_EQ(Path_In(trash + "info/a.gal.trashinfo"), Work("a.gal"));
    }
    // The next time: the file (or another) goes, and the trash holds
    // exactly the records of its items, each naming its place.
    Write(Work("b.gal"), "bob");
    ASSERT_TRUE(Move_To_Trash(Work(home ? "a.gal" : "b.gal")));
    std::vector<std::string> infos, items;
    for (const auto& entry : std::filesystem::directory_iterator(trash + "info")) infos.push_back(entry.path().filename());
    for (const auto& entry : std::filesystem::directory_iterator(trash + "files")) items.push_back(entry.path().filename());
    std::sort(infos.begin(), infos.end());
    std::sort(items.begin(), items.end());
    const std::vector<std::string> expected_items = home ? std::vector<std::string>{"a.gal"} : std::vector<std::string>{"a.gal", "b.gal"};
    EXPECT_EQ(items, expected_items);
    ASSERT_EQ(infos.size(), items.size());
    for (size_t i = 0; i < items.size(); ++i) {
      EXPECT_EQ(infos[i], items[i] + ".trashinfo");
      EXPECT_EQ(Path_In(trash + "info/" + infos[i]), Work(items[i]));
    }
    EXPECT_EQ(Read(trash + "files/a.gal"), "ann");
    std::filesystem::remove(Work("b.gal"));
    if (!cut_short) {
      EXPECT_GE(cut, 4);  // every point the move passes was cut at
      break;
    }
  }
}

// A partial record left by a cut before it was linked is cleared, but a
// record of the same name that is not the same file is another program's,
// and stays even without its item.
TEST_F(Trash, ClearingALeftPartialKeepsAnotherProgramsRecord) {
  const std::string info = root_ + "/data/Trash/info/";
  std::filesystem::create_directories(info);
  std::filesystem::create_directories(root_ + "/data/Trash/files");
  Write(info + "a.gal.trashinfo", "[Trash Info]\nPath=/elsewhere/a.gal\nDeletionDate=2026-01-01T00:00:00\n");
  Write(info + "a.gal.trashinfo.partial", "[Trash Info]\nPath=/el");
  ASSERT_TRUE(Trash_New("b.gal", "bob"));
  EXPECT_EQ(Path_In(info + "a.gal.trashinfo"), "/elsewhere/a.gal");
  EXPECT_FALSE(std::filesystem::exists(info + "a.gal.trashinfo.partial"));
}

}  // namespace
