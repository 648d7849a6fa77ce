// The drawing's history: accepting a step, undo back to where the last run
// began, clear, and the review of past states.
#include "platform/window/user.h"
#include "workspace/drawing_window.h"
#include "workspace/eraser.h"
#include "workspace/review_window.h"
#include "toolkit/program_messages.h"

void Drawing_Window::Accept_Step(Drawing_History& out) {
  history.push_front(std::move(current));
  current = std::move(out);
  out = Drawing_History();
  current.run_start = current.matched = current.pushed = false;
  current.applied.reset();
  current.applied_level = -1;
  Trim_History();
  Test_Target();
  Repaint_Area();
}

// Oldest entries leave while the list is over its limit. One whose picture
// later states were rendered from is kept as kept_base, for an undo to a run
// that began before the list's start.
void Drawing_Window::Trim_History() {
  while (history.size() > size_t(History_Limit)) {
    auto oldest = std::prev(history.end());
    if (oldest->picture && oldest->picture->Iterated) kept_base = std::move(*oldest);
    if (run_start == oldest) run_start = history.end();
    if (shown == oldest) shown = history.end();
    history.erase(oldest);
  }
}

// The state the oldest pending edit was made on goes into the history once,
// as a copy; the pending edit itself stays for the eraser.
void Drawing_Window::Push_Oldest_Edit() {
  if (pending_edit.empty()) return;
  Drawing_History& oldest = pending_edit.front();
  if (oldest.pushed || (oldest.Picture_Cleared() && !oldest.Has_Live_Pieces())) return;
  history.push_front(oldest.Deep_Copy());
  history.front().pushed = false;
  oldest.pushed = true;
  Trim_History();
}

void Drawing_Window::Test_Target() {
  if (!target || !current.picture) return;
  current.picture->Unpack(false, nullptr);
  if (!target->Matches(*current.picture, start_shape, current.points.get())) return;
  target = nullptr;
  current.matched = true;
  if (game) game->Target_Matched();
}

void Drawing_Window::Reset_History() {
  kept_base = Drawing_History();
  current.base = current.picture;
  current.maps.Clear();
  current.maps.Add_Map(std::make_unique<Affine_Transform_2D>());
  current.level = 0;
  current.points.reset();
  history.clear();
  run_start = shown = history.end();
  Commit_Pending_Edit(false);
}

Drawing_Window::History_Position Drawing_Window::First_Run_Start() {
  for (auto it = history.begin(); it != history.end(); ++it)
    if (it->run_start) return it;
  return history.end();
}

void Drawing_Window::Return_To(History_Position position) {
  if (position == history.end()) return;
  current = std::move(*position);
  if (current.picture) current.picture->Unpack(false, nullptr);
  history.erase(history.begin(), std::next(position));
  run_start = First_Run_Start();
  shown = history.end();
}

void Drawing_Window::Undo() {
  Stop_Iterating();
  if (!pending_edit.empty()) Commit_Pending_Edit(false);
  if (shown != history.end()) Return_To(shown);
  if (history.empty()) return;
  if (run_start != history.end()) {
    current = std::move(*run_start);
    history.erase(history.begin(), std::next(run_start));
  } else if (kept_base.picture) {
    current = std::move(kept_base);
    kept_base = Drawing_History();
    history.clear();
  } else {
    // No run began in what the list holds: back to its oldest state rather
    // than to nothing.
    current = std::move(history.back());
    history.clear();
  }
  if (current.picture) current.picture->Unpack(false, nullptr);
  run_start = First_Run_Start();
  shown = history.end();
  Test_Target();
  Repaint_Area();
  Refresh_Corner_Buttons();
}

void Drawing_Window::Clear() {
  Stop_Iterating();
  if (!history.empty() || !current.Picture_Cleared() || current.pieces) {
    if (shown != history.end() && shown->picture && current.picture)
      current.picture->Set_Background(shown->picture->Background);
    if (current.picture && !current.picture->Blank) current.picture->Clear();
    current.pieces.reset();
    start_shape = nullptr;
    target_color = TColor(No_Color);
    shown = history.end();
    Reset_History();
  }
  overlay_added = false;
  Repaint_Area();
  Refresh_Corner_Buttons();
}

void Drawing_Window::Commit_Pending_Edit(bool push) {
  if (push && !pending_edit.empty()) {
    Drawing_History& oldest = pending_edit.front();
    if (!oldest.pushed && (!oldest.Picture_Cleared() || oldest.Has_Live_Pieces())) {
      history.push_front(std::move(oldest));
      Trim_History();
    }
  }
  if (pending_edit.empty()) return;
  pending_edit.clear();
  if (The_Eraser) The_Eraser->Detach_Client(this);
}

// ---- Review

void Drawing_Window::Review() {
  if (history.empty()) return;
  Stop_Iterating();
  Push_Oldest_Edit();
  frames.fill(nullptr);
  frame_pieces.fill(nullptr);
  frames[0] = current.picture.get();
  frame_pieces[0] = current.pieces.get();
  int32_t count = 1, start = 0;
  for (auto it = history.begin(); it != history.end() && count <= History_Limit; ++it, ++count) {
    frames[size_t(count)] = it->picture.get();
    frame_pieces[size_t(count)] = it->pieces.get();
    if (it == shown) start = count;
  }
  Hide_Crayon();
  pointer_hold_ = false;
  while (Capture_Count > 0) Give_Back_Capture_Reason();
  Hover_Locked = false;
  review_open = true;
  review->Set_Frames(frames.data(), frame_pieces.data(), count, start);
  review->ShowWindow(SW_SHOW);
  review->EnableWindow(true);
  review->Active = true;
  review->SetFocus();
  Active = false;
  if (Parent) Parent->PostMessage(Drawing_Busy_Message, 1, 0);
  Refresh_Corner_Buttons();
}

void Drawing_Window::Review_Finished(int code, int32_t frame) {
  if (!review_open) return;
  review->ShowWindow(SW_HIDE);
  review->EnableWindow(false);
  review->Active = false;
  review_open = false;
  Active = true;
  if (Parent) Parent->PostMessage(Drawing_Busy_Message, 0, 0);
  if (code == 1) {
    History_Position chosen = history.end();
    if (frame > 0 && size_t(frame) <= history.size()) chosen = std::next(history.begin(), frame - 1);
    if (chosen != shown) {
      if (shown != history.end() && shown->picture && shown->picture != current.base)
        shown->picture->Pack(false, true);
      shown = chosen;
      if (shown != history.end()) {
        if (shown->picture) shown->picture->Unpack(false, nullptr);
        if (shown->pieces) shown->pieces->Handle_Points.clear();
      }
    }
  }
  Invalidate();
  Refresh_Corner_Buttons();
}
