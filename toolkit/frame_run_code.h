// The run-length code of animation frames. A packed frame is a u32 total
// length (these four bytes included) followed by codes, each starting with
// a byte b:
//   b & 1       literal: b >> 1 (1..127) pixel bytes follow;
//   b & 3 == 0  short skip of b >> 2 (1..63) pixels;
//   b & 3 == 2  long skip: b and the next byte are a u16 w, skipping w >> 2
//               (up to 16383) pixels.
// Pixels are the frame's 8-bit values in memory order (bottom row first) as
// one array of width x height bytes; skipped pixels keep what the
// destination held, so only the pixels that are not the key are drawn.
// A picture whose rows are padded (stride bytes from one row to the next,
// more than width) packs to the same codes: the padding is never read or
// written.
#pragma once

#include <cstddef>
#include <algorithm>
#include <cstdint>

#include "platform/gdi/geometry.h"

namespace Frame_Run_Code {

constexpr uint32_t Max_Literal = 127;
constexpr uint32_t Max_Short_Skip = 63;
constexpr uint32_t Max_Skip = 16383;

// The most bytes a frame of `pixels` pixels in `rows` rows can pack to
// (alternating key and other pixels cost about 1.5 bytes a pixel).
size_t Max_Packed_Size(size_t pixels, size_t rows);

// Packs every pixel of a width x height frame; key pixels are skipped.
// Returns the packed length, or 0 when it would not fit in capacity.
// stride 0 stands for width (rows not padded).
size_t Pack(const uint8_t* pixels, int width, int height, uint8_t key, uint8_t* out, size_t capacity,
            size_t stride = 0);
// Packs only the rectangle (top-down coordinates, clipped to the frame);
// everything outside it is skipped.
size_t Pack_Rect(const uint8_t* pixels, int width, int height, const TRect& rect, uint8_t key, uint8_t* out,
                 size_t capacity, size_t stride = 0);
// Unpacks a frame onto pixel_count pixels. False for a damaged frame (its
// codes run past the bytes given or past the pixels); the pixels reached
// before the damage are drawn.
bool Unpack(const uint8_t* packed, size_t packed_size, uint8_t* pixels, size_t pixel_count);
// The same onto a width x height picture whose rows are stride bytes apart
// (at least width; false for less).
bool Unpack(const uint8_t* packed, size_t packed_size, uint8_t* pixels, int width, int height, size_t stride);
// The total length stored at the start of a packed frame.
uint32_t Packed_Length(const uint8_t* packed);
// Calls draw(at, values, count) for each run of pixels the frame draws, in
// memory order, at being the run's first pixel, and without touching any
// pixel. False for a damaged frame (the runs before the damage are given).
template <class Draw>
bool For_Each_Literal(const uint8_t* packed, size_t packed_size, size_t pixel_count, Draw&& draw);

// The smallest rectangle (top-down coordinates) holding every pixel the
// frame draws on a width x height picture, read from the codes alone;
// empty for a frame that draws nothing or is damaged.
TRect Drawn_Box(const uint8_t* packed, size_t packed_size, int width, int height);

template <class Draw>
bool For_Each_Literal(const uint8_t* packed, size_t packed_size, size_t pixel_count, Draw&& draw) {
  if (packed_size < 4) return false;
  const size_t total = Packed_Length(packed);
  if (total < 4 || total > packed_size) return false;
  size_t i = 4, p = 0;
  while (i < total) {
    const uint8_t b = packed[i];
    size_t n;
    if (b & 1) {
      n = b >> 1;
      if (n > total - i - 1 || n > pixel_count - p) return false;
      if (n > 0) draw(p, packed + i + 1, uint32_t(n));
      i += 1 + n;
    } else if ((b & 2) == 0) {
      n = b >> 2;
      i += 1;
    } else {
      if (total - i < 2) return false;
      n = (uint32_t(b) | uint32_t(packed[i + 1]) << 8) >> 2;
      i += 2;
    }
    if (n > pixel_count - p) return false;
    p += n;
  }
  return true;
}

}  // namespace Frame_Run_Code
