#include "platform/system/atomic_file.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <thread>
#include <tuple>

#include "platform/system/user_file.h"
#include "tests/platform/system/temp_home.h"

namespace {

using Atomic_File = Temp_Home;

std::span<const uint8_t> Bytes(const std::string& text) {
  return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
}

size_t Entries(const std::string& directory) {
  size_t count = 0;
  for ([[maybe_unused]] auto& entry : std::filesystem::directory_iterator(directory)) ++count;
  return count;
}

TEST_F(Atomic_File, ReplacesKeepingModeAndLeavesNoTemporary) {
  std::string path = Work("saved");
  ASSERT_TRUE(Write_File_Atomically(path, Bytes("first")));
  EXPECT_EQ(Read(path), "first");
  chmod(path.c_str(), 0640);
  ASSERT_TRUE(Write_File_Atomically(path, Bytes("")));
  struct stat info;
  ASSERT_EQ(stat(path.c_str(), &info), 0);
  EXPECT_EQ(std::tuple(Read(path), info.st_mode & 0777, Entries(Work(""))), std::tuple("", 0640u, 1u));
}

TEST_F(Atomic_File, FailuresLeaveTheOldFile) {
  std::string path = Work("saved");
  Write(path, "old");
  for (int64_t budget : {0, 1, 4}) {
    Fail_Atomic_Write_After(budget);
    EXPECT_FALSE(Write_File_Atomically(path, Bytes("newer"))) << budget;
    EXPECT_FALSE(Write_File_Atomically(path, Bytes(""))) << "the fault stays until turned off";
    Fail_Atomic_Write_After(-1);
    EXPECT_TRUE(Read(path) == "old" && Entries(Work("")) == 1) << "the old file stays, the temporary one goes";
  }
  Fail_Atomic_Write_After(5);
  EXPECT_TRUE(Write_File_Atomically(path, Bytes("newer"))) << "exactly the budget fits";
  Fail_Atomic_Write_After(-1);
  // Paths that cannot be saved to: a missing directory, a directory, a FIFO,
  // a name longer than the file system allows.
  ASSERT_EQ(mkfifo(Work("fifo").c_str(), 0600), 0);
  for (const std::string& name : {std::string("missing/file"), std::string(), std::string("fifo"), std::string(300, 'a')})
    EXPECT_FALSE(Write_File_Atomically(Work(name), Bytes("x"))) << name;
  EXPECT_EQ(Read(path), "newer");
}

// A failed save leaves errno saying why, in the words the person reads.
TEST_F(Atomic_File, FailuresSayWhy) {
  const std::string closed = Work("closed/");
  Write(Work("unreadable"), "someone's");
  chmod(Work("unreadable").c_str(), 0200);
  ASSERT_EQ(mkfifo(Work("fifo").c_str(), 0600), 0);
  struct Case {
    std::string path;
    int64_t budget;
    std::string reason;
  };
  const std::vector<Case> cases = {
      {Work("saved"), 0, "The disk is full"},
      {Work("saved"), 3, "The disk is full"},
      {closed + "file", -1, "You have no permission to write the file"},
      {Work("unreadable"), -1, "You have no permission to write the file"},
      {Work("fifo"), -1, "It is not a regular file"},
  };
  // Folders this user made and closed, so that the administrator's rights
  // play no part.
  Ordinary_User_Scope ordinary(root_);
  std::filesystem::create_directories(closed);
  chmod(closed.c_str(), 0555);
  for (const Case& c : cases) {
    Fail_Atomic_Write_After(c.budget);
    errno = 0;
    EXPECT_FALSE(Write_File_Atomically(c.path, Bytes("newer"))) << c.path;
    EXPECT_EQ(Write_Failure_Reason(errno), c.reason) << c.path;
    Fail_Atomic_Write_After(-1);
  }
}

// A disk mounted read-only (only the administrator may mount one).
TEST_F(Atomic_File, ASaveOnAReadOnlyDiskSaysSo) {
  if (geteuid() != 0) GTEST_SKIP() << "mounting a read-only file system needs the administrator";
  const std::string read_only = Work("read-only/");
  std::filesystem::create_directories(read_only);
  ASSERT_EQ(mount("tmpfs", read_only.c_str(), "tmpfs", MS_RDONLY, "size=64k"), 0)
      << "the read-only file system could not be mounted on " << read_only << ": " << std::strerror(errno);
  {
    Ordinary_User_Scope ordinary(root_);
    errno = 0;
    EXPECT_FALSE(Write_File_Atomically(read_only + "file", Bytes("newer")));
    EXPECT_EQ(Write_Failure_Reason(errno), "The disk is read-only");
  }
  umount2(read_only.c_str(), MNT_DETACH);
}

// A process killed at any moment of a loop of saves leaves the old or the new
// content whole, never a stub or a mixture.
TEST_F(Atomic_File, KilledSaverLeavesAWholeFile) {
  std::string path = Work("saved");
  const std::string a(20000, 'a'), b(30000, 'b');
  ASSERT_TRUE(Write_File_Atomically(path, Bytes(a)));
  for (int round = 0; round < 20; ++round) {
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      for (int i = 0;; ++i) Write_File_Atomically(path, Bytes(i % 2 ? a : b));
    }
    std::this_thread::sleep_for(std::chrono::microseconds(500 + 700 * round));
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    std::string content = Read(path);
    EXPECT_TRUE(content == a || content == b) << "round " << round << ": " << content.size() << " bytes";
  }
}

}  // namespace
