#include "toolkit/frame_run_code.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

// The whole frame packed, or the part inside rect.
Bytes Pack(const Bytes& pixels, int width, int height, uint8_t key, const TRect* rect = nullptr) {
  Bytes out(Frame_Run_Code::Max_Packed_Size(pixels.size(), height));
  out.resize(rect ? Frame_Run_Code::Pack_Rect(pixels.data(), width, height, *rect, key, out.data(), out.size())
                  : Frame_Run_Code::Pack(pixels.data(), width, height, key, out.data(), out.size()));
  return out;
}
Bytes Pack_Rect(const Bytes& pixels, int width, int height, TRect rect, uint8_t key) {
  return Pack(pixels, width, height, key, &rect);
}

// The codes after the header, as (kind, count): 'L' literal, 'S' skip.
std::vector<std::pair<char, int>> Codes(const Bytes& packed) {
  std::vector<std::pair<char, int>> codes;
  for (size_t i = 4; i < packed.size();) {
    uint8_t b = packed[i];
    const bool literal = b & 1, long_skip = !literal && (b & 2);
    codes.push_back({literal ? 'L' : 'S', literal ? b >> 1 : long_skip ? (b | packed[i + 1] << 8) >> 2 : b >> 2});
    i += literal ? 1 + (b >> 1) : long_skip ? 2 : 1;
  }
  return codes;
}

using Code_List = std::vector<std::pair<char, int>>;

}  // namespace

TEST(Frame_Run_Code, AllKeyFramePacksToLongSkips) {
  Bytes frame(320 * 240, 9);
  Bytes packed = Pack(frame, 320, 240, 9);
  EXPECT_EQ(packed.size(), 14u);
  EXPECT_EQ(Frame_Run_Code::Packed_Length(packed.data()), 14u);
  EXPECT_EQ(Codes(packed), (Code_List{{'S', 16383}, {'S', 16383}, {'S', 16383}, {'S', 16383}, {'S', 11268}}));
  EXPECT_EQ(Bytes(packed.begin() + 4, packed.begin() + 6), (Bytes{0xFE, 0xFF}));
}

TEST(Frame_Run_Code, LiteralAndSkipLimits) {
  Bytes frame(200 + 63 + 64 + 1, 0);
  for (int i = 0; i < 200; ++i) frame[i] = uint8_t(1 + i % 200);
  // 63 keys, one pixel, 64 keys.
  frame[263] = 5;
  Bytes packed = Pack(frame, int(frame.size()), 1, 0);
  EXPECT_EQ(Codes(packed), (Code_List{{'L', 127}, {'L', 73}, {'S', 63}, {'L', 1}, {'S', 64}}));
  // A skip of 63 is the byte 252, one of 64 the u16 258.
  size_t skip63 = 4 + 128 + 74;
  EXPECT_EQ(Bytes(packed.begin() + skip63, packed.begin() + skip63 + 5), (Bytes{252, 3, 5, 258 & 0xFF, 258 >> 8}));
  // The last pixel of the frame is encoded too.
  Bytes last(16, 0);
  last[15] = 7;
  EXPECT_EQ(Codes(Pack(last, 4, 4, 0)), (Code_List{{'S', 15}, {'L', 1}}));
}

TEST(Frame_Run_Code, RectangleStartsWithWholeLongSkipsAndCarriesTheRest) {
  const int w = 400, h = 200;
  Bytes frame(w * h, 0);
  // Memory row 100 starts 40,000 pixels in: the top-down row 99 of a
  // picture 200 rows high.
  TRect rect(0, 99, 4, 100);
  for (int x = 0; x < 4; ++x) frame[100 * w + x] = uint8_t(10 + x);
  Bytes packed = Pack_Rect(frame, w, h, rect, 0);
  EXPECT_EQ(Codes(packed), (Code_List{{'S', 16383}, {'S', 16383}, {'S', 7234}, {'L', 4}}));

  // A key pixel at the rectangle's start joins the carried skip.
  frame[100 * w] = 0;
  EXPECT_EQ(Codes(Pack_Rect(frame, w, h, rect, 0)), (Code_List{{'S', 16383}, {'S', 16383}, {'S', 7235}, {'L', 3}}));
  // An empty rectangle is the header alone.
  EXPECT_EQ(Pack_Rect(frame, w, h, TRect(5, 5, 5, 9), 0).size(), 4u);
  EXPECT_EQ(Pack_Rect(frame, w, h, TRect(5, 9, 8, 9), 0).size(), 4u);
}

TEST(Frame_Run_Code, RectangleRowsSkipTheRestOfEachRow) {
  const int w = 8, h = 4;
  Bytes frame(w * h, 1);
  Bytes packed = Pack_Rect(frame, w, h, TRect(2, 1, 5, 3), 0);
  // Memory rows 1 and 2 (top-down rows 2 and 1), columns 2..4.
  EXPECT_EQ(Codes(packed), (Code_List{{'S', 10}, {'L', 3}, {'S', 5}, {'L', 3}}));
  Bytes target(w * h, 0);
  ASSERT_TRUE(Frame_Run_Code::Unpack(packed.data(), packed.size(), target.data(), target.size()));
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) EXPECT_EQ(target[y * w + x], (y == 1 || y == 2) && x >= 2 && x < 5) << x << "," << y;
  // A rectangle reaching outside the frame is cut to it.
  Bytes whole = Pack_Rect(frame, w, h, TRect(-5, -5, 50, 50), 0);
  EXPECT_EQ(Codes(whole), (Code_List{{'L', 8}, {'L', 8}, {'L', 8}, {'L', 8}}));
}

TEST(Frame_Run_Code, RandomFramesRoundTripAndSkippedPixelsStay) {
  std::mt19937 random(1234);
  for (int round = 0; round < 200; ++round) {
    const int w = 4 * (1 + random() % 40), h = 1 + random() % 40;
    const uint8_t key = uint8_t(random() % 256);
    const int density = int(random() % 101);
    Bytes frame(w * h);
    for (uint8_t& p : frame) p = int(random() % 100) < density ? key : uint8_t(random() % 256);
    Bytes background(w * h);
    for (uint8_t& p : background) p = uint8_t(random() % 256);

    TRect rect(int(random() % w), int(random() % h), 0, 0);
    rect.right = rect.left + int(random() % (w - rect.left + 1));
    rect.bottom = rect.top + int(random() % (h - rect.top + 1));
    for (bool whole : {true, false}) {
      Bytes packed = Pack(frame, w, h, key, whole ? nullptr : &rect);
      ASSERT_FALSE(packed.empty());
      ASSERT_LE(packed.size(), Frame_Run_Code::Max_Packed_Size(frame.size(), h));
      Bytes out = background;
      ASSERT_TRUE(Frame_Run_Code::Unpack(packed.data(), packed.size(), out.data(), out.size()));
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
          size_t i = size_t(y) * w + x;
          bool inside = whole || (x >= rect.left && x < rect.right && h - 1 - y >= rect.top && h - 1 - y < rect.bottom);
          uint8_t expected = inside && frame[i] != key ? frame[i] : background[i];
          ASSERT_EQ(out[i], expected) << "round " << round << " pixel " << i;
        }
    }
  }
}

TEST(Frame_Run_Code, WorstCaseFramesStayWithinTheBound) {
  const int w = 576, h = 576;
  Bytes alternating(w * h), literal(w * h, 3), pairs(w * h);
  for (size_t i = 0; i < alternating.size(); ++i) {
    alternating[i] = i % 2 ? 0 : 1;
    pairs[i] = i % 3 == 2 ? 0 : 2;
  }
  const size_t bound = Frame_Run_Code::Max_Packed_Size(size_t(w) * h, h);
  for (const Bytes* frame : {&alternating, &literal, &pairs}) {
    const TRect inner(1, 0, w - 2, h);
    for (const TRect* rect : {static_cast<const TRect*>(nullptr), &inner}) {
      Bytes packed = Pack(*frame, w, h, 0, rect);
      ASSERT_FALSE(packed.empty());
      EXPECT_LE(packed.size(), bound);
    }
  }
  // About 1.5 bytes a pixel, more than the frame's own size.
  EXPECT_GT(Pack(alternating, w, h, 0).size(), size_t(w) * h * 3 / 2);
  // Too small an output buffer is refused, never overrun.
  Bytes small(1000, 0xAB);
  EXPECT_EQ(Frame_Run_Code::Pack(alternating.data(), w, h, 0, small.data(), 900), 0u);
  EXPECT_EQ(small[900], 0xAB);
}

TEST(Frame_Run_Code, DamagedFramesStopWithoutWritingOutside) {
  Bytes pixels(16, 0);
  Bytes frame(16, 5);
  Bytes packed = Pack(frame, 4, 4, 0);
  EXPECT_FALSE(Frame_Run_Code::Unpack(packed.data(), 3, pixels.data(), pixels.size()));
  EXPECT_FALSE(Frame_Run_Code::Unpack(packed.data(), packed.size() - 1, pixels.data(), pixels.size()));
  // More pixels than the target holds.
  Bytes target(8, 0);
  EXPECT_FALSE(Frame_Run_Code::Unpack(packed.data(), packed.size(), target.data(), target.size()));
  // A long skip past the end, a cut long skip, and a short skip one pixel
  // past the end then a literal that would land beyond it.
  for (const Bytes& bad : {Bytes{8, 0, 0, 0, 0xFE, 0xFF, 3, 1}, Bytes{5, 0, 0, 0, 0x06}, Bytes{7, 0, 0, 0, 17 << 2, 3, 9}})
    EXPECT_FALSE(Frame_Run_Code::Unpack(bad.data(), bad.size(), pixels.data(), pixels.size())) << bad.size();
}

// Pictures whose rows are padded (pool pictures of an odd or 810-pixel side)
// pack to the frame's own codes and unpack onto their rows: the padding is
// never packed and never written, also where a literal of an unpadded frame
// runs on from one row into the next.
TEST(Frame_Run_Code, PaddedRowsPackAndUnpackAsTheFrameWithoutPadding) {
  struct Case {
    int width, height, stride;
  } cases[] = {{6, 5, 8}, {7, 9, 8}, {1, 3, 4}, {810, 6, 812}, {811, 4, 812}};
  std::mt19937 random(99);
  const uint8_t key = 0, padding = 0xEE;
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.width << " in rows of " << c.stride);
    // Mostly literals, so that runs reach the ends of the rows.
    Bytes frame(size_t(c.width) * c.height);
    for (uint8_t& p : frame) p = random() % 5 ? uint8_t(1 + random() % 200) : key;
    Bytes padded(size_t(c.stride) * c.height, padding);
    for (int y = 0; y < c.height; ++y)
      std::copy_n(frame.begin() + y * c.width, c.width, padded.begin() + size_t(y) * c.stride);
    const TRect inner(1, 1, c.width, c.height - 1);
    for (const TRect* rect : {static_cast<const TRect*>(nullptr), &inner}) {
      Bytes out(Frame_Run_Code::Max_Packed_Size(frame.size(), c.height));
      const size_t n = rect ? Frame_Run_Code::Pack_Rect(padded.data(), c.width, c.height, *rect, key, out.data(),
                                                        out.size(), size_t(c.stride))
                            : Frame_Run_Code::Pack(padded.data(), c.width, c.height, key, out.data(), out.size(),
                                                   size_t(c.stride));
      out.resize(n);
      EXPECT_EQ(out, Pack_Rect(frame, c.width, c.height, rect ? *rect : TRect(0, 0, c.width, c.height), key));
    }
    // The whole frame packed without padding (literals across rows), drawn
    // onto padded rows over a background of 7.
    const Bytes packed = Pack(frame, c.width, c.height, key);
    Bytes shown(size_t(c.stride) * c.height, padding);
    for (int y = 0; y < c.height; ++y) std::fill_n(shown.begin() + size_t(y) * c.stride, c.width, 7);
    ASSERT_TRUE(Frame_Run_Code::Unpack(packed.data(), packed.size(), shown.data(), c.width, c.height, size_t(c.stride)));
    for (int y = 0; y < c.height; ++y)
      for (int x = 0; x < c.stride; ++x) {
        const uint8_t p = x < c.width ? frame[size_t(y) * c.width + x] : 0;
        ASSERT_EQ(shown[size_t(y) * c.stride + x], x >= c.width ? padding : p == key ? 7 : p) << x << "," << y;
      }
  }
  // Rows narrower than the frame are refused.
  Bytes frame(16, 3), shown(16, 0);
  const Bytes packed = Pack(frame, 4, 4, 0);
  EXPECT_FALSE(Frame_Run_Code::Unpack(packed.data(), packed.size(), shown.data(), 4, 4, 3));
}

TEST(Frame_Run_Code, DrawnBoxHoldsEveryDrawnPixelFromTheCodesAlone) {
  // Sparse random frames: packed by rectangle, runs stay in their rows and
  // the box is exact; packed whole, a run may go on into the next row and
  // the box then spans the width.
  const int w = 50, h = 40;
  std::mt19937 random(7);
  for (int trial = 0; trial < 40; ++trial) {
    Bytes frame(size_t(w) * h, 0);
    const int dots = trial % 5 == 0 ? 0 : int(random() % 30);
    for (int i = 0; i < dots; ++i) frame[random() % frame.size()] = uint8_t(1 + random() % 9);
    TRect exact;  // top-down, as the box is
    for (int i = 0; i < w * h; ++i)
      if (frame[size_t(i)]) exact = exact.Union(TRect(i % w, h - 1 - i / w, i % w + 1, h - i / w));
    const Bytes by_rect = Pack_Rect(frame, w, h, TRect(0, 0, w, h), 0);
    EXPECT_EQ(Frame_Run_Code::Drawn_Box(by_rect.data(), by_rect.size(), w, h), exact) << trial;
    const Bytes whole = Pack(frame, w, h, 0);
    const TRect box = Frame_Run_Code::Drawn_Box(whole.data(), whole.size(), w, h);
    EXPECT_EQ(box.Union(exact), box) << trial;
    EXPECT_EQ(box.top, exact.top);
    EXPECT_EQ(box.bottom, exact.bottom);
  }
  // The last two pixels of one stored row and the first of the next: one run.
  Bytes frame(size_t(w) * h, 0);
  frame[size_t(w) - 2] = frame[size_t(w) - 1] = frame[size_t(w)] = 5;
  const Bytes packed = Pack(frame, w, h, 0);
  EXPECT_EQ(Frame_Run_Code::Drawn_Box(packed.data(), packed.size(), w, h), TRect(0, h - 2, w, h));
  // Damaged: a literal that runs past its bytes, a length past the buffer.
  Bytes damaged = packed;
  damaged.resize(damaged.size() - 1);
  EXPECT_TRUE(Frame_Run_Code::Drawn_Box(damaged.data(), damaged.size(), w, h).IsEmpty());
  EXPECT_TRUE(Frame_Run_Code::Drawn_Box(packed.data(), 3, w, h).IsEmpty());
}
