// Where everything of the gallery window stands, worked out once from the
// layout sizes and the window's size: the grid area with each view's cells
// and arrows, the view buttons and round buttons to its right, the column
// of drop points to its left.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "gallery/grid_geometry.h"
#include "platform/gdi/geometry.h"

class GUI_Sizes;

struct Gallery_Layout {
  static constexpr int View_Count = 4;
  // Drop points in the order a drop looks for them.
  enum Point_Index { Main_Point = 0, Clipboard_Point = 1, Printer_Point = 2, Bin_Point = 3 };
  // Round buttons: Name and Level, Help, Save, Cancel.
  enum Round_Index { Name_Button = 0, Help_Button = 1, Save_Button = 2, Cancel_Button = 3 };

  // width x height: the size the layout is made for; origin: where its top
  // left corner stands in the window (a window larger than the layout
  // shows it in its middle).
  Gallery_Layout(const GUI_Sizes& sizes, int32_t width, int32_t height, TPoint origin = TPoint());

  // The cell size, margin, gap and frame width of view v.
  static int32_t Cell(const GUI_Sizes& sizes, int v);
  static int32_t Margin(const GUI_Sizes& sizes, int v);
  static int32_t Gap(const GUI_Sizes& sizes, int v);
  static int32_t Frame_Width(const GUI_Sizes& sizes, int v);

  TRect grid_area;
  std::array<std::unique_ptr<Grid_Geometry>, View_Count> grid;
  std::array<int32_t, View_Count> frame_width{};
  std::array<std::array<TRect, 8>, View_Count> arrows{};
  std::array<TRect, View_Count> view_buttons{};
  std::array<TRect, 4> round_buttons{};
  std::array<TRect, 4> points{};
};
