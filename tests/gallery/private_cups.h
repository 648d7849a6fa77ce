// A print server of the test's own: cupsd in the foreground with its
// configuration, spool, cache and logs in a private folder, listening only on
// a socket there, with one cups-pdf queue as its default. CUPS_SERVER points
// this process's CUPS clients at it. Its jobs get ids from a number drawn for
// the run, so the PDFs that cups-pdf writes (named after the title and the
// job id, in the submitting user's ~/PDF) never meet another run's. It can be
// frozen, to stand for a server that hangs. When it stops, CUPS_SERVER is
// what it was before, so that the tests that follow in the same process do
// not look for a server that is gone. CUPS_SERVERROOT likewise points at its
// configuration folder, where the administrator's own printer options
// (lpoptions) are then kept, never the machine's.
#pragma once

#include <fcntl.h>
#include <pwd.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <random>
#include <string>
#include <thread>

#include "tests/gallery/peer_tools.h"

extern char** environ;

class Private_Cups {
 public:
  static constexpr const char* Queue = "quendar-pdf";
  // The driver of the queues: it names A4 its default paper.
  static constexpr const char* Pdf_Driver = "/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd";

  ~Private_Cups() { Stop(); }

  // Starts the server and makes the queue; false with why() when it cannot.
  bool Start() {
    if (folder.path.empty()) return Fail("no temporary folder");
    if (!Tool_Exists("cupsd") || !Tool_Exists("lpadmin") || !Tool_Exists("setpriv"))
      return Fail("cupsd, lpadmin or setpriv is not installed");
    if (access("/usr/lib/cups/backend/cups-pdf", F_OK) != 0) return Fail("the cups-pdf backend is not installed");
    // The backend is the superuser's alone; a server of another user cannot
    // run it.
    if (access("/usr/lib/cups/backend/cups-pdf", X_OK) != 0) return Fail("the cups-pdf backend runs only as root");
    // The filters run as the server's own user: they must reach the folder.
    chmod(folder.path.c_str(), 0755);
    for (const char* d : {"etc", "spool", "tmp", "cache", "state", "log"})
      mkdir((folder / d).c_str(), 0755);
    chmod((folder / "tmp").c_str(), 01777);
    socket = folder / "cups.sock";
    first_job = int(std::random_device()() % 900000u) + 10000;
    std::ofstream(folder / "cache/job.cache") << "NextJobId " << first_job << "\n";
    std::ofstream(folder / "cupsd.conf") << "Listen " << socket << "\nLogLevel debug\nAccessLogLevel all\nBrowsing No\nWebInterface No\n"
                                         << "ErrorPolicy abort-job\n"
                                         << "DefaultAuthType None\n<Location />\n  Order allow,deny\n  Allow all\n"
                                         << "</Location>\n<Policy default>\n  <Limit All>\n    Order deny,allow\n"
                                         << "  </Limit>\n</Policy>\n";
    std::ofstream(folder / "cups-files.conf") << "ServerRoot " << folder / "etc" << "\nRequestRoot " << folder / "spool"
                                              << "\nTempDir " << folder / "tmp" << "\nCacheDir " << folder / "cache"
                                              << "\nStateDir " << folder / "state" << "\nErrorLog "
                                              << folder / "log/error_log" << "\nAccessLog " << folder / "log/access_log"
                                              << "\nPageLog " << folder / "log/page_log" << "\nSandboxing Relaxed\n";
    const std::string conf = folder / "cupsd.conf", files = folder / "cups-files.conf";
    // A test that dies (a sanitizer's report ends it at once) takes its
    // server with it, and the server never holds the test's output open.
    const char* argv[] = {"setpriv", "--pdeathsig", "KILL", "cupsd", "-f", "-c", conf.c_str(), "-s", files.c_str(), nullptr};
    const std::string output = folder / "log/cupsd_output";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    const int spawned = posix_spawnp(&pid, "setpriv", &actions, nullptr, const_cast<char**>(argv), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
      pid = 0;
      return Fail("cupsd could not be started");
    }
    if (!Wait_For_Socket()) return Fail("cupsd did not open its socket; see " + folder / "log/error_log");
    if (!Add_Queue(Queue, "") || Run_Tool("lpadmin -h " + socket + " -d " + Queue + " >/dev/null 2>&1", 120) != 0)
      return Fail("the cups-pdf queue could not be made");
    if (!server_set) {
      for (int i = 0; i < 2; ++i) {
        const char* before = getenv(Variables[i]);
        variables_before[i] = before ? std::optional<std::string>(before) : std::nullopt;
      }
      server_set = true;
    }
    setenv("CUPS_SERVER", socket.c_str(), 1);
    setenv("CUPS_SERVERROOT", (folder / "etc").c_str(), 1);
    return true;
  }

  // Sets this user's own options for a queue as a person does with
  // lpoptions ("-o media=iso_a5_148x210mm").
  bool Set_Own_Options(const std::string& queue, const std::string& options) {
    return Run_Tool("lpoptions -h " + socket + " -p " + queue + " " + options + " >/dev/null 2>&1", 120) == 0;
  }

  // Adds another cups-pdf queue; options go to lpadmin as they are (a
  // default paper: "-o media-default=iso_a4_210x297mm" or "-o PageSize=A4").
  bool Add_Queue(const std::string& name, const std::string& options) {
    return Run_Tool("lpadmin -h " + socket + " -p " + name + " -E -v cups-pdf:/ -P " + Pdf_Driver + " " + options +
                        " >/dev/null 2>&1", 120) == 0;
  }

  void Stop() {
    if (server_set) {
      for (int i = 0; i < 2; ++i)
        if (variables_before[i]) setenv(Variables[i], variables_before[i]->c_str(), 1);
        else unsetenv(Variables[i]);
      server_set = false;
    }
    Thaw();
    if (pid > 0) {
      // A server that does not end when asked is killed: it must not hold
      // the test.
      kill(pid, SIGTERM);
      int status = 0;
      for (int waited = 0; waited < 200 && waitpid(pid, &status, WNOHANG) == 0; ++waited)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
      if (waitpid(pid, &status, WNOHANG) == 0) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
      }
      pid = 0;
    }
  }

  // Stops the server where it stands, as a server that hangs: it takes no
  // more connections and answers nothing until Thaw (or Stop).
  void Freeze() {
    if (pid > 0 && kill(pid, SIGSTOP) == 0) frozen = true;
  }
  // Any thread (a test's watchdog).
  void Thaw() {
    if (frozen.exchange(false)) kill(pid, SIGCONT);
  }

  // Where cups-pdf leaves job's PDF (the submitting user's ~/PDF, or the
  // anonymous folder); empty until it is there whole.
  std::string Output_Of(int job) const {
    const passwd* user = getpwuid(getuid());
    for (const std::string& dir : {std::string(user ? user->pw_dir : "") + "/PDF", std::string("/var/spool/cups-pdf/ANONYMOUS")}) {
      std::error_code error;
      for (const auto& entry : std::filesystem::directory_iterator(dir, error)) {
        const std::string name = entry.path().filename().string();
        const std::string tail = "-job_" + std::to_string(job) + ".pdf";
        if (name.size() > tail.size() && name.compare(name.size() - tail.size(), tail.size(), tail) == 0)
          return entry.path().string();
      }
    }
    return "";
  }

  // The server's log, for a failure message.
  std::string Log() const {
    std::ifstream in(folder / "log/error_log");
    std::string text, line;
    while (std::getline(in, line))
      if (line.rfind("E ", 0) == 0 || line.find("[Job ") != std::string::npos) text += line + "\n";
    return text.size() > 6000 ? text.substr(text.size() - 6000) : text;
  }
  // How many requests of the operation (its name as the server logs it,
  // "Get-Printer-Attributes") the server has answered so far.
  int Answered(const std::string& operation) const {
    std::ifstream in(folder / "log/access_log");
    int count = 0;
    for (std::string line; std::getline(in, line);) count += line.find(" " + operation + " ") != std::string::npos;
    return count;
  }
  const std::string& why() const { return reason; }
  const std::string& Socket() const { return socket; }
  int First_Job() const { return first_job; }

 private:
  bool Fail(const std::string& text) {
    reason = text;
    Stop();
    return false;
  }
  // Two minutes at most: a busy machine may be slow to start the server.
  // The socket's file is there a moment before the server listens on it (a
  // client then is refused), so the wait ends at a connection taken.
  bool Wait_For_Socket() {
    const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    while (std::chrono::steady_clock::now() < give_up) {
      if (Takes_Connections()) return true;
      int status = 0;
      if (waitpid(pid, &status, WNOHANG) == pid) {
        pid = 0;
        return false;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
  }

  bool Takes_Connections() const {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (socket.size() >= sizeof address.sun_path) return false;
    socket.copy(address.sun_path, socket.size());
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    const bool taken = connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    close(fd);
    return taken;
  }

  Temp_Folder folder;
  std::string socket;
  std::string reason;
  pid_t pid = 0;
  int first_job = 0;
  static constexpr const char* Variables[2] = {"CUPS_SERVER", "CUPS_SERVERROOT"};
  bool server_set = false;
  std::atomic<bool> frozen{false};
  std::optional<std::string> variables_before[2];
};
