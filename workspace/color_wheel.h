// The colour wheel: the round colour picker of the main window. Three rings
// of twelve hues round a black centre inside a white rim; a click turns the
// wheel until the chosen colour sits under the needle at the top and moves
// the needle to its ring. The other colours of the program's 189 are mixed
// in the bowl in the wheel's upper left corner (the mixer, which the wheel
// hosts) or come back on the crayon. The wheel also hosts the eraser.
//
// The wheel posts nothing when a colour is chosen: the program reads
// Current_Color_Entry (or Current_Color) when it paints with it, and the
// crayon is kept in the current colour.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "platform/gdi/bitmap.h"
#include "platform/gdi/brush.h"
#include "platform/gdi/color.h"
#include "platform/gdi/memory_dc.h"
#include "platform/gdi/region.h"
#include "platform/window/window.h"

class Color_Mixer;
class Eraser;

// The table entry (entry form) of the colour nearest an RGB colour, by the
// sum of squared channel differences; the lowest index wins a tie.
TColor Nearest_Palette_Color(TColor rgb);

class Color_Wheel : public TWindow {
 public:
  static constexpr int Window_Id = 1200;
  static constexpr UINT Timer_Id = 1;
  static constexpr UINT Tick_Ms = 33;
  static constexpr int No_Color = -1;
  static constexpr int Centre_Color = 36, Rim_Color = 37;

  // position: the window's top-left in the parent. Needs the layout sizes,
  // the colours, the picture stores and the crayon (when it exists, it is
  // set to the current colour, black).
  Color_Wheel(TWindow* parent, TPoint position);
  ~Color_Wheel() override;

  void SetupWindow() override;
  void Paint(TDC& dc, bool erase, TRect& rect) override;
  bool EvEraseBkgnd(TDC& dc) override;
  void EvLButtonDown(UINT mod_keys, const TPoint& point) override;
  void EvLButtonUp(UINT mod_keys, const TPoint& point) override;
  void EvMouseMove(UINT mod_keys, const TPoint& point) override;
  void EvTimer(UINT timer_id) override;
  bool Find(TEventInfo& info) override;

  // The current colour: the mixer's in mixer mode, else the chosen wheel
  // colour; in entry form and as RGB.
  TColor Current_Color_Entry() const;
  TColor Current_Color() const;
  // Makes a colour current when it is one of the table's (the crayon
  // bringing a colour back); a colour not in the table is ignored.
  void Select_Color(TColor color);
  void Set_Mixer_Mode(bool on);
  void Mixer_Color_Changed();
  // Screen points of a colour and of a region, for the demonstrations.
  TPoint Color_Screen_Point(int color) const;
  TPoint Region_Screen_Point(int region) const;
  // Mixer points 1 to 3 (the spot; the bowl three quarters across and a
  // third down; the wiping cloth), and the eraser's centre, on the screen.
  TPoint Mixer_Screen_Point(int which) const;
  TPoint Eraser_Screen_Point() const;
  bool Mixer_Holds_Color() const;
  int Selected_Color() const { return Selected; }

  // The colour and the region under a client point (No_Color for none).
  void Hit_Test(TPoint point, int& color, int& region) const;
  // The colour that static region shows at the wheel's present angle.
  int Region_Color(int region) const;
  // One animation step at the clock's present time.
  void Animation_Step();
  bool Animating() const { return Turn_Left != 0 || Move_Left != 0; }
  // Draws everything into the buffer, and the buffer onto the screen.
  void Draw_All();
  void Show_Buffer(const TRect& rect);
  TDC& Buffer_DC() { return *Buffer_Context; }
  // A rim point by screen angle (degrees counter-clockwise from rightwards),
  // any angle: it is wrapped into the table.
  TPoint Rim_Point(int angle) const;

  // ---- Geometry
  TRect Client;
  int R = 0, Cx = 0, Cy = 0;
  std::array<int, 5> Radius{};
  std::array<TRect, 5> Circle_Box{};
  int Needle_W = 0, Needle_H = 0;
  TRect Mixer_Area, Eraser_Rect;
  std::array<TPoint, 4> Needle_Seeds{};  // from the tip
  TRect Tilted_Rect;
  std::array<TPoint, 4> Tilted_Seeds{};
  std::array<TPoint, 362> Rim{};
  std::array<int, 361> Turn_Speed{};
  TRegion Whole;
  std::array<TRegion, 5> Circle;
  std::array<TRegion, 38> Sector;
  TRegion Needle_Region;

  // ---- State
  int Selected = Centre_Color;
  int Angle = 75;
  int Turn_Left = 0;
  int Overshoots = 0;
  int Tip_Y = 0;
  int Move_Left = 0;
  uint32_t Step_Start = 0;
  int Pressed_Color = No_Color, Pressed_Region = No_Color;
  bool Holding_Mouse = false;
  bool Mixer_Mode = false;
  // Redraws of the buffer, for tests and benchmarks.
  int Redraws = 0;

  std::unique_ptr<Color_Mixer> Mixer;
  Eraser* The_Wheel_Eraser = nullptr;  // a child window
  std::unique_ptr<TBitmap> Buffer, Needle_Picture, Tilted_Picture, Pattern;
  std::unique_ptr<TMemoryDC> Buffer_Context, Picture_DC;
  std::unique_ptr<TBrush> Pattern_Brush;

 // Mouse_Lost_Message: the mouse went to another window.
  LRESULT Mouse_Lost(WPARAM, LPARAM);

 private:
  void Draw_Background(TDC& dc);
  void Draw_Wheel(TDC& dc);
  void Draw_Pointer(TDC& dc);
  void Draw_Region(int region, int color, bool pressed);
  void Choose(int color, int region);
  void Give_Pointer_Color();
  int Ring_Of_Target(int color) const;
};
