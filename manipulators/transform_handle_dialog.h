// The "Handles" page: the handle picked in the editor as the point where it
// stands and, with a pin set, as where it stands from the pin (offsets, an
// angle in degrees and a length). Typing a number moves the handle's point;
// the map is what dragging the handle there would make, without snapping.
#pragma once

#include <array>
#include <cstdint>

#include "manipulators/edit_handle.h"
#include "manipulators/transform_tab_dialog.h"
#include "model/point_2d.h"

class Transform_Manipulator;

class Transform_Handle_Dialog : public Transform_Tab_Dialog {
 public:
  static constexpr int Window_Id = 2706;
  enum Field_Id : int { X_Id = 2709, Y_Id, DX_Id, DY_Id, Angle_Id, Length_Id };
  // Writing while every field is written at once.
  static constexpr int32_t Writing_All = 2799;

  Transform_Handle_Dialog(TWindow* parent, Transform_Edit_Dialog* owner, Transform_Manipulator& manipulator,
                          const TRect& rect, const TFont* label_font, const TFont* field_font);

  void Set_Transform(const Affine_Transform_2D* map) override;
  // The map that dragging the manipulator's handle to the typed point
  // makes (the map given is not read); the manipulator itself is left as
  // it was.
  void Get_Transform(Affine_Transform_2D& map) override;
  // The typed point differs from the one last set or applied.
  bool Has_Changed() const;
  // An apply was taken: the typed point is the applied one now.
  void Accept() { Applied_To_Point = To_Point; }

  void Paint(TDC& dc, bool erase, TRect& rect) override;
  LRESULT EvCommand(UINT id, HWND control, UINT notify_code) override;

  Transform_Manipulator& Manipulator;
  Anchor Pin_Picture;
  Unidirectional_Handle X_Picture;
  Unidirectional_Handle Y_Picture;
  Counter_Clockwise_Handle Angle_Picture;
  Unidirectional_Handle Length_Picture;
  Number_Edit<float>* X_Field;
  Number_Edit<float>* Y_Field;
  Number_Edit<float>* DX_Field;
  Number_Edit<float>* DY_Field;
  Number_Edit<float>* Angle_Field;
  Number_Edit<float>* Length_Field;
  bool Target_Shown = false;
  bool Relative_Shown = false;
  int32_t Writing = -1;
  Point_2D From_Point{};
  Point_2D To_Point{};
  Point_2D Applied_To_Point{};

 private:
  void Typed(int id);
  // Writes every field but the one being typed in.
  void Refresh();
  void Show_Target(bool show);
  void Show_Relative(bool show);
  void Show_Group(size_t first, size_t count, bool show);
  // Draws a group's caption; relative adds the pin between "From" and "to".
  void Paint_Caption(TDC& dc, bool relative, bool shown) const;
  void Repaint_Caption(bool relative);
  TRect Caption_Rect(bool relative) const;
};
