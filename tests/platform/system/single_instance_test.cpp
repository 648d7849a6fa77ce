#include "platform/system/single_instance.h"

#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <thread>

#include "tests/platform/system/temp_home.h"

namespace {

using Single_Instance = Temp_Home;

TEST_F(Single_Instance, SecondStartHandsOverAndTheFirstComesForward) {
  std::atomic<int> asked{0};
  TSingle_Instance first;
  ASSERT_EQ(first.Claim([&] { ++asked; }), TSingle_Instance::Start::First);
  EXPECT_TRUE(first.Listening());
  EXPECT_TRUE(std::filesystem::exists(root_ + "/runtime/Quendar_Window.socket"));

  {
    TSingle_Instance second;
    EXPECT_EQ(second.Claim([] { FAIL() << "a second start never listens"; }),
              TSingle_Instance::Start::Handed_Over);
    EXPECT_FALSE(second.Listening());
  }
  EXPECT_EQ(asked, 1);

  // From another process, as a real second start comes.
  pid_t child = fork();
  if (child == 0) {
    TSingle_Instance later;
    _exit(later.Claim(nullptr) == TSingle_Instance::Start::Handed_Over ? 0 : 1);
  }
  int status = 0;
  waitpid(child, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_EQ(asked, 2);
}

TEST_F(Single_Instance, AfterTheFirstEndsTheNextStartIsFirst) {
  {
    TSingle_Instance first;
    ASSERT_EQ(first.Claim(nullptr), TSingle_Instance::Start::First);
  }
  EXPECT_FALSE(std::filesystem::exists(root_ + "/runtime/Quendar_Window.socket"));
  TSingle_Instance next;
  EXPECT_EQ(next.Claim(nullptr), TSingle_Instance::Start::First);
  EXPECT_TRUE(next.Listening());
}

TEST_F(Single_Instance, StaleSocketOfACrashedInstanceIsReplaced) {
  // A crashed instance leaves its socket file behind but not its lock.
  const std::string path = root_ + "/runtime/Quendar_Window.socket";
  int stale = socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address = {};
  address.sun_family = AF_UNIX;
  std::strcpy(address.sun_path, path.c_str());
  ASSERT_EQ(bind(stale, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  close(stale);
  ASSERT_TRUE(std::filesystem::exists(path));

  std::atomic<int> asked{0};
  TSingle_Instance first;
  ASSERT_EQ(first.Claim([&] { ++asked; }), TSingle_Instance::Start::First);
  TSingle_Instance second;
  EXPECT_EQ(second.Claim(nullptr), TSingle_Instance::Start::Handed_Over);
  EXPECT_EQ(asked, 1);
}

TEST_F(Single_Instance, LockHolderThatNeverAnswersIsUnreachable) {
  int lock = open((root_ + "/runtime/Quendar_Window.lock").c_str(), O_RDWR | O_CREAT, 0600);
  ASSERT_EQ(flock(lock, LOCK_EX), 0);
  TSingle_Instance second("Quendar_Window", 100);
  EXPECT_EQ(second.Claim(nullptr), TSingle_Instance::Start::Unreachable);
  close(lock);
}

TEST_F(Single_Instance, AStartWhileTheFirstIsEndingBecomesTheFirst) {
  // The first instance in its last moments: its socket is gone, its lock
  // not yet released.
  int lock = open((root_ + "/runtime/Quendar_Window.lock").c_str(), O_RDWR | O_CREAT, 0600);
  ASSERT_EQ(flock(lock, LOCK_EX), 0);
  std::thread ending([lock] {
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    close(lock);
  });
  TSingle_Instance next("Quendar_Window", 3000);
  EXPECT_EQ(next.Claim(nullptr), TSingle_Instance::Start::First);
  ending.join();
  EXPECT_TRUE(next.Listening());
  TSingle_Instance later("Quendar_Window", 1000);
  EXPECT_EQ(later.Claim(nullptr), TSingle_Instance::Start::Handed_Over);
}

TEST_F(Single_Instance, ClassesAndUsersDirectoriesAreSeparate) {
  TSingle_Instance one("Quendar_Window");
  TSingle_Instance other("Other_Window");
  EXPECT_EQ(one.Claim(nullptr), TSingle_Instance::Start::First);
  EXPECT_EQ(other.Claim(nullptr), TSingle_Instance::Start::First);

  // Without a runtime directory a private one under /tmp serves.
  Set("XDG_RUNTIME_DIR", std::nullopt);
  std::string dir = TSingle_Instance::Runtime_Directory();
  EXPECT_EQ(dir, "/tmp/quendar-" + std::to_string(getuid()));
  struct stat info;
  ASSERT_EQ(stat(dir.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 077, 0u);
}

}  // namespace
