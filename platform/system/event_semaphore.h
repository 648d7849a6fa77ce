// An event that threads wait on: auto-reset by default (one Set releases one
// wait), with timed waits measured on the platform clock, so that waits end
// in virtual time under the headless backend.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>

#include "platform/system/clock.h"

constexpr uint32_t INFINITE = 0xFFFFFFFF;
constexpr uint32_t WAIT_OBJECT_0 = 0;
constexpr uint32_t WAIT_TIMEOUT = 0x102;

class TEventSemaphore {
 public:
  explicit TEventSemaphore(bool manual_reset = false, bool initial_state = false);

  void Set();
  void Reset();
  // WAIT_OBJECT_0 when the event was (or became) set within ms of the
  // clock, WAIT_TIMEOUT otherwise; INFINITE waits without limit.
  uint32_t Wait(uint32_t ms = INFINITE);
  bool Is_Set();

 private:
  void Poke();

  const bool manual_reset_;
  bool signalled_;
  std::mutex lock_;
  std::condition_variable changed_;
  TClock_Watch watch_{[this] { Poke(); }};
};
