// Device-dependent bitmaps: 32-bit "compatible" bitmaps in the screen's
// format (0x00RRGGBB, top row first) and monochrome bitmaps (1 bit, 0 black,
// 1 white). A TBitmap is selected into a memory device context to draw on
// it; the context keeps the pixels alive while it holds them. Copying a
// TBitmap copies its pixels.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/gdi/geometry.h"
#include "platform/gdi/surface.h"

class TBitmap {
 public:
  // A compatible (32-bit) bitmap, zero-filled (black).
  TBitmap(int width, int height);
  // CreateBitmap: 1 bit per pixel gives a monochrome bitmap, anything else
  // a compatible one. bits, when given, holds the rows top first, each
  // rounded up to 16 bits for 1 bit per pixel and to 32 bits otherwise.
  TBitmap(int width, int height, int planes, int bits_per_pixel, const void* bits);
  // Shares the pixels of a surface (a DIB section, the screen).
  explicit TBitmap(std::shared_ptr<TSurface> surface);
  TBitmap(const TBitmap& other);
  TBitmap& operator=(const TBitmap& other);
  virtual ~TBitmap();

  int Width() const { return surface_->Width(); }
  int Height() const { return surface_->Height(); }
  TSize Size() const { return {Width(), Height()}; }
  int BitsPixel() const { return surface_->Bits_Per_Pixel(); }
  int Planes() const { return 1; }
  bool IsOK() const { return surface_->Size_Bytes() != 0; }

  const std::shared_ptr<TSurface>& Surface() const { return surface_; }

 protected:
  std::shared_ptr<TSurface> surface_;
};
