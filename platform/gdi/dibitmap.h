// A DIB that is also a bitmap (a DIB section): one set of pixels reached
// directly as a TDib and selectable into a memory device context as a
// TBitmap.
#pragma once

#include "platform/gdi/bitmap.h"
#include "platform/gdi/dib.h"

class TDiBitmap : public TDib, public TBitmap {
 public:
  TDiBitmap(int width, int height, int bits_per_pixel = 8, int num_colors = 0);
  explicit TDiBitmap(const TDib& dib);  // copies the pixels
  TDiBitmap(const TDiBitmap& other);
  TDiBitmap& operator=(const TDiBitmap& other);
  ~TDiBitmap() override;

  using TDib::Width;
  using TDib::Height;
  using TDib::Size;
  using TDib::BitsPixel;
  using TDib::IsOK;
  using TDib::Surface;
};
