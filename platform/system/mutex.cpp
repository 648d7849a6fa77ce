#include "platform/system/mutex.h"

bool TMutex::Lock(uint32_t ms) {
  std::unique_lock guard(lock_);
  TWait_Timer timer;
  while (owned_) {
    if (ms == 0xFFFFFFFF) {
      released_.wait(guard);
      continue;
    }
    const uint64_t elapsed = timer.Elapsed();
    if (elapsed >= ms) return false;
    timer.Clock().Wait(guard, released_, static_cast<uint32_t>(ms - elapsed));
  }
  owned_ = true;
  return true;
}

void TMutex::Release() {
  {
    std::lock_guard guard(lock_);
    owned_ = false;
  }
  released_.notify_one();
}

void TMutex::Poke() {
  { std::lock_guard guard(lock_); }
  released_.notify_all();
}
