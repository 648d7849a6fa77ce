#include "platform/system/opener_watch.h"

#include <sys/wait.h>

#include <cerrno>
#include <system_error>
#include <thread>

TOpener_Watch::TOpener_Watch(std::function<void()> failed) : owner_(std::make_shared<Owner>()) {
  owner_->failed = std::move(failed);
}

TOpener_Watch::~TOpener_Watch() {
  std::lock_guard lock(owner_->mutex);
  owner_->failed = nullptr;
}

void TOpener_Watch::Watch(pid_t pid) { Wait_In_Thread(pid, owner_); }

void TOpener_Watch::Reap(pid_t pid) { Wait_In_Thread(pid, nullptr); }

void TOpener_Watch::Wait_In_Thread(pid_t pid, std::shared_ptr<Owner> owner) {
  // The thread holds only the pid and the owner's shared part: an opener may
  // outlive every window of the program (the browser it starts may run in
  // it), and its thread must not keep the program from ending.
  auto wait = [pid, owner = std::move(owner)] {
    int status = 0;
    pid_t ended;
    while ((ended = waitpid(pid, &status, 0)) < 0 && errno == EINTR) {
    }
    const bool failed = ended == pid && !(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    if (!failed || !owner) return;
    std::lock_guard lock(owner->mutex);
    if (owner->failed) owner->failed();
  };
  try {
    std::thread(std::move(wait)).detach();
  } catch (const std::system_error&) {
    // No thread to be had: the opener is left unwatched, its end untold.
  }
}
