// The X servers the tests and the benchmarks start for themselves: a server
// that took SIGUSR1 for a request to signal its parent would signal that
// pid again at its reset and its end, when the process may be gone and the
// pid another's, which then dies of it.
#include "tests/platform/own_x_server.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>

namespace {

const std::string Run_Script = std::string(QUENDAR_SCRIPTS_DIR) + "/run-on-own-x-server";

// The standard output of a shell command line.
std::string Output_Of(const std::string& command) {
  std::string output;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[256];
    while (fgets(buffer, sizeof buffer, pipe)) output += buffer;
    pclose(pipe);
  }
  return output;
}

// Whether a "SigIgn:" line of /proc/PID/status has SIGUSR1 ignored.
bool Ignores_Sigusr1(const std::string& status) {
  const size_t at = status.find("SigIgn:");
  if (at == std::string::npos) return false;
  return (std::stoull(status.substr(at + 7), nullptr, 16) >> (SIGUSR1 - 1)) & 1;
}

std::string Status_Of(pid_t pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/status");
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Gone, and waited for: a server left a zombie still answers kill 0.
bool Gone(pid_t pid) { return kill(pid, 0) != 0 && errno == ESRCH; }

// The line the command run by the script prints: its server's SigIgn line
// and pid (the server is the script's child, the command's parent).
const char* const Server_Of_Script = "sh -c 'p=$(pgrep -x -P $PPID Xvfb); grep SigIgn /proc/$p/status; echo $p'";

class Sigusr1_In_The_Tests : public testing::TestWithParam<void (*)(int)> {
 protected:
  void SetUp() override { before_ = signal(SIGUSR1, GetParam()); }
  void TearDown() override { signal(SIGUSR1, before_); }

 private:
  void (*before_)(int) = SIG_DFL;
};

TEST_P(Sigusr1_In_The_Tests, TheHelpersServerDoesNotIgnoreIt) {
  Own_X_Server server("640x480x24");
  ASSERT_TRUE(server.Running());
  const std::string status = Status_Of(server.Pid());
  ASSERT_NE(status.find("SigIgn:"), std::string::npos) << status;
  EXPECT_FALSE(Ignores_Sigusr1(status));
}

TEST_P(Sigusr1_In_The_Tests, TheScriptsServerDoesNotIgnoreItAndIsEndedWithTheCommand) {
  const std::string output = Output_Of("'" + Run_Script + "' 640x480x24 " + Server_Of_Script);
  ASSERT_NE(output.find("SigIgn:"), std::string::npos) << output;
  EXPECT_FALSE(Ignores_Sigusr1(output));
  const pid_t server = pid_t(std::stol(output.substr(output.find('\n') + 1)));
  EXPECT_TRUE(Gone(server)) << "the server outlived the script";
}

INSTANTIATE_TEST_SUITE_P(Ignored_Or_Not, Sigusr1_In_The_Tests, testing::Values(SIG_IGN, SIG_DFL),
                         [](const testing::TestParamInfo<void (*)(int)>& p) {
                           return std::string(p.param == SIG_IGN ? "Ignored" : "Default");
                         });

// Two servers at once have displays of their own; a command runs on the
// screen asked for; the server is gone once its object is.
TEST(Own_X_Server, ACommandRunsOnItsOwnScreenAndTheServerEndsWithTheObject) {
  pid_t first_pid;
  {
    Own_X_Server first("640x480x24");
    Own_X_Server second("320x200x24");
    ASSERT_TRUE(first.Running() && second.Running());
    EXPECT_NE(first.Display(), second.Display());
    EXPECT_EQ(Output_Of(first.Command_Prefix() + "xdotool getdisplaygeometry"), "640 480\n");
    EXPECT_EQ(Output_Of(second.Command_Prefix() + "xdotool getdisplaygeometry"), "320 200\n");
    first_pid = first.Pid();
    second.Kill();
    EXPECT_FALSE(second.Running());
  }
  EXPECT_TRUE(Gone(first_pid));
}

// The script ends as its command did, so that a benchmark or a test run on
// the server that fails fails the run.
TEST(Own_X_Server, TheScriptExitsWithItsCommandsStatus) {
  const struct {
    const char* command;
    int status;
  } cases[] = {{"true", 0}, {"false", 1}, {"sh -c 'exit 3'", 3}, {"sh -c 'kill -TERM $$'", 128 + SIGTERM}};
  for (const auto& c : cases) {
    const int ended = std::system(("'" + Run_Script + "' 320x200x24 " + c.command).c_str());
    ASSERT_TRUE(WIFEXITED(ended)) << c.command;
    EXPECT_EQ(WEXITSTATUS(ended), c.status) << c.command;
  }
}

// A server that cannot start says so, and leaves nothing behind.
TEST(Own_X_Server, AServerThatCannotStartIsNotRunning) {
  Own_X_Server server("no-such-screen");
  EXPECT_FALSE(server.Running());
  EXPECT_EQ(server.Pid(), -1);
  EXPECT_NE(std::system(("'" + Run_Script + "' no-such-screen true 2>/dev/null").c_str()), 0);
}

}  // namespace
