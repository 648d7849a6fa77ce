#include "platform/system/browser.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string_view>

namespace {

// The full path of a program named without a folder, from PATH; empty when
// it is not there. A name with a folder is taken as it stands.
std::string Find_Program(const std::string& name) {
  if (name.find('/') != std::string::npos) return access(name.c_str(), X_OK) == 0 ? name : std::string();
  const char* search = std::getenv("PATH");
  std::string path("/usr/local/bin:/usr/bin:/bin");
  if (search) path.assign(search);
  std::string_view rest(path);
  for (;;) {
    const size_t end = rest.find(':');
    const std::string_view dir = rest.substr(0, end);
    std::string candidate(dir.empty() ? std::string_view(".") : dir);
    candidate += "/" + name;
    if (access(candidate.c_str(), X_OK) == 0) return candidate;
    if (end == std::string_view::npos) break;
    rest.remove_prefix(end + 1);
  }
  return {};
}

// The browser the user chose ($BROWSER, a list of programs separated by
// colons: the first that exists), else the desktop's opener.
std::string Find_Opener() {
  if (const char* chosen = std::getenv("BROWSER")) {
    std::string_view rest(chosen);
    while (!rest.empty()) {
      const size_t end = rest.find(':');
      const std::string name(rest.substr(0, end));
      if (!name.empty())
        if (std::string found = Find_Program(name); !found.empty()) return found;
      if (end == std::string_view::npos) break;
      rest.remove_prefix(end + 1);
    }
  }
  return Find_Program("xdg-open");
}

}  // namespace

Browser_Result Open_In_Browser(const std::string& target, TOpener_Watch* watch) {
  const std::string opener = Find_Opener();
  if (opener.empty()) return Browser_Result::Not_Found;
  // Everything the child uses is made before forking.
  char* const argv[] = {const_cast<char*>(opener.c_str()), const_cast<char*>(target.c_str()), nullptr};
  int report[2];
  if (pipe2(report, O_CLOEXEC) != 0) return Browser_Result::Not_Started;

  // The pipe carries a failed exec's error back, and closes unread when exec
  // succeeds. The opener is waited for on a thread of its own: how it ends
  // says whether the page opened.
  const pid_t child = fork();
  if (child == 0) {
    close(report[0]);
    setsid();
    // The opener starts with the signals a new program expects: what this
    // thread blocks and what this program ignores (a broken pipe, say) would
    // otherwise pass on to the browser. Async-signal-safe calls only.
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    for (int signal_number = 1; signal_number < NSIG; ++signal_number) {
      struct sigaction action;
      if (sigaction(signal_number, nullptr, &action) == 0 && action.sa_handler == SIG_IGN)
        signal(signal_number, SIG_DFL);
    }
    execv(argv[0], argv);
    int error = errno;
    ssize_t ignored = write(report[1], &error, sizeof error);
    (void)ignored;
    _exit(127);
  }
  close(report[1]);
  if (child < 0) {
    close(report[0]);
    return Browser_Result::Not_Started;
  }
  int error = 0;
  ssize_t got;
  while ((got = read(report[0], &error, sizeof error)) < 0 && errno == EINTR) {
  }
  close(report[0]);
  if (got != 0) {
    // The child ends at once, having told why it could not run the opener.
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return Browser_Result::Not_Started;
  }
  if (watch)
    watch->Watch(child);
  else
    TOpener_Watch::Reap(child);
  return Browser_Result::Started;
}
