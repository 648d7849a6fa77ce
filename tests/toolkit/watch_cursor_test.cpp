#include "toolkit/watch_cursor.h"

#include <gtest/gtest.h>

#include <array>
#include <tuple>

#include "platform/backend/headless/headless_backend.h"
#include "platform/window/desktop.h"
#include "platform/window/user.h"
#include "tests/toolkit/pictures_fixture.h"

namespace {

class Watch_Cursor_Test : public Pictures_Test {
 protected:
  void SetUp() override {
    TDesktop::Start(std::make_unique<THeadless_Backend>(TSize(800, 600)));
    SetCursor(&TCursor::Arrow());
  }
  void TearDown() override { TDesktop::Stop(); }
  static const TCursor* Shown() { return TDesktop::Current().Cursor(); }
  // The counter box of the image, white (true) or black per pixel.
  static std::vector<bool> Box_Of(const TCursor& cursor) {
    std::vector<bool> box;
    for (int y = 11; y < 21; ++y)
      for (int x = 15; x < 26; ++x) box.push_back(cursor.Image().Xor_Bit(x, y));
    return box;
  }
};

TEST_F(Watch_Cursor_Test, Frames_Count_Up_And_Wrap) {
  Watch_Cursor watch;
  EXPECT_FALSE(watch.Running());
  watch.Start();
  ASSERT_TRUE(watch.Running());
  EXPECT_TRUE(Shown() == watch.Current_Cursor.get() && watch.Previous_Cursor == &TCursor::Arrow());
  const std::vector<bool> zero = Box_Of(*watch.Current_Cursor);
  watch.Next_Frame();
  EXPECT_TRUE(watch.Counter == 1 && Shown() == watch.Current_Cursor.get() && Box_Of(*watch.Current_Cursor) != zero);
  for (int i = 0; i < 59; ++i) watch.Next_Frame();
  EXPECT_TRUE(watch.Counter == 0 && Box_Of(*watch.Current_Cursor) == zero);
}

TEST_F(Watch_Cursor_Test, Image_And_Mask_Make_The_Cursor) {
  Watch_Cursor watch;
  watch.Start();
  const TCursor_Image& image = watch.Current_Cursor->Image();
  EXPECT_EQ(std::tuple(image.hotspot, image.width, image.height), std::tuple(TPoint(5, 0), 32, 32));
  // The arrow's tip is black and opaque; the far corner shows the screen.
  EXPECT_EQ((std::array{image.And_Bit(5, 0), image.Xor_Bit(5, 0), image.And_Bit(0, 31), image.Xor_Bit(0, 31)}),
            (std::array{false, false, true, false}));
  // The counter box is opaque, white with black digits.
  int black = 0;
  for (int y = 11; y < 21; ++y)
    for (int x = 15; x < 26; ++x) {
      EXPECT_FALSE(image.And_Bit(x, y));
      black += !image.Xor_Bit(x, y);
    }
  EXPECT_TRUE(black > 6 && black < 11 * 10 / 2) << black;
  // Away from the counter (two digits of a 12-pixel font are a little
  // wider than the box) the frame is the cache's picture.
  const TBitmap& picture = *The_GUI_Bitmaps->Pictures[5];
  const TRect counter = watch.Counter_Box.Inflated_By(4, 1);
  int differing = 0;
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) differing += !counter.Contains(TPoint(x, y)) && image.Xor_Bit(x, y) != (Pixel(picture, x, y) == 0xFFFFFF);
  EXPECT_EQ(differing, 0);
}

TEST_F(Watch_Cursor_Test, Restart_Keeps_The_First_Cursor_And_Stop_Or_Destruction_Brings_It_Back) {
  Watch_Cursor watch;
  watch.Start();
  const std::vector<bool> zero = Box_Of(*watch.Current_Cursor);
  for (int i = 0; i < 5; ++i) watch.Next_Frame();
  watch.Start();
  EXPECT_TRUE(watch.Counter == 0 && Box_Of(*watch.Current_Cursor) == zero && watch.Previous_Cursor == &TCursor::Arrow());
  watch.Stop();
  EXPECT_TRUE(!watch.Running() && Shown() == &TCursor::Arrow() && watch.Image_Bits.empty());
  // A late step or a second stop changes nothing.
  SetCursor(&TCursor::Wait());
  watch.Next_Frame();
  watch.Stop();
  EXPECT_TRUE(!watch.Running() && Shown() == &TCursor::Wait());
  {
    Watch_Cursor running;
    running.Start();
    running.Next_Frame();
  }
  EXPECT_EQ(Shown(), &TCursor::Wait());
}

}  // namespace
