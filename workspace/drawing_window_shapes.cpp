// Shapes, fills and the eraser in the drawing: adding a palette shape to the
// whole area or to the current piece, the overlay button, the mouse in the
// area (piece pick, fill, the crayon and the arrow over handles), taking
// back the newest shape or fill, and which corners are enabled.
//
// Every shape and fill first records the state before it as the newest
// pending edit (at most Pending_Limit); the eraser takes them back newest
// first, and a step, undo or clear settles them (Commit_Pending_Edit).
#include <algorithm>

#include "model/gui_colors.h"
#include "model/shape.h"
#include "platform/window/cursor.h"
#include "platform/window/user.h"
#include "toolkit/gui_sizes.h"
#include "workspace/color_wheel.h"
#include "workspace/drawing_window.h"
#include "workspace/eraser.h"
#include "workspace/fill_pointer.h"
#include "workspace/shape_palette.h"

namespace {

constexpr TColor White(255, 255, 255);

// The half-size a click on a handle is looked for within.
TSize Handle_Reach() {
  const int s = (*The_GUI_Sizes)[38] + 1;
  return TSize(s, s);
}

Affine_Transform_2D Identity() { return Affine_Transform_2D(); }

}  // namespace

// ---- Adding a shape

void Drawing_Window::Add_Shape(const Shape& shape, const TColor& color, const TColor& contrast) {
  // The run reads the current picture on the worker: it ends before the
  // picture changes hands.
  Stop_Iterating();
  Stop_Fireworks();
  if (!current.picture) {
    Set_Drawing(std::make_unique<Shape_Drawing>(Inner_Rect.Width(), Inner_Rect.Height(),
                                                 The_GUI_Colors->Palette.get(), White),
                false);
  } else {
    current.picture->Unpack(false, nullptr);
  }
  bool position_reset = false;
  if (shown != history.end()) {
    Return_To(shown);
    shown = history.end();
    position_reset = true;
  }
  if (shape.Shape_Number == Overlay_Shape)
    Switch_Overlay(position_reset);
  else
    Add_Ordinary_Shape(shape, color, contrast);
}

void Drawing_Window::Add_Ordinary_Shape(const Shape& shape, TColor color, TColor contrast) {
  overlay_added = false;
  if (target && !current.Has_Live_Pieces()) {
    // In the game every shape starts a new drawing.
    if (!current.picture->Blank) current.picture->Clear();
    current.pieces.reset();
    Reset_History();
  }
  start_shape = current.picture->Blank ? &shape : nullptr;
  TColor fill = color, outline = TColor(No_Color);
  target_color = color;
  TRect rect = geometry.area_rel;
  const TColor seen = color.Is_Rgb() ? color : Palette_Color_To_RGB(color, *The_GUI_Colors->Palette);
  if (current.picture->Background == seen) {
    // The shape would not show on the background.
    if (target) {
      fill = target_color = contrast;
    } else {
      outline = contrast;
      rect.right -= 1;
      rect.bottom -= 1;
    }
  }
  Drawing_History& edit = Record_Edit(fill);
  if (!current.Has_Live_Pieces()) {
    current.picture->Paint_Shape(shape, rect, fill, outline);
  } else {
    Virtual_Drawing& pieces = *current.pieces;
    if (!pieces.Is_Live(pieces.Cursor)) pieces.Next_Entry();
    const int32_t piece = pieces.Cursor;
    edit.edit_index = Piece_Tag(pieces.Serial, piece);
    // The first edit keeps the list as it was, for the history when the
    // edits are settled; the current list is about to change.
    if (pending_edit.size() == 1) edit.pieces = std::make_unique<Virtual_Drawing>(pieces, true);
    pieces.Remove_Entry(piece);
    current.picture->Add_Shape(shape, centering.Fit(pieces.Entries[size_t(piece)]), rect, fill, outline);
    if (pieces.Live_Count > 0) pieces.Next_Entry();
  }
  if (target) {
    current.points = std::make_unique<Point_Set_2D>(shape.Key_Points);
    if (game) game->Reset_Target();
    if (target->Matches(*current.picture, start_shape, current.points.get())) {
      current.matched = true;
      target = nullptr;
      if (game) game->Target_Matched();
    }
  }
  Finish_Edit();
}

Drawing_History& Drawing_Window::Record_Edit(TColor edit_color) {
  Drawing_History& edit = pending_edit.emplace_back(current.Take_Drawing());
  if (pending_edit.size() > Pending_Limit) pending_edit.pop_front();
  edit.edit_color = edit_color;
  if (The_Eraser) The_Eraser->Attach(this, edit_color);
  current.picture = std::make_shared<Shape_Drawing>(*edit.picture, false);
  current.base = current.picture;
  current.maps.Clear();
  current.maps.Add_Map(std::make_unique<Affine_Transform_2D>());
  current.level = 0;
  current.pieces = std::move(edit.pieces);
  return edit;
}

void Drawing_Window::Finish_Edit() {
  Repaint_Area();
  Refresh_Corner_Buttons();
  Drawing_History& newest = pending_edit.back();
  if (newest.picture) newest.picture->Pack(false, true);
  if (newest.pieces) newest.pieces->Handle_Points.clear();
}

// The overlay button: with a live overlay it takes the current piece away,
// or the overlay itself when one piece is left and nothing was drawn into
// it; without one it lays one piece over the whole area.
void Drawing_Window::Switch_Overlay(bool position_reset) {
  if (current.Has_Live_Pieces()) {
    if (!pending_edit.empty() && position_reset) Commit_Pending_Edit(false);
    if ((pending_edit.empty() || overlay_added) && current.pieces->Live_Count == 1) {
      if (!current.Picture_Cleared()) {
        // Back past the steps that only carried the untouched overlay.
        while (!history.empty() && history.front().pieces && history.front().pieces->Removed_Count == 0)
          history.pop_front();
        if (!history.empty()) {
          current = std::move(history.front());
          history.pop_front();
          if (current.picture) current.picture->Unpack(false, nullptr);
        }
        run_start = First_Run_Start();
        Repaint_Area();
      } else {
        Clear();
      }
    } else {
      Virtual_Drawing& pieces = *current.pieces;
      pieces.Remove_Entry(pieces.Cursor);
      if (pieces.Live_Count > 0) pieces.Next_Entry();
      Repaint_Area();
    }
  } else {
    if (!pending_edit.empty()) {
      if (position_reset) {
        Commit_Pending_Edit(false);
      } else {
        Push_Oldest_Edit();
      }
    }
    if (!current.Picture_Cleared()) {
      current.picture->Unpack(false, nullptr);
      Drawing_History next;
      next.picture = std::make_shared<Shape_Drawing>(*current.picture, true);
      next.pieces = std::make_unique<Virtual_Drawing>(geometry.area_rel, Identity());
      next.base = next.picture;
      next.maps.Add_Map(std::make_unique<Affine_Transform_2D>());
      current.picture->Pack(false, true);
      if (current.pieces) current.pieces->Handle_Points.clear();
      Accept_Step(next);
    } else {
      current.pieces = std::make_unique<Virtual_Drawing>(geometry.area_rel, Identity());
      Repaint_Area();
    }
    overlay_added = true;
  }
  Refresh_Corner_Buttons();
}

// ---- The mouse in the area

TColor Drawing_Window::Color_In_Hand() const {
  if (The_Fill_Pointer) return The_Fill_Pointer->Color;
  return color_wheel ? color_wheel->Current_Color_Entry() : TColor(No_Color);
}

int32_t Drawing_Window::Piece_At(const TPoint& point) {
  if (!current.Has_Live_Pieces() || !Inner_Region.Contains(point)) return -1;
  return current.pieces->Hit_Entry(point - Inner_Rect.TopLeft(), Handle_Reach());
}

void Drawing_Window::Client_Button_Down(UINT, const TPoint& point) {
  if (iterating || (fireworks && fireworks->Playing())) return;
  if (shown != history.end()) {
    Return_To(shown);
    shown = history.end();
  }
  if (const int32_t hit = Piece_At(point); hit >= 0) {
    if (hit != current.pieces->Cursor) {
      current.pieces->Cursor = hit;
      Repaint_Area();
    }
    return;
  }
  if (!current.picture) return;
  current.picture->Unpack(false, nullptr);
  const TPoint p = point - Inner_Rect.TopLeft();
  const TColor color = Color_In_Hand();
  if (color == TColor(No_Color) || !current.picture->Rect.Contains(p) || current.picture->Pixel_Has_Color(p, color))
    return;
  Drawing_History& edit = Record_Edit(color);
  if (pending_edit.size() == 1 && current.pieces)
    edit.pieces = std::make_unique<Virtual_Drawing>(*current.pieces, true);
  current.picture->Fill_At(p, color);
  target_color = TColor(No_Color);
  if (target && target->Matches(*current.picture, nullptr, nullptr)) {
    target = nullptr;
    current.matched = true;
    if (game) game->Target_Matched();
  }
  overlay_added = false;
  Finish_Edit();
}

void Drawing_Window::Client_Mouse_Move(UINT, const TPoint& point) {
  // Without a crayon nothing follows the pointer, and the hold is only
  // entering's and leaving's.
  if (!The_Fill_Pointer) return;
  const int32_t hit = Piece_At(point);
  const bool crayon = The_Fill_Pointer && The_Fill_Pointer->Shown();
  if (current.Has_Live_Pieces() && Inner_Region.Contains(point)) {
    if (hit >= 0 && crayon) {
      Hide_Crayon();
      SetCursor(&TCursor::Arrow());
      ::SetCursor(&TCursor::Arrow());
    } else if (hit < 0 && !crayon) {
      Show_Crayon();
    }
  }
  if (The_Fill_Pointer->Shown()) {
    The_Fill_Pointer->Move_To_Cursor();
    if (!Hover_Locked) Take_Pointer_Hold();
  } else if (hit < 0) {
    Give_Back_Pointer_Hold();
  }
}

void Drawing_Window::Show_Crayon() {
  SetCursor(Fill_Pointer::Cursor());
  ::SetCursor(Fill_Pointer::Cursor());
  if (The_Fill_Pointer) The_Fill_Pointer->Show_At_Cursor();
}

void Drawing_Window::Hide_Crayon() {
  if (The_Fill_Pointer) The_Fill_Pointer->Hide();
}

// ---- The eraser

bool Drawing_Window::Erase() {
  if (pending_edit.empty()) {
    if (The_Eraser) The_Eraser->Detach_Client(this);
    return false;
  }
  if (review_open || shown != history.end()) return false;
  std::unique_ptr<Virtual_Drawing> saved = std::move(current.pieces);
  const Drawing_History& newest = pending_edit.back();
  bool restored = false;
  // The tag keeps only 16 bits of the serial: compared at that width.
  if (saved && newest.edit_index != -1 && (uint32_t(newest.edit_index) >> 16) == (saved->Serial & 0xFFFFu)) {
    const int32_t piece = newest.edit_index & 0xFFFF;
    saved->Restore_Entry(piece);
    saved->Cursor = piece;
    restored = true;
  }
  if (saved && !restored) {
    // The pieces were not the ones the change went into: the state with
    // the change is kept in the history rather than lost.
    current.pieces = std::make_unique<Virtual_Drawing>(*saved, true);
    if (current.picture && !current.picture->Packed) current.picture->Pack(false, true);
    current.pieces->Handle_Points.clear();
    // The current state goes whole: the newest pending edit replaces it.
    history.push_front(std::move(current));
    Trim_History();
  }
  current = std::move(pending_edit.back());
  pending_edit.pop_back();
  current.pieces = std::move(saved);
  current.edit_color = TColor(No_Color);
  current.edit_index = -1;
  if (current.picture) current.picture->Unpack(false, nullptr);
  if (pending_edit.empty()) {
    if (current.Picture_Cleared() && !current.Has_Live_Pieces()) {
      current.pieces.reset();
      Reset_History();
    }
  } else if (The_Eraser) {
    The_Eraser->Attach(this, pending_edit.back().edit_color);
  }
  Repaint_Area();
  Refresh_Corner_Buttons();
  return true;
}

// ---- Corners and idle

bool Drawing_Window::Is_Corner_Enabled(int corner) {
  if (review_open) return false;
  const bool drawn = !current.Picture_Cleared() || current.Has_Live_Pieces();
  switch (corner) {
    case 0: return !history.empty();
    case 1: return iterating || (drawn && manipulator && manipulator->Count() > 0);
    case 2:
      return !history.empty() && (pending_edit.empty() || target) &&
             (history.front().applied || history.size() > 1) && (!target || !current.matched) &&
             shown == history.end() && (run_start != history.end() || kept_base.picture);
    case 3: return drawn || !history.empty() || target;
    default: return false;
  }
}

bool Drawing_Window::IdleAction(long idle_count) {
  if (shape_palette && Overlay_Level_Table[size_t(std::clamp(user_level, 0, 4))] && !review_open)
    if (Reference_Button* button = shape_palette->Overlay_Button();
        button && button->Shape_Of && button->Shape_Of->Shape_Number == Overlay_Shape)
      button->Set_Can_Add(!Shown_State().Has_Live_Pieces());
  // Another tool that took the eraser and let it go gives it back.
  if (!pending_edit.empty() && The_Eraser && !The_Eraser->Client && !review_open && shown == history.end())
    The_Eraser->Attach(this, pending_edit.back().edit_color);
  return Round_Window::IdleAction(idle_count);
}
