#include "platform/system/event_semaphore.h"

TEventSemaphore::TEventSemaphore(bool manual_reset, bool initial_state)
    : manual_reset_(manual_reset), signalled_(initial_state) {}

void TEventSemaphore::Set() {
  {
    std::lock_guard guard(lock_);
    signalled_ = true;
  }
  if (manual_reset_)
    changed_.notify_all();
  else
    changed_.notify_one();
}

void TEventSemaphore::Reset() {
  std::lock_guard guard(lock_);
  signalled_ = false;
}

bool TEventSemaphore::Is_Set() {
  std::lock_guard guard(lock_);
  return signalled_;
}

uint32_t TEventSemaphore::Wait(uint32_t ms) {
  std::unique_lock guard(lock_);
  TWait_Timer timer;
  for (;;) {
    if (signalled_) {
      if (!manual_reset_) signalled_ = false;
      return WAIT_OBJECT_0;
    }
    if (ms == INFINITE) {
      changed_.wait(guard);
      continue;
    }
    // Elapsed time in wrapping arithmetic, so a wait across the wrap of
    // the tick count ends on time.
    const uint64_t elapsed = timer.Elapsed();
    if (elapsed >= ms) return WAIT_TIMEOUT;
    timer.Clock().Wait(guard, changed_, static_cast<uint32_t>(ms - elapsed));
  }
}

// A virtual clock moved, or another clock was installed: wake every waiter to look at the time. Taking the
// lock first means a waiter between its time check and its wait cannot miss
// the wake.
void TEventSemaphore::Poke() {
  { std::lock_guard guard(lock_); }
  changed_.notify_all();
}
