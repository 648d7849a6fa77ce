// The match game's control strip under the drawing window. It runs a
// safari: a chain of targets that grow step by step, one stage at a time.
// The player sets the first visible step a (clicking a cell) and the step
// count b (dragging the album along the cells); the camera stands on the
// cell of the current stage. Clicking the camera case starts a run, the
// camera stops it. Each matched stage moves the camera on with a click and
// earns points; a run that reaches step b ends with the camera's flash, a
// photo in the album, a fanfare and the fireworks. The strip also answers
// the main window's "Match This!", which turns the player's own last b
// steps into a run for someone else.
//
// Ownership: every stage of the run lives in Stages; the current target is
// the one at Current. Nothing else owns a target, so a replayed stage is
// never freed twice.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "game/safari_level_tables.h"
#include "manipulators/palette_links.h"
#include "platform/gdi/bitmap.h"
#include "platform/window/response_table.h"
#include "platform/window/window.h"
#include "toolkit/sound_client.h"
#include "workspace/game_links.h"

class Drawing_Window;
class Fireworks_Factory;
class Shape_Album;
class Shape_Camera;
class Shape_Palette;
class Shape_Target;
class Target_Generator;
class Transform_Palette;
struct Target_Recipe;

class Safari_Controls : public TWindow, public Sound_Client, public Palette_Game, public Game_Events {
 public:
  static constexpr int Match_Command = 0x70B;
  static constexpr UINT Clock_Timer = 1;
  static constexpr UINT Stage_Interval = 200;
  static constexpr UINT Return_Interval = 33;
  static constexpr int Cell_Count = 8;
  // The sound library's slots of the camera's click and the fanfare.
  static constexpr int Step_Sound = 4;
  static constexpr int Complete_Sound = 5;

  // What the pointer is over.
  enum Control : int32_t { None = 0, Start = 1, Stop = 2, Handle = 3, Cell = 4 };
  static constexpr std::array<const char*, 5> Hints = {" ", "Start Safari", "Stop Safari", "Set Step Count",
                                                       "Set First Visible Step"};

  // The size of the fireworks show a run earns: a generated run, b waves
  // of a fireworks; a run from the player's own drawing, b waves of one; a
  // demonstrated run, one wave of a, so the demonstration moves on sooner.
  struct Show_Size {
    int32_t waves;
    int32_t per_wave;
    bool operator==(const Show_Size&) const = default;
  };
  static Show_Size Fireworks_For(bool from_drawing, bool demonstration, int32_t a, int32_t b);

  Safari_Controls(TWindow* parent, const TRect& rect, Drawing_Window* drawing_window, Shape_Palette* shape_palette,
                  Transform_Palette* manipulator_palette, Target_Generator* target_generator,
                  Fireworks_Factory* fireworks_factory);
  ~Safari_Controls() override;

  void SetupWindow() override;
  void CleanupWindow() override;
  bool EvEraseBkgnd(TDC&) override { return true; }
  void Paint(TDC& dc, bool erase, TRect& rect) override;
  void EvLButtonDown(UINT keys, const TPoint& point) override;
  void EvLButtonUp(UINT keys, const TPoint& point) override;
  void EvMouseMove(UINT keys, const TPoint& point) override;
  void EvTimer(UINT timer_id) override;
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
  bool Find(TEventInfo& info) override { return Table.Dispatch(*this, info) || TWindow::Find(info); }

  // ---- For the main window, the drawing window and the palette
  // A change of person or level: ends a run, forgets the queued targets and
  // fits (a, b) to the new level. The caller asks for targets again once the
  // manipulator palette has changed (Refresh_Targets).
  void Set_User();
  void Target_Matched() override;
  void Reset_Target() override;
  void End_Run() override;
  void Start_Animation() override;
  bool Run_In_Progress() const override { return Current_Target() != nullptr; }
  // A fresh first target from the palette as it is now (not during a run,
  // whose next stage is already on its way).
  void Refresh_Targets() override;
  // Gives back a setting (first visible step, step count) that a
  // demonstration changed; a run still going ends without a score.
  void Put_Back_Setting(int32_t a, int32_t b);
  void Sound_Done(Sound_Wave* wave) override;

  // ---- For the demonstrations: screen centres of the camera and of cell i.
  TPoint Panel_Screen_Point() const;
  TPoint Control_Screen_Point(int i) const;

  // ---- State
  Shape_Target* Current_Target() const;
  int32_t Level() const;
  int32_t Bound() const;
  // Hit test of a client point: the control and, for a cell, its number.
  Control Hit_Test(const TPoint& point, int32_t* cell = nullptr) const;
  // The step count the album's place stands for: it stands on cell n + 1
  // for n, its left edge the row inset left of that cell.
  int32_t Album_Cell() const;

  Drawing_Window* const Drawing;
  Shape_Palette* const Shapes;
  Transform_Palette* const Manipulators;
  Target_Generator* const Generator;
  Fireworks_Factory* const Fireworks;

  int32_t A = 1;
  int32_t B = 1;
  int32_t Shown = 0;
  int32_t Done = 0;
  // Every stage of the run, played or current; Current indexes it.
  std::vector<std::unique_ptr<Shape_Target>> Stages;
  size_t Current = 0;
  uint32_t Last_Tick = 0;
  int32_t Row_Inset = 0;
  bool Dragging = false;
  bool Size_Cursor_Shown = false;
  bool Returning = false;
  // The fanfare is playing and the fireworks follow it.
  bool Show_Due = false;
  // The camera shows its flash until the fireworks are over.
  bool Flashing = false;
  int32_t Pending_Points = -1;
  Control Hover = None;
  int32_t Hover_Cell = 0;
  int32_t Drag_X = -1;
  int32_t Row_Offset = 0;
  int32_t Pitch = 0;
  TRect Camera_Rect, Album_Rect, Row_Rect;
  std::array<TRect, Cell_Count> Cells{};
  // Cells 1..6, each in its visible-step form [0] and plain form [1].
  std::array<std::array<std::unique_ptr<TBitmap>, 2>, 6> Cell_Pictures{};
  std::unique_ptr<TBitmap> Background;
  std::unique_ptr<Shape_Camera> Camera;
  std::unique_ptr<Shape_Album> Album;
  Safari_Streak Streak;

 private:
  void Layout();
  void Make_Pictures();
  void Draw_Cell_Picture(TBitmap& picture, int k, bool visible);
  void Draw_Cells();
  void Paint_Camera(TDC& dc, const TRect& rect);
  void Paint_Row(TDC& dc, const TRect& clip);
  void Repaint_Camera();
  void Repaint_Album();
  void Move_Album();
  void Update_Cursor(const TPoint& point);
  void Confine_Pointer();
  void Free_Pointer();
  void Change_Hover(Control control, int32_t cell);

  void Choose_Cell(int32_t k);
  void Drop_Album();
  bool Start_Run(std::unique_ptr<Shape_Target> target);
  void Clock_Step();
  void Next_Stage();
  void Slide_Camera(bool jump);
  void Set_Camera_Left(int32_t left);
  void Clear_Run();
  // Ends a run at once: no score, no fireworks, the camera back home.
  void Drop_Run();
  void Restart_Return();
  void Prepare_Fireworks(const Shape_Target& target);
  void Award_Points();
  std::unique_ptr<Shape_Target> Take_Target();
  // The target made from a "Match This!" recipe.
  static std::unique_ptr<Shape_Target> Target_From(Target_Recipe& recipe, int32_t first_stage);
  bool Drawing_Showing() const;
  static void Beep();

  void Match_This();
  void Ce_Match_This(TCommandEnabler& enabler);
  static inline const TResponse_Table<Safari_Controls> Table = {
      EV_COMMAND<Safari_Controls>(Match_Command, &Safari_Controls::Match_This),
      EV_COMMAND_ENABLE<Safari_Controls>(Match_Command, &Safari_Controls::Ce_Match_This)};
};
