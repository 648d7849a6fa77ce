// The waits the real-display tests share: how long they go on, and how they
// see that the started program still works.
#include "tests/acceptance/acceptance_support.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

extern char** environ;

namespace {

TEST(Progress_Wait, GoesOnWhileWatchedChangesAndStopsAtAStallOrTheCap) {
  struct Case {
    const char* name;
    int done_after;  // polls until done says yes; -1 never
    bool changing;   // whether the watched value changes at every poll
    Patience patience;
    bool expected;
  };
  // Polls every 5 ms: a stall of 50 ms is ten polls.
  const std::vector<Case> cases = {
      {"done at once", 0, false, {50, 60000}, true},
      {"done after more than a stall's time, while changing", 40, true, {50, 60000}, true},
      {"done within the stall, nothing changing", 3, false, {50, 60000}, true},
      {"nothing changes", -1, false, {50, 60000}, false},
      {"changes for ever", -1, true, {60000, 300}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    int polls = 0;
    uint64_t value = 0;
    const auto start = std::chrono::steady_clock::now();
    const bool done = Wait_While_Progressing([&] { return c.done_after >= 0 && polls++ >= c.done_after; },
                                             [&] { return c.changing ? ++value : value; }, c.patience, 5);
    EXPECT_EQ(done, c.expected);
    // A wait that fails ends long before the other limit.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
  }
}

// Starts a program as a child of this test, as the real-display tests start
// the built program.
pid_t Spawn(const std::vector<std::string>& arguments) {
  std::vector<char*> argv;
  for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  pid_t pid = -1;
  return posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) == 0 ? pid : -1;
}

void End(pid_t pid) {
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
}

TEST(Started_Program, WorkIsSeenAndRestIsNot) {
  // A program asleep, under a name that holds what a state and a number
  // look like: the state is read after the whole name.
  char pattern[] = "/tmp/quendar-support-XXXXXX";
  const std::string folder = mkdtemp(pattern);
  const std::string sleeper = folder + "/x) R 1 (";
  std::filesystem::copy_file("/bin/sleep", sleeper);
  const pid_t asleep = Spawn({sleeper, "60"});
  ASSERT_GT(asleep, 0);
  EXPECT_TRUE(Wait_While_Progressing([] { return !Program_Busy(); })) << "a sleeping program counted as working";

  const uint64_t before = Program_Cpu_Ticks();
  const pid_t working = Spawn({"/bin/sh", "-c", "while :; do :; done"});
  ASSERT_GT(working, 0);
  EXPECT_TRUE(Wait_While_Progressing(Program_Busy, [] { return 0; })) << "a working program was not seen";
  EXPECT_TRUE(Wait_While_Progressing([&] { return Program_Cpu_Ticks() > before; }, [] { return 0; }))
      << "its processor time did not count";
  End(working);
  End(asleep);
  std::filesystem::remove_all(folder);
}

}  // namespace
