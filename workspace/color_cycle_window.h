// The colour cycles panel: the ten colour cycles that colour steps move the
// drawing's colours along, shown as round diagrams, five to a row in two
// rows with arrow buttons to switch rows. Cycle k has k colours; cycle 1
// means no cycling. A click on a diagram's centre chooses its cycle, a click
// on a colour wedge paints it with the crayon's colour, a right click on a
// wedge picks its colour up, and the right-button menu copies, pastes,
// saves, undoes and restores cycles. Each user keeps the cycles in a file of
// their own; the built-in cycles stand in for a user who has none. The panel
// exists at every level but is shown and used only where the level has
// colour steps.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "model/color_transform.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/color.h"
#include "platform/window/menu.h"
#include "platform/window/window.h"
#include "platform/system/user_file.h"
#include "workspace/color_cycle_file.h"
#include "workspace/eraser_client.h"

class Arrow_Button;
class Color_Wheel;
class User;

class Color_Cycle_Window : public TWindow, public Eraser_Client {
 public:
  static constexpr int Window_Id = 1000;
  static constexpr int Previous_Row_Id = 1001, Next_Row_Id = 1002;
  enum Command : UINT {
    Cm_Cancel = 2000,
    Cm_Copy = 2001,
    Cm_Paste = 2002,
    Cm_Save_Cycle = 2003,
    Cm_Undo_Cycle = 2004,
    Cm_Recall_Cycle = 2005,
    Cm_Save_All = 2006,
    Cm_Undo_All = 2007,
    Cm_Recall_All = 2008,
  };
  enum Region { Nothing = 0, Wedges = 1, Spot = 2 };
  static constexpr uint32_t All_Cycles = 1023;
  static constexpr int Ray_Count = 56;

  struct Ray {
    std::array<TPoint, 4> p{};
    TColor left_line, right_line;  // the p0-p1 and p2-p3 edges
  };

  // rect: the panel's place in the parent. wheel: the colour wheel (not
  // owned). Created hidden and disabled when the user's level has no colour
  // steps.
  Color_Cycle_Window(TWindow* parent, const TRect& rect, Color_Wheel* wheel);
  ~Color_Cycle_Window() override;

  void SetupWindow() override;
  void Paint(TDC& dc, bool erase, TRect& rect) override;
  bool EvEraseBkgnd(TDC& dc) override;
  void EvLButtonDown(UINT mod_keys, const TPoint& point) override;
  void EvRButtonUp(UINT mod_keys, const TPoint& point) override;
  void EvMouseMove(UINT mod_keys, const TPoint& point) override;
  LRESULT EvCommand(UINT id, HWND control, UINT notify_code) override;
  void EvCommandEnable(TCommandEnabler& enabler) override;
  bool Find(TEventInfo& info) override;

  // ---- For the main window
  // After a change of users: offers to save the previous user's changes,
  // loads the new user's cycles, shows or hides the panel for the new level.
  void Change_User();
  // Before a demonstration plays as another user: the person is asked
  // whether to save the cycles they changed (during it nobody is asked).
  void Offer_Save_Before_Demonstration();
  // At program exit: false when the user chose to cancel.
  bool Can_Close();
  // The frame's close query asks every panel.
  bool CanClose() override { return Can_Close(); }
  void Select_Left();
  void Select_Right();
  void Select_Up();
  void Select_Down();
  void Show_Previous_Row();
  void Show_Next_Row();
  // The chosen cycle as the drawing should use it: the empty cycle when
  // cycle 1 (no cycling) is chosen.
  const Color_Transform& Selected_Cycle() const;
  int Selected_Index() const { return selected_row * 5 + selected_column; }
  int Shown_Row() const { return shown_row; }
  // For the demonstrations: the centre of cell i of the shown row, and the
  // next-row button, on the screen.
  TPoint Cell_Screen_Point(int cell) const;
  TPoint Row_Button_Screen_Point() const;

  bool Erase() override;

  // ---- The cycles and their file
  void Select_Cycle(int row, int column);
  bool Write_File(const Color_Cycles& cycles);
  // Tells the person the file at path was not written, and why (error is
  // the errno of the failure).
  void Refuse_Write(const std::string& path, int error);
  bool Read_File(Color_Cycles& cycles);
  static bool Read_Defaults(Color_Cycles& cycles);
  void Load_Defaults();
  // The user's "clr" file.
  static std::string File_Path_Of(const User& user);

  // ---- Hit tests (window coordinates; the shown row)
  int Cell_Test(TPoint point, int& column, TPoint& in_cell) const;
  // The slot of the wedge under a point of a cell, -1 for none.
  int Wedge_Test(int row, int column, TPoint in_cell) const;

  // ---- Geometry
  TRect Client;
  int gap = 0, H = 0, k = 0;
  TRect spot_rect, grid_area, right_area;
  std::array<TRect, 2> button_rects{};
  std::array<TRect, 5> cell_rects{};
  std::array<Ray, Ray_Count> rays{};
  std::array<int, 11> first_ray{};

  // ---- State
  Color_Wheel* wheel = nullptr;
  TPopupMenu menu;
  std::array<Arrow_Button*, 2> row_buttons{};
  bool enabled = false;
  Color_Cycles current{};
  Color_Cycles defaults{};
  Color_Cycles saved{};
  Color_Transform clipboard;
  std::array<std::unique_ptr<TBitmap>, 2> row_picture;
  uint32_t dirty = 0;
  uint32_t pristine = All_Cycles;
  // A user file that could not be read and stays where it is: it is never
  // written over or deleted.
  std::string file_kept_in_place;
  // Why it could not be read, said again when a save is refused.
  TFile_Fault kept_in_place_fault = TFile_Fault::None;
  bool needs_paint = true;
  bool skip_next_move = true;
  int hot = Nothing;
  int shown_row = 0, selected_row = 0, selected_column = 0;
  int menu_cycle = 0;
  int erase_row = -1, erase_column = -1, erase_slot = -1;
  TColor erase_color = TColor::No_Color;
  bool holding_mouse = false;
  // Level index of the user the panel was last set up for.
  int32_t level = 0;

  // ---- Menu commands and their enablers
  void Cmd_Cancel() {}
  void Cmd_Copy();
  void Cmd_Paste();
  void Cmd_Save_Cycle();
  void Cmd_Undo_Cycle();
  void Cmd_Recall_Cycle();
  void Cmd_Save_All();
  void Cmd_Undo_All();
  void Cmd_Recall_All();
  void Ce_Copy(TCommandEnabler& e);
  void Ce_Paste(TCommandEnabler& e);
  void Ce_Save_Cycle(TCommandEnabler& e);
  void Ce_Undo_Cycle(TCommandEnabler& e);
  void Ce_Recall_Cycle(TCommandEnabler& e);
  void Ce_Save_All(TCommandEnabler& e);
  void Ce_Undo_All(TCommandEnabler& e);
  void Ce_Recall_All(TCommandEnabler& e);

 private:
  void Build_Geometry(const TRect& rect);
  void Build_Menu();
  void Draw_Cell(int cycle, bool pressed);
  void Draw_Rows();
  void Show_Cell(int cycle);
  void Draw_Marks(TDC& dc, int column, bool shown) const;
  void Update_Bits(int cycle);
  void Recompute_Masks();
  void Give_Pointer(TColor color);
  void Forget_Eraser();
  // Writes the cycles as the user's file; a failure is shown.
  void Save_Changes_Of(const User& user);
  void Leave_Wedges();
  void Take_Mouse();
  void Release_Mouse();
  void Put_Down_Pointer(bool skip_move);
  void Repaint_All();
  bool Save_All();
  int Level_Index() const;
  bool Has_Cycles(int32_t level_index) const;
  bool Menu_Level() const;
};
