// The triangular push button: a small owner-drawn child window whose face is
// a bevelled right-angled triangle pointing up, down, left, right or into a
// corner. It tells its target (a WM_COMMAND sent at once, the notification
// code in the high word) when it goes down, comes up and, while held, at
// every repeat tick; the target enables it through command enabling.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/gdi/bitmap.h"
#include "platform/gdi/region.h"
#include "platform/window/command_enabler.h"
#include "platform/window/window.h"

// Notification codes (high word of the WM_COMMAND wParam).
enum Arrow_Button_Notify : uint16_t {
  Arrow_Button_Pressed = 5001,
  Arrow_Button_Released = 5002,
  Arrow_Button_Repeat = 5003,
};

// Directions: 0 up, 1 down, 2 left, 3 right; 4 to 7 into the upper left,
// upper right, lower left and lower right corner.
enum Arrow_Kind : int32_t {
  Arrow_Kind_Up = 0,
  Arrow_Kind_Down = 1,
  Arrow_Kind_Left = 2,
  Arrow_Kind_Right = 3,
  Arrow_Kind_Upper_Left = 4,
  Arrow_Kind_Upper_Right = 5,
  Arrow_Kind_Lower_Left = 6,
  Arrow_Kind_Lower_Right = 7,
};

inline constexpr uint32_t Arrow_No_Repeat = 0xFFFFFFFFu;

class Arrow_Button;

class Arrow_Button_Enabler : public TCommandEnabler {
 public:
  Arrow_Button_Enabler(UINT id, HWND receiver, Arrow_Button* button)
      : TCommandEnabler(id, receiver), Button(button) {}
  void Enable(bool enable = true) override;
  void SetText(const std::string&) override {}
  void SetCheck(int) override {}

  Arrow_Button* Button;
};

class Arrow_Button : public TWindow {
 public:
  static constexpr UINT Repeat_Timer = 1;

  // target null: the parent. repeat_interval in ms, Arrow_No_Repeat for none.
  Arrow_Button(TWindow* parent, int id, const TRect& rect, int32_t kind, int32_t style, uint32_t repeat_interval,
               TWindow* target = nullptr);
  ~Arrow_Button() override;

  void SetupWindow() override;
  void Paint(TDC& dc, bool erase, TRect& rect) override;
  bool IdleAction(long idle_count) override;
  void EvLButtonDown(UINT keys, const TPoint& point) override;
  void EvLButtonUp(UINT keys, const TPoint& point) override;
  void EvMouseMove(UINT keys, const TPoint& point) override;
  void EvTimer(UINT timer_id) override;

  void Enable();
  void Disable();

  bool Is_Enabled() const { return Enabled; }
  bool Shows_Pressed() const { return Current_Face == Pressed_Face.get(); }
  const TBitmap* Normal_Look() const { return Normal_Face.get(); }
  const TBitmap* Pressed_Look() const { return Pressed_Face.get(); }
  const TPoint* Points() const { return P; }
  const TRegion& Hit() const { return Hit_Region; }

 private:
  void Compute_Points();
  void Draw_Face(TBitmap& face, bool pressed) const;
  void Show_Face(TBitmap* face);
  void Notify(uint16_t code);
  void Start_Repeat();
  void Stop_Repeat();
  bool Holds_Mouse() const;

  TRect Rect;
  int32_t Kind;
  int32_t Style;
  uint32_t Repeat_Interval;
  bool Enabled = true;
  bool Repeating = false;
  TPoint P[4];  // P0, P1, P2 the triangle (P0 the right angle), P3 the centre
  TRegion Hit_Region;
  std::unique_ptr<TBitmap> Normal_Face;
  std::unique_ptr<TBitmap> Pressed_Face;
  TBitmap* Current_Face = nullptr;
  TWindow* Target;
  HWND Target_Handle;
  std::unique_ptr<Arrow_Button_Enabler> Enabler;
};
