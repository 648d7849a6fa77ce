// A critical section: a lock that the owning thread may take again (as the
// platform's critical sections allow), held for short stretches only.
#pragma once

#include <mutex>

class TCriticalSection {
 public:
  void Enter() { lock_.lock(); }
  void Leave() { lock_.unlock(); }

  class TLock {
   public:
    explicit TLock(TCriticalSection& section) : section_(section) { section_.Enter(); }
    ~TLock() { section_.Leave(); }
    TLock(const TLock&) = delete;
    TLock& operator=(const TLock&) = delete;

   private:
    TCriticalSection& section_;
  };

 private:
  std::recursive_mutex lock_;
};
