#include "platform/gdi/print_dc.h"

#include <algorithm>

namespace {

int Or_Default(int dpi) { return dpi > 0 ? dpi : 300; }

}  // namespace

TPrintDC::TPrintDC(int width, int height, int dots_per_inch)
    : TPrintDC(width, height, dots_per_inch, dots_per_inch, TKind::Raster) {}

TPrintDC::TPrintDC(int width, int height, int dpi_x, int dpi_y, TKind kind)
    : TDC(std::make_shared<TDevice_Binding>(
          TBitmap(kind == TKind::Raster ? width : 1, kind == TKind::Raster ? height : 1).Surface(), nullptr)),
      page_(Binding()->Surface()),
      width_(width),
      height_(height),
      dpi_x_(Or_Default(dpi_x)),
      dpi_y_(Or_Default(dpi_y)),
      kind_(kind) {
  FillRect(TRect(0, 0, page_.Width(), page_.Height()), TBrush::Stock(WHITE_BRUSH));
}

int TPrintDC::GetDeviceCaps(int index) const {
  switch (index) {
    case HORZRES: return width_;
    case VERTRES: return height_;
    case LOGPIXELSX: return dpi_x_;
    case LOGPIXELSY: return dpi_y_;
    case BITSPIXEL: return 32;
    case NUMCOLORS: return -1;
    case RASTERCAPS: return RC_BITBLT | RC_DI_BITMAP | RC_DIBTODEV | RC_STRETCHBLT | RC_STRETCHDIB;
    case SIZEPALETTE:
    case NUMRESERVED: return 0;
    default: return TDC::GetDeviceCaps(index);
  }
}

bool TPrintDC::Keep_Stretch(const TRect& dst, const TDC& src, const TRect& src_rect, uint32_t rop) {
  if (kind_ != TKind::Kept || rop != SRCCOPY) return false;
  const TSurface* source = src.Binding() ? src.Binding()->Surface().get() : nullptr;
  if (!source) return false;
  // Only the part of the source rectangle that exists is kept; a mirrored
  // or empty request keeps nothing.
  const TRect part(std::max(src_rect.left, 0), std::max(src_rect.top, 0),
                   std::min(src_rect.right, source->Width()), std::min(src_rect.bottom, source->Height()));
  if (part.left >= part.right || part.top >= part.bottom || dst.left >= dst.right || dst.top >= dst.bottom)
    return true;
  TPage_Picture picture;
  picture.placement = dst;
  picture.width = part.Width();
  picture.height = part.Height();
  if (source->Bits_Per_Pixel() == 8) {
    picture.colours = source->Colors();
    picture.indices.reserve(size_t(picture.width) * size_t(picture.height));
    for (int y = part.top; y < part.bottom; ++y) {
      const uint8_t* row = source->Row(y) + part.left;
      picture.indices.insert(picture.indices.end(), row, row + picture.width);
    }
  } else {
    picture.xrgb.reserve(size_t(picture.width) * size_t(picture.height));
    for (int y = part.top; y < part.bottom; ++y)
      for (int x = part.left; x < part.right; ++x) picture.xrgb.push_back(source->Pixel_Xrgb(x, y));
  }
  pictures_.push_back(std::move(picture));
  return true;
}
