// The colour step chooser of one image of a manipulator: how many places
// applying that image moves each colour of the drawing along the colour
// cycle. Five numbered cells for the steps 0 to 4, a wider cell holding a
// number field for any larger step, and two arrow buttons that count the
// step up and down (repeating while held). The manipulator editor's numeric
// dialog tells it the selected image's step and reads the chosen step back.
#pragma once

#include <array>
#include <cstdint>

#include "platform/gdi/geometry.h"
#include "platform/window/window.h"
#include "toolkit/number_edit.h"

class Arrow_Button;

class Color_Step_Control : public TWindow {
 public:
  static constexpr int Window_Id = 1100;
  static constexpr int Up_Id = 1101, Down_Id = 1102, Field_Id = 1103;
  static constexpr uint32_t Repeat_Ms = 200;
  static constexpr int No_Cell = -1, Custom = 5;

  // rect: the control's place in the parent.
  Color_Step_Control(TWindow* parent, const TRect& rect);
  ~Color_Step_Control() override;

  // Shows step as the selection: -1 (or any negative step) none, 0-4 a
  // numbered cell, larger steps the custom cell with the step in its field.
  void Select_Cell(int32_t step);
  // The chosen step: -1 with nothing selected; from the custom cell the
  // field's number, 0 when it does not read or is negative.
  int32_t Step() const;

  void SetupWindow() override;
  void Paint(TDC& dc, bool erase, TRect& rect) override;
  bool EvEraseBkgnd(TDC& dc) override;
  void EvLButtonDown(UINT mod_keys, const TPoint& point) override;
  LRESULT EvCommand(UINT id, HWND control, UINT notify_code) override;
  void EvCommandEnable(TCommandEnabler& enabler) override;
  const TBrush* EvCtlColor(TDC& dc, HWND child, UINT ctl_type) override;
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

  TRect Client_Rect;
  int32_t Cell_Width = 0;
  int32_t Cell_Height = 0;
  std::array<TRect, 5> Cells{};
  TRect Custom_Cell;
  int32_t Frame_Width = 0;
  Arrow_Button* Up_Button = nullptr;
  Arrow_Button* Down_Button = nullptr;
  int32_t Selected = No_Cell;
  bool Field_Shown = false;
  Number_Edit<int>* Step_Field = nullptr;

 private:
  void Draw_Cell(TDC& dc, int cell, bool selected) const;
  void Draw_Custom_Frame(TDC& dc, bool selected) const;
  // Draws a cell (numbered or custom) in its selected or plain look.
  void Show_Cell(int cell, bool selected);
  void Up();
  void Down();
};
