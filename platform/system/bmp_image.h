// A device-independent picture read from BMP bytes: the plain form that the
// graphics side turns into its own DIB. Rows are bottom-up and rounded up to
// a multiple of 4 bytes, as the graphics layer keeps them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

struct TBmp_Color {
  uint8_t blue = 0;
  uint8_t green = 0;
  uint8_t red = 0;
  uint8_t reserved = 0;

  // The entry as a 0x00RRGGBB colour-table value.
  uint32_t Xrgb() const { return uint32_t{red} << 16 | uint32_t{green} << 8 | blue; }
};

struct TBmp_Image {
  int32_t width = 0;
  int32_t height = 0;
  uint16_t bits_per_pixel = 0;     // 1, 4 or 8
  std::vector<TBmp_Color> colors;  // the colour table, as many entries as used
  std::vector<uint8_t> bits;       // height rows of Stride() bytes, bottom row first

  uint32_t Stride() const { return (static_cast<uint32_t>(width) * bits_per_pixel + 31) / 32 * 4; }
};

// Reads a BMP file image, or the same without its 14-byte file header (a
// resource bitmap). Uncompressed 1, 4 and 8 bits per pixel with a colour
// table; anything else, and every length that does not fit the bytes given,
// gives nothing.
std::optional<TBmp_Image> Parse_Bmp(const uint8_t* data, size_t size);
