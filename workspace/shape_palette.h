// The shape palette: fifteen raised shape buttons in three columns of five.
// A click posts the chosen shape to the parent (Shape_Selected_Message),
// which has it painted into the drawing in the wheel's colour. At the levels
// that have it, the last button is the overlay button: the notched square
// with a plus (add the piece overlay) or a minus (remove it).
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "model/shape.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/region.h"
#include "platform/window/window.h"
#include "toolkit/program_messages.h"
#include "users/level_tables.h"

// The tip text of a shape number ("Triangle" .. "Notched Square"), or null.
const char* Shape_Tip_Text(int32_t shape_number);

class Shape_Palette;

class Shape_Button : public TWindow {
 public:
  static constexpr int Window_Id = 2200;

  // cell: the button's place in the palette (and in the face pictures).
  Shape_Button(Shape_Palette* palette, const TRect& cell, const Shape* shape);
  ~Shape_Button() override;

  void SetupWindow() override;
  void Paint(TDC& dc, bool erase, TRect& rect) override;
  bool EvEraseBkgnd(TDC& dc) override;
  void EvLButtonDown(UINT mod_keys, const TPoint& point) override;
  void EvLButtonUp(UINT mod_keys, const TPoint& point) override;
  void EvMouseMove(UINT mod_keys, const TPoint& point) override;

  // Draws both faces into the palette's face pictures and builds the hit
  // region.
  virtual void Make_Faces();
  virtual const char* Tip_Text() const;

  bool Pressed() const { return Pressed_Face_Shown; }

  Shape_Palette* Palette;
  TRect Client, Cell;
  TRect Pressed_Rect, Raised_Rect;
  const Shape* Shape_Of;
  bool Pressed_Face_Shown = false;
  TRegion Hit_Region;

 protected:
  bool Tips_On() const;
  void Show_Face(bool pressed);
};

class Reference_Button : public Shape_Button {
 public:
  Reference_Button(Shape_Palette* palette, const TRect& cell, const Shape* shape);

  void Make_Faces() override;
  const char* Tip_Text() const override;
  // True: the overlay can be added (plus); false: removed (minus).
  void Set_Can_Add(bool can_add);

  bool Can_Add = true;

 private:
  void Draw_Sign(TDC& dc, const TRect& face, bool plus) const;
  void Draw_Dashes(TDC& dc, const TRect& face, bool raised) const;
};

class Shape_Palette : public TWindow {
 public:
  static constexpr int Window_Id = 2300;
  static constexpr int Button_Count = 15;

  // origin: the palette's top-left in the parent; level_index: the current
  // user's level, 0..4.
  Shape_Palette(TWindow* parent, TPoint origin, int level_index);
  ~Shape_Palette() override;

  bool EvEraseBkgnd(TDC& dc) override;

  // After a change of user or level: rebuilds the last button when the
  // overlay table differs between the two levels.
  void Set_Level(int previous_level_index, int level_index);
  void Shape_Chosen(int32_t shape_number);
  // Clicks are refused (with a beep) while the drawing is busy.
  void Set_Enabled(bool enabled) { Enabled = enabled; }
  // The overlay button, or null at the levels without it.
  Reference_Button* Overlay_Button() const;

  int S = 0;
  int Level_Index = 0;
  TRect Rect;
  std::array<Shape_Button*, Button_Count> Buttons{};
  TPoint Last_Cell;
  std::array<const Shape*, 21> Shapes_By_Id{};
  std::vector<std::unique_ptr<Shape>> Shapes;
  std::unique_ptr<TBitmap> Normal_Faces, Pressed_Faces;
  bool Enabled = true;

 private:
  Shape_Button* Make_Last_Button(int level_index);
};
