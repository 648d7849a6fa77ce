// The printout of the printer drop point: one drawing on one page, at the
// largest whole multiple of its pixel size that fits the printable page,
// centred, with its aspect kept on printers whose two resolutions differ.
// Each drawing handed over renews the title, "Quendar Drawing %d", with a
// counter that counts every handing over (also of none).
#pragma once

#include <cstdint>
#include <memory>

#include "gallery/printout.h"
#include "model/shape_drawing.h"

class Printer_IO;

class Drawing_Printout : public Printout {
 public:
  explicit Drawing_Printout(Printer_IO* owner);
  ~Drawing_Printout() override;

  // Drops the drawing held, takes drawing (null: none) and titles the next job.
  void Set_Drawing(std::unique_ptr<Shape_Drawing> drawing);

  void Begin_Printing(const TRect& page, const TPoint& pixels_per_inch) override;
  void Print_Page(TDC& dc, const TRect& rectangle) override;
  void End_Printing() override;

  // Where a drawing of size lands on page at pixels_per_inch (x, y).
  static TRect Placement(const TRect& page, const TPoint& pixels_per_inch, const TSize& size);

  Printer_IO* owner;
  std::unique_ptr<Shape_Drawing> drawing;
  TRect placement;
  int32_t counter = 0;
};
