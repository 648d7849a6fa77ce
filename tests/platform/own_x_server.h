// An X server of a test's own: a virtual one (Xvfb) on a display it picks
// free itself, so that tests run side by side never share one. It is ended
// and waited for when the object goes, so none outlives its test.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <string>

class Own_X_Server {
 public:
  // screen: width x height x depth, as "1024x768x24". Returns once the
  // server takes connections, or has failed to start.
  explicit Own_X_Server(const std::string& screen = "1024x768x24") {
    int ready[2];
    if (pipe2(ready, O_CLOEXEC) != 0) return;
    Start(screen, ready[1]);
    close(ready[1]);
    display_ = Read_Display(ready[0]);
    close(ready[0]);
    if (display_.empty()) End();
  }
  ~Own_X_Server() { End(); }
  Own_X_Server(const Own_X_Server&) = delete;
  Own_X_Server& operator=(const Own_X_Server&) = delete;

  bool Running() const { return !display_.empty(); }
  const std::string& Display() const { return display_; }  // ":N"
  pid_t Pid() const { return pid_; }

  // The start of a shell command line that runs the rest on this server.
  // Without XAUTHORITY the client offers no stale cookie of a server that
  // had the same number before.
  std::string Command_Prefix() const { return "env -u XAUTHORITY DISPLAY=" + display_ + " "; }

  // Ends the server as it asks to be ended, and waits for it.
  void End() { Stop(SIGTERM); }
  // Takes the server away at once, as a crash of it would.
  void Kill() { Stop(SIGKILL); }

 private:
  // The server writes its display number on ready once it takes
  // connections. It starts with SIGUSR1 at its default, whatever this
  // process has: a server that finds SIGUSR1 ignored signals the pid of its
  // parent when it is ready, at every reset and at its end, even once that
  // process has gone, and a process that was given the pid since dies of
  // it. No reset either: a server started elsewhere with SIGUSR1 ignored
  // then signals at its start only, while its parent waits for it.
  void Start(const std::string& screen, int ready) {
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t signals;
    sigemptyset(&signals);
    posix_spawnattr_setsigmask(&attributes, &signals);
    sigaddset(&signals, SIGUSR1);
    posix_spawnattr_setsigdefault(&attributes, &signals);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    // The same descriptor, open in the server alone (children other threads
    // start meanwhile do not hold it, so a server that fails is seen to).
    posix_spawn_file_actions_adddup2(&files, ready, ready);
    // Its warnings (keyboard maps, socket folders) are no test's concern.
    posix_spawn_file_actions_addopen(&files, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&files, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    const std::string fd = std::to_string(ready);
    const char* argv[] = {"Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen.c_str(),
                          "-nolisten", "tcp", "-noreset", nullptr};
    if (posix_spawnp(&pid_, "Xvfb", &files, &attributes, const_cast<char**>(argv), environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&files);
    posix_spawnattr_destroy(&attributes);
  }

  // ":N" from the server's line "N\n"; empty when it ended without one.
  static std::string Read_Display(int ready) {
    std::string number;
    for (;;) {
      char c = 0;
      const ssize_t n = read(ready, &c, 1);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0 || c < '0' || c > '9' || number.size() > 9) return c == '\n' && !number.empty() ? ":" + number : "";
      number += c;
    }
  }

  void Stop(int signal) {
    if (pid_ > 0) {
      kill(pid_, signal);
      while (waitpid(pid_, nullptr, 0) < 0 && errno == EINTR) {
      }
    }
    pid_ = -1;
    display_.clear();
  }

  pid_t pid_ = -1;
  std::string display_;
};
