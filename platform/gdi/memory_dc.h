// A memory device context: draws on the bitmap selected into it with
// SelectObject. It starts with a 1 x 1 monochrome bitmap selected, so a
// bitmap made compatible with a fresh memory context is monochrome, as
// callers of the classic interface expect; select a bitmap before drawing.
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
};
