#include "platform/gdi/dibitmap.h"

TDiBitmap::TDiBitmap(int width, int height, int bits_per_pixel, int num_colors)
    : TDib(width, height, bits_per_pixel, num_colors), TBitmap(TDib::surface_) {}

TDiBitmap::TDiBitmap(const TDib& dib) : TDib(dib), TBitmap(TDib::surface_) {}

TDiBitmap::TDiBitmap(const TDiBitmap& other) : TDib(other), TBitmap(TDib::surface_) {}

TDiBitmap& TDiBitmap::operator=(const TDiBitmap& other) {
  if (this != &other) {
    TDib::operator=(other);
    TBitmap::surface_ = TDib::surface_;
  }
  return *this;
}

TDiBitmap::~TDiBitmap() = default;
