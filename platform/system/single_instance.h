// One running program per user: the first start listens on a socket named
// after its window class in the user's runtime directory and holds a lock
// beside it; a later start finds the lock taken, asks the first through the
// socket to come forward, and is told to quit. A crashed first instance
// leaves its lock released, so its stale socket is replaced, not obeyed.
#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

class TSingle_Instance {
 public:
  enum class Start {
    First,        // this is the only instance (listening when Listening())
    Handed_Over,  // another instance runs and was asked to come forward
    Unreachable,  // another instance holds the lock but did not answer
  };

  // wait_ms bounds how long a later start waits for the first to answer.
  explicit TSingle_Instance(std::string class_name = "Quendar_Window", uint32_t wait_ms = 3000);
  ~TSingle_Instance();
  TSingle_Instance(const TSingle_Instance&) = delete;
  TSingle_Instance& operator=(const TSingle_Instance&) = delete;

  // Decides which start this is. For the first, come_forward is called on a
  // listening thread each time a later start asks; the window layer's hook
  // posts a message so the user-interface thread restores the frame.
  Start Claim(std::function<void()> come_forward);
  bool Listening() const { return listener_ >= 0; }

  // Called as the program begins to end: no later start is handed over any
  // more (one already answered came first), so a later start waits for the
  // lock, which the destructor releases, and becomes the first itself.
  void Stop_Listening();

  // $XDG_RUNTIME_DIR, or a private directory of this user under /tmp; empty
  // when neither is usable.
  static std::string Runtime_Directory();

 private:
  Start Ask_First();
  void Listen();
  void Serve(int connection);

  std::string class_name_;
  uint32_t wait_ms_;
  std::string socket_path_;
  int lock_ = -1;
  int listener_ = -1;
  int stop_[2] = {-1, -1};
  std::function<void()> come_forward_;
  std::mutex serving_;  // held while a request is answered
  bool stopping_ = false;
  std::thread thread_;
};
