#include "game/fireworks_factory.h"

#include <gtest/gtest.h>

#include "tests/game/fireworks_fixture.h"

namespace {

using Fireworks_Factory_Test = Fireworks_Test;

TEST_F(Fireworks_Factory_Test, A_Seeded_Show_Is_The_Same_To_The_Byte_And_Another_Seed_Changes_It) {
  auto show = [&](int32_t seed) {
    Fireworks_Factory factory;
    Seed(seed);
    factory.Start(2, 2);
    std::unique_ptr<Animation_Sequence> sequence = factory.Take_Sequence();
    EXPECT_TRUE(sequence);
    return sequence ? Hash_Frames(*sequence) : 0;
  };
  Use_Level(4);
  const uint64_t first = show(1234);
  EXPECT_EQ(show(1234), first);
  EXPECT_NE(show(4321), first);
}

TEST_F(Fireworks_Factory_Test, One_Firework_Ends_A_Second_After_Its_Burst_Once_Nothing_Is_Drawn) {
  Fireworks_Factory factory;
  EXPECT_EQ(factory.Frame_Side(), Side);
  for (int32_t seed : {1, 2, 3}) {
    Seed(seed);
    factory.Start(1, 1);
    std::unique_ptr<Animation_Sequence> sequence = factory.Take_Sequence();
    ASSERT_TRUE(sequence);
    const int32_t length = sequence->Frame_Count() * 90;
    // The rocket climbs for most of a second and the stars glow for 1.6 s
    // before they may burn out; the show never outlasts 1800 + 5000 ms.
    EXPECT_GT(length, 600 + 1600 + 1000) << seed;
    EXPECT_LE(length, 6800) << seed;
    // The bursts' sound lasts past the last bang's echo.
    ASSERT_TRUE(sequence->Track().Mixed_Wave());
    EXPECT_GT(sequence->Track().Length(), 650 + 1000);
    // The last frame draws nothing: everything has faded.
    TDib frame(Side, Side, 8);
    while (sequence->Frames_Remain()) {
      std::memset(frame.GetBits(), 0, frame.SizeImage());
      sequence->Next_Frame(frame);
    }
    const int key = frame.FindColor(TColor(0, 0, 0));
    EXPECT_EQ(std::count(frame.GetBits(), frame.GetBits() + frame.SizeImage(), uint8_t(key)), Side * Side) << seed;
  }
}

TEST_F(Fireworks_Factory_Test, Take_Without_A_Show_Returns_None_At_Once_And_Drop_Frees_The_Worker) {
  Fireworks_Factory factory;
  EXPECT_FALSE(factory.Take_Sequence());
  factory.Drop();
  EXPECT_FALSE(factory.Running());
  // Dropped while it is being made: Drop waits for the worker, which is
  // then ready for the next show.
  factory.Start(6, 6);
  EXPECT_TRUE(factory.Running());
  factory.Drop();
  EXPECT_FALSE(factory.Running());
  EXPECT_FALSE(factory.Take_Sequence());
  EXPECT_EQ(pool.Free_Count(), pool.Count());  // the frame bitmap is back
  Seed(8);
  factory.Start(1, 2);
  factory.Start(1, 1);  // a new start drops the show before it
  std::unique_ptr<Animation_Sequence> sequence = factory.Take_Sequence();
  ASSERT_TRUE(sequence);
  EXPECT_GT(sequence->Frame_Count(), 10);
  EXPECT_FALSE(factory.Take_Sequence());  // handed over once
  // A finished show not taken is dropped by the next run's start.
  factory.Start(1, 1);
  factory.Start(1, 1);
  EXPECT_TRUE(factory.Take_Sequence());
}

TEST_F(Fireworks_Factory_Test, Ending_The_Program_During_A_Show_Stops_The_Worker) {
  auto factory = std::make_unique<Fireworks_Factory>();
  factory->Start(6, 6);
  factory.reset();
  EXPECT_EQ(pool.Free_Count(), pool.Count());
}

TEST_F(Fireworks_Factory_Test, A_Burst_Sounds_Its_Flight_And_Bang_And_The_Last_Echoes_Twice) {
  Sound_Track track;
  Fireworks_Factory::Add_Explosion_Sounds(track, 300, 1200, false);
  Fireworks_Factory::Add_Explosion_Sounds(track, 2000, 2900, true);
  struct Clip {
    int slot, start, from, length, shift;
    bool operator==(const Clip&) const = default;
  };
  std::vector<Clip> clips;
  for (const Sound_Clip& c : track.Clips())
    clips.push_back({c.Wave == sounds.Sound(0) ? 0 : c.Wave == sounds.Sound(1) ? 1 : -1, c.Start, c.From, c.Length,
                     c.Shift});
  EXPECT_EQ(clips, (std::vector<Clip>{{0, 550, 0, 900, 0},
                                      {1, 1450, 0, -1, 0},
                                      {0, 2250, 0, 900, 0},
                                      {1, 3150, 0, -1, 0},
                                      {1, 3350, 0, -1, 1},
                                      {1, 3550, 0, -1, 2}}));
  // The flight sound outlasts every flight: the rocket slows below 2 % of
  // its launch speed within a second and then bursts at 1 in 8 a step.
  EXPECT_GE(sounds.Sound(0)->Get_Length(Sound_Milliseconds), 3000);
  EXPECT_EQ(sounds.Sound(1)->Bits(), 16);
}

}  // namespace
