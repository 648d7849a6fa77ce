#include "workspace/fill_pointer.h"

#include "model/gui_colors.h"
#include "platform/gdi/brush.h"
#include "platform/window/user.h"
#include "toolkit/gui_bitmaps.h"
#include "toolkit/gui_sizes.h"

Fill_Pointer* The_Fill_Pointer = nullptr;

namespace {

constexpr int Crayon_Picture = 1, Mask_Picture = 2;

// A picture from the store at the sprite's size. The store keeps a picture
// at the size first asked for, so one made at another size is scaled.
std::unique_ptr<TBitmap> Take_Picture(int id, TSize size) {
  The_GUI_Bitmaps->Get(id, size);
  const TBitmap* stored = The_GUI_Bitmaps->Pictures[size_t(id)].get();
  auto copy = std::make_unique<TBitmap>(size.cx, size.cy);
  if (!stored) return copy;
  TMemoryDC source(*stored), target(*copy);
  target.SetStretchBltMode(BLACKONWHITE);
  target.StretchBlt(TRect(TPoint(0, 0), size), source, TRect(0, 0, stored->Width(), stored->Height()));
  return copy;
}

}  // namespace

Fill_Pointer::Fill_Pointer() {
  const int s = (*The_GUI_Sizes)[9];
  Frame = TRect(0, 0, s, s);
  Crayon = Take_Picture(Crayon_Picture, Frame.Size());
  Mask = Take_Picture(Mask_Picture, Frame.Size());
  Memory_DC = std::make_unique<TMemoryDC>();
  Outline_Layer = std::make_unique<TBitmap>(s, s);
  Image = std::make_unique<TBitmap>(s, s);
  The_Fill_Pointer = this;
  Set_Color(Color, The_GUI_Colors ? The_GUI_Colors->Palette.get() : nullptr);
  Palette = nullptr;
}

Fill_Pointer::~Fill_Pointer() {
  if (Shown()) Hide();
  if (The_Fill_Pointer == this) The_Fill_Pointer = nullptr;
}

void Fill_Pointer::Set_Color(TColor color, const TPalette* palette) {
  Color = color;
  Palette = palette;
  TMemoryDC crayon(*Crayon), mask(*Mask);
  if (palette) Memory_DC->SelectObject(*palette);
  // What stands out on the colour: through the palette, so an index colour
  // is judged by what it shows.
  const TColor rgb = palette ? Palette_Color_To_RGB(color, *palette) : color;
  const TColor contrast = The_GUI_Colors ? The_GUI_Colors->Contrast_Color(rgb) : TColor::White;
  const TRect cover = Frame.Inflated_By(1, 1);
  Memory_DC->SelectStockObject(NULL_PEN);
  Memory_DC->SetROP2(R2_MASKPEN);
  // The contrast colour where the crayon is black, black elsewhere.
  Memory_DC->SelectObject(*Outline_Layer);
  Memory_DC->BitBlt(Frame, crayon, TPoint(0, 0), NOTSRCCOPY);
  Memory_DC->SelectObject(TBrush(contrast));
  Memory_DC->Rectangle(cover);
  // The colour inside the crayon, the contrast on its outline, black
  // outside the sprite.
  Memory_DC->SelectObject(*Image);
  Memory_DC->BitBlt(Frame, mask, TPoint(0, 0), NOTSRCCOPY);
  Memory_DC->SelectObject(TBrush(color));
  Memory_DC->Rectangle(cover);
  Memory_DC->BitBlt(Frame, crayon, TPoint(0, 0), SRCAND);
  TMemoryDC outline(*Outline_Layer);
  Memory_DC->BitBlt(Frame, outline, TPoint(0, 0), SRCPAINT);
  Memory_DC->SetROP2(R2_COPYPEN);
  Memory_DC->RestoreBitmap();
  if (Shown()) Move_To_Cursor();
}

void Fill_Pointer::Draw(TDC& dc, const TRect& rect) {
  TMemoryDC mask(*Mask), image(*Image);
  dc.BitBlt(rect, mask, TPoint(0, 0), SRCAND);
  dc.BitBlt(rect, image, TPoint(0, 0), SRCPAINT);
}

TRect Fill_Pointer::Place_For(TPoint cursor) const {
  const int s = Frame.Width();
  return TRect(cursor.x, cursor.y - s, cursor.x + s, cursor.y);
}

void Fill_Pointer::Show_At_Cursor() {
  if (Shown()) return;
  TPoint p;
  GetCursorPos(p);
  Screen_DC = std::make_unique<TScreenDC>();
  if (Palette) {
    Screen_DC->SelectObject(*Palette);
    Screen_DC->RealizePalette();
  }
  Show(*Screen_DC, Place_For(p));
}

void Fill_Pointer::Hide() {
  if (!Shown()) return;
  Mobile_Object::Hide(false);
  Screen_DC.reset();
}

void Fill_Pointer::Move_To_Cursor() {
  if (!Shown()) return;
  TPoint p;
  GetCursorPos(p);
  Move(Place_For(p));
}

const TCursor* Fill_Pointer::Cursor() {
  // 32 x 32 masks, rows of 4 bytes: a black dot with a white rim at the
  // hot spot, see-through elsewhere.
  static const TCursor* cursor = [] {
    uint8_t and_bits[32 * 4], xor_bits[32 * 4] = {};
    for (uint8_t& b : and_bits) b = 0xFF;
    for (int y = 0; y < 3; ++y) {
      and_bits[y * 4] = 0x1F;  // pixels 0..2 opaque
      xor_bits[y * 4] = y == 1 ? 0xA0 : 0xE0;  // white rim, black centre
    }
    return new TCursor(TPoint(1, 1), 32, 32, and_bits, xor_bits);
  }();
  return cursor;
}
