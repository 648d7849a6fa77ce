#include "platform/system/clock.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

namespace {

uint32_t Read_Rate() {
  const char* text = std::getenv("QUENDAR_CLOCK_RATE");
  if (!text || !*text) return 1;
  char* end = nullptr;
  const long rate = std::strtol(text, &end, 10);
  if (*end != '\0' || rate < 1 || rate > 16) {
    std::fprintf(stderr, "QUENDAR_CLOCK_RATE=%s is not a whole number from 1 to 16: the clock runs at its own pace\n", text);
    return 1;
  }
  return uint32_t(rate);
}

class Real_Clock : public TClock {
 public:
  explicit Real_Clock(uint32_t rate) : rate_(rate) {}
  uint32_t Tick_Count() override {
    // Milliseconds in 32 bits, wrapping to 0 after about 49.7 days, as the
    // desktop's tick count does; offset so the count never starts at 0.
    auto now = std::chrono::steady_clock::now().time_since_epoch();
    const uint64_t us = uint64_t(std::chrono::duration_cast<std::chrono::microseconds>(now).count());
    return static_cast<uint32_t>(us * rate_ / 1000 + 0x10000);
  }
  void Sleep(uint32_t ms) override { std::this_thread::sleep_for(Wall(ms)); }
  void Wait(std::unique_lock<std::mutex>& lock, std::condition_variable& cv, uint32_t ms) override {
    cv.wait_for(lock, Wall(ms));
  }
  uint32_t Rate() const { return rate_; }

 private:
  std::chrono::microseconds Wall(uint32_t ms) const { return std::chrono::microseconds(uint64_t(ms) * 1000 / rate_); }
  const uint32_t rate_;
};

// The process-wide state lives until the very end, never destroyed, since
// threads that run until exit (a wave device's) still read the clock.
Real_Clock& The_Real_Clock() {
  static Real_Clock* clock = new Real_Clock(Read_Rate());
  return *clock;
}
std::atomic<TClock*> installed{nullptr};

// The watches of the process. A watch unregisters under the same lock that
// a telling pass holds, so it is never told after its destructor. The lock
// is recursive so that a watch told on this thread may make or end watches
// (a posted message may set up an event); the pass then starts over.
std::recursive_mutex& Watchers_Lock() {
  static std::recursive_mutex* lock = new std::recursive_mutex;
  return *lock;
}
uint64_t watch_changes = 0;
std::vector<TClock_Watch*>& Watchers() {
  static std::vector<TClock_Watch*>* watchers = new std::vector<TClock_Watch*>;
  return *watchers;
}

}  // namespace

TClock& TClock::Current() {
  TClock* clock = installed.load(std::memory_order_acquire);
  return clock ? *clock : The_Real_Clock();
}

uint32_t TClock::Real_Rate() { return The_Real_Clock().Rate(); }

uint32_t TClock::Wall_Ms(uint32_t ms) {
  const uint32_t rate = Current().Is_Virtual() ? 1 : Real_Rate();
  if (ms == UINT32_MAX || rate == 1) return ms;
  return uint32_t((uint64_t(ms) + rate - 1) / rate);
}

void TClock::Install(TClock* clock) {
  installed.store(clock, std::memory_order_release);
  TClock_Watch::Tell_All();
}

TClock_Watch::TClock_Watch(std::function<void()> moved) : moved_(std::move(moved)) {
  std::lock_guard guard(Watchers_Lock());
  Watchers().push_back(this);
  ++watch_changes;
}

TClock_Watch::~TClock_Watch() {
  std::lock_guard guard(Watchers_Lock());
  auto& all = Watchers();
  all.erase(std::remove(all.begin(), all.end(), this), all.end());
  ++watch_changes;
}

void TClock_Watch::Tell_All() {
  std::lock_guard guard(Watchers_Lock());
  auto& all = Watchers();
  uint64_t seen = watch_changes;
  for (size_t i = 0; i < all.size();) {
    all[i]->moved_();
    if (watch_changes != seen) {
      // Telling twice does no harm; missing one would leave a wait hanging.
      seen = watch_changes;
      i = 0;
    } else {
      ++i;
    }
  }
}

TWait_Timer::TWait_Timer() : clock_(&TClock::Current()), start_(clock_->Tick_Count()) {}

uint64_t TWait_Timer::Elapsed() {
  TClock* now = &TClock::Current();
  if (now != clock_) {
    // The old clock is not read again: it may be destroyed by now.
    earlier_ += last_;
    clock_ = now;
    start_ = now->Tick_Count();
    last_ = 0;
  }
  last_ = clock_->Tick_Count() - start_;
  return earlier_ + last_;
}

struct TVirtual_Clock::Impl {
  std::mutex lock;
  std::condition_variable moved;
  uint32_t now;
  int sleepers = 0;
  bool closing = false;
  // Another clock installed ends the sleeps on this one.
  TClock_Watch watch{[this] {
    { std::lock_guard guard(lock); }
    moved.notify_all();
  }};
};

TVirtual_Clock::TVirtual_Clock(uint32_t start) : impl_(std::make_unique<Impl>()) { impl_->now = start; }

// A sleeper still inside Sleep is let go and waited for, so that it never
// touches a clock that is gone.
TVirtual_Clock::~TVirtual_Clock() {
  std::unique_lock guard(impl_->lock);
  impl_->closing = true;
  impl_->moved.notify_all();
  impl_->moved.wait(guard, [&] { return impl_->sleepers == 0; });
}

uint32_t TVirtual_Clock::Tick_Count() {
  std::lock_guard guard(impl_->lock);
  return impl_->now;
}

// Sleeps in this clock's time while it is the one installed; when another
// takes its place, the rest of the sleep is spent on that one.
void TVirtual_Clock::Sleep(uint32_t ms) {
  uint32_t slept;
  {
    std::unique_lock guard(impl_->lock);
    ++impl_->sleepers;
    const uint32_t start = impl_->now;
    impl_->moved.wait(guard, [&] {
      return impl_->now - start >= ms || impl_->closing || &TClock::Current() != this;
    });
    slept = impl_->now - start;
    if (--impl_->sleepers == 0 && impl_->closing) impl_->moved.notify_all();
  }
  // This clock is not touched again here: it may be gone by now.
  TClock& current = TClock::Current();
  if (slept < ms && &current != this) current.Sleep(ms - slept);
}

void TVirtual_Clock::Wait(std::unique_lock<std::mutex>& lock, std::condition_variable& cv, uint32_t) {
  cv.wait(lock);
}

void TVirtual_Clock::Advance(uint32_t ms) {
  {
    std::lock_guard guard(impl_->lock);
    impl_->now += ms;
  }
  impl_->moved.notify_all();
  TClock_Watch::Tell_All();
}

uint32_t GetTickCount() { return TClock::Current().Tick_Count(); }
void Sleep(uint32_t ms) { TClock::Current().Sleep(ms); }
uint32_t timeGetTime() { return TClock::Current().Tick_Count(); }
