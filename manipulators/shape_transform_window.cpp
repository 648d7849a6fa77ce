#include "manipulators/shape_transform_window.h"

#include <cmath>
#include <cstdlib>

#include "toolkit/program_messages.h"
#include "manipulators/transform_palette.h"
#include "model/affine_transform_2d.h"
#include "model/gui_colors.h"
#include "platform/gdi/memory_dc.h"
#include "platform/gdi/pen.h"
#include "platform/gdi/region.h"
#include "platform/system/system_sound.h"
#include "platform/window/command_enabler.h"
#include "platform/window/window_dc.h"
#include "toolkit/gui_bitmaps.h"
#include "toolkit/gui_sizes.h"
#include "toolkit/mouse.h"
#include "toolkit/rectangular_button.h"
#include "toolkit/small_utilities.h"
#include "toolkit/tip_window.h"

namespace {

int32_t Size(int index) { return (*The_GUI_Sizes)[index]; }

bool In_Ellipse(const TRect& box, TPoint p) {
  if (!box.Contains(p)) return false;
  // Twice the offsets from the centre against the full axes, in integers.
  const int64_t dx = 2 * int64_t(p.x) + 1 - box.left - box.right;
  const int64_t dy = 2 * int64_t(p.y) + 1 - box.top - box.bottom;
  const int64_t w = box.Width(), h = box.Height();
  return dx * dx * h * h + dy * dy * w * w <= w * w * h * h;
}

const char* Tip_Of(const Shape_Transform* m) { return m != nullptr && m->Name()[0] != '\0' ? m->Name() : nullptr; }

}  // namespace

std::array<std::pair<TPoint, TPoint>, 2> Selection_Segments(TPoint p, TPoint centre, int32_t h) {
  const double dx = centre.x - p.x, dy = centre.y - p.y;
  const double d = std::sqrt(dx * dx + dy * dy);
  const int ox = d > 0 ? int(h * dy / d) : 0;
  const int oy = d > 0 ? int(-h * dx / d) : 0;
  return {{{p.Offset_By(ox, oy), centre.Offset_By(ox, oy)}, {p.Offset_By(-ox, -oy), centre.Offset_By(-ox, -oy)}}};
}

Shape_Transform_Window::Shape_Transform_Window(Transform_Palette* palette_, TWindow* main_window_, TPoint position,
                                               int32_t height)
    : TWindow(palette_, "Manipulator Window"),
      palette(palette_),
      main_window(main_window_),
      clipboard(std::make_unique<Shape_Transform>()) {
  S = Size(11) + 2 * Size(25);
  H = S / 2;
  Attr.Style = (WS_CHILD | WS_VISIBLE) & ~WS_BORDER;
  Attr.Id = Window_Id;
  Attr.X = position.x;
  Attr.Y = position.y;
  Lay_Out(height < 0 ? 6 * S : height);

  new_button = new Rectangular_Button(this, New_Button_Id, New_Rect, 0, this);
  edit_button = new Rectangular_Button(this, Edit_Button_Id, Edit_Rect, 0, this);
  for (Rectangular_Button* b : {new_button, edit_button}) {
    if (palette->Custom_Files()) {
      b->Attr.Style |= WS_VISIBLE;
    } else {
      b->Attr.Style &= ~WS_VISIBLE;
    }
  }

  TPopupMenu move;
  move.AppendMenu(MF_STRING, Cm_Move_Left, "Left");
  move.AppendMenu(MF_STRING, Cm_Move_Right, "Right");
  move.AppendMenu(MF_STRING, Cm_Move_Up, "Up");
  move.AppendMenu(MF_STRING, Cm_Move_Down, "Down");
  popup.AppendMenu(MF_STRING, Cm_Cancel, "Cancel");
  popup.AppendMenu(MF_STRING, Cm_New, "New");
  popup.AppendMenu(MF_STRING, Cm_Edit, "Edit");
  popup.AppendMenu(MF_SEPARATOR);
  popup.AppendMenu(MF_STRING, Cm_Cut, "Cut");
  popup.AppendMenu(MF_STRING, Cm_Copy, "Copy");
  popup.AppendMenu(MF_STRING, Cm_Paste, "Paste");
  popup.AppendMenu(MF_STRING, Cm_Duplicate, "Duplicate");
  popup.AppendMenu(MF_POPUP, move, "Move");
  popup.AppendMenu(MF_SEPARATOR);
  popup.AppendMenu(MF_STRING, Cm_Save_Changes, "Save Changes");
  popup.AppendMenu(MF_STRING, Cm_Undo_Changes, "Undo Changes");
  popup.AppendMenu(MF_STRING, Cm_Recall_Original, "Recall Original");
  popup.AppendMenu(MF_STRING, Cm_Recall_Custom, "Recall Custom");
}

Shape_Transform_Window::~Shape_Transform_Window() {
  if (The_Mouse != nullptr && The_Mouse->Holds(this)) The_Mouse->Release(this);
}

void Shape_Transform_Window::Lay_Out(int32_t height) {
  Attr.W = 2 * S;
  Attr.H = height;
  const int32_t grid_top = height - 5 * S;
  Grid_Origin = TPoint(Size(29) / 2, grid_top);
  Grid = TRect(Grid_Origin, TSize(2 * S, 5 * S));
  Top_Square = TRect(H, 0, 3 * H, S);
  // Where the palette leaves next to no room between the top square and the
  // grid, the arrow still reaches into the notch between the first row's
  // round cells, far enough to be seen.
  const int32_t h = std::max((grid_top - S) + S / 16, S / 6);
  const int32_t w = h | 1;
  const int32_t arrow_top = S + Size(29) / 2;
  Arrow_Box = TRect(S - w / 2, arrow_top, S - w / 2 + w, arrow_top + h);
  New_Rect = TRect(H / 4 - 1, H / 4 - 2, H / 4 + H / 2 + 1, H / 4 + S - H / 2 + 2);
  Edit_Rect = TRect(2 * S - H / 4 - H / 2 - 1, New_Rect.top, 2 * S - H / 4 + 1, New_Rect.bottom);
}

void Shape_Transform_Window::SetupWindow() {
  TWindow::SetupWindow();
  auto reference = GUI_Bitmaps::Screen_Reference();
  frame = std::make_unique<Diagram_Frame>(*reference, S, S, Size(25), 1);
  pressed_frame = std::make_unique<Diagram_Frame>(*reference, S, S, Size(25), 0);
  Transform_Set_2D identity;
  identity.Add_Map(std::make_unique<Affine_Transform_2D>());
  identity_picture = std::make_unique<Transform_Diagram>(*reference, identity, *pressed_frame);

  // The editing picture: the frame with the program's picture 7 inside the
  // round outline.
  editing_picture = std::make_unique<TBitmap>(static_cast<const TBitmap&>(*frame));
  const TRect inner = frame->Geometry.inner;
  if (The_GUI_Bitmaps != nullptr) {
    The_GUI_Bitmaps->Get(7, inner.Size());
    if (const TBitmap* seven = The_GUI_Bitmaps->Pictures[7].get()) {
      TMemoryDC dc(*editing_picture);
      TMemoryDC source(*seven);
      dc.SelectClipRgn(TRegion::Ellipse(inner));
      dc.StretchBlt(inner, source, TRect(TPoint(0, 0), seven->Size()));
    }
  }
  new_button->Set_Caption("N\ne\nw");
  edit_button->Set_Caption("E\nd\ni\nt");
}

bool Shape_Transform_Window::Buttons_Visible() const {
  if (new_button == nullptr) return false;
  return new_button->GetHandle() ? new_button->IsWindowVisible() : (new_button->Attr.Style & WS_VISIBLE) != 0;
}

TRect Shape_Transform_Window::Cell_Rect(Cell cell) const {
  return TRect(Grid_Origin.Offset_By(cell.column * S, cell.row * S), TSize(S, S));
}

Cell Shape_Transform_Window::Hit_Test(TPoint p, bool* hit) const {
  *hit = false;
  if (Grid.Contains(p)) {
    const Cell cell{(p.y - Grid.top) / S, (p.x - Grid.left) / S};
    if (page == nullptr || cell.row * 2 + cell.column >= page->Count() || !In_Ellipse(Cell_Rect(cell), p)) return {};
    *hit = true;
    return cell;
  }
  if (Top_Square.Contains(p) && In_Ellipse(Top_Square, p)) *hit = true;
  return {};
}

void Shape_Transform_Window::Show_Page(Shape_Transform_Section* section_, Shape_Transform_Page* page_, bool repaint) {
  if (The_Tip_Window != nullptr) The_Tip_Window->Cancel();
  section = section_;
  page = page_;
  Press_Cell = Hover_Cell = Cell{};
  if (The_Mouse != nullptr && The_Mouse->Holds(this)) The_Mouse->Release(this);
  if (repaint && GetHandle()) {
    Invalidate(false);
    UpdateWindow();
  }
  Post_Selected(false);
}

void Shape_Transform_Window::Post_Selected(bool apply) {
  if (main_window != nullptr && main_window->GetHandle()) {
    main_window->PostMessage(Manipulator_Selected_Message, apply ? 1 : 0, 0);
  }
}

void Shape_Transform_Window::Make_Diagram(Shape_Transform& manipulator) const {
  manipulator.Set_Diagram(nullptr);
  if (frame == nullptr) return;
  auto reference = GUI_Bitmaps::Screen_Reference();
  manipulator.Set_Diagram(std::make_unique<Transform_Diagram>(
      *reference, manipulator, *frame, Color_Step_Level_Table[size_t(palette->Level())] != 0));
}

void Shape_Transform_Window::Update_Buttons(int32_t previous_level, int32_t level) {
  const bool show = Custom_Files_Level_Table[size_t(level)] != 0;
  if (show == (Custom_Files_Level_Table[size_t(previous_level)] != 0)) return;
  for (Rectangular_Button* b : {new_button, edit_button}) {
    if (b->GetHandle()) {
      b->ShowWindow(show ? SW_SHOW : SW_HIDE);
    } else if (show) {
      b->Attr.Style |= WS_VISIBLE;
    } else {
      b->Attr.Style &= ~WS_VISIBLE;
    }
  }
  Invalidate(false);
}

void Shape_Transform_Window::Resize(bool redraw) {
  SetWindowPos(HWND(), Attr.X, Attr.Y, Attr.W, Attr.H, redraw ? SWP_NOZORDER : SWP_NOZORDER | SWP_NOREDRAW);
  ShowWindow(SW_SHOW);
}

TPoint Shape_Transform_Window::Slot_Screen_Point(int32_t slot) const {
  const TRect r = Cell_Rect({slot / 2, slot % 2});
  TPoint p((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  ClientToScreen(p);
  return p;
}

TPoint Shape_Transform_Window::New_Button_Screen_Point() const {
  TPoint p((New_Rect.left + New_Rect.right) / 2, (New_Rect.top + New_Rect.bottom) / 2);
  ClientToScreen(p);
  return p;
}

TPoint Shape_Transform_Window::Edit_Button_Screen_Point() const {
  TPoint p((Edit_Rect.left + Edit_Rect.right) / 2, (Edit_Rect.top + Edit_Rect.bottom) / 2);
  ClientToScreen(p);
  return p;
}

Shape_Transform* Shape_Transform_Window::Selected() const { return page != nullptr ? page->Selected() : nullptr; }

void Shape_Transform_Window::Beep() const { Play_System_Sound("Default Beep", false); }

// ---- Drawing

void Shape_Transform_Window::Paint(TDC& dc, bool, TRect&) {
  if (The_Tip_Window != nullptr && The_Tip_Window->Shown) The_Tip_Window->Hide();
  dc.SelectObject(*The_GUI_Colors->Palette);
  if (Buttons_Visible()) {
    dc.ExcludeClipRect(New_Rect);
    dc.ExcludeClipRect(Edit_Rect);
  }
  dc.FillRect(GetClientRect(), *The_GUI_Colors->Scheme_Brush_0);
  if (identity_picture) {
    TMemoryDC source(static_cast<const TBitmap&>(*identity_picture));
    dc.BitBlt(Top_Square, source, TPoint(0, 0));
  }
  dc.SelectObject(*The_GUI_Colors->Scheme_Brush_1);
  dc.SelectStockObject(NULL_PEN);
  Draw_Arrow_Glyph(dc, Arrow_Box, Arrow_Down);
  dc.RestoreBrush();
  dc.RestorePen();
  dc.ExcludeClipRect(Arrow_Box.Inflated_By(0, 2));
  if (page == nullptr) return;
  for (int32_t slot = 0; slot < page->Count(); ++slot) Draw_Cell(dc, slot, false);
  Draw_Selection_Lines(dc);
}

void Shape_Transform_Window::Draw_Cell(TDC& dc, int32_t slot, bool pressed) {
  const Shape_Transform* m = page->At(slot);
  if (m == nullptr) return;
  const TRect cell = Cell_Rect({slot / 2, slot % 2});
  const bool edited = palette->Editing() && !palette->Editing_New() && palette->Editing_Source() == m;
  const TBitmap* picture = edited ? editing_picture.get() : m->Diagram();
  if (picture == nullptr) return;
  if (!pressed) {
    TMemoryDC source(*picture);
    dc.BitBlt(cell, source, TPoint(0, 0));
    return;
  }
  // Pressed: the diagram's inside, one pixel right and down, on the other
  // form of the frame.
  TBitmap look(static_cast<const TBitmap&>(*pressed_frame));
  {
    TMemoryDC ldc(look);
    TMemoryDC source(*picture);
    const TRect moved = pressed_frame->Geometry.inner.Offset_By(1, 1);
    ldc.SelectClipRgn(TRegion::Ellipse(moved));
    ldc.BitBlt(moved, source, pressed_frame->Geometry.inner.TopLeft());
  }
  TMemoryDC source(look);
  dc.BitBlt(cell, source, TPoint(0, 0));
}

void Shape_Transform_Window::Draw_Selection_Lines(TDC& dc) const {
  if (page == nullptr || page->Selected_Slot() < 0) return;
  const Cell cell{page->Selected_Row, page->Selected_Column};
  const TRect r = Cell_Rect(cell);
  const auto segments = Selection_Segments(TPoint(S, H), TPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2), H);
  dc.SaveDC();
  if (Buttons_Visible() && cell.row == 0) dc.ExcludeClipRect(cell.column == 0 ? New_Rect : Edit_Rect);
  TPen pen(The_GUI_Colors->Scheme_RGB(0), 1, PS_DOT);
  dc.SelectObject(pen);
  dc.SetROP2(R2_XORPEN);
  // The gaps between the dots stay as they are.
  dc.SetBkMode(TRANSPARENT);
  for (const auto& [from, to] : segments) {
    dc.MoveTo(from);
    dc.LineTo(to);
  }
  dc.RestoreDC();
}

void Shape_Transform_Window::Toggle_Selection_Lines() {
  if (!GetHandle()) return;
  TClientDC dc(*this);
  dc.ExcludeClipRect(Arrow_Box.Inflated_By(0, 2));
  Draw_Selection_Lines(dc);
}

void Shape_Transform_Window::Draw_Cell_Pressed(int32_t slot, bool pressed) {
  if (!GetHandle() || page == nullptr) return;
  TClientDC dc(*this);
  dc.SelectObject(*The_GUI_Colors->Palette);
  if (slot / 2 == 0) dc.ExcludeClipRect(Arrow_Box.Inflated_By(0, 2));
  dc.IntersectClipRect(Cell_Rect({slot / 2, slot % 2}));
  Draw_Cell(dc, slot, pressed);
  Draw_Selection_Lines(dc);
}

void Shape_Transform_Window::Draw_Cell_Released(int32_t slot) { Draw_Cell_Pressed(slot, false); }

void Shape_Transform_Window::Select(Cell cell) {
  Toggle_Selection_Lines();
  page->Select_Slot(cell.row * 2 + cell.column);
  Toggle_Selection_Lines();
}

// ---- Mouse

void Shape_Transform_Window::EvLButtonDown(UINT, const TPoint& point) {
  if (The_Mouse != nullptr && The_Mouse->Right_Button_Down) return;
  bool hit = false;
  const Cell cell = Hit_Test(point, &hit);
  if (page != nullptr && hit) {
    if (!palette->Enabled || palette->Editing()) {
      Beep();
      return;
    }
    if (cell.None()) {
      if (page->Selected_Slot() >= 0) {
        Toggle_Selection_Lines();
        page->Clear_Selection();
        Post_Selected(true);
      }
    } else {
      const Shape_Transform* hovered = Hover_Cell.None() ? nullptr : page->At(Hover_Cell.row * 2 + Hover_Cell.column);
      if (Tip_Of(hovered) != nullptr && The_Tip_Window != nullptr) The_Tip_Window->Press_Item(Tip_Of(hovered));
      if (The_Mouse != nullptr && !The_Mouse->Holds(this)) The_Mouse->Capture(this);
      Draw_Cell_Pressed(cell.row * 2 + cell.column, true);
      Press_Cell = cell;
    }
  }
  Hover_Cell = cell;
}

void Shape_Transform_Window::EvMouseMove(UINT, const TPoint& point) {
  bool hit = false;
  const Cell cell = Hit_Test(point, &hit);
  if (Press_Cell.None()) {
    if (!(cell == Hover_Cell) && page != nullptr && The_Tip_Window != nullptr) {
      const Shape_Transform* old_m = Hover_Cell.None() ? nullptr : page->At(Hover_Cell.row * 2 + Hover_Cell.column);
      const Shape_Transform* new_m = cell.None() ? nullptr : page->At(cell.row * 2 + cell.column);
      if (Tip_Of(old_m) != nullptr) The_Tip_Window->Leave_Item(Tip_Of(old_m));
      if (Tip_Of(new_m) != nullptr) {
        The_Tip_Window->Enter_Item(Tip_Of(new_m));
        if (The_Mouse != nullptr && !The_Mouse->Holds(this)) The_Mouse->Capture(this);
      }
    }
  } else if (!(cell == Hover_Cell)) {
    if (cell == Press_Cell) Draw_Cell_Pressed(Press_Cell.row * 2 + Press_Cell.column, true);
    if (Hover_Cell == Press_Cell) Draw_Cell_Pressed(Press_Cell.row * 2 + Press_Cell.column, false);
  }
  Hover_Cell = cell;
  if (Hover_Cell.None() && Press_Cell.None() && The_Mouse != nullptr && The_Mouse->Holds(this)) {
    The_Mouse->Release(this);
  }
}

void Shape_Transform_Window::EvLButtonUp(UINT, const TPoint& point) {
  if (Press_Cell.None()) return;
  bool hit = false;
  const Cell cell = Hit_Test(point, &hit);
  const int32_t slot = Press_Cell.row * 2 + Press_Cell.column;
  if (!(cell == Press_Cell)) {
    const Shape_Transform* pressed = page != nullptr ? page->At(slot) : nullptr;
    if (Tip_Of(pressed) != nullptr && The_Tip_Window != nullptr) The_Tip_Window->Leave_Item(Tip_Of(pressed));
  } else if (page != nullptr) {
    Draw_Cell_Pressed(slot, false);
    if (page->Selected_Slot() != slot) Select(Press_Cell);
    Post_Selected(true);
  }
  Press_Cell = Cell{};
  if (The_Mouse != nullptr && The_Mouse->Holds(this)) The_Mouse->Release(this);
}

void Shape_Transform_Window::EvRButtonUp(UINT, const TPoint& point) {
  if (The_Mouse != nullptr && The_Mouse->Left_Button_Down) return;
  if (!palette->Custom_Files() || !palette->Enabled || palette->Editing() || palette->Game_Running()) return;
  const Shape_Transform* hovered =
      page == nullptr || Hover_Cell.None() ? nullptr : page->At(Hover_Cell.row * 2 + Hover_Cell.column);
  if (Tip_Of(hovered) != nullptr && The_Tip_Window != nullptr) {
    The_Tip_Window->Press_Item(Tip_Of(hovered));
    if (The_Mouse != nullptr && The_Mouse->Holds(this)) The_Mouse->Release(this);
  }
  bool hit = false;
  const Cell cell = Hit_Test(point, &hit);
  if (page != nullptr && hit && !cell.None() && page->Selected_Slot() != cell.row * 2 + cell.column) {
    Select(cell);
    Post_Selected(false);
  }
  TPoint screen = point;
  ClientToScreen(screen);
  popup.TrackPopupMenu(TPM_RIGHTBUTTON, screen, *this);
}

LRESULT Shape_Transform_Window::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == Mouse_Lost_Message) {
    Press_Cell = Hover_Cell = Cell{};
    return 0;
  }
  return TWindow::WindowProc(msg, wp, lp);
}

// ---- Commands

bool Shape_Transform_Window::Enabled_Command(UINT id) const {
  const bool free = palette->Enabled && !palette->Editing() && !palette->Game_Running();
  const bool selected = free && Selected() != nullptr;
  switch (id) {
    case Cm_Cancel: return true;
    case Cm_New: case New_Button_Id: return free;
    case Cm_Edit: case Edit_Button_Id: case Cm_Cut: case Cm_Copy: case Cm_Duplicate: return selected;
    case Cm_Paste: return clipboard->Count() > 0;
    case Cm_Move_Left: case Cm_Move_Right: case Cm_Move_Up: case Cm_Move_Down: return selected && Can_Move(id);
    case Cm_Save_Changes: return palette->Modified && palette->Users().Data_Directory_Writable();
    case Cm_Undo_Changes: return palette->Modified;
    case Cm_Recall_Original: return palette->Modified || palette->Source_Id == Transform_Palette::File_Source;
    case Cm_Recall_Custom:
      return palette->User_File_Exists && (palette->Modified || palette->Source_Id != Transform_Palette::File_Source);
    default: return false;
  }
}

void Shape_Transform_Window::EvCommandEnable(TCommandEnabler& enabler) {
  const UINT id = enabler.GetId();
  if ((id >= Cm_Cancel && id <= Cm_Recall_Custom) || id == New_Button_Id || id == Edit_Button_Id) {
    enabler.Enable(Enabled_Command(id));
    return;
  }
  TWindow::EvCommandEnable(enabler);
}

LRESULT Shape_Transform_Window::EvCommand(UINT id, HWND control, UINT notify_code) {
  if (id == New_Button_Id) id = Cm_New;
  if (id == Edit_Button_Id) id = Cm_Edit;
  if (id < Cm_Cancel || id > Cm_Recall_Custom) return TWindow::EvCommand(id, control, notify_code);
  // Every command checks what its enabler checks: a command can arrive
  // without the menu (a button, a script).
  if (!Enabled_Command(id)) return 0;
  Shape_Transform* selected = Selected();
  switch (id) {
    case Cm_New: palette->New(); break;
    case Cm_Edit:
      palette->Edit(*selected);
      Draw_Cell_Released(page->Selected_Slot());
      break;
    case Cm_Cut:
      clipboard = std::make_unique<Shape_Transform>(*selected);
      palette->Delete(selected);
      break;
    case Cm_Copy: clipboard = std::make_unique<Shape_Transform>(*selected); break;
    case Cm_Paste: palette->Duplicate(*clipboard); break;
    case Cm_Duplicate: palette->Duplicate(*selected); break;
    case Cm_Move_Left: case Cm_Move_Right: case Cm_Move_Up: case Cm_Move_Down: Move(id); break;
    case Cm_Save_Changes: palette->Save_Changes(); break;
    case Cm_Undo_Changes: palette->Undo_Changes(); break;
    case Cm_Recall_Original: palette->Recall_Original(); break;
    case Cm_Recall_Custom: palette->Recall_Custom(); break;
    default: break;
  }
  return 0;
}

bool Shape_Transform_Window::Can_Move(UINT command) const {
  if (page == nullptr || section == nullptr || page->Selected_Slot() < 0) return false;
  const int32_t row = page->Selected_Row, column = page->Selected_Column;
  const Shape_Transform_Page* next = section->Page(page->Page_Number + 1);
  switch (command) {
    case Cm_Move_Left: return column == 1;
    case Cm_Move_Right: return column == 0 && row * 2 + 1 < page->Count();
    case Cm_Move_Up: return row > 0 || page->Page_Number > 0;
    case Cm_Move_Down:
      return (row + 1) * 2 + column < page->Count() ||
             (row == Rows - 1 && next != nullptr && next->Count() > column);
    default: return false;
  }
}

void Shape_Transform_Window::Move(UINT command) {
  const int32_t row = page->Selected_Row, column = page->Selected_Column;
  const int32_t slot = row * 2 + column;
  Shape_Transform_Page* other_page = page;
  int32_t other = -1;
  switch (command) {
    case Cm_Move_Left: other = slot - 1; break;
    case Cm_Move_Right: other = slot + 1; break;
    case Cm_Move_Up:
      if (row > 0) {
        other = slot - 2;
      } else {
        other_page = section->Page(page->Page_Number - 1);
        other = (Rows - 1) * 2 + column;
      }
      break;
    default:
      if ((row + 1) * 2 + column < page->Count()) {
        other = slot + 2;
      } else {
        other_page = section->Page(page->Page_Number + 1);
        other = column;
      }
      break;
  }
  if (other_page == nullptr || other_page->At(other) == nullptr) return;
  if (other_page == page) {
    page->Swap(slot, other);
    page->Select_Slot(other);
    Invalidate(false);
  } else {
    Manipulator_Ref moving = page->Slot(slot);
    Manipulator_Ref back = other_page->Exchange(other, moving);
    page->Exchange(slot, back);
    page->Clear_Selection();
    other_page->Select_Slot(other);
    const int32_t s = palette->Section_Of(*moving);
    palette->Select_Cell(s, other_page->Page_Number * Shape_Transform_Page::Slot_Count + other);
  }
  palette->Modified = true;
  palette->Notify_Changed();
}
