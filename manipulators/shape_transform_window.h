// The page window of the manipulator palette: one page of manipulators as
// five rows of two diagrams under the identity picture, chosen with the left
// button (which applies the choice), and at levels 4 and 5 the New and Edit
// buttons and a popup menu of editing, moving and saving commands. Every
// change of page or selection is posted to the main window as
// Manipulator_Selected_Message.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "manipulators/diagram_frame.h"
#include "manipulators/shape_transform_section.h"
#include "manipulators/transform_diagram.h"
#include "platform/window/menu.h"
#include "platform/window/window.h"

class Rectangular_Button;
class Transform_Palette;

enum Manipulator_Command : UINT {
  Cm_Cancel = 3400, Cm_New, Cm_Edit, Cm_Cut, Cm_Copy, Cm_Paste, Cm_Duplicate,
  Cm_Move_Left, Cm_Move_Right, Cm_Move_Up, Cm_Move_Down,
  Cm_Save_Changes, Cm_Undo_Changes, Cm_Recall_Original, Cm_Recall_Custom,
};
inline constexpr UINT New_Button_Id = 2500;
inline constexpr UINT Edit_Button_Id = 2501;

struct Cell {
  int32_t row = -1;
  int32_t column = -1;
  bool operator==(const Cell&) const = default;
  bool None() const { return row < 0; }
};

// The two sides of a selection line: the segment from p to a cell's centre
// moved sideways by h each way (offsets truncated toward zero).
std::array<std::pair<TPoint, TPoint>, 2> Selection_Segments(TPoint p, TPoint centre, int32_t h);

class Shape_Transform_Window : public TWindow {
 public:
  static constexpr int Window_Id = 2400;
  static constexpr int32_t Rows = 5;

  // height -1: six cells high.
  Shape_Transform_Window(Transform_Palette* palette, TWindow* main_window, TPoint position, int32_t height = -1);
  ~Shape_Transform_Window() override;

  void SetupWindow() override;
  void Paint(TDC& dc, bool erase, TRect& rect) override;
  bool EvEraseBkgnd(TDC&) override { return true; }
  void EvLButtonDown(UINT keys, const TPoint& point) override;
  void EvLButtonUp(UINT keys, const TPoint& point) override;
  void EvRButtonUp(UINT keys, const TPoint& point) override;
  void EvMouseMove(UINT keys, const TPoint& point) override;
  LRESULT EvCommand(UINT id, HWND control, UINT notify_code) override;
  void EvCommandEnable(TCommandEnabler& enabler) override;
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

  void Show_Page(Shape_Transform_Section* section, Shape_Transform_Page* page, bool repaint);
  void Make_Diagram(Shape_Transform& manipulator) const;
  void Update_Buttons(int32_t previous_level, int32_t level);
  void Resize(bool redraw);
  void Post_Selected(bool apply);
  void Draw_Cell_Released(int32_t slot);

  TPoint Slot_Screen_Point(int32_t slot) const;
  TPoint New_Button_Screen_Point() const;
  TPoint Edit_Button_Screen_Point() const;

  // The cell under a point: hit tells whether there was a hit at all; a hit
  // on the top square gives no cell.
  Cell Hit_Test(TPoint point, bool* hit) const;
  TRect Cell_Rect(Cell cell) const;
  bool Enabled_Command(UINT id) const;

  Shape_Transform_Page* Page() const { return page; }
  Shape_Transform_Section* Section() const { return section; }
  const Shape_Transform& Clipboard() const { return *clipboard; }
  bool Buttons_Visible() const;

  int32_t S;  // cell side
  int32_t H;  // half a cell
  TRect Top_Square, Arrow_Box, Grid, New_Rect, Edit_Rect;
  TPoint Grid_Origin;
  Cell Press_Cell, Hover_Cell;

 private:
  void Lay_Out(int32_t height);
  void Draw_Cell(TDC& dc, int32_t slot, bool pressed);
  void Draw_Cell_Pressed(int32_t slot, bool pressed);
  void Draw_Selection_Lines(TDC& dc) const;
  void Toggle_Selection_Lines();
  void Select(Cell cell);
  void Move(UINT command);
  bool Can_Move(UINT command) const;
  Shape_Transform* Selected() const;
  void Beep() const;

  Transform_Palette* palette;
  TWindow* main_window;
  Shape_Transform_Section* section = nullptr;
  Shape_Transform_Page* page = nullptr;
  TPopupMenu popup;
  std::unique_ptr<Diagram_Frame> frame, pressed_frame;
  std::unique_ptr<Transform_Diagram> identity_picture;
  std::unique_ptr<TBitmap> editing_picture;
  std::unique_ptr<Shape_Transform> clipboard;
  Rectangular_Button* new_button = nullptr;
  Rectangular_Button* edit_button = nullptr;
};
