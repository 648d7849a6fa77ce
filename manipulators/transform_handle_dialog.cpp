#include "manipulators/transform_handle_dialog.h"

#include <cfloat>
#include <cmath>

#include "manipulators/transform_manipulator.h"
#include "model/gui_colors.h"
#include "platform/gdi/brush.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/font.h"
#include "platform/gdi/pen.h"
#include "platform/window/window_dc.h"
#include "toolkit/round_border.h"

namespace {

constexpr double Pi = 3.141592653589793;

TColor Scheme(int index) { return The_GUI_Colors->Scheme[size_t(index)]; }

}  // namespace

Transform_Handle_Dialog::Transform_Handle_Dialog(TWindow* parent, Transform_Edit_Dialog* owner,
                                                 Transform_Manipulator& manipulator, const TRect& rect,
                                                 const TFont* label_font, const TFont* field_font)
    : Transform_Tab_Dialog(parent, owner, Window_Id, rect, label_font, field_font),
      Manipulator(manipulator),
      X_Picture(0.0f),
      Y_Picture(FLT_MAX),
      Angle_Picture(0.0f),
      Length_Picture(1.0f) {
  const int W = rect.Width(), T = Page_Size(31), s = Page_Size(29);
  const int pair_gap = 5 * T / 4 + 4;
  TRect field(W / 3, 2 * T + s, W / 3 + W / 2, 3 * T + s);
  X_Field = Add_Field(X_Id, field);
  Y_Field = Add_Field(Y_Id, field = field.Offset_By(0, pair_gap));
  DX_Field = Add_Field(DX_Id, field = field.Offset_By(0, 7 * T / 2));
  DY_Field = Add_Field(DY_Id, field = field.Offset_By(0, pair_gap));
  Angle_Field = Add_Field(Angle_Id, field = field.Offset_By(0, 2 * T));
  Length_Field = Add_Field(Length_Id, field = field.Offset_By(0, pair_gap));
}

void Transform_Handle_Dialog::Set_Transform(const Affine_Transform_2D* map) {
  if (!map) {
    Fields_Shown = false;
    Show_Target(false);
    Show_Relative(false);
    return;
  }
  const bool has_pin = Manipulator.Pin != -1, has_handle = Manipulator.Handle != -1;
  if (has_pin) {
    const Point_2D& u = Transform_Manipulator::Unit_Ring[size_t(Manipulator.Pin)];
    From_Point = map->Map_Point(u.x, u.y);
  }
  if (has_handle) {
    const Point_2D& u = Transform_Manipulator::Unit_Ring[size_t(Manipulator.Handle)];
    To_Point = map->Map_Point(u.x, u.y);
  }
  Applied_To_Point = To_Point;
  Fields_Shown = true;
  Writing = Writing_All;
  Refresh();
  Writing = -1;
  Show_Target(has_handle);
  Show_Relative(has_pin && has_handle);
}

void Transform_Handle_Dialog::Get_Transform(Affine_Transform_2D& map) {
  // Reading the page drags a copy of the manipulator: the editor's own
  // stays on the selected map until an apply is taken.
  Transform_Manipulator dragged = Manipulator;
  if (dragged.Handle != -1) dragged.Drag(To_Point.x, To_Point.y, false);
  map = dragged.Current_Map;
}

bool Transform_Handle_Dialog::Has_Changed() const {
  if (Manipulator.Handle == -1) return false;
  return To_Point.x != Applied_To_Point.x || To_Point.y != Applied_To_Point.y;
}

LRESULT Transform_Handle_Dialog::EvCommand(UINT id, HWND control, UINT notify_code) {
  if (notify_code == EN_CHANGE && int(id) >= X_Id && int(id) <= Length_Id) {
    Typed(int(id));
    return 0;
  }
  return Transform_Tab_Dialog::EvCommand(id, control, notify_code);
}

void Transform_Handle_Dialog::Typed(int id) {
  // The page's own writes raise change notices too.
  if (Writing != -1) return;
  const bool target = id == X_Id || id == Y_Id;
  if (target ? !Target_Shown : !Relative_Shown) return;
  Writing = id;
  float value = 0;
  Number_Edit<float>* field = static_cast<Number_Edit<float>*>(ChildWithId(id));
  if (field && field->Get_Value(value)) {
    const double dx = double(To_Point.x) - From_Point.x, dy = double(To_Point.y) - From_Point.y;
    const double r = std::sqrt(dx * dx + dy * dy);
    auto toward = [&](double length, double degrees) {
      const double t = degrees * Pi / 180.0;
      To_Point = {float(From_Point.x + length * std::cos(t)), float(From_Point.y + length * std::sin(t))};
    };
    switch (id) {
      case X_Id: To_Point.x = value; break;
      case Y_Id: To_Point.y = value; break;
      case DX_Id: To_Point.x = From_Point.x + value; break;
      case DY_Id: To_Point.y = From_Point.y + value; break;
      case Angle_Id: toward(r, value); break;
      case Length_Id:
        if (r > 0) {
          To_Point = {float(From_Point.x + dx * value / r), float(From_Point.y + dy * value / r)};
        } else {
          // On the pin there is no direction but the angle field's; one that
          // does not read counts as 0 degrees.
          float degrees = 0;
          if (!Angle_Field->Get_Value(degrees)) degrees = 0;
          toward(value, degrees);
        }
        break;
      default: break;
    }
    Refresh();
  }
  Writing = -1;
}

void Transform_Handle_Dialog::Refresh() {
  const float dx = To_Point.x - From_Point.x, dy = To_Point.y - From_Point.y;
  double angle = std::atan2(double(dy), double(dx)) * 180.0 / Pi;
  if (dx == 0 && dy == 0) angle = (double(Manipulator.Pin_Angle) + Manipulator.Rotation_Angle) * 180.0 / Pi;
  const float values[6] = {To_Point.x, To_Point.y, dx, dy, float(angle), std::sqrt(dx * dx + dy * dy)};
  Number_Edit<float>* fields[6] = {X_Field, Y_Field, DX_Field, DY_Field, Angle_Field, Length_Field};
  for (size_t i = 0; i < 6; ++i)
    if (fields[i]->GetId() != Writing) fields[i]->Set_Value(values[i]);
}

void Transform_Handle_Dialog::Show_Group(size_t first, size_t count, bool show) {
  for (size_t i = first; i < first + count; ++i) {
    Fields()[i]->ShowWindow(show ? SW_SHOW : SW_HIDE);
    Fields()[i]->EnableWindow(show);
  }
}

void Transform_Handle_Dialog::Show_Target(bool show) {
  if (show == Target_Shown) return;
  Target_Shown = show;
  Show_Group(0, 2, show);
  Repaint_Caption(false);
}

void Transform_Handle_Dialog::Show_Relative(bool show) {
  if (show == Relative_Shown) return;
  Relative_Shown = show;
  Show_Group(2, 4, show);
  Repaint_Caption(true);
}

// The caption and the pictures and bevels of one group.
TRect Transform_Handle_Dialog::Caption_Rect(bool relative) const {
  const auto& rects = Field_Rects();
  const int F = Page_Size(30);
  const TRect& first = rects[relative ? 2 : 0];
  const TRect& last = rects[relative ? 5 : 1];
  return TRect(0, first.top - 2 * F - 2, GetClientRect().Width(), last.bottom + 3);
}

void Transform_Handle_Dialog::Repaint_Caption(bool relative) {
  if (!IsWindow()) return;
  TClientDC dc(*this);
  dc.SelectObject(*The_GUI_Colors->Palette);
  dc.FillRect(Caption_Rect(relative), *The_GUI_Colors->Scheme_Brush_0);
  Paint_Caption(dc, relative, relative ? Relative_Shown : Target_Shown);
  dc.RestoreObjects();
}

void Transform_Handle_Dialog::Paint_Caption(TDC& dc, bool relative, bool shown) const {
  const int s = Page_Size(29), F = Page_Size(30), T = Page_Size(31), h = Page_Size(34);
  const TColor shadow = Scheme(shown ? 0 : 4), text = Scheme(shown ? 1 : 2);
  const auto& rects = Field_Rects();
  const int y = rects[relative ? 2 : 0].top - 2 * F;
  if (Label_Font) dc.SelectObject(*Label_Font);
  dc.SetBkMode(TRANSPARENT);
  dc.SetTextAlign(TA_LEFT | TA_TOP);
  const int line = dc.GetTextExtent("F").cy;
  const int middle = y + line / 2;
  // Each piece of text twice: the shadow one pixel right and down, then
  // the text in place.
  int x = s;
  auto write = [&](const char* piece) {
    dc.SetTextColor(shadow);
    dc.TextOut(x + 1, y + 1, piece);
    dc.SetTextColor(text);
    dc.TextOut(x, y, piece);
    x += dc.GetTextExtent(piece).cx;
  };
  auto picture = [&](const Edit_Handle& handle) {
    handle.Draw(dc, TPoint(x + h / 2 + 1, middle + 1), shadow);
    handle.Draw(dc, TPoint(x + h / 2, middle), text);
    x += h;
  };
  if (relative) {
    write("From ");
    picture(Pin_Picture);
    write(" to ");
  } else {
    write("From (0,0) to ");
  }
  // The handle itself: a square outline of a handle's size.
  for (int pass = 0; pass < 2; ++pass) {
    const TPen pen(pass == 0 ? shadow : text);
    dc.SelectObject(pen);
    dc.SelectObject(TBrush::Null());
    const int offset = pass == 0 ? 1 : 0;
    dc.Rectangle(TRect(x + offset, middle - h / 2 + offset, x + h + offset, middle - h / 2 + h + offset));
  }
  auto beside = [&](const Edit_Handle& handle, const TRect& field) {
    const TPoint centre(T, (field.top + field.bottom) / 2);
    handle.Draw(dc, TPoint(centre.x + 1, centre.y + 1), shadow);
    handle.Draw(dc, centre, text);
  };
  if (relative) {
    beside(X_Picture, rects[2]);
    beside(Y_Picture, rects[3]);
    beside(Angle_Picture, rects[4]);
    beside(Length_Picture, rects[5]);
  } else {
    beside(X_Picture, rects[0]);
    beside(Y_Picture, rects[1]);
  }
  dc.RestoreObjects();
  if (The_Round_Border)
    for (size_t i = relative ? 2 : 0; i < (relative ? 6u : 2u); ++i)
      The_Round_Border->Draw_Bevel_Inverse(dc, rects[i].Inflated_By(2, 2));
}

void Transform_Handle_Dialog::Paint(TDC& dc, bool, TRect&) {
  Fill_Background(dc);
  Paint_Caption(dc, false, Target_Shown);
  Paint_Caption(dc, true, Relative_Shown);
}
