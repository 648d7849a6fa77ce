// Writes a printed page as a one-page PDF document: each kept picture once,
// at its own pixel size, as an image (indexed when it has at most 256
// colours, deflated) placed by a scaling matrix and drawn without smoothing,
// so that a printer reproduces it exactly as the whole-number stretch of its
// pixels.
//
// The document is written here rather than through a drawing library: the
// page is one image, and a plain page without transparency groups is what
// the printing filters pass on as it is (a page group makes them flatten
// the page into a raster at the printer's resolution).
#pragma once

#include <cstdint>
#include <vector>

#include "platform/gdi/print_dc.h"

// The paper and where the page's device pixels lie on it.
struct TPdf_Page_Geometry {
  // The sheet in points (1/72 inch), as it lies (landscape already turned).
  double width_pt = 612;
  double height_pt = 792;
  // Device pixel (0, 0): the top-left corner of the printable area, in
  // points from the sheet's top-left corner.
  double origin_x_pt = 0;
  double origin_y_pt = 0;
  // Device pixels per inch.
  int dpi_x = 300;
  int dpi_y = 300;
};

class TPdf_Page_Writer {
 public:
  // The document; empty when the geometry makes no page.
  static std::vector<uint8_t> Write(const TPdf_Page_Geometry& geometry, const std::vector<TPage_Picture>& pictures);
};
