#include "model/shape_drawing.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "model/dib_allocator.h"
#include "model/gui_colors.h"
#include "model/picture_run_code.h"
#include "platform/gdi/flood_fill.h"

Shape_Drawing::Shape_Drawing(int32_t width, int32_t height, TPalette* palette, TColor background)
    : Rect(0, 0, width, height), Palette(palette) {
  Bitmap = The_DIB_Allocator->Get(width, height);
  Owns_Bitmap = true;
  Set_Background(background);
  Blank = true;
  Fill_Pixels(Background_Index());
}

Shape_Drawing::Shape_Drawing(TSize size, TDiBitmap* bitmap, TColor background)
    : Rect(0, 0, size.cx, size.cy) {
  if (bitmap) {
    Bitmap = bitmap;
  } else {
    Bitmap = The_DIB_Allocator->Get(size.cx, size.cy);
    Owns_Bitmap = true;
  }
  Set_Background(background);
}

Shape_Drawing::Shape_Drawing(const Shape_Drawing& source, bool unpack)
    : Rect(source.Rect), Background(source.Background), Outline_Color(source.Outline_Color),
      Blank(source.Blank) {
  Take_Palette_Of(source);
  const bool source_has_pixels = source.Bitmap && !source.Bitmap_Stale;
  if (source.Packed) {
    if (unpack) {
      Bitmap = The_DIB_Allocator->Get(source.Rect.Width(), source.Rect.Height());
      Owns_Bitmap = true;
      const uint32_t n = Buffer_Size();
      if (source.Packed_Size == n)
        std::memcpy(Bitmap->GetBits(), source.Packed.get(), n);
      else
        Decode_Run_Code(source.Packed.get(), source.Packed_Size, Bitmap->GetBits(), n);
    } else {
      Packed = std::make_unique<uint8_t[]>(source.Packed_Size);
      std::memcpy(Packed.get(), source.Packed.get(), source.Packed_Size);
      Packed_Size = source.Packed_Size;
    }
  } else if (source_has_pixels) {
    Bitmap = The_DIB_Allocator->Get(source.Bitmap->Width(), source.Bitmap->Height());
    Owns_Bitmap = true;
    std::memcpy(Bitmap->GetBits(), source.Bitmap->GetBits(), source.Buffer_Size());
  }
}

Shape_Drawing::Shape_Drawing(const Shape_Drawing& source, const TRect& rectangle)
    : Rect(rectangle), Background(source.Background), Outline_Color(source.Outline_Color),
      Blank(source.Blank) {
  Take_Palette_Of(source);
  Bitmap = The_DIB_Allocator->Get(rectangle.Width(), rectangle.Height());
  Owns_Bitmap = true;
  Copy_Scaled(const_cast<Shape_Drawing&>(source));
}

Shape_Drawing::~Shape_Drawing() {
  Release_Bitmap();
  if (Owns_Palette) delete Palette;
}

void Shape_Drawing::Take_Palette_Of(const Shape_Drawing& source) {
  if (source.Owns_Palette && source.Palette) {
    Palette = new TPalette(*source.Palette);
    Owns_Palette = true;
  } else {
    Palette = source.Palette;
    Owns_Palette = false;
  }
}

Shape_Drawing& Shape_Drawing::operator=(const Shape_Drawing& source) {
  if (this == &source) return *this;
  Rect = source.Rect;
  Drop_Packed();
  if (source.Packed) {
    Packed = std::make_unique<uint8_t[]>(source.Packed_Size);
    std::memcpy(Packed.get(), source.Packed.get(), source.Packed_Size);
    Packed_Size = source.Packed_Size;
  }
  if (source.Bitmap) {
    if (Bitmap && (Bitmap->Width() != source.Bitmap->Width() || Bitmap->Height() != source.Bitmap->Height()))
      Release_Bitmap();
    if (!Bitmap) {
      Bitmap = The_DIB_Allocator->Get(source.Bitmap->Width(), source.Bitmap->Height());
      Owns_Bitmap = true;
    }
    std::memcpy(Bitmap->GetBits(), source.Bitmap->GetBits(), source.Buffer_Size());
    Bitmap_Stale = source.Bitmap_Stale;
  } else {
    Release_Bitmap();
  }
  if (Owns_Palette) delete Palette;
  Take_Palette_Of(source);
  Background = source.Background;
  Blank = source.Blank;
  Iterated = false;
  return *this;
}

void Shape_Drawing::Release_Bitmap() {
  if (Bitmap && Owns_Bitmap) {
    // A picture that outlives the pool gives its bitmap back to nobody.
    if (The_DIB_Allocator) The_DIB_Allocator->Release(Bitmap);
    else delete Bitmap;
  }
  Bitmap = nullptr;
  Owns_Bitmap = false;
  Bitmap_Stale = false;
}

void Shape_Drawing::Drop_Packed() {
  Packed.reset();
  Packed_Size = 0;
}

void Shape_Drawing::Ensure_Pixels() {
  if (Packed && (!Bitmap || Bitmap_Stale)) Unpack(false, nullptr);
}

uint8_t* Shape_Drawing::Writable_Pixels() {
  Ensure_Pixels();
  Drop_Packed();
  return Bitmap ? Bitmap->GetBits() : nullptr;
}

uint32_t Shape_Drawing::Buffer_Size() const {
  return Bitmap ? uint32_t(Bitmap->Pitch()) * uint32_t(Bitmap->Height()) : 0;
}

Pixel_Buffer Shape_Drawing::View() const {
  // A bitmap handed in by a caller may be smaller than the rectangle: only
  // the pixels it has are worked on.
  return {Bitmap->GetBits(), std::min(Rect.Width(), int32_t(Bitmap->Pitch())),
          std::min(Rect.Height(), int32_t(Bitmap->Height())), int32_t(Bitmap->Pitch())};
}

void Shape_Drawing::Fill_Pixels(uint8_t index) {
  if (Bitmap) std::memset(Bitmap->GetBits(), index, Buffer_Size());
}

const TPalette& Shape_Drawing::Resolving_Palette() const {
  return Palette ? *Palette : *The_GUI_Colors->Palette;
}

uint8_t Shape_Drawing::Index_Of(TColor color) const {
  if (!Bitmap) return 0;
  const TColor rgb = Palette_Color_To_RGB(color, *The_GUI_Colors->Palette);
  // The pixel that painting with the colour gives: the first exact entry,
  // else the nearest.
  const int index = Nearest_Color_Index(Bitmap->GetColors(), Bitmap->NumColors(), rgb.Xrgb());
  return index < 0 ? 0 : uint8_t(index);
}

uint8_t Shape_Drawing::Background_Index() const { return Index_Of(Background); }

void Shape_Drawing::Set_Background(TColor color) {
  Background = color.Is_Rgb() ? color : Palette_Color_To_RGB(color, Resolving_Palette());
}

bool Shape_Drawing::Has_Color(TColor color) {
  Ensure_Pixels();
  if (!Bitmap) return false;
  const uint8_t index = Index_Of(color);
  return std::memchr(Bitmap->GetBits(), index, Buffer_Size()) != nullptr;
}

bool Shape_Drawing::Pixel_Has_Color(TPoint point, TColor color) {
  Ensure_Pixels();
  if (!Bitmap || point.x < 0 || point.y < 0 || point.x >= Bitmap->Width() || point.y >= Bitmap->Height())
    return false;
  const uint8_t pixel = Bitmap->GetBits()[int64_t(Bitmap->Height() - 1 - point.y) * Bitmap->Pitch() + point.x];
  const TColor wanted = color.Is_Rgb() ? color : Palette_Color_To_RGB(color, *The_GUI_Colors->Palette);
  return Bitmap->GetColor(pixel) == wanted;
}

void Shape_Drawing::Fill_At(TPoint point, TColor color) {
  Ensure_Pixels();
  Drop_Packed();
  if (!Bitmap) return;
  const int height = Bitmap->Height();
  const long stride = Bitmap->Pitch();
  uint8_t* bits = Bitmap->GetBits();
  const TPixel_View view{bits + (height - 1) * stride, Bitmap->Width(), height, -stride, 8};
  const TRect whole(0, 0, Bitmap->Width(), height);
  auto pixel_colour = [&](TPoint p) {
    return whole.Contains(p) ? Bitmap->GetColor(bits[(height - 1 - p.y) * stride + p.x]) : TColor(CLR_INVALID);
  };
  // Fills the area of the surface colour's pixels around point with colour,
  // as a surface flood fill does; nothing when the point is not of it.
  auto flood = [&](TColor surface, TColor with) {
    if (surface == TColor(CLR_INVALID)) return;
    const uint8_t surface_index = Index_Of(surface), fill_index = Index_Of(with);
    if (surface_index == fill_index) return;
    std::vector<TRect> spans;
    Flood_Fill(view, point, surface_index, TFlood_Mode::Surface, whole,
               [&](int y, int x0, int x1) { spans.emplace_back(x0, y, x1, y + 1); });
    for (const TRect& s : spans)
      std::memset(bits + (height - 1 - s.top) * stride + s.left, fill_index, s.right - s.left);
  };
  const TColor c0 = pixel_colour(point);
  TColor surface = c0;
  if (Outline_Color != TColor(No_Color)) {
    flood(c0, Outline_Color);
    surface = Outline_Color;
  }
  flood(surface, color);
  if (Outline_Color != TColor(No_Color) && !Has_Color(Outline_Color)) Outline_Color = No_Color;
  const TColor c00 = pixel_colour({0, 0});
  const TColor fill = color.Is_Rgb() ? color : Palette_Color_To_RGB(color, Resolving_Palette());
  if (c0 == Background && c00 == fill) Background = fill;
}

void Shape_Drawing::Clear() {
  if (!Bitmap) {
    Ensure_Pixels();
    if (!Bitmap) {
      Bitmap = The_DIB_Allocator->Get(Rect.Width(), Rect.Height());
      Owns_Bitmap = true;
    }
  }
  Drop_Packed();
  Bitmap_Stale = false;
  Outline_Color = No_Color;
  Fill_Pixels(Background_Index());
  Blank = true;
}

void Shape_Drawing::Replace_Colors(TColor new_background, TColor other) {
  Ensure_Pixels();
  Drop_Packed();
  if (!Bitmap) return;
  const uint8_t bg = Background_Index(), nb = Index_Of(new_background);
  const bool recolour_others = other != TColor(No_Color);
  const uint8_t ot = recolour_others ? Index_Of(other) : 0;
  uint8_t* bits = Bitmap->GetBits();
  for (uint32_t i = 0, n = Buffer_Size(); i < n; ++i) {
    if (bits[i] == bg) bits[i] = nb;
    else if (recolour_others) bits[i] = ot;
  }
  // Held resolved, as every other background of a picture.
  Set_Background(new_background);
}

bool Shape_Drawing::Same_Pixels(Shape_Drawing& other) {
  Ensure_Pixels();
  other.Ensure_Pixels();
  if (!Bitmap || !other.Bitmap) return false;
  if (Bitmap->Width() != other.Bitmap->Width() || Bitmap->Height() != other.Bitmap->Height()) return false;
  return std::memcmp(Bitmap->GetBits(), other.Bitmap->GetBits(), Buffer_Size()) == 0;
}

void Shape_Drawing::Copy_Scaled(Shape_Drawing& source) {
  const int32_t w = Rect.Width(), h = Rect.Height();
  const int32_t sw = source.Rect.Width(), sh = source.Rect.Height();
  if (w > 0 && h > 0) {
    const int32_t k = sw / w, kh = sh / h;
    if (k > 0 && k == kh && w * k == sw && h * k == sh) {
      Shrink_From(source, k);
      return;
    }
  }
  Render_Scaled(source, float(w) / float(sw), float(h) / float(sh));
}

void Shape_Drawing::Shrink_From(Shape_Drawing& source, int32_t k) {
  source.Ensure_Pixels();
  Ensure_Pixels();
  Drop_Packed();
  if (!Bitmap || !source.Bitmap || k <= 0) return;
  const int32_t w = Bitmap->Width(), h = Bitmap->Height();
  const int32_t sw = source.Bitmap->Width(), sh = source.Bitmap->Height();
  const int64_t ss = source.Bitmap->Pitch(), ds = Bitmap->Pitch();
  const uint8_t b = source.Background_Index();
  const int32_t cols = std::min(w, sw / k), rows = std::min(h, sh / k);
  // Also when only rows fall short: the rest must not keep an earlier
  // picture's pixels.
  if (cols < w || rows < h) Fill_Pixels(b);
  std::vector<std::pair<int, int>> order;
  if (k == 2) {
    order = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
  } else if (k == 3) {
    order = {{0, 0}, {1, 0}, {2, 0}, {2, 1}, {1, 1}, {0, 1}, {0, 2}, {1, 2}, {2, 2}};
  } else {
    for (int dy = 0; dy < k && int64_t(dy) * ss < (ss - k) * k; ++dy)
      for (int dx = 0; dx < k; ++dx) order.emplace_back(dx, dy);
  }
  const uint8_t* src = source.Bitmap->GetBits();
  uint8_t* dst = Bitmap->GetBits();
  for (int32_t y = 0; y < rows; ++y) {
    for (int32_t x = 0; x < cols; ++x) {
      const uint8_t* block = src + int64_t(k) * y * ss + int64_t(k) * x;
      uint8_t pick = b;
      for (auto [dx, dy] : order) {
        pick = block[dy * ss + dx];
        if (pick != b) break;
      }
      dst[y * ds + x] = pick;
    }
  }
}
