#include "toolkit/coarse_timer.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "platform/window/desktop.h"
#include "platform/window/messages.h"
#include "tests/toolkit/media_fixture.h"

namespace {

struct Counting_Client : Timer_Client {
  void Timer_Tick() override {
    ++ticks;
    if (stop_on_tick) stop_on_tick->Stop();
  }
  int ticks = 0;
  Coarse_Timer* stop_on_tick = nullptr;
};

using Coarse_Timer_Test = Media_Test;

}  // namespace

TEST_F(Coarse_Timer_Test, TenSlotsThenRefusedUntilOneIsFreed) {
  std::vector<std::unique_ptr<Coarse_Timer>> timers;
  std::vector<Counting_Client> clients(Coarse_Timer::Slot_Count);
  for (int i = 0; i < Coarse_Timer::Slot_Count; ++i) {
    timers.push_back(std::make_unique<Coarse_Timer>());
    EXPECT_TRUE(timers.back()->Registered());
    EXPECT_TRUE(timers.back()->Start(100 + 10 * i, true, &clients[i]));
  }
  Coarse_Timer eleventh;
  Counting_Client lonely;
  EXPECT_FALSE(eleventh.Registered());
  EXPECT_FALSE(eleventh.Start(100, true, &lonely));

  // Every one of the ten ticks for itself.
  Advance(195);
  for (int i = 0; i < Coarse_Timer::Slot_Count; ++i) EXPECT_EQ(clients[i].ticks, 1) << i;
  EXPECT_EQ(lonely.ticks, 0);

  timers[3].reset();
  Coarse_Timer next;
  EXPECT_TRUE(next.Registered());
  EXPECT_TRUE(next.Start(50, false, &lonely));
  Advance(60);
  EXPECT_EQ(lonely.ticks, 1);
}

TEST_F(Coarse_Timer_Test, OneShotOncePeriodicReplacedWhenStartedAgainAndStoppedInsideItsTick) {
  Coarse_Timer once, periodic;
  Counting_Client a, b;
  ASSERT_TRUE(once.Start(100, false, &a));
  ASSERT_TRUE(periodic.Start(100, true, &b));
  for (int i = 0; i < 5; ++i) Advance(100);
  EXPECT_EQ(a.ticks, 1);
  EXPECT_FALSE(once.Running());
  EXPECT_EQ(b.ticks, 5);

  // Starting a running timer again replaces it: one stream of ticks, not two.
  // The replaced platform timer goes too: no orphan keeps waking the loop.
  int timer_messages = 0;
  TDesktop::Current().Pre_Dispatch_Hook = [&](MSG& m) {
    if (m.message == WM_TIMER) ++timer_messages;
    return false;
  };
  Advance(50);
  ASSERT_TRUE(periodic.Start(100, true, &b));
  for (int i = 0; i < 4; ++i) Advance(100);
  TDesktop::Current().Pre_Dispatch_Hook = nullptr;
  EXPECT_EQ(b.ticks, 9);
  EXPECT_EQ(timer_messages, 4);

  b.stop_on_tick = &periodic;
  Advance(100);
  EXPECT_EQ(b.ticks, 10);
  for (int i = 0; i < 3; ++i) Advance(100);
  EXPECT_EQ(b.ticks, 10);
  EXPECT_FALSE(periodic.Running());
}

TEST_F(Coarse_Timer_Test, AnUnknownIdDoesNothing) {
  Coarse_Timer timer;
  Counting_Client client;
  ASSERT_TRUE(timer.Start(1000, true, &client));
  Coarse_Timer::Timer_Proc(HWND(), WM_TIMER, 0x6FFF, 0);
  Coarse_Timer::Timer_Proc(HWND(), WM_TIMER, Coarse_Timer::No_Timer, 0);
  EXPECT_EQ(client.ticks, 0);
  EXPECT_TRUE(timer.Running());
}
