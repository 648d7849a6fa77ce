#include "toolkit/round_window.h"

#include <cmath>

#include "model/gui_colors.h"
#include "platform/gdi/memory_dc.h"
#include "platform/window/cursor.h"
#include "platform/window/response_table.h"
#include "platform/window/user.h"
#include "platform/window/window_dc.h"
#include "toolkit/gui_bitmaps.h"
#include "toolkit/gui_sizes.h"
#include "toolkit/mouse.h"
#include "toolkit/round_border.h"
#include "toolkit/tip_window.h"

namespace {

constexpr double One_Minus_Root_Half = 0.2928932188134524;
constexpr double Root_Half = 0.7071067811865475;

TRegion Triangle(TPoint a, TPoint b, TPoint c) {
  const TPoint points[3] = {a, b, c};
  return TRegion::Polygon(points, 3, TFill_Rule::Alternate);
}

const TResponse_Table<Round_Window> Round_Window_Table = {
    EV_MESSAGE<Round_Window>(Mouse_Lost_Message, &Round_Window::Mouse_Lost)};

}  // namespace

Round_Window::Round_Window(TWindow* parent, const char* title, int id, const TRect& rect)
    : TWindow(parent, title) {
  Attr.Style = (Attr.Style | WS_CHILD | WS_VISIBLE) & ~WS_BORDER;
  Attr.Id = id;
  Attr.Set_Rect(rect);
  g_ = (*The_GUI_Sizes)[22];
  m_ = (*The_GUI_Sizes)[23];
  s_ = (*The_GUI_Sizes)[24];
  const int w = rect.Width(), h = w >> 1, m = m_, s = s_;
  Frame_Rect = TRect(0, 0, rect.Width(), rect.Height());
  Inner_Rect = TRect(g_, g_, w - g_, w - g_);
  const int kx = int(double(Inner_Rect.Width() >> 1) * One_Minus_Root_Half);
  const int ky = int(double(Inner_Rect.Height() >> 1) * One_Minus_Root_Half);
  Client_Rect = TRect(Inner_Rect.left + kx + 1, Inner_Rect.top + ky + 1, Inner_Rect.right - kx - 1,
                      Inner_Rect.bottom - ky - 1);
  const double outer = double(h + m + s), edge = double(h - s);
  const int c = h - int(std::sqrt(outer * outer - edge * edge));
  Corner_Size = TSize(c, c);
  Corner_Inner_Size = TSize(c - 2 * s, c - 2 * s);
  const double d = std::sqrt(double(h) * h + double(h) * h) - s * std::sqrt(2.0) - (h + s + m) - 1;
  const int a = int(d * Root_Half);
  Picture_Half = TSize(a, a);
  Picture_Size = TSize(2 * a, 2 * a);
  const int p = 2 * a;
  Corner_Rect = {TRect(0, 0, c, c), TRect(w - c, 0, w, c), TRect(w - c, w - c, w, w), TRect(0, w - c, c, w)};
  Face_Rect = {TRect(0, 0, c, c), TRect(c + 4 * s, 0, 2 * c + 4 * s, c), TRect(2 * s, 2 * s, c + 2 * s, c + 2 * s),
               TRect(c + 2 * s, 2 * s, 2 * c + 2 * s, c + 2 * s)};
  Picture_Region = {Triangle({s, s}, {s + p, s}, {s, s + p}),
                    Triangle({2 * c + 3 * s, s}, {2 * c + 3 * s - p, s}, {2 * c + 3 * s, s + p}),
                    Triangle({c + s, c + s}, {c + s - p, c + s}, {c + s, c + s - p}),
                    Triangle({c + 3 * s, c + s}, {c + 3 * s + p, c + s}, {c + 3 * s, c + s - p})};
  Inner_Region = TRegion::Ellipse(Inner_Rect);
  Corner_Region = TRegion(Frame_Rect) - TRegion::Ellipse(TRect(-m, -m, w + m, w + m));
}

Round_Window::~Round_Window() {
  if (The_Tip_Window)
    for (const char* tip : Corner_Tip) The_Tip_Window->Forget(tip);
}

TColor Round_Window::Scheme(int index) const { return The_GUI_Colors->Scheme[size_t(index)]; }

bool Round_Window::Find(TEventInfo& info) { return Round_Window_Table.Dispatch(*this, info) || TWindow::Find(info); }

// ---- Faces

void Round_Window::SetupWindow() {
  TWindow::SetupWindow();
  const int w = Frame_Rect.Width();
  TBitmap frame(std::max(w, 1), std::max(Frame_Rect.Height(), 1));
  TMemoryDC dc(frame);
  dc.SelectObject(*The_GUI_Colors->Palette);
  dc.RealizePalette();
  for (int look = 0; look < 2; ++look) {
    dc.SelectObject(*The_GUI_Colors->Scheme_Brush_0);
    dc.PatBlt(Frame_Rect, PATCOPY);
    Paint_Frame(dc, look == 0);
    Corner_Face[size_t(look)] = Cut_Corner_Faces(dc);
  }
  Corner_Face[Corner_Disabled] = std::make_unique<TBitmap>(*Corner_Face[Corner_Normal]);
}

void Round_Window::Paint_Frame(TDC& dc, bool normal_look) {
  const int w = Frame_Rect.Width(), c = Corner_Size.cx, s = s_, m = m_;
  The_Round_Border->Blit_Clipped(dc, TRect(-m - s, -m - s, w + m + s, w + m + s), s, normal_look ? 1 : 0);
  const int A = normal_look ? 47 : 40, B = normal_look ? 40 : 47;
  struct Bevel {
    int colour;
    int count;
    TPoint points[4];
  };
  // The straight bevels along the edges from each corner to c, and the
  // triangles that close them where they meet the curved bevel.
  const Bevel bevels[16] = {
      {A, 4, {{0, w}, {0, w - c}, {s - 1, w - c + s}, {s, w - s}}},
      {A, 3, {{2 * s, w - c}, {0, w - c}, {s - 1, w - c + s}}},
      {A, 4, {{0, 0}, {0, c}, {s - 1, c - s}, {s, s}}},
      {B, 3, {{2 * s, c}, {0, c}, {s - 1, c - s}}},
      {A, 4, {{0, 0}, {c, 0}, {c - s, s - 1}, {s, s}}},
      {B, 3, {{c, 2 * s}, {c, 0}, {c - s, s - 1}}},
      {A, 4, {{w, 0}, {w - c, 0}, {w - c + s, s - 1}, {w - s, s}}},
      {A, 3, {{w - c, 2 * s}, {w - c, 0}, {w - c + s, s - 1}}},
      {B, 4, {{w, 0}, {w, c}, {w - s, c - s}, {w - s, s}}},
      {B, 3, {{w - 2 * s, c}, {w, c}, {w - s, c - s}}},
      {B, 4, {{w, w}, {w, w - c}, {w - s, w - c + s}, {w - s, w - s}}},
      {A, 3, {{w - 2 * s, w - c}, {w, w - c}, {w - s, w - c + s}}},
      {B, 4, {{w, w}, {w - c, w}, {w - c + s, w - s}, {w - s, w - s}}},
      {A, 3, {{w - c, w - 2 * s}, {w - c, w}, {w - c + s, w - s}}},
      {B, 4, {{0, w}, {c, w}, {c - s, w - s}, {s, w - s}}},
      {A, 3, {{c, w - 2 * s}, {c, w}, {c - s, w - s}}},
  };
  const TBrush brush_a(Scheme(A)), brush_b(Scheme(B));
  const TPen pen_a(Scheme(A)), pen_b(Scheme(B));
  for (const Bevel& bevel : bevels) {
    dc.SelectObject(bevel.colour == A ? brush_a : brush_b);
    dc.SelectObject(bevel.colour == A ? pen_a : pen_b);
    dc.Polygon(bevel.points, bevel.count);
  }
  dc.RestorePen();
  dc.RestoreBrush();
}

std::unique_ptr<TBitmap> Round_Window::Cut_Corner_Faces(TDC& frame) {
  const int c = Corner_Size.cx, W = c + 2 * s_;
  auto faces = std::make_unique<TBitmap>(2 * W, W);
  TMemoryDC dc(*faces);
  dc.SelectObject(*The_GUI_Colors->Palette);
  dc.RealizePalette();
  // Two cells side by side, each split by a diagonal between two corners.
  const int order[4] = {0, 2, 3, 1};
  const TRegion halves[4] = {Triangle({0, 0}, {0, W}, {W, 0}), Triangle({2 * W, 0}, {W, 0}, {2 * W, W}),
                             Triangle({W, W}, {0, W}, {W, 0}), Triangle({W, W}, {W, 0}, {2 * W, W})};
  for (int i : order) {
    dc.SelectClipRgn(halves[i]);
    dc.BitBlt(TRect(Face_Rect[size_t(i)].TopLeft(), Corner_Size), frame, Corner_Rect[size_t(i)].TopLeft());
  }
  dc.SelectClipRgn(nullptr);
  return faces;
}

void Round_Window::Set_Corner_Button(int i, const TBitmap& picture, const char* tip, bool large, bool enabled,
                                     bool grey_picture) {
  if (i < 0 || i >= 4 || !Corner_Face[0]) return;
  if (The_Tip_Window && Corner_Tip[size_t(i)] != tip) The_Tip_Window->Forget(Corner_Tip[size_t(i)]);
  Corner_Tip[size_t(i)] = tip;
  const TSize size = large ? Picture_Size : Picture_Half;
  const TRect& f = Face_Rect[size_t(i)];
  const int s = s_;
  TRect target;
  switch (i) {
    case 0: target = TRect(TPoint(f.left + s, f.top + s), size); break;
    case 1: target = TRect(f.right - s - size.cx, f.top + s, f.right - s, f.top + s + size.cy); break;
    case 2: target = TRect(f.right - s - size.cx, f.bottom - s - size.cy, f.right - s, f.bottom - s); break;
    default: target = TRect(f.left + s, f.bottom - s - size.cy, f.left + s + size.cx, f.bottom - s); break;
  }
  auto draw_on = [&](TBitmap& face, const TBitmap& what, const TRect& where, bool clear) {
    TMemoryDC dc(face);
    dc.SelectObject(*The_GUI_Colors->Palette);
    dc.RealizePalette();
    if (large) dc.SelectClipRgn(Picture_Region[size_t(i)]);
    dc.SetStretchBltMode(BLACKONWHITE);
    if (clear) {
      dc.SelectObject(*The_GUI_Colors->Scheme_Brush_0);
      dc.PatBlt(f, PATCOPY);
    }
    TMemoryDC picture_dc(what);
    dc.StretchBlt(where, picture_dc, TRect(0, 0, what.Width(), what.Height()));
  };
  draw_on(*Corner_Face[Corner_Normal], picture, target, false);
  draw_on(*Corner_Face[Corner_Pressed_State], picture, target.Offset_By(1, 1), true);
  if (grey_picture) {
    const auto screen = GUI_Bitmaps::Screen_Reference();
    const auto grey = GUI_Bitmaps::Make_Disabled_Picture(*screen, picture);
    if (grey) draw_on(*Corner_Face[Corner_Disabled], *grey, target, false);
  }
  int32_t& state = Corner_States[size_t(i)];
  if (!enabled)
    Disable_Corner(i);
  else if (state == Corner_Disabled)
    state = Corner_Normal;
  Repaint_Corner(i);
}

// ---- Painting

void Round_Window::Blit_Corner(TDC& dc, int i) {
  if (i < 0 || i >= 4 || !Corner_Face[0]) return;
  const TBitmap& face = *Corner_Face[size_t(Corner_States[size_t(i)])];
  TMemoryDC source(face);
  source.SelectObject(*The_GUI_Colors->Palette);
  const int level = dc.SaveDC();
  dc.SelectObject(*The_GUI_Colors->Palette);
  dc.RealizePalette();
  TRegion clip = Corner_Region;
  TRegion previous;
  if (dc.GetClipRgn(previous)) clip &= previous;
  dc.SelectClipRgn(clip);
  dc.BitBlt(Corner_Rect[size_t(i)], source, Face_Rect[size_t(i)].TopLeft());
  dc.RestoreDC(level);
}

void Round_Window::Repaint_Corner(int i) {
  if (!IsWindow() || !Active) return;
  TWindowDC dc(*this);
  Blit_Corner(dc, i);
}

void Round_Window::Paint(TDC& dc, bool, TRect&) {
  if (!Active || !Corner_Face[0]) return;
  const int level = dc.SaveDC();
  dc.SelectObject(*The_GUI_Colors->Palette);
  dc.RealizePalette();
  dc.SelectClipRgn(TRegion(Frame_Rect) - Inner_Region);
  dc.SelectObject(*The_GUI_Colors->Scheme_Brush_0);
  dc.PatBlt(Frame_Rect, PATCOPY);
  The_Round_Border->Blit_Clipped(dc, Frame_Rect, (*The_GUI_Sizes)[22], 1);
  dc.SelectClipRgn(nullptr);
  for (int i = 0; i < 4; ++i) Blit_Corner(dc, i);
  if (Client_Painting) {
    dc.SelectClipRgn(Inner_Region);
    Paint_Client(dc);
  }
  dc.RestoreDC(level);
}

// ---- Corner states

void Round_Window::Refresh_Corner_Buttons() {
  for (int i = 0; i < 4; ++i) {
    const bool usable = Corner_States[size_t(i)] != Corner_Disabled;
    if (Is_Corner_Enabled(i) == usable) continue;
    if (Is_Corner_Enabled(i))
      Enable_Corner(i);
    else
      Disable_Corner(i);
  }
}

void Round_Window::Enable_Corner(int i) {
  if (i < 0 || i >= 4 || Corner_States[size_t(i)] != Corner_Disabled) return;
  Corner_States[size_t(i)] = Corner_Normal;
  Repaint_Corner(i);
}

void Round_Window::Disable_Corner(int i) {
  if (i < 0 || i >= 4 || Corner_States[size_t(i)] == Corner_Disabled) return;
  if (Held_Corner == i) {
    // The hold ends without a click.
    Held_Corner = Corner_None;
    End_Press_Reason();
    Stop_Repeat();
  }
  Corner_States[size_t(i)] = Corner_Disabled;
  Repaint_Corner(i);
}

int Round_Window::Corner_At(const TPoint& p) const {
  if (!Corner_Region.Contains(p)) return Corner_None;
  const int w = Frame_Rect.Width(), c = Corner_Size.cx;
  const int column = p.x < c ? 0 : p.x > w - c ? 1 : -1;
  const int row = p.y < c ? 0 : p.y > w - c ? 1 : -1;
  if (column < 0 || row < 0) return Corner_None;
  static constexpr int corners[2][2] = {{Corner_Top_Left, Corner_Top_Right}, {Corner_Bottom_Left, Corner_Bottom_Right}};
  return corners[row][column];
}

TPoint Round_Window::Corner_Screen_Point(int i) const {
  const TRect& r = Corner_Rect[size_t(i & 3)];
  const int q = r.Width() >> 2, v = r.Height() >> 2;
  TPoint p;
  switch (i & 3) {
    case 0: p = TPoint(r.left + q, r.top + v); break;
    case 1: p = TPoint(r.right - q, r.top + v); break;
    case 2: p = TPoint(r.right - q, r.bottom - v); break;
    default: p = TPoint(r.left + q, r.bottom - v); break;
  }
  ClientToScreen(p);
  return p;
}

// ---- Capture

void Round_Window::Take_Capture_Reason() {
  if (Capture_Count == 0 && The_Mouse) The_Mouse->Capture(this);
  ++Capture_Count;
}

void Round_Window::Give_Back_Capture_Reason() {
  if (Capture_Count <= 0) return;
  if (--Capture_Count == 0 && !Hover_Locked && The_Mouse) The_Mouse->Release(nullptr);
}

void Round_Window::End_Press_Reason() {
  if (!press_reason_) return;
  press_reason_ = false;
  Give_Back_Capture_Reason();
}

void Round_Window::Refresh_Hover() {
  Hover_Locked = false;
  if (The_Mouse && The_Mouse->Holds(this) && Capture_Count == 0) The_Mouse->Release(this);
  TPoint p;
  GetCursorPos(p);
  ScreenToClient(p);
  Check_Client_Hover(p);
}

void Round_Window::Check_Client_Hover(const TPoint& p) {
  if (Hover_Locked || Held_Corner != Corner_None) return;
  const bool inside = Inner_Region.Contains(p);
  if (!inside && !Cursor_Outside)
    Cursor_Left_Client();
  else if (inside && !Cursor_Inside)
    Cursor_Entered_Client();
}

LRESULT Round_Window::Mouse_Lost(WPARAM, LPARAM) {
  // A notice posted when the mouse was let go arrives after this window
  // took it again: it is stale, and the holds taken since still stand.
  if (The_Mouse && The_Mouse->Holds(this)) return 0;
  ::SetCursor(&TCursor::Arrow());
  Cursor_Inside = Cursor_Outside = Hover_Locked = false;
  Capture_Count = 0;
  press_reason_ = false;
  return 0;
}

// ---- Mouse

void Round_Window::Start_Repeat(int i) {
  if (Corner_Repeat[size_t(i)] == -1) return;
  Repeat_Timer_On = true;
  SetTimer(Corner_Repeat_Timer, UINT(Corner_Repeat[size_t(i)]));
}

void Round_Window::Stop_Repeat() {
  if (!Repeat_Timer_On) return;
  KillTimer(Corner_Repeat_Timer);
  Repeat_Timer_On = false;
}

void Round_Window::EvLButtonDown(UINT keys, const TPoint& point) {
  if (!Active) return;
  if (Inner_Region.Contains(point)) {
    Client_Button_Down(keys, point);
    return;
  }
  Held_Corner = Corner_At(point);
  if (Held_Corner == Corner_None) return;
  const int i = Held_Corner;
  Hover_Corner = i;
  if (Corner_Tip[size_t(i)] && The_Tip_Window) The_Tip_Window->Press_Item(Corner_Tip[size_t(i)]);
  if (Corner_States[size_t(i)] == Corner_Disabled) {
    Held_Corner = Corner_None;
    return;
  }
  // The press holds the mouse too, so that its release is seen wherever it
  // happens, also without a hover before it.
  Take_Capture_Reason();
  press_reason_ = true;
  Corner_States[size_t(i)] = Corner_Pressed_State;
  Repaint_Corner(i);
  Last_Key_Flags = keys;
  Corner_Pressed(i);
  if (Held_Corner == i) Start_Repeat(i);
}

void Round_Window::EvTimer(UINT) {
  if (Held_Corner != Corner_None) Corner_Pressed(Held_Corner);
}

void Round_Window::EvLButtonUp(UINT keys, const TPoint& point) {
  if (!Active) return;
  if (Held_Corner == Corner_None) {
    Client_Button_Up(keys, point);
    return;
  }
  const int i = Held_Corner;
  const int32_t was = Corner_States[size_t(i)];
  Corner_States[size_t(i)] = Corner_Normal;
  Repaint_Corner(i);
  Held_Corner = Corner_None;
  End_Press_Reason();
  if (was == Corner_Pressed_State) {
    Last_Key_Flags = keys;
    Stop_Repeat();
    Corner_Clicked(i);
  } else {
    // Released away from the corner: its hover ends too.
    Give_Back_Capture_Reason();
    if (Corner_Tip[size_t(i)] && The_Tip_Window) The_Tip_Window->Leave_Item(Corner_Tip[size_t(i)]);
  }
}

void Round_Window::EvMouseMove(UINT keys, const TPoint& point) {
  if (!Active) return;
  const bool own_drag = Held_Corner == Corner_None && Hover_Corner == Corner_None && Capture_Count != 0;
  const int k = own_drag ? int(Corner_None) : Corner_At(point);
  if (Held_Corner == Corner_None) {
    if (k != Hover_Corner && k == Corner_None) {
      const char* tip = Corner_Tip[size_t(Hover_Corner)];
      if (tip) {
        Give_Back_Capture_Reason();
        if (The_Tip_Window) The_Tip_Window->Leave_Item(tip);
      }
    } else if (k != Hover_Corner) {
      // Straight from one corner to another (a jump of the pointer): the
      // corner left gives back its hover, so no reason is left over, but
      // only after the new corner took its own, so the mouse is not let go
      // and taken again in between.
      const char* left = Hover_Corner == Corner_None ? nullptr : Corner_Tip[size_t(Hover_Corner)];
      const char* tip = Corner_Tip[size_t(k)];
      if (tip) {
        Take_Capture_Reason();
        if (The_Tip_Window) The_Tip_Window->Enter_Item(tip);
      }
      if (left) {
        Give_Back_Capture_Reason();
        if (The_Tip_Window) The_Tip_Window->Leave_Item(left);
      }
    }
    if (k == Corner_None) {
      Hover_Corner = k;
      Check_Client_Hover(point);
      Client_Mouse_Move(keys, point);
    }
  } else if (k == Held_Corner) {
    if (Corner_States[size_t(k)] != Corner_Pressed_State) {
      Corner_States[size_t(k)] = Corner_Pressed_State;
      Repaint_Corner(k);
      Start_Repeat(k);
    }
  } else if (Corner_States[size_t(Held_Corner)] != Corner_Normal) {
    Corner_States[size_t(Held_Corner)] = Corner_Normal;
    Repaint_Corner(Held_Corner);
    Stop_Repeat();
  }
  Hover_Corner = k;
}
