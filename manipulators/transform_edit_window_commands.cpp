// The editor's selection, handle placement and choice, commands, dialog
// hooks and undo history.
#include <algorithm>
#include <cfloat>
#include <cmath>

#include "manipulators/transform_edit_window.h"
#include "model/gui_colors.h"
#include "platform/gdi/memory_dc.h"
#include "platform/window/desktop.h"
#include "platform/window/message_box.h"
#include "platform/window/user.h"
#include "toolkit/mouse.h"

namespace {

// Handle kinds by position class, by class and pin relation, and those
// never offered at a ring position (bit k-1 stands for kind k).
constexpr uint32_t Kinds_By_Class[3] = {0xFF, 0xC7F, 0xF};
constexpr uint32_t Kinds_By_Relation[3][4] = {{0xF, 0x71, 0xC1, 0xC1}, {0xF, 0x41, 0xC7F, 0xC7F}, {0xF, 0x0, 0x0, 0x1}};
constexpr uint32_t Kinds_Excluded[9] = {0, 0x800, 0, 0x400, 0, 0x800, 0, 0x400, 0};
const char* const Undo_Kind_Names[7] = {"", "Add", "Duplicate", "Delete", "Move", "Reset", "Apply"};

constexpr Point_2D Unit_Corners[4] = {{0.0f, 0.0f}, {1.0f, 0.0f}, {1.0f, 1.0f}, {0.0f, 1.0f}};

// The smallest side a group's frame is given, so that a group lying on one
// line (or one point) still has a frame that can be inverted.
constexpr float Least_Group_Side = 0.01f;

constexpr int32_t Clamp_Limit = 32700;

uint32_t Allowed_Kinds(int32_t position, int32_t relation) {
  const int32_t cls = Transform_Manipulator::Position_Class(position);
  if (cls > 2 || relation < 0 || relation > 3) return 0;
  return Kinds_By_Relation[cls][relation] & ~Kinds_Excluded[position];
}

TRect Clamped_Rect(TRect r) {
  if (r.left < -Clamp_Limit) r.left = r.right = -Clamp_Limit;
  if (r.right > Clamp_Limit) r.left = r.right = Clamp_Limit;
  if (r.top < -Clamp_Limit) r.top = r.bottom = -Clamp_Limit;
  if (r.bottom > Clamp_Limit) r.top = r.bottom = Clamp_Limit;
  return r;
}

bool Overlap(const TRect& a, const TRect& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

float Slope_Of(const Point_2D& direction) { return direction.x == 0.0f ? FLT_MAX : direction.y / direction.x; }

}  // namespace

Affine_Transform_2D* Transform_Edit_Window::Image(int32_t index) const {
  if (index < 0 || index >= Manipulator->Count()) return nullptr;
  return dynamic_cast<Affine_Transform_2D*>(Manipulator->Map(index));
}

// ---- Hit tests

bool Transform_Edit_Window::Image_At(TPoint point, int32_t& index) const {
  for (int32_t i = 0; i < Image_Count(); ++i)
    if (Image(i) && Test_Shape.Hit_Test(*Image(i), Edit_Area, point)) {
      index = i;
      return true;
    }
  return false;
}

bool Transform_Edit_Window::Handle_At(TPoint p, int32_t& position) const {
  for (int32_t i = 0; i < 9; ++i) {
    const TRect& r = Handle_Rects[size_t(i)];
    if (r.left <= p.x && p.x < r.right && r.top <= p.y && p.y < r.bottom) {
      position = i;
      return true;
    }
  }
  return false;
}

bool Transform_Edit_Window::Notch_Hit(TPoint point) const {
  const TRect& box = Handle_Rects[9];
  if (box.Width() > Edit_Area.Width() || box.Height() > Edit_Area.Height()) return false;
  return TRegion::Polygon(Notch_Screen.data(), 3, TFill_Rule::Alternate).Contains(point);
}

bool Transform_Edit_Window::Frame_Hit(TPoint point, int32_t& frame) const {
  for (int32_t i = 0; i < 4; ++i) {
    if (!Frame_Rects[size_t(i)].Contains(point)) continue;
    frame = i;
    bool on_strip = false;
    for (const TRect& s : Strip_Rects) on_strip = on_strip || s.Contains(point);
    int32_t image;
    return on_strip && !Image_At(point, image);
  }
  return false;
}

bool Transform_Edit_Window::Images_In_Rect(const TRect& rect, Transform_Set_2D& out) const {
  for (int32_t i = 0; i < Image_Count() && out.Count() < Transform_Set_2D::Max_Maps; ++i) {
    const Affine_Transform_2D m = Compose_Transforms(*Image(i), View_Map);
    bool inside = true;
    for (const Point_2D& c : Unit_Corners) {
      const TPoint p = Point_To_Int_Clamped(m.Map_Point(c.x, c.y));
      inside = inside && rect.left <= p.x && p.x < rect.right && rect.top <= p.y && p.y < rect.bottom;
    }
    if (inside) out.Add_Map(Image(i)->Clone());
  }
  return out.Count() > 0;
}

// ---- Selection

void Transform_Edit_Window::Toggle_Selected(const Affine_Transform_2D& map) {
  const int32_t found = Selection.Find(map);
  if (found >= 0)
    Selection.Take_Out(found);
  else
    Selection.Add_Map(map.Clone());
}

void Transform_Edit_Window::Compute_Group_Frame() {
  Group_Frame = Group_Frame_Inverse = Affine_Transform_2D();
  if (Selection.Count() == 0) return;
  float min_x = 0, min_y = 0, max_x = 0, max_y = 0;
  bool first = true;
  for (int32_t i = 0; i < Selection.Count(); ++i) {
    const auto* m = dynamic_cast<const Affine_Transform_2D*>(Selection.Map(i));
    if (!m) continue;
    for (const Point_2D& c : Unit_Corners) {
      const Point_2D p = m->Map_Point(c.x, c.y);
      if (first) {
        min_x = max_x = p.x, min_y = max_y = p.y;
        first = false;
      }
      min_x = std::min(min_x, p.x), max_x = std::max(max_x, p.x);
      min_y = std::min(min_y, p.y), max_y = std::max(max_y, p.y);
    }
  }
  // A box with no width or height has no inverse, and the members held
  // relative to it while dragging would lose their shape: widen it about
  // its middle line.
  if (!(max_x - min_x >= Least_Group_Side)) {
    const float middle = (min_x + max_x) / 2;
    if (max_x - min_x < Least_Group_Side) min_x = middle - Least_Group_Side / 2, max_x = middle + Least_Group_Side / 2;
  }
  if (!(max_y - min_y >= Least_Group_Side)) {
    const float middle = (min_y + max_y) / 2;
    if (max_y - min_y < Least_Group_Side) min_y = middle - Least_Group_Side / 2, max_y = middle + Least_Group_Side / 2;
  }
  Group_Frame = Affine_Transform_2D(Point_2D(min_x, min_y), Point_2D(max_x, min_y), Point_2D(min_x, max_y));
  Group_Frame_Inverse = Affine_Transform_2D::Inverse(Group_Frame);
  Group_Frame.Color_Step = -1;
  Group_Frame_Inverse.Color_Step = 1;
}

void Transform_Edit_Window::Unselected_Images(Transform_Set_2D& out) const {
  out.Clear();
  if (Selection.Count() == 0) return;
  out = *Manipulator;
  for (int32_t i = 0; i < Selection.Count(); ++i) {
    const int32_t found = out.Find(*Selection.Map(i));
    if (found >= 0) out.Take_Out(found);
  }
}

void Transform_Edit_Window::Select_Map(const Affine_Transform_2D* map) {
  if (map) {
    Manipulator_Tool.Pin = -1;
    Manipulator_Tool.Update_Pins();
    Manipulator_Tool.Handle = -1;
    Manipulator_Tool.Update_Pins();
    Manipulator_Tool.Handle_Code = 0;
    Manipulator_Tool.Set_Transform(*map);
    Place_Handles();
  }
  Show_Dialog_Map(map);
  Refresh_Corner_Buttons();
}

void Transform_Edit_Window::Show_Dialog_Map(const Affine_Transform_2D* map) {
  if (Dialog) Dialog->Set_Transform(map);
}

void Transform_Edit_Window::Axis_Slopes_To_Palette() {
  Palette->Set_Axis_Slopes(Slope_Of(Manipulator_Tool.Axis_X), Slope_Of(Manipulator_Tool.Axis_Y), true);
}

bool Transform_Edit_Window::Delete_Keeps_A_Copy() const {
  if (Selection.Count() > 0) return Selection.Count() < Image_Count();
  return Image_Count() > 1;
}

// ---- Handles

void Transform_Edit_Window::Place_Handles() {
  const int hs = Handle_Size;
  for (int32_t i = 0; i < 9; ++i) {
    const Point_2D& u = Manipulator_Tool.Ring_Points[size_t(i)];
    const TPoint c = Point_To_Int_Clamped(View_Map.Map_Point(u.x, u.y));
    Handle_Rects[size_t(i)] = Clamped_Rect(TRect(c.x - hs / 2, c.y - hs / 2, c.x - hs / 2 + hs, c.y - hs / 2 + hs));
  }
  // Handles of a small copy would cover each other: spread them round the
  // centre one handle apart, turned with the copy's axes.
  auto& r = Handle_Rects;
  const TRect middle = r[8];
  auto step_along = [&](const Point_2D& axis) {
    const float s = std::max(std::fabs(axis.x), std::fabs(axis.y));
    float fx = s > 0 ? axis.x / s : 1.0f, fy = s > 0 ? -axis.y / s : 0.0f;
    if (std::fabs(axis.x) > std::fabs(axis.y))
      fx = axis.x >= 0 ? 1.0f : -1.0f;
    else
      fy = axis.y >= 0 ? -1.0f : 1.0f;
    return TPoint(int((hs + 1) * fx), int((hs + 1) * fy));
  };
  bool spread = false;
  if (Overlap(r[3], middle)) {
    const TPoint d = step_along(Manipulator_Tool.Axis_X);
    r[3] = middle.Offset_By(d.x, d.y);
    r[7] = middle.Offset_By(-d.x, -d.y);
    spread = true;
  }
  if (Overlap(r[5], middle)) {
    const TPoint d = step_along(Manipulator_Tool.Axis_Y);
    r[5] = middle.Offset_By(d.x, d.y);
    r[1] = middle.Offset_By(-d.x, -d.y);
    spread = true;
  }
  if (spread) {
    auto offset = [&](int a, int b) { return TPoint(r[a].left - middle.left, r[a].top - middle.top) + r[b].TopLeft(); };
    const TPoint c0 = offset(1, 7), c2 = offset(3, 1), c4 = offset(5, 3), c6 = offset(7, 5);
    r[0] = TRect(c0, TSize(hs, hs));
    r[2] = TRect(c2, TSize(hs, hs));
    r[4] = TRect(c4, TSize(hs, hs));
    r[6] = TRect(c6, TSize(hs, hs));
  }
  TRect box;
  for (int i = 0; i < 3; ++i) {
    const Point_2D& u = Manipulator_Tool.Notch_Points[size_t(i)];
    const TPoint p = Point_To_Int_Clamped(View_Map.Map_Point(u.x, u.y));
    Notch_Screen[size_t(i)] = p;
    if (i == 0) box = TRect(p.x, p.y, p.x + 1, p.y + 1);
    box = TRect(std::min(box.left, p.x), std::min(box.top, p.y), std::max(box.right, p.x + 1), std::max(box.bottom, p.y + 1));
  }
  Handle_Rects[9] = box;
  auto& save = Handle_Saves[9];
  if (save && (save->Width() < box.Width() || save->Height() < box.Height())) save.reset();
  if (!save && box.Width() <= Edit_Area.Width() && box.Height() <= Edit_Area.Height())
    save = std::make_unique<TBitmap>(std::max(box.Width(), 1), std::max(box.Height(), 1));
}

int32_t Transform_Edit_Window::Position_Code(int32_t position) const {
  if (position < 0) return 0;
  if (position == Manipulator_Tool.Pin) return 1;
  if (position == Manipulator_Tool.Handle) return Manipulator_Tool.Handle_Code;
  return 0;
}

void Transform_Edit_Window::Set_Pin(int32_t position) {
  if (position >= 0 && position == Manipulator_Tool.Handle) Manipulator_Tool.Handle = -1;
  Manipulator_Tool.Pin = position;
  Manipulator_Tool.Update_Pins();
}

void Transform_Edit_Window::Set_Handle(int32_t position) {
  if (position >= 0 && position == Manipulator_Tool.Pin) Manipulator_Tool.Pin = -1;
  Manipulator_Tool.Handle = position;
  Manipulator_Tool.Update_Pins();
}

void Transform_Edit_Window::Pick_Handle(int32_t c) {
  if (c < 0 || c > 8) return;
  Set_Handle(c);
  const int32_t cls = Transform_Manipulator::Position_Class(c);
  const uint32_t offered = Kinds_By_Class[cls] & ~Kinds_Excluded[c];
  if (offered & (1u << 6)) Palette->Set_Rotation(Manipulator_Tool.Pin_Angle, true);
  if (offered & (1u << 7)) Palette->Set_Scale_Slope(Slope_Of(Manipulator_Tool.Pin_Direction), true);
  Axis_Slopes_To_Palette();
  TPoint at = Handle_Rects[size_t(c)].TopLeft();
  ClientToScreen(at);
  SetCursorPos(at.x, at.y);
  Palette->Show(at, offered, Allowed_Kinds(c, Manipulator_Tool.Relation));
}

// The palette's answer. c is where the handle stood before the palette
// opened, p what the clicked position carried; the clicked position is now
// the manipulator's handle.
LRESULT Transform_Edit_Window::Handle_Chosen(WPARAM kind, LPARAM) {
  if (!Active) return 0;
  Transform_Manipulator& tool = Manipulator_Tool;
  const int32_t k = int32_t(kind), c = Clicked_Position, p = Clicked_Kind;
  const int32_t clicked = tool.Handle;
  if (k == 0 && p == 0) {
    Set_Handle(c);
  } else if (k == 1) {
    Set_Handle(c);
    Set_Pin(clicked);
    const bool allowed = tool.Handle_Code >= 1 && tool.Handle_Code <= 14 &&
                         (Allowed_Kinds(tool.Handle, tool.Relation) & (1u << (tool.Handle_Code - 1)));
    if (tool.Handle >= 0 && !allowed) Set_Handle(-1);
  } else {
    if (p == 1 && tool.Pin >= 0) Set_Pin(-1);
    if (k == 0) {
      Set_Handle(tool.Handle == c ? -1 : c);
    } else {
      tool.Handle_Code = k;
    }
  }
  if (tool.Handle < 0) tool.Handle_Code = 0;
  Repaint_Client();
  if (Dialog) Dialog->Set_Transform(Selected_Image >= 0 || Selection.Count() > 0 ? &tool.Current_Map : nullptr);
  return 0;
}

void Transform_Edit_Window::Set_Drag_Cursor(std::unique_ptr<TCursor> cursor) {
  const TCursor* shown = cursor ? cursor.get() : &TCursor::Arrow();
  SetCursor(shown);
  ::SetCursor(shown);
  Drag_Cursor = std::move(cursor);
}

void Transform_Edit_Window::Begin_Handle_Drag(int32_t c) {
  Take_Capture_Reason();
  Dragging_Handle = true;
  if (Selection.Count() > 0) {
    Unselected_Images(Unselected);
    Transform_Set_2D relative;
    for (int32_t i = 0; i < Selection.Count(); ++i)
      if (auto* m = dynamic_cast<const Affine_Transform_2D*>(Selection.Map(i)))
        relative.Add_Map(Compose_Transforms(*m, Group_Frame_Inverse).Clone());
    Selection = relative;
  }
  Open_Drag_DC(Selection.Count() == 0 ? 10 : 9);
  const int32_t code = Position_Code(c);
  Edit_Handle* mark = Palette->Handle_Of(code);
  Rotation_Cursor_Angle = Manipulator_Tool.Pin_Angle;
  Set_Drag_Cursor(mark ? mark->Make_Cursor() : nullptr);
  Hover_Locked = true;
  Cursor_Inside = Cursor_Outside = false;
}

void Transform_Edit_Window::Begin_Notch_Drag() {
  Take_Capture_Reason();
  Dragging_Notch = true;
  Open_Drag_DC(10);
  Set_Drag_Cursor(Notch_Handle(Manipulator_Tool.Current_Map).Make_Cursor());
  Hover_Locked = true;
  Cursor_Inside = Cursor_Outside = false;
}

// The drawing context of a drag: clipped to the area less the pin, with the
// first `handles` handles taken off the screen (their saved backgrounds put
// back), and set for outlines drawn and taken away with the same pen.
void Transform_Edit_Window::Open_Drag_DC(int handles) {
  Drag_DC = std::make_unique<TClientDC>(*this);
  Drag_DC->SelectObject(*The_GUI_Colors->Palette);
  Drag_DC->RealizePalette();
  TRegion clip = Inner_Region;
  if (Manipulator_Tool.Pin >= 0) clip = clip - TRegion(Handle_Rects[size_t(Manipulator_Tool.Pin)]);
  Drag_DC->SelectClipRgn(clip);
  for (int i = 0; i < handles; ++i) {
    if (!Handle_Saves[size_t(i)]) continue;
    TMemoryDC save(*Handle_Saves[size_t(i)]);
    Drag_DC->BitBlt(Handle_Rects[size_t(i)], save, TPoint(0, 0));
  }
  Drag_DC->SelectStockObject(BLACK_PEN);
  Drag_DC->SelectStockObject(NULL_BRUSH);
  Drag_DC->SetROP2(R2_NOTXORPEN);
}

// ---- Undo

void Transform_Edit_Window::Record_Undo(int32_t kind) {
  Edit_History step;
  step.Kind = kind;
  step.Images = std::make_unique<Transform_Set_2D>(*Manipulator);
  step.Selection = std::make_unique<Transform_Set_2D>(Selection);
  step.Unselected = std::make_unique<Transform_Set_2D>(Unselected);
  step.Group_Frame = Group_Frame;
  step.Selected_Image = Selected_Image;
  step.Pin = Manipulator_Tool.Pin;
  step.Handle = Manipulator_Tool.Handle;
  step.Handle_Code = Manipulator_Tool.Handle_Code;
  History.push_front(std::move(step));
  Update_Undo_Text();
}

void Transform_Edit_Window::Drop_Last_Undo() {
  if (!History.empty()) History.pop_front();
  Update_Undo_Text();
}

void Transform_Edit_Window::Clear_Undo() {
  History.clear();
  Update_Undo_Text();
}

void Transform_Edit_Window::Update_Undo_Text() {
  const int32_t kind = History.empty() ? 0 : std::clamp(History.front().Kind, 0, 6);
  Menu.ModifyMenu(Cm_Undo, MF_BYCOMMAND | MF_STRING, Cm_Undo, std::string("Undo ") + Undo_Kind_Names[kind]);
}

void Transform_Edit_Window::Cmd_Undo() {
  if (History.empty()) return;
  Edit_History step = std::move(History.front());
  History.pop_front();
  *Manipulator = *step.Images;
  Selection = *step.Selection;
  Unselected = *step.Unselected;
  Selected_Image = step.Selected_Image < Image_Count() ? step.Selected_Image : -1;
  bool selected = true;
  if (Selected_Image >= 0) {
    Select_Map(Image(Selected_Image));
  } else if (Selection.Count() > 0) {
    Group_Frame = step.Group_Frame;
    Group_Frame_Inverse = Affine_Transform_2D::Inverse(Group_Frame);
    Group_Frame_Inverse.Color_Step = -Group_Frame.Color_Step;
    Select_Map(&Group_Frame);
  } else {
    Select_Map(nullptr);
    selected = false;
  }
  if (selected) {
    auto valid = [](int32_t position) { return position >= 0 && position <= 8 ? position : -1; };
    Set_Handle(valid(step.Handle));
    Set_Pin(valid(step.Pin));
    Manipulator_Tool.Handle_Code = Manipulator_Tool.Handle >= 0 ? step.Handle_Code : 0;
    Show_Dialog_Map(&Manipulator_Tool.Current_Map);
  }
  Repaint_Client();
  Update_Undo_Text();
  Refresh_Corner_Buttons();
  if (selected) Axis_Slopes_To_Palette();
}

// ---- Commands

void Transform_Edit_Window::Cmd_Add() {
  if (!Active || Image_Count() >= Transform_Set_2D::Max_Maps) return;
  if (Confirm_Dialog_Changes() == IDCANCEL) return;
  Record_Undo(Undo_Add);
  Selection.Clear();
  Manipulator->Add_Map(std::make_unique<Affine_Transform_2D>());
  Selected_Image = Image_Count() - 1;
  Select_Map(Image(Selected_Image));
  Repaint_Client();
  Refresh_Corner_Buttons();
  Axis_Slopes_To_Palette();
}

void Transform_Edit_Window::Cmd_Delete() {
  if (!Active || (Selected_Image < 0 && Selection.Count() == 0) || !Delete_Keeps_A_Copy()) return;
  Record_Undo(Undo_Delete);
  if (Selection.Count() == 0) {
    Manipulator->Take_Out(Selected_Image);
    Selected_Image = -1;
  } else {
    for (int32_t i = 0; i < Selection.Count(); ++i) {
      const int32_t found = Manipulator->Find(*Selection.Map(i));
      if (found >= 0) Manipulator->Take_Out(found);
    }
    Selection.Clear();
  }
  Show_Dialog_Map(nullptr);
  Repaint_Client();
  Refresh_Corner_Buttons();
}

void Transform_Edit_Window::Cmd_Duplicate() {
  if (!Active) return;
  TCommandEnabler probe(Cm_Duplicate);
  Ce_Duplicate(probe);
  if (!probe.Enabled()) return;
  Record_Undo(Undo_Duplicate);
  if (Selection.Count() == 0) {
    Manipulator->Add_Map(Image(Selected_Image)->Clone());
    Selected_Image = Image_Count() - 1;
    Select_Map(Image(Selected_Image));
  } else {
    for (int32_t i = 0; i < Selection.Count() && Image_Count() < Transform_Set_2D::Max_Maps; ++i)
      Manipulator->Add_Map(Selection.Map(i)->Clone());
  }
  Repaint_Client();
  Refresh_Corner_Buttons();
}

void Transform_Edit_Window::Cmd_Reset() {
  if (!Active || Selection.Count() > 0 || !Image(Selected_Image)) return;
  Record_Undo(Undo_Reset);
  *Image(Selected_Image) = Affine_Transform_2D();
  Select_Map(Image(Selected_Image));
  Repaint_Client();
}

void Transform_Edit_Window::Ce_Undo(TCommandEnabler& ce) { ce.Enable(!History.empty()); }

void Transform_Edit_Window::Ce_Add(TCommandEnabler& ce) { ce.Enable(Image_Count() < Transform_Set_2D::Max_Maps); }

void Transform_Edit_Window::Ce_Delete(TCommandEnabler& ce) {
  ce.Enable((Selected_Image >= 0 || Selection.Count() > 0) && Delete_Keeps_A_Copy());
}

void Transform_Edit_Window::Ce_Duplicate(TCommandEnabler& ce) {
  if (Selection.Count() > 0)
    ce.Enable(Image_Count() + Selection.Count() <= Transform_Set_2D::Max_Maps);
  else
    ce.Enable(Selected_Image >= 0 && Image_Count() < Transform_Set_2D::Max_Maps);
}

void Transform_Edit_Window::Ce_Reset(TCommandEnabler& ce) { ce.Enable(Selection.Count() == 0 && Selected_Image >= 0); }

// ---- Dialog hooks

int Transform_Edit_Window::Confirm_Dialog_Changes() {
  int answer = IDNO;
  if (!Dialog || (Selected_Image < 0 && Selection.Count() == 0)) return answer;
  if (Dialog->Has_Changed(true)) {
    // The system ends the program: nobody is asked; the typed values are
    // applied as Yes applies them, and values refused are let go.
    const bool ending = TDesktop::System_Ending();
    answer = ending ? IDYES
                    : MessageBox("The dialog at left contains changes which\nhave not yet been applied.  Apply them now?",
                                 "Selection Change", MB_YESNOCANCEL | MB_ICONQUESTION);
    Apply_Refused = false;
    if (answer == IDYES) {
      Dialog->Apply();
      if (Apply_Refused) answer = ending ? IDNO : IDCANCEL;
    }
  }
  if (Selection.Count() == 0 && Image(Selected_Image) && answer != IDCANCEL && Color_Steps())
    Image(Selected_Image)->Color_Step = Dialog->Read_Color_Step();
  return answer;
}

bool Transform_Edit_Window::Apply_Dialog(const Affine_Transform_2D& map) {
  if (Selection.Count() == 0) {
    Affine_Transform_2D* image = Image(Selected_Image);
    if (!image) return false;
    if (!Is_Visible(map)) {
      MessageBox("The values you have entered place the copy\noutside of the visible area.  Please revise.",
                 "Apply Changes", MB_OK);
      Apply_Refused = true;
      return false;
    }
    Record_Undo(Undo_Apply);
    *image = map;
    Manipulator_Tool.Set_Transform(map);
  } else {
    // Each member keeps its place in the group's frame; its own colour step
    // stays, whatever step the typed map carries.
    Transform_Set_2D moved;
    for (int32_t i = 0; i < Selection.Count(); ++i) {
      const auto& member = static_cast<const Affine_Transform_2D&>(*Selection.Map(i));
      Affine_Transform_2D m = Compose_Transforms(Compose_Transforms(member, Group_Frame_Inverse), map);
      m.Color_Step = member.Color_Step;
      if (!Is_Visible(m)) {
        MessageBox("The values you have entered place one or more copies\noutside of the visible area.  Please revise.",
                   "Apply Changes", MB_OK);
        Apply_Refused = true;
        return false;
      }
      moved.Add_Map(m.Clone());
    }
    Record_Undo(Undo_Apply);
    for (int32_t i = 0; i < Selection.Count(); ++i)
      if (auto* image = Image(Manipulator->Find(*Selection.Map(i)))) *image = *static_cast<Affine_Transform_2D*>(moved.Map(i));
    Selection = moved;
    Group_Frame = map;
    Group_Frame.Color_Step = -1;
    Group_Frame_Inverse = Affine_Transform_2D::Inverse(Group_Frame);
    Group_Frame_Inverse.Color_Step = 1;
    Manipulator_Tool.Set_Transform(Group_Frame);
  }
  Place_Handles();
  Repaint_Client();
  Axis_Slopes_To_Palette();
  return true;
}
