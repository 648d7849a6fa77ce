// Strips of frames of a show of each firework type, for a person to look at
// (written only when QUENDAR_SNAPSHOTS names a folder); each show must draw.
#include <gtest/gtest.h>

#include <string>

#include "game/fireworks_viewer.h"
#include "model/shape_catalogue.h"
#include "model/shape_drawing.h"
#include "platform/gdi/png_writer.h"
#include "tests/game/fireworks_fixture.h"

namespace {

using Fireworks_Snapshot_Test = Fireworks_Test;

TEST_F(Fireworks_Snapshot_Test, Every_Type_Draws_Trails_And_Stars) {
  constexpr int Shown = 8;
  for (int type = 0; type < Firework_Type_Count; ++type) {
    Fireworks_Factory factory;
    const int32_t seed = Seed_For_Type(type);
    Seed(seed);
    factory.Start(1, 3);
    std::unique_ptr<Animation_Sequence> sequence = factory.Take_Sequence();
    ASSERT_TRUE(sequence);
    const int frames = sequence->Frame_Count();
    std::vector<uint8_t> strip(size_t(Side) * Side * Shown, 0);
    TDib frame(Side, Side, 8);
    int drawn_frames = 0, k = 0, next_shown = 0;
    int64_t lit = 0;
    while (sequence->Frames_Remain()) {
      std::memset(frame.GetBits(), 0, frame.SizeImage());
      sequence->Next_Frame(frame);
      const int64_t count = Side * Side - std::count(frame.GetBits(), frame.GetBits() + frame.SizeImage(), 0);
      drawn_frames += count > 0;
      lit += count;
      // Frames from the first bursts on, evenly over the rest of the show.
      if (next_shown < Shown && k == 8 + next_shown * (frames - 12) / Shown) {
        for (int y = 0; y < Side; ++y)
          std::memcpy(&strip[size_t(y) * Side * Shown + size_t(next_shown) * Side],
                      frame.GetBits() + size_t(Side - 1 - y) * Side, Side);
        ++next_shown;
      }
      ++k;
    }
    EXPECT_GT(drawn_frames, frames / 2) << type;
    EXPECT_GT(lit / frames, 1000) << type;
    const std::string path = Snapshot_Path("fireworks_type_" + std::to_string(type));
    std::vector<uint32_t> table(256);
    for (int i = 0; i < 256; ++i) table[size_t(i)] = colors.Palette->Entry_Xrgb(i);
    if (!path.empty()) Write_PNG_Indexed(path, Side * Shown, Side, strip.data(), Side * Shown, table.data(), 256);
  }
}

// A frame of a show over the dimmed drawing, as the player puts it together.
TEST_F(Fireworks_Snapshot_Test, A_Show_Over_The_Dimmed_Drawing) {
  const std::string path = Snapshot_Path("fireworks_over_drawing");
  if (path.empty()) GTEST_SKIP() << "only for a person to look at";
  Shape_Drawing drawing(Side, Side, colors.Palette.get(), TColor(255, 255, 255));
  drawing.Paint_Shape(Star(), TRect(20, 20, 340, 340), TColor(255, 220, 0), TColor(0, 0, 160));
  drawing.Paint_Shape(Circle(), TRect(120, 120, 240, 240), TColor(80, 160, 255), TColor(0, 0, 160));
  Fireworks_Viewer viewer;
  Fireworks_Factory factory;
  Seed(Seed_For_Type(2));
  factory.Start(1, 3);
  std::unique_ptr<Animation_Sequence> sequence = factory.Take_Sequence();
  ASSERT_TRUE(sequence);
  Shape_Drawing dimmed(drawing, true);
  uint8_t* bits = dimmed.Writable_Pixels();
  for (uint32_t i = 0; i < dimmed.Bitmap->SizeImage(); ++i) bits[i] = viewer.Dimming_Map()[bits[i]];
  TDib frame(Side, Side, 8);
  for (int k = 0; k < 22 && sequence->Frames_Remain(); ++k) {
    std::memcpy(frame.GetBits(), bits, frame.SizeImage());
    sequence->Next_Frame(frame);
  }
  std::vector<uint32_t> table(256);
  for (int i = 0; i < 256; ++i) table[size_t(i)] = colors.Palette->Entry_Xrgb(i);
  Write_PNG_Indexed(path, Side, Side, frame.GetBits() + size_t(Side - 1) * Side, -Side, table.data(), 256);
}

}  // namespace
