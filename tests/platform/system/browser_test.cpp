#include "platform/system/browser.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>
#include <thread>

#include "tests/platform/system/temp_home.h"

namespace {

void Make_Program(const std::string& path, const std::string& text) {
  Temp_Home::Write(path, text);
  chmod(path.c_str(), 0755);
}

class Browser : public Temp_Home {
 protected:
  // An opener first on the path that runs `command` and puts its output in
  // the work file `out` whole.
  void Install_Opener(const std::string& command, const std::string& out) {
    Make_Program(root_ + "/bin/xdg-open", "#!/bin/sh\n" + command + " > " + Work(out + ".tmp") + "\nmv " +
                                              Work(out + ".tmp") + " " + Work(out) + "\n");
    Set("PATH", root_ + "/bin:/usr/bin:/bin");
    Set("BROWSER", std::nullopt);
  }
  // The work file `name` once it exists (or after two minutes, which a
  // starved opener on a busy machine never needs).
  std::string Wait_For(const std::string& name) {
    const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    while (!std::filesystem::exists(Work(name)) && std::chrono::steady_clock::now() < give_up)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return Read(Work(name));
  }
};

TEST_F(Browser, StartsTheOpenerWithTheTargetWithoutWaiting) {
  // The opener outlives the call: it waits for a go-ahead file first.
  Install_Opener("while [ ! -e " + Work("go") + " ]; do sleep 0.01; done\nprintf '%s' \"$1\"", "opened");
  ASSERT_EQ(Open_In_Browser("https://example.org/a b?c=d"), Browser_Result::Started);
  EXPECT_FALSE(std::filesystem::exists(Work("opened")));
  Write(Work("go"), "");
  EXPECT_EQ(Wait_For("opened"), "https://example.org/a b?c=d");
}

// The calling thread may block signals and the program ignore some (a
// broken pipe, typically); the browser must not inherit either.
TEST_F(Browser, TheOpenerStartsWithPlainSignals) {
  Install_Opener("grep -E '^Sig(Blk|Ign):' /proc/self/status", "signals");
  sigset_t blocked, saved_mask;
  sigemptyset(&blocked), sigaddset(&blocked, SIGUSR1);
  pthread_sigmask(SIG_BLOCK, &blocked, &saved_mask);
  struct sigaction ignore = {}, saved_pipe;
  ignore.sa_handler = SIG_IGN;
  sigaction(SIGPIPE, &ignore, &saved_pipe);
  const Browser_Result result = Open_In_Browser("https://example.org/");
  sigaction(SIGPIPE, &saved_pipe, nullptr);
  pthread_sigmask(SIG_SETMASK, &saved_mask, nullptr);
  ASSERT_EQ(result, Browser_Result::Started);

  const std::string text = Wait_For("signals");
  EXPECT_NE(text.find("SigBlk:\t0000000000000000\n"), std::string::npos) << text;
  // Only the ignored signals a program can reset are checked: the C library
  // keeps a few real-time signals of its own that a parent may have ignored.
  const size_t at = text.find("SigIgn:\t");
  ASSERT_NE(at, std::string::npos) << text;
  const uint64_t ignored = std::stoull(text.substr(at + 8, 16), nullptr, 16);
  EXPECT_EQ(ignored & ((uint64_t(1) << 31) - 1), 0u) << text;  // SIGPIPE among them
}

// $BROWSER, when it names a program that exists, is started instead of the
// desktop's opener: the first of its list that is found.
TEST_F(Browser, TheBrowserTheUserChoseComesFirst) {
  Install_Opener("printf 'opener %s' \"$1\"", "opener");
  // Written aside and moved into place, like the opener's: the file must
  // not be seen before its text is in it.
  Make_Program(root_ + "/bin/mine", "#!/bin/sh\nprintf 'mine %s' \"$1\" > " + Work("mine.tmp") + "\nmv " +
                                        Work("mine.tmp") + " " + Work("mine") + "\n");
  Set("BROWSER", "no-such-browser:mine");
  ASSERT_EQ(Open_In_Browser("file:///a;b"), Browser_Result::Started);
  EXPECT_EQ(Wait_For("mine"), "mine file:///a;b");
  Set("BROWSER", "no-such-browser");
  ASSERT_EQ(Open_In_Browser("y"), Browser_Result::Started);
  EXPECT_EQ(Wait_For("opener"), "opener y");
}

// How the opener ends says whether the page opened: its watch hears of a
// failure (an exit other than 0, or a signal), not of a success.
TEST_F(Browser, TheWatchHearsOfAnOpenerThatFailsAndOfNoOther) {
  std::atomic<int> failures = 0;
  TOpener_Watch watch([&] { ++failures; });
  const struct {
    const char* ending;
    int failures_after;
  } cases[] = {{"exit 0", 0}, {"exit 1", 1}, {"kill -TERM $$", 2}, {"true", 2}};
  int run = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.ending);
    // The opener leaves its process number, then ends as the case says.
    const std::string pid_file = Work("pid" + std::to_string(run++));
    Make_Program(root_ + "/bin/xdg-open", "#!/bin/sh\necho $$ > " + pid_file + ".tmp\nmv " + pid_file + ".tmp " +
                                              pid_file + "\n" + c.ending + "\n");
    Set("PATH", root_ + "/bin:/usr/bin:/bin");
    Set("BROWSER", std::nullopt);
    ASSERT_EQ(Open_In_Browser("x", &watch), Browser_Result::Started);
    const std::string name = std::filesystem::path(pid_file).filename();
    const pid_t pid = std::stoi(Wait_For(name));
    // Gone for good once its watch has waited for it.
    const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    while ((kill(pid, 0) == 0 || failures < c.failures_after) && std::chrono::steady_clock::now() < give_up)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(failures, c.failures_after);
  }
}

TEST_F(Browser, MissingOrBrokenOpenerIsReported) {
  const std::string bin = root_ + "/bin";
  std::filesystem::create_directory(bin);
  Set("PATH", bin);
  Set("BROWSER", std::nullopt);
  EXPECT_EQ(Open_In_Browser("x"), Browser_Result::Not_Found);
  Make_Program(bin + "/xdg-open", "#!/nonexistent/interpreter\n");
  EXPECT_EQ(Open_In_Browser("x"), Browser_Result::Not_Started);
}

}  // namespace
