#include "gallery/drawing_printout.h"

#include <algorithm>

#include "model/gui_colors.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/dib_dc.h"

Drawing_Printout::Drawing_Printout(Printer_IO* owner_) : Printout("", false), owner(owner_) {}

Drawing_Printout::~Drawing_Printout() = default;

void Drawing_Printout::Set_Drawing(std::unique_ptr<Shape_Drawing> next) {
  drawing = std::move(next);
  ++counter;
  title = "Quendar Drawing " + std::to_string(counter);
}

TRect Drawing_Printout::Placement(const TRect& page, const TPoint& ppi, const TSize& size) {
  const int64_t pw = page.Width(), ph = page.Height();
  const int64_t w0 = std::max<int64_t>(size.cx, 1), h0 = std::max<int64_t>(size.cy, 1);
  const int64_t x = std::max<int64_t>(ppi.x, 1), y = std::max<int64_t>(ppi.y, 1);
  int64_t k, width, height;
  if (x == y) {
    k = std::max<int64_t>(std::min(pw / w0, ph / h0), 1);
    width = w0 * k, height = h0 * k;
  } else if (x > y) {
    k = std::max<int64_t>(std::min(pw / w0, (ph * x / y) / h0), 1);
    width = w0 * k, height = (h0 * k) * y / x;
  } else {
    k = std::max<int64_t>(std::min((pw * y / x) / w0, ph / h0), 1);
    width = (w0 * k) * x / y, height = h0 * k;
  }
  // Halving by an arithmetic shift (toward minus infinity): a drawing wider
  // than the page overhangs its left and top edges by the odd pixel.
  const int64_t left = page.left + ((pw - width) >> 1), top = page.top + ((ph - height) >> 1);
  return TRect(int(left), int(top), int(left + width), int(top + height));
}

void Drawing_Printout::Begin_Printing(const TRect& page, const TPoint& pixels_per_inch) {
  if (!drawing) return;
  placement = Placement(page, pixels_per_inch, TSize(drawing->Width(), drawing->Height()));
}

void Drawing_Printout::Print_Page(TDC& dc, const TRect& rectangle) {
  if (rectangle.left >= rectangle.right || rectangle.top >= rectangle.bottom) return;
  if (!drawing || !drawing->Bitmap) return;
  TDibDC source(*drawing->Bitmap);
  source.SelectObject(*The_GUI_Colors->Palette);
  source.RealizePalette();
  dc.SelectObject(*The_GUI_Colors->Palette);
  dc.RealizePalette();
  dc.SetStretchBltMode(COLORONCOLOR);
  dc.StretchBlt(placement, source, TRect(0, 0, drawing->Width(), drawing->Height()), SRCCOPY);
}

void Drawing_Printout::End_Printing() { drawing.reset(); }
