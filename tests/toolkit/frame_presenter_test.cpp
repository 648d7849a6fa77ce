#include "toolkit/frame_presenter.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/gdi/dib_dc.h"
#include "platform/gdi/surface.h"

namespace {

const int Width = 40, Height = 30;

// Top-down pixel of a bottom-up picture.
uint8_t& At(TDib& picture, int x, int y) { return picture.GetBits()[size_t(Height - 1 - y) * Width + size_t(x)]; }

TEST(Frame_Presenter, OnlyWhatTwoFramesInARowDrewIsRedrawnAndShown) {
  struct Frame {
    std::vector<TRect> blocks;  // drawn in value 200 + frame
    TRect changed;
  } frames[] = {
      {{TRect(5, 5, 6, 6)}, TRect(0, 0, Width, Height)},       // the first frame goes whole
      {{TRect(20, 10, 24, 13)}, TRect(5, 5, 24, 13)},          // this frame's block and the last one's dot
      {{}, TRect(20, 10, 24, 13)},                             // nothing drawn: the block is wiped
      {{}, TRect()},                                           // nothing to wipe
      {{TRect(30, 2, 31, 3), TRect(35, 25, 36, 26)}, TRect(30, 2, 36, 26)},
      {{TRect(10, 20, 11, 21)}, TRect(10, 2, 36, 26)},
      {{TRect(9, 19, 12, 22)}, TRect(9, 19, 12, 22)},  // over the last frame's dot: it stays drawn
  };
  const int count = int(std::size(frames));
  std::vector<TDib> pictures;
  for (int k = 0; k < count; ++k) {
    TDib& frame = pictures.emplace_back(Width, Height, 8);
    std::memset(frame.GetBits(), 0, frame.SizeImage());
    for (const TRect& r : frames[k].blocks)
      for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) At(frame, x, y) = uint8_t(200 + k);
  }
  // An 8-bit screen takes the work picture's values, a 32-bit one their
  // colours, which the presenter then keeps its work picture in.
  for (bool in_colour : {false, true}) {
    SCOPED_TRACE(in_colour);
    Animation_Sequence played(TSize{Width, Height}, 90, 90 * count);
    for (int k = 0; k < count; ++k) ASSERT_TRUE(played.Add_Frame(pictures[size_t(k)], nullptr, TColor(0, 0, 0)));
    played.Finish();
    TDib background(Width, Height, 8), work(Width, Height, 8);
    for (uint32_t i = 0; i < background.SizeImage(); ++i) background.GetBits()[i] = uint8_t(1 + i % 97);
    std::vector<uint32_t> table(256);
    for (uint32_t i = 0; i < 256; ++i) table[i] = (i * 0x010307u) & 0xFFFFFF;
    work.SetColorTable(0, 256, table.data());
    TDib screen(std::make_shared<TSurface>(Width, Height, in_colour ? 32 : 8, true));
    std::memset(screen.GetBits(), 0, screen.SizeImage());
    if (!in_colour) screen.SetColorTable(0, 256, table.data());
    TDibDC work_dc(work), screen_dc(screen);
    Frame_Presenter presenter;
    presenter.Start(in_colour);
    for (int k = 0; k < count; ++k) {
      SCOPED_TRACE(k);
      presenter.Prepare(played, background, work);
      EXPECT_EQ(presenter.Changed(), frames[k].changed);
      // The screen shows what the whole background with this frame over it
      // would.
      TDib expected(background);
      for (const TRect& r : frames[k].blocks)
        for (int y = r.top; y < r.bottom; ++y)
          for (int x = r.left; x < r.right; ++x) At(expected, x, y) = uint8_t(200 + k);
      if (!in_colour) {
        EXPECT_EQ(std::memcmp(work.GetBits(), expected.GetBits(), expected.SizeImage()), 0);
      }
      presenter.Show(screen_dc, TRect(0, 0, Width, Height), work_dc);
      int wrong = 0;
      for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x) {
          const uint8_t want = expected.Surface()->Row(y)[x];
          wrong += in_colour ? screen.Surface()->Row32(y)[x] != table[want] : screen.Surface()->Row(y)[x] != want;
        }
      EXPECT_EQ(wrong, 0);
    }
  }
}

}  // namespace
