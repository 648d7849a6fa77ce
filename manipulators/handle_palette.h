// The small pop-up from which the user chooses the kind of handle for a
// ring position: the kinds that make sense there in up to eight cells,
// those the pin does not allow greyed, and the choice posted to the editor
// as Handle_Chosen_Message.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "manipulators/edit_handle.h"
#include "platform/window/window.h"

class Handle_Palette : public TWindow {
 public:
  static constexpr int32_t Cell_Count = 8;
  static constexpr int32_t Code_Count = 14;

  // editor receives the choice.
  explicit Handle_Palette(TWindow* editor);
  ~Handle_Palette() override;

  void SetupWindow() override;
  void Paint(TDC& dc, bool erase, TRect& rect) override;
  bool EvEraseBkgnd(TDC&) override { return true; }
  void EvMouseMove(UINT keys, const TPoint& point) override;
  void EvLButtonUp(UINT keys, const TPoint& point) override;
  void EvKeyDown(UINT key, UINT repeat_count, UINT flags) override;
  UINT EvGetDlgCode(const MSG* msg) override;

  // Opens at a screen point with the codes of offered (bit n-1 for code n),
  // those of enabled choosable; takes the mouse and the keyboard.
  void Show(TPoint screen_top_left, uint32_t offered, uint32_t enabled);
  // Remake the handles that follow the selected copy: codes 5, 6, 11, 12
  // the axes, 7 the pin's angle, 8 the pin line.
  void Set_Axis_Slopes(float x_slope, float y_slope, bool redraw);
  void Set_Rotation(float angle, bool redraw);
  void Set_Scale_Slope(float slope, bool redraw);

  // The handle of a code 1-14; null when there is none.
  Edit_Handle* Handle_Of(int32_t code) const;
  // The cell under a client point, -1 for none.
  int32_t Cell_At(TPoint point) const;
  bool Is_Open() const { return IsWindow() && IsWindowVisible(); }

  TWindow* Editor;
  std::array<TRect, Cell_Count> Cells{};
  std::array<std::unique_ptr<Edit_Handle>, Code_Count> Handles;
  std::array<Edit_Handle*, Cell_Count> Shown{};
  std::array<bool, Cell_Count> Enabled{};
  int32_t Shown_Count = 0;
  int32_t Hover = -1;
  HWND Previous_Focus{};

 private:
  int32_t Columns() const { return (Shown_Count + 1) / 2; }
  void Draw_Cell(TDC& dc, int32_t cell, bool highlight);
  void Move_Hover(int32_t cell);
  void Close(int32_t cell);
  void Replace(int32_t code, std::unique_ptr<Edit_Handle> handle, bool redraw);
  float Slope_Of(int32_t code) const;
};
