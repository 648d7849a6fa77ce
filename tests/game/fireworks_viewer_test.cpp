#include "game/fireworks_viewer.h"

#include <gtest/gtest.h>

#include "model/shape_drawing.h"
#include "platform/gdi/dib_dc.h"
#include "toolkit/program_messages.h"
#include "tests/game/fireworks_fixture.h"

namespace {

class Fireworks_Viewer_Test : public Fireworks_Test {
 protected:
  Fireworks_Viewer_Test() {
    window.Create();
    for (int i = 0; i < 256; ++i) screen.SetColor(i, Palette_Color(i));
    // Every palette index once, in stripes, as the drawing.
    uint8_t* bits = picture.Writable_Pixels();
    for (uint32_t i = 0; i < picture.Bitmap->SizeImage(); ++i) bits[i] = uint8_t(i / 7);
    before.assign(bits, bits + picture.Bitmap->SizeImage());
  }
  ~Fireworks_Viewer_Test() override { window.Destroy(); }

  TColor Palette_Color(int i) const {
    const uint32_t xrgb = colors.Palette->Entry_Xrgb(i);
    return TColor(uint8_t(xrgb >> 16), uint8_t(xrgb >> 8), uint8_t(xrgb));
  }
  std::unique_ptr<TDC> Target() { return std::make_unique<TDibDC>(screen); }
  int Finished_Messages() const { return int(std::count(window.Posted.begin(), window.Posted.end(), Fireworks_Finished_Message)); }
  bool Until_Finished() {
    return Advance_Until([&] { return !viewer.Playing() && Finished_Messages() > 0; });
  }
  // The drawing's pixels are those it had, whatever form it is kept in.
  bool Drawing_Unchanged() {
    Shape_Drawing copy(picture, true);
    const uint8_t* bits = copy.Writable_Pixels();
    return std::equal(before.begin(), before.end(), bits);
  }

  Notify_Window window;
  Shape_Drawing picture{Side, Side, colors.Palette.get(), TColor(255, 255, 255)};
  std::vector<uint8_t> before;
  TDib screen{Side, Side, 8};
  Fireworks_Factory factory;
  Fireworks_Viewer viewer{&factory, &window};
};

// Lightness 75 stays, 76 and above take the nearest colour of half the levels.
TEST_F(Fireworks_Viewer_Test, Light_Colours_Dim_To_Half_Dark_Ones_Stay) {
  const TPalette& palette = *colors.Palette;
  for (int i = 0; i < palette.GetNumEntries(); ++i) {
    const uint32_t xrgb = palette.Entry_Xrgb(i);
    const TColor c(uint8_t(xrgb >> 16), uint8_t(xrgb >> 8), uint8_t(xrgb));
    const int lightness = RGB_To_HLS(c).lightness;
    const int expected = lightness > 75
                             ? palette.GetNearestPaletteIndex(TColor(c.Red() / 2, c.Green() / 2, c.Blue() / 2))
                             : i;
    ASSERT_EQ(viewer.Dimming_Map()[size_t(i)], expected) << i << " lightness " << lightness;
  }
  // White becomes the grey of half its levels, black stays.
  const int white = palette.GetNearestPaletteIndex(TColor(255, 255, 255));
  const int black = palette.GetNearestPaletteIndex(TColor(0, 0, 0));
  EXPECT_EQ(palette.Entry_Xrgb(viewer.Dimming_Map()[size_t(white)]),
            palette.Entry_Xrgb(palette.GetNearestPaletteIndex(TColor(127, 127, 127))));
  EXPECT_EQ(viewer.Dimming_Map()[size_t(black)], black);
}

TEST_F(Fireworks_Viewer_Test, A_Show_Plays_Over_A_Dimmed_Copy_And_Leaves_The_Drawing_As_It_Was) {
  for (bool packed : {false, true}) {
    window.Posted.clear();
    if (packed) picture.Pack(false, true);
    Seed(21);
    factory.Start(1, 1);
    viewer.Play(&factory, picture, Target(), TRect(0, 0, Side, Side), &window);
    EXPECT_TRUE(viewer.Playing());
    // The show plays over the drawing dimmed (the screen itself belongs
    // to the playback thread now).
    ASSERT_TRUE(viewer.Dimmed_Picture());
    const uint8_t* dimmed = viewer.Dimmed_Picture()->Bitmap->GetBits();
    for (size_t i = 0; i < before.size(); ++i) ASSERT_EQ(dimmed[i], viewer.Dimming_Map()[before[i]]) << i;
    EXPECT_TRUE(Drawing_Unchanged());
    ASSERT_TRUE(Until_Finished()) << packed;
    EXPECT_EQ(Finished_Messages(), 1);
    EXPECT_TRUE(Drawing_Unchanged()) << packed;
    EXPECT_FALSE(factory.Running());
  }
}

TEST_F(Fireworks_Viewer_Test, Stopping_Mid_Show_Tells_The_Window_Once) {
  Seed(22);
  factory.Start(2, 3);
  viewer.Play(&factory, picture, Target(), TRect(0, 0, Side, Side), &window);
  Advance(300);
  viewer.Stop();
  Run_Until_Idle();
  EXPECT_FALSE(viewer.Playing());
  EXPECT_EQ(Finished_Messages(), 1);
  EXPECT_TRUE(Drawing_Unchanged());
  viewer.Stop();  // nothing more to stop
  Run_Until_Idle();
  EXPECT_EQ(Finished_Messages(), 1);
}

TEST_F(Fireworks_Viewer_Test, Without_A_Prepared_Show_It_Is_Over_At_Once) {
  viewer.Play(&factory, picture, Target(), TRect(0, 0, Side, Side), &window);
  EXPECT_FALSE(viewer.Playing());
  // What is on the screen is the drawing dimmed.
  for (uint32_t i = 0; i < screen.SizeImage(); i += 7)
    ASSERT_EQ(screen.GetColor(screen.GetBits()[i]), Palette_Color(viewer.Dimming_Map()[before[i]])) << i;
  Run_Until_Idle();
  EXPECT_EQ(Finished_Messages(), 1);
  EXPECT_TRUE(Drawing_Unchanged());
}

}  // namespace
