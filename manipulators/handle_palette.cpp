#include "manipulators/handle_palette.h"

#include <cfloat>

#include "toolkit/program_messages.h"
#include "model/gui_colors.h"
#include "platform/gdi/memory_dc.h"
#include "platform/window/user.h"
#include "platform/window/window_dc.h"
#include "toolkit/mouse.h"

namespace {

constexpr uint32_t Bit(int32_t code) { return 1u << (code - 1); }

}  // namespace

Handle_Palette::Handle_Palette(TWindow* editor) : TWindow(nullptr, "Handle Palette"), Editor(editor) {
  Attr.Style = WS_POPUP | WS_DISABLED;
  Attr.ExStyle = WS_EX_TOPMOST;
  const int hs = Edit_Handle::Size();
  Attr.W = hs + 4;
  Attr.H = 2 * hs + 4;
  for (int i = 0; i < Cell_Count; ++i)
    Cells[size_t(i)] = TRect(TPoint(2 + (i / 2) * hs, 2 + (i % 2) * hs), TSize(hs, hs));
  Handles[0] = std::make_unique<Anchor>();
  Handles[1] = std::make_unique<Two_Degree_Handle>();
  Handles[2] = std::make_unique<One_Degree_Handle>(3, 0.0f);
  Handles[3] = std::make_unique<One_Degree_Handle>(4, FLT_MAX);
  Handles[8] = std::make_unique<Flip_Handle>(9, 0.0f);
  Handles[9] = std::make_unique<Flip_Handle>(10, FLT_MAX);
}

Handle_Palette::~Handle_Palette() = default;

void Handle_Palette::SetupWindow() {
  TWindow::SetupWindow();
  for (auto& handle : Handles)
    if (handle) handle->Make_Pictures();
}

Edit_Handle* Handle_Palette::Handle_Of(int32_t code) const {
  return code >= 1 && code <= Code_Count ? Handles[size_t(code - 1)].get() : nullptr;
}

float Handle_Palette::Slope_Of(int32_t code) const {
  if (auto* h = dynamic_cast<One_Degree_Handle*>(Handle_Of(code))) return h->Slope;
  if (auto* h = dynamic_cast<Flip_Handle*>(Handle_Of(code))) return h->Slope;
  return -1.0f;
}

// ---- Showing

void Handle_Palette::Show(TPoint at, uint32_t offered, uint32_t enabled) {
  // An axis that lies level or upright needs only one of the two arrows
  // along it: the axis arrow when it may be chosen, else the plain one.
  for (int32_t code : {5, 6}) {
    if (!(offered & Bit(code)) || !Handle_Of(code)) continue;
    const float slope = Slope_Of(code);
    const int32_t plain = slope == 0.0f ? 3 : slope == FLT_MAX ? 4 : 0;
    if (plain == 0) continue;
    offered &= ~((enabled & Bit(code)) ? Bit(plain) : Bit(code));
  }
  Shown.fill(nullptr);
  Enabled.fill(false);
  Shown_Count = 0;
  for (int32_t code = 1; code <= Code_Count && Shown_Count < Cell_Count; ++code) {
    Edit_Handle* handle = Handle_Of(code);
    if (!(offered & Bit(code)) || !handle) continue;
    handle->Make_Pictures();
    Shown[size_t(Shown_Count)] = handle;
    Enabled[size_t(Shown_Count)] = (enabled & Bit(code)) != 0;
    ++Shown_Count;
  }
  Hover = -1;
  const int hs = Edit_Handle::Size();
  SetWindowPos(HWND_TOPMOST, at.x, at.y, hs * std::max(Columns(), 1) + 4, 2 * hs + 4, 0);
  EnableWindow(true);
  ShowWindow(SW_SHOW);
  Invalidate(false);
  UpdateWindow();
  if (The_Mouse) The_Mouse->Capture(this);
  Previous_Focus = SetFocus();
}

void Handle_Palette::Close(int32_t cell) {
  Edit_Handle* chosen = cell >= 0 && cell < Shown_Count ? Shown[size_t(cell)] : nullptr;
  Shown.fill(nullptr);
  Shown_Count = 0;
  Hover = -1;
  ShowWindow(SW_HIDE);
  EnableWindow(false);
  if (The_Mouse) The_Mouse->Release(this);
  if (Previous_Focus) ::SetFocus(Previous_Focus);
  Previous_Focus = HWND();
  if (Editor && Editor->IsWindow())
    Editor->PostMessage(Handle_Chosen_Message, WPARAM(chosen ? chosen->Code : 0), LPARAM(chosen));
}

// ---- Handles that follow the selection

void Handle_Palette::Replace(int32_t code, std::unique_ptr<Edit_Handle> handle, bool redraw) {
  if (redraw && handle) handle->Make_Pictures();
  Handles[size_t(code - 1)] = std::move(handle);
}

void Handle_Palette::Set_Axis_Slopes(float x_slope, float y_slope, bool redraw) {
  auto follow = [&](float slope, int32_t code, int32_t other) {
    if (!Handle_Of(code) || Slope_Of(code) == slope) return;
    if (Handle_Of(other) && Slope_Of(other) == slope) {
      // The axes traded places: trade the handles, arrows and flips alike.
      for (int32_t base : {0, 6}) {
        std::swap(Handles[size_t(code + base - 1)], Handles[size_t(other + base - 1)]);
        if (Handle_Of(code + base)) Handle_Of(code + base)->Code = code + base;
        if (Handle_Of(other + base)) Handle_Of(other + base)->Code = other + base;
      }
      return;
    }
    Handles[size_t(code - 1)].reset();
    Handles[size_t(code + 6 - 1)].reset();
  };
  follow(x_slope, 5, 6);
  follow(y_slope, 6, 5);
  if (!Handle_Of(5)) Replace(5, std::make_unique<One_Degree_Handle>(5, x_slope), redraw);
  if (!Handle_Of(11)) Replace(11, std::make_unique<Flip_Handle>(11, x_slope), redraw);
  if (!Handle_Of(6)) Replace(6, std::make_unique<One_Degree_Handle>(6, y_slope), redraw);
  if (!Handle_Of(12)) Replace(12, std::make_unique<Flip_Handle>(12, y_slope), redraw);
}

void Handle_Palette::Set_Rotation(float angle, bool redraw) {
  auto* current = dynamic_cast<Rotation_Handle*>(Handle_Of(7));
  if (current && current->Angle == angle) return;
  Replace(7, std::make_unique<Rotation_Handle>(angle), redraw);
}

void Handle_Palette::Set_Scale_Slope(float slope, bool redraw) {
  if (Handle_Of(8) && Slope_Of(8) == slope) return;
  Replace(8, std::make_unique<One_Degree_Handle>(8, slope), redraw);
}

// ---- Mouse and keys

int32_t Handle_Palette::Cell_At(TPoint p) const {
  const int hs = Edit_Handle::Size();
  const TRect client = GetClientRect();
  if (p.x < 2 || p.y < 2 || p.x >= client.right - 2 || p.y >= client.bottom - 2) return -1;
  const int row = std::min((p.y - 2) / hs, 1), column = std::min((p.x - 2) / hs, 3);
  const int cell = column * 2 + row;
  return cell < Shown_Count ? cell : -1;
}

void Handle_Palette::Move_Hover(int32_t cell) {
  if (cell == Hover) return;
  TClientDC dc(*this);
  if (The_GUI_Colors) dc.SelectObject(*The_GUI_Colors->Palette);
  if (Hover >= 0) Draw_Cell(dc, Hover, false);
  Hover = cell;
  if (Hover >= 0) Draw_Cell(dc, Hover, true);
}

void Handle_Palette::EvMouseMove(UINT, const TPoint& point) {
  if (Shown_Count > 0) Move_Hover(Cell_At(point));
}

void Handle_Palette::EvLButtonUp(UINT, const TPoint& point) {
  if (Shown_Count == 0) return;
  const int32_t cell = Cell_At(point);
  Move_Hover(cell);
  if (cell >= 0 && !Enabled[size_t(cell)]) return;
  Close(cell);
}

UINT Handle_Palette::EvGetDlgCode(const MSG*) { return DLGC_WANTALLKEYS | DLGC_WANTARROWS | DLGC_WANTCHARS; }

void Handle_Palette::EvKeyDown(UINT key, UINT repeat_count, UINT flags) {
  if (Shown_Count == 0) return;
  const int32_t last_column = Columns() - 1;
  const int32_t h = Hover;
  switch (key) {
    case VK_UP: Move_Hover(h < 0 ? std::min(1, Shown_Count - 1) : h % 2 == 1 ? h - 1 : h); break;
    case VK_DOWN: Move_Hover(h < 0 ? 0 : h % 2 == 0 && h + 1 < Shown_Count ? h + 1 : h); break;
    case VK_LEFT: Move_Hover(h < 0 ? last_column * 2 : h / 2 > 0 ? h - 2 : h); break;
    case VK_RIGHT:
      if (h < 0)
        Move_Hover(0);
      else if (h / 2 < last_column)
        Move_Hover(h + 2 < Shown_Count ? h + 2 : (h / 2 + 1) * 2);
      break;
    case VK_RETURN: Close(h >= 0 && Enabled[size_t(h)] ? h : -1); break;
    case VK_ESCAPE: Close(-1); break;
    default: TWindow::EvKeyDown(key, repeat_count, flags); break;
  }
}

// ---- Painting

void Handle_Palette::Draw_Cell(TDC& dc, int32_t cell, bool highlight) {
  Edit_Handle* handle = Shown[size_t(cell)];
  if (!handle) return;
  handle->Make_Pictures();
  const bool on = Enabled[size_t(cell)];
  const TBitmap* picture = highlight ? (on ? handle->Highlight_Picture : handle->Disabled_Highlight_Picture).get()
                                     : (on ? handle->Picture : handle->Disabled_Picture).get();
  if (!picture) return;
  TMemoryDC source(*picture);
  dc.BitBlt(Cells[size_t(cell)], source, TPoint(0, 0));
}

void Handle_Palette::Paint(TDC& dc, bool, TRect&) {
  if (!The_GUI_Colors) return;
  dc.SelectObject(*The_GUI_Colors->Palette);
  dc.RealizePalette();
  const TRect client = GetClientRect();
  dc.FillRect(client, *The_GUI_Colors->Scheme_Brush_0);
  dc.FrameRect(client, TBrush(TColor::Black));
  for (int32_t i = 0; i < Shown_Count; ++i) Draw_Cell(dc, i, i == Hover);
  if (Shown_Count % 2 == 1) dc.FillRect(Cells[size_t(Shown_Count)], *The_GUI_Colors->Scheme_Brush_0);
}
