// The title layouts: the built-in blocks byte for byte, reading them back,
// refusing damaged data, and scaling to other screen heights.
#include "app/title_data.h"

#include <gtest/gtest.h>

#include <vector>

#include "model/ipstream.h"
#include "model/opstream.h"
#include "platform/system/resource.h"
#include "tests/model/stream_bytes.h"

namespace {

struct Block_Case {
  uint32_t id;
  std::array<TRect, 14> rects;
};

const Block_Case Blocks[] = {
    {4301,
     {{{117, 18, 497, 398}, {130, 130, 250, 250}, {113, 75, 173, 135}, {65, 119, 125, 179},
       {53, 181, 113, 241}, {78, 241, 138, 301}, {132, 277, 192, 337}, {196, 280, 256, 340},
       {254, 250, 314, 310}, {290, 195, 350, 255}, {296, 131, 356, 191}, {272, 70, 332, 130},
       {223, 26, 283, 86}, {160, 7, 220, 67}}}},
    {4302,
     {{{147, 18, 623, 494}, {162, 162, 314, 314}, {153, 87, 229, 163}, {87, 136, 163, 212},
       {63, 214, 139, 290}, {89, 293, 165, 369}, {155, 344, 231, 420}, {237, 353, 313, 429},
       {313, 318, 389, 394}, {362, 250, 438, 326}, {372, 168, 448, 244}, {343, 89, 419, 165},
       {280, 32, 356, 108}, {200, 8, 276, 84}}}},
    {4303,
     {{{190, 21, 790, 621}, {204, 204, 396, 396}, {198, 107, 294, 203}, {112, 166, 208, 262},
       {79, 265, 175, 361}, {109, 365, 205, 461}, {191, 433, 287, 529}, {295, 446, 391, 542},
       {392, 403, 488, 499}, {455, 318, 551, 414}, {470, 213, 566, 309}, {433, 113, 529, 209},
       {354, 41, 450, 137}, {252, 10, 348, 106}}}},
};

// The block as it must be: header, frame, class name and version, the
// rectangles little-endian, the closing bracket.
std::vector<uint8_t> Expected_Bytes(const Block_Case& block) {
  Bytes b;
  b.Hex("3A 01 01 00 00 5B").Name("Title_Data").Word(1);
  for (const TRect& r : block.rects)
    b.Word(uint32_t(r.left)).Word(uint32_t(r.top)).Word(uint32_t(r.right)).Word(uint32_t(r.bottom));
  return b.Hex("5D").data;
}

bool Read_Layout(const std::vector<uint8_t>& bytes, Title_Data& layout) {
  ipstream in(bytes.data(), bytes.size());
  in.Read_Version();
  in.Read_Object(layout);
  return !in.Fail();
}

TEST(Title_Data_Test, Built_In_Blocks_Hold_The_Layouts_Byte_For_Byte_And_Round_Trip) {
  for (const Block_Case& block : Blocks) {
    SCOPED_TRACE(block.id);
    const TResource found = Find_Resource(RT_RCDATA, block.id);
    ASSERT_TRUE(found);
    ASSERT_EQ(found.size, 249u);
    const std::vector<uint8_t> bytes(found.data, found.data + found.size);
    EXPECT_EQ(bytes, Expected_Bytes(block));
    Title_Data layout;
    ASSERT_TRUE(Read_Layout(bytes, layout));
    EXPECT_EQ(layout.Rects, block.rects);
    std::vector<uint8_t> written;
    opstream out(written);
    out.Write_Object(layout);
    EXPECT_EQ(written, bytes);
  }
}

TEST(Title_Data_Test, Damaged_Blocks_Are_Refused) {
  const std::vector<uint8_t> whole = Expected_Bytes(Blocks[0]);
  for (size_t cut = 0; cut < whole.size(); ++cut) {
    Title_Data layout;
    EXPECT_FALSE(Read_Layout(std::vector<uint8_t>(whole.begin(), whole.begin() + cut), layout)) << cut;
  }
  std::vector<uint8_t> other_version = whole;
  other_version[19] = 2;  // the class version after the name
  Title_Data layout;
  EXPECT_FALSE(Read_Layout(other_version, layout));
  std::vector<uint8_t> unclosed = whole;
  unclosed.back() = '[';
  EXPECT_FALSE(Read_Layout(unclosed, layout));
}

TEST(Title_Data_Test, Scaling_Truncates_Each_Step) {
  // 1024 / 480: corners and sizes truncated apart (area 2: 53 -> 113.06,
  // 60 -> 128 wide).
  EXPECT_EQ(Title_Data::Scale_Rect({53, 181, 113, 241}, 480, 1024), TRect(113, 386, 241, 514));
  // Negative values truncate toward zero.
  EXPECT_EQ(Title_Data::Scale_Rect({-7, -7, 0, 0}, 480, 1024), TRect(-14, -14, 0, 0));
  // A stored value that would overflow 32 bits does no harm.
  EXPECT_EQ(Title_Data::Scale_Rect({0x7FFFFFFF, 0, 0x7FFFFFFF, 0}, 768, 768).left, 0x7FFFFFFF);

  Title_Data layout;
  layout.Rects = Blocks[0].rects;
  // Every rectangle scaled: the last area here, the first and the window in
  // the title window's test at twice 480.
  EXPECT_EQ(Title_Data::Scaled_Copy(layout, 480, 1024)->Area(11), TRect(341, 14, 469, 142));
}

}  // namespace
