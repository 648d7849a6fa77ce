#include "platform/system/cups_print_service.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <optional>
#include <sstream>

#include "tests/platform/system/stand_in_print_server.h"

namespace {

using Clock = std::chrono::steady_clock;
using Manner = Stand_In_Print_Server::Manner;

// Runs call on a thread of its own and says whether it came back within
// limit_ms; one that did not is cut off so that the test can end.
bool Returns_Within(TCups_Print_Service& service, const std::function<void()>& call, int limit_ms) {
  auto done = std::async(std::launch::async, call);
  const bool in_time = done.wait_for(std::chrono::milliseconds(limit_ms)) == std::future_status::ready;
  if (!in_time) service.Interrupt();
  done.get();
  service.Resume();
  return in_time;
}

TEST(Cups_Print_Service_Test, EveryCallEndsByItsDeadlineWhenTheServerIsSilentOrDrips) {
  Stand_In_Print_Server silent(Manner::Silent), dripping(Manner::Dripping);
  ASSERT_TRUE(silent.Listening() && dripping.Listening());
  struct Case {
    const char* what;
    Stand_In_Print_Server* server;
    int deadline_ms;
    std::function<bool(TCups_Print_Service&)> failed;
  };
  const auto look = [](TCups_Print_Service& s) { return s.Job_State("q", 12) == TPrint_Job_State::Unreachable; };
  const auto cancel = [](TCups_Print_Service& s) { return !s.Cancel("q", 12); };
  const auto question = [](TCups_Print_Service& s) {
    TPrinter_Description printer;
    return !s.Default_Printer(printer);
  };
  const Case cases[] = {
      {"look, silent", &silent, TCups_Print_Service::Look_Deadline_Ms, look},
      {"look, dripping", &dripping, TCups_Print_Service::Look_Deadline_Ms, look},
      {"cancel, silent", &silent, TCups_Print_Service::Cancel_Deadline_Ms, cancel},
      {"cancel, dripping", &dripping, TCups_Print_Service::Cancel_Deadline_Ms, cancel},
      {"default printer, dripping", &dripping, TCups_Print_Service::Question_Deadline_Ms, question},
  };
  // All at once, each on its own connection; each is given two seconds
  // beyond its deadline.
  std::vector<std::future<void>> runs;
  for (const Case& c : cases)
    runs.push_back(std::async(std::launch::async, [&c] {
      TCups_Print_Service service(c.server->Path());
      bool failed = false;
      EXPECT_TRUE(Returns_Within(service, [&] { failed = c.failed(service); }, c.deadline_ms + 2000)) << c.what;
      EXPECT_TRUE(failed) << c.what;
    }));
  for (auto& run : runs) run.get();
  EXPECT_GE(silent.Connections(), 2);
  EXPECT_GE(dripping.Connections(), 3);
}

TEST(Cups_Print_Service_Test, InterruptCutsOffTheCallUnderWayAndRefusesOthersUntilResume) {
  Stand_In_Print_Server dripping(Manner::Dripping);
  ASSERT_TRUE(dripping.Listening());
  TCups_Print_Service service(dripping.Path());
  auto asking = std::async(std::launch::async, [&] {
    TPrinter_Description printer;
    return service.Default_Printer(printer);
  });
  // A busy machine may be slow to start the call and connect.
  const Clock::time_point give_up = Clock::now() + std::chrono::seconds(120);
  while (dripping.Received() == 0 && Clock::now() < give_up)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  const Clock::time_point interrupted = Clock::now();
  service.Interrupt();
  EXPECT_FALSE(asking.get());
  // Far sooner after the interrupt than the question's own deadline.
  EXPECT_LT(Clock::now() - interrupted, std::chrono::milliseconds(TCups_Print_Service::Question_Deadline_Ms / 2));
  // The library may have opened the cut connection again: counted from here.
  const int made = dripping.Connections();
  EXPECT_EQ(service.Job_State("q", 1), TPrint_Job_State::Unreachable);
  EXPECT_EQ(dripping.Connections(), made);  // refused without a connection
  service.Resume();
  service.Job_State("q", 1);
  EXPECT_EQ(dripping.Connections(), made + 1);
}

TEST(Cups_Print_Service_Test, TheServerCupsClientsUseIsAskedForAgainOnEveryCall) {
  Stand_In_Print_Server first(Manner::Silent), second(Manner::Silent);
  const char* before = getenv("CUPS_SERVER");
  const std::string kept = before ? before : "";
  TCups_Print_Service service;
  setenv("CUPS_SERVER", first.Path().c_str(), 1);
  service.Job_State("q", 1);
  setenv("CUPS_SERVER", second.Path().c_str(), 1);
  service.Job_State("q", 1);
  // A server that went away: no answer, at once.
  setenv("CUPS_SERVER", (first.Path() + ".gone").c_str(), 1);
  EXPECT_EQ(service.Job_State("q", 1), TPrint_Job_State::Unreachable);
  if (before) setenv("CUPS_SERVER", kept.c_str(), 1);
  else unsetenv("CUPS_SERVER");
  EXPECT_EQ(first.Connections(), 1);
  EXPECT_EQ(second.Connections(), 1);
}

TEST(Cups_Print_Service_Test, CallsAboutANamedPrinterEndAtAnInterruptWithoutConnectionsOfTheLibrarysOwn) {
  // The server CUPS clients use is the silent one too: a look-up of the
  // library's own would go there on a connection of its own, beyond reach.
  const char* before = getenv("CUPS_SERVER");
  const std::string kept = before ? before : "";
  struct Case {
    const char* what;
    std::function<bool(TCups_Print_Service&)> failed;
  };
  const Case cases[] = {
      {"describe", [](TCups_Print_Service& s) {
         TPrinter_Description printer;
         return !s.Describe("q", printer);
       }},
      {"papers", [](TCups_Print_Service& s) { return s.Media("q").empty(); }},
      {"job", [](TCups_Print_Service& s) { return s.Submit("q", "t", "", {}) == TPrint_Service::Unreachable_Server; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto server = std::make_unique<Stand_In_Print_Server>(Manner::Silent);
    ASSERT_TRUE(server->Listening());
    setenv("CUPS_SERVER", server->Path().c_str(), 1);
    TCups_Print_Service service;
    bool failed = false;
    auto call = std::async(std::launch::async, [&] { failed = c.failed(service); });
    const Clock::time_point give_up = Clock::now() + std::chrono::seconds(120);  // a busy machine is slow to connect
    // Interrupted once the request is on its way, while the call waits for
    // the answer.
    while (server->Received() == 0 && Clock::now() < give_up)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    service.Interrupt();
    // The silent server never answers: only the interrupt ends the call, so a
    // long bound costs nothing when it works. A connection of the library's
    // own is beyond the interrupt's reach and would hold the call past it;
    // the library may open the service's own connection again after the cut,
    // which the cut follows, so the server may count more than one.
    const bool in_time = call.wait_for(std::chrono::seconds(20)) == std::future_status::ready;
    // A connection of the library's own ends only with the server.
    if (!in_time) server.reset();
    call.get();
    EXPECT_TRUE(in_time);
    EXPECT_TRUE(failed);
  }
  if (before) setenv("CUPS_SERVER", kept.c_str(), 1);
  else unsetenv("CUPS_SERVER");
}

// Sets an environment variable for as long as it lives.
class Scoped_Environment {
 public:
  Scoped_Environment(const char* name, const char* value) : name(name) {
    if (const char* before = getenv(name)) kept = before;
    if (value) setenv(name, value, 1);
    else unsetenv(name);
  }
  ~Scoped_Environment() {
    if (kept) setenv(name, kept->c_str(), 1);
    else unsetenv(name);
  }

 private:
  const char* name;
  std::optional<std::string> kept;
};

// The library opens the call's connection again when it cannot send its
// request there (the cut ended it); the new connection may get the old
// one's number, and is cut all the same. Before it asks for the default
// printer the library reads this user's printer options: a pipe in their
// place holds it there, the connection open and the request not yet sent,
// until the interrupt has cut the connection and the server let it go.
TEST(Cups_Print_Service_Test, InterruptCutsTheConnectionTheLibraryOpensAgain) {
  Stand_In_Print_Server server(Manner::Silent);
  ASSERT_TRUE(server.Listening());
  char pattern[] = "/tmp/quendar-print-home-XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  const std::string home = pattern, options = home + "/.cups/lpoptions";
  std::filesystem::create_directories(home + "/.cups");
  ASSERT_EQ(mkfifo(options.c_str(), 0600), 0);
  Scoped_Environment own_home("HOME", home.c_str()), no_printer("PRINTER", nullptr), no_destination("LPDEST", nullptr);
  TCups_Print_Service service(server.Path());
  auto asking = std::async(std::launch::async, [&] {
    TPrinter_Description printer;
    return service.Default_Printer(printer);
  });
  // The pipe opens for writing once the library has it open for reading.
  const Clock::time_point give_up = Clock::now() + std::chrono::seconds(120);  // a busy machine is slow
  int writer = -1;
  while ((writer = open(options.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC)) < 0 && Clock::now() < give_up)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  // The server takes the connection a moment after the library made it.
  while (server.Connections() == 0 && Clock::now() < give_up)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  const bool held = writer >= 0 && server.Connections() == 1;
  service.Interrupt();
  while (server.Ended() == 0 && Clock::now() < give_up) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  const bool cut = server.Ended() == 1;
  // No options: the library sends its request, finds the connection ended,
  // and opens another, to a server that stays silent.
  if (writer >= 0) close(writer);
  const Clock::time_point released = Clock::now();
  const bool in_time = asking.wait_for(std::chrono::milliseconds(TCups_Print_Service::Question_Deadline_Ms / 2)) ==
                       std::future_status::ready;
  const std::chrono::milliseconds took =
      std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - released);
  EXPECT_FALSE(asking.get());
  std::filesystem::remove_all(home);
  ASSERT_TRUE(held) << "the library never read the options with its connection open";
  ASSERT_TRUE(cut) << "the interrupt did not cut the first connection";
  EXPECT_GE(server.Connections(), 2) << "the library did not connect again";
  // Far sooner than the question's own deadline, which an uncut connection
  // to the silent server would reach.
  EXPECT_TRUE(in_time) << "the call had not ended " << took.count() << " ms after the library could send its request";
}

// The connections to port on this machine still being opened (their first
// packet sent, no answer yet).
int Connecting_To(int port) {
  int count = 0;
  std::ifstream table("/proc/net/tcp");
  std::string line;
  char tail[8];
  snprintf(tail, sizeof tail, ":%04X", port);
  while (std::getline(table, line)) {
    std::istringstream fields(line);
    std::string slot, local, remote, state;
    fields >> slot >> local >> remote >> state;
    if (state == "02" && remote.size() > 5 && remote.compare(remote.size() - 5, 5, tail) == 0) ++count;
  }
  return count;
}

TEST(Cups_Print_Service_Test, InterruptGivesUpAConnectionStillBeingOpened) {
  // A server whose queue of connections is full: a new one is never taken.
  const int listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  ASSERT_EQ(listen(listener, 0), 0);
  ASSERT_EQ(getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length), 0);
  const int port = ntohs(address.sin_port);
  std::vector<int> filling;
  for (int i = 0; i < 2; ++i) {
    filling.push_back(socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    connect(filling.back(), reinterpret_cast<sockaddr*>(&address), sizeof address);
  }
  const int held_before = Connecting_To(port);
  TCups_Print_Service service("127.0.0.1:" + std::to_string(port));
  auto call = std::async(std::launch::async, [&] { return service.Submit("q", "t", "", {}); });
  const Clock::time_point give_up = Clock::now() + std::chrono::seconds(120);  // a busy machine is slow to connect
  while (Connecting_To(port) == held_before && Clock::now() < give_up)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  const bool connecting = Connecting_To(port) > held_before;
  service.Interrupt();
  // Far sooner than the time a connection may take to open.
  const bool in_time = call.wait_for(std::chrono::milliseconds(TCups_Print_Service::Connect_Timeout_Ms / 2)) ==
                       std::future_status::ready;
  EXPECT_EQ(call.get(), TPrint_Service::Unreachable_Server);
  for (int fd : filling) close(fd);
  close(listener);
  ASSERT_TRUE(connecting) << "the connection was not held up";
  EXPECT_TRUE(in_time);
}

}  // namespace
