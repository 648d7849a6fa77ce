#include "platform/system/clock.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <thread>

#include "platform/system/critical_section.h"
#include "platform/system/event_semaphore.h"
#include "platform/system/mutex.h"

namespace {

// Installs a virtual clock for the length of a test.
class Virtual_Time : public ::testing::Test {
 protected:
  Virtual_Time() : clock_(0x10000) { TClock::Install(&clock_); }
  ~Virtual_Time() override { TClock::Install(nullptr); }

  // Advances the clock in small steps until done() holds (or gives up after
  // two minutes, which a starved waiter on a busy machine never needs), so a
  // waiter on another thread sees the time pass while it waits.
  template <class Done>
  bool Advance_Until(Done done, uint32_t step = 10) {
    auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    while (!done() && std::chrono::steady_clock::now() < give_up) {
      clock_.Advance(step);
      std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    return done();
  }

  TVirtual_Clock clock_;
};

// A thread waiting on event for ms; result is the wait's answer, -1 while it waits.
struct Waiter {
  std::atomic<int> result{-1};
  std::atomic<bool> started{false};
  std::thread thread;
  Waiter(TEventSemaphore& event, uint32_t ms) : thread([this, &event, ms] {
    started = true;
    result = static_cast<int>(event.Wait(ms));
  }) {
    while (!started) std::this_thread::yield();
  }
  ~Waiter() { if (thread.joinable()) thread.join(); }
};

TEST(Real_Clock, TickCountMovesAndEventsTimeOutWakeOnSetAndReleaseOneWaitPerSet) {
  uint32_t first = GetTickCount();
  EXPECT_NE(first, 0u);
  Sleep(5);
  uint32_t second = GetTickCount();
  EXPECT_TRUE(second - first >= 4u && timeGetTime() - second < 1000u);
  TEventSemaphore event;
  EXPECT_TRUE(event.Wait(0) == WAIT_TIMEOUT && event.Wait(20) == WAIT_TIMEOUT);
  std::thread setter([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    event.Set();
  });
  EXPECT_EQ(event.Wait(INFINITE), WAIT_OBJECT_0);
  setter.join();
  event.Set();
  event.Set();  // a second Set before any wait is not counted
  EXPECT_TRUE(event.Wait(0) == WAIT_OBJECT_0 && event.Wait(0) == WAIT_TIMEOUT);

  TEventSemaphore manual(true, true);
  EXPECT_TRUE(manual.Wait(0) == WAIT_OBJECT_0 && manual.Wait(0) == WAIT_OBJECT_0);
  manual.Reset();
  EXPECT_EQ(manual.Wait(0), WAIT_TIMEOUT);
}

TEST(Real_Clock, MutexTimedLockGivesUpWhileHeldElsewhereAndSectionsExclude) {
  TMutex mutex;
  ASSERT_TRUE(mutex.Lock());
  std::atomic<int> result{-1};
  std::thread other([&] { result = mutex.Lock(15) ? 1 : 0; });
  other.join();
  EXPECT_EQ(result, 0);
  mutex.Release();
  std::thread again([&] {
    TMutex::TLock lock(mutex, 1000);
    result = lock.Taken() ? 1 : 0;
  });
  again.join();
  EXPECT_EQ(result, 1);
  EXPECT_TRUE(mutex.Lock(0));  // released by the scope
  mutex.Release();
  // A critical section's owner may enter again, and it excludes others.
  TCriticalSection section;
  int counter = 0;
  auto work = [&] {
    for (int i = 0; i < 10000; ++i) {
      TCriticalSection::TLock outer(section);
      TCriticalSection::TLock inner(section);
      ++counter;
    }
  };
  std::thread a(work), b(work);
  a.join();
  b.join();
  EXPECT_EQ(counter, 20000);
}

TEST_F(Virtual_Time, TimedWaitEndsOnlyWhenTheClockIsAdvancedOrOnSet) {
  TEventSemaphore event;
  Waiter waiter(event, 100);
  // Real time passing does nothing to a virtual wait.
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  EXPECT_EQ(waiter.result, -1);
  clock_.Advance(99);
  std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_EQ(waiter.result, -1);
  EXPECT_TRUE(Advance_Until([&] { return waiter.result != -1; }, 1));
  EXPECT_EQ(waiter.result, static_cast<int>(WAIT_TIMEOUT));

  Waiter woken(event, 1000);
  std::this_thread::sleep_for(std::chrono::milliseconds(10));
  event.Set();
  woken.thread.join();
  EXPECT_EQ(woken.result, static_cast<int>(WAIT_OBJECT_0));
}

TEST_F(Virtual_Time, SleepAndMutexFollowTheVirtualClock) {
  std::atomic<bool> slept{false};
  std::thread sleeper([&] { Sleep(50), slept = true; });
  EXPECT_TRUE(Advance_Until([&] { return slept.load(); }));
  sleeper.join();

  TMutex mutex;
  ASSERT_TRUE(mutex.Lock());
  std::atomic<int> result{-1};
  std::thread other([&] { result = mutex.Lock(40) ? 1 : 0; });
  EXPECT_TRUE(Advance_Until([&] { return result != -1; }));
  other.join();
  EXPECT_EQ(result, 0);
  mutex.Release();
}

// Waits until done() holds or a minute of real time has passed: what it
// waits for ends in milliseconds unless it hangs, but a busy machine may
// starve the thread for seconds.
template <class Done>
bool Within_Seconds(Done done) {
  auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (!done() && std::chrono::steady_clock::now() < give_up)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  return done();
}

// A desktop installs its virtual clock and removes it again when it closes;
// timed waits in progress on other threads carry on with the clock in use.
TEST(Clock_Change, TimedWaitsOutliveTheVirtualClockTheyBeganOn) {
  auto clock = std::make_unique<TVirtual_Clock>();
  TClock::Install(clock.get());
  TEventSemaphore event;
  TMutex mutex;
  ASSERT_TRUE(mutex.Lock());
  std::atomic<int> locked{-1};
  Waiter waiter(event, 50);
  std::thread locker([&] { locked = mutex.Lock(50) ? 1 : 0; });
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  EXPECT_TRUE(waiter.result == -1 && locked == -1);

  TClock::Install(nullptr);
  clock.reset();
  const bool ended = Within_Seconds([&] { return waiter.result != -1 && locked != -1; });
  if (!ended) event.Set(), mutex.Release();  // lets the threads go, so that the test can end
  waiter.thread.join();
  locker.join();
  ASSERT_TRUE(ended) << "a timed wait hung on a clock that was taken away";
  EXPECT_EQ(waiter.result, static_cast<int>(WAIT_TIMEOUT));
  EXPECT_EQ(locked, 0);
  mutex.Release();
}

TEST(Clock_Change, ASleepOnAVirtualClockThatIsTakenAwayEndsInRealTime) {
  auto clock = std::make_unique<TVirtual_Clock>();
  TClock::Install(clock.get());
  std::atomic<bool> slept{false};
  std::thread sleeper([&] { Sleep(50), slept = true; });
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  EXPECT_FALSE(slept);
  TClock::Install(nullptr);
  const auto taken_away = std::chrono::steady_clock::now();
  clock.reset();  // waits for the sleeper to leave it
  const bool ended = Within_Seconds([&] { return slept.load(); });
  if (!ended) sleeper.detach();  // hangs for good: nothing could wake it
  else sleeper.join();
  ASSERT_TRUE(ended) << "a sleep hung on a clock that was taken away";
  EXPECT_GE(std::chrono::steady_clock::now() - taken_away, std::chrono::milliseconds(40));
}

TEST(Clock_Change, ARealTimedWaitContinuesOnAVirtualClockInstalledMeanwhile) {
  TEventSemaphore event;
  Waiter waiter(event, 60000);
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  TVirtual_Clock clock;
  TClock::Install(&clock);
  uint32_t advanced = 0;
  for (; waiter.result == -1 && advanced < 120000; advanced += 1000) {
    clock.Advance(1000);
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  const bool ended = Within_Seconds([&] { return waiter.result != -1; });
  if (!ended) event.Set();
  waiter.thread.join();
  TClock::Install(nullptr);
  ASSERT_TRUE(ended) << "the wait went on in real time";
  EXPECT_EQ(waiter.result, static_cast<int>(WAIT_TIMEOUT));
  EXPECT_GE(advanced, 50000u);  // the rest of the wait was measured, not dropped
}

TEST_F(Virtual_Time, ElapsedTimeIsCountedAcrossTheWrap) {
  clock_.Advance(0xFFFFFF00u - 0x10000);
  uint32_t start = GetTickCount();
  clock_.Advance(0x100);
  EXPECT_EQ(GetTickCount(), 0u);  // lands exactly on 0
  clock_.Advance(0x50);
  EXPECT_EQ(GetTickCount() - start, 0x150u);

  // A timed wait that starts before the wrap ends after it, on time.
  clock_.Advance(0xFFFFFFFFu - 0x150u - 20u);
  uint32_t before = GetTickCount();
  TEventSemaphore event;
  Waiter waiter(event, 60);
  EXPECT_TRUE(Advance_Until([&] { return waiter.result != -1; }, 5));
  EXPECT_EQ(waiter.result, static_cast<int>(WAIT_TIMEOUT));
  uint32_t waited = GetTickCount() - before;
  // Not a wait of four billion milliseconds; a starved waiter sees the clock
  // run on for a while before it wakes, so only an hour is too long.
  EXPECT_TRUE(waited >= 60u && waited < 3600000u) << waited;
}

// In a fresh process, which reads QUENDAR_CLOCK_RATE when it first uses the
// real clock: the rate it took, its ticks and sleeps against the wall, and
// the conversion of a wait for the window system. False with a note on
// stderr when anything is off.
bool Clock_Runs_At(uint32_t rate) {
  bool ok = true;
  auto check = [&](bool holds, const char* what, long long value) {
    if (!holds) std::fprintf(stderr, "rate %u: %s (%lld)\n", rate, what, value);
    ok = ok && holds;
  };
  check(TClock::Real_Rate() == rate, "the rate taken", TClock::Real_Rate());
  // The ticks against the wall time that passed: a busy machine may sleep
  // far longer than asked.
  const auto wall_start = std::chrono::steady_clock::now();
  const uint32_t start = GetTickCount();
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  const long long ticks = GetTickCount() - start;
  const long long wall =
      std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - wall_start).count();
  check(ticks >= rate * 190 && ticks <= rate * (wall + 100) + 50, "ticks in 200 ms of the wall", ticks);
  const auto before = std::chrono::steady_clock::now();
  Sleep(rate * 200);
  const long long slept = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - before).count();
  check(slept >= 190 && slept <= 600, "wall ms of a sleep of 200 ms times the rate", slept);
  check(TClock::Wall_Ms(10) == (10 + rate - 1) / rate, "a wait of 10 ms on the wall", TClock::Wall_Ms(10));
  check(TClock::Wall_Ms(UINT32_MAX) == UINT32_MAX, "a wait for ever", TClock::Wall_Ms(UINT32_MAX));
  // A test's virtual clock is never sped up.
  TVirtual_Clock virtual_clock;
  TClock::Install(&virtual_clock);
  check(TClock::Wall_Ms(10) == 10, "a wait of 10 ms on a virtual clock", TClock::Wall_Ms(10));
  TClock::Install(nullptr);
  return ok;
}

TEST(Real_Clock_Rate, SpeedsUpTicksSleepsAndWaitsTogetherOnlyForAWholeRateUpTo16) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const struct {
    const char* text;
    uint32_t rate;
  } cases[] = {{"4", 4}, {"16", 16}, {"1", 1}, {"", 1}, {"0", 1}, {"17", 1}, {"2x", 1}, {"-3", 1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    setenv("QUENDAR_CLOCK_RATE", c.text, 1);
    EXPECT_EXIT(std::exit(Clock_Runs_At(c.rate) ? 0 : 1), testing::ExitedWithCode(0), "");
  }
  unsetenv("QUENDAR_CLOCK_RATE");
}

}  // namespace
