// A printer device context. It reports the page's printable size and
// resolution, and bitmap capability without banding.
//
// Two kinds:
// - a raster page: a 32-bit bitmap of the printable area at the printer's
//   resolution, drawn like any memory context;
// - a kept page (what print jobs use): pictures stretched onto it are kept
//   whole, each with its place in device pixels, so the page description
//   that goes to the printer holds every picture once at its own pixel size
//   instead of a raster of the stretched page. Only StretchBlt of pictures
//   is kept; other drawing on a kept page lands nowhere.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/gdi/bitmap.h"
#include "platform/gdi/dc.h"

// A picture kept on a page, top row first, and the device-pixel rectangle it
// covers: an 8-bit picture as its indices and colour table, any other as
// 0x00RRGGBB pixels.
struct TPage_Picture {
  TRect placement;
  int width = 0;
  int height = 0;
  std::vector<uint8_t> indices;
  std::vector<uint32_t> colours;  // the table the indices look up
  std::vector<uint32_t> xrgb;     // when there are no indices
  uint32_t Xrgb(int x, int y) const {
    const size_t i = size_t(y) * size_t(width) + size_t(x);
    if (indices.empty()) return xrgb[i];
    return indices[i] < colours.size() ? colours[indices[i]] : 0;
  }
};

class TPrintDC : public TDC {
 public:
  enum class TKind { Raster, Kept };
  // A white raster page of width x height pixels at dots_per_inch.
  TPrintDC(int width, int height, int dots_per_inch);
  // A page of width x height pixels at dpi_x by dpi_y of the given kind.
  TPrintDC(int width, int height, int dpi_x, int dpi_y, TKind kind);

  int GetDeviceCaps(int index) const override;
  // The raster page drawn so far (1 x 1 for a kept page).
  const TBitmap& Page() const { return page_; }
  // The pictures kept so far, in drawing order.
  const std::vector<TPage_Picture>& Pictures() const { return pictures_; }

 protected:
  bool Keep_Stretch(const TRect& dst, const TDC& src, const TRect& src_rect, uint32_t rop) override;

 private:
  TBitmap page_;
  int width_;
  int height_;
  int dpi_x_;
  int dpi_y_;
  TKind kind_;
  std::vector<TPage_Picture> pictures_;
};
