#include "manipulators/transform_tab_dialog.h"

#include <cfloat>

#include "manipulators/transform_edit_dialog.h"
#include "model/gui_colors.h"
#include "platform/gdi/brush.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/font.h"
#include "toolkit/ext_edit.h"
#include "toolkit/gui_sizes.h"
#include "toolkit/program_messages.h"
#include "toolkit/round_border.h"
#include "toolkit/toolkit_messages.h"

int Page_Size(int index) { return (*The_GUI_Sizes)[index]; }

Transform_Tab_Dialog::Transform_Tab_Dialog(TWindow* parent, Transform_Edit_Dialog* owner, int id, const TRect& rect,
                                           const TFont* label_font, const TFont* field_font)
    : TWindow(parent), Owner(owner), Label_Font(label_font), Field_Font(field_font) {
  Attr.Style = WS_CHILD | WS_VISIBLE;
  Attr.Id = id;
  Attr.Set_Rect(rect);
}

Number_Edit<float>* Transform_Tab_Dialog::Add_Field(int id, const TRect& rect) {
  auto* field = new Number_Edit<float>(this, id, rect, 0.0f, -FLT_MAX, FLT_MAX, nullptr, Ext_Key_F1, 0);
  Field_List.push_back(field);
  Rects.push_back(rect);
  return field;
}

void Transform_Tab_Dialog::SetupWindow() {
  TWindow::SetupWindow();
  for (Number_Edit<float>* field : Field_List) {
    field->ShowWindow(SW_HIDE);
    if (Field_Font) field->SetFont(*Field_Font, false);
  }
}

void Transform_Tab_Dialog::Show_Page() {
  EnableWindow(true);
  ShowWindow(SW_SHOW);
}

void Transform_Tab_Dialog::Hide_Page() {
  EnableWindow(false);
  ShowWindow(SW_HIDE);
}

void Transform_Tab_Dialog::Show_Fields(bool show) {
  if (show == Fields_Shown) return;
  for (Number_Edit<float>* field : Field_List) {
    field->ShowWindow(show ? SW_SHOW : SW_HIDE);
    field->EnableWindow(show);
  }
  Fields_Shown = show;
  Invalidate();
}

bool Transform_Tab_Dialog::Has_Out_Of_Range_Field() const {
  for (const Number_Edit<float>* field : Field_List)
    if (field->IsWindowVisible() && field->Is_Out_Of_Range()) return true;
  return false;
}

const TBrush* Transform_Tab_Dialog::EvCtlColor(TDC& dc, HWND child, UINT ctl_type) {
  static const TBrush white(TColor::White);
  for (const Number_Edit<float>* field : Field_List)
    if (field->GetHandle() == child) {
      dc.SetTextColor(TColor(0, 0, 255));
      dc.SetBkColor(TColor::White);
      return &white;
    }
  return TWindow::EvCtlColor(dc, child, ctl_type);
}

LRESULT Transform_Tab_Dialog::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == Ext_Key_Message) {
    if (wp == VK_F1 && Owner) Owner->PostMessage(Help_Request_Message);
    return 0;
  }
  return TWindow::WindowProc(msg, wp, lp);
}

void Transform_Tab_Dialog::Fill_Background(TDC& dc) const {
  dc.SelectObject(*The_GUI_Colors->Palette);
  dc.FillRect(GetClientRect(), *The_GUI_Colors->Scheme_Brush_0);
}

void Transform_Tab_Dialog::Draw_Field_Bevels(TDC& dc) const {
  if (!The_Round_Border) return;
  for (const TRect& r : Rects) The_Round_Border->Draw_Bevel_Inverse(dc, r.Inflated_By(2, 2));
}

TColor Transform_Tab_Dialog::Caption_Color() const { return The_GUI_Colors->Scheme[Fields_Shown ? 1 : 2]; }
