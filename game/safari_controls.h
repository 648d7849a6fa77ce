// The match game's controls under the drawing window, and the target of the
// "Match This!" button. So far there are no runs: the controls only show or
// hide themselves by the current user's level and keep the points.
#pragma once

#include "manipulators/palette_links.h"
#include "platform/window/response_table.h"
#include "platform/window/window.h"
#include "workspace/game_links.h"

class Fireworks_Factory;
class Target_Generator;
class Transform_Palette;

// It is also what the manipulator palette and the drawing window ask about
// the game.
class Safari_Controls : public TWindow, public Palette_Game, public Game_Events {
 public:
  static constexpr int Match_Command = 0x70B;

  Safari_Controls(TWindow* parent, const TRect& rect, TWindow* drawing_window, TWindow* shape_palette,
                  Transform_Palette* manipulator_palette, Target_Generator* target_generator,
                  Fireworks_Factory* fireworks_factory);

  void SetupWindow() override;
  bool EvEraseBkgnd(TDC&) override { return true; }
  // No cells yet: a flat strip with a sunken edge.
  void Paint(TDC& dc, bool erase, TRect& rect) override;

  // A change of user or level: ends a run and shows or hides the controls.
  void Set_User();
  // The drawing matched the target: the pending points go to the current
  // user (not during a demonstration).
  void Target_Matched() override;
  void Start_Animation() override {}
  void End_Run() override { Pending_Points = 0; }
  void Reset_Target() override {}

  // No run ever starts yet, so no target waits for a refresh.
  bool Run_In_Progress() const override { return false; }
  void Refresh_Targets() override {}

  int32_t Pending_Points = 0;
  TWindow* Drawing_Window;
  TWindow* Shape_Palette;
  Transform_Palette* Manipulator_Palette;
  Target_Generator* Generator;
  Fireworks_Factory* Fireworks;

  bool Find(TEventInfo& info) override { return Table.Dispatch(*this, info) || TWindow::Find(info); }

 private:
  void Match_This() {}
  void Ce_Match_This(TCommandEnabler& enabler);
  static bool Enabled_For_Current_User();
  static inline const TResponse_Table<Safari_Controls> Table = {
      EV_COMMAND<Safari_Controls>(Match_Command, &Safari_Controls::Match_This),
      EV_COMMAND_ENABLE<Safari_Controls>(Match_Command, &Safari_Controls::Ce_Match_This)};
};
