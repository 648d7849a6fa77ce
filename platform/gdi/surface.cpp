#include "platform/gdi/surface.h"

#include <algorithm>

namespace {

bool Valid_Depth(int bits) { return bits == 1 || bits == 4 || bits == 8 || bits == 32; }

// Largest buffer a surface may hold; larger requests give an empty surface
// rather than an allocation that can only fail.
constexpr uint64_t Max_Bytes = uint64_t(1) << 31;

}  // namespace

TSurface::TSurface(int width, int height, int bits_per_pixel, bool bottom_up, int table_size)
    : bits_per_pixel_(Valid_Depth(bits_per_pixel) ? bits_per_pixel : 8), bottom_up_(bottom_up) {
  if (bits_per_pixel_ != 32) {
    const int full = 1 << bits_per_pixel_;
    const int n = table_size > 0 ? std::min(table_size, full) : full;
    colors_.assign(size_t(n), 0);
    if (bits_per_pixel_ == 1 && n == 2) colors_[1] = 0xFFFFFF;
  }
  if (width <= 0 || height <= 0) return;
  const uint64_t row_bits = uint64_t(width) * uint64_t(bits_per_pixel_);
  const uint64_t stride = (row_bits + 31) / 32 * 4;
  if (stride * uint64_t(height) > Max_Bytes) return;
  width_ = width;
  height_ = height;
  stride_ = long(stride);
  bits_.assign(size_t(stride * uint64_t(height)), 0);
}

uint32_t TSurface::Pixel(int x, int y) const {
  const uint8_t* row = Row(y);
  switch (bits_per_pixel_) {
    case 1: return row[x >> 3] >> (7 - (x & 7)) & 1;
    case 4: return (x & 1) ? (row[x >> 1] & 0x0F) : (row[x >> 1] >> 4);
    case 8: return row[x];
    default: return reinterpret_cast<const uint32_t*>(row)[x] & 0xFFFFFF;
  }
}

void TSurface::Set_Pixel(int x, int y, uint32_t value) {
  uint8_t* row = Row(y);
  switch (bits_per_pixel_) {
    case 1: {
      const uint8_t bit = uint8_t(0x80 >> (x & 7));
      row[x >> 3] = (value & 1) ? (row[x >> 3] | bit) : (row[x >> 3] & ~bit);
      break;
    }
    case 4: {
      uint8_t& b = row[x >> 1];
      b = (x & 1) ? uint8_t((b & 0xF0) | (value & 0x0F)) : uint8_t((b & 0x0F) | (value & 0x0F) << 4);
      break;
    }
    case 8: row[x] = uint8_t(value); break;
    default: reinterpret_cast<uint32_t*>(row)[x] = value & 0xFFFFFF;
  }
}

uint32_t TSurface::Pixel_Xrgb(int x, int y) const {
  const uint32_t v = Pixel(x, y);
  if (bits_per_pixel_ == 32) return v;
  return v < colors_.size() ? colors_[v] & 0xFFFFFF : 0;
}

TPixel_View TSurface::View() {
  TPixel_View view;
  view.width = width_;
  view.height = height_;
  view.bits_per_pixel = bits_per_pixel_;
  if (height_ > 0) {
    view.bits = Row(0);
    view.stride = bottom_up_ ? -stride_ : stride_;
  }
  return view;
}
