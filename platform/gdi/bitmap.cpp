#include "platform/gdi/bitmap.h"

#include <cstring>

TBitmap::TBitmap(int width, int height)
    : surface_(std::make_shared<TSurface>(width, height, 32, false)) {}

TBitmap::TBitmap(int width, int height, int /*planes*/, int bits_per_pixel, const void* bits)
    : surface_(std::make_shared<TSurface>(width, height, bits_per_pixel == 1 ? 1 : 32, false)) {
  if (!bits || surface_->Size_Bytes() == 0) return;
  const int depth = surface_->Bits_Per_Pixel();
  const long source_stride = depth == 1 ? (long(surface_->Width()) + 15) / 16 * 2 : long(surface_->Width()) * 4;
  const auto* source = static_cast<const uint8_t*>(bits);
  for (int y = 0; y < surface_->Height(); ++y)
    std::memcpy(surface_->Row(y), source + y * source_stride, size_t(source_stride));
  if (depth == 32)
    for (int y = 0; y < surface_->Height(); ++y)
      for (int x = 0; x < surface_->Width(); ++x) surface_->Row32(y)[x] &= 0xFFFFFF;
}

TBitmap::TBitmap(std::shared_ptr<TSurface> surface) : surface_(std::move(surface)) {}

TBitmap::TBitmap(const TBitmap& other) : surface_(std::make_shared<TSurface>(*other.surface_)) {}

TBitmap& TBitmap::operator=(const TBitmap& other) {
  if (this != &other) surface_ = std::make_shared<TSurface>(*other.surface_);
  return *this;
}

TBitmap::~TBitmap() = default;
