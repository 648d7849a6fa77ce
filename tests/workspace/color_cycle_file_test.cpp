// The colour-cycle bytes: the built-in block against the program's colours,
// a write and read back, snapping of foreign colours, and refusal of every
// damaged file.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "model/color_wheel_table.h"
#include "model/gui_colors.h"
#include "platform/system/resource.h"
#include "workspace/color_cycle_file.h"
#include "workspace/color_wheel.h"

namespace {

// The program colour (table index) of every built-in cycle colour; cycle 1
// holds no table colour.
const std::vector<std::vector<int>> Built_In_Indexes = {
    {},
    {5, 26},
    {7, 11, 6},
    {1, 0, 13, 14},
    {30, 28, 24, 33, 26},
    {5, 16, 4, 15, 3, 27},
    {31, 32, 33, 22, 23, 12, 13},
    {8, 7, 19, 6, 5, 17, 29, 37},
    {10, 22, 34, 9, 21, 33, 8, 20, 32},
    {12, 22, 21, 20, 19, 18, 16, 15, 14, 13},
};

TColor As_Read(TColor rgb) { return rgb; }

class Color_Cycle_File_Test : public testing::Test {
 protected:
  static std::vector<uint8_t> Block() {
    const TResource block = Find_Resource(RT_RCDATA, Color_Cycle_Block_Id);
    return block ? std::vector<uint8_t>(block.data, block.data + block.size) : std::vector<uint8_t>();
  }
  static uint32_t Value_At(const std::vector<uint8_t>& bytes, size_t offset) {
    uint32_t v = 0;
    std::memcpy(&v, bytes.data() + offset, 4);
    return v;
  }
  GUI_Colors colors;
};

TEST_F(Color_Cycle_File_Test, The_Built_In_Block_Holds_The_Header_And_The_Program_Colours) {
  const std::vector<uint8_t> block = Block();
  ASSERT_EQ(block.size(), 225u);
  EXPECT_EQ(std::vector<uint8_t>(block.begin(), block.begin() + 5), (std::vector<uint8_t>{0x3A, 1, 1, 0, 0}));
  EXPECT_EQ(Value_At(block, 5), 0x97C9E7u);
  size_t offset = 9;
  for (size_t k = 2; k <= 10; ++k) {
    ASSERT_EQ(Built_In_Indexes[k - 1].size(), k);
    for (int index : Built_In_Indexes[k - 1]) {
      SCOPED_TRACE(testing::Message() << "cycle " << k << " colour " << index);
      EXPECT_EQ(Value_At(block, offset), Wheel_Colors_RGB[index]);
      offset += 4;
    }
  }
  EXPECT_EQ(offset, 225u);
}

TEST_F(Color_Cycle_File_Test, Cycles_Read_From_The_Block_Write_Back_The_Same_Bytes) {
  const std::vector<uint8_t> block = Block();
  Color_Cycles cycles{};
  ASSERT_TRUE(Read_Color_Cycle_Bytes(block, cycles, &Nearest_Palette_Color));
  for (int k = 1; k <= 10; ++k) EXPECT_EQ(cycles[size_t(k - 1)].count, k);
  EXPECT_EQ(cycles[9].colors[0], TColor(Wheel_Colors[12]));

  const std::vector<uint8_t> written = Color_Cycle_Bytes(cycles, *colors.Palette);
  ASSERT_EQ(written.size(), 225u);
  // Cycle 1's colour is no program colour: it comes back as the nearest one.
  EXPECT_EQ(Value_At(written, 5), uint32_t(Nearest_Palette_Color(TColor(0x97C9E7u))));
  EXPECT_NE(Value_At(written, 5), 0x97C9E7u);
  EXPECT_TRUE(std::equal(block.begin() + 9, block.end(), written.begin() + 9));
  EXPECT_TRUE(std::equal(block.begin(), block.begin() + 5, written.begin()));
}

TEST_F(Color_Cycle_File_Test, Foreign_Colours_Are_Snapped_And_Palette_Colours_Written_As_Rgb) {
  std::vector<uint8_t> bytes = Block();
  const uint32_t near_white = 0xFAFBFC;
  std::memcpy(bytes.data() + 9, &near_white, 4);
  Color_Cycles cycles{};
  ASSERT_TRUE(Read_Color_Cycle_Bytes(bytes, cycles, &Nearest_Palette_Color));
  EXPECT_EQ(cycles[1].colors[0], TColor(Wheel_Colors[37]));

  // A colour kept in palette-index form goes to the file as its entry's RGB.
  const int entry = colors.Palette->GetNearestPaletteIndex(TColor(0x00E900));
  cycles[1].colors[0] = TColor::Palette_Index(entry);
  const std::vector<uint8_t> written = Color_Cycle_Bytes(cycles, *colors.Palette);
  EXPECT_EQ(Value_At(written, 9), uint32_t(Palette_Color_To_RGB(TColor::Palette_Index(entry), *colors.Palette)));
  EXPECT_TRUE(TColor(Value_At(written, 9)).Is_Rgb());
}

TEST_F(Color_Cycle_File_Test, A_Damaged_File_Is_Refused_Whole) {
  const std::vector<uint8_t> block = Block();
  std::vector<std::vector<uint8_t>> damaged;
  for (size_t n = 0; n < block.size(); ++n) damaged.emplace_back(block.begin(), block.begin() + long(n));
  damaged.push_back(block);
  damaged.back().push_back(0);  // longer than a cycle file
  // No header mark, another stream version, a value that is no RGB colour.
  for (auto [at, value] : {std::pair<size_t, uint8_t>{0, '['}, {1, 2}, {224, 0x01}}) {
    damaged.push_back(block);
    damaged.back()[at] = value;
  }
  // Another kind of file of the same length: a framed object stream.
  std::vector<uint8_t> other = {0x3A, 1, 1, 0, 0, '[', 4, 0, 0, 0, 'U', 's', 'e', 'r'};
  other.resize(225, 0xFF);
  damaged.push_back(other);

  Color_Cycles kept{};
  kept[3].count = 2;
  kept[3].colors[1] = TColor(1, 2, 3);
  for (size_t i = 0; i < damaged.size(); ++i) {
    SCOPED_TRACE(i);
    Color_Cycles cycles = kept;
    EXPECT_FALSE(Read_Color_Cycle_Bytes(damaged[i], cycles, &As_Read));
    EXPECT_EQ(cycles, kept);
  }
}

}  // namespace
