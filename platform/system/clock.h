// The millisecond clock of the platform: a 32-bit tick count that wraps, as
// timers, frame pacing and double-click tests read it. The headless backend
// installs a virtual clock that tests advance by hand.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>

class TClock {
 public:
  virtual ~TClock() = default;
  virtual uint32_t Tick_Count() = 0;
  // Blocks the calling thread for about ms milliseconds of this clock.
  virtual void Sleep(uint32_t ms) = 0;
  // Waits on cv (lock held) until notified or about ms of this clock have
  // passed; may return early, so callers loop and re-check. A virtual clock
  // ignores ms: its waiters are woken through TClock_Watch when it moves.
  virtual void Wait(std::unique_lock<std::mutex>& lock, std::condition_variable& cv, uint32_t ms) = 0;
  // True for a clock that moves only when told to.
  virtual bool Is_Virtual() const { return false; }

  // The clock in use; the real one unless a test installed another.
  static TClock& Current();
  // Installs a clock (not owned); nullptr goes back to the real clock.
  static void Install(TClock* clock);
  // How many of its milliseconds the real clock counts in one millisecond of
  // the wall: 1, or the whole number from 1 to 16 that QUENDAR_CLOCK_RATE
  // gives, read once, so that tests on a real display play long timed
  // sequences faster. Every timer, sleep and sound runs on the clock, so
  // they all keep step with one another.
  static uint32_t Real_Rate();
  // Wall milliseconds in ms of the clock in use, rounded up (UINT32_MAX,
  // waiting for ever, stays so): how long to wait outside the clock, as for
  // the window system's events.
  static uint32_t Wall_Ms(uint32_t ms);
};

// A registration of something that waits in clock time. Every watch is told
// when a virtual clock moves or another clock is installed, so that its
// timed waits look at the time again; the call runs on the thread that moved
// the clock. Declare the watch as the last member of its owner, so that it
// is gone before what it pokes.
class TClock_Watch {
 public:
  explicit TClock_Watch(std::function<void()> moved);
  ~TClock_Watch();
  TClock_Watch(const TClock_Watch&) = delete;
  TClock_Watch& operator=(const TClock_Watch&) = delete;

  static void Tell_All();

 private:
  std::function<void()> moved_;
};

// The time a timed wait has waited so far. Each look reads the clock in use
// then: when another clock is installed during the wait (a test's virtual
// clock coming or going), the time already waited counts and the rest is
// measured on the new clock, so the wait neither hangs on a clock that no
// longer moves nor reads one that is gone.
class TWait_Timer {
 public:
  TWait_Timer();
  // Milliseconds waited so far, on every clock together.
  uint64_t Elapsed();
  // The clock the last Elapsed() measured on, to wait on.
  TClock& Clock() { return *clock_; }

 private:
  TClock* clock_;
  uint32_t start_;
  uint64_t earlier_ = 0;
  uint32_t last_ = 0;
};

// A clock that moves only when told to: Sleep returns once another thread
// has advanced the clock far enough.
class TVirtual_Clock : public TClock {
 public:
  explicit TVirtual_Clock(uint32_t start = 0x10000);
  ~TVirtual_Clock() override;
  uint32_t Tick_Count() override;
  void Sleep(uint32_t ms) override;
  void Wait(std::unique_lock<std::mutex>& lock, std::condition_variable& cv, uint32_t ms) override;
  bool Is_Virtual() const override { return true; }
  void Advance(uint32_t ms);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// Shorthands in the platform's own terms.
uint32_t GetTickCount();
void Sleep(uint32_t ms);
// The multimedia clock reads the same tick count.
uint32_t timeGetTime();
