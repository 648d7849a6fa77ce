#include "model/render_core.h"
#include "model/trunc_i32.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <tuple>
#include <vector>

namespace {

struct Picture {
  int32_t width, height, stride;
  std::vector<uint8_t> bits;
  Picture(int32_t w, int32_t h, uint8_t fill = 0)
      : width(w), height(h), stride((w + 3) & ~3), bits(size_t(stride) * h, fill) {}
  Pixel_Buffer View() { return {bits.data(), width, height, stride}; }
  uint8_t& At(int x, int y) { return bits[size_t(y) * stride + x]; }
};

float Clamped(float v) { return std::isnan(v) ? v : std::clamp(v, -1024.0f, 1024.0f); }

// The renderer as the text of its rule reads, every write tested.
void Literal_Forward(Picture& d, Picture& s, uint8_t b0, const Map_Coefficients& m) {
  Step_Table cols, rows;
  cols.Build(s.width, m.a, m.c, d.stride);
  rows.Build(s.height, m.b, m.d, d.stride);
  int64_t x0 = Trunc_I32(double(Clamped(m.e)) * s.width), y0 = Trunc_I32(double(Clamped(m.f)) * s.height);
  int64_t rx = x0, ry = y0;
  for (int y = 0; y < s.height; ++y) {
    rx += rows.x[y];
    ry += rows.y_steps[y];
    int64_t x1 = rx, y1 = ry;
    for (int x = 0; x < s.width; ++x) {
      x1 += cols.x[x];
      y1 += cols.y_steps[x];
      uint8_t v = s.At(x, y);
      if (v != b0 && x1 >= 0 && x1 < d.width && y1 >= 0 && y1 < d.height) d.At(int(x1), int(y1)) = v;
    }
  }
}

// The backward rule as its text reads, every read tested.
void Literal_Backward(Picture& d, Picture& s, uint8_t b0, const Map_Coefficients& m) {
  Step_Table cols, rows;
  cols.Build(d.width, m.a, m.c, s.stride);
  rows.Build(d.height, m.b, m.d, s.stride);
  int64_t rx = Trunc_I32(double(Clamped(m.e)) * d.width), ry = Trunc_I32(double(Clamped(m.f)) * d.height);
  const int64_t stride = d.stride;
  for (int y = 0; y < d.height; ++y) {
    rx += rows.x[y];
    ry += rows.y_steps[y];
    int64_t x1 = rx, y1 = ry;
    for (int x = 0; x < d.width; ++x) {
      x1 += cols.x[x];
      y1 += cols.y_steps[x];
      if (x1 < 0 || x1 >= s.width || y1 < 0 || y1 >= s.height) continue;
      const uint8_t v = s.At(int(x1), int(y1));
      uint8_t* p = &d.At(x, y);
      if (v != b0) *p = v;
      else if (y >= 1 && y <= d.height - 2 && *p == b0 && p[-1] != b0 && p[1] != b0 && p[-stride] != b0 &&
               p[stride] != b0)
        *p = p[1];
    }
  }
}

// Whether the renderer writes what the rules say, forward through one map
// and then backward through another, on top of that.
bool Same_As_The_Rule(Picture& s, const Map_Coefficients& forward, const Map_Coefficients& backward) {
  Picture fast(s.width, s.height, 0), literal(s.width, s.height, 0);
  Render_Forward(fast.View(), s.View(), 0, forward);
  Literal_Forward(literal, s, 0, forward);
  if (fast.bits != literal.bits) return false;
  Render_Backward(fast.View(), s.View(), 0, backward);
  Literal_Backward(literal, s, 0, backward);
  return fast.bits == literal.bits;
}

TEST(Step_Table, Sums_Follow_Truncation_And_Catch_Up_Also_When_Saturated) {
  Step_Table t;
  t.Build(6, 0.5f, -1.5f, 100);
  EXPECT_EQ(std::vector<int>(t.x.begin(), t.x.end()), (std::vector<int>{0, 0, 1, 0, 1, 0}));
  EXPECT_EQ(std::vector<int>(t.y_steps.begin(), t.y_steps.end()), (std::vector<int>{0, -1, -2, -1, -2, -1}));
  EXPECT_EQ(t.y[2], -200);
  t.Build(4, 300.0f, 0.0f, 1);  // steps held at 127, caught up later
  EXPECT_EQ(std::vector<int>(t.x.begin(), t.x.end()), (std::vector<int>{0, 127, 127, 127}));
  // 1e8 per step: the accumulator reaches its limit of 2^31 at step 22 while
  // the position, held at 127 a step, is far behind; it goes on forward.
  t.Build(40, 1e8f, -1e8f, 1);
  for (int i = 1; i < 40; ++i) ASSERT_TRUE(t.x[i] == 127 && t.y_steps[i] == -128) << i;
  // A coefficient past the 32-bit range steps back from the start, all the way.
  t.Build(10, 3e9f, 0.0f, 1);
  for (int i = 1; i < 10; ++i) ASSERT_EQ(t.x[i], -128) << i;
}

TEST(Render_Forward, Pixels_Past_A_Saturated_Accumulator_Stay_Outside) {
  // Source columns land at 0, 127, 254, 381, 508 and then beyond the right
  // edge for good; none may come back into the picture.
  Picture s(48, 1, 1), d(512, 1, 0);
  Render_Forward(d.View(), s.View(), 0, {1e8f, 0, 0, 1, 0, 0});
  for (int x = 0; x < 512; ++x) ASSERT_EQ(d.At(x, 0), x % 127 == 0 ? 1 : 0) << x;
  // An offset of 150 widths is inside the clamp and kept whole, so steps
  // held at 128 back never bring a pixel into the picture.
  Picture wide(200, 1, 1);
  EXPECT_TRUE(Same_As_The_Rule(wide, {-2000, 0, 0, 1, 150, 0}, {1, 0, 0, 1, 0, 0}));
}

TEST(Render_Forward, Identity_Copies_Inked_Pixels) {
  Picture s(13, 9, 5), d(13, 9, 7);
  const std::tuple<int, int, uint8_t> inked[] = {{0, 0, 1}, {12, 8, 2}, {6, 4, 3}};
  for (auto [x, y, v] : inked) s.At(x, y) = v;
  Render_Forward(d.View(), s.View(), 5, {});
  for (auto [x, y, v] : inked) EXPECT_EQ(d.At(x, y), v);
  EXPECT_EQ(d.At(1, 0), 7);  // background is not painted
}

TEST(Render_Forward, Half_Scale_Keeps_The_Last_Inked_Pixel_In_Buffer_Order) {
  Map_Coefficients half{0.5f, 0, 0, 0.5f, 0, 0};
  // The first n of (0,0), (1,0), (0,1), (1,1) inked with colours 1..n: the
  // last one read wins.
  const std::pair<int, int> block[] = {{0, 0}, {1, 0}, {0, 1}, {1, 1}};
  for (int n = 1; n <= 4; ++n) {
    Picture s(8, 8, 0), d(8, 8, 0);
    for (int i = 0; i < n; ++i) s.At(2 + block[i].first, 2 + block[i].second) = uint8_t(i + 1);
    Render_Forward(d.View(), s.View(), 0, half);
    EXPECT_EQ(d.At(1, 1), n);
  }
}

TEST(Render_Backward, Doubling_Fills_From_Half_Positions) {
  Picture s(10, 10, 0), d(10, 10, 0);
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 10; ++x) s.At(x, y) = uint8_t(1 + x + 10 * y);
  Map_Coefficients twice{2, 0, 0, 2, 0, 0};
  Render_Forward(d.View(), s.View(), 0, twice);
  EXPECT_TRUE(d.At(1, 0) == 0 && d.At(2, 2) == s.At(1, 1));  // gaps after the splat
  Render_Backward(d.View(), s.View(), 0, {0.5f, 0, 0, 0.5f, 0, 0});
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 10; ++x) ASSERT_EQ(d.At(x, y), s.At(x / 2, y / 2)) << x << "," << y;
}

TEST(Render_Backward, Lone_Hole_Takes_Its_Right_Neighbour) {
  Picture s(6, 6, 0), d(6, 6, 9);
  d.At(2, 2) = d.At(2, 0) = 0;  // the second on the bottom row, where the rule does not apply
  d.At(3, 2) = 4;
  Render_Backward(d.View(), s.View(), 0, {1, 0, 0, 1, 0, 0});
  EXPECT_EQ(std::pair(d.At(2, 2), d.At(2, 0)), std::pair(uint8_t(4), uint8_t(0)));
}

// The stretch tests in double: a near-identity shear's axis is longer than 1
// by 1e-10, which float rounds away.
TEST(Render_Backward, Stretch_Tests_Keep_Double_Precision) {
  EXPECT_EQ((std::vector<bool>{Axis_Stretched(1.0f, -1e-5f), Axis_Stretched(1.0f, 0.0f), Axis_Stretched(1.0f, 0.0f, true),
                               Axis_Stretched(0.99999994f, 1e-5f, true), Axis_Stretched(0.99999994f, 4e-4f, true)}),
            (std::vector<bool>{true, false, false, true, false}));
}

TEST(Render_Forward, Matches_The_Tested_Rule_And_Stays_Inside_For_Any_Map) {
  std::mt19937 random(11);
  std::uniform_real_distribution<float> coefficient(-1.2f, 1.2f), offset(-0.6f, 1.4f);
  const float odd[] = {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                       -3e9f, 3e9f, 200.0f, -150.0f};
  for (int k = 0; k < 3000; ++k) {
    int w = 4 + random() % 40, h = 4 + random() % 40;
    Picture s(w, h, 0);
    for (auto& v : s.bits) v = random() % 3 ? uint8_t(1 + random() % 5) : 0;
    Map_Coefficients m{coefficient(random), coefficient(random), coefficient(random),
                       coefficient(random), offset(random), offset(random)};
    if (k % 10 == 0) (&m.a)[random() % 6] = odd[random() % 6];
    // Sources fully inked, mostly blank, or in between.
    if (k % 3 == 1)
      for (auto& v : s.bits) v = uint8_t(1 + random() % 5);
    if (k % 3 == 2)
      for (auto& v : s.bits) v = random() % 40 ? 0 : v;
    // Any map serves as a backward map: reads stay inside, pixels as the rule says.
    ASSERT_TRUE(Same_As_The_Rule(s, m, m)) << k;
  }
}

TEST(Render_Forward, Large_Pictures_Match_The_Rule) {
  std::mt19937 random(5);
  std::uniform_real_distribution<float> coefficient(-0.8f, 0.8f), offset(0.0f, 1.0f);
  Picture s(200, 200, 0);
  for (int y = 0; y < 200; ++y)
    for (int x = 0; x < 200; ++x)
      if ((x - 100) * (x - 100) + (y - 80) * (y - 80) < 2500 || (x > 20 && x < 60 && y > 120)) s.At(x, y) = uint8_t(1 + x % 3);
  for (int k = 0; k < 60; ++k) {
    Map_Coefficients m{coefficient(random), coefficient(random), coefficient(random),
                       coefficient(random), offset(random), offset(random)};
    if (k % 2) m.b = m.c = 0;
    const Map_Coefficients back{1 / (m.a + 1.5f), m.b, m.c, 1 / (m.d + 1.5f), -offset(random) / 2, offset(random) / 2};
    ASSERT_TRUE(Same_As_The_Rule(s, m, back)) << k;
  }
}

TEST(Render_Forward, Map_Whose_Corner_Truncates_Inside_But_A_Pixel_Does_Not) {
  auto bits = [](uint32_t u) { float f; std::memcpy(&f, &u, 4); return f; };
  Map_Coefficients m{bits(0xbe90454a), bits(0xbeb942a2), bits(0xbebeef4c),
                     bits(0x3e977d07), bits(0x3f77de4f), bits(0x3eb1a275)};
  Picture s(28, 28, 1);
  EXPECT_TRUE(Same_As_The_Rule(s, m, m));  // under the address checker: nothing outside
}

TEST(Count_Likeness, Stops_Past_The_Limit) {
  std::vector<uint8_t> a(360 * 360, 0), b(360 * 360, 0);
  for (int i = 0; i < 2000; ++i) b[i * 7] = 1;
  auto count = [](const std::vector<uint8_t>& x, const std::vector<uint8_t>& y, uint8_t background, int limit) {
    const Likeness_Count c = Count_Likeness(x.data(), y.data(), x.size(), background, limit);
    return std::pair(int(c.differing), int(c.inked));
  };
  EXPECT_EQ(count(a, b, 0, 1012), std::pair(1013, 1013));
  // Pixels background in both pictures take no part; the count stops
  // inside a word at the exact pixel.
  std::vector<uint8_t> c1(100, 4), c2(100, 4);
  for (int i = 0; i < 100; i += 2) c2[i] = 5;
  EXPECT_EQ(count(c1, c2, 4, 10), std::pair(11, 11));
  EXPECT_EQ(count(c1, c2, 0, 1000), std::pair(50, 100));
}

}  // namespace
