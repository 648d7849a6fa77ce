#include "game/safari_controls.h"

#include <algorithm>

#include "game/fireworks_factory.h"
#include "game/shape_album.h"
#include "game/shape_camera.h"
#include "game/shape_target.h"
#include "game/target_generator.h"
#include "manipulators/transform_palette.h"
#include "model/gui_colors.h"
#include "platform/gdi/brush.h"
#include "platform/gdi/memory_dc.h"
#include "platform/gdi/pen.h"
#include "platform/system/clock.h"
#include "platform/system/system_sound.h"
#include "platform/window/cursor.h"
#include "platform/window/user.h"
#include "platform/window/window_dc.h"
#include "toolkit/demonstration_state.h"
#include "toolkit/gui_bitmaps.h"
#include "toolkit/gui_sizes.h"
#include "toolkit/mouse.h"
#include "toolkit/sound_library.h"
#include "toolkit/sound_player.h"
#include "toolkit/tip_window.h"
#include "users/caption_owner.h"
#include "users/user_database.h"
#include "workspace/drawing_window.h"
#include "workspace/shape_palette.h"

namespace {

constexpr GUI_Picture_Id Camera_Case_Picture = 25;

int32_t Size(int index, int32_t fallback) { return The_GUI_Sizes ? (*The_GUI_Sizes)[index] : fallback; }

TColor Scheme(int index) { return The_GUI_Colors ? The_GUI_Colors->Scheme[size_t(index)] : TColor::Black; }

// The cell pictures' colours: shadow, light, main; the visible-step form
// first, then the plain form.
constexpr int Cell_Colors[2][3] = {{1, 4, 16}, {3, 12, 2}};

bool Safari_Shown_At(int32_t level) { return Level_Entry(Safari_Enabled_Level_Table, level) != 0; }

}  // namespace

Safari_Controls::Safari_Controls(TWindow* parent, const TRect& rect, Drawing_Window* drawing_window,
                                 Shape_Palette* shape_palette, Transform_Palette* manipulator_palette,
                                 Target_Generator* target_generator, Fireworks_Factory* fireworks_factory)
    : TWindow(parent, "Safari Control Window"),
      Drawing(drawing_window),
      Shapes(shape_palette),
      Manipulators(manipulator_palette),
      Generator(target_generator),
      Fireworks(fireworks_factory) {
  Attr.Set_Rect(rect);
  B = Safari_Level_Tables::Entry(Safari_Level_Tables::Initial_Step_Count, Level());
  if (!Safari_Shown_At(Level())) {
    Attr.Style &= ~WS_VISIBLE;
    Attr.Style |= WS_DISABLED;
  }
}

Safari_Controls::~Safari_Controls() {
  if (The_Tip_Window)
    for (const char* hint : Hints) The_Tip_Window->Forget(hint);
}

int32_t Safari_Controls::Level() const {
  return The_User_Database && The_User_Database->current_user ? The_User_Database->current_user->Level_Index() : 0;
}

int32_t Safari_Controls::Bound() const {
  return Safari_Level_Tables::Entry(Safari_Level_Tables::Step_Count_Bound, Level());
}

Shape_Target* Safari_Controls::Current_Target() const {
  return Current < Stages.size() ? Stages[Current].get() : nullptr;
}

// ---- Layout and pictures

void Safari_Controls::Layout() {
  const TRect client = GetClientRect();
  const int32_t cell_w = Size(14, 64), cell_h = Size(15, 56), spacing = Size(16, 4);
  Row_Inset = Size(21, 4);
  Pitch = cell_w + spacing;
  Row_Offset = (client.Height() - cell_h) / 2;
  for (int k = 0; k < Cell_Count; ++k) {
    const int32_t left = Row_Inset + k * Pitch;
    Cells[size_t(k)] = TRect(left, Row_Offset, left + cell_w, Row_Offset + cell_h);
  }
  Row_Rect = TRect(0, Row_Offset, client.right, Row_Offset + cell_h);
  const int32_t cam_w = Size(17, 64), cam_h = Size(18, 56);
  const int32_t cam_top = Row_Offset + (cell_h - cam_h) / 2;
  Camera_Rect = TRect(Cells[0].left, cam_top, Cells[0].left + cam_w, cam_top + cam_h);
  const int32_t album_w = Size(19, 102), album_h = Size(20, 90);
  const int32_t album_top = (client.Height() - album_h) / 2;
  Album_Rect = TRect(0, album_top, album_w, album_top + album_h);
  Move_Album();
}

int32_t Safari_Controls::Album_Cell() const {
  if (Pitch <= 0) return B;
  return (Album_Rect.left + Row_Inset + Pitch / 2 - Cells[1].left) / Pitch;
}

void Safari_Controls::Move_Album() {
  const int32_t cell = std::clamp(B + 1, 1, Cell_Count - 1);
  const int32_t left = Cells[size_t(cell)].left - Row_Inset;
  Album_Rect = Album_Rect.Offset_By(left - Album_Rect.left, 0);
}

void Safari_Controls::Make_Pictures() {
  TClientDC dc(*this);
  const TSize cell = Cells[1].Size();
  for (auto& pair : Cell_Pictures)
    for (auto& picture : pair) picture = std::make_unique<TBitmap>(cell.cx, cell.cy);
  for (int k = 1; k <= 6; ++k) {
    Draw_Cell_Picture(*Cell_Pictures[size_t(k - 1)][0], k, true);
    Draw_Cell_Picture(*Cell_Pictures[size_t(k - 1)][1], k, false);
  }
  Background = std::make_unique<TBitmap>(std::max(Row_Rect.Width(), 1), std::max(Row_Rect.Height(), 1));
  Draw_Cells();
  Camera = std::make_unique<Shape_Camera>(dc);
  Album = std::make_unique<Shape_Album>(dc);
}

// The shape of cell k with a small ellipse at each corner, drawn three
// times: a shadow up and left, a light down and right, the face in place.
void Safari_Controls::Draw_Cell_Picture(TBitmap& picture, int k, bool visible) {
  TMemoryDC dc(picture);
  if (The_GUI_Colors && The_GUI_Colors->Palette) dc.SelectObject(*The_GUI_Colors->Palette);
  const TSize size = picture.Size();
  dc.FillRect(TRect(0, 0, size.cx, size.cy), TBrush(Scheme(0)));
  const int32_t eh = std::max(size.cy / 7, 2), ew = eh + eh / 2;
  const int32_t margin = 2;
  const TRect shape_rect(ew + margin, eh + margin, size.cx - ew - margin, size.cy - eh - margin);
  const TRect dots[4] = {TRect(margin, margin, margin + ew, margin + eh),
                         TRect(size.cx - margin - ew, margin, size.cx - margin, margin + eh),
                         TRect(margin, size.cy - margin - eh, margin + ew, size.cy - margin),
                         TRect(size.cx - margin - ew, size.cy - margin - eh, size.cx - margin, size.cy - margin)};
  const Shape* shape = nullptr;
  if (Shapes && Shapes->Buttons[size_t(k - 1)]) shape = Shapes->Buttons[size_t(k - 1)]->Shape_Of;
  const int* colors = Cell_Colors[visible ? 0 : 1];
  const int shifts[3] = {-1, 1, 0};
  for (int pass = 0; pass < 3; ++pass) {
    const TBrush brush(Scheme(colors[pass]));
    const TPen pen(Scheme(colors[pass]), 1, PS_SOLID);
    dc.SelectObject(brush);
    dc.SelectObject(pen);
    const int s = shifts[pass];
    if (shape) shape->Paint(dc, shape_rect.Offset_By(s, s));
    for (const TRect& dot : dots) dc.Ellipse(dot.Offset_By(s, s));
    dc.RestorePen();
    dc.RestoreBrush();
  }
}

// Cell k shows its visible-step form when k is a multiple of a.
void Safari_Controls::Draw_Cells() {
  if (!Background) return;
  TMemoryDC dc(*Background);
  dc.FillRect(TRect(0, 0, Background->Width(), Background->Height()), TBrush(Scheme(0)));
  for (int k = 1; k <= 6; ++k) {
    const TBitmap* picture = Cell_Pictures[size_t(k - 1)][k % A == 0 ? 0 : 1].get();
    if (!picture) continue;
    TMemoryDC source(*picture);
    const TRect& cell = Cells[size_t(k)];
    dc.BitBlt(cell.Offset_By(-Row_Rect.left, -Row_Rect.top), source, TPoint(0, 0), SRCCOPY);
  }
}

void Safari_Controls::SetupWindow() {
  TWindow::SetupWindow();
  Layout();
  Make_Pictures();
  if (Generator) Generator->Request(A, nullptr);
}

void Safari_Controls::CleanupWindow() {
  KillTimer(Clock_Timer);
  if (Dragging) Free_Pointer();
  TWindow::CleanupWindow();
}

// ---- Painting

void Safari_Controls::Paint_Row(TDC& dc, const TRect& clip) {
  dc.FillRect(clip, TBrush(Scheme(0)));
  if (!Background) return;
  const TRect row(Row_Rect.left, Row_Rect.top, std::min(Row_Rect.right, Album_Rect.left), Row_Rect.bottom);
  const TRect part = row.Intersection(clip);
  if (part.IsEmpty()) return;
  TMemoryDC source(*Background);
  dc.BitBlt(part, source, TPoint(part.left - Row_Rect.left, part.top - Row_Rect.top), SRCCOPY);
}

// The camera case while idle, else the camera (flashing after a complete
// run until the fireworks are over).
void Safari_Controls::Paint_Camera(TDC& dc, const TRect& rect) {
  if (!Run_In_Progress() && !Returning) {
    if (!The_GUI_Bitmaps) return;
    The_GUI_Bitmaps->Get(Camera_Case_Picture, rect.Size());
    if (const TBitmap* picture = The_GUI_Bitmaps->Pictures[size_t(Camera_Case_Picture)].get()) {
      TMemoryDC source(*picture);
      dc.BitBlt(rect, source, TPoint(0, 0), SRCCOPY);
    }
    return;
  }
  if (Camera) Camera->Draw(dc, rect, Flashing);
}

void Safari_Controls::Paint(TDC& dc, bool, TRect& rect) {
  if (The_GUI_Colors && The_GUI_Colors->Palette) dc.SelectObject(*The_GUI_Colors->Palette);
  const bool camera_only = rect == Camera_Rect, album_only = rect == Album_Rect;
  if (!camera_only && !album_only) Paint_Row(dc, GetClientRect());
  if (!album_only) {
    if (camera_only) Paint_Row(dc, Camera_Rect);
    Paint_Camera(dc, Camera_Rect);
  }
  if (!camera_only && Album) {
    if (album_only) Paint_Row(dc, Album_Rect);
    Album->Paint(dc, Album_Rect);
  }
}

void Safari_Controls::Repaint_Camera() {
  if (IsWindow()) InvalidateRect(Camera_Rect, false);
}

void Safari_Controls::Repaint_Album() {
  if (IsWindow()) InvalidateRect(Album_Rect, false);
}

// ---- Mouse

Safari_Controls::Control Safari_Controls::Hit_Test(const TPoint& point, int32_t* cell) const {
  if (Camera_Rect.Contains(point)) return Run_In_Progress() ? Stop : Start;
  if (Album_Rect.Contains(point)) return Handle;
  if (Level_Entry(Safari_Level_Tables::Preset_Mode, Level()))
    for (int32_t k = 1; k <= B && k < Cell_Count; ++k)
      if (Cells[size_t(k)].Contains(point)) {
        if (cell) *cell = k;
        return Cell;
      }
  return None;
}

void Safari_Controls::EvLButtonDown(UINT, const TPoint& point) {
  if (Returning) return;
  int32_t k = 0;
  const Control hit = Hit_Test(point, &k);
  if (hit == None) return;
  if (Hover == None && The_Mouse) The_Mouse->Capture(this);
  Hover = hit;
  Hover_Cell = k;
  if (The_Tip_Window) The_Tip_Window->Press_Item(Hints[size_t(hit)]);
  switch (hit) {
    case Start:
      if (Drawing_Showing() && Generator && Generator->Target_Coming())
        Start_Run(nullptr);
      else
        Beep();
      return;
    case Stop:
      if (Drawing_Showing())
        End_Run();
      else
        Beep();
      return;
    default: break;
  }
  if (Run_In_Progress()) return;
  if (hit == Handle) {
    Dragging = true;
    Drag_X = point.x;
    Confine_Pointer();
  } else if (hit == Cell) {
    Choose_Cell(k);
  }
}

void Safari_Controls::Choose_Cell(int32_t k) {
  if (k == A || k > Bound()) return;
  const Safari_Pair p = Safari_Level_Tables::Choose_Step({A, B}, k, Bound());
  A = p.a;
  Draw_Cells();
  if (p.b != B) {
    B = p.b;
    Move_Album();
  }
  Invalidate(false);
  Streak.Clear();
  if (Generator) Generator->Request(A, nullptr);
}

// The pointer may move the album between the cells for 1 and the bound.
void Safari_Controls::Confine_Pointer() {
  const int32_t lowest = Cells[2].left - Row_Inset;
  const int32_t highest = Cells[size_t(std::min(Bound() + 1, Cell_Count - 1))].left - Row_Inset;
  TPoint from(Drag_X + lowest - Album_Rect.left, 0), to(Drag_X + highest - Album_Rect.left, 0);
  ClientToScreen(from);
  ClientToScreen(to);
  const TRect client = GetClientRect();
  TPoint top(0, client.top), bottom(0, client.bottom);
  ClientToScreen(top);
  ClientToScreen(bottom);
  const TRect confine(from.x, top.y, to.x + 1, bottom.y);
  ::ClipCursor(&confine);
}

void Safari_Controls::Free_Pointer() { ::ClipCursor(nullptr); }

void Safari_Controls::EvMouseMove(UINT, const TPoint& point) {
  if (Dragging) {
    // Kept within the cells for 1 and the bound even when the pointer was
    // not held back.
    const int32_t lowest = Cells[2].left - Row_Inset;
    const int32_t highest = Cells[size_t(std::min(Bound() + 1, Cell_Count - 1))].left - Row_Inset;
    const int32_t left = std::clamp(Album_Rect.left + point.x - Drag_X, lowest, highest);
    const TRect old = Album_Rect;
    Album_Rect = Album_Rect.Offset_By(left - Album_Rect.left, 0);
    Drag_X = point.x;
    if (!(old == Album_Rect)) InvalidateRect(old.Union(Album_Rect), false);
    return;
  }
  if (Returning) return;
  int32_t k = 0;
  const Control hit = Hit_Test(point, &k);
  if (hit != Hover || (hit == Cell && k != Hover_Cell)) Change_Hover(hit, k);
  Update_Cursor(point);
}

void Safari_Controls::Change_Hover(Control control, int32_t cell) {
  if (Hover == None && control != None && The_Mouse && !The_Mouse->Holds(this)) The_Mouse->Capture(this);
  if (The_Tip_Window) The_Tip_Window->Leave_Item(Hints[size_t(Hover)]);
  if (control == None && The_Mouse && The_Mouse->Holds(this)) The_Mouse->Release(this);
  if (The_Tip_Window && control != None) The_Tip_Window->Enter_Item(Hints[size_t(control)]);
  Hover = control;
  Hover_Cell = cell;
}

void Safari_Controls::Update_Cursor(const TPoint& point) {
  const bool size = !Run_In_Progress() && Album_Rect.Contains(point);
  if (size == Size_Cursor_Shown) return;
  Size_Cursor_Shown = size;
  const TCursor* cursor = size ? LoadCursor(nullptr, IDC_SIZEWE) : &TCursor::Arrow();
  SetCursor(cursor);
  ::SetCursor(cursor);
}

void Safari_Controls::EvLButtonUp(UINT, const TPoint& point) {
  if (Returning || !Dragging) return;
  Dragging = false;
  Free_Pointer();
  Drop_Album();
  int32_t k = 0;
  const Control hit = Hit_Test(point, &k);
  if (hit == None) {
    if (The_Tip_Window) The_Tip_Window->Leave_Item(Hints[Handle]);
    if (The_Mouse && The_Mouse->Holds(this)) The_Mouse->Release(this);
  } else if (hit != Handle && The_Tip_Window) {
    The_Tip_Window->Leave_Item(Hints[Handle]);
    The_Tip_Window->Enter_Item(Hints[size_t(hit)]);
  }
  Hover = hit;
  Hover_Cell = k;
  Update_Cursor(point);
}

// The album lands on the cell under it; the numbers follow it.
void Safari_Controls::Drop_Album() {
  const int32_t n = std::clamp(Album_Cell(), 1, Bound());
  if (n != B) {
    const Safari_Pair p = Safari_Level_Tables::Drop_Album({A, B}, n, Bound());
    const bool a_changed = p.a != A;
    A = p.a;
    B = p.b;
    if (a_changed) {
      Draw_Cells();
      if (Generator) Generator->Request(A, nullptr);
    }
    Streak.Clear();
  }
  Move_Album();
  Invalidate(false);
}

LRESULT Safari_Controls::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == Mouse_Lost_Message) {
    Hover = None;
    Size_Cursor_Shown = false;
    return 0;
  }
  return TWindow::WindowProc(msg, wp, lp);
}

// ---- Runs

bool Safari_Controls::Drawing_Showing() const { return Drawing && Drawing->IsWindow() && Drawing->IsWindowVisible(); }

void Safari_Controls::Beep() { Play_System_Sound("Default Beep", false); }

// The generator's finished target, holding the mouse while it is awaited.
std::unique_ptr<Shape_Target> Safari_Controls::Take_Target() {
  if (!Generator) return nullptr;
  if (The_Mouse) The_Mouse->Push_Capture(this);
  std::unique_ptr<Shape_Target> target = Generator->Take();
  if (The_Mouse) The_Mouse->Pop_Capture();
  return target;
}

Safari_Controls::Show_Size Safari_Controls::Fireworks_For(bool from_drawing, bool demonstration, int32_t a,
                                                           int32_t b) {
  if (from_drawing) return {b, 1};
  if (demonstration) return {1, a};
  return {b, a};
}

void Safari_Controls::Prepare_Fireworks(const Shape_Target& target) {
  if (!Fireworks) return;
  const Show_Size size = Fireworks_For(target.From_Drawing(), Demonstration_Running(), A, B);
  Fireworks->Start(size.waves, size.per_wave);
}

// A run starts with target, or with the generator's next one when none is
// given. False when there was nothing to start with.
bool Safari_Controls::Start_Run(std::unique_ptr<Shape_Target> target) {
  {
    TClientDC dc(*this);
    Paint_Row(dc, Camera_Rect);
    if (Camera) Camera->Draw(dc, Camera_Rect, false);
  }
  if (!target) target = Take_Target();
  if (!target) {
    // Nothing is coming after all: back to the case.
    Beep();
    Repaint_Camera();
    return false;
  }
  Stages.clear();
  Stages.push_back(std::move(target));
  Current = 0;
  Shape_Target& stage = *Stages.front();
  stage.Unpack(false, nullptr);
  Shown = 0;
  Done = A;
  Flashing = false;
  if (Drawing) Drawing->Set_Target(&stage, this, true);
  Demonstration_Solve_Target(stage);
  if (!stage.From_Drawing()) {
    Pending_Points = Safari_Level_Tables::Stage_Points(Level(), A);
    if (Album) Album->Show_Points(Pending_Points);
    Repaint_Album();
  }
  Prepare_Fireworks(stage);
  if (Done < B && Generator) Generator->Request(A, &stage);
  return true;
}

void Safari_Controls::Award_Points() {
  if (Pending_Points == -1) return;
  if (!Demonstration_Running() && The_User_Database && The_User_Database->current_user) {
    The_User_Database->current_user->points += Pending_Points;
    The_User_Database->Save(nullptr);
    if (The_Caption_Owner) The_Caption_Owner->Update_Caption();
  }
  Pending_Points = -1;
}

void Safari_Controls::Target_Matched() {
  if (!Run_In_Progress()) return;
  Award_Points();
  Shown = Done;
  Last_Tick = GetTickCount();
  Slide_Camera(false);
  if (!(The_Sound_Player && The_Sound_Player->Playing())) SetTimer(Clock_Timer, Stage_Interval);
}

void Safari_Controls::EvTimer(UINT timer_id) {
  if (timer_id != Clock_Timer) {
    TWindow::EvTimer(timer_id);
    return;
  }
  Clock_Step();
}

void Safari_Controls::Sound_Done(Sound_Wave* wave) {
  const bool advancing = Run_In_Progress() && Shown == Done;
  if (advancing) {
    Clock_Step();
  } else if (!Run_In_Progress() && Show_Due && The_Sound_Library &&
             wave == The_Sound_Library->Sound(Complete_Sound)) {
    Show_Due = false;
    if (Drawing && Drawing->fireworks)
      Drawing->Show_Fireworks();
    else
      Start_Animation();
  }
}

// One tick of the stage clock: the camera moves, and on arrival the next
// stage comes, the run ends, or the camera is home.
void Safari_Controls::Clock_Step() {
  const bool advancing = Run_In_Progress() && Shown == Done;
  if (!advancing && !Returning) {
    KillTimer(Clock_Timer);
    return;
  }
  Slide_Camera(false);
  if (The_Sound_Player && The_Sound_Player->Playing()) return;
  if (Camera_Rect.left != Cells[size_t(Shown)].left) return;
  KillTimer(Clock_Timer);
  if (Shown == 0) {
    Returning = false;
    Repaint_Camera();
    const int32_t left = Cells[size_t(std::clamp(B + 1, 1, Cell_Count - 1))].left - Row_Inset;
    if (Album_Rect.left != left) {
      InvalidateRect(Album_Rect, false);
      Move_Album();
      Repaint_Album();
    }
    if (Generator) Generator->Request(A, nullptr);
  } else if (Shown >= B) {
    End_Run();
  } else {
    Next_Stage();
  }
}

void Safari_Controls::Next_Stage() {
  Stages[Current]->Pack(false, true);
  if (Current + 1 < Stages.size()) {
    ++Current;
  } else {
    std::unique_ptr<Shape_Target> fresh = Take_Target();
    if (!fresh) {
      // The continuation failed: the run ends here, its points kept.
      Beep();
      Stages[Current]->Unpack(false, nullptr);
      End_Run();
      return;
    }
    if (!fresh->From_Drawing()) {
      Pending_Points = Safari_Level_Tables::Stage_Points(Level(), A);
      if (Album) Album->Show_Points(Pending_Points);
      Repaint_Album();
    }
    Stages.push_back(std::move(fresh));
    ++Current;
  }
  Shape_Target& stage = *Stages[Current];
  stage.Unpack(false, nullptr);
  if (Drawing) Drawing->Set_Target(&stage, this, false);
  Done += A;
  Demonstration_Solve_Target(stage);
  if (Current + 1 == Stages.size() && Done < B && Generator) Generator->Request(A, &stage);
}

void Safari_Controls::Reset_Target() {
  if (!Run_In_Progress() || Stages.size() < 2) return;
  Shown = 0;
  Done = A;
  Slide_Camera(true);
  if (Current == 0) return;
  Stages[Current]->Pack(false, true);
  Current = 0;
  Shape_Target& stage = *Stages.front();
  stage.Unpack(false, nullptr);
  if (Drawing) Drawing->Set_Target(&stage, this, false);
}

// The drawing forgets the target before the stages go; it keeps this
// window as its game, to hear when the fireworks are over.
void Safari_Controls::Clear_Run() {
  if (Drawing) Drawing->Set_Target(nullptr, this, false);
  Stages.clear();
  Current = 0;
  Pending_Points = -1;
}

void Safari_Controls::End_Run() {
  // Nothing to end: the drawing window tells of every leaving.
  if (!Run_In_Progress()) return;
  const bool complete = Shown == B;
  Streak.Record(complete);
  KillTimer(Clock_Timer);
  if (complete) {
    Flashing = true;
    {
      TClientDC dc(*this);
      if (Camera) Camera->Draw(dc, Camera_Rect, true);
    }
    if (The_Sound_Player && The_Sound_Library)
      The_Sound_Player->Play(The_Sound_Library->Sound(Complete_Sound), this);
    Shape_Target* last = Current_Target();
    if (Album && last) Album->Add(*last);
  } else if (Album) {
    Album->Clear();
  }
  Repaint_Album();
  Clear_Run();
  if (Level_Entry(Safari_Level_Tables::Automatic_Adjustment, Level())) {
    const Safari_Pair now{A, B};
    Safari_Pair next = now;
    const int32_t key = Safari_Level_Tables::Key(now);
    const bool preset = Level_Entry(Safari_Level_Tables::Preset_Mode, Level()) != 0;
    if (Streak.Raise_Due() && key < Safari_Level_Tables::Entry(Safari_Level_Tables::Largest_Key, Level()))
      next = preset ? Safari_Level_Tables::Raise(now) : Safari_Pair{A, std::min(B + 1, Bound())};
    else if (Streak.Lower_Due() && key > 1)
      next = preset ? Safari_Level_Tables::Lower(now) : Safari_Pair{A, std::max(B - 1, std::max(A, 1))};
    if (!(next == now)) {
      Streak.Clear();
      A = next.a;
      if (next.a != now.a) Draw_Cells();
      B = next.b;
      if (next.b != now.b && !complete) Move_Album();
      Invalidate(false);
    }
  }
  if (Shown == 0) {
    Repaint_Camera();
    if (Generator) Generator->Request(A, nullptr);
  } else {
    Shown = 0;
    Returning = true;
    if (!complete) {
      Last_Tick = GetTickCount();
      SetTimer(Clock_Timer, Return_Interval);
    }
  }
  Done = 0;
  if (complete) {
    if (The_Sound_Player && The_Sound_Player->Playing()) {
      Show_Due = true;
    } else if (Drawing && Drawing->fireworks) {
      Drawing->Show_Fireworks();
    } else {
      Start_Animation();
    }
  } else if (Fireworks) {
    Fireworks->Drop();
  }
}

void Safari_Controls::Start_Animation() {
  Flashing = false;
  Show_Due = false;
  Last_Tick = GetTickCount();
  if (Returning) SetTimer(Clock_Timer, Return_Interval);
  Repaint_Camera();
  if (The_Tip_Window) The_Tip_Window->Set_Enabled(true);
  // A game demonstration ends with the run's fireworks.
  Demonstration_Next_Game_Round();
}

// ---- The camera

void Safari_Controls::Set_Camera_Left(int32_t left) {
  const TRect old = Camera_Rect;
  Camera_Rect = Camera_Rect.Offset_By(left - Camera_Rect.left, 0);
  if (!IsWindow() || !IsWindowVisible()) return;
  // The old and new places drawn off screen and shown in one piece.
  const TRect both = old.Union(Camera_Rect);
  TBitmap work(both.Width(), both.Height());
  {
    TMemoryDC dc(work);
    if (The_GUI_Colors && The_GUI_Colors->Palette) dc.SelectObject(*The_GUI_Colors->Palette);
    dc.SetViewportOrg(TPoint(-both.left, -both.top));
    Paint_Row(dc, both);
    Paint_Camera(dc, Camera_Rect);
  }
  TClientDC window(*this);
  TMemoryDC source(work);
  window.BitBlt(both, source, TPoint(0, 0), SRCCOPY);
}

void Safari_Controls::Slide_Camera(bool jump) {
  const int32_t target = Cells[size_t(std::clamp(Shown, 0, Cell_Count - 1))].left;
  const int32_t d = target - Camera_Rect.left;
  if (d == 0) return;
  if (jump) {
    Set_Camera_Left(target);
    return;
  }
  if (d > 0) {
    int32_t next = target;
    for (int k = 0; k <= 6; ++k)
      if (Cells[size_t(k)].left > Camera_Rect.left) {
        next = Cells[size_t(k)].left;
        break;
      }
    Set_Camera_Left(next);
    if (The_Sound_Player && The_Sound_Library)
      The_Sound_Player->Play(The_Sound_Library->Sound(Step_Sound), this);
    return;
  }
  const uint32_t now = GetTickCount();
  const int64_t row = Cells[6].left - Cells[0].left;
  int64_t step = row * int64_t(now - Last_Tick) / 1000;
  step = std::clamp<int64_t>(step, 1, std::max(Camera_Rect.Width() / 2, 1));
  Last_Tick = now;
  Set_Camera_Left(int32_t(std::max<int64_t>(target, Camera_Rect.left - step)));
}

// ---- Users and targets

void Safari_Controls::Drop_Run() {
  if (!Run_In_Progress()) return;
  KillTimer(Clock_Timer);
  Clear_Run();
  Shown = 0;
  Done = 0;
  Flashing = false;
  Slide_Camera(true);
  if (Album) Album->Clear();
}

void Safari_Controls::Set_User() {
  Drop_Run();
  Streak.Clear();
  if (Generator) Generator->Drop_All();
  const int32_t level = Level();
  if (!Safari_Level_Tables::Fits({A, B}, level)) {
    A = 1;
    B = Safari_Level_Tables::Entry(Safari_Level_Tables::Initial_Step_Count, level);
    Done = 0;
    Draw_Cells();
    Move_Album();
  }
  if (IsWindow()) {
    const bool shown = Safari_Shown_At(level);
    if (shown != IsWindowEnabled()) {
      EnableWindow(shown);
      ShowWindow(shown ? SW_SHOWNA : SW_HIDE);
    }
    Invalidate(false);
  }
}

void Safari_Controls::Put_Back_Setting(int32_t a, int32_t b) {
  // A run still going is the demonstration's, played at its setting.
  Drop_Run();
  const Safari_Pair p{a, b};
  if (p == Safari_Pair{A, B} || !Safari_Level_Tables::Fits(p, Level())) return;
  const bool a_changed = a != A;
  A = a;
  B = b;
  Streak.Clear();
  Draw_Cells();
  Move_Album();
  Invalidate(false);
  if (a_changed && Generator) Generator->Request(A, nullptr);
}

void Safari_Controls::Refresh_Targets() {
  if (Run_In_Progress() || !Generator || !Safari_Shown_At(Level())) return;
  Generator->Request(A, nullptr);
}

// ---- "Match This!"

std::unique_ptr<Shape_Target> Safari_Controls::Target_From(Target_Recipe& recipe, int32_t first_stage) {
  if (!recipe.picture) return nullptr;
  auto target = std::make_unique<Shape_Target>(*recipe.picture, recipe.start_shape, recipe.frame, recipe.centering,
                                               std::move(recipe.points), first_stage);
  for (auto& set : recipe.steps) target->Add_Step(set, -1, -1, false);
  return target;
}

void Safari_Controls::Match_This() {
  if (!Drawing || Run_In_Progress()) return;
  std::unique_ptr<Target_Recipe> recipe = Drawing->Make_Target(A, B);
  // The run is b steps long: later steps of the drawing play no part.
  if (recipe && recipe->steps.size() > size_t(B)) recipe->steps.resize(size_t(B));
  std::unique_ptr<Shape_Target> target = recipe ? Target_From(*recipe, A) : nullptr;
  if (target) Start_Run(std::move(target));
  if (Manipulators) Manipulators->Reset_Selection();
}

// Not while the camera goes home or a show is due: the new run would take
// the fanfare's end for its own clock.
void Safari_Controls::Ce_Match_This(TCommandEnabler& enabler) {
  enabler.Enable(Safari_Shown_At(Level()) && !Run_In_Progress() && !Returning && !Show_Due && Drawing_Showing() &&
                 Drawing->Has_Steps(B));
}

// ---- Demonstration points

TPoint Safari_Controls::Panel_Screen_Point() const {
  TPoint p((Camera_Rect.left + Camera_Rect.right) / 2, (Camera_Rect.top + Camera_Rect.bottom) / 2);
  ClientToScreen(p);
  return p;
}

TPoint Safari_Controls::Control_Screen_Point(int i) const {
  const TRect& cell = Cells[size_t(std::clamp(i, 0, Cell_Count - 1))];
  TPoint p((cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2);
  ClientToScreen(p);
  return p;
}
