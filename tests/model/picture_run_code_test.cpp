#include "model/picture_run_code.h"

#include <gtest/gtest.h>

#include <numeric>
#include <random>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Encode(const Bytes& pixels) {
  Bytes out(pixels.size() + Run_Code_Slack);
  uint32_t length = Encode_Run_Code(pixels.data(), pixels.size(), out.data());
  out.resize(length);
  return out;
}

Bytes Repeat(size_t count, uint8_t value) { return Bytes(count, value); }
// 0, 1, 2, ... wrapping at 256.
Bytes Count_Up(size_t count) {
  Bytes b(count);
  std::iota(b.begin(), b.end(), uint8_t(0));
  return b;
}
Bytes Join(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const auto& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

TEST(Picture_Run_Code, Encoder_Examples) {
  EXPECT_EQ(Encode(Repeat(10, 0x41)), (Bytes{0x0A, 0x41}));
  EXPECT_EQ(Encode(Join({Repeat(5, 0x41), {0x42, 0x43, 0x44, 0x45}, Repeat(7, 0x46)})),
            (Bytes{0x05, 0x41, 0x00, 0x04, 0x42, 0x43, 0x44, 0x45, 0x07, 0x46}));
  EXPECT_EQ(Encode(Join({{0x41, 0x42, 0x43, 0x44, 0x45, 0x46, 0x47, 0x48}, Repeat(12, 0x41)})),
            (Bytes{0x00, 0x08, 0x41, 0x42, 0x43, 0x44, 0x45, 0x46, 0x47, 0x48, 0x0C, 0x41}));
  EXPECT_EQ(Encode(Repeat(300, 0)), (Bytes{0xFF, 0x00, 0x2D, 0x00}));

  // A literal run is at most 255 long: the 256th value goes as a run of 1.
  EXPECT_EQ(Encode(Join({Count_Up(256), Repeat(10, 0)})), Join({{0x00, 0xFF}, Count_Up(255), {0x01, 0xFF, 0x0A, 0x00}}));
}

TEST(Picture_Run_Code, Pixels_That_Do_Not_Shrink_Reach_N) {
  EXPECT_GE(Encode({0x61, 0x62, 0x63}).size(), 3u);
  const Bytes quad = {0x41, 0x41, 0x42, 0x42}, pairs = Join({quad, quad, quad, quad});
  EXPECT_GE(Encode(pairs).size(), 16u);
}

TEST(Picture_Run_Code, Encoder_Stays_Within_Its_Slack) {
  // Alternating bytes make literal runs; each length probes where the output
  // crosses n.
  for (uint32_t n = 1; n < 600; ++n) {
    Bytes pixels(n);
    for (uint32_t i = 0; i < n; ++i) pixels[i] = uint8_t(i * 7 + (i / 5));
    Bytes out(n + Run_Code_Slack, 0xEE);
    uint32_t length = Encode_Run_Code(pixels.data(), n, out.data());
    ASSERT_LE(length, n + 5) << n;
  }
}

TEST(Picture_Run_Code, Round_Trips) {
  std::mt19937 random(3);
  std::vector<Bytes> inputs;
  for (size_t run : {254u, 255u, 256u, 510u, 511u}) inputs.push_back(Join({Repeat(run, 7), {1, 2, 3}}));
  for (size_t literal : {255u, 256u, 257u}) inputs.push_back(Join({Count_Up(literal), Repeat(20, 9)}));
  Bytes drawing(576 * 576, 0);
  for (size_t i = 0; i < drawing.size(); ++i)
    if ((i / 576) % 50 < 20 && (i % 576) % 70 < 30) drawing[i] = uint8_t(3 + (i % 576) / 70);
  inputs.push_back(drawing);
  for (int k = 0; k < 200; ++k) {
    Bytes b(random() % 3000 + 1);
    for (auto& v : b) v = random() % 4 == 0 ? uint8_t(random()) : uint8_t(random() % 3);
    inputs.push_back(b);
  }
  for (const Bytes& pixels : inputs) {
    Bytes code = Encode(pixels);
    if (code.size() >= pixels.size()) continue;
    Bytes back(pixels.size(), 0xAA);
    EXPECT_TRUE(Decode_Run_Code(code.data(), code.size(), back.data(), back.size()));
    EXPECT_TRUE(Run_Code_Is_Valid(code.data(), code.size(), back.size()));
    ASSERT_EQ(back, pixels);
  }
}

TEST(Picture_Run_Code, Damaged_Code_Stays_Inside_Both_Buffers) {
  Bytes pixels(10, 0x55);
  // A run past n, a literal past the code, a count at the very end.
  const Bytes too_long{0x08, 0x01, 0x08, 0x02};
  EXPECT_FALSE(Decode_Run_Code(too_long.data(), too_long.size(), pixels.data(), pixels.size()));
  EXPECT_EQ(pixels, (Bytes{1, 1, 1, 1, 1, 1, 1, 1, 2, 2}));

  Bytes cut{0x00, 0x09, 0x07, 0x07};
  std::fill(pixels.begin(), pixels.end(), 0x55);
  EXPECT_FALSE(Decode_Run_Code(cut.data(), cut.size(), pixels.data(), pixels.size()));
  EXPECT_EQ(pixels, (Bytes{7, 7, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55}));

  const Bytes dangling{0x03, 0x01, 0x05};
  EXPECT_FALSE(Run_Code_Is_Valid(dangling.data(), dangling.size(), 10));
  const Bytes short_code{0x03, 0x01};
  EXPECT_FALSE(Run_Code_Is_Valid(short_code.data(), short_code.size(), 10));
  const Bytes exact{0x03, 0x01, 0x00, 0x07, 1, 2, 3, 4, 5, 6, 7};
  EXPECT_TRUE(Run_Code_Is_Valid(exact.data(), exact.size(), 10));
}

}  // namespace
