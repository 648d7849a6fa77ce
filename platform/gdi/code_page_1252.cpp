#include "platform/gdi/code_page_1252.h"

namespace {

// 0x80..0x9F: the block where Windows-1252 differs from Latin-1.
constexpr char32_t High_Block[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98
};

}  // namespace

char32_t Unicode_From_1252(uint8_t byte) {
  if (byte >= 0x80 && byte <= 0x9F) return High_Block[byte - 0x80];
  return byte;
}

int Code_Page_1252_From_Unicode(char32_t code_point) {
  if (code_point < 0x80 || (code_point >= 0xA0 && code_point <= 0xFF)) return static_cast<int>(code_point);
  for (int i = 0; i < 32; ++i)
    if (High_Block[i] == code_point) return 0x80 + i;
  return -1;
}
