// A printable document: what a print job draws. The printer calls its
// operations on the job's own thread, in this order: Begin_Printing with the
// page, Print_Page for the page, End_Printing whatever happened.
#pragma once

#include <string>

#include "platform/gdi/geometry.h"

class TDC;

class Printout {
 public:
  // title: the job's name at the printer and in the failure message.
  Printout(std::string title, bool banding) : title(std::move(title)), banding(banding) {}
  virtual ~Printout() = default;

  // page: the printable rectangle inside the margins, in device pixels;
  // pixels_per_inch: (x, y).
  virtual void Begin_Printing(const TRect& page, const TPoint& pixels_per_inch) {
    (void)page, (void)pixels_per_inch;
  }
  virtual void Print_Page(TDC& dc, const TRect& rectangle) = 0;
  virtual void End_Printing() {}

  std::string title;
  bool banding;
};
