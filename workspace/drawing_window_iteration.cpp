// The iteration engine: choosing a step's road and its inputs on the
// interface thread, the worker that renders it, the timer that claims the
// result and decides whether the run goes on, and the single step.
#include <algorithm>

#include "model/affine_transform_2d.h"
#include "platform/window/cursor.h"
#include "platform/window/user.h"
#include "toolkit/demonstration_state.h"
#include "toolkit/gui_bitmaps.h"
#include "toolkit/mouse.h"
#include "toolkit/small_utilities.h"
#include "toolkit/watch_cursor.h"
#include "workspace/drawing_window.h"

namespace {

bool Is_Exact_Identity(const Transform_2D* map) {
  const auto* m = dynamic_cast<const Affine_Transform_2D*>(map);
  return m && m->eM11 == 1.0f && m->eM22 == 1.0f && m->eM12 == 0.0f && m->eM21 == 0.0f && m->eDx == 0.0f &&
         m->eDy == 0.0f;
}

int32_t Color_Step_Of(const Transform_2D* map) {
  const auto* m = dynamic_cast<const Affine_Transform_2D*>(map);
  return m ? m->Color_Step : 0;
}

void Pack_Unless_Packed(Shape_Drawing* picture) {
  if (picture && !picture->Packed) picture->Pack(false, true);
}

// The worker's own copy of a picture: packed bytes when it is packed, so the
// worker does the unpacking.
std::unique_ptr<Shape_Drawing> Worker_Copy(const Shape_Drawing& picture) {
  auto copy = std::make_unique<Shape_Drawing>(picture, false);
  copy->Iterated = false;
  return copy;
}

}  // namespace

int32_t Drawing_Window::Iteration_Thread::Run() {
  for (;;) {
    if (ShouldTerminate()) break;
    owner_.request_event_.Wait(INFINITE);
    if (ShouldTerminate()) break;
    // The request is this thread's until ready is signalled; the result is
    // the interface thread's from then on.
    owner_.result_ = Compute_Iteration(std::move(owner_.request_));
    owner_.request_ = Iteration_Request();
    owner_.ready_event_.Set();
  }
  return 0;
}

// ---- Settling and preparing

void Drawing_Window::Settle_History() {
  if (shown != history.end()) {
    Commit_Pending_Edit(false);
    Return_To(shown);
    shown = history.end();
  } else if (!pending_edit.empty()) {
    Commit_Pending_Edit(true);
  }
}

bool Drawing_Window::Prepare_Step(Iteration_Request& request, Drawing_History& plan) {
  request = Iteration_Request();
  plan = Drawing_History();
  // The worker gets its own copy of the cycle through the request below.
  if (followed_cycle) color_cycle = *followed_cycle;
  if (!manipulator || manipulator->Count() == 0) return false;
  request.manipulator = manipulator;
  Shape_Drawing* newest = history.empty() ? nullptr : history.front().picture.get();

  if (current.Has_Live_Pieces()) {
    overlay_added = false;
    request.road = Step_Road::Pieces;
    request.source = Worker_Copy(*current.picture);
    request.pieces = std::make_unique<Virtual_Drawing>(*current.pieces, false);
    current.applied = manipulator;
    current.applied_level = user_level;
    plan.maps.Add_Map(std::make_unique<Affine_Transform_2D>());
    plan.level = 0;
    plan.cycle = color_cycle;
    Pack_Unless_Packed(current.base.get());
    Pack_Unless_Packed(newest);
    Pack_Unless_Packed(current.picture.get());
    current.pieces->Handle_Points.clear();
    return true;
  }
  if (current.Picture_Cleared()) return false;
  current.applied = manipulator;
  current.applied_level = user_level;

  const int32_t n = manipulator->Count();
  const bool restart = (current.maps.Count() > 1 && int64_t(n) * current.maps.Count() > 6) ||
                       !(color_cycle == current.cycle) ||
                       (color_cycle.count > 0 &&
                        (color_cycle.Contains(current.picture->Background) || color_cycle.Has_Duplicates()));
  const bool recolor_only = color_cycle.count > 0 && n == 1 && Is_Exact_Identity(manipulator->Map(0));
  plan.cycle = color_cycle;
  Shape_Drawing* saved_base = nullptr;
  if (restart) {
    if (recolor_only) {
      request.road = Step_Road::Recolor;
      request.recolor_step = Color_Step_Of(manipulator->Map(0));
    } else {
      request.road = Step_Road::Render;
      centering.Fit(request.fitted, *manipulator);
    }
    request.cycle = color_cycle;
    request.source = Worker_Copy(*current.picture);
    current.picture->Iterated = true;
    plan.base = current.picture;
    plan.maps = *manipulator;
    plan.level = 1;
    saved_base = current.picture.get();
  } else {
    plan.maps = current.maps;
    plan.maps.Compose_With(*manipulator);
    plan.level = current.level + 1;
    plan.base = current.base;
    request.cycle = color_cycle;
    if (color_cycle.count > 0 && recolor_only) {
      request.road = Step_Road::Recolor;
      request.recolor_step = Color_Step_Of(manipulator->Map(0));
      request.source = Worker_Copy(*current.picture);
      current.picture->Iterated = false;
      if (plan.base) plan.base->Iterated = true;
    } else {
      if (color_cycle.count > 0) plan.maps.Sort(&Compare_Color_Steps);
      request.road = Step_Road::Render;
      if (plan.level < 2) {
        centering.Fit(request.fitted, plan.maps);
      } else {
        // Rounded so that maps that should be equal are bit-for-bit equal,
        // whatever order the products were formed in.
        Transform_Set_2D rounded;
        for (int32_t i = 0; i < plan.maps.Count(); ++i)
          if (const auto* m = dynamic_cast<const Affine_Transform_2D*>(plan.maps.Map(i)))
            rounded.Add_Map(std::make_unique<Affine_Transform_2D>(Affine_Transform_2D::Quantize(*m, 1e-4f, 1e-4f, 0)));
        centering.Fit(request.fitted, rounded);
      }
      Shape_Drawing* base = plan.base ? plan.base.get() : current.picture.get();
      request.source = Worker_Copy(*base);
      base->Iterated = true;
    }
  }
  if (target && current.points && int64_t(current.points->Count()) * n < Point_Limit)
    request.points = std::make_unique<Point_Set_2D>(*current.points);
  // Pictures not in use stay packed; the worker has its own copies.
  Pack_Unless_Packed(saved_base);
  if (newest && newest != plan.base.get()) Pack_Unless_Packed(newest);
  if (current.picture.get() != plan.base.get()) Pack_Unless_Packed(current.picture.get());
  return true;
}

void Drawing_Window::Join_Result(Drawing_History& plan, Iteration_Result& result) {
  plan.picture = std::shared_ptr<Shape_Drawing>(std::move(result.picture));
  plan.pieces = std::move(result.pieces);
  plan.points = std::move(result.points);
  if (!plan.base) plan.base = plan.picture;
}

// ---- Runs

void Drawing_Window::Set_Iterate_Face(bool iterating_now) {
  const int picture = iterating_now ? 9 : 8;
  The_GUI_Bitmaps->Get(picture, Picture_Size);
  if (const auto& face = The_GUI_Bitmaps->Pictures[size_t(picture)])
    Set_Corner_Button(1, *face, iterating_now ? "Stop Iterating" : "Iterate", true, true, true);
}

void Drawing_Window::Start_Iterating() {
  if (iterating) {
    Stop_Iterating();
    return;
  }
  // Settled before the run-start mark, so the mark stays on the state the
  // run leaves from.
  Settle_History();
  if (!Prepare_Step(request_, plan_)) {
    Refresh_Corner_Buttons();
    return;
  }
  Take_Hold();
  watch_cursor->Start();
  if (The_Mouse) The_Mouse->Locked = 1;
  Set_Iterate_Face(true);
  current.run_start = true;
  step_count = 0;
  iterating = true;
  keep_going = false;
  interval = int32_t(First_Interval);
  Refresh_Corner_Buttons();
  SetTimer(Iteration_Timer_Id, UINT(interval));
  request_event_.Set();
}

void Drawing_Window::Iteration_Tick() {
  Iteration_Result result = std::move(result_);
  result_ = Iteration_Result();
  ++step_count;
  if (result.changed) keep_going = true;
  bool stop = false;
  Join_Result(plan_, result);
  Drawing_History& next = plan_;
  if (!next.picture) {
    // The step found nothing to do.
    stop = true;
  } else if (step_count > Step_Limit && !keep_going) {
    stop = true;
  } else if (next.Has_Live_Pieces()) {
    stop = current.pieces && current.pieces->Same_As(*next.pieces);
    int32_t looked = 0;
    for (auto it = history.begin(); !stop && it != history.end() && looked < step_count; ++it, ++looked)
      stop = it->pieces && next.pieces->Same_As(*it->pieces);
  } else if (!keep_going) {
    current.picture->Unpack(false, nullptr);
    stop = current.picture->Is_Similar(*next.picture, step_count > 1);
    int32_t looked = 0;
    for (auto it = history.begin(); !stop && it != history.end() && looked < step_count - 1; ++it, ++looked) {
      Shape_Drawing& earlier = *it->picture;
      const bool was_packed = earlier.Packed != nullptr;
      earlier.Unpack(false, nullptr);
      stop = next.picture->Is_Similar(earlier, false);
      if (was_packed) earlier.Pack(false, true);
    }
  } else {
    interval = speed;
  }
  if (!stop) {
    const bool had_target = target != nullptr;
    Accept_Step(next);
    if (had_target && !target) stop = true;
    watch_cursor->Next_Frame();
    if (step_count == 1) run_start = history.begin();
  }
  plan_ = Drawing_History();
  if (!stop && Prepare_Step(request_, plan_)) {
    if (!keep_going && interval >= int32_t(Interval_Drop)) interval -= int32_t(Interval_Drop);
    SetTimer(Iteration_Timer_Id, UINT(interval));
    request_event_.Set();
  } else {
    End_Run();
  }
  Refresh_Corner_Buttons();
}

void Drawing_Window::End_Run() {
  iterating = false;
  // Nothing of the last step survives the run.
  plan_ = Drawing_History();
  request_ = Iteration_Request();
  result_ = Iteration_Result();
  if (current.picture) current.picture->Unpack(false, nullptr);
  Set_Iterate_Face(false);
  watch_cursor->Stop();
  if (The_Mouse) The_Mouse->Locked = 0;
  Give_Back_Hold();
  Refresh_Corner_Buttons();
  // A demonstration waiting for the iteration to end plays on.
  Release_Demonstration_Hold();
}

void Drawing_Window::Stop_Iterating() {
  if (!iterating) return;
  KillTimer(Iteration_Timer_Id);
  ::SetCursor(Program_Busy_Cursor());
  // The outstanding step finishes; its result is dropped.
  ready_event_.Wait(INFINITE);
  End_Run();
}

void Drawing_Window::Single_Step() {
  if (iterating || review_open) return;
  Stop_Fireworks();
  Take_Hold();
  ::SetCursor(Program_Busy_Cursor());
  Settle_History();
  keep_going = false;
  Iteration_Request request;
  Drawing_History plan;
  if (Prepare_Step(request, plan)) {
    current.run_start = true;
    Iteration_Result result = Compute_Iteration(std::move(request));
    Join_Result(plan, result);
    if (plan.picture) {
      Accept_Step(plan);
      run_start = history.begin();
    } else {
      current.run_start = false;
    }
  }
  if (current.picture) current.picture->Unpack(false, nullptr);
  Give_Back_Hold();
  Refresh_Corner_Buttons();
}
