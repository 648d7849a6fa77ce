// The drawing window itself: making and ending it, its corners, painting,
// and the operations that other panels call. The step is in
// drawing_window_iteration.cpp, the history in drawing_window_history.cpp.
#include "workspace/drawing_window.h"

#include "help/help_window.h"

#include "model/gui_colors.h"
#include "model/shape.h"
#include "platform/gdi/brush.h"
#include "platform/gdi/pen.h"
#include "platform/window/cursor.h"
#include "platform/window/response_table.h"
#include "platform/window/user.h"
#include "platform/window/window_dc.h"
#include "toolkit/gui_bitmaps.h"
#include "toolkit/gui_sizes.h"
#include "toolkit/mouse.h"
#include "toolkit/program_messages.h"
#include "toolkit/watch_cursor.h"
#include "workspace/color_wheel.h"
#include "workspace/eraser.h"
#include "workspace/fill_pointer.h"
#include "workspace/review_window.h"

namespace {

enum Corner_Command { Review_Corner = 0, Iterate_Corner = 1, Undo_Corner = 2, Clear_Corner = 3 };
enum Picture_Id { Iterate_Picture = 8, Stop_Picture = 9, Review_Picture = 10, Clear_Picture = 11, Undo_Picture = 12 };

// The first picture's colour, and what a cleared drawing starts from.
const TColor Drawing_Background(255, 255, 255);

}  // namespace

Drawing_Window::Drawing_Window(TWindow* parent, const TRect& rect, Color_Wheel* wheel, Shape_Palette* palette)
    : Round_Window(parent, "Drawing Window", Window_Id, rect),
      geometry(rect.Width(), rect.Height(), (*The_GUI_Sizes)[22], 1),
      centering(geometry),
      color_wheel(wheel),
      shape_palette(palette) {
  run_start = history.end();
  shown = history.end();
  watch_cursor = std::make_unique<Watch_Cursor>();
  worker_.Start();
}

Drawing_Window::~Drawing_Window() {
  // The crayon puts back what lay under it while this window is there.
  if (Cursor_Inside || pointer_hold_) Hide_Crayon();
  // A run never outlives its window: the outstanding step is waited for
  // before the worker is told to end.
  Stop_Iterating();
  worker_.Terminate();
  request_event_.Set();
  worker_.WaitForExit();
}

void Drawing_Window::SetupWindow() {
  Round_Window::SetupWindow();
  if (The_Help_Window) {
    // Help lays its pages over the round face: the main window's pages and
    // the acknowledgements.
    const TRect face = Screen_Rect(*this, Inner_Rect);
    The_Help_Window->Load_Section(0, face, 1);
    The_Help_Window->Load_Section(5, face, 1);
  }
  const struct {
    int corner;
    int picture;
    const char* tip;
  } corners[] = {{Review_Corner, Review_Picture, "Review"},
                 {Iterate_Corner, Iterate_Picture, "Iterate"},
                 {Undo_Corner, Undo_Picture, "Undo"},
                 {Clear_Corner, Clear_Picture, "Clear"}};
  for (const auto& c : corners) {
    The_GUI_Bitmaps->Get(c.picture, Picture_Size);
    if (const auto& picture = The_GUI_Bitmaps->Pictures[size_t(c.picture)])
      Set_Corner_Button(c.corner, *picture, c.tip, true, true, true);
  }
  // Iterate and its stop face stay: the corner switches between them.
  for (int id : {Review_Picture, Undo_Picture, Clear_Picture}) The_GUI_Bitmaps->Drop(id);
  review = std::make_unique<Review_Window>(this, TRect(0, 0, Attr.W, Attr.H));
  review->Attr.Style &= ~WS_VISIBLE;
  review->Attr.Style |= WS_DISABLED;
  review->Active = false;
  review->Create();
  const int side = (*The_GUI_Sizes)[Drawing_Side_Size];
  Set_Drawing(std::make_unique<Shape_Drawing>(side, side, The_GUI_Colors->Palette.get(), Drawing_Background), false);
  Build_Contrast_Table();
  Refresh_Corner_Buttons();
}

void Drawing_Window::CleanupWindow() {
  Stop_Iterating();
  // The crayon keeps what lies under it: put it back while this window is
  // still there.
  if (Cursor_Inside) Hide_Crayon();
  if (The_Eraser) The_Eraser->Detach_Client(this);
  Round_Window::CleanupWindow();
}

bool Drawing_Window::Find(TEventInfo& info) {
  static const TResponse_Table<Drawing_Window> table = {
      EV_MESSAGE<Drawing_Window>(Review_Finished_Message, &Drawing_Window::Ev_Review_Finished),
      EV_MESSAGE<Drawing_Window>(Fireworks_Finished_Message, &Drawing_Window::Ev_Fireworks_Finished),
      EV_MESSAGE<Drawing_Window>(Mouse_Lost_Message, &Drawing_Window::Ev_Mouse_Lost)};
  return table.Dispatch(*this, info) || Round_Window::Find(info);
}

void Drawing_Window::EvTimer(UINT timer_id) {
  if (timer_id == Corner_Repeat_Timer) {
    Round_Window::EvTimer(timer_id);
    return;
  }
  KillTimer(Iteration_Timer_Id);
  if (!iterating) return;
  if (ready_event_.Wait(Ready_Wait) != WAIT_OBJECT_0) {
    // Not ready yet: look again at the next chance, input first.
    SetTimer(Iteration_Timer_Id, 0);
    return;
  }
  Iteration_Tick();
}

void Drawing_Window::EvShowWindow(bool show, UINT status) {
  Round_Window::EvShowWindow(show, status);
  if (!show) Cursor_Inside = painted = false;
}

LRESULT Drawing_Window::Ev_Fireworks_Finished(WPARAM, LPARAM) {
  // The show drew over the drawing area; the drawing itself is unchanged.
  Repaint_Area();
  Give_Back_Hold();
  if (game) game->Start_Animation();
  return 0;
}

LRESULT Drawing_Window::Ev_Review_Finished(WPARAM wp, LPARAM lp) {
  Review_Finished(int(wp), int32_t(lp));
  return 0;
}

// ---- Holds

void Drawing_Window::Take_Hold() {
  Take_Capture_Reason();
  Hover_Locked = true;
  Cursor_Inside = Cursor_Outside = false;
}

void Drawing_Window::Give_Back_Hold() {
  Give_Back_Capture_Reason();
  Refresh_Hover();
}

// ---- Corners

void Drawing_Window::Corner_Clicked(int corner) {
  Stop_Fireworks();
  switch (corner) {
    case Review_Corner: Review(); break;
    case Iterate_Corner: Start_Iterating(); break;
    case Undo_Corner: Undo(); break;
    case Clear_Corner:
      if (current.Picture_Cleared() && !current.Has_Live_Pieces() && history.empty()) {
        if (target && game) game->End_Run();
        break;
      }
      Clear();
      if (target && game) game->Reset_Target();
      break;
    default: break;
  }
}

void Drawing_Window::Stop_Fireworks() {
  if (fireworks && fireworks->Playing()) fireworks->Stop();
}

// ---- Painting

void Drawing_Window::Paint_Client(TDC& dc) {
  const Drawing_History& state = Shown_State();
  if (!state.picture) return;
  // A show draws only where its sparks change: under it the window shows
  // the show's dimmed picture, not the drawing.
  if (fireworks && fireworks->Paint_Under(dc, Inner_Rect)) {
    painted = true;
    return;
  }
  // The crayon keeps what lies under it: lifted while the drawing changes
  // there, so it leaves no trail of the old picture.
  const bool crayon = The_Fill_Pointer && The_Fill_Pointer->Shown();
  if (crayon) The_Fill_Pointer->Hide();
  Paint_State(dc, state);
  if (crayon) The_Fill_Pointer->Show_At_Cursor();
  painted = true;
}

void Drawing_Window::Paint_State(TDC& dc, const Drawing_History& state) {
  const TRect square = Inner_Rect;
  const bool outlines = state.Has_Live_Pieces();
  if (!target && !outlines) {
    state.picture->Paint(dc, square);
    return;
  }
  // Outlines and hints go over a copy; the copy's buffer is kept for the
  // next paint.
  state.picture->Unpack(false, nullptr);
  if (!paint_copy_)
    paint_copy_ = std::make_unique<Shape_Drawing>(*state.picture, true);
  else
    *paint_copy_ = *state.picture;
  if (target) {
    TColor hint = target_color;
    if (state.Picture_Cleared() || hint == TColor(No_Color))
      hint = color_wheel ? color_wheel->Current_Color_Entry() : TColor(0, 0, 0);
    target->Overlay_Hint(*paint_copy_, hint);
  }
  const int handle = (*The_GUI_Sizes)[38];
  if (outlines) state.pieces->Draw(*paint_copy_, TSize(handle, handle));
  paint_copy_->Paint(dc, square);
  if (outlines && state.pieces->Cursor >= 0) {
    TRect box = state.pieces->Entry_Box(state.pieces->Cursor, TSize(handle - 2, handle - 2));
    box = box.Offset_By(square.left, square.top);
    dc.SelectObject(*The_GUI_Colors->Scheme_Pen_3);
    dc.SelectObject(*The_GUI_Colors->Scheme_Brush_1);
    dc.Ellipse(box);
    dc.RestorePen();
    dc.RestoreBrush();
  }
}

void Drawing_Window::Repaint_Area() {
  if (!IsWindow() || !IsWindowVisible() || !Client_Painting) return;
  TClientDC dc(*this);
  dc.SelectClipRgn(Inner_Region);
  Paint_Client(dc);
}

void Drawing_Window::Cursor_Entered_Client() {
  if (!painted || !input_enabled || (fireworks && fireworks->Playing())) return;
  Round_Window::Cursor_Entered_Client();
  Take_Pointer_Hold();
  Show_Crayon();
}

void Drawing_Window::Cursor_Left_Client() {
  Round_Window::Cursor_Left_Client();
  Hide_Crayon();
  SetCursor(&TCursor::Arrow());
  ::SetCursor(&TCursor::Arrow());
  Give_Back_Pointer_Hold();
}

// The crayon's hold is one hold at most, apart from a busy operation's,
// which clears the inside flag while the crayon may still be out.
void Drawing_Window::Take_Pointer_Hold() {
  if (pointer_hold_) return;
  pointer_hold_ = true;
  Take_Capture_Reason();
}

void Drawing_Window::Give_Back_Pointer_Hold() {
  if (!pointer_hold_) return;
  pointer_hold_ = false;
  Give_Back_Capture_Reason();
}

LRESULT Drawing_Window::Ev_Mouse_Lost(WPARAM wp, LPARAM lp) {
  if (The_Mouse && The_Mouse->Holds(this)) return 0;  // stale: taken again since
  // Another window has the mouse: the crayon would stand still here.
  pointer_hold_ = false;
  Hide_Crayon();
  return Mouse_Lost(wp, lp);
}

// ---- Operations

void Drawing_Window::Apply_Manipulator(std::shared_ptr<const Transform_Set_2D> set, bool apply) {
  // The run composes with the manipulator it began with: a new one stops it.
  Stop_Iterating();
  manipulator = std::move(set);
  if (apply && !review_open) Single_Step();
  Refresh_Corner_Buttons();
}

void Drawing_Window::Set_Color_Cycle(const Color_Transform& cycle) {
  if (cycle == color_cycle) return;
  Stop_Iterating();
  color_cycle = cycle;
}

void Drawing_Window::Follow_Color_Cycle(const Color_Transform* cycle) {
  if (cycle != followed_cycle) Stop_Iterating();
  followed_cycle = cycle;
  if (cycle) color_cycle = *cycle;
}

void Drawing_Window::Set_Drawing(std::unique_ptr<Shape_Drawing> picture, bool repaint) {
  Stop_Iterating();
  current.picture = std::move(picture);
  current.pieces.reset();
  shown = history.end();
  start_shape = nullptr;
  Reset_History();
  Refresh_Corner_Buttons();
  if (review_open) {
    frames[0] = current.picture.get();
    frame_pieces[0] = nullptr;
    review->Set_Frames(frames.data(), frame_pieces.data(), 1, 0);
    review->Invalidate();
  } else if (target && game) {
    game->End_Run();
  } else if (repaint) {
    Repaint_Area();
  }
}

void Drawing_Window::Set_Target(Match_Target* new_target, Game_Events* new_game, bool clear) {
  Stop_Fireworks();
  Stop_Iterating();
  target = new_target;
  game = new_game;
  if (clear) {
    Clear();
    return;
  }
  Repaint_Area();
  Refresh_Corner_Buttons();
}

void Drawing_Window::Show_Fireworks() {
  if (!fireworks || !current.picture) return;
  if (Cursor_Inside) Cursor_Left_Client();
  Take_Hold();
  TClientDC dc(*this);
  dc.SelectClipRgn(Inner_Region);
  fireworks->Play(*current.picture, dc, Inner_Rect);
}

bool Drawing_Window::Has_Steps(int32_t n) const {
  if (kept_base.picture || !start_shape) return false;
  int32_t count = 0;
  for (auto it = history.rbegin(); it != history.rend(); ++it) {
    if (it->pieces) return false;
    if (!it->applied) continue;
    if (it->applied_level != user_level) break;
    if (++count >= n) return true;
  }
  return count >= n;
}

Shape_Drawing* Drawing_Window::Trace_Points(int32_t n, std::unique_ptr<Point_Set_2D>* points) {
  std::unique_ptr<Point_Set_2D> carried;
  if (points && start_shape) carried = std::make_unique<Point_Set_2D>(start_shape->Key_Points);
  int32_t passed = 0;
  for (auto it = history.rbegin(); it != history.rend(); ++it) {
    if (passed >= n) {
      if (points) *points = std::move(carried);
      return it->picture.get();
    }
    if (!it->applied) {
      carried.reset();
      continue;
    }
    ++passed;
    if (carried && int64_t(carried->Count()) * it->applied->Count() < Point_Limit)
      carried = std::make_unique<Point_Set_2D>(carried->Image(*it->applied));
    else
      carried.reset();
  }
  if (points) *points = std::move(carried);
  return current.picture.get();
}

std::unique_ptr<Target_Recipe> Drawing_Window::Make_Target(int32_t offset, int32_t steps) {
  if (current.Picture_Cleared() || !start_shape || !Has_Steps(steps)) return nullptr;
  Stop_Fireworks();
  Stop_Iterating();
  Settle_History();
  auto recipe = std::make_unique<Target_Recipe>();
  Shape_Drawing* picture = Trace_Points(offset, &recipe->points);
  if (!picture) return nullptr;
  recipe->picture = std::make_unique<Shape_Drawing>(*picture, true);
  recipe->start_shape = start_shape;
  recipe->frame = geometry.area_rel;
  recipe->centering = centering;
  recipe->offset = offset;
  for (auto it = history.rbegin(); it != history.rend(); ++it)
    if (it->applied) recipe->steps.push_back(it->applied);
  Clear();
  return recipe;
}

void Drawing_Window::Faster() {
  if (iterating) speed = std::max(speed - Speed_Step, 0);
}

void Drawing_Window::Slower() {
  if (iterating) speed = std::min(speed + Speed_Step, Slowest_Speed);
}

void Drawing_Window::Mark_Next_Piece() {
  Virtual_Drawing* pieces = current.pieces.get();
  if (!pieces || pieces->Live_Count < 2) return;
  pieces->Next_Entry();
  Repaint_Area();
}

Shape_Drawing* Drawing_Window::Current_Drawing() {
  if (review_open) return review->Shown_Frame();
  return Shown_State().picture.get();
}

TPoint Drawing_Window::Screen_Point(const Point_2D& unit_point) const {
  const Affine_Transform_2D to_pixels(geometry.area_rel);
  TPoint p = Point_To_Int_Clamped(to_pixels.Map_Point(unit_point.x, unit_point.y));
  p = p.Offset_By(Inner_Rect.left, Inner_Rect.top);
  ClientToScreen(p);
  return p;
}
