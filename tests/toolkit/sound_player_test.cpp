#include "toolkit/sound_player.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tests/toolkit/media_fixture.h"
#include "toolkit/sound_library.h"
#include "toolkit/sound_wave.h"

namespace {

using Log = std::vector<std::string>;

// Writes down which waves ended, and may react to an end.
struct Log_Client : Sound_Client {
  Log_Client(std::string name, Log& log) : name(std::move(name)), log(log) {}
  void Sound_Done(Sound_Wave* wave) override {
    log.push_back(name);
    if (on_done) on_done(wave);
  }
  std::string name;
  Log& log;
  std::function<void(Sound_Wave*)> on_done;
};

class Sound_Player_Test : public Media_Test {
 protected:
  // A silent wave lasting ms.
  static std::unique_ptr<Sound_Wave> Wave(uint32_t ms, uint16_t bits = 8) {
    return std::make_unique<Sound_Wave>(ms, Sound_Milliseconds, true, bits, 22050, 1);
  }
  Log log;
  Log_Client a{"a", log}, b{"b", log}, c{"c", log};
};

}  // namespace

TEST_F(Sound_Player_Test, OnePlaysOneWaitsAThirdIsRefusedAndEndsComeInOrder) {
  Sound_Player player;
  EXPECT_TRUE(The_Sound_Player == &player && player.Supported() == 16u);
  auto one = Wave(100), two = Wave(200, 16), three = Wave(50);
  EXPECT_EQ((std::vector<bool>{player.Play(one.get(), &a), player.Play(two.get(), &b), player.Play(three.get(), &c), player.Playing()}),
            (std::vector<bool>{true, true, false, true}));

  Advance(90);
  EXPECT_EQ(log, Log{});
  Advance(20);
  EXPECT_EQ(log, Log{"a"});
  EXPECT_TRUE(player.Playing());  // the waiting wave took over
  Advance(150);
  EXPECT_EQ(log, Log{"a"});
  Advance(60);
  EXPECT_TRUE(log == (Log{"a", "b"}) && !player.Playing());
  // A wave at its end completes at once.
  one->Set_Position(100, Sound_Milliseconds);
  ASSERT_TRUE(player.Play(one.get(), &c));
  Run_Until_Idle();
  EXPECT_TRUE(log == (Log{"a", "b", "c"}) && !player.Playing());
}

TEST_F(Sound_Player_Test, StopTellsNobodyAndAStaleEndDoesNotEndTheNextWave) {
  Sound_Player player;
  auto first = Wave(100), second = Wave(300);
  ASSERT_TRUE(player.Play(first.get(), &a));
  ASSERT_TRUE(player.Play(second.get(), &b));
  player.Stop();
  EXPECT_FALSE(player.Playing());
  Advance(500);
  EXPECT_EQ(log, Log{});

  // The first wave ends on the device, its completion is still queued when
  // the player is stopped and a new wave starts.
  ASSERT_TRUE(player.Play(first.get(), &a));
  headless->Virtual_Clock().Advance(110);
  player.Stop();
  ASSERT_TRUE(player.Play(second.get(), &b));
  Run_Until_Idle();
  EXPECT_TRUE(log.empty() && player.Playing());
  Advance(250);
  EXPECT_EQ(log, Log{});
  Advance(60);
  EXPECT_EQ(log, Log{"b"});
}

TEST_F(Sound_Player_Test, AClientMayPlayAgainOrStopWhenTold) {
  Sound_Player player;
  auto first = Wave(100), second = Wave(100), third = Wave(100);
  a.on_done = [&](Sound_Wave*) { player.Play(third.get(), &c); };
  ASSERT_TRUE(player.Play(first.get(), &a));
  ASSERT_TRUE(player.Play(second.get(), &b));
  Advance(110);
  EXPECT_EQ(log, Log{"a"});
  Advance(110);
  Advance(110);
  EXPECT_EQ(log, (Log{"a", "c", "b"}));

  // Stopping from the end of one wave also forgets the waiting one.
  log.clear();
  a.on_done = [&](Sound_Wave*) { player.Stop(); };
  ASSERT_TRUE(player.Play(first.get(), &a));
  ASSERT_TRUE(player.Play(second.get(), &b));
  Advance(110);
  Advance(200);
  EXPECT_TRUE(log == Log{"a"} && !player.Playing());
}

TEST_F(Sound_Player_Test, AnEightBitOutputRefusesTheBurstAndNoOutputRefusesAll) {
  Sound_Library library;
  TWave_Out::Force_Probe(8);
  {
    Sound_Player player;
    EXPECT_TRUE(player.Supported() == 8u && !player.Play(library.Sound(1), &a));
    for (int slot : {0, 2, 3, 4, 5}) {
      EXPECT_TRUE(player.Play(library.Sound(slot), &a)) << slot;
      player.Stop();
    }
  }
  TWave_Out::Force_Probe(0);
  Sound_Player mute;
  EXPECT_TRUE(mute.Supported() == 0u && !mute.Play(library.Sound(4), &a) && !mute.Playing());
}
