// Waits for the programs started to open links, each on a thread of its
// own, so that the user-interface thread never waits for one, and tells the
// owner when one ends with a failure (a non-zero exit or a signal): the page
// it was given did not open. The owner is called on the waiting thread (it
// should only post a message) and never once the watch is destroyed.
#pragma once

#include <sys/types.h>

#include <functional>
#include <memory>
#include <mutex>

class TOpener_Watch {
 public:
  explicit TOpener_Watch(std::function<void()> failed);
  // Endings after this go untold; a call under way is waited for.
  ~TOpener_Watch();
  TOpener_Watch(const TOpener_Watch&) = delete;
  TOpener_Watch& operator=(const TOpener_Watch&) = delete;

  // Waits for the child pid, which nothing else waits for.
  void Watch(pid_t pid);
  // Waits for the child pid with nobody to tell, so that it leaves no
  // zombie behind.
  static void Reap(pid_t pid);

 private:
  struct Owner {
    std::mutex mutex;
    std::function<void()> failed;
  };
  static void Wait_In_Thread(pid_t pid, std::shared_ptr<Owner> owner);

  std::shared_ptr<Owner> owner_;
};
