#include "manipulators/transform_edit_window.h"

#include "help/help_window.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "manipulators/transform_edit_dialog.h"
#include "model/gui_colors.h"
#include "platform/gdi/memory_dc.h"
#include "platform/window/cursor.h"
#include "platform/window/desktop.h"
#include "platform/window/message_box.h"
#include "platform/window/response_table.h"
#include "platform/window/user.h"
#include "toolkit/gui_bitmaps.h"
#include "toolkit/gui_sizes.h"
#include "toolkit/mouse.h"
#include "toolkit/program_messages.h"
#include "toolkit/small_utilities.h"

namespace {

const TResponse_Table<Transform_Edit_Window> Editor_Table = {
    EV_COMMAND<Transform_Edit_Window>(Transform_Edit_Window::Cm_Cancel, &Transform_Edit_Window::Cmd_Menu_Cancel),
    EV_COMMAND<Transform_Edit_Window>(Transform_Edit_Window::Cm_Undo, &Transform_Edit_Window::Cmd_Undo),
    EV_COMMAND<Transform_Edit_Window>(Transform_Edit_Window::Cm_Add, &Transform_Edit_Window::Cmd_Add),
    EV_COMMAND<Transform_Edit_Window>(Transform_Edit_Window::Cm_Delete, &Transform_Edit_Window::Cmd_Delete),
    EV_COMMAND<Transform_Edit_Window>(Transform_Edit_Window::Cm_Duplicate, &Transform_Edit_Window::Cmd_Duplicate),
    EV_COMMAND<Transform_Edit_Window>(Transform_Edit_Window::Cm_Reset, &Transform_Edit_Window::Cmd_Reset),
    EV_COMMAND_ENABLE<Transform_Edit_Window>(Transform_Edit_Window::Cm_Cancel, &Transform_Edit_Window::Ce_Cancel),
    EV_COMMAND_ENABLE<Transform_Edit_Window>(Transform_Edit_Window::Cm_Undo, &Transform_Edit_Window::Ce_Undo),
    EV_COMMAND_ENABLE<Transform_Edit_Window>(Transform_Edit_Window::Cm_Add, &Transform_Edit_Window::Ce_Add),
    EV_COMMAND_ENABLE<Transform_Edit_Window>(Transform_Edit_Window::Cm_Delete, &Transform_Edit_Window::Ce_Delete),
    EV_COMMAND_ENABLE<Transform_Edit_Window>(Transform_Edit_Window::Cm_Duplicate, &Transform_Edit_Window::Ce_Duplicate),
    EV_COMMAND_ENABLE<Transform_Edit_Window>(Transform_Edit_Window::Cm_Reset, &Transform_Edit_Window::Ce_Reset),
    EV_MESSAGE<Transform_Edit_Window>(Handle_Chosen_Message, &Transform_Edit_Window::Handle_Chosen)};

// The four corners of the unit square, in drawing order.
constexpr Point_2D Unit_Corners[4] = {{0.0f, 0.0f}, {1.0f, 0.0f}, {1.0f, 1.0f}, {0.0f, 1.0f}};

int Size(int index) { return (*The_GUI_Sizes)[index]; }

TColor Scheme_Color(int index) { return The_GUI_Colors->Scheme[size_t(index)]; }

// Larger colour steps first.
bool Larger_Step_First(const Transform_2D& first, const Transform_2D& second) {
  return Compare_Color_Steps(second, first);
}

}  // namespace

// ---- Construction

Transform_Edit_Window::Transform_Edit_Window(TWindow* parent, const TRect& rect)
    : Round_Window(parent, "Edit Window", 2700, rect), Manipulator(&Working) {
  Attr.Style = (Attr.Style & ~WS_VISIBLE) | WS_DISABLED;
  Active = false;
  Menu.AppendMenu(MF_STRING, Cm_Cancel, "Cancel");
  Menu.AppendMenu(MF_SEPARATOR);
  Menu.AppendMenu(MF_STRING, Cm_Undo, "Undo");
  Menu.AppendMenu(MF_STRING, Cm_Add, "Add");
  Menu.AppendMenu(MF_STRING, Cm_Delete, "Delete");
  Menu.AppendMenu(MF_STRING, Cm_Duplicate, "Duplicate");
  Edit_Handle::Init_Shapes();
  Handle_Size = Edit_Handle::Size();
  Palette = std::make_unique<Handle_Palette>(this);
  const int half = Handle_Size / 2;
  Edit_Area = TRect(Client_Rect.left + half, Client_Rect.top + half, Client_Rect.right - half, Client_Rect.bottom - half);
  View_Map = Affine_Transform_2D(Edit_Area);
  View_Inverse = Affine_Transform_2D::Inverse(View_Map);
  Visible_Circle = {0.5f, 0.5f, float(Inner_Rect.Width() / 2.0 / Edit_Area.Width())};
  // The dialog fills the layout left of the editor: from the layout's left
  // edge, which is the screen's only where the layout fills the screen.
  const TPoint origin = The_GUI_Sizes ? The_GUI_Sizes->Origin_On_Screen() : TPoint(0, 0);
  Dialog_Area = TRect(origin.x, rect.top, rect.left, origin.y + rect.Height());
  Dialog_Maker = Transform_Edit_Dialog::Maker();
}

Transform_Edit_Window::~Transform_Edit_Window() {
  Drag_DC.reset();
  Clear_Undo();
  Dialog.reset();
  if (Palette && Palette->IsWindow()) Palette->Destroy();
}

bool Transform_Edit_Window::Find(TEventInfo& info) { return Editor_Table.Dispatch(*this, info) || Round_Window::Find(info); }

void Transform_Edit_Window::SetupWindow() {
  Round_Window::SetupWindow();
  if (The_Help_Window) The_Help_Window->Load_Section(2, Screen_Rect(*this, Inner_Rect), 1);
  if (Palette->Create()) {
    Palette->ShowWindow(SW_HIDE);
    Palette->EnableWindow(false);
  }
  if (The_GUI_Bitmaps) {
    struct Corner_Face {
      int corner;
      GUI_Picture_Id picture;
      const char* tip;
    };
    static constexpr Corner_Face faces[4] = {{0, 15, "Add"}, {1, 16, "Delete"}, {2, 18, "Cancel"}, {3, 17, "OK"}};
    for (const Corner_Face& face : faces) {
      The_GUI_Bitmaps->Get(face.picture, Picture_Size);
      if (const auto& picture = The_GUI_Bitmaps->Pictures[size_t(face.picture)])
        Set_Corner_Button(face.corner, *picture, face.tip, true, true, true);
    }
    for (const Corner_Face& face : faces) The_GUI_Bitmaps->Drop(face.picture);
  }
  EnableWindow(false);
  for (int i = 0; i < 9; ++i) Handle_Saves[size_t(i)] = std::make_unique<TBitmap>(Handle_Size, Handle_Size);
  Build_Snap_Table();
  Build_Rulers();
}

void Transform_Edit_Window::Build_Snap_Table() {
  const TRect& a = Edit_Area;
  Snap_Table.assign(size_t(std::max(Frame_Rect.Width(), 1)), 0.0f);
  for (size_t i = 0; i < Snap_Table.size(); ++i) {
    const double unit = (double(int(i) - a.left) / a.Width()) * 200.0;
    Snap_Table[i] = float(std::floor(unit + 0.49999999) * 0.005);
  }
  // Division columns take their exact fractions; finer rulers win.
  for (int frame = 3; frame >= 1; --frame) {
    const int n = Grid_Divisions[size_t(frame)];
    for (int j = 1; j < n; ++j) {
      const int x = a.left + (a.Width() * j) / n;
      if (x >= 0 && x < int(Snap_Table.size())) Snap_Table[size_t(x)] = float(j) / float(n);
    }
  }
}

// The rulers: four nested frames round the edit area, each q wide, three of
// them divided into sixths, eighths and tenths with white ticks, drawn once
// and cut into four strips that painting copies.
void Transform_Edit_Window::Build_Rulers() {
  const int q = Handle_Size / 4, Q = 4 * q;
  const TRect R = Edit_Area.Inflated_By(Q, Q);
  const int W = R.Width(), H = R.Height();
  TBitmap ruler(std::max(W, 1), std::max(H, 1));
  TMemoryDC dc(ruler);
  dc.SelectObject(*The_GUI_Colors->Palette);
  dc.RealizePalette();
  dc.FillRect(TRect(0, 0, W, H), TBrush(TColor::White));
  TRect remaining(0, 0, W, H);
  static constexpr int Frame_Colors[4] = {6, 7, 8, 9};
  const TPen white = TPen::Stock(WHITE_PEN);
  for (int frame = 3; frame >= 0; --frame) {
    Frame_Rects[size_t(frame)] = remaining.Offset_By(R.left, R.top);
    LOGBRUSH brush{BS_SOLID, Scheme_Color(Frame_Colors[frame]), 0};
    const TPen pen(PS_GEOMETRIC | PS_INSIDEFRAME, std::max(q, 1), brush);
    dc.SelectObject(pen);
    dc.SelectStockObject(NULL_BRUSH);
    dc.Rectangle(remaining);
    const int n = Grid_Divisions[size_t(frame)];
    Grid_Points[size_t(frame)].clear();
    if (n > 0) {
      dc.SelectObject(white);
      for (int j = 1; j < n; ++j) {
        const int x = Edit_Area.left + (Edit_Area.Width() * j) / n - R.left;
        const int y = Edit_Area.top + (Edit_Area.Height() * j) / n - R.top;
        dc.MoveTo(x, remaining.top), dc.LineTo(x, remaining.top + q + 1);
        dc.MoveTo(x, remaining.bottom - 1), dc.LineTo(x, remaining.bottom - 2 - q);
        dc.MoveTo(remaining.left, y), dc.LineTo(remaining.left + q + 1, y);
        dc.MoveTo(remaining.right - 1, y), dc.LineTo(remaining.right - 2 - q, y);
      }
      for (int k = 1; k < n; ++k)
        for (int j = 1; j < n; ++j)
          Grid_Points[size_t(frame)].push_back(TPoint(Edit_Area.left + (Edit_Area.Width() * k) / n,
                                                      Edit_Area.top + (Edit_Area.Height() * j) / n));
    }
    remaining = remaining.Inflated_By(-q, -q);
  }
  const TRect strips[4] = {TRect(0, Q, Q, H - Q), TRect(Q, 0, W - Q, Q), TRect(W - Q, Q, W, H - Q),
                           TRect(Q, H - Q, W - Q, H)};
  for (int i = 0; i < 4; ++i) {
    const TRect& s = strips[i];
    Strip_Rects[size_t(i)] = s.Offset_By(R.left, R.top);
    auto picture = std::make_unique<TBitmap>(std::max(s.Width(), 1), std::max(s.Height(), 1));
    TMemoryDC strip(*picture);
    strip.BitBlt(TRect(0, 0, s.Width(), s.Height()), dc, s.TopLeft());
    Strip_Pictures[size_t(i)] = std::move(picture);
  }
  // The ends of the two unit scales.
  const TFont font("Times New Roman", Q, FW_NORMAL);
  const int gap = Size(29);
  auto letter = [&](int strip_index, unsigned align, int x, int y, const char* text) {
    TMemoryDC strip(*Strip_Pictures[size_t(strip_index)]);
    strip.SelectObject(font);
    strip.SetBkMode(TRANSPARENT);
    strip.SetTextColor(TColor::Black);
    strip.SetTextAlign(align | TA_TOP);
    strip.TextOut(x, y, text);
  };
  const TRect& bottom = strips[3];
  letter(3, TA_LEFT, gap, (bottom.Height() - Q) / 2, "0");
  letter(3, TA_RIGHT, bottom.Width() - gap, (bottom.Height() - Q) / 2, "1");
  const TRect& left = strips[0];
  letter(0, TA_CENTER, left.Width() / 2, gap, "1");
  letter(0, TA_CENTER, left.Width() / 2, left.Height() - Q - gap, "0");
}

// ---- Opening and closing

void Transform_Edit_Window::Open(Transform_Set_2D* set, char* name, TWindow* notify) {
  if (!set) return;
  const TCursor* before = ::SetCursor(Program_Busy_Cursor());
  Target = set;
  Working = *set;
  Manipulator = &Working;
  Title = name;
  Selected_Image = -1;
  Selection.Clear();
  Unselected.Clear();
  Group_Frame = Group_Frame_Inverse = Affine_Transform_2D();
  Manipulator_Tool.Pin = Manipulator_Tool.Handle = -1;
  Manipulator_Tool.Handle_Code = 0;
  Manipulator_Tool.Update_Pins();
  Grid_Level = 0;
  Clear_Undo();
  Notify_Window = notify;
  Refresh_Corner_Buttons();
  Invalidate();
  ShowWindow(SW_SHOW);
  EnableWindow(true);
  Active = true;
  if (Dialog_Maker) {
    Dialog = Dialog_Maker(GetParent(), *this, Manipulator_Tool, Dialog_Area, Title);
    if (Dialog) Dialog->Create_Panel();
  }
  if (GetParent()) GetParent()->PostMessage(Editor_Active_Message, 1, 0);
  ::SetCursor(before && before != Program_Busy_Cursor() ? before : &TCursor::Arrow());
}

void Transform_Edit_Window::Close_Editor(int32_t result) {
  if (!Is_Open()) return;
  if (result == 1) {
    if (Confirm_Dialog_Changes() == IDCANCEL) return;
    if (Manipulator->Count() == 0) {
      // A manipulator is one to twelve copies; an empty one is not kept.
      MessageBox("A manipulator needs at least one copy.\nPlease add a copy first.", "OK", MB_OK | MB_ICONEXCLAMATION);
      return;
    }
    if (Dialog) Dialog->Read_Title();
    if (Color_Steps()) Manipulator->Sort(Larger_Step_First);
    *Target = *Manipulator;
  }
  End_Drag_Display();
  if (Palette && Palette->Is_Open()) {
    Palette->ShowWindow(SW_HIDE);
    Palette->EnableWindow(false);
    if (The_Mouse) The_Mouse->Release(Palette.get());
  }
  while (Capture_Count > 0) Give_Back_Capture_Reason();
  Button_Down = Pressed_On_Ruler = false;
  Grabbed_Position = -1;
  ShowWindow(SW_HIDE);
  EnableWindow(false);
  Active = false;
  Selection.Clear();
  Unselected.Clear();
  Selected_Image = -1;
  Clear_Undo();
  Dialog.reset();
  Target = nullptr;
  Working.Clear();
  if (GetParent()) GetParent()->PostMessage(Editor_Active_Message, 0, 0);
  if (The_Help_Window) The_Help_Window->Reset_Section(2);
  TWindow* notify = Notify_Window;
  Notify_Window = nullptr;
  if (!notify || !notify->IsWindow()) return;
  // Once the system ends the program, posted messages are handled no more:
  // the palette is told at once, before it saves.
  if (TDesktop::System_Ending()) notify->SendMessage(Manipulator_Edited_Message, WPARAM(result), 0);
  else notify->PostMessage(Manipulator_Edited_Message, WPARAM(result), 0);
}

// Asked before the palette (the editor is made first), which then saves the
// kept edit with the person's other changes, as the answer Yes does.
bool Transform_Edit_Window::CanClose() {
  if (TDesktop::System_Ending()) Close_Editor(1);
  return Round_Window::CanClose();
}

void Transform_Edit_Window::Corner_Clicked(int corner) {
  switch (corner) {
    case 0: Cmd_Add(); break;
    case 1: Cmd_Delete(); break;
    case 2: Close_Editor(2); break;
    case 3: Close_Editor(1); break;
    default: break;
  }
}

bool Transform_Edit_Window::Is_Corner_Enabled(int corner) {
  switch (corner) {
    case 0: return Image_Count() < Transform_Set_2D::Max_Maps;
    case 1: return (Selected_Image >= 0 || Selection.Count() > 0) && Delete_Keeps_A_Copy();
    default: return true;
  }
}

void Transform_Edit_Window::Focus_Dialog() {
  if (Dialog) Dialog->Focus();
}

void Transform_Edit_Window::EvRButtonUp(UINT, const TPoint& point) {
  if (!Active || Capture_Count > 0 || (The_Mouse && The_Mouse->Left_Button_Down)) return;
  Update_Undo_Text();
  TPoint screen = point;
  ClientToScreen(screen);
  Menu.TrackPopupMenu(TPM_RIGHTBUTTON, screen, *this);
}

// ---- Points for scripted input

TPoint Transform_Edit_Window::Screen_Point(const Point_2D& unit) const {
  TPoint p = Point_To_Int_Clamped(View_Map.Map_Point(unit.x, unit.y));
  ClientToScreen(p);
  return p;
}

TPoint Transform_Edit_Window::Title_Field_Screen_Point() const {
  const int top = Dialog_Area.top + 2 * Size(29) + Size(30);
  TPoint p((Dialog_Area.left + Dialog_Area.right) / 2, top + Size(31) / 2);
  if (GetParent()) GetParent()->ClientToScreen(p);
  return p;
}

TSize Transform_Edit_Window::Handle_Offset(int32_t column, int32_t row) const {
  return TSize(column * Handle_Size, row * Handle_Size);
}

// ---- Visibility

bool Transform_Edit_Window::Is_Visible(const Affine_Transform_2D& map) const {
  if (!Is_Finite_Map(map)) return false;
  for (const Point_2D& u : Transform_Manipulator::Unit_Ring) {
    const Point_2D p = map.Map_Point(u.x, u.y);
    if (!std::isfinite(p.x) || !std::isfinite(p.y)) return false;
  }
  Point_2D corners[4];
  for (int i = 0; i < 4; ++i) corners[i] = map.Map_Point(Unit_Corners[i].x, Unit_Corners[i].y);
  return Circle_Overlaps_Polygon(corners, 4, Visible_Circle);
}

// ---- Painting

void Transform_Edit_Window::Repaint_Client() {
  if (!IsWindow() || !Active) return;
  TWindowDC dc(*this);
  dc.SelectObject(*The_GUI_Colors->Palette);
  dc.RealizePalette();
  dc.SelectClipRgn(Inner_Region);
  Save_Under = true;
  Paint_Client(dc);
  Save_Under = false;
}

void Transform_Edit_Window::Paint_Client(TDC& dc) {
  const int level = dc.SaveDC();
  dc.SelectObject(*The_GUI_Colors->Palette);
  dc.RealizePalette();
  dc.SelectStockObject(WHITE_BRUSH);
  dc.PatBlt(Inner_Rect, PATCOPY);
  for (int i = 0; i < 4; ++i) {
    if (!Strip_Pictures[size_t(i)]) continue;
    TMemoryDC strip(*Strip_Pictures[size_t(i)]);
    dc.BitBlt(Strip_Rects[size_t(i)], strip, TPoint(0, 0));
  }
  for (const TPoint& p : Grid_Points[size_t(Grid_Level & 3)]) dc.SetPixel(p, TColor::Black);
  const int Q = Handle_Size / 4 * 4;
  dc.SelectObject(TFont("MS Sans Serif", Q, FW_BOLD));
  dc.SetBkMode(TRANSPARENT);
  dc.SetTextColor(TColor::Black);
  const TRect& bottom = Strip_Rects[3];
  const TRect& left = Strip_Rects[0];
  dc.SetTextAlign(TA_CENTER | TA_TOP);
  dc.TextOut((bottom.left + bottom.right) / 2, (bottom.top + bottom.bottom) / 2 + Q, "x");
  dc.SetTextAlign(TA_RIGHT | TA_TOP);
  dc.TextOut((left.left + left.right) / 2 - Q, (left.top + left.bottom) / 2 - Q / 2, "y");
  Paint_Copies(dc);
  if (!Plain_Paint) {
    Paint_Selection(dc);
    Paint_Handles(dc);
  }
  dc.RestoreDC(level);
}

void Transform_Edit_Window::Paint_Copies(TDC& dc) {
  const bool group = Selection.Count() > 0 && !Plain_Paint;
  const bool coloured = !group && Color_Steps();
  const TFont step_font("MS Sans Serif", Size(30), FW_NORMAL);
  auto shown = [&](int32_t i) {
    if (group) return Selection.Find(*Image(i)) < 0;
    return Plain_Paint || i != Selected_Image;
  };
  // The unselected copies of a group: each equal of a member counts once.
  std::vector<bool> show(size_t(Image_Count()), true);
  if (group) {
    Transform_Set_2D rest;
    Unselected_Images(rest);
    std::vector<bool> used(size_t(rest.Count()), false);
    for (int32_t i = 0; i < Image_Count(); ++i) {
      show[size_t(i)] = false;
      for (int32_t j = 0; j < rest.Count(); ++j)
        if (!used[size_t(j)] && rest.Map(j)->Equals(*Image(i))) {
          used[size_t(j)] = show[size_t(i)] = true;
          break;
        }
    }
  } else {
    for (int32_t i = 0; i < Image_Count(); ++i) show[size_t(i)] = shown(i);
  }
  dc.SelectStockObject(NULL_PEN);
  for (int32_t i = 0; i < Image_Count(); ++i) {
    if (!show[size_t(i)]) continue;
    const Affine_Transform_2D& map = *Image(i);
    if (coloured) {
      const int step = std::clamp(map.Color_Step, 0, 4);
      dc.SelectObject(TBrush(Scheme_Color(6 + step)));
    } else {
      dc.SelectObject(*The_GUI_Colors->Scheme_Brush_0);
    }
    Test_Shape.Paint_Transformed(dc, map, Edit_Area);
    if (coloured && map.Color_Step != 0) {
      char text[16];
      std::snprintf(text, sizeof text, "%d", map.Color_Step);
      dc.SelectObject(step_font);
      dc.SetTextColor(Scheme_Color(0));
      dc.SetTextAlign(TA_CENTER | TA_TOP);
      const TPoint c = Point_To_Int_Clamped(Compose_Transforms(map, View_Map).Map_Point(0.5f, 0.5f));
      dc.TextOut(c.x, c.y - Size(30) / 2, text);
    }
  }
  dc.SelectStockObject(NULL_BRUSH);
  dc.SelectObject(*The_GUI_Colors->Scheme_Pen_3);
  for (int32_t i = 0; i < Image_Count(); ++i)
    if (show[size_t(i)]) Test_Shape.Draw_Outline(dc, *Image(i), Edit_Area);
}

void Transform_Edit_Window::Draw_Group_Frame(TDC& dc, const Affine_Transform_2D& frame) const {
  const Affine_Transform_2D m = Compose_Transforms(frame, View_Map);
  TPoint corners[5];
  for (int i = 0; i < 4; ++i) corners[i] = Point_To_Int_Clamped(m.Map_Point(Unit_Corners[i].x, Unit_Corners[i].y));
  corners[4] = corners[0];
  const int level = dc.SaveDC();
  dc.SelectObject(TPen(TColor::Black, 1, PS_DOT));
  dc.SetBkMode(TRANSPARENT);
  dc.Polyline(corners, 5);
  dc.RestoreDC(level);
}

void Transform_Edit_Window::Paint_Selection(TDC& dc) {
  dc.SelectStockObject(BLACK_PEN);
  dc.SelectStockObject(NULL_BRUSH);
  dc.SetROP2(R2_NOT);
  if (Selection.Count() > 0) {
    for (int32_t i = 0; i < Selection.Count(); ++i) {
      const auto* member = dynamic_cast<const Affine_Transform_2D*>(Selection.Map(i));
      if (member) Test_Shape.Draw_Outline(dc, *member, Edit_Area);
    }
    dc.SetROP2(R2_NOTXORPEN);
    Draw_Group_Frame(dc, Group_Frame);
  } else if (Selected_Image >= 0) {
    Test_Shape.Draw_Outline(dc, Manipulator_Tool.Current_Map, Edit_Area);
  }
  dc.SetROP2(R2_COPYPEN);
}

void Transform_Edit_Window::Paint_Handles(TDC& dc) {
  const bool single = Selection.Count() == 0 && Selected_Image >= 0;
  if (!single && Selection.Count() == 0) return;
  const bool notch = single && Handle_Saves[9] != nullptr;
  // What lies under the handles, so that a drag can take them away; only
  // from a whole repaint, since a partial one still shows the old handles.
  for (int i = 0; i < 10 && Save_Under; ++i) {
    if (!Handle_Saves[size_t(i)] || (i == 9 && !notch)) continue;
    TMemoryDC save(*Handle_Saves[size_t(i)]);
    const TRect& r = Handle_Rects[size_t(i)];
    save.BitBlt(TRect(0, 0, r.Width(), r.Height()), dc, r.TopLeft());
  }
  dc.SelectStockObject(WHITE_BRUSH);
  dc.SelectStockObject(BLACK_PEN);
  for (int i = 0; i < 9; ++i) dc.Rectangle(Handle_Rects[size_t(i)]);
  if (notch) dc.Polygon(Notch_Screen.data(), 3);
  auto centre = [&](int position) {
    const TRect& r = Handle_Rects[size_t(position)];
    return TPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  };
  const Transform_Manipulator& tool = Manipulator_Tool;
  if (tool.Pin >= 0 && tool.Pin <= 8)
    if (Edit_Handle* pin = Palette->Handle_Of(1)) pin->Draw(dc, centre(tool.Pin), TColor::Black);
  if (tool.Handle >= 0 && tool.Handle <= 8 && tool.Handle_Code != 0) {
    const int32_t kind = tool.Pin == tool.Handle ? 1 : tool.Handle_Code;
    if (kind == 7) Palette->Set_Rotation(tool.Pin_Angle, true);
    if (kind == 5 || kind == 6 || kind == 11 || kind == 12) Axis_Slopes_To_Palette();
    if (Edit_Handle* mark = Palette->Handle_Of(kind)) mark->Draw(dc, centre(tool.Handle), TColor::Black);
  }
}
