// A printer device context: draws on a page held in memory (a 32-bit bitmap
// of the printable area at the printer's resolution) that the print backend
// hands to the printer once the page is done. It reports the page's size and
// resolution, and bitmap capability without banding.
#pragma once

#include "platform/gdi/bitmap.h"
#include "platform/gdi/dc.h"

class TPrintDC : public TDC {
 public:
  // A white page of width x height pixels at dots_per_inch.
  TPrintDC(int width, int height, int dots_per_inch);

  int GetDeviceCaps(int index) const override;
  // The page drawn so far.
  const TBitmap& Page() const { return page_; }

 private:
  TBitmap page_;
  int dots_per_inch_;
};
