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

namespace {

// Characters outside the code page with a plain look-alike in it.
char Look_Alike(char32_t code_point) {
  switch (code_point) {
    case 0x2032: return '\'';  // prime (feet, minutes)
    case 0x2033: return '"';   // double prime (inches)
    case 0x2044: return '/';   // fraction slash
    case 0x2212: return '-';   // minus sign
    case 0x2010:
    case 0x2011: return '-';   // hyphens
    default: return '?';
  }
}

// The length of the UTF-8 sequence led by byte, 0 for a byte that cannot
// lead one.
int Sequence_Length(uint8_t byte) {
  if (byte < 0x80) return 1;
  if (byte >= 0xC2 && byte <= 0xDF) return 2;
  if (byte >= 0xE0 && byte <= 0xEF) return 3;
  if (byte >= 0xF0 && byte <= 0xF4) return 4;
  return 0;
}

}  // namespace

std::optional<char32_t> Next_Utf8(std::string_view text, size_t& i) {
  const uint8_t lead = uint8_t(text[i]);
  const int length = Sequence_Length(lead);
  char32_t code_point = length == 1 ? lead : length == 2 ? lead & 0x1F : length == 3 ? lead & 0x0F : lead & 0x07;
  bool whole = length > 0 && i + size_t(length) <= text.size();
  for (int k = 1; whole && k < length; ++k) {
    const uint8_t next = uint8_t(text[i + size_t(k)]);
    if ((next & 0xC0) != 0x80) whole = false;
    code_point = (code_point << 6) | (next & 0x3F);
  }
  // Overlong forms, surrogates and code points past Unicode are broken too.
  static constexpr char32_t Least[5] = {0, 0, 0x80, 0x800, 0x10000};
  if (whole && (code_point < Least[length] || (code_point >= 0xD800 && code_point <= 0xDFFF) || code_point > 0x10FFFF))
    whole = false;
  i += whole ? size_t(length) : 1;
  if (!whole) return std::nullopt;
  return code_point;
}

std::string Code_Page_1252_From_Utf8(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    const std::optional<char32_t> code_point = Next_Utf8(text, i);
    if (!code_point) {
      out += '?';
      continue;
    }
    const int byte = Code_Page_1252_From_Unicode(*code_point);
    out += byte >= 0 ? char(byte) : Look_Alike(*code_point);
  }
  return out;
}
