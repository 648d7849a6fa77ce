// The base of the large round panels: a square child window showing a round
// well (a shaded frame band round the client circle) and, in the four
// corners outside a slightly larger circle, four corner buttons with
// pictures, repeat, hover tips and enabled states. The looks of the corners
// are drawn once into face pictures and copied; mouse events are sorted
// into corner events and client events for the derived panels.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "platform/gdi/bitmap.h"
#include "platform/gdi/color.h"
#include "platform/gdi/region.h"
#include "platform/window/window.h"
#include "toolkit/toolkit_messages.h"

enum Corner_Index : int32_t { Corner_Top_Left = 0, Corner_Top_Right = 1, Corner_Bottom_Right = 2, Corner_Bottom_Left = 3, Corner_None = 4 };
enum Corner_State : int32_t { Corner_Normal = 0, Corner_Pressed_State = 1, Corner_Disabled = 2 };

class Round_Window : public TWindow {
 public:
  static constexpr UINT Corner_Repeat_Timer = 10;

  Round_Window(TWindow* parent, const char* title, int id, const TRect& rect);
  ~Round_Window() override;

  void SetupWindow() override;
  void Paint(TDC& dc, bool erase, TRect& rect) override;
  bool Find(TEventInfo& info) override;
  void EvLButtonDown(UINT keys, const TPoint& point) override;
  void EvLButtonUp(UINT keys, const TPoint& point) override;
  void EvMouseMove(UINT keys, const TPoint& point) override;
  void EvTimer(UINT timer_id) override;
  bool EvEraseBkgnd(TDC&) override { return true; }

  // ---- Corners
  void Set_Corner_Button(int corner, const TBitmap& picture, const char* tip, bool large, bool enabled,
                         bool grey_picture);
  void Refresh_Corner_Buttons();
  void Enable_Corner(int corner);
  void Disable_Corner(int corner);
  int Corner_At(const TPoint& point) const;
  TPoint Corner_Screen_Point(int corner) const;
  void Blit_Corner(TDC& dc, int corner);
  void Refresh_Hover();
  void Check_Client_Hover(const TPoint& point);
  LRESULT Mouse_Lost(WPARAM, LPARAM);

  // ---- For derived panels
  virtual void Corner_Pressed(int) {}
  virtual void Corner_Clicked(int) {}
  virtual void Client_Button_Down(UINT, const TPoint&) {}
  virtual void Client_Button_Up(UINT, const TPoint&) {}
  virtual void Client_Mouse_Move(UINT, const TPoint&) {}
  virtual bool Is_Corner_Enabled(int corner) { return Corner_States[size_t(corner)] != Corner_Disabled; }
  virtual void Paint_Client(TDC&) {}
  virtual void Cursor_Entered_Client() {
    Cursor_Inside = true;
    Cursor_Outside = false;
  }
  virtual void Cursor_Left_Client() {
    Cursor_Inside = false;
    Cursor_Outside = true;
  }

  // The window's side, and the layout sizes read at construction.
  int Side() const { return Frame_Rect.Width(); }

  TRect Frame_Rect;
  TRect Inner_Rect;
  TRect Client_Rect;
  std::array<TRect, 4> Corner_Rect;
  std::array<TRect, 4> Face_Rect;
  std::array<TRegion, 4> Picture_Region;
  std::array<int32_t, 4> Corner_States{};
  std::array<const char*, 4> Corner_Tip{};
  std::array<int32_t, 4> Corner_Repeat{-1, -1, -1, -1};
  TRegion Inner_Region;
  TRegion Corner_Region;
  TSize Corner_Size;
  TSize Corner_Inner_Size;
  TSize Picture_Half;
  TSize Picture_Size;
  std::array<std::unique_ptr<TBitmap>, 3> Corner_Face;
  int32_t Held_Corner = Corner_None;
  int32_t Hover_Corner = Corner_None;
  uint32_t Last_Key_Flags = 0;
  bool Active = true;
  bool Client_Painting = true;
  bool Cursor_Inside = false;
  bool Cursor_Outside = false;
  bool Hover_Locked = false;
  bool Repeat_Timer_On = false;
  int32_t Capture_Count = 0;

 protected:
  // One more reason to hold the mouse; the first one captures it.
  void Take_Capture_Reason();
  // One reason fewer; the last one lets the mouse go unless a drag locks it.
  void Give_Back_Capture_Reason();

 private:
  void Paint_Frame(TDC& dc, bool normal_look);
  std::unique_ptr<TBitmap> Cut_Corner_Faces(TDC& frame);
  void Repaint_Corner(int corner);
  void Start_Repeat(int corner);
  void Stop_Repeat();
  void End_Press_Reason();
  TColor Scheme(int index) const;

  int g_, m_, s_;
  // Whether the held corner's press took a reason of its own (it does, so
  // that a release outside the window still reaches the window).
  bool press_reason_ = false;
};
