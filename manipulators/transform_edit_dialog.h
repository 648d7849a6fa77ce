// The numeric side panel of the manipulator editor: the manipulator's name
// in a "Title:" field, and the selected image's map on one of three pages
// ("Handles", "Corners", "Matrix") in a narrow folder. Typed numbers change
// nothing until "Apply" hands the map they make to the editor; "Reset"
// shows the current map again. Where the user's level has colour steps,
// the selected image's step is chosen below the folder.
#pragma once

#include <cstdint>
#include <memory>

#include "manipulators/transform_edit_panel.h"
#include "model/affine_transform_2d.h"
#include "platform/window/window.h"

class Color_Step_Control;
class ExtEdit;
class Narrow_Folder;
class Round_Button;
class TFont;
class Transform_Corner_Dialog;
class Transform_Handle_Dialog;
class Transform_Matrix_Dialog;
class Transform_Tab_Dialog;

class Transform_Edit_Dialog : public TWindow {
 public:
  static constexpr int Window_Id = 2702;
  enum : int { Folder_Id = 2701, Title_Id = 2703, Reset_Id = 2704, Apply_Id = 2705 };
  static constexpr unsigned Title_Length = 80;

  // rect: the dialog's place in parent; title: the manipulator's name
  // buffer of Title_Length characters.
  Transform_Edit_Dialog(TWindow* parent, Transform_Edit_Window& owner, Transform_Manipulator& manipulator,
                        const TRect& rect, char* title);
  ~Transform_Edit_Dialog() override;

  // The maker the editor uses to put the dialog beside itself.
  static Transform_Edit_Panel_Maker Maker();

  // The editor's selection changed: its map, or null.
  void Set_Transform(const Affine_Transform_2D* map);
  // The selected map changed under a drag or an undo.
  void Update_Transform(const Affine_Transform_2D& map);
  void Read_Title();
  int32_t Read_Color_Step();
  void Apply();
  void Reset();
  // Whether the shown page's fields differ from what they showed when the
  // map was set (exactly, or by the tolerant comparison). A field holding
  // a number no map can take counts as a change, so Apply can refuse it.
  bool Has_Changed(bool exact);
  void Tab_Selected(uint32_t index);

  void SetupWindow() override;
  void Paint(TDC& dc, bool erase, TRect& rect) override;
  bool EvEraseBkgnd(TDC&) override { return true; }
  // The dialog keys: Tab and Shift+Tab move among the fields and buttons,
  // Enter presses Apply (or the focused button).
  bool PreProcessMsg(MSG& msg) override;
  void EvKeyDown(UINT key, UINT repeat_count, UINT flags) override;
  LRESULT EvCommand(UINT id, HWND control, UINT notify_code) override;
  void EvCommandEnable(TCommandEnabler& enabler) override;
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

  Transform_Edit_Window& Owner;
  TRect Client_Rect;
  Affine_Transform_2D* Current = nullptr;
  Affine_Transform_2D Current_Copy;
  Affine_Transform_2D Baseline;
  char* Title_Buffer;
  ExtEdit* Title_Field;
  TRect Title_Frame;
  TPoint Step_Label_Pos;
  Narrow_Folder* Folder;
  Transform_Handle_Dialog* Handle_Page;
  Transform_Corner_Dialog* Corner_Page;
  Transform_Matrix_Dialog* Matrix_Page;
  Transform_Tab_Dialog* Shown_Page = nullptr;
  // Only where the user's level has colour steps.
  Color_Step_Control* Step_Control = nullptr;
  Round_Button* Apply_Button;
  Round_Button* Reset_Button;
  std::unique_ptr<TFont> Label_Font;
  std::unique_ptr<TFont> Field_Font;

  // The editor's handle on the dialog; cleared when the dialog goes first
  // (its parent window deletes it).
  class Panel;
  Panel* Link = nullptr;

 private:
  void Help_Request();
  // Shows a refusal of typed values; the editor learns that the apply failed.
  void Refuse(const char* text);
};
