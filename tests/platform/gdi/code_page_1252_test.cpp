#include "platform/gdi/code_page_1252.h"

#include <gtest/gtest.h>

TEST(Code_Page_1252, HighBlockDiffersFromLatin1AndEveryByteRoundTrips) {
  // The euro sign, the double quotation marks, Y with diaeresis; 0x81 is undefined: the C1 control.
  for (auto [byte, unicode] : {std::pair{0x80, U'\u20AC'}, {0x93, U'\u201C'}, {0x94, U'\u201D'}, {0x9F, U'\u0178'},
                               {0x81, U'\u0081'}, {'A', U'A'}, {0xE9, U'\u00E9'}, {0xFF, U'\u00FF'}})
    EXPECT_EQ(Unicode_From_1252(uint8_t(byte)), unicode) << byte;
  // Every byte round trips.
  for (int byte = 0; byte < 256; ++byte)
    EXPECT_EQ(Code_Page_1252_From_Unicode(Unicode_From_1252(static_cast<uint8_t>(byte))), byte);
  // U+0080 is a Latin-1 control, not in the code page.
  for (char32_t outside : {U'\u0080', U'\u0100', U'\u263A'}) EXPECT_EQ(Code_Page_1252_From_Unicode(outside), -1);
}

TEST(Code_Page_1252, Utf8TextComesIntoTheCodePageWithLookAlikesAndBrokenBytesAsQuestionMarks) {
  const struct {
    const char* utf8;
    const char* expected;
  } cases[] = {
      {"A4", "A4"},
      {"8.94 x 14\u2033", "8.94 x 14\""},                     // a paper in inches
      {"Caf\u00e9 \u00d7 \u20ac", "Caf\xe9 \xd7 \x80"},   // in the code page, two bytes and three
      {"5\u2032 \u263a \U0001F600.", "5' ? ?."},               // a prime, nothing like a smiley
      {"a\xe9" "b", "a?b"},                                   // a Latin-1 byte, not UTF-8
      {"\xc3", "?"},                                          // cut short at the end
      {"\xc0\xaf", "??"},                                    // an overlong slash
      {"\xed\xa0\x80z", "???z"},                            // a surrogate
  };
  for (const auto& c : cases) EXPECT_EQ(Code_Page_1252_From_Utf8(c.utf8), c.expected) << c.utf8;
}
