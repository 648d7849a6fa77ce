// A grey sheet on which pictures are laid out in rows, each with a label
// above it, for a person to look at; written, cut to what was laid out, only
// when QUENDAR_SNAPSHOTS names a folder.
#pragma once

#include <algorithm>
#include <string>

#include "platform/gdi/bitmap.h"
#include "platform/gdi/memory_dc.h"
#include "platform/gdi/png_writer.h"
#include "platform/window/window_dc.h"

class Contact_Sheet {
 public:
  Contact_Sheet(int width, int height) : sheet_(width, height), dc_(sheet_) {
    dc_.SelectObject(TBrush(TColor(96, 96, 104)));
    dc_.PatBlt(TRect(0, 0, width, height), PATCOPY);
    dc_.SelectObject(TFont("Arial", 12));
    dc_.SetBkMode(TRANSPARENT);
  }
  void Add(const TBitmap& picture, const std::string& label) {
    if (x_ + picture.Width() + 8 > sheet_.Width()) Next_Row();
    dc_.SetTextColor(TColor::White);
    dc_.TextOut(x_, y_, label);
    dc_.SetTextColor(TColor::Black);  // monochrome pictures: 0 bits black
    TMemoryDC source(static_cast<const TDC&>(dc_));
    source.SelectObject(picture);
    dc_.BitBlt(TRect(x_, y_ + 14, x_ + picture.Width(), y_ + 14 + picture.Height()), source, TPoint(0, 0));
    const int width = std::max(picture.Width(), dc_.GetTextExtent(label).cx);
    used_ = TSize(std::max(used_.cx, x_ + width + 6), std::max(used_.cy, y_ + 20 + picture.Height()));
    x_ += width + 10;
    row_height_ = std::max(row_height_, picture.Height() + 20);
  }
  // A part of the screen.
  void Add_Screen(const TRect& r, const std::string& label) {
    TBitmap copy(r.Width(), r.Height());
    TMemoryDC dc(copy);
    TScreenDC screen;
    dc.BitBlt(TRect(0, 0, r.Width(), r.Height()), screen, r.TopLeft());
    Add(copy, label);
  }
  void Next_Row() {
    x_ = 6;
    y_ += row_height_;
    row_height_ = 0;
  }
  void Save(const std::string& name) {
    const std::string path = Snapshot_Path(name);
    if (path.empty()) return;
    const TSurface& s = *sheet_.Surface();
    Write_PNG_RGB(path, std::clamp(used_.cx, 1, s.Width()), std::clamp(used_.cy, 1, s.Height()), s.Row32(0), long(s.Stride() / 4));
  }

 private:
  TBitmap sheet_;
  TMemoryDC dc_;
  int x_ = 6, y_ = 6, row_height_ = 0;
  TSize used_{0, 0};
};
