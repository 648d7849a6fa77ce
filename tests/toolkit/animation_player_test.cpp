#include "toolkit/animation_player.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <memory>
#include <thread>

#include "model/dib_allocator.h"
#include "platform/system/clock.h"
#include "tests/toolkit/media_fixture.h"
#include "toolkit/sound_player.h"

namespace {

const int Side = 32;

// Counts the ends of its shows.
struct Counting_Player : Animation_Player {
  ~Counting_Player() override { Stop(); }
  std::atomic<int> finished{0};
  std::atomic<uint32_t> finished_at{0};

  // The time is stored before the count: a test that sees the count reads
  // the time at once.
  void Finished() override {
    Animation_Player::Finished();
    finished_at = timeGetTime();
    ++finished;
  }
};

class Animation_Player_Test : public Media_Test {
 protected:
  Animation_Player_Test() { std::memset(background.GetBits(), 50, Side * Side); }

  // Frame k (from 0) draws value 100 + k at pixel k; the rest is key. A
  // sound of sound_ms plays beside it when given.
  std::unique_ptr<Animation_Sequence> Sequence(int frames, int32_t interval, uint32_t sound_ms = 0) {
    auto sequence = std::make_unique<Animation_Sequence>(TSize{Side, Side}, interval, frames * interval);
    TDib frame(Side, Side, 8);
    for (int k = 0; k < frames; ++k) {
      std::memset(frame.GetBits(), 0, Side * Side);
      frame.GetBits()[k] = uint8_t(100 + k);
      EXPECT_TRUE(sequence->Add_Frame(frame, nullptr, TColor(0, 0, 0)));
    }
    if (sound_ms) {
      clip = std::make_unique<Sound_Wave>(sound_ms, Sound_Milliseconds, true, 8, 22050, 1);
      sequence->Track().Add_Clip(clip.get(), 0, 0, -1, 0);
    }
    sequence->Finish();
    return sequence;
  }

  void Play(Animation_Sequence& sequence, int32_t interval = -1) { Play(player, sequence, interval); }
  void Play(Counting_Player& player, Animation_Sequence& sequence, int32_t interval = -1) {
    start = timeGetTime();
    player.Play(&sequence, &background, &target_dc, TRect(0, 0, Side, Side), interval);
  }
  bool Until_Finished(int count = 1) { return Advance_Until([&] { return player.finished >= count; }); }
  uint32_t Took() const { return player.finished_at - start; }
  // The show has ended count times, nothing plays and the work picture is back.
  void Expect_Ended(int count) {
    EXPECT_EQ((std::tuple{player.finished.load(), player.Playing(), The_Sound_Player->Playing(), pool.Free_Count()}),
              std::tuple(count, false, false, 1));
  }

  DIB_Allocator pool{1, 2, Side};
  Sound_Player player_sound;
  TDiBitmap background{Side, Side, 8};
  TDib target{Side, Side, 8};
  TDibDC target_dc{target};
  std::unique_ptr<Sound_Wave> clip;
  uint32_t start = 0;
  Counting_Player player;
};

}  // namespace

TEST_F(Animation_Player_Test, OneFrameWithoutSoundEndsRightAfterItsCopy) {
  auto sequence = Sequence(1, 90);
  // No wait follows the only frame, so the thread may end the show before
  // Play has even returned: whether it still plays here is not asked.
  Play(*sequence);
  ASSERT_TRUE(Until_Finished());
  EXPECT_EQ(std::pair(target.GetBits()[0], target.GetBits()[1]), std::pair(uint8_t(100), uint8_t(50)));  // the background shows through
  Advance(500);
  Expect_Ended(1);
}

TEST_F(Animation_Player_Test, FramesOfAnotherSizeThanTheBackgroundAreNotWaitedFor) {
  auto sequence = std::make_unique<Animation_Sequence>(TSize{16, 16}, 90, 900);
  TDib frame(16, 16, 8);
  ASSERT_TRUE(sequence->Add_Frame(frame, nullptr, TColor(0, 0, 0)));
  Play(*sequence);
  Expect_Ended(1);
}

TEST_F(Animation_Player_Test, FramesFollowAtTheSequencesIntervalAndEndOnce) {
  auto sequence = Sequence(5, 90);
  Play(*sequence);  // -1: the sequence's own 90 ms
  ASSERT_TRUE(Until_Finished());
  // Frame 5 is shown four intervals after the first, never sooner.
  EXPECT_TRUE(Took() >= 360u && Took() < 2000u) << Took();
  for (int k = 0; k < 5; ++k) EXPECT_EQ(target.GetBits()[k], k == 4 ? 104 : 50) << k;
  Advance(500);
  EXPECT_EQ(player.finished, 1);

  // A given interval overrides the sequence's.
  auto slow = Sequence(3, 90);
  Play(*slow, 300);
  ASSERT_TRUE(Until_Finished(2));
  EXPECT_GE(Took(), 600u);
}

TEST_F(Animation_Player_Test, TheLaterOfSoundAndFramesEndsTheShowOnce) {
  auto long_sound = Sequence(2, 90, 1000);
  Play(*long_sound);
  ASSERT_TRUE(Until_Finished());
  EXPECT_GE(Took(), 1000u);
  Expect_Ended(1);

  auto short_sound = Sequence(10, 90, 100);
  Play(*short_sound);
  ASSERT_TRUE(Until_Finished(2));
  EXPECT_GE(Took(), 810u);
  Advance(1000);
  Expect_Ended(2);
}

TEST_F(Animation_Player_Test, SoundAndLastFrameEndingTogetherFinishOnce) {
  for (int round = 0; round < 40; ++round) {
    // The sound ends at about the time the last frame shows.
    auto sequence = Sequence(4, 30, 90 + round % 3);
    Play(*sequence);
    ASSERT_TRUE(Advance_Until([&] { return player.finished == round + 1; }, 1 + round % 7));
    Advance(200);
    ASSERT_EQ(player.finished, round + 1) << round;
    ASSERT_EQ(pool.Free_Count(), 1) << round;
  }
}

TEST_F(Animation_Player_Test, StopAtEveryStage) {
  player.Stop();  // idle: nothing happens
  EXPECT_EQ(player.finished, 0);

  // At once, before the thread has prepared anything.
  auto first = Sequence(10, 90, 2000);
  Play(*first);
  player.Stop();
  Expect_Ended(1);
  Advance(3000);
  EXPECT_EQ(player.finished, 1);

  // In the middle of the frames.
  auto second = Sequence(10, 90, 2000);
  Play(*second);
  ASSERT_TRUE(Advance_Until([&] { return timeGetTime() - start >= 400; }));
  // The clock stands still now; on a busy machine the thread may still be
  // behind it, so it is given the time to show the frames already due.
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  player.Stop();
  const int read = second->Frames_Read();
  EXPECT_TRUE(read >= 2 && read < 10) << read;
  Advance(2000);
  EXPECT_EQ(std::pair(player.finished.load(), second->Frames_Read()), std::pair(2, read));  // nothing after the stop

  // After the frames, while the sound still plays.
  auto third = Sequence(2, 30, 2000);
  Play(*third);
  ASSERT_TRUE(Advance_Until([&] { return timeGetTime() - start >= 500; }));
  std::this_thread::sleep_for(std::chrono::milliseconds(100));  // as above
  EXPECT_EQ(player.finished, 2);
  player.Stop();
  EXPECT_FALSE(third->Frames_Remain());
  Expect_Ended(3);
  Advance(3000);
  EXPECT_EQ(player.finished, 3);

  // A new show after all that runs to its end.
  auto fourth = Sequence(3, 30);
  Play(*fourth);
  ASSERT_TRUE(Until_Finished(4));
  EXPECT_EQ(target.GetBits()[2], 102);
}

TEST_F(Animation_Player_Test, PlayingAgainEndsTheShowThatRuns) {
  auto first = Sequence(20, 90, 3000);
  auto second = Sequence(3, 30);
  Play(*first);
  ASSERT_TRUE(Advance_Until([&] { return timeGetTime() - start >= 200; }));
  Play(*second);
  EXPECT_EQ(player.finished, 1);
  ASSERT_TRUE(Until_Finished(2));
  EXPECT_EQ(target.GetBits()[2], 102);
  Advance(4000);
  Expect_Ended(2);
}

TEST_F(Animation_Player_Test, DestroyingThePlayerEndsItsThreadIdleOrPlaying) {
  { Counting_Player idle; }
  auto sequence = Sequence(50, 90, 5000);
  {
    Counting_Player busy;
    Play(busy, *sequence);
    ASSERT_TRUE(Advance_Until([&] { return timeGetTime() - start >= 300; }));
  }
  EXPECT_FALSE(The_Sound_Player->Playing());
  EXPECT_EQ(pool.Free_Count(), 1);
}
