// The system's requests that the program end: SIGTERM (a logout, `kill`),
// SIGINT (Ctrl+C in the terminal it was started from) and SIGHUP (that
// terminal closed). While a TEnd_Signals lives, each of them is caught and
// reported, once, to `ended` on a thread of its own; the signal handler
// itself only writes a byte to a pipe, which is all a handler may safely do.
// Gone, it gives the signals their default action back.
#pragma once

#include <atomic>
#include <functional>
#include <thread>

class TEnd_Signals {
 public:
  explicit TEnd_Signals(std::function<void()> ended);
  ~TEnd_Signals();
  TEnd_Signals(const TEnd_Signals&) = delete;
  TEnd_Signals& operator=(const TEnd_Signals&) = delete;

  // Whether the handlers are in place (a pipe could be made).
  bool Catching() const { return watcher_.joinable(); }

 private:
  void Watch();

  std::function<void()> ended_;
  int pipe_[2] = {-1, -1};
  std::atomic<bool> stopping_{false};
  std::thread watcher_;
};
