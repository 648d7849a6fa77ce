#include "toolkit/divided_notebook.h"

#include <algorithm>

#include "model/gui_colors.h"
#include "platform/gdi/memory_dc.h"
#include "platform/window/window_dc.h"
#include "toolkit/gui_sizes.h"

namespace {

TColor Scheme(int index) { return The_GUI_Colors->Scheme[size_t(index)]; }

void Line(TDC& dc, int colour, std::initializer_list<TPoint> points) {
  dc.SelectObject(TPen(Scheme(colour)));
  dc.Polyline(points.begin(), int(points.size()));
}

}  // namespace

// ---- Tabs

Notebook_Divider Notebook_Divider::Plain_Copy() const {
  Notebook_Divider copy;
  copy.Rect = Rect;
  copy.Data = Data;
  copy.Color_Index = Color_Index;
  copy.Label = Label;
  return copy;
}

void Notebook_Divider::Render() {
  const int w = Rect.Width(), h = Rect.Height(), w8 = w / 8, c = Color_Index;
  Selected_Look = std::make_unique<TBitmap>(std::max(w, 1), std::max(h, 1));
  {
    TMemoryDC dc(*Selected_Look);
    dc.SelectObject(*The_GUI_Colors->Palette);
    dc.RealizePalette();
    dc.SelectStockObject(NULL_PEN);
    dc.SelectObject(TBrush(Scheme(20 + c)));
    dc.PatBlt(TRect(0, 0, w, h), PATCOPY);
    Line(dc, 32 + c, {{0, h}, {0, 0}, {w, 0}});
    Line(dc, 32 + c, {{w - 3, 0}, {w - 3, h}});
    Line(dc, 26 + c, {{0, h - 2}, {w - 1, h - 2}, {w - 1, 1}});
    Line(dc, 26 + c, {{w - 6, h - 2}, {w - 6, 1}});
    Line(dc, 0, {{0, h - 1}, {w, h - 1}, {w, 0}});
    dc.SetPixel(w8, h - 1, Scheme(38));
    const int text = (*The_GUI_Sizes)[30];
    const int f = h - 2 < text ? (h - 2) & ~1 : text;
    // A tab too small for any letter goes without its label.
    if (f >= 2) {
      dc.SelectObject(TFont("MS Serif", f, FW_NORMAL));
      dc.SetTextAlign(TA_CENTER | TA_TOP);
      dc.SetBkMode(TRANSPARENT);
      dc.SetTextColor(TColor::Black);
      dc.TextOut((w8 + 1 + w - 6) / 2, (h - f) / 2, Label);
    }
  }
  Normal_Look = std::make_unique<TBitmap>(std::max(w, 1), std::max(h, 1));
  TMemoryDC dc(*Normal_Look);
  dc.SelectObject(*The_GUI_Colors->Palette);
  dc.RealizePalette();
  {
    TMemoryDC selected(*Selected_Look);
    dc.BitBlt(TRect(1, 1, w, h), selected, TPoint(0, 0));
  }
  // Set back: the part over the page is page background, cut by the frame line.
  dc.SelectObject(*The_GUI_Colors->Scheme_Brush_0);
  dc.PatBlt(TRect(0, 0, w8, h), PATCOPY);
  Line(dc, 0, {{0, 0}, {w, 0}});
  Line(dc, 38, {{w8, 0}, {w8, h}});
}

// ---- Notebook

Divided_Notebook::Divided_Notebook(TWindow* parent, int id, const TRect& rect, int32_t tab_width,
                                   int32_t max_tab_height)
    : TWindow(parent, nullptr),
      Client_Rect(0, 0, rect.Width(), rect.Height()),
      Tab_Width(tab_width),
      Max_Tab_Height(max_tab_height) {
  Attr.Style = (Attr.Style | WS_CHILD | WS_VISIBLE) & ~WS_BORDER;
  Attr.Id = id;
  Attr.Set_Rect(rect);
  Dividers.reserve(6);
}

Divided_Notebook::~Divided_Notebook() = default;

void Divided_Notebook::Setup_Window() {
  TWindow::SetupWindow();
  Layout();
}

void Divided_Notebook::Layout() {
  const uint32_t n = uint32_t(Dividers.size());
  if (n > 0) {
    const uint32_t height = uint32_t(std::max(Client_Rect.Height(), 0));
    uint32_t t = (height * 80) / (n * 100);
    if (Max_Tab_Height >= 0 && t > uint32_t(Max_Tab_Height)) t = uint32_t(Max_Tab_Height);
    const int tab = int(t), gap = int((t * 20) / 80);
    TRect r(Client_Rect.right - Tab_Width, Client_Rect.top + gap, Client_Rect.right, Client_Rect.top + gap + tab);
    for (uint32_t i = 0; i < n; ++i) {
      Dividers[i].Rect = r;
      Layout_Sub_Dividers(i);
      r = r.Offset_By(0, tab + gap);
    }
  }
  Laid_Out = 1;
}

void Divided_Notebook::Layout_Sub_Dividers(uint32_t divider) {
  Notebook_Divider& d = Dividers[divider];
  const uint32_t k = uint32_t(d.Sub_Dividers.size());
  if (k == 0) {
    d.Render();
    return;
  }
  const uint32_t s = (uint32_t(std::max(d.Rect.Height(), 0)) * 95) / (k * 100 - 5);
  const uint32_t gap = (s * 5) / 95;
  TRect r(d.Rect.left, d.Rect.top, d.Rect.left + Tab_Width, d.Rect.top + int(s));
  for (Notebook_Divider& sub : d.Sub_Dividers) {
    sub.Rect = r;
    sub.Render();
    r = r.Offset_By(0, int(s + gap));
  }
}

void Divided_Notebook::Repaint() {
  if (!IsWindow()) return;
  TClientDC dc(*this);
  TRect all = Client_Rect;
  Paint(dc, false, all);
}

void Divided_Notebook::Changed(bool all, uint32_t divider) {
  if (!Laid_Out) return;
  if (all)
    Layout();
  else
    Layout_Sub_Dividers(divider);
  if (!Painting_Held) Repaint();
}

uint32_t Divided_Notebook::Add_Divider(const char* label, uint32_t data) {
  Notebook_Divider d;
  d.Label = label ? label : "";
  d.Data = data;
  d.Color_Index = int32_t(Dividers.size() % 6);
  Dividers.push_back(std::move(d));
  Changed(true, 0);
  return uint32_t(Dividers.size() - 1);
}

uint32_t Divided_Notebook::Add_Sub_Divider(uint32_t divider, const char* label, uint32_t data) {
  if (divider >= Dividers.size()) return No_Entry;
  Notebook_Divider& d = Dividers[divider];
  if (d.Sub_Dividers.empty()) d.Sub_Dividers.push_back(d.Plain_Copy());
  Notebook_Divider sub;
  sub.Label = label ? label : "";
  sub.Data = data;
  sub.Color_Index = d.Color_Index;
  d.Sub_Dividers.push_back(std::move(sub));
  const uint32_t index = uint32_t(d.Sub_Dividers.size() - 1);
  Changed(false, divider);
  return index;
}

void Divided_Notebook::Remove_Entry(uint32_t divider, uint32_t sub) {
  if (divider >= Dividers.size()) return;
  Notebook_Divider& d = Dividers[divider];
  if (!d.Sub_Dividers.empty()) {
    if (sub >= d.Sub_Dividers.size()) return;
    d.Sub_Dividers.erase(d.Sub_Dividers.begin() + sub);
    if (d.Sub_Dividers.size() == 1) d.Sub_Dividers.clear();  // plain again, with its own label and data
    Changed(false, divider);
    return;
  }
  Dividers.erase(Dividers.begin() + divider);
  for (size_t i = divider; i < Dividers.size(); ++i) Dividers[i].Color_Index = int32_t(i % 6);
  Changed(true, 0);
}

void Divided_Notebook::Remove_Sub_Dividers(uint32_t divider) {
  if (divider >= Dividers.size() || Dividers[divider].Sub_Dividers.empty()) return;
  Dividers[divider].Sub_Dividers.clear();
  if (Laid_Out) Layout_Sub_Dividers(divider);
}

void Divided_Notebook::Remove_All() {
  Dividers.clear();
  Selected_Divider = Selected_Sub = 0;
}

Notebook_Divider* Divided_Notebook::Get_Entry(uint32_t divider, uint32_t sub) {
  if (divider >= Dividers.size()) return nullptr;
  Notebook_Divider& d = Dividers[divider];
  if (d.Sub_Dividers.empty()) return &d;
  return sub < d.Sub_Dividers.size() ? &d.Sub_Dividers[sub] : nullptr;
}

void Divided_Notebook::Draw_Tab(const Notebook_Divider& entry, bool selected) {
  const TBitmap* look = selected ? entry.Selected_Look.get() : entry.Normal_Look.get();
  if (!look || !IsWindow()) return;
  TClientDC dc(*this);
  dc.SelectObject(*The_GUI_Colors->Palette);
  dc.RealizePalette();
  TMemoryDC source(*look);
  dc.BitBlt(entry.Rect, source, TPoint(0, 0));
}

void Divided_Notebook::Select(uint32_t divider, uint32_t sub) {
  if (divider == Selected_Divider && sub == Selected_Sub) return;
  Notebook_Divider* old_entry = Get_Entry(Selected_Divider, Selected_Sub);
  Notebook_Divider* new_entry = Get_Entry(divider, sub);
  if (old_entry) Draw_Tab(*old_entry, false);
  if (new_entry) Draw_Tab(*new_entry, true);
  Selected_Divider = divider;
  Selected_Sub = sub;
  if (new_entry) Selection_Changed(divider, sub, new_entry->Data);
}

void Divided_Notebook::Selection_Changed(uint32_t divider, uint32_t sub, uint32_t data) {
  const WPARAM wp = (WPARAM(uint16_t(divider)) << 8) | WPARAM(uint16_t(sub));
  if (Parent) Parent->PostMessage(Tab_Selected_Message, wp, LPARAM(data));
}

void Divided_Notebook::Paint(TDC& dc, bool, TRect&) {
  dc.SelectObject(*The_GUI_Colors->Palette);
  dc.RealizePalette();
  dc.SelectObject(*The_GUI_Colors->Scheme_Brush_0);
  dc.PatBlt(Client_Rect, PATCOPY);
  const TRect& c = Client_Rect;
  const int x = c.right - Tab_Width + Tab_Width / 8;
  Line(dc, 49, {{c.left, c.bottom}, {c.left, c.top}, {x, c.top}});
  Line(dc, 38, {{x, c.top}, {x, c.bottom - 1}, {c.left, c.bottom - 1}});
  auto copy = [&](const Notebook_Divider& entry, bool selected) {
    const TBitmap* look = selected ? entry.Selected_Look.get() : entry.Normal_Look.get();
    if (!look) return;
    TMemoryDC source(*look);
    dc.BitBlt(entry.Rect, source, TPoint(0, 0));
  };
  for (uint32_t i = 0; i < Dividers.size(); ++i) {
    const Notebook_Divider& d = Dividers[i];
    if (d.Sub_Dividers.empty()) {
      copy(d, i == Selected_Divider);
      continue;
    }
    for (uint32_t j = 0; j < d.Sub_Dividers.size(); ++j)
      copy(d.Sub_Dividers[j], i == Selected_Divider && j == Selected_Sub);
  }
}

void Divided_Notebook::EvLButtonDown(UINT, const TPoint& point) {
  for (uint32_t i = 0; i < Dividers.size(); ++i) {
    const Notebook_Divider& d = Dividers[i];
    if (!d.Rect.Contains(point)) continue;
    if (d.Sub_Dividers.empty()) {
      if (Can_Select(i, 0)) Select(i, 0);
      return;
    }
    for (uint32_t j = 0; j < d.Sub_Dividers.size(); ++j) {
      if (!d.Sub_Dividers[j].Rect.Contains(point)) continue;
      if (Can_Select(i, j)) Select(i, j);
      return;
    }
    return;  // a gap between sub-tabs
  }
}
