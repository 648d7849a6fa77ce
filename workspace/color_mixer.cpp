#include "workspace/color_mixer.h"

#include "model/gui_colors.h"
#include "platform/gdi/brush.h"
#include "platform/gdi/memory_dc.h"
#include "platform/window/cursor.h"
#include "platform/window/user.h"
#include "toolkit/gui_bitmaps.h"
#include "toolkit/gui_metafiles.h"
#include "toolkit/gui_sizes.h"
#include "toolkit/mouse.h"
#include "toolkit/round_border.h"
#include "toolkit/tip_window.h"
#include "workspace/color_wheel.h"
#include "workspace/eraser.h"
#include "workspace/fill_pointer.h"

namespace {

constexpr int Bowl_Slot = 8, Cloth_Slot = 9;

int Size(int index) { return (*The_GUI_Sizes)[index]; }
TColor Scheme(int index) { return The_GUI_Colors->Scheme[size_t(index)]; }
TColor Scheme_Rgb(int index) { return The_GUI_Colors->Scheme_RGB(index); }
TPoint Centre_Of(const TRect& r) { return TPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2); }

uint32_t Average(uint32_t p, uint32_t q) {
  uint32_t mixed = 0;
  for (int shift = 0; shift < 24; shift += 8)
    mixed |= ((((p >> shift) & 0xFF) + ((q >> shift) & 0xFF)) >> 1) << shift;
  return mixed;
}

// The picture's pixel at a point of the area, as RGB without the top byte.
uint32_t Pixel_Of(const TBitmap& picture, TPoint p) {
  TMemoryDC dc(picture);
  return uint32_t(dc.GetPixel(p)) & 0xFFFFFF;
}

}  // namespace

Color_Mixer::Color_Mixer(Color_Wheel* wheel, const TRect& area) : Owner(wheel), Area(area) {
  const int w = area.Width(), h = area.Height();
  const int side = 3 * w / 8;
  Spot = TRect(w / 4, h / 4, w / 4 + side, h / 4 + side);
  Rim = Spot.Inflated_By(Size(25), Size(25));
  Wipe = TRect(area.left, area.bottom - 3 * h / 8, area.left + w / 2, area.bottom);
  Build_Picture();
}

Color_Mixer::~Color_Mixer() {
  if (The_Tip_Window)
    for (const char* tip : {Bowl_Tip, Wipe_Tip}) The_Tip_Window->Forget(tip);
}

void Color_Mixer::Build_Picture() {
  const int w = std::max(Area.Width(), 1), h = std::max(Area.Height(), 1);
  Picture = std::make_unique<TBitmap>(w, h);
  TMemoryDC dc(*Picture);
  dc.SelectObject(*The_GUI_Colors->Palette);
  dc.RealizePalette();
  // The picture's coordinates are the area's, which starts at the origin.
  dc.FillRect(TRect(0, 0, w, h), *The_GUI_Colors->Scheme_Brush_0);

  // The bowl: played again and again a pixel further down and right, its
  // black body filled in three shades from the bottom up.
  const int n = Size(24) - Size(4), k = Size(29);
  TRect r = Area.Offset_By(k, k);
  r.right -= 2 * (n + k);
  r.bottom -= 2 * (n + k) + Wipe.Height() / 3;
  The_GUI_Metafiles->Ensure(Bowl_Slot);
  auto fill_body = [&](int shade) {
    dc.SelectObject(TBrush(Scheme(shade)));
    dc.ExtFloodFill(Centre_Of(r), TColor::Black, FLOODFILLSURFACE);
  };
  for (int i = 0; i < n; ++i) {
    The_GUI_Metafiles->Play(Bowl_Slot, dc, r);
    r = r.Offset_By(1, 1);
  }
  fill_body(5);
  for (int i = 0; i < n; ++i) {
    r = r.Offset_By(1, 1);
    The_GUI_Metafiles->Play(Bowl_Slot, dc, r);
  }
  fill_body(3);
  r = r.Offset_By(-n, -n);
  The_GUI_Metafiles->Play(Bowl_Slot, dc, r);
  The_GUI_Metafiles->Release(Bowl_Slot);
  fill_body(1);

  dc.SelectStockObject(NULL_PEN);
  dc.SelectObject(*The_GUI_Colors->Scheme_Brush_0);
  dc.Ellipse(Spot);
  The_Round_Border->Blit_Clipped(dc, Rim, Size(25), 1);

  The_GUI_Metafiles->Ensure(Cloth_Slot);
  The_GUI_Metafiles->Play(Cloth_Slot, dc, Wipe);
  // The cloth alone, on a colour it does not use, tells its pixels apart.
  Cloth = std::make_unique<TBitmap>(w, h);
  {
    TMemoryDC cloth(*Cloth);
    cloth.FillRect(TRect(0, 0, w, h), TBrush(TColor(255, 0, 255)));
    The_GUI_Metafiles->Play(Cloth_Slot, cloth, Wipe);
  }
  The_GUI_Metafiles->Release(Cloth_Slot);
  dc.RestoreObjects();
  GUI_Bitmaps::Blit_Recolor(dc, *Picture, TColor(255, 255, 0), Scheme(47));
}

void Color_Mixer::Draw(TDC& dc) {
  TMemoryDC source(*Picture);
  dc.BitBlt(Area, source, TPoint(0, 0));
  Draw_Spot(dc);
}

// The spot in the entry colour, or in the background when there is none.
void Color_Mixer::Draw_Spot(TDC& dc) const {
  dc.SelectStockObject(NULL_PEN);
  if (Entry_Color == TColor::No_Color)
    dc.SelectObject(*The_GUI_Colors->Scheme_Brush_0);
  else
    dc.SelectObject(TBrush(Entry_Color));
  dc.Ellipse(Spot);
}

int Color_Mixer::Hit_Test(TPoint point) const {
  if (!Area.Contains(point)) return Nothing;
  if (TRegion::Ellipse(Spot).Contains(point)) return Spot_Region;
  if (TRegion::Ellipse(Rim).Contains(point)) return Nothing;
  const TPoint p = point - Area.TopLeft();
  const uint32_t pixel = Pixel_Of(*Picture, p);
  if (pixel == Scheme_Rgb(0).Value()) return Nothing;
  if (pixel == Scheme_Rgb(1).Value() || pixel == Scheme_Rgb(5).Value() || pixel == Scheme_Rgb(3).Value())
    return Bowl;
  // The bowl's outline and opening belong to the bowl; only the cloth wipes.
  return Pixel_Of(*Cloth, p) != 0xFF00FF ? Wipe_Region : Bowl;
}

const char* Color_Mixer::Tip_Of(int region) {
  return region == Bowl ? Bowl_Tip : region == Wipe_Region ? Wipe_Tip : nullptr;
}

void Color_Mixer::Paint_Spot() {
  const bool shown = The_Fill_Pointer && The_Fill_Pointer->Shown();
  if (shown) The_Fill_Pointer->Hide();
  Draw_Spot(Owner->Buffer_DC());
  Owner->Show_Buffer(Spot);
  if (shown) The_Fill_Pointer->Show_At_Cursor();
}

void Color_Mixer::Mouse_Down(TPoint point) {
  const int region = Hit_Test(point);
  if (region == Nothing) return;
  if (Hot == Nothing && !Holding) {
    The_Mouse->Capture(Owner);
    Holding = true;
  }
  Hot = region;
  if (const char* tip = Tip_Of(region); tip && The_Tip_Window) The_Tip_Window->Press_Item(tip);
  switch (region) {
    case Spot_Region: {
      Previous_Color = Mixed_Color;
      if (Mixed_Color == TColor::No_Color) {
        Entry_Color = Owner->Current_Color_Entry();
        Mixed_Color = Owner->Current_Color();
      } else {
        Mixed_Color = TColor(Average(Mixed_Color, Owner->Current_Color()));
        Entry_Color = Nearest_Palette_Color(Mixed_Color);
      }
      if (The_Eraser) The_Eraser->Attach(this, Owner->Current_Color_Entry());
      Paint_Spot();
      break;
    }
    case Wipe_Region:
      Entry_Color = Mixed_Color = Previous_Color = TColor::No_Color;
      Paint_Spot();
      Owner->Set_Mixer_Mode(false);
      if (The_Eraser) The_Eraser->Detach_Client(this);
      break;
    case Bowl:
      if (Entry_Color == TColor::No_Color) break;
      Owner->Set_Mixer_Mode(true);
      if (The_Eraser) The_Eraser->Detach_Client(this);
      break;
  }
}

void Color_Mixer::Mouse_Move(TPoint point) {
  const int region = Hit_Test(point);
  if (region == Hot) {
    if (region == Spot_Region && The_Fill_Pointer) The_Fill_Pointer->Move_To_Cursor();
    return;
  }
  if (Hot == Nothing && !Holding) {
    The_Mouse->Capture(Owner);
    Holding = true;
  }
  if (const char* tip = Tip_Of(Hot); tip && The_Tip_Window) The_Tip_Window->Leave_Item(tip);
  if (Hot == Spot_Region) {
    if (The_Fill_Pointer) The_Fill_Pointer->Hide();
    Owner->SetCursor(LoadCursor(nullptr, IDC_ARROW));
    SetCursor(LoadCursor(nullptr, IDC_ARROW));
  }
  if (region == Nothing && Holding) {
    The_Mouse->Release(Owner);
    Holding = false;
  }
  if (const char* tip = Tip_Of(region); tip && The_Tip_Window) The_Tip_Window->Enter_Item(tip);
  if (region == Spot_Region) {
    Owner->SetCursor(Fill_Pointer::Cursor());
    SetCursor(Fill_Pointer::Cursor());
    if (The_Fill_Pointer) The_Fill_Pointer->Show_At_Cursor();
  }
  Hot = region;
}

bool Color_Mixer::Erase() {
  if (Mixed_Color == TColor::No_Color) {
    if (The_Eraser) The_Eraser->Detach_Client(this);
    return false;
  }
  Mixed_Color = Previous_Color;
  Previous_Color = TColor::No_Color;
  Entry_Color = Mixed_Color == TColor::No_Color ? TColor(TColor::No_Color) : Nearest_Palette_Color(Mixed_Color);
  Paint_Spot();
  if (The_Eraser) The_Eraser->Detach_Client(this);
  if (Entry_Color == TColor::No_Color)
    Owner->Set_Mixer_Mode(false);
  else
    Owner->Mixer_Color_Changed();
  return true;
}
