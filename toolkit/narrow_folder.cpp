#include "toolkit/narrow_folder.h"

#include <algorithm>

#include "model/gui_colors.h"
#include "platform/gdi/memory_dc.h"
#include "platform/window/user.h"
#include "platform/window/window_dc.h"
#include "toolkit/gui_sizes.h"
#include "toolkit/round_border.h"

namespace {

TColor Scheme(int index) { return The_GUI_Colors->Scheme[size_t(index)]; }

}  // namespace

Narrow_Folder::Narrow_Folder(TWindow* parent, int id, const TRect& rect, int32_t tab_width)
    : TWindow(parent, nullptr), Client_Rect(0, 0, rect.Width(), rect.Height()) {
  Attr.Style = (Attr.Style | WS_CHILD | WS_VISIBLE) & ~WS_BORDER;
  Attr.Id = id;
  Attr.Set_Rect(rect);
  const int width = tab_width ? tab_width : rect.Width() / 2;
  Tab_Shape_Rect = TRect(0, 0, width, (3 * (*The_GUI_Sizes)[30]) / 2);
  Page_Rect = Client_Rect.Inflated_By(-2, -2);
}

Narrow_Folder::~Narrow_Folder() = default;

void Narrow_Folder::Setup_Window() {
  TWindow::SetupWindow();
  Draw_Pictures();
  Pictures_Built = 1;
}

void Narrow_Folder::Curve_Points(TPoint left[7], TPoint right[7]) const {
  const int L = 0, T = 0, R = Tab_Shape_Rect.right, B = Tab_Shape_Rect.bottom, H = B;
  const int h2 = H >> 1, q = h2 >> 1, t = (3 * H) >> 2, e = t >> 1;
  const TPoint l[7] = {{L, B}, {L + q, B}, {L + q, B}, {L + e, T + h2}, {L + h2, T}, {L + h2, T}, {L + t, T}};
  const TPoint r[7] = {{R, B}, {R - q, B}, {R - q, B}, {R - e, T + h2}, {R - h2, T}, {R - h2, T}, {R - t, T}};
  std::copy(l, l + 7, left);
  std::copy(r, r + 7, right);
}

void Narrow_Folder::Draw_Pictures() {
  const int w = std::max(Tab_Shape_Rect.Width(), 1), h = std::max(Tab_Shape_Rect.Height(), 1);
  TPoint left[7], right[7];
  Curve_Points(left, right);
  const int h2 = Tab_Shape_Rect.bottom >> 1, q = h2 >> 1;
  const TPoint top[2] = {{h2, 0}, {Tab_Shape_Rect.right - h2, 0}};
  const TPoint centre(Tab_Shape_Rect.right / 2, Tab_Shape_Rect.bottom / 2);
  auto outline = [&](TDC& dc, int left_colour, int top_colour, int right_colour) {
    if (left_colour >= 0) {
      dc.SelectObject(TPen(left_colour == 256 ? TColor::Black : Scheme(left_colour)));
      dc.PolyBezier(left, 7);
    }
    if (top_colour >= 0) {
      dc.SelectObject(TPen(top_colour == 256 ? TColor::Black : Scheme(top_colour)));
      dc.Polyline(top, 2);
    }
    if (right_colour >= 0) {
      dc.SelectObject(TPen(right_colour == 256 ? TColor::Black : Scheme(right_colour)));
      dc.PolyBezier(right, 7);
    }
  };
  constexpr int Black = 256;
  // The mask: black inside the shape (outline included), white outside.
  Tab_Mask = std::make_unique<TBitmap>(w, h);
  {
    TMemoryDC dc(*Tab_Mask);
    dc.SelectObject(*The_GUI_Colors->Palette);
    dc.RealizePalette();
    dc.SelectStockObject(WHITE_BRUSH);
    dc.PatBlt(TRect(0, 0, w, h), PATCOPY);
    outline(dc, Black, Black, Black);
    dc.SelectObject(TBrush(TColor::Black));
    dc.ExtFloodFill(centre, TColor::Black, FLOODFILLBORDER);
  }
  // The picture: the lit left side and shaded right side round a face of
  // the background colour, on black.
  Tab_Picture = std::make_unique<TBitmap>(w, h);
  TMemoryDC dc(*Tab_Picture);
  dc.SelectObject(*The_GUI_Colors->Palette);
  dc.RealizePalette();
  dc.SelectObject(TBrush(TColor::Black));
  dc.PatBlt(TRect(0, 0, w, h), PATCOPY);
  outline(dc, 48, 47, 41);
  dc.IntersectClipRect(TRect(0, q, Tab_Shape_Rect.right, Tab_Shape_Rect.bottom - q));
  outline(dc, 49, -1, 39);
  dc.SelectClipRgn(nullptr);
  dc.SelectObject(*The_GUI_Colors->Scheme_Brush_0);
  dc.ExtFloodFill(centre, TColor::Black, FLOODFILLSURFACE);
}

void Narrow_Folder::Layout() {
  const int n = int(Tabs.size());
  if (n == 0) {
    Page_Rect.top = 2;
    return;
  }
  const int m = (*The_GUI_Sizes)[29];
  const int w = Tab_Shape_Rect.Width(), H = Tab_Shape_Rect.Height();
  // A folder narrower than one tab keeps its tabs on top of each other.
  const int step = n == 1 ? 0 : std::max(Client_Rect.Width() - w - 2 * m, 0) / (n - 1);
  const int rise = (3 * H) / 4;
  const int chosen = int(std::min<uint32_t>(Current_Tab, uint32_t(n - 1)));
  for (int k = 0; k < n; ++k) {
    // The chosen tab in the front row, the one after it a row further back,
    // and so on round to the one before it in the back row.
    const int i = (chosen + k) % n;
    const int top = (n - 1 - k) * rise;
    Tabs[size_t(i)].Rect = TRect(m + i * step, top, m + w + i * step, top + H);
  }
  Page_Rect.top = Tabs[size_t(chosen)].Rect.bottom + 1;
}

uint32_t Narrow_Folder::Add_Tab(const char* label, uint32_t data) {
  Tabs.push_back(Folder_Tab{TRect(), data, label ? label : ""});
  Layout();
  if (Pictures_Built) Paint_Now(false);
  return uint32_t(Tabs.size() - 1);
}

void Narrow_Folder::Paint_Now(bool tabs_only) {
  if (!IsWindow()) return;
  TClientDC dc(*this);
  Paint_Tabs(dc, tabs_only);
}

void Narrow_Folder::Paint(TDC& dc, bool, TRect&) { Paint_Tabs(dc, false); }

void Narrow_Folder::Paint_Tabs(TDC& dc, bool tabs_only) {
  dc.SelectObject(*The_GUI_Colors->Palette);
  dc.RealizePalette();
  if (Tabs.empty() || !Tab_Mask) {
    dc.SelectObject(*The_GUI_Colors->Scheme_Brush_0);
    dc.PatBlt(Client_Rect, PATCOPY);
    The_Round_Border->Draw_Bevel(dc, Client_Rect);
    return;
  }
  const int n = int(Tabs.size());
  const int chosen = int(std::min<uint32_t>(Current_Tab, uint32_t(n - 1)));
  const Folder_Tab& front = Tabs[size_t(chosen)];
  const Folder_Tab& back = Tabs[size_t((chosen + n - 1) % n)];
  const TRect band(Client_Rect.left, Client_Rect.top, Client_Rect.right, front.Rect.bottom);
  TBitmap band_picture(std::max(band.Width(), 1), std::max(band.Height(), 1));
  TMemoryDC bdc(band_picture);
  bdc.SelectObject(*The_GUI_Colors->Palette);
  bdc.RealizePalette();
  bdc.SelectObject(*The_GUI_Colors->Scheme_Brush_0);
  bdc.PatBlt(TRect(0, 0, band.Width(), band.Height()), PATCOPY);
  const int text = (*The_GUI_Sizes)[30], m = (*The_GUI_Sizes)[29];
  bdc.SelectObject(TFont("MS Serif", text, FW_BOLD));
  bdc.SetTextAlign(TA_CENTER | TA_TOP);
  bdc.SetBkMode(TRANSPARENT);
  bdc.SetTextColor(Scheme(1));
  const TPen row_pen(Scheme(47));
  TMemoryDC mask(*Tab_Mask), picture(*Tab_Picture);
  // Back row first, the chosen tab last, each shape covering what is behind.
  for (int k = 1; k <= n; ++k) {
    const Folder_Tab& tab = Tabs[size_t((chosen + n - k) % n)];
    const TRect& r = tab.Rect;
    bdc.SelectObject(row_pen);
    bdc.MoveTo(Client_Rect.left + 1, r.bottom - 1);
    bdc.LineTo(Client_Rect.right, r.bottom - 1);
    bdc.BitBlt(r, mask, TPoint(0, 0), SRCAND);
    bdc.BitBlt(r, picture, TPoint(0, 0), SRCPAINT);
    bdc.TextOut(r.left + r.Width() / 2, r.top + r.Height() / 2 - text / 2 - m, tab.Label);
  }
  // The band's side edges, up to the back row's folder edge.
  const int bottom = band.bottom, edge = back.Rect.bottom;
  auto side = [&](int x, int colour, int to) {
    bdc.SelectObject(TPen(Scheme(colour)));
    bdc.MoveTo(x, bottom);
    bdc.LineTo(x, to);
  };
  side(Client_Rect.left + 1, 49, edge - 1);
  side(Client_Rect.right - 2, 38, edge);
  side(Client_Rect.right - 1, 3, edge - 1);
  if (!tabs_only) {
    const TRect page(Client_Rect.left, front.Rect.bottom, Client_Rect.right, Client_Rect.bottom);
    dc.SelectObject(*The_GUI_Colors->Scheme_Brush_0);
    dc.PatBlt(page, PATCOPY);
    const int level = dc.SaveDC();
    dc.IntersectClipRect(page);
    The_Round_Border->Draw_Bevel(dc, Client_Rect);
    dc.RestoreDC(level);
  }
  dc.BitBlt(band, bdc, TPoint(0, 0));
}

int Narrow_Folder::Tab_At(const TPoint& point) const {
  if (Tabs.empty() || !Tab_Mask) return -1;
  const int n = int(Tabs.size());
  const int chosen = int(std::min<uint32_t>(Current_Tab, uint32_t(n - 1)));
  TMemoryDC mask(*Tab_Mask);
  // Front to back, the reverse of the drawing order: the tab seen at the
  // point is the one hit.
  for (int k = 0; k < n; ++k) {
    const int i = (chosen + k) % n;
    const TRect& r = Tabs[size_t(i)].Rect;
    if (!r.Contains(point)) continue;
    if (mask.GetPixel(point.x - r.left, point.y - r.top) == TColor::Black) return i;
  }
  return -1;
}

void Narrow_Folder::EvLButtonDown(UINT, const TPoint& point) {
  const int i = Tab_At(point);
  if (i < 0 || uint32_t(i) == Current_Tab || !Can_Choose(uint32_t(i))) return;
  Choose_Tab(uint32_t(i));
  // The pointer follows the tab to the front row.
  const TRect& r = Tabs[size_t(i)].Rect;
  TPoint centre(r.left + r.Width() / 2, r.top + r.Height() / 2);
  ClientToScreen(centre);
  SetCursorPos(centre.x, centre.y);
}

void Narrow_Folder::Choose_Tab(uint32_t index) {
  if (index == Current_Tab || index >= Tabs.size()) return;
  Current_Tab = index;
  Layout();
  Tab_Chosen(index, Tabs[index].Data);
  Paint_Now(true);
}

void Narrow_Folder::Tab_Chosen(uint32_t index, uint32_t data) {
  if (Parent) Parent->PostMessage(Tab_Selected_Message, index, LPARAM(data));
}
