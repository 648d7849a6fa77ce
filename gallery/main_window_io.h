// The main window's place in the gallery: a small picture of the drawing
// window whose miniature is fixed slot 0 of the store. Opening the gallery
// puts a copy of the main window's drawing there; a gallery drawing dropped
// on it is the one the main window takes when the user saves and leaves.
#pragma once

#include <memory>

#include "gallery/gallery_io_point.h"
#include "platform/gdi/color.h"

class Shape_Drawing;

class Main_Window_IO : public Gallery_IO_Point {
 public:
  static constexpr const char* Caption = "Miniature Main";
  static constexpr const char* Tip = "Main Window";

  Main_Window_IO(Gallery_Window* gallery, const TRect& rect);

  void SetupWindow() override;
  Drawing_Place My_Place() const override { return {3, 0, 0}; }
  bool Pick_Up(const TPoint& point, Drawing_Place& place, TRect& rectangle) override;
  void Show_Picked_Up(const Drawing_Place& place) override;
  void Redraw() override;

  // The gallery opens with the main window's drawing (null: none).
  void Take_Drawing(const Shape_Drawing* drawing);
  // The drawing the main window is to take on leaving: a new copy when slot
  // 0 holds one whose pixels differ from the drawing handed over, else null.
  std::unique_ptr<Shape_Drawing> Return_Drawing();

  const TRect& Miniature_Area() const { return miniature_area; }

 private:
  void Draw_Frame();
  void Draw_Miniature(Shape_Drawing* picture, const TColor* fill);

  TRect miniature_area;
  const Shape_Drawing* given_drawing = nullptr;
};
