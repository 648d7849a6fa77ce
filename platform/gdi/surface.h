// Pixel storage behind bitmaps, DIBs and the screen: width x height pixels
// of 1, 4, 8 or 32 bits, rows rounded up to a multiple of 4 bytes.
// - 1/4/8-bit surfaces index a colour table (0x00RRGGBB entries); the bits
//   of a row run from the most significant bit of its first byte.
// - 32-bit surfaces hold 0x00RRGGBB, the screen's format.
// - A bottom-up surface (a DIB) keeps its bottom row first in memory; Row(y)
//   hides this: y always counts from the top, as a device context sees it.
// A surface of zero or negative size, or too large to hold, has no pixels.
// Surfaces carry no lock: the screen's lock is held by the device contexts
// that draw on it; any other surface is used by one thread at a time.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/gdi/flood_fill.h"
#include "platform/gdi/geometry.h"

class TSurface {
 public:
  // Zero-filled pixels; a colour table of table_size black entries for
  // 1/4/8 bits (1 << bits when table_size is 0; a mono table is black and
  // white).
  TSurface(int width, int height, int bits_per_pixel, bool bottom_up, int table_size = 0);
  TSurface(const TSurface&) = default;  // a full copy of pixels and table
  TSurface& operator=(const TSurface&) = default;

  int Width() const { return width_; }
  int Height() const { return height_; }
  int Bits_Per_Pixel() const { return bits_per_pixel_; }
  bool Bottom_Up() const { return bottom_up_; }
  TRect Bounds() const { return {0, 0, width_, height_}; }
  // Bytes per row, a multiple of 4.
  long Stride() const { return stride_; }
  bool Is_Indexed() const { return bits_per_pixel_ != 32; }

  // The buffer as stored (the bottom row first for a bottom-up surface).
  uint8_t* Bits() { return bits_.data(); }
  const uint8_t* Bits() const { return bits_.data(); }
  size_t Size_Bytes() const { return bits_.size(); }

  // Row y counted from the top; y must lie inside the surface.
  uint8_t* Row(int y) { return bits_.data() + Row_Offset(y); }
  const uint8_t* Row(int y) const { return bits_.data() + Row_Offset(y); }
  uint32_t* Row32(int y) { return reinterpret_cast<uint32_t*>(Row(y)); }
  const uint32_t* Row32(int y) const { return reinterpret_cast<const uint32_t*>(Row(y)); }

  // Raw pixel values (an index, or 0x00RRGGBB); the point must lie inside.
  uint32_t Pixel(int x, int y) const;
  void Set_Pixel(int x, int y, uint32_t value);

  // The colour table of an indexed surface, entries 0x00RRGGBB.
  std::vector<uint32_t>& Colors() { return colors_; }
  const std::vector<uint32_t>& Colors() const { return colors_; }
  // The pixel's colour as 0x00RRGGBB (through the table when indexed; an
  // index beyond the table is black).
  uint32_t Pixel_Xrgb(int x, int y) const;

  TPixel_View View();

 private:
  long Row_Offset(int y) const { return (bottom_up_ ? long(height_ - 1 - y) : long(y)) * stride_; }

  int width_ = 0;
  int height_ = 0;
  int bits_per_pixel_ = 8;
  bool bottom_up_ = false;
  long stride_ = 0;
  std::vector<uint8_t> bits_;
  std::vector<uint32_t> colors_;
};
