#include "game/shape_camera.h"

#include "platform/gdi/raster_op.h"
#include "toolkit/gui_bitmaps.h"
#include "toolkit/gui_sizes.h"

namespace {

constexpr GUI_Picture_Id Camera_Picture = 24;
constexpr GUI_Picture_Id Flash_Picture = 26;

// A picture of the cache at size, copied out; a blank one when the cache
// cannot draw it.
std::unique_ptr<TBitmap> Cached_Copy(GUI_Picture_Id id, TSize size) {
  if (The_GUI_Bitmaps) {
    The_GUI_Bitmaps->Get(id, size);
    if (const TBitmap* picture = The_GUI_Bitmaps->Pictures[size_t(id)].get())
      return std::make_unique<TBitmap>(*picture);
  }
  return std::make_unique<TBitmap>(size.cx, size.cy);
}

}  // namespace

std::unique_ptr<TBitmap> Masked_Sprite(const TBitmap& picture, const TBitmap& mask) {
  auto sprite = std::make_unique<TBitmap>(picture.Width(), picture.Height());
  TMemoryDC out(*sprite);
  TMemoryDC in_mask(mask);
  TMemoryDC in_picture(picture);
  const TRect all(0, 0, picture.Width(), picture.Height());
  out.BitBlt(all, in_mask, TPoint(0, 0), NOTSRCCOPY);
  out.BitBlt(all, in_picture, TPoint(0, 0), SRCAND);
  return sprite;
}

Shape_Camera::Shape_Camera(const TDC& dc) {
  const TSize size = The_GUI_Sizes ? TSize((*The_GUI_Sizes)[17], (*The_GUI_Sizes)[18]) : TSize(64, 56);
  Rect = TRect(0, 0, size.cx, size.cy);
  const auto normal = Cached_Copy(Camera_Picture, size);
  const auto flashing = Cached_Copy(Flash_Picture, size);
  Mask = std::make_unique<TBitmap>(size.cx, size.cy);
  GUI_Bitmaps::Blit_Two_Color(dc, *normal, *Mask, Key_Color);
  Normal_Picture = Masked_Sprite(*normal, *Mask);
  Flashing_Picture = Masked_Sprite(*flashing, *Mask);
  if (The_GUI_Bitmaps) {
    The_GUI_Bitmaps->Drop(Camera_Picture);
    The_GUI_Bitmaps->Drop(Flash_Picture);
  }
}

void Shape_Camera::Draw(TDC& dc, const TRect& rect, bool flash) const {
  TMemoryDC mask(*Mask);
  TMemoryDC picture(flash ? *Flashing_Picture : *Normal_Picture);
  dc.BitBlt(rect, mask, TPoint(0, 0), SRCAND);
  dc.BitBlt(rect, picture, TPoint(0, 0), SRCPAINT);
}
