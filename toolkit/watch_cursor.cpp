#include "toolkit/watch_cursor.h"

#include <cstdio>

#include "platform/gdi/memory_dc.h"
#include "platform/window/user.h"
#include "toolkit/gui_bitmaps.h"

namespace {

// A monochrome picture's rows, top first, one bit per pixel (1 white).
std::vector<uint8_t> Rows_Of(const TBitmap& picture, int row_bytes) {
  std::vector<uint8_t> rows(size_t(row_bytes) * size_t(picture.Height()), 0);
  const TSurface& s = *picture.Surface();
  for (int y = 0; y < picture.Height(); ++y)
    for (int x = 0; x < picture.Width() && x < row_bytes * 8; ++x)
      if (s.Pixel_Xrgb(x, y) == 0xFFFFFF) rows[size_t(y) * row_bytes + x / 8] |= uint8_t(0x80 >> (x % 8));
  return rows;
}

}  // namespace

Watch_Cursor::Watch_Cursor() {
  const TBitmap* mask = The_GUI_Bitmaps ? The_GUI_Bitmaps->Pictures[6].get() : nullptr;
  const TBitmap* image = The_GUI_Bitmaps ? The_GUI_Bitmaps->Pictures[5].get() : nullptr;
  if (image) Size = image->Size();
  if (mask) Mask_Bits = Rows_Of(*mask, Row_Bytes());
  else Mask_Bits.assign(size_t(Row_Bytes()) * size_t(Size.cy), 0xFF);
  Image_Picture = std::make_unique<TBitmap>(Size.cx, Size.cy, 1, 1, nullptr);
  if (image) {
    TMemoryDC dc(*Image_Picture);
    TMemoryDC source(*image);
    dc.BitBlt(TRect(0, 0, Size.cx, Size.cy), source, TPoint(0, 0), SRCCOPY);
  }
}

Watch_Cursor::~Watch_Cursor() { Stop(); }

std::unique_ptr<TCursor> Watch_Cursor::Build_Frame() {
  {
    TMemoryDC dc(*Image_Picture);
    dc.SelectStockObject(WHITE_BRUSH);
    dc.PatBlt(Counter_Box, PATCOPY);
    char text[8];
    std::snprintf(text, sizeof text, "%02d", int(Counter % 100));
    const int half = Counter_Box.Height() / 2;
    dc.SelectObject(TFont("Arial", 2 * (half + 1), FW_NORMAL));
    dc.SetTextAlign(TA_CENTER | TA_TOP);
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(TColor::Black);
    dc.TextOut(TPoint((Counter_Box.left + Counter_Box.right) / 2, (Counter_Box.top + Counter_Box.bottom) / 2 - (half + 1)),
               text);
  }
  Image_Bits = Rows_Of(*Image_Picture, Row_Bytes());
  return std::make_unique<TCursor>(Hot_Spot, Size.cx, Size.cy, Mask_Bits.data(), Image_Bits.data());
}

void Watch_Cursor::Start() {
  if (Running()) {
    Counter = -1;
    Next_Frame();
    return;
  }
  Counter = 0;
  Current_Cursor = Build_Frame();
  Previous_Cursor = SetCursor(Current_Cursor.get());
}

void Watch_Cursor::Next_Frame() {
  // A late step after Stop finds no frame to draw on.
  if (!Running()) return;
  Counter = Counter + 1 == 60 ? 0 : Counter + 1;
  std::unique_ptr<TCursor> next = Build_Frame();
  SetCursor(next.get());
  Current_Cursor = std::move(next);
}

void Watch_Cursor::Stop() {
  if (!Running()) return;
  SetCursor(Previous_Cursor);
  Current_Cursor.reset();
  Image_Bits.clear();
  Previous_Cursor = nullptr;
}
