#include "toolkit/arrow_button.h"

#include <algorithm>

#include "model/gui_colors.h"
#include "platform/gdi/memory_dc.h"
#include "platform/window/user.h"
#include "platform/window/window_dc.h"
#include "toolkit/gui_sizes.h"
#include "toolkit/mouse.h"

namespace {

// A point of the face tables: P[p] moved by (xs * s + xc, ys * s + yc),
// s being the bevel width.
struct Spot {
  int8_t p, xs, xc, ys, yc;
};
enum Role : int8_t { Light, Dark };

struct Face_Row {
  Role first_role;
  Spot first[3];
  Role second_role;
  Spot second[3];
  Spot face[3];
  int8_t segments;  // 1 or 2
  Spot line[2][2];  // from, to
};

constexpr Spot At(int p, int xc = 0, int yc = 0) { return {int8_t(p), 0, int8_t(xc), 0, int8_t(yc)}; }
constexpr Spot S(int p, int xs, int xc, int ys, int yc) {
  return {int8_t(p), int8_t(xs), int8_t(xc), int8_t(ys), int8_t(yc)};
}

// The normal face of each kind: two shading fills, the inner face and the
// dark lines.
constexpr Face_Row Normal_Rows[8] = {
    {Light, {At(0), At(1), At(2)}, Dark, {At(3, 0, 1), At(1), At(2)},
     {S(0, 0, 0, 1, 1), S(1, 2, 0, -1, 1), S(2, -2, 0, -1, 1)}, 1, {{At(1), At(2)}, {}}},
    {Dark, {At(0), At(1), At(2)}, Light, {At(3, 0, -1), At(1), At(2)},
     {S(0, 0, 0, -1, -1), S(1, -2, 0, 1, -1), S(2, 2, 0, 1, -1)}, 2, {{At(0), At(1)}, {At(0), At(2)}}},
    {Dark, {At(0), At(1), At(2)}, Light, {At(0), At(3, 1, 0), At(2)},
     {S(0, 1, 1, 0, 0), S(1, -1, 1, -2, 0), S(2, -1, 1, 2, 0)}, 2, {{At(1), At(0)}, {At(1), At(2)}}},
    {Dark, {At(0), At(1), At(2)}, Light, {At(3, -1, 0), At(1), At(2)},
     {S(0, -1, -1, 0, 0), S(1, 1, 0, 2, 1), S(2, 1, 0, -2, -1)}, 2, {{At(0), At(1)}, {At(0), At(2)}}},
    {Light, {At(0), At(1), At(2)}, Dark, {At(3, 1, 1), At(1), At(2)},
     {S(0, 1, 0, 1, 0), S(1, 1, 0, -2, -1), S(2, -2, -1, 1, 0)}, 2,
     {{At(1, 1, -1), At(2, -1, 1)}, {At(2, -1, 1), At(1, 1, -1)}}},
    {Dark, {At(0, 0, 1), At(1, 1, 1), At(2)}, Light, {At(0, 0, 1), At(1, 1, 1), At(3, -1, 1)},
     {S(0, -1, 0, 1, 1), S(1, 2, 2, 1, 1), S(2, -1, 0, -2, -1)}, 2, {{At(0, 0, 1), At(2)}, {At(1, 1, 1), At(2)}}},
    {Light, {At(0), At(1), At(2)}, Dark, {At(0), At(1), At(3, 1, -2)},
     {S(0, 1, 0, -1, 0), S(1, -2, -1, -1, 0), S(2, 1, 0, 2, 1)}, 1, {{At(0, 1, 0), At(1, -1, 0)}, {}}},
    {Dark, {At(0), At(1), At(2)}, Light, {At(3, -1, -1), At(1), At(2)},
     {S(0, -1, 0, -1, 0), S(1, -1, 0, 2, 1), S(2, 2, 1, -1, 0)}, 2, {{At(0), At(1, 0, 1)}, {At(0), At(2, 1, 0)}}},
};

// The pressed face, which is also the disabled look.
constexpr Face_Row Pressed_Rows[8] = {
    {Dark, {At(0), At(1), At(2)}, Light, {At(3, 0, 1), At(1), At(2)},
     {S(0, 0, 0, 1, 1), S(1, 2, 0, -1, 1), S(2, -2, 0, -1, 1)}, 2, {{At(0), At(1)}, {At(0), At(2)}}},
    {Light, {At(0), At(1), At(2)}, Dark, {At(3, 0, -1), At(1), At(2)},
     {S(0, 0, 0, -1, -1), S(1, -2, 0, 1, -1), S(2, 2, 0, 1, -1)}, 1, {{At(2), At(1)}, {}}},
    {Light, {At(0), At(1, 1, 1), At(2, 1, 1)}, Dark, {At(0), At(3, 1, 0), At(2, 1, 1)},
     {S(0, 1, 1, 0, 0), S(1, -1, 1, -2, 0), S(2, -1, 1, 2, 0)}, 1, {{At(0), At(2)}, {}}},
    {Light, {At(0, 1, 0), At(1, 1, 0), At(2, 1, 0)}, Dark, {At(3), At(1, 1, 0), At(2, 1, 0)},
     {S(0, -1, 0, 0, 0), S(1, 1, 1, 2, 1), S(2, 1, 1, -2, -1)}, 2, {{At(1), At(2)}, {At(2), At(1)}}},
    {Dark, {At(0, 1, 1), At(1, 1, -1), At(2, -1, 1)}, Light, {At(3, 1, 1), At(1, 1, -1), At(2, -1, 1)},
     {S(0, 1, 1, 1, 1), S(1, 1, 1, -2, -2), S(2, -2, -2, 1, 1)}, 2, {{At(0), At(1)}, {At(0), At(2)}}},
    {Light, {At(0, 1, 1), At(1, 1, 1), At(2, 1, 1)}, Dark, {At(0, 1, 1), At(1, 1, 1), At(3, -1, 1)},
     {S(0, -1, 1, 1, 1), S(1, 2, 2, 1, 1), S(2, -1, 1, -2, 0)}, 1, {{At(0), At(1)}, {}}},
    {Dark, {At(0, 0, 1), At(1, 1, 1), At(2)}, Light, {At(0, 0, 1), At(1, 1, 1), At(3)},
     {S(0, 1, 1, -1, 1), S(1, -2, -1, -1, 1), S(2, 1, 1, 2, 2)}, 2, {{At(2), At(0)}, {At(2), At(1)}}},
    {Light, {At(0, 1, 1), At(1, 1, 0), At(2, 0, 1)}, Dark, {At(3, -1, -1), At(1, 1, 0), At(2, 0, 1)},
     {S(0, -1, 1, -1, 1), S(1, -1, 1, 2, 1), S(2, 2, 1, -1, 1)}, 2, {{At(1), At(2)}, {At(2), At(1)}}},
};

struct Colour_Set {
  int background, face, light, dark, line;  // scheme colours; line -1: black
};
constexpr Colour_Set Style_0 = {0, 0, 49, 38, 3};
constexpr Colour_Set Style_Dark = {0, 1, 5, 3, -1};

TColor Scheme(int index) { return index < 0 ? TColor::Black : The_GUI_Colors->Scheme[size_t(index)]; }

}  // namespace

void Arrow_Button_Enabler::Enable(bool enable) {
  TCommandEnabler::Enable(enable);
  if (enable)
    Button->Enable();
  else
    Button->Disable();
}

Arrow_Button::Arrow_Button(TWindow* parent, int id, const TRect& rect, int32_t kind, int32_t style,
                           uint32_t repeat_interval, TWindow* target)
    : TWindow(parent, "Arrow Button"),
      Rect(rect),
      Kind(std::clamp(kind, 0, 7)),
      Style(style),
      Repeat_Interval(repeat_interval),
      Target(target ? target : parent) {
  Attr.Style = (Attr.Style | WS_CHILD | WS_VISIBLE) & ~WS_BORDER;
  Attr.Id = id;
  Attr.Set_Rect(rect);
  Rect = TRect(0, 0, rect.Width(), rect.Height());
  Compute_Points();
  Hit_Region = TRegion::Polygon(P, 3, TFill_Rule::Alternate);
}

Arrow_Button::~Arrow_Button() = default;

void Arrow_Button::Compute_Points() {
  const int w = Rect.Width(), h = Rect.Height();
  if (Kind <= Arrow_Kind_Right) {
    const int R = w - 1, B = h - 2;
    const int a = (w - 3) >> 1, a2 = (w - 3) >> 2;
    const int b = (h - 3) >> 1, b2 = (h - 3) >> 2;
    switch (Kind) {
      case Arrow_Kind_Up: P[0] = {a, B - a}, P[1] = {0, B}, P[2] = {2 * a, B}, P[3] = {a, B - a + a2}; break;
      case Arrow_Kind_Down: P[0] = {a, a}, P[1] = {2 * a, 0}, P[2] = {0, 0}, P[3] = {a, a - a2}; break;
      case Arrow_Kind_Left: P[0] = {R - b, b}, P[1] = {R, 2 * b}, P[2] = {R, 0}, P[3] = {R - b + b2, b}; break;
      default: P[0] = {b, b}, P[1] = {0, 0}, P[2] = {0, 2 * b}, P[3] = {b - b2, b}; break;
    }
    return;
  }
  const int R = w - 1, B = h - 1;
  const int n = std::min(R, B), m = n & ~1, q = n >> 2;
  switch (Kind) {
    case Arrow_Kind_Upper_Left: P[0] = {0, 0}, P[1] = {0, m}, P[2] = {m, 0}, P[3] = {q, q}; break;
    case Arrow_Kind_Upper_Right: P[0] = {R, 0}, P[1] = {R - m, 0}, P[2] = {R, m}, P[3] = {R - q, q}; break;
    case Arrow_Kind_Lower_Left: P[0] = {0, B}, P[1] = {m, B}, P[2] = {0, B - m}, P[3] = {q, B - q}; break;
    default: P[0] = {R, B}, P[1] = {R, B - m}, P[2] = {R - m, B}, P[3] = {R - q, B - q}; break;
  }
}

void Arrow_Button::SetupWindow() {
  TWindow::SetupWindow();
  // A corner arrow is shaped like its triangle: the parent shows round it
  // and clicks beside it go to the parent.
  if (Kind >= Arrow_Kind_Upper_Left) {
    TRegion shape = TRegion::Polygon(P, 3, TFill_Rule::Alternate);
    SetWindowRgn(&shape, false);
  }
  Target_Handle = Target ? Target->GetHandle() : HWND();
  Enabler = std::make_unique<Arrow_Button_Enabler>(GetId(), Target_Handle, this);
  Normal_Face = std::make_unique<TBitmap>(std::max(Rect.Width(), 1), std::max(Rect.Height(), 1));
  Pressed_Face = std::make_unique<TBitmap>(std::max(Rect.Width(), 1), std::max(Rect.Height(), 1));
  Draw_Face(*Normal_Face, false);
  Draw_Face(*Pressed_Face, true);
  Current_Face = Normal_Face.get();
}

void Arrow_Button::Draw_Face(TBitmap& face, bool pressed) const {
  const Colour_Set& colours = Style == 0 ? Style_0 : Style_Dark;
  const int s = (*The_GUI_Sizes)[24];
  const Face_Row& row = (pressed ? Pressed_Rows : Normal_Rows)[Kind];
  auto point = [&](const Spot& spot) {
    return TPoint(P[spot.p].x + spot.xs * s + spot.xc, P[spot.p].y + spot.ys * s + spot.yc);
  };
  TMemoryDC dc(face);
  dc.SelectObject(*The_GUI_Colors->Palette);
  dc.RealizePalette();
  dc.SelectStockObject(NULL_PEN);
  auto fill = [&](const Spot* spots, int colour) {
    TPoint pts[3] = {point(spots[0]), point(spots[1]), point(spots[2])};
    dc.SelectObject(TBrush(Scheme(colour)));
    dc.Polygon(pts, 3);
  };
  auto role = [&](Role r) { return r == Light ? colours.light : colours.dark; };
  dc.SelectObject(TBrush(Scheme(colours.background)));
  dc.PatBlt(Rect, PATCOPY);
  if (Kind <= Arrow_Kind_Right) {
    const Spot whole[3] = {At(0), At(1), At(2)};
    fill(whole, colours.face);
  }
  fill(row.first, role(row.first_role));
  fill(row.second, role(row.second_role));
  fill(row.face, colours.face);
  dc.SelectObject(TPen(Scheme(colours.line)));
  for (int i = 0; i < row.segments; ++i) {
    dc.MoveTo(point(row.line[i][0]));
    dc.LineTo(point(row.line[i][1]));
  }
}

void Arrow_Button::Paint(TDC& dc, bool, TRect&) {
  if (!Current_Face) return;
  dc.SelectObject(*The_GUI_Colors->Palette);
  dc.RealizePalette();
  TMemoryDC face(*Current_Face);
  dc.BitBlt(Rect, face, TPoint(0, 0));
  dc.RestorePalette();
}

void Arrow_Button::Show_Face(TBitmap* face) {
  Current_Face = face;
  if (!IsWindow()) return;
  TWindowDC dc(*this);
  TRect all = Rect;
  Paint(dc, false, all);
}

bool Arrow_Button::IdleAction(long idle_count) {
  TWindow::IdleAction(idle_count);
  // One request per idle period: the target's answer does not start another.
  if (idle_count == 0 && Enabler && Target_Handle)
    ::PostMessage(Target_Handle, WM_COMMAND_ENABLE, 0, reinterpret_cast<LPARAM>(Enabler.get()));
  return false;
}

void Arrow_Button::Notify(uint16_t code) {
  ::SendMessage(Target_Handle, WM_COMMAND, MAKEWPARAM(uint16_t(GetId() & 0xFFFF), code), GetHandle().To_Param());
}

bool Arrow_Button::Holds_Mouse() const { return The_Mouse && The_Mouse->Holds(this); }

void Arrow_Button::Start_Repeat() {
  if (Repeat_Interval == Arrow_No_Repeat) return;
  Repeating = true;
  SetTimer(Repeat_Timer, Repeat_Interval);
}

void Arrow_Button::Stop_Repeat() {
  if (!Repeating) return;
  KillTimer(Repeat_Timer);
  Repeating = false;
}

void Arrow_Button::EvLButtonDown(UINT, const TPoint& point) {
  if (!Enabled || !Hit_Region.Contains(point)) return;
  if (The_Mouse) The_Mouse->Capture(this);
  Show_Face(Pressed_Face.get());
  Notify(Arrow_Button_Pressed);
  Start_Repeat();
}

void Arrow_Button::EvMouseMove(UINT, const TPoint& point) {
  if (!Holds_Mouse()) return;
  const bool inside = Hit_Region.Contains(point);
  if (!inside && Shows_Pressed()) {
    Stop_Repeat();
    if (Enabled) {
      Show_Face(Normal_Face.get());
      Notify(Arrow_Button_Released);
    }
  } else if (inside && Current_Face == Normal_Face.get()) {
    Show_Face(Pressed_Face.get());
    Notify(Arrow_Button_Pressed);
    Start_Repeat();
  }
}

void Arrow_Button::EvLButtonUp(UINT, const TPoint&) {
  if (Holds_Mouse()) The_Mouse->Release(this);
  if (!Shows_Pressed() || !Enabled) return;
  Show_Face(Normal_Face.get());
  Stop_Repeat();
  Notify(Arrow_Button_Released);
}

void Arrow_Button::EvTimer(UINT) { Notify(Arrow_Button_Repeat); }

void Arrow_Button::Enable() {
  if (Enabled) return;
  Enabled = true;
  Show_Face(Normal_Face.get());
}

void Arrow_Button::Disable() {
  if (!Enabled) return;
  Stop_Repeat();
  Enabled = false;
  Show_Face(Pressed_Face.get());
}
