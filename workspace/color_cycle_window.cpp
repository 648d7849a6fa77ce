#include "workspace/color_cycle_window.h"

#include <cerrno>
#include <cmath>
#include <cstdio>

#include "model/gui_colors.h"
#include "platform/gdi/brush.h"
#include "platform/gdi/font.h"
#include "platform/gdi/memory_dc.h"
#include "platform/gdi/pen.h"
#include "platform/gdi/region.h"
#include "platform/system/atomic_file.h"
#include "platform/system/file_system.h"
#include "platform/system/resource.h"
#include "platform/system/user_file.h"
#include "platform/window/command_enabler.h"
#include "platform/window/cursor.h"
#include "platform/window/desktop.h"
#include "platform/window/message_box.h"
#include "platform/window/response_table.h"
#include "platform/window/user.h"
#include "platform/window/window_dc.h"
#include "toolkit/arrow_button.h"
#include "toolkit/demonstration_state.h"
#include "toolkit/gui_sizes.h"
#include "toolkit/mouse.h"
#include "toolkit/program_messages.h"
#include "toolkit/round_border.h"
#include "users/level_tables.h"
#include "users/user_data.h"
#include "users/user_database.h"
#include "workspace/color_wheel.h"
#include "workspace/eraser.h"
#include "workspace/fill_pointer.h"

namespace {

int Size(int index) { return (*The_GUI_Sizes)[index]; }
TColor Scheme(int index) { return The_GUI_Colors->Scheme[size_t(index)]; }
uint32_t Bit(int cycle) { return 1u << cycle; }

const Color_Transform Empty_Cycle;

// A stored RGB value as the colour kept in memory: on a palette display the
// palette entry nearest it, otherwise the nearest of the program's colours.
TColor Snap(TColor rgb) {
  if (The_GUI_Colors && The_GUI_Colors->Is_Palette_Device)
    return RGB_To_Palette_Color(rgb, *The_GUI_Colors->Palette);
  return Nearest_Palette_Color(rgb);
}

std::string Numbered(const char* format, int n) {
  char text[64];
  std::snprintf(text, sizeof text, format, n);
  return text;
}

// The square about a point, grown by d on every side.
TRect Grown(const TRect& r, int d) { return TRect(r.left - d, r.top - d, r.right + d, r.bottom + d); }

}  // namespace

static const TResponse_Table<Color_Cycle_Window> Cycle_Table = {
    EV_COMMAND<Color_Cycle_Window>(Color_Cycle_Window::Cm_Cancel, &Color_Cycle_Window::Cmd_Cancel),
    EV_COMMAND<Color_Cycle_Window>(Color_Cycle_Window::Cm_Copy, &Color_Cycle_Window::Cmd_Copy),
    EV_COMMAND<Color_Cycle_Window>(Color_Cycle_Window::Cm_Paste, &Color_Cycle_Window::Cmd_Paste),
    EV_COMMAND<Color_Cycle_Window>(Color_Cycle_Window::Cm_Save_Cycle, &Color_Cycle_Window::Cmd_Save_Cycle),
    EV_COMMAND<Color_Cycle_Window>(Color_Cycle_Window::Cm_Undo_Cycle, &Color_Cycle_Window::Cmd_Undo_Cycle),
    EV_COMMAND<Color_Cycle_Window>(Color_Cycle_Window::Cm_Recall_Cycle, &Color_Cycle_Window::Cmd_Recall_Cycle),
    EV_COMMAND<Color_Cycle_Window>(Color_Cycle_Window::Cm_Save_All, &Color_Cycle_Window::Cmd_Save_All),
    EV_COMMAND<Color_Cycle_Window>(Color_Cycle_Window::Cm_Undo_All, &Color_Cycle_Window::Cmd_Undo_All),
    EV_COMMAND<Color_Cycle_Window>(Color_Cycle_Window::Cm_Recall_All, &Color_Cycle_Window::Cmd_Recall_All),
    EV_COMMAND_ENABLE<Color_Cycle_Window>(Color_Cycle_Window::Cm_Copy, &Color_Cycle_Window::Ce_Copy),
    EV_COMMAND_ENABLE<Color_Cycle_Window>(Color_Cycle_Window::Cm_Paste, &Color_Cycle_Window::Ce_Paste),
    EV_COMMAND_ENABLE<Color_Cycle_Window>(Color_Cycle_Window::Cm_Save_Cycle, &Color_Cycle_Window::Ce_Save_Cycle),
    EV_COMMAND_ENABLE<Color_Cycle_Window>(Color_Cycle_Window::Cm_Undo_Cycle, &Color_Cycle_Window::Ce_Undo_Cycle),
    EV_COMMAND_ENABLE<Color_Cycle_Window>(Color_Cycle_Window::Cm_Recall_Cycle, &Color_Cycle_Window::Ce_Recall_Cycle),
    EV_COMMAND_ENABLE<Color_Cycle_Window>(Color_Cycle_Window::Cm_Save_All, &Color_Cycle_Window::Ce_Save_All),
    EV_COMMAND_ENABLE<Color_Cycle_Window>(Color_Cycle_Window::Cm_Undo_All, &Color_Cycle_Window::Ce_Undo_All),
    EV_COMMAND_ENABLE<Color_Cycle_Window>(Color_Cycle_Window::Cm_Recall_All, &Color_Cycle_Window::Ce_Recall_All),
};

bool Color_Cycle_Window::Find(TEventInfo& info) { return Cycle_Table.Dispatch(*this, info) || TWindow::Find(info); }

// ---- Construction

Color_Cycle_Window::Color_Cycle_Window(TWindow* parent, const TRect& rect, Color_Wheel* wheel_)
    : TWindow(parent, "Color Cycle Window"), wheel(wheel_) {
  Attr.Id = Window_Id;
  Attr.Set_Rect(rect);
  level = Level_Index();
  enabled = Has_Cycles(level);
  Attr.Style = WS_CHILD | (enabled ? WS_VISIBLE : WS_DISABLED);
  Build_Geometry(rect);
  Build_Menu();
  for (int i = 0; i < 2; ++i) {
    row_buttons[size_t(i)] = new Arrow_Button(this, Previous_Row_Id + i, button_rects[size_t(i)],
                                              i == 0 ? Arrow_Kind_Up : Arrow_Kind_Down, 1, Arrow_No_Repeat, this);
    row_buttons[size_t(i)]->Attr.Style &= ~WS_VISIBLE;
  }
  for (Color_Transform& cycle : current) cycle.count = 0;
  Read_Defaults(defaults);
}

Color_Cycle_Window::~Color_Cycle_Window() {
  if (The_Eraser) The_Eraser->Detach_Client(this);
  if (holding_mouse && The_Mouse) The_Mouse->Release(this);
}

void Color_Cycle_Window::Build_Geometry(const TRect& rect) {
  Client = TRect(0, 0, rect.Width(), rect.Height());
  const int W = Client.Width();
  H = Client.Height();
  k = Size(25);
  gap = (W - 6 * H) / 5;
  for (int i = 0; i < 5; ++i) cell_rects[size_t(i)] = TRect(i * (H + gap), 0, i * (H + gap) + H, H);
  grid_area = TRect(0, 0, cell_rects[4].right, H);
  right_area = TRect(grid_area.right, 0, W, H);
  const int d = 2 * H / 10;
  spot_rect = TRect(H / 2 - d, H / 2 - d, H / 2 + d, H / 2 + d);
  const int b = (H - 3 * k) / 2;
  button_rects[0] = TRect(W - 2 * b - k, k, W - k, k + b);
  button_rects[1] = TRect(W - 2 * b - k, H - b, W - k, H);

  // Rays from the centre of a cell, for every colour count: the first ray
  // points straight up and the others follow clockwise. Each ray is a thin
  // quadrilateral whose two long edges are drawn in shading colours that
  // follow the light from the upper left.
  const float pi = 3.14159265f;
  const TPoint centre(H / 2, H / 2);
  const TPoint A[4] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
  const TPoint B[4] = {{1, 0}, {0, 1}, {-1, 0}, {0, -1}};
  for (int n = 1; n <= 10; ++n) {
    first_ray[size_t(n)] = n * (n - 1) / 2;
    float t = 5 * pi / 2;
    for (int i = 0; i < n; ++i, t -= 2 * pi / float(n)) {
      Ray& ray = rays[size_t(first_ray[size_t(n)] + i)];
      const int q = ((int(std::trunc((11 * pi / 4 - t) * 2 / pi)) % 4) + 4) % 4;
      const TPoint p0 = centre + A[q];
      const TPoint p1 = p0 + TPoint(int(std::trunc(float(H) * std::cos(t))), -int(std::trunc(float(H) * std::sin(t))));
      ray.p = {p0, p1, p1 + B[q], p0 + B[q]};
      int v = int(std::trunc((9 * pi / 4 - t) * 11 / pi));
      if (v < 0) v = -v;
      if (v > 11) v = 22 - v;
      ray.left_line = Scheme(49 - v);
      ray.right_line = Scheme(38 + v);
    }
  }
  rays[Ray_Count - 1] = rays[0];
}

void Color_Cycle_Window::Build_Menu() {
  menu.AppendMenu(MF_STRING, Cm_Cancel, "Cancel");
  menu.AppendMenu(MF_STRING, Cm_Copy, "Copy Cycle");
  menu.AppendMenu(MF_STRING, Cm_Paste, "Paste Cycle");
  menu.AppendMenu(MF_SEPARATOR);
  menu.AppendMenu(MF_STRING, Cm_Save_Cycle, "Save Cycle Changes");
  menu.AppendMenu(MF_STRING, Cm_Undo_Cycle, "Undo Cycle Changes");
  menu.AppendMenu(MF_STRING, Cm_Recall_Cycle, "Recall Cycle Original");
  menu.AppendMenu(MF_SEPARATOR);
  menu.AppendMenu(MF_STRING, Cm_Save_All, "Save All Cycles");
  menu.AppendMenu(MF_STRING, Cm_Undo_All, "Undo All Changes");
  menu.AppendMenu(MF_STRING, Cm_Recall_All, "Recall All Originals");
}

void Color_Cycle_Window::SetupWindow() {
  TWindow::SetupWindow();
  // The gaps between the cells show the panel's background.
  for (auto& picture : row_picture) {
    picture = std::make_unique<TBitmap>(grid_area.Width(), H);
    TMemoryDC(*picture).FillRect(TRect(0, 0, grid_area.Width(), H), *The_GUI_Colors->Scheme_Brush_0);
  }
  if (!Read_File(current))
    Load_Defaults();
  else {
    saved = current;
    Recompute_Masks();
  }
  Draw_Rows();
  if (Parent) Parent->PostMessage(Color_Cycle_Selected_Message);
  for (Arrow_Button* button : row_buttons) button->ShowWindow(SW_SHOW);
}

// ---- Levels and users

int Color_Cycle_Window::Level_Index() const {
  return The_User_Database ? The_User_Database->current_user->Level_Index() : 0;
}
bool Color_Cycle_Window::Has_Cycles(int32_t level_index) const {
  return Level_Entry(Color_Step_Level_Table, level_index) != 0;
}
bool Color_Cycle_Window::Menu_Level() const { return Level_Entry(Custom_Files_Level_Table, Level_Index()) != 0; }

std::string Color_Cycle_Window::File_Path_Of(const User& user) { return user.File_Path("clr"); }

const Color_Transform& Color_Cycle_Window::Selected_Cycle() const {
  const int c = Selected_Index();
  return c == 0 ? Empty_Cycle : current[size_t(c)];
}

// ---- The file

bool Color_Cycle_Window::Write_File(const Color_Cycles& cycles) {
  if (!The_User_Database) return false;
  const std::string path = File_Path_Of(*The_User_Database->current_user);
  errno = 0;
  if (!path.empty() && path != file_kept_in_place &&
      Write_File_Atomically(path, Color_Cycle_Bytes(cycles, *The_GUI_Colors->Palette)))
    return true;
  Refuse_Write(path, errno);
  return false;
}

void Color_Cycle_Window::Refuse_Write(const std::string& path, int error) {
  const std::string outcome = "the changes to the color cycles are not saved";
  // A file that could not be read whole stays as it is, for the reason it
  // could not be read.
  const std::string text = !path.empty() && path == file_kept_in_place
                               ? "Unable to write file " + path + "\n" + File_Fault_Reason(kept_in_place_fault) +
                                     ": " + outcome + "."
                               : Unwritable_File_Message(path, error, outcome);
  ::MessageBox(GetHandle(), text, "WARNING", MB_OK | MB_ICONSTOP);
}

bool Color_Cycle_Window::Read_File(Color_Cycles& cycles) {
  if (!The_User_Database) return false;
  const std::string path = File_Path_Of(*The_User_Database->current_user);
  if (path.empty() || !File_Exists(path)) return false;
  // A file longer than a cycle file is refused unread.
  const TUser_File_Read read = Read_User_File(path, Color_Cycle_File_Size);
  if (read.bytes && Read_Color_Cycle_Bytes(*read.bytes, cycles, &Snap)) return true;
  const TFile_Fault fault = read.bytes ? TFile_Fault::Damaged : read.fault;
  // The file is never saved over: one that could be opened goes aside
  // first, one that could not stays (the writer never replaces it).
  std::string outcome = "the built-in color cycles are used";
  const std::string aside = File_Must_Stay(fault) || !The_User_Data.writable ? std::string() : Keep_File_Aside(path);
  outcome += aside.empty() ? " and the file is left as it is" : ", and the file is kept as " + aside;
  if (aside.empty()) {
    file_kept_in_place = path;
    kept_in_place_fault = fault;
  }
  ::MessageBox(GetHandle(), Unreadable_File_Message(path, fault, outcome), "WARNING", MB_OK | MB_ICONSTOP);
  return false;
}

bool Color_Cycle_Window::Read_Defaults(Color_Cycles& cycles) {
  const TResource block = Find_Resource(RT_RCDATA, Color_Cycle_Block_Id);
  if (block) Read_Color_Cycle_Bytes(std::span<const uint8_t>(block.data, block.size), cycles, &Snap);
  return true;
}

void Color_Cycle_Window::Load_Defaults() {
  current = defaults;
  saved = defaults;
  pristine = All_Cycles;
  dirty = 0;
}

void Color_Cycle_Window::Update_Bits(int cycle) {
  const size_t c = size_t(cycle);
  dirty = current[c] == saved[c] ? dirty & ~Bit(cycle) : dirty | Bit(cycle);
  pristine = current[c] == defaults[c] ? pristine | Bit(cycle) : pristine & ~Bit(cycle);
}

void Color_Cycle_Window::Recompute_Masks() {
  for (int c = 0; c < Color_Cycle_Count; ++c) Update_Bits(c);
}

// ---- Drawing

void Color_Cycle_Window::Draw_Cell(int cycle, bool pressed) {
  const int n = cycle + 1;
  const Color_Transform& colors = current[size_t(cycle)];
  TBitmap picture(H, H);
  TMemoryDC dc(picture);
  dc.SelectObject(*The_GUI_Colors->Palette);
  dc.SelectStockObject(NULL_PEN);
  const TRect square(0, 0, H, H);
  const Ray* first = &rays[size_t(first_ray[size_t(n)])];
  if (n == 1) {
    dc.FillRect(square, *The_GUI_Colors->Scheme_Brush_0);
  } else if (n == 2) {
    dc.FillRect(TRect(first[0].p[2].x, 0, H, H), TBrush(colors.colors[0]));
    dc.FillRect(TRect(0, 0, first[1].p[2].x, H), TBrush(colors.colors[1]));
  } else {
    for (int i = 0; i < n; ++i) {
      const Ray& ray = first[i];
      const Ray& next = first[i + 1];  // the next count's first ray, or the 56th
      const TPoint wedge[4] = {ray.p[2], ray.p[3], next.p[0], next.p[1]};
      dc.SelectObject(TBrush(colors.colors[size_t(i)]));
      dc.Polygon(wedge, 4);
    }
  }
  // The corners outside the diagram, the frame round it and round the spot.
  TRegion corners = TRegion(square);
  corners -= TRegion::Ellipse(square);
  dc.FillRgn(corners, *The_GUI_Colors->Scheme_Brush_0);
  The_Round_Border->Blit_Clipped(dc, square, k, 0);
  The_Round_Border->Blit_Clipped(dc, Grown(spot_rect, 1), 1, 0);
  // The rays' edges, inside the frame.
  dc.SelectClipRgn(TRegion::Ellipse(Grown(square, -(k - 1))));
  for (int i = 0; i < n; ++i) {
    const Ray& ray = first[i];
    dc.SelectObject(TPen(ray.left_line));
    dc.MoveTo(ray.p[0]);
    dc.LineTo(ray.p[1]);
    dc.SelectObject(TPen(ray.right_line));
    dc.MoveTo(ray.p[2]);
    dc.LineTo(ray.p[3]);
  }
  // The centre spot with the cycle's number, sunk when chosen.
  dc.SelectClipRgn(TRegion::Ellipse(spot_rect));
  dc.FillRect(spot_rect, *The_GUI_Colors->Scheme_Brush_0);
  The_Round_Border->Blit_Clipped(dc, spot_rect, k, pressed ? 1 : 0);
  const TRect face = Grown(spot_rect, -k);
  dc.SelectClipRgn(TRegion::Ellipse(face));
  dc.SelectObject(TFont("MS Serif", std::max(face.Width() * 3 / 4, 1), FW_NORMAL));
  TText_Metrics metrics;
  dc.GetTextMetrics(metrics);
  dc.SetBkMode(TRANSPARENT);
  dc.SetTextColor(Scheme(1));
  dc.SetTextAlign(TA_CENTER | TA_TOP);
  const int shift = pressed ? 1 : 0;
  dc.TextOut(H / 2 + shift, H / 2 - metrics.height / 2 + shift, std::to_string(n));
  dc.RemoveClipRgn();
  TMemoryDC row(*row_picture[size_t(cycle / 5)]);
  row.BitBlt(cell_rects[size_t(cycle % 5)], dc, TPoint(0, 0));
  dc.RestoreObjects();
}

void Color_Cycle_Window::Draw_Rows() {
  for (int c = 0; c < Color_Cycle_Count; ++c) Draw_Cell(c, c == Selected_Index());
}

// Redraws one cell into its row picture and, when its row is shown, on the
// screen.
void Color_Cycle_Window::Show_Cell(int cycle) {
  Draw_Cell(cycle, cycle == Selected_Index());
  if (!GetHandle() || !IsWindowVisible() || cycle / 5 != shown_row) return;
  const bool pointer = The_Fill_Pointer && The_Fill_Pointer->Shown();
  if (pointer) The_Fill_Pointer->Hide();
  TClientDC dc(*this);
  TMemoryDC row(*row_picture[size_t(shown_row)]);
  const TRect& r = cell_rects[size_t(cycle % 5)];
  dc.BitBlt(r, row, r.TopLeft());
  if (pointer) The_Fill_Pointer->Show_At_Cursor();
}

// Four small triangles in the corners of a cell, pointing at its centre.
void Color_Cycle_Window::Draw_Marks(TDC& dc, int column, bool shown) const {
  const TRect& cell = cell_rects[size_t(column)];
  const TPoint centre(cell.left + H / 2, H / 2);
  const int r = int((H / 2 + 2 * k + 2) * 0.7071);
  const int m = std::max(2, H / 2 - r - 1);
  dc.SelectObject(TPen(Scheme(shown ? 1 : 0)));
  dc.SelectObject(shown ? *The_GUI_Colors->Scheme_Brush_1 : *The_GUI_Colors->Scheme_Brush_0);
  for (int sx : {-1, 1})
    for (int sy : {-1, 1}) {
      const TPoint tip(centre.x + sx * r, centre.y + sy * r);
      const TPoint mark[3] = {tip, TPoint(tip.x + sx * m, tip.y), TPoint(tip.x, tip.y + sy * m)};
      dc.Polygon(mark, 3);
    }
  dc.RestoreObjects();
}

bool Color_Cycle_Window::EvEraseBkgnd(TDC&) { return true; }

void Color_Cycle_Window::Paint(TDC& dc, bool, TRect&) {
  dc.SelectObject(*The_GUI_Colors->Palette);
  const bool pointer = The_Fill_Pointer && The_Fill_Pointer->Shown();
  if (pointer) The_Fill_Pointer->Hide();
  if (row_picture[size_t(shown_row)]) {
    TMemoryDC row(*row_picture[size_t(shown_row)]);
    dc.BitBlt(grid_area, row, TPoint(0, 0));
  }
  if (selected_row == shown_row) Draw_Marks(dc, selected_column, true);
  TRegion rest = TRegion(right_area);
  for (const TRect& b : button_rects) rest -= TRegion(b);
  dc.FillRgn(rest, *The_GUI_Colors->Scheme_Brush_0);
  if (pointer) The_Fill_Pointer->Show_At_Cursor();
  needs_paint = false;
}

void Color_Cycle_Window::Repaint_All() {
  needs_paint = true;
  Invalidate(false);
}

// ---- Hit tests

int Color_Cycle_Window::Cell_Test(TPoint point, int& column, TPoint& in_cell) const {
  if (!grid_area.Contains(point)) return Nothing;
  column = point.x / (H + gap);
  in_cell = TPoint(point.x - column * (H + gap), point.y);
  if (column > 4 || in_cell.x >= H) return Nothing;
  if (TRegion::Ellipse(spot_rect).Contains(in_cell)) return Spot;
  if (shown_row * 5 + column > 0 && TRegion::Ellipse(Grown(TRect(0, 0, H, H), -k)).Contains(in_cell)) return Wedges;
  return Nothing;
}

int Color_Cycle_Window::Wedge_Test(int row, int column, TPoint in_cell) const {
  const int n = row * 5 + column + 1;
  const Ray* first = &rays[size_t(first_ray[size_t(n)])];
  if (n == 1) return -1;
  if (n == 2) {
    if (in_cell.x >= first[0].p[2].x) return 0;
    if (in_cell.x <= first[0].p[0].x) return 1;
    return -1;
  }
  for (int i = 0; i < n; ++i) {
    const TPoint wedge[4] = {first[i].p[2], first[i].p[3], first[i + 1].p[0], first[i + 1].p[1]};
    if (TRegion::Polygon(wedge, 4, TFill_Rule::Alternate).Contains(in_cell)) return i;
  }
  return -1;
}

// ---- Choosing, painting and picking up

void Color_Cycle_Window::Give_Pointer(TColor color) {
  if (The_Fill_Pointer) The_Fill_Pointer->Set_Color(color, The_GUI_Colors->Palette.get());
  if (Parent) Parent->PostMessage(Fill_Color_Message);
}

void Color_Cycle_Window::Forget_Eraser() {
  if (The_Eraser) The_Eraser->Detach_Client(this);
}

void Color_Cycle_Window::Select_Cycle(int row, int column) {
  const int old_row = selected_row, old_column = selected_column;
  const bool visible = GetHandle() && IsWindowVisible();
  selected_row = row;
  selected_column = column;
  Show_Cell(old_row * 5 + old_column);
  Show_Cell(row * 5 + column);
  if (visible) {
    TClientDC dc(*this);
    if (old_row == shown_row) Draw_Marks(dc, old_column, false);
    if (row == shown_row) Draw_Marks(dc, column, true);
  }
  if (row != old_row && row != shown_row) {
    shown_row = row;
    Repaint_All();
  }
  const Color_Transform& chosen = Selected_Cycle();
  if (chosen.count != 0) Give_Pointer(chosen.colors[0]);
  if (Parent) Parent->PostMessage(Color_Cycle_Selected_Message);
  Forget_Eraser();
}

void Color_Cycle_Window::EvLButtonDown(UINT, const TPoint& point) {
  int column = 0;
  TPoint in_cell;
  const int region = Cell_Test(point, column, in_cell);
  if (region == Wedges) {
    const int slot = Wedge_Test(shown_row, column, in_cell);
    if (slot < 0 || !The_Fill_Pointer) return;
    const int cycle = shown_row * 5 + column;
    Color_Transform& colors = current[size_t(cycle)];
    erase_row = shown_row;
    erase_column = column;
    erase_slot = slot;
    erase_color = colors.colors[size_t(slot)];
    if (The_Eraser) The_Eraser->Attach(this, The_Fill_Pointer->Color);
    colors.colors[size_t(slot)] = The_Fill_Pointer->Color;
    if (slot >= colors.count) colors.count = slot + 1;
    Update_Bits(cycle);
    Show_Cell(cycle);
  } else if (region == Spot) {
    if (shown_row == selected_row && column == selected_column) {
      const Color_Transform& chosen = Selected_Cycle();
      if (chosen.count != 0) Give_Pointer(chosen.colors[0]);
    } else {
      Select_Cycle(shown_row, column);
    }
  }
}

void Color_Cycle_Window::EvRButtonUp(UINT, const TPoint& point) {
  if (!Menu_Level()) return;
  int column = 0;
  TPoint in_cell;
  const int region = Cell_Test(point, column, in_cell);
  if (The_Fill_Pointer && The_Fill_Pointer->Shown()) {
    const int slot = region == Wedges ? Wedge_Test(shown_row, column, in_cell) : -1;
    if (slot >= 0) {
      Give_Pointer(current[size_t(shown_row * 5 + column)].colors[size_t(slot)]);
      return;
    }
    The_Fill_Pointer->Hide();
    Release_Mouse();
  }
  menu_cycle = region == Spot ? shown_row * 5 + column : Selected_Index();
  const int n = menu_cycle + 1;
  menu.ModifyMenu(Cm_Copy, MF_BYCOMMAND | MF_STRING, Cm_Copy, Numbered("Copy Cycle %d", n));
  menu.ModifyMenu(Cm_Save_Cycle, MF_BYCOMMAND | MF_STRING, Cm_Save_Cycle, Numbered("Save Cycle %d Changes", n));
  menu.ModifyMenu(Cm_Undo_Cycle, MF_BYCOMMAND | MF_STRING, Cm_Undo_Cycle, Numbered("Undo Cycle %d Changes", n));
  menu.ModifyMenu(Cm_Recall_Cycle, MF_BYCOMMAND | MF_STRING, Cm_Recall_Cycle,
                  Numbered("Recall Cycle %d Original", n));
  if (clipboard.count != 0)
    menu.ModifyMenu(Cm_Paste, MF_BYCOMMAND | MF_STRING, Cm_Paste, Numbered("Paste Cycle %d", clipboard.count));
  TPoint screen = point;
  ClientToScreen(screen);
  menu.TrackPopupMenu(TPM_RIGHTBUTTON, screen, *this);
}

// ---- The pointer over the wedges

void Color_Cycle_Window::Take_Mouse() {
  if (!holding_mouse && The_Mouse) The_Mouse->Capture(this);
  holding_mouse = true;
}

void Color_Cycle_Window::Release_Mouse() {
  if (holding_mouse && The_Mouse && The_Mouse->Holds(this)) The_Mouse->Release(this);
  holding_mouse = false;
}

void Color_Cycle_Window::Leave_Wedges() {
  if (The_Fill_Pointer) The_Fill_Pointer->Hide();
  SetCursor(LoadCursor(nullptr, IDC_ARROW));
  ::SetCursor(LoadCursor(nullptr, IDC_ARROW));
  Release_Mouse();
}

void Color_Cycle_Window::EvMouseMove(UINT, const TPoint& point) {
  if (needs_paint) return;
  int column = 0;
  TPoint in_cell;
  const int region = Cell_Test(point, column, in_cell);
  const bool shown = The_Fill_Pointer && The_Fill_Pointer->Shown();
  auto enter = [&] {
    Take_Mouse();
    SetCursor(Fill_Pointer::Cursor());
    ::SetCursor(Fill_Pointer::Cursor());
    if (The_Fill_Pointer) The_Fill_Pointer->Show_At_Cursor();
  };
  if (region == hot) {
    if (region == Wedges) {
      if (!shown && !skip_next_move)
        enter();
      else if (shown)
        The_Fill_Pointer->Move_To_Cursor();
    }
  } else {
    if (hot == Wedges) Leave_Wedges();
    if (region == Wedges && !skip_next_move) enter();
    hot = region;
  }
  skip_next_move = false;
}

// ---- Keys and rows

void Color_Cycle_Window::Put_Down_Pointer(bool skip_move) {
  if (The_Fill_Pointer && The_Fill_Pointer->Shown() && The_Mouse && The_Mouse->Holds(this)) {
    Leave_Wedges();
    if (skip_move) skip_next_move = true;
  }
}

void Color_Cycle_Window::Select_Left() {
  if (!enabled) return;
  Put_Down_Pointer(false);
  if (selected_column >= 1) Select_Cycle(selected_row, selected_column - 1);
}
void Color_Cycle_Window::Select_Right() {
  if (!enabled) return;
  Put_Down_Pointer(false);
  if (selected_column < 4) Select_Cycle(selected_row, selected_column + 1);
}
void Color_Cycle_Window::Select_Up() {
  if (!enabled) return;
  Put_Down_Pointer(true);
  if (selected_row >= 1) Select_Cycle(selected_row - 1, selected_column);
}
void Color_Cycle_Window::Select_Down() {
  if (!enabled) return;
  Put_Down_Pointer(true);
  if (selected_row < 1) Select_Cycle(selected_row + 1, selected_column);
}
void Color_Cycle_Window::Show_Previous_Row() {
  if (!enabled || shown_row <= 0) return;
  Put_Down_Pointer(false);
  --shown_row;
  Repaint_All();
  Forget_Eraser();
}
void Color_Cycle_Window::Show_Next_Row() {
  if (!enabled || shown_row >= 1) return;
  Put_Down_Pointer(false);
  ++shown_row;
  Repaint_All();
  Forget_Eraser();
}

LRESULT Color_Cycle_Window::EvCommand(UINT id, HWND control, UINT notify_code) {
  if ((id == Previous_Row_Id || id == Next_Row_Id) && control) {
    if (notify_code == Arrow_Button_Pressed) {
      if (id == Previous_Row_Id)
        Show_Previous_Row();
      else
        Show_Next_Row();
    }
    return 0;
  }
  return TWindow::EvCommand(id, control, notify_code);
}

void Color_Cycle_Window::EvCommandEnable(TCommandEnabler& enabler) {
  switch (enabler.GetId()) {
    case Previous_Row_Id: enabler.Enable(shown_row >= 1); return;
    case Next_Row_Id: enabler.Enable(shown_row < 1); return;
    default: TWindow::EvCommandEnable(enabler);
  }
}

// ---- The eraser

bool Color_Cycle_Window::Erase() {
  if (erase_color == TColor::No_Color) {
    Forget_Eraser();
    return false;
  }
  const int cycle = erase_row * 5 + erase_column;
  Color_Transform& colors = current[size_t(cycle)];
  colors.colors[size_t(erase_slot)] = erase_color;
  if (erase_slot >= colors.count) colors.count = erase_slot + 1;
  Update_Bits(cycle);
  erase_color = TColor::No_Color;
  Forget_Eraser();
  Show_Cell(cycle);
  return true;
}

// ---- The menu

void Color_Cycle_Window::Cmd_Copy() { clipboard = current[size_t(menu_cycle)]; }

void Color_Cycle_Window::Cmd_Paste() {
  const int cycle = clipboard.count - 1;
  if (cycle < 1 || cycle >= Color_Cycle_Count) return;
  current[size_t(cycle)] = clipboard;
  Update_Bits(cycle);
  Show_Cell(cycle);
  Forget_Eraser();
}

// A save counts only once the file is written: a failed write keeps the
// changes marked, so they are offered again on leaving.
void Color_Cycle_Window::Cmd_Save_Cycle() {
  const size_t c = size_t(menu_cycle);
  const uint32_t others = dirty & ~Bit(menu_cycle);
  if (pristine != All_Cycles || others != 0) {
    Color_Cycles next = saved;
    next[c] = current[c];
    if (!Write_File(next)) return;
    saved = next;
  } else {
    const std::string path = The_User_Database ? File_Path_Of(*The_User_Database->current_user) : std::string();
    if (File_Exists(path) && (path == file_kept_in_place || !Delete_File(path))) {
      Refuse_Write(path, errno);
      return;
    }
    saved[c] = current[c];
  }
  dirty &= ~Bit(menu_cycle);
  Forget_Eraser();
}

void Color_Cycle_Window::Cmd_Undo_Cycle() {
  const size_t c = size_t(menu_cycle);
  current[c] = saved[c];
  Update_Bits(menu_cycle);
  Show_Cell(menu_cycle);
  Forget_Eraser();
}

void Color_Cycle_Window::Cmd_Recall_Cycle() {
  const size_t c = size_t(menu_cycle);
  current[c] = defaults[c];
  Update_Bits(menu_cycle);
  Show_Cell(menu_cycle);
  Forget_Eraser();
}

bool Color_Cycle_Window::Save_All() {
  if (pristine != All_Cycles) {
    if (!Write_File(current)) return false;
  } else {
    const std::string path = The_User_Database ? File_Path_Of(*The_User_Database->current_user) : std::string();
    if (File_Exists(path) && (path == file_kept_in_place || !Delete_File(path))) {
      Refuse_Write(path, errno);
      return false;
    }
  }
  saved = current;
  dirty = 0;
  return true;
}

void Color_Cycle_Window::Cmd_Save_All() {
  Save_All();
  Forget_Eraser();
}

void Color_Cycle_Window::Cmd_Undo_All() {
  current = saved;
  Recompute_Masks();
  Draw_Rows();
  Repaint_All();
  Forget_Eraser();
}

void Color_Cycle_Window::Cmd_Recall_All() {
  current = defaults;
  Recompute_Masks();
  Draw_Rows();
  Repaint_All();
  Forget_Eraser();
}

void Color_Cycle_Window::Ce_Copy(TCommandEnabler& e) { e.Enable(menu_cycle >= 1); }
void Color_Cycle_Window::Ce_Paste(TCommandEnabler& e) { e.Enable(clipboard.count >= 2); }
void Color_Cycle_Window::Ce_Save_Cycle(TCommandEnabler& e) {
  e.Enable((dirty & Bit(menu_cycle)) != 0 && The_User_Data.writable);
}
void Color_Cycle_Window::Ce_Undo_Cycle(TCommandEnabler& e) { e.Enable((dirty & Bit(menu_cycle)) != 0); }
void Color_Cycle_Window::Ce_Recall_Cycle(TCommandEnabler& e) { e.Enable((pristine & Bit(menu_cycle)) == 0); }
void Color_Cycle_Window::Ce_Save_All(TCommandEnabler& e) { e.Enable(dirty != 0 && The_User_Data.writable); }
void Color_Cycle_Window::Ce_Undo_All(TCommandEnabler& e) { e.Enable(dirty != 0); }
void Color_Cycle_Window::Ce_Recall_All(TCommandEnabler& e) { e.Enable(pristine != All_Cycles); }

// ---- Users and exit

void Color_Cycle_Window::Save_Changes_Of(const User& user) {
  const std::string path = File_Path_Of(user);
  errno = 0;
  if (!path.empty() && path != file_kept_in_place &&
      Write_File_Atomically(path, Color_Cycle_Bytes(current, *The_GUI_Colors->Palette))) {
    saved = current;
    dirty = 0;
  } else {
    Refuse_Write(path, errno);
  }
}

void Color_Cycle_Window::Offer_Save_Before_Demonstration() {
  if (dirty == 0 || !The_User_Data.writable || !The_User_Database) return;
  const User& person = *The_User_Database->current_user;
  const std::string question = "Save changes to color cycles belonging to " + person.name + "?";
  if (::MessageBox(GetHandle(), question, "User Change", MB_YESNO | MB_ICONQUESTION) == IDYES) Save_Changes_Of(person);
}

void Color_Cycle_Window::Change_User() {
  User_Database& db = *The_User_Database;
  const bool changed = db.current_user->source_record != &db.previous_user;
  const bool has_cycles = Has_Cycles(db.current_user->Level_Index());
  if (dirty != 0 && The_User_Data.writable && ((changed && !db.previous_user_removed) || !has_cycles)) {
    const User& old_user = db.previous_user_record ? *db.previous_user_record : db.previous_user;
    const std::string question = changed ? "Save changes to color cycles belonging to " + old_user.name + "?"
                                         : std::string("Save changes to color cycles?");
    // A demonstration cannot ask (it holds the person's input): its changes
    // go, and the person was asked before it began.
    if (!Demonstration_Running() &&
        ::MessageBox(GetHandle(), question, "User Change", MB_YESNO | MB_ICONQUESTION) == IDYES) {
      Save_Changes_Of(old_user);
    } else {
      Cmd_Undo_All();
    }
  }
  // The eraser never carries a change of one user's cycles over to another.
  erase_color = TColor::No_Color;
  erase_row = erase_column = erase_slot = -1;
  Forget_Eraser();
  if (changed) {
    for (Color_Transform& cycle : current) cycle = Color_Transform();
    if (!Read_File(current))
      Load_Defaults();
    else {
      saved = current;
      Recompute_Masks();
    }
    shown_row = selected_row = selected_column = 0;
    Draw_Rows();
    dirty = 0;
    if (Parent) Parent->PostMessage(Color_Cycle_Selected_Message);
    if (has_cycles) Repaint_All();
  }
  if (has_cycles && !enabled) {
    EnableWindow(true);
    ShowWindow(SW_SHOW);
    enabled = true;
    Repaint_All();
  } else if (!has_cycles && enabled) {
    if (The_Fill_Pointer && The_Fill_Pointer->Shown() && holding_mouse) Leave_Wedges();
    EnableWindow(false);
    ShowWindow(SW_HIDE);
    enabled = false;
  }
  level = db.current_user->Level_Index();
}

bool Color_Cycle_Window::Can_Close() {
  if (dirty == 0 || !The_User_Data.writable) return true;
  // The system ends the program: kept without a question, as Yes keeps
  // them; a demonstration's changes are its own and go.
  if (TDesktop::System_Ending()) {
    if (!Demonstration_Running()) Save_All();
    return true;
  }
  const int answer =
      ::MessageBox(GetHandle(), "Save changes to color cycles?", "Program Exit", MB_YESNOCANCEL | MB_ICONQUESTION);
  if (answer == IDCANCEL) return false;
  // A save that failed keeps the program open: the edits are still here.
  return answer != IDYES || Save_All();
}


// ---- Points for the demonstrations

TPoint Color_Cycle_Window::Cell_Screen_Point(int cell) const {
  const TRect& r = cell_rects[size_t(std::clamp(cell, 0, 4))];
  TPoint p((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  ClientToScreen(p);
  return p;
}

TPoint Color_Cycle_Window::Row_Button_Screen_Point() const {
  const TRect& r = button_rects[1];
  TPoint p((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  ClientToScreen(p);
  return p;
}
