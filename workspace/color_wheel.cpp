#include "workspace/color_wheel.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "model/color_wheel_table.h"
#include "model/gui_colors.h"
#include "platform/gdi/pen.h"
#include "platform/system/clock.h"
#include "platform/window/response_table.h"
#include "platform/window/window_dc.h"
#include "toolkit/gui_bitmaps.h"
#include "toolkit/gui_metafiles.h"
#include "toolkit/gui_sizes.h"
#include "toolkit/mouse.h"
#include "toolkit/tip_window.h"
#include "toolkit/toolkit_messages.h"
#include "workspace/color_mixer.h"
#include "workspace/eraser.h"
#include "workspace/fill_pointer.h"

namespace {

constexpr double Pi = 3.14159265358979323846;
constexpr double Ring_Fractions[5] = {0.21, 0.44, 0.67, 0.90, 1.0};
// A pause longer than this (a suspended machine, a stalled loop) counts as
// this long: the step is clamped anyway, and the products stay in range.
constexpr uint32_t Longest_Step_Ms = 1000;
constexpr int Needle_Picture_Slot = 0, Tilted_Picture_Slot = 1;

// The mathematical remainder: never negative for a positive modulus.
int Modulo(int value, int modulus) {
  const int r = value % modulus;
  return r < 0 ? r + modulus : r;
}

// An angle in -180..179.
int Wrap_Angle(int angle) { return Modulo(angle + 180, 360) - 180; }

int Size(int index) { return (*The_GUI_Sizes)[index]; }
TColor Scheme(int index) { return The_GUI_Colors->Scheme[size_t(index)]; }

TRegion Triangle(TPoint a, TPoint b, TPoint c) {
  const TPoint points[3] = {a, b, c};
  return TRegion::Polygon(points, 3, TFill_Rule::Alternate);
}

TPoint Centre_Of(const TRect& r) { return TPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2); }

// A picture played from the vector store on white.
std::unique_ptr<TBitmap> Play_On_White(int slot, TSize size, const TRect& play) {
  auto picture = std::make_unique<TBitmap>(std::max(size.cx, 1), std::max(size.cy, 1));
  TMemoryDC dc(*picture);
  dc.SelectObject(*The_GUI_Colors->Palette);
  dc.FillRect(TRect(TPoint(0, 0), size), TBrush(TColor::White));
  The_GUI_Metafiles->Ensure(slot);
  The_GUI_Metafiles->Play(slot, dc, play);
  The_GUI_Metafiles->Release(slot);
  return picture;
}

const TResponse_Table<Color_Wheel> Color_Wheel_Table = {
    EV_MESSAGE<Color_Wheel>(Mouse_Lost_Message, &Color_Wheel::Mouse_Lost)};

}  // namespace

TColor Nearest_Palette_Color(TColor rgb) {
  int best = 0;
  int32_t best_distance = 195076;  // one more than the largest distance
  for (int i = 0; i < Wheel_Color_Count; ++i) {
    const TColor c(Wheel_Colors_RGB[i]);
    const int dr = c.Red() - rgb.Red(), dg = c.Green() - rgb.Green(), db = c.Blue() - rgb.Blue();
    const int32_t distance = dr * dr + dg * dg + db * db;
    if (distance < best_distance) {
      best_distance = distance;
      best = i;
    }
  }
  return TColor(Wheel_Colors[best]);
}

bool Color_Wheel::Find(TEventInfo& info) { return Color_Wheel_Table.Dispatch(*this, info) || TWindow::Find(info); }

Color_Wheel::Color_Wheel(TWindow* parent, TPoint position) : TWindow(parent, "Wheel Window") {
  const int d = Size(7), m = Size(8), b = Size(5);
  Attr.Style = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN;
  Attr.Id = Window_Id;
  Client = TRect(0, 0, d + b + 1, d + b + m + 1);
  Attr.Set_Rect(Client.Offset_By(position.x, position.y));
  R = d / 2;
  Cx = d / 2;
  Cy = m + d / 2;
  for (int i = 0; i < 5; ++i) Radius[size_t(i)] = int(Ring_Fractions[i] * R);
  Radius[4] -= 1;
  for (int i = 0; i < 5; ++i) {
    const int r = Radius[size_t(i)];
    Circle_Box[size_t(i)] = TRect(Cx - r, Cy - r, Cx + r, Cy + r);
    Circle[size_t(i)] = TRegion::Ellipse(Circle_Box[size_t(i)]);
  }
  Whole = Circle[4];
  for (int i = 4; i >= 1; --i) Circle[size_t(i)] = Circle[size_t(i)] - Circle[size_t(i - 1)];

  // Every rim point, one per degree: point k lies at screen angle k - 180.
  for (int k = 0; k < 360; ++k) {
    const double a = k * Pi / 180.0;
    Rim[size_t(k)] = TPoint(Cx - int(R * std::cos(a)), Cy + int(R * std::sin(a)));
  }
  Rim[360] = Rim[0];
  Rim[361] = Rim[1];

  for (int ring = 1; ring <= 3; ++ring) {
    int t = 75;
    for (int slot = 0; slot < 12; ++slot) {
      const TPoint centre(Cx, Cy);
      Sector[size_t((ring - 1) * 12 + slot)] = Circle[size_t(ring)] & Triangle(centre, Rim_Point(t), Rim_Point(t + 30));
      t = Wrap_Angle(t + 30);
    }
  }
  Sector[36] = Circle[0];
  Sector[37] = Circle[4];

  for (int i = 0; i <= 180; ++i) {
    const int speed = int(0.5 * std::sqrt(720.0 * i));
    Turn_Speed[size_t(180 + i)] = speed;
    Turn_Speed[size_t(180 - i)] = -speed;
  }

  Needle_H = m;
  Needle_W = m / 8;
  if (Needle_W % 2 == 0) ++Needle_W;
  const int h = Needle_H;
  Needle_Seeds = {TPoint(0, -3), TPoint(0, -h / 6), TPoint(0, -h / 2), TPoint(0, 2 - h)};
  Tip_Y = Cy - Radius[0];

  const int w = Client.Width();
  Eraser_Rect = TRect(Cx + Needle_W / 2 + w / 16, w / 16, w, Cy - Radius[4] - w / 16);
  const int r2 = Radius[2], r3 = Radius[3];
  Mixer_Area = TRect(0, 0, Cx - Needle_W / 2, Cy - r3 + (r3 - r2) / 4);

  The_Wheel_Eraser = new Eraser(this, Eraser_Rect);
  Give_Pointer_Color();
}

Color_Wheel::~Color_Wheel() = default;

void Color_Wheel::SetupWindow() {
  TWindow::SetupWindow();
  Mixer = std::make_unique<Color_Mixer>(this, Mixer_Area);
  Buffer_Context = std::make_unique<TMemoryDC>();
  Picture_DC = std::make_unique<TMemoryDC>();
  Pattern = GUI_Bitmaps::Make_Checker_Bitmap(*Buffer_Context, TColor::Black, TColor::White);
  Pattern_Brush = std::make_unique<TBrush>(*Pattern);
  Buffer = std::make_unique<TBitmap>(Client.Width(), Client.Height());
  Buffer_Context->SelectObject(*Buffer);
  Buffer_Context->SelectObject(*The_GUI_Colors->Palette);

  const int w = Needle_W, h = Needle_H;
  TRect play(0, 0, w, h);
  if (Size(0) != 800) {
    play.left += 1;
    play.top += 1;
  }
  Needle_Picture = Play_On_White(Needle_Picture_Slot, TSize(w, h), play);

  const double root5 = std::sqrt(5.0);
  const TSize tilted(int((2 * h + w) / root5), int((h + 2 * w) / root5));
  Tilted_Picture = Play_On_White(Tilted_Picture_Slot, tilted, TRect(TPoint(0, 0), tilted));
  const TRect& rim = Mixer->Rim;
  const TPoint corner(Centre_Of(rim).x + int(rim.Width() / root5), Centre_Of(rim).y + int(rim.Height() / (2 * root5)));
  Tilted_Rect = TRect(corner, tilted);
  const int k = Size(29);
  Tilted_Seeds = {corner.Offset_By(k, k), corner.Offset_By(tilted.cx / 6, tilted.cy / 6),
                  corner.Offset_By(tilted.cx / 2, tilted.cy / 2),
                  Tilted_Rect.BottomRight().Offset_By(-w / 2, -w / 2)};
  Draw_All();
}

bool Color_Wheel::EvEraseBkgnd(TDC&) { return true; }

TPoint Color_Wheel::Rim_Point(int angle) const { return Rim[size_t(Modulo(angle + 180, 360))]; }

int Color_Wheel::Region_Color(int region) const {
  if (region == Centre_Color || region == Rim_Color) return region;
  if (region < 0 || region >= 36) return No_Color;
  const int k = Modulo((75 - Angle) / 30, 12);
  return (region / 12) * 12 + Modulo(region % 12 + k, 12);
}

void Color_Wheel::Hit_Test(TPoint point, int& color, int& region) const {
  color = region = No_Color;
  if (!Whole.Contains(point)) return;
  if (Circle[4].Contains(point)) {
    color = region = Rim_Color;
    return;
  }
  if (Circle[0].Contains(point)) {
    color = region = Centre_Color;
    return;
  }
  for (int ring = 1; ring <= 3; ++ring) {
    if (!Circle[size_t(ring)].Contains(point)) continue;
    for (int slot = 0; slot < 12; ++slot) {
      const int s = (ring - 1) * 12 + slot;
      if (Sector[size_t(s)].Contains(point)) {
        region = s;
        color = Region_Color(s);
        return;
      }
    }
    return;
  }
}

TColor Color_Wheel::Current_Color_Entry() const {
  if (Mixer_Mode && Mixer) return Mixer->Entry_Color;
  return TColor(Wheel_Colors[Selected]);
}

TColor Color_Wheel::Current_Color() const {
  if (Mixer_Mode && Mixer) return Mixer->Mixed_Color;
  return TColor(Wheel_Colors_RGB[Selected]);
}

void Color_Wheel::Give_Pointer_Color() {
  if (The_Fill_Pointer) The_Fill_Pointer->Set_Color(Current_Color_Entry(), The_GUI_Colors->Palette.get());
}

int Color_Wheel::Ring_Of_Target(int color) const {
  if (color == Centre_Color) return 0;
  if (color == Rim_Color) return 4;
  return color / 12 + 1;
}

// ---- Mouse

void Color_Wheel::EvLButtonDown(UINT, const TPoint& point) {
  if (Mixer && Mixer->Holding) {
    Mixer->Mouse_Down(point);
    return;
  }
  if (Animating()) return;
  int color, region;
  Hit_Test(point, color, region);
  if (color != No_Color) {
    Holding_Mouse = true;
    The_Mouse->Capture(this);
    Pressed_Color = color;
    Pressed_Region = region;
    Draw_Region(region, color, true);
  } else if (Mixer && Mixer_Area.Contains(point)) {
    Mixer->Mouse_Down(point);
  }
}

void Color_Wheel::EvMouseMove(UINT, const TPoint& point) {
  if (Holding_Mouse) {
    int color, region;
    Hit_Test(point, color, region);
    if (region != Pressed_Region) {
      if (Pressed_Region != No_Color) Draw_Region(Pressed_Region, Pressed_Color, false);
      if (region != No_Color) Draw_Region(region, color, true);
      Pressed_Region = region;
      Pressed_Color = color;
    }
    return;
  }
  if (Mixer && (Mixer->Holding || Mixer_Area.Contains(point))) Mixer->Mouse_Move(point);
}

void Color_Wheel::EvLButtonUp(UINT, const TPoint&) {
  if (Pressed_Color != No_Color) Choose(Pressed_Color, Pressed_Region);
  if (Holding_Mouse) {
    Holding_Mouse = false;
    The_Mouse->Release(this);
  }
  Pressed_Color = Pressed_Region = No_Color;
}

void Color_Wheel::Choose(int color, int region) {
  if (color == Selected) {
    if (!Mixer_Mode) {
      Draw_Region(region, color, false);
      return;
    }
    Mixer_Mode = false;
    Give_Pointer_Color();
    Draw_All();
    return;
  }
  Mixer_Mode = false;
  Selected = color;
  Give_Pointer_Color();
  if (color < 36) {
    const int k = region % 12;
    if (k != 0) {
      Turn_Left = k < 6 ? -30 * k : 30 * (12 - k);
      Overshoots = 0;
    }
  }
  Move_Left = (Cy - Radius[size_t(Ring_Of_Target(color))]) - Tip_Y;
  Step_Start = GetTickCount();
  Animation_Step();
  if (Animating()) SetTimer(Timer_Id, Tick_Ms);
}

LRESULT Color_Wheel::Mouse_Lost(WPARAM, LPARAM) {
  Holding_Mouse = false;
  if (Mixer && Mixer->Holding) {
    Mixer->Holding = false;
    Mixer->Hot = 0;
  }
  return 0;
}

// ---- Animation

void Color_Wheel::EvTimer(UINT timer_id) {
  if (timer_id != Timer_Id) return TWindow::EvTimer(timer_id);
  Animation_Step();
  if (!Animating()) KillTimer(Timer_Id);
}

void Color_Wheel::Animation_Step() {
  const uint32_t now = GetTickCount();
  const int elapsed = int(std::min(now - Step_Start, Longest_Step_Ms));
  int step = 0;
  if (Turn_Left != 0) {
    const int before = Turn_Left;
    step = Turn_Speed[size_t(std::clamp(180 + Turn_Left, 0, 360))] * elapsed / 1000;
    step = std::clamp(step, -30, 30);
    Turn_Left -= step;
    Angle += step;
    if (Turn_Left != 0 && (Turn_Left < 0) != (before < 0) && ++Overshoots > 3) {
      Angle += Turn_Left;
      Turn_Left = 0;
    }
    Angle = Wrap_Angle(Angle);
  }
  int dy = 0;
  if (Move_Left != 0) {
    if (step == 0 || Turn_Left == 0) {
      dy = (Radius[4] - Radius[0]) * 2 * elapsed / 2000;
      if (Move_Left < 0) dy = -dy;
    } else {
      dy = std::abs(step) * Move_Left / std::abs(Turn_Left);
    }
    if (std::abs(dy) > std::abs(Move_Left)) dy = Move_Left;
    Move_Left -= dy;
    Tip_Y += dy;
  }
  if (step != 0 || dy != 0) {
    Draw_All();
    Step_Start = now;
  }
}

// ---- Drawing

void Color_Wheel::Draw_All() {
  if (!Buffer_Context) return;
  ++Redraws;
  TDC& dc = *Buffer_Context;
  Draw_Background(dc);
  Draw_Wheel(dc);
  Draw_Pointer(dc);
  Show_Buffer(Client);
}

void Color_Wheel::Draw_Background(TDC& dc) {
  dc.FillRect(Client, *The_GUI_Colors->Scheme_Brush_0);
  if (Mixer) Mixer->Draw(dc);
}

void Color_Wheel::Draw_Wheel(TDC& dc) {
  const int b = Size(5);
  TRect square = Circle_Box[4].Inflated_By(1, 1);
  // The disc's thickness, seen from above left: a cast shadow, then the
  // side, darkest farthest down.
  dc.SelectStockObject(NULL_PEN);
  dc.SelectStockObject(BLACK_BRUSH);
  dc.Ellipse(square.Offset_By(b + 1, b + 1));
  {
    TPen side(Scheme(3));
    dc.SelectObject(side);
    for (int offset = b; offset >= 2; --offset) dc.Ellipse(square.Offset_By(offset, offset));
    TPen edge(Scheme(5));
    dc.SelectObject(edge);
    dc.Ellipse(square.Offset_By(1, 1));
    // The knurl on the edge turns with the wheel.
    for (int i = Modulo(Angle + 180, 5) + 45; i < 225; i += 5) {
      const TPoint p = Rim[size_t(i)];
      dc.MoveTo(p);
      dc.LineTo(p.Offset_By(b, b));
    }
    TPen top(Scheme(1));
    dc.SelectObject(top);
    dc.SelectStockObject(WHITE_BRUSH);
    dc.Ellipse(square);
    dc.SelectStockObject(NULL_PEN);
  }
  for (int ring = 2; ring >= 0; --ring) {
    int t = Angle;
    for (int slot = 0; slot < 12; ++slot) {
      const int start = slot == 0 ? Wrap_Angle(t - 5) : t;
      const int end = t + (slot == 11 ? 30 : 35);
      dc.SelectObject(TBrush(TColor(Wheel_Colors[12 * ring + slot])));
      dc.Pie(Circle_Box[size_t(ring + 1)], Rim_Point(start), Rim_Point(end));
      t = Wrap_Angle(t + 30);
    }
  }
  dc.SelectStockObject(BLACK_BRUSH);
  dc.Ellipse(Circle_Box[0]);
}

void Color_Wheel::Draw_Pointer(TDC& dc) {
  dc.SelectStockObject(NULL_PEN);
  if (Mixer_Mode && Mixer) {
    const bool black = (uint32_t(Mixer->Mixed_Color) & 0xFFFFFF) == 0;
    Picture_DC->SelectObject(*Tilted_Picture);
    dc.BitBlt(Tilted_Rect, *Picture_DC, TPoint(0, 0), black ? MERGEPAINT : SRCAND);
    Picture_DC->RestoreBitmap();
    dc.SelectObject(TBrush(Mixer->Entry_Color));
    for (const TPoint& seed : Tilted_Seeds) dc.ExtFloodFill(seed, black ? TColor::White : TColor::Black, FLOODFILLBORDER);
    return;
  }
  const TRect needle(Cx - Needle_W / 2, Tip_Y - Needle_H, Cx + Needle_W / 2 + 1, Tip_Y);
  TColor border = TColor::Black;
  Picture_DC->SelectObject(*Needle_Picture);
  if (Tip_Y < Cy - Radius[0]) {
    TColor color = TColor::White;
    if (Tip_Y >= Cy - Radius[3]) {
      int ring = 3;
      for (int n = 1; n <= 3; ++n)
        if (Cy - Radius[size_t(n)] <= Tip_Y) {
          ring = n;
          break;
        }
      color = TColor(Wheel_Colors[(ring - 1) * 12 + Modulo(90 - Angle, 360) / 30]);
    }
    dc.BitBlt(needle, *Picture_DC, TPoint(0, 0), SRCAND);
    dc.SelectObject(TBrush(color));
  } else {
    // On the black centre the needle is a white outline on a black bar
    // across the white rim.
    dc.SelectStockObject(BLACK_BRUSH);
    dc.Rectangle(TRect(needle.left + 1, Cy - Radius[4], needle.right - 1, Cy - Radius[3] + 2));
    dc.BitBlt(needle, *Picture_DC, TPoint(0, 0), MERGEPAINT);
    border = TColor::White;
  }
  Picture_DC->RestoreBitmap();
  for (const TPoint& seed : Needle_Seeds) dc.ExtFloodFill(TPoint(Cx, Tip_Y) + seed, border, FLOODFILLBORDER);
  Needle_Region = TRegion(needle);
}

void Color_Wheel::Draw_Region(int region, int color, bool pressed) {
  if (region < 0 || region >= 38 || !Buffer_Context) return;
  TDC& dc = *Buffer_Context;
  dc.SaveDC();
  if ((region == Rim_Color || region % 12 == 0) && !Mixer_Mode) {
    const TRegion clip = TRegion(Client) - Needle_Region;
    dc.SelectClipRgn(clip);
  }
  dc.SelectStockObject(NULL_PEN);
  if (pressed) {
    dc.SelectObject(*Pattern_Brush);
    dc.SetROP2(color == Centre_Color || color < 12 ? R2_MERGENOTPEN : R2_MASKPEN);
  } else {
    dc.SelectObject(TBrush(TColor(Wheel_Colors[color])));
  }
  dc.PaintRgn(Sector[size_t(region)]);
  dc.RestoreDC();
  Show_Buffer(Sector[size_t(region)].Bounds());
}

void Color_Wheel::Show_Buffer(const TRect& rect) {
  if (!IsWindow() || !Buffer_Context) return;
  const bool hide_pointer = Mixer && Mixer->Holding && The_Fill_Pointer && The_Fill_Pointer->Shown();
  if (hide_pointer) The_Fill_Pointer->Hide();
  {
    TClientDC dc(*this);
    dc.SelectObject(*The_GUI_Colors->Palette);
    dc.RealizePalette();
    if (The_Wheel_Eraser) dc.ExcludeClipRect(Eraser_Rect);
    dc.BitBlt(rect, *Buffer_Context, rect.TopLeft());
  }
  if (hide_pointer) The_Fill_Pointer->Show_At_Cursor();
}

void Color_Wheel::Paint(TDC& dc, bool, TRect& rect) {
  if (The_Tip_Window && The_Tip_Window->Shown && The_Tip_Window->Tip_Rect.Touches(GetWindowRect()))
    The_Tip_Window->Hide();
  if (!Buffer_Context) return;
  dc.SelectObject(*The_GUI_Colors->Palette);
  dc.RealizePalette();
  if (The_Wheel_Eraser) {
    TRegion eraser = The_Wheel_Eraser->Shape_Region;
    eraser.Offset(Eraser_Rect.left, Eraser_Rect.top);
    dc.ExtSelectClipRgn(&eraser, TRegion::RGN_DIFF);
  }
  const bool hide_pointer = Mixer && Mixer->Holding && The_Fill_Pointer && The_Fill_Pointer->Shown();
  if (hide_pointer) The_Fill_Pointer->Hide();
  dc.BitBlt(rect, *Buffer_Context, rect.TopLeft());
  if (hide_pointer) The_Fill_Pointer->Show_At_Cursor();
}

// ---- Colours from outside

void Color_Wheel::Select_Color(TColor color) {
  const TColor rgb = Palette_Color_To_RGB(color, *The_GUI_Colors->Palette);
  int index = -1;
  for (int i = 0; i < Wheel_Color_Count; ++i)
    if (Wheel_Colors_RGB[i] == uint32_t(rgb)) {
      index = i;
      break;
    }
  if (index < 0) return;
  Turn_Left = Move_Left = 0;
  KillTimer(Timer_Id);
  if (index >= 38) {
    Mixer_Mode = true;
    Mixer->Entry_Color = color;
    Mixer->Mixed_Color = rgb;
    Mixer->Previous_Color = TColor::No_Color;
  } else {
    Mixer_Mode = false;
    Selected = index;
    Tip_Y = Cy - Radius[size_t(Ring_Of_Target(index))];
    Angle = Wrap_Angle(75 - (index % 12) * 30);
  }
  Draw_All();
}

void Color_Wheel::Set_Mixer_Mode(bool on) {
  if (on == Mixer_Mode) return;
  Mixer_Mode = on;
  Give_Pointer_Color();
  Draw_All();
}

void Color_Wheel::Mixer_Color_Changed() {
  if (!Mixer_Mode) return;
  Give_Pointer_Color();
  Draw_All();
}

TPoint Color_Wheel::Color_Screen_Point(int color) const {
  TPoint p(Cx, Cy);
  if (color == Rim_Color) {
    p = TPoint(Cx, Cy - (Radius[3] + Radius[4]) / 2);
  } else if (color >= 0 && color < 36) {
    const int k = Modulo((75 - Angle) / 30, 12);
    p = Centre_Of(Sector[size_t((color / 12) * 12 + Modulo(color % 12 - k, 12))].Bounds());
  }
  ClientToScreen(p);
  return p;
}

TPoint Color_Wheel::Region_Screen_Point(int region) const {
  // The rim ring's box is centred on the black centre: its point is on the
  // rim itself.
  if (region == Rim_Color) return Color_Screen_Point(Rim_Color);
  TPoint p(Cx, Cy);
  if (region >= 0 && region < 38) p = Centre_Of(Sector[size_t(region)].Bounds());
  ClientToScreen(p);
  return p;
}

TPoint Color_Wheel::Mixer_Screen_Point(int which) const {
  TPoint p(Cx, Cy);
  if (Mixer) {
    const TRect& area = Mixer->Area;
    const TRect& spot = Mixer->Spot;
    const TRect& wipe = Mixer->Wipe;
    if (which == 1) p = TPoint((spot.left + spot.right) / 2, (spot.top + spot.bottom) / 2);
    if (which == 2) p = TPoint((area.left + 3 * area.right) / 4, (2 * area.top + area.bottom) / 3);
    if (which == 3) p = TPoint((wipe.left + 2 * wipe.right) / 3, (wipe.top + wipe.bottom) / 2);
  }
  ClientToScreen(p);
  return p;
}

TPoint Color_Wheel::Eraser_Screen_Point() const {
  if (!The_Wheel_Eraser) return Color_Screen_Point(Centre_Color);
  const TRect r = The_Wheel_Eraser->GetWindowRect();
  return TPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

bool Color_Wheel::Mixer_Holds_Color() const { return Mixer && !(Mixer->Mixed_Color == TColor::No_Color); }
