#include "game/shape_album.h"

#include <string>

#include "game/shape_camera.h"
#include "model/gui_colors.h"
#include "model/shape_drawing.h"
#include "platform/gdi/font.h"
#include "platform/gdi/raster_op.h"
#include "toolkit/gui_bitmaps.h"
#include "toolkit/gui_sizes.h"

namespace {

constexpr GUI_Picture_Id Album_Picture = 23;
// The photo's own colours and the text's.
constexpr int Photo_Background = 11;
constexpr int Photo_Ink = 1;
constexpr int Text_Color = 1;

TColor Scheme_Color(int index) {
  return The_GUI_Colors ? The_GUI_Colors->Scheme_RGB(index) : TColor::Black;
}

}  // namespace

Shape_Album::Shape_Album(const TDC& dc) {
  const TSize size = The_GUI_Sizes ? TSize((*The_GUI_Sizes)[19], (*The_GUI_Sizes)[20]) : TSize(102, 90);
  const int32_t area = The_GUI_Sizes ? (*The_GUI_Sizes)[10] : 576;
  Rect = TRect(0, 0, size.cx, size.cy);
  std::unique_ptr<TBitmap> album;
  if (The_GUI_Bitmaps) {
    The_GUI_Bitmaps->Get(Album_Picture, size);
    if (const TBitmap* cached = The_GUI_Bitmaps->Pictures[size_t(Album_Picture)].get())
      album = std::make_unique<TBitmap>(*cached);
  }
  if (!album) album = std::make_unique<TBitmap>(size.cx, size.cy);
  Mask = std::make_unique<TBitmap>(size.cx, size.cy);
  GUI_Bitmaps::Blit_Two_Color(dc, *album, *Mask, Key_Color);
  Empty_Album = Masked_Sprite(*album, *Mask);
  Picture = std::make_unique<TBitmap>(*Empty_Album);
  DC = std::make_unique<TMemoryDC>(*Picture);

  const int32_t side = Photo_Side(area);
  const int32_t left = Photo_Left(size.cx, side);
  Photo_Rect = TRect(left, 1, left + side, 1 + side);
  Line_Height = side / 3;
  const TPoint centre((Photo_Rect.left + Photo_Rect.right) / 2, (Photo_Rect.top + Photo_Rect.bottom) / 2);
  for (int i = 0; i < 3; ++i) Text_Anchors[size_t(i)] = TPoint(centre.x, centre.y - Line_Height / 2 + (i - 1) * Line_Height);
}

void Shape_Album::Clear() {
  TMemoryDC empty(*Empty_Album);
  DC->BitBlt(Rect, empty, TPoint(0, 0), SRCCOPY);
}

void Shape_Album::Show_Points(int32_t points) {
  Clear();
  if (The_GUI_Colors && The_GUI_Colors->Palette) DC->SelectObject(*The_GUI_Colors->Palette);
  TFont font("Arial", Line_Height, FW_NORMAL);
  DC->SelectObject(font);
  DC->SetTextAlign(TA_CENTER | TA_TOP);
  DC->SetBkMode(TRANSPARENT);
  DC->SetTextColor(Scheme_Color(Text_Color));
  const std::string number = std::to_string(points);
  DC->TextOut(Text_Anchors[0], "For");
  DC->TextOut(Text_Anchors[1], number);
  DC->TextOut(Text_Anchors[2], "Points");
  DC->RestoreFont();
}

void Shape_Album::Add(Shape_Drawing& picture) {
  picture.Unpack(true, nullptr);
  Shape_Drawing photo(picture, TRect(0, 0, Photo_Rect.Width(), Photo_Rect.Height()));
  if (photo.Background != Scheme_Color(Photo_Background))
    photo.Replace_Colors(Scheme_Color(Photo_Background), Scheme_Color(Photo_Ink));
  if (The_GUI_Colors && The_GUI_Colors->Palette) DC->SelectObject(*The_GUI_Colors->Palette);
  photo.Paint(*DC, Photo_Rect);
}

void Shape_Album::Paint(TDC& dc, const TRect& rect) const {
  TMemoryDC mask(*Mask);
  dc.BitBlt(rect, mask, TPoint(0, 0), SRCAND);
  dc.BitBlt(rect, *DC, TPoint(0, 0), SRCPAINT);
}
