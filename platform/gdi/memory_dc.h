// A memory device context: draws on the bitmap selected into it. It starts
// with a 1 x 1 monochrome bitmap selected, so a bitmap made compatible with
// a fresh memory context is monochrome, as callers of the classic interface
// expect; select a bitmap before drawing.
#pragma once

#include "platform/gdi/bitmap.h"
#include "platform/gdi/dc.h"

class TMemoryDC : public TDC {
 public:
  TMemoryDC();
  // Compatible with another context (every context draws the same formats).
  explicit TMemoryDC(const TDC& compatible);
  // With bitmap selected.
  explicit TMemoryDC(const TBitmap& bitmap);

  using TDC::SelectObject;
  // Selects the bitmap's pixels; the context keeps them alive until another
  // bitmap is selected or the context is gone.
  void SelectObject(const TBitmap& bitmap);
  void RestoreBitmap();
};

// CreateCompatibleBitmap: monochrome when dc draws on a monochrome bitmap,
// otherwise a 32-bit bitmap in the screen's format.
TBitmap Compatible_Bitmap(const TDC& dc, int width, int height);
