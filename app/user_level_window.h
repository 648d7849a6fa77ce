// The right half of the Name and Level dialog: a staircase of five steps,
// level 1 at the bottom left up to level 5 at the top right, a button with
// the level number on each step, and the chosen user's avatar standing on
// the step of the user's level. Dragging the avatar to another step, a step
// button or a level key changes the level of the dialog's copy at once; the
// avatar then falls, walks or glides to its place.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "app/user_avatar.h"
#include "platform/window/window.h"

class Rectangular_Button;
class TClientDC;
class User;

class User_Level_Window : public TWindow {
 public:
  static constexpr int Window_Id = 3000;
  static constexpr int First_Button_Id = 4001;
  static constexpr UINT Animation_Timer = 1;
  static constexpr UINT Tick_Ms = 33;
  enum Motion { Idle = 0, Dragged = 1, Falling = 2, Walking = 3, Gliding = 4 };

  User_Level_Window(TWindow* parent, const TRect& rect, const TFont& font);
  ~User_Level_Window() override;

  // Stops any motion and stands the user's avatar on the user's step.
  void Show_User(User& user);
  // Sends the avatar walking to the step of level index and gives the user
  // that level; nothing when the user has it already.
  void Choose_Level(int32_t level_index);
  // Ends a drag however the drag was interrupted: the cursor is freed and
  // the avatar settles from where it is.
  void End_Drag();
  // The centre of button n (0-4) on the screen.
  TPoint Level_Column_Point(int n) const;

  // Ground height at x along the line of fifteen points.
  int Ground_Height(int x) const;

  void SetupWindow() override;
  void CleanupWindow() override;
  void Paint(TDC& dc, bool erase, TRect& rect) override;
  bool EvEraseBkgnd(TDC&) override { return true; }
  void EvLButtonDown(UINT keys, const TPoint& point) override;
  void EvLButtonUp(UINT keys, const TPoint& point) override;
  void EvMouseMove(UINT keys, const TPoint& point) override;
  void EvTimer(UINT timer_id) override;
  LRESULT EvCommand(UINT id, HWND control, UINT notify_code) override;
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

  // Read by tests and demonstrations.
  int Motion_State() const { return motion; }
  TPoint Foot() const { return foot; }
  TPoint Stand_Point(int i) const { return stand[size_t(i)]; }
  const TRect& Step(int i) const { return steps[size_t(i)]; }
  const Rectangular_Button& Button(int i) const { return *buttons[size_t(i)]; }
  const TRect& Column(int i) const { return columns[size_t(i)]; }
  const User_Avatar& Avatar() const { return *avatar; }
  int Confined_Column() const { return confined_column; }
  bool Hovering() const { return hover; }

 private:
  void Place_Avatar(TPoint new_foot);
  void Start_Motion(Motion state, TPoint to);
  void Stop_Motion();
  void Drop();
  void Confine_Cursor();
  void Free_Cursor();
  void Hover_Test(TPoint point);
  void Animate();

  int32_t shown_level = -1;
  int w, h, bw, bh;
  TFont font;
  std::array<TRect, 5> steps, columns;
  std::array<TPoint, 15> ground;
  std::array<TPoint, 5> stand;
  std::array<Rectangular_Button*, 5> buttons{};
  User* shown_user = nullptr;
  std::unique_ptr<User_Avatar> avatar;
  std::unique_ptr<TClientDC> animation_dc;
  bool hover = false;
  Motion motion = Idle;
  int largest_dx, largest_dy;
  int confined_column = -1;
  bool confined = false;
  TPoint last_mouse, fall_start, target, foot;
  uint32_t last_tick = 0;
};
