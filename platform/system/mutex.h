// A mutex with timed waits measured on the platform clock (not initially
// owned), for owners that give up after a while instead of waiting forever.
// Not recursive.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>

#include "platform/system/clock.h"

class TMutex {
 public:
  TMutex() = default;
  // True when the mutex was taken within ms of the clock (INFINITE waits
  // without limit).
  bool Lock(uint32_t ms = 0xFFFFFFFF);
  void Release();

  // Holds the mutex for a scope; Taken() says whether the timed wait won.
  class TLock {
   public:
    explicit TLock(TMutex& mutex, uint32_t ms = 0xFFFFFFFF) : mutex_(mutex), taken_(mutex.Lock(ms)) {}
    ~TLock() {
      if (taken_) mutex_.Release();
    }
    TLock(const TLock&) = delete;
    TLock& operator=(const TLock&) = delete;
    bool Taken() const { return taken_; }

   private:
    TMutex& mutex_;
    bool taken_;
  };

 private:
  void Poke();

  bool owned_ = false;
  std::mutex lock_;
  std::condition_variable released_;
  TClock_Watch watch_{[this] { Poke(); }};
};
