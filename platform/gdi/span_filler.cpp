#include "platform/gdi/span_filler.h"

#include <algorithm>
#include <cstring>

uint32_t TSpan_Filler::Value_Mask(int bits_per_pixel) {
  return bits_per_pixel >= 32 ? 0xFFFFFFu : (1u << bits_per_pixel) - 1;
}

TSpan_Filler::TSpan_Filler(TSurface& surface, const TClip_Bands& clip, const TFill_Pattern& pattern)
    : surface_(surface), clip_(clip), pattern_(pattern), clip_is_rect_(clip.Is_Rect()) {
  if (clip.IsEmpty() || surface.Size_Bytes() == 0) return;
  const int bits = surface.Bits_Per_Pixel();
  const uint32_t value_mask = Value_Mask(bits);
  if (pattern.solid) {
    const TFill_Masks& m = pattern.masks[0];
    if (m.and_mask == value_mask && m.xor_mask == 0) return;  // leaves every pixel alone
    const bool set = m.and_mask == 0;
    if (bits == 32) kernel_ = set ? Set32 : Mix32;
    else if (bits == 8) kernel_ = set ? Set8 : Mix8;
    else kernel_ = bits == 4 ? Packed<4> : Packed<1>;
  } else {
    kernel_ = bits == 32 ? Tile32 : bits == 8 ? Tile8 : bits == 4 ? Packed<4> : Packed<1>;
  }
}

void TSpan_Filler::Fill(int y, int x0, int x1) const {
  if (!kernel_) return;
  if (clip_is_rect_) {
    const TRect& b = clip_.Bounds();
    if (y < b.top || y >= b.bottom) return;
    x0 = std::max(x0, b.left);
    x1 = std::min(x1, b.right);
    if (x0 < x1) kernel_(*this, y, x0, x1);
    return;
  }
  clip_.Clip_Span(y, x0, x1, [this](int yy, int a, int b) { kernel_(*this, yy, a, b); });
}

void TSpan_Filler::Fill_Rect(const TRect& rect) const {
  if (!kernel_) return;
  clip_.Clip_Rect(rect, [this](const TRect& part) {
    for (int y = part.top; y < part.bottom; ++y) kernel_(*this, y, part.left, part.right);
  });
}

void TSpan_Filler::Set32(const TSpan_Filler& f, int y, int x0, int x1) {
  uint32_t* row = f.surface_.Row32(y);
  std::fill(row + x0, row + x1, f.pattern_.masks[0].xor_mask);
}

void TSpan_Filler::Mix32(const TSpan_Filler& f, int y, int x0, int x1) {
  uint32_t* row = f.surface_.Row32(y);
  const uint32_t a = f.pattern_.masks[0].and_mask, x = f.pattern_.masks[0].xor_mask;
  for (int i = x0; i < x1; ++i) row[i] = (row[i] & a) ^ x;
}

void TSpan_Filler::Tile32(const TSpan_Filler& f, int y, int x0, int x1) {
  uint32_t* row = f.surface_.Row32(y);
  const TFill_Masks* tile = f.pattern_.masks + ((y - f.pattern_.origin_y) & 7) * 8;
  for (int i = x0; i < x1; ++i) {
    const TFill_Masks& m = tile[(i - f.pattern_.origin_x) & 7];
    row[i] = (row[i] & m.and_mask) ^ m.xor_mask;
  }
}

void TSpan_Filler::Set8(const TSpan_Filler& f, int y, int x0, int x1) {
  std::memset(f.surface_.Row(y) + x0, int(f.pattern_.masks[0].xor_mask), size_t(x1 - x0));
}

void TSpan_Filler::Mix8(const TSpan_Filler& f, int y, int x0, int x1) {
  uint8_t* row = f.surface_.Row(y);
  const uint8_t a = uint8_t(f.pattern_.masks[0].and_mask), x = uint8_t(f.pattern_.masks[0].xor_mask);
  for (int i = x0; i < x1; ++i) row[i] = uint8_t((row[i] & a) ^ x);
}

void TSpan_Filler::Tile8(const TSpan_Filler& f, int y, int x0, int x1) {
  uint8_t* row = f.surface_.Row(y);
  const TFill_Masks* tile = f.pattern_.masks + ((y - f.pattern_.origin_y) & 7) * 8;
  for (int i = x0; i < x1; ++i) {
    const TFill_Masks& m = tile[(i - f.pattern_.origin_x) & 7];
    row[i] = uint8_t((row[i] & m.and_mask) ^ m.xor_mask);
  }
}

// 1 and 4 bits per pixel (masks and small pictures): pixel by pixel within
// the bytes, one instance per depth.
template <int Bits>
void TSpan_Filler::Packed(const TSpan_Filler& f, int y, int x0, int x1) {
  constexpr int per_byte = 8 / Bits;
  constexpr unsigned value_mask = (1u << Bits) - 1;
  const TFill_Pattern& p = f.pattern_;
  const TFill_Masks* tile = p.masks + (p.solid ? 0 : ((y - p.origin_y) & 7) * 8);
  uint8_t* row = f.surface_.Row(y);
  for (int i = x0; i < x1; ++i) {
    const TFill_Masks& m = p.solid ? tile[0] : tile[(i - p.origin_x) & 7];
    uint8_t& byte = row[i / per_byte];
    const int shift = 8 - Bits * (i % per_byte + 1);
    const unsigned d = (byte >> shift) & value_mask;
    const unsigned r = ((d & m.and_mask) ^ m.xor_mask) & value_mask;
    byte = uint8_t((byte & ~(value_mask << shift)) | r << shift);
  }
}
