#include "workspace/eraser.h"

#include "model/gui_colors.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/brush.h"
#include "platform/gdi/memory_dc.h"
#include "toolkit/gui_bitmaps.h"
#include "toolkit/gui_sizes.h"
#include "toolkit/mouse.h"
#include "toolkit/tip_window.h"

Eraser* The_Eraser = nullptr;

namespace {

constexpr int Clean_Picture = 29, Smudge_1 = 30, Smudge_0 = 31;

struct Palette_DC : TMemoryDC {
  explicit Palette_DC(const TBitmap& bitmap) : TMemoryDC(bitmap) {
    SelectObject(*The_GUI_Colors->Palette);
    RealizePalette();
  }
};

}  // namespace

Eraser_Client::~Eraser_Client() {
  if (The_Eraser) The_Eraser->Detach_Client(this);
}

Eraser::Eraser(TWindow* parent, const TRect& rect) : TWindow(parent, "Eraser Window") {
  Attr.Style = WS_CHILD | WS_VISIBLE;
  Attr.Id = Window_Id;
  Attr.Set_Rect(rect);
  Rect = TRect(0, 0, rect.Width(), rect.Height());
  const int k = (*The_GUI_Sizes)[29];
  const int dx = Rect.Width() / 8 - k, dy = Rect.Height() / 8 - k;
  Shape_Region = TRegion(Rect) & TRegion::Ellipse(Rect.Inflated_By(dx, dy));
  The_Eraser = this;
}

Eraser::~Eraser() {
  if (The_Eraser == this) The_Eraser = nullptr;
}

void Eraser::SetupWindow() {
  TWindow::SetupWindow();
  SetWindowRgn(&Shape_Region, false);
  for (int id : {Clean_Picture, Smudge_1, Smudge_0}) The_GUI_Bitmaps->Get(id, Rect.Size());
}

bool Eraser::EvEraseBkgnd(TDC&) { return true; }

void Eraser::Paint(TDC& dc, bool, TRect&) {
  dc.SelectObject(*The_GUI_Colors->Palette);
  dc.RealizePalette();
  const TBitmap* clean = The_GUI_Bitmaps->Pictures[Clean_Picture].get();
  if (!clean) return;
  if (Shown_Color == TColor::No_Color) {
    TMemoryDC source(*clean);
    dc.BitBlt(Rect, source, TPoint(0, 0));
    return;
  }
  const TBitmap* mask = The_GUI_Bitmaps->Pictures[Smudge_Variant == 1 ? Smudge_1 : Smudge_0].get();
  if (!mask) return;
  const TRect whole(0, 0, mask->Width(), mask->Height());
  // A: the colour where the mask is black, black elsewhere.
  TBitmap a(dc, mask->Width(), mask->Height());
  Palette_DC a_dc(a);
  TMemoryDC mask_dc(*mask);
  a_dc.BitBlt(whole, mask_dc, TPoint(0, 0), NOTSRCCOPY);
  a_dc.SelectStockObject(NULL_PEN);
  a_dc.SelectObject(TBrush(Shown_Color));
  a_dc.SetROP2(R2_MASKPEN);
  a_dc.Rectangle(Rect.Inflated_By(1, 1));
  // B: the clean rubber with the smudge put in.
  TBitmap b(dc, clean->Width(), clean->Height());
  Palette_DC b_dc(b);
  TMemoryDC clean_dc(*clean);
  b_dc.BitBlt(whole, clean_dc, TPoint(0, 0));
  b_dc.BitBlt(whole, mask_dc, TPoint(0, 0), SRCAND);
  b_dc.BitBlt(whole, a_dc, TPoint(0, 0), SRCPAINT);
  dc.BitBlt(Rect, b_dc, TPoint(0, 0));
}

void Eraser::Show_Clean() {
  if (Shown_Color == TColor::No_Color) return;
  Shown_Color = TColor::No_Color;
  Invalidate(false);
}

void Eraser::EvLButtonDown(UINT, const TPoint& point) {
  if (!Rect.Contains(point)) return;
  if (!The_Mouse->Holds(this)) The_Mouse->Capture(this);
  if (The_Tip_Window) The_Tip_Window->Press_Item(Tip);
  if (!Client) {
    Show_Clean();
    return;
  }
  const TColor old = Pending_Color;
  Pending_Color = TColor::No_Color;
  Busy = true;
  Eraser_Client* client = Client;
  const bool erased = client->Erase();
  Busy = false;
  if (!erased) {
    Show_Clean();
    return;
  }
  if (old == Shown_Color) Smudge_Variant ^= 1;
  Shown_Color = old;
  Invalidate(false);
}

void Eraser::EvMouseMove(UINT, const TPoint& point) {
  const bool inside = Rect.Contains(point) && Shape_Region.Contains(point);
  const bool holding = The_Mouse->Holds(this);
  if (inside && !holding) {
    The_Mouse->Capture(this);
    if (The_Tip_Window) The_Tip_Window->Enter_Item(Tip);
  } else if (!inside && holding) {
    The_Mouse->Release(this);
    if (The_Tip_Window) The_Tip_Window->Leave_Item(Tip);
  }
}

void Eraser::Attach(Eraser_Client* client, TColor color) {
  Client = client;
  Pending_Color = color;
}

void Eraser::Detach_Client(const Eraser_Client* client) {
  if (client != Client || !client) return;
  Client = nullptr;
  if (!Busy) Show_Clean();
}
