#include "toolkit/animation_sequence.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "tests/toolkit/wave_images.h"
#include "toolkit/sound_track.h"

namespace {

const TColor Key_Black = TColor(0, 0, 0);

// An 8-bit picture whose entry 0 is black (the key) and the rest colours.
TDib Picture(int w, int h) {
  TDib dib(w, h, 8);
  for (int i = 1; i < 256; ++i) dib.SetColor(i, TColor(i, 255 - i, 7));
  return dib;
}

void Fill_Alternating(TDib& dib, uint8_t other) {
  uint8_t* p = dib.GetBits();
  for (long i = 0; i < dib.Pitch() * dib.Height(); ++i) p[i] = i % 2 ? 0 : other;
}

}  // namespace

TEST(Animation_Sequence, WorstCaseFramesNeverPassTheCommittedMemory) {
  const int w = 64, h = 48;
  Animation_Sequence sequence({w, h}, 90, 900);  // ten frames expected
  TDib frame = Picture(w, h);
  int added = 0;
  for (int i = 0; i < 40; ++i) {
    Fill_Alternating(frame, uint8_t(1 + i));
    if (!sequence.Add_Frame(frame, nullptr, Key_Black)) break;
    ++added;
    EXPECT_LE(sequence.Used(), sequence.Memory().Top());
  }
  // Room for at least the frames expected, however badly they pack.
  EXPECT_TRUE(added >= 10 && added < 40) << added;
  EXPECT_FALSE(sequence.Add_Frame(frame, nullptr, Key_Black));
  EXPECT_EQ(sequence.Frame_Count(), added);

  TDib shown = Picture(w, h);
  for (int i = 0; i < added; ++i) {
    std::memset(shown.GetBits(), 200, size_t(w) * h);
    ASSERT_TRUE(sequence.Next_Frame(shown));
    EXPECT_EQ(std::pair(int(shown.GetBits()[0]), int(shown.GetBits()[1])), std::pair(1 + i, 200));  // key pixels leave what was there
  }
  EXPECT_FALSE(sequence.Next_Frame(shown) || sequence.Frames_Remain());
}

TEST(Animation_Sequence, FramesPlayOnceAndReadPagesAreGivenBack) {
  const int w = 128, h = 128;
  Animation_Sequence sequence({w, h}, 50, 1000);
  TDib frame = Picture(w, h);
  std::mt19937 random(7);
  std::vector<std::vector<uint8_t>> originals;
  for (int i = 0; i < 12; ++i) {
    for (long p = 0; p < w * h; ++p) frame.GetBits()[p] = random() % 4 ? 0 : uint8_t(1 + random() % 255);
    originals.emplace_back(frame.GetBits(), frame.GetBits() + w * h);
    TRect rect(10, 20, 100, 90);
    ASSERT_TRUE(sequence.Add_Frame(frame, i % 2 ? &rect : nullptr, Key_Black));
  }
  sequence.Finish();
  const size_t page = Virtual_Memory::Page_Size();
  EXPECT_EQ(sequence.Memory().Top(), (sequence.Used() + page - 1) / page * page);

  TDib shown = Picture(w, h);
  for (int i = 0; i < 12; ++i) {
    std::memset(shown.GetBits(), 0, size_t(w) * h);
    ASSERT_TRUE(sequence.Next_Frame(shown));
    EXPECT_EQ(sequence.Frames_Read(), i + 1);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        bool inside = i % 2 == 0 || (x >= 10 && x < 100 && h - 1 - y >= 20 && h - 1 - y < 90);
        ASSERT_EQ(shown.GetBits()[y * w + x], inside ? originals[i][y * w + x] : 0) << i;
      }
    // Pages wholly below the next frame are no longer committed.
    EXPECT_LE(sequence.Memory().Bottom(), sequence.Used());
  }
  EXPECT_GT(sequence.Memory().Bottom(), 0u);
}

TEST(Animation_Sequence, KeyColourAndPicturesThatDoNotFit) {
  Animation_Sequence sequence({8, 8}, 90, 90);
  TDib frame = Picture(8, 8);
  std::memset(frame.GetBits(), 255, 64);
  frame.GetBits()[0] = 0;
  // A colour not in the table makes 255 the key: only pixel 0 is drawn.
  ASSERT_TRUE(sequence.Add_Frame(frame, nullptr, TColor(1, 2, 3)));
  TDib shown = Picture(8, 8);
  std::memset(shown.GetBits(), 9, 64);
  ASSERT_TRUE(sequence.Next_Frame(shown));
  EXPECT_EQ(std::pair(int(shown.GetBits()[0]), int(shown.GetBits()[1])), std::pair(0, 9));

  TDib wrong = Picture(12, 8);
  EXPECT_FALSE(sequence.Add_Frame(wrong, nullptr, Key_Black));
}

// A drawing side that is not a multiple of 4 (810 at 1920 x 1080, or odd)
// gives pictures with padded rows, and pool pictures as wide as those rows:
// both carry the frames. Other sizes do not.
TEST(Animation_Sequence, PicturesWithPaddedRowsCarryTheFrames) {
  struct Case {
    int width, height;
    bool fits;
  } cases[] = {{6, 8, true}, {8, 8, true}, {5, 8, false}, {9, 8, false}, {6, 7, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.width << " x " << c.height);
    Animation_Sequence sequence({6, 8}, 90, 180);
    TDib frame = Picture(c.width, c.height);
    std::memset(frame.GetBits(), 0, frame.SizeImage());
    for (int y = 0; y < c.height; ++y) frame.GetBits()[y * frame.Pitch() + 5] = uint8_t(10 + y);  // the last column
    ASSERT_EQ(sequence.Add_Frame(frame, nullptr, Key_Black), c.fits);
    if (!c.fits) continue;
    // Drawn onto a picture padded the other way, over 3: the last column
    // shows, the rest and the padding keep what they held.
    TDib shown = Picture(c.width == 6 ? 8 : 6, 8);
    std::memset(shown.GetBits(), 3, shown.SizeImage());
    ASSERT_TRUE(sequence.Next_Frame(shown));
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < shown.Pitch(); ++x)
        ASSERT_EQ(shown.GetBits()[y * shown.Pitch() + x], x == 5 ? 10 + y : 3) << x << "," << y;
  }
}

TEST(Sound_Track, ClipsSetTheLengthAndMixAtTheirPlaces) {
  using namespace Wave_Images;
  // 1500 ms of a constant level.
  auto image = Clip(8, std::vector<uint8_t>(22050 * 3 / 2, 160));
  Sound_Wave clip(image.data(), uint32_t(image.size()));
  Sound_Track track;
  track.Add_Clip(&clip, 1000, 200, -1, 0);
  EXPECT_EQ(track.Length(), 2300);
  track.Add_Clip(&clip, 0, 0, 100, 1);
  track.Add_Clip(nullptr, 5000, 0, -1, 0);  // no wave: no clip
  EXPECT_EQ(std::pair(track.Length(), track.Clips().size()), std::pair(2300, size_t(2)));

  ASSERT_TRUE(track.Mix(16));
  EXPECT_TRUE(track.Clips().empty());
  Sound_Wave* mixed = track.Mixed_Wave();
  ASSERT_NE(mixed, nullptr);
  EXPECT_EQ(std::pair(int(mixed->Bits()), int(mixed->Get_Length(Sound_Milliseconds))), std::pair(16, 2300));
  auto at = [&](int frame) { int16_t v; std::memcpy(&v, mixed->Samples() + 2 * frame, 2); return int(v); };
  // The shifted clip's 100 ms, silence, then the whole clip from 1000 ms on.
  EXPECT_EQ((std::vector<int>{at(0), at(2204), at(2205), at(22049), at(22050), at(int(mixed->Get_Length(Sound_Frames)) - 1)}),
            (std::vector<int>{32 * 256 / 2, 32 * 256 / 2, 0, 0, 32 * 256, 32 * 256}));

  Sound_Track eight;
  eight.Add_Clip(&clip, 0, 0, -1, 0);
  ASSERT_TRUE(eight.Mix(8));
  EXPECT_EQ(std::pair(int(eight.Mixed_Wave()->Bits()), int(eight.Mixed_Wave()->Samples()[100])), std::pair(8, 160));

  // No output, or no clips: nothing to mix, and no failure.
  Sound_Track silent, empty;
  silent.Add_Clip(&clip, 0, 0, -1, 0);
  EXPECT_TRUE(silent.Mix(0) && empty.Mix(16));
  EXPECT_TRUE(silent.Mixed_Wave() == nullptr && empty.Mixed_Wave() == nullptr);
}

TEST(Animation_Sequence, TheRunsOfTheFrameJustReadStayReadableUntilTheNextIsRead) {
  // Frames of several pages each, so that giving back what was read would
  // take the pages the runs lie in.
  const int w = 160, h = 160;
  Animation_Sequence sequence({w, h}, 50, 500);
  TDib frame = Picture(w, h);
  std::mt19937 random(11);
  std::vector<std::vector<uint8_t>> originals;
  for (int i = 0; i < 6; ++i) {
    for (long p = 0; p < w * h; ++p) frame.GetBits()[p] = random() % 3 ? uint8_t(1 + random() % 255) : 0;
    originals.emplace_back(frame.GetBits(), frame.GetBits() + w * h);
    ASSERT_TRUE(sequence.Add_Frame(frame, nullptr, Key_Black));
  }
  sequence.Finish();
  ASSERT_GT(sequence.Used() / 6, 2 * Virtual_Memory::Page_Size());
  for (int i = 0; i < 6; ++i) {
    std::vector<std::pair<size_t, const uint8_t*>> runs;
    std::vector<uint32_t> counts;
    ASSERT_TRUE(sequence.Next_Frame_Runs([&](size_t at, const uint8_t* values, uint32_t count) {
      runs.push_back({at, values});
      counts.push_back(count);
    }));
    // Read after the frame was read, as a player draws its runs later.
    std::vector<uint8_t> drawn(size_t(w) * h, 0);
    for (size_t r = 0; r < runs.size(); ++r) std::memcpy(&drawn[runs[r].first], runs[r].second, counts[r]);
    EXPECT_EQ(drawn, originals[size_t(i)]) << i;
  }
}
