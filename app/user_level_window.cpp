#include "app/user_level_window.h"

#include <algorithm>
#include <cstdlib>
#include <string>

#include "model/gui_colors.h"
#include "platform/system/clock.h"
#include "platform/window/cursor.h"
#include "platform/window/icon.h"
#include "platform/window/user.h"
#include "platform/window/window_dc.h"
#include "toolkit/gui_sizes.h"
#include "toolkit/mouse.h"
#include "toolkit/rectangular_button.h"
#include "toolkit/toolkit_messages.h"
#include "users/user.h"

namespace {

// Moves from towards to by at most step, never past it.
int Toward(int from, int to, int step) {
  if (from < to) return std::min(to, from + step);
  return std::max(to, from - step);
}

const TCursor* Hand_Cursor() {
  const TCursor* hand = LoadCursor(TModule::Program(), 4202);
  return hand != nullptr ? hand : &TCursor::Arrow();
}

}  // namespace

User_Level_Window::User_Level_Window(TWindow* parent, const TRect& rect, const TFont& font_)
    : TWindow(parent, "User Level Window"), font(font_) {
  Attr.Style = WS_CHILD | WS_VISIBLE;
  Attr.Id = Window_Id;
  Attr.Set_Rect(rect);
  w = rect.Width();
  h = rect.Height();
  bw = 2 * w / 11;
  bh = h / 6;
  largest_dx = bw / 4;
  largest_dy = bh / 4;
  const int f = (*The_GUI_Sizes)[24];
  for (int i = 0; i < 5; ++i) {
    TRect& step = steps[size_t(i)];
    if (i == 0)
      step = TRect(3 * (bw / 8), h - bh, 3 * (bw / 8) + bw, h);
    else
      step = TRect(steps[size_t(i - 1)].right, steps[size_t(i - 1)].top - bh, steps[size_t(i - 1)].right + bw, h);
    columns[size_t(i)] = TRect(0, 0, step.right, step.top);
    ground[size_t(3 * i)] = TPoint(step.left, step.top - bh / 4);
    ground[size_t(3 * i + 1)] = TPoint(step.left + bw / 2, step.top);
    ground[size_t(3 * i + 2)] = TPoint(step.right - bw / 8, step.top - bh / 8);
    stand[size_t(i)] = ground[size_t(3 * i + 2)];
    // A quarter of the step's height left the level's digit a few pixels
    // tall inside the button's bevels; half of it is still well clear of
    // the step below and reads at a glance.
    const TRect button(step.left - f, step.top, step.right + f, step.top + std::max(bh / 2, 24));
    buttons[size_t(i)] = new Rectangular_Button(this, First_Button_Id + i, button, 0, this);
  }
  avatar = std::make_unique<User_Avatar>(bw, 5 * bw / 4);
}

User_Level_Window::~User_Level_Window() { Free_Cursor(); }

void User_Level_Window::SetupWindow() {
  TWindow::SetupWindow();
  for (int i = 0; i < 5; ++i) buttons[size_t(i)]->Set_Caption(std::to_string(i + 1).c_str());
  animation_dc = std::make_unique<TClientDC>(*this);
}

void User_Level_Window::CleanupWindow() {
  Free_Cursor();
  KillTimer(Animation_Timer);
  motion = Idle;
  if (hover && The_Mouse != nullptr) The_Mouse->Release(this);
  hover = false;
  if (avatar->Shown()) avatar->Hide(true);
  animation_dc.reset();
  TWindow::CleanupWindow();
}

void User_Level_Window::Show_User(User& user) {
  Stop_Motion();
  if (avatar->Shown()) avatar->Hide(false);
  avatar->Set_User(user, font);
  shown_user = &user;
  shown_level = user.Level_Index();
  foot = stand[size_t(shown_level)];
  if (animation_dc != nullptr) avatar->Show(*animation_dc, avatar->Box_At(foot));
}

void User_Level_Window::Choose_Level(int32_t level_index) {
  if (shown_user == nullptr || level_index < 0 || level_index > 4 || level_index == shown_user->level) return;
  if (motion == Dragged) End_Drag();
  shown_user->level = shown_level = level_index;
  Start_Motion(Walking, stand[size_t(level_index)]);
}

TPoint User_Level_Window::Level_Column_Point(int n) const {
  const TRect r = buttons[size_t(n)]->Window_Rect_In_Parent();
  TPoint centre((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  ClientToScreen(centre);
  return centre;
}

int User_Level_Window::Ground_Height(int x) const {
  size_t k = 0;
  while (k < ground.size() && ground[k].x < x) ++k;
  if (k == 0) return ground[0].y;
  if (k == ground.size()) return ground.back().y;
  const TPoint a = ground[k - 1], b = ground[k];
  if (b.x == a.x) return b.y;
  return a.y + (b.y - a.y) * (x - a.x) / (b.x - a.x);
}

void User_Level_Window::Paint(TDC& dc, bool, TRect&) {
  if (avatar->Shown()) avatar->Hide(false);
  dc.FillRect(GetClientRect(), *The_GUI_Colors->Scheme_Brush_0);
  dc.SelectObject(*The_GUI_Colors->Scheme_Brush_6);
  dc.SelectObject(*The_GUI_Colors->Scheme_Pen_3);
  for (const TRect& step : steps) dc.Rectangle(step);
  dc.RestoreObjects();
  if (shown_user != nullptr && animation_dc != nullptr) avatar->Show(*animation_dc, avatar->Box_At(foot));
}

void User_Level_Window::Place_Avatar(TPoint new_foot) {
  foot = new_foot;
  if (avatar->Shown()) avatar->Move(avatar->Box_At(foot));
}

void User_Level_Window::Start_Motion(Motion state, TPoint to) {
  motion = state;
  target = to;
  last_tick = GetTickCount();
  SetTimer(Animation_Timer, Tick_Ms);
}

void User_Level_Window::Stop_Motion() {
  if (motion == Dragged) Free_Cursor();
  motion = Idle;
  KillTimer(Animation_Timer);
}

void User_Level_Window::EvLButtonDown(UINT, const TPoint& point) {
  if (!hover || shown_user == nullptr) return;
  KillTimer(Animation_Timer);
  last_mouse = point;
  confined_column = -1;
  motion = Dragged;
  Confine_Cursor();
}

void User_Level_Window::EvMouseMove(UINT, const TPoint& point) {
  if (motion != Dragged) {
    Hover_Test(point);
    return;
  }
  Place_Avatar(TPoint(foot.x + point.x - last_mouse.x, foot.y + point.y - last_mouse.y));
  last_mouse = point;
  Confine_Cursor();
}

void User_Level_Window::EvLButtonUp(UINT, const TPoint& point) {
  if (motion != Dragged) return;
  Free_Cursor();
  Drop();
  Hover_Test(point);
}

void User_Level_Window::End_Drag() {
  if (motion != Dragged) return;
  Free_Cursor();
  Drop();
}

void User_Level_Window::Drop() {
  const TRect body = avatar->Body_At(foot);
  int level = 4;
  for (int i = 0; i < 5; ++i)
    if (steps[size_t(i)].right >= body.right) {
      level = i;
      break;
    }
  const int ground_y = Ground_Height(foot.x);
  // The level follows the drop even when the avatar needs no motion.
  shown_user->level = shown_level = level;
  if (foot.y < ground_y) {
    fall_start = foot;
    Start_Motion(Falling, TPoint(foot.x, ground_y));
  } else if (foot.y > ground_y) {
    Start_Motion(Gliding, stand[size_t(level)]);
  } else if (foot.x != stand[size_t(level)].x) {
    Start_Motion(Walking, stand[size_t(level)]);
  } else {
    motion = Idle;
  }
}

void User_Level_Window::Confine_Cursor() {
  const TRect body = avatar->Body_At(foot);
  int c = confined_column < 0 ? shown_level : confined_column;
  if (body.right >= columns[size_t(c)].right && c < 4 && body.bottom < columns[size_t(c + 1)].bottom)
    ++c;
  else if (body.bottom >= columns[size_t(c)].bottom && c >= 1 && body.right < columns[size_t(c - 1)].right)
    --c;
  if (c == confined_column) return;
  confined_column = c;
  const TRect& column = columns[size_t(c)];
  TRect clip(column.left + (last_mouse.x - body.left - 1), column.top + (last_mouse.y - body.top - 1),
             column.right + (last_mouse.x - body.right + 1), column.bottom + (last_mouse.y - body.bottom + 1));
  TPoint top_left(clip.left, clip.top), bottom_right(clip.right, clip.bottom);
  ClientToScreen(top_left);
  ClientToScreen(bottom_right);
  clip = TRect(top_left.x, top_left.y, bottom_right.x, bottom_right.y);
  ClipCursor(&clip);
  confined = true;
}

void User_Level_Window::Free_Cursor() {
  if (!confined) return;
  ClipCursor(nullptr);
  confined = false;
  confined_column = -1;
}

void User_Level_Window::Hover_Test(TPoint point) {
  if (shown_user == nullptr || The_Mouse == nullptr) return;
  const bool over = avatar->Body_At(foot).Contains(point);
  if (over == hover) return;
  hover = over;
  if (over) {
    The_Mouse->Capture(this);
    SetCursor(Hand_Cursor());
  } else {
    The_Mouse->Release(this);
    SetCursor(&TCursor::Arrow());
  }
}

void User_Level_Window::EvTimer(UINT timer_id) {
  if (timer_id != Animation_Timer || motion == Idle || motion == Dragged) return;
  Animate();
}

void User_Level_Window::Animate() {
  const uint32_t now = GetTickCount();
  const int dt = int(now - last_tick);
  TPoint p = foot;
  if (motion == Falling) {
    const int step = std::min((h + 2 * (p.y - fall_start.y)) * dt / 2000, largest_dy);
    p.y = Toward(p.y, target.y, step);
    p.x = target.x;
    const TPoint home = stand[size_t(shown_level)];
    if (p.y == target.y && target != home) {
      motion = Walking;
      target = home;
    }
  } else if (motion == Walking) {
    const int step = std::min(w * dt / 2000, largest_dx);
    p.x = Toward(p.x, target.x, step);
    p.y = Ground_Height(p.x);
    if (p.x == target.x) p.y = target.y;
  } else if (motion == Gliding) {
    const int dx = std::abs(target.x - p.x), dy = std::abs(target.y - p.y);
    const int step = std::min({(w + h) * dt / 2000, largest_dx + largest_dy, dx + dy});
    if (dx + dy > 0) {
      p.x = Toward(p.x, target.x, step * dx / (dx + dy));
      p.y = Toward(p.y, target.y, step * dy / (dx + dy));
      // Both shares rounded to nothing: the shorter way is taken a pixel at a time.
      if (p == foot && step > 0) (dx >= dy ? p.x : p.y) = Toward(dx >= dy ? p.x : p.y, dx >= dy ? target.x : target.y, 1);
    }
  }
  const bool moved = p != foot;
  Place_Avatar(p);
  if (foot == target) {
    motion = Idle;
    KillTimer(Animation_Timer);
  } else if (moved) {
    // Time that moved nothing adds up until it does.
    last_tick += uint32_t(dt);
  }
  TPoint cursor;
  GetCursorPos(cursor);
  ScreenToClient(cursor);
  Hover_Test(cursor);
}

LRESULT User_Level_Window::EvCommand(UINT id, HWND control, UINT notify_code) {
  if (id >= UINT(First_Button_Id) && id < UINT(First_Button_Id + 5)) {
    Choose_Level(int32_t(id - First_Button_Id));
    return 0;
  }
  return TWindow::EvCommand(id, control, notify_code);
}

LRESULT User_Level_Window::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == Mouse_Lost_Message) {
    // The drag cannot go on without the mouse.
    End_Drag();
    if (hover) SetCursor(&TCursor::Arrow());
    hover = false;
    return 0;
  }
  return TWindow::WindowProc(msg, wp, lp);
}
