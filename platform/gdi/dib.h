// Device-independent bitmaps: 1, 4 or 8 bits per pixel with a colour table,
// stored bottom-up with rows rounded up to 4 bytes, so pixel (x, y) of the
// buffer is byte y * stride + x with y counted from the bottom (8 bits).
// The bits are reached directly. Copying a TDib copies its pixels; a device
// context or bitmap made on it shares them.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/gdi/color.h"
#include "platform/gdi/geometry.h"
#include "platform/gdi/surface.h"

class TDib {
 public:
  // A zero-filled DIB; num_colors 0 means a full table (1 << bits). The
  // table starts black (black and white for 1 bit).
  TDib(int width, int height, int bits_per_pixel = 8, int num_colors = 0);
  // Shares the pixels of an indexed surface.
  explicit TDib(std::shared_ptr<TSurface> surface);
  TDib(const TDib& other);
  TDib& operator=(const TDib& other);
  virtual ~TDib();

  int Width() const { return surface_->Width(); }
  int Height() const { return surface_->Height(); }
  TSize Size() const { return {Width(), Height()}; }
  int BitsPixel() const { return surface_->Bits_Per_Pixel(); }
  int NumColors() const { return int(surface_->Colors().size()); }
  // Bytes per row (a multiple of 4).
  long Pitch() const { return surface_->Stride(); }
  uint32_t SizeImage() const { return uint32_t(surface_->Size_Bytes()); }
  bool IsOK() const { return surface_->Size_Bytes() != 0; }

  uint8_t* GetBits() { return surface_->Bits(); }
  const uint8_t* GetBits() const { return surface_->Bits(); }

  // The colour table, entries 0x00RRGGBB (blue, green, red, 0 in memory).
  uint32_t* GetColors() { return surface_->Colors().data(); }
  const uint32_t* GetColors() const { return surface_->Colors().data(); }
  // Entry i as an RGB colour value; black beyond the table.
  TColor GetColor(int index) const;
  void SetColor(int index, TColor colour);
  // Entries first.. from 0x00RRGGBB values (SetDIBColorTable); returns how
  // many were set.
  int SetColorTable(int first, int count, const uint32_t* xrgb);
  // The first entry with exactly that RGB, or -1.
  int FindColor(TColor colour) const;

  const std::shared_ptr<TSurface>& Surface() const { return surface_; }

 protected:
  std::shared_ptr<TSurface> surface_;
};
