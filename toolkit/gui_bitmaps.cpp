#include "toolkit/gui_bitmaps.h"

#include <vector>

#include "model/gui_colors.h"
#include "platform/gdi/dib_dc.h"
#include "platform/gdi/dibitmap.h"
#include "platform/system/resource.h"
#include "toolkit/drawn_pictures.h"
#include "toolkit/small_utilities.h"

GUI_Bitmaps* The_GUI_Bitmaps = nullptr;

namespace {

const TPalette& Scheme_Palette() { return *The_GUI_Colors->Palette; }

// The palette index a colour value compares as.
uint8_t Index_Of(TColor colour) {
  const TPalette& palette = Scheme_Palette();
  return uint8_t(palette.GetNearestPaletteIndex(Palette_Color_To_RGB(colour, palette)));
}

// An 8-bit copy of a picture whose bytes are palette indices, rows stride
// bytes apart with the bottom row first; Copy_Back writes it into a bitmap.
class Working_Copy {
 public:
  Working_Copy(const TDC& dc, const TBitmap& picture)
      : width_(picture.Width()), height_(picture.Height()),
        dib_((width_ + 3) / 4 * 4, height_ < 1 ? 1 : height_, 8), dc_(dib_) {
    if (!The_GUI_Colors->Is_Palette_Device) Palette_To_DIB_Colors(dib_, Scheme_Palette());
    dc_.SelectObject(Scheme_Palette());
    TMemoryDC source(dc);
    source.SelectObject(picture);
    source.SelectObject(Scheme_Palette());
    dc_.BitBlt(TRect(0, 0, width_, height_), source, TPoint(0, 0), SRCCOPY);
  }

  uint8_t* Bits() { return dib_.GetBits(); }
  size_t Byte_Count() const { return size_t(dib_.Pitch()) * size_t(dib_.Height()); }
  long Stride() const { return dib_.Pitch(); }
  int Width() const { return width_; }
  int Height() const { return height_; }

  void Copy_Back(const TDC& dc, TBitmap& target) {
    TMemoryDC out(dc);
    out.SelectObject(target);
    out.SelectObject(Scheme_Palette());
    out.BitBlt(TRect(0, 0, width_, height_), dc_, TPoint(0, 0), SRCCOPY);
  }

 private:
  int width_, height_;
  TDiBitmap dib_;
  TDibDC dc_;
};

}  // namespace

GUI_Bitmaps::GUI_Bitmaps() {
  The_GUI_Bitmaps = this;
  Pictures[3] = Load_Resource_Bitmap(4108);
  Pictures[4] = Load_Resource_Bitmap(4109);
  Pictures[5] = Load_Resource_Bitmap(4110);
  Pictures[6] = Load_Resource_Bitmap(4111);
  Pictures[36] = Load_Resource_Bitmap(4126);
}

GUI_Bitmaps::~GUI_Bitmaps() {
  if (The_GUI_Bitmaps == this) The_GUI_Bitmaps = nullptr;
}

std::unique_ptr<TMemoryDC> GUI_Bitmaps::Screen_Reference() {
  auto dc = std::make_unique<TMemoryDC>();
  dc->SelectObject(TBitmap(1, 1));
  return dc;
}

bool GUI_Bitmaps::Get(GUI_Picture_Id id, TSize size) {
  if (id < 0 || id >= Picture_Count) return false;
  std::unique_ptr<TBitmap>& slot = Pictures[size_t(id)];
  if (slot) return false;
  const auto screen = Screen_Reference();
  const TDC& dc = *screen;
  switch (id) {
    case 1: slot = std::make_unique<Fill_Crayon>(dc, size); break;
    case 2: slot = std::make_unique<Fill_Mask>(dc, size); break;
    case 7: slot = std::make_unique<Construction_Sign>(dc, size); break;
    case 8: slot = std::make_unique<Iterate_Button>(dc, size); break;
    case 9: slot = std::make_unique<Stop_Iterate_Button>(dc, size); break;
    case 10: slot = std::make_unique<Review_Button>(dc, size); break;
    case 11: slot = std::make_unique<Clear_Button>(dc, size); break;
    case 12: slot = std::make_unique<Undo_Button>(dc, size); break;
    case 13: slot = std::make_unique<Forward_Button>(dc, size); break;
    case 14: slot = std::make_unique<Reverse_Button>(dc, size); break;
    case 15: slot = std::make_unique<Add_Button>(dc, size); break;
    case 16: slot = std::make_unique<Remove_Button>(dc, size); break;
    case 17: slot = std::make_unique<OK_Corner_Button>(dc, size); break;
    case 18: slot = std::make_unique<Cancel_Corner_Button>(dc, size); break;
    case 19: slot = std::make_unique<OK_Button>(dc, size); break;
    case 20: slot = std::make_unique<Cancel_Button>(dc, size); break;
    case 21: slot = std::make_unique<Help_Button>(dc, size); break;
    case 22: slot = std::make_unique<Level_Button>(dc, size, nullptr, 0); break;
    case 23: slot = std::make_unique<Album>(dc, size); break;
    case 24: slot = std::make_unique<Camera>(dc, size); break;
    case 25: slot = std::make_unique<Camera_Case>(dc, size); break;
    case 26: slot = std::make_unique<Camera_Flashing>(dc, size); break;
    case 27: slot = std::make_unique<Gallery>(dc, size); break;
    case 28: slot = std::make_unique<Challenge>(dc, size); break;
    case 29: slot = std::make_unique<Clean_Eraser>(dc, size); break;
    case 30: slot = std::make_unique<Eraser_Smudge>(dc, size, 1); break;
    case 31: slot = std::make_unique<Eraser_Smudge>(dc, size, 2); break;
    case 35: slot = std::make_unique<Curtain>(dc, size); break;
    default: break;
  }
  return slot != nullptr;
}

bool GUI_Bitmaps::Get_Text_Picture(TSize size, const char* label, int32_t level) {
  if (Pictures[22]) return false;
  const auto screen = Screen_Reference();
  Pictures[22] = std::make_unique<Level_Button>(*screen, size, label, level);
  return true;
}

void GUI_Bitmaps::Drop(GUI_Picture_Id id) {
  if (id >= 0 && id < Picture_Count) Pictures[size_t(id)].reset();
}

std::unique_ptr<TBitmap> GUI_Bitmaps::Load_Resource_Bitmap(uint32_t id) {
  const std::optional<TBmp_Image> image = Load_Bitmap_Resource(id);
  if (!image || image->width <= 0 || image->height <= 0) return nullptr;
  const int w = image->width, h = image->height;
  const uint32_t stride = image->Stride();
  auto colour_of = [&](int x, int y) -> uint32_t {  // y from the top
    const uint8_t* row = image->bits.data() + size_t(h - 1 - y) * stride;
    int index = 0;
    switch (image->bits_per_pixel) {
      case 1: index = row[x / 8] >> (7 - x % 8) & 1; break;
      case 4: index = row[x / 2] >> (x % 2 ? 0 : 4) & 15; break;
      default: index = row[x]; break;
    }
    return size_t(index) < image->colors.size() ? image->colors[size_t(index)].Xrgb() : 0;
  };
  if (image->bits_per_pixel == 1) {
    // Top row first, rows rounded up to 16 bits; a bit is 1 where the
    // colour is white.
    const int row_bytes = (w + 15) / 16 * 2;
    std::vector<uint8_t> bits(size_t(row_bytes) * size_t(h), 0);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        if (colour_of(x, y) == 0xFFFFFF) bits[size_t(y) * row_bytes + x / 8] |= uint8_t(0x80 >> (x % 8));
    return std::make_unique<TBitmap>(w, h, 1, 1, bits.data());
  }
  auto bitmap = std::make_unique<TBitmap>(w, h);
  TSurface& surface = *bitmap->Surface();
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) surface.Row32(y)[x] = colour_of(x, y);
  return bitmap;
}

std::unique_ptr<TBitmap> GUI_Bitmaps::Make_Disabled_Picture(const TDC& dc, const TBitmap& picture) {
  Working_Copy work(dc, picture);
  const uint8_t face = Index_Of(The_GUI_Colors->Scheme[0]);
  const uint8_t shadow = Index_Of(The_GUI_Colors->Scheme[2]);
  const uint8_t highlight = Index_Of(The_GUI_Colors->Scheme[4]);
  uint8_t* bits = work.Bits();
  const size_t count = work.Byte_Count();
  for (size_t i = 0; i < count; ++i)
    if (bits[i] != face) bits[i] = shadow;
  const long stride = work.Stride();
  // Rows in storage order (bottom first): the row above on the screen is
  // r + 1, which this pass has not changed yet.
  for (int r = 0; r + 1 < work.Height(); ++r) {
    uint8_t* row = bits + r * stride;
    const uint8_t* above = row + stride;
    for (int x = work.Width() - 1; x >= 1; --x)
      if (row[x] == face && above[x - 1] == shadow) row[x] = highlight;
  }
  auto result = std::make_unique<TBitmap>(dc, work.Width(), work.Height());
  work.Copy_Back(dc, *result);
  return result;
}

void GUI_Bitmaps::Blit_Two_Color(const TDC& dc, const TBitmap& source, TBitmap& destination, TColor key) {
  Working_Copy work(dc, source);
  const uint8_t k = Index_Of(key);
  const uint8_t white = Index_Of(TColor::White);
  const uint8_t black = Index_Of(TColor::Black);
  uint8_t* bits = work.Bits();
  const size_t count = work.Byte_Count();
  for (size_t i = 0; i < count; ++i) bits[i] = bits[i] == k ? white : black;
  work.Copy_Back(dc, destination);
}

void GUI_Bitmaps::Blit_Recolor(const TDC& dc, TBitmap& picture, TColor from, TColor to) {
  Working_Copy work(dc, picture);
  const uint8_t a = Index_Of(from);
  const uint8_t b = Index_Of(to);
  uint8_t* bits = work.Bits();
  const size_t count = work.Byte_Count();
  for (size_t i = 0; i < count; ++i)
    if (bits[i] == a) bits[i] = b;
  work.Copy_Back(dc, picture);
}

std::unique_ptr<TBitmap> GUI_Bitmaps::Make_Checker_Bitmap(const TDC& dc, TColor a, TColor b) {
  auto bitmap = std::make_unique<TBitmap>(dc, 8, 8);
  TMemoryDC memory(dc);
  memory.SelectObject(*bitmap);
  memory.SelectObject(Scheme_Palette());
  memory.RealizePalette();
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) memory.SetPixel(x, y, (x + y) % 2 ? a : b);
  return bitmap;
}
