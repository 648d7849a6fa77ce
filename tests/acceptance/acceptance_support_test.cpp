// The waits the real-display tests share: how long they go on, and how they
// see that the started program still works.
#include "tests/acceptance/acceptance_support.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/acceptance/x_screen.h"

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

// A child of this test that works for work_ms, then sleeps for sleep_ms,
// over and over (sleep_ms 0: works without a break).
pid_t Working_Child(int work_ms, int sleep_ms) {
  const pid_t pid = fork();
  if (pid != 0) return pid;
  for (;;) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(work_ms);
    while (std::chrono::steady_clock::now() < end) {
    }
    if (sleep_ms > 0) Sleep_Ms(sleep_ms);
  }
}

// What the waits count as progress by default: a program at work, not one
// whose helper wakes for a moment now and then (its processor time moving
// every few seconds all the same).
TEST(Started_Program, AFailingWaitStopsAtItsStallWhenTheProgramOnlyWakesNowAndThen) {
  const struct {
    const char* what;
    int work_ms, sleep_ms;
    bool expected;
  } cases[] = {
      {"at work", 1000, 0, true},
      {"waking now and then", 10, 400, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const pid_t child = Working_Child(c.work_ms, c.sleep_ms);
    ASSERT_GT(child, 0);
    // Done after twice the stall, if the wait lasts that long.
    const auto start = std::chrono::steady_clock::now();
    const bool done = Wait_While_Progressing(
        [&] { return std::chrono::steady_clock::now() - start > std::chrono::seconds(4); }, Program_Progress,
        Patience{2000, 60000});
    EXPECT_EQ(done, c.expected);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
    End(child);
  }
}

// The screen changing is progress too, with no program at work.
TEST(Started_Program, AChangingScreenIsProgress) {
  if (!In_Child_On_Screen(320, 240)) return;
  const X_Screen screen;
  ASSERT_TRUE(screen.Open());
  const auto start = std::chrono::steady_clock::now();
  uint32_t colour = 0;
  const bool done = Wait_While_Progressing(
      [&] {
        screen.Paint_Bare_Screen(colour += 0x010203);
        return std::chrono::steady_clock::now() - start > std::chrono::seconds(8);
      },
      Program_Progress, Patience{3000, 60000});
  EXPECT_TRUE(done);
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
