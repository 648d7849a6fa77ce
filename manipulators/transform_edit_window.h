// The manipulator editor: the round panel, shown in place of the drawing,
// in which the user edits one manipulator. Every image is drawn as a copy
// of the notched square inside a ruled edit area; copies are selected,
// dragged by themselves, their handles or their notch, added, deleted,
// duplicated and reset, every change can be undone, and OK or Cancel ends
// the editing. The editor works on its own copy of the image set: the
// caller's set changes only on OK.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <vector>

#include "manipulators/edit_handle.h"
#include "manipulators/handle_palette.h"
#include "manipulators/transform_edit_panel.h"
#include "manipulators/transform_manipulator.h"
#include "model/affine_transform_2d.h"
#include "model/notched_square.h"
#include "model/plane_geometry.h"
#include "model/transform_set_2d.h"
#include "platform/window/command_enabler.h"
#include "platform/window/menu.h"
#include "platform/window/window_dc.h"
#include "toolkit/round_window.h"

class Transform_Edit_Window : public Round_Window {
 public:
  // Menu commands; 3706 (reset) has no item.
  enum : UINT { Cm_Cancel = 3701, Cm_Undo = 3702, Cm_Add = 3703, Cm_Delete = 3704, Cm_Duplicate = 3705, Cm_Reset = 3706 };
  enum Undo_Kind : int32_t { Undo_None = 0, Undo_Add, Undo_Duplicate, Undo_Delete, Undo_Move, Undo_Reset, Undo_Apply };

  // One undo step: everything the change it undoes may alter.
  struct Edit_History {
    int32_t Kind = Undo_None;
    std::unique_ptr<Transform_Set_2D> Images;
    std::unique_ptr<Transform_Set_2D> Selection;
    std::unique_ptr<Transform_Set_2D> Unselected;
    Affine_Transform_2D Group_Frame;
    int32_t Selected_Image = -1;
    int32_t Pin = -1;
    int32_t Handle = -1;
    int32_t Handle_Code = 0;
  };

  // Made once, hidden and disabled, in the parent's rectangle rect.
  Transform_Edit_Window(TWindow* parent, const TRect& rect);
  ~Transform_Edit_Window() override;

  // ---- The editor's use
  // Puts the editor to work on a copy of set, named in name (80 characters);
  // notify is told with Manipulator_Edited_Message when editing ends.
  void Open(Transform_Set_2D* set, char* name, TWindow* notify);
  // Ends editing: 1 keeps the changes (OK), 2 cancels.
  void Close_Editor(int32_t result);
  void Focus_Dialog();
  // Points for scripted input.
  TPoint Screen_Point(const Point_2D& unit) const;
  TPoint Title_Field_Screen_Point() const;
  TSize Handle_Offset(int32_t column, int32_t row) const;
  bool Is_Open() const { return Target != nullptr; }

  // The application's hooks: the numeric panel's maker, and whether the
  // current user's level has colour steps.
  Transform_Edit_Panel_Maker Dialog_Maker;
  std::function<bool()> Level_Has_Color_Steps;

  // ---- Window
  void SetupWindow() override;
  // The system ends the program: an edit under way is kept as OK keeps it.
  bool CanClose() override;
  bool Find(TEventInfo& info) override;
  void Corner_Clicked(int corner) override;
  bool Is_Corner_Enabled(int corner) override;
  void Paint_Client(TDC& dc) override;
  void EvMouseMove(UINT keys, const TPoint& point) override;
  void EvRButtonUp(UINT keys, const TPoint& point) override;
  void Client_Button_Down(UINT keys, const TPoint& point) override;
  void Client_Mouse_Move(UINT keys, const TPoint& point) override;
  void Client_Button_Up(UINT keys, const TPoint& point) override;

  // Whether the copy of the unit square under map overlaps the visible
  // circle; a map whose coefficients or points are not finite never does.
  bool Is_Visible(const Affine_Transform_2D& map) const;

  // ---- Commands
  void Cmd_Menu_Cancel() {}
  void Cmd_Undo();
  void Cmd_Add();
  void Cmd_Delete();
  void Cmd_Duplicate();
  void Cmd_Reset();
  void Ce_Cancel(TCommandEnabler& ce) { ce.Enable(true); }
  void Ce_Undo(TCommandEnabler& ce);
  void Ce_Add(TCommandEnabler& ce);
  void Ce_Delete(TCommandEnabler& ce);
  void Ce_Duplicate(TCommandEnabler& ce);
  void Ce_Reset(TCommandEnabler& ce);
  LRESULT Handle_Chosen(WPARAM kind, LPARAM handle);

  // ---- Dialog hooks
  // IDYES, IDNO or IDCANCEL (cancel stops the caller).
  int Confirm_Dialog_Changes();
  // The panel's new map for the selection; false when refused.
  bool Apply_Dialog(const Affine_Transform_2D& map);

  // ---- Selection
  bool Image_At(TPoint point, int32_t& index) const;
  bool Handle_At(TPoint point, int32_t& position) const;
  bool Notch_Hit(TPoint point) const;
  bool Frame_Hit(TPoint point, int32_t& frame) const;
  bool Images_In_Rect(const TRect& rect, Transform_Set_2D& out) const;
  void Toggle_Selected(const Affine_Transform_2D& map);
  void Compute_Group_Frame();
  void Unselected_Images(Transform_Set_2D& out) const;
  void Select_Map(const Affine_Transform_2D* map);
  void Place_Handles();
  void Pick_Handle(int32_t position);
  void Begin_Handle_Drag(int32_t position);
  void Begin_Notch_Drag();
  void Open_Drag_DC(int handles);

  // ---- Undo
  void Record_Undo(int32_t kind);
  void Drop_Last_Undo();
  void Clear_Undo();
  void Update_Undo_Text();

  // The image at index as an affine map (null outside the set).
  Affine_Transform_2D* Image(int32_t index) const;
  int32_t Image_Count() const { return Manipulator->Count(); }
  // Repaints the client now through a window context, handles saved.
  void Repaint_Client();
  // The unit point a drag to p lands on: the snap table's inside the edit
  // area, the nearest 0.005 step outside it.
  Point_2D Snapped_Unit_Point(TPoint p) const;

  // ---- State (names as the rest of the program knows them)
  TPopupMenu Menu;
  TRect Edit_Area;
  Affine_Transform_2D View_Map;
  Affine_Transform_2D View_Inverse;
  Affine_Transform_2D Group_Frame;
  Affine_Transform_2D Group_Frame_Inverse;
  Transform_Set_2D* Manipulator;
  Transform_Set_2D Selection;
  Transform_Set_2D Unselected;
  Circle_2D Visible_Circle;
  char* Title = nullptr;
  TWindow* Notify_Window = nullptr;
  int32_t Selected_Image = -1;
  Notched_Square Test_Shape;
  std::unique_ptr<Transform_Edit_Panel> Dialog;
  TRect Dialog_Area;
  Null_Handle No_Handle;
  std::unique_ptr<Handle_Palette> Palette;
  std::unique_ptr<TCursor> Drag_Cursor;
  Transform_Manipulator Manipulator_Tool;
  std::array<TRect, 10> Handle_Rects{};
  std::array<std::unique_ptr<TBitmap>, 10> Handle_Saves;
  std::array<TPoint, 3> Notch_Screen{};
  int32_t Clicked_Position = -1;
  int32_t Grabbed_Position = -1;
  int32_t Clicked_Kind = 0;
  std::unique_ptr<TClientDC> Drag_DC;
  TPoint Down_Point;
  TRect Band_Rect;
  TPoint Grab_Offset;
  bool Button_Down = false;
  bool Dragging_Handle = false;
  bool Dragging_Notch = false;
  bool Banding = false;
  bool Pressed_On_Ruler = false;
  bool Save_Under = false;
  bool Plain_Paint = false;
  bool Apply_Refused = false;
  std::array<std::unique_ptr<TBitmap>, 4> Strip_Pictures;
  std::array<TRect, 4> Strip_Rects{};
  std::array<TRect, 4> Frame_Rects{};
  std::array<std::vector<TPoint>, 4> Grid_Points;
  int32_t Grid_Level = 0;
  std::vector<float> Snap_Table;
  std::deque<Edit_History> History;

  static constexpr std::array<int32_t, 4> Grid_Divisions = {0, 10, 8, 6};

 private:
  void Build_Snap_Table();
  void Build_Rulers();
  void Paint_Copies(TDC& dc);
  void Paint_Selection(TDC& dc);
  void Paint_Handles(TDC& dc);
  void Draw_Group_Frame(TDC& dc, const Affine_Transform_2D& frame) const;
  void Draw_Feedback(const Affine_Transform_2D& erase, const Affine_Transform_2D& draw);
  void Draw_Band();
  int32_t Position_Code(int32_t position) const;
  void Show_Dialog_Map(const Affine_Transform_2D* map);
  void Axis_Slopes_To_Palette();
  void Set_Pin(int32_t position);
  void Set_Handle(int32_t position);
  void End_Drag_Display();
  void End_Handle_Drag();
  void End_Notch_Drag();
  void End_Band();
  void Click(UINT keys, TPoint point);
  bool Color_Steps() const { return Level_Has_Color_Steps && Level_Has_Color_Steps(); }
  bool Delete_Keeps_A_Copy() const;
  void Set_Drag_Cursor(std::unique_ptr<TCursor> cursor);

  // The caller's set, written only on OK; the editor works on Working.
  Transform_Set_2D* Target = nullptr;
  Transform_Set_2D Working;
  int32_t Handle_Size;
  float Rotation_Cursor_Angle = 0.0f;
};
