// The editor's mouse: grabbing and dragging handles, turning a copy by its
// notch, the rubber band, the ruler grids, and selecting by click.
#include <cmath>

#include "manipulators/transform_edit_window.h"
#include "model/gui_colors.h"
#include "platform/window/cursor.h"
#include "platform/window/message_box.h"
#include "platform/window/user.h"
#include "toolkit/mouse.h"

namespace {

constexpr double Pi = 3.141592653589793;
constexpr UINT Shift_Key = 4;

float Round_To_Step(float v) { return float(std::floor(double(v) * 200.0 + 0.49999999) * 0.005); }

TRect Normalised(TPoint a, TPoint b) {
  return TRect(std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y));
}

}  // namespace

void Transform_Edit_Window::EvMouseMove(UINT keys, const TPoint& point) {
  if (Drag_DC)
    Client_Mouse_Move(keys, point);
  else
    Round_Window::EvMouseMove(keys, point);
}

// ---- Press

void Transform_Edit_Window::Client_Button_Down(UINT, const TPoint& point) {
  if (!Active || (The_Mouse && The_Mouse->Right_Button_Down)) return;
  Button_Down = true;
  Down_Point = point;
  const bool single = Selection.Count() == 0 && Selected_Image >= 0;
  int32_t position, frame;
  if ((single || Selection.Count() > 0) && Handle_At(point, position)) {
    Grabbed_Position = position;
    Take_Capture_Reason();
    return;
  }
  if (single && Notch_Hit(point)) {
    Record_Undo(Undo_Move);
    Begin_Notch_Drag();
    return;
  }
  if (Frame_Rects[3].Contains(point) && !Edit_Area.Contains(point) && Frame_Hit(point, frame)) {
    if (frame != Grid_Level) {
      Grid_Level = frame;
      Repaint_Client();
    }
    Pressed_On_Ruler = true;
    Take_Capture_Reason();
    return;
  }
  Take_Capture_Reason();
  Plain_Paint = true;
  Repaint_Client();
}

// ---- Move

Point_2D Transform_Edit_Window::Snapped_Unit_Point(TPoint p) const {
  Point_2D unit;
  const Point_2D free = View_Inverse.Map_Point(float(p.x), float(p.y));
  const int height = Frame_Rect.Height();
  const int row = height - p.y - 1;
  const int columns = int(Snap_Table.size());
  if (Client_Rect.Contains(p) && p.x >= 0 && p.x < columns && row >= 0 && row < columns) {
    unit.x = Snap_Table[size_t(p.x)];
    unit.y = Snap_Table[size_t(row)];
  } else {
    unit.x = Round_To_Step(free.x);
    unit.y = Round_To_Step(free.y);
  }
  return unit;
}

void Transform_Edit_Window::Draw_Feedback(const Affine_Transform_2D& erase, const Affine_Transform_2D& draw) {
  if (!Drag_DC) return;
  TDC& dc = *Drag_DC;
  if (Selection.Count() == 0 || Dragging_Notch) {
    Test_Shape.Draw_Outline(dc, erase, Edit_Area);
    Test_Shape.Draw_Outline(dc, draw, Edit_Area);
    return;
  }
  for (int32_t i = 0; i < Selection.Count(); ++i) {
    const auto* member = dynamic_cast<const Affine_Transform_2D*>(Selection.Map(i));
    if (!member) continue;
    Test_Shape.Draw_Outline(dc, Compose_Transforms(*member, erase), Edit_Area);
    Test_Shape.Draw_Outline(dc, Compose_Transforms(*member, draw), Edit_Area);
  }
  Draw_Group_Frame(dc, erase);
  Draw_Group_Frame(dc, draw);
}

void Transform_Edit_Window::Draw_Band() {
  if (!Drag_DC) return;
  Drag_DC->Rectangle(Band_Rect);
}

void Transform_Edit_Window::Client_Mouse_Move(UINT, const TPoint& point) {
  if (!Active) return;
  int32_t frame;
  if (Pressed_On_Ruler) {
    if (Frame_Hit(point, frame) && frame != Grid_Level) {
      Grid_Level = frame;
      Repaint_Client();
    }
    return;
  }
  Transform_Manipulator& tool = Manipulator_Tool;
  if (!Drag_DC) {
    if (!Button_Down) return;
    Band_Rect = Normalised(Down_Point, point);
    const int32_t code = Position_Code(Grabbed_Position);
    if (Grabbed_Position >= 0 && code != 0 && code != 1) {
      if (Band_Rect.Width() > 4 || Band_Rect.Height() > 4) {
        Clicked_Position = tool.Handle;
        Clicked_Kind = code;
        Record_Undo(Undo_Move);
        Give_Back_Capture_Reason();
        Begin_Handle_Drag(Grabbed_Position);
        if (code == 7) {
          Grab_Offset = TPoint(0, 0);
        } else {
          const Point_2D& q = tool.Ring_Points[size_t(Grabbed_Position)];
          const Point_2D p = View_Map.Map_Point(q.x, q.y);
          Grab_Offset = TPoint(int(std::lround(p.x)) - Down_Point.x, int(std::lround(p.y)) - Down_Point.y);
        }
      }
    } else if (Band_Rect.Width() > 8 || Band_Rect.Height() > 8) {
      Grabbed_Position = -1;
      Banding = true;
      Drag_DC = std::make_unique<TClientDC>(*this);
      Drag_DC->SelectObject(*The_GUI_Colors->Palette);
      Drag_DC->RealizePalette();
      Drag_DC->SelectObject(TPen(TColor::Black, 1, PS_DOT));
      Drag_DC->SetBkMode(TRANSPARENT);
      Drag_DC->SelectStockObject(NULL_BRUSH);
      Drag_DC->SetROP2(R2_NOTXORPEN);
      Draw_Band();
    }
    return;
  }
  if (Dragging_Handle) {
    const Point_2D unit = Snapped_Unit_Point(point + Grab_Offset);
    tool.Drag(unit.x, unit.y, true);
    Draw_Feedback(tool.Previous_Map, tool.Current_Map);
    if (Dialog) Dialog->Update_Transform(tool.Current_Map);
    if (tool.Handle_Code == 7 && tool.Pin >= 0) {
      const Point_2D pointer = View_Inverse.Map_Point(float(point.x), float(point.y));
      const Point_2D& pin = tool.Ring_Points[size_t(tool.Pin)];
      const double angle = std::atan2(double(pointer.y - pin.y), double(pointer.x - pin.x));
      const float rounded = float(std::floor(angle * 18.0 / Pi + 0.49999999) * Pi / 18.0);
      if (rounded != Rotation_Cursor_Angle) {
        Rotation_Cursor_Angle = rounded;
        Palette->Set_Rotation(rounded, true);
        if (Edit_Handle* mark = Palette->Handle_Of(7)) Set_Drag_Cursor(mark->Make_Cursor());
      }
    }
  } else if (Dragging_Notch) {
    const Point_2D unit = View_Inverse.Map_Point(float(point.x), float(point.y));
    tool.Flip_To_Octant(unit.x, unit.y);
    if (!tool.Current_Map.Equals(tool.Previous_Map)) {
      Draw_Feedback(tool.Previous_Map, tool.Current_Map);
      if (Dialog) Dialog->Update_Transform(tool.Current_Map);
      Set_Drag_Cursor(Notch_Handle(tool.Current_Map).Make_Cursor());
    }
  } else if (Banding) {
    Draw_Band();
    Band_Rect = Normalised(Down_Point, point);
    Draw_Band();
  }
}

// ---- Release

void Transform_Edit_Window::End_Drag_Display() {
  const bool dragging = Dragging_Handle || Dragging_Notch;
  Dragging_Handle = Dragging_Notch = Banding = false;
  Drag_DC.reset();
  if (!dragging) return;
  SetCursor(nullptr);
  ::SetCursor(&TCursor::Arrow());
  Refresh_Hover();
  Drag_Cursor.reset();
}

void Transform_Edit_Window::End_Handle_Drag() {
  Transform_Manipulator& tool = Manipulator_Tool;
  const bool group = Selection.Count() > 0;
  End_Drag_Display();
  if (!group) {
    Affine_Transform_2D* image = Image(Selected_Image);
    if (image && Is_Visible(tool.Current_Map)) {
      *image = tool.Current_Map;
      tool.Set_Transform(*image);
      Show_Dialog_Map(image);
      Place_Handles();
    } else {
      MessageBox("You have attempted to moved the copy completely out\nof the visible area.  This is not allowed.\n",
                 "Move", MB_OK);
      if (image) tool.Set_Transform(*image);
      Show_Dialog_Map(image);
      Drop_Last_Undo();
    }
    return;
  }
  Transform_Set_2D moved;
  bool visible = true;
  for (int32_t i = 0; i < Selection.Count() && visible; ++i) {
    const auto& member = static_cast<const Affine_Transform_2D&>(*Selection.Map(i));
    const Affine_Transform_2D m = Compose_Transforms(member, tool.Current_Map);
    visible = Is_Visible(m);
    moved.Add_Map(m.Clone());
  }
  if (!visible) {
    MessageBox("You have attempted to moved one or more copies completely\nout of the visible area.  This is not allowed.\n",
               "Move", MB_OK);
    // The group as it stood: every image not left unselected.
    Transform_Set_2D rest = Unselected;
    Selection.Clear();
    for (int32_t i = 0; i < Image_Count(); ++i) {
      const int32_t found = rest.Find(*Image(i));
      if (found >= 0)
        rest.Take_Out(found);
      else
        Selection.Add_Map(Image(i)->Clone());
    }
    Unselected.Clear();
    tool.Set_Transform(Group_Frame);
    Show_Dialog_Map(&Group_Frame);
    Drop_Last_Undo();
    return;
  }
  Transform_Set_2D images = Unselected;
  for (int32_t i = 0; i < moved.Count() && images.Count() < Transform_Set_2D::Max_Maps; ++i)
    images.Add_Map(moved.Map(i)->Clone());
  *Manipulator = images;
  Selection = moved;
  Unselected.Clear();
  Group_Frame = tool.Current_Map;
  Group_Frame_Inverse = Affine_Transform_2D::Inverse(Group_Frame);
  tool.Set_Transform(Group_Frame);
  Show_Dialog_Map(&Group_Frame);
  Place_Handles();
  Refresh_Corner_Buttons();
}

void Transform_Edit_Window::End_Notch_Drag() {
  End_Drag_Display();
  Transform_Manipulator& tool = Manipulator_Tool;
  if (Affine_Transform_2D* image = Image(Selected_Image)) {
    *image = tool.Current_Map;
    tool.Set_Transform(*image);
    Show_Dialog_Map(image);
  }
  Place_Handles();
}

void Transform_Edit_Window::End_Band() {
  const TRect band = Band_Rect;
  End_Drag_Display();
  Selection.Clear();
  Images_In_Rect(band, Selection);
  if (Selection.Count() > 0) {
    Compute_Group_Frame();
    Selected_Image = -1;
    Select_Map(&Group_Frame);
  }
}

void Transform_Edit_Window::Click(UINT keys, TPoint point) {
  int32_t hit = -1;
  const bool found = Image_At(point, hit);
  if (!(keys & Shift_Key)) {
    if ((hit != Selected_Image || Selection.Count() > 0 || !found) && Confirm_Dialog_Changes() != IDCANCEL) {
      if (found && hit == Selected_Image && Selection.Count() == 0) return;
      Selection.Clear();
      if (found) {
        Manipulator->Move_To_End(hit);
        Selected_Image = Image_Count() - 1;
      } else {
        Selected_Image = -1;
      }
      Select_Map(found ? Image(Selected_Image) : nullptr);
    }
    return;
  }
  if (!found) return;
  if (Selected_Image >= 0 && Selected_Image != hit && Image(Selected_Image)) Toggle_Selected(*Image(Selected_Image));
  Selected_Image = -1;
  Toggle_Selected(*Image(hit));
  if (Selection.Count() > 0) Compute_Group_Frame();
  Select_Map(Selection.Count() > 0 ? &Group_Frame : nullptr);
}

void Transform_Edit_Window::Client_Button_Up(UINT keys, const TPoint& point) {
  if (!Active || !Button_Down) return;
  Button_Down = false;
  Give_Back_Capture_Reason();
  if (Pressed_On_Ruler) {
    Pressed_On_Ruler = false;
    return;
  }
  const bool was_plain = Plain_Paint;
  Plain_Paint = false;
  if (!Drag_DC) {
    if (Grabbed_Position >= 0) {
      const int32_t grabbed = Grabbed_Position;
      Grabbed_Position = -1;
      int32_t position;
      if (Handle_At(point, position) && position == grabbed) {
        Clicked_Position = Manipulator_Tool.Handle;
        Clicked_Kind = Position_Code(grabbed);
        Pick_Handle(grabbed);
      }
      return;
    }
    Click(keys, point);
  } else if (Dragging_Handle) {
    End_Handle_Drag();
  } else if (Dragging_Notch) {
    End_Notch_Drag();
  } else if (Banding) {
    End_Band();
  }
  (void)was_plain;
  Repaint_Client();
  if (Selected_Image >= 0 || Selection.Count() > 0) Axis_Slopes_To_Palette();
}
