#include "platform/system/end_signals.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>

namespace {

constexpr int Caught[] = {SIGTERM, SIGINT, SIGHUP};

// The write end of the live object's pipe; -1 when none catches.
std::atomic<int> signal_pipe{-1};

void Put_Byte(int fd, char byte) {
  if (write(fd, &byte, 1) != 1) return;
}

void On_Signal(int) {
  const int saved = errno;
  const int fd = signal_pipe.load();
  // A full pipe already holds a request: the byte may be dropped.
  if (fd >= 0) Put_Byte(fd, 1);
  errno = saved;
}

}  // namespace

TEnd_Signals::TEnd_Signals(std::function<void()> ended) : ended_(std::move(ended)) {
  if (pipe2(pipe_, O_CLOEXEC) != 0) return;
  fcntl(pipe_[1], F_SETFL, O_NONBLOCK);
  watcher_ = std::thread([this] { Watch(); });
  signal_pipe = pipe_[1];
  struct sigaction action = {};
  action.sa_handler = On_Signal;
  sigemptyset(&action.sa_mask);
  // A system call the signal cut short goes on, wherever it was.
  action.sa_flags = SA_RESTART;
  for (int number : Caught) sigaction(number, &action, nullptr);
}

TEnd_Signals::~TEnd_Signals() {
  if (!watcher_.joinable()) return;
  struct sigaction action = {};
  action.sa_handler = SIG_DFL;
  sigemptyset(&action.sa_mask);
  for (int number : Caught) sigaction(number, &action, nullptr);
  signal_pipe = -1;
  stopping_ = true;
  Put_Byte(pipe_[1], 0);
  watcher_.join();
  close(pipe_[0]);
  close(pipe_[1]);
}

void TEnd_Signals::Watch() {
  bool reported = false;
  for (;;) {
    char byte = 0;
    const ssize_t n = read(pipe_[0], &byte, 1);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0 || stopping_) return;
    // The first request is enough: a logout sends SIGTERM and SIGHUP
    // together, and the program is ending already.
    if (!reported && ended_) ended_();
    reported = true;
  }
}
