#include "workspace/color_step_control.h"

#include <algorithm>
#include <climits>
#include <memory>
#include <string>

#include "model/gui_colors.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/brush.h"
#include "platform/gdi/font.h"
#include "platform/gdi/memory_dc.h"
#include "platform/gdi/pen.h"
#include "platform/window/command_enabler.h"
#include "platform/window/window_dc.h"
#include "toolkit/arrow_button.h"
#include "toolkit/ext_edit.h"
#include "toolkit/gui_sizes.h"
#include "toolkit/toolkit_messages.h"
#include "toolkit/program_messages.h"

namespace {

TColor Scheme(int index) { return The_GUI_Colors->Scheme[size_t(index)]; }

// The frame of a selected cell: drawn inside the cell's edge.
TPen Frame_Pen(int width, TColor color) {
  TLog_Brush brush;
  brush.lbStyle = BS_SOLID;
  brush.lbColor = color;
  return TPen(PS_GEOMETRIC | PS_INSIDEFRAME, width, brush);
}

}  // namespace

Color_Step_Control::Color_Step_Control(TWindow* parent, const TRect& rect) : TWindow(parent, "Color Step Window") {
  Attr.Style = WS_CHILD | WS_VISIBLE;
  Attr.Id = Window_Id;
  Attr.Set_Rect(rect);
  Client_Rect = TRect(0, 0, rect.Width(), rect.Height());
  const int w = Client_Rect.Width(), h = Client_Rect.Height();
  const int s = (*The_GUI_Sizes)[29];
  Frame_Width = s;
  Cell_Width = (w - h - s) / 6;
  Cell_Height = h;
  for (int i = 0; i < 5; ++i) Cells[size_t(i)] = TRect(i * Cell_Width, 0, (i + 1) * Cell_Width, h);
  const int custom_left = 5 * Cell_Width + s;
  Custom_Cell = TRect(custom_left, 0, custom_left + Cell_Width + Cell_Width / 3, h);

  const int side = (h - s) / 2;
  const int arrows_left = Custom_Cell.right + s;
  Up_Button = new Arrow_Button(this, Up_Id, TRect(arrows_left, 0, arrows_left + 2 * side, side), Arrow_Kind_Up, 1,
                               Repeat_Ms, this);
  Down_Button = new Arrow_Button(this, Down_Id, TRect(arrows_left, h - side, arrows_left + 2 * side, h),
                                 Arrow_Kind_Down, 1, Repeat_Ms, this);
  const TRect field(Custom_Cell.left + s, Custom_Cell.top + s, Custom_Cell.right - s, Custom_Cell.bottom - s);
  Step_Field = new Number_Edit<int>(this, Field_Id, field, 0, 0, INT_MAX, nullptr, Ext_Key_F1, 0);
}

Color_Step_Control::~Color_Step_Control() = default;

void Color_Step_Control::SetupWindow() {
  TWindow::SetupWindow();
  Step_Field->EnableWindow(false);
  Step_Field->ShowWindow(SW_HIDE);
  Field_Shown = false;
}

int32_t Color_Step_Control::Step() const {
  if (Selected < Custom) return Selected;
  int value = 0;
  if (!Step_Field->Get_Value(value) || value < 0) return 0;
  return value;
}

void Color_Step_Control::Select_Cell(int32_t step) {
  // A negative step has no cell: it shows as no selection.
  const int32_t cell = step < 0 ? No_Cell : std::min<int32_t>(step, Custom);
  if (cell != Selected) {
    if (Selected != No_Cell) Show_Cell(Selected, false);
    if (Selected == Custom) {
      Step_Field->EnableWindow(false);
      Step_Field->ShowWindow(SW_HIDE);
      Field_Shown = false;
    }
    if (cell != No_Cell) Show_Cell(cell, true);
    if (cell == Custom) {
      Step_Field->EnableWindow(true);
      Step_Field->ShowWindow(SW_SHOW);
      Step_Field->SetFocus();
      Field_Shown = true;
    }
    Selected = cell;
  }
  if (Field_Shown) Step_Field->Set_Value(step);
}

void Color_Step_Control::Up() {
  // The largest step stays where it is rather than wrapping negative.
  const int32_t step = Step();
  if (step < INT32_MAX) Select_Cell(step + 1);
}

void Color_Step_Control::Down() {
  const int32_t step = Step();
  if (step > 0) Select_Cell(step - 1);
}

void Color_Step_Control::EvLButtonDown(UINT, const TPoint& point) {
  if (Selected == No_Cell) return;
  for (int i = 0; i < 5; ++i)
    if (Cells[size_t(i)].Contains(point)) {
      Select_Cell(i);
      return;
    }
  if (Custom_Cell.Contains(point) && !Field_Shown) Select_Cell(Custom);
}

LRESULT Color_Step_Control::EvCommand(UINT id, HWND control, UINT notify_code) {
  const bool step = notify_code == Arrow_Button_Pressed || notify_code == Arrow_Button_Repeat;
  switch (id) {
    case Up_Id:
      if (step) Up();
      return 0;
    case Down_Id:
      if (step) Down();
      return 0;
    default:
      return TWindow::EvCommand(id, control, notify_code);
  }
}

void Color_Step_Control::EvCommandEnable(TCommandEnabler& enabler) {
  switch (enabler.GetId()) {
    case Up_Id: enabler.Enable(Selected != No_Cell); return;
    case Down_Id: enabler.Enable(Selected >= 1); return;
    default: TWindow::EvCommandEnable(enabler);
  }
}

const TBrush* Color_Step_Control::EvCtlColor(TDC& dc, HWND child, UINT ctl_type) {
  if (child != Step_Field->GetHandle()) return TWindow::EvCtlColor(dc, child, ctl_type);
  static const TBrush white(TColor::White);
  dc.SetTextColor(TColor(0, 0, 255));
  dc.SetBkColor(TColor::White);
  return &white;
}

LRESULT Color_Step_Control::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == Ext_Key_Message) {
    if (wp == VK_F1 && Parent) Parent->PostMessage(Help_Request_Message);
    return 0;
  }
  return TWindow::WindowProc(msg, wp, lp);
}

bool Color_Step_Control::EvEraseBkgnd(TDC&) { return true; }

void Color_Step_Control::Paint(TDC& dc, bool, TRect&) {
  dc.SelectObject(*The_GUI_Colors->Palette);
  dc.FillRect(Client_Rect, *The_GUI_Colors->Scheme_Brush_0);
  for (int i = 0; i < 5; ++i) Draw_Cell(dc, i, i == Selected);
  Draw_Custom_Frame(dc, Selected == Custom);
}

void Color_Step_Control::Show_Cell(int cell, bool selected) {
  if (!GetHandle()) return;
  TClientDC dc(*this);
  if (cell == Custom)
    Draw_Custom_Frame(dc, selected);
  else
    Draw_Cell(dc, cell, selected);
}

void Color_Step_Control::Draw_Cell(TDC& dc, int cell, bool selected) const {
  const TRect& place = Cells[size_t(cell)];
  TBitmap picture(place.Width(), place.Height());
  TMemoryDC mdc(picture);
  mdc.SelectObject(*The_GUI_Colors->Palette);
  const TRect whole(0, 0, place.Width(), place.Height());
  mdc.FillRect(whole, TBrush(Scheme(6 + cell)));
  if (selected) {
    mdc.SelectObject(Frame_Pen(Frame_Width, Scheme(3)));
    mdc.SelectObject(TBrush::Null());
    mdc.Rectangle(whole);
  }
  mdc.SelectObject(TFont("MS Sans Serif", Cell_Height * 2 / 3, FW_NORMAL));
  TText_Metrics metrics;
  mdc.GetTextMetrics(metrics);
  mdc.SetBkMode(TRANSPARENT);
  mdc.SetTextColor(Scheme(0));
  mdc.SetTextAlign(TA_CENTER | TA_TOP);
  mdc.TextOut(whole.Width() / 2, Cell_Height / 2 - metrics.height / 2, std::to_string(cell));
  dc.BitBlt(place, mdc, TPoint(0, 0), SRCCOPY);
  mdc.RestoreObjects();
}

void Color_Step_Control::Draw_Custom_Frame(TDC& dc, bool selected) const {
  dc.SelectObject(Frame_Pen(Frame_Width, selected ? Scheme(3) : Scheme(0)));
  dc.SelectObject(TBrush::Null());
  dc.Rectangle(Custom_Cell);
  dc.RestoreObjects();
}
