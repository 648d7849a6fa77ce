#include "platform/system/mutex.h"

bool TMutex::Lock(uint32_t ms) {
  std::unique_lock guard(lock_);
  TClock& clock = TClock::Current();
  const uint32_t start = clock.Tick_Count();
  while (owned_) {
    if (ms == 0xFFFFFFFF) {
      released_.wait(guard);
      continue;
    }
    uint32_t elapsed = clock.Tick_Count() - start;
    if (elapsed >= ms) return false;
    clock.Wait(guard, released_, ms - elapsed);
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
