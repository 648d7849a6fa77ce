// The round drawing window: the square drawing in the middle of the main
// window and the owner of everything that makes up the drawing: the current
// state and its history, the chosen manipulator, the active colour cycle, the
// iteration thread and the review window.
//
// Threads: everything here runs on the interface thread except
// Compute_Iteration, which the iteration thread runs on a request that owns
// copies of what it reads. The interface thread alone settles the history and
// packs, unpacks and paints the pictures; a result is claimed only after the
// ready event was taken.
#pragma once

#include <array>
#include <list>
#include <memory>

#include "model/color_transform.h"
#include "model/point_2d.h"
#include "platform/system/event_semaphore.h"
#include "toolkit/round_window.h"
#include "toolkit/tthread.h"
#include "workspace/centering_transform.h"
#include "workspace/drawing_area_geometry.h"
#include "workspace/drawing_history.h"
#include "workspace/eraser_client.h"
#include "workspace/game_links.h"
#include "workspace/iteration_step.h"

class Color_Wheel;
class Review_Window;
class Shape;
class Shape_Palette;
class Watch_Cursor;

// What "Match This!" hands the game to build a target from: copies that the
// game owns, never the history's own pictures and sets.
struct Target_Recipe {
  std::unique_ptr<Shape_Drawing> picture;
  std::unique_ptr<Point_Set_2D> points;
  const Shape* start_shape = nullptr;
  TRect frame;
  Centering_Transform centering;
  int32_t offset = 0;
  // The manipulators applied, oldest first.
  std::vector<std::shared_ptr<const Transform_Set_2D>> steps;
};

class Drawing_Window : public Round_Window, public Eraser_Client {
 public:
  using History_List = std::list<Drawing_History>;
  using History_Position = History_List::iterator;

  static constexpr int Window_Id = 1300;
  static constexpr int History_Limit = 50;
  static constexpr int Step_Limit = 11;
  static constexpr UINT Iteration_Timer_Id = 1;
  static constexpr uint32_t First_Interval = 1000;
  static constexpr uint32_t Interval_Drop = 200;
  static constexpr uint32_t Ready_Wait = 20;
  static constexpr int32_t Speed_Step = 100;
  static constexpr int32_t Slowest_Speed = 2000;
  // Target points are carried only while points x maps stay below this.
  static constexpr int32_t Point_Limit = 1536;
  // The most shapes and fills the eraser can take back.
  static constexpr size_t Pending_Limit = 20;
  // The shape number of the palette's overlay button.
  static constexpr int32_t Overlay_Shape = 20;

  // The wheel gives the target hint its colour; the palette's overlay
  // button is kept showing whether the overlay can be added. Either may be
  // absent.
  Drawing_Window(TWindow* parent, const TRect& rect, Color_Wheel* wheel = nullptr, Shape_Palette* palette = nullptr);
  ~Drawing_Window() override;

  void SetupWindow() override;
  void CleanupWindow() override;
  bool Find(TEventInfo& info) override;
  void EvTimer(UINT timer_id) override;
  void EvShowWindow(bool show, UINT status) override;
  bool IdleAction(long idle_count) override;

  // ---- Operations for the main window, the game and the demonstrations
  // The chosen manipulator (none with null); with apply, one step at once
  // unless the review is open or a run goes on. A run in progress stops first.
  void Apply_Manipulator(std::shared_ptr<const Transform_Set_2D> set, bool apply);
  void Set_Drawing(std::unique_ptr<Shape_Drawing> picture, bool repaint);
  // The active colour cycle (copied); a run in progress stops first.
  void Set_Color_Cycle(const Color_Transform& cycle);
  // The cycle the colour cycles panel has chosen, read afresh before every
  // step so that a colour painted into it acts from the next step on (null:
  // keep the cycle set last). Choosing another one stops a run, as above.
  void Follow_Color_Cycle(const Color_Transform* cycle);
  // "Match This!": null when the drawing cannot give a target.
  std::unique_ptr<Target_Recipe> Make_Target(int32_t offset, int32_t steps);
  void Set_Target(Match_Target* target, Game_Events* game, bool clear);
  void Set_Fireworks(Fireworks_Show* show) { fireworks = show; }
  void Show_Fireworks();
  bool Has_Steps(int32_t n) const;
  // The picture n applied steps after the oldest state, and, when asked,
  // the start shape's points carried there.
  Shape_Drawing* Trace_Points(int32_t n, std::unique_ptr<Point_Set_2D>* points);
  void Faster();
  void Slower();
  void Mark_Next_Piece();
  // The picture to hand on: the review's frame while it is open, else the
  // shown state's, else the current one.
  Shape_Drawing* Current_Drawing();
  TPoint Screen_Point(const Point_2D& unit_point) const;
  // Paints a palette shape into the drawing in color (a wheel colour, entry
  // form), or, with contrast, where color would not show on the background;
  // the overlay button's shape adds or removes the piece overlay.
  void Add_Shape(const Shape& shape, const TColor& color, const TColor& contrast);
  // The current user's level index (0..4), told by the main window.
  void Set_User_Level(int32_t level) { user_level = level; }

  // ---- Iteration
  void Start_Iterating();
  void Stop_Iterating();
  bool Is_Iterating() const { return iterating; }
  bool Review_Open() const { return review_open; }

  // ---- History
  void Accept_Step(Drawing_History& out);
  void Reset_History();
  void Return_To(History_Position position);
  void Undo();
  void Clear();
  void Review();
  void Review_Finished(int code, int32_t frame);
  void Commit_Pending_Edit(bool push);

  // ---- Round window slots
  void Corner_Clicked(int corner) override;
  bool Is_Corner_Enabled(int corner) override;
  void Paint_Client(TDC& dc) override;
  void Cursor_Entered_Client() override;
  void Cursor_Left_Client() override;
  // A click picks a piece by its handle or pours the colour in hand.
  void Client_Button_Down(UINT keys, const TPoint& point) override;
  // The crayon follows the pointer; over a handle it gives way to the arrow.
  void Client_Mouse_Move(UINT keys, const TPoint& point) override;

  // ---- Eraser client: takes back the newest shape or fill.
  bool Erase() override;

  // A piece tag: the piece list's serial (its low 16 bits) over the index.
  static int32_t Piece_Tag(uint32_t serial, int32_t index) {
    return int32_t(((serial & 0xFFFFu) << 16) | (uint32_t(index) & 0xFFFFu));
  }

  // The state shown: the history entry at the shown position, else current.
  const Drawing_History& Shown_State() const { return shown == history.end() ? current : *shown; }

  Drawing_Area_Geometry geometry;
  Centering_Transform centering;
  std::shared_ptr<const Transform_Set_2D> manipulator;
  Color_Transform color_cycle;
  const Color_Transform* followed_cycle = nullptr;
  std::unique_ptr<Review_Window> review;
  History_List history;
  History_Position run_start;
  History_Position shown;
  Drawing_History kept_base;
  Drawing_History current;
  // The states before the latest shapes and fills, oldest first.
  History_List pending_edit;
  std::array<Shape_Drawing*, History_Limit + 1> frames{};
  std::array<Virtual_Drawing*, History_Limit + 1> frame_pieces{};
  int32_t step_count = 0;
  bool keep_going = false;
  const Shape* start_shape = nullptr;
  TColor target_color{No_Color};
  Match_Target* target = nullptr;
  Game_Events* game = nullptr;
  Fireworks_Show* fireworks = nullptr;
  bool painted = false;
  bool input_enabled = false;
  bool overlay_added = false;
  int32_t interval = 0;
  int32_t speed = 200;
  bool iterating = false;
  bool review_open = false;
  int32_t user_level = 0;
  Color_Wheel* color_wheel = nullptr;
  Shape_Palette* shape_palette = nullptr;

 protected:
  // Takes and gives back a mouse hold for a busy operation.
  void Take_Hold();
  void Paint_State(TDC& dc, const Drawing_History& state);
  void Give_Back_Hold();
  void Repaint_Area();

 private:
  class Iteration_Thread : public TThread {
   public:
    explicit Iteration_Thread(Drawing_Window& owner) : owner_(owner) {}

   protected:
    int32_t Run() override;

   private:
    Drawing_Window& owner_;
  };

  // The interface thread's half of a step: settles nothing, chooses the road
  // and fills request and plan; false when there is nothing to do.
  bool Prepare_Step(Iteration_Request& request, Drawing_History& plan);
  // The result joined to its plan: the record Accept_Step takes.
  static void Join_Result(Drawing_History& plan, Iteration_Result& result);
  // Settles a shown older state and pending edits before a step.
  void Settle_History();
  // One step at once on this thread, as choosing a manipulator asks.
  void Single_Step();
  // The timer's work once the ready event was taken.
  void Iteration_Tick();
  void End_Run();
  void Set_Iterate_Face(bool iterating_now);
  void Test_Target();
  void Trim_History();
  void Push_Oldest_Edit();
  void Drop_Entry(History_Position position);
  History_Position First_Run_Start();
  void Stop_Fireworks();
  // Adding a shape and filling: the state before the change becomes the
  // newest pending edit, and the current state goes on from a copy of its
  // picture; the pending edit is returned.
  Drawing_History& Record_Edit(TColor edit_color);
  // The end of an edit: repaint, corners, and the pending picture packed.
  void Finish_Edit();
  void Add_Ordinary_Shape(const Shape& shape, TColor color, TColor contrast);
  void Switch_Overlay(bool position_reset);
  // The colour a click pours: the crayon's, else the wheel's.
  TColor Color_In_Hand() const;
  // The live piece whose handle is under a client point, or -1.
  int32_t Piece_At(const TPoint& point);
  void Show_Crayon();
  void Hide_Crayon();
  void Take_Pointer_Hold();
  void Give_Back_Pointer_Hold();
  LRESULT Ev_Mouse_Lost(WPARAM wp, LPARAM lp);
  LRESULT Ev_Review_Finished(WPARAM wp, LPARAM lp);
  LRESULT Ev_Fireworks_Finished(WPARAM wp, LPARAM lp);

  std::unique_ptr<Watch_Cursor> watch_cursor;
  // The hold taken while the pointer is over the area.
  bool pointer_hold_ = false;
  // A run's plan for the step outstanding, and the worker's hand-over.
  Drawing_History plan_;
  Iteration_Request request_;
  Iteration_Result result_;
  // The picture painted when outlines or a hint go over the shown one.
  std::unique_ptr<Shape_Drawing> paint_copy_;
  TEventSemaphore request_event_;
  TEventSemaphore ready_event_;
  Iteration_Thread worker_{*this};
};
