// A device context drawing straight on a DIB's pixels (any thread; one
// thread at a time per DIB).
#pragma once

#include "platform/gdi/dc.h"
#include "platform/gdi/dib.h"

class TDibDC : public TDC {
 public:
  explicit TDibDC(const TDib& dib);
};
