#include "toolkit/sound_wave.h"

#include <gtest/gtest.h>

#include <cstring>

#include "tests/toolkit/wave_images.h"
#include "toolkit/sound_library.h"

using namespace Wave_Images;

namespace {

std::vector<uint8_t> Bytes(const std::vector<int>& values) { return {values.begin(), values.end()}; }

std::vector<uint8_t> Samples_16(const std::vector<int>& values) {
  std::vector<uint8_t> v;
  for (int x : values) Put(v, uint16_t(int16_t(x)), 2);
  return v;
}

// All the wave's samples, as stored (8-bit) or as signed 16-bit values.
std::vector<int> All_Samples(const Sound_Wave& wave) {
  std::vector<int> out(size_t(wave.Get_Length(Sound_Frames)));
  const uint8_t* p = wave.Samples();
  for (size_t i = 0; i < out.size(); ++i) out[i] = wave.Bits() == 16 ? int16_t(p[2 * i] | p[2 * i + 1] << 8) : p[i];
  return out;
}

// Sets the wave's first samples, as stored (8-bit) or as signed 16-bit values.
void Fill(Sound_Wave& wave, const std::vector<int>& samples) {
  const std::vector<uint8_t> bytes = wave.Bits() == 16 ? Samples_16(samples) : Bytes(samples);
  std::memcpy(wave.Samples(), bytes.data(), bytes.size());
}

Sound_Wave Parse(const std::vector<uint8_t>& image) { return Sound_Wave(image.data(), uint32_t(image.size())); }

}  // namespace

TEST(Sound_Wave, ParsesClipsOfBothWidthsWithEitherFormatChunkAndPadding) {
  auto eight = Clip(8, Bytes({1, 2, 3, 4, 5}));
  Sound_Wave a = Parse(eight);
  ASSERT_TRUE(a.Is_Valid());
  EXPECT_EQ(std::pair(int(a.Bits()), int(a.Get_Length(Sound_Bytes))), std::pair(8, 5));
  EXPECT_EQ(All_Samples(a), (std::vector<int>{1, 2, 3, 4, 5}));

  // An 18-byte format with an extra size, and an odd chunk before the data.
  auto sixteen = Riff({Chunk("fmt ", Format(16, 1, true)), Chunk("LIST", Bytes({9, 9, 9})),
                       Chunk("data", Samples_16({100, -100, 32767}))});
  Sound_Wave b = Parse(sixteen);
  ASSERT_TRUE(b.Is_Valid());
  EXPECT_EQ(std::pair(int(b.Format().extra_size), int(b.Format().block_align)), std::pair(0, 2));
  EXPECT_EQ(All_Samples(b), (std::vector<int>{100, -100, 32767}));
}

TEST(Sound_Wave, WhatCannotBePlayedIsRefusedWithItsReason) {
  auto data = Chunk("data", Bytes({1, 2, 3, 4, 5, 6, 7, 8}));
  auto fmt = Chunk("fmt ", Format(8));
  auto With_Format = [&](const std::vector<uint8_t>& f) { return Riff({Chunk("fmt ", f), data}); };
  const auto eight = Format(8);
  auto bad_align = Format(16);
  bad_align[12] = 1;  // one byte a frame for 16-bit samples
  auto no_wave = Clip(8, Bytes({1}));
  no_wave[8] = 'X';
  auto wild = Riff({Chunk("junk", Bytes({})), fmt, data});
  wild[16] = wild[17] = wild[18] = wild[19] = 0xFF;  // the junk chunk's size
  auto early = Clip(8, Bytes({1, 2}));
  early[4] = 20;  // a RIFF size shorter than the image ends the walk early
  struct Case {
    std::vector<uint8_t> image;
    const char* why;
  };
  std::vector<Case> cases = {
      {Riff({data, fmt}), "The samples come before their format"},
      {With_Format(Format(8, 3)), "Not PCM samples"},
      {Riff({data}), "The samples come before their format"},
      {Riff({fmt}), "No samples"},
      {With_Format({eight.begin(), eight.begin() + 14}), "The format chunk is too short"},
      {With_Format(bad_align), "The frame size does not match the format"},
      {no_wave, "Not a RIFF wave"},
      {{'R', 'I', 'F', 'F'}, "Not a RIFF wave"},
      {wild, "No format chunk"},
      {early, "The format chunk is too short"},
      {With_Format(Format(16, 1, false, 2)), "Only mono waves can be played"},
      {With_Format(Format(8, 1, false, 1, 44100)), "Only waves of 22050 Hz can be played"},
  };
  for (uint16_t bits : {9, 12, 24, 32}) {
    auto f = Format(bits);
    f[12] = uint8_t((bits + 7) / 8);  // a frame size that fits the width
    cases.push_back({With_Format(f), "Only samples of 8 or 16 bits can be played"});
  }
  for (const auto& c : cases) {
    Sound_Wave wave = Parse(c.image);
    EXPECT_FALSE(wave.Is_Valid() || std::string(wave.Why_Invalid()) != c.why) << c.why << ": " << wave.Why_Invalid();
  }
  EXPECT_STREQ(Sound_Wave(nullptr, 0).Why_Invalid(), "No sound");

  // A data chunk claiming more than the image holds is cut to the image.
  auto cut = Clip(8, Bytes({1, 2, 3, 4, 5, 6, 7, 8}));
  cut.resize(cut.size() - 3);
  Sound_Wave cut_wave = Parse(cut);
  ASSERT_TRUE(cut_wave.Is_Valid());
  EXPECT_TRUE(*cut_wave.Why_Invalid() == 0 && cut_wave.Get_Length(Sound_Frames) == 5);
  // So is a RIFF size past the image; a wrong byte rate is mended.
  auto huge = Clip(8, Bytes({1, 2}));
  huge[4] = huge[5] = huge[6] = huge[7] = 0xFF;
  huge[28] = 7;
  Sound_Wave huge_wave = Parse(huge);
  EXPECT_TRUE(huge_wave.Is_Valid() && huge_wave.Format().avg_bytes_per_sec == 22050u);
}

TEST(Sound_Wave, BlankWavesPositionsAndUnitsInSixtyFourBits) {
  Sound_Wave blank(1000, Sound_Milliseconds, true, 8, 22050, 1);
  ASSERT_TRUE(blank.Is_Valid());
  EXPECT_EQ(All_Samples(blank), std::vector<int>(22050, 128));
  EXPECT_EQ(blank.Get_Length(7), -1);

  Sound_Wave bytes(4410, Sound_Bytes, true, 16, 22050, 1);
  EXPECT_EQ(std::pair(bytes.Get_Length(Sound_Frames), bytes.Get_Length(Sound_Milliseconds)), std::pair(int64_t(2205), int64_t(100)));

  // 200 s: rate x ms passes 2^32 on the way.
  Sound_Wave long_wave(200000, Sound_Milliseconds, false, 8, 22050, 1);
  ASSERT_TRUE(long_wave.Is_Valid());
  EXPECT_EQ(std::pair(long_wave.Get_Length(Sound_Frames), long_wave.Get_Length(Sound_Milliseconds)), std::pair(int64_t(4410000), int64_t(200000)));
  long_wave.Set_Position(199000, Sound_Milliseconds);
  EXPECT_EQ(std::pair(long_wave.Get_Position(Sound_Frames), long_wave.Get_Remaining(Sound_Milliseconds)), std::pair(int64_t(4387950), int64_t(1000)));
  // Positions stay inside the wave.
  long_wave.Set_Position(300000, Sound_Milliseconds);
  EXPECT_EQ(long_wave.Get_Remaining(Sound_Frames), 0);
  long_wave.Set_Position(-5, Sound_Frames);
  EXPECT_EQ(long_wave.Get_Position(Sound_Frames), 0);

  EXPECT_FALSE(Sound_Wave(0, Sound_Frames, true, 8, 22050, 1).Is_Valid());
}

TEST(Sound_Wave, SilenceFillsWhatRemainsFromThePosition) {
  Sound_Wave wave(10, Sound_Frames, false, 16, 22050, 1);
  Fill(wave, std::vector<int>(10, 0x5555));
  wave.Set_Position(6, Sound_Frames);
  wave.Fill_Silence(100, Sound_Frames);
  EXPECT_EQ(wave.Get_Position(Sound_Frames), 6);
  EXPECT_EQ(All_Samples(wave), (std::vector<int>{0x5555, 0x5555, 0x5555, 0x5555, 0x5555, 0x5555, 0, 0, 0, 0}));

  Sound_Wave eight(10, Sound_Frames, false, 8, 22050, 1);
  Fill(eight, std::vector<int>(10, 7));
  eight.Set_Position(2, Sound_Frames);
  eight.Fill_Silence(3, Sound_Frames);
  EXPECT_EQ(All_Samples(eight), (std::vector<int>{7, 7, 128, 128, 128, 7, 7, 7, 7, 7}));
}

TEST(Sound_Wave, MixingClampsAndTheShiftLowersOnlyTheIncomingSound) {
  // A track of track_bits holding track mixes in a clip of clip_bits holding
  // clip, read from frame from on, amount frames (-1: all) at a shift.
  const struct {
    uint16_t track_bits;
    std::vector<int> track;
    uint16_t clip_bits;
    std::vector<int> clip;
    int from, amount, shift;
    std::vector<int> expected;
  } cases[] = {
      // 8 into 8: 72 + 127 clamps high, -78 - 128 clamps low.
      {8, {200, 50, 160, 128, 128}, 8, {255, 0, 192, 192, 64}, 0, -1, 0, {255, 0, 224, 192, 64}},
      // With a shift the track keeps its level: 160 stays 32 above zero, the
      // clip adds (192 - 128) >> 2 = 16, in the one frame asked for.
      {8, {160, 160, 160, 160, 160}, 8, {255, 0, 192, 192, 64}, 2, 1, 2, {176, 160, 160, 160, 160}},
      // 16 into 8: loud sums clamp to 0 and 255; the shift halves 127, -128, 10, -10.
      {8, {250, 5, 128, 128}, 16, {32767, -32768, 256 * 10, -256 * 10}, 0, -1, 0, {255, 0, 138, 118}},
      {8, {100, 100, 100, 100}, 16, {32767, -32768, 256 * 10, -256 * 10}, 0, -1, 1, {163, 36, 105, 95}},
      // 8 into 16 and 16 into 16, clamped to the 16-bit range.
      {16, {30000, -30000, 1000, 0}, 8, {255, 0, 128 + 4, 128 - 4}, 0, -1, 0, {32767, -32768, 2024, -1024}},
      {16, {32767, -32768, 2024, -1024}, 16, {32767, -32768, 256 * 10, -256 * 10}, 0, -1, 1,
       {32767, -32768, 2024 + 1280, -1024 - 1280}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.clip_bits << " into " << c.track_bits << ", shift " << c.shift);
    auto image = Clip(c.clip_bits, c.clip_bits == 16 ? Samples_16(c.clip) : Bytes(c.clip));
    Sound_Wave clip = Parse(image);
    Sound_Wave track(int64_t(c.track.size()), Sound_Frames, false, c.track_bits, 22050, 1);
    Fill(track, c.track);
    clip.Set_Position(c.from, Sound_Frames);
    track.Mix_From(clip, c.amount, Sound_Frames, c.shift);
    EXPECT_EQ(All_Samples(track), c.expected);
    EXPECT_EQ(std::pair(clip.Get_Position(Sound_Frames), track.Get_Position(Sound_Frames)), std::pair(int64_t(c.from), int64_t(0)));  // mixing moves neither wave
  }
}

TEST(Sound_Wave, MixingStopsAtTheEndOfEitherWave) {
  Sound_Wave track(1000, Sound_Milliseconds, true, 16, 22050, 1);
  auto loud = Clip(8, std::vector<uint8_t>(22050, 200));
  Sound_Wave clip = Parse(loud);
  track.Set_Position(900, Sound_Milliseconds);
  track.Mix_From(clip, -1, Sound_Frames, 0);
  EXPECT_EQ(std::pair(All_Samples(track)[22050 - 1], All_Samples(track)[19845 - 1]), std::pair(72 * 256, 0));
  // An amount in milliseconds counts at the source's rate.
  Sound_Wave other(1000, Sound_Milliseconds, true, 16, 22050, 1);
  other.Mix_From(clip, 10, Sound_Milliseconds, 0);
  EXPECT_EQ(std::pair(All_Samples(other)[219], All_Samples(other)[220]), std::pair(72 * 256, 0));
}

TEST(Sound_Library, SixClipsOfTheirWidthsAndRoles) {
  Sound_Library library;
  EXPECT_EQ(The_Sound_Library, &library);
  for (int slot = 0; slot < 6; ++slot) {
    // Valid means 22050 Hz mono: the parser refuses anything else.
    Sound_Wave* clip = library.Sound(slot);
    ASSERT_TRUE(clip && clip->Is_Valid()) << slot;
    EXPECT_EQ(clip->Bits(), slot == 1 ? 16 : 8) << slot;
  }
  EXPECT_TRUE(library.Sound(6) == nullptr && library.Sound(-1) == nullptr);
  // The flight sound outlasts any rocket's flight; the burst is short.
  EXPECT_TRUE(library.Sound(0)->Get_Length(Sound_Milliseconds) >= 3500 && library.Sound(1)->Get_Length(Sound_Milliseconds) <= 2500);
}
