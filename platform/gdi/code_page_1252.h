// Program strings are single-byte Windows-1252; fonts and the desktop speak
// Unicode. The two directions of that mapping.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The Unicode code point of a Windows-1252 byte. The five bytes the code page
// leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1 controls of
// the same value, as the desktop does.
char32_t Unicode_From_1252(uint8_t byte);

// The Windows-1252 byte of a code point, or -1 when the code page lacks it.
int Code_Page_1252_From_Unicode(char32_t code_point);

// The code point of the UTF-8 sequence at text[i] (i < text's size), with
// i moved past it; none for a broken sequence (cut short, overlong, a
// surrogate, past Unicode), with i moved past its first byte.
std::optional<char32_t> Next_Utf8(std::string_view text, size_t& i);

// Text that arrives in UTF-8 (names a print server gives), in the code page:
// characters the code page lacks become a look-alike where one exists (primes
// become quotes) or '?', and so does every byte of a broken sequence.
std::string Code_Page_1252_From_Utf8(const std::string& text);
