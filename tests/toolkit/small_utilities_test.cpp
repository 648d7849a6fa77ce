#include "toolkit/small_utilities.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/gdi/brush.h"
#include "platform/gdi/dib.h"
#include "platform/gdi/dib_dc.h"
#include "platform/gdi/palette.h"
#include "platform/system/clock.h"

namespace {

TEST(Small_Utilities, Numbers_With_Commas) {
  char buffer[32];
  const std::pair<int32_t, const char*> cases[] = {
      {0, "0"}, {999, "999"}, {1000, "1,000"}, {1000000, "1,000,000"}, {1234567, "1,234,567"}, {-12345, "-12,345"}};
  for (auto [value, text] : cases) {
    Format_With_Commas(buffer, value);
    EXPECT_STREQ(buffer, text);
  }
}

TEST(Small_Utilities, Minimal_Standard_Generator) {
  Set_Random_State(1);
  // The third is the first state past 127773: the high term counts.
  EXPECT_EQ((std::array{Next_Random(), Next_Random(), Next_Random()}), (std::array{16807, 282475249, 1622650073}));
  int32_t n = 0;
  for (int i = 3; i < 10000; ++i) n = Next_Random();
  EXPECT_EQ(n, 1043618065);  // the generator's published check value
  Set_Random_State(2147483646);
  EXPECT_EQ(Next_Random(), 2147466840);
  for (int i = 0; i < 1000; ++i) ASSERT_GT(Next_Random(), 0);
}

TEST(Small_Utilities, A_Seed_The_Generator_Would_Stick_On_Is_Moved_Off_It) {
  // Tick counts of 0, 2^31 - 1 and 2^31 + 1 are multiples of the modulus
  // (the last as a signed value): the step maps them to 2^31 - 1 and keeps
  // them there, so every later number would be the same.
  // Any other tick count seeds as it is.
  for (uint32_t ticks : {0u, 0x7FFFFFFFu, 0x80000001u, 1u}) {
    TVirtual_Clock clock(ticks);
    TClock::Install(&clock);
    Seed_Random();
    TClock::Install(nullptr);
    const int32_t first = Next_Random();
    EXPECT_NE(Next_Random(), first) << ticks;
    EXPECT_TRUE(ticks != 1 || first == 16807) << first;
  }
}

TEST(Small_Utilities, Bounding_Rect) {
  // No points leave the rectangle as it was.
  const TPoint points[] = {{3, 4}, {5, -1}, {2, 7}, {9, 0}};
  const std::pair<size_t, TRect> cases[] = {{0, TRect(1, 2, 3, 4)}, {1, TRect(3, 4, 4, 5)}, {4, TRect(2, -1, 10, 8)}};
  for (auto [count, expected] : cases) {
    TRect rect(1, 2, 3, 4);
    Points_Bounding_Rect(rect, count ? points : nullptr, int(count));
    EXPECT_EQ(rect, expected) << count;
  }
}

TEST(Small_Utilities, Right_Arrow_Geometry) {
  TDib dib(24, 12);
  const uint32_t table[2] = {0x000000, 0xFFFFFF};
  dib.SetColorTable(0, 2, table);
  TDibDC dc(dib);
  dc.SelectStockObject(NULL_PEN);
  dc.SelectObject(TBrush(TColor(255, 255, 255)));
  Draw_Arrow_Glyph(dc, TRect(0, 0, 20, 10), Arrow_Right);
  // The shaft is (0, 2, 15, 8), the head points to (19, 4).
  auto white = [&](int x, int y) { return dc.GetPixel(x, y) == TColor(255, 255, 255); };
  EXPECT_EQ((std::array{white(0, 2), white(0, 1), white(17, 4), white(21, 4)}), (std::array{true, false, true, false}));
  Draw_Arrow_Glyph(dc, TRect(0, 0, 20, 10), 7);  // no such direction: nothing
}

TEST(Small_Utilities, Palette_Into_A_Colour_Table) {
  const TPalette_Entry entries[2] = {{10, 20, 30, 4}, {255, 0, 1, 0}};
  TPalette palette(entries, 2);
  TDib dib(4, 4);
  Palette_To_DIB_Colors(dib, palette);
  EXPECT_EQ(dib.GetColors()[0], 0x0A141Eu);
  EXPECT_EQ(dib.GetColor(1), TColor(255, 0, 1));
}

TEST(Small_Utilities, Recycled_File_Goes_To_The_Trash) {
  const auto home = std::filesystem::temp_directory_path() / ("quendar_trash_" + std::to_string(getpid()));
  std::filesystem::create_directories(home);
  setenv("XDG_DATA_HOME", home.c_str(), 1);
  const auto file = home / "old.gal";
  std::ofstream(file) << "x";
  EXPECT_TRUE(Recycle_File(file.string()));
  EXPECT_FALSE(std::filesystem::exists(file));
  EXPECT_TRUE(std::filesystem::exists(home / "Trash" / "files" / "old.gal"));
  EXPECT_FALSE(Recycle_File((home / "missing").string()));
  std::filesystem::remove_all(home);
}

}  // namespace
