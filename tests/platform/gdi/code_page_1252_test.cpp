#include "platform/gdi/code_page_1252.h"

#include <gtest/gtest.h>

TEST(Code_Page_1252, HighBlockDiffersFromLatin1) {
  EXPECT_EQ(Unicode_From_1252(0x80), U'\u20AC');  // euro sign
  EXPECT_EQ(Unicode_From_1252(0x93), U'\u201C');  // left double quotation mark
  EXPECT_EQ(Unicode_From_1252(0x94), U'\u201D');
  EXPECT_EQ(Unicode_From_1252(0x9F), U'\u0178');
  EXPECT_EQ(Unicode_From_1252(0x81), U'\u0081');  // undefined: the C1 control
  EXPECT_EQ(Unicode_From_1252('A'), U'A');
  EXPECT_EQ(Unicode_From_1252(0xE9), U'\u00E9');
  EXPECT_EQ(Unicode_From_1252(0xFF), U'\u00FF');
}

TEST(Code_Page_1252, EveryByteRoundTrips) {
  for (int byte = 0; byte < 256; ++byte)
    EXPECT_EQ(Code_Page_1252_From_Unicode(Unicode_From_1252(static_cast<uint8_t>(byte))), byte);
  EXPECT_EQ(Code_Page_1252_From_Unicode(U'\u0080'), -1);  // Latin-1 control, not in the code page
  EXPECT_EQ(Code_Page_1252_From_Unicode(U'\u0100'), -1);
  EXPECT_EQ(Code_Page_1252_From_Unicode(U'\u263A'), -1);
}
