#include "game/polarized_sparkle.h"

#include <algorithm>

#include "platform/system/resource.h"

TSize Polarized_Sparkle::Mask_Size(int32_t k) { return k & 1 ? TSize{k, k} : TSize{k - 1, k + 1}; }

Polarized_Sparkle::Polarized_Sparkle() {
  for (int32_t k = 3; k <= 15; ++k) {
    const std::optional<TBmp_Image> image = Load_Bitmap_Resource(First_Mask_Resource + uint32_t(k - 3));
    const TSize size = Mask_Size(k);
    // The mask is the first rows stored, the first bytes of each; a picture
    // too small or not of 8 bits is no mask.
    if (!image || image->bits_per_pixel != 8 || image->width < size.cx || image->height < size.cy) continue;
    Mask& mask = Masks[size_t(k)];
    mask.Rect = TRect(-size.cx / 2, -size.cy / 2, -size.cx / 2 + size.cx, -size.cy / 2 + size.cy);
    mask.Bytes.resize(size_t(size.cx) * size_t(size.cy));
    for (int32_t row = 0; row < size.cy; ++row)
      std::copy_n(image->bits.data() + size_t(row) * image->Stride(), size.cx,
                  mask.Bytes.data() + size_t(row) * size_t(size.cx));
  }
}

TRect Polarized_Sparkle::Draw(Pixels& pixels, const Trail_Position& p, int32_t size_offset, uint8_t color) {
  const int32_t size = Size_For(size_offset, p.depth);
  const Mask& mask = Masks[size_t(size < 3 ? 0 : size)];
  if (mask.Bytes.empty()) return Draw_Pixel(pixels, p, color);
  const TRect placed(p.x + mask.Rect.left, p.y + mask.Rect.top, p.x + mask.Rect.right, p.y + mask.Rect.bottom);
  const TRect clipped(std::max(placed.left, 0), std::max(placed.top, 0), std::min(placed.right, pixels.Width),
                      std::min(placed.bottom, pixels.Height));
  if (clipped.left >= clipped.right || clipped.top >= clipped.bottom) return TRect(p.x, p.y, p.x, p.y);
  const int32_t w = placed.Width();
  for (int32_t y = clipped.top; y < clipped.bottom; ++y) {
    const uint8_t* row = mask.Bytes.data() + size_t(y - placed.top) * size_t(w);
    uint8_t* out = &pixels.At(0, y);
    for (int32_t x = clipped.left; x < clipped.right; ++x) {
      const uint8_t m = row[x - placed.left];
      if (m == 0)
        out[x] = color;
      else if (m == 255)
        out[x] = 255;
    }
  }
  return clipped;
}
