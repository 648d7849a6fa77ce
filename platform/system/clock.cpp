#include "platform/system/clock.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace {

class Real_Clock : public TClock {
 public:
  uint32_t Tick_Count() override {
    // Offset so the count never starts at 0 and wraps like the original's.
    auto now = std::chrono::steady_clock::now().time_since_epoch();
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now).count();
    return static_cast<uint32_t>(ms + 0x10000);
  }
  void Sleep(uint32_t ms) override { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
};

Real_Clock real_clock;
std::atomic<TClock*> installed{nullptr};

}  // namespace

TClock& TClock::Current() {
  TClock* clock = installed.load(std::memory_order_acquire);
  return clock ? *clock : real_clock;
}

void TClock::Install(TClock* clock) { installed.store(clock, std::memory_order_release); }

struct TVirtual_Clock::Impl {
  std::mutex lock;
  std::condition_variable moved;
  uint32_t now;
};

TVirtual_Clock::TVirtual_Clock(uint32_t start) : impl_(std::make_unique<Impl>()) { impl_->now = start; }

TVirtual_Clock::~TVirtual_Clock() = default;

uint32_t TVirtual_Clock::Tick_Count() {
  std::lock_guard guard(impl_->lock);
  return impl_->now;
}

void TVirtual_Clock::Sleep(uint32_t ms) {
  std::unique_lock guard(impl_->lock);
  uint32_t start = impl_->now;
  impl_->moved.wait(guard, [&] { return impl_->now - start >= ms; });
}

void TVirtual_Clock::Advance(uint32_t ms) {
  {
    std::lock_guard guard(impl_->lock);
    impl_->now += ms;
  }
  impl_->moved.notify_all();
}

uint32_t GetTickCount() { return TClock::Current().Tick_Count(); }
void Sleep(uint32_t ms) { TClock::Current().Sleep(ms); }
